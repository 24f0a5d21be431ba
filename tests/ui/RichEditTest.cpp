// The rich edit's plain-text face: what the text of rich text is.
#include <gtest/gtest.h>

#include "platform/rtl/Streams.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/RtfReader.h"

TEST(RtfReader, KeepsTheTextOfTheDocument) {
    struct Case {
        const char* Rtf;
        const char* Text;
    } cases[] = {
        {"{\\rtf1\\ansi Hola mundo\\par}", "Hola mundo"},
        {"{\\rtf1 Uno\\par Dos\\par}", "Uno\r\nDos"},
        {"{\\rtf1 Uno\\par\\par}", "Uno\r\n"},  // the last mark adds no line, the one before does
        {"{\\rtf1 a\\tab b\\line c}", "a\tb\r\nc"},
        {"{\\rtf1 Garc\\'eda}", "Garc\xED"
                                "a"},
        {"{\\rtf1 \\{llaves\\} y \\\\}", "{llaves} y \\"},
        // Groups with no text of the document are passed over.
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator Riched20;}"
         "\\f0\\fs20 Texto\\par}",
         "Texto"},
        {"{\\rtf1 a{\\*\\unknown oculto}b{\\pict 0102}c}", "abc"},
        {"{\\rtf1 {\\b negrita} normal}", "negrita normal"},
        // \uN: the Windows-1252 character when there is one, else the fallback.
        {"{\\rtf1 \\u241?o}", "\xF1o"},
        {"{\\rtf1 \\uc3\\u8364 EUR!}", "\x80!"},
        {"{\\rtf1 \\u20320?x}", "?x"},
        {"{\\rtf1 \\u-3913?}", "?"},
        {"{\\rtf1 \\emdash\\~\\bullet}", "\x97\xA0\x95"},
        // Line breaks of the file itself are no text.
        {"{\\rtf1 uno\r\ndos}", "unodos"},
        {"texto llano", "texto llano"},
        {"{\\rtf1 sin cerrar", "sin cerrar"},
        {"{\\rtf1 roto\\", "roto"},
    };
    for (const Case& c : cases) EXPECT_EQ(RtfToPlainText(c.Rtf), c.Text) << c.Rtf;
    EXPECT_TRUE(IsRichText("{\\rtf1}"));
    EXPECT_FALSE(IsRichText("{\\rt"));
}

TEST(RtfReader, DeepNestingAndBigParametersEndInText) {
    std::string deep = "{\\rtf1 " + std::string(5000, '{') + "x" + std::string(5000, '}') + "}";
    EXPECT_EQ(RtfToPlainText(deep), "x");
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\fs999999999999999999 y}"), "y");
}

TEST(RichEdit, LinesLoadRichTextUnlessPlainText) {
    auto* edit = new TRichEdit(nullptr);
    TStringStream rich("{\\rtf1 Uno\\par Dos}");
    edit->Lines()->LoadFromStream(rich);
    EXPECT_EQ(edit->Text(), "Uno\r\nDos");
    EXPECT_EQ(edit->Lines()->Count(), 2);
    EXPECT_EQ(edit->Lines()->Strings(1), "Dos");
    edit->SetPlainText(true);
    TStringStream source("{\\rtf1 Uno}");
    edit->Lines()->LoadFromStream(source);
    EXPECT_EQ(edit->Text(), "{\\rtf1 Uno}");
    edit->SetPlainText(false);
    TStringStream plain("sin formato");
    edit->Lines()->LoadFromStream(plain);
    EXPECT_EQ(edit->Text(), "sin formato");
    edit->Free();
}
