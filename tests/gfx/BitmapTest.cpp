#include <gtest/gtest.h>

#include "GfxTestSupport.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Streams.h"
#include "platform/sys/Files.h"
#include "tests/support/TempMachine.h"

namespace {

// A small picture whose colours are all in the given table.
TSurface Picture(int W, int H, const std::vector<uint32_t>& Colors) {
    TSurface s(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) s.SetPixel(x, y, Colors[size_t(x * 7 + y * 3) % Colors.size()]);
    return s;
}

TBmpImage ReadFile(const std::string& Bytes) {
    TStringStream s(Bytes);
    return ReadBmp(s);
}

}  // namespace

TEST(Bmp, EveryDepthRoundTripsPixelsAndColourTable) {
    std::vector<uint32_t> two = {0x000000, 0xFFFFFF};
    std::vector<uint32_t> sixteen = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < 256; ++i) many.push_back(i * 0x010203u & 0xFFFFFF);
    struct TCase {
        int Bits;
        std::vector<uint32_t> Table;
        int W;
    } cases[] = {{1, two, 13}, {4, sixteen, 7}, {8, many, 5}, {24, {}, 5}, {32, {}, 3}};
    for (const TCase& c : cases) {
        TSurface pic = Picture(c.W, 3, c.Table.empty() ? many : c.Table);
        std::string file = BmpFile(pic, c.Bits, c.Table);
        TBmpImage back = ReadFile(file);
        EXPECT_EQ(back.BitCount, c.Bits);
        EXPECT_EQ(back.ColorTable, c.Table);
        EXPECT_TRUE(SamePicture(pic, back.Pixels)) << c.Bits << " bits";
        // The rows of the file are 4-byte aligned and bottom-up.
        size_t stride = ((size_t(c.W) * size_t(c.Bits) + 31) / 32) * 4;
        EXPECT_EQ(file.size(), 14 + 40 + 4 * c.Table.size() + stride * 3);
    }
}

TEST(Bmp, TopDownFilesAreReadTheRightWayUp) {
    TSurface pic = Picture(4, 3, {0x102030, 0x405060, 0x708090});
    std::string file = BmpFile(pic, 24);
    // Flip the stored rows and negate the height.
    size_t stride = 12, off = 54;
    std::string flipped = file;
    for (int r = 0; r < 3; ++r)
        flipped.replace(off + stride * size_t(r), stride, file, off + stride * size_t(2 - r), stride);
    int32_t h = -3;
    std::memcpy(&flipped[22], &h, 4);
    EXPECT_TRUE(SamePicture(pic, ReadFile(flipped).Pixels));
}

TEST(Bmp, DamagedFilesRaiseInvalidGraphic) {
    std::vector<uint32_t> table = {0x123456};
    std::string good = BmpFile(Picture(3, 3, table), 8, table);
    auto bad = [&](auto Edit) {
        std::string b = good;
        Edit(b);
        return b;
    };
    EXPECT_THROW(ReadFile("BM"), EInvalidGraphic);
    EXPECT_THROW(ReadFile(""), EInvalidGraphic);
    EXPECT_THROW(ReadFile(bad([](auto& b) { b[0] = 'X'; })), EInvalidGraphic);
    EXPECT_THROW(ReadFile(bad([](auto& b) { b[28] = 7; })), EInvalidGraphic);  // depth 7
    EXPECT_THROW(ReadFile(bad([](auto& b) { b[18] = b[19] = b[20] = b[21] = char(0xFF); })),
                 EInvalidGraphic);  // width -1
    EXPECT_THROW(ReadFile(bad([](auto& b) {
                     b[10] = char(0xFF);
                     b[11] = char(0xFF);
                 })),
                 EInvalidGraphic);  // pixels past the end
    // A file cut inside its pixels keeps the rows it has.
    EXPECT_NO_THROW(ReadFile(good.substr(0, good.size() - 4)));
}

