#pragma once
// The regional settings of the entry fields (separators, currency, date and
// time pictures, designators, letters of yes/no and true/false) and the
// conversions of dates, times and amounts to and from text through picture
// masks. OvcIntlSup is the one object, made when the library starts and
// freed when it ends; it reads the settings once.
//
// The settings come from the WIN.INI section "intl" (GetProfileString and
// GetProfileInt) and the short date from the registry value "sShortDate"
// under HKEY_CURRENT_USER\Control Panel\International, both answered here by
// the platform's regional settings. With the Spanish defaults: sDecimal ",",
// sThousand ".", iCurrDigits 2, iNegCurr 8, sList ";", sCountry "Espa\xF1a",
// sCurrency "\x80", iCurrency 3, iTLZero 0, sTime ":", sDate "/", s1159
// "a.m.", s2359 "p.m.", sShortDate "dd/MM/yyyy", sLongDate
// "dddd, d' de 'MMMM' de 'yyyy"; the long time "h:nn:ss" (no designator).
//
// Picture letters of dates: m/M month, d/D day, y year, n/N month name, w/W
// day name, "/" the date separator, f g h the long date's literals; of times:
// h/H hours, m/M minutes, s/S seconds, t the designator, ":" the separator. A
// lower-case number pads with zeros, an upper-case one with spaces; an
// upper-case name is shown in capitals. Only the first run of a letter counts.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/rtl/Object.h"
#include "platform/rtl/Strings.h"
#include "platform/win/Messages.h"
#include "reportview/Ovcdate.h"

struct TIntlData {
    AnsiString CurrencyLtStr;
    AnsiString CurrencyRtStr;
    char DecimalChar;
    char CommaChar;
    uint8_t CurrencyDigits;
    char SlashChar;
    char TrueChar, FalseChar, YesChar, NoChar;
};
// What a missing setting takes.
extern const TIntlData DefaultIntlData;

class TOvcIntlSup : public TObject {
public:
    // Texts handed to the counted forms are cut at this length.
    static constexpr size_t MaxText = 255;

    TOvcIntlSup();
    ~TOvcIntlSup() override;
    TOvcIntlSup(const TOvcIntlSup&) = delete;
    TOvcIntlSup& operator=(const TOvcIntlSup&) = delete;

    void ResetInternationalInfo();
    bool AutoUpdate() const { return FAutoUpdate; }
    // On: a hidden window answers WM_WININICHANGE by OnIntlChange when
    // assigned, else by reading the settings again.
    void SetAutoUpdate(bool Value);
    HWND AutoUpdateWindow() const { return FWnd; }
    TEvent<void(TObject*)> OnIntlChange;

    const AnsiString& GetCountry() const { return FCountryName; }
    const AnsiString& GetCurrencyLtStr() const { return FCurrencyLtStr; }
    const AnsiString& GetCurrencyRtStr() const { return FCurrencyRtStr; }
    // Cut to 5 characters.
    void SetCurrencyLtStr(const AnsiString& S);
    void SetCurrencyRtStr(const AnsiString& S);

    // Pictures for the fields.
    AnsiString InternationalDate(bool ForceCentury) const;
    AnsiString InternationalLongDate(bool ShortNames, bool ExcludeDayOfWeek) const;
    AnsiString InternationalTime(bool ShowSeconds) const;
    AnsiString InternationalCurrency(char FillCh, int Digits, bool FloatingSymbol, bool Separators,
                                     bool NegativeFormat) const;

    // Dates.
    AnsiString DateToDateString(std::string_view Picture, Ovcdate::TStDate Julian, bool Pack) const;
    AnsiString DMYtoDateString(std::string_view Picture, int Day, int Month, int Year, bool Pack,
                               int Epoch) const;
    Ovcdate::TStDate DateStringToDate(std::string_view Picture, std::string_view S, int Epoch) const;
    bool DateStringToDMY(std::string_view Picture, std::string_view S, int& Day, int& Month, int& Year,
                         int Epoch) const;
    bool DateStringIsBlank(std::string_view Picture, std::string_view S) const;
    AnsiString CurrentDateString(std::string_view Picture, bool Pack) const;

