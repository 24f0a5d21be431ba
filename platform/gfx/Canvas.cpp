#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CanvasImpl.h"
#include "platform/gfx/RasterLoops.h"
#include "platform/gfx/Shapes.h"

ZELMOR_IMPLEMENT_CLASS(TCanvas, TPersistent)

namespace {

constexpr uint32_t White = 0xFFFFFF;

// Divides rounding half away from zero.
int RoundDiv(int64_t N, int64_t D) {
    if (D < 0) {
        N = -N;
        D = -D;
    }
    return int(N >= 0 ? (N + D / 2) / D : -((-N + D / 2) / D));
}

int FloorMod(int A, int M) {
    int r = A % M;
    return r < 0 ? r + M : r;
}

// The dash patterns of the cosmetic pen styles: on and off runs in pixels.
std::span<const int> DashPattern(TPenStyle Style) {
    static constexpr int Dash[] = {18, 6}, Dot[] = {3, 3}, DashDot[] = {9, 6, 3, 6},
                         DashDotDot[] = {9, 3, 3, 3, 3, 3}, Alternate[] = {1, 1};
    switch (Style) {
    case psDash: return Dash;
    case psDot: return Dot;
    case psDashDot: return DashDot;
    case psDashDotDot: return DashDotDot;
    case psAlternate: return Alternate;
    default: return {};
    }
}

// Collects pixel runs and answers them merged per row, so that a pixel met
// twice (the stamps of a wide pen) is painted once.
class TRowSet {
public:
    void Add(int Y, int X1, int X2) {
        if (X2 > X1) FRuns.push_back({Y, X1, X2});
    }
    bool Empty() const { return FRuns.empty(); }
    std::vector<std::vector<int32_t>> Rows(int& Top) {
        std::vector<std::vector<int32_t>> rows;
        if (FRuns.empty()) {
            Top = 0;
            return rows;
        }
        std::sort(FRuns.begin(), FRuns.end(),
                  [](const TRun& a, const TRun& b) { return a.Y != b.Y ? a.Y < b.Y : a.X1 < b.X1; });
        Top = FRuns.front().Y;
        rows.resize(size_t(FRuns.back().Y - Top + 1));
        for (const TRun& r : FRuns) {
            auto& row = rows[size_t(r.Y - Top)];
            if (!row.empty() && row.back() >= r.X1) row.back() = std::max(row.back(), r.X2);
            else {
                row.push_back(r.X1);
                row.push_back(r.X2);
            }
        }
        return rows;
    }

private:
    struct TRun {
        int Y, X1, X2;
    };
    std::vector<TRun> FRuns;
};

// Rows of a row set minus another, both starting at their own top.
std::vector<std::vector<int32_t>> SubtractRows(int TopA, const std::vector<std::vector<int32_t>>& A, int TopB,
                                               const std::vector<std::vector<int32_t>>& B) {
    TRegion ra = TRegion::FromRows(TopA, A), rb = TRegion::FromRows(TopB, B);
    TRegion d = TRegion::Combine(ra, rb, RGN_DIFF);
    std::vector<std::vector<int32_t>> out(A.size());
    for (const auto& band : d.Bands())
        for (int y = band.Top; y < band.Bottom; ++y) out[size_t(y - TopA)] = band.Xs;
    return out;
}

std::vector<std::vector<int32_t>> RoundRectRows(const TRect& Box, int Ew, int Eh) {
    std::vector<std::vector<int32_t>> rows;
    for (int y = Box.Top; y < Box.Bottom; ++y) {
        int l, r;
        if (RoundRectRow(Box, Ew, Eh, y, l, r)) rows.push_back({l, r});
        else rows.emplace_back();
    }
    return rows;
}

}  // namespace

uint32_t ApplyRop2(int Rop2, uint32_t P, uint32_t D) {
    switch (Rop2) {
    case R2_COPYPEN: return P;
    case R2_XORPEN: return (P ^ D) & White;
    case R2_NOTXORPEN: return ~(P ^ D) & White;
    case R2_NOT: return ~D & White;
    case R2_NOP: return D;
    case R2_BLACK: return 0;
    case R2_WHITE: return White;
    default: break;
    }
    unsigned t = unsigned(Rop2 - 1) & 15;
    uint32_t r = 0;
    if (t & 1) r |= ~P & ~D;
    if (t & 2) r |= ~P & D;
    if (t & 4) r |= P & ~D;
    if (t & 8) r |= P & D;
    return r & White;
}

uint32_t ApplyRop3(uint8_t Code, uint32_t P, uint32_t S, uint32_t D) {
    switch (Code) {
    case 0xCC: return S;
    case 0x88: return S & D;
    case 0xEE: return S | D;
    case 0x66: return S ^ D;
    case 0xF0: return P;
    case 0x55: return ~D & White;
    case 0x00: return 0;
    case 0xFF: return White;
    case 0x33: return ~S & White;
    case 0x22: return D & ~S & White;
    case 0x5A: return P ^ D;
    default: break;
    }
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i)
        if ((Code >> i) & 1) r |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
    return r & White;
}

bool TBrushPaint::At(int X, int Y, uint32_t& Out) const {
    switch (K) {
    case Solid: Out = Color; return true;
    case None: return false;
    case Pattern: {
        uint32_t p = Pat->GetPixel(FloorMod(X - OrgX, Pat->Width()), FloorMod(Y - OrgY, Pat->Height()));
        Out = Pat->Monochrome() ? (p == White ? Back : Fore) : p;
        return true;
    }
    case Hatched: {
        int lx = FloorMod(X - OrgX, 8), ly = FloorMod(Y - OrgY, 8);
        bool on = false;
        switch (HatchStyle) {
        case bsHorizontal: on = ly == 0; break;
        case bsVertical: on = lx == 0; break;
        case bsFDiagonal: on = lx == ly; break;
        case bsBDiagonal: on = lx + ly == 7; break;
        case bsCross: on = lx == 0 || ly == 0; break;
        case bsDiagCross: on = lx == ly || lx + ly == 7; break;
        default: break;
        }
        if (on) Out = Color;
        else if (Opaque) Out = Back;
        else return false;
        return true;
    }
    }
    return false;
}

// --- TDCState ---
TDCState::TDCState()
    : Pen(std::make_unique<TPen>()), Brush(std::make_unique<TBrush>()), Font(std::make_unique<TFont>()) {}

TDCState::TDCState(const TDCState& O) : TDCState() { *this = O; }

TDCState& TDCState::operator=(const TDCState& O) {
    if (this == &O) return *this;
    Pen->Assign(O.Pen.get());
    Brush->Assign(O.Brush.get());
    Font->Assign(O.Font.get());
    TextColor = O.TextColor;
    BkColor = O.BkColor;
    BkMode = O.BkMode;
    StretchMode = O.StretchMode;
    PolyFillMode = O.PolyFillMode;
    TextAlign = O.TextAlign;
    CharExtra = O.CharExtra;
    BrushOrg = O.BrushOrg;
    CopyMode = O.CopyMode;
    TextFlags = O.TextFlags;
    MapMode = O.MapMode;
    WindowOrg = O.WindowOrg;
    ViewportOrg = O.ViewportOrg;
    WindowExt = O.WindowExt;
    ViewportExt = O.ViewportExt;
    Clip = O.Clip;
    PenPos = O.PenPos;
    // Last: the assignments of pen, brush and font above mark them changed.
    FontPending = O.FontPending;
    BrushPending = O.BrushPending;
    return *this;
}

// --- TCanvasImpl ---
TCanvasImpl::TCanvasImpl(TCanvas* O) : Owner(O) {}

const TRegion& TCanvasImpl::Effective() const {
    if (EffValid) return Eff;
    EffValid = true;
    if (!Surface || Surface->Empty()) {
        Eff.Clear();
        return Eff;
    }
    TRegion r(TRect{0, 0, Surface->Width(), Surface->Height()});
    if (DeviceClip) {
        TRegion d = *DeviceClip;
        d.Offset(DeviceOrigin.x, DeviceOrigin.y);
        r = TRegion::Combine(r, d, RGN_AND);
    }
    if (State.Clip) {
        TRegion c = *State.Clip;
        c.Offset(DeviceOrigin.x, DeviceOrigin.y);
        r = TRegion::Combine(r, c, RGN_AND);
    }
    Eff = std::move(r);
    return Eff;
}

