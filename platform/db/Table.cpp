#include "platform/db/Table.h"

#include <algorithm>
#include <exception>
#include <map>

#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"

ZELMOR_IMPLEMENT_CLASS(TDBDataSet, TDataSet)
ZELMOR_IMPLEMENT_COMPONENT(TTable, TDBDataSet)
ZELMOR_IMPLEMENT_ENUM(TTableType, "ttDefault", "ttParadox", "ttDBase", "ttASCII", "ttFoxPro")

namespace {
TDbfValue ToDbfValue(const TVarRec& Value) {
    switch (Value.Kind()) {
    case TVarRec::vtNull: return TDbfValue{};
    case TVarRec::vtBoolean: return TDbfValue::FromBoolean(Value.AsBoolean());
    case TVarRec::vtInteger:
    case TVarRec::vtInt64: return TDbfValue::FromNumber(static_cast<double>(Value.AsInt64()));
    case TVarRec::vtExtended: return TDbfValue::FromNumber(static_cast<double>(Value.AsExtended()));
    case TVarRec::vtCurrency:
        return TDbfValue::FromNumber(static_cast<double>(CurrencyToDouble(Value.AsCurrency())));
    case TVarRec::vtChar: return TDbfValue::FromText(AnsiString(1, Value.AsChar()));
    default: return TDbfValue::FromText(Value.AsString());
    }
}

// How a field type is kept in a level-4 table (the widths are the engine's).
TDbfKind KindOfFieldType(TFieldType Type, const AnsiString& Name, const TComponent* Owner) {
    switch (Type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return TDbfKind::String;
    case ftSmallint: return TDbfKind::SmallInt;
    case ftInteger:
    case ftLargeint: return TDbfKind::Integer;
    case ftWord: return TDbfKind::Word;
    case ftAutoInc: return TDbfKind::AutoInc;
    case ftFloat: return TDbfKind::Float;
    case ftCurrency: return TDbfKind::Currency;
    case ftBCD: return TDbfKind::BCD;
    case ftBoolean: return TDbfKind::Boolean;
    case ftDate: return TDbfKind::Date;
    case ftTime: return TDbfKind::Time;
    case ftDateTime: return TDbfKind::DateTime;
    case ftMemo:
    case ftFmtMemo:
    case ftBlob:
    case ftGraphic: return TDbfKind::Memo;
    default:
        DatabaseErrorFmt(DBText::NotSupported, {"a field of type " + FieldTypeName(Type) + " (" + Name + ")"},
                         Owner);
    }
}

bool HasFolder(std::string_view Name) {
    return Name.find('\\') != std::string_view::npos || Name.find('/') != std::string_view::npos ||
           (Name.size() >= 2 && Name[1] == ':');
}
}  // namespace

// Follows the master data set: the detail shows the records whose leading
// index fields hold the master's MasterFields values.
class TMasterLink : public TDataLink {
public:
    explicit TMasterLink(TTable* Table) : FTable(Table) {}

protected:
    void ActiveChanged() override { FTable->MasterChanged(); }
    void DataSetChanged() override { FTable->MasterChanged(); }
    void DataSetScrolled(int) override { FTable->MasterChanged(); }
    void RecordChanged(TField* Field) override {
        if (!Field) return;
        for (const AnsiString& name : SplitFieldNames(FTable->MasterFields()))
            if (SameText(name, Field->FieldName())) return FTable->MasterChanged();
    }

private:
    TTable* FTable;
};

// ---------------------------------------------------------------- TDBDataSet

TDBDataSet::TDBDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TDBDataSet::~TDBDataSet() {
    if (FDatabase) FDatabase->UnregisterDataSet(this);
}

void TDBDataSet::DescribeProperties(TPropertyTable& T) {
    T.Property("DatabaseName", &TDBDataSet::DatabaseName, &TDBDataSet::SetDatabaseName);
    T.Property("SessionName", &TDBDataSet::SessionName, &TDBDataSet::SetSessionName);
}

