#include "reportview/OvcBase.h"

#include <algorithm>
#include <functional>

#include "platform/classes/Filer.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_COMPONENT(TOvcComponent, TComponent)
ZELMOR_IMPLEMENT_CLASS(TOvcGraphicControl, TGraphicControl)
ZELMOR_IMPLEMENT_CLASS(TOvcLabelInfo, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TOvcAttachedLabel, TLabel)
ZELMOR_IMPLEMENT_CLASS(TOvcCustomControl, TCustomControl)
ZELMOR_IMPLEMENT_CLASS(TOvcCustomControlEx, TOvcCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TOvcController, TOvcComponent)
ZELMOR_IMPLEMENT_CLASS(TOvcCollection, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TOvcCollectible, TOvcComponent)
ZELMOR_IMPLEMENT_CLASS(TOvcCollectibleControl, TOvcCustomControl)

namespace {

// Texts of the collection and label errors in the library's string table.
enum : uint16_t {
    SNoCollection = 30241,
    SOwnerNotOvc = 30242,
    SItemIncompatible = 30243,
    SLabelNotAttached = 30244,
    SItemClassNotSet = 30245,
    SNoCollectionForType = 30246,
};

[[noreturn]] void Fail(uint16_t Id) { throw Exception(GetRvLibStr(Id)); }

bool IsLoading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }

// Each component Root owns and, in depth, each one they own; Visit answers
// whether to go into the components of the one it was given.
void WalkOwned(TComponent* Root, const std::function<bool(TComponent*)>& Visit) {
    for (int i = 0; i < Root->ComponentCount(); ++i) {
        TComponent* c = Root->Components(i);
        if (Visit(c)) WalkOwned(c, Visit);
    }
}

void AboutProperty(TPropertyTable& T, auto Getter, auto Setter) {
    T.Property("About", Getter, Setter).Stored(false);
}

}  // namespace

// --- the collection streamer ---

TOvcCollection* TOvcCollectionStreamer::CollectionFromType(const TComponent* Item) const {
    for (TOvcCollection* c : FCollections)
        if (c->ItemClass() && Item->InheritsFrom(*c->ItemClass())) return c;
    Fail(SNoCollectionForType);
}

void TOvcCollectionStreamer::GetChildren(const TGetChildProc& Proc) const {
    for (TOvcCollection* c : FCollections)
        if (c->ItemsStored)
            for (int i = 0; i < c->Count(); ++i) Proc(c->Item(i));
}

void TOvcCollectionStreamer::Loaded() {
    for (TOvcCollection* c : FCollections) c->Loaded();
}

void TOvcCollectionStreamer::Clear() {
    for (TOvcCollection* c : FCollections) c->Clear();
}

// --- base component and graphic control ---

void TOvcComponent::DescribeProperties(TPropertyTable& T) {
    AboutProperty(T, &TOvcComponent::About, &TOvcComponent::SetAbout);
}

TOvcComponent::TOvcComponent(TComponent* AOwner) : TComponent(AOwner) {}
TOvcComponent::~TOvcComponent() = default;

void TOvcComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (FStreamer) FStreamer->GetChildren(Proc);
    else TComponent::GetChildren(Proc, Root);
}

TComponent* TOvcComponent::GetChildOwner() { return FStreamer ? this : TComponent::GetChildOwner(); }

void TOvcComponent::Loaded() {
    if (FStreamer) FStreamer->Loaded();
    TComponent::Loaded();
}

void TOvcGraphicControl::DescribeProperties(TPropertyTable& T) {
    AboutProperty(T, &TOvcGraphicControl::About, &TOvcGraphicControl::SetAbout);
}

TOvcGraphicControl::TOvcGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner) {}
TOvcGraphicControl::~TOvcGraphicControl() = default;

void TOvcGraphicControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (FStreamer) FStreamer->GetChildren(Proc);
    else TGraphicControl::GetChildren(Proc, Root);
}

