// The panel drawn for output: on the printer within its margins, at a
// print resolution, into metafiles and bitmap files, onto the clipboard.
// Whatever happens while it draws, the panel is left as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "GradientTestSupport.h"
#include "gradient/TeeDraw3D.h"
#include "platform/gfx/Clipbrd.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Printers.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Paths.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ReferencePicture.h"

using namespace gradient_test;

namespace {

class GradientOutput : public GradientForms {
protected:
    // A 400 x 250 panel on a frameless form: red at the bottom, blue at the top.
    TDraw3D* NewPanel() {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 250);
        TDraw3D* P = FillWithGradient(Form, clRed, clBlue);
        P->SetName("Grafico");
        return P;
    }
    std::filesystem::path TempFile(const char* Name) {
        auto Path =
            std::filesystem::temp_directory_path() / ("zelmor-gradient-" + std::to_string(getpid()) + Name);
        Files.push_back(Path);
        return Path;
    }
    ~GradientOutput() override {
        for (const auto& F : Files) std::filesystem::remove(F);
    }
    TForm* Form = nullptr;
    std::vector<std::filesystem::path> Files;
};

// Everything an output operation must give back.
struct TPanelState {
    explicit TPanelState(TDraw3D* P)
        : Buffered(P->BufferedDisplay()), Printing(P->IsPrinting()), Metafiling(P->Canvas3D()->Metafiling()),
          Surface(P->Canvas3D()->ReferenceCanvas()) {}
    bool operator==(const TPanelState&) const = default;
    bool Buffered, Printing, Metafiling;
    const TCanvas* Surface;
};

TEST_F(GradientOutput, APrintedPanelKeepsItsProportionsWithinThePageMargins) {
    auto Owned = std::make_unique<TRecordingPrinter>(600);
    TRecordingPrinter* Rec = Owned.get();
    Rec->SetPaperSize(2032, 2794);  // 4800 x 6600 dots
    TPrinterOverride Use(std::move(Owned));
    TDraw3D* P = NewPanel();
    P->SetColor(clLime);
    ASSERT_EQ(TPoint(Rec->PageWidth(), Rec->PageHeight()), TPoint(4800, 6600));
    EXPECT_EQ(P->CalcProportionalMargins(), TRect(15, 36, 15, 36));
    EXPECT_EQ(P->ChartPrintRect(), TRect(720, 2376, 4080, 4224));
    EXPECT_EQ(P->PrintMargins(), TRect(15, 36, 15, 36)) << "a proportional print keeps its margins";
    P->Print();
    ASSERT_EQ(Rec->Documents().size(), 1u);
    EXPECT_EQ(Rec->Documents()[0].Title, "Grafico");
    const TSurface& Page = Rec->Documents()[0].Pages.at(0);
    // The panel's 250 rows are 7.4 dots each, its 400 columns 8.4: its first
    // and last bands lie just inside the page rectangle, without bevels.
    EXPECT_EQ(Page.GetPixel(1000, 4216), 0xFF0000u);
    EXPECT_EQ(Page.GetPixel(3000, 2376), 0x0000FFu);
    EXPECT_EQ(Page.GetPixel(730, 3300) & 0xFF00, 0u) << "no highlight at the panel's left";
    for (TPoint Outside : {TPoint(700, 3300), TPoint(4100, 3300), TPoint(2400, 2360), TPoint(2400, 4240)})
        EXPECT_EQ(Page.GetPixel(Outside.x, Outside.y), 0xFFFFFFu) << Outside.x << ", " << Outside.y;

    // A tall panel keeps 15 at the top and bottom.
    P->SetAlign(alNone);
    P->SetBounds(0, 0, 200, 400);
    TRect M = P->CalcProportionalMargins();
    EXPECT_EQ(TPoint(M.Top, M.Bottom), TPoint(15, 15));
    EXPECT_EQ(M.Left, static_cast<int>(std::nearbyint((4800 - 0.6 * 6600 * 0.5) * 100 / 4800)) / 2);
}

TEST_F(GradientOutput, WhilePrintingTheSolidBackgroundAndTheBevelsAreLeftOutUnlessAskedFor) {
    TDraw3D* P = NewPanel();
    P->Gradient()->SetVisible(false);
    P->SetColor(clLime);
    int Painted = 0;
    P->OnPaint = [&](TObject*, const TRect&) {
        ++Painted;
        if (!P->IsPrinting()) return;
        // The window is painted meanwhile: nothing is drawn into it.
        InvalidateRect(P->Handle(), nullptr, false);
        UpdateWindow(P->Handle());
    };
    Form->Show();
    Ui.RunUntilIdle();
    Painted = 0;
    TBitmap Sheet(400, 250);
    P->PrintPartialCanvas(Sheet.Canvas(), TRect(0, 0, 400, 250));
    EXPECT_EQ(Painted, 1) << "only the print drew";
    EXPECT_EQ(Sheet.Surface().GetPixel(200, 100), 0xFFFFFFu);
    EXPECT_EQ(Sheet.Surface().GetPixel(0, 0), 0xFFFFFFu);
    PrintTeePanel = true;
    P->PrintPartialCanvas(Sheet.Canvas(), TRect(0, 0, 400, 250));
    PrintTeePanel = false;
    EXPECT_EQ(Sheet.Surface().GetPixel(200, 100), 0x00FF00u);
    EXPECT_EQ(Sheet.Surface().GetPixel(399, 100), ColorRefToPixel(GetSysColor(COLOR_BTNSHADOW)));
}

