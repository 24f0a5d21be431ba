#include "dataaware/Wwkeycb.h"

#include "dataaware/Wwintl.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Timers.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwIncrementalSearch, TCustomEdit)
ZELMOR_IMPLEMENT_ENUM(TwwSearchCaseSensitivity, "wwcsAutoDetect", "wwcsCaseSensitive", "wwcsCaseInsensitive")

namespace {
// The pause before a search; half of it on an open local table.
constexpr unsigned StandardDelay = 200;

bool IsEngineDataSet(TDataSet* DataSet) { return dynamic_cast<TDBDataSet*>(DataSet) != nullptr; }

AnsiString FirstFieldName(TDataSet* DataSet) {
    return DataSet->FieldCount() > 0 ? DataSet->Fields()->Fields(0)->FieldName() : AnsiString();
}

AnsiString FirstOf(const AnsiString& List) {
    int position = 1;
    return NextToken(List, ";", position);
}

// The field an expression index of a dBase table sorts by: the first word of
// its key expression that names a field.
AnsiString ExpressionIndexField(TTable* Table) {
    TIndexDef* def = Table->IndexDefs()->FindDef(Table->IndexName());
    if (!def || !def->Options().Contains(ixExpression)) return {};
    const AnsiString expression = UpperCase(def->Expression());
    static const TCharSet delimiters("()*+-/");
    int position = 1;
    while (position > 0 && position <= static_cast<int>(expression.size())) {
        AnsiString token = ScanToken(expression, position, stSkipBlanks, delimiters);
        if (token.empty()) break;
        if (Table->FindField(token)) return token;
    }
    return {};
}

bool IsDBaseTable(TTable* Table) {
    if (auto* table = dynamic_cast<TwwTable*>(Table)) return table->IsDBaseTable();
    return Table->TableType() == ttDBase || SameText(ExtractFileExt(Table->TableName()), ".DBF");
}
}  // namespace

TwwIncrementalSearch::TwwIncrementalSearch(TComponent* AOwner)
    : TCustomEdit(AOwner), FDataLink(std::make_unique<TDataLink>()), FTimer(NewComponent<TTimer>(this)) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(StandardDelay);
    FTimer->OnTimer = [this](TObject*) { SearchNow(); };
}

TwwIncrementalSearch::~TwwIncrementalSearch() = default;

void TwwIncrementalSearch::DescribeProperties(TPropertyTable& T) {
    using S = TwwIncrementalSearch;
    // The edit's own, which the lookup form sets (AutoSize, TabOrder, hints).
    PublishEditProperties(T);
    TControl::PublishStandard(T, {"Text"});
    T.Property("DataSource", &S::DataSource, &S::SetDataSource);
    T.Property("SearchField", &S::SearchField, &S::SetSearchField);
    T.Property("SearchDelay", &S::SearchDelay, &S::SetSearchDelay).Default(0);
    T.Property("CaseSensitivity", &S::CaseSensitivity, &S::SetCaseSensitivity).Default(wwcsAutoDetect);
    T.Property("ShowMatchText", &S::ShowMatchText, &S::SetShowMatchText).Default(false);
    T.Property("PictureMask", &S::PictureMask, &S::SetPictureMask);
    T.Property("PictureMaskAutoFill", &S::PictureMaskAutoFill, &S::SetPictureMaskAutoFill).Default(true);
    T.Property("PictureMaskFromField", &S::PictureMaskFromField, &S::SetPictureMaskFromField).Default(false);
    T.Event("OnAfterSearch", &S::OnAfterSearch);
    T.Event("OnPerformCustomSearch", &S::OnPerformCustomSearch);
}

TDataSource* TwwIncrementalSearch::DataSource() const { return FDataLink->DataSource(); }

