// TwwTable as the record screens use it: opened by name on "Zelmor", sorted
// by the column the user picks, checked against its picture masks before a
// post, with lookup fields, expression filters and a record filter.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/DataSource.h"
#include "platform/db/Params.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Dialogs.h"
#include "platform/win/MessageQueue.h"

namespace {
using TNames = std::vector<AnsiString>;

std::unique_ptr<TStringList> Lines(std::initializer_list<const char*> Texts) {
    auto lines = std::make_unique<TStringList>();
    for (const char* t : Texts) lines->Add(t);
    return lines;
}

class Table : public DataAwareFixture {
protected:
    TwwTable* Alum = nullptr;
    void SetUp() override {
        DataAwareFixture::SetUp();
        MakeSchool();
        Alum = NewWwTable("alum");
    }
    AnsiString Name() const { return Alum->FieldByName("NOMBRE")->AsString(); }
    // A calculated text field of the table, for lookup lines.
    TField* CalcField(const char* Name, int Size = 30) {
        auto* field = NewComponent<TStringField>(Form);
        field->SetFieldName(Name);
        field->SetSize(Size);
        field->SetFieldKind(fkCalculated);
        field->SetDataSet(Alum);
        return field;
    }
    // The table's stored fields as persistent fields, so calculated ones can join them.
    void DataFields() {
        Alum->FieldDefs()->Update();
        for (int i = 0; i < Alum->FieldDefs()->Count(); ++i) {
            TFieldDef* def = Alum->FieldDefs()->Items(i);
            TField* field = static_cast<TField*>(DefaultFieldClass(def->DataType())->Create(Form));
            field->SetFieldName(def->Name());
            if (def->DataType() == ftString) field->SetSize(def->Size());
            field->SetDataSet(Alum);
        }
    }
};

TEST_F(Table, UseIndexForFieldsPicksTheTagOfTheList) {
    Alum->Open();
    struct Case {
        const char* Fields;
        const char* Index;  // the table's index after the call
    } cases[] = {
        {"nombre", "NOMBREI"},      // a case-insensitive tag of exactly that field first
        {"NOMBRE;ABREV", "NOMAB"},  // the two-field tag
        {"NOM", "NOMAB"},           // no tag continues with ";" after NOM: the index stays
        {"NOTA", "NOTAD"},          // descending
        {"N", "N"},                 // not the N of NOMBRE
        {"TNC;NOMBRE", "N"},        // none: the index stays
        {"", "N"},
    };
    for (const Case& c : cases) {
        Alum->UseIndexForFields(c.Fields);
        EXPECT_EQ(Alum->IndexName(), AnsiString(c.Index)) << c.Fields;
    }
    Alum->UseIndexForFields("NOMBRE");
    EXPECT_EQ(Column(Alum, "NOMBRE"), (TNames{"Ana", "Anabel", "Eva", "luis", "Pedro"}));
    Alum->UseIndexForFields("NOTA");
    EXPECT_EQ(Column(Alum, "NOMBRE"), (TNames{"Ana", "Eva", "luis", "Pedro", "Anabel"}));
    // The field that leads the current index: true, nothing changes, nobody waits.
    EXPECT_TRUE(Alum->SetIndexForFields("nota"));
    EXPECT_EQ(Alum->BusyCount(), 0);
    EXPECT_EQ(Alum->FindIndexForFieldsAnyCase("NOMBRE"), "NOMBREI");
    EXPECT_EQ(Alum->GetIndexNameForFields("NOMBRE", true), "NOMAB");  // case-sensitive wanted: the prefix
    EXPECT_EQ(Alum->GetIndexNameForFields("ABREV", true), "?");
    Alum->SetIndexFieldNames("TNC;N");
    EXPECT_EQ(Alum->GetFirstIndexField(), "TNC");
    Alum->SetIndexName("");
    EXPECT_EQ(Alum->GetFirstIndexField(), "");
    EXPECT_EQ(GetIndexFieldsOfIndex(Alum, "NOMAB"), "NOMBRE;ABREV");
    auto selected = Lines({"NOTA\t10\tNota", "N\t4\tN"});
    EXPECT_TRUE(Alum->SetIndexForSelected(selected.get()));
    EXPECT_EQ(Alum->IndexName(), "NOTAD");
}

TEST_F(Table, SampleTablesSortByTheScreensColumns) {
    // The sample school's data folder, as the record screens open it.
    Alum->Free();
    std::filesystem::remove_all(Data);
    std::filesystem::copy(std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos", Data);
    struct Case {
        const char* Table;
        const char* Fields;
        const char* Tag;
    } cases[] = {{"alum", "NOMBRE", "NOMBRE"},
                 {"nomasg", "ABREV", "ABREV"},
                 {"asigcur", "ASIG", "ASIG"},
                 {"prof", "N", "N"}};
    for (const Case& c : cases) {
        TwwTable* table = NewWwTable(c.Table);
        table->Open();
        table->UseIndexForFields(c.Fields);
        EXPECT_TRUE(SameText(table->IndexName(), c.Tag)) << c.Table;
        TNames values = Column(table, c.Fields);
        EXPECT_FALSE(values.empty()) << c.Table;
        const bool number = table->FieldByName(c.Fields)->DataType() == ftFloat;
        for (size_t i = 1; i < values.size(); ++i) {
            if (number) EXPECT_LE(StrToFloat(values[i - 1]), StrToFloat(values[i])) << c.Table;
            else EXPECT_LE(values[i - 1], values[i]) << c.Table;
        }
        table->Free();
    }
}

TEST_F(Table, APictureMaskRefusesThePost) {
    auto* intl = NewComponent<TwwIntl>(Form);
    intl->UserMessages()->SetPictureValidateError("Caracteres inv\xE1lidos. Campo : ");
    intl->SetConnected(true);
    auto masks = Lines({"abrev\t&&\tT\tF"});
    Alum->SetPictureMasks(masks.get());
    std::vector<AnsiString> invalid;
    Alum->OnInvalidValue = [&](TDataSet* DataSet, TField* Field) {
        EXPECT_EQ(DataSet, Alum);
        invalid.push_back(Field->FieldName());
    };
    Alum->Open();
    Alum->FieldByName("ABREV")->SetDisplayLabel("Abreviatura");
    Alum->Edit();
    Alum->FieldByName("ABREV")->SetAsString("A1");
    try {
        Alum->Post();
        FAIL() << "the post went through";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Caracteres inv\xE1lidos. Campo : Abreviatura");
    }
    EXPECT_EQ(invalid, TNames{"ABREV"});
    EXPECT_EQ(Alum->State(), dsEdit);
    Alum->FieldByName("ABREV")->SetAsString("xy");  // letters: the mask is met
    Alum->Post();
    // An empty value never fails; a read-only field is passed over.
    Alum->Edit();
    Alum->FieldByName("ABREV")->SetAsString("");
    Alum->Post();
    Alum->Edit();
    Alum->FieldByName("ABREV")->SetAsString("9");
    Alum->FieldByName("ABREV")->SetReadOnly(true);
    EXPECT_NO_THROW(Alum->Post());
    // An invalid mask fails every value that is not empty.
    auto broken = Lines({"TNC\t[#"});
    Alum->SetPictureMasks(broken.get());
    Alum->Edit();
    EXPECT_THROW(Alum->Post(), EDatabaseError);
    Alum->Cancel();
    Alum->SetValidateWithMask(false);
    Alum->Edit();
    EXPECT_NO_THROW(Alum->Post());
}

TEST_F(Table, PictureMaskLinesReadAndWritten) {
    auto masks = Lines({"NOMBRE\t&*?", "tnc\t&##\tT\tT"});
    Alum->SetPictureMasks(masks.get());
    AnsiString mask;
    bool autoFill, grid;
    GetFieldPictureMask(Alum, "NOMBRE", true, mask, autoFill, grid);
    EXPECT_EQ(mask, "&*?");
    EXPECT_FALSE(autoFill);
    EXPECT_FALSE(grid);
    GetFieldPictureMask(Alum, "TNC", true, mask, autoFill, grid);
    EXPECT_EQ(mask, "&##");
    EXPECT_TRUE(autoFill && grid);
    GetFieldPictureMask(Alum, "ABREV", true, mask, autoFill, grid);
    EXPECT_EQ(mask, "");
    EXPECT_TRUE(autoFill && grid);
    SetFieldPictureMask(Alum, "Abrev", "##", true, false, true, true, true);
    SetFieldPictureMask(Alum, "nombre", "??", false, false, true, false, false);  // keeps the line's flags
    SetFieldPictureMask(Alum, "TNC", "", false, false, true, true, true);         // removes the line
    SetFieldPictureMask(Alum, "N", "", false, false, true, true, true);           // nothing to remove
    EXPECT_EQ(Alum->PictureMasks()->Text(), "nombre\t??\tF\tF\r\nAbrev\t##\tT\tF\r\n");
}

TEST_F(Table, QueryTextDecidesHowTheTableOpens) {
    auto query = Lines({"SELECT * FROM alum", "WHERE N > 1"});
    Alum->SetIndexFieldNames("N");
    Alum->SetQuery(query.get());
    EXPECT_EQ(Alum->TableName(), "");
    EXPECT_EQ(Alum->IndexFieldNames(), "");
    EXPECT_TRUE(TableUsesQuery(Alum));
    EXPECT_FALSE(Alum->SetIndexForFields("N"));
    try {
        Alum->Open();
        FAIL() << "the statement ran";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("SQL statements"), AnsiString::npos) << e.Message();
    }
    EXPECT_FALSE(Alum->Active());
    auto qbe = Lines({"Query", "alum.db | N |"});
    Alum->SetQuery(qbe.get());
    try {
        Alum->Open();
        FAIL() << "the statement ran";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("QBE statements"), AnsiString::npos) << e.Message();
    }
    Alum->SetTableName("");  // an empty name leaves the text
    EXPECT_EQ(Alum->Query()->Count(), 2);
    Alum->SetTableName("alum");
    EXPECT_EQ(Alum->Query()->Count(), 0);
    Alum->Open();
    EXPECT_EQ(Alum->RecordCount(), 5);
}

