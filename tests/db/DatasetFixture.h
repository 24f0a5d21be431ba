#pragma once
// A private machine for the data-set tests: drive C: and the program folder
// (made current) under a temporary folder, a data folder "datos" with the
// database "Zelmor" open on it, and an owner standing in for a form.
//
// Tables are made the way the program makes them: a TTable with FieldDefs
// and IndexDefs, then CreateTable.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "tests/support/TempMachine.h"

struct TFieldSpecForTest {
    AnsiString Name;
    TFieldType Type;
    int Size = 0;
};
struct TIndexSpecForTest {
    const char* Name;
    const char* Fields;
    TIndexOptions Options = {};
};

class DatasetFixture : public ::testing::Test {
protected:
    std::filesystem::path Root, DriveC, Program, Data;
    TComponent* Form = nullptr;
    TDatabase* Database = nullptr;

    void SetUp() override;
    void TearDown() override;

    // A table object owned by the form on the database "Zelmor".
    TTable* NewTable(const AnsiString& TableName, const AnsiString& IndexName = "");
    // Creates (replacing) a table in the data folder.
    void CreateTable(const AnsiString& TableName, const std::vector<TFieldSpecForTest>& Fields,
                     const std::vector<TIndexSpecForTest>& Indexes = {});
    // Appends rows, each given as field name and text (empty: left blank).
    void AddRows(const AnsiString& TableName,
                 const std::vector<std::vector<std::pair<const char*, AnsiString>>>& Rows);
    // The values of a field over the table's rows, in its current order.
    static std::vector<AnsiString> Column(TDataSet* DataSet, const char* FieldName);
    // The students table of these tests: N, NOMBRE C 10, TNC C 4, NOTA N,
    // ACTIVO L; tags N, NOMBRE, TNC, and NOTAD (NOTA descending).
    void MakeStudents();

private:
    std::optional<TTempMachine> FMachine;
};

// Records the notices of a data link, the data source's events and the data
// set's events into one list, in the order they come.
class TRecordingLink : public TDataLink {
public:
    explicit TRecordingLink(std::vector<std::string>& Log) : FLog(Log) {}
    // Joins a data source and hooks its events and its data set's events.
    static void Hook(TDataSet* DataSet, TDataSource* Source, std::vector<std::string>& Log);

protected:
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    std::vector<std::string>& FLog;
};

AnsiString StateName(TDataSetState State);
