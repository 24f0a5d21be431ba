// The data-aware report view over small tables made by the test: report
// fields from the data set's fields, items as record numbers, enumeration
// with the table positioned on each selected record (and editing it), key
// search, typed values, reloading, renaming, the load cap and a reload
// asked from within another view's reload.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/ActnList.h"
#include "reportview/OvcDbRpV.h"
#include "reportview/OvcExcpt.h"
#include "tests/db/DatasetFixture.h"

namespace {

using Texts = std::vector<std::string>;

// The data-set tests' machine, used from a screen test.
class TDbMachine : public DatasetFixture {
public:
    using DatasetFixture::AddRows;
    using DatasetFixture::CreateTable;
    using DatasetFixture::Database;
    using DatasetFixture::NewTable;
    using DatasetFixture::SetUp;
    using DatasetFixture::TearDown;
    void TestBody() override {}
};

class RvDb : public OvcFormTest {
protected:
    void SetUp() override {
        Db.SetUp();
        Db.CreateTable("tipos", {{"N", ftSmallint},
                                 {"NALUM", ftSmallint},
                                 {"GRUPO", ftString, 2},
                                 {"TEXTO", ftString, 20},
                                 {"NOTAS", ftMemo},
                                 {"HORAS", ftFloat},
                                 {"FECHA", ftDate},
                                 {"SELEC", ftBoolean}});
        Db.AddRows("tipos", {{{"N", "1"},
                              {"NALUM", "4"},
                              {"GRUPO", "B"},
                              {"TEXTO", "br"},
                              {"HORAS", "1,5"},
                              {"FECHA", "03/02/2024"},
                              {"SELEC", "T"}},
                             {{"N", "2"}, {"NALUM", "3"}, {"GRUPO", "A"}, {"TEXTO", "ab"}, {"HORAS", "2"}},
                             {{"N", "3"}, {"NALUM", "5"}, {"GRUPO", "B"}, {"TEXTO", "Ac"}, {"HORAS", "0,25"}},
                             {{"N", "4"}, {"NALUM", "1"}, {"GRUPO", "A"}, {"TEXTO", "zz"}}});
        F = NewPlainForm("F", 420, 300);
        Ctl = NewComponent<TOvcController>(F);
        Table = NewComponent<TTable>(F);
        Table->SetDatabaseName("Zelmor");
        Table->SetTableName("tipos");
        Source = NewComponent<TDataSource>(F);
        Source->SetDataSet(Table);
        RV = NewView("RV");
    }
    void TearDown() override {
        F->Free();
        Db.TearDown();
    }
    TOvcDbReportView* NewView(const char* Name) {
        auto* rv = NewComponent<TOvcDbReportView>(F);
        rv->SetName(Name);
        rv->SetBorderStyle(bsNone);
        rv->SetAlign(alClient);
        rv->SetParent(F);
        rv->SetDataSource(Source);
        // Views of form data name report fields that do not exist yet.
        auto* v = static_cast<TOvcRVView*>(rv->Views()->Add());
        v->SetName("A");
        v->SetTitle("Simple");
        v->SetShowGroupTotals(true);
        for (auto [field, group, totals] :
             {std::tuple{"GRUPO", true, false}, std::tuple{"NALUM", false, true},
              std::tuple{"TEXTO", false, false}}) {
            auto* vf = static_cast<TOvcRvViewField*>(v->ViewFields()->Add());
            vf->SetName(std::string("A_") + Name + field);
            vf->SetFieldName(std::string(Name) + field);
            vf->SetGroupBy(group);
            vf->SetComputeTotals(totals);
        }
        auto* p = static_cast<TOvcRVView*>(rv->Views()->Add());
        p->SetName("P");
        p->SetTitle("Plana");
        for (const char* field : {"TEXTO", "N", "FECHA"}) {
            auto* vf = static_cast<TOvcRvViewField*>(p->ViewFields()->Add());
            vf->SetName(std::string("P_") + Name + field);
            vf->SetFieldName(std::string(Name) + field);
        }
        rv->SetActiveView("A");
        return rv;
    }
    // The record numbers on the lines ("G:B" for a group of GRUPO B).
    Texts Lines(TOvcDbReportView* V = nullptr) {
        V = V ? V : RV;
        Texts lines;
        TOvcRvEngine& e = V->Engine();
        for (int i = 0; i < e.GetLines(); ++i) {
            if (TOvcRvIndexGroup* g = e.GetElementAtLine(i))
                lines.push_back("G:" + V->GetFieldAsString(g->GetData(), g->KeyField()));
            else lines.push_back(std::to_string(reinterpret_cast<intptr_t>(e.GetData(i))));
        }
        return lines;
    }
    static void* Item(intptr_t N) { return reinterpret_cast<void*>(N); }

