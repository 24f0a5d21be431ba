// The library's rich edit: a memo field shown, typed into and posted; the
// block-limited reading the grid's preview relies on; the form's data; the
// formats, measures, search loop, links and popup menu.
#include <gtest/gtest.h>

#include <filesystem>

#include "RichNotesFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwrchdlg.h"
#include "dataaware/wwriched.h"
#include "dataaware/wwrichtb.h"
#include "platform/classes/Filer.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Shell.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/FindDialog.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Menus.h"
#include "platform/ui/PageSetupDialog.h"
#include "platform/ui/RichLayout.h"
#include "platform/ui/RtfReader.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class DBRichEdit : public RichNotesFixture {
protected:
    // A grid of the names and the notes on the form.
    TwwDBGrid* NotesGrid() {
        auto* Grid = NewComponent<TwwDBGrid>(Frm);
        Grid->SetBounds(0, 0, 400, 200);
        Grid->SetUseTFields(false);
        for (const char* Line : {"NOMBRE\t10\tNombre\tF", "TEXTO\t24\tTexto\tF"}) Grid->Selected()->Add(Line);
        Grid->SetDataSource(Source);
        Grid->SetParent(Frm);
        return Grid;
    }
};

TEST_F(DBRichEdit, TypingEntersEditModeWithoutReloadingAndThePostWritesRichText) {
    Bind("TEXTO");
    EXPECT_EQ(Edit->Text(), "Hola mundo");
    EXPECT_TRUE(Edit->IsContentLoaded());
    ASSERT_EQ(Edit->Document().Paragraph(0).Runs.size(), 2u);
    EXPECT_TRUE(Edit->Document().Paragraph(0).Runs[1].Format.Bold);
    EXPECT_EQ(Table->State(), dsBrowse);

    Edit->SetFocus();
    Edit->SetSelStart(10);
    Ui().Type("!");
    Idle();
    EXPECT_EQ(Table->State(), dsEdit);
    EXPECT_EQ(Edit->Text(), "Hola mundo!") << "the typed character stays: the blob was not read again";
    EXPECT_EQ(Edit->SelStart(), 11);
    Table->Post();
    const AnsiString Saved = Stored(1);
    ASSERT_TRUE(IsRichText(Saved)) << Saved;
    TRichDocument Back = ReadRtf(Saved);
    EXPECT_EQ(Back.Text(), "Hola mundo!");
    EXPECT_TRUE(Back.Paragraph(0).Runs[1].Format.Bold);

    // Another record brings its own content; plain text loads as it is.
    Table->Next();
    Idle();
    EXPECT_EQ(Edit->Text(), "llano");
}

TEST_F(DBRichEdit, WithoutAutoDisplayTheLabelShowsUntilEnterLoadsTheBlob) {
    Bind("TEXTO", false);
    EXPECT_EQ(Edit->Text(), "(TEXTO)");
    EXPECT_FALSE(Edit->IsContentLoaded());
    Edit->SetFocus();
    Ui().Type("x");
    Idle();
    EXPECT_EQ(Edit->Text(), "(TEXTO)") << "a character does nothing before the content is loaded";
    EXPECT_EQ(Table->State(), dsBrowse);
    Ui().Key(VK_RETURN);
    Idle();
    EXPECT_EQ(Edit->Text(), "Hola mundo");
    EXPECT_TRUE(Edit->IsContentLoaded());
}

TEST_F(DBRichEdit, AFieldThatIsNoBlobShowsItsTextAndTakesTheEditBack) {
    Bind("NOMBRE");
    EXPECT_EQ(Edit->Text(), "Ana");
    Edit->SetFocus();
    Edit->SetSelStart(3);
    Ui().Type("s");
    Idle();
    Table->Post();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Anas");
}

// The reader's blocks as the grid's preview counts them: 2 reads one block,
// 1 cuts the first block at the first group after "\pard"; line ends become
// CR LF; rich text that cannot be read loads as plain text.
TEST_F(DBRichEdit, StreamInReadsTheBlocksItsLimitAllows) {
    const int Block = TwwDBRichEdit::PreviewBlockSize;
    AnsiString Long = "{\\rtf1\\pard ";
    while (static_cast<int>(Long.size()) < Block) Long += "uno ";
    Long.resize(static_cast<size_t>(Block));
    Long += "SEGUNDO\\par}";
    struct TCase {
        const char* Name;
        AnsiString Bytes;
        bool Plain;
        int Limit;
        AnsiString Text;
    } Cases[] = {
        {"limit 2: one block", Long, false, 2, Long.substr(12, static_cast<size_t>(Block) - 12)},
        {"no limit", Long, false, 0, Long.substr(12, static_cast<size_t>(Block) - 12) + "SEGUNDO"},
        {"limit 1: cut at the group", "{\\rtf1\\pard uno {\\b dos}\\par}", false, 1, "uno "},
        {"line ends", "a\nb\rc\r\nd", true, 2, "a\r\nb\r\nc\r\nd"},
        {"not rich text: plain", "sin formato", false, 0, "sin formato"},
    };
    for (const TCase& C : Cases) {
        Edit->SetPlainText(C.Plain);
        TStringStream In(C.Bytes);
        Edit->StreamIn(In, false, C.Limit);
        EXPECT_EQ(Edit->Text(), C.Text) << C.Name;
    }
}

