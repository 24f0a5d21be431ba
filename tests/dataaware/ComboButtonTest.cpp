// The combo button: its glyph cells and shared image lists, mouse tracking
// and groups, its action, and its faces in every state, checked pixel by
// pixel on the off-screen display.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/wwcombobutton.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/UiDriver.h"

namespace {

uint32_t Px(TColor Color) { return ColorRefToPixel(ColorToRGB(Color)); }

// A glyph strip of Cells cells of Size pixels: fuchsia (the transparent
// colour, at the bottom-left corner) round a black square two pixels in.
std::unique_ptr<TBitmap> Strip(int Cells, int Size) {
    auto bitmap = std::make_unique<TBitmap>(Cells * Size, Size);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(clFuchsia);
    canvas->FillRect(TRect(0, 0, Cells * Size, Size));
    canvas->Brush()->SetColor(clBlack);
    for (int c = 0; c < Cells; ++c) canvas->FillRect(TRect(c * Size + 2, 2, c * Size + Size - 2, Size - 2));
    return bitmap;
}

class ComboButtonTest : public ::testing::Test {
protected:
    ComboButtonTest() {
        Form->SetColor(clBtnFace);
        Form->Show();
    }
    ~ComboButtonTest() override { Form->Free(); }

    TwwComboButton* NewButton(int Left = 10, int Top = 10) {
        auto* button = NewComponent<TwwComboButton>(Form);
        button->SetParent(Form);
        button->SetLeft(Left);
        button->SetTop(Top);
        return button;
    }
    static TUiDriver& Ui() { return static_cast<TUiDriver&>(CurrentDisplay()); }
    // The button's pixels as the form shows them.
    TSurface Shown(TwwComboButton* Button) {
        const TSurface& picture = Ui().Picture(Form);
        TSurface s(Button->Width(), Button->Height());
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x)
                s.SetPixel(x, y, picture.GetPixel(Button->Left() + x, Button->Top() + y));
        return s;
    }
    static void Press(TControl* Button, int X, int Y) {
        Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON,
                        MakeLParam(static_cast<uint16_t>(X), static_cast<uint16_t>(Y)));
    }
    static void Release(TControl* Button, int X, int Y) {
        Button->Perform(WM_LBUTTONUP, 0, MakeLParam(static_cast<uint16_t>(X), static_cast<uint16_t>(Y)));
    }

    TLibraryScope Library;
    TForm* Form = NewPlainForm("ButtonForm", 200, 100);
};

}  // namespace

TEST_F(ComboButtonTest, ANewButtonIsASmallTransparentPushButton) {
    TwwComboButton* button = NewButton();
    EXPECT_EQ(button->Width(), 23);
    EXPECT_EQ(button->Height(), 22);
    EXPECT_TRUE(button->Transparent());
    EXPECT_EQ(button->Margin(), -1);
    EXPECT_EQ(button->Spacing(), 4);
    EXPECT_EQ(button->ControlStyle(), (TControlStyle{csCaptureMouse, csDoubleClicks}));
    EXPECT_TRUE(button->Glyph()->Empty()) << "no glyph loaded";
}

TEST_F(ComboButtonTest, AStripOfSquareCellsSetsTheCellCount) {
    TwwComboButton* button = NewButton();
    button->SetNumGlyphs(2);
    struct TStrip {
        int Width, Height, Cells;
    };
    for (const TStrip& s : {TStrip{64, 16, 4}, TStrip{80, 16, 1}, TStrip{20, 16, 1}, TStrip{32, 16, 2}}) {
        TBitmap strip(s.Width, s.Height);
        button->SetGlyph(&strip);
        EXPECT_EQ(button->NumGlyphs(), s.Cells) << s.Width << "x" << s.Height;
    }
    TBitmap odd(20, 16);
    button->SetGlyph(&odd);
    EXPECT_EQ(button->NumGlyphs(), 2) << "a width that is no whole number of cells keeps the count";
    button->SetNumGlyphs(9);
    EXPECT_EQ(button->NumGlyphs(), 4);
    button->SetNumGlyphs(0);
    EXPECT_EQ(button->NumGlyphs(), 4);
}

TEST_F(ComboButtonTest, StatesWithoutACellOfTheirOwnShowTheUpCell) {
    TwwComboButton* button = NewButton();
    TwwComboButtonGlyph* glyph = button->GlyphObject();
    button->SetGlyph(Strip(2, 10).get());
    EXPECT_EQ(glyph->MakeStateImage(bsDown), glyph->MakeStateImage(bsUp))
        << "two cells: down is the up image";
    auto strip = Strip(3, 10);
    strip->Canvas()->Brush()->SetColor(clRed);
    strip->Canvas()->FillRect(TRect(2, 2, 8, 8));  // the up cell's square red
    button->SetGlyph(strip.get());
    const int exclusiveImage = glyph->MakeStateImage(bsExclusive), upImage = glyph->MakeStateImage(bsUp);
    TBitmap exclusive, up;
    glyph->ImageList()->GetBitmap(exclusiveImage, &exclusive);
    glyph->ImageList()->GetBitmap(upImage, &up);
    EXPECT_EQ(exclusive.Canvas()->Pixel(5, 5), clRed) << "three cells: exclusive shows the up cell";
    EXPECT_EQ(up.Canvas()->Pixel(5, 5), clRed);
}

