// The lookup combo with its own drop-down grid, under synthetic keys and
// mouse on a clock the test moves: where the list opens and how tall it is,
// what a click outside, a click in the list and Escape do to the value, the
// typing search with its pause and the completion of the text, the writes of
// a linked lookup field, and the value operations over a school-size table.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdblook.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Surface.h"
#include "platform/ui/Timers.h"
#include "platform/win/WindowManager.h"

namespace {

// The combo with the drop-down grid of its base (the published combo
// replaces it by a dialog).
class TTestLookupCombo : public TwwDBCustomLookupCombo {
public:
    using TwwDBCustomLookupCombo::TwwDBCustomLookupCombo;
};

const std::vector<std::pair<const char*, const char*>> Subjects = {{"MAT", "Matem\xE1ticas"},
                                                                   {"LEN", "Lengua"},
                                                                   {"HIS", "Historia"},
                                                                   {"FIS", "F\xEDsica"},
                                                                   {"ING", "Ingl\xE9s"},
                                                                   {"BIO", "Biolog\xED"
                                                                           "a"}};

class LookupCombo : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        MakeSubjects("asg", Subjects.size());
        CreateTable("pick", {{"ID", ftFloat}, {"ASIG", ftString, 5}, {"NOTA", ftString, 10}});
        AddRows("pick", {{{"ID", "1"}, {"ASIG", "HIS"}}, {{"ID", "2"}, {"ASIG", ""}}});
        Dialog = TForm::CreateNew(Application);
        Dialog->SetBounds(100, 100, 400, 300);
        Other = NewComponent<TEdit>(Dialog);
        Other->SetParent(Dialog);
        Other->SetBounds(10, 200, 100, 24);
        Lookup = NewWwTable("asg", "CODE");
        Lookup->Open();
        Pick = NewWwTable("pick");
        PickSource = NewComponent<TwwDataSource>(Dialog);
        PickSource->SetDataSet(Pick);
    }
    void TearDown() override {
        if (Dialog) Dialog->Free();
        GridFixture::TearDown();
    }
    // The subjects: CODE, NAME; a text tag on CODE, a case-insensitive tag on
    // NAME and a descending one on NAME. Rows past the named subjects are
    // "S0007", "Subject 0007" and so on.
    void MakeSubjects(const AnsiString& Name, size_t Count) {
        CreateTable(
            Name, {{"CODE", ftString, 5}, {"NAME", ftString, 20}},
            {{"CODE", "CODE"}, {"NAMEI", "NAME", {ixCaseInsensitive}}, {"NAMED", "NAME", {ixDescending}}});
        std::vector<std::vector<std::pair<const char*, AnsiString>>> rows;
        for (size_t i = 0; i < Count; ++i) {
            if (i < Subjects.size()) {
                rows.push_back({{"CODE", Subjects[i].first}, {"NAME", Subjects[i].second}});
                continue;
            }
            const AnsiString number = AnsiString(4 - std::to_string(i).size(), '0') + std::to_string(i);
            rows.push_back({{"CODE", "S" + number}, {"NAME", "Subject " + number}});
        }
        AddRows(Name, rows);
    }
    // A combo on the dialog over pick.ASIG, showing the subject's name.
    TTestLookupCombo* NewCombo(int Left, int Top, int Width = 150) {
        auto* combo = NewComponent<TTestLookupCombo>(Dialog);
        combo->SetParent(Dialog);
        combo->SetBounds(Left, Top, Width, 24);
        combo->Selected()->Add("NAME\t20\tNombre");
        combo->SetLookupTable(Lookup);
        combo->SetLookupField("CODE");
        combo->SetUseTFields(false);
        return combo;
    }
    void ShowBound(TTestLookupCombo* Combo) {
        Pick->Open();
        Combo->SetDataSource(PickSource);
        Combo->SetDataField("ASIG");
        Dialog->Show();
        Combo->SetFocus();
        Idle();
    }
    TRect ListRect(TTestLookupCombo* Combo) {
        TRect r;
        GetWindowRect(Combo->LookupList()->Handle(), r);
        return r;
    }
    // The list's height for a number of rows, without titles or row lines.
    static int ListHeight(TTestLookupCombo* Combo, int Rows) {
        return Rows * Combo->LookupList()->DefaultRowHeight() + 2;
    }
    // pick's own fields as persistent fields, for the lookup and calculated ones beside them.
    void AddPickFields() {
        for (const char* name : {"ID", "ASIG", "NOTA"}) {
            TField* field = name == AnsiString("ID") ? static_cast<TField*>(NewComponent<TFloatField>(Form))
                                                     : static_cast<TField*>(NewComponent<TStringField>(Form));
            field->SetFieldName(name);
            field->SetDataSet(Pick);
        }
    }
    void Wait(uint32_t MSecs) {
        Clock.Advance(MSecs);
        Idle();
    }

    TForm* Dialog = nullptr;
    TEdit* Other = nullptr;
    TwwTable* Lookup = nullptr;
    TwwTable* Pick = nullptr;
    TwwDataSource* PickSource = nullptr;
};

