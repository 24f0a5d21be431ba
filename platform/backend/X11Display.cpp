// The X11 display: each top-level window of ours becomes an X window that
// shows its surface. A window with a caption is decorated by the X window
// manager, and its X window shows only our client area; a small popup (hint,
// drop-down list) is an override-redirect window that shows our whole window.
// X key symbols become virtual-key codes and Windows-1252 characters.
//
// Our headers come first: the X headers define short macros (None, Bool,
// Status ...) that must not reach them.
#include <poll.h>

#include <cstring>
#include <map>

#include "platform/backend/Backend.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/MessageQueue.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

WORD KeySymToVk(KeySym S) {
    if (S >= XK_a && S <= XK_z) return static_cast<WORD>('A' + (S - XK_a));
    if (S >= XK_A && S <= XK_Z) return static_cast<WORD>('A' + (S - XK_A));
    if (S >= XK_0 && S <= XK_9) return static_cast<WORD>('0' + (S - XK_0));
    if (S >= XK_F1 && S <= XK_F12) return static_cast<WORD>(VK_F1 + (S - XK_F1));
    if (S >= XK_KP_0 && S <= XK_KP_9) return static_cast<WORD>(VK_NUMPAD0 + (S - XK_KP_0));
    switch (S) {
        case XK_Return: case XK_KP_Enter: return VK_RETURN;
        case XK_Tab: case XK_ISO_Left_Tab: return VK_TAB;
        case XK_Escape: return VK_ESCAPE;
        case XK_BackSpace: return VK_BACK;
        case XK_Delete: case XK_KP_Delete: return VK_DELETE;
        case XK_Insert: case XK_KP_Insert: return VK_INSERT;
        case XK_Home: case XK_KP_Home: return VK_HOME;
        case XK_End: case XK_KP_End: return VK_END;
        case XK_Prior: case XK_KP_Prior: return VK_PRIOR;
        case XK_Next: case XK_KP_Next: return VK_NEXT;
        case XK_Left: case XK_KP_Left: return VK_LEFT;
        case XK_Right: case XK_KP_Right: return VK_RIGHT;
        case XK_Up: case XK_KP_Up: return VK_UP;
        case XK_Down: case XK_KP_Down: return VK_DOWN;
        case XK_space: return VK_SPACE;
        case XK_Shift_L: case XK_Shift_R: return VK_SHIFT;
        case XK_Control_L: case XK_Control_R: return VK_CONTROL;
        case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R: return VK_MENU;
        case XK_Caps_Lock: return VK_CAPITAL;
        case XK_Num_Lock: return VK_NUMLOCK;
        case XK_Scroll_Lock: return VK_SCROLL;
        case XK_Pause: return VK_PAUSE;
        case XK_Print: return VK_SNAPSHOT;
        case XK_Menu: return VK_APPS;
        case XK_KP_Multiply: return VK_MULTIPLY;
        case XK_KP_Add: return VK_ADD;
        case XK_KP_Subtract: return VK_SUBTRACT;
        case XK_KP_Decimal: return VK_DECIMAL;
        case XK_KP_Divide: return VK_DIVIDE;
        case XK_semicolon: return VK_OEM_1;
        case XK_equal: case XK_plus: return VK_OEM_PLUS;
        case XK_comma: return VK_OEM_COMMA;
        case XK_minus: return VK_OEM_MINUS;
        case XK_period: return VK_OEM_PERIOD;
        case XK_slash: return VK_OEM_2;
        case XK_grave: case XK_ntilde: case XK_Ntilde: return VK_OEM_3;
        case XK_bracketleft: return VK_OEM_4;
        case XK_backslash: return VK_OEM_5;
        case XK_bracketright: return VK_OEM_6;
        case XK_apostrophe: return VK_OEM_7;
        case XK_less: return VK_OEM_102;
        default: return 0;
    }
}

unsigned int XCursorFor(int Number) {
    switch (Number) {
        case crHourGlass: case crSQLWait: case crAppStart: return XC_watch;
        case crIBeam: return XC_xterm;
        case crCross: return XC_crosshair;
        case crHandPoint: return XC_hand2;
        case crSizeWE: case crHSplit: return XC_sb_h_double_arrow;
        case crSizeNS: case crVSplit: return XC_sb_v_double_arrow;
        case crSizeNWSE: return XC_bottom_right_corner;
        case crSizeNESW: return XC_bottom_left_corner;
        case crSizeAll: return XC_fleur;
        case crUpArrow: return XC_sb_up_arrow;
        case crNo: case crNoDrop: return XC_X_cursor;
        case crHelp: return XC_question_arrow;
        default: return XC_left_ptr;
    }
}