TEST_F(Table, KindTests) {
    struct Case {
        const char* Name;
        TTableType Type;
        bool DBase, Paradox;
    } cases[] = {{"alum", ttDefault, false, false},    {"alum.DbF", ttDefault, true, false},
                 {"x.db", ttDefault, false, true},     {"anything", ttDBase, true, false},
                 {"anything", ttParadox, false, true}, {"x.dbf", ttParadox, true, true}};
    for (const Case& c : cases) {
        TwwTable* t = NewWwTable(c.Name);
        t->SetTableType(c.Type);
        EXPECT_EQ(t->IsDBaseTable(), c.DBase) << c.Name;
        EXPECT_EQ(t->IsParadoxTable(), c.Paradox) << c.Name;
        EXPECT_EQ(t->GetParadoxPicture("N"), "");
        t->Free();
    }
}

TEST_F(Table, LookupFieldsFillCalculatedFields) {
    DataFields();
    TField* asigName = CalcField("ASIGNOM");
    TField* hours = CalcField("HORAS", 10);
    TField* noExt = CalcField("SINEXT");
    auto lookups = Lines({"ASIGNOM;Zelmor;asig;NOMBRE;CODIGO", "HORAS;Zelmor;asig;HORAS;CODIGO",
                          "SINEXT;Zelmor;asig.dbf;NOMBRE;xx;CODIGO;N", "GONE;Zelmor;asig;NOMBRE;CODIGO"});
    auto links = Lines({"ASIG;CODIGO", "asig;codigo", "ASIG;CODIGO", "ASIG;CODIGO"});
    Alum->SetLookupFields(lookups.get());
    Alum->SetLookupLinks(links.get());
    Alum->SetIndexName("N");
    Alum->Open();
    EXPECT_EQ(Column(Alum, "ASIGNOM"),
              (TNames{"Matem\xE1ticas", "Lengua", "", "Matem\xE1ticas", "Historia"}));
    EXPECT_EQ(Column(Alum, "HORAS"), (TNames{"4", "3", "", "4", "2"}));
    EXPECT_EQ(Column(Alum, "SINEXT"), (TNames{"Matem\xE1ticas", "Lengua", "", "Matem\xE1ticas", "Historia"}));
    // The line of a field the table lacks went, its link line with it.
    EXPECT_EQ(Alum->LookupFields()->Count(), 3);
    EXPECT_EQ(Alum->LookupLinks()->Count(), 3);
    // Lines that share a table and a link line (in any case; "asig.dbf" with
    // "N" is "asig") share one table, searched once a record.
    EXPECT_EQ(Alum->LookupTables().size(), 1u);
    EXPECT_TRUE(asigName->Visible() && hours->Visible() && noExt->Visible());
    // Freed with the cursor.
    Alum->Close();
    EXPECT_TRUE(Alum->LookupTables().empty());
    // "N" opens the table under its name without extension, by the index of its fields.
    auto only = Lines({"SINEXT;Zelmor;asig.dbf;NOMBRE;xx;CODIGO;N"});
    Alum->SetLookupFields(only.get());
    Alum->Open();
    ASSERT_EQ(Alum->LookupTables().size(), 1u);
    EXPECT_EQ(Alum->LookupTables()[0]->TableName(), "asig");
    EXPECT_EQ(Alum->LookupTables()[0]->IndexName(), "CODIGO");
    EXPECT_TRUE(Alum->LookupTables()[0]->ReadOnly());
    EXPECT_EQ(noExt->AsString(), "Matem\xE1ticas");
}

