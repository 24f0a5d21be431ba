// Forms like the program's, read from our form format and drawn headless:
// each gradient panel shows the bands of its two colours, with the start
// colour at the edge the program's forms rely on, a one-pixel raised bevel,
// and the controls it hosts on top. Written back, the forms read the same.
#include <gtest/gtest.h>

#include <string>

#include "GradientTestSupport.h"
#include "gradient/TeeDraw3D.h"
#include "platform/classes/Filer.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/Display.h"

using namespace gradient_test;

namespace {

const TColor Highlight = clBtnHighlight, Shadow = clBtnShadow;

// Our gradient panel holding a transparent label and a button, as the program's forms host theirs.
std::string Panel(const char* Name, const char* Align, int Top, int Height, const char* Direction) {
    std::string S = std::string("  object ") + Name +
                    ": TDraw3D\n    Left = 0\n    Top = " + std::to_string(Top) +
                    "\n    Width = 320\n    Height = " + std::to_string(Height) + "\n    Align = " + Align +
                    "\n    BufferedDisplay = True\n";
    if (Direction) S += std::string("    Gradient.Direction = ") + Direction + "\n";
    S += "    Gradient.EndColor = 12639424\n    Gradient.StartColor = 16744576\n    Gradient.Visible = True\n"
         "    object " +
         std::string(Name) +
         "Label: TLabel\n      Left = 40\n      Top = 20\n"
         "      Caption = 'Calculando los tipos'\n      Font.Name = 'Arial'\n      Font.Height = -13\n"
         "      Transparent = True\n    end\n"
         "    object " +
         std::string(Name) +
         "Button: TButton\n      Left = 200\n      Top = 40\n"
         "      Width = 75\n      Height = 25\n      Caption = 'Aceptar'\n      TabOrder = 0\n    end\n"
         "  end\n";
    return S;
}

// Like the wait window: one panel over the whole form.
std::string WaitWindow(int Height) {
    return "object EsperaForm: TForm\n  Left = 100\n  Top = 50\n  Width = 320\n  Height = " +
           std::to_string(Height) + "\n  BorderStyle = bsNone\n  Caption = 'Espere'\n" +
           Panel("Draw3D1", "alClient", 0, Height, nullptr) + "end\n";
}

// Like the students screen: a strip at the top and one at the bottom.
std::string StudentsScreen(int Strip) {
    int Height = 2 * Strip + 40;
    return "object AlumnosForm: TForm\n  Left = 100\n  Top = 50\n  Width = 320\n  Height = " +
           std::to_string(Height) + "\n  BorderStyle = bsNone\n  Caption = 'Alumnos'\n" +
           Panel("Arriba", "alTop", 0, Strip, nullptr) +
           Panel("Abajo", "alBottom", Height - Strip, Strip, "gdBottomTop") + "end\n";
}

// Every pixel of the panel's left margin (where it hosts nothing): its bevel
// at the edges and its gradient inside.
void ExpectPanelPixels(const TSurface& S, TControl* Panel, bool StartAtBottom) {
    int X0 = Panel->Left(), Y0 = Panel->Top(), W = Panel->Width(), H = Panel->Height();
    for (int Y = 0; Y < H; ++Y)
        for (int X : {0, 1, 2, 17, 38, W - 2, W - 1}) {
            uint32_t Expected = BevelPixel(X, Y, W, H, Highlight, Shadow);
            if (Expected == 0xFFFFFFFFu) Expected = RowPixel(Y, H, ProgramStart, ProgramEnd, StartAtBottom);
            ASSERT_EQ(S.GetPixel(X0 + X, Y0 + Y), Expected)
                << Panel->Name() << " of height " << H << " at " << X << ", " << Y;
        }
}

// The label's text over the gradient: its pixels are the text colour or
// the gradient of their row, and there is some text.
void ExpectTransparentLabel(const TSurface& S, TControl* Panel, TControl* Label, bool StartAtBottom) {
    int H = Panel->Height(), Text = 0;
    TColorRef Ink = ColorToRGB(Label->Font()->Color());
    for (int Y = Label->Top(); Y < std::min(Label->Top() + Label->Height(), H - 1); ++Y)
        for (int X = Label->Left(); X < Label->Left() + Label->Width(); ++X) {
            uint32_t P = S.GetPixel(Panel->Left() + X, Panel->Top() + Y);
            if (P == ColorRefToPixel(Ink)) {
                ++Text;
                continue;
            }
            ASSERT_EQ(P, RowPixel(Y, H, ProgramStart, ProgramEnd, StartAtBottom))
                << "behind the label at " << X << ", " << Y;
        }
    EXPECT_GT(Text, 20) << "the label's text is drawn";
}

class GradientPanelForms : public GradientForms {};

TEST_F(GradientPanelForms, AWaitWindowShowsItsBandsItsBevelAndItsControlsForEveryHeight) {
    for (int Height : {1, 2, 100, 255, 256, 257, 300}) {
        TForm* F = FormFromText(WaitWindow(Height));
        auto* P = dynamic_cast<TDraw3D*>(F->FindComponent("Draw3D1"));
        ASSERT_NE(P, nullptr);
        F->Show();
        Ui.RunUntilIdle();
        const TSurface& S = Ui.Picture(F);
        ASSERT_EQ(P->Height(), Height);
        ExpectPanelPixels(S, P, true);
        if (Height >= 100) {
            ExpectTransparentLabel(S, P, Ui.Find(F, "Draw3D1Label"), true);
            TControl* B = Ui.Find(F, "Draw3D1Button");
            EXPECT_EQ(S.GetPixel(B->Left() + 3, B->Top() + 3), ColorRefToPixel(GetSysColor(COLOR_BTNFACE)))
                << "the button is drawn over the panel";
        }
        F->Free();
    }
}

TEST_F(GradientPanelForms, TheStudentsScreensLowerStripRunsTheOtherWay) {
    for (int Strip : {1, 2, 100, 255, 256, 257, 300}) {
        TForm* F = FormFromText(StudentsScreen(Strip));
        F->Show();
        Ui.RunUntilIdle();
        const TSurface& S = Ui.Picture(F);
        TControl* Top = Ui.Find(F, "Arriba");
        TControl* Bottom = Ui.Find(F, "Abajo");
        ASSERT_EQ(Bottom->Top(), Strip + 40);
        ExpectPanelPixels(S, Top, true);
        ExpectPanelPixels(S, Bottom, false);
        if (Strip >= 100) ExpectTransparentLabel(S, Bottom, Ui.Find(F, "AbajoLabel"), false);
        F->Free();
    }
}

// The program's forms rely on these edges: gdTopBottom puts the start
// colour at the bottom, gdLeftRight at the right.
TEST_F(GradientPanelForms, TheStartColourLiesAtTheBottomAndRightEdges) {
    struct TCase {
        TGradientDirection Direction;
        TPoint StartAt, EndAt;  // the edges of a 300 x 200 panel without bevel
    };
    const TCase Cases[] = {
        {gdTopBottom, {150, 199}, {150, 0}},
        {gdBottomTop, {150, 0}, {150, 199}},
        {gdLeftRight, {299, 100}, {0, 100}},
        {gdRightLeft, {0, 100}, {299, 100}},
    };
    for (const TCase& C : Cases) {
        TForm* F = TForm::CreateNew(Application);
        F->SetBorderStyle(bsNone);
        F->SetBounds(0, 0, 300, 200);
        TDraw3D* P = FillWithGradient(F, clRed, clBlue, C.Direction);
        P->SetBevelOuter(bvNone);
        F->Show();
        Ui.RunUntilIdle();
        const TSurface& S = Ui.Picture(F);
        EXPECT_EQ(S.GetPixel(C.StartAt.x, C.StartAt.y), 0xFF0000u) << int(C.Direction);
        EXPECT_EQ(S.GetPixel(C.EndAt.x, C.EndAt.y), 0x0000FFu) << int(C.Direction);
        F->Free();
    }
}

TEST_F(GradientPanelForms, AFormWrittenBackReadsTheSame) {
    TForm* F = FormFromText(StudentsScreen(60));
    auto* Top = dynamic_cast<TDraw3D*>(F->FindComponent("Arriba"));
    auto* Bottom = dynamic_cast<TDraw3D*>(F->FindComponent("Abajo"));
    ASSERT_TRUE(Top && Bottom);
    EXPECT_TRUE(Top->BufferedDisplay());
    EXPECT_EQ(Bottom->Gradient()->Direction(), gdBottomTop);
    EXPECT_EQ(Bottom->Gradient()->StartColor(), ProgramStart);
    EXPECT_EQ(Bottom->Gradient()->EndColor(), ProgramEnd);
    AnsiString Text = WriteComponentToText(F);
    EXPECT_NE(Text.find("BufferedDisplay = True"), AnsiString::npos)
        << "written though it is the value of a new panel";
    EXPECT_EQ(Text.find("PrintMargins"), AnsiString::npos) << "margins of 15 are not written";
    for (const char* Left : {"AllowZoom", "AnimatedZoom", "Zoom.", "MarginLeft"})
        EXPECT_EQ(Text.find(Left), AnsiString::npos) << Left << " in\n" << Text;
    AnsiString Strip = Text.substr(Text.find("object Arriba:"),
                                   Text.find("object ArribaLabel") - Text.find("object Arriba:"));
    EXPECT_EQ(Strip.find("\n    Color ="), AnsiString::npos)
        << "the panel's button-face colour is its default";
    F->Free();
    TForm* Back = FormFromText(Text);
    EXPECT_EQ(WriteComponentToText(Back), Text);
    auto* Again = dynamic_cast<TDraw3D*>(Back->FindComponent("Abajo"));
    EXPECT_EQ(Again->Gradient()->Direction(), gdBottomTop);
    EXPECT_EQ(Again->Align(), alBottom);
    Back->Free();
}

TEST_F(GradientPanelForms, PrintMarginsAreWrittenOnlyWhenOneDiffersFromFifteenAndReadAsFourIntegers) {
    TForm* F = FormFromText(WaitWindow(100));
    auto* P = dynamic_cast<TDraw3D*>(F->FindComponent("Draw3D1"));
    P->SetPrintMargins(TRect(10, 15, 15, 15));
    AnsiString Text = WriteComponentToText(F);
    EXPECT_NE(Text.find("PrintMargins = (10 15 15 15)"), AnsiString::npos) << Text;
    F->Free();
    TForm* Back = FormFromText(Text);
    EXPECT_EQ(dynamic_cast<TDraw3D*>(Back->FindComponent("Draw3D1"))->PrintMargins(), TRect(10, 15, 15, 15));
    Back->Free();

    auto WithMargins = [](const char* Value) {
        std::string T = WaitWindow(100);
        return T.insert(T.find("    BufferedDisplay"), std::string("    PrintMargins = ") + Value + "\n");
    };
    TForm* Four = FormFromText(WithMargins("(1 2 3 4)"));
    EXPECT_EQ(dynamic_cast<TDraw3D*>(Four->FindComponent("Draw3D1"))->PrintMargins(), TRect(1, 2, 3, 4));
    Four->Free();
    for (const char* Bad : {"(1 2 3)", "(1 2 3 4 5)", "(1 2 'x' 4)", "5"})
        EXPECT_THROW(FormFromText(WithMargins(Bad)), EReadError) << Bad;
}

TEST_F(GradientPanelForms, OlderFormsZoomNamesAreReadIntoZoomAndNeverWritten) {
    std::string T = WaitWindow(100);
    T.insert(T.find("    BufferedDisplay"),
             "    AllowZoom = False\n    AnimatedZoom = True\n    AnimatedZoomSteps = 3\n");
    TForm* F = FormFromText(T);
    auto* P = dynamic_cast<TDraw3D*>(F->FindComponent("Draw3D1"));
    EXPECT_FALSE(P->Zoom()->Allow);
    EXPECT_TRUE(P->Zoom()->Animated);
    EXPECT_EQ(P->Zoom()->AnimatedSteps, 3);
    EXPECT_FALSE(P->AllowZoom());
    AnsiString Text = WriteComponentToText(F);
    EXPECT_EQ(Text.find("Zoom"), AnsiString::npos) << Text;
    F->Free();
}

}  // namespace
