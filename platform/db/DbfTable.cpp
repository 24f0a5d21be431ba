// dBase level-4 tables: opening, creating, records, fields and the upkeep of
// their orders and production index.
//
// Two programs on one table. A school works from several machines on one
// shared folder, so a table may be open in several programs at once. Each
// program keeps one state per table (every holder in it shares that state)
// and uses two advisory locks on the .dbf (TDbfFile::Lock: fcntl record
// locks, which also reach the server of an NFS or SMB share):
// - The write lock (slot 1, exclusive) is one program's write session. It is
//   taken at the first write, not at the open: the program opens most tables
//   read-write only to browse them, and two users must both be able to keep
//   their screens open. It is kept until the session's flush (Flush, or the
//   close by the last holder). Another program's write meanwhile is refused
//   before any file is touched (dbeInUse). A writer taking the lock first
//   takes in what the previous writer left, so that it never appends over
//   another's rows or keeps an order that no longer fits.
// - The read lock (slot 0) keeps a program from taking in half a change. A
//   writer holds it exclusive over each change (a record and the header that
//   counts it; the index and the header at the flush); a reader holds it
//   shared while it re-reads the header and reloads its orders. Both hold it
//   for a moment only, so the other side waits for it instead of failing.
// - Slot 2 is a program's claim on a table for as long as it works on it,
//   which the engine itself neither takes nor looks at (DbfWorkLock.h).
// - A program takes in another's changes (the header, or the .dbf's size or
//   modification time, differ from what it last saw) when it opens the table,
//   when a cursor goes to First or Last or refreshes its record, and when it
//   takes the write lock: it drops its cached blocks, re-reads the header and
//   reloads its orders (from the .mdx when its stamp fits the table, else from
//   the rows). Rows another writer appends show there before that writer's
//   flush too: a record is whole before the header counts it.
// - A batch of work holds its tables (BeginHold) and keeps the read lock
//   for its whole length: exclusive on a table it writes (its write session
//   open from the start), shared on one it only reads. Nothing needs taking
//   in again meanwhile, a change costs only its own writes (records changed
//   one after the other reach the file a run at a time), the index is
//   written once at the end, and other programs read the batch only whole.
//   A batch takes its tables in the order of their paths (TTableHold) and
//   touches no other, so two batches never wait for each other in a ring.
// - fcntl locks belong to the process and go when any descriptor of the file
//   is closed in it: a state keeps its .dbf open for its whole life, and the
//   file layer keeps other descriptors of a locked file open until the lock
//   goes.
// - Side files (a new .mdx written aside, the files of a table being made)
//   carry the process in their name, so two programs never write one. The
//   write lock is also taken while a table is replaced, deleted or renamed.
// - The .mdx stamp keeps the .dbf's modification time: a program that knows
//   nothing of the stamp and rewrites a record in place (same count, same
//   size, perhaps the same header) still makes the index untrusted.
#include "platform/db/DbfTable.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <signal.h>
#include <unistd.h>

#include "platform/db/DbfInternal.h"
#include "platform/db/MdxFile.h"
#include "platform/rtl/Strings.h"

