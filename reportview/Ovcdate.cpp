#include "reportview/Ovcdate.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace Ovcdate {

namespace {
// Day number of 30 December 1899, the origin of the platform's date-time values.
constexpr TStDate DateTimeOrigin = Date1900 - 2;
constexpr int32_t DaysIn4Centuries = 146097;
constexpr int32_t DaysIn4Years = 1461;
}  // namespace

int DefaultYear = 0;
int DefaultMonth = 0;

void InitDefaultDate() {
    int d = 0;
    StDateToDMY(CurrentDate(), d, DefaultMonth, DefaultYear);
}

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && Year % 4000 != 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int ResolveEpoch(int Year, int Epoch) {
    // Only the low 16 bits of the year count, taken unsigned, as the
    // fields hand years over in a word.
    if (static_cast<uint16_t>(Year) >= 100) return Year;
    int century = Epoch / 100 * 100;
    return Epoch % 100 > Year ? Year + century + 100 : Year + century;
}

int DaysInMonth(int Month, int Year, int Epoch) {
    Year = ResolveEpoch(Year, Epoch);
    if (Year < MinYear || Year > MaxYear) return 0;
    switch (Month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12: return 31;
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    case 2: return IsLeapYear(Year) ? 29 : 28;
    default: return 0;
    }
}

bool ValidDate(int Day, int Month, int Year, int Epoch) {
    Year = ResolveEpoch(Year, Epoch);
    if (Year < MinYear || Year > MaxYear || Month < 1 || Month > 12) return false;
    return Day >= 1 && Day <= DaysInMonth(Month, Year, 0);
}

TStDate DMYtoStDate(int Day, int Month, int Year, int Epoch) {
    Year = ResolveEpoch(Year, Epoch);
    if (!ValidDate(Day, Month, Year, Epoch)) return BadDate;
    if (Year == MinYear && Month < 3) return Month == 1 ? Day - 1 : Day + 30;
    int m = Month;
    if (Month < 3) {
        m += 12;
        --Year;
    }
    int y = Year - MinYear;
    return y / 100 * DaysIn4Centuries / 4 + y % 100 * DaysIn4Years / 4 + (153 * m - 457) / 5 + Day + 59;
}

void StDateToDMY(TStDate Julian, int& Day, int& Month, int& Year) {
    if (Julian == BadDate) {
        Day = Month = Year = 0;
        return;
    }
    if (Julian <= 59) {
        Year = MinYear;
        if (Julian <= 30) {
            Month = 1;
            Day = Julian + 1;
        } else {
            Month = 2;
            Day = Julian - 30;
        }
        return;
    }
    // Months counted from March, as the forward formula counts them.
    int32_t i = 4 * (Julian - 59) - 1;
    int32_t j = 4 * ((i % DaysIn4Centuries) / 4) + 3;
    Year = 100 * (i / DaysIn4Centuries) + j / DaysIn4Years;
    i = 5 * (((j % DaysIn4Years) + 4) / 4) - 3;
    Day = ((i % 153) + 5) / 5;
    Month = i / 153;
    if (Month < 10) Month += 3;
    else {
        Month -= 9;
        ++Year;
    }
    Year += MinYear;
}

TStDate CurrentDate() { return DateTimeToStDate(Now()); }

int DayOfWeek(TStDate Julian) { return Julian == BadDate ? 7 : (Julian + 6) % 7; }

int DayOfWeekDMY(int Day, int Month, int Year, int Epoch) {
    return DayOfWeek(DMYtoStDate(Day, Month, Year, Epoch));
}

int WeekOfYear(TStDate Julian) {
    if (Julian < MinDate || Julian > MaxDate) return 0;
    TStDate thursday = Julian + 3 - ((DayOfWeek(Julian) + 6) % 7);
    // The Thursday of the first and the last days may fall in 1599 or 4000,
    // outside the day numbers: their first of January is counted by hand.
    TStDate firstOfYear;
    if (thursday < MinDate) firstOfYear = -365;
    else if (thursday > MaxDate) firstOfYear = MaxDate + 1;
    else {
        int d, m, y;
        StDateToDMY(thursday, d, m, y);
        firstOfYear = DMYtoStDate(1, 1, y, 0);
    }
    return (thursday - firstOfYear) / 7 + 1;
}

double AstJulianDate(TStDate Julian) { return Julian - 0.5 + 2305448; }

