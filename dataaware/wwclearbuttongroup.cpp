#include "dataaware/wwclearbuttongroup.h"

#include "dataaware/wwclearpanel.h"
#include "dataaware/wwhelpers.h"

ZELMOR_IMPLEMENT_CLASS(TwwCustomTransparentGroupBox, TCustomGroupBox)

TwwCustomTransparentGroupBox::TwwCustomTransparentGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {
    SetBevelOuter(bvRaised);
}

void TwwCustomTransparentGroupBox::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    if (PaintsTransparent()) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    if (!ComponentState().Contains(csLoading) && HandleAllocated()) Invalidate();
}

bool TwwCustomTransparentGroupBox::PaintsTransparent() const {
    return FTransparent && !ComponentState().Contains(csDesigning) &&
           !(Parent() && ::IsClassNamed(Parent(), "TCustomGrid"));
}

void TwwCustomTransparentGroupBox::CreateParams(TCreateParams& Params) {
    TCustomGroupBox::CreateParams(Params);
    if (PaintsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TwwCustomTransparentGroupBox::AlignControls(TControl* AControl, TRect& Rect) {
    TCustomGroupBox::AlignControls(AControl, Rect);
    if (PaintsTransparent()) Invalidate();
}

void TwwCustomTransparentGroupBox::WMEraseBkgnd(TMessage& Message) {
    if (PaintsTransparent()) {
        Message.Result = 1;
        return;
    }
    TCustomGroupBox::WMEraseBkgnd(Message);
}

void TwwCustomTransparentGroupBox::WMMove(TMessage& Message) {
    TCustomGroupBox::WMMove(Message);
    if (PaintsTransparent()) Invalidate();
}

void TwwCustomTransparentGroupBox::Paint() {
    TCustomGroupBox::Paint();
    if (!PaintsTransparent()) return;
    TRect R = ClientRect();
    DrawTransparentFrames(Canvas(), R, FBevelOuter, FBevelInner, FBevelWidth, FBorderWidth, Color());
    Update();
}

void TwwCustomTransparentGroupBox::Invalidate() {
    if (PaintsTransparent() && Parent() && Parent()->HandleAllocated() && HandleAllocated()) {
        TRect U;
        GetUpdateRect(Handle(), &U, false);
        TRect InParent(U.Left + Left(), U.Top + Top(), U.Right + Left(), U.Bottom + Top());
        InvalidateRect(Parent()->Handle(), &InParent, false);
        if (U.Left == U.Right && U.Top == U.Bottom) InvalidateRect(Handle(), nullptr, false);
        else InvalidateRect(Handle(), &U, false);
        return;
    }
    TCustomGroupBox::Invalidate();
}
