#pragma once
// The off-screen display as a test drives it: the test feeds keys and mouse
// (at screen points, or at controls found by name), runs the queue until it
// is idle, gives a script of steps for the loops that wait (a modal form, a
// message box, a drag), and takes any form as a picture or a PNG file.
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "platform/backend/Offscreen.h"
#include "platform/ui/Controls.h"

class TCustomForm;

class TUiDriver : public TOffscreenDisplay {
public:
    using TOffscreenDisplay::TOffscreenDisplay;

    void Present(HWND Wnd, const TSurface& Surface, const TRect& Changed) override;
    void CursorChanged(int Cursor) override;
    // Runs the next step of the script. With none left it raises EUiStalled,
    // unless the machine's clock runs and a timer is due later: then it waits.
    void Wait(int TimeoutMs) override;

    // --- the script ---
    // A step runs when a loop has nothing to do (inside ShowModal, say).
    void Then(std::function<void()> Step);
    size_t StepsLeft() const { return FSteps.size(); }

    // --- input (queued; it runs when the loop takes it) ---
    void KeyDown(WORD Key);
    void KeyUp(WORD Key);
    // A press and release, with Shift, Ctrl and Alt held as asked.
    void Key(WORD Key, TShiftState Shift = {});
    // Each character with the key that types it (Shift held for capitals and
    // the shifted signs); characters beyond the US keys arrive as they are.
    void Type(std::string_view Text);
    void MoveTo(TPoint ScreenPoint);
    void Click(TPoint ScreenPoint, TMouseButton Button = mbLeft);
    void DoubleClick(TPoint ScreenPoint);
    // At a point of the control's client area (default: its middle).
    void Click(TControl* Control);
    void Click(TControl* Control, TPoint ClientPoint, TMouseButton Button = mbLeft);
    void DoubleClick(TControl* Control);
    // The control of that name owned by Root (or by its owned components, in
    // depth); raises EComponentError when there is none.
    static TControl* Find(TComponent* Root, std::string_view Name);
    void Click(TComponent* Root, std::string_view Name) { Click(Find(Root, Name)); }
    static TPoint CenterOf(TControl* Control);

    // --- running ---
    // Handles every queued message, paint and due timer, and what the idle
    // loop does (mouse enter and leave, hints), until nothing is left.
    void RunUntilIdle();

    // --- pictures ---
    // The pixels of the form's window (frame and caption included), painted up to date.
    const TSurface& Picture(TCustomForm* Form);
    void SaveToPng(TCustomForm* Form, const std::string& FileName);

    // How often a window's pixels went to the display, and the cursor it shows.
    int PresentCount() const { return FPresented; }
    // Called whenever a window's pixels go to the display: what a handler
    // shows while it works without a message loop (a wait window) is seen
    // at that moment.
    std::function<void(HWND Wnd)> OnPresent;
    int CursorShown() const { return FCursor; }

private:
    std::deque<std::function<void()>> FSteps;
    int FPresented = 0;
    int FCursor = 0;
};

// Installs a new driver as the display and answers it; it stays installed
// until another display replaces it (a test's fixture does this for it).
TUiDriver& InstallUiDriver(int Width = 1024, int Height = 768);

// A pixel of the form's window (window coordinates), painted up to date.
inline uint32_t PixelOf(TUiDriver& Ui, TCustomForm* Form, int X, int Y) {
    return Ui.Picture(Form).GetPixel(X, Y);
}
