// The application's hints on the test clock, and the hint window itself.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/StdCtrls.h"

namespace {

class Hints : public FormTest {
protected:
    Hints() {
        F = NewPlainForm("F", 400, 200);
        Save = Make<TButton>(F, F, "Save", Bounds(10, 10, 80, 25));
        Save->SetHint("Guardar|Guarda la ficha");
        Save->SetShowHint(true);
        Load = Make<TButton>(F, F, "Load", Bounds(100, 10, 80, 25));
        Load->SetHint("Cargar");
        Load->SetShowHint(true);
        Quiet = Make<TButton>(F, F, "Quiet", Bounds(190, 10, 80, 25));
        Quiet->SetHint("never");
        F->Show();
        Ui.RunUntilIdle();
    }
    // Moves to a point of the control and lets the queue settle.
    void RestOn(TControl* C, TPoint P = TPoint(5, 5)) {
        Ui.MoveTo(C->ClientToScreen(P));
        Ui.RunUntilIdle();
    }
    void Wait(int Ms) {
        Clock.Advance(Ms);
        Ui.RunUntilIdle();
    }
    bool HintShows() const {
        THintWindow* W = Application->HintWindow();
        return W && W->HandleAllocated() && IsWindowVisible(W->Handle());
    }
    AnsiString HintText() const {
        return HintShows() ? Application->HintWindow()->Caption() : AnsiString("<none>");
    }
    TForm* F;
    TButton* Save;
    TButton* Load;
    TButton* Quiet;
};

TEST_F(Hints, TheShortHintShowsAfterThePauseBelowTheCursorAndGoesAfterTheHidePause) {
    RestOn(Save);
    EXPECT_EQ(Application->Hint(), "Guarda la ficha") << "the long part is the application's hint at once";
    Wait(Application->HintPause() - 1);
    EXPECT_FALSE(HintShows());
    Wait(1);
    ASSERT_TRUE(HintShows());
    EXPECT_EQ(HintText(), "Guardar");
    TPoint Cursor = Save->ClientToScreen(TPoint(5, 5));
    EXPECT_EQ(Application->HintWindow()->Left(), Cursor.x);
    EXPECT_GT(Application->HintWindow()->Top(), Cursor.y + 10) << "below the cursor";
    EXPECT_EQ(FindDragTarget(Cursor, true), Save) << "nothing of the hint is under the cursor";
    // Moving inside the control keeps the hint and its timing.
    RestOn(Save, TPoint(20, 8));
    Wait(Application->HintHidePause() - 1);
    EXPECT_TRUE(HintShows());
    Wait(1);
    EXPECT_FALSE(HintShows());
    EXPECT_EQ(Application->HintControl(), Save) << "resting there does not bring it back";
    Wait(Application->HintPause() * 4);
    EXPECT_FALSE(HintShows());
}

TEST_F(Hints, TheNextControlsHintFollowsAfterTheShortPause) {
    RestOn(Save);
    Wait(Application->HintPause());
    ASSERT_EQ(HintText(), "Guardar");
    RestOn(Load);
    EXPECT_FALSE(HintShows()) << "the old hint goes at once";
    Wait(Application->HintShortPause());
    EXPECT_EQ(HintText(), "Cargar");
    // A control without ShowHint (and a form without it) ends the chain.
    RestOn(Quiet);
    EXPECT_FALSE(HintShows());
    EXPECT_EQ(Application->HintControl(), nullptr);
    RestOn(Save);
    Wait(Application->HintShortPause());
    EXPECT_FALSE(HintShows()) << "after a break the full pause counts again";
    Wait(Application->HintPause());
    EXPECT_TRUE(HintShows());
}

TEST_F(Hints, KeysClicksAndLeavingTheWindowsTakeTheHintAway) {
    struct TCase {
        const char* What;
        std::function<void(TUiDriver&, TButton*)> Act;
    };
    const TCase Cases[] = {
        {"a key", [](TUiDriver& Ui, TButton*) { Ui.Key(VK_SHIFT); }},
        {"a click", [](TUiDriver& Ui, TButton* B) { Ui.Click(B->ClientToScreen(TPoint(5, 5)), mbRight); }},
        {"leaving", [](TUiDriver& Ui, TButton*) { Ui.MoveTo(TPoint(900, 700)); }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        RestOn(Save);
        Wait(Application->HintPause());
        ASSERT_TRUE(HintShows());
        C.Act(Ui, Save);
        Ui.RunUntilIdle();
        EXPECT_FALSE(HintShows());
        EXPECT_EQ(Application->HintControl(), nullptr);
        RestOn(Load);  // a fresh start for the next case
        RestOn(Quiet);
    }
}

TEST_F(Hints, AControlWithoutShowHintShowsItsParentsHintAndTheHandlersMayChangeIt) {
    auto* Box = Make<TPanel>(F, F, "Box", Bounds(10, 50, 200, 100));
    Box->SetHint("Panel");
    Box->SetShowHint(true);
    auto* Inside = Make<TButton>(F, Box, "Inside", Bounds(10, 10, 80, 25));
    Inside->SetHint("Dentro");
    EXPECT_TRUE(Inside->ShowHint()) << "taken from the parent";
    auto* Own = Make<TButton>(F, Box, "Own", Bounds(100, 10, 80, 25));
    Own->SetHint("Propio");
    Own->SetShowHint(false);
    Ui.RunUntilIdle();
    RestOn(Inside);
    Wait(Application->HintPause());
    EXPECT_EQ(HintText(), "Dentro");
    RestOn(Own);
    Wait(Application->HintShortPause());
    EXPECT_EQ(HintText(), "Panel") << "the nearest parent with ShowHint shows its own hint";
    EXPECT_EQ(Application->HintControl(), Box);
    RestOn(Quiet);

    Application->OnShowHint = [&](AnsiString& S, bool& CanShow, THintInfo& Info) {
        EXPECT_EQ(Info.CursorPos, TPoint(5, 5)) << "in the control's coordinates";
        CanShow = Info.HintControl != Load;
        S = S + "!";
        Info.HideTimeout = -1;
    };
    RestOn(Save);
    Wait(Application->HintPause());
    EXPECT_EQ(HintText(), "Guardar!");
    Wait(60000);
    EXPECT_TRUE(HintShows()) << "a negative hide pause keeps it until the mouse goes";
    RestOn(Load);
    Wait(Application->HintPause());
    EXPECT_FALSE(HintShows()) << "the handler said no";
    Application->SetShowHint(false);
    RestOn(Save);
    Wait(Application->HintPause());
    EXPECT_FALSE(HintShows()) << "the application's switch is off";
}

// A hint window of its own, used directly as the libraries do.
class TPaintedHint : public THintWindow {
public:
    using THintWindow::THintWindow;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(ClientRect());
    }
};

TEST_F(Hints, AHintWindowShowsAtItsScreenRectangleKeptOnTheScreenAndGoesWithReleaseHandle) {
    auto* W = NewComponent<TPaintedHint>(F);
    TRect Need = W->CalcHintRect(300, "Una frase bastante larga", nullptr);
    EXPECT_EQ(Need.Left, 0);
    EXPECT_GT(Need.Width(), 6);
    EXPECT_LE(Need.Width(), 300);
    TRect Narrow = W->CalcHintRect(40, "Una frase bastante larga", nullptr);
    EXPECT_GT(Narrow.Height(), Need.Height()) << "the words wrap in a narrow width";

    W->ActivateHint(Bounds(50, 60, 120, 18), "x");
    Ui.RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    EXPECT_EQ(W->BoundsRect(), Bounds(50, 60, 120, 18));
    EXPECT_GT(W->Paints, 0);
    EXPECT_EQ(GetForegroundWindow(), F->Handle()) << "the hint does not take the activation";
    W->ActivateHint(Bounds(Screen->Width() - 10, Screen->Height() - 5, 120, 18), "x");
    EXPECT_EQ(W->BoundsRect(), Bounds(Screen->Width() - 120, Screen->Height() - 18, 120, 18));
    W->ReleaseHandle();
    EXPECT_FALSE(W->HandleAllocated());
}

}  // namespace
