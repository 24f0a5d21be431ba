// Metafiles, pictures on the clipboard, PNG bytes and the printer's paper:
// the picture a metafile keeps survives both file formats, a damaged file
// is refused whole, and the clipboard hands back what was put on it.
#include <gtest/gtest.h>

#include <vector>

#include "GfxTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/Clipbrd.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Streams.h"
#include "platform/sys/Clipboard.h"
#include "tests/support/ReferencePicture.h"

namespace {

// A metafile of W x H with a few coloured shapes drawn through its canvas.
std::unique_ptr<TMetafile> Drawing(int W, int H, bool Enhanced) {
    auto M = std::make_unique<TMetafile>();
    M->SetWidth(W);
    M->SetHeight(H);
    M->SetEnhanced(Enhanced);
    TMetafileCanvas C(M.get(), nullptr);
    C.Brush()->SetColor(clTeal);
    C.FillRect(TRect(0, 0, W / 2, H));
    C.Pen()->SetColor(clRed);
    C.MoveTo(0, 0);
    C.LineTo(W, H);
    C.SetPixel(W - 1, 0, clYellow);
    return M;
}

std::vector<uint8_t> FileOf(const TMetafile& M) {
    TStringStream S;
    M.SaveToStream(S);
    return std::vector<uint8_t>(S.DataString().begin(), S.DataString().end());
}

TEST(Metafile, APictureDrawnThroughItsCanvasSurvivesBothFileFormats) {
    for (bool Enhanced : {true, false}) {
        auto M = Drawing(37, 21, Enhanced);  // an odd width: the rows are padded
        EXPECT_FALSE(M->Empty());
        EXPECT_EQ(M->Picture().GetPixel(36, 0), 0xFFFF00u);
        EXPECT_EQ(M->Picture().GetPixel(3, 10), 0x008080u);
        std::vector<uint8_t> Bytes = FileOf(*M);
        TMetafile Back;
        Back.LoadFromBytes(Bytes);
        EXPECT_EQ(Back.Enhanced(), Enhanced);
        EXPECT_EQ(TPoint(Back.Width(), Back.Height()), TPoint(37, 21));
        EXPECT_TRUE(SamePicture(Back.Picture(), M->Picture()));
        if (Enhanced) {
            EXPECT_EQ(Bytes[0], 1);
            EXPECT_EQ(std::string(Bytes.begin() + 40, Bytes.begin() + 44), " EMF");
        } else {
            EXPECT_EQ(std::vector<uint8_t>(Bytes.begin(), Bytes.begin() + 4),
                      (std::vector<uint8_t>{0xD7, 0xCD, 0xC6, 0x9A}));
        }
        // It draws like a bitmap, stretched where asked.
        TBitmap Twice(74, 42);
        Twice.Canvas()->StretchDraw(TRect(0, 0, 74, 42), &Back);
        EXPECT_EQ(Twice.Surface().GetPixel(73, 0), 0xFFFF00u);
        EXPECT_EQ(Twice.Surface().GetPixel(72, 1), 0xFFFF00u);
    }
    // The classic file without its placeable header, as the clipboard keeps it.
    auto M = Drawing(10, 8, false);
    TMetafile Bare;
    Bare.LoadFromBytes(M->ClassicBytes());
    EXPECT_TRUE(SamePicture(Bare.Picture(), M->Picture()));
}

TEST(Metafile, EveryCutOrDamagedFileIsRefusedOrReadWhole) {
    for (bool Enhanced : {true, false}) {
        std::vector<uint8_t> Good = FileOf(*Drawing(9, 5, Enhanced));
        for (size_t Length = 0; Length < Good.size(); ++Length) {
            TMetafile M;
            EXPECT_THROW(M.LoadFromBytes(std::span<const uint8_t>(Good).first(Length)), EInvalidGraphic)
                << Length << " of " << Good.size();
        }
        for (size_t At = 0; At < Good.size(); ++At) {
            std::vector<uint8_t> Bad = Good;
            Bad[At] ^= 0x5A;
            TMetafile M;
            try {
                M.LoadFromBytes(Bad);
                EXPECT_EQ(TPoint(M.Width(), M.Height()), TPoint(M.Picture().Width(), M.Picture().Height()));
            } catch (const EInvalidGraphic&) {
            }
        }
    }
    TBitmap Bmp(4, 4);
    TStringStream S;
    Bmp.SaveToStream(S);
    S.Seek(0, soBeginning);
    TMetafile M;
    EXPECT_THROW(M.LoadFromStream(S), EInvalidGraphic) << "a bitmap is no metafile";
    EXPECT_TRUE(M.Empty());
}

TEST(Metafile, AMetafileCanvasIsAtLeastOnePixelAndAPictureStreamsItsMetafile) {
    TMetafile M;
    { TMetafileCanvas C(&M, nullptr); }
    EXPECT_EQ(TPoint(M.Width(), M.Height()), TPoint(1, 1));
    TPicture Picture;
    Picture.SetGraphic(Drawing(6, 4, true).get());
    ASSERT_NE(dynamic_cast<TMetafile*>(Picture.Graphic()), nullptr);
    TPicture Copy;
    Copy.Assign(&Picture);
    EXPECT_TRUE(SamePicture(dynamic_cast<TMetafile*>(Copy.Graphic())->Picture(),
                            dynamic_cast<TMetafile*>(Picture.Graphic())->Picture()));
    TBitmap AsBitmap;
    AsBitmap.Assign(Picture.Graphic());
    EXPECT_EQ(AsBitmap.Surface().GetPixel(0, 3), 0x008080u);
}

TEST(ClipboardPictures, ABitmapAndAMetafileComeBackFromTheClipboard) {
    TBitmap B(5, 3);
    B.Canvas()->SetPixel(4, 2, clRed);
    Clipboard()->Assign(&B);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    std::vector<uint8_t> Stored;
    ASSERT_TRUE(ClipboardStore().Get(CF_BITMAP, Stored));
    EXPECT_EQ(std::string(Stored.begin(), Stored.begin() + 2), "BM") << "a BMP file";
    TBitmap Back;
    Back.Assign(Clipboard());
    EXPECT_EQ(Back.Surface().GetPixel(4, 2), 0xFF0000u);
    TMetafile NoPicture;
    EXPECT_THROW(NoPicture.Assign(Clipboard()), EClipboardException);

    auto M = Drawing(8, 6, true);
    Clipboard()->Assign(M.get());
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    ASSERT_TRUE(ClipboardStore().Get(CF_METAFILEPICT, Stored));
    ASSERT_GE(Stored.size(), 16u);
    EXPECT_EQ(Stored[0], MM_ANISOTROPIC);
    EXPECT_EQ(Stored[4] | (Stored[5] << 8), 212) << "the width in 0.01 mm, 8 pixels at 96 to the inch";
    TPicture Picture;
    Picture.Assign(Clipboard());
    auto* Pasted = dynamic_cast<TMetafile*>(Picture.Graphic());
    ASSERT_NE(Pasted, nullptr);
    EXPECT_TRUE(SamePicture(Pasted->Picture(), M->Picture()));
    Clipboard()->SetAsText("texto");
    EXPECT_EQ(Clipboard()->AsText(), "texto");
    EXPECT_THROW(Back.Assign(Clipboard()), EClipboardException);
}

TEST(PngBytes, ASurfaceGoesThroughPngBytesUnchanged) {
    TSurface S(7, 3);
    S.SetPixel(6, 2, 0x123456);
    std::vector<uint8_t> Png = EncodePng(S);
    ASSERT_GT(Png.size(), 8u);
    EXPECT_EQ(Png[1], 'P');
    TSurface Back = DecodePng(Png);
    EXPECT_EQ(Back.Width(), 7);
    EXPECT_EQ(Back.GetPixel(6, 2), 0x123456u);
    EXPECT_THROW(DecodePng(std::vector<uint8_t>{1, 2, 3}), EInOutError);
}

TEST(Printer, ThePaperSizeMakesThePageAndIsRefusedDuringAJob) {
    TRecordingPrinter P(600);
    EXPECT_EQ(TPoint(P.PaperWidth(), P.PaperHeight()), TPoint(2100, 2970));
    P.SetPaperSize(2032, 2794);
    EXPECT_EQ(TPoint(P.PageWidth(), P.PageHeight()), TPoint(4800, 6600));
    P.SetOrientation(poLandscape);
    EXPECT_EQ(TPoint(P.PageWidth(), P.PageHeight()), TPoint(6600, 4800));
    EXPECT_THROW(P.SetPaperSize(0, 100), EPrinter);
    TRecordingPrinter Small(30);
    Small.BeginDoc();
    EXPECT_THROW(Small.SetPaperSize(100, 100), EPrinter);
    Small.EndDoc();
    EXPECT_EQ(GetDeviceCaps(Small.Canvas(), BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(Small.Canvas(), LOGPIXELSX), 30);
}

}  // namespace
