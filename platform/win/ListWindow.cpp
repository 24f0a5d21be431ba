// The "LISTBOX" window class: a column of items (texts with a data word),
// single, multiple or extended selection, a caret item that carries the
// focus rectangle, sorted insertion, owner-drawn items of fixed or variable
// height, tab stops, a horizontal extent, keys, mouse and type-ahead.
//
// A list box that is not a child window (a drop-down list) never takes the
// focus: whoever dropped it keeps the keyboard.
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/gfx/Graphics.h"
#include "platform/rtl/Clock.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/StdWindows.h"

namespace {

// Keys typed within this time of each other search as one prefix.
constexpr uint32_t TypeAheadPause = 1000;

struct TItem {
    AnsiString Text;
    uintptr_t Data = 0;
    bool Selected = false;
    int Height = 0;
};

struct TListWindow {
    HWND Wnd = nullptr;
    TFont Font;
    TFont* GivenFont = nullptr;
    std::vector<TItem> Items;
    int Cur = -1;    // the selected item of a single-selection list
    int Caret = 0;   // the item with the focus rectangle
    int Anchor = 0;  // where an extended selection starts
    int Top = 0;
    int ItemHeight = 13;
    int ScrollX = 0;
    int Extent = 0;
    std::vector<int> TabStops;
    bool Tracking = false;
    AnsiString Search;
    uint32_t LastKey = 0;
    bool Sizing = false;
    // The bars the window was made with; they show only while needed.
    bool HasVBar = false, HasHBar = false;

    DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
    bool Multi() const {
        return Style() & (static_cast<DWORD>(LBS_MULTIPLESEL) | static_cast<DWORD>(LBS_EXTENDEDSEL));
    }
    bool Extended() const { return Style() & LBS_EXTENDEDSEL; }
    bool Variable() const { return Style() & LBS_OWNERDRAWVARIABLE; }
    bool OwnerDraw() const {
        return Style() & (static_cast<DWORD>(LBS_OWNERDRAWFIXED) | static_cast<DWORD>(LBS_OWNERDRAWVARIABLE));
    }
    bool HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }
    int Count() const { return static_cast<int>(Items.size()); }
    bool Valid(int I) const { return I >= 0 && I < Count(); }
    int HeightOf(int I) const {
        return Variable() && Valid(I) ? Items[static_cast<size_t>(I)].Height : ItemHeight;
    }
};

std::unordered_map<HWND, std::unique_ptr<TListWindow>>& Lists() {
    static std::unordered_map<HWND, std::unique_ptr<TListWindow>> Map;
    return Map;
}

TListWindow* Find(HWND Wnd) {
    auto It = Lists().find(Wnd);
    return It == Lists().end() ? nullptr : It->second.get();
}

TRect Client(const TListWindow& L) {
    TRect R;
    GetClientRect(L.Wnd, R);
    return R;
}

void Notify(TListWindow& L, WORD Code) {
    if (!(L.Style() & LBS_NOTIFY)) return;
    HWND Parent = GetParent(L.Wnd);
    if (Parent)
        SendMessage(Parent, WM_COMMAND, MakeWParam(static_cast<int>(GetWindowLong(L.Wnd, GWL_ID)), Code),
                    HandleToLParam(L.Wnd));
}

// --- geometry ---

// The top of item I in client coordinates (items above Top are above the window).
int ItemTop(const TListWindow& L, int I) {
    int Y = 0;
    if (I >= L.Top)
        for (int K = L.Top; K < I; ++K) Y += L.HeightOf(K);
    else
        for (int K = I; K < L.Top; ++K) Y -= L.HeightOf(K);
    return Y;
}

TRect ItemRect(const TListWindow& L, int I) {
    TRect C = Client(L);
    int Y = ItemTop(L, I);
    return TRect(-L.ScrollX, Y, std::max(C.Right, L.Extent) - L.ScrollX, Y + L.HeightOf(I));
}

// Items that fit whole from Top.
int PageSize(const TListWindow& L) {
    int H = Client(L).Height(), N = 0, Y = 0;
    for (int I = L.Top; I < L.Count(); ++I) {
        Y += L.HeightOf(I);
        if (Y > H) break;
        ++N;
    }
    if (!L.Variable() && L.ItemHeight > 0) N = std::max(N, H / L.ItemHeight);
    return std::max(1, N);
}

