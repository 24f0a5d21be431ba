#include "gradient/TeeProcs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gradient/TeeConst.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/classes/Resources.h"
#include "platform/gfx/Clipbrd.h"
#include "platform/gfx/Metafile.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_ENUM(TTeeZoomDirection, "tzdHorizontal", "tzdVertical", "tzdBoth")
ZELMOR_IMPLEMENT_ENUM(TTeeBackImageMode, "pbmStretch", "pbmTile", "pbmCenter")
ZELMOR_IMPLEMENT_ENUM(TChartObjectShapeStyle, "fosRectangle", "fosRoundRectangle")

ZELMOR_IMPLEMENT_CLASS(TCustomPanelNoCaption, TCustomPanel)
ZELMOR_IMPLEMENT_CLASS(TTeeEvent, TObject)
ZELMOR_IMPLEMENT_CLASS(TTeeMouseEvent, TTeeEvent)
ZELMOR_IMPLEMENT_CLASS(TTeeView3DEvent, TTeeEvent)
ZELMOR_IMPLEMENT_CLASS(TZoomPanning, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TTeeZoomBrush, TChartBrush)
ZELMOR_IMPLEMENT_CLASS(TTeeZoomPen, TChartPen)
ZELMOR_IMPLEMENT_CLASS(TTeeZoom, TZoomPanning)
ZELMOR_IMPLEMENT_CLASS(TCustomTeePanel, TCustomPanelNoCaption)
ZELMOR_IMPLEMENT_CLASS(TCustomTeeGradient, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TChartGradient, TCustomTeeGradient)
ZELMOR_IMPLEMENT_CLASS(TCustomTeePanelExtended, TCustomTeePanel)
ZELMOR_IMPLEMENT_CLASS(TTeeCustomShapeBrushPen, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TTeeCustomShape, TTeeCustomShapeBrushPen)
ZELMOR_IMPLEMENT_CLASS(TTeeShape, TTeeCustomShape)

bool TeeEraseBack = false;
bool TeeClipWhenPrinting = true;
bool TeeClipWhenMetafiling = true;
bool TeeCheckPenWidth = true;
bool PrintTeePanel = false;

namespace {
int N(long double Value) { return static_cast<int>(std::nearbyint(Value)); }

// Runs its action when the scope ends, however it ends.
class TOnExit {
public:
    explicit TOnExit(std::function<void()> Action) : FAction(std::move(Action)) {}
    ~TOnExit() { FAction(); }
    TOnExit(const TOnExit&) = delete;
    TOnExit& operator=(const TOnExit&) = delete;

private:
    std::function<void()> FAction;
};
}  // namespace

// ---------------------------------------------------------------------------
// Panel without caption, listeners, zoom settings
// ---------------------------------------------------------------------------

TCustomPanelNoCaption::TCustomPanelNoCaption(TComponent* AOwner) : TCustomPanel(AOwner) {
    FControlStyle.Exclude(csSetCaption);
}

int TTeeEventListeners::Add(ITeeEventListener* Listener) {
    FItems.push_back(Listener);
    return Count() - 1;
}

int TTeeEventListeners::Remove(ITeeEventListener* Listener) {
    auto It = std::find(FItems.begin(), FItems.end(), Listener);
    if (It == FItems.end()) return -1;
    int Index = static_cast<int>(It - FItems.begin());
    FItems.erase(It);
    return Index;
}

bool TTeeEventListeners::Contains(const ITeeEventListener* Listener) const {
    return std::find(FItems.begin(), FItems.end(), Listener) != FItems.end();
}

void TZoomPanning::Check() {
    if (StartX > EndX) std::swap(StartX, EndX);
    if (StartY > EndY) std::swap(StartY, EndY);
}

void TZoomPanning::Activate(int X, int Y) {
    StartX = EndX = X;
    StartY = EndY = Y;
    IsActive = true;
}

TTeeZoomBrush::TTeeZoomBrush() {
    SetColor(clWhite);
    SetStyle(bsClear);
}

void TTeeZoomBrush::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TBrush::Color, &TBrush::SetColor).OfType(ColorTypeInfo()).Default(clWhite);
    T.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsClear);
}

TTeeZoomPen::TTeeZoomPen() { SetColor(clWhite); }

void TTeeZoomPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TPen::Color, &TPen::SetColor).OfType(ColorTypeInfo()).Default(clWhite);
}

TTeeZoom::TTeeZoom() : FBrush(std::make_unique<TTeeZoomBrush>()), FPen(std::make_unique<TTeeZoomPen>()) {}

void TTeeZoom::DescribeProperties(TPropertyTable& T) {
    using Z = TTeeZoom;
    T.PropertyOf<Z>(
         "Allow", [](Z& S) { return S.Allow; }, [](Z& S, bool V) { S.Allow = V; })
        .Default(true);
    T.PropertyOf<Z>(
         "Animated", [](Z& S) { return S.Animated; }, [](Z& S, bool V) { S.Animated = V; })
        .Default(false);
    T.PropertyOf<Z>(
         "AnimatedSteps", [](Z& S) { return S.AnimatedSteps; }, [](Z& S, int V) { S.AnimatedSteps = V; })
        .Default(8);
    T.Property("Brush", &Z::Brush, &Z::SetBrush);
    T.PropertyOf<Z>(
         "Direction", [](Z& S) { return S.Direction; }, [](Z& S, TTeeZoomDirection V) { S.Direction = V; })
        .Default(tzdBoth);
    T.PropertyOf<Z>(
         "KeyShift", [](Z& S) { return S.KeyShift; }, [](Z& S, TShiftState V) { S.KeyShift = V; })
        .Default(TShiftState{});
    T.PropertyOf<Z>(
         "MinimumPixels", [](Z& S) { return S.MinimumPixels; }, [](Z& S, int V) { S.MinimumPixels = V; })
        .Default(16);
    T.PropertyOf<Z>(
         "MouseButton", [](Z& S) { return S.MouseButton; }, [](Z& S, TMouseButton V) { S.MouseButton = V; })
        .Default(mbLeft);
    T.Property("Pen", &Z::Pen, &Z::SetPen);
}

void TTeeZoom::Assign(TPersistent* Source) {
    auto* Z = dynamic_cast<TTeeZoom*>(Source);
    if (!Z) return;
    Allow = Z->Allow;
    Animated = Z->Animated;
    AnimatedSteps = Z->AnimatedSteps;
    FBrush->Assign(Z->FBrush.get());
    Direction = Z->Direction;
    KeyShift = Z->KeyShift;
    MouseButton = Z->MouseButton;
    FPen->Assign(Z->FPen.get());
}

// ---------------------------------------------------------------------------
// TCustomTeePanel
// ---------------------------------------------------------------------------

