#include "platform/ui/Buttons.h"

#include <algorithm>

#include "platform/ui/Forms.h"
#include "platform/win/StdWindows.h"

ZELMOR_IMPLEMENT_ENUM(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")
ZELMOR_IMPLEMENT_ENUM(TButtonStyle, "bsAutoDetect", "bsWin31", "bsNew")
ZELMOR_IMPLEMENT_ENUM(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                      "bkAbort", "bkRetry", "bkIgnore", "bkAll")
ZELMOR_IMPLEMENT_COMPONENT(TBitBtn, TButton)
ZELMOR_IMPLEMENT_COMPONENT(TSpeedButton, TGraphicControl)

// ---------------------------------------------------------------------------
// The glyph and the layout
// ---------------------------------------------------------------------------

TButtonLayoutResult CalcButtonLayout(TCanvas& Canvas, const TRect& Client, TPoint Offset,
                                     const AnsiString& Caption, TSize GlyphSize, TButtonLayout Layout,
                                     int Margin, int Spacing) {
    TPoint ClientSize(Client.Width(), Client.Height());
    TRect TextBounds;
    TPoint TextSize(0, 0);
    if (!Caption.empty()) {
        TextBounds = TRect(0, 0, ClientSize.x, 0);
        Canvas.DrawText(Caption, TextBounds, DT_CALCRECT | DT_SINGLELINE);
        TextSize = TPoint(TextBounds.Width(), TextBounds.Height());
    }
    TPoint GlyphPos, TextPos;
    bool Across = Layout == blGlyphLeft || Layout == blGlyphRight;
    // Side by side both are centred vertically; one above the other, horizontally.
    if (Across) {
        GlyphPos.y = (ClientSize.y - GlyphSize.cy + 1) / 2;
        TextPos.y = (ClientSize.y - TextSize.y + 1) / 2;
    } else {
        GlyphPos.x = (ClientSize.x - GlyphSize.cx + 1) / 2;
        TextPos.x = (ClientSize.x - TextSize.x + 1) / 2;
    }
    if (TextSize.x == 0 || GlyphSize.cx == 0) Spacing = 0;
    int Room = Across ? ClientSize.x : ClientSize.y;
    int Glyph = Across ? GlyphSize.cx : GlyphSize.cy;
    int Text = Across ? TextSize.x : TextSize.y;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (Room - (Glyph + Text)) / 3;
            Spacing = Margin;
        } else {
            Margin = (Room - (Glyph + Spacing + Text) + 1) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (Room - (Margin + Glyph) - Text) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        GlyphPos.x = Margin;
        TextPos.x = GlyphPos.x + GlyphSize.cx + Spacing;
        break;
    case blGlyphRight:
        GlyphPos.x = ClientSize.x - Margin - GlyphSize.cx;
        TextPos.x = GlyphPos.x - Spacing - TextSize.x;
        break;
    case blGlyphTop:
        GlyphPos.y = Margin;
        TextPos.y = GlyphPos.y + GlyphSize.cy + Spacing;
        break;
    case blGlyphBottom:
        GlyphPos.y = ClientSize.y - Margin - GlyphSize.cy;
        TextPos.y = GlyphPos.y - Spacing - TextSize.y;
        break;
    }
    TButtonLayoutResult R;
    R.GlyphPos = TPoint(GlyphPos.x + Client.Left + Offset.x, GlyphPos.y + Client.Top + Offset.y);
    R.TextBounds = TextBounds;
    OffsetRect(R.TextBounds, TextPos.x + Client.Left + Offset.x, TextPos.y + Client.Top + Offset.y);
    return R;
}

// The disabled look of the picture in the top-left Size of Source, drawn at
// At: an etched copy of its dark pixels, white one pixel down and right,
// then grey.
static void EtchGlyph(TBitmap& Source, TSize Size, TCanvas& Canvas, TPoint At) {
    TColor Key = Source.TransparentColor();
    for (TColor Color : {TColor(clBtnHighlight), TColor(clBtnShadow)}) {
        int D = Color == clBtnHighlight ? 1 : 0;
        for (int Y = 0; Y < Size.cy; ++Y)
            for (int X = 0; X < Size.cx; ++X) {
                TColor P = Source.Canvas()->Pixel(X, Y);
                if (ColorToRGB(P) == ColorToRGB(Key)) continue;
                TColorRef C = ColorToRGB(P);
                int Luma = (GetRValue(C) * 30 + GetGValue(C) * 59 + GetBValue(C) * 11) / 100;
                if (Luma >= 0xC0) continue;
                Canvas.SetPixel(At.x + X + D, At.y + Y + D, Color);
            }
    }
}

