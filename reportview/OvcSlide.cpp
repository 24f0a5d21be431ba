#include "reportview/OvcSlide.h"

#include <algorithm>
#include <cmath>

#include "platform/win/Messages.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_ENUM(TOvcSliderOrientation, "soHorizontal", "soVertical")
ZELMOR_IMPLEMENT_CLASS(TOvcCustomSlider, TOvcCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TOvcSlider, TOvcCustomSlider)

using enum TOvcSliderOrientation;

namespace {
// The nearest integer, halves to the even one.
double Nearest(double Value) { return std::nearbyint(Value); }
}  // namespace

// --- geometry ---

int TOvcSliderGeometry::ThumbLength(int L) {
    int t = static_cast<int>(std::trunc(0.08 * L));
    if (t % 2 == 0) ++t;
    t = std::max(t, 7);
    // A bar shorter than the smallest thumb is all thumb.
    return std::max(std::min(t, L), 0);
}

int TOvcSliderGeometry::ThumbOffset(double Position, double Min, double Max, int L, int T) {
    int travel = L - T - 1;
    if (travel <= 0 || Max - Min <= 0) return 0;
    double d = Nearest((Position - Min) / (Max - Min) * travel);
    return static_cast<int>(std::clamp(d, 0.0, double(L - T)));
}

double TOvcSliderGeometry::DragPosition(int X, double Min, double Max, double Step, int L, int T) {
    X = std::clamp(X, 0, std::max(L - T, 0));
    int travel = L - T - 1;
    if (travel <= 0 || Max - Min <= 0 || Step == 0) return Min;
    return Step * Nearest((Min + (Max - Min) / travel * X) / Step);
}

std::vector<int> TOvcSliderGeometry::Marks(double Min, double Max, double Step, int L, int T,
                                           int MinMarkSpacing) {
    std::vector<int> marks;
    if (Step <= 0 || Max - Min <= 0 || MinMarkSpacing < 1) return marks;
    double steps = std::trunc((Max - Min) / Step);
    int fit = (L - T / 2) / MinMarkSpacing;
    if (fit < steps) {
        for (int i = 0; i < fit; ++i) marks.push_back(T / 2 + i * MinMarkSpacing);
        return marks;
    }
    int travel = std::max(L - T - 1, 0);
    for (double v = Min; v <= Max + Step / 2; v += Step)
        marks.push_back(static_cast<int>(Nearest((v - Min) / (Max - Min) * travel)) + T / 2);
    return marks;
}

// --- the control ---

TOvcCustomSlider::TOvcCustomSlider(TComponent* AOwner) : TOvcCustomSlider(AOwner, false) {}

TOvcCustomSlider::TOvcCustomSlider(TComponent* AOwner, bool AsPopup)
    : TOvcCustomControl(AOwner), FPopup(AsPopup) {
    SetColor(clWindow);
    SetTabStop(false);
    SetBounds(Left(), Top(), 150, 20);
}

TOvcCustomSlider::~TOvcCustomSlider() = default;

int TOvcCustomSlider::BarLength() const {
    return FOrientation == soHorizontal ? ClientWidth() : ClientHeight();
}

void TOvcCustomSlider::DoOnChange() {
    if (OnChange) OnChange(this);
}

void TOvcCustomSlider::SetPosition(double Value) {
    if (Value == FPosition) return;
    double p = FStep * Nearest(Value / FStep);
    if (p > FMax) p = FMax;
    if (p < FMin) p = FMin;
    FPosition = p;
    Invalidate();
    DoOnChange();
}

void TOvcCustomSlider::SetRangeHi(double Value) {
    if (Value == FMax) return;
    if (Value <= FMin && !ComponentState().Contains(csLoading)) throw EOvcException(GetRvLibStr(30336));
    FMax = Value;
    Invalidate();
}

void TOvcCustomSlider::SetRangeLo(double Value) {
    if (Value == FMin) return;
    if (Value >= FMax && !ComponentState().Contains(csLoading)) throw EOvcException(GetRvLibStr(30336));
    FMin = Value;
    Invalidate();
}

