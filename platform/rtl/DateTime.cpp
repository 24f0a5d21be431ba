#include "platform/rtl/DateTime.h"

#include <cmath>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

namespace {

// Days from 1 January of the year 1 (day 1) for a valid date.
int64_t DayNumber(int Y, int M, int D) {
    // Count from 1 March so the leap day falls at the end of the year.
    int64_t y = M <= 2 ? Y - 1 : Y;
    int64_t mp = M <= 2 ? M + 9 : M - 3;
    int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + (153 * mp + 2) / 5 + D;
    // 1 January of the year 1 is day 1: shift by the March-based count of that day.
    return days - 306;
}

void CivilFromDayNumber(int64_t N, int& Y, int& M, int& D) {
    // Inverse of DayNumber over the 400-year cycle (146097 days).
    int64_t z = N + 305;  // days since 1 March of year 0
    int64_t era = z / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    D = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    M = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    Y = static_cast<int>(yoe + era * 400 + (M <= 2 ? 1 : 0));
}

// Milliseconds of the whole value, rounded; days towards zero.
void Split(TDateTime V, int64_t& Days, int& MSec) {
    long double ms = std::round(std::fabs(static_cast<long double>(V)) * MSecsPerDay);
    int64_t total = static_cast<int64_t>(ms);
    Days = total / MSecsPerDay;
    MSec = static_cast<int>(total % MSecsPerDay);
    if (V < 0) Days = -Days;
}

bool ValidRange(TDateTime V) { return std::isfinite(V) && V >= MinDateTime - 1 && V < MaxDateTime + 1; }

}  // namespace

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    Date = static_cast<double>(DayNumber(Year, Month, Day) - DateDelta);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime d;
    if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        return false;
    Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime t;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

TDateTime ComposeDateTime(TDateTime Date, TDateTime Time) {
    double day = std::trunc(Date);
    double time = std::fabs(Time - std::trunc(Time));
    return day < 0 ? day - time : day + time;
}

TTimeStamp DateTimeToTimeStamp(TDateTime Value) {
    TTimeStamp t;
    if (!ValidRange(Value)) return t;
    int64_t days;
    Split(Value, days, t.Time);
    t.Date = static_cast<int>(days + DateDelta);
    return t;
}

TDateTime TimeStampToDateTime(const TTimeStamp& S) {
    double days = static_cast<double>(S.Date) - DateDelta;
    double time = static_cast<double>(S.Time) / MSecsPerDay;
    return days < 0 ? days - time : days + time;
}

double TimeStampToMSecs(const TTimeStamp& S) { return static_cast<double>(S.Date) * MSecsPerDay + S.Time; }

TTimeStamp MSecsToTimeStamp(double MSecs) {
    TTimeStamp t;
    double days = std::floor(MSecs / MSecsPerDay);
    t.Date = static_cast<int>(days);
    t.Time = static_cast<int>(MSecs - days * MSecsPerDay);
    return t;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    TTimeStamp t = DateTimeToTimeStamp(Date);
    if (t.Date <= 0 || t.Date > DayNumber(9999, 12, 31)) {
        Year = Month = Day = 0;
        return;
    }
    CivilFromDayNumber(t.Date, Year, Month, Day);
}

void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
    int y, m, d;
    DecodeDate(Date, y, m, d);
    Year = static_cast<uint16_t>(y);
    Month = static_cast<uint16_t>(m);
    Day = static_cast<uint16_t>(d);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    int ms = DateTimeToTimeStamp(Time).Time;
    Hour = ms / 3600000;
    Min = ms / 60000 % 60;
    Sec = ms / 1000 % 60;
    MSec = ms % 1000;
}

void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
    int h, m, s, ms;
    DecodeTime(Time, h, m, s, ms);
    Hour = static_cast<uint16_t>(h);
    Min = static_cast<uint16_t>(m);
    Sec = static_cast<uint16_t>(s);
    MSec = static_cast<uint16_t>(ms);
}

