#include "dataaware/wwradiobutton.h"

#include <algorithm>

#include "dataaware/wwhelpers.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_CLASS(TwwWinButtonIndents, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwCustomRadioButton, TRadioButton)
ZELMOR_IMPLEMENT_COMPONENT(TwwRadioButton, TwwCustomRadioButton)

// ---------------------------------------------------------------------------
// TwwWinButtonIndents
// ---------------------------------------------------------------------------

void TwwWinButtonIndents::DescribeProperties(TPropertyTable& T) {
    using C = TwwWinButtonIndents;
    T.Property("ButtonX", &C::ButtonX, &C::SetButtonX).Default(0);
    T.Property("ButtonY", &C::ButtonY, &C::SetButtonY).Default(0);
    T.Property("TextX", &C::TextX, &C::SetTextX).Default(0);
    T.Property("TextY", &C::TextY, &C::SetTextY).Default(0);
}

void TwwWinButtonIndents::Set(int& Field, int Value) {
    Field = Value;
    if (FControl) Changed(FControl);
}

void TwwWinButtonIndents::SetButtonX(int Value) { Set(FButtonX, Value); }
void TwwWinButtonIndents::SetButtonY(int Value) { Set(FButtonY, Value); }
void TwwWinButtonIndents::SetTextX(int Value) { Set(FTextX, Value); }
void TwwWinButtonIndents::SetTextY(int Value) { Set(FTextY, Value); }

void TwwWinButtonIndents::Changed(TWinControl* Control) { Control->Invalidate(); }