void TwwIncrementalSearch::SetDataSource(TDataSource* Value) {
    if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TwwIncrementalSearch::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

TDataSet* TwwIncrementalSearch::SearchedDataSet() const {
    return DataSource() ? DataSource()->DataSet() : nullptr;
}

void TwwIncrementalSearch::Clear() {
    TCustomEdit::Clear();
    FLastSearched.clear();
}

void TwwIncrementalSearch::DoPerformCustomSearch(const AnsiString& SearchField, const AnsiString& SearchValue,
                                                 bool PerformLookup, bool& Found) {
    TDataSet* dataSet = SearchedDataSet();
    if (Assigned(OnPerformCustomSearch) && dataSet)
        OnPerformCustomSearch(this, dataSet, SearchField, SearchValue, PerformLookup, Found);
}

void TwwIncrementalSearch::KeyUp(WORD& Key, TShiftState Shift) {
    TCustomEdit::KeyUp(Key, Shift);
    if (Text() == FLastSearched || !IsCharacterKey(Key)) return;
    if (FShowMatchText && (Key == 8 || Key == 46)) {
        // Deleting the completed part is no new search.
        auto* table = dynamic_cast<TwwTable*>(SearchedDataSet());
        if (table && table->NarrowSearch() && Text().empty()) table->ClearRange();
        return;
    }
    FTimer->SetEnabled(false);
    if (!DataSource()) {
        MessageDlg("DataSource not defined - object " + Name(), mtWarning, {mbOK}, 0);
        return;
    }
    TDataSet* dataSet = SearchedDataSet();
    if (!dataSet) {
        MessageDlg("Dataset not defined for DataSource", mtWarning, {mbOK}, 0);
        return;
    }
    if (FSearchDelay != 0) FTimer->SetInterval(static_cast<unsigned>(FSearchDelay));
    else if (dataSet->Active() && IsEngineDataSet(dataSet) && !IsSQLBasedTable(dataSet) &&
             !::IsClassNamed(dataSet, "TClientDataSet"))
        FTimer->SetInterval(StandardDelay / 2);
    FTimer->SetEnabled(true);
}

void TwwIncrementalSearch::SearchNow() {
    if (!FTimer->Enabled()) return;
    FTimer->SetEnabled(false);
    if (Text() == FLastSearched) return;
    Search();
    FLastSearched = Text();
}

void TwwIncrementalSearch::Search() {
    TDataSet* dataSet = SearchedDataSet();
    if (!dataSet || (!dataSet->Active() && !Assigned(OnPerformCustomSearch))) return;
    const AnsiString text = Text();
    AnsiString field = FSearchField;
    bool indexNoted = false, indexCaseSensitive = false;
    if (!IsEngineDataSet(dataSet)) {
        if (text.empty()) {
            dataSet->First();
            return;
        }
        auto* defs = dynamic_cast<TIndexDefs*>(GetObjectProp(dataSet, "IndexDefs"));
        if (defs && IsPublishedProp(dataSet, "IndexName")) {
            if (TIndexDef* def = defs->FindDef(GetStrProp(dataSet, "IndexName"))) {
                indexNoted = true;
                indexCaseSensitive = !def->Options().Contains(ixCaseInsensitive);
                if (field.empty()) field = FirstOf(def->Fields());
            }
        }
    }
    const bool caseSensitive = FCaseSensitivity == wwcsCaseSensitive ||
                               (FCaseSensitivity == wwcsAutoDetect && indexNoted && indexCaseSensitive);
    bool found = false;
    if (Assigned(OnPerformCustomSearch)) {
        field = FSearchField.empty() ? FirstFieldName(dataSet) : FSearchField;
        AnsiString value = text;
        TField* searched = dataSet->FindField(field);
        if (searched && searched->DataType() == ftString && searched->Size() < static_cast<int>(value.size()))
            value.resize(static_cast<size_t>(searched->Size()));
        DoPerformCustomSearch(field, value, false, found);
    } else if (auto* table = dynamic_cast<TTable*>(dataSet)) {
        if (!TableUsesQuery(table) && table->IndexDefs()->Count() == 0) table->UpdateIndexDefs();
        AnsiString expressionField;
        if (IsDBaseTable(table))
            expressionField = FSearchField.empty() ? ExpressionIndexField(table) : FSearchField;
        const bool byExpression =
            IsDBaseTable(table) && !expressionField.empty() &&
            table->IndexDefs()->FindDef(table->IndexName()) &&
            table->IndexDefs()->FindDef(table->IndexName())->Options().Contains(ixExpression);
        if (table->IndexFieldCount() == 0 && TableUsesQuery(table)) {
            field = FSearchField.empty() ? FirstFieldName(table) : FSearchField;
            found = LocateFieldValue(table, text, field, FCaseSensitivity == wwcsCaseSensitive,
                                     mtPartialMatchStart);
        } else if (byExpression) {
            field = expressionField;
            TField* key = table->FindField(field);
            if (!key || !TextFitsField(key, text)) return;
            // The key of an expression index is one text: its leading field's value.
            table->FindNearest({text});
            found = AnsiUpperCase(key->Text()).compare(0, text.size(), AnsiUpperCase(text)) == 0;
        } else {
            int position = 0;
            for (int i = 0; !FSearchField.empty() && i < table->IndexFieldCount(); ++i)
                if (LowerCase(table->IndexFields(i)->FieldName()) == LowerCase(FSearchField)) position = i;
            if (table->IndexFieldCount() == 0 || FCaseSensitivity != wwcsAutoDetect) {
                field = FSearchField.empty() ? FirstFieldName(table) : FSearchField;
                found = LocateFieldValue(table, text, field, caseSensitive, mtPartialMatchStart);
            } else {
                found = IncrementalIndexSearch(table, text, position);
            }
        }
    } else {
        if (field.empty() && IsPublishedProp(dataSet, "IndexFieldNames"))
            field = FirstOf(GetStrProp(dataSet, "IndexFieldNames"));
        if (field.empty()) field = FirstFieldName(dataSet);
        const TLocateOptions anyCase{loCaseInsensitive, loPartialKey};
        if (!TextFitsFieldStrict(dataSet->FindField(field), text)) {
            found = false;
        } else if (::IsClassNamed(dataSet, "TwwQuery") && DefaultIntl->UseLocateMethodForSearch()) {
            auto* query = dynamic_cast<TwwQuery*>(dataSet);
            if (query && query->RequestLive() && query->CanModify() && query->DataSource()) {
                found = LocateFieldValue(dataSet, text, field, false, mtPartialMatchStart);
            } else {
                TwwHourGlass hourGlass;
                try {
                    if (FieldsMapToIndex(dataSet, field, false))
                        found = dataSet->Locate(field, text, anyCase);
                    else if (FieldsMapToIndex(dataSet, field, true))
                        found = dataSet->Locate(field, text, {loPartialKey});
                    else found = LocateFieldValue(dataSet, text, field, false, mtPartialMatchStart);
                } catch (const Exception&) {
                    found = LocateFieldValue(dataSet, text, field, false, mtPartialMatchStart);
                }
            }
        } else if (DefaultIntl->UseLocateMethodForSearch()) {
            TwwHourGlass hourGlass;
            if (IsEngineDataSet(dataSet) && FCaseSensitivity == wwcsAutoDetect)
                found = dataSet->Locate(field, text, anyCase);
            else found = dataSet->Locate(field, text, caseSensitive ? TLocateOptions{loPartialKey} : anyCase);
        } else {
            found =
                LocateFieldValue(dataSet, text, field, FCaseSensitivity != wwcsAutoDetect && caseSensitive,
                                 mtPartialMatchStart);
        }
    }
    if (Assigned(OnAfterSearch)) OnAfterSearch(this, found);
    if (!FShowMatchText || !found) return;
    TField* shown = dataSet->FindField(field);
    if (!shown)
        shown = dynamic_cast<TTable*>(dataSet) ? dynamic_cast<TTable*>(dataSet)->IndexFields(0) : nullptr;
    if (!shown) return;
    SetText(shown->Text());
    SetSelStart(static_cast<int>(text.size()));
    SetSelLength(static_cast<int>(Text().size()) - static_cast<int>(text.size()));
}

AnsiString TwwIncrementalSearch::GetSearchFieldName() {
    TDataSet* dataSet = SearchedDataSet();
    if (!dataSet || !dataSet->Active()) return {};
    AnsiString field = FSearchField;
    AnsiString indexField;
    if (!IsEngineDataSet(dataSet)) {
        auto* defs = dynamic_cast<TIndexDefs*>(GetObjectProp(dataSet, "IndexDefs"));
        if (defs && IsPublishedProp(dataSet, "IndexName"))
            if (TIndexDef* def = defs->FindDef(GetStrProp(dataSet, "IndexName")))
                indexField = FirstOf(def->Fields());
        if (field.empty()) field = indexField;
    }
    if (auto* table = dynamic_cast<TTable*>(dataSet)) {
        if (!TableUsesQuery(table) && table->IndexDefs()->Count() == 0) table->UpdateIndexDefs();
        if (table->IndexFieldCount() > 0) return table->IndexFields(0)->FieldName();
        return field.empty() ? FirstFieldName(table) : field;
    }
    if (field.empty()) field = indexField;
    return field.empty() ? FirstFieldName(dataSet) : field;
}

void TwwIncrementalSearch::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (Key == '\0') return;
    if (!FPictureMask.empty()) {
        PictureMaskKeyPress(this, FPictureMask, FPictureMaskAutoFill, Key);
        return;
    }
    if (!FPictureMaskFromField || !SearchedDataSet()) return;
    AnsiString mask;
    bool autoFill, gridFlag;
    GetFieldPictureMask(SearchedDataSet(), GetSearchFieldName(), false, mask, autoFill, gridFlag);
    if (!mask.empty()) PictureMaskKeyPress(this, mask, autoFill, Key);
}

