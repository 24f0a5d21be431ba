// The entry fields' regional settings under the Spanish defaults and a
// US-style set: what is read and how it is mended, the pictures made for the
// fields, dates, times and names to text and back, the settings read again
// on WM_WININICHANGE, and the user mask data.
#include <gtest/gtest.h>

#include "platform/rtl/Regional.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcIntl.h"
#include "reportview/OvcUser.h"

namespace {
using namespace Ovcdate;

TFormatSettings UsSettings() {
    TFormatSettings s;
    s.DecimalSeparator = '.';
    s.ThousandSeparator = ',';
    s.ListSeparator = ',';
    s.CurrencyString = "$";
    s.CurrencyFormat = 0;
    s.NegCurrFormat = 0;
    s.ShortDateFormat = "m/d/yyyy";
    s.LongDateFormat = "dddd, mmmm dd, yyyy";
    s.LongTimeFormat = "h:nn:ss am/pm";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                        "July",    "August",   "September", "October", "November", "December"};
    s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    s.CountryName = "United States";
    return s;
}

TEST(OvcIntlSup, SpanishDefaultsAsRead) {
    TOvcIntlSup intl;
    EXPECT_EQ(intl.DecimalSep, ',');
    EXPECT_EQ(intl.ThousandsSep, '.');
    EXPECT_EQ(intl.ListSep, ';');
    EXPECT_EQ(intl.GetCountry(), "Espa\xF1"
                                 "a");
    EXPECT_EQ(intl.CurrencyFormat, 3);
    EXPECT_EQ(intl.GetCurrencyLtStr(), "\x80");
    EXPECT_EQ(intl.GetCurrencyRtStr(), " \x80")
        << "format 3: the space goes before the symbol after the amount";
    EXPECT_EQ(intl.NegCurrencyFormat, 8);
    EXPECT_EQ(intl.ShortDatePicture, "dd/MM/yyyy");
    EXPECT_EQ(intl.InternationalDate(false), "dd/mm/yyyy");
    EXPECT_EQ(intl.LongDatePicture, "wwww, dffffnnnnggggyyyy");
    EXPECT_EQ(intl.LongDateLiterals[0], " de ");
    EXPECT_EQ(intl.LongDateLiterals[1], " de ");
    EXPECT_EQ(intl.LongDateLiterals[2], "");
    EXPECT_EQ(intl.AmText, "a.m.");
    EXPECT_FALSE(intl.TwelveHourClock);
    EXPECT_FALSE(intl.TimeLeadingZero);
    EXPECT_EQ(intl.InternationalTime(true), "Hh:mm:ss");
    EXPECT_EQ(intl.InternationalTime(false), "Hh:mm");
    EXPECT_EQ(intl.YesLetter, 'Y');
    EXPECT_EQ(intl.FalseLetter, 'F');
    // The library creates its own object at start-up.
    ASSERT_NE(OvcIntlSup, nullptr);
    EXPECT_EQ(OvcIntlSup->DecimalSep, ',');
    ASSERT_NE(OvcUserData, nullptr);
}

TEST(OvcIntlSup, SettingsMendedAsRead) {
    TFormatSettings s = UsSettings();
    s.ThousandSeparator = '.';
    s.DecimalSeparator = '.';
    s.CurrencyString = "ABCDEFG";
    s.CurrencyFormat = 2;
    s.DateSeparator = '-';
    s.ShortDateFormat = "d-m-yyyy";
    TFormatSettingsScope scope(s);
    TOvcIntlSup intl;
    EXPECT_EQ(intl.DecimalSep, '.');
    EXPECT_EQ(intl.ThousandsSep, ',');
    EXPECT_EQ(intl.GetCurrencyLtStr(), "ABCDE") << "a symbol of five keeps it all, without the space";
    EXPECT_EQ(intl.ShortDatePicture, "d/M/yyyy") << "the date separator becomes the picture's /";
    EXPECT_EQ(intl.InternationalDate(false), "DD/MM/yyyy");
    EXPECT_EQ(intl.DateToDateString(intl.InternationalDate(true), DMYtoStDate(5, 3, 2026, 0), false),
              " 5- 3-2026");
    s.CurrencyString = "Kr";
    TFormatSettingsScope scope2(s);
    intl.ResetInternationalInfo();
    EXPECT_EQ(intl.GetCurrencyLtStr(), "Kr ");
    EXPECT_TRUE(intl.TwelveHourClock);
}