void TDBDataSet::SetDatabaseName(const AnsiString& Value) {
    if (Value == FDatabaseName) return;
    CheckInactive();
    FDatabaseName = Value;
}

std::string TDBDataSet::DatabaseFolder() { return Session().FolderOf(FDatabaseName); }

void TDBDataSet::OpenCursor(bool InfoQuery) {
    TDataSet::OpenCursor(InfoQuery);
    if (InfoQuery) return;
    FDatabase = Session().FindDatabase(FDatabaseName);
    if (FDatabase) FDatabase->RegisterDataSet(this);
}

void TDBDataSet::CloseCursor() {
    TDataSet::CloseCursor();
    if (FDatabase) FDatabase->UnregisterDataSet(this);
    FDatabase = nullptr;
}

// ---------------------------------------------------------------- TTable

TTable::TTable(TComponent* AOwner)
    : TDBDataSet(AOwner), FIndexDefs(std::make_unique<TIndexDefs>(this)),
      FMasterLink(std::make_unique<TMasterLink>(this)) {}

TTable::~TTable() {
    if (Active()) {
        // Reached through a plain delete: what a Free would have done.
        try {
            Close();
        } catch (...) {
        }
    }
    FMasterLink.reset();
}

void TTable::DescribeProperties(TPropertyTable& T) {
    T.Property("Exclusive", &TTable::Exclusive, &TTable::SetExclusive).Default(false);
    T.Property("IndexDefs", &TTable::IndexDefs, &TTable::SetIndexDefs).Stored(false);
    T.Property("IndexFieldNames", &TTable::IndexFieldNames, &TTable::SetIndexFieldNames);
    T.Property("IndexName", &TTable::IndexName, &TTable::SetIndexName);
    T.Property("MasterFields", &TTable::MasterFields, &TTable::SetMasterFields);
    T.Property("MasterSource", &TTable::MasterSource, &TTable::SetMasterSource);
    T.Property("ReadOnly", &TTable::ReadOnly, &TTable::SetReadOnly).Default(false);
    T.Property("TableName", &TTable::TableName, &TTable::SetTableName);
    T.Property("TableType", &TTable::TableType, &TTable::SetTableType).Default(ttDefault);
}

void TTable::SetTableName(const AnsiString& Value) {
    if (Value == FTableName) return;
    CheckInactive();
    FTableName = Value;
    FIndexDefs->SetUpdated(false);
}

void TTable::SetTableType(TTableType Value) {
    CheckInactive();
    FTableType = Value;
}

void TTable::SetReadOnly(bool Value) {
    CheckInactive();
    FReadOnly = Value;
}

void TTable::SetExclusive(bool Value) {
    CheckInactive();
    FExclusive = Value;
}

bool TTable::CanModify() const { return TDBDataSet::CanModify() && !FReadOnly; }

void TTable::CheckDBase() const {
    bool paradox = FTableType == ttParadox;
    if (FTableType == ttDefault) {
        AnsiString ext = LowerCase(ExtractFileExt(FTableName));
        paradox = ext == ".db";
    }
    if (paradox) DatabaseErrorFmt(DBText::NotSupported, {"Paradox tables (" + FTableName + ")"}, this);
    if (FTableType == ttASCII || FTableType == ttFoxPro)
        DatabaseErrorFmt(
            DBText::NotSupported,
            {"tables of type " + GetEnumName(TypeInfoOf(static_cast<TTableType*>(nullptr)), FTableType)},
            this);
}

std::string TTable::TablePath() {
    if (Trim(FTableName).empty()) DatabaseError(DBText::NoTableName, this);
    if (HasFolder(FTableName)) return MapPath(FTableName);
    return DatabaseFolder() + "/" + ToUtf8(FTableName);
}

bool TTable::Exists() {
    if (Active()) return true;
    return !TDbfTable::Find(TablePath()).empty();
}

