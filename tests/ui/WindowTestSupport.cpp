#include "WindowTestSupport.h"

#include <algorithm>

std::string MessageName(UINT Msg) {
    static const std::map<UINT, std::string> Names = {
        {WM_CREATE, "CREATE"},
        {WM_DESTROY, "DESTROY"},
        {WM_NCDESTROY, "NCDESTROY"},
        {WM_SIZE, "SIZE"},
        {WM_MOVE, "MOVE"},
        {WM_PAINT, "PAINT"},
        {WM_ERASEBKGND, "ERASEBKGND"},
        {WM_NCPAINT, "NCPAINT"},
        {WM_SETFOCUS, "SETFOCUS"},
        {WM_KILLFOCUS, "KILLFOCUS"},
        {WM_ACTIVATE, "ACTIVATE"},
        {WM_KEYDOWN, "KEYDOWN"},
        {WM_KEYUP, "KEYUP"},
        {WM_CHAR, "CHAR"},
        {WM_SYSKEYDOWN, "SYSKEYDOWN"},
        {WM_SYSCHAR, "SYSCHAR"},
        {WM_LBUTTONDOWN, "LBUTTONDOWN"},
        {WM_LBUTTONUP, "LBUTTONUP"},
        {WM_LBUTTONDBLCLK, "LBUTTONDBLCLK"},
        {WM_MOUSEMOVE, "MOUSEMOVE"},
        {WM_TIMER, "TIMER"},
        {WM_VSCROLL, "VSCROLL"},
        {WM_HSCROLL, "HSCROLL"},
        {WM_CAPTURECHANGED, "CAPTURECHANGED"},
        {WM_USER, "USER"},
        {WM_SHOWWINDOW, "SHOWWINDOW"},
        {WM_NCLBUTTONDOWN, "NCLBUTTONDOWN"},
        {WM_MOUSEACTIVATE, "MOUSEACTIVATE"},
        {WM_CLOSE, "CLOSE"},
    };
    auto It = Names.find(Msg);
    return It == Names.end() ? "0x" + std::to_string(Msg) : It->second;
}

TWindowLab::TWindowLab() {
    ResetWindowManager();
    FWatched = {WM_PAINT, WM_ERASEBKGND, WM_SETFOCUS,    WM_KILLFOCUS, WM_KEYDOWN,
                WM_KEYUP, WM_CHAR,       WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                WM_TIMER, WM_USER,       WM_SIZE,        WM_DESTROY,   WM_NCDESTROY};
    TWndClass C;
    C.Name = "LabWindow";
    C.Style = CS_DBLCLKS;
    C.Background = clWhite;
    RegisterWindowClass(C);
}

TWindowLab::~TWindowLab() { ResetWindowManager(); }

void TWindowLab::Watch(std::initializer_list<UINT> Messages) {
    FWatched.assign(Messages.begin(), Messages.end());
}

HWND TWindowLab::Make(const std::string& Name, HWND Parent, TRect B, DWORD Style, DWORD ExStyle) {
    if (Parent) Style |= WS_CHILD;
    HWND H =
        CreateWindowEx(ExStyle, "LabWindow", Name, Style, B.Left, B.Top, B.Width(), B.Height(), Parent, 0,
                       nullptr, [this](HWND W, UINT M, WPARAM WP, LPARAM LP) { return Proc(W, M, WP, LP); });
    FNames[H] = Name;
    return H;
}

const std::string& TWindowLab::NameOf(HWND Wnd) const {
    static const std::string None = "-";
    auto It = FNames.find(Wnd);
    return It == FNames.end() ? None : It->second;
}

LRESULT TWindowLab::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (std::find(FWatched.begin(), FWatched.end(), Msg) != FWatched.end())
        Log.push_back(NameOf(Wnd) + ":" + MessageName(Msg));
    auto It = FHandlers.find(Wnd);
    if (It != FHandlers.end()) {
        LRESULT Result = 0;
        THandler H = It->second;
        if (H(Wnd, Msg, WParam, LParam, Result)) return Result;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

void TWindowLab::Pump() {
    TMsg M;
    while (PeekMessage(M, nullptr, 0, 0, PM_REMOVE)) {
        if (M.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(M.wParam));
            return;
        }
        TranslateMessage(M);
        DispatchMessage(M);
    }
}

void TWindowLab::PaintWith(HWND Wnd, TColor Color) {
    On(Wnd, [Color](HWND W, UINT M, WPARAM, LPARAM, LRESULT& R) {
        if (M != WM_PAINT) return false;
        TPaintStruct PS;
        HDC DC = BeginPaint(W, PS);
        TRect C;
        GetClientRect(W, C);
        TBrush B;
        B.SetColor(Color);
        DC->FillRect(C, B);
        EndPaint(W, PS);
        R = 0;
        return true;
    });
}

uint32_t TWindowLab::PixelAt(HWND TopLevel, int X, int Y) const {
    const TSurface* S = WindowSurface(TopLevel);
    return S ? S->GetPixel(X, Y) : 0xFFFFFFFFu;
}
