// The rich text editor window on the off-screen display: opened by F2 and by
// the popup menu, its commands driven by keys and clicks, the ruler's
// markers dragged onto the scale, and what OK and Cancel do with the edit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "RichNotesFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwTrackIcon.h"
#include "dataaware/wwrchdlg.h"
#include "dataaware/wwrich.h"
#include "dataaware/wwriched.h"
#include "dataaware/wwrichtb.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Printers.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FindDialog.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Menus.h"
#include "platform/ui/PageSetupDialog.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/RichLayout.h"
#include "platform/ui/RtfReader.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/Display.h"
#include "tests/support/ReferencePicture.h"

namespace {

class RichEditor : public RichNotesFixture {
protected:
    // Opens the editor and runs Script in it; answers what ExecuteEditor answered.
    bool Run(const std::function<void(TwwRichEditForm*)>& Script) {
        Ui().Then([&] {
            auto* F = dynamic_cast<TwwRichEditForm*>(Screen->ActiveForm());
            ASSERT_NE(F, nullptr);
            Script(F);
        });
        return Edit->ExecuteEditor();
    }
    // What the table holds on disk for the name of row 1.
    AnsiString StoredName() {
        TwwTable* Other = NewWwTable("notas", "N");
        Other->Open();
        Other->First();
        AnsiString Text = Other->FieldByName("NOMBRE")->AsString();
        Other->Close();
        return Text;
    }
    // Drags a marker by Dx pixels with the mouse, in its own capture loop.
    void DragMarker(TwwTrackIcon* Marker, int Dx) {
        const TPoint At = Marker->ClientToScreen(TPoint(5, 5));
        Ui().MoveTo(At);
        InputMouseButton(0, true, At);
        InputMouseMove(TPoint(At.x + Dx / 2, At.y));
        InputMouseMove(TPoint(At.x + Dx, At.y));
        InputMouseButton(0, false, TPoint(At.x + Dx, At.y));
        Idle();
    }
};

TEST_F(RichEditor, F2AndThePopupMenuOpenTheWindowOnACopy) {
    Bind("TEXTO");
    Edit->SetFocus();
    Ui().Then([&] {
        auto* F = dynamic_cast<TwwRichEditForm*>(Screen->ActiveForm());
        ASSERT_NE(F, nullptr);
        EXPECT_EQ(Edit->EditorForm(), F);
        EXPECT_EQ(F->Caption(), "Edit Rich Text");
        EXPECT_EQ(F->RichEdit1->Name(), "RichEdit1");
        EXPECT_EQ(F->RichEdit1->ClassInfo(), Edit->ClassInfo()) << "of the caller's own class";
        EXPECT_EQ(F->RichEdit1->Text(), "Hola mundo");
        EXPECT_FALSE(F->RichEdit1->Modified());
        EXPECT_TRUE(F->RichEdit1->Focused());
        // Nothing changed: Escape closes without a question.
        Ui().Key(VK_ESCAPE);
    });
    Ui().Key(VK_F2);
    Idle();
    EXPECT_EQ(Ui().StepsLeft(), 0u);
    EXPECT_EQ(Edit->EditorForm(), nullptr) << "the caller forgets the closed window";
    EXPECT_TRUE(Answers.Texts().empty());

    Ui().Then([&] {
        EXPECT_NE(dynamic_cast<TwwRichEditForm*>(Screen->ActiveForm()), nullptr);
        Screen->ActiveForm()->SetModalResult(mrCancel);
    });
    Edit->OwnPopupMenu()->Items()->Items(0)->Click();
    EXPECT_EQ(Ui().StepsLeft(), 0u);
}

TEST_F(RichEditor, FormatCommandsByKeysAndClicksAndOkWritesThemBack) {
    Bind("TEXTO");
    const bool Ok = Run([&](TwwRichEditForm* F) {
        TwwCustomRichEdit* R = F->RichEdit1;
        R->SetSelStart(0);
        R->SetSelLength(4);
        F->UpdateControls();
        EXPECT_FALSE(F->BoldButton->Down());
        Ui().Key('B', {ssCtrl});
        Idle();
        EXPECT_TRUE(R->SelCharFormat().Bold) << "Ctrl+B";
        EXPECT_TRUE(F->BoldButton->Down());
        Ui().Click(F->BoldButton);
        Idle();
        EXPECT_FALSE(R->SelCharFormat().Bold) << "the button undoes what was down";
        Ui().Click(F->ItalicButton);
        Ui().Key('U', {ssCtrl});
        Idle();
        EXPECT_TRUE(R->SelCharFormat().Italic);
        EXPECT_TRUE(R->SelCharFormat().Underline);
        EXPECT_TRUE(F->UnderlineButton->Down());

        Ui().Click(F->CenterButton);
        Idle();
        EXPECT_EQ(R->SelParaFormat().Alignment, raCenter);
        EXPECT_TRUE(F->CenterButton->Down());
        EXPECT_FALSE(F->LeftButton->Down());
        Ui().Click(F->BulletButton);
        Idle();
        EXPECT_EQ(R->SelParaFormat().Numbering, rnBullet);
        Ui().Click(F->BulletButton);
        Idle();
        EXPECT_EQ(R->SelParaFormat().Numbering, rnNone);

        F->FontSizeCombo->SetItemIndex(F->FontSizeCombo->Items()->IndexOf("14"));
        F->FontSizeCombo->OnChange(F->FontSizeCombo);
        EXPECT_EQ(R->SelCharFormat().Height, 280);
        EXPECT_TRUE(R->Modified());
        F->SaveExit1Click(F);
    });
    EXPECT_TRUE(Ok);
    EXPECT_TRUE(Answers.Texts().empty()) << "Save and Exit asks nothing";
    EXPECT_EQ(Table->State(), dsEdit);
    Table->Post();
    TRichDocument Back = ReadRtf(Stored(1));
    EXPECT_EQ(Back.Text(), "Hola mundo");
    const TRichRun& First = Back.Paragraph(0).Runs[0];
    EXPECT_TRUE(First.Format.Italic && First.Format.Underline && !First.Format.Bold);
    EXPECT_EQ(First.Format.Height, 280);
    EXPECT_EQ(Back.Paragraph(0).Format.Alignment, raCenter);
}

// A field that is no blob takes the edited text too: OK copies it into the
// control, and the post writes it.
TEST_F(RichEditor, OkOnAStringFieldBringsTheTextBackForThePost) {
    Bind("NOMBRE");
    EXPECT_EQ(Edit->Text(), "Ana");
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        F->RichEdit1->SetSelStart(3);
        F->RichEdit1->SetFocus();
        Ui().Type("bel");
        Idle();
        F->SaveExit1Click(F);
    }));
    EXPECT_EQ(Edit->Text(), "Anabel");
    EXPECT_TRUE(Edit->Modified());
    Table->Post();
    EXPECT_EQ(StoredName(), "Anabel");
}