TComponent* TOvcGraphicControl::GetChildOwner() {
    return FStreamer ? this : TGraphicControl::GetChildOwner();
}

void TOvcGraphicControl::Loaded() {
    if (FStreamer) FStreamer->Loaded();
    TGraphicControl::Loaded();
}

// --- label settings ---

void TOvcLabelInfo::DescribeProperties(TPropertyTable& T) {
    T.Property("OffsetX", &TOvcLabelInfo::OffsetX, &TOvcLabelInfo::SetOffsetX)
        .NoDefault()
        .Stored(&TOvcLabelInfo::IsVisible);
    T.Property("OffsetY", &TOvcLabelInfo::OffsetY, &TOvcLabelInfo::SetOffsetY)
        .NoDefault()
        .Stored(&TOvcLabelInfo::IsVisible);
    T.Property("Visible", &TOvcLabelInfo::Visible, &TOvcLabelInfo::SetVisible).Default(false);
}

void TOvcLabelInfo::SetOffsetX(int Value) { SetOffsets(Value, FOffsetY); }
void TOvcLabelInfo::SetOffsetY(int Value) { SetOffsets(FOffsetX, Value); }

void TOvcLabelInfo::SetOffsets(int X, int Y) {
    if (X == FOffsetX && Y == FOffsetY) return;
    FOffsetX = X;
    FOffsetY = Y;
    if (OnChange) OnChange(this);
}

void TOvcLabelInfo::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (OnAttach) OnAttach(this, Value);
}

// --- the attached label ---

void TOvcAttachedLabel::DescribeProperties(TPropertyTable& T) {
    T.Property("Control", &TOvcAttachedLabel::Control, &TOvcAttachedLabel::SetControl);
}

TOvcAttachedLabel::TOvcAttachedLabel(TComponent* AOwner) : TLabel(AOwner) {}

TOvcAttachedLabel::TOvcAttachedLabel(TComponent* AOwner, TWinControl* AControl) : TLabel(AOwner) {
    SetAutoSize(true);
    SetParentFont(true);
    SetTransparent(false);
    SetControl(AControl);
    SetFocusControl(AControl);
}

void TOvcAttachedLabel::SetControl(TWinControl* Value) {
    if (FControl == Value) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (FControl) FControl->FreeNotification(this);
}

void TOvcAttachedLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl) FControl = nullptr;
}

void TOvcAttachedLabel::Loaded() {
    TLabel::Loaded();
    SavePosition();
}

void TOvcAttachedLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    SavePosition();
}

void TOvcAttachedLabel::SavePosition() {
    TComponentState state = ComponentState();
    if (state.Contains(csLoading) || state.Contains(csDestroying) || !FControl) return;
    TCustomForm* form = GetParentForm(this);
    if (!form || FControl->Owner() != form) return;
    // The control takes this label and records where it stands now: done
    // at once, so that the control's offsets agree with the label before
    // anything else runs.
    FControl->Perform(OM_ASSIGNLABEL, 0, reinterpret_cast<LPARAM>(this));
    FControl->Perform(OM_RECORDLABELPOSITION, 0, 0);
}

// --- the label handling of a control ---

TOvcLabelled::TOvcLabelled(TWinControl* Control)
    : FControl(Control), FLabelInfo(std::make_unique<TOvcLabelInfo>()) {
    FLabelInfo->OnChange = [this](TObject* Sender) { LabelChange(Sender); };
    FLabelInfo->OnAttach = [this](TObject* Sender, bool Value) { LabelAttach(Sender, Value); };
}

TOvcLabelled::~TOvcLabelled() = default;

void TOvcLabelled::SetLabelInfo(TOvcLabelInfo* Value) {
    FLabelInfo->SetOffsets(Value->OffsetX(), Value->OffsetY());
    FLabelInfo->SetVisible(Value->Visible());
}

bool TOvcLabelled::Loading() const { return IsLoading(FControl); }