TEST(OvcIntlSup, ShortPicturesForTheFields) {
    TOvcIntlSup intl;
    struct Case {
        const char* System;
        bool Century;
        const char* Field;
    } cases[] = {
        {"d/M/yyyy", false, "DD/MM/yyyy"},   {"dd/MM/yy", false, "dd/mm/yy"},
        {"dd/MM/yy", true, "dd/mm/yyyy"},    {"M/d/yy", false, "MM/DD/yy"},
        {"MM/dd/yyyy", false, "mm/dd/yyyy"}, {"yyyy/MM/dd", false, "yyyy/mm/dd"},
        {"d/MM/y", true, "DD/mm/yyyy"},
    };
    for (const Case& c : cases) {
        intl.ShortDatePicture = c.System;
        EXPECT_EQ(intl.InternationalDate(c.Century), c.Field) << c.System;
    }
}

TEST(OvcIntlSup, LongPicturesAndNames) {
    TOvcIntlSup intl;
    // The longest Spanish day name is 9 letters (mi\xE9rcoles), the longest month 10 (septiembre).
    EXPECT_EQ(intl.InternationalLongDate(false, false), "wwwwwwwww, DDffffnnnnnnnnnnggggyyyy");
    EXPECT_EQ(intl.InternationalLongDate(true, false), "www, DDffffnnnggggyyyy");
    EXPECT_EQ(intl.InternationalLongDate(true, true), "DDffffnnnggggyyyy");
    TStDate day = DMYtoStDate(11, 12, 2026, 0);
    EXPECT_EQ(intl.DateToDateString(intl.InternationalLongDate(false, false), day, true),
              "viernes, 11 de diciembre de 2026");
    EXPECT_EQ(intl.DateToDateString(intl.InternationalLongDate(true, false), day, false),
              "vie, 11 de dic de 2026");
    EXPECT_EQ(intl.DateToDateString("WWW DD", day, false), "VIE 11");
    EXPECT_EQ(intl.DateToDateString("dd/mm/yy", BadDate, false), "  /  /  ");
    EXPECT_EQ(intl.DMYtoDateString("dd/mm/yyyy", 1, 2, 49, false, 1950), "01/02/2049");
    EXPECT_EQ(intl.DMYtoDateString("dd/mm/yyyy", 1, 2, 50, false, 1950), "01/02/1950")
        << "the epoch's own year";
    EXPECT_EQ(intl.DMYtoDateString("DD/MM/yy", 1, 2, 2049, false, 0), " 1/ 2/49")
        << "the low digits of a long year";
    EXPECT_EQ(intl.MonthStringToMonth("ene", 3), 1);
    EXPECT_EQ(intl.MonthStringToMonth("DICIEMBRE", 9), 12);
    EXPECT_EQ(intl.MonthStringToMonth("xyz", 3), 0);
    EXPECT_EQ(intl.MonthToString(13), "");
    EXPECT_EQ(intl.DayOfWeekToString(0), "domingo");
}

