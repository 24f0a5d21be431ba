#include "LibraryTestSupport.h"

#include "dataaware/Wwtable.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "tests/support/ui/UiDriver.h"

TLibraryScope::TLibraryScope() {
    InstallUiDriver();
    EnsureApplication();
    StartDataAwareLibrary();
}

TLibraryScope::~TLibraryScope() {
    FinishDataAwareLibrary();
    ResetWindowManager();
    SetDisplay(nullptr);
}

void DataAwareFixture::SetUp() {
    DatasetFixture::SetUp();
    FLibrary = std::make_unique<TLibraryScope>();
}

void DataAwareFixture::TearDown() {
    DatasetFixture::TearDown();
    FLibrary.reset();
}

TwwTable* DataAwareFixture::NewWwTable(const AnsiString& TableName, const AnsiString& IndexName) {
    auto* table = NewComponent<TwwTable>(Form);
    table->SetDatabaseName("Zelmor");
    table->SetTableName(TableName);
    table->SetIndexName(IndexName);
    return table;
}

void DataAwareFixture::MakeSchool() {
    CreateTable("alum",
                {{"N", ftFloat},
                 {"NOMBRE", ftString, 20},
                 {"ABREV", ftString, 4},
                 {"TNC", ftString, 4},
                 {"NOTA", ftFloat},
                 {"ASIG", ftString, 4},
                 {"OBS", ftMemo}},
                {{"NOMBREI", "NOMBRE", {ixCaseInsensitive}},
                 {"NOMAB", "NOMBRE;ABREV"},
                 {"NOTAD", "NOTA", {ixDescending}},
                 {"N", "N"},
                 {"TNC", "TNC"}});
    AddRows(
        "alum",
        {
            {{"N", "1"},
             {"NOMBRE", "luis"},
             {"ABREV", "LU"},
             {"TNC", "M1A"},
             {"NOTA", "7"},
             {"ASIG", "MAT"},
             {"OBS", "Buen alumno"}},
            {{"N", "2"}, {"NOMBRE", "Ana"}, {"ABREV", "AN"}, {"TNC", "M1B"}, {"NOTA", "9"}, {"ASIG", "LEN"}},
            {{"N", "3"},
             {"NOMBRE", "Pedro"},
             {"ABREV", "PE"},
             {"TNC", "M1A"},
             {"NOTA", "5,5"},
             {"ASIG", "XXX"}},
            {{"N", "4"},
             {"NOMBRE", "Eva"},
             {"ABREV", "EV"},
             {"TNC", "M1A"},
             {"NOTA", "9"},
             {"ASIG", "MAT"},
             {"OBS", "{\\rtf1 Muy {\\b atenta}\\par}"}},
            {{"N", "5"},
             {"NOMBRE", "Anabel"},
             {"ABREV", "AB"},
             {"TNC", "M2A"},
             {"NOTA", ""},
             {"ASIG", "HIS"}},
        });
    CreateTable("asig", {{"CODIGO", ftString, 4}, {"NOMBRE", ftString, 30}, {"HORAS", ftFloat}},
                {{"CODIGO", "CODIGO"}});
    AddRows("asig", {{{"CODIGO", "MAT"}, {"NOMBRE", "Matem\xE1ticas"}, {"HORAS", "4"}},
                     {{"CODIGO", "LEN"}, {"NOMBRE", "Lengua"}, {"HORAS", "3"}},
                     {{"CODIGO", "HIS"}, {"NOMBRE", "Historia"}, {"HORAS", "2"}}});
}
