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

bool IsSQLBased(TDataSet* DataSet) {
    auto* data = dynamic_cast<TDBDataSet*>(DataSet);
    return data && data->Database() && data->Database()->IsSQLBased();
}

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
    else if (dataSet->Active() && IsEngineDataSet(dataSet) && !IsSQLBased(dataSet) &&
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