TCustomTeePanel::TCustomTeePanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner), OwnCanvas(FCanvas) {
    SetBounds(Left(), Top(), 400, 250);
    FView3DOptions = std::make_unique<TView3DOptions>(this);
    FCanvas3D = std::make_unique<TTeeCanvas3D>();
    FCanvas3D->SetCanvas(OwnCanvas);
    SavedCursor = Cursor();
    FPanning = std::make_unique<TZoomPanning>();
    if (TeeEraseBack) TeeEraseBack = !ComponentState().Contains(csDesigning);
}

TCustomTeePanel::~TCustomTeePanel() {
    FCanvas3D.reset();
    FView3DOptions.reset();
    FPanning.reset();
}

void TCustomTeePanel::SetBufferedDisplay(bool Value) { FCanvas3D->SetUseBuffer(Value); }

void TCustomTeePanel::SetMargin(int Index, int Value) {
    if (Index < 0 || Index > 3) return;
    SetIntegerProperty(FMargins[Index], Value);
}

void TCustomTeePanel::SetMonochrome(bool Value) { FCanvas3D->SetMonochrome(Value); }

void TCustomTeePanel::SetView3D(bool Value) {
    SetBooleanProperty(FView3D, Value);
    TTeeView3DEvent Event;
    BroadcastTeeEvent(&Event);
}

void TCustomTeePanel::Set3DPercent(int Value) {
    constexpr int Lowest = 1, Highest = 100;
    if (Value < Lowest || Value > Highest) throw Exception(Format(TeeMsg_3DPercent, {Lowest, Highest}));
    SetIntegerProperty(FPercent3D, Value);
}

void TCustomTeePanel::SetInternalCanvas(TCanvas3D* ACanvas) {
    if (!ACanvas) return;
    std::unique_ptr<TCanvas3D> New(ACanvas);
    New->SetCanvas(OwnCanvas);
    if (FCanvas3D) {
        RepaintEnabled = false;
        New->Assign(FCanvas3D.get());
        RepaintEnabled = true;
    }
    FCanvas3D = std::move(New);
    Repaint();
}

