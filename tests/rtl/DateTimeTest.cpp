#include <gtest/gtest.h>

#include <array>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Regional.h"

namespace {

// Spanish settings and a clock stopped on Saturday 15 March 2025, 10:30.
class DateTimeTest : public ::testing::Test {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
    TManualClock Fixed{EncodeDate(2025, 3, 15) + EncodeTime(10, 30, 0, 0), 1000};
    TClockScope UseFixed{Fixed};
};

}  // namespace

TEST_F(DateTimeTest, EncodeDateCountsFromTheLastDaysOf1899) {
    struct {
        int Y, M, D;
        double Value;
    } cases[] = {
        {1899, 12, 30, 0},    {1899, 12, 29, -1}, {1900, 1, 1, 2},         {1900, 3, 1, 61},
        {2000, 2, 29, 36585}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {2025, 3, 15, 45731},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.Y, c.M, c.D), c.Value) << c.Y << "-" << c.M << "-" << c.D;
        int y, m, d;
        DecodeDate(c.Value, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.Y * 10000 + c.M * 100 + c.D);
    }
    struct {
        int Y, M, D;
    } bad[] = {{1900, 2, 29}, {2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1},
               {2024, 4, 31}, {0, 1, 1},     {10000, 1, 1}, {2024, 1, 0}};
    for (const auto& c : bad) {
        try {
            EncodeDate(c.Y, c.M, c.D);
            ADD_FAILURE() << c.Y << "-" << c.M << "-" << c.D;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
}

TEST_F(DateTimeTest, EveryDayDecodesToWhatEncodedIt) {
    for (int day = -693593; day <= 2958465; day += 331) {
        int y, m, d;
        DecodeDate(day, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day);
    }
}

TEST_F(DateTimeTest, LeapYearsAndWeekdays) {
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DayOfWeek(0), 7);                       // 30 December 1899: Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);  // Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 10) + 0.99), 1);
    EXPECT_EQ(DayOfWeek(-1.75), 6);  // 29 December 1899, a Friday, at 18:00
}

TEST_F(DateTimeTest, NegativeValuesKeepTheTimeOfDayInTheFraction) {
    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    // -0.5 is noon of the base day, as 0.5 is.
    DecodeDate(-0.5, y, m, d);
    DecodeTime(-0.5, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
    EXPECT_EQ(h, 12);
    EXPECT_DOUBLE_EQ(ComposeDateTime(-1, 0.25), -1.25);
    EXPECT_DOUBLE_EQ(ComposeDateTime(EncodeDate(1899, 12, 28), EncodeTime(18, 0, 0, 0)), -2.75);
    EXPECT_DOUBLE_EQ(DateOf(-1.25), -1);
    EXPECT_DOUBLE_EQ(TimeOf(-1.25), 0.25);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(DateTimeToTimeStamp(-1.25)), -1.25);
}

TEST_F(DateTimeTest, TimesEncodeToMillisecondsAndRefuseBadParts) {
    int h, n, s, ms;
    DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
    DecodeTime(0.5, h, n, s, ms);
    EXPECT_EQ(h, 12);
    const std::array<int, 4> bad[] = {
        {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& parts : bad)
        EXPECT_THROW(EncodeTime(parts[0], parts[1], parts[2], parts[3]), EConvertError);
    // A value a hair before midnight rounds into the next day, not to 24:00.
    TTimeStamp t = DateTimeToTimeStamp(1 - 1e-10);
    EXPECT_EQ(t.Date, DateDelta + 1);
    EXPECT_EQ(t.Time, 0);
}

TEST_F(DateTimeTest, SystemTimeAndFileDatesRoundTrip) {
    TDateTime v = EncodeDate(2024, 3, 6) + EncodeTime(14, 5, 8, 7);
    TSystemTime st;
    DateTimeToSystemTime(v, st);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 6);
    EXPECT_EQ(st.wDayOfWeek, 3);  // Wednesday, Sunday being 0
    EXPECT_EQ(st.wMilliseconds, 7);
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st), v);
    EXPECT_DOUBLE_EQ(FileDateToDateTime(DateTimeToFileDate(v)),
                     EncodeDate(2024, 3, 6) + EncodeTime(14, 5, 8, 0));
    EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0);
}

TEST_F(DateTimeTest, ClockIsInjected) {
    EXPECT_DOUBLE_EQ(Now(), EncodeDate(2025, 3, 15) + EncodeTime(10, 30, 0, 0));
    EXPECT_DOUBLE_EQ(Date(), EncodeDate(2025, 3, 15));
    Fixed.SetTickCount(0xFFFFFF00u);
    Fixed.Advance(0x200);
    EXPECT_EQ(GetTickCount(), 0x100u);  // wrapped, as the 32-bit count does after 49.7 days
    EXPECT_EQ(GetTickCount() - 0xFFFFFF00u, 0x200u);
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", Now()), "10:30:00.512");
}