// The content goes into the form as "Data" with the version beside it; a
// form without the version makes a first-generation control.
TEST_F(DBRichEdit, TheFormKeepsTheContentAndTheVersion) {
    TForm* Sheet = OtherForm("Hoja");
    auto* Rico = NewComponent<TwwDBRichEdit>(Sheet);
    Rico->SetName("Rico");
    Rico->SetParent(Sheet);
    Sheet->Show();
    Rico->Lines()->SetText("uno dos");
    Rico->SetSelStart(4);
    Rico->SetSelLength(3);
    Rico->SetSelEffect(0, true);
    const AnsiString Form = WriteComponentToText(Sheet);
    EXPECT_NE(Form.find("RichEditVersion = 2"), AnsiString::npos) << Form;
    EXPECT_NE(Form.find("Data = {"), AnsiString::npos) << Form;
    EXPECT_EQ(Form.find("Lines.Strings"), AnsiString::npos) << Form;

    TForm* Again = OtherForm("Again");
    ReadComponentFromText(Again, Form);
    auto* Read = dynamic_cast<TwwDBRichEdit*>(Again->FindComponent("Rico"));
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Document(), Rico->Document());
    EXPECT_EQ(Read->RichEditVersion(), 2);

    TForm* Old = OtherForm("Old");
    ReadComponentFromText(Old, "object Old: TForm\n  object R: TwwDBRichEdit\n"
                               "    Lines.Strings = ('{\\rtf1 {\\b negrita}}')\n  end\nend\n");
    auto* First = dynamic_cast<TwwDBRichEdit*>(Old->FindComponent("R"));
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(First->RichEditVersion(), 1);
    EXPECT_EQ(First->Text(), "negrita") << "rich text kept as lines is read as rich text";
    EXPECT_TRUE(First->Document().Paragraph(0).Runs[0].Format.Bold);
}

TEST_F(DBRichEdit, MeasuresInInchesAndCentimetres) {
    struct TCase {
        TwwMeasurementUnits Units;
        const char* Text;
        int Twips;
    } Cases[] = {{muCentimeters, "3 cm", 1702}, {muInches, "1''", 1440}, {muInches, "0,5", 720}};
    for (const TCase& C : Cases) {
        Edit->SetMeasurementUnits(C.Units);
        EXPECT_EQ(Edit->TextToTwips(C.Text), C.Twips) << C.Text;
    }
    Edit->SetMeasurementUnits(muInches);
    EXPECT_DOUBLE_EQ(Edit->TwipsToUnits(1800), 1.25);
    EXPECT_EQ(Edit->UnitsToText(1.25), "1,25''");
    // Eighths of an inch: 1.3 moves out by 1/12 and falls back to 1.375.
    EXPECT_EQ(Edit->UnitsToSnappedText(0, 1.3), "1,375''");
    Edit->SetMeasurementUnits(muCentimeters);
    EXPECT_DOUBLE_EQ(Edit->TwipsToUnits(1440), 2.54);
    EXPECT_EQ(Edit->UnitsToSnappedText(0, 2.51), "2,5 cm");
}

TEST_F(DBRichEdit, FormatsOnTheSelection) {
    Frm->Show();
    Edit->Lines()->SetText("uno dos");
    // Bold on a partly bold selection changes only bold.
    Edit->SetSelStart(0);
    Edit->SetSelLength(3);
    Edit->SetSelFont("Courier New", 14, clRed, TFontStyles{fsBold});
    Edit->SetSelStart(2);
    Edit->SetSelLength(4);
    Edit->SetSelEffect(1, true);
    const TRichParagraph& P = Edit->Document().Paragraph(0);
    ASSERT_EQ(P.Runs.size(), 4u);
    EXPECT_EQ(P.Runs[0].Format.FaceName, "Courier New");
    EXPECT_EQ(P.Runs[1].Format.Height, 280);
    EXPECT_TRUE(P.Runs[1].Format.Italic && P.Runs[1].Format.Bold);
    EXPECT_TRUE(P.Runs[2].Format.Italic && !P.Runs[2].Format.Bold);
    EXPECT_FALSE(P.Runs[3].Format.Italic);
    // 40 tab stops: the first 32; one and a half lines as twentieths.
    std::vector<int> Tabs;
    for (int I = 1; I <= 40; ++I) Tabs.push_back(I * 360);
    Edit->SetParagraphFormat(wwpmTabStops | wwpmLineSpacing | wwpmAlignment,
                             DefaultIntl->RichEdit()->ParagraphDialog()->AlignRight(), false, 0, 0, 0, 40,
                             Tabs.data(), 0, 0, 0, 1);
    TRichParaFormat F = Edit->GetParagraphFormat();
    EXPECT_EQ(F.Tabs.size(), 32u);
    EXPECT_EQ(F.Alignment, raRight);
    EXPECT_EQ(F.LineSpacingRule, 5);
    EXPECT_EQ(F.LineSpacing, 30);
    Edit->SetBullets(true);
    int Offset = 0, Right = 0, Start = 0;
    Edit->GetIndents(Offset, Right, Start);
    EXPECT_EQ(Offset, 720);
    EXPECT_EQ(Edit->GetParagraphFormat().Numbering, rnBullet);
    // A highlight, then none: the codes go and the control's colour shows.
    Edit->SetSelStart(0);
    Edit->SetSelLength(3);
    Edit->SetSelBackColor(clYellow);
    Edit->SetSelStart(0);
    Edit->SetSelLength(3);
    EXPECT_EQ(Edit->GetSelBackColor(), clYellow);
    Edit->SetSelBackColor(-1);
    Edit->SetSelStart(0);
    Edit->SetSelLength(3);
    EXPECT_EQ(Edit->GetSelBackColor(), static_cast<TColor>(ColorToRGB(Edit->Color())));
    EXPECT_EQ(Edit->Text(), "uno dos");
}

// The line of a long paragraph comes back whole, and replacing it loses nothing.
TEST_F(DBRichEdit, LinesGiveLongParagraphsWhole) {
    Frm->Show();
    const AnsiString Long(5000, 'x');
    Edit->Lines()->SetText("a\r\n" + Long + "\r\nb");
    EXPECT_EQ(Edit->Lines()->Strings(1), Long);
    Edit->Lines()->Put(1, Edit->Lines()->Strings(1));
    EXPECT_EQ(Edit->Text(), "a\r\n" + Long + "\r\nb");
}