std::unique_ptr<TDbfCursor> TTable::CreateHandle() {
    CheckDBase();
    std::string path = TablePath();
    std::shared_ptr<TDbfTable> table;
    if (FReadOnly) {
        table = TDbfTable::Open(path, dbfReadOnly);
    } else {
        try {
            table = TDbfTable::Open(path, dbfReadWrite);
        } catch (EDBEngineError& e) {
            // A write-protected file still opens, for reading.
            if (e.ErrorCode() != dbeReadOnly) throw;
            table = TDbfTable::Open(path, dbfReadOnly);
        }
    }
    SetReadOnlyCursor(!table->Writable());
    return std::make_unique<TDbfCursor>(table);
}

void TTable::InitFieldDefs() {
    TDBDataSet::InitFieldDefs();
    UpdateIndexDefs();
}

void TTable::PrepareCursor() {
    Handle()->SetOrder(OrderForSettings());
    if (FMasterSource && FMasterSource->DataSet() && FMasterSource->DataSet()->Active()) ApplyMasterRange();
    TDBDataSet::PrepareCursor();
}

void TTable::CloseCursor() {
    FRangeActive = false;
    FRangeStart.reset();
    FRangeEnd.reset();
    for (TKeyState& key : FKeys) {
        key.Buffer = TRecordBuffer{};
        key.Assigned.clear();
    }
    TDBDataSet::CloseCursor();
}

void TTable::Notification(TComponent* AComponent, TOperation Operation) {
    TDBDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMasterSource) SetMasterSource(nullptr);
}

void TTable::DoOnNewRecord() {
    // A detail's new row starts with its master's link values.
    if (FMasterSource && FMasterSource->DataSet() && FMasterSource->DataSet()->Active()) {
        std::vector<AnsiString> names = SplitFieldNames(FMasterFields);
        std::vector<int> numbers = IndexFieldNumbers();
        for (size_t i = 0; i < names.size() && i < numbers.size(); ++i)
            if (TField* field = Fields()->FieldByNumber(numbers[i] + 1))
                field->SetValue(FMasterSource->DataSet()->FieldByName(names[i])->Value());
    }
    TDBDataSet::DoOnNewRecord();
}

// ---------------------------------------------------------------- indexes

int TTable::OrderForSettings() {
    TDbfTable& table = Table();
    if (!Trim(FIndexFieldNames).empty()) return table.OrderForFields(FIndexFieldNames);
    if (!Trim(FIndexName).empty()) {
        int tag = table.FindTag(Trim(FIndexName));
        if (tag < 0) DatabaseErrorFmt(DBText::IndexNotFound, {FIndexName}, this);
        return tag;
    }
    return -1;
}

void TTable::SwitchOrder() {
    CheckBrowseMode();
    int order = OrderForSettings();
    UpdateCursorPos();
    Handle()->SetOrder(order);
    FRangeActive = false;
    FRangeStart.reset();
    FRangeEnd.reset();
    if (FMasterSource && FMasterSource->DataSet() && FMasterSource->DataSet()->Active()) {
        ApplyMasterRange();
        Resync({});
        return;
    }
    Resync({});
}

void TTable::SetIndexName(const AnsiString& Value) {
    if (Value == FIndexName && FIndexFieldNames.empty()) return;
    AnsiString oldName = FIndexName, oldFields = FIndexFieldNames;
    FIndexName = Value;
    FIndexFieldNames.clear();
    if (!Active()) return;
    try {
        SwitchOrder();
    } catch (...) {
        FIndexName = oldName;
        FIndexFieldNames = oldFields;
        throw;
    }
}

void TTable::SetIndexFieldNames(const AnsiString& Value) {
    if (Value == FIndexFieldNames && FIndexName.empty()) return;
    AnsiString oldName = FIndexName, oldFields = FIndexFieldNames;
    FIndexFieldNames = Value;
    FIndexName.clear();
    if (!Active()) return;
    try {
        SwitchOrder();
    } catch (...) {
        FIndexName = oldName;
        FIndexFieldNames = oldFields;
        throw;
    }
}

