// The specialised raster loops against the per-pixel path: random surfaces,
// canvases and blits, drawn once each way, must give the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/RasterLoops.h"

namespace {

constexpr uint32_t White = 0xFFFFFF;

// The codes with a loop of their own.
struct TCode {
    const char* Name;
    uint32_t Rop;
    bool Source;
};
const TCode Codes[] = {
    {"SRCCOPY", SRCCOPY, true},      {"SRCINVERT", SRCINVERT, true}, {"SRCAND", SRCAND, true},
    {"SRCPAINT", SRCPAINT, true},    {"DSPDxax", ROP_DSPDxax, true}, {"PATCOPY", PATCOPY, false},
    {"PATINVERT", PATINVERT, false},
};

class TLoopsSwitch {
public:
    explicit TLoopsSwitch(bool On) : FWas(SpecialisedRasterLoops()) { SetSpecialisedRasterLoops(On); }
    ~TLoopsSwitch() { SetSpecialisedRasterLoops(FWas); }

private:
    bool FWas;
};

enum class TCall { BitBlt, StretchBlt, MirroredStretchBlt, PatBlt, NoSourceBitBlt };
enum class TBrushKind { Solid, Clear, Hatch, ColourPattern, MonoPattern };

// Everything one blit depends on: the pixels, the two canvases' state and the call.
struct TScene {
    TSurface Dest, Source;
    bool SameSurface = false, SameCanvas = false;
    TPoint DestOrigin{0, 0}, SourceOrigin{0, 0}, WindowOrg{0, 0};
    std::optional<TRegion> DeviceClip;
    std::optional<TRect> Intersect, Exclude;
    TBrushKind Brush = TBrushKind::Solid;
    TColor BrushColor = clWhite;
    TBrushStyle Hatch = bsSolid;
    TSurface Pattern;
    TPoint BrushOrg{0, 0};
    std::optional<TColor> Text, Bk;
    std::optional<int> BkMode;
    TColor SourceBk = clWhite;
    TCall Call = TCall::BitBlt;
    int X = 0, Y = 0, W = 1, H = 1, SX = 0, SY = 0;
};

class TSceneMaker {
public:
    explicit TSceneMaker(unsigned Seed) : FRng(Seed) {}

    TScene Make(const TCode& Code, int MaxSide) {
        TScene s;
        s.SourceBk = TColor(Pick({0x000000u, 0xFFFFFFu, 0xC0C0C0u, 0x00FF00u, Word()}));
        // Colours the surfaces share, so that a source pixel meets its background colour often.
        FPalette = {0, White, 0x808080, 0xC0C0C0, ColorRefToPixel(TColorRef(s.SourceBk)), Word(), Word()};
        s.Dest = RandomSurface(MaxSide);
        s.SameSurface = Code.Source && Chance(4);
        s.SameCanvas = s.SameSurface && Chance(2);
        if (Code.Source && !s.SameSurface) s.Source = RandomSurface(MaxSide);
        const TSurface& src = s.SameSurface ? s.Dest : s.Source;
        s.DestOrigin = {Between(-3, 3), Between(-3, 3)};
        if (!s.SameCanvas) s.SourceOrigin = {Between(-3, 3), Between(-3, 3)};
        if (Chance(3)) s.WindowOrg = {Between(-4, 4), Between(-4, 4)};
        if (Chance(3)) {
            std::vector<TRect> rects;
            for (int i = Between(1, 4); i > 0; --i)
                rects.push_back(RandomRect(s.Dest.Width(), s.Dest.Height()));
            s.DeviceClip = TRegion::FromRects(rects);
        }
        if (Chance(3)) s.Intersect = RandomRect(s.Dest.Width(), s.Dest.Height());
        if (Chance(3)) s.Exclude = RandomRect(s.Dest.Width(), s.Dest.Height());
        s.Brush = TBrushKind(Between(0, 4));
        s.BrushColor = TColor(PixelToColorRef(Pick(FPalette)));
        s.Hatch = TBrushStyle(Between(bsHorizontal, bsDiagCross));
        if (s.Brush == TBrushKind::ColourPattern || s.Brush == TBrushKind::MonoPattern) {
            s.Pattern = RandomPixels(Between(1, 9), Between(1, 9), TSurfaceFormat::Xrgb32);
            if (s.Brush == TBrushKind::MonoPattern) s.Pattern.SetMonochrome(true);
        }
        s.BrushOrg = {Between(-9, 9), Between(-9, 9)};
        if (Chance(2)) s.Text = TColor(PixelToColorRef(Pick(FPalette)));
        if (Chance(2)) s.Bk = TColor(PixelToColorRef(Pick(FPalette)));
        if (Chance(2)) s.BkMode = Chance(2) ? OPAQUE : TRANSPARENT;
        s.Call = Code.Source ? TCall(Between(0, 2)) : TCall(Between(0, 4));
        if (s.Call == TCall::MirroredStretchBlt && Chance(2)) s.Call = TCall::StretchBlt;
        s.W = Between(1, s.Dest.Width() + 6) * (Chance(5) ? -1 : 1);
        s.H = Between(1, s.Dest.Height() + 6) * (Chance(5) ? -1 : 1);
        s.X = Between(-6, s.Dest.Width() + 2);
        s.Y = Between(-6, s.Dest.Height() + 2);
        // Within one surface the source mostly overlaps the destination.
        s.SX = s.SameSurface && !Chance(4) ? s.X + Between(-5, 5) : Between(-6, src.Width() + 2);
        s.SY = s.SameSurface && !Chance(4) ? s.Y + Between(-5, 5) : Between(-6, src.Height() + 2);
        return s;
    }

private:
    std::mt19937 FRng;
    std::vector<uint32_t> FPalette;