// Find Next with its wrap: the search starts where the caret stood and stops
// when it comes round to it.
TEST_F(DBRichEdit, FindNextWrapsOnceAndStopsAtTheStart) {
    Frm->Show();
    const AnsiString NoMore = DefaultIntl->UserMessages()->LocateNoMoreMatches();
    Edit->Lines()->SetText("casa y casa");
    // The caret at 0 and the only match at 0: no more matches.
    Edit->Lines()->SetText("casa y perro");
    Edit->SetSelStart(0);
    Edit->BeginSearch();
    Answers.Then(mrOk);
    Edit->SearchNext("casa", {}, false, "");
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts().back(), NoMore);
    // With a later match: that one first, then the one at 0 after wrapping,
    // then no more.
    Edit->Lines()->SetText("casa y casa");
    Edit->SetSelStart(0);
    Edit->BeginSearch();
    Edit->SearchNext("casa", {}, false, "");
    EXPECT_EQ(Edit->SelStart(), 7);
    Edit->SearchNext("casa", {}, false, "");
    EXPECT_EQ(Edit->SelStart(), 0);
    EXPECT_EQ(Edit->SelLength(), 4);
    Answers.Then(mrOk);
    Edit->SearchNext("casa", {}, false, "");
    EXPECT_EQ(Answers.Texts().size(), 2u);
    // Replace All from the middle replaces round to where it began.
    Edit->Lines()->SetText("a b a b a");
    Edit->SetSelStart(2);
    Edit->BeginSearch();
    Answers.Then(mrOk);
    Edit->SearchNext("a", {frReplaceAll}, true, "X");
    EXPECT_EQ(Edit->Text(), "X b X b X");
    EXPECT_EQ(Answers.Texts().size(), 3u);
    // A selection holding a line break is no search text.
    Edit->Lines()->SetText("uno\r\ndos");
    Edit->SelectAll();
    EXPECT_EQ(Edit->BeginSearch(), "a") << "the last find text";
}

TEST_F(DBRichEdit, LinksAskTheHandlerAndARefusedOneIsTold) {
    Frm->Show();
    std::vector<AnsiString> Opened;
    TShellOpener Before = SetShellOpener([&](const AnsiString& A) {
        Opened.push_back(A);
        return true;
    });
    Edit->Lines()->SetText("ver www.ejemplo.es, o file:///etc/passwd");
    int S = 0, E = 0;
    ASSERT_TRUE(Edit->LinkAt(6, S, E));
    EXPECT_EQ(Edit->Text().substr(static_cast<size_t>(S), static_cast<size_t>(E - S)), "www.ejemplo.es");
    EXPECT_FALSE(Edit->LinkAt(1, S, E));
    Edit->OpenLink("www.ejemplo.es");
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], "http://www.ejemplo.es");
    Edit->OnURLOpen = [](TwwCustomRichEdit*, const AnsiString&, bool& UseDefault) { UseDefault = false; };
    Edit->OpenLink("https://otro.es");
    EXPECT_EQ(Opened.size(), 1u);
    Edit->OnURLOpen = nullptr;
    Answers.Then(mrOk);
    Edit->OpenLink("file:///etc/passwd");
    EXPECT_EQ(Opened.size(), 1u);
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_NE(Answers.Texts()[0].find("file:///etc/passwd"), AnsiString::npos);
    SetShellOpener(Before);
}

// A read-only control's popup offers View, Cut, Copy, Paste and Find, the
// first two of the editing ones disabled; no object or spelling entries.
TEST_F(DBRichEdit, ThePopupMenuFollowsTheOptionsAndTheReadOnlyState) {
    Frm->Show();
    TPopupMenu* Menu = Edit->OwnPopupMenu();
    ASSERT_EQ(Edit->PopupMenu(), Menu);
    auto Shown = [&] {
        std::vector<AnsiString> Items;
        for (int I = 0; I < Menu->Items()->Count(); ++I)
            if (Menu->Items()->Items(I)->Visible()) Items.push_back(Menu->Items()->Items(I)->Caption());
        return Items;
    };
    Edit->SetPopupOptions(TwwRichEditPopupOptions::FromBits(0x7FFF));
    Menu->OnPopup(Menu);
    EXPECT_EQ(Shown(), (std::vector<AnsiString>{"&Edit", "-", "Cu&t", "&Copy", "&Paste", "-", "B&old",
                                                "&Italic", "&Underline", "-", "&Font", "&Bullet Style",
                                                "P&aragraph", "&Tabs", "-", "Fin&d", "&Replace"}));
    Edit->SetReadOnly(true);
    Edit->Lines()->SetText("texto");
    Edit->SelectAll();
    Menu->OnPopup(Menu);
    EXPECT_EQ(Shown(), (std::vector<AnsiString>{"&View", "-", "Cu&t", "&Copy", "&Paste", "-", "Fin&d"}));
    EXPECT_FALSE(Menu->Items()->Items(2)->Enabled());
    EXPECT_TRUE(Menu->Items()->Items(3)->Enabled());
    EXPECT_FALSE(Menu->Items()->Items(4)->Enabled());
}

