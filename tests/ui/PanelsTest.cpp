// Panels, bevels, group boxes, scroll boxes and headers: where their pixels
// and their children go.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/ui/ExtCtrls.h"

namespace {

uint32_t Rgb(TColor C) {
    TColorRef R = ColorToRGB(C);
    return (static_cast<uint32_t>(GetRValue(R)) << 16) | (static_cast<uint32_t>(GetGValue(R)) << 8) |
           static_cast<uint32_t>(GetBValue(R));
}

class Panels : public FormTest {
protected:
    Panels() {
        Form = NewPlainForm("F", 400, 300);
        Form->SetColor(clWhite);
    }
    uint32_t At(int X, int Y) { return PixelOf(Ui, Form, X, Y); }
    TForm* Form;
};

TEST_F(Panels, APanelDrawsItsBevelsAndBorderFromTheOutsideIn) {
    auto* P = Make<TPanel>(Form, Form, "P", Bounds(10, 10, 100, 60));
    P->SetBevelWidth(2);
    P->SetBorderWidth(3);
    P->SetBevelInner(bvLowered);
    P->SetColor(clYellow);
    Form->Show();
    Ui.RunUntilIdle();
    const uint32_t Light = Rgb(clBtnHighlight), Dark = Rgb(clBtnShadow), Face = 0xFFFF00;
    struct TPixel {
        int X, Y;
        uint32_t Color;
    };
    for (const TPixel& Px : std::initializer_list<TPixel>{{0, 0, Light},
                                                          {1, 1, Light},
                                                          {50, 1, Light},
                                                          {99, 59, Dark},
                                                          {98, 30, Dark},
                                                          {2, 2, Face},
                                                          {4, 4, Face},  // the border, in the panel's colour
                                                          {5, 5, Dark},
                                                          {6, 30, Dark},
                                                          {50, 6, Dark},
                                                          {94, 54, Light},
                                                          {93, 30, Light},  // the lowered inner bevel
                                                          {7, 7, Face},
                                                          {50, 30, Face}}) {
        EXPECT_EQ(At(10 + Px.X, 10 + Px.Y), Px.Color) << Px.X << "," << Px.Y;
    }
    // Children align inside the bevels and the border: 2 + 3 + 2 pixels on each side.
    auto* Child = Make<TPanel>(Form, P, "Child", Bounds(0, 0, 10, 10));
    Child->SetAlign(alClient);
    EXPECT_EQ(Child->BoundsRect(), TRect(7, 7, 93, 53));
}

TEST_F(Panels, APanelAtANegativeLeftShowsItsVisiblePart) {
    auto* P = Make<TPanel>(Form, Form, "P", Bounds(-20, 10, 60, 40));
    P->SetColor(clRed);
    P->SetBevelOuter(bvNone);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(P->Left(), -20);
    EXPECT_EQ(At(0, 20), 0xFF0000u);
    EXPECT_EQ(At(39, 20), 0xFF0000u);
    EXPECT_EQ(At(40, 20), 0xFFFFFFu);
}

TEST_F(Panels, APanelCentresItsCaption) {
    auto* P = Make<TPanel>(Form, Form, "P", Bounds(0, 0, 200, 40));
    P->SetBevelOuter(bvNone);
    P->SetColor(clWhite);
    P->Font()->SetColor(clBlack);
    P->SetCaption("MMMM");
    Form->Show();
    Ui.RunUntilIdle();
    // The black pixels of the text lie evenly around the middle.
    int Left = 200, Right = -1;
    for (int X = 0; X < 200; ++X)
        for (int Y = 0; Y < 40; ++Y)
            if (At(X, Y) == 0) {
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
    ASSERT_LE(Left, Right);
    EXPECT_NEAR((Left + Right) / 2.0, 100, 2.0);
}

struct TBevelCase {
    TBevelShape Shape;
    TBevelStyle Style;
    // Pixels of a 20 by 10 bevel and whether each is the first colour (shadow
    // for a lowered bevel), the second, or untouched.
    std::vector<std::tuple<int, int, char>> Pixels;
};

class Bevels : public Panels, public ::testing::WithParamInterface<TBevelCase> {};

TEST_P(Bevels, LinesLieWhereTheShapeSays) {
    const TBevelCase& C = GetParam();
    auto* B = Make<TBevel>(Form, Form, "B", Bounds(10, 10, 20, 10));
    B->SetShape(C.Shape);
    B->SetStyle(C.Style);
    Form->Show();
    Ui.RunUntilIdle();
    uint32_t First = Rgb(C.Style == bsLowered ? clBtnShadow : clBtnHighlight);
    uint32_t Second = Rgb(C.Style == bsLowered ? clBtnHighlight : clBtnShadow);
    for (auto [X, Y, Which] : C.Pixels) {
        uint32_t Want = Which == '1' ? First : Which == '2' ? Second : 0xFFFFFFu;
        EXPECT_EQ(At(10 + X, 10 + Y), Want) << X << "," << Y << " " << Which;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Bevels,
    ::testing::Values(
        // A box: top and left in the first colour, bottom and right in the second.
        TBevelCase{
            bsBox,
            bsLowered,
            {{0, 0, '1'}, {10, 0, '1'}, {0, 9, '1'}, {19, 0, '2'}, {19, 9, '2'}, {10, 9, '2'}, {5, 5, '-'}}},
        TBevelCase{bsBox, bsRaised, {{0, 5, '1'}, {19, 5, '2'}}},
        // A frame: a rectangle in the second colour one pixel in from one in the first.
        TBevelCase{bsFrame,
                   bsLowered,
                   {{0, 0, '1'},
                    {18, 0, '1'},
                    {0, 8, '1'},
                    {1, 1, '2'},
                    {19, 1, '2'},
                    {19, 9, '2'},
                    {1, 9, '2'},
                    {5, 5, '-'}}},
        TBevelCase{bsTopLine, bsLowered, {{0, 0, '1'}, {19, 0, '1'}, {0, 1, '2'}, {19, 1, '2'}, {5, 2, '-'}}},
        TBevelCase{bsBottomLine, bsLowered, {{0, 8, '1'}, {0, 9, '2'}, {5, 7, '-'}}},
        TBevelCase{bsLeftLine, bsRaised, {{0, 0, '1'}, {0, 9, '1'}, {1, 5, '2'}, {2, 5, '-'}}},
        TBevelCase{bsRightLine, bsRaised, {{18, 0, '1'}, {19, 9, '2'}, {17, 5, '-'}}},
        TBevelCase{bsSpacer, bsRaised, {{0, 0, '-'}, {19, 9, '-'}}}));

TEST_F(Panels, AGroupBoxPlacesItsChildrenBelowItsCaption) {
    auto* G = Make<TGroupBox>(Form, Form, "G", Bounds(10, 10, 150, 100));
    G->SetCaption("&Opciones");
    auto* Child = Make<TPanel>(Form, G, "C", Bounds(0, 0, 10, 10));
    Child->SetAlign(alTop);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_GT(Child->Top(), 8) << "below the caption's line";
    EXPECT_EQ(Child->Left(), 2);
    EXPECT_EQ(Child->Width(), 150 - 4);
    // The caption's accelerator takes the focus to the box's first control.
    auto* E = Make<TEdit>(Form, G, "E", Bounds(10, 50, 100, 0));
    auto* Other = Make<TEdit>(Form, Form, "O", Bounds(200, 10, 100, 0));
    Other->SetFocus();
    InputKey(VK_MENU, true);
    InputKey('O', true, 'o');
    InputKey('O', false);
    InputKey(VK_MENU, false);
    Ui.RunUntilIdle();
    EXPECT_TRUE(E->Focused());
}

TEST_F(Panels, AScrollBoxScrollsChildrenThatReachBeyondIt) {
    auto* S = Make<TScrollBox>(Form, Form, "S", Bounds(10, 10, 100, 80));
    auto* Far = Make<TPanel>(Form, S, "Far", Bounds(150, 200, 40, 30));
    Form->Show();
    Ui.RunUntilIdle();
    TScrollInfo SI;
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(S->Handle(), SB_VERT, SI));
    EXPECT_EQ(SI.nMax, 229);
    EXPECT_EQ(static_cast<int>(SI.nPage), S->ClientHeight());
    S->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 100), 0);
    EXPECT_EQ(Far->Top(), 100);
    EXPECT_EQ(S->ScrollPos().y, 100);
    S->ScrollInView(Far);
    EXPECT_EQ(Far->Top() + Far->Height(), S->ClientHeight());
    EXPECT_EQ(Far->Left() + Far->Width(), S->ClientWidth());
}

