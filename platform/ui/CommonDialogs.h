#pragma once
// What the common dialogs share (find and replace, font, open and save, page
// setup, colour, print): each is a form of ours, and each Execute first asks
// the dialog script, when one is installed. The script gets the dialog with
// the properties the program gave it and either answers it as the user
// would (it changes the properties, and for the modeless find and replace
// dialogs it presses their buttons through ClickFindNext ...), saying
// whether the user confirmed, or lets the form show. So a test answers a
// dialog without showing it, or lets it show and drives it with keys.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/ui/Controls.h"

class TCustomForm;

// A dialog's base: the events around its showing.
class TCommonDialog : public TComponent {
    ZELMOR_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    virtual bool Execute() = 0;
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    void DoShow();
    void DoClose();

private:
    int FHelpContext = 0;
};

class TDialogScript {
public:
    virtual ~TDialogScript() = default;
    // True or false: the dialog is answered (confirmed or not) and does not
    // show. Nothing: the dialog shows as a form.
    virtual std::optional<bool> Answer(TComponent* Dialog) = 0;
};

// The script in use (null: every dialog shows); SetDialogScript answers the
// one it replaces.
TDialogScript* DialogScript();
TDialogScript* SetDialogScript(TDialogScript* Script);
// What Execute asks first: the script's answer, or nothing.
std::optional<bool> AskDialogScript(TComponent* Dialog);

// Answers dialogs from a queue, in order, and records the class of each one
// asked. A dialog with no answer queued shows as a form. Installs itself for
// its lifetime.
class TScriptedDialogScript : public TDialogScript {
public:
    TScriptedDialogScript();
    ~TScriptedDialogScript() override;
    TScriptedDialogScript(const TScriptedDialogScript&) = delete;
    TScriptedDialogScript& operator=(const TScriptedDialogScript&) = delete;
    // The next answer: Step acts as the user on the dialog and says whether he confirmed.
    TScriptedDialogScript& Then(std::function<bool(TComponent* Dialog)> Step);
    const std::vector<AnsiString>& Asked() const { return FAsked; }
    size_t Pending() const { return FSteps.size(); }
    std::optional<bool> Answer(TComponent* Dialog) override;

private:
    std::deque<std::function<bool(TComponent*)>> FSteps;
    std::vector<AnsiString> FAsked;
    TDialogScript* FPrevious = nullptr;
};

// A control of a dialog's form, named and placed (Name and Caption may be null).
template <class T>
T* AddDialogControl(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int X,
                    int Y, int W, int H) {
    T* C = NewComponent<T>(Owner);
    if (Name) C->SetName(Name);
    C->SetParent(Parent);
    C->SetBounds(X, Y, W, H);
    if (Caption) C->SetCaption(Caption);
    return C;
}
