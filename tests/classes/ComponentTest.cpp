#include <gtest/gtest.h>

#include <algorithm>

#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

namespace {
using TLog = std::vector<AnsiString>;

// Writes every notification it hears ("Grid-DS": Grid heard that DS goes) and
// its own end ("~Grid") into a shared log, and forgets a watched component
// when that one goes.
class TProbe : public TComponent {
    ZELMOR_CLASS(TProbe, TComponent)
    TProbe(TComponent* AOwner, TLog* Log, const AnsiString& AName) : TComponent(AOwner), FLog(Log) {
        SetName(AName);
    }
    ~TProbe() override { FLog->push_back("~" + Name()); }
    void Watch(TComponent* Other) {
        Watched = Other;
        Other->FreeNotification(this);
    }
    TComponent* Watched = nullptr;
    using TComponent::Loaded;
    using TComponent::Loading;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        inherited::Notification(AComponent, Operation);
        FLog->push_back(Name() + (Operation == opInsert ? "+" : "-") + AComponent->Name());
        if (Operation == opRemove && AComponent == Watched) Watched = nullptr;
    }
    TLog* FLog;
};

class TController : public TProbe {
    ZELMOR_CLASS(TController, TProbe)
    TController(TComponent* AOwner, TLog* Log = nullptr, const AnsiString& AName = "Controller")
        : TProbe(AOwner, Log ? Log : &Unheard(), AName) {}
    static TLog& Unheard() {
        static TLog log;
        return log;
    }
};

// Takes the first controller that joins its owner, as the library's controls do.
class TControlEx : public TProbe {
    ZELMOR_CLASS(TControlEx, TProbe)
    using TProbe::TProbe;
    TController* Controller = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TProbe::Notification(AComponent, Operation);
        if (Operation == opInsert && !Controller) Controller = dynamic_cast<TController*>(AComponent);
        if (Operation == opRemove && AComponent == Controller) Controller = nullptr;
    }
};

ZELMOR_IMPLEMENT_CLASS(TProbe, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TController, TProbe)
ZELMOR_IMPLEMENT_CLASS(TControlEx, TProbe)

bool Heard(const TLog& Log, const char* Entry) {
    return std::find(Log.begin(), Log.end(), Entry) != Log.end();
}
}  // namespace

