#include "buttons/fcText.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "buttons/fcHelpers.h"
#include "platform/classes/Properties.h"

ZELMOR_IMPLEMENT_ENUM(TfcTextStyle, "fclsDefault", "fclsLowered", "fclsRaised", "fclsOutline")
ZELMOR_IMPLEMENT_ENUM(TfcOrientation, "fcTopLeft", "fcTopRight", "fcBottomLeft", "fcBottomRight", "fcTop",
                      "fcRight", "fcLeft", "fcBottom")
ZELMOR_IMPLEMENT_ENUM(TfcVAlignment, "vaTop", "vaVCenter", "vaBottom")
ZELMOR_IMPLEMENT_ENUM(TfcTextOption, "toShowAccel", "toShowEllipsis")
ZELMOR_IMPLEMENT_CLASS(TfcShadowEffects, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcExtrudeEffects, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcDisabledColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcText, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcCaptionText, TfcText)

TPoint fcOrientationVector(TfcOrientation Orientation) {
    static const TPoint Vectors[8] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}, {0, 1}, {-1, 0}, {1, 0}, {0, -1}};
    return Vectors[Orientation];
}

int fcRoundDown(double X) { return int(std::nearbyint(X - 0.4999)); }

// --- shadow ---

void TfcShadowEffects::DescribeProperties(TPropertyTable& T) {
    using S = TfcShadowEffects;
    T.Property("Color", &S::Color, &S::SetColor).OfType(ColorTypeInfo()).Default(clBtnShadow);
    T.Property("Enabled", &S::Enabled, &S::SetEnabled).Default(false);
    T.Property("XOffset", &S::XOffset, &S::SetXOffset).Default(10);
    T.Property("YOffset", &S::YOffset, &S::SetYOffset).Default(10);
}

void TfcShadowEffects::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FOwner->Changed();
}

void TfcShadowEffects::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    FOwner->AdjustBounds();
    FOwner->Changed();
}

void TfcShadowEffects::SetXOffset(int Value) {
    if (FXOffset == Value) return;
    FXOffset = Value;
    FOwner->AdjustBounds();
    FOwner->Changed();
}

void TfcShadowEffects::SetYOffset(int Value) {
    if (FYOffset == Value) return;
    FYOffset = Value;
    FOwner->AdjustBounds();
    FOwner->Changed();
}

TPoint TfcShadowEffects::GetOffset() const {
    if (!FEnabled) return TPoint(0, 0);
    TPoint R(FXOffset, FYOffset);
    TfcExtrudeEffects* Extrude = FOwner->ExtrudeEffects();
    if (Extrude->Enabled()) {
        TPoint V = fcOrientationVector(Extrude->Orientation());
        if ((V.x >= 0) != (R.x > 0)) R.x = 0;
        if ((V.y >= 0) != (R.y > 0)) R.y = 0;
    }
    return R;
}

void TfcShadowEffects::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcShadowEffects*>(Dest);
    if (!D) throw EInvalidCast("Invalid class typecast");
    D->SetColor(FColor);
    D->SetEnabled(FEnabled);
    D->SetXOffset(FXOffset);
    D->SetYOffset(FYOffset);
}

// --- extrusion ---

void TfcExtrudeEffects::DescribeProperties(TPropertyTable& T) {
    using E = TfcExtrudeEffects;
    T.Property("Depth", &E::Depth, &E::SetDepth).Default(10);
    T.Property("Enabled", &E::Enabled, &E::SetEnabled).Default(false);
    T.Property("FarColor", &E::FarColor, &E::SetFarColor).OfType(ColorTypeInfo()).Default(clBlack);
    T.Property("NearColor", &E::NearColor, &E::SetNearColor).OfType(ColorTypeInfo()).Default(clBlack);
    T.Property("Orientation", &E::Orientation, &E::SetOrientation).Default(fcBottomRight);
    T.Property("Striated", &E::Striated, &E::SetStriated).Default(false);
}

void TfcExtrudeEffects::SetDepth(int Value) {
    if (FDepth == Value) return;
    FDepth = Value;
    FOwner->AdjustBounds();
    FOwner->Changed();
}

void TfcExtrudeEffects::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    FOwner->AdjustBounds();
    FOwner->Changed();
}

void TfcExtrudeEffects::SetOrientation(TfcOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    FOwner->AdjustBounds();
    FOwner->Changed();
}

void TfcExtrudeEffects::SetFarColor(TColor Value) {
    if (FFarColor == Value) return;
    FFarColor = Value;
    FOwner->Changed();
}

