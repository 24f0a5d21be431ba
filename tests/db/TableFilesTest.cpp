// A table's files through TTable: creating (the twelve school tables among
// them), emptying, renaming and deleting.
#include <gtest/gtest.h>

#include <fstream>

#include "DatasetFixture.h"
#include "DbTestSupport.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/Strings.h"

namespace {
class TableFiles : public DatasetFixture {
protected:
    bool Has(const char* Name) const { return std::filesystem::exists(Data / Name); }
};

TEST_F(TableFiles, CreateTableReplacesAnExistingTable) {
    MakeStudents();
    CreateTable("ALUMNOS", {{"N", ftFloat}, {"NOMBRE", ftString, 20}}, {{"N", "N"}});
    TTable* table = NewTable("alumnos");
    table->Open();
    EXPECT_EQ(table->RecordCount(), 0);
    EXPECT_EQ(table->FieldCount(), 2);
    EXPECT_EQ(table->FieldByName("NOMBRE")->Size(), 20);
    EXPECT_TRUE(Has("alumnos.dbf"));  // replaced under the name it had
    EXPECT_FALSE(Has("ALUMNOS.dbf"));
    EXPECT_THROW(table->CreateTable(), EDatabaseError);  // not while open
}

TEST_F(TableFiles, CreateTableFromDeclaredFieldsWhenNoDefinitionsAreGiven) {
    TTable* table = NewTable("declarada");
    auto* name = NewComponent<TStringField>(Form);
    name->SetFieldName("NOMBRE");
    name->SetSize(12);
    name->SetDataSet(table);
    auto* count = NewComponent<TSmallintField>(Form);
    count->SetFieldName("NALUM");
    count->SetDataSet(table);
    auto* calc = NewComponent<TStringField>(Form);
    calc->SetFieldName("TEXTO");
    calc->SetFieldKind(fkCalculated);
    calc->SetDataSet(table);
    table->CreateTable();
    auto stored = TDbfTable::Open((Data / "declarada").string());
    ASSERT_EQ(stored->FieldCount(), 2);  // the calculated field is no column
    EXPECT_EQ(stored->Field(0).Name, "NOMBRE");
    EXPECT_EQ(stored->Field(0).Length, 12);
    EXPECT_EQ(stored->Field(1).Type, 'N');
}

TEST_F(TableFiles, BadDefinitionsCreateNothing) {
    TTable* table = NewTable("mala");
    table->FieldDefs()->Add("HORA", ftTime);
    EXPECT_THROW(table->CreateTable(), EDatabaseError);
    EXPECT_THROW(table->FieldDefs()->Add("hora", ftString, 3), EDatabaseError);  // duplicate name
    table->FieldDefs()->Clear();
    table->FieldDefs()->Add("A", ftString, 300);  // beyond a character field
    EXPECT_THROW(table->CreateTable(), EDatabaseError);
    EXPECT_FALSE(Has("mala.dbf"));
}

TEST_F(TableFiles, EmptyTableOpenOrClosedKeepsTheStructure) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "NOMBRE");
    table->EmptyTable();
    table->Open();
    EXPECT_TRUE(table->IsEmpty());
    EXPECT_EQ(table->FieldCount(), 5);
    table->Append();
    table->FieldByName("NOMBRE")->SetAsString("Otra");
    table->Post();
    table->EmptyTable();
    EXPECT_TRUE(table->IsEmpty());
    EXPECT_TRUE(table->Eof());
    table->IndexDefs()->Update();
    EXPECT_EQ(table->IndexDefs()->Count(), 4);
}

