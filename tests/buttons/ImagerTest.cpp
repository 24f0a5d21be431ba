// The imager: its chain of effects in its fixed order, held back while
// updating, the room made for a turn, and the links that follow it.
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "buttons/fcImager.h"
#include "platform/sys/Clipboard.h"

namespace {

std::vector<TfcPixel> Pixels(const TfcBitmap& B) {
    std::vector<TfcPixel> Out;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x) Out.push_back(B.Pixel(x, y));
    return Out;
}

struct Imagers : ButtonsTest {
    TForm* Form = NewForm(200, 200);
    TfcCustomImager* Imager = NewComponent<TfcCustomImager>(Form);
    // A 6 by 4 picture of distinct colours.
    TBitmap Picture{6, 4};
    Imagers() {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                Picture.Canvas()->SetPixel(x, y, RGB(30 * x, 50 * y + 20, 200 - 20 * x));
    }
};

TEST_F(Imagers, WithItsFirstSettingsTheResultIsThePicture) {
    Imager->Picture()->SetGraphic(&Picture);
    TfcBitmap* R = Imager->WorkBitmap();
    ASSERT_EQ(R->Width(), 6);
    TfcBitmap Want;
    Want.Assign(&Picture);
    EXPECT_EQ(Pixels(*R), Pixels(Want));
    Imager->BitmapOptions()->SetIntOption(1, 0);  // Saturation 0: grey
    for (TfcPixel P : Pixels(*R)) EXPECT_TRUE(P.Red == P.Green && P.Green == P.Blue);
    Imager->BitmapOptions()->SetIntOption(1, -1);  // off again
    EXPECT_EQ(Pixels(*R), Pixels(Want));
}

TEST_F(Imagers, TheEffectsRunInTheirFixedOrder) {
    Imager->Picture()->SetGraphic(&Picture);
    TfcBitmapOptions* O = Imager->BitmapOptions();
    // Set in another order than they run.
    O->SetBoolOption(1, true);  // Inverted
    O->SetColor(RGB(250, 150, 192));
    O->SetIntOption(0, 60);     // Lightness
    O->SetBoolOption(2, true);  // GrayScale
    O->SetTintColor(RGB(40, 20, 0));
    O->SetBoolOption(3, true);  // HorizontallyFlipped
    TfcBitmap Want;
    Want.Assign(&Picture);
    Want.GrayScale();
    Want.Lightness(60);
    Want.Colorize(250, 150, 192);
    Want.AddRGB(20, 10, 0);
    Want.Invert();
    Want.Flip(true);
    EXPECT_EQ(Pixels(*Imager->WorkBitmap()), Pixels(Want));
    // Wave only with ratio and both divisors.
    O->Wave()->SetRatio(2);
    O->Wave()->SetXDiv(3);
    EXPECT_EQ(Pixels(*Imager->WorkBitmap()), Pixels(Want));
    O->Wave()->SetYDiv(3);
    Want.Wave(false, 2, 3, 3);
    EXPECT_EQ(Pixels(*Imager->WorkBitmap()), Pixels(Want));
}

TEST_F(Imagers, UpdatesAreHeldBackUntilTheMatchingEnd) {
    Imager->Picture()->SetGraphic(&Picture);
    int Changes = 0;
    TfcChangeLink Link;
    Link.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Imager->WorkBitmap());
        ++Changes;
    };
    Imager->AddChangeLink(&Link);
    TfcBitmapOptions* O = Imager->BitmapOptions();
    O->BeginUpdate();
    O->BeginUpdate();
    O->SetBoolOption(1, true);
    O->SetIntOption(4, 80);
    O->EndUpdate();
    EXPECT_EQ(Changes, 0) << "still held by the outer update";
    O->EndUpdate();
    EXPECT_EQ(Changes, 1) << "applied once at the end";
    TfcBitmap Want;
    Want.Assign(&Picture);
    Want.Invert();
    Want.Contrast(80);
    EXPECT_EQ(Pixels(*Imager->WorkBitmap()), Pixels(Want));
    O->SetBoolOption(1, false);
    EXPECT_EQ(Changes, 2) << "the options apply again after the update";
    O->EndUpdate();
    EXPECT_EQ(O->UpdateLock(), 0);
    Imager->RemoveChangeLink(&Link);
}

TEST_F(Imagers, ATurnGetsASquareWithThePictureInItsMiddle) {
    TBitmap Wide(100, 50);
    Wide.Canvas()->Brush()->SetColor(clGreen);
    Wide.Canvas()->FillRect(TRect(0, 0, 100, 50));
    Wide.Canvas()->SetPixel(0, 0, clFuchsia);
    Imager->BitmapOptions()->Rotation()->SetAngle(90);
    Imager->Picture()->SetGraphic(&Wide);
    TfcBitmap* R = Imager->WorkBitmap();
    ASSERT_EQ(R->Width(), 100);
    ASSERT_EQ(R->Height(), 100);
    // The picture stands in rows 25..74 of the square, the rest in its
    // top-left colour; turned a quarter, dest (x, y) is src (y, 99 - x).
    const TfcPixel Fill = fcColorToPixel(clFuchsia), Green = fcColorToPixel(clGreen);
    EXPECT_EQ(R->Pixel(0, 0), Fill);
    EXPECT_EQ(R->Pixel(99, 99), Fill);
    EXPECT_EQ(R->Pixel(10, 50), Fill) << "beside the turned picture";
    EXPECT_EQ(R->Pixel(50, 10), Green) << "the turned picture runs from top to bottom";
    EXPECT_EQ(R->Pixel(50, 50), Green);
}

TEST_F(Imagers, AnAlphaBlendOfAnotherSizeIsScaled) {
    Imager->Picture()->SetGraphic(&Picture);
    TfcBitmap Black;
    Black.SetSize(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) Black.SetPixel(x, y, TfcPixel{});
    Imager->BitmapOptions()->AlphaBlend()->SetBitmap(&Black);
    Imager->BitmapOptions()->AlphaBlend()->SetAmount(128);
    TfcBitmap Want;
    Want.Assign(&Picture);
    TfcBitmap Scaled;
    Scaled.SetSize(6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) Scaled.SetPixel(x, y, TfcPixel{});
    Want.AlphaBlend(Scaled, 128, false);
    EXPECT_EQ(Pixels(*Imager->WorkBitmap()), Pixels(Want));
}

TEST_F(Imagers, TheResultGoesToTheClipboardAsABmpFile) {
    Imager->Picture()->SetGraphic(&Picture);
    Imager->CopyToClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    std::vector<uint8_t> Bytes;
    ASSERT_TRUE(ClipboardStore().Get(CF_BITMAP, Bytes));
    ASSERT_GE(Bytes.size(), 2u);
    EXPECT_EQ(Bytes[0], 'B');
    EXPECT_EQ(Bytes[1], 'M');
}

TEST_F(Imagers, ThePaintShowsTheResult) {
    Imager->SetParent(Form);
    Imager->SetBounds(10, 10, 6, 4);
    Imager->Picture()->SetGraphic(&Picture);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, 10 + 5, 10 + 3), PixelOfColor(RGB(150, 170, 100)));
}

}  // namespace
