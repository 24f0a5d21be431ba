// The key combo over the school's table: one item per first field of its
// tags (" - Desc" after a descending one), picking an item switches the
// table's tag, the index names on request, and the refusals.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/UiDriver.h"

namespace {

class KeyCombo : public DataAwareFixture {
protected:
    TUiDriver* Ui = nullptr;
    TForm* Dialog = nullptr;
    TwwTable* Alum = nullptr;
    TwwDataSource* Source = nullptr;
    TwwKeyCombo* Combo = nullptr;
    TScriptedDialogs Answers;

    void SetUp() override {
        DataAwareFixture::SetUp();
        Ui = &InstallUiDriver();
        MakeSchool();
        Alum = NewWwTable("alum", "N");
        Alum->Open();
        Alum->FieldByName("NOTA")->SetDisplayLabel("Nota~final");
        Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Alum);
        Dialog = TForm::CreateNew(Application);
        Dialog->SetBounds(10, 10, 300, 200);
        Combo = NewComponent<TwwKeyCombo>(Dialog);
        Combo->SetParent(Dialog);
        Combo->SetBounds(10, 10, 150, 24);
        Dialog->Show();
        Combo->SetDataSource(Source);
        Combo->SetFocus();
        Ui->RunUntilIdle();
    }
    void TearDown() override {
        Dialog->Free();
        DataAwareFixture::TearDown();
    }
    std::vector<AnsiString> Items() const {
        std::vector<AnsiString> v;
        for (int i = 0; i < Combo->Items()->Count(); ++i) v.push_back(Combo->Items()->Strings(i));
        return v;
    }
    void Keys(std::string_view Script) {
        PlayKeys(*Ui, Script);
        Ui->RunUntilIdle();
    }
    using V = std::vector<AnsiString>;
};

TEST_F(KeyCombo, OneItemPerFirstFieldWithDescendingTagsMarked) {
    // NOMBREI and NOMAB share their first field: one item. The "~" of a label shows as a blank.
    EXPECT_EQ(Items(), (V{"NOMBRE", "Nota final - Desc", "N", "TNC"}));
    EXPECT_EQ(Combo->Text(), "N");
    EXPECT_EQ(Combo->Style(), csDropDownList);
}

TEST_F(KeyCombo, PickingAnItemSwitchesTheTag) {
    struct TPick {
        const char* Keys;
        const char* Text;
        const char* Index;
    };
    // Picking NOMBRE prefers the case-insensitive tag over NOMBRE;ABREV.
    for (const TPick& p : {TPick{"{F4}{Home}{Up}{Up}{Up}{Enter}", "NOMBRE", "NOMBREI"},
                           TPick{"{F4}{Down}{Enter}", "Nota final - Desc", "NOTAD"},
                           TPick{"{F4}{Down}{Down}{Enter}", "TNC", "TNC"}}) {
        Keys(p.Keys);
        EXPECT_EQ(Combo->Text(), p.Text) << p.Keys;
        EXPECT_EQ(Alum->IndexName(), p.Index) << p.Keys;
    }
    // The order changed from outside is followed.
    Alum->SetIndexName("NOTAD");
    Ui->RunUntilIdle();
    EXPECT_EQ(Combo->Text(), "Nota final - Desc");
}

TEST_F(KeyCombo, AHiddenFieldIsNotOffered) {
    Alum->FieldByName("TNC")->SetVisible(false);
    Combo->FillItems();
    EXPECT_EQ(Items(), (V{"NOMBRE", "Nota final - Desc", "N"}));
}

TEST_F(KeyCombo, ShowAllIndexesListsTheTagNames) {
    Combo->SetShowAllIndexes(true);
    EXPECT_EQ(Items(), (V{"NOMBREI", "NOMAB", "NOTAD", "N", "TNC"}));
    EXPECT_EQ(Combo->Text(), "N");
    Keys("{F4}{Up}{Up}{Enter}");
    EXPECT_EQ(Combo->Text(), "NOMAB");
    EXPECT_EQ(Alum->IndexName(), "NOMAB");
}

TEST_F(KeyCombo, ASourceWithoutIndexInformationIsRefused) {
    auto* other = NewComponent<TwwDataSource>(Form);
    other->SetDataSet(NewComponent<TDataSet>(Form));
    Answers.Then(mrOk);
    Combo->SetDataSource(other);
    ASSERT_EQ(Answers.Asked().size(), 1u);
    EXPECT_EQ(Answers.Asked()[0].Text, "DataSource must point to a dataset containing index information.");
    EXPECT_EQ(Combo->DataSource(), Source);
}

}  // namespace
