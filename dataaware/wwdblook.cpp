#include "dataaware/wwdblook.h"

#include <algorithm>
#include <vector>

#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Format.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timers.h"
#include "platform/win/WindowManager.h"

ZELMOR_IMPLEMENT_ENUM(TwwDBLookupListOption, "loColLines", "loRowLines", "loTitles", "loFixedDropDownHeight",
                      "loSearchOnBackspace")
ZELMOR_IMPLEMENT_ENUM(TwwSeqSearchOption, "ssoEnabled", "ssoCaseSensitive")
ZELMOR_IMPLEMENT_CLASS(TwwDBLookupList, TwwCustomDBGrid)
ZELMOR_IMPLEMENT_CLASS(TwwPopupGrid, TwwDBLookupList)
ZELMOR_IMPLEMENT_CLASS(TwwDropDownGridOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwLookupComboButton, TwwComboDlgButton)
ZELMOR_IMPLEMENT_CLASS(TwwDBCustomLookupCombo, TwwDBCustomCombo)

namespace {

constexpr const char* DuplicateSourceText = "Unable to use duplicate DataSource and LookupSource";
constexpr const char* NoLookupTableText = "No lookup table specified!";
constexpr const char* DetailTableText =
    "LookupTable on a detail table is only supported when using a TwwTable as the LookupTable!";
// Set while a deletion happened in the open list: the next search does not
// complete the text.
constexpr const char* DeletedMark = "~~~~";
constexpr UINT SelectionTimerId = 1;

bool IsTextKey(unsigned Key) {
    return Key == 8 || Key == 32 || Key == 46 || (Key >= 48 && Key <= 111) || Key > 145;
}

bool AltHeld(TShiftState Shift) { return Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0; }

// The first three ";"-parts of a field list.
std::vector<AnsiString> KeyNames(const AnsiString& Fields) {
    std::vector<AnsiString> names;
    int pos = 1;
    for (int i = 0; i < 3; ++i) names.push_back(NextToken(Fields, ";", pos));
    return names;
}

// Every ";"-part of a field list, up to the first empty one.
std::vector<AnsiString> SplitFields(const AnsiString& Fields) {
    std::vector<AnsiString> parts;
    int pos = 1;
    for (;;) {
        AnsiString part = NextToken(Fields, ";", pos);
        if (part.empty()) break;
        parts.push_back(part);
    }
    return parts;
}

// The (own field, lookup-table field) pairs of a link line, up to the first incomplete pair.
std::vector<std::pair<AnsiString, AnsiString>> LinkPairs(const AnsiString& Line) {
    std::vector<std::pair<AnsiString, AnsiString>> pairs;
    int pos = 1;
    for (;;) {
        AnsiString own = NextToken(Line, ";", pos);
        AnsiString other = NextToken(Line, ";", pos);
        if (own.empty() || other.empty()) break;
        pairs.emplace_back(own, other);
    }
    return pairs;
}

TwwTable* AsWwTable(TDataSet* DataSet) { return dynamic_cast<TwwTable*>(DataSet); }

bool HasMaster(TDataSet* DataSet) {
    auto* table = dynamic_cast<TTable*>(DataSet);
    return table && table->MasterSource();
}

TwwDBCustomLookupCombo* CheckedCombo(TComponent* Owner) {
    auto* combo = dynamic_cast<TwwDBCustomLookupCombo*>(Owner);
    if (!combo) throw EInvalidCast("Invalid class typecast");
    return combo;
}

AnsiString FieldText(TField* Field) { return Field ? Field->Text() : AnsiString(); }

}  // namespace

// ================================================================ lookup list

TwwDBLookupList::TwwDBLookupList(TwwDBCustomLookupCombo* Combo, TComponent* AOwner)
    : TwwCustomDBGrid(AOwner), FCombo(Combo) {
    FFieldLink = std::make_unique<TFieldDataLink>();
    FFieldLink->SetControl(this);
    FFieldLink->OnDataChange = [this](TObject* Sender) { FieldDataChange(Sender); };
    FFieldLink->OnUpdateData = [this](TObject* Sender) { FieldUpdateData(Sender); };
    FFieldLink->OnActiveChange = [this](TObject* Sender) { FieldActiveChange(Sender); };
    FWriteBackUserWidths = false;
    TwwCustomDBGrid::SetOptions(TwwDBGridOptions{dgRowSelect, dgRowLinesDisableFixed});
    SetFixedCols(0);
    SetFixedRows(0);
    SetBounds(Left(), Top(), 121, 97);
    FLookupSource = new TDataSource(this);
    SetLookupSource(FLookupSource);
}

TwwDBLookupList::~TwwDBLookupList() {
    FFieldLink->OnDataChange = nullptr;
    FFieldLink->OnUpdateData = nullptr;
    FFieldLink->OnActiveChange = nullptr;
}

TDataSource* TwwDBLookupList::DataSource() const { return FFieldLink->DataSource(); }

void TwwDBLookupList::CheckDuplicateSource(TDataSource* Own, TDataSource* Lookup) const {
    if (!Own || !Lookup) return;
    if (Own == Lookup || (Own->DataSet() && Own->DataSet() == Lookup->DataSet()))
        throw EInvalidOperation(DuplicateSourceText);
}

