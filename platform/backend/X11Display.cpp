// The X11 display: each top-level window of ours becomes an X window that
// shows its surface. A window with a caption is decorated by the X window
// manager, and its X window shows only our client area; a small popup (hint,
// drop-down list) is an override-redirect window that shows our whole window.
// X key symbols become virtual-key codes and Windows-1252 characters
// (X11Keys.h).
//
// While the display is in force it is also the clipboard: what the program
// puts there it offers as the CLIPBOARD selection (CF_TEXT as UTF8_STRING,
// STRING and TEXT, registered formats under their names), answering other
// programs while its loop runs; what it reads there it asks of the
// selection's owner when that is another program.
//
// Our headers come first: the X headers define short macros (None, Bool,
// Status ...) that must not reach them.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/backend/X11Keys.h"
#include "platform/gfx/Bmp.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Clipboard.h"
#include "platform/win/MessageQueue.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

unsigned int XCursorFor(int Number) {
    switch (Number) {
    case crHourGlass:
    case crSQLWait:
    case crAppStart: return XC_watch;
    case crIBeam: return XC_xterm;
    case crCross: return XC_crosshair;
    case crHandPoint: return XC_hand2;
    case crSizeWE:
    case crHSplit: return XC_sb_h_double_arrow;
    case crSizeNS:
    case crVSplit: return XC_sb_v_double_arrow;
    case crSizeNWSE: return XC_bottom_right_corner;
    case crSizeNESW: return XC_bottom_left_corner;
    case crSizeAll: return XC_fleur;
    case crUpArrow: return XC_sb_up_arrow;
    case crNo:
    case crNoDrop: return XC_X_cursor;
    case crHelp: return XC_question_arrow;
    default: return XC_left_ptr;
    }
}

// ---------------------------------------------------------------------------
// The clipboard as the CLIPBOARD selection
// ---------------------------------------------------------------------------

// CF_TEXT up to its zero, with CR LF line ends made LF (as X programs expect).
std::string TextOfCfText(const std::vector<uint8_t>& Data) {
    auto Zero = std::find(Data.begin(), Data.end(), 0);
    std::string S(Data.begin(), Zero);
    return StringReplace(S, "\r\n", "\n", rfReplaceAll);
}

// Received text (Windows-1252 already) as CF_TEXT: CR LF line ends, a zero.
std::vector<uint8_t> CfTextOf(const std::string& Ansi) {
    std::string S;
    for (size_t I = 0; I < Ansi.size(); ++I) {
        if (Ansi[I] == '\n' && (I == 0 || Ansi[I - 1] != '\r')) S += '\r';
        S += Ansi[I];
    }
    std::vector<uint8_t> Data(S.begin(), S.end());
    Data.push_back(0);
    return Data;
}

std::string LatinOfAnsi(const std::string& Ansi) {
    std::string S;
    for (char C : Ansi) {
        char32_t U = AnsiCharToUnicode(static_cast<unsigned char>(C));
        S += U < 0x100 ? static_cast<char>(U) : '?';
    }
    return S;
}

std::string AnsiOfLatin(const std::string& Latin) {
    std::string S;
    for (char C : Latin) {
        int A = UnicodeToAnsiChar(static_cast<unsigned char>(C));
        S += A < 0 ? '?' : static_cast<char>(A);
    }
    return S;
}

class TX11Clipboard : public TClipboardStore {
public:
    explicit TX11Clipboard(Display* D) : FDpy(D) {
        XSetWindowAttributes A;
        std::memset(&A, 0, sizeof A);
        A.event_mask = PropertyChangeMask;
        FWindow = XCreateWindow(FDpy, DefaultRootWindow(FDpy), -10, -10, 1, 1, 0, 0, InputOnly,
                                CopyFromParent, CWEventMask, &A);
        FClipboard = Intern("CLIPBOARD");
        FTargets = Intern("TARGETS");
        FTimestamp = Intern("TIMESTAMP");
        FUtf8 = Intern("UTF8_STRING");
        FText = Intern("TEXT");
        FIncr = Intern("INCR");
        FPng = Intern("image/png");
        FProperty = Intern("ZELMOR_SELECTION");
    }
    ~TX11Clipboard() override { XDestroyWindow(FDpy, FWindow); }

    Window XWindow() const { return FWindow; }
    void SawTime(Time T) {
        if (T != CurrentTime) FLastTime = T;
    }

