// The report view control on a form off screen: views and view fields with
// their storage, activation, the focus across changes of the lines, keys,
// clicks on group lines and headers, key search on the manual clock, the
// drawing of lines to the pixel, horizontal scrolling and hover hints.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "RvFixture.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/sys/Sound.h"
#include "platform/ui/HintWindow.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcExcpt.h"

using namespace rvtest;

namespace {

using Texts = std::vector<std::string>;

class RvControl : public RvFixture {};

TEST_F(RvControl, ActivationBuildsTheLinesHeaderAndFooter) {
    AddRows("b1 a2 a1 c1", {4, 5, 6, 7});
    Show();
    RV->SetActiveView("G");
    EXPECT_EQ(Lines(), (Texts{"G:a", "G:b", "G:c"}));
    TOvcRVHeader* h = RV->Header();
    ASSERT_EQ(h->GetSectionCount(), 3);
    EXPECT_EQ(h->GetSection(0)->Caption(), "") << "a grouping column shows no caption";
    EXPECT_EQ(h->GetSection(1)->Caption(), "Ye");
    EXPECT_EQ(h->GetSection(2)->Alignment(), taRightJustify);
    EXPECT_EQ(h->GetSection(0)->ImageIndex(), 0) << "ascending arrow on the sort column";
    EXPECT_TRUE(RV->HeaderPanel()->Visible());
    EXPECT_FALSE(RV->FooterPanel()->Visible());
    EXPECT_EQ(RV->ListBox()->ListFillColor(), RV->GroupColor());
    RV->SetActiveViewByTitle("Plana");
    EXPECT_EQ(RV->ActiveView(), "P");
    EXPECT_EQ(Lines(), (Texts{"I:a1", "I:a2", "I:b1", "I:c1"}));
    EXPECT_EQ(RV->ListBox()->ListFillColor(), RV->Options()->ListColor());
    EXPECT_THROW(RV->SetActiveViewByTitle("Nada"), EReportViewError);
    EXPECT_THROW(RV->SetActiveView("Z"), EUnknownView);
}

TEST_F(RvControl, TheFocusFollowsItsItemAcrossSortsAndUpdates) {
    auto rows = AddRows("b1 a2 a1 c1", {4, 1, 6, 7});
    Show();
    RV->SetActiveView("P");
    RV->SetCurrentItem(rows[1]);  // a2, line 1
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 1);
    RV->SetSortColumn(2);  // by N: a2 first
    EXPECT_EQ(RV->GetCurrentItem(), rows[1]);
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 0);
    RV->BeginUpdate();
    rows[1]->N = 10;
    RV->ChangeData(rows[1]);
    EXPECT_THROW(RV->GetCurrentItem(), EUpdatePending);
    RV->EndUpdate();
    EXPECT_EQ(RV->GetCurrentItem(), rows[1]);
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 3);
    // In a grouped view the item's group opens when it must be shown.
    RV->SetActiveView("G");
    RV->ExpandAll(false);
    RV->SetCurrentItem(rows[3]);
    EXPECT_EQ(Lines(), (Texts{"G:a", "G:b", "G:c+", "I:c1"}));
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 3);
}

TEST_F(RvControl, CollapsingAllLeavesTheFocusedLineNumberOnAGroup) {
    auto rows = AddRows("a1 a2 b1 b2");
    Show();
    RV->SetActiveView("G");
    RV->ExpandAll(true);
    RV->SetCurrentItem(rows[3]);  // b2 on line 5
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 5);
    RV->ExpandAll(false);
    EXPECT_EQ(RV->ListBox()->ItemIndex(), -1) << "beyond the two lines left";
    RV->ExpandAll(true);
    RV->SetCurrentItem(rows[0]);  // a1 on line 1
    RV->ExpandAll(false);
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 1);
    EXPECT_EQ(RV->GetCurrentItem(), nullptr);
    ASSERT_NE(RV->GetCurrentGroup(), nullptr);
    EXPECT_EQ(RV->GetCurrentGroup()->GetData(), rows[2]) << "the group now on that line";
}

