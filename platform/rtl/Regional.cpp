#include "platform/rtl/Regional.h"

#include "platform/rtl/Strings.h"

TFormatSettings::TFormatSettings()
    : ShortMonthNames{"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"},
      LongMonthNames{"enero", "febrero", "marzo",      "abril",   "mayo",      "junio",
                     "julio", "agosto",  "septiembre", "octubre", "noviembre", "diciembre"},
      ShortDayNames{"dom",
                    "lun",
                    "mar",
                    "mi\xE9",
                    "jue",
                    "vie",
                    "s\xE1"
                    "b"},
      LongDayNames{"domingo",
                   "lunes",
                   "martes",
                   "mi\xE9rcoles",
                   "jueves",
                   "viernes",
                   "s\xE1"
                   "bado"} {}

namespace {
TFormatSettings& Current() {
    static TFormatSettings settings;
    return settings;
}

bool HasAmPm(std::string_view F) {
    AnsiString u = UpperCase(F);
    return u.find("AMPM") != AnsiString::npos || u.find("AM/PM") != AnsiString::npos ||
           u.find("A/P") != AnsiString::npos;
}

// Copies a quoted literal of S starting at I (the opening quote) to Out.
void CopyQuoted(std::string_view S, size_t& I, AnsiString& Out) {
    char q = S[I];
    Out += S[I++];
    while (I < S.size()) {
        Out += S[I];
        if (S[I++] == q) break;
    }
}
}  // namespace

const TFormatSettings& FormatSettings() { return Current(); }
void SetFormatSettings(const TFormatSettings& Settings) { Current() = Settings; }
void ResetFormatSettings() { Current() = TFormatSettings(); }

TFormatSettingsScope::TFormatSettingsScope(const TFormatSettings& Settings) : FSaved(Current()) {
    Current() = Settings;
}
TFormatSettingsScope::~TFormatSettingsScope() { Current() = FSaved; }

AnsiString DateFormatToPicture(std::string_view F) {
    bool twelve = HasAmPm(F);
    AnsiString out;
    bool afterHour = false;
    for (size_t i = 0; i < F.size();) {
        char c = F[i];
        char u = AsciiUpper(c);
        if (c == '\'' || c == '"') {
            CopyQuoted(F, i, out);
            continue;
        }
        if (u == 'A') {
            size_t n = F.size() - i;
            if (n >= 4 && UpperCase(F.substr(i, 4)) == "AMPM") {
                out += "tt";
                i += 4;
                continue;
            }
            if (n >= 5 && UpperCase(F.substr(i, 5)) == "AM/PM") {
                out += "tt";
                i += 5;
                continue;
            }
            if (n >= 3 && UpperCase(F.substr(i, 3)) == "A/P") {
                out += "t";
                i += 3;
                continue;
            }
        }
        if (u == 'M') out += afterHour ? 'm' : 'M';
        else if (u == 'N') out += 'm';
        else if (u == 'H') out += twelve ? 'h' : 'H';
        else if (u == 'D' || u == 'Y' || u == 'S') out += AsciiLower(c);
        else out += c;
        if (u >= 'A' && u <= 'Z') afterHour = (u == 'H') || (afterHour && u == 'M');
        ++i;
    }
    return out;
}

AnsiString PictureToDateFormat(std::string_view P) {
    AnsiString out;
    for (size_t i = 0; i < P.size();) {
        char c = P[i];
        if (c == '\'' || c == '"') {
            CopyQuoted(P, i, out);
            continue;
        }
        if (c == 't') {
            size_t n = 0;
            while (i < P.size() && P[i] == 't') ++i, ++n;
            out += n == 1 ? "a/p" : "ampm";
            continue;
        }
        if (c == 'M') out += 'm';
        else if (c == 'm') out += 'n';
        else if (c == 'H') out += 'h';
        else out += c;
        ++i;
    }
    return out;
}