// ---------------------------------------------------------------- key combo

ZELMOR_IMPLEMENT_COMPONENT(TwwKeyCombo, TwwDBCustomComboBox)

namespace {

constexpr const char* DescSuffix = " - Desc";
constexpr const char* NoIndexInformation = "DataSource must point to a dataset containing index information.";
constexpr const char* NoQueryTable = "TwwKeyCombo: DataSet cannot be a TwwTable using a Query.";
constexpr const char* NoVirtualIndexes =
    "TwwKeyCombo: Virtual DataSet does not have index information available.";

AnsiString FirstPart(const AnsiString& Fields) { return Fields.substr(0, Fields.find(';')); }

AnsiString ItemLabel(TField* Field) { return ReplaceChar(Field->DisplayLabel(), '~', ' '); }

void Warn(const char* Text) { MessageDlg(Text, mtWarning, {mbOK}, 0); }

}  // namespace

void TwwKeyDataLink::ActiveChanged() {
    if (Active()) FCombo->FillItems();
}

void TwwKeyDataLink::DataSetChanged() { FCombo->DataChanged(); }

TwwKeyCombo::TwwKeyCombo(TComponent* AOwner)
    : TwwDBCustomComboBox(AOwner), FKeyDataLink(std::make_unique<TwwKeyDataLink>(this)) {
    SetStyle(csDropDownList);
}

