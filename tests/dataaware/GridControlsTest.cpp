// The grid's cells edited and shown through controls of its form
// (forms/GridControls.zfm): an edit that a typed letter brings up and Tab
// leaves, painted into the rows it is not on; an expand button that opens
// the students' grid under its row; and a radio group standing for letters.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcheckbox.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwradiogroup.h"
#include "forms/GridControls.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Bitmap.h"

namespace {

class GridControls : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("cursoz", {{"ABREV", ftString, 6},
                               {"NOMBRE", ftString, 20},
                               {"TURNO", ftString, 1},
                               {"OBS", ftString, 10},
                               {"TEXTO", ftMemo}});
        AddRows("cursoz", {{{"ABREV", "1A"}, {"NOMBRE", "Primero A"}, {"TURNO", "M"}},
                           {{"ABREV", "1B"}, {"NOMBRE", "Primero B"}, {"TURNO", "T"}},
                           {{"ABREV", "2A"}, {"NOMBRE", "Segundo A"}, {"TURNO", "M"}},
                           {{"ABREV", "2B"}, {"NOMBRE", ""}, {"TURNO", "T"}}});
        CreateTable("alumz", {{"NOMBRE", ftString, 20}});
        AddRows("alumz", {{{"NOMBRE", "Ana"}}, {{"NOMBRE", "Luis"}}, {{"NOMBRE", "Eva"}}});
        F = NewComponent<TGridControlsForm>(Application);
        F->TCursos->Open();
        F->TAlumnos->Open();
        ShowWithGrid(F, G());
    }
    TwwDBGrid* G() { return F->GridCursos; }
    TwwTable* T() { return F->TCursos; }
    int ColOf(const char* Field) { return GridColOf(G(), Field); }
    void GoTo(int RecNo, const char* Field) {
        T()->First();
        T()->MoveBy(RecNo - 1);
        G()->SetSelectedIndex(ColOf(Field) - G()->IndicatorOffset());
        Idle();
    }
    AnsiString Value(const char* Field) { return T()->FieldByName(Field)->AsString(); }
    // The dark pixels of a rectangle of the grid, cut to their bounding box.
    std::vector<std::string> Ink(const TRect& R) {
        std::vector<std::string> Rows;
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            std::string Line;
            for (int X = R.Left; X < R.Right; ++X) Line += Px(G(), X, Y) == 0 ? '#' : '.';
            Rows.push_back(Line);
        }
        return Trimmed(Rows);
    }
    // The same of a text written in black on white in a font.
    static std::vector<std::string> Ink(const AnsiString& Text, TFont* Font) {
        TBitmap B;
        B.SetSize(400, 60);
        B.Canvas()->Brush()->SetColor(clWhite);
        B.Canvas()->FillRect(TRect(0, 0, 400, 60));
        B.Canvas()->Font()->Assign(Font);
        B.Canvas()->Font()->SetColor(clBlack);
        B.Canvas()->TextOut(5, 5, Text);
        std::vector<std::string> Rows;
        for (int Y = 0; Y < 60; ++Y) {
            std::string Line;
            for (int X = 0; X < 400; ++X) Line += (B.Canvas()->Pixels(X, Y) & 0xFFFFFF) == 0 ? '#' : '.';
            Rows.push_back(Line);
        }
        return Trimmed(Rows);
    }
    static std::vector<std::string> Trimmed(std::vector<std::string> Rows) {
        while (!Rows.empty() && Rows.back().find('#') == std::string::npos) Rows.pop_back();
        while (!Rows.empty() && Rows.front().find('#') == std::string::npos) Rows.erase(Rows.begin());
        size_t Left = std::string::npos, Right = 0;
        for (const auto& L : Rows) {
            if (L.find('#') == std::string::npos) continue;
            Left = std::min(Left, L.find('#'));
            Right = std::max(Right, L.rfind('#') + 1);
        }
        for (auto& L : Rows) L = L.substr(Left, Right - Left);
        return Rows;
    }
    TGridControlsForm* F = nullptr;
};

