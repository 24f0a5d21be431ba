#pragma once
// The window manager: windows by handle, their classes, styles, tree and
// z-order, placement, visibility, focus, activation and capture, window
// regions, invalidation and painting, scrolling, scroll bars, carets, the
// keyboard state and the cursor. Every control with a handle is a window
// here; only top-level windows reach the display (platform/win/Display.h),
// and child windows paint into their top-level window's surface.
//
// The calls keep the platform's names and meanings, so the libraries read
// as they were written. Coordinates: a child window's position is in its
// parent's client area; a top-level window's on the screen.
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "platform/gfx/Cursors.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Types.h"
#include "platform/rtl/Strings.h"
#include "platform/win/Messages.h"

// The canvas plays the device context.
class TBitmap;
using HDC = TCanvas*;

using TWndProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// --- window classes ---
struct TWndClass {
    AnsiString Name;
    UINT Style = 0;    // CS_
    TWndProc WndProc;  // empty: DefWindowProc
    // What DefWindowProc's WM_ERASEBKGND fills the client area with; clNone fills nothing.
    TColor Background = clNone;
};
// False when a class of that name (any case) exists.
bool RegisterWindowClass(const TWndClass& Class);
bool UnregisterWindowClass(std::string_view Name);
// A copy of the registered class, or false.
bool GetWindowClassInfo(std::string_view Name, TWndClass& Class);
AnsiString GetClassName(HWND Wnd);

// --- creation and destruction ---
struct TCreateStruct {
    void* CreateParams = nullptr;
    HWND Parent = nullptr;
    int X = 0, Y = 0, Width = 0, Height = 0;
    DWORD Style = 0, ExStyle = 0;
    AnsiString WindowName;
    AnsiString ClassName;
};
// Creates a window of a registered class (0 when the class is unknown or
// WM_NCCREATE/WM_CREATE refuse). InstanceProc, when given, replaces the
// class's procedure for this window from its very first message: how a
// control receives its own creation messages. A child needs WS_CHILD and a
// parent; any other window is top-level, Parent then being its owner. No
// WM_SIZE or WM_MOVE is sent at creation.
HWND CreateWindowEx(DWORD ExStyle, std::string_view ClassName, std::string_view WindowName, DWORD Style,
                    int X, int Y, int Width, int Height, HWND Parent, LONG_PTR Id, void* Param,
                    TWndProc InstanceProc = {});
// Destroys the window and its descendants: WM_DESTROY from the top down,
// then WM_NCDESTROY from the bottom up; the handles stop answering.
bool DestroyWindow(HWND Wnd);
bool IsWindow(HWND Wnd);

// --- procedure and data ---
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT CallWindowProc(const TWndProc& Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Installs Proc as the window's procedure and answers the one it replaces.
TWndProc SubclassWindow(HWND Wnd, TWndProc Proc);
TWndProc GetWindowProc(HWND Wnd);
// GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_USERDATA, GWL_HWNDPARENT (the owner).
// Changing WS_VISIBLE or WS_DISABLED through SetWindowLong changes only the
// bit, as on the platform; use ShowWindow and EnableWindow to act.
LONG_PTR GetWindowLong(HWND Wnd, int Index);
LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value);
bool SetWindowText(HWND Wnd, std::string_view Text);
AnsiString GetWindowText(HWND Wnd);
int GetWindowTextLength(HWND Wnd);

// --- the tree ---
HWND GetParent(HWND Wnd);  // the parent of a child, the owner of a top-level window
// Moves Wnd under NewParent (HWND_DESKTOP: makes it top-level); answers the old parent.
HWND SetParent(HWND Wnd, HWND NewParent);
bool IsChild(HWND Parent, HWND Wnd);  // Wnd lies anywhere below Parent
HWND GetWindow(HWND Wnd, UINT Relation);
HWND GetTopWindow(HWND Parent);  // 0: the topmost top-level window
HWND GetTopLevelWindow(HWND Wnd);
// Direct children in z-order, topmost first (0: the top-level windows).
std::vector<HWND> GetChildWindows(HWND Parent);
// Every descendant, depth first in z-order; stops when Callback answers false.
bool EnumChildWindows(HWND Parent, const std::function<bool(HWND)>& Callback);

// --- placement ---
bool GetWindowRect(HWND Wnd, TRect& R);  // screen coordinates
bool GetClientRect(HWND Wnd, TRect& R);  // (0, 0, width, height)
bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint);
bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags);
struct TDeferredPositions;
using HDWP = TDeferredPositions*;
HDWP BeginDeferWindowPos(int Count);
HDWP DeferWindowPos(HDWP Pos, HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags);
bool EndDeferWindowPos(HDWP Pos);
bool BringWindowToTop(HWND Wnd);
bool ClientToScreen(HWND Wnd, TPoint& P);
bool ScreenToClient(HWND Wnd, TPoint& P);
// Converts client coordinates of From into client coordinates of To (0: the screen).
int MapWindowPoints(HWND From, HWND To, std::span<TPoint> Points);