void TOvcCustomSlider::SetStep(double Value) {
    FStep = Value == 0 ? 1 : Value;
    Invalidate();
}

void TOvcCustomSlider::SetOrientation(TOvcSliderOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TOvcCustomSlider::SetDrawMarks(bool Value) {
    FDrawMarks = Value;
    Invalidate();
}

void TOvcCustomSlider::SetMarkColor(TColor Value) {
    FMarkColor = Value;
    Invalidate();
}

void TOvcCustomSlider::SetMinMarkSpacing(int Value) {
    if (Value < 1) return;
    FMinMarkSpacing = Value;
    Invalidate();
}

void TOvcCustomSlider::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TOvcCustomSlider::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TOvcCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) Invalidate();
}

void TOvcCustomSlider::CreateParams(TCreateParams& Params) {
    TOvcCustomControl::CreateParams(Params);
    if (FPopup) {
        Params.Style = WS_POPUP | WS_BORDER;
        Params.WindowClass.Style |= CS_SAVEBITS;
        return;
    }
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
    // Double clicks come as two single ones.
    Params.WindowClass.Style &= ~UINT(CS_DBLCLKS);
}

void TOvcCustomSlider::CMCtl3DChanged(TMessage& Message) {
    TOvcCustomControl::CMCtl3DChanged(Message);
    if (FBorderStyle == bsSingle && HandleAllocated()) RecreateWnd();
}

void TOvcCustomSlider::Paint() {
    int w = ClientWidth(), h = ClientHeight();
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    if (FBitmap->Width() != w || FBitmap->Height() != h) FBitmap->SetSize(w, h);
    TCanvas* c = FBitmap->Canvas();
    int l = BarLength();
    int t = TOvcSliderGeometry::ThumbLength(l);
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(0, 0, w, h));
    int d = TOvcSliderGeometry::ThumbOffset(FPosition, FMin, FMax, l, t);
    if (FOrientation == soHorizontal) FThumbRect = TRect(d, h / 2, d + t, h);
    else FThumbRect = TRect(w / 2, h - d - t, w, h - d);
    TRect thumb = FThumbRect;
    c->DrawFrameControl(thumb, DFC_BUTTON, DFCS_BUTTONPUSH | (FDragging ? uint32_t(DFCS_PUSHED) : 0u));
    c->Pen()->SetColor(FMarkColor);
    const TRect& r = FThumbRect;
    if (FOrientation == soHorizontal) {
        int x = r.Left + t / 2;
        c->MoveTo(x, r.Top);
        c->LineTo(x, (r.Top + r.Bottom) / 2);
    } else {
        int y = r.Top + t / 2;
        c->MoveTo(r.Left, y);
        c->LineTo((r.Left + r.Right) / 2, y);
    }
    if (FDrawMarks)
        for (int m : TOvcSliderGeometry::Marks(FMin, FMax, FStep, l, t, FMinMarkSpacing)) {
            if (FOrientation == soHorizontal) {
                c->MoveTo(m, 0);
                c->LineTo(m, h / 4);
            } else {
                c->MoveTo(0, h - 1 - m);
                c->LineTo(w / 4, h - 1 - m);
            }
        }
    if (Focused()) c->DrawFocusRect(TRect(r.Left - 3, r.Top - 3, r.Right + 3, r.Bottom + 3));
    Canvas()->Draw(0, 0, FBitmap.get());
}

void TOvcCustomSlider::StepBy(int Direction) { SetPosition(FPosition + Direction * FStep); }