double AstJulianDatePrim(int Year, int Month, int Day, TStTime T) {
    if (Month < 1 || Month > 12 || Day < 1 || T < 0 || T >= SecondsInDay) return BadAstJulianDate;
    int maxDay = 31;
    if (Month == 4 || Month == 6 || Month == 9 || Month == 11) maxDay = 30;
    else if (Month == 2) maxDay = IsLeapYear(Year) ? 29 : 28;
    if (Day > maxDay) return BadAstJulianDate;
    if (Month < 3) {
        --Year;
        Month += 12;
    }
    // The Gregorian reform: the correction applies from 15 October 1582 on,
    // and only then (not to every 15th of October or later of earlier years).
    int b = 0;
    if (Year > 1582 || (Year == 1582 && (Month > 10 || (Month == 10 && Day > 14)))) {
        int a = std::abs(Year / 100);
        b = 2 - a + a / 4;
    }
    return std::trunc(365.25 * (Year + 4716)) + std::trunc(30.6001 * (Month + 1)) + Day + b - 1524.5 +
           double(T) / SecondsInDay;
}

TStDate AstJulianDatetoStDate(double AstJulian, bool Truncate) {
    double v = AstJulian + 0.5 - 2305448;
    if (v < 0 || v > MaxDate) return BadDate;
    return Truncate ? static_cast<TStDate>(std::trunc(v)) : static_cast<TStDate>(std::trunc(v + 0.5));
}

namespace {
// The day of Julian cut to 28 (the excess answered) and the month moved by
// Months and Years; the target day number, or BadDate.
TStDate MoveMonths(TStDate Julian, int Months, int Years, int& Day, int& Month, int& Year, int& Excess) {
    StDateToDMY(Julian, Day, Month, Year);
    Excess = Day > 28 ? Day - 28 : 0;
    if (Excess) Day = 28;
    Year += Years + Months / 12;
    Month += Months % 12;
    if (Month < 1) {
        Month += 12;
        --Year;
    } else if (Month > 12) {
        Month -= 12;
        ++Year;
    }
    return DMYtoStDate(Day, Month, Year, 0);
}
}  // namespace

TStDate IncDate(TStDate Julian, int Days, int Months, int Years) {
    int d, m, y, excess;
    TStDate result = MoveMonths(Julian, Months, Years, d, m, y, excess);
    return result == BadDate ? BadDate : result + Days + excess;
}

TStDate IncDateTrunc(TStDate Julian, int Months, int Years) {
    int d, m, y, excess;
    TStDate result = MoveMonths(Julian, Months, Years, d, m, y, excess);
    if (result == BadDate) return BadDate;
    int maxDay = DaysInMonth(m, y, 0);
    return d + excess > maxDay ? result + maxDay - d : result + excess;
}

void DateDiff(TStDate Date1, TStDate Date2, int& Days, int& Months, int& Years) {
    if (Date1 > Date2) std::swap(Date1, Date2);
    int d1, m1, y1, d2, m2, y2;
    StDateToDMY(Date1, d1, m1, y1);
    StDateToDMY(Date2, d2, m2, y2);
    // The last day of a month counts as day 0 of the next one.
    if (d1 == DaysInMonth(m1, y1, 0)) {
        d1 = 0;
        ++m1;
    }
    if (d2 == DaysInMonth(m2, y2, 0)) {
        d2 = 0;
        ++m2;
    }
    if (d2 < d1) {
        if (--m2 == 0) {
            m2 = 12;
            --y2;
        }
        Days = d2 + DaysInMonth(m1, y1, 0) - d1;
    } else Days = d2 - d1;
    if (m2 < m1) {
        m2 += 12;
        --y2;
    }
    Months = m2 - m1;
    Years = y2 - y1;
}

int32_t BondDateDiff(TStDate Date1, TStDate Date2, TStBondDateType DayBasis) {
    if (Date1 > Date2) std::swap(Date1, Date2);
    if (DayBasis == bdtActual) return Date2 - Date1;
    int d1, m1, y1, d2, m2, y2;
    StDateToDMY(Date1, d1, m1, y1);
    StDateToDMY(Date2, d2, m2, y2);
    if (d1 == 31 || (DayBasis == bdt30360psa && m1 == 2 && d1 == DaysInMonth(2, y1, 0))) d1 = 30;
    if (d2 == 31 && (DayBasis == bdt30E360 || d1 >= 30)) d2 = 30;
    return (y2 - y1) * 360 + (m2 - m1) * 30 + d2 - d1;
}