int DayOfWeek(TDateTime Date) {
    // Day 1 (1 January of the year 1) was a Monday.
    int d = DateTimeToTimeStamp(Date).Date;
    return ((d % 7) + 7) % 7 + 1;
}

TDateTime DateOf(TDateTime Value) { return TimeStampToDateTime({0, DateTimeToTimeStamp(Value).Date}); }
TDateTime TimeOf(TDateTime Value) {
    return DateTimeToTimeStamp(Value).Time / static_cast<double>(MSecsPerDay);
}

TDateTime IncMonth(TDateTime Date, int Months) {
    int y, m, d;
    DecodeDate(Date, y, m, d);
    if (y == 0) return Date;
    int total = y * 12 + (m - 1) + Months;
    y = total / 12;
    m = total % 12 + 1;
    if (d > DaysInAMonth(y, m)) d = DaysInAMonth(y, m);
    return ComposeDateTime(EncodeDate(y, m, d), TimeOf(Date));
}

TDateTime Now() { return Clock().Now(); }
TDateTime Date() { return DateOf(Clock().Now()); }
TDateTime Time() { return TimeOf(Clock().Now()); }

void DateTimeToSystemTime(TDateTime Value, TSystemTime& S) {
    int y, m, d, h, n, s, ms;
    DecodeDate(Value, y, m, d);
    DecodeTime(Value, h, n, s, ms);
    S.wYear = static_cast<uint16_t>(y);
    S.wMonth = static_cast<uint16_t>(m);
    S.wDay = static_cast<uint16_t>(d);
    S.wDayOfWeek = static_cast<uint16_t>(y ? DayOfWeek(Value) - 1 : 0);
    S.wHour = static_cast<uint16_t>(h);
    S.wMinute = static_cast<uint16_t>(n);
    S.wSecond = static_cast<uint16_t>(s);
    S.wMilliseconds = static_cast<uint16_t>(ms);
}

TDateTime SystemTimeToDateTime(const TSystemTime& S) {
    return ComposeDateTime(EncodeDate(S.wYear, S.wMonth, S.wDay),
                           EncodeTime(S.wHour, S.wMinute, S.wSecond, S.wMilliseconds));
}

int32_t DateTimeToFileDate(TDateTime Value) {
    int y, m, d, h, n, s, ms;
    DecodeDate(Value, y, m, d);
    if (y < 1980 || y > 2107) return 0;
    DecodeTime(Value, h, n, s, ms);
    uint32_t date = static_cast<uint32_t>(((y - 1980) << 9) | (m << 5) | d);
    uint32_t time = static_cast<uint32_t>((h << 11) | (n << 5) | (s >> 1));
    return static_cast<int32_t>((date << 16) | time);
}

TDateTime FileDateToDateTime(int32_t FileDate) {
    uint32_t v = static_cast<uint32_t>(FileDate);
    uint32_t date = v >> 16, time = v & 0xFFFF;
    TDateTime d, t;
    if (!TryEncodeDate(static_cast<int>((date >> 9) + 1980), static_cast<int>((date >> 5) & 15),
                       static_cast<int>(date & 31), d) ||
        !TryEncodeTime(static_cast<int>(time >> 11), static_cast<int>((time >> 5) & 63),
                       static_cast<int>((time & 31) * 2), 0, t))
        return 0;
    return ComposeDateTime(d, t);
}

