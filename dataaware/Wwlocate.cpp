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
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Buttons.h"
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

// ---------------------------------------------------------------------------
// The locate dialog
// ---------------------------------------------------------------------------

ZELMOR_IMPLEMENT_ENUM(TwwLocateMatchType, "mtExactMatch", "mtPartialMatchStart", "mtPartialMatchAny")
ZELMOR_IMPLEMENT_ENUM(TwwFieldSortType, "fsSortByFieldNo", "fsSortByFieldName")
ZELMOR_IMPLEMENT_ENUM(TwwDefaultButtonType, "dbFindFirst", "dbFindNext")
ZELMOR_IMPLEMENT_ENUM(TwwFieldSelection, "fsAllFields", "fsVisibleFields")
ZELMOR_IMPLEMENT_ENUM(TwwLocateDlgOption, "ldoCaseSensitiveBelow", "ldoCloseOnMatch", "ldoPreserveSearchText")
ZELMOR_IMPLEMENT_COMPONENT(TwwLocateDialog, TwwCustomDialog)
ZELMOR_IMPLEMENT_CLASS(TwwLocateDlg, TForm)

AnsiString LocateFieldNameOf(TDataSet* DataSet, const AnsiString& DisplayText) {
    if (!DataSet) return {};
    AnsiString Calculated;
    for (int I = 0; I < DataSet->FieldCount(); ++I) {
        TField* F = DataSet->Fields()->Fields(I);
        if (ReplaceChar(F->DisplayLabel(), '~', ' ') != DisplayText) continue;
        if (!IsCalcOrLookupField(F)) return F->FieldName();
        if (Calculated.empty()) Calculated = F->FieldName();
    }
    return Calculated;
}

TwwLocateDialog::TwwLocateDialog(TComponent* AOwner)
    : TwwCustomDialog(AOwner), FDataLink(std::make_unique<TDataLink>()) {}

TwwLocateDialog::~TwwLocateDialog() = default;

void TwwLocateDialog::DescribeProperties(TPropertyTable& T) {
    using C = TwwLocateDialog;
    T.Property("Caption", &C::Caption, &C::SetCaption);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("SearchField", &C::SearchField, &C::SetSearchField);
    T.Property("MatchType", &C::MatchType, &C::SetMatchType);
    T.Property("CaseSensitive", &C::CaseSensitive, &C::SetCaseSensitive);
    T.Property("SortFields", &C::SortFields, &C::SetSortFields);
    T.Property("DefaultButton", &C::DefaultButton, &C::SetDefaultButton);
    T.Property("FieldSelection", &C::FieldSelection, &C::SetFieldSelection);
    T.Property("ShowMessages", &C::ShowMessages, &C::SetShowMessages);
    T.Property("UseLocateMethod", &C::UseLocateMethod, &C::SetUseLocateMethod);
    T.Property("Options", &C::Options, &C::SetOptions).Default(TwwLocateDlgOptions{ldoCloseOnMatch});
    T.Event("OnInitDialog", &C::OnInitDialog);
    T.Event("OnSelectField", &C::OnSelectField);
}

void TwwLocateDialog::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TwwLocateDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomDialog::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == DataSource()) SetDataSource(nullptr);
}

TDataSet* TwwLocateDialog::GetPrimaryDataSet() { return DataSource() ? DataSource()->DataSet() : nullptr; }

void TwwLocateDialog::DoInitDialog() {
    if (Assigned(OnInitDialog)) OnInitDialog(FForm);
}

bool TwwLocateDialog::Execute() {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet || !DataSet->Active()) {
        // Nothing was searched: the caller hears false, as from the other dialogs.
        MessageDlg("DataSource does not reference an active DataSet", mtError, {mbOK}, 0);
        return false;
    }
    auto* F = TForm::CreateNew<TwwLocateDlg>(Application);
    FForm = F;
    bool Ok = false;
    try {
        F->DataSet = DataSet;
        F->Dialog = this;
        F->FieldNameComboBox->SetSorted(FSortFields != fsSortByFieldNo);
        TStrings* Items = F->FieldNameComboBox->Items();
        for (int I = 0; I < DataSet->FieldCount(); ++I) {
            TField* Field = DataSet->Fields()->Fields(I);
            if (!IsSearchableFieldType(Field->DataType())) continue;
            if (FFieldSelection == fsVisibleFields && !Field->Visible()) continue;
            Items->Add(ReplaceChar(Field->DisplayLabel(), '~', ' '));
        }
        (FDefaultButton == dbFindNext ? F->NextButton : F->FirstButton)->SetDefault(true);
        TField* Searched = FSearchField.empty() ? nullptr : DataSet->FindField(FSearchField);
        if (Searched) {
            F->SearchValue->SetText(FSearchText);
            F->FieldNameComboBox->SetItemIndex(
                F->FieldNameComboBox->Items()->IndexOf(ReplaceChar(Searched->DisplayLabel(), '~', ' ')));
        } else {
            F->SearchValue->SetText("");
            F->FieldNameComboBox->SetItemIndex(-1);
        }
        F->CaseSensitiveCheckBox->SetChecked(FCaseSensitive);
        F->ExactMatchBtn->SetChecked(FMatchType == mtExactMatch);
        F->PartialMatchStartBtn->SetChecked(FMatchType == mtPartialMatchStart);
        F->PartialMatchAnyBtn->SetChecked(FMatchType == mtPartialMatchAny);
        F->SetCaption(FCaption);
        Ok = F->ShowModal() == mrOk;
        FMatchType = F->MatchType();
        FCaseSensitive = F->CaseSensitiveCheckBox->Checked();
        FSearchText = F->SearchValue->Text();
        FSearchField = LocateFieldNameOf(DataSet, F->FieldNameComboBox->Text());
    } catch (...) {
        FForm = nullptr;
        F->Free();
        throw;
    }
    FForm = nullptr;
    F->Free();
    return Ok;
}

