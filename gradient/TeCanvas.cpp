#include "gradient/TeCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gradient/TeeConst.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/OsInfo.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/Controls.h"

ZELMOR_IMPLEMENT_ENUM(TGradientDirection, "gdTopBottom", "gdBottomTop", "gdLeftRight", "gdRightLeft",
                      "gdFromCenter", "gdFromTopLeft", "gdFromBottomLeft")

ZELMOR_IMPLEMENT_CLASS(TChartPen, TPen)
ZELMOR_IMPLEMENT_CLASS(TChartHiddenPen, TChartPen)
ZELMOR_IMPLEMENT_CLASS(TDottedGrayPen, TChartPen)
ZELMOR_IMPLEMENT_CLASS(TDarkGrayPen, TChartPen)
ZELMOR_IMPLEMENT_CLASS(TChartAxisPen, TChartPen)
ZELMOR_IMPLEMENT_CLASS(TChartArrowPen, TChartPen)
ZELMOR_IMPLEMENT_CLASS(TChartBrush, TBrush)
ZELMOR_IMPLEMENT_CLASS(TTeeShadow, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TTeeFont, TFont)
ZELMOR_IMPLEMENT_CLASS(TView3DOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TTeeCanvas, TObject)
ZELMOR_IMPLEMENT_CLASS(TCanvas3D, TTeeCanvas)
ZELMOR_IMPLEMENT_CLASS(TTeeCanvas3D, TCanvas3D)
ZELMOR_IMPLEMENT_COMPONENT(TTeeButton, TButton)
ZELMOR_IMPLEMENT_COMPONENT(TButtonColor, TTeeButton)

namespace {

// The nearest integer, halves to the even neighbour, as every projection rounds.
int N(long double Value) { return static_cast<int>(std::nearbyint(Value)); }

[[noreturn]] void Abstract() { throw EAbstractError("Abstract Error"); }

}  // namespace

// ---------------------------------------------------------------------------
// Small routines
// ---------------------------------------------------------------------------

void SinCos(long double Angle, long double& Sin, long double& Cos) {
    Sin = std::sin(Angle);
    Cos = std::cos(Angle);
}

long double ArcTan2(long double Y, long double X) { return std::atan2(Y, X); }

void RectSize(const TRect& R, int& Width, int& Height) {
    Width = R.Right - R.Left;
    Height = R.Bottom - R.Top;
}

void RectCenter(const TRect& R, int& X, int& Y) {
    X = (R.Left + R.Right) / 2;
    Y = (R.Top + R.Bottom) / 2;
}

double MaxDouble(double A, double B) { return A > B ? A : B; }
double MinDouble(double A, double B) { return A < B ? A : B; }
int MaxLong(int A, int B) { return A > B ? A : B; }
int MinLong(int A, int B) { return A < B ? A : B; }
void SwapDouble(double& A, double& B) { std::swap(A, B); }
void SwapInteger(int& A, int& B) { std::swap(A, B); }

TColor ApplyDark(TColor Color, int Quantity) {
    TColorRef C = ColorToRGB(Color);
    auto Dark = [Quantity](int Channel) { return Quantity < Channel ? Channel - Quantity : 0; };
    return RGB(Dark(GetRValue(C)), Dark(GetGValue(C)), Dark(GetBValue(C)));
}

TColor ApplyBright(TColor Color, int Quantity) {
    TColorRef C = ColorToRGB(Color);
    auto Bright = [Quantity](int Channel) { return std::min(Channel + Quantity, 255); };
    return RGB(Bright(GetRValue(C)), Bright(GetGValue(C)), Bright(GetBValue(C)));
}

// ---------------------------------------------------------------------------
// Pens and brushes
// ---------------------------------------------------------------------------

TChartPen::TChartPen(TNotifyEvent ChangeEvent) { OnChange = std::move(ChangeEvent); }

void TChartPen::DescribeProperties(TPropertyTable& T) {
    T.Property("SmallDots", &TChartPen::SmallDots, &TChartPen::SetSmallDots).Default(false);
    T.Property("Visible", &TChartPen::Visible, &TChartPen::SetVisible).Default(true);
}

void TChartPen::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TChartPen::SetSmallDots(bool Value) {
    if (FSmallDots == Value) return;
    FSmallDots = Value;
    Changed();
}

void TChartPen::Assign(TPersistent* Source) {
    if (auto* P = dynamic_cast<TChartPen*>(Source)) {
        FVisible = P->FVisible;
        FSmallDots = P->FSmallDots;
    }
    TPen::Assign(Source);
}

TChartHiddenPen::TChartHiddenPen(TNotifyEvent ChangeEvent) {
    SetVisible(false);
    OnChange = std::move(ChangeEvent);
}

void TChartHiddenPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Visible", &TChartPen::Visible, &TChartPen::SetVisible).Default(false);
}

TDottedGrayPen::TDottedGrayPen(TNotifyEvent ChangeEvent) {
    SetColor(clGray);
    SetStyle(psDot);
    OnChange = std::move(ChangeEvent);
}

void TDottedGrayPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TPen::Color, &TPen::SetColor).OfType(ColorTypeInfo()).Default(clGray);
    T.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psDot);
}

TDarkGrayPen::TDarkGrayPen(TNotifyEvent ChangeEvent) {
    SetColor(clGray);
    OnChange = std::move(ChangeEvent);
}

void TDarkGrayPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TPen::Color, &TPen::SetColor).OfType(ColorTypeInfo()).Default(clGray);
}

TChartAxisPen::TChartAxisPen(TNotifyEvent ChangeEvent) {
    SetWidth(2);
    OnChange = std::move(ChangeEvent);
}

void TChartAxisPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Width", &TPen::Width, &TPen::SetWidth).Default(2);
}

TChartArrowPen::TChartArrowPen(TNotifyEvent ChangeEvent) {
    SetColor(clWhite);
    OnChange = std::move(ChangeEvent);
}

void TChartArrowPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TPen::Color, &TPen::SetColor).OfType(ColorTypeInfo()).Default(clWhite);
}

TChartBrush::TChartBrush(TNotifyEvent ChangeEvent) : FImage(std::make_unique<TPicture>()) {
    SetColor(clDefault);
    FImage->OnChange = ChangeEvent;
    OnChange = std::move(ChangeEvent);
}

TChartBrush::~TChartBrush() = default;

void TChartBrush::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TBrush::Color, &TBrush::SetColor).OfType(ColorTypeInfo()).Default(clDefault);
    T.Property("Image", &TChartBrush::Image, &TChartBrush::SetImage);
}

void TChartBrush::Assign(TPersistent* Source) {
    if (auto* B = dynamic_cast<TChartBrush*>(Source)) FImage->Assign(B->FImage.get());
    TBrush::Assign(Source);
}

// ---------------------------------------------------------------------------
// Shadow and font
// ---------------------------------------------------------------------------

TTeeShadow::TTeeShadow(TNotifyEvent Notify) : ChangeNotify(std::move(Notify)) {}

void TTeeShadow::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TTeeShadow::Color, &TTeeShadow::SetColor).OfType(ColorTypeInfo()).Default(clSilver);
    T.Property("HorizSize", &TTeeShadow::HorizSize, &TTeeShadow::SetHorizSize).Default(0);
    T.Property("VertSize", &TTeeShadow::VertSize, &TTeeShadow::SetVertSize).Default(0);
}

void TTeeShadow::SetIntegerProperty(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    if (Assigned(ChangeNotify)) ChangeNotify(this);
}

void TTeeShadow::SetColor(TColor Value) { SetIntegerProperty(FColor, Value); }
void TTeeShadow::SetHorizSize(int Value) { SetIntegerProperty(FHorizSize, Value); }
void TTeeShadow::SetVertSize(int Value) { SetIntegerProperty(FVertSize, Value); }

void TTeeShadow::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TTeeShadow*>(Source)) {
        FColor = S->FColor;
        FHorizSize = S->FHorizSize;
        FVertSize = S->FVertSize;
        return;
    }
    TPersistent::Assign(Source);
}

namespace {
constexpr int LANG_JAPANESE_PRIMARY = 0x11;

bool JapaneseSystem() { return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE_PRIMARY; }
}  // namespace

AnsiString GetDefaultFontName() {
    AnsiString Name = TeeMsg_DefaultFontName;
    if (Name == "Arial" && JapaneseSystem()) return TFont().Name();
    return Name;
}

int GetDefaultFontSize() {
    int Size = StrToInt(TeeMsg_DefaultFontSize);
    if (Size == 8 && JapaneseSystem()) return -MulDiv(TFont().Height(), 72, ScreenPixelsPerInch);
    return Size;
}

TTeeFont::TTeeFont(TNotifyEvent ChangeEvent)
    : FOutLine(std::make_unique<TChartHiddenPen>(ChangeEvent)),
      FShadow(std::make_unique<TTeeShadow>(ChangeEvent)) {
    SetColor(clBlack);
    SetCharset(DEFAULT_CHARSET);
    SetName(GetDefaultFontName());
    SetSize(GetDefaultFontSize());
    OnChange = std::move(ChangeEvent);
}

