#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "FormTestSupport.h"
#include "platform/backend/Backend.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Timers.h"
#include "platform/win/MessageQueue.h"

namespace {

using Log = std::vector<std::string>;

constexpr uint32_t Red = 0xFF0000, Blue = 0x0000FF, Lime = 0x00FF00;

TEST_F(FormTest, ParentsPaintBeforeTheirChildrenAndWindowlessChildrenPaintOnTheParent) {
    TForm* F = NewPlainForm("F");
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(10, 10, 200, 150));
    P->SetColor(clBlue);
    auto* S1 = Make<TTestShape>(F, P, "S1", Bounds(10, 10, 40, 40));
    auto* S2 = Make<TTestShape>(F, P, "S2", Bounds(30, 30, 40, 40));  // above S1
    S2->SetColor(clLime);
    auto* E = Make<TTestEdit>(F, P, "E", Bounds(100, 10, 50, 20));
    (void)E;
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(EventLog(),
              (Log{"P:Enter", "E:Enter", "E:WM_SETFOCUS", "P:Paint", "S1:Paint", "S2:Paint", "E:Paint"}));
    EXPECT_EQ(PixelOf(Ui, F, 10 + 10 + 5, 10 + 10 + 5), Red);
    EXPECT_EQ(PixelOf(Ui, F, 10 + 35, 10 + 35), Lime) << "the later shape lies above";
    EXPECT_EQ(PixelOf(Ui, F, 10 + 75, 10 + 35), Blue) << "nothing outside the shape's bounds";
    // A shape repaints on its parent's pixels only: the parent repaints under it first.
    EventLog().clear();
    S1->Repaint();
    EXPECT_EQ(EventLog(), (Log{"P:Paint", "S1:Paint", "S2:Paint"}));
    EXPECT_EQ(PixelOf(Ui, F, 10 + 35, 10 + 35), Lime);
}

TEST_F(FormTest, ClicksOnAWindowlessControlReachItThroughItsParent) {
    TForm* F = NewPlainForm("F");
    auto* S = Make<TTestShape>(F, F, "S", Bounds(50, 50, 40, 40));
    int Clicks = 0, Down = 0;
    TPoint At;
    S->OnClick = [&](TObject*) { ++Clicks; };
    S->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
        ++Down;
        At = TPoint(X, Y);
    };
    F->Show();
    Ui.RunUntilIdle();
    Ui.Click(S, TPoint(5, 7));
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(At, TPoint(5, 7)) << "in the shape's own coordinates";
    // Pressed on the shape and released outside it: no click.
    InputMouseButton(0, true, S->ClientToScreen(TPoint(5, 5)));
    InputMouseButton(0, false, S->ClientToScreen(TPoint(100, 100)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Down, 2);
}

TEST_F(FormTest, MouseEnterAndLeaveFollowTheControlUnderTheMouse) {
    TForm* F = NewPlainForm("F");
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 200, 200));
    auto* S = Make<TTestShape>(F, P, "S", Bounds(50, 50, 40, 40));
    std::vector<std::string> ParentHeard;
    P->WindowProc = [&, Old = P->WindowProc](TMessage& M) {
        // LParam names a child that was entered; 0 means the panel itself.
        if (M.Msg == CM_MOUSEENTER)
            ParentHeard.push_back(M.LParam ? LParamToPointer<TControl>(M.LParam)->Name() : "self");
        Old(M);
    };
    S->SetHint("Estado|Muestra si el curso se guard\xF3");
    std::vector<std::string> Hints;
    Application->OnHint = [&](TObject*) { Hints.push_back(Application->Hint()); };
    F->Show();
    Ui.RunUntilIdle();
    EventLog().clear();
    Ui.MoveTo(S->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    Ui.MoveTo(P->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(EventLog(), (Log{"S:MouseEnter", "S:MouseLeave"}));
    EXPECT_EQ(Hints, (Log{"Muestra si el curso se guard\xF3", ""}))
        << "the long part of the hint, for a status line";
    EXPECT_EQ(ParentHeard, (Log{"S", "self"})) << "the parent hears which control was entered";
    EXPECT_EQ(Application->MouseControl(), P);
}

TEST_F(FormTest, RefreshPaintsAtOnceWithoutALoop) {
    TForm* F = NewPlainForm("F");
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 100, 100));
    P->SetColor(clBlue);
    F->Show();
    Ui.RunUntilIdle();
    int Shown = Ui.PresentCount();
    P->SetColor(clRed);
    P->Refresh();
    const TSurface* S = WindowSurface(F->Handle());
    EXPECT_EQ(S->GetPixel(50, 50), Red);
    EXPECT_GT(Ui.PresentCount(), Shown) << "and hands the pixels to the display";
}

