// A date column of the grid is edited through the grid's own date-time
// editor: made once on the first date cell, bound to the column, read-only on
// a read-only column, and left out with ecoDisableDateTimePicker.
#include <gtest/gtest.h>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Regional.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

class GridDatePicker : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("fechas", {{"NOMBRE", ftString, 10}, {"FECHA", ftDate}});
        AddRows("fechas", {{{"NOMBRE", "Ana"}, {"FECHA", "02/01/2024"}},
                           {{"NOMBRE", "Luis"}, {"FECHA", "15/03/2024"}},
                           {{"NOMBRE", "Eva"}, {"FECHA", "28/02/2024"}}});
        Fm = NewPlainForm("GridDateForm", 400, 200);
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("fechas");
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
        G = NewComponent<TwwDBGrid>(Fm);
        G->SetParent(Fm);
        G->SetBounds(0, 0, 400, 200);
        G->SetUseTFields(false);
        G->Selected()->SetText("NOMBRE\t10\tNombre\tF\nFECHA\t12\tFecha\tF\n");
        G->SetDataSource(S);
        G->OnCreateDateTimePicker = [this](TObject* Sender, TWinControl* Picker) {
            ++Made;
            EXPECT_EQ(Sender, G);
            EXPECT_EQ(Picker->Owner(), G);
        };
    }
    void Open() {
        T->Open();
        ShowWithGrid(Fm, G);
    }
    TwwDBDateTimePicker* Picker() const { return dynamic_cast<TwwDBDateTimePicker*>(G->DateTimePicker()); }

    TFormatSettingsScope Spanish{TFormatSettings()};
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;
    TwwDBGrid* G = nullptr;
    int Made = 0;
};

}  // namespace

TEST_F(GridDatePicker, TheDateColumnIsEditedThroughThePicker) {
    Open();
    const int col = GridColOf(G, "FECHA");
    EXPECT_TRUE(G->CellUsesControl(col, 1));
    EXPECT_FALSE(G->CellUsesControl(GridColOf(G, "NOMBRE"), 1));
    EXPECT_EQ(Picker(), nullptr);  // made on the first date cell
    ClickCell(G, col, 1);
    ASSERT_NE(Picker(), nullptr);
    EXPECT_EQ(Made, 1);
    EXPECT_EQ(Picker()->Parent(), G);
    EXPECT_EQ(Picker()->DataField(), "FECHA");
    EXPECT_FALSE(Picker()->ReadOnly());
    EXPECT_TRUE(Picker()->Visible());
    EXPECT_EQ(Picker()->BoundsRect(), CellOf(G, col, 1));
    EXPECT_EQ(Picker()->Text(), "02/01/2024");
    // The grid's keys reach the editor once it has the focus.
    Picker()->SetFocus();
    Idle();
    Keys("15");
    EXPECT_EQ(Picker()->Text(), "15/01/2024");
    T->Post();
    EXPECT_EQ(T->FieldByName("FECHA")->AsDateTime(), EncodeDate(2024, 1, 15));
    // With the whole text selected, Down goes back to the grid: the next record.
    Picker()->SelectAll();
    Keys("{Down}");
    EXPECT_EQ(T->FieldByName("NOMBRE")->AsString(), "Luis");
    // The next record's date cell reuses the one editor.
    ClickCell(G, GridColOf(G, "NOMBRE"), 2);
    ClickCell(G, col, 2);
    EXPECT_EQ(Made, 1);
    EXPECT_EQ(Picker()->Text(), "15/03/2024");
}

TEST_F(GridDatePicker, AReadOnlyColumnMakesThePickerReadOnly) {
    G->Selected()->SetText("NOMBRE\t10\tNombre\tF\nFECHA\t12\tFecha\tT\n");
    Open();
    ClickCell(G, GridColOf(G, "FECHA"), 1);
    ASSERT_NE(Picker(), nullptr);
    EXPECT_TRUE(Picker()->ReadOnly());
    Picker()->SetFocus();
    Idle();
    Keys("{Up}5");
    EXPECT_EQ(T->FieldByName("FECHA")->AsDateTime(), EncodeDate(2024, 1, 2));
    EXPECT_EQ(T->State(), dsBrowse);
}

