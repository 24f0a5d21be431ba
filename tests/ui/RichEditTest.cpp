// The rich edit's plain-text face: what the text of rich text is.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/Bitmap.h"
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

namespace {

// The font of a run, measured on a canvas of the screen's resolution.
struct TRunMeasure {
    int Height, Width;
};
TRunMeasure MeasureRun(const AnsiString& Text, int Points, bool Bold) {
    TBitmap Bmp(1, 1);
    TCanvas& C = *Bmp.Canvas();
    C.Font()->SetName("Arial");
    C.Font()->SetSize(Points);
    if (Bold) C.Font()->SetStyle(TFontStyles{fsBold});
    TTextMetric Tm;
    C.GetTextMetrics(Tm);
    return {Tm.tmAscent + Tm.tmDescent, C.TextWidth(Text)};
}

TPoint PosFromChar(TRichEdit* Rich, int Pos) {
    const auto R = static_cast<uintptr_t>(Rich->Perform(EM_POSFROMCHAR, static_cast<WPARAM>(Pos)));
    return TPoint(static_cast<int16_t>(LoWord(R)), static_cast<int16_t>(HiWord(R)));
}

}  // namespace

// The window shows the document as its formats place it, by formula at 96
// dots per inch from the formatting rectangle's corner (1, 1): the first
// paragraph indented an inch with its tab stop at two, the second a line of
// Arial 10 lower in bold 20 points on its back colour, the third centred;
// the caret, a click and the selection follow the same places.
TEST_F(FormTest, TheRichEditShowsItsParagraphsInTheirFormats) {
    TForm* F = NewPlainForm("Rico", 420, 240);
    auto* Rich = NewComponent<TRichEdit>(F);
    Rich->SetParent(F);
    Rich->SetBorderStyle(bsNone);
    Rich->SetBounds(0, 0, 402, 200);
    TRichDocument D;
    std::vector<TRichParagraph> Ps(3);
    TRichCharFormat Plain, Big;
    Big.Height = 400;
    Big.Bold = true;
    Big.AutoBackColor = false;
    Big.BackColor = 0x0000FF;
    Ps[0].Format.StartIndent = 1440;
    Ps[0].Format.Tabs = {2880};
    Ps[0].Runs = {TRichRun{"uno\tdos", Plain}};
    Ps[1].Runs = {TRichRun{"grande", Big}};
    Ps[2].Format.Alignment = raCenter;
    Ps[2].Runs = {TRichRun{"centro", Plain}};
    D.SetParagraphs(Ps);
    Rich->SetDocument(D);
    F->Show();
    Rich->SetFocus();
    Ui.RunUntilIdle();

    const TRunMeasure Small = MeasureRun("centro", 10, false), Large = MeasureRun("grande", 20, true);
    const int Width = Rich->ClientWidth() - 2;
    const int Top1 = 1 + Small.Height, Top2 = Top1 + Large.Height;
    EXPECT_EQ(PosFromChar(Rich, 0), TPoint(1 + 96, 1));
    EXPECT_EQ(PosFromChar(Rich, 4), TPoint(1 + 192, 1)) << "after the tab, at its stop";
    EXPECT_EQ(PosFromChar(Rich, 9), TPoint(1, Top1));
    EXPECT_EQ(PosFromChar(Rich, 17), TPoint(1 + (Width - Small.Width) / 2, Top2));

    // The back colour fills the run's box to its last pixel and no further.
    const TSurface& Shot = Ui.Picture(F);
    TPoint At = Rich->ClientToScreen(TPoint(0, 0)), FormAt = F->ClientToScreen(TPoint(0, 0));
    auto Pixel = [&](int X, int Y) {
        return Shot.GetPixel(At.x - FormAt.x + X, At.y - FormAt.y + Y) & 0xFFFFFF;
    };
    EXPECT_EQ(Pixel(Large.Width, Top1), ColorRefToPixel(0x0000FF));
    EXPECT_EQ(Pixel(Large.Width + 1, Top1), ColorRefToPixel(ColorToRGB(clWindow)));

    // The caret stands where the position is; a click just past the tab stop
    // puts it after the tab.
    Rich->SetSelStart(9);
    Ui.RunUntilIdle();
    TPoint Caret;
    ASSERT_TRUE(GetCaretPos(Caret));
    EXPECT_EQ(Caret, TPoint(1, Top1));
    Ui.Click(Rich, TPoint(1 + 192 + 1, 3));
    Ui.RunUntilIdle();
    EXPECT_EQ(Rich->SelStart(), 4);
    EXPECT_EQ(Rich->SelLength(), 0);

    // The selected word lies on the highlight colour from its first pixel.
    Rich->SetSelStart(17);
    Rich->SetSelLength(6);
    Ui.RunUntilIdle();
    const TSurface& Selected = Ui.Picture(F);
    const int X0 = 1 + (Width - Small.Width) / 2;
    auto SelPixel = [&](int X, int Y) {
        return Selected.GetPixel(At.x - FormAt.x + X, At.y - FormAt.y + Y) & 0xFFFFFF;
    };
    EXPECT_EQ(SelPixel(X0, Top2), ColorRefToPixel(ColorToRGB(clHighlight)));
    EXPECT_EQ(SelPixel(X0 - 1, Top2), ColorRefToPixel(ColorToRGB(clWindow)));
}

