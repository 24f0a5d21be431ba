// The image button: the organizer dialog's six buttons and two labels as its
// form streams them, the regions and their form data, the looks, dithering,
// external pictures and the bevel traced along a picture.
#include <gtest/gtest.h>

#include "ButtonsFixture.h"
#include "buttons/fcHelpers.h"
#include "buttons/fcImager.h"
#include "buttons/fcImgBtn.h"
#include "buttons/fcLabel.h"
#include "buttons/fcShapeBtn.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/Bmp.h"
#include "platform/rtl/Streams.h"

namespace {

// The dialog's picture: 108 by 39, 256 colours. A 3-pixel border in the
// top-left colour (the transparent one), inside a coarse pattern of the
// table's colours.
std::vector<uint32_t> PictureTable() {
    std::vector<uint32_t> T(256);
    for (int i = 0; i < 255; ++i)
        T[size_t(i)] = uint32_t((40 + (i % 14) * 10) << 16 | (60 + (i / 14) * 9) << 8 | 150);
    T[255] = 0xC8C8C8;
    return T;
}

uint32_t SourcePixel(int X, int Y) {
    static const std::vector<uint32_t> T = PictureTable();
    if (X < 3 || Y < 3 || X >= 105 || Y >= 36) return T[255];
    return T[size_t((X / 8) + (Y / 8) * 14)];
}

std::string PictureFile() {
    TSurface S(108, 39);
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 108; ++x) S.SetPixel(x, y, SourcePixel(x, y));
    TStringStream File;
    WriteBmp(File, S, 8, PictureTable());
    return File.DataString();
}

// The region data of one rectangle, as the platform's region data holds it.
std::string RectData(int L, int T, int R, int B) {
    std::string Out;
    auto Put = [&](int32_t V) {
        for (int i = 0; i < 4; ++i) Out += char((uint32_t(V) >> (8 * i)) & 0xFF);
    };
    Put(48);
    for (int32_t V : {32, 1, 1, 16, L, T, R, B, L, T, R, B}) Put(V);
    return Out;
}

struct TButtonSpec {
    const char* Name;
    const char* Caption;
    int Left, Width;
};
const TButtonSpec Specs[] = {{"BTodos", "&Todos", 8, 85},
                             {"BNoColocados", "&No colocados", 100, 133},
                             {"BSeleccion", "&Selecci\xF3n", 240, 100},
                             {"BParar", "&Parar", 347, 83},
                             {"BSaltar", "S&altar alumno", 8, 120},
                             {"BSalir", "&Salir", 135, 90}};

// A caption as form text writes it: bytes beyond ASCII as #nnn outside the quotes.
std::string Quoted(const std::string& Text) {
    std::string Out = "'";
    for (unsigned char C : Text) Out += C < 127 ? std::string(1, char(C)) : "'#" + std::to_string(C) + "'";
    return Out + "'";
}

std::string ImageButton(const TButtonSpec& B, int Top, const std::string& Picture) {
    std::string Extra = std::string(B.Name) == "BSalir" ? "    ModalResult = 2\n" : "";
    if (std::string(B.Name) == "BParar" || std::string(B.Name) == "BSaltar")
        Extra += "    ShadeColors.Btn3DLight = clSilver\n    ShadeColors.BtnShadow = clGray\n";
    return std::string("  object ") + B.Name + ": TfcImageBtn\n    Left = " + std::to_string(B.Left) +
           "\n    Top = " + std::to_string(Top) + "\n    Width = " + std::to_string(B.Width) +
           "\n    Height = 33\n    Caption = " + Quoted(B.Caption) + "\n    Color = 10930928\n" +
           "    DitherColor = clWhite\n    DitherStyle = dsDither\n    Font.Charset = DEFAULT_CHARSET\n"
           "    Font.Color = clBlack\n    Font.Height = -15\n    Font.Name = 'Arial'\n    Font.Style = "
           "[fsBold]\n"
           "    Image.Data = " +
           BinaryBlock(Picture, 6) +
           "\n    ParentClipping = False\n    ParentFont = False\n    ShadeColors.BtnFocus = clMaroon\n"
           "    ShadeStyle = fbsNormal\n    TextOptions.Alignment = taCenter\n    TextOptions.VAlignment = "
           "vaVCenter\n"
           "    TextOptions.Style = fclsLowered\n    TextOptions.ExtrudeEffects.Depth = 5\n"
           "    TextOptions.Shadow.XOffset = 3\n    TransparentColor = clNone\n" +
           Extra + "    RegionData = " + BinaryBlock(RectData(1, 2, B.Width - 2, 32), 6) +
           "\n    DownRegionData = {\n      00000000}\n  end\n";
}

