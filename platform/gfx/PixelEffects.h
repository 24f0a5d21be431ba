#pragma once
// Effects on the pixels of a 24-bit surface (TSurfaceFormat::Bgr24: blue,
// green and red bytes, top row first), in place. The libraries' own bitmaps
// keep their pictures in such surfaces and change them through these.
// A neighbour beyond an edge is the pixel on the edge.
#include <cstdint>
#include <functional>

#include "platform/gfx/Surface.h"

struct TBgr {
    uint8_t Blue = 0, Green = 0, Red = 0;
    bool operator==(const TBgr&) const = default;
};

namespace PixelEffects {
uint8_t ClampByte(int Value);

// Tables that map a channel's value: lighter (Amount > 0) or darker by
// Amount / 256 of the way to white or black; contrast away from 128.
void LightnessTable(int Amount, uint8_t (&Table)[256]);
void ContrastTable(int Amount, uint8_t (&Table)[256]);
void MapChannels(TSurface& S, const uint8_t* Red, const uint8_t* Green, const uint8_t* Blue);

// Adds to every channel (clamped), except on pixels of Keep when given.
void AddToChannels(TSurface& S, int Red, int Green, int Blue, const TBgr* Keep = nullptr);
// The grey of a pixel is the sum of its thirds.
void GrayScale(TSurface& S);
void Invert(TSurface& S);
// 256 keeps the colours; less moves them towards their grey, more away.
void Saturation(TSurface& S, int Amount);
// Pixels of Key black, every other white.
void MaskFromKey(TSurface& S, TBgr Key);
void ReplaceColor(TSurface& S, TBgr Old, TBgr New);

// Each pixel the average of the four at (+-Distance, +-Distance), worked
// row by row over the pixels already changed.
void Blur(TSurface& S, int Distance);
// Each pixel 2 times itself less 1/8 of the eight at Distance around it.
void Sharpen(TSurface& S, int Distance);
// Each pixel halfway to the inverse of the one below and right of it (the
// last two rows take the second pixel of the last row as it was).
void Emboss(TSurface& S);
// Each pixel takes one up to Amount away in each direction; RandomBelow(n)
// answers 0 .. n - 1 (0 for n <= 0).
void Spread(TSurface& S, int Amount, const std::function<int(int)>& RandomBelow);
void Flip(TSurface& S, bool Horizontal);
// Degrees about (CX, CY); the corners left uncovered take the top-left colour.
void Rotate(TSurface& S, int CX, int CY, double Angle);
// Source stretched into Dest, which has its size already, by bilinear
// weights in 15-bit fixed point.
void StretchSmooth(const TSurface& Source, TSurface& Dest);
}  // namespace PixelEffects