    int Between(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(FRng); }
    bool Chance(int OneIn) { return Between(1, OneIn) == 1; }
    uint32_t Word() { return uint32_t(FRng()) & White; }
    uint32_t Pick(std::initializer_list<uint32_t> Values) {
        return Values.begin()[Between(0, int(Values.size()) - 1)];
    }
    uint32_t Pick(const std::vector<uint32_t>& Values) {
        return Values[size_t(Between(0, int(Values.size()) - 1))];
    }

    int Side(int MaxSide) {
        // 1 and odd sizes come up often: the ends of a row are where loops go wrong.
        switch (Between(0, 3)) {
        case 0: return 1;
        case 1: return Between(1, MaxSide / 2) * 2 - 1;
        default: return Between(1, MaxSide);
        }
    }

    TRect RandomRect(int W, int H) {
        int l = Between(-3, W), t = Between(-3, H);
        return {l, t, l + Between(0, W + 3), t + Between(0, H + 3)};
    }

    TSurface RandomPixels(int W, int H, TSurfaceFormat Format) {
        TSurface s(W, H, Format);
        // Every byte first (the padding of 24-bit rows, the unused byte of
        // 32-bit pixels), then pixels from the palette over most of them.
        for (size_t i = 0; i < s.ImageSize(); ++i) s.Bits()[i] = uint8_t(FRng());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (!Chance(8)) s.SetPixel(x, y, Pick(FPalette));
        return s;
    }

