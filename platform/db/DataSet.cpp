#include "platform/db/DataSet.h"

#include <algorithm>
#include <cstring>

#include "platform/db/DataSource.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_CLASS(TDataSet, TComponent)

namespace {
// Runs a step on every way out of a block.
template <class F>
class TFinally {
public:
    explicit TFinally(F Step) : FStep(std::move(Step)) {}
    ~TFinally() noexcept(false) {
        if (FArmed) FStep();
    }
    void Dismiss() { FArmed = false; }
    TFinally(const TFinally&) = delete;
    TFinally& operator=(const TFinally&) = delete;

private:
    F FStep;
    bool FArmed = true;
};

TFieldType FieldTypeOfStorage(const TDbfFieldDef& Def) {
    switch (DbfKindOf(Def)) {
    case TDbfKind::Float: return ftFloat;
    case TDbfKind::Boolean: return ftBoolean;
    case TDbfKind::Date: return ftDate;
    case TDbfKind::Memo: return ftMemo;
    default: return ftString;
    }
}

// Whether a field of this type can read and write a stored field of that
// dBase type: numbers need N or F, logicals L, dates D, memos and blobs M;
// texts read anything as its text.
bool StorageFits(const TField* Field, char Type) {
    if (Field->IsBlob()) return Type == 'M';
    switch (FieldCategory(Field->DataType())) {
    case TFieldCategory::Number: return Type == 'N' || Type == 'F';
    case TFieldCategory::Boolean: return Type == 'L';
    case TFieldCategory::DateTime: return Type == 'D';
    default: return true;
    }
}

// Whether a field's value (read from the buffer the data set points it at)
// equals a locate key.
bool FieldMatches(const TField* Field, const TVariant& Key, TLocateOptions Options) {
    bool isNull = Field->IsNull();
    if (Key.IsNull() || Key.IsEmpty()) return isNull;
    switch (FieldCategory(Field->DataType())) {
    case TFieldCategory::Number:
    case TFieldCategory::DateTime: {
        double wanted = 0;
        if (isNull) return false;
        if (Key.VarType() == varString) {
            if (!TextToFloat(Trim(Key.AsString()), wanted)) return false;
        } else {
            wanted = Key.AsFloat();
        }
        return Field->AsFloat() == wanted;
    }
    case TFieldCategory::Boolean: {
        if (isNull) return false;
        bool wanted = false;
        if (Key.VarType() == varString) {
            AnsiString text = Trim(Key.AsString());
            if (text.empty()) return false;
            char c = AsciiUpper(text[0]);
            wanted = c == 'T' || c == 'Y';
        } else {
            wanted = Key.AsBoolean();
        }
        return Field->AsBoolean() == wanted;
    }
    default: {
        AnsiString value = Field->AsString();
        AnsiString wanted = VarToStr(Key);
        if (Options.Contains(loCaseInsensitive)) {
            value = AnsiUpperCase(value);
            wanted = AnsiUpperCase(wanted);
        }
        if (Options.Contains(loPartialKey)) return value.compare(0, wanted.size(), wanted) == 0;
        return value == wanted;
    }
    }
}
}  // namespace

// ---------------------------------------------------------------- life

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner), FFields(std::make_unique<TFields>(this)),
      FFieldDefs(std::make_unique<TFieldDefs>(this)), FSpare(std::make_unique<TRecordBuffer>()) {}

TDataSet::~TDataSet() {
    // Reached without BeforeDestruction (a plain delete): do its work with
    // what is left of the object.
    if (Active()) {
        FState = dsInactive;
        TDataSet::CloseCursor();
    }
    while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
    for (TField* field : std::vector<TField*>(FFields->List())) {
        if (field->Owner() == this) continue;
        field->FDataSet = nullptr;
    }
    FFields->FList.clear();
    FFields->NamesChanged();
}

void TDataSet::BeforeDestruction() {
    if (Active()) {
        // A pending edit is kept as on Close; if it cannot be written the
        // data set closes without it rather than leaving a half-torn object.
        try {
            Close();
        } catch (...) {
            FState = dsInactive;
            CloseCursor();
        }
    }
    while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
    for (TField* field : std::vector<TField*>(FFields->List())) {
        if (field->Owner() == this) continue;
        FFields->Remove(field);
        field->FDataSet = nullptr;
    }
    TComponent::BeforeDestruction();
}

