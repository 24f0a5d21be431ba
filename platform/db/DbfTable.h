#pragma once
// The dBase engine: level-4 tables (.dbf) with their memo file (.dbt) and
// production index (.mdx). The data-set classes (TTable and friends) stand on
// this header; nothing here knows about them.
//
// Model
// - A table is one shared object per file: every Open of the same .dbf on the
//   same file system gives the same TDbfTable while any holder keeps it, so
//   every component that opened it sees the others' writes at once (the
//   record cache, the record count and the tags are shared).
// - Records are numbered 1..PhysicalCount() in file order (deleted ones
//   included). A record buffer is RecordLength() bytes: the deletion flag
//   (' ' or '*') and then the fields at their Offset, as stored in the file.
//   The Get/Set routines below read and write fields inside such a buffer.
// - Deleted records stay in the file (the table is never packed) and in every
//   tag; cursors skip them, so a deleted row is hidden everywhere.
// - Orders: the tags of the production index come first (0 .. TagCount()-1,
//   in the order of the .mdx), then the in-memory orders made by
//   OrderForFields for field lists no tag serves. -1 is the physical order.
//   Equal keys keep record order (ascending record number), also in
//   descending tags.
// - Null: a field whose bytes are all blank is blank (IsBlank). A blank
//   numeric or date is null; a blank logical reads false; a blank character
//   field is the empty text. Numeric keys treat blank as 0.
//
// Errors: everything raises EDBEngineError (an EDatabaseError) with one of the
// codes below and a text for the user, in the program's language (Spanish),
// that names the file in the program's Windows form (DbfShownPath). A damaged or truncated file is
// refused with dbeDamaged when it is opened (or, for a memo, when it is read);
// nothing is ever read outside the file.
//
// Files as written
// - .dbf: version 0x03, or 0x83 with memo fields; language byte 0x57
//   (Windows ANSI, code page 1252; 0x03, 0x58 and 0x59 read as the same);
//   production-index flag at byte 28 and, in each field descriptor, the flag
//   "this field has a tag" (byte 31; byte 30 marks the tag descending, so a
//   lost .mdx is rebuilt with the right direction). Texts are stored as the
//   program holds them: Windows-1252 bytes, never converted.
// - .dbt: 512-byte blocks; a memo is its text ended by 0x1A 0x1A (the layout
//   every dBase reader agrees on; the level-4 blocks with a length are read
//   too). A memo text cannot hold the byte 0x1A.
// - .mdx: the dBase IV layout, one tag per index definition; character keys
//   are the field bytes (case-insensitive tags: upper-cased with the locale
//   fold), numeric keys the 12-byte decimal form, date keys the Julian day.
// - Collation: character keys compare byte by byte, case-sensitive, as
//   dBase's own byte order does ('Z' < 'a' < accented letters); text filters
//   compare the same way unless told to fold case.
//
// Other programs: many programs (on other machines, over a shared folder) may
// read a table while one writes it. The first write of a program takes the
// table for its write session, until its flush or close; another program's
// write meanwhile raises dbeInUse, naming the table, and changes nothing. A
// reader takes in the other program's rows when its cursors go to First or
// Last or refresh their record (see DbfTable.cpp for the locks). A program
// that moves a table's files aside (an import putting a new set in place)
// holds the table with Claim first; a table whose .dbf was moved away while
// it was open refuses every later write with dbeReplaced, so that nothing is
// written into a file that is no longer the table.
// A batch of work holds its tables (BeginHold) so that others see it whole.
//
// Crash safety: a record is written before the header count that makes it
// visible (a whole record a crash left past the count is a row when the
// table is next opened; an append the system refuses half-way cuts the file
// back to its records and end mark); in a hold the count, and the memo
// file's pointer to its next free block, are written once, when the hold
// ends; memo blocks are written (always to fresh blocks, past the end of the
// file whatever its pointer says) before the record that points at them; the .mdx is rewritten whole into a
// side file and renamed into place when the table is flushed (Flush, or when the last holder lets it go), and
// a mark in the .dbf header says "the .mdx may be stale" from the first write of a session until that flush.
// A .mdx that is missing, stale, damaged or made for another table is rebuilt from the .dbf (its tag list
// then comes from the field flags of the .dbf); the table's rows are never touched by that. Companion files
// carry the table's id, so after a crash between the renames of a create or a rename they are found under
// their other name.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DbfFile.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"