TwwKeyCombo::~TwwKeyCombo() { FKeyDataLink->SetDataSource(nullptr); }

void TwwKeyCombo::DescribeProperties(TPropertyTable& T) {
    using K = TwwKeyCombo;
    PublishEditProperties(T);
    T.Property("DataSource", &K::DataSource, &K::SetDataSource);
    T.Property("ShowAllIndexes", &K::ShowAllIndexes, &K::SetShowAllIndexes).Default(false);
    T.Property("PrimaryKeyName", &K::PrimaryKeyName, &K::SetPrimaryKeyName);
    T.Property("Style", &K::Style, &K::SetStyle).NoDefault();
    T.Property("DropDownCount", &K::DropDownCount, &K::SetDropDownCount).NoDefault();
    T.Property("ItemHeight", &K::ItemHeight, &K::SetItemHeight).NoDefault();
    T.Property("Sorted", &K::Sorted, &K::SetSorted).NoDefault();
    T.Property("ButtonStyle", &K::ButtonStyle, &K::SetButtonStyle).Default(cbsDownArrow);
    T.Property("ButtonWidth", &K::ButtonWidth, &K::SetButtonWidth).Default(0);
    T.Event("OnCloseUp", &K::OnCloseUp);
    T.Event("OnDrawItem", &K::OnDrawItem);
    T.Event("OnDropDown", &K::OnDropDown);
    T.Event("OnMeasureItem", &K::OnMeasureItem);
}

TDataSource* TwwKeyCombo::DataSource() const { return FKeyDataLink->DataSource(); }

TDataSet* TwwKeyCombo::KeyDataSet() const { return DataSource() ? DataSource()->DataSet() : nullptr; }

bool TwwKeyCombo::IsFieldModeDataSet(TDataSet* DataSet) {
    if (!DataSet) return false;
    if (::IsClassNamed(DataSet, "TClientDataSet")) return true;
    return GetCursorLocation(DataSet) == 1 &&
           (::IsClassNamed(DataSet, "TADOTable") || ::IsClassNamed(DataSet, "TADODataSet"));
}