TTeeFont::~TTeeFont() {
    if (FOwnerCanvas && FOwnerCanvas->FTeeFont == this) FOwnerCanvas->FTeeFont = nullptr;
}

void TTeeFont::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TFont::Color, &TFont::SetColor)
        .OfType(ColorTypeInfo())
        .NoDefault()
        .Stored(&TTeeFont::IsColorStored);
    T.Property("Height", &TFont::Height, &TFont::SetHeight).NoDefault().Stored(&TTeeFont::IsHeightStored);
    T.Property("InterCharSize", &TTeeFont::InterCharSize, &TTeeFont::SetInterCharSize).Default(0);
    T.Property("Name", &TFont::Name, &TFont::SetName).Stored(&TTeeFont::IsNameStored);
    T.Property("OutLine", &TTeeFont::OutLine, &TTeeFont::SetOutLine);
    T.Property("Shadow", &TTeeFont::Shadow, &TTeeFont::SetShadow);
    T.Property("Style", &TFont::Style, &TFont::SetStyle).NoDefault().Stored(&TTeeFont::IsStyleStored);
}

bool TTeeFont::IsHeightStored() const { return Size() != GetDefaultFontSize(); }
bool TTeeFont::IsNameStored() const { return Name() != GetDefaultFontName(); }

void TTeeFont::SetInterCharSize(int Value) {
    if (FInterCharSize == Value) return;
    FInterCharSize = Value;
    if (Assigned(OnChange)) OnChange(this);
}

void TTeeFont::Assign(TPersistent* Source) {
    if (auto* F = dynamic_cast<TTeeFont*>(Source)) {
        FInterCharSize = F->FInterCharSize;
        FOutLine->Assign(F->FOutLine.get());
        FShadow->Assign(F->FShadow.get());
    }
    TFont::Assign(Source);
}

// ---------------------------------------------------------------------------
// TView3DOptions
// ---------------------------------------------------------------------------

TView3DOptions::TView3DOptions(TWinControl* ParentControl) : FParentControl(ParentControl) {}

void TView3DOptions::DescribeProperties(TPropertyTable& T) {
    using V = TView3DOptions;
    T.Property("Elevation", &V::Elevation, &V::SetElevation).Default(345);
    T.Property("HorizOffset", &V::HorizOffset, &V::SetHorizOffset).Default(0);
    T.Property("Orthogonal", &V::Orthogonal, &V::SetOrthogonal).Default(true);
    T.Property("OrthoAngle", &V::OrthoAngle, &V::SetOrthoAngle).Default(45);
    T.Property("Perspective", &V::Perspective, &V::SetPerspective).Default(15);
    T.Property("Rotation", &V::Rotation, &V::SetRotation).Default(345);
    T.Property("Tilt", &V::Tilt, &V::SetTilt).Default(0);
    T.Property("VertOffset", &V::VertOffset, &V::SetVertOffset).Default(0);
    T.Property("Zoom", &V::Zoom, &V::SetZoom).Default(100);
    T.Property("ZoomText", &V::ZoomText, &V::SetZoomText).Default(true);
}

void TView3DOptions::Repaint() {
    if (FParentControl) FParentControl->Invalidate();
}

void TView3DOptions::SetIntegerProperty(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
}

void TView3DOptions::SetOrthogonal(bool Value) {
    if (FOrthogonal == Value) return;
    FOrthogonal = Value;
    Repaint();
}

void TView3DOptions::SetZoomText(bool Value) {
    if (FZoomText == Value) return;
    FZoomText = Value;
    Repaint();
}

void TView3DOptions::SetHorizOffset(int Value) {
    if (FHorizOffset == Value) return;
    FHorizOffset = Value;
    Repaint();
    if (Assigned(ScrolledNotify)) ScrolledNotify(true);
}

void TView3DOptions::SetVertOffset(int Value) {
    if (FVertOffset == Value) return;
    FVertOffset = Value;
    Repaint();
    if (Assigned(ScrolledNotify)) ScrolledNotify(false);
}

// The notification sees the old zoom still stored: it may compare the two.
void TView3DOptions::SetZoom(int Value) {
    if (FZoom == Value) return;
    if (Assigned(ZoomChangeNotify)) ZoomChangeNotify(Value);
    FZoom = Value;
    Repaint();
}

void TView3DOptions::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TView3DOptions*>(Source);
    if (!S) return;
    FElevation = S->FElevation;
    FHorizOffset = S->FHorizOffset;
    FOrthogonal = S->FOrthogonal;
    FOrthoAngle = S->FOrthoAngle;
    FPerspective = S->FPerspective;
    FRotation = S->FRotation;
    FTilt = S->FTilt;
    FVertOffset = S->FVertOffset;
    FZoom = S->FZoom;
    FZoomText = S->FZoomText;
}

// ---------------------------------------------------------------------------
// TTeeCanvas
// ---------------------------------------------------------------------------

TTeeCanvas::~TTeeCanvas() {
    if (FTeeFont && FTeeFont->FOwnerCanvas == this) FTeeFont->FOwnerCanvas = nullptr;
}

void TTeeCanvas::SetCanvas(TCanvas* ACanvas) {
    FCanvas = ACanvas;
    FPen = ACanvas ? ACanvas->Pen() : nullptr;
    FBrush = ACanvas ? ACanvas->Brush() : nullptr;
    FFont = ACanvas ? ACanvas->Font() : nullptr;
}

void TTeeCanvas::ResetState() {
    FPen->SetColor(clBlack);
    FPen->SetWidth(1);
    FPen->SetStyle(psSolid);
    FBrush->SetColor(clWhite);
    FBrush->SetStyle(bsSolid);
    FFont->SetColor(clBlack);
    FFont->SetSize(10);
    SetBackColor(clWhite);
    SetBackMode(cbmTransparent);
}

void TTeeCanvas::AssignBrush(TChartBrush* ABrush, TColor AColor) {
    AssignBrushColor(ABrush, AColor, ABrush->Color());
}

void TTeeCanvas::AssignBrushColor(TChartBrush* ABrush, TColor AColor, TColor ABackColor) {
    if (GetMonochrome()) AColor = clWhite;
    TGraphic* Image = ABrush->Image()->Graphic();
    if (Image && !Image->Empty()) {
        FBrush->SetStyle(bsClear);
        if (auto* B = dynamic_cast<TBitmap*>(Image)) {
            FBrush->SetBitmap(B);
        } else {
            TBitmap Pattern(Image->Width(), Image->Height());
            Pattern.Canvas()->Draw(0, 0, Image);
            FBrush->SetBitmap(&Pattern);
        }
        // A monochrome picture takes the colour in its 0 pixels.
        FCanvas->SetTextColor(ColorToRGB(AColor));
    } else {
        FBrush->SetBitmap(nullptr);
        // The colour first: giving a colour to a clear brush makes it solid.
        FBrush->SetColor(AColor);
        FBrush->SetStyle(ABrush->Style());
    }
    SetBackMode(cbmOpaque);
    SetBackColor(ABackColor);
}

void TTeeCanvas::AssignVisiblePen(TPen* APen) { AssignVisiblePenColor(APen, APen->Color()); }

void TTeeCanvas::AssignVisiblePenColor(TPen* APen, TColor AColor) {
    if (GetMonochrome()) AColor = clBlack;
    auto* Chart = dynamic_cast<TChartPen*>(APen);
    if (Chart && !Chart->Visible()) {
        FPen->SetStyle(psClear);
        return;
    }
    if (IsWindowsNT()) {
        if (Chart && Chart->SmallDots()) {
            FPen->SetExtended(PS_COSMETIC | PS_ALTERNATE, 1, AColor);
            FPen->SetMode(APen->Mode());
            return;
        }
        if (APen->Width() > 1 && APen->Style() != psSolid) {
            FPen->SetExtended(PS_GEOMETRIC | PS_ENDCAP_SQUARE | static_cast<uint32_t>(APen->Style()),
                              APen->Width(), AColor);
            FPen->SetMode(APen->Mode());
            return;
        }
    }
    FPen->Assign(APen);
    FPen->SetColor(AColor);
}

void TTeeCanvas::AssignFont(TTeeFont* AFont) {
    AFont->SetPixelsPerInch(FFont->PixelsPerInch());
    FFont->Assign(AFont);
    if (GetMonochrome()) FFont->SetColor(clBlack);
    FCanvas->SetTextCharacterExtra(AFont->InterCharSize());
    // Only the current font may point back here, so that whichever of the
    // two goes first leaves the other nothing dangling.
    if (FTeeFont && FTeeFont != AFont && FTeeFont->FOwnerCanvas == this) FTeeFont->FOwnerCanvas = nullptr;
    FTeeFont = AFont;
    AFont->FOwnerCanvas = this;
}

TColor TTeeCanvas::GetBackColor() const { return static_cast<TColor>(FCanvas->GetBkColor()); }

TCanvasBackMode TTeeCanvas::GetBackMode() const {
    int Mode = FCanvas->GetBkMode();
    return Mode == TRANSPARENT ? cbmTransparent : Mode == OPAQUE ? cbmOpaque : cbmNone;
}

