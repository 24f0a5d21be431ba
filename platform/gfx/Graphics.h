#pragma once
// Pens, brushes, fonts and the canvas.
//
// A TCanvas is what the libraries call a device context: it draws on one
// TSurface with its own state (pen, brush, font, colours, modes, clip,
// origins, mapping), which SaveDC/RestoreDC stack. Every call takes logical
// coordinates; the mapping mode turns them into device coordinates, and the
// device origin (set by the window layer for a child window painted into its
// form's surface) turns those into surface pixels.
//
// Pixel rules (the old raster rules, no antialiasing):
// - lines leave out their end point; Bresenham steps, ties toward the start;
// - figure fills are half-open: the right and bottom edges are outside
//   (Rectangle (0, 0, 10, 5) covers columns 0..9 and rows 0..4 in all);
// - outlines are drawn with the pen inside that same area.
// Text is drawn by pango with hinted outlines and no antialiasing, so text
// pixels are either the text colour or untouched, and the same fonts give the
// same pixels on every machine.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gfx/Region.h"
#include "platform/gfx/Surface.h"
#include "platform/gfx/Types.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

ZELMOR_EXCEPTION(EInvalidGraphic, Exception);
ZELMOR_EXCEPTION(EInvalidGraphicOperation, Exception);

class TCanvas;
class TGraphic;
class TBitmap;
class TPropertyTable;
struct TTypeInfo;

// --- raster operation codes ---
enum : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16
};
// Ternary codes: bits 16..23 are the truth table over pattern (0xF0),
// source (0xCC) and destination (0xAA); the low word is ignored.
enum : uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
    ROP_DSna = 0x00220326,
    ROP_DSPDxax = 0x00E20746
};
// Background modes, stretch modes, mapping modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : int { MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
// Pen styles of ExtCreatePen (the low byte) and its end caps and type.
enum : uint32_t {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_ALTERNATE = 8,
    PS_STYLE_MASK = 0xF,
    PS_ENDCAP_ROUND = 0,
    PS_ENDCAP_SQUARE = 0x100,
    PS_ENDCAP_FLAT = 0x200,
    PS_ENDCAP_MASK = 0xF00,
    PS_COSMETIC = 0,
    PS_GEOMETRIC = 0x10000
};
// Text alignment.
enum : uint32_t {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24
};
// ExtTextOut options.
enum : uint32_t { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
// DrawText flags.
enum : uint32_t {
    DT_TOP = 0,
    DT_LEFT = 0,
    DT_CENTER = 1,
    DT_RIGHT = 2,
    DT_VCENTER = 4,
    DT_BOTTOM = 8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000
};
// DrawEdge.
enum : uint32_t {
    BDR_RAISEDOUTER = 1,
    BDR_SUNKENOUTER = 2,
    BDR_RAISEDINNER = 4,
    BDR_SUNKENINNER = 8,
    BDR_OUTER = 3,
    BDR_INNER = 12,
    BDR_RAISED = 5,
    BDR_SUNKEN = 10,
    EDGE_RAISED = 5,
    EDGE_SUNKEN = 10,
    EDGE_ETCHED = 6,
    EDGE_BUMP = 9,
    BF_LEFT = 1,
    BF_TOP = 2,
    BF_RIGHT = 4,
    BF_BOTTOM = 8,
    BF_TOPLEFT = 3,
    BF_BOTTOMRIGHT = 12,
    BF_RECT = 15,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000
};
// DrawFrameControl.
enum : uint32_t {
    DFC_CAPTION = 1,
    DFC_MENU = 2,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,
    DFCS_BUTTONCHECK = 0,
    DFCS_BUTTONRADIOIMAGE = 1,
    DFCS_BUTTONRADIOMASK = 2,
    DFCS_BUTTONRADIO = 4,
    DFCS_BUTTON3STATE = 8,
    DFCS_BUTTONPUSH = 0x10,
    DFCS_SCROLLUP = 0,
    DFCS_SCROLLDOWN = 1,
    DFCS_SCROLLLEFT = 2,
    DFCS_SCROLLRIGHT = 3,
    DFCS_SCROLLCOMBOBOX = 5,
    DFCS_SCROLLSIZEGRIP = 8,
    DFCS_CAPTIONCLOSE = 0,
    DFCS_CAPTIONMIN = 1,
    DFCS_CAPTIONMAX = 2,
    DFCS_CAPTIONRESTORE = 3,
    DFCS_CAPTIONHELP = 4,
    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_CHECKED = 0x400,
    DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000
};
// Character sets and the pitch bits of a logical font.
enum : uint8_t {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    SHIFTJIS_CHARSET = 128,
    OEM_CHARSET = 255
};
enum : uint8_t { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };
// tmPitchAndFamily: the bit is set for a VARIABLE pitch font (an old trap of the format).
enum : uint8_t { TMPF_FIXED_PITCH = 1, TMPF_VECTOR = 2, TMPF_TRUETYPE = 4 };
enum : int { FW_NORMAL = 400, FW_BOLD = 700 };
// GetDeviceCaps.
enum : int { HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, LOGPIXELSX = 88, LOGPIXELSY = 90 };
// The colour depth a screen reports (true colour).
constexpr int ScreenBitsPerPixel = 32;

// --- pen, brush, font ---
class TGraphicsObject : public TPersistent {
    ZELMOR_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

enum TPenStyle : uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psAlternate
};
enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TPenCap : uint8_t { pcRound, pcSquare, pcFlat };
const TTypeInfo& TypeInfoOf(TPenStyle*);
const TTypeInfo& TypeInfoOf(TPenMode*);
// The R2_ code of a pen mode and back.
int PenModeToRop2(TPenMode Mode);
TPenMode Rop2ToPenMode(int Rop2);

class TPen : public TGraphicsObject {
    ZELMOR_CLASS(TPen, TGraphicsObject)
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);  // values below 1 count as 1
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    // Square or flat ends of a wide pen (ExtCreatePen); round by default.
    TPenCap Cap() const { return FCap; }
    void SetCap(TPenCap Value);
    // ExtCreatePen's style word (PS_ style, end cap, cosmetic or geometric) with width and colour.
    void SetExtended(uint32_t PenStyle, int Width, TColor Color);
    void Assign(TPersistent* Source) override;
    bool SameAs(const TPen& Other) const;
    static void DescribeProperties(TPropertyTable& T);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    TPenCap FCap = pcRound;
};