void TDataSet::DescribeProperties(TPropertyTable& T) {
    T.Property("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
    T.Property("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
    T.Property("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
    T.Property("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
    T.Property("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions)
        .Default(TFilterOptions{});
    T.Property("FieldDefs", &TDataSet::FieldDefs, &TDataSet::SetFieldDefs).Stored(false);
    T.Event("BeforeOpen", &TDataSet::BeforeOpen);
    T.Event("AfterOpen", &TDataSet::AfterOpen);
    T.Event("BeforeClose", &TDataSet::BeforeClose);
    T.Event("AfterClose", &TDataSet::AfterClose);
    T.Event("BeforeInsert", &TDataSet::BeforeInsert);
    T.Event("AfterInsert", &TDataSet::AfterInsert);
    T.Event("BeforeEdit", &TDataSet::BeforeEdit);
    T.Event("AfterEdit", &TDataSet::AfterEdit);
    T.Event("BeforePost", &TDataSet::BeforePost);
    T.Event("AfterPost", &TDataSet::AfterPost);
    T.Event("BeforeCancel", &TDataSet::BeforeCancel);
    T.Event("AfterCancel", &TDataSet::AfterCancel);
    T.Event("BeforeDelete", &TDataSet::BeforeDelete);
    T.Event("AfterDelete", &TDataSet::AfterDelete);
    T.Event("BeforeScroll", &TDataSet::BeforeScroll);
    T.Event("AfterScroll", &TDataSet::AfterScroll);
    T.Event("OnCalcFields", &TDataSet::OnCalcFields);
    T.Event("OnDeleteError", &TDataSet::OnDeleteError);
    T.Event("OnEditError", &TDataSet::OnEditError);
    T.Event("OnFilterRecord", &TDataSet::OnFilterRecord);
    T.Event("OnNewRecord", &TDataSet::OnNewRecord);
    T.Event("OnPostError", &TDataSet::OnPostError);
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        SetActive(true);
    }
}

void TDataSet::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TField* field : std::vector<TField*>(FFields->List()))
        if (field->Owner() == Root) Proc(field);
}

void TDataSet::SetFieldDefs(TFieldDefs* Value) {
    if (Value && Value != FFieldDefs.get()) FFieldDefs->Assign(Value);
}

void TDataSet::Error(const AnsiString& Message) const { DatabaseError(Message, this); }

void TDataSet::CheckActive() const {
    if (!Active()) Error(DBText::DataSetClosed);
}

void TDataSet::CheckInactive() const {
    if (Active()) Error(DBText::DataSetOpen);
}

// ---------------------------------------------------------------- opening

void TDataSet::SetActive(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    if (Value == Active()) return;
    if (Value) OpenDataSet();
    else CloseDataSet();
}

void TDataSet::OpenDataSet() {
    DoBeforeOpen();
    try {
        OpenCursor(false);
        ClearBuffers();
        FCursor->GoBof();
        if (GetNextRecord()) GetNextRecords();
        FBOF = true;
        FEOF = FRecordCount == 0;
    } catch (...) {
        CloseCursor();
        throw;
    }
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::CloseDataSet() {
    CheckBrowseMode();
    DoBeforeClose();
    SetState(dsInactive);
    CloseCursor();
    DoAfterClose();
}

std::unique_ptr<TDbfCursor> TDataSet::CreateHandle() {
    Error(Format(DBText::NotSupported, {"a data set without a table"}));
}

void TDataSet::OpenCursor(bool InfoQuery) {
    FCursor = CreateHandle();
    if (!FCursor) Error(Format(DBText::NotSupported, {"a data set without a table"}));
    InitFieldDefs();
    if (InfoQuery) return;
    FDefaultFields = FFields->Count() == 0;
    if (FDefaultFields) CreateFields();
    BindFields(true);
    UpdateBufferCount();
    AllocateBuffers();
    PrepareCursor();
}

void TDataSet::CloseCursor() {
    FBuffers.clear();
    ClearBuffers();
    BindFields(false);
    if (FDefaultFields) DestroyDefaultFields();
    FDefaultFields = false;
    FFilterExpr.reset();
    FFilterHandle = 0;
    FCallbackHandle = 0;
    FOwnFilters.clear();
    FCursor.reset();
}

void TDataSet::PrepareCursor() { ActivateFilters(); }

void TDataSet::InitFieldDefs() {
    TDbfTable& table = Table();
    FFieldDefs->BeginUpdate();
    try {
        FFieldDefs->Clear();
        for (int i = 0; i < table.FieldCount(); ++i) {
            const TDbfFieldDef& stored = table.Field(i);
            TFieldType type = FieldTypeOfStorage(stored);
            // The engine knows each name's first field: a name met before is
            // told at once, without a look along the definitions made so far.
            if (stored.Name.empty() || table.FieldIndex(stored.Name) != i)
                DatabaseErrorFmt(DBText::DuplicateFieldName, {stored.Name}, this);
            TFieldDef* def = FFieldDefs->AddFieldDef();
            def->SetName(stored.Name);
            def->SetDataType(type);
            def->SetSize(type == ftString ? stored.Length : 0);
            def->SetFieldNo(i + 1);
            if (type == ftFloat) def->SetPrecision(stored.Length);
        }
    } catch (...) {
        FFieldDefs->EndUpdate();
        throw;
    }
    FFieldDefs->EndUpdate();
    FFieldDefs->SetUpdated(true);
}

void TDataSet::UpdateFieldDefs() {
    if (Active()) return InitFieldDefs();
    TFinally close([this] { CloseCursor(); });
    OpenCursor(true);
}

void TDataSet::CreateFields() {
    FMakingDefaultFields = true;
    TFinally made([this] { FMakingDefaultFields = false; });
    for (int i = 0; i < FFieldDefs->Count(); ++i) {
        TFieldDef* def = FFieldDefs->Items(i);
        const TClassInfo* fieldClass = DefaultFieldClass(def->DataType());
        if (!fieldClass) continue;
        auto* field = static_cast<TField*>(fieldClass->Create(this));
        field->SetFieldName(def->Name());
        if (def->DataType() == ftString) field->SetSize(def->Size());
        field->SetRequired(def->Required());
        field->SetDataSet(this);
    }
}

void TDataSet::DestroyDefaultFields() {
    FDroppingDefaultFields = true;
    try {
        for (TField* field : std::vector<TField*>(FFields->List()))
            if (field->Owner() == this) field->Free();
    } catch (...) {
        FDroppingDefaultFields = false;
        throw;
    }
    FDroppingDefaultFields = false;
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
    // The default fields coming and going one after the other concern this
    // data set alone (a field watches no other field): telling each of them
    // about each other would cost the square of the fields at every open and
    // close.
    if (FDroppingDefaultFields && Operation == opRemove) {
        RemoveFreeNotification(AComponent);
        return;
    }
    if (FMakingDefaultFields && Operation == opInsert) return;
    TComponent::Notification(AComponent, Operation);
}

void TDataSet::BindFields(bool Binding) {
    FCalcFieldCount = 0;
    FRecordLength = Binding ? static_cast<size_t>(Table().RecordLength()) : 0;
    for (TField* field : FFields->List()) {
        field->FFieldNo = 0;
        field->FCalcSlot = -1;
        field->FPlainText = false;
        if (!Binding) continue;
        if (field->FieldKind() != fkData) {
            field->FCalcSlot = FCalcFieldCount++;
            continue;
        }
        int index = Table().FieldIndex(field->FieldName());
        if (index < 0) DatabaseErrorFmt(DBText::FieldNotFound, {field->FieldName()}, this);
        const TDbfFieldDef& stored = Table().Field(index);
        if (!StorageFits(field, stored.Type))
            DatabaseErrorFmt(DBText::FieldTypeMismatch,
                             {field->FieldName(), FieldTypeName(field->DataType()),
                              FieldTypeName(FieldTypeOfStorage(stored))},
                             this);
        field->FFieldNo = index + 1;
        field->FStorage = stored.Type;
        field->FPlainText = FieldCategory(field->DataType()) == TFieldCategory::Text && stored.Type == 'C';
        field->FOffset = stored.Offset;
        field->FWidth = stored.Length;
    }
}

TDbfTable& TDataSet::Table() const {
    if (!FCursor) Error(DBText::DataSetClosed);
    return FCursor->Table();
}

void TDataSet::InitRecord(TRecordBuffer& Buffer) const {
    Buffer.Data.assign(static_cast<size_t>(Table().RecordLength()), ' ');
    Table().BlankRecord(Buffer.Data.data());
    Buffer.Calc.assign(static_cast<size_t>(FCalcFieldCount), TFieldData{});
    Buffer.Memos.clear();
    Buffer.RecNo = 0;
    Buffer.Flag = bfInserted;
}

void TDataSet::AllocateBuffers() {
    FBuffers.clear();
    for (int i = 0; i < FBufferCount; ++i) FBuffers.push_back(std::make_unique<TRecordBuffer>());
    ClearBuffers();
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

// ---------------------------------------------------------------- the window

void TDataSet::ReadCurrent(TRecordBuffer& Buffer) {
    Buffer.Data.assign(FCursor->Record(), static_cast<size_t>(Table().RecordLength()));
    Buffer.RecNo = FCursor->RecNo();
    Buffer.Flag = bfCurrent;
    Buffer.Memos.clear();
    Buffer.Calc.assign(static_cast<size_t>(FCalcFieldCount), TFieldData{});
    GetCalcFields(Buffer);
}

bool TDataSet::GetRecord(TRecordBuffer& Buffer, TGetMode Mode) {
    bool found = false;
    switch (Mode) {
    case gmCurrent: found = FCursor->OnRecord() && FCursor->Refresh(); break;
    case gmNext: found = FCursor->Next(); break;
    case gmPrior: found = FCursor->Prior(); break;
    }
    if (found) ReadCurrent(Buffer);
    return found;
}

bool TDataSet::PositionAt(const TRecordBuffer& Buffer) {
    if (FCurrentRecord >= 0 && FCursor->OnRecord() && FCursor->RecNo() == Buffer.RecNo) return true;
    if (Buffer.RecNo != 0 && FCursor->GotoRecord(Buffer.RecNo)) return true;
    PositionNear(*FCursor, Buffer.RecNo, Buffer.Data);
    return false;
}

void TDataSet::PositionNear(TDbfCursor& Cursor, uint32_t RecNo, const std::string& Data) {
    TDbfTable& table = Cursor.Table();
    int order = Cursor.Order();
    if (order >= 0 && Data.size() == static_cast<size_t>(table.RecordLength())) {
        TDbfKey key = table.KeyOf(order, Data.data());
        Cursor.Seek(key, dbfSeekNearest);
        // Equal keys stand in record order: the place is after the equal
        // keys of lower record numbers.
        while (Cursor.OnRecord() && table.CompareKey(key, Cursor.Record()) == 0 && Cursor.RecNo() < RecNo)
            Cursor.Next();
        return;
    }
    uint32_t count = table.PhysicalCount();
    for (uint32_t r = RecNo + 1; r <= count; ++r)
        if (Cursor.GotoRecord(r)) return;
    Cursor.GoEof();
}

bool TDataSet::GetNextRecord() {
    bool read = false;
    if (FRecordCount > 0 && !PositionAt(*FBuffers[static_cast<size_t>(FRecordCount - 1)])) {
        // The last buffered record is gone; the cursor stands on what follows it.
        if (FCursor->OnRecord()) {
            ReadCurrent(*FSpare);
            read = true;
        }
    } else {
        read = GetRecord(*FSpare, gmNext);
    }
    if (!read) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount < FBufferCount) {
        std::swap(FSpare, FBuffers[static_cast<size_t>(FRecordCount)]);
        ++FRecordCount;
    } else {
        std::unique_ptr<TRecordBuffer> dropped = std::move(FBuffers.front());
        FBuffers.pop_front();
        FBuffers.push_back(std::move(FSpare));
        FSpare = std::move(dropped);
        if (FActiveRecord > 0) --FActiveRecord;
    }
    FCurrentRecord = FRecordCount - 1;
    return true;
}

bool TDataSet::GetPriorRecord() {
    if (FRecordCount > 0) PositionAt(*FBuffers[0]);
    // Positioned on the first buffered record, or (when it is gone) on the
    // one after it: either way the prior record is the one wanted.
    if (!GetRecord(*FSpare, gmPrior)) {
        CursorPosChanged();
        return false;
    }
    // The buffer at the back is unused (or, in a full window, the record
    // that drops out); it becomes the next spare.
    std::unique_ptr<TRecordBuffer> back = std::move(FBuffers.back());
    FBuffers.pop_back();
    FBuffers.push_front(std::move(FSpare));
    FSpare = std::move(back);
    if (FRecordCount < FBufferCount) {
        if (FRecordCount > 0) ++FActiveRecord;
        ++FRecordCount;
    } else if (FActiveRecord < FRecordCount - 1) {
        ++FActiveRecord;
    }
    FCurrentRecord = 0;
    return true;
}

int TDataSet::GetNextRecords() {
    int count = 0;
    while (FRecordCount < FBufferCount && GetNextRecord()) ++count;
    return count;
}

int TDataSet::GetPriorRecords() {
    int count = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord()) ++count;
    return count;
}

void TDataSet::UpdateBufferCount() {
    int count = 1;
    for (TDataSource* source : FDataSources)
        for (TDataLink* link : source->FDataLinks) count = std::max(count, link->FBufferCount);
    SetBufferCount(count);
}

void TDataSet::SetBufferCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FBufferCount) return;
    if (!Active() && FBuffers.empty()) {
        FBufferCount = Value;
        return;
    }
    auto links = [this](const std::function<void(TDataLink*)>& Step) {
        for (TDataSource* source : FDataSources)
            for (TDataLink* link : source->FDataLinks)
                if (link->FActive) Step(link);
    };
    if (Value < FBufferCount && FRecordCount > 0) {
        // Keep the active record and, as far as they fit, the rows the links show.
        int delta = FActiveRecord;
        links([&delta](TDataLink* link) { delta = std::min(delta, link->FFirstRecord); });
        delta = std::max(delta, FActiveRecord - Value + 1);
        std::rotate(FBuffers.begin(), FBuffers.begin() + delta, FBuffers.end());
        FActiveRecord -= delta;
        FRecordCount = std::min(FRecordCount - delta, Value);
        links([delta](TDataLink* link) { link->FFirstRecord = std::max(0, link->FFirstRecord - delta); });
        CursorPosChanged();
    }
    FBuffers.resize(static_cast<size_t>(Value));
    for (auto& buffer : FBuffers)
        if (!buffer) buffer = std::make_unique<TRecordBuffer>();
    FBufferCount = Value;
    if (FState == dsBrowse && FRecordCount > 0) {
        GetNextRecords();
        int before = FActiveRecord;
        GetPriorRecords();
        int added = FActiveRecord - before;
        if (added > 0) links([added](TDataLink* link) { link->FFirstRecord += added; });
    }
}