// The glyph bitmap of a button with its pictures for the four states.
class TButtonGlyph {
public:
    TBitmap Original;
    int NumGlyphs = 1;
    TNotifyEvent OnChange;

    TButtonGlyph() {
        Original.OnChange = [this](TObject*) { GlyphChanged(); };
    }
    TSize Size() const {
        if (Original.Empty()) return TSize{0, 0};
        return TSize{Original.Width() / std::max(1, NumGlyphs), Original.Height()};
    }
    void SetNumGlyphs(int Value) {
        Value = std::clamp(Value, 1, 4);
        if (Value == NumGlyphs) return;
        NumGlyphs = Value;
        if (Assigned(OnChange)) OnChange(nullptr);
    }
    void Draw(TCanvas& Canvas, const TRect& Client, TPoint Offset, const AnsiString& Caption,
              TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent) {
        (void)Transparent;
        TButtonLayoutResult L =
            CalcButtonLayout(Canvas, Client, Offset, Caption, Size(), Layout, Margin, Spacing);
        DrawGlyph(Canvas, L.GlyphPos, State);
        DrawCaption(Canvas, Caption, L.TextBounds, State);
    }

private:
    void GlyphChanged() {
        // A strip of square pictures tells how many it holds.
        if (!Original.Empty() && Original.Height() > 0 && Original.Width() % Original.Height() == 0) {
            int N = Original.Width() / Original.Height();
            if (N > 4) N = 1;
            NumGlyphs = N;
        }
        if (Assigned(OnChange)) OnChange(nullptr);
    }
    void DrawGlyph(TCanvas& Canvas, TPoint At, TButtonState State) {
        TSize S = Size();
        if (S.cx == 0 || S.cy == 0) return;
        int Index = static_cast<int>(State);
        if (Index >= NumGlyphs) Index = 0;
        TColor Key = Original.TransparentColor();
        if (State == bsDisabled && NumGlyphs < 2) {
            EtchGlyph(Original, S, Canvas, At);
            return;
        }
        Canvas.TransparentBlt(At.x, At.y, S.cx, S.cy, Original.Canvas(), Index * S.cx, 0, S.cx, S.cy, Key);
    }
    static void DrawCaption(TCanvas& Canvas, const AnsiString& Caption, TRect R, TButtonState State) {
        if (Caption.empty()) return;
        Canvas.SetBkMode(TRANSPARENT);
        uint32_t Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (State == bsDisabled) {
            TRect S = R;
            OffsetRect(S, 1, 1);
            Canvas.SetTextColor(clBtnHighlight);
            Canvas.DrawText(Caption, S, Flags);
            Canvas.SetTextColor(clBtnShadow);
            Canvas.DrawText(Caption, R, Flags);
            return;
        }
        Canvas.SetTextColor(Canvas.Font()->Color());
        Canvas.DrawText(Caption, R, Flags);
    }
};

