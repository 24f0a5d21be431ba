#pragma once
// TwwTable: the table of every data screen. On top of the class library's
// table it carries the library's per-data-set lines (LookupFields and
// LookupLinks, ControlType, PictureMasks), a filter written as expression
// lines (wwFilter), a record filter event (OnFilter) with its options, a
// Query text that would open the table from a statement, and the picture-mask
// check of every field before a post. It picks its index by a list of fields
// and searches keys of up to six values.
//
// wwFilter lines join as the first line, then " AND (" line ")" for each
// further one; lines of blanks count for nothing (X, Y, Z gives
// X AND (Y) AND (Z)). The expression language is wwfilterexpr.h's.
//
// Statements do not run on the dBase engine: a table given a Query text
// (like the query, QBE and stored-procedure data sets) ends in a database
// error and stays closed.
//
// The lookup tables a table opens for its LookupFields belong to it and are
// freed when its cursor closes (and with the table): a reopened table takes
// the lookup tables as they are then.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataaware/Wwtypes.h"
#include "dataaware/wwfilterexpr.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/Table.h"
#include "platform/rtl/StringList.h"

class TParam;
class TParams;
class TStringList;
class TwwTable;

// What the library's four data sets add to their bases alike: the line
// lists, the lookup tables, the check before a post, and the engine callback
// that runs their OnFilter event. Each data set owns one.
class TwwDataSetExtras {
public:
    explicit TwwDataSetExtras(TDataSet* DataSet);
    ~TwwDataSetExtras();
    TwwDataSetExtras(const TwwDataSetExtras&) = delete;
    TwwDataSetExtras& operator=(const TwwDataSetExtras&) = delete;

    TStrings* LookupFields() const;
    TStrings* LookupLinks() const;
    TStrings* ControlType() const;
    TStrings* PictureMasks() const;
    TwwLookupTables& LookupTables() { return FLookupTables; }
    void FreeLookupTables();

    TwwOnFilterOptions Options() const { return FOptions; }
    // Stores the options; taking ofoEnabled away from an open data set with a
    // record filter shows the records it hid.
    void SetOptions(TwwOnFilterOptions Value, bool FilterAssigned);
    // Installs (or, when RunFilter is empty, removes) the engine callback
    // that runs the data set's OnFilter for each record.
    bool InstallRecordFilter(std::function<void(bool& Accept)> RunFilter,
                             const TDataSetNotifyEvent* OnEscape);
    int& CallbackHandle() { return FCallbackHandle; }
    // The arrow back once the records are read, if the filter showed the hourglass.
    void RestoreFilterCursor();
    // The value of a field of the record being filtered.
    TParam* GetFilterFieldValue(const AnsiString& FieldName);
    TParam* GetFilterFieldValue(TField* Field);
    // A stored number or text field of the record being filtered, read
    // straight from the record without a parameter: Direct false when the
    // field is not read so (outside the callback, a calculated, lookup, blob
    // or other field), and the caller reads GetFilterFieldValue instead.
    struct TFilterRead {
        bool Direct = false;
        bool Null = false;
    };
    TFilterRead ReadFilterNumber(TField* Field, double& Value) const;
    TFilterRead ReadFilterText(TField* Field, AnsiString& Text) const;
    // The calculated-fields step: lines of missing fields dropped, lookup fields filled.
    void CalcLookups();
    void ValidateBeforePost(bool ValidateWithMask, const TwwInvalidValueEvent& OnInvalidValue);

private:
    bool JudgeRecord(const char* Record);

    TDataSet* FDataSet;
    std::unique_ptr<TStringList> FLookupFields, FLookupLinks, FControlType, FPictureMasks;
    TwwLookupTables FLookupTables;
    TwwOnFilterOptions FOptions{ofoEnabled, ofoShowHourGlass};
    std::function<void(bool& Accept)> FRunFilter;
    const TDataSetNotifyEvent* FOnEscape = nullptr;
    int FCallbackHandle = 0;
    bool FInCallback = false;
    bool FHourGlassShown = false;
    int FEscapePoll = 0;
    const char* FFilterRecord = nullptr;
    std::unique_ptr<TParams> FFilterParams;
    std::vector<char> FParamBuffer;
};

using TwwTableFilterEvent = TEvent<void(TwwTable* Table, bool& Accept)>;

