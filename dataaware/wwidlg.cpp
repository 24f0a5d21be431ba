#include "dataaware/wwidlg.h"

#include <algorithm>

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/Database.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/OsInfo.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_ENUM(TwwDBLookupDlgOption, "opShowOKCancel", "opShowSearchBy", "opGroupControls",
                      "opFixFirstColumn", "opShowStatusBar", "opDisableReorderColumns")
ZELMOR_IMPLEMENT_CLASS(TwwTempKeyCombo, TwwKeyCombo)
ZELMOR_IMPLEMENT_COMPONENT(TwwLookupDlg, TForm)
ZELMOR_IMPLEMENT_CLASS(TwwCustomLookupDialog, TwwCustomDialog)
ZELMOR_IMPLEMENT_COMPONENT(TwwLookupDialog, TwwCustomLookupDialog)
ZELMOR_IMPLEMENT_COMPONENT(TwwSearchDialog, TwwCustomLookupDialog)

namespace {

bool IsTableOrClientDataSet(TDataSet* DataSet) {
    return ::IsClassNamed(DataSet, "TTable") || ::IsClassNamed(DataSet, "TClientDataSet");
}

void Warn(const AnsiString& Text) { MessageDlg(Text, mtWarning, {mbOK}, 0); }

// The fields of a ";"-separated list, in order.
std::vector<AnsiString> SplitFields(const AnsiString& Fields) {
    std::vector<AnsiString> names;
    size_t start = 0;
    while (start <= Fields.size()) {
        const size_t end = std::min(Fields.find(';', start), Fields.size());
        AnsiString name = Trim(Fields.substr(start, end - start));
        if (!name.empty()) names.push_back(name);
        start = end + 1;
    }
    return names;
}

}  // namespace

// ---------------------------------------------------------------- index picker

void TwwTempKeyCombo::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_DOWN && !Shift.Contains(ssAlt) && !IsDroppedDown()) {
        SetFocus();
        SetDroppedDown(true);
        Key = 0;
        return;
    }
    TwwKeyCombo::KeyDown(Key, Shift);
}

void TwwTempKeyCombo::Change() {
    TwwKeyCombo::Change();
    if (Form) Form->wwKeyCombo1Change(this);
}

// ---------------------------------------------------------------- the form

TwwLookupDlg::TwwLookupDlg(TComponent* AOwner) : TForm(AOwner) {}

void TwwLookupDlg::AfterConstruction() {
    TForm::AfterConstruction();
    OKBtn = CreateDialogButton(this, bkOK);
    OKBtn->SetName("OKBtn");
    OKBtn->SetDefault(true);
    OKBtn->SetTabOrder(4);
    OKBtn->SetTop(600);
    OKBtn->Show();
    CancelBtn = CreateDialogButton(this, bkCancel);
    CancelBtn->SetName("CancelBtn");
    CancelBtn->SetTabOrder(5);
    CancelBtn->SetTop(600);
    CancelBtn->Show();
    wwKeyCombo1 = NewComponent<TwwTempKeyCombo>(this);
    wwKeyCombo1->SetName("wwKeyCombo1");
    wwKeyCombo1->Form = this;
    wwKeyCombo1->SetVisible(false);
    wwKeyCombo1->SetParent(this);
    wwKeyCombo1->SetShowHint(true);
    wwKeyCombo1->OnEnter = [this](TObject* S) { wwKeyCombo1Enter(S); };
    wwKeyCombo1->SetDataSource(DataSource1);
    SortByLabel->SetFocusControl(wwKeyCombo1);
}

