// The engine's quick paths against its plain ones on random tables that
// appends, edits and deletes keep changing (seeded): a cursor's count, the
// place of a record and the record at a place equal what a walk from the
// first record gives, in record order and along every order, under filters
// and ranges, for cursors that follow the changes as well as for new ones;
// and every record read through the record cache is the file's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "DbTestSupport.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/DbfInternal.h"
#include "platform/rtl/Strings.h"

namespace {

const std::vector<TDbfFieldSpec> Fields{{"N", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"GRP", 'C', 1, 0}};
// Ascending numbers, descending names, and an expression key.
const std::vector<TDbfIndexSpec> Tags{
    {"N", "N"}, {"NAME", "NAME", true}, {"UNAME", "UPPER(NAME)+GRP", false, false, true}};

// Names from a few letters, so that equal keys (kept in record order) abound.
std::string RandomName(std::mt19937& Random) {
    static const char letters[] = {'a', 'A', 'b', 'B', '\xE1', 'c'};
    std::string name;
    for (int i = 0, n = 1 + int(Random() % 3); i < n; ++i) name += letters[Random() % 6];
    return name;
}

std::vector<char> RandomRow(TDbfTable& Table, std::mt19937& Random) {
    return Row(Table, {{"N", Random() % 10 == 0 ? "" : std::to_string(int(Random() % 600) - 50)},
                       {"NAME", RandomName(Random)},
                       {"GRP", std::string(1, "ABCD"[Random() % 4])}});
}

// One random change: an append, an edit of any field (keys included) or a
// deletion.
void RandomChange(TDbfTable& Table, std::mt19937& Random) {
    const uint32_t count = Table.PhysicalCount();
    const unsigned kind = Random() % 10;
    if (count == 0 || kind < 4) {
        Table.Append(RandomRow(Table, Random).data());
    } else if (kind < 8) {
        Table.Update(1 + Random() % count, RandomRow(Table, Random).data());
    } else {
        Table.Delete(1 + Random() % count);
    }
}

// What limits the records a cursor sees.
enum TLimit { NoLimit, Filtered, Ranged, FilteredAndRanged };

// A cursor as the test sets it up; made again, it is the plain path's cursor.
struct TCursorCase {
    int Order;
    TLimit Limit;
    std::string Name;
};

class DbfPositions : public ::testing::Test {
protected:
    void SetUp() override {
        TDbfTable::Create(Dir / "t", Fields, Tags);
        Table = TDbfTable::Open(Dir / "t");
        Memory = Table->OrderForFields("GRP;N");
        for (int order = -1; order < Table->OrderCount(); ++order)
            for (TLimit limit : {NoLimit, Filtered, Ranged, FilteredAndRanged}) {
                if (order < 0 && (limit == Ranged || limit == FilteredAndRanged)) continue;
                std::string name = (order < 0 ? std::string("record order") : Table->OrderInfo(order).Name) +
                                   (limit == Filtered            ? ", filtered"
                                    : limit == Ranged            ? ", ranged"
                                    : limit == FilteredAndRanged ? ", filtered and ranged"
                                                                 : "");
                Cases.push_back({order, limit, name});
            }
    }

