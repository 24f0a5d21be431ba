#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/sys/Help.h"
#include "platform/win/MessageQueue.h"

namespace {

using Log = std::vector<std::string>;

// Two panels with an edit each: the focus crosses from one subtree to the other.
class FocusTest : public FormTest {
protected:
    TForm* F = NewPlainForm("Main");
    TTestPanel* A = Make<TTestPanel>(F, F, "A", Bounds(0, 0, 140, 200));
    TTestEdit* A1 = Make<TTestEdit>(F, A, "A1", Bounds(10, 10, 100, 20));
    TTestPanel* B = Make<TTestPanel>(F, F, "B", Bounds(150, 0, 140, 200));
    TTestEdit* B1 = Make<TTestEdit>(F, B, "B1", Bounds(10, 10, 100, 20));
    TTestEdit* B2 = Make<TTestEdit>(F, B, "B2", Bounds(10, 40, 100, 20));
};

TEST_F(FocusTest, ShowingAFormFocusesItsFirstTabStopThroughEveryParent) {
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(EventLog(), (Log{"A:Enter", "A1:Enter", "A1:WM_SETFOCUS", "A:Paint", "A1:Paint", "B:Paint",
                               "B1:Paint", "B2:Paint"}));
    EXPECT_TRUE(A1->Focused());
    EXPECT_EQ(F->ActiveControl(), A1);
    EXPECT_EQ(Screen->ActiveControl(), A1);
    EXPECT_EQ(Screen->ActiveForm(), F);
}

TEST_F(FocusTest, FocusLeavesEachControlUpToTheCommonParentThenEntersDownToTheNewOne) {
    F->Show();
    Ui.RunUntilIdle();
    std::vector<std::string> Events;
    A1->OnExit = [&](TObject*) { Events.push_back("OnExit A1"); };
    B1->OnEnter = [&](TObject*) { Events.push_back("OnEnter B1"); };
    EventLog().clear();
    B1->SetFocus();
    EXPECT_EQ(EventLog(),
              (Log{"A1:WM_KILLFOCUS", "A1:Exit", "A:Exit", "B:Enter", "B1:Enter", "B1:WM_SETFOCUS"}));
    EXPECT_EQ(Events, (Log{"OnExit A1", "OnEnter B1"}));
    EventLog().clear();
    B2->SetFocus();
    EXPECT_EQ(EventLog(), (Log{"B1:WM_KILLFOCUS", "B1:Exit", "B2:Enter", "B2:WM_SETFOCUS"}))
        << "a move inside one panel leaves the panel alone";
    EXPECT_EQ(Screen->ActiveControl(), B2);
}

TEST_F(FocusTest, AHandlerThatMovesTheFocusEndsTheMoveInProgress) {
    F->Show();
    Ui.RunUntilIdle();
    // Leaving A1 is refused: its exit puts the focus back, as a grid does when a post fails.
    A1->OnExit = [&](TObject*) { A1->SetFocus(); };
    EventLog().clear();
    B1->SetFocus();
    EXPECT_TRUE(A1->Focused());
    EXPECT_EQ(F->ActiveControl(), A1);
    for (const std::string& E : EventLog()) EXPECT_NE(E, "B1:Enter");
}

TEST_F(FocusTest, CannotFocusWhatIsHiddenOrDisabled) {
    F->Show();
    Ui.RunUntilIdle();
    B->SetEnabled(false);
    EXPECT_FALSE(B1->CanFocus());
    EXPECT_THROW(B1->SetFocus(), EInvalidOperation);
    B->SetEnabled(true);
    A1->SetFocus();
    A->Hide();
    EXPECT_EQ(F->ActiveControl(), nullptr) << "hiding the panel takes the focus away from its edit";
}

TEST_F(FormTest, TabAndShiftTabFollowTheTabOrderAndSkipWhatCannotTakeTheFocus) {
    TForm* F = NewPlainForm("Main");
    auto* E1 = Make<TTestEdit>(F, F, "E1", Bounds(0, 0, 50, 20));
    auto* E2 = Make<TTestEdit>(F, F, "E2", Bounds(0, 30, 50, 20));
    auto* E3 = Make<TTestEdit>(F, F, "E3", Bounds(0, 60, 50, 20));
    auto* E4 = Make<TTestEdit>(F, F, "E4", Bounds(0, 90, 50, 20));
    auto* E5 = Make<TTestEdit>(F, F, "E5", Bounds(0, 120, 50, 20));
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(100, 0, 100, 100));
    auto* E6 = Make<TTestEdit>(F, P, "E6", Bounds(0, 0, 50, 20));
    E2->SetEnabled(false);
    E3->Hide();
    E4->SetTabStop(false);
    E5->SetTabOrder(0);  // now first
    F->Show();
    Ui.RunUntilIdle();
    ASSERT_TRUE(E5->Focused());
    std::vector<std::string> Visited;
    for (int I = 0; I < 4; ++I) {
        Ui.Key(VK_TAB);
        Ui.RunUntilIdle();
        Visited.push_back(Screen->ActiveControl()->Name());
    }
    EXPECT_EQ(Visited, (Log{"E1", "E6", "E5", "E1"})) << "and round again";
    Ui.Key(VK_TAB, {ssShift});
    Ui.RunUntilIdle();
    EXPECT_EQ(Screen->ActiveControl(), E5);
    for (TTestEdit* E : {E1, E5, E6}) EXPECT_TRUE(E->Typed.empty()) << "Tab is the form's, not a character";
}

