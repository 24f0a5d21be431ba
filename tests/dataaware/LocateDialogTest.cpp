// The locate dialog on the students of the small school: the first and the
// next match found from its form, the boxes when nothing (more) matches, the
// choices it keeps between calls, its field list and its refusal of a data
// set that is not open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwlocate.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"

namespace {

class LocateDialogTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        MakeSchool();
        Table = NewWwTable("alum", "N");
        Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Table);
        Dialog = NewComponent<TwwLocateDialog>(Form);
        Dialog->SetDataSource(Source);
        Table->Open();
    }
    TwwLocateDlg* Dlg() { return Dialog->Form(); }
    // Picks a field in the list as the user does.
    void PickField(const char* Label) {
        TComboBox* Box = Dlg()->FieldNameComboBox;
        Box->SetItemIndex(Box->Items()->IndexOf(Label));
        Dlg()->FieldNameComboBoxChange(Box);
    }
    void TypeValue(const char* Text) {
        Dlg()->SearchValue->SetFocus();
        Ui().Type(Text);
        Idle();
    }
    void ClickOn(TControl* C) {
        Ui().Click(C);
        Idle();
    }
    AnsiString Name() { return Table->FieldByName("NOMBRE")->AsString(); }

    TwwTable* Table = nullptr;
    TwwDataSource* Source = nullptr;
    TwwLocateDialog* Dialog = nullptr;
};

}  // namespace

// First finds the first match from the top, Next the next one after the
// current record; nothing (more) found says so in a box and leaves the record.
TEST_F(LocateDialogTest, FindsTheFirstAndTheNextMatch) {
    Dialog->SetOptions({});
    Answers.Then(mrOk).Then(mrOk);
    std::vector<AnsiString> Seen;
    bool Ok = true;
    Ui().Then([&] {
        EXPECT_EQ(Dlg()->Caption(), "Locate Field Value");
        EXPECT_TRUE(Dlg()->NextButton->Default());
        EXPECT_EQ(Dlg()->CancelBtn->Caption(), "Close");
        PickField("NOMBRE");
        TypeValue("an");
        ClickOn(Dlg()->FirstButton);
        Seen.push_back(Name());
        ClickOn(Dlg()->NextButton);
        Seen.push_back(Name());
        ClickOn(Dlg()->NextButton);
        Seen.push_back(Name());
        Dlg()->PartialMatchAnyBtn->SetChecked(true);
        ClickOn(Dlg()->FirstButton);
        Seen.push_back(Name());
        Dlg()->ExactMatchBtn->SetChecked(true);
        Dlg()->CaseSensitiveCheckBox->SetChecked(true);
        ClickOn(Dlg()->FirstButton);
        Seen.push_back(Name());
        ClickOn(Dlg()->CancelBtn);
    });
    Ok = Dialog->Execute();
    EXPECT_EQ(Ui().StepsLeft(), 0u);
    EXPECT_FALSE(Ok);
    EXPECT_EQ(Seen, (std::vector<AnsiString>{"Ana", "Anabel", "Anabel", "Ana", "Ana"}));
    EXPECT_EQ(Answers.Texts(), (std::vector<AnsiString>{"No more matches found", "No matches found"}));
    EXPECT_EQ(Answers.Asked()[0].DlgType, mtInformation);
}

// A match closes the form with OK when ldoCloseOnMatch is set (the default).
TEST_F(LocateDialogTest, AMatchClosesTheFormWhenAsked) {
    Ui().Then([&] {
        EXPECT_EQ(Dlg()->CancelBtn->Caption(), "Cancel");
        PickField("ASIG");
        TypeValue("his");
        ClickOn(Dlg()->NextButton);
    });
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Name(), "Anabel");
    EXPECT_TRUE(Answers.Texts().empty());
}