TEST_F(RichEditor, ClosingAfterChangesAsksFirst) {
    Bind("TEXTO");
    const AnsiString Warning = "Changes have been made!  Do you wish to save your changes?";
    Answers.Then(mrCancel).Then(mrNo);
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        F->RichEdit1->SetFocus();
        Ui().Type("x");
        Idle();
        F->Exit1Click(F);
        Ui().Then([&, F] {
            // Cancel kept the window; this time No discards.
            EXPECT_EQ(Screen->ActiveForm(), F);
            EXPECT_EQ(Answers.Texts(), std::vector<AnsiString>{Warning});
            F->Exit1Click(F);
        });
    }));
    EXPECT_EQ(Answers.Texts(), (std::vector<AnsiString>{Warning, Warning}));
    EXPECT_EQ(Edit->Text(), "Hola mundo");
    EXPECT_EQ(Table->State(), dsBrowse);

    // Yes takes the changes.
    Answers.Then(mrYes);
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        F->RichEdit1->SetSelStart(0);
        F->RichEdit1->SetFocus();
        Ui().Type("y");
        Idle();
        Ui().Key(VK_ESCAPE);  // closes: reoCloseOnEscape is on
    }));
    EXPECT_EQ(Edit->Text(), "yHola mundo");

    // Without confirmation even Exit takes them.
    Edit->SetEditorOptions(Edit->EditorOptions() + TwwRichEditOptions{reoNoConfirmation});
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        F->RichEdit1->SetSelStart(0);
        F->RichEdit1->SetFocus();
        Ui().Type("z");
        Idle();
        F->Exit1Click(F);
    }));
    EXPECT_EQ(Edit->Text(), "zyHola mundo");
    EXPECT_EQ(Answers.Texts().size(), 3u);
}

