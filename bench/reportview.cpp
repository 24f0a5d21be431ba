// The report view's engine and drawing on seeded synthetic items: a text key
// with duplicates, a group field with 1, 100 or 5,000 values and a number,
// 1,024, 4,096 and 16,386 items on a plain TOvcReportView. Each benchmark
// reports the time and the comparisons per item ("compares").
//
// Goals: the cost per item at 16,386 items is at most 2.5 times the cost at
// 1,024 (n log n at most); a repaint of a 40-row view costs at most 1.5
// times the repaint at 1,024 items, expanded or collapsed. And the reload of
// a data-aware view over a 16,385-record table sorted on a text field.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <random>

#include "bench/BenchFolder.h"
#include "platform/db/DataSource.h"
#include "platform/db/Table.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcDbRpV.h"
#include "reportview/OvcInit.h"
#include "reportview/OvcRptVw.h"
#include "tests/support/ui/UiDriver.h"

namespace {

struct TItem {
    AnsiString Key;
    int Group = 0;
    double Number = 0;
};

// The library and a display, once for the program.
struct TWorld {
    TWorld() {
        SetClock(&Clock);
        Ui = &InstallUiDriver(1200, 900);
        EnsureApplication();
        OvcInitialize();
    }
    TManualClock Clock{0, 1000};
    TUiDriver* Ui;
};
TWorld& World() {
    static TWorld world;
    return world;
}

// A form with a report view of the items: view "G" grouped on the group
// field and sorted on the key, view "F" filtered to the even numbers, view
// "K" plain on the key.
class TViewCase {
public:
    TViewCase(int Count, int Groups) {
        World();
        std::mt19937 rng(uint32_t(Count * 7 + Groups));
        Items.resize(size_t(Count));
        for (TItem& i : Items) {
            i.Key = Format("k%05d", {int(rng() % unsigned(std::max(1, Count / 4)))});
            i.Group = int(rng() % unsigned(Groups));
            i.Number = int(rng() % 1000);
        }
        F = TForm::CreateNew(Application);
        F->SetBounds(0, 0, 700, 800);
        NewComponent<TOvcController>(F);
        RV = NewComponent<TOvcReportView>(F);
        RV->SetBorderStyle(bsNone);
        RV->SetParent(F);
        RV->OnCompareFields = [this](TObject*, void* A, void* B, int32_t Field, int32_t& Res) {
            ++Compares;
            auto* a = static_cast<TItem*>(A);
            auto* b = static_cast<TItem*>(B);
            if (Field == 0) Res = a->Key.compare(b->Key);
            else if (Field == 1) Res = (a->Group > b->Group) - (a->Group < b->Group);
            else Res = (a->Number > b->Number) - (a->Number < b->Number);
        };
        RV->OnGetFieldAsString = [](TObject*, void* D, int32_t Field, AnsiString& S) {
            auto* i = static_cast<TItem*>(D);
            S = Field == 0 ? i->Key : (Field == 1 ? IntToStr(i->Group) : FloatToStr(i->Number));
        };
        RV->OnGetFieldAsFloat = [](TObject*, void* D, int32_t Field, double& V) {
            V = Field == 2 ? static_cast<TItem*>(D)->Number : 0;
        };
        RV->OnGetGroupString = [this](TObject*, int32_t Field, TOvcRvIndexGroup* G, AnsiString& S) {
            S = FloatToStr(RV->Total(G, Field));
        };
        RV->OnFilter = [](TObject*, void* D, int32_t, bool& Include) {
            Include = int(static_cast<TItem*>(D)->Number) % 2 == 0;
        };
        for (const char* n : {"KEY", "GRP", "NUM"})
            static_cast<TOvcRvField*>(RV->Fields()->Add())->SetName(n);
        View("G", {{"GRP", true, false}, {"KEY", false, false}, {"NUM", false, true}})
            ->SetDefaultSortColumn(1);
        View("F", {{"KEY", false, false}, {"NUM", false, false}})->SetFilterIndex(0);
        View("K", {{"KEY", false, false}, {"NUM", false, false}});
        // 40 rows and the header strip.
        RV->Options()->SetListAutoRowHeight(false);
        RV->Options()->SetListRowHeight(16);
        RV->Options()->SetListBorderStyle(bsNone);
        RV->SetBounds(0, 0, 600, 16 * 41 + 2);
        F->Show();
        World().Ui->RunUntilIdle();
        RV->SetActiveView("G");
    }
    ~TViewCase() { F->Free(); }
    struct TField {
        const char* Name;
        bool Group, Totals;
    };
    TOvcRVView* View(const char* Name, std::vector<TField> Fields) {
        auto* v = static_cast<TOvcRVView*>(RV->Views()->Add());
        v->SetName(Name);
        v->SetTitle(Name);
        v->SetShowGroupTotals(true);
        for (auto [field, group, totals] : Fields) {
            auto* vf = static_cast<TOvcRvViewField*>(v->ViewFields()->Add());
            vf->SetName(AnsiString(Name) + field);
            vf->SetFieldName(field);
            vf->SetGroupBy(group);
            vf->SetComputeTotals(totals);
            vf->SetWidth(150);
        }
        return v;
    }
    void Load() {
        RV->BeginUpdate();
        for (TItem& i : Items) RV->AddData(&i);
        RV->EndUpdate();
    }
    std::vector<TItem> Items;
    TForm* F;
    TOvcReportView* RV;
    int64_t Compares = 0;
};

void Report(benchmark::State& State, const TViewCase& C, int64_t Compares) {
    State.counters["compares"] =
        benchmark::Counter(double(Compares) / double(C.Items.size()) / double(State.iterations()));
    State.SetItemsProcessed(State.iterations() * int64_t(C.Items.size()));
}

void AddAllInOneUpdate(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    int64_t compares = 0;
    for (auto _ : State) {
        State.PauseTiming();
        c.RV->Clear();
        c.Compares = 0;
        State.ResumeTiming();
        c.Load();
        compares += c.Compares;
    }
    Report(State, c, compares);
}

void ChangeAndReverseTheSortColumn(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.Load();
    int64_t compares = 0;
    for (auto _ : State) {
        c.Compares = 0;
        c.RV->SetSortColumn(2);
        c.RV->SetSortDescending(true);
        c.RV->SetSortColumn(1);
        c.RV->SetSortDescending(false);
        compares += c.Compares;
    }
    Report(State, c, compares);
}

void ActivateAViewFilteredToHalf(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.Load();
    int64_t compares = 0;
    for (auto _ : State) {
        State.PauseTiming();
        c.RV->SetActiveView("G");
        c.RV->Engine().DeleteViewIndexes("F");
        c.Compares = 0;
        State.ResumeTiming();
        c.RV->SetActiveView("F");
        compares += c.Compares;
    }
    Report(State, c, compares);
}

void ChangeItemsInOneUpdate(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.Load();
    const int changed = int(State.range(2));
    std::mt19937 rng(7);
    int64_t compares = 0;
    for (auto _ : State) {
        c.Compares = 0;
        c.RV->BeginUpdate();
        for (int k = 0; k < changed; ++k) {
            TItem& i = c.Items[rng() % c.Items.size()];
            i.Number = int(rng() % 1000);
            if (k % 2) i.Group = int(rng() % unsigned(State.range(1)));
            c.RV->ChangeData(&i);
        }
        c.RV->EndUpdate();
        compares += c.Compares;
    }
    Report(State, c, compares);
}

void RemoveAThousand(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.Load();
    int64_t compares = 0;
    for (auto _ : State) {
        c.Compares = 0;
        c.RV->BeginUpdate();
        for (int k = 0; k < 1000; ++k) c.RV->RemoveData(&c.Items[size_t(k)]);
        c.RV->EndUpdate();
        compares += c.Compares;
        State.PauseTiming();
        c.RV->BeginUpdate();
        for (int k = 0; k < 1000; ++k) c.RV->AddData(&c.Items[size_t(k)]);
        c.RV->EndUpdate();
        State.ResumeTiming();
    }
    Report(State, c, compares);
}

void SelectAllAndEnumerate(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.RV->SetMultiSelect(true);
    c.Load();
    int64_t visited = 0;
    c.RV->OnEnumerate = [&](TObject*, void*, bool&, void*) { ++visited; };
    for (auto _ : State) {
        c.RV->SelectAll(true);
        c.RV->EnumerateSelected(nullptr);
        c.RV->SelectAll(false);
    }
    benchmark::DoNotOptimize(visited);
    Report(State, c, 0);
}

void KeySearch(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.Load();
    c.RV->SetActiveView("K");
    TItem probe{"k00100", 0, 0};
    int64_t compares = 0;
    for (auto _ : State) {
        c.Compares = 0;
        c.RV->GotoNearest(&probe);
        compares += c.Compares;
    }
    Report(State, c, compares);
}

void Repaint(benchmark::State& State) {
    TViewCase c(int(State.range(0)), int(State.range(1)));
    c.Load();
    c.RV->ExpandAll(State.range(2) != 0);
    c.RV->ListBox()->SetTopIndex(c.RV->ListBox()->NumItems() / 2);
    World().Ui->RunUntilIdle();
    HWND body = c.RV->ListBox()->Handle();
    for (auto _ : State) RedrawWindow(body, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    State.counters["rows"] = c.RV->ListBox()->Rows();
}

// A data-aware view over a table of 16,385 records, sorted on a text field.
void ReloadADataAwareView(benchmark::State& State) {
    World();
    const std::filesystem::path folder = MakeBenchFolder("reportview");
    TForm* f = TForm::CreateNew(Application);
    NewComponent<TOvcController>(f);
    auto* maker = NewComponent<TTable>(f);
    maker->SetDatabaseName(FromUtf8(folder.string()));
    maker->SetTableName("tipos");
    maker->FieldDefs()->Add("N", ftInteger);
    maker->FieldDefs()->Add("TEXTO", ftString, 30);
    maker->CreateTable();
    maker->Open();
    std::mt19937 rng(3);
    for (int r = 0; r < TOvcDbReportView::MaxDataCount + 1; ++r) {
        maker->Append();
        maker->FieldByName("N")->SetAsInteger(r);
        maker->FieldByName("TEXTO")->SetAsString(Format("Tipo %06d", {int(rng() % 100000)}));
        maker->Post();
    }
    maker->Close();
    auto* source = NewComponent<TDataSource>(f);
    source->SetDataSet(maker);
    auto* rv = NewComponent<TOvcDbReportView>(f);
    rv->SetName("RV");
    rv->SetParent(f);
    rv->SetDataSource(source);
    auto* v = static_cast<TOvcRVView*>(rv->Views()->Add());
    v->SetName("A");
    for (const char* field : {"TEXTO", "N"}) {
        auto* vf = static_cast<TOvcRvViewField*>(v->ViewFields()->Add());
        vf->SetName(AnsiString("A_") + field);
        vf->SetFieldName(AnsiString("RV") + field);
    }
    rv->SetActiveView("A");
    for (auto _ : State) {
        maker->Close();
        maker->Open();
    }
    State.counters["lines"] = rv->Engine().GetLines();
    State.SetItemsProcessed(State.iterations() * (TOvcDbReportView::MaxDataCount + 1));
    f->Free();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

void Sizes(benchmark::internal::Benchmark* B) {
    for (int groups : {1, 100, 5000})
        for (int n : {1024, 4096, 16386}) B->Args({n, groups});
    B->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(AddAllInOneUpdate)->Apply(Sizes);
BENCHMARK(ChangeAndReverseTheSortColumn)->Apply(Sizes);
BENCHMARK(ActivateAViewFilteredToHalf)->Apply(Sizes);
BENCHMARK(ChangeItemsInOneUpdate)->Apply([](benchmark::internal::Benchmark* B) {
    for (int changed : {10, 1000})
        for (int groups : {1, 100, 5000})
            for (int n : {1024, 4096, 16386}) B->Args({n, groups, changed});
    B->Unit(benchmark::kMillisecond);
});
BENCHMARK(RemoveAThousand)->Apply(Sizes);
BENCHMARK(SelectAllAndEnumerate)->Apply(Sizes);
BENCHMARK(KeySearch)->Apply(Sizes);
BENCHMARK(Repaint)->Apply([](benchmark::internal::Benchmark* B) {
    for (int expanded : {1, 0})
        for (int groups : {1, 100, 5000})
            for (int n : {1024, 4096, 16386}) B->Args({n, groups, expanded});
    B->Unit(benchmark::kMicrosecond);
});
BENCHMARK(ReloadADataAwareView)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
