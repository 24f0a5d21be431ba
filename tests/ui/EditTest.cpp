// The edit, memo and masked edit driven by keys, mouse and messages.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/sys/Clipboard.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/StdWindows.h"
#include "tests/support/ui/KeyScript.h"

namespace {

struct TEditState {
    AnsiString Text;
    int SelStart;
    int SelLength;
    bool operator==(const TEditState&) const = default;
};

std::ostream& operator<<(std::ostream& S, const TEditState& E) {
    return S << '"' << E.Text << "\" sel " << E.SelStart << '+' << E.SelLength;
}

class EditTest : public FormTest {
protected:
    EditTest() {
        Form = NewPlainForm("F", 400, 300);
        Edit = Make<TEdit>(Form, Form, "E", Bounds(10, 10, 150, 0));
        Other = Make<TEdit>(Form, Form, "Other", Bounds(10, 50, 150, 0));
        ClipboardSetText("");
    }
    // Shows the form with the edit focused (its text all selected, as tabbing in does), then plays the keys.
    TEditState Play(TCustomEdit* E, const AnsiString& Initial, std::string_view Keys) {
        E->SetText(Initial);
        if (!Form->Visible()) Form->Show();
        E->SetFocus();
        Ui.RunUntilIdle();
        PlayKeys(Ui, Keys);
        Ui.RunUntilIdle();
        return {E->Text(), E->SelStart(), E->SelLength()};
    }
    TForm* Form;
    TEdit* Edit;
    TEdit* Other;
};

struct TKeyCase {
    const char* Initial;
    const char* Keys;
    TEditState Expected;
};

class EditKeys : public EditTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(EditKeys, KeysGiveTheTextAndSelection) {
    const TKeyCase& C = GetParam();
    EXPECT_EQ(Play(Edit, C.Initial, C.Keys), C.Expected) << C.Keys;
}

INSTANTIATE_TEST_SUITE_P(
    OneLine, EditKeys,
    ::testing::Values(
        // Tabbing in selects everything, and typing replaces it.
        TKeyCase{"hello", "x", {"x", 1, 0}}, TKeyCase{"", "abc", {"abc", 3, 0}},
        TKeyCase{"hello", "{Home}X", {"Xhello", 1, 0}}, TKeyCase{"hello", "{End}{Back}{Back}", {"hel", 3, 0}},
        TKeyCase{"hello", "{Home}{Del}", {"ello", 0, 0}},
        TKeyCase{"hello", "{Home}{Right}{S+Right}{S+Right}", {"hello", 1, 2}},
        TKeyCase{"hello", "{End}{S+Home}", {"hello", 0, 5}},
        TKeyCase{"hello", "{End}{S+Left}{S+Left}x", {"helx", 4, 0}},
        // Without Shift an arrow puts the caret at that end of the selection.
        TKeyCase{"hello", "{Home}{S+Right}{S+Right}{Left}", {"hello", 0, 0}},
        TKeyCase{"hello", "{Home}{S+Right}{S+Right}{Right}", {"hello", 2, 0}},
        // A one-line edit takes Up and Down as Left and Right.
        TKeyCase{"abc", "{End}{Up}", {"abc", 2, 0}}, TKeyCase{"abc", "{Home}{Down}", {"abc", 1, 0}},
        // Words: Ctrl+Right to the next word's start, Ctrl+Left to this word's.
        TKeyCase{"one two  three", "{Home}{C+Right}", {"one two  three", 4, 0}},
        TKeyCase{"one two  three", "{Home}{C+Right}{C+Right}", {"one two  three", 9, 0}},
        TKeyCase{"one two  three", "{End}{C+Left}", {"one two  three", 9, 0}},
        TKeyCase{"one two  three", "{End}{Left}{C+Left}{C+Left}", {"one two  three", 4, 0}},
        TKeyCase{"one two", "{Home}{C+S+Right}", {"one two", 0, 4}},
        // Undo takes a run of typing back at once; a second Undo brings it again.
        TKeyCase{"abc", "{End}de{C+Z}", {"abc", 3, 0}}, TKeyCase{"abc", "{End}de{C+Z}{C+Z}", {"abcde", 3, 2}},
        TKeyCase{"abc", "{End}{Back}{Back}{C+Z}", {"abc", 1, 2}},
        TKeyCase{"abc", "{End}d{Left}{Left}x{C+Z}", {"abcd", 2, 0}},
        // The clipboard: Ctrl+C/X/V and Ctrl+Ins, Shift+Ins, Shift+Del.
        TKeyCase{"hello", "{Home}{S+Right}{S+Right}{C+C}{End}{C+V}", {"hellohe", 7, 0}},
        TKeyCase{"hello", "{Home}{S+End}{C+X}{C+V}{C+V}", {"hellohello", 10, 0}},
        TKeyCase{"abc", "{Home}{S+Right}{C+Ins}{End}{S+Ins}", {"abca", 4, 0}},
        TKeyCase{"abc", "{Home}{S+Right}{S+Del}{End}{S+Ins}", {"bca", 3, 0}},
        // Nothing selected: copy and cut leave the clipboard alone.
        TKeyCase{"abc", "{End}{C+X}{C+V}", {"abc", 3, 0}}));

TEST_F(EditTest, MaxLengthLimitsTypingAndPastingButNotTheProgram) {
    Edit->SetMaxLength(4);
    EXPECT_EQ(Play(Edit, "", "abcdef"), (TEditState{"abcd", 4, 0}));
    ClipboardSetText("XYZ");
    EXPECT_EQ(Play(Edit, "ab", "{End}{C+V}"), (TEditState{"abXY", 4, 0})) << "a paste is cut to what fits";
    Edit->SetText("longer than four");
    EXPECT_EQ(Edit->Text(), "longer than four");
    EXPECT_EQ(Edit->Perform(EM_GETLIMITTEXT), 4);
}

TEST_F(EditTest, ReadOnlyMovesAndCopiesButNeverChanges) {
    Edit->SetReadOnly(true);
    ClipboardSetText("zz");
    EXPECT_EQ(Play(Edit, "hello", "{Home}{S+Right}{S+Right}x{Back}{Del}{C+X}{C+V}{C+Z}"),
              (TEditState{"hello", 0, 2}));
    EXPECT_EQ(ClipboardGetText(), "zz") << "cut copies nothing from a read-only edit";
    PlayKeys(Ui, "{C+C}");
    Ui.RunUntilIdle();
    EXPECT_EQ(ClipboardGetText(), "he");
    EXPECT_FALSE(Edit->Modified());
}

TEST_F(EditTest, CharCaseAppliesToTypingPastingAndText) {
    Edit->SetCharCase(ecUpperCase);
    ClipboardSetText("se\xF1or");
    EXPECT_EQ(Play(Edit, "abc", "{End}d{C+V}"), (TEditState{"ABCDSE\xD1OR", 9, 0}));
    Edit->SetCharCase(ecLowerCase);
    Edit->SetText("MiXeD");
    EXPECT_EQ(Edit->Text(), "mixed");
}

TEST_F(EditTest, APasswordShowsItsCharacterAndKeepsTheTextOffTheClipboard) {
    Edit->SetPasswordChar('*');
    ClipboardSetText("before");
    EXPECT_EQ(Play(Edit, "secret", "{Home}{S+End}{C+C}{C+X}"), (TEditState{"secret", 0, 6}));
    EXPECT_EQ(ClipboardGetText(), "before");
    EXPECT_EQ(Edit->Perform(EM_GETPASSWORDCHAR), '*');
}

TEST_F(EditTest, ModifiedFollowsTheUserAndChangeFiresForEveryChange) {
    int Changes = 0;
    Edit->OnChange = [&](TObject*) { ++Changes; };
    Form->Show();
    Edit->SetText("a");
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(Edit->Modified()) << "the program's text is not a change of the user";
    Play(Edit, "a", "{End}bc");
    EXPECT_EQ(Changes, 3);
    EXPECT_TRUE(Edit->Modified());
    Edit->SetModified(false);
    EXPECT_FALSE(Edit->Modified());
    PlayKeys(Ui, "{Left}{Home}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Changes, 3) << "moving the caret is no change";
}

TEST_F(EditTest, AutoSelectOnlyWhenEnteredByKeyboard) {
    Edit->SetText("hello");
    Other->SetText("world");
    Form->Show();
    Other->SetFocus();
    Ui.RunUntilIdle();
    PlayKeys(Ui, "{S+Tab}");
    Ui.RunUntilIdle();
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->SelLength(), 5) << "tabbing in selects the text";
    Other->SetFocus();
    Ui.RunUntilIdle();
    Ui.Click(Edit, TPoint(2, 5));
    Ui.RunUntilIdle();
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->SelLength(), 0) << "a click puts the caret where it lands";
    EXPECT_EQ(Edit->SelStart(), 0);
    Edit->SetAutoSelect(false);
    Other->SetFocus();
    PlayKeys(Ui, "{S+Tab}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Edit->SelLength(), 0);
}

TEST_F(EditTest, MouseDragSelectsAndDoubleClickTakesTheWord) {
    Edit->SetText("one two three");
    Form->Show();
    Ui.RunUntilIdle();
    int X2 = static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 2))));
    int X6 = static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 6))));
    // Press just right of the boundary before character 2, drag to just left of 6's.
    InputMouseMove(Edit->ClientToScreen(TPoint(X2 + 1, 5)));
    InputMouseButton(0, true, Edit->ClientToScreen(TPoint(X2 + 1, 5)));
    InputMouseMove(Edit->ClientToScreen(TPoint(X6 - 1, 5)));
    InputMouseButton(0, false, Edit->ClientToScreen(TPoint(X6 - 1, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Edit->SelStart(), 2);
    EXPECT_EQ(Edit->SelLength(), 4);
    Ui.DoubleClick(Edit->ClientToScreen(TPoint(X6, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Edit->SelText(), "two ") << "a word with the blanks after it";
}

TEST_F(EditTest, LongTextScrollsToKeepTheCaretInView) {
    Form->Show();
    Play(Edit, "", "The students of the course are divided into groups by subject");
    int Caret = Edit->SelStart();
    TRect R;
    Edit->Perform(EM_GETRECT, 0, PointerToLParam(&R));
    int XCaret = static_cast<int16_t>(
        LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, static_cast<WPARAM>(Caret)))));
    int XStart = static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 0))));
    EXPECT_GE(XCaret, R.Left);
    EXPECT_LT(XCaret, R.Right);
    EXPECT_LT(XStart, R.Left) << "the start of the text scrolled out at the left";
    PlayKeys(Ui, "{Home}");
    Ui.RunUntilIdle();
    EXPECT_EQ(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 0)))), R.Left);
}