void TfcExtrudeEffects::SetNearColor(TColor Value) {
    if (FNearColor == Value) return;
    FNearColor = Value;
    FOwner->Changed();
}

void TfcExtrudeEffects::SetStriated(bool Value) {
    if (FStriated == Value) return;
    FStriated = Value;
    FOwner->Changed();
}

TPoint TfcExtrudeEffects::GetOffset() const {
    if (!FEnabled) return TPoint(0, 0);
    TPoint V = fcOrientationVector(FOrientation);
    return TPoint(FDepth * std::abs(V.x), FDepth * std::abs(V.y));
}

TPoint TfcExtrudeEffects::GetSquareOffset() const {
    if (!FEnabled) return TPoint(0, 0);
    return TPoint(FDepth, FDepth);
}

void TfcExtrudeEffects::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcExtrudeEffects*>(Dest);
    if (!D) throw EInvalidCast("Invalid class typecast");
    D->SetDepth(FDepth);
    D->SetEnabled(FEnabled);
    D->SetFarColor(FFarColor);
    D->SetNearColor(FNearColor);
    D->SetOrientation(FOrientation);
    D->SetStriated(FStriated);
}

// --- disabled colours ---

void TfcDisabledColors::DescribeProperties(TPropertyTable& T) {
    using D = TfcDisabledColors;
    T.Property("HighlightColor", &D::HighlightColor, &D::SetHighlightColor)
        .OfType(ColorTypeInfo())
        .Default(clBtnHighlight);
    T.Property("ShadeColor", &D::ShadeColor, &D::SetShadeColor).OfType(ColorTypeInfo()).Default(clBtnShadow);
}

void TfcDisabledColors::SetHighlightColor(TColor Value) {
    if (FHighlightColor == Value) return;
    FHighlightColor = Value;
    FOwner->Changed();
}

void TfcDisabledColors::SetShadeColor(TColor Value) {
    if (FShadeColor == Value) return;
    FShadeColor = Value;
    FOwner->Changed();
}

// --- the text ---

// The rotated font lives on the target canvas for one styled draw or one
// measurement; whatever happens, the canvas gets its own font back.
class TfcText::TFontScope {
public:
    explicit TFontScope(TfcText& Text) : FCanvas(Text.TargetCanvas) {
        if (!FCanvas) return;
        FSaved.Assign(FCanvas->Font());
        TFont Rotated;
        Rotated.SetLogFont(Text.GetLogFont());
        if (Text.OwnerFont) Rotated.SetColor(Text.OwnerFont->Color());
        FCanvas->Font()->Assign(&Rotated);
    }
    ~TFontScope() {
        if (FCanvas) FCanvas->Font()->Assign(&FSaved);
    }
    TFontScope(const TFontScope&) = delete;
    TFontScope& operator=(const TFontScope&) = delete;

private:
    TCanvas* FCanvas;
    TFont FSaved;
};

TfcText::TfcText(TGetEnabled GetEnabled, TCallback AdjustBounds, TCallback Invalidate, TFont* Font,
                 TCanvas* Canvas)
    : TargetCanvas(Canvas), OwnerFont(Font), OnGetEnabled(std::move(GetEnabled)),
      OnAdjustBounds(std::move(AdjustBounds)), OnInvalidate(std::move(Invalidate)),
      FDisabledColors(std::make_unique<TfcDisabledColors>(this)),
      FExtrudeEffects(std::make_unique<TfcExtrudeEffects>(this)),
      FShadow(std::make_unique<TfcShadowEffects>(this)) {}

TfcText::~TfcText() = default;

void TfcText::DescribeProperties(TPropertyTable& T) {
    using X = TfcText;
    T.Property("Alignment", &X::Alignment, &X::SetAlignment);
    T.Property("VAlignment", &X::VAlignment, &X::SetVAlignment);
    T.Property("DisabledColors", &X::DisabledColors, &X::SetDisabledColors);
    T.Property("ExtrudeEffects", &X::ExtrudeEffects, &X::SetExtrudeEffects);
    T.Property("HighlightColor", &X::HighlightColor, &X::SetHighlightColor)
        .OfType(ColorTypeInfo())
        .Default(clBtnHighlight);
    T.Property("LineSpacing", &X::LineSpacing, &X::SetLineSpacing).Default(5);
    T.Property("Options", &X::Options, &X::SetOptions).Default(TfcTextOptions{toShowAccel});
    T.Property("OutlineColor", &X::OutlineColor, &X::SetOutlineColor)
        .OfType(ColorTypeInfo())
        .Default(clBlack);
    T.Property("Rotation", &X::Rotation, &X::SetRotation).Default(0);
    T.Property("ShadeColor", &X::ShadeColor, &X::SetShadeColor).OfType(ColorTypeInfo()).Default(clBtnShadow);
    T.Property("Shadow", &X::Shadow, &X::SetShadow);
    T.Property("Style", &X::Style, &X::SetStyle).Default(fclsDefault);
    T.Property("WordWrap", &X::WordWrap, &X::SetWordWrap).Default(false);
}

