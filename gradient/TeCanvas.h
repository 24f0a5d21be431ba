#pragma once
// The drawing layer of the gradient panel: its pens, brushes, fonts and view
// settings, and the 3D canvas through which every panel draws.
//
// TTeeCanvas is the drawing interface with the state all its kinds share
// (the surface drawn on and the rules for giving it pens, brushes and
// fonts); TCanvas3D adds the operations on points with a depth; TTeeCanvas3D
// is the one kind there is: it projects 3D points (an oblique view, or a
// rotation with elevation, tilt and perspective), draws into an off-screen
// bitmap while buffering is on, and draws everything through a TCanvas.
// Every operation is virtual so that a descendant (a recording canvas in the
// tests) sees what the figures draw. The unit also has the colour buttons of
// the library's editing screens and the colour dialog routine.
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <span>
#include <string_view>
#include <vector>

#include "platform/classes/Properties.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Object.h"
#include "platform/ui/StdCtrls.h"

class TWinControl;
class TTeeCanvas;

// --- constants and small routines ---
constexpr long double TeePiStep = std::numbers::pi_v<long double> / 180;
constexpr int TeeDefaultConePercent = 10;
constexpr int DarkerColorQuantity = 128;
constexpr int DarkColorQuantity = 64;

struct TPoint3D {
    int32_t x = 0, y = 0, z = 0;
    constexpr bool operator==(const TPoint3D&) const = default;
};
constexpr TPoint3D Point3D(int X, int Y, int Z) { return {X, Y, Z}; }

void SinCos(long double Angle, long double& Sin, long double& Cos);
// The angle of the vector (X, Y), -pi .. pi.
long double ArcTan2(long double Y, long double X);
void RectSize(const TRect& R, int& Width, int& Height);
// Halves truncated towards zero.
void RectCenter(const TRect& R, int& X, int& Y);
double MaxDouble(double A, double B);
double MinDouble(double A, double B);
int MaxLong(int A, int B);
int MinLong(int A, int B);
void SwapDouble(double& A, double& B);
void SwapInteger(int& A, int& B);
// Each channel of the colour (resolved to RGB) less Quantity, not below 0.
TColor ApplyDark(TColor Color, int Quantity);
// Each channel plus Quantity, not above 255.
TColor ApplyBright(TColor Color, int Quantity);

// --- pens ---
// A pen that can be hidden, or drawn every other pixel (SmallDots).
class TChartPen : public TPen {
    ZELMOR_CLASS(TChartPen, TPen)
public:
    explicit TChartPen(TNotifyEvent ChangeEvent = {});
    static void DescribeProperties(TPropertyTable& T);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool SmallDots() const { return FSmallDots; }
    void SetSmallDots(bool Value);
    void Assign(TPersistent* Source) override;

private:
    bool FVisible = true;
    bool FSmallDots = false;
};

class TChartHiddenPen : public TChartPen {
    ZELMOR_CLASS(TChartHiddenPen, TChartPen)
public:
    explicit TChartHiddenPen(TNotifyEvent ChangeEvent = {});
    static void DescribeProperties(TPropertyTable& T);
};

class TDottedGrayPen : public TChartPen {
    ZELMOR_CLASS(TDottedGrayPen, TChartPen)
public:
    explicit TDottedGrayPen(TNotifyEvent ChangeEvent = {});
    static void DescribeProperties(TPropertyTable& T);
};

class TDarkGrayPen : public TChartPen {
    ZELMOR_CLASS(TDarkGrayPen, TChartPen)
public:
    explicit TDarkGrayPen(TNotifyEvent ChangeEvent = {});
    static void DescribeProperties(TPropertyTable& T);
};

class TChartAxisPen : public TChartPen {
    ZELMOR_CLASS(TChartAxisPen, TChartPen)
public:
    explicit TChartAxisPen(TNotifyEvent ChangeEvent = {});
    static void DescribeProperties(TPropertyTable& T);
};

