#include <gtest/gtest.h>

#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Regional.h"

TEST(Regional, SpanishDefaultsAnswerTheOldProfileKeys) {
    TFormatSettingsScope spanish{TFormatSettings()};
    struct {
        const char* Key;
        const char* Value;
    } cases[] = {
        {"sDecimal", ","},
        {"sThousand", "."},
        {"iCurrDigits", "2"},
        {"iNegCurr", "8"},
        {"sList", ";"},
        {"sCountry", "Espa\xF1"
                     "a"},
        {"sCurrency", "\x80"},
        {"iCurrency", "3"},
        {"iTLZero", "0"},
        {"sTime", ":"},
        {"sDate", "/"},
        {"s1159", "a.m."},
        {"s2359", "p.m."},
        {"sShortDate", "dd/MM/yyyy"},
        {"SLONGDATE", "dddd, d' de 'MMMM' de 'yyyy"},  // keys ignore case
        {"sTimeFormat", "H:mm:ss"},
        {"iDate", "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(GetProfileString("intl", c.Key, "?"), c.Value) << c.Key;
    EXPECT_EQ(GetProfileString("intl", "sNoSuchKey", "dflt"), "dflt");
    EXPECT_EQ(GetProfileString("windows", "sDecimal", "dflt"), "dflt");
    EXPECT_EQ(GetProfileInt("INTL", "iCurrDigits", 7), 2);
    EXPECT_EQ(GetProfileInt("intl", "sCountry", 7), 7);
}

TEST(Regional, LocaleQueriesCountDaysFromMonday) {
    TFormatSettingsScope spanish{TFormatSettings()};
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK), "0");
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1), "lunes");
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1 + 6), "domingo");
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME1 + 5), "s\xE1"
                                                                             "b");
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + 8), "septiembre");
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + 11), "dic");
    EXPECT_EQ(GetLocaleStr(LOCALE_SYSTEM_DEFAULT, LOCALE_SSHORTDATE), "dd/MM/yyyy");
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, 0x7777, "none"), "none");
}

TEST(Regional, ReplacedSettingsAreSeenAtOnceAndRestored) {
    TFormatSettings s;
    s.DecimalSeparator = '.';
    s.ThousandSeparator = ',';
    s.LongTimeFormat = "hh:nn:ss ampm";
    s.ShortDateFormat = "yyyy-mm-dd";
    {
        TFormatSettingsScope scope(s);
        EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1), "1,234.5");
        EXPECT_EQ(GetProfileString("intl", "sDecimal", ""), ".");
        EXPECT_EQ(GetProfileString("intl", "iTLZero", ""), "1");
        EXPECT_EQ(GetProfileString("intl", "iTime", ""), "0");
        EXPECT_EQ(GetProfileString("intl", "sTimeFormat", ""), "hh:mm:ss tt");
        EXPECT_EQ(GetProfileString("intl", "iDate", ""), "2");
    }
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1), "1.234,5");
}

TEST(Regional, TheLanguageIsTheSettingsOwn) {
    EXPECT_EQ(PRIMARYLANGID(GetSystemDefaultLangID()), 0x0A) << "Spanish";
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE), "0c0a");
    TFormatSettings s;
    s.LanguageId = 0x0411;
    TFormatSettingsScope scope(s);
    EXPECT_EQ(PRIMARYLANGID(GetUserDefaultLangID()), 0x11) << "Japanese";
    EXPECT_EQ(SUBLANGID(GetSystemDefaultLangID()), 1);
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE), "0411");
}

TEST(Regional, PicturesConvertBothWays) {
    struct {
        const char* Format;
        const char* Picture;
    } cases[] = {
        {"dd/mm/yyyy", "dd/MM/yyyy"},
        {"h:nn:ss", "H:mm:ss"},
        {"hh:nn ampm", "hh:mm tt"},
        {"dddd, d' de 'mmmm", "dddd, d' de 'MMMM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateFormatToPicture(c.Format), c.Picture);
        EXPECT_EQ(PictureToDateFormat(c.Picture), c.Format);
    }
    EXPECT_EQ(DateFormatToPicture("hh:mm"), "HH:mm");  // "m" right after the hour is minutes
}

TEST(Numbers, RoundingRules) {
    struct {
        long double Value;
        int64_t Banker, HalfUp, Truncated;
    } cases[] = {
        {2.5, 2, 3, 2},
        {3.5, 4, 4, 3},
        {-2.5, -2, -3, -2},
        {-3.5, -4, -4, -3},
        {2.4999, 2, 2, 2},
        {-0.5, 0, -1, 0},
        {1e15 + 0.5, 1000000000000000, 1000000000000001, 1000000000000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Round(c.Value), c.Banker) << static_cast<double>(c.Value);
        EXPECT_EQ(RoundHalfUp(c.Value), c.HalfUp);
        EXPECT_EQ(Trunc(c.Value), c.Truncated);
    }
    EXPECT_DOUBLE_EQ(static_cast<double>(Frac(-2.75L)), -0.75);
    EXPECT_DOUBLE_EQ(static_cast<double>(Int(-2.75L)), -2.0);
    EXPECT_THROW(Round(1e30), EInvalidOp);
    EXPECT_THROW(Trunc(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
}

TEST(Numbers, MulDivRoundsHalfAwayFromZeroWith64BitProduct) {
    struct {
        int A, B, C, Expected;
    } cases[] = {
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {7, 1, 3, 2},
        {100000, 100000, 100000, 100000},
        {1, 1, 0, -1},
        {2147483647, 2, 1, -1},
        {-2147483647 - 1, 1, 1, -2147483647 - 1},
        {255, 3, 7, 109},
        {0, 5, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.A, c.B, c.C), c.Expected) << c.A << "*" << c.B << "/" << c.C;
}

TEST(Numbers, RandomFollowsTheSeedOnly) {
    SetRandSeed(1234);
    int a[8];
    for (int& v : a) v = Random(100);
    SetRandSeed(1234);
    for (int v : a) EXPECT_EQ(Random(100), v);
    for (int i = 0; i < 1000; ++i) {
        int r = Random(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
        double f = Random();
        ASSERT_GE(f, 0.0);
        ASSERT_LT(f, 1.0);
    }
    EXPECT_EQ(Random(0), 0);
}

TEST(Numbers, FloatErrorsRaiseInsteadOfInfinity) {
    EXPECT_THROW(FloatDivide(1, 0), EZeroDivide);
    EXPECT_THROW(FloatDivide(0, 0), EInvalidOp);
    EXPECT_THROW(FloatDivide(1e4000L, 1e-4000L), EOverflow);
    EXPECT_DOUBLE_EQ(static_cast<double>(FloatDivide(1, 4)), 0.25);
    EXPECT_THROW(CheckFloat(std::numeric_limits<double>::infinity()), EOverflow);
    EXPECT_THROW(IntDivide(1, 0), EDivByZero);
    EXPECT_EQ(IntDivide(-7, 2), -3);  // div truncates
    EXPECT_EQ(IntModulo(-7, 2), -1);
}
