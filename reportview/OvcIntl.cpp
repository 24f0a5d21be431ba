#include "reportview/OvcIntl.h"

#include <algorithm>
#include <cstdio>

#include "platform/rtl/Format.h"
#include "platform/rtl/PChar.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Registry.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcData.h"
#include "reportview/OvcMisc.h"
#include "reportview/OvcStr.h"

using namespace Ovcdate;

const TIntlData DefaultIntlData{"$", "", '.', ',', 2, '/', 'T', 'F', 'Y', 'N'};

TOvcIntlSup* OvcIntlSup = nullptr;

namespace {
constexpr size_t MaxCurrency = 5;
constexpr size_t MaxShortDate = 29;
constexpr size_t MaxLongDate = 39;
constexpr size_t MaxLiteral = 6;
constexpr size_t MaxPacked = 80;

AnsiString Cut(std::string_view S, size_t Max) { return AnsiString(S.substr(0, std::min(S.size(), Max))); }

char Upper(char C) { return UpCaseChar(C); }
bool IsLower(char C) { return C != Upper(C); }

// The first character, or the default for an empty setting.
char FirstChar(std::string_view Key, char Default) {
    AnsiString v = Cut(GetProfileString("intl", Key, AnsiString(1, Default)), MaxLiteral - 1);
    return v.empty() ? Default : v[0];
}

// The first occurrence of the lower-case letter, else of the upper-case one.
size_t FindLetter(std::string_view S, char Ch) {
    char lo = LoCaseChar(Ch), up = Upper(Ch);
    size_t p = S.find(lo);
    return p != std::string_view::npos ? p : S.find(up);
}

// The run of characters equal to S[P] from P on.
size_t RunOf(std::string_view S, size_t P) {
    size_t e = P;
    while (e < S.size() && S[e] == S[P]) ++e;
    return e - P;
}

// The run of characters whose upper case is that of Ch, from P on.
size_t RunOfLetter(std::string_view S, size_t P, char Ch) {
    size_t e = P;
    while (e < S.size() && Upper(S[e]) == Upper(Ch)) ++e;
    return e - P;
}

AnsiString PadCut(const AnsiString& S, size_t Width) {
    AnsiString r = S.substr(0, std::min(S.size(), Width));
    r.resize(Width, ' ');
    return r;
}

char* CopyOut(std::span<char> Dest, const AnsiString& S) {
    if (Dest.empty()) return Dest.data();
    size_t n = std::min(S.size(), Dest.size() - 1);
    std::copy_n(S.data(), n, Dest.data());
    Dest[n] = '\0';
    return Dest.data();
}
}  // namespace

TOvcIntlSup::TOvcIntlSup() {
    FCurrencyLtStr = DefaultIntlData.CurrencyLtStr;
    FCurrencyRtStr = DefaultIntlData.CurrencyRtStr;
    DecimalSep = DefaultIntlData.DecimalChar;
    ThousandsSep = DefaultIntlData.CommaChar;
    CurrencyDecimals = DefaultIntlData.CurrencyDigits;
    DateSep = DefaultIntlData.SlashChar;
    TrueLetter = DefaultIntlData.TrueChar;
    FalseLetter = DefaultIntlData.FalseChar;
    YesLetter = DefaultIntlData.YesChar;
    NoLetter = DefaultIntlData.NoChar;
    ResetInternationalInfo();
}

TOvcIntlSup::~TOvcIntlSup() {
    *FAlive = false;
    if (FWnd) DeallocateHWnd(FWnd);
}

