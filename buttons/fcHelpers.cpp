#include "buttons/fcHelpers.h"

#include <algorithm>

#include "buttons/fcBitmap.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Controls.h"

// --- class names and geometry ---

bool fcIsClassNamed(const TClassInfo* Class, std::string_view Name) { return Class && Class->IsNamed(Name); }

TPoint fcGetCursorPos() {
    TPoint P;
    GetCursorPos(P);
    return P;
}

TRect fcProportionalRect(const TRect& R, int W, int H) {
    int RW = fcRectWidth(R), RH = fcRectHeight(R);
    int Width, Height;
    if (RW > 0 && RH > 0 && W > 0 && H > 0 && double(H) / RH >= double(W) / RW) {
        Height = RH;
        Width = W * Height / H;
    } else {
        Width = RW;
        Height = W > 0 ? H * Width / W : 0;
    }
    return TRect(R.Left, R.Top, R.Left + Width, R.Top + Height);
}

// --- text fields ---

AnsiString fcCopyFrom(std::string_view Text, int From, int To) {
    if (To == 0) return Copy(Text, From, int(Text.size()));
    return Copy(Text, From, To - From);
}

int fcPosFrom(std::string_view Part, std::string_view Text, int Start) {
    if (Part.empty() || Start < 1) return 0;
    return PosEx(Part, Text, Start);
}

int fcNthPos(std::string_view Part, std::string_view Text, int N) {
    if (N < 0) return 0;
    int At = 0;
    for (int i = 0; i <= N; ++i) {
        At = fcPosFrom(Part, Text, At + 1);
        if (At == 0) return 0;
    }
    return At;
}

int fcCountFields(std::string_view Text, std::string_view Separator) {
    if (Text.empty()) return 0;
    int Count = 1;
    if (Separator.empty()) return Count;
    for (size_t i = 0; i + Separator.size() <= Text.size(); ++i)
        if (Text.compare(i, Separator.size(), Separator) == 0) ++Count;
    return Count;
}

AnsiString fcGetField(std::string_view Text, std::string_view Separator, int N) {
    if (N < 0 || N >= fcCountFields(Text, Separator)) return {};
    int Start = N == 0 ? 1 : fcNthPos(Separator, Text, N - 1) + int(Separator.size());
    int End = fcNthPos(Separator, Text, N);
    return fcCopyFrom(Text, Start, End);
}

int fcFieldIndex(std::string_view Text, std::string_view Separator, std::string_view Wanted) {
    int Count = fcCountFields(Text, Separator);
    for (int i = 0; i < Count; ++i)
        if (fcGetField(Text, Separator, i) == Wanted) return i;
    return -1;
}

AnsiString fcReplaceAll(std::string_view Text, std::string_view Old, std::string_view New) {
    if (Old.empty()) return AnsiString(Text);
    AnsiString Out;
    size_t i = 0;
    while (i < Text.size()) {
        if (Text.compare(i, Old.size(), Old) == 0) {
            Out += New;
            i += Old.size();
        } else {
            Out += Text[i++];
        }
    }
    return Out;
}

AnsiString fcStripAccelerators(std::string_view Text) {
    AnsiString Out;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '&') Out += Text[i];
        else if (i + 1 < Text.size() && Text[i + 1] == '&') {
            Out += '&';
            ++i;
        }
    }
    return Out;
}

int fcTextLineHeight(TCanvas* Canvas, uint32_t Flags, int Width, std::string_view Text) {
    TRect R(0, 0, Width, 0);
    Canvas->DrawText(Text, R, Flags | DT_CALCRECT);
    return R.Height();
}

std::vector<std::string_view> fcCaptionLines(std::string_view Text) {
    std::vector<std::string_view> Lines;
    if (Text.empty()) return Lines;
    size_t Start = 0;
    while (true) {
        size_t Break = Text.find("\r\n", Start);
        if (Break == std::string_view::npos) {
            Lines.push_back(Text.substr(Start));
            return Lines;
        }
        Lines.push_back(Text.substr(Start, Break - Start));
        Start = Break + 2;
    }
}