// ---------------------------------------------------------------- placement

struct TPlaceCase {
    const char* Name;
    int RowsInTable;
    int DropDownCount;
    bool FixedHeight;
    int GapBelow;  // room between the combo's bottom and the work area's; -1 (not PastList): the combo at the
                   // top
    bool PastList;  // GapBelow counts from the room the list needs below the combo
    int Rows;       // rows the list shows
    int Where;      // 1 below, -1 above
    bool NarrowSearch;
    bool SyncSQLByRange;
};

class LookupPlacement : public LookupCombo, public ::testing::WithParamInterface<TPlaceCase> {};

TEST_P(LookupPlacement, OpensBelowOrAboveSizedByDropDownCount) {
    const TPlaceCase& c = GetParam();
    if (static_cast<size_t>(c.RowsInTable) != Subjects.size()) {
        Lookup->Close();
        MakeSubjects("asg", static_cast<size_t>(c.RowsInTable));
        Lookup->Open();
    }
    const TRect work = WorkAreaRect();
    if (c.GapBelow >= 0 || c.PastList) Dialog->SetTop(work.Bottom - std::max(c.GapBelow, 0) - 200);
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetDropDownCount(c.DropDownCount);
    if (c.FixedHeight) combo->LookupList()->SetOptions(TwwDBLookupListOptions{loFixedDropDownHeight});
    Lookup->SetNarrowSearch(c.NarrowSearch);
    Lookup->SetSyncSQLByRange(c.SyncSQLByRange);
    ShowBound(combo);
    if (c.GapBelow >= 0 || c.PastList) {
        // Place the combo's bottom that far above the work area's bottom; a
        // list below overlaps the combo's last pixel row.
        const int gap = c.PastList ? ListHeight(combo, c.Rows) - 1 + c.GapBelow : c.GapBelow;
        const TPoint origin = combo->ClientToScreen(TPoint(0, 0));
        Dialog->SetTop(Dialog->Top() + (work.Bottom - gap) - (origin.y + combo->Height()));
        Idle();
    }
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible()) << c.Name;
    const TPoint origin = combo->ClientToScreen(TPoint(0, 0));
    const TRect r = ListRect(combo);
    const int h = ListHeight(combo, c.Rows);
    EXPECT_EQ(r.Height(), h) << c.Name;
    EXPECT_EQ(r.Left, origin.x) << c.Name;
    if (c.Where > 0) EXPECT_EQ(r.Top, origin.y + combo->Height() - 1) << c.Name;
    else EXPECT_EQ(r.Top, origin.y - h + 1) << c.Name;
    EXPECT_GE(r.Width(), combo->Width() - 4) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupPlacement,
    ::testing::Values(
        TPlaceCase{"three of six rows, room below", 6, 3, false, -1, false, 3, 1, false, false},
        TPlaceCase{"a short table shrinks the list", 6, 8, false, -1, false, 6, 1, false, false},
        TPlaceCase{"a fixed height keeps every row", 6, 8, true, -1, false, 8, 1, false, false},
        TPlaceCase{"no room below: above", 6, 3, false, 10, false, 3, -1, false, false},
        TPlaceCase{"just room below", 6, 3, false, 200, false, 3, 1, false, false},
        TPlaceCase{"the list ends on the work area's bottom", 6, 3, false, 0, true, 3, 1, false, false},
        TPlaceCase{"a pixel short below: above", 6, 3, false, -1, true, 3, -1, false, false},
        TPlaceCase{"fits neither way: below", 6, 60, true, -1, false, 60, 1, false, false},
        TPlaceCase{"0 counts as one row", 6, 0, false, -1, false, 1, 1, false, false},
        TPlaceCase{"narrowing keeps every row", 6, 8, false, -1, false, 8, 1, true, false},
        TPlaceCase{"ranges only on a server: a local table shrinks", 6, 8, false, -1, false, 6, 1, false,
                   true}),
    [](const auto& Info) { return "Case" + std::to_string(Info.index); });

