#pragma once
// TTimer: OnTimer every Interval milliseconds while Enabled, through a
// window timer on a hidden window of its own.
#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/win/Messages.h"

class TTimer : public TComponent {
    ZELMOR_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    static void DescribeProperties(TPropertyTable& T);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    // The window timer runs while Enabled with an Interval; OnTimer may be set at any time.
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();
    void Loaded() override;

private:
    // Raises EOutOfResources when the window manager has no timer left.
    void UpdateTimer();
    HWND FWindow = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
};
