#include "platform/ui/Timers.h"

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_COMPONENT(TTimer, TComponent)

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    FWindow = AllocateHWnd([this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
        if (Msg != WM_TIMER) return DefWindowProc(Wnd, Msg, WParam, LParam);
        try {
            Timer();
        } catch (...) {
            EnsureApplication();
            Application->HandleException(this);
        }
        return 0;
    });
    UpdateTimer();
}

TTimer::~TTimer() {
    FEnabled = false;
    if (IsWindow(FWindow)) DeallocateHWnd(FWindow);
}

void TTimer::DescribeProperties(TPropertyTable& T) {
    T.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    T.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    T.Event("OnTimer", &TTimer::OnTimer);
}

void TTimer::UpdateTimer() {
    KillTimer(FWindow, 1);
    if (ComponentState().Contains(csLoading)) return;
    if (FInterval != 0 && FEnabled)
        if (SetTimer(FWindow, 1, FInterval) == 0) throw EOutOfResources("No hay temporizadores disponibles");
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer() {
    if (Assigned(OnTimer)) OnTimer(this);
}
