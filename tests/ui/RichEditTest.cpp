// The rich edit's plain-text face: what the text of rich text is.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"
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

// The rich edit as a screen shows a read-only text (the main window's
// welcome text): its lines on its own colour, not to be typed into, and
// passed over by Tab.
TEST_F(FormTest, AReadOnlyRichEditShowsItsLinesOnItsColourAndTabPassesIt) {
    TForm* F = NewPlainForm("Bienvenida", 480, 120);
    ReadComponentFromText(F, "object Bienvenida: TForm\n"
                             "  object Edit1: TEdit\n    Left = 8\n    Top = 4\n  end\n"
                             "  object RichEdit1: TRichEdit\n"
                             "    Left = 8\n    Top = 30\n    Width = 457\n    Height = 72\n"
                             "    Color = 8454143\n    ReadOnly = True\n    TabStop = False\n"
                             "    Lines.Strings = (\n"
                             "      'Esta aplicaci'#243'n sirve para organizar grupos'\n"
                             "      'de alumnos.'\n"
                             "      ''\n"
                             "      'Para empezar a trabajar, pulse \"Siguiente\"')\n"
                             "  end\n"
                             "  object Edit2: TEdit\n    Left = 200\n    Top = 4\n  end\n"
                             "end\n");
    auto* Rich = dynamic_cast<TRichEdit*>(F->FindComponent("RichEdit1"));
    ASSERT_NE(Rich, nullptr);
    EXPECT_EQ(Rich->Lines()->Count(), 4);
    EXPECT_TRUE(Rich->ReadOnly());
    F->Show();
    Ui.RunUntilIdle();

    // Each line's band of the edit has dark pixels, but the empty third one;
    // everything else is the edit's colour (inside its border).
    const TSurface& Shot = Ui.Picture(F);
    const uint32_t Back = ColorRefToPixel(ColorToRGB(8454143));
    TTextMetric Tm = MetricsOf(Rich->Font());
    TRect Client = Rich->ClientRect();
    TPoint RichAt = Rich->ClientToScreen(TPoint(0, 0)), FormAt = F->ClientToScreen(TPoint(0, 0));
    TPoint Origin(RichAt.x - FormAt.x, RichAt.y - FormAt.y);
    std::vector<int> InkPerLine(5, 0);
    int Other = 0;
    for (int Y = 0; Y < Client.Height(); ++Y)
        for (int X = 0; X < Client.Width(); ++X) {
            uint32_t P = Shot.GetPixel(Origin.x + X, Origin.y + Y) & 0xFFFFFF;
            if (P == Back) continue;
            int Line = Y / Tm.tmHeight;
            if (P == 0x000000 && Line < 4) ++InkPerLine[static_cast<size_t>(Line)];
            else ++Other;
        }
    EXPECT_GT(InkPerLine[0], 0);
    EXPECT_GT(InkPerLine[1], 0);
    EXPECT_EQ(InkPerLine[2], 0) << "the empty line";
    EXPECT_GT(InkPerLine[3], 0);
    EXPECT_EQ(Other, 0) << "only the text's colour and the edit's";

    // Tab goes from the first edit to the second; typing into the text changes nothing.
    auto* Edit1 = static_cast<TWinControl*>(F->FindComponent("Edit1"));
    Edit1->SetFocus();
    Ui.Key(VK_TAB);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->ActiveControl(), F->FindComponent("Edit2"));
    AnsiString Before = Rich->Text();
    Ui.Click(Rich);
    Ui.Type("x");
    Ui.Key(VK_BACK);
    Ui.RunUntilIdle();
    EXPECT_EQ(Rich->Text(), Before);
}

