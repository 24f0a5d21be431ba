// The shape button: the main window's five step buttons as its form streams
// them, every shape and turn, custom point lists, and the regions.
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "buttons/fcShapeBtn.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Streams.h"

namespace {

// The classic scheme's 3D light is the button face; the tests give it a colour
// of its own, so that every line of a bevel shows.
const uint32_t Face = 0xC0C0C0, Light = 0xE0E0E0, Highlight = 0xFFFFFF, Shade = 0x808080, Black = 0x000000;
// The glyph's two cells: blue and maroon squares on olive, olive being the
// transparent colour (the bottom-left pixel).
const uint32_t CellUp = 0x0000FF, CellDisabled = 0x800000;

std::string GlyphData() {
    TBitmap G(30, 12);
    G.Canvas()->Brush()->SetColor(clOlive);
    G.Canvas()->FillRect(TRect(0, 0, 30, 12));
    G.Canvas()->Brush()->SetColor(clBlue);
    G.Canvas()->FillRect(TRect(3, 2, 12, 10));
    G.Canvas()->Brush()->SetColor(clMaroon);
    G.Canvas()->FillRect(TRect(18, 2, 27, 10));
    TStringStream File;
    G.SaveToStream(File);
    std::string Bmp = File.DataString();
    std::string Data(4, '\0');
    uint32_t N = uint32_t(Bmp.size());
    for (int i = 0; i < 4; ++i) Data[size_t(i)] = char((N >> (8 * i)) & 0xFF);
    return Data + Bmp;
}

// One of the main window's buttons as the program streams it.
std::string ShapeButton(const char* Name, int Left, const char* Caption, const char* Orientation,
                        const std::string& Extra) {
    return std::string("  object ") + Name + ": TfcShapeBtn\n    Left = " + std::to_string(Left) +
           "\n    Top = 8\n    Width = 85\n    Height = 24\n    Caption = '" + Caption +
           "'\n    Color = clBtnFace\n    DitherColor = clWhite\n    Font.Charset = DEFAULT_CHARSET\n"
           "    Font.Color = clBtnText\n    Font.Height = -12\n    Font.Name = 'Arial'\n"
           "    Font.Style = [fsBold]\n    ParentFont = False\n    RoundRectBias = 25\n"
           "    ShadeStyle = fbsNormal\n    Orientation = " +
           Orientation +
           "\n    TextOptions.Alignment = taCenter\n    TextOptions.VAlignment = vaVCenter\n"
           "    TextOptions.ExtrudeEffects.FarColor = clSilver\n    TextOptions.ExtrudeEffects.Striated = "
           "True\n"
           "    TextOptions.OutlineColor = clNavy\n    TextOptions.Shadow.XOffset = 2\n"
           "    TextOptions.Shadow.YOffset = 2\n" +
           Extra + "  end\n";
}

std::string MainWindowText() {
    std::string Glyph = BinaryBlock(GlyphData(), 6);
    return "object ControlaForm: TForm\n  Left = 100\n  Top = 100\n  Width = 470\n  Height = 40\n"
           "  BorderStyle = bsNone\n  Color = clBtnFace\n" +
           ShapeButton("BAnterior", 0, "&Anterior", "soLeft",
                       "    Glyph.Data = " + Glyph +
                           "\n    Margin = 0\n    NumGlyphs = 2\n    Offsets.TextX = 10\n    Spacing = 0\n"
                           "    TextOptions.Alignment = taLeftJustify\n") +
           ShapeButton(
               "BSiguiente", 90, "&Siguiente", "soRight",
               "    Glyph.Data = " + Glyph +
                   "\n    Layout = blGlyphRight\n    Margin = 0\n    NumGlyphs = 2\n"
                   "    Offsets.TextX = -5\n    Spacing = 0\n    TextOptions.Alignment = taRightJustify\n") +
           ShapeButton("BIrA", 180, "&Ir a ...", "soRight", "    Offsets.TextX = 5\n") +
           ShapeButton("BAyuda", 270, "&Ayuda", "soLeft", "") +
           ShapeButton("BSalir", 360, "&Salir", "soRight", "") + "end\n";
}

struct MainWindow : ButtonsTest {
    MainWindow() { SetSysColor(COLOR_3DLIGHT, RGB(0xE0, 0xE0, 0xE0)); }
    ~MainWindow() override { ResetSysColors(); }
    TForm* Form = nullptr;
    TfcShapeBtn* Button(const char* Name) { return dynamic_cast<TfcShapeBtn*>(Form->FindComponent(Name)); }
    void Load() {
        Form = TForm::CreateNew(Application);
        ReadComponentFromText(Form, MainWindowText());
        Form->Show();
        Ui.RunUntilIdle();
    }
    // A pixel of a button, in its own client coordinates.
    uint32_t At(TfcShapeBtn* B, int X, int Y) { return PixelOf(Form, B->Left() + X, B->Top() + Y); }
    TSize Text(const char* Caption) {
        TBitmap M(1, 1);
        M.Canvas()->Font()->SetName("Arial");
        M.Canvas()->Font()->SetHeight(-12);
        M.Canvas()->Font()->SetStyle({fsBold});
        return M.Canvas()->TextExtent(Caption);
    }
    // The caption drawn by the canvas itself at a point, as the button's ink.
    TInk Reference(TfcShapeBtn* B, const char* Caption, TPoint At) {
        TBitmap R(85, 24);
        R.Canvas()->Font()->SetName("Arial");
        R.Canvas()->Font()->SetHeight(-12);
        R.Canvas()->Font()->SetStyle({fsBold});
        R.Canvas()->SetBkMode(TRANSPARENT);
        TRect Box(At.x, At.y, At.x + 85, At.y + 24);
        R.Canvas()->DrawText(Caption, Box, DT_NOCLIP);
        return Shifted(InkOf(R.Surface(), Black, TRect(2, 2, 83, 22)), B->Left(), B->Top());
    }
    TInk Caption(TfcShapeBtn* B) {
        return InkOf(Ui.Picture(Form), Black,
                     TRect(B->Left() + 2, B->Top() + 2, B->Left() + 83, B->Top() + 22));
    }
};

// The two-line bevel of an 85 by 24 rectangle, worked out by hand from the
// polygon's four edges with half-open region tests: the top and left edges
// find the inside below and right of them, and the normals of all four
// point one step left or up along the edge (the end pixel of a corner lies
// outside the half-open region), so:
//   row 0:     x 0..83 outer top, x 84 outer right
//   row 1:     x 0 outer left, x 1..82 inner top, x 83 inner right, x 84 outer right
//   rows 2-21: x 0 outer left, x 1 inner left, ..., x 83 inner right, x 84 outer right
//   row 22:    x 0 outer left, x 1 inner left, x 2..83 inner bottom, x 84 outer right
//   row 23:    x 0 outer left, x 1..84 outer bottom
// Up: outer top and left highlight, inner top and left 3D light, inner
// bottom and right shadow, outer bottom and right black; down swaps them.
uint32_t BevelAt(int X, int Y, bool Down) {
    enum { OuterLight, InnerLight, InnerDark, OuterDark, None } Part = None;
    if (Y == 0) Part = X <= 83 ? OuterLight : OuterDark;
    else if (Y == 23) Part = X == 0 ? OuterLight : OuterDark;
    else if (X == 0) Part = OuterLight;
    else if (X == 84) Part = OuterDark;
    else if (Y == 1) Part = X == 83 ? InnerDark : InnerLight;
    else if (Y == 22) Part = X == 1 ? InnerLight : InnerDark;
    else if (X == 1) Part = InnerLight;
    else if (X == 83) Part = InnerDark;
    switch (Part) {
    case OuterLight: return Down ? Black : Highlight;
    case InnerLight: return Down ? Shade : Light;
    case InnerDark: return Down ? Light : Shade;
    case OuterDark: return Down ? Highlight : Black;
    default: return Face;
    }
}

TEST_F(MainWindow, TheStepButtonsAreRectanglesWithATwoLineBevel) {
    Load();
    TfcShapeBtn* Salir = Button("BSalir");
    ASSERT_NE(Salir, nullptr);
    EXPECT_EQ(Salir->Shape(), bsRect);
    EXPECT_EQ(Salir->Orientation(), soRight);
    EXPECT_FALSE(Salir->TabStop()) << "no Options streamed: out of the tab order";
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 85; ++x) {
            if (x >= 2 && x <= 82 && y >= 2 && y <= 21) continue;  // the face, where the caption is
            ASSERT_EQ(At(Salir, x, y), BevelAt(x, y, false)) << x << "," << y;
        }
    EXPECT_EQ(At(Salir, 4, 4), Face);
    // The window region is the whole rectangle.
    TRegion R;
    ASSERT_NE(GetWindowRgn(Salir->Handle(), R), RGN_ERROR);
    EXPECT_EQ(R, TRegion(TRect(0, 0, 85, 24)));
    EXPECT_TRUE(Salir->HasWindowRegion());
}