TPoint TCanvasImpl::ToDevice(TPoint P) const {
    const TDCState& s = State;
    if (s.MapMode == MM_TEXT)
        return {P.x - s.WindowOrg.x + s.ViewportOrg.x, P.y - s.WindowOrg.y + s.ViewportOrg.y};
    return {RoundDiv(int64_t(P.x - s.WindowOrg.x) * s.ViewportExt.cx, s.WindowExt.cx) + s.ViewportOrg.x,
            RoundDiv(int64_t(P.y - s.WindowOrg.y) * s.ViewportExt.cy, s.WindowExt.cy) + s.ViewportOrg.y};
}

TPointD TCanvasImpl::ToDeviceD(double X, double Y) const {
    const TDCState& s = State;
    if (s.MapMode == MM_TEXT)
        return {X - s.WindowOrg.x + s.ViewportOrg.x, Y - s.WindowOrg.y + s.ViewportOrg.y};
    return {(X - s.WindowOrg.x) * s.ViewportExt.cx / s.WindowExt.cx + s.ViewportOrg.x,
            (Y - s.WindowOrg.y) * s.ViewportExt.cy / s.WindowExt.cy + s.ViewportOrg.y};
}

TPoint TCanvasImpl::ToLogical(TPoint P) const {
    const TDCState& s = State;
    if (s.MapMode == MM_TEXT)
        return {P.x - s.ViewportOrg.x + s.WindowOrg.x, P.y - s.ViewportOrg.y + s.WindowOrg.y};
    return {RoundDiv(int64_t(P.x - s.ViewportOrg.x) * s.WindowExt.cx, s.ViewportExt.cx) + s.WindowOrg.x,
            RoundDiv(int64_t(P.y - s.ViewportOrg.y) * s.WindowExt.cy, s.ViewportExt.cy) + s.WindowOrg.y};
}

bool TCanvasImpl::Mirrored() const {
    const TDCState& s = State;
    return s.MapMode != MM_TEXT && (int64_t(s.ViewportExt.cx) * s.WindowExt.cx < 0);
}

int TCanvasImpl::ScaleX(int Len) const {
    if (State.MapMode == MM_TEXT) return Len;
    return std::abs(RoundDiv(int64_t(Len) * State.ViewportExt.cx, State.WindowExt.cx));
}

int TCanvasImpl::ScaleY(int Len) const {
    if (State.MapMode == MM_TEXT) return Len;
    return std::abs(RoundDiv(int64_t(Len) * State.ViewportExt.cy, State.WindowExt.cy));
}

uint32_t TCanvasImpl::ToPixel(TColorRef C) const {
    uint32_t p = ColorRefToPixel(C & 0xFFFFFF);
    if (Surface && Surface->Monochrome()) {
        int lum = (int((p >> 16) & 0xFF) * 30 + int((p >> 8) & 0xFF) * 59 + int(p & 0xFF) * 11) / 100;
        return lum >= 128 ? White : 0;
    }
    return p;
}

void TCanvasImpl::Select() {
    if (State.FontPending) {
        State.FontPending = false;
        State.TextColor = ColorToRGB(State.Font->Color());
    }
    if (State.BrushPending) {
        State.BrushPending = false;
        State.BkColor = ColorToRGB(State.Brush->Color());
        State.BkMode = State.Brush->Style() == bsSolid ? OPAQUE : TRANSPARENT;
    }
}

TBrushPaint TCanvasImpl::MakeBrush(const TBrush& B) {
    Select();
    TBrushPaint p;
    p.OrgX = State.BrushOrg.x + DeviceOrigin.x;
    p.OrgY = State.BrushOrg.y + DeviceOrigin.y;
    p.Back = ToPixel(State.BkColor);
    p.Fore = ToPixel(State.TextColor);
    p.Opaque = State.BkMode == OPAQUE;
    if (B.HasPattern()) {
        p.K = TBrushPaint::Pattern;
        p.Pat = B.Pattern().get();
    } else if (B.Style() == bsClear) {
        p.K = TBrushPaint::None;
    } else {
        p.Color = ToPixel(ColorToRGB(B.Color()));
        if (B.Style() == bsSolid) p.K = TBrushPaint::Solid;
        else {
            p.K = TBrushPaint::Hatched;
            p.HatchStyle = B.Style();
        }
    }
    return p;
}

void TCanvasImpl::Changing() {
    if (Assigned(Owner->OnChanging)) Owner->OnChanging(Owner);
}

void TCanvasImpl::Changed() {
    if (Surface) Surface->Touch();
    if (Assigned(Owner->OnChange)) Owner->OnChange(Owner);
}

void TCanvasImpl::SurfaceSpanRop2(int SY, int A, int B, uint32_t Color, int Rop2) {
    if (Surface->Format() == TSurfaceFormat::Xrgb32 && !Surface->Monochrome()) {
        auto* row = reinterpret_cast<uint32_t*>(Surface->ScanLine(SY));
        if (Rop2 == R2_COPYPEN) std::fill(row + A, row + B, Color);
        else
            for (int x = A; x < B; ++x) row[x] = ApplyRop2(Rop2, Color, row[x] & White);
        return;
    }
    std::vector<uint32_t> buf(static_cast<size_t>(B - A));
    Surface->ReadSpan(A, SY, B - A, buf.data());
    for (auto& d : buf) d = ApplyRop2(Rop2, Color, d);
    Surface->WriteSpan(A, SY, B - A, buf.data());
}

void TCanvasImpl::SpanRop2(int Y, int X1, int X2, uint32_t Color, int Rop2) {
    ClipSpan(Y, X1, X2, [&](int sy, int a, int b) { SurfaceSpanRop2(sy, a, b, Color, Rop2); });
}

void TCanvasImpl::ColumnRop2(int X, int Y1, int Y2, uint32_t Color, int Rop2) {
    if (!Surface || Y2 <= Y1) return;
    if (!SpecialisedRasterLoops()) {
        for (int y = Y1; y < Y2; ++y) SpanRop2(y, X, X + 1, Color, Rop2);
        return;
    }
    // The clip's bands met by the column, each looked at once, not once a pixel.
    const int sx = X + DeviceOrigin.x, sy1 = Y1 + DeviceOrigin.y, sy2 = Y2 + DeviceOrigin.y;
    for (const auto& band : Effective().Bands()) {
        if (band.Bottom <= sy1) continue;
        if (band.Top >= sy2) break;
        bool inside = false;
        for (size_t i = 0; i + 1 < band.Xs.size() && !inside; i += 2)
            inside = band.Xs[i] <= sx && sx < band.Xs[i + 1];
        if (!inside) continue;
        const int y1 = std::max(band.Top, sy1), y2 = std::min(band.Bottom, sy2);
        if (Rop2 == R2_COPYPEN && Surface->Format() == TSurfaceFormat::Xrgb32 && !Surface->Monochrome()) {
            // A plain line straight down the rows, one word a row.
            uint8_t* p = Surface->ScanLine(y1) + size_t(sx) * sizeof(uint32_t);
            for (int y = y1; y < y2; ++y, p += Surface->Stride()) *reinterpret_cast<uint32_t*>(p) = Color;
            continue;
        }
        for (int y = y1; y < y2; ++y) SurfaceSpanRop2(y, sx, sx + 1, Color, Rop2);
    }
}

void TCanvasImpl::SpanBrush(int Y, int X1, int X2, const TBrushPaint& B, int Rop2) {
    if (B.K == TBrushPaint::None) return;
    if (B.K == TBrushPaint::Solid) {
        SpanRop2(Y, X1, X2, B.Color, Rop2);
        return;
    }
    ClipSpan(Y, X1, X2, [&](int sy, int a, int b) {
        std::vector<uint32_t> buf(static_cast<size_t>(b - a));
        Surface->ReadSpan(a, sy, b - a, buf.data());
        for (int x = a; x < b; ++x) {
            uint32_t p;
            if (B.At(x, sy, p)) buf[size_t(x - a)] = ApplyRop2(Rop2, p, buf[size_t(x - a)]);
        }
        Surface->WriteSpan(a, sy, b - a, buf.data());
    });
}

