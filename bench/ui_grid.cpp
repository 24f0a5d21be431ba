// The grid's costs: repainting a screenful of text cells, and stepping the
// current cell through a long grid by keys (each step may scroll the view).
#include <benchmark/benchmark.h>

#include "platform/backend/Offscreen.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"

namespace {

TStringGrid* NewFilledGrid(TForm*& Form, int Cols, int Rows) {
    EnsureApplication();
    Form = TForm::CreateNew(Application);
    Form->SetBounds(0, 0, 1000, 700);
    auto* G = NewComponent<TStringGrid>(Form);
    G->SetAlign(alClient);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    for (int C = 0; C < Cols; ++C)
        for (int R = 0; R < Rows; ++R) G->SetCells(C, R, "ASIG" + IntToStr(C) + "." + IntToStr(R));
    G->SetParent(Form);
    return G;
}

// About 15 columns by 28 rows of text show at once.
void RepaintStringGrid(benchmark::State& State) {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TOffscreenDisplay& Ui = InstallOffscreen();
    TForm* F;
    TStringGrid* G = NewFilledGrid(F, 40, 200);
    F->Show();
    Ui.RunUntilIdle();
    for (auto _ : State) G->Repaint();
    F->Free();
}
BENCHMARK(RepaintStringGrid)->Unit(benchmark::kMillisecond);

void StepDownALongGrid(benchmark::State& State) {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TOffscreenDisplay& Ui = InstallOffscreen();
    TForm* F;
    TStringGrid* G = NewFilledGrid(F, 5, 1000);
    F->Show();
    G->SetFocus();
    Ui.RunUntilIdle();
    for (auto _ : State) {
        G->SetRow(1);
        for (int I = 0; I < 100; ++I) {
            WORD Key = VK_DOWN;
            G->Perform(WM_KEYDOWN, Key, 0);
        }
        Ui.RunUntilIdle();
    }
    F->Free();
}
BENCHMARK(StepDownALongGrid)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
