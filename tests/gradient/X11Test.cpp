// A form like the main window, on a real X server: the gradient panel with
// its buttons and labels shows the formula's colours in its first and last
// rows as the server itself has them.
#include <gtest/gtest.h>

#include "GradientTestSupport.h"
#include "gradient/TeeDraw3D.h"
#include "platform/backend/Backend.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/Surface.h"
#include "platform/win/MessageQueue.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ui/ScreenTest.h"
#include "tests/support/ui/X11Peer.h"

using namespace gradient_test;

namespace {

const char MainWindow[] =
    "object ControlaForm: TForm\n  Left = 0\n  Top = 0\n  Width = 480\n  Height = 200\n"
    "  BorderStyle = bsSingle\n  Caption = 'Zelmor'\n"
    "  object Draw3D1: TDraw3D\n    Left = 0\n    Top = 0\n    Width = 472\n    Height = 173\n"
    "    Align = alClient\n    BufferedDisplay = True\n    Gradient.EndColor = 12639424\n"
    "    Gradient.StartColor = 16744576\n    Gradient.Visible = True\n"
    "    object Label1: TLabel\n      Left = 120\n      Top = 20\n      Caption = 'Bienvenido'\n"
    "      Transparent = True\n    end\n"
    "    object Label2: TLabel\n      Left = 120\n      Top = 40\n      Caption = 'Paso 1'\n"
    "      Transparent = True\n    end\n"
    "    object BAnterior: TButton\n      Left = 120\n      Top = 120\n      Width = 90\n      Height = 25\n"
    "      Caption = '&Anterior'\n      TabOrder = 0\n    end\n"
    "    object BSiguiente: TButton\n      Left = 220\n      Top = 120\n      Width = 90\n      Height = 25\n"
    "      Caption = '&Siguiente'\n      TabOrder = 1\n    end\n"
    "  end\nend\n";

using GradientX11 = X11ScreenTest;

TEST_F(GradientX11, AMainWindowShowsTheFormulaColoursOnTheScreen) {
    TDisplay& Xd = X();
    InitGradientPanel();
    struct TDone {
        ~TDone() { DoneGradientPanel(); }
    } Done;
    {
        TForm* F = TForm::CreateNew(Application);
        ReadComponentFromText(F, MainWindow);
        F->Show();
        Application->ProcessMessages();
        UpdateWindow(F->Handle());
        TControl* P =
            F->FindComponent("Draw3D1") ? dynamic_cast<TControl*>(F->FindComponent("Draw3D1")) : nullptr;
        ASSERT_NE(P, nullptr);
        int H = P->Height();
        for (int Y : {1, H - 2})
            for (int Xp : {1, 60, P->Width() - 2}) {
                uint32_t Pixel = 0;
                // The X window is the form's client area; its frame is the server's.
                ASSERT_TRUE(X11ReadBack(Xd, F->Handle(), Xp, Y, Pixel));
                EXPECT_EQ(Pixel, RowPixel(Y, H, ProgramStart, ProgramEnd, true)) << Xp << ", " << Y;
            }
        F->Free();
    }
}

// Another X program asks for the clipboard after the panel was copied as a
// bitmap: it is offered as a PNG image that holds the panel's picture.
TEST_F(GradientX11, ACopiedPanelReachesOtherProgramsAsAPngImage) {
    InitGradientPanel();
    struct TDone {
        ~TDone() { DoneGradientPanel(); }
    } Done;
    TForm* F = TForm::CreateNew(Application);
    F->SetBorderStyle(bsNone);
    F->SetBounds(0, 0, 200, 120);
    FillWithGradient(F, ProgramStart, ProgramEnd)->CopyToClipboardBitmap();
    TX11Peer Other(ServerName());
    ASSERT_TRUE(Other.Connected());
    auto Pump = [] { CurrentDisplay().Poll(); };
    std::string Type;
    std::vector<std::string> Offered = Other.AtomNames(Other.Request("TARGETS", Type, Pump));
    EXPECT_NE(std::find(Offered.begin(), Offered.end(), "image/png"), Offered.end());
    std::string Png = Other.Request("image/png", Type, Pump);
    EXPECT_EQ(Type, "image/png");
    TSurface Got =
        DecodePng(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Png.data()), Png.size()));
    ASSERT_EQ(Got.Width(), 200);
    ASSERT_EQ(Got.Height(), 120);
    for (int Y = 1; Y < 119; Y += 9)
        EXPECT_EQ(Got.GetPixel(100, Y) & 0xFFFFFF, RowPixel(Y, 120, ProgramStart, ProgramEnd, true)) << Y;
    F->Free();
}

}  // namespace
