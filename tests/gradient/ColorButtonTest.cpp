// The colour button and the colour dialog routine: the button shows the
// colour of the property it is linked to, edits it through the colour
// dialog, and the dialog keeps the user's own colours from one use to the next.
#include <gtest/gtest.h>

#include "GradientTestSupport.h"
#include "gradient/TeCanvas.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ExtCtrls.h"

using namespace gradient_test;

namespace {

class GradientColorButton : public GradientForms {
protected:
    GradientColorButton() {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 300, 200);
        Linked = NewComponent<TPanel>(Form);
        Linked->SetName("Linked");
        Linked->SetParent(Form);
        Linked->SetBounds(0, 100, 300, 100);
        Linked->SetColor(clTeal);
        Button = NewComponent<TButtonColor>(Form);
        Button->SetName("Swatch");
        Button->SetParent(Form);
        Button->SetBounds(10, 10, 75, 25);
        Button->OnClick = [this](TObject*) { ++Clicks; };
    }
    // Picks a basic colour in the dialog that the next modal loop shows.
    void ThenPick(int Basic, const char* Close = "OK") {
        Ui.Then([this, Basic, Close] {
            TForm* D = Screen->ActiveForm();
            Ui.Click(D, "Basic" + std::to_string(Basic));
            Clock.Advance(1000);
            Ui.Click(D, Close);
        });
    }
    uint32_t Shown(int X, int Y) { return Ui.Picture(Form).GetPixel(Button->Left() + X, Button->Top() + Y); }
    TForm* Form;
    TPanel* Linked;
    TButtonColor* Button;
    int Clicks = 0;
};

TEST_F(GradientColorButton, TheButtonShowsTheLinkedColourAndEditsItThroughTheDialog) {
    Button->LinkProperty(Linked, "Color");
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(Button->GetTeeColor(), clTeal);
    // The swatch: 13 x 12 pixels at the lower right, outlined with the pen.
    EXPECT_EQ(Shown(75 - 19, 25 - 19), 0x000000u);
    EXPECT_EQ(Shown(75 - 15, 25 - 12), Pixel(clTeal));
    EXPECT_NE(Shown(75 - 20, 25 - 12), Pixel(clTeal));

    ThenPick(8);  // pure red
    Ui.Click(Button);
    Ui.RunUntilIdle();
    EXPECT_EQ(Linked->Color(), RGB(255, 0, 0));
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Shown(75 - 15, 25 - 12), 0xFF0000u) << "the button repaints";

    Clock.Advance(1000);
    ThenPick(28, "Cancel");
    Ui.Click(Button);
    Ui.RunUntilIdle();
    EXPECT_EQ(Linked->Color(), RGB(255, 0, 0)) << "cancelled: the property stays";
    EXPECT_EQ(Clicks, 2) << "the click still reaches OnClick";
}

TEST_F(GradientColorButton, WithoutAColourThereIsNoSwatchAndAMissingPropertyOpensNoDialog) {
    Linked->SetColor(clNone);
    Button->LinkProperty(Linked, "Color");
    Form->Show();
    Ui.RunUntilIdle();
    uint32_t Face = ColorRefToPixel(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Shown(75 - 15, 25 - 12), Face);
    EXPECT_EQ(Shown(75 - 19, 25 - 19), Face);

    Button->LinkProperty(Linked, "NoSuchColour");
    EXPECT_EQ(Button->LinkedProperty(), nullptr);
    EXPECT_EQ(Button->GetTeeColor(), clNone);
    Ui.Click(Button);
    Ui.RunUntilIdle();  // a dialog would stall here: nothing answers it
    EXPECT_EQ(Clicks, 1);

    Button->GetColorHandler = [] { return clBlue; };
    Button->Invalidate();
    Ui.RunUntilIdle();
    EXPECT_EQ(Shown(75 - 15, 25 - 12), Pixel(clBlue));
    Button->SetEnabled(false);
    Ui.RunUntilIdle();
    EXPECT_EQ(Shown(75 - 19, 25 - 19), Pixel(clBlue)) << "disabled: no outline";
}

TEST_F(GradientColorButton, CustomColoursChosenInOneDialogAreOfferedInTheNext) {
    TColor Seen = clNone;
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Ui.Click(D, "Custom3");
        Clock.Advance(1000);
        Ui.Click(D, "Basic28");  // pure blue
        Clock.Advance(1000);
        Ui.Click(D, "AddCustom");
        Clock.Advance(1000);
        Ui.Click(D, "OK");
    });
    EXPECT_EQ(EditColor(Form, clWhite), RGB(0, 0, 255));
    ASSERT_NE(TeeCustomEditColors(), nullptr);
    EXPECT_EQ(TeeCustomEditColors()->Values("ColorD"), "FF0000") << "blue, as the value is written";
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Seen = Ui.Find(D, "Custom3")->Color();
        Ui.Click(D, "Cancel");
    });
    EXPECT_EQ(EditColor(Form, clTeal), clTeal) << "cancelled: the colour given";
    EXPECT_EQ(Seen, RGB(0, 0, 255));

    // The dialog itself: the colour typed in its parts, the lines it answers.
    TColorDialog Dialog(nullptr);
    Dialog.SetColor(clBlack);
    Dialog.CustomColors()->Add("ColorB=00FF00");
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Seen = Ui.Find(D, "Custom1")->Color();
        dynamic_cast<TEdit*>(Ui.Find(D, "Green"))->SetText("300");
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(Seen, clLime);
    EXPECT_EQ(Dialog.Color(), RGB(0, 255, 0)) << "a part above 255 counts as 255";
    EXPECT_EQ(Dialog.CustomColors()->Count(), 16);
    EXPECT_EQ(Dialog.CustomColors()->Values("ColorB"), "00FF00");
    EXPECT_EQ(Dialog.CustomColors()->Values("ColorP"), "FFFFFF");
}

}  // namespace
