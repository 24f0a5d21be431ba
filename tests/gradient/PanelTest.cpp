// The buffered panel on a form: when it draws and when it only copies its
// buffer, its geometry, its bevels, its background and back image, the zoom
// rectangle, and the listeners that hear its mouse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GradientTestSupport.h"
#include "gradient/TeeDraw3D.h"
#include "platform/win/Display.h"
#include "tests/support/ReferencePicture.h"

using namespace gradient_test;

namespace {

class TCountingDraw3D : public TDraw3D {
public:
    using TDraw3D::TDraw3D;
    int Draws = 0;
    void InternalDraw(const TRect& UserRect) override {
        ++Draws;
        TDraw3D::InternalDraw(UserRect);
    }
};

class GradientPanel : public GradientForms {
protected:
    // A frameless 300 x 200 form at (0, 0) filled by a gradient panel.
    TCountingDraw3D* NewPanel(int Width = 300, int Height = 200) {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, Width, Height);
        auto* P = FillWithGradient<TCountingDraw3D>(Form, ProgramStart, ProgramEnd);
        P->SetName("Panel");
        return P;
    }
    const TSurface& Shown() { return Ui.Picture(Form); }
    TForm* Form = nullptr;
};

TTeeCanvas3D* CanvasOf(TCustomTeePanel* P) { return dynamic_cast<TTeeCanvas3D*>(P->Canvas3D()); }

TEST_F(GradientPanel, AnUncoveredPanelCopiesItsBufferAndAChangeOrAResizeRedrawsIt) {
    TCountingDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    ASSERT_GE(P->Draws, 1);
    int Drawn = P->Draws;
    EXPECT_EQ(Shown().GetPixel(150, 198), Pixel(ProgramStart));

    // Another window uncovering the panel: the window is painted, nothing is drawn.
    InvalidateRect(P->Handle(), nullptr, true);
    UpdateWindow(P->Handle());
    EXPECT_EQ(P->Draws, Drawn);
    EXPECT_EQ(Shown().GetPixel(150, 198), Pixel(ProgramStart));
    EXPECT_EQ(Shown().GetPixel(150, 1), Pixel(ProgramEnd));

    P->Gradient()->SetStartColor(clRed);
    Ui.RunUntilIdle();
    EXPECT_EQ(P->Draws, Drawn + 1) << "a property change redraws once";
    EXPECT_EQ(Shown().GetPixel(150, 198), RowPixel(198, 200, clRed, ProgramEnd, true));

    TBitmap* Buffer = CanvasOf(P)->BufferBitmap();
    ASSERT_NE(Buffer, nullptr);
    EXPECT_EQ(Buffer->Width(), 300);
    Form->SetBounds(0, 0, 350, 260);
    Ui.RunUntilIdle();
    EXPECT_EQ(P->Draws, Drawn + 2) << "a resize redraws once";
    Buffer = CanvasOf(P)->BufferBitmap();
    EXPECT_EQ(TPoint(Buffer->Width(), Buffer->Height()), TPoint(350, 260));
    EXPECT_EQ(Shown().GetPixel(340, 258), RowPixel(258, 260, clRed, ProgramEnd, true));
    EXPECT_EQ(Shown().GetPixel(349, 100), Pixel(static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW))))
        << "the bevel moved with the edge";

    // Without the buffer every paint draws, straight onto the window.
    P->SetBufferedDisplay(false);
    EXPECT_EQ(CanvasOf(P)->BufferBitmap(), nullptr);
    int Before = P->Draws;
    for (int I = 0; I < 2; ++I) {
        InvalidateRect(P->Handle(), nullptr, true);
        UpdateWindow(P->Handle());
    }
    EXPECT_EQ(P->Draws, Before + 2);
    EXPECT_EQ(Shown().GetPixel(340, 258), RowPixel(258, 260, clRed, ProgramEnd, true));
    EXPECT_EQ(CanvasOf(P)->BufferBitmap(), nullptr);
}

