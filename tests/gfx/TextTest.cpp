// Text with the pinned fonts: rectangles computed by DrawText against the
// widths and metrics the same font reports, and edges by formula.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "tests/support/ReferencePicture.h"

namespace {

struct TTextFixture {
    TBitmap Bmp{200, 80};
    TCanvas& C;
    TTextMetric Tm;
    TTextFixture() : C(*Bmp.Canvas()) {
        C.Font()->SetName("Arial");
        C.Font()->SetHeight(-12);
        C.GetTextMetrics(Tm);
    }
    TRect Calc(std::string_view Text, uint32_t Flags, TRect R = {0, 0, 200, 80}) {
        C.DrawText(Text, R, Flags | DT_CALCRECT);
        return R;
    }
};

bool Touched(const TBitmap& B, const TRect& Inside, bool& Outside) {
    bool any = false;
    Outside = false;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (B.Surface().GetPixel(x, y) != 0xFFFFFF) {
                any = true;
                if (!PtInRect(Inside, {x, y})) Outside = true;
            }
    return any;
}

}  // namespace

TEST(Text, SubstitutesThePinnedFaces) {
    EXPECT_EQ(SubstituteFontName("Arial"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontName("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontName("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(SubstituteFontName("Courier New"), "Liberation Mono");
    EXPECT_EQ(SubstituteFontName("Terminal"), "DejaVu Sans Mono");
}

TEST(Text, MetricsAreConsistent) {
    TTextFixture f;
    EXPECT_EQ(f.Tm.tmHeight, f.Tm.tmAscent + f.Tm.tmDescent);
    EXPECT_GE(f.Tm.tmHeight, 12);
    EXPECT_EQ(f.Tm.tmInternalLeading, f.Tm.tmHeight - 12);
    EXPECT_GT(f.Tm.tmAveCharWidth, 0);
    EXPECT_GE(f.Tm.tmMaxCharWidth, f.C.TextWidth("W"));
    EXPECT_TRUE(f.Tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set for a variable pitch
    EXPECT_EQ(f.C.TextHeight("W"), f.Tm.tmHeight);
    EXPECT_EQ(f.C.TextWidth("ab"), f.C.TextWidth("a") + f.C.TextWidth("b"));
    int plain = f.C.TextWidth("ab");
    f.C.SetTextCharacterExtra(2);
    EXPECT_EQ(f.C.TextWidth("ab"), plain + 4);
    // A fixed-pitch face has one width for every character.
    f.C.Font()->SetName("Courier New");
    TTextMetric mono;
    f.C.GetTextMetrics(mono);
    EXPECT_FALSE(mono.tmPitchAndFamily & TMPF_FIXED_PITCH);
    f.C.SetTextCharacterExtra(0);
    EXPECT_EQ(f.C.TextWidth("iiii"), f.C.TextWidth("WWWW"));
    // Size in points at 96 pixels per inch.
    TFont font;
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);
}

TEST(Text, CalcRectMeasuresLinesPrefixesAndTabs) {
    TTextFixture f;
    int h = f.Tm.tmHeight;
    struct TCase {
        const char* Text;
        uint32_t Flags;
        int Width, Height;
    } cases[] = {
        {"Salir", DT_SINGLELINE, f.C.TextWidth("Salir"), h},
        {"&Salir", DT_SINGLELINE, f.C.TextWidth("Salir"), h},
        {"&Salir", DT_SINGLELINE | DT_NOPREFIX, f.C.TextWidth("&Salir"), h},
        {"A&&B", 0, f.C.TextWidth("A&B"), h},
        {"Uno\r\nDos largo", 0, f.C.TextWidth("Dos largo"), 2 * h},
        {"Uno\r\nDos", DT_SINGLELINE, f.C.TextWidth("UnoDos"), h},
        {"", 0, 0, 0},
    };
    for (const TCase& c : cases) {
        TRect r = f.Calc(c.Text, c.Flags, {10, 20, 210, 100});
        EXPECT_EQ(r, TRect(10, 20, 10 + c.Width, 20 + c.Height)) << c.Text;
    }
    // Tabs expand to stops every eight average characters.
    TRect r = f.Calc("a\tb", DT_EXPANDTABS | DT_SINGLELINE);
    EXPECT_GE(r.Width(), 8 * f.Tm.tmAveCharWidth + f.C.TextWidth("b"));
    EXPECT_LT(r.Width(), 8 * f.Tm.tmAveCharWidth + f.C.TextWidth("b") + f.C.TextWidth(" "));
}

TEST(Text, WordBreakKeepsLinesWithinTheWidth) {
    TTextFixture f;
    const char* text = "El organizador coloca los alumnos de cada tipo en los grupos";
    int width = f.C.TextWidth("El organizador coloca");
    TRect r = f.Calc(text, DT_WORDBREAK, {0, 0, width, 0});
    EXPECT_LE(r.Width(), width);
    EXPECT_EQ(r.Height() % f.Tm.tmHeight, 0);
    EXPECT_GE(r.Height(), 3 * f.Tm.tmHeight);
    // A word longer than the line stays whole, unless the text is an edit control's.
    TRect wide = f.Calc("Supercalifragilistico", DT_WORDBREAK, {0, 0, 30, 0});
    EXPECT_EQ(wide.Width(), f.C.TextWidth("Supercalifragilistico"));
    TRect edit = f.Calc("Supercalifragilistico", DT_WORDBREAK | DT_EDITCONTROL, {0, 0, 30, 0});
    EXPECT_LE(edit.Width(), 30);
    EXPECT_GT(edit.Height(), f.Tm.tmHeight);
}

TEST(Text, EllipsisShortensTheLineToTheWidth) {
    TTextFixture f;
    int width = f.C.TextWidth("Asignaturas");
    TRect r = f.Calc("Asignaturas y divisiones", DT_SINGLELINE | DT_END_ELLIPSIS, {0, 0, width, 20});
    EXPECT_LE(r.Width(), width);
    EXPECT_GE(r.Width(), width - f.C.TextWidth("W..."));
    TRect p = f.Calc("C:\\QTEMP\\datos\\alumnos.dbf", DT_SINGLELINE | DT_PATH_ELLIPSIS,
                     {0, 0, f.C.TextWidth("C:\\...\\alumnos.dbf"), 20});
    EXPECT_LE(p.Width(), f.C.TextWidth("C:\\...\\alumnos.dbf"));
}

TEST(Text, DrawingStaysInsideTheCalculatedRectangle) {
    for (uint32_t flags : {uint32_t(DT_LEFT), uint32_t(DT_CENTER), uint32_t(DT_RIGHT)}) {
        TTextFixture f;
        f.C.SetBkMode(TRANSPARENT);
        TRect r{5, 5, 190, 70};
        TRect calc = f.Calc("Anterior\r\nSiguiente", flags, r);
        f.C.DrawText("Anterior\r\nSiguiente", r, flags);
        int dx = flags == DT_CENTER  ? (r.Width() - calc.Width()) / 2
                 : flags == DT_RIGHT ? r.Width() - calc.Width()
                                     : 0;
        // Centred lines may sit half a pixel apart; allow one pixel around the calculated box.
        TRect inside{calc.Left + dx - 1, calc.Top, calc.Right + dx + 1, calc.Bottom};
        bool outside;
        EXPECT_TRUE(Touched(f.Bmp, inside, outside));
        EXPECT_FALSE(outside) << "flags " << flags;
    }
}

TEST(Text, ClippingKeepsTextInsideItsRectangleUnlessNoClip) {
    TTextFixture f;
    f.C.SetBkMode(TRANSPARENT);
    TRect r{10, 10, 30, 40};
    f.C.DrawText("Texto largo que no cabe", r, DT_SINGLELINE);
    bool outside;
    EXPECT_TRUE(Touched(f.Bmp, r, outside));
    EXPECT_FALSE(outside);
    f.C.DrawText("Texto largo que no cabe", r, DT_SINGLELINE | DT_NOCLIP);
    Touched(f.Bmp, r, outside);
    EXPECT_TRUE(outside);
}

// DrawText clips to its rectangle exactly: every pixel inside is what the
// unclipped text gives, every pixel outside untouched, whether the text ends
// well inside the rectangle, on its edge or a pixel past it. The edges swept
// are those that do not place the text (the right one of left-aligned text,
// the left one of right-aligned text, the bottom one of text at the top and
// the top one of text at the bottom), opaque or transparent, with and without
// an underlined prefix and a line break.
TEST(Text, ClippingCutsAtTheRectangleToThePixel) {
    struct TCase {
        const char* Text;
        uint32_t Flags;
        int Mode;
    } cases[] = {
        {"Ejemplo jq", DT_LEFT | DT_SINGLELINE, TRANSPARENT},
        {"jEjemplo", DT_RIGHT | DT_SINGLELINE, TRANSPARENT},
        {"Ejemplo jq", DT_LEFT | DT_SINGLELINE, OPAQUE},
        {"Ejemplo j", DT_RIGHT | DT_SINGLELINE | DT_BOTTOM, OPAQUE},
        {"&Ejemplo jq", DT_LEFT | DT_SINGLELINE, TRANSPARENT},
        {"&Eme", DT_LEFT | DT_SINGLELINE, TRANSPARENT},
        {"jW\r\nqy", DT_LEFT, TRANSPARENT},
        {"Ejemplo jq", DT_LEFT | DT_SINGLELINE | DT_BOTTOM, TRANSPARENT},
    };
    const TRect Base(20, 20, 180, 70);
    for (const TCase& c : cases) {
        TTextFixture probe;
        const TRect Calc = probe.Calc(c.Text, c.Flags, Base);
        const int X0 = (c.Flags & DT_RIGHT) ? Base.Right - Calc.Width() : Base.Left;
        const int Y0 = (c.Flags & DT_BOTTOM) ? Base.Bottom - Calc.Height() : Base.Top;
        for (bool Across : {true, false})
            for (int D = -3; D <= 3; ++D) {
                TRect R = Base;
                if (Across && (c.Flags & DT_RIGHT)) R.Left = X0 + D;
                else if (Across) R.Right = X0 + Calc.Width() + D;
                else if (c.Flags & DT_BOTTOM) R.Top = Y0 + D;
                else R.Bottom = Y0 + Calc.Height() + D;
                TTextFixture clipped, whole;
                for (TTextFixture* f : {&clipped, &whole}) {
                    f->C.SetBkMode(c.Mode);
                    f->C.SetBkColor(clYellow);
                }
                TRect A = R, B = R;
                clipped.C.DrawText(c.Text, A, c.Flags);
                whole.C.DrawText(c.Text, B, c.Flags | DT_NOCLIP);
                int Wrong = 0;
                for (int y = 0; y < clipped.Bmp.Height(); ++y)
                    for (int x = 0; x < clipped.Bmp.Width(); ++x) {
                        const uint32_t Want =
                            PtInRect(R, {x, y}) ? whole.Bmp.Surface().GetPixel(x, y) : 0xFFFFFFu;
                        if (clipped.Bmp.Surface().GetPixel(x, y) != Want) ++Wrong;
                    }
                EXPECT_EQ(Wrong, 0) << c.Text << " flags " << c.Flags << " mode " << c.Mode
                                    << (Across ? " across by " : " down by ") << D;
            }
    }
}

TEST(Text, OpaqueBackgroundFillsTheTextCell) {
    TTextFixture f;
    f.C.SetBkMode(OPAQUE);
    f.C.SetBkColor(clYellow);
    f.C.TextOut(3, 4, "Hola");
    int w = f.C.TextWidth("Hola");
    // Every pixel of the cell is either the background or the text colour.
    for (int y = 4; y < 4 + f.Tm.tmHeight; ++y)
        for (int x = 3; x < 3 + w; ++x) {
            uint32_t p = f.Bmp.Surface().GetPixel(x, y);
            EXPECT_TRUE(p == 0xFFFF00u || p == 0u) << x << "," << y;
        }
    EXPECT_EQ(f.Bmp.Surface().GetPixel(3 + w, 4), 0xFFFFFFu);
    EXPECT_EQ(f.C.PenPos(), TPoint(3 + w, 4));
}

// Turned text starts at the rectangle's corner and runs along the turned
// baseline; the accelerator's underline follows that baseline too.
TEST(Text, TurnedTextRunsFromTheCornerAlongItsBaseline) {
    auto Draw = [](std::string_view Text, int Orientation, bool ByDrawText) {
        auto B = std::make_unique<TBitmap>(120, 120);
        TCanvas& C = *B->Canvas();
        C.Font()->SetName("Arial");
        C.Font()->SetHeight(-16);
        C.Font()->SetOrientation(Orientation);
        C.SetBkMode(TRANSPARENT);
        TRect R(40, 100, 110, 110);
        if (ByDrawText) C.DrawText(Text, R, DT_NOCLIP);
        else C.TextOut(40, 100, Text);
        return B;
    };
    TTextMetric Tm;
    int Advance;
    {
        TBitmap M(1, 1);
        M.Canvas()->Font()->SetName("Arial");
        M.Canvas()->Font()->SetHeight(-16);
        M.Canvas()->GetTextMetrics(Tm);
        Advance = M.Canvas()->TextWidth("S");
    }
    auto Ink = [](const TBitmap& B) {
        std::vector<TPoint> Out;
        for (int y = 0; y < B.Height(); ++y)
            for (int x = 0; x < B.Width(); ++x)
                if (B.Surface().GetPixel(x, y) != 0xFFFFFF) Out.push_back({x, y});
        return Out;
    };
    // A quarter turn: the text goes up from (40, 100), its tops to the left.
    auto Turned = Draw("SS", 900, true);
    EXPECT_EQ(Ink(*Turned), Ink(*Draw("SS", 900, false)));
    for (TPoint P : Ink(*Turned)) {
        EXPECT_GE(P.x, 40);
        EXPECT_LT(P.x, 40 + Tm.tmHeight);
        EXPECT_LE(P.y, 100);
        EXPECT_GT(P.y, 100 - 2 * Advance - 2);
    }
    // The underline of "&S": beyond the baseline (right of it), along the first S.
    auto Marked = Draw("&SS", 900, true);
    std::vector<TPoint> Line;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            if (Marked->Surface().GetPixel(x, y) != Turned->Surface().GetPixel(x, y)) Line.push_back({x, y});
    ASSERT_FALSE(Line.empty());
    for (TPoint P : Line) {
        EXPECT_GE(P.x, 40 + Tm.tmAscent) << P.x << "," << P.y;
        EXPECT_LT(P.x, 40 + Tm.tmHeight) << P.x << "," << P.y;
        EXPECT_LE(P.y, 100) << P.x << "," << P.y;
        EXPECT_GT(P.y, 100 - Advance - 1) << P.x << "," << P.y;
    }
}

TEST(Text, AlignmentMovesTheReferencePoint) {
    TTextFixture f;
    f.C.SetBkMode(OPAQUE);
    f.C.SetBkColor(clBlue);
    int w = f.C.TextWidth("Zelmor");
    f.C.SetTextAlign(TA_RIGHT | TA_BASELINE);
    f.C.TextOut(100, 40, "Zelmor");
    // The cell ends at x 100 and its baseline is y 40.
    EXPECT_NE(f.Bmp.Surface().GetPixel(100 - w, 40 - f.Tm.tmAscent), 0xFFFFFFu);
    EXPECT_EQ(f.Bmp.Surface().GetPixel(100, 40), 0xFFFFFFu);
    EXPECT_EQ(f.Bmp.Surface().GetPixel(100 - w - 1, 40), 0xFFFFFFu);
    EXPECT_EQ(f.Bmp.Surface().GetPixel(100 - w, 40 - f.Tm.tmAscent - 1), 0xFFFFFFu);
}

TEST(Text, TabbedExtentCountsFromTheStops) {
    TTextFixture f;
    int stops[] = {50, 120};
    uint32_t ext = f.C.GetTabbedTextExtent("a\tb\tc", stops);
    EXPECT_EQ(int(ext & 0xFFFF), 120 + f.C.TextWidth("c"));
    EXPECT_EQ(int(ext >> 16), f.Tm.tmHeight);
}

TEST(Text, PathOfTextFillsLikeTheGlyphs) {
    TTextFixture f;
    f.C.Font()->SetHeight(-24);
    f.C.SetBkMode(TRANSPARENT);
    f.C.BeginPath();
    f.C.TextOut(5, 5, "O");
    f.C.EndPath();
    TRegion r = f.C.PathToRegion();
    ASSERT_FALSE(r.Empty());
    TRect box = r.Box();
    // The outline of an O has a hole in its middle.
    EXPECT_FALSE(r.Contains((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2));
    EXPECT_TRUE(r.Contains(box.Left + 1, (box.Top + box.Bottom) / 2));
}

namespace {

// A canvas on a grey surface, and what a line of text did to it.
struct TCellFixture {
    static constexpr uint32_t Grey = 0x808080;
    TBitmap Bmp{120, 40};
    TCanvas& C;
    TCellFixture() : C(*Bmp.Canvas()) {
        Bmp.Surface().Fill(Grey);
        C.Font()->SetName("Arial");
        C.Font()->SetHeight(-12);
    }
    TRect Cell(int X, int Y, std::string_view Text) const {
        return {X, Y, X + C.TextWidth(Text), Y + C.TextHeight(Text)};
    }
    // Every pixel inside Cell is the text colour or Back, at least one of each
    // (Back may be the untouched grey); every pixel outside is grey.
    ::testing::AssertionResult Shows(const TRect& Cell, uint32_t Text, uint32_t Back) const {
        int texts = 0, backs = 0;
        for (int y = 0; y < Bmp.Height(); ++y)
            for (int x = 0; x < Bmp.Width(); ++x) {
                uint32_t p = Bmp.Surface().GetPixel(x, y);
                if (!PtInRect(Cell, {x, y})) {
                    if (p != Grey)
                        return ::testing::AssertionFailure() << "outside the cell at " << x << "," << y;
                    continue;
                }
                if (p == Text) ++texts;
                else if (p == Back) ++backs;
                else
                    return ::testing::AssertionFailure()
                           << std::hex << p << " at " << std::dec << x << "," << y;
            }
        if (!texts || !backs)
            return ::testing::AssertionFailure() << texts << " text and " << backs << " back pixels";
        return ::testing::AssertionSuccess();
    }
};

uint32_t Px(TColor C) { return ColorRefToPixel(ColorToRGB(C)); }

}  // namespace

TEST(CanvasText, TextOutDrawsInTheFontColourOnTheBrush) {
    struct TCase {
        TBrushStyle Style;
        TColor Brush, Font;
        uint32_t Back;  // what the cell shows behind the text
    } cases[] = {
        {bsSolid, clYellow, clRed, Px(clYellow)},
        {bsSolid, clBtnFace, clNavy, Px(clBtnFace)},  // system colours resolved
        {bsClear, clYellow, clBlue, TCellFixture::Grey},
        {bsCross, clYellow, clBlue, TCellFixture::Grey},  // any pattern but solid leaves the background
    };
    for (const TCase& c : cases) {
        TCellFixture f;
        f.C.Brush()->SetColor(c.Brush);
        f.C.Brush()->SetStyle(c.Style);
        f.C.Font()->SetColor(c.Font);
        f.C.TextOut(3, 4, "Hola");
        EXPECT_TRUE(f.Shows(f.Cell(3, 4, "Hola"), Px(c.Font), c.Back)) << "brush style " << int(c.Style);
    }
}

TEST(CanvasText, TextRectFillsItsRectangleUnlessTheBrushIsClear) {
    for (TBrushStyle style : {bsSolid, bsClear}) {
        TCellFixture f;
        f.C.Brush()->SetColor(clAqua);
        f.C.Brush()->SetStyle(style);
        f.C.Font()->SetColor(clMaroon);
        // The text runs past the rectangle's right edge and is cut there.
        TRect r{10, 5, 10 + f.C.TextWidth("Grupo") - 3, 30};
        f.C.TextRect(r, 12, 8, "Grupo");
        TRect cell = f.Cell(12, 8, "Grupo");
        EXPECT_TRUE(f.Shows(style == bsSolid ? r : TRect{12, 8, r.Right, cell.Bottom}, Px(clMaroon),
                            style == bsSolid ? Px(clAqua) : TCellFixture::Grey))
            << "brush style " << int(style);
    }
}

// The canvas is also the device context of the direct calls: a colour set
// directly holds until the font or the brush changes, which selects it anew.
TEST(CanvasText, DirectColoursHoldUntilTheFontOrBrushChanges) {
    enum TCall { Out, Ext, Draw };
    struct TCase {
        const char* Name;
        std::function<void(TCanvas&)> Set;
        TCall Call;
        TColor Text;
        uint32_t Back;
    } cases[] = {
        {"direct colour after the font",
         [](TCanvas& c) {
             c.Font()->SetColor(clRed);
             c.SetTextColor(clBlue);
         },
         Ext, clBlue, Px(clWhite)},
        {"direct colour kept by TextOut",
         [](TCanvas& c) {
             c.Font()->SetColor(clRed);
             c.SetTextColor(clBlue);
         },
         Out, clBlue, Px(clWhite)},
        {"font after the direct colour",
         [](TCanvas& c) {
             c.SetTextColor(clBlue);
             c.Font()->SetColor(clRed);
         },
         Out, clRed, Px(clWhite)},
        {"transparent mode after the brush",
         [](TCanvas& c) {
             c.Brush()->SetColor(clYellow);
             c.SetBkMode(TRANSPARENT);
         },
         Out, clWindowText, TCellFixture::Grey},
        {"brush after the transparent mode",
         [](TCanvas& c) {
             c.SetBkMode(TRANSPARENT);
             c.Brush()->SetColor(clYellow);
         },
         Out, clWindowText, Px(clYellow)},
        {"direct colours in DrawText",
         [](TCanvas& c) {
             c.Font()->SetColor(clRed);
             c.SetTextColor(clGreen);
             c.SetBkColor(clSilver);
         },
         Draw, clGreen, Px(clSilver)},
        {"Refresh selects the font and brush again",
         [](TCanvas& c) {
             c.SetTextColor(clBlue);
             c.SetBkMode(TRANSPARENT);
             c.Refresh();
         },
         Out, clWindowText, Px(clWhite)},
        {"RestoreDC brings back a direct colour",
         [](TCanvas& c) {
             c.SetTextColor(clBlue);
             int saved = c.SaveDC();
             c.Font()->SetColor(clRed);
             c.RestoreDC(saved);
         },
         Out, clBlue, Px(clWhite)},
    };
    for (const TCase& c : cases) {
        TCellFixture f;
        c.Set(f.C);
        TRect r = f.Cell(3, 4, "Hola");
        if (c.Call == Out) f.C.TextOut(3, 4, "Hola");
        else if (c.Call == Ext) f.C.ExtTextOut(3, 4, 0, nullptr, "Hola");
        else f.C.DrawText("Hola", r, DT_SINGLELINE | DT_NOPREFIX);
        EXPECT_TRUE(f.Shows(f.Cell(3, 4, "Hola"), Px(c.Text), c.Back)) << c.Name;
    }
}

TEST(CanvasText, ColourReadersSeeTheSelectedFontAndBrush) {
    TCellFixture f;
    f.C.SetTextColor(clBlue);
    f.C.Font()->SetColor(clRed);
    f.C.Brush()->SetStyle(bsClear);
    EXPECT_EQ(f.C.GetTextColor(), ColorToRGB(clRed));
    EXPECT_EQ(f.C.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(f.C.SetTextColor(clBlue), ColorToRGB(clRed));
    EXPECT_EQ(f.C.GetTextColor(), ColorToRGB(clBlue));
}

TEST(Edge, RaisedAndSunkenEdgesFollowTheirColours) {
    auto px = [](int idx) { return ColorRefToPixel(GetSysColor(idx)); };
    struct TCase {
        uint32_t Edge;
        int OuterTL, OuterBR, InnerTL, InnerBR;
    } cases[] = {
        {EDGE_RAISED, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
        {EDGE_SUNKEN, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        {EDGE_ETCHED, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
        {EDGE_BUMP, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
    };
    for (const TCase& c : cases) {
        TBitmap b(8, 7);
        b.Surface().Fill(0x123456);
        TRect r{0, 0, 8, 7};
        b.Canvas()->DrawEdge(r, c.Edge, BF_RECT | BF_ADJUST | BF_MIDDLE);
        EXPECT_EQ(r, TRect(2, 2, 6, 5));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 8; ++x) {
                // Ring k holds the pixels k steps in; bottom and right sides own the corners they share.
                int ring = std::min({x, y, 7 - x, 6 - y});
                uint32_t expected;
                bool br = x == 7 - ring || y == 6 - ring;
                if (ring == 0) expected = br ? px(c.OuterBR) : px(c.OuterTL);
                else if (ring == 1) expected = br ? px(c.InnerBR) : px(c.InnerTL);
                else expected = px(COLOR_BTNFACE);
                EXPECT_EQ(b.Surface().GetPixel(x, y), expected)
                    << "edge " << c.Edge << " at " << x << "," << y;
            }
    }
}

TEST(Edge, SelectedSidesOnlyAndFlatLook) {
    TBitmap b(6, 6);
    b.Surface().Fill(0x123456);
    TRect r{0, 0, 6, 6};
    b.Canvas()->DrawEdge(r, BDR_SUNKENOUTER, BF_BOTTOM | BF_FLAT | BF_ADJUST);
    EXPECT_EQ(r, TRect(0, 0, 6, 5));
    EXPECT_EQ(b.Surface().GetPixel(3, 5), ColorRefToPixel(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(b.Surface().GetPixel(0, 0), 0x123456u);
    EXPECT_EQ(b.Surface().GetPixel(5, 4), 0x123456u);
}

// Frame controls and text have no formula; their looks are kept as a
// reference picture. TickTheSecondBox false draws the picture a box that
// lost its tick would give.
void DrawFrameControlsAndText(TBitmap& b, bool TickTheSecondBox = true) {
    b.Surface().Fill(ColorRefToPixel(GetSysColor(COLOR_BTNFACE)));
    TCanvas& c = *b.Canvas();
    struct TControl {
        TRect R;
        uint32_t Type, State;
    } controls[] = {
        {{2, 2, 17, 17}, DFC_BUTTON, DFCS_BUTTONCHECK},
        {{20, 2, 35, 17}, DFC_BUTTON, DFCS_BUTTONCHECK | (TickTheSecondBox ? DFCS_CHECKED : 0u)},
        {{38, 2, 53, 17}, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED},
        {{56, 2, 71, 17}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE},
        {{74, 2, 87, 15}, DFC_BUTTON, DFCS_BUTTONRADIO},
        {{92, 2, 105, 15}, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {{110, 2, 126, 18}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX},
        {{130, 2, 146, 18}, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED},
        {{150, 2, 166, 18}, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE},
        {{2, 22, 60, 44}, DFC_BUTTON, DFCS_BUTTONPUSH},
        {{64, 22, 122, 44}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
    };
    for (auto& k : controls) c.DrawFrameControl(k.R, k.Type, k.State);
    c.Font()->SetName("Arial");
    c.Font()->SetHeight(-12);
    c.Font()->SetStyle({fsBold});
    c.SetBkMode(TRANSPARENT);
    TRect t{2, 22, 60, 44};
    c.DrawText("&Salir", t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c.Font()->SetStyle({});
    c.Font()->SetName("MS Sans Serif");
    c.Font()->SetHeight(-11);
    c.TextOut(126, 26, "Atenci\xF3n");
    c.Font()->SetName("Courier New");
    c.Font()->SetOrientation(900);
    c.TextOut(164, 58, "1A");
}

const std::string ControlsPicture = std::string(ZELMOR_SOURCE_DIR) + "/tests/gfx/reference/controls.png";

TEST(Reference, FrameControlsAndTextMatchTheirImages) {
    TBitmap b(180, 60);
    DrawFrameControlsAndText(b);
    EXPECT_TRUE(MatchesReferencePicture(b.Surface(), ControlsPicture));
}

// A check box without its tick differs from the reference in a few dozen
// pixels, far fewer than one in a hundred: only an exact comparison sees it.
TEST(Reference, APictureThatLostATickDoesNotMatch) {
    TBitmap ticked(180, 60), unticked(180, 60);
    DrawFrameControlsAndText(ticked);
    DrawFrameControlsAndText(unticked, false);
    int differing = 0;
    for (int y = 0; y < ticked.Height(); ++y)
        for (int x = 0; x < ticked.Width(); ++x) {
            if (ticked.Surface().GetPixel(x, y) == unticked.Surface().GetPixel(x, y)) continue;
            ++differing;
            EXPECT_TRUE(PtInRect(TRect(20, 2, 35, 17), TPoint(x, y))) << x << ", " << y;
        }
    EXPECT_GT(differing, 0);
    EXPECT_LT(differing, ticked.Width() * ticked.Height() / 100);
    EXPECT_FALSE(SamePicture(LoadSurfaceFromPng(ControlsPicture), unticked.Surface()));
    EXPECT_TRUE(SamePicture(ticked.Surface(), ticked.Surface()));
    TBitmap narrower(179, 60);
    DrawFrameControlsAndText(narrower);
    EXPECT_FALSE(SamePicture(ticked.Surface(), narrower.Surface())) << "a picture of another size";
}
