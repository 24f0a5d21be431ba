#pragma once
// Regions: sets of pixels kept as y-x bands of rectangles, the same form the
// region-data bytes carry. Right and bottom edges are outside, as for every
// rectangle; polygon, ellipse and rounded-rectangle regions cover exactly
// the pixels that the canvas fills for the same figure.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/Types.h"

// CombineRgn modes.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Region kinds answered by the combining and querying calls.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// Polygon fill modes.
enum : int { ALTERNATE = 1, WINDING = 2 };

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const TRect& R);

    static TRegion FromRect(const TRect& R) { return TRegion(R); }
    static TRegion FromRects(std::span<const TRect> Rects);  // union of them
    static TRegion Ellipse(const TRect& Box);
    static TRegion RoundRect(const TRect& Box, int EllipseWidth, int EllipseHeight);
    static TRegion Polygon(std::span<const TPoint> Points, int FillMode = ALTERNATE);
    static TRegion PolyPolygon(std::span<const TPoint> Points, std::span<const int> Counts, int FillMode);

    bool Empty() const { return FBands.empty(); }
    int Kind() const;   // NULLREGION, SIMPLEREGION or COMPLEXREGION
    TRect Box() const;  // (0, 0, 0, 0) when empty
    bool Contains(int X, int Y) const;
    bool Contains(TPoint P) const { return Contains(P.x, P.y); }
    bool Intersects(const TRect& R) const;
    void Offset(int Dx, int Dy);
    void Clear() { FBands.clear(); }
    bool operator==(const TRegion& Other) const;

    // Returns the kind of the result.
    static TRegion Combine(const TRegion& A, const TRegion& B, int Mode);
    TRegion Intersected(const TRect& R) const;

    // The rectangles, y-x banded: bands top to bottom, rectangles of a band left to right.
    std::vector<TRect> Rects() const;
    size_t RectCount() const;

    // The region-data block: 32-byte header (size 32, type 1, count,
    // rectangle bytes, bounding box), then the rectangles, all little-endian
    // 32-bit. FromData raises EInvalidOperation for a block it cannot use.
    std::vector<uint8_t> Data() const;
    static TRegion FromData(std::span<const uint8_t> Bytes);

    // Bands for the raster code: each band has a top, a bottom and its sorted,
    // disjoint, non-touching x intervals (pairs of left, right).
    struct TBand {
        int32_t Top, Bottom;
        std::vector<int32_t> Xs;
        bool operator==(const TBand&) const = default;
    };
    const std::vector<TBand>& Bands() const { return FBands; }
    // Builds from bands that may touch or repeat; merges equal neighbours.
    static TRegion FromBands(std::vector<TBand> Bands);
    // Builds from one list of intervals per scanline starting at row Top.
    static TRegion FromRows(int Top, const std::vector<std::vector<int32_t>>& Rows);

private:
    std::vector<TBand> FBands;
};

// The platform names, for code that reads like the libraries expect.
int CombineRgn(TRegion& Dest, const TRegion& A, const TRegion& B, int Mode);
bool PtInRegion(const TRegion& R, int X, int Y);
bool RectInRegion(const TRegion& R, const TRect& Rect);
bool EqualRgn(const TRegion& A, const TRegion& B);
int GetRgnBox(const TRegion& R, TRect& Box);
int OffsetRgn(TRegion& R, int Dx, int Dy);