void TwwLookupDlg::DescribeProperties(TPropertyTable& T) {
    using F = TwwLookupDlg;
    T.Field("SearchCharacterLabel", &F::SearchCharacterLabel);
    T.Field("SortByLabel", &F::SortByLabel);
    T.Field("wwDBGrid1", &F::wwDBGrid1);
    T.Field("wwIncrementalSearch1", &F::wwIncrementalSearch1);
    T.Field("StatusHeader", &F::StatusHeader);
    T.Field("UserButtonPanel", &F::UserButtonPanel);
    T.Field("UserButton1", &F::UserButton1);
    T.Field("UserButton2", &F::UserButton2);
    T.Field("DataSource1", &F::DataSource1);
    T.Handler("wwKeyCombo1Change", &F::wwKeyCombo1Change);
    T.Handler("FormKeyDown", &F::FormKeyDown);
    T.Handler("FormKeyUp", &F::FormKeyUp);
    T.Handler("FormCloseQuery", &F::FormCloseQuery);
    T.Handler("wwKeyCombo1Enter", &F::wwKeyCombo1Enter);
    T.Handler("wwDBGrid1DblClick", &F::wwDBGrid1DblClick);
    T.Handler("wwDBGrid1MouseDown", &F::wwDBGrid1MouseDown);
    T.Handler("wwDBGrid1ColumnMoved", &F::wwDBGrid1ColumnMoved);
    T.Handler("DataSource1DataChange", &F::DataSource1DataChange);
    T.Handler("UserButton1Click", &F::UserButton1Click);
    T.Handler("UserButton2Click", &F::UserButton2Click);
}

bool TwwLookupDlg::SearchesByField() { return wwKeyCombo1->IsFieldModeDataSet(DataSet); }

bool TwwLookupDlg::HasIndexInformation() {
    return IsTableOrClientDataSet(DataSet) || IsPublishedProp(DataSet, "IndexDefs") || SearchesByField();
}

void TwwLookupDlg::LimitToScreen() {
    const int widest = Screen->Width() - 40, highest = Screen->Height() - 200;
    MaxWidth = MaxWidth == 0 ? widest : std::min(MaxWidth, widest);
    MaxHeight = MaxHeight == 0 ? highest : std::min(MaxHeight, highest);
}

void TwwLookupDlg::DoShow() {
    FShowingInProgress = true;
    struct TLower {
        bool& Flag;
        ~TLower() { Flag = false; }
    } lower{FShowingInProgress};
    if (DataSet && !HasIndexInformation()) Options.Exclude(opShowSearchBy);

    LimitToScreen();
    TRect work;
    GetWorkArea(work);
    const auto centredTop = [&] { return (work.Top + work.Bottom - (MaxHeight + 200)) / 2; };
    const auto centredLeft = [&] { return (work.Left + work.Right - (MaxWidth + 40)) / 2; };
    SetTop(std::max(0, centredTop()));
    SetLeft(centredLeft());

    if (::IsClassNamed(OwnerComponent, "TwwDBLookupComboDlg"))
        wwIncrementalSearch1->SetSearchDelay(
            static_cast<int>(GetOrdPropByName(OwnerComponent, "SearchDelay")));
    wwIncrementalSearch1->OnPerformCustomSearch = GetOnPerformCustomSearchEvent(OwnerComponent);

    FExplicitLeft = -1;
    if (Assigned(OnInitDialog) && !FActivated) {
        const int leftBefore = Left(), topBefore = Top();
        const int maxWidthBefore = MaxWidth, maxHeightBefore = MaxHeight;
        OnInitDialog(this);
        if (MaxWidth != maxWidthBefore && Left() == leftBefore) SetLeft(centredLeft());
        if (MaxHeight != maxHeightBefore && Top() == topBefore) SetTop(centredTop());
        if (Left() != leftBefore) FExplicitLeft = Left();
    }

    if (!Options.Contains(opShowSearchBy)) wwKeyCombo1->SetDataSource(nullptr);
    DataSource1->SetDataSet(DataSet);
    ApplyIntlTexts();
    ApplyIndexOrder();
    wwIncrementalSearch1->SetPictureMaskFromField(PictureMaskFromField);
    ArrangeControls(false);
    if (Options.Contains(opShowSearchBy)) wwKeyCombo1->FillItems(wwDBGrid1);
    TForm::DoShow();
}

