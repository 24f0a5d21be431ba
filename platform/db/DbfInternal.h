#pragma once
// The engine's own parts, shared by its .cpp files (and its tests and fuzz
// targets): the table state behind TDbfTable, the record cache, the in-memory
// orders, and the value codecs of the file formats. Not for the data-set layer.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/DbfTable.h"

class TMdxReader;

// --- codecs ---
// Numbers as dBase writes them: ASCII, '.' as the decimal point, whatever the
// locale. Parse gives false for text that is no number (blank included).
bool DbfParseNumber(std::string_view Text, double& Value);
// Fixed notation with Decimals digits; "" when it needs more than Width characters.
std::string DbfFormatNumber(double Value, int Width, int Decimals);
// "YYYYMMDD" <-> day number (days since 30 December 1899); false for a text
// that is no valid date.
bool DbfParseDate(std::string_view Text, double& DayNumber);
bool DbfFormatDate(double DayNumber, std::string& Text);
// The Julian day number dBase keeps in its date keys.
constexpr double DbfJulianOfDayNumber = 2415019.0;

// 8 bytes that compare with memcmp as the doubles compare.
void DbfEncodeOrderedDouble(double Value, uint8_t* Out);
double DbfDecodeOrderedDouble(const uint8_t* In);
// The 12-byte decimal key of numeric .mdx tags: byte 0 is 0x34 plus the
// position of the decimal point from the first digit, byte 1 holds the digit
// count times 4, bit 0x80 for a negative number and the low bits 01, then up
// to 20 digits, two to a byte, most significant first. Zero has no digits
// (34 01). The encoder writes no trailing zero digit; the decoder takes any
// count and either low bits, as other writers (and older files of ours) have
// them.
void DbfEncodeBcdKey(double Value, uint8_t* Out);
bool DbfDecodeBcdKey(const uint8_t* In, double& Value);

uint32_t DbfChecksum(const void* Data, size_t Count, uint32_t Seed = 2166136261u);

// Little-endian fields of the file headers, and today's date as they keep it
// (three bytes: years since 1900, month, day).
uint16_t DbfGet16(const uint8_t* P);
uint32_t DbfGet32(const uint8_t* P);
void DbfPut16(uint8_t* P, uint32_t V);
void DbfPut32(uint8_t* P, uint32_t V);
void DbfPutToday(uint8_t* P);

[[noreturn]] void DbfRaise(int Code, const AnsiString& Text);
[[noreturn]] void DbfRaiseDamaged(const std::string& Path, const AnsiString& What);

// --- keys ---
// One piece of a key: a field, how it enters the key and its width there.
struct TDbfKeyPart {
    int Field = 0;
    char Kind = 'C';  // 'C' text, 'S' a date as "YYYYMMDD" text, 'N' number, 'D' date, 'L' logical
    bool Upper = false;
    int Width = 0;  // bytes of the part in the in-memory key
};

// A key definition compiled against the fields of a table.
struct TDbfKeyDef {
    std::vector<TDbfKeyPart> Parts;
    char KeyType = 'C';  // of the .mdx tag: 'C', 'N' or 'D'
    int KeyLength = 0;   // in-memory bytes
    int FileKeyLength = 0;
    bool Storable = true;  // can live in a .mdx
};
// Compiles a dBase key expression (field names, '+', UPPER(...), DTOS(...)).
// False (with a reason) when it names a missing field or is beyond this engine.
bool DbfCompileKeyExpression(const std::vector<TDbfFieldDef>& Fields, std::string_view Expression,
                             TDbfKeyDef& Def, AnsiString& Why);
// The key of a ";"-separated field list (in-memory orders allow every kind but M).
bool DbfCompileKeyFields(const std::vector<TDbfFieldDef>& Fields, std::string_view FieldList, bool Upper,
                         TDbfKeyDef& Def, AnsiString& Why);
void DbfBuildKey(const TDbfKeyDef& Def, const std::vector<TDbfFieldDef>& Fields, const char* Record,
                 uint8_t* Out);
// In-memory key <-> .mdx key bytes.
void DbfKeyToFile(const TDbfKeyDef& Def, const uint8_t* Key, uint8_t* Out);
bool DbfKeyFromFile(const TDbfKeyDef& Def, const uint8_t* In, uint8_t* Key);
// Whether two .mdx keys hold the same value (a number may be written in more
// than one way); false when either cannot be read.
bool DbfSameFileKey(const TDbfKeyDef& Def, const uint8_t* A, const uint8_t* B);