TEST_F(RvControl, NestedUpdatesSignalBusyOnce) {
    std::vector<bool> busy;
    RV->OnSignalBusy = [&](TObject*, bool B) { busy.push_back(B); };
    Show();
    RV->SetActiveView("P");
    busy.clear();
    RV->BeginUpdate();
    RV->BeginUpdate();
    RV->EndUpdate();
    EXPECT_TRUE(RV->LockUpdate());
    RV->EndUpdate();
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

TEST_F(RvControl, KeysToggleGroupsAndSearchTheSortColumn) {
    auto rows = AddRows("br1 a1 r1 bx1");
    Show();
    RV->SetActiveView("G");
    RV->SetFocus();
    Run();
    std::vector<int> keys;
    RV->OnKeyPress = [&](TObject*, char& Key) { keys.push_back(static_cast<unsigned char>(Key)); };
    RV->ListBox()->SetItemIndex(0);
    Ui.Key(VK_RETURN);
    Run();
    EXPECT_EQ(Lines(), (Texts{"G:a+", "I:a1", "G:b", "G:r"}));
    EXPECT_EQ(RV->ListBox()->ItemIndex(), 0) << "the focus stays on the group's line";
    EXPECT_EQ(keys, (std::vector<int>{0})) << "the key was consumed";
    RV->ListBox()->SetItemIndex(1);
    Ui.Key(VK_RETURN);
    Run();
    EXPECT_EQ(keys.back(), 13) << "on an item line Enter goes on unchanged";
    // A letter in a grouped view beeps.
    RV->SetKeySearch(true);
    {
        TBeepRecorder beeps;
        Ui.Type("b");
        Run();
        EXPECT_EQ(beeps.Beeps(), (std::vector<unsigned>{MB_ICONHAND}));
    }
    // In a plain view the typed text goes to OnKeySearch, joined within the timeout.
    std::vector<std::pair<int, std::string>> searches;
    RV->OnKeySearch = [&](TObject*, int32_t Column, const AnsiString& Key) {
        searches.push_back({Column, Key});
    };
    RV->SetActiveView("P");
    Ui.Type("b");
    Run();
    Clock.Advance(900);
    Ui.Type("r");
    Run();
    Clock.Advance(1001);
    Ui.Type("r");
    Run();
    EXPECT_EQ(searches, (std::vector<std::pair<int, std::string>>{{0, "b"}, {0, "br"}, {0, "r"}}));
    RV->SetSortDescending(true);
    Clock.Advance(1001);
    Ui.Type("z");
    Run();
    EXPECT_EQ(searches.back().second, "z" + std::string(254, '\xFF'));
    (void)rows;
}

TEST_F(RvControl, AClickOnAGroupsBoxTogglesIt) {
    AddRows("a1 a2 b1");
    Show();
    RV->SetActiveView("G");
    TOvcRVListBox* lb = RV->ListBox();
    const int box = RV->Header()->GetSection(0)->Width() - 2;
    Ui.Click(lb, LinePoint(0, box));
    Run();
    EXPECT_EQ(Lines(), (Texts{"G:a+", "I:a1", "I:a2", "G:b"}));
    Clock.Advance(1000);  // not a double click
    Ui.Click(lb, LinePoint(0, box));
    Run();
    EXPECT_EQ(Lines(), (Texts{"G:a", "G:b"}));
    // Right of the box's column only focuses the line.
    Clock.Advance(1000);
    Ui.Click(lb, LinePoint(1, box + 40));
    Run();
    EXPECT_EQ(Lines(), (Texts{"G:a", "G:b"}));
    EXPECT_EQ(lb->ItemIndex(), 1);
    EXPECT_EQ(RV->GetCurrentGroup()->GetData(), Rows[2].get());
}

TEST_F(RvControl, HeaderClicksSortAndReverse) {
    AddRows("b1 a2 c0");
    RV->GetField(2)->SetCanSort(false);
    Show();
    RV->SetActiveView("P");
    TOvcRVHeader* h = RV->Header();
    auto click = [&](int Section) {
        int x = 0;
        for (int i = 0; i < Section; ++i) x += h->GetSection(i)->Width();
        Ui.Click(h, TPoint(x + 20, h->ClientHeight() / 2));
        Run();
    };
    click(0);
    EXPECT_EQ(RV->Engine().SortColumn(), -1) << "the sort column again: descending";
    EXPECT_EQ(h->GetSection(0)->ImageIndex(), 1);
    EXPECT_EQ(Lines(), (Texts{"I:c0", "I:b1", "I:a2"}));
    click(1);
    EXPECT_EQ(RV->Engine().SortColumn(), 2);
    EXPECT_EQ(h->GetSection(0)->ImageIndex(), -1);
    EXPECT_EQ(h->GetSection(1)->ImageIndex(), 0);
    click(2);
    EXPECT_EQ(RV->Engine().SortColumn(), 2) << "a column that cannot sort only takes the focus";
    EXPECT_TRUE(RV->Focused());
}

// Only a position among the view's view fields is a default sort column;
// any other falls back to the first column, ascending.
TEST_F(RvControl, TheDefaultSortColumnIsTakenOnlyWithinTheView) {
    AddRows("b1 a2 c0", {1, 3, 2});
    Show();
    auto* p = static_cast<TOvcRVView*>(RV->FindView("P"));
    struct {
        int Default;
        bool Descending;
        int EngineColumn;
        Texts Lines;
    } cases[] = {
        {0, false, 1, {"I:a2", "I:b1", "I:c0"}}, {2, false, 3, {"I:b1", "I:c0", "I:a2"}},
        {2, true, -3, {"I:a2", "I:c0", "I:b1"}}, {1, true, -2, {"I:a2", "I:b1", "I:c0"}},
        {3, false, 1, {"I:a2", "I:b1", "I:c0"}}, {3, true, 1, {"I:a2", "I:b1", "I:c0"}},
        {-1, true, 1, {"I:a2", "I:b1", "I:c0"}}, {9, false, 1, {"I:a2", "I:b1", "I:c0"}},
    };
    for (const auto& c : cases) {
        p->SetDefaultSortColumn(c.Default);
        p->SetDefaultSortDescending(c.Descending);
        RV->SetActiveView("G");
        RV->SetActiveView("P");
        EXPECT_EQ(RV->Engine().SortColumn(), c.EngineColumn) << c.Default << (c.Descending ? " desc" : "");
        EXPECT_EQ(Lines(), c.Lines) << c.Default << (c.Descending ? " desc" : "");
        const int arrowed = std::abs(c.EngineColumn) - 1;
        EXPECT_EQ(RV->Header()->GetSection(arrowed)->ImageIndex(), c.EngineColumn > 0 ? 0 : 1) << c.Default;
    }
}

// The view's cached indexes belong to the view, whatever its name: renamed
// it keeps them, freed it takes them along, and a new view under its old
// name starts its own.
TEST_F(RvControl, ARenamedViewKeepsItsIndexesAndTakesThemWhenFreed) {
    AddRows("b1 a2 a1");
    Show();
    RV->SetActiveView("G");
    RV->SetActiveView("P");
    TOvcAbstractRvView* g = RV->FindView("G");
    g->SetName("H");
    RV->FindView("P")->SetName("Q");  // the active view: shown again under its new name
    EXPECT_EQ(RV->ActiveView(), "Q");
    EXPECT_EQ(RV->Engine().IndexKeys(), (std::vector<AnsiString>{"H%1", "Q%1"}));
    AddView("G", "Otra", {{"Y"}, {"X"}});
    RV->SetActiveView("G");
    EXPECT_EQ(Lines(), (Texts{"I:a1", "I:b1", "I:a2"})) << "sorted on Y, not the old G's groups";
    g->Free();
    EXPECT_EQ(RV->Engine().IndexKeys(), (std::vector<AnsiString>{"G%1", "Q%1"}));
    AddRows("c0");  // the update walks every cached index
    EXPECT_EQ(Lines(), (Texts{"I:c0", "I:a1", "I:b1", "I:a2"}));
    RV->SetActiveView("Q");
    EXPECT_EQ(Lines(), (Texts{"I:a1", "I:a2", "I:b1", "I:c0"}));
}

// Each owner-drawn cell is told the selection of its own line: "*" after a
// line's text when every owner-drawn cell of it was told it is selected,
// "?" when they were told different things.
struct OwnerDrawCase {
    const char* Name;
    const char* View;
    bool MultiSelect;
    std::vector<int> Selected;
    int Focus;
    Texts Told;
};

class RvOwnerDraw : public RvFixture, public ::testing::WithParamInterface<OwnerDrawCase> {};

TEST_P(RvOwnerDraw, EachCellIsToldItsOwnLinesSelection) {
    const OwnerDrawCase& c = GetParam();
    AddRows("a1 a2 b1");
    for (const char* name : {"G", "P"}) {
        auto* v = static_cast<TOvcRVView*>(RV->FindView(name));
        for (int i = 0; i < v->ViewFields()->Count(); ++i) v->GetViewField(i)->SetOwnerDraw(true);
    }
    std::map<std::string, std::set<bool>> told;
    RV->OnDrawViewFieldEx = [&](TObject*, TCanvas*, TOvcRvField*, TOvcRvViewField*, uint32_t&,
                                bool IsSelected, bool IsGroupLine, void* Data, const TRect&,
                                const AnsiString&, const AnsiString&, bool&) {
        auto* row = static_cast<Row*>(Data);
        told[IsGroupLine ? "G:" + row->X : "I:" + row->Name].insert(IsSelected);
    };
    RV->SetMultiSelect(c.MultiSelect);
    Show();
    RV->SetActiveView(c.View);
    RV->ExpandAll(true);
    RV->ListBox()->SetItemIndex(c.Focus);
    if (c.MultiSelect) {
        RV->SelectAll(false);
        for (int line : c.Selected) RV->SetSelected(line, true);
    }
    told.clear();
    RV->ListBox()->Invalidate();
    Run();
    Texts texts;
    for (const auto& [line, values] : told)
        texts.push_back(line + (values.size() > 1 ? "?" : (*values.begin() ? "*" : "")));
    EXPECT_EQ(texts, c.Told);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RvOwnerDraw,
    ::testing::Values(
        OwnerDrawCase{"SingleSelectOnlyTheFocusedLine", "P", false, {}, 1, {"I:a1", "I:a2*", "I:b1"}},
        OwnerDrawCase{"MultiSelectEachLineItsOwn", "P", true, {0, 2}, 1, {"I:a1*", "I:a2", "I:b1*"}},
        OwnerDrawCase{"AGroupLineAndItsItems", "G", true, {3}, 1, {"G:a", "G:b*", "I:a1", "I:a2", "I:b1*"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(RvControl, ViewsAndWidthsGoThroughAStore) {
    auto* store = NewComponent<TMemoryStore>(F);
    TOvcRVView* g = static_cast<TOvcRVView*>(RV->FindView("G"));
    g->GetViewField(1)->SetWidth(120);
    RV->SaveViewToStorage(store, g);
    auto& s = store->Sections;
    EXPECT_EQ(s["RV"]["ViewFields"], "3");
    EXPECT_EQ(s["RV"]["Title"], "Grupos");
    EXPECT_EQ(s["RV"]["ShwGrpTot"], "1");
    EXPECT_EQ(s["RV_0"]["GroupBy"], "1");
    EXPECT_EQ(s["RV_1"]["Width"], "120");
    EXPECT_EQ(s["RV_2"]["CompTotals"], "1");
    EXPECT_EQ(s["RV_2"]["FieldName"], "N");
    EXPECT_EQ(s["RV_0"]["Width"], "50") << "the report field's default width";
    // Loaded into another report view's empty view.
    auto* other = NewComponent<TOvcReportView>(F);
    for (const char* n : {"X", "Y", "N"}) static_cast<TOvcRvField*>(other->Fields()->Add())->SetName(n);
    auto* v = static_cast<TOvcRVView*>(other->Views()->Add());
    v->SetName("Q");
    s["RV"].erase("DefSort");
    v->LoadFromStorage(store, "RV");
    ASSERT_EQ(v->ViewFields()->Count(), 3);
    EXPECT_EQ(v->GetViewField(0)->Name(), "G_X");
    EXPECT_TRUE(v->GetViewField(0)->GroupBy());
    EXPECT_EQ(v->GetViewField(1)->GetWidth(), 120);
    EXPECT_EQ(v->DefaultSortColumn(), 1) << "a missing DefSort reads as 1";
    EXPECT_EQ(v->Title(), "Grupos");
    // A view field whose report field does not exist fails.
    s["RV_0"]["FieldName"] = "Nada";
    auto* w = static_cast<TOvcRVView*>(other->Views()->Add());
    w->SetName("W");
    EXPECT_THROW(w->LoadFromStorage(store, "RV"), EReportViewError);
    // Column widths of the active view, in the section of form, view and report view.
    RV->SetFieldWidthStore(store);
    Show();
    RV->SetActiveView("G");
    EXPECT_EQ(RV->WidthSection(), "F.RV.G");
    RV->Header()->GetSection(2)->SetWidth(77);
    RV->ResizeColumn();
    RV->SetActiveView("P");
    EXPECT_EQ(s["F.RV.G"]["2"], "77");
}

TEST_F(RvControl, ViewFieldsFollowTheirFieldsNameAndWidth) {
    Show();
    RV->SetActiveView("G");
    TOvcRVView* g = RV->ActiveViewObject();
    EXPECT_EQ(g->GetViewField(1)->GetWidth(), 50);
    g->GetViewField(1)->SetWidth(120);
    EXPECT_EQ(RV->Header()->GetSection(1)->Width(), 120) << "at once";
    EXPECT_TRUE(RV->WidthChanged());
    RV->GetField(1)->SetName("Y2");
    EXPECT_EQ(g->GetViewField(1)->FieldName(), "Y2");
    EXPECT_EQ(static_cast<TOvcRVView*>(RV->FindView("P"))->GetViewField(1)->FieldName(), "Y2");
    // A copy of a view gets free names.
    auto* copy = static_cast<TOvcRVView*>(RV->Views()->Add());
    copy->Assign(g);
    EXPECT_EQ(copy->Name(), "G_1");
    EXPECT_EQ(copy->GetViewField(0)->Name(), "G_X_1");
}

TEST_F(RvControl, TitlesAndViewsTellThePickers) {
    std::vector<TRvChangeEvent> told;
    int selects = 0;
    RV->OnViewSelect = [&](TObject*) { ++selects; };
    RV->RegisterChangeNotification(F, [&](TOvcCustomReportView*, TRvChangeEvent E) { told.push_back(E); });
    Show();
    RV->SetActiveView("G");
    RV->ActiveViewObject()->SetTitle("Otra");
    EXPECT_EQ(RV->ActiveView(), "G");
    EXPECT_EQ(RV->ActiveTitle(), "Otra");
    // A new view is told when made and again when it takes its title.
    AddView("Z", "Zeta", {{"X"}});
    RV->FindView("Z")->Free();
    EXPECT_EQ(told, (std::vector<TRvChangeEvent>{rvViewSelect, rvViewSelect, rvViewSelect, rvViewDestroy,
                                                 rvViewCreate, rvViewCreate, rvViewDestroy, rvViewCreate,
                                                 rvViewDestroy}));
    EXPECT_EQ(selects, 3);
    RV->UnRegisterChangeNotification(F);
    EXPECT_THROW(RV->UnRegisterChangeNotification(F), Exception);
}

TEST_F(RvControl, PlainViewDefaultsAndErrors) {
    RV->OnGetFieldAsString = nullptr;
    EXPECT_EQ(RV->GetFieldAsString(nullptr, 0), "[0]");
    RV->OnEnumerate = [](TObject*, void*, bool&, void*) {};
    EXPECT_THROW(RV->EnumerateSelected(nullptr), ENotMultiSelect);
    RV->OnEnumerate = nullptr;
    EXPECT_THROW(RV->Enumerate(nullptr), EReportViewError);
}

TEST_F(RvControl, ColumnsWiderThanTheViewScrollSideways) {
    AddView("W", "Ancha", {{"X", false, false, 100}, {"Y", false, false, 100}, {"N", false, false, 100}});
    RV->SetAlign(alNone);
    RV->SetBounds(0, 0, 200, 150);
    RV->SetScrollBars(ssBoth);
    Show();
    RV->SetActiveView("W");
    EXPECT_EQ(RV->HExtent(), 300 - RV->ClientWidth() + 20);
    RV->Perform(WM_HSCROLL, WPARAM(SB_THUMBPOSITION | (120 << 16)));
    EXPECT_EQ(RV->HScrollPos(), std::min(120, RV->HExtent()));
    EXPECT_EQ(RV->Header()->Left(), -RV->HScrollPos()) << "the header moves with the body";
    RV->Perform(WM_HSCROLL, WPARAM(SB_THUMBPOSITION));
    EXPECT_EQ(RV->Header()->Left(), 0);
}

TEST_F(RvControl, ACutCellShowsItsTextAsAHintUntilThreeSecondsPass) {
    auto rows = AddRows("a1");
    rows[0]->Y = "un texto bastante largo para la columna";
    RV->ChangeData(rows[0]);
    RV->SetController(Ctl);
    Show();
    RV->SetActiveView("P");
    Run();
    TOvcRVListBox* lb = RV->ListBox();
    auto rest = [&](TPoint P) {
        Ui.MoveTo(lb->ClientToScreen(P));
        Run();
        Clock.Advance(300);
        Run();
    };
    auto showing = [&] {
        return RV->HintWindow() && RV->HintWindow()->HandleAllocated() && RV->HintWindow()->Visible();
    };
    rest(TPoint(20, 7));  // the X cell: "a" fits
    EXPECT_FALSE(showing());
    rest(TPoint(70, 7));  // the Y cell is cut
    ASSERT_TRUE(showing());
    EXPECT_EQ(RV->HintWindow()->Caption(), "un texto bastante largo para la columna");
    Clock.Advance(3000);
    Run();
    EXPECT_FALSE(showing()) << "gone after three seconds";
    EXPECT_TRUE(RV->HintSuppressed());
    rest(TPoint(70, 9));  // only one coordinate moved
    EXPECT_FALSE(showing());
    rest(TPoint(72, 8));
    EXPECT_TRUE(showing()) << "back after a move in both directions";
}

TEST_F(RvControl, ScaledColumnsFitTheirTexts) {
    auto rows = AddRows("a1 b2");
    rows[1]->Y = "mucho mas ancho";
    RV->ChangeData(rows[1]);
    Show();
    RV->SetActiveView("G");
    RV->ScaleColumnWidths();
    TCanvas* c = RV->ListBox()->Canvas();
    c->SetFont(RV->Font());
    TOvcRVView* g = RV->ActiveViewObject();
    EXPECT_EQ(g->GetViewField(0)->GetWidth(), 10 + c->TextWidth("W"))
        << "a group column, whatever its caption";
    EXPECT_EQ(g->GetViewField(1)->GetWidth(), c->TextWidth("mucho mas ancho") + c->TextWidth("W"));
}

TEST_F(RvControl, ASwitchOfViewsClearsTheSelectionOfEveryCachedIndex) {
    AddRows("a1 a2 b1");
    RV->SetMultiSelect(true);
    Show();
    RV->SetActiveView("G");
    RV->SetSelected(0, true);  // group a
    EXPECT_EQ(RV->GetSelectionCount(), 2);
    RV->SetActiveView("P");
    RV->SetActiveView("G");
    EXPECT_FALSE(RV->GetSelected(0)) << "the group selected before does not come back";
    EXPECT_EQ(RV->GetSelectionCount(), 0);
}

TEST_F(RvControl, AFieldFreedWhileNamedUnbindsItsViewFields) {
    AddRows("a1 b2");
    Show();
    RV->SetActiveView("P");
    AddView("S", "Solo", {{"X"}, {"N"}});
    RV->SetActiveView("S");
    RV->GetField(1)->Free();  // Y: P names it, S does not
    EXPECT_EQ(RV->ActiveView(), "S") << "the view that did not show it stays";
    EXPECT_EQ(Lines(), (Texts{"I:a1", "I:b2"}));
    auto* p = static_cast<TOvcRVView*>(RV->FindView("P"));
    EXPECT_EQ(p->GetViewField(1)->BoundField(), nullptr);
    RV->SetActiveView("P");
    EXPECT_EQ(RV->Header()->GetSectionCount(), 2) << "a view field without its field shows no column";
    try {
        RV->SetSortColumn(1);
        ADD_FAILURE() << "no error";
    } catch (const EReportViewError& e) {
        EXPECT_EQ(e.Message(), "Unable to resolve view field Y");
    }
}

TEST_F(RvControl, LoadingAViewAppendsToItsViewFields) {
    auto* store = NewComponent<TMemoryStore>(F);
    auto* g = static_cast<TOvcRVView*>(RV->FindView("G"));
    RV->SaveViewToStorage(store, g);
    auto* v = static_cast<TOvcRVView*>(RV->Views()->Add());
    v->SetName("L");
    store->Sections["RV_0"]["Name"] = "L0";
    store->Sections["RV_1"]["Name"] = "L1";
    store->Sections["RV_2"]["Name"] = "L2";
    v->LoadFromStorage(store, "RV");
    EXPECT_EQ(v->ViewFields()->Count(), 3);
    for (int i = 0; i < 3; ++i) store->Sections["RV_" + std::to_string(i)]["Name"] = "M" + std::to_string(i);
    v->LoadFromStorage(store, "RV");
    EXPECT_EQ(v->ViewFields()->Count(), 6) << "the fields there stay";
}

}  // namespace
