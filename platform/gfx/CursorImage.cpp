#include "platform/gfx/CursorImage.h"

#include "platform/classes/Resources.h"
#include "platform/gfx/Bmp.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Streams.h"

namespace {

[[noreturn]] void Bad(const char* Why) { throw EInvalidGraphic(AnsiString("Cursor is not valid: ") + Why); }

uint32_t U16(std::span<const uint8_t> B, size_t At) {
    if (At > B.size() || B.size() - At < 2) Bad("truncated");
    return uint32_t(B[At]) | (uint32_t(B[At + 1]) << 8);
}

uint32_t U32(std::span<const uint8_t> B, size_t At) { return U16(B, At) | (U16(B, At + 2) << 16); }

void Put32(std::string& S, uint32_t V) {
    for (int I = 0; I < 4; ++I) S += static_cast<char>(V >> (8 * I));
}

}  // namespace

TCursorImage ReadCursorFile(std::span<const uint8_t> Bytes) {
    if (U16(Bytes, 0) != 0 || U16(Bytes, 2) != 2 || U16(Bytes, 4) == 0) Bad("not a cursor file");
    TCursorImage Cursor;
    Cursor.HotSpot = TPoint(static_cast<int>(U16(Bytes, 10)), static_cast<int>(U16(Bytes, 12)));
    uint32_t Size = U32(Bytes, 14), Offset = U32(Bytes, 18);
    if (Offset > Bytes.size() || Size > Bytes.size() - Offset || Size < 40) Bad("bad picture entry");
    std::span<const uint8_t> Dib = Bytes.subspan(Offset, Size);
    uint32_t HeaderSize = U32(Dib, 0), Bits = U16(Dib, 14), Used = U32(Dib, 32);
    int32_t Width = static_cast<int32_t>(U32(Dib, 4)), Twice = static_cast<int32_t>(U32(Dib, 8));
    if (HeaderSize != 40 || Width <= 0 || Width > 256 || Twice <= 0 || Twice % 2 || Twice / 2 > 256)
        Bad("bad picture header");
    int Height = Twice / 2;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 24 && Bits != 32) Bad("bad colour depth");
    size_t Colors = Bits <= 8 ? (Used ? Used : (1u << Bits)) : 0;
    if (Colors > 256) Bad("bad colour table");
    size_t ImageStride = ((size_t(Width) * Bits + 31) / 32) * 4, MaskStride = ((size_t(Width) + 31) / 32) * 4;
    size_t ImageAt = 40 + 4 * Colors, MaskAt = ImageAt + ImageStride * size_t(Height);
    if (MaskAt + MaskStride * size_t(Height) > Dib.size()) Bad("truncated");

    // The picture is the upper half of the bitmap: a BMP file of that half.
    std::string File = "BM";
    Put32(File, static_cast<uint32_t>(14 + MaskAt));
    Put32(File, 0);
    Put32(File, static_cast<uint32_t>(14 + 40 + 4 * Colors));
    File.append(reinterpret_cast<const char*>(Dib.data()), MaskAt);
    for (int I = 0; I < 4; ++I) File[14 + 8 + size_t(I)] = static_cast<char>(uint32_t(Height) >> (8 * I));
    for (int I = 0; I < 4; ++I) File[14 + 20 + size_t(I)] = 0;  // no image size: the reader counts it
    TStringStream S(File);
    Cursor.Image = std::move(ReadBmp(S).Pixels);

    Cursor.Mask = TSurface(Width, Height);
    for (int Y = 0; Y < Height; ++Y) {
        const uint8_t* Row = Dib.data() + MaskAt + MaskStride * size_t(Height - 1 - Y);
        for (int X = 0; X < Width; ++X)
            Cursor.Mask.SetPixel(X, Y, (Row[X / 8] >> (7 - X % 8)) & 1 ? 0xFFFFFF : 0x000000);
    }
    if (Cursor.HotSpot.x >= Width || Cursor.HotSpot.y >= Height) Bad("hot spot outside the picture");
    return Cursor;
}

bool LoadCursorResource(std::string_view Name, TCursorImage& Cursor) {
    TResource Found;
    if (!FindResource(rkCursor, Name, Found)) return false;
    Cursor = ReadCursorFile(Found.Bytes);
    return true;
}