TEST_F(GradientPanel, AWindowShownBeforeALongComputationIsPaintedWithoutAMessageLoop) {
    TCountingDraw3D* P = NewPanel(320, 120);
    Form->Show();
    Form->Update();
    const TSurface* S = WindowSurface(Form->Handle());
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(P->Draws, 1);
    for (int Y = 1; Y < 119; Y += 17)
        EXPECT_EQ(S->GetPixel(160, Y), RowPixel(Y, 120, ProgramStart, ProgramEnd, true));
}

TEST_F(GradientPanel, TheInnerRectangleIsThePanelLessBorderAndMargins) {
    struct TCase {
        int Left, Top, Right, Bottom, Border;
        TRect Inner;
    };
    const TCase Cases[] = {
        {3, 4, 3, 4, 0, {12, 10, 388, 240}},     // the defaults on 400 x 250
        {0, 0, 0, 0, 2, {2, 2, 398, 248}},       // no margins: only the border
        {60, 4, 60, 4, 0, {240, 10, 241, 240}},  // crossing margins: one pixel at the left margin
        {50, 4, 50, 4, 0, {200, 10, 600, 240}},  // touching ones: the control's width from there
        {3, 50, 3, 50, 0, {12, 125, 388, 375}},
    };
    for (const TCase& C : Cases) {
        TCountingDraw3D* P = NewPanel();
        P->SetAlign(alNone);
        P->SetBounds(0, 0, 400, 250);
        P->SetMargin(0, C.Left);
        P->SetMargin(1, C.Top);
        P->SetMargin(2, C.Right);
        P->SetMargin(3, C.Bottom);
        P->SetBorderWidth(C.Border);
        TRect Bounds;
        P->OnPaint = [&](TObject*, const TRect& R) { Bounds = R; };
        TBitmap B(400, 250);
        P->Draw(B.Canvas(), TRect(0, 0, 400, 250));
        EXPECT_EQ(P->InnerRect, C.Inner) << C.Left << " " << C.Top << " " << C.Right << " " << C.Bottom;
        EXPECT_EQ(Bounds, TRect(0, 0, 400, 250));
        EXPECT_EQ(P->InnerWidth, C.Inner.Width());
        EXPECT_EQ(P->InnerXCenter, (C.Inner.Left + C.Inner.Right) / 2);
        Form->Free();
    }
}

TEST_F(GradientPanel, ThePanelBevelsNestAsTheCanvasFramesDo) {
    TCountingDraw3D* P = NewPanel(60, 40);
    P->Gradient()->SetVisible(false);
    P->SetColor(clTeal);
    P->SetBevelWidth(2);
    P->SetBorderWidth(3);
    P->SetBevelInner(bvLowered);
    TBitmap Panel(60, 40);
    P->Draw(Panel.Canvas(), TRect(0, 0, 60, 40));

    TBitmap Expected(60, 40);
    TTeeCanvas3D C;
    C.InitWindow(Expected.Canvas(), nullptr, clWhite, false, TRect(0, 0, 60, 40));
    C.Brush()->SetColor(clTeal);
    C.FillRect(TRect(0, 0, 60, 40));
    C.Frame3D(TRect(0, 0, 60, 40), clBtnHighlight, clBtnShadow, 2);
    C.Frame3D(TRect(2, 2, 58, 38), clTeal, clTeal, 3);
    C.Frame3D(TRect(5, 5, 55, 35), clBtnShadow, clBtnHighlight, 2);
    C.ShowImage(Expected.Canvas(), Expected.Canvas(), TRect(0, 0, 60, 40));
    EXPECT_TRUE(SamePicture(Expected.Surface(), Panel.Surface()));
}