void TTable::SetIndexDefs(TIndexDefs* Value) {
    if (Value && Value != FIndexDefs.get()) FIndexDefs->Assign(Value);
}

void TTable::UpdateIndexDefs() {
    auto fill = [this](TDbfTable& Table) {
        FIndexDefs->BeginUpdate();
        FIndexDefs->Clear();
        for (int i = 0; i < Table.TagCount(); ++i) {
            TDbfOrderInfo info = Table.OrderInfo(i);
            TIndexOptions options;
            if (info.Descending) options.Include(ixDescending);
            if (info.CaseInsensitive) options.Include(ixCaseInsensitive);
            if (info.IsExpression)
                FIndexDefs->Add(info.Name, info.Expression, options + TIndexOptions{ixExpression});
            else FIndexDefs->Add(info.Name, info.Fields, options);
        }
        FIndexDefs->EndUpdate();
        FIndexDefs->SetUpdated(true);
    };
    if (Handle()) return fill(Handle()->Table());
    std::shared_ptr<TDbfTable> table = TDbfTable::Open(TablePath(), dbfReadOnly);
    fill(*table);
}

std::vector<int> TTable::IndexFieldNumbers() const {
    std::vector<int> numbers;
    if (!Handle() || Handle()->Order() < 0) return numbers;
    TDbfTable& table = Handle()->Table();
    for (const AnsiString& name : SplitFieldNames(table.OrderInfo(Handle()->Order()).Fields)) {
        int index = table.FieldIndex(name);
        if (index >= 0) numbers.push_back(index);
    }
    return numbers;
}

int TTable::IndexFieldCount() const { return static_cast<int>(IndexFieldNumbers().size()); }

TField* TTable::IndexFields(int Index) const {
    std::vector<int> numbers = IndexFieldNumbers();
    if (Index < 0 || Index >= static_cast<int>(numbers.size())) return nullptr;
    return Fields()->FieldByNumber(numbers[static_cast<size_t>(Index)] + 1);
}

void TTable::GetIndexNames(TStrings& List) {
    UpdateIndexDefs();
    List.Clear();
    for (int i = 0; i < FIndexDefs->Count(); ++i) List.Add(FIndexDefs->Items(i)->Name());
}

bool TTable::MapsToIndex(const std::vector<TField*>& Fields, bool CaseInsensitive) {
    std::vector<int> numbers = IndexFieldNumbers();
    if (Fields.empty() || Fields.size() > numbers.size()) return false;
    for (size_t i = 0; i < Fields.size(); ++i)
        if (!Fields[i] || Fields[i]->FieldNo() - 1 != numbers[i]) return false;
    return !CaseInsensitive || Handle()->Table().OrderInfo(Handle()->Order()).CaseInsensitive;
}

// Locate by the current order when it leads with the field: the records
// that can match lie together from the value's key on, so the scan starts
// there and ends with the first record past them. A text compared without
// regard to case needs an order that ignores case too.
bool TTable::SeekLocateStart(TDbfCursor& Cursor, const TField* Field, const TVariant& Value,
                             TLocateOptions Options, TDbfKey& Bound) {
    int order = Cursor.Order();
    if (order < 0 || Value.IsNull() || Value.IsEmpty() || Field->FieldKind() != fkData) return false;
    std::vector<int> numbers = IndexFieldNumbers();
    if (numbers.empty() || numbers[0] != Field->FieldNo() - 1) return false;
    TDbfTable& table = Cursor.Table();
    TDbfValue key;
    switch (table.Field(numbers[0]).Type) {
    case 'C': {
        if (Options.Contains(loCaseInsensitive) && !table.OrderInfo(order).CaseInsensitive) return false;
        key = TDbfValue::FromText(VarToStr(Value));
        break;
    }
    case 'N':
    case 'F':
    case 'D': {
        double number = 0;
        if (Value.VarType() == varString) {
            if (!TextToFloat(Trim(Value.AsString()), number)) return false;
        } else {
            number = Value.AsFloat();
        }
        key =
            table.Field(numbers[0]).Type == 'D' ? TDbfValue::FromDate(number) : TDbfValue::FromNumber(number);
        break;
    }
    default: return false;
    }
    Bound = table.MakeKey(order, {key}, Options.Contains(loPartialKey));
    Cursor.Seek(Bound, dbfSeekNearest);
    return true;
}

