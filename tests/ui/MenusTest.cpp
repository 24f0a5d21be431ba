// Menu items, popup menus by keys and mouse, short cuts while a control has
// the focus, and menus read from a form.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/WindowManager.h"
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

// --- the main menu of a form and its status bar ---

const char* const kEditorText = R"(object F: TForm
  Left = 100
  Top = 80
  Caption = 'Editor'
  ClientHeight = 240
  ClientWidth = 400
  Menu = MainMenu1
  object Memo: TEdit
    Left = 0
    Top = 0
    Width = 200
    Height = 21
    TabOrder = 0
  end
  object StatusBar: TStatusBar
    Left = 0
    Top = 200
    Width = 400
    Height = 19
    Align = alNone
    Panels = <
      item
        Bevel = pbNone
        Width = 300
      end
      item
        Text = 'CAP'
        Width = 32
      end
      item
        Width = -1
      end>
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&Archivo'
      object Open1: TMenuItem
        Caption = '&Abrir'
        ShortCut = 16463
      end
      object SaveAs1: TMenuItem
        Caption = '&Guardar como'
        ShortCut = 16467
        Visible = False
      end
      object Exit1: TMenuItem
        Caption = '&Salir'
      end
    end
    object Edit1: TMenuItem
      Caption = '&Edici'#243'n'
      object Undo1: TMenuItem
        Caption = '&Deshacer'
        ShortCut = 16474
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object FindNext1: TMenuItem
        Caption = '&Buscar siguiente'
        ShortCut = 114
      end
      object Ruler1: TMenuItem
        Caption = '&Regla'
        Checked = True
      end
    end
    object Help1: TMenuItem
      Caption = 'A&yuda'
    end
  end
end
)";

class MainMenuTest : public FormTest {
protected:
    MainMenuTest() {
        F = TForm::CreateNew(Application);
        ReadComponentFromText(F, kEditorText);
        Menu = dynamic_cast<TMainMenu*>(F->FindComponent("MainMenu1"));
        Bar = dynamic_cast<TStatusBar*>(F->FindComponent("StatusBar"));
        Memo = dynamic_cast<TEdit*>(F->FindComponent("Memo"));
        for (const char* Name : {"Open1", "SaveAs1", "Exit1", "Undo1", "FindNext1", "Ruler1", "Help1"}) {
            auto* I = static_cast<TMenuItem*>(F->FindComponent(Name));
            I->OnClick = [this](TObject* Sender) {
                Clicked.push_back(static_cast<TMenuItem*>(Sender)->Name());
            };
        }
    }
    TMenuItem* Item(const char* Name) { return static_cast<TMenuItem*>(F->FindComponent(Name)); }
    // The middle of a top item of the bar, on the screen.
    TPoint TopItemPoint(int Index) {
        TRect W;
        GetWindowRect(F->Handle(), W);
        TRect R = Menu->BarItems(MenuBarRect(F->Handle())).at(size_t(Index)).second;
        return TPoint(W.Left + (R.Left + R.Right) / 2, W.Top + (R.Top + R.Bottom) / 2);
    }
    void Show() {
        F->Show();
        Memo->SetFocus();
        Ui.RunUntilIdle();
    }
    TForm* F;
    TMainMenu* Menu;
    TStatusBar* Bar;
    TEdit* Memo;
    std::vector<AnsiString> Clicked;
};

