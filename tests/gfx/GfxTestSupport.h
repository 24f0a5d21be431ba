#pragma once
// Small helpers the drawing tests share.
#include <span>
#include <string>

#include "platform/gfx/Bmp.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/Streams.h"

inline bool SamePixels(const TSurface& A, const TSurface& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (A.GetPixel(x, y) != B.GetPixel(x, y)) return false;
    return true;
}

// The BMP file of the pixels, as bytes.
inline std::string BmpFile(const TSurface& Pixels, int Bits, std::span<const uint32_t> Table = {}) {
    TStringStream s;
    WriteBmp(s, Pixels, Bits, Table);
    return s.DataString();
}
