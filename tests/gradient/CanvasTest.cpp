// The 3D canvas: its buffer, the projection and its inverse, the one-level
// clip, the 3D frames, text with shadow and outline, and the rules by which
// it takes pens, brushes and fonts.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "GradientTestSupport.h"
#include "gradient/TeCanvas.h"
#include "tests/support/ReferencePicture.h"

using namespace gradient_test;

namespace {

// --- buffer ---

TEST(TeeCanvasBuffer, OneBitmapServesDrawsOfOneSizeAndANewOneComesWithANewSize) {
    TTeeCanvas3D Canvas;
    TBitmap Window(300, 200);
    TRect R = Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, TRect(10, 20, 110, 70));
    EXPECT_EQ(R, TRect(0, 0, 100, 50)) << "with the buffer on the draw goes to the buffer's own corner";
    TBitmap* First = Canvas.BufferBitmap();
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(Canvas.ReferenceCanvas(), First->Canvas());
    Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 100, 50));
    EXPECT_EQ(Canvas.BufferBitmap(), First);
    Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 101, 50));
    ASSERT_NE(Canvas.BufferBitmap(), nullptr);
    EXPECT_EQ(Canvas.BufferBitmap()->Width(), 101);

    // A clean buffer goes to the window in one copy; a dirty one does not.
    Canvas.Brush()->SetColor(clRed);
    Canvas.FillRect(TRect(0, 0, 101, 50));
    Canvas.ShowImage(Window.Canvas(), Window.Canvas(), TRect(5, 5, 106, 55));
    EXPECT_FALSE(Canvas.BufferDirty());
    EXPECT_EQ(Window.Surface().GetPixel(5, 5), 0xFF0000u);
    EXPECT_EQ(Window.Surface().GetPixel(4, 5), 0xFFFFFFu);
    Window.Canvas()->Brush()->SetColor(clWhite);
    Window.Canvas()->FillRect(TRect(0, 0, 300, 200));
    EXPECT_TRUE(Canvas.ReDrawBitmap());
    EXPECT_EQ(Window.Surface().GetPixel(0, 0), 0xFF0000u) << "the repaint copies to the surface's corner";
    Canvas.Invalidate();
    Window.Canvas()->FillRect(TRect(0, 0, 300, 200));
    EXPECT_FALSE(Canvas.ReDrawBitmap());
    EXPECT_EQ(Window.Surface().GetPixel(0, 0), 0xFFFFFFu);

    // Without the buffer the canvas draws on the window itself, and every paint draws.
    Canvas.SetUseBuffer(false);
    EXPECT_EQ(Canvas.BufferBitmap(), nullptr);
    EXPECT_TRUE(Canvas.BufferDirty());
    EXPECT_EQ(Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, TRect(10, 20, 110, 70)),
              TRect(10, 20, 110, 70));
    EXPECT_EQ(Canvas.ReferenceCanvas(), Window.Canvas());
    Canvas.ShowImage(Window.Canvas(), Window.Canvas(), TRect(10, 20, 110, 70));
    EXPECT_FALSE(Canvas.ReDrawBitmap());
}

TEST(TeeCanvasBuffer, AMonochromeChangeDirtiesTheBufferAndAnAssignedCanvasTakesIt) {
    TTeeCanvas3D A, B;
    A.ShowImage(nullptr, nullptr, TRect());
    EXPECT_FALSE(A.BufferDirty());
    A.SetMonochrome(true);
    EXPECT_TRUE(A.BufferDirty());
    B.Assign(&A);
    EXPECT_TRUE(B.GetMonochrome());
}

// --- projection ---