void TwwWinButtonIndents::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwWinButtonIndents*>(Source)) {
        SetButtonX(S->FButtonX);
        SetButtonY(S->FButtonY);
        SetTextX(S->FTextX);
        SetTextY(S->FTextY);
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TwwCustomRadioButton
// ---------------------------------------------------------------------------

TwwCustomRadioButton::TwwCustomRadioButton(TComponent* AOwner)
    : TRadioButton(AOwner), FFrame(std::make_unique<TwwEditFrame>(this)),
      FIndents(std::make_unique<TwwWinButtonIndents>(this)) {
    SetTabStop(false);
}

TwwCustomRadioButton::~TwwCustomRadioButton() = default;

void TwwRadioButton::DescribeProperties(TPropertyTable& T) {
    using C = TwwCustomRadioButton;
    TControl::PublishStandard(
        T, {"Action",      "Anchors",     "BiDiMode",   "Caption",        "Color",          "Constraints",
            "Ctl3D",       "DragCursor",  "DragMode",   "Enabled",        "Font",           "ParentBiDiMode",
            "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",
            "TabOrder",    "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnEnter",
            "OnExit",      "OnKeyDown",   "OnKeyPress", "OnKeyUp",        "OnMouseDown",    "OnMouseMove",
            "OnMouseUp",   "OnDblClick"});
    T.PropertyOf<C>(
         "Alignment", [](C& X) { return X.Alignment(); }, [](C& X, TLeftRight V) { X.SetAlignment(V); })
        .Default(taRightJustify);
    T.Property("AlwaysTransparent", &C::AlwaysTransparent, &C::SetAlwaysTransparent);
    T.PropertyOf<C>(
         "Checked", [](C& X) { return X.Checked(); }, [](C& X, bool V) { X.SetChecked(V); })
        .Default(false);
    T.Property("Frame", &C::Frame, &C::SetFrame);
    T.Property("GlyphImages", &C::GlyphImages, &C::SetGlyphImages);
    T.Property("Images", &C::Images, &C::SetImages);
    T.Property("Indents", &C::Indents, &C::SetIndents);
    T.Property("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect).Default(true);
    T.Property("ValueChecked", &C::ValueChecked, &C::SetValueChecked);
    T.Property("ValueUnchecked", &C::ValueUnchecked, &C::SetValueUnchecked);
    T.Property("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
    T.Event("OnMouseEnter", &C::OnMouseEnter);
    T.Event("OnMouseLeave", &C::OnMouseLeave);
}

bool TwwCustomRadioButton::IsTransparent() const { return FFrame->Transparent() && FFrame->IsEffective(); }

bool TwwCustomRadioButton::InGrid() const {
    return Parent() && Parent()->Parent() && ::IsClassNamed(Parent()->Parent(), "TCustomGrid");
}

void TwwCustomRadioButton::SetShowFocusRect(bool Value) {
    FShowFocusRect = Value;
    Invalidate();
}

void TwwCustomRadioButton::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TwwCustomRadioButton::SetGlyphImages(TCustomImageList* Value) {
    FGlyphImages = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TwwCustomRadioButton::SetWordWrap(bool Value) {
    FWordWrap = Value;
    Invalidate();
}

// The group, not its buttons, is the tab stop.
void TwwCustomRadioButton::SetChecked(bool Value) {
    TRadioButton::SetChecked(Value);
    if (Parent() && ::IsClassNamed(Parent(), "TwwCustomRadioGroup")) SetTabStop(false);
}

void TwwCustomRadioButton::Notification(TComponent* AComponent, TOperation Operation) {
    TRadioButton::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FGlyphImages) FGlyphImages = nullptr;
}

void TwwCustomRadioButton::CreateParams(TCreateParams& Params) {
    TRadioButton::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(0xF)) | BS_OWNERDRAW;
    Params.WindowClass.Style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
    if (IsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TwwCustomRadioButton::CreateWnd() {
    TRadioButton::CreateWnd();
    if (IsTransparent() && Parent()) ClearWindowStyleBit(Parent());
}

TCanvas* TwwCustomRadioButton::GetPaintCanvas() {
    if (!FPaintCanvas) {
        FPaintCanvas = std::make_unique<TControlCanvas>();
        FPaintCanvas->SetControl(this);
    }
    return FPaintCanvas.get();
}

void TwwCustomRadioButton::DrawFrame(HDC DC) {
    if (HandleAllocated() && FFrame->Enabled()) FFrame->PaintFrame(Focused(), FAlwaysTransparent, DC);
}

void TwwCustomRadioButton::PaintToDC(HDC DC) {
    GetPaintCanvas();
    FPaintCanvas->PaintThrough(DC, [this] { PaintControl(); });
    DrawFrame(DC);
}

void TwwCustomRadioButton::CNDrawItem(TMessage& Message) {
    auto* D = reinterpret_cast<TDrawItemStruct*>(Message.LParam);
    if (D) PaintToDC(D->hDC);
    Message.Result = 1;
}

void TwwCustomRadioButton::WMPaint(TMessage& Message) {
    if (FControlState.Contains(csPaintCopy) && Message.WParam) {
        GetPaintCanvas();
        FPaintCanvas->PaintThrough(reinterpret_cast<HDC>(Message.WParam), [this] { PaintControl(); });
        return;
    }
    TRadioButton::WMPaint(Message);
    DrawFrame(nullptr);
}

void TwwCustomRadioButton::WMEraseBkgnd(TMessage& Message) {
    if (!ComponentState().Contains(csDesigning) &&
        ((Parent() && (IsPaintingInInspector(Parent()) || IsPaintingInDBGrid(Parent()))) ||
         (IsTransparent() && !Focused()) || FAlwaysTransparent)) {
        Message.Result = 1;
        return;
    }
    TRadioButton::WMEraseBkgnd(Message);
}

void TwwCustomRadioButton::GetButtonRect(TRect& R) {
    int W = 13, H = 13;
    if (FImages && FImages->Count() > 0) {
        W = FImages->Width();
        H = FImages->Height();
    }
    int X = FIndents->ButtonX();
    if (FFrame->Enabled() && FFrame->FocusBorders().Contains(efLeftBorder)) X = std::max(X, 1);
    const int C = Alignment() == taRightJustify ? X + W / 2 : ClientWidth() - X - W / 2 - 2;
    const int M = Height() / 2;
    R = TRect(C - W / 2, M - H / 2 + FIndents->ButtonY(), C + W / 2 + 1, M + H / 2 + 1 + FIndents->ButtonY());
}

void TwwCustomRadioButton::GetTextRect(TRect& R) {
    TRect B;
    GetButtonRect(B);
    if (Alignment() == taRightJustify) R = TRect(B.Right + 2 + FIndents->TextX(), 0, Width(), Height());
    else R = TRect(FIndents->TextX() + 2, 0, B.Left, Height());
    if (FGlyphImages) R.Left += FGlyphImages->Width() + 2;
    TCanvas* C = GetPaintCanvas();
    if (!C->HandleAllocated()) {
        TBitmap Measure;
        Measure.SetSize(1, 1);
        Measure.Canvas()->Font()->Assign(Font());
        Measure.Canvas()->DrawText(Caption(), R, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0u));
    } else {
        C->Font()->Assign(Font());
        C->DrawText(Caption(), R, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0u));
    }
    const int TH = R.Height();
    R.Top = (ClientHeight() - TH) / 2 + FIndents->TextY();
    R.Bottom = R.Top + TH;
}

void TwwCustomRadioButton::GetGlyphRect(TRect& R) {
    GetTextRect(R);
    if (!FGlyphImages || GetGlyphIndex() < 0 || GetGlyphIndex() >= FGlyphImages->Count()) return;
    R.Right = R.Left;
    R.Left = R.Right - FGlyphImages->Width() - 2;
    R.Top = (ClientHeight() - FGlyphImages->Height()) / 2;
    R.Bottom = R.Top + FGlyphImages->Height();
}

void TwwCustomRadioButton::PaintControl() {
    TCanvas* C = GetPaintCanvas();
    const bool Copy = FControlState.Contains(csPaintCopy);
    const bool Grid = InGrid();
    const bool Focus = Focused();
    if (!(IsTransparent() && (FAlwaysTransparent || !Focus)) && !Copy) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        if (GetBackgroundColor() != clNone) C->Brush()->SetColor(GetBackgroundColor());
        else if (!IsTransparent() && !Focus && FFrame->NonFocusColor() != clNone)
            C->Brush()->SetColor(FFrame->NonFocusColor());
        C->FillRect(ClientRect());
    }
    // The glyph.
    TRect R;
    GetButtonRect(R);
    uint32_t State = DFCS_BUTTONRADIO;
    if (GetPaintChecked()) State |= DFCS_CHECKED;
    bool Pushed = false;
    if (!Copy && Focus) {
        TPoint P;
        GetCursorPos(P);
        P = ScreenToClient(P);
        TRect Near(R.Left - 3, R.Top - 3, R.Right + 3, R.Bottom + 3);
        bool Over = Grid ? PtInRect(Near, P) : PtInRect(ClientRect(), P);
        Pushed = (GetKeyState(VK_LBUTTON) < 0 && Over) || (FSpacePressed && GetKeyState(VK_SPACE) < 0);
    }
    if (Pushed) State |= DFCS_PUSHED;
    const int Needed = GetPaintChecked() ? 1 : 0;
    if (FImages && FImages->Count() > Needed) {
        FImages->Draw(C, R.Left, R.Top, Needed);
    } else {
        if (!Enabled()) State |= DFCS_INACTIVE;
        C->DrawFrameControl(R, DFC_BUTTON, State);
    }
    // The picture beside the caption.
    if (FGlyphImages && GetGlyphIndex() >= 0 && GetGlyphIndex() < FGlyphImages->Count()) {
        TRect G;
        GetGlyphRect(G);
        FGlyphImages->Draw(C, G.Left, G.Top, GetGlyphIndex());
    }
    // The caption.
    C->Font()->Assign(Font());
    TRect T;
    GetTextRect(T);
    const bool HasCaption = !Caption().empty() && GetShowText();
    if (Focus && FShowFocusRect && (HasCaption || FGlyphImages) && !Copy) {
        TRect F;
        if (HasCaption)
            F = TRect(T.Left - 2, T.Top - 2, std::min(T.Right + 2, T.Left + C->TextWidth(Caption()) + 2),
                      T.Bottom + 2);
        else GetGlyphRect(F);
        C->Brush()->SetColor(Color());
        C->FrameRect(F);
        C->SetTextColor(clBlack);
        C->SetBkColor(clWhite);
        C->DrawFocusRect(F);
    }
    if (!HasCaption) return;
    int Old = C->SetBkMode(TRANSPARENT);
    T.Bottom += 2;
    TColor Text = Font()->Color();
    if (Grid && Parent()->Parent()->Focused() && !Copy) Text = clHighlightText;
    if (GetFontColor() != clNone) Text = GetFontColor();
    if (!Focus) {
        if (IsTransparent() && FFrame->NonFocusTransparentFontColor() != clNone)
            Text = FFrame->NonFocusTransparentFontColor();
        else if (FFrame->Enabled() && FFrame->NonFocusFontColor() != clNone)
            Text = FFrame->NonFocusFontColor();
    }
    const uint32_t Format = FWordWrap ? DT_WORDBREAK : 0u;
    if (!Enabled() || (Parent() && !Parent()->Enabled())) {
        TRect S(T.Left + 1, T.Top + 1, T.Right + 1, T.Bottom + 1);
        C->SetTextColor(clBtnHighlight);
        C->DrawText(Caption(), S, Format);
        Text = clGrayText;
    }
    C->SetTextColor(Text);
    C->DrawText(Caption(), T, Format);
    C->SetBkMode(Old);
}

void TwwCustomRadioButton::InvalidateParts(bool Glyph, bool Caption, bool Ring) {
    if (!HandleAllocated() || !Parent() || !Parent()->Parent() || !Parent()->Parent()->HandleAllocated())
        return;
    TWinControl* Under = Parent()->Parent();
    auto Map = [&](TRect R) {
        TPoint A = ClientToScreen(TPoint(R.Left, R.Top)), B = ClientToScreen(TPoint(R.Right, R.Bottom));
        A = Under->ScreenToClient(A);
        B = Under->ScreenToClient(B);
        return TRect(A.x, A.y, B.x, B.y);
    };
    if (Caption) {
        TRect T;
        GetTextRect(T);
        T = Map(TRect(T.Left - 2, T.Top - 2, T.Right + 2, T.Bottom + 2));
        InvalidateRect(Under->Handle(), &T, false);
    }
    if (Glyph && FImages) {
        TRect B;
        GetButtonRect(B);
        B = Map(B);
        InvalidateRect(Under->Handle(), &B, false);
    }
    if (Ring) {
        TRect Whole = Map(ClientRect());
        TRect Inside(Whole.Left + 2, Whole.Top + 2, Whole.Right - 2, Whole.Bottom - 2);
        InvalidateRect(Under->Handle(), &Whole, false);
        ValidateRect(Under->Handle(), &Inside);
    }
}

void TwwCustomRadioButton::WndProc(TMessage& Message) {
    if (Message.Msg == BM_SETCHECK) {
        TRadioButton::WndProc(Message);
        if (IsTransparent() && Parent()) {
            if (ParentHasTransparentStyle(this)) InvalidateParts(true, Focused() && FShowFocusRect, false);
            else InvalidateUnderControl(this, true);
        }
        Invalidate();
        return;
    }
    TRadioButton::WndProc(Message);
}

void TwwCustomRadioButton::WMLButtonDown(TMessage& Message) {
    SetTabStop(false);
    if (Parent() && ::IsClassNamed(Parent(), "TCustomGrid")) {
        TRect B;
        GetButtonRect(B);
        TRect Near(B.Left - 3, B.Top - 3, B.Right + 3, B.Bottom + 3);
        TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
                 static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
        if (!PtInRect(Near, P)) {
            if (CanFocus()) SetFocus();
            return;
        }
    }
    TRadioButton::WMLButtonDown(Message);
}

void TwwCustomRadioButton::WMKillFocus(TMessage& Message) {
    TRadioButton::WMKillFocus(Message);
    if (IsTransparent()) {
        if (ParentHasTransparentStyle(this)) InvalidateParts(true, FShowFocusRect, FFrame->IsEffective());
        else InvalidateUnderControl(this, true);
    }
    Invalidate();
}

void TwwCustomRadioButton::WMSetFocus(TMessage& Message) {
    TRadioButton::WMSetFocus(Message);
    FSpacePressed = false;
    if (IsTransparent() && FAlwaysTransparent) InvalidateUnderControl(this, false);
    Invalidate();
}

void TwwCustomRadioButton::CMTextChanged(TMessage& Message) {
    if (IsTransparent() && (!Focused() || FAlwaysTransparent)) FFrame->RefreshBackground(false, true, false);
    TRadioButton::CMTextChanged(Message);
}

void TwwCustomRadioButton::CMMouseEnter(TMessage& Message) {
    TRadioButton::CMMouseEnter(Message);
    DoMouseEnter();
}

void TwwCustomRadioButton::CMMouseLeave(TMessage& Message) {
    TPoint P;
    GetCursorPos(P);
    if (PtInRect(ClientRect(), ScreenToClient(P))) return;
    TRadioButton::CMMouseLeave(Message);
    DoMouseLeave();
}

void TwwCustomRadioButton::DoMouseEnter() {
    try {
        if (Assigned(OnMouseEnter)) OnMouseEnter(this);
    } catch (...) {
        return;
    }
    DrawHoverFrameEdges(this, FFrame.get(), true);
}

void TwwCustomRadioButton::DoMouseLeave() {
    try {
        if (Assigned(OnMouseLeave)) OnMouseLeave(this);
    } catch (...) {
        return;
    }
    if (FFrame->IsEffective() && FFrame->MouseEnterSameAsFocus() && !Focused()) {
        FFrame->RefreshBackground(true, false, true);
        Invalidate();
        if (FFrame->Transparent()) InvalidateParts(true, false, true);
    }
}

void TwwCustomRadioButton::CNKeyDown(TMessage& Message) {
    if (!ComponentState().Contains(csDesigning) && Message.CharCode() == VK_SPACE) FSpacePressed = true;
    TRadioButton::CNKeyDown(Message);
}

void TwwCustomRadioButton::KeyUp(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE) FSpacePressed = false;
    TRadioButton::KeyUp(Key, Shift);
}
