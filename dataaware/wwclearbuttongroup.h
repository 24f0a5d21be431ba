#pragma once
// A group box that can let its parent show through, the base of the
// library's radio group: transparent as the panel is (wwclearpanel.h), but
// opaque on a grid, and invalidating only its own area and what lies under
// it. It walks none of its child controls when it invalidates: the
// transparent item buttons of a radio group invalidate what lies under them
// themselves, and whether a child repaints with the group is the window
// system's rule for the group's window.
#include "platform/ui/ExtCtrls.h"

class TwwCustomTransparentGroupBox : public TCustomGroupBox {
    ZELMOR_CLASS(TwwCustomTransparentGroupBox, TCustomGroupBox)
public:
    explicit TwwCustomTransparentGroupBox(TComponent* AOwner);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    virtual bool PaintsTransparent() const;
    void Invalidate() override;
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value) { FBevelOuter = Value; }
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value) { FBevelInner = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Paint() override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMMove(TMessage& Message) override;

private:
    bool FTransparent = false;
    TPanelBevel FBevelOuter = bvRaised;
    TPanelBevel FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
};