// ---------------------------------------------------------------- keys

TRecordBuffer* TTable::GetActiveRecBuf() const {
    if (State() == dsSetKey) return const_cast<TRecordBuffer*>(&FKeys[FKeyIndex].Buffer);
    return TDBDataSet::GetActiveRecBuf();
}

void TTable::SetFieldData(TField* Field, TFieldData& Data) {
    TDBDataSet::SetFieldData(Field, Data);
    if (State() != dsSetKey || Field->FieldNo() <= 0) return;
    std::vector<int>& assigned = FKeys[FKeyIndex].Assigned;
    int index = Field->FieldNo() - 1;
    if (std::find(assigned.begin(), assigned.end(), index) == assigned.end()) assigned.push_back(index);
}

void TTable::SetKeyBuffer(TKeyIndex Index, bool Clear) {
    CheckBrowseMode();
    FKeyIndex = Index;
    TKeyState& key = FKeys[Index];
    FKeySaved = key;
    if (Clear || key.Buffer.Data.size() != static_cast<size_t>(Table().RecordLength())) {
        InitRecord(key.Buffer);
        key.Assigned.clear();
    }
    SetState(dsSetKey);
    DataEvent(deDataSetChange, 0);
}

void TTable::PostKeyBuffer(bool Commit) {
    DataEvent(deCheckBrowseMode, 0);
    if (!Commit) FKeys[FKeyIndex] = FKeySaved;
    TDBDataSet::PostKeyBuffer(Commit);
}

void TTable::SetKey() { SetKeyBuffer(kiLookup, true); }

void TTable::EditKey() { SetKeyBuffer(kiLookup, false); }

void TTable::SetRangeStart() { SetKeyBuffer(kiRangeStart, true); }

void TTable::SetRangeEnd() { SetKeyBuffer(kiRangeEnd, true); }

void TTable::EditRangeStart() { SetKeyBuffer(kiRangeStart, false); }

void TTable::EditRangeEnd() { SetKeyBuffer(kiRangeEnd, false); }

int TTable::CurrentOrder() const {
    int order = Handle() ? Handle()->Order() : -1;
    if (order < 0) DatabaseError(DBText::NoIndex, this);
    return order;
}

bool TTable::BuildKey(TKeyIndex Index, bool Partial, TDbfKey& Key) const {
    int order = CurrentOrder();
    const TKeyState& state = FKeys[Index];
    std::vector<int> numbers = IndexFieldNumbers();
    if (numbers.empty()) DatabaseError(DBText::NoIndex, this);
    if (state.Buffer.Data.size() != static_cast<size_t>(Table().RecordLength())) return false;
    size_t used = 0;
    if (FKeyFieldCount > 0) {
        used = static_cast<size_t>(FKeyFieldCount);
    } else {
        // Up to the last index field given a value (all of them when none was).
        for (size_t i = 0; i < numbers.size(); ++i)
            if (std::find(state.Assigned.begin(), state.Assigned.end(), numbers[i]) != state.Assigned.end())
                used = i + 1;
        if (used == 0) {
            if (Index != kiLookup) return false;
            used = numbers.size();
        }
    }
    used = std::min(used, numbers.size());
    TDbfTable& table = Table();
    const char* record = state.Buffer.Data.data();
    std::vector<TDbfValue> values;
    for (size_t i = 0; i < used; ++i) {
        int field = numbers[i];
        bool isNull = false;
        switch (table.Field(field).Type) {
        case 'N':
        case 'F': {
            double number = table.GetNumber(record, field, &isNull);
            values.push_back(isNull ? TDbfValue{} : TDbfValue::FromNumber(number));
            break;
        }
        case 'D': {
            double day = table.GetDate(record, field, &isNull);
            values.push_back(isNull ? TDbfValue{} : TDbfValue::FromDate(day));
            break;
        }
        case 'L': values.push_back(TDbfValue::FromBoolean(table.GetBoolean(record, field))); break;
        default: values.push_back(TDbfValue::FromText(table.GetText(record, field))); break;
        }
    }
    Key = table.MakeKey(order, values, Partial);
    return true;
}