TEST_F(FormTest, PaintToDrawsAControlAndItsChildrenAsAPictureAtAnOffset) {
    TForm* F = NewPlainForm("F");
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 60, 60));
    P->SetColor(clBlue);
    auto* S = Make<TTestShape>(F, P, "S", Bounds(10, 10, 20, 20));
    auto* Inner = Make<TTestPanel>(F, P, "Inner", Bounds(40, 40, 10, 10));
    Inner->SetColor(clLime);
    F->Show();
    Ui.RunUntilIdle();
    S->SawPaintCopy = false;
    TSurface Target(100, 100);
    TCanvas C(&Target);
    P->PaintTo(&C, 20, 30);
    EXPECT_EQ(Target.GetPixel(20 + 5, 30 + 5), Blue);
    EXPECT_EQ(Target.GetPixel(20 + 15, 30 + 15), Red);
    EXPECT_EQ(Target.GetPixel(20 + 45, 30 + 45), Lime) << "windowed children too";
    EXPECT_EQ(Target.GetPixel(20 + 65, 30 + 5), 0xFFFFFFu) << "nothing beyond the control";
    EXPECT_EQ(Target.GetPixel(5, 5), 0xFFFFFFu);
    EXPECT_TRUE(S->SawPaintCopy);
    EXPECT_FALSE(P->ControlState().Contains(csPaintCopy));
    EXPECT_FALSE(S->ControlState().Contains(csPaintCopy));
}

TEST_F(FormTest, AlignPlacesTopBottomLeftRightThenClientAndFollowsResizes) {
    TForm* F = NewPlainForm("F", 300, 200);
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 300, 200));
    // As while a form loads: the alignment waits until every child is there.
    P->DisableAlign();
    auto Aligned = [&](const char* Name, TAlign A, TRect B) {
        auto* C = Make<TTestPanel>(F, P, Name, B);
        C->SetAlign(A);
        return C;
    };
    auto* Top2 = Aligned("Top2", alTop, Bounds(0, 50, 10, 30));
    auto* Top1 = Aligned("Top1", alTop, Bounds(0, 10, 10, 20));  // higher up: placed first
    auto* Bottom = Aligned("Bottom", alBottom, Bounds(0, 0, 10, 25));
    auto* Left = Aligned("Left", alLeft, Bounds(0, 0, 40, 10));
    auto* Right = Aligned("Right", alRight, Bounds(0, 0, 50, 10));
    auto* Client = Aligned("Client", alClient, Bounds(0, 0, 1, 1));
    auto* Pinned = Make<TTestPanel>(F, P, "Pinned", Bounds(200, 100, 20, 20));
    Pinned->SetAnchors({akRight, akBottom});
    auto* Stretched = Make<TTestPanel>(F, P, "Stretched", Bounds(10, 100, 100, 20));
    Stretched->SetAnchors({akLeft, akTop, akRight});
    P->EnableAlign();
    struct {
        TControl* C;
        TRect Expected;
    } Cases[] = {
        {Top1, Bounds(0, 0, 300, 20)},  {Top2, Bounds(0, 20, 300, 30)},    {Bottom, Bounds(0, 175, 300, 25)},
        {Left, Bounds(0, 50, 40, 125)}, {Right, Bounds(250, 50, 50, 125)}, {Client, Bounds(40, 50, 210, 125)},
    };
    for (const auto& C : Cases) EXPECT_EQ(C.C->BoundsRect(), C.Expected) << C.C->Name();
    int Resized = 0;
    P->OnResize = [&](TObject*) { ++Resized; };
    P->SetBounds(0, 0, 400, 260);
    EXPECT_EQ(Resized, 1);
    EXPECT_EQ(Client->BoundsRect(), Bounds(40, 50, 310, 185));
    EXPECT_EQ(Bottom->BoundsRect(), Bounds(0, 235, 400, 25));
    EXPECT_EQ(Pinned->BoundsRect(), Bounds(300, 160, 20, 20))
        << "right and bottom anchors keep their distance";
    EXPECT_EQ(Stretched->BoundsRect(), Bounds(10, 100, 200, 20));
    Top1->Hide();
    EXPECT_EQ(Top2->Top(), 0) << "a hidden control gives up its place";
}

