// The dBase engine on an alum-shaped table (48 fields, tags N, EXPED, NOMBRE,
// TNC). The first argument is the row count: run with
// --benchmark_filter='/1000(/|$)' for a small table, '/100000' for the full one.
// Goals:
// - a sequential scan at no less than a third of the raw file read's speed
//   (compare their bytes per second), a key seek in microseconds;
// - WalkInTagOrder: a walk along a tag at most 2 times the walk in record
//   order ("ratio": the walks after the first, which read the records from
//   the order's copy; "cold_ratio" with the record cache and the copies
//   emptied before each walk, which reads the file and fills the copy);
// - the data set's positions at 100,000 rows, in record order and along
//   NOMBRE, with and without a filter or a range: RecNo at the end under
//   20 us, 30 steps of Prior and RecNo under 1 ms, SetRecNo, MoveBy by a
//   grid's page and the filtered count after an edit in microseconds;
// - FullScan: every field of every row through TTable and AsString at most
//   1.5 times the engine cursor's scan of the same texts ("over_engine") and
//   at most shapelib's C reader ("over_shapelib", where libshp-dev is
//   installed); "fieldbyname_over_fields" is the cost of finding each field
//   by its name on every access.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>

#include "bench/BenchFolder.h"
#include "platform/db/DataSource.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/DbfInternal.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"

#ifdef ZELMOR_HAVE_SHAPELIB
#include <shapefil.h>
#endif

namespace {

const char* const Tags[] = {"N", "EXPED", "NOMBRE", "TNC"};

std::vector<TDbfFieldSpec> AlumFields() {
    std::vector<TDbfFieldSpec> f{DbfFieldSpecFor("N", TDbfKind::SmallInt, 0),
                                 {"EXPED", 'C', 20, 0},
                                 {"NOMBRE", 'C', 50, 0},
                                 {"GRUPO", 'C', 2, 0},
                                 {"TNC", 'C', 9, 0},
                                 {"OPCION", 'C', 1, 0},
                                 {"REPITE", 'L', 1, 0},
                                 {"ANULAR", 'L', 1, 0}};
    for (int i = 1; i <= 20; ++i) {
        f.push_back({"ASIG" + std::to_string(i), 'C', 4, 0});
        f.push_back({"DIV" + std::to_string(i), 'C', 1, 0});
    }
    return f;
}

std::string CourseKey(unsigned I) { return "M1ESO" + std::to_string(10 + I % 20); }

class TFolder {
public:
    TFolder() { Path = MakeBenchFolder("db").string(); }
    ~TFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string Path;
};

void FillRow(TDbfTable& T, std::vector<char>& Buffer, unsigned I, std::mt19937& Random) {
    static const char* const surnames[] = {"Garc\xED"
                                           "a",
                                           "L\xF3pez",
                                           "Mart\xEDnez",
                                           "S\xE1nchez",
                                           "P\xE9rez",
                                           "G\xF3mez",
                                           "Ruiz",
                                           "D\xED"
                                           "az"};
    static const char* const names[] = {"Ana",
                                        "Luis",
                                        "Mar\xED"
                                        "a",
                                        "Jos\xE9",
                                        "Luc\xED"
                                        "a",
                                        "Pablo",
                                        "Carmen",
                                        "Javier"};
    T.BlankRecord(Buffer.data());
    char* b = Buffer.data();
    T.SetNumber(b, 0, I % 999999);
    char exped[24];
    std::snprintf(exped, sizeof exped, "E%08u", I);
    T.SetText(b, 1, exped);
    T.SetText(b, 2,
              std::string(surnames[Random() % 8]) + " " + surnames[Random() % 8] + ", " +
                  names[Random() % 8] + " " + std::to_string(Random() % 1000));
    T.SetText(b, 3, std::string(1, char('A' + I % 4)));
    T.SetText(b, 4, CourseKey(Random()));
    T.SetText(b, 5, std::string(1, char('A' + I % 3)));
    T.SetBoolean(b, 6, I % 7 == 0);
    T.SetBoolean(b, 7, false);
    for (int s = 0; s < 12; ++s) T.SetText(b, 8 + 2 * s, "AS" + std::to_string((I + s * 7) % 40));
}

struct TBenchTable {
    TFolder Folder;
    std::string Path;
    std::shared_ptr<TDbfTable> Table;
};

// One table per row count, built on first use and kept for the whole run.
TBenchTable& Alum(unsigned Rows) {
    static std::map<unsigned, std::unique_ptr<TBenchTable>> tables;
    auto& slot = tables[Rows];
    if (!slot) {
        slot = std::make_unique<TBenchTable>();
        slot->Path = slot->Folder.Path + "/alum";
        std::vector<TDbfIndexSpec> tags;
        for (const char* t : Tags) tags.push_back({t, t});
        TDbfTable::Create(slot->Path, AlumFields(), tags);
        {
            auto t = TDbfTable::Open(slot->Path);
            std::vector<char> buffer(size_t(t->RecordLength()));
            std::mt19937 random(42);
            for (unsigned i = 1; i <= Rows; ++i) {
                FillRow(*t, buffer, i, random);
                t->Append(buffer.data());
            }
        }
        slot->Table = TDbfTable::Open(slot->Path, dbfReadOnly);
        slot->Path = slot->Table->FileName();
    }
    return *slot;
}

void RawRead(benchmark::State& State) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    std::vector<char> chunk(64 * 1024);
    int64_t bytes = 0;
    for (auto _ : State) {
        int fd = ::open(alum.Path.c_str(), O_RDONLY);
        ssize_t n;
        while ((n = ::read(fd, chunk.data(), chunk.size())) > 0) bytes += n;
        ::close(fd);
        benchmark::DoNotOptimize(chunk.data());
    }
    State.SetBytesProcessed(bytes);
}

