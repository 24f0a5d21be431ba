// The speed button and the data-set navigator on a plain form over a small
// table: which buttons are enabled when, what each does, the repeat of a
// held button on the test's clock, the delete question, bookmarks per data
// set, hints, sizes and the faces of the buttons, read from the pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwDBNavigator.h"
#include "dataaware/wwSpeedButton.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwidlg.h"
#include "platform/db/Fields.h"
#include "platform/gfx/ImageList.h"
#include "platform/win/Display.h"

namespace {

class NavigatorTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        std::vector<std::vector<std::pair<const char*, AnsiString>>> Rows;
        for (int N = 1; N <= 30; ++N) Rows.push_back({{"N", IntToStr(N)}});
        CreateTable("nums", {{"N", ftFloat}}, {{"N", "N"}});
        AddRows("nums", Rows);
        CreateTable("vacia", {{"N", ftFloat}}, {{"N", "N"}});
        Frm = NewPlainForm("NavForm", 600, 200);
        Shown = Frm;
        Table = NewWwTable("nums", "N");
        Source = NewComponent<TwwDataSource>(Frm);
        Source->SetDataSet(Table);
        Nav = NewComponent<TwwDBNavigator>(Frm);
        Nav->SetParent(Frm);
    }
    // A navigator of the fourteen default buttons shown on the form.
    void ShowDefault() {
        Nav->SetDataSource(Source);
        Table->Open();
        Frm->Show();
        Idle();
    }
    TwwNavButton* ButtonOf(TwwNavButtonStyle Style) {
        for (int I = 0; I < Nav->Buttons()->Count(); ++I)
            if (Nav->Buttons()->GetItem(I)->Style() == Style) return Nav->Buttons()->GetItem(I);
        return nullptr;
    }
    int Record() { return Table->FieldByName("N")->AsInteger(); }
    TPoint ScreenPointOf(TControl* C, TPoint P) {
        return C->Parent()->ClientToScreen(TPoint(C->Left() + P.x, C->Top() + P.y));
    }
    // A pixel of a control at its client coordinates.
    uint32_t PixelAt(TControl* C, int X, int Y) {
        TPoint S = ScreenPointOf(C, TPoint(X, Y));
        TRect Window;
        GetWindowRect(Frm->Handle(), Window);
        return PixelOf(Ui(), Frm, S.x - Window.Left, S.y - Window.Top) & 0xFFFFFFu;
    }
    // The mouse comes over the button first, then the left button goes down on it.
    void Press(TControl* C) {
        InputMouseMove(ScreenPointOf(C, TPoint(12, 12)));
        Idle();
        InputMouseButton(0, true, ScreenPointOf(C, TPoint(12, 12)));
        Idle();
    }
    void Release(TControl* C) {
        InputMouseButton(0, false, ScreenPointOf(C, TPoint(12, 12)));
        Idle();
    }
    void ClickOn(TControl* C) {
        Ui().Click(C);
        Idle();
    }
    void Wait(uint32_t Ms) {
        Clock.Advance(Ms);
        Idle();
    }

    TForm* Frm = nullptr;
    TwwTable* Table = nullptr;
    TwwDataSource* Source = nullptr;
    TwwDBNavigator* Nav = nullptr;
};

const TwwNavButtonStyle DefaultOrder[] = {
    nbsFirst,  nbsPriorPage, nbsPrior, nbsNext,   nbsNextPage, nbsLast,         nbsInsert,
    nbsDelete, nbsEdit,      nbsPost,  nbsCancel, nbsRefresh,  nbsSaveBookmark, nbsRestoreBookmark};

}  // namespace