namespace {

// Windows ANSI (code page 1252) in the dBase language-driver numbering; the
// usual readers map it to cp1252 (as they do 0x03, 0x58 and 0x59, accepted too).
constexpr uint8_t LanguageAnsi = 0x57;
constexpr uint8_t VersionPlain = 0x03;
// A table with memos is written with the version byte 0x83 and its memos in
// the older layout (text ended by 0x1A 0x1A): the level-4 memo block (0x8B
// tables) is read two ways by the usual readers (with and without its 8-byte
// head in the length), and some readers refuse 0x8B tables outright, while
// every reader takes 0x83 with these memos. Both are read.
constexpr uint8_t VersionWithMemo = 0x83;
constexpr uint8_t VersionLevel4Memo = 0x8B;

// Header bytes 12..27 and 30..31 are reserved in level 4. We keep there, for
// the files we write: the table id at 16 (the .mdx and .dbt carry it too, so
// an index made for another table of the same name is never trusted, and a
// companion a crash left under another name is found again), a checksum of
// the structure at 20 (a flipped byte in a field descriptor is refused instead
// of misreading every record) and this mark at 24. Byte 14 is the format's
// "incomplete transaction" flag: we set it while the .mdx lags behind; bytes
// 12..13 count those write sessions, so an older copy of the .mdx put back in
// place is not taken for the current one. Other dBase programs leave these
// bytes as they find them while they append, rewrite, delete or empty rows
// (the structure stays as it was), so nothing kept there may check what they
// change: the record count is checked against the file's size, as every
// reader does (RecordsHeld). Bytes 30..31 once held a check of the count;
// they are no longer read or written.
constexpr uint8_t OwnMark[2] = {'Z', '4'};
// Field descriptor byte 31 says "this field has a tag in the production
// index"; byte 30 (reserved) is our note that the tag is descending, so a lost
// .mdx can be rebuilt with the right direction.
constexpr int DescIndexed = 31;
constexpr int DescDescending = 30;

bool KnownVersion(uint8_t V) {
    switch (V) {
    case 0x03:
    case 0x30:
    case 0x31:
    case 0x32:
    case 0x43:
    case 0x63:
    case 0x83:
    case 0x8B:
    case 0x8E:
    case 0xCB:
    case 0xF5:
    case 0xFB: return true;
    default: return false;
    }
}

bool ValidFieldName(std::string_view Name) {
    if (Name.empty() || Name.size() > 10) return false;
    if (!((Name[0] >= 'A' && Name[0] <= 'Z') || (Name[0] >= 'a' && Name[0] <= 'z'))) return false;
    for (char c : Name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

bool ValidWidth(char Type, int Length, int Decimals) {
    switch (Type) {
    case 'C': return Length >= 1 && Length <= 254 && Decimals == 0;
    case 'N':
    case 'F':
        return Length >= 1 && Length <= 20 && Decimals >= 0 && Decimals <= 15 &&
               (Decimals == 0 || Decimals <= Length - 2);
    case 'L': return Length == 1 && Decimals == 0;
    case 'D': return Length == 8 && Decimals == 0;
    case 'M': return Length == 10 && Decimals == 0;
    default: return false;
    }
}

std::string Normalize(const std::string& Path) {
    std::string full = Path;
    if (full.empty() || full[0] != '/') {
        char buf[4096];
        if (::getcwd(buf, sizeof buf)) full = std::string(buf) + "/" + full;
    }
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= full.size()) {
        size_t slash = full.find('/', at);
        if (slash == std::string::npos) slash = full.size();
        std::string part = full.substr(at, slash - at);
        at = slash + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (const auto& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

using TRegistryKey = std::pair<TDbfFileSystem*, std::string>;
using TRegistry = std::map<TRegistryKey, std::weak_ptr<TDbfTable>>;
// Never destroyed: tables held by objects that die at exit still find it.
TRegistry& Registry() {
    union TForever {
        TRegistry Map;
        TForever() : Map() {}
        ~TForever() {}
    };
    static TForever registry;
    return registry.Map;
}

std::shared_ptr<TDbfTable> OpenInstance(TDbfFileSystem& Fs, const std::string& Real) {
    auto it = Registry().find({&Fs, Normalize(Real)});
    return it == Registry().end() ? nullptr : it->second.lock();
}

// "x/alum.dbf" -> "x/alum"; the extension with its dot -> ".dbf".
std::string StripExtension(const std::string& Path) {
    std::string name = DbfNameOf(Path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? Path : Path.substr(0, Path.size() - (name.size() - dot));
}
std::string ExtensionOf(const std::string& Path) {
    std::string name = DbfNameOf(Path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}
// A companion file keeps the letter case of the table's extension: ALUM.DBF
// goes with ALUM.MDX, alum.dbf with alum.mdx.
std::string CompanionPath(const std::string& DbfPath, const char* Ext) {
    std::string ext = ExtensionOf(DbfPath);
    bool upper = !ext.empty() && ext.size() > 1 && ext[1] >= 'A' && ext[1] <= 'Z';
    return StripExtension(DbfPath) + "." + (upper ? UpperCase(Ext) : std::string(Ext));
}
std::string FindCompanion(TDbfFileSystem& Fs, const std::string& DbfPath, const char* Ext) {
    return DbfFindFile(Fs, DbfFolderOf(DbfPath), DbfNameOf(StripExtension(DbfPath)) + "." + Ext);
}

constexpr int ReadSlot = 0;
constexpr int WriteSlot = 1;

[[noreturn]] void RaiseInUse(const std::string& Path) {
    DbfRaise(dbeInUse, "La tabla " + FromUtf8(DbfNameOf(StripExtension(Path))) +
                           " est\xE1 siendo usada por otro usuario");
}

[[noreturn]] void RaiseReplaced(const std::string& Path) {
    DbfRaise(dbeReplaced, "La tabla " + FromUtf8(DbfNameOf(StripExtension(Path))) +
                              " ha sido sustituida por otro programa mientras estaba abierta: el "
                              "cambio no se ha guardado. Ci\xE9rrela y vuelva a abrirla.");
}

// "t.mdx" -> "t.mdx.<pid>_<random>.new": a side file of this process only
// (the random part tells apart processes of two machines with the same pid).
std::string SidePath(const std::string& Path) {
    static const uint32_t machine = std::random_device{}();
    char tag[48];
    std::snprintf(tag, sizeof tag, ".%ld_%08x.new", long(::getpid()), unsigned(machine));
    return Path + tag;
}
// Side files of Ext: "t.mdx.new" (as older versions named them) or "t.mdx.<tag>.new".
bool IsSideFile(const std::string& LowerName, const std::string& Ext) {
    if (!LowerName.ends_with(".new")) return false;
    std::string rest = LowerName.substr(0, LowerName.size() - 4);
    if (rest.ends_with("." + Ext)) return true;
    auto dot = rest.find_last_of('.');
    return dot != std::string::npos && rest.substr(0, dot).ends_with("." + Ext);
}

// The write lock of a table that is not open in this program, held while its
// files are replaced, deleted or renamed; dbeInUse when a program writes it.
std::unique_ptr<TDbfFile> ClaimTable(TDbfFileSystem& Fs, const std::string& Real) {
    if (!Fs.IsWritable(Real)) return nullptr;  // nobody writes it either
    auto file = Fs.Open(Real, true);
    if (!file->Lock(WriteSlot, dbfLockExclusive, false)) RaiseInUse(Real);
    return file;
}

uint32_t NewTableId() {
    static std::mt19937 generator(std::random_device{}() ^
                                  uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    uint32_t id;
    do id = generator();
    while (id == 0);
    return id;
}

// The records of a file whose header counts Counted of them: those, and
// every whole record after them that starts as a record does (with its
// deletion flag), as a crash between a record and the count that shows it
// leaves them, or a header a bit flip took down. The end mark, or any other
// byte where a record would start, ends them: what lies beyond is no record.
uint32_t RecordsHeld(TDbfFile& File, uint32_t HeaderLength, uint32_t RecordLength, uint64_t Size,
                     uint32_t Counted) {
    uint32_t n = Counted;
    while (n < UINT32_MAX && uint64_t(HeaderLength) + (uint64_t(n) + 1) * RecordLength <= Size) {
        uint8_t flag = 0;
        if (File.Read(uint64_t(HeaderLength) + uint64_t(n) * RecordLength, &flag, 1) != 1 ||
            (flag != ' ' && flag != '*'))
            break;
        ++n;
    }
    return n;
}

uint32_t StructureChecksum(const uint8_t* Header, const std::vector<uint8_t>& Descriptors) {
    uint32_t sum = DbfChecksum(Header + 8, 4);
    sum = DbfChecksum(Header + 28, 2, sum);
    return DbfChecksum(Descriptors.data(), Descriptors.size(), sum);
}

// Paths in messages take the program's Windows form.
AnsiString Quoted(const std::string& Path) { return DbfShownPath(Path); }

// The expression of a key made of plain fields.
std::string FieldsExpression(const std::vector<std::string>& Names, bool Upper) {
    std::string joined;
    for (size_t i = 0; i < Names.size(); ++i) joined += (i ? "+" : "") + Names[i];
    return Upper ? "UPPER(" + joined + ")" : joined;
}

std::vector<std::string> SplitFields(std::string_view List) {
    std::vector<std::string> names;
    size_t at = 0;
    while (at <= List.size()) {
        size_t semi = List.find(';', at);
        if (semi == std::string_view::npos) semi = List.size();
        std::string name = Trim(List.substr(at, semi - at));
        if (!name.empty()) names.push_back(UpperCase(name));
        at = semi + 1;
    }
    return names;
}

// Makes an order from a definition; null (with the reason) when this engine
// cannot keep it.
std::unique_ptr<TDbfOrdering> MakeOrdering(const std::vector<TDbfFieldDef>& Fields, const TDbfIndexSpec& Spec,
                                           bool Stored, AnsiString& Why) {
    auto o = std::make_unique<TDbfOrdering>();
    o->Name = UpperCase(Spec.Name);
    o->Descending = Spec.Descending;
    o->Stored = Stored;
    bool ok = Spec.Expression ? DbfCompileKeyExpression(Fields, Spec.Fields, o->Key, Why)
                              : DbfCompileKeyFields(Fields, Spec.Fields, Spec.CaseInsensitive, o->Key, Why);
    if (!ok) return nullptr;
    // A key of plain fields, all upper-cased or none, reads back as a field list.
    const auto& parts = o->Key.Parts;
    bool plain = std::all_of(parts.begin(), parts.end(), [](const TDbfKeyPart& p) { return p.Kind != 'S'; });
    bool allUpper = std::all_of(parts.begin(), parts.end(), [](const TDbfKeyPart& p) { return p.Upper; });
    bool noneUpper = std::none_of(parts.begin(), parts.end(), [](const TDbfKeyPart& p) { return p.Upper; });
    std::vector<std::string> names;
    for (const auto& p : parts) names.push_back(Fields[size_t(p.Field)].Name);
    if (plain && (allUpper || noneUpper)) {
        o->CaseInsensitive = allUpper;
        for (size_t i = 0; i < names.size(); ++i) o->FieldList += (i ? ";" : "") + names[i];
        o->Expression = Spec.Expression ? Trim(Spec.Fields) : FieldsExpression(names, allUpper);
    } else {
        o->IsExpression = true;
        o->CaseInsensitive = !noneUpper;
        o->Expression = Trim(Spec.Fields);
    }
    if (Stored && !o->Key.Storable) {
        Why = "la clave no cabe en un \xEDndice dBase: " + o->Expression;
        return nullptr;
    }
    return o;
}

}  // namespace

// --- errors ---

void DbfRaise(int Code, const AnsiString& Text) { throw EDBEngineError(Code, Text); }

void DbfRaiseDamaged(const std::string& Path, const AnsiString& What) {
    throw EDBEngineError(dbeDamaged, "El fichero " + Quoted(Path) +
                                         " est\xE1 da\xF1"
                                         "ado: " +
                                         What);
}

AnsiString DbfErrorText(int Code) {
    switch (Code) {
    case dbeNotFound: return "La tabla no existe";
    case dbeDamaged:
        return "La tabla o su \xEDndice est\xE1n da\xF1"
               "ados";
    case dbeIO: return "Error al leer o escribir un fichero";
    case dbeReadOnly: return "La tabla es de solo lectura";
    case dbeFieldNotFound: return "No existe el campo";
    case dbeBadDefinition: return "Definici\xF3n de campo o de \xEDndice no v\xE1lida";
    case dbeValueRange: return "El valor no cabe en el campo";
    case dbeTableOpen: return "La tabla est\xE1 abierta";
    case dbeTableExists: return "La tabla ya existe";
    case dbeFilterSyntax: return "Expresi\xF3n de filtro no v\xE1lida";
    case dbeBadKey: return "Valor de clave no v\xE1lido";
    case dbeNotSupported: return "Operaci\xF3n no admitida";
    case dbeInUse: return "La tabla est\xE1 siendo usada por otro usuario";
    case dbeReplaced: return "La tabla ha sido sustituida por otro programa";
    default: return "Error " + std::to_string(Code) + " del motor de datos";
    }
}

// --- values and kinds ---

TDbfValue TDbfValue::FromText(std::string_view S) { return TDbfValue{Text, AnsiString(S), 0, false}; }
TDbfValue TDbfValue::FromNumber(double V) { return TDbfValue{Number, {}, V, false}; }
TDbfValue TDbfValue::FromBoolean(bool V) { return TDbfValue{Boolean, {}, 0, V}; }
TDbfValue TDbfValue::FromDate(double DayNumber) { return TDbfValue{Date, {}, DayNumber, false}; }

TDbfFieldSpec DbfFieldSpecFor(const AnsiString& Name, TDbfKind Kind, int Size) {
    switch (Kind) {
    case TDbfKind::String: return {Name, 'C', Size, 0};
    case TDbfKind::SmallInt:
    case TDbfKind::Word: return {Name, 'N', 6, 0};
    case TDbfKind::Integer:
    case TDbfKind::AutoInc: return {Name, 'N', 11, 0};
    case TDbfKind::Float:
    case TDbfKind::Currency: return {Name, 'N', 20, 4};
    case TDbfKind::BCD: return {Name, 'N', 20, Size};
    case TDbfKind::Boolean: return {Name, 'L', 1, 0};
    case TDbfKind::Date: return {Name, 'D', 8, 0};
    case TDbfKind::Memo: return {Name, 'M', 10, 0};
    case TDbfKind::Time:
    case TDbfKind::DateTime: break;
    }
    DbfRaise(dbeNotSupported,
             "Campo " + Name + ": una tabla dBase de nivel 4 no tiene campos de hora ni de fecha y hora");
}

TDbfKind DbfKindOf(const TDbfFieldDef& Field) {
    switch (Field.Type) {
    case 'N':
    case 'F': return TDbfKind::Float;
    case 'L': return TDbfKind::Boolean;
    case 'D': return TDbfKind::Date;
    case 'M': return TDbfKind::Memo;
    default: return TDbfKind::String;
    }
}

// --- the state ---

const char* TDbfTableState::RecordBytes(uint32_t RecNo) const {
    if (RecNo < 1 || RecNo > Count)
        DbfRaise(dbeBadKey, "No existe el registro " + std::to_string(RecNo) + " en " + Quoted(Path));
    ++RecordsRead;
    // A record the cache must read from the file: the file first gets what
    // was gathered for it (the cache, not the file, is where a reader looks).
    if (!Gathered.empty() && !Cache.Has(uint64_t(HeaderLength), uint32_t(RecordLength), RecNo))
        const_cast<TDbfTableState*>(this)->WriteGathered();
    const char* bytes = Cache.Find(*File, uint64_t(HeaderLength), uint32_t(RecordLength), RecNo);
    if (!bytes) DbfRaiseDamaged(Path, "el registro " + std::to_string(RecNo) + " pasa del final del fichero");
    return bytes;
}

void TDbfTableState::ReadRecord(uint32_t RecNo, char* Out) const {
    std::memcpy(Out, RecordBytes(RecNo), size_t(RecordLength));
}

void TDbfTableState::ReadAlong(TDbfOrdering& Order, size_t At, uint32_t RecNo, char* Out) const {
    const uint32_t length = uint32_t(RecordLength);
    if (const char* held = Order.Copy.Find(At, Cache.Generation(), Order.Version, length)) {
        ++RecordsRead;
        std::memcpy(Out, held, length);
        return;
    }
    const char* bytes = RecordBytes(RecNo);
    std::memcpy(Out, bytes, length);
    Order.Copy.Keep(At, Order.Order.size(), bytes, Cache.Generation(), Order.Version, length, Cache.Budget());
}

void TDbfTableState::WriteRecordBytes(uint64_t Offset, const char* Data, size_t Count) {
    if (Holds == 0) {
        WriteGathered();
        File->Write(Offset, Data, Count);
    } else {
        // Up to a few hundred records in one write; a change inside the run
        // goes into it, one right after it lengthens it, any other starts the
        // next run.
        constexpr size_t Most = size_t(256) << 10;
        const uint64_t end = GatheredAt + Gathered.size();
        if (!Gathered.empty() && Offset >= GatheredAt && Offset + Count <= end) {
            std::memcpy(Gathered.data() + (Offset - GatheredAt), Data, Count);
        } else if (!Gathered.empty() && Offset == end && Gathered.size() + Count <= Most) {
            Gathered.insert(Gathered.end(), Data, Data + Count);
        } else {
            WriteGathered();
            GatheredAt = Offset;
            Gathered.assign(Data, Data + Count);
        }
    }
    Cache.Wrote(Offset, Data, Count);
}

void TDbfTableState::WriteGathered() {
    if (Gathered.empty()) return;
    try {
        File->Write(GatheredAt, Gathered.data(), Gathered.size());
    } catch (...) {
        // The records on disk stay as they were: the cache and the orders,
        // which hold the changes, are made again from them.
        Gathered.clear();
        Cache.Drop();
        for (auto& o : Orders) o->Loaded = false;
        MdxTrusted = false;
        MdxNeedsWrite = TagCount > 0;
        DeletedCount = -1;
        NewEpoch();
        ++Version;
        throw;
    }
    Gathered.clear();
}

void TDbfTableState::Touch(uint32_t RecNo) {
    Touched.push_back(RecNo);
    // Past this, making the maps anew costs less than following the changes.
    if (Touched.size() > 4096 + Count / 2) NewEpoch();
}

void TDbfTableState::NewEpoch() {
    ++Epoch;
    Touched.clear();
}

uint32_t TDbfTableState::HeaderChecksum() const {
    // Every header write carries it: it is summed once, not at each row added.
    const std::array<uint8_t, 6> covered = {Header[8],  Header[9],  Header[10],
                                            Header[11], Header[28], Header[29]};
    if (!StructureSum || StructureSum->first != covered)
        StructureSum.emplace(covered, StructureChecksum(Header.data(), Descriptors));
    return StructureSum->second;
}

void TDbfTableState::WriteHeader() {
    WriteGathered();  // the records before the count that shows them
    std::array<uint8_t, 32> h = Header;
    DbfPutToday(h.data() + 1);
    DbfPut32(h.data() + 4, Count);
    h[14] = StaleMark ? 1 : 0;
    if (TableId != 0) {
        DbfPut16(h.data() + 12, Generation);
        DbfPut32(h.data() + 16, TableId);
        DbfPut32(h.data() + 20, HeaderChecksum());
        h[24] = OwnMark[0];
        h[25] = OwnMark[1];
    }
    File->Write(0, h.data(), h.size());
    Cache.Wrote(0, reinterpret_cast<const char*>(h.data()), h.size());
    Header = h;
}

void TDbfTableState::LockRead(TDbfLockKind Kind) {
    if (ReadLocks > 0 && (ReadLockKind == dbfLockExclusive || Kind == dbfLockShared)) {
        ++ReadLocks;
        return;
    }
    // Waits: the other side holds it only for a moment. Refused only by a
    // holder in this very program, which cannot be waited for.
    if (!File->Lock(ReadSlot, Kind, true)) RaiseInUse(Path);
    ReadLockKind = Kind;
    ++ReadLocks;
}

void TDbfTableState::UnlockRead() noexcept {
    if (ReadLocks == 0 || --ReadLocks > 0) return;
    ReadLockKind = dbfUnlock;
    try {
        File->Lock(ReadSlot, dbfUnlock, false);
    } catch (const EDatabaseError&) {
        // Goes with the file at the latest.
    }
}

namespace {

class TReadLock {
public:
    TReadLock(TDbfTableState& S, TDbfLockKind Kind) : FState(S) { S.LockRead(Kind); }
    ~TReadLock() { FState.UnlockRead(); }
    TReadLock(const TReadLock&) = delete;
    TReadLock& operator=(const TReadLock&) = delete;

private:
    TDbfTableState& FState;
};

// One change to the table's files: the write session opened (or refused) and
// readers kept out until the change is whole.
class TChange {
public:
    explicit TChange(TDbfTableState& S) : FState(S) { S.BeginWrite(); }
    ~TChange() { FState.UnlockRead(); }
    TChange(const TChange&) = delete;
    TChange& operator=(const TChange&) = delete;

private:
    TDbfTableState& FState;
};

void LetGoOfWriteLock(TDbfFile& File) noexcept {
    try {
        File.Lock(WriteSlot, dbfUnlock, false);
    } catch (const EDatabaseError&) {
        // Goes with the file at the latest.
    }
}

}  // namespace

void TDbfTableState::BeginWrite() {
    if (!Writable) DbfRaise(dbeReadOnly, "La tabla " + Quoted(Path) + " es de solo lectura");
    const bool starting = !SessionDirty;
    if (starting && !File->Lock(WriteSlot, dbfLockExclusive, false)) RaiseInUse(Path);
    try {
        // A file moved away is no longer the table: what is written into it
        // would be lost with it.
        if (starting && File->Replaced()) RaiseReplaced(Path);
        LockRead(dbfLockExclusive);
        try {
            if (starting) {
                // The session starts from what the last writer left.
                TakeInChanges();
                MoveCompanionsHome();
            }
            EnsureOrders();
            if (starting) {
                if (TagCount > 0 && TableId == 0 && Strict) TableId = NewTableId();
                if (TableId != 0) {
                    // Every session shows in the header, for the readers.
                    StaleMark = TagCount > 0;
                    ++Generation;
                    WriteHeader();
                }
                if (TagCount > 0) MdxNeedsWrite = true;
                SessionDirty = true;
            }
        } catch (...) {
            UnlockRead();
            throw;
        }
    } catch (...) {
        if (starting && !SessionDirty) LetGoOfWriteLock(*File);
        throw;
    }
    ++Version;
}

void TDbfTableState::Reread() {
    if (SessionDirty || Holds > 0) return;  // nobody else writes meanwhile
    TReadLock lock(*this, dbfLockShared);
    TakeInChanges();
}

bool TDbfTableState::TakeInChanges() {
    const auto [size, modified] = File->SizeAndModified();
    std::array<uint8_t, 32> h{};
    if (File->Read(0, h.data(), h.size()) != h.size()) return false;
    if (size == KnownSize && modified == KnownModified && h == Header) return false;
    // A header half written by a program that takes no locks, or another
    // table put in this one's place: the view stays as it was until next time.
    const uint32_t count = DbfGet32(h.data() + 4);
    const bool own = h[24] == OwnMark[0] && h[25] == OwnMark[1];
    const uint32_t id = own ? DbfGet32(h.data() + 16) : 0;
    bool fits = h[0] == Header[0] && DbfGet16(h.data() + 8) == uint32_t(HeaderLength) &&
                DbfGet16(h.data() + 10) == uint32_t(RecordLength) &&
                uint64_t(HeaderLength) + uint64_t(count) * uint64_t(RecordLength) <= size &&
                (TableId == 0 || id == TableId);
    if (own) fits = fits && Strict && DbfGet32(h.data() + 20) == StructureChecksum(h.data(), Descriptors);
    if (!fits) return false;
    Header = h;
    Count = RecordsHeld(*File, uint32_t(HeaderLength), uint32_t(RecordLength), size, count);
    if (id != 0) {
        TableId = id;
        Generation = DbfGet16(h.data() + 12);
        StaleMark = h[14] != 0;
    }
    KnownSize = size;
    KnownModified = modified;
    Cache.Drop();
    DeletedCount = -1;
    NewEpoch();
    ++Version;
    bool trusted = false;
    if (TagCount > 0) {
        try {
            auto file = Fs->Open(MdxPath, false);
            TMdxReader reader(*file);
            trusted = MdxFits(reader, size, modified);
        } catch (const EDatabaseError&) {
        }
    }
    MdxTrusted = trusted;
    MdxNeedsWrite = !trusted && TableId != 0;
    for (auto& o : Orders) o->Loaded = false;
    EnsureOrders();
    return true;
}

bool TDbfTableState::MdxFits(TMdxReader& Reader, uint64_t Size, uint64_t Modified) const {
    const TMdxStamp& stamp = Reader.Stamp();
    if (!(TableId != 0 && !StaleMark && stamp.Present && stamp.TableId == TableId && stamp.Count == Count &&
          stamp.DbfSize == Size && stamp.Generation == Generation && stamp.HasModified &&
          stamp.Modified == Modified && Reader.HeaderSumMatches()))
        return false;
    // A tag whose key compiles differently here than it was stored is not read from the file.
    for (const TMdxTagDef& t : Reader.Tags()) {
        TDbfKeyDef def;
        AnsiString why;
        if (!DbfCompileKeyExpression(Fields, t.Expression, def, why) || def.KeyType != t.KeyType ||
            def.FileKeyLength != t.KeyLength)
            return false;
        // Older files of ours say no tag has keys: written anew, they say what dBase IV does.
        if (t.HasKeys != (Count > 0)) return false;
    }
    return true;
}

int64_t TDbfTableState::Deleted() {
    if (DeletedCount < 0) {
        int64_t n = 0;
        DeletedBits.Assign(Count, false);
        for (uint32_t r = 1; r <= Count; ++r)
            if (RecordBytes(r)[0] == '*') {
                DeletedBits.Set(r - 1, true);
                ++n;
            }
        DeletedCount = n;
    }
    return DeletedCount;
}

void TDbfTableState::RebuildOrders() {
    for (auto& o : Orders) o->Clear(Count);
    Scratch.resize(size_t(RecordLength));
    for (uint32_t r = 1; r <= Count; ++r) {
        ReadRecord(r, Scratch.data());
        for (auto& o : Orders)
            DbfBuildKey(o->Key, Fields, Scratch.data(),
                        o->Keys.data() + size_t(r) * size_t(o->Key.KeyLength));
    }
    for (auto& o : Orders) {
        o->Sort();
        o->Loaded = true;
    }
}

bool TDbfTableState::LoadOrderFromMdx(TMdxReader& Reader, int Index) {
    TDbfOrdering& o = *Orders[size_t(Index)];
    int fileTag = -1;
    for (size_t t = 0; t < Reader.Tags().size(); ++t)
        if (SameText(Reader.Tags()[t].Name, o.Name)) fileTag = int(t);
    if (fileTag < 0 || size_t(fileTag) >= Reader.Stamp().TagSums.size()) return false;
    try {
        o.Clear(Count);
        o.Order.reserve(Count);
        std::vector<bool> seen(size_t(Count) + 1, false);
        bool ok = true;
        uint32_t sum = Reader.Walk(Reader.Tags()[size_t(fileTag)], [&](uint32_t r, const uint8_t* key) {
            if (!ok || r == 0 || r > Count || seen[r]) {
                ok = false;
                return;
            }
            seen[r] = true;
            if (!DbfKeyFromFile(o.Key, key, o.Keys.data() + size_t(r) * size_t(o.Key.KeyLength))) ok = false;
            o.Order.push_back(r);
        });
        if (!ok || o.Order.size() != Count || sum != Reader.Stamp().TagSums[size_t(fileTag)]) return false;
        for (size_t i = 1; i < o.Order.size(); ++i)
            if (!o.Before(o.Order[i - 1], o.Order[i])) return false;
    } catch (const EDatabaseError&) {
        return false;
    }
    o.StartOver();
    o.Loaded = true;
    return true;
}

void TDbfTableState::EnsureOrder(int Index) {
    if (Orders[size_t(Index)]->Loaded) return;
    if (MdxTrusted && Orders[size_t(Index)]->Stored) {
        try {
            auto file = Fs->Open(MdxPath, false);
            TMdxReader reader(*file);
            if (LoadOrderFromMdx(reader, Index)) return;
        } catch (const EDatabaseError&) {
        }
        MdxTrusted = false;
        MdxNeedsWrite = true;
    }
    RebuildOrders();
}

void TDbfTableState::EnsureOrders() {
    // One reading of the index file's header serves every tag still to load.
    auto fromFile = [&](const auto& O) { return !O->Loaded && O->Stored; };
    if (MdxTrusted && std::any_of(Orders.begin(), Orders.end(), fromFile)) {
        bool loaded = true;
        try {
            auto file = Fs->Open(MdxPath, false);
            TMdxReader reader(*file);
            for (size_t i = 0; i < Orders.size() && loaded; ++i)
                if (fromFile(Orders[i])) loaded = LoadOrderFromMdx(reader, int(i));
        } catch (const EDatabaseError&) {
            loaded = false;
        }
        if (!loaded) {
            MdxTrusted = false;
            MdxNeedsWrite = true;
        }
    }
    for (size_t i = 0; i < Orders.size(); ++i) EnsureOrder(int(i));
}

std::unique_ptr<TDbfFile> TDbfTableState::WriteMdx() {
    std::vector<TMdxTagOut> tags;
    for (int i = 0; i < TagCount; ++i) {
        const TDbfOrdering& o = *Orders[size_t(i)];
        TMdxTagOut t;
        t.Name = o.Name;
        t.Expression = o.Expression;
        t.KeyType = o.Key.KeyType;
        t.Descending = o.Descending;
        t.FieldTag = o.Key.Parts.size() == 1 && !o.IsExpression && !o.CaseInsensitive;
        t.KeyLength = o.Key.FileKeyLength;
        t.EntryCount = o.Order.size();
        t.Entry = [&o](size_t At, uint8_t* Key) {
            uint32_t r = o.Order[At];
            DbfKeyToFile(o.Key, o.KeyOf(r), Key);
            return r;
        };
        tags.push_back(std::move(t));
    }
    // Written whole beside the old one and renamed over it: the .mdx on disk
    // is always a complete file, old or new. Its stamp still lacks the .dbf's
    // modification time (the caller adds it once the header is written).
    std::string side = SidePath(MdxPath);
    auto file = Fs->Create(side);
    try {
        TMdxStamp stamp;
        stamp.TableId = TableId;
        stamp.Count = Count;
        stamp.DbfSize = File->Size();
        stamp.Generation = Generation;
        MdxWrite(*file, DbfNameOf(StripExtension(Path)), tags, stamp);
        Fs->Rename(side, MdxPath);
    } catch (...) {
        // A failed flush leaves no side file behind (the next one writes its own).
        file.reset();
        try {
            Fs->Remove(side);
        } catch (const EDatabaseError&) {
            // Swept when the table is next opened.
        }
        throw;
    }
    MdxTrusted = TableId != 0;
    return file;
}

void TDbfTableState::MoveCompanionsHome() {
    if (Memo && MemoPath != MemoHome) {
        Memo.reset();
        Fs->Rename(MemoPath, MemoHome);
        MemoPath = MemoHome;
        Memo = std::make_unique<TDbfMemo>(Fs->Open(MemoPath, true), TableId != 0,
                                          Header[0] == VersionLevel4Memo);
    }
    if (MdxPath != MdxHome) {
        Fs->Rename(MdxPath, MdxHome);
        MdxPath = MdxHome;
    }
}

namespace {

bool ProcessAlive(long Pid) { return Pid > 0 && (::kill(pid_t(Pid), 0) == 0 || errno == EPERM); }

// The names of a folder, read again only when the folder changed since the
// last reading: the sweep of side files at every opening then costs one look
// at the folder. The folder's time is taken before its names, so a change
// made meanwhile is read again next time. On a file system whose clock ticks
// coarsely a name added in the same tick as the last reading waits for the
// folder's next change (a side file is only swept later, never wrongly).
std::vector<std::string> FolderNames(TDbfFileSystem& Fs, const std::string& Folder) {
    const uint64_t modified = Fs.FolderModified(Folder);
    if (modified == 0) return Fs.Names(Folder);
    static std::mutex mutex;
    static std::map<std::pair<TDbfFileSystem*, std::string>, std::pair<uint64_t, std::vector<std::string>>>
        read;
    std::lock_guard<std::mutex> guard(mutex);
    auto& [when, names] = read[{&Fs, Folder}];
    if (when != modified) {
        names = Fs.Names(Folder);
        when = modified;
    }
    return names;
}

}  // namespace

void TDbfTableState::RemoveDeadSideFiles() {
    const std::string folder = DbfFolderOf(Path), base = LowerCase(DbfNameOf(StripExtension(Path)));
    for (const std::string& name : FolderNames(*Fs, folder)) {
        // Every side file's name ends in ".new": the others are passed over first.
        if (name.size() < 4 || LowerCase(name.substr(name.size() - 4)) != ".new") continue;
        const std::string lower = LowerCase(name), path = folder + "/" + name;
        if (path == MdxPath || path == MemoPath) continue;  // a crash's companions, in use
        for (const char* ext : {"dbf", "dbt", "mdx"}) {
            const std::string prefix = base + "." + ext + ".";
            if (!IsSideFile(lower, ext) || lower.rfind(prefix, 0) != 0) continue;
            // "<pid>_<random>" between the prefix and ".new"; the older side
            // files ("t.mdx.new") name no process.
            const std::string tag = lower.size() > prefix.size() + 4
                                        ? lower.substr(prefix.size(), lower.size() - prefix.size() - 4)
                                        : std::string();
            const long pid = tag.empty() ? 0 : std::strtol(tag.c_str(), nullptr, 10);
            if (!tag.empty() && (pid <= 0 || tag.find('_') == std::string::npos)) continue;
            if (pid != 0 && pid != long(::getpid()) && ProcessAlive(pid)) continue;
            try {
                Fs->Remove(path);
            } catch (const EDatabaseError&) {
                // Another try at the next program's opening.
            }
        }
    }
}

// Companions a crash left under other names go home, and side files of
// writes that never ended go, when no program writes the table (a writer may
// be writing one of them aside right now). A process killed while it
// flushed, or whose flush failed, left its side file: with the write lock
// free no flush is under way anywhere, and a side file stays only while a
// process of its number lives here (it may be another machine's, or a make
// of the table under way). The folder's names are read without a look at
// each (TDbfFileSystem::Names), and again only when the folder changed
// (FolderNames), so that every opening can afford it.
void TDbfTableState::TryMoveCompanionsHome() {
    if (!File->Lock(WriteSlot, dbfLockExclusive, false)) return;
    try {
        // Companions go home by name: that home may be another table's now.
        if (!File->Replaced()) {
            MoveCompanionsHome();
            RemoveDeadSideFiles();
        }
    } catch (...) {
        LetGoOfWriteLock(*File);
        throw;
    }
    LetGoOfWriteLock(*File);
}

// --- loading ---

namespace {

// A companion file a crash left under another name (a side file of a
// create, or the old name of a rename), known by the table id it carries.
// Copies of a table share its id, so only files without a table of their
// own qualify.
std::string FindStray(TDbfFileSystem& Fs, const std::string& DbfPath, const std::string& Ext, uint32_t Id) {
    if (Id == 0) return "";
    std::string folder = DbfFolderOf(DbfPath);
    for (const std::string& name : Fs.List(folder)) {
        std::string lower = LowerCase(name);
        bool plain = lower.size() > Ext.size() + 1 && lower.ends_with("." + Ext);
        bool side = IsSideFile(lower, Ext);
        if (!plain && !side) continue;
        // Another living table's file is never taken, only orphans and side files.
        if (plain && !DbfFindFile(Fs, folder, name.substr(0, name.size() - Ext.size()) + "dbf").empty())
            continue;
        try {
            auto file = Fs.Open(folder + "/" + name, false);
            uint8_t head[64] = {};
            if (file->Read(0, head, sizeof head) != sizeof head) continue;
            uint32_t id = Ext == "mdx" ? (head[0] == 2 ? DbfGet32(head + 48) : 0) : DbfGet32(head + 24);
            if (id == Id) return folder + "/" + name;
        } catch (const EDatabaseError&) {
        }
    }
    return "";
}

void SetUpOrders(TDbfTableState& S, uint64_t FileSize, uint64_t Modified) {
    bool production = S.Header[28] != 0;
    std::vector<TDbfIndexSpec> fromFlags;
    for (size_t i = 0; i < S.Fields.size(); ++i) {
        const uint8_t* d = S.Descriptors.data() + 32 * i;
        if (d[DescIndexed] & 1) {
            TDbfIndexSpec spec;
            spec.Name = S.Fields[i].Name;
            spec.Fields = S.Fields[i].Name;
            spec.Descending = (d[DescDescending] & 1) != 0;
            fromFlags.push_back(spec);
        }
    }
    std::string found = FindCompanion(*S.Fs, S.Path, "mdx");
    S.MdxHome = found.empty() ? CompanionPath(S.Path, "mdx") : found;
    S.MdxPath = S.MdxHome;
    if (!production && fromFlags.empty()) return;

    std::vector<TDbfIndexSpec> specs = fromFlags;
    bool trusted = false;
    // Takes the tag list of an index file unless it was made for another table.
    auto use = [&](const std::string& Path) {
        try {
            auto file = S.Fs->Open(Path, false);
            TMdxReader reader(*file);
            const TMdxStamp& stamp = reader.Stamp();
            // Our table takes only an index file of its own whose header is whole.
            if (S.TableId != 0 && !(stamp.Present && stamp.TableId == S.TableId && reader.HeaderSumMatches()))
                return false;
            specs.clear();
            for (const TMdxTagDef& t : reader.Tags()) {
                TDbfIndexSpec spec;
                spec.Name = t.Name;
                spec.Fields = t.Expression;
                spec.Expression = true;
                spec.Descending = t.Descending;
                specs.push_back(spec);
            }
            trusted = S.MdxFits(reader, FileSize, Modified);
            return true;
        } catch (const EDatabaseError&) {
            specs = fromFlags;
            trusted = false;
            return false;
        }
    };
    if (found.empty() || !use(found)) {
        std::string stray = FindStray(*S.Fs, S.Path, "mdx", S.TableId);
        if (!stray.empty() && use(stray)) S.MdxPath = stray;
    }
    for (const TDbfIndexSpec& spec : specs) {
        AnsiString why;
        auto o = MakeOrdering(S.Fields, spec, true, why);
        if (o && int(S.Orders.size()) < MdxMaxTags) S.Orders.push_back(std::move(o));
    }
    S.TagCount = int(S.Orders.size());
    S.MdxTrusted = trusted;
    // Our own index is repaired at the next flush; another writer's only
    // when the table is written to (it may hold tags this engine cannot keep).
    S.MdxNeedsWrite = !trusted && S.TableId != 0;
}

// Reads the header and the field list of the state's file (Size bytes
// long) into the state: dbeDamaged when they cannot be read. The record
// count is the header's, unchecked.
void ReadStructure(TDbfTableState& S, uint64_t Size) {
    const std::string& Path = S.Path;
    const uint64_t size = Size;
    if (size < 32 || S.File->Read(0, S.Header.data(), 32) != 32)
        DbfRaiseDamaged(Path, "el fichero es demasiado corto para ser una tabla");
    const uint8_t* h = S.Header.data();
    if (!KnownVersion(h[0])) DbfRaiseDamaged(Path, "no es una tabla dBase (byte de versi\xF3n)");
    S.Count = DbfGet32(h + 4);
    S.HeaderLength = DbfGet16(h + 8);
    S.RecordLength = DbfGet16(h + 10);
    if (S.HeaderLength < 33 || uint64_t(S.HeaderLength) > size)
        DbfRaiseDamaged(Path, "la longitud de la cabecera no es v\xE1lida");
    if (S.RecordLength < 1) DbfRaiseDamaged(Path, "la longitud de los registros no es v\xE1lida");
    std::vector<uint8_t> area(size_t(S.HeaderLength) - 32);
    if (S.File->Read(32, area.data(), area.size()) != area.size())
        DbfRaiseDamaged(Path, "la cabecera est\xE1 cortada");

    size_t fieldCount = 0;
    while (true) {
        size_t at = 32 * fieldCount;
        if (at >= area.size()) DbfRaiseDamaged(Path, "la lista de campos no tiene marca de fin");
        if (area[at] == 0x0D) break;
        if (at + 32 > area.size()) DbfRaiseDamaged(Path, "la lista de campos no tiene marca de fin");
        ++fieldCount;
    }
    if (fieldCount == 0) DbfRaiseDamaged(Path, "la tabla no tiene campos");
    S.Descriptors.assign(area.begin(), area.begin() + ptrdiff_t(32 * fieldCount));
    S.StructureSum.reset();

    bool strict =
        (h[0] == VersionPlain || h[0] == VersionWithMemo) && size_t(S.HeaderLength) == 32 * fieldCount + 33;
    int offset = 1;
    for (size_t i = 0; i < fieldCount; ++i) {
        const uint8_t* d = S.Descriptors.data() + 32 * i;
        TDbfFieldDef f;
        size_t n = 0;
        while (n < 11 && d[n] != 0) ++n;
        f.Name = Trim(std::string_view(reinterpret_cast<const char*>(d), n));
        if (f.Name.empty()) DbfRaiseDamaged(Path, "un campo no tiene nombre");
        f.Type = char(d[11]);
        f.Length = d[16];
        f.Decimals = d[17];
        if (f.Type == 'C' && f.Decimals != 0 && !strict) {
            // Some writers keep wide character fields' high length byte there.
            f.Length |= f.Decimals << 8;
            f.Decimals = 0;
        }
        if (!ValidFieldName(f.Name) || !ValidWidth(f.Type, f.Length, f.Decimals)) strict = false;
        f.Offset = offset;
        offset += f.Length;
        S.Fields.push_back(f);
    }
    if (offset != S.RecordLength)
        DbfRaiseDamaged(Path, "los anchos de los campos no suman la longitud de los registros");

    if (h[24] == OwnMark[0] && h[25] == OwnMark[1]) {
        // A file of ours: its structure must be exactly as written.
        if (!strict || DbfGet32(h + 20) != StructureChecksum(h, S.Descriptors))
            DbfRaiseDamaged(Path, "la cabecera no corresponde a su lista de campos");
        S.TableId = DbfGet32(h + 16);
        S.Generation = DbfGet16(h + 12);
    }
    S.Strict = strict;
    S.StaleMark = S.TableId != 0 && h[14] != 0;
}

// How the end of the state's file (after ReadStructure) stands against the
// header's count.
TDbfTableEnd MeasureFileEnd(TDbfTableState& S, uint64_t Size) {
    TDbfTableEnd end;
    end.Fields = S.Fields;
    end.Counted = S.Count;
    const uint64_t header = uint64_t(S.HeaderLength), length = uint64_t(S.RecordLength);
    if (header + uint64_t(S.Count) * length > Size) end.Held = uint32_t((Size - header) / length);
    else end.Held = RecordsHeld(*S.File, uint32_t(header), uint32_t(length), Size, S.Count);
    const uint64_t last = header + uint64_t(end.Held) * length;
    uint8_t after = 0;
    end.Whole = Size == last || (Size == last + 1 && S.File->Read(last, &after, 1) == 1 && after == 0x1A);
    return end;
}

std::unique_ptr<TDbfTableState> LoadState(TDbfFileSystem& Fs, const std::string& Path, bool Writable) {
    auto state = std::make_unique<TDbfTableState>();
    TDbfTableState& S = *state;
    S.Fs = &Fs;
    S.Path = Path;
    S.Writable = Writable;
    S.File = Fs.Open(Path, Writable);
    TReadLock lock(S, dbfLockShared);
    const auto [size, modified] = S.File->SizeAndModified();
    ReadStructure(S, size);
    uint64_t end = uint64_t(S.HeaderLength) + uint64_t(S.Count) * uint64_t(S.RecordLength);
    if (end > size)
        DbfRaiseDamaged(Path, "el n\xFAmero de registros de la cabecera pasa del final del fichero");
    S.Count = RecordsHeld(*S.File, uint32_t(S.HeaderLength), uint32_t(S.RecordLength), size, S.Count);

    const bool hasMemo =
        std::any_of(S.Fields.begin(), S.Fields.end(), [](const TDbfFieldDef& F) { return F.Type == 'M'; });
    if (hasMemo) {
        std::string memo = FindCompanion(Fs, Path, "dbt");
        S.MemoHome = memo.empty() ? CompanionPath(Path, "dbt") : memo;
        S.MemoPath = S.MemoHome;
        const bool strictMemo = S.TableId != 0, level4 = S.Header[0] == VersionLevel4Memo;
        std::unique_ptr<TDbfMemo> m;
        if (!memo.empty()) m = std::make_unique<TDbfMemo>(Fs.Open(memo, Writable), strictMemo, level4);
        bool belongs = m && (S.TableId == 0 || m->TableId() == 0 || m->TableId() == S.TableId);
        if (!belongs) {
            std::string stray = FindStray(Fs, Path, "dbt", S.TableId);
            if (!stray.empty()) {
                m = std::make_unique<TDbfMemo>(Fs.Open(stray, Writable), strictMemo, level4);
                S.MemoPath = stray;
                belongs = true;
            }
        }
        if (belongs) S.Memo = std::move(m);
        // Without records there is nothing to lose: a memo file of its own is made on the first memo.
        else if (S.Count > 0)
            DbfRaiseDamaged(Path, m ? "su fichero de memos es de otra tabla" : "falta su fichero de memos");
    }
    SetUpOrders(S, size, modified);
    S.KnownSize = size;
    S.KnownModified = modified;
    if (Writable) S.TryMoveCompanionsHome();
    return state;
}

}  // namespace

// --- opening and managing tables ---

TDbfTable::TDbfTable(std::unique_ptr<TDbfTableState> State) : FState(std::move(State)) {}

TDbfTable::~TDbfTable() {
    try {
        FState->WriteGathered();  // even in a hold never ended
        Flush();
    } catch (...) {
        // Nothing is lost: the stale mark stays set and the next open rebuilds the index.
    }
    auto& registry = Registry();
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() ? registry.erase(it) : std::next(it);
}

std::string TDbfTable::Find(const std::string& Path, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string name = DbfNameOf(Path);
    if (name.empty()) return "";
    if (name.find('.') == std::string::npos) name += ".dbf";
    return DbfFindFile(fs, DbfFolderOf(Path), name);
}

TDbfTableEnd TDbfTable::MeasureEnd(const std::string& Path, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string real = Find(Path, &fs);
    if (real.empty()) DbfRaise(dbeNotFound, "No existe la tabla " + Quoted(Path));
    TDbfTableState S;
    S.Fs = &fs;
    S.Path = real;
    S.File = fs.Open(real, false);
    TReadLock lock(S, dbfLockShared);
    const uint64_t size = S.File->Size();
    ReadStructure(S, size);
    return MeasureFileEnd(S, size);
}

uint32_t TDbfTable::RepairEnd(const std::string& Path, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string real = Find(Path, &fs);
    if (real.empty()) DbfRaise(dbeNotFound, "No existe la tabla " + Quoted(Path));
    if (OpenInstance(fs, real)) DbfRaise(dbeTableOpen, "La tabla " + Quoted(real) + " est\xE1 abierta");
    TDbfTableState S;
    S.Fs = &fs;
    S.Path = real;
    S.File = ClaimTable(fs, real);
    if (!S.File) DbfRaise(dbeReadOnly, "La tabla " + Quoted(real) + " es de solo lectura");
    TReadLock lock(S, dbfLockExclusive);
    const uint64_t size = S.File->Size();
    ReadStructure(S, size);
    const TDbfTableEnd end = MeasureFileEnd(S, size);
    if (end.Held == end.Counted && end.Whole) return end.Held;
    // The file ends right first, the count follows: cut short before the
    // header is written, the file is measured and mended again next time.
    const uint64_t last = uint64_t(S.HeaderLength) + uint64_t(end.Held) * uint64_t(S.RecordLength);
    const uint8_t mark = 0x1A;
    S.File->Truncate(last);
    S.File->Write(last, &mark, 1);
    std::array<uint8_t, 32> h = S.Header;
    DbfPutToday(h.data() + 1);
    DbfPut32(h.data() + 4, end.Held);
    S.File->Write(0, h.data(), h.size());
    return end.Held;
}

std::shared_ptr<TDbfTable> TDbfTable::Open(const std::string& Path, TDbfOpenMode Mode, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string real = Find(Path, &fs);
    if (real.empty()) DbfRaise(dbeNotFound, "No existe la tabla " + Quoted(Path));
    bool writable = Mode == dbfReadWrite;
    if (writable && !fs.IsWritable(real))
        DbfRaise(dbeReadOnly, "La tabla " + Quoted(real) + " es de solo lectura");
    if (auto open = OpenInstance(fs, real)) {
        TDbfTableState& S = open->State();
        if (writable && !S.Writable) {
            S.File = fs.Open(S.Path, true);
            S.Cache.Drop();
            if (S.Memo)
                S.Memo = std::make_unique<TDbfMemo>(fs.Open(S.MemoPath, true), S.TableId != 0,
                                                    S.Header[0] == VersionLevel4Memo);
            S.Writable = true;
            S.TryMoveCompanionsHome();
        }
        return open;
    }
    auto table = std::make_shared<TDbfTable>(LoadState(fs, real, writable));
    Registry()[{&fs, Normalize(real)}] = table;
    return table;
}

void TDbfTable::Create(const std::string& Path, const std::vector<TDbfFieldSpec>& Fields,
                       const std::vector<TDbfIndexSpec>& Indexes, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    auto bad = [](const AnsiString& Text) { DbfRaise(dbeBadDefinition, Text); };
    if (Fields.empty()) bad("Una tabla necesita al menos un campo");
    if (Fields.size() > 255) bad("Una tabla dBase tiene como mucho 255 campos");
    std::vector<TDbfFieldDef> defs;
    int offset = 1;
    bool hasMemo = false;
    for (const TDbfFieldSpec& spec : Fields) {
        if (!ValidFieldName(spec.Name)) bad("Nombre de campo no v\xE1lido: '" + spec.Name + "'");
        TDbfFieldDef f{UpperCase(spec.Name), char(AsciiUpper(spec.Type)), spec.Length, spec.Decimals, offset};
        if (!ValidWidth(f.Type, f.Length, f.Decimals))
            bad("Tipo o ancho no v\xE1lido para el campo " + f.Name + " (" + std::string(1, f.Type) + " " +
                std::to_string(f.Length) + "," + std::to_string(f.Decimals) + ")");
        for (const auto& other : defs)
            if (other.Name == f.Name) bad("Nombre de campo repetido: '" + f.Name + "'");
        hasMemo |= f.Type == 'M';
        offset += f.Length;
        defs.push_back(f);
    }
    if (offset > 4000) bad("Un registro dBase ocupa como mucho 4000 bytes");
    if (Indexes.size() > size_t(MdxMaxTags))
        bad("Un fichero de \xEDndices dBase tiene como mucho 47 etiquetas");
    std::vector<std::unique_ptr<TDbfOrdering>> orders;
    for (const TDbfIndexSpec& spec : Indexes) {
        std::string name = UpperCase(spec.Name);
        if (name.empty() || name.size() > 10 || !ValidFieldName(name))
            bad("Nombre de \xEDndice no v\xE1lido: '" + spec.Name + "'");
        for (const auto& o : orders)
            if (o->Name == name) bad("Nombre de \xEDndice repetido: '" + spec.Name + "'");
        AnsiString why;
        auto o = MakeOrdering(defs, spec, true, why);
        if (!o) bad("\xCDndice " + spec.Name + ": " + why);
        orders.push_back(std::move(o));
    }

    std::string name = DbfNameOf(Path);
    if (name.empty()) bad("Una tabla necesita un nombre");
    std::string target =
        DbfFolderOf(Path) + "/" + (name.find('.') == std::string::npos ? name + ".dbf" : name);
    std::string existing = Find(Path, &fs);
    std::unique_ptr<TDbfFile> claim;
    if (!existing.empty()) {
        if (OpenInstance(fs, existing))
            DbfRaise(dbeTableOpen, "La tabla " + Quoted(existing) + " est\xE1 abierta");
        claim = ClaimTable(fs, existing);
        target = existing;  // replace that very file, whatever its letter case
    }
    std::string dbtPath = FindCompanion(fs, target, "dbt"), mdxPath = FindCompanion(fs, target, "mdx");
    if (dbtPath.empty()) dbtPath = CompanionPath(target, "dbt");
    if (mdxPath.empty()) mdxPath = CompanionPath(target, "mdx");

    // The new .dbf.
    std::vector<uint8_t> descriptors(32 * defs.size(), 0);
    for (size_t i = 0; i < defs.size(); ++i) {
        uint8_t* d = descriptors.data() + 32 * i;
        std::memcpy(d, defs[i].Name.data(), defs[i].Name.size());
        d[11] = uint8_t(defs[i].Type);
        d[16] = uint8_t(defs[i].Length);
        d[17] = uint8_t(defs[i].Decimals);
        for (const auto& o : orders)
            if (!o->IsExpression && !o->CaseInsensitive && o->Key.Parts.size() == 1 &&
                o->Key.Parts[0].Field == int(i)) {
                d[DescIndexed] = 1;
                if (o->Descending) d[DescDescending] = 1;
            }
    }
    std::array<uint8_t, 32> h{};
    h[0] = hasMemo ? VersionWithMemo : VersionPlain;
    DbfPutToday(h.data() + 1);
    DbfPut16(h.data() + 8, uint32_t(32 + descriptors.size() + 1));
    DbfPut16(h.data() + 10, uint32_t(offset));
    uint32_t id = NewTableId();
    DbfPut32(h.data() + 16, id);
    h[24] = OwnMark[0];
    h[25] = OwnMark[1];
    h[28] = orders.empty() ? 0 : 1;
    h[29] = LanguageAnsi;
    DbfPut32(h.data() + 20, StructureChecksum(h.data(), descriptors));
    std::vector<uint8_t> file(h.begin(), h.end());
    file.insert(file.end(), descriptors.begin(), descriptors.end());
    file.push_back(0x0D);
    file.push_back(0x1A);

    // Everything is written beside the old files first; then the .dbf goes
    // in (an old .mdx beside it carries another table id and is ignored), the
    // memo file (nothing points into it yet) and the index.
    uint64_t modified = 0;
    {
        auto f = fs.Create(SidePath(target));
        f->Write(0, file.data(), file.size());
        modified = f->Modified();  // a rename leaves it as it is
    }
    if (hasMemo) {
        auto f = fs.Create(SidePath(dbtPath));
        TDbfMemo::WriteEmpty(*f, DbfNameOf(StripExtension(target)), id);
    }
    if (!orders.empty()) {
        std::vector<TMdxTagOut> tags;
        for (const auto& o : orders) {
            TMdxTagOut t;
            t.Name = o->Name;
            t.Expression = o->Expression;
            t.KeyType = o->Key.KeyType;
            t.Descending = o->Descending;
            t.FieldTag = o->Key.Parts.size() == 1 && !o->IsExpression && !o->CaseInsensitive;
            t.KeyLength = o->Key.FileKeyLength;
            tags.push_back(std::move(t));
        }
        auto f = fs.Create(SidePath(mdxPath));
        TMdxStamp stamp;
        stamp.TableId = id;
        stamp.DbfSize = file.size();
        stamp.HasModified = true;
        stamp.Modified = modified;
        MdxWrite(*f, DbfNameOf(StripExtension(target)), tags, stamp);
    }
    fs.Rename(SidePath(target), target);
    if (hasMemo) fs.Rename(SidePath(dbtPath), dbtPath);
    else fs.Remove(dbtPath);
    if (!orders.empty()) fs.Rename(SidePath(mdxPath), mdxPath);
    else fs.Remove(mdxPath);
}

std::unique_ptr<TDbfFile> TDbfTable::Claim(const std::string& Path, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string real = Find(Path, &fs);
    return real.empty() ? nullptr : ClaimTable(fs, real);
}

void TDbfTable::Delete(const std::string& Path, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string real = Find(Path, &fs);
    if (real.empty()) DbfRaise(dbeNotFound, "No existe la tabla " + Quoted(Path));
    if (OpenInstance(fs, real)) DbfRaise(dbeTableOpen, "La tabla " + Quoted(real) + " est\xE1 abierta");
    auto claim = ClaimTable(fs, real);
    std::string dbt = FindCompanion(fs, real, "dbt"), mdx = FindCompanion(fs, real, "mdx");
    fs.Remove(real);  // first: without its .dbf the rest is no table
    if (!dbt.empty()) fs.Remove(dbt);
    if (!mdx.empty()) fs.Remove(mdx);
}

void TDbfTable::Rename(const std::string& OldPath, const std::string& NewPath, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    std::string real = Find(OldPath, &fs);
    if (real.empty()) DbfRaise(dbeNotFound, "No existe la tabla " + Quoted(OldPath));
    if (OpenInstance(fs, real)) DbfRaise(dbeTableOpen, "La tabla " + Quoted(real) + " est\xE1 abierta");
    auto claim = ClaimTable(fs, real);
    std::string name = DbfNameOf(NewPath);
    if (name.empty()) DbfRaise(dbeBadDefinition, "Una tabla necesita un nombre");
    std::string target =
        DbfFolderOf(NewPath) + "/" + (name.find('.') == std::string::npos ? name + ".dbf" : name);
    std::string clash = Find(NewPath, &fs);
    if (!clash.empty() && Normalize(clash) != Normalize(real))
        DbfRaise(dbeTableExists, "Ya existe la tabla " + Quoted(clash));
    std::string dbt = FindCompanion(fs, real, "dbt"), mdx = FindCompanion(fs, real, "mdx");
    fs.Rename(real, target);
    if (!dbt.empty()) fs.Rename(dbt, CompanionPath(target, "dbt"));
    if (!mdx.empty()) {
        std::string newMdx = CompanionPath(target, "mdx");
        fs.Rename(mdx, newMdx);
        // The index names its table (the stamp leaves these bytes out).
        uint8_t base[16] = {};
        std::string upper = UpperCase(DbfNameOf(StripExtension(target))).substr(0, 15);
        std::memcpy(base, upper.data(), upper.size());
        auto f = fs.Open(newMdx, true);
        if (f->Size() >= 20) f->Write(4, base, sizeof base);
    }
}

// --- the table ---

const std::string& TDbfTable::FileName() const { return FState->Path; }
bool TDbfTable::Writable() const { return FState->Writable; }
int TDbfTable::FieldCount() const { return int(FState->Fields.size()); }
const TDbfFieldDef& TDbfTable::Field(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        DbfRaise(dbeFieldNotFound, "No hay campo n\xFAmero " + std::to_string(Index));
    return FState->Fields[size_t(Index)];
}
int TDbfTable::FieldIndex(std::string_view Name) const {
    // Every table object binds each of its fields by name when it opens.
    auto& byName = FState->FieldsByName;
    if (byName.empty())
        for (size_t i = 0; i < FState->Fields.size(); ++i)
            byName.emplace(UpperCase(FState->Fields[i].Name), int(i));
    auto it = byName.find(UpperCase(Name));
    return it == byName.end() ? -1 : it->second;
}
int TDbfTable::RecordLength() const { return FState->RecordLength; }
bool TDbfTable::HasMemo() const { return !FState->MemoPath.empty(); }
uint32_t TDbfTable::PhysicalCount() const { return FState->Count; }
uint64_t TDbfTable::Version() const { return FState->Version; }

void TDbfTable::Read(uint32_t RecNo, char* Buffer) const { FState->ReadRecord(RecNo, Buffer); }

void TDbfTable::BlankRecord(char* Buffer) const { std::memset(Buffer, ' ', size_t(FState->RecordLength)); }

uint32_t TDbfTable::Append(const char* Buffer) {
    TDbfTableState& S = *FState;
    TChange change(S);
    std::vector<char> data(Buffer, Buffer + S.RecordLength);
    data[0] = ' ';
    data.push_back(0x1A);
    uint32_t r = S.Count + 1;
    uint64_t offset = uint64_t(S.HeaderLength) + uint64_t(S.Count) * uint64_t(S.RecordLength);
    // The record and the end mark first, the count that shows it after; in
    // a hold, the count of every row it appends is written once, when it
    // ends (meanwhile no other program reads the table, and a crash leaves
    // whole records past the count, which are rows at the next opening).
    try {
        S.WriteGathered();
        S.File->Write(offset, data.data(), data.size());
        S.Cache.Wrote(offset, data.data(), data.size());
        S.Count = r;
        if (S.Holds > 0) S.CountOwed = true;
        else S.WriteHeader();
    } catch (...) {
        // A write refused half-way (a full disk) leaves part of a record, or
        // a whole one no count shows, which another reader would take for a
        // row: the file goes back to its records and their end mark.
        S.Count = r - 1;
        S.Cache.Drop();
        try {
            const char eof = 0x1A;
            S.File->Truncate(offset);
            S.File->Write(offset, &eof, 1);
        } catch (const EDatabaseError&) {
            // Left as it is: opening the folder measures and mends its end.
        }
        throw;
    }
    if (S.DeletedCount >= 0) S.DeletedBits.Resize(r);
    S.Touch(r);
    std::vector<uint8_t> key;
    for (auto& o : S.Orders) {
        key.resize(size_t(o->Key.KeyLength));
        DbfBuildKey(o->Key, S.Fields, data.data(), key.data());
        o->Insert(r, key.data());
    }
    return r;
}

void TDbfTable::Update(uint32_t RecNo, const char* Buffer) {
    TDbfTableState& S = *FState;
    TChange change(S);  // first: the deletion flag kept is the one on disk now
    S.Scratch.resize(size_t(S.RecordLength));
    S.ReadRecord(RecNo, S.Scratch.data());
    std::vector<char> data(Buffer, Buffer + S.RecordLength);
    data[0] = S.Scratch[0];
    uint64_t offset = uint64_t(S.HeaderLength) + uint64_t(RecNo - 1) * uint64_t(S.RecordLength);
    S.WriteRecordBytes(offset, data.data(), data.size());
    S.Touch(RecNo);
    std::vector<uint8_t> key;
    for (auto& o : S.Orders) {
        key.resize(size_t(o->Key.KeyLength));
        DbfBuildKey(o->Key, S.Fields, data.data(), key.data());
        o->Change(RecNo, key.data());
    }
}

void TDbfTable::Delete(uint32_t RecNo) {
    TDbfTableState& S = *FState;
    TChange change(S);
    S.Scratch.resize(size_t(S.RecordLength));
    S.ReadRecord(RecNo, S.Scratch.data());
    if (S.Scratch[0] == '*') return;
    uint64_t offset = uint64_t(S.HeaderLength) + uint64_t(RecNo - 1) * uint64_t(S.RecordLength);
    const char flag = '*';
    S.WriteRecordBytes(offset, &flag, 1);
    if (S.DeletedCount >= 0) {
        ++S.DeletedCount;
        S.DeletedBits.Set(RecNo - 1, true);
    }
    S.Touch(RecNo);
}

void TDbfTable::Empty() {
    TDbfTableState& S = *FState;
    TChange change(S);
    S.WriteGathered();
    uint32_t old = S.Count;
    S.Count = 0;
    try {
        S.WriteHeader();
    } catch (...) {
        S.Count = old;
        throw;
    }
    S.Cache.Drop();
    S.File->Truncate(uint64_t(S.HeaderLength));
    const char eof = 0x1A;
    S.File->Write(uint64_t(S.HeaderLength), &eof, 1);
    if (S.Memo) S.Memo->Reset();
    for (auto& o : S.Orders) {
        o->Clear(0);
        o->Loaded = true;
    }
    S.DeletedCount = 0;
    S.DeletedBits.Assign(0, false);
    S.NewEpoch();
}

void TDbfTable::Flush() {
    TDbfTableState& S = *FState;
    if (!S.Writable || S.Holds > 0) return;
    S.WriteGathered();
    const bool session = S.SessionDirty;
    // Without a session only an index to repair is left: a write all the
    // same, so it is left to the program writing the table if there is one.
    if (!session && !(S.MdxNeedsWrite && S.TagCount > 0)) return;
    if (!session && !S.File->Lock(WriteSlot, dbfLockExclusive, false)) return;
    // The index goes in by name: after a replacement, over the new table's.
    if (!session && S.File->Replaced()) {
        LetGoOfWriteLock(*S.File);
        return;
    }
    try {
        TReadLock lock(S, dbfLockExclusive);
        if (!session) S.TakeInChanges();
        std::unique_ptr<TDbfFile> mdx;
        if (S.MdxNeedsWrite && S.TagCount > 0) {
            S.EnsureOrders();
            mdx = S.WriteMdx();
            S.MdxNeedsWrite = false;
        }
        if (S.StaleMark || S.CountOwed) {
            S.StaleMark = false;
            S.WriteHeader();
            S.CountOwed = false;
        }
        // Last: a crash before it leaves an index that is only not trusted.
        const auto [size, modified] = S.File->SizeAndModified();
        if (mdx) MdxWriteModified(*mdx, modified);
        S.KnownSize = size;
        S.KnownModified = modified;
    } catch (...) {
        // A session that could not end keeps its lock: its index is still owed.
        if (!session) LetGoOfWriteLock(*S.File);
        throw;
    }
    S.SessionDirty = false;
    LetGoOfWriteLock(*S.File);
}

void TDbfTable::Reserve() { TChange change(*FState); }

void TDbfTable::BeginHold(bool Write) {
    TDbfTableState& S = *FState;
    if (Write) {
        S.BeginWrite();  // leaves the read lock held exclusive
    } else {
        TReadLock lock(S, dbfLockShared);
        if (S.Holds == 0 && !S.SessionDirty) S.TakeInChanges();
        S.LockRead(dbfLockShared);  // nested in the one above: no wait
    }
    ++S.Holds;
}

void TDbfTable::EndHold() {
    TDbfTableState& S = *FState;
    if (S.Holds == 0) return;
    try {
        if (--S.Holds == 0) {
            if (S.Memo) S.Memo->EndHeld();
            Flush();
        }
    } catch (...) {
        S.UnlockRead();
        throw;
    }
    S.UnlockRead();
}

// --- fields ---

namespace {

const TDbfFieldDef& FieldOf(const TDbfTableState& S, int Field) {
    if (Field < 0 || size_t(Field) >= S.Fields.size())
        DbfRaise(dbeFieldNotFound,
                 "No hay campo n\xFAmero " + std::to_string(Field) + " en " + Quoted(S.Path));
    return S.Fields[size_t(Field)];
}

std::string_view Raw(const char* Buffer, const TDbfFieldDef& F) {
    return {Buffer + F.Offset, size_t(F.Length)};
}

[[noreturn]] void WrongKind(const TDbfFieldDef& F, const char* Wanted) {
    DbfRaise(dbeValueRange, "El campo " + F.Name + " no es " + Wanted);
}

uint32_t MemoBlockOf(const TDbfTableState& S, const char* Buffer, const TDbfFieldDef& F) {
    std::string text = Trim(Raw(Buffer, F));
    if (text.empty()) return 0;
    uint64_t block = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || block > 0xFFFFFFFFull / 10) {
            if (S.TableId != 0)
                DbfRaiseDamaged(S.Path, "n\xFAmero de bloque de memo no v\xE1lido en el campo " + F.Name);
            return 0;
        }
        block = block * 10 + uint64_t(c - '0');
    }
    return block > 0xFFFFFFFFull ? 0 : uint32_t(block);
}

}  // namespace

bool TDbfTable::IsBlank(const char* Buffer, int Field) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    for (char c : Raw(Buffer, f))
        if (c != ' ' && c != '\0') return false;
    return true;
}

AnsiString TDbfTable::GetText(const char* Buffer, int Field) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    std::string_view raw = Raw(Buffer, f);
    switch (f.Type) {
    case 'N':
    case 'F': return Trim(raw);
    case 'L': {
        bool null;
        bool v = GetBoolean(Buffer, Field, &null);
        return null ? "" : (v ? "T" : "F");
    }
    case 'D': {
        double d;
        return DbfParseDate(raw, d) ? AnsiString(raw) : AnsiString();
    }
    case 'M': return GetMemo(Buffer, Field);
    default: return AnsiString(DbfTextOf(raw.data(), raw.size()));
    }
}

double TDbfTable::GetNumber(const char* Buffer, int Field, bool* IsNull) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    double v = 0;
    bool ok = DbfParseNumber(Raw(Buffer, f), v);
    if (IsNull) *IsNull = !ok;
    return ok ? v : 0;
}

bool TDbfTable::GetBoolean(const char* Buffer, int Field, bool* IsNull) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    char c = f.Length > 0 ? Buffer[f.Offset] : ' ';
    bool yes = c == 'T' || c == 't' || c == 'Y' || c == 'y';
    bool no = c == 'F' || c == 'f' || c == 'N' || c == 'n';
    if (IsNull) *IsNull = !yes && !no;
    return yes;
}

double TDbfTable::GetDate(const char* Buffer, int Field, bool* IsNull) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    double d = 0;
    bool ok = f.Length == 8 && DbfParseDate(Raw(Buffer, f), d);
    if (IsNull) *IsNull = !ok;
    return ok ? d : 0;
}