void TwwKeyCombo::SetDataSource(TDataSource* Value) {
    TDataSet* ds = Value ? Value->DataSet() : nullptr;
    const bool accepted =
        !ds || ::IsClassNamed(ds, "TTable") || IsFieldModeDataSet(ds) || IsPublishedProp(ds, "IndexDefs");
    if (!accepted) {
        Warn(NoIndexInformation);
        return;
    }
    if (TDataSource* old = DataSource()) old->RemoveFreeNotification(this);
    FKeyDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    if (FKeyDataLink->Active()) FillItems();
}

void TwwKeyCombo::Notification(TComponent* AComponent, TOperation Operation) {
    TwwDBCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && FKeyDataLink && AComponent == FKeyDataLink->DataSource())
        FKeyDataLink->SetDataSource(nullptr);
}

void TwwKeyCombo::SetShowAllIndexes(bool Value) {
    FShowAllIndexes = Value;
    if (DataSource()) FillItems();
}

void TwwKeyCombo::SelectItem(int Index) {
    if (Index == ItemIndex()) return;
    FFilling = true;
    TwwFinally done([this] { FFilling = false; });
    SetItemIndex(Index);
}

void TwwKeyCombo::FillItems(TComponent* Grid) {
    TDataSet* ds = KeyDataSet();
    if (!ds) return;
    TStrings* selected = Grid ? dynamic_cast<TStrings*>(GetObjectProp(Grid, "Selected")) : nullptr;
    auto shown = [&](TField* Field) {
        int line = 0;
        return Grid ? (selected && FindSelectedLine(selected, Field->FieldName(), line)) : Field->Visible();
    };
    auto indexOfItem = [this](const AnsiString& Text, bool Last) {
        int found = -1;
        for (int i = 0; i < Items()->Count(); ++i)
            if (EqualsIgnoreCase(Items()->Strings(i), Text)) {
                found = i;
                if (!Last) break;
            }
        return found;
    };
    auto* table = dynamic_cast<TTable*>(ds);
    if (table && TableUsesQuery(table)) {
        Warn(NoQueryTable);
        return;
    }
    if (!table && IsFieldModeDataSet(ds)) {
        if (!FRefilling) {
            Items()->Clear();
            for (int i = 0; i < ds->FieldCount(); ++i) {
                TField* f = ds->Fields()->Fields(i);
                if (!IsSearchableFieldType(f->DataType()) || f->FieldKind() == fkLookup || f->Calculated())
                    continue;
                if (shown(f) || FShowAllIndexes) Items()->Add(ItemLabel(f));
            }
        }
        const AnsiString first = FirstPart(GetStrProp(ds, "IndexFieldNames"));
        TField* f = first.empty() ? nullptr : ds->FindField(first);
        SelectItem(f ? indexOfItem(f->DisplayLabel(), false) : -1);
        return;
    }
    auto* defs = table ? table->IndexDefs() : dynamic_cast<TIndexDefs*>(GetObjectProp(ds, "IndexDefs"));
    if (!defs) return;
    if (GetMasterSource(ds)) return;
    bool rebuild = !FRefilling;
    for (int i = 0; i < Items()->Count() && !rebuild; ++i)
        rebuild = FieldNameByDisplayLabel(ds, Items()->Strings(i)).empty();
    const AnsiString indexName = table ? table->IndexName() : GetStrProp(ds, "IndexName");
    const AnsiString indexFields = table ? table->IndexFieldNames() : GetStrProp(ds, "IndexFieldNames");
    if (rebuild) {
        FRefilling = false;
        Items()->Clear();
        if (table) table->UpdateIndexDefs();
        if (FShowAllIndexes)
            for (int i = 0; i < defs->Count(); ++i)
                Items()->Add(defs->Items(i)->Name().empty() ? PrimaryKeyName() : defs->Items(i)->Name());
    }
    if (FShowAllIndexes) {
        SelectItem(indexOfItem(indexName.empty() ? PrimaryKeyName() : indexName, false));
        return;
    }
    AnsiString currentLabel;
    bool currentDescending = false, haveCurrent = false;
    for (int i = 0; i < defs->Count(); ++i) {
        TIndexDef* def = defs->Items(i);
        const AnsiString first = FirstPart(def->Fields());
        if (!DataSetHasField(ds, first)) continue;
        TField* f = ds->FindField(first);
        if (!f || !shown(f) || f->DisplayLabel().empty()) continue;
        const bool descending = def->Options().Contains(ixDescending);
        const AnsiString text = ItemLabel(f) + (descending ? DescSuffix : "");
        const bool current = !indexFields.empty() ? EqualsIgnoreCase(indexFields, def->Fields())
                                                  : EqualsIgnoreCase(def->Name(), indexName);
        if (current && !haveCurrent) {
            haveCurrent = true;
            currentLabel = ItemLabel(f);
            currentDescending = descending;
        }
        if (!FRefilling && indexOfItem(text, false) < 0) Items()->Add(text);
    }
    SelectItem(haveCurrent ? indexOfItem(currentLabel + (currentDescending ? DescSuffix : ""), true) : -1);
}