TCustomForm* TOvcLabelled::LabelForm() const { return GetImmediateParentForm(FControl); }

TOvcAttachedLabel* TOvcLabelled::GetAttachedLabel() const {
    if (!FLabelInfo->Visible() || !FLabelInfo->ALabel) Fail(SLabelNotAttached);
    return FLabelInfo->ALabel;
}

void TOvcLabelled::DropLabel() {
    TOvcAttachedLabel* label = std::exchange(FLabelInfo->ALabel, nullptr);
    if (label) label->Free();
}

void TOvcLabelled::LabelAttach(TObject*, bool Value) {
    if (Loading()) return;
    TCustomForm* form = LabelForm();
    if (!form) return;
    DropLabel();
    if (!Value) return;
    auto* label = NewComponent<TOvcAttachedLabel>(form, FControl);
    FLabelInfo->ALabel = label;
    label->FreeNotification(FControl);
    label->SetParent(FControl->Parent());
    AnsiString name = GenerateComponentName(form, FControl->Name() + "Label");
    label->SetName(name);
    label->SetCaption(name);
    FLabelInfo->SetOffsets(0, 0);
    PositionLabel();
    label->BringToFront();
    label->SetAutoSize(LabelAutoSize());
}

void TOvcLabelled::LabelChange(TObject*) {
    if (!Loading()) PositionLabel();
}

void TOvcLabelled::PositionLabel() {
    TOvcAttachedLabel* label = FLabelInfo->ALabel;
    if (!FLabelInfo->Visible() || !label || !label->Parent() || Loading()) return;
    label->SetBounds(FControl->Left() + FLabelInfo->OffsetX(),
                     FControl->Top() + FLabelInfo->OffsetY() - label->Height(), label->Width(),
                     label->Height());
}

bool TOvcLabelled::CurrentOffsets(int& X, int& Y) const {
    TOvcAttachedLabel* label = FLabelInfo->ALabel;
    if (!label || !label->Parent()) return false;
    X = label->Left() - FControl->Left();
    Y = label->Top() + label->Height() - FControl->Top();
    return true;
}

bool TOvcLabelled::LibraryMessage(TMessage& Message) {
    switch (Message.Msg) {
    case OM_ASSIGNLABEL:
        FLabelInfo->ALabel = reinterpret_cast<TOvcAttachedLabel*>(Message.LParam);
        return true;
    case OM_POSITIONLABEL: {
        int x = 0, y = 0;
        if (FLabelInfo->Visible() && !Loading() && CurrentOffsets(x, y) &&
            (x != FLabelInfo->OffsetX() || y != FLabelInfo->OffsetY()))
            PositionLabel();
        return true;
    }
    case OM_RECORDLABELPOSITION: {
        int x = 0, y = 0;
        if (CurrentOffsets(x, y)) {
            FLabelInfo->FVisible = true;
            FLabelInfo->SetOffsets(x, y);
        }
        return true;
    }
    case OM_AFTERENTER:
        if (AfterEnter) AfterEnter(FControl);
        return true;
    case OM_AFTEREXIT:
        if (AfterExit) AfterExit(FControl);
        return true;
    default: return false;
    }
}

void TOvcLabelled::LabelVisibility() {
    if (!Loading() && FLabelInfo->Visible() && FLabelInfo->ALabel)
        FLabelInfo->ALabel->SetVisible(FControl->Visible());
}

void TOvcLabelled::LabelGone(TComponent* AComponent) {
    if (AComponent != FLabelInfo->ALabel || !AComponent) return;
    FLabelInfo->ALabel = nullptr;
    // While the form goes, the control keeps its settings; the label is gone either way.
    TCustomForm* form = LabelForm();
    if (form && !form->ComponentState().Contains(csDestroying)) FLabelInfo->FVisible = false;
}

// --- the base control ---

void TOvcCustomControl::DescribeProperties(TPropertyTable& T) {
    AboutProperty(T, &TOvcCustomControl::About, &TOvcCustomControl::SetAbout);
}

