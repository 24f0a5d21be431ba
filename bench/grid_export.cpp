// The published grid's periphery over tables of 10 columns made here:
// - ExportText and ExportHtml: the export of all records (in memory, as the
//   file or the clipboard would get it) of a table of 10,000 rows and of one
//   of 1,000; the iteration's time is the large one. Goal, as the counter
//   "large_over_small": within 11 times, a constant cost per row.
// - PaintSelected: a repaint of the grid over 10,000 rows with 5,000 of them
//   selected and with none. Goal, as the counter "selected_over_none":
//   within 1.2 times, since painting reads the per-row cache (one search of
//   the selection per buffered row) and never walks the list.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchFolder.h"
#include "dataaware/DataAware.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwexport.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/UiDriver.h"

namespace {

constexpr int Small = 1000, Large = 10000, Columns = 10;

AnsiString TableName(int Rows) { return "C:\\EXPO\\t" + IntToStr(Rows); }

void MakeTable(int Rows) {
    auto* T = NewComponent<TTable>(nullptr);
    T->SetTableName(TableName(Rows));
    T->SetTableType(ttDBase);
    T->FieldDefs()->Add("N", ftInteger, 0);
    for (int C = 1; C < Columns; ++C) T->FieldDefs()->Add("C" + IntToStr(C), ftString, 12);
    T->CreateTable();
    T->Open();
    for (int R = 1; R <= Rows; ++R) {
        T->Append();
        T->FieldByName("N")->SetAsInteger(R);
        for (int C = 1; C < Columns; ++C)
            T->FieldByName("C" + IntToStr(C))->SetAsString("Texto " + IntToStr(R * C));
        T->Post();
    }
    T->Free();
}

// A grid showing one table, on a form of its own.
struct TGridScreen {
    explicit TGridScreen(int Rows) {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 1000, 700);
        Table = NewComponent<TwwTable>(Form);
        Table->SetTableName(TableName(Rows));
        auto* Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Table);
        Grid = NewComponent<TwwDBGrid>(Form);
        Grid->SetAlign(alClient);
        Grid->SetOptions(Grid->Options() + TwwDBGridOptions{dgMultiSelect});
        Grid->SetDataSource(Source);
        Grid->SetParent(Form);
        Table->Open();
        Form->Show();
    }
    ~TGridScreen() { Form->Free(); }
    TForm* Form;
    TwwTable* Table;
    TwwDBGrid* Grid;
};

struct TBench {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    std::filesystem::path Root = MakeBenchFolder("export");
    std::unique_ptr<TGridScreen> SmallScreen, LargeScreen, SelectedScreen;
    TBench() {
        ::setenv("ZELMOR_DRIVE_C", Root.c_str(), 1);
        std::filesystem::create_directories(Root / "EXPO");
        EnsureApplication();
        StartDataAwareLibrary();
        MakeTable(Small);
        MakeTable(Large);
        SmallScreen = std::make_unique<TGridScreen>(Small);
        LargeScreen = std::make_unique<TGridScreen>(Large);
        // Every other record of the large table, as a user's presses would leave them.
        SelectedScreen = std::make_unique<TGridScreen>(Large);
        TwwTable* T = SelectedScreen->Table;
        for (T->First(); !T->Eof(); T->MoveBy(2)) SelectedScreen->Grid->SelectRecord();
        T->First();
        Ui.RunUntilIdle();
    }
    ~TBench() {
        SmallScreen.reset();
        LargeScreen.reset();
        SelectedScreen.reset();
        FinishDataAwareLibrary();
        std::error_code Ec;
        std::filesystem::remove_all(Root, Ec);
    }
};

TBench& Bench() {
    static TBench B;
    return B;
}

double Seconds(const std::function<void()>& Run) {
    const auto Start = std::chrono::steady_clock::now();
    Run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

double ExportSeconds(TGridScreen& S, TwwGridExportType Type) {
    TwwExportOptions* O = S.Grid->ExportOptions();
    O->SetExportType(Type);
    O->SetOptions({esoShowHeader, esoDblQuoteFields, esoShowAlternating});
    AnsiString Text;
    const double T = Seconds([&] { O->MakeExport(Text); });
    benchmark::DoNotOptimize(Text.data());
    return T;
}

void RunExport(benchmark::State& State, TwwGridExportType Type) {
    TBench& B = Bench();
    double SmallSum = 0, LargeSum = 0;
    for (auto _ : State) {
        SmallSum += ExportSeconds(*B.SmallScreen, Type);
        const double Large = ExportSeconds(*B.LargeScreen, Type);
        LargeSum += Large;
        State.SetIterationTime(Large);
    }
    State.counters["large_over_small"] = LargeSum / SmallSum;
}

void ExportText(benchmark::State& State) { RunExport(State, wwgetTxt); }
BENCHMARK(ExportText)->UseManualTime()->Unit(benchmark::kMillisecond);

void ExportHtml(benchmark::State& State) { RunExport(State, wwgetHTML); }
BENCHMARK(ExportHtml)->UseManualTime()->Unit(benchmark::kMillisecond);

double RepaintSeconds(TGridScreen& S) {
    TBench& B = Bench();
    S.Form->BringToFront();
    B.Ui.RunUntilIdle();
    return Seconds([&] {
        S.Grid->Repaint();
        B.Ui.RunUntilIdle();
    });
}

void PaintSelected(benchmark::State& State) {
    TBench& B = Bench();
    double None = 0, Half = 0;
    for (auto _ : State) {
        None += RepaintSeconds(*B.LargeScreen);
        const double T = RepaintSeconds(*B.SelectedScreen);
        Half += T;
        State.SetIterationTime(T);
    }
    State.counters["selected_over_none"] = Half / None;
    State.counters["selected"] = static_cast<double>(B.SelectedScreen->Grid->SelectedList().size());
}
BENCHMARK(PaintSelected)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
