#pragma once
// The state behind a TCanvas and the span painters that every drawing call
// ends in. Internal to platform/gfx.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Graphics.h"

// A run of characters kept as text for a device that writes documents: the
// start of its baseline and the clip in surface pixels, the advance of each
// character as the raster would place it, and the font the raster measured.
struct TDeviceTextRun {
    const TFontResource* Font = nullptr;  // fonts live in the process-wide cache
    double X = 0, Y = 0;
    std::string Text;  // Windows-1252
    std::vector<int> Advances;
    TColorRef Color = 0;
    std::optional<TRegion> Clip;  // none when the whole run is visible
};

// Draws the runs as text (glyphs a reader can search and copy) on a cairo
// context whose user units are surface pixels.
using cairo_t = struct _cairo;
void ShowTextRuns(cairo_t* Cr, const TTextLayer& Runs);

struct TPointD {
    double x, y;
};

struct TPathFigure {
    std::vector<TPointD> Points;  // device coordinates
    bool Closed = false;
};

// Everything SaveDC keeps.
struct TDCState {
    std::unique_ptr<TPen> Pen;
    std::unique_ptr<TBrush> Brush;
    std::unique_ptr<TFont> Font;
    TColorRef TextColor = 0x000000;
    TColorRef BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    int StretchMode = BLACKONWHITE;
    int PolyFillMode = ALTERNATE;
    uint32_t TextAlign = TA_LEFT | TA_TOP;
    int CharExtra = 0;
    TPoint BrushOrg{0, 0};
    uint32_t CopyMode = SRCCOPY;
    uint32_t TextFlags = 0;
    int MapMode = MM_TEXT;
    TPoint WindowOrg{0, 0}, ViewportOrg{0, 0};
    TSize WindowExt{1, 1}, ViewportExt{1, 1};
    std::optional<TRegion> Clip;  // device coordinates
    TPoint PenPos{0, 0};          // logical
    // The font and the brush changed since they were last selected into the
    // colours above (a fresh device has selected nothing yet).
    bool FontPending = true, BrushPending = true;

    TDCState();
    TDCState(const TDCState& Other);
    TDCState& operator=(const TDCState& Other);
};

// A resolved paint source for a span: what lands on a pixel before the
// raster operation (or nothing, for the gaps of a transparent hatch).
struct TBrushPaint {
    enum Kind { Solid, Hatched, Pattern, None } K = None;
    uint32_t Color = 0;  // pixel word
    uint32_t Back = 0;   // hatch gaps and monochrome pattern 1 bits
    uint32_t Fore = 0;   // monochrome pattern 0 bits
    bool Opaque = true;  // hatch gaps painted
    int HatchStyle = 0;  // TBrushStyle
    const TSurface* Pat = nullptr;
    int OrgX = 0, OrgY = 0;  // surface coordinates of the pattern origin
    // Pattern value at a surface pixel; false for a transparent gap.
    bool At(int X, int Y, uint32_t& Out) const;
};

struct TCanvasImpl {
    TCanvas* Owner;
    TSurface* Surface = nullptr;
    TPoint DeviceOrigin{0, 0};
    std::optional<TRegion> DeviceClip;  // device coordinates
    int PixelsPerInch = ScreenPixelsPerInch;
    int BitsPerPixel = ScreenBitsPerPixel;
    TTextLayer* TextLayer = nullptr;
    TDCState State;
    std::vector<TDCState> Saved;
    // The clip as surface pixels, made on demand.
    mutable bool EffValid = false;
    mutable TRegion Eff;
    // The path under construction and the figure in progress.
    bool PathOpen = false, PathDone = false;
    std::vector<TPathFigure> Path;

    explicit TCanvasImpl(TCanvas* O);
    void InvalidateClip() { EffValid = false; }
    // Brings the selected font to the device's resolution, keeping its points.
    void FitFont();
    const TRegion& Effective() const;

    // --- coordinates ---
    TPoint ToDevice(TPoint P) const;
    TPointD ToDeviceD(double X, double Y) const;
    TPoint ToLogical(TPoint P) const;
    bool Mirrored() const;
    // Device length of a logical horizontal length (pen widths, font heights).
    int ScaleX(int Len) const;
    int ScaleY(int Len) const;

    // Selects a changed font and brush: the text colour becomes the font's
    // colour, the background colour the brush's, and the background mode
    // opaque for a solid brush, transparent for any other. Every reader of
    // those three device values calls it first, so a canvas method always
    // draws with its current font and brush, while a colour set directly
    // after them holds until one of them changes again.
    void Select();

