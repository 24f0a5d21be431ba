// The bitmap with effects: its pixel layout, sizing, copies and drawing, and
// each effect against the value its formula gives.
#include <gtest/gtest.h>

#include "dataaware/wwbitmap.h"
#include "platform/rtl/Streams.h"

namespace {

// A picture of one colour.
std::unique_ptr<TwwBitmap> Filled(int Width, int Height, TwwPixel24 Pixel) {
    auto bitmap = std::make_unique<TwwBitmap>();
    bitmap->SetSize(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) bitmap->Pixel(x, y) = Pixel;
    return bitmap;
}

TwwPixel24 Grey(uint8_t V) { return {V, V, V}; }

// Every pixel different: blue = x, green = y, red = 10x + y.
std::unique_ptr<TwwBitmap> Numbered(int Width, int Height) {
    auto bitmap = std::make_unique<TwwBitmap>();
    bitmap->SetSize(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            bitmap->Pixel(x, y) = {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                   static_cast<uint8_t>(10 * x + y)};
    return bitmap;
}

}  // namespace

TEST(WwBitmap, RowsArePaddedToFourBytes) {
    TwwBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(5, 3);
    EXPECT_EQ(bitmap.RowStride(), 16);
    EXPECT_EQ(bitmap.ImageSize(), 48);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(bitmap.Row(1)) - reinterpret_cast<uint8_t*>(bitmap.Row(0)), 16);
    EXPECT_EQ(bitmap.Pixel(4, 2), Grey(255)) << "a new picture is white";
    bitmap.SetSize(0, 3);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(WwBitmap, SettingTheSameSizeKeepsThePixelsAndHeightKeepsTheWidth) {
    auto bitmap = Filled(4, 4, Grey(9));
    bitmap->SetDimensions(4, 4);
    EXPECT_EQ(bitmap->Pixel(3, 3), Grey(9));
    bitmap->SetHeight(7);
    EXPECT_EQ(bitmap->Width(), 4);
    EXPECT_EQ(bitmap->Height(), 7);
    EXPECT_EQ(bitmap->Pixel(3, 3), Grey(255));
}

TEST(WwBitmap, ColoursGoIntoTheirOwnBytes) {
    TwwPixel24 p;
    ColorToBGR(static_cast<TColor>(0x00332211), p);  // blue 0x33, green 0x22, red 0x11
    EXPECT_EQ(p.Red, 0x11);
    EXPECT_EQ(p.Green, 0x22);
    EXPECT_EQ(p.Blue, 0x33);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&p)[0], 0x33) << "blue first";
}

TEST(WwBitmap, ChannelEffectsFollowTheirTables) {
    struct TChannel {
        const char* Name;
        void (*Apply)(TwwBitmap&);
        uint8_t In, Out;
    };
    for (const TChannel& c :
         {TChannel{"Lighten 64", [](TwwBitmap& B) { B.Lighten(64); }, 0, 63},
          TChannel{"Lighten 64", [](TwwBitmap& B) { B.Lighten(64); }, 255, 255},
          TChannel{"Lighten -64", [](TwwBitmap& B) { B.Lighten(-64); }, 200, 150},
          TChannel{"Contrast 100", [](TwwBitmap& B) { B.Contrast(100); }, 128, 128},
          TChannel{"Contrast 256", [](TwwBitmap& B) { B.Contrast(256); }, 0, 0},
          TChannel{"Contrast 256", [](TwwBitmap& B) { B.Contrast(256); }, 200, 255},
          TChannel{"GrayScale", [](TwwBitmap& B) { B.GrayScale(); }, 255, 255},
          TChannel{"GrayScale", [](TwwBitmap& B) { B.GrayScale(); }, 2, 0},
          TChannel{"Invert", [](TwwBitmap& B) { B.Invert(); }, 55, 200},
          TChannel{"Tint 255", [](TwwBitmap& B) { B.TintChannels(255, 255, 255); }, 100, 99},
          TChannel{"Saturation 256", [](TwwBitmap& B) { B.Saturation(256); }, 90, 90},
          TChannel{"AddToChannels", [](TwwBitmap& B) { B.AddToChannels(10, 10, 10); }, 250, 255},
          TChannel{"Blur 0", [](TwwBitmap& B) { B.Blur(0); }, 77, 77},
          TChannel{"Sharpen 1", [](TwwBitmap& B) { B.Sharpen(1); }, 77, 77},
          TChannel{"Emboss", [](TwwBitmap& B) { B.Emboss(); }, 100, 127}}) {
        auto bitmap = Filled(3, 3, Grey(c.In));
        c.Apply(*bitmap);
        EXPECT_EQ(bitmap->Pixel(1, 1), Grey(c.Out)) << c.Name << " of " << int(c.In);
    }
}