void TwwDBLookupList::SetDataSource(TDataSource* Value) {
    CheckDuplicateSource(Value, GetLookupSource());
    FFieldLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

AnsiString TwwDBLookupList::DataField() const { return FFieldLink->FieldName(); }
void TwwDBLookupList::SetDataField(const AnsiString& Value) { FFieldLink->SetFieldName(Value); }
bool TwwDBLookupList::ReadOnly() const { return FFieldLink->ReadOnly(); }
void TwwDBLookupList::SetReadOnly(bool Value) { FFieldLink->SetReadOnly(Value); }

void TwwDBLookupList::SetLookupSource(TDataSource* Value) {
    CheckDuplicateSource(DataSource(), Value);
    TwwCustomDBGrid::SetDataSource(Value);
    LookupSettingsChanged();
}

TDataSet* TwwDBLookupList::LookupTable() const { return FLookupSource ? FLookupSource->DataSet() : nullptr; }

void TwwDBLookupList::SetLookupTable(TDataSet* Value) {
    if (!FLookupSource) {
        MessageDlg("Lookup Source is not created", mtInformation, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    if (Value && DataSource() && DataSource()->DataSet() == Value)
        throw EInvalidOperation(DuplicateSourceText);
    FLookupSource->SetDataSet(Value);
    LookupSettingsChanged();
}

void TwwDBLookupList::SetLookupField(const AnsiString& Value) {
    if (Value == FLookupField) return;
    FLookupField = Value;
    LookupSettingsChanged();
}

void TwwDBLookupList::SetOptions(TwwDBLookupListOptions Value) {
    if (Value == FOptions) return;
    FOptions = Value;
    TwwDBGridOptions grid{dgRowSelect, dgRowLinesDisableFixed};
    if (Value.Contains(loColLines)) grid.Include(dgColLines);
    if (Value.Contains(loRowLines)) grid.Include(dgRowLines);
    if (Value.Contains(loTitles)) grid.Include(dgTitles);
    TwwCustomDBGrid::SetOptions(grid);
}

bool TwwDBLookupList::OnFirstRecordRow() const { return Row() == TitleOffset(); }

void TwwDBLookupList::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomDBGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && FFieldLink && AComponent == FFieldLink->DataSource())
        FFieldLink->SetDataSource(nullptr);
}

void TwwDBLookupList::Loaded() {
    TwwCustomDBGrid::Loaded();
    FieldDataChange(this);
}

void TwwDBLookupList::CreateWnd() {
    TwwCustomDBGrid::CreateWnd();
    FieldDataChange(this);
}

// ---------------------------------------------------------------- value operations

void TwwDBLookupList::UpdateKeyFields(bool RaiseError) {
    FKeyField = FKeyField2 = FKeyField3 = FDisplayField = nullptr;
    TDataSet* table = DataLink()->Active() ? DataLink()->DataSet() : nullptr;
    if (!table || FLookupField.empty()) {
        FKeyFieldCount = 0;
        return;
    }
    const std::vector<AnsiString> names = KeyNames(FLookupField);
    FKeyField = table->FindField(names[0]);
    if (!FKeyField && RaiseError) {
        FKeyFieldCount = 0;
        throw EInvalidOperation(Format("Field '%s' not found", {FLookupField}));
    }
    if (!names[1].empty()) FKeyField2 = table->FindField(names[1]);
    if (!names[2].empty()) FKeyField3 = table->FindField(names[2]);
    // A count beside a missing first key field would let a reader of the
    // count take a missing field for a key: no first key field, no count.
    FKeyFieldCount = !FKeyField ? 0 : FKeyField3 ? 3 : FKeyField2 ? 2 : 1;

    if (FCombo->IsLinkedLookupField()) {
        TDataSet* own = FCombo->DataSource()->DataSet();
        TField* field = own->FindField(FCombo->DataField());
        std::vector<std::pair<AnsiString, AnsiString>> pairs;
        if (field->Lookup()) {
            const std::vector<AnsiString> ownNames = SplitFields(field->KeyFields());
            const std::vector<AnsiString> otherNames = SplitFields(field->LookupKeyFields());
            for (size_t i = 0; i < ownNames.size() && i < otherNames.size(); ++i)
                pairs.emplace_back(ownNames[i], otherNames[i]);
            if (Selected()->Count() == 0) FDisplayField = table->FindField(field->LookupResultField());
        } else {
            pairs = LinkPairs(GetLookupLinkLine(own, FCombo->DataField()));
            if (Selected()->Count() == 0)
                FDisplayField = table->FindField(GetLookupResultFieldName(own, FCombo->DataField()));
        }
        TField** keys[3] = {&FKeyField, &FKeyField2, &FKeyField3};
        for (size_t i = 0; i < pairs.size() && i < 3; ++i) *keys[i] = table->FindField(pairs[i].second);
    }
    if (FKeyField) {
        if (Selected()->Count() > 0) {
            const AnsiString& line = Selected()->Strings(0);
            const size_t tab = line.find('\t');
            if (tab != AnsiString::npos) FDisplayField = table->FindField(line.substr(0, tab));
        }
        if (!FDisplayField) FDisplayField = FKeyField;
    }
}

void TwwDBLookupList::LookupSettingsChanged() {
    UpdateKeyFields(true);
    LayoutChanged();
    FLookupValue.clear();
    FLookupValue2.clear();
    FLookupValue3.clear();
    FieldDataChange(this);
}

void TwwDBLookupList::SetLookupValue(const AnsiString& Value) {
    HandleNeeded();
    if (DataLink()->Active() && FFieldLink->Active() && DataSource() &&
        (DataSource() == GetLookupSource() || DataSource()->DataSet() == LookupTable()))
        throw EInvalidOperation(DuplicateSourceText);
    if (Value == FLookupValue && !OnFirstRecordRow()) return;
    if (!DataLink()->Active() || !FKeyField) return;
    FLookupValue = Value;
    FHighlightedRow = -1;
    if (FRefreshCount > 0 && FCombo->IsLinkedLookupField()) {
        FDisplayValue = FieldText(FCombo->Field());
    } else if (FKeyField == FDisplayField) {
        FDisplayValue = FLookupValue;
    } else if (FCombo->Visible() || !dynamic_cast<TwwCustomDBGrid*>(Parent())) {
        LocateCurrentValue(false);
        FDisplayValue = FValueFound ? FieldText(FDisplayField) : AnsiString();
    }
}

void TwwDBLookupList::LocateCurrentValue(bool Select) {
    FValueFound = false;
    if (!HandleAllocated()) return;
    if (!(FCombo->Visible() || !dynamic_cast<TwwCustomDBGrid*>(Parent()))) return;
    TDataSet* table = LookupTable();
    if (!table || !table->Active()) return;
    TwwBusyScope busy(AsWwTable(table));
    TwwTable* wwTable = AsWwTable(table);
    if (FCombo->IsLinkedLookupField()) {
        TDataSet* own = FCombo->DataSource()->DataSet();
        if (FCombo->IsLookupTField()) {
            TField* field = own->FindField(FCombo->DataField());
            const std::vector<AnsiString> ownNames = SplitFields(field->KeyFields());
            const std::vector<AnsiString> otherNames = SplitFields(field->LookupKeyFields());
            const size_t n = std::min(ownNames.size(), otherNames.size());
            if (n > 0) {
                const AnsiString lastOwn = FieldText(own->FindField(ownNames[n - 1]));
                if (wwTable && HasMaster(table)) {
                    FValueFound = FCombo->FindLookupValue(lastOwn, otherNames[n - 1], false);
                } else if (wwTable) {
                    FCombo->PrepareLookupIndex(false);
                    if (n == 1) {
                        FValueFound = FCombo->FindLookupValue(lastOwn, otherNames[0], false);
                    } else {
                        TVariant values = TVariant::Array(0, static_cast<int>(n) - 1);
                        AnsiString names;
                        for (size_t i = 0; i < n; ++i) {
                            values[static_cast<int>(i)] = FieldText(own->FindField(ownNames[i]));
                            names += (i ? ";" : "") + otherNames[i];
                        }
                        FValueFound = table->Locate(names, values, TLocateOptions{});
                    }
                } else {
                    FValueFound = FCombo->SearchLookupTable(lastOwn, otherNames[n - 1], false, false, true);
                }
            }
        } else if (wwTable && !HasMaster(table)) {
            wwTable->SetLookupExactRange(true);
            TwwFinally clear([wwTable] { wwTable->SetLookupExactRange(false); });
            AnsiString linkField;
            FValueFound = PositionLookupTable(own, table, FCombo->DataField(), linkField);
        } else {
            const auto pairs = LinkPairs(GetLookupLinkLine(own, FCombo->DataField()));
            if (!pairs.empty()) {
                const AnsiString lastOwn = FieldText(own->FindField(pairs.back().first));
                if (wwTable) {
                    FCombo->PrepareLookupIndex(false);
                    FValueFound = FCombo->FindLookupValue(lastOwn, pairs.back().second, false);
                } else {
                    FValueFound = FCombo->SearchLookupTable(lastOwn, pairs.back().second, false, false, true);
                }
            }
        }
        if (Select) FCombo->PrepareLookupIndex(true);
        if (FValueFound) {
            FLookupValue = FieldText(FKeyField);
            if (FKeyField2) FLookupValue2 = FieldText(FKeyField2);
            if (FKeyField3) FLookupValue3 = FieldText(FKeyField3);
        } else {
            table->First();
            FLookupValue.clear();
            FLookupValue2.clear();
            FLookupValue3.clear();
            if (HandleAllocated()) {
                Invalidate();
                Update();
            }
        }
        return;
    }
    if (!FLookupField.empty()) FCombo->PrepareLookupIndex(false);
    if (table->State() == dsSetKey) return;
    if ((!FCombo->DataSource() || !FCombo->DataSource()->DataSet()) && FKeyField == FDisplayField) {
        FLookupValue = FCombo->Text();
        FDisplayValue = FCombo->Text();
    }
    FindDataValue();
    if (Select) {
        FCombo->FFound = FValueFound || FCombo->LookupValue().empty();
        FCombo->FTextAtLastSearch = FCombo->Text();
        FCombo->PrepareLookupIndex(true);
        if (!FValueFound) table->First();
    }
}

void TwwDBLookupList::FindDataValue() {
    FValueFound = false;
    if (!HandleAllocated()) return;
    if (!(FCombo->Visible() || !dynamic_cast<TwwCustomDBGrid*>(Parent()))) return;
    if (FLookupField.empty()) return;
    TDataSet* table = LookupTable();
    if (!table || !table->Active()) return;
    const AnsiString value = FCombo->Field() ? FCombo->Field()->Text() : FLookupValue;
    if (FCombo->UsesSequentialSearch()) {
        FValueFound = FCombo->SearchLookupTable(value, FLookupField, false,
                                                FCombo->SeqSearchOptions().Contains(ssoCaseSensitive), true);
        return;
    }
    auto* tTable = dynamic_cast<TTable*>(table);
    if (!tTable) return;
    if (FKeyField2) {
        TKeyValues values{TVarRec(value), TVarRec(FCombo->LinkValue2())};
        if (FKeyField3) values.emplace_back(FCombo->LinkValue3());
        FValueFound = TableFindKeyValues(tTable, values);
    } else if (HasMaster(table)) {
        FValueFound = FCombo->FindLookupValue(value, FLookupField, false);
    } else {
        FValueFound = TableFindKeyValues(tTable, TKeyValues{TVarRec(value)});
    }
}

void TwwDBLookupList::SetDisplayValue(const AnsiString& Value) {
    if (Value == FDisplayValue && !OnFirstRecordRow()) return;
    FValueFound = false;
    if (!DataLink()->Active() || !FDisplayField) return;
    FHighlightedRow = -1;
    TDataSet* table = LookupTable();
    auto* tTable = dynamic_cast<TTable*>(table);
    const bool caseSensitive = FCombo->SeqSearchOptions().Contains(ssoCaseSensitive);
    if (FCombo->UsesSequentialSearch()) {
        FValueFound = FCombo->SearchLookupTable(FLookupValue, FLookupField, false, caseSensitive, false);
    } else if (!FKeyField2 && HasMaster(table)) {
        FValueFound = FCombo->FindLookupValue(FLookupValue, FLookupField, false);
    } else if (!FKeyField2 && !TableHasIndexFields(table)) {
        if (auto* ww = AsWwTable(table))
            FValueFound = TableLocateFieldValue(ww, FLookupValue, FLookupField, mtExactMatch, caseSensitive);
    } else if (tTable) {
        TKeyValues values{TVarRec(FLookupValue)};
        if (FKeyField2) values.emplace_back(FCombo->LinkValue2());
        if (FKeyField2 && FKeyField3) values.emplace_back(FCombo->LinkValue3());
        FValueFound = TableFindKeyValues(tTable, values);
    }
    FCombo->FFound = FValueFound || FCombo->LookupValue().empty();
    FCombo->FTextAtLastSearch = FCombo->Text();
    FDisplayValue = Value;
    FLookupValue = FKeyField == FDisplayField ? FDisplayValue : FieldText(FKeyField);
    if (!FValueFound) {
        FDisplayValue.clear();
        FLookupValue.clear();
    }
}

void LookupFieldFromDefinition(TwwDBCustomLookupCombo* Combo) {
    if (Combo->DataField().empty() || !Combo->Field()) return;
    TField* field = Combo->Field();
    AnsiString fields;
    if (field->Lookup()) {
        fields = field->LookupKeyFields();
    } else if (field->DataSet()) {
        for (const auto& pair : LinkPairs(GetLookupLinkLine(field->DataSet(), Combo->DataField())))
            fields += (fields.empty() ? "" : ";") + pair.second;
    }
    if (fields.empty()) return;
    Combo->SetLookupField(fields);
    Combo->LookupList()->UpdateKeyFields(true);
}

// ---------------------------------------------------------------- data events

void TwwDBLookupList::FieldDataChange(TObject*) {
    if (FFieldLink->Field() && !ComponentState().Contains(csLoading))
        SetLookupValue(FFieldLink->Field()->Text());
}

void TwwDBLookupList::FieldUpdateData(TObject*) {
    if (FFieldLink->Field()) FFieldLink->Field()->SetText(FLookupValue);
}

void TwwDBLookupList::FieldActiveChange(TObject* Sender) {
    if (FFieldLink->Active() && DataLink()->Active()) FieldDataChange(Sender);
}

void TwwDBLookupList::LinkActive(bool Active) {
    // The fields of a table that closes go with it: none is kept.
    if (!DataLink()->Active()) UpdateKeyFields(false);
    TwwCustomDBGrid::LinkActive(Active);
    if (DataLink()->Active() && !FCombo->InCustomSearch()) {
        SetLookupValue("");
        FieldDataChange(this);
    }
}

void TwwDBLookupList::DataChanged() {
    if (FGridDataChangeEnabled) TwwCustomDBGrid::DataChanged();
    CheckDetailTable();
}

void TwwDBLookupList::CheckDetailTable() {
    TDataSet* table = LookupTable();
    auto* tTable = dynamic_cast<TTable*>(table);
    if (!tTable || !tTable->MasterSource() || tTable->MasterFields().empty()) return;
    if (table->State() != dsBrowse || !FCombo->Field() || ComponentState().Contains(csLoading)) return;
    TwwTable* ww = AsWwTable(table);
    if (!ww) {
        MessageDlg(DetailTableText, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    if (ww->BusyCount() > 0 || FRefreshCount != 0) return;
    ++FRefreshCount;
    TwwFinally done([this] { --FRefreshCount; });
    FLookupValue.clear();
    FCombo->DataChange(this);
}

// ---------------------------------------------------------------- the grid

bool TwwDBLookupList::RecordHoldsValue() {
    if (FieldText(FKeyField) != FLookupValue) return false;
    if (FKeyField2 && FieldText(FKeyField2) != FLookupValue2) return false;
    if (FKeyField3 && FieldText(FKeyField3) != FLookupValue3) return false;
    return true;
}

bool TwwDBLookupList::IsCellHighlighted(int, int DataRow, TGridDrawState) {
    if (!DataLink()->Active() || !FKeyField) return false;
    if (CanChangeValue() && (GridState() == gsSelecting || FInKeyDown))
        return Row() == TitleOffset() + DataRow;
    bool holds;
    {
        TActiveRecordScope scope(this, DataRow);
        holds = RecordHoldsValue();
    }
    if (holds) FHighlightedRow = DataRow;
    return holds;
}

void TwwDBLookupList::InvalidateHighlightedRow() {
    if (FHighlightedRow >= 0 && HandleAllocated()) InvalidateRow(TitleOffset() + FHighlightedRow);
}

void TwwDBLookupList::Paint() {
    TwwCustomDBGrid::Paint();
    if (!Focused() || FHighlightedRow == -1) return;
    TRect r = CellRect(0, TitleOffset() + FHighlightedRow);
    r.Right = ClientWidth();
    DrawFocusRectangle(Canvas(), r);
}

void TwwDBLookupList::CMEnter(TMessage& Message) {
    TwwCustomDBGrid::CMEnter(Message);
    InvalidateHighlightedRow();
}

void TwwDBLookupList::CMExit(TMessage& Message) {
    try {
        FFieldLink->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TwwCustomDBGrid::CMExit(Message);
    InvalidateHighlightedRow();
}

bool TwwDBLookupList::CanChangeValue() { return !FFieldLink->DataSource() || FFieldLink->Editing(); }

void TwwDBLookupList::SelectCurrentRecord() {
    if (CanChangeValue() && !FCombo->ReadOnly() && FDisplayField) {
        if (FFieldLink->Editing()) FFieldLink->SetModified();
        FDisplayValue = FDisplayField->Text();
        FLookupValue = FKeyField == FDisplayField ? FDisplayValue : FieldText(FKeyField);
        if (FKeyField2) FLookupValue2 = FKeyField2->Text();
        if (FKeyField3) FLookupValue3 = FKeyField3->Text();
        // The current record now holds the value: a key that follows before
        // the next paint must not find the old row marked.
        if (DataLink()->Active()) FHighlightedRow = DataLink()->ActiveRecord();
    }
    if (Assigned(OnClick)) OnClick(this);
}

void TwwDBLookupList::BuildColumns() {
    UpdateKeyFields(false);
    if (!FKeyField) {
        ClearColumns();
        return;
    }
    TwwCustomDBGrid::BuildColumns();
}

void TwwDBLookupList::SetColumnWidths() {
    TwwCustomDBGrid::SetColumnWidths();
    const int count = ColumnCount();
    const int first = IndicatorOffset();
    // A link that went inactive (its lookup table closed) leaves the grid
    // fewer columns than the layout names: nothing to size then.
    if (count == 0 || first + count > ColCount()) return;
    int sum = 0;
    for (int i = 0; i < count - 1; ++i) sum += ColWidths(first + i) + (FOptions.Contains(loColLines) ? 1 : 0);
    if (count == 1 || sum < ClientWidth() - 15) SetColWidths(first + count - 1, ClientWidth() - sum);
}

void TwwDBLookupList::RecordScrolled(int Distance) {
    if (Visible() && FHighlightedRow >= 0) {
        FHighlightedRow -= Distance;
        if (FHighlightedRow >= VisibleRowCount()) FHighlightedRow = -1;
    }
    TwwCustomDBGrid::RecordScrolled(Distance);
}

void TwwDBLookupList::WMSize(TMessage& Message) {
    if (ComponentState().Contains(csDestroying) || (!Visible() && !FSizing)) {
        TWinControl::WMSize(Message);
        return;
    }
    TwwCustomDBGrid::WMSize(Message);
    SetColumnWidths();
}

void TwwDBLookupList::WMVScroll(TMessage& Message) {
    if (!Visible() || !DataLink()->Active()) return;
    TDataSet* table = DataLink()->DataSet();
    switch (LoWord(Message.WParam)) {
    case SB_LINEUP: table->MoveBy(-(DataLink()->ActiveRecord() + 1)); break;
    case SB_LINEDOWN: table->MoveBy(DataLink()->RecordCount() - DataLink()->ActiveRecord()); break;
    case SB_THUMBPOSITION:
        FHighlightedRow = -1;
        TwwCustomDBGrid::WMVScroll(Message);
        break;
    default: TwwCustomDBGrid::WMVScroll(Message);
    }
}

bool TwwDBLookupList::CanGridAcceptKey(WORD Key, TShiftState) {
    if (Key == VK_INSERT) return false;
    if (Key < VK_PRIOR || Key > VK_DOWN) return true;
    if (FFieldLink->CanModify()) FFieldLink->Edit();
    FCombo->SetModified(true);
    if (Key >= VK_LEFT && !CanChangeValue()) return false;
    if (!GetLookupSource() || !DataLink()->Active()) return true;
    TDataSet* table = DataLink()->DataSet();
    if (FHighlightedRow >= 0) {
        if (FHighlightedRow != DataLink()->ActiveRecord()) {
            SetRow(TitleOffset() + FHighlightedRow);
            table->MoveBy(FHighlightedRow - DataLink()->ActiveRecord());
        }
        return true;
    }
    if (FValueFound) {
        LocateCurrentValue(true);
        return true;
    }
    table->First();
    SetRow(TitleOffset());
    if (Assigned(OnKeyDown)) {
        WORD none = 0;
        OnKeyDown(this, none, TShiftState{});
    }
    InvalidateRow(TitleOffset());
    SelectCurrentRecord();
    return false;
}

void TwwDBLookupList::KeyDown(WORD& Key, TShiftState Shift) {
    {
        FInKeyDown = true;
        TwwFinally done([this] { FInKeyDown = false; });
        TwwCustomDBGrid::KeyDown(Key, Shift);
    }
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN:
        if (CanChangeValue()) {
            Invalidate();
            SelectCurrentRecord();
        }
        break;
    default: break;
    }
}

void TwwDBLookupList::KeyPress(char& Key) {
    TwwCustomDBGrid::KeyPress(Key);
    if (Key == '\x1b') {
        FFieldLink->Reset();
        Key = 0;
    } else if (static_cast<unsigned char>(Key) >= 32) {
        DataLink()->Edit();
    }
}

void TwwDBLookupList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!ComponentState().Contains(csDesigning) && CanFocus() && TabStop()) {
        SetFocus();
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() != this) {
            ReleaseCapture();
            return;
        }
    }
    if (Shift.Contains(ssDouble)) {
        DblClick();
        return;
    }
    if (Button == mbLeft && GetLookupSource() && FDisplayField && DataLink()->Active()) {
        const TGridCoord cell = MouseCoord(X, Y);
        if (cell.Y >= TitleOffset()) {
            if (FFieldLink->CanModify()) FFieldLink->Edit();
            FGridState = gsSelecting;
            if (HandleAllocated()) SetTimer(Handle(), SelectionTimerId, 60, nullptr);
            const int oldRow = TitleOffset() + FHighlightedRow;
            if (FHighlightedRow >= 0 && oldRow != cell.Y) InvalidateRow(oldRow);
            InvalidateRow(cell.Y);
            SetRow(cell.Y);
            DataLink()->DataSet()->MoveBy(cell.Y - TitleOffset() - DataLink()->ActiveRecord());
        }
    }
    if (Assigned(OnMouseDown)) OnMouseDown(this, Button, Shift, X, Y);
}