TEST_F(MainMenuTest, AFormReadsItsMainMenuAndStatusBarAndKeepsItsClientArea) {
    ASSERT_NE(Menu, nullptr);
    ASSERT_NE(Bar, nullptr);
    EXPECT_EQ(F->Menu(), Menu);
    EXPECT_EQ(Menu->Items()->Count(), 3);
    EXPECT_EQ(Item("Edit1")->Caption(), "&Edici\xF3n");
    EXPECT_FALSE(Item("SaveAs1")->Visible());
    EXPECT_TRUE(Item("Ruler1")->Checked());
    EXPECT_EQ(F->ClientHeight(), 240) << "the bar comes on top of the client area the file gives";
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(F->ClientHeight(), 240);
    EXPECT_EQ(F->ClientWidth(), 400);
    TRect Band = MenuBarRect(F->Handle());
    EXPECT_EQ(Band.Height(), TMainMenu::BarHeight());
    EXPECT_EQ(F->ClientToScreen(TPoint(0, 0)).y - F->Top(), Band.Bottom)
        << "the client area starts under the bar";
    // The status bar stays where the file puts it: it is not aligned.
    EXPECT_EQ(Bar->Align(), alNone);
    EXPECT_EQ(Bar->Top(), 200);
    ASSERT_EQ(Bar->Panels()->Count(), 3);
    EXPECT_EQ(Bar->Panels()->Items(0)->Bevel(), pbNone);
    EXPECT_EQ(Bar->Panels()->Items(1)->Text(), "CAP");
    EXPECT_EQ(Bar->Panels()->Items(1)->Bevel(), pbLowered);
    // Written back, the form names its menu and the bar its panels.
    AnsiString Written = WriteComponentToText(F);
    EXPECT_NE(Written.find("Menu = MainMenu1"), AnsiString::npos) << Written;
    EXPECT_NE(Written.find("Text = 'CAP'"), AnsiString::npos) << Written;
    EXPECT_NE(Written.find("Align = alNone"), AnsiString::npos) << "a bar that is not at the bottom says so";
    // Without its menu the form keeps its client area and loses the band.
    F->SetMenu(nullptr);
    EXPECT_EQ(MenuBarRect(F->Handle()).Height(), 0);
    EXPECT_EQ(F->ClientHeight(), 240);
    F->SetMenu(Menu);
    Menu->Free();
    EXPECT_EQ(F->Menu(), nullptr) << "a freed menu leaves its form";
}