TEST(TeeCanvasProjection, TheObliqueViewMovesDepthRightAndUpByItsTangent) {
    struct TCase {
        int Angle, Zoom, X, Y, Z;
        TPoint Expected;
    };
    // The panel is 200 x 200: the centre is (100, 100).
    const TCase Cases[] = {
        {45, 100, 10, 20, 0, {10, 20}},      // depth 0 stays where it is
        {45, 100, 10, 20, 30, {40, -10}},    // z pixels right and z pixels up
        {90, 100, 10, 20, 30, {40, -10}},    // a cosine under 0.01: the tangent is 1
        {30, 100, 100, 100, 50, {150, 71}},  // tan 30 = 0.577: 28.9 up
        {45, 200, 110, 90, 0, {120, 80}},    // twice as far from the centre
        {45, 0, 10, 20, 30, {100, 100}},     // zoom 0 collapses onto the centre
        {45, 50, 103, 100, 0, {102, 100}},   // 1.5 rounds to the even 2
        {45, 50, 105, 100, 0, {102, 100}},   // 2.5 rounds to the even 2
    };
    for (const TCase& C : Cases) {
        TCanvasBench B;
        B.Options.SetOrthoAngle(C.Angle);
        B.Options.SetZoom(C.Zoom);
        B.Reproject();
        EXPECT_EQ(B.Canvas.Calculate3DPosition(C.X, C.Y, C.Z), C.Expected)
            << "angle " << C.Angle << " zoom " << C.Zoom << " at (" << C.X << ", " << C.Y << ", " << C.Z
            << ")";
    }
}

TEST(TeeCanvasProjection, OffsetsMoveTheScreenCentreAndTheInverseUndoesTheObliqueView) {
    TCanvasBench B;
    B.Options.SetHorizOffset(7);
    B.Options.SetVertOffset(-3);
    B.Reproject();
    EXPECT_EQ(B.Canvas.Calculate3DPosition(100, 100, 0), TPoint(107, 97));
    for (int Z : {0, 10, 55})
        for (int X : {-20, 0, 37, 150})
            for (int Y : {-5, 0, 99, 180}) {
                TPoint P = B.Canvas.Calculate3DPosition(X, Y, Z);
                int BX = P.x, BY = P.y;
                B.Canvas.Calculate2DPosition(BX, BY, Z);
                EXPECT_EQ(TPoint(BX, BY), TPoint(X, Y)) << X << ", " << Y << ", " << Z;
            }
    B.Options.SetZoom(0);
    B.Reproject();
    int X = 3, Y = 4;
    B.Canvas.Calculate2DPosition(X, Y, 10);
    EXPECT_EQ(TPoint(X, Y), TPoint(3, 4)) << "zoom 0 has no inverse: the point stays";
}

TEST(TeeCanvasProjection, TheRotatedViewTakesItsCoefficientsFromRotationElevationAndTilt) {
    struct TCase {
        int Rotation, Elevation, Tilt;
    };
    for (const TCase& C : {TCase{30, 20, 10}, TCase{345, 345, 0}, TCase{0, 90, 0}, TCase{120, 200, 45}}) {
        TCanvasBench B;
        B.Options.SetTilt(C.Tilt);
        B.Rotate(C.Rotation, C.Elevation);
        const double D = std::acos(-1.0) / 180;
        double S1 = std::sin(C.Rotation * D), C1 = std::cos(C.Rotation * D);
        double S2 = std::sin(C.Elevation * D), C2 = std::cos(C.Elevation * D);
        double S3 = std::sin(C.Tilt * D), C3 = std::cos(C.Tilt * D);
        const TTeeCanvas3D& K = B.Canvas;
        EXPECT_NEAR(K.XFromX, std::max(S1 * S2 * S3 + C1 * C3, 0.00001), 1e-12);
        EXPECT_NEAR(K.XFromY, C2 * S3, 1e-12);
        EXPECT_NEAR(K.XFromZ, C1 * S2 * S3 - C3 * S1, 1e-12);
        EXPECT_NEAR(K.YFromX, C3 * S1 * S2 - C1 * S3, 1e-12);
        EXPECT_NEAR(K.YFromY, std::max(C2 * C3, 0.00001), 1e-12);
        EXPECT_NEAR(K.YFromZ, C1 * C3 * S2 + S1 * S3, 1e-12);
        EXPECT_NEAR(K.PerspectiveDX, C2 * S1, 1e-12);
        EXPECT_NEAR(K.PerspectiveDZ, C1 * C2, 1e-12);
        // A point on the projection centre at the middle depth stays on the screen centre.
        EXPECT_EQ(B.Canvas.Calculate3DPosition(100, 100, 50), TPoint(100, 100));
        // Off the centre, the point lands where the coefficients send it.
        double DX = 30, DY = -20, DZ = 25;
        TPoint P = B.Canvas.Calculate3DPosition(130, 80, 75);
        EXPECT_EQ(P.x, static_cast<int>(std::nearbyint(DX * K.XFromX + DY * K.XFromY + DZ * K.XFromZ)) + 100);
        EXPECT_EQ(P.y, static_cast<int>(std::nearbyint(DX * K.YFromX + DY * K.YFromY + DZ * K.YFromZ)) + 100);
    }
    TCanvasBench Flat;
    Flat.Options.SetOrthogonal(false);
    Flat.Options.SetElevation(90);
    Flat.Options.SetRotation(0);
    Flat.Reproject();
    EXPECT_EQ(Flat.Canvas.YFromY, 0.00001) << "seen from straight above, not a division by zero";
}

