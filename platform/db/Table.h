#pragma once
// TDBDataSet: a data set opened on a database (TDatabase) by name.
// TTable: one dBase table of that database, by table name, with its indexes,
// keys, ranges and the operations on the table's files.
//
// Table names are found without regard to case, with or without ".dbf"
// ("TIPOS.DBF", "tipos2", "NomAsg.dbf"). A name holding a folder
// ("C:\QTEMP\CURSOS.DBF", "datos\alum") is taken as a path of its own.
#include <memory>
#include <vector>

#include "platform/db/DataSet.h"

class TDatabase;
class TDataSource;
class TDbfTable;
class TMasterLink;
struct TDbfKey;

class TDBDataSet : public TDataSet {
    ZELMOR_CLASS(TDBDataSet, TDataSet)
    friend class TDatabase;

public:
    explicit TDBDataSet(TComponent* AOwner);
    ~TDBDataSet() override;
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& DatabaseName() const { return FDatabaseName; }
    // Only while closed.
    void SetDatabaseName(const AnsiString& Value);
    const AnsiString& SessionName() const { return FSessionName; }
    void SetSessionName(const AnsiString& Value) { FSessionName = Value; }
    // The database component the data set is open on; null when closed or
    // when its DatabaseName is a folder.
    TDatabase* Database() const { return FDatabase; }

protected:
    // The machine folder of DatabaseName (opens its database when needed).
    std::string DatabaseFolder();
    void OpenCursor(bool InfoQuery) override;
    void CloseCursor() override;

private:
    AnsiString FDatabaseName;
    AnsiString FSessionName = "Default";
    TDatabase* FDatabase = nullptr;
};

enum TTableType { ttDefault, ttParadox, ttDBase, ttASCII, ttFoxPro };
ZELMOR_DECLARE_ENUM(TTableType);

class TTable : public TDBDataSet {
    ZELMOR_CLASS(TTable, TDBDataSet)
    friend class TMasterLink;

public:
    explicit TTable(TComponent* AOwner);
    ~TTable() override;
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& TableName() const { return FTableName; }
    // Only while closed.
    void SetTableName(const AnsiString& Value);
    // ttDefault follows the extension; Paradox tables are refused when opened.
    TTableType TableType() const { return FTableType; }
    void SetTableType(TTableType Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Accepted for the forms' sake: a table is shared with other programs
    // all the same, as the engine shares every table (one writer at a time).
    bool Exclusive() const { return FExclusive; }
    void SetExclusive(bool Value);
    bool CanModify() const override;
    bool MapsToIndex(const std::vector<TField*>& Fields, bool CaseInsensitive) override;

    // --- indexes ---
    // A tag of the production index (by name, without regard to case);
    // empty: the record order. Setting it clears IndexFieldNames.
    const AnsiString& IndexName() const { return FIndexName; }
    void SetIndexName(const AnsiString& Value);
    // Fields "A;B": the tag made of exactly those fields, else an order kept
    // in memory while the table is open. Setting it clears IndexName.
    const AnsiString& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const AnsiString& Value);
    TIndexDefs* IndexDefs() const { return FIndexDefs.get(); }
    void SetIndexDefs(TIndexDefs* Value);
    // Reads IndexDefs from the table's tags (opening it for that when closed).
    void UpdateIndexDefs();
    // The fields of the current index, in key order.
    int IndexFieldCount() const;
    TField* IndexFields(int Index) const;
    void GetIndexNames(TStrings& List);
    // Key values used by GotoKey/GotoNearest: 0 means every field given.
    int KeyFieldCount() const { return FKeyFieldCount; }
    void SetKeyFieldCount(int Value) { FKeyFieldCount = Value; }

    // --- master and detail ---
    TDataSource* MasterSource() const { return FMasterSource; }
    void SetMasterSource(TDataSource* Value);
    // The master's fields ("A;B") whose values limit this table to the
    // records whose leading index fields hold them.
    const AnsiString& MasterFields() const { return FMasterFields; }
    void SetMasterFields(const AnsiString& Value);

    // --- keys (on the current index; the filter counts) ---
    // State dsSetKey with an empty key: assign the index fields, then GotoKey.
    void SetKey();
    // The same keeping the last key's values.
    void EditKey();
    // The first record whose index fields equal the key; false and no move
    // when none is visible.
    bool GotoKey();
    // The first record whose key is at or after the key (a text key matches
    // as a prefix); the last record when none is.
    void GotoNearest();
    bool FindKey(const TKeyValues& KeyValues);
    void FindNearest(const TKeyValues& KeyValues);
    // Moves to the record another table object on the same file stands on.
    void GotoCurrent(TTable* Table);

    // --- ranges ---
    void SetRangeStart();
    void SetRangeEnd();
    void EditRangeStart();
    void EditRangeEnd();
    void ApplyRange();
    void CancelRange();
    void SetRange(const TKeyValues& StartValues, const TKeyValues& EndValues);