TSize fcMeasureTextBlock(TCanvas* Canvas, std::string_view Text, int LineSpacing, uint32_t Flags,
                         int WrapWidth) {
    TSize Size;
    std::vector<std::string_view> Lines = fcCaptionLines(Text);
    for (size_t i = 0; i < Lines.size(); ++i) {
        int W, H;
        if (WrapWidth > 0) {
            TRect R(0, 0, WrapWidth, 0);
            Canvas->DrawText(Lines[i], R, Flags | DT_CALCRECT);
            W = R.Width();
            H = R.Height();
        } else {
            TSize E = Canvas->TextExtent(Lines[i]);
            W = E.cx;
            H = E.cy;
        }
        Size.cx = std::max(Size.cx, W);
        Size.cy += H + (i + 1 < Lines.size() ? LineSpacing : 0);
    }
    return Size;
}

// --- colours ---

TfcColorParts fcSplitColor(TColor Color) {
    TColorRef C = ColorToRGB(Color);
    TfcColorParts P;
    P.Top = uint8_t(C >> 24);
    P.Blue = uint8_t(GetBValue(C));
    P.Green = uint8_t(GetGValue(C));
    P.Red = uint8_t(GetRValue(C));
    return P;
}

TColor fcAdjustColor(TColor Color, int Amount, bool Percent) {
    TfcColorParts P = fcSplitColor(Color);
    auto Adjust = [&](int C) {
        int V = Percent ? C + Amount * (Amount <= 0 ? C : 255 - C) / 100 : C + Amount;
        return fcClamp(V, 0, 255);
    };
    return RGB(Adjust(P.Red), Adjust(P.Green), Adjust(P.Blue));
}

uint32_t fcImageListColor(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(Color);
}

// --- drawing ---

namespace {
// Stamps the monochrome Mask's 0 pixels on the canvas in the brush colour:
// with text white and background black, DSPDxax paints the pattern where the
// source is white and keeps the target where it is black.
void Stamp(TCanvas* Canvas, int X, int Y, const TBitmap& Mono, TColor BrushColor) {
    Canvas->Brush()->SetColor(BrushColor);
    Canvas->SetTextColor(clWhite);
    Canvas->SetBkColor(clBlack);
    Canvas->BitBlt(X, Y, Mono.Width(), Mono.Height(), Mono.Canvas(), 0, 0, ROP_DSPDxax);
}
}  // namespace

void fcDrawImageListItem(const TCustomImageList& List, int Index, TCanvas* Canvas, bool Enabled,
                         uint32_t Style, int Y, int X, bool EvenColumn) {
    if (Enabled) {
        int At = EvenColumn ? X - X % 2 : X;
        List.DrawEx(Canvas, At, Y, Index, Style, fcImageListColor(List.BkColor()),
                    fcImageListColor(List.BlendColor()));
        return;
    }
    TBitmap Mask;
    if (!List.GetMask(Index, &Mask)) return;
    Mask.SetPixelFormat(pf1bit);
    // The list's mask is white where the image is transparent; the stamp wants
    // the image's own pixels in text colour, its gaps in background colour.
    TBrush Saved;
    Saved.Assign(Canvas->Brush());
    TColorRef Text = Canvas->GetTextColor(), Back = Canvas->GetBkColor();
    Stamp(Canvas, X + 1, Y + 1, Mask, clBtnHighlight);
    Stamp(Canvas, X, Y, Mask, clBtnShadow);
    Canvas->Brush()->Assign(&Saved);
    Canvas->SetTextColor(TColor(Text));
    Canvas->SetBkColor(TColor(Back));
}

