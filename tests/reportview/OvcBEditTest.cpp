// The bordered edits: the frame keeps its height of 21, the inner edit sits
// inside the enabled borders (and leaves room for the number edit's button),
// and what is set on the wrapper reaches the inner edit.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "reportview/OvcBCalc.h"
#include "reportview/OvcBEdit.h"

namespace {

class OvcBorderedEdits : public OvcFormTest {
protected:
    OvcBorderedEdits() {
        F = NewPlainForm("F", 400, 300);
        NewComponent<TOvcController>(F);
        F->Show();
        Ui.RunUntilIdle();
    }
    TForm* F;
};

TEST_F(OvcBorderedEdits, TheFrameKeepsItsHeightAndTheEditSitsInsideTheBorders) {
    auto* b = NewComponent<TOvcBorderedEdit>(F);
    b->SetBounds(10, 10, 150, 40);
    Ui.RunUntilIdle();
    EXPECT_EQ(b->Height(), 21);
    TOvcBorder* bottom = b->Borders()->BottomBorder();
    EXPECT_TRUE(bottom->Enabled());
    EXPECT_EQ(b->Edit()->BoundsRect(), TRect(0, 0, 150, 21 - bottom->PenWidth()));
    b->Borders()->LeftBorder()->SetEnabled(true);
    b->Borders()->LeftBorder()->SetPenWidth(3);
    b->Borders()->TopBorder()->SetEnabled(true);
    b->Borders()->TopBorder()->SetPenWidth(1);
    Ui.RunUntilIdle();
    EXPECT_EQ(b->Edit()->BoundsRect(), TRect(3, 1, 150, 21 - bottom->PenWidth()));
    // The bottom line, 2 pixels wide, at y = 21 - 1 - 0: rows 19 and 20.
    bottom->SetPenColor(clRed);
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelAt(F, 10 + 50, 10 + 20), 0xFF0000u);
    b->SetEditEnabled(false);
    EXPECT_FALSE(b->Edit()->Enabled());
    b->SetEditText("hola");
    EXPECT_EQ(b->Edit()->Text(), "hola");
    // The forwarded properties stream as the wrapper's.
    TForm* G = ReadForm("object G: TForm\n  object C: TOvcController\n  end\n"
                        "  object B: TOvcBorderedEdit\n    Height = 40\n    Text = 'abc'\n    ReadOnly = "
                        "True\n    Enabled = False\n"
                        "  end\n  object N: TOvcBorderedNumberEdit\n    AllowIncDec = True\n    ShowButton = "
                        "False\n  end\nend\n");
    auto* rb = dynamic_cast<TOvcBorderedEdit*>(G->FindComponent("B"));
    auto* rn = dynamic_cast<TOvcBorderedNumberEdit*>(G->FindComponent("N"));
    ASSERT_TRUE(rb && rn);
    EXPECT_EQ(rb->Edit()->Text(), "abc");
    EXPECT_TRUE(rb->Edit()->ReadOnly());
    EXPECT_FALSE(rb->Edit()->Enabled());
    EXPECT_TRUE(rn->Edit()->AllowIncDec());
    EXPECT_FALSE(rn->Edit()->ShowButton());
    G->Free();
}

TEST_F(OvcBorderedEdits, TheNumberEditLeavesRoomForItsButton) {
    auto* n = NewComponent<TOvcBorderedNumberEdit>(F);
    n->SetBounds(10, 60, 150, 21);
    n->Borders()->RightBorder()->SetEnabled(true);
    n->Borders()->RightBorder()->SetPenWidth(2);
    Ui.RunUntilIdle();
    int reserve = n->Edit()->GetButtonGlyph()->Width() + 4;
    EXPECT_EQ(n->Edit()->Width(), 150 - (reserve + 4) - 2);
    n->Edit()->SetText("12,5");
    EXPECT_DOUBLE_EQ(n->GetAsFloat(), 12.5);
    n->Edit()->SetPopupAnchor(TOvcPopupAnchor::paRight);
    n->Edit()->SetFocus();
    n->Edit()->PopupOpen();
    Ui.RunUntilIdle();
    TOvcCalculator* calc = n->Calculator();
    TRect r;
    GetWindowRect(calc->Handle(), r);
    TPoint anchor =
        n->Edit()->ClientToScreen(TPoint(n->Edit()->Width() - calc->Width() - 1, n->Edit()->Height() - 2));
    // The inner edit has no 3-D look: 3 pixels right and down.
    EXPECT_EQ(TPoint(r.Left, r.Top), TPoint(anchor.x + 3, anchor.y + 3)) << "the wrapper's anchor decides";
    n->Edit()->PopupClose();
    n->SetEditEnabled(false);
    EXPECT_FALSE(n->Edit()->Enabled());
}

}  // namespace