TEST_F(GradientPanel, APanelWithoutGradientOrColourKeepsWhatItsBufferHeld) {
    TCountingDraw3D* P = NewPanel();
    P->Gradient()->SetVisible(false);
    P->SetColor(clRed);
    Form->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(Shown().GetPixel(150, 100), 0xFF0000u);
    P->SetColor(clNone);
    P->SetBevelOuter(bvLowered);
    Ui.RunUntilIdle();
    EXPECT_EQ(Shown().GetPixel(150, 100), 0xFF0000u) << "no background painted";
    EXPECT_EQ(Shown().GetPixel(0, 100), Pixel(static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW))))
        << "but the new bevel";
}

TEST_F(GradientPanel, ABackImageIsTiledFromTheCornerOrCentredOrStretched) {
    struct TCase {
        TTeeBackImageMode Mode;
        int Side;  // of the square image
        std::vector<TPoint> At;
    };
    const TCase Cases[] = {
        {pbmTile, 10, {{0, 0}, {10, 0}, {20, 0}, {0, 10}, {10, 10}, {20, 10}, {0, 20}, {10, 20}, {20, 20}}},
        {pbmCenter, 40, {{-7, -7}}},
        {pbmCenter, 10, {{7, 7}}},
        {pbmTile, 0, {}},
    };
    for (const TCase& C : Cases) {
        TCountingDraw3D* P = NewPanel();
        auto* Recorder = new TRecordingCanvas;
        P->SetInternalCanvas(Recorder);
        TBitmap Image(C.Side, C.Side);
        P->BackImage()->SetGraphic(C.Side ? &Image : nullptr);
        if (!C.Side) P->BackImage()->Bitmap();  // an empty bitmap
        P->SetBackImageMode(C.Mode);
        P->SetBackImageInside(true);  // drawn by the handler below, not by the panel
        P->OnPaint = [P](TObject*, const TRect&) { P->DrawBitmap(TRect(0, 0, 25, 25), 0); };
        TBitmap B(300, 200);
        P->Draw(B.Canvas(), TRect(0, 0, 300, 200));
        EXPECT_EQ(Recorder->Pictures, C.At) << int(C.Mode) << " " << C.Side;
        Form->Free();
    }
    TCountingDraw3D* P = NewPanel();
    auto* Recorder = new TRecordingCanvas;
    P->SetInternalCanvas(Recorder);
    TBitmap Image(10, 10);
    P->BackImage()->SetGraphic(&Image);
    TBitmap B(300, 200);
    P->Draw(B.Canvas(), TRect(0, 0, 300, 200));
    EXPECT_EQ(Recorder->StretchedPictures, (std::vector<TRect>{TRect(0, 0, 300, 200)}))
        << "the panel stretches its back image over itself";
}