TEST(TeeCanvasProjection, TheInverseOfARotationWithoutTiltFindsThePointAgain) {
    TCanvasBench B;
    B.Rotate(30, 0);
    for (int X : {20, 100, 170})
        for (int Y : {10, 100, 190})
            for (int Z : {0, 50, 100}) {
                TPoint P = B.Canvas.Calculate3DPosition(X, Y, Z);
                int BX = P.x, BY = P.y;
                B.Canvas.Calculate2DPosition(BX, BY, Z);
                EXPECT_LE(std::abs(BX - X), 1) << X << ", " << Y << ", " << Z;
                EXPECT_EQ(BY, Y);
            }
}

TEST(TeeCanvasProjection, PerspectiveShrinksWhatLiesFurtherAway) {
    TCanvasBench B;
    B.Options.SetOrthogonal(false);
    B.Options.SetRotation(0);
    B.Options.SetElevation(0);
    B.Options.SetPerspective(50);
    B.Reproject();
    EXPECT_DOUBLE_EQ(B.Canvas.PerspectiveFactor, 50 / 150.0 / 200);
    TPoint Near = B.Canvas.Calculate3DPosition(180, 100, 0);
    TPoint Far = B.Canvas.Calculate3DPosition(180, 100, 100);
    EXPECT_GT(Near.x - 100, Far.x - 100);
}

// --- clipping ---

uint32_t At(const TTeeCanvas3D& C, int X, int Y) { return C.BufferBitmap()->Surface().GetPixel(X, Y); }

void Paint(TTeeCanvas3D& C, TColor Color) {
    C.Brush()->SetColor(Color);
    C.FillRect(TRect(0, 0, 200, 200));
}

TEST(TeeCanvasClip, AnUnclipGivesBackTheClipInForceBeforeAndASecondClipReplacesWhatIsKept) {
    TCanvasBench B;
    TTeeCanvas3D& C = B.Canvas;
    C.ClipRectangle(TRect(10, 10, 50, 50));
    Paint(C, clRed);
    EXPECT_EQ(At(C, 10, 10), 0xFF0000u);
    EXPECT_EQ(At(C, 50, 10), 0xFFFFFFu) << "the right edge lies outside";
    C.UnClipRectangle();
    Paint(C, clLime);
    EXPECT_EQ(At(C, 100, 100), 0x00FF00u) << "no clip was in force before";

    // One level: the second clip keeps the first as what to restore.
    C.ClipRectangle(TRect(0, 0, 100, 100));
    C.ClipRectangle(TRect(50, 50, 200, 200));
    Paint(C, clBlue);
    EXPECT_EQ(At(C, 60, 60), 0x0000FFu);
    EXPECT_EQ(At(C, 120, 120), 0x00FF00u) << "the second clip narrows the first";
    C.UnClipRectangle();
    Paint(C, clRed);
    EXPECT_EQ(At(C, 10, 10), 0xFF0000u) << "the first clip is in force again";
    EXPECT_EQ(At(C, 60, 60), 0xFF0000u);
    EXPECT_EQ(At(C, 150, 150), 0x00FF00u);
    C.UnClipRectangle();
}

