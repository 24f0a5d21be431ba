// The button library's costs: repainting the organizer dialog's six image
// buttons and the main window's five shape buttons (goal: all eleven well
// within one 60 Hz frame, under 4 ms on one core), and building a window
// region from the widest button's 133 by 33 picture.
#include <benchmark/benchmark.h>

#include "buttons/fcHelpers.h"
#include "buttons/fcImgBtn.h"
#include "buttons/fcShapeBtn.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/UiDriver.h"

namespace {

// A 108 by 39 picture: a border in its top-left colour, a pattern inside.
void DialogPicture(TfcBitmap& B, int W, int H) {
    B.SetSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            bool Border = x < 3 || y < 3 || x >= W - 3 || y >= H - 3;
            B.SetPixel(x, y, Border ? fcMakePixel(200, 200, 200) : fcMakePixel(40 + x, 60 + 2 * y, 150));
        }
}

void PaintTheElevenButtons(benchmark::State& State) {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    EnsureApplication();
    TForm* F = TForm::CreateNew(Application);
    F->SetBounds(0, 0, 700, 200);
    std::vector<TfcCustomBitBtn*> Buttons;
    TfcBitmap Picture;
    DialogPicture(Picture, 108, 39);
    const char* Dialog[6] = {"&Todos", "&No colocados",  "&Selecci\xF3n",
                             "&Parar", "S&altar alumno", "&Salir"};
    const int Widths[6] = {85, 133, 100, 83, 120, 90};
    int Left = 0;
    for (int I = 0; I < 6; ++I) {
        auto* B = NewComponent<TfcImageBtn>(F);
        B->SetBounds(Left, 10, Widths[I], 33);
        Left += Widths[I] + 4;
        B->SetCaption(Dialog[I]);
        B->SetColor(TColor(10930928));
        B->Font()->SetName("Arial");
        B->Font()->SetHeight(-15);
        B->Font()->SetStyle({fsBold});
        B->TextOptions()->SetStyle(fclsLowered);
        B->SetImage(&Picture);
        B->SetParent(F);
        Buttons.push_back(B);
    }
    const char* Steps[5] = {"&Anterior", "&Siguiente", "&Ir a ...", "&Ayuda", "&Salir"};
    TBitmap Glyph(30, 12);
    for (int I = 0; I < 5; ++I) {
        auto* B = NewComponent<TfcShapeBtn>(F);
        B->SetBounds(I * 90, 60, 85, 24);
        B->SetCaption(Steps[I]);
        B->SetShadeStyle(fbsNormal);
        B->Font()->SetName("Arial");
        B->Font()->SetHeight(-12);
        B->Font()->SetStyle({fsBold});
        if (I < 2) {
            B->SetGlyph(&Glyph);
            B->SetNumGlyphs(2);
        }
        B->SetParent(F);
        Buttons.push_back(B);
    }
    F->Show();
    Ui.RunUntilIdle();
    for (auto _ : State) {
        for (TfcCustomBitBtn* B : Buttons) B->Invalidate();
        UpdateWindow(F->Handle());
    }
    State.SetItemsProcessed(State.iterations() * int64_t(Buttons.size()));
    F->Free();
}
BENCHMARK(PaintTheElevenButtons)->Unit(benchmark::kMillisecond);

void RegionFromThe133By33Picture(benchmark::State& State) {
    TfcBitmap Picture;
    DialogPicture(Picture, 133, 33);
    for (auto _ : State) {
        std::optional<TRegion> R = fcRegionFromBitmap(Picture, -1);
        benchmark::DoNotOptimize(R);
    }
}
BENCHMARK(RegionFromThe133By33Picture)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
