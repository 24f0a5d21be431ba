// The class library's data-aware memo, check box and image: they show the
// current record's field and write what the user changed back into it.
#include <gtest/gtest.h>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"
#include "platform/dbctrls/DBCtrls.h"

namespace {

class DBControlsTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("fichas", {{"N", ftFloat}, {"OBS", ftMemo}, {"SINO", ftString, 1}, {"FOTO", ftGraphic}},
                    {{"N", "N"}});
        AddRows("fichas", {{{"N", "1"}, {"OBS", "Primera"}, {"SINO", "S"}}, {{"N", "2"}, {"SINO", "N"}}});
        Frm = NewPlainForm("FichaForm", 300, 200);
        Shown = Frm;
        Table = NewWwTable("fichas", "N");
        Source = NewComponent<TwwDataSource>(Frm);
        Source->SetDataSet(Table);
        Table->Open();
    }
    TForm* Frm = nullptr;
    TwwTable* Table = nullptr;
    TwwDataSource* Source = nullptr;
};

}  // namespace

TEST_F(DBControlsTest, TheMemoAndTheCheckBoxFollowAndWriteTheirFields) {
    auto* Memo = NewComponent<TDBMemo>(Frm);
    Memo->SetBounds(0, 0, 200, 60);
    Memo->SetParent(Frm);
    Memo->SetDataSource(Source);
    Memo->SetDataField("OBS");
    auto* Box = NewComponent<TDBCheckBox>(Frm);
    Box->SetBounds(0, 80, 100, 17);
    Box->SetParent(Frm);
    Box->SetValueChecked("S;Y");
    Box->SetValueUnchecked("N");
    Box->SetDataSource(Source);
    Box->SetDataField("SINO");
    auto* Image = NewComponent<TDBImage>(Frm);
    Image->SetBounds(0, 100, 50, 50);
    Image->SetParent(Frm);
    Image->SetDataSource(Source);
    Image->SetDataField("FOTO");
    Frm->Show();
    Idle();
    EXPECT_EQ(Memo->Text(), "Primera");
    EXPECT_TRUE(Box->Checked());
    EXPECT_TRUE(Image->Picture()->Empty());
    Table->Next();
    EXPECT_EQ(Memo->Text(), "");
    EXPECT_FALSE(Box->Checked());
    Memo->SetFocus();
    Ui().Type("Segunda");
    Idle();
    EXPECT_EQ(Table->State(), dsEdit) << "typing puts the record in edit mode";
    Ui().Click(Box);
    Idle();
    EXPECT_TRUE(Box->Checked());
    EXPECT_EQ(Table->FieldByName("OBS")->AsString(), "Segunda") << "leaving the memo wrote it";
    Memo->SetFocus();
    Idle();
    Table->Post();
    EXPECT_EQ(Table->FieldByName("SINO")->AsString(), "S") << "the first of the checked values";
    Memo->SetReadOnly(true);
    EXPECT_TRUE(Memo->ReadOnly());
}
