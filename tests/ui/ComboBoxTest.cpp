// The combo box: its kinds, keys, the mouse over its dropped list, the CB_
// messages and the notifications it sends.
#include <gtest/gtest.h>

#include <map>

#include "FormTestSupport.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/StdWindows.h"
#include "tests/support/ui/KeyScript.h"

namespace {

// A combo box that writes down the notifications it hears.
class TLoggingCombo : public TComboBox {
public:
    using TComboBox::TComboBox;
    std::vector<std::string> Heard;

protected:
    void CNCommand(TMessage& Message) override {
        static const std::map<WORD, const char*> Names = {
            {CBN_SELCHANGE, "SELCHANGE"}, {CBN_DROPDOWN, "DROPDOWN"},        {CBN_CLOSEUP, "CLOSEUP"},
            {CBN_SETFOCUS, "SETFOCUS"},   {CBN_KILLFOCUS, "KILLFOCUS"},      {CBN_EDITCHANGE, "EDITCHANGE"},
            {CBN_SELENDOK, "SELENDOK"},   {CBN_SELENDCANCEL, "SELENDCANCEL"}};
        auto It = Names.find(HiWord(Message.WParam));
        if (It != Names.end()) Heard.push_back(It->second);
        TComboBox::CNCommand(Message);
    }
};

class ComboBoxTest : public FormTest {
protected:
    ComboBoxTest() {
        Form = NewPlainForm("F", 400, 300);
        Combo = NewComponent<TLoggingCombo>(Form);
        Combo->SetName("C");
        Combo->SetBounds(10, 10, 150, 21);
        Combo->SetParent(Form);
        for (const char* S : {"Bilbao", "Barcelona", "Madrid", "Malaga", "Murcia"}) Combo->Items()->Add(S);
        Combo->OnChange = [this](TObject*) { ++Changes; };
        Next = Make<TEdit>(Form, Form, "Next", Bounds(10, 100, 100, 0));
    }
    void Show() {
        Form->Show();
        Combo->SetFocus();
        Ui.RunUntilIdle();
        Combo->Heard.clear();
    }
    void Keys(const char* Script) {
        PlayKeys(Ui, Script);
        Ui.RunUntilIdle();
    }
    TPoint ListItem(int Index) {
        TRect R;
        SendMessage(Combo->ListHandle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), PointerToLParam(&R));
        TPoint P(R.Left + 5, R.Top + R.Height() / 2);
        ClientToScreen(Combo->ListHandle(), P);
        return P;
    }
    TForm* Form;
    TLoggingCombo* Combo;
    TEdit* Next;
    int Changes = 0;
};

TEST_F(ComboBoxTest, ADropDownListStepsThroughItsItemsByKeys) {
    Combo->SetStyle(csDropDownList);
    Show();
    Keys("{Down}");
    EXPECT_EQ(Combo->ItemIndex(), 0);
    EXPECT_EQ(Combo->Text(), "Bilbao");
    Keys("{Down}{Down}{Up}");
    EXPECT_EQ(Combo->Text(), "Barcelona");
    EXPECT_EQ(Changes, 4);
    Keys("{End}");
    EXPECT_EQ(Combo->ItemIndex(), 4);
    Keys("b");
    EXPECT_EQ(Combo->Text(), "Bilbao") << "a letter takes the next item it begins, wrapping round";
    Keys("b");
    EXPECT_EQ(Combo->Text(), "Barcelona");
    EXPECT_EQ(Combo->Heard, (std::vector<std::string>{"SELCHANGE", "SELCHANGE", "SELCHANGE", "SELCHANGE",
                                                      "SELCHANGE", "SELCHANGE", "SELCHANGE"}));
}

