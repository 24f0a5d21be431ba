#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"

TEST(Region, CombiningFollowsEachModeAtEveryPoint) {
    TRegion a(TRect{0, 0, 6, 6}), b(TRect{3, 3, 9, 9});
    struct TCase {
        int Mode;
        bool (*Expect)(bool, bool);
    } cases[] = {
        {RGN_AND, [](bool x, bool y) { return x && y; }}, {RGN_OR, [](bool x, bool y) { return x || y; }},
        {RGN_XOR, [](bool x, bool y) { return x != y; }}, {RGN_DIFF, [](bool x, bool y) { return x && !y; }},
        {RGN_COPY, [](bool x, bool) { return x; }},
    };
    for (const TCase& c : cases) {
        TRegion r;
        int kind = CombineRgn(r, a, b, c.Mode);
        EXPECT_EQ(kind, r.Kind());
        for (int y = -1; y < 10; ++y)
            for (int x = -1; x < 10; ++x)
                EXPECT_EQ(PtInRegion(r, x, y), c.Expect(a.Contains(x, y), b.Contains(x, y)))
                    << "mode " << c.Mode << " at " << x << "," << y;
    }
    TRegion u;
    EXPECT_EQ(CombineRgn(u, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(u, a, TRegion(TRect{6, 0, 8, 6}), RGN_OR),
              SIMPLEREGION);  // touching rectangles join
    EXPECT_EQ(CombineRgn(u, a, a, RGN_DIFF), NULLREGION);
}

// Two rectangles have in common what the bands of larger regions holding
// them give: the same bands, empty when they only touch or miss.
TEST(Region, TwoRectanglesHaveInCommonWhatTheBandsGive) {
    const TRect Far{100, 100, 101, 101};
    const TRect Cases[][2] = {
        {{0, 0, 6, 6}, {3, 3, 9, 9}},       {{0, 0, 6, 6}, {6, 0, 9, 6}},   {{0, 0, 6, 6}, {0, 6, 6, 9}},
        {{0, 0, 6, 6}, {1, 1, 2, 2}},       {{2, -3, 4, 9}, {-5, 1, 9, 3}}, {{0, 0, 6, 6}, {7, 7, 9, 9}},
        {{0, 0, 6, 6}, {0, 0, 6, 6}},       {{0, 0, 6, 6}, {3, 0, 9, 6}},   {{0, 0, 0, 6}, {0, 0, 6, 6}},
        {{-4, -4, -1, -1}, {-2, -3, 5, 5}},
    };
    for (const auto& C : Cases) {
        const TRegion A(C[0]), B(C[1]);
        // A second rectangle far from both makes the regions no rectangles.
        const TRegion Banded = TRegion::Combine(TRegion::Combine(A, TRegion(Far), RGN_OR),
                                                TRegion::Combine(B, TRegion(Far), RGN_OR), RGN_AND);
        const TRegion Expected = TRegion::Combine(Banded, TRegion(Far), RGN_DIFF);
        EXPECT_TRUE(TRegion::Combine(A, B, RGN_AND) == Expected)
            << C[0].Left << "," << C[0].Top << " and " << C[1].Left << "," << C[1].Top;
        EXPECT_TRUE(A.Intersected(C[1]) == Expected);
    }
    EXPECT_TRUE(TRegion::Combine(TRegion(), TRegion(TRect{0, 0, 3, 3}), RGN_AND).Empty());
}

TEST(Region, RightAndBottomEdgesAreOutside) {
    TRegion r(TRect{1, 2, 4, 5});
    EXPECT_TRUE(r.Contains(1, 2));
    EXPECT_TRUE(r.Contains(3, 4));
    EXPECT_FALSE(r.Contains(4, 4));
    EXPECT_FALSE(r.Contains(3, 5));
    EXPECT_TRUE(RectInRegion(r, {3, 4, 10, 10}));
    EXPECT_FALSE(RectInRegion(r, {4, 0, 10, 10}));
}

TEST(Region, OffsetAndBoxFollowTheRectangles) {
    TRegion r = TRegion::Combine(TRegion(TRect{0, 0, 2, 2}), TRegion(TRect{5, 5, 7, 8}), RGN_OR);
    TRect box;
    EXPECT_EQ(GetRgnBox(r, box), COMPLEXREGION);
    EXPECT_EQ(box, TRect(0, 0, 7, 8));
    OffsetRgn(r, 10, -1);
    EXPECT_TRUE(r.Contains(15, 4));
    EXPECT_FALSE(r.Contains(5, 5));
    EXPECT_EQ(r.Box(), TRect(10, -1, 17, 7));
}

TEST(Region, DataBlockHasTheStreamedLayout) {
    // The one-rectangle region of an 85-pixel button: 32-byte header and one rectangle.
    TRegion r(TRect{1, 2, 83, 32});
    std::vector<uint8_t> d = r.Data();
    ASSERT_EQ(d.size(), 48u);
    auto le = [&](size_t at) {
        return int32_t(d[at] | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t(d[at + 3]) << 24);
    };
    EXPECT_EQ(le(0), 32);
    EXPECT_EQ(le(4), 1);
    EXPECT_EQ(le(8), 1);
    EXPECT_EQ(le(12), 16);
    EXPECT_EQ(TRect(le(16), le(20), le(24), le(28)), TRect(1, 2, 83, 32));
    EXPECT_EQ(TRect(le(32), le(36), le(40), le(44)), TRect(1, 2, 83, 32));
}

TEST(Region, DataRoundTripGivesTheSameRegion) {
    TPoint star[] = {{10, 0}, {13, 20}, {0, 7}, {20, 7}, {7, 20}};
    for (int mode : {ALTERNATE, WINDING}) {
        TRegion r = TRegion::Polygon(star, mode);
        TRegion back = TRegion::FromData(r.Data());
        EXPECT_TRUE(EqualRgn(r, back));
        EXPECT_EQ(back.Rects(), r.Rects());
    }
    EXPECT_TRUE(TRegion::FromData(TRegion().Data()).Empty());
}

TEST(Region, DataThatDoesNotHoldItsRectanglesIsRefused) {
    std::vector<uint8_t> d = TRegion(TRect{0, 0, 5, 5}).Data();
    EXPECT_THROW(TRegion::FromData(std::span(d).first(40)), EInvalidOperation);
    std::vector<uint8_t> wrongType = d;
    wrongType[4] = 2;
    EXPECT_THROW(TRegion::FromData(wrongType), EInvalidOperation);
    EXPECT_THROW(TRegion::FromData(std::span(d).first(10)), EInvalidOperation);
}

TEST(Region, UnorderedRectanglesInDataAreUnited) {
    std::vector<uint8_t> d =
        TRegion::Combine(TRegion(TRect{0, 0, 2, 2}), TRegion(TRect{0, 4, 2, 6}), RGN_OR).Data();
    // Swap the two rectangles: still the same region.
    std::swap_ranges(d.begin() + 32, d.begin() + 48, d.begin() + 48);
    TRegion r = TRegion::FromData(d);
    EXPECT_TRUE(r.Contains(1, 1));
    EXPECT_TRUE(r.Contains(1, 5));
    EXPECT_FALSE(r.Contains(1, 3));
}

TEST(Region, PolygonRegionCoversWhatThePolygonFillPaints) {
    // Interior points of a polygon edge test: a shape button relies on this.
    TPoint arrow[] = {{0, 7}, {20, 0}, {40, 7}, {30, 7}, {30, 23}, {10, 23}, {10, 7}};
    TRegion r = TRegion::Polygon(arrow);
    TBitmap b(41, 24);
    b.Canvas()->Pen()->SetStyle(psClear);
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->Polygon(arrow);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 41; ++x)
            EXPECT_EQ(r.Contains(x, y), b.Surface().GetPixel(x, y) == 0) << x << "," << y;
    EXPECT_TRUE(r.Contains(10, 7));
    EXPECT_FALSE(r.Contains(30, 10));  // right edge outside
    EXPECT_FALSE(r.Contains(20, 23));  // bottom edge outside
}

TEST(Region, EllipseAndRoundRectStayInsideTheirBox) {
    TRegion e = TRegion::Ellipse({0, 0, 10, 6});
    EXPECT_EQ(e.Box(), TRect(0, 0, 10, 6));
    EXPECT_FALSE(e.Contains(0, 0));
    EXPECT_TRUE(e.Contains(5, 3));
    TRegion rr = TRegion::RoundRect({0, 0, 20, 10}, 6, 6);
    EXPECT_EQ(rr.Box(), TRect(0, 0, 20, 10));
    EXPECT_FALSE(rr.Contains(0, 0));
    EXPECT_TRUE(rr.Contains(10, 0));
    EXPECT_TRUE(rr.Contains(0, 5));
}

TEST(Region, SelectedClipRegionIsACopy) {
    TBitmap b(6, 6);
    TRegion clip(TRect{0, 0, 3, 3});
    b.Canvas()->SelectClipRgn(&clip);
    clip = TRegion(TRect{0, 0, 6, 6});
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->FillRect({0, 0, 6, 6});
    EXPECT_EQ(b.Surface().GetPixel(2, 2), 0u);
    EXPECT_EQ(b.Surface().GetPixel(4, 4), 0xFFFFFFu);
}