TEST_F(Table, AMissingOwnLinkFieldHidesTheLookupAndEndsThePass) {
    DataFields();
    TField* first = CalcField("PRIMERO");
    TField* later = CalcField("DESPUES");
    auto lookups = Lines({"PRIMERO;Zelmor;asig;NOMBRE;CODIGO", "DESPUES;Zelmor;asig;NOMBRE;CODIGO"});
    auto links = Lines({"NOHAY;CODIGO", "ASIG;CODIGO"});
    Alum->SetLookupFields(lookups.get());
    Alum->SetLookupLinks(links.get());
    Alum->Open();
    EXPECT_FALSE(first->Visible());
    EXPECT_EQ(later->AsString(), "");  // not filled: the pass ended
    // A link line of three parts finds nothing on an indexed lookup table.
    auto odd = Lines({"PRIMERO;Zelmor;asig;NOMBRE;CODIGO"});
    auto oddLinks = Lines({"ASIG;CODIGO;N"});
    Alum->Close();
    first->SetVisible(true);
    Alum->SetLookupFields(odd.get());
    Alum->SetLookupLinks(oddLinks.get());
    Alum->Open();
    EXPECT_EQ(first->AsString(), "");
}

TEST_F(Table, PositionAndResolveALookup) {
    DataFields();
    TField* name = CalcField("ASIGNOM");
    auto lookups = Lines({"ASIGNOM;Zelmor;asig;NOMBRE;CODIGO"});
    auto links = Lines({"ASIG;CODIGO"});
    Alum->SetLookupFields(lookups.get());
    Alum->SetLookupLinks(links.get());
    Alum->SetIndexName("N");
    Alum->Open();
    Alum->Next();  // Ana, LEN
    TwwTable* dropDown = NewWwTable("asig");
    dropDown->Open();
    AnsiString linkField;
    EXPECT_TRUE(PositionLookupTable(Alum, dropDown, "asignom", linkField));
    EXPECT_EQ(linkField, "ASIG");
    EXPECT_EQ(dropDown->FieldByName("NOMBRE")->AsString(), "Lengua");
    EXPECT_EQ(dropDown->IndexName(), "CODIGO");
    AnsiString key;
    TField* result = nullptr;
    EXPECT_TRUE(ResolveLookupDisplay(name, key, result));
    EXPECT_EQ(key, "LEN");
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->AsString(), "Lengua");
    EXPECT_EQ(GetLookupLinkLine(Alum, "ASIGNOM"), "ASIG;CODIGO");
    EXPECT_EQ(GetLookupLinkLine(Alum, "asignom"), "");  // the field name counts case here
    EXPECT_EQ(GetLookupResultFieldName(Alum, "ASIGNOM"), "NOMBRE");
}