void TwwLookupDlg::ApplyIntlTexts() {
    TwwSearchDialogIntl* texts = DefaultIntl->SearchDialog();
    Font()->SetStyle(DefaultIntl->DialogFontStyle());
    SearchCharacterLabel->SetCaption(texts->SearchCharLabel());
    SortByLabel->SetCaption(texts->SearchByLabel());
    wwIncrementalSearch1->SetHint(texts->SearchCharHint());
    wwKeyCombo1->SetHint(texts->SearchByHint());
}

void TwwLookupDlg::Activate() {
    if (!FActivated) {
        if (wwIncrementalSearch1->Visible() && wwIncrementalSearch1->CanFocus())
            wwIncrementalSearch1->SetFocus();
        UpdateStatus();
        FActivated = true;
        if (!InitialSearchText.empty()) wwIncrementalSearch1->SetText(InitialSearchText);
        if (!wwIncrementalSearch1->Text().empty()) {
            if (wwIncrementalSearch1->ShowMatchText()) wwIncrementalSearch1->Search();
            else wwIncrementalSearch1->SetSelStart(static_cast<int>(wwIncrementalSearch1->Text().size()));
        }
    }
    TForm::Activate();
}

// The first change of the showing state makes a new window and lets that one
// show: the window is made again before anything (the modal loop, the focus,
// the placement of DoShow) has seen the first one.
void TwwLookupDlg::CMShowingChanged(TMessage& Message) {
    if (IsWindowsNT() && !FWindowRecreated) {
        FWindowRecreated = true;
        RecreateWnd();
        return;
    }
    TForm::CMShowingChanged(Message);
}

void TwwLookupDlg::UseFirstColumnAsSearchField() {
    auto* table = dynamic_cast<TTable*>(DataSet);
    if (wwDBGrid1->UseTFields() || (table && table->IndexFieldCount() > 0)) return;
    if (wwDBGrid1->ColumnCount() == 0) return;
    wwIncrementalSearch1->SetSearchField(wwDBGrid1->Columns(0)->FieldName());
}

void TwwLookupDlg::ApplyIndexOrder() {
    UseFirstColumnAsSearchField();
    if (!DataSet || !HasIndexInformation()) return;
    wwIncrementalSearch1->SetSearchField("");
    std::vector<AnsiString> ordering;
    auto* table = dynamic_cast<TTable*>(DataSet);
    if (table) {
        for (int i = 0; i < table->IndexFieldCount(); ++i)
            ordering.push_back(table->IndexFields(i)->FieldName());
    } else if (::IsClassNamed(DataSet, "TClientDataSet") || !IsPublishedProp(DataSet, "IndexDefs") ||
               SearchesByField()) {
        AnsiString name = FieldNameByDisplayLabel(DataSet, wwKeyCombo1->Text());
        if (!name.empty()) ordering.push_back(name);
    } else if (auto* defs = dynamic_cast<TIndexDefs*>(GetObjectProp(DataSet, "IndexDefs"))) {
        if (TIndexDef* def = defs->FindDef(GetStrProp(DataSet, "IndexName")))
            for (const AnsiString& name : SplitFields(def->Fields()))
                if (DataSet->FindField(name)) ordering.push_back(name);
    }

    TControlsDisabled disabled(DataSet);
    const bool reorder = !Options.Contains(opDisableReorderColumns);
    if (wwDBGrid1->UseTFields()) {
        if (!ordering.empty()) ApplySelectedToFields(DataSet, wwDBGrid1->Selected());
        int position = 0;
        for (const AnsiString& name : ordering) {
            TField* field = DataSet->FindField(name);
            if (!field || !field->Visible()) continue;
            if (reorder) field->SetIndex(position);
            if (position == 0) wwIncrementalSearch1->SetSearchField(name);
            ++position;
        }
        return;
    }
    TStrings* lines = wwDBGrid1->Selected();
    int position = 0;
    for (const AnsiString& name : ordering) {
        int index = -1;
        if (!FindSelectedLine(lines, name, index)) continue;
        if (reorder) lines->Move(index, position);
        if (position == 0) wwIncrementalSearch1->SetSearchField(name);
        ++position;
    }
    wwDBGrid1->ApplySelected();
}