namespace {

// The pictures of the standard kinds, drawn here on an olive ground (the
// transparent colour): the up picture and, beside it, the disabled one, as
// the kinds' bitmaps hold them, so that a button told it has two glyphs
// shows the whole picture.
void DrawKindGlyph(TBitBtnKind Kind, TBitmap& B) {
    B.SetSize(18, 18);
    TCanvas* C = B.Canvas();
    C->Brush()->SetColor(clOlive);
    C->FillRect(TRect(0, 0, 18, 18));
    C->Pen()->SetWidth(2);
    auto Line = [&](TColor Color, std::initializer_list<TPoint> Points) {
        C->Pen()->SetColor(Color);
        std::vector<TPoint> P(Points);
        C->Polyline(P);
    };
    auto Letter = [&](TColor Color, const char* Text) {
        C->Font()->SetName("Arial");
        C->Font()->SetHeight(-14);
        C->Font()->SetStyle({fsBold});
        C->Font()->SetColor(Color);
        C->SetTextColor(Color);
        C->SetBkMode(TRANSPARENT);
        TRect R(0, 0, 18, 18);
        C->DrawText(Text, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    switch (Kind) {
    case bkOK:
    case bkYes: Line(clGreen, {TPoint(3, 9), TPoint(7, 13), TPoint(15, 4)}); break;
    case bkAll:
        Line(clGreen, {TPoint(1, 9), TPoint(4, 12), TPoint(10, 4)});
        Line(clGreen, {TPoint(7, 9), TPoint(10, 12), TPoint(16, 4)});
        break;
    case bkCancel:
    case bkNo:
        Line(clRed, {TPoint(4, 4), TPoint(14, 14)});
        Line(clRed, {TPoint(14, 4), TPoint(4, 14)});
        break;
    case bkAbort:
        C->Pen()->SetColor(clRed);
        C->Brush()->SetColor(clRed);
        C->Ellipse(3, 3, 15, 15);
        Line(clWhite, {TPoint(6, 9), TPoint(12, 9)});
        break;
    case bkHelp: Letter(clNavy, "?"); break;
    case bkIgnore: Letter(clNavy, "!"); break;
    case bkRetry:
        C->Pen()->SetColor(clGreen);
        C->Arc(3, 3, 15, 15, 15, 9, 9, 3);
        Line(clGreen, {TPoint(9, 1), TPoint(9, 5)});
        break;
    case bkClose:
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(clBlack);
        C->Brush()->SetColor(clTeal);
        C->Rectangle(5, 2, 14, 16);
        Line(clYellow, {TPoint(11, 8), TPoint(11, 10)});
        break;
    case bkCustom: break;
    }
    C->Pen()->SetWidth(1);
    // Redraw the corner so the transparent colour stays the bottom-left pixel.
    C->SetPixel(0, 17, clOlive);
    B.SetWidth(36);
    C->Brush()->SetColor(clOlive);
    C->FillRect(TRect(18, 0, 36, 18));
    EtchGlyph(B, TSize{18, 18}, *C, TPoint(18, 0));
    C->SetPixel(18, 17, clOlive);
}

struct TKindDefaults {
    const char* Caption;
    TModalResult Result;
    bool Default;
    bool Cancel;
};

TKindDefaults DefaultsOf(TBitBtnKind Kind) {
    switch (Kind) {
    case bkOK: return {"OK", mrOk, true, false};
    case bkCancel: return {"Cancel", mrCancel, false, true};
    case bkHelp: return {"&Help", mrNone, false, false};
    case bkYes: return {"&Yes", mrYes, true, false};
    case bkNo: return {"&No", mrNo, false, true};
    case bkClose: return {"&Close", mrNone, false, false};
    case bkAbort: return {"Abort", mrAbort, false, false};
    case bkRetry: return {"&Retry", mrRetry, false, false};
    case bkIgnore: return {"&Ignore", mrIgnore, false, false};
    case bkAll: return {"&All", mrAll, false, false};
    case bkCustom: break;
    }
    return {"", mrNone, false, false};
}

}  // namespace

// ---------------------------------------------------------------------------
// TBitBtn
// ---------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TBitBtn::~TBitBtn() { delete FCanvas; }

void TBitBtn::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style |= BS_OWNERDRAW;
}

// The owner-drawn button keeps its style; the default look is drawn.
void TBitBtn::SetButtonStyle(bool ADefault) {
    if (ADefault == FIsFocused) return;
    FIsFocused = ADefault;
    Invalidate();
}

void TBitBtn::Click() {
    switch (FKind) {
    case bkClose:
        if (TCustomForm* Form = GetParentForm(this)) {
            Form->Close();
            return;
        }
        break;
    case bkHelp: {
        TControl* C = this;
        while (C && C->HelpContext() == 0) C = C->Parent();
        if (C && Application) {
            Application->HelpContext(C->HelpContext());
            return;
        }
        break;
    }
    default: break;
    }
    TButton::Click();
}

TBitmap* TBitBtn::Glyph() const { return &FGlyph->Original; }

void TBitBtn::SetGlyph(TBitmap* Value) {
    FGlyph->Original.Assign(Value);
    Invalidate();
}

int TBitBtn::NumGlyphs() const { return FGlyph->NumGlyphs; }

void TBitBtn::SetNumGlyphs(int Value) { FGlyph->SetNumGlyphs(Value); }

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (Value == FKind) return;
    FKind = Value;
    if (Value == bkCustom) {
        Invalidate();
        return;
    }
    TKindDefaults D = DefaultsOf(Value);
    SetDefault(D.Default);
    SetCancel(D.Cancel);
    SetModalResult(D.Result);
    SetCaption(D.Caption);
    TBitmap B;
    DrawKindGlyph(Value, B);
    SetGlyph(&B);
    FGlyph->SetNumGlyphs(2);
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::DrawItem(const TDrawItemStruct& Item) {
    FCanvas->SetHandle(Item.hDC);
    TRect R = ClientRect();
    bool IsDown = Item.itemState & ODS_SELECTED;
    bool HasFocus = Item.itemState & ODS_FOCUS;
    TButtonState State = !Enabled() ? bsDisabled : IsDown ? bsDown : bsUp;
    try {
        if (FIsFocused || HasFocus) {
            // The button that Return presses wears a dark frame.
            FCanvas->Pen()->SetColor(clWindowFrame);
            FCanvas->Pen()->SetWidth(1);
            FCanvas->Brush()->SetStyle(bsClear);
            FCanvas->Rectangle(R);
            InflateRect(R, -1, -1);
        }
        if (IsDown) {
            FCanvas->Pen()->SetColor(clBtnShadow);
            FCanvas->Brush()->SetColor(clBtnFace);
            FCanvas->Rectangle(R);
            InflateRect(R, -1, -1);
        } else {
            FCanvas->DrawFrameControl(R, DFC_BUTTON,
                                      DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Enabled() ? 0u : DFCS_INACTIVE));
        }
        if (FIsFocused) {
            R = ClientRect();
            InflateRect(R, -1, -1);
        }
        FCanvas->Font()->Assign(Font());
        if (IsDown) OffsetRect(R, 1, 1);
        FGlyph->Draw(*FCanvas, R, TPoint(0, 0), Caption(), FLayout, FMargin, FSpacing, State, false);
        if (FIsFocused && HasFocus) {
            R = ClientRect();
            InflateRect(R, -4, -4);
            FCanvas->DrawFocusRect(R);
        }
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

void TBitBtn::CNDrawItem(TMessage& Message) {
    if (const TDrawItemStruct* D = LParamToPointer<const TDrawItemStruct>(Message.LParam)) DrawItem(*D);
    Message.Result = 1;
}

void TBitBtn::CNMeasureItem(TMessage& Message) {
    if (TMeasureItemStruct* M = LParamToPointer<TMeasureItemStruct>(Message.LParam)) {
        M->itemWidth = static_cast<UINT>(Width());
        M->itemHeight = static_cast<UINT>(Height());
    }
    Message.Result = 1;
}

void TBitBtn::CMFontChanged(TMessage& Message) {
    TButton::CMFontChanged(Message);
    Invalidate();
}

void TBitBtn::CMEnabledChanged(TMessage& Message) {
    TButton::CMEnabledChanged(Message);
    Invalidate();
}

void TBitBtn::CMTextChanged(TMessage& Message) {
    TButton::CMTextChanged(Message);
    Invalidate();
}

// A quick second click is a click again, not a double click.
void TBitBtn::WMLButtonDblClk(TMessage& Message) { Perform(WM_LBUTTONDOWN, Message.WParam, Message.LParam); }

void TBitBtn::DescribeProperties(TPropertyTable& T) {
    using B = TBitBtn;
    T.Property("Kind", &B::Kind, &B::SetKind).Default(bkCustom);
    TButton::DescribeProperties(T);
    T.Property("Glyph", &B::Glyph, &B::SetGlyph);
    T.Property("Layout", &B::Layout, &B::SetLayout).Default(blGlyphLeft);
    T.Property("Margin", &B::Margin, &B::SetMargin).Default(-1);
    T.Property("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
    T.Property("Spacing", &B::Spacing, &B::SetSpacing).Default(4);
    T.Property("Style", &B::Style, &B::SetStyle).Default(bsAutoDetect);
}

// ---------------------------------------------------------------------------
// TSpeedButton
// ---------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    FControlStyle = {csCaptureMouse, csDoubleClicks};
    SetBounds(FLeft, FTop, 23, 22);
    SetColor(clBtnFace);
    SetParentFont(true);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::Paint() {
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    TRect R(0, 0, Width(), Height());
    bool Pressed = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        C->DrawFrameControl(R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pressed ? DFCS_PUSHED : 0u));
    } else {
        if (Pressed || (FMouseInControl && FState != bsDisabled)) {
            C->DrawEdge(R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                        (FTransparent ? 0u : uint32_t(BF_MIDDLE)) | BF_RECT);
        } else if (!FTransparent) {
            C->Brush()->SetColor(Color());
            C->FillRect(R);
        }
        InflateRect(R, -1, -1);
    }
    TPoint Offset(0, 0);
    if (Pressed) {
        if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
            // A button held down shows a dither of face and highlight.
            static const uint16_t Rows[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
            TSurface Pattern = TBrush::MonoPattern8(Rows);
            TBrush Dither;
            Dither.SetPattern(Pattern);
            C->SetTextColor(clBtnFace);
            C->SetBkColor(clBtnHighlight);
            C->FillRect(R, Dither);
        }
        Offset = TPoint(1, 1);
    }
    C->Font()->Assign(Font());
    FGlyph->Draw(*C, R, Offset, Caption(), FLayout, FMargin, FSpacing, FState, FTransparent);
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !FParent) return;
    TMessage M;
    M.Msg = CM_BUTTONPRESSED;
    M.WParam = static_cast<WPARAM>(FGroupIndex);
    M.LParam = PointerToLParam(this);
    FParent->Broadcast(M);
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    // A group that may not be all up keeps its button down.
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
        Repaint();
    }
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