void TCanvasImpl::RectBrush(const TRect& R, const TBrushPaint& B, int Rop2) {
    if (B.K == TBrushPaint::Solid && SpecialisedRasterLoops() && Surface) {
        // The clip's bands met by the rectangle, each looked at once, not
        // once a row: a grid fills thousands of small cells per paint.
        const int sx1 = R.Left + DeviceOrigin.x, sx2 = R.Right + DeviceOrigin.x;
        const int sy1 = R.Top + DeviceOrigin.y, sy2 = R.Bottom + DeviceOrigin.y;
        if (sx2 <= sx1) return;
        for (const auto& band : Effective().Bands()) {
            if (band.Bottom <= sy1) continue;
            if (band.Top >= sy2) break;
            const int y1 = std::max(band.Top, sy1), y2 = std::min(band.Bottom, sy2);
            for (size_t i = 0; i + 1 < band.Xs.size(); i += 2) {
                const int a = std::max(band.Xs[i], sx1), b = std::min(band.Xs[i + 1], sx2);
                if (a < b)
                    for (int y = y1; y < y2; ++y) SurfaceSpanRop2(y, a, b, B.Color, Rop2);
            }
        }
        return;
    }
    for (int y = R.Top; y < R.Bottom; ++y) SpanBrush(y, R.Left, R.Right, B, Rop2);
}

void TCanvasImpl::Rows(int Top, const std::vector<std::vector<int32_t>>& Rs, const TBrushPaint& B, int Rop2) {
    for (size_t i = 0; i < Rs.size(); ++i)
        for (size_t k = 0; k + 1 < Rs[i].size(); k += 2)
            SpanBrush(Top + int(i), Rs[i][k], Rs[i][k + 1], B, Rop2);
}

void TCanvasImpl::RegionBrush(const TRegion& R, const TBrushPaint& B, int Rop2) {
    for (const auto& band : R.Bands())
        for (int y = band.Top; y < band.Bottom; ++y)
            for (size_t k = 0; k + 1 < band.Xs.size(); k += 2)
                SpanBrush(y, band.Xs[k], band.Xs[k + 1], B, Rop2);
}

void TCanvasImpl::PixelRop2(int X, int Y, uint32_t Color, int Rop2) { SpanRop2(Y, X, X + 1, Color, Rop2); }

int TCanvasImpl::PenWidth() const {
    int w = State.Pen->Width();
    return w <= 1 ? 1 : std::max(1, ScaleX(w));
}

void TCanvasImpl::PenPolyline(const std::vector<TPoint>& Pts, bool Closed) {
    if (!PenVisible() || Pts.empty()) return;
    Select();
    const TPen& pen = *State.Pen;
    uint32_t color = ToPixel(ColorToRGB(pen.Color()));
    uint32_t back = ToPixel(State.BkColor);
    int rop = PenModeToRop2(pen.Mode());
    std::span<const int> dash = DashPattern(pen.Style());
    int total = 0;
    for (int d : dash) total += d;
    int w = PenWidth();
    int step = 0;
    // Which part of the style a pixel falls in: on, a gap, and whether gaps are painted.
    auto styleOn = [&](bool& gap) {
        gap = false;
        if (total == 0) return true;
        int unit = pen.Style() == psAlternate ? 1 : w;
        int pos = (step / unit) % total;
        for (size_t i = 0; i < dash.size(); ++i) {
            if (pos < dash[i]) {
                gap = (i % 2) == 1;
                return !gap;
            }
            pos -= dash[i];
        }
        return true;
    };
    size_t n = Pts.size();
    size_t segments = Closed ? n : n - 1;
    if (w == 1) {
        for (size_t i = 0; i < segments; ++i) {
            TPoint a = Pts[i], b = Pts[(i + 1) % n];
            if (total == 0 && a.y == b.y && a.x != b.x) {
                // A solid horizontal line is one span.
                int x1 = a.x < b.x ? a.x : b.x + 1, x2 = a.x < b.x ? b.x : a.x + 1;
                SpanRop2(a.y, x1, x2, color, rop);
                continue;
            }
            if (total == 0 && a.x == b.x && a.y != b.y) {
                // A solid vertical line is one column (the grids draw hundreds).
                int y1 = a.y < b.y ? a.y : b.y + 1, y2 = a.y < b.y ? b.y : a.y + 1;
                ColumnRop2(a.x, y1, y2, color, rop);
                continue;
            }
            WalkLine(a.x, a.y, b.x, b.y, [&](int x, int y) {
                bool gap;
                if (styleOn(gap)) PixelRop2(x, y, color, rop);
                else if (gap && State.BkMode == OPAQUE) PixelRop2(x, y, back, rop);
                ++step;
            });
        }
        return;
    }
    // A wide pen: a disc (round ends) or a square stamped along the path.
    TRowSet set;
    int r0 = (w - 1) / 2, r1 = w - 1 - r0;
    bool square = pen.Cap() != pcRound;
    auto stamp = [&](int cx, int cy) {
        double c = (r1 - r0) / 2.0, radius = w / 2.0;
        for (int dy = -r0; dy <= r1; ++dy) {
            if (square) {
                set.Add(cy + dy, cx - r0, cx + r1 + 1);
                continue;
            }
            double fy = dy - c;
            double half = std::sqrt(std::max(0.0, radius * radius - fy * fy));
            set.Add(cy + dy, cx + int(std::ceil(c - half - 1e-9)), cx + int(std::floor(c + half + 1e-9)) + 1);
        }
    };
    for (size_t i = 0; i < segments; ++i) {
        TPoint a = Pts[i], b = Pts[(i + 1) % n];
        WalkLine(a.x, a.y, b.x, b.y, [&](int x, int y) {
            bool gap;
            if (styleOn(gap)) stamp(x, y);
            ++step;
        });
    }
    if (!Closed) stamp(Pts.back().x, Pts.back().y);
    int top;
    auto rows = set.Rows(top);
    TBrushPaint p;
    p.K = TBrushPaint::Solid;
    p.Color = color;
    Rows(top, rows, p, rop);
}

void TCanvasImpl::Figure(int Top, const std::vector<std::vector<int32_t>>& Outer, int InnerTop,
                         const std::vector<std::vector<int32_t>>& Inner) {
    int rop = PenModeToRop2(State.Pen->Mode());
    Rows(InnerTop, Inner, MakeBrush(*State.Brush), rop);
    if (!PenVisible()) return;
    TBrushPaint pen;
    pen.K = TBrushPaint::Solid;
    pen.Color = ToPixel(ColorToRGB(State.Pen->Color()));
    Rows(Top, SubtractRows(Top, Outer, InnerTop, Inner), pen, rop);
}