void TDbfTable::SetText(char* Buffer, int Field, std::string_view Value) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    switch (f.Type) {
    case 'N':
    case 'F': {
        if (Trim(Value).empty()) return SetBlank(Buffer, Field);
        double v;
        if (!DbfParseNumber(Value, v))
            DbfRaise(dbeValueRange,
                     "'" + AnsiString(Value) + "' no es un n\xFAmero v\xE1lido para el campo " + f.Name);
        return SetNumber(Buffer, Field, v);
    }
    case 'L': {
        std::string t = Trim(Value);
        if (t.empty() || t == "?") return SetBlank(Buffer, Field);
        char c = AsciiUpper(t[0]);
        if (c == 'T' || c == 'Y') return SetBoolean(Buffer, Field, true);
        if (c == 'F' || c == 'N') return SetBoolean(Buffer, Field, false);
        DbfRaise(dbeValueRange,
                 "'" + AnsiString(Value) + "' no es un valor l\xF3gico v\xE1lido para el campo " + f.Name);
    }
    case 'D': {
        std::string t = Trim(Value);
        double d;
        if (t.empty()) return SetBlank(Buffer, Field);
        if (!DbfParseDate(t, d))
            DbfRaise(dbeValueRange,
                     "'" + AnsiString(Value) + "' no es una fecha v\xE1lida para el campo " + f.Name);
        std::memcpy(Buffer + f.Offset, t.data(), 8);
        return;
    }
    case 'M': DbfRaise(dbeValueRange, "El campo " + f.Name + " es de memo: su texto se escribe con SetMemo");
    default: {
        size_t n = std::min(Value.size(), size_t(f.Length));
        std::memcpy(Buffer + f.Offset, Value.data(), n);
        std::memset(Buffer + f.Offset + n, ' ', size_t(f.Length) - n);
    }
    }
}