// A letter typed on the edit's cell brings the edit up with the letter; Tab
// from it goes back to the grid through the keyboard hook, to the next
// column. Going into the grid's own cell control is no leaving of the grid:
// the record stays in edit mode and the hook stays.
TEST_F(GridControls, ALetterTypedOnTheCellGoesIntoTheEditAndTabComesBack) {
    GoTo(2, "OBS");
    Keys("q{S+Tab}{S+Tab}");
    EXPECT_EQ(G()->GetColumnFieldName(G()->Col()), "NOMBRE");
    EXPECT_EQ(T()->State(), dsEdit);
    EXPECT_TRUE(G()->Focused());
    Keys("x");
    EXPECT_TRUE(F->ENombre->Focused());
    EXPECT_EQ(F->ENombre->Parent(), G());
    EXPECT_EQ(F->ENombre->Text(), "x");
    EXPECT_EQ(T()->State(), dsEdit) << "the edit is not posted on going into the cell control";
    EXPECT_TRUE(TwwCustomDBGrid::KeyboardHookInstalled());
    Keys("yz{Tab}");
    EXPECT_TRUE(G()->Focused());
    EXPECT_EQ(Value("NOMBRE"), "xyz");
    EXPECT_EQ(Value("OBS"), "q");
    EXPECT_EQ(G()->GetColumnFieldName(G()->Col()), "TURNO");
    EXPECT_EQ(T()->RecNo(), 2);
    // Leaving the row posts both.
    Keys("{Down}");
    EXPECT_EQ(T()->State(), dsBrowse);
    T()->First();
    T()->MoveBy(1);
    EXPECT_EQ(Value("NOMBRE"), "xyz");
}

// The rows the edit is not on show copies of it: each the name of its own
// record in the edit's font (bold here, where the grid's own text is not).
TEST_F(GridControls, TheOtherRowsShowPaintedCopiesOfTheEdit) {
    GoTo(2, "NOMBRE");
    TFont Bold;
    Bold.Assign(F->ENombre->Font());
    Bold.SetStyle(TFontStyles{fsBold});
    F->ENombre->Font()->Assign(&Bold);
    GoTo(3, "NOMBRE");
    G()->Invalidate();
    Idle();
    const int Nombre = ColOf("NOMBRE");
    const char* Names[] = {"Primero A", "Primero B", "Segundo A", ""};
    for (int Row = 1; Row <= 4; ++Row) {
        if (Row == 3) continue;  // the live edit
        SCOPED_TRACE(Row);
        const std::vector<std::string> Copy = Ink(G()->CellRect(Nombre, Row));
        EXPECT_EQ(Copy, Ink(Names[Row - 1], &Bold));
        if (*Names[Row - 1]) {
            EXPECT_NE(Copy, Ink(Names[Row - 1], G()->Font()));
        }
    }
    EXPECT_TRUE(F->ENombre->Visible());
    EXPECT_EQ(F->ENombre->BoundsRect().Top, G()->CellRect(Nombre, 3).Top);
}

// A radio group column: every row shows the group's items, the one whose
// value the record holds checked, with the items' captions.
TEST_F(GridControls, ARadioGroupColumnShowsTheItemsWithTheRecordsChoice) {
    GoTo(1, "ABREV");
    const int Turno = ColOf("TURNO");
    TRect Cell[5];
    for (int Row = 1; Row <= 4; ++Row) Cell[Row] = G()->CellRect(Turno, Row);
    auto* RG = F->RGTurno;
    ASSERT_EQ(RG->ControlCount(), 2);
    // Each item: its glyph, then its caption.
    auto Item = [&](int Row, int I) {
        TControl* B = RG->Controls(I);
        return TRect(Cell[Row].Left + B->Left(), Cell[Row].Top + B->Top(),
                     std::min(Cell[Row].Left + B->Left() + B->Width(), Cell[Row].Right),
                     Cell[Row].Top + B->Top() + B->Height());
    };
    auto Glyph = [&](int Row, int I) {
        TRect R = Item(Row, I);
        R.Right = R.Left + 14;
        return Ink(R);
    };
    auto Caption = [&](int Row, int I) {
        TRect R = Item(Row, I);
        R.Left += 14;
        return Ink(R);
    };
    for (int Row = 1; Row <= 4; ++Row) {
        SCOPED_TRACE(Row);
        EXPECT_EQ(Caption(Row, 0), Ink("Ma\xF1"
                                       "ana",
                                       RG->Font()));
        EXPECT_EQ(Caption(Row, 1), Ink("Tarde", RG->Font()));
    }
    // Rows 1 and 3 hold "M", rows 2 and 4 "T".
    EXPECT_EQ(Glyph(1, 0), Glyph(3, 0));
    EXPECT_EQ(Glyph(1, 1), Glyph(2, 0));
    EXPECT_EQ(Glyph(2, 1), Glyph(1, 0));
    EXPECT_NE(Glyph(1, 0), Glyph(1, 1));
    EXPECT_EQ(Glyph(4, 1), Glyph(2, 1));
}