class TChartArrowPen : public TChartPen {
    ZELMOR_CLASS(TChartArrowPen, TChartPen)
public:
    explicit TChartArrowPen(TNotifyEvent ChangeEvent = {});
    static void DescribeProperties(TPropertyTable& T);
};

// --- brushes ---
// A brush that may carry a picture to fill with.
class TChartBrush : public TBrush {
    ZELMOR_CLASS(TChartBrush, TBrush)
public:
    explicit TChartBrush(TNotifyEvent ChangeEvent = {});
    ~TChartBrush() override;
    static void DescribeProperties(TPropertyTable& T);
    TPicture* Image() const { return FImage.get(); }
    void SetImage(TPicture* Value) { FImage->Assign(Value); }
    void Assign(TPersistent* Source) override;

private:
    std::unique_ptr<TPicture> FImage;
};

// --- fonts ---
class TTeeShadow : public TPersistent {
    ZELMOR_CLASS(TTeeShadow, TPersistent)
public:
    explicit TTeeShadow(TNotifyEvent ChangeNotify = {});
    static void DescribeProperties(TPropertyTable& T);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Positive sizes put the shadow right of and below the text, negative
    // ones left of and above it.
    int HorizSize() const { return FHorizSize; }
    void SetHorizSize(int Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    void Assign(TPersistent* Source) override;
    TNotifyEvent ChangeNotify;

private:
    void SetIntegerProperty(int& Field, int Value);
    TColor FColor = clSilver;
    int FHorizSize = 0, FVertSize = 0;
};

// A font with a shadow, an outline and extra spacing between characters.
class TTeeFont : public TFont {
    ZELMOR_CLASS(TTeeFont, TFont)
    friend class TTeeCanvas;

public:
    explicit TTeeFont(TNotifyEvent ChangeEvent = {});
    ~TTeeFont() override;
    static void DescribeProperties(TPropertyTable& T);
    int InterCharSize() const { return FInterCharSize; }
    void SetInterCharSize(int Value);
    TChartHiddenPen* OutLine() const { return FOutLine.get(); }
    void SetOutLine(TChartHiddenPen* Value) { FOutLine->Assign(Value); }
    TTeeShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TTeeShadow* Value) { FShadow->Assign(Value); }
    // The canvas that took this font last.
    TTeeCanvas* OwnerCanvas() const { return FOwnerCanvas; }
    TColor DefaultColor = clBlack;
    TFontStyles DefaultStyle;
    void Assign(TPersistent* Source) override;

    // A form stores only what differs from the library's default font.
    bool IsColorStored() const { return Color() != DefaultColor; }
    bool IsHeightStored() const;
    bool IsNameStored() const;
    bool IsStyleStored() const { return Style() != DefaultStyle; }

private:
    int FInterCharSize = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TTeeShadow> FShadow;
    TTeeCanvas* FOwnerCanvas = nullptr;
};

// The library's default face and size: "Arial" 8, or on a Japanese system
// the platform's default font. The system's language is the one of the
// regional settings (their language identifier).
AnsiString GetDefaultFontName();
int GetDefaultFontSize();

// --- 3D view settings ---
using TTeeView3DScrolled = TEvent<void(bool IsHoriz)>;
using TTeeView3DChangedZoom = TEvent<void(int NewZoom)>;

class TView3DOptions : public TPersistent {
    ZELMOR_CLASS(TView3DOptions, TPersistent)
public:
    explicit TView3DOptions(TWinControl* ParentControl);
    static void DescribeProperties(TPropertyTable& T);