TEST_F(ComboButtonTest, ButtonsOfOneImageSizeShareAnImageList) {
    TwwComboButton* first = NewButton();
    TwwComboButton* second = NewButton(40, 10);
    first->SetGlyph(Strip(1, 10).get());
    second->SetGlyph(Strip(1, 10).get());
    first->GlyphObject()->MakeStateImage(bsUp);
    second->GlyphObject()->MakeStateImage(bsUp);
    TGlyphList* shared = first->GlyphObject()->ImageList();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(second->GlyphObject()->ImageList(), shared);
    EXPECT_EQ(shared->UsedCount(), 2);
    first->Free();
    EXPECT_EQ(shared->UsedCount(), 1);
    EXPECT_NE(SharedGlyphCache(), nullptr);
    second->Free();
    EXPECT_EQ(SharedGlyphCache(), nullptr) << "the last glyph object takes the cache with it";
}

TEST_F(ComboButtonTest, AReleaseOnTheBottomRowClicksButOneOnTheRightColumnDoesNot) {
    TwwComboButton* button = NewButton();
    int clicks = 0;
    button->OnClick = [&clicks](TObject*) { ++clicks; };
    struct TRelease {
        int X, Y;
        bool Clicks;
    };
    for (const TRelease& r :
         {TRelease{5, button->ClientHeight(), true}, TRelease{button->ClientWidth(), 5, false},
          TRelease{button->ClientWidth() - 1, 0, true}, TRelease{5, -1, false}}) {
        clicks = 0;
        Press(button, 5, 5);
        EXPECT_EQ(button->State(), bsDown);
        Release(button, r.X, r.Y);
        EXPECT_EQ(clicks, r.Clicks ? 1 : 0) << r.X << "," << r.Y;
        EXPECT_EQ(button->State(), bsUp);
    }
}

TEST_F(ComboButtonTest, AGroupKeepsOneButtonDown) {
    TwwComboButton* a = NewButton(10, 10);
    TwwComboButton* b = NewButton(40, 10);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    Press(a, 5, 5);
    Release(a, 5, 5);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), bsExclusive);
    Press(a, 5, 5);
    Release(a, 5, 5);
    EXPECT_TRUE(a->Down()) << "the down button of a group without AllowAllUp stays down";
    a->SetDown(false);
    EXPECT_TRUE(a->Down());
    b->SetDown(true);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down()) << "pressing another raises the first";
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp()) << "the whole group takes AllowAllUp";
    b->SetDown(false);
    EXPECT_FALSE(b->Down());
    TwwComboButton* alone = NewButton(70, 10);
    alone->SetDown(true);
    EXPECT_FALSE(alone->Down()) << "a button outside any group never stays down";
}

TEST_F(ComboButtonTest, ADoubleClickCountsOnlyWhileTheButtonIsDown) {
    TwwComboButton* button = NewButton();
    int doubles = 0;
    button->OnDblClick = [&doubles](TObject*) { ++doubles; };
    button->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(5, 5));
    Release(button, 5, 5);
    EXPECT_EQ(doubles, 0);
    button->SetGroupIndex(3);
    button->SetDown(true);
    button->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(5, 5));
    Release(button, 5, 5);
    EXPECT_EQ(doubles, 1);
}

TEST_F(ComboButtonTest, TheAcceleratorOfTheCaptionClicks) {
    TwwComboButton* button = NewButton();
    button->SetCaption("&Abrir");
    int clicks = 0;
    button->OnClick = [&clicks](TObject*) { ++clicks; };
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'a'), 1);
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'b'), 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ComboButtonTest, AnActionGivesItsImageAndFollowsTheGroupsDownButton) {
    auto* images = NewComponent<TImageList>(Form);
    images->SetSize(10, 10);
    images->AddMasked(Strip(2, 10).get(), clFuchsia);
    auto* list = NewComponent<TActionList>(Form);
    list->SetImages(images);
    auto* action = NewComponent<TAction>(Form);
    action->SetActionList(list);
    action->SetImageIndex(1);
    action->SetCaption("Ver");
    int runs = 0;
    action->OnExecute = [&runs](TObject*) { ++runs; };

    TwwComboButton* button = NewButton();
    button->SetGroupIndex(2);
    button->SetAllowAllUp(true);
    button->SetAction(action);
    EXPECT_EQ(button->Caption(), "Ver");
    ASSERT_EQ(button->Glyph()->Width(), 10) << "the action's image copied into the glyph";
    EXPECT_EQ(button->Glyph()->Canvas()->Pixel(5, 5), clBlack);
    EXPECT_EQ(button->Glyph()->Canvas()->Pixel(0, 0), clFuchsia);

    Press(button, 5, 5);
    Release(button, 5, 5);
    EXPECT_EQ(runs, 1) << "a click runs the action";
    EXPECT_TRUE(button->Down());
    action->SetChecked(true);
    action->SetChecked(false);
    EXPECT_FALSE(button->Down()) << "Checked is linked while it agrees with Down";

    TwwComboButton* other = NewButton(40, 10);
    other->SetGroupIndex(2);
    button->SetDown(true);
    action->SetChecked(true);
    other->SetDown(true);
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(action->Checked()) << "a raised button unchecks its action";
}