// --- FormatDateTime ---
namespace {

AnsiString Pad(int V, int Width) {
    AnsiString s = IntToStr(V);
    while (static_cast<int>(s.size()) < Width) s.insert(s.begin(), '0');
    return s;
}

bool StartsWithNoCase(std::string_view S, size_t I, std::string_view What) {
    return S.size() - I >= What.size() && SameText(S.substr(I, What.size()), What);
}

// Whether an am/pm token follows position I (outside quotes): it makes the
// hours of an h or hh run count from 1 to 12.
bool AmPmFollows(std::string_view F, size_t I) {
    for (; I < F.size(); ++I) {
        char c = F[I];
        if (c == '\'' || c == '"') {
            size_t j = F.find(c, I + 1);
            if (j == std::string_view::npos) return false;
            I = j;
            continue;
        }
        if (StartsWithNoCase(F, I, "am/pm") || StartsWithNoCase(F, I, "a/p") ||
            StartsWithNoCase(F, I, "ampm"))
            return true;
    }
    return false;
}

struct DateParts {
    int Y, M, D, H, N, S, MS, DOW;
    TDateTime Value;
};

void Append(AnsiString& Out, std::string_view F, const DateParts& P, const TFormatSettings& st, int Depth) {
    if (Depth > 2) return;  // a regional format that names itself ends here
    char last = 0;          // previous letter token, upper case
    for (size_t i = 0; i < F.size();) {
        char c = F[i];
        char u = AsciiUpper(c);
        if (u >= 'A' && u <= 'Z') {
            if (u == 'M' && last == 'H') u = 'N';
            last = u;
        }
        auto run = [&](char letter) {
            size_t n = 0;
            while (i < F.size() && AsciiUpper(F[i]) == letter) ++i, ++n;
            return n;
        };
        switch (u) {
        case 'Y': {
            size_t n = run('Y');
            Out += n <= 2 ? Pad(P.Y % 100, 2) : Pad(P.Y, 4);
            break;
        }
        case 'M': {
            size_t n = run('M');
            if (n <= 2) Out += Pad(P.M, static_cast<int>(n));
            else if (P.M >= 1) Out += n == 3 ? st.ShortMonthNames[P.M - 1] : st.LongMonthNames[P.M - 1];
            break;
        }
        case 'D': {
            size_t n = run('D');
            if (n <= 2) Out += Pad(P.D, static_cast<int>(n));
            else if (n <= 4) {
                if (P.Y) Out += n == 3 ? st.ShortDayNames[P.DOW - 1] : st.LongDayNames[P.DOW - 1];
            } else Append(Out, n == 5 ? st.ShortDateFormat : st.LongDateFormat, P, st, Depth + 1);
            break;
        }
        case 'H': {
            bool twelve = AmPmFollows(F, i);
            size_t n = run('H');
            int h = P.H;
            if (twelve) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
            Out += Pad(h, n >= 2 ? 2 : 1);
            break;
        }
        case 'N': {
            // "m" after an hour is read here too.
            size_t n = AsciiUpper(F[i]) == 'M' ? run('M') : run('N');
            Out += Pad(P.N, n >= 2 ? 2 : 1);
            break;
        }
        case 'S': {
            size_t n = run('S');
            Out += Pad(P.S, n >= 2 ? 2 : 1);
            break;
        }
        case 'Z': {
            size_t n = run('Z');
            Out += Pad(P.MS, n >= 3 ? 3 : 1);
            break;
        }
        case 'T': {
            size_t n = run('T');
            Append(Out, n == 1 ? st.ShortTimeFormat : st.LongTimeFormat, P, st, Depth + 1);
            break;
        }
        case 'C': {
            ++i;
            Append(Out, st.ShortDateFormat, P, st, Depth + 1);
            if (P.H || P.N || P.S || P.MS) {
                Out += ' ';
                Append(Out, st.LongTimeFormat, P, st, Depth + 1);
            }
            break;
        }
        case 'A': {
            bool pm = P.H >= 12;
            if (StartsWithNoCase(F, i, "am/pm")) {
                Out.append(F.substr(pm ? i + 3 : i, 2));
                i += 5;
            } else if (StartsWithNoCase(F, i, "a/p")) {
                Out += F[pm ? i + 2 : i];
                i += 3;
            } else if (StartsWithNoCase(F, i, "ampm")) {
                Out += pm ? st.TimePMString : st.TimeAMString;
                i += 4;
            } else {
                Out += c;
                ++i;
            }
            break;
        }
        default:
            if (c == '\'' || c == '"') {
                size_t j = F.find(c, i + 1);
                size_t end = j == std::string_view::npos ? F.size() : j;
                Out.append(F.substr(i + 1, end - i - 1));
                i = end + 1;
            } else if (c == '/') {
                Out += st.DateSeparator;
                ++i;
            } else if (c == ':') {
                Out += st.TimeSeparator;
                ++i;
            } else {
                Out += c;
                ++i;
            }
        }
    }
}

}  // namespace