void SequentialScan(benchmark::State& State) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    int64_t bytes = 0, rows = 0;
    const int64_t fileSize = int64_t(std::filesystem::file_size(alum.Path));
    for (auto _ : State) {
        TDbfCursor cursor(alum.Table);
        unsigned sum = 0;
        for (bool on = cursor.First(); on; on = cursor.Next()) {
            sum += uint8_t(cursor.Record()[1]);
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
        bytes += fileSize;
    }
    State.SetBytesProcessed(bytes);
    State.SetItemsProcessed(rows);
}

void ScanUnderFilter(benchmark::State& State) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    auto filter = TDbfFilter::AsRecordFilter(
        DbfCompileFilter(*alum.Table, "TNC='" + CourseKey(3) + "' and REPITE=FALSE"));
    int64_t rows = 0;
    for (auto _ : State) {
        TDbfCursor cursor(alum.Table);
        cursor.AddFilter(filter);
        unsigned seen = 0;
        for (bool on = cursor.First(); on; on = cursor.Next()) ++seen;
        benchmark::DoNotOptimize(seen);
        rows += alum.Table->PhysicalCount();
    }
    State.SetItemsProcessed(rows);
}

void SeekByTag(benchmark::State& State) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    TDbfTable& t = *alum.Table;
    const int tag = t.FindTag(Tags[State.range(1)]);
    // Keys of records spread over the table.
    std::vector<TDbfKey> keys;
    std::vector<char> buffer(size_t(t.RecordLength()));
    for (uint32_t r = 1; r <= t.PhysicalCount(); r += std::max<uint32_t>(1, t.PhysicalCount() / 1024)) {
        t.Read(r, buffer.data());
        keys.push_back(t.KeyOf(tag, buffer.data()));
    }
    TDbfCursor cursor(alum.Table);
    cursor.SetOrder(tag);
    size_t at = 0, found = 0;
    for (auto _ : State) {
        found += cursor.Seek(keys[at], dbfSeekExact);
        at = (at + 1) % keys.size();
    }
    if (int64_t(found) != int64_t(State.iterations())) State.SkipWithError("a key was not found");
    State.SetLabel(Tags[State.range(1)]);
}

