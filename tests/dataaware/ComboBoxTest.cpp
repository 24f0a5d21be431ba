// The combo box and its drop-down list under synthetic keys and mouse: the
// mapping of shown texts to stored values, the list's contents, size and
// place, the most-recently-used block, the keys and the list search (on a
// clock the test moves), clearing, the clipboard refusals and the mouse hook
// of each open drop-down.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Clock.h"
#include "platform/sys/Clipboard.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/UiDriver.h"

namespace {

class ComboBox : public DataAwareFixture {
protected:
    TManualClock Clock{EncodeDate(2026, 9, 14), 1000};
    std::unique_ptr<TClockScope> ClockScope;
    TUiDriver* Ui = nullptr;
    TForm* Dialog = nullptr;
    TwwDBComboBox* Combo = nullptr;
    TEdit* Other = nullptr;
    int CloseUps = 0;
    bool LastSelect = false;

    void SetUp() override {
        DataAwareFixture::SetUp();
        ClockScope = std::make_unique<TClockScope>(Clock);
        Ui = &InstallUiDriver();
        Dialog = TForm::CreateNew(Application);
        Dialog->SetBounds(100, 100, 400, 300);
        Combo = NewCombo(10, 10);
        Other = NewComponent<TEdit>(Dialog);
        Other->SetParent(Dialog);
        Other->SetBounds(10, 200, 100, 24);
        Dialog->Show();
        Combo->SetFocus();
        Ui->RunUntilIdle();
    }
    void TearDown() override {
        Dialog->Free();
        ClockScope.reset();
        DataAwareFixture::TearDown();
    }
    TwwDBComboBox* NewCombo(int Left, int Top) {
        auto* combo = NewComponent<TwwDBComboBox>(Dialog);
        combo->SetParent(Dialog);
        combo->SetBounds(Left, Top, 150, 24);
        return combo;
    }
    static void SetLines(TwwDBCustomComboBox* C, std::initializer_list<const char*> Lines) {
        C->Items()->Clear();
        for (const char* line : Lines) C->Items()->Add(line);
    }
    void Keys(std::string_view Script) {
        PlayKeys(*Ui, Script);
        Ui->RunUntilIdle();
    }
    std::vector<AnsiString> ListRows() const {
        std::vector<AnsiString> rows;
        TStrings* items = Combo->PopupList()->Items();
        for (int i = 0; i < items->Count(); ++i) rows.push_back(items->Strings(i));
        return rows;
    }
    TRect ListRect() const {
        TRect r;
        GetWindowRect(Combo->PopupList()->Handle(), r);
        return r;
    }
    // The row height of a list whose ItemHeight is 0: its font's "A" plus 2.
    int FontRowHeight() const {
        TCanvas* canvas = Combo->PopupList()->Canvas();
        canvas->Font()->Assign(Combo->PopupList()->Font());
        return canvas->TextHeight("A") + 2;
    }
    using Rows = std::vector<AnsiString>;
};

const std::initializer_list<const char*> Cities = {"Madrid\tMAD", "Bilbao\tBIO", "Sevilla"};

// ---------------------------------------------------------------- mapping

struct TMapCase {
    bool MapList, TwoColumns;
    const char* Display;  // typed or picked
    const char* Stored;   // what the field gets
    const char* Value;    // a stored value
    const char* Shown;    // what it shows as
};

class ComboMapping : public ComboBox, public ::testing::WithParamInterface<TMapCase> {};

TEST_P(ComboMapping, ShownTextsAndStoredValues) {
    const TMapCase& c = GetParam();
    SetLines(Combo, Cities);
    Combo->SetMapList(c.MapList);
    Combo->SetTwoColumnDisplay(c.TwoColumns);
    EXPECT_EQ(Combo->DisplayToValue(c.Display), c.Stored) << c.Display;
    EXPECT_EQ(Combo->ValueToDisplay(c.Value), c.Shown) << c.Value;
}

INSTANTIATE_TEST_SUITE_P(Lines, ComboMapping,
                         ::testing::Values(
                             // Shown texts compare without regard to case, values exactly.
                             TMapCase{true, false, "madrid", "MAD", "BIO", "Bilbao"},
                             TMapCase{true, false, "Bilbao", "BIO", "bio", ""},
                             // An unmatched text stores nothing with MapList alone, itself with two columns.
                             TMapCase{true, false, "Paris", "", "XXX", ""},
                             TMapCase{false, true, "Paris", "Paris", "MAD", "Madrid"},
                             // A line without TAB stores the empty value.
                             TMapCase{true, false, "Sevilla", "", "", "Sevilla"},
                             // Without either flag the text is the value.
                             TMapCase{false, false, "madrid", "madrid", "BIO", "BIO"}));

TEST_F(ComboBox, TheListShowsDisplayPartsWithMapListAndValuesWithout) {
    SetLines(Combo, Cities);
    Combo->SetMapList(true);
    Combo->FillDropDownList();
    EXPECT_EQ(ListRows(), (Rows{"Madrid", "Bilbao", "Sevilla"}));
    Combo->SetMapList(false);
    Combo->FillDropDownList();
    EXPECT_EQ(ListRows(), (Rows{"MAD", "BIO", "Sevilla"}));
}

TEST_F(ComboBox, AMappedFieldShowsItsItemAndStoresThePickedValue) {
    MakeSchool();
    TwwTable* alum = NewWwTable("alum", "N");
    alum->Open();
    auto* source = NewComponent<TwwDataSource>(Form);
    source->SetDataSet(alum);
    SetLines(Combo, {"Lengua\tLEN", "Matem\xE1ticas\tMAT"});
    Combo->SetMapList(true);
    Combo->SetStyle(csDropDownList);
    Combo->SetDataSource(source);
    Combo->SetDataField("ASIG");
    Ui->RunUntilIdle();
    EXPECT_EQ(Combo->Text(), "Matem\xE1ticas");  // luis: MAT
    alum->Next();                                // Ana: LEN
    EXPECT_EQ(Combo->Text(), "Lengua");
    alum->Next();  // Pedro: XXX, which no item holds
    EXPECT_EQ(Combo->Text(), "");
    Combo->SetFocus();
    Keys("{F4}{Down}{Enter}");
    EXPECT_EQ(Combo->Text(), "Lengua");
    Keys("{Tab}");
    EXPECT_EQ(alum->FieldByName("ASIG")->AsString(), "LEN");
}

// ---------------------------------------------------------------- size and place

struct TSizeCase {
    int Items, DropDownCount, ItemHeight, DropDownWidth, Column1Width;
    int Rows;   // rows the list shows
    int Width;  // 0: the control's width
};

class ComboListSize : public ComboBox, public ::testing::WithParamInterface<TSizeCase> {};

TEST_P(ComboListSize, HeightByRowsAndWidthByTheSettings) {
    const TSizeCase& c = GetParam();
    for (int i = 0; i < c.Items; ++i) Combo->Items()->Add("item " + std::to_string(i));
    // Owner-drawn, so that the list's rows are the height the combo gives them.
    Combo->SetStyle(csOwnerDrawFixed);
    Combo->SetDropDownCount(c.DropDownCount);
    Combo->SetItemHeight(c.ItemHeight);
    Combo->SetDropDownWidth(c.DropDownWidth);
    Combo->SetColumn1Width(c.Column1Width);
    Keys("{F4}");
    ASSERT_TRUE(Combo->ListShowing());
    const int row = c.ItemHeight ? c.ItemHeight : FontRowHeight();
    EXPECT_EQ(Combo->PopupList()->ItemHeight(), row);
    // Asked rows x row + 4 high, the list keeps whole rows inside its
    // one-pixel border (IntegralHeight): 2 pixels less, but for an empty list.
    EXPECT_EQ(ListRect().Height(), c.Rows > 0 ? c.Rows * row + 4 - 2 : 4);
    EXPECT_EQ(ListRect().Width(), c.Width ? c.Width : Combo->Width());
}

INSTANTIATE_TEST_SUITE_P(Settings, ComboListSize,
                         ::testing::Values(TSizeCase{3, 8, 0, 0, 0, 3, 0}, TSizeCase{20, 8, 0, 0, 0, 8, 0},
                                           TSizeCase{20, 5, 13, 0, 0, 5, 0},
                                           TSizeCase{2, 8, 0, 0, 101, 2, 151},
                                           TSizeCase{2, 8, 0, 220, 101, 2, 220},
                                           TSizeCase{0, 8, 0, 0, 0, 0, 0}));

TEST_F(ComboBox, TheListOpensBelowOrAboveAndKeepsToTheScreen) {
    SetLines(Combo, Cities);
    TRect work;
    GetWorkArea(work);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    struct TPlace {
        int FormLeft, FormTop;
        bool Above, RightAligned;
    };
    for (const TPlace& p : {TPlace{100, 100, false, false}, TPlace{100, work.Height() - 60, true, false},
                            TPlace{screenWidth - 180, 100, false, true}}) {
        Dialog->SetBounds(p.FormLeft, p.FormTop, 400, 300);
        Combo->SetDropDownWidth(200);
        Ui->RunUntilIdle();
        Keys("{F4}");
        TRect frame;
        GetWindowRect(Combo->Handle(), frame);
        const TRect list = ListRect();
        const int h = 3 * FontRowHeight() + 4;
        EXPECT_EQ(list.Top, p.Above ? frame.Top - h : frame.Top + Combo->Height() - 1) << p.FormTop;
        EXPECT_EQ(list.Left, p.RightAligned ? frame.Left + Combo->Width() - 1 - 200 : frame.Left)
            << p.FormLeft;
        Keys("{Esc}");
    }
}

// ---------------------------------------------------------------- most recent

TEST_F(ComboBox, TheNewestHistoryEntriesLeadTheListAndSearchesReachThemLast) {
    SetLines(Combo, {"b", "x"});
    TwwHistoryList* history = Combo->HistoryList();
    history->SetEnabled(true);
    history->SetMRUEnabled(true);
    history->SetMRUMaxSize(2);
    for (const char* entry : {"a", "b", "c"}) history->Entries()->Add(entry);
    Keys("{F4}");
    EXPECT_EQ(Combo->MRUCount(), 2);
    // The body keeps the items with the history appended (b is held already).
    EXPECT_EQ(ListRows(), (Rows{"c", "b", "b", "x", "a", "c"}));
    EXPECT_EQ(Combo->PopupList()->Style(), lbOwnerDrawFixed);
    // Typed search begins at the first body row: "c" finds the body's c.
    Combo->SetText("");
    Keys("c");
    EXPECT_EQ(Combo->PopupList()->ItemIndex(), 5);
    // Removing a text takes its most-recent copy and its body row, not Items.
    Combo->RemoveHistoryItem("c", true);
    EXPECT_EQ(ListRows(), (Rows{"b", "b", "x", "a"}));
    EXPECT_EQ(Combo->Items()->Count(), 2);
}

TEST_F(ComboBox, AddingToTheHistoryMovesAnEntryToTheEndUnlessTheEventRefuses) {
    TwwHistoryList* history = Combo->HistoryList();
    history->SetEnabled(true);
    for (const char* entry : {"uno", "dos"}) history->Entries()->Add(entry);
    Combo->AddHistoryItem("UNO \t", true);
    EXPECT_EQ(history->Entries()->Count(), 2);
    EXPECT_EQ(history->Entries()->Strings(1), "UNO");
    static AnsiString asked;
    Combo->OnAddHistoryItem = [](TwwDBCustomComboBox*, const AnsiString& Value, bool& Accept) {
        asked = Value;
        Accept = false;
    };
    Combo->AddHistoryItem("tres", true);
    EXPECT_EQ(asked, "tres");
    EXPECT_EQ(history->Entries()->Count(), 2);
    Combo->AddHistoryItem("  ", true);  // blanks only: nothing
    EXPECT_EQ(history->Entries()->Count(), 2);
}

// ---------------------------------------------------------------- keys

TEST_F(ComboBox, UpAndDownStepTheItemsWhileClosed) {
    SetLines(Combo, {"Bilbao", "Barcelona", "Madrid"});
    struct TStep {
        const char* Keys;
        const char* Text;
    };
    for (const TStep& s : {TStep{"{Down}", "Bilbao"}, TStep{"{Down}{Down}", "Madrid"},
                           TStep{"{Down}", "Madrid"}, TStep{"{Up}{Up}", "Bilbao"}, TStep{"{Up}", "Bilbao"}}) {
        Keys(s.Keys);
        EXPECT_EQ(Combo->Text(), s.Text) << s.Keys;
        EXPECT_FALSE(Combo->ListShowing());
    }
}

TEST_F(ComboBox, OpeningAndClosingKeys) {
    SetLines(Combo, {"Bilbao", "Barcelona", "Madrid"});
    Combo->OnCloseUp = [this](TwwDBComboBox*, bool Select) {
        ++CloseUps;
        LastSelect = Select;
    };
    struct TStep {
        const char* Keys;
        bool Showing;
        const char* Text;
    };
    // The keys that move in the open list copy its row into the edit; Escape
    // discards that, and the text is again what it was when the list opened.
    for (const TStep& s :
         {TStep{"{F4}", true, ""}, TStep{"{Down}{Down}", true, "Barcelona"}, TStep{"{Esc}", false, ""},
          TStep{"{A+Down}", true, ""}, TStep{"{Down}{Down}{Down}{A+Up}", false, "Madrid"},
          TStep{"{F4}{Up}{Enter}", false, "Barcelona"}}) {
        Keys(s.Keys);
        EXPECT_EQ(Combo->ListShowing(), s.Showing) << s.Keys;
        EXPECT_EQ(Combo->Text(), s.Text) << s.Keys;
    }
    EXPECT_EQ(CloseUps, 3);
    EXPECT_TRUE(LastSelect);
    // Tab closes the list taking its item, and the focus moves on.
    Keys("{F4}{Up}{Tab}");
    EXPECT_FALSE(Combo->ListShowing());
    EXPECT_EQ(Combo->Text(), "Bilbao");
    EXPECT_TRUE(Other->Focused());
}

TEST_F(ComboBox, EnterAndEscapeThatCloseTheListNeverReachTheForm) {
    SetLines(Combo, {"Bilbao", "Madrid"});
    auto* ok = NewComponent<TButton>(Dialog);
    ok->SetParent(Dialog);
    ok->SetBounds(200, 200, 60, 24);
    ok->SetDefault(true);
    auto* cancel = NewComponent<TButton>(Dialog);
    cancel->SetParent(Dialog);
    cancel->SetBounds(270, 200, 60, 24);
    cancel->SetCancel(true);
    ok->OnClick = [this](TObject*) { ++CloseUps; };
    cancel->OnClick = [this](TObject*) { ++CloseUps; };
    // Escape puts back only what its own list's keys moved: Enter's pick stays.
    Keys("{F4}{Down}{Enter}{F4}{Down}{Esc}");
    EXPECT_EQ(CloseUps, 0);
    EXPECT_EQ(Combo->Text(), "Bilbao");
    // With the list closed the form has them.
    Keys("{Enter}");
    EXPECT_EQ(CloseUps, 1);
}

TEST_F(ComboBox, AClickInTheListTakesItsRow) {
    SetLines(Combo, {"Bilbao", "Barcelona", "Madrid"});
    Keys("{F4}");
    TRect row = Combo->PopupList()->ItemRect(2);
    Ui->Click(Combo->PopupList(), TPoint(row.Left + 5, row.Top + 2));
    Ui->RunUntilIdle();
    EXPECT_FALSE(Combo->ListShowing());
    EXPECT_EQ(Combo->Text(), "Madrid");
}

TEST_F(ComboBox, FirstLetterSearchStartsAfterTheChosenItemAndWraps) {
    SetLines(Combo, {"Bilbao", "Barcelona", "Madrid"});
    Combo->SetStyle(csDropDownList);
    Combo->SetItemIndex(0);
    for (const char* expected : {"Barcelona", "Bilbao", "Barcelona"}) {
        Keys("b");
        EXPECT_EQ(Combo->Text(), expected);
    }
    Keys("m");
    EXPECT_EQ(Combo->Text(), "Madrid");
    Keys("z");  // no item: nothing changes
    EXPECT_EQ(Combo->Text(), "Madrid");
}

TEST_F(ComboBox, MatchTextCompletesAndBackspaceStepsBack) {
    SetLines(Combo, {"Bilbao", "Madrid", "Sevilla"});
    Combo->SetStyle(csDropDownList);
    Combo->SetShowMatchText(true);
    Keys("ma");
    EXPECT_EQ(Combo->Text(), "Madrid");
    EXPECT_EQ(Combo->SelStart(), 2);
    EXPECT_EQ(Combo->SelLength(), 4);
    Keys("{Back}");
    EXPECT_EQ(Combo->Text(), "Madrid");
    EXPECT_EQ(Combo->SelStart(), 1);
    EXPECT_EQ(Combo->SelLength(), 5);
    Keys("x");  // completes to no item: dropped
    EXPECT_EQ(Combo->Text(), "Madrid");
    EXPECT_EQ(Combo->SelStart(), 1);
}

TEST_F(ComboBox, AutoDropDownOpensOnTheFirstLetterOnly) {
    SetLines(Combo, {"Bilbao", "Madrid"});
    Combo->SetAutoDropDown(true);
    Keys("{Back}{Del}");
    EXPECT_FALSE(Combo->ListShowing());
    Keys("m");
    EXPECT_TRUE(Combo->ListShowing());
    EXPECT_EQ(Combo->PopupList()->ItemIndex(), 1);
    EXPECT_EQ(Combo->Text(), "m");
}

TEST_F(ComboBox, TheLetterSIsSearchedAndNeverTakenForF4) {
    SetLines(Combo, {"Bilbao", "Sevilla"});
    Keys("{F4}s");
    EXPECT_TRUE(Combo->ListShowing());
    EXPECT_EQ(Combo->PopupList()->ItemIndex(), 1);
}

TEST_F(ComboBox, AmpersandAndParenthesisReachTheListSearch) {
    SetLines(Combo, {"(ninguno)", "&otros", "Bilbao"});
    Keys("{F4}(");
    EXPECT_TRUE(Combo->ListShowing());
    EXPECT_EQ(Combo->PopupList()->ItemIndex(), 0);
    EXPECT_EQ(Combo->Text(), "(");
    Combo->SetText("");
    Keys("&");
    EXPECT_EQ(Combo->PopupList()->ItemIndex(), 1);
}

TEST_F(ComboBox, AnOwnerDrawnListSearchesWhatIsTypedWithinThePause) {
    SetLines(Combo, {"Ana", "Anabel", "Andr\xE9s", "Beatriz"});
    Combo->SetStyle(csOwnerDrawFixed);
    Keys("{F4}");
    struct TStep {
        const char* Key;
        uint32_t PauseBefore;
        const char* Search;
        int Index;
    };
    for (const TStep& s : {TStep{"a", 0, "a", 0}, TStep{"n", 1500, "an", 0}, TStep{"d", 10, "and", 2},
                           TStep{"b", 1501, "b", 3}, TStep{"e", 0, "be", 3}, TStep{"a", 1501, "a", 0}}) {
        Clock.Advance(s.PauseBefore);
        Keys(s.Key);
        EXPECT_EQ(Combo->PopupList()->SearchText(), s.Search) << s.Key << " after " << s.PauseBefore;
        EXPECT_EQ(Combo->PopupList()->ItemIndex(), s.Index) << s.Key;
    }
    Keys("{Esc}");
    EXPECT_EQ(Combo->PopupList()->SearchText(), "");
}

TEST_F(ComboBox, AllowClearKeyEmptiesAListOnlyCombo) {
    SetLines(Combo, {"Bilbao", "Madrid"});
    Combo->SetStyle(csDropDownList);
    Combo->SetItemIndex(1);
    Keys("{Del}");
    EXPECT_EQ(Combo->Text(), "Madrid");
    Combo->SetAllowClearKey(true);
    Keys("{Del}");
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_TRUE(Combo->Modified());
}

TEST_F(ComboBox, AListOnlyComboRefusesTheClipboard) {
    SetLines(Combo, {"Bilbao", "Madrid"});
    Combo->SetStyle(csDropDownList);
    Combo->SetShowMatchText(true);
    Combo->SetReadOnly(false);
    ClipboardSetText("Bilbao");
    struct TCase {
        UINT Msg;
        bool AllowClear;
        LRESULT Result;
        const char* Text;
    };
    for (const TCase& c : {TCase{WM_CUT, false, 1, "Madrid"}, TCase{WM_CLEAR, false, 1, "Madrid"},
                           TCase{WM_PASTE, false, 0, "Madrid"}, TCase{WM_PASTE, true, 0, "Madrid"},
                           TCase{WM_CLEAR, true, 0, ""}}) {
        Combo->SetAllowClearKey(c.AllowClear);
        Combo->SetItemIndex(1);
        Combo->SelectAll();
        EXPECT_EQ(Combo->Perform(c.Msg, 0, 0), c.Result) << c.Msg;
        EXPECT_EQ(Combo->Text(), c.Text) << c.Msg << " " << c.AllowClear;
    }
}

// ---------------------------------------------------------------- mouse hook

TEST_F(ComboBox, EachOpenDropDownKeepsItsOwnMouseHook) {
    SetLines(Combo, {"Bilbao", "Madrid"});
    TwwDBComboBox* second = NewCombo(200, 10);
    Keys("{F4}{Down}");
    ASSERT_TRUE(Combo->ListShowing());
    EXPECT_NE(Combo->MouseHook(), nullptr);
    // Another combo closing its (closed) list and going away leaves this hook alone.
    second->CloseUp(true);
    second->Free();
    EXPECT_NE(Combo->MouseHook(), nullptr);
    // A press inside the list keeps it open; one outside closes it, taking its item.
    Ui->Click(Other->ClientToScreen(TPoint(3, 3)));
    Ui->RunUntilIdle();
    EXPECT_FALSE(Combo->ListShowing());
    EXPECT_EQ(Combo->MouseHook(), nullptr);
    EXPECT_EQ(Combo->Text(), "Bilbao");
}

TEST_F(ComboBox, SimpleStyleHasNoButtonAndNoList) {
    SetLines(Combo, {"Bilbao"});
    Combo->SetStyle(csSimple);
    EXPECT_FALSE(Combo->GetShowButton());
    Keys("{F4}");
    EXPECT_FALSE(Combo->ListShowing());
    Combo->SetStyle(csDropDown);
    EXPECT_TRUE(Combo->GetShowButton());
    Combo->OnDropDown = [this](TObject*) { ++CloseUps; };
    Combo->SetDisableDropDownList(true);
    Keys("{F4}");
    EXPECT_EQ(CloseUps, 1);  // counts the openings here
    EXPECT_FALSE(Combo->ListShowing());
}

}  // namespace