void TTeeCanvas::SetBackColor(TColor Color) { FCanvas->SetBkColor(static_cast<TColor>(ColorToRGB(Color))); }
void TTeeCanvas::SetBackMode(TCanvasBackMode Mode) { FCanvas->SetBkMode(static_cast<int>(Mode)); }

int TTeeCanvas::TextWidth(std::string_view Text) {
    if (!FCanvas) return 0;
    int W = FCanvas->TextWidth(Text);
    if (FTeeFont) W += std::abs(FTeeFont->Shadow()->HorizSize());
    return W;
}

int TTeeCanvas::TextHeight(std::string_view Text) {
    if (!FCanvas) return 0;
    int H = FCanvas->TextHeight(Text);
    if (FTeeFont) H += std::abs(FTeeFont->Shadow()->VertSize());
    return H;
}

TCanvas* TTeeCanvas::GetHandle() const { Abstract(); }
bool TTeeCanvas::GetMonochrome() const { Abstract(); }
uint32_t TTeeCanvas::GetTextAlign() const { Abstract(); }
bool TTeeCanvas::GetUseBuffer() const { Abstract(); }
void TTeeCanvas::SetMonochrome(bool) { Abstract(); }
void TTeeCanvas::SetPixel(int, int, TColor) { Abstract(); }
void TTeeCanvas::SetTextAlign(uint32_t) { Abstract(); }
void TTeeCanvas::SetUseBuffer(bool) { Abstract(); }
void TTeeCanvas::Arc(int, int, int, int, int, int, int, int) { Abstract(); }
void TTeeCanvas::Donut(int, int, int, int, double, double, double) { Abstract(); }
void TTeeCanvas::Draw(int, int, const TGraphic*) { Abstract(); }
void TTeeCanvas::Ellipse(int, int, int, int) { Abstract(); }
void TTeeCanvas::FillRect(const TRect&) { Abstract(); }
void TTeeCanvas::Frame3D(const TRect&, TColor, TColor, int) { Abstract(); }
void TTeeCanvas::LineTo(int, int) { Abstract(); }
void TTeeCanvas::MoveTo(int, int) { Abstract(); }
void TTeeCanvas::Pie(int, int, int, int, int, int, int, int) { Abstract(); }
void TTeeCanvas::Rectangle(int, int, int, int) { Abstract(); }
void TTeeCanvas::RoundRect(int, int, int, int, int, int) { Abstract(); }
void TTeeCanvas::StretchDraw(const TRect&, const TGraphic*) { Abstract(); }
void TTeeCanvas::TextOut(int, int, std::string_view) { Abstract(); }
void TTeeCanvas::ClipRectangle(const TRect&) { Abstract(); }
void TTeeCanvas::DoHorizLine(int, int, int) { Abstract(); }
void TTeeCanvas::DoRectangle(const TRect&) { Abstract(); }
void TTeeCanvas::DoVertLine(int, int, int) { Abstract(); }
void TTeeCanvas::EraseBackground(const TRect&) { Abstract(); }
void TTeeCanvas::GradientFill(const TRect&, TColor, TColor, TGradientDirection) { Abstract(); }
void TTeeCanvas::Invalidate() { Abstract(); }
void TTeeCanvas::Line(int, int, int, int) { Abstract(); }
void TTeeCanvas::Polygon(std::span<const TPoint>) { Abstract(); }
void TTeeCanvas::RotateLabel(int, int, std::string_view, double) { Abstract(); }
void TTeeCanvas::UnClipRectangle() { Abstract(); }

// ---------------------------------------------------------------------------
// TCanvas3D
// ---------------------------------------------------------------------------

TRect TCanvas3D::CalcRect3D(const TRect& R, int Z) {
    return TRect(Calculate3DPosition(R.Left, R.Top, Z), Calculate3DPosition(R.Right, R.Bottom, Z));
}

void TCanvas3D::Assign(TCanvas3D* Source) { SetMonochrome(Source->GetMonochrome()); }

bool TCanvas3D::GetSupportsFullRotation() const { Abstract(); }
bool TCanvas3D::GetSupports3DText() const { Abstract(); }
void TCanvas3D::SetPixel3D(int, int, int, TColor) { Abstract(); }
void TCanvas3D::Calculate2DPosition(int&, int&, int) { Abstract(); }
TPoint TCanvas3D::Calculate3DPosition(int, int, int) { Abstract(); }
TRect TCanvas3D::InitWindow(TCanvas*, TView3DOptions*, TColor, bool, const TRect&) { Abstract(); }
void TCanvas3D::Projection(int, const TRect&, const TRect&) { Abstract(); }
void TCanvas3D::ShowImage(TCanvas*, TCanvas*, const TRect&) { Abstract(); }
bool TCanvas3D::ReDrawBitmap() { Abstract(); }
void TCanvas3D::Arrow(bool, TPoint, TPoint, int, int, int) { Abstract(); }
void TCanvas3D::ClipCube(const TRect&, int, int) { Abstract(); }
void TCanvas3D::Cone(bool, int, int, int, int, int, int, bool, int) { Abstract(); }
void TCanvas3D::Cube(int, int, int, int, int, int, bool) { Abstract(); }
void TCanvas3D::Cylinder(bool, int, int, int, int, int, int, bool) { Abstract(); }
void TCanvas3D::HorizLine3D(int, int, int, int) { Abstract(); }
void TCanvas3D::VertLine3D(int, int, int, int) { Abstract(); }
void TCanvas3D::ZLine3D(int, int, int, int) { Abstract(); }
void TCanvas3D::EllipseWithZ(int, int, int, int, int) { Abstract(); }
void TCanvas3D::FrontPlaneBegin() { Abstract(); }
void TCanvas3D::FrontPlaneEnd() { Abstract(); }
void TCanvas3D::LineWithZ(int, int, int, int, int) { Abstract(); }
void TCanvas3D::MoveTo3D(int, int, int) { Abstract(); }
void TCanvas3D::LineTo3D(int, int, int) { Abstract(); }
void TCanvas3D::Pie3D(int, int, int, int, int, int, double, double, bool, bool) { Abstract(); }
void TCanvas3D::Plane3D(TPoint, TPoint, int, int) { Abstract(); }
void TCanvas3D::PlaneWithZ(TPoint, TPoint, TPoint, TPoint, int) { Abstract(); }
void TCanvas3D::PlaneFour3D(const TPoint (&)[4], int, int) { Abstract(); }
void TCanvas3D::PolygonWithZ(std::span<const TPoint>, int) { Abstract(); }
void TCanvas3D::Pyramid(bool, int, int, int, int, int, int, bool) { Abstract(); }
void TCanvas3D::PyramidTrunc(const TRect&, int, int, int, int) { Abstract(); }
void TCanvas3D::RectangleWithZ(const TRect&, int) { Abstract(); }
void TCanvas3D::RectangleY(int, int, int, int, int) { Abstract(); }
void TCanvas3D::RectangleZ(int, int, int, int, int) { Abstract(); }
void TCanvas3D::RotateLabel3D(int, int, int, std::string_view, double) { Abstract(); }
void TCanvas3D::Sphere(int, int, int, double) { Abstract(); }
void TCanvas3D::Surface3D(TTeeCanvasSurfaceStyle, bool, int, int, const TTeeCanvasCalcPoints&) { Abstract(); }
void TCanvas3D::TextOut3D(int, int, int, std::string_view) { Abstract(); }
void TCanvas3D::Triangle3D(const TPoint3D (&)[3], const TColor (&)[3]) { Abstract(); }
void TCanvas3D::TriangleWithZ(TPoint, TPoint, TPoint, int) { Abstract(); }

// ---------------------------------------------------------------------------
// TTeeCanvas3D: surfaces, buffer and projection
// ---------------------------------------------------------------------------

TTeeCanvas3D::~TTeeCanvas3D() = default;

TCanvas* TTeeCanvas3D::GetHandle() const { return FCanvas; }
uint32_t TTeeCanvas3D::GetTextAlign() const { return FCanvas->GetTextAlign(); }
void TTeeCanvas3D::SetTextAlign(uint32_t Align) { FCanvas->SetTextAlign(Align); }

void TTeeCanvas3D::SetMonochrome(bool Value) {
    if (FMonochrome == Value) return;
    FMonochrome = Value;
    FBufferDirty = true;
    if (FView3DOptions) FView3DOptions->Repaint();
}

void TTeeCanvas3D::SetUseBuffer(bool Value) {
    FUseBuffer = Value;
    if (!Value) {
        FBufferBitmap.reset();
        FBufferDirty = true;
    }
}

void TTeeCanvas3D::Invalidate() { FBufferDirty = true; }

