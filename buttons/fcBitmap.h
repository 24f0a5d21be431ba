#pragma once
// The library's own bitmap: 24-bit pixels, rows top to bottom, each pixel
// blue, green, red, each row padded to 4 bytes (3 x width + width mod 4), with
// a canvas on it so that text and figures can be drawn there too. Every
// button face is composed in one, the image buttons keep their pictures in
// them, and the pixel effects work on its bytes directly.
//
// Its form data ("Image.Data") is a bare BMP file, unlike the platform
// bitmap's "Glyph.Data", which carries a byte count before the file.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "buttons/fcChangeNotify.h"
#include "platform/gfx/Bitmap.h"

// One pixel as the rows keep it.
struct TfcPixel {
    uint8_t Blue = 0, Green = 0, Red = 0;
    bool operator==(const TfcPixel&) const = default;
};

// The colour's pixel, system colours resolved.
TfcPixel fcColorToPixel(TColor Color);
// A plain 00BBGGRR colour.
TColor fcPixelToColor(TfcPixel Pixel);
TfcPixel fcMakePixel(int Red, int Green, int Blue);
uint8_t fcClampByte(int Value);
int fcClamp(int Value, int Min, int Max);

class TfcBitmap : public TGraphic {
    ZELMOR_CLASS(TfcBitmap, TGraphic)
public:
    TfcBitmap();
    ~TfcBitmap() override;

    bool Empty() const override { return FSurface.Empty(); }
    int Width() const override { return FSurface.Width(); }
    int Height() const override { return FSurface.Height(); }
    void SetWidth(int Value) override { SetSizeIfChanged(Value, Height()); }
    void SetHeight(int Value) override { SetSizeIfChanged(Width(), Value); }
    // A BMP file of any depth the platform reads; an empty stream empties
    // the bitmap. A stream that is no BMP raises and leaves the bitmap as it was.
    void LoadFromStream(TStream& Stream) override;
    // The picture in PixelFormat, with ColorTable for the palette depths.
    void SaveToStream(TStream& Stream) const override;
    void Assign(TPersistent* Source) override;

