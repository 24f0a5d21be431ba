#pragma once
// A panel that can let its parent show through: with Transparent its window
// is made with WS_EX_TRANSPARENT (the parent paints first), the background is
// not erased, only the bevels and border are drawn, and invalidating it
// invalidates what lies under it and its children. The library's navigator
// stands on it and publishes Transparent. At design time it paints opaquely.
#include "platform/ui/ExtCtrls.h"

class TwwCustomTransparentPanel : public TCustomPanel {
    ZELMOR_CLASS(TwwCustomTransparentPanel, TCustomPanel)
public:
    explicit TwwCustomTransparentPanel(TComponent* AOwner);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    virtual bool PaintsTransparent() const;
    void Invalidate() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Paint() override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMMove(TMessage& Message) override;

private:
    bool FTransparent = false;
};

// The bevels and border of a transparent panel or group box drawn on R,
// which shrinks by each: the outer bevel, the border in Color, the inner bevel.
void DrawTransparentFrames(TCanvas* Canvas, TRect& R, TPanelBevel Outer, TPanelBevel Inner, int BevelWidth,
                           int BorderWidth, TColor Color);