    // Groups A and B (a predicate on the record's bytes), and numbers above
    // 100 (the engine's own filter of a text), switched on and off by the test.
    void SetUp(TDbfCursor& Cursor, const TCursorCase& Case) {
        Cursor.SetOrder(Case.Order);
        if (Case.Limit == Filtered || Case.Limit == FilteredAndRanged) {
            const int grp = Table->FieldIndex("GRP");
            const int offset = Table->Field(grp).Offset;
            Cursor.AddFilter([offset](const char* Record) { return Record[offset] <= 'B'; });
            Cursor.AddFilter(TDbfFilter::AsRecordFilter(DbfCompileFilter(*Table, "N > 100")), NumberFilterOn);
        }
        if (Case.Limit == Ranged || Case.Limit == FilteredAndRanged) {
            TDbfKey start, end;
            if (Case.Order == Table->FindTag("N")) {
                start = Table->MakeKey(Case.Order, {TDbfValue::FromNumber(0)});
                end = Table->MakeKey(Case.Order, {TDbfValue::FromNumber(250)});
            } else if (Case.Order == Table->FindTag("NAME")) {
                start = Table->MakeKey(Case.Order, {TDbfValue::FromText("b")}, true);  // descending
                end = Table->MakeKey(Case.Order, {TDbfValue::FromText("A")}, true);
            } else if (Case.Order == Table->FindTag("UNAME")) {
                start = Table->MakeKey(Case.Order, {TDbfValue::FromText("AB")}, true);
                end = Table->MakeKey(Case.Order, {TDbfValue::FromText("B")}, true);
            } else {
                start = Table->MakeKey(Case.Order, {TDbfValue::FromText("B")});
                end = Table->MakeKey(Case.Order, {TDbfValue::FromText("C"), TDbfValue::FromNumber(300)});
            }
            Cursor.SetRange(&start, &end);
        }
    }
    // Cursors kept from the start, which follow every change.
    void MakeKeptCursors() {
        for (const TCursorCase& c : Cases) {
            Kept.push_back(std::make_unique<TDbfCursor>(Table));
            SetUp(*Kept.back(), c);
            Kept.back()->RecordCount();  // makes its map
        }
    }
    void SwitchNumberFilter(bool On) {
        NumberFilterOn = On;
        for (size_t i = 0; i < Cases.size(); ++i)
            if (Cases[i].Limit == Filtered || Cases[i].Limit == FilteredAndRanged)
                Kept[i]->SetFilterActive(2, On);
    }

    // The kept cursor against a walk of a new one; Samples places checked
    // (every one when there are fewer).
    void ExpectSameAsWalk(size_t CaseIndex, size_t Samples, const std::string& When) {
        const TCursorCase& c = Cases[CaseIndex];
        TDbfCursor& kept = *Kept[CaseIndex];
        const std::string what = c.Name + ", " + When;
        TDbfCursor plain(Table);
        SetUp(plain, c);
        const std::vector<uint32_t> walk = Walk(plain);
        ASSERT_EQ(kept.RecordCount(), walk.size()) << what;
        if (walk.empty()) {
            EXPECT_FALSE(kept.GotoSequenceNumber(1)) << what;
            EXPECT_TRUE(kept.Eof()) << what;
            return;
        }
        std::vector<size_t> places;
        for (size_t i = 0; i < walk.size(); i += std::max<size_t>(1, walk.size() / Samples))
            places.push_back(i);
        places.push_back(walk.size() - 1);
        for (size_t i : places) {
            ASSERT_TRUE(kept.GotoRecord(walk[i])) << what;
            ASSERT_EQ(kept.SequenceNumber(), i + 1) << what << ", record " << walk[i];
            ASSERT_TRUE(kept.GotoSequenceNumber(uint32_t(i + 1))) << what;
            ASSERT_EQ(kept.RecNo(), walk[i]) << what << ", place " << i + 1;
            ASSERT_EQ(kept.SequenceNumber(), i + 1) << what;
            if (i + 1 < walk.size()) {
                ASSERT_TRUE(kept.Next()) << what;
                ASSERT_EQ(kept.RecNo(), walk[i + 1]) << what << ", after place " << i + 1;
            }
        }
        // Places beyond either end give the first and the last record.
        EXPECT_TRUE(kept.GotoSequenceNumber(0)) << what;
        EXPECT_EQ(kept.RecNo(), walk.front()) << what;
        EXPECT_TRUE(kept.GotoSequenceNumber(uint32_t(walk.size() + 3))) << what;
        EXPECT_EQ(kept.RecNo(), walk.back()) << what;
        // A grid's steps back from the end.
        for (size_t i = walk.size(); i-- > 0 && i + 30 >= walk.size();) {
            ASSERT_EQ(kept.SequenceNumber(), i + 1) << what;
            if (i > 0) {
                ASSERT_TRUE(kept.Prior()) << what;
            }
        }
    }
    void ExpectAllSameAsWalk(size_t Samples, const std::string& When) {
        for (size_t i = 0; i < Cases.size(); ++i) ExpectSameAsWalk(i, Samples, When);
    }

    TTempFolder Dir;
    std::shared_ptr<TDbfTable> Table;
    int Memory = -1;  // an in-memory order
    std::vector<TCursorCase> Cases;
    std::vector<std::unique_ptr<TDbfCursor>> Kept;
    bool NumberFilterOn = true;
    std::mt19937 Random{20240613};
};

}  // namespace