// The document follows what is typed: text typed after a format was set at
// the caret takes it, a new line keeps the paragraph's format, and the lines
// save and load the formats as rich text.
TEST_F(FormTest, TheRichEditsDocumentFollowsTypingAndFormats) {
    TForm* F = NewPlainForm("Rico", 300, 200);
    auto* Rich = NewComponent<TRichEdit>(F);
    Rich->SetParent(F);
    Rich->SetBounds(4, 4, 280, 180);
    F->Show();
    Rich->SetFocus();
    Ui.Type("uno ");
    Ui.RunUntilIdle();
    TRichCharFormat Bold;
    Bold.Bold = true;
    Rich->SetSelCharFormat(Bold, cmBold);
    Ui.Type("dos");
    Ui.RunUntilIdle();
    TRichParaFormat Centred;
    Centred.Alignment = raCenter;
    Rich->SetSelParaFormat(Centred, pmAlignment);
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    Ui.Type("tres");
    Ui.RunUntilIdle();
    const TRichDocument& D = Rich->Document();
    ASSERT_EQ(D.ParagraphCount(), 2);
    EXPECT_EQ(D.Text(), "uno dos\r\ntres");
    ASSERT_EQ(D.Paragraph(0).Runs.size(), 2u);
    EXPECT_FALSE(D.Paragraph(0).Runs[0].Format.Bold);
    EXPECT_TRUE(D.Paragraph(0).Runs[1].Format.Bold);
    EXPECT_TRUE(D.Paragraph(1).Runs[0].Format.Bold) << "typing goes on in the format before it";
    EXPECT_EQ(D.Paragraph(1).Format.Alignment, raCenter);
    // Deleting a character keeps the runs of the rest.
    Ui.Key(VK_BACK);
    Ui.RunUntilIdle();
    EXPECT_EQ(Rich->Document().Paragraph(1).Text(), "tre");

    // Selecting "dos" and asking: bold throughout; "o dos" is not.
    Rich->SetSelStart(4);
    Rich->SetSelLength(3);
    uint32_t Mask = 0;
    EXPECT_TRUE(Rich->SelCharFormat(&Mask).Bold);
    EXPECT_TRUE(Mask & cmBold);
    Rich->SetSelStart(2);
    Rich->SetSelLength(5);
    Rich->SelCharFormat(&Mask);
    EXPECT_FALSE(Mask & cmBold);

    TMemoryStream Saved;
    Rich->Lines()->SaveToStream(Saved);
    Saved.SetPosition(0);
    auto* Copy = NewComponent<TRichEdit>(F);
    Copy->Lines()->LoadFromStream(Saved);
    EXPECT_EQ(Copy->Document(), Rich->Document());
    Copy->SetPlainText(true);
    TMemoryStream Plain;
    Copy->Lines()->SaveToStream(Plain);
    EXPECT_EQ(Plain.Size(), static_cast<int64_t>(Rich->Text().size()));
}

TEST_F(FormTest, TheRichEditStreamsInOverTheSelectionAndFinds) {
    TForm* F = NewPlainForm("Rico", 300, 200);
    auto* Edit = NewComponent<TRichEdit>(F);
    Edit->SetParent(F);
    Edit->SetText("uno dos tres");
    auto From = [](const AnsiString& Bytes) {
        auto At = std::make_shared<size_t>(0);
        return TRichStreamIn([Bytes, At](char* B, int N) {
            size_t n = std::min(static_cast<size_t>(N), Bytes.size() - *At);
            std::copy_n(Bytes.data() + *At, n, B);
            *At += n;
            return static_cast<int>(n);
        });
    };
    // Rich text required but not given: nothing changes.
    EXPECT_FALSE(Edit->StreamIn(From("llano"), true, false));
    EXPECT_EQ(Edit->Text(), "uno dos tres");
    EXPECT_FALSE(Edit->StreamIn([](char*, int) -> int { throw EStreamError("roto"); }, false, false));
    Edit->SetSelStart(4);
    Edit->SetSelLength(3);
    EXPECT_TRUE(Edit->StreamIn(From("{\\rtf1 {\\b DOS}\\par nuevo}"), true, true));
    EXPECT_EQ(Edit->Text(), "uno DOS\r\nnuevo tres");
    EXPECT_TRUE(Edit->Document().Paragraph(0).Runs.back().Format.Bold);
    AnsiString Out;
    Edit->SetSelStart(4);
    Edit->SetSelLength(3);
    EXPECT_TRUE(Edit->StreamOut(
        [&](const char* B, int N) {
            Out.append(B, static_cast<size_t>(N));
            return N;
        },
        false, true));
    EXPECT_EQ(Out, "DOS");

    Edit->SetText("casa Casa casas cAsA");
    struct Case {
        int Start, End;
        uint8_t Options;
        int Found;
    } cases[] = {{0, -1, 0, 0}, {1, -1, 0, 5}, {1, -1, stMatchCase, 10}, {6, -1, stWholeWord, 16},
                 {0, 4, 0, 0},  {1, 8, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(Edit->FindText("casa", c.Start, c.End, c.Options), c.Found)
            << c.Start << " " << int(c.Options);
    EXPECT_EQ(Edit->FindText("Casa", 0, -1, stMatchCase), 5);
}