void TwwDBLookupList::MouseMove(TShiftState Shift, int X, int Y) {
    TwwCustomDBGrid::MouseMove(Shift, X, Y);
    if (GridState() == gsSelecting && DataLink()->Active() && Row() >= TitleOffset())
        DataLink()->DataSet()->MoveBy(Row() - TitleOffset() - DataLink()->ActiveRecord());
}

void TwwDBLookupList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool selecting = GridState() == gsSelecting;
    if (selecting && HandleAllocated()) KillTimer(Handle(), SelectionTimerId);
    TwwCustomDBGrid::MouseUp(Button, Shift, X, Y);
    if (!selecting) return;
    if (DataLink()->Active() && Row() >= TitleOffset())
        DataLink()->DataSet()->MoveBy(Row() - TitleOffset() - DataLink()->ActiveRecord());
    SelectCurrentRecord();
}

// ================================================================ drop-down grid

TwwPopupGrid::TwwPopupGrid(TComponent* AOwner) : TwwDBLookupList(CheckedCombo(AOwner), AOwner) {
    SetControlStyle(ControlStyle().Include(csNoDesignVisible).Include(csReplicatable));
    FTakesFocus = false;
    SetTabStop(false);
}

void TwwPopupGrid::CreateParams(TCreateParams& Params) {
    TwwDBLookupList::CreateParams(Params);
    // A top-level window: its clicks never take the focus from the edit.
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WindowClass.Style = CS_SAVEBITS;
}

void TwwPopupGrid::CreateWnd() {
    TwwDBLookupList::CreateWnd();
    CallWindowProc(DefWndProc(), Handle(), WM_SETFOCUS, 0, 0);
    // A drop-down re-creates the window only to drop its scroll bar: the
    // value the typing found stays, the field is not read over it.
    if (!Combo()->FDroppingDown) Combo()->DataChange(this);
}

bool TwwPopupGrid::CanChangeValue() {
    TwwDBCustomLookupCombo* combo = Combo();
    TFieldDataLink* link = combo->DataLink();
    if (!link->DataSource() || link->Editing()) return true;
    if (!combo->IsLinkedLookupField()) return false;
    TDataSource* source = combo->DataSource();
    return source->State() == dsEdit || source->State() == dsInsert || source->AutoEdit();
}

void TwwPopupGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    Combo()->BeginEdit();
    TwwDBLookupList::MouseDown(Button, Shift, X, Y);
}

void TwwPopupGrid::WndProc(TMessage& Message) {
    // A click in the list leaves the focus, and the active window, with the edit.
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TwwDBLookupList::WndProc(Message);
}

void TwwPopupGrid::WMLButtonUp(TMessage& Message) {
    TwwDBLookupList::WMLButtonUp(Message);
    Combo()->CloseUp(true);
}

void TwwPopupGrid::LinkActive(bool Active) {
    if (!Parent()) return;
    TwwDBLookupList::LinkActive(Active);
    if (!DataLink()->Active()) return;
    if (!KeyField()) UpdateKeyFields(true);
    if (!Combo()->InCustomSearch()) {
        SetLookupValue("");
        Combo()->DataChange(this);
    }
}

// ================================================================ options and button

void TwwDropDownGridOptions::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TwwDropDownGridOptions*>(Source)) {
        FTitleLines = other->FTitleLines;
        FColor = other->FColor;
        FTitleAlignment = other->FTitleAlignment;
        return;
    }
    TPersistent::Assign(Source);
}

TwwDBCustomLookupCombo* TwwLookupComboButton::LookupCombo() const {
    return dynamic_cast<TwwDBCustomLookupCombo*>(Owner());
}

void TwwLookupComboButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TwwDBCustomLookupCombo* combo = LookupCombo();
    if (!combo) {
        TwwComboDlgButton::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (!combo->ListVisible() && !combo->Focused()) {
        if (combo->CanFocus()) combo->SetFocus();
        TCustomForm* form = GetParentForm(combo);
        const bool arrived =
            combo->Focused() || (form && form->FormStyle() == fsMDIChild && form->ActiveControl() == combo);
        if (!arrived) return;
    }
    TwwComboDlgButton::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (!combo->ListVisible()) {
        combo->DropDown();
    } else {
        if (combo->Found()) combo->AcceptListValue(combo);
        combo->CloseUp(true);
    }
}

void TwwLookupComboButton::MouseMove(TShiftState Shift, int X, int Y) {
    TwwComboDlgButton::MouseMove(Shift, X, Y);
    TwwDBCustomLookupCombo* combo = LookupCombo();
    if (!combo || !Shift.Contains(ssLeft) || !combo->ListVisible()) return;
    TWinControl* holder = combo->ButtonHolder();
    if (!holder || GetCapture() != holder->Handle()) return;
    // The press goes on as a drag in the list.
    TPoint screen = ClientToScreen(TPoint(X, Y));
    TwwPopupGrid* list = combo->LookupList();
    TPoint inList = list->ScreenToClient(screen);
    if (!PtInRect(TRect(0, 0, list->ClientWidth(), list->ClientHeight()), inList)) return;
    Perform(WM_LBUTTONUP, 0, MakeLParam(X, Y));
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(inList.x, inList.y));
}

// ================================================================ lookup combo

TwwDBCustomLookupCombo::TwwDBCustomLookupCombo(TComponent* AOwner) : TwwDBCustomCombo(AOwner) {
    ReplaceButton(new TwwLookupComboButton(this));
    TFieldDataLink* link = DataLink();
    link->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
    link->OnEditingChange = [this](TObject* Sender) { EditingChange(Sender); };
    link->OnUpdateData = [this](TObject* Sender) { UpdateData(Sender); };
    link->OnActiveChange = [this](TObject* Sender) { ActiveChange(Sender); };
    FLookupList = new TwwPopupGrid(this);
    FLookupList->SetHeight(0);
    FLookupList->SetVisible(false);
    FLookupList->SetCtl3D(Ctl3D());
    FLookupList->SetPadColumnStyle(pcsPlain);
    FLookupList->SetParent(this);
    FLookupList->OnClick = [this](TObject* Sender) { AcceptListValue(Sender); };
    FLookupList->SetUseTFields(true);
    FSearchTimer = new TTimer(this);
    FSearchTimer->SetEnabled(false);
    FSearchTimer->SetInterval(200);
    FSearchTimer->OnTimer = [this](TObject*) { PerformSearch(); };
    FDropDownGridOptions = std::make_unique<TwwDropDownGridOptions>();
    SetButtonStyle(cbsDownArrow);
    SetHeight(25);
    SetControlStyle(ControlStyle().Include(csReplicatable));
}

TwwDBCustomLookupCombo::~TwwDBCustomLookupCombo() = default;

// The owned list and timer go with the components: nothing may reach them
// from the data link or the timer once they start going.
void TwwDBCustomLookupCombo::BeforeDestruction() {
    RemoveMouseHook();
    TFieldDataLink* link = DataLink();
    link->OnDataChange = nullptr;
    link->OnEditingChange = nullptr;
    link->OnUpdateData = nullptr;
    link->OnActiveChange = nullptr;
    FSearchTimer->OnTimer = nullptr;
    FSearchTimer->SetEnabled(false);
    TwwDBCustomCombo::BeforeDestruction();
}

// ---------------------------------------------------------------- properties

void TwwDBCustomLookupCombo::SetDataSource(TDataSource* Value) {
    if (Value && Value->DataSet() && Value->DataSet() == LookupTable())
        throw EInvalidOperation(DuplicateSourceText);
    TwwDBCustomEdit::SetDataSource(Value);
}

void TwwDBCustomLookupCombo::SetDataField(const AnsiString& Value) {
    TwwDBCustomEdit::SetDataField(Value);
    LookupFieldFromDefinition(this);
}

TDataSet* TwwDBCustomLookupCombo::LookupTable() const { return FLookupList->LookupTable(); }
void TwwDBCustomLookupCombo::SetLookupTable(TDataSet* Value) { FLookupList->SetLookupTable(Value); }
const AnsiString& TwwDBCustomLookupCombo::LookupField() const { return FLookupList->LookupField(); }

