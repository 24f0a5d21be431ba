// The buffer primitives: their results at the edges, and that none of them
// writes past the buffer it is given (each test buffer is followed by guard
// bytes that must stay untouched).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "reportview/OvcStr.h"

namespace {

// A buffer of N bytes with guard bytes after it.
template <size_t N>
struct TGuarded {
    TGuarded(const char* Text = "") {
        Bytes.fill('#');
        std::strncpy(Bytes.data(), Text, N - 1);
        Bytes[N - 1] = '\0';
    }
    std::span<char> Span() { return std::span<char>(Bytes.data(), N); }
    std::string Text() const { return Bytes.data(); }
    bool GuardsIntact() const {
        for (size_t i = N; i < N + 8; ++i)
            if (Bytes[i] != '#') return false;
        return true;
    }
    std::array<char, N + 8> Bytes;
};

TEST(OvcStr, NumbersInBases) {
    char b[40];
    EXPECT_STREQ(BinaryBPChar(b, 0xA5), "10100101");
    EXPECT_STREQ(BinaryWPChar(b, 0x8001), "1000000000000001");
    EXPECT_STREQ(BinaryLPChar(b, 0x80000001u), "10000000000000000000000000000001");
    EXPECT_STREQ(HexBPChar(b, 0x0F), "0F");
    EXPECT_STREQ(HexWPChar(b, 0xBEEF), "BEEF");
    EXPECT_STREQ(HexLPChar(b, 0x1234ABCDu), "1234ABCD");
    EXPECT_STREQ(OctalLPChar(b, static_cast<uint32_t>(-1)), "037777777777");
    EXPECT_STREQ(OctalLPChar(b, 8), "000000000010");
    EXPECT_STREQ(CharStrPChar(b, '*', 5), "*****");

    const void* p = reinterpret_cast<const void*>(uintptr_t(0x00007FFF12345678));
    std::string hex = HexPtrPChar(b, p);
    size_t half = sizeof(void*);  // digits in each half
    ASSERT_EQ(hex.size(), 2 * half + 1);
    EXPECT_EQ(hex[half], ':') << "the colon stands in the middle";
    EXPECT_EQ(hex.substr(half + 1), "12345678");
}

TEST(OvcStr, NumbersAreCutToTheBufferNeverWrittenPastIt) {
    TGuarded<5> g;
    EXPECT_STREQ(BinaryBPChar(g.Span(), 0xFF), "1111");
    EXPECT_TRUE(g.GuardsIntact());
    TGuarded<4> h;
    HexPtrPChar(h.Span(), &h);
    EXPECT_EQ(h.Text().size(), 3u);
    EXPECT_TRUE(h.GuardsIntact());
    TGuarded<3> c;
    CharStrPChar(c.Span(), 'x', 1000);
    EXPECT_EQ(c.Text(), "xx");
    EXPECT_TRUE(c.GuardsIntact());
}

TEST(OvcStr, TabsWidenToTheNextStop) {
    char b[64];
    EXPECT_STREQ(DetabPChar(b, "a\tb", 4), "a   b");
    EXPECT_STREQ(DetabPChar(b, "\tx", 4), "    x");
    EXPECT_STREQ(DetabPChar(b, "abcd\te", 4), "abcd    e");
    EXPECT_STREQ(DetabPChar(b, "a\tb", 0), "");
    TGuarded<6> g;
    DetabPChar(g.Span(), "\t\t\t", 8);
    EXPECT_EQ(g.Text(), "     ");
    EXPECT_TRUE(g.GuardsIntact());
}

TEST(OvcStr, InsertionsAndDeletionsAtTheEdges) {
    TGuarded<16> b("ab");
    StrChInsertPrim(b.Span(), 'c', 10);
    EXPECT_EQ(b.Text(), "abc") << "a position past the end appends";
    StrChInsertPrim(b.Span(), 'X', 0);
    EXPECT_EQ(b.Text(), "Xabc");
    StrStInsertPrim(b.Span(), "12", 2);
    EXPECT_EQ(b.Text(), "Xa12bc");
    StrStInsertPrim(b.Span(), "", 1);
    EXPECT_EQ(b.Text(), "Xa12bc");
    StrInsertChars(b.Span(), '-', 1, 3);
    EXPECT_EQ(b.Text(), "X---a12bc");
    StrChDeletePrim(b.Bytes.data(), 99);
    EXPECT_EQ(b.Text(), "X---a12bc");
    StrStDeletePrim(b.Bytes.data(), 1, 3);
    EXPECT_EQ(b.Text(), "Xa12bc");

    char four[16] = "abcd";
    StrStDeletePrim(four, 2, 5);
    EXPECT_STREQ(four, "ab") << "a count past the end cuts at the position";

    char dest[16];
    EXPECT_STREQ(StrStInsert(dest, "hello", "XY", 2), "heXYllo");
    EXPECT_STREQ(StrStCopy(dest, "abcdef", 2, 3), "cde");
    EXPECT_STREQ(StrStCopy(dest, "abcdef", 6, 3), "");
    EXPECT_STREQ(StrStCopy(dest, "abcdef", 4, 30), "ef");
}

TEST(OvcStr, AFullBufferLosesItsEndInsteadOfOverflowing) {
    // The callers' fields hold 255 characters and the zero.
    TGuarded<256> b(std::string(255, 'a').c_str());
    StrChInsertPrim(b.Span(), 'Z', 0);
    EXPECT_EQ(b.Text(), "Z" + std::string(254, 'a'));
    StrStInsertPrim(b.Span(), "0123456789", 250);
    EXPECT_EQ(b.Text().size(), 255u);
    EXPECT_EQ(b.Text().substr(250), "01234");
    StrInsertChars(b.Span(), '-', 3, 5000);
    EXPECT_EQ(b.Text(), "Zaa" + std::string(252, '-'));
    EXPECT_TRUE(b.GuardsIntact());

    TGuarded<8> s("abc");
    StrStInsert(s.Span(), s.Bytes.data(), "0123456789", 1);
    EXPECT_EQ(s.Text(), "a012345");
    EXPECT_TRUE(s.GuardsIntact());
    StrStInsert(s.Span(), "xy", s.Bytes.data() + 1, 1);
    EXPECT_EQ(s.Text(), "x012345") << "a text taken from the destination itself";
    EXPECT_TRUE(s.GuardsIntact());
}

TEST(OvcStr, Searches) {
    size_t pos = 99;
    EXPECT_TRUE(StrChPos("abcb", 'b', pos));
    EXPECT_EQ(pos, 1u);
    EXPECT_FALSE(StrChPos("", 'b', pos));
    EXPECT_FALSE(StrChPos("abc", 'z', pos));
    EXPECT_TRUE(StrStPos("hello world", "o w", pos));
    EXPECT_EQ(pos, 4u);
    EXPECT_FALSE(StrStPos("abc", "", pos));
    EXPECT_FALSE(StrStPos("ab", "abc", pos));

    TBMTable table;
    BMMakeTable("abcab", table);
    EXPECT_EQ(table['a'], 1);
    EXPECT_EQ(table['b'], 3) << "the rightmost occurrence but the last wins";
    EXPECT_EQ(table['c'], 2);
    EXPECT_EQ(table['z'], 5);

    struct Case {
        const char* Text;
        const char* Pattern;
        bool Found;
        size_t Pos;
    } cases[] = {{"xxabcabyyabcab", "abcab", true, 2},
                 {"abcab", "abcab", true, 0},
                 {"aaaa", "ab", false, 0},
                 {"zzzq", "q", true, 3},
                 {"short", "longer text", false, 0},
                 {"anything", "", false, 0}};
    for (const Case& c : cases) {
        BMMakeTable(c.Pattern, table);
        size_t at = 0;
        EXPECT_EQ(BMSearch(c.Text, std::strlen(c.Text), table, c.Pattern, at), c.Found) << c.Text;
        if (c.Found) {
            EXPECT_EQ(at, c.Pos) << c.Text;
        }
    }
    BMMakeTable("\xC1RBOL", table);
    EXPECT_TRUE(BMSearchUC("un \xE1rbol", 8, table, "\xC1RBOL", pos));
    EXPECT_EQ(pos, 3u);
}

TEST(OvcStr, IntegersFromText) {
    struct Case {
        const char* Text;
        bool Ok;
        int32_t Value;
    } cases[] = {{"0x1F", true, 31}, {"$1f", true, 31}, {"-42  ", true, -42},
                 {"12a", false, 2},  {"", false, 0},    {"2147483648", false, 9}};
    for (const Case& c : cases) {
        int32_t v = 7;
        EXPECT_EQ(StrToLongPChar(c.Text, v), c.Ok) << c.Text;
        EXPECT_EQ(v, c.Value) << c.Text;
    }
    int32_t v = 0;
    EXPECT_FALSE(StrToLongPChar(std::string(256, '1').c_str(), v));
    EXPECT_EQ(v, -1) << "longer than 255 characters";
}

TEST(OvcStr, TrimmingAndNumberTexts) {
    char b[32];
    std::strcpy(b, "  a b  ");
    EXPECT_STREQ(TrimAllSpacesPChar(b), "a b");
    std::strcpy(b, "ab \t\r ");
    EXPECT_STREQ(TrimTrailPrimPChar(b), "ab");
    std::strcpy(b, " \t ");
    EXPECT_STREQ(TrimTrailPrimPChar(b), "");
    EXPECT_STREQ(TrimTrailPChar(b, "x  "), "x");

    struct Case {
        const char* In;
        const char* Out;
    } trailing[] = {{"12.500", "12.5"},
                    {"7.000", "7"},
                    {"0", "0"},
                    {"", ""},
                    {"5.", "5"},
                    {"-0.000", "-0"},
                    // The zeros of an integer or an exponent are its value.
                    {"100", "100"},
                    {"1.5E+10", "1.5E+10"}};
    for (const Case& c : trailing) {
        std::strcpy(b, c.In);
        EXPECT_STREQ(TrimTrailingZerosPChar(b), c.Out) << c.In;
        EXPECT_EQ(TrimTrailingZeros(c.In), c.Out) << c.In;
    }
    Case embedded[] = {{"1.2500E+003", "1.25E+3"}, {"3.0E+000", "3"},    {"2.5E-010", "2.5E-10"},
                       {"12.500", "12.500"},       {"100E+2", "100E+2"}, {"100.0E+02", "100E+2"}};
    for (const Case& c : embedded) {
        std::strcpy(b, c.In);
        EXPECT_STREQ(TrimEmbeddedZerosPChar(b), c.Out) << c.In;
        EXPECT_EQ(TrimEmbeddedZeros(c.In), c.Out) << c.In;
    }
    EXPECT_EQ(TrimTrailingZeros("\t1.50 "), "1.50") << "the text form drops control characters too";
}

}  // namespace