enum TBrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
const TTypeInfo& TypeInfoOf(TBrushStyle*);

class TBrush : public TGraphicsObject {
    ZELMOR_CLASS(TBrush, TGraphicsObject)
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);  // also makes a clear brush solid
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern brush: the bitmap's pixels are copied (a later change to the
    // bitmap does not reach the brush); nullptr removes the pattern. A
    // monochrome pattern paints its 0 pixels in the text colour and its 1
    // pixels in the background colour. The pattern is anchored at the brush
    // origin (device 0, 0 unless SetBrushOrg moved it).
    void SetBitmap(const TBitmap* Bitmap);
    void SetPattern(const TSurface& Pattern);
    bool HasPattern() const { return FPattern != nullptr; }
    const std::shared_ptr<const TSurface>& Pattern() const { return FPattern; }
    // The 8 by 8 monochrome pattern of eight row words (bit 15 of a row is its first pixel,
    // the word layout of monochrome bitmap bits): $AAAA/$5555 gives the checkerboard.
    static TSurface MonoPattern8(const uint16_t Rows[8]);
    void Assign(TPersistent* Source) override;
    static void DescribeProperties(TPropertyTable& T);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::shared_ptr<const TSurface> FPattern;
};

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
const TTypeInfo& TypeInfoOf(TFontStyle*);
const TTypeInfo& TypeInfoOf(TFontPitch*);

// The logical font record of the platform.
struct TLogFont {
    int32_t lfHeight = 0;  // negative: character height in pixels; positive: cell height
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;  // tenths of a degree, counter-clockwise
    int32_t lfOrientation = 0;
    int32_t lfWeight = FW_NORMAL;
    uint8_t lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0;
    uint8_t lfCharSet = DEFAULT_CHARSET;
    uint8_t lfOutPrecision = 0, lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
    AnsiString lfFaceName;
};

// A font's character set as a property type: forms write "DEFAULT_CHARSET".
using TFontCharset = uint8_t;
const TTypeInfo& CharsetTypeInfo();

struct TFontResource;

class TFont : public TGraphicsObject {
    ZELMOR_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    AnsiString Name() const { return FName; }
    void SetName(const AnsiString& Value);
    // Size in points; Height in pixels: negative for the character height
    // (-MulDiv(Size, PixelsPerInch, 72)), positive for the cell height.
    int Size() const;
    void SetSize(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // Rotation in tenths of a degree, counter-clockwise (the escapement).
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);

    // Takes every value of a logical font (weight 600 and above is bold) and gives them back.
    void SetLogFont(const TLogFont& Font);
    TLogFont LogFont() const;
    void Assign(TPersistent* Source) override;
    bool SameAs(const TFont& Other) const;

