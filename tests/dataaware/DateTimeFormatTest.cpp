// The date-time editor's display formats: which tokens are parts, where each
// part stands in the shown text, and the small calendar routines the
// keyboard editing and the drop-down share.
#include <gtest/gtest.h>

#include "dataaware/wwdbdatetimepicker.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Regional.h"

namespace {

class DateTimeFormat : public ::testing::Test {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
};

constexpr TwwDTPartKinds DateTimeKind{true, true};
constexpr TwwDTPartKinds DateKind{true, false};
constexpr TwwDTPartKinds TimeKind{false, true};

}  // namespace

TEST_F(DateTimeFormat, PartsCountByTheEditorsKind) {
    struct Case {
        const char* Format;
        TwwDTPartKinds Kinds;
        int Parts;
    } cases[] = {
        {"dd/mm/yyyy", DateTimeKind, 3},
        {"dd/mm/yyyy hh:nn", DateTimeKind, 5},
        {"dd/mm/yyyy hh:mm", DateTimeKind, 5},
        {"dd/mm/yyyy hh:nn", DateKind, 3},
        {"dd/mm/yyyy hh:nn", TimeKind, 2},
        // The last character is a token of its own: all three parts count.
        {"d/m/y", DateTimeKind, 3},
        {"hh:nn am/pm", TimeKind, 3},
        {"hh:nn ampm", DateKind, 0},
        // Quoted letters are text, not tokens.
        {"dddd, d' de 'mmmm' de 'yyyy", DateKind, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountFormatParts(ExpandDateTimeFormat(c.Format), c.Kinds), c.Parts) << c.Format;
}

TEST_F(DateTimeFormat, PartsStandWhereTheFormattedTextShowsThem) {
    const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    struct Case {
        const char* Format;
        TwwDTPartKinds Kinds;
        int N;
        const char* Token;
        int Start, Length;
    } cases[] = {
        {"dd/mm/yyyy", DateTimeKind, 1, "dd", 0, 2},
        {"dd/mm/yyyy", DateTimeKind, 3, "yyyy", 6, 4},
        {"d/m/y", DateTimeKind, 3, "yy", 4, 2},
        {"hh:mm", TimeKind, 2, "nn", 3, 2},
        {"dd/mm/yyyy hh:nn", TimeKind, 1, "hh", 11, 2},
        {"h:nn am/pm", TimeKind, 3, "am/pm", 5, 2},
        {"h:nn AMPM", TimeKind, 1, "h", 0, 1},
        {"dddd, d' de 'mmmm' de 'yyyy", DateKind, 3, "mmmm", 13, 5},
        {"dddd, d' de 'mmmm' de 'yyyy", DateKind, 4, "yyyy", 22, 4},
        {"c", DateTimeKind, 5, "nn", 14, 2},
    };
    for (const Case& c : cases) {
        TwwDTPart part;
        ASSERT_TRUE(LocateFormatPart(ExpandDateTimeFormat(c.Format), c.Kinds, c.N, value, part)) << c.Format;
        EXPECT_EQ(part.Token, c.Token) << c.Format << " " << c.N;
        EXPECT_EQ(part.Start, c.Start) << c.Format << " " << c.N;
        EXPECT_EQ(part.Length, c.Length) << c.Format << " " << c.N;
        const AnsiString shown = FormatDateTime(ExpandDateTimeFormat(c.Format), value);
        EXPECT_EQ(part.Text, shown.substr(0, static_cast<size_t>(c.Start + c.Length))) << c.Format;
    }
    TwwDTPart none;
    EXPECT_FALSE(LocateFormatPart("dd/mm/yyyy", DateTimeKind, 4, value, none));
    EXPECT_TRUE(none.Text.empty());
}

TEST_F(DateTimeFormat, TwelveHourTokensShowTheClockOfTheFormat) {
    struct Case {
        int Hour;
        const char* Format;
        const char* Text;
    } cases[] = {
        {0, "h am/pm", "12 am"}, {12, "h am/pm", "12 pm"}, {13, "hh a/p", "01 p"},
        {9, "h ampm", "9 a.m."}, {23, "hh:nn", "23:00"},
    };
    for (const Case& c : cases) {
        TwwDTPart part;
        const AnsiString f = c.Format;
        const int parts = CountFormatParts(f, TimeKind);
        ASSERT_TRUE(LocateFormatPart(f, TimeKind, parts, EncodeTime(c.Hour, 0, 0, 0), part));
        EXPECT_EQ(part.Text, c.Text) << c.Format << " " << c.Hour;
    }
}

TEST_F(DateTimeFormat, DateAndTimePartsOfAFormat) {
    struct Case {
        const char* Format;
        bool Date, Time, AmPm;
    } cases[] = {
        {"", true, true, false},          {"dd/mm/yyyy", true, false, false}, {"hh:mm", false, true, false},
        {"hh:nn a/p", false, true, true}, {"d/m/y", true, false, false},      {"c", true, true, false},
        {"'Sat' hh", false, true, false}, {"mmmm", true, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatHasDatePart(c.Format), c.Date) << c.Format;
        EXPECT_EQ(FormatHasTimePart(c.Format), c.Time) << c.Format;
        EXPECT_EQ(FormatHasAmPm(c.Format), c.AmPm) << c.Format;
    }
}

TEST_F(DateTimeFormat, ShorthandTokensExpandInOrder) {
    EXPECT_EQ(ExpandDateTimeFormat("c"), "dd/mm/yyyy h:nn:ss");
    EXPECT_EQ(ExpandDateTimeFormat("ddddd t"), "dd/mm/yyyy h:nn");
    EXPECT_EQ(ExpandDateTimeFormat("tt"), "h:nn:ss");
    EXPECT_EQ(ReplaceAllText("abab", "ab", "xab"), "xabxab");
}

TEST(DateTimeCalendar, AddMonthsKeepsTheDayWithinTheMonth) {
    struct Case {
        int Count;
        TDateTime From, To;
    } cases[] = {
        {1, EncodeDate(2004, 1, 31), EncodeDate(2004, 2, 29)},
        {-1, EncodeDate(2004, 3, 31), EncodeDate(2004, 2, 29)},
        {-13, EncodeDate(2004, 1, 15), EncodeDate(2002, 12, 15)},
        {12, EncodeDate(2024, 2, 29) + 0.25, EncodeDate(2025, 2, 28) + 0.25},
        {11, EncodeDate(2003, 12, 1), EncodeDate(2004, 11, 1)},
    };
    for (const Case& c : cases) {
        TDateTime r = 0;
        ASSERT_TRUE(AddMonths(c.Count, c.From, r)) << c.Count;
        EXPECT_DOUBLE_EQ(r, c.To) << c.Count;
    }
    TDateTime r = 7;
    EXPECT_FALSE(AddMonths(1, EncodeDate(9999, 12, 5), r));
    EXPECT_EQ(r, 7);
}

TEST(DateTimeCalendar, TwoDigitYearsFallInTheEpochsCentury) {
    struct Case {
        int YY, Epoch, Year;
    } cases[] = {{49, 1950, 2049}, {50, 1950, 1950}, {0, 1950, 2000}, {99, 1950, 1999}, {79, 1980, 2079}};
    for (const Case& c : cases) EXPECT_EQ(ExpandTwoDigitYear(c.YY, c.Epoch), c.Year) << c.YY;
}

TEST(DateTimeCalendar, MonthLengthsAndEditCharacters) {
    EXPECT_EQ(wwdbdatetimepicker::DaysInMonth(2, 2024), 29);
    EXPECT_EQ(wwdbdatetimepicker::DaysInMonth(2, 1900), 28);
    EXPECT_EQ(wwdbdatetimepicker::DaysInMonth(4, 2023), 30);
    EXPECT_TRUE(DayNotBefore(EncodeDate(2024, 1, 1) + 0.1, EncodeDate(2024, 1, 1) + 0.9));
    EXPECT_FALSE(DayNotBefore(EncodeDate(2023, 12, 31) + 0.9, EncodeDate(2024, 1, 1)));
    for (int c : {8, 32, 39, 46, 48, 65, 111, 0xF1})
        EXPECT_TRUE(IsDateTimeEditChar(static_cast<unsigned char>(c))) << c;
    for (int c : {112, 45, 9, 145}) EXPECT_FALSE(IsDateTimeEditChar(static_cast<unsigned char>(c))) << c;
}
