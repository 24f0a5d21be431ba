#include <cstring>

#include <gtest/gtest.h>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/PChar.h"

TEST(PChar, BoundedCopiesAlwaysEndInAZero) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_STREQ(StrLCopy(buf, "abcdefghij", 5), "abcde");
    EXPECT_STREQ(StrPLCopy(buf, "0123456789", 7), "0123456");
    EXPECT_EQ(buf[7], '\0');
    StrLCopy(buf, "ab", 7);
    EXPECT_STREQ(StrLCat(buf, "cdefghij", 5), "abcde");
    EXPECT_STREQ(StrLCat(buf, "zz", 5), "abcde");  // already full
    EXPECT_STREQ(StrLCopy(buf, nullptr, 3), "");
    EXPECT_EQ(StrLen(nullptr), 0u);
    EXPECT_EQ(StrPas(nullptr), "");
}

TEST(PChar, SearchesAndComparisons) {
    const char* s = "C:\\QTEMP\\x.dbf";
    EXPECT_EQ(StrScan(s, '\\'), s + 2);
    EXPECT_EQ(StrRScan(s, '\\'), s + 8);
    EXPECT_EQ(StrScan(s, '\0'), s + 14);
    EXPECT_EQ(StrScan(s, '#'), nullptr);
    EXPECT_EQ(StrPos(s, "TEMP"), s + 4);
    EXPECT_EQ(StrPos(s, ""), nullptr);
    EXPECT_LT(StrComp("abc", "abd"), 0);
    EXPECT_EQ(StrIComp("\xE1rbol", "\xC1RBOL"), 0);
    EXPECT_EQ(StrLComp("abcX", "abcY", 3), 0);
    EXPECT_NE(StrLIComp("abcX", "ABCY", 4), 0);
    char up[] = "a\xF1o";
    EXPECT_STREQ(StrUpper(up), "A\xD1O");
    EXPECT_STREQ(StrLower(up), "a\xF1o");
    EXPECT_EQ(MAX_PATH, 260u);
}

TEST(CodePages, Utf16RoundTripsEveryWindows1252Byte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
    EXPECT_EQ(AnsiToWide("\x80")[0], u'\u20AC');
    EXPECT_EQ(WideToAnsi(u"\u20AC \u4E2D \U0001F600"), "\x80 ? ?");
}