TEST_F(ComboBoxTest, F4DropsTheListAndEscapeTakesItBackUnchanged) {
    Combo->SetStyle(csDropDownList);
    Combo->SetItemIndex(2);
    int Drops = 0, Closes = 0;
    Combo->OnDropDown = [&](TObject*) { ++Drops; };
    Combo->OnCloseUp = [&](TObject*) { ++Closes; };
    Show();
    Keys("{F4}");
    EXPECT_TRUE(Combo->DroppedDown());
    EXPECT_TRUE(IsWindowVisible(Combo->ListHandle()));
    Keys("{Down}{Down}");
    EXPECT_EQ(Combo->Text(), "Murcia") << "the keys choose while the list is down";
    Keys("{Esc}");
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(Combo->ListHandle()));
    EXPECT_EQ(Combo->Text(), "Madrid") << "Escape puts back the choice of before";
    Keys("{A+Down}{Down}{Enter}");
    EXPECT_EQ(Combo->Text(), "Malaga");
    EXPECT_EQ(Drops, 2);
    EXPECT_EQ(Closes, 2);
    EXPECT_EQ(Combo->Heard,
              (std::vector<std::string>{"DROPDOWN", "SELCHANGE", "SELCHANGE", "SELCHANGE", "SELENDCANCEL",
                                        "CLOSEUP", "DROPDOWN", "SELCHANGE", "SELENDOK", "CLOSEUP"}));
}

TEST_F(ComboBoxTest, TheMouseChoosesAnItemOfTheDroppedList) {
    Combo->SetStyle(csDropDownList);
    Show();
    TPoint Button = Combo->ClientToScreen(TPoint(Combo->Width() - 8, Combo->Height() / 2));
    Ui.Click(Button);
    Ui.RunUntilIdle();
    ASSERT_TRUE(Combo->DroppedDown()) << "the list stays down after the click on the button";
    Ui.MoveTo(ListItem(3));
    Ui.Click(ListItem(3));
    Ui.RunUntilIdle();
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->Text(), "Malaga");
    EXPECT_EQ(Changes, 1);
    // Pressed on the button, dragged to an item and released there.
    InputMouseMove(Button);
    InputMouseButton(0, true, Button);
    InputMouseMove(ListItem(1));
    InputMouseButton(0, false, ListItem(1));
    Ui.RunUntilIdle();
    EXPECT_EQ(Combo->Text(), "Barcelona");
    // A click elsewhere closes the list and changes nothing.
    Ui.Click(Button);
    Ui.RunUntilIdle();
    ASSERT_TRUE(Combo->DroppedDown());
    Ui.MoveTo(ListItem(4));
    Ui.Click(Form->ClientToScreen(TPoint(350, 250)));
    Ui.RunUntilIdle();
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->Text(), "Barcelona");
}

TEST_F(ComboBoxTest, TypingIntoADropDownFollowsTheItemsAndTheFormKeys) {
    int Defaults = 0;
    auto* Ok = Make<TTestButton>(Form, Form, "Ok", Bounds(200, 100, 75, 25));
    Ok->Default = true;
    Ok->OnClick = [&](TObject*) { ++Defaults; };
    std::vector<WORD> Down;
    Combo->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Down.push_back(Key); };
    std::string Pressed;
    Combo->OnKeyPress = [&](TObject*, char& Key) { Pressed += Key; };
    Show();
    EXPECT_TRUE(Combo->Focused());
    EXPECT_EQ(GetFocus(), Combo->EditHandle()) << "the edit part has the keyboard";
    Keys("mal");
    EXPECT_EQ(Combo->Text(), "mal");
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Combo->ItemIndex(), 3) << "the first item the text begins";
    EXPECT_EQ(Pressed, "mal") << "the combo box hears the keys of its edit part";
    EXPECT_EQ(Down.size(), 3u);
    Keys("{Down}");
    EXPECT_EQ(Combo->Text(), "Murcia");
    Keys("{Enter}");
    EXPECT_EQ(Defaults, 1) << "Return reaches the form's default button";
    Keys("{Tab}");
    EXPECT_TRUE(Next->Focused());
    EXPECT_EQ(Combo->Heard.back(), "KILLFOCUS");
}

TEST_F(ComboBoxTest, ItemsIgnoreCaseSortAndOutliveTheWindow) {
    EXPECT_EQ(Combo->Items()->IndexOf("MADRID"), 2);
    Combo->SetSorted(true);
    EXPECT_EQ(Combo->Items()->Strings(0), "Barcelona");
    Combo->SetItemIndex(2);
    Form->Show();
    EXPECT_EQ(Combo->Items()->IndexOf("malaga"), 3);
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "Madrid");
    Combo->SetStyle(csDropDownList);  // a new window
    EXPECT_EQ(Combo->Items()->Count(), 5);
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "Madrid");
    Combo->SetText("no such town");
    EXPECT_EQ(Combo->ItemIndex(), -1) << "a list kind shows only its items";
    EXPECT_EQ(Combo->Text(), "");
    Combo->SetText("murcia");
    EXPECT_EQ(Combo->Text(), "Murcia");
}