TEST_F(MainWindow, GlyphAndCaptionStandWhereTheLayoutPutsThem) {
    Load();
    TSize Ant = Text("Anterior");
    TfcShapeBtn* A = Button("BAnterior");
    // Left-aligned, margin 0, spacing 0: the glyph at the left edge, centred
    // vertically ((24 div 2) - (12 + 1) div 2), the caption after it moved 10 right.
    EXPECT_EQ(A->GlyphRect, TRect(0, 6, 15, 18));
    EXPECT_EQ(A->TextRect, TRect(25, 12 - Ant.cy / 2, 25 + Ant.cx, 12 - Ant.cy / 2 + Ant.cy));
    EXPECT_EQ(At(A, 7, 11), CellUp) << "the first cell";
    EXPECT_EQ(At(A, 2, 7), Face) << "the glyph's olive is transparent";
    EXPECT_EQ(Caption(A), Reference(A, "&Anterior", A->TextRect.TopLeft()));

    TSize Sig = Text("Siguiente");
    TfcShapeBtn* S = Button("BSiguiente");
    int Anchor = 85 - (Sig.cx + 15) / 2;
    int TextX = Anchor - (Sig.cx + 15) / 2;
    EXPECT_EQ(S->TextRect.Left, TextX - 5);
    EXPECT_EQ(S->GlyphRect, TRect(TextX + Sig.cx, 6, TextX + Sig.cx + 15, 18));
    EXPECT_EQ(Caption(S), Reference(S, "&Siguiente", S->TextRect.TopLeft()));

    // Without a glyph the caption takes the spacing (0 - 6) div 2 = -3.
    for (auto [Name, Shown, Offset] : {std::tuple{"BIrA", "&Ir a ...", 5}, std::tuple{"BAyuda", "&Ayuda", 0},
                                       std::tuple{"BSalir", "&Salir", 0}}) {
        TfcShapeBtn* B = Button(Name);
        TSize T = Text(AnsiString(Shown).substr(1).c_str());
        int X = 42 - (T.cx - 3) / 2 - 3 + Offset;
        EXPECT_EQ(B->TextRect.Left, X) << Name;
        EXPECT_EQ(B->TextRect.Top, 12 - T.cy / 2) << Name;
        EXPECT_EQ(Caption(B), Reference(B, Shown, B->TextRect.TopLeft())) << Name;
    }
}