void TCustomTeePanel::SetIntegerProperty(int& Variable, int Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetBooleanProperty(bool& Variable, bool Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetColorProperty(TColor& Variable, TColor Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetDoubleProperty(double& Variable, double Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetStringProperty(AnsiString& Variable, const AnsiString& Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

TColor TCustomTeePanel::GetBackColor() const { return Color(); }

void TCustomTeePanel::InternalDraw(const TRect&) { throw EAbstractError("Abstract Error"); }

void TCustomTeePanel::CanvasChanged(TObject*) { Invalidate(); }

TRect TCustomTeePanel::GetRectangle() const { return ClientRect(); }

void TCustomTeePanel::Invalidate() {
    if (!RepaintEnabled) return;
    if (FCanvas3D) FCanvas3D->Invalidate();
    TCustomPanelNoCaption::Invalidate();
}

void TCustomTeePanel::Paint() {
    if (FIsPrinting) return;
    if (FCanvas3D->ReDrawBitmap()) return;
    Draw(OwnCanvas, GetRectangle());
}

void TCustomTeePanel::Draw(TCanvas* UserCanvas, const TRect& UserRect) {
    FPanelBounds = FCanvas3D->InitWindow(UserCanvas, FView3DOptions.get(), Color(), FView3D, UserRect);
    try {
        int W = FPanelBounds.Width(), H = FPanelBounds.Height(), B = BorderWidth();
        InnerRect = TRect(FPanelBounds.Left + B + MulDiv(FMargins[0], W, 100),
                          FPanelBounds.Top + B + MulDiv(FMargins[1], H, 100),
                          FPanelBounds.Right - B - MulDiv(FMargins[2], W, 100),
                          FPanelBounds.Bottom - B - MulDiv(FMargins[3], H, 100));
        ReCalcWidthHeight();
        InternalDraw(FPanelBounds);
    } catch (...) {
        // The canvas may be drawing on a bitmap or printer the caller is
        // about to drop: it must not keep it.
        FCanvas3D->SetCanvas(OwnCanvas);
        throw;
    }
    FCanvas3D->ShowImage(UserCanvas, OwnCanvas, UserRect);
}

void TCustomTeePanel::ReCalcWidthHeight() {
    InnerRect.Left = std::max(InnerRect.Left, FPanelBounds.Left);
    InnerRect.Top = std::max(InnerRect.Top, FPanelBounds.Top);
    if (InnerRect.Right < InnerRect.Left) InnerRect.Right = InnerRect.Left + 1;
    else if (InnerRect.Right == InnerRect.Left) InnerRect.Right = InnerRect.Left + Width();
    if (InnerRect.Bottom < InnerRect.Top) InnerRect.Bottom = InnerRect.Top + 1;
    else if (InnerRect.Bottom == InnerRect.Top) InnerRect.Bottom = InnerRect.Top + Height();
    InnerWidth = InnerRect.Width();
    InnerHeight = InnerRect.Height();
    InnerXCenter = (InnerRect.Left + InnerRect.Right) / 2;
    InnerYCenter = (InnerRect.Top + InnerRect.Bottom) / 2;
}

// The panel's frames are the platform's 3D frames on the 3D canvas's
// surface, the same routine the canvas's own Frame3D draws with.
void TCustomTeePanel::DrawPanelBevels(const TRect& Rect) {
    if (FIsPrinting && !PrintTeePanel) return;
    TCanvas3D* C = FCanvas3D.get();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetMode(pmCopy);
    C->Brush()->SetStyle(bsClear);
    TRect R = Rect;
    auto Bevel = [&](TPanelBevel Kind) {
        if (Kind == bvNone) return;
        ::Frame3D(C->ReferenceCanvas(), R, Kind == bvLowered ? clBtnShadow : clBtnHighlight,
                  Kind == bvRaised ? clBtnShadow : clBtnHighlight, BevelWidth());
    };
    Bevel(BevelOuter());
    ::Frame3D(C->ReferenceCanvas(), R, Color(), Color(), BorderWidth());
    Bevel(BevelInner());
}

void TCustomTeePanel::WMEraseBkgnd(TMessage& Message) {
    // The buffer covers every pixel: erasing first would only flash.
    if (TeeEraseBack) TCustomPanelNoCaption::WMEraseBkgnd(Message);
    Message.Result = 1;
}

void TCustomTeePanel::WMGetDlgCode(TMessage& Message) {
    TCustomPanelNoCaption::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS;
}

// The panel base repaints whole when it is moved or resized: a buffer of
// the old size must not be copied again.
void TCustomTeePanel::WMWindowPosChanged(TMessage& Message) {
    if (FullRepaint()) Invalidate();
    TCustomPanelNoCaption::WMWindowPosChanged(Message);
}

void TCustomTeePanel::CMMouseLeave(TMessage& Message) {
    SetCursor(SavedCursor);
    FPanning->IsActive = false;
    TCustomPanelNoCaption::CMMouseLeave(Message);
}

void TCustomTeePanel::CMSysColorChange(TMessage& Message) {
    TCustomPanelNoCaption::CMSysColorChange(Message);
    Invalidate();
}

void TCustomTeePanel::CreateParams(TCreateParams& Params) {
    TCustomPanelNoCaption::CreateParams(Params);
    if (FCanvas3D) FCanvas3D->SetView3DOptions(nullptr);
}

void TCustomTeePanel::Loaded() {
    TCustomPanelNoCaption::Loaded();
    SavedCursor = Cursor();
}

void TCustomTeePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    StopMouseBroadcast = false;
    TCustomPanelNoCaption::MouseDown(Button, Shift, X, Y);
    BroadcastMouseEvent(meDown, Button, Shift, X, Y);
}

void TCustomTeePanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    StopMouseBroadcast = false;
    TCustomPanelNoCaption::MouseUp(Button, Shift, X, Y);
    BroadcastMouseEvent(meUp, Button, Shift, X, Y);
}

void TCustomTeePanel::MouseMove(TShiftState Shift, int X, int Y) {
    StopMouseBroadcast = false;
    TCustomPanelNoCaption::MouseMove(Shift, X, Y);
    if (!ComponentState().Contains(csDesigning)) BroadcastMouseEvent(meMove, mbLeft, Shift, X, Y);
}

void TCustomTeePanel::BroadcastMouseEvent(TTeeMouseEventKind Kind, TMouseButton Button, TShiftState Shift,
                                          int X, int Y) {
    TTeeMouseEvent Event;
    Event.Kind = Kind;
    Event.MouseButton = Button;
    Event.ShiftState = Shift;
    Event.PosX = X;
    Event.PosY = Y;
    BroadcastTeeEvent(&Event);
}

// A listener may remove itself or others while it hears the event: the
// broadcast goes over the listeners there were when it began, and skips
// those no longer registered when their turn comes.
TTeeEvent* TCustomTeePanel::BroadcastTeeEvent(TTeeEvent* Event) {
    if (ComponentState().Contains(csDestroying)) return Event;
    Event->SourcePanel = this;
    const std::vector<ITeeEventListener*> Current = FListeners.Items();
    for (ITeeEventListener* Listener : Current) {
        if (!FListeners.Contains(Listener)) continue;
        Listener->HandlePanelEvent(Event);
        if (StopMouseBroadcast) break;
    }
    return Event;
}

TPoint TCustomTeePanel::GetCursorPos() const {
    TPoint P;
    ::GetCursorPos(P);
    return ScreenToClient(P);
}

bool TCustomTeePanel::CanClip() const {
    if (FCanvas3D->GetSupportsFullRotation()) return false;
    bool Metafiling = FCanvas3D->Metafiling();
    return (!FIsPrinting && !Metafiling) || (FIsPrinting && TeeClipWhenPrinting) ||
           (Metafiling && TeeClipWhenMetafiling);
}

bool TCustomTeePanel::IsScreenHighColor() const {
    if (FCanvas3D->GetSupportsFullRotation()) return true;
    const TCanvas* Device = FCanvas3D->ReferenceCanvas();
    return GetDeviceCaps(Device, BITSPIXEL) * GetDeviceCaps(Device, PLANES) >= 15;
}

// The printer's thinnest line is width 0; here widths below 1 draw as 1.
void TCustomTeePanel::CheckPenWidth(TPen* APen) const {
    if (FIsPrinting && TeeCheckPenWidth && APen->Style() != psSolid && APen->Width() == 1) APen->SetWidth(0);
}

void TCustomTeePanel::SetBrushCanvas(TColor AColor, TChartBrush* ABrush, TColor BackColor) {
    if (ABrush->Style() != bsSolid && AColor == BackColor) AColor = BackColor == clBlack ? clWhite : clBlack;
    FCanvas3D->AssignBrushColor(ABrush, AColor, BackColor);
}

void TCustomTeePanel::Assign(TPersistent* Source) {
    auto* P = dynamic_cast<TCustomTeePanel*>(Source);
    if (!P) {
        TCustomPanelNoCaption::Assign(Source);
        return;
    }
    SetBufferedDisplay(P->BufferedDisplay());
    FPrintMargins = P->FPrintMargins;
    FPrintProportional = P->FPrintProportional;
    FPrintResolution = P->FPrintResolution;
    std::copy(std::begin(P->FMargins), std::end(P->FMargins), std::begin(FMargins));
    SetMonochrome(P->Monochrome());
    FView3D = P->FView3D;
    FView3DOptions->Assign(P->FView3DOptions.get());
    FPercent3D = P->FPercent3D;
    SetColor(P->Color());
}

void TCustomTeePanel::AssignTo(TPersistent* Dest) {
    if (auto* Picture = dynamic_cast<TPicture*>(Dest)) {
        std::unique_ptr<TBitmap> Bitmap(TeeCreateBitmap(Color(), GetRectangle(), pfDevice));
        Picture->Assign(Bitmap.get());
        return;
    }
    TCustomPanelNoCaption::AssignTo(Dest);
}

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

// Drawing for output goes straight onto the target, never through the buffer.
void TCustomTeePanel::DrawToMetaCanvas(TCanvas* ACanvas, const TRect& Rect) {
    bool Buffered = BufferedDisplay();
    FCanvas3D->SetMetafiling(true);
    TOnExit Restore([&] {
        SetBufferedDisplay(Buffered);
        FCanvas3D->SetMetafiling(false);
    });
    SetBufferedDisplay(false);
    Draw(ACanvas, Rect);
}

TBitmap* TCustomTeePanel::TeeCreateBitmap(TColor ABackColor, const TRect& Rect, TPixelFormat APixelFormat) {
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetPixelFormat(APixelFormat);
    Bitmap->SetSize(Rect.Width(), Rect.Height());
    if (ABackColor != clWhite) {
        Bitmap->Canvas()->Brush()->SetColor(ABackColor);
        Bitmap->Canvas()->FillRect(Rect);
    }
    bool Buffered = BufferedDisplay();
    TOnExit Restore([&] { SetBufferedDisplay(Buffered); });
    SetBufferedDisplay(false);
    Draw(Bitmap->Canvas(), Rect);
    return Bitmap.release();
}

TMetafile* TCustomTeePanel::TeeCreateMetafile(bool Enhanced, const TRect& Rect) {
    auto Metafile = std::make_unique<TMetafile>();
    Metafile->SetWidth(std::max(1, Rect.Width() - 1));
    Metafile->SetHeight(std::max(1, Rect.Height() - 1));
    Metafile->SetEnhanced(Enhanced);
    {
        // Freeing the canvas completes the metafile, also when the drawing fails.
        TMetafileCanvas Canvas(Metafile.get(), nullptr);
        DrawToMetaCanvas(&Canvas, Rect);
    }
    return Metafile.release();
}

void TCustomTeePanel::SaveToMetafile(std::string_view FileName) {
    SaveToMetafileRect(false, FileName, GetRectangle());
}

void TCustomTeePanel::SaveToMetafileEnh(std::string_view FileName) {
    SaveToMetafileRect(true, FileName, GetRectangle());
}

void TCustomTeePanel::SaveToMetafileRect(bool Enhanced, std::string_view FileName, const TRect& Rect) {
    std::unique_ptr<TMetafile> Metafile(TeeCreateMetafile(Enhanced, Rect));
    Metafile->SaveToFile(FileName);
}

void TCustomTeePanel::SaveToBitmapFile(std::string_view FileName) {
    SaveToBitmapFile(FileName, GetRectangle());
}

void TCustomTeePanel::SaveToBitmapFile(std::string_view FileName, const TRect& Rect) {
    std::unique_ptr<TBitmap> Bitmap(TeeCreateBitmap(clWhite, Rect, pfDevice));
    Bitmap->SaveToFile(FileName);
}

void TCustomTeePanel::CopyToClipboardBitmap() { CopyToClipboardBitmap(GetRectangle()); }

void TCustomTeePanel::CopyToClipboardBitmap(const TRect& Rect) {
    std::unique_ptr<TBitmap> Bitmap(TeeCreateBitmap(clWhite, Rect, pfDevice));
    Clipboard()->Assign(Bitmap.get());
}

void TCustomTeePanel::CopyToClipboardMetafile(bool Enhanced) {
    CopyToClipboardMetafile(Enhanced, GetRectangle());
}

void TCustomTeePanel::CopyToClipboardMetafile(bool Enhanced, const TRect& Rect) {
    std::unique_ptr<TMetafile> Metafile(TeeCreateMetafile(Enhanced, Rect));
    Clipboard()->Assign(Metafile.get());
}

void TCustomTeePanel::Print() { PrintRect(ChartPrintRect()); }
void TCustomTeePanel::PrintPortrait() { PrintOrientation(poPortrait); }
void TCustomTeePanel::PrintLandscape() { PrintOrientation(poLandscape); }

void TCustomTeePanel::PrintOrientation(TPrinterOrientation AOrientation) {
    TPrinterOrientation Old = Printer()->Orientation();
    Printer()->SetOrientation(AOrientation);
    TOnExit Restore([Old] { Printer()->SetOrientation(Old); });
    Print();
}

void TCustomTeePanel::PrintRect(const TRect& Rect) {
    TPrinter* P = Printer();
    P->SetTitle(Name());
    P->BeginDoc();
    try {
        PrintPartial(Rect);
        P->EndDoc();
    } catch (...) {
        if (P->Printing()) P->Abort();
        if (P->Printing()) P->EndDoc();
        throw;
    }
}

void TCustomTeePanel::PrintPartial(const TRect& Rect) { PrintPartialCanvas(Printer()->Canvas(), Rect); }

void TCustomTeePanel::CalcMetaBounds(TRect& R, const TRect& AChartRect, int& WinWidth, int& WinHeight,
                                     int& ViewWidth, int& ViewHeight) const {
    RectSize(R, ViewWidth, ViewHeight);
    int PanelWidth, PanelHeight;
    RectSize(AChartRect, PanelWidth, PanelHeight);
    WinWidth = PanelWidth - MulDiv(PanelWidth, FPrintResolution, 100);
    WinHeight = PanelHeight - MulDiv(PanelHeight, FPrintResolution, 100);
    if (ViewWidth <= 0 || ViewHeight <= 0) return;
    R.Left = MulDiv(R.Left, WinWidth, ViewWidth);
    R.Right = MulDiv(R.Right, WinWidth, ViewWidth);
    R.Top = MulDiv(R.Top, WinHeight, ViewHeight);
    R.Bottom = MulDiv(R.Bottom, WinHeight, ViewHeight);
}

// The panel draws in its own pixels, fewer by PrintResolution percent, and
// the device scales them into the target. At 100 percent or more the panel
// would have no size left, and an empty target has no room: nothing is
// printed then.
void TCustomTeePanel::PrintPartialCanvas(TCanvas* PrintCanvas, const TRect& PrinterRect) {
    TRect R = NormalizedRect(PrinterRect);
    int WinWidth, WinHeight, ViewWidth, ViewHeight;
    CalcMetaBounds(R, GetRectangle(), WinWidth, WinHeight, ViewWidth, ViewHeight);
    if (WinWidth <= 0 || WinHeight <= 0 || ViewWidth <= 0 || ViewHeight <= 0) return;
    int OldMode = PrintCanvas->SetMapMode(MM_ANISOTROPIC);
    TPoint OldWindowOrg = PrintCanvas->SetWindowOrg(TPoint(0, 0));
    TSize OldWindowExt = PrintCanvas->SetWindowExt(TSize{WinWidth, WinHeight});
    TSize OldViewportExt = PrintCanvas->SetViewportExt(TSize{ViewWidth, ViewHeight});
    TPoint OldViewportOrg = PrintCanvas->SetViewportOrg(TPoint(0, 0));
    bool Clipped = false;
    FIsPrinting = true;
    TOnExit Restore([&] {
        if (Clipped) UnClipCanvas(PrintCanvas);
        FIsPrinting = false;
        PrintCanvas->SetWindowExt(OldWindowExt);
        PrintCanvas->SetViewportExt(OldViewportExt);
        PrintCanvas->SetWindowOrg(OldWindowOrg);
        PrintCanvas->SetViewportOrg(OldViewportOrg);
        PrintCanvas->SetMapMode(OldMode);
    });
    if (CanClip()) {
        ClipCanvas(PrintCanvas, R);
        Clipped = true;
    }
    DrawToMetaCanvas(PrintCanvas, R);
}

TRect TCustomTeePanel::CalcProportionalMargins() const {
    TRect Client = GetRectangle();
    int W = Client.Width(), H = Client.Height();
    TPrinter* P = Printer();
    double PW = P->PageWidth(), PH = P->PageHeight();
    double Aspect = static_cast<double>(GetDeviceCaps(P->Canvas(), LOGPIXELSX)) /
                    std::max(1, GetDeviceCaps(P->Canvas(), LOGPIXELSY));
    // A panel without size keeps the usual margins.
    if (W <= 0 || H <= 0 || PW <= 0 || PH <= 0) return TRect(15, 15, 15, 15);
    if (H < W) {
        int M = N((PH - 0.6 * PW * (static_cast<double>(H) / W) * Aspect) * 100 / PH) / 2;
        return TRect(15, M, 15, M);
    }
    int M = N((PW - 0.6 * PH * (static_cast<double>(W) / H) * Aspect) * 100 / PW) / 2;
    return TRect(M, 15, M, 15);
}

TRect TCustomTeePanel::ChartPrintRect() {
    if (FPrintProportional) FPrintMargins = CalcProportionalMargins();
    long double PW = Printer()->PageWidth(), PH = Printer()->PageHeight();
    return TRect(N(PW * FPrintMargins.Left / 100), N(PH * FPrintMargins.Top / 100),
                 static_cast<int>(PW) - N(PW * FPrintMargins.Right / 100),
                 static_cast<int>(PH) - N(PH * FPrintMargins.Bottom / 100));
}

// ---------------------------------------------------------------------------
// The gradient
// ---------------------------------------------------------------------------

TCustomTeeGradient::TCustomTeeGradient(TNotifyEvent ChangedEvent) : FChangedEvent(std::move(ChangedEvent)) {}

void TCustomTeeGradient::Changed() {
    if (Assigned(FChangedEvent)) FChangedEvent(this);
}

void TCustomTeeGradient::SetColorProperty(TColor& Variable, TColor Value) {
    if (Variable == Value) return;
    Variable = Value;
    Changed();
}

void TCustomTeeGradient::SetDirection(TGradientDirection Value) {
    if (FDirection == Value) return;
    FDirection = Value;
    Changed();
}

void TCustomTeeGradient::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TCustomTeeGradient::Assign(TPersistent* Source) {
    if (auto* G = dynamic_cast<TCustomTeeGradient*>(Source)) {
        FDirection = G->FDirection;
        FEndColor = G->FEndColor;
        FMidColor = G->FMidColor;
        FStartColor = G->FStartColor;
        FVisible = G->FVisible;
        return;
    }
    TPersistent::Assign(Source);
}

void TCustomTeeGradient::Draw(TTeeCanvas* Canvas, const TRect& Rect, int RoundRectSize) {
    if (RoundRectSize > 0) ClipRoundRectangle(Canvas->ReferenceCanvas(), Rect, RoundRectSize);
    if (FMidColor == clNone || FDirection > gdRightLeft) {
        Canvas->GradientFill(Rect, FStartColor, FEndColor, FDirection);
    } else {
        // Each half keeps the sides of the two-colour gradient: the start
        // colour where it would be alone, the middle colour in the middle.
        bool Vertical = FDirection == gdTopBottom || FDirection == gdBottomTop;
        bool StartFirst = FDirection == gdBottomTop || FDirection == gdRightLeft;
        TRect First = Rect, Second = Rect;
        if (Vertical) First.Bottom = Second.Top = (Rect.Top + Rect.Bottom) / 2;
        else First.Right = Second.Left = (Rect.Left + Rect.Right) / 2;
        if (StartFirst) {
            Canvas->GradientFill(First, FStartColor, FMidColor, FDirection);
            Canvas->GradientFill(Second, FMidColor, FEndColor, FDirection);
        } else {
            Canvas->GradientFill(First, FMidColor, FEndColor, FDirection);
            Canvas->GradientFill(Second, FStartColor, FMidColor, FDirection);
        }
    }
    if (RoundRectSize > 0) Canvas->UnClipRectangle();
}

void TChartGradient::DescribeProperties(TPropertyTable& T) {
    using G = TCustomTeeGradient;
    T.Property("Direction", &G::Direction, &G::SetDirection).Default(gdTopBottom);
    T.Property("EndColor", &G::EndColor, &G::SetEndColor).OfType(ColorTypeInfo()).Default(clYellow);
    T.Property("MidColor", &G::MidColor, &G::SetMidColor).OfType(ColorTypeInfo()).Default(clNone);
    T.Property("StartColor", &G::StartColor, &G::SetStartColor).OfType(ColorTypeInfo()).Default(clWhite);
    T.Property("Visible", &G::Visible, &G::SetVisible).Default(false);
}

// ---------------------------------------------------------------------------
// TCustomTeePanelExtended
// ---------------------------------------------------------------------------

TCustomTeePanelExtended::TCustomTeePanelExtended(TComponent* AOwner) : TCustomTeePanel(AOwner) {
    TNotifyEvent Changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FGradient = std::make_unique<TChartGradient>(Changed);
    FBackImage = std::make_unique<TPicture>();
    FBackImage->OnChange = Changed;
    FZoom = std::make_unique<TTeeZoom>();
}

TCustomTeePanelExtended::~TCustomTeePanelExtended() = default;

void TCustomTeePanelExtended::SetBackImageMode(TTeeBackImageMode Value) {
    if (FBackImageMode == Value) return;
    FBackImageMode = Value;
    Invalidate();
}

void TCustomTeePanelExtended::UndoZoom() {
    if (Assigned(UndoZoomNotify)) UndoZoomNotify(this);
    Invalidate();
    IsZoomed = false;
}

void TCustomTeePanelExtended::FillPanelRect(const TRect& Rect) {
    if (FGradient->Visible()) {
        FGradient->Draw(Canvas3D(), Rect, 0);
        return;
    }
    if (IsPrinting() && !PrintTeePanel) return;
    if (Color() == clNone) return;
    Canvas3D()->Brush()->SetBitmap(nullptr);
    Canvas3D()->Brush()->SetColor(Color());
    Canvas3D()->Brush()->SetStyle(bsSolid);
    Canvas3D()->EraseBackground(Rect);
}

void TCustomTeePanelExtended::PanelPaint(const TRect& Rect) {
    FillPanelRect(Rect);
    if (FBackImage->Graphic() && !FBackImageInside) DrawBitmap(Rect, 0);
    if (!Canvas3D()->GetSupportsFullRotation()) DrawPanelBevels(Rect);
}

void TCustomTeePanelExtended::DrawBitmap(const TRect& Rect, int Z) {
    if (Z != 0 && View3D() && !View3DOptions()->Orthogonal()) return;
    const TGraphic* Graphic = FBackImage->Graphic();
    if (!Graphic) return;
    TCanvas3D* C = Canvas3D();
    TRect R = Rect;
    if (FBackImageMode == pbmStretch) {
        if (Z > 0) {
            R = C->CalcRect3D(R, Z);
            if (!View3D()) ++R.Top;
        }
        C->StretchDraw(R, Graphic);
        return;
    }
    bool Clipped = CanClip();
    if (Clipped) {
        if (Z == 0) C->ClipRectangle(R);
        else C->ClipCube(R, 0, Depth3D);
    }
    if (Z > 0) R = C->CalcRect3D(R, Z);
    int W = R.Width(), H = R.Height(), PW = Graphic->Width(), PH = Graphic->Height();
    if (FBackImageMode == pbmTile) {
        if (PW > 0 && PH > 0)
            for (int Y = 0; Y < H; Y += PH)
                for (int X = 0; X < W; X += PW) C->Draw(R.Left + X, R.Top + Y, Graphic);
    } else {
        FillPanelRect(R);
        C->Draw(R.Left + (W - PW) / 2, R.Top + (H - PH) / 2, Graphic);
    }
    if (Clipped) C->UnClipRectangle();
}

void TCustomTeePanelExtended::DrawZoomRectangle() {
    TColor Back = static_cast<TColor>(ColorToRGB(GetBackColor()));
    TTeeZoom* Z = FZoom.get();
    SetBrushCanvas(Z->Brush()->Color() ^ (0xFFFFFF - Back), Z->Brush(), Back);
    Z->Pen()->SetMode(pmNotXor);
    Canvas3D()->AssignVisiblePenColor(Z->Pen(), Z->Pen()->Color() ^ (0xFFFFFF - Back));
    if (Z->Brush()->Style() == bsClear) Canvas3D()->SetBackMode(cbmTransparent);
    Canvas3D()->Rectangle(Z->StartX, Z->StartY, Z->EndX, Z->EndY);
}

void TCustomTeePanelExtended::Assign(TPersistent* Source) {
    if (auto* P = dynamic_cast<TCustomTeePanelExtended*>(Source)) {
        FBackImage->Assign(P->FBackImage.get());
        FBackImageInside = P->FBackImageInside;
        FBackImageMode = P->FBackImageMode;
        FGradient->Assign(P->FGradient.get());
        FZoom->Assign(P->FZoom.get());
    }
    TCustomTeePanel::Assign(Source);
}

void TCustomTeePanelExtended::DefineProperties(TFiler* Filer) {
    TCustomTeePanel::DefineProperties(Filer);
    Filer->DefineProperty(
        "AllowZoom", [this](TReader& R) { FZoom->Allow = R.ReadBoolean(); }, {}, false);
    Filer->DefineProperty(
        "AnimatedZoom", [this](TReader& R) { FZoom->Animated = R.ReadBoolean(); }, {}, false);
    Filer->DefineProperty(
        "AnimatedZoomSteps", [this](TReader& R) { FZoom->AnimatedSteps = R.ReadInteger(); }, {}, false);
    TRect M = PrintMargins();
    bool Stored = M.Left != 15 || M.Top != 15 || M.Right != 15 || M.Bottom != 15;
    Filer->DefineProperty(
        "PrintMargins",
        [this](TReader& R) {
            R.ReadListBegin();
            TRect Read;
            Read.Left = R.ReadInteger();
            Read.Top = R.ReadInteger();
            Read.Right = R.ReadInteger();
            Read.Bottom = R.ReadInteger();
            R.ReadListEnd();
            SetPrintMargins(Read);
        },
        [M](TWriter& W) {
            W.WriteListBegin();
            for (int V : {M.Left, M.Top, M.Right, M.Bottom}) W.WriteInteger(V);
            W.WriteListEnd();
        },
        Stored);
}

// ---------------------------------------------------------------------------
// Shapes
// ---------------------------------------------------------------------------

TTeeCustomShapeBrushPen::TTeeCustomShapeBrushPen() {
    TNotifyEvent Changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FBrush = std::make_unique<TChartBrush>(Changed);
    FPen = std::make_unique<TChartPen>(Changed);
}

TTeeCustomShapeBrushPen::~TTeeCustomShapeBrushPen() = default;

void TTeeCustomShapeBrushPen::CanvasChanged(TObject*) { Repaint(); }

void TTeeCustomShapeBrushPen::Repaint() {
    if (ParentPanel) ParentPanel->Invalidate();
}

void TTeeCustomShapeBrushPen::SetVisible(bool Value) {
    if (ParentPanel) ParentPanel->SetBooleanProperty(FVisible, Value);
    else FVisible = Value;
}

void TTeeCustomShapeBrushPen::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TTeeCustomShapeBrushPen*>(Source)) {
        FBrush->Assign(S->FBrush.get());
        FPen->Assign(S->FPen.get());
        FVisible = S->FVisible;
        return;
    }
    TPersistent::Assign(Source);
}

TTeeCustomShape::TTeeCustomShape(TCustomTeePanel* AOwner) {
    ParentPanel = AOwner;
    TNotifyEvent Changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FFont = std::make_unique<TTeeFont>(Changed);
    FGradient = std::make_unique<TChartGradient>(Changed);
}

TTeeCustomShape::~TTeeCustomShape() = default;

void TTeeCustomShape::SetBevel(TPanelBevel Value) {
    if (FBevel == Value) return;
    FBevel = Value;
    Repaint();
}

void TTeeCustomShape::SetBevelWidth(int Value) {
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    Repaint();
}

void TTeeCustomShape::SetColor(TColor Value) {
    if (ParentPanel) ParentPanel->SetColorProperty(FColor, Value);
    else FColor = Value;
}

void TTeeCustomShape::SetShadowColor(TColor Value) {
    if (ParentPanel) ParentPanel->SetColorProperty(FShadowColor, Value);
    else FShadowColor = Value;
}

void TTeeCustomShape::SetShadowSize(int Value) {
    if (ParentPanel) ParentPanel->SetIntegerProperty(FShadowSize, Value);
    else FShadowSize = Value;
}

void TTeeCustomShape::SetShapeStyle(TChartObjectShapeStyle Value) {
    if (FShapeStyle == Value) return;
    FShapeStyle = Value;
    Repaint();
}

void TTeeCustomShape::SetTransparency(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FTransparency == Value) return;
    FTransparency = Value;
    Repaint();
}

