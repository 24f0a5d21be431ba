// Menu items, popup menus by keys and mouse, short cuts while a control has
// the focus, and menus read from a form.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/ui/KeyScript.h"

namespace {

TEST(ShortCutTest, TextsReadAndWriteTheKeysMenusShow) {
    struct TCase {
        TShortCut Key;
        const char* Text;
    };
    for (const TCase& C :
         std::initializer_list<TCase>{{VK_INSERT, "Ins"},
                                      {TShortCut(scCtrl | 'S'), "Ctrl+S"},
                                      {TShortCut(scCtrl | 'R'), "Ctrl+R"},
                                      {TShortCut(scShift | int(VK_F4)), "Shift+F4"},
                                      {TShortCut(int(scCtrl) | int(scAlt) | int(VK_DELETE)), "Ctrl+Alt+Del"},
                                      {TShortCut(int(scShift) | int(scCtrl) | '7'), "Shift+Ctrl+7"},
                                      {VK_F12, "F12"},
                                      {VK_RETURN, "Enter"},
                                      {TShortCut(scAlt | int(VK_BACK)), "Alt+BkSp"},
                                      {VK_PRIOR, "PgUp"}}) {
        EXPECT_EQ(ShortCutToText(C.Key), C.Text);
        EXPECT_EQ(TextToShortCut(C.Text), C.Key) << C.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+s"), scCtrl | 'S');
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
    EXPECT_EQ(ShortCutToText(TShortCut(scCtrl | int(VK_SHIFT))), "") << "a key with no name has no text";
}

class MenuTest : public FormTest {
protected:
    MenuTest() {
        Main = NewPlainForm("Main", 300, 200);
        Menu = NewComponent<TPopupMenu>(Main);
        Inserta = Item("&Insertar l\xEDnea", VK_INSERT);
        Item("-", 0);
        Suprime = Item("&Suprimir l\xEDnea", scCtrl | 'S');
        Recupera = Item("&Recuperar l\xEDnea", scCtrl | 'R');
        Suprime->SetEnabled(false);
        Screen1 = NewPlainForm("Screen1", 300, 200);
        Screen1->SetBounds(400, 100, 300, 200);
        Grid = Make<TEdit>(Screen1, Screen1, "Grid", Bounds(10, 10, 200, 0));
        Grid->SetPopupMenu(Menu);
        Other = Make<TEdit>(Screen1, Screen1, "Other", Bounds(10, 50, 200, 0));
    }
    TMenuItem* Item(const char* Caption, TShortCut Key) {
        auto* I = NewComponent<TMenuItem>(Main);
        I->SetCaption(Caption);
        I->SetShortCut(Key);
        I->OnClick = [this](TObject* Sender) {
            Clicked.push_back(static_cast<TMenuItem*>(Sender)->Caption());
        };
        Menu->Items()->Add(I);
        return I;
    }
    // Pops the menu up with the keys the user presses while it shows.
    void PopupWithKeys(const char* Keys) {
        if (!Screen1->Visible()) Screen1->Show();
        Ui.Then([this, Keys] { PlayKeys(Ui, Keys); });
        Menu->Popup(100, 100);
        Ui.RunUntilIdle();
    }
    TForm* Main;
    TPopupMenu* Menu;
    TMenuItem *Inserta, *Suprime, *Recupera;
    TForm* Screen1;
    TEdit* Grid;
    TEdit* Other;
    std::vector<AnsiString> Clicked;
};

TEST_F(MenuTest, KeysMoveThroughTheItemsAndReturnChoosesOne) {
    Screen1->Show();
    Grid->SetFocus();
    PopupWithKeys("{Down}{Down}{Enter}{Down}{Enter}");
    EXPECT_EQ(Clicked, std::vector<AnsiString>{"&Recuperar l\xEDnea"})
        << "the line is passed over; Return on the disabled item leaves the menu open";
    EXPECT_TRUE(Grid->Focused()) << "the focus never left the control";
    EXPECT_EQ(Grid->Text(), "") << "no key reached the control";
    PopupWithKeys("{Up}{Up}{Up}{Enter}");
    EXPECT_EQ(Clicked.back(), "&Insertar l\xEDnea") << "Up wraps round from the top";
}

TEST_F(MenuTest, AnUnderlinedLetterChoosesAndEscapeLeaves) {
    PopupWithKeys("r");
    EXPECT_EQ(Clicked, std::vector<AnsiString>{"&Recuperar l\xEDnea"});
    PopupWithKeys("s{Esc}");
    EXPECT_EQ(Clicked.size(), 1u) << "a disabled item is not chosen";
    PopupWithKeys("{Esc}");
    EXPECT_EQ(Clicked.size(), 1u);
}

TEST_F(MenuTest, TheClickRunsOnceTheMenuHasClosed) {
    bool OpenDuringClick = true;
    bool Popping = false;
    Recupera->OnClick = [&](TObject*) { OpenDuringClick = Popping; };
    Screen1->Show();
    Ui.Then([this] { PlayKeys(Ui, "r"); });
    Popping = true;
    Menu->Popup(50, 50);
    Popping = false;
    Ui.RunUntilIdle();
    EXPECT_FALSE(OpenDuringClick);
}

TEST_F(MenuTest, TheMouseChoosesAnItemAndAClickElsewhereLeaves) {
    Screen1->Show();
    HWND MenuWnd = nullptr;
    Ui.Then([&] {
        MenuWnd = GetCapture();
        TRect R;
        GetWindowRect(MenuWnd, R);
        // The fourth row: Recuperar. Rows start 2 pixels down; a line is 8 high.
        int Row = (R.Height() - 4 - 8) / 3;
        TPoint P(R.Left + 20, R.Top + 2 + Row + 8 + Row + Row / 2);
        Ui.MoveTo(P);
        Ui.Click(P);
    });
    Menu->Popup(20, 20);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, std::vector<AnsiString>{"&Recuperar l\xEDnea"});
    EXPECT_FALSE(IsWindow(MenuWnd)) << "the menu's window is gone";
    Ui.Then([this] { Ui.Click(TPoint(900, 700)); });
    Menu->Popup(20, 20);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 1u);
}

