// The ruler's marker: its picture from the resources, and the drag in its
// own capture loop, held within its limits.
#include <gtest/gtest.h>

#include "GridFixture.h"
#include "dataaware/wwTrackIcon.h"
#include "platform/gfx/Bitmap.h"
#include "platform/win/Display.h"

namespace {

class TrackIcon : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        Frm = NewPlainForm("Regla", 900, 100);
        Shown = Frm;
        Icon = NewComponent<TwwTrackIcon>(Frm);
        Icon->SetParent(Frm);
        Icon->SetBitmapName("wwRulerUp");
        Icon->SetLeft(100);
        Icon->SetTop(20);
        Icon->OnEndDrag = [this](TObject* Sender) {
            EXPECT_EQ(Sender, Icon);
            ++Ended;
        };
        Frm->Show();
        Idle();
    }
    // A press on the marker, moves by the offsets, and the release.
    void Drag(std::initializer_list<int> Offsets) {
        const TPoint At = Icon->ClientToScreen(TPoint(5, 5));
        InputMouseMove(At);
        InputMouseButton(0, true, At);
        TPoint P = At;
        for (int D : Offsets) {
            P = TPoint(At.x + D, At.y);
            InputMouseMove(P);
        }
        InputMouseButton(0, false, P);
        Idle();
    }
    TForm* Frm = nullptr;
    TwwTrackIcon* Icon = nullptr;
    int Ended = 0;
};

TEST_F(TrackIcon, TakesItsPicturesSizeAndKeepsItForAnEmptyName) {
    EXPECT_EQ(Icon->Width(), 11);
    EXPECT_EQ(Icon->Height(), 11);
    // The bottom-left pixel is the colour the parent shows through.
    EXPECT_EQ(Icon->Bitmap()->Canvas()->Pixel(0, 10), clLime);
    Icon->SetBitmapName("");
    EXPECT_EQ(Icon->Width(), 11);
    Icon->SetBitmapName("NoSuchPicture");
    EXPECT_EQ(Icon->Bitmap()->Width(), 0);
}

TEST_F(TrackIcon, DragsBetweenItsLimits) {
    Icon->SetMinValue(6);
    Drag({-20, -300});
    EXPECT_EQ(Icon->Left(), 6) << "stopped at the lower limit";
    EXPECT_EQ(Icon->Top(), 20);
    EXPECT_EQ(Ended, 1);
    Drag({300});
    EXPECT_EQ(Icon->Left(), 306) << "no upper limit";
    Icon->SetMaxValue(200);
    Drag({-10, -400});
    EXPECT_EQ(Icon->Left(), 6);
    Drag({50, 900});
    EXPECT_EQ(Icon->Left(), 200);
    EXPECT_EQ(Ended, 4);
    // A lower limit of 0 is no limit: the marker goes left of the edge.
    Icon->SetMinValue(0);
    Drag({-300});
    EXPECT_EQ(Icon->Left(), -100);
}

TEST_F(TrackIcon, APressWithoutAMoveEndsNoDrag) {
    Drag({});
    EXPECT_EQ(Icon->Left(), 100);
    EXPECT_EQ(Ended, 0);
    Drag({0});
    EXPECT_EQ(Ended, 0) << "a move to the press point is no move";
}

}  // namespace
