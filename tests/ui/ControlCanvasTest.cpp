#include <gtest/gtest.h>

#include "FormTestSupport.h"

namespace {

TEST_F(FormTest, AControlCanvasPaintsOnlyWhereItsWindowShows) {
    TForm* F = NewPlainForm("F");
    auto* Under = Make<TTestPanel>(F, F, "Under", Bounds(10, 10, 100, 100));
    Under->SetColor(clRed);
    auto* Over = Make<TTestPanel>(F, F, "Over", Bounds(60, 60, 100, 100));
    Over->SetColor(clBlue);
    F->Show();
    Ui.RunUntilIdle();
    ASSERT_EQ(PixelOf(Ui, F, 80, 80), 0x0000FFu);
    // The lower panel repaints alone; its canvas keeps to what the paint context may touch.
    Under->Invalidate();
    Ui.RunUntilIdle();
    EXPECT_EQ(Under->Paints, 2);
    EXPECT_EQ(Over->Paints, 1);
    EXPECT_EQ(PixelOf(Ui, F, 80, 80), 0x0000FFu);
    EXPECT_EQ(PixelOf(Ui, F, 20, 20), 0xFF0000u);
}

}  // namespace