TEST_F(Table, KeySearchOfUpToSixValues) {
    TScriptedDialogs dialogs;
    Alum->SetIndexName("NOMAB");
    Alum->Open();
    EXPECT_TRUE(TableFindKeyValues(Alum, {"Pedro", "PE"}));
    EXPECT_EQ(Name(), "Pedro");
    // The current record holds the values: answered at once (on a case-sensitive
    // index, only as written).
    EXPECT_TRUE(TableFindKeyValues(Alum, {"Pedro"}));
    EXPECT_FALSE(TableFindKeyValues(Alum, {"pedro"}));
    EXPECT_EQ(Name(), "Pedro");  // a failed key search does not move
    Alum->SetIndexName("NOMBREI");
    EXPECT_TRUE(TableFindKeyValues(Alum, {"PEDRO"}));  // ignoring case, on an index that does
    EXPECT_TRUE(TableFindKeyValues(Alum, {"ANA"}));
    EXPECT_EQ(Name(), "Ana");
    Alum->SetIndexName("N");
    EXPECT_TRUE(TableFindKeyValues(Alum, {"4"}));  // a number typed as text
    EXPECT_EQ(Name(), "Eva");
    Alum->SetIndexName("NOTAD");
    EXPECT_TRUE(TableFindKeyValues(Alum, {"5,5"}));
    EXPECT_EQ(Name(), "Pedro");
    dialogs.Then(IDOK);
    EXPECT_FALSE(TableFindKeyValues(Alum, {"9", "x"}));
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked()[0].Text,
              "Table " + Alum->Name() + ": FindKey has too many lookup values for index NOTAD");
    Alum->SetIndexName("");
    EXPECT_FALSE(TableFindKeyValues(Alum, {"1"}));  // no index fields
    EXPECT_EQ(Alum->BusyCount(), 0);
}

