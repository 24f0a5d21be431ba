// Carets: looks fitted to their cells by shape and alignment, shared looks
// that live while held, linking only with a window, the blink time applied
// while linked, and the grey and picture carets the platform draws.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcCaret.h"

namespace {

class OvcCaret : public OvcFormTest {
protected:
    OvcCaret() {
        F = NewPlainForm("F", 200, 100);
        F->SetColor(clWhite);
        F->Show();
        Ui.RunUntilIdle();
    }
    TForm* F;
};

TEST_F(OvcCaret, LooksFitTheirCells) {
    struct Case {
        TOvcCaretShape Shape;
        TOvcCaretAlign Align;  // after the shape
        int CellH, CellW;
        int H, W, X, Y;
    } cases[] = {
        {csBlock, caLeft, 16, 8, 16, 8, 0, 0},      {csHalfBlock, caBottom, 16, 8, 8, 8, 0, 8},
        {csVertLine, caCenter, 16, 8, 16, 2, 3, 0}, {csHorzLine, caBottom, 16, 8, 2, 8, 0, 14},
        {csVertLine, caRight, 16, 8, 16, 2, 6, 0},  {csHorzLine, caTop, 15, 9, 2, 9, 0, 0},
        {csCustom, caCenter, 16, 8, 10, 2, 3, 3},
    };
    for (const Case& c : cases) {
        TOvcSingleCaret caret(F);
        caret.CaretType()->SetShape(c.Shape);
        caret.CaretType()->SetAlign(c.Align);
        caret.SetCellHeight(c.CellH);
        caret.SetCellWidth(c.CellW);
        caret.Reinit();
        EXPECT_EQ(caret.CaretType()->CaretHeight(), c.H) << int(c.Shape);
        EXPECT_EQ(caret.CaretType()->CaretWidth(), c.W) << int(c.Shape);
        EXPECT_EQ(caret.Offset(), TPoint(c.X, c.Y)) << int(c.Shape);
    }
    TOvcSingleCaret caret(F);
    caret.SetCellHeight(0);
    caret.SetCellHeight(-3);
    EXPECT_EQ(caret.CellHeight(), 10);
}

TEST_F(OvcCaret, LinkedOnlyWithAWindowAndBlinkingAsTheLookSays) {
    auto* loose = NewComponent<TPanel>(F);  // no parent: no window
    TOvcSingleCaret early(loose);
    early.SetLinked(true);
    EXPECT_FALSE(early.Linked());

    UINT system = GetCaretBlinkTime();
    TOvcCaretPair pair(F);
    pair.SetCellHeight(12);
    pair.SetPos(TPoint(20, 30));
    pair.SetLinked(true);
    EXPECT_TRUE(pair.Linked());
    EXPECT_EQ(GetCaretBlinkTime(), system) << "a blink time of 0 keeps the system's";
    TPoint at;
    ASSERT_TRUE(GetCaretPos(at));
    EXPECT_EQ(at, TPoint(20, 30));
    pair.InsCaretType()->SetBlinkTime(200);
    EXPECT_TRUE(pair.Linked()) << "a changed look relinks";
    EXPECT_EQ(GetCaretBlinkTime(), 200u);
    pair.SetInsMode(false);
    EXPECT_EQ(pair.CaretType(), pair.OvrCaretType());
    EXPECT_EQ(GetCaretBlinkTime(), system) << "the overtype look blinks as the system does";
    pair.SetPos(TPoint(-1, 5));
    ASSERT_TRUE(GetCaretPos(at));
    EXPECT_EQ(at.x, TOvcSingleCaret::Hidden);
    pair.SetLinked(false);
    EXPECT_FALSE(GetCaretPos(at));

    // A look shared by two carets lives while either holds it.
    auto* shared = new TOvcCaret;
    {
        TOvcCaretPair a(F), b(F);
        a.SetInsCaretType(shared);
        b.SetInsCaretType(shared);
        EXPECT_EQ(shared->RefCount(), 4) << "each pair holds it as its insert look and as its current one";
    }
}

TEST_F(OvcCaret, GreyAndPictureCaretsTurnThePixelsUnderThem) {
    HWND wnd = F->Handle();
    ASSERT_TRUE(CreateGrayCaret(wnd, 4, 6));
    SetCaretPos(10, 10);
    ShowCaret(wnd);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelAt(F, 11, 11), 0xFFFFFFu ^ 0x808080u);
    EXPECT_EQ(PixelAt(F, 14, 11), 0xFFFFFFu);
    DestroyCaret();
    EXPECT_EQ(PixelAt(F, 11, 11), 0xFFFFFFu);

    TBitmap picture;
    picture.SetSize(3, 2);
    picture.Canvas()->Brush()->SetColor(clBlack);
    picture.Canvas()->FillRect(TRect(0, 0, 3, 2));
    picture.Canvas()->SetPixel(1, 0, TColor(0x0000FF));  // red in the colour's byte order
    ASSERT_TRUE(CreateCaret(wnd, &picture));
    SetCaretPos(20, 20);
    ShowCaret(wnd);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelAt(F, 21, 20), 0x00FFFFu) << "white xor red";
    EXPECT_EQ(PixelAt(F, 20, 20), 0xFFFFFFu) << "black leaves the window";
    DestroyCaret();
}

}  // namespace