TEST(TeeCanvasClip, RoundedAndPolygonClipsFollowTheirShapes) {
    TCanvasBench B;
    TTeeCanvas3D& C = B.Canvas;
    ClipRoundRectangle(C.ReferenceCanvas(), TRect(0, 0, 100, 100), 40);
    Paint(C, clRed);
    C.UnClipRectangle();
    EXPECT_EQ(At(C, 0, 0), 0xFFFFFFu) << "the corner is rounded off";
    EXPECT_EQ(At(C, 50, 0), 0xFF0000u);
    TPoint Triangle[3] = {{0, 0}, {100, 0}, {0, 100}};
    ClipPolygon(C.ReferenceCanvas(), Triangle);
    Paint(C, clBlue);
    C.UnClipRectangle();
    EXPECT_EQ(At(C, 10, 10), 0x0000FFu);
    EXPECT_EQ(At(C, 60, 60), 0xFF0000u) << "beyond the triangle's long side";
    TPoint Two[2] = {{0, 0}, {10, 10}};
    ClipPolygon(C.ReferenceCanvas(), Two);
    Paint(C, clLime);
    EXPECT_EQ(At(C, 150, 150), 0x00FF00u) << "two points make no region: the clip stays as it was";
}

// The cube's clip used to replace the device clip without keeping it: the
// unclip after it then brought back whatever an older clip had kept. In
// every view the cube narrows the clip and its unclip takes it away again.
TEST(TeeCanvasClip, TheCubeClipIsUndoneLikeEveryOtherClipInEveryView) {
    struct TCase {
        const char* View;
        int Rotation, Elevation;  // 0, 0: the oblique view
        bool Is3D;
    };
    const TCase Cases[] = {
        {"oblique", 0, 0, true},
        {"rotated", 30, 340, true},
        {"from straight above", 360, 270, true},
        {"flat", 0, 0, false},
    };
    for (const TCase& V : Cases) {
        TCanvasBench B;
        TTeeCanvas3D& C = B.Canvas;
        if (V.Rotation || V.Elevation) B.Rotate(V.Rotation, V.Elevation);
        if (!V.Is3D) C.InitWindow(B.Target.Canvas(), &B.Options, clWhite, false, TRect(0, 0, 200, 200));
        TRegion Window(TRect(0, 0, 150, 150));
        C.ReferenceCanvas()->SelectClipRgn(&Window);
        C.ClipRectangle(TRect(0, 0, 20, 20));  // keeps the window's clip
        C.UnClipRectangle();
        C.ReferenceCanvas()->SelectClipRgn(nullptr);  // a new draw without a clip

        Paint(C, clWhite);
        C.ClipCube(TRect(40, 60, 120, 140), 0, 50);
        Paint(C, clRed);
        int Red = 0;
        for (int Y = 0; Y < 200; ++Y)
            for (int X = 0; X < 200; ++X) Red += At(C, X, Y) == 0xFF0000u;
        EXPECT_GT(Red, 1000) << V.View << ": the box's outline is painted";
        EXPECT_LT(Red, 200 * 200 / 2) << V.View << ": and nothing far outside it";
        C.UnClipRectangle();
        Paint(C, clBlue);
        EXPECT_EQ(At(C, 190, 190), 0x0000FFu)
            << V.View << ": after the cube nothing clips, not the old window";
    }
}

