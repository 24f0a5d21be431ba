// The data set's state machine and the order of its events and data-link
// notices for the main operations.
#include <gtest/gtest.h>

#include "DatasetFixture.h"

namespace {
using TLog = std::vector<std::string>;

class DatasetState : public DatasetFixture {
protected:
    TLog Log;
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    std::unique_ptr<TRecordingLink> Link;

    void SetUp() override {
        DatasetFixture::SetUp();
        MakeStudents();
        Table = NewTable("alumnos", "N");
        Source = NewComponent<TDataSource>(Form);
        Source->SetDataSet(Table);
        Link = std::make_unique<TRecordingLink>(Log);
        Link->SetDataSource(Source);
        TRecordingLink::Hook(Table, Source, Log);
    }
    void TearDown() override {
        Link.reset();
        DatasetFixture::TearDown();
    }
    // Runs a step and gives what it logged.
    TLog Run(const std::function<void()>& Step) {
        Log.clear();
        Step();
        return Log;
    }
};

TEST_F(DatasetState, OpenAndCloseNotifyInOrder) {
    EXPECT_EQ(Run([&] { Table->Open(); }),
              (TLog{"BeforeOpen", "ActiveChanged on", "State dsBrowse", "AfterOpen", "AfterScroll"}));
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_TRUE(Table->Bof());
    EXPECT_FALSE(Table->Eof());
    EXPECT_EQ(Run([&] { Table->Close(); }), (TLog{"CheckBrowseMode", "BeforeClose", "ActiveChanged off",
                                                  "State dsInactive", "AfterClose"}));
    EXPECT_EQ(Table->State(), dsInactive);
}

TEST_F(DatasetState, OpeningAnEmptyTableFiresNoScroll) {
    CreateTable("vacia", {{"N", ftFloat}});
    TTable* empty = NewTable("vacia");
    TLog log;
    empty->AfterScroll = [&log](TDataSet*) { log.push_back("AfterScroll"); };
    empty->Open();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(empty->Bof());
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->IsEmpty());
}

