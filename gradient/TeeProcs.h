#pragma once
// The panels of the gradient library and what they draw with: the buffered
// panel base (every paint goes through the 3D canvas into an off-screen
// bitmap and reaches the window in one copy), the gradient settings, the
// extended panel with its background, back image and zoom rectangle, the
// rectangle shapes, the panel's output to printer, metafile, bitmap and
// clipboard, and the library's free routines.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "gradient/TeCanvas.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/ExtCtrls.h"

class TMetafile;

// --- switches of the whole library (plain globals any code may change) ---
extern bool TeeEraseBack;           // erase the window background before a paint
extern bool TeeClipWhenPrinting;    // clip to the panel while printing
extern bool TeeClipWhenMetafiling;  // clip to the panel while drawing a metafile
extern bool TeeCheckPenWidth;       // styled one-pixel pens print as the thinnest pen
extern bool PrintTeePanel;          // print the panel's solid background and bevels

// The platform's custom panel that never takes its name as caption.
class TCustomPanelNoCaption : public TCustomPanel {
    ZELMOR_CLASS(TCustomPanelNoCaption, TCustomPanel)
public:
    explicit TCustomPanelNoCaption(TComponent* AOwner);
};

class TCustomTeePanel;

// --- events the panel hands to its listeners ---
class TTeeEvent : public TObject {
    ZELMOR_CLASS(TTeeEvent, TObject)
public:
    TCustomTeePanel* SourcePanel = nullptr;
};

enum TTeeMouseEventKind : uint8_t { meDown, meUp, meMove };

class TTeeMouseEvent : public TTeeEvent {
    ZELMOR_CLASS(TTeeMouseEvent, TTeeEvent)
public:
    TTeeMouseEventKind Kind = meDown;
    TMouseButton MouseButton = mbLeft;
    TShiftState ShiftState;
    int PosX = 0, PosY = 0;  // client coordinates
};

// Sent whenever View3D is set.
class TTeeView3DEvent : public TTeeEvent {
    ZELMOR_CLASS(TTeeView3DEvent, TTeeEvent)
};

class ITeeEventListener {
public:
    virtual ~ITeeEventListener() = default;
    virtual void HandlePanelEvent(TTeeEvent* Event) = 0;
};

// Plain references, neither counted nor freed.
class TTeeEventListeners {
public:
    int Add(ITeeEventListener* Listener);
    ITeeEventListener* Get(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    // The listener's former index, or -1.
    int Remove(ITeeEventListener* Listener);
    int Count() const { return static_cast<int>(FItems.size()); }
    bool Contains(const ITeeEventListener* Listener) const;
    const std::vector<ITeeEventListener*>& Items() const { return FItems; }

private:
    std::vector<ITeeEventListener*> FItems;
};

// --- the state of a drag over the panel ---
class TZoomPanning : public TPersistent {
    ZELMOR_CLASS(TZoomPanning, TPersistent)
public:
    bool IsActive = false;
    int StartX = 0, StartY = 0, EndX = 0, EndY = 0;
    // Orders the corners: StartX <= EndX and StartY <= EndY.
    void Check();
    void Activate(int X, int Y);
};

class TTeeZoomBrush : public TChartBrush {
    ZELMOR_CLASS(TTeeZoomBrush, TChartBrush)
public:
    TTeeZoomBrush();
    static void DescribeProperties(TPropertyTable& T);
};

class TTeeZoomPen : public TChartPen {
    ZELMOR_CLASS(TTeeZoomPen, TChartPen)
public:
    TTeeZoomPen();
    static void DescribeProperties(TPropertyTable& T);
};

enum TTeeZoomDirection : uint8_t { tzdHorizontal, tzdVertical, tzdBoth };
ZELMOR_DECLARE_ENUM(TTeeZoomDirection);

class TTeeZoom : public TZoomPanning {
    ZELMOR_CLASS(TTeeZoom, TZoomPanning)
public:
    TTeeZoom();
    static void DescribeProperties(TPropertyTable& T);
    bool Allow = true;
    bool Animated = false;
    int AnimatedSteps = 8;
    TTeeZoomDirection Direction = tzdBoth;
    TShiftState KeyShift;
    int MinimumPixels = 16;
    TMouseButton MouseButton = mbLeft;
    TTeeZoomBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TTeeZoomBrush* Value) { FBrush->Assign(Value); }
    TTeeZoomPen* Pen() const { return FPen.get(); }
    void SetPen(TTeeZoomPen* Value) { FPen->Assign(Value); }
    // From another zoom everything but MinimumPixels; from anything else nothing.
    void Assign(TPersistent* Source) override;

private:
    std::unique_ptr<TTeeZoomBrush> FBrush;
    std::unique_ptr<TTeeZoomPen> FPen;
};

