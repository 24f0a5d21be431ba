#include "dataaware/wwclearpanel.h"

ZELMOR_IMPLEMENT_CLASS(TwwCustomTransparentPanel, TCustomPanel)

TwwCustomTransparentPanel::TwwCustomTransparentPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    // The component's name never becomes its caption.
    FControlStyle.Exclude(csSetCaption);
    SetBevelOuter(bvRaised);
}

void TwwCustomTransparentPanel::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    if (!ComponentState().Contains(csLoading) && HandleAllocated()) Invalidate();
}

bool TwwCustomTransparentPanel::PaintsTransparent() const {
    return FTransparent && !ComponentState().Contains(csDesigning);
}

void TwwCustomTransparentPanel::CreateParams(TCreateParams& Params) {
    TCustomPanel::CreateParams(Params);
    if (PaintsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TwwCustomTransparentPanel::AlignControls(TControl* AControl, TRect& Rect) {
    TCustomPanel::AlignControls(AControl, Rect);
    if (PaintsTransparent()) Invalidate();
}

void TwwCustomTransparentPanel::WMEraseBkgnd(TMessage& Message) {
    if (PaintsTransparent()) {
        Message.Result = 1;
        return;
    }
    TCustomPanel::WMEraseBkgnd(Message);
}

void TwwCustomTransparentPanel::WMMove(TMessage& Message) {
    TCustomPanel::WMMove(Message);
    if (PaintsTransparent()) Invalidate();
}

void DrawTransparentFrames(TCanvas* C, TRect& R, TPanelBevel Outer, TPanelBevel Inner, int BevelWidth,
                           int BorderWidth, TColor Color) {
    auto Bevel = [&](TPanelBevel B) {
        if (B == bvNone) return;
        TColor Top = B == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor Bottom = B == bvLowered ? clBtnHighlight : clBtnShadow;
        Frame3D(C, R, Top, Bottom, BevelWidth);
    };
    Bevel(Outer);
    Frame3D(C, R, Color, Color, BorderWidth);
    Bevel(Inner);
}

void TwwCustomTransparentPanel::Paint() {
    if (!PaintsTransparent()) {
        TCustomPanel::Paint();
        return;
    }
    TRect R = ClientRect();
    DrawTransparentFrames(Canvas(), R, BevelOuter(), BevelInner(), BevelWidth(), BorderWidth(), Color());
    Update();
}

void TwwCustomTransparentPanel::Invalidate() {
    if (PaintsTransparent() && Parent() && Parent()->HandleAllocated()) {
        TRect R = BoundsRect();
        InvalidateRect(Parent()->Handle(), &R, true);
        for (int I = 0; I < ControlCount(); ++I) Controls(I)->Invalidate();
        return;
    }
    TCustomPanel::Invalidate();
}