// A print resolution of 100 or more leaves the panel no size to draw at,
// and an empty target has no room: both print nothing.
TEST_F(GradientOutput, ThePrintResolutionScalesWhatThePanelDrawsAndAt100OrMoreNothingIsPrinted) {
    struct TCase {
        int Resolution;
        TRect Target;
        int LowWidth, HighWidth;  // of a 20-pixel red square, on the sheet; 0: nothing printed
    };
    const TCase Cases[] = {
        {0, {0, 0, 800, 500}, 40, 40},    {50, {0, 0, 800, 500}, 80, 80}, {-50, {0, 0, 800, 500}, 26, 27},
        {99, {0, 0, 800, 500}, 800, 800}, {100, {0, 0, 800, 500}, 0, 0},  {150, {0, 0, 800, 500}, 0, 0},
        {0, {100, 100, 100, 400}, 0, 0},  {0, {800, 500, 0, 0}, 40, 40},  // reversed corners are ordered
    };
    for (const TCase& C : Cases) {
        TDraw3D* P = NewPanel();
        P->SetPrintResolution(C.Resolution);
        P->OnPaint = [P](TObject*, const TRect&) {
            P->Canvas3D()->Brush()->SetColor(clLime);
            P->Canvas3D()->FillRect(TRect(0, 0, 20, 20));
        };
        TBitmap Sheet(800, 500);
        TPanelState Before(P);
        P->PrintPartialCanvas(Sheet.Canvas(), C.Target);
        EXPECT_EQ(TPanelState(P), Before);
        EXPECT_EQ(Sheet.Canvas()->GetMapMode(), MM_TEXT);
        int Width = 0;
        while (Width < 800 && Sheet.Surface().GetPixel(Width, 0) == 0x00FF00u) ++Width;
        EXPECT_GE(Width, C.LowWidth) << "resolution " << C.Resolution;
        EXPECT_LE(Width, C.HighWidth) << "resolution " << C.Resolution;
        if (C.LowWidth == 0) {
            EXPECT_EQ(Sheet.Surface().GetPixel(400, 250), 0xFFFFFFu) << C.Resolution;
        }
        Form->Free();
    }
}

TEST_F(GradientOutput, ThePrinterGetsItsOrientationBackAlsoWhenPrintingFails) {
    auto Owned = std::make_unique<TRecordingPrinter>(40);
    TRecordingPrinter* Rec = Owned.get();
    TPrinterOverride Use(std::move(Owned));
    TDraw3D* P = NewPanel();
    P->PrintLandscape();
    EXPECT_EQ(Rec->Orientation(), poPortrait);
    ASSERT_EQ(Rec->Documents().size(), 1u);
    EXPECT_GT(Rec->Documents()[0].Pages[0].Width(), Rec->Documents()[0].Pages[0].Height());
    P->OnPaint = [](TObject*, const TRect&) { throw Exception("the drawing failed"); };
    TPanelState Before(P);
    EXPECT_THROW(P->PrintOrientation(poLandscape), Exception);
    EXPECT_EQ(Rec->Orientation(), poPortrait);
    EXPECT_FALSE(Rec->Printing());
    EXPECT_EQ(Rec->Documents().size(), 1u) << "the failed job was dropped";
    EXPECT_EQ(TPanelState(P), Before);
}

// Making the bitmap used to keep the panel unbuffered and lose the bitmap
// when the drawing failed; every output now gives the panel back as it was.
TEST_F(GradientOutput, AFailedDrawingLeavesThePanelAsItWas) {
    TDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    P->OnPaint = [](TObject*, const TRect&) { throw Exception("the drawing failed"); };
    TPanelState Before(P);
    EXPECT_THROW(delete P->TeeCreateBitmap(clWhite, TRect(0, 0, 400, 250)), Exception);
    EXPECT_EQ(TPanelState(P), Before);
    TBitmap Sheet(400, 250);
    EXPECT_THROW(P->DrawToMetaCanvas(Sheet.Canvas(), TRect(0, 0, 400, 250)), Exception);
    EXPECT_EQ(TPanelState(P), Before);
    EXPECT_THROW(delete P->TeeCreateMetafile(true, TRect(0, 0, 400, 250)), Exception);
    EXPECT_EQ(TPanelState(P), Before);
    EXPECT_THROW(P->PrintPartialCanvas(Sheet.Canvas(), TRect(0, 0, 400, 250)), Exception);
    EXPECT_EQ(TPanelState(P), Before);
    EXPECT_EQ(Sheet.Canvas()->GetMapMode(), MM_TEXT);
    // The window still paints.
    P->OnPaint = nullptr;
    P->Invalidate();
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.Picture(Form).GetPixel(200, 248), RowPixel(248, 250, clRed, clBlue, true));
}