    // The shaped, measured face behind this font; made on first use.
    const TFontResource& Resource() const;
    // Forms store Height; Size is published for code and never stored.
    static void DescribeProperties(TPropertyTable& T);

private:
    bool StoresSize() const { return false; }
    void FontChanged();
    AnsiString FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
    int FPixelsPerInch = ScreenPixelsPerInch;
    mutable std::shared_ptr<const TFontResource> FResource;
};

// The face that a requested name is drawn with (the substitution table, then fontconfig).
AnsiString SubstituteFontName(std::string_view Name);
// The face names a font can take here, sorted without regard to case: the
// families fontconfig knows, and the program's faces the substitution table
// draws with them (Arial, Courier New, MS Sans Serif, Terminal, Times New Roman).
std::vector<AnsiString> InstalledFontNames();
// Whether a face name is one of InstalledFontNames (any case).
bool IsFontInstalled(std::string_view Name);
// The fonts the system draws its own parts in: the items of menus, and the
// system font against which the old edit controls place their text.
void GetMenuFont(TFont& Font);
void GetSystemFont(TFont& Font);

struct TTextMetric {
    int32_t tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
    int32_t tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 0, tmOverhang = 0;
    int32_t tmDigitizedAspectX = 96, tmDigitizedAspectY = 96;
    uint8_t tmFirstChar = 32, tmLastChar = 255, tmDefaultChar = 31, tmBreakChar = 32;
    uint8_t tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = 0;
};

struct TDrawTextParams {
    int iTabLength = 8;  // in average character widths
    int iLeftMargin = 0, iRightMargin = 0;
    int uiLengthDrawn = 0;  // set by DrawTextEx
};

// --- the canvas ---
struct TCanvasImpl;
// Text kept as text: the runs a canvas hands to a device that writes
// documents instead of pixels (the PDF printer). What a run holds is the
// drawing layer's own business (platform/gfx/CanvasImpl.h).
struct TDeviceTextRun;
using TTextLayer = std::vector<TDeviceTextRun>;

class TCanvas : public TPersistent {
    ZELMOR_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    explicit TCanvas(TSurface* Surface);
    ~TCanvas() override;

    // --- the device ---
    TSurface* Surface() const;
    // Binds the canvas to a surface (nullptr: nothing is drawn) and resets the
    // device origin and device clip; the rest of the state stays.
    void SetSurface(TSurface* Surface);
    // Where device (0, 0) lies on the surface, and the visible part of the
    // device in device coordinates (nullptr: the whole surface). Set by the
    // window layer; untouched by SaveDC/RestoreDC.
    void SetDeviceOrigin(TPoint Origin);
    TPoint DeviceOrigin() const;
    void SetDeviceClip(const TRegion* Visible);
    // The visible part as set, or nullptr when the whole surface is visible.
    const TRegion* DeviceClip() const;
    // Resets pen, brush, font, colours, modes, clip, mapping and saved states.
    void ResetState();
    // The same, but the pen, brush and font chosen on the canvas stay chosen:
    // a fresh device context under the canvas's own tools.
    void ResetDeviceState();
    // The device's resolution: the screen's 96 unless a device of its own (a
    // printer page) sets another. A font given to the canvas keeps its size in
    // points: its Height and PixelsPerInch are made those of this resolution.
    int PixelsPerInch() const;
    void SetPixelsPerInch(int Value);
    // The colour depth the device reports: the screen's unless its owner (a
    // bitmap of another format, a printer) says otherwise.
    int BitsPerPixel() const;
    void SetBitsPerPixel(int Value);
    // While a layer is set, the characters of text drawn on the surface go
    // into it as runs (place, font, colour, clip) and not onto the pixels;
    // backgrounds, underlines and strike-outs are still painted. nullptr: text
    // is pixels again.
    void SetTextLayer(TTextLayer* Layer);
    // The canvas itself plays the device context of the platform calls.
    TCanvas* Handle() { return this; }
    bool HandleAllocated() const { return Surface() != nullptr; }
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    TPen* Pen() const;
    TBrush* Brush() const;
    TFont* Font() const;
    void SetPen(TPen* Value) { Pen()->Assign(Value); }
    void SetBrush(TBrush* Value) { Brush()->Assign(Value); }
    void SetFont(TFont* Value) { Font()->Assign(Value); }