void TDbfTable::SetNumber(char* Buffer, int Field, double Value) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    if (f.Type != 'N' && f.Type != 'F') WrongKind(f, "num\xE9rico");
    std::string text = DbfFormatNumber(Value, f.Length, std::min(f.Decimals, 15));
    if (text.empty()) {
        char shown[64];
        std::snprintf(shown, sizeof shown, "%.15g", Value);
        DbfRaise(dbeValueRange, "El valor " + std::string(shown) + " no cabe en el campo " + f.Name + " (" +
                                    std::to_string(f.Length) + "," + std::to_string(f.Decimals) + ")");
    }
    std::memcpy(Buffer + f.Offset, text.data(), size_t(f.Length));
}

void TDbfTable::SetBoolean(char* Buffer, int Field, bool Value) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    if (f.Type != 'L') WrongKind(f, "l\xF3gico");
    Buffer[f.Offset] = Value ? 'T' : 'F';
}

void TDbfTable::SetDate(char* Buffer, int Field, double DayNumber) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    if (f.Type != 'D') WrongKind(f, "de fecha");
    std::string text;
    if (!DbfFormatDate(DayNumber, text))
        DbfRaise(dbeValueRange, "Fecha fuera de los l\xEDmites del campo " + f.Name);
    std::memcpy(Buffer + f.Offset, text.data(), 8);
}