TDbfKey TTable::KeyFromValues(const TKeyValues& Values, bool Partial) const {
    int order = CurrentOrder();
    TDbfTable& table = Table();
    TDbfOrderInfo info = table.OrderInfo(order);
    size_t limit = info.IsExpression ? 1 : IndexFieldNumbers().size();
    if (Values.size() > limit) DatabaseErrorFmt(DBText::TooManyKeyValues, {info.Name}, this);
    std::vector<TDbfValue> values;
    for (const TVarRec& value : Values) values.push_back(ToDbfValue(value));
    return table.MakeKey(order, values, Partial);
}

bool TTable::SeekTo(const TDbfKey& Key, bool Nearest) {
    DoBeforeScroll();
    CursorPosChanged();
    TDbfCursor& cursor = *Handle();
    if (!cursor.Seek(Key, Nearest ? dbfSeekNearest : dbfSeekExact) && !Nearest) return false;
    // A nearest key after every record gives the last one.
    if (!cursor.OnRecord()) cursor.Last();
    ResyncAt(cursor.OnRecord() ? cursor.RecNo() : 0, {},
             Nearest ? TResyncMode{rmCenter} : TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
    return true;
}

bool TTable::GotoKey() {
    CheckBrowseMode();
    TDbfKey key;
    if (!BuildKey(kiLookup, false, key)) return false;
    return SeekTo(key, false);
}

void TTable::GotoNearest() {
    CheckBrowseMode();
    TDbfKey key;
    if (!BuildKey(kiLookup, true, key)) return;
    SeekTo(key, true);
}

bool TTable::FindKey(const TKeyValues& KeyValues) {
    CheckBrowseMode();
    return SeekTo(KeyFromValues(KeyValues, false), false);
}

void TTable::FindNearest(const TKeyValues& KeyValues) {
    CheckBrowseMode();
    SeekTo(KeyFromValues(KeyValues, true), true);
}

void TTable::GotoCurrent(TTable* Table) {
    if (!Table || Table == this) return;
    CheckBrowseMode();
    Table->CheckBrowseMode();
    if (!Table->Active() || &Table->Handle()->Table() != &Handle()->Table())
        DatabaseError("GotoCurrent needs a table object open on the same table", this);
    TBookmark bookmark = Table->GetBookmark();
    if (bookmark.empty()) return;
    GotoBookmark(bookmark);
}

// ---------------------------------------------------------------- ranges

void TTable::SetRangeKeys(std::unique_ptr<TDbfKey> Start, std::unique_ptr<TDbfKey> End) {
    FRangeStart = std::move(Start);
    FRangeEnd = std::move(End);
    FRangeActive = FRangeStart || FRangeEnd;
    if (FRangeActive) Handle()->SetRange(FRangeStart.get(), FRangeEnd.get());
    else Handle()->ClearRange();
}

void TTable::ApplyRange() {
    CheckBrowseMode();
    auto start = std::make_unique<TDbfKey>();
    auto end = std::make_unique<TDbfKey>();
    bool hasStart = BuildKey(kiRangeStart, false, *start);
    bool hasEnd = BuildKey(kiRangeEnd, false, *end);
    SetRangeKeys(hasStart ? std::move(start) : nullptr, hasEnd ? std::move(end) : nullptr);
    First();
}

void TTable::CancelRange() {
    CheckBrowseMode();
    if (!FRangeActive) return;
    UpdateCursorPos();
    SetRangeKeys(nullptr, nullptr);
    Resync({});
}

void TTable::SetRange(const TKeyValues& StartValues, const TKeyValues& EndValues) {
    CheckBrowseMode();
    std::unique_ptr<TDbfKey> start, end;
    if (!StartValues.empty()) start = std::make_unique<TDbfKey>(KeyFromValues(StartValues, false));
    if (!EndValues.empty()) end = std::make_unique<TDbfKey>(KeyFromValues(EndValues, false));
    SetRangeKeys(std::move(start), std::move(end));
    First();
}

const TDbfKey* TTable::RangeStartKey() const { return FRangeActive ? FRangeStart.get() : nullptr; }

const TDbfKey* TTable::RangeEndKey() const { return FRangeActive ? FRangeEnd.get() : nullptr; }

// ---------------------------------------------------------------- master and detail

void TTable::SetMasterSource(TDataSource* Value) {
    if (Value == FMasterSource) return;
    if (Value && Value->IsLinkedTo(this)) DatabaseError(DBText::CircularDataLink, this);
    if (FMasterSource) FMasterSource->RemoveFreeNotification(this);
    FMasterSource = Value;
    if (FMasterSource) FMasterSource->FreeNotification(this);
    FMasterLink->SetDataSource(Value);
    if (!Value && Active() && FRangeActive) CancelRange();
}

void TTable::SetMasterFields(const AnsiString& Value) {
    FMasterFields = Value;
    if (Active()) MasterChanged();
}

void TTable::ApplyMasterRange() {
    TDataSet* master = FMasterSource->DataSet();
    TKeyValues values;
    for (const AnsiString& name : SplitFieldNames(FMasterFields))
        values.push_back(master->FieldByName(name)->Value().ToVarRec());
    if (values.empty()) return SetRangeKeys(nullptr, nullptr);
    TDbfKey key = KeyFromValues(values, false);
    SetRangeKeys(std::make_unique<TDbfKey>(key), std::make_unique<TDbfKey>(key));
}

void TTable::MasterChanged() {
    if (!Active() || State() == dsSetKey) return;
    CheckBrowseMode();
    if (FMasterSource && FMasterSource->DataSet() && FMasterSource->DataSet()->Active()) ApplyMasterRange();
    else SetRangeKeys(nullptr, nullptr);
    First();
}

// ---------------------------------------------------------------- the table's files

void TTable::CreateTable() {
    CheckInactive();
    CheckDBase();
    std::vector<TDbfFieldSpec> fields;
    if (FieldDefs()->Count() > 0) {
        for (int i = 0; i < FieldDefs()->Count(); ++i) {
            TFieldDef* def = FieldDefs()->Items(i);
            fields.push_back(DbfFieldSpecFor(def->Name(), KindOfFieldType(def->DataType(), def->Name(), this),
                                             def->Size()));
        }
    } else {
        for (TField* field : Fields()->List())
            if (field->FieldKind() == fkData)
                fields.push_back(DbfFieldSpecFor(field->FieldName(),
                                                 KindOfFieldType(field->DataType(), field->FieldName(), this),
                                                 field->Size()));
    }
    std::vector<TDbfIndexSpec> indexes;
    for (int i = 0; i < FIndexDefs->Count(); ++i) {
        TIndexDef* def = FIndexDefs->Items(i);
        TDbfIndexSpec spec;
        spec.Name = def->Name();
        spec.Expression = def->Options().Contains(ixExpression);
        spec.Fields = spec.Expression ? def->Expression() : def->Fields();
        spec.Descending = def->Options().Contains(ixDescending);
        spec.CaseInsensitive = def->Options().Contains(ixCaseInsensitive);
        indexes.push_back(spec);
    }
    std::string path = TablePath();
    // An existing table of that name is replaced under the name it has.
    std::string existing = TDbfTable::Find(path);
    TDbfTable::Create(existing.empty() ? path : existing, fields, indexes);
}

void TTable::EmptyTable() {
    if (Active()) {
        CheckBrowseMode();
        CheckCanModify();
        Table().Empty();
        Resync({});
        return;
    }
    std::shared_ptr<TDbfTable> table = TDbfTable::Open(TablePath(), dbfReadWrite);
    table->Empty();
    table->Flush();
}

void TTable::DeleteTable() {
    CheckInactive();
    TDbfTable::Delete(TablePath());
}

void TTable::RenameTable(const AnsiString& NewTableName) {
    CheckInactive();
    std::string oldPath = TablePath();
    AnsiString oldName = FTableName;
    FTableName = NewTableName;
    std::string newPath;
    try {
        newPath = TablePath();
    } catch (...) {
        FTableName = oldName;
        throw;
    }
    FTableName = oldName;
    TDbfTable::Rename(oldPath, newPath);
    FTableName = NewTableName;
}

void TTempTableDeleter::operator()(TTable* Table) const {
    if (Table) Table->Free();
}

TTempTable NewTempTable(const AnsiString& DatabaseName, const AnsiString& TableName) {
    TTempTable t(NewComponent<TTable>(nullptr));
    t->SetDatabaseName(DatabaseName);
    t->SetTableName(TableName);
    t->SetTableType(ttDBase);
    return t;
}

TTempTable OpenTempTable(const AnsiString& DatabaseName, const AnsiString& TableName,
                         const AnsiString& IndexName) {
    TTempTable t = NewTempTable(DatabaseName, TableName);
    if (!IndexName.empty()) t->SetIndexName(IndexName);
    t->Open();
    return t;
}

void FilterEqual(TDataSet& Data, const AnsiString& Field, const AnsiString& Value) {
    Data.SetFilterOptions(TFilterOptions{foNoPartialCompare});
    Data.SetFilter(Field + "=" + QuotedStr(Value));
    Data.SetFiltered(true);
}

TTableHold::TTableHold(const AnsiString& DatabaseName, const std::vector<AnsiString>& Write,
                       const std::vector<AnsiString>& Read) {
    // By the path found on disk, whatever letter case a program names it in;
    // a table named in both lists is held for writing.
    std::map<std::string, bool> tables;
    for (const auto* names : {&Write, &Read})
        for (const AnsiString& name : *names) {
            std::string path = NewTempTable(DatabaseName, name)->TablePath();
            std::string found = TDbfTable::Find(path);
            tables[found.empty() ? path : found] |= names == &Write;
        }
    try {
        for (const auto& [path, write] : tables) {
            std::shared_ptr<TDbfTable> table;
            try {
                table = TDbfTable::Open(path, dbfReadWrite);
            } catch (EDBEngineError& e) {
                if (write || e.ErrorCode() != dbeReadOnly) throw;
                table = TDbfTable::Open(path, dbfReadOnly);
            }
            table->BeginHold(write);
            FTables.push_back(std::move(table));
        }
    } catch (...) {
        try {
            End();
        } catch (...) {
            // The refusal is what the caller needs to hear.
        }
        throw;
    }
}

TTableHold::~TTableHold() {
    try {
        End();
    } catch (...) {
        // Nothing is lost: the stale mark stays set and the next opening rebuilds the index.
    }
}

void TTableHold::End() {
    std::exception_ptr first;
    while (!FTables.empty()) {
        std::shared_ptr<TDbfTable> table = std::move(FTables.back());
        FTables.pop_back();
        try {
            table->EndHold();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}