TEST_F(DatasetState, MainOperationsNotifyInOrder) {
    Table->Open();
    struct TCase {
        const char* Name;
        std::function<void()> Step;
        TLog Expected;
    };
    std::vector<TCase> cases = {
        {"next",
         [&] { Table->Next(); },
         {"CheckBrowseMode", "BeforeScroll", "DataSetScrolled 1", "AfterScroll"}},
        {"prior",
         [&] { Table->Prior(); },
         {"CheckBrowseMode", "BeforeScroll", "DataSetScrolled -1", "AfterScroll"}},
        {"first",
         [&] { Table->First(); },
         {"CheckBrowseMode", "BeforeScroll", "DataSetChanged", "AfterScroll"}},
        {"edit",
         [&] { Table->Edit(); },
         {"CheckBrowseMode", "BeforeEdit", "EditingChanged on", "State dsEdit", "RecordChanged nil",
          "AfterEdit"}},
        {"set a field",
         [&] { Table->FieldByName("NOMBRE")->SetAsString("Luisa"); },
         {"RecordChanged NOMBRE"}},
        {"post",
         [&] { Table->Post(); },
         {"UpdateData", "CheckBrowseMode", "BeforePost", "EditingChanged off", "State dsBrowse",
          "DataSetChanged", "AfterPost"}},
        {"edit again",
         [&] { Table->Edit(); },
         {"CheckBrowseMode", "BeforeEdit", "EditingChanged on", "State dsEdit", "RecordChanged nil",
          "AfterEdit"}},
        {"cancel",
         [&] { Table->Cancel(); },
         {"CheckBrowseMode", "BeforeCancel", "EditingChanged off", "State dsBrowse", "DataSetChanged",
          "AfterCancel"}},
        {"insert",
         [&] { Table->Insert(); },
         {"CheckBrowseMode", "BeforeInsert", "BeforeScroll", "EditingChanged on", "State dsInsert",
          "OnNewRecord", "DataSetChanged", "AfterInsert", "AfterScroll"}},
        {"cancel the insert",
         [&] { Table->Cancel(); },
         {"CheckBrowseMode", "BeforeCancel", "EditingChanged off", "State dsBrowse", "DataSetChanged",
          "AfterCancel"}},
        {"delete",
         [&] { Table->Delete(); },
         {"CheckBrowseMode", "BeforeDelete", "BeforeScroll", "DataSetChanged", "AfterDelete", "AfterScroll"}},
        {"append",
         [&] { Table->Append(); },
         {"CheckBrowseMode", "BeforeInsert", "BeforeScroll", "EditingChanged on", "State dsInsert",
          "OnNewRecord", "DataSetChanged", "AfterInsert", "AfterScroll"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(c.Step), c.Expected) << c.Name;
}

TEST_F(DatasetState, LeavingAnEditedRowPostsItAndAnUntouchedOneIsCancelled) {
    Table->Open();
    Table->Edit();
    Table->FieldByName("NOMBRE")->SetAsString("Luisa");
    TLog log = Run([&] { Table->Next(); });
    // The pending control text is asked for twice (moving, then posting): the
    // link writes it only while it is marked modified.
    EXPECT_EQ(log, (TLog{"CheckBrowseMode", "UpdateData", "UpdateData", "CheckBrowseMode", "BeforePost",
                         "EditingChanged off", "State dsBrowse", "DataSetChanged", "AfterPost",
                         "BeforeScroll", "DataSetScrolled 1", "AfterScroll"}));
    Table->Insert();  // nothing typed: moving away drops the new row
    int count = Table->RecordCount();
    Table->Next();
    EXPECT_EQ(Table->RecordCount(), count);
    EXPECT_EQ(Table->State(), dsBrowse);
    TTable* other = NewTable("alumnos", "N");
    other->Open();
    EXPECT_EQ(other->FieldByName("NOMBRE")->AsString(), "Luisa");
}

TEST_F(DatasetState, ClosePostsAPendingEdit) {
    Table->Open();
    Table->Edit();
    Table->FieldByName("NOMBRE")->SetAsString("Cerrado");
    Table->Close();
    Table->Open();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Cerrado");
}

TEST_F(DatasetState, FilterChangeGoesToTheFirstMatchingRow) {
    Table->Open();
    Table->Last();
    Table->SetFilter("TNC='M1A'");
    TLog log = Run([&] { Table->SetFiltered(true); });
    EXPECT_EQ(log,
              (TLog{"CheckBrowseMode", "CheckBrowseMode", "BeforeScroll", "DataSetChanged", "AfterScroll"}));
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Luis");
    EXPECT_EQ(Table->RecordCount(), 3);
}

TEST_F(DatasetState, DisabledControlsHearOneChangeAtTheLastEnable) {
    Table->Open();
    TLog log = Run([&] {
        Table->DisableControls();
        Table->DisableControls();
        Table->Next();
        Table->Edit();
        Table->FieldByName("NOTA")->SetAsFloat(8);
        Table->Post();
        Table->EnableControls();
        Log.push_back("-- inner enable");
        Table->EnableControls();
    });
    EXPECT_EQ(log, (TLog{"BeforeScroll", "AfterScroll", "BeforeEdit", "AfterEdit", "BeforePost", "AfterPost",
                         "-- inner enable", "DataSetChanged"}));
    EXPECT_FALSE(Table->ControlsDisabled());
}

TEST_F(DatasetState, ClosingWhileDisabledIsHeardAtEnable) {
    Table->Open();
    Table->DisableControls();
    Table->Close();
    TLog log = Run([&] { Table->EnableControls(); });
    EXPECT_EQ(log, (TLog{"ActiveChanged off", "State dsInactive"}));
}

TEST_F(DatasetState, EditOfAnEmptyTableInserts) {
    CreateTable("vacia", {{"N", ftFloat}});
    TTable* empty = NewTable("vacia");
    empty->Open();
    empty->Edit();
    EXPECT_EQ(empty->State(), dsInsert);
}

TEST_F(DatasetState, ReadOnlyTablesRefuseChanges) {
    Table->SetReadOnly(true);
    Table->Open();
    EXPECT_FALSE(Table->CanModify());
    EXPECT_THROW(Table->Edit(), EDatabaseError);
    EXPECT_THROW(Table->Append(), EDatabaseError);
    EXPECT_THROW(Table->Delete(), EDatabaseError);
    EXPECT_EQ(Table->State(), dsBrowse);
}

TEST_F(DatasetState, FieldWritesNeedEditMode) {
    Table->Open();
    EXPECT_THROW(Table->FieldByName("NOMBRE")->SetAsString("x"), EDatabaseError);
    EXPECT_THROW(Table->Post(), EDatabaseError);
}

TEST_F(DatasetState, DeleteMovesToTheNextRowAndAtTheEndToThePrevious) {
    Table->Open();
    Table->Next();  // N 2
    Table->Delete();
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 3);
    Table->Last();  // N 5
    Table->Delete();
    EXPECT_EQ(Table->FieldByName("N")->AsInteger(), 4);
    EXPECT_EQ(Column(Table, "N"), (std::vector<AnsiString>{"1", "3", "4"}));
    // Deleting every row in a loop empties the table.
    Table->First();
    while (!Table->Eof()) Table->Delete();
    EXPECT_TRUE(Table->IsEmpty());
    EXPECT_EQ(Table->RecordCount(), 0);
}

TEST_F(DatasetState, InsertedRowTakesItsPlaceInTheOrderWhenPosted) {
    Table->Open();
    Table->Next();
    Table->Next();  // N 3
    Table->Insert();
    Table->FieldByName("N")->SetAsInteger(10);
    Table->FieldByName("NOMBRE")->SetAsString("Nuevo");
    Table->Post();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Nuevo");
    EXPECT_EQ(Column(Table, "N"), (std::vector<AnsiString>{"1", "2", "3", "4", "5", "10"}));
}

TEST_F(DatasetState, BeforePostCanFillFieldsAndOnNewRecordStartsTheRow) {
    Table->OnNewRecord = [](TDataSet* DataSet) { DataSet->FieldByName("TNC")->SetAsString("M9Z"); };
    Table->BeforePost = [](TDataSet* DataSet) {
        DataSet->FieldByName("NOMBRE")->SetAsString("de " + DataSet->FieldByName("TNC")->AsString());
    };
    Table->Open();
    Table->Append();
    EXPECT_FALSE(Table->Modified());  // OnNewRecord's values do not count as typed
    Table->FieldByName("N")->SetAsInteger(6);
    EXPECT_TRUE(Table->Modified());
    Table->Post();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "de M9Z");
}

