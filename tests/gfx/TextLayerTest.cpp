// Text kept as text: what a canvas hands to a device that writes documents
// instead of painting glyphs, and what it still paints.
#include <gtest/gtest.h>

#include "platform/gfx/CanvasImpl.h"
#include "platform/gfx/Graphics.h"

namespace {

bool AllWhite(const TSurface& S, TRect R) {
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            if ((S.GetPixel(X, Y) & 0xFFFFFF) != 0xFFFFFF) return false;
    return true;
}

struct TPage {
    TSurface Surface{240, 80};
    TCanvas Canvas{&Surface};
    TTextLayer Layer;
    TPage() {
        Canvas.Brush()->SetColor(clWhite);
        Canvas.FillRect(TRect(0, 0, 240, 80));
        Canvas.Font()->SetName("Arial");
        Canvas.Font()->SetHeight(-20);
        Canvas.Font()->SetColor(clNavy);
        Canvas.SetBkMode(TRANSPARENT);
        Canvas.SetTextLayer(&Layer);
    }
};

TEST(TextLayer, TextGoesToTheLayerWithItsPlaceAdvancesAndColourNotToThePixels) {
    TPage P;
    P.Canvas.TextOut(10, 5, "Hola");
    TTextMetric Tm;
    P.Canvas.GetTextMetrics(Tm);
    EXPECT_TRUE(AllWhite(P.Surface, TRect(0, 0, 240, 80)));
    ASSERT_EQ(P.Layer.size(), 1u);
    const TDeviceTextRun& Run = P.Layer[0];
    EXPECT_EQ(Run.Text, "Hola");
    EXPECT_EQ(Run.X, 10);
    EXPECT_EQ(Run.Y, 5 + Tm.tmAscent) << "the baseline";
    EXPECT_EQ(Run.Color, ColorToRGB(clNavy));
    int Sum = 0;
    for (int A : Run.Advances) Sum += A;
    EXPECT_EQ(Sum, P.Canvas.TextWidth("Hola"));
    EXPECT_FALSE(Run.Clip.has_value()) << "wholly visible";

    // Without the layer the same call paints glyphs again.
    P.Canvas.SetTextLayer(nullptr);
    P.Canvas.TextOut(10, 40, "Hola");
    EXPECT_FALSE(AllWhite(P.Surface, TRect(10, 40, 10 + Sum, 40 + Tm.tmHeight)));
    EXPECT_EQ(P.Layer.size(), 1u);
}

TEST(TextLayer, ClippedTextKeepsItsClipAndHiddenTextIsDropped) {
    TPage P;
    TRect Half(0, 0, 30, 80);
    P.Canvas.ExtTextOut(10, 5, ETO_CLIPPED, &Half, "Hola");
    TRect Away(200, 0, 240, 80);
    P.Canvas.ExtTextOut(10, 40, ETO_CLIPPED, &Away, "Hola");
    ASSERT_EQ(P.Layer.size(), 1u) << "the text outside its clip is dropped";
    ASSERT_TRUE(P.Layer[0].Clip.has_value());
    EXPECT_EQ(P.Layer[0].Clip->Box(), Half);
}

// What is no glyph stays pixels: the background of opaque text and the underline.
TEST(TextLayer, BackgroundsAndUnderlinesArePaintedAsBefore) {
    TPage P;
    P.Canvas.Font()->SetStyle({fsUnderline});
    P.Canvas.SetBkMode(OPAQUE);
    P.Canvas.SetBkColor(clYellow);
    P.Canvas.TextOut(10, 5, "Hola");
    TTextMetric Tm;
    P.Canvas.GetTextMetrics(Tm);
    int W = P.Canvas.TextWidth("Hola");
    ASSERT_EQ(P.Layer.size(), 1u);
    int Yellow = 0, Text = 0;
    for (int Y = 5; Y < 5 + Tm.tmHeight; ++Y)
        for (int X = 10; X < 10 + W; ++X) {
            uint32_t Px = P.Surface.GetPixel(X, Y) & 0xFFFFFF;
            Yellow += Px == ColorRefToPixel(clYellow);
            Text += Px == ColorRefToPixel(clNavy);
        }
    EXPECT_GT(Yellow, 0);
    EXPECT_GT(Text, 0);
    EXPECT_EQ(Text % W, 0) << "whole underline rows of the text's width, no glyph";
}

}  // namespace
