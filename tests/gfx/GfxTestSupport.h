#pragma once
// Small helpers the drawing tests share.
#include <span>
#include <string>

#include "platform/gfx/Bmp.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/Streams.h"
#include "tests/support/ReferencePicture.h"

// The BMP file of the pixels, as bytes.
inline std::string BmpFile(const TSurface& Pixels, int Bits, std::span<const uint32_t> Table = {}) {
    TStringStream s;
    WriteBmp(s, Pixels, Bits, Table);
    return s.DataString();
}