// --- the records of a table laid out along one order ---
// The records of a walk along a tag lie scattered over the file, and each
// one costs the processor a trip to memory where a walk in record order
// streams. The copy keeps the records in the order's sequence as walks read
// them, so the next walk along the same order streams too. It holds for one
// generation of the record cache and one version of the order: a write, an
// emptying of the cache or a move in the order makes it start over, and the
// walk after that fills it again.
class TDbfAlongCopy {
public:
    // The record at position At of the order, if the copy holds it for
    // this generation, version and record length.
    const char* Find(size_t At, uint64_t Generation, uint64_t Version, uint32_t RecordLength) const {
        if (Generation != FGeneration || Version != FVersion || RecordLength != FRecordLength ||
            At >= FHeld.size() || !FHeld[At])
            return nullptr;
        return FBytes.data() + At * RecordLength;
    }
    // Whether Find would answer for At without asking the cache.
    bool Holds(size_t At, uint64_t Generation, uint64_t Version) const {
        return Generation == FGeneration && Version == FVersion && At < FHeld.size() && FHeld[At];
    }
    // Takes the record read for position At of an order of Count positions;
    // a copy larger than Budget bytes is not kept.
    void Keep(size_t At, size_t Count, const char* Bytes, uint64_t Generation, uint64_t Version,
              uint32_t RecordLength, size_t Budget);
    void Release();

private:
    std::vector<char> FBytes;
    std::vector<uint8_t> FHeld;  // by position: the bytes are there
    uint64_t FGeneration = 0, FVersion = 0;
    uint32_t FRecordLength = 0;
};

// --- an order and its live sorted list ---
class TDbfOrdering {
public:
    AnsiString Name;
    AnsiString Expression;
    AnsiString FieldList;  // ";"-joined plain fields, "" for an expression key
    bool Descending = false;
    bool CaseInsensitive = false;
    bool IsExpression = false;
    bool Stored = true;
    TDbfKeyDef Key;

    bool Loaded = false;
    std::vector<uint8_t> Keys;    // the key of record r at r * KeyLength (slot 0 unused)
    std::vector<uint32_t> Order;  // record numbers in key order
    uint64_t Version = 0;         // grows with every change of Order
    // The moves of single records in Order since version EditsFrom, for
    // whoever keeps something by position along the order (the cursors'
    // position maps) to follow them instead of starting over. A sort, a load
    // or too long a log starts over from the new version.
    struct TEdit {
        uint64_t Version;
        uint32_t Position;
        bool Inserted;  // false: the entry at Position went
    };
    std::vector<TEdit> Edits;
    uint64_t EditsFrom = 0;
    TDbfAlongCopy Copy;  // the records along this order, as walks read them

    const uint8_t* KeyOf(uint32_t RecNo) const { return Keys.data() + size_t(RecNo) * Key.KeyLength; }
    // memcmp over Length bytes, turned for a descending order.
    int CompareKeys(const uint8_t* A, const uint8_t* B, size_t Length) const;
    bool Before(uint32_t A, uint32_t B) const;
    void Clear(uint32_t Count);
    void Sort();
    // First position whose key is not before Key (over Length bytes).
    size_t LowerBound(const uint8_t* Key, size_t Length) const;
    // First position whose key comes after Key (over Length bytes).
    size_t UpperBound(const uint8_t* Key, size_t Length) const;
    // Position of a record (its key as stored in Keys); Order.size() if absent.
    size_t PositionOf(uint32_t RecNo) const;
    void Insert(uint32_t RecNo, const uint8_t* NewKey);
    void Change(uint32_t RecNo, const uint8_t* NewKey);
    // A new Version that no edit leads to (after a sort or a load).
    void StartOver();
};

// --- record cache: pages of records of the .dbf, written through ---
// A page is the run of whole records that fits PageBytes (one record when a
// record is longer), so a record never straddles two pages. A miss reads its
// page alone, unless the misses come one page after the other (a scan in
// record order, either way): then each read takes a longer run, up to
// RunPages pages, so a scan costs few reads. The pages of a table are kept up
// to BudgetBytes, which holds every row of a large school many times over;
// past it the pages that went longest unread make room (clock order).
class TDbfRecordCache {
public:
    static constexpr size_t PageBytes = 4096;
    static constexpr size_t RunPages = 16;
    static constexpr size_t BudgetBytes = size_t(32) << 20;

