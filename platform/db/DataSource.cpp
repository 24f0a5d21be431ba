#include "platform/db/DataSource.h"

#include <algorithm>

#include "platform/db/DataSet.h"

ZELMOR_IMPLEMENT_COMPONENT(TDataSource, TComponent)
ZELMOR_IMPLEMENT_CLASS(TDataLink, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TFieldDataLink, TDataLink)

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    OnStateChange = nullptr;
    OnDataChange = nullptr;
    if (FDataSet) SetDataSet(nullptr);
    while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::BeforeDestruction() {
    OnStateChange = nullptr;
    OnDataChange = nullptr;
    SetDataSet(nullptr);
    while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
    TComponent::BeforeDestruction();
}

void TDataSource::DescribeProperties(TPropertyTable& T) {
    T.Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
    T.Property("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
    T.Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
    T.Event("OnDataChange", &TDataSource::OnDataChange);
    T.Event("OnStateChange", &TDataSource::OnStateChange);
    T.Event("OnUpdateData", &TDataSource::OnUpdateData);
}

void TDataSource::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet) return;
    if (FDataSet) {
        FDataSet->RemoveFreeNotification(this);
        FDataSet->RemoveDataSource(this);
    }
    FDataSet = Value;
    if (FDataSet) {
        FDataSet->FreeNotification(this);
        FDataSet->AddDataSource(this);
    }
    UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateState();
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(const TDataSet* DataSet) const {
    return FDataSet != nullptr && FDataSet == DataSet;
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::UpdateState() { SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive); }

void TDataSource::SetState(TDataSetState Value) {
    if (Value == FState) return;
    TDataSetState prior = FState;
    FState = Value;
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks)) link->DataEvent(deUpdateState, 0);
    if (ComponentState().Contains(csDestroying)) return;
    if (Assigned(OnStateChange)) OnStateChange(this);
    if (prior == dsInactive && Assigned(OnDataChange)) OnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) return UpdateState();
    if (FState == dsInactive) return;
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks)) link->DataEvent(Event, Info);
    switch (Event) {
    case deFieldChange:
        if (Assigned(OnDataChange)) OnDataChange(this, reinterpret_cast<TField*>(Info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (Assigned(OnDataChange)) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (Assigned(OnUpdateData)) OnUpdateData(this);
        break;
    default: break;
    }
}

void TDataSource::AddDataLink(TDataLink* Link) {
    FDataLinks.push_back(Link);
    Link->FDataSource = this;
    if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
    Link->FDataSource = nullptr;
    FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
    if (FDataSet) FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
    if (FDataSource) FDataSource->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* Value) {
    if (Value == FDataSource) return;
    if (FDataSource) FDataSource->RemoveDataLink(this);
    if (Value) Value->AddDataLink(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    UpdateState();
}

int TDataLink::ActiveRecord() const {
    if (!FActive || FDataSource->State() == dsSetKey) return 0;
    return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
    if (!FActive || FDataSource->State() == dsSetKey) return;
    TDataSet* dataSet = DataSet();
    int index = Value + FFirstRecord;
    // Only filled buffers: a row past the records would read nothing.
    if (index >= 0 && index < dataSet->FRecordCount) dataSet->FActiveRecord = index;
}

void TDataLink::SetBufferCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FBufferCount) return;
    FBufferCount = Value;
    if (!FActive) {
        if (TDataSet* dataSet = DataSet()) dataSet->UpdateBufferCount();
        return;
    }
    UpdateRange();
    DataSet()->UpdateBufferCount();
    UpdateRange();
}

int TDataLink::RecordCount() const {
    if (!FActive) return 0;
    if (FDataSource->State() == dsSetKey) return 1;
    return std::clamp(DataSet()->FRecordCount - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

int TDataLink::MoveBy(int Distance) { return FActive ? DataSet()->MoveBy(Distance) : 0; }

void TDataLink::UpdateRecord() {
    FUpdating = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FUpdating};
    UpdateData();
}

void TDataLink::DataSetScrolled(int) { DataSetChanged(); }

void TDataLink::FocusControl(TField**) {}

void TDataLink::RecordChanged(TField*) {}

void TDataLink::UpdateState() {
    SetActive(FDataSource && FDataSource->State() != dsInactive);
    SetEditing(FDataSource && (FDataSource->State() == dsEdit || FDataSource->State() == dsInsert) &&
               !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    if (Value) UpdateRange();
    else FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
    if (Value == FEditing) return;
    FEditing = Value;
    EditingChanged();
}

void TDataLink::UpdateRange() {
    TDataSet* dataSet = DataSet();
    if (!dataSet) return;
    int active = dataSet->FActiveRecord;
    int low = std::max(0, active - FBufferCount + 1);
    int high = std::min(active, std::max(0, dataSet->FRecordCount - FBufferCount));
    FFirstRecord = std::clamp(FFirstRecord, low, std::max(low, high));
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) return UpdateState();
    if (!FActive) return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        int count = 0;
        if (FDataSource->State() != dsSetKey) {
            // Info: records the data set's window moved forward; this link's
            // window follows the same records, then moves just enough to
            // keep the active record in sight.
            int active = DataSet()->FActiveRecord;
            int first = FFirstRecord - static_cast<int>(Info);
            int last = first + FBufferCount - 1;
            if (active > last) count = active - last;
            else if (active < first) count = active - first;
            FFirstRecord = first + count;
        }
        if (Event == deDataSetChange) DataSetChanged();
        else if (Event == deDataSetScroll) DataSetScrolled(count);
        else LayoutChanged();
        break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(reinterpret_cast<TField**>(Info)); break;
    default: break;
    }
}

// ---------------------------------------------------------------- TFieldDataLink

namespace {
TFocusControlHook& FocusHook() {
    static TFocusControlHook hook;
    return hook;
}
}  // namespace

void SetFieldFocusHook(TFocusControlHook Hook) { FocusHook() = std::move(Hook); }

void TFieldDataLink::SetFieldName(const AnsiString& Value) {
    if (Value == FFieldName) return;
    FFieldName = Value;
    UpdateField();
}

void TFieldDataLink::UpdateField() {
    if (Active() && !FFieldName.empty()) SetField(DataSet()->FieldByName(FFieldName));
    else SetField(nullptr);
}

void TFieldDataLink::SetField(TField* Value) {
    if (Value == FField) return;
    FField = Value;
    EditingChanged();
    RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
    if (CanModify()) TDataLink::Edit();
    return FFieldEditing;
}

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::SetFieldEditing(bool Value) {
    if (Value == FFieldEditing) return;
    FFieldEditing = Value;
    FModified = false;
    if (Assigned(OnEditingChange)) OnEditingChange(this);
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (Assigned(OnActiveChange)) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() { SetFieldEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::FocusControl(TField** Field) {
    if (!Field || !*Field || *Field != FField || !FControl) return;
    if (FocusHook() && FocusHook()(FControl)) *Field = nullptr;
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* Field) {
    if (Field && Field != FField) return;
    if (Assigned(OnDataChange)) OnDataChange(this);
    FModified = false;
}

void TFieldDataLink::UpdateData() {
    if (!FModified) return;
    if (FField && Assigned(OnUpdateData)) OnUpdateData(this);
    FModified = false;
}