TEST(TeeCanvasClip, TheCubeClipIsTheOutlineOfTheProjectedBox) {
    TCanvasBench B;
    TTeeCanvas3D& C = B.Canvas;
    C.ClipCube(TRect(40, 60, 120, 140), 0, 50);
    Paint(C, clRed);
    C.UnClipRectangle();
    // The front face, the top face (depth up to 50 up) and the right face (50 right).
    EXPECT_EQ(At(C, 41, 139), 0xFF0000u);
    EXPECT_EQ(At(C, 160, 130), 0xFFFFFFu) << "below the right face's slanted bottom";
    EXPECT_EQ(At(C, 165, 70), 0xFF0000u) << "the back of the right face";
    EXPECT_EQ(At(C, 100, 15), 0xFF0000u) << "the back of the top face";
    EXPECT_EQ(At(C, 45, 15), 0xFFFFFFu) << "above the front's top-left corner lies nothing of the box";
    // Without 3D the clip is the rectangle, one pixel in at the left, top and bottom.
    C.InitWindow(B.Target.Canvas(), &B.Options, clWhite, false, TRect(0, 0, 200, 200));
    Paint(C, clWhite);
    C.ClipCube(TRect(40, 60, 120, 140), 0, 50);
    Paint(C, clBlue);
    C.UnClipRectangle();
    EXPECT_EQ(At(C, 40, 100), 0xFFFFFFu);
    EXPECT_EQ(At(C, 41, 61), 0x0000FFu);
    EXPECT_EQ(At(C, 119, 138), 0x0000FFu);
    EXPECT_EQ(At(C, 119, 139), 0xFFFFFFu);
    // Seen from straight above the box is its top face, whose far edge the
    // projection puts higher on the surface than its near one: the clip is
    // the rectangle between the two, whichever way round they come.
    B.Rotate(360, 270);
    TPoint Near = C.Calculate3DPosition(40, 60, 0), Far = C.Calculate3DPosition(120, 60, 50);
    ASSERT_GT(Near.y, Far.y);
    Paint(C, clWhite);
    C.ClipCube(TRect(40, 60, 120, 140), 0, 50);
    Paint(C, clBlue);
    C.UnClipRectangle();
    const TRect Top(Near.x, Far.y, Far.x, Near.y);
    for (int Y = 0; Y < 200; Y += 3)
        for (int X = 0; X < 200; X += 3)
            ASSERT_EQ(At(C, X, Y), PtInRect(Top, TPoint(X, Y)) ? 0x0000FFu : 0xFFFFFFu) << X << ", " << Y;
}

// --- frames ---

TEST(TeeCanvasFrame, NestedFramesShrinkByOnePixelEachAndLeaveTheCallersRectangleAlone) {
    for (int Width : {1, 2, 3}) {
        TCanvasBench B(12, 12);
        TTeeCanvas3D& C = B.Canvas;
        Paint(C, clWhite);
        const TRect R(0, 0, 10, 10);
        C.Frame3D(R, clRed, clBlue, Width);
        EXPECT_EQ(R, TRect(0, 0, 10, 10));
        for (int Y = 0; Y < 12; ++Y)
            for (int X = 0; X < 12; ++X) {
                uint32_t Expected = 0xFFFFFF;
                for (int I = Width - 1; I >= 0; --I) {
                    uint32_t P = BevelPixel(X - I, Y - I, 10 - 2 * I, 10 - 2 * I, clRed, clBlue);
                    bool Inside = X >= I && Y >= I && X < 10 - I && Y < 10 - I;
                    if (Inside && P != 0xFFFFFFFFu) Expected = P;
                }
                ASSERT_EQ(At(C, X, Y), Expected) << "width " << Width << " at " << X << ", " << Y;
            }
    }
}

// --- text ---

// The same picture drawn by hand with the plain canvas.
std::unique_ptr<TBitmap> TextByHand(TTeeFont& Font, int X, int Y, int ShadowX, int ShadowY,
                                    const char* Text) {
    auto B = std::make_unique<TBitmap>(120, 60);
    TCanvas* C = B->Canvas();
    C->Font()->Assign(&Font);
    C->SetBkMode(TRANSPARENT);
    C->SetTextColor(clRed);
    C->TextOut(X + ShadowX, Y + ShadowY, Text);
    C->SetTextColor(clBlack);
    C->TextOut(X + std::max(-Font.Shadow()->HorizSize(), 0), Y + std::max(-Font.Shadow()->VertSize(), 0),
               Text);
    return B;
}