class TwwTable : public TTable {
    ZELMOR_CLASS(TwwTable, TTable)
public:
    explicit TwwTable(TComponent* AOwner);
    ~TwwTable() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- lines ---
    TStrings* LookupFields() const { return FExtras->LookupFields(); }
    void SetLookupFields(TStrings* Value);
    TStrings* LookupLinks() const { return FExtras->LookupLinks(); }
    void SetLookupLinks(TStrings* Value);
    TStrings* ControlType() const { return FExtras->ControlType(); }
    void SetControlType(TStrings* Value);
    TStrings* PictureMasks() const { return FExtras->PictureMasks(); }
    void SetPictureMasks(TStrings* Value);
    // Applied at once on an open table ("Fail to set filter" when refused).
    TStrings* wwFilter() const;
    void SetwwFilter(TStrings* Value);
    AnsiString GetwwFilterText() const;
    // Setting lines closes the table and clears its TableName, index and
    // master link; a non-empty TableName clears the lines again.
    TStrings* Query() const;
    void SetQuery(TStrings* Value);
    void SetTableName(const AnsiString& Value);

    bool SyncSQLByRange() const { return FSyncSQLByRange; }
    void SetSyncSQLByRange(bool Value) { FSyncSQLByRange = Value; }
    bool NarrowSearch() const { return FNarrowSearch; }
    void SetNarrowSearch(bool Value) { FNarrowSearch = Value; }
    uint16_t NarrowSearchUpperChar() const { return FNarrowSearchUpperChar; }
    void SetNarrowSearchUpperChar(uint16_t Value) { FNarrowSearchUpperChar = Value; }
    bool ValidateWithMask() const { return FValidateWithMask; }
    void SetValidateWithMask(bool Value) { FValidateWithMask = Value; }

    // --- the record filter ---
    const TwwTableFilterEvent& OnFilter() const { return FOnFilter; }
    void SetOnFilter(const TwwTableFilterEvent& Value);
    TwwOnFilterOptions OnFilterOptions() const { return FExtras->Options(); }
    void SetOnFilterOptions(TwwOnFilterOptions Value);
    TDataSetNotifyEvent OnFilterEscape;
    TwwInvalidValueEvent OnInvalidValue;
    // The wwFilter text onto the cursor, and the OnFilter callback.
    bool ApplywwFilter();
    TParam* GetFilterFieldValue(const AnsiString& FieldName) {
        return FExtras->GetFilterFieldValue(FieldName);
    }
    TParam* GetFilterFieldValue(TField* Field) { return FExtras->GetFilterFieldValue(Field); }
    const TwwDataSetExtras& Extras() const { return *FExtras; }

    bool IsDBaseTable() const;
    bool IsParadoxTable() const;
    bool IsParadoxOpen() const;
    // The picture of a field in the table's own validity checks: dBase tables
    // have none, and Paradox tables do not open here.
    AnsiString GetParadoxPicture(std::string_view FieldName);

    // --- what the lookup engine keeps on a lookup table ---
    TwwLookupTables& LookupTables() { return FExtras->LookupTables(); }
    const AnsiString& LookupLinkLine() const { return FLookupLinkLine; }
    void SetLookupLinkLine(const AnsiString& Value) { FLookupLinkLine = Value; }
    bool LookupPositioned() const { return FLookupPositioned; }
    void SetLookupPositioned(bool Value) { FLookupPositioned = Value; }
    bool LookupFound() const { return FLookupFound; }
    void SetLookupFound(bool Value) { FLookupFound = Value; }
    bool InLookupSearch() const { return FInLookupSearch; }
    void SetInLookupSearch(bool Value) { FInLookupSearch = Value; }
    bool InIndexChange() const { return FInIndexChange; }
    void SetInIndexChange(bool Value) { FInIndexChange = Value; }
    bool LookupExactRange() const { return FLookupExactRange; }
    void SetLookupExactRange(bool Value) { FLookupExactRange = Value; }
    bool IgnoreMasterLink() const { return FIgnoreMasterLink; }
    void SetIgnoreMasterLink(bool Value) { FIgnoreMasterLink = Value; }
    // Above 0 while the table switches its index or searches: the lookup
    // controls pass over its data events meanwhile.
    int BusyCount() const { return FBusyCount; }
    void SetBusyCount(int Value) { FBusyCount = Value; }