TEST_F(FormTest, FontAndColorFollowTheParentUntilTheControlSetsItsOwn) {
    TForm* F = NewPlainForm("F");
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 100, 100));
    auto* Follows = Make<TTestShape>(F, P, "Follows", Bounds(0, 0, 10, 10));
    auto* Own = Make<TTestShape>(F, P, "Own", Bounds(20, 0, 10, 10));
    Follows->SetParentColor(true);
    Own->Font()->SetName("Courier New");
    EXPECT_FALSE(Own->ParentFont());
    P->Font()->SetName("Arial");
    P->Font()->SetSize(12);
    P->SetColor(clYellow);
    EXPECT_EQ(Follows->Font()->Name(), "Arial");
    EXPECT_EQ(Follows->Font()->Size(), 12);
    EXPECT_TRUE(Follows->ParentFont());
    EXPECT_EQ(Own->Font()->Name(), "Courier New");
    EXPECT_EQ(Follows->Color(), clYellow);
    EXPECT_NE(Own->Color(), clYellow);
    Follows->SetParent(F);
    EXPECT_EQ(Follows->Font()->Name(), F->Font()->Name()) << "a new parent gives its own";
}

TEST_F(FormTest, AControlsWindowComesOnDemandAndItsHandleDiesWithIt) {
    TForm* F = NewPlainForm("F");
    auto* E = Make<TTestEdit>(F, F, "E", Bounds(0, 0, 50, 20));
    EXPECT_FALSE(E->HandleAllocated());
    HWND H = E->Handle();
    EXPECT_TRUE(F->HandleAllocated()) << "the parent's window comes first";
    EXPECT_EQ(FindControl(H), E);
    EXPECT_EQ(GetParent(H), F->Handle());
    E->SetCaption("texto");
    F->Show();
    E->SetFocus();
    E->RecreateWnd();
    EXPECT_NE(E->Handle(), H);
    EXPECT_EQ(FindControl(H), nullptr);
    EXPECT_EQ(GetWindowText(E->Handle()), "texto") << "the text survives a new window";
    EXPECT_TRUE(E->Focused()) << "and so does the focus";
    HWND Last = E->Handle();
    E->Free();
    EXPECT_EQ(FindControl(Last), nullptr);
    EXPECT_FALSE(IsWindow(Last));
    EXPECT_EQ(F->ActiveControl(), nullptr);
}