struct TWidthCase {
    TAlignment Alignment;
    int DropDownWidth;
};

class LookupListWidth : public LookupCombo, public ::testing::WithParamInterface<TWidthCase> {};

// A list is never narrower than the combo less 4 pixels nor wider than the
// screen beside it; a right-aligned one ends at the combo's right edge.
TEST_P(LookupListWidth, TheListIsAtLeastTheComboLessFour) {
    const TWidthCase& c = GetParam();
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetDropDownAlignment(c.Alignment);
    combo->SetDropDownWidth(c.DropDownWidth);
    ShowBound(combo);
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible());
    const int x0 = combo->ClientToScreen(TPoint(0, 0)).x;
    const int room = c.Alignment == taRightJustify ? x0 + 150 - 2 : GetSystemMetrics(SM_CXSCREEN) - x0 - 2;
    const int width = std::max(150 - 4, std::min(room, c.DropDownWidth));
    const TRect r = ListRect(combo);
    EXPECT_EQ(r.Width(), width);
    EXPECT_EQ(r.Left - x0, c.Alignment == taRightJustify ? 150 - width + 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupListWidth,
                         ::testing::Values(TWidthCase{taLeftJustify, 50}, TWidthCase{taRightJustify, 50},
                                           TWidthCase{taLeftJustify, 300}, TWidthCase{taRightJustify, 300},
                                           TWidthCase{taRightJustify, 5000}));

TEST_F(LookupCombo, ANarrowComboNeverShowsItsList) {
    TTestLookupCombo* combo = NewCombo(10, 10, 20);
    ShowBound(combo);
    Keys("{F4}");
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->MouseHook(), nullptr);
}

// Without a border the edit is multi-line and the button one pixel taller
// than its holder, from -1.
TEST_F(LookupCombo, WithoutABorderTheEditIsMultiLineAndTheButtonStandsHigher) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetBorderStyle(bsNone);
    ShowBound(combo);
    EXPECT_NE(GetWindowLong(combo->Handle(), GWL_STYLE) & ES_MULTILINE, 0);
    EXPECT_EQ(combo->Button()->Top(), -1);
    EXPECT_EQ(combo->Button()->Height(), combo->ButtonHolder()->Height() + 1);
    EXPECT_TRUE(dynamic_cast<TwwLookupComboButton*>(combo->Button()));
}

// An unfocused combo whose display field is right-aligned shows the text
// flush right, just left of the button; focused, it shows it where it types.
TEST_F(LookupCombo, ARightAlignedDisplayFieldIsPaintedBesideTheButton) {
    Lookup->FieldByName("NAME")->SetAlignment(taRightJustify);
    TTestLookupCombo* combo = NewCombo(10, 10);
    ShowBound(combo);
    Other->SetFocus();
    Idle();
    // The form's picture is in window coordinates.
    const TSurface& picture = Ui().Picture(Dialog);
    TRect window;
    GetWindowRect(Dialog->Handle(), window);
    const TPoint at(combo->ClientOrigin().x - window.Left, combo->ClientOrigin().y - window.Top);
    const uint32_t ink = ColorRefToPixel(ColorToRGB(clWindowText)) & 0xFFFFFFu;
    int first = combo->ClientWidth(), last = -1;
    for (int y = 0; y < combo->ClientHeight(); ++y)
        for (int x = 0; x < combo->ButtonHolder()->Left(); ++x)
            if ((picture.GetPixel(at.x + x, at.y + y) & 0xFFFFFFu) == ink) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    ASSERT_GE(last, 0);
    EXPECT_LE(last, combo->ButtonHolder()->Left() - 2);
    EXPECT_GE(last, combo->ButtonHolder()->Left() - 6);
    EXPECT_GT(first, combo->ClientWidth() / 3);
}