TEST_F(MainMenuTest, ShortCutsOfTheMainMenuWorkFromAnyControlOfTheForm) {
    Show();
    PlayKeys(Ui, "{C+Z}{F3}{C+O}{C+S}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, (std::vector<AnsiString>{"Undo1", "FindNext1", "Open1"}))
        << "a hidden item has no short cut";
    EXPECT_EQ(Memo->Text(), "") << "the keys went to the menu";
    Item("Undo1")->SetEnabled(false);
    PlayKeys(Ui, "{C+Z}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 3u) << "a disabled item takes its key and does nothing";
}

TEST_F(MainMenuTest, AltWithALetterDropsATopItemDownAndTheKeysMoveThroughIt) {
    Show();
    PlayKeys(Ui, "{A+E}{Down}{Enter}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, std::vector<AnsiString>{"FindNext1"})
        << "opened with its first item lit; the line is passed over";
    PlayKeys(Ui, "{A+A}{Right}{Enter}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.back(), "Undo1") << "Right moves to the next top item's items";
    PlayKeys(Ui, "{A+A}{Left}{Left}{Right}{Right}s");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.back(), "Exit1") << "Left wraps round to the last top item and back";
    PlayKeys(Ui, "{A+A}{Left}{Enter}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.back(), "Help1") << "a top item without items, reached by the keys, waits for Return";
    PlayKeys(Ui, "{F10}{Esc}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 4u);
    PlayKeys(Ui, "{A+Y}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.size(), 5u);
    EXPECT_EQ(Clicked.back(), "Help1") << "a top item without items is chosen at once by its letter";
    EXPECT_TRUE(Memo->Focused());
    EXPECT_EQ(Memo->Text(), "");
}

// While a menu shows, the application's hint is the lit item's (its long
// part), whatever control lies under the mouse; once the menu is gone the
// control's hint comes back.
TEST_F(MainMenuTest, TheLitItemsHintIsTheApplicationsWhileTheMenuShows) {
    Show();
    Item("Undo1")->SetHint("Deshacer|Deshace el cambio");
    Item("FindNext1")->SetHint("Buscar de nuevo");
    Memo->SetHint("La nota");
    Ui.MoveTo(Memo->ClientToScreen(TPoint(5, 5)));
    Application->Idle();
    ASSERT_EQ(Application->Hint(), "La nota");
    std::vector<AnsiString> Seen;
    Ui.Then([&] {
        Application->Idle();
        Seen.push_back(Application->Hint());
        PlayKeys(Ui, "{Down}");
    });
    Ui.Then([&] {
        Application->Idle();
        Seen.push_back(Application->Hint());
        PlayKeys(Ui, "{Esc}");
    });
    PlayKeys(Ui, "{A+E}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Seen, (std::vector<AnsiString>{"Deshace el cambio", "Buscar de nuevo"}));
    Application->Idle();
    EXPECT_EQ(Application->Hint(), "La nota");
}

TEST_F(MainMenuTest, AClickOnTheBarDropsDownAndTheMouseChoosesOrMovesAlong) {
    Show();
    HWND DropDown = nullptr;
    uint32_t OpenPixel = 0;
    TRect OpenItem;
    Ui.Then([&] {
        DropDown = GetCapture();
        OpenItem = Menu->BarItems(MenuBarRect(F->Handle())).at(1).second;
        OpenPixel = Ui.Picture(F).GetPixel(OpenItem.Left + 1, OpenItem.Top + 1);
        TRect R;
        GetWindowRect(DropDown, R);
        // The first row: Deshacer.
        TPoint P(R.Left + 20, R.Top + 6);
        Ui.MoveTo(P);
        Ui.Click(P);
    });
    Ui.Click(TopItemPoint(1));
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked, std::vector<AnsiString>{"Undo1"});
    EXPECT_EQ(OpenPixel, ColorRefToPixel(ColorToRGB(clHighlight)))
        << "the dropped-down item shows lit on the bar";
    TRect DropRect;
    EXPECT_FALSE(IsWindow(DropDown));
    EXPECT_EQ(Ui.Picture(F).GetPixel(OpenItem.Left + 1, OpenItem.Top + 1),
              ColorRefToPixel(ColorToRGB(clMenu)))
        << "and plain again once closed";
    // The mouse along the bar takes the drop-down to the next top item; a
    // press outside leaves.
    std::vector<TRect> Opened;
    Ui.Then([&] {
        GetWindowRect(GetCapture(), DropRect);
        Opened.push_back(DropRect);
        Ui.MoveTo(TopItemPoint(1));
    });
    Ui.Then([&] {
        GetWindowRect(GetCapture(), DropRect);
        Opened.push_back(DropRect);
        Ui.Click(TPoint(900, 700));
    });
    Ui.Click(TopItemPoint(0));
    Ui.RunUntilIdle();
    ASSERT_EQ(Opened.size(), 2u);
    TRect W;
    GetWindowRect(F->Handle(), W);
    EXPECT_EQ(Opened[0].Left, W.Left + MenuBarRect(F->Handle()).Left);
    EXPECT_EQ(Opened[1].Left,
              TopItemPoint(1).x - Menu->BarItems(MenuBarRect(F->Handle())).at(1).second.Width() / 2);
    EXPECT_EQ(Opened[1].Top, W.Top + MenuBarRect(F->Handle()).Bottom) << "under its top item";
    EXPECT_EQ(Clicked.size(), 1u);
    Ui.Click(TopItemPoint(2));
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicked.back(), "Help1");
}

TEST_F(MainMenuTest, HiddenTopItemsLeaveTheBarAndChangesRepaintIt) {
    Show();
    TRect Band = MenuBarRect(F->Handle());
    auto Before = Menu->BarItems(Band);
    ASSERT_EQ(Before.size(), 3u);
    Item("Edit1")->SetVisible(false);
    auto After = Menu->BarItems(Band);
    ASSERT_EQ(After.size(), 2u);
    EXPECT_EQ(After[1].first, Item("Help1"));
    EXPECT_EQ(After[1].second.Left, Before[0].second.Right);
    Ui.RunUntilIdle();
    // Where the second caption stood, only the bar's face is left near its end.
    uint32_t Face = ColorRefToPixel(ColorToRGB(clMenu));
    bool Ink = false;
    for (int X = After[1].second.Right; X < Before[2].second.Right; ++X)
        for (int Y = Band.Top; Y < Band.Bottom; ++Y) Ink = Ink || Ui.Picture(F).GetPixel(X, Y) != Face;
    EXPECT_FALSE(Ink) << "the bar was drawn again without the hidden item";
    PlayKeys(Ui, "{A+E}");
    Ui.RunUntilIdle();
    EXPECT_TRUE(Clicked.empty()) << "a hidden top item has no letter";
}

TEST_F(MainMenuTest, OwnerDrawnItemsMeasureAndDrawThemselvesAndImagesShow) {
    auto* Colours = NewComponent<TPopupMenu>(F);
    Colours->SetOwnerDraw(true);
    struct TDrawn {
        AnsiString Caption;
        TRect Rect;
        bool Selected;
    };
    std::vector<TDrawn> Drawn;
    for (auto [Caption, Colour] : {std::pair<const char*, TColor>{"Rojo", clRed}, {"Azul", clBlue}}) {
        auto* I = NewComponent<TMenuItem>(F);
        I->SetCaption(Caption);
        I->SetTag(Colour);
        I->OnMeasureItem = [](TObject*, TCanvas* C, int& W, int& H) {
            H = C->TextHeight("Wy") + 2 + 10;
            W = 120;
        };
        I->OnDrawItem = [&Drawn](TObject* Sender, TCanvas* C, const TRect& R, bool Selected) {
            auto* Item = static_cast<TMenuItem*>(Sender);
            Drawn.push_back({Item->Caption(), R, Selected});
            C->Brush()->SetColor(static_cast<TColor>(Item->Tag()));
            C->FillRect(R);
        };
        Colours->Items()->Add(I);
    }
    Show();
    HWND Wnd = nullptr;
    uint32_t Second = 0;
    int RowHeight = 0;
    Ui.Then([&] {
        Wnd = GetCapture();
        RowHeight = Drawn.at(0).Rect.Height();
        PlayKeys(Ui, "{Down}{Down}");
    });
    Ui.Then([&] {
        HDC DC = GetWindowDC(Wnd);
        Second = DC->Surface()->GetPixel(DC->DeviceOrigin().x + 10, DC->DeviceOrigin().y + 2 + RowHeight + 3);
        ReleaseDC(Wnd, DC);
        PlayKeys(Ui, "{Esc}");
    });
    Colours->Popup(50, 50);
    Ui.RunUntilIdle();
    ASSERT_GE(Drawn.size(), 2u);
    HDC Probe = GetDC(nullptr);
    TFont MenuFont;
    GetMenuFont(MenuFont);
    Probe->Font()->Assign(&MenuFont);
    EXPECT_EQ(RowHeight, Probe->TextHeight("Wy") + 12) << "the row is as high as measured";
    ReleaseDC(nullptr, Probe);
    EXPECT_EQ(Drawn[0].Rect.Width(), 120) << "and as wide";
    EXPECT_EQ(Second, 0x0000FFu) << "the second row is drawn by its handler (blue)";
    EXPECT_TRUE(Drawn.back().Selected) << "the lit item is drawn selected";
    EXPECT_EQ(Drawn.back().Caption, "Azul");

    // An image list gives the main menu's items their pictures.
    auto* Images = NewComponent<TImageList>(F);
    Images->SetWidth(16);
    Images->SetHeight(16);
    TBitmap Green;
    Green.SetSize(16, 16);
    Green.Canvas()->Brush()->SetColor(clLime);
    Green.Canvas()->FillRect(TRect(0, 0, 16, 16));
    Images->Add(&Green, nullptr);
    Menu->SetImages(Images);
    Item("Undo1")->SetImageIndex(0);
    uint32_t Picture = 0;
    Ui.Then([&] {
        HWND W = GetCapture();
        TRect R;
        GetWindowRect(W, R);
        HDC DC = GetWindowDC(W);
        // The first row's picture, centred in the column left of the captions.
        int RowH = 0;
        (void)RowH;
        Picture = DC->Surface()->GetPixel(DC->DeviceOrigin().x + 2 + 11, DC->DeviceOrigin().y + 2 + 9);
        ReleaseDC(W, DC);
        PlayKeys(Ui, "{Esc}");
    });
    PlayKeys(Ui, "{A+E}");
    Ui.RunUntilIdle();
    EXPECT_EQ(Picture, 0x00FF00u);
    Images->Free();
    EXPECT_EQ(Menu->Images(), nullptr) << "a freed image list leaves the menu";
}

TEST_F(MainMenuTest, StatusPanelsStandSideBySideWithTheirBevelsAndTexts) {
    Show();
    int H = Bar->ClientHeight();
    EXPECT_EQ(Bar->PanelRect(0), TRect(0, 2, 298, H));
    EXPECT_EQ(Bar->PanelRect(1), TRect(300, 2, 330, H));
    EXPECT_EQ(Bar->PanelRect(2), TRect(332, 2, Bar->ClientWidth() - 2, H))
        << "the last -1 panel takes the rest";
    const TSurface& P = Ui.Picture(F);
    TPoint O = F->ScreenToClient(Bar->ClientToScreen(TPoint(0, 0)));
    TPoint C = F->ClientToScreen(TPoint(0, 0));
    TRect WR;
    GetWindowRect(F->Handle(), WR);
    int Dx = C.x - WR.Left + O.x, Dy = C.y - WR.Top + O.y;
    uint32_t Shadow = ColorRefToPixel(ColorToRGB(clBtnShadow)), Face = ColorRefToPixel(ColorToRGB(clBtnFace));
    EXPECT_EQ(P.GetPixel(Dx + 300, Dy + 5), Shadow) << "a lowered panel's left edge";
    EXPECT_EQ(P.GetPixel(Dx + 0, Dy + 5), Face) << "a panel without a bevel";
    auto InkIn = [&](int From, int To) {
        const TSurface& S = Ui.Picture(F);
        for (int X = From; X < To; ++X)
            for (int Y = 4; Y < H - 2; ++Y)
                if (S.GetPixel(Dx + X, Dy + Y) != Face && S.GetPixel(Dx + X, Dy + Y) != Shadow &&
                    S.GetPixel(Dx + X, Dy + Y) != ColorRefToPixel(ColorToRGB(clBtnHighlight)))
                    return true;
        return false;
    };
    EXPECT_TRUE(InkIn(302, 328)) << "CAP";
    EXPECT_FALSE(InkIn(2, 296));
    Bar->Panels()->Items(0)->SetText("Abre un archivo");
    Ui.RunUntilIdle();
    EXPECT_TRUE(InkIn(2, 296)) << "text set by code shows";
    Bar->SetSimplePanel(true);
    Bar->SetSimpleText("");
    Ui.RunUntilIdle();
    EXPECT_FALSE(InkIn(302, 328)) << "the simple panel hides the panels";
}

// --- on a real X server ---

TEST_F(X11Screen, TheMenuBarShowsAndTakesClicksInARealWindow) {
    TForm* F = TForm::CreateNew(Application);
    ReadComponentFromText(F, kEditorText);
    std::vector<AnsiString> Clicked;
    static_cast<TMenuItem*>(F->FindComponent("Help1"))->OnClick = [&](TObject*) {
        Clicked.push_back("Help1");
    };
    F->Show();
    Application->ProcessMessages();
    UpdateWindow(F->Handle());
    auto* Menu = F->Menu();
    ASSERT_NE(Menu, nullptr);
    // The X window shows the bar over the client area: its top row is the bar's face.
    TRect Band = MenuBarRect(F->Handle());
    TRect Help = Menu->BarItems(Band).at(2).second;
    uint32_t Pixel = 0;
    ASSERT_TRUE(X11ReadBack(X(), F->Handle(), Help.Right + 5, 2, Pixel));
    EXPECT_EQ(Pixel, ColorRefToPixel(ColorToRGB(clMenu)));
    int Cx = (Help.Left + Help.Right) / 2 - Band.Left, Cy = Band.Height() / 2;
    ASSERT_TRUE(X11SendButton(X(), F->Handle(), true, 1, Cx, Cy));
    ASSERT_TRUE(X11SendButton(X(), F->Handle(), false, 1, Cx, Cy));
    for (int I = 0; I < 50 && Clicked.empty(); ++I) Application->ProcessMessages();
    EXPECT_EQ(Clicked, std::vector<AnsiString>{"Help1"});
}

}  // namespace
