// The solid figures of the 3D canvas: which faces each draws from a given
// view, in which shade, and the edge cases of the flat figures. The canvas
// records the polygons it fills; the view is the panels' default oblique one
// (depth goes right and up) unless a case says otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numbers>
#include <string>

#include "GradientTestSupport.h"

using namespace gradient_test;

namespace {

using TPoints = std::vector<TPoint>;
constexpr double Pi = std::numbers::pi;

TPoints Project(TTeeCanvas3D& C, std::initializer_list<TPoint3D> Points) {
    TPoints P;
    for (const TPoint3D& Q : Points) P.push_back(C.Calculate3DPosition(Q.x, Q.y, Q.z));
    return P;
}

TEST(TeeFigures, ACubeShowsTheFacesTurnedToTheViewerEachShadedFromItsOwnColour) {
    const int L = 40, R = 120, T = 60, B = 140, Z0 = 0, Z1 = 100;
    struct TCase {
        const char* View;
        int Rotation, Elevation;  // 0, 0: the oblique view
        std::vector<const char*> Faces;
    };
    const TCase Cases[] = {
        {"oblique", 0, 0, {"front", "right", "top"}},
        {"turned left, seen from above", 30, 330, {"front", "left", "top"}},
        {"seen from below", 345, 15, {"front", "right"}},
    };
    for (const TCase& C : Cases) {
        TCanvasBench Bench;
        if (C.Rotation || C.Elevation) Bench.Rotate(C.Rotation, C.Elevation);
        TRecordingCanvas& K = Bench.Canvas;
        K.Brush()->SetColor(RGB(200, 150, 100));
        K.Cube(L, R, T, B, Z0, Z1, true);
        std::map<std::string, std::pair<TPoints, int>> Known = {
            {"front", {Project(K, {{L, T, Z0}, {R, T, Z0}, {R, B, Z0}, {L, B, Z0}}), 0}},
            {"right", {Project(K, {{R, T, Z0}, {R, T, Z1}, {R, B, Z1}, {R, B, Z0}}), DarkerColorQuantity}},
            {"left", {Project(K, {{L, T, Z0}, {L, T, Z1}, {L, B, Z1}, {L, B, Z0}}), DarkerColorQuantity}},
            {"top", {Project(K, {{L, T, Z0}, {R, T, Z0}, {R, T, Z1}, {L, T, Z1}}), DarkColorQuantity}},
        };
        ASSERT_EQ(K.Figures.size(), C.Faces.size()) << C.View;
        for (size_t I = 0; I < C.Faces.size(); ++I) {
            const auto& [Points, Dark] = Known[C.Faces[I]];
            EXPECT_EQ(K.Figures[I].Points, Points) << C.View << ": " << C.Faces[I];
            EXPECT_EQ(K.Figures[I].Brush, ApplyDark(RGB(200, 150, 100), Dark))
                << C.View << ": " << C.Faces[I];
        }
        EXPECT_EQ(K.Brush()->Color(), RGB(200, 150, 100)) << "the figure gives the brush back";
    }
}

TEST(TeeFigures, AHatchedCubeShadesTheGapsOfItsSidesAndAPlainOneShadesNothing) {
    TCanvasBench Bench;
    TRecordingCanvas& K = Bench.Canvas;
    K.Brush()->SetColor(clRed);
    K.Brush()->SetStyle(bsCross);
    K.SetBackColor(RGB(200, 200, 0));
    K.Cube(40, 120, 60, 140, 0, 50, true);
    ASSERT_EQ(K.Figures.size(), 3u);
    EXPECT_EQ(K.Figures[1].Back, ApplyDark(RGB(200, 200, 0), DarkerColorQuantity));
    EXPECT_EQ(K.Figures[1].Brush, clRed);
    K.Figures.clear();
    K.Brush()->SetStyle(bsSolid);
    K.Cube(40, 120, 60, 140, 0, 50, false);
    for (const auto& F : K.Figures) EXPECT_EQ(F.Brush, clRed);
}

TEST(TeeFigures, ACylinderDrawsTheSidesTurnedToTheViewerAndItsCap) {
    TCanvasBench Bench;
    TRecordingCanvas& K = Bench.Canvas;
    K.Brush()->SetColor(RGB(240, 240, 240));
    // Radius 40 across and in depth; generator k lies at (k - 4) * 22.5
    // degrees, and seen obliquely its x runs with sin a - cos a, which grows
    // from -45 to 135 degrees: the faces between generators 2 and 10.
    K.Cylinder(true, 40, 40, 120, 160, 0, 80, true);
    ASSERT_EQ(K.Figures.size(), 9u);
    for (int K2 = 3; K2 <= 10; ++K2) {
        const auto& F = K.Figures[static_cast<size_t>(K2 - 3)];
        EXPECT_EQ(F.Points.size(), 4u);
        EXPECT_EQ(F.Brush, ApplyDark(RGB(240, 240, 240), 16 * (K2 - 2))) << "face " << K2;
    }
    EXPECT_EQ(K.Figures.back().Points.size(), 16u) << "the cap";
    EXPECT_EQ(K.Figures.back().Brush, ApplyDark(RGB(240, 240, 240), DarkColorQuantity));
}

TEST(TeeFigures, AConeOfPercentZeroHasTheTopOfOneTenthOfTheBase) {
    auto Cap = [](int Percent) {
        TCanvasBench Bench;
        Bench.Canvas.Cone(true, 40, 40, 120, 160, 0, 80, false, Percent);
        return Bench.Canvas.Figures.back().Points;
    };
    TPoints Default = Cap(0);
    EXPECT_EQ(Default, Cap(10));
    auto [Left, Right] =
        std::minmax_element(Default.begin(), Default.end(), [](TPoint A, TPoint B) { return A.x < B.x; });
    EXPECT_LE(Right->x - Left->x, 16) << "radius 4 across and in depth";
    EXPECT_GT(Right->x - Left->x, 0);
    // A horizontal cone lies along x, its cap at the right end.
    TCanvasBench Bench;
    Bench.Canvas.Cone(false, 40, 40, 160, 120, 0, 80, false, 50);
    for (TPoint P : Bench.Canvas.Figures.back().Points) EXPECT_GE(P.x, 160);
}

TEST(TeeFigures, APyramidShowsTheTrianglesTheViewerSees) {
    struct TCase {
        const char* Shape;
        bool Vertical;
        int L, T, R, B, Z0, Z1;
        std::vector<int> Darks;  // one per polygon: how much its brush is darkened
    };
    const TCase Cases[] = {
        {"tall", true, 40, 40, 120, 160, 0, 80, {0, DarkerColorQuantity}},
        {"flat, its back above the apex",
         true,
         40,
         140,
         120,
         160,
         0,
         100,
         {0, 0, DarkerColorQuantity, DarkerColorQuantity}},
        {"upside down, with its base",
         true,
         40,
         160,
         120,
         40,
         0,
         80,
         {0, DarkerColorQuantity, DarkColorQuantity}},
        {"lying", false, 40, 40, 160, 120, 0, 80, {0, DarkColorQuantity}},
        {"lying, no length", false, 100, 40, 100, 120, 0, 80, {DarkerColorQuantity}},
    };
    for (const TCase& C : Cases) {
        TCanvasBench Bench;
        TRecordingCanvas& K = Bench.Canvas;
        K.Brush()->SetColor(RGB(250, 200, 150));
        K.Pyramid(C.Vertical, C.L, C.T, C.R, C.B, C.Z0, C.Z1, true);
        ASSERT_EQ(K.Figures.size(), C.Darks.size()) << C.Shape;
        for (size_t I = 0; I < C.Darks.size(); ++I)
            EXPECT_EQ(K.Figures[I].Brush, ApplyDark(RGB(250, 200, 150), C.Darks[I])) << C.Shape << " " << I;
    }
    // The tall one: the front triangle, then the right one.
    TCanvasBench Bench;
    TRecordingCanvas& K = Bench.Canvas;
    K.Pyramid(true, 40, 40, 120, 160, 0, 80, false);
    TPoints Apex = Project(K, {{80, 40, 40}});
    EXPECT_EQ(K.Figures[0].Points,
              (TPoints{Project(K, {{40, 160, 0}})[0], Apex[0], Project(K, {{120, 160, 0}})[0]}));
    EXPECT_EQ(K.Figures[1].Points,
              (TPoints{Project(K, {{120, 160, 0}})[0], Apex[0], Project(K, {{120, 160, 80}})[0]}));
}

TEST(TeeFigures, ATruncatedPyramidDrawsItsSixFacesBackToFront) {
    TCanvasBench Bench;
    TRecordingCanvas& K = Bench.Canvas;
    K.PyramidTrunc(TRect(40, 40, 120, 160), 0, 80, 10, 10);
    ASSERT_EQ(K.Figures.size(), 6u);
    EXPECT_EQ(K.Figures[0].Points, Project(K, {{40, 160, 0}, {120, 160, 0}, {120, 160, 80}, {40, 160, 80}}))
        << "the base first";
    EXPECT_EQ(K.Figures[5].Points, Project(K, {{70, 40, 30}, {90, 40, 30}, {90, 40, 50}, {70, 40, 50}}))
        << "the top face last";
    K.Figures.clear();
    K.PyramidTrunc(TRect(40, 40, 120, 160), 0, 80, 0, 10);
    EXPECT_EQ(K.Figures.size(), 5u) << "a top face without width is left out";
}

TEST(TeeFigures, APieSliceDrawsItsSidesAndTheRunsOfItsCurvedSideThatFaceTheViewer) {
    struct TCase {
        const char* Slice;
        double Start, End;
        std::vector<size_t> Sizes;  // the polygons drawn, by point count
    };
    const TCase Cases[] = {
        {"upper right quarter", 0, Pi / 2, {4, 12}},
        {"lower half", Pi, 2 * Pi, {21, 40}},
        {"left half", Pi / 2, 3 * Pi / 2, {4, 21, 0}},
        {"from the top round to the top", Pi / 2, 5 * Pi / 2, {4, 33, 0}},
        {"from the bottom round to the bottom", 3 * Pi / 2, 7 * Pi / 2, {4, 33, 0, 0}},
    };
    for (const TCase& C : Cases) {
        TCanvasBench Bench;
        TRecordingCanvas& K = Bench.Canvas;
        K.Pie3D(100, 100, 60, 60, 0, 20, C.Start, C.End, false, true);
        ASSERT_EQ(K.Figures.size(), C.Sizes.size()) << C.Slice;
        for (size_t I = 0; I < C.Sizes.size(); ++I) {
            if (C.Sizes[I]) {
                EXPECT_EQ(K.Figures[I].Points.size(), C.Sizes[I]) << C.Slice << " " << I;
            }
        }
        // Every curved band rises from left to right along its top edge.
        for (const auto& F : K.Figures) {
            if (F.Points.size() < 6 || F.Points[0] == K.Calculate3DPosition(100, 100, 20)) continue;
            size_t Half = F.Points.size() / 2;
            for (size_t I = 1; I < Half; ++I) EXPECT_GE(F.Points[I].x, F.Points[I - 1].x) << C.Slice;
        }
    }
}

TEST(TeeFigures, ARingHasAPointCountThatFollowsItsAngle) {
    struct TCase {
        double Angle;
        size_t Points;
    };
    for (const TCase& C : {TCase{Pi / 2, 128}, TCase{Pi, 256}, TCase{2 * Pi, 256}, TCase{0.001, 4}}) {
        TCanvasBench Bench;
        Bench.Canvas.Donut(100, 100, 60, 40, 0, C.Angle, 50);
        ASSERT_EQ(Bench.Canvas.Figures.size(), 1u);
        EXPECT_EQ(Bench.Canvas.Figures[0].Points.size(), C.Points) << C.Angle;
    }
    TCanvasBench Bench;
    Bench.Canvas.Donut(100, 100, 60, 40, 0, Pi, 50);
    const TPoints& P = Bench.Canvas.Figures[0].Points;
    EXPECT_EQ(P.front(), TPoint(160, 100)) << "the outer points first";
    EXPECT_EQ(P.back(), TPoint(130, 100)) << "the inner ones back, at half the radius";
    EXPECT_EQ(P[127], TPoint(40, 100));
}

TEST(TeeFigures, AnArrowWithoutLengthDrawsNothingAndItsHeadIsNoLongerThanTheArrow) {
    TCanvasBench Bench;
    TRecordingCanvas& K = Bench.Canvas;
    K.Arrow(true, TPoint(30, 30), TPoint(30, 30), 20, 10, 0);
    EXPECT_TRUE(K.Figures.empty());
    K.Arrow(true, TPoint(0, 50), TPoint(40, 50), 20, 100, 0);
    ASSERT_EQ(K.Figures.size(), 1u);
    EXPECT_EQ(K.Figures[0].Points, (TPoints{{0, 55}, {0, 45}, {0, 45}, {0, 40}, {40, 50}, {0, 60}, {0, 55}}))
        << "a head of 100 on an arrow of 40 starts at the tail";
    K.Figures.clear();
    K.Arrow(true, TPoint(0, 50), TPoint(40, 50), 20, 10, 0);
    EXPECT_EQ(K.Figures[0].Points,
              (TPoints{{0, 55}, {0, 45}, {30, 45}, {30, 40}, {40, 50}, {30, 60}, {30, 55}}));
    K.Figures.clear();
    K.Arrow(false, TPoint(0, 50), TPoint(40, 50), 20, 10, 0);
    EXPECT_TRUE(K.Figures.empty()) << "an open arrow is lines only";
    EXPECT_EQ(K.BufferBitmap()->Surface().GetPixel(20, 50), 0x000000u);
}

TEST(TeeFigures, AnEllipseIsTheDeviceEllipseUnlessTheViewIsRotated) {
    TCanvasBench Bench;
    TRecordingCanvas& K = Bench.Canvas;
    K.EllipseWithZ(40, 40, 120, 100, 10);
    EXPECT_TRUE(K.Figures.empty());
    Bench.Rotate(30, 330);
    K.EllipseWithZ(40, 40, 120, 100, 10);
    EXPECT_EQ(K.Figures.size(), 31u) << "filled as triangles from the centre";
    K.Figures.clear();
    K.Brush()->SetStyle(bsClear);
    K.Sphere(100, 100, 50, 20.4);
    EXPECT_TRUE(K.Figures.empty()) << "a clear brush fills nothing";
}

}  // namespace