    // Record RecNo (1-based) of a file whose records start at HeaderLength:
    // its bytes in the cache, valid until the next call; null when the file
    // ends before the record does.
    const char* Find(TDbfFile& File, uint64_t HeaderLength, uint32_t RecordLength, uint32_t RecNo) {
        if (HeaderLength == FHeader && RecordLength == FRecordLength) {
            const uint32_t index = RecNo - 1, page = index / FPerPage;
            if (page < FEntries.size() && FEntries[page].Bytes) {
                TEntry& e = FEntries[page];
                e.Referenced = true;
                const size_t at = size_t(index - page * FPerPage) * FRecordLength;
                return at + FRecordLength <= e.Valid ? e.Bytes + at : nullptr;
            }
        }
        return Miss(File, HeaderLength, RecordLength, RecNo);
    }
    // Whether Find would give the record without reading the file.
    bool Has(uint64_t HeaderLength, uint32_t RecordLength, uint32_t RecNo) const {
        if (HeaderLength != FHeader || RecordLength != FRecordLength) return false;
        const uint32_t index = RecNo - 1, page = index / FPerPage;
        return page < FEntries.size() && FEntries[page].Bytes &&
               size_t(index - page * FPerPage) * FRecordLength + FRecordLength <= FEntries[page].Valid;
    }
    // Reads one byte of each memory line of a cached record and gives their
    // sum: a walk along an order touches the records it comes to next many
    // at a time, so that the processor fetches them at once instead of one
    // after the other (prefetch hints did not do it). 0 for a record that is
    // not cached: it is read when it is wanted.
    unsigned Touch(uint32_t RecNo) const {
        const uint32_t index = RecNo - 1, page = index / FPerPage;
        if (page >= FEntries.size() || !FEntries[page].Bytes) return 0;
        const unsigned char* at = reinterpret_cast<const unsigned char*>(FEntries[page].Bytes) +
                                  size_t(index - page * FPerPage) * FRecordLength;
        unsigned sum = at[FRecordLength - 1];
        for (size_t line = 0; line < FRecordLength; line += 64) sum += at[line];
        return sum;
    }
    // Bytes written to the file: the cached pages take them.
    void Wrote(uint64_t Offset, const char* Data, size_t Count);
    void Drop();
    // Another budget (the tests make the cache small to see pages go).
    void SetBudget(size_t Bytes);
    size_t Budget() const { return FBudget; }
    // Grows whenever bytes handed out before may no longer be the file's
    // (a write, an emptying): copies taken from the cache hold only while it
    // stands still.
    uint64_t Generation() const { return FGeneration; }

private:
    static constexpr uint32_t NoPage = UINT32_MAX;
    // A page by its number: where its bytes are while it is cached.
    struct TEntry {
        char* Bytes = nullptr;
        uint32_t Valid = 0;  // bytes read (or written) from the page's start
        uint32_t Slot = 0;
        bool Referenced = false;
    };
    struct TSlot {
        uint32_t Page = NoPage;
        char* Bytes = nullptr;
    };
    // The pages' bytes live in chunks that grow with the cache, up to the
    // size of the processor's large pages: a walk along an order jumps
    // between pages, and few large pages keep the address translations at
    // hand where thousands of small ones would not.
    struct TChunkFree {
        void operator()(char* P) const;
    };
    std::vector<std::unique_ptr<char, TChunkFree>> FChunks;
    size_t FChunkSize = 0, FChunkLeft = 0;  // of the last chunk
    const char* Miss(TDbfFile& File, uint64_t HeaderLength, uint32_t RecordLength, uint32_t RecNo);
    void Shape(uint64_t HeaderLength, uint32_t RecordLength);
    void Load(TDbfFile& File, uint32_t Page);
    uint32_t Allocate();
    void Forget(uint32_t Page);