// A new speed button, and the picture it draws in each state for one, two
// and four pictures per button.
TEST_F(NavigatorTest, SpeedButtonDefaultsAndPictureOfEachState) {
    auto* B = NewComponent<TwwSpeedButton>(Frm);
    EXPECT_EQ(B->Width(), 25);
    EXPECT_EQ(B->Height(), 25);
    EXPECT_EQ(B->ImageIndex(), -1);
    EXPECT_EQ(B->Margin(), -1);
    EXPECT_EQ(B->Spacing(), 4);
    EXPECT_EQ(B->NumGlyphs(), 1);
    EXPECT_TRUE(B->Transparent());
    EXPECT_FALSE(B->ControlStyle().Contains(csDoubleClicks)) << "a double click is two clicks";
    EXPECT_EQ(B->PictureIndex(), -1) << "no index, no picture";

    B->SetParent(Frm);
    B->SetBounds(100, 100, 25, 25);
    B->SetImageIndex(4);
    Frm->Show();
    Idle();
    struct TCase {
        int Glyphs;
        int Normal, Disabled, Pressed, Hot;
    };
    for (const TCase& C : {TCase{1, 4, 4, 4, 4}, TCase{2, 4, 5, 4, 4}, TCase{4, 4, 5, 6, 7}}) {
        SCOPED_TRACE(C.Glyphs);
        B->SetNumGlyphs(C.Glyphs);
        EXPECT_EQ(B->PictureIndex(), C.Normal);
        B->SetEnabled(false);
        EXPECT_EQ(B->PictureIndex(), C.Disabled);
        B->SetEnabled(true);
        InputMouseMove(ScreenPointOf(B, TPoint(5, 5)));
        Idle();
        EXPECT_EQ(B->PictureIndex(), C.Hot);
        InputMouseButton(0, true, ScreenPointOf(B, TPoint(5, 5)));
        Idle();
        EXPECT_EQ(B->PictureIndex(), C.Pressed);
        InputMouseButton(0, false, ScreenPointOf(B, TPoint(5, 5)));
        InputMouseMove(TPoint(0, 0));
        Idle();
    }
}

// An empty navigator shows the fourteen default buttons after its first
// paint, in their order, and takes one row of them.
TEST_F(NavigatorTest, FirstPaintAddsTheDefaultButtonsInOneRow) {
    EXPECT_EQ(Nav->Buttons()->Count(), 0);
    EXPECT_EQ(Nav->Width(), 1);
    ShowDefault();
    ASSERT_EQ(Nav->Buttons()->Count(), 14);
    for (int I = 0; I < 14; ++I) {
        TwwNavButton* B = Nav->Buttons()->GetItem(I);
        EXPECT_EQ(B->Style(), DefaultOrder[I]) << I;
        EXPECT_EQ(B->BoundsRect(), TRect(25 * I, 0, 25 * I + 25, 25)) << I;
        EXPECT_EQ(B->GetImageIndex(), -1) << "the shared pictures are not stored";
    }
    EXPECT_EQ(Nav->Width(), 14 * 25);
    EXPECT_EQ(Nav->Height(), 25);
    EXPECT_EQ(Nav->GetVisibleButtons(), wwNavigationStyles);
    EXPECT_THROW(Nav->Buttons()->GetItem(14), EInvalidOperation);
}

// The faces: the picture of the style stands where the button's algorithm
// puts it (raised: inside a two-pixel frame; flat: on the bare face), and
// pressing moves it two pixels (raised) or one (flat) right and down.
TEST_F(NavigatorTest, FacesRaisedOrFlatAndThePressedOffset) {
    ShowDefault();
    TwwNavButton* First = ButtonOf(nbsFirst);
    ASSERT_NE(NavigatorGlyphs(), nullptr);
    ASSERT_EQ(NavigatorGlyphs()->Count(), 36);
    // The enabled picture of nbsFirst has a black bar two pixels wide from (4, 4) to (5, 13).
    auto Origin = [](bool Flat, bool Down) {
        int Inset = Flat ? 0 : 2, Shift = Down ? (Flat ? 1 : 2) : 0;
        int W = 25 - 2 * Inset, X = Inset + Shift + (W - 18) / 2, Y = X;
        if ((W - 2 * ((W - 18) / 2)) % 2 != 0) ++X;
        return TPoint(X, Y + 1);
    };
    for (bool Flat : {false, true}) {
        SCOPED_TRACE(Flat ? "flat" : "raised");
        Nav->SetFlat(Flat);
        EXPECT_EQ(First->Flat(), Flat);
        for (bool Down : {false, true}) {
            SCOPED_TRACE(Down ? "pressed" : "up");
            // Away from the first record, where the button shows its enabled picture.
            Table->MoveBy(5);
            Idle();
            if (Down) Press(First);
            TPoint O = Origin(Flat, Down);
            EXPECT_EQ(PixelAt(First, O.x + 4, O.y + 4), 0u);
            EXPECT_EQ(PixelAt(First, O.x + 5, O.y + 13), 0u);
            EXPECT_NE(PixelAt(First, O.x + 3, O.y + 4), 0u);
            EXPECT_NE(PixelAt(First, O.x + 4, O.y + 3), 0u);
            if (Down) Release(First);
        }
    }
    // The raised face has its highlight inside the frame; a flat one away
    // from the mouse draws no edge.
    InputMouseMove(TPoint(0, 0));
    Idle();
    EXPECT_EQ(PixelAt(First, 1, 1), RgbOf(Nav->Color()));
    Nav->SetFlat(false);
    Idle();
    EXPECT_EQ(PixelAt(First, 1, 1), RgbOf(clBtnHighlight));
}