void TOvcIntlSup::ResetInternationalInfo() {
    DecimalSep = FirstChar("sDecimal", '.');
    ThousandsSep = FirstChar("sThousand", ',');
    CurrencyDecimals = static_cast<uint8_t>(GetProfileInt("intl", "iCurrDigits", 2));
    if (ThousandsSep == DecimalSep) {
        DecimalSep = '.';
        ThousandsSep = ',';
    }
    NegCurrencyFormat = static_cast<uint8_t>(GetProfileInt("intl", "iNegCurr", 0));
    ListSep = FirstChar("sList", ',');
    FCountryName = Cut(GetProfileString("intl", "sCountry", ""), MaxText);
    FCurrencyLtStr = Cut(GetProfileString("intl", "sCurrency", "$"), MaxCurrency);
    FCurrencyRtStr = FCurrencyLtStr;
    CurrencyFormat = static_cast<uint8_t>(GetProfileInt("intl", "iCurrency", 0));
    // The texts hold 5 characters: a symbol of 5 keeps them all and goes
    // without the space of formats 2 and 3.
    if (CurrencyFormat == 2 && FCurrencyLtStr.size() < MaxCurrency) FCurrencyLtStr += ' ';
    if (CurrencyFormat == 3 && FCurrencyRtStr.size() < MaxCurrency) FCurrencyRtStr.insert(0, 1, ' ');
    TimeLeadingZero = GetProfileInt("intl", "iTLZero", 0) != 0;
    const AnsiString& longTime = FormatSettings().LongTimeFormat;
    TwelveHourClock = !longTime.empty() && Upper(longTime.back()) == 'M';
    TimeSep = FirstChar("sTime", ':');
    DateSep = FirstChar("sDate", '/');
    AmText = Cut(GetProfileString("intl", "s1159", "AM"), MaxCurrency);
    PmText = Cut(GetProfileString("intl", "s2359", "PM"), MaxCurrency);

    AnsiString shortDate;
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly("\\Control Panel\\International") && reg.ValueExists("sShortDate"))
        shortDate = reg.ReadString("sShortDate");
    else shortDate = GetProfileString("intl", "sShortDate", "MM/dd/yy");
    ShortDatePicture = Cut(shortDate, MaxShortDate);
    LongDatePicture = Cut(GetProfileString("intl", "sLongDate", "dddd, MMMM dd, yyyy"), MaxLongDate);

    // The picture's own separator is "/", which shows as DateSep.
    std::replace(ShortDatePicture.begin(), ShortDatePicture.end(), DateSep, '/');

    // The quoted parts of the long date become the literals f, g and h.
    static constexpr char literalChars[3] = {'f', 'g', 'h'};
    for (size_t i = 0; i < 3; ++i) {
        LongDateLiterals[i].clear();
        AnsiString& p = LongDatePicture;
        size_t q = p.find('\'');
        if (q == AnsiString::npos) continue;
        p.erase(q, 1);
        size_t close = p.find('\'', q);
        if (close == AnsiString::npos) break;
        AnsiString text = p.substr(q, close - q);
        size_t kept = std::min(text.size(), MaxLiteral);
        LongDateLiterals[i] = text.substr(0, kept);
        p.replace(q, close + 1 - q, AnsiString(kept, literalChars[i]));
    }
    auto nameRun = [](AnsiString& P, std::string_view Three, char Name) {
        size_t at = P.find(Three);
        if (at == AnsiString::npos) return;
        size_t n = RunOf(P, at);
        P.replace(at, n, AnsiString(n, Name));
    };
    nameRun(LongDatePicture, "ddd", 'w');
    nameRun(ShortDatePicture, "MMM", 'n');
    nameRun(LongDatePicture, "MMM", 'n');
    for (size_t i = 0; i < LongDatePicture.size(); ++i)
        if ((LongDatePicture[i] == ',' || LongDatePicture[i] == '.') &&
            (i + 1 == LongDatePicture.size() || LongDatePicture[i + 1] != ' '))
            LongDatePicture.insert(i + 1, 1, ' ');
    LongDatePicture = Cut(LongDatePicture, MaxLongDate);

    auto letter = [](uint16_t Id, char& Letter) {
        AnsiString s = GetRvLibStr(Id);
        if (s.size() == 1) Letter = s[0];
    };
    letter(30368, YesLetter);
    letter(30369, NoLetter);
    letter(30370, TrueLetter);
    letter(30371, FalseLetter);
}