void AppendWithIndexUpkeep(benchmark::State& State) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    TFolder copy;
    for (const auto& e : std::filesystem::directory_iterator(alum.Folder.Path))
        std::filesystem::copy_file(e.path(), copy.Path + "/" + e.path().filename().string());
    auto t = TDbfTable::Open(copy.Path + "/alum");
    {
        TDbfCursor warm(t);  // the tags come into memory before the clock runs
        for (int o = 0; o < t->TagCount(); ++o) {
            warm.SetOrder(o);
            warm.First();
        }
    }
    std::vector<char> buffer(size_t(t->RecordLength()));
    std::mt19937 random(7);
    unsigned i = t->PhysicalCount();
    FillRow(*t, buffer, ++i, random);
    t->Append(buffer.data());  // the first write of a session marks the index stale
    for (auto _ : State) {
        State.PauseTiming();
        FillRow(*t, buffer, ++i, random);
        State.ResumeTiming();
        t->Append(buffer.data());
    }
    State.SetItemsProcessed(State.iterations());
}

using TClock = std::chrono::steady_clock;
double Seconds(TClock::time_point From) {
    return std::chrono::duration<double>(TClock::now() - From).count();
}

// A walk from First to the end, touching every record's bytes.
unsigned WalkCursor(TDbfCursor& Cursor) {
    unsigned sum = 0;
    for (bool on = Cursor.First(); on; on = Cursor.Next()) sum += uint8_t(Cursor.Record()[3]);
    return sum;
}

// Each iteration walks the table in record order and along the tag; the
// iteration's time is the tag's walk.
void WalkInTagOrder(benchmark::State& State, bool Cold) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    TDbfTable& t = *alum.Table;
    TDbfCursor plain(alum.Table), tagged(alum.Table);
    tagged.SetOrder(t.FindTag(Tags[State.range(1)]));
    WalkCursor(plain);
    WalkCursor(tagged);
    double plainTime = 0, tagTime = 0;
    for (auto _ : State) {
        if (Cold) t.State().Cache.Drop();
        auto t0 = TClock::now();
        benchmark::DoNotOptimize(WalkCursor(plain));
        plainTime += Seconds(t0);
        if (Cold) t.State().Cache.Drop();
        auto t1 = TClock::now();
        benchmark::DoNotOptimize(WalkCursor(tagged));
        double walk = Seconds(t1);
        tagTime += walk;
        State.SetIterationTime(walk);
    }
    State.counters[Cold ? "cold_ratio" : "ratio"] = plainTime > 0 ? tagTime / plainTime : 0;
    State.SetItemsProcessed(State.iterations() * t.PhysicalCount());
    State.SetLabel(Tags[State.range(1)]);
}

// --- the data set's positions ---

// A copy of the table for a data set of its own (one that may write).
struct TDataSetCopy {
    TFolder Folder;
    TComponent* Owner = new TComponent(nullptr);
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TDataLink Grid;  // a grid's window of rows
    explicit TDataSetCopy(TBenchTable& From) {
        for (const auto& e : std::filesystem::directory_iterator(From.Folder.Path))
            std::filesystem::copy_file(e.path(), Folder.Path + "/" + e.path().filename().string());
        Table = NewComponent<TTable>(Owner);
        Table->SetDatabaseName(FromUtf8(Folder.Path));
        Table->SetTableName("alum");
    }
    ~TDataSetCopy() {
        Grid.SetDataSource(nullptr);
        Owner->Free();
    }
};

// The cases of the position benchmarks: the order (record order or the tag
// NOMBRE) and what limits the rows seen (nothing, a filter on a course, a
// range of names).
enum TLimit { NoLimit, ByFilter, ByRange };
struct TPositionCase {
    bool Tag;
    TLimit Limit;
};
const TPositionCase PositionCases[] = {
    {false, NoLimit}, {false, ByFilter}, {true, NoLimit}, {true, ByFilter}, {true, ByRange},
};

