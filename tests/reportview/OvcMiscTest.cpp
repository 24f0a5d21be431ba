// The library's helpers: words, cut texts, number texts, keyboard state,
// naming, and the drawing helpers checked pixel by pixel.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcMisc.h"

namespace {

TEST(OvcMisc, WordsOfAText) {
    const TCharSet delimiters(" ,");
    const char* text = "  ab,,cd";
    EXPECT_EQ(WordCount(text, delimiters), 2);
    EXPECT_EQ(WordPosition(2, text, delimiters), 7);
    EXPECT_EQ(ExtractWord(2, text, delimiters), "cd");
    EXPECT_EQ(ExtractWord(3, text, delimiters), "");
    EXPECT_EQ(WordPosition(3, text, delimiters), 0);
    EXPECT_EQ(WordCount("", delimiters), 0);
    EXPECT_EQ(WordCount(" , ", delimiters), 0);
    EXPECT_EQ(ExtractWord(1, "Grid1.Columns[0]", TCharSet(".")), "Grid1");
}

TEST(OvcMisc, SmallComparisons) {
    EXPECT_TRUE(PartialCompare("Abc", "aBCDEF"));
    EXPECT_TRUE(PartialCompare("\xC1rbol", "\xE1R"));
    EXPECT_FALSE(PartialCompare("", "a"));
    EXPECT_FALSE(PartialCompare("ab", "ac"));
    const unsigned char a[] = {1, 2, 0x80}, b[] = {1, 2, 0x7F};
    EXPECT_EQ(CompStruct(a, b, 3), 1) << "bytes compare unsigned";
    EXPECT_EQ(CompStruct(b, a, 3), -1);
    EXPECT_EQ(CompStruct(a, b, 2), 0);
    EXPECT_EQ(CompStruct(a, b, 0), 0);
    const char block[100] = {};
    const void* p = block;
    PtrInc(p, 40);
    EXPECT_EQ(PtrDiff(p, block), 40);
    PtrDec(p, 15);
    EXPECT_EQ(PtrDiff(p, block), 25);
}

TEST(OvcMisc, TheEpochIsTheStartOfTheCentury) {
    TManualClock clock(EncodeDate(2026, 5, 1));
    TClockScope use(clock);
    EXPECT_EQ(DefaultEpoch(), 2000);
    clock.SetNow(EncodeDate(2100, 1, 1));
    EXPECT_EQ(DefaultEpoch(), 2100);
    clock.SetNow(EncodeDate(1999, 12, 31));
    EXPECT_EQ(DefaultEpoch(), 1900);
}

TEST(OvcMisc, ComponentNamesTakeTheFirstFreeNumber) {
    TComponent owner(nullptr);
    EXPECT_EQ(GenerateComponentName(&owner, "Edit1Label"), "Edit1Label1");
    auto* c = new TComponent(&owner);
    c->SetName("edit1label1");
    EXPECT_EQ(GenerateComponentName(&owner, "Edit1Label"), "Edit1Label2") << "names compare without case";
    try {
        GenerateComponentName(&owner, "1Label");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "'1Label' is not a valid component name");
    }
}

TEST(OvcMisc, KeyboardStateAndTheMouseButtons) {
    ResetWindowManager();
    uint8_t keys[256] = {};
    SetKeyboardState(keys);
    EXPECT_EQ(GetShiftFlags(), 0);
    keys[VK_SHIFT] = 0x80;
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(GetShiftFlags(), 2 | 8);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(GetShiftFlags(), 2 | 4 | 8);
    ResetWindowManager();

    EXPECT_EQ(GetLeftButton(), VK_LBUTTON);
    SetSystemMetric(SM_SWAPBUTTON, 1);
    EXPECT_EQ(GetLeftButton(), VK_RBUTTON);
    ResetSystemMetrics();
}

TEST(OvcMisc, NumberTextsForTheConversion) {
    struct Case {
        const char* In;
        char Decimal;
        const char* Out;
    } cases[] = {{"  ", ',', "0"},          {"1,5", ',', "1.5"},  {".5", '.', "0.5"},   {"-,5", ',', "-0.5"},
                 {"12,", ',', "12"},        {"3.", ',', "3.0"},   {"-.5", '.', "-0.5"}, {" 7 ", ',', "7"},
                 {"1E5", '.', "1.00000E5"}, {"1 , 5", ',', "1.5"}};
    for (const Case& c : cases) {
        char b[64];
        std::strcpy(b, c.In);
        EXPECT_STREQ(FixRealPrim(b, c.Decimal), c.Out) << c.In;
    }
    char small[4];
    std::strcpy(small, "1E5");
    EXPECT_STREQ(FixRealPrim(small, '.'), "1.0") << "cut to the buffer";

    char dest[16];
    EXPECT_STREQ(FixTextBuffer("a\nb\r\nc", dest, 15), "a\r\nb\r\nc");
    EXPECT_STREQ(FixTextBuffer("a\nb", dest, 2), "a\r");
    char two[3];
    EXPECT_STREQ(FixTextBuffer("abcdef", two, 100), "ab");
}