    // --- TClipboardStore ---
    void Clear() override {
        FItems.clear();
        TakeOwnership();
    }
    void Put(unsigned Format, std::vector<uint8_t> Data) override {
        if (!Owning()) {
            FItems.clear();
            TakeOwnership();
        }
        for (auto& Item : FItems)
            if (Item.first == Format) {
                Item.second = std::move(Data);
                return;
            }
        FItems.emplace_back(Format, std::move(Data));
    }
    bool Get(unsigned Format, std::vector<uint8_t>& Data) const override {
        if (Owning()) {
            for (const auto& Item : FItems)
                if (Item.first == Format) {
                    Data = Item.second;
                    return true;
                }
            return false;
        }
        if (XGetSelectionOwner(FDpy, FClipboard) == 0) return false;
        std::string Bytes;
        Atom Type = 0;
        if (Format == CF_TEXT) {
            if (Convert(FUtf8, Bytes, Type)) {
                Data = CfTextOf(FromUtf8(Bytes));
                return true;
            }
            if (Convert(XA_STRING, Bytes, Type) || Convert(FText, Bytes, Type)) {
                Data = CfTextOf(Type == FUtf8 ? FromUtf8(Bytes) : AnsiOfLatin(Bytes));
                return true;
            }
            return false;
        }
        AnsiString Name = GetClipboardFormatName(Format);
        if (Name.empty() || !Convert(Intern(Name.c_str()), Bytes, Type)) return false;
        Data.assign(Bytes.begin(), Bytes.end());
        return true;
    }
    std::vector<unsigned> Formats() const override {
        std::vector<unsigned> Result;
        if (Owning()) {
            for (const auto& Item : FItems) Result.push_back(Item.first);
            return Result;
        }
        if (XGetSelectionOwner(FDpy, FClipboard) == 0) return Result;
        std::string Bytes;
        Atom Type = 0;
        if (!Convert(FTargets, Bytes, Type) || Type != XA_ATOM) {
            // An owner that cannot list its targets: ask for the text itself.
            std::vector<uint8_t> Text;
            if (Get(CF_TEXT, Text)) Result.push_back(CF_TEXT);
            return Result;
        }
        size_t Count = Bytes.size() / sizeof(Atom);
        const Atom* Atoms = reinterpret_cast<const Atom*>(Bytes.data());
        for (size_t I = 0; I < Count; ++I) {
            Atom A = Atoms[I];
            if (A == FUtf8 || A == XA_STRING || A == FText) {
                if (std::find(Result.begin(), Result.end(), CF_TEXT) == Result.end())
                    Result.push_back(CF_TEXT);
            }
        }
        return Result;
    }

    // --- the events of the clipboard's window ---
    void Handle(XEvent& E) {
        switch (E.type) {
        case SelectionRequest: Answer(E.xselectionrequest); break;
        case SelectionClear:
            if (E.xselectionclear.selection == FClipboard) FItems.clear();
            break;
        case PropertyNotify: SawTime(E.xproperty.time); break;
        default: break;
        }
    }

private:
    Atom Intern(const char* Name) const { return XInternAtom(FDpy, Name, False); }
    bool Owning() const { return XGetSelectionOwner(FDpy, FClipboard) == FWindow; }

    void TakeOwnership() {
        FOwnedSince = FLastTime;
        XSetSelectionOwner(FDpy, FClipboard, FWindow, FOwnedSince);
        XFlush(FDpy);
    }

