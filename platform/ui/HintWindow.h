#pragma once
// The hint window, and the application's hints: when the mouse rests
// HintPause milliseconds on a control whose ShowHint is on (its own or, when
// off, the nearest parent's), the short part of its Hint shows below the
// cursor for HintHidePause milliseconds; moving to another control shows
// the next hint after HintShortPause; a key, a click or leaving the
// application's windows takes it away. The pauses run on the message
// queue's timers, so a test's clock decides them.
#include "platform/ui/Controls.h"
#include "platform/win/MessageQueue.h"

// A bordered top-level window with a text; descendants paint it their way.
class THintWindow : public TCustomControl {
    ZELMOR_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* AOwner);
    // Shows the hint with its window at Rect (screen coordinates, as
    // CalcHintRect gives it), kept on the screen, above every other window,
    // without taking the activation.
    virtual void ActivateHint(TRect Rect, const AnsiString& AHint);
    virtual void ActivateHintData(TRect Rect, const AnsiString& AHint, void* AData);
    // The size the hint needs, from (0, 0), at most MaxWidth wide.
    virtual TRect CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData);
    // Whether a message takes the hint away (keys, clicks, commands).
    virtual bool IsHintMsg(const TMsg& Msg);
    // Hides the hint by letting its window go.
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WMNCHitTest(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
};

// What CM_HINTSHOW hands a control (LParam) before its hint shows; the
// control may change it, or answer non-zero to show none.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos;  // screen point of the window's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;  // the hint stays while the mouse is inside (HintControl's coordinates)
    TPoint CursorPos;  // HintControl's coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;  // -1: the hint shows until the mouse leaves
    AnsiString HintStr;
    void* HintData = nullptr;
};
