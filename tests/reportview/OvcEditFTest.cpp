// The edit with its attached label: the label keeps its offsets when the
// edit moves, records new ones when moved by hand, hides with the edit; the
// edit finds its form's controller and fails without one.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "reportview/OvcEditF.h"
#include "reportview/OvcExcpt.h"

namespace {

class OvcEdit : public OvcFormTest {};

TEST_F(OvcEdit, TheLabelFollowsTheEdit) {
    TForm* F =
        ReadForm("object F: TForm\n  Width = 300\n  Height = 200\n"
                 "  object C: TOvcController\n  end\n"
                 "  object E: TOvcEdit\n    Left = 20\n    Top = 40\n    Width = 100\n    Height = 21\n"
                 "    Text = 'abc'\n    MaxLength = 9\n  end\nend\n");
    F->Show();
    Ui.RunUntilIdle();
    auto* e = dynamic_cast<TOvcEdit*>(F->FindComponent("E"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Controller(), F->FindComponent("C"));
    EXPECT_EQ(e->Text(), "abc");
    e->LabelInfo()->SetVisible(true);
    Ui.RunUntilIdle();
    TOvcAttachedLabel* label = e->GetAttachedLabel();
    EXPECT_EQ(label->Left(), 20);
    EXPECT_EQ(label->Top() + label->Height(), 40);
    EXPECT_FALSE(label->AutoSize()) << "the edit's label keeps its size";
    e->SetBounds(50, 80, 100, 21);
    Ui.RunUntilIdle();
    EXPECT_EQ(label->Left(), 50);
    EXPECT_EQ(label->Top() + label->Height(), 80);
    label->SetBounds(60, 30, label->Width(), label->Height());
    Ui.RunUntilIdle();
    EXPECT_EQ(e->LabelInfo()->OffsetX(), 10);
    e->SetBounds(70, 80, 100, 21);
    Ui.RunUntilIdle();
    EXPECT_EQ(label->Left(), 80) << "the new offset is kept";
    e->SetVisible(false);
    EXPECT_FALSE(label->Visible());
}

TEST_F(OvcEdit, AnEditNeedsAController) {
    TForm* bare = NewPlainForm("Bare", 100, 100);
    auto* e = NewComponent<TOvcEdit>(bare);
    e->SetParent(bare);
    EXPECT_THROW(e->HandleNeeded(), ENoControllerAssigned);
    NewComponent<TOvcController>(bare);
    auto* found = NewComponent<TOvcEdit>(bare);
    found->SetParent(bare);
    found->HandleNeeded();
    EXPECT_NE(found->Controller(), nullptr);
}

}  // namespace