// Which buttons are enabled follows the data set's state.
TEST_F(NavigatorTest, EnabledButtonsFollowTheDataSetState) {
    ShowDefault();
    TwwTable* Empty = NewWwTable("vacia", "N");
    TwwTable* ReadOnly = NewWwTable("nums", "N");
    ReadOnly->SetReadOnly(true);
    // Styles in DefaultOrder: First PriorPage Prior Next NextPage Last Insert Delete Edit Post Cancel Refresh
    // Save Restore.
    struct TCase {
        const char* State;
        std::function<void()> Make;
        const char* Enabled;
    };
    const TCase Cases[] = {
        {"closed", [&] { Table->Close(); }, "00000000000000"},
        {"at the first record", [&] { Table->Open(), Table->First(); }, "00011111100110"},
        {"in the middle", [&] { Table->First(), Table->Next(); }, "11111111100110"},
        {"at the last record", [&] { Table->Last(); }, "11100011100110"},
        {"editing", [&] { Table->First(), Table->Next(), Table->Edit(); }, "11111111011110"},
        {"a bookmark saved", [&] { Table->Cancel(), ButtonOf(nbsSaveBookmark)->Click(); }, "11111111100111"},
        {"an empty table", [&] { Source->SetDataSet(Empty), Empty->Open(); }, "00000010100110"},
        {"a read-only table", [&] { Source->SetDataSet(ReadOnly), ReadOnly->Open(), ReadOnly->Next(); },
         "11111100000010"},
        {"no data source", [&] { Nav->SetDataSource(nullptr); }, "00000000000000"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.State);
        C.Make();
        Idle();
        std::string Seen;
        for (TwwNavButtonStyle S : DefaultOrder) Seen += ButtonOf(S)->Enabled() ? '1' : '0';
        EXPECT_EQ(Seen, C.Enabled);
    }
    // A disabled navigator disables every button; enabled again, they follow the state.
    Nav->SetDataSource(Source);
    Source->SetDataSet(Table);
    Table->First();
    Nav->SetEnabled(false);
    for (TwwNavButtonStyle S : DefaultOrder) EXPECT_FALSE(ButtonOf(S)->Enabled());
    Nav->SetEnabled(true);
    EXPECT_FALSE(ButtonOf(nbsPrior)->Enabled());
    EXPECT_TRUE(ButtonOf(nbsNext)->Enabled());
}

// Clicks move and edit the data set; the page buttons move by |MoveBy|.
TEST_F(NavigatorTest, ButtonsMoveAndEdit) {
    ShowDefault();
    Nav->SetMoveBy(-3);
    struct TCase {
        TwwNavButtonStyle Style;
        int Record;
    };
    for (TCase C : {TCase{nbsNextPage, 4}, TCase{nbsNext, 5}, TCase{nbsPriorPage, 2}, TCase{nbsLast, 30},
                    TCase{nbsPrior, 29}, TCase{nbsFirst, 1}}) {
        Ui().Click(ButtonOf(C.Style));
        Idle();
        EXPECT_EQ(Record(), C.Record) << NavStyleName(C.Style);
    }
    Ui().Click(ButtonOf(nbsEdit));
    Idle();
    EXPECT_EQ(Table->State(), dsEdit);
    Table->FieldByName("N")->SetAsInteger(100);
    Ui().Click(ButtonOf(nbsCancel));
    Idle();
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_EQ(Record(), 1);
    Ui().Click(ButtonOf(nbsInsert));
    Idle();
    EXPECT_EQ(Table->State(), dsInsert);
    Table->FieldByName("N")->SetAsInteger(31);
    Ui().Click(ButtonOf(nbsPost));
    Idle();
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_EQ(Table->RecordCount(), 31);
}