void TwwLookupDlg::ArrangeControls(bool ColumnsOnly) {
    const int frame = 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) + 9;
    int needed = GetSystemMetrics(SM_CXHTHUMB) + 4;
    for (int c = 0; c < wwDBGrid1->ColCount(); ++c)
        needed += wwDBGrid1->ColWidths(c) + wwDBGrid1->GridLineWidth();
    const bool button1 = !UserButton1->Caption().empty(), button2 = !UserButton2->Caption().empty();

    int minimum;
    if (Options.Contains(opShowOKCancel)) {
        minimum = OKBtn->Width() + CancelBtn->Width() + 18;
        if (button1) minimum += UserButton1->Width() + 30;
        if (button2) minimum += UserButton2->Width() + 30;
    } else {
        minimum = SortByLabel->Left() + SortByLabel->Width() + 3;
        if (button1 && button2) minimum = std::max(minimum, UserButton1->Width() + UserButton2->Width() + 35);
        else if (button1 || button2) minimum = std::max(minimum, UserButton1->Width() + 35);
    }
    if (Options.Contains(opShowStatusBar)) minimum = std::max(minimum, StatusHeader->Width());

    if (needed < minimum && wwDBGrid1->ColCount() > 0) {
        const int last = wwDBGrid1->ColCount() - 1, before = wwDBGrid1->ColWidths(last);
        wwDBGrid1->SetColWidths(last, before + minimum - needed);
        needed += wwDBGrid1->ColWidths(last) - before;
    }
    if (ColumnsOnly) return;

    LimitToScreen();
    wwDBGrid1->SetHeight(MaxHeight);
    const int oldGridWidth = wwDBGrid1->Width();
    wwDBGrid1->SetWidth(std::max(std::min(needed, MaxWidth), minimum));
    if (wwDBGrid1->Width() >= needed) wwDBGrid1->SetShowHorzScrollBar(false);
    wwDBGrid1->ShrinkToRows();
    SetWidth(Width() + wwDBGrid1->Width() - oldGridWidth);
    SetLeft(FExplicitLeft != -1 ? FExplicitLeft : (Screen->Width() - Width()) / 2);

    SearchCharacterLabel->SetTop(8);
    wwIncrementalSearch1->SetTop(PixelsPerInch() * 13 / 96 + SearchCharacterLabel->Top() + 3);
    wwDBGrid1->SetTop(wwIncrementalSearch1->Top() + wwIncrementalSearch1->Height() + 8);
    int bottom = wwDBGrid1->Top() + wwDBGrid1->Height();

    const bool userButtons = button1 || button2;
    if (Options.Contains(opShowStatusBar)) {
        auto* table = dynamic_cast<TTable*>(DataSet);
        if (table && table->Database() && table->IsSequenced()) StatusHeader->Show();
    }
    if (StatusHeader->Visible()) {
        StatusHeader->SetTop(Options.Contains(opShowOKCancel) || userButtons ? bottom - 1 : bottom + 10);
        StatusHeader->SetLeft(wwDBGrid1->Left());
        StatusHeader->SetWidth(wwDBGrid1->Width());
        bottom = StatusHeader->Top() + StatusHeader->Height();
    }

    const int gridWidth = wwDBGrid1->Width();
    if (!Options.Contains(opShowSearchBy)) {
        wwIncrementalSearch1->SetWidth(gridWidth);
    } else if (Options.Contains(opGroupControls)) {
        const int half = (gridWidth - 20) / 2;
        wwIncrementalSearch1->SetWidth(half);
        wwKeyCombo1->SetBounds(wwIncrementalSearch1->Left() + half + 20, wwIncrementalSearch1->Top(), half,
                               wwKeyCombo1->Height());
        SortByLabel->SetLeft(wwKeyCombo1->Left());
        SortByLabel->SetTop(SearchCharacterLabel->Top());
        SortByLabel->Show();
        wwKeyCombo1->Show();
        wwKeyCombo1->SetTabOrder(1);
    } else {
        wwIncrementalSearch1->SetWidth(gridWidth);
        SortByLabel->SetTop(bottom + 8);
        SortByLabel->SetLeft(SearchCharacterLabel->Left());
        SortByLabel->Show();
        wwKeyCombo1->SetBounds(wwDBGrid1->Left(), SortByLabel->Top() + SortByLabel->Height() + 3, gridWidth,
                               wwKeyCombo1->Height());
        wwKeyCombo1->Show();
        bottom = wwKeyCombo1->Top() + wwKeyCombo1->Height();
    }

    if (userButtons) {
        UserButtonPanel->SetTop(bottom + 5);
        int right = 0;
        if (button1) {
            UserButton1->SetLeft(10);
            UserButton1->Show();
            right = UserButton1->Left() + UserButton1->Width();
        }
        if (button2) {
            UserButton2->SetLeft(button1 ? right + 15 : 15);
            UserButton2->Show();
            right = UserButton2->Left() + UserButton2->Width();
        }
        UserButtonPanel->SetWidth(Options.Contains(opShowOKCancel) ? right + 10 : gridWidth);
        UserButtonPanel->Show();
    }

    if (Options.Contains(opShowOKCancel)) {
        const int shift = gridWidth == minimum ? 5 : 0;
        for (TButton* button : {OKBtn, CancelBtn}) {
            button->SetTabStop(true);
            button->SetTop(bottom + 13);
        }
        OKBtn->SetLeft(Width() - 2 * OKBtn->Width() - 36 + shift);
        CancelBtn->SetLeft(Width() - CancelBtn->Width() - 23 + shift);
        SetHeight(OKBtn->Top() + OKBtn->Height() + frame);
    } else if (userButtons) {
        SetHeight(UserButtonPanel->Top() + UserButtonPanel->Height() + frame);
    } else {
        SetHeight(bottom + frame);
    }

    if (Options.Contains(opShowSearchBy) && Options.Contains(opGroupControls) &&
        wwIncrementalSearch1->Width() < SearchCharacterLabel->Width())
        SearchCharacterLabel->SetCaption(DefaultIntl->SearchDialog()->SearchCharShortLabel());
}