TEST_F(MainWindow, ADisabledButtonShowsTheSecondCell) {
    Load();
    TfcShapeBtn* A = Button("BAnterior");
    A->SetEnabled(false);
    Ui.RunUntilIdle();
    EXPECT_EQ(At(A, 7, 11), CellDisabled);
}

TEST_F(MainWindow, WhilePressedTheBevelTurnsAndGlyphAndCaptionMoveByOne) {
    Load();
    TfcShapeBtn* A = Button("BAnterior");
    TfcShapeBtn* Salir = Button("BSalir");
    TInk Up = Caption(Salir);
    TPoint Middle = Salir->ClientToScreen(TPoint(42, 12));
    PressAt(Middle);
    Ui.RunUntilIdle();
    EXPECT_TRUE(Salir->Down());
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 85; ++x) {
            if (x >= 2 && x <= 82 && y >= 2 && y <= 21) continue;
            ASSERT_EQ(At(Salir, x, y), BevelAt(x, y, true)) << x << "," << y;
        }
    EXPECT_EQ(Caption(Salir), Shifted(Up, 1, 1));
    ReleaseAt(Middle);
    Ui.RunUntilIdle();
    EXPECT_FALSE(Salir->Down());
    EXPECT_EQ(Caption(Salir), Up);

    Clock.Advance(1000);
    PressAt(A->ClientToScreen(TPoint(42, 12)));
    Ui.RunUntilIdle();
    EXPECT_EQ(A->GlyphRect, TRect(1, 7, 16, 19));
    EXPECT_EQ(At(A, 8, 12), CellUp);
    EXPECT_EQ(At(A, 3, 2 + 6), Face) << "the glyph's first column moved away";
    ReleaseAt(A->ClientToScreen(TPoint(42, 12)));
    Ui.RunUntilIdle();
}