    TSurface RandomSurface(int MaxSide) {
        TSurface s = RandomPixels(Side(MaxSide), Side(MaxSide),
                                  Chance(4) ? TSurfaceFormat::Bgr24 : TSurfaceFormat::Xrgb32);
        if (Chance(3)) {
            s.SetMonochrome(true);
            // Bytes written past the surface's own calls: an unused byte set,
            // now and then a colour in a monochrome surface.
            if (s.Format() == TSurfaceFormat::Xrgb32)
                for (int y = 0; y < s.Height(); ++y) {
                    auto* row = reinterpret_cast<uint32_t*>(s.ScanLine(y));
                    for (int x = 0; x < s.Width(); ++x) {
                        if (Chance(3)) row[x] |= uint32_t(Between(1, 255)) << 24;
                        if (Chance(20)) row[x] = Word();
                    }
                }
        }
        return s;
    }
};

struct TOutcome {
    bool Result;
    TSurface Dest;
};

// The destination canvas's origins and clips as the scene has them.
void PlaceDest(TCanvas& dc, const TScene& S) {
    dc.SetDeviceOrigin(S.DestOrigin);
    if (S.DeviceClip) dc.SetDeviceClip(&*S.DeviceClip);
    dc.SetWindowOrg(S.WindowOrg);
    if (S.Intersect)
        dc.IntersectClipRect(S.Intersect->Left, S.Intersect->Top, S.Intersect->Right, S.Intersect->Bottom);
    if (S.Exclude) dc.ExcludeClipRect(S.Exclude->Left, S.Exclude->Top, S.Exclude->Right, S.Exclude->Bottom);
}

TOutcome Draw(const TScene& S, uint32_t Rop, bool Specialised) {
    TSurface dest = S.Dest, source = S.Source;
    TCanvas dc(&dest);
    PlaceDest(dc, S);
    switch (S.Brush) {
    case TBrushKind::Solid: dc.Brush()->SetColor(S.BrushColor); break;
    case TBrushKind::Clear: dc.Brush()->SetStyle(bsClear); break;
    case TBrushKind::Hatch:
        dc.Brush()->SetColor(S.BrushColor);
        dc.Brush()->SetStyle(S.Hatch);
        break;
    default: dc.Brush()->SetPattern(S.Pattern); break;
    }
    dc.SetBrushOrg(S.BrushOrg);
    if (S.Text) dc.SetTextColor(*S.Text);
    if (S.Bk) dc.SetBkColor(*S.Bk);
    if (S.BkMode) dc.SetBkMode(*S.BkMode);
    TCanvas sc(S.SameSurface ? &dest : &source);
    sc.SetDeviceOrigin(S.SourceOrigin);
    sc.SetBkColor(S.SourceBk);
    const TCanvas* src = S.SameCanvas ? &dc : &sc;

    TLoopsSwitch loops(Specialised);
    bool result = false;
    switch (S.Call) {
    case TCall::BitBlt: result = dc.BitBlt(S.X, S.Y, S.W, S.H, src, S.SX, S.SY, Rop); break;
    case TCall::StretchBlt: result = dc.StretchBlt(S.X, S.Y, S.W, S.H, src, S.SX, S.SY, S.W, S.H, Rop); break;
    case TCall::MirroredStretchBlt:
        result = dc.StretchBlt(S.X, S.Y, S.W, S.H, src, S.SX, S.SY, -S.W, S.H, Rop);
        break;
    case TCall::PatBlt: result = dc.PatBlt(S.X, S.Y, S.W, S.H, Rop); break;
    case TCall::NoSourceBitBlt: result = dc.BitBlt(S.X, S.Y, S.W, S.H, nullptr, 0, 0, Rop); break;
    }
    return {result, std::move(dest)};
}

// Where two surfaces first differ, as "x,y" (or the byte offset in padding).
std::string FirstDifference(const TSurface& A, const TSurface& B) {
    for (size_t i = 0; i < A.ImageSize(); ++i)
        if (A.Bits()[i] != B.Bits()[i]) {
            int y = int(i / size_t(A.Stride())), col = int(i % size_t(A.Stride()));
            int x = col / (A.Format() == TSurfaceFormat::Xrgb32 ? 4 : 3);
            return std::to_string(x) + "," + std::to_string(y) + " (byte " + std::to_string(i) + ")";
        }
    return "none";
}

void ExpectSameAsPerPixelPath(unsigned Seeds, int MaxSide) {
    for (const TCode& code : Codes)
        for (unsigned seed = 1; seed <= Seeds; ++seed) {
            TSceneMaker maker(seed * 7919u + unsigned(code.Rop >> 16));
            TScene scene = maker.Make(code, MaxSide);
            TOutcome fast = Draw(scene, code.Rop, true), plain = Draw(scene, code.Rop, false);
            ASSERT_EQ(fast.Result, plain.Result) << code.Name << " seed " << seed;
            ASSERT_EQ(fast.Dest.ImageSize(), plain.Dest.ImageSize());
            ASSERT_TRUE(
                std::equal(fast.Dest.Bits(), fast.Dest.Bits() + fast.Dest.ImageSize(), plain.Dest.Bits()))
                << code.Name << " seed " << seed << " call " << int(scene.Call) << " same surface "
                << scene.SameSurface << ": first difference at " << FirstDifference(fast.Dest, plain.Dest);
        }
}

// One figure of a scene: a pen line from From to To, or a rectangle
// between them filled with a solid brush (FillRect) or drawn with the pen
// and brush (Rectangle, the pen's mode for both).
struct TFigure {
    enum { Line, Fill, Box } Kind;
    TPoint From, To;
    TColor Color;
    TPenMode Mode;
    TPenStyle Style;
};

TSurface DrawFigures(const TScene& S, const std::vector<TFigure>& Figures, bool Specialised) {
    TSurface dest = S.Dest;
    TCanvas dc(&dest);
    PlaceDest(dc, S);
    if (S.Bk) dc.SetBkColor(*S.Bk);
    if (S.BkMode) dc.SetBkMode(*S.BkMode);
    TLoopsSwitch loops(Specialised);
    for (const TFigure& F : Figures) {
        dc.Pen()->SetColor(F.Color);
        dc.Pen()->SetMode(F.Mode);
        dc.Pen()->SetStyle(F.Style);
        dc.Brush()->SetColor(TColor(~F.Color & 0xFFFFFF));
        switch (F.Kind) {
        case TFigure::Line:
            dc.MoveTo(F.From.x, F.From.y);
            dc.LineTo(F.To.x, F.To.y);
            break;
        case TFigure::Fill: dc.FillRect(TRect(F.From.x, F.From.y, F.To.x, F.To.y)); break;
        case TFigure::Box: dc.Rectangle(F.From.x, F.From.y, F.To.x, F.To.y); break;
        }
    }
    return dest;
}

}  // namespace