std::string OrganizerText(const std::string& Picture) {
    std::string Text =
        "object FormOrganizar: TForm\n  Left = 100\n  Top = 100\n  Width = 440\n  Height = 200\n"
        "  BorderStyle = bsNone\n  Color = clBtnFace\n";
    for (int i = 0; i < 6; ++i) Text += ImageButton(Specs[i], i < 4 ? 110 : 150, Picture);
    Text +=
        "  object LabTextoGen: TfcLabel\n    Left = 20\n    Top = 10\n    Width = 397\n    Height = 82\n"
        "    AutoSize = False\n    Font.Charset = DEFAULT_CHARSET\n    Font.Color = clBlack\n"
        "    Font.Height = -16\n    Font.Name = 'Arial'\n    Font.Style = [fsBold]\n    ParentFont = False\n"
        "    TextOptions.Alignment = taCenter\n    TextOptions.VAlignment = vaTop\n"
        "    TextOptions.Style = fclsLowered\n    TextOptions.ExtrudeEffects.Depth = 4\n"
        "    TextOptions.OutlineColor = clRed\n    Transparent = True\n  end\n"
        "  object fcLabel2: TfcLabel\n    Left = 330\n    Top = 150\n    Width = 95\n    Height = 37\n"
        "    AutoSize = False\n    Caption = 'DORVANEL M-3'\n    Font.Charset = DEFAULT_CHARSET\n"
        "    Font.Color = clBlack\n    Font.Height = -16\n    Font.Name = 'Arial'\n    ParentFont = False\n"
        "    TextOptions.Alignment = taCenter\n    TextOptions.LineSpacing = 2\n"
        "    TextOptions.VAlignment = vaTop\n    TextOptions.Style = fclsLowered\n"
        "    TextOptions.WordWrap = True\n    Transparent = True\n  end\nend\n";
    return Text;
}

// The buttons' Color 10930928 is $A6CAF0: red 240, green 202, blue 166, each
// channel added less 192.
uint32_t Tinted(uint32_t P) {
    auto C = [](int V) { return uint32_t(std::clamp(V, 0, 255)); };
    return C(int((P >> 16) & 0xFF) + 240 - 192) << 16 | C(int((P >> 8) & 0xFF) + 202 - 192) << 8 |
           C(int(P & 0xFF) + 166 - 192);
}

struct Organizer : ButtonsTest {
    TForm* Form = nullptr;
    std::string Picture = PictureFile();
    TfcImageBtn* Button(const char* Name) { return dynamic_cast<TfcImageBtn*>(Form->FindComponent(Name)); }
    void Load() {
        Form = TForm::CreateNew(Application);
        ReadComponentFromText(Form, OrganizerText(Picture));
        Form->Show();
        Ui.RunUntilIdle();
    }
    uint32_t At(TControl* C, int X, int Y) { return PixelOf(Form, C->Left() + X, C->Top() + Y); }
    // The face as worked out here: the picture scaled to the button by the
    // nearest pixel, tinted, its top-left colour turned to the black shadow.
    uint32_t FaceAt(TfcImageBtn* B, int X, int Y) {
        uint32_t P = SourcePixel(X * 108 / B->Width(), Y * 39 / B->Height());
        return P == 0xC8C8C8 ? 0 : Tinted(P);
    }
    // Outside the caption, inside the region: the face, shifted when down.
    void ExpectFace(TfcImageBtn* B, int Shift) {
        TRect Caption = B->TextRect;
        InflateRect(Caption, 2, 2);
        int Checked = 0;
        for (int y = 2; y < 32; ++y)
            for (int x = 1; x < B->Width() - 2; ++x) {
                if (PtInRect(Caption, TPoint(x, y))) continue;
                uint32_t Want = x < Shift || y < Shift ? 0 : FaceAt(B, x - Shift, y - Shift);
                ASSERT_EQ(At(B, x, y), Want) << B->Name() << " " << x << "," << y;
                ++Checked;
            }
        EXPECT_GT(Checked, 1000);
    }
};