// The expand button opens the students' grid under its row, the rows below
// moving down by its height, and closes it again.
TEST_F(GridControls, AnExpandButtonOpensADetailGridUnderItsRowAndClosesIt) {
    GoTo(2, "ABREV");
    const int Abrev = ColOf("ABREV");
    const int H = G()->DefaultRowHeight();
    const TRect Row2 = G()->CellRect(Abrev, 2), Row3 = G()->CellRect(Abrev, 3);
    auto* Detail = F->GridAlumnos;
    EXPECT_FALSE(Detail->Visible());
    Ui().Click(G(), TPoint(Row2.Left + 5, (Row2.Top + Row2.Bottom) / 2));
    Idle();
    EXPECT_TRUE(F->BDetalle->Checked());
    ASSERT_TRUE(Detail->Visible());
    EXPECT_EQ(Detail->Parent(), G());
    EXPECT_EQ(Detail->Top(), Row2.Top + H);
    EXPECT_EQ(G()->RowHeights(2), H + Detail->Height() - 1);
    EXPECT_EQ(G()->CellRect(Abrev, 3).Top, Row3.Top + Detail->Height() - 1);
    EXPECT_EQ(T()->RecNo(), 2);
    Ui().Click(G(), TPoint(Row2.Left + 5, (Row2.Top + Row2.Top + H) / 2));
    Idle();
    EXPECT_FALSE(F->BDetalle->Checked());
    EXPECT_FALSE(Detail->Visible());
    EXPECT_EQ(G()->RowHeights(2), H);
    EXPECT_EQ(G()->CellRect(Abrev, 3).Top, Row3.Top);
    EXPECT_TRUE(G()->Focused());
}

// A click on the glyph of another row moves there and opens that record's
// detail under the row clicked; a click beside the glyph only moves.
TEST_F(GridControls, AClickOnAnotherRowsGlyphOpensTheDetailThere) {
    const int Abrev = ColOf("ABREV");
    const int H = G()->DefaultRowHeight();
    struct Case {
        int Dx;
        bool Opens;
    } Cases[] = {{5, true}, {40, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Dx);
        GoTo(1, "ABREV");
        ASSERT_FALSE(F->BDetalle->Checked());
        const TRect Row3 = G()->CellRect(Abrev, 3);
        Ui().Click(G(), TPoint(Row3.Left + C.Dx, (Row3.Top + Row3.Bottom) / 2));
        Idle();
        EXPECT_EQ(T()->RecNo(), 3);
        EXPECT_EQ(G()->Row(), 3);
        EXPECT_EQ(F->BDetalle->Checked(), C.Opens);
        EXPECT_EQ(F->GridAlumnos->Visible(), C.Opens);
        if (C.Opens) {
            EXPECT_EQ(F->GridAlumnos->Top(), Row3.Top + H);
            EXPECT_EQ(G()->RowHeights(3), H + F->GridAlumnos->Height() - 1);
            F->BDetalle->SetChecked(false);
            Idle();
        }
    }
}

// A detail that cannot be placed where it was asked for leaves the master
// as it was: no detail over its rows, the button unchecked.
TEST_F(GridControls, AFailedExpansionLeavesTheMasterAsItWas) {
    GoTo(4, "ABREV");
    const int H = G()->DefaultRowHeight();
    // Row 6 would need two records past the last one.
    F->BDetalle->SetDesiredRow(6);
    EXPECT_THROW(F->BDetalle->SetChecked(true), EwwExpandError);
    Idle();
    EXPECT_FALSE(F->BDetalle->Checked());
    EXPECT_FALSE(F->GridAlumnos->Visible());
    for (int Row = 1; Row < G()->RowCount(); ++Row) EXPECT_EQ(G()->RowHeights(Row), H) << Row;
    EXPECT_EQ(T()->RecNo(), 4);
}

// A dialog's grid freed while the cell control has the focus (a lookup
// dialog closing over the type editor) leaves the hook: Tab still comes back.
TEST_F(GridControls, TabComesBackFromTheEditAfterAnotherGridIsFreed) {
    GoTo(1, "NOMBRE");
    Keys("x");
    ASSERT_TRUE(F->ENombre->Focused());
    auto* Dialog = NewComponent<TwwDBGrid>(F);
    Dialog->SetParent(F);
    Dialog->Free();
    EXPECT_TRUE(F->ENombre->Focused());
    Keys("{Tab}");
    EXPECT_TRUE(G()->Focused());
    EXPECT_EQ(G()->GetColumnFieldName(G()->Col()), "TURNO");
    EXPECT_EQ(Value("NOMBRE"), "x");
}

