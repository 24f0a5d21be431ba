// The controller and the base classes: the controller as forms stream it,
// how controls find their controller, the posted notifications, the walks
// over the entry fields, the collections and the attached label.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/sys/Dialogs.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcExcpt.h"

namespace {

using Log = std::vector<std::string>;

// --- the controller in form data ---

const char* const ControllerForm =
    "object OrganizarForm: TForm\n"
    "  Left = 50\n"
    "  Top = 100\n"
    "  Width = 400\n"
    "  Height = 300\n"
    "  Caption = 'Organizar'\n"
    "  Color = clBtnFace\n"
    "  Ctl3D = True\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  ParentFont = False\n"
    "  ShowHint = False\n"
    "  Visible = False\n"
    "  ClientHeight = 274\n"
    "  ClientWidth = 392\n"
    "  OldCreateOrder = False\n"
    "  PixelsPerInch = 96\n"
    "  object OvcController1: TOvcController\n"
    "    EntryCommands.TableList = ('Default' True () 'WordStar' False () 'Grid' False ())\n"
    "    EntryOptions = [efoAutoSelect, efoBeepOnError, efoInsertPushes]\n"
    "    Epoch = 2000\n"
    "  end\n"
    "end\n";

TEST_F(OvcFormTest, TheProgramsControllerReadsAndWritesBackUnchanged) {
    TForm* F = ReadForm(ControllerForm);
    auto* c = dynamic_cast<TOvcController*>(F->FindComponent("OvcController1"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Epoch(), 2000);
    EXPECT_EQ(c->EntryOptions(), (TOvcBaseEFOptions{efoAutoSelect, efoBeepOnError, efoInsertPushes}));
    ASSERT_EQ(c->EntryCommands()->Count(), 3);
    EXPECT_TRUE(c->EntryCommands()->GetTable(0)->IsActive());
    EXPECT_EQ(c->EntryCommands()->GetCommandCount("Grid"), 38);
    EXPECT_NE(c->TimerPool(), nullptr);
    EXPECT_EQ(WriteComponentToText(F), ControllerForm);
}

TEST_F(OvcFormTest, TheEpochTakesOnlyYearsOfTheWindow) {
    TOvcController* c = NewComponent<TOvcController>(NewPlainForm("F"));
    c->SetEpoch(2000);
    for (int bad : {1599, 4000, -1}) {
        c->SetEpoch(bad);
        EXPECT_EQ(c->Epoch(), 2000) << bad;
    }
    c->SetEpoch(1600);
    EXPECT_EQ(c->Epoch(), 1600);
    c->SetEpoch(3999);
    EXPECT_EQ(c->Epoch(), 3999);
    c->OnGetEpoch = [](TObject*, int32_t& Epoch) { Epoch = 1950; };
    EXPECT_EQ(c->Epoch(), 1950);
    EXPECT_EQ(c->StoredEpoch(), 3999) << "the handler does not change what is stored";
}

// --- finding the controller ---

TEST_F(OvcFormTest, ControlsFindTheirControllerInTheStatedOrder) {
    // The streamed value wins over a controller read after the control.
    TForm* F = ReadForm("object F: TForm\n"
                        "  object View1: TTestOvcView\n    Controller = Second\n  end\n"
                        "  object View2: TTestOvcView\n  end\n"
                        "  object First: TOvcController\n  end\n"
                        "  object Second: TOvcController\n  end\n"
                        "end\n");
    auto* first = dynamic_cast<TOvcController*>(F->FindComponent("First"));
    auto* second = dynamic_cast<TOvcController*>(F->FindComponent("Second"));
    auto* view1 = dynamic_cast<TTestOvcView*>(F->FindComponent("View1"));
    auto* view2 = dynamic_cast<TTestOvcView*>(F->FindComponent("View2"));
    EXPECT_EQ(view1->Controller(), second);
    EXPECT_EQ(view2->Controller(), first) << "the insertion of the first controller read after it";
    // A control made at run time takes the form's first controller with its window.
    auto* view3 = NewComponent<TTestOvcView>(F);
    view3->SetParent(F);
    EXPECT_EQ(view3->Controller(), nullptr);
    view3->HandleNeeded();
    EXPECT_EQ(view3->Controller(), first);
    // The controller goes: the controls forget it.
    first->Free();
    EXPECT_EQ(view2->Controller(), nullptr);
    EXPECT_EQ(view3->Controller(), nullptr);
    EXPECT_EQ(view1->Controller(), second);
}

TEST_F(OvcFormTest, WithoutAControllerAWindowMadeAtRunTimeIsRefused) {
    TForm* F = NewPlainForm("F");
    auto* view = NewComponent<TTestOvcView>(F);
    view->SetParent(F);
    try {
        view->HandleNeeded();
        FAIL();
    } catch (const ENoControllerAssigned& e) {
        EXPECT_EQ(e.Message(), "No Controller assigned");
    }
    EXPECT_FALSE(view->HandleAllocated());
}

TEST_F(OvcFormTest, TheFreeRoutinesOfTheController) {
    TForm* F = NewPlainForm("F");
    auto* panel = NewComponent<TTestOvcView>(F);
    panel->SetParent(F);
    auto* inner = NewComponent<TTestField>(F);
    inner->SetParent(panel);
    EXPECT_EQ(GetImmediateParentForm(inner), F);
    EXPECT_EQ(GetImmediateParentForm(F), nullptr) << "the control itself is not tested";
    EXPECT_EQ(FindController(F), nullptr);
    EXPECT_EQ(FindController(nullptr), nullptr);

    TOvcController* c = nullptr;
    ResolveController(F, c);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Name(), "OvcController1");
    EXPECT_EQ(c->Owner(), F);
    TOvcController* again = nullptr;
    ResolveController(F, again);
    EXPECT_EQ(again, c);
    TOvcController* kept = c;
    ResolveController(nullptr, kept);
    EXPECT_EQ(kept, c) << "a set controller stays";

    // The name is taken by another component: no controller is left behind.
    TForm* G = NewPlainForm("G");
    NewComponent<TTestField>(G)->SetName("OvcController1");
    TOvcController* none = nullptr;
    EXPECT_THROW(ResolveController(G, none), EComponentError);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(G->ComponentCount(), 1);
}

// --- posted notifications ---

class OvcController : public OvcFormTest {
protected:
    OvcController() {
        F = NewPlainForm("F");
        C = NewComponent<TOvcController>(F);
        C->SetName("Controller");
        Field = NewComponent<TTestField>(F);
        Field->SetName("Field");
        Field->SetBounds(10, 10, 50, 20);
        Field->SetParent(F);
        Other = NewComponent<TTestField>(F);
        Other->SetName("Other");
        Other->SetBounds(10, 40, 50, 20);
        Other->SetParent(F);
        C->OnPreEdit = [this](TObject* S, TWinControl* W) { Note("pre", S, W); };
        C->OnPostEdit = [this](TObject* S, TWinControl* W) { Note("post", S, W); };
        C->OnDelayNotify = [this](TObject* S, uint16_t Code) {
            Events.push_back("delay " + dynamic_cast<TComponent*>(S)->Name() + " " + std::to_string(Code));
        };
    }
    void Note(const char* What, TObject* Sender, TWinControl* W) {
        Events.push_back(std::string(What) + " " + dynamic_cast<TComponent*>(Sender)->Name() + " " +
                         (W ? W->Name() : std::string("none")));
    }
    TForm* F;
    TOvcController* C;
    TTestField* Field;
    TTestField* Other;
    Log Events;
};

TEST_F(OvcController, NotificationsRunAfterTheCurrentMessage) {
    C->DoOnPreEdit(Field, Other);
    C->DoOnPostEdit(Field, nullptr);
    C->DelayNotify(Field, 7);
    EXPECT_TRUE(Events.empty()) << "posted, not sent";
    Ui.RunUntilIdle();
    EXPECT_EQ(Events, (Log{"pre Field Other", "post Field none", "delay Field 7"}));
}

TEST_F(OvcController, AControlGoneMeanwhileIsNoneAndAFreedSenderIsDropped) {
    C->DoOnPreEdit(Field, Other);
    Other->Free();
    C->DoOnPostEdit(Field, nullptr);
    auto* gone = NewComponent<TTestField>(F);
    gone->SetName("Gone");
    C->DoOnPreEdit(gone, Field);
    C->DelayNotify(gone, 1);
    gone->Free();
    Ui.RunUntilIdle();
    EXPECT_EQ(Events, (Log{"pre Field none", "post Field none"}));
}

TEST_F(OvcController, DelayedNotificationsNeedAHandler) {
    C->OnDelayNotify = nullptr;
    C->DelayNotify(Field, 1);
    EXPECT_EQ(PendingMessageCount(), 0u);
}

TEST_F(OvcController, AnErrorInAHandlerReachesTheApplicationAndTheLoopGoesOn) {
    Log shown;
    Application->OnException = [&](TObject*, const Exception& E) { shown.push_back(E.Message()); };
    C->OnPreEdit = [](TObject*, TWinControl*) { throw EInvalidOperation("pre-edit failed"); };
    C->DoOnPreEdit(Field, nullptr);
    C->DoOnPostEdit(Field, nullptr);
    Ui.RunUntilIdle();
    EXPECT_EQ(shown, Log{"pre-edit failed"});
    EXPECT_EQ(Events, Log{"post Field none"});
}

TEST_F(OvcController, ErrorsAndSpecialControls) {
    std::vector<std::string> boxes;
    TScriptedDialogs script;
    script.Then(mrOk);
    C->DoOnError(Field, 5, "Value is not a valid date");
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, "Value is not a valid date");
    EXPECT_EQ(script.Asked()[0].DlgType, mtError);
    C->OnError = [&](TObject*, uint16_t Code, const AnsiString& Msg) {
        boxes.push_back(std::to_string(Code) + " " + Msg);
    };
    C->DoOnError(Field, 5, "x");
    EXPECT_EQ(boxes, Log{"5 x"});
    EXPECT_EQ(script.Asked().size(), 1u);

