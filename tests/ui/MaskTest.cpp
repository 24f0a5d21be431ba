// Edit masks as rules, and the masked edit typing through them.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Mask.h"
#include "tests/support/ui/KeyScript.h"

namespace {

struct TFormatCase {
    const char* Mask;
    const char* EditText;  // as the edit shows it
    const char* Text;      // what Text gives for it
};

class MaskText : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(MaskText, TextOfAnEditTextFollowsTheSaveFieldAndDirection) {
    const TFormatCase& C = GetParam();
    TEditMask M(C.Mask);
    EXPECT_EQ(M.TextOf(C.EditText), C.Text) << C.Mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskText,
    ::testing::Values(TFormatCase{"99/99/0000;1;_", "12/05/1999", "12/05/1999"},
                      TFormatCase{"99/99/0000;0;_", "12/05/1999", "12051999"},
                      // Empty positions are blanks in the text; unused ones at the end go.
                      TFormatCase{"99/99/0000;1;_", "12/__/____", "12/  /    "},
                      TFormatCase{"99/99/0000;0;_", "12/__/____", "12"},
                      TFormatCase{"99/99/0000;0;_", "1_/__/___7", "1      7"},
                      // "!" fills from the right: unused blanks go at the start instead.
                      TFormatCase{"!9999;0;_", "__42", "42"}, TFormatCase{"!999-99;1;*", "**7-12", "  7-12"},
                      TFormatCase{"000-0000;1;*", "555-12**", "555-12  "},
                      // Escaped mask characters and the blank literal "_" are literals.
                      TFormatCase{"\\0\\L00;1;_", "0L42", "0L42"}, TFormatCase{"\\0\\L00;0;_", "0L42", "42"},
                      TFormatCase{"L_L;1;_", "A B", "A B"}));

TEST(EditMaskTest, ParsesItsFieldsAndPositions) {
    TEditMask M("!99/99/00;0;#");
    EXPECT_EQ(M.Length(), 8);
    EXPECT_TRUE(M.Reverse());
    EXPECT_FALSE(M.SaveLiterals());
    EXPECT_EQ(M.Blank(), '#');
    EXPECT_EQ(M.EmptyText(), "##/##/##");
    EXPECT_TRUE(M.IsLiteral(2));
    EXPECT_FALSE(M.IsRequired(0));
    EXPECT_TRUE(M.IsRequired(6));
    EXPECT_EQ(M.NextInput(2), 3);
    EXPECT_EQ(M.PrevInput(3), 1);
    EXPECT_EQ(M.PrevInput(0), -1);
    EXPECT_EQ(M.NextInput(8), 8);
    EXPECT_TRUE(TEditMask("").Empty());
    EXPECT_EQ(TEditMask("000").Blank(), '_') << "no third field: the underscore";
    EXPECT_TRUE(TEditMask("000").SaveLiterals());
}

TEST(EditMaskTest, PositionsTakeTheirKindOfCharacterInTheirCase) {
    struct TAccept {
        const char* Mask;
        char In;
        bool Ok;
        char Out;
    };
    for (const TAccept& A : std::initializer_list<TAccept>{{"0", '7', true, '7'},
                                                           {"0", 'x', false, 0},
                                                           {"9", ' ', false, 0},
                                                           {"#", '-', true, '-'},
                                                           {"#", '+', true, '+'},
                                                           {"#", '*', false, 0},
                                                           {"L", '\xF1', true, '\xF1'},
                                                           {"L", '1', false, 0},
                                                           {"A", '1', true, '1'},
                                                           {"A", '.', false, 0},
                                                           {"C", '.', true, '.'},
                                                           {">L", 'a', true, 'A'},
                                                           {">L", '\xF1', true, '\xD1'},
                                                           {"<L", 'Q', true, 'q'},
                                                           {"><L", 'q', true, 'q'},
                                                           {"<>L", 'Q', true, 'Q'}}) {
        TEditMask M(A.Mask);
        char C = A.In;
        EXPECT_EQ(M.Accepts(0, C), A.Ok) << A.Mask << " " << A.In;
        if (A.Ok) {
            EXPECT_EQ(C, A.Out) << A.Mask;
        }
    }
}

TEST(EditMaskTest, ATextWithItsLiteralsFillsTheSectionsBetweenThem) {
    EXPECT_EQ(TEditMask("99/99/0000;1;_").EditTextOf("1/5/1999"), "1_/5_/1999");
    EXPECT_EQ(TEditMask("!99/99/0000;1;_").EditTextOf("1/5/1999"), "_1/_5/1999");
    EXPECT_EQ(TEditMask("99/99/0000;0;_").EditTextOf("01021999"), "01/02/1999");
    EXPECT_EQ(TEditMask("!9999;0;_").EditTextOf("42"), "__42");
    EXPECT_EQ(TEditMask("00:00;1;_").EditTextOf("12:3"), "12:3_");
    EXPECT_EQ(FormatMaskText("000-0000;0;_", "5551234"), "5551234");
    EXPECT_EQ(FormatMaskText("000-0000;1;_", "555-1234"), "555-1234");
    EXPECT_EQ(FormatMaskText("", "anything"), "anything");
}

TEST(EditMaskTest, NormalizeKeepsWhatFitsAndPutsLiteralsBack) {
    TEditMask M("00-LL;1;_");
    EXPECT_EQ(M.Normalize("12-AB"), "12-AB");
    EXPECT_EQ(M.Normalize("1x+A"), "1_-A_");
    EXPECT_EQ(M.Normalize(""), "__-__");
}

TEST(EditMaskTest, ValidateFindsTheFirstEmptyRequiredPosition) {
    struct TValid {
        const char* Mask;
        const char* EditText;
        int Bad;
    };
    for (const TValid& V : std::initializer_list<TValid>{{"99/99/0000;1;_", "__/__/1999", -1},
                                                         {"99/99/0000;1;_", "12/05/19_9", 8},
                                                         {"00:00;1;_", "1 :30", 1},
                                                         {"CC;1;_", "a ", -1},
                                                         {"LL;1;_", "a1", 1},
                                                         {"aa;1;_", "__", -1}}) {
        int Bad = 99;
        EXPECT_EQ(TEditMask(V.Mask).Validate(V.EditText, Bad), V.Bad < 0) << V.Mask << " " << V.EditText;
        EXPECT_EQ(Bad, V.Bad) << V.Mask << " " << V.EditText;
    }
}

// --- the masked edit ---

struct TMaskKeys {
    const char* Mask;
    const char* Initial;  // set as Text
    const char* Keys;
    const char* EditText;
    int SelStart;
    int SelLength;
};

class MaskEditKeys : public FormTest, public ::testing::WithParamInterface<TMaskKeys> {};

TEST_P(MaskEditKeys, TypingGoesThroughTheMask) {
    const TMaskKeys& C = GetParam();
    TForm* F = NewPlainForm("F");
    auto* E = Make<TMaskEdit>(F, F, "E", Bounds(10, 10, 150, 0));
    E->SetEditMask(C.Mask);
    E->SetText(C.Initial);
    F->Show();
    E->SetFocus();
    Ui.RunUntilIdle();
    PlayKeys(Ui, C.Keys);
    Ui.RunUntilIdle();
    EXPECT_EQ(E->EditText(), C.EditText) << C.Keys;
    EXPECT_EQ(E->SelStart(), C.SelStart) << C.Keys;
    EXPECT_EQ(E->SelLength(), C.SelLength) << C.Keys;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MaskEditKeys,
    ::testing::Values(
        // Typing over the whole text clears it and fills from the start, skipping literals.
        TMaskKeys{"99/99/0000;1;_", "", "12051999", "12/05/1999", 10, 0},
        // The caret shows as the one character the next key overwrites.
        TMaskKeys{"99/99/0000;1;_", "", "1", "1_/__/____", 1, 1},
        TMaskKeys{"99/99/0000;1;_", "", "12", "12/__/____", 3, 1},
        // A literal typed where it comes moves past it.
        TMaskKeys{"99/99/0000;1;_", "", "1/5/", "1_/5_/____", 6, 1},
        // A character the position does not take changes nothing.
        TMaskKeys{"99/99/0000;1;_", "", "a", "__/__/____", 0, 1},
        TMaskKeys{"99/99/0000;1;_", "", "12{Back}", "1_/__/____", 1, 1},
        TMaskKeys{"99/99/0000;1;_", "", "123{Back}{Back}", "1_/__/____", 1, 1},
        TMaskKeys{"99/99/0000;1;_", "12/05/1999", "{Home}{Del}", "_2/05/1999", 0, 1},
        TMaskKeys{"99/99/0000;1;_", "12/05/1999", "{Home}{Right}{Right}", "12/05/1999", 3, 1},
        TMaskKeys{"99/99/0000;1;_", "12/05/1999", "{End}{Left}{Left}{Left}{Left}{Left}", "12/05/1999", 4, 1},
        TMaskKeys{"99/99/0000;1;_", "12/05/1999", "{End}", "12/05/1999", 10, 0},
        TMaskKeys{"99/99/0000;1;_", "12/05/1999", "{Home}{S+Right}{S+Right}{Del}", "__/05/1999", 0, 1},
        TMaskKeys{"99/99/0000;1;_", "12/05/1999", "{Home}{Right}{Right}7", "12/75/1999", 4, 1},
        // Letters in the case the mask asks for.
        TMaskKeys{">LL<ll;1;_", "", "abCD", "ABcd", 4, 0},
        TMaskKeys{"(999) 000-0000;1;_", "", "915551234", "(915) 551-234_", 13, 1}));

TEST_F(FormTest, EscapeInAMaskedEditPutsBackTheTextItHadOnEntry) {
    TForm* F = NewPlainForm("F");
    auto* E = Make<TMaskEdit>(F, F, "E", Bounds(10, 10, 150, 0));
    auto* Cancel = Make<TTestButton>(F, F, "Cancel", Bounds(10, 50, 75, 25));
    Cancel->Cancel = true;
    int Cancelled = 0;
    Cancel->OnClick = [&](TObject*) { ++Cancelled; };
    E->SetEditMask("99/99/0000;1;_");
    E->SetText("12/05/1999");
    F->Show();
    E->SetFocus();
    Ui.RunUntilIdle();
    PlayKeys(Ui, "3");
    Ui.RunUntilIdle();
    EXPECT_EQ(E->EditText(), "3_/__/____");
    PlayKeys(Ui, "{Esc}");
    Ui.RunUntilIdle();
    EXPECT_EQ(E->EditText(), "12/05/1999");
    EXPECT_FALSE(E->Modified());
    EXPECT_EQ(Cancelled, 0) << "the edit took the Escape for itself";
    PlayKeys(Ui, "{Esc}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Cancelled, 1) << "unchanged, Escape goes to the form";
}

TEST_F(FormTest, LeavingAnIncompleteMaskedEditIsRefused) {
    TScriptedDialogs Dialogs;
    TBeepRecorder Beeps;
    TForm* F = NewPlainForm("F");
    auto* E = Make<TMaskEdit>(F, F, "E", Bounds(10, 10, 150, 0));
    auto* Next = Make<TEdit>(F, F, "Next", Bounds(10, 50, 150, 0));
    E->SetEditMask("00:00;1;_");
    F->Show();
    E->SetFocus();
    Ui.RunUntilIdle();
    PlayKeys(Ui, "123{Tab}");
    Ui.RunUntilIdle();
    ASSERT_EQ(Dialogs.Texts().size(), 1u);
    EXPECT_EQ(Dialogs.Texts()[0], "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_TRUE(E->Focused());
    EXPECT_FALSE(Next->Focused());
    EXPECT_EQ(E->SelStart(), 4) << "the caret on the empty position";
    EXPECT_FALSE(Beeps.Beeps().empty());
    PlayKeys(Ui, "4{Tab}");
    Ui.RunUntilIdle();
    EXPECT_TRUE(Next->Focused());
    EXPECT_EQ(E->Text(), "12:34");
    EXPECT_EQ(Dialogs.Texts().size(), 1u);
}

TEST_F(FormTest, PastingIntoAMaskedEditFillsThePositionsFromTheCaret) {
    TForm* F = NewPlainForm("F");
    auto* E = Make<TMaskEdit>(F, F, "E", Bounds(10, 10, 150, 0));
    E->SetEditMask("99/99/0000;0;_");
    F->Show();
    E->SetFocus();
    Ui.RunUntilIdle();
    ClipboardSetText("31/1x/1999");
    PlayKeys(Ui, "{Home}{C+V}");
    Ui.RunUntilIdle();
    EXPECT_EQ(E->EditText(), "31/1_/1999") << "what a position does not take is left blank";
    EXPECT_TRUE(E->Modified());
    EXPECT_EQ(E->Text(), "311 1999");
    PlayKeys(Ui, "{Home}{S+End}{C+X}");
    Ui.RunUntilIdle();
    EXPECT_EQ(E->EditText(), "__/__/____");
    EXPECT_EQ(ClipboardGetText(), "31/1_/1999");
}

TEST_F(FormTest, ChangingTheMaskCarriesTheTypedCharactersOver) {
    TForm* F = NewPlainForm("F");
    auto* E = Make<TMaskEdit>(F, F, "E", Bounds(10, 10, 150, 0));
    E->SetText("12/05/1999");
    E->SetEditMask("99/99/0000;1;_");
    EXPECT_EQ(E->EditText(), "12/05/1999") << "a plain text is read as the masked text";
    E->SetEditMask("00-00-0000;0;*");
    EXPECT_EQ(E->EditText(), "12-05-1999");
    EXPECT_EQ(E->Text(), "12051999");
    E->SetEditMask("");
    EXPECT_EQ(E->Text(), "12051999");
    EXPECT_EQ(E->MaxLength(), 0);
    F->Show();
    E->SetEditMask("99/99/0000;1;_");
    E->RecreateWnd();
    EXPECT_EQ(E->EditText(), "12/05/1999") << "a new window shows the same text";
}

}  // namespace