void TTeeCustomShape::SetTransparent(bool Value) {
    if (ParentPanel) ParentPanel->SetBooleanProperty(FTransparent, Value);
    else FTransparent = Value;
}

void TTeeCustomShape::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TTeeCustomShape*>(Source)) {
        FBevel = S->FBevel;
        FBevelWidth = S->FBevelWidth;
        FColor = S->FColor;
        FFont->Assign(S->FFont.get());
        FGradient->Assign(S->FGradient.get());
        FShapeStyle = S->FShapeStyle;
        FShadowColor = S->FShadowColor;
        FShadowSize = S->FShadowSize;
        FTransparent = S->FTransparent;
    }
    TTeeCustomShapeBrushPen::Assign(Source);
}

void TTeeCustomShape::Draw() {
    auto* Canvas = ParentPanel ? dynamic_cast<TTeeCanvas3D*>(ParentPanel->Canvas3D()) : nullptr;
    if (FTransparency > 0 && Canvas) {
        TTeeBlend Blend(Canvas, ShapeBounds);
        DrawRectRotated(ShapeBounds, 0, 0);
        Blend.DoBlend(FTransparency);
        return;
    }
    DrawRectRotated(ShapeBounds, 0, 0);
}

void TTeeCustomShape::DrawRectRotated(const TRect& Rect, int Angle, int Z) {
    if (FTransparent || !ParentPanel) return;
    TCanvas3D* C = ParentPanel->Canvas3D();
    auto Outline = [&](const TRect& R) {
        if (Angle < 1) {
            if (C->GetSupportsFullRotation()) C->RectangleWithZ(R, Z);
            else if (FShapeStyle == fosRoundRectangle) C->RoundRect(R.Left, R.Top, R.Right, R.Bottom, 16, 16);
            else C->DoRectangle(R);
            return;
        }
        int CX, CY;
        RectCenter(R, CX, CY);
        long double S, Co;
        SinCos(Angle * TeePiStep, S, Co);
        TPoint P[4];
        const TPoint Corners[4] = {
            {R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left, R.Bottom}};
        for (int I = 0; I < 4; ++I) {
            long double X = Corners[I].x - CX, Y = Corners[I].y - CY;
            P[I] = TPoint(N(X * Co + Y * S) + CX, N(-X * S + Y * Co) + CY);
        }
        C->PolygonWithZ(P, Z);
    };
    if (FShadowSize != 0 && Brush()->Style() != bsClear && !C->GetSupportsFullRotation()) {
        int Offset = FShadowSize;
        if (FShadowSize > 0 && Pen()->Visible()) Offset += Pen()->Width();
        C->Pen()->SetStyle(psClear);
        C->Brush()->SetBitmap(nullptr);
        C->Brush()->SetColor(FShadowColor);
        C->Brush()->SetStyle(bsSolid);
        TRect Shadow = Rect;
        OffsetRect(Shadow, Offset, Offset);
        Outline(Shadow);
    }
    if (!FGradient->Visible() || Angle != 0) {
        C->AssignBrush(Brush(), FColor);
    } else {
        FGradient->Draw(C, Rect, FShapeStyle == fosRoundRectangle ? 16 : 0);
        C->Brush()->SetStyle(bsClear);
    }
    C->AssignVisiblePen(Pen());
    Outline(Rect);
    if (FBevel != bvNone) {
        TRect R = Rect;
        ::Frame3D(C->ReferenceCanvas(), R, FBevel == bvLowered ? clBtnShadow : clBtnHighlight,
                  FBevel == bvRaised ? clBtnShadow : clBtnHighlight, FBevelWidth);
    }
}

