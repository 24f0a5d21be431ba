// The gradient fill band by band, in every direction, with a middle colour,
// and the gradient settings' notifications.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GradientTestSupport.h"
#include "gradient/TeeProcs.h"

using namespace gradient_test;

namespace {

// A canvas drawing into a white bitmap of its own.
struct TFillBench {
    TFillBench(int W, int H) : Target(W, H) {
        Canvas.InitWindow(Target.Canvas(), nullptr, clWhite, false, TRect(0, 0, W, H));
    }
    uint32_t At(int X, int Y) const { return Canvas.BufferBitmap()->Surface().GetPixel(X, Y); }
    TBitmap Target;
    TTeeCanvas3D Canvas;
};

TEST(TeeGradientFill, VerticalBandsFollowTheRuleForEveryHeight) {
    for (int Height : {1, 2, 3, 100, 255, 256, 257, 300, 1000}) {
        for (TGradientDirection D : {gdTopBottom, gdBottomTop}) {
            TFillBench B(5, Height);
            B.Canvas.GradientFill(TRect(0, 0, 5, Height), ProgramStart, ProgramEnd, D);
            for (int Y = 0; Y < Height; ++Y)
                ASSERT_EQ(B.At(2, Y), RowPixel(Y, Height, ProgramStart, ProgramEnd, D == gdTopBottom))
                    << "height " << Height << " row " << Y << " direction " << int(D);
        }
    }
    TFillBench B(3, 40);
    B.Canvas.GradientFill(TRect(0, 0, 3, 40), ProgramStart, ProgramEnd, gdTopBottom);
    EXPECT_EQ(B.At(1, 39), Pixel(RGB(128, 128, 255))) << "the start colour at the bottom";
    EXPECT_EQ(B.At(1, 0), Pixel(RGB(192, 220, 192))) << "the end colour at the top";
    TFillBench One(3, 1);
    One.Canvas.GradientFill(TRect(0, 0, 3, 1), ProgramStart, ProgramEnd, gdTopBottom);
    EXPECT_EQ(One.At(1, 0), Pixel(ProgramStart)) << "one row: all in the first colour";
}

TEST(TeeGradientFill, ATallFillHas256BandsOfOneOrTwoRows) {
    TFillBench B(2, 300);
    B.Canvas.GradientFill(TRect(0, 0, 2, 300), clBlack, clWhite, gdTopBottom);
    std::vector<int> Runs;
    for (int Y = 0; Y < 300; ++Y) {
        if (Y > 0 && B.At(0, Y) == B.At(0, Y - 1)) ++Runs.back();
        else Runs.push_back(1);
    }
    EXPECT_EQ(Runs.size(), 256u);
    for (int Run : Runs) EXPECT_TRUE(Run == 1 || Run == 2);
    TFillBench Short(2, 100);
    Short.Canvas.GradientFill(TRect(0, 0, 2, 100), clBlack, clWhite, gdTopBottom);
    for (int Y = 1; Y < 100; ++Y) ASSERT_NE(Short.At(0, Y), Short.At(0, Y - 1)) << "one band a row";
}

TEST(TeeGradientFill, EachDirectionPutsItsColoursOnItsOwnSides) {
    struct TCase {
        TGradientDirection Direction;
        TPoint StartAt, EndAt;  // on a 61 x 41 fill: where each colour lies
    };
    const TCase Cases[] = {
        {gdTopBottom, {30, 40}, {30, 0}},     {gdBottomTop, {30, 0}, {30, 40}},
        {gdLeftRight, {60, 20}, {0, 20}},     {gdRightLeft, {0, 20}, {60, 20}},
        {gdFromCenter, {30, 20}, {0, 0}},     {gdFromTopLeft, {60, 40}, {0, 0}},
        {gdFromBottomLeft, {60, 0}, {0, 40}},
    };
    for (const TCase& C : Cases) {
        TFillBench B(61, 41);
        B.Canvas.GradientFill(TRect(0, 0, 61, 41), clRed, clBlue, C.Direction);
        EXPECT_EQ(B.At(C.EndAt.x, C.EndAt.y), 0x0000FFu) << int(C.Direction);
        // The banded fills reach the start colour; the nested and corner ones
        // stop a step or two short of it.
        uint32_t Start = B.At(C.StartAt.x, C.StartAt.y);
        if (C.Direction <= gdRightLeft) {
            EXPECT_EQ(Start, 0xFF0000u) << int(C.Direction);
        }
        EXPECT_GE(Start >> 16, 245u) << int(C.Direction);
        EXPECT_LE(Start & 0xFF, 10u) << int(C.Direction);
    }
    // The nested frames: every pixel of a frame in one colour, moving inwards.
    TFillBench B(61, 41);
    B.Canvas.GradientFill(TRect(0, 0, 61, 41), clRed, clBlue, gdFromCenter);
    EXPECT_EQ(B.At(0, 17), B.At(60, 40));
    EXPECT_EQ(B.At(5, 5), B.At(55, 35));
    EXPECT_NE(B.At(5, 5), B.At(6, 6));
    TFillBench Bad(10, 10);
    Bad.Canvas.GradientFill(TRect(0, 0, 10, 10), clRed, clBlue, static_cast<TGradientDirection>(9));
    EXPECT_EQ(Bad.At(5, 5), 0xFFFFFFu) << "an unknown direction paints nothing";
}

TEST(TeeGradientFill, AReversedRectangleIsFilledAsIfOrderedAndAnEmptyOneNotAtAll) {
    TFillBench A(20, 50), B(20, 50);
    A.Canvas.GradientFill(TRect(0, 0, 20, 50), clRed, clBlue, gdTopBottom);
    B.Canvas.GradientFill(TRect(20, 50, 0, 0), clRed, clBlue, gdTopBottom);
    for (int Y = 0; Y < 50; ++Y) ASSERT_EQ(A.At(10, Y), B.At(10, Y));
    TFillBench Flat(20, 5);
    Flat.Canvas.GradientFill(TRect(0, 2, 20, 2), clRed, clBlue, gdTopBottom);
    Flat.Canvas.GradientFill(TRect(4, 0, 4, 5), clRed, clBlue, gdLeftRight);
    for (int Y = 0; Y < 5; ++Y) EXPECT_EQ(Flat.At(4, Y), 0xFFFFFFu);
}

TEST(TeeGradientFill, TheFillGivesTheCanvasItsBrushBack) {
    TFillBench B(20, 20);
    B.Canvas.Brush()->SetColor(clTeal);
    B.Canvas.Brush()->SetStyle(bsDiagCross);
    B.Canvas.GradientFill(TRect(0, 0, 20, 20), clRed, clBlue, gdTopBottom);
    EXPECT_EQ(B.Canvas.Brush()->Color(), clTeal);
    EXPECT_EQ(B.Canvas.Brush()->Style(), bsDiagCross);
    // The system colours are the current ones; "no colour" is drawn as white.
    TFillBench S(4, 2);
    S.Canvas.GradientFill(TRect(0, 0, 4, 2), clBtnFace, clNone, gdTopBottom);
    EXPECT_EQ(S.At(0, 1), ColorRefToPixel(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(S.At(0, 0), 0xFFFFFFu);
}

TEST(TeeGradient, AMiddleColourSplitsTheFillKeepingEachColoursSide) {
    struct TCase {
        TGradientDirection Direction;
        bool StartFirst;  // the start colour at the top or left
    };
    for (TCase C : {TCase{gdBottomTop, true}, TCase{gdTopBottom, false}, TCase{gdRightLeft, true},
                    TCase{gdLeftRight, false}}) {
        bool Vertical = C.Direction == gdTopBottom || C.Direction == gdBottomTop;
        TFillBench B(100, 100);
        TChartGradient G{TNotifyEvent()};
        G.SetStartColor(clRed);
        G.SetMidColor(clLime);
        G.SetEndColor(clBlue);
        G.SetDirection(C.Direction);
        G.Draw(&B.Canvas, TRect(0, 0, 100, 100));
        auto At = [&](int I) { return Vertical ? B.At(50, I) : B.At(I, 50); };
        EXPECT_EQ(At(0), C.StartFirst ? 0xFF0000u : 0x0000FFu) << int(C.Direction);
        EXPECT_EQ(At(99), C.StartFirst ? 0x0000FFu : 0xFF0000u) << int(C.Direction);
        EXPECT_EQ(At(49), 0x00FF00u) << "the middle colour meets itself in the middle";
        EXPECT_EQ(At(50), 0x00FF00u);
        EXPECT_NE(At(48), 0x00FF00u);
        EXPECT_NE(At(51), 0x00FF00u);
    }
    TFillBench B(10, 10);
    TChartGradient G{TNotifyEvent()};
    G.SetStartColor(clRed);
    G.SetEndColor(clBlue);
    G.SetMidColor(clLime);
    G.SetDirection(gdFromCenter);
    G.Draw(&B.Canvas, TRect(0, 0, 10, 10));
    for (int I = 0; I < 10; ++I) EXPECT_NE(B.At(I, 5), 0x00FF00u) << "ignored from the centre";
}

TEST(TeeGradient, ARoundedGradientLeavesItsCornersAndItsClip) {
    TFillBench B(60, 40);
    TChartGradient G{TNotifyEvent()};
    G.SetStartColor(clRed);
    G.SetEndColor(clRed);
    G.Draw(&B.Canvas, TRect(0, 0, 60, 40), 16);
    EXPECT_EQ(B.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(B.At(59, 39), 0xFFFFFFu);
    EXPECT_EQ(B.At(30, 0), 0xFF0000u);
    B.Canvas.Brush()->SetColor(clLime);
    B.Canvas.FillRect(TRect(0, 0, 60, 40));
    EXPECT_EQ(B.At(0, 0), 0x00FF00u) << "the clip is gone";
}

TEST(TeeGradient, OnlyAChangedValueTellsTheOwnerAndAnAssignmentTellsNobody) {
    std::vector<std::string> Log;
    TChartGradient G([&](TObject* Sender) { Log.push_back(Sender->ClassName()); });
    EXPECT_EQ(G.StartColor(), clWhite);
    EXPECT_EQ(G.EndColor(), clYellow);
    EXPECT_EQ(G.MidColor(), clNone);
    EXPECT_FALSE(G.Visible());
    G.SetStartColor(clWhite);
    G.SetDirection(gdTopBottom);
    G.SetVisible(false);
    EXPECT_TRUE(Log.empty());
    G.SetStartColor(clRed);
    G.SetMidColor(clLime);
    G.SetDirection(gdFromTopLeft);
    G.SetVisible(true);
    EXPECT_EQ(Log.size(), 4u);
    EXPECT_EQ(Log[0], "TChartGradient");
    Log.clear();
    TChartGradient Other{TNotifyEvent()};
    G.Assign(&Other);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(G.StartColor(), clWhite);
    EXPECT_FALSE(G.Visible());
}

}  // namespace
