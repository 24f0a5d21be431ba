// Push buttons, check boxes, radio buttons, radio groups and labels.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/StdWindows.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class DialogButtons : public FormTest {
protected:
    DialogButtons() {
        Dialog = TForm::CreateNew(Application);
        Dialog->SetBorderStyle(bsDialog);
        Dialog->SetBounds(100, 100, 300, 150);
        Name = Make<TEdit>(Dialog, Dialog, "Name", Bounds(10, 10, 150, 0));
        Ok = Make<TButton>(Dialog, Dialog, "Ok", Bounds(10, 60, 75, 25));
        Ok->SetCaption("&Aceptar");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Cancel = Make<TButton>(Dialog, Dialog, "Cancel", Bounds(90, 60, 75, 25));
        Cancel->SetCaption("Cancelar");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Other = Make<TButton>(Dialog, Dialog, "Other", Bounds(170, 60, 75, 25));
        Other->SetCaption("&Siguiente");
        Other->OnClick = [this](TObject*) { ++OtherClicks; };
    }
    TModalResult RunWithKeys(const char* Keys) {
        Ui.Then([this, Keys] { PlayKeys(Ui, Keys); });
        return Dialog->ShowModal();
    }
    TForm* Dialog;
    TEdit* Name;
    TButton* Ok;
    TButton* Cancel;
    TButton* Other;
    int OtherClicks = 0;
};

TEST_F(DialogButtons, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    EXPECT_EQ(RunWithKeys("abc{Enter}"), mrOk);
    EXPECT_EQ(Name->Text(), "abc");
    EXPECT_EQ(RunWithKeys("{Esc}"), mrCancel);
}

