// The number edit: where its calculator opens, typing a sum into it that
// comes back as the edit's text, the keys it takes, steps with AllowIncDec,
// its value from text and its button's width.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/rtl/Exceptions.h"
#include "platform/sys/Sound.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcEdClc.h"

namespace {

TEST(OvcPopupPlace, BelowAboveAndPulledLeft) {
    TRect work(0, 0, 800, 600);
    TSize calc{200, 140};
    struct Case {
        TPoint Anchor;
        TPoint At;
    } cases[] = {
        {{100, 120}, {100, 120}},             // room below
        {{100, 500}, {100, 500 - 140 - 21}},  // near the bottom: above the edit
        {{700, 120}, {800 - 200 - 1, 120}},   // near the right edge: pulled left
        {{-3, 120}, {1, 120}},                // never left of the work area
        {{100, 459}, {100, 459}},             // its bottom one above the work area's
        {{100, 460}, {100, 460 - 140 - 21}},  // reaching the bottom: above
        {{599, 120}, {599, 120}},             // its right edge one short of the work area's
        {{600, 120}, {800 - 200 - 1, 120}},   // reaching the right edge: pulled left
        {{0, 120}, {1, 120}},                 // on the left edge: one in
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlacePopup(c.Anchor, calc, 21, work), c.At) << c.Anchor.x << "," << c.Anchor.y;
}

class OvcNumberEdit : public OvcFormTest {
protected:
    OvcNumberEdit() {
        F = NewPlainForm("F", 400, 300);
        NewComponent<TOvcController>(F);
        N = NewComponent<TOvcNumberEdit>(F);
        N->SetName("Number");
        N->SetBounds(20, 20, 120, 21);
        N->SetParent(F);
        Other = NewComponent<TOvcEdit>(F);
        Other->SetBounds(20, 200, 120, 21);
        Other->SetParent(F);
        F->Show();
        Ui.RunUntilIdle();
    }
    void Type(std::string_view Text) {
        Ui.Type(Text);
        Ui.RunUntilIdle();
    }
    TForm* F;
    TOvcNumberEdit* N;
    TOvcEdit* Other;
};

TEST_F(OvcNumberEdit, TheCalculatorOpensBelowAndItsEqualsFillsTheEdit) {
    std::vector<std::string> events;
    N->OnPopupOpen = [&](TObject*) { events.push_back("open"); };
    N->OnPopupClose = [&](TObject*) { events.push_back("close"); };
    N->SetFocus();
    Ui.Click(N->Button());
    Ui.RunUntilIdle();
    TOvcCalculator* calc = N->Calculator();
    ASSERT_TRUE(calc->Visible());
    TPoint expected = N->ClientToScreen(TPoint(-3, N->Height() - 4));
    TRect r;
    GetWindowRect(calc->Handle(), r);
    EXPECT_EQ(TPoint(r.Left, r.Top), expected);
    EXPECT_EQ(FindControl(GetFocus()), calc);
    Type("12+3=");
    EXPECT_FALSE(calc->Visible());
    EXPECT_EQ(N->Text(), "15");
    EXPECT_TRUE(N->Modified());
    EXPECT_EQ(FindControl(GetFocus()), N);
    EXPECT_EQ(N->SelStart(), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"open", "close"}));
    // The edit's value is the first operand the next time.
    Ui.Click(N->Button());
    Ui.RunUntilIdle();
    Type("*2=");
    EXPECT_EQ(N->Text(), "30");
    // Escape closes without a value.
    Ui.Click(N->Button());
    Ui.RunUntilIdle();
    Type("7");
    Ui.Key(VK_ESCAPE);
    Ui.RunUntilIdle();
    EXPECT_FALSE(calc->Visible());
    EXPECT_EQ(N->Text(), "30");
}