TEST_F(DateTimeTest, FormatDateTimeTokens) {
    TDateTime v = EncodeDate(2024, 3, 6) + EncodeTime(14, 5, 9, 7);  // a Wednesday
    struct {
        const char* Fmt;
        const char* Expected;
    } cases[] = {
        {"dd/mm/yyyy", "06/03/2024"},
        {"d/m/yy", "6/3/24"},
        {"ddd dddd", "mi\xE9 mi\xE9rcoles"},
        {"mmm mmmm", "mar marzo"},
        {"hh:mm", "14:05"},
        {"mm/dd hh:mm", "03/06 14:05"},
        {"h:nn:ss", "14:05:09"},
        {"hh:nn:ss.zzz", "14:05:09.007"},
        {"z", "7"},
        {"h am/pm", "2 pm"},
        {"h AM/PM", "2 PM"},
        {"h a/p", "2 p"},
        {"hh ampm", "02 p.m."},
        {"c", "06/03/2024 14:05:09"},
        {"", "06/03/2024 14:05:09"},
        {"ddddd", "06/03/2024"},
        {"dddddd", "mi\xE9rcoles, 6 de marzo de 2024"},
        {"t", "14:05"},
        {"tt", "14:05:09"},
        {"'Hoy es' dddd", "Hoy es mi\xE9rcoles"},
        {"\"m\"m", "m3"},
        {"yyyy-mm-dd", "2024-03-06"},
        {"y", "24"},
        {"x?", "x?"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.Fmt, v), c.Expected) << c.Fmt;
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 6)), "06/03/2024");
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeDate(2024, 3, 6)), "12 am");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", -1.25), "29/12/1899");
    EXPECT_EQ(DateToStr(v), "06/03/2024");
    EXPECT_EQ(TimeToStr(v), "14:05:09");
    EXPECT_EQ(DateTimeToStr(v), "06/03/2024 14:05:09");

    TFormatSettings other;
    other.DateSeparator = '-';
    other.TimeSeparator = '.';
    EXPECT_EQ(FormatDateTime("dd/mm hh:nn", v, other), "06-03 14.05");
}

TEST_F(DateTimeTest, TextsToDates) {
    struct {
        const char* Text;
        TDateTime Value;
    } good[] = {
        {"6/3/2024", EncodeDate(2024, 3, 6)},   {" 06/03/2024 ", EncodeDate(2024, 3, 6)},
        {"06/03/24", EncodeDate(2024, 3, 6)},                                     // within 50 years of 2025
        {"6/3/80", EncodeDate(1980, 3, 6)},     {"6/3", EncodeDate(2025, 3, 6)},  // this year
        {"29/2/2024", EncodeDate(2024, 2, 29)},
    };
    for (const auto& c : good) EXPECT_DOUBLE_EQ(StrToDate(c.Text), c.Value) << c.Text;
    for (const char* bad : {"31/02/2024", "6-3-2024", "abc", "", "6/3/2024 x", "6/", "29/2/2023"}) {
        try {
            StrToDate(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + AnsiString(bad) + "' is not a valid date");
        }
    }
    TFormatSettings us;
    us.ShortDateFormat = "mm/dd/yyyy";
    TDateTime d;
    ASSERT_TRUE(TryStrToDate("3/6/2024", d, us));
    EXPECT_DOUBLE_EQ(d, EncodeDate(2024, 3, 6));
}

TEST_F(DateTimeTest, TextsToTimesAndDateTimes) {
    struct {
        const char* Text;
        TDateTime Value;
    } good[] = {
        {"14:05", EncodeTime(14, 5, 0, 0)},
        {"14:05:09", EncodeTime(14, 5, 9, 0)},
        {"2:05 p.m.", EncodeTime(14, 5, 0, 0)},
        {"2:05 PM", EncodeTime(14, 5, 0, 0)},
        {"12:00 AM", 0},
        {"12:30 pm", EncodeTime(12, 30, 0, 0)},
        {"9 a.m.", EncodeTime(9, 0, 0, 0)},
        {"1:02:03.004", EncodeTime(1, 2, 3, 4)},
    };
    for (const auto& c : good) EXPECT_DOUBLE_EQ(StrToTime(c.Text), c.Value) << c.Text;
    for (const char* bad : {"25:00", "14", "14:60", "13:00 PM", "0:10 AM", "14:05 x"}) {
        try {
            StrToTime(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + AnsiString(bad) + "' is not a valid time");
        }
    }
    EXPECT_DOUBLE_EQ(StrToDateTime("6/3/2024 14:05:09"), EncodeDate(2024, 3, 6) + EncodeTime(14, 5, 9, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("6/3/2024"), EncodeDate(2024, 3, 6));
    EXPECT_DOUBLE_EQ(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_THROW(StrToDateTime("6/3/2024 99:00"), EConvertError);
    // What DateTimeToStr writes, StrToDateTime reads back.
    TDateTime v = EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0);
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(v)), v);
}

TEST_F(DateTimeTest, IncMonthCutsTheDayToTheMonth) {
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2024, 3, 31), -13), EncodeDate(2023, 2, 28));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2024, 11, 15) + 0.5, 2), EncodeDate(2025, 1, 15) + 0.5);
}
