#include "platform/gfx/Region.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/gfx/Shapes.h"
#include "platform/rtl/Exceptions.h"

namespace {

using TXs = std::vector<int32_t>;

// Combines two interval lists with a Boolean operation on "inside A", "inside B".
template <class Op>
TXs CombineXs(const TXs& A, const TXs& B, Op op) {
    TXs out;
    size_t i = 0, j = 0;
    bool inA = false, inB = false, inOut = false;
    while (i < A.size() || j < B.size()) {
        int32_t x = std::numeric_limits<int32_t>::max();
        if (i < A.size()) x = std::min(x, A[i]);
        if (j < B.size()) x = std::min(x, B[j]);
        while (i < A.size() && A[i] == x) {
            inA = !inA;
            ++i;
        }
        while (j < B.size() && B[j] == x) {
            inB = !inB;
            ++j;
        }
        bool now = op(inA, inB);
        if (now != inOut) {
            // A start right where the last interval ended joins the two.
            if (now && !out.empty() && out.back() == x) out.pop_back();
            else out.push_back(x);
            inOut = now;
        }
    }
    return out;
}

TXs CombineXsMode(const TXs& A, const TXs& B, int Mode) {
    switch (Mode) {
    case RGN_AND: return CombineXs(A, B, [](bool a, bool b) { return a && b; });
    case RGN_OR: return CombineXs(A, B, [](bool a, bool b) { return a || b; });
    case RGN_XOR: return CombineXs(A, B, [](bool a, bool b) { return a != b; });
    case RGN_DIFF: return CombineXs(A, B, [](bool a, bool b) { return a && !b; });
    default: return A;
    }
}

void PutLE32(std::vector<uint8_t>& Out, size_t At, int32_t V) {
    uint32_t u = uint32_t(V);
    for (int k = 0; k < 4; ++k) Out[At + size_t(k)] = uint8_t(u >> (8 * k));
}

int32_t GetLE32(std::span<const uint8_t> In, size_t At) {
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= uint32_t(In[At + size_t(k)]) << (8 * k);
    return int32_t(u);
}

}  // namespace

TRegion::TRegion(const TRect& R) {
    if (!IsRectEmpty(R)) FBands.push_back({R.Top, R.Bottom, {R.Left, R.Right}});
}

TRegion TRegion::FromBands(std::vector<TBand> Bands) {
    TRegion r;
    for (auto& b : Bands) {
        if (b.Bottom <= b.Top || b.Xs.empty()) continue;
        if (!r.FBands.empty() && r.FBands.back().Bottom == b.Top && r.FBands.back().Xs == b.Xs)
            r.FBands.back().Bottom = b.Bottom;
        else r.FBands.push_back(std::move(b));
    }
    return r;
}

TRegion TRegion::FromRows(int Top, const std::vector<std::vector<int32_t>>& Rows) {
    std::vector<TBand> bands;
    bands.reserve(Rows.size());
    for (size_t i = 0; i < Rows.size(); ++i)
        bands.push_back({Top + int32_t(i), Top + int32_t(i) + 1, Rows[i]});
    return FromBands(std::move(bands));
}

TRegion TRegion::FromRects(std::span<const TRect> Rects) {
    TRegion r;
    for (const TRect& rc : Rects) r = Combine(r, TRegion(rc), RGN_OR);
    return r;
}

TRegion TRegion::Ellipse(const TRect& Box) {
    return RoundRect(Box, Box.Right - Box.Left, Box.Bottom - Box.Top);
}

TRegion TRegion::RoundRect(const TRect& Box, int EllipseWidth, int EllipseHeight) {
    TRect b = NormalizedRect(Box);
    std::vector<std::vector<int32_t>> rows;
    rows.reserve(size_t(std::max(0, b.Height())));
    for (int y = b.Top; y < b.Bottom; ++y) {
        int xl, xr;
        if (RoundRectRow(b, EllipseWidth, EllipseHeight, y, xl, xr)) rows.push_back({xl, xr});
        else rows.emplace_back();
    }
    return FromRows(b.Top, rows);
}

TRegion TRegion::Polygon(std::span<const TPoint> Points, int FillMode) {
    int count = int(Points.size());
    return PolyPolygon(Points, std::span<const int>(&count, 1), FillMode);
}