std::unique_ptr<TDataSetCopy> OpenCase(benchmark::State& State, int GridRows = 0) {
    const TPositionCase& c = PositionCases[State.range(1)];
    auto copy = std::make_unique<TDataSetCopy>(Alum(unsigned(State.range(0))));
    TTable* t = copy->Table;
    if (c.Tag) t->SetIndexName("NOMBRE");
    if (c.Limit == ByFilter) {
        t->SetFilter("TNC='" + CourseKey(3) + "'");
        t->SetFiltered(true);
    }
    t->Open();
    if (GridRows > 0) {
        copy->Source = NewComponent<TDataSource>(copy->Owner);
        copy->Source->SetDataSet(t);
        copy->Grid.SetDataSource(copy->Source);
        copy->Grid.SetBufferCount(GridRows);
    }
    // Names from "L" on: about the second half of the table.
    if (c.Limit == ByRange) t->SetRange({"L"}, {"\xFF"});
    State.SetLabel(std::string(c.Tag ? "NOMBRE" : "record order") + (c.Limit == ByFilter  ? ", filter"
                                                                     : c.Limit == ByRange ? ", range"
                                                                                          : ""));
    return copy;
}

void DataSetRecNoAtTheEnd(benchmark::State& State) {
    auto copy = OpenCase(State);
    TTable* t = copy->Table;
    t->Last();
    int n = t->RecNo();  // the first question makes the position map
    if (n != t->RecordCount()) State.SkipWithError("the last record is not at the count");
    for (auto _ : State) benchmark::DoNotOptimize(n = t->RecNo());
}

// 30 key presses up from the end, each reading the place for the scroll bar
// (back to the end when the start is near).
void DataSetPriorAndRecNo(benchmark::State& State) {
    auto copy = OpenCase(State);
    TTable* t = copy->Table;
    t->Last();
    for (auto _ : State) {
        if (t->RecNo() <= 30) t->Last();
        for (int i = 0; i < 30; ++i) {
            t->Prior();
            benchmark::DoNotOptimize(t->RecNo());
        }
    }
}

void DataSetSetRecNo(benchmark::State& State) {
    auto copy = OpenCase(State);
    TTable* t = copy->Table;
    const int count = t->RecordCount();
    int i = 0;
    for (auto _ : State) {
        const int wanted = 1 + int((uint64_t(i++) * 7919) % uint64_t(count));
        t->SetRecNo(wanted);
        if (t->RecNo() != wanted) State.SkipWithError("SetRecNo went elsewhere");
    }
}

// A grid of 30 rows paging down to the end, then up to the start, and so
// on: each page reads the 30 rows it shows anew.
void DataSetMoveByPage(benchmark::State& State) {
    auto copy = OpenCase(State, 30);
    TTable* t = copy->Table;
    int way = 30;
    for (auto _ : State)
        if (t->MoveBy(way) != way) way = -way;
}

// An edit of a row's course (in and out of the filter's) and the count
// after it; "count_us" is the count's part.
void DataSetCountAfterEdit(benchmark::State& State) {
    auto copy = OpenCase(State);
    TTable* t = copy->Table;
    t->SetRecNo(t->RecordCount() / 2);
    TField* course = t->FieldByName("TNC");
    double counting = 0;
    int i = 0;
    for (auto _ : State) {
        t->Edit();
        course->SetAsString(CourseKey(unsigned(i++ % 2 + 3)));
        t->Post();
        auto t0 = TClock::now();
        benchmark::DoNotOptimize(t->RecordCount());
        counting += Seconds(t0);
    }
    State.counters["count_us"] = State.iterations() ? counting * 1e6 / double(State.iterations()) : 0;
}

// --- every field of every row ---

