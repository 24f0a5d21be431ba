#include "DatasetFixture.h"

#include "platform/db/DbfTable.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

void DatasetFixture::SetUp() {
    FMachine.emplace("dataset");
    Root = FMachine->Root();
    DriveC = FMachine->DriveC();
    Program = FMachine->EnterProgram("programa");
    Data = Program / "datos";
    std::filesystem::create_directories(Data);
    Form = new TComponent(nullptr);
    Database = NewComponent<TDatabase>(Form);
    Database->SetDatabaseName("Zelmor");
    Database->SetDriverName("STANDARD");
    Database->Params()->Add("Path=datos");
    Database->Open();
}

void DatasetFixture::TearDown() {
    if (Form) Form->Free();
    Form = nullptr;
    FMachine.reset();
}

TTable* DatasetFixture::NewTable(const AnsiString& TableName, const AnsiString& IndexName) {
    auto* table = NewComponent<TTable>(Form);
    table->SetDatabaseName("Zelmor");
    table->SetTableName(TableName);
    table->SetIndexName(IndexName);
    return table;
}

void DatasetFixture::CreateTable(const AnsiString& TableName, const std::vector<TFieldSpecForTest>& Fields,
                                 const std::vector<TIndexSpecForTest>& Indexes) {
    TTable* table = NewTable(TableName);
    table->SetTableType(ttDBase);
    table->FieldDefs()->Clear();
    for (const auto& f : Fields) table->FieldDefs()->Add(f.Name, f.Type, f.Size);
    table->IndexDefs()->Clear();
    for (const auto& i : Indexes) table->IndexDefs()->Add(i.Name, i.Fields, i.Options);
    table->CreateTable();
    table->Free();
}

void DatasetFixture::AddRows(const AnsiString& TableName,
                             const std::vector<std::vector<std::pair<const char*, AnsiString>>>& Rows) {
    TTable* table = NewTable(TableName);
    table->Open();
    for (const auto& row : Rows) {
        table->Append();
        for (const auto& [name, value] : row)
            if (!value.empty()) table->FieldByName(name)->SetAsString(value);
        table->Post();
    }
    table->Free();
}

std::vector<AnsiString> DatasetFixture::Column(TDataSet* DataSet, const char* FieldName) {
    std::vector<AnsiString> values;
    DataSet->First();
    while (!DataSet->Eof()) {
        values.push_back(DataSet->FieldByName(FieldName)->AsString());
        DataSet->Next();
    }
    return values;
}

void DatasetFixture::MakeStudents() {
    CreateTable("alumnos",
                {{"N", ftFloat},
                 {"NOMBRE", ftString, 10},
                 {"TNC", ftString, 4},
                 {"NOTA", ftFloat},
                 {"ACTIVO", ftBoolean}},
                {{"N", "N"}, {"NOMBRE", "NOMBRE"}, {"TNC", "TNC"}, {"NOTAD", "NOTA", {ixDescending}}});
    AddRows("alumnos", {
                           {{"N", "1"}, {"NOMBRE", "Luis"}, {"TNC", "M1A"}, {"NOTA", "7"}, {"ACTIVO", "T"}},
                           {{"N", "2"}, {"NOMBRE", "Ana"}, {"TNC", "M1B"}, {"NOTA", "9"}, {"ACTIVO", "F"}},
                           {{"N", "3"}, {"NOMBRE", "Pedro"}, {"TNC", "M1A"}, {"NOTA", "5"}},
                           {{"N", "4"}, {"NOMBRE", "Eva"}, {"TNC", "M1A"}, {"NOTA", "9"}, {"ACTIVO", "T"}},
                           {{"N", "5"}, {"NOMBRE", "Juan"}, {"TNC", "M2A"}, {"NOTA", ""}},
                       });
}

AnsiString StateName(TDataSetState State) {
    return GetEnumName(TypeInfoOf(static_cast<TDataSetState*>(nullptr)), State);
}

// ---------------------------------------------------------------- recording link

void TRecordingLink::Hook(TDataSet* DataSet, TDataSource* Source, std::vector<std::string>& Log) {
    auto note = [&Log](const char* Name) { return [&Log, Name](TDataSet*) { Log.push_back(Name); }; };
    DataSet->BeforeOpen = note("BeforeOpen");
    DataSet->AfterOpen = note("AfterOpen");
    DataSet->BeforeClose = note("BeforeClose");
    DataSet->AfterClose = note("AfterClose");
    DataSet->BeforeInsert = note("BeforeInsert");
    DataSet->AfterInsert = note("AfterInsert");
    DataSet->BeforeEdit = note("BeforeEdit");
    DataSet->AfterEdit = note("AfterEdit");
    DataSet->BeforePost = note("BeforePost");
    DataSet->AfterPost = note("AfterPost");
    DataSet->BeforeCancel = note("BeforeCancel");
    DataSet->AfterCancel = note("AfterCancel");
    DataSet->BeforeDelete = note("BeforeDelete");
    DataSet->AfterDelete = note("AfterDelete");
    DataSet->BeforeScroll = note("BeforeScroll");
    DataSet->AfterScroll = note("AfterScroll");
    DataSet->OnNewRecord = note("OnNewRecord");
    Source->OnStateChange = [&Log, Source](TObject*) {
        Log.push_back("State " + StateName(Source->State()));
    };
}

void TRecordingLink::ActiveChanged() { FLog.push_back(Active() ? "ActiveChanged on" : "ActiveChanged off"); }
void TRecordingLink::CheckBrowseMode() { FLog.push_back("CheckBrowseMode"); }
void TRecordingLink::DataSetChanged() { FLog.push_back("DataSetChanged"); }
void TRecordingLink::DataSetScrolled(int Distance) {
    FLog.push_back("DataSetScrolled " + std::to_string(Distance));
}
void TRecordingLink::EditingChanged() {
    FLog.push_back(Editing() ? "EditingChanged on" : "EditingChanged off");
}
void TRecordingLink::LayoutChanged() { FLog.push_back("LayoutChanged"); }
void TRecordingLink::RecordChanged(TField* Field) {
    FLog.push_back("RecordChanged " + (Field ? Field->FieldName() : AnsiString("nil")));
}
void TRecordingLink::UpdateData() { FLog.push_back("UpdateData"); }