    int Elevation() const { return FElevation; }
    void SetElevation(int Value) { SetIntegerProperty(FElevation, Value); }
    int HorizOffset() const { return FHorizOffset; }
    void SetHorizOffset(int Value);
    bool Orthogonal() const { return FOrthogonal; }
    void SetOrthogonal(bool Value);
    int OrthoAngle() const { return FOrthoAngle; }
    void SetOrthoAngle(int Value) { SetIntegerProperty(FOrthoAngle, Value); }
    int Perspective() const { return FPerspective; }
    void SetPerspective(int Value) { SetIntegerProperty(FPerspective, Value); }
    int Rotation() const { return FRotation; }
    void SetRotation(int Value) { SetIntegerProperty(FRotation, Value); }
    int Tilt() const { return FTilt; }
    void SetTilt(int Value) { SetIntegerProperty(FTilt, Value); }
    int VertOffset() const { return FVertOffset; }
    void SetVertOffset(int Value);
    int Zoom() const { return FZoom; }
    void SetZoom(int Value);
    bool ZoomText() const { return FZoomText; }
    void SetZoomText(bool Value);

    TWinControl* ParentControl() const { return FParentControl; }
    void Repaint();
    void Assign(TPersistent* Source) override;

    TTeeView3DScrolled ScrolledNotify;
    TTeeView3DChangedZoom ZoomChangeNotify;

private:
    void SetIntegerProperty(int& Field, int Value);
    int FElevation = 345;
    int FHorizOffset = 0;
    bool FOrthogonal = true;
    int FOrthoAngle = 45;
    int FPerspective = 15;
    int FRotation = 345;
    int FTilt = 0;
    int FVertOffset = 0;
    int FZoom = 100;
    bool FZoomText = true;
    TWinControl* FParentControl;
};

// --- the canvas ---
enum TCanvasBackMode : uint8_t { cbmNone, cbmTransparent, cbmOpaque };
enum TTeeCanvasSurfaceStyle : uint8_t { tcsSolid, tcsWire, tcsDot };
// How a gradient runs. gdTopBottom puts the start colour at the BOTTOM edge
// and gdLeftRight at the RIGHT edge (gdBottomTop and gdRightLeft the other
// way round): the program's stored forms rely on this placement, keep it.
enum TGradientDirection : uint8_t {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft
};
ZELMOR_DECLARE_ENUM(TGradientDirection);

using TTeeCanvasCalcPoints =
    std::function<bool(int X, int Z, TPoint3D& P0, TPoint3D& P1, TColor& Color0, TColor& Color1)>;

class TTeeCanvas : public TObject {
    ZELMOR_CLASS(TTeeCanvas, TObject)
    friend class TTeeFont;

public:
    TTeeCanvas() = default;
    ~TTeeCanvas() override;

    // The canvas drawn on now (a window's, the buffer bitmap's, a printer's).
    TCanvas* ReferenceCanvas() const { return FCanvas; }
    TPen* Pen() const { return FPen; }
    TBrush* Brush() const { return FBrush; }
    TFont* Font() const { return FFont; }
    // Set by a panel while it draws into a metafile.
    bool Metafiling() const { return FMetafiling; }
    void SetMetafiling(bool Value) { FMetafiling = Value; }
    // The font given to AssignFont last, whose shadow and outline the text honours.
    TTeeFont* CurrentTeeFont() const { return FTeeFont; }

    void SetCanvas(TCanvas* ACanvas);
    // Pen black, 1, solid; brush white, solid; font black, 10; back colour white, transparent.
    void ResetState();
    void AssignBrush(TChartBrush* ABrush, TColor AColor);
    // The fill colour is AColor; hatch gaps and pictures show ABackColor.
    void AssignBrushColor(TChartBrush* ABrush, TColor AColor, TColor ABackColor);
    void AssignVisiblePen(TPen* APen);
    void AssignVisiblePenColor(TPen* APen, TColor AColor);
    void AssignFont(TTeeFont* AFont);
    int FontHeight() { return TextHeight("W"); }