void TDataSet::ResyncAt(uint32_t RecNo, const std::string& Data, TResyncMode Mode) {
    TDbfCursor& cursor = *FCursor;
    bool found = false;
    if (RecNo == 0) {
        cursor.GoBof();
        cursor.Next();
    } else {
        found = cursor.GotoRecord(RecNo);
        if (!found) {
            if (Mode.Contains(rmExact)) Error(DBText::RecordNotFound);
            PositionNear(cursor, RecNo, Data);
        }
    }
    int wanted = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : std::min(FActiveRecord, FBufferCount - 1);
    ClearBuffers();
    bool anchored = false;
    if (cursor.OnRecord()) {
        ReadCurrent(*FBuffers[0]);
        anchored = true;
    } else if (cursor.Prior()) {
        ReadCurrent(*FBuffers[0]);
        anchored = true;
    }
    if (anchored) {
        FRecordCount = 1;
        FCurrentRecord = 0;
        FBOF = FEOF = false;
        int i = 0;
        while (i < wanted && GetPriorRecord()) ++i;
        FActiveRecord = i;
        GetNextRecords();
        // A window the records after did not fill takes those before: a
        // window as large as the table keeps holding the whole table (the
        // data-aware report view finds record n in row n - 1).
        GetPriorRecords();
    }
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Resync(TResyncMode Mode) {
    CheckActive();
    if (FRecordCount == 0 || FState == dsInsert) return ResyncAt(0, {}, Mode - TResyncMode{rmExact});
    const TRecordBuffer& active = *FBuffers[static_cast<size_t>(FActiveRecord)];
    ResyncAt(active.RecNo, active.Data, Mode);
}

void TDataSet::UpdateCursorPos() {
    if (!Active() || FRecordCount == 0) return;
    const TRecordBuffer& active = *FBuffers[static_cast<size_t>(FActiveRecord)];
    if (active.RecNo != 0 && PositionAt(active)) FCurrentRecord = FActiveRecord;
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    // A record filter's answers may have changed since the cursor last
    // counted its records.
    if (FCallbackHandle) FCursor->SetFilterActive(FCallbackHandle, true);
    for (const TOwnFilter& own : FOwnFilters) FCursor->SetFilterActive(own.CursorHandle, own.Active);
    UpdateCursorPos();
    Resync({});
}

TRecordBuffer* TDataSet::ActiveBuffer() const {
    if (FRecordCount == 0 || FBuffers.empty()) return nullptr;
    return FBuffers[static_cast<size_t>(FActiveRecord)].get();
}

TRecordBuffer* TDataSet::GetActiveRecBuf() const {
    switch (FState) {
    case dsBrowse:
    case dsEdit:
    case dsInsert: return ActiveBuffer();
    case dsCalcFields: return FCalcBuffer;
    case dsFilter: return FFilterBuffer;
    default: return nullptr;
    }
}

// ---------------------------------------------------------------- navigation

void TDataSet::ScrollEvent(int PriorRecordCount, int Shift) {
    if (FRecordCount != PriorRecordCount) DataEvent(deDataSetChange, 0);
    else DataEvent(deDataSetScroll, Shift);
}

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    {
        TFinally notify([this] {
            FBOF = true;
            FEOF = FRecordCount == 0;
            DataEvent(deDataSetChange, 0);
        });
        ClearBuffers();
        FCursor->GoBof();
        if (GetNextRecord()) GetNextRecords();
    }
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    {
        TFinally notify([this] {
            FEOF = true;
            FBOF = FRecordCount == 0;
            FActiveRecord = std::max(FRecordCount - 1, 0);
            DataEvent(deDataSetChange, 0);
        });
        ClearBuffers();
        FCursor->GoEof();
        if (GetPriorRecord()) GetPriorRecords();
    }
    DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
    CheckBrowseMode();
    int result = 0;
    DoBeforeScroll();
    if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
        FBOF = false;
        FEOF = false;
        int priorCount = FRecordCount;
        int shift = 0;
        {
            TFinally notify([&] { ScrollEvent(priorCount, shift); });
            while (Distance > 0) {
                if (FActiveRecord < FRecordCount - 1) {
                    ++FActiveRecord;
                } else {
                    bool full = FRecordCount == FBufferCount;
                    if (!GetNextRecord()) {
                        FEOF = true;
                        break;
                    }
                    if (full) ++shift;
                    FActiveRecord = FRecordCount - 1;
                }
                --Distance;
                ++result;
            }
            while (Distance < 0) {
                if (FActiveRecord > 0) {
                    --FActiveRecord;
                } else {
                    bool full = FRecordCount == FBufferCount;
                    if (!GetPriorRecord()) {
                        FBOF = true;
                        break;
                    }
                    if (full) --shift;
                    FActiveRecord = 0;
                }
                ++Distance;
                --result;
            }
        }
        DoAfterScroll();
    }
    return result;
}