TEST(OvcIntlSup, CurrencyPictures) {
    TFormatSettingsScope us(UsSettings());
    TOvcIntlSup intl;
    struct Case {
        char Fill;
        int Digits;
        bool Floating, Separators, Negative;
        uint8_t Format, NegFormat;
        const char* Picture;
    } cases[] = {
        {'#', 7, false, true, false, 0, 0, "c#,###,###.##"},
        {'#', 7, true, true, false, 0, 0, "$#,###,###.##"},
        {'#', 7, false, false, true, 0, 0, "c#######.##p"},
        {'9', 4, true, true, true, 1, 7, "9,999.99Cg"},
        {'#', 3, false, true, true, 0, 6, "c###.##g"},
        {'#', 0, false, true, true, 0, 0, ""},
        {'#', 6, true, true, false, 3, 3, "###,###.##C"},
    };
    for (const Case& c : cases) {
        intl.CurrencyFormat = c.Format;
        intl.NegCurrencyFormat = c.NegFormat;
        EXPECT_EQ(intl.InternationalCurrency(c.Fill, c.Digits, c.Floating, c.Separators, c.Negative),
                  c.Picture)
            << c.Picture;
    }
}

TEST(OvcIntlSup, TextsBackToDates) {
    TFormatSettingsScope us(UsSettings());
    TOvcIntlSup intl;
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yy", "01/31/49", 1950), DMYtoStDate(31, 1, 2049, 0));
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yy", "01/31/50", 1950), DMYtoStDate(31, 1, 1950, 0));
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yy", "01/31/5", 1950), BadDate) << "lengths differ";
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yyyy", "02/30/2001", 0), BadDate);
    EXPECT_EQ(intl.DateStringToDate("dd nnn yyyy", "05 mar 2001", 0), DMYtoStDate(5, 3, 2001, 0));
    EXPECT_EQ(intl.DateStringToDate("dd nnn yyyy", "05 xyz 2001", 0), BadDate);
    EXPECT_TRUE(intl.DateStringIsBlank("mm/dd/yy", "  /  /  "));
    EXPECT_EQ(intl.DateStringToDate("mm/dd/yy", "  /  /  ", 1950), BadDate);
    EXPECT_FALSE(intl.DateStringIsBlank("mm/dd/yy", "  /3 /  "));
    DefaultYear = 2030;
    DefaultMonth = 6;
    EXPECT_EQ(intl.DateStringToDate("dd", "17", 0), DMYtoStDate(17, 6, 2030, 0)) << "month and year of today";
    int d, m, y;
    EXPECT_FALSE(intl.DateStringToDMY("mm/dd/yy", "ab/01/20", d, m, y, 1950));
    EXPECT_EQ(m, -1);
}

TEST(OvcIntlSup, TwelveHourTimes) {
    TFormatSettingsScope us(UsSettings());
    TOvcIntlSup intl;
    EXPECT_EQ(intl.InternationalTime(false), "Hh:mm tt");
    struct Case {
        const char* Text;
        TStTime Time;
    } cases[] = {
        {"12:00 AM", 0},
        {"00:30 AM", BadTime},
        {"00:30 PM", HMStoStTime(12, 30, 0)},
        {"12:15 pm", HMStoStTime(12, 15, 0)},
        {"01:05 PM", 3900 + 12 * 3600},
        {"13:00 PM", BadTime},
        {"01:00 XX", BadTime},
        {"01:00   ", BadTime},
    };
    for (const Case& c : cases) EXPECT_EQ(intl.TimeStringToTime("hh:mm tt", c.Text), c.Time) << c.Text;
    EXPECT_EQ(intl.TimeToTimeString("hh:mm tt", HMStoStTime(13, 5, 0), false), "01:05 PM");
    EXPECT_EQ(intl.TimeToTimeString("hh:mm tt", HMStoStTime(0, 5, 0), false), "12:05 AM");
    EXPECT_EQ(intl.TimeToTimeString("HH:mm tt", BadTime, false), "  :   AM");
    EXPECT_EQ(intl.TimeToTimeString("HH:mm:ss", HMStoStTime(9, 5, 7), true), "9:05:07");
    intl.AmText = intl.PmText = "";
    EXPECT_EQ(intl.TimeToTimeString("hh:mm tt", HMStoStTime(13, 5, 0), true), "13:05") << "no designators";
    EXPECT_EQ(intl.TimeStringToTime("hh:mm tt", "13:05   "), HMStoStTime(13, 5, 0));
    EXPECT_EQ(intl.TimeToAmPmString("hh:mm", HMStoStTime(13, 5, 0), false), "01:05P");
}

