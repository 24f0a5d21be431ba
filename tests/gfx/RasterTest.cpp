// Pixel rules of the canvas, checked against expectations computed here by formula.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/gfx/Bitmap.h"

namespace {

using TPixels = std::set<std::pair<int, int>>;

struct TSurfaceFixture {
    TBitmap Bmp;
    explicit TSurfaceFixture(int W = 16, int H = 16) {
        Bmp.SetPixelFormat(pf32bit);
        Bmp.SetSize(W, H);
        Bmp.Surface().Fill(0xFFFFFF);
    }
    TCanvas& C() { return *Bmp.Canvas(); }
    uint32_t At(int X, int Y) const { return Bmp.Surface().GetPixel(X, Y); }
    TPixels Changed() const {
        TPixels s;
        for (int y = 0; y < Bmp.Height(); ++y)
            for (int x = 0; x < Bmp.Width(); ++x)
                if (At(x, y) != 0xFFFFFF) s.insert({x, y});
        return s;
    }
};

TPixels Box(int L, int T, int R, int B) {
    TPixels s;
    for (int y = T; y < B; ++y)
        for (int x = L; x < R; ++x) s.insert({x, y});
    return s;
}

}  // namespace

TEST(Canvas, RectangleCoversItsHalfOpenBoxWithOutlineInside) {
    TSurfaceFixture f;
    f.C().Pen()->SetColor(clBlack);
    f.C().Brush()->SetColor(clRed);
    f.C().Rectangle(2, 3, 9, 8);
    EXPECT_EQ(f.Changed(), Box(2, 3, 9, 8));
    for (auto [x, y] : Box(2, 3, 9, 8)) {
        bool border = x == 2 || x == 8 || y == 3 || y == 7;
        EXPECT_EQ(f.At(x, y), border ? 0x000000u : 0xFF0000u) << x << "," << y;
    }
}

TEST(Canvas, RectangleWithoutPenFillsOnePixelLess) {
    TSurfaceFixture f;
    f.C().Pen()->SetStyle(psClear);
    f.C().Brush()->SetColor(clBlue);
    f.C().Rectangle(2, 3, 9, 8);
    EXPECT_EQ(f.Changed(), Box(2, 3, 8, 7));
}

TEST(Canvas, FillRectIgnoresPenAndCoversHalfOpenBox) {
    TSurfaceFixture f;
    f.C().Brush()->SetColor(clLime);
    f.C().FillRect({1, 1, 4, 6});
    EXPECT_EQ(f.Changed(), Box(1, 1, 4, 6));
}

TEST(Canvas, PolygonFillLeavesRightAndBottomEdgesOut) {
    // A right triangle: pixel (x, y) is inside when x + y < 8 (its left and top edges count).
    TSurfaceFixture f;
    f.C().Pen()->SetStyle(psClear);
    f.C().Brush()->SetColor(clBlack);
    TPoint tri[] = {{0, 0}, {8, 0}, {0, 8}};
    f.C().Polygon(tri);
    TPixels expected;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (x + y < 8) expected.insert({x, y});
    EXPECT_EQ(f.Changed(), expected);
}

TEST(Canvas, PolygonOutlineCoversEveryVertex) {
    TSurfaceFixture f;
    f.C().Brush()->SetStyle(bsClear);
    TPoint quad[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    f.C().Polygon(quad);
    TPixels expected = Box(1, 1, 6, 5);
    for (auto p : Box(2, 2, 5, 4)) expected.erase(p);
    EXPECT_EQ(f.Changed(), expected);
}

TEST(Canvas, WindingFillKeepsTheInnerFigureThatAlternateLeavesOut) {
    // Two nested squares drawn in the same direction.
    TPoint pts[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 3}, {7, 3}, {7, 7}, {3, 7}};
    int counts[] = {4, 4};
    for (int mode : {ALTERNATE, WINDING}) {
        TSurfaceFixture f;
        f.C().Pen()->SetStyle(psClear);
        f.C().Brush()->SetColor(clBlack);
        f.C().SetPolyFillMode(mode);
        f.C().PolyPolygon(pts, counts);
        EXPECT_EQ(f.At(5, 5) == 0, mode == WINDING);
        EXPECT_EQ(f.At(1, 1), 0u);
    }
}

