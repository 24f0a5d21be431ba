#include "dataaware/wwSpeedButton.h"

#include "platform/gfx/ImageList.h"
#include "platform/ui/ActnList.h"

ZELMOR_IMPLEMENT_CLASS(TwwDisabledTextColors, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TwwSpeedButton, TGraphicControl)

void TwwDisabledTextColors::DescribeProperties(TPropertyTable& T) {
    using C = TwwDisabledTextColors;
    T.Property("ShadeColor", &C::ShadeColor, &C::SetShadeColor);
    T.Property("HighlightColor", &C::HighlightColor, &C::SetHighlightColor);
}

void TwwDisabledTextColors::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwDisabledTextColors*>(Source)) {
        SetShadeColor(S->FShadeColor);
        SetHighlightColor(S->FHighlightColor);
        return;
    }
    TPersistent::Assign(Source);
}

void TwwDisabledTextColors::SetShadeColor(TColor Value) {
    FShadeColor = Value;
    if (FControl) FControl->Invalidate();
}

void TwwDisabledTextColors::SetHighlightColor(TColor Value) {
    FHighlightColor = Value;
    if (FControl) FControl->Invalidate();
}

TwwSpeedButton::TwwSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FDisabledTextColors(std::make_unique<TwwDisabledTextColors>(this)) {
    SetBounds(Left(), Top(), 25, 25);
    // A double click reaches the button as two clicks.
    FControlStyle.Exclude(csDoubleClicks);
}

TwwSpeedButton::~TwwSpeedButton() = default;

void TwwSpeedButton::DescribeProperties(TPropertyTable& T) {
    using C = TwwSpeedButton;
    TControl::PublishStandard(T, {"Action", "Caption", "Enabled", "Font", "ParentFont", "ShowHint",
                                  "ParentShowHint", "OnClick", "OnMouseDown", "OnMouseUp", "OnMouseMove"});
    T.PropertyOf<C>(
        "ImageIndex", [](C& X) { return X.GetImageIndex(); }, [](C& X, int V) { X.SetImageIndex(V); });
    T.Property("Margin", &C::Margin, &C::SetMargin).Default(-1);
    T.PropertyOf<C>(
        "NumGlyphs", [](C& X) { return X.NumGlyphs(); }, [](C& X, int V) { X.SetNumGlyphs(V); });
    T.Property("ShowText", &C::ShowText, &C::SetShowText).Default(false);
    T.Property("Spacing", &C::Spacing, &C::SetSpacing);
    T.Property("Transparent", &C::Transparent, &C::SetTransparent).Default(true);
    T.Property("DisabledTextColors", &C::DisabledTextColors, &C::SetDisabledTextColors);
}

void TwwSpeedButton::SetImageIndex(int Value) { Store(FImageIndex, Value); }
void TwwSpeedButton::SetFlat(bool Value) { Store(FFlat, Value); }
void TwwSpeedButton::SetImages(TCustomImageList* Value) { Store(FImages, Value); }
void TwwSpeedButton::SetMargin(int Value) { Store(FMargin, Value); }
void TwwSpeedButton::SetNumGlyphs(int Value) { Store(FNumGlyphs, Value); }
void TwwSpeedButton::SetShowText(bool Value) { Store(FShowText, Value); }
void TwwSpeedButton::SetSpacing(int Value) { Store(FSpacing, Value); }

void TwwSpeedButton::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

bool TwwSpeedButton::Pressed() const { return FControlState.Contains(csLButtonDown) && FMouseInside; }

int TwwSpeedButton::PictureIndex() const {
    int P = FImageIndex;
    if (P < 0) return -1;
    if (!Enabled()) return FNumGlyphs > 1 ? P + 1 : P;
    if (Pressed()) return FNumGlyphs > 2 ? P + 2 : P;
    if (FMouseInside && FNumGlyphs > 3) return P + 3;
    return P;
}

void TwwSpeedButton::Paint() {
    TCanvas* C = Canvas();
    const bool Down = Pressed();
    const bool Designing = ComponentState().Contains(csDesigning);
    TRect R = ClientRect();
    int Shift;
    if (!FFlat) {
        C->DrawFrameControl(R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Down ? DFCS_PUSHED : 0u));
        Shift = 2;
    } else {
        // A flat button paints no background, only an edge while it is hot.
        if ((FMouseInside && Enabled()) || Designing) {
            TRect E = R;
            C->DrawEdge(E, Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        Shift = 1;
    }
    C->Brush()->SetStyle(bsClear);
    if (FMargin != -1) OffsetRect(R, FMargin, FMargin);
    if (Down) OffsetRect(R, Shift, Shift);

    TRect P = R;
    if (FMargin == -1 && FImages)
        InflateRect(P, -((R.Width() - FImages->Width()) / 2), -((R.Height() - FImages->Height()) / 2));
    if (P.Width() % 2 != 0) OffsetRect(P, 1, 0);
    OffsetRect(P, 0, 1);

    const AnsiString& Text = Caption();
    const bool TextShown = FShowText && !Text.empty();
    C->Font()->Assign(Font());
    const int Half = C->TextHeight(Text) / 2 + FSpacing / 2;
    if (TextShown) OffsetRect(P, 0, -Half);
    TRect T = R;
    if (FMargin == -1)
        InflateRect(T, -((R.Width() - C->TextWidth(Text)) / 2), -((R.Height() - C->TextHeight(Text)) / 2));
    const int Index = PictureIndex();
    const bool PictureDrawn = FImages && FImageIndex != -1;
    if (PictureDrawn) OffsetRect(T, 0, Half);

    if (PictureDrawn) FImages->Draw(C, P.Left, P.Top, Index, true);
    if (TextShown) {
        const uint32_t Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (Enabled()) {
            C->Font()->SetColor(Font()->Color());
            C->DrawText(Text, T, Flags);
        } else {
            TRect H = T;
            OffsetRect(H, 1, 1);
            C->Font()->SetColor(FDisabledTextColors->HighlightColor());
            C->DrawText(Text, H, Flags);
            C->Font()->SetColor(FDisabledTextColors->ShadeColor());
            C->DrawText(Text, T, Flags);
        }
    }
}

void TwwSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    Invalidate();
}

void TwwSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    Invalidate();
}

void TwwSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    FMouseInside = true;
    Invalidate();
}

void TwwSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    FMouseInside = false;
    Invalidate();
}

void TwwSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* Action = dynamic_cast<TCustomAction*>(Sender);
    if (!Action || !Action->ActionList()) return;
    TCustomImageList* List = Action->ActionList()->Images();
    if (List && List == FImages && Action->ImageIndex() >= 0 && Action->ImageIndex() < List->Count())
        SetImageIndex(Action->ImageIndex());
}