TOvcCustomControl::TOvcCustomControl(TComponent* AOwner) : TCustomControl(AOwner), TOvcLabelled(this) {}

TOvcCustomControl::~TOvcCustomControl() = default;

void TOvcCustomControl::BeforeDestruction() {
    // A label still on a form that stays goes with its control.
    if (TOvcAttachedLabel* label = LabelInfo()->ALabel) {
        if (!label->ComponentState().Contains(csDestroying)) LabelInfo()->SetVisible(false);
        LabelInfo()->ALabel = nullptr;
    }
    TCustomControl::BeforeDestruction();
}

void TOvcCustomControl::WndProc(TMessage& Message) {
    if (!LibraryMessage(Message)) TCustomControl::WndProc(Message);
}

void TOvcCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) PostMessage(Handle(), OM_POSITIONLABEL, 0, 0);
}

void TOvcCustomControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (FStreamer) FStreamer->GetChildren(Proc);
    else TCustomControl::GetChildren(Proc, Root);
}

TComponent* TOvcCustomControl::GetChildOwner() { return FStreamer ? this : TCustomControl::GetChildOwner(); }

void TOvcCustomControl::Loaded() {
    if (FStreamer) FStreamer->Loaded();
    TCustomControl::Loaded();
}

void TOvcCustomControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove) LabelGone(AComponent);
}

void TOvcCustomControl::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    if (HandleAllocated()) PostMessage(Handle(), OM_AFTERENTER, 0, 0);
}

void TOvcCustomControl::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    if (HandleAllocated()) PostMessage(Handle(), OM_AFTEREXIT, 0, 0);
}

void TOvcCustomControl::WMMouseWheel(TMessage& Message) {
    const auto w = static_cast<uintptr_t>(Message.WParam);
    const auto l = static_cast<uintptr_t>(Message.LParam);
    DoOnMouseWheel(KeysToShiftState(LoWord(w)), HiWord(w), LoWord(l), HiWord(l));
}

void TOvcCustomControl::DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos) {
    if (OnMouseWheel) OnMouseWheel(this, Shift, Delta, XPos, YPos);
}

void TOvcCustomControl::CMVisibleChanged(TMessage& Message) {
    TCustomControl::CMVisibleChanged(Message);
    LabelVisibility();
}

// --- the base control with a controller ---

void TOvcCustomControlEx::SetController(TOvcController* Value) {
    FController = Value;
    if (Value) Value->FreeNotification(this);
}

void TOvcCustomControlEx::CreateWnd() {
    TOvcController* controller = FController;
    LookUpController(this, controller);
    if (controller != FController) SetController(controller);
    TOvcCustomControl::CreateWnd();
}

void TOvcCustomControlEx::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FController) FController = nullptr;
    else if (Operation == opInsert && !FController)
        if (auto* c = dynamic_cast<TOvcController*>(AComponent)) SetController(c);
}

// --- the controller ---

void TOvcController::DescribeProperties(TPropertyTable& T) {
    T.Property("EntryCommands", &TOvcController::EntryCommands, &TOvcController::SetEntryCommands);
    T.Property("EntryOptions", &TOvcController::EntryOptions, &TOvcController::SetEntryOptions).NoDefault();
    T.Property("Epoch", &TOvcController::Epoch, &TOvcController::SetEpoch).NoDefault();
    T.Event("OnDelayNotify", &TOvcController::OnDelayNotify);
    T.Event("OnError", &TOvcController::OnError);
    T.Event("OnGetEpoch", &TOvcController::OnGetEpoch);
    T.Event("OnIsSpecialControl", &TOvcController::OnIsSpecialControl);
    T.Event("OnPostEdit", &TOvcController::OnPostEdit);
    T.Event("OnPreEdit", &TOvcController::OnPreEdit);
    T.Event("OnTimerTrigger", &TOvcController::OnTimerTrigger);
}

