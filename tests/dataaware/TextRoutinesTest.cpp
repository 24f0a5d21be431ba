// The text routines every line format of the library is cut with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataaware/wwstack.h"
#include "dataaware/wwstr.h"
#include "platform/rtl/StringList.h"

namespace {

// Every token NextToken gives from position 1 on, with the position after each.
std::vector<std::string> Tokens(const std::string& Text, const std::string& Delimiter) {
    std::vector<std::string> out;
    int position = 1;
    while (position > 0) {
        std::string token = NextToken(Text, Delimiter, position);
        out.push_back(token + "@" + std::to_string(position));
    }
    return out;
}

std::vector<std::string> Split(const std::string& Text, char Separator) {
    TStringList list;
    list.Add("left over");
    SplitToList(Text, Separator, list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
    return out;
}

std::vector<std::string> Scan(const std::string& Text, unsigned Options, const TCharSet& Delimiters) {
    std::vector<std::string> out;
    int position = 1;
    for (int guard = 0; guard < 20 && position <= static_cast<int>(Text.size()); ++guard) {
        std::string token = ScanToken(Text, position, Options, Delimiters);
        if (token.empty()) break;
        out.push_back(token);
    }
    return out;
}

}  // namespace

TEST(TextRoutines, NextTokenWalksLinesAndStopsAtMinusOne) {
    struct Case {
        std::string Text, Delimiter;
        std::vector<std::string> Expected;
    } cases[] = {
        {"Name\t10\tTitle", "\t", {"Name@6", "10@9", "Title@-1"}},
        // A delimiter at the end gives no last empty token (SplitToList does).
        {"A\tB\t", "\t", {"A@3", "B@5", "@-1"}},
        {"A\tB", "\t", {"A@3", "B@-1"}},
        // A word delimiter counts only between blanks, and in any case.
        {"x>1 AND y<2", "and", {"x>1@9", "y<2@-1"}},
        {"sandwich", "and", {"sandwich@-1"}},
        {"a;b;;c", ";", {"a@3", "b@5", "@6", "c@-1"}},
        {"", ";", {"@-1"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Tokens(c.Text, c.Delimiter), c.Expected) << c.Text;

    int position = 0;
    EXPECT_EQ(NextToken("abc", ";", position), "");
    EXPECT_EQ(position, 0);
    position = -1;
    EXPECT_EQ(NextToken("abc", ";", position), "");
    EXPECT_EQ(position, -1);
}

TEST(TextRoutines, SplitToListKeepsEveryPiece) {
    EXPECT_EQ(Split("", ';'), std::vector<std::string>{""});
    EXPECT_EQ(Split("a;b;", ';'), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(Split("a;;b", ';'), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Split("F\tM\tT\tF", '\t'), (std::vector<std::string>{"F", "M", "T", "F"}));
}

TEST(TextRoutines, TrimsAndReplacements) {
    std::string s = "\tx ";
    TrimBlanks(s);
    EXPECT_EQ(s, "x");
    s = "\t";
    TrimBlanks(s);
    EXPECT_EQ(s, "");
    s = "\r x\r";  // only blanks and TABs go
    TrimBlanks(s);
    EXPECT_EQ(s, "\r x\r");

    const TCharSet blanksAndTabs(" \t");
    s = "  \tabc \t";
    TrimLeadingChars(s, blanksAndTabs);
    EXPECT_EQ(s, "abc \t");
    TrimTrailingChars(s, blanksAndTabs);
    EXPECT_EQ(s, "abc");
    s = " \t ";
    TrimLeadingChars(s, blanksAndTabs);
    EXPECT_EQ(s, "");

    EXPECT_EQ(RemoveChar("&Buscar &por", '&'), "Buscar por");
    EXPECT_EQ(ReplaceChar("Nombre~del~alumno", '~', ' '), "Nombre del alumno");
    EXPECT_EQ(ReplaceCharWithText("it's", '\'', "''"), "it''s");
    EXPECT_EQ(ReplaceCharWithText("a;b;c", ';', ";;"), "a;;b;;c");
    EXPECT_EQ(ReplaceCharWithText("a~b", '~', "<BR>"), "a<BR>b");
    EXPECT_EQ(ReplaceCharWithText("a~b", '~', ""), "ab");
    EXPECT_EQ(CountChar("a;b;c", ';'), 2);
    EXPECT_EQ(CountChar("", ';'), 0);
}

TEST(TextRoutines, CaseAndPieces) {
    EXPECT_TRUE(EqualsIgnoreCase("nombre", "NOMBRE"));
    EXPECT_TRUE(EqualsIgnoreCase("", ""));
    // Only a to z fold: an accented letter compares as written.
    EXPECT_FALSE(EqualsIgnoreCase("Garc\xED"
                                  "a",
                                  "GARC\xCD"
                                  "A"));
    EXPECT_EQ(TextBeforeChar("abc", '.'), "");
    EXPECT_EQ(TextAfterChar("abc", '.'), "");
    EXPECT_EQ(TextBeforeChar(".x", '.'), "");
    EXPECT_EQ(TextAfterChar(".x", '.'), "x");
    EXPECT_EQ(TextAfterChar("x.", '.'), "");
    EXPECT_EQ(TextBeforeChar("a.b.c", '.'), "a");
    EXPECT_EQ(FileNameStem("C:\\ZELMOR\\prog.exe"), "prog");
    EXPECT_EQ(FileNameStem("/usr/lib/a.b.exe"), "a");
    EXPECT_EQ(FileNameStem("datos\\sinpunto"), "");
}

TEST(TextRoutines, ScanTokenByItsOptions) {
    const TCharSet bar("|");
    EXPECT_EQ(Scan("a|bc", 7, bar), (std::vector<std::string>{"a", "|", "bc"}));
    EXPECT_EQ(Scan("\"x y\"|z", 7, bar), (std::vector<std::string>{"x y", "|", "z"}));
    // Without blanks in tokens, a blank ends a word; flag 8 keeps it.
    EXPECT_EQ(Scan("ab cd", 1, TCharSet()), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(Scan("ab cd|e", 9, bar), (std::vector<std::string>{"ab cd", "|", "e"}));
    // Flag 2 alone keeps the quotes.
    EXPECT_EQ(Scan("\"q\" r", 3, TCharSet()), (std::vector<std::string>{"\"q\"", "r"}));
    // A dBase key expression with flag 1.
    EXPECT_EQ(Scan("UPPER(NOMBRE)+ABREV", 1, TCharSet("()+")),
              (std::vector<std::string>{"UPPER", "(", "NOMBRE", ")", "+", "ABREV"}));

    // An opening quote never closed: the rest without its quote, position past the end.
    int position = 1;
    EXPECT_EQ(ScanToken("\"abc", position, 7, bar), "abc");
    EXPECT_EQ(position, 5);
    position = 1;
    EXPECT_EQ(ScanToken("\"", position, 7, bar), "");
    position = 0;
    EXPECT_EQ(ScanToken("abc", position, 7, bar), "");
    EXPECT_EQ(position, 0);
}

TEST(ExpressionStacks, PopEmptyAndKeepOrder) {
    TStackStr texts;
    for (const char* t : {"x", "y", "y", "z"}) texts.Push(t);
    EXPECT_EQ(texts.Count(), 4);
    std::vector<std::string> popped;
    for (int i = 0; i < 5; ++i) popped.push_back(texts.Pop());
    EXPECT_EQ(popped, (std::vector<std::string>{"z", "y", "y", "x", ""}));

    // The node stack owns nothing: freeing it leaves the nodes to their owner.
    auto* nodes = new TStackPtr;
    int a = 0, b = 0;
    EXPECT_EQ(nodes->Push(reinterpret_cast<TNode*>(&a)), 0);
    EXPECT_EQ(nodes->Push(reinterpret_cast<TNode*>(&b)), 1);
    EXPECT_EQ(nodes->Pop(), reinterpret_cast<TNode*>(&b));
    delete nodes;
    TStackPtr empty;
    EXPECT_EQ(empty.Pop(), nullptr);
    EXPECT_EQ(empty.Count(), 0);
}
