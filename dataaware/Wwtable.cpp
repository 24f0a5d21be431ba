#include "dataaware/Wwtable.h"

#include <algorithm>

#include "dataaware/Wwintl.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Params.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwTable, TTable)

namespace {

// The escape key is looked for every hundredth record a filter judges; the
// count starts again before it could overflow.
constexpr int EscapePollEvery = 100;
constexpr int EscapePollWrap = 32000;

}  // namespace

// ---------------------------------------------------------------- TwwDataSetExtras

TwwDataSetExtras::TwwDataSetExtras(TDataSet* DataSet)
    : FDataSet(DataSet), FLookupFields(std::make_unique<TStringList>()),
      FLookupLinks(std::make_unique<TStringList>()), FControlType(std::make_unique<TStringList>()),
      FPictureMasks(std::make_unique<TStringList>()), FFilterParams(std::make_unique<TParams>()) {
    FFilterParams->AddParam();
}

TwwDataSetExtras::~TwwDataSetExtras() { FreeLookupTables(); }

TStrings* TwwDataSetExtras::LookupFields() const { return FLookupFields.get(); }
TStrings* TwwDataSetExtras::LookupLinks() const { return FLookupLinks.get(); }
TStrings* TwwDataSetExtras::ControlType() const { return FControlType.get(); }
TStrings* TwwDataSetExtras::PictureMasks() const { return FPictureMasks.get(); }

void TwwDataSetExtras::FreeLookupTables() {
    TwwLookupTables tables;
    tables.swap(FLookupTables);
    for (TwwTable* table : tables) table->Free();
}

void TwwDataSetExtras::SetOptions(TwwOnFilterOptions Value, bool FilterAssigned) {
    bool disabling = FOptions.Contains(ofoEnabled) && !Value.Contains(ofoEnabled);
    FOptions = Value;
    // The cursor counts its records again: the callback answers otherwise now.
    if (FCallbackHandle) FDataSet->SetOwnFilterActive(FCallbackHandle, true);
    // Inside the callback the engine is in the middle of a read: the records
    // that come after are accepted, and the hidden ones show at the next read.
    if (disabling && FilterAssigned && FDataSet->Active() && !FInCallback) {
        FDataSet->UpdateCursorPos();
        FDataSet->Resync({});
    }
}

bool TwwDataSetExtras::JudgeRecord(const char* Record) {
    if (FDataSet->ComponentState().Contains(csDestroying) || !FRunFilter || FInCallback ||
        !FOptions.Contains(ofoEnabled))
        return true;
    bool accept = true;
    {
        FInCallback = true;
        const char* saved = FFilterRecord;
        TwwFinally done([&] {
            FInCallback = false;
            FFilterRecord = saved;
        });
        FFilterRecord = Record;
        FDataSet->JudgeFilterRecord(Record, [&] {
            FRunFilter(accept);
            return accept;
        });
    }
    if (FOptions.Contains(ofoShowHourGlass) && !accept && !FHourGlassShown) {
        if (Screen && Screen->Cursor() != crHourGlass) Screen->SetCursor(crHourGlass);
        FHourGlassShown = true;
    }
    if (FOptions.Contains(ofoCancelOnEscape)) {
        if (++FEscapePoll >= EscapePollWrap) FEscapePoll = 0;
        if (FEscapePoll % EscapePollEvery == 0 && PollEscapeKey(FDataSet)) {
            if (FOnEscape && Assigned(*FOnEscape)) (*FOnEscape)(FDataSet);
        }
    }
    return accept;
}

bool TwwDataSetExtras::InstallRecordFilter(std::function<void(bool& Accept)> RunFilter,
                                           const TDataSetNotifyEvent* OnEscape) {
    FRunFilter = std::move(RunFilter);
    FOnEscape = OnEscape;
    if (!FRunFilter) return SetRecordFilterCallback(nullptr, FDataSet, FCallbackHandle);
    return SetRecordFilterCallback([this](const char* Record) { return JudgeRecord(Record); }, FDataSet,
                                   FCallbackHandle);
}

void TwwDataSetExtras::RestoreFilterCursor() {
    if (!FOptions.Contains(ofoShowHourGlass) || !FHourGlassShown) return;
    if (Screen && Screen->Cursor() != crArrow) Screen->SetCursor(crArrow);
    FHourGlassShown = false;
}

TParam* TwwDataSetExtras::GetFilterFieldValue(const AnsiString& FieldName) {
    TField* field = FDataSet->FindField(FieldName);
    if (!field) DatabaseErrorFmt(DBText::FieldNotFound, {FieldName}, FDataSet);
    return GetFilterFieldValue(field);
}