int TDataSet::RecNo() {
    if (!Active() || FState == dsInsert || FRecordCount == 0) return -1;
    UpdateCursorPos();
    uint32_t number = FCursor->SequenceNumber();
    return number == 0 ? -1 : static_cast<int>(number);
}

void TDataSet::SetRecNo(int Value) {
    CheckBrowseMode();
    if (Value == RecNo()) return;
    DoBeforeScroll();
    TDbfCursor& cursor = *FCursor;
    cursor.GotoSequenceNumber(static_cast<uint32_t>(std::max(Value, 1)));
    ResyncAt(cursor.OnRecord() ? cursor.RecNo() : 0, {}, {rmCenter});
    DoAfterScroll();
}

int TDataSet::RecordCount() {
    CheckActive();
    return static_cast<int>(FCursor->RecordCount());
}

bool TDataSet::IsSequenced() { return !(FFiltered && (!FFilterText.empty() || Assigned(OnFilterRecord))); }

// ---------------------------------------------------------------- editing

bool TDataSet::CanModify() const { return Active() && !FReadOnlyCursor; }

void TDataSet::CheckCanModify() const {
    if (!CanModify()) Error(DBText::DataSetReadOnly);
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (FState) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (FModified) Post();
        else Cancel();
        break;
    case dsSetKey: Post(); break;
    default: break;
    }
}

void TDataSet::UpdateRecord() {
    if (FState != dsEdit && FState != dsInsert && FState != dsSetKey) Error(DBText::NotEditing);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) return Insert();
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    CheckOperation(
        [&] {
            // Read the record again: another table object may have changed it.
            TRecordBuffer& active = *FBuffers[static_cast<size_t>(FActiveRecord)];
            if (!PositionAt(active) || !FCursor->Refresh()) {
                CursorPosChanged();
                Error(DBText::BookmarkNotFound);
            }
            ReadCurrent(active);
            FCurrentRecord = FActiveRecord;
        },
        OnEditError);
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent) {
    for (;;) {
        try {
            Operation();
            return;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (Assigned(ErrorEvent)) ErrorEvent(this, e, action);
            if (action == daRetry) continue;
            if (action == daAbort) throw EAbort("");
            throw;
        }
    }
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        // The new row is dropped; the window is read again around its neighbours.
        FState = dsBrowse;
        Cancel();
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    if (FRecordCount == 0) FActiveRecord = 0;
    auto at = FBuffers.begin() + FActiveRecord;
    if (FRecordCount == FBufferCount) {
        std::rotate(at, FBuffers.end() - 1, FBuffers.end());
    } else {
        std::rotate(at, FBuffers.begin() + FRecordCount, FBuffers.begin() + FRecordCount + 1);
        ++FRecordCount;
    }
    InitRecord(*FBuffers[static_cast<size_t>(FActiveRecord)]);
    CursorPosChanged();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    FCursor->GoEof();
    while (FRecordCount < FBufferCount - 1 && GetPriorRecord()) {
    }
    InitRecord(*FBuffers[static_cast<size_t>(FRecordCount)]);
    FActiveRecord = FRecordCount;
    ++FRecordCount;
    FBOF = false;
    FEOF = true;
    CursorPosChanged();
    EndInsertAppend();
}

void TDataSet::CheckRequiredFields() {
    for (TField* field : FFields->List()) {
        if (!field->Required() || field->ReadOnly() || field->FieldKind() != fkData || !field->IsNull())
            continue;
        field->FocusControl();
        DatabaseErrorFmt(DBText::FieldRequired, {field->DisplayName()}, this);
    }
}

