// The grid's costs: repainting a screenful of text cells, and stepping the
// current cell through a long grid by keys (each step may scroll the view).
#include <benchmark/benchmark.h>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "tests/support/ui/UiDriver.h"

namespace {

// A form with a string grid of Cols x Rows texts, shown on the off-screen display.
struct TGridBench {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    TForm* Form;
    TStringGrid* Grid;
    TGridBench(int Cols, int Rows) {
        EnsureApplication();
        Form = TForm::CreateNew(Application);
        Form->SetBounds(0, 0, 1000, 700);
        Grid = NewComponent<TStringGrid>(Form);
        Grid->SetAlign(alClient);
        Grid->SetColCount(Cols);
        Grid->SetRowCount(Rows);
        for (int C = 0; C < Cols; ++C)
            for (int R = 0; R < Rows; ++R) Grid->SetCells(C, R, "ASIG" + IntToStr(C) + "." + IntToStr(R));
        Grid->SetParent(Form);
        Form->Show();
        Grid->SetFocus();
        Ui.RunUntilIdle();
    }
    ~TGridBench() { Form->Free(); }
};

// About 15 columns by 28 rows of text show at once.
void RepaintStringGrid(benchmark::State& State) {
    TGridBench B(40, 200);
    for (auto _ : State) B.Grid->Repaint();
}
BENCHMARK(RepaintStringGrid)->Unit(benchmark::kMillisecond);

void StepDownALongGrid(benchmark::State& State) {
    TGridBench B(5, 1000);
    for (auto _ : State) {
        B.Grid->SetRow(1);
        for (int I = 0; I < 100; ++I) B.Grid->Perform(WM_KEYDOWN, VK_DOWN, 0);
        B.Ui.RunUntilIdle();
    }
}
BENCHMARK(StepDownALongGrid)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