TEST_F(EditTest, EditMessagesReadAndSetTheSelectionAndFormattingRectangle) {
    Form->Show();
    Edit->SetText("abcdef");
    int Start = -1, End = -1;
    Edit->Perform(EM_SETSEL, 4, 1);  // anchor 4, caret 1
    LRESULT Packed = Edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), PointerToLParam(&End));
    EXPECT_EQ(Start, 1);
    EXPECT_EQ(End, 4);
    EXPECT_EQ(LoWord(static_cast<uintptr_t>(Packed)), 1);
    EXPECT_EQ(HiWord(static_cast<uintptr_t>(Packed)), 4);
    Edit->Perform(EM_REPLACESEL, 1, PointerToLParam("XY"));
    EXPECT_EQ(Edit->Text(), "aXYef");
    EXPECT_TRUE(Edit->Modified());
    EXPECT_EQ(Edit->Perform(EM_CANUNDO), 1);
    Edit->Perform(WM_UNDO);
    EXPECT_EQ(Edit->Text(), "abcdef");
    Edit->Perform(EM_SETSEL, 0, -1);
    EXPECT_EQ(Edit->SelLength(), 6);
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Edit->SelLength(), 0) << "a start of -1 takes the selection away";
    TRect Set(3, 2, 100, 18), Got;
    Edit->Perform(EM_SETRECTNP, 0, PointerToLParam(&Set));
    Edit->Perform(EM_GETRECT, 0, PointerToLParam(&Got));
    EXPECT_EQ(Got, Set);
    EXPECT_EQ(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 0)))), 3)
        << "a one-line edit has no margins";
    Edit->Perform(EM_SETMARGINS, EC_LEFTMARGIN, MakeLParam(4, 0));
    EXPECT_EQ(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Edit->Perform(EM_POSFROMCHAR, 0)))), 7);
    EXPECT_EQ(Edit->Perform(EM_GETMARGINS), MakeLParam(4, 0));
    char Line[16] = {};
    Line[0] = 16;
    EXPECT_EQ(Edit->Perform(EM_GETLINE, 0, PointerToLParam(Line)), 6);
    EXPECT_EQ(AnsiString(Line, 6), "abcdef");
}