void TwwKeyCombo::RefillItems() {
    FRefilling = true;
    TwwFinally done([this] { FRefilling = false; });
    FillItems();
}

void TwwKeyCombo::DataChanged() {
    if (FChanging) return;
    TDataSet* ds = KeyDataSet();
    if (HandleAllocated() && ds && ds->State() == dsBrowse) RefillItems();
}

bool TwwKeyCombo::ChangeTableOrder(TDataSet* DataSet) {
    auto* table = dynamic_cast<TTable*>(DataSet);
    if (table && TableUsesQuery(table)) {
        Warn(NoQueryTable);
        return false;
    }
    const AnsiString text = Text();
    if (FShowAllIndexes) {
        const AnsiString name = text == PrimaryKeyName() ? AnsiString() : text;
        if (table) table->SetIndexName(name);
        else SetStrProp(DataSet, "IndexName", name);
        return true;
    }
    auto* defs = table ? table->IndexDefs() : dynamic_cast<TIndexDefs*>(GetObjectProp(DataSet, "IndexDefs"));
    if (!defs) return true;
    if (table) table->UpdateIndexDefs();
    auto matches = [&](TIndexDef* Def) {
        const AnsiString first = FirstPart(Def->Fields());
        if (!DataSetHasField(DataSet, first)) return false;
        TField* f = DataSet->FindField(first);
        if (!f) return false;
        return ItemLabel(f) + (Def->Options().Contains(ixDescending) ? DescSuffix : "") == text;
    };
    TIndexDef* chosen = nullptr;
    for (int pass = 0; pass < 3 && !chosen; ++pass)
        for (int i = 0; i < defs->Count() && !chosen; ++i) {
            TIndexDef* def = defs->Items(i);
            const bool inPass = pass == 0   ? def->Options().Contains(ixCaseInsensitive)
                                : pass == 1 ? def->Fields() == FirstPart(def->Fields())
                                            : true;
            if (inPass && matches(def)) chosen = def;
        }
    if (!chosen) return true;
    FChanging = true;
    TwwFinally done([this] { FChanging = false; });
    if (table) SelectIndexDef(table, chosen);
    else SetStrProp(DataSet, "IndexName", chosen->Name());
    for (int i = 0; i < Items()->Count(); ++i)
        if (EqualsIgnoreCase(Items()->Strings(i), text)) {
            SelectItem(i);
            break;
        }
    return true;
}

void TwwKeyCombo::Change() {
    if (FFilling) return;
    TDataSet* ds = KeyDataSet();
    if (!ds || !ds->Active()) return;
    auto* table = dynamic_cast<TTable*>(ds);
    if (table || IsPublishedProp(ds, "IndexDefs")) {
        if (!ChangeTableOrder(ds)) return;
    } else if (IsFieldModeDataSet(ds)) {
        if (!Text().empty()) {
            FChanging = true;
            TwwFinally done([this] { FChanging = false; });
            SetStrProp(ds, "IndexFieldNames", FieldNameByDisplayLabel(ds, Text()));
        }
    } else {
        Warn(NoVirtualIndexes);
        return;
    }
    TwwDBCustomComboBox::Change();
}

void TwwKeyCombo::DropDown() {
    SetShowMatchText(true);
    TwwDBCustomComboBox::DropDown();
}

void TwwKeyCombo::CloseUp(bool Accept) {
    TwwDBCustomComboBox::CloseUp(Accept);
    SetShowMatchText(false);
    if (Style() == csDropDownList && HandleAllocated()) HideCaret(Handle());
    if (Assigned(OnCloseUp)) OnCloseUp(this, Accept);
}