// --- the buffered panel ---
class TCustomTeePanel : public TCustomPanelNoCaption {
    ZELMOR_CLASS(TCustomTeePanel, TCustomPanelNoCaption)
public:
    explicit TCustomTeePanel(TComponent* AOwner);
    ~TCustomTeePanel() override;

    // --- properties the panels publish ---
    bool BufferedDisplay() const { return FCanvas3D->GetUseBuffer(); }
    void SetBufferedDisplay(bool Value);
    // Percent of the panel bounds' width (left, right) or height (top, bottom); index 0..3.
    int GetMargin(int Index) const { return FMargins[Index]; }
    void SetMargin(int Index, int Value);
    int MarginLeft() const { return FMargins[0]; }
    int MarginTop() const { return FMargins[1]; }
    int MarginRight() const { return FMargins[2]; }
    int MarginBottom() const { return FMargins[3]; }
    bool Monochrome() const { return FCanvas3D->GetMonochrome(); }
    void SetMonochrome(bool Value);
    bool PrintProportional() const { return FPrintProportional; }
    void SetPrintProportional(bool Value) { FPrintProportional = Value; }
    int PrintResolution() const { return FPrintResolution; }
    void SetPrintResolution(int Value) { FPrintResolution = Value; }
    // Left, top, right and bottom print margins in percent of the page.
    TRect PrintMargins() const { return FPrintMargins; }
    void SetPrintMargins(const TRect& Value) { FPrintMargins = Value; }
    bool View3D() const { return FView3D; }
    // Tells the listeners, whether the value changed or not.
    void SetView3D(bool Value);
    TView3DOptions* View3DOptions() const { return FView3DOptions.get(); }
    void SetView3DOptions(TView3DOptions* Value) { FView3DOptions->Assign(Value); }
    int Chart3DPercent() const { return FPercent3D; }
    // 1 to 100; anything else raises and keeps the old value.
    void Set3DPercent(int Value);

    // --- drawing state ---
    TCanvas3D* Canvas3D() const { return FCanvas3D.get(); }
    // Takes over ACanvas (which copies the old canvas's settings) and repaints.
    void SetInternalCanvas(TCanvas3D* ACanvas);
    TRect PanelBounds() const { return FPanelBounds; }
    TRect InnerRect;
    int InnerWidth = 0, InnerHeight = 0, InnerXCenter = 0, InnerYCenter = 0;
    int Depth3D = 0;
    // While false, Invalidate does nothing.
    bool RepaintEnabled = true;
    // A listener sets it to keep the listeners after it from the current mouse event.
    bool StopMouseBroadcast = false;
    bool IsPrinting() const { return FIsPrinting; }
    TCursor SavedCursor = crDefault;
    TZoomPanning* PanningState() const { return FPanning.get(); }
    TTeeEventListeners& Listeners() { return FListeners; }

    // --- the draw ---
    virtual TColor GetBackColor() const;
    // The panel's content in UserRect; the panel base has none and raises.
    virtual void InternalDraw(const TRect& UserRect);
    virtual void CanvasChanged(TObject* Sender);
    // One complete draw onto any canvas: the paint, the printer, a metafile or a bitmap.
    virtual void Draw(TCanvas* UserCanvas, const TRect& UserRect);
    virtual TRect GetRectangle() const;
    virtual void DrawPanelBevels(const TRect& Rect);
    void ReCalcWidthHeight();
    void Invalidate() override;
    void Assign(TPersistent* Source) override;

