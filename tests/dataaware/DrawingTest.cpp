// The library's drawing routines and its frame look, checked on bitmaps and
// off-screen controls against pixels and sizes the rules compute.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwframe.h"
#include "dataaware/wwhelpers.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Lists.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/UiDriver.h"

namespace {

uint32_t Px(TColor Color) { return ColorRefToPixel(ColorToRGB(Color)); }

// A white 16 by 16 bitmap to draw a button on.
std::unique_ptr<TBitmap> White16() {
    auto bitmap = std::make_unique<TBitmap>(16, 16);
    bitmap->Canvas()->Brush()->SetColor(clWhite);
    bitmap->Canvas()->FillRect(TRect(0, 0, 16, 16));
    return bitmap;
}

bool InSquare(int X, int Y, int Left, int Top, int Size) {
    return X >= Left && X < Left + Size && Y >= Top && Y < Top + Size;
}

}  // namespace

TEST(DrawingRoutines, TheEllipsisButtonsDotsSitByTheButtonsState) {
    struct TDots {
        TButtonState State;
        bool Flat;
        int Row;
        int Columns[3];
    };
    // 16 pixels wide: dots of (16 + 1) div 8 = 2 pixels, two dot widths
    // apart; up they sit one pixel up and left of the pressed ones.
    for (const TDots& d : {TDots{bsUp, false, 7, {3, 7, 11}}, TDots{bsDown, false, 8, {4, 8, 12}},
                           TDots{bsUp, true, 7, {3, 7, 11}}}) {
        auto bitmap = White16();
        DrawEllipsisButton(bitmap->Canvas(), TRect(0, 0, 16, 16), d.State, {}, false, d.Flat, true);
        const TSurface& s = bitmap->Surface();
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x) {
                const bool dot = InSquare(x, y, d.Columns[0], d.Row, 2) ||
                                 InSquare(x, y, d.Columns[1], d.Row, 2) ||
                                 InSquare(x, y, d.Columns[2], d.Row, 2);
                EXPECT_EQ(s.GetPixel(x, y), dot ? 0u : Px(d.Flat ? clWhite : clBtnFace))
                    << "state " << int(d.State) << " at " << x << "," << y;
            }
        // The raised edge's outer ring, flat when pressed, none when the button is flat.
        const uint32_t topLeft = d.Flat ? Px(clWhite) : d.State == bsDown ? Px(clBtnShadow) : Px(cl3DLight);
        const uint32_t bottomRight = d.Flat              ? Px(clWhite)
                                     : d.State == bsDown ? Px(clBtnShadow)
                                                         : Px(cl3DDkShadow);
        EXPECT_EQ(s.GetPixel(5, 0), topLeft);
        EXPECT_EQ(s.GetPixel(0, 5), topLeft);
        EXPECT_EQ(s.GetPixel(5, 15), bottomRight);
        EXPECT_EQ(s.GetPixel(15, 5), bottomRight);
    }
}

TEST(DrawingRoutines, TheComboArrowTakesOneOfThreeLooks) {
    struct TArrow {
        TButtonState State;
        TControlState ControlState;
        bool Enabled;
        uint32_t Flags;
    };
    // A disabled control's arrow is inactive and never pressed, whatever the
    // button's state; a copy painted into a grid cell is never pressed either.
    for (const TArrow& a : {TArrow{bsUp, {}, true, 0x5}, TArrow{bsDown, {}, true, 0x4205},
                            TArrow{bsExclusive, {}, true, 0x4205}, TArrow{bsDown, {csPaintCopy}, true, 0x5},
                            TArrow{bsUp, {}, false, 0x105}, TArrow{bsDown, {}, false, 0x105}}) {
        auto drawn = White16(), expected = White16();
        DrawComboArrowButton(drawn->Canvas(), TRect(0, 0, 16, 16), a.State, a.ControlState, a.Enabled);
        TRect r(0, 0, 16, 16);
        expected->Canvas()->DrawFrameControl(r, DFC_SCROLL, a.Flags);
        bool same = true;
        for (int y = 0; y < 16 && same; ++y)
            for (int x = 0; x < 16 && same; ++x)
                same = drawn->Surface().GetPixel(x, y) == expected->Surface().GetPixel(x, y);
        EXPECT_TRUE(same) << "state " << int(a.State) << ", enabled " << a.Enabled << ": flags " << std::hex
                          << a.Flags;
    }
}

