#include "platform/gfx/PixelEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

namespace PixelEffects {
namespace {
template <class F>
void EachPixel(TSurface& S, F&& Fn) {
    for (int y = 0; y < S.Height(); ++y) {
        uint8_t* p = S.ScanLine(y);
        for (int x = 0; x < S.Width(); ++x, p += 3) Fn(p);
    }
}

bool Is(const uint8_t* P, TBgr Key) { return P[0] == Key.Blue && P[1] == Key.Green && P[2] == Key.Red; }

// The pixel at (X, Y), moved onto the surface when beyond an edge.
uint8_t* At(TSurface& S, int X, int Y) {
    return S.ScanLine(std::clamp(Y, 0, S.Height() - 1)) + 3 * std::clamp(X, 0, S.Width() - 1);
}
}  // namespace

uint8_t ClampByte(int Value) { return static_cast<uint8_t>(std::clamp(Value, 0, 255)); }

void LightnessTable(int Amount, uint8_t (&Table)[256]) {
    for (int v = 0; v < 256; ++v)
        Table[v] =
            ClampByte(Amount <= 0 ? v - ((v * std::abs(Amount)) >> 8) : v + (((255 - v) * Amount) >> 8));
}

void ContrastTable(int Amount, uint8_t (&Table)[256]) {
    for (int v = 0; v < 256; ++v) {
        const int step = (std::abs(128 - v) * Amount) / 256;
        Table[v] = ClampByte(v <= 126 ? v - step : v + step);
    }
}

void MapChannels(TSurface& S, const uint8_t* Red, const uint8_t* Green, const uint8_t* Blue) {
    EachPixel(S, [&](uint8_t* P) {
        P[0] = Blue[P[0]];
        P[1] = Green[P[1]];
        P[2] = Red[P[2]];
    });
}

void AddToChannels(TSurface& S, int Red, int Green, int Blue, const TBgr* Keep) {
    EachPixel(S, [&](uint8_t* P) {
        if (Keep && Is(P, *Keep)) return;
        P[0] = ClampByte(P[0] + Blue);
        P[1] = ClampByte(P[1] + Green);
        P[2] = ClampByte(P[2] + Red);
    });
}

void GrayScale(TSurface& S) {
    EachPixel(S,
              [](uint8_t* P) { P[0] = P[1] = P[2] = static_cast<uint8_t>(P[0] / 3 + P[1] / 3 + P[2] / 3); });
}

void Invert(TSurface& S) {
    EachPixel(S, [](uint8_t* P) {
        for (int c = 0; c < 3; ++c) P[c] = static_cast<uint8_t>(255 - P[c]);
    });
}

void Saturation(TSurface& S, int Amount) {
    int scaled[256];
    for (int v = 0; v < 256; ++v) scaled[v] = (Amount * v) >> 8;
    EachPixel(S, [&](uint8_t* P) {
        const int grey = P[0] / 3 + P[1] / 3 + P[2] / 3;
        for (int c = 0; c < 3; ++c) P[c] = ClampByte(grey + scaled[P[c]] - scaled[grey]);
    });
}

void MaskFromKey(TSurface& S, TBgr Key) {
    EachPixel(S, [&](uint8_t* P) { P[0] = P[1] = P[2] = Is(P, Key) ? 0 : 255; });
}

void ReplaceColor(TSurface& S, TBgr Old, TBgr New) {
    EachPixel(S, [&](uint8_t* P) {
        if (!Is(P, Old)) return;
        P[0] = New.Blue;
        P[1] = New.Green;
        P[2] = New.Red;
    });
}

void Blur(TSurface& S, int Distance) {
    for (int y = 0; y < S.Height(); ++y)
        for (int x = 0; x < S.Width(); ++x) {
            const uint8_t* a = At(S, x + Distance, y + Distance);
            const uint8_t* b = At(S, x + Distance, y - Distance);
            const uint8_t* c = At(S, x - Distance, y + Distance);
            const uint8_t* d = At(S, x - Distance, y - Distance);
            uint8_t* p = At(S, x, y);
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((a[k] + b[k] + c[k] + d[k]) >> 2);
        }
}

void Sharpen(TSurface& S, int Distance) {
    static const int Around[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (int y = 0; y < S.Height(); ++y)
        for (int x = 0; x < S.Width(); ++x) {
            int sum[3] = {0, 0, 0};
            for (const auto& d : Around) {
                const uint8_t* q = At(S, x + d[0] * Distance, y + d[1] * Distance);
                for (int c = 0; c < 3; ++c) sum[c] += q[c];
            }
            uint8_t* p = At(S, x, y);
            // Below zero the value clamps to 0 whichever way it is rounded.
            for (int c = 0; c < 3; ++c) p[c] = ClampByte((256 * p[c] - 16 * sum[c]) / 128);
        }
}

void Emboss(TSurface& S) {
    const int w = S.Width(), h = S.Height();
    if (S.Empty()) return;
    const std::vector<uint8_t> lastRow(S.ScanLine(h - 1), S.ScanLine(h - 1) + 3 * w);
    const int second = std::min(1, w - 1);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = S.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const uint8_t* q;
            if (y < h - 2) q = S.ScanLine(y + 1) + 3 * std::min(x + 1, w - 1);
            else if (y == h - 2) q = S.ScanLine(h - 1) + 3 * second;
            else q = lastRow.data() + 3 * second;
            for (int c = 0; c < 3; ++c)
                p[3 * x + c] = static_cast<uint8_t>((p[3 * x + c] + (255 - q[c])) >> 1);
        }
    }
}

