#pragma once
// What the gradient panel's tests share: the colours and bands the panels
// must show, computed here from the rules and not from the library, and a
// canvas that records the figures it is asked to fill.
#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <string_view>
#include <vector>

#include "gradient/TeCanvas.h"
#include "gradient/TeeDraw3D.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "tests/support/ui/ScreenTest.h"

namespace gradient_test {

// The program's two gradient colours: blue-grey and money green.
constexpr TColor ProgramStart = 16744576;  // red 128, green 128, blue 255
constexpr TColor ProgramEnd = 12639424;    // red 192, green 220, blue 192

// Number * Numerator / Denominator rounded half away from zero, as the
// fill's bands are placed and coloured.
inline int Scale(int Number, int Numerator, int Denominator) {
    return static_cast<int>(
        std::round(static_cast<double>(Number) * Numerator / static_cast<double>(Denominator)));
}

// The pixel word (0x00RRGGBB) of a plain colour.
inline uint32_t Pixel(TColor C) { return ColorRefToPixel(static_cast<TColorRef>(C)); }

// The colour of the band that covers the line at Offset lines from the edge
// where the first colour lies, in a fill Length lines long: at most 256
// bands, band k covering offsets from k * L / N up to (k + 1) * L / N, in
// the colour k / (N - 1) of the way from First to Last.
inline uint32_t BandPixel(int Offset, int Length, TColor First, TColor Last) {
    int Count = Length <= 256 ? Length : 256;
    int K = 0;
    while (K + 1 < Count && Scale(K + 1, Length, Count) <= Offset) ++K;
    auto Channel = [&](int Shift) {
        int A = (First >> Shift) & 0xFF, B = (Last >> Shift) & 0xFF;
        return Count == 1 ? A : A + Scale(K, B - A, Count - 1);
    };
    return Pixel(RGB(Channel(0), Channel(8), Channel(16)));
}

// A vertical two-colour gradient as the panels show it. The fill counts its
// bands from the bottom edge, starting there with the start colour for
// gdTopBottom and with the end colour for gdBottomTop.
inline uint32_t RowPixel(int Row, int Height, TColor Start, TColor End, bool StartAtBottom) {
    return StartAtBottom ? BandPixel(Height - 1 - Row, Height, Start, End)
                         : BandPixel(Height - 1 - Row, Height, End, Start);
}

// A one-pixel raised frame over a Width x Height area: the bottom and right
// edges in the shadow colour, the top and left ones in the highlight (the
// bottom-right line is drawn last and wins at the corners); 0 inside.
inline uint32_t BevelPixel(int X, int Y, int Width, int Height, TColor Highlight, TColor Shadow) {
    if (X == Width - 1 || Y == Height - 1) return Pixel(static_cast<TColor>(ColorToRGB(Shadow)));
    if (X == 0 || Y == 0) return Pixel(static_cast<TColor>(ColorToRGB(Highlight)));
    return 0xFFFFFFFFu;
}

// A 3D canvas that keeps every polygon it fills, with the brush colour and
// the background colour it was filled with.
class TRecordingCanvas : public TTeeCanvas3D {
public:
    struct TFigure {
        std::vector<TPoint> Points;
        TColor Brush;
        TColor Back;
    };
    std::vector<TFigure> Figures;
    std::vector<int> TextOrientations;
    std::vector<int> TextHeights;
    std::vector<TPoint> Pictures;  // where graphics were drawn at their size
    std::vector<TRect> StretchedPictures;
    void Polygon(std::span<const TPoint> Points) override {
        Figures.push_back({{Points.begin(), Points.end()}, Brush()->Color(), GetBackColor()});
        TTeeCanvas3D::Polygon(Points);
    }
    void Draw(int X, int Y, const TGraphic* Graphic) override {
        Pictures.push_back(TPoint(X, Y));
        TTeeCanvas3D::Draw(X, Y, Graphic);
    }
    void StretchDraw(const TRect& Rect, const TGraphic* Graphic) override {
        StretchedPictures.push_back(Rect);
        TTeeCanvas3D::StretchDraw(Rect, Graphic);
    }
    void TextOut(int X, int Y, std::string_view Text) override {
        TextOrientations.push_back(Font()->Orientation());
        TextHeights.push_back(Font()->Height());
        TTeeCanvas3D::TextOut(X, Y, Text);
    }
};

// A 3D canvas drawing into its own buffer of Width x Height, projected as a
// panel of that size with the given view settings (depth 100).
struct TCanvasBench {
    explicit TCanvasBench(int Width = 200, int Height = 200) : Options(nullptr), Target(Width, Height) {
        Canvas.InitWindow(Target.Canvas(), &Options, clWhite, true, TRect(0, 0, Width, Height));
        Canvas.Projection(100, TRect(0, 0, Width, Height), TRect(0, 0, Width, Height));
    }
    // A rotated view without perspective.
    void Rotate(int Rotation, int Elevation) {
        Options.SetOrthogonal(false);
        Options.SetPerspective(0);
        Options.SetRotation(Rotation);
        Options.SetElevation(Elevation);
        Reproject();
    }
    // Takes changed view settings.
    void Reproject() {
        TRect R(0, 0, Target.Width(), Target.Height());
        Canvas.InitWindow(Target.Canvas(), &Options, clWhite, true, R);
        Canvas.Projection(100, R, R);
    }
    TView3DOptions Options;
    TBitmap Target;
    TRecordingCanvas Canvas;
};

// A gradient panel (of class TPanel) filling Form, from Start to End.
template <class TPanel = TDraw3D>
TPanel* FillWithGradient(TForm* Form, TColor Start, TColor End, TGradientDirection Direction = gdTopBottom) {
    auto* P = NewComponent<TPanel>(Form);
    P->SetParent(Form);
    P->SetAlign(alClient);
    P->Gradient()->SetStartColor(Start);
    P->Gradient()->SetEndColor(End);
    P->Gradient()->SetDirection(Direction);
    P->Gradient()->SetVisible(true);
    return P;
}

// The off-screen display, a clock that moves only when told, a fresh
// application and the gradient library started as the program starts it.
class GradientForms : public ScreenTest {
protected:
    GradientForms();
    ~GradientForms() override;
    // A form read from our text form format.
    TForm* FormFromText(std::string_view Text, TComponent* Owner = nullptr);
};

}  // namespace gradient_test