void TDataSet::InternalPost() {
    TRecordBuffer& buffer = *FBuffers[static_cast<size_t>(FActiveRecord)];
    TDbfTable& table = Table();
    if (FState == dsEdit) {
        // Another table object, or another program, may have deleted the row
        // meanwhile: the edit must not go into a row nobody sees. The table is
        // taken for writing first, so that the look is at the row as it is.
        table.Reserve();
        std::string current(static_cast<size_t>(table.RecordLength()), ' ');
        if (buffer.RecNo == 0 || buffer.RecNo > table.PhysicalCount()) Error(DBText::BookmarkNotFound);
        table.Read(buffer.RecNo, current.data());
        if (TDbfTable::IsDeleted(current.data())) Error(DBText::BookmarkNotFound);
    }
    // Memo texts reach the memo file before the record that points at them.
    for (auto& [field, text] : buffer.Memos) table.SetMemo(buffer.Data.data(), field, text);
    buffer.Memos.clear();
    if (FState == dsEdit) table.Update(buffer.RecNo, buffer.Data.data());
    else buffer.RecNo = table.Append(buffer.Data.data());
    buffer.Flag = bfCurrent;
}

void TDataSet::Post() {
    UpdateRecord();
    if (FState == dsSetKey) return PostKeyBuffer(true);
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    CheckRequiredFields();
    CheckOperation([this] { InternalPost(); }, OnPostError);
    const TRecordBuffer& posted = *FBuffers[static_cast<size_t>(FActiveRecord)];
    uint32_t recNo = posted.RecNo;
    std::string data = posted.Data;
    SetState(dsBrowse);
    ResyncAt(recNo, data, {});
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (FState == dsSetKey) return PostKeyBuffer(false);
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    bool wasInsert = FState == dsInsert;
    uint32_t anchor = 0;
    std::string data;
    if (wasInsert) {
        // Take the new buffer out; its neighbour becomes the anchor (the last
        // record after an append into a window of one).
        bool appended = FEOF;
        std::rotate(FBuffers.begin() + FActiveRecord, FBuffers.begin() + FActiveRecord + 1,
                    FBuffers.begin() + FRecordCount);
        --FRecordCount;
        if (FRecordCount > 0) {
            FActiveRecord = std::min(FActiveRecord, FRecordCount - 1);
            anchor = FBuffers[static_cast<size_t>(FActiveRecord)]->RecNo;
            data = FBuffers[static_cast<size_t>(FActiveRecord)]->Data;
        } else {
            FActiveRecord = 0;
            if (appended && FCursor->Last()) anchor = FCursor->RecNo();
        }
    } else {
        anchor = FBuffers[static_cast<size_t>(FActiveRecord)]->RecNo;
        data = FBuffers[static_cast<size_t>(FActiveRecord)]->Data;
    }
    SetState(dsBrowse);
    ResyncAt(anchor, data, {});
    DoAfterCancel();
}

void TDataSet::PostKeyBuffer(bool) {
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) return Cancel();
    if (FRecordCount == 0) Error(DBText::DataSetEmpty);
    CheckCanModify();
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeDelete();
    DoBeforeScroll();
    TRecordBuffer& active = *FBuffers[static_cast<size_t>(FActiveRecord)];
    uint32_t recNo = active.RecNo;
    std::string data = active.Data;
    CheckOperation(
        [&] {
            if (recNo == 0 || !FCursor->GotoRecord(recNo)) {
                CursorPosChanged();
                Error(DBText::BookmarkNotFound);
            }
            Table().Delete(recNo);
        },
        OnDeleteError);
    SetState(dsBrowse);
    ResyncAt(recNo, data, {});
    DoAfterDelete();
    DoAfterScroll();
}

// ---------------------------------------------------------------- controls

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount > 0) return;
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::SetState(TDataSetState Value) {
    if (Value == FState) return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
    TDataSetState old = FState;
    FState = Value;
    ++FTempStateCount;
    return old;
}

void TDataSet::RestoreState(TDataSetState Value) {
    FState = Value;
    --FTempStateCount;
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
    switch (Event) {
    case deFieldChange: {
        auto* field = reinterpret_cast<TField*>(Info);
        if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) FModified = true;
        UpdateCalcFields();
        break;
    }
    default: break;
    }
    if (FTempStateCount > 0) return;
    if (FDisableCount == 0) {
        for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) source->DataEvent(Event, Info);
    } else if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange) {
        FEnableEvent = deLayoutChange;
    }
}

void TDataSet::AddDataSource(TDataSource* Source) {
    FDataSources.push_back(Source);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
    UpdateBufferCount();
}

// ---------------------------------------------------------------- fields

// The column's bytes with the engine's padding cut; false when the buffer
// holds no record of the table.
bool TDataSet::PlainTextOf(const TRecordBuffer& Buffer, size_t RecordLength, const TField* Field,
                           std::string_view& Text) {
    if (Buffer.Data.size() != RecordLength) return false;
    Text = DbfTextOf(Buffer.Data.data() + Field->FOffset, static_cast<size_t>(Field->FWidth));
    return true;
}

bool TDataSet::ReadFieldFrom(const TRecordBuffer& Buffer, const TField* Field, TFieldData& Data) const {
    Data.Null = true;
    Data.Text.clear();
    Data.Number = 0;
    Data.Boolean = false;
    if (Field->FieldKind() != fkData) {
        if (Field->FCalcSlot < 0 || static_cast<size_t>(Field->FCalcSlot) >= Buffer.Calc.size()) return false;
        Data = Buffer.Calc[static_cast<size_t>(Field->FCalcSlot)];
        return !Data.Null;
    }
    int index = Field->FieldNo() - 1;
    if (index < 0 || !FCursor || Buffer.Data.size() != FRecordLength) return false;
    const char* record = Buffer.Data.data();
    if (std::string_view text; Field->FPlainText && PlainTextOf(Buffer, FRecordLength, Field, text)) {
        Data.Text = AnsiString(text);
        Data.Null = Data.Text.empty();
        return !Data.Null;
    }
    const TFieldCategory category = FieldCategory(Field->DataType());
    TDbfTable& table = FCursor->Table();
    if (Field->FStorage == 'M') {
        auto pending = std::find_if(Buffer.Memos.begin(), Buffer.Memos.end(),
                                    [index](const auto& Memo) { return Memo.first == index; });
        Data.Text = pending != Buffer.Memos.end() ? pending->second : table.GetMemo(record, index);
        Data.Null = Data.Text.empty();
        return !Data.Null;
    }
    bool isNull = false;
    switch (category) {
    case TFieldCategory::Number: Data.Number = table.GetNumber(record, index, &isNull); break;
    case TFieldCategory::Boolean: Data.Boolean = table.GetBoolean(record, index, &isNull); break;
    case TFieldCategory::DateTime: Data.Number = table.GetDate(record, index, &isNull); break;
    default:
        Data.Text = table.GetText(record, index);
        isNull = Data.Text.empty();
        break;
    }
    Data.Null = isNull;
    return !isNull;
}