void TwwLookupDlg::UpdateStatus() {
    if (Showing()) Repaint();
    auto* table = dynamic_cast<TTable*>(DataSet);
    if (!table || !table->Active() || !table->IsSequenced()) return;
    try {
        table->UpdateCursorPos();
        const int number = table->RecNo(), count = table->RecordCount();
        TwwSearchDialogIntl* texts = DefaultIntl->SearchDialog();
        StatusHeader->Sections()->SetStrings(0, TrimRight(table->TableName()));
        StatusHeader->Sections()->SetStrings(1, texts->StatusRecLabel() + " " + IntToStr(number) + " " +
                                                    texts->StatusOfLabel() + " " + IntToStr(count));
    } catch (const EDatabaseError&) {
    }
}

void TwwLookupDlg::wwKeyCombo1Change(TObject*) {
    if (!FShowingInProgress) wwIncrementalSearch1->Clear();
    ApplyIndexOrder();
    ArrangeControls(true);
    if (!wwKeyCombo1->IsDroppedDown() && wwIncrementalSearch1->CanFocus()) wwIncrementalSearch1->SetFocus();
    if (Assigned(OnSortChange)) OnSortChange(this);
}

void TwwLookupDlg::wwKeyCombo1Enter(TObject*) {}

void TwwLookupDlg::FormKeyDown(TObject*, WORD& Key, TShiftState) {
    // A key handed to the grid comes through the preview once more: it is the grid's.
    if (ActiveControl() == wwKeyCombo1 || FForwardingKey) return;
    switch (Key) {
    case VK_RETURN:
        if (OKBtn->CanFocus()) OKBtn->SetFocus();
        SetModalResult(mrOk);
        Key = 0;
        break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: {
        FForwardingKey = true;
        struct TLower {
            bool& Flag;
            ~TLower() { Flag = false; }
        } lower{FForwardingKey};
        // The grid takes the focus for its moves; the user goes on typing where he was.
        TWinControl* typing = ActiveControl();
        wwDBGrid1->Perform(WM_KEYDOWN, Key, 0);
        if (typing && ActiveControl() != typing && typing->CanFocus()) typing->SetFocus();
        Key = 0;
    } break;
    default: break;
    }
}