    TDbMachine Db;
    TForm* F = nullptr;
    TOvcController* Ctl = nullptr;
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TOvcDbReportView* RV = nullptr;
};

TEST_F(RvDb, ReportFieldsComeFromTheDataSetsFields) {
    Table->Open();
    Texts names;
    for (int i = 0; i < RV->Fields()->Count(); ++i) names.push_back(RV->Fields()->Item(i)->Name());
    EXPECT_EQ(names, (Texts{"RVN", "RVNALUM", "RVGRUPO", "RVTEXTO", "RVHORAS", "RVFECHA", "RVSELEC"}))
        << "the memo has no report field";
    EXPECT_EQ(RV->GetField(2)->Caption(), "GRUPO");
    EXPECT_EQ(RV->GetField(1)->Alignment(), taRightJustify);
    EXPECT_EQ(RV->ItemCount(), 4);
    EXPECT_EQ(RV->CreateValidFieldName("V1A"), "V1A");
    EXPECT_EQ(RV->CreateValidFieldName("VA B"), "VA_B");
    EXPECT_EQ(RV->CreateValidFieldName("1A"), "_A");
    EXPECT_EQ(RV->CreateValidFieldName("RVN"), "RVN_1") << "a name taken gets _1";
}

TEST_F(RvDb, ItemsAreRecordNumbersAndGroupLinesHaveNone) {
    Table->Open();
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(Lines(), (Texts{"G:A", "G:B"}));
    RV->ExpandAll(true);
    EXPECT_EQ(Lines(), (Texts{"G:A", "2", "4", "G:B", "1", "3"})) << "sorted on GRUPO, ties on N";
    EXPECT_EQ(RV->GetFieldAsString(Item(3), 0), "3") << "field 0 is N";
    EXPECT_EQ(RV->GetFieldAsString(Item(3), 2), "B");
    RV->ListBox()->SetItemIndex(0);
    EXPECT_EQ(RV->GetCurrentItem(), nullptr);
    EXPECT_EQ(RV->GetCurrentGroup()->GetData(), Item(2));
    RV->ListBox()->SetItemIndex(2);
    EXPECT_EQ(RV->GetCurrentItem(), Item(4));
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 4) << "a line taken moves the table to its record";
    // Group totals by the field's kind.
    EXPECT_EQ(RV->DoGetGroupString(1, RV->GetTotalRef()), "13");
    EXPECT_EQ(RV->DoGetGroupString(4, RV->GetTotalRef()), "3,75");
    static_cast<TFloatField*>(Table->FieldByName("HORAS"))->SetDisplayFormat("0.00");
    EXPECT_EQ(RV->DoGetGroupString(4, RV->GetTotalRef()), "3,75");
    EXPECT_EQ(RV->DoGetGroupString(2, RV->GetTotalRef()), "") << "texts have no total";
}

TEST_F(RvDb, DatesAndLogicalsReadAsWhatTheyAre) {
    Table->Open();
    EXPECT_EQ(RV->GetFieldAsDateTime(Item(1), 5), EncodeDate(2024, 2, 3));
    EXPECT_TRUE(RV->GetFieldAsBoolean(Item(1), 6));
    EXPECT_FALSE(RV->GetFieldAsBoolean(Item(2), 6));
    EXPECT_EQ(RV->GetFieldAsDateTime(Item(2), 5), 0) << "no date";
    EXPECT_EQ(RV->GetFieldAsFloat(Item(1), 5), 0) << "totals read numbers only";
    EXPECT_EQ(RV->GetFieldAsFloat(Item(1), 1), 4);
}