void TfcText::SetText(const AnsiString& Value) {
    if (FText != Value) FText = Value;
}

void TfcText::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed();
}

void TfcText::SetVAlignment(TfcVAlignment Value) {
    if (FVAlignment == Value) return;
    FVAlignment = Value;
    Changed();
}

void TfcText::SetDisabledColors(TfcDisabledColors* Value) {
    FDisabledColors->SetHighlightColor(Value->HighlightColor());
    FDisabledColors->SetShadeColor(Value->ShadeColor());
}

void TfcText::SetExtrudeEffects(TfcExtrudeEffects* Value) { FExtrudeEffects->Assign(Value); }

void TfcText::SetShadow(TfcShadowEffects* Value) { FShadow->Assign(Value); }

void TfcText::SetHighlightColor(TColor Value) {
    if (FHighlightColor == Value) return;
    FHighlightColor = Value;
    Changed();
}

void TfcText::SetLineSpacing(int Value) {
    if (FLineSpacing == Value) return;
    FLineSpacing = Value;
    AdjustBounds();
    Changed();
}

void TfcText::SetOptions(TfcTextOptions Value) {
    if (FOptions == Value) return;
    FOptions = Value;
    DrawFlags = fcSetFlag(!Value.Contains(toShowAccel), DrawFlags, DT_NOPREFIX);
    DrawFlags = fcSetFlag(Value.Contains(toShowEllipsis), DrawFlags, DT_END_ELLIPSIS);
    AdjustBounds();
    Changed();
}

void TfcText::SetOutlineColor(TColor Value) {
    if (FOutlineColor == Value) return;
    FOutlineColor = Value;
    Changed();
}

void TfcText::SetRotation(int Value) {
    FRotation = Value >= 0 ? Value % 360 : 360 - (std::abs(Value) % 360);
    AdjustBounds();
    Changed();
}

void TfcText::SetShadeColor(TColor Value) {
    if (FShadeColor == Value) return;
    FShadeColor = Value;
    Changed();
}

void TfcText::SetStyle(TfcTextStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    AdjustBounds();
    Changed();
}

void TfcText::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    DrawFlags = fcSetFlag(Value, DrawFlags, DT_WORDBREAK);
    Changed();
}

void TfcText::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcText*>(Dest);
    if (!D) {
        TPersistent::AssignTo(Dest);
        return;
    }
    D->FExtrudeEffects->Assign(FExtrudeEffects.get());
    D->SetHighlightColor(FHighlightColor);
    D->SetLineSpacing(FLineSpacing);
    D->SetOptions(FOptions);
    D->SetOutlineColor(FOutlineColor);
    D->SetRotation(FRotation);
    D->SetShadeColor(FShadeColor);
    D->FShadow->Assign(FShadow.get());
    D->SetStyle(FStyle);
    D->SetText(FText);
}

void TfcText::Changed() {
    if (OnInvalidate) OnInvalidate();
}

double TfcText::Angle() const { return FRotation * M_PI / 180.0; }

TLogFont TfcText::GetLogFont() const {
    TLogFont F;
    if (!OwnerFont) return F;
    F.lfHeight = OwnerFont->Height();
    F.lfWidth = 0;
    F.lfEscapement = F.lfOrientation = FRotation * 10;
    TFontStyles Style = OwnerFont->Style();
    F.lfWeight = Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    F.lfItalic = Style.Contains(fsItalic);
    F.lfUnderline = Style.Contains(fsUnderline);
    F.lfStrikeOut = Style.Contains(fsStrikeOut);
    F.lfCharSet = OwnerFont->Charset() == DEFAULT_CHARSET ? uint8_t(ANSI_CHARSET) : OwnerFont->Charset();
    // Only outline fonts can be turned.
    F.lfOutPrecision = FRotation == 0 ? 4 : 7;
    F.lfClipPrecision = 0;
    F.lfQuality = 2;
    F.lfPitchAndFamily = 2;
    F.lfFaceName = OwnerFont->Name();
    return F;
}

TSize TfcText::MeasureText() const {
    if (!TargetCanvas) return TSize{};
    AnsiString Shown = FOptions.Contains(toShowAccel) ? fcStripAccelerators(FText) : FText;
    return fcMeasureTextBlock(TargetCanvas, Shown, FLineSpacing, DrawFlags,
                              FWordWrap ? fcRectWidth(LayoutRect) : 0);
}

