// The message queue of the user-interface thread: two queues (messages
// posted by code, and input from the display), the loop calls, timers,
// hooks, registered message names and hidden utility windows.
//
// Posted messages go before input, as on the platform: a message that a
// handler posts runs before the next key the user typed. Hooks see input
// only, never messages posted by code, so a hook that re-posts a key to
// another window does not see it again.
#include "platform/win/MessageQueue.h"

#include <algorithm>
#include <deque>
#include <list>
#include <map>

#include "platform/rtl/Clock.h"
#include "platform/win/Display.h"
#include "platform/win/WindowTree.h"

namespace {

struct TTimer {
    HWND Wnd = nullptr;
    uintptr_t Id = 0;
    UINT Elapse = 0;
    TTimerProc Proc;
    uint32_t Start = 0;  // the tick the current period began
};

struct THook {
    int Type = 0;
    THookProc Proc;
    bool Alive = true;
};

struct TQueueState {
    std::deque<TMsg> Posted;
    std::deque<wm::TInputEvent> Input;
    bool QuitPosted = false;
    int QuitCode = 0;
    DWORD LastTime = 0;
    std::list<TTimer> Timers;
    size_t TimerCapacity = 10000;
    uintptr_t NextThreadTimer = 0x8000;
    // Hooks in the order they were installed; the last one runs first.
    std::vector<std::shared_ptr<THook>> Hooks;
    int HookCalls = 0;
    std::map<AnsiString, UINT> Registered;  // by upper-case name
    UINT NextRegistered = WM_REGISTERED_FIRST;
    int DispatchDepth = 0;
};

TQueueState& Q() {
    static TQueueState State;
    return State;
}

bool InRange(UINT M, UINT Min, UINT Max) { return (Min == 0 && Max == 0) || (M >= Min && M <= Max); }

bool WindowMatches(HWND Msg, HWND Filter) {
    if (!Filter) return true;
    if (Filter == reinterpret_cast<HWND>(-1)) return Msg == nullptr;
    return Msg == Filter;
}

uint32_t Elapsed(uint32_t Since) { return GetTickCount() - Since; }

TTimer* DueTimer(HWND Filter) {
    TTimer* Best = nullptr;
    uint32_t BestLate = 0;
    for (TTimer& T : Q().Timers) {
        if (!WindowMatches(T.Wnd, Filter)) continue;
        uint32_t Passed = Elapsed(T.Start);
        if (Passed < T.Elapse) continue;
        uint32_t Late = Passed - T.Elapse;
        if (!Best || Late > BestLate) {
            Best = &T;
            BestLate = Late;
        }
    }
    return Best;
}

void PruneHooks() {
    if (Q().HookCalls > 0) return;
    auto& H = Q().Hooks;
    H.erase(std::remove_if(H.begin(), H.end(), [](const auto& P) { return !P->Alive; }), H.end());
}

LRESULT CallFrom(int Index, int Type, int Code, WPARAM WParam, LPARAM LParam) {
    auto& H = Q().Hooks;
    for (int I = Index; I >= 0; --I) {
        std::shared_ptr<THook> Hook = H[static_cast<size_t>(I)];
        if (!Hook->Alive || Hook->Type != Type) continue;
        ++Q().HookCalls;
        struct TGuard {
            ~TGuard() {
                --Q().HookCalls;
                PruneHooks();
            }
        } Guard;
        return Hook->Proc(Code, WParam, LParam);
    }
    return 0;
}

}  // namespace

namespace wm {

void PostInputEvent(const TInputEvent& Event) {
    auto& In = Q().Input;
    // Mouse moves that nobody took yet fold into the newest one.
    if (Event.Kind == TInputEvent::Move && !In.empty() && In.back().Kind == TInputEvent::Move &&
        In.back().MouseKeys == Event.MouseKeys) {
        In.back() = Event;
        return;
    }
    In.push_back(Event);
}

LRESULT CallHooks(int IdHook, int Code, WPARAM WParam, LPARAM LParam) {
    return CallFrom(static_cast<int>(Q().Hooks.size()) - 1, IdHook, Code, WParam, LParam);
}

void ClearQueueFor(HWND Wnd) {
    auto& D = Q().Posted;
    D.erase(std::remove_if(D.begin(), D.end(), [&](const TMsg& M) { return M.hwnd == Wnd; }), D.end());
}

void TimersWindowGone(HWND Wnd) {
    Q().Timers.remove_if([&](const TTimer& T) { return T.Wnd == Wnd; });
}

}  // namespace wm

using namespace wm;

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd && !Find(Wnd)) return false;
    TMsg M;
    M.hwnd = Wnd;
    M.message = Msg;
    M.wParam = WParam;
    M.lParam = LParam;
    M.time = GetTickCount();
    GetCursorPos(M.pt);
    Q().Posted.push_back(M);
    return true;
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWindow* W = Find(Wnd);
    return W ? Send(*W, Msg, WParam, LParam) : 0;
}

