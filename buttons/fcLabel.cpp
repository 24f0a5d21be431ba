#include "buttons/fcLabel.h"

#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_CLASS(TfcCustomLabel, TGraphicControl)
ZELMOR_IMPLEMENT_COMPONENT(TfcLabel, TfcCustomLabel)

TfcCustomLabel::TfcCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += TControlStyle{csOpaque, csReplicatable};
    FTextOptions =
        std::make_unique<TfcCaptionText>([this] { return GetTextEnabled(); }, [this] { AdjustBounds(); },
                                         [this] { Invalidate(); }, Font(), Canvas());
    SetBounds(FLeft, FTop, 65, 17);
}

TfcCustomLabel::~TfcCustomLabel() = default;

void TfcLabel::DescribeProperties(TPropertyTable& T) {
    using L = TfcCustomLabel;
    TControl::PublishStandard(T, {"Align", "Anchors", "Caption", "Constraints", "DragCursor", "DragMode",
                                  "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint",
                                  "PopupMenu", "ShowHint", "Visible", "OnClick", "OnDblClick", "OnMouseDown",
                                  "OnMouseMove", "OnMouseUp"});
    T.Property("Color", &TControl::Color, &TControl::SetColor).OfType(ColorTypeInfo()).Default(clWindow);
    T.Property("AutoSize", &L::AutoSize, &L::SetAutoSize).Default(true);
    T.Property("FocusControl", &L::FocusControl, &L::SetFocusControl);
    T.Property("TextOptions", &L::TextOptions, &L::SetTextOptions);
    T.Property("Transparent", &L::Transparent, &L::SetTransparent).Default(false);
    T.Event("OnMouseEnter", &L::OnMouseEnter);
    T.Event("OnMouseLeave", &L::OnMouseLeave);
}

void TfcCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
    Invalidate();
}

void TfcCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TfcCustomLabel::SetTransparent(bool Value) {
    if (Transparent() == Value) return;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TfcCustomLabel::DoMouseEnter() {
    if (Assigned(OnMouseEnter)) OnMouseEnter(this);
}

void TfcCustomLabel::DoMouseLeave() {
    if (Assigned(OnMouseLeave)) OnMouseLeave(this);
}

void TfcCustomLabel::AdjustBounds() {
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || !FAutoSize) return;
    // Measured on a context of the screen, as nothing may be painted yet.
    HDC DC = GetDC(nullptr);
    TCanvas* Saved = FTextOptions->TargetCanvas;
    FTextOptions->TargetCanvas = DC;
    FTextOptions->OwnerFont = Font();
    FTextOptions->SetText(Caption());
    FTextOptions->LayoutRect = ClientRect();
    TRect R;
    try {
        R = FTextOptions->CalcRect(false);
    } catch (...) {
        FTextOptions->TargetCanvas = Saved;
        ReleaseDC(nullptr, DC);
        throw;
    }
    FTextOptions->TargetCanvas = Saved;
    ReleaseDC(nullptr, DC);
    int NewLeft = FTextOptions->Alignment() == taRightJustify ? Left() + Width() - R.Width() : Left();
    SetBounds(NewLeft, Top(), R.Width(), R.Height());
}

void TfcCustomLabel::Paint() {
    TCanvas* C = Canvas();
    if (!Transparent()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
    }
    C->Brush()->SetStyle(bsClear);
    FTextOptions->TargetCanvas = C;
    FTextOptions->OwnerFont = Font();
    FTextOptions->SetText(Caption());
    FTextOptions->LayoutRect = ClientRect();
    FTextOptions->Draw();
}

void TfcCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TfcCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TfcCustomLabel::CMTextChanged(TMessage&) {
    FTextOptions->SetText(Caption());
    AdjustBounds();
    Invalidate();
}

void TfcCustomLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TfcCustomLabel::CMDialogChar(TMessage& Message) {
    if (FFocusControl && Enabled() && FTextOptions->Options().Contains(toShowAccel) &&
        IsAccel(Message.CharCode(), Caption()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TfcCustomLabel::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    DoMouseEnter();
}

void TfcCustomLabel::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    DoMouseLeave();
}