    // --- device state ---
    // Font and Brush are the device's selected font and brush. A change to
    // either is selected into the colours below when they are next read or
    // set: the text colour becomes Font's colour, the background colour
    // Brush's colour, the background mode OPAQUE for a solid brush and
    // TRANSPARENT for any other. So TextOut after a change of Font or Brush
    // draws in Font's colour, on Brush's colour or transparently with a clear
    // brush; a colour set here after that holds for every call (TextOut,
    // ExtTextOut, DrawText, blits) until Font or Brush changes again.
    TColorRef SetTextColor(TColor Color);  // answer the previous value
    TColorRef GetTextColor() const;
    TColorRef SetBkColor(TColor Color);
    TColorRef GetBkColor() const;
    int SetBkMode(int Mode);
    int GetBkMode() const;
    int SetROP2(int Rop2);  // the pen's mode
    int GetROP2() const;
    int SetStretchBltMode(int Mode);
    int GetStretchBltMode() const;
    int SetPolyFillMode(int Mode);
    int GetPolyFillMode() const;
    uint32_t SetTextAlign(uint32_t Align);
    uint32_t GetTextAlign() const;
    int SetTextCharacterExtra(int Extra);
    int GetTextCharacterExtra() const;
    TPoint SetBrushOrg(TPoint Origin);  // device coordinates
    // BitBlt's code for Draw of a TBitmap and for CopyRect.
    uint32_t CopyMode() const;
    void SetCopyMode(uint32_t Rop);
    // Flags TextRect hands to ExtTextOut (ETO_CLIPPED, ETO_OPAQUE).
    uint32_t TextFlags() const;
    void SetTextFlags(uint32_t Flags);

    // --- mapping ---
    int SetMapMode(int Mode);
    int GetMapMode() const;
    TPoint SetWindowOrg(TPoint Origin);
    TPoint SetViewportOrg(TPoint Origin);
    TSize SetWindowExt(TSize Extent);
    TSize SetViewportExt(TSize Extent);
    TPoint GetWindowOrg() const;
    TPoint GetViewportOrg() const;
    TSize GetWindowExt() const;
    TSize GetViewportExt() const;
    void LPtoDP(std::span<TPoint> Points) const;
    void DPtoLP(std::span<TPoint> Points) const;
    TPoint LPtoDP(TPoint P) const;
    TPoint DPtoLP(TPoint P) const;
    TRect LPtoDP(const TRect& R) const;  // normalised
    TRect DPtoLP(const TRect& R) const;

    // --- clipping (device coordinates, as the platform keeps the clip) ---
    // Each answers the kind of the new clip (NULLREGION ...), RGN_ERROR on bad input.
    int SelectClipRgn(const TRegion* Region);  // nullptr removes the clip
    int ExtSelectClipRgn(const TRegion* Region, int Mode);
    int IntersectClipRect(int Left, int Top, int Right, int Bottom);  // logical coordinates
    int ExcludeClipRect(int Left, int Top, int Right, int Bottom);
    int OffsetClipRgn(int Dx, int Dy);
    // 1 and the clip when one is set, 0 when none (Region is left as it is).
    int GetClipRgn(TRegion& Region) const;
    // The bounding box of what can be drawn, in logical coordinates; answers its kind.
    int GetClipBox(TRect& Box) const;
    TRect ClipRect() const;
    bool RectVisible(const TRect& R) const;
    bool PtVisible(int X, int Y) const;

    // --- saved states ---
    int SaveDC();               // answers the new depth (1 for the first save)
    bool RestoreDC(int Saved);  // a depth, or -1 for the last one

    // --- figures ---
    TPoint PenPos() const;
    void SetPenPos(TPoint P) { MoveTo(P.x, P.y); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(std::span<const TPoint> Points);
    void PolyPolyline(std::span<const TPoint> Points, std::span<const int> Counts);
    void Polygon(std::span<const TPoint> Points);
    void PolyPolygon(std::span<const TPoint> Points, std::span<const int> Counts);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int EllipseWidth, int EllipseHeight);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    // Counter-clockwise from the ray through (X3, Y3) to the ray through (X4, Y4).
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void FillRect(const TRect& R);  // with the canvas brush
    void FillRect(const TRect& R, const TBrush& Brush);
    void FrameRect(const TRect& R);  // one-pixel frame with the canvas brush
    void InvertRect(const TRect& R);
    // The dotted frame of the focused control, drawn by inverting every other
    // pixel; drawing it again removes it.
    void DrawFocusRect(const TRect& R);
    void FillRgn(const TRegion& Region, const TBrush& Brush);  // device coordinates
    void PaintRgn(const TRegion& Region);
    void FrameRgn(const TRegion& Region, const TBrush& Brush, int Width, int Height);
    void InvertRgn(const TRegion& Region);
    TColor Pixel(int X, int Y) const;  // the platform's "no pixel" answer (-1) outside the clip
    void SetPixel(int X, int Y, TColor Color);
    TColor Pixels(int X, int Y) const { return Pixel(X, Y); }
    void SetPixels(int X, int Y, TColor Color) { SetPixel(X, Y, Color); }