TEST_F(DialogButtons, EnterPressesTheFocusedButtonRatherThanTheDefault) {
    Ui.Then([this] { Other->SetFocus(); });
    Ui.Then([this] {
        EXPECT_EQ(GetWindowLong(Ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON)
            << "the default look moved";
        EXPECT_EQ(GetWindowLong(Other->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        PlayKeys(Ui, "{Enter}");
    });
    Ui.Then([this] {
        EXPECT_EQ(OtherClicks, 1);
        Name->SetFocus();
    });
    Ui.Then([this] { PlayKeys(Ui, "{Enter}"); });
    EXPECT_EQ(Dialog->ShowModal(), mrOk) << "back in the edit, Enter is the default button's again";
}

TEST_F(DialogButtons, AcceleratorsClickTheirButtons) {
    EXPECT_EQ(RunWithKeys("{A+S}{A+A}"), mrOk);
    EXPECT_EQ(OtherClicks, 1);
    // Where the focus takes no characters, the plain letter does it too.
    Ui.Then([this] { Cancel->SetFocus(); });
    EXPECT_EQ(RunWithKeys("s{A+A}"), mrOk);
    EXPECT_EQ(OtherClicks, 2);
}

TEST_F(DialogButtons, TheModalResultStandsEvenWhenTheClickHandlerFails) {
    TScriptedDialogs Boxes;
    Ok->OnClick = [](TObject*) { throw Exception("No se pudo grabar"); };
    EXPECT_EQ(RunWithKeys("{Enter}"), mrOk);
    EXPECT_EQ(Boxes.Texts(), std::vector<AnsiString>{"No se pudo grabar."});
}

TEST_F(DialogButtons, AMouseClickPressesAndReleasesOverTheButton) {
    Ui.Then([this] {
        Ui.Click(Other);
        // Pressed on the button and released beside it: no click.
        InputMouseButton(0, true, Other->ClientToScreen(TPoint(5, 5)));
        InputMouseButton(0, false, Other->ClientToScreen(TPoint(-20, 5)));
    });
    Ui.Then([this] { Ui.Click(Ok); });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_EQ(OtherClicks, 1);
}

class Choices : public FormTest {
protected:
    Choices() {
        Form = NewPlainForm("F", 400, 300);
        Form->Show();
    }
    TForm* Form;
};

TEST_F(Choices, ACheckBoxTogglesByClickSpaceAndAccelerator) {
    auto* A = Make<TCheckBox>(Form, Form, "A", Bounds(10, 10, 120, 17));
    A->SetCaption("&Repite");
    std::vector<TCheckBoxState> Seen;
    A->OnClick = [&](TObject* Sender) { Seen.push_back(static_cast<TCheckBox*>(Sender)->State()); };
    Ui.Click(A);
    Ui.RunUntilIdle();
    EXPECT_TRUE(A->Checked());
    PlayKeys(Ui, " ");
    Ui.RunUntilIdle();
    EXPECT_FALSE(A->Checked()) << "Space toggles the focused box";
    PlayKeys(Ui, "{A+R}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbChecked}));
    EXPECT_EQ(A->Perform(BM_GETCHECK), BST_CHECKED) << "the window shows the state";
}

TEST_F(Choices, AllowGrayedCyclesThroughTheGreyStateAndProgramChangesClickToo) {
    auto* A = Make<TCheckBox>(Form, Form, "A", Bounds(10, 10, 120, 17));
    A->SetAllowGrayed(true);
    std::vector<TCheckBoxState> Seen;
    A->OnClick = [&](TObject*) { Seen.push_back(A->State()); };
    for (int I = 0; I < 3; ++I) {
        Ui.Click(A);
        Ui.RunUntilIdle();
    }
    EXPECT_EQ(Seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    A->SetChecked(true);
    EXPECT_EQ(Seen.back(), cbChecked) << "a state set by the program fires OnClick";
    A->SetChecked(true);
    EXPECT_EQ(Seen.size(), 4u) << "but only when it changes";
    A->SetState(cbGrayed);
    EXPECT_EQ(A->Perform(BM_GETCHECK), BST_INDETERMINATE);
    EXPECT_FALSE(A->Checked());
}

TEST_F(Choices, OneHandlerServesManyCheckBoxesThroughSender) {
    std::vector<std::string> Clicked;
    TNotifyEvent Shared = [&](TObject* Sender) {
        Clicked.push_back(static_cast<TComponent*>(Sender)->Name());
    };
    auto* A = Make<TCheckBox>(Form, Form, "A", Bounds(10, 10, 120, 17));
    auto* B = Make<TCheckBox>(Form, Form, "B", Bounds(10, 30, 120, 17));
    A->OnClick = Shared;
    B->OnClick = Shared;
    Ui.Click(B);
    Ui.Click(A);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, (std::vector<std::string>{"B", "A"}));
}

TEST_F(Choices, ACheckBoxWithLeftAlignmentPutsItsBoxAtTheRight) {
    auto* A = Make<TCheckBox>(Form, Form, "A", Bounds(10, 10, 120, 17));
    A->SetState(cbChecked);
    auto* B = Make<TCheckBox>(Form, Form, "B", Bounds(10, 40, 120, 17));
    B->SetState(cbChecked);
    B->SetAlignment(taLeftJustify);
    Ui.RunUntilIdle();
    // The box is the window colour inside a sunken frame; at its middle stands the check mark or the window
    // colour.
    uint32_t Window = 0xFFFFFF;
    // The box is 13 pixels square, centred in the 17-pixel height, with a 2-pixel sunken edge.
    EXPECT_EQ(PixelOf(Ui, Form, 10 + 2, 10 + 4), Window) << "inside A's box, at the left";
    EXPECT_EQ(PixelOf(Ui, Form, 10 + 120 - 13 + 2, 40 + 4), Window) << "inside B's box, at the right";
    EXPECT_NE(PixelOf(Ui, Form, 10 + 2, 40 + 4), Window) << "B has nothing white at the left";
}

TEST_F(Choices, RadioButtonsUncheckTheirSiblingsOnly) {
    auto* P1 = Make<TPanel>(Form, Form, "P1", Bounds(0, 0, 200, 100));
    auto* P2 = Make<TPanel>(Form, Form, "P2", Bounds(200, 0, 200, 100));
    auto* A = Make<TRadioButton>(Form, P1, "A", Bounds(10, 10, 100, 17));
    auto* B = Make<TRadioButton>(Form, P1, "B", Bounds(10, 30, 100, 17));
    auto* C = Make<TRadioButton>(Form, P2, "C", Bounds(10, 10, 100, 17));
    A->SetChecked(true);
    C->SetChecked(true);
    Ui.Click(B);
    Ui.RunUntilIdle();
    EXPECT_TRUE(B->Checked());
    EXPECT_FALSE(A->Checked());
    EXPECT_TRUE(C->Checked()) << "another parent, another group";
    EXPECT_TRUE(B->TabStop());
    EXPECT_FALSE(A->TabStop()) << "only the checked button is reached by Tab";
    EXPECT_EQ(A->Perform(BM_GETCHECK), BST_UNCHECKED);
}

TEST_F(Choices, ArrowsMoveAmongRadioButtonsAndCheckThem) {
    auto* A = Make<TRadioButton>(Form, Form, "A", Bounds(10, 10, 100, 17));
    auto* B = Make<TRadioButton>(Form, Form, "B", Bounds(10, 30, 100, 17));
    auto* C = Make<TRadioButton>(Form, Form, "C", Bounds(10, 50, 100, 17));
    int Clicks = 0;
    for (TRadioButton* R : {A, B, C}) R->OnClick = [&](TObject*) { ++Clicks; };
    A->SetChecked(true);
    Clicks = 0;
    A->SetFocus();
    PlayKeys(Ui, "{Down}{Down}");
    Ui.RunUntilIdle();
    EXPECT_TRUE(C->Focused());
    EXPECT_TRUE(C->Checked());
    EXPECT_FALSE(A->Checked());
    EXPECT_FALSE(B->Checked());
    EXPECT_EQ(Clicks, 2);
    PlayKeys(Ui, "{Up}");
    Ui.RunUntilIdle();
    EXPECT_TRUE(B->Checked());
}

TEST_F(Choices, ARadioGroupLaysOutItsColumnsAndKeepsItsItemIndex) {
    auto* G = Make<TRadioGroup>(Form, Form, "G", Bounds(10, 10, 310, 100));
    G->SetColumns(3);
    for (const char* S : {"Uno", "Dos", "Tres", "Cuatro", "Cinco"}) G->Items()->Add(S);
    ASSERT_EQ(G->ButtonCount(), 5);
    // Two rows: the items go down the first column, then the next.
    EXPECT_EQ(G->Buttons(0)->Left(), G->Buttons(1)->Left());
    EXPECT_LT(G->Buttons(0)->Top(), G->Buttons(1)->Top());
    EXPECT_EQ(G->Buttons(2)->Left(), 8 + (310 - 10) / 3);
    EXPECT_EQ(G->Buttons(2)->Top(), G->Buttons(0)->Top());
    EXPECT_EQ(G->Buttons(4)->Left(), 8 + 2 * ((310 - 10) / 3));
    int Clicks = 0;
    G->OnClick = [&](TObject*) { ++Clicks; };
    G->SetItemIndex(1);
    EXPECT_TRUE(G->Buttons(1)->Checked());
    EXPECT_EQ(Clicks, 0) << "the program's choice is no click";
    Ui.RunUntilIdle();
    Ui.Click(G->Buttons(3));
    Ui.RunUntilIdle();
    EXPECT_EQ(G->ItemIndex(), 3);
    EXPECT_FALSE(G->Buttons(1)->Checked());
    EXPECT_EQ(Clicks, 1);
    G->Items()->Delete(4);
    G->Items()->Delete(3);
    EXPECT_EQ(G->ItemIndex(), 2) << "an index beyond the items comes back to the last";
    G->SetItemIndex(-1);
    for (int I = 0; I < G->ButtonCount(); ++I) EXPECT_FALSE(G->Buttons(I)->Checked());
}

TEST_F(Choices, ALabelsAcceleratorFocusesItsControl) {
    auto* L = Make<TLabel>(Form, Form, "L", Bounds(10, 10, 0, 0));
    auto* E = Make<TEdit>(Form, Form, "E", Bounds(100, 10, 100, 0));
    auto* Other = Make<TEdit>(Form, Form, "O", Bounds(100, 50, 100, 0));
    L->SetCaption("&Nombre");
    L->SetFocusControl(E);
    Other->SetFocus();
    PlayKeys(Ui, "{A+N}");
    Ui.RunUntilIdle();
    EXPECT_TRUE(E->Focused());
    E->Free();
    EXPECT_EQ(L->FocusControl(), nullptr) << "a freed control is forgotten";
}

TEST_F(Choices, ALabelSizesItselfToItsCaption) {
    auto* L = Make<TLabel>(Form, Form, "L", Bounds(10, 10, 0, 0));
    L->SetCaption("Corto");
    int Short = L->Width();
    L->SetCaption("Bastante m\xE1s largo");
    EXPECT_GT(L->Width(), Short);
    L->SetCaption("&A");
    int WithAmpersand = L->Width();
    L->SetShowAccelChar(false);
    L->SetCaption("&B");
    EXPECT_GT(L->Width(), WithAmpersand) << "without accelerators the ampersand is shown";
    L->SetAlignment(taRightJustify);
    int Right = L->Left() + L->Width();
    L->SetCaption("&Mucho m\xE1s largo");
    EXPECT_EQ(L->Left() + L->Width(), Right) << "a right-aligned label grows to the left";
}

TEST_F(Choices, ALabelRepaintsAtOnceOnRefresh) {
    auto* L = Make<TLabel>(Form, Form, "L", Bounds(10, 10, 50, 20));
    L->SetAutoSize(false);
    L->SetBounds(10, 10, 50, 20);
    L->SetColor(clRed);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Ui, Form, 10 + 45, 10 + 15), 0xFF0000u);
    L->SetColor(clLime);
    L->Refresh();  // no loop runs in between
    EXPECT_EQ(WindowSurface(Form->Handle())->GetPixel(10 + 45, 10 + 15), 0x00FF00u);
    L->SetTransparent(true);
    Form->SetColor(clBlue);
    L->Refresh();
    EXPECT_EQ(WindowSurface(Form->Handle())->GetPixel(10 + 45, 10 + 15), 0x0000FFu);
}

}  // namespace
