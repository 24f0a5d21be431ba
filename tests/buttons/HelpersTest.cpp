// The shared routines: text fields, colours, geometry, masked and disabled
// drawing, dithering, regions from pictures, and colour tables.
#include <gtest/gtest.h>

#include "buttons/fcBitmap.h"
#include "buttons/fcExprEval.h"
#include "buttons/fcHelpers.h"
#include "buttons/fcPixelSwap.h"
#include "buttons/fcShapeBtn.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/ImageList.h"

namespace {

uint32_t At(const TBitmap& B, int X, int Y) { return B.Surface().GetPixel(X, Y); }
uint32_t Pixel(TColor C) { return ColorRefToPixel(ColorToRGB(C)); }

TEST(fcHelpers, TextFieldsCountFromOneAndCompareWithCase) {
    EXPECT_EQ(fcCountFields("a, b", ", "), 2);
    EXPECT_EQ(fcCountFields("", ", "), 0);
    EXPECT_EQ(fcCountFields("a", ", "), 1);
    EXPECT_EQ(fcCountFields("a, , b, ", ", "), 4);
    struct {
        const char* Text;
        int N;
        const char* Field;
    } Fields[] = {
        {"a, b", 0, "a"}, {"a, b", 1, "b"}, {"a, b", 2, ""}, {"x, yy, zzz", 2, "zzz"}, {"a, b", -1, ""}};
    for (const auto& F : Fields) EXPECT_EQ(fcGetField(F.Text, ", ", F.N), F.Field) << F.Text << " " << F.N;
    EXPECT_EQ(fcFieldIndex("one;two;three", ";", "three"), 2);
    EXPECT_EQ(fcFieldIndex("one;two;three", ";", "Two"), -1);
    EXPECT_EQ(fcReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(fcReplaceAll("1,2,,3", ",", ", "), "1, 2, , 3");
    EXPECT_EQ(fcStripAccelerators("&Salir"), "Salir");
    EXPECT_EQ(fcStripAccelerators("A&&B"), "A&B");
    EXPECT_EQ(fcStripAccelerators("&&&x&"), "&x");
    EXPECT_EQ(fcCopyFrom("abcdef", 2, 4), "bc");
    EXPECT_EQ(fcCopyFrom("abcdef", 3, 0), "cdef");
    EXPECT_EQ(fcPosFrom("b", "abab", 3), 4);
    EXPECT_EQ(fcPosFrom("c", "abab", 1), 0);
    EXPECT_EQ(fcNthPos("b", "abab", 1), 4);
    EXPECT_EQ(fcNthPos("b", "abab", 2), 0);
    EXPECT_EQ(fcNthPos("b", "abab", -1), 0);
}

TEST(fcHelpers, ColoursAndGeometry) {
    EXPECT_EQ(fcAdjustColor(RGB(100, 100, 100), 50, true), RGB(177, 177, 177));
    EXPECT_EQ(fcAdjustColor(RGB(100, 100, 100), -50, true), RGB(50, 50, 50));
    EXPECT_EQ(fcAdjustColor(RGB(250, 3, 100), 10, false), RGB(255, 13, 110));
    SetSysColor(COLOR_BTNFACE, RGB(200, 100, 0));
    EXPECT_EQ(fcAdjustColor(clBtnFace, -50, true), RGB(100, 50, 0)) << "system colours are resolved";
    ResetSysColors();
    TfcColorParts P = fcSplitColor(RGB(1, 2, 3));
    EXPECT_EQ(P.Red, 1);
    EXPECT_EQ(P.Green, 2);
    EXPECT_EQ(P.Blue, 3);
    EXPECT_EQ(fcImageListColor(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(fcImageListColor(clDefault), 0xFF000000u);
    EXPECT_EQ(fcImageListColor(clRed), 0x0000FFu);
    EXPECT_EQ(fcProportionalRect(TRect(0, 0, 100, 100), 200, 100), TRect(0, 0, 100, 50));
    EXPECT_EQ(fcProportionalRect(TRect(10, 20, 110, 70), 50, 100), TRect(10, 20, 35, 70));
    EXPECT_EQ(fcMidpoint(TPoint(84, 0), TPoint(84, 23)), TPoint(84, 11));
    EXPECT_EQ(fcSetFlag(true, 0x100, 0x10), 0x110u);
    EXPECT_EQ(fcSetFlag(false, 0x110, 0x10), 0x100u);
    EXPECT_EQ(fcIif(true, 1, 2), 1);
}

class TActiveForm : public TObject {
    ZELMOR_CLASS(TActiveForm, TObject)
};
class TMyActiveForm : public TActiveForm {
    ZELMOR_CLASS(TMyActiveForm, TActiveForm)
};
ZELMOR_IMPLEMENT_CLASS(TActiveForm, TObject)
ZELMOR_IMPLEMENT_CLASS(TMyActiveForm, TActiveForm)

TEST(fcHelpers, ClassesAreKnownByTheirNamesAndTheirAncestors) {
    EXPECT_TRUE(fcIsClassNamed(&TMyActiveForm::StaticClassInfo(), "tactiveform"));
    EXPECT_TRUE(fcIsClassNamed(&TMyActiveForm::StaticClassInfo(), "TMyActiveForm"));
    EXPECT_FALSE(fcIsClassNamed(&TActiveForm::StaticClassInfo(), "TMyActiveForm"));
    EXPECT_FALSE(fcIsClassNamed(nullptr, "TObject"));
}

TEST(fcHelpers, ColourTablesAndPaletteEntriesSwapRedAndBlue) {
    uint32_t Entries[3] = {0xAA112233, 0x00FF0000, 0x000000FF};
    fcSwapRedBlue(Entries, 3);
    EXPECT_EQ(Entries[0], 0x00332211u) << "the top byte is cleared";
    EXPECT_EQ(Entries[1], 0x000000FFu);
    EXPECT_EQ(Entries[2], 0x00FF0000u);
    fcSwapRedBlue(Entries, 2);
    EXPECT_EQ(Entries[0], 0x00112233u);
    EXPECT_EQ(Entries[2], 0x00FF0000u) << "only the entries counted";
}

TEST(fcHelpers, OurSurfacesAreTrueColour) {
    TBitmap Colour(2, 2), Mono;
    Mono.SetPixelFormat(pf1bit);
    Mono.SetSize(2, 2);
    TfcBitmap Own;
    Own.SetSize(2, 2);
    EXPECT_EQ(GetDeviceCaps(Colour.Canvas(), BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(Own.Canvas(), BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(Mono.Canvas(), BITSPIXEL), 1);
    EXPECT_EQ(GetDeviceCaps(Colour.Canvas(), PLANES), 1);
    // So a loaded colour table is never realized as a palette, and a grey
    // reaches the screen as it is: a shape button's face is its Color itself.
    EXPECT_FALSE(Own.SelectPalette(Colour.Canvas()));
    EXPECT_TRUE(fcDisplayKeepsGrey());
    TfcShapeBtn Button(nullptr);
    Button.SetColor(RGB(192, 192, 192));
    EXPECT_EQ(Button.FaceColor(), RGB(192, 192, 192));
}

TEST(fcHelpers, DitherFillLaysACheckerboardFromTheBrushOrigin) {
    TBitmap B(5, 3);
    fcDitherFill(B.Canvas(), TRect(0, 0, 5, 3), clRed, clBlue);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(B, x, y), (x + y) % 2 == 0 ? 0xFF0000u : 0x0000FFu) << x << "," << y;
    // Without a first colour, the second lands on every other pixel.
    TBitmap C(4, 2);
    C.Canvas()->Brush()->SetColor(clLime);
    C.Canvas()->FillRect(TRect(0, 0, 4, 2));
    fcDitherFill(C.Canvas(), TRect(0, 0, 4, 2), clNone, clBlue);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(C, x, y), (x + y) % 2 == 0 ? 0x00FF00u : 0x0000FFu) << x << "," << y;
    try {
        fcDitherFill(C.Canvas(), TRect(0, 0, 4, 2), clRed, clNone);
        FAIL() << "no second colour";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Color2 cannot be clNone");
    }
}

TEST(fcHelpers, MaskedBlitShowsTheSourceWhereTheMaskIsWhite) {
    TBitmap Source(3, 1), Target(3, 1), Mask;
    Source.Canvas()->Brush()->SetColor(clRed);
    Source.Canvas()->FillRect(TRect(0, 0, 3, 1));
    Target.Canvas()->Brush()->SetColor(clBlue);
    Target.Canvas()->FillRect(TRect(0, 0, 3, 1));
    Mask.SetPixelFormat(pf1bit);
    Mask.SetSize(3, 1);
    Mask.Surface().SetPixel(1, 0, 0);  // black: the target stays
    for (bool Scratch : {false, true}) {
        TBitmap T;
        T.Assign(&Target);
        T.Canvas()->SetTextColor(clGreen);
        T.Canvas()->SetBkColor(clYellow);
        fcMaskedBlit(T.Canvas(), TRect(0, 0, 3, 1), Source.Canvas(), Scratch, Mask);
        EXPECT_EQ(At(T, 0, 0), 0xFF0000u) << Scratch;
        EXPECT_EQ(At(T, 1, 0), 0x0000FFu) << Scratch;
        EXPECT_EQ(At(T, 2, 0), 0xFF0000u) << Scratch;
        EXPECT_EQ(T.Canvas()->GetTextColor(), ColorToRGB(clGreen)) << "the canvas gets its colours back";
        EXPECT_EQ(T.Canvas()->GetBkColor(), ColorToRGB(clYellow));
    }
}

TEST(fcHelpers, TheDisabledGlyphEmbossesTheGlyphsBlackPixels) {
    // A 3 by 2 glyph: black at (0, 0) only, the rest olive (its background).
    TBitmap Glyph(3, 2);
    Glyph.Canvas()->Brush()->SetColor(clOlive);
    Glyph.Canvas()->FillRect(TRect(0, 0, 3, 2));
    Glyph.Canvas()->SetPixel(0, 0, clBlack);
    TBitmap Disabled;
    fcMakeDisabledGlyph(Glyph, Disabled);
    ASSERT_EQ(Disabled.Width(), 3);
    EXPECT_EQ(At(Disabled, 0, 0), Pixel(clBtnShadow));
    EXPECT_EQ(At(Disabled, 1, 1), Pixel(clBtnHighlight)) << "the highlight stamp, one pixel down and right";
    EXPECT_EQ(At(Disabled, 2, 0), Pixel(clBtnFace));
    EXPECT_EQ(At(Disabled, 1, 0), Pixel(clBtnFace));
}

TEST(fcHelpers, ADisabledImageListItemIsItsMaskEmbossed) {
    TImageList List(nullptr, 2, 2);
    TBitmap Image(2, 2);
    Image.Canvas()->Brush()->SetColor(clFuchsia);
    Image.Canvas()->FillRect(TRect(0, 0, 2, 2));
    Image.Canvas()->SetPixel(0, 0, clRed);
    List.AddMasked(&Image, clFuchsia);
    TBitmap Target(4, 4);
    Target.Canvas()->Brush()->SetColor(clLime);
    Target.Canvas()->FillRect(TRect(0, 0, 4, 4));
    fcDrawImageListItem(List, 0, Target.Canvas(), false, ILD_NORMAL, 1, 1);
    EXPECT_EQ(At(Target, 1, 1), Pixel(clBtnShadow));
    EXPECT_EQ(At(Target, 2, 2), Pixel(clBtnHighlight));
    EXPECT_EQ(At(Target, 2, 1), 0x00FF00u);
    TBitmap Normal(4, 4);
    fcDrawImageListItem(List, 0, Normal.Canvas(), true, ILD_NORMAL, 1, 1, true);
    EXPECT_EQ(At(Normal, 0, 1), 0xFF0000u) << "the glyph variant draws at the even column";
}

TEST(fcHelpers, TransparentDrawingAndTilingAndFillingOutsideARegion) {
    TfcBitmap B;
    B.SetSize(2, 2);
    B.SetPixel(0, 0, fcMakePixel(0, 255, 0));
    B.SetPixel(1, 0, fcMakePixel(255, 0, 0));
    B.SetPixel(0, 1, fcMakePixel(255, 0, 0));
    B.SetPixel(1, 1, fcMakePixel(0, 255, 0));
    TBitmap T(2, 2);
    fcDrawTransparent(T.Canvas(), TRect(0, 0, 2, 2), B, -1);
    EXPECT_EQ(At(T, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(T, 1, 0), 0xFF0000u);
    TBitmap Tiles(5, 3);
    fcTileGraphic(B, Tiles.Canvas(), TRect(0, 0, 5, 3));
    EXPECT_EQ(At(Tiles, 4, 2), 0x00FF00u);
    EXPECT_EQ(At(Tiles, 3, 2), 0xFF0000u);
    TfcBitmap F;
    F.SetSize(3, 3);
    F.SetTransparentColor(clBlue);
    fcFillOutsideRegion(F, TRegion(TRect(1, 1, 2, 2)));
    EXPECT_EQ(F.Pixel(0, 0), fcMakePixel(0, 0, 255));
    EXPECT_EQ(F.Pixel(1, 1), fcMakePixel(255, 255, 255));
}

TEST(fcHelpers, ARegionFromAPictureIsItsRunsOfOpaquePixels) {
    TfcBitmap B;
    B.SetSize(5, 2);
    B.SetPixel(1, 0, fcMakePixel(9, 9, 9));
    B.SetPixel(2, 0, fcMakePixel(9, 9, 9));
    B.SetPixel(4, 1, fcMakePixel(1, 2, 3));
    // -1: the top-left pixel (white) is transparent.
    std::optional<TRegion> R = fcRegionFromBitmap(B, -1);
    ASSERT_TRUE(R);
    EXPECT_EQ(R->Rects(), (std::vector<TRect>{TRect(1, 0, 3, 1), TRect(4, 1, 5, 2)}));
    // A given colour is a plain RGB value.
    std::optional<TRegion> G = fcRegionFromBitmap(B, RGB(9, 9, 9));
    ASSERT_TRUE(G);
    EXPECT_EQ(G->Rects(), (std::vector<TRect>{TRect(0, 0, 1, 1), TRect(3, 0, 5, 1), TRect(0, 1, 5, 2)}));
    TfcBitmap White;
    White.SetSize(3, 3);
    EXPECT_FALSE(fcRegionFromBitmap(White, -1)) << "all transparent: no region";
    TfcBitmap One;
    One.SetSize(1, 1);
    std::optional<TRegion> O = fcRegionFromBitmap(One, RGB(0, 0, 0));
    ASSERT_TRUE(O);
    EXPECT_EQ(O->Rects(), (std::vector<TRect>{TRect(0, 0, 1, 1)}));
    EXPECT_FALSE(fcRegionFromBitmap(TfcBitmap(), -1));
}

TEST(fcEvaluator, MultiplicationAndDivisionBindFirstAndEachRunsLeftToRight) {
    struct {
        const char* Text;
        int Value;
    } Cases[] = {{"2*3+4", 10}, {"2+3*4", 14}, {"7/2", 3},    {"10-2-3", 5}, {"84 / 2", 42},
                 {" 23 ", 23},  {"8/2/2", 2},  {"2-5*1", -3}, {"100", 100},  {"1+2+3*4-6/3", 13}};
    for (const auto& C : Cases) EXPECT_EQ(TfcEvaluator::Evaluate(C.Text), C.Value) << C.Text;
}

TEST(fcEvaluator, RefusesWhatIsNoExpression) {
    EXPECT_THROW(TfcEvaluator::Evaluate("-5"), EConvertError) << "a leading minus is no number";
    EXPECT_THROW(TfcEvaluator::Evaluate("3*"), EConvertError);
    EXPECT_THROW(TfcEvaluator::Evaluate("1,2"), EConvertError);
    try {
        TfcEvaluator::Evaluate("3/0");
        FAIL();
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Divide By Zero Error");
    }
    try {
        TfcEvaluator::Evaluate("2x3");
        FAIL();
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.");
    }
}

}  // namespace