TEST_F(DatasetState, RequiredFieldsAndPostErrorsKeepTheEdit) {
    Table->Open();
    Table->FieldByName("NOMBRE")->SetRequired(true);
    Table->Append();
    Table->FieldByName("N")->SetAsInteger(6);
    EXPECT_THROW(Table->Post(), EDatabaseError);
    EXPECT_EQ(Table->State(), dsInsert);
    Table->FieldByName("NOMBRE")->SetAsString("Ya");
    Table->Post();
    EXPECT_EQ(Table->RecordCount(), 6);
}
}  // namespace

namespace {
TEST_F(DatasetState, ChangesThroughAnotherTableObjectShowAfterARefresh) {
    Table->Open();
    TTable* worker = NewTable("alumnos", "NOMBRE");
    worker->Open();
    worker->FindKey({"Luis"});
    worker->Edit();
    worker->FieldByName("NOTA")->SetAsFloat(10);
    worker->Post();
    worker->Append();
    worker->FieldByName("N")->SetAsInteger(6);
    worker->FieldByName("NOMBRE")->SetAsString("Zoe");
    worker->Post();
    EXPECT_EQ(Table->FieldByName("NOTA")->AsFloat(), 7);  // the buffer is a copy
    Table->Refresh();
    EXPECT_EQ(Table->FieldByName("NOTA")->AsFloat(), 10);
    EXPECT_EQ(Table->RecordCount(), 6);
    // Editing reads the record again before the change.
    worker->Edit();
    worker->FieldByName("NOTA")->SetAsFloat(1);
    worker->Post();
    Table->Last();
    Table->Edit();
    EXPECT_EQ(Table->FieldByName("NOTA")->AsFloat(), 1);
    Table->Cancel();
    // A row deleted elsewhere while edited here is not written; the edit stays.
    Table->Edit();
    Table->FieldByName("NOMBRE")->SetAsString("Tarde");
    worker->Delete();
    EXPECT_THROW(Table->Post(), EDatabaseError);
    EXPECT_EQ(Table->State(), dsEdit);
    Table->Cancel();  // the window is read again: the row is gone, the last one left is current
    EXPECT_EQ(Table->FieldByName("N")->AsString(), "5");
    EXPECT_EQ(Table->RecordCount(), 5);
    // A row deleted elsewhere cannot be put into edit mode here.
    worker->FindKey({"Juan"});
    worker->Delete();
    EXPECT_THROW(Table->Edit(), EDatabaseError);
    EXPECT_EQ(Table->State(), dsBrowse);
}

TEST_F(DatasetState, BulkEditOfAFilteredCourseVisitsEachRowOnce) {
    Table->SetFilter("TNC='M1A'");
    Table->SetFiltered(true);
    Table->Open();
    std::vector<AnsiString> seen;
    Table->DisableControls();
    Table->First();
    while (!Table->Eof()) {
        seen.push_back(Table->FieldByName("NOMBRE")->AsString());
        Table->Edit();
        Table->FieldByName("ACTIVO")->SetAsBoolean(!Table->FieldByName("ACTIVO")->AsBoolean());
        Table->Post();
        Table->Next();
    }
    Table->First();
    Table->EnableControls();
    EXPECT_EQ(seen, (std::vector<AnsiString>{"Luis", "Pedro", "Eva"}));
    EXPECT_EQ(Column(Table, "ACTIVO"), (std::vector<AnsiString>{"False", "True", "False"}));
    // A row whose change takes it out of the filter leaves the view at once.
    Table->First();
    Table->Edit();
    Table->FieldByName("TNC")->SetAsString("M1B");
    Table->Post();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Pedro");
    EXPECT_EQ(Table->RecordCount(), 2);
}
}  // namespace

namespace {
TEST_F(DatasetState, PostErrorEventDecidesBetweenFailAbortAndRetry) {
    Table->Open();
    TTable* worker = NewTable("alumnos", "N");
    worker->Open();
    Table->Edit();
    Table->FieldByName("NOMBRE")->SetAsString("Tarde");
    worker->Delete();  // Luis goes while edited here
    std::vector<TDataAction> answers = {daRetry, daAbort};
    size_t calls = 0;
    Table->OnPostError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) { Action = answers[calls++]; };
    EXPECT_THROW(Table->Post(), EAbort);  // retried once, then ended silently
    EXPECT_EQ(calls, 2u);
    EXPECT_EQ(Table->State(), dsEdit);
    Table->OnPostError = nullptr;
    EXPECT_THROW(Table->Post(), EDatabaseError);
    Table->Cancel();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Ana");
}
}  // namespace