// Codes of EDBEngineError raised by the engine.
enum TDbfError : int {
    dbeNotFound = 13001,  // no such table (or folder)
    dbeDamaged = 13002,   // the file is not a valid table, memo or index file
    dbeIO = 13003,        // the operating system refused a read or write
    dbeReadOnly = 13004,  // a write on a table opened read-only
    dbeFieldNotFound = 13005,
    dbeBadDefinition = 13006,  // a field or index definition that dBase cannot hold
    dbeValueRange = 13007,     // a value that does not fit its field
    dbeTableOpen = 13008,      // delete, rename or replace of a table that is open
    dbeTableExists = 13009,    // rename onto an existing table
    dbeFilterSyntax = 13010,
    dbeBadKey = 13011,  // a key value of the wrong kind, or too many values
    dbeNotSupported = 13012,
    dbeInUse = 13013,     // another program is writing the table
    dbeReplaced = 13014,  // another program put other files in the place of the open table
};
AnsiString DbfErrorText(int Code);

// The text of a character field's bytes: without the blanks (or NULs) that
// pad it at the end, as TDbfTable::GetText gives it.
inline std::string_view DbfTextOf(const char* Bytes, size_t Length) {
    while (Length > 0 && (Bytes[Length - 1] == ' ' || Bytes[Length - 1] == '\0')) --Length;
    return {Bytes, Length};
}

// One field of a table as stored in its descriptor.
struct TDbfFieldDef {
    AnsiString Name;  // as stored (dBase writes names upper-case)
    char Type = 'C';  // 'C','N','F','L','D','M', or any other byte of a foreign file (read as text)
    int Length = 0;
    int Decimals = 0;
    int Offset = 0;  // inside the record buffer (the deletion flag is byte 0)
};

// A field to create. Width rules of dBase level 4: C 1..254; N and F 1..20
// with Decimals 0..15 and below Length-1 when not 0; L 1; D 8; M 10. Name:
// 1..10 letters, digits or '_', starting with a letter; stored upper-case.
struct TDbfFieldSpec {
    AnsiString Name;
    char Type = 'C';
    int Length = 0;
    int Decimals = 0;
};

// The kinds of the data-set layer and how a level-4 table holds them.
enum class TDbfKind {
    String,
    SmallInt,
    Integer,
    Word,
    AutoInc,
    Float,
    Currency,
    BCD,
    Boolean,
    Date,
    Memo,
    Time,
    DateTime
};
// How each kind is stored (the one place these widths are decided):
//   String       C Size (Size must be 1..254)
//   SmallInt     N 6,0   (-99999..999999; a whole number that reads back as a float)
//   Word         N 6,0
//   Integer      N 11,0
//   AutoInc      N 11,0  (no counter: the value is the caller's)
//   Float        N 20,4  (hours like 2.5 read back exactly; four decimals kept)
//   Currency     N 20,4
//   BCD          N 20,Size (Size = decimals, 0..15)
//   Boolean      L 1
//   Date         D 8
//   Memo         M 10
//   Time, DateTime: refused (dbeNotSupported): level 4 has no kind for them.
// Only String (and BCD) read Size: every other kind fixes its own width, so
// the clipboard table's "width 0" fields take the widths above.
TDbfFieldSpec DbfFieldSpecFor(const AnsiString& Name, TDbfKind Kind, int Size);
// The kind a stored field reads as: N and F Float, C String, L Boolean,
// D Date, M Memo, any other type String.
TDbfKind DbfKindOf(const TDbfFieldDef& Field);

// A tag to create in the production index. Fields is one field name, or
// several joined by ';' (character fields only: the tag's key is their
// texts one after the other); with Expression it is a dBase key expression
// instead (field names, '+', UPPER(...), DTOS(...)). CaseInsensitive keys
// on the upper-cased text (the locale fold: an accented small letter sorts
// with its capital). Name: 1..10
// characters. Tags are never unique.
struct TDbfIndexSpec {
    AnsiString Name;
    AnsiString Fields;
    bool Descending = false;
    bool CaseInsensitive = false;
    bool Expression = false;
};

// An order as the data-set layer lists it. For a key made of plain fields
// (with or without UPPER around them) Fields lists them with ';' and
// IsExpression is false; otherwise Fields is "" and Expression holds the key.
struct TDbfOrderInfo {
    AnsiString Name;
    AnsiString Fields;
    AnsiString Expression;  // the dBase key expression ("NOMBRE", "UPPER(NOMBRE)")
    bool Descending = false;
    bool CaseInsensitive = false;
    bool IsExpression = false;
    bool Stored = true;  // a tag of the .mdx (false: an in-memory order of this session)
};

// A value given to build a key. Dates are day numbers of the program's
// date-time (days since 30 December 1899).
struct TDbfValue {
    enum TKind { Null, Text, Number, Boolean, Date } Kind = Null;
    AnsiString Str;
    double Num = 0;
    bool Bool = false;