TEST_F(RichEditor, NewAsksBeforeClearingAndEscapeUndoesWithoutCloseOnEscape) {
    Bind("TEXTO");
    Edit->SetEditorOptions(Edit->EditorOptions() - TwwRichEditOptions{reoCloseOnEscape});
    Answers.Then(mrCancel).Then(mrOk);
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        Ui().Click(F->NewButton);
        Idle();
        EXPECT_EQ(F->RichEdit1->Text(), "Hola mundo") << "Cancel keeps the text";
        Ui().Click(F->NewButton);
        Idle();
        EXPECT_EQ(F->RichEdit1->Text(), "");
        EXPECT_TRUE(F->RichEdit1->Modified());
        F->RichEdit1->SetFocus();
        Ui().Type("ab");
        Ui().Key(VK_ESCAPE);
        Idle();
        EXPECT_EQ(Screen->ActiveForm(), F) << "Escape undoes, it does not close";
        EXPECT_NE(F->RichEdit1->Text(), "ab");
        F->SaveExit1Click(F);
    }));
    EXPECT_EQ(Answers.Texts(), (std::vector<AnsiString>{"Clear entire text?", "Clear entire text?"}));
}

TEST_F(RichEditor, AReadOnlyCallerShowsNoBarsAndEscapeCloses) {
    Bind("TEXTO");
    Edit->SetReadOnly(true);
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        EXPECT_TRUE(F->RichEdit1->GetReadOnly());
        EXPECT_FALSE(F->Toolbar->Visible());
        EXPECT_FALSE(F->FormatBar->Visible());
        EXPECT_FALSE(F->RulerPanel->Visible());
        EXPECT_FALSE(F->NewButton->Visible());
        EXPECT_FALSE(F->Format1->Visible());
        EXPECT_FALSE(F->View1->Visible());
        EXPECT_FALSE(F->SaveExit1->Visible());
        EXPECT_FALSE(F->StatusBar->Visible());
        EXPECT_EQ(F->RichEdit1->Top(), 0) << "the text takes the room of the bars";
        Ui().Key(VK_ESCAPE);
    }));
    EXPECT_TRUE(Answers.Texts().empty());
}

TEST_F(RichEditor, TheParagraphAndTabDialogsWorkOnTheEditorsText) {
    Bind("TEXTO");
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        Ui().Then([&] {
            auto* D = dynamic_cast<TwwRichParagraphDialog*>(Screen->ActiveForm());
            ASSERT_NE(D, nullptr);
            D->LeftEdit->SetText("1");
            D->FirstLineEdit->SetText("-0,5");
            Ui().Click(D->OKBtn);
        });
        F->Paragraph1Click(F);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().StartIndent, 720);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().Offset, 720);
        // The markers moved with the indents: 0.5'' and 1'' are 48 and 96 pixels in.
        const int Left = F->RulerPanel->RulerRect().Left;
        EXPECT_EQ(F->RulerPanel->FirstLineMarker->Left(), Left + 48 - 5);
        EXPECT_EQ(F->RulerPanel->LeftMarker->Left(), Left + 96 - 5);
        Ui().Then([&] {
            auto* D = dynamic_cast<TwwRichTabDialog*>(Screen->ActiveForm());
            ASSERT_NE(D, nullptr);
            D->Edit1->SetText("1,5");
            Ui().Click(D->OKButton);
        });
        F->Tabs1Click(F);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().Tabs, std::vector<int>{2160});
        F->SaveExit1Click(F);
    }));
}

// Pixels from twips at 96 pixels an inch: 1440 twips to the inch, 15 to the pixel.
TEST_F(RichEditor, RulerMarkersFollowTheIndentsAndSnapWhenDropped) {
    Bind("TEXTO");
    Frm->SetBounds(0, 0, 700, 500);
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        TwwRulerPanel* P = F->RulerPanel;
        const TRect R = P->RulerRect();
        EXPECT_EQ(R, TRect(6, 4, P->Width() - 6, P->Height() - 4));
        EXPECT_EQ(P->Height(), 25);
        TwwTrackIcon *L = P->LeftMarker, *First = P->FirstLineMarker, *Right = P->RightMarker;
        EXPECT_EQ(L->MinValue(), R.Left - 5);
        EXPECT_EQ(Right->MaxValue(), R.Right - 5);
        EXPECT_EQ(L->Left(), R.Left - 5);
        EXPECT_EQ(First->Left(), R.Left - 5);
        EXPECT_EQ(Right->Left(), P->Width() - 11);
        EXPECT_EQ(L->Top(), R.Bottom + 4 - 11);
        EXPECT_EQ(First->Top(), R.Top - 2);

        // Indents of the paragraph put the markers at their pixels.
        F->RichEdit1->SetParagraphFormat(wwpmStartIndent | wwpmOffset | wwpmRightIndent, "", false, 360, 1440,
                                         720, 0, nullptr, 0, 0, 0, 0);
        F->UpdateControls();
        EXPECT_EQ(First->Left(), R.Left + 48 - 5);
        EXPECT_EQ(L->Left(), R.Left + 48 + 24 - 5);
        EXPECT_EQ(Right->Left(), P->Width() - 96 - 11);

        // The first-line marker dropped 30 pixels right of 0.5'': its centre
        // stands at 78 pixels, 0.8125'', and snaps to the eighth at its left,
        // 0.75'' (72 pixels), one pixel on.
        DragMarker(First, 30);
        EXPECT_EQ(First->Left(), First->MinValue() + 72 + 1);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().StartIndent, 73 * 15);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().Offset, (L->Left() - L->MinValue()) * 15 - 73 * 15);

        // Between grid points it lands on the one at its left: 100 pixels is
        // 1.0416'', the grid point 1'' (96 pixels).
        DragMarker(L, 100 - (L->Left() - L->MinValue()));
        EXPECT_EQ(L->Left(), L->MinValue() + 96 + 1);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().StartIndent, 73 * 15);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().Offset, 97 * 15 - 73 * 15);

        // The right marker stops 48 pixels right of the others.
        DragMarker(Right, -2000);
        EXPECT_EQ(Right->Left(), L->Left() + 48);
        const int Expected = F->RichEdit1->Width() - F->RichEdit1->GutterWidth() - 4 - Right->Left() + 5;
        EXPECT_EQ(F->RichEdit1->SelParaFormat().RightIndent, Expected * 15);
        // And the others stop 48 pixels left of it.
        DragMarker(L, 2000);
        EXPECT_EQ(L->Left(), Right->Left() - 48);
        F->SaveExit1Click(F);
    }));
}

