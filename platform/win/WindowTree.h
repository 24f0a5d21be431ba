#pragma once
// The window manager's own records, shared by its .cpp files only (window
// tree, painting, input, queue, scroll bars, carets). Nothing outside
// platform/ui includes this.
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"

namespace wm {

struct TScrollBarState {
    int Min = 0;
    int Max = 100;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Tracking = false;
    UINT Disabled = ESB_ENABLE_BOTH;
};

struct TWindow {
    HWND Handle = nullptr;
    std::shared_ptr<const TWndClass> Class;
    TWndProc Proc;
    TWindow* Parent = nullptr;  // null for top-level windows
    HWND Owner = nullptr;
    std::vector<TWindow*> Children;  // z-order: the first child lies on top
    DWORD Style = 0;
    DWORD ExStyle = 0;
    TRect Bounds;  // in the parent's client coordinates; on the screen for top-level windows
    AnsiString Text;
    LONG_PTR Id = 0;
    LONG_PTR UserData = 0;
    std::optional<TRegion> Shape;  // the window region, in window coordinates
    TRegion Update;                // the update region, in client coordinates
    bool EraseNeeded = false;
    bool FrameNeeded = false;
    bool RedrawOff = false;  // WM_SETREDRAW false
    bool Destroying = false;
    int PaintDepth = 0;  // BeginPaint calls not yet ended
    bool PaintValidated = false;
    TScrollBarState Bars[2];  // SB_HORZ, SB_VERT
    int MenuBar = 0;          // top-level windows: the height of the menu bar under the caption
    // Top-level windows only: the pixels of the whole window, and what of
    // them changed since the display last showed them (surface coordinates).
    std::unique_ptr<TSurface> Surface;
    TRect Dirty;
    bool DisplayMapped = false;   // the display has a window for it
    bool MovedByDisplay = false;  // the move being applied came from the display
};

// --- the registry ---
TWindow* Find(HWND Wnd);                   // null for 0, unknown and destroyed handles
TWindow& Get(HWND Wnd);                    // raises EInvalidOperation for a bad handle
const std::vector<TWindow*>& TopLevels();  // z-order: the first lies on top

// --- geometry ---
struct TInsets {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
TInsets NonClientInsets(const TWindow& W);
TRect ClientRect(const TWindow& W);  // (0, 0, width, height) of the client area
TWindow* TopLevelOf(TWindow* W);
// Where the window's (or its client area's) top-left corner lies on its top-level surface.
TPoint WindowOriginOnSurface(const TWindow& W);
TPoint ClientOriginOnSurface(const TWindow& W);
TPoint ScreenOfSurface(const TWindow& TopLevel);
bool IsShowing(const TWindow& W);  // visible with every ancestor
bool IsEnabledChain(const TWindow& W);
// The part of the window (or its client area) that can be seen, in surface
// coordinates: the ancestors' client areas and window regions, less the
// siblings above it and, when asked, its own children. Transparent windows
// (WS_EX_TRANSPARENT) hide nothing beneath them.
TRegion VisibleRegion(const TWindow& W, bool Client, bool ExcludeChildren);
// The area a window covers of its parent's client area (rectangle and window region).
TRegion CoveredArea(const TWindow& W);

// --- painting ---
void SurfaceResized(TWindow& Top);
void MarkDirty(TWindow& Top, const TRect& SurfaceRect);
void PresentDirty();  // hands every dirty area to the display
void ForgetWindowDCs(TWindow& W);
// The first window that waits for WM_PAINT, parents before children, lower
// siblings before upper ones; null when none.
TWindow* NextWindowToPaint(HWND Filter);
// Sends WM_NCPAINT when due, then WM_PAINT, and validates a window whose
// handler painted nothing, so a careless handler cannot hang the loop.
void PaintOne(TWindow& W);
void InvalidateInternal(TWindow& W, const TRegion& ClientArea, bool Erase, bool Children);
void InvalidateFrame(TWindow& W);
void DrawScrollBars(TWindow& W, TCanvas& Canvas);  // window coordinates
LRESULT ScrollBarHitTest(const TWindow& W, TPoint WindowPt);
void TrackScrollBar(TWindow& W, int Bar, TPoint WindowPt);
void DrawNonClient(TWindow& W);

// --- carets ---
void CaretHide(TWindow& W);     // takes the caret off the surface while W paints
void CaretRestore(TWindow& W);  // puts it back
void CaretWindowGone(TWindow& W);

// --- focus, capture, input ---
// The window that takes a mouse event at a screen point, with its hit-test
// code; a disabled top-level window comes back with HTERROR.
TWindow* HitTest(TPoint Screen, LRESULT& Code);
// Activates the window that should follow Going (its owner, else the topmost other).
void SetActiveOther(TWindow* Going);
void WindowGoing(TWindow& W);  // focus, capture, activation and hover leave W
void InputWindowGone(TWindow& W);
void ClearAll();  // tests: every window destroyed
void ResetInput();
HWND FocusWindow();
// What a display reported, kept raw until the thread takes it: the window it
// goes to is decided then (the focus, the capture or the window under the
// mouse at that moment), as the platform does.
struct TInputEvent {
    enum TKind { Key, Move, Button, Wheel } Kind = Key;
    WORD Vk = 0;
    bool Down = false;
    char Char = 0;
    uint32_t KeyData = 0;
    bool Sys = false;
    int ButtonIndex = 0;
    int Delta = 0;
    TPoint Pt;           // screen
    UINT MouseKeys = 0;  // MK_ flags when it happened
    DWORD Time = 0;
};
void PostInputEvent(const TInputEvent& Event);
// The message an event becomes now; false when no window would take it.
bool ResolveInput(const TInputEvent& Event, TMsg& Msg);
// The event leaves the queue as Msg: the keyboard state follows it, the hooks
// see it, a press may activate its window or become a double click. False
// when it was eaten.
bool InputTaken(const TInputEvent& Event, TMsg& Msg);
// An event no window takes: only the keyboard state follows it.
void InputDropped(const TInputEvent& Event);
LRESULT CallHooks(int IdHook, int Code, WPARAM WParam, LPARAM LParam);
// The character a key types on the US layout with these modifiers (0: none).
char KeyToChar(WORD Vk, bool Shift, bool Ctrl, bool Alt, bool Caps);
// The same with the thread's keyboard state.
char TranslateKey(WORD Vk);
void ClearQueueFor(HWND Wnd);
void TimersWindowGone(HWND Wnd);

// --- messages ---
LRESULT Send(TWindow& W, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

}  // namespace wm