// A held moving button clicks after 500 ms and then every 100 ms; its
// release is the last click; insert does not repeat.
TEST_F(NavigatorTest, AHeldButtonRepeatsOnTheClock) {
    ShowDefault();
    TwwNavButton* Next = ButtonOf(nbsNext);
    Press(Next);
    EXPECT_TRUE(Next->Repeating());
    EXPECT_EQ(Record(), 1);
    Wait(499);
    EXPECT_EQ(Record(), 1);
    Wait(1);
    EXPECT_EQ(Record(), 2);
    Wait(99);
    EXPECT_EQ(Record(), 2);
    Wait(1);
    EXPECT_EQ(Record(), 3);
    Wait(100);
    EXPECT_EQ(Record(), 4);
    Release(Next);
    EXPECT_FALSE(Next->Repeating());
    EXPECT_EQ(Record(), 5) << "the release clicks once";
    Wait(1000);
    EXPECT_EQ(Record(), 5);

    TwwNavButton* Insert = ButtonOf(nbsInsert);
    Press(Insert);
    EXPECT_FALSE(Insert->Repeating());
    Wait(1000);
    EXPECT_EQ(Table->State(), dsBrowse);
    Release(Insert);
    EXPECT_EQ(Table->State(), dsInsert);
}

// Delete asks first with the default options; Cancel keeps the record; without
// noConfirmDelete nothing is asked.
TEST_F(NavigatorTest, DeleteIsConfirmedByTheBox) {
    ShowDefault();
    Answers.Then(mrCancel);
    Ui().Click(ButtonOf(nbsDelete));
    Idle();
    ASSERT_EQ(Answers.Asked().size(), 1u);
    EXPECT_EQ(Answers.Asked()[0].Text, "Delete record?");
    EXPECT_EQ(Answers.Asked()[0].DlgType, mtConfirmation);
    EXPECT_EQ(Table->RecordCount(), 30);
    Answers.Then(mrOk);
    Ui().Click(ButtonOf(nbsDelete));
    Idle();
    EXPECT_EQ(Table->RecordCount(), 29);
    EXPECT_EQ(Record(), 2);
    Nav->SetOptions({});
    Ui().Click(ButtonOf(nbsDelete));
    Idle();
    EXPECT_EQ(Answers.Asked().size(), 2u);
    EXPECT_EQ(Table->RecordCount(), 28);
}

// Each data set keeps its own bookmark; closing the data set forgets it.
TEST_F(NavigatorTest, BookmarksAreKeptPerDataSet) {
    ShowDefault();
    TwwTable* Other = NewWwTable("nums", "N");
    auto* OtherSource = NewComponent<TwwDataSource>(Frm);
    OtherSource->SetDataSet(Other);
    Other->Open();
    TwwNavButton* Save = ButtonOf(nbsSaveBookmark);
    TwwNavButton* Restore = ButtonOf(nbsRestoreBookmark);
    EXPECT_FALSE(Restore->Enabled());
    Table->MoveBy(2);
    ClickOn(Save);
    EXPECT_TRUE(Restore->Enabled());
    Table->Last();
    Nav->SetDataSource(OtherSource);
    EXPECT_FALSE(Restore->Enabled()) << "nothing saved for the other table";
    Other->MoveBy(6);
    ClickOn(Save);
    Other->First();
    Nav->SetDataSource(Source);
    EXPECT_TRUE(Restore->Enabled());
    ClickOn(Restore);
    EXPECT_EQ(Record(), 3);
    Nav->SetDataSource(OtherSource);
    ClickOn(Restore);
    EXPECT_EQ(Other->FieldByName("N")->AsInteger(), 7);
    // A second save replaces the first.
    Other->Last();
    ClickOn(Save);
    Other->First();
    ClickOn(Restore);
    EXPECT_EQ(Other->FieldByName("N")->AsInteger(), 30);
    Other->Close();
    Other->Open();
    EXPECT_FALSE(Restore->Enabled()) << "closing forgets the bookmark";
    Nav->SetDataSource(Source);
    EXPECT_TRUE(Restore->Enabled()) << "the first table's stays";
}