    // --- painting in device coordinates; spans are [X1, X2) ---
    uint32_t ToPixel(TColorRef C) const;  // nearest black or white on a monochrome surface
    TBrushPaint MakeBrush(const TBrush& B);
    void Changing();
    void Changed();
    // Calls F(y, x1, x2) for every clipped piece of a device span, in surface coordinates.
    template <class F>
    void ClipSpan(int Y, int X1, int X2, F&& Fn) const;
    void SpanRop2(int Y, int X1, int X2, uint32_t Color, int Rop2);
    // The same on surface pixels [A, B) of surface row SY, already clipped.
    void SurfaceSpanRop2(int SY, int A, int B, uint32_t Color, int Rop2);
    // One pixel of device column X in each device row of [Y1, Y2), as
    // SpanRop2 pixel by pixel gives it.
    void ColumnRop2(int X, int Y1, int Y2, uint32_t Color, int Rop2);
    void SpanBrush(int Y, int X1, int X2, const TBrushPaint& B, int Rop2);
    void RectBrush(const TRect& DeviceRect, const TBrushPaint& B, int Rop2);
    void Rows(int Top, const std::vector<std::vector<int32_t>>& Rows, const TBrushPaint& B, int Rop2);
    void RegionBrush(const TRegion& DeviceRegion, const TBrushPaint& B, int Rop2);
    void PixelRop2(int X, int Y, uint32_t Color, int Rop2);
    // The pen along a device polyline; the last point is left out unless Closed.
    void PenPolyline(const std::vector<TPoint>& Pts, bool Closed);
    // The pen's pixels as rows (for figures outlined with a wide pen).
    bool PenVisible() const { return State.Pen->Style() != psClear; }
    int PenWidth() const;
    // Figures: Outer and Inner are device row sets (Inner drawn with the brush,
    // Outer minus Inner with the pen).
    void Figure(int Top, const std::vector<std::vector<int32_t>>& Outer, int InnerTop,
                const std::vector<std::vector<int32_t>>& Inner);
    // Blit core: destination and source device rectangles (negative sizes mirror).
    // A blit that one of the specialised loops can do goes there, the rest
    // take the per-pixel path (RasterLoops.cpp).
    bool Blit(int DX, int DY, int DW, int DH, TCanvasImpl* Src, int SX, int SY, int SW, int SH, uint32_t Rop,
              const TSurface* Mask = nullptr, int MX = 0, int MY = 0, bool UseKey = false, uint32_t Key = 0);
    // Every raster code, stretching, mirroring, masks and a key colour, one pixel at a time.
    bool BlitPerPixel(int DX, int DY, int DW, int DH, TCanvasImpl* Src, int SX, int SY, int SW, int SH,
                      uint32_t Rop, const TSurface* Mask, int MX, int MY, bool UseKey, uint32_t Key);
    // The codes the controls use, unstretched and unmirrored, a row at a time;
    // false, before anything is drawn or selected, for a blit they do not do.
    bool BlitSpecialised(int DX, int DY, int DW, int DH, TCanvasImpl* Src, int SX, int SY, int SW, int SH,
                         uint32_t Rop);
    void Text(int X, int Y, uint32_t Options, const TRect* R, std::string_view Text, std::span<const int> Dx);
    // Puts a run into TextLayer; X and Y are the baseline start in device pixels.
    void KeepRun(const TFontResource& Font, double X, double Y, int Width, std::string_view Str,
                 const std::vector<int>& Advances);
};

// The pixel word that a raster operation gives.
uint32_t ApplyRop2(int Rop2, uint32_t P, uint32_t D);
uint32_t ApplyRop3(uint8_t Code, uint32_t P, uint32_t S, uint32_t D);
inline bool RopUsesSource(uint8_t Code) { return ((Code >> 2) & 0x33) != (Code & 0x33); }
inline bool RopUsesPattern(uint8_t Code) { return ((Code >> 4) & 0x0F) != (Code & 0x0F); }
inline bool RopUsesDest(uint8_t Code) { return ((Code >> 1) & 0x55) != (Code & 0x55); }

template <class F>
void TCanvasImpl::ClipSpan(int Y, int X1, int X2, F&& Fn) const {
    if (!Surface || X2 <= X1) return;
    int sy = Y + DeviceOrigin.y, sx1 = X1 + DeviceOrigin.x, sx2 = X2 + DeviceOrigin.x;
    const auto& bands = Effective().Bands();
    // Bands are sorted; a binary search finds the row's band.
    size_t lo = 0, hi = bands.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (bands[mid].Bottom <= sy) lo = mid + 1;
        else hi = mid;
    }
    if (lo == bands.size() || bands[lo].Top > sy) return;
    const auto& xs = bands[lo].Xs;
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        int a = std::max(xs[i], sx1), b = std::min(xs[i + 1], sx2);
        if (a < b) Fn(sy, a, b);
    }
}
