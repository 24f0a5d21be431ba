// Bit buttons and speed buttons: kinds, glyph layout, groups.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/ui/Buttons.h"
#include "tests/support/ui/KeyScript.h"

namespace {

// Cells squares of one colour; the bottom-left pixel (the transparent colour) is white.
std::unique_ptr<TBitmap> SolidGlyph(int Cells, int Size, TColor Color) {
    auto B = std::make_unique<TBitmap>(Cells * Size, Size);
    B->Canvas()->Brush()->SetColor(Color);
    B->Canvas()->FillRect(TRect(0, 0, Cells * Size, Size));
    B->Canvas()->SetPixel(0, Size - 1, clWhite);
    return B;
}

struct TLayoutCase {
    TButtonLayout Layout;
    int Margin, Spacing;
    // Expected glyph position and text left/top, from the client size, the glyph (16) and the text size.
    std::function<TPoint(int W, int H, int TW, int TH)> Glyph;
    std::function<TPoint(int W, int H, int TW, int TH)> Text;
};

TEST(ButtonLayoutTest, GlyphAndCaptionGoWhereTheLayoutSays) {
    TBitmap Scratch(1, 1);
    TCanvas& C = *Scratch.Canvas();
    const int W = 120, H = 40, G = 16;
    TSize Text = C.TextExtent("Siguiente");
    const int TW = Text.cx, TH = Text.cy;
    std::vector<TLayoutCase> Cases = {
        {blGlyphLeft, -1, 4,
         [](int W, int H, int TW, int) { return TPoint((W - (G + 4 + TW) + 1) / 2, (H - G + 1) / 2); },
         [](int W, int H, int TW, int TH) {
             return TPoint((W - (G + 4 + TW) + 1) / 2 + G + 4, (H - TH + 1) / 2);
         }},
        {blGlyphRight, 5, 2, [](int W, int H, int, int) { return TPoint(W - 5 - G, (H - G + 1) / 2); },
         [](int W, int, int TW, int) { return TPoint(W - 5 - G - 2 - TW, 0); }},
        {blGlyphTop, -1, 0,
         [](int W, int H, int, int TH) { return TPoint((W - G + 1) / 2, (H - (G + TH) + 1) / 2); },
         [](int W, int H, int TW, int TH) { return TPoint((W - TW + 1) / 2, (H - (G + TH) + 1) / 2 + G); }},
        {blGlyphBottom, 3, 1, [](int W, int H, int, int) { return TPoint((W - G + 1) / 2, H - 3 - G); },
         [](int W, int H, int TW, int TH) { return TPoint((W - TW + 1) / 2, H - 3 - G - 1 - TH); }},
        {blGlyphLeft, -1, -1,
         [](int W, int H, int TW, int) { return TPoint((W - (G + TW)) / 3, (H - G + 1) / 2); },
         [](int W, int, int TW, int) { return TPoint((W - (G + TW)) / 3 * 2 + G, 0); }},
    };
    for (const TLayoutCase& L : Cases) {
        TButtonLayoutResult R = CalcButtonLayout(C, TRect(0, 0, W, H), TPoint(0, 0), "Siguiente", TSize{G, G},
                                                 L.Layout, L.Margin, L.Spacing);
        EXPECT_EQ(R.GlyphPos, L.Glyph(W, H, TW, TH)) << int(L.Layout) << " " << L.Margin << " " << L.Spacing;
        TPoint T = L.Text(W, H, TW, TH);
        EXPECT_EQ(R.TextBounds.Left, T.x) << int(L.Layout);
        if (L.Layout == blGlyphTop || L.Layout == blGlyphBottom) {
            EXPECT_EQ(R.TextBounds.Top, T.y);
        }
        EXPECT_EQ(R.TextBounds.Width(), TW);
    }
    // Offsets move both (a pressed button).
    TButtonLayoutResult A =
        CalcButtonLayout(C, TRect(0, 0, W, H), TPoint(0, 0), "x", TSize{G, G}, blGlyphLeft, -1, 4);
    TButtonLayoutResult B =
        CalcButtonLayout(C, TRect(0, 0, W, H), TPoint(1, 1), "x", TSize{G, G}, blGlyphLeft, -1, 4);
    EXPECT_EQ(B.GlyphPos, TPoint(A.GlyphPos.x + 1, A.GlyphPos.y + 1));
    EXPECT_EQ(B.TextBounds.Top, A.TextBounds.Top + 1);
}

class BitBtnTest : public FormTest {
protected:
    BitBtnTest() {
        Dialog = TForm::CreateNew(Application);
        Dialog->SetBorderStyle(bsNone);
        Dialog->SetBounds(100, 100, 300, 150);
        Edit = Make<TEdit>(Dialog, Dialog, "E", Bounds(10, 10, 100, 0));
    }
    TForm* Dialog;
    TEdit* Edit;
};

TEST_F(BitBtnTest, AKindSetsCaptionResultDefaultCancelAndGlyph) {
    struct TKind {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    };
    for (const TKind& K : std::initializer_list<TKind>{{bkOK, "OK", mrOk, true, false},
                                                       {bkCancel, "Cancel", mrCancel, false, true},
                                                       {bkYes, "&Yes", mrYes, true, false},
                                                       {bkNo, "&No", mrNo, false, true},
                                                       {bkAbort, "Abort", mrAbort, false, false},
                                                       {bkRetry, "&Retry", mrRetry, false, false},
                                                       {bkIgnore, "&Ignore", mrIgnore, false, false},
                                                       {bkAll, "&All", mrAll, false, false},
                                                       {bkHelp, "&Help", mrNone, false, false},
                                                       {bkClose, "&Close", mrNone, false, false}}) {
        auto* B = Make<TBitBtn>(Dialog, Dialog, "", Bounds(10, 50, 75, 25));
        B->SetKind(K.Kind);
        EXPECT_EQ(B->Caption(), K.Caption);
        EXPECT_EQ(B->ModalResult(), K.Result) << K.Caption;
        EXPECT_EQ(B->Default(), K.Default) << K.Caption;
        EXPECT_EQ(B->Cancel(), K.Cancel) << K.Caption;
        EXPECT_FALSE(B->Glyph()->Empty()) << K.Caption;
        B->Free();
    }
}

// A kind's glyph holds its up and its disabled picture side by side, as
// the kinds' bitmaps do: a button that says it has two glyphs (the dialog
// buttons of the data-aware library do) draws the same whole picture as one
// that only took the kind, and its disabled picture is etched grey.
TEST_F(BitBtnTest, AKindsGlyphIsAStripOfItsUpAndDisabledPictures) {
    for (TBitBtnKind Kind : {bkOK, bkCancel, bkHelp, bkAll}) {
        SCOPED_TRACE(int(Kind));
        auto* A = Make<TBitBtn>(Dialog, Dialog, "", Bounds(10, 50, 90, 30));
        auto* B = Make<TBitBtn>(Dialog, Dialog, "", Bounds(150, 50, 90, 30));
        A->SetKind(Kind);
        B->SetKind(Kind);
        B->SetNumGlyphs(2);
        EXPECT_EQ(A->NumGlyphs(), 2);
        EXPECT_EQ(A->Glyph()->Width(), 2 * A->Glyph()->Height());
        A->SetDefault(false);
        B->SetDefault(false);
        Dialog->Show();
        Ui.RunUntilIdle();
        int Differ = 0;
        for (int Y = 0; Y < 30; ++Y)
            for (int X = 0; X < 90; ++X)
                Differ += PixelOf(Ui, Dialog, 10 + X, 50 + Y) != PixelOf(Ui, Dialog, 150 + X, 50 + Y);
        EXPECT_EQ(Differ, 0);
        // The disabled picture: no colour of the up one, only the etched greys.
        TBitmap* G = A->Glyph();
        const TColor Key = G->TransparentColor();
        for (int Y = 0; Y < 18; ++Y)
            for (int X = 18; X < 36; ++X) {
                const TColor P = G->Canvas()->Pixel(X, Y);
                if (ColorToRGB(P) == ColorToRGB(Key)) continue;
                EXPECT_TRUE(ColorToRGB(P) == ColorToRGB(clBtnShadow) ||
                            ColorToRGB(P) == ColorToRGB(clBtnHighlight))
                    << X << "," << Y;
            }
        A->Free();
        B->Free();
        Dialog->Hide();
    }
}

TEST_F(BitBtnTest, OkAndCancelKindsAnswerReturnAndEscape) {
    auto* Ok = Make<TBitBtn>(Dialog, Dialog, "Ok", Bounds(10, 50, 75, 25));
    Ok->SetKind(bkOK);
    auto* Cancel = Make<TBitBtn>(Dialog, Dialog, "Cancel", Bounds(90, 50, 75, 25));
    Cancel->SetKind(bkCancel);
    Ui.Then([this] { PlayKeys(Ui, "{Enter}"); });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    Ui.Then([this] { PlayKeys(Ui, "{Esc}"); });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
}

TEST_F(BitBtnTest, CloseAndHelpKindsActOnTheFormAndTheHelp) {
    auto* Close = Make<TBitBtn>(Dialog, Dialog, "Close", Bounds(10, 50, 75, 25));
    Close->SetKind(bkClose);
    auto* Help = Make<TBitBtn>(Dialog, Dialog, "Help", Bounds(90, 50, 75, 25));
    Help->SetKind(bkHelp);
    Dialog->SetHelpContext(2005);
    std::vector<intptr_t> Asked;
    Application->OnHelp = [&](WORD, intptr_t Data, bool& CallHelp) {
        Asked.push_back(Data);
        CallHelp = false;
        return true;
    };
    int Closes = 0;
    Dialog->OnClose = [&](TObject*, TCloseAction&) { ++Closes; };
    Dialog->Show();
    Ui.RunUntilIdle();
    Ui.Click(Help);
    Ui.RunUntilIdle();
    EXPECT_EQ(Asked, std::vector<intptr_t>{2005}) << "the nearest help context, the form's";
    Ui.Click(Close);
    Ui.RunUntilIdle();
    EXPECT_EQ(Closes, 1);
    EXPECT_FALSE(Dialog->Visible());
}

TEST_F(BitBtnTest, AGlyphStripCountsItsPicturesAndTheDisabledOneIsEtched) {
    auto* B = Make<TBitBtn>(Dialog, Dialog, "B", Bounds(10, 50, 100, 40));
    B->SetGlyph(SolidGlyph(2, 16, clRed).get());
    EXPECT_EQ(B->NumGlyphs(), 2) << "a strip of two squares";
    B->SetGlyph(SolidGlyph(1, 16, clRed).get());
    EXPECT_EQ(B->NumGlyphs(), 1);
    B->SetLayout(blGlyphTop);
    B->SetMargin(4);
    Dialog->Show();
    Ui.RunUntilIdle();
    // Glyph on top: centred across, 4 pixels below the face's edge (2 pixels of frame and 1 of default ring).
    TRect Face = B->ClientRect();
    InflateRect(Face, -2, -2);
    int X = 10 + Face.Left + (Face.Width() - 16 + 1) / 2, Y = 50 + Face.Top + 4;
    EXPECT_EQ(PixelOf(Ui, Dialog, X + 8, Y + 8), 0xFF0000u);
    B->SetEnabled(false);
    Ui.RunUntilIdle();
    TColorRef Shadow = ColorToRGB(clBtnShadow);
    uint32_t Grey =
        (uint32_t(GetRValue(Shadow)) << 16) | (uint32_t(GetGValue(Shadow)) << 8) | GetBValue(Shadow);
    EXPECT_EQ(PixelOf(Ui, Dialog, X + 8, Y + 8), Grey) << "the disabled picture is grey";
}

class SpeedButtonTest : public FormTest {
protected:
    SpeedButtonTest() {
        Form = NewPlainForm("F", 300, 100);
        for (int I = 0; I < 3; ++I) {
            auto* B = Make<TSpeedButton>(Form, Form, "", Bounds(10 + 30 * I, 10, 25, 25));
            B->SetGroupIndex(1);
            B->OnClick = [this, I](TObject*) { Clicked.push_back(I); };
            Group.push_back(B);
        }
        Form->Show();
        Ui.RunUntilIdle();
    }
    std::vector<bool> Downs() const {
        std::vector<bool> D;
        for (TSpeedButton* B : Group) D.push_back(B->Down());
        return D;
    }
    TForm* Form;
    std::vector<TSpeedButton*> Group;
    std::vector<int> Clicked;
};

TEST_F(SpeedButtonTest, AGroupKeepsOneButtonDown) {
    Ui.Click(Group[1]);
    Ui.RunUntilIdle();
    EXPECT_EQ(Downs(), (std::vector<bool>{false, true, false}));
    Ui.Click(Group[2]);
    Ui.RunUntilIdle();
    EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true}));
    Ui.Click(Group[2]);
    Ui.RunUntilIdle();
    EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true})) << "without AllowAllUp it stays down";
    Group[0]->SetAllowAllUp(true);
    EXPECT_TRUE(Group[2]->AllowAllUp()) << "the group shares AllowAllUp";
    Ui.Click(Group[2]);
    Ui.RunUntilIdle();
    EXPECT_EQ(Downs(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Clicked, (std::vector<int>{1, 2, 2, 2}));
    Group[0]->SetDown(true);
    EXPECT_EQ(Downs(), (std::vector<bool>{true, false, false}));
}

