#include "platform/gfx/RasterLoops.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/gfx/CanvasImpl.h"

namespace {

constexpr uint32_t White = 0xFFFFFF;

bool GSpecialised = true;

// The operations, each the arithmetic of its truth table on whole pixel words.
struct TSrcCopy {
    static constexpr bool Source = true, Pattern = false;
    static uint32_t Apply(uint32_t, uint32_t S, uint32_t) { return S; }
};
struct TSrcInvert {
    static constexpr bool Source = true, Pattern = false;
    static uint32_t Apply(uint32_t, uint32_t S, uint32_t D) { return S ^ D; }
};
struct TSrcAnd {
    static constexpr bool Source = true, Pattern = false;
    static uint32_t Apply(uint32_t, uint32_t S, uint32_t D) { return S & D; }
};
struct TSrcPaint {
    static constexpr bool Source = true, Pattern = false;
    static uint32_t Apply(uint32_t, uint32_t S, uint32_t D) { return S | D; }
};
// The brush where the source is 1, the destination kept where it is 0.
struct TDSPDxax {
    static constexpr bool Source = true, Pattern = true;
    static uint32_t Apply(uint32_t P, uint32_t S, uint32_t D) { return D ^ (S & (P ^ D)); }
};
struct TPatCopy {
    static constexpr bool Source = false, Pattern = true;
    static uint32_t Apply(uint32_t P, uint32_t, uint32_t) { return P; }
};
struct TPatInvert {
    static constexpr bool Source = false, Pattern = true;
    static uint32_t Apply(uint32_t P, uint32_t, uint32_t D) { return P ^ D; }
};

// One span of destination words D (0x00RRGGBB, whatever the unused byte
// holds), with source words S and either the pattern words P or one Solid
// pattern word. A monochrome destination keeps white and turns every other
// result black, as writing to it does.
using TRopLoop = void (*)(uint32_t* __restrict D, const uint32_t* __restrict S, const uint32_t* __restrict P,
                          uint32_t Solid, int N);

template <class Op, bool SolidPattern, bool MonoDest>
void RopLoop(uint32_t* __restrict D, const uint32_t* __restrict S, const uint32_t* __restrict P,
             uint32_t Solid, int N) {
    for (int i = 0; i < N; ++i) {
        uint32_t s = 0, p = Solid;
        if constexpr (Op::Source) s = S[i] & White;
        if constexpr (Op::Pattern && !SolidPattern) p = P[i];
        uint32_t r = Op::Apply(p, s, D[i] & White) & White;
        if constexpr (MonoDest) r = r == White ? White : 0;
        D[i] = r;
    }
}

struct TRopFamily {
    uint8_t Code;
    bool Source, Pattern;
    TRopLoop Loops[2][2];  // [solid pattern][monochrome destination]
};

template <class Op>
constexpr TRopFamily Family(uint8_t Code) {
    return {Code,
            Op::Source,
            Op::Pattern,
            {{RopLoop<Op, false, false>, RopLoop<Op, false, true>},
             {RopLoop<Op, true, false>, RopLoop<Op, true, true>}}};
}

constexpr TRopFamily Families[] = {
    Family<TSrcCopy>(0xCC), Family<TSrcInvert>(0x66), Family<TSrcAnd>(0x88),    Family<TSrcPaint>(0xEE),
    Family<TDSPDxax>(0xE2), Family<TPatCopy>(0xF0),   Family<TPatInvert>(0x5A),
};

// A pixel left as it is.
struct TKeep {
    static constexpr bool Source = false, Pattern = false;
    static uint32_t Apply(uint32_t, uint32_t, uint32_t D) { return D; }
};
constexpr TRopLoop KeepLoops[2] = {RopLoop<TKeep, true, false>, RopLoop<TKeep, true, true>};

const TRopFamily* FindFamily(uint8_t Code) {
    for (const TRopFamily& f : Families)
        if (f.Code == Code) return &f;
    return nullptr;
}

// Source words between a monochrome and a colour surface: monochrome to
// colour, 0 is the text colour and 1 the background; colour to monochrome,
// the source's background colour is white and every other colour black.
void ConvertSource(uint32_t* S, int N, uint32_t Match, uint32_t IfMatch, uint32_t Otherwise) {
    for (int i = 0; i < N; ++i) S[i] = S[i] == Match ? IfMatch : Otherwise;
}

// The brush along N surface pixels of row Y from X, 0 in the gaps of a
// transparent hatch. The brush repeats across the row, so one repeat is asked
// of it and copied on.
void PatternRow(const TBrushPaint& B, int Y, int X, int N, uint32_t* Out) {
    int period = B.K == TBrushPaint::Pattern ? B.Pat->Width() : 8;
    int first = std::min(N, period);
    for (int i = 0; i < first; ++i)
        if (!B.At(X + i, Y, Out[i])) Out[i] = 0;
    for (int i = first; i < N; ++i) Out[i] = Out[i - period];
}

}  // namespace

void SetSpecialisedRasterLoops(bool Enabled) { GSpecialised = Enabled; }
bool SpecialisedRasterLoops() { return GSpecialised; }

bool TCanvasImpl::Blit(int DX, int DY, int DW, int DH, TCanvasImpl* Src, int SX, int SY, int SW, int SH,
                       uint32_t Rop, const TSurface* Mask, int MX, int MY, bool UseKey, uint32_t Key) {
    if (GSpecialised && !Mask && !UseKey && BlitSpecialised(DX, DY, DW, DH, Src, SX, SY, SW, SH, Rop))
        return true;
    return BlitPerPixel(DX, DY, DW, DH, Src, SX, SY, SW, SH, Rop, Mask, MX, MY, UseKey, Key);
}