TEST(WwBitmap, SaturationMovesTowardsOrAwayFromGrey) {
    auto bitmap = Filled(1, 1, {30, 60, 210});  // blue, green, red
    bitmap->Saturation(0);
    // Grey = 210 div 3 + 60 div 3 + 30 div 3 = 100; no colour left.
    EXPECT_EQ(bitmap->Pixel(0, 0), Grey(100));
    auto stronger = Filled(1, 1, {30, 60, 210});
    stronger->Saturation(512);
    EXPECT_EQ(stronger->Pixel(0, 0), (TwwPixel24{0, 20, 255}));
}

TEST(WwBitmap, TintingLeavesTheTransparentColour) {
    auto bitmap = Filled(2, 1, Grey(100));
    bitmap->Pixel(1, 0) = {0, 0xFF, 0};
    bitmap->SetTransparentColor(clLime);
    bitmap->TintChannels(255, 0, 0);
    EXPECT_EQ(bitmap->Pixel(0, 0), (TwwPixel24{0, 0, 99}));
    EXPECT_EQ(bitmap->Pixel(1, 0), (TwwPixel24{0, 0xFF, 0}));
}

TEST(WwBitmap, FlipsSwapRowsAndColumns) {
    auto row = Numbered(3, 1);
    row->Flip(true);
    EXPECT_EQ(row->Pixel(0, 0).Blue, 2);
    EXPECT_EQ(row->Pixel(1, 0).Blue, 1) << "the middle stays";
    EXPECT_EQ(row->Pixel(2, 0).Blue, 0);
    auto rows = Numbered(1, 4);
    rows->Flip(false);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(rows->Pixel(0, y).Green, 3 - y);
}

TEST(WwBitmap, RotationsTurnAboutTheMiddle) {
    auto same = Numbered(4, 4);
    same->Rotate(TPoint(-1, -1), 0);
    auto half = Numbered(4, 4);
    half->Rotate(TPoint(-1, -1), 180);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(same->Pixel(x, y), Numbered(4, 4)->Pixel(x, y)) << x << "," << y;
            EXPECT_EQ(half->Pixel(x, y), Numbered(4, 4)->Pixel(3 - x, 3 - y)) << x << "," << y;
        }
}

TEST(WwBitmap, BlurReadsTheDiagonalsAlreadyBlurred) {
    auto bitmap = Filled(3, 1, Grey(0));
    bitmap->Pixel(2, 0) = Grey(200);
    bitmap->Blur(1);
    // (0,0): its four diagonals clamped are (1,0) twice and (0,0) twice: 0.
    // (1,0): (2,0) twice and (0,0) twice: 100. (2,0): (2,0) twice and the
    // blurred (1,0) twice: 150.
    EXPECT_EQ(bitmap->Pixel(0, 0), Grey(0));
    EXPECT_EQ(bitmap->Pixel(1, 0), Grey(100));
    EXPECT_EQ(bitmap->Pixel(2, 0), Grey(150));
}

TEST(WwBitmap, NarrowPicturesEmbossAndStretchWithinThemselves) {
    auto column = Numbered(1, 3);
    column->Emboss();
    auto line = Numbered(3, 1);
    line->Emboss();
    EXPECT_EQ(line->Pixel(0, 0).Blue, (0 + 255 - 1) >> 1) << "the saved copy's second pixel";
    auto single = Numbered(1, 2);
    single->SetSmoothStretching(true);
    TBitmap target(5, 6);
    target.Canvas()->StretchDraw(TRect(0, 0, 5, 6), single.get());
    EXPECT_EQ(target.Canvas()->Pixel(4, 0), static_cast<TColor>(0x000000)) << "column 0, row 0: all zero";
}