TRect TTeeCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor, bool Is3D,
                               const TRect& UserRect) {
    FWindowBounds = UserRect;
    FView3DOptions = A3DOptions;
    FIs3DActive = Is3D;
    FOrthogonalView = false;
    ZoomFactor = 1.0;
    if (FIs3DActive && FView3DOptions) {
        FOrthogonalView = FView3DOptions->Orthogonal();
        if (FOrthogonalView) {
            long double S, C;
            SinCos(FView3DOptions->OrthoAngle() * TeePiStep, S, C);
            OrthoTangent = C < 0.01 ? 1.0 : static_cast<double>(S / C);
        }
        ZoomFactor = FView3DOptions->Zoom() * 0.01;
        FTextZoomOn = FView3DOptions->ZoomText();
    }
    if (FIs3DActive && !FOrthogonalView) CalcRotation();
    if (!FUseBuffer) {
        SetCanvas(DestCanvas);
        return UserRect;
    }
    int W = UserRect.Width(), H = UserRect.Height();
    if (FBufferBitmap && (FBufferBitmap->Width() != W || FBufferBitmap->Height() != H)) FBufferBitmap.reset();
    if (!FBufferBitmap) FBufferBitmap = std::make_unique<TBitmap>(W, H);
    // Drawing into the buffer must not tell anybody: the panel draws it whole.
    FBufferBitmap->Canvas()->OnChange = nullptr;
    SetCanvas(FBufferBitmap->Canvas());
    return TRect(0, 0, W, H);
}

void TTeeCanvas3D::CalcRotation() {
    long double R = 0, E = 0, T = 0;
    if (FView3DOptions) {
        R = FView3DOptions->Rotation();
        E = FView3DOptions->Elevation();
        T = FView3DOptions->Tilt();
    }
    long double S1, C1, S2, C2, S3, C3;
    SinCos(R * TeePiStep, S1, C1);
    SinCos(E * TeePiStep, S2, C2);
    SinCos(T * TeePiStep, S3, C3);
    PerspectiveFactor = 0;
    ElevationSine = S2;
    PerspectiveDX = static_cast<double>(C2 * S1);
    PerspectiveDZ = static_cast<double>(C1 * C2);
    XFromX = std::max(static_cast<double>(S1 * S2 * S3 + C1 * C3), 0.00001);
    XFromY = static_cast<double>(C2 * S3);
    XFromZ = static_cast<double>(C1 * S2 * S3 - C3 * S1);
    YFromX = static_cast<double>(C3 * S1 * S2 - C1 * S3);
    YFromY = std::max(static_cast<double>(C2 * C3), 0.00001);
    YFromZ = static_cast<double>(C1 * C3 * S2 + S1 * S3);
}

void TTeeCanvas3D::Projection(int MaxDepth, const TRect&, const TRect& ARect) {
    RectCenter(ARect, CenterX, CenterY);
    CenterX += N(RotationOffset.X);
    CenterY += N(RotationOffset.Y);
    CenterZ = N(RotationOffset.Z) + MaxDepth / 2;
    ScreenCenterX = CenterX;
    ScreenCenterY = CenterY;
    if (FView3DOptions) {
        ScreenCenterX += FView3DOptions->HorizOffset();
        ScreenCenterY += FView3DOptions->VertOffset();
        // A rectangle without width has no perspective to speak of.
        if (FView3DOptions->Perspective() > 0 && ARect.Width() != 0)
            PerspectiveFactor = FView3DOptions->Perspective() / 150.0 / ARect.Width();
    }
}

void TTeeCanvas3D::Calc3DPos(int& X, int& Y, int Z) const {
    if (FOrthogonalView) {
        X = N((X - CenterX + Z) * ZoomFactor) + ScreenCenterX;
        Y = N((Y - CenterY - Z * OrthoTangent) * ZoomFactor) + ScreenCenterY;
    } else if (FIs3DActive) {
        double DX = X - CenterX, DY = Y - CenterY, DZ = Z - CenterZ;
        double Scale = ZoomFactor;
        if (PerspectiveFactor > 0)
            Scale = ZoomFactor *
                    (1 - (DX * PerspectiveDX - DY * static_cast<double>(ElevationSine) + DZ * PerspectiveDZ) *
                             PerspectiveFactor);
        X = N((DX * XFromX + DY * XFromY + DZ * XFromZ) * Scale) + ScreenCenterX;
        Y = N((DX * YFromX + DY * YFromY + DZ * YFromZ) * Scale) + ScreenCenterY;
    }
}

void TTeeCanvas3D::Calc3DPoint(TPoint& P, int X, int Y, int Z) const {
    Calc3DPos(X, Y, Z);
    P = TPoint(X, Y);
}

void TTeeCanvas3D::Calc3DTPoint(TPoint& P, int Z) const { Calc3DPoint(P, P.x, P.y, Z); }

TPoint TTeeCanvas3D::Calc3DTPoint3D(const TPoint3D& P) const {
    TPoint R;
    Calc3DPoint(R, P.x, P.y, P.z);
    return R;
}

TPoint TTeeCanvas3D::Calculate3DPosition(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    return TPoint(X, Y);
}

void TTeeCanvas3D::Calculate2DPosition(int& X, int& Y, int Z) {
    if (ZoomFactor == 0) return;
    double K = 1.0 / ZoomFactor;
    if (FOrthogonalView) {
        X = N((X - ScreenCenterX) * K) - Z + CenterX;
        Y = N((Y - ScreenCenterY) * K + Z * OrthoTangent) + CenterY;
    } else if (FIs3DActive && XFromX != 0 && YFromY != 0) {
        int X0 = X, Y0 = Y;
        double DZ = Z - CenterZ;
        X = N(((X0 - ScreenCenterX) * K - DZ * XFromZ - (Y0 - CenterY) * XFromY) / XFromX) + CenterX;
        Y = N(((Y0 - ScreenCenterY) * K - DZ * YFromZ - (X0 - CenterX) * YFromX) / YFromY) + CenterY;
    }
}

void TTeeCanvas3D::TransferBitmap(int Left, int Top, TCanvas* ACanvas) {
    if (!FBufferBitmap || !ACanvas) return;
    ACanvas->BitBlt(Left, Top, FBufferBitmap->Width(), FBufferBitmap->Height(), FBufferBitmap->Canvas(), 0, 0,
                    SRCCOPY);
}

void TTeeCanvas3D::DeleteBitmap() { FBufferBitmap.reset(); }

void TTeeCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) {
    if (FUseBuffer) {
        TransferBitmap(UserRect.Left, UserRect.Top, DestCanvas);
        FBufferDirty = false;
    }
    SetCanvas(DefaultCanvas);
}

bool TTeeCanvas3D::ReDrawBitmap() {
    if (!FBufferDirty) TransferBitmap(0, 0, FCanvas);
    return !FBufferDirty;
}

void TTeeCanvas3D::FrontPlaneBegin() {
    FSavedIs3D = FIs3DActive;
    FIs3DActive = false;
}

void TTeeCanvas3D::FrontPlaneEnd() { FIs3DActive = FSavedIs3D; }

// ---------------------------------------------------------------------------
// Clipping
// ---------------------------------------------------------------------------

namespace {
std::unique_ptr<TRegion>& SavedClipRegion() {
    static std::unique_ptr<TRegion> Region;
    return Region;
}
bool HadClipRegion = false;

// Narrows the device clip to Region (device coordinates), keeping what it was.
void ClipTo(TCanvas* ACanvas, const TRegion& Region) {
    auto& Saved = SavedClipRegion();
    if (!Saved) Saved = std::make_unique<TRegion>();
    HadClipRegion = ACanvas->GetClipRgn(*Saved) == 1;
    if (HadClipRegion) ACanvas->ExtSelectClipRgn(&Region, RGN_AND);
    else ACanvas->SelectClipRgn(&Region);
}

// The colour dialogs' custom colours, from the first dialog to shutdown.
std::unique_ptr<TStringList>& CustomEditColors() {
    static std::unique_ptr<TStringList> List;
    return List;
}
}  // namespace

void InitTeCanvas() {
    SavedClipRegion() = std::make_unique<TRegion>();
    HadClipRegion = false;
}

void DoneTeCanvas() {
    SavedClipRegion().reset();
    HadClipRegion = false;
    CustomEditColors().reset();
}

void ClipCanvas(TCanvas* ACanvas, const TRect& Rect) { ClipTo(ACanvas, TRegion(ACanvas->LPtoDP(Rect))); }

void ClipRoundRectangle(TCanvas* ACanvas, const TRect& Rect, int RoundSize) {
    TRect D = ACanvas->LPtoDP(Rect);
    ClipTo(ACanvas, TRegion::RoundRect(D, RoundSize, RoundSize));
}

void ClipPolygon(TCanvas* ACanvas, std::span<TPoint> Points) {
    ACanvas->LPtoDP(Points);
    // Fewer than three points make no polygon region: the clip stays.
    if (Points.size() < 3) return;
    ClipTo(ACanvas, TRegion::Polygon(Points, ALTERNATE));
}

void UnClipCanvas(TCanvas* ACanvas) {
    auto& Saved = SavedClipRegion();
    ACanvas->SelectClipRgn(HadClipRegion && Saved ? Saved.get() : nullptr);
}

void TTeeCanvas3D::ClipRectangle(const TRect& Rect) { ClipCanvas(FCanvas, Rect); }
void TTeeCanvas3D::UnClipRectangle() { UnClipCanvas(FCanvas); }