    // --- the interface every canvas answers ---
    virtual TColor GetBackColor() const;
    virtual TCanvasBackMode GetBackMode() const;
    virtual TCanvas* GetHandle() const;
    virtual bool GetMonochrome() const;
    virtual uint32_t GetTextAlign() const;
    virtual bool GetUseBuffer() const;
    virtual void SetBackColor(TColor Color);
    virtual void SetBackMode(TCanvasBackMode Mode);
    virtual void SetMonochrome(bool Value);
    virtual void SetPixel(int X, int Y, TColor Color);
    virtual void SetTextAlign(uint32_t Align);
    virtual void SetUseBuffer(bool Value);
    virtual void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // A flat ring between Start and End (radians), the hole HolePercent of the radii.
    virtual void Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                       double HolePercent);
    virtual void Draw(int X, int Y, const TGraphic* Graphic);
    virtual void Ellipse(int X1, int Y1, int X2, int Y2);
    virtual void FillRect(const TRect& Rect);
    // Width nested one-pixel frames; the caller's rectangle stays as it is.
    virtual void Frame3D(const TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
    virtual void LineTo(int X, int Y);
    virtual void MoveTo(int X, int Y);
    virtual void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    virtual void Rectangle(int X0, int Y0, int X1, int Y1);
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    virtual void StretchDraw(const TRect& Rect, const TGraphic* Graphic);
    virtual void TextOut(int X, int Y, std::string_view Text);
    virtual int TextWidth(std::string_view Text);
    virtual int TextHeight(std::string_view Text);
    virtual void ClipRectangle(const TRect& Rect);
    virtual void DoHorizLine(int X0, int X1, int Y);
    virtual void DoRectangle(const TRect& Rect);
    virtual void DoVertLine(int X, int Y0, int Y1);
    virtual void EraseBackground(const TRect& Rect);
    virtual void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                              TGradientDirection Direction);
    virtual void Invalidate();
    virtual void Line(int X0, int Y0, int X1, int Y1);
    virtual void Polygon(std::span<const TPoint> Points);
    virtual void RotateLabel(int X, int Y, std::string_view Text, double Angle);
    virtual void UnClipRectangle();

protected:
    TCanvas* FCanvas = nullptr;
    TPen* FPen = nullptr;
    TBrush* FBrush = nullptr;
    TFont* FFont = nullptr;
    bool FMetafiling = false;
    TTeeFont* FTeeFont = nullptr;
};

class TCanvas3D : public TTeeCanvas {
    ZELMOR_CLASS(TCanvas3D, TTeeCanvas)
public:
    TView3DOptions* View3DOptions() const { return FView3DOptions; }
    void SetView3DOptions(TView3DOptions* Value) { FView3DOptions = Value; }
    bool OrthogonalView() const { return FOrthogonalView; }
    // Added to the projection centre; zero unless a caller sets them.
    struct {
        double X = 0, Y = 0, Z = 0;
    } RotationOffset;

    // The rectangle whose corners are the projections of R's corners at Z.
    TRect CalcRect3D(const TRect& R, int Z);