    // --- index selection and key search ---
    // Sorts the table by the index that fits the list (";"-separated),
    // keeping its index when none does.
    void UseIndexForFields(const AnsiString& Fields);
    bool SetIndexForFields(const AnsiString& Fields);
    bool SetIndexForSelected(TStrings* Selected);
    AnsiString GetIndexNameForFields(const AnsiString& Fields, bool CaseSensitive);
    // Tries a case-insensitive index of exactly those fields, a
    // case-sensitive one, then indexes that begin with them in the same order.
    AnsiString FindIndexForFieldsAnyCase(const AnsiString& Fields);
    AnsiString GetFirstIndexField();
    // The records from the key on.
    void SetRangeFromKey(const TKeyValues& Values);
    void ClearRange();
    bool SearchIndexValue(const AnsiString& Text, int Position);

    bool IsSequenced() override;

    // Code that watches the table's life: the event runs at the end of its
    // destruction and every flag given is set.
    TNotifyEvent OnDestroyNotify;
    void WatchDestroy(bool* Flag) { FWatchFlags.push_back(Flag); }

protected:
    std::unique_ptr<TDbfCursor> CreateHandle() override;
    void OpenCursor(bool InfoQuery) override;
    void CloseCursor() override;
    void PrepareCursor() override;
    void DoBeforePost() override;
    void DoOnCalcFields() override;
    int GetNextRecords() override;
    void DataEvent(TDataEvent Event, intptr_t Info) override;

private:
    void InstallFilterCallback();

    std::unique_ptr<TwwDataSetExtras> FExtras;
    std::unique_ptr<TStringList> FwwFilter, FQuery;
    bool FValidateWithMask = true;
    bool FSyncSQLByRange = false;
    bool FNarrowSearch = false;
    uint16_t FNarrowSearchUpperChar = 255;
    TwwTableFilterEvent FOnFilter;
    int FFilterHandle = 0;
    bool FPreparing = false;
    bool FParadoxOpen = false;
    AnsiString FQueryLanguage;
    AnsiString FLookupLinkLine;
    bool FLookupPositioned = false, FLookupFound = false, FInLookupSearch = false, FInIndexChange = false;
    bool FLookupExactRange = false, FIgnoreMasterLink = false;
    int FBusyCount = 0;
    std::vector<bool*> FWatchFlags;
};

// Raises a table's busy counter for the life of the object (nothing for none).
class TwwBusyScope {
public:
    explicit TwwBusyScope(TwwTable* Table) : FTable(Table) {
        if (FTable) FTable->SetBusyCount(FTable->BusyCount() + 1);
    }
    ~TwwBusyScope() {
        if (FTable) FTable->SetBusyCount(FTable->BusyCount() - 1);
    }
    TwwBusyScope(const TwwBusyScope&) = delete;
    TwwBusyScope& operator=(const TwwBusyScope&) = delete;

private:
    TwwTable* FTable;
};

// --- free routines of the table unit ---
// Refreshes the index definitions when they are empty (or still the
// component's own placeholders).
void RefreshIndexDefs(TTable* Table);
// The first index definition whose fields begin with the list, whose case
// option fits and, in exact-length mode, whose fields are exactly the list.
bool FindIndexForFields(TTable* Table, const AnsiString& Fields, bool CaseSensitive, bool ExactLength,
                        AnsiString& IndexName);
// The fields of the index of that name (for an empty name, "PrimaryKey").
AnsiString GetIndexFieldsOfIndex(TTable* Table, const AnsiString& IndexName);
// A key value as an index field of that kind takes it: the text of a number
// or a date, typed by the regional settings, becomes its value.
TVarRec KeyValueForField(TField* Field, const TVarRec& Value);
// Positions the table on the record whose first index fields hold the values
// (texts of numbers and dates read by the regional settings). True at once
// when the current record holds them: without regard to case on an index
// that ignores case, exactly on one that does not.
bool TableFindKeyValues(TTable* Table, const TKeyValues& Values);
void ApplyRangeFromDataSet(TTable* Table, TDataSet* Other);
bool TableLocateFieldValue(TwwTable* Table, const AnsiString& Text, const AnsiString& FieldName,
                           int MatchKind, bool CaseSensitive);

// The query, QBE and stored-procedure data sets carry the table's additions
// on their own bases: the lines, the picture-mask check before a post, the
// lookup tables, and the OnFilter record filter, installed once the data set
// is open (a refusal of the engine reaches FilterRefused).
template <class Base, class Self>
class TwwExtendedDataSet : public Base {
public:
    using TFilterEvent = TEvent<void(Self* DataSet, bool& Accept)>;

    explicit TwwExtendedDataSet(TComponent* AOwner)
        : Base(AOwner), FExtras(std::make_unique<TwwDataSetExtras>(this)) {}
    ~TwwExtendedDataSet() override {
        if (!this->Active()) return;
        // Reached through a plain delete: close while the record filter can still run.
        try {
            this->Close();
        } catch (...) {
        }
    }