void TDataSet::WriteFieldTo(TRecordBuffer& Buffer, const TField* Field, const TFieldData& Data) const {
    if (Field->FieldKind() != fkData) {
        if (Field->FCalcSlot < 0) return;
        if (Buffer.Calc.size() <= static_cast<size_t>(Field->FCalcSlot))
            Buffer.Calc.resize(static_cast<size_t>(Field->FCalcSlot) + 1);
        Buffer.Calc[static_cast<size_t>(Field->FCalcSlot)] = Data;
        return;
    }
    int index = Field->FieldNo() - 1;
    if (index < 0) DatabaseErrorFmt(DBText::FieldNotFound, {Field->FieldName()}, this);
    TDbfTable& table = Table();
    char* record = Buffer.Data.data();
    if (table.Field(index).Type == 'M') {
        AnsiString text = Data.Null ? AnsiString() : Data.Text;
        auto pending = std::find_if(Buffer.Memos.begin(), Buffer.Memos.end(),
                                    [index](const auto& Memo) { return Memo.first == index; });
        if (pending != Buffer.Memos.end()) pending->second = std::move(text);
        else Buffer.Memos.emplace_back(index, std::move(text));
        return;
    }
    if (Data.Null) return table.SetBlank(record, index);
    switch (FieldCategory(Field->DataType())) {
    case TFieldCategory::Number: return table.SetNumber(record, index, Data.Number);
    case TFieldCategory::Boolean: return table.SetBoolean(record, index, Data.Boolean);
    case TFieldCategory::DateTime: return table.SetDate(record, index, Data.Number);
    default: return table.SetText(record, index, Data.Text);
    }
}

std::string_view TDataSet::GetPlainText(const TField* Field) const {
    const TRecordBuffer* buffer = GetActiveRecBuf();
    std::string_view text;
    if (!buffer || !PlainTextOf(*buffer, FRecordLength, Field, text)) return {};
    return text;
}

bool TDataSet::GetFieldData(const TField* Field, TFieldData& Data) const {
    const TRecordBuffer* buffer = GetActiveRecBuf();
    if (!buffer) {
        Data = TFieldData{};
        return false;
    }
    return ReadFieldFrom(*buffer, Field, Data);
}

void TDataSet::SetFieldData(TField* Field, TFieldData& Data) {
    bool calculated = Field->FieldKind() != fkData;
    switch (FState) {
    case dsEdit:
    case dsInsert:
    case dsSetKey: break;
    case dsCalcFields:
        if (!calculated) Error(DBText::NotEditing);
        break;
    default: Error(DBText::NotEditing);
    }
    if (!calculated && Field->ReadOnly() && FState != dsSetKey)
        DatabaseErrorFmt(DBText::FieldReadOnly, {Field->DisplayName()}, this);
    TRecordBuffer* buffer = GetActiveRecBuf();
    if (!buffer) Error(DBText::NotEditing);
    if ((FState == dsEdit || FState == dsInsert) && Assigned(Field->OnValidate)) {
        Field->FValidating = &Data;
        TFinally done([Field] { Field->FValidating = nullptr; });
        Field->Validate();
    }
    WriteFieldTo(*buffer, Field, Data);
    if (FState == dsCalcFields || FState == dsFilter) return;
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
    Field->Change();
}

void TDataSet::GetFieldNames(TStrings& List) {
    List.Clear();
    if (FFields->Count() > 0) {
        for (TField* field : FFields->List()) List.Add(field->FieldName());
        return;
    }
    if (!FFieldDefs->Updated()) UpdateFieldDefs();
    for (int i = 0; i < FFieldDefs->Count(); ++i) List.Add(FFieldDefs->Items(i)->Name());
}

namespace {
// A blob stream that writes: after each write its bytes are the field's
// value in the record being edited, as any field's value is, so the post
// writes them with the rest of the record (the memo file's blocks through
// the table's write session) and a cancel drops them.
class TBlobWriteStream : public TStringStream {
public:
    TBlobWriteStream(TField* Field, const AnsiString& Start) : TStringStream(Start), FField(Field) {}
    int64_t Write(const void* Buffer, int64_t Count) override {
        int64_t written = TStringStream::Write(Buffer, Count);
        FField->SetAsString(DataString());
        return written;
    }
    void SetSize(int64_t NewSize) override {
        TStringStream::SetSize(NewSize);
        FField->SetAsString(DataString());
    }

private:
    TField* FField;
};
}  // namespace

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    if (!Field || Field->DataSet() != this)
        Error(Format(DBText::NoDataSet, {Field ? Field->FieldName() : ""}));
    if (Mode == bmRead) return std::make_unique<TStringStream>(Field->AsString());
    if (FState != dsEdit && FState != dsInsert) Error(DBText::NotEditing);
    if (!Field->CanModify()) Error(Format(DBText::FieldReadOnly, {Field->DisplayName()}));
    // Writing from the start replaces the value; reading and writing goes on from it.
    if (Mode == bmWrite) {
        Field->Clear();
        return std::make_unique<TBlobWriteStream>(Field, AnsiString());
    }
    return std::make_unique<TBlobWriteStream>(Field, Field->AsString());
}

// ---------------------------------------------------------------- calculated fields

void TDataSet::GetCalcFields(TRecordBuffer& Buffer) {
    if (FCalcFieldCount > 0) CalculateFields(Buffer);
}

void TDataSet::CalculateFields(TRecordBuffer& Buffer) {
    TRecordBuffer* saved = FCalcBuffer;
    FCalcBuffer = &Buffer;
    TDataSetState old = SetTempState(dsCalcFields);
    TFinally restore([&] {
        RestoreState(old);
        FCalcBuffer = saved;
    });
    Buffer.Calc.assign(static_cast<size_t>(FCalcFieldCount), TFieldData{});
    for (TField* field : FFields->List())
        if (field->FieldKind() == fkLookup) CalculateLookupField(field);
    DoOnCalcFields();
}

void TDataSet::CalculateLookupField(TField* Field) {
    TDataSet* lookup = Field->LookupDataSet();
    if (!lookup || !lookup->Active()) return;
    std::vector<AnsiString> names = SplitFieldNames(Field->KeyFields());
    if (names.empty()) return;
    TVariant keys = names.size() == 1 ? FieldByName(names[0])->Value()
                                      : TVariant::Array(0, static_cast<int>(names.size()) - 1);
    if (names.size() > 1)
        for (size_t i = 0; i < names.size(); ++i) keys[static_cast<int>(i)] = FieldByName(names[i])->Value();
    Field->SetValue(lookup->Lookup(Field->LookupKeyFields(), keys, Field->LookupResultField()));
}

