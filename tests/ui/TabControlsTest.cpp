// The page control and the tab control: a click on a tab chooses it unless
// OnChanging refuses, the chosen page alone shows, and the pages and the
// tab control's children take the area beside the tabs, at the top or the bottom.
#include <gtest/gtest.h>

#include <vector>

#include "FormTestSupport.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"

namespace {

class TabControls : public FormTest {
protected:
    TabControls() { Form = NewPlainForm("F", 400, 300); }
    TPoint CenterOfTab(TControl* Owner, TRect Tab) {
        return Owner->ClientToScreen(TPoint((Tab.Left + Tab.Right) / 2, (Tab.Top + Tab.Bottom) / 2));
    }
    TForm* Form;
};

}  // namespace

TEST_F(TabControls, APageControlShowsTheChosenPage) {
    auto* Pages = Make<TPageControl>(Form, Form, "Pages", Bounds(10, 10, 300, 200));
    std::vector<TTabSheet*> Sheets;
    for (const char* Caption : {"Uno", "Dos", "Tres"}) {
        auto* S = NewComponent<TTabSheet>(Form);
        S->SetCaption(Caption);
        S->SetPageControl(Pages);
        Sheets.push_back(S);
    }
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(Pages->PageCount(), 3);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]) << "the first page comes first";
    EXPECT_TRUE(Sheets[0]->Visible());
    EXPECT_FALSE(Sheets[1]->Visible());
    EXPECT_EQ(Sheets[0]->BoundsRect(), TTabRow::DisplayRect(Pages->ClientRect(), tpTop));
    std::vector<int> Changes;
    bool Allow = true;
    Pages->OnChanging = [&](TObject*, bool& A) { A = Allow; };
    Pages->OnChange = [&](TObject*) { Changes.push_back(Pages->ActivePageIndex()); };
    Ui.Click(CenterOfTab(Pages, Pages->TabRect(2)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    EXPECT_TRUE(Sheets[2]->Visible());
    EXPECT_FALSE(Sheets[0]->Visible());
    Allow = false;
    Ui.Click(CenterOfTab(Pages, Pages->TabRect(1)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]) << "OnChanging refused";
    EXPECT_EQ(Changes, std::vector<int>{2});
    // Tabs at the bottom: the pages take the top.
    Pages->SetTabPosition(tpBottom);
    EXPECT_EQ(Sheets[2]->BoundsRect(), TTabRow::DisplayRect(Pages->ClientRect(), tpBottom));
    EXPECT_GT(Pages->TabRect(0).Top, Sheets[2]->BoundsRect().Bottom);
    Allow = true;
    Ui.Click(CenterOfTab(Pages, Pages->TabRect(1)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
    // A page taken away leaves the control on another one.
    Sheets[1]->Free();
    EXPECT_EQ(Pages->PageCount(), 2);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
}

TEST_F(TabControls, ATabControlKeepsItsChildrenAndTellsItsChoice) {
    auto* Tabs = Make<TTabControl>(Form, Form, "Tabs", Bounds(10, 10, 200, 150));
    Tabs->Tabs()->Add("&All");
    Tabs->Tabs()->Add("&Searched");
    auto* Inside = Make<TPanel>(Form, Tabs, "Inside", Bounds(0, 0, 10, 10));
    Inside->SetAlign(alClient);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(Tabs->TabIndex(), 0);
    EXPECT_EQ(Inside->BoundsRect(), Tabs->DisplayRect());
    bool Allow = false;
    int Changed = 0;
    Tabs->OnChanging = [&](TObject*, bool& A) { A = Allow; };
    Tabs->OnChange = [&](TObject*) { ++Changed; };
    Ui.Click(CenterOfTab(Tabs, Tabs->TabRect(1)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Tabs->TabIndex(), 0);
    Allow = true;
    Ui.Click(CenterOfTab(Tabs, Tabs->TabRect(1)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Tabs->TabIndex(), 1);
    EXPECT_EQ(Changed, 1);
    Tabs->SetTabPosition(tpBottom);
    EXPECT_EQ(Inside->BoundsRect(), Tabs->DisplayRect());
    EXPECT_EQ(Tabs->DisplayRect().Top, 2);
    Tabs->Tabs()->Delete(1);
    EXPECT_EQ(Tabs->TabIndex(), 0);
}