// The find and replace dialogs answered by script: the text offered, the
// loop's wrap rules, the selection shown while a dialog is open.
TEST_F(DBRichEdit, TheSearchDialogsRunTheFindAndReplaceLoop) {
    Frm->Show();
    const AnsiString NoMore = DefaultIntl->UserMessages()->LocateNoMoreMatches();
    TScriptedDialogScript Script;
    Edit->Lines()->SetText("casa y casa y perro");
    Edit->SetSelStart(14);
    Edit->SetSelLength(5);
    AnsiString Offered;
    bool HiddenWhileOpen = true;
    Script.Then([&](TComponent* D) {
        auto* F = static_cast<TFindDialog*>(D);
        Offered = F->FindText();
        HiddenWhileOpen = Edit->HideSelection();
        F->SetFindText("casa");
        F->ClickFindNext();  // from "perro": wraps to the first casa
        return true;
    });
    ASSERT_TRUE(Edit->ExecuteFindDialog());
    EXPECT_EQ(Offered, "perro") << "the selected text";
    EXPECT_FALSE(HiddenWhileOpen) << "the match shows while the dialog is open";
    EXPECT_EQ(Edit->SelStart(), 0);
    EXPECT_EQ(Edit->SelLength(), 4);
    Edit->FindNext();
    EXPECT_EQ(Edit->SelStart(), 7);
    Answers.Then(mrOk);
    Edit->FindNext();
    ASSERT_EQ(Answers.Texts().size(), 1u) << "back past the search start: no more matches";
    EXPECT_EQ(Answers.Texts()[0], NoMore);
    Edit->FindDialog()->CloseDialog();
    EXPECT_TRUE(Edit->HideSelection()) << "put back when the dialog closes";

    // The caret at 0 and the only match at 0: no more matches.
    Edit->Lines()->SetText("casa y perro");
    Edit->SetSelStart(0);
    Script.Then([&](TComponent* D) {
        Offered = static_cast<TFindDialog*>(D)->FindText();
        static_cast<TFindDialog*>(D)->ClickFindNext();
        return true;
    });
    Answers.Then(mrOk);
    Edit->ExecuteFindDialog();
    EXPECT_EQ(Offered, "casa") << "an empty selection offers the last find text";
    EXPECT_EQ(Answers.Texts().size(), 2u);

    // Replace, then Replace All from the middle round to where it began.
    Edit->Lines()->SetText("a b a b a");
    Edit->SetSelStart(2);
    Script.Then([&](TComponent* D) {
        auto* R = static_cast<TReplaceDialog*>(D);
        R->SetFindText("a");
        R->SetReplaceText("X");
        R->ClickFindNext();  // selects the a at 4
        R->ClickReplace();   // replaces it, selects the next
        R->ClickReplaceAll();
        return true;
    });
    Answers.Then(mrOk);
    ASSERT_TRUE(Edit->ExecuteReplaceDialog());
    EXPECT_EQ(Edit->Text(), "X b X b X");
    EXPECT_EQ(Answers.Texts().size(), 3u);
    EXPECT_EQ(Edit->LastFindText(), "a");
}

// The popup menu's Find opens the dialog as a form the keys answer.
TEST_F(DBRichEdit, ThePopupMenusFindOpensTheDialogThatTheKeysAnswer) {
    Frm->Show();
    Edit->Lines()->SetText("Una casa y otra Casa");
    Edit->SetFocus();
    Edit->SetSelStart(0);
    Ui().Then([&] { PlayKeys(Ui(), "d"); });  // Fin&d
    Ui().Click(Edit, TPoint(100, 100), mbRight);
    Idle();
    TForm* F = Edit->FindDialog()->Form();
    ASSERT_NE(F, nullptr);
    ASSERT_TRUE(Edit->FindDialog()->Showing());
    Ui().Type("casa");
    PlayKeys(Ui(), "{Enter}");
    Idle();
    EXPECT_EQ(Edit->SelStart(), 4);
    Ui().Click(F, "MatchCase");
    Ui().Click(F, "FindNext");
    Idle();
    EXPECT_EQ(Edit->SelStart(), 4) << "with case, the other Casa does not count";
    PlayKeys(Ui(), "{Esc}");
    Idle();
    EXPECT_FALSE(Edit->FindDialog()->Showing());
    // The replace dialog's case box counts for its Find Next too.
    Edit->SetSelStart(0);
    Ui().Then([&] { PlayKeys(Ui(), "r"); });  // &Replace
    Ui().Click(Edit, TPoint(100, 100), mbRight);
    Idle();
    TForm* R = Edit->ReplaceDialog()->Form();
    ASSERT_NE(R, nullptr);
    Ui().Type("Casa");
    Ui().Click(R, "MatchCase");
    Ui().Click(R, "FindNext");
    Idle();
    EXPECT_EQ(Edit->SelStart(), 16);
    Edit->ReplaceDialog()->CloseDialog();
}

TEST_F(DBRichEdit, TheFontDialogAppliesToTheSelection) {
    Frm->Show();
    Edit->Lines()->SetText("Hola mundo");
    Edit->SetSelStart(5);
    Edit->SetSelLength(5);
    Edit->SetSelFont("Arial", 10, clNone, {});
    TScriptedDialogScript Script;
    AnsiString OfferedName;
    int OfferedSize = 0;
    Script.Then([&](TComponent* D) {
        TFont* F = static_cast<TFontDialog*>(D)->Font();
        OfferedName = F->Name();
        OfferedSize = F->Size();
        F->SetName("Times New Roman");
        F->SetSize(16);
        F->SetStyle({fsBold});
        return true;
    });
    ASSERT_TRUE(Edit->ExecuteFontDialog());
    EXPECT_EQ(OfferedName, "Arial");
    EXPECT_EQ(OfferedSize, 10);
    TRichCharFormat F = Edit->SelCharFormat();
    EXPECT_EQ(F.FaceName, "Times New Roman");
    EXPECT_EQ(F.Height, 320);
    EXPECT_TRUE(F.Bold);
    EXPECT_TRUE(F.AutoColor) << "a colour left as it was is not set";
    Edit->SetSelStart(0);
    Edit->SetSelLength(4);
    EXPECT_FALSE(Edit->SelCharFormat().Bold) << "only the selection changed";
    // Through the popup menu's Font item, a new colour.
    Script.Then([&](TComponent* D) {
        static_cast<TFontDialog*>(D)->Font()->SetColor(clRed);
        return true;
    });
    Edit->SetFocus();
    Ui().Then([&] { PlayKeys(Ui(), "f"); });  // &Font
    Ui().Click(Edit, TPoint(100, 100), mbRight);
    Idle();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Edit->SelCharFormat().AutoColor);
    EXPECT_EQ(Edit->SelCharFormat().Color, ColorToRGB(clRed));
}

}  // namespace

