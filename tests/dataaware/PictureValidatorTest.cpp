// Picture masks: what each mask makes of a text, with and without auto-fill.
#include <gtest/gtest.h>

#include <string>

#include "dataaware/wwpict.h"

namespace {

struct Case {
    const char* Mask;
    const char* Text;
    bool AutoFill;
    TwwPicResult Result;
    const char* After;  // the text as the check leaves it
};

template <size_t N>
void ExpectAnswers(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        TwwPictureValidator validator(c.Mask, c.AutoFill);
        std::string text = c.Text;
        EXPECT_EQ(validator.CheckPicture(text, c.AutoFill), c.Result) << c.Mask << " on " << c.Text;
        EXPECT_EQ(text, c.After) << c.Mask << " on " << c.Text;
    }
}

}  // namespace

TEST(PictureValidator, MasksOfTheLanguage) {
    const Case cases[] = {
        {"###-####", "123", false, prIncomplete, "123"},
        {"###-####", "123", true, prIncomplete, "123-"},
        {"###-####", "123-4567", false, prComplete, "123-4567"},
        {"###-####", "123-45678", false, prError, "123-45678"},
        {"###-####", "12a", false, prError, "12a"},
        {"&&###", "ab123", false, prComplete, "AB123"},
        {"~~##", "AB12", false, prComplete, "ab12"},
        {"!@", "xy", false, prComplete, "Xy"},
        {"??", "\xE1\xF1", false, prComplete, "\xE1\xF1"},  // letters above 128 count
        {"??", "a1", false, prError, "a1"},
        {"#[#]", "1", false, prComplete, "1"},
        {"#[#]", "12", false, prComplete, "12"},
        {"#[#]", "123", false, prError, "123"},
        {"*#", "1", false, prComplete, "1"},
        {"*#", "1234567890", false, prComplete, "1234567890"},
        {"{A,B}X", "bx", false, prComplete, "BX"},
        {";*#", "*5", false, prComplete, "*5"},
        {"*3#", "12", false, prIncomplete, "12"},
        {"*3#", "123", false, prComplete, "123"},
        {"*3#", "1234", false, prError, "1234"},
        // The first alternative that completes ends the match.
        {"{##,###}", "12", false, prComplete, "12"},
        {"{##,###}", "123", false, prError, "123"},
        // An optional part that matched is not given back.
        {"[###-]###-####", "123-555-1234", false, prComplete, "123-555-1234"},
        {"[###-]###-####", "555-1234", false, prError, "555-1234"},
        // A blank typed last stands for the literal the mask wants there.
        {"##/##", "12", true, prIncomplete, "12/"},
        {"##/##", "12 ", false, prIncomplete, "12/"},
        {"##/##", "12/34", false, prComplete, "12/34"},
        // Literals match letters without regard to case and keep the mask's own.
        {"AB#", "ab1", false, prComplete, "AB1"},
        // An open repetition does not auto-fill what follows it.
        {"*#-#", "12", true, prIncomplete, "12"},
        // Alternatives at the top level; the longer completion wins over an incomplete one.
        {"#,##", "1", false, prComplete, "1"},
        {"*{#,A}", "1a2", false, prComplete, "1A2"},
        // An alternative left waiting after an open repetition lets the next
        // ones be tried, and stays without auto-fill when none completes.
        {"*#.##,*#", "12", false, prComplete, "12"},
        {"*#.##,*#", "12.3", false, prIncomplete, "12.3"},
        {"*#-#,x", "12", true, prIncomplete, "12"},
        {"{*#-#,x}", "12", true, prIncomplete, "12"},
    };
    ExpectAnswers(cases);
}

TEST(PictureValidator, InvalidMasksRefuseEveryText) {
    for (const char* mask : {";", "[#", "#}", "", "##*", "{#]"}) {
        TwwPictureValidator validator(mask, false);
        EXPECT_EQ(validator.Status(), 1) << mask;
        std::string text = "1";
        EXPECT_EQ(validator.CheckPicture(text, true), prSyntax) << mask;
        std::string empty;
        EXPECT_EQ(validator.CheckPicture(empty, false), prSyntax) << mask;
    }
    TwwPictureValidator escapedStar(";*", false);
    EXPECT_EQ(escapedStar.Status(), 0);
}

TEST(PictureValidator, EmptyTextAndTheChecksOnTop) {
    TwwPictureValidator validator("##/##", true);
    EXPECT_EQ(validator.Status(), 0);
    std::string empty;
    EXPECT_EQ(validator.CheckPicture(empty, true), prEmpty);
    EXPECT_TRUE(validator.IsValidInput(""));
    EXPECT_TRUE(validator.IsValidInput("12/34"));
    EXPECT_FALSE(validator.IsValidInput("12"));  // incomplete is not valid input
    std::string text = "12";
    EXPECT_TRUE(validator.IsValid(text, false));
    EXPECT_EQ(text, "12/");  // completed by auto-fill
    text = "12";
    EXPECT_TRUE(validator.IsValid(text, true));
    EXPECT_EQ(text, "12");
    text = "1x";
    EXPECT_FALSE(validator.IsValid(text, false));

    TwwPictureValidator none("", false);
    std::string anything = "abc";
    EXPECT_TRUE(none.IsValid(anything, false));
    EXPECT_TRUE(none.IsValidInput("abc"));
}

TEST(PictureValidator, PathologicalMasksEndInAnAnswer) {
    // Nested far deeper than any real mask, and repetitions of repetitions.
    std::string deep = std::string(5000, '{') + "#" + std::string(5000, '}');
    TwwPictureValidator nested(deep, false);
    std::string text = "1";
    TwwPicResult result = nested.CheckPicture(text, false);
    EXPECT_TRUE(result == prComplete || result == prError);
    TwwPictureValidator repeated("***#", true);
    text = "123";
    EXPECT_EQ(repeated.CheckPicture(text, true), prComplete);
}

TEST(PictureValidator, CountsLongerThanAnyText) {
    // A count past the text's length answers as any such count would; one
    // too large for a machine word is no different, and a counted item that
    // matches nothing is not tried again for every unit of the count.
    const Case cases[] = {
        {"*2222222225#", "12", false, prIncomplete, "12"},
        {"*99999999999999999999999#", "1a", false, prError, "1a"},
        {"*18446744073709551616#", "12", false, prIncomplete, "12"},  // 2 to the 64th
        {"*2147483647[#]x", "x", false, prComplete, "x"},
        {"*4000000000{[#]}x", "12x", false, prComplete, "12x"},
        {"*3[#]x", "1x", false, prComplete, "1x"},
        {"*3[#]x", "123x", false, prComplete, "123x"},
    };
    ExpectAnswers(cases);
    // Counts within counts of an item that matches nothing, on a long text.
    TwwPictureValidator nested("*9999{*9999{*9999[#]}}*@", false);
    std::string text(300, 'a');
    EXPECT_EQ(nested.CheckPicture(text, false), prComplete);
}