void FullScan(benchmark::State& State) {
    TBenchTable& alum = Alum(unsigned(State.range(0)));
    TDbfTable& engine = *alum.Table;
    TComponent* owner = new TComponent(nullptr);
    TTable* table = NewComponent<TTable>(owner);
    table->SetDatabaseName(FromUtf8(alum.Folder.Path));
    table->SetTableName("alum");
    table->SetReadOnly(true);
    table->Open();
    std::vector<TField*> fields = table->Fields()->List();
    std::vector<AnsiString> names;
    for (TField* f : fields) names.push_back(LowerCase(f->FieldName()));  // as code spells them
#ifdef ZELMOR_HAVE_SHAPELIB
    DBFHandle shp = DBFOpen(alum.Path.c_str(), "rb");
    if (!shp) State.SkipWithError("shapelib cannot open the table");
#endif
    double engineTime = 0, tableTime = 0, byNameTime = 0;
    [[maybe_unused]] double shpTime = 0;
    size_t check = 0;
    for (auto _ : State) {
        auto t0 = TClock::now();
        size_t a = 0;
        {
            TDbfCursor cursor(alum.Table);
            for (bool on = cursor.First(); on; on = cursor.Next())
                for (int f = 0; f < engine.FieldCount(); ++f) a += engine.GetText(cursor.Record(), f).size();
        }
        engineTime += Seconds(t0);

        auto t1 = TClock::now();
        size_t b = 0;
        for (table->First(); !table->Eof(); table->Next())
            for (TField* f : fields) b += f->AsString().size();
        double scan = Seconds(t1);
        tableTime += scan;
        State.SetIterationTime(scan);

        auto t2 = TClock::now();
        size_t c = 0;
        for (table->First(); !table->Eof(); table->Next())
            for (const AnsiString& name : names) c += table->FieldByName(name)->AsString().size();
        byNameTime += Seconds(t2);
        benchmark::DoNotOptimize(a + b + c);
        check = b;
#ifdef ZELMOR_HAVE_SHAPELIB
        auto t3 = TClock::now();
        size_t d = 0;
        const int records = DBFGetRecordCount(shp), count = DBFGetFieldCount(shp);
        for (int r = 0; r < records; ++r)
            for (int f = 0; f < count; ++f) d += std::strlen(DBFReadStringAttribute(shp, r, f));
        shpTime += Seconds(t3);
        benchmark::DoNotOptimize(d);
#endif
    }
    benchmark::DoNotOptimize(check);
    State.counters["over_engine"] = engineTime > 0 ? tableTime / engineTime : 0;
    State.counters["fieldbyname_over_fields"] = tableTime > 0 ? byNameTime / tableTime : 0;
#ifdef ZELMOR_HAVE_SHAPELIB
    State.counters["over_shapelib"] = shpTime > 0 ? tableTime / shpTime : 0;
    State.counters["engine_over_shapelib"] = shpTime > 0 ? engineTime / shpTime : 0;
    if (shp) DBFClose(shp);
#else
    State.SetLabel("no shapelib here: libshp-dev is not installed");
#endif
    State.SetItemsProcessed(State.iterations() * engine.PhysicalCount());
    owner->Free();
}

void Rows(benchmark::internal::Benchmark* B) { B->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond); }
void RowsAndTags(benchmark::internal::Benchmark* B) {
    for (int rows : {1000, 100000})
        for (int tag = 0; tag < 4; ++tag) B->Args({rows, tag});
    B->Unit(benchmark::kMicrosecond);
}
void RowsAndCases(benchmark::internal::Benchmark* B) {
    for (int rows : {1000, 100000})
        for (int c = 0; c < int(std::size(PositionCases)); ++c) B->Args({rows, c});
    B->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(RawRead)->Apply(Rows);
BENCHMARK(SequentialScan)->Apply(Rows);
BENCHMARK(ScanUnderFilter)->Apply(Rows);
BENCHMARK(SeekByTag)->Apply(RowsAndTags);
BENCHMARK(AppendWithIndexUpkeep)->Apply(Rows);
BENCHMARK_CAPTURE(WalkInTagOrder, Warm, false)->Apply(RowsAndTags)->UseManualTime();
BENCHMARK_CAPTURE(WalkInTagOrder, Cold, true)->Apply(RowsAndTags)->UseManualTime();
BENCHMARK(DataSetRecNoAtTheEnd)->Apply(RowsAndCases);
BENCHMARK(DataSetPriorAndRecNo)->Apply(RowsAndCases);
BENCHMARK(DataSetSetRecNo)->Apply(RowsAndCases);
BENCHMARK(DataSetMoveByPage)->Apply(RowsAndCases);
BENCHMARK(DataSetCountAfterEdit)->Apply(RowsAndCases);
BENCHMARK(FullScan)->Apply(Rows)->UseManualTime();

BENCHMARK_MAIN();
