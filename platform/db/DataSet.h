#pragma once
// TDataSet: records seen through a window of record buffers, with the state
// machine, the events and the data-link notifications the libraries expect.
//
// The record window
//   The data set keeps BufferCount record buffers: copies of consecutive
//   records of the current order, as many as the largest BufferCount of its
//   data links (the rows a grid shows; every record for the data-aware report
//   view; 1 without links). RecordCount buffers are filled; ActiveRecord is
//   the current one. Controls read fields from the buffer a data link makes
//   active, so painting a grid row or a report line moves no cursor. The
//   engine cursor is brought to the active record only when needed
//   (UpdateCursorPos: before an edit, a delete, a refresh, a move).
//
// Order of events (Before*/After* are the events; "links" are the data-link
// notices through the data sources)
//   Open     BeforeOpen, the cursor opens and the first records are read,
//            state dsBrowse (links: ActiveChanged), AfterOpen, AfterScroll
//            (when not empty).
//   Close    a pending edit or insert is posted when modified and cancelled
//            when not (as moving off a row does), BeforeClose, state
//            dsInactive (links: ActiveChanged), the cursor closes, AfterClose.
//            Posting on close keeps what the user typed; a failing post
//            leaves the data set open in its edit state.
//   Scroll   (First, Last, Next, Prior, MoveBy, bookmarks, keys, Locate)
//            the pending edit is settled as on Close, BeforeScroll, the move,
//            links DataSetScrolled(distance) or DataSetChanged, AfterScroll.
//   Edit     BeforeEdit, the record is read again, state dsEdit (links:
//            EditingChanged), links RecordChanged(nil), AfterEdit.
//   Insert / Append
//            BeforeInsert, BeforeScroll, a new blank buffer in the window
//            (before the active row, or after the last record), state
//            dsInsert, OnNewRecord, Modified false, links DataSetChanged,
//            AfterInsert, AfterScroll. Both append to the file when posted;
//            the row then takes its place in the order.
//   Post     links UpdateData (pending control texts), BeforePost, required
//            fields checked, the record written, state dsBrowse, the window
//            read again around the record (links DataSetChanged), AfterPost.
//   Cancel   BeforeCancel, state dsBrowse, the window read again, AfterCancel.
//   Delete   BeforeDelete, BeforeScroll, the record deleted, the window read
//            again on the next record (or the previous one at the end),
//            AfterDelete, AfterScroll.
//   A field change: OnValidate, the value written, links RecordChanged(field),
//   calculated fields again (AutoCalcFields), the field's OnChange.
//   DisableControls/EnableControls nest; while disabled the links hear
//   nothing, and the last EnableControls sends the state change they missed
//   and one DataSetChanged (LayoutChanged after a layout change or a close).
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DB.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"

class TDataLink;
class TDataSource;
class TDbfCursor;
class TDbfTable;
class TDbfFilter;
struct TDbfKey;
class TStream;
class TStrings;

enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TGetMode { gmCurrent, gmNext, gmPrior };

// One record of the window: the engine record, the values of the calculated
// and lookup fields, and memo texts typed but not yet posted.
struct TRecordBuffer {
    std::string Data;
    std::vector<TFieldData> Calc;
    std::vector<std::pair<int, AnsiString>> Memos;  // engine field index, text
    uint32_t RecNo = 0;                             // 0 for a record not yet in the file
    TBookmarkFlag Flag = bfCurrent;
};