void TwwDBCustomLookupCombo::SetLookupField(const AnsiString& Value) {
    FLookupList->SetLookupField(Value);
    FLookupList->UpdateKeyFields(false);
    DataChange(this);
}

TStrings* TwwDBCustomLookupCombo::Selected() const { return FLookupList->Selected(); }
void TwwDBCustomLookupCombo::SetSelected(TStrings* Value) { FLookupList->SetSelected(Value); }
bool TwwDBCustomLookupCombo::UseTFields() const { return FLookupList->UseTFields(); }
void TwwDBCustomLookupCombo::SetUseTFields(bool Value) { FLookupList->SetUseTFields(Value); }

void TwwDBCustomLookupCombo::SetReadOnly(bool Value) {
    TwwDBCustomEdit::SetReadOnly(Value);
    TCustomEdit::SetReadOnly(!CanEdit());
}

const AnsiString& TwwDBCustomLookupCombo::LookupValue() const { return FLookupList->LookupValue(); }
const AnsiString& TwwDBCustomLookupCombo::DisplayValue() const { return FLookupList->DisplayValue(); }
bool TwwDBCustomLookupCombo::ListVisible() const { return FLookupList && FLookupList->Visible(); }

void TwwDBCustomLookupCombo::Notification(TComponent* AComponent, TOperation Operation) {
    TwwDBCustomCombo::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FLookupList) FLookupList = nullptr;
    if (AComponent == FSearchTimer) FSearchTimer = nullptr;
}

void TwwDBCustomLookupCombo::Loaded() {
    TwwDBCustomCombo::Loaded();
    DataChange(this);
}

void TwwDBCustomLookupCombo::CreateParams(TCreateParams& Params) {
    TwwDBCustomCombo::CreateParams(Params);
    if (BorderStyle() == bsNone) Params.Style |= ES_MULTILINE;
}

void TwwDBCustomLookupCombo::CreateWnd() {
    TwwDBCustomCombo::CreateWnd();
    SetEditRect();
    FLookupList->HandleNeeded();
    DataChange(this);
}

bool TwwDBCustomLookupCombo::ParentIsGrid() const {
    return Parent() && ::IsClassNamed(Parent(), "TCustomGrid");
}

bool TwwDBCustomLookupCombo::ParentIsCustomDBGrid() const {
    return Parent() && ::IsClassNamed(Parent(), "TwwCustomDBGrid");
}

bool TwwDBCustomLookupCombo::IsDetailLookupTable() const { return HasMaster(LookupTable()); }

// ---------------------------------------------------------------- value model

bool TwwDBCustomLookupCombo::IsLinkedLookupField() {
    TDataSource* source = DataSource();
    if (!source || !source->DataSet() || DataField().empty()) return false;
    TField* field = source->DataSet()->FindField(DataField());
    return field && (field->Calculated() || field->Lookup());
}

bool TwwDBCustomLookupCombo::IsLookupTField() {
    if (!IsLinkedLookupField()) return false;
    TField* field = DataSource()->DataSet()->FindField(DataField());
    return field->Lookup();
}

AnsiString TwwDBCustomLookupCombo::LinkValue2() {
    TField* key = FLookupList->KeyField2();
    TDataSet* own = DataSource() ? DataSource()->DataSet() : nullptr;
    TField* field = key && own ? own->FindField(key->FieldName()) : nullptr;
    return field ? field->Text() : FLookupList->LookupValue2();
}

AnsiString TwwDBCustomLookupCombo::LinkValue3() {
    TField* key = FLookupList->KeyField3();
    TDataSet* own = DataSource() ? DataSource()->DataSet() : nullptr;
    TField* field = key && own ? own->FindField(key->FieldName()) : nullptr;
    return field ? field->Text() : FLookupList->LookupValue3();
}

void TwwDBCustomLookupCombo::DataChange(TObject*) {
    if (FInternalChange) return;
    TwwDBLookupList* list = FLookupList;
    if (!list) return;
    TField* field = Field();
    if (!field || ComponentState().Contains(csLoading)) {
        if (!Assigned(OnPerformCustomSearch)) SetText("");
    } else {
        TDataSet* table = LookupTable();
        auto* tTable = dynamic_cast<TTable*>(table);
        const bool detail = IsDetailLookupTable();
        if (detail && AsWwTable(table) && list->RefreshCount() == 0 && IsLinkedLookupField()) {
            SetText(field->Text());
            return;
        }
        if (list->RefreshCount() == 0 && detail && table->Active() &&
            tTable->MasterSource() == DataSource()) {
            const std::vector<AnsiString> masters = SplitFields(tTable->MasterFields());
            TField* master = masters.empty() ? nullptr : DataSource()->DataSet()->FindField(masters[0]);
            const AnsiString firstIndex =
                AsWwTable(table) ? AsWwTable(table)->GetFirstIndexField() : AnsiString();
            TField* indexField = firstIndex.empty() ? nullptr : table->FindField(firstIndex);
            if (master && indexField && master->Text() != indexField->Text() && !field->IsNull()) return;
        }
        ++list->FRefreshCount;
        TwwFinally lower([list] { --list->FRefreshCount; });
        if (list->KeyField2() || list->KeyField3()) {
            list->LocateCurrentValue(false);
            if (list->DisplayField()) {
                SetText(list->DisplayField()->Text());
                list->StoreDisplayValue(Text());
            }
        }
        SetLookupValue(field->Text());
        TDataSet* own = DataSource()->DataSet();
        if (TField* key2 = list->KeyField2()) {
            if (TField* ownField = own->FindField(key2->FieldName())) {
                const AnsiString value = ownField->Text();
                if (value != list->LookupValue2() && list->DisplayField()) {
                    SetText(list->DisplayField()->Text());
                    list->StoreDisplayValue(Text());
                }
                list->StoreLookupValue2(value);
            }
        }
        if (TField* key3 = list->KeyField3())
            if (TField* ownField = own->FindField(key3->FieldName()))
                list->StoreLookupValue3(ownField->Text());
        if (DataSource()->State() == dsBrowse) {
            FEntryText = Text();
            FEntryValue = LookupValue();
            if (detail && IsLinkedLookupField()) SetText(field->Text());
        }
    }
    if (Focused()) SelectAllIfEditable();
}

void TwwDBCustomLookupCombo::ActiveChange(TObject*) { LookupFieldFromDefinition(this); }

void TwwDBCustomLookupCombo::EditingChange(TObject*) { TCustomEdit::SetReadOnly(!CanEdit()); }

void TwwDBCustomLookupCombo::SetLookupValue(const AnsiString& Value) {
    TwwDBLookupList* list = FLookupList;
    TDataSet* table = LookupTable();
    if (table && table->Active() && DataLink()->Active() && DataSource() && DataSource()->DataSet() == table)
        throw EInvalidOperation(DuplicateSourceText);
    if (LookupValue() == Value && !(Text().empty() && !Value.empty()) &&
        !(list->DisplayField() && list->DisplayField() == list->KeyField() && Text() != Value))
        return;
    if (list->DataLink()->Active()) {
        if (!FWriting) list->SetLookupValue(Value);
        SetText(list->DisplayValue());
        return;
    }
    if (LookupField().empty() && !table) {
        SetText(Value);
        return;
    }
    if (table && !table->Active()) {
        if (Assigned(OnPerformCustomSearch)) {
            FInternalChange = FInCustomSearch = true;
            TwwFinally lower([this] { FInternalChange = FInCustomSearch = false; });
            bool found = false;
            DoPerformCustomSearch(LookupField(), Value, true, found);
            if (found && list->DisplayField()) list->StoreDisplayValue(list->DisplayField()->Text());
        } else {
            SetText(Value);
        }
    }
}

void TwwDBCustomLookupCombo::SetDisplayValue(const AnsiString& Value) {
    if (DisplayValue() == Value || !FLookupList->DataLink()->Active()) return;
    FLookupList->SetDisplayValue(Value);
    SetText(DisplayValue());
}

void TwwDBCustomLookupCombo::RefreshDisplayValue() {
    const AnsiString kept = LookupValue();
    SetLookupValue("");
    FLookupList->LocateCurrentValue(false);
    if (FLookupList->ValueFound() && FLookupList->DisplayField()) {
        FLookupList->StoreDisplayValue(FLookupList->DisplayField()->Text());
        SetText(DisplayValue());
    } else {
        FLookupList->StoreDisplayValue("");
        SetText("");
    }
    FLookupList->StoreLookupValue(kept);
}

bool TwwDBCustomLookupCombo::CanEdit() {
    if (ReadOnly()) return false;
    bool result = true;
    if (TDataSource* source = DataSource()) {
        if (!DataField().empty()) {
            result = DataLink()->Editing() && IsTextEditable();
            if (!result && IsLinkedLookupField())
                result = source->State() == dsEdit || source->State() == dsInsert || source->AutoEdit();
        }
    }
    if (!ListVisible() && FStyle == csDropDownList && !FAutoDropDown) result = false;
    return result;
}

bool TwwDBCustomLookupCombo::IsTextEditable() {
    return ListVisible() || FStyle == csDropDown || FAutoDropDown;
}

bool TwwDBCustomLookupCombo::IsTypingAllowed() { return ListVisible() || FStyle == csDropDown; }

bool TwwDBCustomLookupCombo::ShowsCaret() { return IsTextEditable(); }

void TwwDBCustomLookupCombo::SelectAllIfEditable() {
    if (IsTextEditable()) SelectAll();
}

void TwwDBCustomLookupCombo::BeginEdit() {
    auto* grid = dynamic_cast<TwwDBGrid*>(Parent());
    FInternalChange = true;
    const bool oldExpanding = grid ? grid->Expanding() : false;
    if (grid) grid->SetExpanding(true);
    TwwFinally lower([this, grid, oldExpanding] {
        FInternalChange = false;
        if (grid) grid->SetExpanding(oldExpanding);
    });
    DataLink()->Edit();
}

void TwwDBCustomLookupCombo::OwnKeyFields(std::vector<TField*>& Fields) {
    Fields.clear();
    if (!IsLinkedLookupField()) return;
    TDataSet* own = DataSource()->DataSet();
    TField* field = own->FindField(DataField());
    if (field->Lookup()) {
        for (const AnsiString& name : SplitFields(field->KeyFields()))
            if (TField* f = own->FindField(name)) Fields.push_back(f);
    } else {
        for (const auto& pair : LinkPairs(GetLookupLinkLine(own, DataField())))
            if (TField* f = own->FindField(pair.first)) Fields.push_back(f);
    }
}

void TwwDBCustomLookupCombo::WriteLinkedFields(bool& Changed) {
    Changed = false;
    if (FWriting) return;
    FWriting = true;
    TwwFinally lower([this] {
        FWriting = false;
        FInternalChange = false;
        Invalidate();
    });
    std::vector<TField*> own;
    OwnKeyFields(own);
    if (own.empty()) return;
    const AnsiString values[3] = {LookupValue(), FLookupList->LookupValue2(), FLookupList->LookupValue3()};
    TField* keys[3] = {FLookupList->KeyField(), FLookupList->KeyField2(), FLookupList->KeyField3()};
    bool differs = false;
    for (size_t i = 0; i < own.size() && i < 3; ++i)
        if ((i == 0 || keys[i]) && own[i]->Text() != values[i]) differs = true;
    if (!differs) return;
    FInternalChange = true;
    TDataSet* data = DataSource()->DataSet();
    auto* table = dynamic_cast<TTable*>(data);
    if ((table && table->ReadOnly()) || (data && !data->CanModify()) || ReadOnly()) return;
    DataSource()->Edit();
    if (data && data->State() != dsEdit && data->State() != dsInsert) return;
    const size_t first = IsDetailLookupTable() ? own.size() - 1 : 0;
    // A change is reported only for a field that was written.
    for (size_t i = first; i < own.size() && i < 3; ++i) {
        if (i > 0 && !keys[i]) continue;
        if (own[i]->Text() == values[i]) continue;
        own[i]->SetText(values[i]);
        Changed = true;
    }
}

