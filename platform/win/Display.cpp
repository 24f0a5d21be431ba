// The display in force, and the one that stands in until a backend is installed.
#include "platform/win/Display.h"

namespace {

// Draws nowhere and has no input: a loop that waits on it would wait forever,
// so it says so instead.
class TNoDisplay : public TDisplay {
public:
    const char* Name() const override { return "none"; }
    TRect ScreenBounds() const override {
        return TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }
    TRect WorkArea() const override { return ScreenBounds(); }
    void Wait(int) override {
        throw EUiStalled("The message loop waits for input, but no display is installed");
    }
};

std::unique_ptr<TDisplay>& Current() {
    static std::unique_ptr<TDisplay> D = std::make_unique<TNoDisplay>();
    return D;
}

bool GInstalled = false;
TDisplayListener GListener = nullptr;

}  // namespace

TDisplay& CurrentDisplay() { return *Current(); }

std::unique_ptr<TDisplay> SetDisplay(std::unique_ptr<TDisplay> NewDisplay) {
    GInstalled = NewDisplay != nullptr;
    if (!NewDisplay) NewDisplay = std::make_unique<TNoDisplay>();
    std::swap(Current(), NewDisplay);
    if (GListener) GListener(GInstalled);
    return NewDisplay;
}

bool DisplayInstalled() { return GInstalled; }

void SetDisplayListener(TDisplayListener Listener) { GListener = Listener; }
