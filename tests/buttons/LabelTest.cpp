// The effect label: the organizer dialog's two labels, sizing to the
// caption, transparency, and the accelerator that hands on the focus.
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "buttons/fcLabel.h"
#include "platform/classes/Filer.h"
#include "platform/ui/StdCtrls.h"

namespace {

struct Labels : ButtonsTest {
    TForm* Form = NewForm(440, 200);
    Labels() { Form->SetColor(clTeal); }
    TfcLabel* Make(const char* Caption, TRect Bounds) {
        auto* L = NewComponent<TfcLabel>(Form);
        L->SetParent(Form);
        L->Font()->SetName("Arial");
        L->Font()->SetHeight(-16);
        L->Font()->SetColor(clBlack);
        L->SetBoundsRect(Bounds);
        L->SetCaption(Caption);
        return L;
    }
    TSize Text(const char* Caption, bool Bold = false) {
        TBitmap M(1, 1);
        M.Canvas()->Font()->SetName("Arial");
        M.Canvas()->Font()->SetHeight(-16);
        if (Bold) M.Canvas()->Font()->SetStyle({fsBold});
        return M.Canvas()->TextExtent(Caption);
    }
};

TEST_F(Labels, ACaptionSetAtRunTimeIsOnTheSurfaceAtOnceOverTheDialog) {
    ReadComponentFromText(
        Form, "object F: TForm\n  Color = clTeal\n  object LabTextoGen: TfcLabel\n"
              "    Left = 20\n    Top = 10\n    Width = 397\n    Height = 82\n    AutoSize = False\n"
              "    Font.Color = clBlack\n    Font.Height = -16\n    Font.Name = 'Arial'\n"
              "    Font.Style = [fsBold]\n    ParentFont = False\n    TextOptions.Alignment = taCenter\n"
              "    TextOptions.VAlignment = vaTop\n    TextOptions.Style = fclsLowered\n"
              "    Transparent = True\n  end\nend\n");
    auto* L = dynamic_cast<TfcLabel*>(Form->FindComponent("LabTextoGen"));
    ASSERT_NE(L, nullptr);
    EXPECT_TRUE(L->Transparent());
    EXPECT_FALSE(L->AutoSize());
    Form->Show();
    Ui.RunUntilIdle();
    L->SetCaption("Colocando alumnos");
    L->Refresh();
    // No message loop in between: what the surface holds now.
    const TSurface* S = WindowSurface(Form->Handle());
    ASSERT_NE(S, nullptr);
    TSize T = Text("Colocando alumnos", true);
    // Centred from the top of (20, 10, 417, 92).
    int X = 20 + 397 / 2 - T.cx / 2, Y = 10;
    TInk Ink = InkOf(*S, 0, TRect(20, 10, 417, 92));
    ASSERT_FALSE(Ink.empty());
    EXPECT_EQ(
        Ink.begin()->first, X + [&] {
            TBitmap R(400, 40);
            R.Canvas()->Font()->SetName("Arial");
            R.Canvas()->Font()->SetHeight(-16);
            R.Canvas()->Font()->SetStyle({fsBold});
            R.Canvas()->TextOut(0, 0, "Colocando alumnos");
            return InkOf(R.Surface(), 0, TRect(0, 0, 400, 40)).begin()->first;
        }());
    EXPECT_EQ(S->GetPixel(22, 80), PixelOfColor(clTeal)) << "the dialog shows behind the label";
    EXPECT_FALSE(
        InkOf(*S, PixelOfColor(clBtnShadow), TRect(X - 2, Y - 2, X + T.cx + 2, Y + T.cy + 2)).empty())
        << "lowered: a shade copy up and left";
}

TEST_F(Labels, AWordWrappedLabelBreaksItsCaptionWithinItsWidth) {
    TfcLabel* L = Make("DORVANEL M-3", TRect(20, 20, 115, 57));
    L->SetAutoSize(false);
    L->SetBoundsRect(TRect(20, 20, 115, 57));
    L->SetTransparent(true);
    L->TextOptions()->SetAlignment(taCenter);
    L->TextOptions()->SetWordWrap(true);
    L->TextOptions()->SetLineSpacing(2);
    Form->Show();
    Ui.RunUntilIdle();
    TInk Ink = InkOf(Ui.Picture(Form), 0, TRect(0, 0, 440, 200));
    ASSERT_FALSE(Ink.empty());
    int Top = 1000, Bottom = -1, Left = 1000, Right = -1;
    for (auto [x, y] : Ink) {
        Top = std::min(Top, y), Bottom = std::max(Bottom, y);
        Left = std::min(Left, x), Right = std::max(Right, x);
    }
    EXPECT_GT(Bottom - Top, Text("M").cy) << "two lines";
    EXPECT_GE(Left, 20);
    EXPECT_LT(Right, 115);
    EXPECT_EQ(L->Width(), 95) << "no sizing to the caption";
}

TEST_F(Labels, AnAutoSizedLabelTakesItsCaptionsSizeKeepingItsAlignedEdge) {
    TfcLabel* L = Make("Corto", TRect(100, 20, 200, 40));
    EXPECT_EQ(L->Width(), Text("Corto").cx);
    EXPECT_EQ(L->Height(), Text("Corto").cy);
    L->SetCaption("Bastante m\xE1s largo");
    EXPECT_EQ(L->Width(), Text("Bastante m\xE1s largo").cx);
    EXPECT_EQ(L->Left(), 100);
    TfcLabel* R = Make("Corto", TRect(100, 60, 200, 80));
    R->TextOptions()->SetAlignment(taRightJustify);
    R->SetCaption("Corto");
    int Right = R->Left() + R->Width();
    R->SetCaption("Bastante m\xE1s largo");
    EXPECT_EQ(R->Left() + R->Width(), Right) << "the right edge stays";
    R->SetAutoSize(false);
    R->SetCaption("x");
    EXPECT_EQ(R->Width(), Text("Bastante m\xE1s largo").cx);
}

TEST_F(Labels, TheAcceleratorHandsTheFocusOnAsLongAsItIsShown) {
    TfcLabel* L = Make("&Nombre", TRect(10, 10, 80, 30));
    auto* Edit = NewComponent<TEdit>(Form);
    Edit->SetBounds(90, 10, 100, 21);
    Edit->SetParent(Form);
    auto* Other = NewComponent<TEdit>(Form);
    Other->SetBounds(90, 40, 100, 21);
    Other->SetParent(Form);
    L->SetFocusControl(Edit);
    Form->Show();
    Other->SetFocus();
    Ui.Key('N', {ssAlt});
    Ui.RunUntilIdle();
    EXPECT_TRUE(Edit->Focused());
    Other->SetFocus();
    L->TextOptions()->SetOptions({});
    Ui.Key('N', {ssAlt});
    Ui.RunUntilIdle();
    EXPECT_TRUE(Other->Focused()) << "without the accelerator shown it does nothing";
    Edit->Free();
    EXPECT_EQ(L->FocusControl(), nullptr);
}

TEST_F(Labels, AnOpaqueLabelFillsItsColourAndATransparentOneDoesNot) {
    TfcLabel* L = Make("", TRect(10, 10, 60, 30));
    L->SetAutoSize(false);
    L->SetColor(clYellow);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, 20, 20), 0xFFFF00u);
    L->SetTransparent(true);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, 20, 20), PixelOfColor(clTeal));
}

TEST_F(Labels, MouseEnterAndLeaveAreReported) {
    TfcLabel* L = Make("Hola", TRect(10, 10, 60, 30));
    std::vector<std::string> Heard;
    L->OnMouseEnter = [&](TObject*) { Heard.push_back("enter"); };
    L->OnMouseLeave = [&](TObject*) { Heard.push_back("leave"); };
    Form->Show();
    Ui.RunUntilIdle();
    Ui.MoveTo(L->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    Ui.MoveTo(TPoint(100 + 300, 100 + 150));
    Ui.RunUntilIdle();
    EXPECT_EQ(Heard, (std::vector<std::string>{"enter", "leave"}));
}

}  // namespace