void TDbfTable::SetBlank(char* Buffer, int Field) const {
    const TDbfFieldDef& f = FieldOf(*FState, Field);
    std::memset(Buffer + f.Offset, ' ', size_t(f.Length));
}

AnsiString TDbfTable::GetMemo(const char* Buffer, int Field) const {
    const TDbfTableState& S = *FState;
    const TDbfFieldDef& f = FieldOf(S, Field);
    if (f.Type != 'M') WrongKind(f, "de memo");
    uint32_t block = MemoBlockOf(S, Buffer, f);
    if (block == 0) return "";
    if (!S.Memo) DbfRaiseDamaged(S.Path, "falta su fichero de memos");
    return S.Memo->Read(block);
}

void TDbfTable::SetMemo(char* Buffer, int Field, std::string_view Text) {
    TDbfTableState& S = *FState;
    const TDbfFieldDef& f = FieldOf(S, Field);
    if (f.Type != 'M') WrongKind(f, "de memo");
    if (Text.empty()) return SetBlank(Buffer, Field);
    TChange change(S);
    if (!S.Memo) {
        {
            auto created = S.Fs->Create(S.MemoPath);
            TDbfMemo::WriteEmpty(*created, DbfNameOf(StripExtension(S.Path)), S.TableId);
        }
        S.Memo = std::make_unique<TDbfMemo>(S.Fs->Open(S.MemoPath, true), S.TableId != 0,
                                            S.Header[0] == VersionLevel4Memo);
    }
    uint32_t block = S.Memo->Write(Text, S.Holds > 0);
    std::string digits = std::to_string(block);
    if (digits.size() > size_t(f.Length))
        DbfRaise(dbeValueRange, "El fichero de memos es demasiado grande para el campo " + f.Name);
    std::memset(Buffer + f.Offset, ' ', size_t(f.Length));
    std::memcpy(Buffer + f.Offset + f.Length - int(digits.size()), digits.data(), digits.size());
}

