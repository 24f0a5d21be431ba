#pragma once
// Regional settings: one process-wide object, read by every number and date
// routine on every call, so a test (or a settings change) that replaces it is
// seen at once. The defaults are those of a Spanish desktop, the language of
// the program's screens.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

struct TFormatSettings {
    // Numbers.
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
    char ListSeparator = ';';
    // Money: CurrencyFormat places the symbol of a positive amount (0 "$1",
    // 1 "1$", 2 "$ 1", 3 "1 $"); NegCurrFormat is one of the sixteen negative
    // layouts (0 "($1)" ... 8 "-1 $" ... 15 "(1 $)").
    AnsiString CurrencyString = "\x80";
    uint8_t CurrencyFormat = 3;
    uint8_t NegCurrFormat = 8;
    uint8_t CurrencyDecimals = 2;
    // Dates and times, in the tokens of FormatDateTime ("m" month, "n" minute).
    char DateSeparator = '/';
    char TimeSeparator = ':';
    AnsiString ShortDateFormat = "dd/mm/yyyy";
    AnsiString LongDateFormat = "dddd, d' de 'mmmm' de 'yyyy";
    AnsiString ShortTimeFormat = "h:nn";
    AnsiString LongTimeFormat = "h:nn:ss";
    AnsiString TimeAMString = "a.m.";
    AnsiString TimePMString = "p.m.";
    // Names: months January first, days Sunday first.
    std::array<AnsiString, 12> ShortMonthNames{};
    std::array<AnsiString, 12> LongMonthNames{};
    std::array<AnsiString, 7> ShortDayNames{};
    std::array<AnsiString, 7> LongDayNames{};
    // Two-digit years typed by the user fall within this many years before or
    // after the current one (0: the current century).
    int TwoDigitYearCenturyWindow = 50;
    // As the locale answers it: 0 Monday ... 6 Sunday.
    int FirstDayOfWeek = 0;
    AnsiString CountryName = "Espa\xF1"
                             "a";
    int CountryCode = 34;
    int CodePage = 1252;
    // Right-to-left reading (the "middle east" flag) and the NT family flag.
    bool RightToLeft = false;
    bool IsNT = true;
    // The system's language identifier: the primary language in the low ten
    // bits (0x0A Spanish, 0x11 Japanese), the sublanguage above them.
    uint16_t LanguageId = 0x0C0A;

    TFormatSettings();
};

// The settings in force. Replaced as a whole; a reference obtained earlier
// stays valid and sees the replacement.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& Settings);
// Back to the Spanish defaults.
void ResetFormatSettings();

// Replaces the settings for the lifetime of the object and puts the previous
// ones back afterwards (tests, and code that must format with fixed rules).
class TFormatSettingsScope {
public:
    explicit TFormatSettingsScope(const TFormatSettings& Settings);
    ~TFormatSettingsScope();
    TFormatSettingsScope(const TFormatSettingsScope&) = delete;
    TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
    TFormatSettings FSaved;
};

// --- the old sources of the same settings ---
// The WIN.INI section "intl" as the libraries read it (sDecimal, sThousand,
// iCurrDigits, iNegCurr, sList, sCountry, iCountry, sCurrency, iCurrency,
// iTLZero, iTime, sTime, sDate, iDate, s1159, s2359, sShortDate, sLongDate,
// sTimeFormat). Dates and times come as Windows pictures ("dd/MM/yyyy",
// "H:mm:ss"). False for an unknown key; the key is compared without case.
bool IntlProfileValue(std::string_view Key, AnsiString& Value);
// The profile calls over WIN.INI: "intl" answers from the settings; any other
// section holds nothing here, so the default comes back.
AnsiString GetProfileString(std::string_view Section, std::string_view Key, std::string_view Default);
int GetProfileInt(std::string_view Section, std::string_view Key, int Default);

// A date or time format of ours as a Windows picture and back: "m" of a date
// is "M", "n" of a time is "m", "h" without am/pm is "H".
AnsiString DateFormatToPicture(std::string_view Format);
AnsiString PictureToDateFormat(std::string_view Picture);

// --- GetLocaleInfo ---
using LCID = uint32_t;
using LCTYPE = uint32_t;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCTYPE LOCALE_ILANGUAGE = 0x0001;
constexpr LCTYPE LOCALE_SLANGUAGE = 0x0002;
constexpr LCTYPE LOCALE_ICOUNTRY = 0x0005;
constexpr LCTYPE LOCALE_SCOUNTRY = 0x0006;
constexpr LCTYPE LOCALE_IDEFAULTANSICODEPAGE = 0x1004;
constexpr LCTYPE LOCALE_SLIST = 0x000C;
constexpr LCTYPE LOCALE_SDECIMAL = 0x000E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x000F;
constexpr LCTYPE LOCALE_SCURRENCY = 0x0014;
constexpr LCTYPE LOCALE_ICURRDIGITS = 0x0019;
constexpr LCTYPE LOCALE_ICURRENCY = 0x001B;
constexpr LCTYPE LOCALE_INEGCURR = 0x001C;
constexpr LCTYPE LOCALE_SDATE = 0x001D;
constexpr LCTYPE LOCALE_STIME = 0x001E;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x001F;
constexpr LCTYPE LOCALE_SLONGDATE = 0x0020;
constexpr LCTYPE LOCALE_IDATE = 0x0021;
constexpr LCTYPE LOCALE_ITIME = 0x0023;
constexpr LCTYPE LOCALE_ITLZERO = 0x0025;
constexpr LCTYPE LOCALE_S1159 = 0x0028;
constexpr LCTYPE LOCALE_S2359 = 0x0029;
constexpr LCTYPE LOCALE_SDAYNAME1 = 0x002A;        // Monday; ...7 Sunday
constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x0031;  // Monday; ...7 Sunday
constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x0038;      // January; ...12
constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x0044;
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;
constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;

// The language of the settings in force.
using LANGID = uint16_t;
LANGID GetSystemDefaultLangID();
LANGID GetUserDefaultLangID();
constexpr int PRIMARYLANGID(LANGID Id) { return Id & 0x3FF; }
constexpr int SUBLANGID(LANGID Id) { return Id >> 10; }

// The locale's answer as text; empty for a type we do not keep. Every locale
// identifier answers with the current settings: there is one user here.
AnsiString GetLocaleStr(LCID Locale, LCTYPE Type, std::string_view Default = {});