TEST_F(RvDb, EnumerationPositionsTheTableOnEachSelectedRecord) {
    Table->Open();
    RV->SetMultiSelect(true);
    RV->ExpandAll(true);
    std::vector<int> seen;
    RV->OnEnumerate = [&](TObject*, bool&, void*) {
        seen.push_back(Table->FieldByName("N")->AsInteger());
        Table->Edit();
        Table->FieldByName("SELEC")->SetAsBoolean(true);
        Table->Post();
    };
    RV->EnumerateSelected(nullptr);
    EXPECT_TRUE(seen.empty()) << "nothing selected: not even the focused record";
    RV->SetSelected(2, true);  // record 4
    RV->SetSelected(5, true);  // record 3
    RV->EnumerateSelected(nullptr);
    EXPECT_EQ(seen, (std::vector<int>{3, 4})) << "the later line first";
    // The posts kept the window: item n is still record n.
    EXPECT_EQ(RV->GetFieldAsString(Item(3), 0), "3");
    std::vector<int> marked;
    RV->MoveDataPointer(Item(2));
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 2);
    TTable* check = Db.NewTable("tipos");
    check->Open();
    while (!check->Eof()) {
        if (check->FieldByName("SELEC")->AsBoolean()) marked.push_back(check->FieldByName("N")->AsInteger());
        check->Next();
    }
    EXPECT_EQ(marked, (std::vector<int>{1, 3, 4})) << "1 was marked before";
    RV->OnEnumerate = nullptr;
    EXPECT_THROW(RV->EnumerateSelected(nullptr), EReportViewError);
}

TEST_F(RvDb, KeySearchLandsOnTheFirstRecordAtOrAfterTheText) {
    Table->Open();
    F->Show();
    Ui.RunUntilIdle();
    RV->SetActiveView("P");  // sorted on TEXTO: ab, Ac, br, zz
    EXPECT_EQ(Lines(), (Texts{"2", "3", "1", "4"}));
    RV->SetFocus();
    Ui.RunUntilIdle();
    Ui.Type("AC");
    Ui.RunUntilIdle();
    EXPECT_EQ(RV->GetCurrentItem(), Item(3)) << "case does not count";
    Clock.Advance(1001);
    Ui.Type("b");
    Ui.RunUntilIdle();
    EXPECT_EQ(RV->GetCurrentItem(), Item(1));
    Clock.Advance(1001);
    Ui.Type("c");
    Ui.RunUntilIdle();
    EXPECT_EQ(RV->GetCurrentItem(), Item(4)) << "the first record after the text";
    EXPECT_EQ(RV->Engine().ItemCount(), 4) << "the probe is gone";
    // On a number column typing moves nothing.
    RV->SetSortColumn(1);
    RV->SetCurrentItem(Item(2));
    Clock.Advance(1001);
    Ui.Type("3");
    Ui.RunUntilIdle();
    EXPECT_EQ(RV->GetCurrentItem(), Item(2));
}

TEST_F(RvDb, ReopeningShowsTheNewRowsAndTheFocusFollowsTheTable) {
    Table->Open();
    F->Show();
    Ui.RunUntilIdle();
    RV->SetActiveView("P");
    Table->Close();
    EXPECT_EQ(RV->Engine().GetLines(), 0);
    Db.AddRows("tipos", {{{"N", "5"}, {"GRUPO", "C"}, {"TEXTO", "aa"}}});
    Table->Open();
    RV->BeginUpdate();
    RV->EndUpdate();
    EXPECT_EQ(Lines(), (Texts{"5", "2", "3", "1", "4"}));
    Table->First();
    Table->Next();
    Ui.RunUntilIdle();
    EXPECT_EQ(RV->GetCurrentItem(), Item(2)) << "the table's second record";
    Table->Locate("N", 4, {});
    EXPECT_EQ(RV->GetCurrentItem(), Item(4));
    // In a grouped view the focus opens the record's group.
    RV->SetActiveView("A");
    RV->ExpandAll(false);
    Table->Locate("N", 3, {});
    EXPECT_EQ(RV->GetCurrentItem(), Item(3));
    EXPECT_EQ(Lines(), (Texts{"G:A", "G:B", "1", "3", "G:C"}));
}

// A data-set action as a program writes one: it serves a data source whose
// data set is open, moves to the next record, and is enabled until the end.
// With ServesViews it serves a report view as well, which then answers first.
class TNextRecord : public TAction {
public:
    explicit TNextRecord(TComponent* AOwner) : TAction(AOwner) {}
    bool HandlesTarget(TObject* Target) override {
        if (ServesViews && dynamic_cast<TOvcCustomReportView*>(Target)) return true;
        auto* source = dynamic_cast<TDataSource*>(Target);
        return source && source->DataSet() && source->DataSet()->Active();
    }
    void ExecuteTarget(TObject* Target) override {
        Targets.push_back(Target);
        if (auto* source = dynamic_cast<TDataSource*>(Target)) source->DataSet()->Next();
    }
    void UpdateTarget(TObject* Target) override {
        if (auto* source = dynamic_cast<TDataSource*>(Target)) SetEnabled(!source->DataSet()->Eof());
    }
    bool ServesViews = false;
    std::vector<TObject*> Targets;
};