bool PeekMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max, UINT Remove) {
    CurrentDisplay().Poll();
    bool Take = (Remove & PM_REMOVE) != 0;
    auto& Posted = Q().Posted;
    for (auto It = Posted.begin(); It != Posted.end(); ++It) {
        if (!WindowMatches(It->hwnd, Wnd) || !InRange(It->message, Min, Max)) continue;
        Msg = *It;
        if (Take) Posted.erase(It);
        Q().LastTime = Msg.time;
        return true;
    }
    auto& Input = Q().Input;
    for (size_t I = 0; I < Input.size();) {
        TInputEvent Event = Input[I];
        bool Resolved = ResolveInput(Event, Msg);
        if (!Resolved || !WindowMatches(Msg.hwnd, Wnd) || !InRange(Msg.message, Min, Max)) {
            if (!Resolved && Take && !Wnd && Min == 0 && Max == 0) {
                // Nobody takes it; the keyboard state still follows a key.
                Input.erase(Input.begin() + static_cast<std::ptrdiff_t>(I));
                InputDropped(Event);
                continue;
            }
            ++I;
            continue;
        }
        if (!Take) {
            Q().LastTime = Msg.time;
            return true;
        }
        Input.erase(Input.begin() + static_cast<std::ptrdiff_t>(I));
        if (!InputTaken(Event, Msg)) {
            I = 0;  // a hook or an activation ate it; what it did may have queued more
            continue;
        }
        Q().LastTime = Msg.time;
        return true;
    }
    if (Q().QuitPosted && (!Wnd || Wnd == reinterpret_cast<HWND>(-1)) && InRange(WM_QUIT, Min, Max)) {
        Msg = TMsg();
        Msg.message = WM_QUIT;
        Msg.wParam = static_cast<WPARAM>(Q().QuitCode);
        Msg.time = GetTickCount();
        if (Take) Q().QuitPosted = false;
        return true;
    }
    if (InRange(WM_PAINT, Min, Max))
        if (TWindow* W = NextWindowToPaint(Wnd == reinterpret_cast<HWND>(-1) ? nullptr : Wnd);
            W && Wnd != reinterpret_cast<HWND>(-1)) {
            Msg = TMsg();
            Msg.hwnd = W->Handle;
            Msg.message = WM_PAINT;
            Msg.time = GetTickCount();
            return true;
        }
    if (InRange(WM_TIMER, Min, Max))
        if (TTimer* T = DueTimer(Wnd)) {
            Msg = TMsg();
            Msg.hwnd = T->Wnd;
            Msg.message = WM_TIMER;
            Msg.wParam = T->Id;
            Msg.time = GetTickCount();
            GetCursorPos(Msg.pt);
            // One WM_TIMER however late: the next period starts now.
            if (Take) T->Start = GetTickCount();
            Q().LastTime = Msg.time;
            return true;
        }
    return false;
}

bool GetMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max) {
    while (!PeekMessage(Msg, Wnd, Min, Max, PM_REMOVE)) {
        PresentDirty();
        CurrentDisplay().Wait(NextTimerDue());
    }
    return Msg.message != WM_QUIT;
}

void WaitMessage() {
    TMsg M;
    if (PeekMessage(M, nullptr, 0, 0, PM_NOREMOVE)) return;
    PresentDirty();
    CurrentDisplay().Wait(NextTimerDue());
}

bool TranslateMessage(const TMsg& Msg) {
    if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
    char C = Msg.KeyChar ? Msg.KeyChar : TranslateKey(static_cast<WORD>(Msg.wParam));
    if (!C) return false;
    PostMessage(Msg.hwnd, Msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, static_cast<unsigned char>(C),
                Msg.lParam);
    return true;
}

LRESULT DispatchMessage(const TMsg& Msg) {
    ++Q().DispatchDepth;
    struct TGuard {
        ~TGuard() {
            if (--Q().DispatchDepth == 0) PresentDirty();
        }
    } Guard;
    if (Msg.message == WM_TIMER) {
        auto It = std::find_if(Q().Timers.begin(), Q().Timers.end(),
                               [&](const TTimer& T) { return T.Wnd == Msg.hwnd && T.Id == Msg.wParam; });
        if (It != Q().Timers.end() && It->Proc) {
            TTimerProc Proc = It->Proc;
            Proc(Msg.hwnd, WM_TIMER, Msg.wParam, Msg.time);
            return 0;
        }
    }
    TWindow* W = Find(Msg.hwnd);
    if (!W) return 0;
    if (Msg.message == WM_PAINT) {
        PaintOne(*W);
        return 0;
    }
    return Send(*W, Msg.message, Msg.wParam, Msg.lParam);
}