TEST(Canvas, LinesFollowBresenhamAndLeaveOutTheirEndPoint) {
    struct TCase {
        int X0, Y0, X1, Y1;
    } cases[] = {{1, 1, 9, 1},  {1, 1, 1, 9}, {1, 1, 9, 4}, {9, 4, 1, 1},
                 {2, 12, 7, 1}, {0, 0, 6, 3}, {3, 3, 4, 9}};
    for (const TCase& c : cases) {
        TSurfaceFixture f;
        f.C().MoveTo(c.X0, c.Y0);
        f.C().LineTo(c.X1, c.Y1);
        // The pixel nearest the ideal line at each step of the major axis; a
        // half-way point goes to the start's side.
        TPixels expected;
        int dx = std::abs(c.X1 - c.X0), dy = std::abs(c.Y1 - c.Y0);
        int sx = c.X1 >= c.X0 ? 1 : -1, sy = c.Y1 >= c.Y0 ? 1 : -1;
        int major = std::max(dx, dy), minor = std::min(dx, dy);
        for (int i = 0; i < major; ++i) {
            int off = (2 * i * minor + major - 1) / (2 * major);
            if (dx >= dy) expected.insert({c.X0 + sx * i, c.Y0 + sy * off});
            else expected.insert({c.X0 + sx * off, c.Y0 + sy * i});
        }
        EXPECT_EQ(f.Changed(), expected) << c.X0 << "," << c.Y0 << " to " << c.X1 << "," << c.Y1;
        EXPECT_EQ(f.At(c.X1, c.Y1), 0xFFFFFFu);
        EXPECT_EQ(f.C().PenPos(), TPoint(c.X1, c.Y1));
    }
}

TEST(Canvas, DeviceOriginAndClipPlaceTheDrawingAndReadBackAsSet) {
    TSurfaceFixture f(16, 12);
    TCanvas& c = f.C();
    EXPECT_EQ(c.DeviceClip(), nullptr);
    TRegion visible = TRegion::Combine(TRegion(TRect{0, 0, 4, 4}), TRegion(TRect{6, 1, 9, 3}), RGN_OR);
    c.SetDeviceOrigin({5, 3});
    c.SetDeviceClip(&visible);
    ASSERT_NE(c.DeviceClip(), nullptr);
    EXPECT_EQ(*c.DeviceClip(), visible);
    EXPECT_EQ(c.DeviceOrigin(), TPoint(5, 3));
    c.Brush()->SetColor(clBlack);
    c.FillRect({-20, -20, 40, 40});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(f.At(x, y) == 0, visible.Contains(x - 5, y - 3)) << x << "," << y;
    c.SetDeviceClip(nullptr);
    EXPECT_EQ(c.DeviceClip(), nullptr);
    // Binding another surface starts with the whole of it visible at (0, 0).
    c.SetDeviceClip(&visible);
    c.SetSurface(&f.Bmp.Surface());
    EXPECT_EQ(c.DeviceClip(), nullptr);
    EXPECT_EQ(c.DeviceOrigin(), TPoint(0, 0));
}

TEST(Canvas, DottedPenAlternatesRunsOfThreePixels) {
    TSurfaceFixture f(32, 4);
    f.C().Pen()->SetStyle(psDot);
    f.C().SetBkMode(TRANSPARENT);
    f.C().MoveTo(0, 1);
    f.C().LineTo(30, 1);
    for (int x = 0; x < 30; ++x) EXPECT_EQ(f.At(x, 1) == 0, (x / 3) % 2 == 0) << x;
}

TEST(Canvas, EveryPenModeFollowsItsTruthTable) {
    // Pen bits 1100 and screen bits 1010 in every nibble: the result nibble is the mode's table.
    for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
        TSurfaceFixture f(4, 4);
        f.Bmp.Surface().Fill(0xAAAAAA);
        f.C().Pen()->SetColor(RGB(0xCC, 0xCC, 0xCC));
        f.C().SetROP2(rop2);
        f.C().MoveTo(0, 0);
        f.C().LineTo(2, 0);
        uint32_t t = uint32_t(rop2 - 1), expected = (t | (t << 4)) * 0x010101u;
        EXPECT_EQ(f.At(0, 0), expected) << "R2 " << rop2;
        EXPECT_EQ(f.At(2, 0), 0xAAAAAAu);
    }
}

TEST(Canvas, EveryTernaryRasterOperationFollowsItsTruthTable) {
    // Pattern F0, source CC, destination AA in every byte: the result byte is the code itself.
    TBitmap src(2, 2);
    src.Surface().Fill(0xCCCCCC);
    for (int code = 0; code < 256; ++code) {
        TSurfaceFixture f(2, 2);
        f.Bmp.Surface().Fill(0xAAAAAA);
        f.C().Brush()->SetColor(RGB(0xF0, 0xF0, 0xF0));
        ASSERT_TRUE(f.C().BitBlt(0, 0, 2, 2, src.Canvas(), 0, 0, uint32_t(code) << 16));
        EXPECT_EQ(f.At(1, 1), uint32_t(code) * 0x010101u) << "code " << code;
    }
}