    // Waits (a bounded while: another program may never answer) for an event
    // of Type to the clipboard's window, leaving every other event queued.
    bool WaitFor(int Type, XEvent& E) const {
        auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitLimitMs);
        for (;;) {
            XFlush(FDpy);
            if (XCheckTypedWindowEvent(FDpy, FWindow, Type, &E)) return true;
            auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
                Deadline - std::chrono::steady_clock::now());
            if (Left.count() <= 0) return false;
            pollfd P{ConnectionNumber(FDpy), POLLIN, 0};
            ::poll(&P, 1, static_cast<int>(std::min<long long>(Left.count(), 20)));
        }
    }

    // Reads and deletes the property the owner put on our window.
    bool TakeProperty(std::string& Bytes, Atom& Type) const {
        Bytes.clear();
        long Offset = 0;
        for (;;) {
            Atom ActualType = 0;
            int Width = 0;
            unsigned long Items = 0, After = 0;
            unsigned char* Got = nullptr;
            if (XGetWindowProperty(FDpy, FWindow, FProperty, Offset, 1 << 16, False, AnyPropertyType,
                                   &ActualType, &Width, &Items, &After, &Got) != Success)
                return false;
            Type = ActualType;
            // Xlib hands 32-bit items as longs, 16-bit ones as shorts.
            size_t Unit = Width == 32 ? sizeof(long) : Width == 16 ? sizeof(short) : 1;
            if (Got) {
                Bytes.append(reinterpret_cast<const char*>(Got), Items * Unit);
                XFree(Got);
            }
            if (After == 0 || Items == 0) break;
            Offset += static_cast<long>(Items * static_cast<unsigned long>(Width) / 32);  // in 32-bit units
        }
        XDeleteProperty(FDpy, FWindow, FProperty);
        return true;
    }

    // Asks the owner for the selection as Target; the bytes as they came.
    bool Convert(Atom Target, std::string& Bytes, Atom& Type) const {
        XDeleteProperty(FDpy, FWindow, FProperty);
        XConvertSelection(FDpy, FClipboard, Target, FProperty, FWindow, FLastTime);
        XEvent E;
        if (!WaitFor(SelectionNotify, E) || E.xselection.property == 0) return false;
        if (!TakeProperty(Bytes, Type)) return false;
        if (Type != FIncr) return true;
        // Large contents come in pieces: each new value of the property is the
        // next piece, until an empty one.
        std::string Whole;
        for (;;) {
            XEvent P;
            do {
                if (!WaitFor(PropertyNotify, P)) return false;
            } while (P.xproperty.atom != FProperty || P.xproperty.state != PropertyNewValue);
            std::string Piece;
            if (!TakeProperty(Piece, Type)) return false;
            if (Piece.empty()) break;
            Whole += Piece;
        }
        Bytes = std::move(Whole);
        return true;
    }

    const std::vector<uint8_t>* Item(unsigned Format) const {
        for (const auto& I : FItems)
            if (I.first == Format) return &I.second;
        return nullptr;
    }

    void Answer(const XSelectionRequestEvent& R) {
        XSelectionEvent N;
        std::memset(&N, 0, sizeof N);
        N.type = SelectionNotify;
        N.display = FDpy;
        N.requestor = R.requestor;
        N.selection = R.selection;
        N.target = R.target;
        N.time = R.time;
        N.property = R.property ? R.property : R.target;  // old clients name no property
        if (!(R.selection == FClipboard && Owning() && Offer(R.requestor, N.property, R.target)))
            N.property = 0;
        XSendEvent(FDpy, R.requestor, False, 0, reinterpret_cast<XEvent*>(&N));
        XFlush(FDpy);
    }

    // A bitmap on the clipboard is a BMP file; other programs take pictures as PNG.
    static std::string PngOfBitmap(const std::vector<uint8_t>& File) {
        try {
            TStringStream S(std::string_view(reinterpret_cast<const char*>(File.data()), File.size()));
            std::vector<uint8_t> Png = EncodePng(ReadBmp(S).Pixels);
            return std::string(Png.begin(), Png.end());
        } catch (const Exception&) {
            return {};
        }
    }

    bool Offer(Window Requestor, Atom Property, Atom Target) {
        const std::vector<uint8_t>* Text = Item(CF_TEXT);
        const std::vector<uint8_t>* Bitmap = Item(CF_BITMAP);
        auto Put8 = [&](Atom Type, const std::string& S) {
            long Limit =
                XExtendedMaxRequestSize(FDpy) ? XExtendedMaxRequestSize(FDpy) : XMaxRequestSize(FDpy);
            if (static_cast<long>(S.size()) > Limit * 4 - 64) return false;  // too big for one reply
            XChangeProperty(FDpy, Requestor, Property, Type, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(S.data()), static_cast<int>(S.size()));
            return true;
        };
        if (Target == FTargets) {
            std::vector<Atom> List = {FTargets, FTimestamp};
            if (Text) List.insert(List.end(), {FUtf8, XA_STRING, FText});
            if (Bitmap) List.push_back(FPng);
            for (const auto& I : FItems) {
                AnsiString Name = GetClipboardFormatName(I.first);
                if (!Name.empty()) List.push_back(Intern(Name.c_str()));
            }
            XChangeProperty(FDpy, Requestor, Property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(List.data()),
                            static_cast<int>(List.size()));
            return true;
        }
        if (Target == FTimestamp) {
            long T = static_cast<long>(FOwnedSince);
            XChangeProperty(FDpy, Requestor, Property, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&T), 1);
            return true;
        }
        if (Text && (Target == FUtf8 || Target == FText)) return Put8(FUtf8, ToUtf8(TextOfCfText(*Text)));
        if (Text && Target == XA_STRING) return Put8(XA_STRING, LatinOfAnsi(TextOfCfText(*Text)));
        if (Bitmap && Target == FPng) {
            std::string Png = PngOfBitmap(*Bitmap);
            return !Png.empty() && Put8(FPng, Png);
        }
        for (const auto& I : FItems) {
            AnsiString Name = GetClipboardFormatName(I.first);
            if (!Name.empty() && Intern(Name.c_str()) == Target)
                return Put8(Target, std::string(I.second.begin(), I.second.end()));
        }
        return false;
    }

    static constexpr int WaitLimitMs = 2000;
    Display* FDpy;
    Window FWindow = 0;
    Atom FClipboard, FTargets, FTimestamp, FUtf8, FText, FIncr, FPng, FProperty;
    Time FLastTime = CurrentTime;
    Time FOwnedSince = CurrentTime;
    std::vector<std::pair<unsigned, std::vector<uint8_t>>> FItems;
};