void TTeeCanvas3D::ClipCube(const TRect& Rect, int MinZ, int MaxZ) {
    if (!FIs3DActive) {
        ClipRectangle(TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1));
        return;
    }
    if (FView3DOptions && FView3DOptions->Elevation() == 270 &&
        (FView3DOptions->Rotation() == 270 || FView3DOptions->Rotation() == 360)) {
        ClipRectangle(TRect(Calculate3DPosition(Rect.Left, Rect.Top, MinZ),
                            Calculate3DPosition(Rect.Right, Rect.Top, MaxZ)));
        return;
    }
    TPoint P[6];
    P[0] = Calculate3DPosition(Rect.Left, Rect.Bottom, MinZ);
    P[1] = Calculate3DPosition(Rect.Left, Rect.Top, MinZ);
    TPoint TopFront = Calculate3DPosition(Rect.Right, Rect.Top, MinZ);
    TPoint TopBack = Calculate3DPosition(Rect.Left, Rect.Top, MaxZ);
    P[2] = TopFront.y < TopBack.y ? TopFront : TopBack;
    P[3] = Calculate3DPosition(Rect.Right, Rect.Top, MaxZ);
    TPoint BottomBack = Calculate3DPosition(Rect.Right, Rect.Bottom, MaxZ);
    P[4] = TopFront.x > BottomBack.x ? TopFront : BottomBack;
    P[5] = Calculate3DPosition(Rect.Right, Rect.Bottom, MinZ);
    if (P[5].x < P[0].x) {
        P[0].x = P[5].x;
        if (TopFront.y < P[0].y) P[0].y = TopFront.y;
    }
    // The cube's outline is clipped like every other clip: it narrows the
    // clip in force and records it, so that UnClipRectangle gives back what
    // the cube replaced and not what some earlier clip left behind.
    ClipPolygon(FCanvas, P);
}

// ---------------------------------------------------------------------------
// TTeeCanvas3D: flat drawing
// ---------------------------------------------------------------------------

void TTeeCanvas3D::SetPixel(int X, int Y, TColor Color) {
    FCanvas->SetPixel(X, Y, static_cast<TColor>(ColorToRGB(Color)));
}

void TTeeCanvas3D::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    FCanvas->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TTeeCanvas3D::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    FCanvas->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TTeeCanvas3D::Ellipse(int X1, int Y1, int X2, int Y2) { FCanvas->Ellipse(X1, Y1, X2, Y2); }
void TTeeCanvas3D::Rectangle(int X0, int Y0, int X1, int Y1) { FCanvas->Rectangle(X0, Y0, X1, Y1); }
void TTeeCanvas3D::DoRectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

void TTeeCanvas3D::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    FCanvas->RoundRect(X1, Y1, X2, Y2, X3, Y3);
}

void TTeeCanvas3D::MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
void TTeeCanvas3D::LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }

void TTeeCanvas3D::Line(int X0, int Y0, int X1, int Y1) {
    MoveTo(X0, Y0);
    LineTo(X1, Y1);
}

void TTeeCanvas3D::DoHorizLine(int X0, int X1, int Y) { Line(X0, Y, X1, Y); }
void TTeeCanvas3D::DoVertLine(int X, int Y0, int Y1) { Line(X, Y0, X, Y1); }
void TTeeCanvas3D::Polygon(std::span<const TPoint> Points) { FCanvas->Polygon(Points); }
void TTeeCanvas3D::FillRect(const TRect& Rect) { FCanvas->FillRect(Rect); }
void TTeeCanvas3D::EraseBackground(const TRect& Rect) { FillRect(Rect); }

void TTeeCanvas3D::Frame3D(const TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    TRect R = Rect;
    ::Frame3D(FCanvas, R, TopColor, BottomColor, Width);
}

void TTeeCanvas3D::Draw(int X, int Y, const TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    // They colour a monochrome bitmap: its 0 pixels and its 1 pixels.
    FCanvas->SetBkColor(static_cast<TColor>(ColorToRGB(FBrush->Color())));
    FCanvas->SetTextColor(static_cast<TColor>(ColorToRGB(FFont->Color())));
    FCanvas->Draw(X, Y, Graphic);
}

void TTeeCanvas3D::StretchDraw(const TRect& Rect, const TGraphic* Graphic) {
    if (Graphic) FCanvas->StretchDraw(Rect, Graphic);
}

void TTeeCanvas3D::TextOut(int X, int Y, std::string_view Text) {
    if (FTeeFont) {
        int H = FTeeFont->Shadow()->HorizSize(), V = FTeeFont->Shadow()->VertSize();
        if (H != 0 || V != 0) {
            FCanvas->SetTextColor(FTeeFont->Shadow()->Color());
            FCanvas->TextOut(X + std::max(H, 0), Y + std::max(V, 0), Text);
            if (H < 0) X -= H;
            if (V < 0) Y -= V;
        }
    }
    FCanvas->SetTextColor(FFont->Color());
    if (!FTeeFont || !FTeeFont->OutLine()->Visible()) {
        FCanvas->TextOut(X, Y, Text);
        return;
    }
    AssignVisiblePen(FTeeFont->OutLine());
    FBrush->SetBitmap(nullptr);
    FBrush->SetColor(FFont->Color());
    FBrush->SetStyle(bsSolid);
    SetBackMode(cbmTransparent);
    FCanvas->BeginPath();
    FCanvas->TextOut(X, Y, Text);
    FCanvas->EndPath();
    FCanvas->StrokeAndFillPath();
}

int TTeeCanvas3D::ZoomedFontHeight() const {
    int Size = FFont->Size();
    int Zoomed = std::max(1, N(Size * ZoomFactor));
    return Zoomed == Size ? 0 : -MulDiv(Zoomed, FFont->PixelsPerInch(), 72);
}

void TTeeCanvas3D::TextOutInFont(int X, int Y, std::string_view Text, int Orientation, int Height) {
    TFont Previous;
    Previous.Assign(FFont);
    FFont->SetOrientation(Orientation);
    if (Height != 0) FFont->SetHeight(Height);
    try {
        TextOut(X, Y, Text);
    } catch (...) {
        FFont->Assign(&Previous);
        throw;
    }
    FFont->Assign(&Previous);
}

void TTeeCanvas3D::TextOut3D(int X, int Y, int Z, std::string_view Text) {
    Calc3DPos(X, Y, Z);
    int Height = !FTextZoomOn || ZoomFactor == 1 ? 0 : ZoomedFontHeight();
    if (Height == 0) TextOut(X, Y, Text);
    else TextOutInFont(X, Y, Text, FFont->Orientation(), Height);
}

void TTeeCanvas3D::RotateLabel(int X, int Y, std::string_view Text, double Angle) {
    FBrush->SetStyle(bsClear);
    if (Angle > 360) Angle -= 360;
    TextOutInFont(X, Y, Text, N(Angle * 10), FTextZoomOn && ZoomFactor != 1 ? ZoomedFontHeight() : 0);
}

void TTeeCanvas3D::RotateLabel3D(int X, int Y, int Z, std::string_view Text, double Angle) {
    Calc3DPos(X, Y, Z);
    RotateLabel(X, Y, Text, Angle);
}

// The fill paints bands of one colour each with a pattern copy of a solid
// brush; a brush is made only when the colour changes from one band to the
// next, so a large panel costs at most 256 brushes.
void TTeeCanvas3D::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                                TGradientDirection Direction) {
    if (!FCanvas) return;
    TColor First = StartColor, Last = EndColor;
    if (Direction != gdTopBottom && Direction != gdLeftRight) std::swap(First, Last);
    TColorRef C0 = ColorToRGB(First), C1 = ColorToRGB(Last);
    int R0 = GetRValue(C0), G0 = GetGValue(C0), B0 = GetBValue(C0);
    int DR = GetRValue(C1) - R0, DG = GetGValue(C1) - G0, DB = GetBValue(C1) - B0;
    TRect R = NormalizedRect(Rect);
    int W = R.Width(), H = R.Height();

    TBrush Saved;
    Saved.Assign(FBrush);
    bool Selected = false;
    TColor Current = 0;
    auto Band = [&](int Index, int Divisor) -> TColor {
        if (Divisor == 0) return static_cast<TColor>(C0);
        return RGB(R0 + MulDiv(Index, DR, Divisor), G0 + MulDiv(Index, DG, Divisor),
                   B0 + MulDiv(Index, DB, Divisor));
    };
    auto Paint = [&](TColor Color, int X, int Y, int PW, int PH) {
        if (!Selected || Color != Current) {
            FBrush->SetBitmap(nullptr);
            FBrush->SetColor(Color);
            FBrush->SetStyle(bsSolid);
            Selected = true;
            Current = Color;
        }
        FCanvas->PatBlt(X, Y, PW, PH, PATCOPY);
    };

    switch (Direction) {
    case gdTopBottom:
    case gdBottomTop:
    case gdLeftRight:
    case gdRightLeft: {
        bool Vertical = Direction == gdTopBottom || Direction == gdBottomTop;
        int L = Vertical ? H : W;
        int Count = std::min(L, 256);
        // Band 0 lies at the bottom (or right) edge: the stored forms rely on it.
        for (int K = 0; K < Count; ++K) {
            int From = MulDiv(K, L, Count), To = MulDiv(K + 1, L, Count);
            TColor C = Band(K, Count - 1);
            if (Vertical) Paint(C, R.Left, R.Bottom - To, W, To - From);
            else Paint(C, R.Right - To, R.Top, To - From, H);
        }
        break;
    }
    case gdFromCenter: {
        int HW = W / 2, HH = H / 2, X = 0, Y = 0;
        do {
            TColor C = Band(X + Y, HW + HH);
            Paint(C, R.Left + X, R.Top + Y, 1, H - 2 * Y);
            Paint(C, R.Right - X - 1, R.Top + Y, 1, H - 2 * Y);
            Paint(C, R.Left + X, R.Top + Y, W - 2 * X, 1);
            Paint(C, R.Left + X, R.Bottom - Y - 1, W - 2 * X, 1);
            if (X < HW) ++X;
            if (Y < HH) ++Y;
        } while (X < HW || Y < HH);
        break;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
        bool TopLeft = Direction == gdFromTopLeft;
        int I = 0, J = 0, Y0 = TopLeft ? R.Top : R.Bottom, Y = Y0;
        do {
            TColor C = Band(I + J, W + H);
            if (TopLeft) Paint(C, R.Left + I, R.Top, 1, Y - R.Top);
            else Paint(C, R.Left + I, Y, 1, R.Bottom - Y);
            // Y stays J rows from its edge (R.Top + J or R.Bottom - J), so
            // it never passes the opposite edge and needs no guard there.
            if (J < H) {
                ++J;
                if (TopLeft) {
                    Paint(C, R.Left, Y, I + 1, 1);
                    ++Y;
                } else {
                    Paint(C, R.Left, Y - 1, I + 1, 1);
                    --Y;
                }
            }
            if (I < W) ++I;
        } while (J < H || I < W);
        break;
    }
    }
    FBrush->Assign(&Saved);
}