namespace {
// The engine field a stored field of the filtered record is read from, or -1.
int DirectFieldIndex(TDataSet* DataSet, const char* Record, TField* Field) {
    if (!Record || !DataSet->Handle() || Field->FieldNo() <= 0 || Field->IsBlob() ||
        IsCalcOrLookupField(Field))
        return -1;
    return Field->FieldNo() - 1;
}
}  // namespace

TwwDataSetExtras::TFilterRead TwwDataSetExtras::ReadFilterNumber(TField* Field, double& Value) const {
    const TFieldType type = Field->DataType();
    const int index = DirectFieldIndex(FDataSet, FFilterRecord, Field);
    if (index < 0 || FieldCategory(type) != TFieldCategory::Number) return {};
    const TDbfTable& table = FDataSet->Handle()->Table();
    if (table.IsBlank(FFilterRecord, index)) return {true, true};
    Value = table.GetNumber(FFilterRecord, index);
    return {true, false};
}

TwwDataSetExtras::TFilterRead TwwDataSetExtras::ReadFilterText(TField* Field, AnsiString& Text) const {
    const TFieldType type = Field->DataType();
    const int index = DirectFieldIndex(FDataSet, FFilterRecord, Field);
    if (index < 0 || (type != ftString && type != ftFixedChar && type != ftWideString)) return {};
    const TDbfTable& table = FDataSet->Handle()->Table();
    // As GetFilterFieldValue: a blank text field other than ftString is null.
    if (type != ftString && table.IsBlank(FFilterRecord, index)) {
        Text.clear();
        return {true, true};
    }
    Text = table.GetText(FFilterRecord, index).substr(0, 255);
    return {true, false};
}

TParam* TwwDataSetExtras::GetFilterFieldValue(TField* field) {
    TParam* param = FFilterParams->Items(0);
    param->Clear();
    const TFieldType type = field->DataType();
    if (field->IsBlob() || type == ftMemo || type == ftBlob) {
        AnsiString text;
        if (FFilterRecord) ReadBlobForFilter(FDataSet, FFilterRecord, text, GetFilterMemoSize(), field);
        else text = field->AsString();
        param->SetDataType(ftString);
        param->SetAsString(text);
        return param;
    }
    if (IsCalcOrLookupField(field)) {
        TField* result = FindLookupResultField(
            FDataSet, field, [this](const AnsiString& Name) { return GetFilterFieldValue(Name); });
        // A lookup that finds nothing leaves no value behind: not the last record's.
        param = FFilterParams->Items(0);
        param->Clear();
        if (!result) {
            param->SetDataType(type);
            return param;
        }
        param->SetDataType(result->DataType());
        CopyFieldToParam(result, param, FParamBuffer);
        return param;
    }
    param->SetDataType(type == ftAutoInc ? ftInteger : type == ftBCD ? ftCurrency : type);
    if (!FFilterRecord || !FDataSet->Handle() || field->FieldNo() <= 0) {
        if (!field->IsNull()) param->SetValue(field->Value());
        return param;
    }
    const TDbfTable& table = FDataSet->Handle()->Table();
    const int index = field->FieldNo() - 1;
    if (table.IsBlank(FFilterRecord, index) && type != ftString && type != ftBoolean) return param;
    switch (FieldCategory(type)) {
    case TFieldCategory::Number: param->SetAsFloat(table.GetNumber(FFilterRecord, index)); break;
    case TFieldCategory::Boolean: param->SetAsBoolean(table.GetBoolean(FFilterRecord, index)); break;
    case TFieldCategory::DateTime: param->SetAsDateTime(table.GetDate(FFilterRecord, index)); break;
    default: param->SetAsString(table.GetText(FFilterRecord, index).substr(0, 255)); break;
    }
    return param;
}

void TwwDataSetExtras::CalcLookups() {
    DropMissingFieldEntries(FDataSet, FLookupFields.get(), FLookupLinks.get(), FControlType.get());
    CalcLookupFields(FDataSet, FLookupFields.get(), FLookupLinks.get(), FLookupTables);
}

void TwwDataSetExtras::ValidateBeforePost(bool ValidateWithMask, const TwwInvalidValueEvent& OnInvalidValue) {
    if (ValidateWithMask) ValidateFieldsWithMasks(FDataSet, OnInvalidValue);
}

// ---------------------------------------------------------------- TwwTable

