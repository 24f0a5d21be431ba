// Dates, times and numbers typed as text, by the Spanish settings and by a
// month-day-year setting.
#include <gtest/gtest.h>

#include <string>

#include "dataaware/wwcommon.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Regional.h"

namespace {

TFormatSettings MonthDayYear() {
    TFormatSettings s;
    s.ShortDateFormat = "M/d/yyyy";
    s.DecimalSeparator = '.';
    s.ThousandSeparator = ',';
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return s;
}

class DateTexts : public ::testing::Test {
protected:
    DateTexts() : FScope(TFormatSettings()), FClockScope(FClock) {}
    TManualClock FClock{EncodeDate(2026, 9, 14) + 0.5};

private:
    TFormatSettingsScope FScope;  // the Spanish defaults
    TClockScope FClockScope;
};

TDateTime D(int Y, int M, int Day) { return EncodeDate(Y, M, Day); }

}  // namespace

TEST_F(DateTexts, SpanishDatesAndTheirYears) {
    struct Case {
        const char* Text;
        bool IsDate;
        TDateTime Value;  // of ParseDateText, 0 when it reads none
    } cases[] = {
        {"31/12/49", true, D(2049, 12, 31)},
        {"1/1/50", true, D(1950, 1, 1)},
        {"29/02/2001", false, 0},
        {"29/02/2000", true, D(2000, 2, 29)},
        {"5/3", true, D(2026, 3, 5)},  // the current year
        {"12/ene/2003", true, D(2003, 1, 12)},
        {"31/12/2003  ", true, D(2003, 12, 31)},
        {"31/12/2003x", false, D(2003, 12, 31)},  // not a date, but read at the start
        {"31/13/2003", false, 0},
        {"/12/2003", false, 0},
        {"12345/1/1", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDateText(c.Text), c.IsDate) << c.Text;
        TDateTime value = 0;
        bool read = ParseDateText(c.Text, value);
        EXPECT_EQ(read, c.Value != 0) << c.Text;
        EXPECT_EQ(value, c.Value) << c.Text;
        EXPECT_EQ(DateTextToValue(c.Text), c.Value) << c.Text;
    }
    TDateTime value;
    ASSERT_TRUE(ParseDateTextPivot("1/1/79", value, 1980));
    EXPECT_EQ(value, D(2079, 1, 1));
}

TEST_F(DateTexts, TimesAndDateTimes) {
    EXPECT_TRUE(IsDateTimeText("31/12/2003 10:30"));
    EXPECT_FALSE(IsDateTimeText("31/12/2003 10:"));
    EXPECT_TRUE(IsTimeText("12:00 AM"));
    EXPECT_EQ(TimeTextToValue("12:00 AM"), 0.0);
    EXPECT_DOUBLE_EQ(TimeTextToValue("12:30 PM"), 12.5 / 24);
    EXPECT_DOUBLE_EQ(TimeTextToValue("7:15 p.m."), (19 + 0.25) / 24);  // the regional mark
    EXPECT_FALSE(IsTimeText("13:00 PM"));
    EXPECT_FALSE(IsTimeText("24:00"));
    EXPECT_TRUE(IsTimeText("10:30:45"));
    EXPECT_FALSE(IsTimeText("10:30:"));
    EXPECT_DOUBLE_EQ(DateTimeTextToValue("31/12/2003 06:00"), D(2003, 12, 31) + 0.25);
    EXPECT_EQ(DateTimeTextToValue("31/12/2003"), 0.0);
    EXPECT_EQ(TimeTextToValue("x"), 0.0);
}

TEST_F(DateTexts, IntegersAndNumbers) {
    struct Case {
        const char* Text;
        bool Integer, Float;
    } cases[] = {{"", true, true},        {"-12", true, true},   {"-", false, false},
                 {"1-2", false, false},   {"12,5", false, true}, {"12.5", false, false},
                 {"1.234", false, false}, {"abc", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsIntegerText(c.Text), c.Integer) << c.Text;
        EXPECT_EQ(IsFloatText(c.Text), c.Float) << c.Text;
    }
    long double value = 7;
    EXPECT_TRUE(ParseDisplayFloat("", value, ""));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(ParseDisplayFloat("(1.234,50 \x80)", value, "#,##0.00 \x80"));
    EXPECT_EQ(value, -1234.5L);
    ASSERT_TRUE(ParseDisplayFloat("-1.234,5", value, ""));
    EXPECT_EQ(value, -1234.5L);
    EXPECT_FALSE(ParseDisplayFloat("abc", value, ""));
    // A format whose negative section shows no sign is told apart by its own text.
    ASSERT_TRUE(ParseDisplayFloat("5 neg", value, "0;0 neg"));
    EXPECT_EQ(value, -5);
    ASSERT_TRUE(ParseDisplayFloat("5", value, "0;0 neg"));
    EXPECT_EQ(value, 5);
}

TEST_F(DateTexts, PartAtTheCaret) {
    const char* text = "31/12/2003 10:30:45";
    struct Case {
        int Caret;
        TwwDateTimePart Part;
    } cases[] = {{0, dtpDay},     {2, dtpDay},     {3, dtpMonth},   {5, dtpMonth},
                 {6, dtpYear},    {10, dtpYear},   {11, dtpHour},   {13, dtpHour},
                 {14, dtpMinute}, {16, dtpMinute}, {17, dtpSecond}, {19, dtpSecond}};
    for (const Case& c : cases) EXPECT_EQ(DateTimePartAt(c.Caret, text, false), c.Part) << c.Caret;
    EXPECT_EQ(TimePartAt(0, "10:30"), dtpHour);
    EXPECT_EQ(TimePartAt(3, "10:30"), dtpMinute);
    EXPECT_EQ(TimePartAt(10, "10:30:45 PM"), dtpAmPm);
    EXPECT_EQ(TimePartAt(8, "10:30:45 PM"), dtpSecond);
    EXPECT_EQ(DateTimePartAt(3, "10:30", true), dtpMinute);
    EXPECT_EQ(GetDateOrder("dd/mm/yyyy"), doDMY);
    EXPECT_EQ(GetDateOrder("yyyy-MM-dd"), doYMD);
    EXPECT_EQ(GetDateOrder("M/d/yy"), doMDY);
    EXPECT_EQ(GetDateOrder("---"), doMDY);
    EXPECT_EQ(CurrentYear(), 2026);
}

TEST_F(DateTexts, MonthDayYearSettings) {
    TFormatSettingsScope scope(MonthDayYear());
    TDateTime value;
    ASSERT_TRUE(ParseDateText("12/31/49", value));
    EXPECT_EQ(value, D(2049, 12, 31));
    EXPECT_FALSE(IsDateText("31/12/2003"));
    ASSERT_TRUE(ParseDateText("3/5", value));
    EXPECT_EQ(value, D(2026, 3, 5));  // month first
    ASSERT_TRUE(ParseDateText("Jan/12/2003", value));
    EXPECT_EQ(value, D(2003, 1, 12));
    EXPECT_TRUE(IsFloatText("12.5"));
    EXPECT_FALSE(IsFloatText("12,5"));
    EXPECT_DOUBLE_EQ(TimeTextToValue("1:00 PM"), 13.0 / 24);
    // In month-day-year order the first piece is the month.
    EXPECT_EQ(DateTimePartAt(0, "12/31/2003", false), dtpMonth);
    EXPECT_EQ(DateTimePartAt(3, "12/31/2003", false), dtpDay);
    EXPECT_EQ(DateTimePartAt(6, "12/31/2003", false), dtpYear);
}