TEST_F(FormTest, SubclassedWindowClassesAnswerWhatTheControlLeavesToThem) {
    TWndClass Base;
    Base.Name = "LABBUTTON";
    Base.Style = CS_DBLCLKS;
    Base.WndProc = [](HWND W, UINT M, WPARAM WP, LPARAM LP) -> LRESULT {
        if (M == WM_GETDLGCODE) return DLGC_BUTTON;
        return DefWindowProc(W, M, WP, LP);
    };
    RegisterWindowClass(Base);
    class TSub : public TWinControl {
    public:
        using TWinControl::TWinControl;

    protected:
        void CreateParams(TCreateParams& Params) override {
            TWinControl::CreateParams(Params);
            CreateSubClass(Params, "LABBUTTON");
            Params.Style |= BS_OWNERDRAW;
        }
    };
    TForm* F = NewPlainForm("F");
    auto* B = NewComponent<TSub>(F);
    B->SetParent(F);
    EXPECT_EQ(B->Perform(WM_GETDLGCODE), 0) << "without a window there is no class to ask";
    B->HandleNeeded();
    EXPECT_EQ(B->Perform(WM_GETDLGCODE), DLGC_BUTTON);
    EXPECT_EQ(GetWindowLong(B->Handle(), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG_PTR>(BS_OWNERDRAW));
    UnregisterWindowClass("LABBUTTON");
}

TEST_F(FormTest, TimersFireInTheLoopWhenTheClockSaysSo) {
    TTimer* T = NewComponent<TTimer>(Application);
    int Ticks = 0;
    T->SetInterval(500);
    T->OnTimer = [&](TObject*) { ++Ticks; };
    Ui.RunUntilIdle();
    Clock.Advance(499);
    Ui.RunUntilIdle();
    EXPECT_EQ(Ticks, 0);
    Clock.Advance(1);
    Ui.RunUntilIdle();
    EXPECT_EQ(Ticks, 1);
    Clock.Advance(500);
    Ui.RunUntilIdle();
    EXPECT_EQ(Ticks, 2);
    T->SetEnabled(false);
    Clock.Advance(5000);
    Ui.RunUntilIdle();
    EXPECT_EQ(Ticks, 2);
    // A modal form's loop runs timers too: the organizer's clock ticks during its dialog.
    T->SetEnabled(true);
    TForm* D = NewPlainForm("D");
    Ui.Then([&] { Clock.Advance(500); });
    Ui.Then([&] { D->SetModalResult(mrOk); });
    D->ShowModal();
    EXPECT_EQ(Ticks, 3);
    T->Free();
}

TEST_F(FormTest, ATimerSaysSoWhenNoTimerIsLeft) {
    SetTimerCapacity(ActiveTimerCount());
    EXPECT_THROW(NewComponent<TTimer>(Application), EOutOfResources);
    SetTimerCapacity(10000);
}

TEST_F(FormTest, MessageBoxesAreFormsThatAScriptCanAnswer) {
    struct {
        const char* Text;
        UINT Flags;
        const char* Press;
        int Expected;
    } Cases[] = {
        {"\xBF"
         "Continuar?",
         MB_OKCANCEL, "Cancel", IDCANCEL},
        {"\xBF"
         "Guardar?",
         MB_YESNOCANCEL, "No", IDNO},
        {"Proceso terminado", MB_OK, "OK", IDOK},
    };
    for (const auto& C : Cases) {
        TForm* Seen = nullptr;
        Ui.Then([&] {
            Seen = Screen->ActiveForm();
            Ui.Click(Seen, C.Press);
        });
        EXPECT_EQ(MessageBox(C.Text, "Atenci\xF3n", C.Flags), C.Expected) << C.Text;
        ASSERT_NE(Seen, nullptr);
    }
    // Enter takes the default button, Escape the cancel one.
    Ui.Then([&] { Ui.Key(VK_RETURN); });
    EXPECT_EQ(MessageBox("x", "y", MB_YESNO | MB_DEFBUTTON2), IDNO);
    Ui.Then([&] { Ui.Key(VK_ESCAPE); });
    EXPECT_EQ(MessageDlg("x", mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}, 0), mrCancel);
}

TEST_F(FormTest, TheInputBoxGivesWhatWasTypedOrItsDefault) {
    Ui.Then([&] {
        Ui.Type("Curso 2027");
        Ui.Key(VK_RETURN);
    });
    EXPECT_EQ(InputBox("Carpeta", "Nombre", "Nueva Carpeta"), "Curso 2027");
    Ui.Then([&] {
        Ui.Type("abc");
        Ui.Key(VK_ESCAPE);
    });
    EXPECT_EQ(InputBox("Carpeta", "Nombre", "Nueva Carpeta"), "Nueva Carpeta");
    AnsiString Secret = "old";
    Ui.Then([&] {
        Ui.Type("clave");
        Ui.Click(Screen->ActiveForm(), "OK");
    });
    EXPECT_TRUE(PasswordQuery("Acceso", "Clave", Secret));
    EXPECT_EQ(Secret, "clave");
}