void TTeeShape::DescribeProperties(TPropertyTable& T) {
    using S = TTeeCustomShape;
    T.Property("Bevel", &S::Bevel, &S::SetBevel).Default(bvNone);
    T.Property("BevelWidth", &S::BevelWidth, &S::SetBevelWidth).Default(2);
    T.Property("Color", &S::Color, &S::SetColor).OfType(ColorTypeInfo()).Default(clWhite);
    T.Property("Font", &S::Font, &S::SetFont);
    T.Property("Gradient", &S::Gradient, &S::SetGradient);
    T.Property("ShadowColor", &S::ShadowColor, &S::SetShadowColor).OfType(ColorTypeInfo()).Default(clBlack);
    T.Property("ShadowSize", &S::ShadowSize, &S::SetShadowSize).Default(3);
    T.Property("ShapeStyle", &S::ShapeStyle, &S::SetShapeStyle).Default(fosRectangle);
    T.Property("Transparent", &S::Transparent, &S::SetTransparent).Default(false);
}

// ---------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------

const double DateTimeStep[dtNone + 1] = {1.0 / 86400000,
                                         1.0 / 86400,
                                         5.0 / 86400,
                                         10.0 / 86400,
                                         15.0 / 86400,
                                         30.0 / 86400,
                                         1.0 / 1440,
                                         5.0 / 1440,
                                         10.0 / 1440,
                                         1.0 / 96,
                                         1.0 / 48,
                                         1.0 / 24,
                                         1.0 / 12,
                                         0.25,
                                         0.5,
                                         1,
                                         2,
                                         3,
                                         7,
                                         15,
                                         30,
                                         60,
                                         90,
                                         120,
                                         182,
                                         365,
                                         1};