TEST(TeeCanvasText, TheShadowLiesOnItsSideAndTheTextMovesAwayFromAShadowToTheTopOrLeft) {
    struct TCase {
        int H, V;
        TPoint Shadow;  // offsets from (20, 20)
    };
    for (const TCase& T : {TCase{2, 2, {2, 2}}, TCase{-2, -2, {0, 0}}, TCase{3, -1, {3, 0}}}) {
        TCanvasBench B(120, 60);
        TTeeCanvas3D& C = B.Canvas;
        Paint(C, clWhite);
        TTeeFont Font;
        Font.SetName("Arial");
        Font.SetSize(14);
        Font.Shadow()->SetColor(clRed);
        Font.Shadow()->SetHorizSize(T.H);
        Font.Shadow()->SetVertSize(T.V);
        C.AssignFont(&Font);
        C.SetBackMode(cbmTransparent);
        C.TextOut(20, 20, "Wg");
        auto Expected = TextByHand(Font, 20, 20, T.Shadow.x, T.Shadow.y, "Wg");
        EXPECT_TRUE(SamePicture(Expected->Surface(), C.BufferBitmap()->Surface()))
            << "shadow " << T.H << ", " << T.V;
        EXPECT_EQ(C.TextWidth("Wg"), C.ReferenceCanvas()->TextWidth("Wg") + std::abs(T.H));
        EXPECT_EQ(C.TextHeight("Wg"), C.ReferenceCanvas()->TextHeight("Wg") + std::abs(T.V));
    }
}

TEST(TeeCanvasText, AnOutlinedTextIsFilledInTheFontColourAndStrokedWithThePen) {
    TCanvasBench B(120, 60);
    TTeeCanvas3D& C = B.Canvas;
    Paint(C, clWhite);
    TTeeFont Font;
    Font.SetSize(20);
    Font.SetColor(clLime);
    Font.OutLine()->SetVisible(true);
    Font.OutLine()->SetColor(clBlue);
    C.AssignFont(&Font);
    C.TextOut(10, 10, "H");
    int Lime = 0, Blue = 0;
    for (int Y = 0; Y < 60; ++Y)
        for (int X = 0; X < 120; ++X) {
            uint32_t P = At(C, X, Y);
            Lime += P == 0x00FF00u;
            Blue += P == 0x0000FFu;
        }
    EXPECT_GT(Lime, 0);
    EXPECT_GT(Blue, 0);
    // A font freed before the canvas leaves it no dangling font.
    {
        TTeeFont Passing;
        C.AssignFont(&Passing);
        EXPECT_EQ(C.CurrentTeeFont(), &Passing);
        EXPECT_EQ(Passing.OwnerCanvas(), &C);
    }
    EXPECT_EQ(C.CurrentTeeFont(), nullptr);
    EXPECT_EQ(Font.OwnerCanvas(), nullptr) << "the font replaced no longer points at the canvas";
}

TEST(TeeCanvasText, RotatedAndZoomedTextTakesItsAngleAndItsHeight) {
    TCanvasBench B;
    TRecordingCanvas& C = B.Canvas;
    C.Font()->SetSize(10);
    for (double Angle : {90.0, 450.0, 45.5}) C.RotateLabel(10, 10, "A", Angle);
    EXPECT_EQ(C.TextOrientations, (std::vector<int>{900, 900, 455}));
    EXPECT_EQ(C.Font()->Orientation(), 0) << "the font is put back";
    EXPECT_EQ(C.Brush()->Style(), bsClear);

    // Text at zoom 200 is drawn twice as high, unless the zoom leaves text alone.
    B.Options.SetZoom(200);
    B.Reproject();
    int Plain = C.Font()->Height();
    C.TextHeights.clear();
    C.TextOut3D(10, 10, 0, "A");
    EXPECT_EQ(C.Font()->Height(), Plain);
    B.Options.SetZoomText(false);
    B.Reproject();
    C.TextOut3D(10, 10, 0, "A");
    EXPECT_EQ(C.TextHeights, (std::vector<int>{-27, -13}));
}

// --- pens, brushes and fonts ---