TEST_F(FormTest, AFormSavesAsAPngPicture) {
    TForm* F = NewPlainForm("F", 120, 80);
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(10, 10, 50, 50));
    P->SetColor(clRed);
    F->Show();
    Ui.RunUntilIdle();
    std::string File = (std::filesystem::temp_directory_path() / "zelmor-ui-form.png").string();
    Ui.SaveToPng(F, File);
    TSurface Back = LoadSurfaceFromPng(File);
    std::remove(File.c_str());
    EXPECT_EQ(Back.Width(), 120);
    EXPECT_EQ(Back.Height(), 80);
    EXPECT_EQ(Back.GetPixel(30, 30), Red);
    EXPECT_EQ(Back.GetPixel(100, 70), ColorRefToPixel(ColorToRGB(clBtnFace)));
}

}  // namespace

namespace {

TEST_F(FormTest, TheCursorIsTheScreensWhileSetElseTheControlsUnderTheMouse) {
    TForm* F = NewPlainForm("F");
    auto* Link = Make<TTestEdit>(F, F, "Link", Bounds(10, 10, 50, 20));
    auto* Plain = Make<TTestEdit>(F, F, "Plain", Bounds(10, 50, 50, 20));
    Link->SetCursor(crHandPoint);
    F->Show();
    Ui.RunUntilIdle();
    Ui.MoveTo(Link->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.CursorShown(), crHandPoint);
    Ui.MoveTo(Plain->ClientToScreen(TPoint(5, 5)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.CursorShown(), crArrow);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Ui.CursorShown(), crHourGlass) << "at once, for work that runs without the loop";
    Ui.MoveTo(Link->ClientToScreen(TPoint(6, 6)));
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.CursorShown(), crHourGlass);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(Ui.CursorShown(), crHandPoint);
}

TEST(Backend, TheEnvironmentPicksTheDisplay) {
    struct {
        const char* Requested;
        const char* Display;
        const char* Expected;
    } Cases[] = {
        {nullptr, ":0", "x11"},           {nullptr, nullptr, "offscreen"}, {"", "", "offscreen"},
        {"offscreen", ":0", "offscreen"}, {"x11", nullptr, "x11"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ChooseBackend(C.Requested, C.Display), C.Expected)
            << (C.Requested ? C.Requested : "-") << " " << (C.Display ? C.Display : "-");
}

}  // namespace

namespace {

TEST_F(FormTest, AControlDeletedWithoutFreeStillLeavesItsParentAndWindow) {
    TForm* F = NewPlainForm("F");
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 100, 100));
    auto* E = Make<TTestEdit>(F, P, "E", Bounds(0, 0, 50, 20));
    auto* S = Make<TTestShape>(F, P, "S", Bounds(60, 0, 20, 20));
    F->Show();
    HWND H = E->Handle();
    delete E;
    delete S;
    EXPECT_EQ(P->ControlCount(), 0);
    EXPECT_FALSE(IsWindow(H));
    EXPECT_EQ(F->FindComponent("E"), nullptr);
    Ui.RunUntilIdle();  // and painting the panel touches neither
}

}  // namespace

namespace {

TEST(Keys, AcceleratorsAndShortCutsReadTheirKeys) {
    struct {
        WORD Key;
        const char* Caption;
        bool Expected;
    } Cases[] = {
        {'S', "&Siguiente", true},  {'s', "&Siguiente", true},  {'I', "&Siguiente", false},
        {'A', "Tom && &Ana", true}, {'&', "Tom && Ana", false}, {'N', "N&o a todo", false},
        {'O', "N&o a todo", true},
    };
    for (const auto& C : Cases) EXPECT_EQ(IsAccel(C.Key, C.Caption), C.Expected) << C.Caption << " " << C.Key;
    TShortCut Save = ShortCut('S', {ssCtrl});
    EXPECT_EQ(Save, 0x4000 + 'S');
    WORD Key = 0;
    TShiftState Shift;
    ShortCutToKey(ShortCut(VK_INSERT, {ssShift, ssAlt}), Key, Shift);
    EXPECT_EQ(Key, VK_INSERT);
    EXPECT_EQ(Shift, (TShiftState{ssShift, ssAlt}));
}

}  // namespace