// The scale: a number at each whole unit, the parts between in black, the
// middle one longer; eight to the inch, four to the centimetre.
TEST_F(RichEditor, TheRulerScaleHasItsPartsPerUnit) {
    Bind("TEXTO");
    for (TwwMeasurementUnits Units : {muInches, muCentimeters}) {
        SCOPED_TRACE(Units == muInches ? "inches" : "centimetres");
        Edit->SetMeasurementUnits(Units);
        EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
            TwwRulerPanel* P = F->RulerPanel;
            const TRect R = P->RulerRect();
            const double PerUnit = Units == muInches ? 96.0 : 96 / 2.537;
            const int Parts = Units == muInches ? 8 : 4;
            EXPECT_DOUBLE_EQ(P->PixelsPerUnit(), PerUnit);
            const TSurface& Picture = Ui().Picture(F);
            const TPoint Origin = P->ClientToScreen(TPoint(0, 0));
            // The picture holds the whole window, frame and caption included.
            const TPoint FormOrigin(F->Left(), F->Top());
            auto Px = [&](int X, int Y) {
                return Picture.GetPixel(Origin.x - FormOrigin.x + X, Origin.y - FormOrigin.y + Y) & 0xFFFFFF;
            };
            for (int I = 1; I < Parts; ++I) {
                const int X = R.Left + static_cast<int>((1 + static_cast<double>(I) / Parts) * PerUnit);
                SCOPED_TRACE(I);
                const bool Middle = I == Parts / 2;
                EXPECT_EQ(Px(X, R.Top + 8), 0u) << "a part in black";
                EXPECT_EQ(Px(X, R.Top + 7), Middle ? 0u : 0xFFFFFFu) << "only the middle one is longer";
                EXPECT_EQ(Px(X + 1, R.Top + 8), 0xFFFFFFu);
            }
            Ui().Key(VK_ESCAPE);
        }));
    }
}

TEST_F(RichEditor, LooksAsDrawn) {
    Bind("TEXTO");
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        F->RichEdit1->SetSelStart(5);
        F->UpdateControls();
        Idle();
        const std::string File = std::string(ZELMOR_SOURCE_DIR) + "/tests/dataaware/reference/richeditor.png";
        EXPECT_TRUE(MatchesReferencePicture(Ui().Picture(F), File));
        Ui().Key(VK_ESCAPE);
    }));
}

}  // namespace