// --- visibility and enabling ---
bool ShowWindow(HWND Wnd, int Command);    // answers whether it was visible
bool IsWindowVisible(HWND Wnd);            // itself and every ancestor
bool EnableWindow(HWND Wnd, bool Enable);  // answers whether it was disabled
bool IsWindowEnabled(HWND Wnd);

// --- focus, activation, capture ---
HWND SetFocus(HWND Wnd);  // answers the window that had the focus
HWND GetFocus();
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND Wnd);
HWND SetCapture(HWND Wnd);
HWND GetCapture();
bool ReleaseCapture();

// --- hit testing ---
// The deepest visible, enabled window under a screen point whose region holds
// it and that does not answer WM_NCHITTEST with HTTRANSPARENT.
HWND WindowFromPoint(TPoint ScreenPoint);
// The child of Parent (or Parent itself) at a point of Parent's client area.
HWND ChildWindowFromPoint(HWND Parent, TPoint ClientPoint);
HWND ChildWindowFromPointEx(HWND Parent, TPoint ClientPoint, UINT Flags);

// --- window regions ---
// The region (window coordinates) clips the window's painting and its hit
// tests; nullptr removes it. Answers false for a bad handle.
bool SetWindowRgn(HWND Wnd, const TRegion* Region, bool Redraw);
// The kind of the region (NULLREGION ...), RGN_ERROR when the window has none.
int GetWindowRgn(HWND Wnd, TRegion& Region);

// --- invalidation and painting ---
struct TPaintStruct {
    HDC hdc = nullptr;
    bool fErase = false;  // the background still needs erasing
    TRect rcPaint;
};
bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase);  // nullptr: the whole client area
bool InvalidateRgn(HWND Wnd, const TRegion* Region, bool Erase);
bool ValidateRect(HWND Wnd, const TRect* R);
bool ValidateRgn(HWND Wnd, const TRegion* Region);
bool RedrawWindow(HWND Wnd, const TRect* R, const TRegion* Region, UINT Flags);
// Paints the window at once when it has an update region, then its
// descendants that have one: a repaint that the caller can rely on without a
// message loop.
bool UpdateWindow(HWND Wnd);
bool GetUpdateRect(HWND Wnd, TRect* R, bool Erase);
int GetUpdateRgn(HWND Wnd, TRegion& Region, bool Erase);
HDC BeginPaint(HWND Wnd, TPaintStruct& Paint);
bool EndPaint(HWND Wnd, const TPaintStruct& Paint);
// A device context on the client area (GetDC) or the whole window
// (GetWindowDC), clipped to what can be seen; 0 gives one on a scratch
// surface the size of the screen, for measuring.
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);
int ReleaseDC(HWND Wnd, HDC DC);
HWND WindowFromDC(HDC DC);
// Moves the client area's pixels and invalidates what is uncovered.
bool ScrollWindow(HWND Wnd, int Dx, int Dy, const TRect* Scroll, const TRect* Clip);
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const TRect* Scroll, const TRect* Clip, TRegion* Update,
                   TRect* UpdateRect, UINT Flags);
// Moves pixels of a device context; Update receives the uncovered area
// (logical coordinates).
bool ScrollDC(HDC DC, int Dx, int Dy, const TRect* Scroll, const TRect* Clip, TRegion* Update,
              TRect* UpdateRect);

// --- frames: what the styles leave of a window for its client area ---
TRect ClientRectFromStyles(DWORD Style, DWORD ExStyle, int Width, int Height);
TPoint ClientOffsetFromStyles(DWORD Style, DWORD ExStyle);
// The band of a form's main menu: between the caption and the client area of
// a top-level window, as high as given (0: none). The window keeps its size and
// its client area gives up the band (WM_SIZE tells it). The owner draws the
// band on WM_NCPAINT, after the frame, and hears a press on it as
// WM_NCLBUTTONDOWN with HTMENU.
void SetMenuBarHeight(HWND Wnd, int Height);
int GetMenuBarHeight(HWND Wnd);
// The band in window coordinates; empty when the window has none.
TRect MenuBarRect(HWND Wnd);
// Draws the window's frame, caption and scroll bars into Canvas, at the
// canvas's logical (0, 0) = the window's top-left corner: for painting a
// control as a picture.
void PaintNonClient(HWND Wnd, TCanvas& Canvas);
// Makes Target draw where DC draws: the same pixels, at DC's logical origin,
// clipped to what DC may touch. Target's own pen, brush and font stay.
// AdoptDC(Target, nullptr) lets go.
void AdoptDC(TCanvas& Target, HDC DC);