AnsiString FormatDateTime(std::string_view F, TDateTime Value, const TFormatSettings& st) {
    DateParts p{};
    p.Value = Value;
    DecodeDate(Value, p.Y, p.M, p.D);
    DecodeTime(Value, p.H, p.N, p.S, p.MS);
    p.DOW = p.Y ? DayOfWeek(Value) : 0;
    AnsiString out;
    Append(out, F.empty() ? std::string_view("c") : F, p, st, 0);
    return out;
}

AnsiString FormatDateTime(std::string_view F, TDateTime Value) {
    return FormatDateTime(F, Value, FormatSettings());
}
AnsiString DateToStr(TDateTime Value) { return FormatDateTime("ddddd", Value); }
AnsiString TimeToStr(TDateTime Value) { return FormatDateTime("tt", Value); }
AnsiString DateTimeToStr(TDateTime Value) { return FormatDateTime("c", Value); }

// --- texts to dates ---
namespace {

struct Scanner {
    std::string_view S;
    size_t I = 0;
    void SkipBlanks() {
        while (I < S.size() && S[I] == ' ') ++I;
    }
    bool Number(int& V, int& Digits) {
        SkipBlanks();
        size_t start = I;
        int64_t v = 0;
        while (I < S.size() && S[I] >= '0' && S[I] <= '9' && I - start < 9) v = v * 10 + (S[I++] - '0');
        Digits = static_cast<int>(I - start);
        if (!Digits) return false;
        V = static_cast<int>(v);
        return true;
    }
    bool Char(char C) {
        SkipBlanks();
        if (I < S.size() && S[I] == C) {
            ++I;
            return true;
        }
        return false;
    }
    bool Text(std::string_view T) {
        SkipBlanks();
        if (T.empty() || S.size() - I < T.size() || !AnsiSameText(S.substr(I, T.size()), T)) return false;
        I += T.size();
        return true;
    }
    bool AtEnd() {
        SkipBlanks();
        return I >= S.size();
    }
};

bool ScanDate(Scanner& sc, const TFormatSettings& st, TDateTime& Out) {
    // The order of the parts comes from the short date format.
    char order = 'D';
    for (char c : st.ShortDateFormat) {
        char u = AsciiUpper(c);
        if (u == 'D' || u == 'M' || u == 'Y') {
            order = u;
            break;
        }
    }
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    if (!sc.Number(n1, l1) || !sc.Char(st.DateSeparator) || !sc.Number(n2, l2)) return false;
    bool three = false;
    size_t save = sc.I;
    if (sc.Char(st.DateSeparator)) {
        if (!sc.Number(n3, l3)) return false;
        three = true;
    } else sc.I = save;
    int y, m, d, yl;
    int thisYear;
    {
        int tm, td;
        DecodeDate(Now(), thisYear, tm, td);
    }
    if (!three) {
        y = thisYear;
        yl = 4;
        if (order == 'M') m = n1, d = n2;
        else if (order == 'Y') m = n1, d = n2;
        else d = n1, m = n2;
    } else if (order == 'M') {
        m = n1, d = n2, y = n3, yl = l3;
    } else if (order == 'Y') {
        y = n1, yl = l1, m = n2, d = n3;
    } else {
        d = n1, m = n2, y = n3, yl = l3;
    }
    if (y <= 99 && yl <= 2) {
        int window = st.TwoDigitYearCenturyWindow;
        int pivot = thisYear - window;
        y += pivot / 100 * 100;
        if (window > 0 && y < pivot) y += 100;
    }
    return TryEncodeDate(y, m, d, Out);
}

bool ScanTime(Scanner& sc, const TFormatSettings& st, TDateTime& Out) {
    auto ampm = [&](int& Which) {
        // 0 none, 1 morning, 2 afternoon
        size_t save = sc.I;
        if ((!st.TimeAMString.empty() && sc.Text(st.TimeAMString)) || sc.Text("AM")) Which = 1;
        else if ((!st.TimePMString.empty() && sc.Text(st.TimePMString)) || sc.Text("PM")) Which = 2;
        else {
            sc.I = save;
            Which = 0;
        }
    };
    int before;
    ampm(before);
    int h, n = 0, s = 0, ms = 0, l;
    if (!sc.Number(h, l)) return false;
    bool colon = false;
    if (sc.Char(st.TimeSeparator)) {
        colon = true;
        if (!sc.Number(n, l)) return false;
        if (sc.Char(st.TimeSeparator)) {
            if (!sc.Number(s, l)) return false;
            if (sc.Char('.') && !sc.Number(ms, l)) return false;
        }
    }
    int after = 0;
    if (!before) ampm(after);
    int designator = before ? before : after;
    if (!colon && !designator) return false;
    if (designator) {
        if (h > 12 || h == 0) return false;
        if (designator == 1 && h == 12) h = 0;
        else if (designator == 2 && h < 12) h += 12;
    }
    return TryEncodeTime(h, n, s, ms, Out);
}

}  // namespace

