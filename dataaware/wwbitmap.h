#pragma once
// A picture kept as 24-bit pixels, top row first, three bytes a pixel (blue,
// green, red) in rows padded to four bytes, with a row table for direct
// access. It draws itself plain, stretched (smoothly or not), tiled or with
// a transparent colour, converts to and from bitmaps and other graphics, and
// changes its pixels in place with a set of effects. The grid's paint
// options tint the grid's background picture through it.
//
// The effects do not call Changed: callers that change pixels repaint as
// they need. The display here is always true colour, so the palette
// choices are kept but no palette is ever made.
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "platform/gfx/Bitmap.h"

#pragma pack(push, 1)
struct TwwPixel24 {
    uint8_t Blue = 0, Green = 0, Red = 0;
    bool operator==(const TwwPixel24&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(TwwPixel24) == 3);

// The colour's red goes into the pixel's red byte, and so on.
void ColorToBGR(TColor Color, TwwPixel24& Pixel);

class TwwBitmap;

// An object told of every change of a bitmap it listens to.
class TwwBitmapListener {
public:
    virtual ~TwwBitmapListener() = default;
    virtual void Change() = 0;
    TwwBitmap* Sender = nullptr;
};

class TwwBitmap : public TGraphic {
    ZELMOR_CLASS(TwwBitmap, TGraphic)
public:
    TwwBitmap();
    ~TwwBitmap() override;

    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetDimensions(Value, FHeight); }
    void SetHeight(int Value) override { SetDimensions(FWidth, Value); }
    // The class library's bitmap format.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;
    void Assign(TPersistent* Source) override;

    TCanvas* Canvas() { return FCanvas.get(); }
    int RowStride() const { return FRowStride; }
    int ImageSize() const { return FImageSize; }
    TwwPixel24* Row(int Y) const { return FRows[static_cast<size_t>(Y)]; }
    TwwPixel24& Pixel(int X, int Y) const { return Row(Y)[X]; }
    bool SmoothStretching() const { return FSmoothStretching; }
    void SetSmoothStretching(bool Value) { FSmoothStretching = Value; }
    // clNone: the top-left pixel's colour.
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value) { FTransparentColor = Value; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    bool OptimalPalette() const { return FOptimalPalette; }
    void SetOptimalPalette(bool Value) { FOptimalPalette = Value; }
    bool HalftonePalette() const { return FHalftonePalette; }
    void SetHalftonePalette(bool Value) { FHalftonePalette = Value; }
    bool HasUndo() const { return !FKept.empty(); }

    virtual void FreeImage();
    virtual void BuildRowTable();
    virtual void NotifyListeners();
    virtual void AddListener(TwwBitmapListener* Listener);
    virtual void RemoveListener(TwwBitmapListener* Listener);
    virtual void Clear() { FreeImage(); }
    virtual void DiscardUndo();
    // A new picture of the size, all white (empty when either is 0).
    virtual void SetSize(int AWidth, int AHeight);
    virtual void AssignBitmap(const TBitmap* Bitmap);
    virtual void AssignGraphic(const TGraphic* Graphic);
    virtual void AssignFrom(TPersistent* Source);
    // Pixels in this class's layout (top row first, padded rows).
    virtual void LoadFromBits(const uint8_t* Bits, int Size, int AWidth, int AHeight);
    virtual void AssignToBitmap(TBitmap* Bitmap) const;
    // SetSize only when the size differs: the pixels stay otherwise.
    virtual void SetDimensions(int AWidth, int AHeight);
    // The picture stretched to the new size.
    virtual void Resize(int AWidth, int AHeight);
    // Keeps the pixels aside and empties the picture; RestoreUndo brings them back.
    virtual void SaveUndo();
    virtual void StretchDrawSmooth(TCanvas* Target, const TRect& R) const;
    virtual void StretchDrawTo(TCanvas* Target, const TRect& R) const;
    virtual void TileDraw(TCanvas* Target, const TRect& R) const;
    virtual void DrawTransparent(TCanvas* Target, const TRect& R) const;
    virtual void RestoreUndo();

    // --- effects, in place ---
    virtual void Blur(int Distance);
    virtual void Contrast(int Amount);
    virtual void Emboss();
    virtual void Flip(bool Horizontal);
    virtual void BlurTimes(int Count);
    virtual void GrayScale();
    virtual void Invert();
    virtual void Lighten(int Amount);
    virtual void MaskFromColor(TwwPixel24 Key);
    virtual void ReplaceColor(TwwPixel24 OldPixel, TwwPixel24 NewPixel);
    virtual void AddToChannels(int Red, int Green, int Blue);
    // Pixels of the transparent colour (when one is set) keep theirs.
    virtual void TintChannels(int Red, int Green, int Blue);
    // Degrees about Centre (a negative coordinate: the middle).
    virtual void Rotate(TPoint Centre, double Angle);
    // 256 keeps the colours; less moves them towards grey, more away.
    virtual void Saturation(int Amount);
    virtual void Sharpen(int Distance);
    // Each pixel takes one a random distance below Amount away.
    virtual void AddNoise(int Amount);
    virtual void Wave(bool Wrap, int ColumnDivisor, int RowDivisor, int Amplitude);

protected:
    void Changed() override;
    void AssignTo(TPersistent* Dest) override;
    void Draw(TCanvas* Target, const TRect& R) const override;
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) const override;

private:
    void Allocate(int AWidth, int AHeight);
    // The picture's pixels as they stand now (for effects that read neighbours).
    std::vector<TwwPixel24> Snapshot() const;
    TwwPixel24 Clamped(int X, int Y) const;
    TwwPixel24 KeyPixel() const;
    void MakeMask() const;
    void ReplacePixels(const std::vector<TwwPixel24>& Pixels);

    bool FSmoothStretching = false;
    TColor FTransparentColor = clNone;
    int FWidth = 0, FHeight = 0;
    int FRowPadding = 0, FRowStride = 0, FImageSize = 0;
    TSurface FSurface;
    std::unique_ptr<TCanvas> FCanvas;
    std::vector<TwwPixel24*> FRows;
    mutable std::unique_ptr<TBitmap> FMask;
    std::vector<uint8_t> FKept;
    int FKeptWidth = 0, FKeptHeight = 0;
    TPixelFormat FPixelFormat = pf24bit;
    bool FOptimalPalette = false, FHalftonePalette = false;
    bool FChangeLock = false;
    std::vector<TwwBitmapListener*> FListeners;
    mutable bool FDrawingIntoBitmap = false;
    bool FHasColorTable = false;
    bool FSourceDeeperThanDisplay = false;
    std::vector<uint32_t> FColorTable;
    std::minstd_rand FRandom{20231};
};