TEST(DrawingRoutines, CellTextWrapsOnlyWhenTheCellHasRoomForASecondLine) {
    TBitmap bitmap(200, 60);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clWhite);
    const int line = canvas->TextHeight("Ag");
    // One line high: the words stay on one line, side by side.
    const TRect oneLine(0, 0, 200, line + 2);
    DrawCellText(canvas, oneLine, 2, 1, "uno dos tres", taLeftJustify, dctWordWrap);
    int inkRight = -1, inkBelow = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (bitmap.Surface().GetPixel(x, y) == 0) {
                inkRight = std::max(inkRight, x);
                if (y > line + 1) ++inkBelow;
            }
    EXPECT_GT(inkRight, canvas->TextWidth("uno dos")) << "all three words on the line";
    EXPECT_EQ(inkBelow, 0);

    // Room for three lines in a narrow cell: the words go one under the other.
    TBitmap narrow(40, 60);
    narrow.Canvas()->Brush()->SetColor(clWhite);
    DrawCellText(narrow.Canvas(), TRect(0, 0, 40, 3 * line + 4), 0, 0, "uno dos tres", taLeftJustify,
                 dctWordWrap);
    int lastInkRow = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 40; ++x)
            if (narrow.Surface().GetPixel(x, y) == 0) lastInkRow = y;
    EXPECT_GT(lastInkRow, line) << "the words below each other";
}

TEST(DrawingRoutines, CellTextFillsTheCellUnlessAskedNotTo) {
    for (int options : {0, int(dctNoFill)}) {
        TBitmap bitmap(60, 20);
        bitmap.Canvas()->Brush()->SetColor(clWhite);
        bitmap.Canvas()->FillRect(TRect(0, 0, 60, 20));
        bitmap.Canvas()->Brush()->SetColor(clYellow);
        DrawCellText(bitmap.Canvas(), TRect(10, 2, 50, 18), 2, 1, "", taRightJustify, options);
        EXPECT_EQ(bitmap.Surface().GetPixel(30, 10), options ? Px(clWhite) : Px(clYellow)) << options;
        EXPECT_EQ(bitmap.Surface().GetPixel(5, 10), Px(clWhite)) << "outside the cell";
    }
}

TEST(DrawingRoutines, IntegerAndRectangleHelpers) {
    EXPECT_EQ(ScaleByPixelsPerInch(10, 120), 12);
    EXPECT_EQ(ScaleByPixelsPerInch(-10, 120), -12) << "truncated toward zero";
    EXPECT_EQ(ClampInt(5, 1, 9), 5);
    EXPECT_EQ(ClampInt(-5, 1, 9), 1);
    EXPECT_EQ(ClampInt(15, 1, 9), 9);
    EXPECT_EQ(IntMax(3, -4), 3);
    EXPECT_EQ(IntMin(3, -4), -4);
    EXPECT_EQ(RectWidth(TRect(2, 3, 12, 8)), 10);
    EXPECT_EQ(RectHeight(TRect(2, 3, 12, 8)), 5);
    EXPECT_FALSE(IsThemed(nullptr));
}

TEST(DrawingRoutines, AFocusRectangleLeavesTheCanvasAsItWas) {
    TBitmap bitmap(20, 20);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetStyle(bsDiagCross);
    canvas->Pen()->SetColor(clLime);
    canvas->SetTextColor(clNavy);
    DrawFocusRectangle(canvas, TRect(2, 2, 18, 18));
    EXPECT_EQ(canvas->Brush()->Style(), bsDiagCross);
    EXPECT_EQ(canvas->Pen()->Color(), clLime);
    EXPECT_EQ(canvas->GetTextColor(), ColorToRGB(clNavy));
    // The outline in the highlight colour, every other pixel of it inverted.
    int highlight = 0, inverted = 0;
    for (int x = 2; x < 18; ++x) {
        const uint32_t p = bitmap.Surface().GetPixel(x, 2);
        if (p == Px(clHighlight)) ++highlight;
        else if (p == (~Px(clHighlight) & 0xFFFFFF)) ++inverted;
    }
    EXPECT_EQ(highlight + inverted, 16);
    EXPECT_GT(highlight, 0);
    EXPECT_GT(inverted, 0);
    EXPECT_EQ(bitmap.Surface().GetPixel(10, 10), Px(clWhite)) << "the inside is left alone";
}

// ---------------------------------------------------------------- the frame