class TDataSet : public TComponent {
    ZELMOR_CLASS(TDataSet, TComponent)
    friend class TField;
    friend class TDataLink;
    friend class TDataSource;

public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- opening ---
    bool Active() const { return FState != dsInactive; }
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return FState; }
    void CheckActive() const;
    void CheckInactive() const;

    // --- navigation ---
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves up to Distance records; gives how many it moved (negative backwards).
    int MoveBy(int Distance);
    bool IsEmpty() const { return FRecordCount == 0; }
    // The current record's place among the visible records (1-based); -1
    // while inserting or when there is no record.
    int RecNo();
    void SetRecNo(int Value);
    // The visible records: filters and ranges count, deleted rows do not.
    int RecordCount();
    // Whether RecNo and RecordCount can place the current record (the grid's
    // scroll bar): false while a filter is in force.
    virtual bool IsSequenced();

    // --- editing ---
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Posts a modified pending edit or insert, cancels an untouched one,
    // and ends a key entry.
    void CheckBrowseMode();
    void UpdateRecord();
    bool Modified() const { return FModified; }
    virtual bool CanModify() const;
    // Reads the window again around the current record.
    void Refresh();
    void Resync(TResyncMode Mode);
    // Brings the engine cursor to the active record.
    void UpdateCursorPos();
    // Forgets where the engine cursor stands.
    void CursorPosChanged() { FCurrentRecord = -1; }
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // --- bookmarks ---
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& Bookmark);
    void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
    bool BookmarkValid(const TBookmark& Bookmark);
    // -1, 0 or 1 by the records' places in the current order (equal keys by
    // record number, so two different records never compare 0); an empty
    // bookmark sorts first.
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);
    TBookmark Bookmark() const { return GetBookmark(); }
    void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
    // The bookmark of a physical record number (for code that read it from
    // the engine cursor directly).
    static TBookmark BookmarkOfRecNo(uint32_t RecNo);
    static uint32_t RecNoOfBookmark(const TBookmark& Bookmark);

    // --- searching ---
    // KeyFields "A;B" with one value, or an array of one value per field
    // (VarArrayOf). Texts compare exactly (or ignoring case, or as a prefix
    // of the field's text); numbers and dates by value; Null finds null.
    bool Locate(const AnsiString& KeyFields, const TVariant& KeyValues, TLocateOptions Options);
    // ResultField's value in the first record whose KeyFields equal the
    // values; Null when none. Does not move the data set.
    TVariant Lookup(const AnsiString& KeyFields, const TVariant& KeyValues, const AnsiString& ResultField);

    // --- filtering ---
    const AnsiString& Filter() const { return FFilterText; }
    void SetFilter(const AnsiString& Value);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Value);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions Value);

    // --- fields ---
    TFields* Fields() const { return FFields.get(); }
    int FieldCount() const { return FFields->Count(); }
    TField* FieldByName(std::string_view Name) const { return FFields->FieldByName(Name); }
    TField* FindField(std::string_view Name) const { return FFields->FindField(Name); }
    TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
    void SetFieldDefs(TFieldDefs* Value);
    // Reads FieldDefs from the table (opening it for that when closed).
    void UpdateFieldDefs();
    // True while the fields are the ones the data set made itself.
    bool DefaultFields() const { return FDefaultFields; }
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
    void GetFieldNames(TStrings& List);
    // A stream over a memo or blob field's value. Reading takes a copy of the
    // value; writing (bmWrite empties the value first, bmReadWrite starts
    // from it) needs the data set in edit or insert mode and a field that can
    // be changed, and sets the field's value at each write.
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode);

    // --- the record window the data links see ---
    int ActiveRecord() const { return FActiveRecord; }
    int BufferCount() const { return FBufferCount; }
    // Filled buffers of the window.
    int BufferedRecords() const { return FRecordCount; }
    // Fills the window after its last record; gives how many were read.
    virtual int GetNextRecords();
    virtual int GetPriorRecords();

    // --- the engine underneath ---
    // The cursor of an open data set (null when closed).
    TDbfCursor* Handle() const { return FCursor.get(); }
    // A cursor of its own on the same table, order, filters and range,
    // standing on the current record: for scans that must not move the data
    // set. Null when closed.
    std::unique_ptr<TDbfCursor> CloneCursor();

    // --- a descendant's own record filters (a library's expression blocks
    //     and record callbacks): kept on the cursor and on every clone,
    //     whatever Filtered says, until removed or the cursor closes ---
    // Gives a handle above 0, or 0 when the data set has no cursor.
    int AddOwnFilter(std::function<bool(const char* Record)> Filter);
    void RemoveOwnFilter(int Handle);
    void SetOwnFilterActive(int Handle, bool Active);
    // Runs Judge with Record as the record the fields read (state dsFilter,
    // calculated fields computed), as OnFilterRecord is run.
    bool JudgeFilterRecord(const char* Record, const std::function<bool()>& Judge);

    virtual void DataEvent(TDataEvent Event, intptr_t Info);
    // Whether the fields are, in order, the leading fields of the current
    // index (and that index ignores case, when asked).
    virtual bool MapsToIndex(const std::vector<TField*>& Fields, bool CaseInsensitive);

    // --- events ---
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

    // The fields are the data set's children in form files.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // --- the cursor layer, overridden by the table classes ---
    // Opens the engine cursor. InfoQuery: only to read the definitions.
    virtual std::unique_ptr<TDbfCursor> CreateHandle();
    virtual void OpenCursor(bool InfoQuery);
    virtual void CloseCursor();
    // After the cursor is made and the fields bound: order, range, filters.
    virtual void PrepareCursor();
    // Reads FieldDefs from the open cursor's table.
    virtual void InitFieldDefs();
    // The state for the buffer the fields read: key, filter or calc buffers.
    TRecordBuffer* ActiveBuffer() const;
    virtual TRecordBuffer* GetActiveRecBuf() const;
    TDbfTable& Table() const;

    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();
    virtual void DoBeforeInsert();
    virtual void DoAfterInsert();
    virtual void DoBeforeEdit();
    virtual void DoAfterEdit();
    virtual void DoBeforePost();
    virtual void DoAfterPost();
    virtual void DoBeforeCancel();
    virtual void DoAfterCancel();
    virtual void DoBeforeDelete();
    virtual void DoAfterDelete();
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();
    virtual void DoOnNewRecord();
    virtual void DoOnCalcFields();

    virtual void SetState(TDataSetState Value);
    TDataSetState SetTempState(TDataSetState Value);
    void RestoreState(TDataSetState Value);
    void SetModified(bool Value) { FModified = Value; }
    void SetBufferCount(int Value);
    void UpdateBufferCount();
    // Reads the window again: around the record the cursor stands on (or,
    // when that record is gone, the one after it, else the one before).
    void ResyncAt(uint32_t RecNo, const std::string& Data, TResyncMode Mode);
    void ClearBuffers();
    // Re-installs the text filter and the record callback on the cursor.
    void ActivateFilters();
    // The engine predicate that runs OnFilterRecord on a record.
    std::function<bool(const char*)> RecordCallback();
    // The record filter chain of the data set (for cursors of its own).
    void AddFiltersTo(TDbfCursor& Cursor);
    // Locate's scan: a data set whose order can find the first record that
    // may match Field's value positions Cursor there and gives the key that
    // every further candidate begins with (true); false scans them all.
    virtual bool SeekLocateStart(TDbfCursor& Cursor, const TField* Field, const TVariant& Value,
                                 TLocateOptions Options, TDbfKey& Bound);
    // The keys of the range in force, for clones (null: open end).
    virtual const TDbfKey* RangeStartKey() const { return nullptr; }
    virtual const TDbfKey* RangeEndKey() const { return nullptr; }
    // Positions Cursor near a record that is no longer visible: on the first
    // visible record after it in the order (or Eof).
    void PositionNear(TDbfCursor& Cursor, uint32_t RecNo, const std::string& Data);
    [[noreturn]] void Error(const AnsiString& Message) const;
    void CheckCanModify() const;
    bool ReadOnlyDataSet() const { return FReadOnlyCursor; }
    void SetReadOnlyCursor(bool Value) { FReadOnlyCursor = Value; }
    void InitRecord(TRecordBuffer& Buffer) const;
    // Ends a key entry: kept (Commit) or thrown away.
    virtual void PostKeyBuffer(bool Commit);

    // Field data through the active buffer.
    bool GetFieldData(const TField* Field, TFieldData& Data) const;
    // The text of a text field on a character column in the active buffer,
    // read straight from the record's bytes ("" when there is no record).
    std::string_view GetPlainText(const TField* Field) const;
    static bool PlainTextOf(const TRecordBuffer& Buffer, size_t RecordLength, const TField* Field,
                            std::string_view& Text);
    virtual void SetFieldData(TField* Field, TFieldData& Data);
    bool ReadFieldFrom(const TRecordBuffer& Buffer, const TField* Field, TFieldData& Data) const;
    void WriteFieldTo(TRecordBuffer& Buffer, const TField* Field, const TFieldData& Data) const;

