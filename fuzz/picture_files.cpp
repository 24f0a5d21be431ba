// Metafiles and cursor files come from disks and the clipboard: any bytes
// must give a picture or EInvalidGraphic, never a crash or a read out of
// bounds, and a metafile that was read writes back the same picture.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gfx/CursorImage.h"
#include "platform/gfx/Metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    std::span<const uint8_t> Bytes(Data, Size);
    try {
        TMetafile M;
        M.LoadFromBytes(Bytes);
        for (bool Enhanced : {true, false}) {
            TMetafile Again;
            Again.LoadFromBytes(Enhanced ? M.EnhancedBytes() : M.ClassicBytes());
            if (Again.Width() != M.Width() || Again.Height() != M.Height()) __builtin_trap();
        }
    } catch (const EInvalidGraphic&) {
    }
    try {
        TCursorImage Cursor = ReadCursorFile(Bytes);
        if (Cursor.Image.Width() != Cursor.Mask.Width()) __builtin_trap();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