void TTeeCanvas3D::Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle,
                         double EndAngle, double HolePercent) {
    double IRX = XRadius * HolePercent / 100, IRY = YRadius * HolePercent / 100;
    int Count = std::clamp(N((EndAngle - StartAngle) * 128 / std::numbers::pi), 2, 128);
    double Step = (EndAngle - StartAngle) / (Count - 1);
    std::vector<TPoint> P(static_cast<size_t>(2 * Count));
    for (int I = 0; I < Count; ++I) {
        double A = StartAngle + I * Step, S = std::sin(A), C = std::cos(A);
        P[static_cast<size_t>(I)] = TPoint(XCenter + N(XRadius * C), YCenter - N(YRadius * S));
        P[static_cast<size_t>(2 * Count - 1 - I)] = TPoint(XCenter + N(IRX * C), YCenter - N(IRY * S));
    }
    Polygon(P);
}

// ---------------------------------------------------------------------------
// TTeeCanvas3D: projected drawing
// ---------------------------------------------------------------------------

void TTeeCanvas3D::MoveTo3D(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    MoveTo(X, Y);
}

void TTeeCanvas3D::LineTo3D(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    LineTo(X, Y);
}

void TTeeCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
    MoveTo3D(X0, Y0, Z);
    LineTo3D(X1, Y1, Z);
}

void TTeeCanvas3D::HorizLine3D(int Left, int Right, int Y, int Z) { LineWithZ(Left, Y, Right, Y, Z); }
void TTeeCanvas3D::VertLine3D(int X, int Top, int Bottom, int Z) { LineWithZ(X, Top, X, Bottom, Z); }

void TTeeCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1) {
    MoveTo3D(X, Y, Z0);
    LineTo3D(X, Y, Z1);
}

void TTeeCanvas3D::SetPixel3D(int X, int Y, int Z, TColor Color) {
    Calc3DPos(X, Y, Z);
    if (FPen->Width() == 1) {
        SetPixel(X, Y, Color);
    } else {
        MoveTo(X, Y);
        LineTo(X, Y);
    }
}

void TTeeCanvas3D::PolygonFour() { Polygon(QuadPoints); }

void TTeeCanvas3D::PlaneFour(const TPoint3D (&Corners)[4]) {
    for (int I = 0; I < 4; ++I) QuadPoints[I] = Calc3DTPoint3D(Corners[I]);
    PolygonFour();
}

void TTeeCanvas3D::RectangleWithZ(const TRect& Rect, int Z) {
    PlaneWithZ(TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top), TPoint(Rect.Right, Rect.Bottom),
               TPoint(Rect.Left, Rect.Bottom), Z);
}

void TTeeCanvas3D::PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, int Z) {
    PlaneFour({{P1.x, P1.y, Z}, {P2.x, P2.y, Z}, {P3.x, P3.y, Z}, {P4.x, P4.y, Z}});
}

void TTeeCanvas3D::RectangleY(int Left, int Top, int Right, int Z0, int Z1) {
    PlaneFour({{Left, Top, Z0}, {Right, Top, Z0}, {Right, Top, Z1}, {Left, Top, Z1}});
}

void TTeeCanvas3D::RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) {
    PlaneFour({{Left, Top, Z0}, {Left, Top, Z1}, {Left, Bottom, Z1}, {Left, Bottom, Z0}});
}

void TTeeCanvas3D::Plane3D(TPoint A, TPoint B, int Z0, int Z1) {
    PlaneFour({{A.x, A.y, Z0}, {B.x, B.y, Z0}, {B.x, B.y, Z1}, {A.x, A.y, Z1}});
}

void TTeeCanvas3D::PlaneFour3D(const TPoint (&Points)[4], int Z0, int Z1) {
    PlaneFour({{Points[0].x, Points[0].y, Z0},
               {Points[1].x, Points[1].y, Z0},
               {Points[2].x, Points[2].y, Z1},
               {Points[3].x, Points[3].y, Z1}});
}

void TTeeCanvas3D::PolygonWithZ(std::span<const TPoint> Points, int Z) {
    std::vector<TPoint> P(Points.begin(), Points.end());
    for (TPoint& Q : P) Calc3DTPoint(Q, Z);
    Polygon(P);
}

void TTeeCanvas3D::TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, int Z) {
    TPoint P[3] = {P1, P2, P3};
    for (TPoint& Q : P) Calc3DTPoint(Q, Z);
    Polygon(P);
}

void TTeeCanvas3D::Triangle3D(const TPoint3D (&Points)[3], const TColor (&Colors)[3]) {
    if (FBrush->Style() != bsClear) FBrush->SetColor(Colors[0]);
    TPoint P[3] = {Calc3DTPoint3D(Points[0]), Calc3DTPoint3D(Points[1]), Calc3DTPoint3D(Points[2])};
    Polygon(P);
}

void TTeeCanvas3D::Surface3D(TTeeCanvasSurfaceStyle, bool, int, int, const TTeeCanvasCalcPoints&) {}

void TTeeCanvas3D::Sphere(int X, int Y, int Z, double Radius) {
    int R = N(Radius);
    EllipseWithZ(X - R, Y - R, X + R, Y + R, Z);
}

void TTeeCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
    if (FOrthogonalView) {
        TPoint A = Calculate3DPosition(X1, Y1, Z), B = Calculate3DPosition(X2, Y2, Z);
        FCanvas->Ellipse(A.x, A.y, B.x, B.y);
        return;
    }
    if (!FIs3DActive) {
        FCanvas->Ellipse(X1, Y1, X2 + 1, Y2 + 1);
        return;
    }
    int CX = (X1 + X2) / 2, CY = (Y1 + Y2) / 2, RX = (X2 - X1) / 2, RY = (Y2 - Y1) / 2;
    TPoint P[32];
    Calc3DPoint(P[0], CX, Y2, Z);
    for (int K = 1; K < 32; ++K) {
        double A = K * std::numbers::pi / 10;
        Calc3DPoint(P[K], CX + static_cast<int>(RX * std::sin(A)), CY + static_cast<int>(RY * std::cos(A)),
                    Z);
    }
    if (FBrush->Style() != bsClear) {
        TPoint Center;
        Calc3DPoint(Center, CX, CY, Z);
        TPenStyle Old = FPen->Style();
        FPen->SetStyle(psClear);
        for (int K = 0; K < 31; ++K) {
            TPoint T[3] = {Center, P[K], P[K + 1]};
            Polygon(T);
        }
        FPen->SetStyle(Old);
    }
    if (FPen->Style() != psClear) FCanvas->Polyline(P);
}

void TTeeCanvas3D::BeginShading() {
    FShadeSolid = FBrush->Style() == bsSolid;
    FShadeColor = FShadeSolid ? FBrush->Color() : GetBackColor();
}

void TTeeCanvas3D::DarkFace(int Quantity) {
    TColor C = ApplyDark(FShadeColor, Quantity);
    if (FShadeSolid) FBrush->SetColor(C);
    else SetBackColor(C);
}

void TTeeCanvas3D::EndShading() {
    if (FShadeSolid) FBrush->SetColor(FShadeColor);
    else SetBackColor(FShadeColor);
}

void TTeeCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) {
    BeginShading();
    TPoint P0 = Calculate3DPosition(Left, Top, Z0), P1 = Calculate3DPosition(Right, Top, Z0),
           P2 = Calculate3DPosition(Right, Bottom, Z0), P3 = Calculate3DPosition(Right, Top, Z1);
    QuadPoints[0] = P0;
    QuadPoints[1] = P1;
    QuadPoints[2] = P2;
    QuadPoints[3] = Calculate3DPosition(Left, Bottom, Z0);
    PolygonFour();
    TPoint Q = Calculate3DPosition(Right, Bottom, Z1);
    if (Q.x > P2.x) {
        if (DarkSides) DarkFace(DarkerColorQuantity);
        QuadPoints[0] = P1;
        QuadPoints[1] = P3;
        QuadPoints[2] = Q;
        QuadPoints[3] = P2;
        PolygonFour();
    } else {
        QuadPoints[0] = Calculate3DPosition(Left, Top, Z0);
        QuadPoints[1] = Calculate3DPosition(Left, Top, Z1);
        QuadPoints[2] = Calculate3DPosition(Left, Bottom, Z1);
        QuadPoints[3] = Calculate3DPosition(Left, Bottom, Z0);
        if (QuadPoints[2].x < QuadPoints[3].x) {
            if (DarkSides) DarkFace(DarkerColorQuantity);
            PolygonFour();
        }
    }
    TPoint T = Calculate3DPosition(Left, Top, Z1);
    if (T.y < P1.y) {
        if (DarkSides) DarkFace(DarkColorQuantity);
        QuadPoints[0] = P0;
        QuadPoints[1] = P1;
        QuadPoints[2] = P3;
        QuadPoints[3] = T;
        PolygonFour();
    }
    EndShading();
}

void TTeeCanvas3D::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                            bool Dark3D) {
    Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, 100);
}

void TTeeCanvas3D::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,
                        int ConePercent) {
    constexpr int Count = 16;
    if (ConePercent == 0) ConePercent = TeeDefaultConePercent;
    int RZ = (Z1 - Z0) / 2, CZ = (Z0 + Z1) / 2;
    int RZ2 = N(RZ * ConePercent / 100.0);
    TPoint Cap[Count + 1], Far[Count + 1];  // generators 1 .. 16
    if (Vertical) {
        int RX = (Right - Left) / 2, CX = (Left + Right) / 2;
        int Y = std::min(Top, Bottom), H = std::abs(Bottom - Top);
        int RX2 = N(RX * ConePercent / 100.0);
        for (int K = 1; K <= Count; ++K) {
            double A = (K - 4) * std::numbers::pi / 8, S = std::sin(A), C = std::cos(A);
            Far[K] = Calculate3DPosition(CX + N(RX * S), Y + H, CZ - N(RZ * C));
            Cap[K] = Calculate3DPosition(CX + N(RX2 * S), Y, CZ - N(RZ2 * C));
        }
    } else {
        int RY = (Bottom - Top) / 2, CY = (Top + Bottom) / 2;
        int X = std::max(Left, Right), L = std::abs(Right - Left);
        int RY2 = N(RY * ConePercent / 100.0);
        for (int K = 1; K <= Count; ++K) {
            double A = (K - 5) * std::numbers::pi / 8, S = std::sin(A), C = std::cos(A);
            Far[K] = Calculate3DPosition(X - L, CY + N(RY * S), CZ - N(RZ * C));
            Cap[K] = Calculate3DPosition(X, CY + N(RY2 * S), CZ - N(RZ2 * C));
        }
    }
    BeginShading();
    for (int K = 2; K <= Count; ++K) {
        int Turn = Vertical ? (Cap[K - 1].x + Far[K - 1].x) - (Far[K].x + Cap[K].x)
                            : (Cap[K - 1].y + Far[K - 1].y) - (Far[K].y + Cap[K].y);
        if (Turn >= 0) continue;
        if (Dark3D) DarkFace(16 * (K - 2));
        QuadPoints[0] = Cap[K - 1];
        QuadPoints[1] = Far[K - 1];
        QuadPoints[2] = Far[K];
        QuadPoints[3] = Cap[K];
        PolygonFour();
    }
    if (Dark3D) DarkFace(DarkColorQuantity);
    Polygon(std::span<const TPoint>(Cap + 1, Count));
    EndShading();
}

void TTeeCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                           bool DarkSides) {
    BeginShading();
    auto Triangle = [this](TPoint A, TPoint B, TPoint C) {
        TPoint P[3] = {A, B, C};
        Polygon(P);
    };
    if (Vertical) {
        TPoint Apex = Calculate3DPosition((Left + Right) / 2, Top, (Z0 + Z1) / 2);
        if (Bottom != Top) {
            TPoint A = Calculate3DPosition(Left, Bottom, Z0), B = Calculate3DPosition(Right, Bottom, Z0);
            TPoint K = Calculate3DPosition(Left, Bottom, Z1),
                   BackRight = Calculate3DPosition(Right, Bottom, Z1);
            bool BackSeen = Bottom > Top && K.y < Apex.y;
            Triangle(A, Apex, B);
            if (BackSeen) Triangle(A, Apex, K);
            if (DarkSides) DarkFace(DarkerColorQuantity);
            Triangle(B, Apex, BackRight);
            if (BackSeen) Triangle(Apex, K, BackRight);
        }
        if (Bottom <= Top) {
            if (DarkSides) DarkFace(DarkColorQuantity);
            RectangleY(Left, Bottom, Right, Z0, Z1);
        }
    } else {
        TPoint Apex = Calculate3DPosition(Right, (Top + Bottom) / 2, (Z0 + Z1) / 2);
        if (Left != Right) {
            TPoint FrontTop = Calculate3DPosition(Left, Top, Z0);
            Triangle(FrontTop, Apex, Calculate3DPosition(Left, Bottom, Z0));
            if (DarkSides) DarkFace(DarkColorQuantity);
            Triangle(FrontTop, Apex, Calculate3DPosition(Left, Top, Z1));
        }
        if (Left >= Right) {
            if (DarkSides) DarkFace(DarkerColorQuantity);
            RectangleZ(Left, Top, Bottom, Z0, Z1);
        }
    }
    EndShading();
}

void TTeeCanvas3D::PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) {
    int MX = (R.Left + R.Right) / 2, MZ = (StartZ + EndZ) / 2;
    auto Quad = [this](TPoint3D A, TPoint3D B, TPoint3D C, TPoint3D D) { PlaneFour({A, B, C, D}); };
    auto Base = [&] { RectangleY(R.Left, R.Bottom, R.Right, StartZ, EndZ); };
    auto TopFace = [&] {
        if (TruncX != 0) RectangleY(MX - TruncX, R.Top, MX + TruncX, MZ - TruncZ, MZ + TruncZ);
    };
    bool BaseFirst = R.Bottom > R.Top;
    if (BaseFirst) Base();
    else TopFace();
    Quad({MX - TruncX, R.Top, MZ + TruncZ}, {MX + TruncX, R.Top, MZ + TruncZ}, {R.Right, R.Bottom, EndZ},
         {R.Left, R.Bottom, EndZ});
    Quad({MX - TruncX, R.Top, MZ - TruncZ}, {MX - TruncX, R.Top, MZ + TruncZ}, {R.Left, R.Bottom, EndZ},
         {R.Left, R.Bottom, StartZ});
    Quad({MX - TruncX, R.Top, MZ - TruncZ}, {MX + TruncX, R.Top, MZ - TruncZ}, {R.Right, R.Bottom, StartZ},
         {R.Left, R.Bottom, StartZ});
    Quad({MX + TruncX, R.Top, MZ - TruncZ}, {MX + TruncX, R.Top, MZ + TruncZ}, {R.Right, R.Bottom, EndZ},
         {R.Right, R.Bottom, StartZ});
    if (BaseFirst) TopFace();
    else Base();
}

void TTeeCanvas3D::Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
                         double StartAngle, double EndAngle, bool DarkSides, bool DrawSides) {
    int Count = std::min(30, N(std::abs(EndAngle - StartAngle) * 180 / std::numbers::pi / 10)) + 2;
    double Step = (EndAngle - StartAngle) / (Count - 1);
    // Points 1 .. Count, as the rules below count them.
    std::vector<TPoint> Face(static_cast<size_t>(Count) + 1), Back(static_cast<size_t>(Count) + 1);
    for (int I = 1; I <= Count; ++I) {
        double A = StartAngle + (I - 1) * Step;
        int X = XCenter + N(XRadius * std::cos(A)), Y = YCenter - N(YRadius * std::sin(A));
        Face[static_cast<size_t>(I)] = Calculate3DPosition(X, Y, Z1);
        Back[static_cast<size_t>(I)] = Calculate3DPosition(X, Y, Z0);
    }
    auto F = [&](int I) { return Face[static_cast<size_t>(I)]; };
    auto B = [&](int I) { return Back[static_cast<size_t>(I)]; };
    TPoint Center = Calculate3DPosition(XCenter, YCenter, Z1);
    TPoint BackCenter = Calculate3DPosition(XCenter, YCenter, Z0);
    BeginShading();
    if (DrawSides) {
        auto Side = [&](int I) {
            if (DarkSides) DarkFace(32);
            QuadPoints[0] = Center;
            QuadPoints[1] = F(I);
            QuadPoints[2] = B(I);
            QuadPoints[3] = BackCenter;
            PolygonFour();
        };
        if (F(Count).x < XCenter) Side(Count);
        if (XCenter < F(1).x) Side(1);
    }
    EndShading();
    std::vector<TPoint> Top;
    Top.push_back(Center);
    for (int I = 1; I <= Count; ++I) Top.push_back(F(I));
    Polygon(Top);

    auto Rises = [&](int I) { return F(I).x > F(I - 1).x; };
    auto DrawBand = [&](int S, int E) {
        std::vector<TPoint> P;
        for (int I = S; I <= E; ++I) P.push_back(F(I));
        for (int I = E; I >= S; --I) P.push_back(B(I));
        if (DarkSides) DarkFace(32);
        Polygon(P);
    };
    int First = 0;
    for (int I = 2; I <= Count; ++I)
        if (Rises(I)) {
            First = I;
            break;
        }
    if (First != 0) {
        int S = First - 1, E = 0;
        for (int J = First + 1; J <= Count - 1; ++J)
            if (F(J + 1).x < F(J).x) {
                E = J;
                break;
            }
        if (E == 0 && !(F(Count).x < F(Count - 1).x)) E = Count;
        if (E != 0) DrawBand(S, E);
        if (E != Count && Rises(Count)) {
            int K = Count - 1;
            while (K > 1 && Rises(K)) --K;
            if (K > 1) DrawBand(K, Count);
        }
    }
    EndShading();
}