// ---------------------------------------------------------------- faces

namespace {
// The face of a 23 by 22 button, the glyph a 10 by 10 cell whose black
// square (6 by 6, two pixels in) stands where the layout puts it: centred
// in the face, and one pixel further right and down when pressed.
struct TFace {
    const char* Name;
    bool Flat, Transparent, Down, Exclusive, Hot, Enabled;
    int FaceLeft, FaceTop, FaceRight, FaceBottom;  // the area inside the edge
};
}  // namespace

TEST_F(ComboButtonTest, EachStateHasItsFace) {
    for (const TFace& f : {TFace{"raised up", false, true, false, false, false, true, 2, 2, 21, 20},
                           TFace{"raised down", false, true, true, false, false, true, 2, 2, 21, 20},
                           TFace{"flat transparent", true, true, false, false, false, true, 1, 1, 22, 21},
                           TFace{"flat opaque", true, false, false, false, false, true, 1, 1, 22, 21},
                           TFace{"flat hot", true, true, false, false, true, true, 1, 1, 22, 21},
                           TFace{"latched", false, true, false, true, false, true, 2, 2, 21, 20},
                           TFace{"disabled", false, true, false, false, false, false, 2, 2, 21, 20}}) {
        TwwComboButton* button = NewButton();
        button->SetGlyph(Strip(1, 10).get());
        button->SetFlat(f.Flat);
        button->SetTransparent(f.Transparent);
        if (f.Exclusive) {
            button->SetGroupIndex(5);
            button->SetDown(true);
        }
        if (f.Down) Press(button, 5, 5);
        if (f.Hot) button->Perform(CM_MOUSEENTER);
        button->SetEnabled(f.Enabled);
        Form->SetColor(f.Flat && f.Transparent ? clTeal : clBtnFace);
        const TSurface s = Shown(button);
        const bool pressed = f.Down || f.Exclusive;
        const int faceWidth = f.FaceRight - f.FaceLeft, faceHeight = f.FaceBottom - f.FaceTop;
        const int glyphX = f.FaceLeft + (faceWidth - 10 + 1) / 2 + (pressed ? 1 : 0);
        const int glyphY = f.FaceTop + (faceHeight - 10 + 1) / 2 + (pressed ? 1 : 0);
        const uint32_t back = Px(f.Flat && f.Transparent ? clTeal : clBtnFace);
        for (int y = f.FaceTop; y < f.FaceBottom; ++y)
            for (int x = f.FaceLeft; x < f.FaceRight; ++x) {
                const bool square = x >= glyphX + 2 && x < glyphX + 8 && y >= glyphY + 2 && y < glyphY + 8;
                uint32_t expected = back;
                // The checker of a latched button lies on the form's pixel grid.
                if (f.Exclusive)
                    expected = (button->Left() + x) % 2 == (button->Top() + y) % 2 ? Px(clBtnHighlight)
                                                                                   : Px(clBtnFace);
                if (square) expected = Px(clBlack);
                if (!f.Enabled) {
                    // Embossed: the square in the shadow, its copy one pixel
                    // down and right in the highlight under it.
                    const bool copy = x >= glyphX + 3 && x < glyphX + 9 && y >= glyphY + 3 && y < glyphY + 9;
                    expected = square ? Px(clBtnShadow) : copy ? Px(clBtnHighlight) : back;
                }
                ASSERT_EQ(s.GetPixel(x, y), expected) << f.Name << " at " << x << "," << y;
            }
        // The edge: a push button's frame raised or pressed, a flat button's
        // edge only while hot, nothing at all on a transparent flat one.
        const uint32_t corner = s.GetPixel(0, 0);
        if (!f.Flat) EXPECT_EQ(corner, pressed ? Px(clBtnShadow) : Px(cl3DLight)) << f.Name;
        else if (f.Hot) EXPECT_EQ(corner, Px(clBtnHighlight)) << f.Name;
        else EXPECT_EQ(corner, back) << f.Name;
        if (f.Down) Release(button, 50, 50);
        button->Free();
    }
}

TEST_F(ComboButtonTest, RightToLeftTextPutsALeftGlyphOnTheRight) {
    TwwComboButton* button = NewButton();
    button->SetGlyph(Strip(1, 10).get());
    TBitmap face(60, 20);
    face.Canvas()->Brush()->SetColor(clWhite);
    face.Canvas()->FillRect(TRect(0, 0, 60, 20));
    button->GlyphObject()->PaintContents(face.Canvas(), TRect(0, 0, 60, 20), TPoint(0, 0), "", blGlyphLeft, 2,
                                         4, bsUp, true, DT_RIGHT);
    EXPECT_EQ(face.Canvas()->Pixel(60 - 2 - 5, 10), clBlack) << "the glyph two pixels from the right";
    EXPECT_EQ(face.Canvas()->Pixel(2 + 5, 10), clWhite);
}
