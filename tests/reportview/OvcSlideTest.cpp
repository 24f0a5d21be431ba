// The slider: positions in multiples of the step, the thumb and the marks by
// formula (and no division by zero for a short bar or an empty range), the
// range errors, and the keys, wheel and dragging that move it.
#include <gtest/gtest.h>

#include <cmath>

#include "OvcTestSupport.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcSlide.h"

namespace {

using G = TOvcSliderGeometry;

TEST(OvcSliderGeometry, ThumbLengthsAndOffsets) {
    struct Case {
        int L, T;
    } lengths[] = {{150, 13}, {146, 11}, {100, 9}, {50, 7}, {8, 7}, {5, 5}, {0, 0}};
    for (const Case& c : lengths) EXPECT_EQ(G::ThumbLength(c.L), c.T) << c.L;
    EXPECT_EQ(G::ThumbOffset(0, 0, 10, 150, 13), 0);
    EXPECT_EQ(G::ThumbOffset(10, 0, 10, 150, 13), 136);
    EXPECT_EQ(G::ThumbOffset(5, 0, 10, 150, 13), 68);
    // Short bars and an empty range divide by nothing and keep the thumb inside.
    for (int l : {0, 5, 7, 8})
        for (double pos : {0.0, 5.0, 10.0}) {
            int t = G::ThumbLength(l);
            int d = G::ThumbOffset(pos, 0, 10, l, t);
            EXPECT_GE(d, 0) << l;
            EXPECT_LE(d + t, l) << l;
            EXPECT_EQ(G::DragPosition(3, 0, 10, 1, l, t), 0) << l;
        }
    EXPECT_EQ(G::ThumbOffset(3, 3, 3, 150, 13), 0);
    EXPECT_EQ(G::DragPosition(50, 3, 3, 1, 150, 13), 3);
    EXPECT_TRUE(G::Marks(3, 3, 1, 150, 13, 5).empty());
    // Dragging: the leading edge clamps to the bar.
    EXPECT_EQ(G::DragPosition(-20, 0, 10, 1, 150, 13), 0);
    EXPECT_EQ(G::DragPosition(500, 0, 10, 1, 150, 13), 10);
    EXPECT_EQ(G::DragPosition(68, 0, 10, 0.5, 150, 13), 5);
}

TEST(OvcSliderGeometry, MarksPerStepOrEveryMinimumSpacing) {
    std::vector<int> perStep = G::Marks(0, 10, 1, 150, 13, 5);
    ASSERT_EQ(perStep.size(), 11u);
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(perStep[size_t(i)], int(std::nearbyint(i / 10.0 * 136)) + 6) << i;
    // 1,000 steps do not fit 150 pixels: a mark every 5 pixels from half the thumb.
    std::vector<int> spaced = G::Marks(0, 1000, 1, 150, 13, 5);
    ASSERT_EQ(spaced.size(), size_t((150 - 6) / 5));
    EXPECT_EQ(spaced[0], 6);
    EXPECT_EQ(spaced[1], 11);
    EXPECT_EQ(spaced.back(), 6 + 5 * (int(spaced.size()) - 1));
}

class OvcSlider : public OvcFormTest {
protected:
    OvcSlider() {
        F = NewPlainForm("F", 300, 100);
        S = NewComponent<TOvcSlider>(F);
        S->SetParent(F);
        S->SetBorderStyle(bsNone);
        F->Show();
        Ui.RunUntilIdle();
    }
    TForm* F;
    TOvcSlider* S;
};

TEST_F(OvcSlider, PositionsAreMultiplesOfTheStep) {
    int changes = 0;
    S->OnChange = [&](TObject*) { ++changes; };
    S->SetStep(0.5);
    S->SetPosition(1.3);
    EXPECT_EQ(S->Position(), 1.5);
    S->SetRangeLo(1);
    S->SetStep(3);
    S->SetPosition(2);
    EXPECT_EQ(S->Position(), 3) << "multiples of the step, not of the step from Min";
    S->SetPosition(50);
    EXPECT_EQ(S->Position(), 10) << "clamped to Max";
    S->SetMinMarkSpacing(0);
    S->SetMinMarkSpacing(-3);
    EXPECT_EQ(S->MinMarkSpacing(), 5) << "a spacing below 1 is ignored";
    S->SetMinMarkSpacing(8);
    EXPECT_EQ(S->MinMarkSpacing(), 8);
    S->SetStep(1);
    S->SetPosition(50);
    EXPECT_EQ(S->Position(), 10);
    EXPECT_EQ(changes, 4);
    S->SetStep(0);
    EXPECT_EQ(S->Step(), 1);
    std::vector<std::function<void()>> refused{[&] { S->SetRangeHi(1); }, [&] { S->SetRangeLo(10); }};
    for (auto& call : refused) {
        try {
            call();
            ADD_FAILURE();
        } catch (const EOvcException& e) {
            EXPECT_EQ(e.Message(), "Invalid value - Maximum must always be greater than Minimum");
        }
    }
    EXPECT_EQ(S->Min(), 1);
    EXPECT_EQ(S->Max(), 10);
    S->SetOrientation(TOvcSliderOrientation::soVertical);
    EXPECT_EQ(S->Width(), 20);
    EXPECT_EQ(S->Height(), 150);
}

TEST_F(OvcSlider, KeysWheelAndDragging) {
    S->SetFocus();
    Ui.Key(VK_RIGHT);
    Ui.Key(VK_RIGHT);
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 2);
    Ui.Key(VK_LEFT);
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 1);
    Ui.Key(VK_UP);
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 1) << "up moves a vertical slider only";
    Ui.Key(VK_END);
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 10);
    Ui.Key(VK_RIGHT, {ssShift});
    Ui.Key(VK_HOME);
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 0);
    Ui.Type("++-+");
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 2);
    SendMessage(S->Handle(), WM_MOUSEWHEEL, MakeWParam(0, -120), 0);
    EXPECT_EQ(S->Position(), 1);
    SendMessage(S->Handle(), WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
    EXPECT_EQ(S->Position(), 2);

    // The thumb at position 2 of 0..10 on a 150-pixel bar: x from 27 to 40.
    Ui.RunUntilIdle();
    EXPECT_EQ(S->ThumbRect(), TRect(27, 10, 40, 20));
    SendMessage(S->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(30, 15));
    EXPECT_TRUE(S->Dragging());
    SendMessage(S->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(30 + 68 - 27, 15));
    EXPECT_EQ(S->Position(), 5) << "leading edge at 68";
    SendMessage(S->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(400, 15));
    EXPECT_EQ(S->Position(), 10);
    SendMessage(S->Handle(), WM_LBUTTONUP, 0, MakeLParam(400, 15));
    EXPECT_FALSE(S->Dragging());
    // A press beside the thumb moves one step towards the press.
    Ui.Click(S, TPoint(5, 15));
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Position(), 9);
}

