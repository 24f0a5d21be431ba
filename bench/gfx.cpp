// Speed of the drawing layer on a full-HD screen: fills, raster operations, and a
// repaint of a grid of text (40 rows of 10 cells), which must stay well
// within one 60 Hz frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

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

// The raster operations the controls use, each timed against a plain loop of
// the same arithmetic over the same pixels; the counter "ratio" is the blit's
// time over the loop's. The image lists blit their monochrome masks, so
// SRCAND and DSPDxax also run from a monochrome source, whose loop includes
// the choice between the text and the background colour.
struct TPlainArgs {
    uint32_t* D;
    const uint32_t* S;
    size_t N;
    uint32_t P, Text, Bk;
};

struct TRasterCase {
    const char* Name;
    uint32_t Rop;
    bool MonoSource;
    void (*Plain)(const TPlainArgs&);
};

const TRasterCase RasterCases[] = {
    {"SRCCOPY", SRCCOPY, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] = A.S[i];
     }},
    {"SRCINVERT", SRCINVERT, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] ^= A.S[i];
     }},
    {"SRCAND", SRCAND, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] &= A.S[i];
     }},
    {"SRCPAINT", SRCPAINT, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] |= A.S[i];
     }},
    {"DSPDxax", ROP_DSPDxax, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] ^= A.S[i] & (A.P ^ A.D[i]);
     }},
    {"PATCOPY", PATCOPY, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] = A.P;
     }},
    {"PATINVERT", PATINVERT, false,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] ^= A.P;
     }},
    {"SRCAND/mono source", SRCAND, true,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] &= A.S[i] == 0xFFFFFF ? A.Bk : A.Text;
     }},
    {"DSPDxax/mono source", ROP_DSPDxax, true,
     [](const TPlainArgs& A) {
         for (size_t i = 0; i < A.N; ++i) A.D[i] ^= (A.S[i] == 0xFFFFFF ? A.Bk : A.Text) & (A.P ^ A.D[i]);
     }},
};

void RasterOperation(benchmark::State& State, const TRasterCase& Case) {
    TBitmap screen(ScreenW, ScreenH), buffer(ScreenW, ScreenH);
    // Pixels that change along every row, so that no run is uniform.
    for (int y = 0; y < ScreenH; ++y)
        for (int x = 0; x < ScreenW; ++x) {
            screen.Surface().SetPixel(x, y, uint32_t(x * 2654435761u + y) & 0xFFFFFF);
            bool white = ((x / 3 + y / 5) & 1) != 0;
            buffer.Surface().SetPixel(
                x, y, Case.MonoSource ? (white ? 0xFFFFFFu : 0u) : uint32_t(y * 40503u + x * 7u) & 0xFFFFFF);
        }
    if (Case.MonoSource) buffer.Surface().SetMonochrome(true);
    TCanvas& c = *screen.Canvas();
    c.Brush()->SetColor(TColor(0x3366CC));
    c.SetTextColor(TColor(0x102030));
    c.SetBkColor(TColor(0xC0B0A0));
    TPlainArgs args{reinterpret_cast<uint32_t*>(screen.Surface().Bits()),
                    reinterpret_cast<const uint32_t*>(buffer.Surface().Bits()),
                    size_t(ScreenW) * size_t(ScreenH),
                    ColorRefToPixel(0x3366CC),
                    ColorRefToPixel(0x102030),
                    ColorRefToPixel(0xC0B0A0)};
    using TClock = std::chrono::steady_clock;
    double blitTime = 0, plainTime = 0;
    for (auto _ : State) {
        auto t0 = TClock::now();
        c.BitBlt(0, 0, ScreenW, ScreenH, buffer.Canvas(), 0, 0, Case.Rop);
        benchmark::ClobberMemory();
        auto t1 = TClock::now();
        Case.Plain(args);
        benchmark::ClobberMemory();
        auto t2 = TClock::now();
        double blit = std::chrono::duration<double>(t1 - t0).count();
        blitTime += blit;
        plainTime += std::chrono::duration<double>(t2 - t1).count();
        State.SetIterationTime(blit);
    }
    State.counters["ratio"] = plainTime > 0 ? blitTime / plainTime : 0;
    State.SetItemsProcessed(State.iterations() * ScreenW * ScreenH);
}

const bool RasterRegistered = [] {
    for (const TRasterCase& c : RasterCases)
        benchmark::RegisterBenchmark((std::string("RasterOperation/") + c.Name).c_str(), RasterOperation, c)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    return true;
}();

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
