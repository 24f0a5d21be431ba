#pragma once
// The off-screen display: no screen, no real input, fully deterministic.
// Tests drive the program through it: they feed keys and mouse (at screen
// points, or at controls found by name), run the queue until it is idle,
// give a script of steps for loops that wait (a modal form, a message box,
// a drag), and save any form as a PNG file.
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/Controls.h"
#include "platform/win/Display.h"

class TCustomForm;

class TOffscreenDisplay : public TDisplay {
public:
    // The screen's size; the work area is the screen less a 30-pixel strip at the bottom.
    explicit TOffscreenDisplay(int Width = 1024, int Height = 768);

    const char* Name() const override { return "offscreen"; }
    TRect ScreenBounds() const override { return TRect(0, 0, FWidth, FHeight); }
    TRect WorkArea() const override { return TRect(0, 0, FWidth, FHeight - 30); }
    void Present(HWND, const TSurface&, const TRect&) override { ++FPresented; }
    void CursorChanged(int Cursor) override { FCursor = Cursor; }
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

    int PresentCount() const { return FPresented; }
    int CursorShown() const { return FCursor; }

private:
    int FWidth, FHeight;
    std::deque<std::function<void()>> FSteps;
    int FPresented = 0;
    int FCursor = 0;
};

// Installs a new off-screen display (the screen size in the system metrics
// too) and answers it; it stays installed until another display replaces it.
TOffscreenDisplay& InstallOffscreen(int Width = 1024, int Height = 768);