    static TDbfValue FromText(std::string_view S);
    static TDbfValue FromNumber(double V);
    static TDbfValue FromBoolean(bool V);
    static TDbfValue FromDate(double DayNumber);
};

// A key of one order, built by TDbfTable::MakeKey. A key shorter than the
// order's (fewer values than key fields, or a partial text) compares as a
// prefix: every record whose key begins with it is equal to it.
struct TDbfKey {
    int Order = -1;
    std::string Bytes;
};

enum TDbfOpenMode { dbfReadOnly, dbfReadWrite };

// How the end of a table's file stands against the record count of its
// header (TDbfTable::MeasureEnd).
struct TDbfTableEnd {
    std::vector<TDbfFieldDef> Fields;
    uint32_t Counted = 0;  // the records the header counts
    // The whole records the file holds: of a count beyond the end of the
    // file, those still there; else the counted ones and every whole record
    // after them that starts with its deletion flag.
    uint32_t Held = 0;
    bool Whole = true;  // nothing after the held records but their end mark
    bool Damaged() const { return Held != Counted || !Whole; }
};

class TDbfMemo;
class TDbfOrdering;
struct TDbfTableState;

class TDbfTable : public std::enable_shared_from_this<TDbfTable> {
public:
    // Opens the table at Path: a .dbf path, or the same without extension
    // ("alum" finds "ALUM.DBF"); the name is looked up without regard to case.
    // dbeNotFound when there is none, dbeDamaged for a file that is not a
    // valid table. dbfReadWrite needs a writable file (else dbeReadOnly).
    static std::shared_ptr<TDbfTable> Open(const std::string& Path, TDbfOpenMode Mode = dbfReadWrite,
                                           TDbfFileSystem* Fs = nullptr);
    // Creates an empty table with its .dbt (when a field is M) and .mdx (when
    // there are tags), replacing any table of that name. The files take the
    // name given; ".dbf" is added when the name has no extension. A table that
    // is open raises dbeTableOpen. Nothing is changed when a definition is bad.
    static void Create(const std::string& Path, const std::vector<TDbfFieldSpec>& Fields,
                       const std::vector<TDbfIndexSpec>& Indexes, TDbfFileSystem* Fs = nullptr);
    // Removes the .dbf, .dbt and .mdx of the table (missing ones are skipped).
    static void Delete(const std::string& Path, TDbfFileSystem* Fs = nullptr);
    // Renames the .dbf, .dbt and .mdx together; NewPath may name another
    // base name in the same or another folder. dbeTableExists when a table of
    // the new name exists.
    static void Rename(const std::string& OldPath, const std::string& NewPath, TDbfFileSystem* Fs = nullptr);
    // The .dbf that Path names (found as Open finds it), or "".
    static std::string Find(const std::string& Path, TDbfFileSystem* Fs = nullptr);
    // Holds the write lock of the table at Path (found as Open finds it) for
    // as long as the answer lives, so that no program begins to write it
    // meanwhile: taken before its files are moved aside. dbeInUse, naming the
    // table, when a program (this one included) is writing it now; null when
    // there is no such table or its file cannot be written (nobody writes it).
    static std::unique_ptr<TDbfFile> Claim(const std::string& Path, TDbfFileSystem* Fs = nullptr);

    // Reads the header and fields of the table and measures what its file
    // holds against the header's record count; dbeDamaged only when the
    // header or the field list cannot be read. Open takes a table that holds
    // more whole records than its header counts with all of them, and
    // refuses one whose count goes past the end of its file.
    static TDbfTableEnd MeasureEnd(const std::string& Path, TDbfFileSystem* Fs = nullptr);
    // Mends a table damaged at its end: the file is cut after the records it
    // holds whole (a part of a record goes), gets its end mark, and the
    // header counts them. Gives that count. Nothing else changes (the index
    // is rebuilt when the table opens). The table must not be open here
    // (dbeTableOpen); dbeInUse while another program writes it.
    static uint32_t RepairEnd(const std::string& Path, TDbfFileSystem* Fs = nullptr);

    ~TDbfTable();  // flushes, swallowing errors: call Flush to see them
    TDbfTable(const TDbfTable&) = delete;
    TDbfTable& operator=(const TDbfTable&) = delete;

    const std::string& FileName() const;  // the .dbf path
    bool Writable() const;

    // --- structure ---
    int FieldCount() const;
    const TDbfFieldDef& Field(int Index) const;   // 0-based
    int FieldIndex(std::string_view Name) const;  // without regard to case; -1 when absent
    int RecordLength() const;
    bool HasMemo() const;