class TX11Display : public TDisplay {
public:
    explicit TX11Display(Display* D) : FDpy(D) {
        XSetErrorHandler(IgnoreXErrors);
        FScreen = DefaultScreen(FDpy);
        FRoot = RootWindow(FDpy, FScreen);
        FVisual = DefaultVisual(FDpy, FScreen);
        FDepth = DefaultDepth(FDpy, FScreen);
        FGC = XCreateGC(FDpy, FRoot, 0, nullptr);
        FDeleteWindow = XInternAtom(FDpy, "WM_DELETE_WINDOW", False);
        FNetWmName = XInternAtom(FDpy, "_NET_WM_NAME", False);
        FUtf8 = XInternAtom(FDpy, "UTF8_STRING", False);
    }
    ~TX11Display() override {
        for (auto& [H, W] : FWins) XDestroyWindow(FDpy, W.X);
        if (FCursor) XFreeCursor(FDpy, FCursor);
        XFreeGC(FDpy, FGC);
        XCloseDisplay(FDpy);
    }

    const char* Name() const override { return "x11"; }
    TRect ScreenBounds() const override {
        return TRect(0, 0, DisplayWidth(FDpy, FScreen), DisplayHeight(FDpy, FScreen));
    }
    TRect WorkArea() const override { return ScreenBounds(); }