TOvcController::TOvcController(TComponent* AOwner)
    : TOvcComponent(AOwner), FEntryCommands(std::make_unique<TOvcCommandProcessor>()),
      FEpoch(DefaultEpoch()) {
    FTimerPool = NewComponent<TOvcTimerPool>(this);
    FTimerPool->OnAllTriggers = [this](TObject* Sender, int32_t Handle, uint32_t Interval, int32_t Elapsed) {
        DoOnTimerTrigger(Sender, Handle, Interval, Elapsed);
    };
}

TOvcController::~TOvcController() {
    *FAlive = false;
    if (FHandle) DeallocateHWnd(FHandle);
}

void TOvcController::SetEntryCommands(TOvcCommandProcessor* Value) {
    if (Value && Value != FEntryCommands.get()) {
        FEntryCommands->Clear();
        for (int i = 0; i < Value->Count(); ++i) {
            const TOvcCommandTable* from = Value->GetTable(i);
            auto* table = new TOvcCommandTable;
            table->SetTableName(from->TableName());
            table->SetIsActive(from->IsActive());
            for (int r = 0; r < from->Count(); ++r) table->AddRec(from->GetCmdRec(r));
            FEntryCommands->Add(table);
        }
    }
}

int32_t TOvcController::Epoch() const {
    int32_t epoch = FEpoch;
    if (OnGetEpoch) OnGetEpoch(const_cast<TOvcController*>(this), epoch);
    return epoch;
}

void TOvcController::SetEpoch(int32_t Value) {
    if (Value != FEpoch && Value >= 1600 && Value <= 3999) FEpoch = Value;
}

HWND TOvcController::Handle() {
    if (!FHandle)
        FHandle = AllocateHWnd([this, alive = FAlive](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
            return *alive ? WindowProc(Wnd, Msg, WParam, LParam) : DefWindowProc(Wnd, Msg, WParam, LParam);
        });
    return FHandle;
}

LPARAM TOvcController::Ticket(TObject* Sender) {
    LPARAM ticket = ++FLastTicket;
    FPending[ticket] = Sender;
    if (auto* c = dynamic_cast<TComponent*>(Sender); c && c != this) c->FreeNotification(this);
    return ticket;
}

TObject* TOvcController::Redeem(LPARAM TicketNo, bool& Known) {
    auto it = FPending.find(TicketNo);
    Known = it != FPending.end();
    if (!Known) return nullptr;
    TObject* sender = it->second;
    FPending.erase(it);
    return sender;
}

void TOvcController::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    // A notification about a component that is gone is not delivered.
    for (auto& [ticket, sender] : FPending)
        if (sender == AComponent) sender = nullptr;
}

LRESULT TOvcController::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg != OM_SETFOCUS && Msg != OM_PREEDIT && Msg != OM_POSTEDIT && Msg != OM_DELAYNOTIFY)
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    try {
        bool known = false;
        TObject* sender = Redeem(LParam, known);
        if (!sender) return 0;
        switch (Msg) {
        case OM_SETFOCUS:
            if (auto* field = dynamic_cast<IOvcEntryField*>(sender)) {
                TWinControl* control = field->EntryControl();
                control->Show();
                if (control->CanFocus()) control->SetFocus();
            }
            break;
        case OM_PREEDIT:
            if (OnPreEdit) OnPreEdit(sender, FindControl(reinterpret_cast<HWND>(WParam)));
            break;
        case OM_POSTEDIT:
            if (OnPostEdit) OnPostEdit(sender, FindControl(reinterpret_cast<HWND>(WParam)));
            break;
        case OM_DELAYNOTIFY:
            if (OnDelayNotify) OnDelayNotify(sender, LoWord(static_cast<uintptr_t>(WParam)));
            break;
        }
    } catch (...) {
        OvcHandleException(this);
    }
    return 0;
}

