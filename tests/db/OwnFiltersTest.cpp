// A descendant's own record filters on the cursor and its clones, and Locate
// that finds its first candidate through the current index.
#include <gtest/gtest.h>

#include "DatasetFixture.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/Strings.h"

namespace {
using TNames = std::vector<AnsiString>;

class OwnFilters : public DatasetFixture {
protected:
    TTable* Table = nullptr;
    void SetUp() override {
        DatasetFixture::SetUp();
        MakeStudents();
        Table = NewTable("alumnos", "NOMBRE");
        Table->Open();
    }
    // Keeps the rows whose TNC begins with M1A, reading it through the field.
    int KeepM1A() {
        return Table->AddOwnFilter([this](const char* Record) {
            return Table->JudgeFilterRecord(
                Record, [this] { return Table->FieldByName("TNC")->AsString() == "M1A"; });
        });
    }
};

TEST_F(OwnFilters, HideRecordsOnTheCursorAndOnItsClones) {
    int handle = KeepM1A();
    ASSERT_GT(handle, 0);
    Table->Refresh();
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Eva", "Luis", "Pedro"}));
    EXPECT_EQ(Table->RecordCount(), 3);
    // Locate and Lookup read a clone of the cursor: the filter holds there too,
    // whatever Filtered says.
    EXPECT_FALSE(Table->Filtered());
    EXPECT_FALSE(Table->Locate("NOMBRE", "Ana", {}));
    EXPECT_TRUE(Table->Lookup("NOMBRE", "Ana", "N").IsNull());
    EXPECT_TRUE(Table->Locate("NOMBRE", "Pedro", {}));
    // A text filter on top combines with it.
    Table->SetFilter("NOTA > 6");
    Table->SetFiltered(true);
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Eva", "Luis"}));
    Table->SetFiltered(false);

    Table->SetOwnFilterActive(handle, false);
    Table->Refresh();
    EXPECT_EQ(Table->RecordCount(), 5);
    EXPECT_TRUE(Table->Locate("NOMBRE", "Ana", {}));
    Table->SetOwnFilterActive(handle, true);
    Table->First();
    EXPECT_EQ(Table->RecordCount(), 3);
    Table->RemoveOwnFilter(handle);
    Table->First();
    EXPECT_EQ(Table->RecordCount(), 5);
}

TEST_F(OwnFilters, GoWithTheCursorAndNeedOne) {
    KeepM1A();
    Table->Close();
    Table->Open();
    EXPECT_EQ(Table->RecordCount(), 5);  // a new cursor starts without them
    Table->Close();
    EXPECT_EQ(Table->AddOwnFilter([](const char*) { return false; }), 0);
}

TEST_F(OwnFilters, JudgeReadsTheJudgedRecordAndLeavesTheCurrentOne) {
    Table->Locate("NOMBRE", "Juan", {});
    std::vector<AnsiString> judged;
    Table->AddOwnFilter([&](const char* Record) {
        return Table->JudgeFilterRecord(Record, [&] {
            judged.push_back(Table->FieldByName("NOMBRE")->AsString());
            return true;
        });
    });
    Table->Refresh();
    EXPECT_FALSE(judged.empty());
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Juan");
    EXPECT_EQ(Table->State(), dsBrowse);
}

// Locate through the index finds what a walk of every record finds: the first
// matching record in the current order.
TEST_F(OwnFilters, LocateByTheIndexFindsTheFirstMatchInOrder) {
    CreateTable("gente", {{"NOMBRE", ftString, 12}, {"N", ftFloat}},
                {{"NOMBRE", "NOMBRE"},
                 {"NOMBREI", "NOMBRE", {ixCaseInsensitive}},
                 {"NOMBRED", "NOMBRE", {ixDescending}},
                 {"N", "N"}});
    AddRows("gente", {{{"NOMBRE", "ana"}, {"N", "3"}},
                      {{"NOMBRE", "Ana"}, {"N", "1"}},
                      {{"NOMBRE", "Anabel"}, {"N", "2"}},
                      {{"NOMBRE", "Bea"}, {"N", "2"}},
                      {{"NOMBRE", "\xC1ngel"}, {"N", "5"}},
                      {{"NOMBRE", "\xE1ngel"}, {"N", "4"}},
                      {{"NOMBRE", "Ana"}, {"N", "6"}}});
    TTable* table = NewTable("gente");
    table->Open();
    struct Case {
        const char* Field;
        TVariant Value;
        TLocateOptions Options;
    } cases[] = {
        {"NOMBRE", "Ana", {}},
        {"NOMBRE", "ana", {}},
        {"NOMBRE", "An", {loPartialKey}},
        {"NOMBRE", "an", {loPartialKey, loCaseInsensitive}},
        {"NOMBRE", "ANA", {loCaseInsensitive}},
        {"NOMBRE", "\xE1ng", {loPartialKey, loCaseInsensitive}},
        {"NOMBRE", "Zoe", {}},
        {"NOMBRE", "", {loPartialKey}},
        {"N", "2", {}},
        {"N", 6.0, {}},
        {"N", "2,0", {}},
        {"N", "x", {}},
    };
    for (const char* index : {"", "NOMBRE", "NOMBREI", "NOMBRED", "N"}) {
        table->SetIndexName(index);
        for (const Case& c : cases) {
            const std::string what = std::string(index) + " " + c.Field + "=" + VarToStr(c.Value);
            table->First();
            bool found = table->Locate(c.Field, c.Value, c.Options);
            // The same question, asked of every record in the table's order.
            AnsiString expected;
            TBookmark bookmark = found ? table->GetBookmark() : TBookmark();
            for (table->First(); !table->Eof(); table->Next()) {
                TField* field = table->FieldByName(c.Field);
                AnsiString value = field->AsString(), wanted = VarToStr(c.Value);
                bool match;
                if (field->DataType() == ftFloat) {
                    double number;
                    match = c.Value.VarType() == varString
                                ? TextToFloat(wanted, number) && number == field->AsFloat()
                                : c.Value.AsFloat() == field->AsFloat();
                } else {
                    if (c.Options.Contains(loCaseInsensitive)) {
                        value = AnsiUpperCase(value);
                        wanted = AnsiUpperCase(wanted);
                    }
                    match = c.Options.Contains(loPartialKey) ? value.compare(0, wanted.size(), wanted) == 0
                                                             : value == wanted;
                }
                if (match) {
                    expected = table->GetBookmark();
                    break;
                }
            }
            EXPECT_EQ(found, !expected.empty()) << what;
            EXPECT_EQ(bookmark, expected) << what;
        }
    }
}
}  // namespace