TEST_F(EditTest, ThePropertiesSurviveANewWindow) {
    Form->Show();
    Play(Edit, "kept", "{End}!{Home}{S+Right}");
    ASSERT_TRUE(Edit->Modified());
    Edit->SetBorderStyle(bsNone);  // a new window
    EXPECT_EQ(Edit->Text(), "kept!");
    EXPECT_TRUE(Edit->Modified());
    Edit->SetMaxLength(5);
    Edit->SetBorderStyle(bsSingle);
    EXPECT_EQ(Edit->Perform(EM_GETLIMITTEXT), 5);
}

TEST_F(EditTest, AutoSizeFollowsTheFont) {
    int Small = Edit->Height();
    Edit->Font()->SetSize(20);
    EXPECT_GT(Edit->Height(), Small + 10);
    Edit->SetAutoSize(false);
    Edit->SetHeight(30);
    Edit->Font()->SetSize(8);
    EXPECT_EQ(Edit->Height(), 30);
}

// --- the memo ---

class MemoTest : public EditTest {
protected:
    MemoTest() { Memo = Make<TMemo>(Form, Form, "M", Bounds(10, 100, 200, 100)); }
    TMemo* Memo;
};

TEST_F(MemoTest, LinesAreTheTextsLines) {
    Memo->Lines()->Add("uno");
    Memo->Lines()->Add("dos");
    EXPECT_EQ(Memo->Text(), "uno\r\ndos\r\n");
    EXPECT_EQ(Memo->Lines()->Count(), 2);
    Memo->Lines()->Insert(1, "medio");
    Memo->Lines()->Delete(0);
    Memo->Lines()->SetStrings(1, "DOS");
    EXPECT_EQ(Memo->Text(), "medio\r\nDOS\r\n");
    Memo->SetText("a\r\nb");
    EXPECT_EQ(Memo->Lines()->Count(), 2);
    EXPECT_EQ(Memo->Lines()->Strings(1), "b");
    Memo->Lines()->Add("c");
    EXPECT_EQ(Memo->Text(), "a\r\nb\r\nc");
}