TwwTable::TwwTable(TComponent* AOwner)
    : TTable(AOwner), FExtras(std::make_unique<TwwDataSetExtras>(this)),
      FwwFilter(std::make_unique<TStringList>()), FQuery(std::make_unique<TStringList>()) {}

TwwTable::~TwwTable() {
    if (Active()) {
        // Reached through a plain delete: close while the record filter,
        // which calls back into this object, can still run.
        try {
            Close();
        } catch (...) {
        }
    }
    FExtras->FreeLookupTables();
    for (bool* flag : FWatchFlags) *flag = true;
    if (Assigned(OnDestroyNotify)) OnDestroyNotify(this);
}

void TwwTable::BeforeDestruction() {
    FExtras->FreeLookupTables();
    TTable::BeforeDestruction();
}

void TwwTable::DescribeProperties(TPropertyTable& T) {
    T.Property("ControlType", &TwwTable::ControlType, &TwwTable::SetControlType);
    T.Property("LookupFields", &TwwTable::LookupFields, &TwwTable::SetLookupFields);
    T.Property("LookupLinks", &TwwTable::LookupLinks, &TwwTable::SetLookupLinks);
    T.Property("NarrowSearch", &TwwTable::NarrowSearch, &TwwTable::SetNarrowSearch);
    T.Property("NarrowSearchUpperChar", &TwwTable::NarrowSearchUpperChar, &TwwTable::SetNarrowSearchUpperChar)
        .Default(255);
    T.Property("PictureMasks", &TwwTable::PictureMasks, &TwwTable::SetPictureMasks);
    T.Property("Query", &TwwTable::Query, &TwwTable::SetQuery);
    T.Property("SyncSQLByRange", &TwwTable::SyncSQLByRange, &TwwTable::SetSyncSQLByRange);
    T.PropertyOf<TwwTable>("TableName", &TwwTable::TableName, &TwwTable::SetTableName);
    T.Property("ValidateWithMask", &TwwTable::ValidateWithMask, &TwwTable::SetValidateWithMask);
    T.Property("wwFilter", &TwwTable::wwFilter, &TwwTable::SetwwFilter);
    T.Event("OnFilterEscape", &TwwTable::OnFilterEscape);
    T.PropertyOf<TwwTable>(
        "OnFilter", &TwwTable::OnFilter,
        [](TwwTable& Table, const TwwTableFilterEvent& Value) { Table.SetOnFilter(Value); });
    T.Property("OnFilterOptions", &TwwTable::OnFilterOptions, &TwwTable::SetOnFilterOptions)
        .Default(TwwOnFilterOptions{ofoEnabled, ofoShowHourGlass});
    T.Event("OnInvalidValue", &TwwTable::OnInvalidValue);
}

void TwwTable::SetLookupFields(TStrings* Value) { LookupFields()->Assign(Value); }
void TwwTable::SetLookupLinks(TStrings* Value) { LookupLinks()->Assign(Value); }
void TwwTable::SetControlType(TStrings* Value) { ControlType()->Assign(Value); }
void TwwTable::SetPictureMasks(TStrings* Value) { PictureMasks()->Assign(Value); }

TStrings* TwwTable::wwFilter() const { return FwwFilter.get(); }

void TwwTable::SetwwFilter(TStrings* Value) {
    if (Value != FwwFilter.get()) FwwFilter->Assign(Value);
    if (!Active()) return;
    if (!ApplyFilterText(GetwwFilterText(), this, FFilterHandle, false))
        MessageDlg("Fail to set filter", mtWarning, {mbOK}, 0);
}

AnsiString TwwTable::GetwwFilterText() const {
    static const TCharSet blanks(" \t");
    AnsiString text;
    for (int i = 0; i < FwwFilter->Count(); ++i) {
        AnsiString line = FwwFilter->Strings(i);
        TrimTrailingChars(line, blanks);
        if (line.empty()) continue;
        text += text.empty() ? line : " AND (" + line + ")";
    }
    return text;
}

TStrings* TwwTable::Query() const { return FQuery.get(); }

void TwwTable::SetQuery(TStrings* Value) {
    if (Active()) Close();
    if (Value && Value->Count() > 0) {
        TTable::SetTableName("");
        SetIndexFieldNames("");
        SetMasterSource(nullptr);
        SetMasterFields("");
    }
    if (Value != FQuery.get()) FQuery->Assign(Value);
}

void TwwTable::SetTableName(const AnsiString& Value) {
    TTable::SetTableName(Value);
    if (!Value.empty()) FQuery->Clear();
}