TEST_F(Table, WwFilterLinesJoinAndFilter) {
    auto lines = Lines({"TNC = \"M1A\"  \t", "", " \t", "NOTA > 6"});
    Alum->SetwwFilter(lines.get());
    EXPECT_EQ(Alum->GetwwFilterText(), "TNC = \"M1A\" AND (NOTA > 6)");
    Alum->SetIndexName("N");
    Alum->Open();
    EXPECT_EQ(Column(Alum, "NOMBRE"), (TNames{"luis", "Eva"}));
    EXPECT_FALSE(Alum->IsSequenced());
    auto blanks = Lines({"  ", "\t"});
    Alum->SetwwFilter(blanks.get());
    EXPECT_EQ(Alum->GetwwFilterText(), "");
    EXPECT_EQ(Alum->RecordCount(), 5);
    // A text that does not parse: the message, and no expression filter at all.
    Alum->SetwwFilter(lines.get());
    EXPECT_EQ(Alum->RecordCount(), 2);
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK);
    auto bad = Lines({"NOMBRE = Smith AND TNC > 3"});
    Alum->SetwwFilter(bad.get());
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked()[0].Text, "Fail to set filter");
    EXPECT_EQ(Alum->RecordCount(), 5);
    // A closed table takes its lines when it opens, without a message.
    Alum->Close();
    Alum->SetwwFilter(lines.get());
    Alum->Open();
    EXPECT_EQ(Alum->RecordCount(), 2);
}

TEST_F(Table, OnFilterHidesRecordsAndEscapeStopsIt) {
    Alum->SetIndexName("N");
    int calls = 0;
    Alum->SetOnFilter([&](TwwTable* Table, bool& Accept) {
        ++calls;
        Accept = Table->FieldByName("TNC")->AsString() == "M1A" &&
                 Table->GetFilterFieldValue("NOTA")->AsFloat() > 6;
    });
    Alum->Open();
    EXPECT_EQ(Column(Alum, "NOMBRE"), (TNames{"luis", "Eva"}));
    EXPECT_GT(calls, 0);
    EXPECT_FALSE(Alum->IsSequenced());
    // Taking ofoEnabled away shows the hidden records at once; putting it back
    // hides them at the next read.
    Alum->SetOnFilterOptions({ofoShowHourGlass});
    EXPECT_EQ(Alum->RecordCount(), 5);
    Alum->SetOnFilterOptions({ofoEnabled, ofoShowHourGlass});
    Alum->Refresh();
    EXPECT_EQ(Alum->RecordCount(), 2);
    Alum->SetOnFilter(nullptr);
    EXPECT_EQ(Alum->RecordCount(), 5);
    EXPECT_EQ(GetFilterOptions(Alum), (TwwOnFilterOptions{ofoEnabled, ofoShowHourGlass}));
}