    void WindowCreated(HWND Wnd) override {
        if (FWins.count(Wnd)) return;
        DWORD Style = static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE));
        DWORD ExStyle = static_cast<DWORD>(GetWindowLong(Wnd, GWL_EXSTYLE));
        TWin W;
        W.Decorated = (Style & WS_CAPTION) == WS_CAPTION;
        W.Offset = W.Decorated ? ClientOffsetFromStyles(Style, ExStyle) : TPoint(0, 0);
        TRect R = XRectOf(Wnd, W);
        XSetWindowAttributes A;
        std::memset(&A, 0, sizeof A);
        A.override_redirect = (!W.Decorated && (Style & WS_POPUP) && (ExStyle & WS_EX_TOOLWINDOW)) ? True : False;
        A.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       ExposureMask | StructureNotifyMask | FocusChangeMask;
        A.background_pixel = WhitePixel(FDpy, FScreen);
        W.X = XCreateWindow(FDpy, FRoot, R.Left, R.Top, static_cast<unsigned>(std::max(1, R.Width())),
                            static_cast<unsigned>(std::max(1, R.Height())), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect | CWEventMask | CWBackPixel, &A);
        XSetWMProtocols(FDpy, W.X, &FDeleteWindow, 1);
        XSizeHints Hints;
        std::memset(&Hints, 0, sizeof Hints);
        Hints.flags = PPosition | USPosition;
        Hints.x = R.Left;
        Hints.y = R.Top;
        XSetWMNormalHints(FDpy, W.X, &Hints);
        if (FCursor) XDefineCursor(FDpy, W.X, FCursor);
        FWins[Wnd] = W;
        FByX[W.X] = Wnd;
        WindowTitled(Wnd, GetWindowText(Wnd));
    }

    void WindowDestroyed(HWND Wnd) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end()) return;
        FByX.erase(It->second.X);
        XDestroyWindow(FDpy, It->second.X);
        FWins.erase(It);
        XFlush(FDpy);
    }

    void WindowMoved(HWND Wnd, const TRect&) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end()) return;
        TRect R = XRectOf(Wnd, It->second);
        It->second.LastPlaced = R;
        XMoveResizeWindow(FDpy, It->second.X, R.Left, R.Top, static_cast<unsigned>(std::max(1, R.Width())),
                          static_cast<unsigned>(std::max(1, R.Height())));
    }

    void WindowShown(HWND Wnd, bool Visible) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end()) return;
        if (Visible) {
            XMapRaised(FDpy, It->second.X);
            // Some window managers place a new window where they like: ask again.
            TRect R = XRectOf(Wnd, It->second);
            XMoveWindow(FDpy, It->second.X, R.Left, R.Top);
        } else {
            XUnmapWindow(FDpy, It->second.X);
        }
        It->second.Mapped = Visible;
        XFlush(FDpy);
    }

    void WindowTitled(HWND Wnd, const AnsiString& Title) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end()) return;
        std::string Utf8 = ToUtf8(Title);
        XChangeProperty(FDpy, It->second.X, FNetWmName, FUtf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Utf8.data()), static_cast<int>(Utf8.size()));
        std::string Latin;
        for (char C : Title) Latin += (static_cast<unsigned char>(C) >= 0x80 && static_cast<unsigned char>(C) < 0xA0) ? '?' : C;
        XStoreName(FDpy, It->second.X, Latin.c_str());
    }

    void WindowActivated(HWND Wnd) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end() || !It->second.Mapped) return;
        XRaiseWindow(FDpy, It->second.X);
        XSetInputFocus(FDpy, It->second.X, RevertToParent, CurrentTime);
    }

    void Present(HWND Wnd, const TSurface& S, const TRect& Changed) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end() || S.Empty() || S.Format() != TSurfaceFormat::Xrgb32) return;
        const TWin& W = It->second;
        TRect Shown(W.Offset.x, W.Offset.y, S.Width(), S.Height());
        if (W.Decorated) {
            TRect Client;
            GetClientRect(Wnd, Client);
            Shown = Bounds(W.Offset.x, W.Offset.y, Client.Width(), Client.Height());
        }
        TRect R;
        if (!IntersectRect(R, Changed, Shown)) return;
        XImage* Img = XCreateImage(FDpy, FVisual, static_cast<unsigned>(FDepth), ZPixmap, 0,
                                   const_cast<char*>(reinterpret_cast<const char*>(S.Bits())),
                                   static_cast<unsigned>(S.Width()), static_cast<unsigned>(S.Height()), 32,
                                   S.Stride());
        if (!Img) return;
        XPutImage(FDpy, W.X, FGC, Img, R.Left, R.Top, R.Left - W.Offset.x, R.Top - W.Offset.y,
                  static_cast<unsigned>(R.Width()), static_cast<unsigned>(R.Height()));
        Img->data = nullptr;  // the pixels belong to the surface
        XDestroyImage(Img);
        XFlush(FDpy);
    }

    void CursorChanged(int Number) override {
        if (FCursor) XFreeCursor(FDpy, FCursor);
        FCursor = XCreateFontCursor(FDpy, XCursorFor(Number));
        for (auto& [H, W] : FWins) XDefineCursor(FDpy, W.X, FCursor);
        XFlush(FDpy);
    }

    void Poll() override {
        while (XPending(FDpy)) {
            XEvent E;
            XNextEvent(FDpy, &E);
            Handle(E);
        }
    }

    void Wait(int TimeoutMs) override {
        XFlush(FDpy);
        if (!XPending(FDpy)) {
            pollfd P{ConnectionNumber(FDpy), POLLIN, 0};
            ::poll(&P, 1, TimeoutMs);
        }
        Poll();
    }

    // For the smoke test: the pixels the X server shows in the window, read back.
    bool ReadBack(HWND Wnd, int X, int Y, uint32_t& Pixel) {
        auto It = FWins.find(Wnd);
        if (It == FWins.end()) return false;
        XSync(FDpy, False);
        XImage* Img = XGetImage(FDpy, It->second.X, X, Y, 1, 1, AllPlanes, ZPixmap);
        if (!Img) return false;
        Pixel = static_cast<uint32_t>(XGetPixel(Img, 0, 0)) & 0xFFFFFF;
        XDestroyImage(Img);
        return true;
    }

    Display* Connection() const { return FDpy; }
    unsigned long XWindowOf(HWND Wnd) const {
        auto It = FWins.find(Wnd);
        return It == FWins.end() ? 0 : It->second.X;
    }