// --- owner-drawn items: the records of WM_DRAWITEM and WM_MEASUREITEM ---
enum : UINT { ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5 };
enum : UINT { ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4 };
enum : UINT {
    ODS_SELECTED = 0x0001,
    ODS_GRAYED = 0x0002,
    ODS_DISABLED = 0x0004,
    ODS_CHECKED = 0x0008,
    ODS_FOCUS = 0x0010,
    ODS_DEFAULT = 0x0020,
    ODS_COMBOBOXEDIT = 0x1000,
    ODS_NOFOCUSRECT = 0x0200,
};
struct TDrawItemStruct {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    TRect rcItem;
    uintptr_t itemData = 0;
};
// hwndItem names the control that asks, so its parent can hand the question back to it.
struct TMeasureItemStruct {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    uintptr_t itemData = 0;
    HWND hwndItem = nullptr;
};

// --- scroll bars of a window (drawn by us in the non-client area) ---
int SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw);
bool GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw);
int GetScrollPos(HWND Wnd, int Bar);
bool SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw);
bool GetScrollRange(HWND Wnd, int Bar, int& Min, int& Max);
bool ShowScrollBar(HWND Wnd, int Bar, bool Show);
bool EnableScrollBar(HWND Wnd, int Bar, UINT Arrows);

// The dialog base units of the system font: the average character width in
// the low word, the character height in the high word (a dialog unit is a
// quarter of the first across, an eighth of the second down).
int32_t GetDialogBaseUnits();

// --- the caret: one for the thread ---
bool CreateCaret(HWND Wnd, int Width, int Height);
// A grey caret: it turns its rectangle's pixels by grey (xor 0x808080), so the
// text under it stays readable; drawn twice it is gone.
bool CreateGrayCaret(HWND Wnd, int Width, int Height);
// A caret of a picture (its size): each pixel of the window is xor-ed with the
// picture's; black pixels leave the window as it is. The picture is copied.
bool CreateCaret(HWND Wnd, const TBitmap* Bitmap);
bool DestroyCaret();
bool SetCaretPos(int X, int Y);
bool GetCaretPos(TPoint& P);
bool ShowCaret(HWND Wnd);
bool HideCaret(HWND Wnd);
UINT GetCaretBlinkTime();
bool SetCaretBlinkTime(UINT MSecs);

// --- the keyboard and the mouse ---
// Negative (high bit) while the key is down; bit 0 is the toggle (Caps Lock ...).
// The state follows the input messages as the thread takes them from the queue.
int16_t GetKeyState(int VirtualKey);
int16_t GetAsyncKeyState(int VirtualKey);
bool GetKeyboardState(uint8_t State[256]);
bool SetKeyboardState(const uint8_t State[256]);
// MAPVK_VK_TO_CHAR gives the unshifted character of a key (US layout), 0 for none.
UINT MapVirtualKey(UINT Code, UINT MapType);
// The key (low byte) and shift state (high byte: 1 Shift, 2 Ctrl, 4 Alt) that
// type a character; -1 when no key does.
int16_t VkKeyScan(char C);
bool GetCursorPos(TPoint& P);
bool SetCursorPos(int X, int Y);
UINT GetDoubleClickTime();
bool SetDoubleClickTime(UINT MSecs);

// --- cursors ---
struct TCursorShape;
using HCURSOR = const TCursorShape*;
// The standard cursor of a TCursor number (crArrow, crHourGlass ...).
HCURSOR LoadStandardCursor(int Cursor);
// A cursor made from a picture (nullptr image: the arrow's shape).
HCURSOR CreateImageCursor(const TSurface* Image, TPoint HotSpot);
// The same with its mask: white where the screen shows through.
HCURSOR CreateImageCursor(const TSurface& Image, const TSurface& Mask, TPoint HotSpot);
// The cursor of that name built into the program (resources/cursors); null
// when there is none. EInvalidGraphic when its file cannot be read.
HCURSOR LoadResourceCursor(std::string_view Name);
// The picture, mask and hot spot of a cursor made from a picture; false for a standard cursor.
bool GetCursorImage(HCURSOR Cursor, TSurface& Image, TSurface& Mask, TPoint& HotSpot);
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
// The standard number a cursor shows as (crArrow for pictures the display cannot show).
int CursorShapeNumber(HCURSOR Cursor);

// --- the screen ---
TRect ScreenRect();
TRect WorkAreaRect();