TSize TfcText::GetExtent(bool Clip) const {
    TSize Size = MeasureText();
    TPoint Extrusion = FExtrudeEffects->GetOffset();
    double W = Size.cx + Extrusion.x, H = Size.cy + Extrusion.y;
    TPoint Shade = FShadow->GetOffset();
    W += std::abs(Shade.x);
    H += std::abs(Shade.y);
    if (FStyle == fclsOutline) {
        W += 2;
        H += 2;
    }
    double A = Angle(), C = std::abs(std::cos(A)), S = std::abs(std::sin(A));
    TSize Out{fcRoundDown(C * W + S * H), fcRoundDown(S * W + C * H)};
    if (Clip) {
        Out.cx = std::min(Out.cx, fcRectWidth(LayoutRect));
        Out.cy = std::min(Out.cy, fcRectHeight(LayoutRect));
    }
    return Out;
}

TRect TfcText::CalcDrawRect(bool Clip) const {
    int X = LayoutRect.Left + fcRectWidth(LayoutRect) / 2, Y = LayoutRect.Top + fcRectHeight(LayoutRect) / 2;
    TPoint Shade = FShadow->GetOffset(), Square = FExtrudeEffects->GetSquareOffset();
    X -= Shade.x / 2 + Square.x / 2;
    Y -= Shade.y / 2 + Square.y / 2;
    TSize Size = MeasureText();
    double A = Angle(), C = std::cos(A), S = std::sin(A);
    X -= fcRoundDown(C * Size.cx) / 2;
    Y += fcRoundDown(S * Size.cx) / 2;
    Y -= fcRoundDown(C * Size.cy) / 2;
    X -= fcRoundDown(S * Size.cy) / 2;
    TSize Extent = GetExtent(Clip);
    TRect R(X, Y, X + Extent.cx, Y + Extent.cy);
    if (R.Top < LayoutRect.Top) OffsetRect(R, 0, LayoutRect.Top - R.Top);
    if (R.Left < LayoutRect.Left) OffsetRect(R, LayoutRect.Left - R.Left, 0);
    return R;
}

TRect TfcText::CalcRect(bool Clip) {
    TFontScope Font(*this);
    return CalcDrawRect(Clip);
}

void TfcText::PrepareFont() { DrawRect = CalcDrawRect(true); }

void TfcText::InColor(TColor Color) {
    if (TargetCanvas) TargetCanvas->SetTextColor(Color);
}

void TfcText::DrawLines(TRect R) {
    if (!TargetCanvas) return;
    double A = Angle(), C = std::cos(A), S = std::sin(A);
    for (std::string_view Line : fcCaptionLines(FText)) {
        TRect At = R;
        TargetCanvas->DrawText(Line, At, DrawFlags);
        int Advance = fcTextLineHeight(TargetCanvas, DrawFlags, fcRectWidth(R), Line) + FLineSpacing;
        OffsetRect(R, fcRoundDown(S * Advance), fcRoundDown(C * Advance));
    }
}

void TfcText::Draw() {
    if (!TargetCanvas) return;
    if (FRotation % 360 != 0) {
        DrawFlags &= ~uint32_t(DT_CENTER | DT_RIGHT);
    } else {
        DrawFlags = fcSetFlag(FAlignment == taCenter, DrawFlags, DT_CENTER);
        DrawFlags = fcSetFlag(FAlignment == taRightJustify, DrawFlags, DT_RIGHT);
        if (FAlignment != taCenter || FVAlignment != vaVCenter) {
            TRect Needed = CalcRect(true);
            if (FAlignment == taLeftJustify) LayoutRect.Right = LayoutRect.Left + fcRectWidth(Needed);
            else if (FAlignment == taRightJustify) LayoutRect.Left = LayoutRect.Right - fcRectWidth(Needed);
            if (FVAlignment == vaTop) LayoutRect.Bottom = LayoutRect.Top + fcRectHeight(Needed);
            else if (FVAlignment == vaBottom) LayoutRect.Top = LayoutRect.Bottom - fcRectHeight(Needed);
        }
    }
    switch (FStyle) {
    case fclsDefault: DrawDefault(); break;
    case fclsLowered: DrawEmbossed(false); break;
    case fclsRaised: DrawEmbossed(true); break;
    case fclsOutline: DrawOutlined(); break;
    }
}