bool TCanvasImpl::BlitPerPixel(int DX, int DY, int DW, int DH, TCanvasImpl* Src, int SX, int SY, int SW,
                               int SH, uint32_t Rop, const TSurface* Mask, int MX, int MY, bool UseKey,
                               uint32_t Key) {
    if (!Surface || DW == 0 || DH == 0) return false;
    uint8_t fore = uint8_t(Rop >> 16), back = Mask ? uint8_t(Rop >> 24) : fore;
    bool needS = RopUsesSource(fore) || RopUsesSource(back) || UseKey;
    const TSurface* ss = nullptr;
    int sox = 0, soy = 0;
    if (needS) {
        if (!Src || !Src->Surface || SW == 0 || SH == 0) return false;
        ss = Src->Surface;
        sox = Src->DeviceOrigin.x;
        soy = Src->DeviceOrigin.y;
    }
    // Mirroring: a negative size on one side only flips the copy.
    bool flipX = (DW < 0) != (SW < 0), flipY = (DH < 0) != (SH < 0);
    // A negative size counts back from the given corner, which stays inside:
    // (w - 1, 0, -w, h) covers the same columns as (0, 0, w, h).
    int dl = DW < 0 ? DX + DW + 1 : DX, dt = DH < 0 ? DY + DH + 1 : DY, dw = std::abs(DW), dh = std::abs(DH);
    int sl = SW < 0 ? SX + SW + 1 : SX, st = SH < 0 ? SY + SH + 1 : SY, sw = std::abs(SW), sh = std::abs(SH);
    if (!needS) {
        sw = dw;
        sh = dh;
    }
    bool dstMono = Surface->Monochrome();
    bool srcMono = ss && ss->Monochrome();
    Select();
    if (Src) Src->Select();
    uint32_t textPx = ToPixel(State.TextColor), bkPx = ToPixel(State.BkColor);
    uint32_t srcBk = Src ? ColorRefToPixel(Src->State.BkColor) : White;
    TBrushPaint brush = MakeBrush(*State.Brush);
    bool needP = RopUsesPattern(fore) || RopUsesPattern(back);
    bool same = ss == Surface;
    // The source rows, copied first when source and destination share pixels.
    std::vector<uint32_t> copy;
    int copyL = sl + sox, copyT = st + soy;
    auto srcPixel = [&](int x, int y, bool& ok) -> uint32_t {
        int px = x + sox, py = y + soy;
        ok = px >= 0 && py >= 0 && px < ss->Width() && py < ss->Height();
        if (!ok) return 0;
        if (same) return copy[size_t(py - copyT) * size_t(sw) + size_t(px - copyL)];
        return ss->GetPixel(px, py);
    };
    if (needS && same) {
        copy.assign(size_t(sw) * size_t(sh), 0);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x)
                copy[size_t(y) * size_t(sw) + size_t(x)] = ss->GetPixel(copyL + x, copyT + y);
    }
    // Stretching combines the source pixels that fall together; COLORONCOLOR
    // and HALFTONE keep one of them, the other modes AND or OR them.
    int mode = State.StretchMode;
    bool combine = (sw > dw || sh > dh) && (mode == BLACKONWHITE || mode == WHITEONBLACK);
    std::vector<uint32_t> row, srow;
    bool direct = !flipX && !flipY && sw == dw && sh == dh && !Mask && !UseKey && srcMono == dstMono;
    for (int j = 0; j < dh; ++j) {
        int dy = dt + j;
        int jj = flipY ? dh - 1 - j : j;
        int sy0 = st + int(int64_t(jj) * sh / dh), sy1 = st + int(int64_t(jj + 1) * sh / dh);
        if (sy1 <= sy0) sy1 = sy0 + 1;
        ClipSpan(dy, dl, dl + dw, [&](int sy, int a, int b) {
            row.resize(size_t(b - a));
            if (direct) {
                // Same size, no mirror, no mask: whole spans at a time.
                int sx = sl + (a - DeviceOrigin.x - dl) + sox, syy = sy0 + soy;
                bool inside =
                    !needS || (sx >= 0 && syy >= 0 && sx + (b - a) <= ss->Width() && syy < ss->Height());
                if (inside) {
                    if (needS) {
                        srow.resize(size_t(b - a));
                        if (same)
                            std::copy_n(copy.begin() +
                                            long(size_t(syy - copyT) * size_t(sw) + size_t(sx - copyL)),
                                        b - a, srow.begin());
                        else ss->ReadSpan(sx, syy, b - a, srow.data());
                    }
                    if (fore == 0xCC) {
                        Surface->WriteSpan(a, sy, b - a, srow.data());
                        return;
                    }
                    if (fore == 0xF0 && brush.K == TBrushPaint::Solid) {
                        // A solid pattern copied: the span takes its colour.
                        std::fill(row.begin(), row.end(), brush.Color);
                        Surface->WriteSpan(a, sy, b - a, row.data());
                        return;
                    }
                    Surface->ReadSpan(a, sy, b - a, row.data());
                    for (int x = a; x < b; ++x) {
                        uint32_t p = 0;
                        if (needP && !brush.At(x, sy, p)) p = 0;
                        uint32_t sv = needS ? srow[size_t(x - a)] : 0;
                        row[size_t(x - a)] = ApplyRop3(fore, p, sv, row[size_t(x - a)]);
                    }
                    Surface->WriteSpan(a, sy, b - a, row.data());
                    return;
                }
            }
            Surface->ReadSpan(a, sy, b - a, row.data());
            for (int x = a; x < b; ++x) {
                int i = x - DeviceOrigin.x - dl;
                int ii = flipX ? dw - 1 - i : i;
                uint32_t s = 0;
                bool ok = true;
                if (needS) {
                    int sx0 = sl + int(int64_t(ii) * sw / dw);
                    s = srcPixel(sx0, sy0, ok);
                    if (!ok) continue;
                    if (combine) {
                        int sx1 = std::max(sl + int(int64_t(ii + 1) * sw / dw), sx0 + 1);
                        for (int yy = sy0; yy < sy1; ++yy)
                            for (int xx = sx0; xx < sx1; ++xx) {
                                bool ok2;
                                uint32_t v = srcPixel(xx, yy, ok2);
                                if (!ok2) continue;
                                s = mode == BLACKONWHITE ? (s & v) : (s | v);
                            }
                    }
                    if (UseKey && s == Key) continue;
                    // Monochrome to colour: 0 is the text colour, 1 the background;
                    // colour to monochrome: the source's background colour is white.
                    if (srcMono && !dstMono) s = s == White ? bkPx : textPx;
                    else if (!srcMono && dstMono) s = s == srcBk ? White : 0;
                }
                uint32_t p = 0;
                if (needP && !brush.At(x, sy, p)) p = 0;
                uint8_t code = fore;
                if (Mask) {
                    int mx = MX + ii, my = MY + (flipY ? dh - 1 - j : j);
                    code = Mask->GetPixel(mx, my) == White ? fore : back;
                }
                row[size_t(x - a)] = ApplyRop3(code, p, s, row[size_t(x - a)]);
            }
            Surface->WriteSpan(a, sy, b - a, row.data());
        });
    }
    return true;
}

// --- TCanvas: the device ---
TCanvas::TCanvas() : F(std::make_unique<TCanvasImpl>(this)) {
    // The state's font and brush are never replaced (restoring a saved state
    // assigns into them), so these hooks last as long as the canvas.
    TCanvasImpl* impl = F.get();
    F->State.Font->OnChange = TNotifyEvent([impl](TObject*) {
        impl->State.FontPending = true;
        impl->FitFont();
    });
    F->State.Brush->OnChange = TNotifyEvent([impl](TObject*) { impl->State.BrushPending = true; });
}

TCanvas::TCanvas(TSurface* Surface) : TCanvas() { SetSurface(Surface); }

TCanvas::~TCanvas() = default;

TSurface* TCanvas::Surface() const { return F->Surface; }

void TCanvas::SetSurface(TSurface* Surface) {
    F->Surface = Surface;
    F->DeviceOrigin = {0, 0};
    F->DeviceClip.reset();
    F->InvalidateClip();
}

void TCanvas::SetTextLayer(TTextLayer* Layer) { F->TextLayer = Layer; }

int TCanvas::PixelsPerInch() const { return F->PixelsPerInch; }

void TCanvas::SetPixelsPerInch(int Value) {
    if (Value <= 0 || Value == F->PixelsPerInch) return;
    F->PixelsPerInch = Value;
    F->FitFont();
}

int TCanvas::BitsPerPixel() const { return F->BitsPerPixel; }

void TCanvas::SetBitsPerPixel(int Value) {
    if (Value > 0) F->BitsPerPixel = Value;
}

int GetDeviceCaps(const TCanvas* DC, int Index) {
    if (!DC) return 0;
    const TSurface* S = DC->Surface();
    switch (Index) {
    case BITSPIXEL: return DC->BitsPerPixel();
    case PLANES: return 1;
    case HORZRES: return S ? S->Width() : 0;
    case VERTRES: return S ? S->Height() : 0;
    case LOGPIXELSX:
    case LOGPIXELSY: return DC->PixelsPerInch();
    default: return 0;
    }
}