void StTimeToHMS(TStTime T, uint8_t& Hours, uint8_t& Minutes, uint8_t& Seconds) {
    if (T == BadTime) {
        Hours = Minutes = Seconds = 0;
        return;
    }
    Hours = static_cast<uint8_t>(T / 3600);
    Minutes = static_cast<uint8_t>(T % 3600 / 60);
    Seconds = static_cast<uint8_t>(T % 60);
}

TStTime HMStoStTime(uint8_t Hours, uint8_t Minutes, uint8_t Seconds) {
    return ((Hours % 24) * 3600 + Minutes * 60 + Seconds) % SecondsInDay;
}

bool ValidTime(int Hours, int Minutes, int Seconds) {
    return Hours >= 0 && Hours <= 23 && Minutes >= 0 && Minutes <= 59 && Seconds >= 0 && Seconds <= 59;
}

TStTime CurrentTime() { return DateTimeToStTime(Now()); }

void TimeDiff(TStTime Time1, TStTime Time2, uint8_t& Hours, uint8_t& Minutes, uint8_t& Seconds) {
    StTimeToHMS(std::abs(Time2 - Time1), Hours, Minutes, Seconds);
}

TStTime IncTime(TStTime T, uint8_t Hours, uint8_t Minutes, uint8_t Seconds) {
    return (T + HMStoStTime(Hours, Minutes, Seconds)) % SecondsInDay;
}

TStTime DecTime(TStTime T, uint8_t Hours, uint8_t Minutes, uint8_t Seconds) {
    TStTime result = T - HMStoStTime(Hours % 24, Minutes, Seconds);
    return result < 0 ? result + SecondsInDay : result;
}

TStTime RoundToNearestHour(TStTime T, bool Truncate) {
    uint8_t h, m, s;
    StTimeToHMS(T, h, m, s);
    if (!Truncate && m >= 30) h = static_cast<uint8_t>(h + 1);
    return HMStoStTime(h, 0, 0);
}

TStTime RoundToNearestMinute(TStTime T, bool Truncate) {
    uint8_t h, m, s;
    StTimeToHMS(T, h, m, s);
    TStTime result = HMStoStTime(h, m, 0);
    if (!Truncate && s >= 30) result = (result + 60) % SecondsInDay;
    return result;
}

void DateTimeDiff(const TStDateTimeRec& DT1, const TStDateTimeRec& DT2, int32_t& Days, int32_t& Secs) {
    TStDateTimeRec a = DT1, b = DT2;
    if (a.D > b.D || (a.D == b.D && a.T > b.T)) std::swap(a, b);
    Days = b.D - a.D;
    if (b.T < a.T) {
        --Days;
        b.T += SecondsInDay;
    }
    Secs = b.T - a.T;
}

void IncDateTime(const TStDateTimeRec& DT1, TStDateTimeRec& DT2, int32_t Days, int32_t Secs) {
    DT2 = DT1;
    DT2.D += Days;
    if (Secs < 0) {
        int32_t back = -Secs;
        DT2.D -= back / SecondsInDay;
        int32_t r = back % SecondsInDay;
        if (DT2.T < r) {
            --DT2.D;
            DT2.T += SecondsInDay;
        }
        DT2.T -= r;
    } else {
        DT2.T += Secs;
        DT2.D += DT2.T / SecondsInDay;
        DT2.T %= SecondsInDay;
    }
}

TStDate DateTimeToStDate(TDateTime DT) {
    int y, m, d;
    DecodeDate(DT, y, m, d);
    return DMYtoStDate(d, m, y, 0);
}

TStTime DateTimeToStTime(TDateTime DT) {
    int h, mi, s, ms;
    DecodeTime(DT, h, mi, s, ms);
    return HMStoStTime(static_cast<uint8_t>(h), static_cast<uint8_t>(mi), static_cast<uint8_t>(s));
}

TDateTime StDateToDateTime(TStDate D) { return D == BadDate ? 0 : double(D - DateTimeOrigin); }

TDateTime StTimeToDateTime(TStTime T) { return T == BadTime ? 0 : double(T) / SecondsInDay; }

TStDate Convert2ByteDate(uint16_t TwoByteDate) { return TwoByteDate + Date1900; }

uint16_t Convert4ByteDate(TStDate FourByteDate) { return static_cast<uint16_t>(FourByteDate - Date1900); }

}  // namespace Ovcdate