TEST_F(DbfPositions, PlacesAndCountsEqualAWalkThroughRoundsOfChanges) {
    for (int i = 0; i < 3000; ++i) Table->Append(RandomRow(*Table, Random).data());
    MakeKeptCursors();
    ExpectAllSameAsWalk(60, "at the start");
    for (int round = 1; round <= 4; ++round) {
        for (int i = 0; i < 150; ++i) RandomChange(*Table, Random);
        if (round == 3) SwitchNumberFilter(false);
        ExpectAllSameAsWalk(60, "after round " + std::to_string(round));
        if (HasFatalFailure()) return;
    }
}

TEST_F(DbfPositions, CursorsFollowEveryChangeOneByOne) {
    for (int i = 0; i < 400; ++i) Table->Append(RandomRow(*Table, Random).data());
    MakeKeptCursors();
    for (int i = 0; i < 40; ++i) {
        RandomChange(*Table, Random);
        ExpectAllSameAsWalk(8, "after change " + std::to_string(i + 1));
        if (HasFatalFailure()) return;
    }
}

// More changes than the logs keep, an emptied table, and the orders loaded
// anew from the index file: the maps are made again.
TEST_F(DbfPositions, MapsAreMadeAgainAfterChangesTheyCannotFollow) {
    for (int i = 0; i < 200; ++i) Table->Append(RandomRow(*Table, Random).data());
    MakeKeptCursors();
    for (int i = 0; i < 6000; ++i) Table->Update(1 + Random() % 200, RandomRow(*Table, Random).data());
    ExpectAllSameAsWalk(20, "after many edits");
    Table->Empty();
    ExpectAllSameAsWalk(20, "emptied");
    for (int i = 0; i < 300; ++i) RandomChange(*Table, Random);
    ExpectAllSameAsWalk(20, "filled again");
    Table->Flush();
    for (auto& o : Table->State().Orders) o->Loaded = false;
    Table->State().EnsureOrders();
    ExpectAllSameAsWalk(20, "with the orders loaded again");
}

// Walks along an order keep the records they read in the order's sequence;
// what a walk hands out must be the table's record as it stands, walk after
// walk, through appends, edits of keys and of other fields, deletions and an
// emptying, either way along every order.
TEST_F(DbfPositions, WalksAlongAnOrderHandOutTheRecordAsItStandsThroughRoundsOfChanges) {
    for (int i = 0; i < 3000; ++i) Table->Append(RandomRow(*Table, Random).data());
    std::vector<char> stored(size_t(Table->RecordLength()));
    auto expectWalksRead = [&](const std::string& When) {
        for (int order = 0; order < Table->OrderCount(); ++order)
            for (int pass = 0; pass < 2; ++pass)
                for (bool forward : {true, false}) {
                    TDbfCursor c(Table);
                    c.SetOrder(order);
                    size_t seen = 0;
                    for (bool on = forward ? c.First() : c.Last(); on; on = forward ? c.Next() : c.Prior()) {
                        Table->State().ReadRecord(c.RecNo(), stored.data());
                        ASSERT_EQ(std::string(c.Record(), stored.size()),
                                  std::string(stored.data(), stored.size()))
                            << When << ", order " << order << ", pass " << pass << ", record " << c.RecNo();
                        ++seen;
                    }
                    ASSERT_EQ(seen, c.RecordCount()) << When << ", order " << order;
                }
    };
    expectWalksRead("at the start");
    for (int round = 1; round <= 5; ++round) {
        for (int i = 0; i < 40; ++i) RandomChange(*Table, Random);
        expectWalksRead("after round " + std::to_string(round));
        if (HasFatalFailure()) return;
        // One change alone, of a field the tags N and NAME do not hold.
        const uint32_t r = 1 + Random() % Table->PhysicalCount();
        std::vector<char> row(size_t(Table->RecordLength()));
        Table->Read(r, row.data());
        row[size_t(Table->Field(Table->FieldIndex("GRP")).Offset)] = 'Z';
        Table->Update(r, row.data());
        expectWalksRead("after a group changed in round " + std::to_string(round));
        if (HasFatalFailure()) return;
    }
    Table->Empty();
    for (int i = 0; i < 100; ++i) Table->Append(RandomRow(*Table, Random).data());
    expectWalksRead("emptied and filled again");
}