TEST_F(MemoTest, KeysMoveByLinesAndReturnBreaksTheLine) {
    Memo->SetWordWrap(false);
    EXPECT_EQ(Play(Memo, "abcd\r\nxy\r\nabcdef", "{C+Home}{End}{Down}"),
              (TEditState{"abcd\r\nxy\r\nabcdef", 8, 0}))
        << "down from column 4 stops at the end of a shorter line";
    EXPECT_EQ(Play(Memo, "abcd\r\nxy\r\nabcdef", "{C+Home}{End}{Down}{Down}"),
              (TEditState{"abcd\r\nxy\r\nabcdef", 14, 0}))
        << "and keeps the column it came from";
    EXPECT_EQ(Play(Memo, "ab", "{C+End}{Enter}cd"), (TEditState{"ab\r\ncd", 6, 0}));
    EXPECT_EQ(Play(Memo, "ab\r\ncd", "{C+End}{Back}{Back}{Back}"), (TEditState{"ab", 2, 0}))
        << "a line break goes with one Backspace";
    EXPECT_EQ(Play(Memo, "ab\r\ncd", "{C+Home}{End}{Right}"), (TEditState{"ab\r\ncd", 4, 0}));
    EXPECT_EQ(Memo->CaretPos(), TPoint(0, 1));
}