TEST(Components, FreeingAnOwnerFreesWhatItOwnsLastFirst) {
    struct Case {
        const char* How;
        void (*End)(TComponent*);
        TLog Expected;
    };
    const Case cases[] = {
        // Free: the owned components go while the owner is still whole.
        {"Free", [](TComponent* c) { c->Free(); }, {"~B", "~A1", "~A", "~Form"}},
        // delete: the owner's own destructor has already run when they go.
        {"delete", [](TComponent* c) { delete c; }, {"~Form", "~B", "~A1", "~A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.How);
        TLog log;
        auto* form = new TProbe(nullptr, &log, "Form");
        auto* a = new TProbe(form, &log, "A");
        new TProbe(a, &log, "A1");
        new TProbe(form, &log, "B");
        log.clear();
        c.End(form);
        EXPECT_EQ(log, c.Expected);
    }
}

TEST(Components, FreeNotificationLinksBothWaysAcrossOwners) {
    for (bool watchedGoesFirst : {true, false}) {
        SCOPED_TRACE(watchedGoesFirst ? "data module freed first" : "form freed first");
        TLog log;
        auto* module = new TProbe(nullptr, &log, "Module");
        auto* form = new TProbe(nullptr, &log, "Form");
        auto* ds = new TProbe(module, &log, "DS");
        auto* grid = new TProbe(form, &log, "Grid");
        grid->Watch(ds);
        EXPECT_TRUE(ds->ComponentState().Contains(csFreeNotification));
        if (watchedGoesFirst) {
            module->Free();
            EXPECT_EQ(grid->Watched, nullptr);
            EXPECT_TRUE(Heard(log, "Grid-DS"));
            form->Free();
        } else {
            form->Free();
            EXPECT_TRUE(Heard(log, "DS-Grid"));
            log.clear();
            // The link is gone on both sides: freeing DS now must not reach the dead grid.
            module->Free();
            EXPECT_EQ(log, (TLog{"DS-DS", "Module-DS", "~DS", "~Module"}));
        }
    }
}

TEST(Components, AnOwnerTellsItsComponentsWhenOneGoesWhileStillWhole) {
    TLog log;
    auto* form = new TProbe(nullptr, &log, "Form");
    auto* ds = new TProbe(form, &log, "DS");
    auto* grid = new TProbe(form, &log, "Grid");
    grid->Watch(ds);
    form->Watch(ds);
    ds->Free();
    EXPECT_EQ(grid->Watched, nullptr);
    EXPECT_EQ(form->Watched, nullptr);
    EXPECT_EQ(form->ComponentCount(), 1);

    // Freeing the form: a watched component is announced, and the form's own
    // Notification override still runs because the form is whole.
    auto* ds2 = new TProbe(form, &log, "DS2");
    form->Watch(ds2);
    log.clear();
    form->Free();
    EXPECT_TRUE(Heard(log, "Form-DS2"));
    EXPECT_EQ(log.back(), "~Form");
}

TEST(Components, AComponentFreedDirectlyLeavesItsOwnersList) {
    for (bool useDelete : {false, true}) {
        SCOPED_TRACE(useDelete ? "delete" : "Free");
        TLog log;
        TProbe form(nullptr, &log, "Form");
        auto* a = new TProbe(&form, &log, "A");
        auto* b = new TProbe(&form, &log, "B");
        auto* c = new TProbe(&form, &log, "C");
        log.clear();
        if (useDelete) delete b;
        else b->Free();
        ASSERT_EQ(form.ComponentCount(), 2);
        EXPECT_EQ(form.Components(0), a);
        EXPECT_EQ(form.Components(1), c);
        EXPECT_EQ(form.FindComponent("B"), nullptr);
        for (const char* heard : {"Form-B", "A-B", "C-B"}) EXPECT_TRUE(Heard(log, heard)) << heard;
        EXPECT_THROW(form.Components(2), EListError);
    }
}

TEST(Components, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
    TLog log;
    TProbe form(nullptr, &log, "Form");
    TProbe button(&form, &log, "Button1");
    TProbe edit(&form, &log, "");
    TProbe unnamed(&form, &log, "");
    struct Case {
        const char* Name;
        const char* Error;
    };
    const Case cases[] = {
        {"button1", "A component named button1 already exists"},
        {"1abc", "'1abc' is not a valid component name"},
        {"Caja Texto", "'Caja Texto' is not a valid component name"},
        {"Se\xF1ores", "'Se\xF1ores' is not a valid component name"},
        {"Edit_2", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        AnsiString before = edit.Name();
        if (c.Error) {
            try {
                edit.SetName(c.Name);
                ADD_FAILURE() << "accepted";
            } catch (const EComponentError& e) {
                EXPECT_EQ(e.Message(), c.Error);
            }
            EXPECT_EQ(edit.Name(), before);
        } else {
            edit.SetName(c.Name);
            EXPECT_EQ(edit.Name(), c.Name);
        }
    }
    button.SetName("BUTTON1");  // its own name in another case
    EXPECT_EQ(form.FindComponent("button1"), &button);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_EQ(form.FindComponent("Nope"), nullptr);

    // Moving a component into an owner that has its name fails and leaves it where it was.
    TProbe other(nullptr, &log, "Other");
    auto* stranger = new TProbe(&other, &log, "Button1");
    EXPECT_THROW(form.InsertComponent(stranger), EComponentError);
    EXPECT_EQ(stranger->Owner(), &other);
    stranger->SetName("Button2");
    log.clear();
    form.InsertComponent(stranger);
    EXPECT_EQ(stranger->Owner(), &form);
    EXPECT_EQ(other.ComponentCount(), 0);
    EXPECT_TRUE(Heard(log, "Other-Button2"));
    EXPECT_TRUE(Heard(log, "Form+Button2"));
    EXPECT_THROW(stranger->InsertComponent(&form), EComponentError);
    EXPECT_THROW(stranger->InsertComponent(stranger), EComponentError);
}

TEST(Components, OwnersRecogniseTheClassOfAComponentCreatedWhole) {
    TLog log;
    TProbe form(nullptr, &log, "Form");
    auto* control = new TControlEx(&form, &log, "Control");
    auto* controller = NewComponent<TController>(&form, &log, "Ctl");
    EXPECT_EQ(control->Controller, controller);
    EXPECT_TRUE(Heard(log, "Form+Ctl"));

    // Creation by class name goes the same way, as the form reader creates.
    TProbe form2(nullptr, &log, "Form2");
    auto* control2 = new TControlEx(&form2, &log, "Control2");
    TObject* created = TController::StaticClassInfo().Create(&form2);
    EXPECT_EQ(control2->Controller, created);
    EXPECT_EQ(static_cast<TComponent*>(created)->Owner(), &form2);
    TPersistent notAnOwner;
    EXPECT_THROW(TController::StaticClassInfo().Create(&notAnOwner), EInvalidCast);

    controller->Free();
    EXPECT_EQ(control->Controller, nullptr);
}

TEST(Components, NestedNamesIndexAndStateFlags) {
    TLog log;
    TProbe form(nullptr, &log, "Form");
    auto* frame = new TProbe(&form, &log, "Frame1");
    auto* edit = new TProbe(frame, &log, "Edit1");
    auto* label = new TProbe(&form, &log, "Label1");
    EXPECT_EQ(FindNestedComponent(&form, "frame1.EDIT1"), edit);
    EXPECT_EQ(FindNestedComponent(&form, "Label1"), label);
    EXPECT_EQ(FindNestedComponent(&form, "Frame1.Label1"), nullptr);
    EXPECT_EQ(FindNestedComponent(&form, ""), nullptr);

    label->SetComponentIndex(0);
    EXPECT_EQ(form.Components(0), label);
    EXPECT_EQ(frame->ComponentIndex(), 1);
    label->SetComponentIndex(99);
    EXPECT_EQ(label->ComponentIndex(), 1);
    EXPECT_EQ(form.ComponentIndex(), -1);

    form.Loading();
    EXPECT_TRUE(form.ComponentState().Contains(csLoading));
    form.Loaded();
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
    form.Updating();
    EXPECT_TRUE(form.ComponentState().Contains(csUpdating));
    form.Updated();
    EXPECT_TRUE(form.ComponentState().Empty());

    frame->Destroying();
    EXPECT_TRUE(edit->ComponentState().Contains(csDestroying));
    EXPECT_FALSE(label->ComponentState().Contains(csDestroying));
    EXPECT_EQ(edit->GetNamePath(), "Edit1");
}