private:
    struct TWin {
        Window X = 0;
        bool Decorated = false;
        bool Mapped = false;
        TPoint Offset;
        TRect LastPlaced;
    };

    // Where the X window goes on the screen: our client area for a decorated
    // window, our whole window for an undecorated one.
    TRect XRectOf(HWND Wnd, const TWin& W) const {
        TRect WR;
        GetWindowRect(Wnd, WR);
        if (!W.Decorated) return WR;
        TRect C;
        GetClientRect(Wnd, C);
        return Bounds(WR.Left + W.Offset.x, WR.Top + W.Offset.y, C.Width(), C.Height());
    }

    HWND WndOf(Window X) const {
        auto It = FByX.find(X);
        return It == FByX.end() ? nullptr : It->second;
    }

    void Handle(XEvent& E) {
        HWND Wnd = WndOf(E.xany.window);
        if (!Wnd) return;
        switch (E.type) {
            case KeyPress:
            case KeyRelease: {
                char Buffer[8] = {};
                KeySym Sym = 0;
                int N = XLookupString(&E.xkey, Buffer, sizeof Buffer, &Sym, nullptr);
                WORD Vk = KeySymToVk(Sym);
                if (!Vk) Vk = KeySymToVk(XkbKeycodeToKeysym(FDpy, static_cast<KeyCode>(E.xkey.keycode), 0, 0));
                char Ch = 0;
                if (N == 1) Ch = Buffer[0];
                if (Sym == XK_EuroSign) Ch = '\x80';
                if (!Vk) Vk = Ch ? VK_OEM_102 : 0;
                if (Vk) InputKey(Vk, E.type == KeyPress, E.type == KeyPress ? Ch : 0);
                break;
            }
            case ButtonPress:
            case ButtonRelease: {
                TPoint P(E.xbutton.x_root, E.xbutton.y_root);
                unsigned B = E.xbutton.button;
                if (B == Button4 || B == Button5) {
                    if (E.type == ButtonPress) InputMouseWheel(B == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, P);
                    break;
                }
                int Index = B == Button1 ? 0 : B == Button3 ? 1 : B == Button2 ? 2 : -1;
                if (Index >= 0) InputMouseButton(Index, E.type == ButtonPress, P);
                break;
            }
            case MotionNotify: InputMouseMove(TPoint(E.xmotion.x_root, E.xmotion.y_root)); break;
            case Expose: {
                const TWin& W = FWins[Wnd];
                InputExpose(Wnd, Bounds(E.xexpose.x + W.Offset.x, E.xexpose.y + W.Offset.y, E.xexpose.width,
                                        E.xexpose.height));
                break;
            }
            case ConfigureNotify: {
                const TWin& W = FWins[Wnd];
                int X = 0, Y = 0;
                Window Child;
                XTranslateCoordinates(FDpy, W.X, FRoot, 0, 0, &X, &Y, &Child);
                TRect WR, C;
                GetWindowRect(Wnd, WR);
                GetClientRect(Wnd, C);
                int Width = E.xconfigure.width + (W.Decorated ? WR.Width() - C.Width() : 0);
                int Height = E.xconfigure.height + (W.Decorated ? WR.Height() - C.Height() : 0);
                InputWindowMoved(Wnd, Bounds(X - W.Offset.x, Y - W.Offset.y, Width, Height));
                break;
            }
            case ClientMessage:
                if (static_cast<Atom>(E.xclient.data.l[0]) == FDeleteWindow) InputCloseRequest(Wnd);
                break;
            case FocusIn:
                if (E.xfocus.mode == NotifyNormal) InputActivate(Wnd, true);
                break;
            default: break;
        }
    }

    Display* FDpy;
    int FScreen = 0;
    Window FRoot = 0;
    Visual* FVisual = nullptr;
    int FDepth = 24;
    GC FGC;
    Atom FDeleteWindow, FNetWmName, FUtf8;
    ::Cursor FCursor = 0;
    std::map<HWND, TWin> FWins;
    std::map<Window, HWND> FByX;
};

}  // namespace

std::unique_ptr<TDisplay> CreateX11Display(const char* DisplayName) {
    Display* D = XOpenDisplay(DisplayName);
    if (!D) return nullptr;
    auto X = std::make_unique<TX11Display>(D);
    TRect S = X->ScreenBounds();
    SetSystemMetric(SM_CXSCREEN, S.Width());
    SetSystemMetric(SM_CYSCREEN, S.Height());
    return X;
}

bool X11ReadBack(TDisplay& Target, HWND Wnd, int X, int Y, uint32_t& Pixel) {
    auto* D = dynamic_cast<TX11Display*>(&Target);
    return D && D->ReadBack(Wnd, X, Y, Pixel);
}

bool X11SendKey(TDisplay& Target, HWND Wnd, bool Press, unsigned long KeySymbol) {
    auto* D = dynamic_cast<TX11Display*>(&Target);
    if (!D) return false;
    Display* C = D->Connection();
    Window W = D->XWindowOf(Wnd);
    if (!W) return false;
    XEvent E;
    std::memset(&E, 0, sizeof E);
    E.xkey.type = Press ? KeyPress : KeyRelease;
    E.xkey.display = C;
    E.xkey.window = W;
    E.xkey.root = DefaultRootWindow(C);
    E.xkey.same_screen = True;
    E.xkey.keycode = XKeysymToKeycode(C, KeySymbol);
    XSendEvent(C, W, True, Press ? KeyPressMask : KeyReleaseMask, &E);
    XSync(C, False);
    return true;
}