TwwLocateDlg::TwwLocateDlg(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetName("wwLocateDlg");
    SetCaption("Locate Value");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    SetClientWidth(212);
    SetClientHeight(238);
    auto Group = [this](const char* Name, const char* Caption, int Top, int Height) {
        auto* G = NewComponent<TGroupBox>(this);
        G->SetName(Name);
        G->SetCaption(Caption);
        G->SetBounds(8, Top, 196, Height);
        G->SetParent(this);
        return G;
    };
    FieldValueGroup = Group("FieldValueGroup", "Field &Value", 4, 45);
    SearchValue = NewComponent<TEdit>(this);
    SearchValue->SetName("SearchValue");
    SearchValue->SetBounds(8, 16, 180, 21);
    SearchValue->SetParent(FieldValueGroup);
    SearchTypeGroup = Group("SearchTypeGroup", "&Search Type", 52, 104);
    CaseSensitiveCheckBox = NewComponent<TCheckBox>(this);
    CaseSensitiveCheckBox->SetName("CaseSensitiveCheckBox");
    CaseSensitiveCheckBox->SetCaption("&Case-sensitive");
    CaseSensitiveCheckBox->SetBounds(8, 16, 180, 17);
    CaseSensitiveCheckBox->SetParent(SearchTypeGroup);
    Panel1 = NewComponent<TPanel>(this);
    Panel1->SetName("Panel1");
    Panel1->SetCaption("");
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetBounds(8, 38, 180, 2);
    Panel1->SetParent(SearchTypeGroup);
    auto Radio = [this](const char* Name, const char* Caption, int Top) {
        auto* R = NewComponent<TRadioButton>(this);
        R->SetName(Name);
        R->SetCaption(Caption);
        R->SetBounds(8, Top, 180, 17);
        R->SetParent(SearchTypeGroup);
        return R;
    };
    ExactMatchBtn = Radio("ExactMatchBtn", "&Exact Match", 44);
    PartialMatchStartBtn = Radio("PartialMatchStartBtn", "&Partial Match at Beginning", 62);
    PartialMatchAnyBtn = Radio("PartialMatchAnyBtn", "Partial Match &Anywhere", 80);
    PartialMatchStartBtn->SetChecked(true);
    FieldsGroup = Group("FieldsGroup", "&Fields", 160, 45);
    FieldNameComboBox = NewComponent<TComboBox>(this);
    FieldNameComboBox->SetName("FieldNameComboBox");
    FieldNameComboBox->SetStyle(csDropDownList);
    FieldNameComboBox->SetSorted(true);
    FieldNameComboBox->SetBounds(8, 16, 180, 21);
    FieldNameComboBox->SetParent(FieldsGroup);
    FieldNameComboBox->OnChange = [this](TObject* S) { FieldNameComboBoxChange(S); };
    FieldNameComboBox->OnEnter = [this](TObject*) { SetDefaultFor(true); };
    FieldNameComboBox->OnExit = [this](TObject*) { SetDefaultFor(false); };
    FieldNameComboBox->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_RETURN && FieldNameComboBox->DroppedDown()) {
            FieldNameComboBox->SetDroppedDown(false);
            SearchValue->SetFocus();
            Key = 0;
        }
    };
    auto Button = [this](const char* Name, const char* Caption, int Left) {
        auto* B = NewComponent<TButton>(this);
        B->SetName(Name);
        B->SetCaption(Caption);
        B->SetBounds(Left, 208, 57, 27);
        B->SetParent(this);
        return B;
    };
    FirstButton = Button("FirstButton", "Fi&rst", 8);
    FirstButton->OnClick = [this](TObject* S) { FirstButtonClick(S); };
    NextButton = Button("NextButton", "&Next", 69);
    NextButton->OnClick = [this](TObject* S) { NextButtonClick(S); };
    CancelBtn = CreateDialogButton(this, bkCancel);
    CancelBtn->SetTabOrder(5);
    const int W = MulDiv(72, Screen->PixelsPerInch(), 96), H = MulDiv(27, Screen->PixelsPerInch(), 96);
    CancelBtn->SetBounds(FieldsGroup->Left() + FieldsGroup->Width() - W - 1, NextButton->Top(), W, H);
    CancelBtn->SetVisible(true);
    SetActiveControl(SearchValue);
    OnShow = [this](TObject* S) { FormShow(S); };
}