const TColor ColorPalette[20] = {clRed,  clGreen, clYellow,     clBlue,    clWhite, clGray,   clFuchsia,
                                 clTeal, clNavy,  clMaroon,     clLime,    clOlive, clPurple, clSilver,
                                 clAqua, clBlack, clMoneyGreen, clSkyBlue, clCream, clMedGray};

AnsiString TeeFieldsSeparator = ";";

AnsiString TeeStr(int Number) { return IntToStr(Number); }

TColor GetDefaultColor(int Index) { return ColorPalette[Index % 20]; }

int TeeProcs::DaysInMonth(int Year, int Month) { return DaysInAMonth(Year, Month); }

AnsiString DateTimeDefaultFormat(double Step) {
    return Step > 1 ? FormatSettings().ShortDateFormat : FormatSettings().ShortTimeFormat;
}

double NextDateTimeStep(double Step) {
    for (int E = dtSixMonths; E >= dtOneMillisecond; --E)
        if (Step >= DateTimeStep[E]) return DateTimeStep[E + 1];
    return DateTimeStep[dtOneYear];
}

TDateTimeStep FindDateTimeStep(double Step) {
    for (int E = dtOneYear; E >= dtOneMillisecond; --E)
        if (std::abs(DateTimeStep[E] - Step) < DateTimeStep[dtOneMillisecond])
            return static_cast<TDateTimeStep>(E);
    return dtNone;
}