    // --- records (1-based physical numbers) ---
    uint32_t PhysicalCount() const;
    // Copies record RecNo into Buffer (RecordLength bytes).
    void Read(uint32_t RecNo, char* Buffer) const;
    // A buffer with every field blank and the deletion flag clear.
    void BlankRecord(char* Buffer) const;
    static bool IsDeleted(const char* Buffer) { return Buffer[0] == '*'; }
    // Appends the buffer as a new, undeleted record; gives its number.
    uint32_t Append(const char* Buffer);
    // Overwrites the fields of record RecNo (its deletion flag stays).
    void Update(uint32_t RecNo, const char* Buffer);
    // Marks record RecNo deleted.
    void Delete(uint32_t RecNo);
    // Removes every record (and memo) of the table; keeps its tags.
    void Empty();
    // Writes the production index and clears the stale mark now; ends the
    // write session (another program may write from here on).
    void Flush();
    // Takes the table for writing now, as the first write would: what another
    // program wrote is taken in first; dbeInUse when one is writing it.
    void Reserve();
    // Holds the table for a batch of work until EndHold: what another program
    // wrote is taken in now, and the read lock is kept, exclusive with Write,
    // which also opens the write session now (dbeInUse, with nothing held,
    // when another program writes the table). Meanwhile no other program
    // changes the table (a writer is refused; a reader waits for the hold to
    // end, and then sees the batch whole), so nothing is taken in again and a
    // change costs only its own writes; Flush leaves the index to the end of
    // the hold. Holds nest; the outermost EndHold ends the write session as
    // Flush does (raising what Flush raises) and lets go of the read lock.
    void BeginHold(bool Write);
    void EndHold();
    // Grows with every change of the table (records, memos, emptying).
    uint64_t Version() const;

    // --- fields inside a record buffer ---
    bool IsBlank(const char* Buffer, int Field) const;
    // The field as text: C without trailing blanks; N and F their digits
    // without blanks; L "T", "F" or "" ; D "YYYYMMDD" or ""; M the memo text;
    // other types the stored bytes without trailing blanks.
    AnsiString GetText(const char* Buffer, int Field) const;
    // N and F: the number (0 and IsNull true when blank or not a number).
    double GetNumber(const char* Buffer, int Field, bool* IsNull = nullptr) const;
    // L: true for T, t, Y, y; false for anything else (blank included).
    bool GetBoolean(const char* Buffer, int Field, bool* IsNull = nullptr) const;
    // D: the day number (0 and IsNull true when blank or not a valid date).
    double GetDate(const char* Buffer, int Field, bool* IsNull = nullptr) const;
    // C: cut to the width, blank-padded. N/F: the text must be a number (or
    // blank); L: "T"/"F"/"Y"/"N" in any case, or blank; D: "YYYYMMDD" or
    // blank; M: refused (memo texts go through SetMemo); other types: cut
    // and padded. A refused value leaves the buffer as it was.
    void SetText(char* Buffer, int Field, std::string_view Value) const;
    // N and F, rounded to the field's decimals; dbeValueRange when the
    // number needs more than the width.
    void SetNumber(char* Buffer, int Field, double Value) const;
    void SetBoolean(char* Buffer, int Field, bool Value) const;
    void SetDate(char* Buffer, int Field, double DayNumber) const;
    void SetBlank(char* Buffer, int Field) const;
    // M fields: the text is written to the .dbt at once (always into fresh
    // blocks, so a record still pointing at the old text stays whole) and the
    // buffer gets its block number; an empty text blanks the field.
    AnsiString GetMemo(const char* Buffer, int Field) const;
    void SetMemo(char* Buffer, int Field, std::string_view Text);

    // --- orders ---
    int TagCount() const;
    int OrderCount() const;
    TDbfOrderInfo OrderInfo(int Order) const;
    // The tag of that name (without regard to case), or -1.
    int FindTag(std::string_view Name) const;
    // An order on the fields (";"-separated): the first tag whose key is
    // exactly those fields with that case rule and direction, else a new
    // in-memory order kept up to date until the table is closed.
    int OrderForFields(std::string_view Fields, bool CaseInsensitive = false, bool Descending = false);
    // Number of fields an order's key is made of (1 for an expression key).
    int OrderKeyFieldCount(int Order) const;
    // Builds a key of an order from values for its first fields. With
    // PartialText, a text value for the last given field that is shorter
    // than the field matches every key that begins with it.
    TDbfKey MakeKey(int Order, const std::vector<TDbfValue>& Values, bool PartialText = false) const;
    // The key a record buffer has in an order.
    TDbfKey KeyOf(int Order, const char* Buffer) const;
    // Compares a key with the key of a record buffer over the key's bytes, in
    // the order's direction: <0 the record comes before the key, 0 equal, >0 after.
    int CompareKey(const TDbfKey& Key, const char* Buffer) const;