void TOvcController::DoOnError(TObject* Sender, uint16_t ErrorCode, const AnsiString& ErrorMsg) {
    if (OnError) OnError(Sender, ErrorCode, ErrorMsg);
    else MessageDlg(ErrorMsg, mtError, {mbOK}, 0);
}

namespace {
WPARAM WindowOf(TWinControl* Control) { return Control ? reinterpret_cast<WPARAM>(Control->Handle()) : 0; }
}  // namespace

void TOvcController::DoOnPreEdit(TObject* Sender, TWinControl* LosingControl) {
    PostMessage(Handle(), OM_PREEDIT, WindowOf(LosingControl), Ticket(Sender));
}

void TOvcController::DoOnPostEdit(TObject* Sender, TWinControl* GainingControl) {
    PostMessage(Handle(), OM_POSTEDIT, WindowOf(GainingControl), Ticket(Sender));
}

void TOvcController::DelayNotify(TObject* Sender, uint16_t NotifyCode) {
    if (OnDelayNotify) PostMessage(Handle(), OM_DELAYNOTIFY, NotifyCode, Ticket(Sender));
}

void TOvcController::DoOnTimerTrigger(TObject* Sender, int32_t Handle, uint32_t Interval,
                                      int32_t ElapsedTime) {
    if (OnTimerTrigger) OnTimerTrigger(Sender, Handle, Interval, ElapsedTime);
}

void TOvcController::RequestFocus(TObject* Sender) { PostMessage(Handle(), OM_SETFOCUS, 0, Ticket(Sender)); }

bool TOvcController::IsSpecialButton(HWND Wnd) {
    if (!OnIsSpecialControl) return false;
    bool special = false;
    OnIsSpecialControl(this, FindControl(Wnd), special);
    return special;
}

bool TOvcController::OwnerIsForm() const { return dynamic_cast<TCustomForm*>(Owner()) != nullptr; }

void TOvcController::MarkAsUninitialized(bool Value) {
    if (!OwnerIsForm()) return;
    WalkOwned(Owner(), [&](TComponent* c) {
        if (auto* field = dynamic_cast<IOvcEntryField*>(c)) field->SetUninitialized(Value);
        return true;
    });
}

void TOvcController::ReportAndRefocus(TComponent* Field, IOvcEntryField* Entry, bool ReportError,
                                      bool ChangeFocus) {
    if (ReportError && !ErrorPending)
        PostMessage(Entry->EntryControl()->Handle(), OM_REPORTERROR, Entry->LastError(), 0);
    if (ChangeFocus && !ErrorPending) {
        PostMessage(Handle(), OM_SETFOCUS, 0, Ticket(Field));
        ErrorPending = true;
    }
}

TComponent* TOvcController::ValidateEntryFieldsEx(bool ReportError, bool ChangeFocus) {
    if (!OwnerIsForm()) return nullptr;
    TComponent* first = nullptr;
    bool stop = false;
    std::function<void(TComponent*)> walk = [&](TComponent* Root) {
        for (int i = 0; i < Root->ComponentCount() && !stop; ++i) {
            TComponent* c = Root->Components(i);
            if (auto* field = dynamic_cast<IOvcEntryField*>(c)) {
                TWinControl* control = field->EntryControl();
                if (!control->Visible() || !control->Enabled()) continue;
                if (field->ValidateContents() != 0 && !first) {
                    first = c;
                    if (ReportError || ChangeFocus) {
                        ReportAndRefocus(c, field, ReportError, ChangeFocus);
                        stop = true;
                        return;
                    }
                }
            }
            walk(c);
        }
    };
    walk(Owner());
    return first;
}

TComponent* TOvcController::ValidateTheseEntryFields(std::span<TComponent* const> Fields) {
    for (TComponent* c : Fields) {
        auto* field = dynamic_cast<IOvcEntryField*>(c);
        if (!field || field->ValidateContents() == 0) continue;
        ReportAndRefocus(c, field, true, true);
        return c;
    }
    return nullptr;
}

