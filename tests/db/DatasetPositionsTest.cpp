// The data set's places (RecNo, SetRecNo, RecordCount) against a walk with
// Next, in record order and along an index, with and without a filter or a
// range, through edits, appends and deletes made by the data set itself, at
// a school's size; and fields found by name without regard to case as a walk
// of the field list finds them.
#include <random>

#include "DatasetFixture.h"
#include "platform/rtl/Strings.h"

namespace {

class DatasetPositions : public DatasetFixture {
protected:
    void SetUp() override {
        DatasetFixture::SetUp();
        CreateTable("alumnos", {{"N", ftInteger}, {"NOMBRE", ftString, 10}, {"TNC", ftString, 4}},
                    {{"NOMBRE", "NOMBRE"}});
        std::vector<std::vector<std::pair<const char*, AnsiString>>> rows;
        for (int i = 1; i <= 1200; ++i)
            rows.push_back({{"N", std::to_string(i)}, {"NOMBRE", Name()}, {"TNC", Course()}});
        AddRows("alumnos", rows);
        NextN = 1201;
    }
    AnsiString Name() { return std::string(1, char('A' + Random() % 20)) + std::to_string(Random() % 50); }
    AnsiString Course() { return Random() % 3 == 0 ? "M1A" : "M1B"; }

    // The numbers N along the data set's walk from its first row.
    static std::vector<int> WalkOf(TTable* Table) {
        std::vector<int> numbers;
        for (Table->First(); !Table->Eof(); Table->Next())
            numbers.push_back(Table->FieldByName("N")->AsInteger());
        return numbers;
    }
    void ExpectPlacesAsWalk(TTable* Table, const std::string& What) {
        const std::vector<int> walk = WalkOf(Table);
        ASSERT_EQ(Table->RecordCount(), int(walk.size())) << What;
        for (size_t i = 0; i < walk.size(); i += 37) {
            Table->SetRecNo(int(i) + 1);
            ASSERT_EQ(Table->FieldByName("N")->AsInteger(), walk[i]) << What << ", place " << i + 1;
            ASSERT_EQ(Table->RecNo(), int(i) + 1) << What;
        }
        if (walk.empty()) return;
        Table->Last();
        for (int i = int(walk.size()); i > 0 && i + 30 > int(walk.size()); --i, Table->Prior())
            ASSERT_EQ(Table->RecNo(), i) << What;
    }

    std::mt19937 Random{99};
    int NextN = 0;
};

}  // namespace

TEST_F(DatasetPositions, PlacesAndCountsFollowTheDataSetsOwnChanges) {
    struct TCase {
        const char* Name;
        const char* Index;
        bool Filter, Range;
    };
    const TCase cases[] = {
        {"record order", "", false, false},        {"record order, filtered", "", true, false},
        {"NOMBRE", "NOMBRE", false, false},        {"NOMBRE, filtered", "NOMBRE", true, false},
        {"NOMBRE, ranged", "NOMBRE", false, true}, {"NOMBRE, filtered and ranged", "NOMBRE", true, true}};
    for (const TCase& c : cases) {
        TTable* table = NewTable("alumnos", c.Index);
        if (c.Filter) {
            table->SetFilter("TNC='M1A'");
            table->SetFiltered(true);
        }
        table->Open();
        if (c.Range) table->SetRange({"D"}, {"P"});
        ExpectPlacesAsWalk(table, c.Name);
        for (int round = 1; round <= 3; ++round) {
            for (int i = 0; i < 12; ++i) {
                table->SetRecNo(1 + int(Random() % std::max(1, table->RecordCount())));
                switch (Random() % 3) {
                case 0:
                    table->Edit();
                    table->FieldByName("NOMBRE")->SetAsString(Name());
                    table->FieldByName("TNC")->SetAsString(Course());
                    table->Post();
                    break;
                case 1:
                    table->Append();
                    table->FieldByName("N")->SetAsInteger(NextN++);
                    table->FieldByName("NOMBRE")->SetAsString(Name());
                    table->FieldByName("TNC")->SetAsString(Course());
                    table->Post();
                    break;
                default:
                    if (!table->IsEmpty()) table->Delete();
                }
            }
            ExpectPlacesAsWalk(table, std::string(c.Name) + ", round " + std::to_string(round));
            if (HasFatalFailure()) return;
        }
        table->Free();
    }
}

TEST_F(DatasetPositions, FieldsAreFoundByNameAsTheListWouldFindThem) {
    TTable* table = NewTable("alumnos");
    table->Open();
    auto byWalk = [table](std::string_view Name) -> TField* {
        for (TField* f : table->Fields()->List())
            if (SameText(f->FieldName(), Name)) return f;
        return nullptr;
    };
    auto expectAsWalk = [&](const std::string& When) {
        for (const char* name :
             {"N", "n", "NOMBRE", "nombre", "NoMbRe", "TNC", "tnc", "TNC ", "NOMBR", "", "X"})
            EXPECT_EQ(table->FindField(name), byWalk(name)) << When << ": " << name;
    };
    expectAsWalk("default fields");
    EXPECT_EQ(table->FieldByName("nombre")->FieldName(), "NOMBRE");
    table->Close();
    // Declared fields, renamed and removed while closed.
    auto* n = NewComponent<TIntegerField>(Form);
    n->SetFieldName("N");
    n->SetDataSet(table);
    auto* name = NewComponent<TStringField>(Form);
    name->SetFieldName("Nombre");
    name->SetSize(10);
    name->SetDataSet(table);
    expectAsWalk("declared");
    name->SetFieldName("TNC");
    expectAsWalk("renamed");
    EXPECT_EQ(table->FindField("nombre"), nullptr);
    name->SetIndex(0);
    expectAsWalk("moved");
    name->Free();
    expectAsWalk("removed");
    EXPECT_EQ(table->FindField("tnc"), nullptr);
    EXPECT_EQ(table->FindField("n"), n);
}
