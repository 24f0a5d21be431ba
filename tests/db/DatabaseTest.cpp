// TDatabase: its folder from "Path=", names of tables found in it, folders
// as database names, and closing it closing its tables.
#include <gtest/gtest.h>

#include "DatasetFixture.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

namespace {
class DatabaseTest : public DatasetFixture {
protected:
    void SetUp() override {
        DatasetFixture::SetUp();
        MakeStudents();
        // The exchange folder, in another case than the program names it.
        std::filesystem::create_directories(DriveC / "qtemp");
    }
    // A table with one row made directly in a machine folder.
    void MakeExchangeTable(const std::string& Folder, const char* Name) {
        TTable* maker = NewComponent<TTable>(Form);
        maker->SetDatabaseName(FromUtf8(Folder));
        maker->SetTableName(Name);
        maker->FieldDefs()->Add("ABREV", ftString, 4);
        maker->CreateTable();
        maker->Open();
        maker->Append();
        maker->FieldByName("ABREV")->SetAsString("MAT");
        maker->Post();
        maker->Free();
    }
};

TEST_F(DatabaseTest, TableNamesAreFoundInAnyCaseWithOrWithoutExtension) {
    for (const char* name : {"alumnos", "ALUMNOS.DBF", "Alumnos.dbf", "aLuMnOs"}) {
        TTable* table = NewTable(name);
        EXPECT_NO_THROW(table->Open()) << name;
        EXPECT_EQ(table->RecordCount(), 5) << name;
        table->Free();
    }
    TTable* missing = NewTable("noexiste");
    EXPECT_THROW(missing->Open(), EDatabaseError);
    EXPECT_FALSE(missing->Active());
}

TEST_F(DatabaseTest, PathParameterTakesWindowsPathsWithOrWithoutTheTrailingBackslash) {
    MakeExchangeTable((DriveC / "qtemp").string(), "NomAsgT");
    for (const char* path : {"Path=C:\\QTEMP\\", "Path=C:\\QTEMP", "PATH=c:\\qtemp"}) {
        Database->Close();
        Database->Params()->Clear();
        Database->Params()->Add(path);
        Database->Open();
        EXPECT_EQ(Database->Directory().back() == '\\', false) << path;
        TTable* table = NewTable("nomasgt.dbf");
        table->Open();
        EXPECT_EQ(table->FieldByName("ABREV")->AsString(), "MAT") << path;
        table->Free();
    }
}

// The folder is looked for once while connected, and again when the
// directory changes or the database connects anew.
TEST_F(DatabaseTest, TheFolderFollowsThePathWhileConnected) {
    MakeExchangeTable((DriveC / "qtemp").string(), "NomAsgT");
    const std::string datos = Database->Folder();
    EXPECT_EQ(Database->Folder(), datos);
    Database->Params()->Clear();
    Database->Params()->Add("Path=C:\\QTEMP");
    EXPECT_EQ(Database->Folder(), (DriveC / "qtemp").string());
    TTable* table = NewTable("nomasgt");
    table->Open();
    EXPECT_EQ(table->FieldByName("ABREV")->AsString(), "MAT");
    table->Free();
    std::filesystem::rename(DriveC / "qtemp", DriveC / "QTemp");
    Database->Close();
    Database->Open();
    EXPECT_EQ(Database->Folder(), (DriveC / "QTemp").string());
}

TEST_F(DatabaseTest, AFolderServesAsDatabaseName) {
    MakeExchangeTable((DriveC / "qtemp").string(), "CURSOST");
    TTable* exchange = NewComponent<TTable>(Form);
    exchange->SetDatabaseName("C:\\QTEMP");
    exchange->SetTableName("cursost");
    exchange->Open();
    EXPECT_EQ(exchange->FieldByName("ABREV")->AsString(), "MAT");
    EXPECT_EQ(exchange->Database(), nullptr);
    // A table name holding its folder needs no database name.
    TTable* byPath = NewComponent<TTable>(Form);
    byPath->SetTableName("C:\\QTEMP\\CURSOST.DBF");
    byPath->Open();
    EXPECT_EQ(byPath->RecordCount(), 1);
    // An empty database name is the current (program) folder.
    MakeExchangeTable(Program.string(), "local");
    TTable* local = NewComponent<TTable>(Form);
    local->SetTableName("LOCAL");
    local->Open();
    EXPECT_EQ(local->RecordCount(), 1);
    TTable* unknown = NewComponent<TTable>(Form);
    unknown->SetDatabaseName("NoHayTal");
    unknown->SetTableName("alumnos");
    EXPECT_THROW(unknown->Open(), EDatabaseError);
}

TEST_F(DatabaseTest, ClosingTheDatabaseClosesItsTablesOnly) {
    MakeExchangeTable((DriveC / "qtemp").string(), "GRUPOST");
    TTable* a = NewTable("alumnos");
    TTable* b = NewTable("alumnos", "NOMBRE");
    TTable* exchange = NewComponent<TTable>(Form);
    exchange->SetDatabaseName("C:\\QTEMP");
    exchange->SetTableName("GRUPOST");
    a->Open();
    b->Open();
    exchange->Open();
    EXPECT_EQ(Database->DataSetCount(), 2);
    b->Edit();
    b->FieldByName("NOMBRE")->SetAsString("Abel");
    Database->Close();
    EXPECT_FALSE(a->Active());
    EXPECT_FALSE(b->Active());
    EXPECT_TRUE(exchange->Active());
    EXPECT_EQ(Database->DataSetCount(), 0);
    // The pending edit was kept, and a table reopens its database.
    a->SetIndexName("NOMBRE");
    a->Open();
    EXPECT_TRUE(Database->Connected());
    EXPECT_EQ(a->FieldByName("NOMBRE")->AsString(), "Abel");
}

TEST_F(DatabaseTest, OpeningChecksDriverAndFolder) {
    Database->Close();
    Database->Params()->Clear();
    Database->Params()->Add("Path=C:\\NOEXISTE");
    EXPECT_THROW(Database->Open(), EDatabaseError);
    EXPECT_FALSE(Database->Connected());
    Database->Params()->Clear();
    Database->Params()->Add("Path=datos\\");
    Database->SetDriverName("PARADOX");
    EXPECT_THROW(Database->Open(), EDatabaseError);
    Database->SetDriverName("STANDARD");
    Database->Open();
    EXPECT_THROW(Database->SetDatabaseName("Otra"), EDatabaseError);  // only while closed
    EXPECT_FALSE(Database->IsSQLBased());
    EXPECT_EQ(Database->SessionName(), "Default");
    TStringList params;
    Session().GetAliasParams("zelmor", params);
    EXPECT_EQ(params.Text(), "PATH=datos\r\n");
    EXPECT_EQ(Session().FindDatabase("ZELMOR"), Database);
}

TEST_F(DatabaseTest, ParadoxTablesAreRefused) {
    TTable* paradox = NewTable("cursos.db");
    EXPECT_THROW(paradox->Open(), EDatabaseError);
    TTable* typed = NewTable("alumnos");
    typed->SetTableType(ttParadox);
    EXPECT_THROW(typed->Open(), EDatabaseError);
    typed->SetTableType(ttDBase);
    EXPECT_NO_THROW(typed->Open());
}

TEST_F(DatabaseTest, FreeingTheDatabaseLeavesItsTablesClosed) {
    TTable* table = NewTable("alumnos");
    table->Open();
    Database->Free();
    Database = nullptr;
    EXPECT_FALSE(table->Active());
    EXPECT_EQ(Session().FindDatabase("Zelmor"), nullptr);
}
}  // namespace