// --- the record cache ---

namespace {

// The operating system's files, telling how many bytes each read of the
// .dbf's records took (not those of its header, at the start), and each
// write of the .dbf past its header.
class TReadLogFs : public TDbfFileSystem {
public:
    std::vector<size_t> Reads;
    std::vector<size_t> Writes;
    bool RefuseWrites = false;  // as a full disk would
    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) override;
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override { return Native().Create(Path); }
    bool Exists(const std::string& Path) override { return Native().Exists(Path); }
    bool IsWritable(const std::string& Path) override { return Native().IsWritable(Path); }
    void Remove(const std::string& Path) override { Native().Remove(Path); }
    void Rename(const std::string& From, const std::string& To) override { Native().Rename(From, To); }
    std::vector<std::string> List(const std::string& Folder) override { return Native().List(Folder); }
};

class TReadLogFile : public TDbfFile {
public:
    TReadLogFile(std::unique_ptr<TDbfFile> Inner, std::vector<size_t>* Reads, std::vector<size_t>* Writes,
                 const bool& Refuse)
        : FInner(std::move(Inner)), FReads(Reads), FWrites(Writes), FRefuse(Refuse) {}
    size_t Read(uint64_t Offset, void* Buffer, size_t Count) override {
        const size_t got = FInner->Read(Offset, Buffer, Count);
        if (FReads && Offset > 0) FReads->push_back(got);
        return got;
    }
    void Write(uint64_t Offset, const void* Buffer, size_t Count) override {
        if (FRefuse) throw EDBEngineError(dbeIO, "refused");
        FInner->Write(Offset, Buffer, Count);
        if (FWrites && Offset >= 32) FWrites->push_back(Count);
    }
    uint64_t Size() override { return FInner->Size(); }
    void Truncate(uint64_t Size) override { FInner->Truncate(Size); }
    const std::string& Path() const override { return FInner->Path(); }
    bool Lock(int Slot, TDbfLockKind Kind, bool Wait) override { return FInner->Lock(Slot, Kind, Wait); }
    uint64_t Modified() override { return FInner->Modified(); }

private:
    std::unique_ptr<TDbfFile> FInner;
    std::vector<size_t>* FReads;
    std::vector<size_t>* FWrites;
    const bool& FRefuse;
};

std::unique_ptr<TDbfFile> TReadLogFs::Open(const std::string& Path, bool Writable) {
    const bool dbf = Path.size() > 4 && LowerCase(Path.substr(Path.size() - 4)) == ".dbf";
    return std::make_unique<TReadLogFile>(Native().Open(Path, Writable), dbf ? &Reads : nullptr,
                                          dbf ? &Writes : nullptr, RefuseWrites);
}

// Wide rows: ten to a page; nearly every name and number differs.
const std::vector<TDbfFieldSpec> WideFields{
    {"N", 'N', 8, 0}, {"NAME", 'C', 10, 0}, {"TEXT", 'C', 200, 0}, {"MORE", 'C', 180, 0}};

std::vector<char> WideRow(TDbfTable& Table, std::mt19937& Random) {
    std::string name;
    for (int i = 0; i < 8; ++i) name += char('a' + Random() % 26);
    return Row(Table, {{"N", std::to_string(Random() % 1000000)},
                       {"NAME", name},
                       {"TEXT", std::string(1 + Random() % 200, char('a' + Random() % 26))},
                       {"MORE", std::string(Random() % 180, char('a' + Random() % 26))}});
}

}  // namespace

