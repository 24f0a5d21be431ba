#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

TEST(Strings, PositionsAreOneBased) {
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(PosEx("a", "abca", 2), 4);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    AnsiString s = "abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "adef");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYdef");
    Insert("!", s, 99);
    EXPECT_EQ(s, "aXYdef!");
}

TEST(Strings, TrimTakesControlCharactersToo) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // the no-break space is not blank
}

TEST(Strings, AsciiFoldLeavesAccentedLettersAlone) {
    EXPECT_EQ(UpperCase("a\xF1o \xE1rbol"), "A\xF1O \xE1RBOL");
    EXPECT_EQ(LowerCase("\xD1U\xD1O"), "\xD1u\xD1o");
    EXPECT_TRUE(SameText("Tipos.DBF", "TIPOS.dbf"));
    EXPECT_FALSE(SameText("\xE1", "\xC1"));
}

TEST(Strings, LocaleFoldCoversWindows1252Letters) {
    struct Case {
        const char* lower;
        const char* upper;
    } cases[] = {{"\xE1\xE9\xED\xF3\xFA", "\xC1\xC9\xCD\xD3\xDA"},
                 {"\xF1", "\xD1"},
                 {"\xFC\xE7", "\xDC\xC7"},
                 {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
                 {"abc", "ABC"}};
    for (const Case& c : cases) {
        EXPECT_EQ(AnsiUpperCase(c.lower), c.upper);
        EXPECT_EQ(AnsiLowerCase(c.upper), c.lower);
    }
    EXPECT_EQ(AnsiUpperCase("\xDF\xF7\xB5"), "\xDF\xF7\xB5");  // ß, ÷ and µ have no capital here
    EXPECT_TRUE(IsCharAlpha('\xF1'));
    EXPECT_TRUE(IsCharAlpha('\xAA'));
    EXPECT_FALSE(IsCharAlpha('\xF7'));
    EXPECT_FALSE(IsCharAlpha('1'));
    EXPECT_TRUE(IsCharUpper('\xC1'));
    EXPECT_TRUE(AnsiSameText("\xC1rbol", "\xE1RBOL"));
}

TEST(Strings, LocaleOrderPutsAccentsNextToTheirLetter) {
    EXPECT_LT(AnsiCompareText("a", "\xE1"), 0);
    EXPECT_LT(AnsiCompareText("\xE1", "b"), 0);
    EXPECT_LT(AnsiCompareText("n", "\xF1"), 0);
    EXPECT_LT(AnsiCompareText("\xF1", "o"), 0);
    EXPECT_EQ(AnsiCompareText("ABC", "abc"), 0);
    EXPECT_NE(AnsiCompareStr("ABC", "abc"), 0);
    EXPECT_LT(CompareStr("B", "a"), 0);  // byte order
    EXPECT_GT(CompareText("b", "A"), 0);
}

TEST(Strings, IntegerConversions) {
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_THROW(StrToInt("4 2"), EConvertError);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
    try {
        StrToInt("abc");
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    int64_t v = 0;
    int code = 0;
    Val("12a", v, code);
    EXPECT_EQ(code, 3);
    Val("$FF", v, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(v, 255);
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToStr(-12), "-12");
}

TEST(Strings, QuotingDoublesTheQuote) {
    EXPECT_EQ(QuotedStr("O'Neil"), "'O''Neil'");
    EXPECT_EQ(AnsiDequotedStr("'O''Neil'", '\''), "O'Neil");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll | rfIgnoreCase), "a-b-c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll), "aXb-c");
    EXPECT_EQ(StringReplace("xx", "x", "y", 0), "yx");
}

TEST(Strings, Utf8EdgeRoundTripsEveryByte) {
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(FromUtf8(ToUtf8(all)), all);
    EXPECT_EQ(ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(ToUtf8("\xF1"), "\xC3\xB1");
    EXPECT_EQ(FromUtf8("\xE4\xB8\xAD"), "?");  // no Windows-1252 byte for it
    EXPECT_EQ(FromUtf8("a\xC3"), "a?");        // cut short
}