    virtual bool GetSupportsFullRotation() const;
    virtual bool GetSupports3DText() const;
    virtual void SetPixel3D(int X, int Y, int Z, TColor Color);
    // The surface point back to the 3D point at depth Z (perspective is not undone).
    virtual void Calculate2DPosition(int& X, int& Y, int Z);
    virtual TPoint Calculate3DPosition(int X, int Y, int Z);
    // Prepares a draw on DestCanvas into UserRect; answers the rectangle to draw into.
    virtual TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                             const TRect& UserRect);
    virtual void Assign(TCanvas3D* Source);
    virtual void Projection(int MaxDepth, const TRect& ABounds, const TRect& ARect);
    // Copies the buffer to DestCanvas at the corner of UserRect and draws on DefaultCanvas again.
    virtual void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect);
    // Copies a clean buffer to the surface; false (and no copy) when it is dirty.
    virtual bool ReDrawBitmap();
    virtual void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, int ArrowWidth, int ArrowHeight, int Z);
    virtual void ClipCube(const TRect& Rect, int MinZ, int MaxZ);
    virtual void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,
                      int ConePercent);
    virtual void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides);
    virtual void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                          bool Dark3D);
    virtual void HorizLine3D(int Left, int Right, int Y, int Z);
    virtual void VertLine3D(int X, int Top, int Bottom, int Z);
    virtual void ZLine3D(int X, int Y, int Z0, int Z1);
    virtual void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z);
    virtual void FrontPlaneBegin();
    virtual void FrontPlaneEnd();
    virtual void LineWithZ(int X0, int Y0, int X1, int Y1, int Z);
    virtual void MoveTo3D(int X, int Y, int Z);
    virtual void LineTo3D(int X, int Y, int Z);
    // Angles in radians, growing counter-clockwise on the surface.
    virtual void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                       double EndAngle, bool DarkSides, bool DrawSides);
    virtual void Plane3D(TPoint A, TPoint B, int Z0, int Z1);
    virtual void PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, int Z);
    virtual void PlaneFour3D(const TPoint (&Points)[4], int Z0, int Z1);
    virtual void PolygonWithZ(std::span<const TPoint> Points, int Z);
    virtual void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                         bool DarkSides);
    virtual void PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ);
    virtual void RectangleWithZ(const TRect& Rect, int Z);
    virtual void RectangleY(int Left, int Top, int Right, int Z0, int Z1);
    virtual void RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1);
    virtual void RotateLabel3D(int X, int Y, int Z, std::string_view Text, double Angle);
    virtual void Sphere(int X, int Y, int Z, double Radius);
    virtual void Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, int NumXValues, int NumZValues,
                           const TTeeCanvasCalcPoints& CalcPoints);
    virtual void TextOut3D(int X, int Y, int Z, std::string_view Text);
    virtual void Triangle3D(const TPoint3D (&Points)[3], const TColor (&Colors)[3]);
    virtual void TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, int Z);

protected:
    TView3DOptions* FView3DOptions = nullptr;
    bool FOrthogonalView = false;
};

class TTeeCanvas3D : public TCanvas3D {
    ZELMOR_CLASS(TTeeCanvas3D, TCanvas3D)
public:
    TTeeCanvas3D() = default;
    ~TTeeCanvas3D() override;

    // --- the projection in force (set by InitWindow and Projection) ---
    int CenterX = 0, CenterY = 0, CenterZ = 0;
    int ScreenCenterX = 0, ScreenCenterY = 0;
    long double ElevationSine = 0;
    // The rotation coefficients.
    double PerspectiveDX = 0, XFromY = 0, YFromY = 0, PerspectiveDZ = 0, XFromX = 0, YFromX = 0, XFromZ = 0,
           YFromZ = 0;
    double OrthoTangent = 0, PerspectiveFactor = 0, ZoomFactor = 1.0;
    bool Is3DActive() const { return FIs3DActive; }
    bool TextZoomOn() const { return FTextZoomOn; }
    TBitmap* BufferBitmap() const { return FBufferBitmap.get(); }
    bool BufferDirty() const { return FBufferDirty; }
    TRect WindowBounds() const { return FWindowBounds; }
    // The corners of the last quadrilateral the plane operations drew.
    TPoint QuadPoints[4];

    void Calc3DPos(int& X, int& Y, int Z) const;
    void Calc3DPoint(TPoint& P, int X, int Y, int Z) const;
    void Calc3DTPoint(TPoint& P, int Z) const;
    TPoint Calc3DTPoint3D(const TPoint3D& P) const;
    void TransferBitmap(int Left, int Top, TCanvas* ACanvas);
    void DeleteBitmap();

