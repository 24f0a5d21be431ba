// The number edit in a real X11 window: keys the X server sends open the
// calculator, compute a sum and bring the result back into the edit.
#include <gtest/gtest.h>

#include "platform/ui/Forms.h"
#include "reportview/OvcEdClc.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/ScreenTest.h"
#include "tests/support/ui/X11Support.h"

namespace {

using X11NumberEdit = X11ScreenTest;

TEST_F(X11NumberEdit, KeysComputeASumInTheCalculator) {
    TForm* F = NewPlainForm("F", 300, 200);
    NewComponent<TOvcController>(F);
    auto* n = NewComponent<TOvcNumberEdit>(F);
    n->SetBounds(20, 20, 120, 21);
    n->SetParent(F);
    F->Show();
    Application->ProcessMessages();
    n->SetFocus();
    Application->ProcessMessages();
    auto key = [&](unsigned long Sym) {
        // To whichever X window holds the focus now: the form's, or the calculator's once it is open.
        HWND target = n->Calculator()->Visible() ? n->Calculator()->Handle() : F->Handle();
        bool sent = X11SendKey(X(), target, true, Sym) && X11SendKey(X(), target, false, Sym);
        Application->ProcessMessages();
        return sent;
    };
    ASSERT_TRUE(key('1'));
    ASSERT_TRUE(key('2'));
    EXPECT_EQ(n->Text(), "12");
    ASSERT_TRUE(key(0xFFAB /* the keypad's + */));
    ASSERT_TRUE(n->Calculator()->Visible()) << "+ opens the calculator";
    ASSERT_TRUE(key('3'));
    ASSERT_TRUE(key('='));
    EXPECT_FALSE(n->Calculator()->Visible());
    EXPECT_EQ(n->Text(), "15");
    F->Free();
}

}  // namespace