void TCanvasImpl::FitFont() {
    TFont& font = *State.Font;
    if (font.PixelsPerInch() == PixelsPerInch) return;
    // Size first, at the old resolution: the same points give more pixels on
    // a finer device. Setting the size calls back here, now with nothing to do.
    int size = font.Size();
    font.SetPixelsPerInch(PixelsPerInch);
    font.SetSize(size);
}

void TCanvas::SetDeviceOrigin(TPoint Origin) {
    F->DeviceOrigin = Origin;
    F->InvalidateClip();
}

TPoint TCanvas::DeviceOrigin() const { return F->DeviceOrigin; }

const TRegion* TCanvas::DeviceClip() const { return F->DeviceClip ? &*F->DeviceClip : nullptr; }

void TCanvas::SetDeviceClip(const TRegion* Visible) {
    if (Visible) F->DeviceClip = *Visible;
    else F->DeviceClip.reset();
    F->InvalidateClip();
}

void TCanvas::ResetState() {
    F->State = TDCState();
    F->Saved.clear();
    F->Path.clear();
    F->PathOpen = F->PathDone = false;
    F->InvalidateClip();
}

void TCanvas::ResetDeviceState() {
    TPen pen;
    TBrush brush;
    TFont font;
    pen.Assign(Pen());
    brush.Assign(Brush());
    font.Assign(Font());
    ResetState();
    Pen()->Assign(&pen);
    Brush()->Assign(&brush);
    Font()->Assign(&font);
}

void TCanvas::Refresh() {
    F->State.FontPending = true;
    F->State.BrushPending = true;
}

TPen* TCanvas::Pen() const { return F->State.Pen.get(); }
TBrush* TCanvas::Brush() const { return F->State.Brush.get(); }
TFont* TCanvas::Font() const { return F->State.Font.get(); }

// --- device state ---
// The direct colour calls first select what changed, so that the colour they
// set is not overridden by a font or brush chosen before them.
TColorRef TCanvas::SetTextColor(TColor Color) {
    F->Select();
    TColorRef old = F->State.TextColor;
    F->State.TextColor = ColorToRGB(Color);
    return old;
}
TColorRef TCanvas::GetTextColor() const {
    F->Select();
    return F->State.TextColor;
}
TColorRef TCanvas::SetBkColor(TColor Color) {
    F->Select();
    TColorRef old = F->State.BkColor;
    F->State.BkColor = ColorToRGB(Color);
    return old;
}
TColorRef TCanvas::GetBkColor() const {
    F->Select();
    return F->State.BkColor;
}
int TCanvas::SetBkMode(int Mode) {
    F->Select();
    int old = F->State.BkMode;
    if (Mode == TRANSPARENT || Mode == OPAQUE) F->State.BkMode = Mode;
    return old;
}
int TCanvas::GetBkMode() const {
    F->Select();
    return F->State.BkMode;
}
int TCanvas::SetROP2(int Rop2) {
    int old = PenModeToRop2(F->State.Pen->Mode());
    if (Rop2 >= R2_BLACK && Rop2 <= R2_WHITE) F->State.Pen->SetMode(Rop2ToPenMode(Rop2));
    return old;
}
int TCanvas::GetROP2() const { return PenModeToRop2(F->State.Pen->Mode()); }
int TCanvas::SetStretchBltMode(int Mode) {
    int old = F->State.StretchMode;
    if (Mode >= BLACKONWHITE && Mode <= HALFTONE) F->State.StretchMode = Mode;
    return old;
}
int TCanvas::GetStretchBltMode() const { return F->State.StretchMode; }
int TCanvas::SetPolyFillMode(int Mode) {
    int old = F->State.PolyFillMode;
    if (Mode == ALTERNATE || Mode == WINDING) F->State.PolyFillMode = Mode;
    return old;
}
int TCanvas::GetPolyFillMode() const { return F->State.PolyFillMode; }
uint32_t TCanvas::SetTextAlign(uint32_t Align) {
    uint32_t old = F->State.TextAlign;
    F->State.TextAlign = Align;
    return old;
}
uint32_t TCanvas::GetTextAlign() const { return F->State.TextAlign; }
int TCanvas::SetTextCharacterExtra(int Extra) {
    int old = F->State.CharExtra;
    F->State.CharExtra = Extra;
    return old;
}
int TCanvas::GetTextCharacterExtra() const { return F->State.CharExtra; }
TPoint TCanvas::SetBrushOrg(TPoint Origin) {
    TPoint old = F->State.BrushOrg;
    F->State.BrushOrg = Origin;
    return old;
}
uint32_t TCanvas::CopyMode() const { return F->State.CopyMode; }
void TCanvas::SetCopyMode(uint32_t Rop) { F->State.CopyMode = Rop; }
uint32_t TCanvas::TextFlags() const { return F->State.TextFlags; }
void TCanvas::SetTextFlags(uint32_t Flags) { F->State.TextFlags = Flags; }

// --- mapping ---
int TCanvas::SetMapMode(int Mode) {
    int old = F->State.MapMode;
    if (Mode != MM_TEXT && Mode != MM_ANISOTROPIC && Mode != MM_ISOTROPIC) return 0;
    F->State.MapMode = Mode;
    if (Mode == MM_TEXT) {
        F->State.WindowExt = {1, 1};
        F->State.ViewportExt = {1, 1};
    }
    return old;
}
int TCanvas::GetMapMode() const { return F->State.MapMode; }
TPoint TCanvas::SetWindowOrg(TPoint Origin) {
    TPoint old = F->State.WindowOrg;
    F->State.WindowOrg = Origin;
    return old;
}
TPoint TCanvas::SetViewportOrg(TPoint Origin) {
    TPoint old = F->State.ViewportOrg;
    F->State.ViewportOrg = Origin;
    return old;
}
TSize TCanvas::SetWindowExt(TSize Extent) {
    TSize old = F->State.WindowExt;
    // Extents count only in the scaled modes, and never as 0.
    if (F->State.MapMode != MM_TEXT && Extent.cx != 0 && Extent.cy != 0) F->State.WindowExt = Extent;
    return old;
}
TSize TCanvas::SetViewportExt(TSize Extent) {
    TSize old = F->State.ViewportExt;
    if (F->State.MapMode != MM_TEXT && Extent.cx != 0 && Extent.cy != 0) F->State.ViewportExt = Extent;
    return old;
}
TPoint TCanvas::GetWindowOrg() const { return F->State.WindowOrg; }
TPoint TCanvas::GetViewportOrg() const { return F->State.ViewportOrg; }
TSize TCanvas::GetWindowExt() const { return F->State.WindowExt; }
TSize TCanvas::GetViewportExt() const { return F->State.ViewportExt; }
void TCanvas::LPtoDP(std::span<TPoint> Points) const {
    for (auto& p : Points) p = F->ToDevice(p);
}
void TCanvas::DPtoLP(std::span<TPoint> Points) const {
    for (auto& p : Points) p = F->ToLogical(p);
}
TPoint TCanvas::LPtoDP(TPoint P) const { return F->ToDevice(P); }
TPoint TCanvas::DPtoLP(TPoint P) const { return F->ToLogical(P); }
TRect TCanvas::LPtoDP(const TRect& R) const {
    return NormalizedRect(TRect(F->ToDevice(R.TopLeft()), F->ToDevice(R.BottomRight())));
}
TRect TCanvas::DPtoLP(const TRect& R) const {
    return NormalizedRect(TRect(F->ToLogical(R.TopLeft()), F->ToLogical(R.BottomRight())));
}

// --- clipping ---
namespace {
TRect DeviceBounds(const TCanvasImpl& F) {
    if (F.DeviceClip) return F.DeviceClip->Box();
    if (F.Surface)
        return {-F.DeviceOrigin.x, -F.DeviceOrigin.y, F.Surface->Width() - F.DeviceOrigin.x,
                F.Surface->Height() - F.DeviceOrigin.y};
    return {-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};
}
}  // namespace

int TCanvas::SelectClipRgn(const TRegion* Region) { return ExtSelectClipRgn(Region, RGN_COPY); }