namespace {

TEST_F(RichEditor, ColourHighlightAndFontNameOnTheSelection) {
    Bind("TEXTO");
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        TwwCustomRichEdit* R = F->RichEdit1;
        EXPECT_EQ(F->Automatic1->Tag(), static_cast<int>(R->Font()->Color()))
            << "Automatic is the font's colour";
        R->SetSelStart(0);
        R->SetSelLength(4);
        auto* Red = dynamic_cast<TMenuItem*>(F->FindComponent("Red1"));
        ASSERT_NE(Red, nullptr);
        Red->Click();
        EXPECT_FALSE(R->SelCharFormat().AutoColor);
        EXPECT_EQ(R->SelCharFormat().Color, 0x0000FFu);

        Ui().Click(F->HighlightButton);
        Idle();
        R->SetSelStart(0);
        R->SetSelLength(4);
        F->UpdateControls();
        EXPECT_EQ(R->GetSelBackColor(), R->HighlightColor());
        EXPECT_TRUE(F->HighlightButton->Down());
        Ui().Click(F->HighlightButton);
        Idle();
        R->SetSelStart(0);
        R->SetSelLength(4);
        F->UpdateControls();
        EXPECT_FALSE(F->HighlightButton->Down()) << "up again: no highlight";

        // A face the list does not hold is taken and shows in red.
        F->FontNameCombo->SetText("Nada Sans");
        F->FontNameCombo->OnChange(F->FontNameCombo);
        EXPECT_EQ(R->SelCharFormat().FaceName, "Nada Sans");
        F->UpdateControls();
        EXPECT_EQ(F->FontNameCombo->Font()->Color(), clRed);
        F->FontNameCombo->SetItemIndex(F->FontNameCombo->Items()->IndexOf("Arial"));
        F->FontNameCombo->OnChange(F->FontNameCombo);
        F->UpdateControls();
        EXPECT_EQ(R->SelCharFormat().FaceName, "Arial");
        EXPECT_EQ(F->FontNameCombo->Font()->Color(), clWindowText);
        F->SaveExit1Click(F);
    }));
    TRichDocument Back = Edit->Document();
    EXPECT_EQ(Back.Paragraph(0).Runs[0].Format.Color, 0x0000FFu);
    EXPECT_EQ(Back.Paragraph(0).Runs[0].Format.FaceName, "Arial");
}

TEST_F(RichEditor, TheCallersSpeedButtonsJoinTheToolBarWhileItIsOpen) {
    Bind("TEXTO");
    auto* Mine = NewComponent<TSpeedButton>(Frm);
    Mine->SetParent(Frm);
    Mine->SetBounds(0, 0, 23, 22);
    Edit->SetUserSpeedButton1(Mine);
    EXPECT_FALSE(Mine->Visible()) << "assigning it hides it";
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        EXPECT_EQ(Mine->Parent(), F->Toolbar);
        EXPECT_TRUE(Mine->Visible());
        EXPECT_EQ(Mine->Left(), F->UndoButton->Left() + 32);
        EXPECT_EQ(Mine->Top(), F->UndoButton->Top());
        EXPECT_TRUE(F->UserButtonBevel->Visible());
        Ui().Key(VK_ESCAPE);
    }));
    EXPECT_EQ(Mine->Parent(), Frm);
    EXPECT_FALSE(Mine->Visible());
}

// In printer-width mode the ruler is as wide as the page less its margins.
TEST_F(RichEditor, APrinterWidthRulerFollowsThePageMargins) {
    Bind("TEXTO");
    Edit->SetEditWidth(rewPrinterSize);
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        TwwRulerPanel* P = F->RulerPanel;
        const double Page = PixelsToTwips(Printer()->PageWidth(), Printer()->PixelsPerInch()) / 1440.0;
        EXPECT_EQ(P->Width(), static_cast<int>((Page - 2.0) * 96) + 12);
        EXPECT_DOUBLE_EQ(P->ScaleLength(), Page - 2.0);
        F->RichEdit1->PrintMargins()->SetLeft(0.5);
        P->FitToPrinterWidth(F->RichEdit1);
        EXPECT_EQ(P->Width(), static_cast<int>((Page - 1.5) * 96) + 12);
        EXPECT_EQ(P->RightMarker->MaxValue(), P->RulerRect().Right - 5);
        // In centimetres the margins count 2.537 to the inch.
        F->RichEdit1->SetMeasurementUnits(muCentimeters);
        F->RichEdit1->PrintMargins()->SetLeft(2.537);
        F->RichEdit1->PrintMargins()->SetRight(2.537);
        P->FitToPrinterWidth(F->RichEdit1);
        EXPECT_EQ(P->Width(), static_cast<int>((Page - 2.0) * 96) + 12);
        Ui().Key(VK_ESCAPE);
    }));
}

// A marker dropped in centimetres snaps to the quarter centimetre at its left.
TEST_F(RichEditor, RulerMarkersSnapToQuarterCentimetres) {
    Bind("TEXTO");
    Edit->SetMeasurementUnits(muCentimeters);
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        TwwTrackIcon* First = F->RulerPanel->FirstLineMarker;
        const double PerCm = 96 / 2.537;
        // 50 pixels are 1.32 cm: the grid point is 1.25 cm, 47.29 pixels.
        DragMarker(First, 50 - (First->Left() - First->MinValue()));
        EXPECT_EQ(First->Left(), First->MinValue() + static_cast<int>(1.25 * PerCm) + 1);
        EXPECT_EQ(F->RichEdit1->SelParaFormat().StartIndent, (static_cast<int>(1.25 * PerCm) + 1) * 15);
        F->SaveExit1Click(F);
    }));
}

}  // namespace

