// A shaped image button in a real X window: clicks the X server delivers
// outside its outline reach the window behind it, clicks inside click it.
#include <gtest/gtest.h>

#include "buttons/fcImgBtn.h"
#include "buttons/fcReg.h"
#include "buttons/fcShapeBtn.h"
#include "platform/backend/Backend.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ui/ScreenTest.h"

namespace {

using X11Display = X11ScreenTest;

TEST_F(X11Display, AShapedImageButtonTakesOnlyTheClicksOnItsPicture) {
    TDisplay& Xd = X();
    RegisterFcClasses();
    {
        TForm* Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(40, 40, 200, 100);
        // Behind: a plain rectangle button over the whole area.
        auto* Behind = NewComponent<TfcShapeBtn>(Form);
        Behind->SetBounds(20, 20, 120, 60);
        Behind->SetParent(Form);
        // In front: a picture of a red 40 by 20 block in white, white being transparent.
        TfcBitmap Picture;
        Picture.SetSize(120, 60);
        for (int y = 20; y < 40; ++y)
            for (int x = 40; x < 80; ++x) Picture.SetPixel(x, y, fcMakePixel(255, 0, 0));
        auto* Front = NewComponent<TfcImageBtn>(Form);
        Front->SetBounds(20, 20, 120, 60);
        Front->SetParent(Form);
        Front->SetImage(&Picture);
        int Fronts = 0, Behinds = 0;
        Front->OnClick = [&](TObject*) { ++Fronts; };
        Behind->OnClick = [&](TObject*) { ++Behinds; };
        Form->Show();
        Application->ProcessMessages();
        UpdateWindow(Form->Handle());
        auto ClickAt = [&](int X, int Y) {
            Clock.Advance(1000);
            ASSERT_TRUE(X11SendButton(Xd, Form->Handle(), true, 1, X, Y));
            ASSERT_TRUE(X11SendButton(Xd, Form->Handle(), false, 1, X, Y));
            Application->ProcessMessages();
        };
        // Client (25, 25) of the buttons: inside the rectangle, outside the picture's block.
        ClickAt(20 + 5, 20 + 5);
        EXPECT_EQ(Behinds, 1);
        EXPECT_EQ(Fronts, 0);
        ClickAt(20 + 60, 20 + 30);
        EXPECT_EQ(Fronts, 1);
        EXPECT_EQ(Behinds, 1);
        uint32_t Pixel = 0;
        ASSERT_TRUE(X11ReadBack(Xd, Form->Handle(), 20 + 60, 20 + 30, Pixel));
        EXPECT_EQ(Pixel, 0xFF0000u) << "the server shows the picture";
        Form->Free();
    }
}

}  // namespace