void TOvcIntlSup::SetAutoUpdate(bool Value) {
    if (Value == FAutoUpdate) return;
    FAutoUpdate = Value;
    if (Value)
        FWnd = AllocateHWnd([this, alive = FAlive](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
            return *alive ? WndProc(Wnd, Msg, WParam, LParam) : DefWindowProc(Wnd, Msg, WParam, LParam);
        });
    else if (FWnd) {
        DeallocateHWnd(FWnd);
        FWnd = nullptr;
    }
}

LRESULT TOvcIntlSup::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_WININICHANGE && FAutoUpdate) {
        try {
            if (OnIntlChange) OnIntlChange(this);
            else ResetInternationalInfo();
        } catch (...) {
            OvcHandleException(this);
        }
        return 0;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

void TOvcIntlSup::SetCurrencyLtStr(const AnsiString& S) { FCurrencyLtStr = Cut(S, MaxCurrency); }
void TOvcIntlSup::SetCurrencyRtStr(const AnsiString& S) { FCurrencyRtStr = Cut(S, MaxCurrency); }

// --- pictures ---

void TOvcIntlSup::SetRun(AnsiString& S, char Ch, int Count, bool CaseRule) const {
    size_t at = FindLetter(S, Ch);
    if (at == AnsiString::npos) return;
    char found = S[at];
    size_t n = RunOf(S, at);
    if (n < size_t(Count)) S.insert(at, size_t(Count) - n, found);
    else if (n > size_t(Count)) S.erase(at, n - size_t(Count));
    if (!CaseRule) return;
    // The rule looks at the run as the system wrote it: "d" (no leading
    // zero) pads with spaces, "MM" (leading zero) with zeros.
    char to = 0;
    if (n == 1 && IsLower(found)) to = Upper(found);
    else if (n == 2 && !IsLower(found)) to = LoCaseChar(found);
    if (to)
        for (char& c : S)
            if (Upper(c) == Upper(Ch)) c = to;
}

AnsiString TOvcIntlSup::InternationalDate(bool ForceCentury) const {
    AnsiString s = ShortDatePicture;
    for (auto [ch, wanted] : {std::pair{'d', 2}, {'m', 2}, {'y', ForceCentury ? 4 : 2}}) {
        size_t at = FindLetter(s, ch);
        if (at == AnsiString::npos) continue;
        // Short runs grow; longer ones (yyyy without the century forced) stay.
        if (int(RunOf(s, at)) < wanted) SetRun(s, ch, wanted, ch != 'y');
        else if (ch != 'y') SetRun(s, ch, int(RunOf(s, at)), true);
    }
    return s;
}

AnsiString TOvcIntlSup::InternationalLongDate(bool ShortNames, bool ExcludeDayOfWeek) const {
    AnsiString s = LongDatePicture;
    auto longest = [](auto& Names) {
        size_t n = 0;
        for (const AnsiString& name : Names) n = std::max(n, name.size());
        return int(n);
    };
    const TFormatSettings& fs = FormatSettings();
    size_t w = FindLetter(s, 'w');
    if (w != AnsiString::npos) {
        if (ExcludeDayOfWeek) {
            size_t e = w;
            while (e < s.size() && std::string_view("dDmMnNyY").find(s[e]) == std::string_view::npos) ++e;
            s.erase(w, e - w);
        } else {
            size_t n = RunOf(s, w);
            if (ShortNames) SetRun(s, 'w', 3, true);
            else if (n == 4) SetRun(s, 'w', longest(fs.LongDayNames), true);
        }
    }
    size_t m = FindLetter(s, 'n');
    if (m != AnsiString::npos) {
        size_t n = RunOf(s, m);
        if (ShortNames) SetRun(s, 'n', 3, true);
        else if (n == 4) SetRun(s, 'n', longest(fs.LongMonthNames), true);
    }
    SetRun(s, 'd', 2, true);
    SetRun(s, 'm', 2, true);
    SetRun(s, 'y', 4, false);
    return s;
}

AnsiString TOvcIntlSup::InternationalTime(bool ShowSeconds) const {
    AnsiString s = "hh:mm:ss";
    if (!TimeLeadingZero) s[0] = 'H';
    if (!ShowSeconds) s.resize(5);
    size_t t = std::max(AmText.size(), PmText.size());
    if (TwelveHourClock && t > 0) s += ' ' + AnsiString(t, 't');
    return s;
}

AnsiString TOvcIntlSup::InternationalCurrency(char FillCh, int Digits, bool FloatingSymbol, bool Separators,
                                              bool NegativeFormat) const {
    if (Digits <= 0) return {};
    int len = std::min(Digits + (Separators ? (Digits - 1) / 3 : 0), 247);
    AnsiString s(size_t(len), FillCh);
    if (Separators)
        for (int i = len - 4; i >= 0; i -= 4) s[size_t(i)] = ',';
    if (CurrencyDecimals > 0) s += '.' + AnsiString(CurrencyDecimals, FillCh);
    if (NegCurrencyFormat == 6) s += 'g';
    bool symbolFirst = CurrencyFormat % 2 == 0;
    if (FloatingSymbol && symbolFirst) s.insert(0, FCurrencyLtStr.size(), '$');
    else if (symbolFirst) s.insert(0, FCurrencyLtStr.size(), 'c');
    else s.append(FCurrencyRtStr.size(), 'C');
    if (NegativeFormat) {
        if (NegCurrencyFormat == 0 || NegCurrencyFormat == 4) s += 'p';
        else if ((NegCurrencyFormat == 3 || NegCurrencyFormat == 7 || NegCurrencyFormat == 10) &&
                 !symbolFirst)
            s += 'g';
    }
    return s;
}

// --- primitives ---

int TOvcIntlSup::isMaskCharCount(std::string_view P, char Ch) {
    size_t at = P.find(Ch);
    return at == std::string_view::npos ? 0 : int(RunOf(P, at));
}

void TOvcIntlSup::isMergePictureSt(std::string_view Picture, AnsiString& Dest, char Ch,
                                   std::string_view Src) {
    size_t at = Picture.find(Ch);
    if (at == std::string_view::npos) return;
    size_t n = RunOf(Picture, at);
    for (size_t i = 0; i < n && at + i < Dest.size(); ++i) Dest[at + i] = i < Src.size() ? Src[i] : ' ';
}

void TOvcIntlSup::isSubstChar(AnsiString& Picture, char Ch, char NewCh) {
    for (char& c : Picture)
        if (Upper(c) == Upper(Ch)) c = NewCh;
}

void TOvcIntlSup::isSubstCharSim(AnsiString& P, char Ch, char NewCh) {
    std::replace(P.begin(), P.end(), Ch, NewCh);
}

AnsiString TOvcIntlSup::isPackResult(std::string_view Picture, std::string_view S) {
    AnsiString out;
    for (size_t i = 0; i < S.size(); ++i) {
        char p = i < Picture.size() ? Picture[i] : '\0';
        if (S[i] == ' ' && p && std::string_view("DHMNSWnw").find(p) != std::string_view::npos) continue;
        if (S[i] == ' ' && p == 't') {
            if (i > 0 && Picture[i - 1] == ' ' && !out.empty()) out.pop_back();
            continue;
        }
        out += S[i];
    }
    return Cut(out, MaxPacked);
}

namespace {
// The field of letter Ch: the run, in either case, around its first lower-case
// occurrence (else its first upper-case one). "Hh" is one field of two places.
size_t FieldStart(std::string_view S, char Ch) {
    size_t at = FindLetter(S, Ch);
    if (at == std::string_view::npos) return at;
    while (at > 0 && Upper(S[at - 1]) == Upper(Ch)) --at;
    return at;
}
}  // namespace

void TOvcIntlSup::isMergeIntoPicture(AnsiString& Picture, char Ch, int Value) const {
    size_t at = FieldStart(Picture, Ch);
    if (at == AnsiString::npos) return;
    size_t n = RunOfLetter(Picture, at, Ch);
    char lower = LoCaseChar(Ch);
    bool name = lower == 'n' || lower == 'w';
    AnsiString text;
    if (lower == 'n') text = PadCut(MonthToString(Value), n);
    else if (lower == 'w')
        text = PadCut(Value >= 0 && Value <= 6 ? DayOfWeekToString(Value) : AnsiString(), n);
    else {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%40d", Value);
        text = buf;
    }
    // From the run's right end leftwards: a number wider than its run keeps its low digits.
    for (size_t k = 0; k < n && k < text.size(); ++k) {
        char& dst = Picture[at + n - 1 - k];
        char c = text[text.size() - 1 - k];
        if (name && !IsLower(dst)) c = Upper(c);
        else if (!name && IsLower(dst) && c == ' ') c = '0';
        dst = c;
    }
}

void TOvcIntlSup::isExtractFromPicture(std::string_view Picture, std::string_view S, char Ch, int& Value,
                                       int Blank, int Default) const {
    size_t at = FieldStart(Picture, Ch);
    if (at == std::string_view::npos || Picture.size() != S.size()) {
        Value = Default;
        return;
    }
    size_t n = RunOfLetter(Picture, at, Ch);
    AnsiString got;
    for (size_t i = at; i < at + n && got.size() < 20; ++i)
        if (S[i] != ' ') got += S[i];
    if (got.empty()) {
        Value = Blank;
        return;
    }
    if (LoCaseChar(Ch) == 'n') {
        int m = MonthStringToMonth(got, int(n));
        Value = m == 0 ? -1 : m;
        return;
    }
    int32_t v;
    Value = StrToLongPChar(got.c_str(), v) ? v : -1;
}

// --- names ---

AnsiString TOvcIntlSup::MonthToString(int Month) const {
    return Month >= 1 && Month <= 12 ? FormatSettings().LongMonthNames[size_t(Month - 1)] : AnsiString();
}

int TOvcIntlSup::MonthStringToMonth(std::string_view S, int Width) const {
    size_t w = size_t(std::clamp(Width, 0, 40));
    AnsiString probe = PadCut(AnsiUpperCase(S), w);
    for (int m = 1; m <= 12; ++m)
        if (PadCut(AnsiUpperCase(MonthToString(m)), w) == probe) return m;
    return 0;
}

AnsiString TOvcIntlSup::DayOfWeekToString(int Day) const {
    return Day >= 0 && Day <= 6 ? FormatSettings().LongDayNames[size_t(Day)] : AnsiString();
}

// --- dates ---

AnsiString TOvcIntlSup::DMYtoDateString(std::string_view Picture, int Day, int Month, int Year, bool Pack,
                                        int Epoch) const {
    AnsiString s = Cut(Picture, MaxText);
    if (Year >= 0 && Year < 100) {
        Year += Epoch / 100 * 100;
        if (Year % 100 < Epoch % 100) Year += 100;
    }
    isMergeIntoPicture(s, 'm', Month);
    isMergeIntoPicture(s, 'd', Day);
    isMergeIntoPicture(s, 'y', Year);
    isMergeIntoPicture(s, 'n', Month);
    isMergeIntoPicture(s, 'w', DayOfWeekDMY(Day, Month, Year, 0));
    isSubstCharSim(s, '/', DateSep);
    AnsiString pic = Cut(Picture, MaxText);
    isMergePictureSt(pic, s, 'f', LongDateLiterals[0]);
    isMergePictureSt(pic, s, 'g', LongDateLiterals[1]);
    isMergePictureSt(pic, s, 'h', LongDateLiterals[2]);
    return Pack ? isPackResult(pic, s) : s;
}

AnsiString TOvcIntlSup::DateToDateString(std::string_view Picture, TStDate Julian, bool Pack) const {
    if (Julian != BadDate) {
        int d, m, y;
        StDateToDMY(Julian, d, m, y);
        return DMYtoDateString(Picture, d, m, y, Pack, 0);
    }
    AnsiString s = Cut(Picture, MaxText);
    for (char ch : {'m', 'n', 'd', 'y', 'w'}) isSubstChar(s, ch, ' ');
    AnsiString pic = Cut(Picture, MaxText);
    isMergePictureSt(pic, s, 'f', LongDateLiterals[0]);
    isMergePictureSt(pic, s, 'g', LongDateLiterals[1]);
    isMergePictureSt(pic, s, 'h', LongDateLiterals[2]);
    isSubstCharSim(s, '/', DateSep);
    return s;
}

bool TOvcIntlSup::DateStringToDMY(std::string_view Picture, std::string_view S, int& Day, int& Month,
                                  int& Year, int Epoch) const {
    Picture = Picture.substr(0, std::min(Picture.size(), MaxText));
    S = S.substr(0, std::min(S.size(), MaxText));
    if (Picture.size() != S.size()) return false;
    isExtractFromPicture(Picture, S, 'n', Month, -1, 0);
    if (Month == 0) isExtractFromPicture(Picture, S, 'm', Month, -1, DefaultMonth);
    isExtractFromPicture(Picture, S, 'd', Day, -1, 1);
    isExtractFromPicture(Picture, S, 'y', Year, -1, DefaultYear);
    return ValidDate(Day, Month, Year, Epoch);
}

TStDate TOvcIntlSup::DateStringToDate(std::string_view Picture, std::string_view S, int Epoch) const {
    int d, m, y;
    return DateStringToDMY(Picture, S, d, m, y, Epoch) ? DMYtoStDate(d, m, y, Epoch) : BadDate;
}

bool TOvcIntlSup::DateStringIsBlank(std::string_view Picture, std::string_view S) const {
    // Blank: nothing but spaces under the month, day and year, or those absent.
    if (Picture.size() != S.size()) return true;
    for (char ch : {'n', 'm', 'd', 'y'}) {
        size_t at = FindLetter(Picture, ch);
        if (at == std::string_view::npos) continue;
        size_t n = RunOfLetter(Picture, at, ch);
        if (S.substr(at, n).find_first_not_of(' ') != std::string_view::npos) return false;
    }
    return true;
}

AnsiString TOvcIntlSup::CurrentDateString(std::string_view Picture, bool Pack) const {
    return DateToDateString(Picture, CurrentDate(), Pack);
}

// --- times ---

AnsiString TOvcIntlSup::isTimeToTimeStringPrim(std::string_view Picture, TStTime T, bool Pack,
                                               std::string_view Am, std::string_view Pm) const {
    AnsiString s = Cut(Picture, MaxText);
    uint8_t h8, m8, s8;
    StTimeToHMS(T, h8, m8, s8);
    int h = h8;
    bool hasT = s.find('t') != AnsiString::npos;
    std::string_view designator = h < 12 ? Am : Pm;
    if (hasT && !Am.empty() && !Pm.empty()) {
        if (h == 0) h = 12;
        else if (h > 12) h -= 12;
    }
    if (T == BadTime)
        for (char ch : {'h', 'm', 's'}) isSubstChar(s, ch, ' ');
    else {
        isMergeIntoPicture(s, 'h', h);
        isMergeIntoPicture(s, 'm', m8);
        isMergeIntoPicture(s, 's', s8);
    }
    isSubstCharSim(s, ':', TimeSep);
    AnsiString pic = Cut(Picture, MaxText);
    if ((Am.empty() && Pm.empty()) || (T == BadTime && Am.empty())) isMergePictureSt(pic, s, 't', "");
    else isMergePictureSt(pic, s, 't', designator);
    return Pack && T != BadTime ? isPackResult(pic, s) : s;
}

AnsiString TOvcIntlSup::TimeToTimeString(std::string_view Picture, TStTime T, bool Pack) const {
    return isTimeToTimeStringPrim(Picture, T, Pack, AmText, PmText);
}

AnsiString TOvcIntlSup::TimeToAmPmString(std::string_view Picture, TStTime T, bool Pack) const {
    AnsiString pic = Cut(Picture, MaxText - 1);
    if (pic.find('t') == AnsiString::npos) pic += 't';
    return isTimeToTimeStringPrim(pic, T, Pack, "AM", "PM");
}

bool TOvcIntlSup::TimeStringToHMS(std::string_view Picture, std::string_view S, int& H, int& M,
                                  int& Sec) const {
    Picture = Picture.substr(0, std::min(Picture.size(), MaxText));
    S = S.substr(0, std::min(S.size(), MaxText));
    if (Picture.size() != S.size()) return false;
    isExtractFromPicture(Picture, S, 'h', H, -1, 0);
    isExtractFromPicture(Picture, S, 'm', M, -1, 0);
    isExtractFromPicture(Picture, S, 's', Sec, -1, 0);
    if (H == -1 || M == -1 || Sec == -1) return false;
    size_t t = Picture.find('t');
    if (t != std::string_view::npos && !AmText.empty() && !PmText.empty()) {
        size_t n = RunOf(Picture, t);
        AnsiString got = AnsiUpperCase(S.substr(t, n));
        while (!got.empty() && got.back() == ' ') got.pop_back();
        if (got.empty()) return false;
        if (got == AnsiUpperCase(Cut(PmText, n))) {
            if (H > 12) return false;
            if (H < 12) H += 12;
        } else if (got == AnsiUpperCase(Cut(AmText, n))) {
            if (H == 0 || H > 12) return false;
            if (H == 12) H = 0;
        } else return false;
    }
    return ValidTime(H, M, Sec);
}

TStTime TOvcIntlSup::TimeStringToTime(std::string_view Picture, std::string_view S) const {
    int h, m, s;
    if (!TimeStringToHMS(Picture, S, h, m, s)) return BadTime;
    return HMStoStTime(uint8_t(h), uint8_t(m), uint8_t(s));
}

AnsiString TOvcIntlSup::CurrentTimeString(std::string_view Picture, bool Pack) const {
    return TimeToTimeString(Picture, CurrentTime(), Pack);
}

// --- into buffers ---

char* TOvcIntlSup::InternationalDatePChar(std::span<char> Dest, bool ForceCentury) const {
    return CopyOut(Dest, InternationalDate(ForceCentury));
}
char* TOvcIntlSup::InternationalLongDatePChar(std::span<char> Dest, bool ShortNames,
                                              bool ExcludeDayOfWeek) const {
    return CopyOut(Dest, InternationalLongDate(ShortNames, ExcludeDayOfWeek));
}
char* TOvcIntlSup::InternationalTimePChar(std::span<char> Dest, bool ShowSeconds) const {
    return CopyOut(Dest, InternationalTime(ShowSeconds));
}
char* TOvcIntlSup::DateToDatePChar(std::span<char> Dest, const char* Picture, TStDate Julian,
                                   bool Pack) const {
    return CopyOut(Dest, DateToDateString(Picture, Julian, Pack));
}
char* TOvcIntlSup::TimeToTimePChar(std::span<char> Dest, const char* Picture, TStTime T, bool Pack) const {
    return CopyOut(Dest, TimeToTimeString(Picture, T, Pack));
}
