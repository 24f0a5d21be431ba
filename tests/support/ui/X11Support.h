#pragma once
// For the tests that open real windows: a private X server, and what the X
// server itself shows of a window and sends to it. No X type shows here: the
// window layer's names clash with Xlib's.
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "platform/win/Display.h"

class TXvfb {
public:
    TXvfb() = default;
    TXvfb(const TXvfb&) = delete;
    TXvfb& operator=(const TXvfb&) = delete;
    ~TXvfb();
    // Starts the server and answers its display name, or "" when there is none to start.
    std::string Start();

private:
    pid_t FPid = 0;
};

// A pixel of the top-level window Wnd as the X server shows it (client
// coordinates of its X window), as 0x00RRGGBB. False when Target is no X
// display or Wnd has no X window.
bool X11ReadBack(TDisplay& Target, HWND Wnd, int X, int Y, uint32_t& Pixel);
// A press or release of the key of KeySymbol, sent to Wnd's X window as the
// server would send it.
bool X11SendKey(TDisplay& Target, HWND Wnd, bool Press, unsigned long KeySymbol);
// A mouse button (1 left, 2 middle, 3 right) pressed or released at a point
// of Wnd's X window (its client coordinates), as the server would send it.
bool X11SendButton(TDisplay& Target, HWND Wnd, bool Press, unsigned Button, int X, int Y);