// A back image tiled on a wall of the 3D view is clipped to the box's
// outline; what the panel draws after it must not stay clipped to anything
// an earlier clip left behind. A rotated view puts no picture on a wall, and
// a flat one tiles it within the wall's rectangle.
TEST_F(GradientPanel, DrawingAfterATiledBackImageOnAWallIsNotClipped) {
    struct TCase {
        const char* View;
        bool View3D, Orthogonal;
        std::vector<TPoint> Red, NotRed;  // where the wall's picture shows, and where it does not
    };
    const TCase Cases[] = {
        // The wall (40, 60, 120, 140) at depth 50 lies 50 right and 50 up.
        {"oblique", true, true, {{130, 50}, {95, 15}}, {{85, 15}, {175, 50}}},
        {"rotated", true, false, {}, {}},
        // The flat cube's clip: one pixel in at the left, top and bottom.
        {"flat", false, true, {{41, 61}, {119, 138}}, {{40, 100}, {100, 139}, {120, 100}}},
    };
    for (const TCase& C : Cases) {
        TCountingDraw3D* P = NewPanel();
        P->SetView3D(C.View3D);
        P->View3DOptions()->SetOrthogonal(C.Orthogonal);
        TBitmap Image(10, 10);
        Image.Canvas()->Brush()->SetColor(clRed);
        Image.Canvas()->FillRect(TRect(0, 0, 10, 10));
        P->BackImage()->SetGraphic(&Image);
        P->SetBackImageMode(pbmTile);
        P->SetBackImageInside(true);
        P->OnPaint = [P](TObject*, const TRect&) {
            TCanvas* Surface = P->Canvas3D()->ReferenceCanvas();
            // An earlier clip made while the device had one of its own.
            TRegion Window(TRect(0, 0, 100, 100));
            Surface->SelectClipRgn(&Window);
            P->Canvas3D()->ClipRectangle(TRect(0, 0, 50, 50));
            P->Canvas3D()->UnClipRectangle();
            Surface->SelectClipRgn(nullptr);
            P->DrawBitmap(TRect(40, 60, 120, 140), 50);
            P->Canvas3D()->Brush()->SetColor(clLime);
            P->Canvas3D()->FillRect(TRect(200, 150, 260, 190));
        };
        TBitmap B(300, 200);
        P->Draw(B.Canvas(), TRect(0, 0, 300, 200));
        const TSurface& S = B.Surface();
        for (TPoint At : C.Red)
            EXPECT_EQ(S.GetPixel(At.x, At.y), 0xFF0000u) << C.View << " " << At.x << "," << At.y;
        for (TPoint At : C.NotRed)
            EXPECT_NE(S.GetPixel(At.x, At.y), 0xFF0000u) << C.View << " " << At.x << "," << At.y;
        if (C.Red.empty()) {
            int Red = 0;
            for (int Y = 0; Y < 200; ++Y)
                for (int X = 0; X < 300; ++X) Red += S.GetPixel(X, Y) == 0xFF0000u;
            EXPECT_EQ(Red, 0) << C.View;
        }
        EXPECT_EQ(S.GetPixel(230, 170), 0x00FF00u) << C.View << ": drawn after it, outside the box";
        Form->Free();
    }
}

// The zoom rectangle inverts what it covers; drawn again it is gone.
TEST_F(GradientPanel, TheZoomRectangleDrawnTwiceLeavesThePictureAsItWas) {
    TCountingDraw3D* P = NewPanel();
    auto Picture = [&] {
        auto B = std::make_unique<TBitmap>(300, 200);
        P->Draw(B->Canvas(), TRect(0, 0, 300, 200));
        return B;
    };
    auto Plain = Picture();
    P->Zoom()->Activate(20, 30);
    P->Zoom()->EndX = 120;
    P->Zoom()->EndY = 90;
    auto Once = Picture();
    P->OnAfterDraw = [P](TObject*) { P->DrawZoomRectangle(); };
    auto Twice = Picture();
    int Differ = 0;
    for (int Y = 0; Y < 200; ++Y)
        for (int X = 0; X < 300; ++X) {
            ASSERT_EQ(Twice->Surface().GetPixel(X, Y), Plain->Surface().GetPixel(X, Y)) << X << ", " << Y;
            Differ += Once->Surface().GetPixel(X, Y) != Plain->Surface().GetPixel(X, Y);
        }
    EXPECT_EQ(Differ, 2 * 100 + 2 * 58) << "the outline only: the zoom brush is clear";
}