// The button's press opens a closed list and closes an open one; in
// csDropDownList a click on the text opens it as well.
TEST_F(LookupCombo, TheButtonAndAClickOnAListStyleTextOpenTheList) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    ShowBound(combo);
    Other->SetFocus();
    Idle();
    Ui().Click(combo->Button());
    Idle();
    EXPECT_TRUE(combo->Focused());
    EXPECT_TRUE(combo->ListVisible());
    Ui().Click(combo->Button());
    Idle();
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->MouseHook(), nullptr);

    combo->SetStyle(csDropDownList);
    Ui().Click(combo, TPoint(5, 5));
    Idle();
    EXPECT_TRUE(combo->ListVisible());
}

// ---------------------------------------------------------------- closing

TEST_F(LookupCombo, AClickOutsideKeepsTheFoundRecordAndEscapeRestoresTheEntryValue) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    ShowBound(combo);
    ASSERT_EQ(combo->Text(), "Historia");
    Keys("{F4}{Down}");
    ASSERT_TRUE(combo->ListVisible());
    EXPECT_NE(combo->MouseHook(), nullptr);
    const AnsiString moved = combo->DisplayValue();
    EXPECT_NE(moved, "Historia");
    Ui().Click(Other->ClientToScreen(TPoint(3, 3)));
    Idle();
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->MouseHook(), nullptr);
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), combo->LookupValue());
    EXPECT_EQ(combo->Text(), moved);

    // Escape on a new move takes the value back to what it was on entry.
    combo->SetFocus();
    Idle();
    const AnsiString entryValue = combo->LookupValue();
    Keys("{F4}{Down}{Down}");
    ASSERT_TRUE(combo->ListVisible());
    ASSERT_NE(combo->LookupValue(), entryValue);
    Keys("{Esc}");
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->LookupValue(), entryValue);
    EXPECT_EQ(combo->Text(), moved);
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), entryValue);
}

TEST_F(LookupCombo, AClickInTheListTakesThatRecord) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    int closeUps = 0;
    bool changed = false;
    combo->OnCloseUp = [&](TObject*, TDataSet*, TDataSet* Fill, bool Modified) {
        ++closeUps;
        changed = Modified;
        EXPECT_EQ(Fill, Pick);
    };
    ShowBound(combo);
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible());
    TwwPopupGrid* list = combo->LookupList();
    // The list is in name order: the second row's record.
    Lookup->First();
    Lookup->Next();
    const AnsiString code = Lookup->FieldByName("CODE")->AsString();
    const AnsiString name = Lookup->FieldByName("NAME")->AsString();
    const TRect cell = list->CellRect(0, 1);
    Ui().Click(list->ClientToScreen(TPoint(cell.Left + 5, (cell.Top + cell.Bottom) / 2)));
    Idle();
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->LookupValue(), code);
    EXPECT_EQ(combo->Text(), name);
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), code);
    EXPECT_EQ(closeUps, 1);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(combo->Focused());
}

TEST_F(LookupCombo, WithoutALookupTableTheListDoesNotOpen) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetLookupTable(nullptr);
    Dialog->Show();
    combo->SetFocus();
    Idle();
    Answers.Then(mrOk);
    Keys("{F4}");
    EXPECT_FALSE(combo->ListVisible());
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], "No lookup table specified!");
}

