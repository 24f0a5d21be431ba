// The gradient panel at a large screen's size, 1280 x 1024: a full draw
// (gradient, bevel and the copy to the window) and a clean repaint (the
// buffer copied again), against a plain copy of as many pixels.
// Goals: a clean repaint costs at most 1.2 times the plain copy, a full draw
// at most 3 times.
#include <benchmark/benchmark.h>

#include "gradient/TeeDraw3D.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/UiDriver.h"

namespace {

constexpr int Width = 1280, Height = 1024;

void PlainCopy(benchmark::State& State) {
    TBitmap Source(Width, Height), Target(Width, Height);
    Source.Canvas()->Brush()->SetColor(clTeal);
    Source.Canvas()->FillRect(TRect(0, 0, Width, Height));
    for (auto _ : State) Target.Canvas()->BitBlt(0, 0, Width, Height, Source.Canvas(), 0, 0, SRCCOPY);
    State.SetItemsProcessed(State.iterations() * Width * Height);
}
BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond);

// A frameless form filled by the panel, as the program's wait window.
struct TScreen1280 {
    TScreen1280() {
        InstallUiDriver(1600, 1200);
        EnsureApplication();
        InitGradientPanel();
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, Width, Height);
        Panel = NewComponent<TDraw3D>(Form);
        Panel->SetParent(Form);
        Panel->SetAlign(alClient);
        Panel->Gradient()->SetStartColor(16744576);
        Panel->Gradient()->SetEndColor(12639424);
        Panel->Gradient()->SetVisible(true);
        Form->Show();
        Form->Update();
    }
    ~TScreen1280() {
        Form->Free();
        DoneGradientPanel();
    }
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TForm* Form;
    TDraw3D* Panel;
};

void FullDraw(benchmark::State& State) {
    TScreen1280 S;
    for (auto _ : State) {
        S.Panel->Invalidate();
        UpdateWindow(S.Form->Handle());
    }
    State.SetItemsProcessed(State.iterations() * Width * Height);
}
BENCHMARK(FullDraw)->Unit(benchmark::kMillisecond);

void CleanRepaint(benchmark::State& State) {
    TScreen1280 S;
    for (auto _ : State) {
        // Uncovered by another window: the panel's window repaints, its buffer is clean.
        InvalidateRect(S.Panel->Handle(), nullptr, false);
        UpdateWindow(S.Form->Handle());
    }
    State.SetItemsProcessed(State.iterations() * Width * Height);
}
BENCHMARK(CleanRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
