// The "COMBOBOX" window class: a selection field (an "EDIT" child for the
// drop-down and simple kinds, a drawn field for the drop-down list kinds), a
// button, and a "ComboLBox" list that drops down below it (a popup window of
// its own) or stands under it (the simple kind). The items live in the list;
// the CB_ messages reach them through the LB_ ones.
//
// While the list is down the combo box holds the mouse: moving over the list
// picks items, a release over one takes it, a press elsewhere closes the list
// unchanged. The keys of the edit child that belong to the combo box (arrows,
// pages, F4, Alt+arrows, and Return and Escape while the list is down) are
// handed to it.
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/gfx/Graphics.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/StdWindows.h"

namespace {

constexpr LONG_PTR EditId = 1001, ListId = 1000;

struct TComboWindow {
    HWND Wnd = nullptr;
    HWND Edit = nullptr;
    HWND List = nullptr;
    TWndProc EditProc;  // the edit child's own procedure, under our key filter
    TFont Font;
    TFont* GivenFont = nullptr;
    bool Dropped = false;
    bool Tracking = false;  // the button press that dropped the list is still held
    bool ButtonDown = false;
    int SelOnDrop = -1;
    int Shown = -1;  // the item the field shows (and the parent last heard of)
    int MaxVisible = 8;
    int DroppedWidth = 0;
    int FieldHeight = 16;
    int ItemHeight = 13;
    bool Focused = false;
    bool SettingText = false;

    DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
    DWORD Kind() const { return Style() & 3; }
    bool Simple() const { return Kind() == CBS_SIMPLE; }
    bool DropList() const { return Kind() == CBS_DROPDOWNLIST; }
    bool OwnerDraw() const {
        return Style() & (static_cast<DWORD>(CBS_OWNERDRAWFIXED) | static_cast<DWORD>(CBS_OWNERDRAWVARIABLE));
    }
};

std::unordered_map<HWND, std::unique_ptr<TComboWindow>>& Combos() {
    static std::unordered_map<HWND, std::unique_ptr<TComboWindow>> Map;
    return Map;
}

TComboWindow* Find(HWND Wnd) {
    auto It = Combos().find(Wnd);
    return It == Combos().end() ? nullptr : It->second.get();
}

void Notify(TComboWindow& C, WORD Code) {
    HWND Parent = GetParent(C.Wnd);
    if (Parent)
        SendMessage(Parent, WM_COMMAND, MakeWParam(static_cast<int>(GetWindowLong(C.Wnd, GWL_ID)), Code),
                    HandleToLParam(C.Wnd));
}

LRESULT ToList(TComboWindow& C, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) {
    return C.List ? SendMessage(C.List, Msg, WParam, LParam) : LB_ERR;
}

int Count(TComboWindow& C) { return static_cast<int>(ToList(C, LB_GETCOUNT)); }
int CurSel(TComboWindow& C) { return static_cast<int>(ToList(C, LB_GETCURSEL)); }

AnsiString ItemText(TComboWindow& C, int Index) {
    LRESULT Length = ToList(C, LB_GETTEXTLEN, static_cast<WPARAM>(Index));
    if (Length == LB_ERR) return {};
    std::string Buffer(static_cast<size_t>(Length) + 1, '\0');
    ToList(C, LB_GETTEXT, static_cast<WPARAM>(Index), PointerToLParam(Buffer.data()));
    Buffer.resize(static_cast<size_t>(Length));
    return Buffer;
}

// --- geometry ---

int ButtonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

TRect ClientOf(HWND Wnd) {
    TRect R;
    GetClientRect(Wnd, R);
    return R;
}

// The field inside the sunken edge, left of the button.
TRect FieldRect(const TComboWindow& C) {
    TRect R = ClientOf(C.Wnd);
    if (C.Simple()) return TRect(0, 0, R.Right, C.FieldHeight + 4);
    return TRect(2, 2, R.Right - 2 - ButtonWidth(), R.Bottom - 2);
}

TRect ButtonRect(const TComboWindow& C) {
    TRect R = ClientOf(C.Wnd);
    return TRect(R.Right - 2 - ButtonWidth(), 2, R.Right - 2, R.Bottom - 2);
}

// The drop-down kinds are as high as their field; the user cannot make them higher.
void FixHeight(TComboWindow& C) {
    if (C.Simple()) return;
    TRect W;
    GetWindowRect(C.Wnd, W);
    int Want = C.FieldHeight + 6;
    if (W.Height() != Want)
        SetWindowPos(C.Wnd, nullptr, 0, 0, W.Width(), Want, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceChildren(TComboWindow& C) {
    TRect R = ClientOf(C.Wnd);
    if (C.Edit) {
        TRect F = FieldRect(C);
        if (C.Simple()) F = TRect(0, 0, R.Right, C.FieldHeight + 4);
        MoveWindow(C.Edit, F.Left + (C.Simple() ? 0 : 1), F.Top + (C.Simple() ? 0 : 1),
                   F.Width() - (C.Simple() ? 0 : 2), F.Height() - (C.Simple() ? 0 : 2), true);
    }
    if (C.Simple() && C.List) {
        int Top = C.FieldHeight + 4;
        MoveWindow(C.List, 0, Top, R.Right, std::max(0, R.Bottom - Top), true);
    }
}

// --- the selection field ---

void ShowSelection(TComboWindow& C) {
    int Sel = CurSel(C);
    C.Shown = Sel;
    if (C.Edit) {
        AnsiString Text = Sel >= 0 ? ItemText(C, Sel) : AnsiString();
        C.SettingText = true;
        SetWindowText(C.Edit, Text);
        C.SettingText = false;
        if (C.Focused || GetFocus() == C.Edit) SendMessage(C.Edit, EM_SETSEL, 0, -1);
    }
    InvalidateRect(C.Wnd, nullptr, false);
}

// The user picked item Index (keys, or the mouse over the list).
void UserSelect(TComboWindow& C, int Index, bool Notifying = true) {
    int N = Count(C);
    if (N == 0) return;
    Index = std::clamp(Index, 0, N - 1);
    if (Index == CurSel(C)) return;
    ToList(C, LB_SETCURSEL, static_cast<WPARAM>(Index));
    ShowSelection(C);
    if (Notifying) Notify(C, CBN_SELCHANGE);
}

// --- dropping down ---

// Accepted, the item the list shows becomes the choice; cancelled, the one
// chosen before it dropped comes back.
void CloseUp(TComboWindow& C, bool Accept) {
    if (!C.Dropped) return;
    C.Dropped = false;
    C.Tracking = false;
    C.ButtonDown = false;
    if (GetCapture() == C.Wnd) ReleaseCapture();
    if (!Accept && CurSel(C) != C.SelOnDrop) ToList(C, LB_SETCURSEL, static_cast<WPARAM>(C.SelOnDrop));
    if (CurSel(C) != C.Shown) {
        ShowSelection(C);
        Notify(C, CBN_SELCHANGE);
    }
    ShowWindow(C.List, SW_HIDE);
    InvalidateRect(C.Wnd, nullptr, false);
    Notify(C, Accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    Notify(C, CBN_CLOSEUP);
}

TRect DroppedRect(TComboWindow& C) {
    TRect W;
    GetWindowRect(C.Wnd, W);
    int N = std::clamp(Count(C), 1, std::max(1, C.MaxVisible));
    int Height = 2;
    for (int I = 0; I < N; ++I) {
        int ItemH = static_cast<int>(
            ToList(C, LB_GETITEMHEIGHT, static_cast<WPARAM>(std::min(I, std::max(0, Count(C) - 1)))));
        Height += ItemH > 0 ? ItemH : C.ItemHeight;
    }
    int Width = std::max(W.Width(), C.DroppedWidth);
    TRect Work = WorkAreaRect();
    int Y = W.Bottom;
    // No room below: the list opens above.
    if (Y + Height > Work.Bottom && W.Top - Height >= Work.Top) Y = W.Top - Height;
    return Bounds(W.Left, Y, Width, Height);
}

void DropDown(TComboWindow& C) {
    if (C.Dropped || C.Simple() || !C.List) return;
    Notify(C, CBN_DROPDOWN);
    if (!IsWindow(C.Wnd) || !Find(C.Wnd)) return;
    C.SelOnDrop = CurSel(C);
    TRect R = DroppedRect(C);
    SetWindowPos(C.List, HWND_TOPMOST, R.Left, R.Top, R.Width(), R.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (C.SelOnDrop >= 0) ToList(C, LB_SETTOPINDEX, static_cast<WPARAM>(C.SelOnDrop));
    C.Dropped = true;
    SetCapture(C.Wnd);
    InvalidateRect(C.Wnd, nullptr, false);
}

// --- keys (from the combo box or its edit child) ---

bool KeyDown(TComboWindow& C, WORD Key, bool Alt) {
    int Page = std::max(1, C.MaxVisible - 1);
    int Sel = CurSel(C);
    switch (Key) {
    case VK_F4:
        if (Alt) return false;
        if (C.Dropped) CloseUp(C, true);
        else DropDown(C);
        return true;
    case VK_UP:
    case VK_DOWN:
        if (Alt) {
            if (C.Dropped) CloseUp(C, true);
            else DropDown(C);
            return true;
        }
        UserSelect(C, Sel < 0 ? 0 : Sel + (Key == VK_DOWN ? 1 : -1));
        return true;
    case VK_PRIOR: UserSelect(C, Sel - Page); return true;
    case VK_NEXT: UserSelect(C, Sel + Page); return true;
    case VK_HOME:
    case VK_END:
        if (C.Edit) return false;  // in an edit they move the caret
        UserSelect(C, Key == VK_HOME ? 0 : Count(C) - 1);
        return true;
    case VK_RETURN:
        if (!C.Dropped) return false;
        CloseUp(C, true);
        return true;
    case VK_ESCAPE:
        if (!C.Dropped) return false;
        CloseUp(C, false);
        return true;
    default: return false;
    }
}

void CharTyped(TComboWindow& C, char Ch) {
    // A drop-down list goes to the next item with that first letter.
    if (!C.DropList() || static_cast<unsigned char>(Ch) < ' ') return;
    char S[2] = {Ch, 0};
    LRESULT Found = ToList(C, LB_FINDSTRING, static_cast<WPARAM>(CurSel(C)), PointerToLParam(S));
    if (Found != LB_ERR) UserSelect(C, static_cast<int>(Found));
}

// The edit child's keys that belong to the combo box go to it first.
LRESULT EditFilter(HWND Combo, HWND Edit, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TComboWindow* C = Find(Combo);
    if (!C) return DefWindowProc(Edit, Msg, WParam, LParam);
    switch (Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD Key = static_cast<WORD>(WParam);
        bool Alt = Msg == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
        if (Key == VK_HOME || Key == VK_END) break;
        if (KeyDown(*C, Key, Alt)) return 0;
        break;
    }
    case WM_CHAR:
        // Return and Escape that closed the list are not typed.
        if ((WParam == '\r' || WParam == 27) && GetCapture() == Combo) return 0;
        break;
    case WM_GETDLGCODE: {
        LRESULT R = CallWindowProc(C->EditProc, Edit, Msg, WParam, LParam);
        if (C->Dropped) R |= DLGC_WANTALLKEYS;
        return R;
    }
    case CN_CTLCOLOR: return SendMessage(Combo, CN_CTLCOLOR, WParam, LParam);
    default: break;
    }
    TWndProc Proc = C->EditProc;
    return CallWindowProc(Proc, Edit, Msg, WParam, LParam);
}

// --- painting ---

void Paint(TComboWindow& C, HDC DC) {
    TRect R = ClientOf(C.Wnd);
    TBrush* Brush = reinterpret_cast<TBrush*>(
        SendMessage(C.Wnd, CN_CTLCOLOR, reinterpret_cast<WPARAM>(DC), HandleToLParam(C.Wnd)));
    TColor Text = Brush ? static_cast<TColor>(DC->GetTextColor()) : clWindowText;
    TBrush Back;
    Back.SetColor(Brush ? Brush->Color() : clWindow);
    bool Enabled = IsWindowEnabled(C.Wnd);
    if (C.Simple()) {
        DC->FillRect(R, Back);
        return;
    }
    TRect Edge = R;
    DC->DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
    TRect B = ButtonRect(C);
    DC->DrawFrameControl(B, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (C.ButtonDown ? DFCS_PUSHED : 0u) |
                             (Enabled ? 0u : DFCS_INACTIVE));
    TRect F = FieldRect(C);
    DC->FillRect(F, Back);
    if (C.Edit) return;
    // The drop-down list kinds draw their field: the selected item, highlighted while focused.
    TRect Item = F;
    InflateRect(Item, -1, -1);
    int Sel = CurSel(C);
    bool Focused = C.Focused && !C.Dropped;
    if (C.OwnerDraw()) {
        TDrawItemStruct D;
        D.CtlType = ODT_COMBOBOX;
        D.CtlID = static_cast<UINT>(GetWindowLong(C.Wnd, GWL_ID));
        D.itemID = static_cast<UINT>(Sel);
        D.itemAction = ODA_DRAWENTIRE;
        D.itemState =
            ODS_COMBOBOXEDIT | (Focused ? ODS_SELECTED | ODS_FOCUS : 0u) | (Enabled ? 0u : ODS_DISABLED);
        D.hwndItem = C.Wnd;
        D.hDC = DC;
        D.rcItem = Item;
        D.itemData =
            Sel >= 0 ? static_cast<uintptr_t>(ToList(C, LB_GETITEMDATA, static_cast<WPARAM>(Sel))) : 0;
        int Saved = DC->SaveDC();
        DC->IntersectClipRect(Item.Left, Item.Top, Item.Right, Item.Bottom);
        if (HWND Parent = GetParent(C.Wnd)) SendMessage(Parent, WM_DRAWITEM, D.CtlID, PointerToLParam(&D));
        DC->RestoreDC(Saved);
        return;
    }
    if (Focused) {
        TBrush H;
        H.SetColor(clHighlight);
        DC->FillRect(Item, H);
    }
    if (Sel >= 0) {
        DC->Font()->Assign(&C.Font);
        DC->SetBkMode(TRANSPARENT);
        DC->SetTextColor(!Enabled ? clGrayText : Focused ? clHighlightText : Text);
        TRect T = Item;
        T.Left += 2;
        DC->DrawText(ItemText(C, Sel), T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (Focused) DC->DrawFocusRect(Item);
}

// --- the window procedure ---

void SetFont(TComboWindow& C, TFont* Font) {
    C.GivenFont = Font;
    if (Font) C.Font.Assign(Font);
    if (HDC DC = GetDC(nullptr)) {
        DC->Font()->Assign(&C.Font);
        TTextMetric TM;
        if (DC->GetTextMetrics(TM)) {
            C.ItemHeight = std::max(1, static_cast<int>(TM.tmHeight));
            if (!C.OwnerDraw()) C.FieldHeight = C.ItemHeight + 2;
        }
        ReleaseDC(nullptr, DC);
    }
    if (C.Edit) SendMessage(C.Edit, WM_SETFONT, reinterpret_cast<WPARAM>(Font), 0);
    if (C.List) SendMessage(C.List, WM_SETFONT, reinterpret_cast<WPARAM>(Font), 0);
    if (C.List && !C.OwnerDraw()) SendMessage(C.List, LB_SETITEMHEIGHT, 0, MakeLParam(C.ItemHeight, 0));
}

// Owner-drawn items of the list are the combo box's to the parent.
LRESULT ForwardItem(TComboWindow& C, UINT Msg, LPARAM LParam) {
    HWND Parent = GetParent(C.Wnd);
    if (!Parent) return 0;
    UINT Id = static_cast<UINT>(GetWindowLong(C.Wnd, GWL_ID));
    if (Msg == WM_DRAWITEM) {
        TDrawItemStruct D = *LParamToPointer<TDrawItemStruct>(LParam);
        D.CtlType = ODT_COMBOBOX;
        D.CtlID = Id;
        D.hwndItem = C.Wnd;
        return SendMessage(Parent, WM_DRAWITEM, Id, PointerToLParam(&D));
    }
    TMeasureItemStruct* M = LParamToPointer<TMeasureItemStruct>(LParam);
    TMeasureItemStruct Own = *M;
    Own.CtlType = ODT_COMBOBOX;
    Own.CtlID = Id;
    Own.hwndItem = C.Wnd;
    LRESULT R = SendMessage(Parent, WM_MEASUREITEM, Id, PointerToLParam(&Own));
    M->itemHeight = Own.itemHeight;
    M->itemWidth = Own.itemWidth;
    return R;
}

TPoint PointOf(LPARAM LParam) {
    return TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
}

// While the list is down: where the captured mouse is, over the list or over the combo box.
bool OverList(TComboWindow& C, TPoint ComboPoint, TPoint& ListPoint) {
    TPoint S = ComboPoint;
    ClientToScreen(C.Wnd, S);
    TRect L;
    GetWindowRect(C.List, L);
    if (!PtInRect(L, S)) return false;
    ListPoint = S;
    ScreenToClient(C.List, ListPoint);
    return true;
}

int ItemAt(TComboWindow& C, TPoint ListPoint) {
    LRESULT Hit = ToList(C, LB_ITEMFROMPOINT, 0, MakeLParam(ListPoint.x, ListPoint.y));
    if (HiWord(static_cast<uintptr_t>(Hit))) return -1;
    return LoWord(static_cast<uintptr_t>(Hit));
}

void CreateChildren(TComboWindow& C, DWORD Style) {
    HWND Wnd = C.Wnd;
    DWORD Kind = Style & 3;
    if (Kind != CBS_DROPDOWNLIST) {
        DWORD EditStyle = WS_CHILD | WS_VISIBLE | ((Style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0u);
        C.Edit = CreateWindowEx(0, "EDIT", "", EditStyle, 0, 0, 10, 10, Wnd, EditId, nullptr);
        C.EditProc = SubclassWindow(
            C.Edit, [Wnd](HWND E, UINT M, WPARAM W, LPARAM L) { return EditFilter(Wnd, E, M, W, L); });
    }
    DWORD ListStyle = static_cast<DWORD>(WS_VSCROLL) | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (Style & CBS_OWNERDRAWFIXED) ListStyle |= LBS_OWNERDRAWFIXED;
    if (Style & CBS_OWNERDRAWVARIABLE) ListStyle |= LBS_OWNERDRAWVARIABLE;
    if ((Style & CBS_HASSTRINGS) ||
        !(Style & (static_cast<DWORD>(CBS_OWNERDRAWFIXED) | static_cast<DWORD>(CBS_OWNERDRAWVARIABLE))))
        ListStyle |= LBS_HASSTRINGS;
    if (Style & CBS_SORT) ListStyle |= LBS_SORT;
    if (Kind == CBS_SIMPLE)
        C.List = CreateWindowEx(WS_EX_CLIENTEDGE, "ComboLBox", "", ListStyle | WS_CHILD | WS_VISIBLE, 0, 0,
                                10, 10, Wnd, ListId, nullptr);
    else
        C.List = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "ComboLBox", "",
                                ListStyle | WS_POPUP | WS_BORDER, 0, 0, 10, 10, Wnd, ListId, nullptr);
}

LRESULT ComboProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto C = std::make_unique<TComboWindow>();
        C->Wnd = Wnd;
        Combos()[Wnd] = std::move(C);
        // The scroll-bar styles are the list's; the combo box itself has no bars.
        LONG_PTR Style = GetWindowLong(Wnd, GWL_STYLE);
        SetWindowLong(Wnd, GWL_STYLE, Style & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL));
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    TComboWindow* P = Find(Wnd);
    if (!P) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TComboWindow& C = *P;
    switch (Msg) {
    case WM_CREATE: {
        const TCreateStruct* CS = LParamToPointer<const TCreateStruct>(LParam);
        CreateChildren(C, CS ? CS->Style : C.Style());
        SetFont(C, nullptr);
        if (C.OwnerDraw()) {
            // The field's height is the parent's to say, as an item's.
            TMeasureItemStruct M;
            M.CtlType = ODT_COMBOBOX;
            M.CtlID = static_cast<UINT>(GetWindowLong(Wnd, GWL_ID));
            M.itemID = static_cast<UINT>(-1);
            M.itemHeight = static_cast<UINT>(C.FieldHeight);
            M.hwndItem = Wnd;
            if (HWND Parent = GetParent(Wnd))
                SendMessage(Parent, WM_MEASUREITEM, M.CtlID, PointerToLParam(&M));
            C.FieldHeight = std::max<int>(1, static_cast<int>(M.itemHeight));
        }
        if (CS && CS->WindowName.size())
            SendMessage(Wnd, WM_SETTEXT, 0, PointerToLParam(CS->WindowName.c_str()));
        FixHeight(C);
        PlaceChildren(C);
        return 0;
    }
    case WM_NCDESTROY: {
        HWND List = C.List;
        Combos().erase(Wnd);
        if (List && IsWindow(List)) DestroyWindow(List);
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    case WM_SIZE:
        FixHeight(C);
        PlaceChildren(C);
        InvalidateRect(Wnd, nullptr, false);
        return 0;
    case WM_SETFONT:
        SetFont(C, reinterpret_cast<TFont*>(WParam));
        FixHeight(C);
        PlaceChildren(C);
        InvalidateRect(Wnd, nullptr, true);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(C.GivenFont);
    case WM_ENABLE:
        if (C.Edit) EnableWindow(C.Edit, WParam != 0);
        if (C.List) EnableWindow(C.List, WParam != 0);
        InvalidateRect(Wnd, nullptr, false);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        if (HDC Given = reinterpret_cast<HDC>(WParam)) {
            Paint(C, Given);
            return 0;
        }
        TPaintStruct PS;
        HDC DC = BeginPaint(Wnd, PS);
        if (DC) Paint(C, DC);
        EndPaint(Wnd, PS);
        return 0;
    }
    case CN_CTLCOLOR: return 0;
    case WM_SETTEXT: {
        const char* S = LParamToPointer<const char>(LParam);
        DefWindowProc(Wnd, Msg, WParam, LParam);
        AnsiString Text = S ? S : "";
        LRESULT Exact = Text.empty() ? LB_ERR
                                     : ToList(C, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              PointerToLParam(Text.c_str()));
        if (C.Edit) {
            C.SettingText = true;
            SetWindowText(C.Edit, Text);
            C.SettingText = false;
            ToList(C, LB_SETCURSEL, static_cast<WPARAM>(Exact));
            C.Shown = CurSel(C);
            return 1;
        }
        // A drop-down list shows only its items: a text it has not selects nothing.
        ToList(C, LB_SETCURSEL, static_cast<WPARAM>(Exact));
        C.Shown = CurSel(C);
        InvalidateRect(Wnd, nullptr, false);
        return Exact == LB_ERR && !Text.empty() ? CB_ERR : 1;
    }
    case WM_GETTEXTLENGTH:
        if (C.Edit) return GetWindowTextLength(C.Edit);
        return CurSel(C) >= 0 ? static_cast<LRESULT>(ItemText(C, CurSel(C)).size()) : 0;
    case WM_GETTEXT: {
        char* Buffer = LParamToPointer<char>(LParam);
        if (!Buffer || WParam == 0) return 0;
        AnsiString T =
            C.Edit ? GetWindowText(C.Edit) : (CurSel(C) >= 0 ? ItemText(C, CurSel(C)) : AnsiString());
        size_t N = std::min<size_t>(T.size(), WParam - 1);
        std::memcpy(Buffer, T.data(), N);
        Buffer[N] = '\0';
        return static_cast<LRESULT>(N);
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (C.Dropped ? LRESULT(DLGC_WANTALLKEYS) : LRESULT(0));
    case WM_SETFOCUS:
        if (C.Edit) {
            SetFocus(C.Edit);
            return 0;
        }
        if (!C.Focused) {
            C.Focused = true;
            InvalidateRect(Wnd, nullptr, false);
            Notify(C, CBN_SETFOCUS);
        }
        return 0;
    case WM_KILLFOCUS: {
        HWND To = WParamToHandle(WParam);
        if (To == C.Edit || To == C.List) return 0;
        CloseUp(C, true);
        if (C.Focused) {
            C.Focused = false;
            InvalidateRect(Wnd, nullptr, false);
            Notify(C, CBN_KILLFOCUS);
        }
        return 0;
    }
    case WM_COMMAND: {
        HWND From = LParamToHandle(LParam);
        WORD Code = HiWord(WParam);
        if (From == C.Edit && C.Edit) {
            switch (Code) {
            case EN_SETFOCUS:
                if (!C.Focused) {
                    C.Focused = true;
                    SendMessage(C.Edit, EM_SETSEL, 0, -1);
                    Notify(C, CBN_SETFOCUS);
                }
                break;
            case EN_KILLFOCUS:
                if (GetFocus() != Wnd && C.Focused) {
                    CloseUp(C, true);
                    C.Focused = false;
                    Notify(C, CBN_KILLFOCUS);
                }
                break;
            case EN_UPDATE:
                if (!C.SettingText) Notify(C, CBN_EDITUPDATE);
                break;
            case EN_CHANGE:
                if (!C.SettingText) {
                    // What is typed picks the first item it begins.
                    AnsiString Text = GetWindowText(C.Edit);
                    LRESULT Found = Text.empty() ? LB_ERR
                                                 : ToList(C, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                          PointerToLParam(Text.c_str()));
                    ToList(C, LB_SETCURSEL, static_cast<WPARAM>(Found));
                    C.Shown = CurSel(C);
                    if (Found != LB_ERR) ToList(C, LB_SETTOPINDEX, static_cast<WPARAM>(Found));
                    Notify(C, CBN_EDITCHANGE);
                }
                break;
            default: break;
            }
        } else if (From == C.List && C.List) {
            if (Code == LBN_SELCHANGE && C.Simple()) {
                ShowSelection(C);
                Notify(C, CBN_SELCHANGE);
            } else if (Code == LBN_DBLCLK) {
                Notify(C, CBN_DBLCLK);
            }
        }
        return 0;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM: return ForwardItem(C, Msg, LParam);
    case WM_KEYDOWN:
        if (KeyDown(C, static_cast<WORD>(WParam), GetKeyState(VK_MENU) < 0)) return 0;
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_SYSKEYDOWN:
        if ((WParam == VK_UP || WParam == VK_DOWN) && KeyDown(C, static_cast<WORD>(WParam), true)) return 0;
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_CHAR: CharTyped(C, static_cast<char>(WParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        TPoint Pt = PointOf(LParam), L;
        if (C.Dropped) {
            if (OverList(C, Pt, L)) {
                int I = ItemAt(C, L);
                if (I >= 0) ToList(C, LB_SETCURSEL, static_cast<WPARAM>(I));
                C.Tracking = true;
                return 0;
            }
            // A press anywhere else closes the list; on the combo box it keeps the list's choice.
            bool OnCombo = PtInRect(ClientOf(Wnd), Pt);
            CloseUp(C, OnCombo);
            return 0;
        }
        if (C.Simple()) return 0;
        if (GetFocus() != Wnd && GetFocus() != C.Edit) SetFocus(Wnd);
        if (!Find(Wnd)) return 0;
        if (C.Edit && !PtInRect(ButtonRect(C), Pt)) return 0;
        C.ButtonDown = true;
        DropDown(C);
        if (C.Dropped) C.Tracking = true;
        return 0;
    }
    case WM_MOUSEMOVE:
        if (C.Dropped) {
            TPoint L;
            if (OverList(C, PointOf(LParam), L) && (C.Tracking || (WParam & MK_LBUTTON) == 0)) {
                int I = ItemAt(C, L);
                if (I >= 0 && I != CurSel(C)) ToList(C, LB_SETCURSEL, static_cast<WPARAM>(I));
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        if (C.ButtonDown) {
            C.ButtonDown = false;
            InvalidateRect(Wnd, nullptr, false);
        }
        if (!C.Dropped || !C.Tracking) return 0;
        C.Tracking = false;
        TPoint L;
        if (OverList(C, PointOf(LParam), L) && ItemAt(C, L) >= 0) {
            // Released over an item: that item is the choice.
            ToList(C, LB_SETCURSEL, static_cast<WPARAM>(ItemAt(C, L)));
            CloseUp(C, true);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (C.Dropped && LParamToHandle(LParam) != Wnd) CloseUp(C, false);
        return 0;
    case WM_MOUSEWHEEL:
        if (!C.Dropped) UserSelect(C, CurSel(C) + (static_cast<int16_t>(HiWord(WParam)) > 0 ? -1 : 1));
        else ToList(C, Msg, WParam, LParam);
        return 0;

    // --- the combo-box messages ---
    case CB_ADDSTRING: return ToList(C, LB_ADDSTRING, 0, LParam);
    case CB_INSERTSTRING: return ToList(C, LB_INSERTSTRING, WParam, LParam);
    case CB_DELETESTRING: {
        int Sel = CurSel(C);
        LRESULT R = ToList(C, LB_DELETESTRING, WParam, LParam);
        if (R != LB_ERR && Sel == static_cast<int>(static_cast<intptr_t>(WParam))) ShowSelection(C);
        return R;
    }
    case CB_RESETCONTENT:
        ToList(C, LB_RESETCONTENT);
        ShowSelection(C);
        return 0;
    case CB_GETCOUNT: return Count(C);
    case CB_GETCURSEL: return CurSel(C);
    case CB_SETCURSEL: {
        intptr_t Index = static_cast<intptr_t>(WParam);
        LRESULT R = ToList(C, LB_SETCURSEL, WParam);
        ShowSelection(C);
        return Index < 0 || Index >= Count(C) ? CB_ERR : R;
    }
    case CB_GETLBTEXT: return ToList(C, LB_GETTEXT, WParam, LParam);
    case CB_GETLBTEXTLEN: return ToList(C, LB_GETTEXTLEN, WParam);
    case CB_GETITEMDATA: return ToList(C, LB_GETITEMDATA, WParam);
    case CB_SETITEMDATA: return ToList(C, LB_SETITEMDATA, WParam, LParam);
    case CB_FINDSTRING: return ToList(C, LB_FINDSTRING, WParam, LParam);
    case CB_FINDSTRINGEXACT: return ToList(C, LB_FINDSTRINGEXACT, WParam, LParam);
    case CB_SELECTSTRING: {
        LRESULT Found = ToList(C, LB_FINDSTRING, WParam, LParam);
        if (Found == LB_ERR) return CB_ERR;
        ToList(C, LB_SETCURSEL, static_cast<WPARAM>(Found));
        ShowSelection(C);
        return Found;
    }
    case CB_SHOWDROPDOWN:
        if (WParam) DropDown(C);
        else CloseUp(C, true);
        return 1;
    case CB_GETDROPPEDSTATE: return C.Dropped ? 1 : 0;
    case CB_GETDROPPEDCONTROLRECT:
        if (TRect* R = LParamToPointer<TRect>(LParam)) *R = DroppedRect(C);
        return 1;
    case CB_SETDROPPEDWIDTH: C.DroppedWidth = static_cast<int>(WParam); return C.DroppedWidth;
    case CB_GETDROPPEDWIDTH: {
        TRect W;
        GetWindowRect(Wnd, W);
        return std::max(W.Width(), C.DroppedWidth);
    }
    case CB_SETITEMHEIGHT: {
        int H = LoWord(static_cast<uintptr_t>(LParam));
        if (H <= 0) return CB_ERR;
        if (static_cast<intptr_t>(WParam) == -1) {
            C.FieldHeight = H;
            FixHeight(C);
            PlaceChildren(C);
            InvalidateRect(Wnd, nullptr, false);
            return 0;
        }
        return ToList(C, LB_SETITEMHEIGHT, WParam, LParam);
    }
    case CB_GETITEMHEIGHT:
        if (static_cast<intptr_t>(WParam) == -1) return C.FieldHeight;
        return ToList(C, LB_GETITEMHEIGHT, WParam);
    case CB_SETMINVISIBLE:
        if (static_cast<int>(WParam) <= 0) return 0;
        C.MaxVisible = static_cast<int>(WParam);
        return 1;
    case CB_GETMINVISIBLE: return C.MaxVisible;
    case CB_GETCOMBOBOXINFO: {
        TComboBoxInfo* Info = LParamToPointer<TComboBoxInfo>(LParam);
        if (!Info) return 0;
        Info->ItemRect = FieldRect(C);
        Info->ButtonRect = C.Simple() ? TRect() : ButtonRect(C);
        Info->Item = C.Edit;
        Info->List = C.List;
        return 1;
    }
    case CB_LIMITTEXT:
        if (C.Edit) SendMessage(C.Edit, EM_LIMITTEXT, WParam, 0);
        return 1;
    case CB_GETEDITSEL:
        if (!C.Edit) return CB_ERR;
        return SendMessage(C.Edit, EM_GETSEL, WParam, LParam);
    case CB_SETEDITSEL:
        if (!C.Edit) return CB_ERR;
        SendMessage(C.Edit, EM_SETSEL,
                    static_cast<WPARAM>(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam)))),
                    static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
        return 1;
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

}  // namespace

void RegisterComboBoxClass() {
    TWndClass C;
    if (!GetWindowClassInfo("COMBOBOX", C)) {
        C.Name = "COMBOBOX";
        C.Style = CS_DBLCLKS;
        C.WndProc = ComboProc;
        C.Background = clWindow;
        RegisterWindowClass(C);
    }
    // The list of a combo box is a list box of its own class name.
    TWndClass L;
    if (!GetWindowClassInfo("ComboLBox", L) && GetWindowClassInfo("LISTBOX", L)) {
        L.Name = "ComboLBox";
        L.Style |= CS_SAVEBITS;
        RegisterWindowClass(L);
    }
}
