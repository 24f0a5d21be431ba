// Printing a report view on the recording printer: bands by print width,
// pages and their header and footer lines, group lines with totals, the
// printing index that leaves the screen's expansion alone, the totals row
// (also when the data ends at a page break) and an abort.
#include <gtest/gtest.h>

#include "RvFixture.h"
#include "platform/gfx/Printers.h"
#include "reportview/OvcExcpt.h"

using namespace rvtest;

namespace {

class RvPrint : public RvFixture {
protected:
    RvPrint() {
        auto printer = std::make_unique<TRecordingPrinter>();
        P = printer.get();
        Override.emplace(std::move(printer));
        RV->OnPrintStatus = [this](TObject*, int32_t Page, bool& Abort) {
            Statuses.push_back(Page);
            Abort = Page == AbortOn;
            // The rows asked from here on belong to this page.
            PageOf.push_back(int(Asked.size()));
        };
        RV->OnGetGroupString = [this](TObject*, int32_t Field, TOvcRvIndexGroup* G, AnsiString& S) {
            S = Format("%.0f", {RV->Total(G, Field)});
            Totals.push_back(G->Parent() ? "group " + S : "all " + S);
        };
    }
    // Rows asked per page, from the status calls.
    std::vector<int> RowsPerPage() {
        std::vector<int> rows;
        for (size_t i = 0; i < PageOf.size(); ++i) {
            const int end = i + 1 < PageOf.size() ? PageOf[i + 1] : int(Asked.size());
            rows.push_back(end - PageOf[i]);
        }
        return rows;
    }
    TRecordingPrinter* P;
    std::optional<TPrinterOverride> Override;
    std::vector<int> Statuses;
    std::vector<int> PageOf;
    std::vector<std::string> Totals;
    int AbortOn = -1;
};

TEST_F(RvPrint, ColumnsBeyondThePageMoveToAnotherBand) {
    // Nine columns of an inch each on an A4 page: seven and the margins after
    // them fit, the eighth starts the second band.
    TOvcRVView* wide = AddView("W", "Ancha", {});
    for (int i = 0; i < 9; ++i) {
        auto* vf = static_cast<TOvcRvViewField*>(wide->ViewFields()->Add());
        vf->SetName("W" + std::to_string(i));
        vf->SetFieldName(i % 3 == 0 ? "X" : (i % 3 == 1 ? "Y" : "N"));
        vf->SetPrintWidth(1440);
    }
    AddRows("a1 b2");
    RV->SetActiveView("W");
    Recording = true;
    RV->Print(pmCurrent, false);
    ASSERT_EQ(P->Documents().size(), 1u);
    EXPECT_EQ(P->Documents()[0].Pages.size(), 2u) << "a page per band";
    EXPECT_EQ(Statuses, (std::vector<int>{1, 1}));
    EXPECT_EQ(RowsPerPage(), (std::vector<int>{2 * 7, 2 * 2})) << "each row asked for the band's columns";
    // Three such columns fit on one page.
    RV->SetActiveView("P");
    for (int i = 0; i < 3; ++i) RV->ActiveViewObject()->GetViewField(i)->SetPrintWidth(1440);
    Statuses.clear();
    RV->Print(pmCurrent, false);
    EXPECT_EQ(P->Documents()[1].Pages.size(), 1u);
    EXPECT_EQ(RV->GetField(0)->PrintBand, 0);
}

TEST_F(RvPrint, PagesBreakAndTellTheirHeaderAndFooterLines) {
    P->SetPaperSize(2100, 600);
    std::string names;
    for (int i = 0; i < 40; ++i) names += "a" + std::to_string(100 + i) + " ";
    AddRows(names);
    RV->SetActiveView("P");
    RV->PrinterProperties()->SetPrintHeaderLines(2);
    RV->PrinterProperties()->SetPrintFooterLines(1);
    std::vector<std::pair<bool, int>> lines;
    RV->OnGetPrintHeaderFooter = [&](TObject*, bool IsHeader, int32_t Line, AnsiString& L, AnsiString&,
                                     AnsiString&, TFontStyles&, TFontStyles&, TFontStyles&) {
        lines.push_back({IsHeader, Line});
        L = "Listado";
    };
    Recording = true;
    RV->Print(pmCurrent, false);
    const size_t pages = P->Documents().at(0).Pages.size();
    ASSERT_GT(pages, 2u);
    EXPECT_EQ(Statuses.size(), pages);
    for (size_t i = 0; i < Statuses.size(); ++i) EXPECT_EQ(Statuses[i], int(i) + 1);
    // Every page: header lines 0 and 1, then its footer line.
    std::vector<std::pair<bool, int>> expected;
    for (size_t i = 0; i < pages; ++i) expected.insert(expected.end(), {{true, 0}, {true, 1}, {false, 0}});
    EXPECT_EQ(lines, expected);
    std::vector<int> rows = RowsPerPage();
    int total = 0;
    for (int r : rows) total += r;
    EXPECT_EQ(total, 40 * 3) << "every row once, with its three columns";
    EXPECT_EQ(rows.front(), rows[1]) << "full pages hold as many rows";
}

TEST_F(RvPrint, CollapsedGroupsPrintTheirTotalsAndTheScreenKeepsItsOwn) {
    AddRows("a1 a2 b1 c1", {4, 5, 6, 7});
    RV->SetActiveView("G");
    RV->SetExpanded(RV->Engine().GetGroupRef(1), true);  // b open on screen
    const std::vector<std::string> shown = Lines();
    RV->Print(pmCollapseAll, false);
    EXPECT_EQ(Totals, (std::vector<std::string>{"group 9", "group 6", "group 7"}));
    EXPECT_EQ(Lines(), shown);
    EXPECT_FALSE(RV->Engine().InTemporaryIndex());
    Totals.clear();
    Recording = true;
    RV->Print(pmExpandAll, false);
    EXPECT_EQ(Asked.size(), 3u + 4u * 2u) << "three group texts, four rows of two columns";
    EXPECT_EQ(Lines(), shown);
}

TEST_F(RvPrint, TheTotalsRowFollowsTheDataEvenAcrossAPageBreak) {
    P->SetPaperSize(2100, 600);
    std::string names;
    for (int i = 0; i < 60; ++i) names += "a" + std::to_string(100 + i) + " ";
    AddRows(names);
    RV->SetActiveView("P");
    Recording = true;
    RV->Print(pmCurrent, false);
    const int perPage = RowsPerPage().front() / 3;
    ASSERT_GT(perPage, 3);
    // As many rows as fill the first page exactly.
    for (size_t i = size_t(perPage); i < Rows.size(); ++i) RV->RemoveData(Rows[i].get());
    TOvcRVView* view = RV->ActiveViewObject();
    view->SetShowFooter(true);
    view->GetViewField(2)->SetComputeTotals(true);
    Statuses.clear();
    Totals.clear();
    RV->Print(pmCurrent, false);
    EXPECT_EQ(Statuses, (std::vector<int>{1, 2})) << "the data ends at the break";
    EXPECT_EQ(Totals.size(), 1u) << "the grand total goes to the next page";
    EXPECT_EQ(P->Documents().back().Pages.size(), 2u);
}

TEST_F(RvPrint, AnAbortLeavesNoDocument) {
    P->SetPaperSize(2100, 600);
    std::string names;
    for (int i = 0; i < 60; ++i) names += "a" + std::to_string(100 + i) + " ";
    AddRows(names);
    RV->SetActiveView("G");
    std::vector<bool> busy;
    RV->OnSignalBusy = [&](TObject*, bool B) { busy.push_back(B); };
    AbortOn = 2;
    RV->Print(pmExpandAll, false);
    EXPECT_TRUE(P->Documents().empty());
    EXPECT_EQ(Statuses, (std::vector<int>{1, 2}));
    EXPECT_FALSE(RV->Engine().InTemporaryIndex());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    // Selected lines only need a multi-select view: the job ends with the error.
    EXPECT_THROW(RV->Print(pmCurrent, true), ENotMultiSelect);
    EXPECT_TRUE(P->Documents().empty());
    EXPECT_FALSE(P->Printing());
}

TEST_F(RvPrint, GroupLinesOfLaterBandsPrintTheirTotalsUnderTheirColumns) {
    // The group column in the first band, a totals column in the second.
    TOvcRVView* wide = AddView("W", "Ancha", {});
    wide->SetShowGroupTotals(true);
    for (int i = 0; i < 9; ++i) {
        auto* vf = static_cast<TOvcRvViewField*>(wide->ViewFields()->Add());
        vf->SetName("W" + std::to_string(i));
        vf->SetFieldName(i == 0 ? "X" : (i == 8 ? "N" : "Y"));
        vf->SetGroupBy(i == 0);
        vf->SetComputeTotals(i == 8);
        vf->SetPrintWidth(1440);
    }
    AddRows("a1 a2 b1", {1, 2, 4});
    RV->SetActiveView("W");
    Recording = true;
    RV->Print(pmCollapseAll, false);
    EXPECT_EQ(RowsPerPage(), (std::vector<int>{2, 0})) << "the group texts print in the first band only";
    EXPECT_EQ(Totals, (std::vector<std::string>{"group 3", "group 4"}))
        << "the totals in the band of their column";
    EXPECT_EQ(RV->GetField(2)->PrintBand, 1);
}

}  // namespace