bool IntlProfileValue(std::string_view Key, AnsiString& Value) {
    const TFormatSettings& s = Current();
    AnsiString k = UpperCase(Key);
    auto ch = [](char c) { return AnsiString(1, c); };
    if (k == "SDECIMAL") Value = ch(s.DecimalSeparator);
    else if (k == "STHOUSAND") Value = ch(s.ThousandSeparator);
    else if (k == "SLIST") Value = ch(s.ListSeparator);
    else if (k == "ICURRDIGITS") Value = IntToStr(s.CurrencyDecimals);
    else if (k == "INEGCURR") Value = IntToStr(s.NegCurrFormat);
    else if (k == "ICURRENCY") Value = IntToStr(s.CurrencyFormat);
    else if (k == "SCURRENCY") Value = s.CurrencyString;
    else if (k == "SCOUNTRY") Value = s.CountryName;
    else if (k == "ICOUNTRY") Value = IntToStr(s.CountryCode);
    else if (k == "STIME") Value = ch(s.TimeSeparator);
    else if (k == "SDATE") Value = ch(s.DateSeparator);
    else if (k == "S1159") Value = s.TimeAMString;
    else if (k == "S2359") Value = s.TimePMString;
    else if (k == "SSHORTDATE") Value = DateFormatToPicture(s.ShortDateFormat);
    else if (k == "SLONGDATE") Value = DateFormatToPicture(s.LongDateFormat);
    else if (k == "STIMEFORMAT") Value = DateFormatToPicture(s.LongTimeFormat);
    else if (k == "ITLZERO") Value = UpperCase(s.LongTimeFormat).find("HH") != AnsiString::npos ? "1" : "0";
    else if (k == "ITIME") Value = HasAmPm(s.LongTimeFormat) ? "0" : "1";
    else if (k == "IDATE") {
        // Order of day, month and year in the short date: 0 MDY, 1 DMY, 2 YMD.
        AnsiString f = UpperCase(s.ShortDateFormat);
        size_t d = f.find('D'), m = f.find('M'), y = f.find('Y');
        Value = (y < d && y < m) ? "2" : (d < m ? "1" : "0");
    } else return false;
    return true;
}

AnsiString GetProfileString(std::string_view Section, std::string_view Key, std::string_view Default) {
    AnsiString v;
    if (SameText(Section, "intl") && IntlProfileValue(Key, v)) return v;
    return AnsiString(Default);
}

int GetProfileInt(std::string_view Section, std::string_view Key, int Default) {
    AnsiString v;
    if (SameText(Section, "intl") && IntlProfileValue(Key, v)) return StrToIntDef(Trim(v), Default);
    return Default;
}

LANGID GetSystemDefaultLangID() { return Current().LanguageId; }
LANGID GetUserDefaultLangID() { return Current().LanguageId; }

AnsiString GetLocaleStr(LCID, LCTYPE Type, std::string_view Default) {
    const TFormatSettings& s = Current();
    // The locale counts days from Monday; our names start on Sunday.
    if (Type >= LOCALE_SDAYNAME1 && Type < LOCALE_SDAYNAME1 + 7)
        return s.LongDayNames[(Type - LOCALE_SDAYNAME1 + 1) % 7];
    if (Type >= LOCALE_SABBREVDAYNAME1 && Type < LOCALE_SABBREVDAYNAME1 + 7)
        return s.ShortDayNames[(Type - LOCALE_SABBREVDAYNAME1 + 1) % 7];
    if (Type >= LOCALE_SMONTHNAME1 && Type < LOCALE_SMONTHNAME1 + 12)
        return s.LongMonthNames[Type - LOCALE_SMONTHNAME1];
    if (Type >= LOCALE_SABBREVMONTHNAME1 && Type < LOCALE_SABBREVMONTHNAME1 + 12)
        return s.ShortMonthNames[Type - LOCALE_SABBREVMONTHNAME1];
    const char* key = nullptr;
    switch (Type) {
    case LOCALE_ILANGUAGE: return LowerCase(IntToHex(s.LanguageId, 4));
    case LOCALE_SLANGUAGE: return "Espa\xF1ol";
    case LOCALE_IDEFAULTANSICODEPAGE: return IntToStr(s.CodePage);
    case LOCALE_IFIRSTDAYOFWEEK: return IntToStr(s.FirstDayOfWeek);
    case LOCALE_ICOUNTRY: key = "iCountry"; break;
    case LOCALE_SCOUNTRY: key = "sCountry"; break;
    case LOCALE_SLIST: key = "sList"; break;
    case LOCALE_SDECIMAL: key = "sDecimal"; break;
    case LOCALE_STHOUSAND: key = "sThousand"; break;
    case LOCALE_SCURRENCY: key = "sCurrency"; break;
    case LOCALE_ICURRDIGITS: key = "iCurrDigits"; break;
    case LOCALE_ICURRENCY: key = "iCurrency"; break;
    case LOCALE_INEGCURR: key = "iNegCurr"; break;
    case LOCALE_SDATE: key = "sDate"; break;
    case LOCALE_STIME: key = "sTime"; break;
    case LOCALE_SSHORTDATE: key = "sShortDate"; break;
    case LOCALE_SLONGDATE: key = "sLongDate"; break;
    case LOCALE_IDATE: key = "iDate"; break;
    case LOCALE_ITIME: key = "iTime"; break;
    case LOCALE_ITLZERO: key = "iTLZero"; break;
    case LOCALE_S1159: key = "s1159"; break;
    case LOCALE_S2359: key = "s2359"; break;
    case LOCALE_STIMEFORMAT: key = "sTimeFormat"; break;
    default: return AnsiString(Default);
    }
    AnsiString v;
    return IntlProfileValue(key, v) ? v : AnsiString(Default);
}
