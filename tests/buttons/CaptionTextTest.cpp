// Captions with effects, drawn with a pinned font: every pass is compared, by
// position, with the canvas's own text drawn at the place worked out here.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "buttons/fcHelpers.h"
#include "buttons/fcText.h"
#include "platform/gfx/Bitmap.h"

namespace {

using TInk = std::set<std::pair<int, int>>;

TInk InkOf(const TBitmap& B, uint32_t Pixel) {
    TInk Out;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (B.Surface().GetPixel(x, y) == Pixel) Out.insert({x, y});
    return Out;
}

TInk Shifted(const TInk& Ink, int Dx, int Dy) {
    TInk Out;
    for (auto [x, y] : Ink) Out.insert({x + Dx, y + Dy});
    return Out;
}

bool Within(const TInk& Part, const TInk& Whole) {
    for (const auto& P : Part)
        if (!Whole.count(P)) return false;
    return true;
}

// A caption on a lime 200 by 100 bitmap, in black bold Arial 16 pixels high.
struct TCaption {
    TBitmap Bmp{200, 100};
    TFont Font;
    bool Enabled = true;
    int Adjusted = 0, Invalidated = 0;
    TfcCaptionText Text{[this] { return Enabled; }, [this] { ++Adjusted; }, [this] { ++Invalidated; }, &Font,
                        Bmp.Canvas()};
    TCaption() {
        Font.SetName("Arial");
        Font.SetHeight(-16);
        Font.SetStyle({fsBold});
        Font.SetColor(clBlack);
        Bmp.Canvas()->Brush()->SetColor(clLime);
        Bmp.Canvas()->FillRect(TRect(0, 0, 200, 100));
        Bmp.Canvas()->Brush()->SetStyle(bsClear);
    }
    void Draw(const AnsiString& Caption, TRect Layout = TRect(10, 10, 190, 90)) {
        Text.SetText(Caption);
        Text.LayoutRect = Layout;
        Text.Draw();
    }
    // The canvas's own drawing of one line at (X, Y) in this font.
    TInk Reference(std::string_view Line, int X, int Y, int Rotation = 0) {
        TBitmap R(200, 100);
        R.Canvas()->Font()->Assign(&Font);
        R.Canvas()->Font()->SetOrientation(Rotation * 10);
        R.Canvas()->SetBkMode(TRANSPARENT);
        TRect At(X, Y, X + 200, Y + 100);
        R.Canvas()->DrawText(Line, At, DT_NOCLIP);
        return InkOf(R, 0x000000);
    }
    TSize Measure(std::string_view Line) {
        TBitmap M(1, 1);
        M.Canvas()->Font()->Assign(&Font);
        return M.Canvas()->TextExtent(Line);
    }
};

const uint32_t Red = 0xFF0000, Blue = 0x0000FF, Black = 0;

TEST(fcCaptionText, RotationIsKeptWithinATurn) {
    TCaption C;
    struct {
        int Set, Kept;
    } Cases[] = {{450, 90}, {-90, 270}, {-360, 360}, {720, 0}, {30, 30}};
    for (auto K : Cases) {
        C.Text.SetRotation(K.Set);
        EXPECT_EQ(C.Text.Rotation(), K.Kept) << K.Set;
    }
    int Adjusted = C.Adjusted;
    C.Text.SetRotation(30);
    EXPECT_EQ(C.Adjusted, Adjusted + 1) << "set again: the extent is reported again";
    // 360 draws like 0.
    TCaption Full, None;
    Full.Text.SetRotation(-360);
    Full.Draw("Salir");
    None.Draw("Salir");
    EXPECT_EQ(InkOf(Full.Bmp, Black), InkOf(None.Bmp, Black));
}

TEST(fcCaptionText, MeasuresWithoutAcceleratorsAndStacksLinesWithTheirSpacing) {
    TCaption C;
    C.Text.TargetCanvas = C.Bmp.Canvas();
    C.Bmp.Canvas()->Font()->Assign(&C.Font);
    C.Text.SetText("&Salir");
    EXPECT_EQ(C.Text.MeasureText().cx, C.Measure("Salir").cx);
    C.Text.SetOptions({});
    EXPECT_EQ(C.Text.MeasureText().cx, C.Measure("&Salir").cx);
    EXPECT_TRUE(C.Text.DrawFlags & DT_NOPREFIX);
    C.Text.SetText("A\r\nB");
    int H = C.Measure("A").cy;
    EXPECT_EQ(C.Text.MeasureText().cy, 2 * H + 5);
    C.Text.SetLineSpacing(2);
    EXPECT_EQ(C.Text.MeasureText().cy, 2 * H + 2);
    C.Text.SetText("");
    EXPECT_EQ(C.Text.MeasureText().cx, 0);
    EXPECT_EQ(C.Text.MeasureText().cy, 0);
}

TEST(fcCaptionText, ExtentsGrowWithEffectsAndTurnWithTheText) {
    TCaption C;
    C.Text.TargetCanvas = C.Bmp.Canvas();
    C.Text.LayoutRect = TRect(0, 0, 500, 500);
    C.Bmp.Canvas()->Font()->Assign(&C.Font);
    C.Text.SetText("Todos");
    TSize Plain = C.Measure("Todos");
    EXPECT_EQ(C.Text.GetExtent(false).cx, Plain.cx);
    C.Text.Shadow()->SetEnabled(true);
    C.Text.Shadow()->SetXOffset(8);
    C.Text.Shadow()->SetYOffset(4);
    EXPECT_EQ(C.Text.GetExtent(false).cx, Plain.cx + 8);
    EXPECT_EQ(C.Text.GetExtent(false).cy, Plain.cy + 4);
    C.Text.Shadow()->SetEnabled(false);
    C.Text.SetStyle(fclsOutline);
    EXPECT_EQ(C.Text.GetExtent(false).cx, Plain.cx + 2);
    C.Text.SetStyle(fclsDefault);
    C.Text.ExtrudeEffects()->SetEnabled(true);
    C.Text.ExtrudeEffects()->SetDepth(3);
    C.Text.ExtrudeEffects()->SetOrientation(fcTop);
    EXPECT_EQ(C.Text.GetExtent(false).cx, Plain.cx);
    EXPECT_EQ(C.Text.GetExtent(false).cy, Plain.cy + 3);
    C.Text.ExtrudeEffects()->SetEnabled(false);
    C.Text.SetRotation(90);
    EXPECT_EQ(C.Text.GetExtent(false).cx, Plain.cy);
    EXPECT_EQ(C.Text.GetExtent(false).cy, Plain.cx);
    C.Text.LayoutRect = TRect(0, 0, 10, 12);
    EXPECT_EQ(C.Text.GetExtent(true).cx, 10) << "clipped to the layout rectangle";
    EXPECT_EQ(C.Text.GetExtent(true).cy, 12);
}

TEST(fcCaptionText, ALoweredCaptionIsShadeUpLeftLightDownRightThenText) {
    TCaption C;
    C.Text.SetStyle(fclsLowered);
    C.Text.SetShadeColor(clBlue);
    C.Text.SetHighlightColor(clRed);
    C.Text.SetAlignment(taCenter);
    C.Text.SetVAlignment(vaVCenter);
    C.Draw("&Todos");
    // Centred in (10, 10, 190, 90).
    TSize S = C.Measure("Todos");
    TInk Text = C.Reference("&Todos", 100 - S.cx / 2, 50 - S.cy / 2);
    EXPECT_EQ(InkOf(C.Bmp, Black), Text);
    EXPECT_TRUE(Within(InkOf(C.Bmp, Blue), Shifted(Text, -1, -1)));
    EXPECT_TRUE(Within(InkOf(C.Bmp, Red), Shifted(Text, 1, 1)));
    TInk All = Text;
    for (auto& P : Shifted(Text, -1, -1)) All.insert(P);
    for (auto& P : Shifted(Text, 1, 1)) All.insert(P);
    TInk Drawn = InkOf(C.Bmp, Black);
    for (auto& P : InkOf(C.Bmp, Blue)) Drawn.insert(P);
    for (auto& P : InkOf(C.Bmp, Red)) Drawn.insert(P);
    EXPECT_EQ(Drawn, All);

    TCaption NoLight;
    NoLight.Text.SetStyle(fclsLowered);
    NoLight.Text.SetShadeColor(clBlue);
    NoLight.Text.SetHighlightColor(clNone);
    NoLight.Draw("Todos");
    EXPECT_FALSE(InkOf(NoLight.Bmp, Blue).empty());
    EXPECT_TRUE(InkOf(NoLight.Bmp, 0xFFFFFF).empty()) << "no lower pass in the none colour";
}

TEST(fcCaptionText, ADisabledPlainCaptionIsDrawnLoweredInTheDisabledColours) {
    TCaption C;
    C.Enabled = false;
    C.Text.DisabledColors()->SetHighlightColor(clRed);
    C.Text.DisabledColors()->SetShadeColor(clBlue);
    C.Text.SetShadeColor(clYellow);
    C.Draw("Salir");
    TInk Text = C.Reference("Salir", 10, 10);
    EXPECT_EQ(InkOf(C.Bmp, Blue), Text) << "the text in the disabled shade colour";
    EXPECT_TRUE(Within(InkOf(C.Bmp, Red), Shifted(Text, 1, 1)));
    EXPECT_FALSE(InkOf(C.Bmp, Red).empty());
    EXPECT_TRUE(InkOf(C.Bmp, 0xFFFF00).empty()) << "no upper pass while disabled";
}

TEST(fcCaptionText, AShadowIsDrawnAtItsFullOffset) {
    TCaption C;
    C.Text.Shadow()->SetEnabled(true);
    C.Text.Shadow()->SetXOffset(8);
    C.Text.Shadow()->SetYOffset(4);
    C.Text.Shadow()->SetColor(clBlue);
    C.Draw("Salir");
    TInk Text = C.Reference("Salir", 10, 10);
    EXPECT_EQ(InkOf(C.Bmp, Black), Text);
    TInk Shadow = InkOf(C.Bmp, Blue);
    EXPECT_TRUE(Within(Shadow, Shifted(Text, 8, 4)));
    EXPECT_EQ(Shadow.size() + InkOf(C.Bmp, Black).size(), [&] {
        TInk U = Text;
        for (auto& P : Shifted(Text, 8, 4)) U.insert(P);
        return U.size();
    }());
}

// The extrusion's copies trail 1 to Depth steps behind the text, the far
// one first, and stay inside the room the extent reserves.
TEST(fcCaptionText, ExtrusionCopiesTrailBehindTheTextInsideItsExtent) {
    for (TAlignment Align : {taLeftJustify, taCenter}) {
        TCaption C;
        C.Text.SetAlignment(Align);
        C.Text.ExtrudeEffects()->SetEnabled(true);
        C.Text.ExtrudeEffects()->SetDepth(3);
        C.Text.ExtrudeEffects()->SetOrientation(fcBottomRight);
        C.Text.ExtrudeEffects()->SetFarColor(clRed);
        C.Text.ExtrudeEffects()->SetNearColor(clBlue);
        C.Draw("Salir");
        TRect Room = C.Text.CalcRect(true);
        TInk Text = InkOf(C.Bmp, Black);
        ASSERT_FALSE(Text.empty());
        // far + (near - far) / (Depth / i): the copies shade from red to blue.
        uint32_t Copies[3] = {0xAA0055, 0x5500AA, 0x0000FF};
        TInk All = Text;
        for (int i = 1; i <= 3; ++i) {
            TInk Copy = InkOf(C.Bmp, Copies[i - 1]);
            EXPECT_FALSE(Copy.empty()) << i;
            EXPECT_TRUE(Within(Copy, Shifted(Text, 4 - i, 4 - i))) << "copy " << i << " at +" << 4 - i;
            All.insert(Copy.begin(), Copy.end());
        }
        for (auto [x, y] : All) {
            EXPECT_GE(x, Room.Left);
            EXPECT_LT(x, Room.Right) << Align;
            EXPECT_GE(y, Room.Top);
            EXPECT_LT(y, Room.Bottom);
        }
        TCaption Off;
        Off.Text.ExtrudeEffects()->SetDepth(3);
        Off.Text.ExtrudeEffects()->SetFarColor(clRed);
        Off.Draw("Salir");
        EXPECT_TRUE(InkOf(Off.Bmp, 0xAA0055).empty()) << "a disabled extrusion draws nothing";
    }
}

TEST(fcCaptionText, StriatedExtrusionDarkensEveryEvenCopy) {
    TCaption C;
    C.Text.ExtrudeEffects()->SetEnabled(true);
    C.Text.ExtrudeEffects()->SetDepth(4);
    C.Text.ExtrudeEffects()->SetOrientation(fcTopLeft);
    C.Text.ExtrudeEffects()->SetFarColor(RGB(0, 0, 0));
    C.Text.ExtrudeEffects()->SetNearColor(RGB(200, 200, 200));
    C.Text.ExtrudeEffects()->SetStriated(true);
    C.Draw("Salir");
    // far + i * ((near - far) div Depth), a quarter of it for even i.
    for (int i = 1; i <= 4; ++i) {
        int V = i * 50;
        if (i % 2 == 0) V /= 4;
        EXPECT_FALSE(InkOf(C.Bmp, uint32_t(V * 0x010101)).empty()) << i;
    }
}

TEST(fcCaptionText, AnOutlineSurroundsTheTextInAllEightDirections) {
    TCaption C;
    C.Text.SetStyle(fclsOutline);
    C.Text.SetOutlineColor(clBlue);
    C.Draw("Salir");
    TRect Room = C.Text.CalcRect(true);
    TInk Text = C.Reference("Salir", Room.Left, Room.Top);
    EXPECT_EQ(InkOf(C.Bmp, Black), Text);
    TInk Around;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy)
                for (auto& P : Shifted(Text, dx, dy))
                    if (!Text.count(P)) Around.insert(P);
    EXPECT_EQ(InkOf(C.Bmp, Blue), Around);
}