void fcMakeDisabledGlyph(const TBitmap& Glyph, TBitmap& Target) {
    int W = Glyph.Width(), H = Glyph.Height();
    Target.SetSize(W, H);
    if (W <= 0 || H <= 0) return;
    // The monochrome copy: the glyph's black pixels white, every other pixel black.
    TBitmap Mono;
    Mono.SetPixelFormat(pf1bit);
    Mono.SetSize(W, H);
    std::vector<uint32_t> Row(size_t(W), 0);
    for (int y = 0; y < H; ++y) {
        Glyph.Surface().ReadSpan(0, y, W, Row.data());
        for (uint32_t& P : Row) P = P == 0 ? 0xFFFFFFu : 0u;
        Mono.Surface().WriteSpan(0, y, W, Row.data());
    }
    TCanvas* C = Target.Canvas();
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(TRect(0, 0, W, H));
    // Here the copy's white pixels take the brush: text black, background white.
    for (auto [At, Color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
        C->Brush()->SetColor(Color);
        C->SetTextColor(clBlack);
        C->SetBkColor(clWhite);
        C->BitBlt(At, At, W, H, Mono.Canvas(), 0, 0, ROP_DSPDxax);
    }
}

void fcMaskedBlit(TCanvas* Canvas, const TRect& R, const TCanvas* Source, bool ThroughScratch,
                  const TBitmap& Mask) {
    int W = fcRectWidth(R), H = fcRectHeight(R);
    if (W <= 0 || H <= 0) return;
    TColorRef OldBack = Canvas->SetBkColor(clWhite), OldText = Canvas->SetTextColor(clBlack);
    TBitmap Scratch;
    TCanvas* Target = Canvas;
    int X = R.Left, Y = R.Top;
    if (ThroughScratch) {
        Scratch.SetSize(W, H);
        Target = Scratch.Canvas();
        Target->BitBlt(0, 0, W, H, Canvas, R.Left, R.Top, SRCCOPY);
        Target->SetBkColor(clWhite);
        Target->SetTextColor(clBlack);
        X = Y = 0;
    }
    Target->BitBlt(X, Y, W, H, Source, 0, 0, SRCINVERT);
    Target->BitBlt(X, Y, W, H, Mask.Canvas(), 0, 0, ROP_DSna);
    Target->BitBlt(X, Y, W, H, Source, 0, 0, SRCINVERT);
    if (ThroughScratch) Canvas->BitBlt(R.Left, R.Top, W, H, Target, 0, 0, SRCCOPY);
    Canvas->SetBkColor(TColor(OldBack));
    Canvas->SetTextColor(TColor(OldText));
}

void fcDrawTransparent(TCanvas* Canvas, const TRect& R, const TfcBitmap& Bitmap, TColor Key) {
    if (Bitmap.Empty()) return;
    TfcPixel KeyPixel = Key == -1 ? Bitmap.Pixel(0, 0) : fcColorToPixel(Key);
    TfcBitmap Copy;
    Copy.Assign(const_cast<TfcBitmap*>(&Bitmap));
    Copy.MakeMask(KeyPixel);
    TBitmap Mask;
    Mask.SetPixelFormat(pf1bit);
    Mask.SetSize(Copy.Width(), Copy.Height());
    Mask.Canvas()->BitBlt(0, 0, Copy.Width(), Copy.Height(), Copy.Canvas(), 0, 0, SRCCOPY);
    fcMaskedBlit(Canvas, TRect(R.Left, R.Top, R.Left + Bitmap.Width(), R.Top + Bitmap.Height()),
                 Bitmap.Canvas(), true, Mask);
}

void fcFillOutsideRegion(TfcBitmap& Bitmap, const TRegion& Region) {
    if (Bitmap.Empty()) return;
    TRegion Outside =
        TRegion::Combine(TRegion(TRect(0, 0, Bitmap.Width(), Bitmap.Height())), Region, RGN_DIFF);
    TBrush Fill;
    Fill.SetColor(fcPixelToColor(Bitmap.KeyPixel()));
    Bitmap.Canvas()->FillRgn(Outside, Fill);
}

void fcDitherBrush(TBrush& Brush) {
    static const uint16_t Rows[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
    Brush.SetPattern(TBrush::MonoPattern8(Rows));
}

void fcDitherFill(TCanvas* Canvas, const TRect& R, TColor First, TColor Second) {
    if (Second == clNone) throw EInvalidOperation("Color2 cannot be clNone");
    if (First == clNone) {
        TfcBitmap Scratch;
        Scratch.SetSize(fcRectWidth(R), fcRectHeight(R));
        if (Scratch.Empty()) return;
        // The inverse of the second colour fills the gaps and is then left out.
        TColor Inverse = TColor(~ColorToRGB(Second) & 0xFFFFFF);
        fcDitherFill(Scratch.Canvas(), TRect(0, 0, Scratch.Width(), Scratch.Height()), Inverse, Second);
        fcDrawTransparent(Canvas, R, Scratch, -1);
        return;
    }
    TBrush Saved;
    Saved.Assign(Canvas->Brush());
    fcDitherBrush(*Canvas->Brush());
    Canvas->SetBkColor(First);
    Canvas->SetTextColor(Second);
    Canvas->FillRect(R);
    Canvas->Brush()->Assign(&Saved);
}

void fcTileGraphic(const TGraphic& Graphic, TCanvas* Canvas, const TRect& R) {
    int W = Graphic.Width(), H = Graphic.Height();
    if (W <= 0 || H <= 0) return;
    for (int y = 0; y < fcRectHeight(R); y += H)
        for (int x = 0; x < fcRectWidth(R); x += W) Canvas->Draw(x, y, &Graphic);
}

// --- regions ---

std::optional<TRegion> fcRegionFromBitmap(const TfcBitmap& Bitmap, TColor Transparent) {
    int W = Bitmap.Width(), H = Bitmap.Height();
    if (W <= 0 || H <= 0) return std::nullopt;
    TfcPixel Key = Transparent == -1
                       ? Bitmap.Pixel(0, 0)
                       : fcMakePixel(GetRValue(TColorRef(Transparent)), GetGValue(TColorRef(Transparent)),
                                     GetBValue(TColorRef(Transparent)));
    std::vector<std::vector<int32_t>> Rows(static_cast<size_t>(H));
    bool Any = false;
    for (int y = 0; y < H; ++y) {
        const uint8_t* P = Bitmap.ScanLine(y);
        std::vector<int32_t>& Runs = Rows[size_t(y)];
        int Start = -1;
        for (int x = 0; x <= W; ++x) {
            bool Opaque =
                x < W && !(P[3 * x] == Key.Blue && P[3 * x + 1] == Key.Green && P[3 * x + 2] == Key.Red);
            if (Opaque && Start < 0) Start = x;
            if (!Opaque && Start >= 0) {
                Runs.push_back(Start);
                Runs.push_back(x);
                Start = -1;
                Any = true;
            }
        }
    }
    if (!Any) return std::nullopt;
    return TRegion::FromRows(0, Rows);
}

// --- windows ---

void fcInvalidateTree(HWND Wnd) {
    InvalidateRect(Wnd, nullptr, false);
    for (HWND Child : GetChildWindows(Wnd)) fcInvalidateTree(Child);
}

void fcInvalidateOverlapping(HWND Parent, HWND Wnd) {
    TRect Mine;
    if (!GetWindowRect(Wnd, Mine)) return;
    EnumChildWindows(Parent, [&](HWND Child) {
        TRect Theirs, Common;
        if (GetWindowRect(Child, Theirs) && IntersectRect(Common, Mine, Theirs)) fcInvalidateTree(Child);
        return true;
    });
}

void fcInvalidateBounds(TControl* Control, bool Erase) {
    if (!Control || !Control->Parent() || !Control->Parent()->HandleAllocated()) return;
    TRect R = Control->BoundsRect();
    InvalidateRect(Control->Parent()->Handle(), &R, Erase);
}
