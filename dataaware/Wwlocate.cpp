#include "dataaware/Wwlocate.h"

#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/RichEdit.h"

namespace {

bool IsFloatType(TFieldType Type) { return Type == ftFloat || Type == ftCurrency || Type == ftBCD; }

// The text of a field of an engine record, by the field's type.
AnsiString RawFieldText(const TDbfTable& Table, const char* Record, int Index, TFieldType Type) {
    if (Table.IsBlank(Record, Index) && Type != ftString) return {};
    switch (Type) {
    case ftString: return Table.GetText(Record, Index);
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc:
    case ftLargeint: return IntToStr(static_cast<int64_t>(Table.GetNumber(Record, Index)));
    case ftBoolean: return Table.GetBoolean(Record, Index) ? "True" : "False";
    case ftFloat:
    case ftCurrency:
    case ftBCD: return FloatToStr(Table.GetNumber(Record, Index));
    case ftDate:
    case ftDateTime: return DateToStr(Table.GetDate(Record, Index));
    case ftTime: return TimeToStr(Table.GetNumber(Record, Index));
    default: return {};
    }
}

// An exact search of a number field compares numbers: "1,5" finds 1,50.
bool NumberMatches(const AnsiString& Value, const AnsiString& SearchText) {
    if (!IsFloatText(SearchText) || Value.empty()) return false;
    long double wanted, held;
    return TryStrToFloat(SearchText, wanted) && TryStrToFloat(Value, held) && wanted == held;
}

bool ValueMatches(TField* Field, const AnsiString& Value, const AnsiString& SearchText, int MatchType,
                  bool CaseSensitive) {
    if (MatchType == mtExactMatch && IsFloatType(Field->DataType()) && !SearchText.empty())
        return NumberMatches(Value, SearchText);
    return TextMatches(Value, SearchText, MatchType, CaseSensitive);
}

bool IndexIsCaseSensitive(TTable* Table) {
    TIndexDef* def = Table->IndexDefs()->FindDef(Table->IndexName());
    return def && !def->Options().Contains(ixCaseInsensitive);
}

AnsiString FirstIndexField(TTable* Table) {
    AnsiString fields = Table->IndexFieldNames().empty() ? GetIndexFieldsOfIndex(Table, Table->IndexName())
                                                         : Table->IndexFieldNames();
    int position = 1;
    return NextToken(fields, ";", position);
}

// The key-search road, for a field that leads the table's current index.
// Gives 1 found, 0 not found, -1 when the general search must run (Ordered:
// it runs in index order and stops at the first record that does not match).
int SearchByKey(TTable* Table, TField* Field, const AnsiString& Search, int MatchType, bool CaseSensitive,
                bool FromFirst, bool& Ordered) {
    if (TableUsesQuery(Table) || Field->IsBlob()) return -1;
    RefreshIndexDefs(Table);
    const AnsiString first = FirstIndexField(Table);
    if (first.empty() || !Table->FindField(first) || !SameText(first, Field->FieldName())) return -1;
    const bool isString = Field->DataType() == ftString;
    if (isString && IndexIsCaseSensitive(Table) != CaseSensitive) return -1;
    auto folded = [CaseSensitive](const AnsiString& Text) {
        return CaseSensitive ? Text : AnsiUpperCase(Text);
    };
    const AnsiString current = folded(Field->AsString());
    if (MatchType == mtExactMatch && Field->DataType() != ftBoolean && (FromFirst || current != Search)) {
        if (FieldCategory(Field->DataType()) == TFieldCategory::Number && !IsFloatText(Search)) return 0;
        return Table->FindKey({KeyValueForField(Field, Search)}) ? 1 : 0;
    }
    if (MatchType != mtPartialMatchStart || !isString) return -1;
    Ordered = true;
    if (!FromFirst && current.compare(0, Search.size(), Search) == 0) return -1;
    if (!FromFirst && Search < current) return 0;
    Table->FindNearest({Search});
    return folded(Field->AsString()).compare(0, Search.size(), Search) == 0 ? 1 : 0;
}

}  // namespace

bool TextMatches(const AnsiString& Value, const AnsiString& SearchText, int MatchType, bool CaseSensitive) {
    const AnsiString value = CaseSensitive ? Value : AnsiUpperCase(Value);
    switch (MatchType) {
    case mtExactMatch: return value == SearchText;
    case mtPartialMatchStart: return value.compare(0, SearchText.size(), SearchText) == 0;
    case mtPartialMatchAny: return value.find(SearchText) != AnsiString::npos;
    default: return false;
    }
}