TEST(fcCaptionText, TurnedLinesFollowEachOtherAcrossTheTurn) {
    TCaption C;
    C.Text.SetRotation(90);
    C.Text.SetLineSpacing(3);
    C.Draw("A\r\nB", TRect(10, 10, 190, 95));
    TRect Room = C.Text.CalcRect(true);
    TSize Line = C.Measure("A");
    // The first line from the room's corner, the second one line (and the
    // spacing) to the right of it.
    TInk Want = C.Reference("A", Room.Left, Room.Top, 90);
    for (auto& P : C.Reference("B", Room.Left + Line.cy + 3, Room.Top, 90)) Want.insert(P);
    EXPECT_EQ(InkOf(C.Bmp, Black), Want);
}

TEST(fcCaptionText, SettersTellTheOwnerWhatChanged) {
    TCaption C;
    struct {
        const char* Name;
        std::function<void(TfcCaptionText&)> Set;
        bool Extent;
    } Cases[] = {
        {"LineSpacing", [](TfcCaptionText& T) { T.SetLineSpacing(9); }, true},
        {"Style", [](TfcCaptionText& T) { T.SetStyle(fclsRaised); }, true},
        {"Options", [](TfcCaptionText& T) { T.SetOptions({toShowEllipsis}); }, true},
        {"ShadowOffset", [](TfcCaptionText& T) { T.Shadow()->SetXOffset(2); }, true},
        {"Depth", [](TfcCaptionText& T) { T.ExtrudeEffects()->SetDepth(4); }, true},
        {"HighlightColor", [](TfcCaptionText& T) { T.SetHighlightColor(clRed); }, false},
        {"FarColor", [](TfcCaptionText& T) { T.ExtrudeEffects()->SetFarColor(clRed); }, false},
        {"DisabledShade", [](TfcCaptionText& T) { T.DisabledColors()->SetShadeColor(clRed); }, false},
        {"WordWrap", [](TfcCaptionText& T) { T.SetWordWrap(true); }, false},
    };
    for (const auto& K : Cases) {
        int A = C.Adjusted, I = C.Invalidated;
        K.Set(C.Text);
        EXPECT_EQ(C.Adjusted, A + (K.Extent ? 1 : 0)) << K.Name;
        EXPECT_EQ(C.Invalidated, I + 1) << K.Name;
        K.Set(C.Text);
        EXPECT_EQ(C.Invalidated, I + 1) << K.Name << " set again changes nothing";
    }
    EXPECT_TRUE(C.Text.DrawFlags & DT_WORDBREAK);
    EXPECT_TRUE(C.Text.DrawFlags & DT_END_ELLIPSIS);
    EXPECT_TRUE(C.Text.DrawFlags & DT_NOPREFIX);
}

TEST(fcCaptionText, CopiesTheLookButNotTheAlignment) {
    TCaption A, B;
    A.Text.SetStyle(fclsOutline);
    A.Text.SetRotation(45);
    A.Text.SetAlignment(taRightJustify);
    A.Text.SetWordWrap(true);
    A.Text.Shadow()->SetEnabled(true);
    A.Text.ExtrudeEffects()->SetDepth(7);
    A.Text.SetText("x");
    B.Text.Assign(&A.Text);
    EXPECT_EQ(B.Text.Style(), fclsOutline);
    EXPECT_EQ(B.Text.Rotation(), 45);
    EXPECT_TRUE(B.Text.Shadow()->Enabled());
    EXPECT_EQ(B.Text.ExtrudeEffects()->Depth(), 7);
    EXPECT_EQ(B.Text.Text(), "x");
    EXPECT_EQ(B.Text.Alignment(), taLeftJustify);
    EXPECT_FALSE(B.Text.WordWrap());
    EXPECT_THROW(A.Text.Shadow()->Assign(A.Text.ExtrudeEffects()), EInvalidCast);
}

}  // namespace