// --- orders ---

int TDbfTable::TagCount() const { return FState->TagCount; }
int TDbfTable::OrderCount() const { return int(FState->Orders.size()); }

namespace {
const TDbfOrdering& OrderingOf(const TDbfTableState& S, int Order) {
    if (Order < 0 || size_t(Order) >= S.Orders.size())
        DbfRaise(dbeBadKey, "No hay \xEDndice n\xFAmero " + std::to_string(Order) + " en " + Quoted(S.Path));
    return *S.Orders[size_t(Order)];
}
}  // namespace

TDbfOrderInfo TDbfTable::OrderInfo(int Order) const {
    const TDbfOrdering& o = OrderingOf(*FState, Order);
    TDbfOrderInfo info;
    info.Name = o.Name;
    info.Fields = o.FieldList;
    info.Expression = o.Expression;
    info.Descending = o.Descending;
    info.CaseInsensitive = o.CaseInsensitive;
    info.IsExpression = o.IsExpression;
    info.Stored = o.Stored;
    return info;
}

int TDbfTable::FindTag(std::string_view Name) const {
    for (int i = 0; i < FState->TagCount; ++i)
        if (SameText(FState->Orders[size_t(i)]->Name, Name)) return i;
    return -1;
}

int TDbfTable::OrderForFields(std::string_view Fields, bool CaseInsensitive, bool Descending) {
    TDbfTableState& S = *FState;
    std::vector<std::string> wanted = SplitFields(Fields);
    std::string list;
    for (size_t i = 0; i < wanted.size(); ++i) list += (i ? ";" : "") + wanted[i];
    for (size_t i = 0; i < S.Orders.size(); ++i) {
        const TDbfOrdering& o = *S.Orders[i];
        if (!o.IsExpression && SameText(o.FieldList, list) && o.CaseInsensitive == CaseInsensitive &&
            o.Descending == Descending)
            return int(i);
    }
    TDbfIndexSpec spec;
    spec.Fields = list;
    spec.CaseInsensitive = CaseInsensitive;
    spec.Descending = Descending;
    AnsiString why;
    auto o = MakeOrdering(S.Fields, spec, false, why);
    if (!o)
        DbfRaise(dbeBadKey,
                 "No se puede ordenar " + Quoted(S.Path) + " por " + AnsiString(Fields) + ": " + why);
    o->Name = list;
    // Built from the records now and kept up to date from here on.
    o->Clear(S.Count);
    S.Scratch.resize(size_t(S.RecordLength));
    for (uint32_t r = 1; r <= S.Count; ++r) {
        S.ReadRecord(r, S.Scratch.data());
        DbfBuildKey(o->Key, S.Fields, S.Scratch.data(),
                    o->Keys.data() + size_t(r) * size_t(o->Key.KeyLength));
    }
    o->Sort();
    o->Loaded = true;
    S.Orders.push_back(std::move(o));
    return int(S.Orders.size()) - 1;
}