private:
    void OpenDataSet();
    void CloseDataSet();
    void CreateFields();
    void BindFields(bool Binding);
    void DestroyDefaultFields();
    void AllocateBuffers();
    bool GetRecord(TRecordBuffer& Buffer, TGetMode Mode);
    void ReadCurrent(TRecordBuffer& Buffer);
    bool GetNextRecord();
    bool GetPriorRecord();
    bool PositionAt(const TRecordBuffer& Buffer);
    void GetCalcFields(TRecordBuffer& Buffer);
    void CalculateFields(TRecordBuffer& Buffer);
    void CalculateLookupField(TField* Field);
    void InternalPost();
    // Runs an operation; on a database error its event may ask to retry it
    // or to end silently.
    void CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent);
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckRequiredFields();
    void UpdateCalcFields();
    bool LocateRecord(const AnsiString& KeyFields, const TVariant& KeyValues, TLocateOptions Options,
                      bool SyncCursor, TVariant* Result, const AnsiString& ResultField);
    void ScrollEvent(int PriorRecordCount, int Shift);
    template <class T>
    void ChangeFilterSetting(T& Setting, const T& Value, bool Always);
    void RemoveDataSource(TDataSource* Source);
    void AddDataSource(TDataSource* Source);

    TDataSetState FState = dsInactive;
    std::unique_ptr<TDbfCursor> FCursor;
    std::unique_ptr<TFields> FFields;
    std::unique_ptr<TFieldDefs> FFieldDefs;
    std::vector<TDataSource*> FDataSources;
    std::deque<std::unique_ptr<TRecordBuffer>> FBuffers;
    int FBufferCount = 1;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    int FCurrentRecord = -1;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;
    bool FDefaultFields = false;
    bool FDroppingDefaultFields = false;  // DestroyDefaultFields is at work
    bool FMakingDefaultFields = false;    // CreateFields is at work
    bool FAutoCalcFields = true;
    bool FReadOnlyCursor = false;
    int FCalcFieldCount = 0;
    size_t FRecordLength = 0;  // of the open table's records
    int FDisableCount = 0;
    int FTempStateCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    TRecordBuffer* FCalcBuffer = nullptr;
    TRecordBuffer* FFilterBuffer = nullptr;
    std::unique_ptr<TRecordBuffer> FSpare;  // the buffer the next record is read into
    TRecordBuffer FScratch;                 // records judged by Locate and Lookup
    TRecordBuffer FFilterScratch;           // the record OnFilterRecord judges
    bool FStreamedActive = false;
    // Filters.
    AnsiString FFilterText;
    bool FFiltered = false;
    TFilterOptions FFilterOptions;
    std::shared_ptr<const TDbfFilter> FFilterExpr;
    int FFilterHandle = 0;
    int FCallbackHandle = 0;
    bool FInFilterCallback = false;
    struct TOwnFilter {
        int Handle;
        std::function<bool(const char* Record)> Filter;
        bool Active;
        int CursorHandle;
    };
    std::vector<TOwnFilter> FOwnFilters;
    int FLastOwnFilter = 0;
};

// Brackets DisableControls/EnableControls over a block, also when it throws.
class TControlsDisabled {
public:
    explicit TControlsDisabled(TDataSet* DataSet) : FDataSet(DataSet) {
        if (FDataSet) FDataSet->DisableControls();
    }
    ~TControlsDisabled() {
        if (FDataSet) FDataSet->EnableControls();
    }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TDataSet* FDataSet;
};
