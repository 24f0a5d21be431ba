// The common dialogs as a user answers them with keys and clicks, and as a
// script answers them without showing them: find and replace (modeless),
// font, open and save, page setup.
#include <gtest/gtest.h>

#include <fstream>

#include "FormTestSupport.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Format.h"
#include "platform/sys/Paths.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FindDialog.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/PageSetupDialog.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/TempMachine.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class CommonDialogTest : public FormTest {
protected:
    // Puts Text in place of what the edit of that name holds, by keys.
    void Retype(TForm* D, const char* Name, const char* Text) {
        Ui.Click(D, Name);
        auto* E = static_cast<TEdit*>(Ui.Find(D, Name));
        PlayKeys(Ui, "{End}");
        for (size_t I = 0; I < E->Text().size(); ++I) PlayKeys(Ui, "{Back}");
        Ui.Type(Text);
    }
    TPrinterOverride UsePrinter{std::make_unique<TRecordingPrinter>(300)};
};

// --- find and replace ---

struct TSeen {
    AnsiString Event, Find, Replace;
    TFindOptions Options;
};

TEST_F(CommonDialogTest, TheFindDialogStaysOpenAndTellsEachPressWithItsOptions) {
    TFindDialog Dialog(nullptr);
    std::vector<TSeen> Seen;
    Dialog.OnFind = [&](TObject*) { Seen.push_back({"find", Dialog.FindText(), "", Dialog.Options()}); };
    int Closed = 0;
    Dialog.OnClose = [&](TObject*) { ++Closed; };
    Dialog.SetFindText("");
    ASSERT_TRUE(Dialog.Execute()) << "modeless: Execute comes back at once";
    Ui.RunUntilIdle();
    TForm* F = Dialog.Form();
    ASSERT_NE(F, nullptr);
    EXPECT_TRUE(Dialog.Showing());
    EXPECT_FALSE(Ui.Find(F, "FindNext")->Enabled()) << "nothing to look for yet";
    Ui.Type("casa");
    Ui.RunUntilIdle();
    EXPECT_TRUE(Ui.Find(F, "FindNext")->Enabled());
    PlayKeys(Ui, "{Enter}");
    Ui.Click(F, "MatchCase");
    Ui.Click(F, "Up");
    Ui.Click(F, "FindNext");
    Ui.RunUntilIdle();
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0].Find, "casa");
    EXPECT_EQ(Seen[0].Options, (TFindOptions{frDown, frFindNext}));
    EXPECT_EQ(Seen[1].Options, (TFindOptions{frFindNext, frMatchCase})) << "up, with case";
    EXPECT_TRUE(Dialog.Showing()) << "the dialog stays for the next press";
    PlayKeys(Ui, "{Esc}");
    Ui.RunUntilIdle();
    EXPECT_FALSE(Dialog.Showing());
    EXPECT_EQ(Closed, 1);
    // Options set by the program hide what they say.
    Dialog.SetOptions({frHideUpDown, frHideWholeWord, frDown});
    Dialog.Execute();
    Ui.RunUntilIdle();
    EXPECT_FALSE(Ui.Find(F, "Direction")->Visible());
    EXPECT_FALSE(Ui.Find(F, "WholeWord")->Visible());
    EXPECT_EQ(static_cast<TEdit*>(Ui.Find(F, "FindText"))->Text(), "casa");
}

TEST_F(CommonDialogTest, TheReplaceDialogTellsReplaceAndReplaceAllApart) {
    TReplaceDialog Dialog(nullptr);
    std::vector<TSeen> Seen;
    Dialog.OnFind = [&](TObject*) { Seen.push_back({"find", Dialog.FindText(), "", Dialog.Options()}); };
    Dialog.OnReplace = [&](TObject*) {
        Seen.push_back({"replace", Dialog.FindText(), Dialog.ReplaceText(), Dialog.Options()});
    };
    Dialog.SetFindText("gato");
    Dialog.Execute();
    Ui.RunUntilIdle();
    TForm* F = Dialog.Form();
    Retype(F, "ReplaceText", "perro");
    Ui.Click(F, "Replace");
    Ui.Click(F, "ReplaceAll");
    Ui.Click(F, "FindNext");
    Ui.RunUntilIdle();
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_EQ(Seen[0].Event, "replace");
    EXPECT_EQ(Seen[0].Find, "gato");
    EXPECT_EQ(Seen[0].Replace, "perro");
    EXPECT_EQ(Seen[0].Options, (TFindOptions{frDown, frReplace}));
    EXPECT_EQ(Seen[1].Options, (TFindOptions{frDown, frReplaceAll})) << "each press clears the others";
    EXPECT_EQ(Seen[2].Event, "find");
    EXPECT_EQ(Seen[2].Options, (TFindOptions{frDown, frFindNext}));
    EXPECT_FALSE(Ui.Find(F, "Direction")->Visible()) << "replacing always goes down";
}

