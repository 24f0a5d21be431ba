#include "dataaware/wwframe.h"

#include <algorithm>
#include <cstdlib>

#include "dataaware/wwhelpers.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_ENUM(TwwEditFrameEnabledType, "efLeftBorder", "efTopBorder", "efRightBorder",
                      "efBottomBorder")
ZELMOR_IMPLEMENT_ENUM(TwwEditFocusStyle, "efsFrameBox", "efsFrameSunken", "efsFrameRaised", "efsFrameEtched",
                      "efsFrameBump", "efsFrameSingle")
ZELMOR_IMPLEMENT_CLASS(TwwEditFrame, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwButtonEffects, TPersistent)

namespace {
const TwwEditFrameEnabledSet AllBorders{efLeftBorder, efTopBorder, efRightBorder, efBottomBorder};

bool IsDesigningComponent(const TComponent* Component) {
    return Component && Component->ComponentState().Contains(csDesigning);
}

TTextMetric FontMetrics(TFont* Font) {
    HDC dc = GetDC(nullptr);
    TTextMetric metrics;
    dc->SaveDC();
    dc->Font()->Assign(Font);
    dc->GetTextMetrics(metrics);
    dc->RestoreDC(-1);
    ReleaseDC(nullptr, dc);
    return metrics;
}
}  // namespace

// ---------------------------------------------------------------- TwwEditFrame

TwwEditFrame::TwwEditFrame(TComponent* AOwner) : FControl(dynamic_cast<TWinControl*>(AOwner)) {}