    // --- checking ---
    // Verifies the production index file on disk against the table: every
    // tag holds each record once with its current key, in order. Flush first.
    // Gives one line per problem; empty when all is well.
    std::vector<AnsiString> CheckTags();

    // For the cursor and the engine's own parts.
    TDbfTableState& State() const { return *FState; }
    explicit TDbfTable(std::unique_ptr<TDbfTableState> State);

private:
    std::unique_ptr<TDbfTableState> FState;
};

// A predicate on a record buffer: true keeps the record visible.
using TDbfRecordFilter = std::function<bool(const char* Record)>;

enum TDbfSeekMode { dbfSeekExact, dbfSeekNearest };

// A position in a table along one order, with filters and a range. Cursors
// only read; writes go to the table (every cursor sees them at once).
//
// Positions: on a record, or on one of the two cracks: before the first
// visible record (Bof) or after the last (Eof). A fresh cursor is at Bof.
// A record is visible when it is not deleted, passes every active filter and
// lies in the range. Navigation, Seek, GotoRecord and RecordCount all see
// visible records only.
class TDbfCursor {
public:
    explicit TDbfCursor(std::shared_ptr<TDbfTable> Table);
    ~TDbfCursor();
    TDbfCursor(const TDbfCursor&) = delete;
    TDbfCursor& operator=(const TDbfCursor&) = delete;

    TDbfTable& Table() const;
    const std::shared_ptr<TDbfTable>& SharedTable() const;

    // Switches the order (-1 physical) and drops the range; the cursor stays
    // on its record when it has one.
    void SetOrder(int Order);
    int Order() const;

    // Filters combine with AND. A handle is > 0. An exception thrown by a
    // filter passes to the caller of the navigation.
    int AddFilter(TDbfRecordFilter Filter, bool Active = true);
    void SetFilterActive(int Handle, bool Active);
    void RemoveFilter(int Handle);

    // A range on the current order: keys from Start to End in the order's
    // direction, both included (a key with fewer bytes compares as a prefix).
    // Null pointers leave that end open. The cursor goes to Bof.
    void SetRange(const TDbfKey* Start, const TDbfKey* End);
    void ClearRange();

    // First, Last and Refresh first take in what another program wrote.
    bool First();  // false (and Eof) when no record is visible
    bool Last();   // false (and Bof) when none
    bool Next();   // false at the end: the cursor stays on Eof
    bool Prior();  // false at the start: the cursor stays on Bof
    void GoBof();
    void GoEof();
    bool Bof() const;
    bool Eof() const;
    bool OnRecord() const;

    uint32_t RecNo() const;  // the current record, 0 on a crack
    // The current record's buffer, as read when the cursor reached it (or at
    // the last Refresh). Only valid while OnRecord().
    const char* Record() const;
    // Re-reads the current record; false (and the cursor then stands where
    // the record was, between its neighbours) when it is no longer visible.
    bool Refresh();

    // Goes to a record when it is visible; otherwise false and no move.
    bool GotoRecord(uint32_t RecNo);
    // Exact: the first visible record whose key equals Key (over the key's
    // bytes); false and no move when none. Nearest: the first visible record
    // whose key is not before Key (Eof when none); true when on a record.
    bool Seek(const TDbfKey& Key, TDbfSeekMode Mode);
    // Whether a record would be visible to this cursor.
    bool Accepts(uint32_t RecNo);
    // The number of visible records.
    uint32_t RecordCount();
    // The current record's place among the visible ones (1-based), 0 on a crack.
    uint32_t SequenceNumber();
    // Goes to the visible record at that place (1-based; a place past the
    // last gives the last record, one below 1 the first), first taking in
    // what another program wrote, as First does. False (and Eof) when no
    // record is visible. Places and counts come from a map of the visible
    // records that the cursor keeps (see DbfCursor.cpp), not from a walk.
    bool GotoSequenceNumber(uint32_t Number);
    // Where two records stand in the cursor's order: negative when A comes
    // first, 0 for the same record, positive when B comes first. Records
    // with equal keys stand in record order; KeyOf tells equal keys apart.
    int CompareRecords(uint32_t A, uint32_t B);

private:
    struct TImpl;
    std::unique_ptr<TImpl> F;
};