    // --- listeners ---
    // Answers the event; the caller frees it.
    TTeeEvent* BroadcastTeeEvent(TTeeEvent* Event);
    void BroadcastMouseEvent(TTeeMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The mouse in client coordinates.
    TPoint GetCursorPos() const;

    // --- drawing helpers for the panels and their shapes ---
    bool CanClip() const;
    bool IsScreenHighColor() const;
    void CheckPenWidth(TPen* APen) const;
    // Keeps a hatch visible on a background of its own colour.
    void SetBrushCanvas(TColor AColor, TChartBrush* ABrush, TColor BackColor);

    // --- change routines: store, and invalidate when the value changed ---
    void SetIntegerProperty(int& Variable, int Value);
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetStringProperty(AnsiString& Variable, const AnsiString& Value);

    // --- output ---
    // A new metafile (or bitmap) of the panel drawn into Rect; the caller frees it.
    TMetafile* TeeCreateMetafile(bool Enhanced, const TRect& Rect);
    TBitmap* TeeCreateBitmap(TColor ABackColor, const TRect& Rect, TPixelFormat APixelFormat = pfDevice);
    void DrawToMetaCanvas(TCanvas* ACanvas, const TRect& Rect);
    void SaveToMetafile(std::string_view FileName);
    void SaveToMetafileEnh(std::string_view FileName);
    void SaveToMetafileRect(bool Enhanced, std::string_view FileName, const TRect& Rect);
    void SaveToBitmapFile(std::string_view FileName);
    void SaveToBitmapFile(std::string_view FileName, const TRect& Rect);
    void CopyToClipboardBitmap();
    void CopyToClipboardBitmap(const TRect& Rect);
    void CopyToClipboardMetafile(bool Enhanced);
    void CopyToClipboardMetafile(bool Enhanced, const TRect& Rect);
    void Print();
    void PrintPortrait();
    void PrintLandscape();
    void PrintOrientation(TPrinterOrientation AOrientation);
    void PrintRect(const TRect& Rect);
    void PrintPartial(const TRect& Rect);
    void PrintPartialCanvas(TCanvas* PrintCanvas, const TRect& PrinterRect);
    TRect CalcProportionalMargins() const;
    TRect ChartPrintRect();
    void CalcMetaBounds(TRect& R, const TRect& AChartRect, int& WinWidth, int& WinHeight, int& ViewWidth,
                        int& ViewHeight) const;

protected:
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void Loaded() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMWindowPosChanged(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMSysColorChange(TMessage& Message) override;
    void AssignTo(TPersistent* Dest) override;

    // The control's own canvas, bound to the window while it paints.
    TCanvas* OwnCanvas;

private:
    std::unique_ptr<TCanvas3D> FCanvas3D;
    std::unique_ptr<TView3DOptions> FView3DOptions;
    std::unique_ptr<TZoomPanning> FPanning;
    TTeeEventListeners FListeners;
    int FPercent3D = 15;
    TRect FPanelBounds;
    int FMargins[4] = {3, 4, 3, 4};
    bool FIsPrinting = false;
    TRect FPrintMargins{15, 15, 15, 15};
    bool FPrintProportional = true;
    int FPrintResolution = 0;
    bool FView3D = true;
};

// --- the gradient ---
class TCustomTeeGradient : public TPersistent {
    ZELMOR_CLASS(TCustomTeeGradient, TPersistent)
public:
    explicit TCustomTeeGradient(TNotifyEvent ChangedEvent);
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value) { SetColorProperty(FEndColor, Value); }
    TColor MidColor() const { return FMidColor; }
    void SetMidColor(TColor Value) { SetColorProperty(FMidColor, Value); }
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value) { SetColorProperty(FStartColor, Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Copies the values and tells nobody.
    void Assign(TPersistent* Source) override;
    // Fills Rect, within rounded corners of RoundRectSize when it is above 0.
    void Draw(TTeeCanvas* Canvas, const TRect& Rect, int RoundRectSize = 0);

private:
    void SetColorProperty(TColor& Variable, TColor Value);
    void Changed();
    TGradientDirection FDirection = gdTopBottom;
    TColor FEndColor = clYellow;
    TColor FMidColor = clNone;
    TColor FStartColor = clWhite;
    bool FVisible = false;
    TNotifyEvent FChangedEvent;
};

class TChartGradient : public TCustomTeeGradient {
    ZELMOR_CLASS(TChartGradient, TCustomTeeGradient)
public:
    using TCustomTeeGradient::TCustomTeeGradient;
    static void DescribeProperties(TPropertyTable& T);
};

// --- the panel with a background ---
enum TTeeBackImageMode : uint8_t { pbmStretch, pbmTile, pbmCenter };
ZELMOR_DECLARE_ENUM(TTeeBackImageMode);

class TCustomTeePanelExtended : public TCustomTeePanel {
    ZELMOR_CLASS(TCustomTeePanelExtended, TCustomTeePanel)
public:
    explicit TCustomTeePanelExtended(TComponent* AOwner);
    ~TCustomTeePanelExtended() override;

    TPicture* BackImage() const { return FBackImage.get(); }
    void SetBackImage(TPicture* Value) { FBackImage->Assign(Value); }
    bool BackImageInside() const { return FBackImageInside; }
    void SetBackImageInside(bool Value) { SetBooleanProperty(FBackImageInside, Value); }
    TTeeBackImageMode BackImageMode() const { return FBackImageMode; }
    void SetBackImageMode(TTeeBackImageMode Value);
    TChartGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TChartGradient* Value) { FGradient->Assign(Value); }
    TTeeZoom* Zoom() const { return FZoom.get(); }
    void SetZoom(TTeeZoom* Value) { FZoom->Assign(Value); }
    // The names older forms hold: they reach Zoom directly.
    bool AllowZoom() const { return FZoom->Allow; }
    void SetAllowZoom(bool Value) { FZoom->Allow = Value; }
    bool AnimatedZoom() const { return FZoom->Animated; }
    void SetAnimatedZoom(bool Value) { FZoom->Animated = Value; }
    int AnimatedZoomSteps() const { return FZoom->AnimatedSteps; }
    void SetAnimatedZoomSteps(int Value) { FZoom->AnimatedSteps = Value; }
    bool IsZoomed = false;
    TNotifyEvent OnAfterDraw;
    TNotifyEvent UndoZoomNotify;

    virtual void FillPanelRect(const TRect& Rect);
    // The background, the back image and the bevels.
    virtual void PanelPaint(const TRect& Rect);
    virtual void UndoZoom();
    // The zoom rectangle with an inverting pen: drawn twice, it is gone.
    void DrawZoomRectangle();
    // The back image in Rect; Z above 0 puts it on a wall at that depth.
    void DrawBitmap(const TRect& Rect, int Z);
    void Assign(TPersistent* Source) override;

protected:
    // "PrintMargins", and the zoom names of older forms (read, never written).
    void DefineProperties(TFiler* Filer) override;

private:
    std::unique_ptr<TPicture> FBackImage;
    bool FBackImageInside = false;
    TTeeBackImageMode FBackImageMode = pbmStretch;
    std::unique_ptr<TChartGradient> FGradient;
    std::unique_ptr<TTeeZoom> FZoom;
};

// --- rectangle shapes ---
class TTeeCustomShapeBrushPen : public TPersistent {
    ZELMOR_CLASS(TTeeCustomShapeBrushPen, TPersistent)
public:
    TTeeCustomShapeBrushPen();
    ~TTeeCustomShapeBrushPen() override;
    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TCustomTeePanel* ParentPanel = nullptr;
    void Assign(TPersistent* Source) override;
    void Repaint();
    virtual void CanvasChanged(TObject* Sender);

protected:
    bool FVisible = true;

private:
    std::unique_ptr<TChartBrush> FBrush;
    std::unique_ptr<TChartPen> FPen;
};

enum TChartObjectShapeStyle : uint8_t { fosRectangle, fosRoundRectangle };
ZELMOR_DECLARE_ENUM(TChartObjectShapeStyle);

class TTeeCustomShape : public TTeeCustomShapeBrushPen {
    ZELMOR_CLASS(TTeeCustomShape, TTeeCustomShapeBrushPen)
public:
    explicit TTeeCustomShape(TCustomTeePanel* AOwner);
    ~TTeeCustomShape() override;
    TPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TTeeFont* Font() const { return FFont.get(); }
    void SetFont(TTeeFont* Value) { FFont->Assign(Value); }
    TChartGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TChartGradient* Value) { FGradient->Assign(Value); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int Value);
    TChartObjectShapeStyle ShapeStyle() const { return FShapeStyle; }
    void SetShapeStyle(TChartObjectShapeStyle Value);
    // Percent of the background that shows through, 0..100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TRect ShapeBounds;