// A buffered panel shows its old picture until something invalidates it:
// a changed system colour and an undone zoom both do.
TEST_F(GradientPanel, ANewSystemColourAndAnUndoneZoomRedrawThePanel) {
    TCountingDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    const uint32_t OldShadow = Pixel(static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW)));
    ASSERT_EQ(Shown().GetPixel(299, 100), OldShadow);
    SetSysColor(COLOR_BTNSHADOW, RGB(200, 0, 0));
    struct TReset {
        ~TReset() { ResetSysColors(); }
    } Reset;
    InvalidateRect(P->Handle(), nullptr, false);
    UpdateWindow(P->Handle());
    EXPECT_EQ(Shown().GetPixel(299, 100), OldShadow) << "uncovered, the buffer is only copied";
    P->Perform(CM_SYSCOLORCHANGE);
    Ui.RunUntilIdle();
    EXPECT_EQ(Shown().GetPixel(299, 100), 0xC80000u) << "the bevel in the new shadow colour";

    int Drawn = P->Draws;
    std::vector<std::string> Log;
    P->IsZoomed = true;
    P->UndoZoomNotify = [&](TObject* Sender) {
        Log.push_back(Sender == P ? "told" : "told by another");
        EXPECT_TRUE(P->IsZoomed) << "the owner hears before the zoom is gone";
    };
    P->UndoZoom();
    EXPECT_FALSE(P->IsZoomed);
    EXPECT_EQ(Log, (std::vector<std::string>{"told"}));
    Ui.RunUntilIdle();
    EXPECT_EQ(P->Draws, Drawn + 1);
}

// --- listeners ---

struct TListener : ITeeEventListener {
    TListener(std::vector<std::string>& Log, std::string Name) : FLog(Log), FName(std::move(Name)) {}
    std::function<void(TTeeEvent*)> Then;
    void HandlePanelEvent(TTeeEvent* Event) override {
        std::string What = "view";
        if (auto* M = dynamic_cast<TTeeMouseEvent*>(Event))
            What = M->Kind == meDown ? "down" : M->Kind == meUp ? "up" : "move";
        FLog.push_back(FName + " " + What);
        if (Then) Then(Event);
    }
    std::vector<std::string>& FLog;
    std::string FName;
};

TEST_F(GradientPanel, ListenersHearTheMouseInOrderUntilOneStopsTheBroadcast) {
    TCountingDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    std::vector<std::string> Log;
    TListener A(Log, "A"), B(Log, "B");
    TPoint Seen;
    A.Then = [&](TTeeEvent* E) {
        auto* M = dynamic_cast<TTeeMouseEvent*>(E);
        EXPECT_EQ(E->SourcePanel, P);
        if (M && M->Kind == meDown) {
            Seen = TPoint(M->PosX, M->PosY);
            P->StopMouseBroadcast = true;
        }
    };
    P->Listeners().Add(&A);
    P->Listeners().Add(&B);
    Ui.Click(P, TPoint(30, 40));
    Ui.RunUntilIdle();
    std::vector<std::string> Clicks;
    for (const std::string& L : Log)
        if (L.find("move") == std::string::npos) Clicks.push_back(L);
    EXPECT_EQ(Clicks, (std::vector<std::string>{"A down", "A up", "B up"}))
        << "B misses the press only: the flag is cleared at the next mouse event";
    EXPECT_EQ(Seen, TPoint(30, 40));
    EXPECT_EQ(P->Listeners().Remove(&A), 0);
    EXPECT_EQ(P->Listeners().Remove(&A), -1);
}

// A listener used to be able to remove listeners while the panel went over
// them by a count read before: the loop then ran past the end of the list.
TEST_F(GradientPanel, ListenersThatLeaveDuringABroadcastAreSafelySkipped) {
    TCountingDraw3D* P = NewPanel();
    std::vector<std::string> Log;
    TListener A(Log, "A"), B(Log, "B"), C(Log, "C"), D(Log, "D");
    A.Then = [&](TTeeEvent*) { P->Listeners().Remove(&A); };  // leaves itself
    B.Then = [&](TTeeEvent*) { P->Listeners().Remove(&C); };  // removes the next one
    for (TListener* L : {&A, &B, &C, &D}) P->Listeners().Add(L);
    P->BroadcastMouseEvent(meDown, mbLeft, {}, 1, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"A down", "B down", "D down"}));
    Log.clear();
    D.Then = [&](TTeeEvent*) {
        P->Listeners().Remove(&B);
        P->Listeners().Remove(&D);
    };
    P->BroadcastMouseEvent(meUp, mbLeft, {}, 1, 1);
    P->BroadcastMouseEvent(meUp, mbLeft, {}, 1, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"B up", "D up"})) << "nobody is left for the second";
    EXPECT_EQ(P->Listeners().Count(), 0);

    // A listener that raises: the broadcast ends, the event is freed, the panel goes on.
    TListener E(Log, "E");
    E.Then = [](TTeeEvent*) { throw Exception("listener failed"); };
    P->Listeners().Add(&E);
    EXPECT_THROW(P->BroadcastMouseEvent(meMove, mbLeft, {}, 1, 1), Exception);
}