TEST_F(FormTest, HooksSeeKeysBeforeThePreviewingFormWhichSeesThemBeforeTheFocusedControl) {
    TForm* F = NewPlainForm("Main");
    auto* E = Make<TTestEdit>(F, F, "E", Bounds(0, 0, 50, 20));
    F->SetKeyPreview(true);
    F->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        EventLog().push_back("form:" + std::to_string(Key));
        if (Key == VK_F5) Key = 0;  // the form keeps F5 for itself
    };
    HHOOK Hook = nullptr;
    Hook = SetWindowsHookEx(WH_KEYBOARD, [&](int Code, WPARAM WP, LPARAM LP) -> LRESULT {
        if (!(static_cast<uint32_t>(LP) & KF_UP)) EventLog().push_back("hook:" + std::to_string(WP));
        return CallNextHookEx(Hook, Code, WP, LP);
    });
    E->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        EventLog().push_back("edit:" + std::to_string(Key));
    };
    F->Show();
    Ui.RunUntilIdle();
    EventLog().clear();
    Ui.Key('Q');
    Ui.Key(VK_F5);
    Ui.RunUntilIdle();
    EXPECT_EQ(EventLog(), (Log{"hook:81", "form:81", "edit:81", "hook:116", "form:116"}));
    EXPECT_EQ(E->Typed, "q");
    UnhookWindowsHookEx(Hook);
}

// --- modal forms ---

class ModalTest : public FormTest {
public:
    TForm* D = NewPlainForm("Dlg", 200, 100);
    TTestEdit* Edit = Make<TTestEdit>(D, D, "Edit", Bounds(10, 10, 100, 20));
    TTestButton* Ok = Make<TTestButton>(D, D, "BOk", Bounds(10, 60, 75, 25));
    TTestButton* Cancel = Make<TTestButton>(D, D, "BCancel", Bounds(100, 60, 75, 25));

protected:
    void SetUp() override {
        Ok->ModalResult = mrOk;
        Ok->Default = true;
        Cancel->ModalResult = mrCancel;
        Cancel->Cancel = true;
    }
};

TEST_F(ModalTest, ShowModalAnswersTheResultOfTheWayTheFormWasClosed) {
    struct {
        const char* Way;
        std::function<void(TUiDriver&, ModalTest&)> Act;
        TModalResult Expected;
    } Cases[] = {
        {"click OK", [](TUiDriver& U, ModalTest& T) { U.Click(T.Ok); }, mrOk},
        {"click Cancel", [](TUiDriver& U, ModalTest& T) { U.Click(T.Cancel); }, mrCancel},
        {"Enter", [](TUiDriver& U, ModalTest&) { U.Key(VK_RETURN); }, mrOk},
        {"Escape", [](TUiDriver& U, ModalTest&) { U.Key(VK_ESCAPE); }, mrCancel},
        {"Close", [](TUiDriver&, ModalTest& T) { T.D->Close(); }, mrCancel},
        {"set ModalResult", [](TUiDriver&, ModalTest& T) { T.D->SetModalResult(mrRetry); }, mrRetry},
    };
    for (auto& C : Cases) {
        Ui.Then([&] { C.Act(Ui, *this); });
        EXPECT_EQ(D->ShowModal(), C.Expected) << C.Way;
        EXPECT_FALSE(D->Visible()) << C.Way;
        EXPECT_FALSE(D->FormState().Contains(fsModal));
    }
}

