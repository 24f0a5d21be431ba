// The "BUTTON" window class: push buttons, check boxes, radio buttons, group
// boxes and owner-drawn buttons. A press and a release over the button (by
// the mouse, or Space while it has the focus) is a click: an automatic
// check box or radio button changes its state, and the parent hears
// BN_CLICKED.
#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/gfx/Graphics.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/StdWindows.h"

namespace {

struct TButtonWindow {
    HWND Wnd = nullptr;
    TFont Font;
    TFont* GivenFont = nullptr;
    int Check = BST_UNCHECKED;
    bool Pushed = false;
    bool Tracking = false;  // the left button went down on it
    bool SpaceDown = false;

    DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
    DWORD Type() const { return Style() & BS_TYPEMASK; }
    bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
    bool IsCheck() const {
        DWORD T = Type();
        return T == BS_CHECKBOX || T == BS_AUTOCHECKBOX || T == BS_3STATE || T == BS_AUTO3STATE;
    }
    bool IsPush() const { return Type() == BS_PUSHBUTTON || Type() == BS_DEFPUSHBUTTON; }
};

std::unordered_map<HWND, std::unique_ptr<TButtonWindow>>& Buttons() {
    static std::unordered_map<HWND, std::unique_ptr<TButtonWindow>> Map;
    return Map;
}

TButtonWindow* Find(HWND Wnd) {
    auto It = Buttons().find(Wnd);
    return It == Buttons().end() ? nullptr : It->second.get();
}

void Notify(HWND Wnd, WORD Code) {
    HWND Parent = GetParent(Wnd);
    if (Parent)
        SendMessage(Parent, WM_COMMAND, MakeWParam(static_cast<int>(GetWindowLong(Wnd, GWL_ID)), Code),
                    HandleToLParam(Wnd));
}

void SetPushed(TButtonWindow& B, bool Value) {
    if (B.Pushed == Value) return;
    B.Pushed = Value;
    InvalidateRect(B.Wnd, nullptr, false);
}

// The click: the automatic kinds change their state first, then the parent hears it.
void Click(HWND Wnd) {
    TButtonWindow* B = Find(Wnd);
    if (!B) return;
    switch (B->Type()) {
    case BS_AUTOCHECKBOX:
        SendMessage(Wnd, BM_SETCHECK, B->Check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        SendMessage(Wnd, BM_SETCHECK,
                    B->Check == BST_UNCHECKED ? BST_CHECKED
                    : B->Check == BST_CHECKED ? BST_INDETERMINATE
                                              : BST_UNCHECKED,
                    0);
        break;
    case BS_AUTORADIOBUTTON: {
        SendMessage(Wnd, BM_SETCHECK, BST_CHECKED, 0);
        // The other automatic radio buttons of the parent go off.
        for (HWND Sibling : GetChildWindows(GetParent(Wnd))) {
            TButtonWindow* S = Find(Sibling);
            if (S && Sibling != Wnd && S->Type() == BS_AUTORADIOBUTTON)
                SendMessage(Sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        break;
    }
    default: break;
    }
    Notify(Wnd, BN_CLICKED);
}

// --- painting ---

void DrawCaption(HDC DC, const TButtonWindow& B, TRect R, uint32_t Flags, bool Enabled, TColor Text) {
    AnsiString Caption = GetWindowText(B.Wnd);
    if (Caption.empty()) return;
    DC->Font()->Assign(const_cast<TFont*>(&B.Font));
    DC->SetBkMode(TRANSPARENT);
    if (!Enabled) {
        // The old disabled look: the text etched in white below the grey.
        TRect S = R;
        OffsetRect(S, 1, 1);
        DC->SetTextColor(clBtnHighlight);
        DC->DrawText(Caption, S, Flags);
        DC->SetTextColor(clGrayText);
    } else {
        DC->SetTextColor(Text);
    }
    DC->DrawText(Caption, R, Flags);
}

void Paint(TButtonWindow& B, HDC DC) {
    TRect Client;
    GetClientRect(B.Wnd, Client);
    bool Enabled = IsWindowEnabled(B.Wnd);
    bool Focused = GetFocus() == B.Wnd;
    DWORD Style = B.Style(), Type = B.Type();
    if (Type == BS_OWNERDRAW) {
        TDrawItemStruct D;
        D.CtlType = ODT_BUTTON;
        D.CtlID = static_cast<UINT>(GetWindowLong(B.Wnd, GWL_ID));
        D.itemAction = ODA_DRAWENTIRE;
        D.itemState =
            (B.Pushed ? ODS_SELECTED : 0u) | (Focused ? ODS_FOCUS : 0u) | (Enabled ? 0u : ODS_DISABLED);
        D.hwndItem = B.Wnd;
        D.hDC = DC;
        D.rcItem = Client;
        HWND Parent = GetParent(B.Wnd);
        if (Parent) SendMessage(Parent, WM_DRAWITEM, D.CtlID, PointerToLParam(&D));
        return;
    }
    TBrush* Brush = reinterpret_cast<TBrush*>(
        SendMessage(B.Wnd, CN_CTLCOLOR, reinterpret_cast<WPARAM>(DC), HandleToLParam(B.Wnd)));
    TColor Text = Brush ? static_cast<TColor>(DC->GetTextColor()) : clBtnText;
    TBrush Face;
    Face.SetColor(Brush ? Brush->Color() : clBtnFace);
    if (B.IsPush()) {
        TRect R = Client;
        if (Type == BS_DEFPUSHBUTTON || Focused) {
            // The default button wears a dark frame round its face.
            DC->Brush()->SetColor(clWindowFrame);
            DC->FrameRect(R);
            InflateRect(R, -1, -1);
        }
        DC->DrawFrameControl(R, DFC_BUTTON, DFCS_BUTTONPUSH | (B.Pushed ? DFCS_PUSHED : 0u));
        TRect T = R;
        if (B.Pushed) OffsetRect(T, 1, 1);
        DrawCaption(DC, B, T, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Enabled, clBtnText);
        if (Focused) {
            TRect F = R;
            InflateRect(F, -3, -3);
            DC->DrawFocusRect(F);
        }
        return;
    }
    DC->FillRect(Client, Face);
    if (Type == BS_GROUPBOX) {
        TTextMetric TM;
        DC->Font()->Assign(&B.Font);
        DC->GetTextMetrics(TM);
        TRect F(0, TM.tmHeight / 2 - 1, Client.Right, Client.Bottom);
        DC->DrawEdge(F, EDGE_ETCHED, BF_RECT);
        AnsiString Caption = GetWindowText(B.Wnd);
        if (!Caption.empty()) {
            TRect T(8, 0, 8 + DC->TextWidth(Caption) + 2, TM.tmHeight);
            DC->FillRect(T, Face);
            OffsetRect(T, 1, 0);
            DrawCaption(DC, B, T, DT_LEFT | DT_SINGLELINE, Enabled, Text);
        }
        return;
    }
    // Check boxes and radio buttons: a 13-pixel glyph, the caption beside it.
    const int Glyph = 13;
    bool LeftText = Style & BS_LEFTTEXT;
    int Top = (Client.Height() - Glyph) / 2;
    TRect G = LeftText ? TRect(Client.Right - Glyph, Top, Client.Right, Top + Glyph)
                       : TRect(0, Top, Glyph, Top + Glyph);
    uint32_t State = B.IsRadio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (B.Check == BST_CHECKED) State |= DFCS_CHECKED;
    if (B.Check == BST_INDETERMINATE) State |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (B.Pushed) State |= DFCS_PUSHED;
    if (!Enabled) State |= DFCS_INACTIVE;
    DC->DrawFrameControl(G, DFC_BUTTON, State);
    TRect T = LeftText ? TRect(0, 0, Client.Right - Glyph - 4, Client.Bottom)
                       : TRect(Glyph + 4, 0, Client.Right, Client.Bottom);
    uint32_t Flags = DT_SINGLELINE | DT_VCENTER | (LeftText ? DT_RIGHT : DT_LEFT);
    if (Style & BS_MULTILINE) Flags = DT_WORDBREAK | (LeftText ? DT_RIGHT : DT_LEFT);
    DrawCaption(DC, B, T, Flags, Enabled, Text);
    AnsiString Caption = GetWindowText(B.Wnd);
    if (Focused && !Caption.empty()) {
        DC->Font()->Assign(&B.Font);
        TRect M = T;
        DC->DrawText(Caption, M, Flags | DT_CALCRECT);
        // DT_CALCRECT measures from the top; the text stands centred.
        int H = M.Height();
        TRect F(M.Left - 1, (Client.Height() - H) / 2 - 1, M.Right + 1, (Client.Height() - H) / 2 + H + 1);
        if (LeftText) OffsetRect(F, T.Right - M.Right, 0);
        DC->DrawFocusRect(F);
    }
}

LRESULT ButtonProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto B = std::make_unique<TButtonWindow>();
        B->Wnd = Wnd;
        Buttons()[Wnd] = std::move(B);
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    TButtonWindow* P = Find(Wnd);
    if (!P) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TButtonWindow& B = *P;
    switch (Msg) {
    case WM_NCDESTROY: Buttons().erase(Wnd); return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_SETFONT:
        B.GivenFont = reinterpret_cast<TFont*>(WParam);
        if (B.GivenFont) B.Font.Assign(B.GivenFont);
        if (LParam) InvalidateRect(Wnd, nullptr, true);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(B.GivenFont);
    case WM_SETTEXT: {
        LRESULT R = DefWindowProc(Wnd, Msg, WParam, LParam);
        InvalidateRect(Wnd, nullptr, true);
        return R;
    }
    case WM_ENABLE: InvalidateRect(Wnd, nullptr, true); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        if (HDC Given = reinterpret_cast<HDC>(WParam)) {
            Paint(B, Given);
            return 0;
        }
        TPaintStruct PS;
        HDC DC = BeginPaint(Wnd, PS);
        if (DC) Paint(B, DC);
        EndPaint(Wnd, PS);
        return 0;
    }
    case CN_CTLCOLOR: return 0;
    case WM_GETDLGCODE:
        switch (B.Type()) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
        }
    case WM_SETFOCUS:
        InvalidateRect(Wnd, nullptr, true);
        // A radio button reached by the keyboard (not by a click) is chosen by it.
        if (B.IsRadio() && GetCapture() != Wnd && B.Check != BST_CHECKED) {
            if (B.Type() == BS_AUTORADIOBUTTON) SendMessage(Wnd, BM_SETCHECK, BST_CHECKED, 0);
            Notify(Wnd, BN_CLICKED);
        }
        return 0;
    case WM_KILLFOCUS:
        if (B.SpaceDown) {
            B.SpaceDown = false;
            SetPushed(B, false);
        }
        if (GetCapture() == Wnd) ReleaseCapture();
        InvalidateRect(Wnd, nullptr, true);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (B.Type() == BS_OWNERDRAW || B.IsRadio()) {
            Notify(Wnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        if (B.Type() == BS_GROUPBOX) return 0;
        if (GetFocus() != Wnd) SetFocus(Wnd);
        if (!Find(Wnd)) return 0;
        B.Tracking = true;
        SetCapture(Wnd);
        SetPushed(B, true);
        return 0;
    case WM_MOUSEMOVE:
        if (B.Tracking && GetCapture() == Wnd) {
            TRect R;
            GetClientRect(Wnd, R);
            TPoint Pt(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                      static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
            SetPushed(B, PtInRect(R, Pt));
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!B.Tracking) return 0;
        B.Tracking = false;
        TRect R;
        GetClientRect(Wnd, R);
        TPoint Pt(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
        // Released away from the button: no click.
        bool WasPushed = B.Pushed && PtInRect(R, Pt);
        SetPushed(B, false);
        if (GetCapture() == Wnd) ReleaseCapture();
        if (WasPushed) Click(Wnd);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (B.Tracking) {
            B.Tracking = false;
            SetPushed(B, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (WParam == VK_SPACE && B.Type() != BS_GROUPBOX) {
            B.SpaceDown = true;
            SetPushed(B, true);
            return 0;
        }
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_KEYUP:
        if (WParam == VK_SPACE && B.SpaceDown) {
            B.SpaceDown = false;
            SetPushed(B, false);
            Click(Wnd);
            return 0;
        }
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case BM_GETCHECK: return B.Check;
    case BM_SETCHECK: {
        int Value = static_cast<int>(WParam) & 3;
        if (Value == BST_INDETERMINATE && B.Type() != BS_3STATE && B.Type() != BS_AUTO3STATE)
            Value = BST_CHECKED;
        if (Value != B.Check) {
            B.Check = Value;
            InvalidateRect(Wnd, nullptr, false);
        }
        return 0;
    }
    case BM_GETSTATE:
        return static_cast<LRESULT>(static_cast<WPARAM>(B.Check) | (B.Pushed ? BST_PUSHED : WPARAM(0)) |
                                    (GetFocus() == Wnd ? BST_FOCUS : WPARAM(0)));
    case BM_SETSTATE: SetPushed(B, WParam != 0); return 0;
    case BM_SETSTYLE: {
        LONG_PTR Style = GetWindowLong(Wnd, GWL_STYLE);
        SetWindowLong(Wnd, GWL_STYLE,
                      (Style & ~static_cast<LONG_PTR>(0xFFFF)) | static_cast<LONG_PTR>(WParam & 0xFFFF));
        if (LParam) InvalidateRect(Wnd, nullptr, true);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(Wnd)) Click(Wnd);
        return 0;
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

}  // namespace

void RegisterButtonClass() {
    TWndClass C;
    if (GetWindowClassInfo("BUTTON", C)) return;
    C.Name = "BUTTON";
    C.Style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    C.WndProc = ButtonProc;
    C.Background = clBtnFace;
    RegisterWindowClass(C);
}