namespace {

// Ctrl+Z undoes once, whether the editing control or the font combo has the
// focus: it is the Edit menu's short cut, and the window undoes on its release.
TEST_F(RichEditor, CtrlZUndoesOnce) {
    Bind("TEXTO");
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        F->RichEdit1->SetFocus();
        F->RichEdit1->SetSelStart(0);
        Ui().Type("ab");
        Idle();
        EXPECT_EQ(F->RichEdit1->Text(), "abHola mundo");
        Ui().Key('Z', {ssCtrl});
        Idle();
        EXPECT_EQ(F->RichEdit1->Text(), "Hola mundo");
        Ui().Type("c");
        Idle();
        EXPECT_EQ(F->RichEdit1->Text(), "cHola mundo");
        F->FontSizeCombo->SetFocus();
        Idle();
        Ui().Key('Z', {ssCtrl});
        Idle();
        EXPECT_EQ(F->RichEdit1->Text(), "Hola mundo");
        F->SaveExit1Click(F);
    }));
}

}  // namespace

namespace {

TEST_F(RichEditor, TheMenuShowsAndHidesTheBarsAndCtrlSSavesAndExits) {
    Bind("TEXTO");
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        EXPECT_EQ(F->Menu(), F->MainMenu1);
        EXPECT_FALSE(F->Load1->Visible()) << "reoShowLoad is off";
        EXPECT_FALSE(F->Insert1->Visible()) << "nothing to insert without objects";
        EXPECT_FALSE(F->Tools1->Visible()) << "no spelling checker";
        EXPECT_EQ(F->Redo1->Caption(), "&Redo") << "an empty caption falls back";
        TwwCustomRichEdit* R = F->RichEdit1;
        const int Height = R->Height(), Top = R->Top();
        EXPECT_TRUE(F->StatusBar->Visible());
        EXPECT_EQ(F->StatusBar->Top(), R->Top() + R->Height());
        F->StatusBar1->Click();
        EXPECT_FALSE(F->StatusBar->Visible());
        EXPECT_FALSE(F->StatusBar1->Checked());
        EXPECT_EQ(R->Height(), Height + F->StatusBar->Height());
        F->Ruler1->Click();
        EXPECT_FALSE(F->RulerPanel->Visible());
        EXPECT_FALSE(F->RulerBevel->Visible());
        EXPECT_EQ(R->Top(), Top - F->RulerPanel->Height() - 2);
        F->Ruler1->Click();
        EXPECT_EQ(R->Top(), Top);

        // Hints go to the first panel of the status bar.
        Application->SetHint(F->BoldButton->Hint());
        EXPECT_EQ(F->StatusBar->Panels()->Items(0)->Text(), " Makes the selection bold (toggle)");

        R->SetFocus();
        Ui().Type("x");
        Ui().Key('S', {ssCtrl});
        Idle();
    }));
    EXPECT_TRUE(Answers.Texts().empty()) << "Save and Exit asks nothing";
    EXPECT_EQ(Edit->Text(), "xHola mundo");
}

}  // namespace