TEST_F(OvcSlider, ThumbAndMarksAreDrawnWhereTheFormulasPutThem) {
    S->SetMarkColor(clRed);
    S->SetPosition(5);
    Ui.RunUntilIdle();
    // 150 x 20: thumb 13 wide at x = 68, from y = 10; the grip from its top to its middle.
    EXPECT_EQ(PixelAt(F, 68 + 6, 11), 0xFF0000u) << "grip";
    EXPECT_EQ(PixelAt(F, 68 + 6, 16), Rgb(clBtnFace)) << "below the grip the face";
    EXPECT_EQ(PixelAt(F, 60, 15), Rgb(clWindow));
    for (int i = 0; i <= 10; ++i) {
        int x = int(std::nearbyint(i / 10.0 * 136)) + 6;
        EXPECT_EQ(PixelAt(F, x, 0), 0xFF0000u) << "mark " << i;
        EXPECT_EQ(PixelAt(F, x, 5), Rgb(clWindow)) << "marks reach a quarter of the height";
    }
    // A bar of 6 pixels paints and its thumb stays inside.
    S->SetBounds(0, 0, 6, 20);
    Ui.RunUntilIdle();
    EXPECT_EQ(S->ThumbRect(), TRect(0, 10, 6, 20));
}

}  // namespace