    uint64_t FHeader = 0;
    uint32_t FRecordLength = 0;
    uint32_t FPerPage = 1;  // records in a page
    size_t FPageBytes = 0;  // bytes of a page in the file
    size_t FMaxPages = 0;
    size_t FBudget = BudgetBytes;
    std::vector<TEntry> FEntries;  // by page number
    std::vector<TSlot> FSlots;
    size_t FHand = 0;
    uint32_t FLastMiss = NoPage;  // the last page of the last read
    bool FDescending = false;
    size_t FRun = 1;  // pages the next read in a run takes
    std::vector<char> FStaging;
    uint64_t FGeneration = 1;
};

// --- bits that count: which records a cursor sees ---
// A bit set that tells how many bits are set before any place (Rank) and
// where the bit is that has K set bits before it (Select) in a few steps. The
// counts are kept per block of 512 bits and brought up to date lazily from
// the first block a change touched, so a change costs nothing until a count
// is asked for; Insert and Erase move the bits after them by one place.
class TDbfBits {
public:
    size_t Size() const { return FSize; }
    void Assign(size_t Size, bool Value);
    void Resize(size_t Size);  // new bits clear
    bool Get(size_t At) const { return (FWords[At >> 6] >> (At & 63)) & 1; }
    void Set(size_t At, bool Value);
    void Insert(size_t At, bool Value);
    void Erase(size_t At);
    // Set bits in [0, End).
    size_t Rank(size_t End);
    size_t Count() { return Rank(FSize); }
    // The place of the set bit with K set bits before it; Size() when there is none.
    size_t Select(size_t K);
    // Every word at once: the set bits of Other turned (for the bits below Size).
    void AssignNot(const TDbfBits& Other, size_t Size);

private:
    static constexpr size_t BlockWords = 8;
    void Touch(size_t At) { FCounted = std::min(FCounted, At / (BlockWords * 64)); }
    void CountUpTo(size_t Block);
    void ClearTail();
    std::vector<uint64_t> FWords;
    size_t FSize = 0;
    std::vector<uint32_t> FBefore{0};  // set bits before each block
    size_t FCounted = 0;               // FBefore[0 .. FCounted] are right
};

// --- the shared state of one open table ---
struct TDbfTableState {
    TDbfFileSystem* Fs = nullptr;
    std::string Path;      // .dbf
    std::string MemoPath;  // "" when the table has no M field
    std::string MdxPath;   // where the .mdx is (or will be written)
    // Where the companions belong; they differ from MemoPath/MdxPath while a
    // read-only table uses files a crash left under other names.
    std::string MemoHome, MdxHome;
    std::unique_ptr<TDbfFile> File;
    bool Writable = false;

    // header
    std::array<uint8_t, 32> Header{};
    uint32_t Count = 0;
    int HeaderLength = 0;
    int RecordLength = 0;
    uint32_t TableId = 0;
    uint16_t Generation = 0;  // counts the write sessions; the .mdx carries the one it matches
    bool StaleMark = false;
    bool Strict = false;  // the file keeps every rule we write by (so it may carry an id)
    std::vector<TDbfFieldDef> Fields;
    // The first field of each name, upper-cased (made when first asked).
    mutable std::unordered_map<std::string, int> FieldsByName;
    std::vector<uint8_t> Descriptors;  // the raw descriptor area, for the checksum
    // The checksum of the structure as last computed, and the header bytes it
    // covers then (made when first asked; Descriptors never change).
    mutable std::optional<std::pair<std::array<uint8_t, 6>, uint32_t>> StructureSum;

    std::unique_ptr<TDbfMemo> Memo;

    std::vector<std::unique_ptr<TDbfOrdering>> Orders;
    int TagCount = 0;
    bool MdxTrusted = false;  // the .mdx on disk matches the table: tags may load from it
    bool MdxNeedsWrite = false;
    bool SessionDirty = false;  // a write session is open: this state holds the write lock
    int Holds = 0;              // nested holds (TDbfTable::BeginHold): the read lock is kept
    bool CountOwed = false;     // rows appended in a hold whose count the header does not show yet

    // The .dbf as this state last took it in (or, writing, last flushed it).
    uint64_t KnownSize = 0;
    uint64_t KnownModified = 0;
    int ReadLocks = 0;  // nested holders of the read lock
    TDbfLockKind ReadLockKind = dbfUnlock;