TEST_F(SpeedButtonTest, AButtonWithoutAGroupComesBackUpAndAReleaseOutsideIsNoClick) {
    auto* B = Make<TSpeedButton>(Form, Form, "Free", Bounds(150, 10, 25, 25));
    int Clicks = 0;
    B->OnClick = [&](TObject*) { ++Clicks; };
    Ui.Click(B);
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(B->Down());
    B->SetDown(true);
    EXPECT_FALSE(B->Down()) << "only a grouped button stays down";
    InputMouseMove(B->ClientToScreen(TPoint(5, 5)));
    InputMouseButton(0, true, B->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(B->State(), bsDown);
    InputMouseMove(B->ClientToScreen(TPoint(60, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(B->State(), bsUp) << "dragged off, it shows up";
    InputMouseButton(0, false, B->ClientToScreen(TPoint(60, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
}

TEST_F(SpeedButtonTest, AFlatButtonShowsItsEdgeOnlyUnderTheMouse) {
    auto* B = Make<TSpeedButton>(Form, Form, "Flat", Bounds(150, 10, 25, 25));
    B->SetFlat(true);
    Form->SetColor(clWhite);
    Ui.MoveTo(TPoint(0, 0));
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Ui, Form, 150, 10), 0xFFFFFFu) << "no edge, no face";
    Ui.MoveTo(B->ClientToScreen(TPoint(10, 10)));
    Ui.RunUntilIdle();
    EXPECT_TRUE(B->MouseInControl());
    TColorRef Light = ColorToRGB(clBtnHighlight);
    EXPECT_EQ(PixelOf(Ui, Form, 150, 10),
              (uint32_t(GetRValue(Light)) << 16) | (uint32_t(GetGValue(Light)) << 8) | GetBValue(Light));
    Ui.MoveTo(TPoint(0, 0));
    Ui.RunUntilIdle();
    EXPECT_FALSE(B->MouseInControl());
    EXPECT_EQ(PixelOf(Ui, Form, 150, 10), 0xFFFFFFu);
}

}  // namespace
