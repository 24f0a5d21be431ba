// The data-aware library's searches and filters on a 20,000-row table
// against what the data-set layer and the engine pay for the same work:
// - FindFieldValue that finds nothing (its scan of the engine cursor) against
//   the data set's own walk reading one field: within 2x;
// - a wwFilter block against the engine's text filter of the same meaning,
//   per record: within 1.5x;
// - IncrementalIndexSearch against FindKey on the same index: within 3x;
// - the filter dialog's record callback against the engine's text filter of
//   the same criteria, both walking the table's records: within 3x per record.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench/BenchFolder.h"
#include "dataaware/DataAware.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwlocate.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwfilterexpr.h"
#include "dataaware/wwfltdlg.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"

namespace {
constexpr int Rows = 20000;

class TBench {
public:
    TBench() {
        EnsureApplication();
        StartDataAwareLibrary();
        FFolder = MakeBenchFolder("dataaware");
        FOwner = new TComponent(nullptr);
        TTable* maker = NewComponent<TTable>(FOwner);
        maker->SetDatabaseName(FromUtf8(FFolder.string()));
        maker->SetTableName("alum");
        maker->FieldDefs()->Add("N", ftFloat);
        maker->FieldDefs()->Add("NOMBRE", ftString, 40);
        maker->FieldDefs()->Add("TNC", ftString, 9);
        maker->FieldDefs()->Add("NOTA", ftFloat);
        maker->IndexDefs()->Add("NOMBRE", "NOMBRE", {ixCaseInsensitive});
        maker->CreateTable();
        maker->Open();
        for (int r = 0; r < Rows; ++r) {
            maker->Append();
            maker->FieldByName("N")->SetAsInteger(r);
            maker->FieldByName("NOMBRE")->SetAsString("Alumno " + std::to_string((r * 7919) % Rows));
            maker->FieldByName("TNC")->SetAsString("DESO" + std::to_string(r % 40));
            maker->FieldByName("NOTA")->SetAsFloat(r % 11);
            maker->Post();
        }
        maker->Free();
    }
    ~TBench() {
        FOwner->Free();
        FinishDataAwareLibrary();
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }
    TwwTable* NewTable(const AnsiString& IndexName = "") {
        auto* table = NewComponent<TwwTable>(FOwner);
        table->SetDatabaseName(FromUtf8(FFolder.string()));
        table->SetTableName("alum");
        table->SetIndexName(IndexName);
        table->Open();
        return table;
    }

private:
    std::filesystem::path FFolder;
    TComponent* FOwner;
};

TBench& Bench() {
    static TBench bench;
    return bench;
}

void BM_DataSetScanOfOneField(benchmark::State& State) {
    TwwTable* table = Bench().NewTable();
    for (auto _ : State) {
        size_t length = 0;
        for (table->First(); !table->Eof(); table->Next())
            length += table->FieldByName("NOMBRE")->AsString().size();
        benchmark::DoNotOptimize(length);
    }
    table->Free();
}
BENCHMARK(BM_DataSetScanOfOneField)->Unit(benchmark::kMillisecond);

void BM_FindFieldValueThatFindsNothing(benchmark::State& State) {
    TwwTable* table = Bench().NewTable();
    for (auto _ : State)
        benchmark::DoNotOptimize(
            FindFieldValue(true, table, "NOMBRE", "nadie", mtPartialMatchAny, false, false));
    table->Free();
}
BENCHMARK(BM_FindFieldValueThatFindsNothing)->Unit(benchmark::kMillisecond);

// Every record judged by one filter, through a cursor of its own.
void WalkFiltered(benchmark::State& State, TwwTable* Table, std::shared_ptr<const TDbfFilter> Filter) {
    for (auto _ : State) {
        TDbfCursor cursor(Table->Handle()->SharedTable());
        cursor.AddFilter(TDbfFilter::AsRecordFilter(Filter));
        int kept = 0;
        for (bool on = cursor.First(); on; on = cursor.Next()) ++kept;
        benchmark::DoNotOptimize(kept);
    }
    State.SetItemsProcessed(State.iterations() * Rows);
}

void BM_EngineTextFilter(benchmark::State& State) {
    TwwTable* table = Bench().NewTable();
    WalkFiltered(State, table, DbfCompileFilter(table->Handle()->Table(), "NOTA > 5 AND TNC = 'DESO7'"));
    table->Free();
}
BENCHMARK(BM_EngineTextFilter)->Unit(benchmark::kMillisecond);

void BM_WwFilterBlock(benchmark::State& State) {
    TwwTable* table = Bench().NewTable();
    std::vector<uint8_t> block = BuildFilterBlock("NOTA > 5 AND (TNC = \"DESO7\")", table);
    if (block.empty()) std::abort();
    WalkFiltered(State, table, DbfCompileFilterBlock(table->Handle()->Table(), block.data(), block.size()));
    table->Free();
}
BENCHMARK(BM_WwFilterBlock)->Unit(benchmark::kMillisecond);

void BM_FindKey(benchmark::State& State) {
    TwwTable* table = Bench().NewTable("NOMBRE");
    int i = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(table->FindKey({"Alumno " + std::to_string((i++ * 37) % Rows)}));
    table->Free();
}
BENCHMARK(BM_FindKey)->Unit(benchmark::kMicrosecond);

void BM_IncrementalIndexSearch(benchmark::State& State) {
    TwwTable* table = Bench().NewTable("NOMBRE");
    int i = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(
            IncrementalIndexSearch(table, "alumno " + std::to_string((i++ * 37) % Rows), 0));
    table->Free();
}
BENCHMARK(BM_IncrementalIndexSearch)->Unit(benchmark::kMicrosecond);

// The records kept, walked through the data set.
void WalkTable(benchmark::State& State, TwwTable* Table) {
    for (auto _ : State) {
        int kept = 0;
        for (Table->First(); !Table->Eof(); Table->Next()) ++kept;
        benchmark::DoNotOptimize(kept);
    }
    State.SetItemsProcessed(State.iterations() * Rows);
}

void BM_TableTextFilter(benchmark::State& State) {
    TwwTable* table = Bench().NewTable();
    table->SetFilter("NOTA >= 6 AND TNC = 'DESO7'");
    table->SetFiltered(true);
    WalkTable(State, table);
    table->Free();
}
BENCHMARK(BM_TableTextFilter)->Unit(benchmark::kMillisecond);

void BM_FilterDialogCallback(benchmark::State& State) {
    TwwTable* table = Bench().NewTable();
    auto* source = NewComponent<TwwDataSource>(table);
    source->SetDataSet(table);
    auto* dialog = NewComponent<TwwFilterDialog>(table);
    dialog->SetDataSource(source);
    TwwFieldInfo nota, tnc;
    nota.FieldName = nota.DisplayName = "NOTA";
    nota.MatchType = fdMatchRange;
    nota.MinValue = "6";
    tnc.FieldName = tnc.DisplayName = "TNC";
    tnc.MatchType = fdMatchExact;
    tnc.FilterValue = "DESO7";
    tnc.CaseSensitive = true;
    dialog->ApplyCriteria({nota, tnc});
    WalkTable(State, table);
    table->Free();
}
BENCHMARK(BM_FilterDialogCallback)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