TEST(OvcIntlSup, PicturePrimitives) {
    TOvcIntlSup intl;
    EXPECT_EQ(TOvcIntlSup::isMaskCharCount("xxdddd-d", 'd'), 4);
    EXPECT_EQ(TOvcIntlSup::isMaskCharCount("xx", 'd'), 0);
    AnsiString dest = "abcdefgh";
    TOvcIntlSup::isMergePictureSt("xxffffxx", dest, 'f', "12");
    EXPECT_EQ(dest, "ab12  gh");
    AnsiString pic = "dDmd";
    TOvcIntlSup::isSubstChar(pic, 'd', '*');
    EXPECT_EQ(pic, "**m*");
    EXPECT_EQ(TOvcIntlSup::isPackResult("HH:mm tt", " 9:05   "), "9:05");
    EXPECT_EQ(TOvcIntlSup::isPackResult("NNNN dd", "MAY  05"), "MAY 05");
    // Texts longer than a field's buffer are cut at 255; a caller's buffer is never overrun.
    AnsiString longPicture(300, 'd');
    EXPECT_EQ(intl.DateToDateString(longPicture, DMYtoStDate(1, 1, 2000, 0), false).size(), 255u);
    char small[5];
    intl.DateToDatePChar(small, "dd/mm/yyyy", DMYtoStDate(1, 1, 2000, 0), false);
    EXPECT_STREQ(small, "01/0");
    intl.SetCurrencyLtStr("1234567");
    EXPECT_EQ(intl.GetCurrencyLtStr(), "12345");
}

TEST(OvcIntlSup, ReadsAgainOnWinIniChange) {
    TOvcIntlSup intl;
    intl.SetAutoUpdate(true);
    HWND wnd = intl.AutoUpdateWindow();
    ASSERT_TRUE(IsWindow(wnd));
    {
        TFormatSettingsScope us(UsSettings());
        SendMessage(wnd, WM_WININICHANGE, 0, 0);
        EXPECT_EQ(intl.DecimalSep, '.');
        int calls = 0;
        intl.OnIntlChange = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &intl);
            ++calls;
        };
        ResetFormatSettings();
        SendMessage(wnd, WM_WININICHANGE, 0, 0);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(intl.DecimalSep, '.') << "the handler replaces the reading";
    }
    intl.SetAutoUpdate(false);
    EXPECT_FALSE(IsWindow(wnd));
}

TEST(OvcUserData, SetsCasesAndSubstitutions) {
    TOvcUserData data;
    TCharSet set;
    data.GetUserCharSet('1', set);
    EXPECT_FALSE(set.Contains('\0'));
    EXPECT_EQ(set.Count(), 255u);
    data.SetUserCharSet('8', TCharSet(std::string("ab\0", 3)));
    data.GetUserCharSet('8', set);
    EXPECT_EQ(set, TCharSet("ab")) << "code 0 is never accepted";
    TCharSet untouched("z");
    data.GetUserCharSet('9', untouched);
    EXPECT_EQ(untouched, TCharSet("z"));
    data.SetForceCase('3', mcUpperCase);
    EXPECT_EQ(data.GetForceCase('3'), mcUpperCase);
    EXPECT_EQ(data.GetForceCase('0'), mcNoChange);
    EXPECT_EQ(data.GetSubstChar('\xF1'), '\xF1');
    data.SetSubstChar('\xF8', 'x');
    EXPECT_EQ(data.GetSubstChar('\xF8'), 'x');
    data.SetSubstChar('\xF9', 'y');
    EXPECT_EQ(data.GetSubstChar('\xF9'), '\0');
}

}  // namespace