void TwwLookupDlg::FormKeyUp(TObject*, WORD& Key, TShiftState) {
    if (ActiveControl() != wwKeyCombo1 || (Key != VK_RETURN && Key != VK_ESCAPE)) return;
    wwKeyCombo1->SetDroppedDown(false);
    if (wwIncrementalSearch1->CanFocus()) wwIncrementalSearch1->SetFocus();
}

void TwwLookupDlg::FormCloseQuery(TObject*, bool& CanClose) {
    if (wwKeyCombo1->IsDroppedDown()) {
        CanClose = false;
        return;
    }
    wwIncrementalSearch1->SearchNow();
    if (Assigned(OnCloseDialog)) OnCloseDialog(this);
}

void TwwLookupDlg::wwDBGrid1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    int col = 0, row = 0;
    wwDBGrid1->CellAtPointW(X, Y, col, row);
    FMemoCellClicked = wwDBGrid1->IsMemoCell(col, row);
}

void TwwLookupDlg::wwDBGrid1DblClick(TObject*) {
    if (wwDBGrid1->CanEditGrid()) return;
    if (!FMemoCellClicked || wwDBGrid1->MemoAttributes().Contains(mDisableDialog)) SetModalResult(mrOk);
}

void TwwLookupDlg::wwDBGrid1ColumnMoved(TObject*, int, int) { UseFirstColumnAsSearchField(); }

void TwwLookupDlg::DataSource1DataChange(TObject*, TField*) {
    if (StatusHeader->Visible()) UpdateStatus();
}

void TwwLookupDlg::UserButton1Click(TObject*) {
    if (Assigned(OnUserButton1Click)) OnUserButton1Click(this, DataSet);
}

void TwwLookupDlg::UserButton2Click(TObject*) {
    if (Assigned(OnUserButton2Click)) OnUserButton2Click(this, DataSet);
}

// ---------------------------------------------------------------- running it

void FillSelectedFromFields(TStrings* Lines, TDataSet* DataSet) {
    Lines->Clear();
    if (!DataSet || !DataSet->Active()) {
        MessageDlg("DataSet for this component must be active.", mtInformation, {mbOK}, 0);
        return;
    }
    for (int i = 0; i < DataSet->FieldCount(); ++i) {
        TField* field = DataSet->Fields()->Fields(i);
        if (!field->Visible()) continue;
        Lines->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" +
                   field->DisplayLabel() + "\tF");
    }
}

