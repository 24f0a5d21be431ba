// The list box: tab stops in average characters handed on in dialog units,
// the horizontal extent that follows the widest item, the stops' change
// event, the label that follows the box and the controller it needs.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcLB.h"

namespace {

TEST(OvcListBoxTabs, AverageCharactersToDialogUnits) {
    EXPECT_EQ(TabStopDialogUnits(10, 6, 8), 30);
    EXPECT_EQ(TabStopDialogUnits(20, 6, 8), 60);
    EXPECT_EQ(TabStopPixels(10, 6), 60);
    EXPECT_EQ(TabStopDialogUnits(3, 7, 8), 10) << "truncated";
    EXPECT_EQ(TabStopDialogUnits(3, 7, 0), 0);
}

class OvcListBox : public OvcFormTest {
protected:
    OvcListBox() {
        F = NewPlainForm("F", 300, 200);
        NewComponent<TOvcController>(F);
        L = NewComponent<TOvcListBox>(F);
        L->SetName("List");
        L->SetBounds(10, 30, 200, 100);
        L->SetParent(F);
        F->Show();
        Ui.RunUntilIdle();
    }
    int Average() {
        L->Canvas()->Font()->Assign(L->Font());
        return L->Canvas()->TextWidth("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") / 52;
    }
    TForm* F;
    TOvcListBox* L;
};

TEST_F(OvcListBox, TabStopsAndTheHorizontalExtent) {
    int changes = 0;
    L->OnTabStopsChange = [&](TObject*) { ++changes; };
    L->SetTabStops({10, 20});
    int a = Average(), b = LoWord(static_cast<uint32_t>(GetDialogBaseUnits()));
    EXPECT_EQ(L->PixelTabs(), (std::vector<int>{10 * a, 20 * a}));
    EXPECT_EQ(L->DialogTabs(), (std::vector<int>{10 * a * 4 / b, 20 * a * 4 / b}));
    EXPECT_EQ(changes, 1);
    TStringList bad;
    bad.Add("5");
    bad.Add("x");
    EXPECT_THROW(L->SetTabStopsStr(&bad), EConvertError);
    EXPECT_EQ(L->TabStops()->Count(), 2) << "a bad line changes nothing";
    TStringList many;
    for (int i = 1; i <= 150; ++i) many.Add(IntToStr(i));
    L->SetTabStopsStr(&many);
    EXPECT_EQ(L->PixelTabs().size(), 100u) << "at most 100 tab stops are used";
    EXPECT_EQ(L->DialogTabs().size(), 100u);
    EXPECT_EQ(L->PixelTabs().back(), 100 * a);
    L->ClearTabStops();
    EXPECT_TRUE(L->DialogTabs().empty());
    EXPECT_EQ(changes, 3);

    L->SetHorizontalScroll(true);
    L->Items()->Add("short");
    AnsiString wide = "a much longer item than the others";
    L->Items()->Add(wide);
    L->Canvas()->Font()->Assign(L->Font());
    EXPECT_EQ(L->Perform(LB_GETHORIZONTALEXTENT, 0, 0), L->Canvas()->TextWidth(wide) + 5);
    L->SetTabStops({4});
    L->Items()->Add("x\ty");
    EXPECT_EQ(L->tlGetItemWidth(2), int(LoWord(L->Canvas()->GetTabbedTextExtent("x\ty", L->PixelTabs()))));
}

TEST_F(OvcListBox, TheLabelFollowsAndAControllerIsNeeded) {
    L->LabelInfo()->SetVisible(true);
    Ui.RunUntilIdle();
    TOvcAttachedLabel* label = L->GetAttachedLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "ListLabel1");
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Top() + label->Height(), 30) << "above the box";
    L->SetBounds(40, 60, 200, 100);
    Ui.RunUntilIdle();
    EXPECT_EQ(label->Left(), 40);
    EXPECT_EQ(label->Top() + label->Height(), 60);
    L->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    L->LabelInfo()->SetVisible(false);
    EXPECT_THROW(L->GetAttachedLabel(), Exception);

    TForm* bare = NewPlainForm("Bare", 100, 100);
    auto* lonely = NewComponent<TOvcListBox>(bare);
    lonely->SetParent(bare);
    EXPECT_THROW(lonely->HandleNeeded(), ENoControllerAssigned);
}

}  // namespace
