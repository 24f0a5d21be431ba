#include "platform/backend/Offscreen.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/backend/Backend.h"
#include "platform/gfx/Types.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

TOffscreenDisplay::TOffscreenDisplay(int Width, int Height) : FWidth(Width), FHeight(Height) {
    SetSystemMetric(SM_CXSCREEN, Width);
    SetSystemMetric(SM_CYSCREEN, Height);
    SetSystemMetric(SM_CXFULLSCREEN, Width);
    SetSystemMetric(SM_CYFULLSCREEN, Height - 30 - GetSystemMetrics(SM_CYCAPTION));
}

TOffscreenDisplay& InstallOffscreen(int Width, int Height) {
    auto D = std::make_unique<TOffscreenDisplay>(Width, Height);
    TOffscreenDisplay& Ref = *D;
    SetDisplay(std::move(D));
    return Ref;
}

void TOffscreenDisplay::Wait(int TimeoutMs) {
    // Only a clock that runs by itself can make a timer come due while we wait.
    if (TimeoutMs >= 0 && !dynamic_cast<TManualClock*>(&Clock())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(TimeoutMs));
        return;
    }
    throw EUiStalled("A message loop waits for input, and no input can come to the off-screen display");
}

std::string ChooseBackend(const char* Requested, const char* DisplayVariable) {
    if (Requested && *Requested) return Requested;
    return DisplayVariable && *DisplayVariable ? "x11" : "offscreen";
}

TDisplay& InstallBackend() {
    std::string Name = ChooseBackend(std::getenv("ZELMOR_BACKEND"), std::getenv("DISPLAY"));
    if (Name == "offscreen") return InstallOffscreen();
    if (Name == "x11") {
        std::unique_ptr<TDisplay> X = CreateX11Display(nullptr);
        if (!X) throw EInvalidOperation("Cannot open the X display");
        TDisplay& Ref = *X;
        SetDisplay(std::move(X));
        return Ref;
    }
    throw EInvalidOperation("Unknown display backend \"" + Name + "\" (offscreen or x11)");
}
