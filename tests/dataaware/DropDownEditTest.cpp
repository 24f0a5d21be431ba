// The drop-down edit base: where its button sits, the keys and the click
// that open and close it, the button's width and glyph.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "LibraryTestSupport.h"
#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwdotdot.h"
#include "platform/classes/Properties.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/UiDriver.h"

namespace {

class DropDownEdit : public ::testing::Test {
protected:
    TLibraryScope Library;
    TUiDriver& Ui = static_cast<TUiDriver&>(CurrentDisplay());
    TForm* Dialog = TForm::CreateNew(Application);
    TwwDBCustomCombo* Combo = NewComponent<TwwDBCustomCombo>(Dialog);
    int Runs = 0;
    bool DroppedInside = false;

    DropDownEdit() {
        Dialog->SetBounds(50, 50, 300, 200);
        Combo->SetParent(Dialog);
        Combo->SetBounds(10, 10, 120, 24);
        Combo->OnDropDownAction = [this](TObject*) {
            ++Runs;
            DroppedInside = Combo->IsDroppedDown();
        };
        Dialog->Show();
        Combo->SetFocus();
        Ui.RunUntilIdle();
    }
    ~DropDownEdit() override { Dialog->Free(); }
    void Keys(std::string_view Script) {
        PlayKeys(Ui, Script);
        Ui.RunUntilIdle();
    }
    static int AutoWidth() { return std::max(GetSystemMetrics(SM_CXVSCROLL), 15); }
};

TEST_F(DropDownEdit, TheButtonSitsAtTheRightEdgeInsideBorderAndFrame) {
    struct TCase {
        bool Frame, Border;
        int Inset;  // from the top
    };
    for (const TCase& c :
         {TCase{false, true, 0}, TCase{true, true, 2}, TCase{false, false, 0}, TCase{true, false, 2}}) {
        Combo->Frame()->SetEnabled(c.Frame);
        Combo->SetBorderStyle(c.Border ? bsSingle : bsNone);
        Combo->SetBounds(10, 10, 120, 24);
        Combo->LayoutButton();
        const int bw = AutoWidth();
        const TRect holder = Combo->ButtonHolder()->BoundsRect();
        const int right = c.Border ? Combo->Width() - 4 : Combo->Width() - c.Inset;
        const int height = c.Border ? Combo->ClientHeight() - c.Inset : Combo->ClientHeight() - 2 * c.Inset;
        EXPECT_EQ(holder, TRect(right - bw, c.Inset, right, c.Inset + height)) << c.Frame << c.Border;
        EXPECT_EQ(Combo->Button()->Width(), bw);
        EXPECT_EQ(Combo->Button()->Top(), c.Border ? 0 : -1);
        EXPECT_EQ(Combo->GetButtonLeft(), holder.Left - 1);
    }
}

// The text ends short of the button, or of the client's right edge without
// one; a frame takes its own right margin off that as well.
TEST_F(DropDownEdit, TheTextEndsBeforeTheButtonAndTheFramesRightMargin) {
    struct TCase {
        bool Frame;
        TwwEditFocusStyle Style;
        bool Button;
        int Left, Top, RightMargin;
    };
    for (const TCase& c :
         {TCase{false, efsFrameBox, true, 0, 0, 0}, TCase{false, efsFrameBox, false, 0, 0, 0},
          TCase{true, efsFrameBox, true, 2, 2, 1}, TCase{true, efsFrameSunken, true, 3, 3, 2},
          TCase{true, efsFrameSunken, false, 3, 3, 2}, TCase{true, efsFrameSingle, true, 2, 2, 0}}) {
        Combo->Frame()->SetEnabled(c.Frame);
        Combo->Frame()->SetFocusStyle(c.Style);
        Combo->SetShowButton(c.Button);
        Combo->LayoutButton();
        TRect r;
        Combo->Perform(EM_GETRECT, 0, PointerToLParam(&r));
        const int right = c.Button ? Combo->ButtonHolder()->Left() - 2 : Combo->ClientWidth() - 2;
        EXPECT_EQ(r, TRect(c.Left, c.Top, right - c.RightMargin, Combo->ClientHeight() + 1))
            << c.Frame << " " << c.Style << " " << c.Button;
    }
}

TEST_F(DropDownEdit, F4AndAltArrowsRunTheDropDown) {
    struct TStep {
        const char* Keys;
        int Runs;
    };
    for (const TStep& s : {TStep{"{F4}", 1}, TStep{"{A+Down}", 2}, TStep{"{A+Up}", 3}, TStep{"{Down}", 3}}) {
        Keys(s.Keys);
        EXPECT_EQ(Runs, s.Runs) << s.Keys;
    }
    EXPECT_TRUE(DroppedInside);
    EXPECT_FALSE(Combo->IsDroppedDown());
    EXPECT_FALSE(Combo->DropDownRunning());
}

TEST_F(DropDownEdit, AClickOnTheButtonRunsTheDropDown) {
    Ui.Click(Combo->Button());
    Ui.RunUntilIdle();
    EXPECT_EQ(Runs, 1);
    EXPECT_TRUE(Combo->Focused());
}

TEST_F(DropDownEdit, AnErrorOfTheDropDownLeavesItNotRunning) {
    Combo->OnDropDownAction = [](TObject*) { throw Exception("no"); };
    EXPECT_THROW(Combo->DropDown(), Exception);
    EXPECT_FALSE(Combo->IsDroppedDown());
}

TEST_F(DropDownEdit, ButtonWidthZeroIsTheAutomaticWidth) {
    Combo->SetButtonWidth(30);
    EXPECT_EQ(Combo->Button()->Width(), 30);
    EXPECT_EQ(Combo->ButtonHolder()->Width(), 30);
    Combo->SetButtonWidth(0);
    EXPECT_EQ(Combo->Button()->Width(), AutoWidth());
    Combo->SetShowButton(false);
    EXPECT_FALSE(Combo->ButtonHolder()->Visible());
}

TEST_F(DropDownEdit, AFlatArrowButtonTakesTheDropDownGlyph) {
    Combo->SetButtonStyle(cbsDownArrow);
    EXPECT_TRUE(Combo->ButtonGlyph()->Empty());
    Combo->ButtonEffects()->SetFlat(true);
    ASSERT_FALSE(Combo->ButtonGlyph()->Empty());
    EXPECT_EQ(Combo->ButtonGlyph()->Width(), 10);
    EXPECT_EQ(Combo->ButtonGlyph()->Height(), 8);
    // A black triangle pointing down, 7, 5, 3 and 1 pixels wide, centred on the fifth column.
    const TSurface& glyph = Combo->ButtonGlyph()->Surface();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const int width = y >= 2 && y <= 5 ? 7 - 2 * (y - 2) : 0;
            const bool black = width > 0 && std::abs(x - 4) <= width / 2;
            EXPECT_EQ(glyph.GetPixel(x, y) == 0, black) << x << "," << y;
        }
}

TEST_F(DropDownEdit, TheGlyphIsStoredOnlyForACustomButton) {
    auto* combo = NewComponent<TwwDBComboBox>(Dialog);
    EXPECT_EQ(combo->ButtonStyle(), cbsDownArrow);
    EXPECT_FALSE(IsStoredProp(combo, "ButtonGlyph"));
    combo->SetButtonStyle(cbsCustom);
    EXPECT_TRUE(IsStoredProp(combo, "ButtonGlyph"));
}

}  // namespace