TEST_F(RvDb, TheDataSourceServesTheActionsTheViewDoesNot) {
    Table->Open();
    F->Show();
    Ui.RunUntilIdle();
    RV->SetActiveView("P");
    RV->SetFocus();
    Ui.RunUntilIdle();
    auto* next = new TNextRecord(F);
    Table->First();
    EXPECT_TRUE(next->Execute());
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 2);
    EXPECT_EQ(next->Targets, (std::vector<TObject*>{Source}));
    Ui.RunUntilIdle();
    EXPECT_EQ(RV->GetCurrentItem(), Item(2)) << "the view follows the table";

    while (!Table->Eof()) Table->Next();
    EXPECT_TRUE(next->Update()) << "the data source refreshes the action";
    EXPECT_FALSE(next->Enabled());
    EXPECT_FALSE(next->Execute());
    EXPECT_EQ(next->Targets.size(), 1u) << "a disabled action does not run";

    next->ServesViews = true;
    next->SetEnabled(true);
    Table->First();
    EXPECT_TRUE(next->Execute());
    EXPECT_EQ(next->Targets.back(), RV) << "the view's own answer comes first";
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 1);

    next->ServesViews = false;
    next->Targets.clear();
    for (bool closed : {true, false}) {
        if (closed) Table->Close();
        else {
            Table->Open();
            RV->SetDataSource(nullptr);
        }
        EXPECT_FALSE(next->Update()) << (closed ? "closed" : "no data source");
        EXPECT_FALSE(next->Execute()) << (closed ? "closed" : "no data source");
    }
    EXPECT_TRUE(next->Targets.empty());
}

TEST_F(RvDb, RenamingTheViewRenamesItsFields) {
    Table->Open();
    RV->SetName("X");
    EXPECT_EQ(RV->Fields()->Item(1)->Name(), "XNALUM");
    auto* a = static_cast<TOvcRVView*>(RV->FindView("A"));
    EXPECT_EQ(a->GetViewField(1)->FieldName(), "XNALUM");
    EXPECT_EQ(a->GetViewField(1)->BoundField(), RV->Fields()->Item(1));
    EXPECT_EQ(RV->Engine().GetLines(), 2);
}

TEST_F(RvDb, AViewFieldOfNoFieldLeavesTheViewEmpty) {
    auto* a = static_cast<TOvcRVView*>(RV->FindView("A"));
    a->GetViewField(2)->SetFieldName("RVNADA");
    EXPECT_THROW(Table->Open(), EReportViewError);
    EXPECT_EQ(RV->Fields()->Count(), 0);
    EXPECT_EQ(RV->ItemCount(), 0);
}

TEST_F(RvDb, EachViewReloadsEvenWhenAskedWithinAnotherOnesReload) {
    // A second view on another table of the same form: the first view's
    // reload, while it walks its table, opens the second's.
    Db.CreateTable("conex", {{"CON", ftString, 3}, {"NALUM", ftSmallint}});
    Db.AddRows("conex", {{{"CON", "a"}, {"NALUM", "2"}}, {{"CON", "b"}, {"NALUM", "3"}}});
    TTable* other = Db.NewTable("conex");
    auto* source = NewComponent<TDataSource>(F);
    source->SetDataSet(other);
    auto* second = NewComponent<TOvcDbReportView>(F);
    second->SetName("RC");
    second->SetParent(F);
    second->SetDataSource(source);
    auto* v = static_cast<TOvcRVView*>(second->Views()->Add());
    v->SetName("A");
    auto* vf = static_cast<TOvcRvViewField*>(v->ViewFields()->Add());
    vf->SetName("A_RCCON");
    vf->SetFieldName("RCCON");
    second->SetActiveView("A");
    Table->AfterScroll = [&](TDataSet*) {
        if (!other->Active()) other->Open();
    };
    Table->Open();
    EXPECT_EQ(RV->ItemCount(), 4);
    EXPECT_EQ(second->ItemCount(), 2);
    EXPECT_EQ(second->Engine().GetLines(), 2);
}