TEST_F(GridDatePicker, WithoutThePickerTheColumnIsEditedInPlace) {
    G->SetEditControlOptions(G->EditControlOptions().Include(ecoDisableDateTimePicker));
    Open();
    const int col = GridColOf(G, "FECHA");
    EXPECT_FALSE(G->CellUsesControl(col, 1));
    ClickCell(G, col, 1);
    Keys("03/04/2024{Enter}");
    EXPECT_EQ(Picker(), nullptr);
    EXPECT_EQ(Made, 0);
    EXPECT_EQ(T->FieldByName("FECHA")->AsDateTime(), EncodeDate(2024, 4, 3));
}

TEST_F(GridDatePicker, TheOtherRowsShowTheirDates) {
    Open();
    const int col = GridColOf(G, "FECHA");
    ClickCell(G, col, 1);
    // The rows without the editor paint their own dates: ink in the cell, left of its middle.
    for (int row : {2, 3}) {
        const TRect cell = CellOf(G, col, row);
        int ink = 0;
        for (int y = cell.Top + 2; y < cell.Bottom - 2; ++y)
            for (int x = cell.Left + 2; x < (cell.Left + cell.Right) / 2; ++x)
                ink += Px(G, x, y) != Px(G, cell.Right - 3, cell.Top + 2);
        EXPECT_GT(ink, 20) << row;
    }
}

TEST_F(GridDatePicker, KeysGoBackToTheGridAndItsOnKeyDown) {
    std::vector<WORD> heard;
    G->OnKeyDown = [&](TObject* Sender, WORD& Key, TShiftState) {
        EXPECT_EQ(Sender, G);
        heard.push_back(Key);
    };
    Open();
    ClickCell(G, GridColOf(G, "FECHA"), 1);
    Picker()->SetFocus();
    Idle();
    Keys("2");
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), '2');
    // Page Down belongs to the grid: the next record, the grid focused.
    Keys("{Esc}{PgDn}");
    EXPECT_TRUE(G->Focused());
    EXPECT_NE(T->FieldByName("NOMBRE")->AsString(), "Ana");
}

// Tab in the editor belongs to the grid when the grid takes Tab (dgTabs):
// the grid gets the focus and moves to its next cell. Without it Tab leaves
// the grid for the form's next control.
TEST_F(GridDatePicker, TabGoesToTheGridOnlyWhenTheGridTakesTabs) {
    auto* After = NewComponent<TEdit>(Fm);
    After->SetParent(Fm);
    After->SetBounds(0, 205, 100, 20);
    G->SetHeight(180);
    for (bool Tabs : {true, false}) {
        G->SetOptions(Tabs ? G->Options() + TwwDBGridOptions{dgTabs}
                           : G->Options() - TwwDBGridOptions{dgTabs});
        if (!T->Active()) Open();
        ClickCell(G, GridColOf(G, "NOMBRE"), 1);
        ClickCell(G, GridColOf(G, "FECHA"), 1);
        ASSERT_NE(Picker(), nullptr);
        Picker()->SetFocus();
        Idle();
        Keys("{Tab}");
        EXPECT_FALSE(Picker()->Focused()) << Tabs;
        EXPECT_EQ(G->Focused(), Tabs) << Tabs;
        EXPECT_EQ(After->Focused(), !Tabs) << Tabs;
        if (Tabs) {
            EXPECT_NE(G->Col(), GridColOf(G, "FECHA"));
        }
    }
}

// F2 in the cell's editor selects its first part. With dgAlwaysShowEditor,
// Home over the whole text goes to the grid; over one part it stays in the
// editor and takes the part to its first value.
TEST_F(GridDatePicker, F2AndHomeInTheCell) {
    G->SetOptions(G->Options() + TwwDBGridOptions{dgAlwaysShowEditor});
    Open();
    ClickCell(G, GridColOf(G, "FECHA"), 1);
    ASSERT_NE(Picker(), nullptr);
    Picker()->SetFocus();
    Idle();
    auto F2 = [this] {
        Ui().Key(VK_F2);
        Idle();
    };
    F2();
    EXPECT_EQ(Picker()->SelLength(), 2);
    Keys("{Right}{Right}");
    EXPECT_EQ(Picker()->CurrentPart(), 3);
    F2();
    EXPECT_EQ(Picker()->CurrentPart(), 1);
    Keys("{Right}{End}");
    EXPECT_TRUE(Picker()->Focused());
    EXPECT_EQ(Picker()->Text(), "02/12/2024");
    Keys("{Left}{End}{Home}");
    EXPECT_EQ(Picker()->Text(), "01/12/2024");
    Picker()->SelectAll();
    Keys("{Home}");
    EXPECT_FALSE(Picker()->Focused());
    EXPECT_EQ(G->Col(), GridColOf(G, "NOMBRE"));
}