// Straight one-pixel lines (vertical ones filled a column at a time) and
// rectangles of a solid brush (filled band by band of the clip) give the
// pixels of the row-by-row path, in every pen mode, lines both ways, cut
// by the surface's edges and by clips of several rectangles.
TEST(RasterLoops, StraightLinesAndSolidFillsGiveThePixelsOfTheRowByRowPath) {
    std::mt19937 Rng(20261211);
    auto Between = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    for (unsigned seed = 1; seed <= 300; ++seed) {
        TSceneMaker maker(seed * 104729u);
        const TScene scene = maker.Make(Codes[0], seed % 10 == 0 ? 200 : 23);
        const int W = scene.Dest.Width(), H = scene.Dest.Height();
        std::vector<TFigure> figures;
        for (int i = Between(1, 12); i > 0; --i) {
            TFigure F;
            F.Kind = Between(0, 2) == 0 ? (Between(0, 1) ? TFigure::Fill : TFigure::Box) : TFigure::Line;
            F.From = {Between(-4, W + 4), Between(-4, H + 4)};
            switch (Between(0, 3)) {
            case 0: F.To = {F.From.x + Between(-2, 2), Between(-4, H + 4)}; break;  // steep, mostly vertical
            case 1: F.To = {Between(-4, W + 4), F.From.y}; break;
            case 2: F.To = {Between(-4, W + 4), Between(-4, H + 4)}; break;
            default: F.To = {F.From.x, Between(-4, H + 4)}; break;
            }
            F.Color = TColor(Between(0, 0xFFFFFF));
            F.Mode = TPenMode(Between(pmBlack, pmNotXor));
            F.Style = Between(0, 4) == 0 ? TPenStyle(Between(psSolid, psDashDotDot)) : psSolid;
            figures.push_back(F);
        }
        const TSurface fast = DrawFigures(scene, figures, true), plain = DrawFigures(scene, figures, false);
        ASSERT_TRUE(std::equal(fast.Bits(), fast.Bits() + fast.ImageSize(), plain.Bits()))
            << "seed " << seed << ": first difference at " << FirstDifference(fast, plain);
    }
}

TEST(RasterLoops, EveryLoopGivesThePixelsOfThePerPixelPathOnSmallSurfaces) {
    ExpectSameAsPerPixelPath(600, 19);
}

TEST(RasterLoops, EveryLoopGivesThePixelsOfThePerPixelPathOnWindowSizedSurfaces) {
    ExpectSameAsPerPixelPath(12, 420);
}
