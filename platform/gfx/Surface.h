#pragma once
// Pixel surfaces: the memory every canvas draws into.
//
// Rows run top to bottom. Two layouts exist:
// - Xrgb32: one 32-bit word per pixel, 0x00RRGGBB (bytes blue, green, red,
//   unused in memory); windows, off-screen buffers and ordinary bitmaps.
// - Bgr24: three bytes per pixel (blue, green, red), rows of
//   3 * width + width mod 4 bytes; the libraries' own 24-bit bitmaps address
//   these bytes directly through ScanLine.
// A monochrome surface is an Xrgb32 surface whose pixels are only black or
// white; blits into and out of it follow the monochrome conversion rules.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Types.h"

enum class TSurfaceFormat : uint8_t { Xrgb32, Bgr24 };

class TSurface {
public:
    TSurface() = default;
    TSurface(int Width, int Height, TSurfaceFormat Format = TSurfaceFormat::Xrgb32);

    // Resizes and fills with Fill (a 0x00RRGGBB value); a size of 0 in either
    // direction leaves an empty surface.
    void Reset(int Width, int Height, TSurfaceFormat Format, uint32_t Fill = 0xFFFFFF);
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Stride() const { return FStride; }  // bytes per row
    TSurfaceFormat Format() const { return FFormat; }
    bool Monochrome() const { return FMonochrome; }
    // Switching to monochrome turns every pixel that is not white into black.
    void SetMonochrome(bool Value);

    uint8_t* Bits() { return FBits.data(); }
    const uint8_t* Bits() const { return FBits.data(); }
    uint8_t* ScanLine(int Row) { return FBits.data() + size_t(Row) * size_t(FStride); }
    const uint8_t* ScanLine(int Row) const { return FBits.data() + size_t(Row) * size_t(FStride); }
    size_t ImageSize() const { return FBits.size(); }

    // 0x00RRGGBB; outside the surface GetPixel answers 0 and SetPixel does nothing.
    uint32_t GetPixel(int X, int Y) const;
    void SetPixel(int X, int Y, uint32_t Rgb);
    void Fill(uint32_t Rgb);

    // Reads a span of pixels as 0x00RRGGBB words, and writes one back.
    void ReadSpan(int X, int Y, int Count, uint32_t* Out) const;
    void WriteSpan(int X, int Y, int Count, const uint32_t* In);

    // Bumped by every change made through a canvas; the window layer uses it
    // to know whether a surface must be shown again.
    uint64_t Generation() const { return FGeneration; }
    void Touch() { ++FGeneration; }

private:
    int FWidth = 0, FHeight = 0, FStride = 0;
    TSurfaceFormat FFormat = TSurfaceFormat::Xrgb32;
    bool FMonochrome = false;
    uint64_t FGeneration = 0;
    std::vector<uint8_t> FBits;
};

// Bytes per row of a surface of that width and format.
int SurfaceStride(int Width, TSurfaceFormat Format);
// 0x00RRGGBB (pixel word) <-> 00BBGGRR (TColorRef).
constexpr uint32_t ColorRefToPixel(TColorRef C) {
    return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}
constexpr TColorRef PixelToColorRef(uint32_t P) {
    return ((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF);
}

// Writes the surface as a PNG file (through cairo); raises EInOutError when
// the file cannot be written.
void SaveSurfaceToPng(const TSurface& Surface, const std::string& FileName);
// Reads a PNG file into a new Xrgb32 surface (alpha is dropped); raises
// EInOutError when the file cannot be read.
TSurface LoadSurfaceFromPng(const std::string& FileName);
// The same in memory: the bytes of a PNG file, and a surface from them.
std::vector<uint8_t> EncodePng(const TSurface& Surface);
TSurface DecodePng(std::span<const uint8_t> Bytes);
