// The library's 24-bit bitmap: its row layout, its BMP stream, scaling,
// transparent drawing, and letting the image go while keeping the pixels.
#include <gtest/gtest.h>

#include "buttons/fcBitmap.h"
#include "platform/gfx/Bmp.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"

namespace {

// A picture whose pixel (x, y) is (10x + y, 20 + y, 200 - x): every pixel differs.
void Paint(TfcBitmap& B, int W, int H) {
    B.SetSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) B.SetPixel(x, y, fcMakePixel(10 * x + y, 20 + y, 200 - x));
}

uint32_t At(const TSurface& S, int X, int Y) { return S.GetPixel(X, Y); }
uint32_t Rgb(TfcPixel P) { return (uint32_t(P.Red) << 16) | (uint32_t(P.Green) << 8) | P.Blue; }

TEST(fcBitmap, RowsArePaddedToFourBytesAndANewImageIsWhite) {
    struct {
        int W, H, Padding, Stride, Size;
    } Cases[] = {{5, 2, 1, 16, 32}, {1, 1, 1, 4, 4}, {4, 3, 0, 12, 36}, {3, 2, 3, 12, 24}, {6, 1, 2, 20, 20}};
    for (const auto& C : Cases) {
        TfcBitmap B;
        B.SetSize(C.W, C.H);
        EXPECT_EQ(B.RowPadding(), C.Padding) << C.W;
        EXPECT_EQ(B.RowStride(), C.Stride) << C.W;
        EXPECT_EQ(B.ImageSize(), C.Size) << C.W;
        EXPECT_EQ(B.ScanLine(1 % C.H) - B.ScanLine(0), (1 % C.H) * C.Stride);
        EXPECT_EQ(B.Pixel(C.W - 1, C.H - 1), fcMakePixel(255, 255, 255));
    }
    TfcBitmap E;
    E.SetSize(0, 10);
    EXPECT_TRUE(E.Empty());
    TfcBitmap T;
    Paint(T, 10, 10);
    T.SetHeight(20);
    EXPECT_EQ(T.Width(), 10);
    EXPECT_EQ(T.Height(), 20);
    EXPECT_EQ(T.Pixel(3, 3), fcMakePixel(255, 255, 255)) << "a new size is a new white image";
}

TEST(fcBitmap, AnEightBitPictureSavesAsEightBitWithItsColourTable) {
    // A 7 by 3 picture of four colours out of a 256-entry table.
    std::vector<uint32_t> Table(256);
    for (int i = 0; i < 256; ++i) Table[size_t(i)] = uint32_t(i * 0x010203) & 0xFFFFFF;
    TSurface Pixels(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) Pixels.SetPixel(x, y, Table[size_t((x + y) % 4 * 40)]);
    TMemoryStream File;
    WriteBmp(File, Pixels, 8, Table);
    File.SetPosition(0);

    TfcBitmap B;
    B.LoadFromStream(File);
    EXPECT_EQ(B.PixelFormat(), pf8bit);
    EXPECT_TRUE(B.ColorTableValid());
    EXPECT_EQ(B.Pixel(2, 1), fcColorToPixel(TColor(PixelToColorRef(Table[120]))));

    TMemoryStream Saved;
    B.SaveToStream(Saved);
    Saved.SetPosition(0);
    TBmpImage Back = ReadBmp(Saved);
    EXPECT_EQ(Back.BitCount, 8);
    EXPECT_EQ(Back.ColorTable, Table);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(At(Back.Pixels, x, y), At(Pixels, x, y)) << x << "," << y;
}

TEST(fcBitmap, AStreamThatIsNoBmpLeavesThePictureAsItWas) {
    TfcBitmap B;
    Paint(B, 3, 2);
    TStringStream Junk("not a bitmap at all");
    EXPECT_THROW(B.LoadFromStream(Junk), Exception);
    EXPECT_EQ(B.Width(), 3);
    EXPECT_EQ(B.Pixel(2, 1), fcMakePixel(21, 21, 198));
}

TEST(fcBitmap, AssigningAnEmptyPlatformBitmapClearsAndTellsTheLinks) {
    TfcBitmap B;
    Paint(B, 4, 4);
    int Changes = 0, Linked = 0;
    B.OnChange = [&](TObject*) { ++Changes; };
    TfcChangeLink Link;
    Link.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &B);
        ++Linked;
    };
    B.AddChangeLink(&Link);
    TBitmap Empty;
    B.Assign(&Empty);
    EXPECT_TRUE(B.Empty());
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Linked, 1);
    B.RemoveChangeLink(&Link);
    Paint(B, 2, 2);
    EXPECT_EQ(Linked, 1) << "a withdrawn link hears nothing";
    B.ChangesSuppressed = true;
    Paint(B, 3, 3);
    EXPECT_EQ(Changes, 2);
}

TEST(fcBitmap, ReleaseAndRestoreGiveBackEveryPixelForEveryWidth) {
    for (int W = 1; W <= 6; ++W) {
        TfcBitmap B;
        Paint(B, W, 3);
        std::vector<uint8_t> Before(B.Bits(), B.Bits() + B.ImageSize());
        B.SaveAndRelease();
        EXPECT_TRUE(B.Empty());
        EXPECT_TRUE(B.HasSavedPixels());
        B.Restore();
        ASSERT_EQ(B.Width(), W);
        EXPECT_FALSE(B.HasSavedPixels());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < W; ++x)
                EXPECT_EQ(B.Pixel(x, y), fcMakePixel(10 * x + y, 20 + y, 200 - x))
                    << W << ": " << x << "," << y;
        EXPECT_TRUE(std::equal(Before.begin(), Before.end(), B.Bits())) << W;
    }
}