    // --- the table's files (the table must be closed, but for EmptyTable) ---
    // Makes the table from FieldDefs (or, when empty, the declared data
    // fields) and IndexDefs, replacing any table of that name.
    void CreateTable();
    // Removes every record.
    void EmptyTable();
    void DeleteTable();
    // Renames the .dbf, .dbt and .mdx together; TableName takes the new name.
    void RenameTable(const AnsiString& NewTableName);
    bool Exists();

    // The engine's sequence number of the current record (RecNo).
    int SequenceNumber() { return RecNo(); }
    // The machine path of the table's .dbf (found or to be made).
    std::string TablePath();

protected:
    std::unique_ptr<TDbfCursor> CreateHandle() override;
    void PrepareCursor() override;
    void CloseCursor() override;
    void InitFieldDefs() override;
    TRecordBuffer* GetActiveRecBuf() const override;
    bool SeekLocateStart(TDbfCursor& Cursor, const TField* Field, const TVariant& Value,
                         TLocateOptions Options, TDbfKey& Bound) override;
    const TDbfKey* RangeStartKey() const override;
    const TDbfKey* RangeEndKey() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DoOnNewRecord() override;
    void SetFieldData(TField* Field, TFieldData& Data) override;
    void PostKeyBuffer(bool Commit) override;

private:
    enum TKeyIndex { kiLookup, kiRangeStart, kiRangeEnd, kiCount };
    struct TKeyState {
        TRecordBuffer Buffer;
        std::vector<int> Assigned;  // engine fields given a value
    };
    void SwitchOrder();
    int OrderForSettings();
    int CurrentOrder() const;
    std::vector<int> IndexFieldNumbers() const;
    void SetKeyBuffer(TKeyIndex Index, bool Clear);
    // The key in a key buffer; false when no field of it was given a value
    // (a range end left open).
    bool BuildKey(TKeyIndex Index, bool Partial, TDbfKey& Key) const;
    TDbfKey KeyFromValues(const TKeyValues& Values, bool Partial) const;
    bool SeekTo(const TDbfKey& Key, bool Nearest);
    void SetRangeKeys(std::unique_ptr<TDbfKey> Start, std::unique_ptr<TDbfKey> End);
    void CheckDBase() const;
    void MasterChanged();
    void ApplyMasterRange();

    AnsiString FTableName;
    TTableType FTableType = ttDefault;
    bool FReadOnly = false;
    bool FExclusive = false;
    AnsiString FIndexName;
    AnsiString FIndexFieldNames;
    std::unique_ptr<TIndexDefs> FIndexDefs;
    int FKeyFieldCount = 0;
    TKeyState FKeys[kiCount];
    TKeyIndex FKeyIndex = kiLookup;
    TKeyState FKeySaved;  // the key buffer before SetKey/EditKey, back on Cancel
    bool FRangeActive = false;
    std::unique_ptr<TDbfKey> FRangeStart;
    std::unique_ptr<TDbfKey> FRangeEnd;
    TDataSource* FMasterSource = nullptr;
    AnsiString FMasterFields;
    std::unique_ptr<TMasterLink> FMasterLink;
};

// A table object for one operation, with no owner: freed when it goes out of
// scope. The program makes one for each import, merge or count, as the
// screens make their own components.
struct TTempTableDeleter {
    void operator()(TTable* Table) const;
};
using TTempTable = std::unique_ptr<TTable, TTempTableDeleter>;
// A dBase table object on the database (or folder), not yet opened: to test,
// create, empty, rename or delete the table.
TTempTable NewTempTable(const AnsiString& DatabaseName, const AnsiString& TableName);
// The same, opened, in record order or in the order of the tag IndexName.
TTempTable OpenTempTable(const AnsiString& DatabaseName, const AnsiString& TableName,
                         const AnsiString& IndexName = {});
// Shows only the rows whose Field holds exactly Value: the value is quoted
// (an apostrophe stays part of it) and partial comparison is off (a value
// ending in '*' is not a prefix).
void FilterEqual(TDataSet& Data, const AnsiString& Field, const AnsiString& Value);

// Tables of a database held for one batch of work while this object lives
// (TDbfTable::BeginHold): every table object opened on them meanwhile shares
// the held table, which is taken in once. Those in Write stay in one write
// session each, whose index is written once, when the hold ends; no other
// program sees the batch half done. The tables are taken in the order of
// their paths, so that the batches of two programs never wait for each
// other in a ring; when another program writes one of Write, dbeInUse is
// raised and nothing is held.
class TTableHold {
public:
    TTableHold(const AnsiString& DatabaseName, const std::vector<AnsiString>& Write,
               const std::vector<AnsiString>& Read = {});
    // Ends the hold, swallowing an error of the last writes (the index is
    // then rebuilt at the next opening): End shows it.
    ~TTableHold();
    TTableHold(const TTableHold&) = delete;
    TTableHold& operator=(const TTableHold&) = delete;
    // Ends the hold of every table now; raises the first error after all are let go.
    void End();

private:
    std::vector<std::shared_ptr<TDbfTable>> FTables;
};