    // --- blits (logical coordinates; the source in its own canvas's coordinates) ---
    bool BitBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY, uint32_t Rop);
    // Negative sizes mirror. The stretch mode decides how rows and columns that
    // fall together are combined; every mode takes the nearest pixel but
    // BLACKONWHITE and WHITEONBLACK, which AND and OR them.
    bool StretchBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY, int SW,
                    int SH, uint32_t Rop);
    bool PatBlt(int X, int Y, int Width, int Height, uint32_t Rop);
    // Where Mask (monochrome, same coordinates as the source) is 1 the
    // foreground code applies, where it is 0 the background code (the high
    // byte of Rop): the platform's MaskBlt.
    bool MaskBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY,
                 const TBitmap* Mask, int MX, int MY, uint32_t Rop);
    // Copies the source scaled, leaving out its pixels of the key colour.
    bool TransparentBlt(int X, int Y, int Width, int Height, const TCanvas* Source, int SX, int SY, int SW,
                        int SH, TColor Transparent);
    // The class library's forms of the same.
    void CopyRect(const TRect& Dest, const TCanvas* Source, const TRect& SourceRect);  // CopyMode
    void Draw(int X, int Y, const TGraphic* Graphic);
    void StretchDraw(const TRect& R, const TGraphic* Graphic);
    // Copies the bitmap's Source part into Dest, its pixels of Color replaced by the brush.
    void BrushCopy(const TRect& Dest, const TBitmap* Bitmap, const TRect& Source, TColor Color);

    // --- text (Windows-1252 text), in the text colour, on the background
    // colour where the background mode is OPAQUE (see the device state) ---
    void TextOut(int X, int Y, std::string_view Text);
    // Clipped to R; unless Brush is clear, R is first filled with the
    // background colour (Brush's, once selected).
    void TextRect(const TRect& R, int X, int Y, std::string_view Text);
    // Dx: the advance of each character, or empty for the font's own.
    bool ExtTextOut(int X, int Y, uint32_t Options, const TRect* R, std::string_view Text,
                    std::span<const int> Dx = {});
    // Answers the extent (width in the low word, height in the high word as the
    // platform packs it); TabOrigin is where tab positions are counted from.
    int32_t TabbedTextOut(int X, int Y, std::string_view Text, std::span<const int> TabStops, int TabOrigin);
    uint32_t GetTabbedTextExtent(std::string_view Text, std::span<const int> TabStops) const;
    TSize TextExtent(std::string_view Text) const;
    int TextWidth(std::string_view Text) const { return TextExtent(Text).cx; }
    int TextHeight(std::string_view Text) const { return TextExtent(Text).cy; }
    TSize GetTextExtentPoint(std::string_view Text) const { return TextExtent(Text); }
    bool GetTextMetrics(TTextMetric& Metrics) const;
    // Answers the height of the drawn text; with DT_CALCRECT nothing is drawn
    // and R becomes the rectangle the drawing would use.
    int DrawText(std::string_view Text, TRect& R, uint32_t Flags);
    int DrawTextEx(std::string_view Text, TRect& R, uint32_t Flags, TDrawTextParams* Params);

    // --- paths (figures and text outlines between BeginPath and EndPath) ---
    bool BeginPath();
    bool EndPath();
    bool AbortPath();
    bool CloseFigure();
    bool StrokePath();
    bool FillPath();
    bool StrokeAndFillPath();
    // The closed path as a region in device coordinates; the path is used up.
    TRegion PathToRegion();

    // --- edges and frame controls ---
    bool DrawEdge(TRect& R, uint32_t Edge, uint32_t Flags);
    bool DrawFrameControl(TRect& R, uint32_t Type, uint32_t State);

    // The platform counts locks on canvases shared between threads; there is
    // one thread, so these only keep the calls of the libraries compiling.
    void Lock() {}
    void Unlock() {}
    // Selects Font and Brush again at the next use, over any colour set since.
    void Refresh();

private:
    friend struct TCanvasImpl;
    std::unique_ptr<TCanvasImpl> F;
};

// What the device behind a canvas is: BITSPIXEL and PLANES (always one
// plane), HORZRES and VERTRES (its surface in pixels), LOGPIXELSX and
// LOGPIXELSY; 0 for any other index or without a canvas.
int GetDeviceCaps(const TCanvas* DC, int Index);

// The class library's 3D frame: Width nested one-pixel frames, the top and
// left sides in TopColor and the bottom and right sides in BottomColor; R
// becomes the area inside them.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width);