// --- collections ---

TOvcCollection::TOvcCollection(TComponent* AOwner, const TClassInfo* ItemClass)
    : FItemClass(ItemClass), FOwner(AOwner) {
    auto* holder = dynamic_cast<TOvcStreamerHolder*>(AOwner);
    if (!holder) Fail(SOwnerNotOvc);
    if (!holder->FStreamer) holder->FStreamer = std::make_unique<TOvcCollectionStreamer>(AOwner);
    FStreamer = holder->FStreamer.get();
    FStreamer->FCollections.push_back(this);
}

TOvcCollection::~TOvcCollection() {
    std::erase(FStreamer->FCollections, this);
    Clear();
}

TComponent* TOvcCollection::Item(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[size_t(Index)];
}

void TOvcCollection::SetItem(int Index, TComponent* Value) { Item(Index)->Assign(Value); }

int TOvcCollection::IndexOf(const TComponent* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TComponent* TOvcCollection::Add() {
    if (!FItemClass) Fail(SItemClassNotSet);
    auto* item = dynamic_cast<TComponent*>(FItemClass->Create(FOwner));
    Changed();
    return item;
}

TComponent* TOvcCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) Index = Count();
    TComponent* item = Add();
    auto* state = dynamic_cast<TOvcCollectibleState*>(item);
    if (!state) return nullptr;
    state->SetIndex(Index);
    return item;
}

void TOvcCollection::Delete(int Index) {
    if (Index >= 0 && Index < Count()) FItems[size_t(Index)]->Free();
    Changed();
}

void TOvcCollection::Clear() {
    for (int i = Count() - 1; i >= 0; --i) {
        if (i >= Count()) continue;
        TComponent* item = FItems[size_t(i)];
        if (!item->ComponentState().Contains(csAncestor)) item->Free();
    }
}

TComponent* TOvcCollection::ItemByName(std::string_view Name) const {
    for (TComponent* item : FItems)
        if (item->Name() == Name) return item;
    return nullptr;
}

AnsiString TOvcCollection::GetEditorCaption() const {
    AnsiString caption = "Editing " + ClassName();
    if (OnGetEditorCaption) OnGetEditorCaption(caption);
    return caption;
}

void TOvcCollection::DoOnItemSelected(int Index) {
    if (OnItemSelected) OnItemSelected(this, Index);
}