namespace {

// Save As writes rich text, or plain text with the text filter; a file that
// is there is replaced only after Yes. Load reads a file into the text.
TEST_F(RichEditor, SaveAsAndLoadGoThroughTheFileDialogs) {
    Bind("TEXTO");
    Edit->SetEditorOptions(Edit->EditorOptions() + TwwRichEditOptions{reoShowLoad, reoShowSaveAs});
    const std::filesystem::path Rtf = Data / "nota.rtf", Txt = Data / "nota.txt";
    TScriptedDialogScript Dialogs;
    auto SaveAs = [&](const char* Name, int Filter) {
        Dialogs.Then([=](TComponent* D) {
            auto* S = dynamic_cast<TSaveDialog*>(D);
            EXPECT_NE(S, nullptr);
            if (!S) return false;
            EXPECT_EQ(S->DefaultExt(), "rtf");
            S->SetFileName(Name);
            S->SetFilterIndex(Filter);
            return true;
        });
    };
    SaveAs("datos\\nota.rtf", 1);
    SaveAs("datos\\nota.txt", 2);
    SaveAs("datos\\nota.txt", 1);  // there already: No keeps it
    Answers.Then(mrNo);
    Dialogs.Then([](TComponent* D) {
        auto* O = dynamic_cast<TOpenDialog*>(D);
        if (O) O->SetFileName("datos\\nota.txt");
        return O != nullptr;
    });
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        EXPECT_TRUE(F->SaveAs1->Visible());
        EXPECT_TRUE(F->LoadButton1->Visible());
        Ui().Click(F->SaveAsButton);
        Idle();
        F->SaveAs1->Click();
        Idle();
        EXPECT_FALSE(F->RichEdit1->PlainText()) << "the control stays in rich-text mode";
        F->SaveAsButtonClick(F);
        F->RichEdit1->Lines()->Clear();
        F->LoadButtonClick(F);
        EXPECT_EQ(F->RichEdit1->Text(), "Hola mundo");
        F->RichEdit1->SetModified(false);
        Ui().Key(VK_ESCAPE);
    }));
    EXPECT_EQ(Dialogs.Pending(), 0u);
    EXPECT_EQ(Answers.Texts(), std::vector<AnsiString>{"OK to overwrite datos\\nota.txt"});
    auto Read = [](const std::filesystem::path& P) {
        std::ifstream In(P, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(In), {});
    };
    EXPECT_TRUE(IsRichText(Read(Rtf)));
    EXPECT_EQ(ReadRtf(Read(Rtf)).Text(), "Hola mundo");
    EXPECT_EQ(Read(Txt), "Hola mundo") << "plain text, not replaced by the third save";
}

}  // namespace

namespace {

// Print asks the caller's event first, then the print dialog, and prints
// the editor's text under the caller's job name.
TEST_F(RichEditor, PrintAsksTheEventAndTheDialog) {
    Bind("TEXTO");
    auto* Recorder = new TRecordingPrinter(100);
    TPrinterOverride UsePrinter{std::unique_ptr<TPrinter>(Recorder)};
    Edit->SetPrintJobName("Nota de Ana");
    int Asked = 0;
    bool Default = false;
    Edit->OnMenuPrintClick = [&](TwwRichEditForm* F, TwwCustomRichEdit* R, bool& DoDefault) {
        EXPECT_EQ(R, F->RichEdit1);
        ++Asked;
        DoDefault = Default;
    };
    TScriptedDialogScript Dialogs;
    Dialogs.Then([](TComponent* D) { return dynamic_cast<TPrintDialog*>(D) != nullptr; });
    EXPECT_FALSE(Run([&](TwwRichEditForm* F) {
        Ui().Click(F->PrintButton);
        Idle();
        EXPECT_TRUE(Recorder->Documents().empty()) << "the event said no";
        Default = true;
        Ui().Key('P', {ssCtrl});
        Idle();
        Ui().Key(VK_ESCAPE);
    }));
    EXPECT_EQ(Asked, 2);
    EXPECT_EQ(Dialogs.Pending(), 0u);
    ASSERT_EQ(Recorder->Documents().size(), 1u);
    EXPECT_EQ(Recorder->Documents()[0].Title, "Nota de Ana");
}

}  // namespace

namespace {

// Find (Ctrl+F), Find Next (F3) and Replace (Ctrl+H) run the control's search
// loop on the editor's text, with its wrap rules.
TEST_F(RichEditor, FindAndReplaceLoopsFromTheMenu) {
    Bind("TEXTO");
    const AnsiString NoMore = DefaultIntl->UserMessages()->LocateNoMoreMatches();
    TScriptedDialogScript Dialogs;
    Dialogs.Then([](TComponent* D) {
        auto* F = dynamic_cast<TFindDialog*>(D);
        if (!F) return false;
        F->SetFindText("o");
        F->ClickFindNext();
        return true;
    });
    Dialogs.Then([](TComponent* D) {
        auto* R = dynamic_cast<TReplaceDialog*>(D);
        if (!R) return false;
        R->SetFindText("o");
        R->SetReplaceText("0");
        R->ClickReplaceAll();
        return true;
    });
    Answers.Then(mrOk).Then(mrOk);
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        TwwCustomRichEdit* R = F->RichEdit1;
        R->SetFocus();
        R->SetSelStart(3);  // "Hol|a mundo"
        EXPECT_FALSE(F->FindNext1->Enabled()) << "nothing searched yet";
        Ui().Key('F', {ssCtrl});
        Idle();
        EXPECT_EQ(R->SelStart(), 9) << "the o of mundo";
        EXPECT_TRUE(F->FindNext1->Enabled());
        Ui().Key(VK_F3);
        Idle();
        EXPECT_EQ(R->SelStart(), 1) << "wrapped to the o of Hola";
        Ui().Key(VK_F3);
        Idle();
        EXPECT_EQ(Answers.Texts(), std::vector<AnsiString>{NoMore}) << "past where the search began";
        R->FindDialog()->CloseDialog();

        R->SetSelStart(0);
        R->SetSelLength(0);
        Ui().Key('H', {ssCtrl});
        Idle();
        EXPECT_EQ(R->Text(), "H0la mund0");
        R->ReplaceDialog()->CloseDialog();
        F->SaveExit1Click(F);
    }));
    EXPECT_EQ(Dialogs.Pending(), 0u);
    EXPECT_EQ(Answers.Texts().size(), 2u);
    EXPECT_EQ(Edit->Text(), "H0la mund0");
}