// The field, the value, the match type and the case choice come back at the
// next call, also after the form was closed without a search; changing the
// field empties the value unless ldoPreserveSearchText.
TEST_F(LocateDialogTest, KeepsItsChoicesBetweenCalls) {
    Ui().Then([&] {
        EXPECT_EQ(Dlg()->FieldNameComboBox->ItemIndex(), -1) << "nothing searched yet";
        EXPECT_TRUE(Dlg()->PartialMatchStartBtn->Checked());
        PickField("ABREV");
        TypeValue("PE");
        Dlg()->PartialMatchAnyBtn->SetChecked(true);
        Dlg()->CaseSensitiveCheckBox->SetChecked(true);
        ClickOn(Dlg()->CancelBtn);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->SearchField(), "ABREV");
    EXPECT_EQ(Dialog->MatchType(), mtPartialMatchAny);
    EXPECT_TRUE(Dialog->CaseSensitive());
    Ui().Then([&] {
        EXPECT_EQ(Dlg()->FieldNameComboBox->Text(), "ABREV");
        EXPECT_EQ(Dlg()->SearchValue->Text(), "PE");
        EXPECT_TRUE(Dlg()->PartialMatchAnyBtn->Checked());
        EXPECT_TRUE(Dlg()->CaseSensitiveCheckBox->Checked());
        PickField("TNC");
        EXPECT_EQ(Dlg()->SearchValue->Text(), "") << "another field, a new value";
        TypeValue("M2");
        Dialog->SetOptions({ldoPreserveSearchText});
        PickField("NOMBRE");
        EXPECT_EQ(Dlg()->SearchValue->Text(), "M2");
        ClickOn(Dlg()->CancelBtn);
    });
    Dialog->Execute();
    EXPECT_EQ(Dialog->SearchField(), "NOMBRE");
    EXPECT_EQ(Dialog->SearchText(), "M2");
}

// The list offers the display labels, sorted or in field order, without
// hidden fields when only visible ones are asked for; a data field wins
// over a calculated one of the same label.
TEST_F(LocateDialogTest, FieldListAndFieldNames) {
    Table->FieldByName("NOMBRE")->SetDisplayLabel("Nom~bre");
    Table->FieldByName("TNC")->SetVisible(false);
    std::vector<std::string> Sorted, Ordered;
    auto Read = [&](std::vector<std::string>& Into) {
        Ui().Then([&] {
            for (int I = 0; I < Dlg()->FieldNameComboBox->Items()->Count(); ++I)
                Into.push_back(Dlg()->FieldNameComboBox->Items()->Strings(I));
            ClickOn(Dlg()->CancelBtn);
        });
        Dialog->Execute();
    };
    Read(Sorted);
    EXPECT_EQ(Sorted, (std::vector<std::string>{"ABREV", "ASIG", "N", "Nom bre", "NOTA", "OBS", "TNC"}));
    Dialog->SetSortFields(fsSortByFieldNo);
    Dialog->SetFieldSelection(fsVisibleFields);
    Read(Ordered);
    EXPECT_EQ(Ordered, (std::vector<std::string>{"N", "Nom bre", "ABREV", "NOTA", "ASIG", "OBS"}));
    EXPECT_EQ(LocateFieldNameOf(Table, "Nom bre"), "NOMBRE");
    EXPECT_EQ(LocateFieldNameOf(Table, "nom bre"), "") << "labels compare with case";
}

// Without an open data set there is nothing to search: the box says so and
// Execute answers false.
TEST_F(LocateDialogTest, RefusesADataSetThatIsNotOpen) {
    Answers.Then(mrOk).Then(mrOk);
    Table->Close();
    EXPECT_FALSE(Dialog->Execute());
    Dialog->SetDataSource(nullptr);
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Answers.Texts(), (std::vector<AnsiString>{"DataSource does not reference an active DataSet",
                                                        "DataSource does not reference an active DataSet"}));
    EXPECT_EQ(Answers.Asked()[0].DlgType, mtError);
}