    void Draw();
    void DrawRectRotated(const TRect& Rect, int Angle = 0, int Z = 0);
    void Assign(TPersistent* Source) override;

private:
    TPanelBevel FBevel = bvNone;
    int FBevelWidth = 2;
    TColor FColor = clWhite;
    std::unique_ptr<TTeeFont> FFont;
    std::unique_ptr<TChartGradient> FGradient;
    TColor FShadowColor = clBlack;
    int FShadowSize = 3;
    TChartObjectShapeStyle FShapeStyle = fosRectangle;
    int FTransparency = 0;
    bool FTransparent = false;
};

class TTeeShape : public TTeeCustomShape {
    ZELMOR_CLASS(TTeeShape, TTeeCustomShape)
public:
    using TTeeCustomShape::TTeeCustomShape;
    static void DescribeProperties(TPropertyTable& T);
};

// --- free routines ---
enum TDateTimeStep : uint8_t {
    dtOneMillisecond,
    dtOneSecond,
    dtFiveSeconds,
    dtTenSeconds,
    dtFifteenSeconds,
    dtThirtySeconds,
    dtOneMinute,
    dtFiveMinutes,
    dtTenMinutes,
    dtFifteenMinutes,
    dtThirtyMinutes,
    dtOneHour,
    dtTwoHours,
    dtSixHours,
    dtTwelveHours,
    dtOneDay,
    dtTwoDays,
    dtThreeDays,
    dtOneWeek,
    dtHalfMonth,
    dtOneMonth,
    dtTwoMonths,
    dtThreeMonths,
    dtFourMonths,
    dtSixMonths,
    dtOneYear,
    dtNone
};
// The length of each step in days.
extern const double DateTimeStep[dtNone + 1];
extern const TColor ColorPalette[20];
extern AnsiString TeeFieldsSeparator;