TEST_F(GradientPanel, SettingView3DTellsTheListenersEvenWithoutAChange) {
    TCountingDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    std::vector<std::string> Log;
    TListener A(Log, "A");
    P->Listeners().Add(&A);
    ASSERT_FALSE(CanvasOf(P)->BufferDirty());
    P->SetView3D(true);
    EXPECT_FALSE(CanvasOf(P)->BufferDirty()) << "the same value does not invalidate";
    P->SetView3D(false);
    EXPECT_TRUE(CanvasOf(P)->BufferDirty());
    EXPECT_EQ(Log, (std::vector<std::string>{"A view", "A view"}));
}

// --- small operations ---

TEST_F(GradientPanel, The3DPercentIsRefusedOutsideOneToAHundred) {
    TCountingDraw3D* P = NewPanel();
    for (int Bad : {0, 101, -5}) {
        try {
            P->Set3DPercent(Bad);
            ADD_FAILURE() << Bad << " was taken";
        } catch (const Exception& E) {
            EXPECT_STREQ(E.what(), "3D effect percent must be between 1 and 100");
        }
        EXPECT_EQ(P->Chart3DPercent(), 15);
    }
    P->Set3DPercent(1);
    P->Set3DPercent(100);
    EXPECT_EQ(P->Chart3DPercent(), 100);
}

TEST_F(GradientPanel, TheWindowBackgroundIsNotErasedAndArrowKeysAreWanted) {
    TCountingDraw3D* P = NewPanel();
    Form->Show();
    Ui.RunUntilIdle();
    TBitmap Target(300, 200);
    Target.Canvas()->Brush()->SetColor(clRed);
    Target.Canvas()->FillRect(TRect(0, 0, 300, 200));
    EXPECT_EQ(P->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Target.Canvas())), 1);
    EXPECT_EQ(Target.Surface().GetPixel(5, 5), 0xFF0000u);
    TeeEraseBack = true;
    P->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Target.Canvas()));
    TeeEraseBack = false;
    EXPECT_NE(Target.Surface().GetPixel(5, 5), 0xFF0000u);
    EXPECT_TRUE(P->Perform(WM_GETDLGCODE) & DLGC_WANTARROWS);
}

TEST_F(GradientPanel, ACopiedPanelTakesTheDrawingSettingsAndAPictureTakesItsImage) {
    TCountingDraw3D* P = NewPanel();
    P->SetMargin(0, 9);
    P->SetPrintMargins(TRect(1, 2, 3, 4));
    P->SetPrintResolution(-20);
    P->SetMonochrome(true);
    P->Set3DPercent(40);
    P->View3DOptions()->SetZoom(80);
    P->Gradient()->SetDirection(gdFromCenter);
    P->SetBackImageMode(pbmTile);
    P->Zoom()->MinimumPixels = 3;
    P->Zoom()->AnimatedSteps = 5;
    TForm* Other = TForm::CreateNew(Application);
    auto* Q = NewComponent<TDraw3D>(Other);
    Q->Assign(P);
    EXPECT_EQ(Q->MarginLeft(), 9);
    EXPECT_EQ(Q->PrintMargins(), TRect(1, 2, 3, 4));
    EXPECT_EQ(Q->PrintResolution(), -20);
    EXPECT_TRUE(Q->Monochrome());
    EXPECT_EQ(Q->Chart3DPercent(), 40);
    EXPECT_EQ(Q->View3DOptions()->Zoom(), 80);
    EXPECT_EQ(Q->Gradient()->Direction(), gdFromCenter);
    EXPECT_EQ(Q->BackImageMode(), pbmTile);
    EXPECT_EQ(Q->Zoom()->AnimatedSteps, 5);
    EXPECT_EQ(Q->Zoom()->MinimumPixels, 16) << "the zoom's threshold is not copied";
    TPicture Picture;
    P->SetMonochrome(false);
    P->Gradient()->SetDirection(gdTopBottom);
    Picture.Assign(P);
    ASSERT_NE(Picture.Graphic(), nullptr);
    EXPECT_EQ(Picture.Width(), 300);
    EXPECT_EQ(Picture.Bitmap()->Surface().GetPixel(150, 198), Pixel(ProgramStart));
}