// The Format menu's Font takes the font dialog's choice; Page Setup in
// printer-width mode fits the ruler to the new margins.
TEST_F(RichEditor, FontAndPageSetupFromTheMenu) {
    Bind("TEXTO");
    // A printer of its own: the page setup changes its paper.
    TPrinterOverride UsePrinter{std::make_unique<TRecordingPrinter>(300)};
    Edit->SetEditWidth(rewPrinterSize);
    Edit->SetEditorOptions(Edit->EditorOptions() + TwwRichEditOptions{reoShowPageSetup});
    TScriptedDialogScript Dialogs;
    Dialogs.Then([](TComponent* D) {
        auto* F = dynamic_cast<TFontDialog*>(D);
        if (!F) return false;
        F->Font()->SetSize(20);
        F->Font()->SetStyle({fsItalic});
        return true;
    });
    Dialogs.Then([](TComponent* D) {
        auto* P = dynamic_cast<TPageSetupDialog*>(D);
        if (!P) return false;
        P->SetMarginLeft(500);
        P->SetMarginRight(500);
        return true;
    });
    EXPECT_TRUE(Run([&](TwwRichEditForm* F) {
        TwwCustomRichEdit* R = F->RichEdit1;
        R->SetSelStart(0);
        R->SetSelLength(4);
        F->Font1->Click();
        EXPECT_EQ(R->SelCharFormat().Height, 400);
        EXPECT_TRUE(R->SelCharFormat().Italic);
        EXPECT_EQ(F->FontSizeCombo->Text(), "20");

        const double Page = PixelsToTwips(Printer()->PageWidth(), Printer()->PixelsPerInch()) / 1440.0;
        EXPECT_EQ(F->RulerPanel->Width(), static_cast<int>((Page - 2.0) * 96) + 12);
        EXPECT_TRUE(F->PageSetup1->Visible());
        F->PageSetup1->Click();
        EXPECT_DOUBLE_EQ(R->PrintMargins()->Left(), 0.5);
        // The paper became the control's (letter, 8.5'').
        EXPECT_EQ(Printer()->PaperCode(), 1);
        const double Letter = PixelsToTwips(Printer()->PageWidth(), Printer()->PixelsPerInch()) / 1440.0;
        EXPECT_DOUBLE_EQ(Letter, 8.5);
        EXPECT_EQ(F->RulerPanel->Width(), static_cast<int>((Letter - 1.0) * 96) + 12);
        EXPECT_EQ(F->RulerPanel->RightMarker->MaxValue(), F->RulerPanel->RulerRect().Right - 5);
        F->SaveExit1Click(F);
    }));
    EXPECT_EQ(Dialogs.Pending(), 0u);
    EXPECT_DOUBLE_EQ(Edit->PrintMargins()->Left(), 0.5) << "OK brings the margins back";
}

}  // namespace

namespace {

// A double click on a rich edit that a grid hosts opens the editor; one
// outside a grid does not.
TEST_F(RichEditor, ADoubleClickInsideAGridOpensTheEditor) {
    Bind("TEXTO");
    Ui().DoubleClick(Edit);
    Idle();
    EXPECT_EQ(Ui().StepsLeft(), 0u);
    auto* Grid = NewComponent<TwwDBGrid>(Frm);
    Grid->SetBounds(0, 0, 390, 220);
    Grid->SetParent(Frm);
    Edit->SetParent(Grid);
    Edit->SetBounds(4, 4, 300, 100);
    Idle();
    bool Opened = false;
    Ui().Then([&] {
        Opened = dynamic_cast<TwwRichEditForm*>(Screen->ActiveForm()) != nullptr;
        Screen->ActiveForm()->SetModalResult(mrCancel);
    });
    Ui().DoubleClick(Edit);
    Idle();
    EXPECT_TRUE(Opened);
    EXPECT_EQ(Ui().StepsLeft(), 0u);
}

}  // namespace