void TwwDBCustomLookupCombo::UpdateData(TObject*) {
    TField* field = Field();
    if (!field) return;
    if (!FSuppressFocusActions && !Text().empty() && !ListVisible()) CloseUp(true);
    TwwDBLookupList* list = FLookupList;
    if (IsLinkedLookupField()) {
        if (list->HighlightedRow() >= 0) {
            bool changed;
            WriteLinkedFields(changed);
        }
        return;
    }
    if (list->DisplayField() && list->DisplayField() == list->KeyField()) {
        if (field->Text() != Text()) field->SetText(Text());
        if (!FOpenedByTyping && LookupValue() != Text()) list->StoreLookupValue(Text());
    } else if (field->AsString() != LookupValue()) {
        field->SetAsString(LookupValue());
    }
    if (list->HighlightedRow() >= 0 || CopiesLinkedFields()) {
        TDataSet* own = DataSource()->DataSet();
        for (TField* key : {list->KeyField2(), list->KeyField3()})
            if (key)
                if (TField* target = own->FindField(key->FieldName())) target->Assign(key);
    }
}

void TwwDBCustomLookupCombo::AcceptListValue(TObject*) {
    FFound = true;
    if (DataSource() && !DataLink()->Editing() && !Modified()) return;
    DataLink()->Edit();
    if (!DataLink()->Editing()) {
        if (!IsLinkedLookupField()) return;
        auto* table = dynamic_cast<TTable*>(DataSource()->DataSet());
        if ((table && table->ReadOnly()) || ReadOnly()) return;
    }
    DataLink()->SetModified();
    FInAcceptListValue = true;
    {
        TwwFinally lower([this] { FInAcceptListValue = false; });
        SetText(DisplayValue());
    }
    SelectAllIfEditable();
    if (HandleAllocated()) ShowCaret(Handle());
    FLastSearchedText = Text();
}

void TwwDBCustomLookupCombo::SyncFromList() {
    if (FSearchTimer->Enabled()) {
        FSearchTimer->SetEnabled(false);
        PerformSearch();
        return;
    }
    TwwDBLookupList* list = FLookupList;
    if (ListVisible() && list->HighlightedRow() < 0) return;
    if (!list->DataLink()->Active() || !list->DisplayField()) return;
    if (!::IsClassNamed(this, "TwwDBLookupComboDlg") && list->HighlightedRow() >= 0)
        list->DataLink()->DataSet()->MoveBy(list->HighlightedRow() - list->DataLink()->ActiveRecord());
    list->StoreDisplayValue(list->DisplayField()->Text());
    list->StoreLookupValue(list->DisplayField() == list->KeyField() ? DisplayValue()
                                                                    : FieldText(list->KeyField()));
    if (list->KeyField2()) list->StoreLookupValue2(list->KeyField2()->Text());
    if (list->KeyField3()) list->StoreLookupValue3(list->KeyField3()->Text());
}

void TwwDBCustomLookupCombo::Change() {
    if (DataLink()->Editing()) DataLink()->SetModified();
    if (FInAcceptListValue) SetModified(true);
    TCustomEdit::Change();
}

// ---------------------------------------------------------------- search

namespace {

bool CurrentIndexIsExpression(TwwTable* Table) {
    TIndexDefs* defs = Table->IndexDefs();
    TIndexDef* def = defs ? defs->FindDef(Table->IndexName()) : nullptr;
    return def && def->Options().Contains(ixExpression);
}

}  // namespace

bool TwwDBCustomLookupCombo::UsesSequentialSearch() {
    TwwTable* table = AsWwTable(LookupTable());
    if (!table) return true;
    const bool hasIndex =
        table->IndexDefs() && table->IndexDefs()->Count() > 0 && table->IndexFieldCount() > 0;
    if (hasIndex && !Assigned(OnPerformCustomSearch)) return false;
    return !(table->IsDBaseTable() && !FSearchFieldName.empty() && CurrentIndexIsExpression(table));
}

int TwwDBCustomLookupCombo::IndexOfSearchField() {
    TDataSet* table = LookupTable();
    if (!TableHasIndexFields(table)) return -1;
    if (FSearchFieldName.empty()) return 0;
    TwwTable* ww = AsWwTable(table);
    if (!ww) return -1;
    const AnsiString wanted = LowerCase(FSearchFieldName);
    for (int i = 0; i < ww->IndexFieldCount(); ++i)
        if (LowerCase(ww->IndexFields(i)->FieldName()) == wanted) return i;
    return -1;
}

void TwwDBCustomLookupCombo::AddDefaultSelectedLine() {
    if (Selected()->Count() > 0 || !LookupTable()) return;
    TField* field = IsLinkedLookupField() ? FLookupList->DisplayField()
                                          : LookupTable()->FindField(KeyNames(LookupField())[0]);
    if (!field) return;
    Selected()->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" +
                    field->DisplayLabel());
}

void TwwDBCustomLookupCombo::PrepareLookupIndex(bool ForDisplay) {
    TDataSet* data = LookupTable();
    auto* table = dynamic_cast<TTable*>(data);
    if (!table) return;
    TwwTable* ww = AsWwTable(data);
    if (ww && TableUsesQuery(ww)) return;
    if (!ForDisplay) {
        if (table->MasterSource()) {
            const std::vector<AnsiString> names = SplitFields(LookupField());
            FSearchFieldName = names.empty() ? AnsiString() : names.back();
            TField* field = table->FindField(FSearchFieldName);
            const AnsiString remembered = FieldText(field);
            if (ww) ww->SetIndexForFields(LookupField());
            FindLookupValue(remembered, FSearchFieldName, false);
        } else if (ww) {
            ww->SetIndexForFields(LookupField());
        } else {
            table->SetIndexFieldNames(LookupField());
        }
        return;
    }
    if (!FOrderByDisplay) return;
    AnsiString remembered;
    AnsiString displayName;
    if (Selected()->Count() == 0) {
        AddDefaultSelectedLine();
    } else {
        const AnsiString& line = Selected()->Strings(0);
        displayName = line.substr(0, line.find('\t'));
        remembered = FieldText(table->FindField(displayName));
    }
    if (ww) ww->SetIndexForSelected(Selected());
    else if (Selected()->Count() > 0) {
        const AnsiString& line = Selected()->Strings(0);
        SelectIndexForFields(table, line.substr(0, line.find('\t')));
    }
    if (table->MasterSource() && !displayName.empty()) {
        FSearchFieldName = displayName;
        FindLookupValue(remembered, displayName, false);
    }
}

void TwwDBCustomLookupCombo::StartSearchTimer() {
    FSearchTimer->SetEnabled(false);
    FSearchTimer->SetInterval(FSearchDelay > 0 ? static_cast<unsigned>(FSearchDelay) : 200);
    FSearchTimer->SetEnabled(true);
}

void TwwDBCustomLookupCombo::PerformSearch() {
    FSearchTimer->SetEnabled(false);
    TDataSet* data = LookupTable();
    if (Text() == FLastSearchedText || !data || (!data->Active() && !Assigned(OnPerformCustomSearch))) return;
    TwwDBLookupList* list = FLookupList;
    // The display field's link stays quiet while the search moves the table.
    const bool oldSwitch = list->DataChangeSwitch();
    list->SetDataChangeSwitch(false);
    TwwFinally restore([list, oldSwitch] { list->SetDataChangeSwitch(oldSwitch); });

    bool dropAfter = false;
    if (!ListVisible() && !FAutoDropDown && FShowMatchText && FStyle == csDropDown && !Text().empty()) {
        PrepareLookupIndex(true);
    } else if (!ListVisible() && FAutoDropDown && !Text().empty()) {
        PrepareLookupIndex(true);
        dropAfter = true;
    }
    TField* display = list->DisplayField();
    const bool partialWanted = ListVisible() || FOpenedByTyping;
    if (UsesSequentialSearch()) {
        if (!(FSeqSearchOptions.Contains(ssoEnabled) || Assigned(OnPerformCustomSearch)) || !display ||
            display->FieldName().empty())
            return;
        const AnsiString text = IsTextEditable() ? Text() : LookupValue();
        const bool caseSensitive = FSeqSearchOptions.Contains(ssoCaseSensitive);
        if (partialWanted || (CanEdit() && FShowMatchText)) {
            FFound = SearchLookupTable(text, display->FieldName(), true, caseSensitive, false);
            if (!FFound && display == list->KeyField()) {
                list->StoreLookupValue("");
                return;
            }
        } else {
            FFound = SearchLookupTable(text, display->FieldName(), false, caseSensitive, false);
        }
        FTextAtLastSearch = Text();
        list->StoreDisplayValue(display->Text());
        if (FFound && Text().size() > DisplayValue().size()) FFound = false;
    } else {
        TwwTable* table = AsWwTable(data);
        PrepareLookupIndex(true);
        const int i = IndexOfSearchField();
        if (table->IsDBaseTable() && !FSearchFieldName.empty() && CurrentIndexIsExpression(table)) {
            TField* searchField = table->FindField(FSearchFieldName);
            if (!TextFitsField(searchField, Text())) return;
            table->EditKey();
            searchField->SetText(Text());
            table->GotoNearest();
            list->StoreDisplayValue(searchField->Text());
            FFound = UpperCase(DisplayValue()).starts_with(UpperCase(Text()));
        } else if (i == 0 && table->IndexFields(0) != display) {
            if (FSeqSearchOptions.Contains(ssoEnabled))
                FFound =
                    FindLookupValue(Text(), display ? display->FieldName() : AnsiString(), partialWanted);
        } else if (i < 0) {
            FFound = FindLookupValue(Text(), FSearchFieldName, partialWanted);
        } else {
            if (partialWanted) {
                FFound = table->SearchIndexValue(Text(), i);
            } else {
                TKeyValues values;
                for (int k = 0; k < i && k < 2; ++k) values.emplace_back(table->IndexFields(k)->Text());
                values.emplace_back(Text());
                if (i > 2) values = TKeyValues{TVarRec(Text())};
                FFound = TableFindKeyValues(table, values);
            }
            FTextAtLastSearch = Text();
            list->StoreDisplayValue(table->IndexFields(i)->Text());
        }
    }
    list->StoreLookupValue(FieldText(list->KeyField()));
    if (list->KeyField2()) list->StoreLookupValue2(list->KeyField2()->Text());
    if (list->KeyField3()) list->StoreLookupValue3(list->KeyField3()->Text());
    if (!ListVisible()) list->SetHighlightedRow(-1);
    if (FShowMatchText && FFound && FLastSearchedText != DeletedMark && display) {
        const int caret = SelStart();
        const AnsiString typed = caret == 0 ? Text() : Text().substr(0, static_cast<size_t>(caret));
        SetText(display->Text());
        SetModified(true);
        SetSelStart(static_cast<int>(typed.size()));
        SetSelLength(static_cast<int>(Text().size() - typed.size()));
        if (!ListVisible()) list->SetHighlightedRow(0);
    }
    FLastSearchedText = Text();
    // The open list marks the found record at its next paint.
    if (ListVisible()) {
        list->SetHighlightedRow(-1);
        list->Invalidate();
    }
    if (dropAfter && FOpenedByTyping) {
        TwwFinally lower([this] { FOpenedByTyping = false; });
        DropDown();
    }
}