TEST_F(Organizer, EachButtonKeepsItsStreamedRegionAndShowsItsTintedPicture) {
    Load();
    for (const TButtonSpec& S : Specs) {
        TfcImageBtn* B = Button(S.Name);
        ASSERT_NE(B, nullptr) << S.Name;
        TRegion R;
        ASSERT_NE(GetWindowRgn(B->Handle(), R), RGN_ERROR) << S.Name;
        EXPECT_EQ(R, TRegion(TRect(1, 2, S.Width - 2, 32)))
            << S.Name << ": the streamed region, not the picture's";
        EXPECT_FALSE(B->TabStop());
        ExpectFace(B, 0);
        // Outside the region the dialog shows.
        EXPECT_EQ(At(B, 0, 0), PixelOfColor(clBtnFace)) << S.Name;
        EXPECT_EQ(At(B, S.Width - 1, 20), PixelOfColor(clBtnFace)) << S.Name;
    }
    EXPECT_EQ(Button("BSalir")->ModalResult(), mrCancel);
}

TEST_F(Organizer, APressedPictureMovesByTwoAndLeavesABlackStrip) {
    Load();
    TfcImageBtn* B = Button("BNoColocados");
    TPoint Middle = B->ClientToScreen(TPoint(60, 16));
    PressAt(Middle);
    Ui.RunUntilIdle();
    ASSERT_TRUE(B->Down());
    ExpectFace(B, 2);
    for (int y = 2; y < 32; ++y) EXPECT_EQ(At(B, 1, y), 0u) << y;
    ReleaseAt(Middle);
    Ui.RunUntilIdle();
    ExpectFace(B, 0);
}