TEST_F(MenuTest, ShortCutsWorkWhileAControlNamingTheMenuHasTheFocus) {
    Screen1->Show();
    Grid->SetFocus();
    PlayKeys(Ui, "{Ins}{C+R}{C+S}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, (std::vector<AnsiString>{"&Insertar l\xEDnea", "&Recuperar l\xEDnea"}));
    EXPECT_EQ(Grid->Text(), "") << "the keys went to the menu, not into the control";
    Other->SetFocus();
    PlayKeys(Ui, "{C+R}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 2u) << "a control without the menu keeps the keys";
    // A parent that names the menu serves its children too.
    auto* Panel = Make<TGroupBox>(Screen1, Screen1, "Panel", Bounds(10, 100, 200, 80));
    auto* Inner = Make<TEdit>(Screen1, Panel, "Inner", Bounds(10, 20, 100, 0));
    Panel->SetPopupMenu(Menu);
    Inner->SetFocus();
    PlayKeys(Ui, "{Ins}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 3u);
    Recupera->SetVisible(false);
    PlayKeys(Ui, "{C+R}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 3u) << "a hidden item has no short cut";
}

TEST_F(MenuTest, ARightClickPopsUpTheControlsMenu) {
    int Popups = 0;
    Menu->OnPopup = [&](TObject*) { ++Popups; };
    Screen1->Show();
    Ui.Then([this] { PlayKeys(Ui, "{Esc}"); });
    Ui.Click(Grid, TPoint(10, 5), mbRight);
    Ui.RunUntilIdle();
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(Menu->PopupComponent(), Grid);
    EXPECT_EQ(Menu->PopupPoint(), Grid->ClientToScreen(TPoint(10, 5)));
    Menu->SetAutoPopup(false);
    Ui.Click(Grid, TPoint(10, 5), mbRight);
    Ui.RunUntilIdle();
    EXPECT_EQ(Popups, 1);
}

TEST_F(MenuTest, ItemsAreBuiltAndRearrangedAtRunTime) {
    TMenuItem* Root = Menu->Items();
    EXPECT_EQ(Root->Count(), 4);
    EXPECT_EQ(Root->Find("suprimir l\xCDnea"), Suprime) << "found without the & and regardless of case";
    Recupera->SetMenuIndex(0);
    EXPECT_EQ(Root->IndexOf(Recupera), 0);
    EXPECT_EQ(Inserta->MenuIndex(), 1);
    EXPECT_EQ(Menu->FindItem(scCtrl | 'R', fkShortCut), Recupera);
    EXPECT_EQ(Menu->FindItem(Inserta->Command(), fkCommand), Inserta);
    auto* A = NewComponent<TMenuItem>(Main);
    auto* B = NewComponent<TMenuItem>(Main);
    for (TMenuItem* I : {A, B}) {
        I->SetRadioItem(true);
        I->SetGroupIndex(3);
        Root->Add(I);
    }
    A->SetChecked(true);
    B->SetChecked(true);
    EXPECT_FALSE(A->Checked()) << "one radio item of a group is checked";
    Root->Remove(B);
    EXPECT_EQ(B->Parent(), nullptr);
    B->Free();
    A->Free();
    EXPECT_EQ(Root->Count(), 4) << "a freed item leaves its menu";
    EXPECT_THROW(Root->Items(9), EListError);
}

TEST_F(MenuTest, AFormReadsAMenuWithItsItems) {
    TForm* F = TForm::CreateNew(Application);
    ReadComponentFromText(F, R"(object F: TForm
  Left = 0
  Top = 0
  Width = 200
  Height = 100
  object E: TEdit
    Left = 8
    Top = 8
    Width = 100
    Height = 21
    PopupMenu = PopupMenu1
    TabOrder = 0
  end
  object PopupMenu1: TPopupMenu
    object Inserta: TMenuItem
      Caption = '&Insertar'
      ShortCut = 45
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object Sub: TMenuItem
      Caption = 'M'#225's'
      object Hondo: TMenuItem
        Caption = 'Hondo'
        Checked = True
      end
    end
  end
end
)");
    auto* Menu = dynamic_cast<TPopupMenu*>(F->FindComponent("PopupMenu1"));
    ASSERT_NE(Menu, nullptr);
    ASSERT_EQ(Menu->Items()->Count(), 3);
    EXPECT_EQ(Menu->Items()->Items(0)->ShortCut(), VK_INSERT);
    EXPECT_TRUE(Menu->Items()->Items(1)->IsLine());
    EXPECT_EQ(Menu->Items()->Items(2)->Caption(), "M\xE1s");
    ASSERT_EQ(Menu->Items()->Items(2)->Count(), 1);
    EXPECT_TRUE(Menu->Items()->Items(2)->Items(0)->Checked());
    EXPECT_EQ(static_cast<TEdit*>(F->FindComponent("E"))->PopupMenu(), Menu);
    // Written back, each item stands inside its parent.
    AnsiString Written = WriteComponentToText(Menu);
    size_t Sub = Written.find("object Sub: TMenuItem"), Hondo = Written.find("object Hondo: TMenuItem");
    ASSERT_NE(Hondo, AnsiString::npos) << Written;
    EXPECT_LT(Sub, Hondo);
}

}  // namespace
