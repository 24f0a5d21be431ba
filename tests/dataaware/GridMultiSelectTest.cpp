// The grid's multi-selection over a table of ten numbered records, driven by
// synthetic clicks with Shift and Ctrl and by Space: the ranges and their
// anchor, the handlers that refuse, the rows painted as selected, and the
// selection forgotten with the data set's cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwmultiselect.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Strings.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

class GridMultiSelect : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("sel", {{"N", ftInteger}, {"NOMBRE", ftString, 10}});
        std::vector<std::vector<std::pair<const char*, AnsiString>>> Rows;
        for (int I = 1; I <= 10; ++I)
            Rows.push_back({{"N", IntToStr(I)}, {"NOMBRE", "Alumno " + IntToStr(I)}});
        AddRows("sel", Rows);
        Fm = NewPlainForm("SelectForm", 400, 300);
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("sel");
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
        G = NewComponent<TwwDBGrid>(Fm);
        G->SetParent(Fm);
        G->SetBounds(0, 0, 400, 300);
        G->SetUseTFields(false);
        G->Selected()->SetText("N\t4\tN\tF\nNOMBRE\t12\tNombre\tF\n");
        G->SetOptions(G->Options() + TwwDBGridOptions{dgMultiSelect});
        G->SetMultiSelectOptions({msoAutoUnselect, msoShiftSelect});
        G->SetDataSource(S);
        T->Open();
        ShowWithGrid(Fm, G);
    }
    // A press on record N's name cell, with Shift or Ctrl held as asked.
    void Press(int N, TShiftState Shift = {}) {
        if (Shift.Contains(ssShift)) Ui().KeyDown(VK_SHIFT);
        if (Shift.Contains(ssCtrl)) Ui().KeyDown(VK_CONTROL);
        ClickCell(G, 2, N);
        if (Shift.Contains(ssCtrl)) Ui().KeyUp(VK_CONTROL);
        if (Shift.Contains(ssShift)) Ui().KeyUp(VK_SHIFT);
        Idle();
    }
    // The numbers of the selected records, in data-set order.
    std::vector<int> SelectedNumbers() {
        std::vector<int> Numbers;
        const TBookmark Here = T->GetBookmark();
        for (const TBookmark& B : G->SelectedList()) {
            T->GotoBookmark(B);
            Numbers.push_back(T->FieldByName("N")->AsInteger());
        }
        T->GotoBookmark(Here);
        std::sort(Numbers.begin(), Numbers.end());
        return Numbers;
    }
    int AnchorNumber() {
        if (!G->Selection().AnchorValid) return 0;
        const TBookmark Here = T->GetBookmark();
        T->GotoBookmark(G->Selection().Anchor);
        const int N = T->FieldByName("N")->AsInteger();
        T->GotoBookmark(Here);
        return N;
    }
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;
    TwwDBGrid* G = nullptr;
};

// A plain press selects one record and anchors there; Shift presses select
// the range to the anchor and move it: 3, Shift 7, Shift 5 leave 3 to 7
// selected with 5 as the anchor; Ctrl adds and removes one record.
TEST_F(GridMultiSelect, ShiftPressesSelectRangesFromTheAnchor) {
    Press(3);
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{3}));
    EXPECT_EQ(AnchorNumber(), 3);
    Press(7, {ssShift});
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{3, 4, 5, 6, 7}));
    EXPECT_EQ(AnchorNumber(), 7);
    Press(5, {ssShift});
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{3, 4, 5, 6, 7}));
    EXPECT_EQ(AnchorNumber(), 5);
    EXPECT_EQ(T->FieldByName("N")->AsInteger(), 5);
    Press(9, {ssCtrl});
    Press(4, {ssCtrl});
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{3, 5, 6, 7, 9}));
    Press(2);
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{2}));

    // Shift select alone: a plain press sets no anchor, a Ctrl press does.
    G->SetMultiSelectOptions({msoShiftSelect});
    G->UnselectAll();
    T->Close();
    T->Open();
    Press(4);
    EXPECT_EQ(AnchorNumber(), 0);
    Press(6, {ssCtrl});
    EXPECT_EQ(AnchorNumber(), 6);
}

// OnMultiSelectRecord refuses one record; OnMultiSelectAllRecords refuses
// to drop the selection; a range whose removals are all refused still ends.
TEST_F(GridMultiSelect, HandlersCanRefuse) {
    G->OnMultiSelectRecord = [&](TwwDBGrid*, bool Selecting, bool& Accept) {
        if (Selecting && T->FieldByName("N")->AsInteger() == 4) Accept = false;
    };
    Press(2);
    Press(4, {ssCtrl});
    Press(6, {ssCtrl});
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{2, 6}));
    G->OnMultiSelectAllRecords = [](TwwDBGrid*, bool Selecting, bool& Accept) { Accept = Selecting; };
    Press(8);
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{2, 6, 8}));
    G->OnMultiSelectRecord = [](TwwDBGrid*, bool Selecting, bool& Accept) { Accept = Selecting; };
    Press(5, {ssShift});
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{2, 5, 6, 7, 8}));
}

// Selected rows are painted in the highlight colour with the selection's
// indicator images; the others in the grid's colour. Closing and opening
// the data set forgets the selection.
TEST_F(GridMultiSelect, SelectedRowsArePaintedAndForgottenWithTheCursor) {
    Press(2);
    Press(4, {ssCtrl});
    Press(6, {ssCtrl});
    Idle();
    auto Background = [&](int Row) {
        const TRect R = CellOf(G, 2, Row);
        return Px(G, R.Right - 3, (R.Top + R.Bottom) / 2);
    };
    // The dark pixels of the indicator cell against those of an image.
    auto IndicatorInk = [&](int Row) {
        const TRect R = CellOf(G, 0, Row);
        int Dark = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) Dark += Px(G, X, Y) == 0 ? 1 : 0;
        return Dark;
    };
    auto ImageInk = [](int Index) {
        TBitmap B;
        GridIndicatorImages()->GetBitmap(Index, &B);
        int Dark = 0;
        for (int Y = 0; Y < B.Height(); ++Y)
            for (int X = 0; X < B.Width(); ++X) Dark += (B.Canvas()->Pixels(X, Y) & 0xFFFFFF) == 0 ? 1 : 0;
        return Dark;
    };
    for (int Row : {2, 4, 6}) EXPECT_EQ(Background(Row), RgbOf(clHighlight)) << Row;
    for (int Row : {1, 3, 5}) EXPECT_EQ(Background(Row), RgbOf(G->Color())) << Row;
    EXPECT_EQ(IndicatorInk(4), ImageInk(3));
    EXPECT_EQ(IndicatorInk(6), ImageInk(4));
    EXPECT_EQ(IndicatorInk(3), 0);

    T->Close();
    T->Open();
    Idle();
    EXPECT_TRUE(G->SelectedList().empty());
    EXPECT_FALSE(G->Selection().AnchorValid);
    EXPECT_EQ(Background(2), RgbOf(G->Color()));
}

// Space toggles the current record's selection with row select, and
// selects nothing without it.
TEST_F(GridMultiSelect, SpaceTogglesOnlyWithRowSelect) {
    G->SetOptions(G->Options() - TwwDBGridOptions{dgEditing});
    Keys("{Down} ");
    EXPECT_TRUE(G->SelectedList().empty());
    G->SetOptions(G->Options() + TwwDBGridOptions{dgRowSelect});
    Idle();
    Keys(" {Down}{Down} ");
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{2, 4}));
    Keys(" ");
    EXPECT_EQ(SelectedNumbers(), (std::vector<int>{2}));
}

}  // namespace
