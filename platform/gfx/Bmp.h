#pragma once
// The BMP file format: reading 1, 4, 8, 16, 24 and 32-bit files (with
// colour tables, bottom-up or top-down, uncompressed or RLE4/RLE8) and
// writing 1, 4, 8, 24 and 32-bit files, always bottom-up and uncompressed.
#include <cstdint>
#include <span>

#include "platform/gfx/Surface.h"

class TStream;

struct TBmpImage {
    int BitCount = 24;                 // bits per pixel of the file
    std::vector<uint32_t> ColorTable;  // 0x00RRGGBB entries, for 8 bits or fewer
    TSurface Pixels;                   // Xrgb32, top-down
};

// Reads a BMP file ("BM" header first) of Size bytes from the stream's
// position (-1: the rest of the stream); the stream is left after them.
// Raises EInvalidGraphic with a short reason when the bytes are not a BMP
// file it can read; never reads past them.
TBmpImage ReadBmp(TStream& Stream, int64_t Size = -1);

// Writes a complete BMP file at the stream's position. For 1, 4 and 8 bits
// every pixel is written as the index of the colour-table entry equal to it,
// or of the nearest entry; an empty table gets the usual one (black and
// white; the 16 standard colours; a 3-3-2 cube). Other depths write 24 bits
// unless 32 is asked. Raises as TStream::WriteBuffer.
void WriteBmp(TStream& Stream, const TSurface& Pixels, int BitCount,
              std::span<const uint32_t> ColorTable = {});
