#pragma once
// The contract between the window manager and a display backend
// (platform/backend): what the window manager asks of a display, and the
// input calls through which a display hands the user's keys and mouse to the
// window manager. Only top-level windows reach a display; it shows the pixels
// of their surfaces.
#include <memory>
#include <stdexcept>

#include "platform/rtl/Exceptions.h"
#include "platform/win/WindowManager.h"

class TDisplay {
public:
    virtual ~TDisplay() = default;
    virtual const char* Name() const = 0;
    // The screen and the part of it that windows may use.
    virtual TRect ScreenBounds() const = 0;
    virtual TRect WorkArea() const = 0;

    // A top-level window is about to be shown for the first time, was moved
    // or resized (screen coordinates of the whole window, our frame included),
    // shown or hidden, retitled, activated, or destroyed. A display that
    // shows nothing ignores them.
    virtual void WindowCreated(HWND) {}
    virtual void WindowDestroyed(HWND) {}
    virtual void WindowMoved(HWND, const TRect&) {}
    virtual void WindowShown(HWND, bool) {}
    virtual void WindowTitled(HWND, const AnsiString&) {}
    virtual void WindowActivated(HWND) {}
    // Part of a top-level window's surface changed (surface coordinates).
    virtual void Present(HWND, const TSurface&, const TRect&) {}
    virtual void CursorChanged(int) {}

    // Reads what input has arrived, without waiting, and feeds it to the
    // window manager (the Input calls below).
    virtual void Poll() {}
    // Waits for input for at most TimeoutMs milliseconds (-1: no limit) and
    // feeds it. The off-screen display runs the test's next scripted step
    // instead, and raises EUiStalled when there is none.
    virtual void Wait(int TimeoutMs) = 0;
};

// A test's script went wrong: no error of the program, so the application's
// exception handler passes it on instead of showing it, and it reaches the test.
class EScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// A loop waits for input that can never come (an off-screen test whose script ran out).
class EUiStalled : public EScriptError {
public:
    using EScriptError::EScriptError;
};

// The display in force; one that shows nothing until a backend is installed.
TDisplay& CurrentDisplay();
// Installs a display (the window manager owns it; nullptr: none) and answers
// the old one.
std::unique_ptr<TDisplay> SetDisplay(std::unique_ptr<TDisplay> NewDisplay);
// Whether a display (not the stand-in) is installed.
bool DisplayInstalled();
// Told after each SetDisplay whether a display is installed; the layers
// above decide what that means for them (the form layer shows message boxes
// as forms only while one is).
using TDisplayListener = void (*)(bool Installed);
void SetDisplayListener(TDisplayListener Listener);

// --- input, as a display reports it ---
// Keys: the virtual-key code, down or up, and the Windows-1252 character the
// key types with the current modifiers (0 for none); TranslateMessage turns
// it into WM_CHAR. Keys go to the focused window (or the active one).
void InputKey(WORD VirtualKey, bool Down, char Char = 0);
// The mouse, in screen coordinates. Button: 0 left, 1 right, 2 middle.
void InputMouseMove(TPoint ScreenPoint);
void InputMouseButton(int Button, bool Down, TPoint ScreenPoint);
void InputMouseWheel(int Delta, TPoint ScreenPoint);
// The user asked to close a top-level window (its close button): WM_CLOSE.
void InputCloseRequest(HWND Wnd);
// The display moved or resized a top-level window (screen coordinates of the whole window).
void InputWindowMoved(HWND Wnd, const TRect& Bounds);
// The display exposed part of a top-level window (surface coordinates).
void InputExpose(HWND Wnd, const TRect& Area);
// The display gave or took the keyboard focus of a top-level window.
void InputActivate(HWND Wnd, bool Active);

// The surface a top-level window paints into (nullptr for other windows).
const TSurface* WindowSurface(HWND Wnd);
