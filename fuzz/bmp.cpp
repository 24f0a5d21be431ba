// The BMP reader gets pictures from form data and files: any bytes must give
// a picture or EInvalidGraphic, never a crash or a read out of bounds.
#include <cstddef>
#include <cstdint>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    try {
        // The reader only reads through this stream.
        TPointerStream input(const_cast<uint8_t*>(Data), static_cast<int64_t>(Size));
        TBmpImage img = ReadBmp(input);
        // What was read must also be writable and read back the same size.
        // A few header bytes can declare a picture of millions of pixels (the
        // rows a file lacks stay black); writing those back only costs time.
        if (int64_t(img.Pixels.Width()) * img.Pixels.Height() > (int64_t(1) << 20)) return 0;
        TMemoryStream again;
        WriteBmp(again, img.Pixels, img.BitCount, img.ColorTable);
        again.SetPosition(0);
        TBmpImage back = ReadBmp(again);
        if (back.Pixels.Width() != img.Pixels.Width() || back.Pixels.Height() != img.Pixels.Height())
            __builtin_trap();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