bool TryStrToDate(std::string_view S, TDateTime& Value, const TFormatSettings& st) {
    Scanner sc{S};
    TDateTime d;
    if (!ScanDate(sc, st, d) || !sc.AtEnd()) return false;
    Value = d;
    return true;
}

bool TryStrToTime(std::string_view S, TDateTime& Value, const TFormatSettings& st) {
    Scanner sc{S};
    TDateTime t;
    if (!ScanTime(sc, st, t) || !sc.AtEnd()) return false;
    Value = t;
    return true;
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value, const TFormatSettings& st) {
    Scanner sc{S};
    TDateTime d, t = 0;
    if (ScanDate(sc, st, d)) {
        if (!sc.AtEnd() && (!ScanTime(sc, st, t) || !sc.AtEnd())) return false;
        Value = ComposeDateTime(d, t);
        return true;
    }
    return TryStrToTime(S, Value, st);
}

bool TryStrToDate(std::string_view S, TDateTime& Value) { return TryStrToDate(S, Value, FormatSettings()); }
bool TryStrToTime(std::string_view S, TDateTime& Value) { return TryStrToTime(S, Value, FormatSettings()); }
bool TryStrToDateTime(std::string_view S, TDateTime& Value) {
    return TryStrToDateTime(S, Value, FormatSettings());
}

TDateTime StrToDate(std::string_view S) {
    TDateTime v;
    if (!TryStrToDate(S, v)) throw EConvertError("'" + AnsiString(S) + "' is not a valid date");
    return v;
}

TDateTime StrToTime(std::string_view S) {
    TDateTime v;
    if (!TryStrToTime(S, v)) throw EConvertError("'" + AnsiString(S) + "' is not a valid time");
    return v;
}

TDateTime StrToDateTime(std::string_view S) {
    TDateTime v;
    if (!TryStrToDateTime(S, v)) throw EConvertError("'" + AnsiString(S) + "' is not a valid date and time");
    return v;
}

TDateTime StrToDateDef(std::string_view S, TDateTime Default) {
    TDateTime v;
    return TryStrToDate(S, v) ? v : Default;
}