namespace {
class FrameTest : public ::testing::Test {
protected:
    TLibraryScope Library;
    TForm* Form = NewPlainForm("FrameForm", 300, 200);
    ~FrameTest() override { Form->Free(); }
    TwwDBEdit* NewEdit() {
        auto* edit = NewComponent<TwwDBEdit>(Form);
        edit->SetParent(Form);
        return edit;
    }
};
}  // namespace

TEST_F(FrameTest, MarginsFollowTheFocusedStyleAndSides) {
    struct TMargins {
        TwwEditFocusStyle Style;
        bool Left, Right;
        int ExpectLeft, ExpectTop, ExpectRight;
    };
    for (const TMargins& m :
         {TMargins{efsFrameBox, true, true, 2, 2, 99}, TMargins{efsFrameBox, true, false, 2, 2, 100},
          TMargins{efsFrameSingle, true, true, 2, 2, 100}, TMargins{efsFrameSunken, true, true, 3, 3, 98},
          TMargins{efsFrameSunken, false, true, 1, 3, 98}, TMargins{efsFrameBump, true, true, 3, 3, 98},
          TMargins{efsFrameRaised, true, true, 2, 3, 98}, TMargins{efsFrameEtched, false, false, 1, 3, 98}}) {
        TwwEditFrame frame(nullptr);
        frame.SetFocusStyle(m.Style);
        TwwEditFrameEnabledSet sides{efTopBorder, efBottomBorder};
        if (m.Left) sides.Include(efLeftBorder);
        if (m.Right) sides.Include(efRightBorder);
        frame.SetFocusBorders(sides);
        TRect r(0, 0, 100, 20);
        frame.GetEditMargins(r);
        EXPECT_EQ(r.Left, m.ExpectLeft) << int(m.Style);
        EXPECT_EQ(r.Top, m.ExpectTop) << int(m.Style);
        EXPECT_EQ(r.Right, m.ExpectRight) << int(m.Style);
    }
}

TEST_F(FrameTest, TextOffsetsOfAnUnfocusedFrame) {
    TwwEditFrame frame(nullptr);
    int x, y;
    frame.GetNonFocusTextOffsets(x, y, false);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    frame.SetNonFocusTextOffsetX(4);
    frame.SetNonFocusTextOffsetY(-1);
    frame.SetNonFocusBorders({efLeftBorder, efTopBorder});
    frame.SetNonFocusStyle(efsFrameSunken);
    frame.GetNonFocusTextOffsets(x, y, false);
    EXPECT_EQ(x, 3 + 4);
    EXPECT_EQ(y, 3 - 1);
    frame.GetNonFocusTextOffsets(x, y, true);
    EXPECT_EQ(x, 2 + 4) << "focused: the box style with all four sides";
    EXPECT_EQ(y, 2 - 1);
}

TEST_F(FrameTest, EnablingTheFrameTakesTheBorderAndFitsTheHeight) {
    TwwDBEdit* edit = NewEdit();
    edit->Frame()->SetAutoSizeHeightAdjust(3);
    edit->Frame()->SetEnabled(true);
    EXPECT_EQ(edit->BorderStyle(), bsNone);
    TBitmap scratch(1, 1);
    scratch.Canvas()->Font()->Assign(edit->Font());
    TTextMetric metrics;
    scratch.Canvas()->GetTextMetrics(metrics);
    EXPECT_EQ(edit->Height(), metrics.tmHeight + 6 + 3);
    edit->Frame()->SetEnabled(false);
    EXPECT_EQ(edit->BorderStyle(), bsNone) << "switching the frame off keeps the edit borderless";
}

TEST_F(FrameTest, AFrameInAGridCellCountsForNothing) {
    auto* grid = NewComponent<TStringGrid>(Form);
    grid->SetParent(Form);
    TwwDBEdit* edit = NewComponent<TwwDBEdit>(Form);
    edit->SetParent(grid);
    edit->Frame()->SetEnabled(true);
    EXPECT_FALSE(edit->Frame()->IsEffective());
    EXPECT_TRUE(edit->Frame()->PaintFrame(true, false, nullptr)) << "nothing drawn";
    EXPECT_TRUE(NewEdit()->Frame()->IsEffective() == false) << "a disabled frame";
}