int TDbfTable::OrderKeyFieldCount(int Order) const {
    const TDbfOrdering& o = OrderingOf(*FState, Order);
    return o.IsExpression ? 1 : int(o.Key.Parts.size());
}

TDbfKey TDbfTable::MakeKey(int Order, const std::vector<TDbfValue>& Values, bool PartialText) const {
    const TDbfOrdering& o = OrderingOf(*FState, Order);
    TDbfKey key;
    key.Order = Order;
    auto asText = [](const TDbfValue& v) -> std::string {
        switch (v.Kind) {
        case TDbfValue::Text: return v.Str;
        case TDbfValue::Number: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", v.Num);
            return buf;
        }
        case TDbfValue::Boolean: return v.Bool ? "T" : "F";
        case TDbfValue::Date: {
            std::string t;
            return DbfFormatDate(v.Num, t) ? t : "";
        }
        default: return "";
        }
    };
    if (o.IsExpression) {
        // One value stands for the whole computed key.
        if (Values.size() > 1) DbfRaise(dbeBadKey, "Demasiados valores de clave para el \xEDndice " + o.Name);
        if (Values.empty()) return key;
        std::string text = asText(Values[0]);
        if (o.CaseInsensitive) text = AnsiUpperCase(text);
        if (o.Key.KeyType != 'C')
            DbfRaise(dbeBadKey, "El \xEDndice " + o.Name + " no admite una clave de texto");
        text = text.substr(0, size_t(o.Key.KeyLength));
        if (!PartialText) text.resize(size_t(o.Key.KeyLength), ' ');
        key.Bytes = text;
        return key;
    }
    if (Values.size() > o.Key.Parts.size())
        DbfRaise(dbeBadKey, "Demasiados valores de clave para el \xEDndice " + o.Name);
    for (size_t i = 0; i < Values.size(); ++i) {
        const TDbfKeyPart& part = o.Key.Parts[i];
        const TDbfValue& v = Values[i];
        uint8_t bytes[8];
        switch (part.Kind) {
        case 'C':
        case 'S': {
            std::string text = asText(v);
            if (part.Upper) text = AnsiUpperCase(text);
            text = text.substr(0, size_t(part.Width));
            if (PartialText && i + 1 == Values.size()) {
                key.Bytes += text;
                return key;
            }
            text.resize(size_t(part.Width), ' ');
            key.Bytes += text;
            continue;
        }
        case 'N': {
            double n = 0;
            if (v.Kind == TDbfValue::Number || v.Kind == TDbfValue::Date) n = v.Num;
            else if (v.Kind == TDbfValue::Boolean) n = v.Bool ? 1 : 0;
            else if (v.Kind == TDbfValue::Text && !Trim(v.Str).empty() && !DbfParseNumber(v.Str, n))
                DbfRaise(dbeBadKey,
                         "'" + v.Str + "' no es un n\xFAmero v\xE1lido para el \xEDndice " + o.Name);
            DbfEncodeOrderedDouble(n, bytes);
            break;
        }
        case 'D': {
            double d = 0;
            bool blank = true;
            if (v.Kind == TDbfValue::Date || v.Kind == TDbfValue::Number) {
                d = std::floor(v.Num);
                blank = false;
            } else if (v.Kind == TDbfValue::Text && !Trim(v.Str).empty()) {
                if (!DbfParseDate(Trim(v.Str), d))
                    DbfRaise(dbeBadKey,
                             "'" + v.Str + "' no es una fecha v\xE1lida para el \xEDndice " + o.Name);
                blank = false;
            }
            DbfEncodeOrderedDouble(blank ? 0 : d + DbfJulianOfDayNumber, bytes);
            break;
        }
        default: {
            bool yes = v.Kind == TDbfValue::Boolean
                           ? v.Bool
                           : (!asText(v).empty() &&
                              (AsciiUpper(asText(v)[0]) == 'T' || AsciiUpper(asText(v)[0]) == 'Y'));
            bytes[0] = yes ? 'T' : 'F';
            break;
        }
        }
        key.Bytes.append(reinterpret_cast<const char*>(bytes), size_t(part.Width));
    }
    return key;
}

