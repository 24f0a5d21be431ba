// The splitter of the record screens: read from form data without a
// controller, its panes' bounds, its frames and bar to the pixel, and the
// bar dragged with the mouse.
#include <gtest/gtest.h>

#include <string>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/ui/Grids.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcSplit.h"

namespace {

// A record screen: the grid in the left pane, a second splitter (one pane
// above the other, scaled) in the right one. No controller on the form.
const char* const RecordScreen = "object AlumnosForm: TForm\n"
                                 "  Left = 0\n"
                                 "  Top = 60\n"
                                 "  Width = 792\n"
                                 "  Height = 490\n"
                                 "  BorderStyle = bsNone\n"
                                 "  Color = clBtnFace\n"
                                 "  object OvcSplitter1: TOvcSplitter\n"
                                 "    Left = 0\n"
                                 "    Top = 0\n"
                                 "    Width = 792\n"
                                 "    Height = 490\n"
                                 "    Align = alClient\n"
                                 "    Color = clBtnFace\n"
                                 "    Ctl3D = True\n"
                                 "    ParentCtl3D = False\n"
                                 "    AllowResize = True\n"
                                 "    AutoScale = False\n"
                                 "    AutoUpdate = False\n"
                                 "    BorderStyle = bsNone\n"
                                 "    ColorLeft = clBlack\n"
                                 "    ColorRight = clBtnFace\n"
                                 "    Orientation = soVertical\n"
                                 "    Position = 237\n"
                                 "    ShowHandle = False\n"
                                 "    SplitterColor = clWindowText\n"
                                 "    SplitterSize = 3\n"
                                 "    object SPL1OvcSplitter1AlumnosForm: TOvcSection\n"
                                 "      Color = clBlack\n"
                                 "      object Grid: TStringGrid\n"
                                 "        Left = 0\n"
                                 "        Top = 0\n"
                                 "        Width = 234\n"
                                 "        Height = 487\n"
                                 "        Align = alClient\n"
                                 "      end\n"
                                 "    end\n"
                                 "    object SPL2OvcSplitter1AlumnosForm: TOvcSection\n"
                                 "      Color = clBtnFace\n"
                                 "      object OvcSplitter2: TOvcSplitter\n"
                                 "        Left = 0\n"
                                 "        Top = 0\n"
                                 "        Width = 552\n"
                                 "        Height = 490\n"
                                 "        Align = alClient\n"
                                 "        Color = clBtnFace\n"
                                 "        Ctl3D = True\n"
                                 "        AllowResize = True\n"
                                 "        AutoScale = True\n"
                                 "        AutoUpdate = False\n"
                                 "        BorderStyle = bsNone\n"
                                 "        ColorLeft = clBtnFace\n"
                                 "        ColorRight = clWhite\n"
                                 "        Orientation = soHorizontal\n"
                                 "        Position = 245\n"
                                 "        ShowHandle = False\n"
                                 "        SplitterColor = clWindowText\n"
                                 "        SplitterSize = 3\n"
                                 "        object SPL1OvcSplitter2AlumnosForm: TOvcSection\n"
                                 "          Color = clBtnFace\n"
                                 "        end\n"
                                 "        object SPL2OvcSplitter2AlumnosForm: TOvcSection\n"
                                 "          Color = clWhite\n"
                                 "        end\n"
                                 "      end\n"
                                 "    end\n"
                                 "  end\n"
                                 "end\n";

class OvcSplitter : public OvcFormTest {
protected:
    OvcSplitter() {
        RegisterStdControls();
        RegisterClass(TStringGrid::StaticClassInfo());
    }
    TForm* Screen1() {
        TForm* F = ReadForm(RecordScreen);
        F->Show();
        Ui.RunUntilIdle();
        return F;
    }
    static TRect BoundsOf(const TControl* C) { return Bounds(C->Left(), C->Top(), C->Width(), C->Height()); }
    // A plain splitter of 200 x 100 at (10, 10) of a form, bar at 100.
    TOvcSplitter* Plain(TForm* F) {
        auto* s = NewComponent<TOvcSplitter>(F);
        s->SetName("Plain");
        s->SetBounds(10, 10, 200, 100);
        s->SetParent(F);
        s->SetPosition(100);
        return s;
    }
    void Press(TControl* C, int X, int Y) {
        TPoint p = C->ClientToScreen(TPoint(X, Y));
        InputMouseMove(p);
        InputMouseButton(0, true, p);
        Ui.RunUntilIdle();
    }
    void Drag(TControl* C, int X, int Y) {
        InputMouseMove(C->ClientToScreen(TPoint(X, Y)));
        Ui.RunUntilIdle();
    }
    void Release(TControl* C, int X, int Y) {
        TPoint p = C->ClientToScreen(TPoint(X, Y));
        InputMouseButton(0, false, p);
        Ui.RunUntilIdle();
    }
};

TEST_F(OvcSplitter, ARecordScreenWithoutAControllerLoadsItsPanes) {
    TForm* F = Screen1();
    auto* outer = dynamic_cast<TOvcSplitter*>(F->FindComponent("OvcSplitter1"));
    auto* inner = dynamic_cast<TOvcSplitter*>(F->FindComponent("OvcSplitter2"));
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(outer->HandleAllocated());
    EXPECT_EQ(outer->Controller(), nullptr);
    ASSERT_EQ(outer->SectionCount(), 2) << "the streamed panes replace the two default ones";
    EXPECT_EQ(outer->GetSection(0)->Name(), "SPL1OvcSplitter1AlumnosForm");
    EXPECT_EQ(outer->GetSection(0)->Owner(), outer);
    EXPECT_EQ(outer->GetSection(0)->Color(), clBlack);
    EXPECT_EQ(F->FindComponent("Grid")->Owner(), F);
    EXPECT_EQ(dynamic_cast<TControl*>(F->FindComponent("Grid"))->Parent(), outer->GetSection(0));
    EXPECT_EQ(inner->Parent(), outer->GetSection(1));

    // Ctl3D insets a pane 2 pixels at the top and left and 1 at the bottom
    // and right; a pane that holds a splitter is not inset.
    EXPECT_EQ(outer->Position(), 237);
    EXPECT_EQ(BoundsOf(outer->GetSection(0)), Bounds(2, 2, 234, 487));
    EXPECT_EQ(BoundsOf(outer->GetSection(1)), Bounds(240, 0, 552, 490));
    EXPECT_EQ(BoundsOf(inner), Bounds(0, 0, 552, 490));
    EXPECT_EQ(BoundsOf(inner->GetSection(0)), Bounds(2, 2, 549, 245 - 3));
    EXPECT_EQ(BoundsOf(inner->GetSection(1)), Bounds(2, 245 + 3 + 2, 549, 490 - 245 - 3 - 3));
}

TEST_F(OvcSplitter, PaneBoundsFollowTheTable) {
    TForm* F = NewPlainForm("F", 800, 500);
    auto* s = NewComponent<TOvcSplitter>(F);
    s->SetBounds(0, 0, 792, 490);
    s->SetParent(F);
    s->SetPosition(237);
    F->Show();
    Ui.RunUntilIdle();
    struct Case {
        bool Ctl3D;
        TSplitterOrientation Orientation;
        TRect First, Second;
    } cases[] = {
        {true, soVertical, Bounds(2, 2, 234, 487), Bounds(242, 2, 549, 487)},
        {true, soHorizontal, Bounds(2, 2, 789, 234), Bounds(2, 242, 789, 247)},
        {false, soVertical, Bounds(0, 0, 237, 490), Bounds(240, 0, 552, 490)},
        {false, soHorizontal, Bounds(0, 0, 792, 237), Bounds(0, 240, 792, 250)},
    };
    for (const Case& c : cases) {
        s->SetCtl3D(c.Ctl3D);
        s->SetOrientation(c.Orientation);
        Ui.RunUntilIdle();
        EXPECT_EQ(BoundsOf(s->GetSection(0)), c.First) << c.Ctl3D << " " << c.Orientation;
        EXPECT_EQ(BoundsOf(s->GetSection(1)), c.Second) << c.Ctl3D << " " << c.Orientation;
    }
    s->SetPosition(5000);
    EXPECT_EQ(s->Position(), 490 - 3 - 2);
    s->SetPosition(0);
    EXPECT_EQ(s->Position(), 1);
}

TEST_F(OvcSplitter, FramesAndBarAreDrawnLineByLine) {
    TForm* F = Screen1();
    // Each sunken frame is three lines of three points; lines leave out their end point.
    const int P = 237, S = 3, CW = 792, CH = 490;
    auto px = [&](int X, int Y) { return PixelAt(F, X, Y); };
    const uint32_t light = Rgb(clBtnHighlight), dark = Rgb(clBtnShadow), black = 0, face = Rgb(clBtnFace);
    for (int y : {1, 100, CH - 1}) EXPECT_EQ(px(P - 1, y), light) << y;
    for (int x : {0, 100, P - 2}) EXPECT_EQ(px(x, CH - 1), light) << x;
    EXPECT_EQ(px(P - 1, 0), dark) << "the end point of the light line belongs to the top line";
    for (int y : {1, 200, CH - 2}) EXPECT_EQ(px(0, y), dark) << y;
    for (int x : {0, 100, P - 1}) EXPECT_EQ(px(x, 0), dark) << x;
    for (int y : {2, 200, CH - 2}) EXPECT_EQ(px(1, y), black) << y;
    for (int x : {1, 100, P - 2}) EXPECT_EQ(px(x, 1), black) << x;
    for (int x = P; x < P + S; ++x)
        for (int y : {0, 245, CH - 1}) EXPECT_EQ(px(x, y), face) << x << "," << y << ": the bar";
    // The right pane holds a splitter: no frame of its own, the inner splitter's frames instead.
    const int X0 = P + S, IP = 245, ICW = CW - P - S;
    EXPECT_EQ(px(X0 + ICW - 1, 100), light) << "the inner top pane's right edge";
    EXPECT_EQ(px(X0 + 100, IP - 1), light) << "the inner top pane's bottom edge";
    EXPECT_EQ(px(X0 + 0, 100), dark);
    EXPECT_EQ(px(X0 + 1, 100), black);
    for (int y = IP; y < IP + S; ++y) EXPECT_EQ(px(X0 + 200, y), face) << y << ": the inner bar";
    EXPECT_EQ(px(X0 + 0, IP + S), dark) << "the inner bottom pane's frame starts under the bar";
    EXPECT_EQ(px(X0 + 100, IP + S + 1), black);
    EXPECT_EQ(px(X0 + 100, CH - 1), light);
    EXPECT_EQ(px(X0 + 100, IP + S + 10), Rgb(clWhite)) << "the inner bottom pane in its colour";
}

TEST_F(OvcSplitter, WithoutCtl3DOnlyTheBarIsDrawnInItsColour) {
    TForm* F = NewPlainForm("F");
    F->SetColor(clWhite);
    TOvcSplitter* s = Plain(F);
    s->SetCtl3D(false);
    s->SetSplitterColor(clRed);
    s->GetSection(0)->SetColor(clLime);
    F->Show();
    Ui.RunUntilIdle();
    for (int x = 100; x < 103; ++x) EXPECT_EQ(PixelAt(F, 10 + x, 50), Rgb(clRed)) << x;
    EXPECT_EQ(PixelAt(F, 10 + 99, 50), Rgb(clLime)) << "the pane reaches the bar";
    EXPECT_EQ(PixelAt(F, 10 + 0, 10 + 0), Rgb(clLime));
}

TEST_F(OvcSplitter, TheHandleStandsInTheMiddleOfTheBar) {
    TForm* F = NewPlainForm("F");
    TOvcSplitter* s = Plain(F);
    s->SetShowHandle(true);
    F->Show();
    const uint32_t white = 0xFFFFFF, grey = 0x808080;
    auto at = [&](int X, int Y) {
        Ui.RunUntilIdle();
        return PixelAt(F, 10 + X, 10 + Y);
    };
    // Vertical with Ctl3D: M = 100 + 3 div 2, D = 2; x from M + D - 2 to
    // M + D, y from 100 div 3 to 2 x (100 div 3); lit at the left and top.
    const int m = 101, d = 2, top = 33, bottom = 66;
    EXPECT_EQ(at(m + d - 2, 50), white) << "left side";
    EXPECT_EQ(at(m + d - 1, top), white) << "top side";
    EXPECT_EQ(at(m + d, 50), grey) << "right side";
    EXPECT_EQ(at(m + d - 1, bottom), grey) << "bottom side";
    EXPECT_EQ(at(m + d - 1, 50), Rgb(s->Color())) << "the bar inside";
    // Horizontal without Ctl3D: M = 50 + 1, D = 1; x from 200 div 3 to 2 x (200 div 3).
    s->SetCtl3D(false);
    s->SetOrientation(soHorizontal);
    s->SetPosition(50);
    const int hm = 51, hd = 1, left = 66, right = 132;
    EXPECT_EQ(at(100, hm - 2 + hd), white) << "top side";
    EXPECT_EQ(at(left, hm - 1 + hd), white) << "left side";
    EXPECT_EQ(at(100, hm + hd), grey) << "bottom side";
    EXPECT_EQ(at(right, hm - 1 + hd), grey) << "right side";
}

TEST_F(OvcSplitter, TheCursorShowsAtSplitterSizeButADragStartsOnlyNearer) {
    TForm* F = NewPlainForm("F");
    TOvcSplitter* s = Plain(F);
    F->Show();
    Ui.RunUntilIdle();
    for (int x : {97, 103}) {
        Drag(s, x, 50);
        EXPECT_EQ(Ui.CursorShown(), crHSplit) << x;
    }
    Drag(s, 104, 50);
    EXPECT_NE(Ui.CursorShown(), crHSplit);
    Press(s, 103, 50);
    Drag(s, 150, 50);
    EXPECT_EQ(s->Position(), 100) << "pressed three pixels away: no drag";
    Release(s, 150, 50);
    EXPECT_EQ(s->Position(), 100);
    s->SetOrientation(soHorizontal);
    s->SetPosition(50);
    Drag(s, 30, 53);
    EXPECT_EQ(Ui.CursorShown(), crVSplit);
}

TEST_F(OvcSplitter, TheGhostBarIsInvertedAndInvertedBack) {
    TForm* F = NewPlainForm("F");
    TOvcSplitter* s = Plain(F);
    F->Show();
    Ui.RunUntilIdle();
    const TSurface before = Ui.Picture(F);
    auto at = [&](const TSurface& Picture, int X, int Y) { return Picture.GetPixel(10 + X, 10 + Y); };
    Press(s, 102, 50);
    ASSERT_EQ(GetCapture(), s->Handle());
    TSurface ghost = Ui.Picture(F);
    for (int x : {102, 103}) EXPECT_EQ(at(ghost, x, 50), ~at(before, x, 50) & 0xFFFFFF) << x;
    EXPECT_EQ(at(ghost, 104, 50), at(before, 104, 50)) << "a band of SplitterSize - 1 pixels";
    Drag(s, 150, 60);
    TSurface moved = Ui.Picture(F);
    for (int x : {102, 103})
        EXPECT_EQ(at(moved, x, 50), at(before, x, 50)) << x << ": inverted twice, restored";
    for (int y : {0, 99}) EXPECT_EQ(at(moved, 150, y), ~at(before, 150, y) & 0xFFFFFF) << "the whole height";
    EXPECT_EQ(s->Position(), 150);
    EXPECT_EQ(s->GetSection(0)->Width(), 100 - 3) << "the panes wait for the release";
    Release(s, 150, 60);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(s->GetSection(0)->Width(), 150 - 3);
    EXPECT_DOUBLE_EQ(s->Fraction(), 150.0 / 200);
    TSurface after = Ui.Picture(F);
    EXPECT_EQ(at(after, 150, 50), Rgb(s->Color())) << "the bar, drawn again at its place";
}

TEST_F(OvcSplitter, AutoUpdateMovesTheBarLive) {
    TForm* F = NewPlainForm("F");
    TOvcSplitter* s = Plain(F);
    s->SetAutoUpdate(true);
    F->Show();
    Ui.RunUntilIdle();
    const double fraction = s->Fraction();
    Press(s, 101, 50);
    Drag(s, 60, 50);
    EXPECT_EQ(s->Position(), 60);
    EXPECT_EQ(s->GetSection(0)->Width(), 60 - 3) << "the panes follow during the drag";
    EXPECT_EQ(PixelAt(F, 10 + 61, 50), Rgb(s->Color())) << "the bar at its new place";
    Release(s, 60, 50);
    EXPECT_EQ(s->Fraction(), fraction) << "a live drag leaves the fraction";
}

TEST_F(OvcSplitter, AutoScaleKeepsTheFractionOnResize) {
    TForm* F = ReadForm(RecordScreen);
    auto* inner = dynamic_cast<TOvcSplitter*>(F->FindComponent("OvcSplitter2"));
    EXPECT_DOUBLE_EQ(inner->Fraction(), 245.0 / 490);
    F->Show();
    Ui.RunUntilIdle();
    F->SetBounds(0, 60, 792, 300);
    Ui.RunUntilIdle();
    EXPECT_EQ(inner->Height(), 300);
    EXPECT_EQ(inner->Position(), 150);
    inner->SetPosition(100);
    F->SetBounds(0, 60, 792, 600);
    Ui.RunUntilIdle();
    EXPECT_EQ(inner->Position(), 300) << "a position set in code leaves the fraction";
    auto* outer = dynamic_cast<TOvcSplitter*>(F->FindComponent("OvcSplitter1"));
    EXPECT_EQ(outer->Position(), 237) << "without AutoScale the bar stays";
}

TEST_F(OvcSplitter, APositionReadBeforeASizeLeavesTheFraction) {
    TForm* F = ReadForm("object F: TForm\n"
                        "  object S: TOvcSplitter\n"
                        "    Height = 0\n"
                        "    Orientation = soHorizontal\n"
                        "    Position = 40\n"
                        "  end\n"
                        "end\n");
    auto* s = dynamic_cast<TOvcSplitter*>(F->FindComponent("S"));
    EXPECT_EQ(s->Position(), 40);
    EXPECT_DOUBLE_EQ(s->Fraction(), 0.5);
    s->SetParent(F);
    s->SetBounds(0, 0, 100, 120);
    EXPECT_EQ(s->Position(), 60) << "scaled by the fraction it kept";
}

}  // namespace