bool TCanvasImpl::BlitSpecialised(int DX, int DY, int DW, int DH, TCanvasImpl* Src, int SX, int SY, int SW,
                                  int SH, uint32_t Rop) {
    const TRopFamily* family = FindFamily(uint8_t(Rop >> 16));
    if (!family || !Surface || DW == 0 || DH == 0) return false;
    bool needS = family->Source;
    // A stretched or mirrored source, or none where one is needed: the per-pixel path's.
    if (needS && (!Src || !Src->Surface || SW != DW || SH != DH)) return false;
    const TSurface* ss = needS ? Src->Surface : nullptr;
    int dl = DW < 0 ? DX + DW + 1 : DX, dt = DH < 0 ? DY + DH + 1 : DY, dw = std::abs(DW), dh = std::abs(DH);
    int sl = SW < 0 ? SX + SW + 1 : SX, st = SH < 0 ? SY + SH + 1 : SY;
    Select();
    if (Src) Src->Select();
    TBrushPaint brush = MakeBrush(*State.Brush);
    bool solid = brush.K == TBrushPaint::Solid || brush.K == TBrushPaint::None;
    uint32_t solidP = brush.K == TBrushPaint::Solid ? brush.Color : 0;
    bool dstMono = Surface->Monochrome(), dstDirect = Surface->Format() == TSurfaceFormat::Xrgb32;
    TRopLoop loop = family->Loops[solid][dstMono && dstDirect];

    std::vector<uint32_t> sbuf, pbuf, dbuf;
    bool same = ss == Surface;
    bool toColour = ss && ss->Monochrome() && !dstMono, toMono = ss && !ss->Monochrome() && dstMono;
    uint32_t match = White, ifMatch = 0, otherwise = 0;
    if (toColour) {
        ifMatch = ToPixel(State.BkColor);
        otherwise = ToPixel(State.TextColor);
    } else if (toMono) {
        match = ColorRefToPixel(Src->State.BkColor);
        ifMatch = White;
    }
    bool srcDirect = ss && !same && !toColour && !toMono && ss->Format() == TSurfaceFormat::Xrgb32;

    // Surface column and row of the source less those of the destination.
    int shiftX = sl + (needS ? Src->DeviceOrigin.x : 0) - dl - DeviceOrigin.x;
    int shiftY = st + (needS ? Src->DeviceOrigin.y : 0) - dt - DeviceOrigin.y;
    // The destination's surface columns that have a source pixel.
    int haveL = needS ? -shiftX : INT_MIN, haveR = needS ? ss->Width() - shiftX : INT_MAX;
    auto run = [&](TRopLoop Loop, int Y, int A, int N, const uint32_t* S, const uint32_t* P) {
        if (dstDirect) {
            Loop(reinterpret_cast<uint32_t*>(Surface->ScanLine(Y)) + A, S, P, solidP, N);
            return;
        }
        dbuf.resize(size_t(N));
        Surface->ReadSpan(A, Y, N, dbuf.data());
        Loop(dbuf.data(), S, P, solidP, N);
        Surface->WriteSpan(A, Y, N, dbuf.data());
    };
    // A pixel without a source keeps its colour; but the per-pixel path reads
    // and writes back every pixel of the span, which clears the unused byte
    // and turns a stray colour on a monochrome surface black, and so does
    // this. (A 24-bit surface reads back what it wrote.)
    auto keep = [&](int Y, int A, int B) {
        if (dstDirect && A < B) run(KeepLoops[dstMono], Y, A, B - A, nullptr, nullptr);
    };
    // Within one surface the source is read before it is written over: the
    // rows run away from the source, and each source row is read whole before
    // any piece of its destination row is written.
    bool upward = same && shiftY < 0;
    for (int k = 0; k < dh; ++k) {
        int dy = dt + (upward ? dh - 1 - k : k);
        int sy = dy + DeviceOrigin.y + shiftY;
        bool rowHas = !needS || (sy >= 0 && sy < ss->Height());
        // The surface columns of this row that are blitted.
        int l = std::max(dl + DeviceOrigin.x, haveL),
            r = rowHas ? std::min(dl + dw + DeviceOrigin.x, haveR) : l;
        if (same && l < r) {
            sbuf.resize(size_t(r - l));
            ss->ReadSpan(l + shiftX, sy, r - l, sbuf.data());
        }
        ClipSpan(dy, dl, dl + dw, [&](int y, int a, int b) {
            int ia = std::clamp(l, a, b), ib = std::clamp(r, ia, b), n = ib - ia;
            keep(y, a, ia);
            keep(y, ib, b);
            if (n <= 0) return;
            const uint32_t* s = nullptr;
            if (same) s = sbuf.data() + (ia - l);
            else if (srcDirect) s = reinterpret_cast<const uint32_t*>(ss->ScanLine(sy)) + (ia + shiftX);
            else if (needS) {
                sbuf.resize(size_t(n));
                ss->ReadSpan(ia + shiftX, sy, n, sbuf.data());
                if (toColour || toMono) ConvertSource(sbuf.data(), n, match, ifMatch, otherwise);
                s = sbuf.data();
            }
            const uint32_t* p = nullptr;
            if (family->Pattern && !solid) {
                pbuf.resize(size_t(n));
                PatternRow(brush, y, ia, n, pbuf.data());
                p = pbuf.data();
            }
            run(loop, y, ia, n, s, p);
        });
    }
    return true;
}