    EXPECT_FALSE(C->IsSpecialButton(Other->Handle()));
    C->OnIsSpecialControl = [](TObject*, TWinControl* W, bool& Special) {
        Special = W && W->Name() == "Other";
    };
    EXPECT_TRUE(C->IsSpecialButton(Other->Handle()));
    EXPECT_FALSE(C->IsSpecialButton(Field->Handle()));
}

TEST_F(OvcController, TimerTriggersOfThePoolReachTheController) {
    Log ticks;
    C->OnTimerTrigger = [&](TObject*, int32_t Handle, uint32_t Interval, int32_t) {
        ticks.push_back(std::to_string(Handle) + "/" + std::to_string(Interval));
    };
    C->TimerPool()->Add(nullptr, 500);
    Clock.Advance(500);
    Ui.RunUntilIdle();
    EXPECT_EQ(ticks, Log{"0/500"});
}

// --- the entry fields of the form ---

TEST_F(OvcController, ValidationWithoutReportingWalksEveryField) {
    // Field owns a field of its own, which the walk reaches after it.
    auto* inner = NewComponent<TTestField>(Field);
    inner->SetName("Inner");
    Field->ErrorCode = 0;
    inner->ErrorCode = 3;
    Other->ErrorCode = 4;
    EXPECT_EQ(C->ValidateEntryFieldsEx(false, false), inner);
    EXPECT_EQ(Other->Validations, 1) << "the walk goes on after the first failure";
    Ui.RunUntilIdle();
    EXPECT_TRUE(inner->Reported.empty());
    EXPECT_FALSE(C->ErrorPending);
}