    // --- TTeeCanvas ---
    TCanvas* GetHandle() const override;
    bool GetMonochrome() const override { return FMonochrome; }
    uint32_t GetTextAlign() const override;
    bool GetUseBuffer() const override { return FUseBuffer; }
    void SetMonochrome(bool Value) override;
    void SetPixel(int X, int Y, TColor Color) override;
    void SetTextAlign(uint32_t Align) override;
    void SetUseBuffer(bool Value) override;
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
               double HolePercent) override;
    void Draw(int X, int Y, const TGraphic* Graphic) override;
    void Ellipse(int X1, int Y1, int X2, int Y2) override;
    void FillRect(const TRect& Rect) override;
    void Frame3D(const TRect& Rect, TColor TopColor, TColor BottomColor, int Width) override;
    void LineTo(int X, int Y) override;
    void MoveTo(int X, int Y) override;
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Rectangle(int X0, int Y0, int X1, int Y1) override;
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override;
    void StretchDraw(const TRect& Rect, const TGraphic* Graphic) override;
    void TextOut(int X, int Y, std::string_view Text) override;
    void ClipRectangle(const TRect& Rect) override;
    void DoHorizLine(int X0, int X1, int Y) override;
    void DoRectangle(const TRect& Rect) override;
    void DoVertLine(int X, int Y0, int Y1) override;
    void EraseBackground(const TRect& Rect) override;
    void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                      TGradientDirection Direction) override;
    void Invalidate() override;
    void Line(int X0, int Y0, int X1, int Y1) override;
    void Polygon(std::span<const TPoint> Points) override;
    void RotateLabel(int X, int Y, std::string_view Text, double Angle) override;
    void UnClipRectangle() override;

    // --- TCanvas3D ---
    bool GetSupportsFullRotation() const override { return false; }
    bool GetSupports3DText() const override { return false; }
    void SetPixel3D(int X, int Y, int Z, TColor Color) override;
    void Calculate2DPosition(int& X, int& Y, int Z) override;
    TPoint Calculate3DPosition(int X, int Y, int Z) override;
    TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                     const TRect& UserRect) override;
    void Projection(int MaxDepth, const TRect& ABounds, const TRect& ARect) override;
    void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) override;
    bool ReDrawBitmap() override;
    void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, int ArrowWidth, int ArrowHeight,
               int Z) override;
    void ClipCube(const TRect& Rect, int MinZ, int MaxZ) override;
    void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,
              int ConePercent) override;
    void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) override;
    void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                  bool Dark3D) override;
    void HorizLine3D(int Left, int Right, int Y, int Z) override;
    void VertLine3D(int X, int Top, int Bottom, int Z) override;
    void ZLine3D(int X, int Y, int Z0, int Z1) override;
    void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
    void FrontPlaneBegin() override;
    void FrontPlaneEnd() override;
    void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
    void MoveTo3D(int X, int Y, int Z) override;
    void LineTo3D(int X, int Y, int Z) override;
    void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
               double EndAngle, bool DarkSides, bool DrawSides) override;
    void Plane3D(TPoint A, TPoint B, int Z0, int Z1) override;
    void PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, int Z) override;
    void PlaneFour3D(const TPoint (&Points)[4], int Z0, int Z1) override;
    void PolygonWithZ(std::span<const TPoint> Points, int Z) override;
    void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                 bool DarkSides) override;
    void PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) override;
    void RectangleWithZ(const TRect& Rect, int Z) override;
    void RectangleY(int Left, int Top, int Right, int Z0, int Z1) override;
    void RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) override;
    void RotateLabel3D(int X, int Y, int Z, std::string_view Text, double Angle) override;
    void Sphere(int X, int Y, int Z, double Radius) override;
    void Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, int NumXValues, int NumZValues,
                   const TTeeCanvasCalcPoints& CalcPoints) override;
    void TextOut3D(int X, int Y, int Z, std::string_view Text) override;
    void Triangle3D(const TPoint3D (&Points)[3], const TColor (&Colors)[3]) override;
    void TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, int Z) override;

protected:
    // Fills and outlines the quadrilateral of QuadPoints.
    void PolygonFour();
    // The same for the projections of four 3D corners.
    void PlaneFour(const TPoint3D (&Corners)[4]);
    // Side faces are darkened from the colour the figure started with, never
    // from one already darkened.
    void BeginShading();
    void DarkFace(int Quantity);
    void EndShading();
    // TextOut in the surface font turned to Orientation and, unless Height
    // is 0, of that height; the font is given back after.
    void TextOutInFont(int X, int Y, std::string_view Text, int Orientation, int Height);
    // The font's height scaled by the zoom; 0 when the zoom leaves it as it is.
    int ZoomedFontHeight() const;

