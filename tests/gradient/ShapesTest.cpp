// Rectangle shapes drawn on a panel: their shadow, fill, outline, corners,
// rotation and transparency, and the blend that mixes a shape with what
// lay beneath it.
#include <gtest/gtest.h>

#include <cmath>

#include "GradientTestSupport.h"
#include "gradient/TeeDraw3D.h"

using namespace gradient_test;

namespace {

class GradientShapes : public GradientForms {
protected:
    // A 200 x 150 panel in plain grey, and a shape on it drawn by its OnPaint.
    TDraw3D* NewPanel() {
        Form = TForm::CreateNew(Application);
        auto* P = NewComponent<TDraw3D>(Form);
        P->SetParent(Form);
        P->SetBounds(0, 0, 200, 150);
        P->SetColor(clGray);
        P->SetBevelOuter(bvNone);
        return P;
    }
    // What the panel shows with the shape drawn over it.
    std::unique_ptr<TBitmap> Drawn(TDraw3D* P, TTeeCustomShape& Shape) {
        P->OnPaint = [&Shape](TObject*, const TRect&) { Shape.Draw(); };
        auto B = std::make_unique<TBitmap>(200, 150);
        P->Draw(B->Canvas(), TRect(0, 0, 200, 150));
        return B;
    }
    TForm* Form = nullptr;
};

uint32_t At(const TBitmap& B, int X, int Y) { return B.Surface().GetPixel(X, Y); }

TEST_F(GradientShapes, TheShadowLiesBeyondTheOutlineByItsSizeAndThePen) {
    struct TCase {
        int Size;
        bool PenVisible;
        int Offset;  // of the shadow from the shape, right and down
    };
    for (TCase C : {TCase{3, true, 4}, TCase{3, false, 3}, TCase{-3, true, -3}}) {
        TDraw3D* P = NewPanel();
        TTeeShape S(P);
        S.ShapeBounds = TRect(50, 40, 150, 110);
        S.SetShadowSize(C.Size);
        S.SetShadowColor(clMaroon);
        S.SetColor(clYellow);
        S.Pen()->SetVisible(C.PenVisible);
        auto B = Drawn(P, S);
        // The shadow shows beyond the shape's far corner (or its near one, for
        // a negative size); drawn without a pen, it ends a pixel short.
        TPoint Corner = C.Offset > 0 ? TPoint(150 + C.Offset - 2, 110 + C.Offset - 2)
                                     : TPoint(50 + C.Offset, 40 + C.Offset);
        EXPECT_EQ(At(*B, Corner.x, Corner.y), Pixel(clMaroon)) << C.Size;
        TPoint Beyond = C.Offset > 0 ? TPoint(150 + C.Offset - 1, 110 + C.Offset - 1)
                                     : TPoint(50 + C.Offset - 1, 40 + C.Offset - 1);
        EXPECT_EQ(At(*B, Beyond.x, Beyond.y), Pixel(clGray)) << C.Size;
        EXPECT_EQ(At(*B, 100, 75), Pixel(clYellow));
        EXPECT_EQ(At(*B, 50, 40), C.PenVisible ? 0x000000u : Pixel(clYellow)) << "the outline in the pen";
        Form->Free();
    }
}

TEST_F(GradientShapes, AGradientFillsAnUnrotatedShapeAndARotatedOneTakesItsColour) {
    TDraw3D* P = NewPanel();
    TTeeShape S(P);
    S.ShapeBounds = TRect(50, 40, 150, 110);
    S.SetShadowSize(0);
    S.SetColor(clYellow);
    S.Gradient()->SetStartColor(clRed);
    S.Gradient()->SetEndColor(clBlue);
    S.Gradient()->SetVisible(true);
    auto B = Drawn(P, S);
    // Inside the outline the second band from each edge: 4 of 255 from its colour.
    EXPECT_EQ(At(*B, 100, 108), ColorRefToPixel(RGB(251, 0, 4))) << "red at the bottom";
    EXPECT_EQ(At(*B, 100, 41), ColorRefToPixel(RGB(4, 0, 251)));
    EXPECT_EQ(At(*B, 50, 75), 0x000000u) << "and an outline";

    P->OnPaint = [&S](TObject*, const TRect&) { S.DrawRectRotated(S.ShapeBounds, 30, 0); };
    TBitmap R(200, 150);
    P->Draw(R.Canvas(), TRect(0, 0, 200, 150));
    EXPECT_EQ(R.Surface().GetPixel(100, 75), Pixel(clYellow)) << "rotated: filled with the colour";
    EXPECT_EQ(R.Surface().GetPixel(52, 42), Pixel(clGray)) << "the corner turned away";
    // The corner (50, 40) turned by 30 degrees about (100, 75).
    double A = 30 * std::acos(-1.0) / 180;
    TPoint Turned(static_cast<int>(std::nearbyint(-50 * std::cos(A) - 35 * std::sin(A))) + 100,
                  static_cast<int>(std::nearbyint(50 * std::sin(A) - 35 * std::cos(A))) + 75);
    EXPECT_EQ(R.Surface().GetPixel(Turned.x, Turned.y), 0x000000u);
}

TEST_F(GradientShapes, ARoundedShapeClipsItsGradientToItsCorners) {
    TDraw3D* P = NewPanel();
    TTeeShape S(P);
    S.ShapeBounds = TRect(50, 40, 150, 110);
    S.SetShadowSize(0);
    S.SetShapeStyle(fosRoundRectangle);
    S.Pen()->SetVisible(false);
    S.Gradient()->SetStartColor(clRed);
    S.Gradient()->SetEndColor(clRed);
    S.Gradient()->SetVisible(true);
    auto B = Drawn(P, S);
    EXPECT_EQ(At(*B, 50, 40), Pixel(clGray)) << "the corner is cut off";
    EXPECT_EQ(At(*B, 149, 109), Pixel(clGray));
    EXPECT_EQ(At(*B, 100, 40), 0xFF0000u);
    EXPECT_EQ(At(*B, 55, 45), 0xFF0000u);
}

TEST_F(GradientShapes, TransparencyLetsThatPercentOfTheBackgroundThrough) {
    struct TCase {
        int Transparency;
        int Red;  // of the shape's middle: red over grey (128)
    };
    for (TCase C : {TCase{0, 255}, TCase{100, 128}, TCase{50, 192}, TCase{25, 223}}) {
        TDraw3D* P = NewPanel();
        TTeeShape S(P);
        S.ShapeBounds = TRect(50, 40, 150, 110);
        S.SetShadowSize(0);
        S.SetColor(clRed);
        S.SetTransparency(C.Transparency);
        auto B = Drawn(P, S);
        uint32_t Mid = At(*B, 100, 75);
        // N(128 T/100 + 255 (1 - T/100)) for red, N(128 T/100) for green and blue.
        EXPECT_EQ(int(Mid >> 16), C.Red) << C.Transparency;
        EXPECT_EQ(int(Mid & 0xFF), static_cast<int>(std::nearbyint(128 * C.Transparency / 100.0)));
        EXPECT_EQ(At(*B, 10, 10), Pixel(clGray));
        Form->Free();
    }
}

TEST_F(GradientShapes, AnInvisibleOrTransparentShapeDrawsNothing) {
    TDraw3D* P = NewPanel();
    TTeeShape S(P);
    S.ShapeBounds = TRect(50, 40, 150, 110);
    S.SetTransparent(true);
    auto B = Drawn(P, S);
    EXPECT_EQ(At(*B, 100, 75), Pixel(clGray));
    S.SetTransparent(false);
    S.SetBevel(bvRaised);
    S.SetBevelWidth(2);
    S.SetShadowSize(0);
    B = Drawn(P, S);
    EXPECT_EQ(At(*B, 51, 60), ColorRefToPixel(GetSysColor(COLOR_BTNHIGHLIGHT))) << "a raised bevel inside";
    EXPECT_EQ(At(*B, 148, 60), ColorRefToPixel(GetSysColor(COLOR_BTNSHADOW)));
    TTeeShape Copy(nullptr);
    Copy.SetTransparency(40);
    Copy.Assign(&S);
    EXPECT_EQ(Copy.Bevel(), bvRaised);
    EXPECT_EQ(Copy.Transparency(), 40) << "transparency is not copied";
}

TEST(TeeBlend, TheBlendMixesEachChannelOfTheSnapshotWithTheNewPicture) {
    TCanvasBench Bench(40, 30);
    TTeeCanvas3D& C = Bench.Canvas;
    C.Brush()->SetColor(RGB(10, 100, 200));
    C.FillRect(TRect(0, 0, 40, 30));
    {
        TTeeBlend Blend(&C, TRect(5, 5, 25, 20));
        EXPECT_EQ(Blend.Snapshot()->Width(), 20);
        EXPECT_EQ(Blend.Snapshot()->PixelFormat(), pf24bit);
        C.Brush()->SetColor(RGB(250, 0, 101));
        C.FillRect(TRect(0, 0, 40, 30));
        Blend.DoBlend(30);
    }
    auto Mix = [](int Old, int New) { return static_cast<int>(std::nearbyint(Old * 0.3 + New * 0.7)); };
    EXPECT_EQ(C.BufferBitmap()->Surface().GetPixel(10, 10),
              ColorRefToPixel(RGB(Mix(10, 250), Mix(100, 0), Mix(200, 101))));
    EXPECT_EQ(C.BufferBitmap()->Surface().GetPixel(4, 10), ColorRefToPixel(RGB(250, 0, 101)))
        << "only the rectangle";
    // A rectangle reaching past the buffer blends what fits.
    TTeeBlend Edge(&C, TRect(30, 20, 60, 50));
    Edge.DoBlend(100);
    EXPECT_EQ(C.BufferBitmap()->Surface().GetPixel(35, 25), ColorRefToPixel(RGB(250, 0, 101)));

    // Without a buffer the blend is drawn onto the surface.
    C.SetUseBuffer(false);
    TBitmap Window(40, 30);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 40, 30));
    C.Brush()->SetColor(clBlack);
    C.FillRect(TRect(0, 0, 40, 30));
    TTeeBlend Direct(&C, TRect(0, 0, 10, 10));
    C.Brush()->SetColor(clWhite);
    C.FillRect(TRect(0, 0, 40, 30));
    Direct.DoBlend(50);
    EXPECT_EQ(Window.Surface().GetPixel(5, 5), 0x808080u);
    EXPECT_EQ(Window.Surface().GetPixel(15, 5), 0xFFFFFFu);
}

}  // namespace