// Hints come from the settings object; the page buttons' carry MoveBy as
// their "%d", as stored when they were made; a hint of the button's own stays.
TEST_F(NavigatorTest, HintsComeFromTheSettingsWithThePageCount) {
    ShowDefault();
    EXPECT_EQ(ButtonOf(nbsFirst)->Hint(), "Move to first record");
    EXPECT_EQ(ButtonOf(nbsPriorPage)->Hint(), "Move backward 10 records");
    EXPECT_EQ(ButtonOf(nbsNextPage)->Hint(), "Move forward 10 records");
    EXPECT_EQ(ButtonOf(nbsRestoreBookmark)->Hint(), "Go back to saved bookmark");
    Nav->SetMoveBy(-3);
    EXPECT_EQ(ButtonOf(nbsNextPage)->Hint(), "Move forward 10 records") << "no placeholder left";
    TwwNavButton* Page = Nav->Buttons()->Add(nbsPriorPage);
    EXPECT_EQ(Page->Hint(), "Move backward -3 records");
    TwwNavButton* Search = Nav->Buttons()->Add(nbsSearchDialog);
    EXPECT_EQ(Search->Hint(), "Search the dataset");
    Search->SetHint("Buscar");
    EXPECT_EQ(Search->GetDefaultHint(), "Buscar");
    Nav->SetOptions({noUseInternationalText});
    EXPECT_EQ(Search->GetDefaultHint(), "Search the dataset");
}

// asSizeNavButtons shares the navigator's room among the buttons of a
// line, the spare pixels to the first ones; lines share the height.
TEST_F(NavigatorTest, SizingTheButtonsSharesTheRoom) {
    Nav->SetBounds(0, 0, 100, 25);
    for (TwwNavButtonStyle S : {nbsFirst, nbsNext, nbsLast}) Nav->Buttons()->Add(S);
    Nav->SetAutosizeStyle(asSizeNavButtons);
    std::vector<int> Widths, Lefts;
    for (int I = 0; I < 3; ++I) {
        Widths.push_back(Nav->Buttons()->GetItem(I)->Width());
        Lefts.push_back(Nav->Buttons()->GetItem(I)->Left());
    }
    EXPECT_EQ(Widths, (std::vector<int>{34, 33, 33}));
    EXPECT_EQ(Lefts, (std::vector<int>{0, 34, 67}));
    // A line break: two lines of 25 pixels, 100 and 50 + 50 wide; bevels take their margin.
    Nav->SetBounds(0, 0, 104, 54);
    Nav->SetBevelOuter(bvRaised);
    Nav->SetBevelInner(bvLowered);
    Nav->Buttons()->GetItem(1)->SetLineBreak(true);
    std::vector<TRect> Seen;
    for (int I = 0; I < 3; ++I) Seen.push_back(Nav->Buttons()->GetItem(I)->BoundsRect());
    EXPECT_EQ(Seen, (std::vector<TRect>{TRect(2, 2, 102, 27), TRect(2, 27, 52, 52), TRect(52, 27, 102, 52)}));
    // asSizeNavigator wraps to the buttons instead.
    Nav->SetAutosizeStyle(asSizeNavigator);
    EXPECT_EQ(Nav->Width(), 2 + 102);
    EXPECT_EQ(Nav->Height(), 2 + 52);
}

// Buttons and the navigator: only navigator buttons go into it, a button
// without a parent says so, indexes are checked, a renamed navigator
// renames the buttons named after it, SetVisibleButtons shows and hides.
TEST_F(NavigatorTest, ButtonListRules) {
    auto* Loose = NewComponent<TwwNavButton>(Frm);
    try {
        Loose->GetButtons();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_STREQ(E.what(), "Parent propety of TwwNavButton not defined");
    }
    auto* Plain = NewComponent<TwwSpeedButton>(Frm);
    EXPECT_THROW(Plain->SetParent(Nav), EInvalidOperation);
    Answers.Then(mrOk);
    EXPECT_THROW(Loose->SetParent(Frm), EAbort);
    EXPECT_EQ(Answers.Texts().back(), "Parent of TwwNavButton must be TwwDBNavigator");

    Nav->SetBounds(0, 0, 200, 25);
    Nav->SetName("Nav1");
    TwwNavButton* First = Nav->Buttons()->Add(nbsFirst);
    TwwNavButton* Last = Nav->Buttons()->Add(nbsLast);
    First->SetName("Nav1First");
    Last->SetName("Other");
    Nav->SetName("Nav2");
    EXPECT_EQ(First->Name(), "Nav2First");
    EXPECT_EQ(Last->Name(), "Other");
    EXPECT_EQ(Last->GetIndex(), 1);
    Last->SetIndex(0);
    EXPECT_EQ(Nav->Buttons()->GetItem(0), Last);
    EXPECT_EQ(Last->Left(), 0);
    EXPECT_EQ(First->Left(), 25);

    Nav->SetVisibleButtons({nbsFirst, nbsNext});
    EXPECT_FALSE(Last->Visible());
    EXPECT_TRUE(First->Visible());
    ASSERT_NE(ButtonOf(nbsNext), nullptr);
    EXPECT_EQ(Nav->Buttons()->GetVisibleCount(), 2);
    EXPECT_THROW(Nav->Buttons()->GetVisibleItem(2), EInvalidOperation);
    EXPECT_EQ(Nav->GetVisibleButtons(), (TwwNavButtonNavStylesEx{nbsFirst, nbsLast, nbsNext}));
}

