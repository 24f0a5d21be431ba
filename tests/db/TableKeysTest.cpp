// Orders, keys, ranges, Locate, filters and bookmarks of a table.
#include <gtest/gtest.h>

#include "DatasetFixture.h"
#include "platform/rtl/StringList.h"

namespace {
using TNames = std::vector<AnsiString>;

class TableKeys : public DatasetFixture {
protected:
    TTable* Table = nullptr;
    void SetUp() override {
        DatasetFixture::SetUp();
        MakeStudents();
        Table = NewTable("alumnos", "N");
        Table->Open();
    }
    AnsiString Name() const { return Table->FieldByName("NOMBRE")->AsString(); }
};

TEST_F(TableKeys, OrdersByTagsAndFieldLists) {
    struct TCase {
        const char* IndexName;
        const char* IndexFieldNames;
        TNames Names;
    };
    std::vector<TCase> cases = {
        {"", "", {"Luis", "Ana", "Pedro", "Eva", "Juan"}},  // record order
        {"NOMBRE", "", {"Ana", "Eva", "Juan", "Luis", "Pedro"}},
        {"nombre", "", {"Ana", "Eva", "Juan", "Luis", "Pedro"}},      // tag names in any case
        {"NOTAD", "", {"Ana", "Eva", "Luis", "Pedro", "Juan"}},       // descending; equal keys by record
        {"", "TNC;NOMBRE", {"Eva", "Luis", "Pedro", "Ana", "Juan"}},  // an order kept in memory
        {"", "TNC", {"Luis", "Pedro", "Eva", "Ana", "Juan"}},
    };
    for (const auto& c : cases) {
        if (*c.IndexFieldNames) Table->SetIndexFieldNames(c.IndexFieldNames);
        else Table->SetIndexName(c.IndexName);
        EXPECT_EQ(Column(Table, "NOMBRE"), c.Names) << c.IndexName << c.IndexFieldNames;
    }
    EXPECT_THROW(Table->SetIndexName("NOEXISTE"), EDatabaseError);
    EXPECT_EQ(Table->IndexFieldNames(), "TNC");  // a refused switch changes nothing
}

TEST_F(TableKeys, SwitchingTheIndexKeepsTheCurrentRecord) {
    Table->Next();
    Table->Next();  // Pedro
    Table->SetIndexName("NOMBRE");
    EXPECT_EQ(Name(), "Pedro");
    Table->Prior();
    EXPECT_EQ(Name(), "Luis");
    EXPECT_EQ(Table->IndexFieldCount(), 1);
    EXPECT_EQ(Table->IndexFields(0), Table->FieldByName("NOMBRE"));
    EXPECT_TRUE(Table->MapsToIndex({Table->FieldByName("NOMBRE")}, false));
    EXPECT_FALSE(Table->MapsToIndex({Table->FieldByName("NOMBRE")}, true));  // the tag keeps case
    EXPECT_FALSE(Table->MapsToIndex({Table->FieldByName("TNC")}, false));
}

TEST_F(TableKeys, IndexDefsListTheTags) {
    Table->IndexDefs()->Update();
    ASSERT_EQ(Table->IndexDefs()->Count(), 4);
    TIndexDef* desc = Table->IndexDefs()->Find("notad");
    EXPECT_EQ(desc->Fields(), "NOTA");
    EXPECT_TRUE(desc->Options().Contains(ixDescending));
    EXPECT_EQ(Table->IndexDefs()->GetIndexForFields("nombre", false)->Name(), "NOMBRE");
    EXPECT_EQ(Table->IndexDefs()->GetIndexForFields("NOMBRE", true), nullptr);
    TStringList names;
    Table->GetIndexNames(names);
    EXPECT_EQ(names.Count(), 4);
}

TEST_F(TableKeys, FindKeyAndFindNearest) {
    struct TCase {
        const char* Index;
        TKeyValues Key;
        bool Nearest;
        bool Found;
        const char* Name;  // where the table stands afterwards
    };
    std::vector<TCase> cases = {
        {"N", {3}, false, true, "Pedro"},
        {"N", {3.0}, false, true, "Pedro"},
        {"N", {"4"}, false, true, "Eva"},  // a text key on a numeric tag
        {"N", {9}, false, false, "Eva"},   // not found: no move
        {"NOMBRE", {"Juan"}, false, true, "Juan"},
        {"NOMBRE", {"Jua"}, false, false, "Juan"},  // exact means the whole text
        {"NOMBRE", {"Jua"}, true, true, "Juan"},
        {"NOMBRE", {"F"}, true, true, "Juan"},
        {"NOMBRE", {"Z"}, true, true, "Pedro"},  // after every key: the last record
        {"NOTAD", {7}, true, true, "Luis"},
        {"NOTAD", {8}, true, true, "Luis"},     // descending: the first key not before 8
        {"TNC", {"M1A"}, false, true, "Luis"},  // equal keys: the first in record order
    };
    for (const auto& c : cases) {
        Table->SetIndexName(c.Index);
        bool found = true;
        if (c.Nearest) Table->FindNearest(c.Key);
        else found = Table->FindKey(c.Key);
        EXPECT_EQ(found, c.Found) << c.Index << " " << c.Name;
        EXPECT_EQ(Name(), c.Name) << c.Index;
    }
    EXPECT_THROW(Table->FindKey({"M1A", "x"}), EDatabaseError);  // more values than fields
    Table->SetIndexName("");
    EXPECT_THROW(Table->FindKey({1}), EDatabaseError);  // no index
}

TEST_F(TableKeys, KeySearchesHonourTheFilter) {
    Table->SetIndexName("NOMBRE");
    Table->SetFilter("TNC='M1A'");
    Table->SetFiltered(true);
    EXPECT_FALSE(Table->FindKey({"Ana"}));  // M1B: filtered out
    EXPECT_TRUE(Table->FindKey({"Pedro"}));
    Table->FindNearest({"A"});
    EXPECT_EQ(Name(), "Eva");
    EXPECT_EQ(Table->RecordCount(), 3);
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Eva", "Luis", "Pedro"}));
}

TEST_F(TableKeys, SetKeyGotoKeyAndEditKey) {
    Table->SetIndexName("NOMBRE");
    Table->SetKey();
    EXPECT_EQ(Table->State(), dsSetKey);
    Table->FieldByName("NOMBRE")->SetAsString("Eva");
    EXPECT_TRUE(Table->GotoKey());
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_EQ(Name(), "Eva");
    Table->EditKey();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Eva");  // the key buffer keeps the last key
    Table->FieldByName("NOMBRE")->SetAsString("Lu");
    Table->GotoNearest();
    EXPECT_EQ(Name(), "Luis");
    Table->SetKey();
    Table->FieldByName("NOMBRE")->SetAsString("Zoe");
    Table->Cancel();  // the key typed is thrown away
    EXPECT_EQ(Table->State(), dsBrowse);
    Table->EditKey();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Lu");
    Table->Cancel();
}

TEST_F(TableKeys, RangesLimitRowsCountsAndKeys) {
    Table->SetIndexName("TNC");
    Table->SetRange({"M1A"}, {"M1A"});
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Luis", "Pedro", "Eva"}));
    EXPECT_EQ(Table->RecordCount(), 3);
    EXPECT_FALSE(Table->FindKey({"M1B"}));
    Table->CancelRange();
    EXPECT_EQ(Table->RecordCount(), 5);
    Table->SetRangeStart();
    Table->FieldByName("TNC")->SetAsString("M1B");
    Table->SetRangeEnd();  // left open
    Table->ApplyRange();
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Ana", "Juan"}));
    Table->SetIndexName("NOMBRE");  // a switch of index drops the range
    EXPECT_EQ(Table->RecordCount(), 5);
}

TEST_F(TableKeys, LocateAndLookup) {
    Table->Last();
    struct TCase {
        const char* Fields;
        TVariant Values;
        TLocateOptions Options;
        bool Found;
        const char* Name;
    };
    std::vector<TCase> cases = {
        {"NOMBRE", "Eva", {}, true, "Eva"},
        {"NOMBRE", "eva", {}, false, "Eva"},  // no move when not found
        {"NOMBRE", "PEDRO", {loCaseInsensitive}, true, "Pedro"},
        {"NOMBRE", "Lu", {loPartialKey}, true, "Luis"},
        {"NOMBRE", "Lu", {}, false, "Luis"},
        {"NOTA", 9, {}, true, "Ana"},
        {"NOTA", "9", {}, true, "Ana"},
        {"NOTA", TVariant::Null(), {}, true, "Juan"},
        {"TNC;NOTA", VarArrayOf({"M1A", 9}), {}, true, "Eva"},
        {"ACTIVO", true, {}, true, "Luis"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Table->Locate(c.Fields, c.Values, c.Options), c.Found) << c.Fields << " " << c.Name;
        EXPECT_EQ(Name(), c.Name) << c.Fields;
    }
    EXPECT_THROW(Table->Locate("TNC;NOTA", "M1A", {}), EDatabaseError);  // one value for two fields
    EXPECT_EQ(VarToStr(Table->Lookup("N", 3, "NOMBRE")), "Pedro");
    EXPECT_TRUE(Table->Lookup("N", 30, "NOMBRE").IsNull());
    EXPECT_EQ(Name(), "Luis");  // Lookup does not move
    Table->SetFilter("TNC='M1A'");
    Table->SetFiltered(true);
    EXPECT_FALSE(Table->Locate("NOMBRE", "Ana", {}));
}

TEST_F(TableKeys, FiltersAsProgramsWriteThem) {
    struct TCase {
        const char* Filter;
        TNames Names;
    };
    std::vector<TCase> cases = {
        {"TNC='M1A'", {"Luis", "Pedro", "Eva"}},
        {"TNC='M1A' and NOTA='9'", {"Eva"}},  // a quoted constant against a number
        {"TNC='m1a'", {}},                    // exact and case-sensitive
        {"TNC='M1'", {}},                     // the whole trimmed text
        {"TNC='M1*'", {"Luis", "Ana", "Pedro", "Eva"}},
        {"NOTA>=7 or NOMBRE='Juan'", {"Luis", "Ana", "Eva", "Juan"}},
    };
    for (const auto& c : cases) {
        Table->SetFilter(c.Filter);
        Table->SetFiltered(true);
        EXPECT_EQ(Column(Table, "NOMBRE"), c.Names) << c.Filter;
        EXPECT_EQ(Table->RecordCount(), static_cast<int>(c.Names.size())) << c.Filter;
        Table->SetFiltered(false);
    }
    Table->SetFiltered(true);
    EXPECT_THROW(Table->SetFilter("TNC=="), EDatabaseError);
    EXPECT_EQ(Table->Filter(), "NOTA>=7 or NOMBRE='Juan'");  // a bad filter leaves the old one
    EXPECT_FALSE(Table->IsSequenced());
}

TEST_F(TableKeys, RecordFilterCallbackSeesEachRecord) {
    Table->OnFilterRecord = [](TDataSet* DataSet, bool& Accept) {
        Accept = DataSet->State() == dsFilter && DataSet->FieldByName("NOMBRE")->AsString().size() <= 3;
    };
    Table->SetFiltered(true);
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Ana", "Eva"}));
    Table->SetFilter("TNC='M1A'");  // both apply
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Eva"}));
    Table->SetFiltered(false);
    EXPECT_EQ(Table->RecordCount(), 5);
}

TEST_F(TableKeys, BookmarksNameRecordsAndCompareByOrder) {
    Table->SetIndexName("NOTAD");  // Ana 9, Eva 9, Luis 7, Pedro 5, Juan blank
    Table->First();
    TBookmark ana = Table->GetBookmark();
    Table->Next();
    TBookmark eva = Table->GetBookmark();
    Table->Last();
    TBookmark juan = Table->GetBookmark();
    EXPECT_EQ(Table->CompareBookmarks(ana, eva), -1);  // equal keys: record order
    EXPECT_EQ(Table->CompareBookmarks(eva, ana), 1);
    EXPECT_EQ(Table->CompareBookmarks(juan, ana), 1);
    EXPECT_EQ(Table->CompareBookmarks(eva, eva), 0);
    EXPECT_EQ(Table->CompareBookmarks(TBookmark(), eva), -1);
    Table->GotoBookmark(eva);
    EXPECT_EQ(Name(), "Eva");
    EXPECT_TRUE(Table->BookmarkValid(ana));
    Table->GotoBookmark(ana);
    Table->Delete();
    EXPECT_FALSE(Table->BookmarkValid(ana));
    EXPECT_THROW(Table->GotoBookmark(ana), EDatabaseError);
    EXPECT_EQ(Name(), "Eva");
    Table->SetFilter("TNC='M1A'");
    Table->SetFiltered(true);
    EXPECT_FALSE(Table->BookmarkValid(juan));  // filtered out
}

TEST_F(TableKeys, RecNoCountsVisibleRecords) {
    Table->Next();
    Table->Next();
    EXPECT_EQ(Table->RecNo(), 3);
    Table->SetRecNo(5);
    EXPECT_EQ(Name(), "Juan");
    Table->SetRecNo(99);
    EXPECT_EQ(Name(), "Juan");
    EXPECT_TRUE(Table->IsSequenced());
    Table->Append();
    EXPECT_EQ(Table->RecNo(), -1);
    Table->Cancel();
}

TEST_F(TableKeys, GotoCurrentFollowsAnotherTableObject) {
    TTable* other = NewTable("alumnos", "NOMBRE");
    other->Open();
    other->FindKey({"Pedro"});
    Table->GotoCurrent(other);
    EXPECT_EQ(Name(), "Pedro");
    TTable* foreign = NewTable("kinds");
    CreateTable("kinds", {{"X", ftString, 1}});
    foreign->Open();
    EXPECT_THROW(Table->GotoCurrent(foreign), EDatabaseError);
}

TEST_F(TableKeys, DetailFollowsItsMaster) {
    CreateTable("cursos", {{"TNC", ftString, 4}}, {{"TNC", "TNC"}});
    AddRows("cursos", {{{"TNC", "M1A"}}, {{"TNC", "M1B"}}, {{"TNC", "M9Z"}}});
    TTable* master = NewTable("cursos", "TNC");
    auto* source = NewComponent<TDataSource>(Form);
    source->SetDataSet(master);
    master->Open();
    Table->Close();
    Table->SetIndexName("TNC");
    Table->SetMasterSource(source);
    Table->SetMasterFields("TNC");
    Table->Open();
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Luis", "Pedro", "Eva"}));
    master->Next();
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Ana"}));
    master->Next();
    EXPECT_TRUE(Table->IsEmpty());
    Table->Append();  // a new detail row starts with its master's key
    EXPECT_EQ(Table->FieldByName("TNC")->AsString(), "M9Z");
    Table->Cancel();
}
}  // namespace