TEST(Bmp, ReadsOnlyItsOwnBytesOfAStream) {
    // Two files back to back after an 8-byte header, as blobs and form data hold them.
    std::vector<uint32_t> table = {0x000000, 0xFFFFFF};
    TSurface first = Picture(5, 2, table), second = Picture(3, 4, {0x112233, 0x445566});
    std::string a = BmpFile(first, 1, table), b = BmpFile(second, 24);
    TStringStream s(std::string(8, '\x7F') + a + b);
    s.SetPosition(8);
    TBmpImage one = ReadBmp(s, int64_t(a.size()));
    EXPECT_EQ(s.Position(), int64_t(8 + a.size()));
    EXPECT_TRUE(SamePicture(first, one.Pixels));
    TBmpImage two = ReadBmp(s);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_TRUE(SamePicture(second, two.Pixels));
    // A size beyond the stream is only what is there.
    s.SetPosition(8 + int64_t(a.size()));
    EXPECT_TRUE(SamePicture(second, ReadBmp(s, int64_t(1) << 40).Pixels));
}

TEST(Bitmap, TheDeviceOfABitmapReportsTheDepthOfItsFormat) {
    struct TCase {
        TPixelFormat Format;
        int Bits;
    };
    for (TCase C : {TCase{pfDevice, 32}, TCase{pf1bit, 1}, TCase{pf4bit, 4}, TCase{pf8bit, 8},
                    TCase{pf15bit, 16}, TCase{pf16bit, 16}, TCase{pf24bit, 24}, TCase{pf32bit, 32}}) {
        TBitmap B(30, 20);
        B.SetPixelFormat(C.Format);
        EXPECT_EQ(GetDeviceCaps(B.Canvas(), BITSPIXEL), C.Bits) << int(C.Format);
        EXPECT_EQ(GetDeviceCaps(B.Canvas(), PLANES), 1);
        TBitmap Copy;
        Copy.Assign(&B);
        EXPECT_EQ(GetDeviceCaps(Copy.Canvas(), BITSPIXEL), C.Bits) << "a copy is of the same format";
    }
    TBitmap B(30, 20);
    EXPECT_EQ(GetDeviceCaps(B.Canvas(), HORZRES), 30);
    EXPECT_EQ(GetDeviceCaps(B.Canvas(), VERTRES), 20);
    EXPECT_EQ(GetDeviceCaps(B.Canvas(), LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
}

TEST(Bitmap, LoadingAndSavingKeepsThePaletteFormat) {
    std::vector<uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    TBitmap b;
    // A blob of the grid: the BMP file after eight bytes of its own.
    TStringStream blob(std::string(8, '\0') + BmpFile(Picture(6, 2, table), 8, table));
    blob.SetPosition(8);
    b.LoadFromStream(blob);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(b.Width(), 6);
    TStringStream saved;
    b.SaveToStream(saved);
    TBmpImage again = ReadFile(saved.DataString());
    EXPECT_EQ(again.BitCount, 8);
    EXPECT_EQ(again.ColorTable, table);
    // A bad file leaves the bitmap as it was.
    TStringStream bad(std::string("BM\0", 3));
    EXPECT_THROW(b.LoadFromStream(bad), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 6);
    // Nothing left in the stream is an empty bitmap, and an empty bitmap writes nothing.
    b.LoadFromStream(saved);
    EXPECT_TRUE(b.Empty());
    TStringStream none;
    b.SaveToStream(none);
    EXPECT_EQ(none.Size(), 0);
}

TEST(Bitmap, FilesAreNamedAsTheProgramNamesThem) {
    TTempMachine machine("gfx");
    TBitmap b(3, 2);
    b.Canvas()->SetPixel(2, 1, clRed);
    b.SaveToFile("C:\\Logo.bmp");
    EXPECT_TRUE(std::filesystem::exists(machine.DriveC() / "Logo.bmp"));
    TPicture p;
    p.LoadFromFile("c:\\LOGO.BMP");  // names are found without regard to case
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Bitmap()->Surface().GetPixel(2, 1), 0xFF0000u);
    EXPECT_THROW(p.LoadFromFile("C:\\Nada.bmp"), EFOpenError);
    EXPECT_EQ(p.Width(), 3);
}

TEST(Bitmap, TwentyFourBitRowsUseTheLibraryStride) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(5, 2);
    EXPECT_EQ(b.Surface().Stride(), 16);  // 3 * 5 + 5 mod 4
    EXPECT_EQ(b.Surface().ImageSize(), 32u);
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), 16);
    b.Canvas()->SetPixel(4, 1, clRed);
    const uint8_t* p = b.ScanLine(1) + 12;
    EXPECT_EQ(p[0], 0);                 // blue
    EXPECT_EQ(p[1], 0);                 // green
    EXPECT_EQ(p[2], 0xFF);              // red
    EXPECT_EQ(b.ScanLine(0)[0], 0xFF);  // new pixels are white
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelUnlessFixed) {
    TBitmap b(3, 3);
    b.Canvas()->SetPixel(0, 2, clFuchsia);
    EXPECT_EQ(b.TransparentColor(), clFuchsia);
    b.SetTransparentColor(clLime);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clLime);
}