TwwLookupDlg* NewLookupDlg(const TwwLookupDialogSettings& S) {
    auto* form = NewComponent<TwwLookupDlg>(Application);
    try {
        form->SetCaption(S.Caption);
        if (S.ActiveForm && S.ActiveForm->FormStyle() == fsStayOnTop) form->SetFormStyle(fsStayOnTop);
        TwwDBGrid* grid = form->wwDBGrid1;
        if (S.Selected && S.Selected->Count() > 0) grid->Selected()->Assign(S.Selected);
        else FillSelectedFromFields(grid->Selected(), S.DataSet);

        form->OwnerComponent = S.OwnerComponent;
        if (S.OwnerComponent) {
            if (TStrings* masks = GetPictureMasks(PictureMasksOwner(S.OwnerComponent, S.DataSet)))
                grid->PictureMasks()->Assign(masks);
            if (TStrings* types = GetControlType(ControlTypeOwner(S.OwnerComponent, S.DataSet)))
                grid->ControlType()->Assign(types);
        }
        grid->SetUseTFields(S.UseTFields);
        grid->SetOptions(S.GridOptions);
        if (S.GridOptions.Contains(dgMultiSelect))
            grid->SetMultiSelectOptions({msoAutoUnselect, msoShiftSelect});
        grid->SetColor(S.GridColor);
        grid->SetTitleAlignment(S.GridTitleAlignment);

        form->DataSet = S.DataSet;
        if (S.Selected && S.Selected->Count() > 0 && S.UseTFields)
            ApplySelectedToFields(S.DataSet, S.Selected);
        form->Options = S.Options;
        form->MaxWidth = S.MaxWidth;
        form->MaxHeight = S.MaxHeight;
        form->InitialSearchText = S.InitialSearchText;
        form->PictureMaskFromField = S.PictureMaskFromField;
        form->OnSortChange = S.OnSortChange;
        form->OnCloseDialog = S.OnCloseDialog;
        form->OnInitDialog = S.OnInitDialog;
        form->OnUserButton1Click = S.OnUserButton1Click;
        form->OnUserButton2Click = S.OnUserButton2Click;
        form->wwIncrementalSearch1->SetCharCase(S.CharCase);
        grid->SetFixedCols(S.Options.Contains(opFixFirstColumn) ? 1 : 0);
        form->UserButton1->SetCaption(S.UserButton1Caption);
        form->UserButton2->SetCaption(S.UserButton2Caption);
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

bool RunLookupDialog(const TwwLookupDialogSettings& S) {
    TwwLookupDlg* form = NewLookupDlg(S);
    struct TEnd {
        TwwLookupDlg* Form;
        ~TEnd() {
            Form->DataSource1->SetDataSet(nullptr);
            Form->Free();
        }
    } end{form};
    return form->ShowModal() == mrOk;
}

// ---------------------------------------------------------------- the dialog components

TwwCustomLookupDialog::TwwCustomLookupDialog(TComponent* AOwner)
    : TwwCustomDialog(AOwner), FSelected(std::make_unique<TStringList>()),
      FControlType(std::make_unique<TStringList>()), FPictureMasks(std::make_unique<TStringList>()) {}

TwwCustomLookupDialog::~TwwCustomLookupDialog() = default;

void TwwCustomLookupDialog::DescribeProperties(TPropertyTable& T) {
    using D = TwwCustomLookupDialog;
    DescribeLookupDialogSettings<D>(T);
    T.Property("Selected", &D::Selected, &D::SetSelected);
    T.Property("CharCase", &D::CharCase, &D::SetCharCase);
    T.Property("UseTFields", &D::UseTFields, &D::SetUseTFields).Default(true);
    T.Event("OnPerformCustomSearch", &D::OnPerformCustomSearch);
}

void TwwCustomLookupDialog::SetSelected(TStrings* Value) { FSelected->Assign(Value); }
void TwwCustomLookupDialog::SetControlType(TStrings* Value) { FControlType->Assign(Value); }
void TwwCustomLookupDialog::SetPictureMasks(TStrings* Value) { FPictureMasks->Assign(Value); }

void TwwCustomLookupDialog::SetFirstDataSet(TDataSet* Value) {
    if (FFirstDataSet) FFirstDataSet->RemoveFreeNotification(this);
    FFirstDataSet = Value;
    if (Value) Value->FreeNotification(this);
}

void TwwCustomLookupDialog::SetSearchTableValue(TDataSet* Value) {
    if (FSearchTable) FSearchTable->RemoveFreeNotification(this);
    FSearchTable = Value;
    if (Value) Value->FreeNotification(this);
}

void TwwCustomLookupDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomDialog::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FFirstDataSet) FFirstDataSet = nullptr;
    if (AComponent == FSearchTable) FSearchTable = nullptr;
}

TDataSet* TwwCustomLookupDialog::GetPrimaryDataSet() {
    throw EInvalidOperation(
        "Derived classes of \"TwwCustomLookupDialog\" must implement function \"GetPrimaryDataSet\"");
}