TDateTime TeeRoundDate(TDateTime Date, TDateTimeStep Step) {
    if (Date <= EncodeDate(1900, 1, 1)) return Date;
    int Y, M, D;
    DecodeDate(Date, Y, M, D);
    switch (Step) {
    case dtHalfMonth: D = D < 15 ? 1 : 15; break;
    case dtOneMonth:
    case dtTwoMonths:
    case dtThreeMonths:
    case dtFourMonths:
    case dtSixMonths: D = 1; break;
    case dtOneYear:
        M = 1;
        D = 1;
        break;
    default: break;
    }
    return EncodeDate(Y, M, D);
}

// Half-month steps land on the 1st or the 15th: downwards on the nearest of
// them before the day, upwards on the nearest after it (the 15th from the
// 1st to the 14th, the next month's 1st from the 15th on).
void TeeDateTimeIncrement(bool IsDateTime, bool Increment, double& Value, double Amount, TDateTimeStep Step) {
    if (!IsDateTime || Step < dtHalfMonth || Step > dtOneYear) {
        Value += Increment ? Amount : -Amount;
        return;
    }
    int Y, M, D;
    DecodeDate(Value, Y, M, D);
    auto MonthUp = [&](int Months) {
        D = 1;
        M += Months;
        while (M > 12) {
            M -= 12;
            ++Y;
        }
    };
    auto MonthDown = [&](int Months) {
        D = 1;
        if (Months >= M) {
            M = M + 12 - Months;
            --Y;
        } else {
            M -= Months;
        }
    };
    auto Months = [&](int Count) { Increment ? MonthUp(Count) : MonthDown(Count); };
    switch (Step) {
    case dtHalfMonth:
        if (Increment) {
            if (D < 15) D = 15;
            else MonthUp(1);
        } else if (D > 15) {
            D = 15;
        } else if (D > 1) {
            D = 1;
        } else {
            MonthDown(1);
            D = 15;
        }
        break;
    case dtOneMonth: Months(1); break;
    case dtTwoMonths: Months(2); break;
    case dtThreeMonths: Months(3); break;
    case dtFourMonths: Months(4); break;
    case dtSixMonths: Months(6); break;
    default:
        Y += Increment ? 1 : -1;
        // The 29th of February steps to the 28th of a year without it.
        D = std::min(D, DaysInAMonth(Y, M));
        break;
    }
    Value = EncodeDate(Y, M, D);
}