void TTeeCanvas3D::Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, int ArrowWidth, int ArrowHeight,
                         int Z) {
    double DX = ToPoint.x - FromPoint.x, DY = FromPoint.y - ToPoint.y;
    double L = std::sqrt(DX * DX + DY * DY);
    if (L == 0) return;
    double H = std::min(N(L), ArrowHeight);
    double S = DY / L, C = DX / L;
    double U = ToPoint.x * C - ToPoint.y * S, V = ToPoint.x * S + ToPoint.y * C;
    auto Back = [&](double U1, double V1) {
        TPoint P(N(U1 * C + V1 * S), N(-U1 * S + V1 * C));
        Calc3DTPoint(P, Z);
        return P;
    };
    double HalfW = ArrowWidth / 2.0, QuarterW = ArrowWidth / 4.0;
    TPoint Tip = ToPoint;
    Calc3DTPoint(Tip, Z);
    TPoint Head1 = Back(U - H, V - HalfW), Head2 = Back(U - H, V + HalfW);
    if (!Filled) {
        TPoint From = FromPoint;
        Calc3DTPoint(From, Z);
        Line(From.x, From.y, Tip.x, Tip.y);
        Line(Tip.x, Tip.y, Head1.x, Head1.y);
        Line(Tip.x, Tip.y, Head2.x, Head2.y);
        return;
    }
    double FU = FromPoint.x * C - FromPoint.y * S;
    TPoint P[7] = {
        Back(FU, V + QuarterW),   Back(FU, V - QuarterW), Back(U - H, V - QuarterW), Head1, Tip, Head2,
        Back(U - H, V + QuarterW)};
    Polygon(P);
}

// ---------------------------------------------------------------------------
// TTeeBlend
// ---------------------------------------------------------------------------

TTeeBlend::TTeeBlend(TTeeCanvas3D* ACanvas, const TRect& R)
    : FBitmap(std::make_unique<TBitmap>()), FRect(R), FCanvas(ACanvas) {
    FBitmap->SetPixelFormat(pf24bit);
    FBitmap->SetSize(R.Width(), R.Height());
    const TCanvas* Source =
        ACanvas->BufferBitmap() ? ACanvas->BufferBitmap()->Canvas() : ACanvas->ReferenceCanvas();
    FBitmap->Canvas()->CopyRect(TRect(0, 0, R.Width(), R.Height()), Source, R);
}

TTeeBlend::~TTeeBlend() = default;

void TTeeBlend::DoBlend(int Transparency) {
    TBitmap* Target = FCanvas->BufferBitmap();
    std::unique_ptr<TBitmap> Own;
    int OX = FRect.Left, OY = FRect.Top;
    if (!Target) {
        Own = std::make_unique<TBitmap>(FRect.Width(), FRect.Height());
        Own->Canvas()->CopyRect(TRect(0, 0, FRect.Width(), FRect.Height()), FCanvas->ReferenceCanvas(),
                                FRect);
        Target = Own.get();
        OX = OY = 0;
    }
    OX = std::max(OX, 0);
    OY = std::max(OY, 0);
    int W = std::min(FBitmap->Width(), Target->Width() - OX);
    int H = std::min(FBitmap->Height(), Target->Height() - OY);
    if (W <= 0 || H <= 0) return;
    double E = (100 - Transparency) / 100.0;
    const TSurface& Old = FBitmap->Surface();
    TSurface& New = Target->Surface();
    std::vector<uint32_t> OldRow(static_cast<size_t>(W)), NewRow(static_cast<size_t>(W));
    auto Mix = [E](uint32_t O, uint32_t N1, int Shift) {
        double A = (O >> Shift) & 0xFF, B = (N1 >> Shift) & 0xFF;
        return static_cast<uint32_t>(N(A * (1 - E) + B * E)) << Shift;
    };
    for (int Y = 0; Y < H; ++Y) {
        Old.ReadSpan(0, Y, W, OldRow.data());
        New.ReadSpan(OX, OY + Y, W, NewRow.data());
        for (size_t X = 0; X < static_cast<size_t>(W); ++X)
            NewRow[X] =
                Mix(OldRow[X], NewRow[X], 16) | Mix(OldRow[X], NewRow[X], 8) | Mix(OldRow[X], NewRow[X], 0);
        New.WriteSpan(OX, OY + Y, W, NewRow.data());
    }
    New.Touch();
    if (Own) FCanvas->ReferenceCanvas()->Draw(FRect.Left, FRect.Top, Own.get());
}

// ---------------------------------------------------------------------------
// Colour buttons and the colour dialog
// ---------------------------------------------------------------------------

TStrings* TeeCustomEditColors() { return CustomEditColors().get(); }

TColor EditColor(TComponent* AOwner, TColor AColor) {
    auto* Dialog = NewComponent<TColorDialog>(AOwner);
    try {
        Dialog->SetColor(AColor);
        auto& Custom = CustomEditColors();
        if (!Custom) Custom = std::make_unique<TStringList>();
        else Dialog->SetCustomColors(Custom.get());
        if (Dialog->Execute()) {
            Custom->Assign(Dialog->CustomColors());
            AColor = Dialog->Color();
        }
    } catch (...) {
        Dialog->Free();
        throw;
    }
    Dialog->Free();
    return AColor;
}

TTeeButton::TTeeButton(TComponent* AOwner) : TButton(AOwner) { SetBounds(Left(), Top(), 75, 25); }

void TTeeButton::DescribeProperties(TPropertyTable& T) {
    T.Property("Height", &TControl::Height, &TControl::SetHeight).Default(25);
    T.Property("Width", &TControl::Width, &TControl::SetWidth).Default(75);
}

void TTeeButton::LinkProperty(TObject* Instance, std::string_view PropName) {
    FLinkedInstance = Instance;
    FLinkedProperty = Instance ? GetPropInfo(Instance, PropName) : nullptr;
}

void TTeeButton::DrawSymbol(TCanvas*) { throw EAbstractError("Abstract Error"); }

void TTeeButton::WMPaint(TMessage& Message) {
    // The custom-paint state makes the paint go through PaintWindow.
    FControlState.Include(csCustomPaint);
    try {
        TButton::WMPaint(Message);
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        throw;
    }
    FControlState.Exclude(csCustomPaint);
}

void TTeeButton::PaintWindow(HDC DC) {
    TButton::PaintWindow(DC);
    if (!FLinkedInstance) return;
    TCanvas Canvas;
    AdoptDC(Canvas, DC);
    try {
        DrawSymbol(&Canvas);
    } catch (...) {
        AdoptDC(Canvas, nullptr);
        throw;
    }
    AdoptDC(Canvas, nullptr);
}

void TTeeButton::CMEnabledChanged(TMessage& Message) {
    TButton::CMEnabledChanged(Message);
    Repaint();
}

TColor TButtonColor::GetTeeColor() const {
    if (Assigned(GetColorHandler)) return GetColorHandler();
    if (FLinkedProperty) return static_cast<TColor>(FLinkedProperty->GetOrd(FLinkedInstance));
    return clNone;
}

void TButtonColor::DrawSymbol(TCanvas* ACanvas) {
    TColor Color = GetTeeColor();
    if (Color == clNone) return;
    ACanvas->Brush()->SetColor(Color);
    if (!Enabled()) ACanvas->Pen()->SetStyle(psClear);
    ACanvas->Rectangle(Width() - 19, Height() - 19, Width() - 6, Height() - 7);
}

// A button linked to a property that does not exist opens no dialog: there
// is nothing to edit, and the click still reaches OnClick.
void TButtonColor::Click() {
    if (FLinkedInstance && FLinkedProperty) {
        TColor Color = EditColor(this, GetTeeColor());
        FLinkedProperty->SetOrd(FLinkedInstance, Color);
        Repaint();
    }
    TTeeButton::Click();
}