private:
    void CalcRotation();
    bool FIs3DActive = false;
    bool FSavedIs3D = false;
    std::unique_ptr<TBitmap> FBufferBitmap;
    bool FUseBuffer = true;
    bool FMonochrome = false;
    bool FBufferDirty = true;
    TRect FWindowBounds;
    bool FTextZoomOn = true;
    TColor FShadeColor = clBlack;
    bool FShadeSolid = true;
};

// --- clipping ---
// One level: a clip records the device clip it narrows, and UnClipCanvas
// puts that back. The record is one for the process, so clips do not nest
// and are not kept apart per canvas.
void ClipCanvas(TCanvas* ACanvas, const TRect& Rect);
void ClipRoundRectangle(TCanvas* ACanvas, const TRect& Rect, int RoundSize);
// The points are turned into device coordinates in place.
void ClipPolygon(TCanvas* ACanvas, std::span<TPoint> Points);
void UnClipCanvas(TCanvas* ACanvas);

// --- transparency ---
// Keeps a copy of a rectangle of the canvas's picture, so that whatever is
// drawn there afterwards can be mixed with it.
class TTeeBlend {
public:
    TTeeBlend(TTeeCanvas3D* ACanvas, const TRect& R);
    ~TTeeBlend();
    TTeeBlend(const TTeeBlend&) = delete;
    TTeeBlend& operator=(const TTeeBlend&) = delete;
    // Transparency percent of the kept picture shows through the new one.
    void DoBlend(int Transparency);
    const TBitmap* Snapshot() const { return FBitmap.get(); }

private:
    std::unique_ptr<TBitmap> FBitmap;
    TRect FRect;
    TTeeCanvas3D* FCanvas;
};

// --- colour buttons ---
// A push button that paints a symbol over its face and is linked to a
// property of another object.
class TTeeButton : public TButton {
    ZELMOR_CLASS(TTeeButton, TButton)
public:
    explicit TTeeButton(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    // Links the button to the published property of that name (none when
    // the instance has no such property).
    void LinkProperty(TObject* Instance, std::string_view PropName);
    TObject* LinkedInstance() const { return FLinkedInstance; }
    const TPropInfo* LinkedProperty() const { return FLinkedProperty; }

protected:
    // Draws the symbol on the button's face; the plain button has none.
    virtual void DrawSymbol(TCanvas* ACanvas);
    void PaintWindow(HDC DC) override;
    void WMPaint(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    TObject* FLinkedInstance = nullptr;
    const TPropInfo* FLinkedProperty = nullptr;
};

using TButtonGetColorProc = TEvent<TColor()>;

// Shows the linked colour as a swatch and edits it in the colour dialog.
class TButtonColor : public TTeeButton {
    ZELMOR_CLASS(TButtonColor, TTeeButton)
public:
    using TTeeButton::TTeeButton;
    // Answers the colour to show instead of the linked property's.
    TButtonGetColorProc GetColorHandler;
    TColor GetTeeColor() const;
    // With a linked property, edits it in the colour dialog, then clicks;
    // with none (or one that does not exist) it only clicks.
    void Click() override;

protected:
    void DrawSymbol(TCanvas* ACanvas) override;
};

// Runs the colour dialog on AColor and answers the colour chosen, or AColor
// when the user cancels. The user's own colours come back in the next dialog.
TColor EditColor(TComponent* AOwner, TColor AColor);
// The custom colours the dialogs keep ("ColorA=..." lines); null before the first dialog.
TStrings* TeeCustomEditColors();

// The unit's process-wide state (the saved clip and the dialogs' custom
// colours), made at start-up and freed at shutdown.
void InitTeCanvas();
void DoneTeCanvas();
