// Speed of the drawing layer on a full-HD screen: fills, blits, and a
// repaint of a grid of text (40 rows of 10 cells), which must stay well
// within one 60 Hz frame.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gfx/Bitmap.h"

namespace {

constexpr int ScreenW = 1920, ScreenH = 1080;

void FillScreen(benchmark::State& State) {
    TBitmap screen(ScreenW, ScreenH);
    TCanvas& c = *screen.Canvas();
    int k = 0;
    for (auto _ : State) {
        c.Brush()->SetColor(TColor(k++ & 0xFFFFFF));
        c.FillRect({0, 0, ScreenW, ScreenH});
        benchmark::DoNotOptimize(screen.Surface().Bits());
    }
    State.SetItemsProcessed(State.iterations() * ScreenW * ScreenH);
}
BENCHMARK(FillScreen)->Unit(benchmark::kMillisecond);

void BlitScreen(benchmark::State& State) {
    TBitmap screen(ScreenW, ScreenH), buffer(ScreenW, ScreenH);
    buffer.Canvas()->Brush()->SetColor(clTeal);
    buffer.Canvas()->FillRect({0, 0, ScreenW, ScreenH});
    for (auto _ : State) {
        screen.Canvas()->BitBlt(0, 0, ScreenW, ScreenH, buffer.Canvas(), 0, 0, uint32_t(State.range(0)));
        benchmark::DoNotOptimize(screen.Surface().Bits());
    }
    State.SetItemsProcessed(State.iterations() * ScreenW * ScreenH);
}
BENCHMARK(BlitScreen)->Arg(SRCCOPY)->Arg(SRCINVERT)->Arg(ROP_DSPDxax)->Unit(benchmark::kMillisecond);

void GridTextRepaint(benchmark::State& State) {
    TBitmap screen(ScreenW, ScreenH);
    TCanvas& c = *screen.Canvas();
    c.Font()->SetName("MS Sans Serif");
    c.Font()->SetHeight(-11);
    const int rows = 40, cols = 10, cellW = ScreenW / cols, cellH = ScreenH / rows;
    std::vector<std::string> texts;
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < cols; ++col)
            texts.push_back(col == 0 ? "Alumno " + std::to_string(r + 1)
                                     : "ASIG" + std::to_string(col) + " 1" + std::to_string(r % 7));
    for (auto _ : State) {
        // What a grid repaint does per cell: background, text, grid line.
        c.Brush()->SetColor(clWindow);
        c.FillRect({0, 0, ScreenW, ScreenH});
        c.SetBkMode(TRANSPARENT);
        c.Pen()->SetColor(clSilver);
        for (int r = 0; r < rows; ++r)
            for (int col = 0; col < cols; ++col) {
                TRect cell{col * cellW, r * cellH, (col + 1) * cellW - 1, (r + 1) * cellH - 1};
                c.DrawText(texts[size_t(r * cols + col)], cell,
                           DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
                c.MoveTo(cell.Left, cell.Bottom);
                c.LineTo(cell.Right + 1, cell.Bottom);
                c.MoveTo(cell.Right, cell.Top);
                c.LineTo(cell.Right, cell.Bottom + 1);
            }
        benchmark::DoNotOptimize(screen.Surface().Bits());
    }
}
BENCHMARK(GridTextRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
