#pragma once
// Helpers of the report-view library: keyboard state, numbers, words of a
// text, texts cut to a width, drawing helpers and component naming.
//
// The trimming and quoting helpers of the library are the platform's own
// (TrimLeft, TrimRight and QuotedStr of platform/rtl/Strings.h): they drop
// the same characters (codes below 33) and double the same quotes.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/gfx/Graphics.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Controls.h"

class TBitmap;

// A set of 8-bit characters (delimiters of the word routines, the letters of masks).
class TCharSet {
public:
    TCharSet() = default;
    // Each character of Chars.
    explicit TCharSet(std::string_view Chars);
    bool Contains(char C) const { return FBits.test(static_cast<unsigned char>(C)); }
    TCharSet& Include(char C);
    TCharSet& IncludeRange(char First, char Last);
    TCharSet& Exclude(char C) {
        FBits.reset(static_cast<unsigned char>(C));
        return *this;
    }
    size_t Count() const { return FBits.count(); }
    bool operator==(const TCharSet&) const = default;

private:
    std::bitset<256> FBits;
};

// Shift flags of the keys held now: 2 Shift, 4 Ctrl, 8 Alt, or-ed.
enum : uint8_t { ss_Shift = 2, ss_Ctrl = 4, ss_Alt = 8 };
uint8_t GetShiftFlags();
// The virtual key of the primary mouse button: VK_RBUTTON when the system swaps the buttons.
int GetLeftButton();
// The window before Wnd in z-order; else the last sibling; else Wnd itself.
HWND GetNextDlgItem(HWND Wnd);

// S when it fits MaxWidth on Canvas; otherwise S cut and ended with "...".
// S never loses characters below MinChars, so the answer may stay wider.
AnsiString GetDisplayString(TCanvas* Canvas, const AnsiString& S, int MinChars, int MaxWidth);
// Path shortened to MaxWidth pixels of the menu font: leading folders give
// way to "\...\" first, then the end is cut with "...".
AnsiString PathEllipsis(const AnsiString& Path, int MaxWidth);

inline int32_t MinI(int32_t A, int32_t B) { return A < B ? A : B; }
inline int32_t MaxI(int32_t A, int32_t B) { return A > B ? A : B; }
inline int32_t MinL(int32_t A, int32_t B) { return A < B ? A : B; }
inline int32_t MaxL(int32_t A, int32_t B) { return A > B ? A : B; }
inline int WidthOf(const TRect& R) { return R.Right - R.Left; }
inline int HeightOf(const TRect& R) { return R.Bottom - R.Top; }

// A bitmap of the library's resources (EResNotFound when there is none).
std::unique_ptr<TBitmap> LoadBaseBitmap(std::string_view Name);
// A cursor of the library's resources (EResNotFound when there is none).
HCURSOR LoadBaseCursor(std::string_view Name);

// The three bytes of a colour; system colours are resolved first.
void GetRGB(TColor Color, uint8_t& Red, uint8_t& Green, uint8_t& Blue);
// The start of the current century: the first year of the default window
// in which two-digit years are placed.
int DefaultEpoch();
// BaseName followed by the first of 1, 2, 3 ... that no component owned by
// Owner bears. EComponentError when BaseName is no identifier.
AnsiString GenerateComponentName(TComponent* Owner, const AnsiString& BaseName);

// 0 when the blocks are equal, 1 when the first differing byte of A is greater, else -1.
int CompStruct(const void* A, const void* B, size_t Size);
// Addresses keep their full width here: a difference or a step is never cut.
ptrdiff_t PtrDiff(const void* P1, const void* P2);
void PtrInc(const void*& P, size_t Delta);
void PtrDec(const void*& P, size_t Delta);

// Words are the maximal runs of characters outside Delimiters, numbered from 1.
int WordCount(std::string_view S, const TCharSet& Delimiters);
// The 1-based position of word N's first character; 0 when there are fewer words.
int WordPosition(int N, std::string_view S, const TCharSet& Delimiters);
AnsiString ExtractWord(int N, std::string_view S, const TCharSet& Delimiters);
// The first min(length) characters are equal without regard to case; false when either is empty.
bool PartialCompare(std::string_view S1, std::string_view S2);

// Rewrites a number typed with DecimalChar into the platform's number
// syntax ("1,5" -> "1.5", ".5" -> "0.5", "-.5" -> "-0.5"), in place.
char* FixRealPrim(std::span<char> S, char DecimalChar);
// Copies Source with a carriage return before every line feed that has
// none: at most MaxLen characters and the zero, within Dest.
char* FixTextBuffer(const char* Source, std::span<char> Dest, size_t MaxLen);

// True when the active window belongs to this program.
bool IsForegroundTask();
// The top margin at which an edit control of that height draws text in Font.
int GetTopTextMargin(TFont* Font, TBorderStyle BorderStyle, int Height, bool Ctl3D);
// A new font like Font, turned by Angle degrees (escapement, counter-clockwise).
std::unique_ptr<TFont> CreateRotatedFont(TFont* Font, int Angle);
// Draws a button's frame in Rect and answers the area inside it.
TRect DrawButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style);
// The picture embossed in the disabled look; MaskColor is its background.
std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* Bitmap, TColor MaskColor);
// Paints into Canvas what lies behind Control: its parent, then the
// windowless siblings below it that overlap it.
void CopyParentImage(TControl* Control, TCanvas* Dest);
// Draws Source's part of Bitmap (all of it for an empty rectangle) at (X, Y),
// stretched to Width x Height when both are given, leaving its pixels of
// TransparentColor unpainted: clNone draws it opaque, clDefault takes the
// colour of the bottom-left pixel.
void DrawTransparentBitmap(TCanvas* Dest, int X, int Y, int Width, int Height, const TRect& Source,
                           TBitmap* Bitmap, TColor TransparentColor);
// Stretches the source into the destination; where the monochrome mask is
// white the destination stays as it was.
void TransStretchBlt(TCanvas* DstDC, int DstX, int DstY, int DstW, int DstH, const TCanvas* SrcDC, int SrcX,
                     int SrcY, int SrcW, int SrcH, const TBitmap* Mask, int MaskX, int MaskY);

// What the library's own window procedures do with an exception that
// reaches them (call it inside a catch): the application's handler shows it
// and the loop goes on.
void OvcHandleException(TObject* Sender);

// Writes the text and a line feed, cut to 255 characters, to the standard
// error stream (in UTF-8): the debugger output of this system.
void DebugOutput(const AnsiString& S);