TEST_F(Table, EscapeFedAsAKeyStopsALongFilter) {
    // Enough records for the filter to look at the keyboard every hundredth one.
    std::vector<std::vector<std::pair<const char*, AnsiString>>> rows;
    for (int i = 0; i < 450; ++i) rows.push_back({{"N", IntToStr(100 + i)}, {"NOMBRE", "Relleno"}});
    AddRows("alum", rows);
    Alum->SetIndexName("N");
    int judged = 0, escapes = 0;
    Alum->SetOnFilterOptions({ofoEnabled, ofoCancelOnEscape});
    Alum->OnFilterEscape = [&](TDataSet*) { ++escapes; };
    Alum->SetOnFilter([&](TwwTable*, bool& Accept) {
        ++judged;
        Accept = false;
    });
    Alum->Open();
    EXPECT_TRUE(Alum->IsEmpty());
    const int before = judged;
    // A key-up first: it is taken and thrown away at the next look.
    PostMessage(nullptr, WM_KEYUP, 'A', 0);
    PostMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    Alum->Refresh();
    EXPECT_EQ(escapes, 1);
    EXPECT_FALSE(Alum->OnFilterOptions().Contains(ofoEnabled));
    // The records after the Escape are accepted.
    EXPECT_FALSE(Alum->IsEmpty());
    // The first look took the key-up; the Escape came at the next one.
    EXPECT_GT(judged - before, 100);
    TMsg msg;
    EXPECT_FALSE(PeekMessage(msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
}

TEST_F(Table, FilterFieldValuesOfTheJudgedRecord) {
    DataFields();
    CalcField("ASIGNOM");
    auto lookups = Lines({"ASIGNOM;Zelmor;asig;NOMBRE;CODIGO"});
    auto links = Lines({"ASIG;CODIGO"});
    Alum->SetLookupFields(lookups.get());
    Alum->SetLookupLinks(links.get());
    Alum->SetIndexName("N");
    std::map<AnsiString, AnsiString> seen;
    Alum->SetOnFilter([&](TwwTable* Table, bool&) {
        // The one parameter is overwritten by the next call: each value is read at once.
        TParam* lookup = Table->GetFilterFieldValue("ASIGNOM");
        AnsiString subject = lookup->IsNull() ? AnsiString("null") : lookup->AsString();
        AnsiString notes = Table->GetFilterFieldValue("OBS")->AsString();
        seen[Table->GetFilterFieldValue("NOMBRE")->AsString()] = subject + ":" + notes;
    });
    Alum->Open();
    Column(Alum, "N");
    // Pedro's subject XXX finds nothing: null, not Lengua left over from Ana.
    EXPECT_EQ(seen,
              (std::map<AnsiString, AnsiString>{{"luis", "Matem\xE1ticas:Buen alumno"},
                                                {"Ana", "Lengua:"},
                                                {"Pedro", "null:"},
                                                {"Eva", "Matem\xE1ticas:{\\rtf1 Muy {\\b atenta}\\par}"},
                                                {"Anabel", "Historia:"}}));
    EXPECT_THROW(Alum->GetFilterFieldValue("NOHAY"), EDatabaseError);
}

TEST_F(Table, MemoReadForFilteringStopsAtTheCapInForce) {
    AddRows("alum", {{{"N", "9"}, {"NOMBRE", "Largo"}, {"OBS", AnsiString(300, 'x')}}});
    Alum->SetIndexName("N");
    DefaultIntl->SetFilterMemoSize(100);
    int nothing = -1, longMemo = -1;
    Alum->SetOnFilter([&](TwwTable* Table, bool&) {
        AnsiString text;
        nothing = ReadBlobForFilter(Table, nullptr, text, 0, Table->FieldByName("OBS"));
        if (Table->GetFilterFieldValue("NOMBRE")->AsString() == "Largo")
            longMemo = static_cast<int>(Table->GetFilterFieldValue("OBS")->AsString().size());
    });
    Alum->Open();
    Alum->Last();
    EXPECT_EQ(nothing, 0);     // nothing asked for, nothing read
    EXPECT_EQ(longMemo, 100);  // the long memo, cut at the cap
    DefaultIntl->SetFilterMemoSize(1000);
    longMemo = -1;
    Alum->Last();
    Alum->Refresh();
    EXPECT_EQ(longMemo, 300);  // the cap in force at each read
}

}  // namespace

namespace {
// A line that opens its table without the extension ("N") is resolved by the
// table it opened.
TEST_F(Table, ResolveALookupOpenedWithoutItsExtension) {
    DataFields();
    TField* name = CalcField("ASIGNOM");
    auto lookups = Lines({"ASIGNOM;Zelmor;asig.dbf;NOMBRE;xx;CODIGO;N"});
    auto links = Lines({"ASIG;CODIGO"});
    Alum->SetLookupFields(lookups.get());
    Alum->SetLookupLinks(links.get());
    Alum->SetIndexName("N");
    Alum->Open();
    AnsiString key;
    TField* result = nullptr;
    ASSERT_TRUE(ResolveLookupDisplay(name, key, result));
    EXPECT_EQ(key, "MAT");
    EXPECT_EQ(result->AsString(), "Matem\xE1ticas");
}
}  // namespace