TEST(DbfRecordCache, AMissReadsThePageOfItsRecordAndAScanReadsRuns) {
    TTempFolder dir;
    TDbfTable::Create(dir / "w", WideFields, {{"NAME", "NAME"}, {"N", "N"}});
    std::mt19937 random(7);
    {
        auto t = TDbfTable::Open(dir / "w");
        for (int i = 0; i < 3000; ++i) t->Append(WideRow(*t, random).data());
    }
    TReadLogFs fs;
    auto t = TDbfTable::Open(dir / "w", dbfReadOnly, &fs);
    const size_t page = TDbfRecordCache::PageBytes / size_t(t->RecordLength()) * size_t(t->RecordLength());
    const size_t records = size_t(t->RecordLength()) * t->PhysicalCount();
    struct TWalk {
        const char* Name;
        const char* Tag;
    };
    for (const TWalk& w :
         {TWalk{"along NAME", "NAME"}, TWalk{"along N", "N"}, TWalk{"in record order", ""}}) {
        TDbfCursor c(t);
        c.SetOrder(*w.Tag ? t->FindTag(w.Tag) : -1);
        c.First();  // the orders come in before the log starts
        t->State().Cache.Drop();
        fs.Reads.clear();
        Walk(c);
        size_t total = 0;
        for (size_t n : fs.Reads) total += n;
        // Each page of records is read once, in runs of a few pages at most.
        EXPECT_LE(total, records + page) << w.Name;
        EXPECT_LE(*std::max_element(fs.Reads.begin(), fs.Reads.end()), TDbfRecordCache::RunPages * page)
            << w.Name;
        if (*w.Tag) {
            const size_t single = size_t(std::count(fs.Reads.begin(), fs.Reads.end(), page));
            EXPECT_GE(single * 10, fs.Reads.size() * 9) << w.Name << ": a miss reads one page";
        } else {
            EXPECT_LE(fs.Reads.size() * 4 * page, records + 4 * page) << w.Name << ": a scan reads runs";
        }
    }
}

// A cache far smaller than the table, so that pages come and go, through
// reads in every order and writes of every kind.
TEST(DbfRecordCache, RecordsReadThroughASmallCacheAreTheFilesBytes) {
    TTempFolder dir;
    TDbfTable::Create(dir / "w", WideFields, {{"NAME", "NAME"}});
    auto t = TDbfTable::Open(dir / "w");
    t->State().Cache.SetBudget(16 * TDbfRecordCache::PageBytes);
    const std::string path = t->FileName();
    std::mt19937 random(11);
    for (int i = 0; i < 1500; ++i) t->Append(WideRow(*t, random).data());
    std::vector<char> buffer(size_t(t->RecordLength()));
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 200; ++i) {
            const uint32_t count = t->PhysicalCount();
            switch (random() % 5) {
            case 0: t->Append(WideRow(*t, random).data()); break;
            case 1: t->Update(1 + random() % count, WideRow(*t, random).data()); break;
            case 2: t->Delete(1 + random() % count); break;
            default: t->Read(1 + random() % count, buffer.data()); break;
            }
        }
        TDbfCursor c(t);
        c.SetOrder(round % 2 == 0 ? t->FindTag("NAME") : -1);
        const std::string bytes = ReadBytes(path);
        const size_t header = uint8_t(bytes[8]) | (uint8_t(bytes[9]) << 8);
        size_t seen = 0;
        for (bool on = round < 3 ? c.First() : c.Last(); on; on = round < 3 ? c.Next() : c.Prior()) {
            const std::string expected =
                bytes.substr(header + size_t(c.RecNo() - 1) * buffer.size(), buffer.size());
            ASSERT_EQ(std::string(c.Record(), buffer.size()), expected) << "record " << c.RecNo();
            ++seen;
        }
        EXPECT_EQ(seen, t->PhysicalCount() - uint32_t(t->State().Deleted()));
        for (uint32_t r = 1; r <= t->PhysicalCount(); ++r) {
            t->Read(r, buffer.data());
            ASSERT_EQ(std::string(buffer.data(), buffer.size()),
                      bytes.substr(header + size_t(r - 1) * buffer.size(), buffer.size()))
                << "record " << r;
        }
    }
}