TEST(Bitmap, TransparentDrawLeavesKeyPixelsUntouched) {
    TBitmap img(2, 2);
    img.Surface().Fill(0x0000FF);            // blue
    img.Surface().SetPixel(1, 0, 0xFF0000);  // one red pixel, the key
    img.SetTransparentColor(clRed);
    img.SetTransparent(true);
    TBitmap dest(2, 2);
    dest.Surface().Fill(0x00FF00);
    dest.Canvas()->Draw(0, 0, &img);
    EXPECT_EQ(dest.Surface().GetPixel(1, 0), 0x00FF00u);
    EXPECT_EQ(dest.Surface().GetPixel(0, 0), 0x0000FFu);
}

TEST(ImageList, MaskedImagesDrawOnlyTheirOpaquePixels) {
    // Two 2x1 cells; white is transparent (the usual mask colour of glyph strips).
    TBitmap strip(4, 1);
    strip.Surface().SetPixel(0, 0, 0x0000FF);
    strip.Surface().SetPixel(1, 0, 0xFFFFFF);
    strip.Surface().SetPixel(2, 0, 0xFFFFFF);
    strip.Surface().SetPixel(3, 0, 0x00FF00);
    TImageList list(nullptr, 2, 1);
    EXPECT_EQ(list.AddMasked(&strip, clWhite), 0);
    EXPECT_EQ(list.Count(), 2);
    TBitmap dest(2, 1);
    dest.Surface().Fill(0x808080);
    list.Draw(dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(dest.Surface().GetPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(dest.Surface().GetPixel(1, 0), 0x808080u);
    TBitmap mask;
    ASSERT_TRUE(list.GetMask(1, &mask));
    EXPECT_EQ(mask.Surface().GetPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(mask.Surface().GetPixel(1, 0), 0u);
}

TEST(ImageList, DisabledImageIsEmbossedFromItsMask) {
    TBitmap glyph(3, 3);
    glyph.Surface().Fill(0xFFFFFF);
    glyph.Surface().SetPixel(1, 1, 0x000000);  // one opaque pixel
    TImageList list(nullptr, 3, 3);
    list.AddMasked(&glyph, clWhite);
    TBitmap dest(5, 5);
    dest.Surface().Fill(0x123456);
    list.Draw(dest.Canvas(), 1, 1, 0, false);
    EXPECT_EQ(dest.Surface().GetPixel(2, 2), ColorRefToPixel(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(dest.Surface().GetPixel(3, 3), ColorRefToPixel(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(dest.Surface().GetPixel(1, 1), 0x123456u);
}
