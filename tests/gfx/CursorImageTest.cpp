// Cursor files: the program's own hand, read as a picture, a mask and a hot
// spot; anything cut short is refused.
#include <gtest/gtest.h>

#include <vector>

#include "platform/classes/Resources.h"
#include "platform/gfx/CursorImage.h"
#include "platform/gfx/Graphics.h"

namespace {

TEST(CursorImage, TheHandIsAPictureWithItsMaskAndItsHotSpotAtTheFingertip) {
    TCursorImage Hand;
    ASSERT_TRUE(LoadCursorResource("TEE_CURSOR_HAND", Hand));
    EXPECT_EQ(TPoint(Hand.Image.Width(), Hand.Image.Height()), TPoint(32, 32));
    EXPECT_EQ(TPoint(Hand.Mask.Width(), Hand.Mask.Height()), TPoint(32, 32));
    EXPECT_EQ(Hand.HotSpot, TPoint(6, 0));
    EXPECT_EQ(Hand.Mask.GetPixel(6, 0), 0x000000u) << "the fingertip is drawn";
    EXPECT_EQ(Hand.Image.GetPixel(6, 0), 0x000000u) << "in the outline's black";
    EXPECT_EQ(Hand.Mask.GetPixel(6, 3), 0x000000u);
    EXPECT_EQ(Hand.Image.GetPixel(6, 3), 0xFFFFFFu) << "the finger inside is white";
    EXPECT_EQ(Hand.Mask.GetPixel(0, 0), 0xFFFFFFu) << "beside it the screen shows through";
    EXPECT_EQ(Hand.Mask.GetPixel(31, 31), 0xFFFFFFu);
    TCursorImage None;
    EXPECT_FALSE(LoadCursorResource("NO_SUCH_CURSOR", None));
}

TEST(CursorImage, AFileCutShortOrOfAnotherKindIsRefused) {
    TResource Found = LoadResource(rkCursor, "TEE_CURSOR_HAND");
    std::vector<uint8_t> Bytes(Found.Bytes.begin(), Found.Bytes.end());
    for (size_t Length = 0; Length < Bytes.size(); ++Length)
        EXPECT_THROW(ReadCursorFile(std::span<const uint8_t>(Bytes).first(Length)), EInvalidGraphic)
            << Length;
    std::vector<uint8_t> Icon = Bytes;
    Icon[2] = 1;  // an icon, not a cursor
    EXPECT_THROW(ReadCursorFile(Icon), EInvalidGraphic);
    std::vector<uint8_t> Outside = Bytes;
    Outside[10] = 40;  // the hot spot beyond the picture
    EXPECT_THROW(ReadCursorFile(Outside), EInvalidGraphic);
}

}  // namespace