// The search button finds a dialog of its class for its data set among the
// navigator's components, or makes one by class name and links it.
TEST_F(NavigatorTest, DialogButtonsFindOrMakeTheirDialogByClassName) {
    ShowDefault();
    TwwNavButton* Search = Nav->Buttons()->Add(nbsSearchDialog);
    EXPECT_TRUE(Search->Enabled());
    std::vector<TwwCustomDialog*> Made;
    Search->OnAfterCreateDialog = [&](TwwCustomDialog* D) { Made.push_back(D); };
    TwwCustomDialog* D = Search->GetDialog(Table);
    ASSERT_NE(D, nullptr);
    EXPECT_EQ(D->ClassName(), "TwwSearchDialog");
    EXPECT_EQ(D->Owner(), Nav);
    EXPECT_EQ(static_cast<TwwSearchDialog*>(D)->SearchTable(), Table);
    EXPECT_EQ(Made, std::vector<TwwCustomDialog*>{D});
    EXPECT_EQ(Search->GetDialog(Table), D);

    // A dialog already among the navigator's components is taken, not made.
    TwwNavButton* Second = Nav->Buttons()->Add(nbsSearchDialog);
    Second->OnAfterCreateDialog = [&](TwwCustomDialog* X) { Made.push_back(X); };
    EXPECT_EQ(Second->GetDialog(Table), D);
    EXPECT_EQ(Made.size(), 1u);
    // Setting a dialog sets the style; freeing it clears the reference.
    TwwNavButton* Third = Nav->Buttons()->Add(nbsFirst);
    Third->SetDialog(D);
    EXPECT_EQ(Third->Style(), nbsSearchDialog);
    // A dialog whose class names no style is kept; the style stays.
    auto* Lookup = NewComponent<TwwLookupDialog>(Frm);
    TwwNavButton* Fourth = Nav->Buttons()->Add(nbsLocateDialog);
    Fourth->SetDialog(Lookup);
    EXPECT_EQ(Fourth->Dialog(), Lookup);
    EXPECT_EQ(Fourth->Style(), nbsLocateDialog);
    D->Free();
    EXPECT_EQ(Third->Dialog(), nullptr);
    EXPECT_EQ(Search->Dialog(), nullptr);
    TwwNavButtonStyle S = nbsFirst;
    EXPECT_TRUE(StyleFromDialogClassName("TwwLocateDialog", S));
    EXPECT_EQ(S, nbsLocateDialog);
    EXPECT_FALSE(StyleFromDialogClassName("TwwDBGrid", S));
}

// The filter, record view and locate buttons make their dialogs by class
// name: the filter dialog in the data set, the others in the navigator,
// each linked to the navigator's data source.
TEST_F(NavigatorTest, TheLibrarysDialogsAreMadeByName) {
    ShowDefault();
    struct TCase {
        TwwNavButtonStyle Style;
        const char* Class;
        TComponent* Owner;
    };
    for (const TCase& C : {TCase{nbsFilterDialog, "TwwFilterDialog", Table},
                           TCase{nbsRecordViewDialog, "TwwRecordViewDialog", Nav},
                           TCase{nbsLocateDialog, "TwwLocateDialog", Nav}}) {
        SCOPED_TRACE(C.Class);
        TwwNavButton* B = Nav->Buttons()->Add(C.Style);
        TwwCustomDialog* D = B->GetDialog(Table);
        ASSERT_NE(D, nullptr);
        EXPECT_EQ(D->ClassName(), C.Class);
        EXPECT_EQ(D->Owner(), C.Owner);
        EXPECT_EQ(GetDataSourceProp(D), Source);
        EXPECT_EQ(D->GetPrimaryDataSet(), Table);
        EXPECT_TRUE(B->Enabled());
    }
}