AnsiString TeeStr(int Number);
TColor GetDefaultColor(int Index);
// Qualified by its unit: the data-aware library's date routines have a
// DaysInMonth of their own, with the month first.
namespace TeeProcs {
int DaysInMonth(int Year, int Month);
}
AnsiString DateTimeDefaultFormat(double Step);
double NextDateTimeStep(double Step);
TDateTimeStep FindDateTimeStep(double Step);
TDateTime TeeRoundDate(TDateTime Date, TDateTimeStep Step);
void TeeDateTimeIncrement(bool IsDateTime, bool Increment, double& Value, double Amount, TDateTimeStep Step);
bool PointInLine(TPoint P, int X0, int Y0, int X1, int Y1);
bool PointInLineTolerance(TPoint P, int X0, int Y0, int X1, int Y1, int Tolerance);
bool PointInPolygon(TPoint P, std::span<const TPoint> Points);
bool PointInTriangle(TPoint P, int X0, int X1, int Y0, int Y1);
bool PointInHorizTriangle(TPoint P, int Y0, int Y1, int X0, int X1);
bool PointInEllipse(TPoint P, const TRect& Rect);
AnsiString PascalToLocalFormat(std::string_view Format);
AnsiString LocalToPascalFormat(std::string_view Format);
void EnableControls(bool Enable, std::span<TControl* const> Controls);
using TTeeSortCompare = std::function<int(int A, int B)>;
using TTeeSortSwap = std::function<void(int A, int B)>;
void TeeSort(int StartIndex, int EndIndex, const TTeeSortCompare& Compare, const TTeeSortSwap& Swap);
AnsiString TeeGetUniqueName(TComponent* AOwner, std::string_view AStartName);
int TeeNumFields(std::string_view Text);
AnsiString TeeExtractField(std::string_view Text, int Index);
// The platform's cursor names and "crTeeHand" for the library's hand, cursor 2020.
constexpr TCursor crTeeHand = 2020;
bool TeeIdentToCursor(std::string_view Ident, int& Cursor);
bool TeeCursorToIdent(int Cursor, AnsiString& Ident);
// A bitmap built into the program, when there is one of that name.
bool TryFindResource(std::string_view Name, TBitmap* ABitmap);

// The unit's start-up and shutdown: the hand cursor and the fields separator.
void InitTeeProcs();
void DoneTeeProcs();