TEST_F(GradientPanel, AnotherCanvasTakesOverWithTheSettingsOfTheOld) {
    TCountingDraw3D* P = NewPanel();
    P->SetMonochrome(true);
    P->SetInternalCanvas(nullptr);
    auto* Recorder = new TRecordingCanvas;
    P->SetInternalCanvas(Recorder);
    EXPECT_EQ(P->Canvas3D(), Recorder);
    EXPECT_TRUE(Recorder->GetMonochrome());
    EXPECT_TRUE(P->CanClip());
    EXPECT_TRUE(P->IsScreenHighColor());
    TBitmap Palette(4, 4);
    Palette.SetPixelFormat(pf8bit);
    Recorder->SetCanvas(Palette.Canvas());
    EXPECT_FALSE(P->IsScreenHighColor()) << "256 colours";
    Recorder->SetMonochrome(false);
    TChartBrush Hatch;
    Hatch.SetStyle(bsCross);
    P->SetBrushCanvas(clRed, &Hatch, clRed);
    EXPECT_EQ(Recorder->Brush()->Color(), clBlack) << "a hatch stays visible on its own colour";
    P->SetBrushCanvas(clBlack, &Hatch, clBlack);
    EXPECT_EQ(Recorder->Brush()->Color(), clWhite);
}

TEST_F(GradientPanel, LeavingThePanelPutsItsCursorBackAndEndsADrag) {
    TCountingDraw3D* P = NewPanel();
    P->SetCursor(crHandPoint);
    P->PanningState()->Activate(5, 5);
    P->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(P->Cursor(), crDefault);
    EXPECT_FALSE(P->PanningState()->IsActive);
    TZoomPanning Z;
    Z.StartX = 9;
    Z.EndX = 3;
    Z.StartY = 1;
    Z.EndY = 2;
    Z.Check();
    EXPECT_EQ(TRect(Z.StartX, Z.StartY, Z.EndX, Z.EndY), TRect(3, 1, 9, 2));
    EXPECT_THROW(TCustomTeePanel(nullptr).InternalDraw(TRect()), EAbstractError);
}

TEST_F(GradientPanel, TheLibraryInstallsItsHandAsCursor2020UntilItEnds) {
    TSurface Image, Mask;
    TPoint HotSpot;
    ASSERT_TRUE(GetCursorImage(Screen->Cursors(crTeeHand), Image, Mask, HotSpot));
    EXPECT_EQ(HotSpot, TPoint(6, 0));
    EXPECT_EQ(Image.Width(), 32);
    TCountingDraw3D* P = NewPanel();
    P->SetCursor(crTeeHand);
    Form->Show();
    Ui.MoveTo(P->ClientToScreen(TPoint(40, 40)));
    Ui.RunUntilIdle();
    EXPECT_EQ(GetCursor(), Screen->Cursors(crTeeHand)) << "the panel shows the hand";
    DoneGradientPanel();
    EXPECT_FALSE(GetCursorImage(Screen->Cursors(crTeeHand), Image, Mask, HotSpot));
    InitGradientPanel();  // the fixture ends it again
}

}  // namespace