void TOvcCustomSlider::KeyDown(WORD& Key, TShiftState Shift) {
    TOvcCustomControl::KeyDown(Key, Shift);
    if (Shift.Contains(ssShift) || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return;
    switch (Key) {
    case VK_END: SetPosition(FMax); break;
    case VK_HOME: SetPosition(FMin); break;
    case VK_LEFT:
        if (FOrientation == soHorizontal) StepBy(-1);
        break;
    case VK_RIGHT:
        if (FOrientation == soHorizontal) StepBy(1);
        break;
    case VK_UP:
        if (FOrientation == soVertical) StepBy(1);
        break;
    case VK_DOWN:
        if (FOrientation == soVertical) StepBy(-1);
        break;
    default: break;
    }
}

void TOvcCustomSlider::KeyPress(char& Key) {
    TOvcCustomControl::KeyPress(Key);
    if (Key == '+') StepBy(1);
    else if (Key == '-') StepBy(-1);
}

void TOvcCustomSlider::DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos) {
    TOvcCustomControl::DoOnMouseWheel(Shift, Delta, XPos, YPos);
    StepBy(static_cast<int16_t>(Delta) < 0 ? -1 : 1);
}

void TOvcCustomSlider::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!FPopup && CanFocus()) SetFocus();
    TOvcCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (PtInRect(FThumbRect, TPoint(X, Y))) {
        FDragging = true;
        FDragOffset = FOrientation == soHorizontal ? X - FThumbRect.Left : FThumbRect.Bottom - Y;
        Invalidate();
        return;
    }
    if (FOrientation == soHorizontal) StepBy(X >= FThumbRect.Right ? 1 : -1);
    else StepBy(Y < FThumbRect.Top ? 1 : -1);
}

void TOvcCustomSlider::MouseMove(TShiftState Shift, int X, int Y) {
    TOvcCustomControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    int l = BarLength();
    int t = TOvcSliderGeometry::ThumbLength(l);
    int edge = FOrientation == soHorizontal ? X - FDragOffset : ClientHeight() - Y - FDragOffset;
    SetPosition(TOvcSliderGeometry::DragPosition(edge, FMin, FMax, FStep, l, t));
}

void TOvcCustomSlider::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TOvcCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDragging) {
        FDragging = false;
        Invalidate();
    }
}

void TOvcCustomSlider::DoExit() {
    FDragging = false;
    TOvcCustomControl::DoExit();
}

void TOvcCustomSlider::WMGetDlgCode(TMessage& Message) {
    Message.Result =
        FPopup ? DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS : DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TOvcCustomSlider::WMSetFocus(TMessage& Message) {
    TOvcCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TOvcCustomSlider::WMKillFocus(TMessage& Message) {
    TOvcCustomControl::WMKillFocus(Message);
    Invalidate();
}

void TOvcSlider::DescribeProperties(TPropertyTable& T) {
    using S = TOvcCustomSlider;
    TControl::PublishStandard(
        T, {"Align",     "Color",     "Ctl3D",      "Enabled", "ParentColor", "ParentCtl3D", "ParentShowHint",
            "PopupMenu", "ShowHint",  "TabOrder",   "TabStop", "Visible",     "OnClick",     "OnEnter",
            "OnExit",    "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    T.Property("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).NoDefault();
    T.Property("DrawMarks", &S::DrawMarks, &S::SetDrawMarks).NoDefault();
    T.Property("MarkColor", &S::MarkColor, &S::SetMarkColor).OfType(ColorTypeInfo()).Default(clBtnText);
    T.Property("Max", &S::Max, &S::SetRangeHi).NoDefault();
    T.Property("Min", &S::Min, &S::SetRangeLo).NoDefault();
    T.Property("Orientation", &S::Orientation, &S::SetOrientation).NoDefault();
    T.Property("Position", &S::Position, &S::SetPosition).NoDefault();
    T.Property("Step", &S::Step, &S::SetStep).NoDefault();
    T.PropertyOf<S>(
        "LabelInfo", [](S& C) { return C.LabelInfo(); }, [](S& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.Property("About", &S::About, &S::SetAbout);
    T.Event("OnChange", &S::OnChange);
    T.PropertyOf<S>(
        "AfterEnter", [](S& C) -> const TNotifyEvent& { return C.AfterEnter; },
        [](S& C, TNotifyEvent V) { C.AfterEnter = std::move(V); });
    T.PropertyOf<S>(
        "AfterExit", [](S& C) -> const TNotifyEvent& { return C.AfterExit; },
        [](S& C, TNotifyEvent V) { C.AfterExit = std::move(V); });
}