TEST(WwBitmap, MasksAndReplacementsWorkOnExactPixels) {
    auto bitmap = Numbered(2, 2);
    const TwwPixel24 key = bitmap->Pixel(1, 0);
    bitmap->ReplaceColor(key, Grey(7));
    EXPECT_EQ(bitmap->Pixel(1, 0), Grey(7));
    bitmap->MaskFromColor(Grey(7));
    EXPECT_EQ(bitmap->Pixel(1, 0), Grey(0));
    EXPECT_EQ(bitmap->Pixel(0, 1), Grey(255));
}

TEST(WwBitmap, UndoGivesBackThePicture) {
    auto bitmap = Numbered(5, 3);
    bitmap->SaveUndo();
    EXPECT_TRUE(bitmap->Empty());
    bitmap->RestoreUndo();
    ASSERT_EQ(bitmap->Width(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(bitmap->Pixel(x, y), Numbered(5, 3)->Pixel(x, y));
    EXPECT_FALSE(bitmap->HasUndo());
}

TEST(WwBitmap, CopiesAndStreamsKeepThePixels) {
    auto source = Numbered(6, 4);
    TBitmap plain;
    plain.Assign(source.get());
    TwwBitmap back;
    back.Assign(&plain);
    TwwBitmap copy;
    copy.Assign(source.get());
    TMemoryStream stream;
    source->SaveToStream(stream);
    stream.SetPosition(0);
    TwwBitmap loaded;
    loaded.LoadFromStream(stream);
    for (const TwwBitmap* b : {&back, &copy, &loaded}) {
        ASSERT_EQ(b->Width(), 6);
        ASSERT_EQ(b->Height(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(b->Pixel(x, y), source->Pixel(x, y)) << x << "," << y;
    }
}

TEST(WwBitmap, DrawingTransparentlyLeavesTheKeyColoursPlace) {
    auto bitmap = Filled(4, 4, {0, 0xFF, 0});  // lime
    bitmap->Pixel(1, 1) = Grey(0);
    bitmap->SetTransparent(true);
    TBitmap target(4, 4);
    target.Canvas()->Brush()->SetColor(clNavy);
    target.Canvas()->FillRect(TRect(0, 0, 4, 4));
    target.Canvas()->Draw(0, 0, bitmap.get());
    EXPECT_EQ(target.Canvas()->Pixel(1, 1), clBlack);
    EXPECT_EQ(target.Canvas()->Pixel(2, 2), clNavy)
        << "the top-left pixel's colour lets the background through";
}

TEST(WwBitmap, ListenersHearOfChanges) {
    struct TCount : TwwBitmapListener {
        int Heard = 0;
        void Change() override { ++Heard; }
    } listener;
    TwwBitmap bitmap;
    bitmap.AddListener(&listener);
    bitmap.SetSize(2, 2);
    EXPECT_EQ(listener.Heard, 1);
    EXPECT_EQ(listener.Sender, &bitmap);
    bitmap.Invert();
    EXPECT_EQ(listener.Heard, 1) << "effects do not call Changed";
    bitmap.RemoveListener(&listener);
    bitmap.SetSize(3, 3);
    EXPECT_EQ(listener.Heard, 1);
}

TEST(WwBitmap, WavesAndNoiseOfNoStrengthChangeNothing) {
    auto waved = Numbered(5, 4);
    waved->Wave(false, 3, 2, 0);
    auto wrapped = Numbered(5, 4);
    wrapped->Wave(true, 3, 2, 0);
    auto noisy = Numbered(5, 4);
    noisy->AddNoise(0);
    auto untouched = Numbered(5, 4);
    untouched->Wave(false, 0, 2, 7);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            for (const TwwBitmap* b : {waved.get(), wrapped.get(), noisy.get(), untouched.get()})
                EXPECT_EQ(b->Pixel(x, y), Numbered(5, 4)->Pixel(x, y)) << x << "," << y;
    // Without wrapping, what comes from beyond the picture is white.
    auto shifted = Numbered(5, 4);
    shifted->Wave(false, 1000000, 1, 2);
    EXPECT_EQ(shifted->Pixel(4, 1), Grey(255)) << "row 1 reads two columns further right";
    EXPECT_EQ(shifted->Pixel(0, 1), Numbered(5, 4)->Pixel(2, 1));
}
