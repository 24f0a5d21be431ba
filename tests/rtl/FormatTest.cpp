#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"

namespace {

// Every case runs under the Spanish defaults, whatever another test left.
class FormatTest : public ::testing::Test {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
};

struct TextCase {
    const char* Fmt;
    std::vector<TVarRec> Args;
    const char* Expected;
};

}  // namespace

TEST_F(FormatTest, SpecifiersWidthsAndPrecisions) {
    const TextCase cases[] = {
        {"%d", {42}, "42"},
        {"%5d|", {42}, "   42|"},
        {"%-5d|", {42}, "42   |"},
        {"%3.3d", {7}, "007"},
        {"%.3d", {-7}, "-007"},
        {"%d", {int64_t(1) << 40}, "1099511627776"},
        {"%u", {-1}, "4294967295"},
        {"%x", {255}, "FF"},
        {"%x", {-1}, "FFFFFFFF"},
        {"%.4x", {10}, "000A"},
        {"%-4s|", {"ab"}, "ab  |"},
        {"%.2s", {"abcdef"}, "ab"},
        {"%s", {'x'}, "x"},
        {"%s", {AnsiString("Atenci\xF3n")}, "Atenci\xF3n"},
        {"%*d", {5, 42}, "   42"},
        {"%.*f", {2, 3.14159}, "3,14"},
        {"%f", {1.5}, "1,50"},
        {"%.0f", {2.5}, "3"},
        {"%g", {0.1 + 0.2}, "0,3"},
        {"%e", {1234.5}, "1,23450000000000E+003"},
        {"%n", {1234567.891}, "1.234.567,89"},
        {"%m", {1234.5}, "1.234,50 \x80"},
        {"%m", {-1234.5}, "-1.234,50 \x80"},
        {"%%d", {}, "%d"},
        {"%s%%%d", {"A", 3}, "A%3"},
        {"%1:s %0:s %s", {"a", "b"}, "b a b"},
        {" Colocando %d alumnos del tipo:\n", {12}, " Colocando 12 alumnos del tipo:\n"},
        {"[%d]", {3u}, "[3]"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(Format(c.Fmt, c.Args), c.Expected) << c.Fmt;
    EXPECT_EQ(Format("%p", {reinterpret_cast<void*>(0x1234)}),
              AnsiString(sizeof(void*) * 2 - 4, '0') + "1234");
}

TEST_F(FormatTest, MismatchedOrMissingArgumentsRaiseConvertError) {
    // Report columns carry formats that the user typed: every mistake must end
    // in EConvertError, never in reading an argument of the wrong kind.
    const TextCase cases[] = {
        {"%d", {"x"}, nullptr},     {"%s", {3}, nullptr},
        {"%f", {3}, nullptr},       {"%d", {1.5}, nullptr},
        {"%d", {}, nullptr},        {"%s %s", {"a"}, nullptr},
        {"%k", {1}, nullptr},       {"abc %", {1}, nullptr},
        {"%s", {true}, nullptr},    {"%p", {5}, nullptr},
        {"%*d", {"5", 1}, nullptr}, {"%5:d", {1}, nullptr},
        {"%x", {2.0}, nullptr},     {"%s", {TVarRec::Null()}, nullptr},
    };
    for (const TextCase& c : cases) {
        try {
            Format(c.Fmt, c.Args);
            ADD_FAILURE() << "no error for " << c.Fmt;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      AnsiString("Format '") + c.Fmt + "' invalid or incompatible with argument");
        }
    }
}

TEST_F(FormatTest, FloatToStrShowsFifteenSignificantDigits) {
    struct {
        long double Value;
        const char* Expected;
    } cases[] = {
        {0, "0"},
        {1.5, "1,5"},
        {-2.25, "-2,25"},
        {100, "100"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {2.0 / 3, "0,666666666666667"},
        {1e20, "1E20"},
        {1.5e-7, "1,5E-7"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1,23456789012346E15"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.Value), c.Expected);
}

TEST_F(FormatTest, FloatToStrFFormats) {
    struct {
        long double Value;
        TFloatFormat Fmt;
        int Precision, Digits;
        const char* Expected;
    } cases[] = {
        {1234.5, ffFixed, 15, 2, "1234,50"},
        {1234.5, ffNumber, 15, 2, "1.234,50"},
        {1234567, ffNumber, 15, 0, "1.234.567"},
        {-0.004, ffFixed, 15, 2, "0,00"},  // no "-0,00"
        {2.675, ffFixed, 15, 2, "2,68"},
        {0.125, ffFixed, 15, 2, "0,13"},
        {0.5, ffFixed, 15, 0, "1"},
        {-0.5, ffFixed, 15, 0, "-1"},
        {1e20, ffFixed, 15, 2, "1E20"},
        {1234.5, ffCurrency, 15, 2, "1.234,50 \x80"},
        {-5, ffCurrency, 15, 2, "-5,00 \x80"},
        {12345.678, ffExponent, 4, 2, "1,235E+04"},
        {0.00012, ffExponent, 3, 0, "1,20E-4"},
        {1e20, ffGeneral, 15, 2, "1E20"},
        {1.5e-7, ffGeneral, 15, 3, "1,5E-007"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Fmt, c.Precision, c.Digits), c.Expected)
            << static_cast<double>(c.Value);
}

TEST_F(FormatTest, CurrencyLayoutsFollowTheSettings) {
    TFormatSettings s;
    s.CurrencyString = "$";
    struct {
        int Positive, Negative;
        const char* Plus;
        const char* Minus;
    } cases[] = {
        {0, 0, "$1,00", "($1,00)"},
        {1, 5, "1,00$", "-1,00$"},
        {2, 12, "$ 1,00", "$ -1,00"},
        {3, 15, "1,00 $", "(1,00 $)"},
    };
    for (const auto& c : cases) {
        s.CurrencyFormat = static_cast<uint8_t>(c.Positive);
        s.NegCurrFormat = static_cast<uint8_t>(c.Negative);
        EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 2, s), c.Plus);
        EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, s), c.Minus);
    }
}