// Without automatic scrolling a bar shows from the range it is given; a
// click on its arrow moves by its increment. Scrolling by itself, the box
// keeps its bars' margin after the farthest child.
TEST_F(Panels, AScrollBoxBarTakesItsRangeIncrementAndMargin) {
    auto* S = Make<TScrollBox>(Form, Form, "S", Bounds(10, 10, 100, 80));
    S->SetBorderStyle(bsNone);
    auto* Near = Make<TPanel>(Form, S, "Near", Bounds(0, 20, 40, 30));
    Form->Show();
    Ui.RunUntilIdle();
    TControlScrollBar* V = S->VertScrollBar();
    EXPECT_FALSE(V->IsScrollBarVisible());
    S->SetAutoScroll(false);
    V->SetRange(300);
    V->SetIncrement(25);
    Ui.RunUntilIdle();
    EXPECT_TRUE(V->IsScrollBarVisible());
    EXPECT_FALSE(S->HorzScrollBar()->IsScrollBarVisible());
    TScrollInfo SI;
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(S->Handle(), SB_VERT, SI));
    EXPECT_EQ(SI.nMax, 299);
    TRect W;
    GetWindowRect(S->Handle(), W);
    const int Arrow = GetSystemMetrics(SM_CXVSCROLL) / 2;
    Ui.Click(TPoint(W.Right - Arrow, W.Bottom - Arrow));
    Ui.RunUntilIdle();
    EXPECT_EQ(V->Position(), 25);
    EXPECT_EQ(Near->Top(), -5);
    // With the focus, the keys scroll it.
    S->SetTabStop(true);
    S->SetFocus();
    for (auto [Key, Position] :
         {std::pair<WORD, int>{VK_DOWN, 50}, {VK_UP, 25}, {VK_END, 220}, {VK_HOME, 0}}) {
        InputKey(Key, true);
        InputKey(Key, false);
        Ui.RunUntilIdle();
        EXPECT_EQ(V->Position(), Position) << Key;
    }
    V->SetPosition(0);
    S->SetAutoScroll(true);
    S->HorzScrollBar()->SetMargin(70);
    EXPECT_EQ(S->HorzScrollBar()->Range(), 110);
    EXPECT_TRUE(S->HorzScrollBar()->IsScrollBarVisible());
}