TEST_F(OvcController, AFailingFieldIsReportedAndTakesTheFocusBack) {
    Other->ErrorCode = 9;
    F->Show();
    Ui.RunUntilIdle();
    Field->SetFocus();
    EXPECT_EQ(C->ValidateEntryFields(), Other);
    EXPECT_TRUE(C->ErrorPending);
    Ui.RunUntilIdle();
    EXPECT_EQ(Other->Reported, std::vector<uint16_t>{9});
    EXPECT_TRUE(Other->Focused());
    // While the error is pending nothing more is posted.
    EXPECT_EQ(C->ValidateEntryFields(), Other);
    Ui.RunUntilIdle();
    EXPECT_EQ(Other->Reported.size(), 1u);
}

TEST_F(OvcController, HiddenOrDisabledFieldsAreSkippedWithWhatTheyOwn) {
    auto* inner = NewComponent<TTestField>(Field);
    inner->ErrorCode = 1;
    Other->ErrorCode = 2;
    Field->SetVisible(false);
    EXPECT_EQ(C->ValidateEntryFieldsEx(false, false), Other);
    EXPECT_EQ(inner->Validations, 0);
    Field->SetVisible(true);
    Field->SetEnabled(false);
    EXPECT_EQ(C->ValidateEntryFieldsEx(false, false), Other);
    EXPECT_EQ(inner->Validations, 0);
    Field->SetEnabled(true);
    EXPECT_EQ(C->ValidateEntryFieldsEx(false, false), inner);

    TComponent* these[] = {Field, Other};
    Field->SetVisible(false);
    EXPECT_EQ(C->ValidateTheseEntryFields(these), Other) << "the given fields are tested as they are";
    Other->ErrorCode = 0;
    EXPECT_EQ(C->ValidateTheseEntryFields(these), nullptr);
}

TEST_F(OvcController, FieldsAreMarkedUninitializedInDepth) {
    auto* inner = NewComponent<TTestField>(Field);
    C->MarkAsUninitialized(true);
    EXPECT_TRUE(Field->Uninitialized);
    EXPECT_TRUE(Other->Uninitialized);
    EXPECT_TRUE(inner->Uninitialized);
    C->MarkAsUninitialized(false);
    EXPECT_FALSE(inner->Uninitialized);
    // A controller that is not on a form walks nothing.
    TOvcController* loose = NewComponent<TOvcController>(Field);
    Other->ErrorCode = 1;
    loose->MarkAsUninitialized(true);
    EXPECT_FALSE(Other->Uninitialized);
    EXPECT_EQ(loose->ValidateEntryFields(), nullptr);
}

}  // namespace
