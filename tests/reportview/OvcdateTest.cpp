// The library's date arithmetic: day numbers both ways over the whole range,
// leap years, weeks that belong to the year of their Thursday, adding months
// with and without the day running on, bond day counts and the Julian dates
// around the Gregorian reform.
#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"
#include "reportview/Ovcdate.h"

namespace {
using namespace Ovcdate;

TEST(Ovcdate, DayNumbersOfTheRange) {
    struct Case {
        int D, M, Y;
        TStDate Julian;
    } cases[] = {{1, 1, 1600, 0},  {31, 1, 1600, 30},    {1, 2, 1600, 31},      {29, 2, 1600, 59},
                 {1, 3, 1600, 60}, {1, 1, 1900, 109573}, {31, 12, 3999, 876581}};
    for (const Case& c : cases) {
        EXPECT_EQ(DMYtoStDate(c.D, c.M, c.Y, 0), c.Julian) << c.D << "/" << c.M << "/" << c.Y;
        int d, m, y;
        StDateToDMY(c.Julian, d, m, y);
        EXPECT_EQ(d * 1000000 + m * 10000 + y, c.D * 1000000 + c.M * 10000 + c.Y) << c.Julian;
    }
    EXPECT_EQ(DMYtoStDate(1, 1, 4000, 0), BadDate);
    EXPECT_EQ(DMYtoStDate(29, 2, 1900, 0), BadDate);
    EXPECT_NE(DMYtoStDate(29, 2, 2000, 0), BadDate);
    EXPECT_EQ(DMYtoStDate(31, 12, 1599, 0), BadDate);
    int d = 9, m = 9, y = 9;
    StDateToDMY(BadDate, d, m, y);
    EXPECT_EQ(d + m + y, 0);
}

TEST(Ovcdate, EveryDayNumberGoesThereAndBack) {
    TStDate expected = 0;
    for (int y = MinYear; y <= MaxYear; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= DaysInMonth(m, y, 0); ++d) {
                ASSERT_EQ(DMYtoStDate(d, m, y, 0), expected) << d << "/" << m << "/" << y;
                int d2, m2, y2;
                StDateToDMY(expected, d2, m2, y2);
                ASSERT_TRUE(d2 == d && m2 == m && y2 == y) << expected;
                ++expected;
            }
    EXPECT_EQ(expected, MaxDate + 1);
}

TEST(Ovcdate, LeapYearsAndEpochs) {
    for (int y : {1600, 2000, 2400, 2004}) EXPECT_TRUE(Ovcdate::IsLeapYear(y)) << y;
    for (int y : {1700, 1900, 4000, 2001}) EXPECT_FALSE(Ovcdate::IsLeapYear(y)) << y;
    struct Case {
        int Year, Epoch, Resolved;
    } cases[] = {{49, 1950, 2049}, {50, 1950, 1950}, {99, 1950, 1999},
                 {0, 2000, 2000},  {5, 0, 5},        {1999, 1950, 1999}};
    for (const Case& c : cases)
        EXPECT_EQ(ResolveEpoch(c.Year, c.Epoch), c.Resolved) << c.Year << " " << c.Epoch;
    EXPECT_EQ(DaysInMonth(2, 49, 1950), 28) << "2049";
    EXPECT_EQ(DaysInMonth(2, 5, 0), 0) << "year 5 is outside the range";
    EXPECT_EQ(DaysInMonth(13, 2000, 0), 0);
    EXPECT_FALSE(ValidDate(1, 1, 49, 0));
    EXPECT_TRUE(ValidDate(1, 1, 49, 1950));
}

TEST(Ovcdate, WeekdaysAndWeeksOfTheYear) {
    EXPECT_EQ(Ovcdate::DayOfWeek(0), Saturday);
    EXPECT_EQ(Ovcdate::DayOfWeek(BadDate), 7);
    EXPECT_EQ(DayOfWeekDMY(11, 12, 2026, 0), Friday);
    struct Case {
        int D, M, Y, Week;
    } cases[] = {{1, 1, 2010, 53},   {3, 1, 2010, 53},  {4, 1, 2010, 1},
                 {31, 12, 2009, 53}, {29, 12, 2014, 1}, {1, 1, 2015, 1},
                 {28, 12, 2026, 53}, {1, 1, 1600, 52},  {31, 12, 3999, 52}};
    for (const Case& c : cases)
        EXPECT_EQ(WeekOfYear(DMYtoStDate(c.D, c.M, c.Y, 0)), c.Week) << c.D << "/" << c.M << "/" << c.Y;
    EXPECT_EQ(WeekOfYear(-1), 0);
    EXPECT_EQ(WeekOfYear(MaxDate + 1), 0);
}

TEST(Ovcdate, AddingMonthsRunsOnOrCuts) {
    struct Case {
        int D, M, Y, Days, Months, Years;
        int IncD, IncM, IncY;        // IncDate (with the days)
        int TruncD, TruncM, TruncY;  // IncDateTrunc (without)
    } cases[] = {
        {31, 1, 2001, 0, 1, 0, 3, 3, 2001, 28, 2, 2001},
        {31, 1, 2000, 0, 1, 0, 2, 3, 2000, 29, 2, 2000},
        {15, 3, 2001, 10, -3, 0, 25, 12, 2000, 15, 12, 2000},
        {31, 12, 2000, 1, 14, 1, 4, 3, 2003, 28, 2, 2003},
        {30, 4, 2001, 0, -1, 0, 30, 3, 2001, 30, 3, 2001},
        {31, 3, 2001, 0, -1, -1, 2, 3, 2000, 29, 2, 2000},
    };
    for (const Case& c : cases) {
        TStDate start = DMYtoStDate(c.D, c.M, c.Y, 0);
        EXPECT_EQ(IncDate(start, c.Days, c.Months, c.Years), DMYtoStDate(c.IncD, c.IncM, c.IncY, 0))
            << c.D << "/" << c.M << "/" << c.Y;
        EXPECT_EQ(IncDateTrunc(start, c.Months, c.Years), DMYtoStDate(c.TruncD, c.TruncM, c.TruncY, 0))
            << c.D << "/" << c.M << "/" << c.Y;
    }
    EXPECT_EQ(IncDate(DMYtoStDate(1, 12, 3999, 0), 0, 1, 0), BadDate);
    EXPECT_EQ(IncDate(BadDate, 1, 0, 0), BadDate);
}

TEST(Ovcdate, DifferencesOfDates) {
    struct Case {
        TStDate A, B;
        int Days, Months, Years;
    } cases[] = {
        {DMYtoStDate(31, 12, 2000, 0), DMYtoStDate(31, 1, 2001, 0), 0, 1, 0},
        {DMYtoStDate(15, 1, 2001, 0), DMYtoStDate(10, 3, 2002, 0), 26, 1, 1},
        {DMYtoStDate(10, 3, 2002, 0), DMYtoStDate(15, 1, 2001, 0), 26, 1, 1},
        {DMYtoStDate(1, 5, 2001, 0), DMYtoStDate(1, 5, 2001, 0), 0, 0, 0},
    };
    for (const Case& c : cases) {
        int d, m, y;
        DateDiff(c.A, c.B, d, m, y);
        EXPECT_EQ(d, c.Days) << c.A;
        EXPECT_EQ(m, c.Months) << c.A;
        EXPECT_EQ(y, c.Years) << c.A;
    }
}

TEST(Ovcdate, BondDayCounts) {
    struct Case {
        int D1, M1, D2, M2;
        TStBondDateType Basis;
        int32_t Days;
    } cases[] = {
        {31, 1, 31, 3, bdt30360, 60}, {31, 1, 31, 3, bdt30E360, 60}, {31, 1, 31, 3, bdtActual, 59},
        {15, 1, 31, 3, bdt30360, 76}, {15, 1, 31, 3, bdt30E360, 75}, {28, 2, 31, 3, bdt30360psa, 30},
        {28, 2, 31, 3, bdt30360, 33},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BondDateDiff(DMYtoStDate(c.D2, c.M2, 2001, 0), DMYtoStDate(c.D1, c.M1, 2001, 0), c.Basis),
                  c.Days)
            << c.D1 << "/" << c.M1 << " basis " << int(c.Basis);
}

TEST(Ovcdate, JulianDatesAroundTheReform) {
    // 4 October 1582 (Julian calendar) was followed by 15 October 1582.
    EXPECT_DOUBLE_EQ(AstJulianDatePrim(1582, 10, 4, 0), 2299159.5);
    EXPECT_DOUBLE_EQ(AstJulianDatePrim(1582, 10, 15, 0), 2299160.5);
    EXPECT_DOUBLE_EQ(AstJulianDatePrim(2000, 1, 1, 43200), 2451545.0);
    EXPECT_DOUBLE_EQ(AstJulianDatePrim(1600, 1, 1, 0), AstJulianDate(0));
    // The 15th of November of an earlier year is still of the Julian calendar.
    EXPECT_DOUBLE_EQ(AstJulianDatePrim(1500, 11, 15, 0) - AstJulianDatePrim(1500, 11, 14, 0), 1.0);
    EXPECT_DOUBLE_EQ(AstJulianDatePrim(1500, 11, 15, 0), 2269251.5);
    for (auto [y, m, d, t] : {std::tuple{2001, 2, 29, 0},
                              {2001, 13, 1, 0},
                              {2001, 4, 31, 0},
                              {2001, 1, 0, 0},
                              {2001, 1, 1, 86400}})
        EXPECT_EQ(AstJulianDatePrim(y, m, d, t), BadAstJulianDate) << y << "/" << m << "/" << d;
    TStDate day = DMYtoStDate(11, 12, 2026, 0);
    EXPECT_EQ(AstJulianDatetoStDate(AstJulianDate(day), true), day);
    EXPECT_EQ(AstJulianDatetoStDate(AstJulianDate(day) + 0.6, false), day + 1);
    EXPECT_EQ(AstJulianDatetoStDate(AstJulianDate(day) + 0.6, true), day);
    EXPECT_EQ(AstJulianDatetoStDate(AstJulianDate(0) - 1, true), BadDate);
}

TEST(Ovcdate, TimesOfTheDay) {
    EXPECT_EQ(HMStoStTime(25, 0, 0), 3600);
    EXPECT_EQ(DecTime(HMStoStTime(0, 10, 0), 0, 20, 0), HMStoStTime(23, 50, 0));
    EXPECT_EQ(IncTime(HMStoStTime(23, 50, 0), 0, 20, 0), HMStoStTime(0, 10, 0));
    EXPECT_EQ(RoundToNearestHour(HMStoStTime(23, 30, 0), false), 0);
    EXPECT_EQ(RoundToNearestHour(HMStoStTime(23, 30, 0), true), HMStoStTime(23, 0, 0));
    EXPECT_EQ(RoundToNearestMinute(HMStoStTime(10, 5, 30), false), HMStoStTime(10, 6, 0));
    EXPECT_EQ(RoundToNearestMinute(HMStoStTime(10, 5, 29), false), HMStoStTime(10, 5, 0));
    uint8_t h = 1, m = 1, s = 1;
    StTimeToHMS(BadTime, h, m, s);
    EXPECT_EQ(h + m + s, 0);
    TimeDiff(HMStoStTime(10, 0, 0), HMStoStTime(8, 30, 15), h, m, s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 12945) << "1:29:45";
    EXPECT_FALSE(ValidTime(24, 0, 0));
    EXPECT_TRUE(ValidTime(23, 59, 59));

    int32_t days, secs;
    DateTimeDiff({10, 100}, {8, 200}, days, secs);
    EXPECT_EQ(days, 1);
    EXPECT_EQ(secs, SecondsInDay - 100);
    TStDateTimeRec r;
    IncDateTime({10, 100}, r, 0, -(2 * SecondsInDay + 200));
    EXPECT_EQ(r.D, 7);
    EXPECT_EQ(r.T, SecondsInDay - 100);
    IncDateTime({10, SecondsInDay - 1}, r, 1, 2);
    EXPECT_EQ(r.D, 12);
    EXPECT_EQ(r.T, 1);
}

TEST(Ovcdate, PlatformDatesAndTwoByteDates) {
    EXPECT_EQ(Convert2ByteDate(0), DMYtoStDate(1, 1, 1900, 0));
    EXPECT_EQ(Convert4ByteDate(DMYtoStDate(1, 1, 1900, 0)), 0);
    TDateTime dt = EncodeDate(2026, 12, 11) + EncodeTime(13, 45, 10, 0);
    EXPECT_EQ(DateTimeToStDate(dt), DMYtoStDate(11, 12, 2026, 0));
    EXPECT_EQ(DateTimeToStTime(dt), HMStoStTime(13, 45, 10));
    EXPECT_DOUBLE_EQ(StDateToDateTime(DMYtoStDate(11, 12, 2026, 0)), EncodeDate(2026, 12, 11));
    EXPECT_DOUBLE_EQ(StDateToDateTime(BadDate), 0);
    EXPECT_DOUBLE_EQ(StTimeToDateTime(HMStoStTime(6, 0, 0)), 0.25);
    TManualClock clock(EncodeDate(2031, 7, 4) + 0.5);
    TClockScope scope(clock);
    EXPECT_EQ(CurrentDate(), DMYtoStDate(4, 7, 2031, 0));
    EXPECT_EQ(CurrentTime(), 43200);
    InitDefaultDate();
    EXPECT_EQ(DefaultYear, 2031);
    EXPECT_EQ(DefaultMonth, 7);
}

}  // namespace
