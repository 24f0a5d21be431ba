#pragma once
// Colours, points, rectangles, system colours and system metrics: the small
// value types every drawing call takes.
#include <cstdint>

#include "platform/rtl/Numbers.h"  // MulDiv, which font heights and scaling use

struct TTypeInfo;

// --- colours ---
// A TColor is 00BBGGRR for a plain colour (red in the low byte), or
// $80000000 + index for a system colour, resolved through GetSysColor.
using TColor = int32_t;
using TColorRef = uint32_t;  // always a plain 00BBGGRR value

constexpr TColor RGB(int R, int G, int B) {
    return TColor((R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16));
}
constexpr int GetRValue(TColorRef C) { return int(C & 0xFF); }
constexpr int GetGValue(TColorRef C) { return int((C >> 8) & 0xFF); }
constexpr int GetBValue(TColorRef C) { return int((C >> 16) & 0xFF); }

// System colour indices (GetSysColor).
enum : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_ENDCOLORS = 29
};

constexpr TColor SysColor(int Index) { return TColor(0x80000000u | unsigned(Index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR), clBackground = SysColor(COLOR_BACKGROUND),
                 clActiveCaption = SysColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SysColor(COLOR_INACTIVECAPTION), clMenu = SysColor(COLOR_MENU),
                 clWindow = SysColor(COLOR_WINDOW), clWindowFrame = SysColor(COLOR_WINDOWFRAME),
                 clMenuText = SysColor(COLOR_MENUTEXT), clWindowText = SysColor(COLOR_WINDOWTEXT),
                 clCaptionText = SysColor(COLOR_CAPTIONTEXT), clActiveBorder = SysColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SysColor(COLOR_INACTIVEBORDER),
                 clAppWorkSpace = SysColor(COLOR_APPWORKSPACE), clHighlight = SysColor(COLOR_HIGHLIGHT),
                 clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT), clBtnFace = SysColor(COLOR_BTNFACE),
                 clBtnShadow = SysColor(COLOR_BTNSHADOW), clGrayText = SysColor(COLOR_GRAYTEXT),
                 clBtnText = SysColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SysColor(COLOR_3DDKSHADOW),
                 cl3DLight = SysColor(COLOR_3DLIGHT), clInfoText = SysColor(COLOR_INFOTEXT),
                 clInfoBk = SysColor(COLOR_INFOBK), clHotLight = SysColor(COLOR_HOTLIGHT),
                 clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION),
                 clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
// "No colour" and "the control's default"; both resolve to their low three
// bytes when a caller insists on painting with them.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
// The buttons' "no transparency at all" value.
constexpr TColor clNoTransparency = 0x0FFFFFFF;

// The plain colour of an index; 0 for an unknown index.
TColorRef GetSysColor(int Index);
// Tests fix the scheme; the default is the classic grey desktop scheme.
void SetSysColor(int Index, TColorRef Value);
void ResetSysColors();
// System colours become their current value; anything else keeps its low three bytes.
TColorRef ColorToRGB(TColor Color);
// TColor as a property type: forms write the named colours by name
// ("clBtnFace", "clNone"), any other as a number. Colour properties say
// .OfType(ColorTypeInfo()); IntToIdent/IdentToInt over it give the names.
const TTypeInfo& ColorTypeInfo();

// --- system metrics (GetSystemMetrics) ---
enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXFULLSCREEN = 16,
    SM_CYFULLSCREEN = 17,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_SWAPBUTTON = 23,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CXMENUCHECK = 71,
    SM_CYMENUCHECK = 72,
    SM_CMETRICS = 100
};
int GetSystemMetrics(int Index);
// The display backend sets the screen size; tests may fix any metric.
void SetSystemMetric(int Index, int Value);
void ResetSystemMetrics();
// Pixels per inch of the screen: always 96.
constexpr int ScreenPixelsPerInch = 96;

// --- geometry ---
struct TPoint {
    int32_t x = 0, y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int32_t X, int32_t Y) : x(X), y(Y) {}
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int32_t cx = 0, cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

// Right and bottom lie outside the rectangle.
struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int32_t L, int32_t T, int32_t R, int32_t B) : Left(L), Top(T), Right(R), Bottom(B) {}
    constexpr TRect(TPoint TopLeft, TPoint BottomRight)
        : Left(TopLeft.x), Top(TopLeft.y), Right(BottomRight.x), Bottom(BottomRight.y) {}
    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int X, int Y) { return {X, Y}; }
constexpr TRect Rect(int L, int T, int R, int B) { return {L, T, R, B}; }
constexpr TRect Bounds(int L, int T, int W, int H) { return {L, T, L + W, T + H}; }

// The classic rectangle routines; the Boolean ones answer whether the result is non-empty.
bool IsRectEmpty(const TRect& R);
void SetRect(TRect& R, int L, int T, int Rt, int B);
void SetRectEmpty(TRect& R);
void InflateRect(TRect& R, int Dx, int Dy);
void OffsetRect(TRect& R, int Dx, int Dy);
bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B);
bool UnionRect(TRect& Dest, const TRect& A, const TRect& B);
bool SubtractRect(TRect& Dest, const TRect& A, const TRect& B);
bool PtInRect(const TRect& R, TPoint P);
bool EqualRect(const TRect& A, const TRect& B);
void CopyRect(TRect& Dest, const TRect& Source);
// Left <= Right and Top <= Bottom, swapping where needed.
TRect NormalizedRect(const TRect& R);