TEST_F(FormatTest, DisplayFormatsAndTheirSections) {
    const char* accounts = "#,##0.00;(#,##0.00);\"cero\"";
    struct {
        const char* Fmt;
        long double Value;
        const char* Expected;
    } cases[] = {
        {"0.00", 2.675, "2,68"},
        {"0", 2.5, "3"},
        {"0", -0.4, "0"},
        {"#,##0.00", 1234567.891, "1.234.567,89"},
        {"#,##0", 0, "0"},
        {"#", 0, ""},
        {"#.##", 0.5, ",5"},
        {".00", 12.5, "12,50"},
        {"000", 5, "005"},
        {"0", 123456, "123456"},
        {"0.0#", 1, "1,0"},
        {"0.0#", 1.5, "1,5"},
        {"0.0#", 1.567, "1,57"},
        {"0.##", 5, "5"},
        {"00-00", 1234, "12-34"},
        {"0.00E+00", 12345, "1,23E+04"},
        {"0.0E-0", 0.00012, "1,2E-4"},
        {"0.00E+00", 0, "0,00E+00"},
        {"0.0E+00#0", 12345, "1,2E+04#0"},  // places after the exponent are text
        {"'Total: '0", 5, "Total: 5"},
        {"\"x\"#,##0", 1234, "x1.234"},
        {"#,##0.00 \x80", 3, "3,00 \x80"},
        {accounts, 1234.5, "1.234,50"},
        {accounts, -1234.5, "(1.234,50)"},
        {accounts, 0, "cero"},
        {accounts, 0.001, "cero"},
        {"0.00;;", -3, "-3,00"},
        {"", 1.5, "1,5"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.Fmt, c.Value), c.Expected) << c.Fmt;
}

TEST_F(FormatTest, StrToFloatUsesTheRegionalSeparator) {
    struct {
        const char* Text;
        long double Value;
    } good[] = {{"1,5", 1.5}, {" -2,25 ", -2.25}, {"1E3", 1000}, {"1,5e-2", 0.015}, {",5", 0.5}, {"+7", 7}};
    for (const auto& c : good)
        EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(c.Text)), static_cast<double>(c.Value));

    for (const char* bad : {"1.5", "", " ", "abc", "1,5x", "1.000,5", "E5", "1e", "--1", "1,5,"}) {
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + AnsiString(bad) + "' is not a valid floating point value");
        }
    }
    TFormatSettings dot;
    dot.DecimalSeparator = '.';
    TFormatSettingsScope scope(dot);
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("1.5")), 1.5);
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    long double v = 0;
    EXPECT_FALSE(TryStrToFloat("1,5", v));
}

TEST_F(FormatTest, TextRoundTripsThroughFloatToStr) {
    for (double v : {0.1, 1234.5678, -0.000123, 98765432.1, 1e-10, 3.14159265358979}) {
        EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(FloatToStr(v))), v);
    }
}

TEST_F(FormatTest, CurrencyKeepsFourDecimals) {
    EXPECT_EQ(DoubleToCurrency(1.23456).Value, 12346);
    EXPECT_EQ(DoubleToCurrency(-0.00005).Value, -1);
    EXPECT_EQ(StrToCurr("12,5").Value, 125000);
    EXPECT_EQ(CurrToStr(Currency{125000}), "12,5");
    EXPECT_THROW(DoubleToCurrency(1e16), EOverflow);
    EXPECT_EQ(Format("%m", {Currency{125000}}), "12,50 \x80");
}

TEST_F(FormatTest, VarRecKeepsTheKindOfItsValue) {
    EXPECT_EQ(TVarRec(5).Kind(), TVarRec::vtInteger);
    EXPECT_EQ(TVarRec(int64_t(5)).Kind(), TVarRec::vtInt64);
    EXPECT_EQ(TVarRec(4000000000u).Kind(), TVarRec::vtInt64);
    EXPECT_EQ(TVarRec(2.5f).Kind(), TVarRec::vtExtended);
    EXPECT_EQ(TVarRec('a').Kind(), TVarRec::vtChar);
    EXPECT_EQ(TVarRec(true).Kind(), TVarRec::vtBoolean);
    EXPECT_EQ(TVarRec("a").Kind(), TVarRec::vtString);
    EXPECT_EQ(TVarRec(static_cast<const void*>(nullptr)).Kind(), TVarRec::vtPointer);
    struct {
        TVarRec Value;
        const char* Text;
    } texts[] = {{12, "12"},     {2.5, "2,5"}, {true, "True"},       {false, "False"},
                 {"abc", "abc"}, {'z', "z"},   {TVarRec::Null(), ""}};
    for (const auto& t : texts) EXPECT_EQ(VarRecToText(t.Value), t.Text);
}