namespace {

// Printing on the recording printer at 100 dots per inch (the offsets a
// quarter inch, 25 pixels), and once on the PDF printer.
class RichPrinting : public DBRichEdit {
protected:
    static constexpr int Dpi = 100;
    TRecordingPrinter* Recorder = new TRecordingPrinter(Dpi);
    TPrinterOverride UsePrinter{std::unique_ptr<TPrinter>(Recorder)};
    void SetUp() override {
        DBRichEdit::SetUp();
        Frm->Show();
    }
    // A document of N one-line paragraphs in Arial 10.
    void Fill(int N) {
        AnsiString Text;
        for (int I = 1; I <= N; ++I) Text += (I > 1 ? "\r\n" : "") + ("linea " + IntToStr(I));
        Edit->Lines()->SetText(Text);
        Edit->SelectAll();
        Edit->SetSelFont("Arial", 10, clNone, {});
    }
    // Whether any pixel of the page's rectangle is not white.
    static bool Ink(const TSurface& Page, const TRect& R) {
        for (int Y = std::max(R.Top, 0); Y < std::min(R.Bottom, Page.Height()); ++Y)
            for (int X = std::max(R.Left, 0); X < std::min(R.Right, Page.Width()); ++X)
                if ((Page.GetPixel(X, Y) & 0xFFFFFF) != 0xFFFFFF) return true;
        return false;
    }
};

// The rectangle from the margins, in twips from the printable corner: the
// quarter inch the printer cannot print is taken off and small margins clamp.
TEST_F(RichPrinting, MarginsAreClampedToThePrintableArea) {
    // A4 at 100 dpi: 827 x 1169 pixels; the offset a quarter inch, 360 twips.
    const int W = PixelsToTwips(827, Dpi), H = PixelsToTwips(1169, Dpi), Off = 360;
    struct TCase {
        double Left, Right, Top, Bottom;
        TRect Expected;
    } Cases[] = {
        {1, 1, 1, 1, TRect(1440 - Off, 1440 - Off, W - 1440 - Off, H - 1440 - Off)},
        // Below the offset: from the printable corner; the right and bottom
        // edges stop two offsets short of the paper's.
        {0.1, 0.1, 0.1, 0.1, TRect(0, 0, W - 2 * Off, H - 2 * Off)},
        // Beyond the paper: the left edge stops two offsets short, the top
        // only one; right and bottom cannot come before them.
        {9, 9, 13, 13, TRect(W - 2 * Off, H - Off, W - 2 * Off, H - Off)},
    };
    for (const TCase& C : Cases) {
        Edit->PrintMargins()->SetLeft(C.Left);
        Edit->PrintMargins()->SetRight(C.Right);
        Edit->PrintMargins()->SetTop(C.Top);
        Edit->PrintMargins()->SetBottom(C.Bottom);
        TRect R = Edit->GetPrintRect();
        EXPECT_EQ(R.Left, C.Expected.Left) << C.Left;
        EXPECT_EQ(R.Right, C.Expected.Right) << C.Right;
        EXPECT_EQ(R.Top, C.Expected.Top) << C.Top;
        EXPECT_EQ(R.Bottom, C.Expected.Bottom) << C.Bottom;
    }
}

TEST_F(RichPrinting, AnEmptyControlPrintsOnePageWithHeaderAndFooter) {
    Edit->PrintHeader()->SetLeftText("Cabecera");
    Edit->PrintFooter()->SetRightText("Pie");
    Edit->Print("Vacio");
    ASSERT_EQ(Recorder->Documents().size(), 1u);
    const auto& Doc = Recorder->Documents()[0];
    EXPECT_EQ(Doc.Title, "Vacio");
    ASSERT_EQ(Doc.Pages.size(), 1u);
    // The header at half an inch from the top; the footer's text ends half
    // an inch less the offset above the bottom.
    EXPECT_TRUE(Ink(Doc.Pages[0], TRect(0, 50, 400, 100)));
    EXPECT_TRUE(Ink(Doc.Pages[0], TRect(400, 1169 - 100, 827, 1169 - 50)));
}

TEST_F(RichPrinting, HeaderAndFooterFollowTheirEvents) {
    Fill(3);
    Edit->PrintHeader()->SetLeftText("Izquierda");
    Edit->PrintFooter()->SetCenterText("Centro");
    std::vector<int> Pages;
    TRect HeaderRect;
    Edit->OnPrintHeader = [&](TObject*, TRect R, int Page, AnsiString&, AnsiString&, AnsiString&,
                              bool& DoDefault) {
        HeaderRect = R;
        Pages.push_back(Page);
        DoDefault = false;
    };
    Edit->OnPrintFooter = [&](TObject*, TRect, int, AnsiString& L, AnsiString& C, AnsiString&, bool&) {
        EXPECT_EQ(C, "Centro");
        L = "Cambiado";
    };
    Edit->Print("Eventos");
    const TSurface& Page = Recorder->Documents().at(0).Pages.at(0);
    EXPECT_EQ(Pages, std::vector<int>{1});
    // From the left margin (1 inch less the offset), half an inch less the
    // offset down, to the text's top.
    EXPECT_EQ(HeaderRect, TRect(75, 25, 827 - 100 - 25, 75));
    EXPECT_FALSE(Ink(Page, TRect(0, 0, 827, 95))) << "DoDefault false: no header";
    EXPECT_TRUE(Ink(Page, TRect(100, 1169 - 100, 300, 1169 - 50)))
        << "the footer's left text set by the event";
}

// A long document breaks into as many pages as lines of its font fit the
// printed rectangle.
TEST_F(RichPrinting, ALongDocumentBreaksIntoPagesByItsLineHeight) {
    TCanvas* Canvas = Recorder->Canvas();
    Canvas->Font()->SetName("Arial");
    Canvas->Font()->SetSize(10);
    Canvas->Font()->SetStyle({});
    TTextMetric Tm;
    Canvas->GetTextMetrics(Tm);
    const TRect R = Edit->GetPrintRect();
    const int Height = TwipsToPixels(R.Bottom, Dpi) - TwipsToPixels(R.Top, Dpi);
    const int PerPage = Height / (Tm.tmAscent + Tm.tmDescent);
    // Two full pages and one line more.
    Fill(2 * PerPage + 1);
    Edit->Print("Largo");
    EXPECT_EQ(Recorder->Documents().at(0).Pages.size(), 3u);
    Fill(2 * PerPage);
    Edit->Print("Justo");
    EXPECT_EQ(Recorder->Documents().at(1).Pages.size(), 2u);
}

TEST_F(RichPrinting, PdfReadersFindThePagesAndTheHeader) {
    std::string Have;
    ZELMOR_NEED_TOOL(RunCommand("pdfinfo -v 2>&1", Have) == 0 || !Have.empty(), "pdfinfo (poppler-utils)");
    const std::filesystem::path Folder = Root / "pdf";
    TPdfPrinter* Pdf = new TPdfPrinter(Folder.string(), 150);
    TPrinterOverride UsePdf{std::unique_ptr<TPrinter>(Pdf)};
    Fill(150);
    Edit->PrintHeader()->SetCenterText("Notas del curso");
    Edit->Print("Notas");
    const std::string File = Pdf->LastFileName();
    ASSERT_FALSE(File.empty());
    std::string Info, Text;
    ASSERT_EQ(RunCommand("pdfinfo " + ShellWord(File), Info), 0) << Info;
    TCanvas* Canvas = Pdf->Canvas();
    Canvas->Font()->SetName("Arial");
    Canvas->Font()->SetSize(10);
    TTextMetric Tm;
    Canvas->GetTextMetrics(Tm);
    const TRect R = Edit->GetPrintRect();
    const int PerPage =
        (TwipsToPixels(R.Bottom, 150) - TwipsToPixels(R.Top, 150)) / (Tm.tmAscent + Tm.tmDescent);
    const int Expected = (150 + PerPage - 1) / PerPage;
    const size_t PagesAt = Info.find("Pages:");
    ASSERT_NE(PagesAt, std::string::npos) << Info;
    EXPECT_EQ(std::stoi(Info.substr(PagesAt + 6)), Expected) << Info;
    ASSERT_EQ(RunCommand("pdftotext -f 2 -l 2 " + ShellWord(File) + " -", Text), 0);
    EXPECT_NE(Text.find("Notas del curso"), std::string::npos) << Text;
}

TEST_F(RichPrinting, PrintingThroughAWordProcessorIsNotAvailable) {
    Answers.Then(mrOk);
    EXPECT_FALSE(Edit->PrintThroughWord(""));
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], DefaultIntl->UserMessages()->RichEditMSWordNotFound());
    EXPECT_TRUE(Recorder->Documents().empty());
}

