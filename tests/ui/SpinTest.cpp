// The spin edit and its button: limits, keys, typing and the held arrow.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Spin.h"
#include "platform/win/StdWindows.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class SpinTest : public FormTest {
protected:
    SpinTest() {
        Form = NewPlainForm("F", 300, 200);
        Spin = Make<TCSpinEdit>(Form, Form, "Numero", Bounds(10, 10, 80, 0));
        Other = Make<TEdit>(Form, Form, "Other", Bounds(10, 60, 80, 0));
        Form->Show();
        Ui.RunUntilIdle();
    }
    void Play(const char* Keys) {
        Spin->SetFocus();
        Ui.RunUntilIdle();
        PlayKeys(Ui, Keys);
        Ui.RunUntilIdle();
    }
    // A point inside the up (or down) arrow, on the screen.
    TPoint Arrow(bool Up) const {
        TCSpinButton* B = Spin->Button();
        return B->ClientToScreen(TPoint(B->Width() / 2, Up ? 2 : B->Height() - 3));
    }
    TForm* Form;
    TCSpinEdit* Spin;
    TEdit* Other;
};

TEST_F(SpinTest, ArrowKeysStepWithinTheLimitsAndEqualLimitsMeanNone) {
    struct TCase {
        int Min, Max, Increment, Start;
        const char* Keys;
        int Expected;
    };
    const TCase Cases[] = {
        {0, 5, 1, 3, "{Up}{Up}{Up}", 5},
        {0, 5, 1, 1, "{Down}{Down}", 0},
        {0, 0, 1, 0, "{Down}{Down}", -2},          // 0 .. 0: no limits at all
        {-10, 10, 4, 0, "{Up}{Up}{Up}{Down}", 6},  // 12 is kept at 10
        {1, 7, 1, 4, "{Home}{Up}", 5},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Keys);
        Spin->SetMinValue(C.Min);
        Spin->SetMaxValue(C.Max);
        Spin->SetIncrement(C.Increment);
        Spin->SetValue(C.Start);
        Play(C.Keys);
        EXPECT_EQ(Spin->Value(), C.Expected);
        EXPECT_EQ(Spin->Text(), IntToStr(C.Expected));
    }
}

TEST_F(SpinTest, SettingAndLeavingKeepTheValueInsideTheLimits) {
    Spin->SetMinValue(0);
    Spin->SetMaxValue(12);
    Spin->SetValue(40);
    EXPECT_EQ(Spin->Text(), "12");
    Spin->SetValue(-3);
    EXPECT_EQ(Spin->Text(), "0");
    // Typed text is taken as it is until the edit is left.
    Play("{Home}{S+End}99");
    EXPECT_EQ(Spin->Text(), "99");
    EXPECT_EQ(Spin->Value(), 99);
    Other->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Text(), "12");
    // A text that is no number counts as the lowest value.
    Spin->SetText("-");
    EXPECT_EQ(Spin->Value(), 0);
}

TEST_F(SpinTest, OnlyNumberCharactersMayBeTypedAndTheRestBeeps) {
    struct TCase {
        bool EditorEnabled;
        bool ReadOnly;
        const char* Keys;
        const char* Text;
        size_t Beeps;
    };
    const TCase Cases[] = {
        {true, false, "{Home}{S+End}1a2x", "12", 2},
        {true, false, "{Home}{S+End}-5", "-5", 0},
        {true, false, "{Home}{S+End}7{Enter}", "7", 1},  // no new line in a spin edit
        {true, false, "{Home}{S+End}{Back}", "", 0},
        {false, false, "{Home}{S+End}34{Back}", "8", 3},  // nothing typed, not even a backspace ...
        {false, false, "{Up}", "9", 0},                   // ... but the arrows still step
        {true, true, "{Up}", "8", 1},                     // read-only: the arrows beep
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Keys);
        Spin->SetValue(8);
        Spin->SetEditorEnabled(C.EditorEnabled);
        Spin->SetReadOnly(C.ReadOnly);
        TBeepRecorder Beeps;
        Play(C.Keys);
        EXPECT_EQ(Spin->Text(), C.Text);
        EXPECT_EQ(Beeps.Beeps().size(), C.Beeps);
    }
}

TEST_F(SpinTest, TheArrowButtonsClickOnReleaseAndRepeatWhileHeld) {
    Spin->SetMaxValue(100);
    Spin->SetValue(10);
    Other->SetFocus();
    Ui.Click(Arrow(true));
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Value(), 11);
    EXPECT_TRUE(Spin->Focused()) << "a press gives the focus to the edit";
    Ui.Click(Arrow(false));
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Value(), 10);

    // Held: nothing until release, then again after 400 ms and every 100 ms.
    InputMouseMove(Arrow(true));
    InputMouseButton(0, true, Arrow(true));
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Button()->Pressed(), 1);
    EXPECT_EQ(Spin->Value(), 10);
    Clock.Advance(TCSpinButton::InitRepeatPause);
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Value(), 11);
    for (int I = 0; I < 3; ++I) {
        Clock.Advance(TCSpinButton::RepeatPause);
        Ui.RunUntilIdle();
    }
    EXPECT_EQ(Spin->Value(), 14);
    // Dragged off the arrow it stops repeating, and releasing there does not click.
    TPoint Away = Spin->ClientToScreen(TPoint(5, 5));
    InputMouseMove(Away);
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Button()->Pressed(), 0);
    Clock.Advance(TCSpinButton::RepeatPause * 3);
    Ui.RunUntilIdle();
    InputMouseButton(0, false, Away);
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Value(), 14);
    Clock.Advance(TCSpinButton::InitRepeatPause * 3);
    Ui.RunUntilIdle();
    EXPECT_EQ(Spin->Value(), 14) << "the repeat ended with the release";
}

TEST_F(SpinTest, TheButtonSitsInsideTheRightEdgeAndTheTextStopsBeforeIt) {
    TCSpinButton* B = Spin->Button();
    EXPECT_EQ(B->Parent(), Spin);
    EXPECT_EQ(B->Width(), 15);
    EXPECT_EQ(B->Left() + B->Width(), Spin->Width() - 5);
    EXPECT_EQ(B->Height(), Spin->Height() - 5);
    TRect Format;
    SendMessage(Spin->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Format));
    EXPECT_LE(Format.Right, B->Left());
    Spin->SetHeight(5);
    EXPECT_GT(Spin->Height(), 10) << "never lower than its text";
    Spin->SetWidth(120);
    EXPECT_EQ(B->Left() + B->Width(), 115);
}

TEST_F(SpinTest, FormsReadTheLimitsAndTheValue) {
    const char* Text = R"(object F: TForm
  object SENumero: TCSpinEdit
    Left = 8
    Top = 8
    Width = 60
    Height = 22
    MaxValue = 30
    MinValue = 0
    TabOrder = 0
    Value = 12
  end
end
)";
    TForm* Read = TForm::CreateNew(Application);
    ReadComponentFromText(Read, Text);
    auto* S = static_cast<TCSpinEdit*>(Ui.Find(Read, "SENumero"));
    EXPECT_EQ(S->MaxValue(), 30);
    EXPECT_EQ(S->Value(), 12);
    EXPECT_EQ(S->ComponentCount(), 1) << "only the button of its own";
}

}  // namespace