bool MemoMatches(TField* Field, const AnsiString& SearchText, TCustomRichEdit* RichEdit, bool CaseSensitive,
                 int MatchType) {
    AnsiString text = Field->AsString();
    if (RichEdit) {
        RichEdit->SetPlainText(false);
        TStringStream stream(text);
        RichEdit->Lines()->LoadFromStream(stream);
        text = RichEdit->Text();
    }
    return TextMatches(text, SearchText, MatchType, CaseSensitive);
}

bool FindFieldValue(bool FromFirst, TDataSet* DataSet, const AnsiString& FieldName,
                    const AnsiString& SearchText, int MatchType, bool CaseSensitive, bool UseLocate) {
    DataSet->CheckBrowseMode();
    TField* field = DataSet->FindField(FieldName);
    if (!field) {
        MessageDlg("Field " + FieldName + " not found.", mtWarning, {mbOK}, 0);
        return false;
    }
    DataSet->UpdateCursorPos();
    const AnsiString search = CaseSensitive ? SearchText : AnsiUpperCase(SearchText);
    const bool isMemo = field->IsBlob();
    bool ordered = false;
    if (auto* table = dynamic_cast<TTable*>(DataSet)) {
        int byKey = SearchByKey(table, field, search, MatchType, CaseSensitive, FromFirst, ordered);
        if (byKey >= 0) return byKey == 1;
    }

    TwwHourGlass hourGlass;
    TBookmark start = DataSet->GetBookmark();
    bool found = false;
    std::unique_ptr<TControlsDisabled> disabled;
    TCustomRichEdit* richEdit = nullptr;
    TwwFinally done([&] {
        disabled.reset();
        if (!found && !start.empty() && DataSet->BookmarkValid(start)) DataSet->GotoBookmark(start);
        if (richEdit) richEdit->Free();
    });
    auto matches = [&](const AnsiString& Value) {
        return ValueMatches(field, Value, search, MatchType, CaseSensitive);
    };
    // Each memo that holds rich text is read as its plain text, through one
    // hidden rich edit made on the first such record.
    auto memoMatches = [&] {
        if (IsRichTextField(field, true) && !richEdit) {
            TComponent* owner = Screen ? static_cast<TComponent*>(Screen->ActiveForm()) : nullptr;
            richEdit = NewComponent<TRichEdit>(owner);
            richEdit->SetVisible(false);
        }
        return MemoMatches(field, search, IsRichTextField(field, true) ? richEdit : nullptr, CaseSensitive,
                           MatchType);
    };

    if (FromFirst) {
        DataSet->First();
        if (DataSet->IsEmpty()) return false;
        found = isMemo ? memoMatches() : matches(field->AsString());
        if (found) return true;
    }
    if (isMemo) {
        disabled = std::make_unique<TControlsDisabled>(DataSet);
        for (DataSet->Next(); !DataSet->Eof(); DataSet->Next())
            if ((found = memoMatches())) return true;
        return false;
    }
    const bool calculated = field->FieldKind() != fkData;
    if (FromFirst && (MatchType == mtExactMatch || MatchType == mtPartialMatchStart) && !calculated &&
        (UseLocate ||
         (DefaultIntl->ADO()->UseLocateWhenFindingValue() && IsClassNamed(DataSet, "TCustomADODataSet")))) {
        TLocateOptions options;
        if (!CaseSensitive) options.Include(loCaseInsensitive);
        if (MatchType == mtPartialMatchStart) options.Include(loPartialKey);
        found = DataSet->Locate(FieldName, SearchText, options);
        return found;
    }
    if (IsCalcLookupOrNonBDEField(field)) {
        disabled = std::make_unique<TControlsDisabled>(DataSet);
        for (DataSet->Next(); !DataSet->Eof(); DataSet->Next()) {
            if ((found = matches(field->AsString()))) return true;
            if (ordered) return false;
        }
        return false;
    }
    // Straight from the engine: one field of each record, nothing scrolls
    // and no control hears of it until the hit.
    std::unique_ptr<TDbfCursor> cursor = DataSet->CloneCursor();
    if (!cursor) return false;
    const TDbfTable& table = cursor->Table();
    const int index = field->FieldNo() - 1;
    if (index < 0) return false;
    if (!cursor->OnRecord() && !cursor->First()) return false;
    while (cursor->Next()) {
        if (matches(RawFieldText(table, cursor->Record(), index, field->DataType()))) {
            found = true;
            DataSet->GotoBookmark(TDataSet::BookmarkOfRecNo(cursor->RecNo()));
            return true;
        }
        if (ordered) return false;
    }
    return false;
}