TEST_F(FrameTest, EdgesFollowTheSidesAndStopShortOfAnOpenRightSide) {
    TwwDBEdit* edit = NewEdit();
    edit->SetBounds(0, 0, 40, 20);
    TwwEditFrame* frame = edit->Frame();
    frame->SetNonFocusBorders({efLeftBorder, efTopBorder, efBottomBorder});
    frame->SetNonFocusStyle(efsFrameSingle);
    for (bool transparent : {false, true}) {
        frame->SetTransparent(transparent);
        TBitmap bitmap(40, 20);
        bitmap.Canvas()->Brush()->SetColor(clLime);
        bitmap.Canvas()->FillRect(TRect(0, 0, 40, 20));
        DrawFrameEdges(edit, frame, bitmap.Canvas(), false);
        const TSurface& s = bitmap.Surface();
        // A single line: the window frame's colour, no inner ring.
        EXPECT_EQ(s.GetPixel(0, 10), Px(clWindowFrame));
        EXPECT_EQ(s.GetPixel(10, 0), Px(clWindowFrame));
        EXPECT_EQ(s.GetPixel(1, 10), Px(clLime));
        const int bottomEnd = transparent ? 37 : 39;
        EXPECT_EQ(s.GetPixel(bottomEnd, 19), Px(clWindowFrame)) << transparent;
        EXPECT_EQ(s.GetPixel(bottomEnd + 1, 19), transparent ? Px(clLime) : 0u) << transparent;
        EXPECT_EQ(s.GetPixel(39, 10), Px(clLime)) << "no right side";
    }
    frame->SetNonFocusBorders({});
    TBitmap untouched(40, 20);
    untouched.Canvas()->Brush()->SetColor(clLime);
    untouched.Canvas()->FillRect(TRect(0, 0, 40, 20));
    DrawFrameEdges(edit, frame, untouched.Canvas(), false);
    EXPECT_EQ(untouched.Surface().GetPixel(0, 19), Px(clLime)) << "no side, no edge";
}

TEST_F(FrameTest, AssigningADisabledFrameCopiesOnlyEnabledAndTransparent) {
    TwwEditFrame source(nullptr), target(nullptr);
    target.SetEnabled(true);
    target.SetNonFocusColor(clAqua);
    source.SetTransparent(true);
    source.SetNonFocusColor(clRed);
    source.SetFocusStyle(efsFrameBump);
    target.Assign(&source);
    EXPECT_FALSE(target.Enabled());
    EXPECT_TRUE(target.Transparent());
    EXPECT_EQ(target.NonFocusColor(), clAqua);
    EXPECT_EQ(target.FocusStyle(), efsFrameBox);
    target.AssignFrom(&source, true);
    EXPECT_EQ(target.NonFocusColor(), clRed) << "forced: everything";
    EXPECT_EQ(target.FocusStyle(), efsFrameBump);
}

TEST_F(FrameTest, ButtonEffectsSetTheButtonsLookByName) {
    TwwDBEdit* owner = NewEdit();
    auto* button = NewComponent<TSpeedButton>(Form);
    button->SetParent(Form);
    button->SetTransparent(false);
    TwwButtonEffects effects(owner, button);
    effects.SetFlat(true);
    EXPECT_TRUE(button->Flat());
    EXPECT_FALSE(button->Transparent()) << "flat alone leaves the button's own transparency";
    effects.SetFlat(false);
    effects.SetTransparent(true);
    EXPECT_TRUE(button->Transparent());
    EXPECT_TRUE(button->Flat()) << "a transparent button is flat";
}

TEST_F(FrameTest, AControllersFrameIsCopiedByTheEditsThatNameIt) {
    auto* controller = NewComponent<TwwController>(Form);
    controller->Frame()->SetEnabled(true);
    controller->Frame()->SetNonFocusColor(clInfoBk);
    TwwDBEdit* first = NewEdit();
    TwwDBEdit* second = NewEdit();
    first->SetController(controller);
    second->SetController(controller);
    EXPECT_TRUE(first->Frame()->Enabled());
    EXPECT_EQ(first->Frame()->NonFocusColor(), clInfoBk);
    EXPECT_EQ(first->BorderStyle(), bsNone);
    EXPECT_EQ(controller->ControlList()->Count(), 2);
    second->Free();
    EXPECT_EQ(controller->ControlList()->Count(), 1);
    controller->Free();
    EXPECT_EQ(first->Controller(), nullptr);
    EXPECT_TRUE(first->Frame()->Enabled()) << "the copy stays";
}