// With the printer's width, the printer takes the control's paper before printing.
TEST_F(RichPrinting, ThePrinterTakesThePaperSize) {
    Edit->SetEditWidth(rewPrinterSize);
    Edit->SetPrintPageSize(1);
    Edit->Print("Carta");
    EXPECT_EQ(Recorder->PaperCode(), 1);
    EXPECT_EQ(Recorder->PageWidth(), 850);
    Edit->SetPrintPageSize(999);
    Edit->ApplyPrintPageSize();
    EXPECT_EQ(Recorder->PaperCode(), 1) << "an unknown paper changes nothing";
}

// Page setup: the margins in the control's units, kept printable; the
// paper with the printer's width only; the print rectangle follows.
TEST_F(RichPrinting, PageSetupSetsTheMarginsAndThePaper) {
    TScriptedDialogScript Script;
    TwwPageSetupDialog Setup(nullptr);
    Setup.SetRichEdit(Edit);
    Edit->SetMeasurementUnits(muCentimeters);
    Edit->PrintMargins()->SetLeft(1.5);
    int OfferedLeft = 0;
    TPageMeasureUnits OfferedUnits = pmInches;
    bool PaperOffered = true;
    Script.Then([&](TComponent* D) {
        auto* P = static_cast<TPageSetupDialog*>(D);
        OfferedLeft = P->MarginLeft();
        OfferedUnits = P->Units();
        PaperOffered = !P->Options().Contains(psoDisablePaper);
        P->SetMarginLeft(100);  // 0.1 cm: inside the unprintable edge
        P->SetMarginTop(3000);
        return true;
    });
    ASSERT_TRUE(Setup.Execute());
    EXPECT_EQ(OfferedUnits, pmMillimeters);
    EXPECT_EQ(OfferedLeft, 1500) << "1.5 cm as hundredths of a millimetre";
    EXPECT_FALSE(PaperOffered) << "the paper is the printer's own in window-width mode";
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Left(), 0.635) << "clamped to the quarter inch";
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Top(), 3.0);
    EXPECT_EQ(Edit->GetPrintRect().Left, 0) << "the text starts at the printable corner";
    EXPECT_EQ(Edit->GetPrintRect().Top, Edit->TextToTwips("3") - 360);

    Edit->SetMeasurementUnits(muInches);
    Edit->SetEditWidth(rewPrinterSize);
    Edit->SetPrintPageSize(9);
    Script.Then([&](TComponent* D) {
        auto* P = static_cast<TPageSetupDialog*>(D);
        PaperOffered = !P->Options().Contains(psoDisablePaper) && P->PaperCode() == 9;
        P->SetPaperCode(1);
        P->SetMarginRight(2000);
        return true;
    });
    ASSERT_TRUE(Setup.Execute());
    EXPECT_TRUE(PaperOffered);
    EXPECT_EQ(Edit->PrintPageSize(), 1);
    EXPECT_EQ(Recorder->PaperCode(), 1) << "the printer takes the paper at once";
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Right(), 2.0);
    EXPECT_EQ(Edit->GetPrintRect().Right, PixelsToTwips(850, Dpi) - 2 * 1440 - 360);
    // Cancel changes nothing.
    Script.Then([](TComponent* D) {
        static_cast<TPageSetupDialog*>(D)->SetMarginRight(3000);
        return false;
    });
    EXPECT_FALSE(Setup.Execute());
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Right(), 2.0);
}

