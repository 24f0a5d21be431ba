#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "platform/gfx/ImageList.h"

namespace {

// A small picture whose colours are all in the given table.
TSurface Picture(int W, int H, const std::vector<uint32_t>& Colors) {
    TSurface s(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) s.SetPixel(x, y, Colors[size_t(x * 7 + y * 3) % Colors.size()]);
    return s;
}

bool SamePixels(const TSurface& A, const TSurface& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (A.GetPixel(x, y) != B.GetPixel(x, y)) return false;
    return true;
}

}  // namespace

TEST(Bmp, EveryDepthRoundTripsPixelsAndColourTable) {
    std::vector<uint32_t> two = {0x000000, 0xFFFFFF};
    std::vector<uint32_t> sixteen = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                     0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < 256; ++i) many.push_back(i * 0x010203u & 0xFFFFFF);
    struct TCase {
        int Bits;
        std::vector<uint32_t> Table;
        int W;
    } cases[] = {{1, two, 13}, {4, sixteen, 7}, {8, many, 5}, {24, {}, 5}, {32, {}, 3}};
    for (const TCase& c : cases) {
        TSurface pic = Picture(c.W, 3, c.Table.empty() ? many : c.Table);
        std::vector<uint8_t> file = WriteBmp(pic, c.Bits, c.Table);
        TBmpImage back = ReadBmp(file);
        EXPECT_EQ(back.BitCount, c.Bits);
        EXPECT_EQ(back.ColorTable, c.Table);
        EXPECT_TRUE(SamePixels(back.Pixels, pic)) << c.Bits << " bits";
        // The rows of the file are 4-byte aligned and bottom-up.
        size_t stride = ((size_t(c.W) * size_t(c.Bits) + 31) / 32) * 4;
        EXPECT_EQ(file.size(), 14 + 40 + 4 * c.Table.size() + stride * 3);
    }
}

TEST(Bmp, TopDownFilesAreReadTheRightWayUp) {
    TSurface pic = Picture(4, 3, {0x102030, 0x405060, 0x708090});
    std::vector<uint8_t> file = WriteBmp(pic, 24);
    // Flip the stored rows and negate the height.
    size_t stride = 12, off = 54;
    std::vector<uint8_t> flipped = file;
    for (int r = 0; r < 3; ++r) std::copy_n(file.begin() + long(off + stride * size_t(2 - r)), stride, flipped.begin() + long(off + stride * size_t(r)));
    int32_t h = -3;
    std::memcpy(&flipped[22], &h, 4);
    EXPECT_TRUE(SamePixels(ReadBmp(flipped).Pixels, pic));
}

TEST(Bmp, DamagedFilesRaiseInvalidGraphic) {
    std::vector<uint8_t> good = WriteBmp(Picture(3, 3, {0x123456}), 8, std::vector<uint32_t>{0x123456});
    auto bad = [&](auto Edit) {
        std::vector<uint8_t> b = good;
        Edit(b);
        return b;
    };
    EXPECT_THROW(ReadBmp(std::vector<uint8_t>{'B', 'M'}), EInvalidGraphic);
    EXPECT_THROW(ReadBmp(bad([](auto& b) { b[0] = 'X'; })), EInvalidGraphic);
    EXPECT_THROW(ReadBmp(bad([](auto& b) { b[28] = 7; })), EInvalidGraphic);                 // depth 7
    EXPECT_THROW(ReadBmp(bad([](auto& b) { b[18] = b[19] = b[20] = b[21] = 0xFF; })), EInvalidGraphic);  // width -1
    EXPECT_THROW(ReadBmp(bad([](auto& b) { b[10] = 0xFF; b[11] = 0xFF; })), EInvalidGraphic);  // pixels past the end
    // A file cut inside its pixels keeps the rows it has.
    std::vector<uint8_t> cut(good.begin(), good.end() - 4);
    EXPECT_NO_THROW(ReadBmp(cut));
}

TEST(Bitmap, LoadingAndSavingKeepsThePaletteFormat) {
    std::vector<uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    TBitmap b;
    b.LoadFromBytes(WriteBmp(Picture(6, 2, table), 8, table));
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    std::vector<uint8_t> saved = b.SaveToBytes();
    TBmpImage again = ReadBmp(saved);
    EXPECT_EQ(again.BitCount, 8);
    EXPECT_EQ(again.ColorTable, table);
    // A bad file leaves the bitmap as it was.
    EXPECT_THROW(b.LoadFromBytes(std::vector<uint8_t>{'B', 'M', 0}), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 6);
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
    EXPECT_EQ(p[0], 0);     // blue
    EXPECT_EQ(p[1], 0);     // green
    EXPECT_EQ(p[2], 0xFF);  // red
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
    img.Surface().Fill(0x0000FF);        // blue
    img.Surface().SetPixel(1, 0, 0xFF0000);  // one red pixel, the key
    img.SetTransparentColor(clRed);
    img.SetTransparent(true);
    TBitmap dest(2, 2);
    dest.Surface().Fill(0x00FF00);
    dest.Canvas()->Draw(0, 0, &img);
    EXPECT_EQ(dest.Surface().GetPixel(1, 0), 0x00FF00u);
    EXPECT_EQ(dest.Surface().GetPixel(0, 0), 0x0000FFu);
}

TEST(Bitmap, PictureDataCarriesClassNameAndBmp) {
    TPicture p;
    p.Bitmap()->SetSize(3, 2);
    p.Bitmap()->Canvas()->SetPixel(1, 1, clRed);
    std::vector<uint8_t> data = p.WriteData();
    ASSERT_GE(data.size(), 12u);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 8), "TBitmap");
    TPicture q;
    int changes = 0;
    q.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    q.ReadData(data);
    EXPECT_GT(changes, 0);
    ASSERT_NE(q.Graphic(), nullptr);
    EXPECT_EQ(q.Width(), 3);
    EXPECT_EQ(q.Bitmap()->Surface().GetPixel(1, 1), 0xFF0000u);
    data.resize(data.size() - 1);
    EXPECT_THROW(q.ReadData(data), EReadError);
}

TEST(ImageList, MaskedImagesDrawOnlyTheirOpaquePixels) {
    // Two 2x1 cells; white is transparent (the usual mask colour of glyph strips).
    TBitmap strip(4, 1);
    strip.Surface().SetPixel(0, 0, 0x0000FF);
    strip.Surface().SetPixel(1, 0, 0xFFFFFF);
    strip.Surface().SetPixel(2, 0, 0xFFFFFF);
    strip.Surface().SetPixel(3, 0, 0x00FF00);
    TImageList list(2, 1);
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
    TImageList list(3, 3);
    list.AddMasked(&glyph, clWhite);
    TBitmap dest(5, 5);
    dest.Surface().Fill(0x123456);
    list.Draw(dest.Canvas(), 1, 1, 0, false);
    EXPECT_EQ(dest.Surface().GetPixel(2, 2), ColorRefToPixel(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(dest.Surface().GetPixel(3, 3), ColorRefToPixel(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(dest.Surface().GetPixel(1, 1), 0x123456u);
}