TEST_F(Organizer, AClickOutsideTheRegionReachesTheControlBehind) {
    Load();
    TfcImageBtn* B = Button("BTodos");
    auto* Behind = NewComponent<TfcShapeBtn>(Form);
    Behind->SetBoundsRect(B->BoundsRect());
    Behind->SetParent(Form);
    Behind->SendToBack();
    int Front = 0, Back = 0;
    B->OnClick = [&](TObject*) { ++Front; };
    Behind->OnClick = [&](TObject*) { ++Back; };
    Ui.RunUntilIdle();
    Ui.Click(B->ClientToScreen(TPoint(40, 33 - 1)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Front, 0);
    EXPECT_EQ(Back, 1) << "below the region's bottom (32)";
    Clock.Advance(1000);
    Ui.Click(B->ClientToScreen(TPoint(40, 20)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Front, 1);
}

TEST_F(Organizer, TheLoweredCaptionIsThreePassesAroundTheText) {
    Load();
    TfcImageBtn* B = Button("BTodos");
    TBitmap R(B->Width(), B->Height());
    R.Canvas()->Font()->SetName("Arial");
    R.Canvas()->Font()->SetHeight(-15);
    R.Canvas()->Font()->SetStyle({fsBold});
    R.Canvas()->SetBkMode(TRANSPARENT);
    TRect At = B->TextRect;
    R.Canvas()->DrawText("&Todos", At, DT_NOCLIP);
    TInk Text = Shifted(InkOf(R.Surface(), 0, TRect(0, 0, B->Width(), B->Height())), B->Left(), B->Top());
    TRect Around(B->Left() + B->TextRect.Left - 2, B->Top() + B->TextRect.Top - 2,
                 B->Left() + B->TextRect.Right + 2, B->Top() + B->TextRect.Bottom + 2);
    const TSurface& P = Ui.Picture(Form);
    EXPECT_EQ(InkOf(P, 0, Around), Text) << "the text in the font colour at its place";
    TInk Shade = InkOf(P, PixelOfColor(clBtnShadow), Around),
         Light = InkOf(P, PixelOfColor(clBtnHighlight), Around);
    ASSERT_FALSE(Shade.empty());
    ASSERT_FALSE(Light.empty());
    TInk Up = Shifted(Text, -1, -1), Down = Shifted(Text, 1, 1);
    for (auto& Q : Shade) EXPECT_TRUE(Up.count(Q)) << "shade one up and left";
    for (auto& Q : Light) EXPECT_TRUE(Down.count(Q)) << "light one down and right";
    // Their far edges: nothing later covers them.
    EXPECT_EQ(Shade.begin()->first, Text.begin()->first - 1);
    EXPECT_EQ(Light.rbegin()->first, Text.rbegin()->first + 1);
}

TEST_F(Organizer, AResizedButtonWorksItsRegionOutFromThePicture) {
    Load();
    TfcImageBtn* B = Button("BTodos");
    B->SetWidth(90);
    Ui.RunUntilIdle();
    TRegion R;
    ASSERT_NE(GetWindowRgn(B->Handle(), R), RGN_ERROR);
    // The picture scaled to 90 by 33 without its top-left colour: the border goes.
    EXPECT_FALSE(R.Contains(1, 2));
    EXPECT_TRUE(R.Contains(5, 5));
    EXPECT_TRUE(R.Contains(86, 28)) << "beyond the old rectangle";
    EXPECT_FALSE(R.Contains(88, 20));
    ASSERT_TRUE(B->UpRegionData().Buffer);
    EXPECT_EQ(*B->UpRegionData().Buffer, R.Data()) << "and keeps it as its new region data";
}

TEST_F(Organizer, RegionDataAndPicturesStreamByteForByte) {
    Load();
    AnsiString Text = WriteComponentToText(Form);
    // "&Todos": 52 bytes, a count of 48, then one rectangle as bounds and as the only one.
    EXPECT_NE(Text.find("RegionData = " + BinaryBlock(RectData(1, 2, 83, 32), 6)), AnsiString::npos) << Text;
    EXPECT_EQ(RectData(1, 2, 83, 32).size(), 52u);
    EXPECT_NE(Text.find("DownRegionData = {\n      00000000}"), AnsiString::npos);
    // The picture is the BMP file itself, no byte count before it.
    EXPECT_NE(Text.find("Image.Data = {\n      424D"), AnsiString::npos);
    TfcImageBtn* B = Button("BTodos");
    EXPECT_EQ(B->Image()->PixelFormat(), pf8bit);
    TStringStream Saved;
    B->Image()->SaveToStream(Saved);
    TStringStream Back(Saved.DataString());
    TBmpImage Img = ReadBmp(Back);
    EXPECT_EQ(Img.BitCount, 8);
    EXPECT_EQ(Img.ColorTable, PictureTable());

    TForm* Again = TForm::CreateNew(Application);
    ReadComponentFromText(Again, Text);
    Again->Show();
    Ui.RunUntilIdle();
    const TSurface& First = Ui.Picture(Form);
    const TSurface& Second = Ui.Picture(Again);
    ASSERT_EQ(First.Width(), Second.Width());
    int Differ = 0;
    for (int y = 0; y < First.Height(); ++y)
        for (int x = 0; x < First.Width(); ++x)
            if (First.GetPixel(x, y) != Second.GetPixel(x, y)) ++Differ;
    EXPECT_EQ(Differ, 0) << "read back, the form draws the same pixels";
}

TEST_F(Organizer, RegionDataThatDisagreesWithItsHeaderLeavesTheWindowRectangular) {
    std::string Bad = RectData(1, 2, 83, 32);
    Bad[12] = 5;  // five rectangles, but one is there
    std::string Text = OrganizerText(Picture);
    std::string Good = BinaryBlock(RectData(1, 2, 83, 32), 6);
    Text.replace(Text.find(Good), Good.size(), BinaryBlock(Bad, 6));
    Form = TForm::CreateNew(Application);
    ReadComponentFromText(Form, Text);
    Form->Show();
    Ui.RunUntilIdle();
    TRegion R;
    EXPECT_EQ(GetWindowRgn(Button("BTodos")->Handle(), R), RGN_ERROR)
        << "no region: the window stays rectangular";
    EXPECT_NE(GetWindowRgn(Button("BParar")->Handle(), R), RGN_ERROR);
}

// --- looks and regions of code-made buttons ---

struct Images : ButtonsTest {
    TForm* Form = NewForm(200, 100);
    // A 20 by 10 picture: white with a red 10 by 4 block at (5, 3).
    TfcBitmap Picture;
    Images() {
        Picture.SetSize(20, 10);
        for (int y = 3; y < 7; ++y)
            for (int x = 5; x < 15; ++x) Picture.SetPixel(x, y, fcMakePixel(255, 0, 0));
    }
    TfcImageBtn* Make(int Left = 10) {
        auto* B = NewComponent<TfcImageBtn>(Form);
        B->SetBounds(Left, 10, 20, 10);
        B->SetParent(Form);
        B->SetImage(&Picture);
        B->SetTabStop(false);
        return B;
    }
    TRegion RegionOf(TfcImageBtn* B) {
        TRegion R;
        GetWindowRgn(B->Handle(), R);
        return R;
    }
};

TEST_F(Images, TheTopLeftColourIsTransparentUnlessToldOtherwise) {
    TfcImageBtn* B = Make();
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(RegionOf(B), TRegion(TRect(5, 3, 15, 7))) << "white is the top-left colour";
    B->SetTransparentColor(clRed);
    Ui.RunUntilIdle();
    EXPECT_FALSE(RegionOf(B).Contains(6, 4));
    EXPECT_TRUE(RegionOf(B).Contains(1, 1));
    B->SetTransparentColor(clNoTransparency);
    Ui.RunUntilIdle();
    TRegion R;
    EXPECT_EQ(GetWindowRgn(B->Handle(), R), RGN_ERROR) << "no transparency: no region";
    EXPECT_EQ(PixelOf(Form, 10, 10), 0xFFFFFFu) << "and the whole picture shows";
    EXPECT_FALSE(B->HasDistinctDownRegion());
}

TEST_F(Images, AButtonWithoutAPictureShowsAPlaceholderAndHasNoRegion) {
    auto* B = NewComponent<TfcImageBtn>(Form);
    B->SetBounds(10, 10, 20, 10);
    B->SetParent(Form);
    Form->Show();
    Ui.RunUntilIdle();
    TRegion R;
    EXPECT_EQ(GetWindowRgn(B->Handle(), R), RGN_ERROR);
    int Dark = 0;
    for (int x = 0; x < 20; ++x) Dark += PixelOf(Form, 10 + x, 10) == 0 ? 1 : 0;
    EXPECT_GT(Dark, 5) << "the dash-dot outline";
    EXPECT_LT(Dark, 20);
    EXPECT_EQ(PixelOf(Form, 15, 15), PixelOfColor(clBtnFace));
}

TEST_F(Images, ARaisedButtonHasDistinctUpAndDownRegions) {
    TfcImageBtn* B = Make();
    B->SetShadeStyle(fbsRaised);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_TRUE(B->HasDistinctDownRegion());
    // The picture is drawn 2 smaller, 18 by 8, each pixel the nearest of the 20 by 10.
    TfcBitmap Mask;
    B->RenderImage(&Picture, Mask, fbsRaised, true);
    std::optional<TRegion> Plain = fcRegionFromBitmap(Mask, RGB(255, 255, 255));
    ASSERT_TRUE(Plain);
    TRegion Moved = *Plain;
    Moved.Offset(2, 2);
    EXPECT_EQ(RegionOf(B), TRegion::Combine(*Plain, Moved, RGN_OR)) << "up: the picture and its shadow";
    B->SetGroupIndex(1);
    B->SetDown(true);
    Ui.RunUntilIdle();
    EXPECT_EQ(RegionOf(B), Moved) << "down: only the pressed-in picture";
}

TEST_F(Images, ADownGroupButtonIsDitheredInItsRegion) {
    TfcImageBtn* B = Make();
    B->SetGroupIndex(1);
    B->SetDitherStyle(dsFill);
    B->SetDitherColor(clLime);
    B->SetColor(RGB(192, 192, 192));
    B->SetDown(true);
    Form->Show();
    Ui.RunUntilIdle();
    // Pressed: the picture moved by (2, 2); the block's region stays where it was.
    EXPECT_EQ(PixelOf(Form, 10 + 8, 10 + 5), 0x00FF00u);
    B->SetDitherStyle(dsDither);
    Ui.RunUntilIdle();
    uint32_t A = PixelOf(Form, 10 + 8, 10 + 5), C = PixelOf(Form, 10 + 9, 10 + 5);
    EXPECT_NE(A, C);
    EXPECT_TRUE((A == 0x00FF00u && C == 0xC0C0C0u) || (A == 0xC0C0C0u && C == 0x00FF00u));
}

TEST_F(Images, AnExternalPictureIsFollowedUntilItIsUnlinkedOrGone) {
    TfcImageBtn* Source = Make(10);
    TfcImageBtn* B = Make(50);
    B->SetExtImage(Source);
    EXPECT_TRUE(B->Image()->Empty()) << "linking clears the own picture";
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(RegionOf(B), TRegion(TRect(5, 3, 15, 7)));
    // The source's picture changes: the follower's region follows.
    TfcBitmap Other;
    Other.SetSize(20, 10);
    Other.SetPixel(1, 1, fcMakePixel(0, 0, 255));
    Source->SetImage(&Other);
    Ui.RunUntilIdle();
    EXPECT_EQ(RegionOf(B), TRegion(TRect(1, 1, 2, 2)));
    B->SetExtImage(nullptr);
    B->SetImage(&Picture);
    Ui.RunUntilIdle();
    Source->SetImage(&Picture);
    Source->SetImage(&Other);
    EXPECT_EQ(Source->Image()->ChangeLinks().Count(), 0u) << "unlinked, the follower is no longer told";
    EXPECT_EQ(RegionOf(B), TRegion(TRect(5, 3, 15, 7)));
    // A freed follower takes its link back; a freed source is forgotten.
    TfcImageBtn* Follower = Make(80);
    Follower->SetExtImage(Source);
    EXPECT_EQ(Source->Image()->ChangeLinks().Count(), 1u);
    Follower->Free();
    EXPECT_EQ(Source->Image()->ChangeLinks().Count(), 0u);
    Source->SetImage(&Picture);
    B->SetExtImage(Source);
    Source->Free();
    EXPECT_EQ(B->ExtImage(), nullptr);
    Ui.RunUntilIdle();
}

TEST_F(Images, AnImagerIsAPictureSourceToo) {
    auto* Imager = NewComponent<TfcCustomImager>(Form);
    TBitmap P(20, 10);
    P.Canvas()->Brush()->SetColor(clWhite);
    P.Canvas()->FillRect(TRect(0, 0, 20, 10));
    P.Canvas()->Brush()->SetColor(RGB(100, 100, 100));
    P.Canvas()->FillRect(TRect(2, 2, 8, 8));
    Imager->Picture()->SetGraphic(&P);
    TfcImageBtn* B = Make();
    B->SetExtImage(Imager);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(Form, 10 + 4, 10 + 4), 0x646464u);
    Imager->BitmapOptions()->SetIntOption(0, 100);  // Lightness
    Ui.RunUntilIdle();
    int L = 100 + (((255 - 100) * 100) >> 8);
    EXPECT_EQ(PixelOf(Form, 10 + 4, 10 + 4), uint32_t(L * 0x010101)) << "the button repaints with the imager";
}

TEST_F(Images, TheBevelIsTracedAlongThePictureDiagonals) {
    // A 5 by 5 block in a 7 by 7 white picture; the main diagonal runs (1, 1) .. (5, 5).
    TfcBitmap Block;
    Block.SetSize(7, 7);
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 6; ++x) Block.SetPixel(x, y, fcMakePixel(0, 0, 200));
    auto* B = NewComponent<TfcImageBtn>(Form);
    B->SetBounds(10, 10, 7, 7);
    B->SetParent(Form);
    B->ShadeColors()->SetBtnHighlight(clYellow);
    B->ShadeColors()->SetBtn3DLight(clAqua);
    B->ShadeColors()->SetBtnShadow(clGray);
    B->ShadeColors()->SetBtnBlack(clMaroon);
    const TfcPixel L1 = fcColorToPixel(clYellow), L2 = fcColorToPixel(clAqua), D2 = fcColorToPixel(clGray),
                   D1 = fcColorToPixel(clMaroon), In = fcMakePixel(0, 0, 200), Black{};
    struct {
        const char* Name;
        bool Default, Focusable, Down;
        std::vector<TfcPixel> Diagonal;  // (0, 0) .. (6, 6)
    } Cases[] = {
        {"up", false, false, false, {{255, 255, 255}, L1, L2, In, D2, D1, {255, 255, 255}}},
        {"down", false, false, true, {{255, 255, 255}, D1, D2, In, L2, L1, {255, 255, 255}}},
        // The default button: the ends one step in, a black outline at the run's own ends.
        {"default", true, false, false, {{255, 255, 255}, D1, L1, L2, D1, D1, {255, 255, 255}}},
    };
    for (const auto& C : Cases) {
        B->SetDefault(C.Default);
        TfcBitmap Target;
        Target.Assign(&Block);
        B->fcBevelImage(Block, Target, RGB(255, 255, 255), C.Down);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(Target.Pixel(i, i), C.Diagonal[size_t(i)]) << C.Name << " " << i;
    }
    // Focusable with the focus: the start one step further in, and when down a black pixel before it.
    B->SetDefault(false);
    B->SetOptions({boFocusable});
    Form->Show();
    B->SetFocus();
    TfcBitmap Target;
    Target.Assign(&Block);
    B->fcBevelImage(Block, Target, RGB(255, 255, 255), true);
    // s = (1 + 2, ...) = (3, 3), e = (4, 4): e-1 light2, s+1 dark2, e light1, s dark1, (2, 2) black;
    // then the outline at (1, 1) and (5, 5).
    std::vector<TfcPixel> Want = {{255, 255, 255}, D1, Black, D1, L1, D1, {255, 255, 255}};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Target.Pixel(i, i), Want[size_t(i)]) << "focused " << i;
}