TEST(fcBitmap, TransparentDrawingLeavesTheKeyColourUndrawn) {
    TfcBitmap B;
    B.SetSize(4, 3);
    TfcPixel Red = fcMakePixel(255, 0, 0), Blue = fcMakePixel(0, 0, 255);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) B.SetPixel(x, y, (x + y) % 2 ? Blue : Red);
    B.SetTransparent(true);
    TBitmap Target(6, 5);
    Target.Canvas()->Brush()->SetColor(clLime);
    Target.Canvas()->FillRect(TRect(0, 0, 6, 5));
    Target.Canvas()->Draw(1, 1, &B);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(Target.Surface(), x + 1, y + 1), (x + y) % 2 ? 0x0000FFu : 0x00FF00u)
                << x << "," << y;
    // A fixed key colour instead of the top-left pixel.
    B.SetTransparentColor(RGB(0, 0, 255));
    TBitmap Again(4, 3);
    Again.Canvas()->Draw(0, 0, &B);
    EXPECT_EQ(At(Again.Surface(), 1, 0), 0xFFFFFFu);
    EXPECT_EQ(At(Again.Surface(), 0, 0), 0xFF0000u);
}

TEST(fcBitmap, PlainStretchingTakesTheNearestPixel) {
    TfcBitmap B;
    Paint(B, 3, 2);
    TBitmap Target(7, 5);
    Target.Canvas()->StretchDraw(TRect(0, 0, 7, 5), &B);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(At(Target.Surface(), x, y), Rgb(B.Pixel(x * 3 / 7, y * 2 / 5))) << x << "," << y;
}

TEST(fcBitmap, SmoothStretchingBlendsNeighboursInFixedPoint) {
    // Two columns, black and white: halfway the channels meet in the middle.
    TfcBitmap B;
    B.SetSize(2, 1);
    B.SetPixel(0, 0, fcMakePixel(0, 0, 0));
    B.SetPixel(1, 0, fcMakePixel(255, 255, 255));
    B.SetSmoothStretch(true);
    TBitmap Target(4, 1);
    Target.Canvas()->StretchDraw(TRect(0, 0, 4, 1), &B);
    // xstep = 32768 / 4; column i blends by i / 4.
    for (int i = 0; i < 4; ++i) {
        int Fx = i * 8192, Rt = Fx;  // wt = 32768 on the only row
        int V = (255 * Rt) / 32768;
        EXPECT_EQ(At(Target.Surface(), i, 0), uint32_t(V * 0x010101)) << i;
    }
}

TEST(fcBitmap, SmoothStretchingStaysInsideOnePixelWideAndEmptyTargets) {
    TfcBitmap Narrow;
    Narrow.SetSize(1, 3);
    for (int y = 0; y < 3; ++y) Narrow.SetPixel(0, y, fcMakePixel(40 * y, 0, 0));
    Narrow.SetSmoothStretch(true);
    TBitmap Target(5, 3);
    Target.Canvas()->StretchDraw(TRect(0, 0, 5, 2), &Narrow);
    // One source column: every destination column is that column.
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(Target.Surface(), x, 0), 0x000000u) << x;
    Target.Canvas()->Brush()->SetColor(clLime);
    Target.Canvas()->FillRect(TRect(0, 0, 5, 3));
    Target.Canvas()->StretchDraw(TRect(0, 0, 0, 3), &Narrow);
    Target.Canvas()->StretchDraw(TRect(0, 0, 5, 0), &Narrow);
    EXPECT_EQ(At(Target.Surface(), 0, 0), 0x00FF00u) << "an empty target draws nothing";
}

TEST(fcBitmap, ACopyKeepsPixelsAndSettingsAndAPlatformBitmapGetsThePixels) {
    TfcBitmap A;
    Paint(A, 5, 4);
    A.SetTransparentColor(clRed);
    A.SetSmoothStretch(true);
    TfcBitmap B;
    B.Assign(&A);
    EXPECT_EQ(B.TransparentColor(), clRed);
    EXPECT_TRUE(B.SmoothStretch());
    EXPECT_EQ(B.Pixel(4, 3), A.Pixel(4, 3));
    TBitmap P;
    P.Assign(&A);
    EXPECT_EQ(P.Width(), 5);
    EXPECT_EQ(At(P.Surface(), 4, 3), Rgb(A.Pixel(4, 3)));
    TStringList NotAGraphic;
    EXPECT_THROW(B.Assign(&NotAGraphic), EConvertError);
}

// Tiles start at the rectangle's corner moved back by its left and top, and
// run while their start lies before its right and bottom.
TEST(fcBitmap, TilesRepeatThePictureFromTheRectanglesCorner) {
    TfcBitmap Tile;
    Paint(Tile, 3, 2);
    TBitmap Target(10, 8);
    Tile.TileDraw(Target.Canvas(), TRect(2, 1, 8, 6));
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 10; ++X) {
            uint32_t Want = X < 7 && Y < 5 ? Rgb(Tile.Pixel((X + 2) % 3, (Y + 1) % 2)) : 0xFFFFFFu;
            ASSERT_EQ(At(Target.Surface(), X, Y), Want) << X << "," << Y;
        }
}

TEST(fcBitmap, ResizeScalesTheImage) {
    TfcBitmap A;
    Paint(A, 2, 2);
    TfcPixel Corner = A.Pixel(1, 1);
    A.Resize(4, 4);
    EXPECT_EQ(A.Width(), 4);
    EXPECT_EQ(A.Pixel(3, 3), Corner);
    EXPECT_EQ(A.Pixel(2, 2), Corner);
}

}  // namespace