// The lookup table closed under a focused combo whose list never showed,
// as a form closes its tables when it goes: the list sizes no column it no
// longer has, and keeps no field of the closed table (the focus leaving
// the combo afterwards reads none).
TEST_F(LookupCombo, ClosingTheLookupTableUnderAComboLeavesItNoColumnOrField) {
    for (const bool Columnas : {false, true}) {
        SCOPED_TRACE(Columnas ? "a column of its own" : "the lookup field's column");
        TTestLookupCombo* combo = NewCombo(10, 10);
        if (!Columnas) combo->Selected()->Clear();
        ShowBound(combo);
        EXPECT_NO_THROW(Lookup->Close());
        EXPECT_EQ(combo->LookupList()->DisplayField(), nullptr);
        Other->SetFocus();
        Idle();
        combo->Free();
        Lookup->Open();
    }
}

// ---------------------------------------------------------------- search

TEST_F(LookupCombo, QuickKeysMakeOneSearchAfterThePauseAndTheMatchIsCompleted) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetShowMatchText(true);
    ShowBound(combo);
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible());
    combo->SelectAll();
    Keys("l");
    Wait(150);
    Keys("e");
    Wait(150);
    // 150 ms after the second key: no search yet, the first key's timer was restarted.
    EXPECT_EQ(combo->Text(), "le");
    EXPECT_TRUE(combo->SearchTimer()->Enabled());
    Wait(50);
    EXPECT_FALSE(combo->SearchTimer()->Enabled());
    EXPECT_EQ(combo->Text(), "Lengua");
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 4);
    EXPECT_EQ(combo->LookupValue(), "LEN");
    Keys("{Enter}");
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), "LEN");
}

// A search value longer than a string field is cut by the field's size,
// whatever the control shows.
TEST_F(LookupCombo, ASearchValueIsCutByItsOwnLength) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    std::vector<AnsiString> asked;
    combo->OnPerformCustomSearch = [&](TObject*, TDataSet*, const AnsiString&, const AnsiString& Value, bool,
                                       bool& Found) {
        asked.push_back(Value);
        Found = true;
    };
    Dialog->Show();
    ASSERT_TRUE(combo->Text().empty());
    combo->SearchLookupTable("MATEMAT", "CODE", false, false, false);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "MATEM");
}

// ---------------------------------------------------------------- keys

TEST_F(LookupCombo, WithTheListClosedShowMatchTextCompletesAtOnce) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetShowMatchText(true);
    ShowBound(combo);
    combo->SelectAll();
    Keys("ma");
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->Text(), "Matem\xE1ticas");
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 9);
    EXPECT_EQ(combo->LookupValue(), "MAT");
    Keys("{Tab}");
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), "MAT");
}

TEST_F(LookupCombo, AutoDropDownOpensTheListOnTheTypedText) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetAutoDropDown(true);
    ShowBound(combo);
    combo->SelectAll();
    Keys("f");
    EXPECT_TRUE(combo->ListVisible());
    EXPECT_EQ(Lookup->FieldByName("CODE")->AsString(), "FIS");
    EXPECT_EQ(combo->Text(), "f");
    EXPECT_FALSE(combo->OpenedByTyping());
}

TEST_F(LookupCombo, TabWithTheListOpenTakesTheHighlightedRecord) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    ShowBound(combo);
    Keys("{F4}{Down}");
    ASSERT_TRUE(combo->ListVisible());
    const AnsiString moved = combo->LookupValue();
    Keys("{Tab}");
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), moved);
    EXPECT_NE(moved, "HIS");
}

struct TClearCase {
    const char* Name;
    TwwDBLookupComboStyle Style;
    bool AllowClearKey;
    const char* Keys;
    const char* Stored;  // after the record is posted
};

class LookupClearing : public LookupCombo, public ::testing::WithParamInterface<TClearCase> {};