bool TwwDBCustomLookupCombo::SearchLookupTable(AnsiString Value, const AnsiString& FieldName, bool Partial,
                                               bool CaseSensitive, bool PerformLookup) {
    if (FInCustomSearch) return false;
    TDataSet* table = LookupTable();
    if (!table) return false;
    bool found = false;
    TField* field = FieldName.find(';') == AnsiString::npos ? table->FindField(FieldName) : nullptr;
    const int kind = Partial ? mtPartialMatchStart : mtExactMatch;
    if (AsWwTable(table) && !Assigned(OnPerformCustomSearch)) {
        found = TableLocateFieldValue(AsWwTable(table), Value, FieldName, kind, CaseSensitive);
    } else if (field && table->Active() && field->Text() == Value) {
        found = true;
        FLookupList->Invalidate();
    } else {
        // A value longer than the string field is cut by its own length.
        if (field && field->DataType() == ftString && field->Size() < static_cast<int>(Value.size()))
            Value.resize(static_cast<size_t>(field->Size()));
        if (Assigned(OnPerformCustomSearch)) {
            if (Value.empty() || (field && !TextFitsFieldStrict(field, Value))) {
                FLookupList->Invalidate();
                return false;
            }
            FInternalChange = FInCustomSearch = true;
            TwwFinally lower([this] { FInternalChange = FInCustomSearch = false; });
            DoPerformCustomSearch(FieldName, Value, PerformLookup, found);
        } else {
            if (Value.empty() || (field && !TextFitsField(field, Value))) {
                FLookupList->Invalidate();
                return false;
            }
            auto* query = dynamic_cast<TwwQuery*>(table);
            const bool calcOrLookup = field && (field->Calculated() || field->Lookup());
            if (!DefaultIntl->UseLocateMethodForSearch()) {
                found = LocateFieldValue(table, Value, FieldName, CaseSensitive, kind);
            } else if (calcOrLookup) {
                found = LocateFieldValue(table, Value, FieldName, false, kind);
            } else {
                TwwHourGlass hourglass;
                TLocateOptions options;
                if (Partial) options.Include(loPartialKey);
                if (query && query->RequestLive() && query->CanModify()) {
                    try {
                        if (GetMasterSource(query)) {
                            found = LocateFieldValue(table, Value, FieldName, CaseSensitive, kind);
                        } else if (FieldsMapToIndex(query, FieldName, false)) {
                            options.Include(loCaseInsensitive);
                            found = table->Locate(FieldName, Value, options);
                        } else if (FieldsMapToIndex(query, FieldName, true)) {
                            found = table->Locate(FieldName, Value, options);
                        } else {
                            found = LocateFieldValue(table, Value, FieldName, CaseSensitive, kind);
                        }
                    } catch (const Exception&) {
                        found = LocateFieldValue(table, Value, FieldName, CaseSensitive, kind);
                    }
                } else if (query) {
                    // A query that is not live compares case on an exact
                    // search and ignores it on a partial one.
                    if (Partial) options.Include(loCaseInsensitive);
                    found = table->Locate(FieldName, Value, options);
                } else {
                    if (!CaseSensitive) options.Include(loCaseInsensitive);
                    found = table->Locate(FieldName, Value, options);
                }
            }
        }
    }
    if (found) {
        TField* check = table->FindField(FieldName);
        found = check && UpperCase(check->Text()).find(UpperCase(Value)) != AnsiString::npos;
    }
    return found;
}

bool TwwDBCustomLookupCombo::FindLookupValue(const AnsiString& Value, const AnsiString& FieldName,
                                             bool Partial) {
    TDataSet* data = LookupTable();
    if (!data) return false;
    auto* table = dynamic_cast<TTable*>(data);
    TwwTable* ww = AsWwTable(data);
    TField* field = data->FindField(FieldName);
    if (!Partial && field && EqualsIgnoreCase(field->Text(), Value)) return true;
    if (table && table->MasterSource()) {
        const int n =
            static_cast<int>(std::count(table->MasterFields().begin(), table->MasterFields().end(), ';')) + 1;
        TField* next = n < table->IndexFieldCount() ? table->IndexFields(n) : nullptr;
        if (ww && next && EqualsIgnoreCase(next->FieldName(), FieldName))
            return ww->SearchIndexValue(Value, n);
        if (!ww) return false;
        return TableLocateFieldValue(ww, Value, FieldName, Partial ? mtPartialMatchStart : mtExactMatch,
                                     FSeqSearchOptions.Contains(ssoCaseSensitive));
    }
    const int i = IndexOfSearchField();
    if (ww && i >= 0) return ww->SearchIndexValue(Value, i);
    return SearchLookupTable(Value, FieldName, Partial, FSeqSearchOptions.Contains(ssoCaseSensitive), false);
}

void TwwDBCustomLookupCombo::DoPerformCustomSearch(const AnsiString& SearchField,
                                                   const AnsiString& SearchValue, bool PerformLookup,
                                                   bool& Found) {
    if (Assigned(OnPerformCustomSearch))
        OnPerformCustomSearch(this, LookupTable(), SearchField, SearchValue, PerformLookup, Found);
}

// ---------------------------------------------------------------- drop-down

int TwwDBCustomLookupCombo::DefaultRowHeightWithLine() const {
    return FLookupList->DefaultRowHeight() + (FLookupList->Options().Contains(loRowLines) ? 1 : 0);
}

int TwwDBCustomLookupCombo::ColumnsWidth(int Skip) {
    TwwDBLookupList* list = FLookupList;
    int width = GetSystemMetrics(SM_CXHTHUMB) + 1;
    TCanvas* canvas = list->Canvas();
    canvas->Font()->Assign(list->Font());
    const int zero = canvas->TextWidth("0");
    const bool titles = list->Options().Contains(loTitles);
    auto titleWidth = [&](const AnsiString& Label) {
        canvas->Font()->Assign(list->TitleFont());
        const int w = canvas->TextWidth(Label);
        canvas->Font()->Assign(list->Font());
        return w;
    };
    if (UseTFields()) {
        std::vector<TField*> visible;
        if (TDataSet* table = LookupTable())
            for (TField* f : table->Fields()->List())
                if (f->Visible()) visible.push_back(f);
        for (int i = 0; i < static_cast<int>(visible.size()) - Skip; ++i) {
            int w = visible[static_cast<size_t>(i)]->DisplayWidth() * zero + list->GridLineWidth();
            if (titles) w = std::max(w, titleWidth(visible[static_cast<size_t>(i)]->DisplayLabel()));
            width += w;
        }
    } else {
        for (int i = 0; i < Selected()->Count() - Skip; ++i) {
            const TwwSelectedLine line = TwwSelectedLine::Parse(Selected()->Strings(i));
            int w = StrToIntDef(line.Part(spWidth), 0) * zero + list->GridLineWidth();
            if (titles) w = std::max(w, titleWidth(line.Part(spTitle)));
            width += w;
        }
    }
    return width;
}

void TwwDBCustomLookupCombo::PositionDropDown() {
    if (Width() <= 20) return;
    TwwDBLookupList* list = FLookupList;
    const TPoint origin = ClientToScreen(TPoint(0, 0));
    int height = list->Height();
    int y = origin.y + Height() - (BorderStyle() != bsNone ? 1 : 0);
    TRect work;
    GetWorkArea(work);
    const int screenHeight = work.Height() > 0 ? work.Bottom : GetSystemMetrics(SM_CYSCREEN);
    if (y + height > screenHeight) {
        y = origin.y - height + 1;
        if (y < 0) y = origin.y + Height() - 1;
    }
    const int gridLines = list->ColumnCount() * list->GridLineWidth();
    const int buttonWidth = GetButtonWidth();
    const int wanted = FDropDownWidth != 0 ? FDropDownWidth : ColumnsWidth(0) + gridLines + buttonWidth;
    const int desktopWidth = GetSystemMetrics(SM_CXSCREEN);
    int width, x;
    if (FDropDownAlignment == taRightJustify) {
        width = std::max(Width() - 4, std::min(origin.x + Width() - 2, wanted));
        x = origin.x + Width() - width + 1;
    } else {
        width = std::max(Width() - 4, std::min(desktopWidth - origin.x - 2, wanted));
        x = origin.x;
    }
    const bool titles = list->Options().Contains(loTitles);
    if (ColumnsWidth(1) + gridLines + buttonWidth + 1 >= width && FShownRows > 0) {
        height = GetSystemMetrics(SM_CYHSCROLL) +
                 DefaultRowHeightWithLine() * ((titles ? 1 : 0) + FShownRows) + 5 -
                 (list->Options().Contains(loRowLines) ? 2 : 0);
    }
    TCustomForm* form = GetParentForm(this);
    const HWND after = form && form->FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP;
    SetWindowPos(list->Handle(), after, x, y, width, height, SWP_NOACTIVATE);
}

