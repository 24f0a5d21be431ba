// The data-set layer over the engine: what a screen pays to walk a table,
// walk a course under its filter, find a key, and what the data-aware report
// view pays to take every record into its window and to refresh it on a click.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench/BenchFolder.h"
#include "platform/db/DataSource.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"

namespace {
constexpr int Rows = 20000;

// A students table in a temporary folder, made once for the whole run.
class TBench {
public:
    TBench() {
        FFolder = MakeBenchFolder("dataset");
        FOwner = new TComponent(nullptr);
        TTable* maker = NewTable();
        maker->FieldDefs()->Add("N", ftSmallint);
        maker->FieldDefs()->Add("NOMBRE", ftString, 50);
        maker->FieldDefs()->Add("TNC", ftString, 9);
        for (int i = 1; i <= 5; ++i) maker->FieldDefs()->Add("ASIG" + std::to_string(i), ftString, 4);
        maker->IndexDefs()->Add("N", "N", {});
        maker->IndexDefs()->Add("NOMBRE", "NOMBRE", {});
        maker->IndexDefs()->Add("TNC", "TNC", {});
        maker->CreateTable();
        maker->Open();
        for (int r = 0; r < Rows; ++r) {
            maker->Append();
            maker->FieldByName("N")->SetAsInteger(r % 30000);
            maker->FieldByName("NOMBRE")->SetAsString("Alumno " + std::to_string((r * 7919) % Rows));
            maker->FieldByName("TNC")->SetAsString("DESO" + std::to_string(r % 40));
            for (int i = 1; i <= 5; ++i)
                maker->FieldByName("ASIG" + std::to_string(i))
                    ->SetAsString("A" + std::to_string((r + i) % 12));
            maker->Post();
        }
        maker->Free();
    }
    ~TBench() {
        FOwner->Free();
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }
    TTable* NewTable() {
        auto* table = NewComponent<TTable>(FOwner);
        table->SetDatabaseName(FromUtf8(FFolder.string()));
        table->SetTableName("alum");
        return table;
    }
    TComponent* Owner() const { return FOwner; }

private:
    std::filesystem::path FFolder;
    TComponent* FOwner;
};

TBench& Bench() {
    static TBench bench;
    return bench;
}

void BM_ScanReadingTwoFields(benchmark::State& State) {
    TTable* table = Bench().NewTable();
    table->Open();
    for (auto _ : State) {
        int64_t sum = 0;
        for (table->First(); !table->Eof(); table->Next())
            sum += table->FieldByName("N")->AsInteger() +
                   static_cast<int64_t>(table->FieldByName("ASIG1")->AsString().size());
        benchmark::DoNotOptimize(sum);
    }
    State.SetItemsProcessed(State.iterations() * Rows);
    table->Free();
}
BENCHMARK(BM_ScanReadingTwoFields)->Unit(benchmark::kMillisecond);

void BM_ScanOfOneCourseUnderItsFilter(benchmark::State& State) {
    TTable* table = Bench().NewTable();
    table->SetFilter("TNC='DESO7'");
    table->SetFiltered(true);
    table->Open();
    for (auto _ : State) {
        int count = 0;
        for (table->First(); !table->Eof(); table->Next()) ++count;
        benchmark::DoNotOptimize(count);
    }
    table->Free();
}
BENCHMARK(BM_ScanOfOneCourseUnderItsFilter)->Unit(benchmark::kMillisecond);

void BM_FindKeyOnATextTag(benchmark::State& State) {
    TTable* table = Bench().NewTable();
    table->SetIndexName("NOMBRE");
    table->Open();
    int i = 0;
    for (auto _ : State) {
        bool found = table->FindKey({"Alumno " + std::to_string(i++ % Rows)});
        benchmark::DoNotOptimize(found);
    }
    table->Free();
}
BENCHMARK(BM_FindKeyOnATextTag)->Unit(benchmark::kMicrosecond);

// The report view: every record of a course in the link's window, then a
// click (the row made active and the data set refreshed there).
void BM_ReportViewWindowOfEveryRecord(benchmark::State& State) {
    TTable* table = Bench().NewTable();
    table->SetIndexName("N");
    table->Open();
    auto* source = NewComponent<TDataSource>(Bench().Owner());
    source->SetDataSet(table);
    for (auto _ : State) {
        TDataLink link;
        link.SetDataSource(source);
        table->Last();
        link.SetBufferCount(State.range(0));
        link.SetActiveRecord(static_cast<int>(State.range(0)) / 2);
        table->Refresh();
        benchmark::DoNotOptimize(link.RecordCount());
    }
    source->Free();
    table->Free();
}
BENCHMARK(BM_ReportViewWindowOfEveryRecord)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
