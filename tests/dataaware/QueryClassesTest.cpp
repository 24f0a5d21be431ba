// The query, QBE and stored-procedure data sets: their statements do not run
// on the dBase engine, what they carry like the table does, the QBE text
// with its placeholders, and the answer table of a QBE.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwqbe.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstorep.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Dialogs.h"

namespace {
using TNames = std::vector<AnsiString>;

class QueryClasses : public DataAwareFixture {
protected:
    void SetUp() override {
        DataAwareFixture::SetUp();
        MakeSchool();
    }
    // The message a data set's opening ends in; empty when it opened.
    static AnsiString OpenError(TDataSet* DataSet) {
        try {
            DataSet->Open();
        } catch (const EDatabaseError& e) {
            return e.Message();
        }
        return {};
    }
};

TEST_F(QueryClasses, StatementsEndInADatabaseErrorWithTheDataSetClosed) {
    auto* query = NewComponent<TwwQuery>(Form);
    query->SetDatabaseName("Zelmor");
    query->SQL()->Add("SELECT * FROM alum");
    EXPECT_NE(OpenError(query).find("SQL statements"), AnsiString::npos);
    EXPECT_FALSE(query->Active());

    auto* proc = NewComponent<TwwStoredProc>(Form);
    proc->SetDatabaseName("Zelmor");
    proc->SetStoredProcName("Recuenta");
    EXPECT_NE(OpenError(proc).find("stored procedures"), AnsiString::npos);
    EXPECT_FALSE(proc->Active());

    auto* qbe = NewComponent<TwwQBE>(Form);
    qbe->SetName("QBE1");
    qbe->SetDatabaseName("Zelmor");
    qbe->QBE()->Add("Query");
    qbe->QBE()->Add("alum.db | N | NOMBRE |");
    std::vector<int> errors;
    qbe->OnError = [&](TwwQBE* Sender, int Code) {
        EXPECT_EQ(Sender, qbe);
        errors.push_back(Code);
    };
    EXPECT_EQ(OpenError(qbe), "QBE1: Operation not supported: QBE statements (the dBase engine runs none)");
    EXPECT_EQ(errors, std::vector<int>{dbeNotSupported});
    EXPECT_FALSE(qbe->Active());
    // A statement whose first line is empty gives no cursor at all.
    qbe->QBE()->Insert(0, "");
    EXPECT_FALSE(OpenError(qbe).empty());
    EXPECT_FALSE(qbe->Active());
}

TEST_F(QueryClasses, TheyCarryWhatTheTableCarries) {
    auto* query = NewComponent<TwwQuery>(Form);
    auto* qbe = NewComponent<TwwQBE>(Form);
    auto* proc = NewComponent<TwwStoredProc>(Form);
    for (TDataSet* dataSet : std::initializer_list<TDataSet*>{query, qbe, proc}) {
        for (const char* name : {"LookupFields", "LookupLinks", "ControlType", "PictureMasks", "OnFilter",
                                 "OnFilterEscape", "OnFilterOptions", "OnInvalidValue"})
            EXPECT_NE(GetPropInfo(dataSet, name), nullptr) << dataSet->ClassName() << " " << name;
        EXPECT_EQ(GetFilterOptions(dataSet), (TwwOnFilterOptions{ofoEnabled, ofoShowHourGlass}));
        EXPECT_NE(GetLookupTables(dataSet), nullptr);
        EXPECT_FALSE(TableUsesQuery(dataSet));
    }
    EXPECT_NE(GetPropInfo(query, "ValidateWithMask"), nullptr);
    EXPECT_NE(GetPropInfo(proc, "ValidateWithMask"), nullptr);
    EXPECT_EQ(GetPropInfo(qbe, "ValidateWithMask"), nullptr);
    EXPECT_TRUE(query->ValidateWithMask());
    EXPECT_TRUE(qbe->AuxiliaryTables());
    EXPECT_TRUE(qbe->BlankAsZero());
    EXPECT_TRUE(IsClassNamed(query, "TQuery"));
    EXPECT_TRUE(IsClassNamed(qbe, "TDBDataSet"));
    EXPECT_TRUE(IsClassNamed(proc, "TStoredProc"));
    EXPECT_EQ(GetLookupTables(NewTable("alum")), nullptr);
}

TEST_F(QueryClasses, QBEPlaceholders) {
    auto* qbe = NewComponent<TwwQBE>(Form);
    const AnsiString tail(400, 't');
    qbe->QBE()->Add("Query");
    qbe->QBE()->Add("alum | NOMBRE | ~nombre |");
    qbe->QBE()->Add("alum | TNC | ~Curso " + tail);
    qbe->QBE()->Add("sin marcas");
    // Without parameters each placeholder is one blank.
    EXPECT_EQ(qbe->StatementText(),
              "Query\r\nalum | NOMBRE |   |\r\nalum | TNC |   " + tail + "\r\nsin marcas");
    qbe->ParamNames()->Add("NOMBRE");
    qbe->ParamValues()->Add("Ana");
    qbe->ParamNames()->Add("CURSO");
    qbe->ParamValues()->Add("M1A");
    // Names without regard to case; the whole text after a placeholder stays.
    EXPECT_EQ(qbe->StatementText(),
              "Query\r\nalum | NOMBRE | Ana |\r\nalum | TNC | M1A " + tail + "\r\nsin marcas");
}

TEST_F(QueryClasses, FieldsMapToTheCurrentIndex) {
    CreateTable("tres", {{"A", ftString, 4}, {"B", ftString, 4}, {"C", ftString, 4}},
                {{"ABC", "A;B;C"}, {"AI", "A", {ixCaseInsensitive}}});
    TwwTable* table = NewWwTable("tres", "ABC");
    table->Open();
    EXPECT_TRUE(FieldsMapToIndex(table, "A;B", true));
    EXPECT_FALSE(FieldsMapToIndex(table, "B", true));
    EXPECT_FALSE(FieldsMapToIndex(table, "A", false));  // the index keeps case
    table->SetIndexName("AI");
    EXPECT_TRUE(FieldsMapToIndex(table, "A", false));
    EXPECT_THROW(FieldsMapToIndex(table, "A;X", true), EDatabaseError);
}

TEST_F(QueryClasses, AnswerTables) {
    EXPECT_EQ(GetAliasPath("Zelmor"), "datos");
    EXPECT_EQ(GetAliasPath("NoHay"), "");
    TwwTable* alum = NewWwTable("alum", "N");
    alum->Open();
    std::unique_ptr<TDbfCursor> answer = alum->CloneCursor();
    EXPECT_FALSE(PrepareAnswerTable(alum, answer.get(), ""));
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK);
    EXPECT_FALSE(PrepareAnswerTable(alum, answer.get(), ":NoHay:respuesta"));
    EXPECT_EQ(dialogs.Texts(), TNames{"Invalid Alias in QBE"});
    ASSERT_TRUE(PrepareAnswerTable(alum, answer.get(), ":Zelmor:respuesta"));
    TwwTable* kept = NewWwTable("respuesta");
    kept->Open();
    EXPECT_EQ(Column(kept, "NOMBRE"), Column(alum, "NOMBRE"));
    EXPECT_EQ(Column(kept, "OBS")[0], "Buen alumno");
    dialogs.Then(IDOK);
    EXPECT_FALSE(PrepareAnswerTable(alum, nullptr, "otra"));
    EXPECT_EQ(dialogs.Texts().back(), "Unable to create answer table otra");
}
}  // namespace