TDbfKey TDbfTable::KeyOf(int Order, const char* Buffer) const {
    const TDbfOrdering& o = OrderingOf(*FState, Order);
    TDbfKey key;
    key.Order = Order;
    key.Bytes.resize(size_t(o.Key.KeyLength));
    DbfBuildKey(o.Key, FState->Fields, Buffer, reinterpret_cast<uint8_t*>(key.Bytes.data()));
    return key;
}

int TDbfTable::CompareKey(const TDbfKey& Key, const char* Buffer) const {
    const TDbfOrdering& o = OrderingOf(*FState, Key.Order);
    std::vector<uint8_t> own(size_t(o.Key.KeyLength));
    DbfBuildKey(o.Key, FState->Fields, Buffer, own.data());
    size_t n = std::min(Key.Bytes.size(), own.size());
    return o.CompareKeys(own.data(), reinterpret_cast<const uint8_t*>(Key.Bytes.data()), n);
}

// --- the tag checker ---

std::vector<AnsiString> TDbfTable::CheckTags() {
    TDbfTableState& S = *FState;
    std::vector<AnsiString> problems;
    if (S.TagCount == 0 && S.Header[28] == 0) return problems;
    std::string mdx = FindCompanion(*S.Fs, S.Path, "mdx");
    if (mdx.empty()) {
        problems.push_back("the index file is missing");
        return problems;
    }
    try {
        auto file = S.Fs->Open(mdx, false);
        TMdxReader reader(*file);
        const TMdxStamp& stamp = reader.Stamp();
        if (!(stamp.Present && stamp.TableId == S.TableId && stamp.Count == S.Count &&
              stamp.DbfSize == S.File->Size() && stamp.Generation == S.Generation && !S.StaleMark &&
              reader.HeaderSumMatches()))
            problems.push_back("the index file is stale");
        for (int i = 0; i < S.TagCount; ++i) {
            bool there = false;
            for (const auto& t : reader.Tags()) there |= SameText(t.Name, S.Orders[size_t(i)]->Name);
            if (!there)
                problems.push_back("tag " + S.Orders[size_t(i)]->Name + " is missing from the index file");
        }
        std::vector<char> record(size_t(S.RecordLength));
        for (size_t t = 0; t < reader.Tags().size(); ++t) {
            const TMdxTagDef& tag = reader.Tags()[t];
            TDbfKeyDef def;
            AnsiString why;
            if (!DbfCompileKeyExpression(S.Fields, tag.Expression, def, why) || def.KeyType != tag.KeyType ||
                def.FileKeyLength != tag.KeyLength) {
                problems.push_back("tag " + tag.Name + ": its key " + tag.Expression +
                                   " does not fit the table");
                continue;
            }
            TDbfOrdering order;
            order.Key = def;
            order.Descending = tag.Descending;
            order.Clear(S.Count);
            for (uint32_t r = 1; r <= S.Count; ++r) {
                S.ReadRecord(r, record.data());
                DbfBuildKey(def, S.Fields, record.data(),
                            order.Keys.data() + size_t(r) * size_t(def.KeyLength));
            }
            std::vector<bool> seen(size_t(S.Count) + 1, false);
            std::vector<uint32_t> entries;
            int shown = 0;
            auto problem = [&](const AnsiString& text) {
                if (shown++ < 5) problems.push_back("tag " + tag.Name + ": " + text);
            };
            std::vector<uint8_t> expected(size_t(tag.KeyLength));
            uint32_t sum = reader.Walk(tag, [&](uint32_t r, const uint8_t* key) {
                if (r == 0 || r > S.Count)
                    return problem("entry for record " + std::to_string(r) + " which does not exist");
                if (seen[r]) return problem("record " + std::to_string(r) + " appears twice");
                seen[r] = true;
                entries.push_back(r);
                DbfKeyToFile(def, order.KeyOf(r), expected.data());
                if (!DbfSameFileKey(def, expected.data(), key))
                    problem("record " + std::to_string(r) + " has a key that differs from its fields");
            });
            if (entries.size() != S.Count)
                problem(std::to_string(entries.size()) + " entries for " + std::to_string(S.Count) +
                        " records");
            if (tag.HasKeys != !entries.empty())
                problem(tag.HasKeys ? "its header says it has keys, and it has none"
                                    : "its header says it has no keys");
            for (size_t i = 1; i < entries.size(); ++i)
                if (!order.Before(entries[i - 1], entries[i])) {
                    problem("records " + std::to_string(entries[i - 1]) + " and " +
                            std::to_string(entries[i]) + " are out of order");
                    break;
                }
            if (stamp.Present && t < stamp.TagSums.size() && stamp.TagSums[t] != sum)
                problem("its pages do not match their checksum");
        }
    } catch (const EDatabaseError& e) {
        problems.push_back(e.Message());
    }
    return problems;
}