TEST(OvcMisc, DebugOutputGoesToStandardErrorInUtf8) {
    testing::internal::CaptureStderr();
    DebugOutput("Atenci\xF3n");
    DebugOutput(std::string(300, 'x'));
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "Atenci\xC3\xB3n\n" + std::string(255, 'x') + "\n");
}

// --- texts cut to a width ---

class OvcMiscDrawing : public ::testing::Test {
protected:
    OvcMiscDrawing() : Picture(200, 50) { Picture.Canvas()->Font()->SetName("Arial"); }
    TCanvas* C() { return Picture.Canvas(); }
    TBitmap Picture;
};

TEST_F(OvcMiscDrawing, DisplayStringsKeepTheirMinimumAndLoseTheirDotsLast) {
    const AnsiString text = "Asignaturas del curso";
    const int full = C()->TextWidth(text);
    EXPECT_EQ(GetDisplayString(C(), text, 3, full), text) << "a text that fits comes back without dots";
    // Cut to a width: the longest start that fits with the dots.
    const int max = full / 2;
    AnsiString expected = text;
    while (C()->TextWidth(expected) > max - C()->TextWidth("...")) expected.pop_back();
    EXPECT_EQ(GetDisplayString(C(), text, 3, max), expected + "...");
    // Never below the minimum: then the dots go first.
    AnsiString kept = text.substr(0, 10) + "...";
    while (C()->TextWidth(kept) > 20 && kept.size() > 10) kept.pop_back();
    EXPECT_EQ(GetDisplayString(C(), text, 10, 20), kept);
    // Narrower than the dots and no minimum: fewer than three dots.
    AnsiString tiny = GetDisplayString(C(), text, 0, C()->TextWidth("..") - 1);
    EXPECT_LT(tiny.size(), 3u);
    EXPECT_EQ(tiny, AnsiString(tiny.size(), '.'));
}

TEST_F(OvcMiscDrawing, PathsLoseTheirLeadingFoldersFirst) {
    TCanvas& M = *GetDC(nullptr);
    TFont menu;
    GetMenuFont(menu);
    M.Font()->Assign(&menu);
    const AnsiString path = "C:\\Zelmor\\datos\\curso2026\\alum.dbf";
    EXPECT_EQ(PathEllipsis(path, 0), path);
    EXPECT_EQ(PathEllipsis(path, M.TextWidth(path)), path);
    const AnsiString one = "C:\\Zelmor\\datos\\...\\alum.dbf";
    const AnsiString two = "C:\\Zelmor\\...\\alum.dbf";
    EXPECT_EQ(PathEllipsis(path, M.TextWidth(one)), one);
    EXPECT_EQ(PathEllipsis(path, M.TextWidth(one) - 1), two);
    // Down to the drive, and then the end is cut.
    const AnsiString drive = "C:\\...\\alum.dbf";
    AnsiString cut = drive;
    const int narrow = M.TextWidth(drive) - 10;
    while (!cut.empty() && M.TextWidth(cut + "...") > narrow) cut.pop_back();
    EXPECT_EQ(PathEllipsis(path, narrow), cut + "...");
    // A file at the root of its drive has no folder to give way: only its end is cut.
    const AnsiString root = "C:\\alumnos.dbf";
    AnsiString end = root;
    const int tight = M.TextWidth(root) - 5;
    while (!end.empty() && M.TextWidth(end + "...") > tight) end.pop_back();
    EXPECT_EQ(PathEllipsis(root, tight), end + "...");
    ReleaseDC(nullptr, &M);
}

TEST_F(OvcMiscDrawing, ButtonFramesFromOutsideIn) {
    struct Case {
        bool Down, Flat;
        TButtonStyle Style;
        TColor Outer[2];  // top-left, bottom-right of each frame from the outside
        TColor Inner[2];
        int Frames;
    } cases[] = {
        {false, false, bsNew, {clBtnHighlight, clWindowFrame}, {clBtnFace, clBtnShadow}, 2},
        {false, true, bsNew, {clBtnHighlight, clBtnShadow}, {}, 1},
        {true, false, bsNew, {clWindowFrame, clBtnHighlight}, {clBtnShadow, clBtnFace}, 2},
        {true, true, bsAutoDetect, {clWindowFrame, clBtnHighlight}, {}, 1},
        {false, false, bsWin31, {clWindowFrame, clWindowFrame}, {clBtnHighlight, clBtnShadow}, 2},
        {false, true, bsWin31, {clBtnHighlight, clWindowFrame}, {}, 1},
    };
    for (const Case& c : cases) {
        C()->Brush()->SetColor(clLime);
        C()->FillRect(TRect(0, 0, 200, 50));
        TRect inside = DrawButtonFrame(C(), TRect(10, 10, 60, 40), c.Down, c.Flat, c.Style);
        EXPECT_EQ(inside, TRect(10 + c.Frames + 1, 10 + c.Frames + 1, 60 - c.Frames - 1, 40 - c.Frames - 1));
        auto rgb = [](TColor X) { return static_cast<TColor>(ColorToRGB(X)); };
        EXPECT_EQ(C()->Pixel(10, 20), rgb(c.Outer[0]));
        EXPECT_EQ(C()->Pixel(59, 20), rgb(c.Outer[1]));
        if (c.Frames == 2) {
            EXPECT_EQ(C()->Pixel(20, 11), rgb(c.Inner[0]));
            EXPECT_EQ(C()->Pixel(20, 38), rgb(c.Inner[1]));
        }
        EXPECT_EQ(C()->Pixel(30, 25), static_cast<TColor>(ColorToRGB(clLime))) << "the inside is not painted";
    }
}