TEST_F(RvDb, TheLoadStopsAfterTheFirstRecordBeyondTheCap) {
    for (int extra : {0, 1}) {
        Db.CreateTable("muchos", {{"N", ftInteger}});
        TTable* fill = Db.NewTable("muchos");
        fill->Open();
        const int count = TOvcDbReportView::MaxDataCount + 1 + extra;
        for (int i = 1; i <= count; ++i) {
            fill->Append();
            fill->FieldByName("N")->SetAsInteger(i);
            fill->Post();
        }
        fill->Close();
        TTable* t = Db.NewTable("muchos");
        auto* source = NewComponent<TDataSource>(F);
        source->SetDataSet(t);
        auto* big = NewComponent<TOvcDbReportView>(F);
        big->SetName(extra ? "B1" : "B0");
        big->SetDataSource(source);
        auto* v = static_cast<TOvcRVView*>(big->Views()->Add());
        v->SetName("A");
        auto* vf = static_cast<TOvcRvViewField*>(v->ViewFields()->Add());
        vf->SetName(std::string("A_") + big->Name() + "N");
        vf->SetFieldName(big->Name() + "N");
        big->SetActiveView("A");
        if (extra) {
            try {
                t->Open();
                ADD_FAILURE() << "no error";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), "Maximum data count for the data aware report view reached");
            }
        } else t->Open();
        EXPECT_EQ(big->Engine().GetLines(), count) << "the records added are indexed and shown";
        big->Free();
        t->Free();
    }
}

// A number posted (or an edit cancelled) through the view's own table is
// in the group and footer totals at once, and after the screen's update
// pair; the record stays where it was until the table is reopened.
TEST_F(RvDb, NumbersPostedInPlaceAreInTheGroupAndFooterTotals) {
    static_cast<TOvcRVView*>(RV->FindView("A"))->SetShowFooter(true);
    Table->Open();
    F->Show();
    Ui.RunUntilIdle();
    auto totals = [&] {
        Texts texts;
        TOvcRvEngine& e = RV->Engine();
        for (int i = 0; i < e.GetLines(); ++i)
            if (TOvcRvIndexGroup* g = e.GetElementAtLine(i))
                texts.push_back(RV->GetFieldAsString(g->GetData(), 2) + "=" + RV->DoGetGroupString(1, g));
        texts.push_back("footer=" + RV->Footer()->GetSection(1)->Caption());
        return texts;
    };
    EXPECT_EQ(totals(), (Texts{"A=4", "B=9", "footer=13"}));
    Table->Locate("N", 2, {});
    Table->Edit();
    Table->FieldByName("NALUM")->SetAsInteger(10);
    Table->Post();
    EXPECT_EQ(totals(), (Texts{"A=11", "B=9", "footer=20"})) << "posted";
    Ui.RunUntilIdle();
    RV->BeginUpdate();
    RV->EndUpdate();
    EXPECT_EQ(totals(), (Texts{"A=11", "B=9", "footer=20"})) << "after the update pair";
    Table->Edit();
    Table->FieldByName("NALUM")->SetAsInteger(0);
    Table->Cancel();
    EXPECT_EQ(totals(), (Texts{"A=11", "B=9", "footer=20"})) << "cancelled";
    Table->Locate("N", 3, {});
    Table->Edit();
    Table->FieldByName("NALUM")->SetAsInteger(-5);
    Table->Post();
    EXPECT_EQ(totals(), (Texts{"A=11", "B=-1", "footer=10"}));
}

TEST_F(RvDb, AnUpdatePairReadsNothingAndTextsStayCachedUntilTheTableIsOpenedAgain) {
    Table->Open();
    RV->SetActiveView("P");
    EXPECT_EQ(RV->GetFieldAsString(Item(2), 3), "ab");
    // A record changed and one added behind the view's back.
    TTable* other = Db.NewTable("tipos");
    other->Open();
    other->Locate("N", 2, {});
    other->Edit();
    other->FieldByName("TEXTO")->SetAsString("nuevo");
    other->Post();
    other->Append();
    other->FieldByName("N")->SetAsInteger(9);
    other->Post();
    other->Close();
    RV->BeginUpdate();
    RV->EndUpdate();
    EXPECT_EQ(RV->Engine().GetLines(), 4) << "the pair reads no records";
    EXPECT_EQ(RV->GetFieldAsString(Item(2), 3), "ab") << "the text shown before";
    Table->Close();
    Table->Open();
    EXPECT_EQ(RV->Engine().GetLines(), 5);
    EXPECT_EQ(RV->GetFieldAsString(Item(2), 3), "nuevo");
}

}  // namespace
