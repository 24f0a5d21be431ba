// The transparent panel and group box over a coloured form (and the group
// box on a grid, where it stays opaque), and the data-aware check box on a
// form of its own over a small table: field values mapped to its states,
// the grayed state, the value written back when it is clicked, and its glyph.
#include <gtest/gtest.h>

#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcheckbox.h"
#include "dataaware/wwclearbuttongroup.h"
#include "dataaware/wwclearpanel.h"
#include "platform/db/Fields.h"
#include "platform/win/WindowManager.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

class ClearPanelCheckBox : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("marcas", {{"NOMBRE", ftString, 10}, {"ACTIVO", ftString, 2}, {"LOGICO", ftBoolean}});
        AddRows("marcas", {{{"NOMBRE", "Ana"}, {"ACTIVO", "S"}, {"LOGICO", "True"}},
                           {{"NOMBRE", "Luis"}, {"ACTIVO", "Si"}, {"LOGICO", "False"}},
                           {{"NOMBRE", "Eva"}, {"ACTIVO", "N"}},
                           {{"NOMBRE", "Pio"}, {"ACTIVO", "X"}},
                           {{"NOMBRE", "Rosa"}}});
        Fm = NewPlainForm("MarcasForm", 400, 300);
        Shown = Fm;
        Fm->SetColor(clYellow);
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("marcas");
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
    }
    uint32_t PxOf(TControl* C, int X, int Y) {
        TCustomForm* Form = GetParentForm(C);
        const TPoint P = C->ClientToScreen(TPoint(X, Y));
        TRect Window;
        GetWindowRect(Form->Handle(), Window);
        return PixelOf(Ui(), Form, P.x - Window.Left, P.y - Window.Top) & 0xFFFFFFu;
    }
    uint32_t Middle(TControl* C) { return PxOf(C, C->Width() / 2, C->Height() / 2); }
    TwwCheckBox* NewCheckBox(const char* Field) {
        auto* Box = NewComponent<TwwCheckBox>(Fm);
        Box->SetParent(Fm);
        Box->SetBounds(10, 10, 120, 20);
        Box->SetCaption("Activo");
        Box->SetValueChecked("S;Si");
        Box->SetValueUnchecked("N");
        Box->SetNullAndBlankState(cbGrayed);
        Box->SetDataSource(S);
        Box->SetDataField(Field);
        return Box;
    }
    void GoTo(int RecNo) {
        T->First();
        T->MoveBy(RecNo - 1);
        Idle();
    }
    // The dark and the grey pixels of the box's glyph.
    int Ink(TwwCheckBox* Box, uint32_t Rgb) {
        TRect R;
        Box->GetButtonRect(R);
        int N = 0;
        for (int Y = R.Top + 2; Y < R.Bottom - 2; ++Y)
            for (int X = R.Left + 2; X < R.Right - 2; ++X) N += PxOf(Box, X, Y) == Rgb ? 1 : 0;
        return N;
    }
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;
};

