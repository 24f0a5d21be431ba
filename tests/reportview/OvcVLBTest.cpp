// The virtual list box and the button header on a form off screen: the
// scroll divisor, positions, keys, list-box messages and selection events
// of the list; the section geometry, border hits, styles and captions of
// the header.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcBtnHd.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcVLB.h"

namespace {

class VLB : public OvcFormTest {
protected:
    VLB() {
        F = NewPlainForm("F", 300, 200);
        NewComponent<TOvcController>(F);
        L = NewComponent<TOvcVirtualListBox>(F);
        L->SetBounds(10, 10, 200, 170);
        L->SetAutoRowHeight(false);
        L->SetRowHeight(17);
        L->SetParent(F);
        L->OnGetItem = [](TObject*, int32_t I, AnsiString& S) { S = "Fila " + IntToStr(I); };
    }
    TForm* F;
    TOvcVirtualListBox* L;
};

TEST_F(VLB, ScrollCountAndDivisorFollowTheItems) {
    F->Show();
    Ui.RunUntilIdle();
    struct Case {
        int32_t Items, Divisor, Count;
    };
    for (const Case& c : {Case{100000, 6, 100000 / 6}, Case{32767, 1, 32767}, Case{3, 1, 0}}) {
        L->SetNumItems(c.Items);
        EXPECT_EQ(L->ScrollDivisor(), c.Divisor) << c.Items;
        EXPECT_EQ(L->ScrollCount(), c.Count) << c.Items;
    }
    EXPECT_EQ(L->RowHeight(), 17);
    EXPECT_EQ(L->Rows(), L->ClientHeight() / 17);
}

TEST_F(VLB, ItemAtPosAndTheListBoxMessages) {
    L->SetNumItems(3);
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(L->ItemAtPos(TPoint(5, 3 * 17 + 2), true), -1) << "below the last item";
    EXPECT_EQ(L->ItemAtPos(TPoint(5, 3 * 17 + 2), false), 2);
    EXPECT_EQ(L->ItemAtPos(TPoint(5, 17 + 2), true), 1);
    L->SetItemIndex(1);
    EXPECT_EQ(L->Perform(LB_GETCURSEL), 1);
    EXPECT_EQ(L->Perform(LB_SETCURSEL, WPARAM(-1)), -1);
    EXPECT_EQ(L->ItemIndex(), -1);
    EXPECT_EQ(L->Perform(LB_GETCOUNT), 3);
    EXPECT_EQ(L->Perform(LB_SETTOPINDEX, 7), -1);
    EXPECT_EQ(L->Perform(LB_SETSEL, 1, 0), -1) << "single selection";
    L->Perform(LB_RESETCONTENT);
    EXPECT_EQ(L->NumItems(), 0);
    L->SetMultiSelect(true);
    EXPECT_FALSE(L->MultiSelect()) << "decided when the list is made";
}

TEST_F(VLB, KeysMoveTheActiveItemAndExtendOnlyAMultiSelection) {
    L->SetNumItems(50);
    std::vector<std::pair<int, bool>> selects;
    L->OnSelect = [&](TObject*, int32_t I, bool S) { selects.push_back({I, S}); };
    F->Show();
    Ui.RunUntilIdle();
    L->SetFocus();
    Ui.RunUntilIdle();
    L->SetItemIndex(0);
    Ui.Key(VK_DOWN);
    Ui.Key(VK_NEXT);
    Ui.RunUntilIdle();
    EXPECT_EQ(L->ItemIndex(), 1 + L->Rows() - 1);
    const int at = L->ItemIndex();
    Ui.Key(VK_DOWN, {ssShift});
    Ui.RunUntilIdle();
    EXPECT_EQ(L->ItemIndex(), at) << "no extending without multi-select";
    EXPECT_TRUE(selects.empty()) << "and no selection event";
    Ui.Key(VK_END);
    Ui.RunUntilIdle();
    EXPECT_EQ(L->ItemIndex(), 49);
    EXPECT_EQ(L->TopIndex(), 50 - L->Rows());
}

TEST_F(VLB, AMultiSelectListNeedsItsEvents) {
    TForm* G = ReadForm("object G: TForm\n"
                        "  object OvcController1: TOvcController\n  end\n"
                        "  object M: TOvcVirtualListBox\n    MultiSelect = True\n    NumItems = 5\n  end\n"
                        "end\n");
    auto* m = static_cast<TOvcVirtualListBox*>(G->FindComponent("M"));
    EXPECT_TRUE(m->MultiSelect()) << "as the form has it";
    EXPECT_THROW(m->SelectAll(), EOnIsSelectedNotAssigned);
    m->OnIsSelected = [](TObject*, int32_t, bool&) {};
    EXPECT_THROW(m->SelectAll(), EOnSelectNotAssigned);
    EXPECT_THROW(m->EndUpdate(), Exception);
}

class Header : public OvcFormTest {
protected:
    Header() {
        F = NewPlainForm("F", 300, 100);
        H = NewComponent<TOvcButtonHeader>(F);
        H->SetBounds(0, 0, 250, 20);
        H->SetParent(F);
    }
    void Sections(std::initializer_list<int> Widths) {
        for (int w : Widths) H->AddSection()->SetWidth(w);
    }
    TForm* F;
    TOvcButtonHeader* H;
};

TEST_F(Header, TheLastSectionReachesTheEdgeOnlyWhenItComesClose) {
    Sections({75, 75, 75});
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(H->GetSection(2)->Rect.Right, 225) << "a filler takes the rest";
    EXPECT_EQ(H->GetWidth(2), 100);
    H->GetSection(2)->SetWidth(99);
    Ui.RunUntilIdle();
    EXPECT_EQ(H->GetSection(2)->Rect.Right, 250);
    EXPECT_EQ(H->GetWidth(7), 0);
}

TEST_F(Header, BordersAreFoundWithinThreePixels) {
    Sections({75, 75});
    F->Show();
    Ui.RunUntilIdle();
    // The first section's right edge is at 75.
    std::vector<int> sized;
    H->OnSized = [&](TObject*, int S, int W) { sized.push_back(S * 1000 + W); };
    Ui.MoveTo(H->ClientToScreen(TPoint(75 - 3, 10)));
    Ui.RunUntilIdle();
    Ui.Click(H, TPoint(75 - 3, 10));
    Ui.RunUntilIdle();
    EXPECT_EQ(sized.size(), 1u) << "three pixels off: a border";
    Ui.Click(H, TPoint(75 - 4, 10));
    Ui.RunUntilIdle();
    EXPECT_EQ(sized.size(), 1u) << "four pixels off: a press on the section";
}

TEST_F(Header, EachStyleFiresItsClicks) {
    Sections({75, 75});
    F->Show();
    Ui.RunUntilIdle();
    int clicks = 0;
    H->OnClick = [&](TObject*) { ++clicks; };
    H->SetItemIndex(0);
    clicks = 0;
    Ui.Click(H, TPoint(20, 10));
    Ui.RunUntilIdle();
    EXPECT_EQ(clicks, 0) << "radio: the current section again";
    Ui.Click(H, TPoint(100, 10));
    Ui.RunUntilIdle();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(H->ItemIndex(), 1);
    H->SetStyle(bhsNone);
    Ui.Click(H, TPoint(100, 10));
    Ui.RunUntilIdle();
    Ui.Click(H, TPoint(100, 10));
    Ui.RunUntilIdle();
    EXPECT_EQ(clicks, 3) << "none: every press released inside";
    H->SetTextMargin(3);
    H->SetTextMargin(-1);
    EXPECT_EQ(H->TextMargin(), 3);
    H->GetSection(0)->SetCaption("&Tipo");
    EXPECT_EQ(H->GetSection(0)->GetDisplayText(), "Tipo: TOvcButtonHeaderSection");
}

}  // namespace