// The item under a client y, clamped to the items shown; -1 for an empty list.
int ItemAtY(const TListWindow& L, int Y, bool& Outside) {
    Outside = Y < 0 || Y >= Client(L).Height();
    if (L.Count() == 0) {
        Outside = true;
        return -1;
    }
    if (Y < 0) return std::max(0, L.Top - 1);
    int Top = 0;
    for (int I = L.Top; I < L.Count(); ++I) {
        int H = L.HeightOf(I);
        if (Y < Top + H) return I;
        Top += H;
    }
    Outside = true;
    return L.Count() - 1;
}

// A bar shows while the items need it (always, disabled, with LBS_DISABLENOSCROLL).
void UpdateScrollBars(TListWindow& L) {
    // A bar coming or going resizes the client area; that is no new height to fit.
    bool WasSizing = L.Sizing;
    L.Sizing = true;
    UINT Keep = (L.Style() & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0u;
    if (L.HasVBar) {
        TScrollInfo SI;
        SI.fMask = SIF_ALL | Keep;
        SI.nMax = std::max(0, L.Count() - 1);
        SI.nPage = static_cast<UINT>(PageSize(L));
        SI.nPos = L.Top;
        SetScrollInfo(L.Wnd, SB_VERT, SI, true);
    }
    if (L.HasHBar) {
        int Width = Client(L).Width();
        if (L.Extent <= Width) L.ScrollX = 0;
        TScrollInfo SI;
        SI.fMask = SIF_ALL | Keep;
        SI.nMax = std::max(0, L.Extent - 1);
        SI.nPage = static_cast<UINT>(std::max(1, Width));
        SI.nPos = L.ScrollX;
        SetScrollInfo(L.Wnd, SB_HORZ, SI, true);
    }
    L.Sizing = WasSizing;
}

void SetTop(TListWindow& L, int Top) {
    int Max = std::max(0, L.Count() - PageSize(L));
    if (L.Variable()) {
        // The last page is as many items as fit from the end.
        int H = Client(L).Height(), Y = 0, N = 0;
        for (int I = L.Count() - 1; I >= 0; --I) {
            Y += L.HeightOf(I);
            if (Y > H) break;
            ++N;
        }
        Max = std::max(0, L.Count() - std::max(1, N));
    }
    Top = std::clamp(Top, 0, Max);
    if (Top == L.Top) return;
    L.Top = Top;
    InvalidateRect(L.Wnd, nullptr, true);
    UpdateScrollBars(L);
}

void ShowItem(TListWindow& L, int I) {
    if (!L.Valid(I)) return;
    if (I < L.Top) {
        SetTop(L, I);
        return;
    }
    int H = Client(L).Height();
    while (I > L.Top && ItemTop(L, I) + L.HeightOf(I) > H) SetTop(L, L.Top + 1);
}

void Redraw(TListWindow& L) { InvalidateRect(L.Wnd, nullptr, true); }

// --- selection ---

void SetCaret(TListWindow& L, int I) {
    if (L.Count() == 0) {
        L.Caret = 0;
        return;
    }
    L.Caret = std::clamp(I, 0, L.Count() - 1);
    ShowItem(L, L.Caret);
    Redraw(L);
}

// The user moved to item I: a single list selects it; an extended one
// selects it alone, or the range from the anchor with Shift; Ctrl only moves
// the caret; a multiple list only moves the caret.
void UserMove(TListWindow& L, int I, bool Shift, bool Ctrl) {
    if (L.Count() == 0) return;
    I = std::clamp(I, 0, L.Count() - 1);
    if (!L.Multi()) {
        SetCaret(L, I);
        if (L.Cur != I) {
            L.Cur = I;
            Redraw(L);
            Notify(L, LBN_SELCHANGE);
        }
        return;
    }
    SetCaret(L, I);
    if (!L.Extended() || Ctrl) return;
    if (!Shift) L.Anchor = I;
    int A = std::min(L.Anchor, I), B = std::max(L.Anchor, I);
    bool Changed = false;
    for (int K = 0; K < L.Count(); ++K) {
        bool S = K >= A && K <= B;
        if (L.Items[static_cast<size_t>(K)].Selected != S) {
            L.Items[static_cast<size_t>(K)].Selected = S;
            Changed = true;
        }
    }
    if (Changed) {
        Redraw(L);
        Notify(L, LBN_SELCHANGE);
    }
}

void ToggleCaret(TListWindow& L) {
    if (!L.Multi() || !L.Valid(L.Caret)) return;
    TItem& It = L.Items[static_cast<size_t>(L.Caret)];
    It.Selected = !It.Selected;
    L.Anchor = L.Caret;
    Redraw(L);
    Notify(L, LBN_SELCHANGE);
}

// --- finding ---

bool StartsWith(std::string_view Text, std::string_view Prefix) {
    if (Prefix.size() > Text.size()) return false;
    return AnsiCompareText(Text.substr(0, Prefix.size()), Prefix) == 0;
}

int FindFrom(const TListWindow& L, intptr_t Start, std::string_view S, bool Exact) {
    int N = L.Count();
    if (N == 0) return LB_ERR;
    int First = (Start < 0 || Start >= N) ? 0 : static_cast<int>(Start) + 1;
    for (int K = 0; K < N; ++K) {
        int I = (First + K) % N;
        const AnsiString& T = L.Items[static_cast<size_t>(I)].Text;
        if (Exact ? AnsiCompareText(T, S) == 0 : StartsWith(T, S)) return I;
    }
    return LB_ERR;
}

// --- items ---

void MeasureItem(TListWindow& L, int I) {
    HWND Parent = GetParent(L.Wnd);
    TMeasureItemStruct M;
    M.CtlType = ODT_LISTBOX;
    M.CtlID = static_cast<UINT>(GetWindowLong(L.Wnd, GWL_ID));
    M.itemID = static_cast<UINT>(I);
    M.itemHeight = static_cast<UINT>(L.ItemHeight);
    M.itemWidth = static_cast<UINT>(Client(L).Width());
    M.itemData = L.Valid(I) ? L.Items[static_cast<size_t>(I)].Data : 0;
    M.hwndItem = L.Wnd;
    if (Parent) SendMessage(Parent, WM_MEASUREITEM, M.CtlID, PointerToLParam(&M));
    if (L.Valid(I)) L.Items[static_cast<size_t>(I)].Height = std::max<int>(1, static_cast<int>(M.itemHeight));
    else L.ItemHeight = std::max<int>(1, static_cast<int>(M.itemHeight));
}

int InsertItem(TListWindow& L, int Index, const char* Text, uintptr_t Data) {
    TItem It;
    if (L.HasStrings()) It.Text = Text ? Text : "";
    else It.Data = Data;
    It.Height = L.ItemHeight;
    if (Index < 0 || Index > L.Count()) Index = L.Count();
    L.Items.insert(L.Items.begin() + Index, It);
    if (L.Cur >= Index) ++L.Cur;
    if (L.Caret >= Index && L.Count() > 1) ++L.Caret;
    if (L.Anchor >= Index && L.Count() > 1) ++L.Anchor;
    if (L.Variable()) MeasureItem(L, Index);
    UpdateScrollBars(L);
    Redraw(L);
    return Index;
}

int SortedIndex(const TListWindow& L, std::string_view Text) {
    int I = 0;
    while (I < L.Count() && AnsiCompareText(L.Items[static_cast<size_t>(I)].Text, Text) <= 0) ++I;
    return I;
}

void DeleteItem(TListWindow& L, int Index) {
    L.Items.erase(L.Items.begin() + Index);
    if (L.Cur == Index) L.Cur = -1;
    else if (L.Cur > Index) --L.Cur;
    if (L.Caret > Index || L.Caret >= L.Count()) L.Caret = std::max(0, L.Caret - 1);
    if (L.Anchor > Index || L.Anchor >= L.Count()) L.Anchor = std::max(0, L.Anchor - 1);
    SetTop(L, L.Top);
    UpdateScrollBars(L);
    Redraw(L);
}

// --- painting ---

void Paint(TListWindow& L, HDC DC) {
    TRect C = Client(L);
    TBrush* Brush = reinterpret_cast<TBrush*>(
        SendMessage(L.Wnd, CN_CTLCOLOR, reinterpret_cast<WPARAM>(DC), HandleToLParam(L.Wnd)));
    TColor Text = Brush ? static_cast<TColor>(DC->GetTextColor()) : clWindowText;
    TBrush Back;
    Back.SetColor(Brush ? Brush->Color() : clWindow);
    bool Enabled = IsWindowEnabled(L.Wnd), Focused = GetFocus() == L.Wnd;
    HWND Parent = GetParent(L.Wnd);
    int Y = 0;
    for (int I = L.Top; I < L.Count() && Y < C.Bottom; ++I) {
        TRect R = ItemRect(L, I);
        const TItem& It = L.Items[static_cast<size_t>(I)];
        bool Selected = L.Multi() ? It.Selected : I == L.Cur;
        bool HasFocus = Focused && I == L.Caret;
        if (L.OwnerDraw()) {
            TDrawItemStruct D;
            D.CtlType = ODT_LISTBOX;
            D.CtlID = static_cast<UINT>(GetWindowLong(L.Wnd, GWL_ID));
            D.itemID = static_cast<UINT>(I);
            D.itemAction = ODA_DRAWENTIRE;
            D.itemState =
                (Selected ? ODS_SELECTED : 0u) | (HasFocus ? ODS_FOCUS : 0u) | (Enabled ? 0u : ODS_DISABLED);
            D.hwndItem = L.Wnd;
            D.hDC = DC;
            D.rcItem = R;
            D.itemData = It.Data;
            int Saved = DC->SaveDC();
            DC->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
            if (Parent) SendMessage(Parent, WM_DRAWITEM, D.CtlID, PointerToLParam(&D));
            DC->RestoreDC(Saved);
        } else {
            TBrush B;
            B.SetColor(Selected ? clHighlight : Back.Color());
            DC->FillRect(R, B);
            DC->Font()->Assign(&L.Font);
            DC->SetBkMode(TRANSPARENT);
            DC->SetTextColor(!Enabled ? clGrayText : Selected ? clHighlightText : Text);
            if (L.Style() & LBS_USETABSTOPS)
                DC->TabbedTextOut(R.Left + 2, R.Top, It.Text, L.TabStops, R.Left + 2);
            else DC->TextOut(R.Left + 2, R.Top, It.Text);
            if (HasFocus) DC->DrawFocusRect(R);
        }
        Y = R.Bottom;
    }
    if (Y < C.Bottom) DC->FillRect(TRect(C.Left, Y, C.Right, C.Bottom), Back);
    // An empty list still shows where the focus is.
    if (Focused && L.Count() == 0) {
        TRect R(0, 0, C.Right, L.ItemHeight);
        if (L.OwnerDraw() && Parent) {
            TDrawItemStruct D;
            D.CtlType = ODT_LISTBOX;
            D.CtlID = static_cast<UINT>(GetWindowLong(L.Wnd, GWL_ID));
            D.itemID = static_cast<UINT>(-1);
            D.itemAction = ODA_FOCUS;
            D.itemState = ODS_FOCUS;
            D.hwndItem = L.Wnd;
            D.hDC = DC;
            D.rcItem = R;
            SendMessage(Parent, WM_DRAWITEM, D.CtlID, PointerToLParam(&D));
        } else {
            DC->DrawFocusRect(R);
        }
    }
}

// --- the window procedure ---

void SetFont(TListWindow& L, TFont* Font) {
    L.GivenFont = Font;
    if (Font) L.Font.Assign(Font);
    if (!L.OwnerDraw()) {
        if (HDC DC = GetDC(nullptr)) {
            DC->Font()->Assign(&L.Font);
            TTextMetric TM;
            if (DC->GetTextMetrics(TM)) L.ItemHeight = std::max(1, static_cast<int>(TM.tmHeight));
            ReleaseDC(nullptr, DC);
        }
    }
}

// A list without LBS_NOINTEGRALHEIGHT shows whole items only: its height is cut to fit.
void FitIntegralHeight(TListWindow& L) {
    DWORD Style = L.Style();
    if ((Style & LBS_NOINTEGRALHEIGHT) || L.Variable() || L.ItemHeight <= 0 || L.Sizing) return;
    TRect C = Client(L);
    int Extra = C.Height() % L.ItemHeight;
    if (Extra == 0 || C.Height() < L.ItemHeight) return;
    TRect W;
    GetWindowRect(L.Wnd, W);
    L.Sizing = true;
    SetWindowPos(L.Wnd, nullptr, 0, 0, W.Width(), W.Height() - Extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    L.Sizing = false;
}

int TabUnit(const TListWindow& L) {
    int Unit = 6;
    if (HDC DC = GetDC(nullptr)) {
        DC->Font()->Assign(const_cast<TFont*>(&L.Font));
        TTextMetric TM;
        if (DC->GetTextMetrics(TM)) Unit = std::max(1, static_cast<int>(TM.tmAveCharWidth));
        ReleaseDC(nullptr, DC);
    }
    return Unit;
}

void KeyDown(TListWindow& L, WORD Key) {
    bool Shift = GetKeyState(VK_SHIFT) < 0, Ctrl = GetKeyState(VK_CONTROL) < 0;
    int From =
        L.Multi() ? L.Caret : (L.Cur >= 0 ? L.Cur : L.Caret - (Key == VK_DOWN || Key == VK_RIGHT ? 1 : 0));
    int Page = PageSize(L);
    int To;
    switch (Key) {
    case VK_UP:
    case VK_LEFT: To = From - 1; break;
    case VK_DOWN:
    case VK_RIGHT: To = From + 1; break;
    case VK_PRIOR: To = From - std::max(1, Page - 1); break;
    case VK_NEXT: To = From + std::max(1, Page - 1); break;
    case VK_HOME: To = 0; break;
    case VK_END: To = L.Count() - 1; break;
    case VK_SPACE:
        if (L.Multi()) ToggleCaret(L);
        return;
    default: return;
    }
    if (L.Style() & LBS_MULTIPLESEL) {
        SetCaret(L, To);
        return;
    }
    UserMove(L, To, Shift, Ctrl);
}

void CharTyped(TListWindow& L, char C) {
    if (static_cast<unsigned char>(C) < ' ' || !L.HasStrings() || L.Count() == 0) return;
    uint32_t Now = GetTickCount();
    bool Continues = !L.Search.empty() && Now - L.LastKey < TypeAheadPause;
    L.LastKey = Now;
    int From = L.Multi() ? L.Caret : L.Cur;
    int Found;
    if (Continues) {
        // The prefix grows; the item in place may still match it.
        L.Search += C;
        Found = FindFrom(L, From - 1, L.Search, false);
    } else {
        L.Search = AnsiString(1, C);
        Found = FindFrom(L, From, L.Search, false);
    }
    if (Found != LB_ERR) UserMove(L, Found, false, false);
}

TPoint PointOf(LPARAM LParam) {
    return TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
}

LRESULT ListProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto L = std::make_unique<TListWindow>();
        L->Wnd = Wnd;
        if (const TCreateStruct* CS = LParamToPointer<const TCreateStruct>(LParam)) {
            L->HasVBar = CS->Style & WS_VSCROLL;
            L->HasHBar = CS->Style & WS_HSCROLL;
        }
        Lists()[Wnd] = std::move(L);
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    TListWindow* P = Find(Wnd);
    if (!P) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TListWindow& L = *P;
    switch (Msg) {
    case WM_CREATE:
        SetFont(L, nullptr);
        if (L.OwnerDraw() && !L.Variable()) MeasureItem(L, -1);
        if (L.Variable()) {
            // The height items have until measured.
            MeasureItem(L, -1);
        }
        UpdateScrollBars(L);
        FitIntegralHeight(L);
        return 0;
    case WM_NCDESTROY: Lists().erase(Wnd); return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_SETFONT:
        SetFont(L, reinterpret_cast<TFont*>(WParam));
        FitIntegralHeight(L);
        UpdateScrollBars(L);
        if (LParam) Redraw(L);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(L.GivenFont);
    case WM_SIZE:
        if (L.Sizing) return 0;
        FitIntegralHeight(L);
        SetTop(L, L.Top);
        UpdateScrollBars(L);
        Redraw(L);
        return 0;
    case WM_ENABLE: Redraw(L); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        if (HDC Given = reinterpret_cast<HDC>(WParam)) {
            Paint(L, Given);
            return 0;
        }
        TPaintStruct PS;
        HDC DC = BeginPaint(Wnd, PS);
        if (DC) Paint(L, DC);
        EndPaint(Wnd, PS);
        return 0;
    }
    case CN_CTLCOLOR:
        // The list of a combo box wears the combo box's colours.
        if (GetClassName(Wnd) == "ComboLBox") return SendMessage(GetParent(Wnd), CN_CTLCOLOR, WParam, LParam);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        Redraw(L);
        Notify(L, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        L.Tracking = false;
        Redraw(L);
        Notify(L, LBN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN: KeyDown(L, static_cast<WORD>(WParam)); return 0;
    case WM_CHAR: CharTyped(L, static_cast<char>(WParam)); return 0;
    case WM_LBUTTONDOWN: {
        if ((L.Style() & WS_CHILD) && GetFocus() != Wnd) SetFocus(Wnd);
        if (!Find(Wnd)) return 0;
        TPoint Pt = PointOf(LParam);
        bool Outside;
        int I = ItemAtY(L, Pt.y, Outside);
        if (I < 0 || Outside) return 0;
        if (L.Style() & LBS_MULTIPLESEL) {
            SetCaret(L, I);
            ToggleCaret(L);
        } else if (L.Extended() && (WParam & MK_CONTROL)) {
            SetCaret(L, I);
            ToggleCaret(L);
        } else {
            UserMove(L, I, (WParam & MK_SHIFT) != 0, false);
        }
        L.Tracking = true;
        SetCapture(Wnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (L.Tracking && GetCapture() == Wnd && !(L.Style() & LBS_MULTIPLESEL)) {
            TPoint Pt = PointOf(LParam);
            bool Outside;
            int I = ItemAtY(L, Pt.y, Outside);
            // Dragged past an edge, the list scrolls on.
            if (Pt.y < 0 && L.Top > 0) I = L.Top - 1;
            if (I >= 0) UserMove(L, I, L.Extended(), false);
        }
        return 0;
    case WM_LBUTTONUP:
        if (L.Tracking) {
            L.Tracking = false;
            if (GetCapture() == Wnd) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED: L.Tracking = false; return 0;
    case WM_LBUTTONDBLCLK: {
        bool Outside;
        int I = ItemAtY(L, PointOf(LParam).y, Outside);
        if (I >= 0 && !Outside) Notify(L, LBN_DBLCLK);
        return 0;
    }
    case WM_MOUSEWHEEL: SetTop(L, L.Top + (static_cast<int16_t>(HiWord(WParam)) > 0 ? -3 : 3)); return 0;
    case WM_VSCROLL: {
        int Page = PageSize(L);
        switch (LoWord(WParam)) {
        case SB_LINEUP: SetTop(L, L.Top - 1); break;
        case SB_LINEDOWN: SetTop(L, L.Top + 1); break;
        case SB_PAGEUP: SetTop(L, L.Top - Page); break;
        case SB_PAGEDOWN: SetTop(L, L.Top + Page); break;
        case SB_TOP: SetTop(L, 0); break;
        case SB_BOTTOM: SetTop(L, L.Count()); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: SetTop(L, HiWord(WParam)); break;
        default: break;
        }
        return 0;
    }
    case WM_HSCROLL: {
        int Width = Client(L).Width(), X = L.ScrollX;
        switch (LoWord(WParam)) {
        case SB_LINELEFT: X -= 8; break;
        case SB_LINERIGHT: X += 8; break;
        case SB_PAGELEFT: X -= Width; break;
        case SB_PAGERIGHT: X += Width; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: X = HiWord(WParam); break;
        default: return 0;
        }
        L.ScrollX = std::clamp(X, 0, std::max(0, L.Extent - Width));
        UpdateScrollBars(L);
        Redraw(L);
        return 0;
    }

    // --- the list-box messages ---
    case LB_ADDSTRING: {
        const char* S = LParamToPointer<const char>(LParam);
        int Index = (L.Style() & LBS_SORT) && L.HasStrings() ? SortedIndex(L, S ? S : "") : L.Count();
        return InsertItem(L, Index, S, static_cast<uintptr_t>(LParam));
    }
    case LB_INSERTSTRING: {
        intptr_t Index = static_cast<intptr_t>(WParam);
        if (Index > L.Count()) return LB_ERR;
        return InsertItem(L, static_cast<int>(Index), LParamToPointer<const char>(LParam),
                          static_cast<uintptr_t>(LParam));
    }
    case LB_DELETESTRING: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index)) return LB_ERR;
        DeleteItem(L, Index);
        return L.Count();
    }
    case LB_RESETCONTENT:
        L.Items.clear();
        L.Cur = -1;
        L.Caret = L.Anchor = L.Top = 0;
        UpdateScrollBars(L);
        Redraw(L);
        return 0;
    case LB_SETSEL: {
        if (!L.Multi()) return LB_ERR;
        intptr_t Index = static_cast<intptr_t>(LParam);
        if (Index == -1) {
            for (TItem& It : L.Items) It.Selected = WParam != 0;
        } else if (L.Valid(static_cast<int>(Index))) {
            L.Items[static_cast<size_t>(Index)].Selected = WParam != 0;
        } else {
            return LB_ERR;
        }
        Redraw(L);
        return 0;
    }
    case LB_SETCURSEL: {
        if (L.Multi()) return LB_ERR;
        intptr_t Index = static_cast<intptr_t>(WParam);
        if (Index < -1 || Index >= L.Count()) Index = -1;
        L.Cur = static_cast<int>(Index);
        if (Index >= 0) SetCaret(L, L.Cur);
        Redraw(L);
        return Index < 0 ? LB_ERR : Index;
    }
    case LB_GETSEL: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index)) return LB_ERR;
        return L.Multi() ? (L.Items[static_cast<size_t>(Index)].Selected ? 1 : 0) : (Index == L.Cur ? 1 : 0);
    }
    case LB_GETCURSEL:
        if (L.Multi()) return L.Count() ? L.Caret : LB_ERR;
        return L.Cur >= 0 ? L.Cur : LB_ERR;
    case LB_GETTEXT: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        char* Buffer = LParamToPointer<char>(LParam);
        if (!L.Valid(Index) || !Buffer) return LB_ERR;
        const TItem& It = L.Items[static_cast<size_t>(Index)];
        if (!L.HasStrings()) {
            std::memcpy(Buffer, &It.Data, sizeof It.Data);
            return sizeof It.Data;
        }
        std::memcpy(Buffer, It.Text.c_str(), It.Text.size() + 1);
        return static_cast<LRESULT>(It.Text.size());
    }
    case LB_GETTEXTLEN: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index)) return LB_ERR;
        return L.HasStrings() ? static_cast<LRESULT>(L.Items[static_cast<size_t>(Index)].Text.size())
                              : static_cast<LRESULT>(sizeof(uintptr_t));
    }
    case LB_GETCOUNT: return L.Count();
    case LB_SELECTSTRING: {
        if (L.Multi()) return LB_ERR;
        const char* S = LParamToPointer<const char>(LParam);
        AnsiString Prefix = AnsiString(S ? S : "").substr(0, 255);
        int Found = FindFrom(L, static_cast<intptr_t>(WParam), Prefix, false);
        if (Found == LB_ERR) return LB_ERR;
        L.Cur = Found;
        SetCaret(L, Found);
        Redraw(L);
        return Found;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
        const char* S = LParamToPointer<const char>(LParam);
        return FindFrom(L, static_cast<intptr_t>(WParam), S ? S : "", Msg == LB_FINDSTRINGEXACT);
    }
    case LB_GETTOPINDEX: return L.Top;
    case LB_SETTOPINDEX: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index) && !(Index == 0 && L.Count() == 0)) return LB_ERR;
        SetTop(L, Index);
        return 0;
    }
    case LB_GETSELCOUNT: {
        if (!L.Multi()) return LB_ERR;
        return std::count_if(L.Items.begin(), L.Items.end(), [](const TItem& It) { return It.Selected; });
    }
    case LB_GETSELITEMS: {
        if (!L.Multi()) return LB_ERR;
        int* Out = LParamToPointer<int>(LParam);
        int N = 0;
        for (int I = 0; I < L.Count() && static_cast<WPARAM>(N) < WParam; ++I)
            if (L.Items[static_cast<size_t>(I)].Selected) Out[N++] = I;
        return N;
    }
    case LB_SETTABSTOPS: {
        int Unit = TabUnit(L);
        const int* Stops = LParamToPointer<const int>(LParam);
        L.TabStops.clear();
        // Dialog units are a quarter of the average character.
        if (WParam == 1 && Stops) {
            for (int X = Stops[0] * Unit / 4; X > 0 && L.TabStops.size() < 64; X += Stops[0] * Unit / 4)
                L.TabStops.push_back(X);
        } else if (Stops) {
            for (WPARAM I = 0; I < WParam; ++I) L.TabStops.push_back(Stops[I] * Unit / 4);
        }
        Redraw(L);
        return 1;
    }
    case LB_SETHORIZONTALEXTENT:
        L.Extent = static_cast<int>(WParam);
        UpdateScrollBars(L);
        Redraw(L);
        return 0;
    case LB_GETHORIZONTALEXTENT: return L.Extent;
    case LB_GETITEMRECT: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        TRect* R = LParamToPointer<TRect>(LParam);
        if (!R || (!L.Valid(Index) && !(Index == 0 && L.Count() == 0))) return LB_ERR;
        *R = ItemRect(L, Index);
        return 1;
    }
    case LB_GETITEMDATA: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index)) return LB_ERR;
        return static_cast<LRESULT>(L.Items[static_cast<size_t>(Index)].Data);
    }
    case LB_SETITEMDATA: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index)) return LB_ERR;
        L.Items[static_cast<size_t>(Index)].Data = static_cast<uintptr_t>(LParam);
        return 0;
    }
    case LB_SELITEMRANGE: {
        if (!L.Multi()) return LB_ERR;
        int A = LoWord(static_cast<uintptr_t>(LParam)), B = HiWord(static_cast<uintptr_t>(LParam));
        if (A > B) std::swap(A, B);
        if (!L.Valid(A)) return LB_ERR;
        for (int I = A; I <= std::min(B, L.Count() - 1); ++I)
            L.Items[static_cast<size_t>(I)].Selected = WParam != 0;
        Redraw(L);
        return 0;
    }
    case LB_SETCARETINDEX: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (!L.Valid(Index)) return LB_ERR;
        SetCaret(L, Index);
        return 0;
    }
    case LB_GETCARETINDEX:
        if (!L.Multi() && L.Cur >= 0) return L.Cur;
        return L.Caret;
    case LB_SETITEMHEIGHT: {
        int H = LoWord(static_cast<uintptr_t>(LParam));
        if (H <= 0) return LB_ERR;
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (L.Variable()) {
            if (!L.Valid(Index)) return LB_ERR;
            L.Items[static_cast<size_t>(Index)].Height = H;
        } else {
            L.ItemHeight = H;
            FitIntegralHeight(L);
        }
        UpdateScrollBars(L);
        Redraw(L);
        return 0;
    }
    case LB_GETITEMHEIGHT: {
        int Index = static_cast<int>(static_cast<intptr_t>(WParam));
        if (L.Variable()) return L.Valid(Index) ? L.HeightOf(Index) : LB_ERR;
        return L.ItemHeight;
    }
    case LB_ITEMFROMPOINT: {
        bool Outside;
        int I = ItemAtY(L, PointOf(LParam).y, Outside);
        TPoint Pt = PointOf(LParam);
        if (Pt.x < 0 || Pt.x >= Client(L).Width()) Outside = true;
        return MakeLParam(std::max(0, I), Outside ? 1 : 0);
    }
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

}  // namespace

void RegisterListBoxClass() {
    TWndClass C;
    if (GetWindowClassInfo("LISTBOX", C)) return;
    C.Name = "LISTBOX";
    C.Style = CS_DBLCLKS;
    C.WndProc = ListProc;
    C.Background = clWindow;
    RegisterWindowClass(C);
}
