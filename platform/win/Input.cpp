// Focus, activation and capture; the keyboard state; the input a display
// reports, turned into queued messages; cursors; the key tables.
#include <algorithm>
#include <array>
#include <cstring>
#include <deque>

#include "platform/gfx/CursorImage.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowTree.h"

struct TCursorShape {
    int Number = crArrow;
    TSurface Image;
    TSurface Mask;
    TPoint HotSpot;
    bool FromImage = false;
};

namespace wm {
namespace {

struct TInputState {
    HWND Focus = nullptr;
    HWND Active = nullptr;
    HWND Capture = nullptr;
    // What the thread has taken from the queue, and what the display reported.
    std::array<uint8_t, 256> Keys{};
    std::array<uint8_t, 256> AsyncKeys{};
    TPoint Cursor;
    UINT DoubleClickTime = 500;
    // The last button press, for double clicks.
    HWND LastDownWnd = nullptr;
    int LastDownButton = -1;
    DWORD LastDownTime = 0;
    TPoint LastDownPoint;
    HCURSOR CurrentCursor = nullptr;
};

TInputState& In() {
    static TInputState State;
    return State;
}

bool IsKeyMessage(UINT M) {
    return M == WM_KEYDOWN || M == WM_KEYUP || M == WM_SYSKEYDOWN || M == WM_SYSKEYUP;
}
bool IsClientMouse(UINT M) { return M >= WM_MOUSEFIRST && M <= WM_MOUSELAST; }
bool IsNonClientMouse(UINT M) { return M >= WM_NCMOUSEMOVE && M <= WM_NCRBUTTONUP; }
bool IsButtonDown(UINT M) {
    return M == WM_LBUTTONDOWN || M == WM_RBUTTONDOWN || M == WM_MBUTTONDOWN || M == WM_LBUTTONDBLCLK ||
           M == WM_RBUTTONDBLCLK || M == WM_MBUTTONDBLCLK || M == WM_NCLBUTTONDOWN || M == WM_NCRBUTTONDOWN ||
           M == WM_NCLBUTTONDBLCLK;
}

void SetKey(std::array<uint8_t, 256>& Keys, int Vk, bool Down) {
    uint8_t& K = Keys[static_cast<size_t>(Vk & 0xFF)];
    if (Down && !(K & 0x80)) K ^= 0x01;  // a press flips the toggle (Caps Lock ...)
    K = static_cast<uint8_t>(Down ? (K | 0x80) : (K & ~0x80));
}

void SetGenericAndSide(std::array<uint8_t, 256>& Keys, int Vk, bool Down) {
    SetKey(Keys, Vk, Down);
    switch (Vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: SetKey(Keys, VK_SHIFT, Down); break;
    case VK_LCONTROL:
    case VK_RCONTROL: SetKey(Keys, VK_CONTROL, Down); break;
    case VK_LMENU:
    case VK_RMENU: SetKey(Keys, VK_MENU, Down); break;
    default: break;
    }
}

bool Down(const std::array<uint8_t, 256>& Keys, int Vk) {
    return (Keys[static_cast<size_t>(Vk)] & 0x80) != 0;
}

UINT MouseKeyFlags(const std::array<uint8_t, 256>& Keys) {
    UINT F = 0;
    if (Down(Keys, VK_LBUTTON)) F |= MK_LBUTTON;
    if (Down(Keys, VK_RBUTTON)) F |= MK_RBUTTON;
    if (Down(Keys, VK_MBUTTON)) F |= MK_MBUTTON;
    if (Down(Keys, VK_SHIFT)) F |= MK_SHIFT;
    if (Down(Keys, VK_CONTROL)) F |= MK_CONTROL;
    return F;
}

int ButtonKey(int Button) { return Button == 0 ? VK_LBUTTON : Button == 1 ? VK_RBUTTON : VK_MBUTTON; }

// The button message for a button (0 left, 1 right, 2 middle): down, up, double click.
UINT ButtonMessage(int Button, int Kind, bool Client) {
    if (Client) {
        static const UINT M[3][3] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
                                     {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
                                     {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}};
        return M[Button][Kind];
    }
    static const UINT N[3][3] = {{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK},
                                 {WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_NCRBUTTONDOWN},
                                 {0, 0, 0}};
    return N[Button][Kind];
}

// Keys of the US layout that type a character other than their letter or digit.
struct TOemKey {
    WORD Vk;
    char Plain, Shifted;
};
constexpr TOemKey OemKeys[] = {
    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
};
constexpr char ShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

HWND FocusWindow() { return In().Focus; }

char KeyToChar(WORD Vk, bool Shift, bool Ctrl, bool Alt, bool Caps) {
    if (Ctrl && !Alt) {
        if (Vk >= 'A' && Vk <= 'Z') return static_cast<char>(Vk - 'A' + 1);
        switch (Vk) {
        case VK_RETURN: return 10;
        case VK_BACK: return 127;
        case VK_OEM_4: return 27;
        case VK_OEM_5: return 28;
        case VK_OEM_6: return 29;
        case VK_ESCAPE: return 27;
        case VK_SPACE: return ' ';
        default: return 0;
        }
    }
    if (Vk >= 'A' && Vk <= 'Z') return static_cast<char>((Shift != Caps) ? Vk : Vk - 'A' + 'a');
    if (Vk >= '0' && Vk <= '9') return Shift ? ShiftedDigits[Vk - '0'] : static_cast<char>(Vk);
    if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) return static_cast<char>('0' + Vk - VK_NUMPAD0);
    switch (Vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: break;
    }
    for (const TOemKey& K : OemKeys)
        if (K.Vk == Vk) return Shift ? K.Shifted : K.Plain;
    return 0;
}

char TranslateKey(WORD Vk) {
    const auto& K = In().Keys;
    return KeyToChar(Vk, Down(K, VK_SHIFT), Down(K, VK_CONTROL), Down(K, VK_MENU), (K[VK_CAPITAL] & 1) != 0);
}

bool ResolveInput(const TInputEvent& E, TMsg& Msg) {
    TInputState& I = In();
    Msg = TMsg();
    Msg.time = E.Time;
    Msg.pt = E.Pt;
    switch (E.Kind) {
    case TInputEvent::Key:
        Msg.hwnd = I.Focus ? I.Focus : I.Active;
        Msg.message = E.Down ? (E.Sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (E.Sys ? WM_SYSKEYUP : WM_KEYUP);
        Msg.wParam = E.Vk;
        Msg.lParam = static_cast<LPARAM>(static_cast<int32_t>(E.KeyData));
        Msg.KeyChar = E.Down ? E.Char : 0;
        return Find(Msg.hwnd) != nullptr;
    case TInputEvent::Wheel:
        Msg.hwnd = I.Focus ? I.Focus : I.Active;
        Msg.message = WM_MOUSEWHEEL;
        Msg.wParam = MakeWParam(static_cast<int>(E.MouseKeys), E.Delta);
        Msg.lParam = MakeLParam(E.Pt.x, E.Pt.y);
        return Find(Msg.hwnd) != nullptr;
    case TInputEvent::Move:
    case TInputEvent::Button: break;
    }
    LRESULT Hit = HTCLIENT;
    TWindow* W = nullptr;
    if (I.Capture) {
        W = Find(I.Capture);
    } else {
        W = HitTest(E.Pt, Hit);
        if (W && Hit == HTERROR) W = nullptr;  // a window disabled by a modal one takes no mouse
    }
    if (!W) return false;
    bool Client = Hit == HTCLIENT;
    Msg.hwnd = W->Handle;
    if (E.Kind == TInputEvent::Move)
        Msg.message = Client ? static_cast<UINT>(WM_MOUSEMOVE) : static_cast<UINT>(WM_NCMOUSEMOVE);
    else Msg.message = ButtonMessage(E.ButtonIndex, E.Down ? 0 : 1, Client);
    if (!Msg.message) return false;
    if (Client) {
        TPoint P = E.Pt;
        ScreenToClient(W->Handle, P);
        Msg.wParam = E.MouseKeys;
        Msg.lParam = MakeLParam(P.x, P.y);
    } else {
        Msg.wParam = static_cast<WPARAM>(Hit);
        Msg.lParam = MakeLParam(E.Pt.x, E.Pt.y);
    }
    return true;
}

bool InputTaken(const TInputEvent& E, TMsg& Msg) {
    TInputState& I = In();
    if (IsKeyMessage(Msg.message)) {
        bool IsDown = Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN;
        SetGenericAndSide(I.Keys, static_cast<int>(Msg.wParam), IsDown);
        if (CallHooks(WH_KEYBOARD, HC_ACTION, Msg.wParam, Msg.lParam) != 0) return false;
        return true;
    }
    if (E.Kind == TInputEvent::Button) SetKey(I.Keys, ButtonKey(E.ButtonIndex), E.Down);
    if (!IsClientMouse(Msg.message) && !IsNonClientMouse(Msg.message)) return true;
    TWindow* W = Find(Msg.hwnd);
    if (!W) return false;
    if (E.Kind == TInputEvent::Button && E.Down) {
        bool Dbl = (W->Class->Style & CS_DBLCLKS) && I.LastDownWnd == W->Handle &&
                   I.LastDownButton == E.ButtonIndex && E.Time - I.LastDownTime <= I.DoubleClickTime &&
                   std::abs(E.Pt.x - I.LastDownPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                   std::abs(E.Pt.y - I.LastDownPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (Dbl) {
            UINT D =
                ButtonMessage(E.ButtonIndex, 2, Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST);
            if (D) Msg.message = D;
            I.LastDownWnd = nullptr;
        } else {
            I.LastDownWnd = W->Handle;
            I.LastDownButton = E.ButtonIndex;
            I.LastDownTime = E.Time;
            I.LastDownPoint = E.Pt;
        }
    }
    UINT Hit = IsClientMouse(Msg.message) ? static_cast<UINT>(HTCLIENT) : static_cast<UINT>(Msg.wParam);
    TMouseHookStruct Hook;
    Hook.pt = Msg.pt;
    Hook.hwnd = Msg.hwnd;
    Hook.wHitTestCode = Hit;
    if (CallHooks(WH_MOUSE, HC_ACTION, Msg.message, PointerToLParam(&Hook)) != 0) return false;
    if (!Find(Msg.hwnd)) return false;
    if (IsButtonDown(Msg.message)) {
        TWindow* Top = TopLevelOf(W);
        if (Top->Handle != I.Active && !(Top->Style & WS_DISABLED)) {
            LRESULT R = Send(*W, WM_MOUSEACTIVATE, HandleToWParam(Top->Handle),
                             MakeLParam(static_cast<int>(Hit), static_cast<int>(Msg.message)));
            if ((R == MA_ACTIVATE || R == MA_ACTIVATEANDEAT) && Find(Top->Handle))
                SetActiveWindow(Top->Handle);
            if (R == MA_ACTIVATEANDEAT || R == MA_NOACTIVATEANDEAT) return false;
            if (!Find(Msg.hwnd)) return false;
        }
    }
    if (!I.Capture && Find(Msg.hwnd))
        Send(*W, WM_SETCURSOR, HandleToWParam(Msg.hwnd),
             MakeLParam(static_cast<int>(Hit), static_cast<int>(Msg.message)));
    return Find(Msg.hwnd) != nullptr;
}

void InputDropped(const TInputEvent& E) {
    if (E.Kind == TInputEvent::Key) SetGenericAndSide(In().Keys, E.Vk, E.Down);
    if (E.Kind == TInputEvent::Button) SetKey(In().Keys, ButtonKey(E.ButtonIndex), E.Down);
}

void WindowGoing(TWindow& W) {
    TInputState& I = In();
    auto Inside = [&](HWND H) { return H == W.Handle || IsChild(W.Handle, H); };
    if (I.Focus && Inside(I.Focus)) {
        if (W.Parent && !W.Parent->Destroying && IsShowing(*W.Parent)) SetFocus(W.Parent->Handle);
        else SetFocus(nullptr);
    }
    if (I.Capture && Inside(I.Capture)) ReleaseCapture();
    if (!W.Parent && I.Active == W.Handle) SetActiveOther(&W);
}

void InputWindowGone(TWindow& W) {
    TInputState& I = In();
    if (I.Focus == W.Handle) I.Focus = nullptr;
    if (I.Capture == W.Handle) I.Capture = nullptr;
    if (I.Active == W.Handle) I.Active = nullptr;
    if (I.LastDownWnd == W.Handle) I.LastDownWnd = nullptr;
}

void ResetInput() {
    TInputState& I = In();
    UINT Dbl = I.DoubleClickTime;
    I = TInputState();
    I.DoubleClickTime = Dbl;
}

}  // namespace wm

using namespace wm;

// --- focus, activation, capture ---

HWND SetFocus(HWND Wnd) {
    TInputState& I = In();
    HWND Old = I.Focus;
    if (!Wnd) {
        if (Old) {
            I.Focus = nullptr;
            if (TWindow* O = Find(Old)) Send(*O, WM_KILLFOCUS, 0, 0);
        }
        return Old;
    }
    TWindow* W = Find(Wnd);
    if (!W || W->Destroying) return nullptr;
    for (TWindow* P = W; P; P = P->Parent)
        if (P->Style & WS_DISABLED) return nullptr;
    if (Wnd == Old) return Old;
    TWindow* Top = TopLevelOf(W);
    if (Top->Handle != I.Active) {
        SetActiveWindow(Top->Handle);
        W = Find(Wnd);
        if (!W) return nullptr;
    }
    Old = I.Focus;
    if (Old == Wnd) return Old;
    I.Focus = Wnd;
    if (TWindow* O = Find(Old)) Send(*O, WM_KILLFOCUS, HandleToWParam(Wnd), 0);
    if (I.Focus == Wnd && (W = Find(Wnd))) Send(*W, WM_SETFOCUS, HandleToWParam(Old), 0);
    return Old;
}

HWND GetFocus() { return In().Focus; }

HWND SetActiveWindow(HWND Wnd) {
    TInputState& I = In();
    TWindow* W = Find(Wnd);
    if (Wnd && !W) return nullptr;
    if (W) {
        W = TopLevelOf(W);
        Wnd = W->Handle;
    }
    HWND Old = I.Active;
    if (Old == Wnd) return Old;
    I.Active = Wnd;
    if (TWindow* O = Find(Old)) {
        Send(*O, WM_NCACTIVATE, 0, 0);
        if (Find(Old)) Send(*O, WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0), HandleToLParam(Wnd));
        if (Find(Old)) InvalidateFrame(*O);
    }
    if (I.Active != Wnd) return Old;  // a handler activated something else meanwhile
    if (!W || !Find(Wnd)) {
        if (!Wnd && I.Focus) SetFocus(nullptr);
        return Old;
    }
    BringWindowToTop(Wnd);
    if (W->DisplayMapped) CurrentDisplay().WindowActivated(Wnd);
    Send(*W, WM_NCACTIVATE, 1, 0);
    if (Find(Wnd)) Send(*W, WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0), HandleToLParam(Old));
    if (Find(Wnd)) InvalidateFrame(*W);
    return Old;
}

HWND GetActiveWindow() { return In().Active; }
HWND GetForegroundWindow() { return In().Active; }
bool SetForegroundWindow(HWND Wnd) { return Find(Wnd) && (SetActiveWindow(Wnd), true); }

HWND SetCapture(HWND Wnd) {
    TInputState& I = In();
    HWND Old = I.Capture;
    if (!Find(Wnd)) return Old;
    I.Capture = Wnd;
    if (Old && Old != Wnd)
        if (TWindow* O = Find(Old)) Send(*O, WM_CAPTURECHANGED, 0, HandleToLParam(Wnd));
    return Old;
}

HWND GetCapture() { return In().Capture; }

bool ReleaseCapture() {
    TInputState& I = In();
    HWND Old = I.Capture;
    I.Capture = nullptr;
    if (TWindow* O = Find(Old)) Send(*O, WM_CAPTURECHANGED, 0, 0);
    return true;
}

// --- the keyboard ---

int16_t GetKeyState(int VirtualKey) {
    uint8_t K = In().Keys[static_cast<size_t>(VirtualKey & 0xFF)];
    return static_cast<int16_t>(((K & 0x80) ? 0xFF80 : 0) | (K & 1));
}

int16_t GetAsyncKeyState(int VirtualKey) {
    uint8_t K = In().AsyncKeys[static_cast<size_t>(VirtualKey & 0xFF)];
    return static_cast<int16_t>((K & 0x80) ? 0x8000 : 0);
}

bool GetKeyboardState(uint8_t State[256]) {
    std::memcpy(State, In().Keys.data(), 256);
    return true;
}

bool SetKeyboardState(const uint8_t State[256]) {
    std::memcpy(In().Keys.data(), State, 256);
    return true;
}

UINT MapVirtualKey(UINT Code, UINT MapType) {
    switch (MapType) {
    case MAPVK_VK_TO_CHAR: {
        char C = KeyToChar(static_cast<WORD>(Code), false, false, false, false);
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
        return static_cast<unsigned char>(C);
    }
    case MAPVK_VK_TO_VSC:
    case MAPVK_VSC_TO_VK: return Code & 0xFF;  // our scan codes are the key numbers
    default: return 0;
    }
}

int16_t VkKeyScan(char C) {
    unsigned char U = static_cast<unsigned char>(C);
    if (U >= 'a' && U <= 'z') return static_cast<int16_t>(U - 'a' + 'A');
    if (U >= 'A' && U <= 'Z') return static_cast<int16_t>(0x100 | U);
    if (U >= '0' && U <= '9') return static_cast<int16_t>(U);
    for (int D = 0; D < 10; ++D)
        if (ShiftedDigits[D] == C) return static_cast<int16_t>(0x100 | ('0' + D));
    switch (U) {
    case ' ': return VK_SPACE;
    case '\r': return VK_RETURN;
    case '\t': return VK_TAB;
    case '\b': return VK_BACK;
    case 27: return VK_ESCAPE;
    default: break;
    }
    for (const TOemKey& K : OemKeys) {
        if (K.Plain == C) return static_cast<int16_t>(K.Vk);
        if (K.Shifted == C) return static_cast<int16_t>(0x100 | K.Vk);
    }
    if (U >= 1 && U <= 26) return static_cast<int16_t>(0x200 | ('A' + U - 1));
    return -1;
}

bool GetCursorPos(TPoint& P) {
    P = In().Cursor;
    return true;
}

bool SetCursorPos(int X, int Y) {
    In().Cursor = TPoint(X, Y);
    return true;
}

UINT GetDoubleClickTime() { return In().DoubleClickTime; }
bool SetDoubleClickTime(UINT MSecs) {
    In().DoubleClickTime = MSecs ? MSecs : 500;
    return true;
}

// --- cursors ---

HCURSOR LoadStandardCursor(int Cursor) {
    static std::deque<TCursorShape> Standard;
    for (const TCursorShape& C : Standard)
        if (C.Number == Cursor) return &C;
    TCursorShape C;
    C.Number = Cursor;
    Standard.push_back(std::move(C));
    return &Standard.back();
}

namespace {
HCURSOR Keep(TCursorShape C) {
    static std::deque<TCursorShape> Made;
    Made.push_back(std::move(C));
    return &Made.back();
}
}  // namespace

HCURSOR CreateImageCursor(const TSurface* Image, TPoint HotSpot) {
    TCursorShape C;
    C.Number = crArrow;
    if (Image) C.Image = *Image;
    C.HotSpot = HotSpot;
    C.FromImage = Image != nullptr;
    return Keep(std::move(C));
}

HCURSOR CreateImageCursor(const TSurface& Image, const TSurface& Mask, TPoint HotSpot) {
    TCursorShape C;
    C.Number = crArrow;
    C.Image = Image;
    C.Mask = Mask;
    C.HotSpot = HotSpot;
    C.FromImage = true;
    return Keep(std::move(C));
}

HCURSOR LoadResourceCursor(std::string_view Name) {
    TCursorImage Cursor;
    if (!LoadCursorResource(Name, Cursor)) return nullptr;
    return CreateImageCursor(Cursor.Image, Cursor.Mask, Cursor.HotSpot);
}

bool GetCursorImage(HCURSOR Cursor, TSurface& Image, TSurface& Mask, TPoint& HotSpot) {
    if (!Cursor || !Cursor->FromImage) return false;
    Image = Cursor->Image;
    Mask = Cursor->Mask;
    HotSpot = Cursor->HotSpot;
    return true;
}

HCURSOR SetCursor(HCURSOR Cursor) {
    HCURSOR Old = In().CurrentCursor;
    In().CurrentCursor = Cursor;
    if (Cursor != Old) CurrentDisplay().CursorChanged(CursorShapeNumber(Cursor));
    return Old;
}

HCURSOR GetCursor() { return In().CurrentCursor; }

int CursorShapeNumber(HCURSOR Cursor) { return Cursor ? Cursor->Number : crNone; }

// --- input from the display ---

void InputKey(WORD VirtualKey, bool IsDown, char Char) {
    TInputState& I = In();
    bool WasDown = Down(I.AsyncKeys, VirtualKey & 0xFF);
    SetGenericAndSide(I.AsyncKeys, VirtualKey, IsDown);
    bool Alt = Down(I.AsyncKeys, VK_MENU);
    bool Ctrl = Down(I.AsyncKeys, VK_CONTROL);
    TInputEvent E;
    E.Kind = TInputEvent::Key;
    E.Vk = VirtualKey;
    E.Down = IsDown;
    E.Char = IsDown ? Char : 0;
    E.Sys = (Alt && !Ctrl) || VirtualKey == VK_F10 || (VirtualKey == VK_MENU && !IsDown);
    uint32_t Data = 1u | (MapVirtualKey(VirtualKey, MAPVK_VK_TO_VSC) << 16);
    if (Alt) Data |= KF_ALTDOWN;
    if (IsDown ? WasDown : true) Data |= KF_REPEAT;
    if (!IsDown) Data |= KF_UP;
    E.KeyData = Data;
    E.Pt = I.Cursor;
    E.Time = GetTickCount();
    PostInputEvent(E);
}

void InputMouseMove(TPoint ScreenPoint) {
    TInputState& I = In();
    I.Cursor = ScreenPoint;
    TInputEvent E;
    E.Kind = TInputEvent::Move;
    E.Pt = ScreenPoint;
    E.MouseKeys = MouseKeyFlags(I.AsyncKeys);
    E.Time = GetTickCount();
    PostInputEvent(E);
}

void InputMouseButton(int Button, bool IsDown, TPoint ScreenPoint) {
    if (Button < 0 || Button > 2) return;
    TInputState& I = In();
    I.Cursor = ScreenPoint;
    SetKey(I.AsyncKeys, ButtonKey(Button), IsDown);
    TInputEvent E;
    E.Kind = TInputEvent::Button;
    E.ButtonIndex = Button;
    E.Down = IsDown;
    E.Pt = ScreenPoint;
    E.MouseKeys = MouseKeyFlags(I.AsyncKeys);
    E.Time = GetTickCount();
    PostInputEvent(E);
}

void InputMouseWheel(int Delta, TPoint ScreenPoint) {
    TInputState& I = In();
    I.Cursor = ScreenPoint;
    TInputEvent E;
    E.Kind = TInputEvent::Wheel;
    E.Delta = Delta;
    E.Pt = ScreenPoint;
    E.MouseKeys = MouseKeyFlags(I.AsyncKeys);
    E.Time = GetTickCount();
    PostInputEvent(E);
}

void InputCloseRequest(HWND Wnd) {
    if (Find(Wnd)) PostMessage(Wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void InputWindowMoved(HWND Wnd, const TRect& Bounds) {
    TWindow* W = Find(Wnd);
    if (!W || W->Parent || W->Bounds == Bounds) return;
    // The display placed the window itself: telling it back would start a
    // tug of war with a window manager that adds its own offsets.
    W->MovedByDisplay = true;
    SetWindowPos(Wnd, nullptr, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (TWindow* Still = Find(Wnd)) Still->MovedByDisplay = false;
}

void InputExpose(HWND Wnd, const TRect& Area) {
    TWindow* W = Find(Wnd);
    if (!W || W->Parent || !W->Surface) return;
    // The surface still holds the pixels: show them again.
    MarkDirty(*W, Area);
    PresentDirty();
}

void InputActivate(HWND Wnd, bool Active) {
    TWindow* W = Find(Wnd);
    if (!W || W->Parent || !Active) return;
    if (W->Style & WS_DISABLED) return;  // a modal window keeps the activation
    if (In().Active != Wnd) SetActiveWindow(Wnd);
}
