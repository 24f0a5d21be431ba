// The window layer's costs: handing a million posted messages to their
// window, and repainting a form of 200 controls (goal: well under the 16 ms
// of a 60 Hz frame).
#include <benchmark/benchmark.h>

#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "tests/support/ui/UiDriver.h"

namespace {

class TCell : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
        C->SetBkMode(TRANSPARENT);
        C->TextOut(2, 2, Caption());
    }
};

class TMark : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
    }
};

void DispatchPostedMessages(benchmark::State& State) {
    InstallUiDriver();
    EnsureApplication();
    long Received = 0;
    HWND Target = AllocateHWnd([&](HWND W, UINT M, WPARAM WP, LPARAM LP) -> LRESULT {
        if (M == WM_USER) ++Received;
        return DefWindowProc(W, M, WP, LP);
    });
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        for (int I = 0; I < Count; ++I) PostMessage(Target, WM_USER, static_cast<WPARAM>(I), 0);
        TMsg Msg;
        while (PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(Msg);
    }
    State.SetItemsProcessed(State.iterations() * Count);
    benchmark::DoNotOptimize(Received);
    DeallocateHWnd(Target);
}
BENCHMARK(DispatchPostedMessages)->Arg(1000000)->Unit(benchmark::kMillisecond);

// 100 windowed cells with a caption, and 100 windowless marks, on a 1000 by 600 form.
void RepaintFormOf200Controls(benchmark::State& State) {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    EnsureApplication();
    TForm* F = TForm::CreateNew(Application);
    F->SetBounds(0, 0, 1000, 600);
    for (int I = 0; I < 100; ++I) {
        auto* C = NewComponent<TCell>(F);
        C->SetBounds((I % 10) * 100, (I / 10) * 30, 96, 26);
        C->SetColor(I % 2 ? clWindow : clInfoBk);
        C->SetCaption("Alumno " + IntToStr(I));
        C->SetParent(F);
        auto* M = NewComponent<TMark>(F);
        M->SetBounds((I % 10) * 100, 300 + (I / 10) * 30, 96, 26);
        M->SetColor(I % 3 ? clSilver : clTeal);
        M->SetParent(F);
    }
    F->Show();
    Ui.RunUntilIdle();
    for (auto _ : State) {
        RedrawWindow(F->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    F->Free();
}
BENCHMARK(RepaintFormOf200Controls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