TEST_F(ComboBoxTest, ComboMessagesFindSizeAndPlaceTheList) {
    Combo->SetDropDownCount(3);
    Form->Show();
    EXPECT_EQ(Combo->Perform(CB_FINDSTRING, static_cast<WPARAM>(-1), PointerToLParam("ma")), 2);
    EXPECT_EQ(Combo->Perform(CB_FINDSTRING, 3, PointerToLParam("ma")), 2) << "from after index 3, wrapping";
    EXPECT_EQ(Combo->Perform(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), PointerToLParam("MURCIA")), 4);
    EXPECT_EQ(Combo->Perform(CB_FINDSTRING, static_cast<WPARAM>(-1), PointerToLParam("x")), CB_ERR);
    Combo->Perform(CB_SETDROPPEDWIDTH, 300);
    EXPECT_EQ(Combo->Perform(CB_GETDROPPEDWIDTH), 300);
    Combo->SetDroppedDown(true);
    TRect L;
    GetWindowRect(Combo->ListHandle(), L);
    TRect C;
    GetWindowRect(Combo->Handle(), C);
    EXPECT_EQ(L.Width(), 300);
    EXPECT_EQ(L.Top, C.Bottom) << "below the combo box";
    int ItemH = static_cast<int>(SendMessage(Combo->ListHandle(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(L.Height(), 3 * ItemH + 2) << "DropDownCount rows";
    Combo->SetDroppedDown(false);
    int Before = Combo->Height();
    Combo->Perform(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 30);
    EXPECT_EQ(Combo->Height(), 30 + 6) << "the field's height and the sunken edge are the combo box's";
    EXPECT_NE(Before, Combo->Height());
    EXPECT_EQ(Combo->Perform(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1)), 30);
    // Near the bottom of the work area the list opens above.
    Combo->SetTop(Screen->WorkAreaHeight() - 100 - 30);
    Combo->SetDroppedDown(true);
    GetWindowRect(Combo->ListHandle(), L);
    GetWindowRect(Combo->Handle(), C);
    EXPECT_EQ(L.Bottom, C.Top);
}

TEST_F(ComboBoxTest, OwnerDrawnItemsAndFieldAreTheControlsToDraw) {
    Combo->SetStyle(csOwnerDrawVariable);
    Combo->SetItemHeight(18);
    Combo->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 18 + Index; };
    std::vector<std::pair<int, bool>> Drawn;  // index, drawn as the field
    Combo->OnDrawItem = [&](TWinControl* C, int Index, TRect Rect, TOwnerDrawState State) {
        Drawn.emplace_back(Index, State.Contains(odComboBoxEdit));
        static_cast<TComboBox*>(C)->Canvas()->FillRect(Rect);
    };
    Combo->SetItemIndex(1);
    Show();
    ASSERT_FALSE(Drawn.empty());
    EXPECT_EQ(Drawn.back(), std::make_pair(1, true)) << "the field shows the chosen item";
    EXPECT_EQ(Combo->Perform(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1)), 18);
    EXPECT_EQ(SendMessage(Combo->ListHandle(), LB_GETITEMHEIGHT, 3, 0), 21) << "each item measured";
    Drawn.clear();
    Combo->SetDroppedDown(true);
    UpdateWindow(Combo->ListHandle());
    int ListItems = 0;
    for (auto& [Index, Field] : Drawn)
        if (!Field) ++ListItems;
    EXPECT_EQ(ListItems, 5);
}

TEST_F(ComboBoxTest, ASimpleComboShowsItsListUnderTheEdit) {
    Combo->SetStyle(csSimple);
    Combo->SetHeight(120);
    Show();
    EXPECT_EQ(Combo->Height(), 120) << "a simple combo box keeps its height";
    EXPECT_TRUE(IsWindowVisible(Combo->ListHandle()));
    EXPECT_EQ(GetParent(Combo->ListHandle()), Combo->Handle());
    Ui.Click(ListItem(2));
    Ui.RunUntilIdle();
    EXPECT_EQ(Combo->Text(), "Madrid");
    EXPECT_EQ(Combo->ItemIndex(), 2);
    Combo->SetDroppedDown(true);
    EXPECT_FALSE(Combo->DroppedDown()) << "it has nothing to drop";
}

}  // namespace