// A text cut to MaxLength never keeps half of a line break.
TEST_F(MemoTest, MaxLengthNeverCutsALineBreakInTwo) {
    struct {
        int MaxLength;
        const char* Initial;
        const char* Pasted;
        const char* Keys;
        const char* Expected;
    } Cases[] = {
        {4, "x", "ab\r\ncd", "{C+End}{C+V}", "xab"},
        {5, "x", "ab\r\ncd", "{C+End}{C+V}", "xab\r\n"},
        {6, "x", "ab\r\ncd", "{C+End}{C+V}", "xab\r\nc"},
        {3, "", "\r\n\r\n", "{C+V}", "\r\n"},
        {1, "", "\r\nab", "{C+V}", ""},
        {3, "ab", "", "{C+End}{Enter}", "ab"},
        {4, "ab", "", "{C+End}{Enter}", "ab\r\n"},
    };
    for (const auto& C : Cases) {
        Memo->SetMaxLength(C.MaxLength);
        ClipboardSetText(C.Pasted);
        EXPECT_EQ(Play(Memo, C.Initial, C.Keys).Text, C.Expected) << C.MaxLength << " " << C.Keys;
    }
}

TEST_F(MemoTest, WordWrapBreaksLongLinesAtBlanks) {
    Memo->SetBounds(10, 100, 80, 100);
    Memo->SetText("uno dos tres cuatro cinco seis");
    Form->Show();
    LRESULT Wrapped = Memo->Perform(EM_GETLINECOUNT);
    EXPECT_GT(Wrapped, 1);
    EXPECT_EQ(Memo->Lines()->Count(), 1) << "Lines are the typed lines, not the rows shown";
    // Each row shown starts at a word.
    for (LRESULT L = 1; L < Wrapped; ++L) {
        LRESULT Start = Memo->Perform(EM_LINEINDEX, static_cast<WPARAM>(L));
        EXPECT_EQ(Memo->Text()[static_cast<size_t>(Start) - 1], ' ') << "row " << L;
    }
    Memo->SetWordWrap(false);
    EXPECT_EQ(Memo->Perform(EM_GETLINECOUNT), 1);
}

TEST_F(MemoTest, ReturnAndTabGoToTheFormUnlessWanted) {
    int Defaults = 0;
    auto* OkButton = Make<TTestButton>(Form, Form, "Ok", Bounds(250, 10, 75, 25));
    OkButton->Default = true;
    OkButton->OnClick = [&](TObject*) { ++Defaults; };
    EXPECT_EQ(Play(Memo, "", "a{Enter}b"), (TEditState{"a\r\nb", 4, 0}));
    EXPECT_EQ(Defaults, 0);
    Memo->SetWantReturns(false);
    EXPECT_EQ(Play(Memo, "", "a{Enter}b"), (TEditState{"ab", 2, 0}));
    EXPECT_EQ(Defaults, 1) << "Return pressed the default button";
    Memo->SetWantTabs(true);
    EXPECT_EQ(Play(Memo, "", "a{Tab}b"), (TEditState{"a\tb", 3, 0}));
    Memo->SetWantTabs(false);
    Play(Memo, "", "{Tab}");
    EXPECT_FALSE(Memo->Focused());
}

TEST_F(MemoTest, LineMessagesCountInTheLinesShown) {
    Memo->SetWordWrap(false);
    Memo->SetText("first\r\nsecond\r\nthird");
    Form->Show();
    EXPECT_EQ(Memo->Perform(EM_GETLINECOUNT), 3);
    EXPECT_EQ(Memo->Perform(EM_LINEINDEX, 2), 15);
    EXPECT_EQ(Memo->Perform(EM_LINEFROMCHAR, 9), 1);
    EXPECT_EQ(Memo->Perform(EM_LINELENGTH, 9), 6);
    EXPECT_EQ(Memo->Perform(EM_LINEINDEX, 3), -1);
    char Line[8] = {};
    Line[0] = 3;  // room for three characters
    EXPECT_EQ(Memo->Perform(EM_GETLINE, 1, PointerToLParam(Line)), 3);
    EXPECT_EQ(AnsiString(Line, 3), "sec");
}

}  // namespace