void Spread(TSurface& S, int Amount, const std::function<int(int)>& RandomBelow) {
    for (int y = 0; y < S.Height(); ++y)
        for (int x = 0; x < S.Width(); ++x) {
            const int k = RandomBelow(Amount);
            const int dx = RandomBelow(2 * k), dy = RandomBelow(2 * k);
            std::memmove(At(S, x, y), At(S, x + k - dx, y + k - dy), 3);
        }
}

void Flip(TSurface& S, bool Horizontal) {
    const int w = S.Width(), h = S.Height();
    if (S.Empty()) return;
    if (Horizontal) {
        for (int y = 0; y < h; ++y) {
            uint8_t* row = S.ScanLine(y);
            for (int x = 0; x <= (w - 1) / 2; ++x)
                std::swap_ranges(row + 3 * x, row + 3 * x + 3, row + 3 * (w - 1 - x));
        }
        return;
    }
    for (int y = 0; y <= (h - 1) / 2; ++y)
        std::swap_ranges(S.ScanLine(y), S.ScanLine(y) + 3 * w, S.ScanLine(h - 1 - y));
}

void Rotate(TSurface& S, int CX, int CY, double Angle) {
    const int w = S.Width(), h = S.Height();
    if (S.Empty()) return;
    const size_t rowBytes = 3 * static_cast<size_t>(w);
    std::vector<uint8_t> out(rowBytes * static_cast<size_t>(h));
    const uint8_t* fill = S.ScanLine(0);
    const double t = -Angle * std::numbers::pi / 180.0, s = std::sin(t), c = std::cos(t);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Twice the coordinates, so that the centre of a pixel lands on whole numbers.
            const double u = 2.0 * x - 2.0 * CX + 1, v = 2.0 * y - 2.0 * CY + 1;
            const int64_t sx = CX + (static_cast<int64_t>(std::nearbyint(u * c - v * s)) - 1) / 2;
            const int64_t sy = CY + (static_cast<int64_t>(std::nearbyint(u * s + v * c)) - 1) / 2;
            const bool inside = sx >= 0 && sx < w && sy >= 0 && sy < h;
            const uint8_t* from = inside ? S.ScanLine(static_cast<int>(sy)) + 3 * sx : fill;
            std::memcpy(out.data() + static_cast<size_t>(y) * rowBytes + 3 * static_cast<size_t>(x), from, 3);
        }
    for (int y = 0; y < h; ++y)
        std::memcpy(S.ScanLine(y), out.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
}

void StretchSmooth(const TSurface& Source, TSurface& Dest) {
    const int w = Source.Width(), h = Source.Height(), dw = Dest.Width(), dh = Dest.Height();
    if (Source.Empty() || Dest.Empty()) return;
    const int stepX = static_cast<int>((int64_t(w - 1) * 32768) / dw),
              stepY = static_cast<int>((int64_t(h - 1) * 32768) / dh);
    for (int j = 0; j < dh; ++j) {
        const int sy = j * stepY, row = sy >> 15, fy = sy & 0x7FFF;
        const uint8_t* top = Source.ScanLine(row);
        const uint8_t* bottom = Source.ScanLine(std::min(row + 1, h - 1));
        uint8_t* out = Dest.ScanLine(j);
        const int wt = 32768 - fy, wb = fy;
        for (int i = 0; i < dw; ++i) {
            const int sx = i * stepX, col = sx >> 15, fx = sx & 0x7FFF;
            // The column to the right stops at the last one, as the row below does.
            const int col1 = std::min(col + 1, w - 1);
            const int rt = static_cast<int>((int64_t(fx) * wt) >> 15),
                      rb = static_cast<int>((int64_t(fx) * wb) >> 15);
            for (int c = 0; c < 3; ++c) {
                const int64_t v = int64_t(top[3 * col + c]) * (wt - rt) + int64_t(top[3 * col1 + c]) * rt +
                                  int64_t(bottom[3 * col + c]) * (wb - rb) +
                                  int64_t(bottom[3 * col1 + c]) * rb;
                out[3 * i + c] = static_cast<uint8_t>(v >> 15);
            }
        }
    }
}
}  // namespace PixelEffects
