#pragma once
// TDraw3D: the gradient drawing panel that the program's forms place as
// their background. It fills its client area with its gradient (or its
// colour), an optional back image and a bevel, all through the off-screen
// buffer, and hosts the form's other controls.
#include "gradient/TeeProcs.h"

using TDraw3DPaintEvent = TEvent<void(TObject* Sender, const TRect& ARect)>;

class TDraw3D : public TCustomTeePanelExtended {
    ZELMOR_CLASS(TDraw3D, TCustomTeePanelExtended)
public:
    using TCustomTeePanelExtended::TCustomTeePanelExtended;
    static void DescribeProperties(TPropertyTable& T);
    // Draws through the panel's 3D canvas, in buffer coordinates while buffered.
    TDraw3DPaintEvent OnPaint;

    void InternalDraw(const TRect& UserRect) override;
};

// The gradient library's start-up, before the application object runs: the
// hand cursor, the shared saved clip, the fields separator, and TDraw3D
// registered for the forms. DoneGradientPanel undoes it after the message loop.
void InitGradientPanel();
void DoneGradientPanel();