TEST_P(LookupClearing, DeleteAndBackspaceClearOnlyWhenAllowed) {
    const TClearCase& c = GetParam();
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetStyle(c.Style);
    combo->SetAllowClearKey(c.AllowClearKey);
    ShowBound(combo);
    combo->SelectAll();
    Keys(c.Keys);
    combo->UpdateRecord();
    if (Pick->State() == dsEdit) Pick->Post();
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), c.Stored) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupClearing,
    ::testing::Values(TClearCase{"list style keeps its value", csDropDownList, false, "{Del}{Back}", "HIS"},
                      TClearCase{"list style clears with AllowClearKey", csDropDownList, true, "{Del}", ""},
                      TClearCase{"whole text deleted with AllowClearKey", csDropDown, true, "{Back}", ""}),
    [](const auto& Info) { return "Case" + std::to_string(Info.index); });

TEST_F(LookupCombo, RefusingANewTextRestoresTheValueAndFiresNoCloseUp) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    int closeUps = 0;
    std::vector<AnsiString> offered;
    combo->OnCloseUp = [&](TObject*, TDataSet*, TDataSet*, bool) { ++closeUps; };
    combo->OnTextNotFound = [&](TObject*, TDataSet*, const AnsiString& Text, bool& Accept) {
        offered.push_back(Text);
        Accept = false;
    };
    ShowBound(combo);
    Keys("{F4}");
    combo->SelectAll();
    Keys("zz");
    Wait(200);
    EXPECT_FALSE(combo->Found());
    Keys("{Enter}");
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(offered, std::vector<AnsiString>{"zz"});
    EXPECT_EQ(closeUps, 0);
    EXPECT_EQ(combo->Text(), "Historia");
    EXPECT_EQ(combo->LookupValue(), "HIS");
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), "HIS");
    EXPECT_EQ(combo->MouseHook(), nullptr);
}

// The drop-down grid belongs to a lookup combo; no other owner makes one.
TEST_F(LookupCombo, ADropDownGridWantsALookupComboAsOwner) {
    EXPECT_THROW(NewComponent<TwwPopupGrid>(Dialog), EInvalidCast);
}

struct TPlainCase {
    bool CaseSensitive;
    bool Found;
    const char* Value;
};

class LookupPlainTable : public LookupCombo, public ::testing::WithParamInterface<TPlainCase> {};

// A lookup table of the class library (no library table) is searched record
// by record; the typed text finds its record without regard to case unless
// ssoCaseSensitive asks for it.
TEST_P(LookupPlainTable, TypedTextIsSoughtRecordByRecord) {
    const TPlainCase& c = GetParam();
    TTable* plain = NewTable("asg", "CODE");
    plain->Open();
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetLookupTable(plain);
    if (c.CaseSensitive) combo->SetSeqSearchOptions(TwwSeqSearchOptions{ssoEnabled, ssoCaseSensitive});
    ShowBound(combo);
    ASSERT_TRUE(combo->UsesSequentialSearch());
    EXPECT_EQ(combo->Text(), "Historia");
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible());
    combo->SelectAll();
    Keys("le");
    Wait(200);
    EXPECT_EQ(combo->Found(), c.Found);
    EXPECT_EQ(combo->LookupValue(), c.Value);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupPlainTable,
                         ::testing::Values(TPlainCase{false, true, "LEN"}, TPlainCase{true, false, "HIS"}));

// ---------------------------------------------------------------- key fields

TEST_F(LookupCombo, WithoutItsFirstKeyFieldTheListCountsNoKeyFields) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    Dialog->Show();
    TwwPopupGrid* list = combo->LookupList();
    list->SetLookupField("CODE;NAME");
    EXPECT_EQ(list->KeyFieldCount(), 2);
    EXPECT_THROW(list->SetLookupField("NOPE;NAME"), EInvalidOperation);
    EXPECT_EQ(list->KeyFieldCount(), 0);
    EXPECT_EQ(list->KeyField(), nullptr);
    // Resolving again without raising: the second name is there, the first is not.
    list->UpdateKeyFields(false);
    EXPECT_EQ(list->KeyFieldCount(), 0);
    EXPECT_EQ(list->KeyField2(), list->LookupTable()->FindField("NAME"));
    list->LayoutChanged();
    EXPECT_EQ(list->ColumnCount(), 0);
    try {
        list->UpdateKeyFields(true);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Field 'NOPE;NAME' not found");
    }
}

