#include "platform/ui/ActnList.h"

#include <algorithm>

#include "platform/classes/Properties.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_CLASS(TBasicAction, TComponent)
ZELMOR_IMPLEMENT_CLASS(TBasicActionLink, TObject)
ZELMOR_IMPLEMENT_CLASS(TContainedAction, TBasicAction)
ZELMOR_IMPLEMENT_CLASS(TCustomAction, TContainedAction)
ZELMOR_IMPLEMENT_COMPONENT(TAction, TCustomAction)
ZELMOR_IMPLEMENT_CLASS(TCustomActionList, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TActionList, TCustomActionList)
ZELMOR_IMPLEMENT_CLASS(TControlActionLink, TBasicActionLink)

// ---------------------------------------------------------------------------
// TBasicAction
// ---------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    // The links outlive the action only as empty links.
    while (!FClients.empty()) UnRegisterChanges(FClients.back());
}

void TBasicAction::DescribeProperties(TPropertyTable& T) {
    T.Event("OnExecute", &TBasicAction::OnExecute);
    T.Event("OnUpdate", &TBasicAction::OnUpdate);
}

bool TBasicAction::HandlesTarget(TObject*) { return false; }
void TBasicAction::ExecuteTarget(TObject*) {}
void TBasicAction::UpdateTarget(TObject*) {}

bool TBasicAction::Execute() {
    if (!Assigned(OnExecute)) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!Assigned(OnUpdate)) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::Change() {
    // A client may drop its link while it hears of the change.
    const std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
    Link->FAction = this;
    FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
    auto it = std::find(FClients.begin(), FClients.end(), Link);
    if (it == FClients.end()) return;
    FClients.erase(it);
    Link->FAction = nullptr;
}

// ---------------------------------------------------------------------------
// TBasicActionLink
// ---------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* Component) {
    if (!FAction) return false;
    FAction->SetActionComponent(Component);
    try {
        bool done = FAction->Execute();
        if (FAction) FAction->SetActionComponent(nullptr);
        return done;
    } catch (...) {
        if (FAction) FAction->SetActionComponent(nullptr);
        throw;
    }
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
    if (Assigned(OnChange)) OnChange(FAction);
}

bool TBasicActionLink::IsCaptionLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TBasicActionLink::IsCheckedLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TBasicActionLink::IsEnabledLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TBasicActionLink::IsHintLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TBasicActionLink::IsImageIndexLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TBasicActionLink::IsVisibleLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }

// ---------------------------------------------------------------------------
// TContainedAction and TCustomAction
// ---------------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::DescribeProperties(TPropertyTable& T) {
    T.Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (Value == FActionList) return;
    if (FActionList) FActionList->RemoveAction(this);
    if (Value) Value->AddAction(this);
}

int TContainedAction::Index() const { return FActionList ? FActionList->IndexOfAction(this) : -1; }

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* Value) {
    if (auto* list = dynamic_cast<TCustomActionList*>(Value)) SetActionList(list);
}

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

namespace {
// The clients hear the new value while the action still holds the old one:
// a link that stays linked only while the two agree (a grouped button's
// Down and the action's Checked) compares them then.
template <class T, class Setter>
bool PassOn(const std::vector<TBasicActionLink*>& Clients, T& Field, const T& Value, Setter Pass) {
    if (Value == Field) return false;
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(Clients)) (link->*Pass)(Value);
    Field = Value;
    return true;
}
}  // namespace

void TCustomAction::SetCaption(const AnsiString& Value) {
    if (PassOn(Clients(), FCaption, Value, &TBasicActionLink::SetCaption)) Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (PassOn(Clients(), FChecked, Value, &TBasicActionLink::SetChecked)) Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (PassOn(Clients(), FEnabled, Value, &TBasicActionLink::SetEnabled)) Change();
}

void TCustomAction::SetHint(const AnsiString& Value) {
    if (PassOn(Clients(), FHint, Value, &TBasicActionLink::SetHint)) Change();
}

void TCustomAction::SetImageIndex(int Value) {
    if (PassOn(Clients(), FImageIndex, Value, &TBasicActionLink::SetImageIndex)) Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (PassOn(Clients(), FVisible, Value, &TBasicActionLink::SetVisible)) Change();
}

namespace {
// The focused control and its parents, nearest first: who serves an action
// that has no handler of its own.
std::vector<TControl*> ActionTargets() {
    std::vector<TControl*> targets;
    TWinControl* focused = Screen ? Screen->ActiveControl() : nullptr;
    for (TControl* c = focused; c; c = c->Parent()) targets.push_back(c);
    return targets;
}
}  // namespace

bool TCustomAction::Execute() {
    Update();
    if (!FEnabled) return false;
    if (TBasicAction::Execute()) return true;
    for (TControl* target : ActionTargets())
        if (target->ExecuteAction(this)) return true;
    return false;
}

bool TCustomAction::Update() {
    if (TBasicAction::Update()) return true;
    for (TControl* target : ActionTargets())
        if (target->UpdateAction(this)) return true;
    return false;
}

void TAction::DescribeProperties(TPropertyTable& T) {
    using A = TCustomAction;
    T.Property("Caption", &A::Caption, &A::SetCaption);
    T.Property("Checked", &A::Checked, &A::SetChecked).Default(false);
    T.Property("Enabled", &A::Enabled, &A::SetEnabled).Default(true);
    T.Property("HelpContext", &A::HelpContext, &A::SetHelpContext).Default(0);
    T.Property("Hint", &A::Hint, &A::SetHint);
    T.Property("ImageIndex", &A::ImageIndex, &A::SetImageIndex).Default(-1);
    T.Property("Visible", &A::Visible, &A::SetVisible).Default(true);
}

// ---------------------------------------------------------------------------
// TCustomActionList
// ---------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
    while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
}

int TCustomActionList::IndexOfAction(const TContainedAction* Action) const {
    auto it = std::find(FActions.begin(), FActions.end(), Action);
    return it == FActions.end() ? -1 : static_cast<int>(it - FActions.begin());
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions)) action->Change();
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TContainedAction* action : FActions)
        if (action->Owner() == Root) Proc(action);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) SetImages(nullptr);
    if (auto* action = dynamic_cast<TContainedAction*>(AComponent); action && action->ActionList() == this)
        RemoveAction(action);
}

void TCustomActionList::AddAction(TContainedAction* Action) {
    FActions.push_back(Action);
    Action->FActionList = this;
    Action->FreeNotification(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
    auto it = std::find(FActions.begin(), FActions.end(), Action);
    if (it == FActions.end()) return;
    FActions.erase(it);
    Action->FActionList = nullptr;
    Action->RemoveFreeNotification(this);
}

void TActionList::DescribeProperties(TPropertyTable& T) {
    T.Property("Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
}

// ---------------------------------------------------------------------------
// TControlActionLink
// ---------------------------------------------------------------------------

void TControlActionLink::SetCaption(const AnsiString& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const AnsiString& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}

void RegisterActionClasses() {
    RegisterClasses({&TActionList::StaticClassInfo(), &TAction::StaticClassInfo()});
}