void TwwTable::SetOnFilter(const TwwTableFilterEvent& Value) {
    FOnFilter = Value;
    if (!Assigned(FOnFilter)) {
        if (Handle()) FExtras->InstallRecordFilter(nullptr, nullptr);
        return;
    }
    // A closed table installs it when its cursor is prepared.
    if (Handle()) InstallFilterCallback();
}

void TwwTable::InstallFilterCallback() {
    FExtras->InstallRecordFilter(
        [this](bool& Accept) {
            if (Assigned(FOnFilter)) FOnFilter(this, Accept);
        },
        &OnFilterEscape);
}

void TwwTable::SetOnFilterOptions(TwwOnFilterOptions Value) {
    FExtras->SetOptions(Value, Assigned(FOnFilter));
}

bool TwwTable::ApplywwFilter() {
    bool applied = ApplyFilterText(GetwwFilterText(), this, FFilterHandle, FPreparing);
    if (Assigned(FOnFilter) && FExtras->CallbackHandle() == 0) InstallFilterCallback();
    return applied;
}

bool TwwTable::IsDBaseTable() const {
    if (TableType() == ttDBase) return true;
    return UpperCase(ExtractFileExt(TableName())) == ".DBF";
}

bool TwwTable::IsParadoxTable() const {
    if (TableType() != ttDefault) return TableType() == ttParadox;
    AnsiString name = LowerCase(TableName());
    return Pos(".db", name) > 0 && !name.empty() && name.back() == 'b';
}

bool TwwTable::IsParadoxOpen() const { return Handle() && IsParadoxTable(); }

AnsiString TwwTable::GetParadoxPicture(std::string_view) { return {}; }

std::unique_ptr<TDbfCursor> TwwTable::CreateHandle() {
    if (FQuery->Count() == 0) return TTable::CreateHandle();
    TTable::SetTableName("");
    SetIndexFieldNames("");
    SetMasterSource(nullptr);
    SetMasterFields("");
    DatabaseErrorFmt(DBText::NotSupported, {FQueryLanguage + " statements (the dBase engine runs none)"},
                     this);
}

void TwwTable::OpenCursor(bool InfoQuery) {
    if (FQuery->Count() > 0) {
        AnsiString first = LowerCase(FQuery->Strings(0));
        first = first.substr(0, first.find(' '));
        FQueryLanguage = first == "query" ? "QBE" : "SQL";
    }
    TTable::OpenCursor(InfoQuery);
    FParadoxOpen = IsParadoxOpen();
}

void TwwTable::CloseCursor() {
    FExtras->FreeLookupTables();
    FFilterHandle = 0;
    FExtras->CallbackHandle() = 0;
    TTable::CloseCursor();
    if (FQuery->Count() > 0) TTable::SetTableName("");
}

void TwwTable::PrepareCursor() {
    TTable::PrepareCursor();
    FPreparing = true;
    TwwFinally done([this] { FPreparing = false; });
    if (!GetwwFilterText().empty() || Assigned(FOnFilter)) ApplywwFilter();
}

void TwwTable::DoBeforePost() {
    TTable::DoBeforePost();
    FExtras->ValidateBeforePost(FValidateWithMask, OnInvalidValue);
}

void TwwTable::DoOnCalcFields() {
    FExtras->CalcLookups();
    TTable::DoOnCalcFields();
}

int TwwTable::GetNextRecords() {
    int count = TTable::GetNextRecords();
    FExtras->RestoreFilterCursor();
    return count;
}

void TwwTable::DataEvent(TDataEvent Event, intptr_t Info) {
    TTable::DataEvent(Event, Info);
    FExtras->RestoreFilterCursor();
}

bool TwwTable::IsSequenced() {
    return TTable::IsSequenced() && !Assigned(FOnFilter) && GetwwFilterText().empty();
}

// ---------------------------------------------------------------- indexes

void RefreshIndexDefs(TTable* Table) {
    TIndexDefs* defs = Table->IndexDefs();
    if (defs->Count() == 0 || !defs->Updated() || defs->Items(0)->Name() == Table->Name() + "Index0")
        Table->UpdateIndexDefs();
}

