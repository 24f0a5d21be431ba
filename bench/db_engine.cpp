// The dBase engine on an alum-shaped table (48 fields, tags N, EXPED, NOMBRE,
// TNC). The first argument is the row count: run with
// --benchmark_filter='/1000(/|$)' for a small table, '/100000' for the full one.
// Goals: a sequential scan at no less than a third of the raw file read's
// speed (compare their bytes per second), a key seek in microseconds.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>

#include "bench/BenchFolder.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/DbfTable.h"

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

void Rows(benchmark::internal::Benchmark* B) { B->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond); }
void RowsAndTags(benchmark::internal::Benchmark* B) {
    for (int rows : {1000, 100000})
        for (int tag = 0; tag < 4; ++tag) B->Args({rows, tag});
    B->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(RawRead)->Apply(Rows);
BENCHMARK(SequentialScan)->Apply(Rows);
BENCHMARK(ScanUnderFilter)->Apply(Rows);
BENCHMARK(SeekByTag)->Apply(RowsAndTags);
BENCHMARK(AppendWithIndexUpkeep)->Apply(Rows);

BENCHMARK_MAIN();
