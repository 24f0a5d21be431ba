#include "platform/classes/Component.h"

#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_COMPONENT(TComponent, TPersistent)

namespace {
thread_local bool tHoldInsert = false;

// The field of Owner's class that is named like a component it owns.
const TPropertyTable::TFieldInfo* FieldOf(const TComponent* Owner, std::string_view Name) {
    if (!Owner || Name.empty() || Owner->ComponentState().Contains(csDestroying)) return nullptr;
    return GetPropertyTable(*Owner->ClassInfo()).FindField(Name);
}

void CheckField(const TComponent* Owner, std::string_view Name, const TComponent* Component) {
    const TPropertyTable::TFieldInfo* field = FieldOf(Owner, Name);
    if (field && !Component->InheritsFrom(*field->Class))
        throw EComponentError("Field " + AnsiString(Name) + " of " + Owner->ClassName() + " is a " +
                              field->Class->Name + ", not a " + Component->ClassName());
}

// Not while the owner is being destroyed: its own part may be gone already.
void SetField(TComponent* Owner, std::string_view Name, TComponent* Component, bool Enable) {
    const TPropertyTable::TFieldInfo* field = FieldOf(Owner, Name);
    if (!field) return;
    if (Enable) {
        if (Component->InheritsFrom(*field->Class)) field->Set(Owner, Component);
    } else if (field->Get(Owner) == Component) {
        field->Set(Owner, nullptr);
    }
}

template <class T>
void Erase(std::vector<T*>& List, T* Item) {
    auto it = std::find(List.begin(), List.end(), Item);
    if (it != List.end()) List.erase(it);
}
}  // namespace

namespace zelmor_detail {
TWholeInsert::TWholeInsert() { tHoldInsert = true; }
TWholeInsert::~TWholeInsert() { tHoldInsert = false; }

void TWholeInsert::Finish(TComponent* Created) {
    if (!Created->FInsertPending) return;
    Created->FInsertPending = false;
    Created->FOwner->Notification(Created, opInsert);
}

void TWholeInsert::Complete(TComponent* Created) {
    try {
        Created->AfterConstruction();
    } catch (...) {
        Created->Free();
        throw;
    }
}

TComponent* OwnerArgument(TObject* Owner) {
    if (!Owner) return nullptr;
    if (auto* component = dynamic_cast<TComponent*>(Owner)) return component;
    throw EInvalidCast("A " + Owner->ClassName() + " cannot own a component");
}
}  // namespace zelmor_detail

TComponent::TComponent(TComponent* AOwner) {
    // Taken here, by the first constructor of the chain, so that components this
    // one creates in its own constructor are not held back as well.
    bool hold = std::exchange(tHoldInsert, false);
    if (!AOwner) return;
    if (hold) {
        AOwner->Insert(this);
        FInsertPending = true;
    } else {
        AOwner->InsertComponent(this);
    }
}

TComponent::~TComponent() { TearDown(); }

void TComponent::BeforeDestruction() { TearDown(); }

void TComponent::TearDown() {
    if (FTornDown) return;
    FTornDown = true;
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) {
        if (FInsertPending) FOwner->Remove(this);  // its constructor failed: nobody heard of it
        else FOwner->RemoveComponent(this);
    }
}

void TComponent::DescribeProperties(TPropertyTable& T) {
    // The writer puts the name in the object's header line, not among its properties.
    T.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    T.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FComponents[Index];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int Index) {
    if (!FOwner) return;
    auto& list = FOwner->FComponents;
    int current = ComponentIndex();
    Index = std::clamp(Index, 0, static_cast<int>(list.size()) - 1);
    if (Index == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Index, this);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    SetField(this, AComponent->FName, AComponent, true);
}

void TComponent::Remove(TComponent* AComponent) {
    SetField(this, AComponent->FName, AComponent, false);
    Erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    // An owner chain that loops would free and notify without end.
    for (const TComponent* o = this; o; o = o->FOwner)
        if (o == AComponent) throw EComponentError("A component cannot own itself or its owners");
    ValidateRename(AComponent, AnsiString(), AComponent->FName);
    CheckField(this, AComponent->FName, AComponent);
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    // A Notification override may already have moved or freed it.
    if (AComponent->FOwner == this) Remove(AComponent);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        // Only a component someone watches is announced; the rest go quietly,
        // as nobody else can hold them.
        if (instance->FComponentState.Contains(csFreeNotification)) RemoveComponent(instance);
        if (instance->FOwner == this) Remove(instance);
        instance->Free();
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::SetName(const AnsiString& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner) FOwner->ValidateRename(this, FName, NewName);
    else ValidateRename(nullptr, FName, NewName);
    CheckField(FOwner, NewName, this);
    SetField(FOwner, FName, this, false);
    FName = NewName;
    SetField(FOwner, FName, this, true);
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName,
                                const AnsiString& NewName) {
    if (AComponent && !SameText(CurName, NewName) && FindComponent(NewName))
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* AComponent) { Erase(FFreeNotifies, AComponent); }

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    // Counting down and re-reading the size: a receiver may free components of this list.
    for (size_t i = FComponents.size(); i-- > 0;) {
        if (i >= FComponents.size()) continue;
        FComponents[i]->Notification(AComponent, Operation);
    }
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}
TComponent* TComponent::GetChildOwner() { return nullptr; }
TComponent* TComponent::GetChildParent() { return this; }
bool TComponent::HasParent() const { return false; }
TComponent* TComponent::GetParentComponent() const { return nullptr; }
void TComponent::SetParentComponent(TComponent*) {}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::Updating() { FComponentState.Include(csUpdating); }
void TComponent::Updated() { FComponentState.Exclude(csUpdating); }
void TComponent::Loading() { FComponentState.Include(csLoading); }
void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetAncestor(bool Value) {
    if (Value) FComponentState.Include(csAncestor);
    else FComponentState.Exclude(csAncestor);
    for (TComponent* c : FComponents) c->SetAncestor(Value);
}

void TComponent::SetInline(bool Value) {
    if (Value) FComponentState.Include(csInline);
    else FComponentState.Exclude(csInline);
}

AnsiString TComponent::GetNamePath() const { return FName; }

TComponent* FindNestedComponent(TComponent* Root, std::string_view Path) {
    TComponent* current = Root;
    while (current && !Path.empty()) {
        size_t dot = Path.find('.');
        current = current->FindComponent(Path.substr(0, dot));
        Path = dot == std::string_view::npos ? std::string_view() : Path.substr(dot + 1);
    }
    return current == Root ? nullptr : current;
}

bool IsValidIdent(std::string_view S) {
    auto start = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (S.empty() || !start(S[0])) return false;
    return std::all_of(S.begin() + 1, S.end(), [&](char c) { return start(c) || (c >= '0' && c <= '9'); });
}
