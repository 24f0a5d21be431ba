#pragma once
// TDatabase: a named folder of dBase tables. The program names it "Zelmor",
// gives it the driver "STANDARD" and the single parameter "Path=<folder>"
// (a Windows path, with or without a trailing "\"), and opens its tables by
// table name on it. Closing the database closes every table opened on it.
//
// A table whose DatabaseName names no database component is opened in the
// folder that name gives instead (the exchange folder "C:\QTEMP"); an empty
// DatabaseName means the current folder.
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DB.h"

class TDBDataSet;
class TStrings;
class TStringList;

class TDatabase : public TComponent {
    ZELMOR_CLASS(TDatabase, TComponent)
    friend class TDBDataSet;

public:
    explicit TDatabase(TComponent* AOwner);
    ~TDatabase() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& DatabaseName() const { return FDatabaseName; }
    // Only while closed.
    void SetDatabaseName(const AnsiString& Value);
    const AnsiString& DriverName() const { return FDriverName; }
    void SetDriverName(const AnsiString& Value);
    TStrings* Params() const;
    void SetParams(TStrings* Value);
    const AnsiString& SessionName() const { return FSessionName; }
    void SetSessionName(const AnsiString& Value) { FSessionName = Value; }
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
    bool KeepConnection() const { return FKeepConnection; }
    void SetKeepConnection(bool Value) { FKeepConnection = Value; }

    bool Connected() const { return FConnected; }
    // Opening checks that the folder exists (EDatabaseError naming it).
    void SetConnected(bool Value);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }
    bool IsSQLBased() const { return false; }
    int DataSetCount() const { return static_cast<int>(FDataSets.size()); }
    TDBDataSet* DataSets(int Index) const { return FDataSets.at(static_cast<size_t>(Index)); }
    void CloseDataSets();

    // The "Path=" parameter as given (Windows path, trailing "\" removed).
    AnsiString Directory() const;
    // The machine folder of Directory (UTF-8 POSIX path); while connected,
    // the one found when it connected (or when the directory last changed).
    std::string Folder() const;

protected:
    void Loaded() override;

private:
    void RegisterDataSet(TDBDataSet* DataSet);
    void UnregisterDataSet(TDBDataSet* DataSet);

    AnsiString FDatabaseName;
    AnsiString FDriverName;
    std::unique_ptr<TStringList> FParams;
    AnsiString FSessionName = "Default";
    bool FLoginPrompt = true;
    bool FKeepConnection = true;
    bool FConnected = false;
    bool FStreamedConnected = false;
    std::vector<TDBDataSet*> FDataSets;
    // While connected: the folder found for the directory FFolderOf.
    mutable AnsiString FFolderOf;
    mutable std::string FFolder;
};

// The session: the databases of the process by name, and their aliases.
class TSession {
public:
    const AnsiString& SessionName() const { return FSessionName; }
    // The database component of that name (without regard to case), or null.
    TDatabase* FindDatabase(std::string_view DatabaseName) const;
    void GetDatabaseNames(TStrings& List) const;
    // Aliases are the database components: their names.
    void GetAliasNames(TStrings& List) const;
    // "PATH=<folder>" for a database component of that name; nothing else.
    void GetAliasParams(std::string_view AliasName, TStrings& List) const;
    // The folder a data set with this DatabaseName opens its tables in
    // (UTF-8 POSIX path). Opens a database component of that name when it is
    // closed. EDatabaseError for a name that is neither a database nor an
    // existing folder.
    std::string FolderOf(std::string_view DatabaseName);

private:
    friend class TDatabase;
    AnsiString FSessionName = "Default";
    std::vector<TDatabase*> FDatabases;
};

TSession& Session();