TEST_F(MainWindow, APressReleasedOutsideDoesNotClick) {
    Load();
    TfcShapeBtn* B = Button("BSiguiente");
    int Clicks = 0;
    B->OnClick = [&](TObject*) { ++Clicks; };
    TPoint In = B->ClientToScreen(TPoint(40, 12)), Out = B->ClientToScreen(TPoint(40, 40));
    PressAt(In);
    MoveTo(Out);
    Ui.RunUntilIdle();
    EXPECT_FALSE(B->Down()) << "the button comes up when the mouse leaves it";
    ReleaseAt(Out);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 0);

    Clock.Advance(1000);
    PressAt(In);
    MoveTo(Out);
    MoveTo(In);
    Ui.RunUntilIdle();
    EXPECT_TRUE(B->Down()) << "and goes down again when it comes back";
    ReleaseAt(In);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(B->Focused()) << "a button without Options takes no focus";
}

// --- shapes ---

struct TShapeCase {
    TfcButtonShape Shape;
    TfcShapeOrientation Orientation;
    int W, H;
    std::vector<TPoint> Points;  // without the closing one
};

TEST_F(ButtonsTest, ShapesHaveTheirPointsAndTurnInQuarters) {
    const TShapeCase Cases[] = {
        {bsTriangle, soUp, 100, 50, {{49, 0}, {99, 49}, {0, 49}}},
        // One quarter turn: (x, y) -> (w - w y div h, h x div w).
        {bsTriangle, soRight, 100, 50, {{99, 24}, {0, 49}, {0, 0}}},
        {bsTriangle, soDown, 100, 50, {{51, 49}, {0, 0}, {99, 0}}},
        {bsTriangle, soLeft, 100, 50, {{0, 25}, {99, 0}, {99, 49}}},
        {bsArrow, soUp, 41, 31, {{0, 10}, {20, 0}, {40, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}}},
        {bsDiamond, soUp, 21, 11, {{10, 0}, {20, 5}, {10, 10}, {0, 5}}},
        {bsRect, soUp, 85, 24, {{0, 0}, {84, 0}, {84, 23}, {0, 23}}},
        {bsRect, soRight, 85, 24, {{84, 0}, {84, 23}, {0, 23}, {0, 0}}},
        {bsRect, soLeft, 85, 24, {{0, 23}, {0, 0}, {84, 0}, {84, 23}}},
        // t = min(h / 2, (w / 2) / 2)
        {bsTrapezoid, soUp, 41, 11, {{5, 0}, {35, 0}, {40, 10}, {0, 10}}},
        {bsTrapezoid, soUp, 11, 41, {{2, 0}, {8, 0}, {10, 40}, {0, 40}}},
        // c = trunc(40 / cos 18) = 42, d = trunc(42 / 2.618) = 16, s = 10, e = 15,
        // g = trunc(tan 18 * 40) = 12, m = 20.
        {bsStar,
         soUp,
         41,
         41,
         {{20, 0}, {25, 15}, {40, 15}, {28, 24}, {32, 40}, {20, 31}, {8, 40}, {12, 24}, {0, 15}, {15, 15}}},
    };
    TForm* F = NewForm();
    for (const TShapeCase& C : Cases) {
        auto* B = NewComponent<TfcShapeBtn>(F);
        B->SetBounds(0, 0, C.W, C.H);
        B->SetShape(C.Shape);
        B->SetOrientation(C.Orientation);
        std::vector<TPoint> Want = C.Points;
        Want.push_back(Want.front());
        EXPECT_EQ(B->ShapePoints(), Want) << int(C.Shape) << " " << int(C.Orientation);
        B->Free();
    }
    auto* Round = NewComponent<TfcShapeBtn>(F);
    Round->SetShape(bsEllipse);
    EXPECT_TRUE(Round->ShapePoints().empty());
    EXPECT_TRUE(Round->IsRoundShape());
}