bool PointInLine(TPoint P, int X0, int Y0, int X1, int Y1) {
    return PointInLineTolerance(P, X0, Y0, X1, Y1, 0);
}

bool PointInLineTolerance(TPoint P, int X0, int Y0, int X1, int Y1, int Tolerance) {
    // A pixel or more off the line.
    long long Cross =
        static_cast<long long>(Y1 - Y0) * (P.x - X0) - static_cast<long long>(P.y - Y0) * (X1 - X0);
    if (std::llabs(Cross) >= std::max(std::abs(X1 - X0), std::abs(Y1 - Y0))) return false;
    const int T = Tolerance;
    auto Beyond = [T, P](int AX, int AY, int BX, int BY) {
        return (BX + T < AX && AX + T < P.x) || (BY + T < AY && AY + T < P.y) ||
               (P.x + T < AX && AX + T < BX) || (P.y + T < AY && AY + T < BY);
    };
    return !Beyond(X0, Y0, X1, Y1) && !Beyond(X1, Y1, X0, Y0);
}

bool PointInPolygon(TPoint P, std::span<const TPoint> Points) {
    bool Result = false;
    if (Points.empty()) return false;
    size_t J = Points.size() - 1;
    for (size_t I = 0; I < Points.size(); ++I) {
        const TPoint& A = Points[I];
        const TPoint& B = Points[J];
        if (((A.y <= P.y && P.y < B.y) || (B.y <= P.y && P.y < A.y)) &&
            P.x < A.x + static_cast<double>(B.x - A.x) * (P.y - A.y) / static_cast<double>(B.y - A.y))
            Result = !Result;
        J = I;
    }
    return Result;
}

bool PointInTriangle(TPoint P, int X0, int X1, int Y0, int Y1) {
    const TPoint T[3] = {{X0, Y0}, {(X0 + X1) / 2, Y1}, {X1, Y0}};
    return PointInPolygon(P, T);
}

bool PointInHorizTriangle(TPoint P, int Y0, int Y1, int X0, int X1) {
    const TPoint T[3] = {{X0, Y0}, {X1, (Y0 + Y1) / 2}, {X0, Y1}};
    return PointInPolygon(P, T);
}

bool PointInEllipse(TPoint P, const TRect& Rect) {
    int CX, CY;
    RectCenter(Rect, CX, CY);
    double A2 = static_cast<double>(CX - Rect.Left) * (CX - Rect.Left);
    double B2 = static_cast<double>(CY - Rect.Top) * (CY - Rect.Top);
    if (A2 == 0 || B2 == 0) return false;
    double DX = P.x - CX, DY = P.y - CY;
    return DX * DX / A2 + DY * DY / B2 <= 1;
}

AnsiString PascalToLocalFormat(std::string_view Format) {
    AnsiString Result(Format);
    for (char& C : Result) {
        if (C == ',') C = FormatSettings().ThousandSeparator;
        else if (C == '.') C = FormatSettings().DecimalSeparator;
    }
    return Result;
}

AnsiString LocalToPascalFormat(std::string_view Format) {
    AnsiString Result(Format);
    for (char& C : Result) {
        if (C == FormatSettings().ThousandSeparator) C = ',';
        else if (C == FormatSettings().DecimalSeparator) C = '.';
    }
    return Result;
}

void EnableControls(bool Enable, std::span<TControl* const> Controls) {
    for (TControl* C : Controls)
        if (C) C->SetEnabled(Enable);
}

void TeeSort(int StartIndex, int EndIndex, const TTeeSortCompare& Compare, const TTeeSortSwap& Swap) {
    int I = StartIndex, J = EndIndex;
    int M = static_cast<int>((static_cast<unsigned>(StartIndex) + static_cast<unsigned>(EndIndex)) / 2);
    while (I < J) {
        while (Compare(I, M) < 0) ++I;
        while (Compare(M, J) < 0) --J;
        if (I < J) {
            Swap(I, J);
            // The middle item travels with its swap: M follows it.
            if (I == M) M = J;
            else if (J == M) M = I;
        }
        if (I <= J) {
            ++I;
            --J;
        }
    }
    if (StartIndex < J) TeeSort(StartIndex, J, Compare, Swap);
    if (I < EndIndex) TeeSort(I, EndIndex, Compare, Swap);
}

AnsiString TeeGetUniqueName(TComponent* AOwner, std::string_view AStartName) {
    if (!AOwner) return {};
    for (int N1 = 1;; ++N1) {
        AnsiString Name = AnsiString(AStartName) + TeeStr(N1);
        if (!AOwner->FindComponent(Name)) return Name;
    }
}

int TeeNumFields(std::string_view Text) {
    if (Text.empty()) return 0;
    if (TeeFieldsSeparator.empty()) return 1;
    int Count = 1;
    for (size_t P = Text.find(TeeFieldsSeparator); P != std::string_view::npos;
         P = Text.find(TeeFieldsSeparator, P + TeeFieldsSeparator.size()))
        ++Count;
    return Count;
}

AnsiString TeeExtractField(std::string_view Text, int Index) {
    if (Text.empty()) return {};
    if (TeeFieldsSeparator.empty()) return AnsiString(Text);
    for (;;) {
        size_t P = Text.find(TeeFieldsSeparator);
        if (P == std::string_view::npos) return AnsiString(Text);
        if (Index == 1) return AnsiString(Text.substr(0, P));
        Text.remove_prefix(P + TeeFieldsSeparator.size());
        --Index;
    }
}

bool TeeIdentToCursor(std::string_view Ident, int& Cursor) {
    if (Ident == "crTeeHand") {
        Cursor = crTeeHand;
        return true;
    }
    return IdentToCursor(Ident, Cursor);
}

bool TeeCursorToIdent(int Cursor, AnsiString& Ident) {
    if (Cursor == crTeeHand) {
        Ident = "crTeeHand";
        return true;
    }
    return CursorToIdent(Cursor, Ident);
}

bool TryFindResource(std::string_view Name, TBitmap* ABitmap) {
    TResource Found;
    if (Name.size() > 255 || !FindResource(rkBitmap, Name, Found)) return false;
    ABitmap->LoadFromResourceName(Name);
    return true;
}

// The library's hand is our own drawing, built into the program.
void InitTeeProcs() {
    TeeFieldsSeparator.assign(1, ';');
    if (Screen) Screen->SetCursors(crTeeHand, LoadResourceCursor("TEE_CURSOR_HAND"));
}

void DoneTeeProcs() {
    if (Screen) Screen->SetCursors(crTeeHand, nullptr);
}