// The formatting rectangle: the window's width with the gutter at the left
// (a border leaves the edge to the frame), or the page's printable width at
// the screen's 96 dots per inch. The text starts at its left edge.
TEST_F(RichPrinting, TheFormattingRectangleFollowsTheGutterAndThePaper) {
    auto Rect = [&] {
        TRect R;
        Edit->Perform(EM_GETRECT, 0, PointerToLParam(&R));
        return R;
    };
    const int W = Edit->ClientWidth(), H = Edit->Height();
    EXPECT_EQ(Rect(), TRect(0, 0, W - 2, H));
    Edit->SetBorderStyle(bsNone);
    Idle();
    Edit->SetGutterWidth(12);
    EXPECT_EQ(Rect(), TRect(10, 2, Edit->ClientWidth() - 2, Edit->Height() - 2));
    Edit->SetText("uno");
    const auto At = static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 0));
    EXPECT_EQ(LoWord(At), 10);
    EXPECT_EQ(HiWord(At), 2);
    Edit->SetBounds(8, 8, 300, 150);
    EXPECT_EQ(Rect().Right, 298) << "the window's width follows its size";

    // Letter paper (8.5 by 11 inches) less an inch each side: 6.5 inches of 96 pixels.
    Edit->SetEditWidth(rewPrinterSize);
    Edit->SetPrintPageSize(1);
    EXPECT_EQ(Recorder->PaperCode(), 1) << "the paper is taken at once";
    EXPECT_EQ(Rect(), TRect(12 + 10, 0, 624 + 12 + 4, Recorder->PageHeight() * 96 / Dpi));
    Edit->PrintMargins()->SetLeft(0.5);
    Edit->UpdateFormatRect();
    EXPECT_EQ(Rect().Right, 672 + 16);
    Edit->SetBounds(8, 8, 200, 150);
    EXPECT_EQ(Rect().Right, 672 + 16) << "the paper's width stays";
}

}  // namespace

namespace {

// A grid whose ControlType line names a placed rich edit and asks it to
// paint always: the cells of the other rows show the formatted text.
TEST_F(DBRichEdit, AGridPaintsFormattedCopiesOfANamedRichEdit) {
    Table->Close();
    Table->ControlType()->Add("TEXTO;RichEdit;Rico;T");
    Edit->SetName("Rico");
    Edit->SetVisible(false);
    Edit->SetDataSource(Source);
    Edit->SetDataField("TEXTO");
    TwwDBGrid* Grid = NotesGrid();
    Table->Open();
    Table->Last();
    Table->Edit();
    Table->FieldByName("TEXTO")->SetAsString(
        "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\pard normal {\\cf1\\b rojo}\\par}");
    Table->Post();
    Table->First();
    ShowWithGrid(Frm, Grid);
    const int Col = GridColOf(Grid, "TEXTO");
    auto RedIn = [&](int Row) {
        const TRect R = CellOf(Grid, Col, Row);
        int Red = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                if (Px(Grid, X, Y) == RgbOf(clRed)) ++Red;
        return Red;
    };
    const int Second = Grid->TitleOffset() + 1;
    EXPECT_GT(RedIn(Second), 0) << "the second row's cell is a formatted copy";
    EXPECT_EQ(RedIn(Second - 1), 0) << "the first row's text has no colour";
}

// The grid's cell control hands the grid the keys that move between records:
// Down, and Escape while nothing was typed; Escape after typing stays; Enter
// without WantReturns goes to the grid; Up stays in a control that wants
// the navigation keys.
TEST_F(DBRichEdit, InAGridsCellTheKeysThatMoveGoToTheGrid) {
    TwwDBGrid* Grid = NotesGrid();
    Edit->SetDataSource(Source);
    Edit->SetDataField("TEXTO");
    Edit->SetParent(Grid);
    Edit->SetBorderStyle(bsNone);
    Edit->SetWantReturns(false);
    Table->Open();
    ShowWithGrid(Frm, Grid);
    auto Press = [&](WORD Key, TShiftState Shift = {}) {
        Edit->SetFocus();
        Idle();
        ASSERT_TRUE(Edit->Focused());
        Ui().Key(Key, Shift);
        Idle();
    };
    Press(VK_DOWN);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 2) << "the grid took the key";
    Press(VK_ESCAPE);
    EXPECT_TRUE(Grid->Focused());
    Press(VK_RETURN);
    EXPECT_TRUE(Grid->Focused()) << "Enter without WantReturns";
    Edit->SetWantNavigationKeys(true);
    Press(VK_UP);
    EXPECT_TRUE(Edit->Focused()) << "a control that wants the navigation keys keeps them";
    Ui().Type("x");
    Idle();
    ASSERT_TRUE(Edit->Modified());
    Ui().Key(VK_ESCAPE);
    Idle();
    EXPECT_TRUE(Edit->Focused()) << "Escape after typing stays in the control";
}

}  // namespace