TEST_F(TableFiles, RenameAndDeleteTakeEveryFileOfTheTable) {
    CreateTable("tipgrup2", {{"N", ftSmallint}, {"ASIGSDCM", ftMemo}}, {{"N", "N"}});
    AddRows("tipgrup2", {{{"N", "1"}, {"ASIGSDCM", "texto largo"}}});
    TTable* table = NewTable("tipgrup2");
    table->RenameTable("tipgrup9");
    EXPECT_EQ(table->TableName(), "tipgrup9");
    for (const char* gone : {"tipgrup2.dbf", "tipgrup2.dbt", "tipgrup2.mdx"}) EXPECT_FALSE(Has(gone)) << gone;
    for (const char* there : {"tipgrup9.dbf", "tipgrup9.dbt", "tipgrup9.mdx"})
        EXPECT_TRUE(Has(there)) << there;
    table->SetIndexName("N");
    table->Open();
    EXPECT_EQ(table->FieldByName("ASIGSDCM")->AsString(), "texto largo");
    EXPECT_THROW(table->RenameTable("otra"), EDatabaseError);  // not while open
    EXPECT_THROW(table->DeleteTable(), EDatabaseError);
    table->Close();
    CreateTable("ocupado", {{"N", ftSmallint}});
    EXPECT_THROW(table->RenameTable("OCUPADO"), EDatabaseError);  // the name is taken
    EXPECT_TRUE(table->Exists());
    table->DeleteTable();
    EXPECT_FALSE(table->Exists());
    for (const char* gone : {"tipgrup9.dbf", "tipgrup9.dbt", "tipgrup9.mdx"}) EXPECT_FALSE(Has(gone)) << gone;
    EXPECT_THROW(table->DeleteTable(), EDatabaseError);
}

// The school tables as the program defines them: a field kind letter (C
// character, S small integer, F float, L logical, M memo), and tags.
struct TSchoolDef {
    const char* Name;
    std::vector<TFieldSpecForTest> Fields;
    std::vector<TIndexSpecForTest> Indexes;
};

std::vector<TFieldSpecForTest> Numbered(const char* Prefix, int From, int To) {
    std::vector<TFieldSpecForTest> fields;
    for (int i = From; i <= To; ++i) fields.push_back({Prefix + std::to_string(i), ftSmallint});
    return fields;
}

std::vector<TFieldSpecForTest> Slots(int Count, bool Division, bool Connection) {
    std::vector<TFieldSpecForTest> fields;
    for (int i = 1; i <= Count; ++i) {
        fields.push_back({"ASIG" + std::to_string(i), ftString, 4});
        if (Division) fields.push_back({"DIV" + std::to_string(i), ftString, 1});
        if (Connection) fields.push_back({"CON" + std::to_string(i), ftString, 3});
    }
    return fields;
}