TBitmap* TSpeedButton::Glyph() const { return &FGlyph->Original; }

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Original.Assign(Value);
    Invalidate();
}

int TSpeedButton::NumGlyphs() const { return FGlyph->NumGlyphs; }

void TSpeedButton::SetNumGlyphs(int Value) { FGlyph->SetNumGlyphs(Value); }

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    bool Inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    TButtonState New = Inside ? (FDown ? bsExclusive : bsDown) : (FDown ? bsExclusive : bsUp);
    if (New != FState) {
        FState = New;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    bool DoClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (DoClick) {
        SetDown(!FDown);
        if (FDown) Repaint();
    } else {
        if (FDown) FState = bsExclusive;
        Repaint();
    }
    if (DoClick) Click();
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
    if (static_cast<int>(Message.WParam) != FGroupIndex) return;
    auto* Sender = LParamToPointer<TSpeedButton>(Message.LParam);
    if (!Sender || Sender == this) return;
    if (Sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = Sender->AllowAllUp();
}

void TSpeedButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && Enabled() && Visible() && FParent && FParent->Showing()) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        if (FFlat) Invalidate();
    }
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (FMouseInControl && Enabled() && !FDragging) {
        FMouseInControl = false;
        if (FFlat) Invalidate();
    }
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::CMEnabledChanged(Message);
    if (!Enabled()) FMouseInControl = false;
    Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage&) { Invalidate(); }