void TwwCustomLookupDialog::DoSyncDataSets(TDataSet* MoveDataSet, TDataSet* BaseDataSet) {
    if (Assigned(OnSyncDataSets)) OnSyncDataSets(this, MoveDataSet, BaseDataSet);
}

bool TwwCustomLookupDialog::Execute() {
    TDataSet* search = FSearchTable;
    TDataSet* shadow = FFirstDataSet;
    if (!shadow) {
        if (!search) {
            Warn("You must define a searchTable.");
            return false;
        }
        return RunLookupDialog(LookupDialogSettingsOf(*this, search));
    }
    if (search == shadow) {
        Warn("Your SearchTable and ShadowSearchTable must reference two distinct TDataSet objects, but each "
             "must reference the same physical table.");
        return false;
    }
    if (search && (!EqualsIgnoreCase(GetDatabaseName(shadow), GetDatabaseName(search)) ||
                   !EqualsIgnoreCase(GetTableNameProp(shadow), GetTableNameProp(search)))) {
        Warn("Your SearchTable and ShadowSearchTable must reference two distinct TDataSet objects, and each "
             "must reference the same physical table.");
        return false;
    }
    auto* shadowTable = dynamic_cast<TTable*>(shadow);
    if (shadowTable && !shadowTable->Database()) {
        Warn("Unable to open search or lookup table.");
        return false;
    }
    if (!shadow->Active() || (search && !search->Active())) {
        Warn("Search Table is not active.");
        return false;
    }
    auto* searchTable = dynamic_cast<TTable*>(search);
    if (search) {
        if (auto* ww = dynamic_cast<TwwTable*>(shadow)) {
            if (IsSQLBasedTable(ww) && ww->SyncSQLByRange()) {
                if (dynamic_cast<TwwTable*>(search)) ApplyRangeFromDataSet(ww, search);
            } else if (ww->NarrowSearch()) {
                ww->CancelRange();
            }
        }
        try {
            if (shadowTable && searchTable) shadowTable->GotoCurrent(searchTable);
            else DoSyncDataSets(shadow, search);
        } catch (const Exception&) {
            // The dialog opens wherever the shadow stands.
        }
    }
    const bool ok = RunLookupDialog(LookupDialogSettingsOf(*this, shadow));
    if (ok && search) {
        auto* ww = dynamic_cast<TwwTable*>(search);
        if (ww && IsSQLBasedTable(ww) && ww->SyncSQLByRange() && dynamic_cast<TwwTable*>(shadow))
            ApplyRangeFromDataSet(ww, shadow);
        if (!(shadow->Bof() && shadow->Eof())) {
            if (shadowTable && searchTable) searchTable->GotoCurrent(shadowTable);
            else DoSyncDataSets(search, shadow);
        }
    }
    return ok;
}

TwwLookupDialog::TwwLookupDialog(TComponent* AOwner) : TwwCustomLookupDialog(AOwner) { SetCaption("Lookup"); }

void TwwLookupDialog::DescribeProperties(TPropertyTable& T) {
    T.Property("LookupTable", &TwwLookupDialog::LookupTable, &TwwLookupDialog::SetLookupTable);
}

bool TwwLookupDialog::Execute() {
    if (!LookupTable()) {
        Warn("You must define a lookupTable.");
        return false;
    }
    if (!LookupTable()->Active()) {
        Warn("Search Table is not active.");
        return false;
    }
    return RunLookupDialog(LookupDialogSettingsOf(*this, LookupTable()));
}

void TwwSearchDialog::DescribeProperties(TPropertyTable& T) {
    T.Property("SearchTable", &TwwSearchDialog::SearchTable, &TwwSearchDialog::SetSearchTable);
    T.Property("ShadowSearchTable", &TwwSearchDialog::ShadowSearchTable,
               &TwwSearchDialog::SetShadowSearchTable);
    T.Event("OnSyncDataSets", &TwwSearchDialog::OnSyncDataSets);
}