    uint64_t Version = 1;
    int64_t DeletedCount = -1;  // unknown until counted
    TDbfBits DeletedBits;       // bit RecNo-1: the record is deleted (known with DeletedCount)
    mutable TDbfRecordCache Cache;
    mutable std::vector<char> Scratch;
    // Records rewritten (or marked deleted) in a hold, gathered while they
    // lie one after the other in the file: one write for a run of them, not
    // one for each (no other program reads the table meanwhile). Written
    // before any other write of the .dbf or read of a record that is not in
    // the cache, and when the hold ends.
    uint64_t GatheredAt = 0;
    std::vector<char> Gathered;
    void WriteRecordBytes(uint64_t Offset, const char* Data, size_t Count);
    void WriteGathered();
    // Records handed out by RecordBytes since the table was opened, cached or
    // not: what the benchmarks count to see that a screen's work does not
    // grow with the table.
    mutable uint64_t RecordsRead = 0;

    // What the cursors' position maps follow record by record: the records
    // appended, updated or deleted since the epoch began. Any other change of
    // the rows (emptied, another program's rows taken in, or more changes
    // than are worth following) starts a new epoch, and each map is made anew.
    uint64_t Epoch = 1;
    std::vector<uint32_t> Touched;
    void Touch(uint32_t RecNo);
    void NewEpoch();

    void ReadRecord(uint32_t RecNo, char* Out) const;
    // The record at position At of an order (RecNo, the order's record
    // there), through the order's copy where it holds.
    void ReadAlong(TDbfOrdering& Order, size_t At, uint32_t RecNo, char* Out) const;
    // The record's bytes in the cache, valid until the next read.
    const char* RecordBytes(uint32_t RecNo) const;
    void WriteHeader();
    // Opens the write session when none is (taking the write lock, or raising
    // dbeInUse) and leaves the read lock held exclusive for one change: the
    // caller lets it go with UnlockRead (TChange in DbfTable.cpp does both).
    void BeginWrite();
    void LockRead(TDbfLockKind Kind);
    void UnlockRead() noexcept;
    // Takes in what another program wrote since this state last looked, under
    // a shared read lock; nothing while this state writes.
    void Reread();
    // The same with the read lock held: true when something changed.
    bool TakeInChanges();
    bool MdxFits(TMdxReader& Reader, uint64_t Size, uint64_t Modified) const;
    void TryMoveCompanionsHome();
    void RemoveDeadSideFiles();
    void EnsureOrders();
    void EnsureOrder(int Index);
    void RebuildOrders();
    bool LoadOrderFromMdx(TMdxReader& Reader, int Index);
    std::unique_ptr<TDbfFile> WriteMdx();
    void MoveCompanionsHome();
    int64_t Deleted();
    uint32_t HeaderChecksum() const;
};

// A memo file (.dbt): 512-byte blocks; block 0 is the header (next free block
// at byte 0, block size at byte 20 for the level-4 layout). A memo starts a
// block and is either the older layout's text ended by 0x1A 0x1A, or a level-4
// block: FF FF 08 00, the length (text + 8) and the text. We write the older
// layout (see DbfTable.cpp for why) unless the table is a level-4 memo table
// of another writer (version 0x8B); both are read.
class TDbfMemo {
public:
    // Strict: every memo must be whole (our own tables).
    TDbfMemo(std::unique_ptr<TDbfFile> File, bool Strict, bool Level4Blocks);
    // TableId goes into reserved header bytes 24..27, so that a memo file
    // separated from its table by a crash can be told apart and found again.
    static void WriteEmpty(TDbfFile& File, const std::string& TableBaseName, uint32_t TableId);
    // The id of the table the file was made for (0 when unknown).
    uint32_t TableId() const { return FTableId; }
    AnsiString Read(uint32_t Block);
    // Held: the table is held (TDbfTable::BeginHold) and nobody else writes
    // the file until EndHeld, so the end of the file is known after the
    // first write, and the header's pointer to the next free block is
    // written once, by EndHeld (a pointer that lags is never written over:
    // a write starts past the end of the file).
    uint32_t Write(std::string_view Text, bool Held = false);
    void EndHeld();
    void Reset();
    TDbfFile& File() { return *FFile; }

private:
    std::unique_ptr<TDbfFile> FFile;
    bool FStrict;
    bool FLevel4;
    uint32_t FBlockSize = 512;
    uint32_t FNextFree = 1;
    uint32_t FTableId = 0;
    uint64_t FHeldBlocks = 0;  // the blocks the file holds, known while held (0: not known)
    bool FPointerOwed = false;
};