class TX11Display : public TDisplay {
public:
    explicit TX11Display(Display* D) : FDpy(D), FClipboard(std::make_unique<TX11Clipboard>(D)) {
        XSetErrorHandler(IgnoreXErrors);
        FScreen = DefaultScreen(FDpy);
        FRoot = RootWindow(FDpy, FScreen);
        FVisual = DefaultVisual(FDpy, FScreen);
        FDepth = DefaultDepth(FDpy, FScreen);
        FGC = XCreateGC(FDpy, FRoot, 0, nullptr);
        FDeleteWindow = XInternAtom(FDpy, "WM_DELETE_WINDOW", False);
        FNetWmName = XInternAtom(FDpy, "_NET_WM_NAME", False);
        FNetWmState = XInternAtom(FDpy, "_NET_WM_STATE", False);
        FNetWmStateAbove = XInternAtom(FDpy, "_NET_WM_STATE_ABOVE", False);
        FUtf8 = XInternAtom(FDpy, "UTF8_STRING", False);
        FPreviousStore = SetClipboardStore(FClipboard.get());
    }
    ~TX11Display() override {
        // Another store installed after ours stays; ours gives way to the one before.
        TClipboardStore* Current = SetClipboardStore(FPreviousStore);
        if (Current != FClipboard.get()) SetClipboardStore(Current);
        FClipboard.reset();
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
        A.override_redirect =
            (!W.Decorated && (Style & WS_POPUP) && (ExStyle & WS_EX_TOOLWINDOW)) ? True : False;
        A.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                       PointerMotionMask | ExposureMask | StructureNotifyMask | FocusChangeMask;
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
        // A window that stays on top of the others (the main window) asks
        // the window manager for it before it is first mapped, as the
        // window-manager hints say a new window does.
        W.OnTop = (ExStyle & WS_EX_TOPMOST) && !A.override_redirect;
        if (W.OnTop)
            XChangeProperty(FDpy, W.X, FNetWmState, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&FNetWmStateAbove), 1);
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
            KeepAboveOnTop(It->second);
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
        for (char C : Title)
            Latin +=
                (static_cast<unsigned char>(C) >= 0x80 && static_cast<unsigned char>(C) < 0xA0) ? '?' : C;
        XStoreName(FDpy, It->second.X, Latin.c_str());
    }

    void WindowActivated(HWND Wnd) override {
        auto It = FWins.find(Wnd);
        if (It == FWins.end() || !It->second.Mapped) return;
        XRaiseWindow(FDpy, It->second.X);
        KeepAboveOnTop(It->second);
        FFocusAsked = NextRequest(FDpy);
        FFocusAskedFor = It->second.X;
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
            Shown = Bounds(W.Offset.x, W.Offset.y, Client.Width(), Client.Height() + GetMenuBarHeight(Wnd));
        }
        TRect R;
        if (!IntersectRect(R, Changed, Shown)) return;
        XImage* Img =
            XCreateImage(FDpy, FVisual, static_cast<unsigned>(FDepth), ZPixmap, 0,
                         const_cast<char*>(reinterpret_cast<const char*>(S.Bits())),
                         static_cast<unsigned>(S.Width()), static_cast<unsigned>(S.Height()), 32, S.Stride());
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

    // What X11NativeWindow hands out: our connection, and the X window behind Wnd (0: none).
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
        bool OnTop = false;
        TPoint Offset;
        TRect LastPlaced;
    };

    // A window raised over the others goes under those that stay on top:
    // a window manager does that for them, but without one (a bare X server)
    // nobody would.
    void KeepAboveOnTop(const TWin& Raised) {
        if (Raised.OnTop) return;
        for (const auto& [H, W] : FWins)
            if (W.OnTop && W.Mapped) XRaiseWindow(FDpy, W.X);
    }

    // A FocusIn the server made before it took our last focus request, or
    // in answer to it, tells nothing new: that request wins, and our side
    // already activated its window. Taken for a new activation, each such
    // echo would ask the focus again and two windows activated one after
    // the other would hand it to each other for ever.
    bool EchoOfOurFocus(const XFocusChangeEvent& E) const {
        return E.serial < FFocusAsked || (E.serial == FFocusAsked && E.window == FFocusAskedFor);
    }

    // Where the X window goes on the screen: our client area with the menu
    // bar over it for a decorated window, our whole window for an undecorated one.
    TRect XRectOf(HWND Wnd, const TWin& W) const {
        TRect WR;
        GetWindowRect(Wnd, WR);
        if (!W.Decorated) return WR;
        TRect C;
        GetClientRect(Wnd, C);
        return Bounds(WR.Left + W.Offset.x, WR.Top + W.Offset.y, C.Width(),
                      C.Height() + GetMenuBarHeight(Wnd));
    }

    HWND WndOf(Window X) const {
        auto It = FByX.find(X);
        return It == FByX.end() ? nullptr : It->second;
    }

    void Handle(XEvent& E) {
        if (E.xany.window == FClipboard->XWindow()) {
            FClipboard->Handle(E);
            return;
        }
        switch (E.type) {
        case KeyPress:
        case KeyRelease: FClipboard->SawTime(E.xkey.time); break;
        case ButtonPress:
        case ButtonRelease: FClipboard->SawTime(E.xbutton.time); break;
        default: break;
        }
        HWND Wnd = WndOf(E.xany.window);
        if (!Wnd) return;
        switch (E.type) {
        case KeyPress:
        case KeyRelease: {
            char Buffer[8];
            KeySym Sym = 0;
            XLookupString(&E.xkey, Buffer, sizeof Buffer, &Sym, nullptr);
            // The key's first level names it, in the group in force (a key of
            // fewer groups has its symbols in the first).
            KeyCode Code = static_cast<KeyCode>(E.xkey.keycode);
            KeySym Base = XkbKeycodeToKeysym(FDpy, Code, XkbGroupForCoreState(E.xkey.state), 0);
            if (Base == NoSymbol) Base = XkbKeycodeToKeysym(FDpy, Code, 0, 0);
            TX11Key K = TranslateX11Key(Sym, Base, E.xkey.state);
            for (const TX11KeyEvent& Ev : FDeadKeys.Feed(K, E.type == KeyPress))
                InputKey(Ev.Vk, Ev.Down, Ev.Char);
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
            int Height =
                E.xconfigure.height + (W.Decorated ? WR.Height() - C.Height() - GetMenuBarHeight(Wnd) : 0);
            InputWindowMoved(Wnd, Bounds(X - W.Offset.x, Y - W.Offset.y, Width, Height));
            break;
        }
        case ClientMessage:
            if (static_cast<Atom>(E.xclient.data.l[0]) == FDeleteWindow) InputCloseRequest(Wnd);
            break;
        case FocusIn:
            if (E.xfocus.mode == NotifyNormal && !EchoOfOurFocus(E.xfocus)) InputActivate(Wnd, true);
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
    Atom FDeleteWindow, FNetWmName, FNetWmState, FNetWmStateAbove, FUtf8;
    ::Cursor FCursor = 0;
    // Our last XSetInputFocus: its request number, and its window.
    unsigned long FFocusAsked = 0;
    Window FFocusAskedFor = 0;
    std::map<HWND, TWin> FWins;
    std::map<Window, HWND> FByX;
    TX11DeadKeys FDeadKeys;
    // Gone before the connection closes.
    std::unique_ptr<TX11Clipboard> FClipboard;
    TClipboardStore* FPreviousStore = nullptr;
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

bool X11NativeWindow(TDisplay& Target, HWND Wnd, void*& Connection, unsigned long& Window) {
    auto* D = dynamic_cast<TX11Display*>(&Target);
    unsigned long X = D ? D->XWindowOf(Wnd) : 0;
    if (!X) return false;
    Connection = D->Connection();
    Window = X;
    return true;
}