TForm* TOvcCollection::ParentForm() const {
    for (TComponent* c = FOwner; c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

void TOvcCollection::Loaded() {
    FLoading = true;
    try {
        Changed();
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
    FLoaded = true;
}

void TOvcCollection::Changed() {
    if (FInChanged || !ParentForm()) return;
    FInChanged = true;
    try {
        // The designer's part (telling the form it was modified, the editor) has no place here.
        if (OnChanged) OnChanged(this);
    } catch (...) {
        FInChanged = false;
        throw;
    }
    FInChanged = false;
}

// --- collection items ---

void TOvcCollectibleState::JoinOwnerCollection() {
    auto* holder = dynamic_cast<TOvcStreamerHolder*>(FSelf->Owner());
    if (!holder) Fail(SOwnerNotOvc);
    if (!holder->CollectionStreamer()) Fail(SNoCollection);
    FCollection = holder->CollectionStreamer()->CollectionFromType(FSelf);
    FCollection->FItems.push_back(FSelf);
}

void TOvcCollectibleState::LeaveCollection() {
    if (FCollection) std::erase(FCollection->FItems, FSelf);
}

void TOvcCollectibleState::SetCollection(TOvcCollection* Value) {
    LeaveCollection();
    if (Value) {
        if (!Value->ItemClass() || !FSelf->InheritsFrom(*Value->ItemClass())) Fail(SItemIncompatible);
        Value->FItems.push_back(FSelf);
    }
    FCollection = Value;
}

int TOvcCollectibleState::Index() const { return FCollection ? FCollection->IndexOf(FSelf) : -1; }

void TOvcCollectibleState::SetIndex(int Value) {
    int current = Index();
    if (current < 0 || Value == current) return;
    auto& items = FCollection->FItems;
    Value = std::clamp(Value, 0, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, FSelf);
    ItemChanged();
}

void TOvcCollectibleState::NameChanged() {
    if (!ItemLoading() && !FSelf->ComponentState().Contains(csInline)) ItemChanged();
}

bool TOvcCollectibleState::ItemLoading() const {
    // The form reader names an item before it marks it as loading; its owner is being read then.
    return IsLoading(FSelf) || (FSelf->Owner() && IsLoading(FSelf->Owner()));
}

void TOvcCollectibleState::CollectionChanged() {
    if (FInChanged || !FCollection || FSelf->ComponentState().Contains(csInline)) return;
    FInChanged = true;
    try {
        FCollection->Changed();
    } catch (...) {
        FInChanged = false;
        throw;
    }
    FInChanged = false;
}

AnsiString TOvcCollectibleState::GenerateName() const {
    const AnsiString base = BaseName();
    TForm* form = FCollection ? FCollection->ParentForm() : nullptr;
    if (!form) return base + "1";
    for (int n = 1;; ++n) {
        AnsiString name = Format("%s%d", {base, n});
        bool taken = SameText(form->Name(), name);
        WalkOwned(form, [&](TComponent* c) {
            taken = taken || SameText(c->Name(), name);
            return !taken;
        });
        if (!taken) return name;
    }
}

TOvcCollectible::TOvcCollectible(TComponent* AOwner) : TOvcComponent(AOwner), TOvcCollectibleState(this) {}
TOvcCollectible::~TOvcCollectible() = default;

void TOvcCollectible::AfterConstruction() {
    TOvcComponent::AfterConstruction();
    JoinOwnerCollection();
}

void TOvcCollectible::BeforeDestruction() {
    LeaveCollection();
    TOvcComponent::BeforeDestruction();
}

void TOvcCollectible::SetName(const AnsiString& NewName) {
    TOvcComponent::SetName(NewName);
    NameChanged();
}

TOvcCollectibleControl::TOvcCollectibleControl(TComponent* AOwner)
    : TOvcCustomControl(AOwner), TOvcCollectibleState(this) {}
TOvcCollectibleControl::~TOvcCollectibleControl() = default;

void TOvcCollectibleControl::AfterConstruction() {
    TOvcCustomControl::AfterConstruction();
    JoinOwnerCollection();
}

void TOvcCollectibleControl::BeforeDestruction() {
    LeaveCollection();
    TOvcCustomControl::BeforeDestruction();
}

void TOvcCollectibleControl::SetName(const AnsiString& NewName) {
    TOvcCustomControl::SetName(NewName);
    NameChanged();
}

// --- free routines ---

TCustomForm* GetImmediateParentForm(const TControl* Control) {
    for (TWinControl* p = Control ? Control->Parent() : nullptr; p; p = p->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(p)) return form;
    return nullptr;
}

TOvcController* FindController(TComponent* Form) {
    if (!Form) return nullptr;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TOvcController*>(Form->Components(i))) return c;
    return nullptr;
}

void LookUpController(TControl* Control, TOvcController*& Controller) {
    // There is no form designer here, so the design-time resolution never runs.
    if (Controller || IsLoading(Control)) return;
    Controller = FindController(GetImmediateParentForm(Control));
    if (!Controller) throw ENoControllerAssigned();
}

void ResolveController(TComponent* Form, TOvcController*& Controller) {
    if (Controller) return;
    Controller = FindController(Form);
    if (Controller) return;
    auto* created = NewComponent<TOvcController>(Form);
    try {
        created->SetName("OvcController1");
    } catch (...) {
        created->Free();
        Controller = nullptr;
        throw;
    }
    Controller = created;
}
