// The print dialog as a user answers it: the printer, the copies, all pages
// or a range of them, and what it refuses.
#include <gtest/gtest.h>

#include <functional>

#include "FormTestSupport.h"
#include "platform/gfx/Printers.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class PrintDialogTest : public FormTest {
protected:
    PrintDialogTest() {
        Dialog.SetMinPage(1);
        Dialog.SetMaxPage(5);
        Dialog.SetFromPage(1);
        Dialog.SetToPage(5);
    }
    // Puts Text in place of what the edit of that name holds, by keys.
    void Retype(TForm* D, const char* Name, const char* Text) {
        Ui.Click(D, Name);
        PlayKeys(Ui, "{End}{Back}{Back}{Back}");
        Ui.Type(Text);
    }
    TPrinterOverride UsePrinter{std::make_unique<TRecordingPrinter>(30)};
    TPrintDialog Dialog{nullptr};
};

TEST_F(PrintDialogTest, ItAnswersThePagesAndCopiesChosen) {
    struct Case {
        const char* What;
        std::function<void(TForm*)> Answer;
        bool Confirmed;
        TPrintRange Range;
        int From, To, Copies;
    } Cases[] = {
        {"OK at once", [&](TForm* D) { Ui.Click(D, "OK"); }, true, prAllPages, 1, 5, 1},
        {"Enter", [&](TForm*) { PlayKeys(Ui, "{Enter}"); }, true, prAllPages, 1, 5, 1},
        {"a range and copies",
         [&](TForm* D) {
             Retype(D, "FromPage", "2");
             Retype(D, "ToPage", "4");
             Retype(D, "Copies", "3");
             Ui.Click(D, "OK");
         },
         true, prPageNums, 2, 4, 3},
        {"a range, then all pages again",
         [&](TForm* D) {
             Retype(D, "FromPage", "2");
             Ui.Click(D, "AllPages");
             Ui.Click(D, "OK");
         },
         true, prAllPages, 1, 5, 1},
        {"Cancel", [&](TForm* D) { Ui.Click(D, "Cancel"); }, false, prAllPages, 1, 5, 1},
        {"Escape after typing",
         [&](TForm* D) {
             Retype(D, "FromPage", "3");
             PlayKeys(Ui, "{Esc}");
         },
         false, prAllPages, 1, 5, 1},
    };
    for (const Case& C : Cases) {
        Dialog.SetPrintRange(prAllPages);
        Dialog.SetFromPage(1);
        Dialog.SetToPage(5);
        Dialog.SetCopies(1);
        Ui.Then([&] {
            TForm* D = Screen->ActiveForm();
            ASSERT_NE(D, nullptr);
            auto* Printers = static_cast<TComboBox*>(Ui.Find(D, "Printer"));
            EXPECT_EQ(Printers->Text(), "Recording printer");
            C.Answer(D);
        });
        EXPECT_EQ(Dialog.Execute(), C.Confirmed) << C.What;
        EXPECT_EQ(Dialog.PrintRange(), C.Range) << C.What;
        EXPECT_EQ(Dialog.FromPage(), C.From) << C.What;
        EXPECT_EQ(Dialog.ToPage(), C.To) << C.What;
        EXPECT_EQ(Dialog.Copies(), C.Copies) << C.What;
        EXPECT_EQ(Ui.StepsLeft(), 0u) << C.What;
    }
}

// A range the document does not have, or upside down, is refused with a
// message and the dialog stays until the user mends it.
TEST_F(PrintDialogTest, ARangeOutsideThePagesIsRefusedAndTheDialogStays) {
    for (auto [From, To] :
         {std::pair<const char*, const char*>{"0", "3"}, {"2", "6"}, {"4", "2"}, {"x", "3"}}) {
        Ui.Then([&, From = From, To = To] {
            TForm* D = Screen->ActiveForm();
            Retype(D, "FromPage", From);
            Retype(D, "ToPage", To);
            Ui.Click(D, "OK");
        });
        Ui.Then([&] {
            TForm* D = Screen->ActiveForm();
            EXPECT_EQ(static_cast<TControl*>(D->FindComponent("Message")) != nullptr, true)
                << "the refusal is a message box over the dialog";
            Ui.Click(D, "OK");
        });
        Ui.Then([&] {
            TForm* D = Screen->ActiveForm();
            ASSERT_NE(D->FindComponent("FromPage"), nullptr) << "back in the dialog";
            Retype(D, "FromPage", "3");
            Retype(D, "ToPage", "5");
            Ui.Click(D, "OK");
        });
        ASSERT_TRUE(Dialog.Execute()) << From << ".." << To;
        EXPECT_EQ(Dialog.PrintRange(), prPageNums);
        EXPECT_EQ(Dialog.FromPage(), 3);
        EXPECT_EQ(Dialog.ToPage(), 5);
    }
}

// A document whose pages are not known offers all pages only.
TEST_F(PrintDialogTest, WithoutKnownPagesOnlyAllPagesAreOffered) {
    TPrintDialog Unknown(nullptr);
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        for (const char* Name : {"PageNums", "FromPage", "ToPage"})
            EXPECT_FALSE(Ui.Find(D, Name)->Enabled()) << Name;
        EXPECT_TRUE(static_cast<TRadioButton*>(Ui.Find(D, "AllPages"))->Checked());
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Unknown.Execute());
    EXPECT_EQ(Unknown.PrintRange(), prAllPages);
}

}  // namespace