TEST_F(ButtonsTest, ARectangleLooksTheSameInEveryOrientation) {
    TForm* F = NewForm();
    std::vector<uint32_t> First;
    for (TfcShapeOrientation O : {soUp, soRight, soDown, soLeft}) {
        auto* B = NewComponent<TfcShapeBtn>(F);
        B->SetBounds(0, 0, 30, 12);
        B->SetShadeStyle(fbsNormal);
        B->SetOrientation(O);
        TfcBitmap Face;
        B->PaintFace(Face, false, fbsNormal, false);
        std::vector<uint32_t> Pixels;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 30; ++x) Pixels.push_back(uint32_t(fcPixelToColor(Face.Pixel(x, y))));
        if (First.empty()) First = Pixels;
        EXPECT_EQ(Pixels, First) << int(O);
        B->Free();
    }
}

TEST_F(ButtonsTest, CustomPointsAreExpressionsOfTheSize) {
    TForm* F = NewForm();
    F->Show();
    auto* B = NewComponent<TfcShapeBtn>(F);
    B->SetBounds(10, 10, 85, 24);
    B->SetParent(F);
    B->SetShape(bsCustom);
    B->PointList()->SetText("0,0\r\nWIDTH,0\r\nWIDTH/2,HEIGHT\r\n");
    EXPECT_EQ(B->ShapePoints(), (std::vector<TPoint>{{0, 0}, {84, 0}, {42, 23}, {0, 0}})) << "pointing down";
    Ui.RunUntilIdle();
    TRegion R;
    ASSERT_NE(GetWindowRgn(B->Handle(), R), RGN_ERROR);
    EXPECT_TRUE(R.Contains(42, 2));
    EXPECT_FALSE(R.Contains(2, 20)) << "outside the triangle";
    // A line that is no expression turns the button into a rectangle and reaches the paint's caller.
    // The new region is worked out at once, so the setter's caller hears of it.
    try {
        B->PointList()->SetText("0,0\r\nWIDTH,0\r\nWIDTH 2\r\n");
        FAIL();
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(
            E.Message(),
            "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.");
    }
    EXPECT_EQ(B->Shape(), bsRect);
    EXPECT_EQ(B->ShapePoints(), (std::vector<TPoint>{{0, 0}, {84, 0}, {84, 23}, {0, 23}, {0, 0}}));
}