int TCanvas::ExtSelectClipRgn(const TRegion* Region, int Mode) {
    auto& clip = F->State.Clip;
    if (Mode == RGN_COPY) {
        if (Region) clip = *Region;
        else clip.reset();
    } else {
        if (!Region || Mode < RGN_AND || Mode > RGN_DIFF) return RGN_ERROR;
        TRegion current = clip ? *clip : TRegion(DeviceBounds(*F));
        clip = TRegion::Combine(current, *Region, Mode);
    }
    F->InvalidateClip();
    return clip ? clip->Kind() : SIMPLEREGION;
}

int TCanvas::IntersectClipRect(int Left, int Top, int Right, int Bottom) {
    TRegion r(LPtoDP(TRect{Left, Top, Right, Bottom}));
    return ExtSelectClipRgn(&r, RGN_AND);
}

int TCanvas::ExcludeClipRect(int Left, int Top, int Right, int Bottom) {
    TRegion r(LPtoDP(TRect{Left, Top, Right, Bottom}));
    return ExtSelectClipRgn(&r, RGN_DIFF);
}

int TCanvas::OffsetClipRgn(int Dx, int Dy) {
    auto& clip = F->State.Clip;
    if (clip) {
        clip->Offset(F->ScaleX(Dx) * (F->Mirrored() ? -1 : 1), F->ScaleY(Dy));
        F->InvalidateClip();
        return clip->Kind();
    }
    return SIMPLEREGION;
}

int TCanvas::GetClipRgn(TRegion& Region) const {
    if (!F->State.Clip) return 0;
    Region = *F->State.Clip;
    return 1;
}

int TCanvas::GetClipBox(TRect& Box) const {
    const TRegion& eff = F->Effective();
    TRect b = eff.Box();
    OffsetRect(b, -F->DeviceOrigin.x, -F->DeviceOrigin.y);
    Box = DPtoLP(b);
    return eff.Kind();
}

TRect TCanvas::ClipRect() const {
    TRect r;
    GetClipBox(r);
    return r;
}

bool TCanvas::RectVisible(const TRect& R) const {
    TRect d = LPtoDP(R);
    OffsetRect(d, F->DeviceOrigin.x, F->DeviceOrigin.y);
    return F->Effective().Intersects(d);
}

bool TCanvas::PtVisible(int X, int Y) const {
    TPoint d = F->ToDevice({X, Y});
    return F->Effective().Contains(d.x + F->DeviceOrigin.x, d.y + F->DeviceOrigin.y);
}

// --- saved states ---
int TCanvas::SaveDC() {
    F->Saved.push_back(F->State);
    return int(F->Saved.size());
}

bool TCanvas::RestoreDC(int Saved) {
    int depth = int(F->Saved.size());
    int target = Saved < 0 ? depth + Saved + 1 : Saved;
    if (target < 1 || target > depth) return false;
    F->State = F->Saved[size_t(target - 1)];
    F->Saved.resize(size_t(target - 1));
    F->InvalidateClip();
    return true;
}

// --- figures ---
TPoint TCanvas::PenPos() const { return F->State.PenPos; }

namespace {
void PathPoint(TCanvasImpl& F, TPoint Logical, bool NewFigure) {
    TPoint d = F.ToDevice(Logical);
    if (NewFigure || F.Path.empty() || F.Path.back().Closed) F.Path.push_back({});
    F.Path.back().Points.push_back({double(d.x), double(d.y)});
}
void PathClosed(TCanvasImpl& F, std::span<const TPoint> Logical) {
    TPathFigure fig;
    for (const TPoint& p : Logical) {
        TPoint d = F.ToDevice(p);
        fig.Points.push_back({double(d.x), double(d.y)});
    }
    fig.Closed = true;
    F.Path.push_back(std::move(fig));
}
}  // namespace

void TCanvas::MoveTo(int X, int Y) {
    F->State.PenPos = {X, Y};
    if (F->PathOpen) PathPoint(*F, {X, Y}, true);
}

void TCanvas::LineTo(int X, int Y) {
    TPoint from = F->State.PenPos;
    F->State.PenPos = {X, Y};
    if (F->PathOpen) {
        if (F->Path.empty() || F->Path.back().Closed) PathPoint(*F, from, true);
        PathPoint(*F, {X, Y}, false);
        return;
    }
    F->Changing();
    F->PenPolyline({F->ToDevice(from), F->ToDevice({X, Y})}, false);
    F->Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
    if (Points.size() < 2) return;
    if (F->PathOpen) {
        PathPoint(*F, Points[0], true);
        for (size_t i = 1; i < Points.size(); ++i) PathPoint(*F, Points[i], false);
        return;
    }
    std::vector<TPoint> d;
    d.reserve(Points.size());
    for (const TPoint& p : Points) d.push_back(F->ToDevice(p));
    F->Changing();
    F->PenPolyline(d, false);
    F->Changed();
}

void TCanvas::PolyPolyline(std::span<const TPoint> Points, std::span<const int> Counts) {
    size_t at = 0;
    for (int n : Counts) {
        if (n < 0 || at + size_t(n) > Points.size()) break;
        Polyline(Points.subspan(at, size_t(n)));
        at += size_t(n);
    }
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
    int n = int(Points.size());
    PolyPolygon(Points, std::span<const int>(&n, 1));
}

void TCanvas::PolyPolygon(std::span<const TPoint> Points, std::span<const int> Counts) {
    if (F->PathOpen) {
        size_t at = 0;
        for (int n : Counts) {
            if (n < 0 || at + size_t(n) > Points.size()) break;
            PathClosed(*F, Points.subspan(at, size_t(n)));
            at += size_t(n);
        }
        return;
    }
    std::vector<TPoint> d;
    for (const TPoint& p : Points) d.push_back(F->ToDevice(p));
    F->Changing();
    int top;
    auto rows = ScanEdges(PolygonEdges(d, Counts), F->State.PolyFillMode, top);
    F->Rows(top, rows, F->MakeBrush(*F->State.Brush), PenModeToRop2(F->State.Pen->Mode()));
    size_t at = 0;
    for (int n : Counts) {
        if (n < 2 || at + size_t(n) > d.size()) break;
        F->PenPolyline(std::vector<TPoint>(d.begin() + long(at), d.begin() + long(at) + n), true);
        at += size_t(n);
    }
    F->Changed();
}