TEST_F(CommonDialogTest, AScriptAnswersDialogsWithoutShowingThem) {
    TScriptedDialogScript Script;
    TReplaceDialog Replace(nullptr);
    std::vector<TSeen> Seen;
    Replace.OnReplace = [&](TObject*) {
        Seen.push_back({"replace", Replace.FindText(), Replace.ReplaceText(), Replace.Options()});
    };
    Script.Then([](TComponent* D) {
        auto* R = static_cast<TReplaceDialog*>(D);
        R->SetFindText("a");
        R->SetReplaceText("b");
        R->SetOptions(R->Options() + TFindOptions{frWholeWord});
        R->ClickReplaceAll();
        return true;
    });
    TFontDialog Font(nullptr);
    Script.Then([](TComponent* D) {
        static_cast<TFontDialog*>(D)->Font()->SetSize(20);
        return true;
    });
    EXPECT_TRUE(Replace.Execute());
    EXPECT_EQ(Replace.Form(), nullptr) << "never shown";
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Options, (TFindOptions{frDown, frWholeWord, frReplaceAll}));
    EXPECT_TRUE(Font.Execute());
    EXPECT_EQ(Font.Font()->Size(), 20);
    // With no answer left, the dialog shows as a form the keys answer.
    TColorDialog Colour(nullptr);
    Ui.Then([&] { PlayKeys(Ui, "{Esc}"); });
    EXPECT_FALSE(Colour.Execute());
    EXPECT_EQ(Script.Asked(), (std::vector<AnsiString>{"TReplaceDialog", "TFontDialog", "TColorDialog"}));
}

// --- font ---

TEST_F(CommonDialogTest, TheFontDialogOffersTheInstalledFacesAndShowsAnUnknownOneInRed) {
    TFontDialog Dialog(nullptr);
    Dialog.Font()->SetName("Arial");
    Dialog.Font()->SetSize(10);
    Dialog.Font()->SetColor(clBlack);
    TColor NameColour = clNone, UnknownColour = clNone;
    int Faces = 0;
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Faces = static_cast<TListBox*>(Ui.Find(D, "FontNames"))->Items()->Count();
        NameColour = static_cast<TEdit*>(Ui.Find(D, "FontName"))->Font()->Color();
        Retype(D, "FontName", "Sin Tal Fuente");
        Ui.RunUntilIdle();
        UnknownColour = static_cast<TEdit*>(Ui.Find(D, "FontName"))->Font()->Color();
        Ui.Click(D, "OK");
    });
    Ui.Then([&] {
        TForm* Box = Screen->ActiveForm();
        EXPECT_NE(Box->FindComponent("Message"), nullptr) << "OK with a face not installed is refused";
        Ui.Click(Box, "OK");
    });
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Retype(D, "FontName", "liberation serif");
        Retype(D, "FontSize", "14");
        auto* Style = static_cast<TListBox*>(Ui.Find(D, "FontStyle"));
        Style->SetItemIndex(2);  // Negrita
        Ui.Click(D, "Underline");
        static_cast<TComboBox*>(Ui.Find(D, "FontColor"))->SetItemIndex(9);  // Rojo
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(NameColour, clWindowText);
    EXPECT_EQ(UnknownColour, clRed);
    EXPECT_EQ(Faces, int(InstalledFontNames().size()));
    EXPECT_TRUE(IsFontInstalled("Liberation Serif")) << "fontconfig's families are offered";
    EXPECT_EQ(Dialog.Font()->Name(), "Liberation Serif") << "the face as the list spells it";
    EXPECT_EQ(Dialog.Font()->Size(), 14);
    EXPECT_EQ(Dialog.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(Dialog.Font()->Color(), clRed);
}

// --- open and save ---

class FileDialogTest : public CommonDialogTest {
protected:
    FileDialogTest() {
        std::filesystem::create_directories(Machine.DriveC() / "docs" / "sub");
        for (const char* Name : {"a.rtf", "b.txt", "c.doc"})
            std::ofstream(Machine.DriveC() / "docs" / Name) << "x";
    }
    std::vector<AnsiString> Listed(TForm* D) {
        std::vector<AnsiString> R;
        auto* L = static_cast<TListBox*>(Ui.Find(D, "Files"));
        for (int I = 0; I < L->Items()->Count(); ++I) R.push_back(L->Items()->Get(I));
        return R;
    }
    TTempMachine Machine{"filedialogs"};
    const char* Filter = "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT";
};