TEST_F(GradientOutput, ABitmapFileHoldsExactlyTheClientArea) {
    TDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    auto Path = TempFile(".bmp");
    P->SaveToBitmapFile(FromUtf8(Path.string()));
    TBitmap Back;
    Back.LoadFromFile(FromUtf8(Path.string()));
    EXPECT_EQ(TPoint(Back.Width(), Back.Height()), TPoint(400, 250));
    const TSurface& Shown = Ui.Picture(Form);
    for (int Y = 0; Y < 250; Y += 7)
        for (int X = 0; X < 400; X += 13) ASSERT_EQ(Back.Surface().GetPixel(X, Y), Shown.GetPixel(X, Y));
    EXPECT_TRUE(P->BufferedDisplay());
}

TEST_F(GradientOutput, AMetafileReadBackDrawsTheSamePixelsAndOtherProgramsKnowItsFormat) {
    TDraw3D* P = NewPanel();
    std::unique_ptr<TMetafile> Tiny(P->TeeCreateMetafile(true, TRect(0, 0, 1, 1)));
    EXPECT_EQ(TPoint(Tiny->Width(), Tiny->Height()), TPoint(1, 1));
    for (bool Enhanced : {true, false}) {
        std::unique_ptr<TMetafile> M(P->TeeCreateMetafile(Enhanced, TRect(0, 0, 400, 250)));
        EXPECT_EQ(TPoint(M->Width(), M->Height()), TPoint(399, 249));
        auto Path = TempFile(Enhanced ? ".emf" : ".wmf");
        P->SaveToMetafileRect(Enhanced, FromUtf8(Path.string()), TRect(0, 0, 400, 250));
        TMetafile Back;
        Back.LoadFromFile(FromUtf8(Path.string()));
        EXPECT_EQ(Back.Enhanced(), Enhanced);
        TBitmap A(399, 249), B(399, 249);
        A.Canvas()->Draw(0, 0, M.get());
        B.Canvas()->Draw(0, 0, &Back);
        EXPECT_TRUE(SamePicture(A.Surface(), B.Surface()));
        EXPECT_EQ(A.Surface().GetPixel(200, 247), RowPixel(247, 250, clRed, clBlue, true));
        EXPECT_EQ(A.Surface().GetPixel(200, 1), RowPixel(1, 250, clRed, clBlue, true));

        std::string Out;
        ZELMOR_NEED_TOOL(RunCommand("file --version", Out) == 0, "file");
        ASSERT_EQ(RunCommand("file -b " + Path.string(), Out), 0);
        EXPECT_NE(Out.find(Enhanced ? "Enhanced Metafile" : "metafile"), std::string::npos) << Out;
    }
    TMetafile Blank;
    EXPECT_EQ(Blank.EnhancedBytes().size(), 0u);
    std::ofstream(TempFile(".txt")) << "not a picture";
    EXPECT_THROW(Blank.LoadFromFile(FromUtf8(Files.back().string())), EInvalidGraphic);
    P->SaveToMetafile(FromUtf8(TempFile(".wmf").string()));
    P->SaveToMetafileEnh(FromUtf8(TempFile(".emf").string()));
    EXPECT_TRUE(P->BufferedDisplay());
    EXPECT_FALSE(P->Canvas3D()->Metafiling());
}

TEST_F(GradientOutput, ABitmapAndAMetafileReachTheClipboard) {
    TDraw3D* P = NewPanel();
    P->CopyToClipboardBitmap();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TBitmap Pasted;
    Pasted.Assign(Clipboard());
    EXPECT_EQ(TPoint(Pasted.Width(), Pasted.Height()), TPoint(400, 250));
    EXPECT_EQ(Pasted.Surface().GetPixel(200, 247), RowPixel(247, 250, clRed, clBlue, true));

    P->CopyToClipboardMetafile(true, TRect(0, 0, 101, 51));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP)) << "the clipboard holds one picture";
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_METAFILEPICT));
    TMetafile Picture;
    Picture.Assign(Clipboard());
    EXPECT_EQ(TPoint(Picture.Width(), Picture.Height()), TPoint(100, 50));
    EXPECT_TRUE(Picture.Enhanced());

    // The classic format alone, as another program might leave it.
    std::vector<uint8_t> Classic;
    ASSERT_TRUE(ClipboardStore().Get(CF_METAFILEPICT, Classic));
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, Classic.size());
    std::copy(Classic.begin(), Classic.end(), static_cast<uint8_t*>(GlobalLock(Mem)));
    GlobalUnlock(Mem);
    SetClipboardData(CF_METAFILEPICT, Mem);
    CloseClipboard();
    TMetafile FromClassic;
    FromClassic.Assign(Clipboard());
    EXPECT_FALSE(FromClassic.Enhanced());
    EXPECT_EQ(TPoint(FromClassic.Width(), FromClassic.Height()), TPoint(100, 50));
}

}  // namespace