// Alt+Down opens the calculator from the edit; Alt+Up and Tab close it, the
// first back into the edit, the second on to the next control.
TEST_F(OvcNumberEdit, AltArrowsAndTabOpenAndCloseTheCalculator) {
    TOvcCalculator* calc = N->Calculator();
    N->SetFocus();
    Ui.RunUntilIdle();
    Ui.Key(VK_DOWN);
    Ui.RunUntilIdle();
    EXPECT_FALSE(calc->Visible()) << "Down alone does not open it";
    Ui.Key(VK_DOWN, {ssAlt});
    Ui.RunUntilIdle();
    ASSERT_TRUE(calc->Visible());
    Ui.Key(VK_UP, {ssAlt});
    Ui.RunUntilIdle();
    EXPECT_FALSE(calc->Visible());
    EXPECT_EQ(FindControl(GetFocus()), N);
    Ui.Key(VK_DOWN, {ssAlt});
    Ui.RunUntilIdle();
    ASSERT_TRUE(calc->Visible());
    // A Tab the calculator's key-down sees closes it and goes on from the edit.
    WORD tab = VK_TAB;
    calc->OnKeyDown(calc, tab, {});
    Ui.RunUntilIdle();
    EXPECT_FALSE(calc->Visible());
    EXPECT_EQ(FindControl(GetFocus()), Other) << "the Tab goes on from the edit";
    // A Tab pressed in the calculator is the form's: the calculator loses the
    // focus and closes, and the edit takes the focus back.
    N->SetFocus();
    Ui.Key(VK_DOWN, {ssAlt});
    Ui.RunUntilIdle();
    ASSERT_TRUE(calc->Visible());
    Ui.Key(VK_TAB);
    Ui.RunUntilIdle();
    EXPECT_FALSE(calc->Visible());
}

TEST_F(OvcNumberEdit, NearTheBottomOpensAboveAndNearTheRightIsPulledLeft) {
    TRect work = Screen->WorkAreaRect();
    F->SetBounds(work.Right - 150, work.Bottom - 80, 150, 80);
    N->SetBounds(10, 10, 120, 21);
    Ui.RunUntilIdle();
    N->SetFocus();
    N->PopupOpen();
    Ui.RunUntilIdle();
    TOvcCalculator* calc = N->Calculator();
    TRect r;
    GetWindowRect(calc->Handle(), r);
    TPoint anchor = N->ClientToScreen(TPoint(-3, N->Height() - 4));
    EXPECT_EQ(r.Top, anchor.y - calc->Height() - N->Height()) << "above the edit";
    EXPECT_EQ(r.Left, work.Right - calc->Width() - 1) << "pulled left";
    N->PopupClose();
}

TEST_F(OvcNumberEdit, KeysStepsAndValues) {
    N->SetFocus();
    Ui.RunUntilIdle();
    TBeepRecorder beeps;
    Type("a");
    EXPECT_EQ(N->Text(), "");
    EXPECT_EQ(beeps.Beeps().size(), 1u);
    N->SetAllowIncDec(true);
    Type("+");
    EXPECT_EQ(N->Text(), "1");
    Type("--");
    EXPECT_EQ(N->Text(), "-1");
    N->SetText("19");
    N->SetSelStart(1);
    N->SetSelLength(1);
    Type("+");
    EXPECT_EQ(N->Text(), "20");
    EXPECT_EQ(N->SelStart(), 1) << "stepping keeps the selection";
    EXPECT_EQ(N->SelLength(), 1);
    N->SetAllowIncDec(false);
    N->SetText("");
    Type("+");
    EXPECT_TRUE(N->Calculator()->Visible()) << "+ opens the calculator";
    EXPECT_EQ(N->Calculator()->Engine()->LastOperation, coAdd) << "with + pressed";
    N->PopupClose();

    N->SetText("");
    EXPECT_THROW(N->GetAsFloat(), EConvertError) << "an empty text raises";
    N->SetText("1.234,5");
    EXPECT_DOUBLE_EQ(N->GetAsFloat(), 1234.5) << "the thousands separator is dropped";
    EXPECT_EQ(N->GetAsInteger(), 1235);

    EXPECT_EQ(N->Button()->Width(), std::max(GetSystemMetrics(SM_CXVSCROLL), 11 + 4));
    TBitmap wide;
    wide.SetSize(30, 11);
    N->SetButtonGlyph(&wide);
    EXPECT_EQ(N->Button()->Width(), 34);
    N->SetShowButton(false);
    EXPECT_EQ(N->Button()->Width(), 0);
    N->SetReadOnly(true);
    EXPECT_FALSE(N->Button()->Enabled());
}

}  // namespace