    TCanvas* Canvas() const { return FCanvas.get(); }
    int RowPadding() const { return Width() % 4; }
    int RowStride() const { return 3 * Width() + RowPadding(); }
    int ImageSize() const { return RowStride() * Height(); }
    uint8_t* Bits() { return FSurface.Bits(); }
    const uint8_t* Bits() const { return FSurface.Bits(); }
    uint8_t* ScanLine(int Row) { return FSurface.ScanLine(Row); }
    const uint8_t* ScanLine(int Row) const { return FSurface.ScanLine(Row); }
    TfcPixel Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TfcPixel Value);
    const TSurface& Surface() const { return FSurface; }

    // clNone: the top-left pixel's colour.
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value) {
        FTransparentColor = Value;
        FMask.reset();
    }
    // The colour transparent drawing leaves out, as a pixel.
    TfcPixel KeyPixel() const;
    bool SmoothStretch() const { return FSmoothStretch; }
    void SetSmoothStretch(bool Value) { FSmoothStretch = Value; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
    const std::vector<uint32_t>& ColorTable() const { return FColorTable; }
    void SetColorTable(std::vector<uint32_t> Value) { FColorTable = std::move(Value); }
    bool ColorTableValid() const { return FColorTableValid; }
    void SetColorTableValid(bool Value) { FColorTableValid = Value; }
    bool DeeperThanDisplay() const { return FDeeperThanDisplay; }
    void SetDeeperThanDisplay(bool Value) { FDeeperThanDisplay = Value; }
    bool RespectPalette() const { return FRespectPalette; }
    void SetRespectPalette(bool Value) { FRespectPalette = Value; }
    bool UseHalftonePalette() const { return FUseHalftonePalette; }
    void SetUseHalftonePalette(bool Value) { FUseHalftonePalette = Value; }
    // The palette entries that a palette display would realize (red and blue
    // of the colour table exchanged); empty unless one was made.
    const std::vector<uint32_t>& Palette() const { return FPalette; }

    // While set, Changed does nothing.
    bool ChangesSuppressed = false;
    // While set, Draw leaves palette selection to the caller.
    mutable bool PaletteHeld = false;
    // While set, Draw ignores transparency.
    mutable bool DrawingToBitmap = false;

    virtual void RestorePalette(TCanvas* Canvas, bool Previous) const;
    // Answers whether a palette was selected (only on displays of 8 bits or less).
    virtual bool SelectPalette(TCanvas* Canvas) const;
    virtual void Clear();
    virtual void SetupScanlines();
    virtual void NotifyLinks();
    virtual void CreatePalette() const;
    virtual void AddChangeLink(TfcChangeLink* Link) { FChangeLinks.Add(Link); }
    virtual void RemoveChangeLink(TfcChangeLink* Link) { FChangeLinks.Remove(Link); }
    const TfcChangeLinks& ChangeLinks() const { return FChangeLinks; }
    virtual void FreeImage() { Clear(); }
    virtual void FreeSavedPixels();
    // A new white image of that size; a size of 0 leaves the bitmap empty.
    virtual void SetSize(int AWidth, int AHeight);
    virtual void LoadFromBitmap(const TBitmap& Bitmap);
    virtual void LoadFromGraphic(const TGraphic& Graphic);
    virtual void LoadFromPersistent(TPersistent* Source);
    // Bytes in this bitmap's own row layout.
    virtual void LoadFromPackedBits(const uint8_t* Bytes, size_t Count, int AWidth, int AHeight);
    virtual void SaveToBitmap(TBitmap& Bitmap) const;
    virtual void SetSizeIfChanged(int AWidth, int AHeight);
    // Scales the image to the new size (smoothly when SmoothStretch).
    virtual void Resize(int AWidth, int AHeight);
    // Lets the image go but keeps its pixels, for Restore.
    virtual void SaveAndRelease();
    virtual void StretchSmooth(TCanvas* Canvas, const TRect& R) const;
    virtual void StretchPlain(TCanvas* Canvas, const TRect& R) const;
    virtual void TileDraw(TCanvas* Canvas, const TRect& R) const;
    virtual void DrawTransparent(TCanvas* Canvas, const TRect& R) const;
    virtual void Restore();
    bool HasSavedPixels() const { return FSaved.has_value(); }

    // --- pixel effects, in place on the bytes ---
    virtual void BlurOnce(int Distance);
    virtual void Contrast(int Amount);
    virtual void Emboss();
    // True mirrors each row; false turns the rows upside down.
    virtual void Flip(bool Horizontal);
    virtual void GaussianBlur(int Amount);
    virtual void GrayScale();
    virtual void Invert();
    virtual void Lightness(int Amount);
    virtual void MakeMask(TfcPixel Key);
    virtual void ReplaceColor(TfcPixel Old, TfcPixel New);
    virtual void AddRGB(int Red, int Green, int Blue);
    // 192 in a channel leaves it alone; pixels of TransparentColor (unless clNone) are kept.
    virtual void Colorize(int Red, int Green, int Blue);
    // A centre coordinate of -1 is the middle.
    virtual void Rotate(TPoint Center, double Angle);
    virtual void Saturation(int Amount);
    virtual void Sharpen(int Amount);
    virtual void Sponge(int Amount);
    virtual void Wave(bool Wrap, int Ratio, int YDivisor, int XDivisor);
    // Other of another size is stretched over this one when AllowScaling,
    // else EInvalidOperation.
    void AlphaBlend(const TfcBitmap& Other, int Amount, bool AllowScaling);

protected:
    void Changed() override;
    void AssignTo(TPersistent* Dest) override;
    void Draw(TCanvas* Canvas, const TRect& R) const override;
    // Form data: the BMP file itself, no byte count before it.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) const override;

private:
    struct TSaved {
        std::vector<uint8_t> Bytes;
        int Width = 0, Height = 0;
    };
    void ApplyTables(const uint8_t* Red, const uint8_t* Green, const uint8_t* Blue);
    const TBitmap& Mask() const;

    TSurface FSurface;
    std::unique_ptr<TCanvas> FCanvas;
    mutable std::unique_ptr<TBitmap> FMask;
    TColor FTransparentColor = clNone;
    bool FSmoothStretch = false;
    TPixelFormat FPixelFormat = pf24bit;
    std::vector<uint32_t> FColorTable;
    bool FColorTableValid = false;
    bool FDeeperThanDisplay = false;
    bool FRespectPalette = false;
    bool FUseHalftonePalette = false;
    mutable std::vector<uint32_t> FPalette;
    TfcChangeLinks FChangeLinks;
    std::optional<TSaved> FSaved;
};