// Opaque, the panel and the group box fill their face; transparent, the
// form's colour shows through them. On a grid the group box stays opaque.
TEST_F(ClearPanelCheckBox, TransparentContainersShowTheirParent) {
    auto* Opaque = NewComponent<TwwCustomTransparentPanel>(Fm);
    Opaque->SetBounds(10, 10, 80, 60);
    Opaque->SetParent(Fm);
    auto* Clear = NewComponent<TwwCustomTransparentPanel>(Fm);
    Clear->SetTransparent(true);
    Clear->SetBounds(100, 10, 80, 60);
    Clear->SetParent(Fm);
    auto* Box = NewComponent<TwwCustomTransparentGroupBox>(Fm);
    Box->SetTransparent(true);
    Box->SetBounds(200, 10, 80, 60);
    Box->SetParent(Fm);
    T->Open();
    auto* Grid = NewComponent<TwwDBGrid>(Fm);
    Grid->SetBounds(10, 100, 300, 150);
    Grid->SetParent(Fm);
    Grid->SetDataSource(S);
    auto* OnGrid = NewComponent<TwwCustomTransparentGroupBox>(Fm);
    OnGrid->SetParent(Grid);
    OnGrid->SetTransparent(true);
    OnGrid->SetBounds(100, 40, 80, 60);
    Fm->Show();
    Idle();
    EXPECT_EQ(Middle(Opaque), RgbOf(clBtnFace));
    EXPECT_FALSE(Clear->ControlStyle().Contains(csOpaque));
    EXPECT_EQ(Middle(Clear), RgbOf(clYellow));
    EXPECT_EQ(Middle(Box), RgbOf(clYellow));
    EXPECT_FALSE(OnGrid->PaintsTransparent());
    EXPECT_TRUE(OnGrid->ControlStyle().Contains(csOpaque));
    EXPECT_EQ(Middle(OnGrid), RgbOf(OnGrid->Color()));
    // The bevel is drawn on the transparent panel: light on top, dark below.
    EXPECT_EQ(PxOf(Clear, 20, 0), RgbOf(clBtnHighlight));
    EXPECT_EQ(PxOf(Clear, 20, Clear->Height() - 1), RgbOf(clBtnShadow));
    Clear->SetTransparent(false);
    Idle();
    EXPECT_EQ(Middle(Clear), RgbOf(clBtnFace));
}

// Each value of the field gives its state: the items of ValueChecked and
// ValueUnchecked (any case), anything else and a null the grayed state; a
// Boolean field by its value.
TEST_F(ClearPanelCheckBox, FieldValuesGiveTheStates) {
    TwwCheckBox* Box = NewCheckBox("ACTIVO");
    TwwCheckBox* Logic = NewCheckBox("LOGICO");
    Logic->SetTop(40);
    T->Open();
    Fm->Show();
    const std::vector<TCheckBoxState> Expected{cbChecked, cbChecked, cbUnchecked, cbGrayed, cbGrayed};
    const std::vector<TCheckBoxState> Logical{cbChecked, cbUnchecked, cbGrayed, cbGrayed, cbGrayed};
    for (int R = 1; R <= 5; ++R) {
        GoTo(R);
        EXPECT_EQ(Box->State(), Expected[R - 1]) << R;
        EXPECT_EQ(Logic->State(), Logical[R - 1]) << R;
    }
    // The glyph: a check mark in the dark, the grayed state in grey.
    GoTo(1);
    const int CheckedInk = Ink(Box, 0);
    GoTo(3);
    EXPECT_GT(CheckedInk, 0);
    EXPECT_EQ(Ink(Box, 0), 0);
    GoTo(4);
    EXPECT_GT(Ink(Box, RgbOf(clBtnShadow)) + Ink(Box, RgbOf(clGrayText)), 0);
}

// A click edits the record and writes the first item of the state's list;
// with AllowGrayed the state goes on to grayed, which writes a null.
TEST_F(ClearPanelCheckBox, AClickWritesTheValueBack) {
    TwwCheckBox* Box = NewCheckBox("ACTIVO");
    T->Open();
    Fm->Show();
    GoTo(3);
    Ui().Click(Box);
    Idle();
    EXPECT_EQ(T->State(), dsEdit);
    EXPECT_EQ(Box->State(), cbChecked);
    T->Post();
    EXPECT_EQ(T->FieldByName("ACTIVO")->AsString(), "S");
    Ui().Click(Box);
    Idle();
    T->Post();
    EXPECT_EQ(T->FieldByName("ACTIVO")->AsString(), "N");
    Box->SetAllowGrayed(true);
    Ui().Click(Box);
    Idle();
    EXPECT_EQ(Box->State(), cbGrayed);
    T->Post();
    EXPECT_TRUE(T->FieldByName("ACTIVO")->IsNull());
    Box->SetReadOnly(true);
    Ui().Click(Box);
    Idle();
    EXPECT_EQ(T->State(), dsBrowse);
    EXPECT_TRUE(T->FieldByName("ACTIVO")->IsNull());
}

}  // namespace