void TwwEditFrame::DescribeProperties(TPropertyTable& T) {
    using F = TwwEditFrame;
    T.Property("Enabled", &F::Enabled, &F::SetEnabled).Default(false);
    T.Property("Transparent", &F::Transparent, &F::SetTransparent).Default(false);
    T.Property("AutoSizeHeightAdjust", &F::AutoSizeHeightAdjust, &F::SetAutoSizeHeightAdjust).Default(0);
    T.Property("FocusBorders", &F::FocusBorders, &F::SetFocusBorders).Default(AllBorders);
    T.Property("NonFocusBorders", &F::NonFocusBorders, &F::SetNonFocusBorders)
        .Default(TwwEditFrameEnabledSet{efBottomBorder});
    T.Property("FocusStyle", &F::FocusStyle, &F::SetFocusStyle).Default(efsFrameBox);
    T.Property("NonFocusStyle", &F::NonFocusStyle, &F::SetNonFocusStyle).Default(efsFrameBox);
    T.Property("NonFocusTextOffsetX", &F::NonFocusTextOffsetX, &F::SetNonFocusTextOffsetX).Default(0);
    T.Property("NonFocusTextOffsetY", &F::NonFocusTextOffsetY, &F::SetNonFocusTextOffsetY).Default(0);
    T.Property("NonFocusTransparentFontColor", &F::NonFocusTransparentFontColor,
               &F::SetNonFocusTransparentFontColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("NonFocusColor", &F::NonFocusColor, &F::SetNonFocusColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("NonFocusFontColor", &F::NonFocusFontColor, &F::SetNonFocusFontColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("MouseEnterSameAsFocus", &F::MouseEnterSameAsFocus, &F::SetMouseEnterSameAsFocus)
        .Default(false);
}

bool TwwEditFrame::IsEdit() const { return dynamic_cast<TCustomEdit*>(FControl) != nullptr; }

void TwwEditFrame::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (!IsEdit()) return;
    // The frame takes the border's place; switching it off keeps the control borderless.
    if (Value) SetBorderStyleProp(FControl, false);
    if (GetAutoSizeProp(FControl)) AdjustHeight();
    FControl->Invalidate();
}

void TwwEditFrame::SetTransparent(bool Value) {
    if (Value != FTransparent) {
        FUseTransparentStyle = Value;
        FTransparent = Value;
        ApplyTransparency();
    }
    if (FControl && FControl->HandleAllocated() && ::IsClassNamed(FControl, "TwwCustomRichEdit"))
        FControl->Perform(CM_RECREATEWND);
}

void TwwEditFrame::SetFocusBorders(TwwEditFrameEnabledSet Value) {
    FFocusBorders = Value;
    if (IsEdit()) FControl->Invalidate();
}

void TwwEditFrame::SetNonFocusBorders(TwwEditFrameEnabledSet Value) {
    FNonFocusBorders = Value;
    if (IsEdit()) InvalidateFrameArea();
}

void TwwEditFrame::SetNonFocusStyle(TwwEditFocusStyle Value) {
    if (Value == FNonFocusStyle) return;
    FNonFocusStyle = Value;
    if (IsEdit()) FControl->Invalidate();
}

void TwwEditFrame::Assign(TPersistent* Source) {
    if (auto* frame = dynamic_cast<TwwEditFrame*>(Source)) {
        AssignFrom(frame, false);
        return;
    }
    TPersistent::Assign(Source);
}

void TwwEditFrame::AssignFrom(TwwEditFrame* Source, bool Force) {
    SetEnabled(Source->Enabled());
    SetTransparent(Source->Transparent());
    if (!Force && !FEnabled) return;
    FTransparentClearsBackground = Source->FTransparentClearsBackground;
    FMouseEnterSameAsFocus = Source->FMouseEnterSameAsFocus;
    FAutoSizeHeightAdjust = Source->FAutoSizeHeightAdjust;
    SetFocusBorders(Source->FFocusBorders);
    SetNonFocusBorders(Source->FNonFocusBorders);
    FFocusStyle = Source->FFocusStyle;
    SetNonFocusStyle(Source->FNonFocusStyle);
    FNonFocusTextOffsetX = Source->FNonFocusTextOffsetX;
    FNonFocusTextOffsetY = Source->FNonFocusTextOffsetY;
    FNonFocusTransparentFontColor = Source->FNonFocusTransparentFontColor;
    FNonFocusColor = Source->FNonFocusColor;
    FNonFocusFontColor = Source->FNonFocusFontColor;
}

bool TwwEditFrame::IsEffective() const {
    return FEnabled && FControl && !(FControl->Parent() && dynamic_cast<TCustomGrid*>(FControl->Parent()));
}

bool TwwEditFrame::IsMonoStyle(TwwEditFocusStyle Style) {
    return Style == efsFrameBox || Style == efsFrameSingle;
}

void TwwEditFrame::GetEditMargins(TRect& R) const {
    const bool left = FFocusBorders.Contains(efLeftBorder);
    switch (FFocusStyle) {
    case efsFrameBox:
        R.Left = 2;
        R.Top = 2;
        if (FFocusBorders.Contains(efRightBorder)) R.Right -= 1;
        break;
    case efsFrameSingle:
        R.Left = 2;
        R.Top = 2;
        break;
    case efsFrameSunken:
    case efsFrameBump:
        R.Left = left ? 3 : 1;
        R.Top = 3;
        R.Right -= 2;
        break;
    case efsFrameRaised:
    case efsFrameEtched:
        R.Left = left ? 2 : 1;
        R.Top = 3;
        R.Right -= 2;
        break;
    }
}

void TwwEditFrame::GetNonFocusTextOffsets(int& X, int& Y, bool Focused) const {
    const TwwEditFrameEnabledSet borders = Focused ? FFocusBorders : FNonFocusBorders;
    const bool mono = IsMonoStyle(Focused ? FFocusStyle : FNonFocusStyle);
    X = borders.Contains(efLeftBorder) ? (mono ? 2 : 3) : 1;
    Y = borders.Contains(efTopBorder) && !mono ? 3 : 2;
    X += FNonFocusTextOffsetX;
    Y += FNonFocusTextOffsetY;
}

void TwwEditFrame::AdjustHeight() {
    if (!FControl) return;
    // New-style controls are always in force here: the extra room follows
    // the border alone, as the platform's own edits size themselves.
    int extra = GetSystemMetrics(SM_CYBORDER) * (FControl->Ctl3D() ? 8 : 6);
    if (!HasBorderStyleSingle(FControl)) extra = 6;
    if (FEnabled) extra += FAutoSizeHeightAdjust;
    FControl->SetHeight(FontMetrics(FControl->Font()).tmHeight + extra);
}

void TwwEditFrame::RefreshBackground(bool WholeClient, bool TextAreaOnly, bool Erase) {
    (void)Erase;
    if (!FControl || !FControl->Parent() || !FControl->HandleAllocated()) return;
    TWinControl* parent = FControl->Parent();
    TRect r = FControl->BoundsRect();
    TRect e;
    const bool noLeft = !FNonFocusBorders.Contains(efLeftBorder);
    if (!WholeClient) {
        FControl->Perform(EM_GETRECT, 0, PointerToLParam(&e));
        if (!TextAreaOnly) {
            InflateRect(r, -2, -2);
            if (noLeft) r.Left -= 2;
            r.Bottom += 2;
        } else if (!HasBorderStyleSingle(FControl)) {
            InflateRect(r, -2, -2);
            if (noLeft) r.Left -= 2;
            // A drop-down's text stops short of its button.
            r.Right = r.Left + e.Right +
                      (GetButtonEffectsProp(FControl) && std::abs(e.Right - r.Right) > 8 ? 3 : 1);
        }
    }
    if (ParentHasTransparentStyle(FControl)) {
        InvalidateControlBackground(FControl);
        return;
    }
    if (parent->ControlAtPos(TPoint(FControl->Left(), FControl->Top()), true, false)) {
        // The windowless control behind repaints itself there.
        if (parent->HandleAllocated()) InvalidateRect(parent->Handle(), &r, FTransparentClearsBackground);
        return;
    }
    HDC dc = GetDC(FControl->Handle());
    TwwFinally release([this, dc] { ReleaseDC(FControl->Handle(), dc); });
    TBrush brush;
    brush.SetColor(parent->Color());
    const TRect client = FControl->ClientRect();
    if (WholeClient) {
        dc->FillRect(client, brush);
        return;
    }
    InflateRect(e, 1, 1);
    if (noLeft) e.Left = std::max(0, e.Left - 1);
    if (client.Bottom >= e.Bottom + 4) e.Bottom += 2;
    dc->FillRect(e, brush);
}

void TwwEditFrame::InvalidateFrameArea() {
    if (!FControl) return;
    if (FEnabled && FTransparent && FControl->Parent() && FControl->Parent()->HandleAllocated()) {
        TRect r = FControl->BoundsRect();
        InvalidateRect(FControl->Parent()->Handle(), &r, false);
        return;
    }
    FControl->Invalidate();
}

bool TwwEditFrame::IsTransparentFrame() const {
    return FTransparent && IsEffective() && !IsDesigning(FControl);
}

void TwwEditFrame::DropTransparentStyle() {
    FUseTransparentStyle = false;
    if (!FControl || !FControl->HandleAllocated()) return;
    SetWindowLong(FControl->Handle(), GWL_EXSTYLE,
                  GetWindowLong(FControl->Handle(), GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT));
    FControl->Invalidate();
}

void TwwEditFrame::RestoreTransparentStyle() {
    FUseTransparentStyle = true;
    // Losing the focus while its window goes (made again for the style)
    // leaves the next window to take the style.
    if (FControl && !FControl->ControlState().Contains(csDestroyingHandle)) FControl->RecreateWnd();
}

void TwwEditFrame::ApplyTransparency() {
    if (!FTransparent || !IsEffective() || IsDesigningComponent(FControl) || !FControl->HandleAllocated())
        return;
    TWinControl* parent = FControl->Parent();
    if (parent && parent->HandleAllocated() && (GetWindowLong(parent->Handle(), GWL_STYLE) & WS_CLIPCHILDREN))
        FControl->Perform(CM_RECREATEWND);
}

bool TwwEditFrame::PaintFrame(bool Focused, bool AlwaysTransparent, HDC DC) {
    if (!IsEffective()) return true;
    HDC dc = DC ? DC : GetWindowDC(FControl->Handle());
    TwwFinally release([this, DC, dc] {
        if (!DC) ReleaseDC(FControl->Handle(), dc);
    });
    if (!::IsClassNamed(FControl, "TwwCheckBox") && !::IsClassNamed(FControl, "TwwRadioButton") &&
        (!FTransparent || (Focused && !AlwaysTransparent))) {
        // The two outer rings in the control's colour wipe the frame of the other state.
        const int saved = dc->SaveDC();
        dc->Brush()->SetStyle(bsSolid);
        dc->Brush()->SetColor(FControl->Color());
        const int w = FControl->Width(), h = FControl->Height();
        dc->FrameRect(TRect(0, 0, w, h));
        dc->FrameRect(TRect(1, 1, w - 1, h - 1));
        dc->RestoreDC(saved);
    }
    DrawFrameEdges(FControl, this, dc, Focused);
    return false;
}

// ---------------------------------------------------------------- TwwButtonEffects

void TwwButtonEffects::DescribeProperties(TPropertyTable& T) {
    T.Property("Transparent", &TwwButtonEffects::Transparent, &TwwButtonEffects::SetTransparent)
        .Default(false);
    T.Property("Flat", &TwwButtonEffects::Flat, &TwwButtonEffects::SetFlat).Default(false);
}

void TwwButtonEffects::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    if (!FButton) return;
    SetOrdPropByName(FButton, "Transparent", FFlat || FTransparent);
    SetOrdPropByName(FButton, "Flat", FFlat || FTransparent);
    Refresh();
    FButton->Invalidate();
}

void TwwButtonEffects::SetFlat(bool Value) {
    if (Value == FFlat) return;
    FFlat = Value;
    if (!FButton) return;
    // A transparent button must be flat, but a flat one need not be transparent.
    SetOrdPropByName(FButton, "Flat", FFlat || FTransparent);
    Refresh();
    FButton->Invalidate();
}

void TwwButtonEffects::Assign(TPersistent* Source) {
    if (auto* effects = dynamic_cast<TwwButtonEffects*>(Source)) {
        SetFlat(effects->Flat());
        SetTransparent(effects->Transparent());
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- routines

bool ParentHasTransparentStyle(TControl* Control) {
    TWinControl* parent = Control ? Control->Parent() : nullptr;
    return parent && parent->HandleAllocated() &&
           (GetWindowLong(parent->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
}

bool GetAutoSizeProp(TObject* Control) { return GetOrdPropByName(Control, "AutoSize") != 0; }

void SetOrdPropByName(TObject* Control, std::string_view PropName, int64_t Value) {
    const TPropInfo* info = Control ? GetPropInfo(Control, PropName) : nullptr;
    if (info) info->SetOrd(Control, Value);
}

TwwEditFrame* GetFrameProp(TObject* Control) {
    for (const char* name : {"Frame", "EditFrame"}) {
        const TPropInfo* info = Control ? GetPropInfo(Control, name) : nullptr;
        if (info && info->Kind() == tkClass)
            if (auto* frame = dynamic_cast<TwwEditFrame*>(info->GetObject(Control))) return frame;
    }
    return nullptr;
}

TwwButtonEffects* GetButtonEffectsProp(TObject* Control) {
    const TPropInfo* info = Control ? GetPropInfo(Control, "ButtonEffects") : nullptr;
    return info && info->Kind() == tkClass ? dynamic_cast<TwwButtonEffects*>(info->GetObject(Control))
                                           : nullptr;
}

void DrawHoverFrameEdges(TWinControl* Control, TwwEditFrame* Frame, bool Hot) {
    if (!Frame->IsEffective() || Control->Focused() || !Frame->MouseEnterSameAsFocus() ||
        !Control->HandleAllocated())
        return;
    HDC DC = GetWindowDC(Control->Handle());
    DrawFrameEdges(Control, Frame, DC, Hot);
    ReleaseDC(Control->Handle(), DC);
}

void FrameMouseLeft(TWinControl* Control, TwwEditFrame* Frame, bool Focused) {
    if (!Frame->IsEffective() || Focused || !Frame->MouseEnterSameAsFocus() || !Control->HandleAllocated())
        return;
    HDC DC = GetWindowDC(Control->Handle());
    DrawFrameEdges(Control, Frame, DC, false);
    ReleaseDC(Control->Handle(), DC);
    if (Frame->IsTransparentFrame()) Frame->SetUseTransparentStyle(true);
    Control->RecreateWnd();
}

void RefreshUnderButtonHolder(TWinControl* Editor, TControl* Holder) {
    if (ParentHasTransparentStyle(Editor)) {
        InvalidateControlBackground(Editor);
        return;
    }
    TWinControl* parent = Editor->Parent();
    if (!parent || !parent->HandleAllocated()) return;
    TRect r = Holder->BoundsRect();
    OffsetRect(r, Editor->Left(), Editor->Top());
    if (HasBorderStyleSingle(Editor)) OffsetRect(r, 2, 2);
    InvalidateRect(parent->Handle(), &r, true);
}

void PaintParentUnderButtonHolder(TWinControl* Editor, TControl* Holder, bool& Updating) {
    TWinControl* parent = Editor->Parent();
    if (!parent || !parent->HandleAllocated()) return;
    TRect r = Holder->BoundsRect();
    OffsetRect(r, Editor->Left(), Editor->Top());
    InvalidateRect(parent->Handle(), &r, false);
    Updating = true;
    TwwFinally done([&Updating] { Updating = false; });
    parent->Update();
}

void DrawFrameEdges(TControl* Control, TwwEditFrame* Frame, HDC DC, bool Focused) {
    TRect r(0, 0, Control->Width(), Control->Height());
    const TwwEditFrameEnabledSet borders = Focused ? Frame->FocusBorders() : Frame->NonFocusBorders();
    const TwwEditFocusStyle style = Focused ? Frame->FocusStyle() : Frame->NonFocusStyle();
    // A transparent frame open on the right leaves room for what shows through there.
    if (!borders.Contains(efRightBorder) && Frame->Transparent()) r.Right -= 2;
    if (borders.Empty()) return;
    uint32_t edge = EDGE_SUNKEN, extra = 0;
    switch (style) {
    case efsFrameBox: extra = BF_MONO; break;
    case efsFrameSunken: break;
    case efsFrameRaised: edge = EDGE_RAISED; break;
    case efsFrameEtched: edge = EDGE_ETCHED; break;
    case efsFrameBump: edge = EDGE_BUMP; break;
    case efsFrameSingle:
        edge = BDR_SUNKENOUTER;
        extra = BF_MONO;
        break;
    }
    DC->DrawEdge(r, edge, borders.Bits() | extra);
}

void InvalidateUnderControl(TControl* Control, bool Erase) {
    // The control's whole rectangle in each ancestor, also the part of a
    // control placed at a negative position: the window clips what lies
    // outside, and the visible part is always covered.
    TWinControl* parent = Control ? Control->Parent() : nullptr;
    if (!parent) return;
    TRect r = Control->BoundsRect();
    while (parent && parent->HandleAllocated()) {
        InvalidateRect(parent->Handle(), &r, Erase);
        TWinControl* next = parent->Parent();
        if (!next || !(GetWindowLong(parent->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT)) return;
        const TPoint from = next->ScreenToClient(parent->ClientToScreen(TPoint(0, 0)));
        OffsetRect(r, from.x, from.y);
        parent = next;
    }
}

void InvalidateControlBackground(TControl* Control) {
    TwwEditFrame* frame = GetFrameProp(Control);
    InvalidateUnderControl(Control, frame && frame->TransparentClearsBackground());
}
