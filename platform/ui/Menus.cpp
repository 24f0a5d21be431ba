#include "platform/ui/Menus.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/gfx/ImageList.h"
#include "platform/ui/Forms.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TPopupAlignment, "paLeft", "paRight", "paCenter")
ZELMOR_IMPLEMENT_COMPONENT(TMenuItem, TComponent)
ZELMOR_IMPLEMENT_CLASS(TMenu, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TPopupMenu, TMenu)
ZELMOR_IMPLEMENT_COMPONENT(TMainMenu, TMenu)

// ---------------------------------------------------------------------------
// Short cuts
// ---------------------------------------------------------------------------

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut S = Key;
    if (Shift.Contains(ssShift)) S |= scShift;
    if (Shift.Contains(ssCtrl)) S |= scCtrl;
    if (Shift.Contains(ssAlt)) S |= scAlt;
    return S;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
    Key = ShortCut & 0xFF;
    Shift = {};
    if (ShortCut & scShift) Shift.Include(ssShift);
    if (ShortCut & scCtrl) Shift.Include(ssCtrl);
    if (ShortCut & scAlt) Shift.Include(ssAlt);
}

namespace {

AnsiString KeyName(WORD Key) {
    static const std::map<WORD, const char*> Names = {
        {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
        {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
        {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
        {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};
    auto It = Names.find(Key);
    if (It != Names.end()) return It->second;
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return AnsiString(1, static_cast<char>(Key));
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9)
        return AnsiString(1, static_cast<char>('0' + Key - VK_NUMPAD0));
    if (Key >= VK_F1 && Key <= VK_F1 + 23) return "F" + IntToStr(Key - VK_F1 + 1);
    return {};
}

}  // namespace

AnsiString ShortCutToText(TShortCut ShortCut) {
    AnsiString Name = KeyName(ShortCut & 0xFF);
    if (Name.empty()) return {};
    AnsiString R;
    if (ShortCut & scShift) R += "Shift+";
    if (ShortCut & scCtrl) R += "Ctrl+";
    if (ShortCut & scAlt) R += "Alt+";
    return R + Name;
}

TShortCut TextToShortCut(std::string_view Text) {
    TShortCut Mods = 0;
    for (bool Found = true; Found;) {
        Found = false;
        for (auto [Prefix, Bit] :
             {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
            size_t N = std::string_view(Prefix).size();
            if (Text.size() > N && SameText(Text.substr(0, N), Prefix)) {
                Mods |= Bit;
                Text.remove_prefix(N);
                Found = true;
            }
        }
    }
    for (int Key = 1; Key < 256; ++Key) {
        AnsiString Name = KeyName(static_cast<WORD>(Key));
        if (!Name.empty() && SameText(Name, Text)) return static_cast<TShortCut>(Key | Mods);
    }
    return scNone;
}

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

namespace {

// Items by command number, for the WM_COMMAND that a popup menu posts.
std::unordered_map<WORD, TMenuItem*>& Commands() {
    static std::unordered_map<WORD, TMenuItem*> Map;
    return Map;
}

WORD NextCommand() {
    static WORD Next = 0;
    do {
        ++Next;
    } while (Next == 0 || Commands().count(Next));
    return Next;
}

AnsiString StripAccel(std::string_view Caption) {
    AnsiString R;
    for (size_t I = 0; I < Caption.size(); ++I) {
        if (Caption[I] == '&' && I + 1 < Caption.size()) ++I;
        R += Caption[I];
    }
    return R;
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    FCommand = NextCommand();
    Commands()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
    if (FParent) FParent->Remove(this);
    while (!FItems.empty()) {
        TMenuItem* Child = FItems.back();
        FItems.pop_back();
        Child->FParent = nullptr;
        Child->Free();
    }
    Commands().erase(FCommand);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("Menu index out of range (" + IntToStr(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Remove(TMenuItem* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end()) throw EInvalidOperation("Sub-menu is not in menu");
    FItems.erase(It);
    Item->FParent = nullptr;
}

void TMenuItem::Delete(int Index) { Remove(Items(Index)); }

void TMenuItem::Clear() {
    while (!FItems.empty()) {
        TMenuItem* Child = FItems.back();
        FItems.pop_back();
        Child->FParent = nullptr;
        Child->Free();
    }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent) return;
    TMenuItem* P = FParent;
    P->Remove(this);
    P->Insert(Value, this);
}

TMenuItem* TMenuItem::Find(std::string_view Caption) const {
    for (TMenuItem* I : FItems)
        if (AnsiSameText(StripAccel(I->FCaption), StripAccel(Caption))) return I;
    return nullptr;
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem && FParent)
        for (TMenuItem* Sibling : FParent->FItems)
            if (Sibling != this && Sibling->FRadioItem && Sibling->FGroupIndex == FGroupIndex)
                Sibling->FChecked = false;
    MenuChanged();
}

void TMenuItem::SetCaption(const AnsiString& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    MenuChanged();
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    MenuChanged();
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    MenuChanged();
}

void TMenuItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    MenuChanged();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* Root = this;
    while (Root->FParent) Root = Root->FParent;
    return Root->FMenu;
}

void TMenuItem::MenuChanged() {
    if (TMenu* Menu = GetParentMenu()) Menu->ItemChanged();
}

void TMenuItem::Click() {
    if (FEnabled && Assigned(OnClick)) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (auto* Menu = dynamic_cast<TMenu*>(Value)) Menu->Items()->Add(this);
    else if (auto* Item = dynamic_cast<TMenuItem*>(Value)) Item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TMenuItem* I : FItems) Proc(I);
}

void TMenuItem::DescribeProperties(TPropertyTable& T) {
    using M = TMenuItem;
    T.Property("Caption", &M::Caption, &M::SetCaption);
    T.Property("Checked", &M::Checked, &M::SetChecked).Default(false);
    T.Property("Default", &M::Default, &M::SetDefault).Default(false);
    T.Property("Enabled", &M::Enabled, &M::SetEnabled).Default(true);
    T.Property("GroupIndex", &M::GroupIndex, &M::SetGroupIndex).Default(0);
    T.Property("HelpContext", &M::HelpContext, &M::SetHelpContext).Default(0);
    T.Property("Hint", &M::Hint, &M::SetHint);
    T.Property("ImageIndex", &M::ImageIndex, &M::SetImageIndex).Default(-1);
    T.Property("RadioItem", &M::RadioItem, &M::SetRadioItem).Default(false);
    T.Property("ShortCut", &M::ShortCut, &M::SetShortCut).Default(0);
    T.Property("Visible", &M::Visible, &M::SetVisible).Default(true);
    T.Event("OnClick", &M::OnClick);
    T.Event("OnDrawItem", &M::OnDrawItem);
    T.Event("OnMeasureItem", &M::OnMeasureItem);
}

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
    FItems = NewComponent<TMenuItem>(this);
    FItems->FMenu = this;
}

TMenu::~TMenu() = default;

void TMenu::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    ItemChanged();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

namespace {

TMenuItem* FindIn(TMenuItem* Root, int Value, TFindItemKind Kind) {
    for (int I = 0; I < Root->Count(); ++I) {
        TMenuItem* Item = Root->Items(I);
        if (!Item->Visible()) continue;
        if ((Kind == fkCommand && Item->Command() == Value) ||
            (Kind == fkShortCut && Item->ShortCut() != scNone && Item->ShortCut() == Value))
            return Item;
        if (TMenuItem* Found = FindIn(Item, Value, Kind)) return Found;
    }
    return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindItem(int Value, TFindItemKind Kind) const { return FindIn(FItems, Value, Kind); }

bool TMenu::IsShortCut(TMessage& Message) {
    TShortCut S = static_cast<TShortCut>(Message.CharCode() & 0xFF);
    if (S == 0 || (Message.CharCode() & 0xFF00)) return false;
    if (GetKeyState(VK_SHIFT) < 0) S |= scShift;
    if (GetKeyState(VK_CONTROL) < 0) S |= scCtrl;
    if (static_cast<uint32_t>(Message.KeyData()) & KF_ALTDOWN) S |= scAlt;
    TMenuItem* Item = FindItem(S, fkShortCut);
    if (!Item) return false;
    // The key is the menu's even when the item is disabled: nothing else acts on it.
    Item->Click();
    return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

bool IsMenuKey(TWinControl* Control, TMessage& Message) {
    for (TControl* C = Control; C; C = C->Parent())
        if (TPopupMenu* Menu = C->PopupMenu())
            if (Menu->IsShortCut(Message)) return true;
    TCustomForm* Form = GetParentForm(Control);
    return Form && Form->Menu() && Form->Menu()->IsShortCut(Message);
}

bool IsMenuBarKey(TWinControl* Control, TMessage& Message) {
    TCustomForm* Form = GetParentForm(Control);
    return Form && Form->Menu() && Form->Menu()->IsBarKey(Message);
}

// ---------------------------------------------------------------------------
// The popup menu's window
// ---------------------------------------------------------------------------

namespace {

constexpr int CheckColumn = 18;  // room left of the captions for the check mark
constexpr int SeparatorHeight = 8;

// One showing of a menu: its items, the one under the keys or the mouse, and the choice.
struct TMenuSession {
    HWND Wnd = nullptr;
    TMenu* Menu = nullptr;
    std::vector<TMenuItem*> Items;  // the visible ones, in order
    std::vector<TRect> Rects;
    int Hot = -1;
    TMenuItem* Chosen = nullptr;
    bool Done = false;
    TFont Font;
    int ShortCutX = 0;
    int Column = CheckColumn;
    // A main menu's drop-down: Left and Right leave for the next top item
    // (Side -1 or 1), and the mouse on another top item of the bar leaves for it.
    bool OnBar = false;
    int Side = 0;
    std::function<int(TPoint)> BarItemAt;  // screen point to top item, -1 for none
    int OwnItem = -1;
    int SwitchTo = -1;
    bool PressedOutside = false;
    // A top item without items, reached by Left or Right: Return chooses it.
    TMenuItem* Top = nullptr;
    // Keys that came after the menu was done with, for the drop-down it leaves for.
    std::vector<WORD> Pending;
};

std::unordered_map<HWND, TMenuSession*>& Sessions() {
    static std::unordered_map<HWND, TMenuSession*> Map;
    return Map;
}

bool Selectable(const TMenuItem* Item) { return !Item->IsLine(); }

bool DrawsItself(const TMenuSession& S, const TMenuItem* Item) {
    return S.Menu && S.Menu->OwnerDraw() && Assigned(Item->OnDrawItem);
}

void Layout(TMenuSession& S, int& Width, int& Height) {
    HDC DC = GetDC(nullptr);
    DC->Font()->Assign(&S.Font);
    int TextH = DC->TextHeight("Wy");
    int ItemH = std::max(TextH + 6, 18);
    int CaptionW = 0, KeysW = 0;
    TCustomImageList* Images = S.Menu ? S.Menu->Images() : nullptr;
    S.Column = Images ? std::max(CheckColumn, Images->Width() + 6) : CheckColumn;
    for (TMenuItem* I : S.Items) {
        if (I->IsLine()) continue;
        TRect R(0, 0, 0, 0);
        DC->DrawText(I->Caption(), R, DT_CALCRECT | DT_SINGLELINE);
        CaptionW = std::max(CaptionW, R.Width());
        KeysW = std::max(KeysW, DC->TextWidth(ShortCutToText(I->ShortCut())));
    }
    Width = S.Column + CaptionW + (KeysW ? 16 + KeysW : 0) + 18;
    S.ShortCutX = S.Column + CaptionW + 16;
    std::vector<int> Heights;
    for (TMenuItem* I : S.Items) {
        int H = I->IsLine() ? SeparatorHeight : ItemH;
        if (S.Menu && S.Menu->OwnerDraw() && Assigned(I->OnMeasureItem)) {
            int W = Width - 4;
            DC->Font()->Assign(&S.Font);
            I->OnMeasureItem(I, DC, W, H);
            Width = std::max(Width, W + 4);
        }
        Heights.push_back(H);
    }
    ReleaseDC(nullptr, DC);
    int Y = 2;
    S.Rects.clear();
    for (int H : Heights) {
        S.Rects.emplace_back(2, Y, Width - 2, Y + H);
        Y += H;
    }
    Width += 2;
    Height = Y + 2;
}

void PaintItem(TMenuSession& S, HDC DC, TMenuItem* I, const TRect& R, bool Hot) {
    if (DrawsItself(S, I)) {
        int Saved = DC->SaveDC();
        DC->Font()->Assign(&S.Font);
        I->OnDrawItem(I, DC, R, Hot);
        DC->RestoreDC(Saved);
        return;
    }
    if (Hot) {
        TBrush H;
        H.SetColor(clHighlight);
        DC->FillRect(R, H);
    }
    DC->Font()->Assign(&S.Font);
    DC->Font()->SetStyle(I->Default() ? TFontStyles{fsBold} : TFontStyles{});
    DC->SetBkMode(TRANSPARENT);
    TRect T(R.Left + S.Column, R.Top, R.Right, R.Bottom);
    TRect Keys(S.ShortCutX, R.Top, R.Right - 8, R.Bottom);
    AnsiString KeyText = ShortCutToText(I->ShortCut());
    auto Text = [&](TColor Color, int D) {
        DC->SetTextColor(Color);
        TRect A = T, B = Keys;
        OffsetRect(A, D, D);
        OffsetRect(B, D, D);
        DC->DrawText(I->Caption(), A, DT_SINGLELINE | DT_VCENTER);
        if (!KeyText.empty()) DC->DrawText(KeyText, B, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };
    if (!I->Enabled()) {
        if (!Hot) Text(clBtnHighlight, 1);
        Text(clGrayText, 0);
    } else {
        Text(Hot ? clHighlightText : clMenuText, 0);
    }
    TCustomImageList* Images = S.Menu ? S.Menu->Images() : nullptr;
    if (Images && I->ImageIndex() >= 0 && I->ImageIndex() < Images->Count()) {
        int X = R.Left + (S.Column - Images->Width()) / 2, Y = R.Top + (R.Height() - Images->Height()) / 2;
        if (I->Checked()) {
            TRect Box(X - 2, Y - 2, X + Images->Width() + 2, Y + Images->Height() + 2);
            DC->DrawEdge(Box, BDR_SUNKENOUTER, BF_RECT);
        }
        Images->Draw(DC, X, Y, I->ImageIndex(), I->Enabled());
    } else if (I->Checked()) {
        // A tick (or a dot for a radio item) in the check column.
        DC->Pen()->SetColor(Hot ? clHighlightText : clMenuText);
        DC->Pen()->SetWidth(1);
        int X = R.Left + 5, Y = R.Top + R.Height() / 2;
        if (I->RadioItem()) {
            DC->Brush()->SetColor(Hot ? clHighlightText : clMenuText);
            DC->Ellipse(X + 1, Y - 3, X + 7, Y + 3);
        } else {
            for (int D = 0; D < 3; ++D) {
                TPoint P[] = {TPoint(X, Y - 1 + D), TPoint(X + 2, Y + 1 + D), TPoint(X + 7, Y - 4 + D)};
                DC->Polyline(P);
            }
        }
    }
}

void Paint(TMenuSession& S, HDC DC) {
    TRect Client;
    GetClientRect(S.Wnd, Client);
    TBrush Face;
    Face.SetColor(clMenu);
    DC->FillRect(Client, Face);
    TRect Edge = Client;
    DC->DrawEdge(Edge, EDGE_RAISED, BF_RECT);
    for (size_t K = 0; K < S.Items.size(); ++K) {
        TMenuItem* I = S.Items[K];
        TRect R = S.Rects[K];
        if (I->IsLine() && !DrawsItself(S, I)) {
            TRect L(R.Left + 1, R.Top + R.Height() / 2 - 1, R.Right - 1, R.Top + R.Height() / 2 + 1);
            DC->DrawEdge(L, EDGE_ETCHED, BF_TOP);
            continue;
        }
        PaintItem(S, DC, I, R, static_cast<int>(K) == S.Hot);
    }
}

int ItemAt(const TMenuSession& S, TPoint ClientPoint) {
    for (size_t K = 0; K < S.Rects.size(); ++K)
        if (PtInRect(S.Rects[K], ClientPoint)) return static_cast<int>(K);
    return -1;
}

// The application's hint while a menu shows: the lit item's long hint.
void ShowHotHint(const TMenuSession& S) {
    if (!Application) return;
    const bool Lit = S.Hot >= 0 && S.Hot < static_cast<int>(S.Items.size());
    Application->SetHint(Lit ? TControl::GetLongHint(S.Items[static_cast<size_t>(S.Hot)]->Hint())
                             : AnsiString());
}

void SetHot(TMenuSession& S, int Index) {
    if (Index == S.Hot) return;
    S.Hot = Index;
    ShowHotHint(S);
    InvalidateRect(S.Wnd, nullptr, false);
}

void Choose(TMenuSession& S, int Index) {
    if (Index < 0 || Index >= static_cast<int>(S.Items.size())) return;
    TMenuItem* I = S.Items[static_cast<size_t>(Index)];
    // A disabled item or a line does not close the menu.
    if (!Selectable(I) || !I->Enabled()) return;
    S.Chosen = I;
    S.Done = true;
}

void Step(TMenuSession& S, int Direction) {
    int N = static_cast<int>(S.Items.size());
    if (N == 0) return;
    int I = S.Hot;
    for (int K = 0; K < N; ++K) {
        I = I < 0 ? (Direction > 0 ? 0 : N - 1) : (I + Direction + N) % N;
        if (Selectable(S.Items[static_cast<size_t>(I)])) {
            SetHot(S, I);
            return;
        }
    }
}

void MenuKey(TMenuSession& S, WORD Key) {
    switch (Key) {
    case VK_UP: Step(S, -1); return;
    case VK_DOWN: Step(S, 1); return;
    case VK_HOME:
        S.Hot = -1;
        Step(S, 1);
        return;
    case VK_END:
        S.Hot = -1;
        Step(S, -1);
        return;
    case VK_LEFT:
    case VK_RIGHT:
        if (S.OnBar) {
            S.Side = Key == VK_LEFT ? -1 : 1;
            S.Done = true;
        }
        return;
    case VK_RETURN:
        if (S.Items.empty() && S.Top && S.Top->Enabled()) {
            S.Chosen = S.Top;
            S.Done = true;
        }
        Choose(S, S.Hot);
        return;
    case VK_ESCAPE:
    case VK_MENU:
    case VK_F10: S.Done = true; return;
    default: break;
    }
    // The underlined letter: one item takes it at once; several take turns.
    std::vector<int> Matches;
    for (size_t K = 0; K < S.Items.size(); ++K)
        if (Selectable(S.Items[K]) && IsAccel(Key, S.Items[K]->Caption()))
            Matches.push_back(static_cast<int>(K));
    if (Matches.size() == 1) {
        SetHot(S, Matches[0]);
        Choose(S, Matches[0]);
    } else if (!Matches.empty()) {
        auto Next = std::upper_bound(Matches.begin(), Matches.end(), S.Hot);
        SetHot(S, Next == Matches.end() ? Matches[0] : *Next);
    }
}

TPoint PointOf(LPARAM LParam) {
    return TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
}

// The top item of the bar under a point of the menu's window, other than the
// one dropped down; -1 for none.
int OtherBarItem(TMenuSession& S, TPoint ClientPoint) {
    if (!S.BarItemAt) return -1;
    TPoint P = ClientPoint;
    ClientToScreen(S.Wnd, P);
    int I = S.BarItemAt(P);
    return I == S.OwnItem ? -1 : I;
}

LRESULT MenuProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto It = Sessions().find(Wnd);
    if (It == Sessions().end()) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TMenuSession& S = *It->second;
    switch (Msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        TPaintStruct PS;
        HDC DC = BeginPaint(Wnd, PS);
        if (DC) Paint(S, DC);
        EndPaint(Wnd, PS);
        return 0;
    }
    case WM_MOUSEMOVE: {
        int I = ItemAt(S, PointOf(LParam));
        if (I >= 0 && Selectable(S.Items[static_cast<size_t>(I)])) SetHot(S, I);
        // Along the bar, the mouse takes the drop-down from item to item.
        int Other = I < 0 ? OtherBarItem(S, PointOf(LParam)) : -1;
        if (Other >= 0) {
            S.SwitchTo = Other;
            S.Done = true;
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        TRect R;
        GetClientRect(Wnd, R);
        // A press outside the menu closes it; on another top item of the bar, that one drops down.
        if (!PtInRect(R, PointOf(LParam))) {
            S.SwitchTo = OtherBarItem(S, PointOf(LParam));
            S.PressedOutside = true;
            S.Done = true;
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: Choose(S, ItemAt(S, PointOf(LParam))); return 0;
    case WM_CAPTURECHANGED:
        if (LParamToHandle(LParam) != Wnd) S.Done = true;
        return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

void EnsureMenuClass() {
    TWndClass C;
    if (GetWindowClassInfo("PopupMenu", C)) return;
    C.Name = "PopupMenu";
    C.Style = CS_SAVEBITS | CS_DBLCLKS;
    C.WndProc = MenuProc;
    RegisterWindowClass(C);
}

// The hidden window that runs a chosen item's OnClick from the message loop.
HWND CommandWindow() {
    static HWND Wnd = nullptr;
    if (!Wnd || !IsWindow(Wnd))
        Wnd = AllocateHWnd([](HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
            if (Msg != WM_COMMAND) return DefWindowProc(W, Msg, WParam, LParam);
            auto It = Commands().find(LoWord(WParam));
            if (It == Commands().end()) return 0;
            try {
                It->second->Click();
            } catch (const EScriptError&) {
                throw;
            } catch (...) {
                if (!Application) throw;
                Application->HandleException(It->second);
            }
            return 0;
        });
    return Wnd;
}

void PostClick(TMenuItem* Item) { PostMessage(CommandWindow(), WM_COMMAND, Item->Command(), 0); }

// Shows the visible children of Parent (none for null) with the top-left corner at (X, Y)
// (moved in when it would leave the screen; Above is where a menu that
// cannot open downwards ends) and runs until the session is done.
void RunMenu(TMenuSession& S, TMenuItem* Parent, int X, int Y, int Above, std::vector<WORD> Replay = {}) {
    GetMenuFont(S.Font);
    for (int I = 0; Parent && I < Parent->Count(); ++I)
        if (Parent->Items(I)->Visible()) S.Items.push_back(Parent->Items(I));
    // A top item of the bar without items still takes the keys, with no window to show.
    if (S.Items.empty() && !S.OnBar) return;
    EnsureMenuClass();
    int W = 0, H = 0;
    if (!S.Items.empty()) Layout(S, W, H);
    // A menu that would leave the screen opens the other way.
    TRect Scr = ScreenRect();
    if (X + W > Scr.Right) X = std::max(Scr.Left, S.OnBar ? Scr.Right - W : X - W);
    if (Y + H > Scr.Bottom) Y = std::max(Scr.Top, Above - H);
    if (X < Scr.Left) X = Scr.Left;
    S.Wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "PopupMenu", "", WS_POPUP, X,
                           Y, W, H, nullptr, 0, nullptr);
    if (!S.Wnd) return;
    Sessions()[S.Wnd] = &S;
    // Whatever happens in the loop, the window, the capture and the hook go.
    struct TCleanup {
        TMenuSession& S;
        HHOOK Hook = nullptr;
        ~TCleanup() {
            if (Application) Application->EndMenuHints();
            if (Hook) UnhookWindowsHookEx(Hook);
            Sessions().erase(S.Wnd);
            if (GetCapture() == S.Wnd) ReleaseCapture();
            if (IsWindow(S.Wnd)) DestroyWindow(S.Wnd);
        }
    } Cleanup{S};
    if (Application) Application->BeginMenuHints();
    ShowHotHint(S);
    SetWindowPos(S.Wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
    SetCapture(S.Wnd);
    // The keys are the menu's while it shows, whoever has the focus.
    Cleanup.Hook = SetWindowsHookEx(WH_KEYBOARD, [&S](int Code, WPARAM Key, LPARAM Data) -> LRESULT {
        if (Code != HC_ACTION) return 0;
        if (static_cast<uint32_t>(Data) & KF_UP) return 1;
        // Keys typed ahead of a move along the bar belong to the next drop-down;
        // after a choice or an escape they go where they would have gone.
        if (S.Done) {
            if (S.Side == 0 && S.SwitchTo < 0) return 0;
            S.Pending.push_back(static_cast<WORD>(Key));
            return 1;
        }
        MenuKey(S, static_cast<WORD>(Key));
        return 1;
    });
    for (WORD Key : Replay) {
        if (S.Done) S.Pending.push_back(Key);
        else MenuKey(S, Key);
    }
    // The menu's own loop: a key the menu takes is no message, so the loop
    // looks at the menu before it waits for more.
    while (!S.Done && IsWindow(S.Wnd)) {
        Application->ProcessMessages();
        if (S.Done || !IsWindow(S.Wnd) || Application->Terminated()) break;
        Application->Idle();
        WaitMessage();
    }
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (Assigned(OnPopup)) OnPopup(Sender);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = TPoint(X, Y);
    DoPopup(this);
    TMenuSession S;
    S.Menu = this;
    if (FAlignment != paLeft) {
        // The width is known once laid out: a first pass measures it.
        TMenuSession Probe;
        Probe.Menu = this;
        GetMenuFont(Probe.Font);
        for (int I = 0; I < Items()->Count(); ++I)
            if (Items()->Items(I)->Visible()) Probe.Items.push_back(Items()->Items(I));
        int W = 0, H = 0;
        Layout(Probe, W, H);
        X -= FAlignment == paRight ? W : W / 2;
    }
    RunMenu(S, Items(), X, Y, Y);
    if (S.Chosen) PostClick(S.Chosen);
}

// ---------------------------------------------------------------------------
// The main menu and its bar
// ---------------------------------------------------------------------------

namespace {

constexpr int BarItemPadding = 7;  // each side of a top item's caption

}  // namespace

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
    if (FForm) FForm->SetMenu(nullptr);
}

int TMainMenu::BarHeight() { return GetSystemMetrics(SM_CYMENU); }

std::vector<std::pair<TMenuItem*, TRect>> TMainMenu::BarItems(const TRect& Bar) const {
    std::vector<std::pair<TMenuItem*, TRect>> R;
    HDC DC = GetDC(nullptr);
    TFont Font;
    GetMenuFont(Font);
    DC->Font()->Assign(&Font);
    int X = Bar.Left;
    for (int I = 0; I < Items()->Count(); ++I) {
        TMenuItem* Item = Items()->Items(I);
        if (!Item->Visible()) continue;
        TRect T(0, 0, 0, 0);
        DC->DrawText(Item->Caption(), T, DT_CALCRECT | DT_SINGLELINE);
        int W = T.Width() + 2 * BarItemPadding;
        R.emplace_back(Item, TRect(X, Bar.Top, X + W, Bar.Bottom));
        X += W;
    }
    ReleaseDC(nullptr, DC);
    return R;
}

void TMainMenu::PaintBar(TCanvas* Canvas, const TRect& Bar) const {
    TBrush Face;
    Face.SetColor(clMenu);
    Canvas->FillRect(Bar, Face);
    TFont Font;
    GetMenuFont(Font);
    Canvas->Font()->Assign(&Font);
    Canvas->SetBkMode(TRANSPARENT);
    auto Items = BarItems(Bar);
    for (size_t K = 0; K < Items.size(); ++K) {
        auto [Item, R] = Items[K];
        bool Open = static_cast<int>(K) == FDropped;
        if (Open) {
            TBrush H;
            H.SetColor(clHighlight);
            Canvas->FillRect(R, H);
        }
        TRect T = R;
        if (!Item->Enabled() && !Open) {
            Canvas->SetTextColor(clBtnHighlight);
            TRect E = T;
            OffsetRect(E, 1, 1);
            Canvas->DrawText(Item->Caption(), E, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
        Canvas->SetTextColor(!Item->Enabled() ? clGrayText : Open ? clHighlightText : clMenuText);
        Canvas->DrawText(Item->Caption(), T, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

void TMainMenu::ItemChanged() {
    if (FForm && FForm->HandleAllocated())
        SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainMenu::DropDown(int Index, bool ByKey) {
    bool Along = false;  // reached by Left or Right
    std::vector<WORD> Replay;
    if (!FForm || !FForm->HandleAllocated()) return;
    HWND Wnd = FForm->Handle();
    // Whatever ends the menu, the bar shows no item dropped down.
    struct TReset {
        TMainMenu* Menu;
        ~TReset() {
            Menu->FDropped = -1;
            Menu->ItemChanged();
        }
    } Reset{this};
    while (Index >= 0) {
        TRect Window;
        GetWindowRect(Wnd, Window);
        auto Items = BarItems(MenuBarRect(Wnd));
        if (Index >= static_cast<int>(Items.size())) return;
        TMenuItem* Top = Items[static_cast<size_t>(Index)].first;
        TRect R = Items[static_cast<size_t>(Index)].second;
        OffsetRect(R, Window.Left, Window.Top);
        bool HasItems = false;
        for (int I = 0; I < Top->Count(); ++I) HasItems = HasItems || Top->Items(I)->Visible();
        if (!HasItems && !Along) {
            if (Top->Enabled()) PostClick(Top);
            return;
        }
        FDropped = Index;
        ItemChanged();
        UpdateWindow(Wnd);
        TMenuSession S;
        S.Menu = this;
        S.OnBar = true;
        S.OwnItem = Index;
        S.Top = Top;
        S.BarItemAt = [this, Wnd](TPoint P) {
            TRect W;
            GetWindowRect(Wnd, W);
            TPoint InWindow(P.x - W.Left, P.y - W.Top);
            auto Items = BarItems(MenuBarRect(Wnd));
            for (size_t K = 0; K < Items.size(); ++K)
                if (PtInRect(Items[K].second, InWindow)) return static_cast<int>(K);
            return -1;
        };
        if (Top->Enabled()) {
            if (ByKey) {
                S.Hot = -1;
                // The first selectable item shows lit, as the keys left it.
                for (int I = 0, K = 0; I < Top->Count(); ++I) {
                    if (!Top->Items(I)->Visible()) continue;
                    if (Selectable(Top->Items(I))) {
                        S.Hot = K;
                        break;
                    }
                    ++K;
                }
            }
        }
        // A disabled top item drops down nothing, but the keys may pass over it.
        if (Top->Enabled() || Along)
            RunMenu(S, Top->Enabled() ? Top : nullptr, R.Left, R.Bottom, R.Top, std::move(Replay));
        if (S.Chosen) {
            PostClick(S.Chosen);
            return;
        }
        int N = static_cast<int>(Items.size());
        Replay = std::move(S.Pending);
        if (S.Side != 0) {
            Index = (Index + S.Side + N) % N;
            ByKey = Along = true;
        } else if (S.SwitchTo >= 0) {
            Index = S.SwitchTo;
            ByKey = false;
            Along = !S.PressedOutside;
        } else {
            return;
        }
    }
}

bool TMainMenu::IsBarKey(TMessage& Message) {
    WORD Key = Message.CharCode();
    bool Alt = (static_cast<uint32_t>(Message.KeyData()) & KF_ALTDOWN) != 0;
    if (Key == VK_F10 && !Alt && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0) {
        if (Items()->Count() == 0) return false;
        DropDown(0, true);
        return true;
    }
    if (!Alt || GetKeyState(VK_CONTROL) < 0) return false;
    int K = 0;
    for (int I = 0; I < Items()->Count(); ++I) {
        TMenuItem* Item = Items()->Items(I);
        if (!Item->Visible()) continue;
        if (IsAccel(Key, Item->Caption())) {
            DropDown(K, true);
            return true;
        }
        ++K;
    }
    return false;
}

void TPopupMenu::DescribeProperties(TPropertyTable& T) {
    using P = TPopupMenu;
    T.Property("Alignment", &P::Alignment, &P::SetAlignment).Default(paLeft);
    T.Property("AutoPopup", &P::AutoPopup, &P::SetAutoPopup).Default(true);
    T.Property("Images", &P::Images, &P::SetImages);
    T.Property("OwnerDraw", &P::OwnerDraw, &P::SetOwnerDraw).Default(false);
    T.Event("OnPopup", &P::OnPopup);
}

void TMainMenu::DescribeProperties(TPropertyTable& T) {
    using P = TMainMenu;
    T.Property("Images", &P::Images, &P::SetImages);
    T.Property("OwnerDraw", &P::OwnerDraw, &P::SetOwnerDraw).Default(false);
}

void RegisterMenuClasses() {
    RegisterClasses(
        {&TMenuItem::StaticClassInfo(), &TPopupMenu::StaticClassInfo(), &TMainMenu::StaticClassInfo()});
}