// A glyph asked to stand in the middle has its centre on the button's.
TEST_F(GridControls, ACentredGlyphStandsInTheMiddle) {
    auto* B = NewComponent<TwwExpandButton>(F);
    B->SetParent(F);
    B->SetButtonAlignment(taCenter);
    for (int Width : {41, 40, 30}) {
        SCOPED_TRACE(Width);
        B->SetBounds(300, 240, Width, 20);
        B->Invalidate();
        Idle();
        int Left = Width, Right = -1;
        for (int Y = 0; Y < B->Height(); ++Y)
            for (int X = 0; X < B->ClientWidth(); ++X) {
                const TPoint P = G()->ScreenToClient(B->ClientToScreen(TPoint(X, Y)));
                if (Px(G(), P.x, P.y) != 0) continue;
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
        ASSERT_GE(Right, Left);
        EXPECT_EQ(Left + Right, 2 * (B->ClientWidth() / 2));
    }
}

// The radio group keeps its item buttons out of the form file but writes
// every other child its form owns, also one placed after the buttons.
TEST_F(GridControls, ARadioGroupWritesItsOwnChildrenButNotItsButtons) {
    auto* RG = NewComponent<TwwRadioGroup>(F);
    static_cast<TControl*>(RG)->SetParent(F);
    RG->Items()->Add("Uno");
    RG->Items()->Add("Dos");
    auto* Inside = NewComponent<TwwDBEdit>(F);
    Inside->SetParent(RG);
    ASSERT_EQ(RG->ControlCount(), 3);
    std::vector<TComponent*> Written;
    static_cast<TComponent*>(RG)->GetChildren([&](TComponent* C) { Written.push_back(C); }, F);
    EXPECT_EQ(Written, std::vector<TComponent*>{Inside});
}

// A cell control that keeps the focus cannot be hidden: the hiding ends in
// the silent abort with the control back where it was, still shown.
TEST_F(GridControls, ACellControlThatKeepsTheFocusStaysWhereItWas) {
    GoTo(2, "NOMBRE");
    Keys("x");
    ASSERT_TRUE(F->ENombre->Focused());
    const TRect Before = F->ENombre->BoundsRect();
    F->ENombre->OnExit = [&](TObject*) { F->ENombre->SetFocus(); };
    EXPECT_THROW(G()->HideCellControl(), EAbort);
    EXPECT_TRUE(F->ENombre->Visible());
    EXPECT_TRUE(F->ENombre->Focused());
    EXPECT_EQ(F->ENombre->BoundsRect(), Before);
    F->ENombre->OnExit = nullptr;
    Keys("{Tab}");
    EXPECT_TRUE(G()->Focused());
    EXPECT_EQ(Value("NOMBRE"), "x");
}

}  // namespace

// The grid paints copies of the expand button into the rows it does not
// stand on, and into its own cell while the button is hidden: the open
// row's copy shows the minus, the others the plus.
TEST_F(GridControls, PaintedCopiesOfAnOpenExpandButtonShowItsRowOpen) {
    GoTo(2, "ABREV");
    const TRect Row2 = G()->CellRect(ColOf("ABREV"), 2);
    Ui().Click(G(), TPoint(Row2.Left + 5, (Row2.Top + Row2.Bottom) / 2));
    Idle();
    ASSERT_TRUE(F->BDetalle->Checked());
    TwwGridDataLink* Link = G()->DataLink();
    const int Active = Link->ActiveRecord();
    const TControlState State = F->BDetalle->ControlState();
    F->BDetalle->SetControlState(State + TControlState{csPaintCopy});
    for (int Row = 1; Row <= 4; ++Row) {
        Link->SetActiveRecord(Row - G()->TitleOffset() - G()->RowOffset());
        EXPECT_EQ(F->BDetalle->GetState(), Row == 2 ? cbChecked : cbUnchecked) << Row;
    }
    F->GridAlumnos->Hide();
    Link->SetActiveRecord(Active);
    EXPECT_EQ(F->BDetalle->GetState(), cbUnchecked) << "the detail hidden";
    F->BDetalle->SetControlState(State);
}