TEST_F(ButtonsTest, AShapeWithoutAreaShowsNothingAndLetsClicksThrough) {
    TForm* F = NewForm();
    auto* Behind = NewComponent<TfcShapeBtn>(F);
    Behind->SetBounds(10, 10, 85, 24);
    Behind->SetParent(F);
    auto* B = NewComponent<TfcShapeBtn>(F);
    B->SetBounds(10, 10, 85, 24);
    B->SetParent(F);
    B->SetShape(bsCustom);
    B->PointList()->SetText("0,0\r\nWIDTH,HEIGHT\r\n");
    int Front = 0, Back = 0;
    B->OnClick = [&](TObject*) { ++Front; };
    Behind->OnClick = [&](TObject*) { ++Back; };
    F->Show();
    Ui.RunUntilIdle();
    TRegion R;
    ASSERT_NE(GetWindowRgn(B->Handle(), R), RGN_ERROR);
    EXPECT_TRUE(R.Empty());
    EXPECT_NE(PixelOf(F, 20, 20), 0xFF0000u) << "no mask-red rectangle";
    EXPECT_EQ(PixelOf(F, 20, 20), Face) << "the button behind shows";
    Ui.Click(B->ClientToScreen(TPoint(40, 12)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Front, 0);
    EXPECT_EQ(Back, 1);
}

TEST_F(ButtonsTest, ARedButtonMasksInBlueAndKeepsItsRegion) {
    TForm* F = NewForm();
    auto* B = NewComponent<TfcShapeBtn>(F);
    B->SetBounds(10, 10, 41, 21);
    B->SetParent(F);
    B->SetShape(bsDiamond);
    B->SetColor(clRed);
    EXPECT_EQ(B->MaskColor(), clBlue);
    F->Show();
    Ui.RunUntilIdle();
    TRegion R;
    ASSERT_NE(GetWindowRgn(B->Handle(), R), RGN_ERROR);
    EXPECT_TRUE(R.Contains(20, 10));
    EXPECT_FALSE(R.Contains(1, 1));
    EXPECT_EQ(PixelOf(F, 10 + 20, 10 + 10), 0xFF0000u) << "the face in the button's red";
    EXPECT_EQ(PixelOf(F, 11, 11), Face) << "the form shows outside the diamond";
}

TEST_F(ButtonsTest, AFlatButtonNotHoveredHasNoBevelAndNoOutline) {
    TForm* F = NewForm();
    auto* B = NewComponent<TfcShapeBtn>(F);
    B->SetBounds(0, 0, 20, 10);
    B->SetShadeStyle(fbsFlat);
    TfcBitmap Flat;
    B->PaintFace(Flat, false, fbsFlat, false);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(Flat.Pixel(x, y), fcColorToPixel(clBtnFace)) << x << "," << y;
    TfcBitmap Pressed;
    B->PaintFace(Pressed, false, fbsFlat, true);
    EXPECT_EQ(Pressed.Pixel(0, 0), fcColorToPixel(clBlack)) << "down: the bevel shows";
}

TEST_F(ButtonsTest, ADownGroupButtonShowsADitheredFace) {
    TForm* F = NewForm();
    auto* B = NewComponent<TfcShapeBtn>(F);
    B->SetBounds(0, 0, 20, 10);
    B->SetGroupIndex(1);
    B->SetDitherColor(clWhite);
    B->SetColor(clBlue);
    TfcBitmap Face;
    B->PaintFace(Face, false, fbsNormal, true);
    // The checkerboard from the brush origin: white on the pattern's 1 bits.
    for (int y = 3; y < 7; ++y)
        for (int x = 3; x < 17; ++x)
            EXPECT_EQ(Face.Pixel(x, y),
                      (x + y) % 2 == 0 ? fcMakePixel(255, 255, 255) : fcMakePixel(0, 0, 255))
                << x << "," << y;
}

TEST_F(ButtonsTest, ShapeButtonsOfOnePixelAndSizingToContents) {
    TForm* F = NewForm();
    for (auto [W, H] : {std::pair{1, 20}, std::pair{20, 1}, std::pair{1, 1}}) {
        auto* B = NewComponent<TfcShapeBtn>(F);
        B->SetBounds(0, 0, W, H);
        B->SetParent(F);
        for (TfcShapeOrientation O : {soUp, soRight, soDown, soLeft})
            for (TfcButtonShape S : {bsTriangle, bsStar, bsArrow, bsRect}) {
                B->SetShape(S);
                B->SetOrientation(O);
                TfcBitmap Face;
                B->PaintFace(Face, false, fbsNormal, false);
                EXPECT_EQ(Face.Width(), W);
            }
        B->Free();
    }
    auto* B = NewComponent<TfcShapeBtn>(F);
    B->SetBounds(0, 0, 85, 24);
    B->SizeToContents();
    EXPECT_EQ(B->Width(), 85);
    EXPECT_EQ(B->Height(), 85);
}

}  // namespace