TEST_F(Images, PressingAButtonWithADownPictureRepaintsTheDialogOnlyWhereTheOutlinesDiffer) {
    TfcImageBtn* B = Make(30);
    // Down: the block one pixel wider on the right.
    TfcBitmap DownPicture;
    DownPicture.Assign(&Picture);
    for (int y = 3; y < 7; ++y) DownPicture.SetPixel(15, y, fcMakePixel(255, 0, 0));
    B->SetImageDown(&DownPicture);
    B->SetGroupIndex(1);
    EXPECT_TRUE(B->HasDistinctDownRegion());
    Form->Show();
    Ui.RunUntilIdle();
    TRegion Pending;
    GetUpdateRgn(Form->Handle(), Pending, false);
    ASSERT_TRUE(Pending.Empty());
    B->SetDown(true);
    GetUpdateRgn(Form->Handle(), Pending, false);
    EXPECT_EQ(Pending, TRegion(TRect(30 + 15, 10 + 3, 30 + 16, 10 + 7))) << "the one column that changed";
    EXPECT_EQ(RegionOf(B), TRegion(TRect(5, 3, 16, 7)));
}

TEST_F(Images, ASystemColourAsTransparentColourIsResolved) {
    TfcBitmap Faced;
    Faced.Assign(&Picture);
    for (int y = 0; y < 10; ++y) Faced.SetPixel(0, y, fcColorToPixel(clBtnFace));
    TfcImageBtn* B = Make();
    B->SetImage(&Faced);
    B->SetTransparentColor(clBtnFace);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_FALSE(RegionOf(B).Contains(0, 5)) << "the face-coloured column is transparent";
    EXPECT_TRUE(RegionOf(B).Contains(1, 5));
}