bool FindIndexForFields(TTable* Table, const AnsiString& Fields, bool CaseSensitive, bool ExactLength,
                        AnsiString& IndexName) {
    const AnsiString wanted = UpperCase(Fields);
    TIndexDefs* defs = Table->IndexDefs();
    for (int i = 0; i < defs->Count(); ++i) {
        TIndexDef* def = defs->Items(i);
        const AnsiString fields = UpperCase(def->Fields());
        if (fields.compare(0, wanted.size(), wanted) != 0) continue;
        if (def->Options().Contains(ixCaseInsensitive) == CaseSensitive) continue;
        if (ExactLength && fields.size() != wanted.size()) continue;
        // "NAME" is no index on the single field NAMEX.
        if (fields.size() > wanted.size() && fields[wanted.size()] != ';') continue;
        IndexName = def->Name();
        return true;
    }
    return false;
}

AnsiString GetIndexFieldsOfIndex(TTable* Table, const AnsiString& IndexName) {
    RefreshIndexDefs(Table);
    TIndexDefs* defs = Table->IndexDefs();
    for (int i = 0; i < defs->Count(); ++i)
        if (defs->Items(i)->Name() == IndexName) return defs->Items(i)->Fields();
    if (IndexName.empty())
        for (int i = 0; i < defs->Count(); ++i)
            if (defs->Items(i)->Name() == "PrimaryKey") return defs->Items(i)->Fields();
    return {};
}

AnsiString TwwTable::GetIndexNameForFields(const AnsiString& Fields, bool CaseSensitive) {
    RefreshIndexDefs(this);
    AnsiString name;
    if (FindIndexForFields(this, Fields, CaseSensitive, true, name) ||
        FindIndexForFields(this, Fields, CaseSensitive, false, name))
        return name;
    return "?";
}

AnsiString TwwTable::FindIndexForFieldsAnyCase(const AnsiString& Fields) {
    RefreshIndexDefs(this);
    AnsiString name;
    if (FindIndexForFields(this, Fields, false, true, name) ||
        FindIndexForFields(this, Fields, true, true, name) ||
        FindIndexForFields(this, Fields, false, false, name) ||
        FindIndexForFields(this, Fields, true, false, name))
        return name;
    return "?";
}

bool TwwTable::SetIndexForFields(const AnsiString& Fields) {
    if (Fields.empty() || FQuery->Count() > 0) return false;
    RefreshIndexDefs(this);
    if (!MasterSource() && IndexFieldCount() > 0 && EqualsIgnoreCase(IndexFields(0)->FieldName(), Fields))
        return true;
    TwwBusyScope busy(this);
    AnsiString name;
    if (!MasterSource() || FIgnoreMasterLink) {
        name = FindIndexForFieldsAnyCase(Fields);
    } else {
        // A detail keeps its link fields first; only the list's first field is sorted by.
        int position = 1;
        AnsiString kept = NextToken(Fields, ";", position);
        int links = 0;
        position = 1;
        while (position > 0 && !NextToken(MasterFields(), ";", position).empty()) ++links;
        AnsiString linkPart;
        for (int i = 0; i < links; ++i) {
            TField* field = IndexFields(i);
            if (!field) DatabaseErrorFmt("Field index out of range", {}, this);
            linkPart += (i ? ";" : "") + field->FieldName();
        }
        name = FindIndexForFieldsAnyCase(linkPart + ";" + kept);
    }
    if (name == "?") return false;
    AnsiString current = IndexName();
    if (!IndexFieldNames().empty()) current = FindIndexForFieldsAnyCase(IndexFieldNames());
    if (EqualsIgnoreCase(name, current)) return true;
    TIndexDefs* defs = IndexDefs();
    for (int i = 0; i < defs->Count(); ++i) {
        if (!EqualsIgnoreCase(defs->Items(i)->Name(), name)) continue;
        SelectIndexDef(this, defs->Items(i));
        break;
    }
    return true;
}

void TwwTable::UseIndexForFields(const AnsiString& Fields) { SetIndexForFields(Fields); }

bool TwwTable::SetIndexForSelected(TStrings* Selected) {
    if (!Selected || Selected->Count() == 0) return false;
    int position = 1;
    return SetIndexForFields(NextToken(Selected->Strings(0), "\t", position));
}

AnsiString TwwTable::GetFirstIndexField() {
    AnsiString fields =
        IndexFieldNames().empty() ? GetIndexFieldsOfIndex(this, IndexName()) : IndexFieldNames();
    int position = 1;
    return NextToken(fields, ";", position);
}

void TwwTable::SetRangeFromKey(const TKeyValues& Values) {
    CheckBrowseMode();
    SetRange(Values, {});
}

