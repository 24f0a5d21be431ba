#include "platform/db/Database.h"

#include <algorithm>
#include <filesystem>

#include "platform/db/Table.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"

ZELMOR_IMPLEMENT_COMPONENT(TDatabase, TComponent)

namespace {
bool IsFolder(const std::string& Path) {
    std::error_code error;
    return !Path.empty() && std::filesystem::is_directory(Path, error);
}
}  // namespace

TSession& Session() {
    static TSession session;
    return session;
}

// ---------------------------------------------------------------- TDatabase

TDatabase::TDatabase(TComponent* AOwner) : TComponent(AOwner), FParams(std::make_unique<TStringList>()) {
    Session().FDatabases.push_back(this);
}

TDatabase::~TDatabase() {
    for (TDBDataSet* dataSet : FDataSets) dataSet->FDatabase = nullptr;
    FDataSets.clear();
    auto& list = Session().FDatabases;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TDatabase::BeforeDestruction() {
    try {
        Close();
    } catch (...) {
        // A table that cannot post its pending edit still lets go of the database.
    }
    TComponent::BeforeDestruction();
}

void TDatabase::DescribeProperties(TPropertyTable& T) {
    T.Property("Connected", &TDatabase::Connected, &TDatabase::SetConnected).Default(false);
    T.Property("DatabaseName", &TDatabase::DatabaseName, &TDatabase::SetDatabaseName);
    T.Property("DriverName", &TDatabase::DriverName, &TDatabase::SetDriverName);
    T.Property("KeepConnection", &TDatabase::KeepConnection, &TDatabase::SetKeepConnection).Default(true);
    T.Property("LoginPrompt", &TDatabase::LoginPrompt, &TDatabase::SetLoginPrompt).Default(true);
    T.Property("Params", &TDatabase::Params, &TDatabase::SetParams);
    T.Property("SessionName", &TDatabase::SessionName, &TDatabase::SetSessionName);
}

void TDatabase::Loaded() {
    TComponent::Loaded();
    if (FStreamedConnected) {
        FStreamedConnected = false;
        SetConnected(true);
    }
}

void TDatabase::SetDatabaseName(const AnsiString& Value) {
    if (Value == FDatabaseName) return;
    if (FConnected) DatabaseError("Cannot perform this operation on an open database", this);
    FDatabaseName = Value;
}

void TDatabase::SetDriverName(const AnsiString& Value) {
    if (Value == FDriverName) return;
    if (FConnected) DatabaseError("Cannot perform this operation on an open database", this);
    FDriverName = Value;
}

TStrings* TDatabase::Params() const { return FParams.get(); }

void TDatabase::SetParams(TStrings* Value) {
    if (Value) FParams->Assign(Value);
}

AnsiString TDatabase::Directory() const {
    AnsiString path = Trim(FParams->Values("PATH"));
    // "C:\" keeps its backslash: without it the drive's current folder is meant.
    if (path.size() > 1 && path.back() == '\\' && !(path.size() == 3 && path[1] == ':')) path.pop_back();
    return path;
}

std::string TDatabase::Folder() const {
    AnsiString directory = Directory();
    // Every table opened names its folder: while connected, the folder found
    // for the directory is kept, so that it is looked for once, not at each.
    if (FConnected && !FFolder.empty() && FFolderOf == directory) return FFolder;
    std::string folder = MapPath(directory.empty() ? AnsiString(".") : directory);
    if (FConnected) {
        FFolderOf = directory;
        FFolder = folder;
    }
    return folder;
}

void TDatabase::SetConnected(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedConnected = Value;
        return;
    }
    if (Value == FConnected) return;
    if (!Value) {
        CloseDataSets();
        FConnected = false;
        FFolder.clear();
        return;
    }
    if (!FDriverName.empty() && !SameText(FDriverName, "STANDARD"))
        DatabaseErrorFmt(DBText::NotSupported, {"the driver " + FDriverName}, this);
    const std::string folder = Folder();
    if (!IsFolder(folder)) DatabaseErrorFmt("Directory not found: %s", {Directory()}, this);
    FConnected = true;
    FFolderOf = Directory();
    FFolder = folder;
}

void TDatabase::CloseDataSets() {
    for (TDBDataSet* dataSet : std::vector<TDBDataSet*>(FDataSets)) dataSet->Close();
}

void TDatabase::RegisterDataSet(TDBDataSet* DataSet) {
    if (std::find(FDataSets.begin(), FDataSets.end(), DataSet) == FDataSets.end())
        FDataSets.push_back(DataSet);
}

void TDatabase::UnregisterDataSet(TDBDataSet* DataSet) {
    FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), DataSet), FDataSets.end());
}

// ---------------------------------------------------------------- TSession

TDatabase* TSession::FindDatabase(std::string_view DatabaseName) const {
    if (DatabaseName.empty()) return nullptr;
    for (TDatabase* database : FDatabases)
        if (SameText(database->DatabaseName(), DatabaseName)) return database;
    return nullptr;
}

void TSession::GetDatabaseNames(TStrings& List) const {
    List.Clear();
    for (TDatabase* database : FDatabases)
        if (!database->DatabaseName().empty() && List.IndexOf(database->DatabaseName()) < 0)
            List.Add(database->DatabaseName());
}

void TSession::GetAliasNames(TStrings& List) const { GetDatabaseNames(List); }

void TSession::GetAliasParams(std::string_view AliasName, TStrings& List) const {
    List.Clear();
    if (TDatabase* database = FindDatabase(AliasName)) List.Add("PATH=" + database->Directory());
}

std::string TSession::FolderOf(std::string_view DatabaseName) {
    if (TDatabase* database = FindDatabase(DatabaseName)) {
        database->Open();
        return database->Folder();
    }
    std::string folder = MapPath(DatabaseName.empty() ? std::string_view(".") : DatabaseName);
    if (!IsFolder(folder)) DatabaseErrorFmt(DBText::UnknownDatabase, {DatabaseName});
    return folder;
}