TEST(TeeCanvasTools, PensAreHiddenDottedOrCopiedAsTheirKindSays) {
    TCanvasBench B;
    TTeeCanvas3D& C = B.Canvas;
    TChartPen Pen;
    Pen.SetColor(clRed);
    Pen.SetWidth(3);
    Pen.SetMode(pmXor);
    C.AssignVisiblePen(&Pen);
    EXPECT_EQ(C.Pen()->Color(), clRed);
    EXPECT_EQ(C.Pen()->Width(), 3);
    EXPECT_EQ(C.Pen()->Mode(), pmXor);
    Pen.SetStyle(psDash);
    C.AssignVisiblePenColor(&Pen, clBlue);
    EXPECT_EQ(C.Pen()->Style(), psDash);
    EXPECT_EQ(C.Pen()->Cap(), pcSquare) << "a wide styled pen gets square ends";
    EXPECT_EQ(C.Pen()->Color(), clBlue);
    Pen.SetSmallDots(true);
    C.AssignVisiblePen(&Pen);
    EXPECT_EQ(C.Pen()->Style(), psAlternate);
    EXPECT_EQ(C.Pen()->Width(), 1);
    Pen.SetVisible(false);
    C.Pen()->SetColor(clLime);
    C.AssignVisiblePen(&Pen);
    EXPECT_EQ(C.Pen()->Style(), psClear);
    EXPECT_EQ(C.Pen()->Color(), clLime) << "a hidden pen changes nothing else";
    C.SetMonochrome(true);
    TPen Plain;
    Plain.SetColor(clRed);
    C.AssignVisiblePen(&Plain);
    EXPECT_EQ(C.Pen()->Color(), clBlack);
}

TEST(TeeCanvasTools, ABrushFillsInItsColourAndShowsTheBackColourInItsGaps) {
    TCanvasBench B;
    TTeeCanvas3D& C = B.Canvas;
    TChartBrush Brush;
    Brush.SetStyle(bsCross);
    C.AssignBrushColor(&Brush, clRed, clYellow);
    EXPECT_EQ(C.Brush()->Color(), clRed);
    EXPECT_EQ(C.Brush()->Style(), bsCross);
    EXPECT_EQ(C.GetBackMode(), cbmOpaque);
    EXPECT_EQ(C.GetBackColor(), clYellow);
    // A brush with a picture fills with it.
    TBitmap Picture(8, 8);
    Picture.Canvas()->Brush()->SetColor(clBlue);
    Picture.Canvas()->FillRect(TRect(0, 0, 8, 8));
    Brush.Image()->SetGraphic(&Picture);
    C.AssignBrush(&Brush, clRed);
    EXPECT_TRUE(C.Brush()->HasPattern());
    C.FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(At(C, 5, 5), 0x0000FFu);
    Brush.Image()->SetGraphic(nullptr);
    C.AssignBrush(&Brush, clRed);
    EXPECT_FALSE(C.Brush()->HasPattern());
    C.SetMonochrome(true);
    Brush.SetStyle(bsSolid);
    C.AssignBrush(&Brush, clRed);
    EXPECT_EQ(C.Brush()->Color(), clWhite);
}

TEST(TeeCanvasTools, ResetStateGivesTheDrawingItsStartingTools) {
    TCanvasBench B;
    TTeeCanvas3D& C = B.Canvas;
    C.Pen()->SetColor(clRed);
    C.Pen()->SetWidth(4);
    C.Brush()->SetStyle(bsClear);
    C.Font()->SetSize(20);
    C.SetBackMode(cbmOpaque);
    C.ResetState();
    EXPECT_EQ(C.Pen()->Color(), clBlack);
    EXPECT_EQ(C.Pen()->Width(), 1);
    EXPECT_EQ(C.Brush()->Color(), clWhite);
    EXPECT_EQ(C.Brush()->Style(), bsSolid);
    EXPECT_EQ(C.Font()->Size(), 10);
    EXPECT_EQ(C.GetBackMode(), cbmTransparent);
    EXPECT_EQ(C.GetBackColor(), clWhite);
}

TEST(TeeCanvasTools, TheAbstractCanvasesRaiseTheAbstractError) {
    TTeeCanvas Plain;
    TCanvas3D Projected;
    EXPECT_THROW(Plain.FillRect(TRect()), EAbstractError);
    EXPECT_THROW(Projected.Cube(0, 1, 0, 1, 0, 1, false), EAbstractError);
    EXPECT_THROW(Projected.GetSupportsFullRotation(), EAbstractError);
}

}  // namespace