void TwwTable::ClearRange() {
    if (DefaultIntl->ReopenToCancelRange() && IsSQLBasedTable(this)) {
        // A server keeps no range to cancel: the table is read again whole.
        auto layout = std::make_unique<TStringList>();
        BuildDefaultSelected(this, *layout);
        Close();
        Open();
        ApplySelectedToFields(this, layout.get());
        return;
    }
    CancelRange();
}

bool TwwTable::SearchIndexValue(const AnsiString& Text, int Position) {
    TwwBusyScope busy(this);
    return IncrementalIndexSearch(this, Text, Position);
}

// ---------------------------------------------------------------- key search

TVarRec KeyValueForField(TField* Field, const TVarRec& Value) {
    if (!Field || Value.Kind() != TVarRec::vtString) return Value;
    const AnsiString text = Trim(Value.AsString());
    if (text.empty()) return Value;
    switch (FieldCategory(Field->DataType())) {
    case TFieldCategory::Number: {
        double number;
        return TextToFloat(text, number) ? TVarRec(number) : Value;
    }
    case TFieldCategory::DateTime: {
        TDateTime date;
        return ParseDateText(text, date) ? TVarRec(date) : Value;
    }
    default: return Value;
    }
}

namespace {
bool CurrentRecordHolds(TTable* Table, const TKeyValues& Values, bool IgnoreCase) {
    if (Table->IsEmpty()) return false;
    for (size_t i = 0; i < Values.size(); ++i) {
        TField* field = Table->IndexFields(static_cast<int>(i));
        if (!field) return false;
        AnsiString wanted = VarRecToText(Values[i]);
        AnsiString held = field->AsString();
        if (IgnoreCase ? !AnsiSameText(wanted, held) : wanted != held) return false;
    }
    return true;
}

bool CurrentIndexIgnoresCase(TTable* Table) {
    if (!Table->Handle() || Table->Handle()->Order() < 0) return false;
    return Table->Handle()->Table().OrderInfo(Table->Handle()->Order()).CaseInsensitive;
}
}  // namespace

bool TableFindKeyValues(TTable* Table, const TKeyValues& Values) {
    const int fields = Table->IndexFieldCount();
    if (fields == 0) return false;
    if (static_cast<int>(Values.size()) > fields) {
        MessageDlg("Table " + Table->Name() + ": FindKey has too many lookup values for index " +
                       Table->IndexName(),
                   mtWarning, {mbOK}, 0);
        return false;
    }
    auto* wwTable = dynamic_cast<TwwTable*>(Table);
    TwwBusyScope busy(wwTable);
    const bool ignoreCase = CurrentIndexIgnoresCase(Table);
    const bool syncByRange = wwTable ? wwTable->SyncSQLByRange() : true;
    TKeyValues keys;
    for (size_t i = 0; i < Values.size(); ++i)
        keys.push_back(KeyValueForField(Table->IndexFields(static_cast<int>(i)), Values[i]));
    if (!IsSQLBasedTable(Table) || !syncByRange) {
        if (wwTable && wwTable->NarrowSearch()) Table->CancelRange();
        if (CurrentRecordHolds(Table, Values, ignoreCase)) return true;
        return Table->FindKey(keys);
    }
    const bool exactRange = wwTable && wwTable->LookupExactRange();
    if (CurrentRecordHolds(Table, Values, ignoreCase) && !(Table->Bof() && Table->Eof()) && exactRange)
        return true;
    if (VarRecToText(Values[0]).empty()) {
        if (!exactRange) Table->CancelRange();
        return false;
    }
    if (exactRange || !wwTable) Table->SetRange(keys, keys);
    else wwTable->SetRangeFromKey(keys);
    Table->First();
    return CurrentRecordHolds(Table, Values, ignoreCase);
}

void ApplyRangeFromDataSet(TTable* Table, TDataSet* Other) {
    if (!Other || Other == Table) return;
    TwwHourGlass hourGlass;
    TControlsDisabled disabled(Table);
    TKeyValues start;
    for (int i = 0; i < Table->IndexFieldCount(); ++i) {
        TField* key = Table->IndexFields(i);
        TField* source = Other->FindField(key->FieldName());
        start.push_back(KeyValueForField(key, source ? source->Text() : AnsiString()));
    }
    Table->SetRange(start, {});
}

bool TableLocateFieldValue(TwwTable* Table, const AnsiString& Text, const AnsiString& FieldName,
                           int MatchKind, bool CaseSensitive) {
    TwwBusyScope busy(Table);
    return LocateFieldValue(Table, Text, FieldName, CaseSensitive, MatchKind);
}
