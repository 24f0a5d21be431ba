#include "platform/ui/CommonDialogs.h"

#include "platform/classes/Properties.h"

ZELMOR_IMPLEMENT_CLASS(TCommonDialog, TComponent)

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TCommonDialog::DescribeProperties(TPropertyTable& T) {
    T.Property("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).Default(0);
    T.Event("OnClose", &TCommonDialog::OnClose);
    T.Event("OnShow", &TCommonDialog::OnShow);
}

void TCommonDialog::DoShow() {
    if (Assigned(OnShow)) OnShow(this);
}

void TCommonDialog::DoClose() {
    if (Assigned(OnClose)) OnClose(this);
}

namespace {
TDialogScript*& CurrentScript() {
    static TDialogScript* Script = nullptr;
    return Script;
}
}  // namespace

TDialogScript* DialogScript() { return CurrentScript(); }

TDialogScript* SetDialogScript(TDialogScript* Script) {
    TDialogScript* Old = CurrentScript();
    CurrentScript() = Script;
    return Old;
}

std::optional<bool> AskDialogScript(TComponent* Dialog) {
    if (TDialogScript* S = CurrentScript()) return S->Answer(Dialog);
    return std::nullopt;
}

TScriptedDialogScript::TScriptedDialogScript() : FPrevious(SetDialogScript(this)) {}

TScriptedDialogScript::~TScriptedDialogScript() { SetDialogScript(FPrevious); }

TScriptedDialogScript& TScriptedDialogScript::Then(std::function<bool(TComponent*)> Step) {
    FSteps.push_back(std::move(Step));
    return *this;
}

std::optional<bool> TScriptedDialogScript::Answer(TComponent* Dialog) {
    FAsked.push_back(Dialog->ClassName());
    if (FSteps.empty()) return std::nullopt;
    auto Step = std::move(FSteps.front());
    FSteps.pop_front();
    return Step(Dialog);
}