void PostQuitMessage(int ExitCode) {
    Q().QuitPosted = true;
    Q().QuitCode = ExitCode;
}

UINT RegisterWindowMessage(std::string_view Name) {
    if (Name.empty()) return 0;
    AnsiString Key = UpperCase(Name);
    auto It = Q().Registered.find(Key);
    if (It != Q().Registered.end()) return It->second;
    UINT Number = Q().NextRegistered++;
    Q().Registered[Key] = Number;
    return Number;
}

DWORD GetMessageTime() { return Q().LastTime; }
bool InSendMessage() { return false; }
size_t PendingMessageCount() { return Q().Posted.size() + Q().Input.size(); }

// --- timers ---

uintptr_t SetTimer(HWND Wnd, uintptr_t Id, UINT Elapse, TTimerProc Proc) {
    if (Wnd && !Find(Wnd)) return 0;
    if (Elapse == 0) Elapse = 1;
    if (Wnd) {
        for (TTimer& T : Q().Timers)
            if (T.Wnd == Wnd && T.Id == Id) {
                T.Elapse = Elapse;
                T.Proc = std::move(Proc);
                T.Start = GetTickCount();
                return Id ? Id : 1;
            }
    }
    if (Q().Timers.size() >= Q().TimerCapacity) return 0;
    TTimer T;
    T.Wnd = Wnd;
    T.Id = Wnd ? Id : Q().NextThreadTimer++;
    T.Elapse = Elapse;
    T.Proc = std::move(Proc);
    T.Start = GetTickCount();
    Q().Timers.push_back(std::move(T));
    // The platform answers 1 for a window timer of id 0, so callers can test the answer.
    return Q().Timers.back().Id ? Q().Timers.back().Id : 1;
}

bool KillTimer(HWND Wnd, uintptr_t Id) {
    auto& Timers = Q().Timers;
    auto It = std::find_if(Timers.begin(), Timers.end(),
                           [&](const TTimer& T) { return T.Wnd == Wnd && T.Id == Id; });
    if (It == Timers.end()) return false;
    Timers.erase(It);
    // A WM_TIMER already taken from the queue finds no timer and goes to the window, as before.
    return true;
}

void SetTimerCapacity(size_t Capacity) { Q().TimerCapacity = Capacity; }
size_t ActiveTimerCount() { return Q().Timers.size(); }

int NextTimerDue() {
    int Best = -1;
    for (const TTimer& T : Q().Timers) {
        uint32_t Passed = Elapsed(T.Start);
        int Left = Passed >= T.Elapse ? 0 : static_cast<int>(T.Elapse - Passed);
        if (Best < 0 || Left < Best) Best = Left;
    }
    return Best;
}

// --- hooks ---

HHOOK SetWindowsHookEx(int IdHook, THookProc Proc) {
    if ((IdHook != WH_KEYBOARD && IdHook != WH_MOUSE) || !Proc) return nullptr;
    auto H = std::make_shared<THook>();
    H->Type = IdHook;
    H->Proc = std::move(Proc);
    Q().Hooks.push_back(H);
    return reinterpret_cast<HHOOK>(H.get());
}

bool UnhookWindowsHookEx(HHOOK Hook) {
    for (auto& H : Q().Hooks)
        if (reinterpret_cast<HHOOK>(H.get()) == Hook && H->Alive) {
            H->Alive = false;
            PruneHooks();
            return true;
        }
    return false;
}

LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam) {
    auto& H = Q().Hooks;
    for (int I = static_cast<int>(H.size()) - 1; I >= 0; --I)
        if (reinterpret_cast<HHOOK>(H[static_cast<size_t>(I)].get()) == Hook)
            return CallFrom(I - 1, H[static_cast<size_t>(I)]->Type, Code, WParam, LParam);
    return 0;
}

// --- utility windows ---

static const char* UtilityClass() {
    static bool Registered = false;
    if (!Registered) {
        TWndClass C;
        C.Name = "TZelmorUtilityWindow";
        RegisterWindowClass(C);
        Registered = true;
    }
    return "TZelmorUtilityWindow";
}

HWND AllocateHWnd(TWndProc Proc) {
    return CreateWindowEx(WS_EX_TOOLWINDOW, UtilityClass(), "", WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr,
                          std::move(Proc));
}

void DeallocateHWnd(HWND Wnd) { DestroyWindow(Wnd); }

void ResetWindowManager() {
    DestroyCaret();
    ClearAll();
    TQueueState& S = Q();
    S.Posted.clear();
    S.Input.clear();
    S.QuitPosted = false;
    S.Timers.clear();
    S.TimerCapacity = 10000;
    for (auto& H : S.Hooks) H->Alive = false;
    PruneHooks();
    ResetInput();
}