TRegion TRegion::PolyPolygon(std::span<const TPoint> Points, std::span<const int> Counts, int FillMode) {
    std::vector<TEdge> edges = PolygonEdges(Points, Counts);
    int top = 0;
    std::vector<std::vector<int32_t>> rows = ScanEdges(edges, FillMode, top);
    return FromRows(top, rows);
}

int TRegion::Kind() const {
    if (FBands.empty()) return NULLREGION;
    return FBands.size() == 1 && FBands[0].Xs.size() == 2 ? SIMPLEREGION : COMPLEXREGION;
}

TRect TRegion::Box() const {
    if (FBands.empty()) return {};
    TRect r{std::numeric_limits<int32_t>::max(), FBands.front().Top, std::numeric_limits<int32_t>::min(),
            FBands.back().Bottom};
    for (const auto& b : FBands) {
        r.Left = std::min(r.Left, b.Xs.front());
        r.Right = std::max(r.Right, b.Xs.back());
    }
    return r;
}

bool TRegion::Contains(int X, int Y) const {
    auto it =
        std::upper_bound(FBands.begin(), FBands.end(), Y, [](int y, const TBand& b) { return y < b.Bottom; });
    if (it == FBands.end() || Y < it->Top) return false;
    // The number of interval ends at or left of X is odd inside an interval.
    auto xi = std::upper_bound(it->Xs.begin(), it->Xs.end(), X);
    return ((xi - it->Xs.begin()) & 1) != 0;
}

bool TRegion::Intersects(const TRect& R) const {
    if (IsRectEmpty(R)) return false;
    for (const auto& b : FBands) {
        if (b.Bottom <= R.Top) continue;
        if (b.Top >= R.Bottom) break;
        for (size_t i = 0; i + 1 < b.Xs.size(); i += 2)
            if (b.Xs[i] < R.Right && b.Xs[i + 1] > R.Left) return true;
    }
    return false;
}

void TRegion::Offset(int Dx, int Dy) {
    for (auto& b : FBands) {
        b.Top += Dy;
        b.Bottom += Dy;
        for (auto& x : b.Xs) x += Dx;
    }
}

bool TRegion::operator==(const TRegion& Other) const { return FBands == Other.FBands; }