namespace {
// The pen area and the brush area of a box figure: the pen runs inside the
// box (a wide pen is centred on its edge unless it is an inside-frame pen);
// without a pen the brush covers one pixel less at the right and bottom.
void FigureBoxes(const TCanvasImpl& F, const TRect& Box, TRect& Outer, TRect& Inner) {
    Outer = Box;
    if (!F.PenVisible()) {
        Outer.Right -= 1;
        Outer.Bottom -= 1;
        Inner = Outer;
        return;
    }
    int w = F.PenWidth();
    if (w > 1 && F.State.Pen->Style() != psInsideFrame) {
        int a = (w - 1) / 2, b = w - 1 - a;
        Outer = {Box.Left - a, Box.Top - a, Box.Right + b, Box.Bottom + b};
    }
    Inner = Outer;
    InflateRect(Inner, -w, -w);
    if (Inner.Right < Inner.Left) Inner.Right = Inner.Left;
    if (Inner.Bottom < Inner.Top) Inner.Bottom = Inner.Top;
}
}  // namespace

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    if (F->PathOpen) {
        TPoint pts[4] = {{X1, Y1}, {X2, Y1}, {X2, Y2}, {X1, Y2}};
        PathClosed(*F, pts);
        return;
    }
    TRect box = LPtoDP(TRect{X1, Y1, X2, Y2});
    TRect outer, inner;
    FigureBoxes(*F, box, outer, inner);
    F->Changing();
    int rop = PenModeToRop2(F->State.Pen->Mode());
    F->RectBrush(inner, F->MakeBrush(*F->State.Brush), rop);
    if (F->PenVisible() && !IsRectEmpty(outer)) {
        if (F->PenWidth() == 1) {
            std::vector<TPoint> path = {{outer.Left, outer.Top},
                                        {outer.Right - 1, outer.Top},
                                        {outer.Right - 1, outer.Bottom - 1},
                                        {outer.Left, outer.Bottom - 1}};
            if (outer.Width() == 1 || outer.Height() == 1) {
                TBrushPaint p;
                p.K = TBrushPaint::Solid;
                p.Color = F->ToPixel(ColorToRGB(F->State.Pen->Color()));
                F->RectBrush(outer, p, rop);
            } else {
                F->PenPolyline(path, true);
            }
        } else {
            TRegion ring = TRegion::Combine(TRegion(outer), TRegion(inner), RGN_DIFF);
            TBrushPaint p;
            p.K = TBrushPaint::Solid;
            p.Color = F->ToPixel(ColorToRGB(F->State.Pen->Color()));
            F->RegionBrush(ring, p, rop);
        }
    }
    F->Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int EllipseWidth, int EllipseHeight) {
    TRect box = LPtoDP(TRect{X1, Y1, X2, Y2});
    int ew = F->ScaleX(std::abs(EllipseWidth)), eh = F->ScaleY(std::abs(EllipseHeight));
    TRect outer, inner;
    FigureBoxes(*F, box, outer, inner);
    int w = F->PenVisible() ? F->PenWidth() : 0;
    F->Changing();
    auto o = RoundRectRows(outer, ew, eh);
    auto i = RoundRectRows(inner, std::max(0, ew - 2 * w), std::max(0, eh - 2 * w));
    if (F->PenVisible()) F->Figure(outer.Top, o, inner.Top, i);
    else F->Rows(outer.Top, o, F->MakeBrush(*F->State.Brush), PenModeToRop2(F->State.Pen->Mode()));
    F->Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    if (F->PathOpen) {
        // In a path the ellipse is its outline as a polygon of short chords.
        std::vector<TPoint> pts;
        double cx = (X1 + X2) / 2.0, cy = (Y1 + Y2) / 2.0, rx = std::abs(X2 - X1) / 2.0,
               ry = std::abs(Y2 - Y1) / 2.0;
        for (int k = 0; k < 64; ++k) {
            double a = k * 2 * std::numbers::pi / 64;
            pts.push_back({int(std::lround(cx + rx * std::cos(a))), int(std::lround(cy - ry * std::sin(a)))});
        }
        PathClosed(*F, pts);
        return;
    }
    RoundRect(X1, Y1, X2, Y2, std::abs(X2 - X1), std::abs(Y2 - Y1));
}

namespace {
enum class TArcKind { Arc, Pie, Chord };

// Angle of a point around a centre, counter-clockwise on the screen, in [0, 2 pi).
double ScreenAngle(double Dx, double Dy) {
    double a = std::atan2(-Dy, Dx);
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

void ArcFigure(TCanvasImpl& F, TArcKind Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4,
               int Y4) {
    TRect box = NormalizedRect(TRect(F.ToDevice({X1, Y1}), F.ToDevice({X2, Y2})));
    if (IsRectEmpty(box)) return;
    TPoint s = F.ToDevice({X3, Y3}), e = F.ToDevice({X4, Y4});
    double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    double a0 = ScreenAngle(s.x - cx, s.y - cy), a1 = ScreenAngle(e.x - cx, e.y - cy);
    if (F.Mirrored()) std::swap(a0, a1);
    double sweep = a1 - a0;
    if (sweep <= 0) sweep += 2 * std::numbers::pi;
    auto inSector = [&](double px, double py) {
        double a = ScreenAngle(px - cx, py - cy) - a0;
        if (a < 0) a += 2 * std::numbers::pi;
        return a <= sweep;
    };
    // The point where a ray leaves the ellipse.
    double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    auto onEllipse = [&](double a) {
        return TPoint{int(std::lround(cx - 0.5 + rx * std::cos(a))),
                      int(std::lround(cy - 0.5 - ry * std::sin(a)))};
    };
    TPoint ps = onEllipse(a0), pe = onEllipse(a0 + sweep);
    // The chord's side: points on the same side of the chord as the arc's middle.
    double am = a0 + sweep / 2;
    double mx = cx + rx * std::cos(am), my = cy - ry * std::sin(am);
    auto side = [&](double px, double py) {
        return (pe.x + 0.5 - ps.x - 0.5) * (py - ps.y - 0.5) - (pe.y - ps.y) * (px - ps.x - 0.5);
    };
    double ms = side(mx, my);
    TRect outer, inner;
    FigureBoxes(F, box, outer, inner);
    int w = F.PenVisible() ? F.PenWidth() : 0;
    auto filter = [&](const TRect& b, int Ew, int Eh, bool Interior) {
        std::vector<std::vector<int32_t>> rows;
        for (int y = b.Top; y < b.Bottom; ++y) {
            std::vector<int32_t> row;
            int l, r;
            if (RoundRectRow(b, Ew, Eh, y, l, r)) {
                int runStart = INT32_MIN;
                for (int x = l; x <= r; ++x) {
                    bool in = false;
                    if (x < r) {
                        double px = x + 0.5, py = y + 0.5;
                        if (Kind == TArcKind::Chord && Interior)
                            in = sweep >= 2 * std::numbers::pi - 1e-12 || (side(px, py) * ms >= 0);
                        else in = inSector(px, py);
                    }
                    if (in && runStart == INT32_MIN) runStart = x;
                    if (!in && runStart != INT32_MIN) {
                        row.push_back(runStart);
                        row.push_back(x);
                        runStart = INT32_MIN;
                    }
                }
            }
            rows.push_back(std::move(row));
        }
        return rows;
    };
    int rop = PenModeToRop2(F.State.Pen->Mode());
    if (Kind != TArcKind::Arc) {
        auto fill = filter(inner, inner.Width(), inner.Height(), true);
        F.Rows(inner.Top, fill, F.MakeBrush(*F.State.Brush), rop);
    }
    if (!F.PenVisible()) return;
    // The curved part of the outline: the ring between the two ellipses, within the sector.
    auto o = filter(outer, outer.Width(), outer.Height(), false);
    auto i = RoundRectRows(inner, inner.Width(), inner.Height());
    TBrushPaint pen;
    pen.K = TBrushPaint::Solid;
    pen.Color = F.ToPixel(ColorToRGB(F.State.Pen->Color()));
    F.Rows(outer.Top, SubtractRows(outer.Top, o, inner.Top, i), pen, rop);
    (void)w;
    if (Kind == TArcKind::Pie) {
        TPoint c{int(std::floor(cx)), int(std::floor(cy))};
        F.PenPolyline({ps, c, pe}, false);
    } else if (Kind == TArcKind::Chord) {
        F.PenPolyline({pe, ps}, false);
    }
}
}  // namespace

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    F->Changing();
    ArcFigure(*F, TArcKind::Arc, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    F->Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    F->Changing();
    ArcFigure(*F, TArcKind::Pie, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    F->Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    F->Changing();
    ArcFigure(*F, TArcKind::Chord, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    F->Changed();
}

void TCanvas::FillRect(const TRect& R) { FillRect(R, *F->State.Brush); }

void TCanvas::FillRect(const TRect& R, const TBrush& Brush) {
    F->Changing();
    F->RectBrush(LPtoDP(R), F->MakeBrush(Brush), R2_COPYPEN);
    F->Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    TRect d = LPtoDP(R);
    if (IsRectEmpty(d)) return;
    F->Changing();
    TBrushPaint b = F->MakeBrush(*F->State.Brush);
    F->RectBrush({d.Left, d.Top, d.Right, d.Top + 1}, b, R2_COPYPEN);
    F->RectBrush({d.Left, d.Bottom - 1, d.Right, d.Bottom}, b, R2_COPYPEN);
    F->RectBrush({d.Left, d.Top + 1, d.Left + 1, d.Bottom - 1}, b, R2_COPYPEN);
    F->RectBrush({d.Right - 1, d.Top + 1, d.Right, d.Bottom - 1}, b, R2_COPYPEN);
    F->Changed();
}

void TCanvas::InvertRect(const TRect& R) {
    TRect d = LPtoDP(R);
    F->Changing();
    for (int y = d.Top; y < d.Bottom; ++y) F->SpanRop2(y, d.Left, d.Right, 0, R2_NOT);
    F->Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    TRect d = LPtoDP(R);
    if (IsRectEmpty(d)) return;
    F->Changing();
    // Every other pixel of the frame, by the parity of its device position.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0) F->PixelRop2(x, y, 0, R2_NOT);
    };
    for (int x = d.Left; x < d.Right; ++x) {
        dot(x, d.Top);
        if (d.Bottom - 1 > d.Top) dot(x, d.Bottom - 1);
    }
    for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
        dot(d.Left, y);
        if (d.Right - 1 > d.Left) dot(d.Right - 1, y);
    }
    F->Changed();
}

void TCanvas::FillRgn(const TRegion& Region, const TBrush& Brush) {
    F->Changing();
    F->RegionBrush(Region, F->MakeBrush(Brush), R2_COPYPEN);
    F->Changed();
}

void TCanvas::PaintRgn(const TRegion& Region) {
    F->Changing();
    F->RegionBrush(Region, F->MakeBrush(*F->State.Brush), PenModeToRop2(F->State.Pen->Mode()));
    F->Changed();
}

void TCanvas::FrameRgn(const TRegion& Region, const TBrush& Brush, int Width, int Height) {
    // The frame is the region less the region shrunk by the frame's width and height.
    TRegion shrunk = Region;
    for (int dx = -Width; dx <= Width; dx += std::max(1, Width)) {
        for (int dy = -Height; dy <= Height; dy += std::max(1, Height)) {
            TRegion moved = Region;
            moved.Offset(dx, dy);
            shrunk = TRegion::Combine(shrunk, moved, RGN_AND);
        }
    }
    FillRgn(TRegion::Combine(Region, shrunk, RGN_DIFF), Brush);
}

void TCanvas::InvertRgn(const TRegion& Region) {
    F->Changing();
    for (const auto& band : Region.Bands())
        for (int y = band.Top; y < band.Bottom; ++y)
            for (size_t k = 0; k + 1 < band.Xs.size(); k += 2)
                F->SpanRop2(y, band.Xs[k], band.Xs[k + 1], 0, R2_NOT);
    F->Changed();
}

TColor TCanvas::Pixel(int X, int Y) const {
    TPoint d = F->ToDevice({X, Y});
    int sx = d.x + F->DeviceOrigin.x, sy = d.y + F->DeviceOrigin.y;
    if (!F->Surface || !F->Effective().Contains(sx, sy)) return -1;
    return TColor(PixelToColorRef(F->Surface->GetPixel(sx, sy)));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    TPoint d = F->ToDevice({X, Y});
    F->Changing();
    F->PixelRop2(d.x, d.y, F->ToPixel(ColorToRGB(Color)), R2_COPYPEN);
    F->Changed();
}

// --- blits ---
bool TCanvas::BitBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY,
                     uint32_t Rop) {
    return StretchBlt(X, Y, Width, Height, Source, SX, SY, Width, Height, Rop);
}

