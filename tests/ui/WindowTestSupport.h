#pragma once
// Plain windows for the window-manager tests: each has a name, records the
// messages it receives into a shared log, and may carry its own handler.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"

class TWindowLab {
public:
    using THandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

    TWindowLab();
    ~TWindowLab();

    // A window of the lab's class (CS_DBLCLKS unless told otherwise).
    HWND Make(const std::string& Name, HWND Parent, TRect Bounds, DWORD Style = WS_VISIBLE,
              DWORD ExStyle = 0);
    const std::string& NameOf(HWND Wnd) const;
    void On(HWND Wnd, THandler Handler) { FHandlers[Wnd] = std::move(Handler); }
    // Which messages go to the log (the default: the ones most tests read).
    void Watch(std::initializer_list<UINT> Messages);

    // "name:MSG" entries; MSG is the message's short name.
    std::vector<std::string> Log;
    // Runs every queued message, paint and due timer, as a loop would.
    void Pump();
    // Fills the window's client area with a colour whenever it paints.
    void PaintWith(HWND Wnd, TColor Color);
    uint32_t PixelAt(HWND TopLevel, int X, int Y) const;  // surface coordinates, 0x00RRGGBB

    TManualClock Clock{0, 1000};

private:
    LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    std::map<HWND, std::string> FNames;
    std::map<HWND, THandler> FHandlers;
    std::vector<UINT> FWatched;
    TClockScope FClockScope{Clock};
};

std::string MessageName(UINT Msg);