void TDataSet::UpdateCalcFields() {
    if ((FState != dsEdit && FState != dsInsert) || !FAutoCalcFields || FCalcFieldCount == 0) return;
    if (TRecordBuffer* active = ActiveBuffer()) CalculateFields(*active);
}

// ---------------------------------------------------------------- bookmarks

TBookmark TDataSet::BookmarkOfRecNo(uint32_t RecNo) {
    if (RecNo == 0) return {};
    TBookmark bookmark(4, '\0');
    for (int i = 0; i < 4; ++i)
        bookmark[static_cast<size_t>(i)] = static_cast<char>((RecNo >> (8 * i)) & 0xFF);
    return bookmark;
}

uint32_t TDataSet::RecNoOfBookmark(const TBookmark& Bookmark) {
    if (Bookmark.size() != 4) return 0;
    uint32_t recNo = 0;
    for (int i = 0; i < 4; ++i)
        recNo |= static_cast<uint32_t>(static_cast<unsigned char>(Bookmark[static_cast<size_t>(i)]))
                 << (8 * i);
    return recNo;
}

TBookmark TDataSet::GetBookmark() const {
    if (!Active() || FRecordCount == 0 || FState == dsInsert || FState == dsSetKey) return {};
    return BookmarkOfRecNo(FBuffers[static_cast<size_t>(FActiveRecord)]->RecNo);
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
    CheckBrowseMode();
    uint32_t recNo = RecNoOfBookmark(Bookmark);
    DoBeforeScroll();
    if (recNo == 0 || !FCursor->GotoRecord(recNo)) {
        CursorPosChanged();
        Error(DBText::BookmarkNotFound);
    }
    ResyncAt(recNo, {}, {rmExact, rmCenter});
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark& Bookmark) {
    uint32_t recNo = RecNoOfBookmark(Bookmark);
    if (!Active() || recNo == 0 || recNo > Table().PhysicalCount()) return false;
    return FCursor->Accepts(recNo);
}

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    uint32_t r1 = RecNoOfBookmark(Bookmark1);
    uint32_t r2 = RecNoOfBookmark(Bookmark2);
    if (r1 == r2) return 0;
    if (r1 == 0) return -1;
    if (r2 == 0) return 1;
    if (Active() && FCursor->Order() >= 0) {
        TDbfTable& table = Table();
        uint32_t count = table.PhysicalCount();
        if (r1 <= count && r2 <= count) {
            std::string a(static_cast<size_t>(table.RecordLength()), ' ');
            std::string b(a.size(), ' ');
            table.Read(r1, a.data());
            table.Read(r2, b.data());
            int order = FCursor->Order();
            int c = table.CompareKey(table.KeyOf(order, a.data()), b.data());
            if (c < 0) return 1;
            if (c > 0) return -1;
        }
    }
    return r1 < r2 ? -1 : 1;
}

// ---------------------------------------------------------------- searching

bool TDataSet::LocateRecord(const AnsiString& KeyFields, const TVariant& KeyValues, TLocateOptions Options,
                            bool SyncCursor, TVariant* Result, const AnsiString& ResultField) {
    CheckActive();
    std::vector<TField*> fields;
    for (const AnsiString& name : SplitFieldNames(KeyFields)) fields.push_back(FieldByName(name));
    std::vector<TVariant> keys;
    if (KeyValues.IsArray()) {
        for (int i = KeyValues.ArrayLowBound(); i <= KeyValues.ArrayHighBound(); ++i)
            keys.push_back(KeyValues[i]);
    } else {
        keys.push_back(KeyValues);
    }
    if (fields.empty() || fields.size() != keys.size())
        Error(Format("Locate needs one value per key field (%d fields, %d values)",
                     {static_cast<int>(fields.size()), static_cast<int>(keys.size())}));
    TField* result = Result ? FieldByName(ResultField) : nullptr;
    bool calculated =
        std::any_of(fields.begin(), fields.end(), [](TField* f) { return f->FieldKind() != fkData; }) ||
        (result && result->FieldKind() != fkData);
    std::unique_ptr<TDbfCursor> cursor = CloneCursor();
    TDbfTable& table = cursor->Table();
    uint32_t found = 0;
    TDbfKey bound;
    bool seeked = !calculated && SeekLocateStart(*cursor, fields[0], keys[0], Options, bound);
    for (bool on = seeked ? cursor->OnRecord() : cursor->First(); on; on = cursor->Next()) {
        if (seeked && table.CompareKey(bound, cursor->Record()) != 0) break;
        FScratch.Data.assign(cursor->Record(), static_cast<size_t>(table.RecordLength()));
        FScratch.RecNo = cursor->RecNo();
        FScratch.Memos.clear();
        FScratch.Calc.assign(static_cast<size_t>(FCalcFieldCount), TFieldData{});
        if (calculated) GetCalcFields(FScratch);
        TRecordBuffer* saved = FFilterBuffer;
        FFilterBuffer = &FScratch;
        TDataSetState old = SetTempState(dsFilter);
        TFinally restore([&] {
            RestoreState(old);
            FFilterBuffer = saved;
        });
        bool match = true;
        for (size_t i = 0; i < fields.size() && match; ++i) match = FieldMatches(fields[i], keys[i], Options);
        if (!match) continue;
        found = FScratch.RecNo;
        if (result) *Result = result->Value();
        break;
    }
    if (!found) return false;
    if (SyncCursor) {
        DoBeforeScroll();
        if (!FCursor->GotoRecord(found)) Error(DBText::RecordNotFound);
        ResyncAt(found, {}, {rmExact, rmCenter});
        DoAfterScroll();
    }
    return true;
}

bool TDataSet::Locate(const AnsiString& KeyFields, const TVariant& KeyValues, TLocateOptions Options) {
    CheckBrowseMode();
    return LocateRecord(KeyFields, KeyValues, Options, true, nullptr, {});
}

TVariant TDataSet::Lookup(const AnsiString& KeyFields, const TVariant& KeyValues,
                          const AnsiString& ResultField) {
    TVariant result;
    if (!LocateRecord(KeyFields, KeyValues, {}, false, &result, ResultField)) return TVariant::Null();
    return result;
}

std::unique_ptr<TDbfCursor> TDataSet::CloneCursor() {
    if (!FCursor) return nullptr;
    auto cursor = std::make_unique<TDbfCursor>(FCursor->SharedTable());
    cursor->SetOrder(FCursor->Order());
    if (RangeStartKey() || RangeEndKey()) cursor->SetRange(RangeStartKey(), RangeEndKey());
    AddFiltersTo(*cursor);
    if (const TRecordBuffer* active = ActiveBuffer(); active && active->RecNo != 0)
        cursor->GotoRecord(active->RecNo);
    return cursor;
}

bool TDataSet::MapsToIndex(const std::vector<TField*>&, bool) { return false; }

bool TDataSet::SeekLocateStart(TDbfCursor&, const TField*, const TVariant&, TLocateOptions, TDbfKey&) {
    return false;
}

// ---------------------------------------------------------------- filters