bool TCanvas::StretchBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY, int SW,
                         int SH, uint32_t Rop) {
    TPoint d0 = F->ToDevice({X, Y}), d1 = F->ToDevice({X + Width, Y + Height});
    TCanvasImpl* src = Source ? Source->F.get() : nullptr;
    TPoint s0{SX, SY}, s1{SX + SW, SY + SH};
    if (src) {
        s0 = src->ToDevice(s0);
        s1 = src->ToDevice(s1);
    }
    F->Changing();
    bool ok = F->Blit(d0.x, d0.y, d1.x - d0.x, d1.y - d0.y, src, s0.x, s0.y, s1.x - s0.x, s1.y - s0.y, Rop);
    F->Changed();
    return ok;
}

bool TCanvas::PatBlt(int X, int Y, int Width, int Height, uint32_t Rop) {
    if (RopUsesSource(uint8_t(Rop >> 16))) return false;
    return StretchBlt(X, Y, Width, Height, nullptr, 0, 0, Width, Height, Rop);
}

bool TCanvas::MaskBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY,
                      const TBitmap* Mask, int MX, int MY, uint32_t Rop) {
    if (!Mask) return BitBlt(X, Y, Width, Height, Source, SX, SY, Rop & 0x00FFFFFF);
    TPoint d0 = F->ToDevice({X, Y}), d1 = F->ToDevice({X + Width, Y + Height});
    TCanvasImpl* src = Source ? Source->F.get() : nullptr;
    TPoint s0{SX, SY};
    if (src) s0 = src->ToDevice(s0);
    F->Changing();
    bool ok = F->Blit(d0.x, d0.y, d1.x - d0.x, d1.y - d0.y, src, s0.x, s0.y, d1.x - d0.x, d1.y - d0.y, Rop,
                      &Mask->Surface(), MX, MY);
    F->Changed();
    return ok;
}

bool TCanvas::TransparentBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY,
                             int SW, int SH, TColor Transparent) {
    if (!Source) return false;
    TPoint d0 = F->ToDevice({X, Y}), d1 = F->ToDevice({X + Width, Y + Height});
    TPoint s0 = Source->F->ToDevice({SX, SY}), s1 = Source->F->ToDevice({SX + SW, SY + SH});
    F->Changing();
    bool ok = F->Blit(d0.x, d0.y, d1.x - d0.x, d1.y - d0.y, Source->F.get(), s0.x, s0.y, s1.x - s0.x,
                      s1.y - s0.y, SRCCOPY, nullptr, 0, 0, true, ColorRefToPixel(ColorToRGB(Transparent)));
    F->Changed();
    return ok;
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas* Source, const TRect& SourceRect) {
    StretchBlt(Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Source, SourceRect.Left, SourceRect.Top,
               SourceRect.Width(), SourceRect.Height(), F->State.CopyMode);
}

void TCanvas::Draw(int X, int Y, const TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Graphic->Draw(this, {X, Y, X + Graphic->Width(), Y + Graphic->Height()});
}

void TCanvas::StretchDraw(const TRect& R, const TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Graphic->Draw(this, R);
}

void TCanvas::BrushCopy(const TRect& Dest, const TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap || Bitmap->Empty()) return;
    // The bitmap's pixels of Color become the brush, everything else is copied.
    TBitmap work(Source.Width(), Source.Height());
    work.Canvas()->BitBlt(0, 0, Source.Width(), Source.Height(), Bitmap->Canvas(), Source.Left, Source.Top,
                          SRCCOPY);
    uint32_t key = ColorRefToPixel(ColorToRGB(Color));
    TSurface& s = work.Surface();
    if (F->State.Brush->Style() == bsClear) {
        // A clear brush leaves what is below the pixels of Color.
        const int w = Dest.Width(), h = Dest.Height();
        if (w <= 0 || h <= 0) return;
        TBitmap under(w, h);
        under.Canvas()->BitBlt(0, 0, w, h, this, Dest.Left, Dest.Top, SRCCOPY);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t p = s.GetPixel(x * s.Width() / w, y * s.Height() / h);
                if (p != key) under.Surface().SetPixel(x, y, p);
            }
        BitBlt(Dest.Left, Dest.Top, w, h, under.Canvas(), 0, 0, SRCCOPY);
        return;
    }
    TBrushPaint b = F->MakeBrush(*F->State.Brush);
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            uint32_t p;
            if (s.GetPixel(x, y) == key && b.At(x, y, p)) s.SetPixel(x, y, p);
        }
    StretchBlt(Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), work.Canvas(), 0, 0, Source.Width(),
               Source.Height(), SRCCOPY);
}

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    R.Bottom -= 1;
    R.Right -= 1;
    for (int i = 0; i < Width; ++i) {
        Canvas->Pen()->SetColor(TopColor);
        TPoint top[3] = {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}};
        Canvas->Polyline(top);
        Canvas->Pen()->SetColor(BottomColor);
        TPoint bottom[3] = {{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left - 1, R.Bottom}};
        Canvas->Polyline(bottom);
        InflateRect(R, -1, -1);
    }
    R.Bottom += 1;
    R.Right += 1;
}