TEST_F(FileDialogTest, TheFilterChoosesTheFilesListedAndTheChoiceComesBackWhole) {
    TOpenDialog Dialog(nullptr);
    Dialog.SetFilter(Filter);
    Dialog.SetInitialDir("C:\\docs");
    Dialog.SetOptions({ofFileMustExist});
    std::vector<AnsiString> First, Second;
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        First = Listed(D);
        auto* Type = static_cast<TComboBox*>(Ui.Find(D, "FileType"));
        Type->SetItemIndex(1);
        Type->OnChange(Type);
        Second = Listed(D);
        Retype(D, "FileName", "nada.txt");
        Ui.Click(D, "OK");
    });
    Ui.Then([&] { Ui.Click(Screen->ActiveForm(), "OK"); });  // the file is not there
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Retype(D, "FileName", "b.txt");
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(First, (std::vector<AnsiString>{"[..]", "[sub]", "a.rtf"}));
    EXPECT_EQ(Second, (std::vector<AnsiString>{"[..]", "[sub]", "b.txt"}));
    EXPECT_TRUE(SameText(Dialog.FileName(), "C:\\docs\\b.txt")) << Dialog.FileName();
    EXPECT_EQ(Dialog.FilterIndex(), 2);
    EXPECT_EQ(TOpenDialog::ParseFilter(Filter).size(), 2u);
}

TEST_F(FileDialogTest, SavingAddsTheDefaultExtensionAndAsksBeforeOverwriting) {
    TSaveDialog Dialog(nullptr);
    Dialog.SetFilter(Filter);
    Dialog.SetDefaultExt("rtf");
    Dialog.SetFileName("C:\\docs\\a.rtf");
    Dialog.SetOptions({ofOverwritePrompt});
    Ui.Then([&] { Ui.Click(Screen->ActiveForm(), "OK"); });
    Ui.Then([&] {
        TForm* Box = Screen->ActiveForm();
        ASSERT_NE(Box->FindComponent("Message"), nullptr) << "a.rtf is there already";
        Ui.Click(Box, "No");  // not replaced: the dialog stays
    });
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        auto* Files = static_cast<TListBox*>(Ui.Find(D, "Files"));
        Files->SetItemIndex(Files->Items()->IndexOf("[sub]"));
        Files->OnDblClick(Files);
        Retype(D, "FileName", "nuevo");
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_TRUE(SameText(Dialog.FileName(), "C:\\docs\\sub\\nuevo.rtf")) << Dialog.FileName();
}

// --- page setup ---

TEST_F(CommonDialogTest, PageSetupShowsMarginsInTheUnitsAndKeepsThemPrintable) {
    TPageSetupDialog Dialog(nullptr);
    Dialog.SetUnits(pmMillimeters);
    Dialog.SetMarginLeft(1500);  // 1.5 cm
    Dialog.SetMarginRight(2000);
    Dialog.SetPaperCode(9);
    AnsiString Shown;
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Shown = static_cast<TEdit*>(Ui.Find(D, "LeftMargin"))->Text();
        Retype(D, "LeftMargin", "0,2");
        Retype(D, "TopMargin", "3");
        auto* Paper = static_cast<TComboBox*>(Ui.Find(D, "Paper"));
        Paper->SetItemIndex(0);  // Letter
        Ui.Click(D, "Landscape");
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(Shown, FloatToStr(1.5)) << "hundredths of a millimetre shown as centimetres";
    // The printer cannot print the outer quarter inch (0.635 cm).
    EXPECT_EQ(Dialog.MinMarginX(), 635);
    EXPECT_EQ(Dialog.MarginLeft(), 635) << "0.2 cm is inside the unprintable edge";
    EXPECT_EQ(Dialog.MarginTop(), 3000);
    EXPECT_EQ(Dialog.MarginRight(), 2000);
    EXPECT_EQ(Dialog.PaperCode(), 1);
    EXPECT_EQ(Dialog.Orientation(), poLandscape);

    // Margins that leave no paper are refused until mended.
    Dialog.SetUnits(pmInches);
    Dialog.SetMarginLeft(1000);
    Dialog.SetMarginRight(1000);
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Retype(D, "LeftMargin", "6");
        Retype(D, "RightMargin", "6");
        Ui.Click(D, "OK");
    });
    Ui.Then([&] { Ui.Click(Screen->ActiveForm(), "OK"); });
    Ui.Then([&] {
        TForm* D = Screen->ActiveForm();
        Retype(D, "RightMargin", "1");
        Ui.Click(D, "OK");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.MarginLeft(), 6000);
    EXPECT_EQ(Dialog.MinMarginX(), 250);
}

}  // namespace