namespace {

// The tab dialog, driven by keys and clicks: stops set in order and once,
// the edit's measure taken by OK, an impossible one refused.
TEST_F(DBRichEdit, TheTabDialogSetsTheParagraphsTabStops) {
    Frm->Show();
    Edit->Lines()->SetText("a\tb");
    bool Ok = false;
    Ui().Then([&] {
        auto* D = dynamic_cast<TwwRichTabDialog*>(Screen->ActiveForm());
        ASSERT_NE(D, nullptr);
        EXPECT_EQ(D->Caption(), "Tab");
        D->Edit1->SetFocus();
        Ui().Type("2");
        Ui().Click(D->Button1);
        Ui().RunUntilIdle();
        D->Edit1->SetFocus();
        Ui().Type("1''");
        Ui().Key(VK_RETURN);  // Enter in the edit sets the stop
        Ui().Type("2");
        Ui().Key(VK_RETURN);  // once only
        Ui().Type("x");
        Ui().Key(VK_RETURN);  // not a measure: passed over
        Ui().RunUntilIdle();
        EXPECT_EQ(D->ListBox1->Items()->Text(), "1''\r\n2''\r\n");
        D->Edit1->SetText("23");
        Ui().Click(D->OKButton);
        Ui().RunUntilIdle();
        EXPECT_EQ(D->ModalResult(), mrNone) << "23 inches is refused";
        D->Edit1->SetText("0,5");
        Ui().Click(D->OKButton);
    });
    Ok = Edit->ExecuteTabDialog();
    EXPECT_TRUE(Ok);
    EXPECT_EQ(Edit->GetParagraphFormat().Tabs, (std::vector<int>{720, 1440, 2880}));
}

}  // namespace

namespace {

TEST_F(DBRichEdit, TheParagraphDialogSetsIndentsAndSpacing) {
    Frm->Show();
    Edit->Lines()->SetText("parrafo");
    TRichParaFormat Start;
    Start.StartIndent = 1440;
    Start.LineSpacingRule = 4;
    Start.LineSpacing = 360;
    Edit->SetSelParaFormat(Start, pmStartIndent | pmLineSpacing);
    Ui().Then([&] {
        auto* D = dynamic_cast<TwwRichParagraphDialog*>(Screen->ActiveForm());
        ASSERT_NE(D, nullptr);
        EXPECT_EQ(D->LeftEdit->Text(), "1''");
        EXPECT_EQ(D->FirstLineEdit->Text(), "0''");
        EXPECT_EQ(D->LineSpacingComboBox->ItemIndex(), 4);
        EXPECT_EQ(D->WithinParagraphEdit->Text(), "0,25''");
        // A choice of rule fills the edit as the rule says.
        D->LineSpacingComboBox->SetItemIndex(3);
        D->LineSpacingComboBox->OnChange(D->LineSpacingComboBox);
        EXPECT_EQ(D->WithinParagraphEdit->Text(), "0,16''");
        D->LineSpacingComboBox->SetItemIndex(1);
        D->LineSpacingComboBox->OnChange(D->LineSpacingComboBox);
        EXPECT_EQ(D->WithinParagraphEdit->Text(), "");
        // Typing a spacing under a fixed rule makes it "Multiple".
        D->WithinParagraphEdit->SetText("x");
        EXPECT_EQ(D->LineSpacingComboBox->ItemIndex(), 5);
        D->LeftEdit->SetText("23");
        Ui().Click(D->OKBtn);
        Ui().RunUntilIdle();
        EXPECT_EQ(D->ModalResult(), mrNone) << "23 inches is refused";
        EXPECT_TRUE(D->LeftEdit->Focused());
        D->LeftEdit->SetText("1''");
        D->FirstLineEdit->SetText("-0,5");
        D->RightEdit->SetText("0,5");
        Ui().Click(D->OKBtn);
    });
    EXPECT_TRUE(Edit->ExecuteParagraphDialog());
    TRichParaFormat F = Edit->GetParagraphFormat();
    EXPECT_EQ(F.StartIndent, 720);
    EXPECT_EQ(F.Offset, 720);
    EXPECT_EQ(F.RightIndent, 720);
    EXPECT_EQ(F.LineSpacingRule, 5);
    EXPECT_EQ(F.LineSpacing, 20) << "\"Multiple\" without a number is single";

    // The first-generation control has no spacing to offer.
    Edit->SetRichEditVersion(1);
    Ui().Then([&] {
        auto* D = dynamic_cast<TwwRichParagraphDialog*>(Screen->ActiveForm());
        ASSERT_NE(D, nullptr);
        EXPECT_FALSE(D->BeforeParagraphEdit->Enabled());
        EXPECT_FALSE(D->LineSpacingComboBox->Enabled());
        EXPECT_EQ(D->BeforeParagraphEdit->Text(), "0");
        Ui().Click(D->CancelBtn);
    });
    EXPECT_FALSE(Edit->ExecuteParagraphDialog());
    // The popup menu's entry opens it too.
    Ui().Then([&] {
        EXPECT_NE(dynamic_cast<TwwRichParagraphDialog*>(Screen->ActiveForm()), nullptr);
        Screen->ActiveForm()->SetModalResult(mrCancel);
    });
    Edit->OwnPopupMenu()->Items()->Items(12)->Click();
    EXPECT_EQ(Ui().StepsLeft(), 0u);
}

}  // namespace