std::vector<TFieldSpecForTest> Join(std::initializer_list<std::vector<TFieldSpecForTest>> Parts) {
    std::vector<TFieldSpecForTest> all;
    for (const auto& part : Parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<TSchoolDef> SchoolDefs() {
    const TIndexOptions desc{ixDescending};
    std::vector<TFieldSpecForTest> tiposHead = {{"N", ftSmallint},
                                                {"NALUM", ftSmallint},
                                                {"TNC", ftString, 9},
                                                {"OPCION", ftString, 1},
                                                {"REPITE", ftBoolean}};
    std::vector<TFieldSpecForTest> tipgrupHead = {
        {"N", ftSmallint},      {"NALUM", ftSmallint},   {"TNC", ftString, 9}, {"TNCG", ftString, 11},
        {"GRUPO", ftString, 2}, {"OPCION", ftString, 1}, {"REPITE", ftBoolean}};
    return {
        {"NomAsg",
         {{"N", ftSmallint}, {"ABREV", ftString, 4}, {"ABREV8", ftString, 8}, {"NOMBRE", ftString, 40}},
         {{"N", "N"}, {"ABREV", "ABREV"}}},
        {"cursos",
         Join({{{"N", ftSmallint},
                {"ABREV", ftString, 3},
                {"TURNO", ftString, 1},
                {"NIVEL", ftString, 5},
                {"CURSO", ftString, 3},
                {"TNC", ftString, 9},
                {"NGRUP", ftSmallint},
                {"MAXALUM", ftSmallint}},
               Numbered("NMAXAL", 1, 30)}),
         {{"N", "N"}, {"TNC", "TNC"}, {"ABREV", "ABREV"}}},
        {"grupos",
         {{"N", ftSmallint},
          {"ABREV", ftString, 4},
          {"TURNO", ftString, 1},
          {"NIVEL", ftString, 5},
          {"CURSO", ftString, 3},
          {"GRUPO", ftString, 1},
          {"TNC", ftString, 9},
          {"TNCG", ftString, 11}},
         {{"N", "N"}, {"TNC", "TNC"}, {"TNCG", "TNCG"}}},
        {"prof",
         {{"N", ftSmallint}, {"ABREV", ftString, 4}, {"NOMBRE", ftString, 40}, {"DEPART", ftString, 40}},
         {{"N", "N"}, {"ABREV", "ABREV"}}},
        {"aulas",
         {{"N", ftSmallint}, {"ABREV", ftString, 4}, {"NOMBRE", ftString, 40}, {"EDIFICIO", ftString, 1}},
         {{"N", "N"}, {"ABREV", "ABREV"}}},
        {"asigcur",
         Join({{{"N", ftSmallint},
                {"TNC", ftString, 9},
                {"ASIG", ftString, 4},
                {"HORAS", ftFloat},
                {"CUENTA", ftBoolean},
                {"MOSTRAR", ftBoolean},
                {"CONTADOR", ftSmallint},
                {"NDIV", ftSmallint},
                {"MAXALUM", ftSmallint},
                {"NPROF", ftSmallint},
                {"BLOPT", ftSmallint},
                {"NASALUM", ftSmallint},
                {"TIPO", ftSmallint}},
               Numbered("NMAXAL", 1, 30)}),
         {{"N", "N"}, {"TNC", "TNC"}, {"ASIG", "ASIG"}, {"CONTADOR", "CONTADOR", desc}}},
        {"alum",
         Join({{{"N", ftSmallint},
                {"EXPED", ftString, 20},
                {"NOMBRE", ftString, 50},
                {"GRUPO", ftString, 2},
                {"TNC", ftString, 9},
                {"OPCION", ftString, 1},
                {"REPITE", ftBoolean},
                {"ANULAR", ftBoolean}},
               Slots(20, true, false)}),
         {{"N", "N"}, {"EXPED", "EXPED"}, {"NOMBRE", "NOMBRE"}, {"TNC", "TNC"}}},
        {"tipos",
         Join({tiposHead, Slots(20, false, false)}),
         {{"N", "N"}, {"TNC", "TNC"}, {"NALUM", "NALUM", desc}}},
        {"tipos2",
         Join({tiposHead,
               {{"ASIGS", ftString, 254},
                {"ASIGSCOL", ftString, 254},
                {"ASIGSCU", ftString, 254},
                {"ASIGSCUCOL", ftString, 254},
                {"SELEC", ftBoolean}},
               Slots(20, false, false)}),
         {{"N", "N"}, {"TNC", "TNC"}, {"NALUM", "NALUM", desc}}},
        {"tipgrup",
         Join({tipgrupHead, Slots(20, true, true)}),
         {{"N", "N"}, {"TNC", "TNC"}, {"TNCG", "TNCG"}, {"NALUM", "NALUM", desc}}},
        {"tipgrup2",
         Join({tipgrupHead,
               {{"ASIGSDCM", ftMemo}, {"ASIGSDCM1", ftMemo}, {"ASIGSDCM2", ftMemo}, {"ASIGSDCM3", ftMemo}},
               Slots(20, true, true)}),
         {{"N", "N"}, {"TNC", "TNC"}, {"TNCG", "TNCG"}, {"NALUM", "NALUM", desc}}},
        {"conex",
         {{"TNC", ftString, 9},
          {"TNCCON", ftString, 12},
          {"CON", ftString, 3},
          {"GRUPO", ftString, 2},
          {"ASIGDIV", ftString, 6},
          {"NALUM1", ftSmallint},
          {"NALUM2", ftSmallint},
          {"NCON", ftSmallint}},
         {{"TNC", "TNC"}, {"TNCCON", "TNCCON"}}},
    };
}

// A sample value for a field by its kind and its row.
AnsiString Sample(const TField* Field, int Row) {
    switch (Field->DataType()) {
    case ftFloat:
        return Row % 3 == 2 ? AnsiString()
                            : std::to_string(Row * 3 + 1) + (Field->FieldName() == "HORAS" ? ",5" : "");
    case ftBoolean: return Row % 3 == 0 ? "True" : Row % 3 == 1 ? "False" : "";
    case ftMemo: return "memo " + Field->FieldName() + " " + std::to_string(Row) + "\r\nsegunda l\xEDnea";
    default: {
        AnsiString text = Field->FieldName().substr(0, 2) + std::to_string(Row) + "\xF1";
        return text.substr(0, static_cast<size_t>(Field->Size()));
    }
    }
}

TEST_F(TableFiles, TheTwelveSchoolTablesAreMadeAndReadBackByOtherReaders) {
    const int fieldCounts[] = {4, 38, 8, 4, 4, 43, 48, 25, 30, 67, 71, 8};
    std::vector<TSchoolDef> defs = SchoolDefs();
    ASSERT_EQ(defs.size(), std::size(fieldCounts));
    std::string expected, script = "import sys\nfrom dbfread import DBF\n";
    int descending = 0;
    for (size_t t = 0; t < defs.size(); ++t) {
        CreateTable(defs[t].Name, defs[t].Fields, defs[t].Indexes);
        TTable* table = NewTable(defs[t].Name);
        table->Open();
        EXPECT_EQ(table->FieldCount(), fieldCounts[t]) << defs[t].Name;
        for (int row = 0; row < 3; ++row) {
            table->Append();
            for (int f = 0; f < table->FieldCount(); ++f) {
                TField* field = table->Fields()->Fields(f);
                field->SetAsString(Sample(field, row));
            }
            table->Post();
        }
        // What we read back, in the form the reader script prints.
        table->SetIndexName("");
        table->First();
        while (!table->Eof()) {
            for (int f = 0; f < table->FieldCount(); ++f) {
                TField* field = table->Fields()->Fields(f);
                AnsiString text = field->IsNull() ? AnsiString("-") : field->AsString();
                if (field->DataType() == ftFloat && !field->IsNull()) {
                    double value = field->AsFloat();
                    text = std::to_string(static_cast<int>(value)) +
                           (value != static_cast<int>(value) ? ".5" : "");
                }
                if (field->DataType() == ftBoolean && !field->IsNull()) text = field->AsBoolean() ? "T" : "F";
                expected += ToUtf8(text) + "|";
            }
            expected += "\n";
            table->Next();
        }
        table->IndexDefs()->Update();
        for (int i = 0; i < table->IndexDefs()->Count(); ++i)
            descending += table->IndexDefs()->Items(i)->Options().Contains(ixDescending);
        script += "for r in DBF(sys.argv[1] + '/" + std::string(defs[t].Name) +
                  ".dbf', encoding='cp1252', char_decode_errors='strict'):\n"
                  "    out = []\n"
                  "    for k, v in r.items():\n"
                  "        if v is None or v == '': out.append('-')\n"
                  "        elif v is True: out.append('T')\n"
                  "        elif v is False: out.append('F')\n"
                  "        elif isinstance(v, float) and v != int(v): out.append('%d.5' % int(v))\n"
                  "        elif isinstance(v, (int, float)): out.append('%d' % v)\n"
                  "        else: out.append(str(v))\n"
                  "    sys.stdout.write('|'.join(out) + '|\\n')\n";
        table->Free();
    }
    EXPECT_EQ(descending, 5);
    std::string python = PythonWith("dbfread");
    ZELMOR_NEED_TOOL(!python.empty(), "python3-dbfread");
    { std::ofstream(Root / "read.py") << script; }
    std::string out;
    ASSERT_EQ(RunCommand(python + " " + (Root / "read.py").string() + " " + Data.string(), out), 0);
    EXPECT_EQ(out, expected);
}
}  // namespace