void TwwDBCustomLookupCombo::DropDown() {
    if (FDroppingDown) return;
    FDroppingDown = true;
    TwwFinally lower([this] { FDroppingDown = false; });
    TwwDBLookupList* list = FLookupList;
    if (list->DisplayField() && list->DisplayField() == list->KeyField() && !FOpenedByTyping)
        DataLink()->UpdateRecord();
    if (Assigned(OnPerformCustomSearch)) {
        DataLink()->UpdateRecord();
        FEntryText = Text();
        FEntryValue = LookupValue();
    }
    if (Assigned(OnDropDownStart)) OnDropDownStart(this);
    if (!LookupTable()) {
        MessageDlg(NoLookupTableText, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    list->SetColor(FDropDownGridOptions->Color());
    list->SetTitleLines(FDropDownGridOptions->TitleLines());
    list->SetTitleAlignment(FDropDownGridOptions->TitleAlignment());
    if (list->Visible() || Width() <= 20) return;

    list->SetHighlightedRow(-1);
    AddDefaultSelectedLine();
    if (!FOpenedByTyping) {
        if (::IsClassNamed(LookupTable(), "TwwQuery") && GetMasterSource(LookupTable()) && DataSource() &&
            DataSource()->DataSet() && DataSource()->DataSet()->CanModify())
            BeginEdit();
        list->LocateCurrentValue(true);
    }
    if (UseTFields()) ApplySelectedToFields(LookupTable(), Selected());
    else list->LayoutChanged();
    if (Assigned(OnDropDown)) OnDropDown(this);

    const bool titles = list->Options().Contains(loTitles);
    const int titleRows = titles ? 1 : 0;
    FShownRows = FDropDownCount == 0 ? 1 : FDropDownCount;
    auto listHeight = [&] {
        return (titleRows * FDropDownGridOptions->TitleLines() + FShownRows) * DefaultRowHeightWithLine() +
               titleRows * 3 + 2;
    };
    list->SetSizing(true);
    TwwFinally notSizing([list] { list->SetSizing(false); });
    list->SetHeight(listHeight());
    FSavedShowHint = Application->ShowHint();
    Application->SetShowHint(false);
    PositionDropDown();
    list->UpdateRowCount();

    TwwTable* ww = AsWwTable(LookupTable());
    const int records = list->DataLink()->RecordCount();
    const bool shrink = !list->Options().Contains(loFixedDropDownHeight) && records < FShownRows &&
                        (!ww || !(ww->NarrowSearch() || (ww->SyncSQLByRange() && IsSQLBasedTable(ww))));
    if (shrink) {
        FShownRows = records;
        list->SetHeight(listHeight());
        list->SetShowVertScrollBar(false);
        list->SetShowHorzScrollBar(list->Width() < ColumnsWidth(1));
        PositionDropDown();
        const AnsiString text = Text();
        const int start = SelStart(), length = SelLength();
        SetText(text);
        if (FOpenedByTyping && FShowMatchText) {
            SetSelStart(start);
            SetSelLength(length);
        } else {
            SetSelStart(static_cast<int>(text.size()));
        }
    } else {
        list->SetShowVertScrollBar(true);
    }
    if (LookupField().empty()) list->StoreDisplayValue(Text());
    list->SetColumnWidths();
    list->UpdateRowCount();
    list->UpdateScrollBar();
    list->SetVisible(true);
    ShowWindow(list->Handle(), SW_SHOWNOACTIVATE);
    FLastSearchedText = DisplayValue();
    TCustomEdit::SetReadOnly(!CanEdit());
    if (!FOpenedByTyping) {
        if (!(FShowMatchText && SelLength() > 0) || SelStart() == 0) SelectAllIfEditable();
    }
    if (HandleAllocated()) ShowCaret(Handle());
    Invalidate();
    InstallMouseHook(list);
}

void TwwDBCustomLookupCombo::HideList() {
    if (!FLookupList->Visible()) return;
    const bool wasVisible = Visible();
    if (!wasVisible) SetVisible(true);
    FLookupList->SetVisible(false);
    if (FLookupList->HandleAllocated())
        SetWindowPos(FLookupList->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (!wasVisible) SetVisible(false);
}

void TwwDBCustomLookupCombo::TakeBackEntryValues() {
    SetDisplayValue(FEntryText);
    SetText(FEntryText);
    SetLookupValue(FEntryValue);
}

void TwwDBCustomLookupCombo::CloseUp(bool Accept) {
    if (FClosingUp) return;
    TwwDBLookupList* list = FLookupList;
    if (!ListVisible()) {
        if (!list->DisplayField()) return;
        const bool searchable = IsLinkedLookupField() || !list->DisplayField()->Calculated();
        if (Assigned(OnTextNotFound) && Text() != FEntryText && !FSuppressFocusActions && searchable) {
            PrepareLookupIndex(true);
            if (!Text().empty()) {
                FLastSearchedText.clear();
                PerformSearch();
            } else {
                FFound = false;
            }
            if (!FFound) {
                bool accept = true;
                if (!Text().empty()) {
                    FSuppressFocusActions = true;
                    TwwFinally lower([this] { FSuppressFocusActions = false; });
                    OnTextNotFound(this, LookupTable(), Text(), accept);
                }
                if (!accept) {
                    TakeBackEntryValues();
                    if (Focused()) SelectAllIfEditable();
                }
            }
            FEntryText = Text();
        } else if (FStyle == csDropDown && list->DisplayField() != list->KeyField() && Text() != FEntryText &&
                   !FFound) {
            TakeBackEntryValues();
            if (Focused()) SelectAllIfEditable();
        }
        return;
    }

    FClosingUp = true;
    auto finish = [this] {
        FClosingUp = false;
        RemoveMouseHook();
        Application->SetShowHint(FSavedShowHint);
    };
    bool changed = false;
    try {
        TDataSet* own = DataSource() ? DataSource()->DataSet() : nullptr;
        const bool linked = IsLinkedLookupField();
        const bool keyIsDisplay = list->DisplayField() && list->DisplayField() == list->KeyField();
        bool acceptedNew = false;
        if (Accept && !FFound && !(!DataLink()->Editing() && !linked && own)) {
            HideList();
            Invalidate();
            FFound = true;
            if ((FStyle == csDropDown && keyIsDisplay) || Assigned(OnTextNotFound)) {
                bool accept = true;
                if (Assigned(OnTextNotFound) && !Text().empty()) {
                    FSuppressFocusActions = true;
                    TwwFinally lower([this] { FSuppressFocusActions = false; });
                    OnTextNotFound(this, LookupTable(), Text(), accept);
                    ReleasePressedControl();
                }
                if (!accept) {
                    TakeBackEntryValues();
                    finish();
                    return;
                }
                acceptedNew = true;
                FEntryText = Text();
                if (keyIsDisplay) {
                    SetLookupValue(Text());
                    SetDisplayValue(Text());
                    if (Field() && Field()->Text() != Text()) Field()->SetAsString(Text());
                } else if (own && !linked) {
                    list->StoreLookupValue(FieldText(list->KeyField()));
                } else if (!own) {
                    SetText(FTextAtLastSearch);
                }
            } else if (FStyle == csDropDown && !keyIsDisplay && Text() != FEntryText) {
                SetDisplayValue(FEntryText);
                if (!linked) list->StoreLookupValue(FEntryValue);
                SetText(FEntryText);
            }
        }
        if (Accept && !(!DataLink()->Editing() && !linked && own)) {
            if (!own) {
                if (FFound && !acceptedNew)
                    SetText(keyIsDisplay ? LookupValue() : FieldText(list->DisplayField()));
                if (FFound) {
                    AcceptListValue(this);
                } else if (!acceptedNew && (FStyle == csDropDownList || !keyIsDisplay)) {
                    if (FAllowClearKey) {
                        SetText("");
                        list->StoreLookupValue("");
                    } else {
                        SetText(FEntryText);
                        list->StoreDisplayValue(FEntryText);
                        list->StoreLookupValue(FEntryValue);
                    }
                }
            } else if (linked) {
                Invalidate();
                HideList();
                WriteLinkedFields(changed);
                SetText(FieldText(Field()));
                SelectAllIfEditable();
            } else {
                if (list->HighlightedRow() >= 0) {
                    for (TField* key : {list->KeyField2(), list->KeyField3()}) {
                        TField* target = key ? own->FindField(key->FieldName()) : nullptr;
                        if (target && target->Text() != key->Text()) {
                            target->SetText(key->Text());
                            changed = true;
                        }
                    }
                }
                if (Field() && Field()->Text() != LookupValue()) {
                    changed = true;
                    FWriting = true;
                    TwwFinally lower([this] { FWriting = false; });
                    if (FStyle == csDropDownList && !FFound && !keyIsDisplay) SetText(DisplayValue());
                    try {
                        Field()->SetAsString(LookupValue());
                    } catch (...) {
                        if (!Focused()) {
                            list->StoreDisplayValue(FEntryText);
                            list->StoreLookupValue(FEntryValue);
                            SetText(FEntryText);
                            Invalidate();
                        }
                        throw;
                    }
                } else if (FStyle == csDropDownList && !FFound) {
                    list->StoreDisplayValue(FEntryText);
                    list->StoreLookupValue(FEntryValue);
                    SetText(FEntryText);
                }
                Invalidate();
            }
        }
        HideList();
        Invalidate();
        if (!IsTextEditable() && HandleAllocated()) HideCaret(Handle());
        if (changed && LookupTable()) {
            TwwBusyScope busy(AsWwTable(LookupTable()));
            LookupTable()->UpdateCursorPos();
            LookupTable()->Resync(TResyncMode{});
            FEntryText = Text();
            FEntryValue = LookupValue();
        }
        SetModified(changed);
        if (Assigned(OnCloseUp)) OnCloseUp(this, LookupTable(), own, changed);
    } catch (...) {
        HideList();
        FSuppressFocusActions = false;
        FWriting = false;
        Invalidate();
        finish();
        throw;
    }
    finish();
}

// ---------------------------------------------------------------- keyboard

void TwwDBCustomLookupCombo::ForwardKeyToGrid(WORD& Key, TShiftState Shift) {
    TWinControl* grid = Parent();
    const int length = static_cast<int>(Text().size());
    const int start = SelStart(), end = SelStart() + SelLength();
    const bool alwaysShowEditor =
        ::IsClassNamed(grid, "TwwDBGrid") && GridOptionSet(grid, "dgAlwaysShowEditor");
    const bool ctrl = Shift.Contains(ssCtrl);
    bool hand = false;
    switch (Key) {
    case VK_ESCAPE:
        if (!Modified()) {
            FSuppressFocusActions = true;
            TwwFinally lower([this] { FSuppressFocusActions = false; });
            HandKeyToGrid(grid, Key);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: hand = !AltHeld(Shift); break;
    case VK_INSERT: hand = true; break;
    case VK_END:
    case VK_RIGHT:
        hand = alwaysShowEditor && (ctrl || (end == length && (start == 0 || SelLength() == 0)));
        break;
    case VK_HOME:
    case VK_LEFT: hand = alwaysShowEditor && (ctrl || (start == 0 && (end == 0 || end == length))); break;
    case VK_DELETE: hand = ctrl; break;
    case VK_F2:
        if (Assigned(grid->OnKeyDown)) grid->OnKeyDown(grid, Key, Shift);
        if (Key == VK_F2) SetSelLength(0);
        Key = 0;
        return;
    default: break;
    }
    if (!IsTextEditable() && (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT))
        hand = true;
    if (hand) HandKeyToGrid(grid, Key);
    if (Key != 0 && Assigned(grid->OnKeyDown) &&
        !((Key == VK_RETURN || Key == VK_TAB) && Screen->ActiveControl() != this))
        grid->OnKeyDown(grid, Key, Shift);
}

void TwwDBCustomLookupCombo::KeyDown(WORD& Key, TShiftState Shift) {
    if (AltHeld(Shift)) Shift.Include(ssAlt);
    const bool open = ListVisible();
    if (!open && ParentIsGrid()) ForwardKeyToGrid(Key, Shift);
    if ((Key == VK_BACK || Key == VK_DELETE) && FStyle == csDropDownList && !FAllowClearKey && !open) Key = 0;
    if (Key != 0) {
        if (IsTextKey(Key) && FAutoDropDown && !open) FOpenedByTyping = true;
        TCustomMaskEdit::KeyDown(Key, Shift);
        if (Key == VK_BACK || Key == VK_INSERT || Key == VK_DELETE) {
            if (IsTextEditable()) BeginEdit();
            if (!CanEdit()) Key = 0;
        }
        if ((Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT) && !IsTextEditable() &&
            !IsLinkedLookupField())
            Key = 0;
    }
    const bool moveKey = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    if (moveKey || Key == VK_F4) {
        if (ListVisible()) {
            BeginEdit();
            if ((!DataSource() || DataLink()->Editing() || IsLinkedLookupField()) && !ReadOnly()) {
                WORD listKey = Key;
                FLookupList->KeyDown(listKey, Shift);
            }
            Key = 0;
        } else if ((Shift.Contains(ssAlt) && moveKey) || (Key == VK_F4 && !Shift.Contains(ssAlt))) {
            DropDown();
            Key = 0;
        }
    } else if (Key == VK_ESCAPE && ListVisible()) {
        Key = 0;
    }
    if (FShowMatchText && (Key == VK_BACK || Key == VK_DELETE)) {
        if (ListVisible()) FLastSearchedText = DeletedMark;
    } else {
        FLastSearchedText.clear();
    }
}

void TwwDBCustomLookupCombo::KeyPress(char& Key) {
    if (ParentIsGrid()) GridKeyPress(Parent(), Key);
    if (Key == 0) return;
    TCustomMaskEdit::KeyPress(Key);
    const unsigned char c = static_cast<unsigned char>(Key);
    const AnsiString mask = Picture()->PictureMask();
    if (!mask.empty() && c >= 32 && c <= 254) {
        if (IsTextEditable()) BeginEdit();
        if (CanEdit() && PictureMaskKeyPress(this, mask, Picture()->AutoFill(), Key)) {
            SetSelStart(static_cast<int>(Text().size()));
            if (ListVisible() || FShowMatchText) {
                FOpenedByTyping = true;
                TwwFinally lower([this] { FOpenedByTyping = false; });
                PerformSearch();
            }
        }
    }
    if (FAutoDropDown && FStyle == csDropDownList && !FAllowClearKey && !ListVisible() &&
        (Key == '\b' || Key == '\x18'))
        Key = 0;
    if (Key == 0) return;
    AnsiString next = Text();
    const size_t start = static_cast<size_t>(SelStart());
    const size_t length = static_cast<size_t>(SelLength());
    if (Key == '\b') {
        if (length > 0) next.erase(start, length);
        else if (start > 0) next.erase(start - 1, 1);
    } else if (c >= 32) {
        next.replace(start, length, 1, Key);
    }
    const bool changesSearch = next != FLastSearchedText || FLastSearchedText.size() == 1;
    const bool backSearch = Key == '\b' && FLookupList->Options().Contains(loSearchOnBackspace);
    if (changesSearch && (c >= 32 || backSearch) && (ListVisible() || (FShowMatchText && CanEdit()))) {
        TwwTable* ww = AsWwTable(LookupTable());
        if (FShowMatchText && ww && !TableUsesQuery(ww) && ww->NarrowSearch() && backSearch && next.empty())
            ww->ClearRange();
        else StartSearchTimer();
    }
    if (Key == '\r' && ListVisible()) {
        SyncFromList();
        if (FFound) AcceptListValue(this);
        CloseUp(true);
        SelectAllIfEditable();
        if (HandleAllocated()) ShowCaret(Handle());
    }
    if (Key == '\x1b') {
        const bool wasOpen = ListVisible();
        if (wasOpen) CloseUp(false);
        if (Field()) {
            FLookupList->StoreDisplayValue(FEntryText);
            FLookupList->StoreLookupValue(FEntryValue);
            SetText(FEntryText);
            SetModified(false);
            {
                FInternalChange = true;
                TwwFinally lower([this] { FInternalChange = false; });
                DataLink()->Reset();
            }
            SelectAllIfEditable();
            TCustomForm* form = GetParentForm(this);
            if ((!IsTextEditable() || (!wasOpen && ParentIsCustomDBGrid())) && Parent() && form &&
                form->Visible()) {
                if (Parent()->CanFocus()) Parent()->SetFocus();
            }
        } else {
            SetDisplayValue(FEntryText);
            SetLookupValue(FEntryValue);
            SelectAllIfEditable();
        }
        Key = 0;
        return;
    }
    if (!ListVisible() && c >= 32 && !FAutoDropDown && !FShowMatchText && IsTextEditable() && Field() &&
        !Field()->IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    if (Key == '\b' || Key == '\x16' || Key == '\x18' || c >= 32) {
        if (IsTextEditable()) BeginEdit();
        if (!CanEdit()) Key = 0;
    } else if (Key == '\t' || Key == '\r') {
        Key = 0;
    }
}

void TwwDBCustomLookupCombo::KeyUp(WORD& Key, TShiftState Shift) {
    TDataSource* source = DataSource();
    const bool dataCanEdit = !source || DataField().empty() || source->State() == dsEdit ||
                             source->State() == dsInsert || source->AutoEdit();
    if (FAllowClearKey && dataCanEdit && (Key == VK_DELETE || Key == VK_BACK)) {
        if (ListVisible()) {
            if (Text().empty() && !IsLinkedLookupField()) {
                if (Field()) {
                    BeginEdit();
                    DataLink()->SetModified();
                }
                FLookupList->StoreLookupValue("");
                FLookupList->StoreDisplayValue("");
                FLookupList->SetHighlightedRow(-1);
                FLookupList->Invalidate();
                Key = 0;
            }
        } else if (Text().empty() || FStyle == csDropDownList) {
            if (IsLinkedLookupField()) {
                SetText("");
                FLookupList->StoreLookupValue("");
                FLookupList->StoreLookupValue2("");
                FLookupList->StoreLookupValue3("");
                bool changed;
                WriteLinkedFields(changed);
            } else {
                SetText("");
                if (Field()) {
                    BeginEdit();
                    DataLink()->SetModified();
                    FLookupList->StoreLookupValue("");
                } else {
                    SetLookupValue("");
                }
            }
            Key = 0;
        }
    }
    TwwCustomMaskEdit::KeyUp(Key, Shift);
    if ((Text() != FLastSearchedText || FLastSearchedText.size() == 1) && IsTextKey(Key)) {
        const bool deletion = Key == VK_BACK || Key == VK_DELETE;
        if (deletion && FStyle == csDropDownList && !ListVisible() && !FAllowClearKey) {
            Key = 0;
            return;
        }
        TwwTable* ww = AsWwTable(LookupTable());
        if (FShowMatchText && deletion && ww && !TableUsesQuery(ww) && ww->NarrowSearch() && Text().empty())
            ww->ClearRange();
        const bool matchNow = !ListVisible() && !FAutoDropDown && FShowMatchText && FStyle == csDropDown &&
                              !Text().empty() && !deletion;
        const bool dropNow = !ListVisible() && FAutoDropDown && !Text().empty();
        if (matchNow || dropNow) {
            PrepareLookupIndex(true);
            FOpenedByTyping = true;
            TwwFinally lower([this] { FOpenedByTyping = false; });
            PerformSearch();
        }
    }
    FOpenedByTyping = false;
    if (IsTextKey(Key) && Key != 0 && !ListVisible() && DataLink()->Editing()) DataLink()->SetModified();
}

// Tab and Enter in a grid's cell editor. Once the grid has taken the focus
// back, it takes the key itself (in its KeyDown) in two cases, read as
// (Tab in a data inspector) or (Enter while the grid's KeyOptions hold
// dgEnterToTab): Enter without dgEnterToTab only gives the grid the focus.
// Tab in a plain grid goes on as a dialog key, the way it leaves the
// library's edit, so it reaches the next cell whether or not a grid's
// keyboard hook is still installed (a lookup dialog's grid freed meanwhile
// may have taken it).
void TwwDBCustomLookupCombo::CNKeyDown(TMessage& Message) {
    if (ComponentState().Contains(csDesigning)) {
        TwwDBCustomCombo::CNKeyDown(Message);
        return;
    }
    const WORD key = Message.CharCode();
    auto* dbGrid = dynamic_cast<TwwCustomDBGrid*>(Parent());
    if (key == VK_ESCAPE && !dbGrid) {
        if (ListVisible()) return;
        if (Modified()) {
            FLookupList->StoreDisplayValue(FEntryText);
            FLookupList->StoreLookupValue(FEntryValue);
            SetText(FEntryText);
            SetModified(Field() != nullptr);
            FInternalChange = true;
            TwwFinally lower([this] { FInternalChange = false; });
            DataLink()->Reset();
            return;
        }
    }
    if (FOpenedByTyping) return;
    const bool enterToTab = dbGrid && dbGrid->KeyOptions().Contains(dgEnterToTab);
    if ((key == VK_TAB || (key == VK_RETURN && enterToTab)) && ListVisible()) {
        SyncFromList();
        if (FFound) AcceptListValue(this);
        CloseUp(true);
        SelectAllIfEditable();
    }
    if (key == VK_TAB || key == VK_RETURN) {
        if (ListVisible()) return;
        if (ParentIsGrid()) {
            TWinControl* grid = Parent();
            if (key == VK_RETURN || GridOptionSet(grid, "goTabs")) {
                if (grid->CanFocus()) grid->SetFocus();
                if (grid->Focused() &&
                    ((IsInInspector(this) && key == VK_TAB) || (key == VK_RETURN && enterToTab))) {
                    WORD handed = key;
                    grid->Perform(WM_KEYDOWN, handed, 0);
                }
                Message.Result = 1;
                return;
            }
        }
    }
    const bool multiLine = HandleAllocated() && (GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE);
    if (multiLine && (key == VK_RETURN || (key == VK_ESCAPE && !Modified())) && Parent()) {
        if (Parent()->Perform(Message.Msg, Message.WParam, Message.LParam) != 0) {
            Message.Result = 1;
            return;
        }
    }
    TwwCustomMaskEdit::CNKeyDown(Message);
}

void TwwDBCustomLookupCombo::WMChar(TMessage& Message) {
    if (IsTextKey(Message.CharCode()) && FAutoDropDown && !ListVisible() && ParentIsCustomDBGrid())
        FOpenedByTyping = true;
    TwwDBCustomCombo::WMChar(Message);
}

void TwwDBCustomLookupCombo::WMPaste(TMessage& Message) {
    if (IsTextEditable()) BeginEdit();
    if (!CanEdit()) return;
    if (!ListVisible() && FStyle == csDropDownList && FAutoDropDown) return;
    TCustomMaskEdit::WMPaste(Message);
    DataLink()->SetModified();
    if (ListVisible()) {
        FLastSearchedText.clear();
        PerformSearch();
    }
}

void TwwDBCustomLookupCombo::WMCut(TMessage& Message) {
    if (IsTextEditable()) BeginEdit();
    if (!CanEdit()) return;
    TCustomMaskEdit::WMCut(Message);
}

// ---------------------------------------------------------------- focus, mouse

void TwwDBCustomLookupCombo::DoEnter() {
    FLookupList->StoreDisplayValue(Text());
    TwwDBCustomCombo::DoEnter();
    if (Parent() && ::IsClassNamed(Parent(), "TwwDBGrid")) SelectAll();
    if (!FSuppressFocusActions) {
        SetModified(false);
        if (!ListVisible()) {
            FEntryText = Text();
            FEntryValue = LookupValue();
        }
    }
}

void TwwDBCustomLookupCombo::CMEnter(TMessage& Message) {
    SetEditRect();
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAllIfEditable();
    TwwDBCustomCombo::CMEnter(Message);
    Invalidate();
}

void TwwDBCustomLookupCombo::CMExit(TMessage& Message) {
    if (!FSuppressFocusActions) {
        try {
            DataLink()->UpdateRecord();
            SetSelStart(0);
        } catch (...) {
            SelectAllIfEditable();
            if (CanFocus()) {
                FSuppressFocusActions = true;
                TwwFinally lower([this] { FSuppressFocusActions = false; });
                SetFocus();
            }
            throw;
        }
    }
    TwwDBCustomCombo::CMExit(Message);
    Invalidate();
}

void TwwDBCustomLookupCombo::WMKillFocus(TMessage& Message) {
    TwwDBCustomCombo::WMKillFocus(Message);
    if (ListVisible() && Modified() && Text().empty() && !FAllowClearKey) SyncFromList();
    CloseUp(true);
}

void TwwDBCustomLookupCombo::CMCancelMode(TMessage& Message) {
    if (Modified() && !FFound) {
        BeginEdit();
        if (DataLink()->Editing()) DataLink()->SetModified();
    }
    auto* sender = LParamToPointer<TControl>(Message.LParam);
    if (sender == this || sender == ButtonHolder() || sender == Button() || sender == FLookupList) return;
    if (ListVisible()) {
        SyncFromList();
        if (FFound) AcceptListValue(this);
    }
    CloseUp(true);
}

// With the list open the wheel steps in it as the arrow keys do.
bool TwwDBCustomLookupCombo::WheelInList(WORD Key, TShiftState Shift) {
    if (!ListVisible()) return false;
    TDataSource* source = FLookupList->GetLookupSource();
    if (source && source->DataSet() && source->DataSet()->Active()) {
        BeginEdit();
        FLookupList->KeyDown(Key, Shift);
    }
    return true;
}

bool TwwDBCustomLookupCombo::DoMouseWheelDown(TShiftState Shift, TPoint) {
    return WheelInList(VK_DOWN, Shift);
}

bool TwwDBCustomLookupCombo::DoMouseWheelUp(TShiftState Shift, TPoint) { return WheelInList(VK_UP, Shift); }

void TwwDBCustomLookupCombo::WMMouseMove(TMessage& Message) {
    TwwDBCustomCombo::WMMouseMove(Message);
    if (IsTypingAllowed() || !ListVisible() || !(Message.Keys() & MK_LBUTTON)) return;
    if (GetCapture() != Handle()) return;
    // A press on the text that opened the list goes on as a drag in it.
    const TPoint screen = ClientToScreen(TPoint(Message.XPos(), Message.YPos()));
    const TPoint inList = FLookupList->ScreenToClient(screen);
    if (!PtInRect(TRect(0, 0, FLookupList->ClientWidth(), FLookupList->ClientHeight()), inList)) return;
    Perform(WM_LBUTTONUP, 0, Message.LParam);
    FLookupList->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(inList.x, inList.y));
}

void TwwDBCustomLookupCombo::WMPaint(TMessage& Message) {
    TwwDBCustomCombo::WMPaint(Message);
    if (ListVisible()) PositionDropDown();
}

TAlignment TwwDBCustomLookupCombo::EffectiveAlignment() const {
    TField* display = FLookupList ? FLookupList->DisplayField() : nullptr;
    if (!display || !Field() || IsInInspector(const_cast<TwwDBCustomLookupCombo*>(this)))
        return TwwDBCustomCombo::EffectiveAlignment();
    return display->Alignment();
}

void TwwDBCustomLookupCombo::SetEditRect() {
    auto* grid = dynamic_cast<TwwCustomDBGrid*>(Parent());
    if (!HandleAllocated() || BorderStyle() != bsNone || !grid || Frame()->IsEffective()) {
        TwwDBCustomCombo::SetEditRect();
        return;
    }
    auto* dbGrid = dynamic_cast<TwwDBGrid*>(grid);
    TRect r(2, dbGrid && !dbGrid->HasRowLines() ? 1 : 2,
            GetShowButton() ? ButtonHolder()->Left() - 2 : ClientWidth() - 2, ClientHeight() + 1);
    Perform(EM_SETRECTNP, 0, PointerToLParam(&r));
}

bool TwwDBCustomLookupCombo::GetDisplayForValue(const AnsiString&, AnsiString& DisplayText) {
    TwwDBLookupList* list = FLookupList;
    TField* field = Field();
    if (!field || !list->DisplayField() || list->DisplayField() == list->KeyField() || field->IsNull() ||
        field->Lookup() || field->Calculated())
        return false;
    if (TwwTable* table = AsWwTable(LookupTable())) table->SetIndexForFields(LookupField());
    list->FindDataValue();
    if (!list->ValueFound()) return false;
    DisplayText = list->DisplayField()->Text();
    return true;
}

void TwwDBCustomLookupCombo::PaintFrame(TControlCanvas* Canvas) {
    if (Frame()->IsEffective()) DrawFrameEdges(this, Frame(), Canvas->Handle(), IsFocused());
}