// Records rewritten in a hold reach the file a run at a time, not one by
// one, and when it ends; meanwhile every read, through a cache far smaller
// than the table, gives them as changed, and rows deleted, rewritten and
// appended in any order end in the file as a table written row by row
// would hold them.
TEST(DbfRecordCache, RecordsChangedInAHoldAreReadAsChangedAndWrittenInRuns) {
    TTempFolder dir;
    TDbfTable::Create(dir / "w", WideFields, {{"NAME", "NAME"}});
    TReadLogFs fs;
    auto t = TDbfTable::Open(dir / "w", dbfReadWrite, &fs);
    std::mt19937 random(5);
    for (int i = 0; i < 1500; ++i) t->Append(WideRow(*t, random).data());
    const size_t length = size_t(t->RecordLength());
    std::vector<std::string> expected;
    std::vector<char> buffer(length);
    for (uint32_t r = 1; r <= t->PhysicalCount(); ++r) {
        t->Read(r, buffer.data());
        expected.emplace_back(buffer.data(), length);
    }
    auto rewrite = [&](uint32_t R) {
        std::vector<char> row = WideRow(*t, random);
        t->Update(R, row.data());
        expected[R - 1].replace(1, length - 1, row.data() + 1, length - 1);
    };

    t->BeginHold(true);
    fs.Writes.clear();
    for (uint32_t r = 101; r <= 400; ++r) rewrite(r);
    EXPECT_LE(fs.Writes.size(), 1u) << "300 records one after the other, read before";
    t->EndHold();
    EXPECT_LE(fs.Writes.size(), 2u);

    auto expectRead = [&](uint32_t R) {
        t->Read(R, buffer.data());
        ASSERT_EQ(std::string(buffer.data(), length), expected[R - 1]) << "record " << R;
    };
    t->State().Cache.SetBudget(16 * TDbfRecordCache::PageBytes);
    t->BeginHold(true);
    for (int i = 0; i < 3000; ++i) {
        const uint32_t count = t->PhysicalCount();
        const uint32_t r = 1 + random() % count;
        if (i % 500 == 0) {
            // A long run, whose pages the reads after it push out of the
            // cache and read again.
            for (uint32_t k = r; k < r + 600 && k <= count; ++k) rewrite(k);
            for (int k = 0; k < 300; ++k) expectRead(1 + random() % count);
        }
        switch (random() % 6) {
        case 0:
            t->Append(WideRow(*t, random).data());
            t->Read(count + 1, buffer.data());
            expected.emplace_back(buffer.data(), length);
            break;
        case 1: rewrite(r); break;
        case 2: rewrite(std::min(count, r + 1)); break;
        case 3:
            t->Delete(r);
            expected[r - 1][0] = '*';
            break;
        default: expectRead(r);
        }
        if (HasFatalFailure()) return;
    }
    t->EndHold();
    const std::string bytes = ReadBytes(t->FileName());
    const size_t header = uint8_t(bytes[8]) | (uint8_t(bytes[9]) << 8);
    ASSERT_EQ(bytes.size(), header + expected.size() * length + 1);
    for (size_t r = 0; r < expected.size(); ++r)
        ASSERT_EQ(bytes.substr(header + r * length, length), expected[r]) << "record " << r + 1;
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}

// A run gathered in a hold whose write the system refuses: the records on
// disk stay as they were, and the table shows them so, its order along a
// tag included, until it is written again.
TEST(DbfRecordCache, ARunRefusedWhenAHoldEndsLeavesTheRecordsAsTheyWere) {
    TTempFolder dir;
    TDbfTable::Create(dir / "w", WideFields, {{"NAME", "NAME"}});
    TReadLogFs fs;
    auto t = TDbfTable::Open(dir / "w", dbfReadWrite, &fs);
    std::mt19937 random(9);
    for (int i = 0; i < 50; ++i) t->Append(WideRow(*t, random).data());
    t->Flush();
    const std::string before = ReadBytes(t->FileName());
    auto names = [&] {
        TDbfCursor c(t);
        c.SetOrder(t->FindTag("NAME"));
        std::string all;
        for (bool on = c.First(); on; on = c.Next()) all += std::to_string(c.RecNo()) + " ";
        return all;
    };
    const std::string order = names();

    t->BeginHold(true);
    for (uint32_t r = 11; r <= 30; ++r) t->Update(r, WideRow(*t, random).data());
    ASSERT_NE(names(), order);
    fs.RefuseWrites = true;
    EXPECT_THROW(t->EndHold(), EDatabaseError);
    fs.RefuseWrites = false;
    EXPECT_EQ(ReadBytes(t->FileName()).substr(0, before.size()).substr(32), before.substr(32));
    std::vector<char> buffer(size_t(t->RecordLength()));
    const size_t header = uint8_t(before[8]) | (uint8_t(before[9]) << 8);
    for (uint32_t r = 1; r <= 50; ++r) {
        t->Read(r, buffer.data());
        ASSERT_EQ(std::string(buffer.data(), buffer.size()),
                  before.substr(header + (r - 1) * buffer.size(), buffer.size()))
            << "record " << r;
    }
    EXPECT_EQ(names(), order);
    t->Flush();
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}