// ---------------------------------------------------------------- linked fields

class LinkedLookup : public LookupCombo {
protected:
    // pick with a lookup field NOMBRE (its key field ASIG) over the subjects.
    void MakeLinkedPick(bool ReadOnlyTable = false) {
        AddPickFields();
        auto* names = NewComponent<TStringField>(Form);
        names->SetFieldName("NOMBRE");
        names->SetFieldKind(fkLookup);
        names->SetKeyFields("ASIG");
        TwwTable* subjects = NewWwTable("asg", "CODE");
        subjects->Open();
        names->SetLookupDataSet(subjects);
        names->SetLookupKeyFields("CODE");
        names->SetLookupResultField("NAME");
        names->SetDataSet(Pick);
        Pick->SetReadOnly(ReadOnlyTable);
        Pick->Open();
    }
    TTestLookupCombo* LinkedCombo() {
        TTestLookupCombo* combo = NewCombo(10, 10);
        combo->SetDataSource(PickSource);
        combo->SetDataField("NOMBRE");
        Dialog->Show();
        combo->SetFocus();
        Idle();
        return combo;
    }
};

TEST_F(LinkedLookup, ChoosingARecordWritesTheOwnKeyField) {
    MakeLinkedPick();
    TTestLookupCombo* combo = LinkedCombo();
    EXPECT_EQ(combo->LookupField(), "CODE");
    EXPECT_EQ(combo->Text(), "Historia");
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible());
    Keys("{Down}{Enter}");
    EXPECT_FALSE(combo->ListVisible());
    const AnsiString code = Pick->FieldByName("ASIG")->AsString();
    EXPECT_NE(code, "HIS");
    EXPECT_EQ(code, combo->LookupValue());
    EXPECT_EQ(combo->Text(), Pick->FieldByName("NOMBRE")->AsString());
}

struct TWriteCase {
    const char* Name;
    bool ReadOnlyTable, ReadOnlyCombo, NoEdit;
    const char* NewValue;
    bool Changed;
    const char* Stored;
};

class LinkedWrites : public LinkedLookup, public ::testing::WithParamInterface<TWriteCase> {};

TEST_P(LinkedWrites, AChangeIsReportedOnlyWhenAFieldWasWritten) {
    const TWriteCase& c = GetParam();
    MakeLinkedPick(c.ReadOnlyTable);
    TTestLookupCombo* combo = LinkedCombo();
    if (c.ReadOnlyCombo) combo->SetReadOnly(true);
    if (c.NoEdit) PickSource->SetAutoEdit(false);
    combo->LookupList()->StoreLookupValue(c.NewValue);
    bool changed = !c.Changed;
    combo->WriteLinkedFields(changed);
    EXPECT_EQ(changed, c.Changed) << c.Name;
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), c.Stored) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkedWrites,
    ::testing::Values(TWriteCase{"written", false, false, false, "MAT", true, "MAT"},
                      TWriteCase{"same value", false, false, false, "HIS", false, "HIS"},
                      TWriteCase{"read-only table", true, false, false, "MAT", false, "HIS"},
                      TWriteCase{"read-only combo", false, true, false, "MAT", false, "HIS"},
                      TWriteCase{"will not edit", false, false, true, "MAT", false, "HIS"}),
    [](const auto& Info) { return "Case" + std::to_string(Info.index); });

// A calculated field without a link line has no own key fields: nothing is written.
TEST_F(LookupCombo, ACalculatedFieldWithoutLinksWritesNothing) {
    AddPickFields();
    auto* calc = NewComponent<TStringField>(Form);
    calc->SetFieldName("CALC");
    calc->SetFieldKind(fkCalculated);
    calc->SetDataSet(Pick);
    Pick->Open();
    TTestLookupCombo* combo = NewCombo(10, 10);
    combo->SetDataSource(PickSource);
    combo->SetDataField("CALC");
    ASSERT_TRUE(combo->IsLinkedLookupField());
    combo->LookupList()->StoreLookupValue("MAT");
    bool changed = true;
    combo->WriteLinkedFields(changed);
    EXPECT_FALSE(changed);
    EXPECT_EQ(Pick->State(), dsBrowse);
}