TEST_F(ModalTest, OtherFormsAreDisabledWhileAFormIsModal) {
    TForm* Main = NewPlainForm("Main");
    Main->Show();
    Ui.RunUntilIdle();
    bool MainEnabledInside = true;
    Ui.Then([&] {
        MainEnabledInside = IsWindowEnabled(Main->Handle());
        Ui.Click(Ok);
    });
    D->ShowModal();
    EXPECT_FALSE(MainEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_EQ(GetActiveWindow(), Main->Handle()) << "the activation goes back where it was";
}

TEST_F(ModalTest, TheResultIsSetEvenWhenTheClickHandlerRaises) {
    Ok->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    TScriptedDialogs Boxes;
    Ui.Then([&] { Ui.Click(Ok); });
    EXPECT_EQ(D->ShowModal(), mrOk);
    ASSERT_EQ(Boxes.Asked().size(), 1u);
    EXPECT_EQ(Boxes.Asked()[0].Text, "'x' is not a valid integer value.");
    EXPECT_EQ(Boxes.Asked()[0].Flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

TEST_F(ModalTest, AModalFormFreedByItsCloseActionGoesOnlyAfterItsCallerIsDone) {
    D->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    HWND H = D->Handle();
    Ui.Then([&] { Ui.Click(Ok); });
    EXPECT_EQ(D->ShowModal(), mrOk);
    EXPECT_EQ(D->ModalResult(), mrOk) << "the caller still reads the form";
    EXPECT_EQ(FindControl(H), D);
    Ui.RunUntilIdle();
    EXPECT_EQ(FindControl(H), nullptr);
    EXPECT_EQ(Application->FindComponent("Dlg"), nullptr);
}

TEST_F(ModalTest, CloseQueryCanRefuseAndOnCloseDecidesWhatClosingMeans) {
    D->Show();
    Ui.RunUntilIdle();
    bool Allow = false;
    D->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = Allow; };
    D->Close();
    EXPECT_TRUE(D->Visible());
    Allow = true;
    TCloseAction Chosen = caNone;
    D->OnClose = [&](TObject*, TCloseAction& Action) { Action = Chosen; };
    D->Close();
    EXPECT_TRUE(D->Visible()) << "caNone keeps it";
    Chosen = caHide;
    D->Close();
    EXPECT_FALSE(D->Visible());
    EXPECT_EQ(Application->FindComponent("Dlg"), D) << "hidden, not freed";
}

TEST_F(ModalTest, AScriptThatRunsOutStopsTheLoopInsteadOfHanging) {
    EXPECT_THROW(D->ShowModal(), EUiStalled);
    EXPECT_FALSE(D->Visible());
    EXPECT_FALSE(D->FormState().Contains(fsModal));
}

// --- activation ---

TEST_F(FormTest, OnActivateFiresAtEveryActivation) {
    TForm* F1 = NewPlainForm("F1");
    TForm* F2 = NewPlainForm("F2");
    F2->SetLeft(500);
    Make<TTestEdit>(F1, F1, "E1", Bounds(0, 0, 50, 20));
    Make<TTestEdit>(F2, F2, "E2", Bounds(0, 0, 50, 20));
    int Act1 = 0, Act2 = 0, Deact1 = 0;
    F1->OnActivate = [&](TObject*) { ++Act1; };
    F1->OnDeactivate = [&](TObject*) { ++Deact1; };
    F2->OnActivate = [&](TObject*) { ++Act2; };
    F1->Show();
    F2->Show();
    Ui.RunUntilIdle();
    Ui.Click(F1, TPoint(150, 150));
    Ui.RunUntilIdle();
    Ui.Click(F2, TPoint(150, 150));
    Ui.RunUntilIdle();
    Ui.Click(F1, TPoint(150, 150));
    Ui.RunUntilIdle();
    EXPECT_EQ(Act1, 3);
    EXPECT_EQ(Deact1, 2);
    EXPECT_EQ(Act2, 2);
    EXPECT_EQ(Screen->ActiveForm(), F1);
}

TEST_F(FormTest, StayOnTopFormsStayAboveTheOthers) {
    TForm* Main = NewPlainForm("Main");
    Main->SetFormStyle(fsStayOnTop);
    TForm* Other = NewPlainForm("Other");
    Main->Show();
    Other->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(GetChildWindows(nullptr).front(), Main->Handle());
    EXPECT_EQ(WindowFromPoint(TPoint(150, 150)), Main->Handle());
}

TEST_F(FormTest, ScreenCentredFormsPlaceThemselvesWhenShown) {
    TForm* F = NewPlainForm("F", 200, 100);
    F->SetPosition(poScreenCenter);
    F->Show();
    EXPECT_EQ(F->Left(), (1024 - 200) / 2);
    EXPECT_EQ(F->Top(), (768 - 100) / 2);
}

TEST_F(FormTest, ABorderedFormGivesItsFrameAndCaptionTheirSpace) {
    TForm* F = NewPlainForm("F", 300, 200);
    F->SetBorderStyle(bsDialog);
    F->SetCaption("Atenci\xF3n");
    int Frame = GetSystemMetrics(SM_CXDLGFRAME), Caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(F->ClientWidth(), 300 - 2 * Frame);
    EXPECT_EQ(F->ClientHeight(), 200 - 2 * Frame - Caption);
    F->SetClientHeight(100);
    EXPECT_EQ(F->Height(), 100 + 2 * Frame + Caption);
    F->Show();
    EXPECT_EQ(GetWindowText(F->Handle()), "Atenci\xF3n");
    EXPECT_EQ(F->ClientHeight(), 100);
}

// --- the application object ---

TEST_F(FormTest, ClosingTheMainFormEndsRun) {
    TForm* Main = nullptr;
    Application->CreateForm(Main);
    Main->SetName("Main");
    EXPECT_EQ(Application->MainForm(), Main);
    bool ShownInRun = false;
    Ui.Then([&] {
        ShownInRun = Main->Visible();
        Main->Close();
    });
    Application->Run();
    EXPECT_TRUE(ShownInRun);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormTest, AnExceptionEscapingAnEventIsShownAndTheLoopGoesOn) {
    TForm* F = NewPlainForm("F");
    auto* Btn = Make<TTestButton>(F, F, "Btn", Bounds(0, 0, 75, 25));
    F->Show();
    Ui.RunUntilIdle();
    Application->SetTitle("Zelmor");
    TScriptedDialogs Boxes;
    int Clicks = 0;
    Btn->OnClick = [&](TObject*) {
        ++Clicks;
        if (Clicks == 1) throw EDatabaseError("Table is read only");
        if (Clicks == 2) throw EAbort("");
    };
    for (int I = 0; I < 3; ++I) {
        Ui.Click(Btn);
        Ui.RunUntilIdle();
        Clock.Advance(1000);  // separate clicks, not a double click
    }
    EXPECT_EQ(Clicks, 3);
    ASSERT_EQ(Boxes.Asked().size(), 1u) << "EAbort is silent";
    EXPECT_EQ(Boxes.Asked()[0].Text, "Table is read only.");
    EXPECT_EQ(Boxes.Asked()[0].Caption, "Zelmor");
    std::string Seen;
    Application->OnException = [&](TObject*, const Exception& E) { Seen = E.ClassName(); };
    Btn->OnClick = [](TObject*) { throw EInvalidOperation("no"); };
    Ui.Click(Btn);
    Ui.RunUntilIdle();
    EXPECT_EQ(Seen, "EInvalidOperation");
    EXPECT_EQ(Boxes.Asked().size(), 1u) << "OnException replaces the box";
}

TEST_F(FormTest, AHandlerCanRunTheQueueItselfWhileItWorks) {
    TForm* F = NewPlainForm("F");
    auto* Btn = Make<TTestButton>(F, F, "Btn", Bounds(0, 0, 75, 25));
    auto* E = Make<TTestEdit>(F, F, "E", Bounds(0, 40, 75, 25));
    F->Show();
    Ui.RunUntilIdle();
    std::vector<std::string> Steps;
    Btn->OnClick = [&](TObject*) {
        // A long task keeps its dialog live: what is queued meanwhile runs inside it.
        PostMessage(E->Handle(), WM_CHAR, 'x', 0);
        Steps.push_back("working");
        Application->ProcessMessages();
        Steps.push_back("typed " + E->Typed);
    };
    Ui.Click(Btn);
    Ui.RunUntilIdle();
    EXPECT_EQ(Steps, (Log{"working", "typed x"}));
}

TEST_F(FormTest, F1AsksForTheHelpContextOfTheFocusedControlOrItsNearestParent) {
    THelpRecorder Help;
    Application->SetHelpFile("REZUDURAR3.HLP");
    TForm* F = NewPlainForm("F");
    F->SetHelpContext(2000);
    auto* P = Make<TTestPanel>(F, F, "P", Bounds(0, 0, 200, 100));
    auto* E = Make<TTestEdit>(F, P, "E", Bounds(0, 0, 50, 20));
    auto* Other = Make<TTestEdit>(F, F, "Other", Bounds(0, 120, 50, 20));
    P->SetHelpContext(2005);
    F->Show();
    E->SetFocus();
    Ui.Key(VK_F1);
    Ui.RunUntilIdle();
    Other->SetFocus();
    Ui.Key(VK_F1);
    Ui.RunUntilIdle();
    ASSERT_EQ(Help.Requests().size(), 2u);
    EXPECT_EQ(Help.Requests()[0].HelpFile, "REZUDURAR3.HLP");
    EXPECT_EQ(Help.Requests()[0].Command, HELP_CONTEXT);
    EXPECT_EQ(Help.Requests()[0].Data, 2005u);
    EXPECT_EQ(Help.Requests()[1].Data, 2000u) << "the form's own context at the end of the chain";
}

}  // namespace
