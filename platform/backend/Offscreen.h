#pragma once
// The off-screen display: no screen and no user. The program runs on it
// where there is nothing to show windows on; its windows paint into their
// surfaces as on any display, and nothing ever comes as input.
#include "platform/win/Display.h"

class TOffscreenDisplay : public TDisplay {
public:
    // The screen's size; the work area is the screen less a 30-pixel strip at
    // the bottom. The system metrics of the screen take this size at once.
    explicit TOffscreenDisplay(int Width = 1024, int Height = 768);

    const char* Name() const override { return "offscreen"; }
    TRect ScreenBounds() const override { return TRect(0, 0, FWidth, FHeight); }
    TRect WorkArea() const override { return TRect(0, 0, FWidth, FHeight - 30); }
    // No input can ever come: it raises EUiStalled, unless the machine's
    // clock runs and the loop waits for a timer due later: then it waits.
    void Wait(int TimeoutMs) override;

private:
    int FWidth, FHeight;
};

// Installs a new off-screen display and answers it; it stays installed until
// another display replaces it.
TOffscreenDisplay& InstallOffscreen(int Width = 1024, int Height = 768);