void TfcText::DrawDefault() {
    if (!IsEnabled()) {
        DrawEmbossed(false);
        return;
    }
    TFontScope Font(*this);
    PrepareFont();
    Extrude();
    DrawShadow(DrawRect);
    InColor(OwnerFont ? OwnerFont->Color() : clBlack);
    DrawLines(DrawRect);
}

void TfcText::DrawOutlined() {
    TFontScope Font(*this);
    PrepareFont();
    Extrude();
    DrawShadow(DrawRect);
    DrawOutline();
}

void TfcText::DrawEmbossed(bool Raised) {
    TFontScope Font(*this);
    PrepareFont();
    Extrude();
    DrawShadow(DrawRect);
    DrawHighlightShade(Raised);
}

void TfcText::DrawShadow(const TRect& R) {
    if (!FShadow->Enabled()) return;
    TRect At = R;
    OffsetRect(At, FShadow->XOffset(), FShadow->YOffset());
    InColor(IsEnabled() ? FShadow->Color() : FDisabledColors->ShadeColor());
    DrawLines(At);
}

void TfcText::DrawOutline() {
    bool Enabled = IsEnabled();
    InColor(Enabled ? FOutlineColor : FDisabledColors->ShadeColor());
    for (int i = 0; i < 8; ++i) {
        TPoint V = fcOrientationVector(TfcOrientation(i));
        TRect At = DrawRect;
        OffsetRect(At, V.x, V.y);
        DrawLines(At);
    }
    InColor(Enabled ? (OwnerFont ? OwnerFont->Color() : clBlack) : FDisabledColors->HighlightColor());
    DrawLines(DrawRect);
}

void TfcText::DrawHighlightShade(bool Raised) {
    bool Enabled = IsEnabled();
    TColor Light = Enabled ? FHighlightColor : FDisabledColors->HighlightColor();
    TColor Dark = Enabled ? FShadeColor : FDisabledColors->ShadeColor();
    TColor Upper = Raised ? Light : Dark, Lower = Raised ? Dark : Light;
    if (Enabled && Upper != clNone) {
        TRect At = DrawRect;
        OffsetRect(At, -1, -1);
        InColor(Upper);
        DrawLines(At);
    }
    if (Lower != clNone) {
        TRect At = DrawRect;
        OffsetRect(At, 1, 1);
        InColor(Lower);
        DrawLines(At);
    }
    InColor(Enabled ? (OwnerFont ? OwnerFont->Color() : clBlack) : FDisabledColors->ShadeColor());
    DrawLines(DrawRect);
}

void TfcText::DrawHighlighted() {
    TFontScope Font(*this);
    PrepareFont();
    TPoint V = fcOrientationVector(FExtrudeEffects->Orientation());
    TRect At = DrawRect;
    OffsetRect(At, -V.x, -V.y);
    InColor(FHighlightColor);
    DrawLines(At);
    InColor(OwnerFont ? OwnerFont->Color() : clBlack);
    DrawLines(DrawRect);
}

// The copies stand behind the text, 1 to Depth steps away against the
// orientation, the farthest in FarColor and the nearest in NearColor; none
// lies under the text. The text keeps the part of DrawRect that the copies
// do not need, at the end opposite to where they trail, so text and copies
// together fill exactly the room GetExtent reserved.
void TfcText::Extrude() {
    if (!FExtrudeEffects->Enabled() || !TargetCanvas) return;
    int Depth = FExtrudeEffects->Depth();
    TPoint V = fcOrientationVector(FExtrudeEffects->Orientation());
    TPoint Room = FExtrudeEffects->GetOffset();
    TRect Text = DrawRect;
    if (V.x > 0) Text.Left += Room.x;
    else Text.Right -= Room.x;
    if (V.y > 0) Text.Top += Room.y;
    else Text.Bottom -= Room.y;
    TfcColorParts Near = fcSplitColor(FExtrudeEffects->NearColor()),
                  Far = fcSplitColor(FExtrudeEffects->FarColor());
    // Striated copies: every even one at a quarter of its colour, a dark band.
    auto Channel = [&](int F, int N, int i) {
        if (FExtrudeEffects->Striated()) {
            int C = F + i * ((N - F) / Depth);
            return i % 2 == 0 ? C / 4 : C;
        }
        return fcRoundDown(F + (N - F) / (double(Depth) / i));
    };
    for (int i = 1; i <= Depth; ++i) {
        int Steps = Depth - i + 1;
        TRect At = Text;
        OffsetRect(At, -Steps * V.x, -Steps * V.y);
        InColor(RGB(Channel(Far.Red, Near.Red, i), Channel(Far.Green, Near.Green, i),
                    Channel(Far.Blue, Near.Blue, i)));
        DrawLines(At);
    }
    DrawRect = Text;
}
