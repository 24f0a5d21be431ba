#pragma once
// The one message queue of the user-interface thread: posted and sent
// messages, the loop calls, timers, hooks and registered messages.
//
// PeekMessage takes, in this order: posted messages and input (in the order
// they came), WM_QUIT once nothing else is posted, WM_PAINT for windows with
// an update region (parents first), and WM_TIMER for timers that are due.
// Timers read the clock in force (platform/rtl/Clock.h), so a test that
// installs a manual clock decides when they fire.
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/gfx/Types.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowManager.h"

struct TMsg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    TPoint pt;  // the cursor on the screen when the message was posted
    // The character a display reported with a key press, for TranslateMessage.
    char KeyChar = 0;
};

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);  // Wnd 0: a thread message
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Min and Max 0: every message. Wnd 0: every message of the thread.
bool PeekMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max, UINT Remove);
// Waits (through the display) until a message comes; false for WM_QUIT.
bool GetMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max);
// Waits until a message is there, without taking it.
void WaitMessage();
// A key press with a character becomes WM_CHAR (WM_SYSCHAR with Alt) posted after it.
bool TranslateMessage(const TMsg& Msg);
LRESULT DispatchMessage(const TMsg& Msg);
void PostQuitMessage(int ExitCode);
// A number from WM_REGISTERED_FIRST up; the same name (any case) gives the same number.
UINT RegisterWindowMessage(std::string_view Name);
DWORD GetMessageTime();
bool InSendMessage();
// How many messages wait in the queue (posted and input; not paint or timers).
size_t PendingMessageCount();

// --- timers: WM_TIMER to the window (or the procedure) every Elapse ms ---
using TTimerProc = std::function<void(HWND, UINT, uintptr_t, DWORD)>;
// Answers the timer's id, or 0 when no timer is available.
uintptr_t SetTimer(HWND Wnd, uintptr_t Id, UINT Elapse, TTimerProc Proc = {});
bool KillTimer(HWND Wnd, uintptr_t Id);
// How many timers may exist at once; SetTimer fails beyond it. For tests of
// the "no timers available" paths.
void SetTimerCapacity(size_t Capacity);
size_t ActiveTimerCount();
// Milliseconds until the next timer is due (0 when one is due), -1 for none.
int NextTimerDue();

// --- hooks: filters over the input messages the thread takes ---
// WH_KEYBOARD: (code, virtual key, key data). WH_MOUSE: (code, mouse message,
// TMouseHookStruct*). A hook that answers non-zero eats the message. A hook
// passes the message on with CallNextHookEx. Hooks see a message once, when
// it is taken from the queue (code HC_ACTION), the last installed first.
struct THookTag;
using HHOOK = THookTag*;
using THookProc = std::function<LRESULT(int, WPARAM, LPARAM)>;
struct TMouseHookStruct {
    TPoint pt;  // screen
    HWND hwnd = nullptr;
    UINT wHitTestCode = 0;
    uintptr_t dwExtraInfo = 0;
};
HHOOK SetWindowsHookEx(int IdHook, THookProc Proc);
bool UnhookWindowsHookEx(HHOOK Hook);
LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam);

// --- hidden windows for objects that only need messages (timer pools ...) ---
HWND AllocateHWnd(TWndProc Proc);
void DeallocateHWnd(HWND Wnd);

// Tests: destroys every window and forgets every message, timer, hook, the
// focus and the keyboard state, so each test starts from a clean thread.
// Registered message names keep their numbers: libraries hold them for good.
void ResetWindowManager();
