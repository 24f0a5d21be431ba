// The report view's engine without a window: whole line layouts for
// grouping, sorting, filtering, expansion, selection and the update queues,
// its errors, and a reference model that must give the same layouts for
// random sequences of changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <sstream>

#include "RvModel.h"
#include "reportview/OvcExcpt.h"

using namespace rvtest;

namespace {

using Lines = std::vector<std::string>;

// Rows named like "a1": X is the letter, Y the rest up to a "." (which
// tells rows apart); N as given (else the place in Names, from 1).
std::vector<Row*> MakeRows(Host& H, const std::string& Names, std::vector<int> N = {}) {
    std::istringstream in(Names);
    std::vector<Row*> rows;
    std::string name;
    for (size_t i = 0; in >> name; ++i)
        rows.push_back(H.NewRow(name, name.substr(0, 1), name.substr(1, name.find('.') - 1),
                                i < N.size() ? N[i] : int(i) + 1));
    return rows;
}

void AddAll(Host& H, const std::vector<Row*>& Rows, bool Batch = true) {
    if (Batch) H.Engine.BeginUpdateIndex();
    for (Row* r : Rows) H.Engine.AddDataPrim(r);
    if (Batch) H.Engine.EndUpdateIndex();
}

// Views used throughout: grouped on X; grouped on X then Y; plain.
void StandardViews(Host& H) {
    H.AddView("G", {{0, true}, {1}, {2, false, true}});
    H.AddView("GG", {{0, true}, {1, true}, {2, false, true}});
    H.AddView("P", {{0}, {1}, {2, false, true}});
}

struct LayoutCase {
    const char* Name;
    const char* View;
    const char* Rows;
    int SortColumn;
    bool Expand;
    Lines Expected;
};

class RvEngineLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RvEngineLayout, LinesAreAsTheViewArrangesThem) {
    const LayoutCase& c = GetParam();
    Host h;
    StandardViews(h);
    AddAll(h, MakeRows(h, c.Rows));
    h.Engine.SetActiveIndexerView(c.View);
    h.Engine.SetInternalSortColumn(c.SortColumn);
    if (c.Expand) h.Engine.ExpandAll(true);
    EXPECT_EQ(h.Lines(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RvEngineLayout,
    ::testing::Values(
        LayoutCase{"OneLevelCollapsed", "G", "b1 a2 a1", 1, false, {"G:a", "G:b"}},
        LayoutCase{"OneLevelExpanded", "G", "b1 a2 a1", 1, true, {"G:a+", "I:a1", "I:a2", "G:b+", "I:b1"}},
        LayoutCase{"OneLevelDescending", "G", "b1 a2 a1", -1, true, {"G:b+", "I:b1", "G:a+", "I:a2", "I:a1"}},
        LayoutCase{"TwoLevels",
                   "GG",
                   "b1 a2 a1 a1.x",
                   1,
                   true,
                   {"G:a+", "G:a/1+", "I:a1", "I:a1.x", "G:a/2+", "I:a2", "G:b+", "G:b/1+", "I:b1"}},
        LayoutCase{"PlainOnSecondColumn", "P", "b1 a2 c0", 2, false, {"I:c0", "I:b1", "I:a2"}},
        LayoutCase{"GroupsSortedOnAnInnerColumn",
                   "G",
                   "a3 b1 a2",
                   2,
                   true,
                   {"G:b+", "I:b1", "G:a+", "I:a2", "I:a3"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RvEngine, ReversingTheSortColumnComparesNothing) {
    Host h;
    StandardViews(h);
    AddAll(h, MakeRows(h, "b1 a2 a1 c5 c4"));
    h.Engine.SetActiveIndexerView("G");
    h.Engine.ExpandAll(true);
    int compares = h.Compares;
    h.Engine.SetInternalSortColumn(-1);
    EXPECT_EQ(h.Compares, compares) << "the direction is reversed by exchanges";
    EXPECT_EQ(h.Lines(), (Lines{"G:c+", "I:c5", "I:c4", "G:b+", "I:b1", "G:a+", "I:a2", "I:a1"}));
    EXPECT_EQ(h.SortingChanged, 1);
    h.Engine.SetInternalSortColumn(2);
    EXPECT_GT(h.Compares, compares);
    EXPECT_EQ(h.Engine.SortColumn(), 2);
}

TEST(RvEngine, AColumnThatCannotSortGivesWayToTheFirstThatCan) {
    struct Case {
        std::vector<bool> CanSort;
        int Asked, Read;
        Lines Expected;
    };
    for (const Case& c : {Case{{true, false, true}, 2, 1, {"I:a2", "I:b1", "I:c0"}},
                          Case{{false, false, true}, 1, 3, {"I:c0", "I:a2", "I:b1"}},
                          Case{{true, true, true}, -2, -2, {"I:a2", "I:b1", "I:c0"}},
                          Case{{false, false, false}, 2, 0, {"I:c0", "I:a2", "I:b1"}}}) {
        Host h;
        h.CanSort = c.CanSort;
        StandardViews(h);
        // Rows with N 0, 2, 1: c0 is the smallest N.
        AddAll(h, MakeRows(h, "b1 a2 c0", {2, 1, 0}));
        h.Engine.SetActiveIndexerView("P");
        h.Engine.SetInternalSortColumn(c.Asked);
        EXPECT_EQ(h.Engine.SortColumn(), c.Read);
        EXPECT_EQ(h.Lines(), c.Expected) << "asked " << c.Asked;
    }
}

TEST(RvEngine, GroupsSortOnTheirTotals) {
    Host h;
    h.AddView("T", {{0, true}, {2, false, true}});
    // Totals: a 10, b 3, c 7.
    AddAll(h, MakeRows(h, "a1 a2 b1 c1 c2", {4, 6, 3, 5, 2}));
    h.Engine.SetActiveIndexerView("T");
    h.Engine.SetInternalSortColumn(2);
    EXPECT_EQ(h.Lines(), (Lines{"G:b", "G:c", "G:a"}));
    EXPECT_EQ(h.Engine.Total(h.Engine.GetGroupRef(2), 2), 10);
    EXPECT_EQ(h.Engine.Total(h.Engine.GetTotalRef(), 2), 20);
    h.Engine.SetInternalSortColumn(-2);
    EXPECT_EQ(h.Lines(), (Lines{"G:a", "G:c", "G:b"}));
    h.Engine.ExpandAll(true);
    h.Engine.SetInternalSortColumn(1);
    h.Engine.SetInternalSortColumn(2);
    EXPECT_EQ(h.Lines(), (Lines{"G:b+", "I:b1", "G:c+", "I:c2", "I:c1", "G:a+", "I:a1", "I:a2"}))
        << "items inside the groups sort on their own values";
}

TEST(RvEngine, TheFilterDecidesOnAdditionAndOnEveryChange) {
    Host h;
    h.AddView("F", {{0}, {1}, {2}}, 0);
    auto rows = MakeRows(h, "a1 b1 c1 d1", {2, 3, 4, 5});
    AddAll(h, rows);
    h.Engine.SetActiveIndexerView("F");
    EXPECT_EQ(h.Lines(), (Lines{"I:a1", "I:c1"}));
    rows[1]->N = 8;
    rows[2]->N = 7;
    h.Engine.ChangeDataPrim(rows[1]);
    h.Engine.ChangeDataPrim(rows[2]);
    EXPECT_EQ(h.Lines(), (Lines{"I:a1", "I:b1"}));
    EXPECT_EQ(h.Engine.ItemCount(), 4) << "filtered items stay items";
}

TEST(RvEngine, ExpansionNoticesGiveTheDeltaAndTheLineAfterTheGroup) {
    Host h;
    StandardViews(h);
    AddAll(h, MakeRows(h, "a1 b1 b2 b3 c1"));
    h.Engine.SetActiveIndexerView("G");
    EXPECT_EQ(h.Engine.GetLines(), 3);
    TOvcRvIndexGroup* b = h.Engine.GetGroupRef(1);
    h.Changed.clear();
    h.Engine.SetExpanded(b, true);
    h.Engine.SetExpanded(b, false);
    h.Engine.SetExpanded(b, false);
    EXPECT_EQ(h.Changed, (std::vector<std::pair<int, int>>{{3, 2}, {-3, 2}}))
        << "an unchanged group tells nothing";
    EXPECT_TRUE(h.Engine.ExpansionChanged);
    // The edge case of two groups, the first collapsed.
    h.Engine.SetExpanded(b, true);
    EXPECT_EQ(h.Engine.GetLines(), 6);
    EXPECT_TRUE(h.Engine.GetIsGroup(0));
    EXPECT_TRUE(h.Engine.GetIsGroup(1));
    EXPECT_EQ(h.Engine.GetDataAtLine(1), h.Rows[1].get());
    EXPECT_EQ(h.Engine.GetElementAtLine(2), nullptr);
    EXPECT_EQ(h.Engine.GetOffsetOfGroup(b), 2);
    EXPECT_EQ(h.Engine.GetGroupColumn(1), 0);
    EXPECT_EQ(h.Engine.GetOffsetOfData(h.Rows[0].get()), -1) << "inside a collapsed group";
    EXPECT_THROW(h.Engine.GetGroupRef(2), EItemIsNotGroup);
    EXPECT_EQ(h.Engine.GetDataAtLine(6), nullptr);
    h.Engine.MakeVisible(h.Rows[0].get());
    EXPECT_EQ(h.Engine.GetOffsetOfData(h.Rows[0].get()), 1);
    h.Changed.clear();
    h.Engine.ExpandAll(false);
    EXPECT_EQ(h.Lines(), (Lines{"G:a", "G:b", "G:c"})) << "the root stays expanded";
    EXPECT_EQ(h.Changed, (std::vector<std::pair<int, int>>{{-1, -1}}));
}

TEST(RvEngine, UpdatesQueueUntilTheOutermostEnd) {
    Host h;
    StandardViews(h);
    h.Engine.SetActiveIndexerView("P");
    int notices = h.WillChange;
    h.Engine.BeginUpdateIndex();
    h.Engine.BeginUpdateIndex();
    std::vector<Row*> rows;
    for (int i = 0; i < 1000; ++i) rows.push_back(h.NewRow("r" + std::to_string(i), "x", "", i));
    for (Row* r : rows) h.Engine.AddDataPrim(r);
    EXPECT_THROW(h.Engine.GetLines(), EUpdatePending);
    EXPECT_THROW(h.Engine.SetInternalSortColumn(2), EUpdatePending);
    h.Engine.EndUpdateIndex();
    EXPECT_EQ(h.WillChange, notices) << "still pending";
    h.Engine.EndUpdateIndex();
    EXPECT_EQ(h.WillChange, notices + 1) << "one update for the whole batch";
    EXPECT_EQ(h.Engine.GetLines(), 1000);
}

TEST(RvEngine, ItemsAddedOneByOneKeepTheirOrderAndABatchReversesIt) {
    // No field can sort: the element order is the order items were placed in.
    for (bool batch : {false, true}) {
        Host h;
        h.CanSort = {false, false, false};
        StandardViews(h);
        h.Engine.SetActiveIndexerView("P");
        AddAll(h, MakeRows(h, "a1 b1 c1"), batch);
        Lines expected = batch ? Lines{"I:c1", "I:b1", "I:a1"} : Lines{"I:a1", "I:b1", "I:c1"};
        EXPECT_EQ(h.Lines(), expected);
    }
}

TEST(RvEngine, AFewChangesStayInPlaceAndManyAreTakenOutAndPutBack) {
    // Unsorted, so a re-placed item shows by going to the end of its group.
    for (int changed : {1, 2}) {
        Host h;
        h.CanSort = {false, false, false};
        StandardViews(h);
        h.Engine.SetActiveIndexerView("G");
        std::vector<Row*> rows;
        for (int i = 0; i < 30; ++i)
            rows.push_back(h.NewRow("a" + std::to_string(i), "a", std::to_string(i)));
        AddAll(h, rows, false);
        h.Engine.ExpandAll(true);
        h.Engine.BeginUpdateIndex();
        for (int i = 0; i < changed; ++i) {
            rows[size_t(i)]->Y = "changed";
            h.Engine.ChangeDataPrim(rows[size_t(i)]);
        }
        h.Engine.EndUpdateIndex();
        Lines lines = h.Lines();
        if (changed == 1) {
            EXPECT_EQ(lines[1], "I:a0") << "1 x 20 is not above 30: checked in place";
        } else {
            EXPECT_EQ(lines[1], "I:a2") << "2 x 20 > 30: both taken out and put back";
            EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"I:a1", "I:a0"}));
        }
    }
}

TEST(RvEngine, AnItemWhoseOuterKeyChangedMovesToItsNewHeading) {
    // Grouped on X then Y: the item keeps its Y, so the innermost key alone
    // would say it is still in place.
    Host h;
    StandardViews(h);
    h.Engine.SetActiveIndexerView("GG");
    std::vector<Row*> rows;
    for (int i = 0; i < 25; ++i) rows.push_back(h.NewRow("a" + std::to_string(i), "a", "p", i));
    rows.push_back(h.NewRow("b0", "b", "p"));
    AddAll(h, rows);
    rows[3]->X = "b";
    h.Engine.ChangeDataPrim(rows[3]);
    h.Engine.ExpandAll(true);
    Lines lines = h.Lines();
    auto at = std::find(lines.begin(), lines.end(), "I:a3");
    EXPECT_GT(at - std::find(lines.begin(), lines.end(), "G:b/p+"), 0) << "under b/p now";
    EXPECT_EQ(lines.back(), "I:a3");
}

// An outer group and two or more of its sub-groups emptied in one update:
// every emptied group is freed, none before a group under it (the sanitizer
// build sees a group that writes through its freed parent).
struct EmptyingCase {
    const char* Name;
    const char* View;
    const char* Rows;
    const char* Going;  // the rows removed, or moved to heading b
    bool Remove;
    Lines Expected;
};

class RvEngineEmptying : public ::testing::TestWithParam<EmptyingCase> {};

TEST_P(RvEngineEmptying, NestedGroupsEmptiedInOneUpdateGoWithoutATrace) {
    const EmptyingCase& c = GetParam();
    Host h;
    StandardViews(h);
    h.AddView("GGG", {{0, true}, {1, true}, {2, true, true}});
    auto rows = MakeRows(h, c.Rows);
    AddAll(h, rows);
    h.Engine.SetActiveIndexerView(c.View);
    std::istringstream going(c.Going);
    h.Engine.BeginUpdateIndex();
    for (std::string name; going >> name;) {
        Row* r = *std::find_if(rows.begin(), rows.end(), [&](Row* R) { return R->Name == name; });
        if (c.Remove) h.Engine.RemoveDataPrim(r);
        else {
            r->X = "b";
            h.Engine.ChangeDataPrim(r);
        }
    }
    h.Engine.EndUpdateIndex();
    h.Engine.ExpandAll(true);
    EXPECT_EQ(h.Lines(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RvEngineEmptying,
    ::testing::Values(
        EmptyingCase{"TwoLevelsRemoved", "GG", "a1 a2 b1", "a1 a2", true, {"G:b+", "G:b/1+", "I:b1"}},
        EmptyingCase{
            "TwoLevelsRemovedOtherOrder", "GG", "a1 a2 b1", "a2 a1", true, {"G:b+", "G:b/1+", "I:b1"}},
        EmptyingCase{"TwoLevelsMoved",
                     "GG",
                     "a1 a2 b1",
                     "a1 a2",
                     false,
                     {"G:b+", "G:b/1+", "I:a1", "I:b1", "G:b/2+", "I:a2"}},
        EmptyingCase{"ThreeLevelsRemoved",
                     "GGG",
                     "a1 a1.x a2 b1",
                     "a1 a1.x a2",
                     true,
                     {"G:b+", "G:b/1+", "G:b/1/4+", "I:b1"}},
        EmptyingCase{"ThreeLevelsMoved",
                     "GGG",
                     "a1 a1.x a2 b1",
                     "a1.x a2 a1",
                     false,
                     {"G:b+", "G:b/1+", "G:b/1/1+", "I:a1", "G:b/1/2+", "I:a1.x", "G:b/1/4+", "I:b1",
                      "G:b/2+", "G:b/2/3+", "I:a2"}},
        EmptyingCase{"EverythingRemoved", "GGG", "a1 a1.x a2 b1", "b1 a1 a2 a1.x", true, {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RvEngine, AnItemAddedAndRemovedInOneUpdateIsNeverIndexed) {
    Host h;
    StandardViews(h);
    h.Engine.SetActiveIndexerView("P");
    auto rows = MakeRows(h, "a1 b1 c1");
    h.Engine.BeginUpdateIndex();
    for (Row* r : rows) h.Engine.AddDataPrim(r);
    h.Engine.ChangeDataPrim(rows[2]);
    h.Engine.RemoveDataPrim(rows[1]);
    h.Engine.RemoveDataPrim(rows[2]);
    h.Rows.erase(h.Rows.begin() + 1, h.Rows.end());  // the removed rows are freed, as a plain view's user may
    h.Engine.EndUpdateIndex();
    EXPECT_EQ(h.Lines(), (Lines{"I:a1"}));
    EXPECT_EQ(h.Engine.ItemCount(), 1);
}

TEST(RvEngine, ARemovedItemIsNeverComparedAgain) {
    // The group's first item is removed and freed in the update that adds
    // its neighbours: the removal is applied before anything is placed.
    Host h;
    StandardViews(h);
    h.Engine.SetActiveIndexerView("G");
    auto rows = MakeRows(h, "a1 b1");
    AddAll(h, rows);
    h.Engine.BeginUpdateIndex();
    h.Engine.RemoveDataPrim(rows[0]);
    h.Rows.erase(h.Rows.begin());
    h.Engine.AddDataPrim(h.NewRow("a2", "a", "2"));
    rows[1]->Y = "3";
    h.Engine.ChangeDataPrim(rows[1]);
    h.Engine.EndUpdateIndex();
    h.Engine.ExpandAll(true);
    EXPECT_EQ(h.Lines(), (Lines{"G:a+", "I:a2", "G:b+", "I:b1"}));
}

TEST(RvEngine, ItemErrorsLeaveTheEngineAsItWas) {
    Host h;
    StandardViews(h);
    h.Engine.SetActiveIndexerView("P");
    auto rows = MakeRows(h, "a1 b1");
    h.Engine.AddDataPrim(rows[0]);
    int notices = h.WillChange;
    try {
        h.Engine.RemoveDataPrim(rows[1]);
        ADD_FAILURE() << "no error";
    } catch (const EItemNotFound& e) {
        EXPECT_NE(e.Message().find("Specified report view data item"), std::string::npos);
    }
    EXPECT_THROW(h.Engine.ChangeDataPrim(rows[1]), EItemNotFound);
    EXPECT_THROW(h.Engine.AddDataPrim(rows[0]), EItemAlreadyAdded);
    EXPECT_EQ(h.WillChange, notices);
    EXPECT_EQ(h.Lines(), (Lines{"I:a1"}));
    // A pending addition or removal takes no change.
    h.Engine.BeginUpdateIndex();
    h.Engine.AddDataPrim(rows[1]);
    h.Engine.ChangeDataPrim(rows[1]);
    h.Engine.RemoveDataPrim(rows[0]);
    h.Engine.ChangeDataPrim(rows[0]);
    h.Engine.EndUpdateIndex();
    EXPECT_EQ(h.Lines(), (Lines{"I:b1"}));
}

TEST(RvEngine, IndexesAreCachedPerViewAndColumnMagnitude) {
    Host h;
    StandardViews(h);
    h.AddView("GA", {{0}});
    AddAll(h, MakeRows(h, "a1 b2"));
    TRvIndex* g2 = h.Engine.FindIndex("G", 2);
    EXPECT_EQ(h.Engine.FindIndex("G", -2), g2);
    EXPECT_EQ(h.Engine.FindIndex("G", 5), h.Engine.FindIndex("G", -5)) << "beyond the view fields: column 1";
    EXPECT_EQ(h.Engine.FindIndex("G", 5)->SortColumn(), 1);
    h.Engine.FindIndex("GA", 1);
    EXPECT_EQ(h.Engine.IndexKeys(), (std::vector<AnsiString>{"G%1", "G%2", "GA%1"}));
    h.Engine.DeleteViewIndexes("G");
    EXPECT_EQ(h.Engine.IndexKeys(), (std::vector<AnsiString>{"GA%1"}));
    EXPECT_THROW(h.Engine.FindIndex("nada", 1), EUnknownView);
    // Inactive indexes follow every change; the last item gone, only the active one stays.
    h.Engine.SetActiveIndexerView("P");
    h.Engine.RemoveDataPrim(h.Rows[0].get());
    h.Engine.RemoveDataPrim(h.Rows[1].get());
    EXPECT_EQ(h.Engine.IndexKeys(), (std::vector<AnsiString>{"P%1"}));
}

TEST(RvEngine, InactiveIndexesStayCurrent) {
    Host h;
    StandardViews(h);
    auto rows = MakeRows(h, "a1 b1");
    AddAll(h, rows);
    h.Engine.SetActiveIndexerView("G");
    h.Engine.SetActiveIndexerView("P");
    h.Engine.AddDataPrim(h.NewRow("c1", "c", "1"));
    h.Engine.RemoveDataPrim(rows[0]);
    h.Engine.SetActiveIndexerView("G");
    EXPECT_EQ(h.Lines(), (Lines{"G:b", "G:c"}));
}

TEST(RvEngine, TheTemporaryIndexLeavesTheShownOneAlone) {
    Host h;
    StandardViews(h);
    AddAll(h, MakeRows(h, "a1 a2 b1"));
    h.Engine.SetActiveIndexerView("G");
    h.Engine.SetExpanded(h.Engine.GetGroupRef(1), true);
    Lines shown = h.Lines();
    h.Engine.BeginTemporaryIndex(emExpandAll);
    EXPECT_EQ(h.Lines(), (Lines{"G:a+", "I:a1", "I:a2", "G:b+", "I:b1"}));
    EXPECT_THROW(h.Engine.BeginTemporaryIndex(emCollapseAll), EReportViewError);
    h.Engine.EndTemporaryIndex();
    EXPECT_EQ(h.Lines(), shown);
    h.Engine.BeginTemporaryIndex(emCollapseAll);
    EXPECT_EQ(h.Lines(), (Lines{"G:a", "G:b"}));
    h.Engine.EndTemporaryIndex();
    try {
        h.Engine.EndTemporaryIndex();
        ADD_FAILURE() << "no error";
    } catch (const EReportViewError& e) {
        EXPECT_EQ(e.Message(), "Report view is not in temporary index mode");
    }
}

TEST(RvEngine, SelectionFollowsTheGroupsOnTheItemsPath) {
    Host h;
    StandardViews(h);
    h.Engine.MultiSelect = true;
    AddAll(h, MakeRows(h, "a1 a2 a3 b1 b2"));
    h.Engine.SetActiveIndexerView("G");
    h.Engine.ExpandAll(true);
    // A group line selected: its items read selected and are enumerated.
    h.Engine.SetSelected(0, true);
    EXPECT_EQ(h.Lines(), (Lines{"G:a+*", "I:a1*", "I:a2*", "I:a3*", "G:b+", "I:b1", "I:b2"}));
    EXPECT_EQ(h.Enumerate(true), (Lines{"a3", "a2", "a1"}));
    // One item taken off: it reads and enumerates unselected, the others stay.
    h.Engine.SetSelected(2, false);
    EXPECT_EQ(h.Lines(), (Lines{"G:a+", "I:a1*", "I:a2", "I:a3*", "G:b+", "I:b1", "I:b2"}));
    EXPECT_EQ(h.Enumerate(true), (Lines{"a3", "a1"}));
    // Everything, then one item off.
    h.Engine.SelectAll(true);
    h.Engine.SetSelected(5, false);
    EXPECT_EQ(h.Enumerate(true), (Lines{"b2", "a3", "a2", "a1"}));
    EXPECT_EQ(h.Lines(), (Lines{"G:a+*", "I:a1*", "I:a2*", "I:a3*", "G:b+", "I:b1", "I:b2*"}));
    h.Engine.SelectAll(false);
    EXPECT_EQ(h.Enumerate(true), Lines{});
    EXPECT_THROW(h.Engine.SetSelected(7, true), ELineNoOutOfRange);
    h.Engine.MultiSelect = false;
    EXPECT_THROW(h.Engine.GetSelected(0), ENotMultiSelect);
}

TEST(RvEngine, EnumerationOrders) {
    Host h;
    StandardViews(h);
    h.Engine.MultiSelect = true;
    auto rows = MakeRows(h, "a1 a2 b1 c1");
    AddAll(h, rows);
    h.Engine.SetActiveIndexerView("G");
    EXPECT_EQ(h.Enumerate(false), (Lines{"c1", "b1", "a2", "a1"})) << "collapsed groups count too";
    auto ex = [&](bool Backwards, bool Selected, Row* After) {
        h.Visited.clear();
        h.Engine.DoEnumerateEx(Backwards, Selected, After, nullptr);
        Lines names;
        for (Row* r : h.Visited) names.push_back(r->Name);
        return names;
    };
    EXPECT_EQ(ex(false, false, nullptr), (Lines{"a1", "a2", "b1", "c1"}));
    EXPECT_EQ(ex(false, false, rows[1]), (Lines{"b1", "c1"}));
    EXPECT_EQ(ex(true, false, rows[2]), (Lines{"a2", "a1"}));
    h.Engine.SetSelected(1, true);  // b
    EXPECT_EQ(ex(false, true, rows[0]), Lines{}) << "an unselected start is never met";
    h.StopAfter = 2;
    EXPECT_EQ(h.Enumerate(false), (Lines{"c1", "b1"}));
}

TEST(RvEngine, FindPlacesAProbeAndTakesItOutAgain) {
    Host h;
    StandardViews(h);
    AddAll(h, MakeRows(h, "a1 c1 e1"));
    h.Engine.SetActiveIndexerView("P");
    Row probe{"probe", "d", "", 0};
    h.Changed.clear();
    EXPECT_EQ(h.Engine.Find(&probe), 2);
    EXPECT_TRUE(h.Changed.empty()) << "the probe's updates tell nothing";
    EXPECT_EQ(h.Engine.ItemCount(), 3);
    EXPECT_EQ(h.Lines(), (Lines{"I:a1", "I:c1", "I:e1"}));
    EXPECT_EQ(h.Engine.Find(h.Rows[1].get()), 1);
}

TEST(RvEngine, MissingEventsOfAPlainViewAreErrors) {
    EXPECT_EQ(EGetAsFloatNotAsg(30384).Message(), "Unknown") << "the table holds no text for it";
    EXPECT_EQ(EOnCompareNotAsgnd(30382).Message(), "OnCompareFields not assigned");
}

// --- the reference model against the engine ---

std::string Dump(Host& H) {
    std::string s = "\nrows:";
    for (void* p : H.Engine.AllItems()) {
        Row* r = static_cast<Row*>(p);
        s += " " + r->Name + "(" + r->X + r->Y + std::to_string(r->N) + ")";
    }
    return s;
}

std::vector<std::string> Trees(Host& H) {
    std::vector<std::string> trees;
    std::function<std::string(TOvcRvIndexGroup*)> dump = [&](TOvcRvIndexGroup* g) {
        std::string s = "(";
        for (int i = 0; i < g->GetCount(); ++i)
            s += g->HasSubGroups() ? dump(g->GetGroup(i)) : static_cast<Row*>(g->GetElement(i))->Name + " ";
        return s + ")";
    };
    for (const AnsiString& key : H.Engine.IndexKeys()) {
        std::string view = key.substr(0, key.find('%'));
        trees.push_back(key + ": " +
                        dump(H.Engine.FindIndex(view, std::stoi(key.substr(key.find('%') + 1)))->Root()));
    }
    return trees;
}

struct Scenario {
    unsigned Seed;
    std::vector<bool> CanSort;
    int Batch = 12;  // the largest batch of changes in one update
    int Steps = 400;
};

class RvEngineAgainstModel : public ::testing::TestWithParam<Scenario> {};

TEST_P(RvEngineAgainstModel, RandomSequencesGiveTheSameLayouts) {
    const Scenario& s = GetParam();
    std::mt19937 rng(s.Seed);
    auto pick = [&](int N) { return int(rng() % unsigned(N)); };
    Host h;
    h.CanSort = s.CanSort;
    h.Engine.MultiSelect = true;
    h.AddView("G", {{0, true}, {1}, {2, false, true}});
    h.AddView("GG", {{0, true}, {1, true}, {2, false, true}});
    h.AddView("P", {{1}, {0}, {2}});
    h.AddView("F", {{0, true}, {2}, {1}}, 0);
    h.AddView("T", {{0, true}, {2, false, true}});
    h.AddView("GGG", {{0, true}, {1, true}, {2, true, true}});
    Model m(s.CanSort);
    for (auto& v : h.Views) m.AddView(v.get());
    const char* views[] = {"G", "GG", "P", "F", "T", "GGG"};
    const char* xs[] = {"a", "b", "c", "d"};
    const char* ys[] = {"p", "q", "r"};
    std::vector<Row*> live;
    int made = 0;
    h.Engine.SetActiveIndexerView("G");
    m.Activate("G");
    std::string trail;
    auto fresh = [&] {
        Row* r = h.NewRow("r" + std::to_string(made++), xs[pick(4)], ys[pick(3)], pick(6));
        live.push_back(r);
        return r;
    };
    auto change = [&](Row* r) {
        switch (pick(3)) {
        case 0: r->X = xs[pick(4)]; break;
        case 1: r->Y = ys[pick(3)]; break;
        default: r->N = pick(6);
        }
    };
    for (int step = 0; step < s.Steps; ++step) {
        int op = pick(12);
        trail += " " + std::to_string(op);
        if (op <= 3) {
            // A batch of changes in one update.
            h.Engine.BeginUpdateIndex();
            m.Begin();
            int n = 1 + pick(op == 0 ? s.Batch : 4);
            for (int k = 0; k < n; ++k) {
                int what = live.empty() ? 0 : pick(4);
                if (what <= 1) {
                    Row* r = fresh();
                    h.Engine.AddDataPrim(r);
                    m.Add(r);
                } else if (what == 2) {
                    Row* r = live[size_t(pick(int(live.size())))];
                    change(r);
                    h.Engine.ChangeDataPrim(r);
                    m.Change(r);
                } else {
                    size_t i = size_t(pick(int(live.size())));
                    h.Engine.RemoveDataPrim(live[i]);
                    m.Remove(live[i]);
                    live.erase(live.begin() + ptrdiff_t(i));
                }
            }
            h.Engine.EndUpdateIndex();
            m.End();
        } else if (op == 4 && !live.empty()) {
            Row* r = live[size_t(pick(int(live.size())))];
            change(r);
            h.Engine.ChangeDataPrim(r);
            m.Change(r);
        } else if (op == 5) {
            int column = pick(7) - 3;
            trail += "(" + std::to_string(column) + ")";
            h.Engine.SetInternalSortColumn(column);
            m.SetSort(column);
        } else if (op == 6) {
            const char* v = views[pick(6)];
            trail += std::string("(") + v + ")";
            h.Engine.SetActiveIndexerView(v);
            m.Activate(v);
        } else if (op == 7 || op == 8) {
            int lines = h.Engine.GetLines();
            if (lines > 0) {
                int line = pick(lines);
                bool value = pick(2) == 0;
                if (TOvcRvIndexGroup* g = h.Engine.GetElementAtLine(line)) h.Engine.SetExpanded(g, value);
                m.SetExpanded(line, value);
            }
        } else if (op == 9) {
            bool value = pick(3) != 0;
            h.Engine.ExpandAll(value);
            m.ExpandAll(value);
        } else if (op == 10) {
            int lines = h.Engine.GetLines();
            if (lines > 0) {
                int line = pick(lines);
                bool value = pick(2) == 0;
                h.Engine.SetSelected(line, value);
                m.SetSelected(line, value);
            }
        } else if (op == 11) {
            bool value = pick(4) == 0;
            h.Engine.SelectAll(value);
            m.SelectAll(value);
        }
        ASSERT_EQ(Trees(h), m.Trees()) << "step " << step << trail << Dump(h);
        ASSERT_EQ(h.Engine.SortColumn(), m.SortColumn()) << "step " << step << trail;
        const Lines lines = m.Lines();
        ASSERT_EQ(h.Lines(), lines) << "step " << step << trail << Dump(h);
        ASSERT_EQ(h.Enumerate(true), m.EnumerateSelected()) << "step " << step << trail;
        // Each item's line is where the model's lines show it, -1 when hidden.
        std::map<std::string, int> lineOf;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].starts_with("I:"))
                lineOf[lines[i].substr(2, lines[i].find('*') == std::string::npos ? std::string::npos
                                                                                  : lines[i].find('*') - 2)] =
                    int(i);
        for (Row* r : live)
            ASSERT_EQ(h.Engine.GetOffsetOfData(r), lineOf.contains(r->Name) ? lineOf[r->Name] : -1)
                << r->Name << " step " << step;
        for (int line = 0; line < h.Engine.GetLines(); ++line) {
            if (TOvcRvIndexGroup* g = h.Engine.GetElementAtLine(line)) {
                ASSERT_EQ(h.Engine.Total(g, 2), m.GroupTotal(line, 2)) << "line " << line << " step " << step;
            }
        }
    }
}

// Many short sequences rather than a few long ones: a third of them empty
// an outer group and two or more of its sub-groups in one update, which ten
// seeds of 400 steps never did.
std::vector<Scenario> Scenarios() {
    const std::vector<std::vector<bool>> sortable{{true, true, true},    {true, true, true},
                                                  {false, true, true},   {true, false, true},
                                                  {false, false, false}, {true, true, false}};
    std::vector<Scenario> all;
    for (unsigned seed = 1; seed <= 64; ++seed) {
        // Every eighth with hundreds of items, which take longer to gather:
        // large groups and batches on both sides of the 20-times rule.
        const bool large = seed % 8 == 0;
        all.push_back({seed, sortable[seed % sortable.size()], large ? 80 : 12, large ? 400 : 150});
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RvEngineAgainstModel, ::testing::ValuesIn(Scenarios()));

}  // namespace
