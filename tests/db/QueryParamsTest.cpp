// Parameters, the statement data sets that refuse to run statements, and the
// data classes as the libraries reach them: by class name and property name.
#include <gtest/gtest.h>

#include "DatasetFixture.h"
#include "platform/db/Query.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"

namespace {
class QueryParams : public DatasetFixture {};

TEST_F(QueryParams, ParamsCarryTypedValues) {
    TParams params;
    TParam* year = params.CreateParam(ftInteger, "Curso", ptInput);
    year->SetAsString("3");
    EXPECT_EQ(year->AsInteger(), 3);
    EXPECT_EQ(year->Value().VarType(), varInt64);
    EXPECT_EQ(params.ParamByName("CURSO"), year);
    EXPECT_EQ(params.FindParam("nada"), nullptr);
    EXPECT_THROW(params.ParamByName("nada"), EDatabaseError);
    TParam* hours = params.AddParam();
    hours->SetAsFloat(2.5);
    EXPECT_EQ(hours->DataType(), ftFloat);
    EXPECT_EQ(hours->AsString(), "2,5");
    hours->Clear();
    EXPECT_TRUE(hours->IsNull());
    EXPECT_THROW(year->SetAsString("tres"), EConvertError);
}

TEST_F(QueryParams, SetDataAndGetDataUseTheNativeLayouts) {
    struct TCase {
        TFieldType Type;
        TVariant Value;
        AnsiString Text;
    };
    std::vector<TCase> cases = {
        {ftSmallint, -5, "-5"},     {ftInteger, 70000, "70000"},
        {ftFloat, 1.25, "1,25"},    {ftBoolean, true, "True"},
        {ftString, "hola", "hola"}, {ftDate, TVariant::FromDate(EncodeDate(2020, 2, 29)), "29/02/2020"},
    };
    for (const auto& c : cases) {
        TParams params;
        TParam* from = params.CreateParam(c.Type, "A", ptInput);
        from->SetValue(c.Value);
        char buffer[64] = {};
        ASSERT_TRUE(from->GetData(buffer)) << c.Text;
        TParam* to = params.CreateParam(c.Type, "B", ptInput);
        to->SetData(buffer);
        EXPECT_EQ(to->AsString(), c.Text) << c.Text;
    }
    TParams params;
    TParam* empty = params.CreateParam(ftFloat, "C", ptInput);
    double untouched = 42;
    EXPECT_FALSE(empty->GetData(&untouched));
    EXPECT_EQ(untouched, 42);
}

TEST_F(QueryParams, AssignFieldTakesNameTypeAndValue) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "N");
    table->Open();
    TParams params;
    TParam* param = params.AddParam();
    param->AssignField(table->FieldByName("NOMBRE"));
    EXPECT_EQ(param->Name(), "NOMBRE");
    EXPECT_EQ(param->DataType(), ftString);
    EXPECT_EQ(param->AsString(), "Luis");
    param->AssignField(table->FieldByName("NOTA"));
    EXPECT_EQ(param->DataType(), ftFloat);
    EXPECT_EQ(param->AsFloat(), 7);
    // A field's native value handed over through SetData.
    double native = 0;
    table->FieldByName("NOTA")->GetData(&native);
    TParam* copy = params.CreateParam(ftFloat, "COPIA", ptInput);
    copy->SetData(&native);
    EXPECT_EQ(copy->AsFloat(), 7);
}

TEST_F(QueryParams, StatementsAreNotSupported) {
    auto* query = NewComponent<TQuery>(Form);
    query->SQL()->Add("select * from alumnos");
    query->Params()->CreateParam(ftString, "TNC", ptInput);
    query->SetRequestLive(true);
    EXPECT_FALSE(query->CanModify());
    EXPECT_THROW(query->Open(), EDatabaseError);
    EXPECT_FALSE(query->Active());
    EXPECT_THROW(query->ExecSQL(), EDatabaseError);
    EXPECT_THROW(query->Prepare(), EDatabaseError);
    EXPECT_EQ(query->ParamByName("tnc")->Name(), "TNC");
    auto* proc = NewComponent<TStoredProc>(Form);
    EXPECT_THROW(proc->ExecProc(), EDatabaseError);
    EXPECT_THROW(proc->Open(), EDatabaseError);
    try {
        query->Open();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("not supported"), AnsiString::npos) << e.Message();
    }
}

TEST_F(QueryParams, ClassesAndPropertiesAreReachedByName) {
    RegisterDBClasses();
    for (const char* name :
         {"TTable", "TDataSource", "TDatabase", "TStringField", "TFloatField", "TMemoField"})
        EXPECT_NE(GetClass(name), nullptr) << name;
    MakeStudents();
    auto* table = static_cast<TTable*>(FindClass("TTable").Create(Form));
    SetStrProp(table, "DatabaseName", "Zelmor");
    SetStrProp(table, "TableName", "alumnos");
    SetStrProp(table, "IndexName", "NOMBRE");
    SetStrProp(table, "Filter", "TNC='M1A'");
    SetOrdProp(table, "Filtered", 1);
    SetOrdProp(table, "Active", 1);
    EXPECT_TRUE(table->Active());
    EXPECT_EQ(table->FieldByName("NOMBRE")->AsString(), "Eva");
    EXPECT_EQ(GetObjectProp(table, "IndexDefs"), table->IndexDefs());
    auto* source = static_cast<TDataSource*>(FindClass("TDataSource").Create(Form));
    SetObjectProp(source, "DataSet", table);
    EXPECT_EQ(source->DataSet(), table);
    EXPECT_EQ(GetOrdProp(source, "AutoEdit"), 1);
    EXPECT_EQ(GetStrProp(table->FieldByName("NOMBRE"), "FieldName"), "NOMBRE");
    SetObjectProp(table, "MasterSource", nullptr);
    EXPECT_TRUE(IsPublishedProp(table, "OnFilterRecord"));
    EXPECT_TRUE(IsPublishedProp(table, "BeforePost"));
    EXPECT_TRUE(IsPublishedProp(table, "ReadOnly"));
}
}  // namespace
