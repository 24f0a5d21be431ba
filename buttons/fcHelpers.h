#pragma once
// The free routines the buttons, the captions and the bitmap share: class
// names, geometry, text fields, colours, masked and disabled drawing,
// dithering, tiling, regions from pictures and window invalidation.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/Region.h"
#include "platform/win/WindowManager.h"

class TfcBitmap;
class TBitmap;
class TGraphic;
class TCustomImageList;
class TControl;

// --- class names and geometry ---
// The class or an ancestor has the name, compared without regard to case:
// how the library knows a group, a bar or an active form without their declarations.
bool fcIsClassNamed(const TClassInfo* Class, std::string_view Name);
inline int fcMin(int A, int B) { return A < B ? A : B; }
inline int fcMax(int A, int B) { return A > B ? A : B; }
inline int fcRectWidth(const TRect& R) { return R.Right - R.Left; }
inline int fcRectHeight(const TRect& R) { return R.Bottom - R.Top; }
inline TPoint fcMakePoint(int X, int Y) { return TPoint(X, Y); }
template <class T>
T fcIif(bool Flag, T A, T B) {
    return Flag ? A : B;
}
inline uint32_t fcSetFlag(bool Set, uint32_t Flags, uint32_t Bits) {
    return Set ? Flags | Bits : Flags & ~Bits;
}
TPoint fcGetCursorPos();
// The middle of a line, each coordinate divided towards zero.
inline TPoint fcMidpoint(TPoint A, TPoint B) { return TPoint((A.x + B.x) / 2, (A.y + B.y) / 2); }
// W by H scaled to fit R, kept at R's top-left.
TRect fcProportionalRect(const TRect& R, int W, int H);

// --- text fields: positions from 1, comparisons with case ---
AnsiString fcCopyFrom(std::string_view Text, int From, int To);
int fcPosFrom(std::string_view Part, std::string_view Text, int Start);
// The position of the (N + 1)-th occurrence; N = -1 gives 0.
int fcNthPos(std::string_view Part, std::string_view Text, int N);
int fcCountFields(std::string_view Text, std::string_view Separator);
AnsiString fcGetField(std::string_view Text, std::string_view Separator, int N);
int fcFieldIndex(std::string_view Text, std::string_view Separator, std::string_view Wanted);
AnsiString fcReplaceAll(std::string_view Text, std::string_view Old, std::string_view New);
// "&&" is an ampersand, any other "&" goes.
AnsiString fcStripAccelerators(std::string_view Text);
// A caption's lines, split at CR LF: a non-empty text has one line more
// than it has breaks, an empty one none.
std::vector<std::string_view> fcCaptionLines(std::string_view Text);
int fcTextLineHeight(TCanvas* Canvas, uint32_t Flags, int Width, std::string_view Text);
// The lines of Text (split at CR LF) measured one by one, wrapped at
// WrapWidth when it is above 0, LineSpacing between them.
TSize fcMeasureTextBlock(TCanvas* Canvas, std::string_view Text, int LineSpacing, uint32_t Flags,
                         int WrapWidth);

// --- colours ---
struct TfcColorParts {
    uint8_t Top = 0, Blue = 0, Green = 0, Red = 0;
};
TfcColorParts fcSplitColor(TColor Color);
// Percent: +50 moves each channel half-way to white, -50 half-way to black;
// otherwise Amount is added. System colours are resolved first.
TColor fcAdjustColor(TColor Color, int Amount, bool Percent);
uint32_t fcImageListColor(TColor Color);

// --- drawing ---
// Enabled: the image at (X, Y), or at the even column left of X for the
// glyph variant. Disabled: the image's mask embossed in the button colours.
void fcDrawImageListItem(const TCustomImageList& List, int Index, TCanvas* Canvas, bool Enabled,
                         uint32_t Style, int Y, int X, bool EvenColumn = false);
// The disabled look of a glyph: its black parts embossed on the button face.
void fcMakeDisabledGlyph(const TBitmap& Glyph, TBitmap& Target);
// Source shows where Mask (monochrome) is white and the target stays where it
// is black. Through scratch, the target's area is composed off the canvas
// and copied back once.
void fcMaskedBlit(TCanvas* Canvas, const TRect& R, const TCanvas* Source, bool ThroughScratch,
                  const TBitmap& Mask);
// Key -1: the bitmap's top-left pixel.
void fcDrawTransparent(TCanvas* Canvas, const TRect& R, const TfcBitmap& Bitmap, TColor Key);
void fcFillOutsideRegion(TfcBitmap& Bitmap, const TRegion& Region);
// The 8 by 8 checkerboard: even rows $AAAA, odd rows $5555.
void fcDitherBrush(TBrush& Brush);
// First and Second in a checkerboard; a First of clNone leaves every other
// pixel as it was. Second may not be clNone (EInvalidOperation).
void fcDitherFill(TCanvas* Canvas, const TRect& R, TColor First, TColor Second);
void fcTileGraphic(const TGraphic& Graphic, TCanvas* Canvas, const TRect& R);

// --- regions ---
// The pixels not of the transparent colour (a plain RGB value; -1: the
// top-left pixel's), by runs of each row; none when every pixel is transparent.
std::optional<TRegion> fcRegionFromBitmap(const TfcBitmap& Bitmap, TColor Transparent);

// --- windows ---
void fcInvalidateTree(HWND Wnd);
// Every window below Parent that overlaps Wnd on the screen, with its children.
void fcInvalidateOverlapping(HWND Parent, HWND Wnd);
void fcInvalidateBounds(TControl* Control, bool Erase);