// The text wraps within the formatting rectangle's width: each line starts
// at its left edge and its words fit it.
TEST_F(FormTest, TheRichEditWrapsInItsFormattingRectangle) {
    TForm* F = NewPlainForm("Rico", 420, 240);
    auto* Rich = NewComponent<TRichEdit>(F);
    Rich->SetParent(F);
    Rich->SetBounds(0, 0, 402, 200);
    Rich->Font()->SetName("Arial");
    Rich->Font()->SetSize(10);
    F->Show();
    Rich->SetText("uno dos tres cuatro cinco seis siete ocho nueve diez once doce trece catorce");
    Ui.RunUntilIdle();
    const int Wide = static_cast<int>(Rich->Perform(EM_GETLINECOUNT));
    TRect Narrow(1, 1, 101, 150);
    Rich->Perform(EM_SETRECT, 0, PointerToLParam(&Narrow));
    const int Lines = static_cast<int>(Rich->Perform(EM_GETLINECOUNT));
    EXPECT_GT(Lines, Wide);
    // Every line's text fits the hundred pixels, but for its trailing blank.
    const AnsiString Text = Rich->Text();
    for (int I = 0; I < Lines; ++I) {
        const int Start = static_cast<int>(Rich->Perform(EM_LINEINDEX, static_cast<WPARAM>(I)));
        const int Length = static_cast<int>(Rich->Perform(EM_LINELENGTH, static_cast<WPARAM>(Start)));
        AnsiString Line = Text.substr(static_cast<size_t>(Start), static_cast<size_t>(Length));
        while (!Line.empty() && Line.back() == ' ') Line.pop_back();
        EXPECT_LE(MeasureRun(Line, 10, false).Width, 100) << Line;
        EXPECT_EQ(PosFromChar(Rich, Start).x, 1);
    }
}

// Undo goes back over typing (a run of typed characters is one step),
// formats and paragraph formats; redo forward again; a new edit ends what
// could be redone. Ctrl+Z and Ctrl+Y do the same.
TEST_F(FormTest, TheRichEditUndoesAndRedoesEditsAndFormats) {
    TForm* F = NewPlainForm("Rico", 300, 200);
    auto* Rich = NewComponent<TRichEdit>(F);
    Rich->SetParent(F);
    Rich->SetBounds(4, 4, 280, 180);
    F->Show();
    Rich->SetFocus();
    EXPECT_FALSE(Rich->CanUndo());
    EXPECT_FALSE(Rich->CanRedo());
    Ui.Type("uno");
    Ui.RunUntilIdle();
    Rich->SetSelStart(0);
    Rich->SetSelLength(3);
    TRichCharFormat Bold;
    Bold.Bold = true;
    Rich->SetSelCharFormat(Bold, cmBold);
    TRichParaFormat Right;
    Right.Alignment = raRight;
    Rich->SetSelParaFormat(Right, pmAlignment);
    Rich->SetSelStart(3);
    Ui.Type(" dos");
    Ui.RunUntilIdle();
    const TRichDocument Done = Rich->Document();
    auto Bolded = [&] { return Rich->Document().Paragraph(0).Runs[0].Format.Bold; };
    auto Aligned = [&] { return Rich->Document().Paragraph(0).Format.Alignment; };

    ASSERT_TRUE(Rich->CanUndo());
    Rich->Undo();
    EXPECT_EQ(Rich->Text(), "uno");
    EXPECT_EQ(Aligned(), raRight);
    Rich->Undo();
    EXPECT_EQ(Aligned(), raLeft);
    EXPECT_TRUE(Bolded());
    Ui.Key('Z', TShiftState{ssCtrl});
    Ui.RunUntilIdle();
    EXPECT_FALSE(Bolded());
    EXPECT_EQ(Rich->Text(), "uno");
    Rich->Undo();
    EXPECT_EQ(Rich->Text(), "");
    EXPECT_FALSE(Rich->CanUndo());

    ASSERT_TRUE(Rich->CanRedo());
    Rich->Redo();
    Rich->Redo();
    EXPECT_TRUE(Bolded());
    Ui.Key('Y', TShiftState{ssCtrl});
    Ui.RunUntilIdle();
    Rich->Redo();
    EXPECT_EQ(Rich->Document(), Done);
    EXPECT_FALSE(Rich->CanRedo());
    EXPECT_TRUE(Rich->Modified());

    Rich->Undo();
    Rich->SetSelStart(0);
    Ui.Type("x");
    Ui.RunUntilIdle();
    EXPECT_FALSE(Rich->CanRedo()) << "a new edit ends the way forward";
    EXPECT_EQ(Rich->Text(), "xuno");
}