    // Times.
    AnsiString TimeToTimeString(std::string_view Picture, Ovcdate::TStTime T, bool Pack) const;
    AnsiString TimeToAmPmString(std::string_view Picture, Ovcdate::TStTime T, bool Pack) const;
    Ovcdate::TStTime TimeStringToTime(std::string_view Picture, std::string_view S) const;
    bool TimeStringToHMS(std::string_view Picture, std::string_view S, int& H, int& M, int& Sec) const;
    AnsiString CurrentTimeString(std::string_view Picture, bool Pack) const;

    // Names of the platform's settings.
    AnsiString MonthToString(int Month) const;
    // 1..12 for the first long month name equal to S, both cut or padded to
    // Width (at most 40); 0 when none is.
    int MonthStringToMonth(std::string_view S, int Width) const;
    // Day: Sunday 0 .. Saturday 6.
    AnsiString DayOfWeekToString(int Day) const;

    // The same into a caller's buffer: at most its size less one character
    // and the zero are written.
    char* InternationalDatePChar(std::span<char> Dest, bool ForceCentury) const;
    char* InternationalLongDatePChar(std::span<char> Dest, bool ShortNames, bool ExcludeDayOfWeek) const;
    char* InternationalTimePChar(std::span<char> Dest, bool ShowSeconds) const;
    char* DateToDatePChar(std::span<char> Dest, const char* Picture, Ovcdate::TStDate Julian,
                          bool Pack) const;
    char* TimeToTimePChar(std::span<char> Dest, const char* Picture, Ovcdate::TStTime T, bool Pack) const;

    // Picture primitives, shared with the entry fields.
    // Sets Value from the characters of S under Ch's run (Default without
    // the letter or when the lengths differ, Blank when all are spaces, -1
    // when they are no number or month name).
    void isExtractFromPicture(std::string_view Picture, std::string_view S, char Ch, int& Value, int Blank,
                              int Default) const;
    void isMergeIntoPicture(AnsiString& Picture, char Ch, int Value) const;
    static int isMaskCharCount(std::string_view P, char Ch);
    static void isMergePictureSt(std::string_view Picture, AnsiString& Dest, char Ch, std::string_view Src);
    static AnsiString isPackResult(std::string_view Picture, std::string_view S);
    static void isSubstChar(AnsiString& Picture, char Ch, char NewCh);
    static void isSubstCharSim(AnsiString& P, char Ch, char NewCh);
    AnsiString isTimeToTimeStringPrim(std::string_view Picture, Ovcdate::TStTime T, bool Pack,
                                      std::string_view AmText, std::string_view PmText) const;

    char DecimalSep = '.';
    char ThousandsSep = ',';
    uint8_t CurrencyDecimals = 2;
    char ListSep = ',';
    char DateSep = '/';
    char TrueLetter = 'T', FalseLetter = 'F', YesLetter = 'Y', NoLetter = 'N';
    AnsiString AmText = "AM";
    AnsiString PmText = "PM";
    char TimeSep = ':';
    uint8_t CurrencyFormat = 0;
    // Up to 6 characters each, shown through "f", "g" and "h".
    std::array<AnsiString, 3> LongDateLiterals;
    AnsiString LongDatePicture;  // at most 39 characters
    uint8_t NegCurrencyFormat = 0;
    AnsiString ShortDatePicture;  // at most 29 characters
    bool TimeLeadingZero = false;
    bool TwelveHourClock = false;

private:
    LRESULT WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    // Sets the first run of Ch (either case) to Count letters, then the case rule of the fields.
    void SetRun(AnsiString& S, char Ch, int Count, bool CaseRule) const;

    bool FAutoUpdate = false;
    AnsiString FCurrencyLtStr;
    AnsiString FCurrencyRtStr;
    AnsiString FCountryName;
    HWND FWnd = nullptr;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The library's settings object; nullptr outside OvcInitialize/OvcFinalize.
extern TOvcIntlSup* OvcIntlSup;