TEST_F(OvcMiscDrawing, DisabledPicturesAreEmbossed) {
    TBitmap glyph(4, 4);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
    glyph.Canvas()->SetPixel(1, 1, clBlack);
    auto disabled = CreateDisabledBitmap(&glyph, clFuchsia);
    const TCanvas* d = disabled->Canvas();
    EXPECT_EQ(d->Pixel(1, 1), static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(d->Pixel(2, 2), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(d->Pixel(0, 0), static_cast<TColor>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(d->Pixel(3, 3), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST_F(OvcMiscDrawing, TransparentPicturesLeaveTheirKeyColourUnpainted) {
    TBitmap glyph(2, 2);
    glyph.Canvas()->SetPixel(0, 0, clRed);
    glyph.Canvas()->SetPixel(1, 0, clBlue);
    glyph.Canvas()->SetPixel(0, 1, clBlue);  // the bottom-left pixel
    glyph.Canvas()->SetPixel(1, 1, clRed);
    for (TColor key : {TColor(clBlue), TColor(clDefault)}) {
        C()->Brush()->SetColor(clWhite);
        C()->FillRect(TRect(0, 0, 200, 50));
        DrawTransparentBitmap(C(), 10, 10, 4, 4, TRect(), &glyph, key);
        EXPECT_EQ(C()->Pixel(10, 10), static_cast<TColor>(ColorToRGB(clRed)));
        EXPECT_EQ(C()->Pixel(12, 10), static_cast<TColor>(ColorToRGB(clWhite))) << "blue stays unpainted";
        EXPECT_EQ(C()->Pixel(13, 13), static_cast<TColor>(ColorToRGB(clRed))) << "stretched to 4 x 4";
    }
    DrawTransparentBitmap(C(), 10, 10, 0, 0, TRect(), &glyph, clNone);
    EXPECT_EQ(C()->Pixel(11, 10), static_cast<TColor>(ColorToRGB(clBlue))) << "clNone draws it opaque";

    TBitmap mask(2, 2);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(TRect(0, 0, 2, 2));
    mask.Canvas()->SetPixel(1, 1, clWhite);
    C()->Brush()->SetColor(clWhite);
    C()->FillRect(TRect(0, 0, 200, 50));
    TransStretchBlt(C(), 0, 0, 4, 4, glyph.Canvas(), 0, 0, 2, 2, &mask, 0, 0);
    EXPECT_EQ(C()->Pixel(1, 1), static_cast<TColor>(ColorToRGB(clRed)));
    EXPECT_EQ(C()->Pixel(3, 3), static_cast<TColor>(ColorToRGB(clWhite)))
        << "white in the mask keeps the destination";
}

TEST_F(OvcMiscDrawing, RotatedFontsAndTextMargins) {
    TFont f;
    f.SetName("Arial");
    f.SetStyle({fsBold, fsItalic});
    auto turned = CreateRotatedFont(&f, 90);
    EXPECT_EQ(turned->Orientation(), 900);
    EXPECT_EQ(turned->Name(), "Arial");
    EXPECT_EQ(turned->Style(), (TFontStyles{fsBold, fsItalic}));

    TTextMetric own, sys;
    C()->Font()->Assign(&f);
    C()->GetTextMetrics(own);
    TFont system;
    GetSystemFont(system);
    C()->Font()->Assign(&system);
    C()->GetTextMetrics(sys);
    const int T = std::min(own.tmHeight, sys.tmHeight);
    EXPECT_EQ(GetTopTextMargin(&f, bsNone, T + 3, true), 0);
    EXPECT_EQ(GetTopTextMargin(&f, bsNone, T + 2, true), (2 - 2) / 2 - (2 & 1));
    EXPECT_EQ(GetTopTextMargin(&f, bsSingle, T + 5, true), 1);
    EXPECT_EQ(GetTopTextMargin(&f, bsSingle, T + 3, true), (3 - 4) / 2 - 1);
    EXPECT_EQ(GetTopTextMargin(&f, bsSingle, T + 3, false), (3 - 4) / 2 - (3 & 1));
}

}  // namespace

// The library finds its cursors among the program's resources, and says which
// one is missing.
TEST(OvcMisc, ACursorOfTheResourcesOrAClearError) {
    EXPECT_NE(LoadBaseCursor("TEE_CURSOR_HAND"), nullptr);
    try {
        LoadBaseCursor("OVC_NO_SUCH_CURSOR");
        ADD_FAILURE() << "a missing cursor was answered";
    } catch (const EResNotFound& E) {
        EXPECT_EQ(E.Message(), "Cursor resource OVC_NO_SUCH_CURSOR not found");
    }
}