TEST_F(Panels, AHeaderSectionIsSizedByDraggingItsEdge) {
    auto* H = Make<THeader>(Form, Form, "H", Bounds(10, 10, 300, 21));
    H->Sections()->Add("Tabla");
    H->Sections()->Add("Registro");
    H->SetSectionWidth(0, 100);
    std::vector<int> Sized;
    H->OnSized = [&](TObject*, int Section, int Width) { Sized = {Section, Width}; };
    Form->Show();
    Ui.RunUntilIdle();
    TPoint Edge = H->ClientToScreen(TPoint(100, 5));
    InputMouseMove(Edge);
    InputMouseButton(0, true, Edge);
    InputMouseMove(TPoint(Edge.x + 30, Edge.y));
    InputMouseButton(0, false, TPoint(Edge.x + 30, Edge.y));
    Ui.RunUntilIdle();
    EXPECT_EQ(H->SectionWidth(0), 130);
    EXPECT_EQ(Sized, (std::vector<int>{0, 130}));
    H->SetAllowResize(false);
    Edge = H->ClientToScreen(TPoint(130, 5));
    InputMouseButton(0, true, Edge);
    InputMouseMove(TPoint(Edge.x - 50, Edge.y));
    InputMouseButton(0, false, TPoint(Edge.x - 50, Edge.y));
    Ui.RunUntilIdle();
    EXPECT_EQ(H->SectionWidth(0), 130);
}

}  // namespace