bool TDataSet::JudgeFilterRecord(const char* Record, const std::function<bool()>& Judge) {
    // A judge that reads records of its own (a nested fetch) gets a buffer
    // of its own, so the outer record stays what the outer judge reads.
    TRecordBuffer nested;
    TRecordBuffer& buffer = FFilterBuffer == &FFilterScratch ? nested : FFilterScratch;
    TRecordBuffer* saved = FFilterBuffer;
    TFinally done([&] { FFilterBuffer = saved; });
    buffer.Data.assign(Record, static_cast<size_t>(Table().RecordLength()));
    buffer.RecNo = 0;
    buffer.Memos.clear();
    buffer.Calc.assign(static_cast<size_t>(FCalcFieldCount), TFieldData{});
    GetCalcFields(buffer);
    FFilterBuffer = &buffer;
    TDataSetState old = SetTempState(dsFilter);
    TFinally restore([&] { RestoreState(old); });
    return Judge();
}

TDbfRecordFilter TDataSet::RecordCallback() {
    return [this](const char* Record) -> bool {
        if (!Assigned(OnFilterRecord) || FInFilterCallback) return true;
        FInFilterCallback = true;
        TFinally done([&] { FInFilterCallback = false; });
        return JudgeFilterRecord(Record, [this] {
            bool accept = true;
            OnFilterRecord(this, accept);
            return accept;
        });
    };
}

void TDataSet::AddFiltersTo(TDbfCursor& Cursor) {
    for (const TOwnFilter& own : FOwnFilters)
        if (own.Active) Cursor.AddFilter(own.Filter);
    if (!FFiltered) return;
    if (FFilterExpr) Cursor.AddFilter(TDbfFilter::AsRecordFilter(FFilterExpr));
    Cursor.AddFilter(RecordCallback());
}

int TDataSet::AddOwnFilter(TDbfRecordFilter Filter) {
    if (!FCursor) return 0;
    TOwnFilter own{++FLastOwnFilter, std::move(Filter), true, 0};
    own.CursorHandle = FCursor->AddFilter(own.Filter);
    FOwnFilters.push_back(std::move(own));
    return FLastOwnFilter;
}

void TDataSet::RemoveOwnFilter(int Handle) {
    auto own = std::find_if(FOwnFilters.begin(), FOwnFilters.end(),
                            [Handle](const TOwnFilter& F) { return F.Handle == Handle; });
    if (own == FOwnFilters.end()) return;
    if (FCursor) FCursor->RemoveFilter(own->CursorHandle);
    FOwnFilters.erase(own);
}

void TDataSet::SetOwnFilterActive(int Handle, bool Active) {
    for (TOwnFilter& own : FOwnFilters) {
        if (own.Handle != Handle) continue;
        own.Active = Active;
        if (FCursor) FCursor->SetFilterActive(own.CursorHandle, Active);
    }
}

void TDataSet::ActivateFilters() {
    if (!FCursor) return;
    // Compiled first: a bad expression leaves the filters in force as they were.
    std::shared_ptr<const TDbfFilter> expression;
    if (FFiltered && !Trim(FFilterText).empty()) {
        TDbfFilterOptions options;
        options.CaseInsensitive = FFilterOptions.Contains(foCaseInsensitive);
        options.NoPartialCompare = FFilterOptions.Contains(foNoPartialCompare);
        expression = DbfCompileFilter(Table(), FFilterText, options);
    }
    if (FFilterHandle) FCursor->RemoveFilter(FFilterHandle);
    if (FCallbackHandle) FCursor->RemoveFilter(FCallbackHandle);
    FFilterHandle = FCallbackHandle = 0;
    FFilterExpr = expression;
    if (!FFiltered) return;
    if (FFilterExpr) FFilterHandle = FCursor->AddFilter(TDbfFilter::AsRecordFilter(FFilterExpr));
    FCallbackHandle = FCursor->AddFilter(RecordCallback());
}

// Changes one filter setting: on an open, filtered data set the filters are
// installed again (a refused expression restores the old setting) and the
// data set goes to its first record.
template <class T>
void TDataSet::ChangeFilterSetting(T& Setting, const T& Value, bool Always) {
    if (Value == Setting) return;
    if (!Active() || (!FFiltered && !Always)) {
        Setting = Value;
        return;
    }
    CheckBrowseMode();
    T old = Setting;
    Setting = Value;
    try {
        ActivateFilters();
    } catch (...) {
        Setting = old;
        throw;
    }
    First();
}

void TDataSet::SetFilter(const AnsiString& Value) { ChangeFilterSetting(FFilterText, Value, false); }

void TDataSet::SetFiltered(bool Value) { ChangeFilterSetting(FFiltered, Value, true); }

void TDataSet::SetFilterOptions(TFilterOptions Value) { ChangeFilterSetting(FFilterOptions, Value, false); }

// ---------------------------------------------------------------- events

void TDataSet::DoBeforeOpen() {
    if (Assigned(BeforeOpen)) BeforeOpen(this);
}
void TDataSet::DoAfterOpen() {
    if (Assigned(AfterOpen)) AfterOpen(this);
}
void TDataSet::DoBeforeClose() {
    if (Assigned(BeforeClose)) BeforeClose(this);
}
void TDataSet::DoAfterClose() {
    if (Assigned(AfterClose)) AfterClose(this);
}
void TDataSet::DoBeforeInsert() {
    if (Assigned(BeforeInsert)) BeforeInsert(this);
}
void TDataSet::DoAfterInsert() {
    if (Assigned(AfterInsert)) AfterInsert(this);
}
void TDataSet::DoBeforeEdit() {
    if (Assigned(BeforeEdit)) BeforeEdit(this);
}
void TDataSet::DoAfterEdit() {
    if (Assigned(AfterEdit)) AfterEdit(this);
}
void TDataSet::DoBeforePost() {
    if (Assigned(BeforePost)) BeforePost(this);
}
void TDataSet::DoAfterPost() {
    if (Assigned(AfterPost)) AfterPost(this);
}
void TDataSet::DoBeforeCancel() {
    if (Assigned(BeforeCancel)) BeforeCancel(this);
}
void TDataSet::DoAfterCancel() {
    if (Assigned(AfterCancel)) AfterCancel(this);
}
void TDataSet::DoBeforeDelete() {
    if (Assigned(BeforeDelete)) BeforeDelete(this);
}
void TDataSet::DoAfterDelete() {
    if (Assigned(AfterDelete)) AfterDelete(this);
}
void TDataSet::DoBeforeScroll() {
    if (Assigned(BeforeScroll)) BeforeScroll(this);
}
void TDataSet::DoAfterScroll() {
    if (Assigned(AfterScroll)) AfterScroll(this);
}
void TDataSet::DoOnNewRecord() {
    if (Assigned(OnNewRecord)) OnNewRecord(this);
}
void TDataSet::DoOnCalcFields() {
    if (Assigned(OnCalcFields)) OnCalcFields(this);
}