void TSpeedButton::DescribeProperties(TPropertyTable& T) {
    using S = TSpeedButton;
    TControl::PublishStandard(T, {"Anchors", "BiDiMode", "Caption", "Constraints", "Enabled", "Font",
                                  "ParentBiDiMode", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
                                  "Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove",
                                  "OnMouseUp"});
    T.Property("AllowAllUp", &S::AllowAllUp, &S::SetAllowAllUp).Default(false);
    T.Property("GroupIndex", &S::GroupIndex, &S::SetGroupIndex).Default(0);
    T.Property("Down", &S::Down, &S::SetDown).Default(false);
    T.Property("Flat", &S::Flat, &S::SetFlat).Default(false);
    T.Property("Glyph", &S::Glyph, &S::SetGlyph);
    T.Property("Layout", &S::Layout, &S::SetLayout).Default(blGlyphLeft);
    T.Property("Margin", &S::Margin, &S::SetMargin).Default(-1);
    T.Property("NumGlyphs", &S::NumGlyphs, &S::SetNumGlyphs).Default(1);
    T.Property("Spacing", &S::Spacing, &S::SetSpacing).Default(4);
    T.Property("Transparent", &S::Transparent, &S::SetTransparent).Default(true);
}

void RegisterButtonControls() {
    RegisterClasses({&TBitBtn::StaticClassInfo(), &TSpeedButton::StaticClassInfo()});
}