    TStrings* LookupFields() const { return FExtras->LookupFields(); }
    void SetLookupFields(TStrings* Value) { FExtras->LookupFields()->Assign(Value); }
    TStrings* LookupLinks() const { return FExtras->LookupLinks(); }
    void SetLookupLinks(TStrings* Value) { FExtras->LookupLinks()->Assign(Value); }
    TStrings* ControlType() const { return FExtras->ControlType(); }
    void SetControlType(TStrings* Value) { FExtras->ControlType()->Assign(Value); }
    TStrings* PictureMasks() const { return FExtras->PictureMasks(); }
    void SetPictureMasks(TStrings* Value) { FExtras->PictureMasks()->Assign(Value); }
    bool ValidateWithMask() const { return FValidateWithMask; }
    void SetValidateWithMask(bool Value) { FValidateWithMask = Value; }
    TwwLookupTables& LookupTables() { return FExtras->LookupTables(); }

    const TFilterEvent& OnFilter() const { return FOnFilter; }
    void SetOnFilter(const TFilterEvent& Value) {
        FOnFilter = Value;
        if (!Assigned(FOnFilter)) {
            if (this->Handle()) FExtras->InstallRecordFilter(nullptr, nullptr);
        } else if (this->Active() && !InstallFilter()) {
            FilterRefused();
        }
    }
    TwwOnFilterOptions OnFilterOptions() const { return FExtras->Options(); }
    void SetOnFilterOptions(TwwOnFilterOptions Value) { FExtras->SetOptions(Value, Assigned(FOnFilter)); }
    TDataSetNotifyEvent OnFilterEscape;
    TwwInvalidValueEvent OnInvalidValue;
    TParam* GetFilterFieldValue(const AnsiString& FieldName) {
        return FExtras->GetFilterFieldValue(FieldName);
    }
    bool IsSequenced() override { return Base::IsSequenced() && !Assigned(FOnFilter); }

protected:
    // Publishes the additions; ValidateWithMask only where the class has it.
    static void DescribeExtras(TPropertyTable& T, bool WithValidation) {
        using E = TwwExtendedDataSet;
        T.Property("ControlType", &E::ControlType, &E::SetControlType);
        T.Property("LookupFields", &E::LookupFields, &E::SetLookupFields);
        T.Property("LookupLinks", &E::LookupLinks, &E::SetLookupLinks);
        T.Property("PictureMasks", &E::PictureMasks, &E::SetPictureMasks);
        if (WithValidation) T.Property("ValidateWithMask", &E::ValidateWithMask, &E::SetValidateWithMask);
        T.template PropertyOf<E>("OnFilter", &E::OnFilter,
                                 [](E& DataSet, const TFilterEvent& Value) { DataSet.SetOnFilter(Value); });
        T.Event("OnFilterEscape", &E::OnFilterEscape);
        T.Property("OnFilterOptions", &E::OnFilterOptions, &E::SetOnFilterOptions)
            .Default(TwwOnFilterOptions{ofoEnabled, ofoShowHourGlass});
        T.Event("OnInvalidValue", &E::OnInvalidValue);
    }
    virtual void FilterRefused() {}

    void DoAfterOpen() override {
        Base::DoAfterOpen();
        if (Assigned(FOnFilter) && !InstallFilter()) FilterRefused();
    }
    void DoBeforePost() override {
        Base::DoBeforePost();
        FExtras->ValidateBeforePost(FValidateWithMask, OnInvalidValue);
    }
    void DoOnCalcFields() override {
        FExtras->CalcLookups();
        Base::DoOnCalcFields();
    }
    int GetNextRecords() override {
        int count = Base::GetNextRecords();
        FExtras->RestoreFilterCursor();
        return count;
    }
    void DataEvent(TDataEvent Event, intptr_t Info) override {
        Base::DataEvent(Event, Info);
        FExtras->RestoreFilterCursor();
    }
    void CloseCursor() override {
        FExtras->FreeLookupTables();
        FExtras->CallbackHandle() = 0;
        Base::CloseCursor();
    }

private:
    bool InstallFilter() {
        return FExtras->InstallRecordFilter(
            [this](bool& Accept) {
                if (Assigned(FOnFilter)) FOnFilter(static_cast<Self*>(this), Accept);
            },
            &OnFilterEscape);
    }

    std::unique_ptr<TwwDataSetExtras> FExtras;
    bool FValidateWithMask = true;
    TFilterEvent FOnFilter;
};