namespace {
TEST_F(TableKeys, CaseInsensitiveAndExpressionTags) {
    CreateTable("nombres", {{"NOMBRE", ftString, 10}, {"ABREV", ftString, 4}},
                {{"NOMCI", "NOMBRE", {ixCaseInsensitive}}, {"NOMAB", "NOMBRE+ABREV", {ixExpression}}});
    // A key expression of plain fields joined is listed as those fields.
    AddRows("nombres", {{{"NOMBRE", "beta"}, {"ABREV", "B"}},
                        {{"NOMBRE", "Alfa"}, {"ABREV", "Z"}},
                        {{"NOMBRE", "Alfa"}, {"ABREV", "A"}}});
    TTable* names = NewTable("nombres", "NOMCI");
    names->Open();
    EXPECT_EQ(Column(names, "NOMBRE"), (TNames{"Alfa", "Alfa", "beta"}));
    EXPECT_TRUE(names->FindKey({"BETA"}));
    EXPECT_TRUE(names->MapsToIndex({names->FieldByName("NOMBRE")}, true));
    names->IndexDefs()->Update();
    EXPECT_TRUE(names->IndexDefs()->Find("NOMCI")->Options().Contains(ixCaseInsensitive));
    EXPECT_EQ(names->IndexDefs()->Find("NOMAB")->Fields(), "NOMBRE;ABREV");
    names->SetIndexName("NOMAB");
    EXPECT_EQ(Column(names, "ABREV"), (TNames{"A", "Z", "B"}));
    names->FindNearest({"Alfa", "X"});
    EXPECT_EQ(names->FieldByName("ABREV")->AsString(), "Z");
    EXPECT_TRUE(names->FindKey({"Alfa"}));  // fewer values: the leading fields
    EXPECT_EQ(names->FieldByName("ABREV")->AsString(), "A");
}

TEST_F(TableKeys, CancellingAnAppendReturnsToTheLastRecord) {
    Table->Append();
    Table->Cancel();
    EXPECT_EQ(Name(), "Juan");
    Table->First();
    Table->Insert();
    Table->Cancel();
    EXPECT_EQ(Name(), "Luis");
}

}  // namespace