void TwwLocateDlg::FormShow(TObject*) {
    TwwLocateDialogIntl* T = DefaultIntl->LocateDialog();
    const bool CloseOnMatch = Dialog && Dialog->Options().Contains(ldoCloseOnMatch);
    Font()->SetStyle(DefaultIntl->DialogFontStyle());
    FieldValueGroup->SetCaption(T->FieldValueLabel());
    SearchTypeGroup->SetCaption(T->SearchTypeLabel());
    CaseSensitiveCheckBox->SetCaption(T->CaseSensitiveLabel());
    ExactMatchBtn->SetCaption(T->MatchExactLabel());
    PartialMatchStartBtn->SetCaption(T->MatchStartLabel());
    PartialMatchAnyBtn->SetCaption(T->MatchAnyLabel());
    FieldsGroup->SetCaption(T->FieldsLabel());
    FirstButton->SetCaption(T->BtnFirst());
    NextButton->SetCaption(T->BtnNext());
    CancelBtn->SetCaption(CloseOnMatch ? T->BtnCancel() : T->BtnClose());
    SearchValue->SetHint(T->FieldValueHint());
    CaseSensitiveCheckBox->SetHint(T->CaseSensitiveHint());
    ExactMatchBtn->SetHint(T->MatchExactHint());
    PartialMatchStartBtn->SetHint(T->MatchStartHint());
    PartialMatchAnyBtn->SetHint(T->MatchAnyHint());
    FirstButton->SetHint(T->BtnFirstHint());
    NextButton->SetHint(T->BtnNextHint());
    FieldNameComboBox->SetHint(T->FieldNameHint());
    if (!CloseOnMatch)
        if (auto* Glyph = dynamic_cast<TBitBtn*>(CancelBtn)) {
            Glyph->Glyph()->Assign(nullptr);
            Glyph->SetMargin(-1);
        }
    if (Dialog && Dialog->Options().Contains(ldoCaseSensitiveBelow)) {
        ExactMatchBtn->SetTop(16);
        PartialMatchStartBtn->SetTop(34);
        PartialMatchAnyBtn->SetTop(52);
        Panel1->SetTop(72);
        CaseSensitiveCheckBox->SetTop(75);
    }
    if (Dialog) Dialog->DoInitDialog();
}

TwwLocateMatchType TwwLocateDlg::MatchType() const {
    if (ExactMatchBtn->Checked()) return mtExactMatch;
    if (PartialMatchAnyBtn->Checked()) return mtPartialMatchAny;
    return mtPartialMatchStart;
}

bool TwwLocateDlg::FindMatch(bool FromFirst) {
    AnsiString FieldName = LocateFieldNameOf(DataSet, FieldNameComboBox->Text());
    bool Found = !FieldName.empty() &&
                 FindFieldValue(FromFirst, DataSet, FieldName, SearchValue->Text(), MatchType(),
                                CaseSensitiveCheckBox->Checked(), Dialog && Dialog->UseLocateMethod());
    if (!Found) {
        TwwUserMessagesIntl* M = DefaultIntl->UserMessages();
        MessageDlg(FromFirst ? M->LocateNoMatches() : M->LocateNoMoreMatches(), mtInformation, {mbOK}, 0);
    } else if (Dialog && Dialog->Options().Contains(ldoCloseOnMatch)) {
        SetModalResult(mrOk);
    }
    return Found;
}

void TwwLocateDlg::FirstButtonClick(TObject*) { FindMatch(true); }

void TwwLocateDlg::NextButtonClick(TObject*) { FindMatch(false); }

void TwwLocateDlg::FieldNameComboBoxChange(TObject*) {
    if (!Dialog || !Dialog->Options().Contains(ldoPreserveSearchText)) SearchValue->SetText("");
    if (!FieldNameComboBox->DroppedDown() && SearchValue->CanFocus()) SearchValue->SetFocus();
    if (Dialog && Assigned(Dialog->OnSelectField)) Dialog->OnSelectField(this, FieldNameComboBox->Text());
}

void TwwLocateDlg::SetDefaultFor(bool ListFocused) {
    // Enter in the field list does not search.
    const bool NextIsDefault = !Dialog || Dialog->DefaultButton() == dbFindNext;
    NextButton->SetDefault(NextIsDefault && !ListFocused);
    FirstButton->SetDefault(!NextIsDefault && !ListFocused);
}
