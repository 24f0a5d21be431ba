// The BMP reader gets pictures from form data and files: any bytes must give
// a picture or EInvalidGraphic, never a crash or a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    try {
        TBmpImage img = ReadBmp(std::span<const uint8_t>(Data, Size));
        // What was read must also be writable and read back the same size.
        std::vector<uint8_t> again = WriteBmp(img.Pixels, img.BitCount, img.ColorTable);
        TBmpImage back = ReadBmp(again);
        if (back.Pixels.Width() != img.Pixels.Width() || back.Pixels.Height() != img.Pixels.Height()) __builtin_trap();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