TEST_F(Images, TheWindowRoutinesInvalidateTreesOverlapsAndBounds) {
    TfcImageBtn* A = Make(10);
    TfcImageBtn* B = Make(25);  // overlaps A from x 25 to 30
    TfcImageBtn* Far = Make(100);
    Form->Show();
    Ui.RunUntilIdle();
    fcInvalidateOverlapping(Form->Handle(), A->Handle());
    TRegion R;
    EXPECT_NE(GetUpdateRgn(B->Handle(), R, false), NULLREGION);
    EXPECT_NE(GetUpdateRgn(A->Handle(), R, false), NULLREGION) << "a window overlaps itself";
    EXPECT_EQ(GetUpdateRgn(Far->Handle(), R, false), NULLREGION);
    Ui.RunUntilIdle();
    fcInvalidateBounds(Far, true);
    GetUpdateRgn(Form->Handle(), R, false);
    EXPECT_EQ(R, TRegion(Far->BoundsRect()));
    Ui.RunUntilIdle();
    fcInvalidateTree(Form->Handle());
    EXPECT_NE(GetUpdateRgn(Far->Handle(), R, false), NULLREGION);
    EXPECT_NE(GetUpdateRgn(Form->Handle(), R, false), NULLREGION);
}

TEST_F(Images, WhatLiesOutsideTheRegionIsRepaintedInTheDialogAndAFacePixelIsTheFaces) {
    TfcImageBtn* B = Make(30);
    Form->Show();
    Ui.RunUntilIdle();
    B->InvalidateOutsideRegion(true);
    TRegion Pending;
    GetUpdateRgn(Form->Handle(), Pending, false);
    EXPECT_EQ(Pending,
              TRegion::Combine(TRegion(TRect(30, 10, 50, 20)), TRegion(TRect(35, 13, 45, 17)), RGN_DIFF));
    Ui.RunUntilIdle();
    // The face as painted: the red block, and the shadow where the picture is transparent.
    EXPECT_EQ(B->GetFacePixel(TPoint(6, 4)), RGB(255, 0, 0));
    EXPECT_EQ(B->GetFacePixel(TPoint(0, 0)), B->ShadeColors()->Shadow());
    EXPECT_EQ(B->GetFacePixel(TPoint(20, 0)), clNone) << "beyond the face";
}

TEST_F(Images, ReleasedPicturesComeBackWithTheWindow) {
    TfcImageBtn* B = Make();
    Form->Show();
    Ui.RunUntilIdle();
    B->SetShadeStyle(fbsHighlight);  // a new window
    Ui.RunUntilIdle();
    EXPECT_EQ(B->Image()->Width(), 20);
    EXPECT_FALSE(B->Image()->HasSavedPixels());
    EXPECT_EQ(B->Image()->Pixel(6, 4), fcMakePixel(255, 0, 0));
    B->BakeFaceImages();
    EXPECT_FALSE(B->ImageDown()->Empty()) << "the bevelled looks became pictures";
    EXPECT_NE(B->Image()->Pixel(5, 3), fcMakePixel(255, 0, 0)) << "the bevel's light corner";
}

}  // namespace