// ---------------------------------------------------------------- in a grid

// The combo as the cell control of pick.ASIG in a grid, as the program's
// type editor places its lookup combo (invisible until the grid shows it).
class LookupInGrid : public LookupCombo {
protected:
    void SetUp() override {
        LookupCombo::SetUp();
        Pick->ControlType()->Add("ASIG;CustomEdit;CAsig;F");
        Pick->Open();
        Grid = NewComponent<TwwDBGrid>(Dialog);
        Grid->SetParent(Dialog);
        Grid->SetBounds(0, 40, 380, 150);
        Grid->SetUseTFields(false);
        for (const char* line : {"ID\t4\tId\tF", "ASIG\t6\tAsig\tF", "NOTA\t10\tNota\tF"})
            Grid->Selected()->Add(line);
        Grid->SetDataSource(PickSource);
        Combo = NewCombo(10, 10);
        Combo->SetName("CAsig");
        Combo->SetVisible(false);
        Dialog->Show();
        Grid->SetFocus();
        Idle();
        Grid->SetSelectedIndex(1);
        Idle();
    }
    AnsiString CurrentColumn() { return Grid->GetColumnFieldName(Grid->Col()); }

    TwwDBGrid* Grid = nullptr;
    TTestLookupCombo* Combo = nullptr;
};

TEST_F(LookupInGrid, TabMovesToTheNextCellAlsoAfterADialogsGridWasFreed) {
    Keys("m");
    ASSERT_TRUE(Combo->Focused());
    ASSERT_EQ(Combo->Parent(), Grid);
    auto* dialogGrid = NewComponent<TwwDBGrid>(Dialog);
    dialogGrid->SetParent(Dialog);
    dialogGrid->Free();
    EXPECT_TRUE(Combo->Focused());
    Keys("{Tab}");
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(CurrentColumn(), "NOTA");
}

struct TEnterCase {
    bool EnterToTab;
    const char* Column;  // where the grid stands after Enter
};

class LookupEnterInGrid : public LookupInGrid, public ::testing::WithParamInterface<TEnterCase> {};

TEST_P(LookupEnterInGrid, EnterGivesTheGridTheFocusAndMovesOnlyUnderEnterToTab) {
    if (GetParam().EnterToTab) Grid->SetKeyOptions(TwwDBGridKeyOptions{dgEnterToTab});
    Keys("m");
    ASSERT_TRUE(Combo->Focused());
    Keys("{Enter}");
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(CurrentColumn(), GetParam().Column);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupEnterInGrid,
                         ::testing::Values(TEnterCase{false, "ASIG"}, TEnterCase{true, "NOTA"}));

// ---------------------------------------------------------------- school size

class SchoolLookup : public LookupCombo {
protected:
    void SetUp() override {
        LookupCombo::SetUp();
        Lookup->Close();
        MakeSubjects("asg", 4000);
        Lookup->Open();
    }
};

TEST_F(SchoolLookup, TheValueIsFoundAndTheKeysMoveFromIt) {
    TTestLookupCombo* combo = NewCombo(10, 10);
    Pick->Open();
    Pick->Edit();
    Pick->FieldByName("ASIG")->SetAsString("S3217");
    Pick->Post();
    ShowBound(combo);
    EXPECT_EQ(combo->Text(), "Subject 3217");
    Keys("{F4}");
    ASSERT_TRUE(combo->ListVisible());
    EXPECT_EQ(Lookup->FieldByName("CODE")->AsString(), "S3217");
    Keys("{Down}");
    EXPECT_EQ(combo->LookupValue(), "S3218");
    EXPECT_EQ(combo->Text(), "Subject 3218");
    // Typing far away in the open list finds the record after the pause.
    combo->SelectAll();
    Keys("Subject 0815");
    Wait(200);
    EXPECT_EQ(combo->LookupValue(), "S0815");
    Keys("{Enter}");
    EXPECT_EQ(Pick->FieldByName("ASIG")->AsString(), "S0815");
}

}  // namespace
