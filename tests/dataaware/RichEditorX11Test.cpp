// The rich text editor in a real window on a private X server: it shows as
// a window of its own, the Bold button is clicked and text typed through the
// server, and closing it with the changes taken brings the bold text back.
#include <gtest/gtest.h>

#include "dataaware/DataAware.h"
#include "dataaware/wwrich.h"
#include "dataaware/wwriched.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "tests/support/ui/ScreenTest.h"

namespace {

constexpr unsigned long KeyEscape = 0xFF1B;

class RichEditorX11 : public X11ScreenTest {
protected:
    void SetUp() override {
        X11ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        StartDataAwareLibrary();
        FStarted = true;
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        if (Main) Main->Free();
        if (FStarted) FinishDataAwareLibrary();
    }
    void Press(HWND Wnd, unsigned long KeySymbol) {
        ASSERT_TRUE(X11SendKey(X(), Wnd, true, KeySymbol));
        ASSERT_TRUE(X11SendKey(X(), Wnd, false, KeySymbol));
    }
    TForm* Main = nullptr;
    TScriptedDialogs Answers;

private:
    bool FStarted = false;
};

}  // namespace

TEST_F(RichEditorX11, TextTypedAndMadeBoldComesBackWithOk) {
    Main = NewPlainForm("MainForm", 300, 200);
    auto* Edit = NewComponent<TwwDBRichEdit>(Main);
    Edit->SetBounds(8, 8, 280, 150);
    Edit->SetParent(Main);
    Main->Show();
    Application->ProcessMessages();

    // Once the editor's window is on the server: Bold clicked there, a word
    // typed there, and Escape, whose question about the changes says Yes.
    Answers.Then(mrYes);
    TwwRichEditForm* Shown = nullptr;
    int Step = 0, Idles = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
        Done = false;
        auto* F = dynamic_cast<TwwRichEditForm*>(Screen->ActiveForm());
        if (!F) return;
        if (++Idles > 5000) {
            F->SetModalResult(mrCancel);
            return;
        }
        UpdateWindow(F->Handle());
        uint32_t Pixel = 0;
        if (!X11ReadBack(X(), F->Handle(), 3, 3, Pixel)) return;
        Shown = F;
        if (Step == 0) {
            const TPoint P = F->BoldButton->ClientToScreen(TPoint(11, 11));
            // The X window shows the menu bar over the client area.
            const TPoint Client = F->ClientOrigin();
            const TPoint Origin(Client.x, Client.y - TMainMenu::BarHeight());
            X11SendButton(X(), F->Handle(), true, 1, P.x - Origin.x, P.y - Origin.y);
            X11SendButton(X(), F->Handle(), false, 1, P.x - Origin.x, P.y - Origin.y);
            ++Step;
        } else if (Step == 1 && F->BoldButton->Down()) {
            F->RichEdit1->SetFocus();
            for (unsigned long Key : {0x68ul, 0x6Ful, 0x6Cul, 0x61ul}) Press(F->Handle(), Key);
            ++Step;
        } else if (Step == 2 && F->RichEdit1->Text() == "hola") {
            Press(F->Handle(), KeyEscape);
            ++Step;
        }
    };
    const bool Ok = Edit->ExecuteEditor();
    Application->OnIdle = nullptr;

    ASSERT_NE(Shown, nullptr) << "the editor never showed on the server";
    EXPECT_NE(Shown, Main);
    EXPECT_EQ(Step, 3) << "the steps sent through the server did not all arrive";
    EXPECT_LT(Idles, 5000);
    EXPECT_TRUE(Ok);
    EXPECT_EQ(Answers.Texts(),
              std::vector<AnsiString>{"Changes have been made!  Do you wish to save your changes?"});
    EXPECT_EQ(Edit->Text(), "hola");
    ASSERT_FALSE(Edit->Document().Paragraph(0).Runs.empty());
    EXPECT_TRUE(Edit->Document().Paragraph(0).Runs[0].Format.Bold);
    EXPECT_TRUE(Edit->Modified());
}