TRegion TRegion::Combine(const TRegion& A, const TRegion& B, int Mode) {
    if (Mode == RGN_COPY) return A;
    if (Mode == RGN_AND) {
        // Clips are mostly rectangles cut by rectangles (a cell's text inside
        // a window): their common part is a rectangle, as the bands give it.
        if (A.FBands.empty() || B.FBands.empty()) return TRegion();
        auto single = [](const TRegion& R) { return R.FBands.size() == 1 && R.FBands[0].Xs.size() == 2; };
        if (single(A) && single(B)) {
            const TBand &a = A.FBands[0], &b = B.FBands[0];
            return TRegion(TRect{std::max(a.Xs[0], b.Xs[0]), std::max(a.Top, b.Top),
                                 std::min(a.Xs[1], b.Xs[1]), std::min(a.Bottom, b.Bottom)});
        }
    }
    std::vector<int32_t> ys;
    ys.reserve((A.FBands.size() + B.FBands.size()) * 2);
    for (const auto& b : A.FBands) {
        ys.push_back(b.Top);
        ys.push_back(b.Bottom);
    }
    for (const auto& b : B.FBands) {
        ys.push_back(b.Top);
        ys.push_back(b.Bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    static const TXs none;
    std::vector<TBand> out;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        int32_t y0 = ys[k], y1 = ys[k + 1];
        while (ia < A.FBands.size() && A.FBands[ia].Bottom <= y0) ++ia;
        while (ib < B.FBands.size() && B.FBands[ib].Bottom <= y0) ++ib;
        const TXs& xa = ia < A.FBands.size() && A.FBands[ia].Top <= y0 ? A.FBands[ia].Xs : none;
        const TXs& xb = ib < B.FBands.size() && B.FBands[ib].Top <= y0 ? B.FBands[ib].Xs : none;
        TXs xs = CombineXsMode(xa, xb, Mode);
        if (!xs.empty()) out.push_back({y0, y1, std::move(xs)});
    }
    return FromBands(std::move(out));
}

TRegion TRegion::Intersected(const TRect& R) const { return Combine(*this, TRegion(R), RGN_AND); }

std::vector<TRect> TRegion::Rects() const {
    std::vector<TRect> out;
    out.reserve(RectCount());
    for (const auto& b : FBands)
        for (size_t i = 0; i + 1 < b.Xs.size(); i += 2)
            out.push_back({b.Xs[i], b.Top, b.Xs[i + 1], b.Bottom});
    return out;
}

size_t TRegion::RectCount() const {
    size_t n = 0;
    for (const auto& b : FBands) n += b.Xs.size() / 2;
    return n;
}

std::vector<uint8_t> TRegion::Data() const {
    std::vector<TRect> rects = Rects();
    std::vector<uint8_t> out(32 + 16 * rects.size());
    PutLE32(out, 0, 32);
    PutLE32(out, 4, 1);
    PutLE32(out, 8, int32_t(rects.size()));
    PutLE32(out, 12, int32_t(16 * rects.size()));
    TRect box = Box();
    PutLE32(out, 16, box.Left);
    PutLE32(out, 20, box.Top);
    PutLE32(out, 24, box.Right);
    PutLE32(out, 28, box.Bottom);
    for (size_t i = 0; i < rects.size(); ++i) {
        size_t at = 32 + 16 * i;
        PutLE32(out, at, rects[i].Left);
        PutLE32(out, at + 4, rects[i].Top);
        PutLE32(out, at + 8, rects[i].Right);
        PutLE32(out, at + 12, rects[i].Bottom);
    }
    return out;
}

TRegion TRegion::FromData(std::span<const uint8_t> Bytes) {
    if (Bytes.size() < 32) throw EInvalidOperation("Region data too short");
    int32_t headerSize = GetLE32(Bytes, 0), type = GetLE32(Bytes, 4), count = GetLE32(Bytes, 8);
    if (headerSize < 32 || type != 1 || count < 0) throw EInvalidOperation("Region data has a bad header");
    // The rectangle count decides, not the stated byte size: streamed blocks
    // are known to carry a stale size field.
    if (size_t(headerSize) > Bytes.size() || (Bytes.size() - size_t(headerSize)) / 16 < size_t(count))
        throw EInvalidOperation("Region data shorter than its rectangles");
    std::vector<TRect> rects;
    rects.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        size_t at = size_t(headerSize) + 16 * size_t(i);
        rects.push_back(
            {GetLE32(Bytes, at), GetLE32(Bytes, at + 4), GetLE32(Bytes, at + 8), GetLE32(Bytes, at + 12)});
    }
    // Rectangles already in y-x banded order make bands directly; anything else is united.
    std::vector<TBand> bands;
    bool banded = true;
    for (const TRect& r : rects) {
        if (IsRectEmpty(r)) continue;
        if (!bands.empty() && bands.back().Top == r.Top && bands.back().Bottom == r.Bottom) {
            if (r.Left < bands.back().Xs.back()) {
                banded = false;
                break;
            }
            if (r.Left == bands.back().Xs.back()) bands.back().Xs.back() = r.Right;
            else {
                bands.back().Xs.push_back(r.Left);
                bands.back().Xs.push_back(r.Right);
            }
        } else {
            if (!bands.empty() && r.Top < bands.back().Bottom) {
                banded = false;
                break;
            }
            bands.push_back({r.Top, r.Bottom, {r.Left, r.Right}});
        }
    }
    if (banded) return FromBands(std::move(bands));
    return FromRects(rects);
}

int CombineRgn(TRegion& Dest, const TRegion& A, const TRegion& B, int Mode) {
    if (Mode < RGN_AND || Mode > RGN_COPY) return RGN_ERROR;
    Dest = TRegion::Combine(A, B, Mode);
    return Dest.Kind();
}

bool PtInRegion(const TRegion& R, int X, int Y) { return R.Contains(X, Y); }

bool RectInRegion(const TRegion& R, const TRect& Rect) { return R.Intersects(NormalizedRect(Rect)); }

bool EqualRgn(const TRegion& A, const TRegion& B) { return A == B; }

int GetRgnBox(const TRegion& R, TRect& Box) {
    Box = R.Box();
    return R.Kind();
}

int OffsetRgn(TRegion& R, int Dx, int Dy) {
    R.Offset(Dx, Dy);
    return R.Kind();
}