TEST(Canvas, PatBltInvertsAndBlackensWithoutASource) {
    TSurfaceFixture f(4, 4);
    f.Bmp.Surface().Fill(0x123456);
    f.C().PatBlt(0, 0, 2, 4, DSTINVERT);
    f.C().PatBlt(2, 0, 2, 4, BLACKNESS);
    EXPECT_EQ(f.At(0, 3), 0xEDCBA9u);
    EXPECT_EQ(f.At(3, 0), 0u);
}

TEST(Canvas, MonochromeSourceTakesTextAndBackgroundColours) {
    TBitmap mono;
    mono.SetPixelFormat(pf1bit);
    mono.SetSize(2, 1);
    mono.Surface().SetPixel(0, 0, 0x000000);
    mono.Surface().SetPixel(1, 0, 0xFFFFFF);
    TSurfaceFixture f(2, 1);
    f.C().SetTextColor(clRed);
    f.C().SetBkColor(clBlue);
    f.C().BitBlt(0, 0, 2, 1, mono.Canvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(f.At(0, 0), 0xFF0000u);  // 0 -> text colour (red as a pixel word)
    EXPECT_EQ(f.At(1, 0), 0x0000FFu);  // 1 -> background colour (blue)
}

TEST(Canvas, ColourSourceBecomesWhiteWhereItHasItsBackgroundColour) {
    TBitmap colour(3, 1);
    colour.Surface().SetPixel(0, 0, 0x00FF00);
    colour.Surface().SetPixel(1, 0, 0xFF0000);
    colour.Surface().SetPixel(2, 0, 0x00FF00);
    colour.Canvas()->SetBkColor(clLime);
    TBitmap mono;
    mono.SetPixelFormat(pf1bit);
    mono.SetSize(3, 1);
    mono.Canvas()->BitBlt(0, 0, 3, 1, colour.Canvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(mono.Surface().GetPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(mono.Surface().GetPixel(1, 0), 0u);
    EXPECT_EQ(mono.Surface().GetPixel(2, 0), 0xFFFFFFu);
}

TEST(Canvas, CheckerPatternBrushAlternatesTextAndBackground) {
    static const uint16_t rows[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
    TSurfaceFixture f(12, 10);
    f.C().Brush()->SetPattern(TBrush::MonoPattern8(rows));
    f.C().SetTextColor(clBlack);
    f.C().SetBkColor(clWhite);
    f.C().FillRect({0, 0, 12, 10});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(f.At(x, y), ((x + y) % 2 == 0) ? 0xFFFFFFu : 0u) << x << "," << y;
}

TEST(Canvas, HatchGapsShowTheBackgroundOnlyWhenOpaque) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
        TSurfaceFixture f(8, 8);
        f.C().Brush()->SetColor(clBlack);
        f.C().Brush()->SetStyle(bsHorizontal);
        f.C().SetBkColor(clYellow);
        f.C().SetBkMode(mode);
        f.C().FillRect({0, 0, 8, 8});
        EXPECT_EQ(f.At(3, 0), 0u);
        EXPECT_EQ(f.At(3, 3), mode == OPAQUE ? 0xFFFF00u : 0xFFFFFFu);
    }
}

TEST(Canvas, StretchBltRepeatsNearestPixels) {
    TBitmap src(2, 1);
    src.Surface().SetPixel(0, 0, 0x111111);
    src.Surface().SetPixel(1, 0, 0x222222);
    TSurfaceFixture f(4, 2);
    f.C().SetStretchBltMode(COLORONCOLOR);
    f.C().StretchBlt(0, 0, 4, 2, src.Canvas(), 0, 0, 2, 1, SRCCOPY);
    uint32_t expected[4] = {0x111111, 0x111111, 0x222222, 0x222222};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(f.At(x, y), expected[x]);
    // A negative width mirrors.
    f.C().StretchBlt(3, 0, -4, 1, src.Canvas(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(f.At(0, 0), 0x222222u);
    EXPECT_EQ(f.At(3, 0), 0x111111u);
}

TEST(Canvas, ClipRectanglesLimitDrawingAndRestoreWithTheSavedState) {
    TSurfaceFixture f(10, 10);
    f.C().Brush()->SetColor(clBlack);
    int saved = f.C().SaveDC();
    f.C().IntersectClipRect(2, 2, 8, 8);
    f.C().ExcludeClipRect(4, 4, 6, 6);
    EXPECT_TRUE(f.C().RectVisible({0, 0, 3, 3}));
    EXPECT_FALSE(f.C().RectVisible({4, 4, 6, 6}));
    TRect box;
    EXPECT_EQ(f.C().GetClipBox(box), COMPLEXREGION);
    EXPECT_EQ(box, TRect(2, 2, 8, 8));
    f.C().FillRect({0, 0, 10, 10});
    TPixels expected = Box(2, 2, 8, 8);
    for (auto p : Box(4, 4, 6, 6)) expected.erase(p);
    EXPECT_EQ(f.Changed(), expected);
    EXPECT_TRUE(f.C().RestoreDC(saved));
    TRegion none;
    EXPECT_EQ(f.C().GetClipRgn(none), 0);
    f.C().FillRect({0, 0, 10, 10});
    EXPECT_EQ(f.Changed(), Box(0, 0, 10, 10));
}

TEST(Canvas, DeviceOriginAndVisibleRegionPlaceAChildWindow) {
    TSurfaceFixture f(10, 10);
    f.C().SetDeviceOrigin({3, 2});
    TRegion visible(TRect{0, 0, 4, 4});
    f.C().SetDeviceClip(&visible);
    f.C().Brush()->SetColor(clBlack);
    f.C().FillRect({-5, -5, 20, 20});
    EXPECT_EQ(f.Changed(), Box(3, 2, 7, 6));
}

TEST(Canvas, AnisotropicMirrorMapsLogicalLeftToDeviceRight) {
    TSurfaceFixture f(20, 4);
    f.C().SetMapMode(MM_ANISOTROPIC);
    f.C().SetWindowOrg({20, 0});
    f.C().SetViewportExt({20, 4});
    f.C().SetWindowExt({-20, 4});
    EXPECT_EQ(f.C().LPtoDP(TPoint(0, 1)), TPoint(20, 1));
    EXPECT_EQ(f.C().LPtoDP(TPoint(5, 1)), TPoint(15, 1));
    EXPECT_EQ(f.C().DPtoLP(TPoint(15, 1)), TPoint(5, 1));
    f.C().Brush()->SetColor(clBlack);
    f.C().FillRect({2, 0, 5, 4});  // logical columns 2..4 are device columns 15..17
    EXPECT_EQ(f.Changed(), Box(15, 0, 18, 4));
}

TEST(Canvas, FocusRectangleInvertsEveryOtherFramePixelAndUndoesItself) {
    TSurfaceFixture f(10, 8);
    f.C().DrawFocusRect({1, 1, 9, 7});
    TPixels expected;
    for (auto [x, y] : Box(1, 1, 9, 7))
        if ((x == 1 || x == 8 || y == 1 || y == 6) && (x + y) % 2 == 0) expected.insert({x, y});
    EXPECT_EQ(f.Changed(), expected);
    f.C().DrawFocusRect({1, 1, 9, 7});
    EXPECT_TRUE(f.Changed().empty());
}

TEST(Canvas, XorPenDrawnTwiceRestoresThePicture) {
    TSurfaceFixture f(12, 12);
    f.C().Pen()->SetMode(pmNotXor);
    f.C().Pen()->SetColor(clBlack);
    f.C().Brush()->SetStyle(bsClear);
    f.C().Rectangle(1, 1, 10, 9);
    EXPECT_FALSE(f.Changed().empty());
    f.C().Rectangle(1, 1, 10, 9);
    EXPECT_TRUE(f.Changed().empty());
}

TEST(Canvas, EllipseStaysInsideItsBoxAndIsSymmetric) {
    TSurfaceFixture f(20, 20);
    f.C().Brush()->SetColor(clBlack);
    f.C().Ellipse(2, 3, 15, 12);
    TPixels got = f.Changed();
    for (auto [x, y] : got) {
        EXPECT_TRUE(x >= 2 && x < 15 && y >= 3 && y < 12);
        EXPECT_TRUE(got.count({2 + 14 - x, y}));  // mirror in x: 2 + (15 - 1) - x
        EXPECT_TRUE(got.count({x, 3 + 11 - y}));
    }
    EXPECT_TRUE(got.count({8, 3}) && got.count({2, 7}) && got.count({14, 7}) && got.count({8, 11}));
    EXPECT_FALSE(got.count({2, 3}));
}

TEST(Canvas, Frame3DDrawsNestedFramesAndShrinksTheRectangle) {
    TSurfaceFixture f(10, 10);
    TRect r{1, 1, 9, 8};
    Frame3D(&f.C(), r, clWhite - 0x010101, clBlack, 2);
    EXPECT_EQ(r, TRect(3, 3, 7, 6));
    EXPECT_EQ(f.At(1, 1), 0xFEFEFEu);  // top-left corner: top colour
    EXPECT_EQ(f.At(8, 1), 0u);         // top-right corner: bottom colour
    EXPECT_EQ(f.At(1, 7), 0u);         // bottom-left corner belongs to the bottom side
    EXPECT_EQ(f.At(2, 2), 0xFEFEFEu);
    EXPECT_EQ(f.At(7, 6), 0u);
    EXPECT_EQ(f.At(3, 3), 0xFFFFFFu);
}
