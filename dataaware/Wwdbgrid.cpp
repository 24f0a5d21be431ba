#include "dataaware/Wwdbgrid.h"

#include <algorithm>

#include "dataaware/Wwintl.h"
#include "dataaware/Wwmemo.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwexport.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwmultiselect.h"
#include "dataaware/wwpaintoptions.h"
#include "dataaware/wwradiogroup.h"
#include "dataaware/wwriched.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TwwMemoAttribute, "mSizeable", "mWordWrap", "mGridShow", "mViewOnly", "mDisableDialog")
ZELMOR_IMPLEMENT_CLASS(TwwIniAttributes, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TwwMemoDialog, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBGrid, TwwCustomDBGrid)

// ---------------------------------------------------------------------------
// TwwIniAttributes
// ---------------------------------------------------------------------------

void TwwIniAttributes::DescribeProperties(TPropertyTable& T) {
    using C = TwwIniAttributes;
    T.Property("Enabled", &C::Enabled, &C::SetEnabled).Default(false);
    T.Property("SaveToRegistry", &C::SaveToRegistry, &C::SetSaveToRegistry).Default(false);
    T.Property("FileName", &C::FileName, &C::SetFileName);
    T.Property("SectionName", &C::SectionName, &C::SetSectionName);
    T.Property("Delimiter", &C::Delimiter, &C::SetDelimiter);
    T.Property("CheckNewFields", &C::CheckNewFields, &C::SetCheckNewFields).Default(false);
}

void TwwIniAttributes::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwIniAttributes*>(Source)) {
        FEnabled = S->FEnabled;
        FSaveToRegistry = S->FSaveToRegistry;
        FFileName = S->FFileName;
        FSectionName = S->FSectionName;
        FDelimiter = S->FDelimiter;
        FCheckNewFields = S->FCheckNewFields;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TwwMemoDialog
// ---------------------------------------------------------------------------

TwwMemoDialog::TwwMemoDialog(TComponent* AOwner)
    : TComponent(AOwner), FDataLink(std::make_unique<TFieldDataLink>()),
      FLines(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()) {}

TwwMemoDialog::~TwwMemoDialog() = default;

void TwwMemoDialog::DescribeProperties(TPropertyTable& T) {
    using C = TwwMemoDialog;
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("Lines", &C::Lines, &C::SetLines);
    T.Property("Font", &C::Font, &C::SetFont);
    T.Property("Caption", &C::Caption, &C::SetCaption);
    T.Property("MemoAttributes", &C::MemoAttributes, &C::SetMemoAttributes)
        .Default(TwwMemoAttributes{mSizeable, mWordWrap});
    T.Property("DlgLeft", &C::DlgLeft, &C::SetDlgLeft).Default(0);
    T.Property("DlgTop", &C::DlgTop, &C::SetDlgTop).Default(0);
    T.Property("DlgWidth", &C::DlgWidth, &C::SetDlgWidth).Default(561);
    T.Property("DlgHeight", &C::DlgHeight, &C::SetDlgHeight).Default(396);
    T.Property("UserButton1Caption", &C::UserButton1Caption, &C::SetUserButton1Caption);
    T.Property("UserButton2Caption", &C::UserButton2Caption, &C::SetUserButton2Caption);
    T.Event("OnInitDialog", &C::OnInitDialog);
    T.Event("OnCloseDialog", &C::OnCloseDialog);
    T.Event("OnUserButton1Click", &C::OnUserButton1Click);
    T.Event("OnUserButton2Click", &C::OnUserButton2Click);
}

TDataSource* TwwMemoDialog::DataSource() const { return FDataLink->DataSource(); }

void TwwMemoDialog::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

AnsiString TwwMemoDialog::DataField() const { return FDataLink->FieldName(); }
void TwwMemoDialog::SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }

void TwwMemoDialog::SetLines(TStrings* Value) {
    if (Value != FLines.get()) FLines->Assign(Value);
}

void TwwMemoDialog::SetFont(TFont* Value) { FFont->Assign(Value); }

void TwwMemoDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
}

void TwwMemoDialog::DoInitDialog(TwwMemoDlg* Dialog) {
    if (Assigned(OnInitDialog)) OnInitDialog(Dialog);
}

void TwwMemoDialog::DoCloseDialog(TwwMemoDlg* Dialog) {
    if (Assigned(OnCloseDialog)) OnCloseDialog(Dialog);
}

// A field that cannot be modified opens view-only, blob or not: its text
// edited and then refused by the data set after the window closed would be lost.
bool TwwMemoDialog::Execute() {
    auto* Dlg = TForm::CreateNew<TwwMemoDlg>(Application);
    struct TFree {
        TwwMemoDlg* Dlg;
        TwwMemoDialog* Owner;
        ~TFree() {
            Owner->FDialogForm = nullptr;
            Dlg->Free();
        }
    } Free{Dlg, this};
    Dlg->Dialog = this;
    if (Screen->ActiveForm() && Screen->ActiveForm()->FormStyle() == fsStayOnTop)
        Dlg->SetFormStyle(fsStayOnTop);
    bool ReadOnly = FMemoAttributes.Contains(mViewOnly);
    TField* Field = nullptr;
    TDataSet* DS = DataSource() ? DataSource()->DataSet() : nullptr;
    if (DS && !DataField().empty()) {
        Field = DS->FieldByName(DataField());
        if (Field->IsBlob()) Dlg->Memo->Lines()->Assign(Field);
        else Dlg->Memo->SetText(Field->AsString());
        if (!Field->CanModify()) ReadOnly = true;
    } else {
        Dlg->Memo->Lines()->Assign(FLines.get());
    }
    Dlg->Memo->SetWordWrap(FMemoAttributes.Contains(mWordWrap));
    Dlg->SetBorderStyle(FMemoAttributes.Contains(mSizeable) ? bsSizeable : bsDialog);
    Dlg->Memo->SetFont(FFont.get());
    Dlg->SetCaption(FCaption);
    Dlg->WantedLeft = FDlgLeft;
    Dlg->WantedTop = FDlgTop;
    Dlg->WantedWidth = FDlgWidth;
    Dlg->WantedHeight = FDlgHeight;
    if (FDlgLeft > 0 || FDlgTop > 0) Dlg->SetPosition(poDesigned);
    Dlg->ReadOnly = ReadOnly;
    if (ReadOnly) {
        Dlg->CancelBtn->Hide();
        Dlg->Memo->SetReadOnly(true);
    } else {
        Dlg->OKBtn->SetEnabled(false);
    }
    Dlg->UserButton1->SetCaption(FUserButton1Caption);
    Dlg->UserButton2->SetCaption(FUserButton2Caption);
    const bool Ok = Dlg->ShowModal() == mrOk;
    DoCloseDialog(Dlg);
    if (!ReadOnly && Ok) {
        if (Field) {
            DS->Edit();
            if (Field->IsBlob()) Field->Assign(Dlg->Memo->Lines());
            else Field->SetAsString(Dlg->Memo->Text());
        } else {
            FLines->Assign(Dlg->Memo->Lines());
        }
    }
    return Ok;
}

// ---------------------------------------------------------------------------
// TwwDBGrid: construction and properties
// ---------------------------------------------------------------------------

TwwDBGrid::TwwDBGrid(TComponent* AOwner)
    : TwwCustomDBGrid(AOwner), FIniAttributes(std::make_unique<TwwIniAttributes>(this)),
      FExportOptions(std::make_unique<TwwExportOptions>(this)),
      FSelection(std::make_unique<TwwMultiSelection>()) {}

// The layout is saved once, quietly; the link's deactivation that follows saves nothing.
TwwDBGrid::~TwwDBGrid() {
    FDestroying = true;
    if (FIniAttributes->Enabled()) {
        try {
            SaveColumnLayout();
        } catch (...) {
        }
        FIniAttributes->SetEnabled(false);
    }
}

void TwwDBGrid::DescribeProperties(TPropertyTable& T) {
    using C = TwwDBGrid;
    TControl::PublishStandard(
        T, {"Align",       "Anchors",     "BiDiMode",       "Color",     "Constraints",    "Ctl3D",
            "DragCursor",  "DragMode",    "Enabled",        "Font",      "ParentBiDiMode", "ParentColor",
            "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu", "ShowHint",       "TabOrder",
            "Visible",     "OnDblClick",  "OnEnter",        "OnExit",    "OnKeyDown",      "OnKeyPress",
            "OnKeyUp",     "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
    T.PropertyOf<C>(
         "TabStop", [](C& X) { return X.TabStop(); }, [](C& X, bool V) { X.SetTabStop(V); })
        .Default(true);
    T.Property("FixedCols", &C::FixedCols, &C::SetFixedCols).Default(0);
    T.Property("TitleColor", &C::TitleColor, &C::SetTitleColor).OfType(ColorTypeInfo()).NoDefault();
    T.Property("MemoAttributes", &C::MemoAttributes, &C::SetMemoAttributes)
        .Default(TwwMemoAttributes{mSizeable, mWordWrap});
    T.Property("IniAttributes", &C::IniAttributes, &C::SetIniAttributes);
    T.Property("ExportOptions", &C::ExportOptions, &C::SetExportOptions);
    T.Property("LoadAllRTF", &C::LoadAllRTF, &C::SetLoadAllRTF).Default(false);
    T.Property("DisableThemes", &C::DisableThemes, &C::SetDisableThemes);
    T.PropertyOf<C>(
        "DataSource", [](C& X) { return X.DataSource(); }, [](C& X, TDataSource* V) { X.SetDataSource(V); });
    T.Event("OnMemoOpen", &C::OnMemoOpen);
    T.Event("OnMemoClose", &C::OnMemoClose);
    T.Event("OnMultiSelectRecord", &C::OnMultiSelectRecord);
    T.Event("OnMultiSelectAllRecords", &C::OnMultiSelectAllRecords);
    T.Event("OnExportField", &C::OnExportField);
    T.Event("OnExportSYLKFormat", &C::OnExportSYLKFormat);
    T.Event("OnCreateDateTimePicker", &C::OnCreateDateTimePicker);
    T.Event("OnURLOpen", &C::OnURLOpen);
    T.Event("OnCreateHintWindow", &C::OnCreateHintWindow);
}

void TwwDBGrid::SetExportOptions(TwwExportOptions* Value) { FExportOptions->Assign(Value); }

void TwwDBGrid::SetMemoAttributes(TwwMemoAttributes Value) {
    FMemoAttributes = Value;
    RefreshFromDataSet();
}

// At run time every value is kept; one the grid cannot apply (below 0, or
// as many as the columns) fixes no data column.
void TwwDBGrid::SetFixedCols(int Value) {
    if (ComponentState().Contains(csDesigning)) {
        TDataSet* DS = DataSource() ? DataSource()->DataSet() : nullptr;
        if (Value < 0 || (DS && DS->Active() && Value + IndicatorOffset() >= ColCount())) {
            MessageDlg("Invalid value for FixedCols", mtWarning, {mbOK}, 0);
            return;
        }
    }
    FFixedCols = Value;
    LayoutChanged();
}

int TwwDBGrid::WantedFixedCols() {
    TDataSet* DS = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!DS || !DS->Active() || FFixedCols < 0 || FFixedCols + IndicatorOffset() >= ColCount())
        return IndicatorOffset();
    return FFixedCols + IndicatorOffset();
}

void TwwDBGrid::ApplyFixedCols() {
    const int Wanted = WantedFixedCols();
    if (TCustomGrid::FixedCols() == Wanted) return;
    TDataSet* DS = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!DS || !DS->Active() || FFixedCols < 0 || FFixedCols + IndicatorOffset() >= ColCount()) return;
    TCustomGrid::SetFixedCols(Wanted);
    if (Options().Contains(dgFixedEditable) && LeftCol() == TCustomGrid::FixedCols()) SelectFixedColumn(0);
}

TColor TwwDBGrid::GetColumnColor(int GridCol) {
    return GridCol < TCustomGrid::FixedCols() ? TitleColor() : Color();
}

void TwwDBGrid::SetFieldEditText(int DataCol, const AnsiString& Text) {
    if (DataCol < 0 || !DataLink()->Active() || DataCol >= DataLink()->MappedCount()) return;
    if (TField* F = DataLink()->MappedField(DataCol)) F->SetEditText(Text);
}

void TwwDBGrid::ShowRecordAtRow(int DataRow) {
    const int GridRow = DataRow + (Options().Contains(dgTitles) ? 1 : 0);
    if (GridRow >= FixedRows() && GridRow < RowCount()) MoveCurrent(Col(), GridRow, true, false);
    DataLink()->SetActiveRecord(DataRow + RowOffset());
    Invalidate();
}

// After a walk over the data set the user finds the record where it was:
// the data set goes back to it and the record window is moved so that it
// stands on its old screen row again. The window is the data set's own
// (platform/db): moving past its top or bottom edge shifts it, and making a
// buffered row the link's active record makes that record the current one.
// Where the data set's start or end leaves no room for that, the record
// stays current on the row it can take.
void TwwDBGrid::KeepRecordOnRow(int Row) {
    TDataSet* DS = DataLink()->DataSet();
    if (!DS || !DS->Active()) return;
    const TBookmark Record = DS->GetBookmark();
    TControlsDisabled Disabled(DS);
    const int Now = DataLink()->ActiveRecord();
    int Moved = 0;
    if (Now < Row) Moved = DS->MoveBy(-Row);
    else if (Now > Row) Moved = DS->MoveBy(VisibleRowCount() - 1 - Row);
    if (Moved == 0) return;
    for (int R = 0; R < DataLink()->RecordCount(); ++R) {
        DataLink()->SetActiveRecord(R);
        if (DS->GetBookmark() == Record) {
            ShowRecordAtRow(R);
            return;
        }
    }
    DS->GotoBookmark(Record);
}

// ---------------------------------------------------------------------------
// Refreshing from the data set
// ---------------------------------------------------------------------------

void TwwDBGrid::RefreshFromDataSet() {
    if (FRefreshing || !DataSource() || !DataSource()->DataSet()) return;
    TDataSet* DS = DataSource()->DataSet();
    if (!IsCompatibleDataSet(DS)) {
        MessageDlg("wwGrid must use a compatible TDataSet.", mtInformation, {mbOK}, 0);
        SetDataSource(nullptr);
        return;
    }
    ClearProportionalWidths();
    if (Options().Contains(dgProportionalColResize)) LayoutChanged();
    AttachSeparateControls();
    DS->DisableControls();
    SetActiveCellControl(nullptr);
    if (ControlInfoInDataset())
        DropMissingFieldEntries(DS, GetLookupFields(DS), GetLookupLinks(DS), GetControlType(DS));
    FRefreshing = true;
    struct TDone {
        TwwDBGrid* G;
        TDataSet* DS;
        ~TDone() {
            G->FRefreshing = false;
            G->FRefreshedOnce = true;
            DS->EnableControls();
        }
    } Done{this, DS};
    if (Selected()->Count() > 0) {
        bool Calculated = false;
        for (TField* F : DS->Fields()->List())
            if (F->Calculated()) Calculated = true;
        if (ComponentState().Contains(csDesigning) || !Calculated) ApplySelected();
    }
}

void TwwDBGrid::ApplySelected() {
    ClearProportionalWidths();
    if (UseTFields()) {
        if (DataSource() && DataSource()->DataSet()) {
            ApplySelectedToFields(DataSource()->DataSet(), Selected());
            if (Selected()->Count() > 0) LayoutChanged();
        }
    } else {
        FSeparateControlsAttached = false;
        AttachSeparateControls();
        LayoutChanged();
        TWinControl* Control = nullptr;
        if (!(GetCellControl(Col(), Row(), Control) && Control &&
              (CanShowCellControl() || ::IsClassNamed(Control, "TwwExpandButton"))))
            SetActiveCellControl(nullptr);
    }
    AttachCellControl();
}

void TwwDBGrid::LinkActive(bool Active) {
    FInLinkActive = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FInLinkActive};
    if (!Active) ClearSelection();
    if (FDateTimePicker) FDateTimePicker->SetDataField("");
    TwwCustomDBGrid::LinkActive(Active);
    if (Active) RefreshFromDataSet();
}

void TwwDBGrid::Loaded() {
    if (TCustomForm* Form = GetParentForm(this)) FIniAttributes->SetFormName(Form->Name());
    else if (Owner()) FIniAttributes->SetFormName(Owner()->Name());
    TwwCustomDBGrid::Loaded();
    FLoadedFlag = true;
    if (!FSeparateControlsAttached) {
        AttachSeparateControls();
        LayoutChanged();
        TWinControl* Control = nullptr;
        if (!(GetCellControl(Col(), Row(), Control) && Control &&
              (CanShowCellControl() || ::IsClassNamed(Control, "TwwExpandButton"))))
            SetActiveCellControl(nullptr);
    }
}

void TwwDBGrid::CreateWnd() {
    TwwCustomDBGrid::CreateWnd();
    if (!FLayoutLoaded && FIniAttributes->Enabled()) {
        FLayoutLoaded = true;
        LoadColumnLayout();
    }
}

void TwwDBGrid::CMCtl3DChanged(TMessage& Message) {
    if (FControlStyle.Contains(csFramed)) {
        RefreshFromDataSet();
        return;
    }
    TwwCustomDBGrid::CMCtl3DChanged(Message);
}

void TwwDBGrid::SetColumnWidths() {
    ApplyFixedCols();
    TwwCustomDBGrid::SetColumnWidths();
    if (DataLink()->Active()) {
        for (int I = 0; I < DataLink()->MappedCount(); ++I) {
            TField* F = DataLink()->MappedField(I);
            const int GridCol = I + IndicatorOffset();
            if (!F || !F->Calculated() || GridCol >= ColCount()) continue;
            TWinControl* Control = nullptr;
            const TwwCacheColInfoItem* Item = CacheItem(GridCol);
            if ((GetCellControl(GridCol, TitleOffset(), Control) && Control) ||
                IsSelectionCheckBoxColumn(GridCol) ||
                (Item && (Item->Kind == "Bitmap" || Item->Kind == "ImageIndex")))
                SetTabStops(GridCol, true);
        }
    }
    AttachCellControl();
}

void TwwDBGrid::CollapseActiveExpandButton() {
    if (TWinControl* Button = GetActiveExpandButton(); Button && IsExpandButtonExpanded())
        SetExpandButtonState(Button, false);
}

// ---------------------------------------------------------------------------
// Cell texts
// ---------------------------------------------------------------------------

TwwDBRichEdit* TwwDBGrid::NeedRichEdit() {
    if (!FRichEdit) {
        FRichEdit = NewComponent<TwwDBRichEdit>(this);
        FRichEdit->SetVisible(false);
        FRichEdit->SetBorderStyle(bsNone);
        FRichEdit->SetParent(this);
    }
    return FRichEdit;
}

AnsiString TwwDBGrid::GetCellDisplayText(int DataCol) {
    TField* F = GetColField(DataCol);
    if (!F) return {};
    TStrings* Lines = GetControlTypeList();
    auto FirstLineOfKind = [&](const char* Kind) {
        for (int I = 0; Lines && I < Lines->Count(); ++I) {
            TStringList Parts;
            SplitToList(Lines->Strings(I), ';', Parts);
            if (Parts.Count() >= 2 && Parts[0] == F->FieldName() && Parts[1] == Kind) return I;
        }
        return -1;
    };
    if (F->IsBlob() && FirstLineOfKind("RichEdit") >= 0) {
        TwwDBRichEdit* R = NeedRichEdit();
        R->OnProtectChange = [](TObject*, int, int, bool& Allow) { Allow = true; };
        struct TClear {
            TwwDBRichEdit* R;
            ~TClear() { R->OnProtectChange = nullptr; }
        } Clear{R};
        AnsiString Start = F->AsString().substr(0, 5);
        Start.resize(5, ' ');
        if (Start == "{\\rtf") {
            if (FLoadAllRTF) R->LoadFromBlobField(F);
            else R->LoadFieldPreview(F, 2);
        } else {
            R->Lines()->Assign(F);
        }
        AnsiString Text = R->Lines()->Text();
        while (!Text.empty() && (Text.back() == '\n' || Text.back() == '\r')) Text.pop_back();
        return Text;
    }
    if (F->DataType() == ftMemo || F->DataType() == ftOraClob) {
        TDataSet* DS = F->DataSet();
        if (DS->Bof() && DS->Eof() && DS->State() != dsInsert) return {};
        if (!FMemoAttributes.Contains(mGridShow)) return "(Memo)";
        try {
            return F->AsString();
        } catch (...) {
            return "(Memo)";
        }
    }
    AnsiString Kind, Params;
    GetFieldControlType(F->FieldName(), Kind, Params);
    if (Kind == "URL-Link") {
        AnsiString Display, Address;
        SplitURLLink(F->AsString(), Display, Address);
        return Display;
    }
    if (IsSeparateControlKind(Kind) && !EditControlOptions().Contains(ecoDisableCustomControls)) {
        int Position = 1;
        TWinControl* Control = FindCellControl(NextToken(Params, ";", Position));
        if (auto* Edit = dynamic_cast<TwwDBCustomEdit*>(Control)) {
            AnsiString Display;
            if (Edit->GetDisplayForValue(F->AsString(), Display)) {
                FLeftAlignText = true;
                return Display;
            }
            return F->DisplayText();
        }
        if (auto* Group = dynamic_cast<TwwRadioGroup*>(Control)) {
            AnsiString Caption;
            Group->GetItemCaptionForValue(F->AsString(), Caption);
            return Caption;
        }
    }
    return F->DisplayText();
}

// ---------------------------------------------------------------------------
// Cell controls
// ---------------------------------------------------------------------------

void TwwDBGrid::GetFieldControlType(std::string_view FieldName, AnsiString& Kind, AnsiString& Params) {
    TwwCustomDBGrid::GetFieldControlType(FieldName, Kind, Params);
    if (EditControlOptions().Contains(ecoDisableCustomControls) && IsSeparateControlKind(Kind)) Kind.clear();
}

bool TwwDBGrid::CellUsesControl(int GridCol, int GridRow) {
    if (!IsValidDataCell(GridCol, GridRow)) return false;
    TField* F = GetColField(GridCol - IndicatorOffset());
    if (!F) return false;
    AnsiString Kind, Params;
    GetFieldControlType(F->FieldName(), Kind, Params);
    if (Kind == "Bitmap" || Kind == "ImageIndex" || Kind == "CheckBox") return true;
    if (IsSeparateControlKind(Kind)) {
        int Position = 1;
        return FindCellControl(NextToken(Params, ";", Position)) != nullptr;
    }
    return !EditControlOptions().Contains(ecoDisableDateTimePicker) && dynamic_cast<TDateTimeField*>(F);
}

TWinControl* TwwDBGrid::DateTimePicker() const { return FDateTimePicker; }

void TwwDBGrid::CreateDateTimePicker() { FDateTimePicker = new TwwDBDateTimePicker(this); }

void TwwDBGrid::DoCreateDateTimePicker() {
    if (Assigned(OnCreateDateTimePicker)) OnCreateDateTimePicker(this, FDateTimePicker);
}

bool TwwDBGrid::CanEditShow() {
    if (!TwwCustomDBGrid::CanEditShow()) return false;
    if (Options().Contains(dgAlwaysShowEditor) && !GridFocused() && InplaceEditor() &&
        !InplaceEditor()->Visible())
        return false;
    return !CellUsesControl(Col(), Row()) && !IsMemoCell(Col(), Row());
}

void TwwDBGrid::AttachSeparateControls() {
    if ((FSeparateControlsAttached && !ComponentState().Contains(csDesigning)) || !DataSource() ||
        !DataSource()->DataSet() || ComponentState().Contains(csLoading) || !FLoadedFlag ||
        EditControlOptions().Contains(ecoDisableCustomControls))
        return;
    TStrings* Lines = GetControlTypeList();
    for (int I = 0; Lines && I < Lines->Count(); ++I) {
        TStringList Parts;
        SplitToList(Lines->Strings(I), ';', Parts);
        if (Parts.Count() < 3 || !IsSeparateControlKind(Parts[1])) continue;
        TWinControl* Control = FindCellControl(Parts[2]);
        if (!Control || DataSource()->ComponentState().Contains(csDesigning)) continue;
        Control->SetVisible(false);
        Control->SetParent(this);
        SetDataSourceProp(Control, DataSource());
        SetDataFieldProp(Control, Parts[0]);
        Control->SetCtl3D(false);
        Control->SetFont(Font());
        if (dynamic_cast<TCustomEdit*>(Control) && !::IsClassNamed(Control, "TwwDataInspector"))
            SetBorderStyleProp(Control, false);
    }
    FSeparateControlsAttached = true;
}

void TwwDBGrid::BindCellControl(TWinControl* Control) {
    if (Control->Parent() != this) Control->SetParent(this);
    if (GetDataSourceProp(Control) != DataSource()) SetDataSourceProp(Control, DataSource());
    const AnsiString FieldName = GetColumnFieldName(Col());
    if (!EqualsIgnoreCase(GetDataFieldProp(Control), FieldName)) SetDataFieldProp(Control, FieldName);
    Control->SetCtl3D(false);
    if (dynamic_cast<TCustomEdit*>(Control) && !::IsClassNamed(Control, "TwwDataInspector"))
        SetBorderStyleProp(Control, false);
    PlaceCellControl();
}

void TwwDBGrid::AttachCellControl() {
    if (ComponentState().Contains(csDesigning) || Options().Contains(dgRowSelect)) return;
    TWinControl* Control = nullptr;
    if (GetCellControl(Col(), Row(), Control) && Control && Control != FDateTimePicker &&
        (CanShowCellControl() || ::IsClassNamed(Control, "TwwExpandButton"))) {
        BindCellControl(Control);
        return;
    }
    // Date and time columns are edited through the grid's own date-time editor.
    TField* F = SelectedField();
    if (EditControlOptions().Contains(ecoDisableDateTimePicker) || !dynamic_cast<TDateTimeField*>(F)) return;
    if (!FDateTimePicker) {
        CreateDateTimePicker();
        DoCreateDateTimePicker();
    }
    TwwColumn* Column = ColumnAt(SelectedIndex());
    FDateTimePicker->SetReadOnly(F->ReadOnly() || (Column && Column->ReadOnly()));
    FDateTimePicker->SetVisible(false);
    BindCellControl(FDateTimePicker);
    FDateTimePicker->HandleNeeded();
    FDateTimePicker->Perform(WM_SIZE, 0, 0);
}

bool TwwDBGrid::HasFocus() {
    if (TCustomForm* Form = GetParentForm(this)) return Form->ActiveControl() == this;
    if (!HandleAllocated()) return false;
    HWND Focus = GetFocus();
    return Focus && (Focus == Handle() || IsChild(Handle(), Focus));
}

void TwwDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (FDrawingCell) return;
    FDrawingCell = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FDrawingCell};
    TWinControl* Control = nullptr;
    const bool Current = ACol == Col() && ARow == Row();
    if (Current && GetCellControl(ACol, ARow, Control) && Control &&
        (CanShowCellControl() || ::IsClassNamed(Control, "TwwExpandButton"))) {
        SetActiveCellControl(Control);
        FControlPlaced = true;
    } else {
        Control = nullptr;
    }
    const bool Selected =
        AState.Contains(gdSelected) || (ARow == Row() && PaintOptions()->ActiveRecordColor() != clNone);
    const bool Highlighted =
        Selected && (Options().Contains(dgAlwaysShowSelection) || (GridFocused() && !IsCellControlFocused()));
    TCustomForm* Form = GetParentForm(this);
    if (Control && AState.Contains(gdSelected) && !ComponentState().Contains(csDesigning)) {
        TRect Cell;
        GetCellRect(ACol, ARow, Cell);
        if (CellControlNeedsInset(Control))
            Cell = TRect(Cell.Left + 1, Cell.Top + 1, Cell.Right - 1, Cell.Bottom - 1);
        if (Control->Parent() == this && Form && Form->ActiveControl() == Control) {
            if (Control->Left() != Cell.Left || Control->Left() + Control->Width() != Cell.Right)
                Control->SetBoundsRect(Cell);
        } else if (Highlighted && Form && Form->ActiveControl() == this) {
            AnsiString Text;
            {
                TActiveRecordScope Scope(this, ARow - TitleOffset() - RowOffset());
                TField* F = GetColField(ACol - IndicatorOffset());
                Text = ::IsClassNamed(Control, "TwwDBCustomLookupCombo") && F
                           ? F->AsString()
                           : GetCellDisplayText(ACol - IndicatorOffset());
            }
            if (auto* Edit = dynamic_cast<TCustomEdit*>(Control);
                Edit && !::IsClassNamed(Edit, "TCustomRichEdit") && !::IsClassNamed(Edit, "TfcTreeCombo"))
                Edit->SetText(Text);
            if (Control->Parent() != this) {
                Control->SetParent(this);
                Control->SetCtl3D(false);
                if (dynamic_cast<TCustomEdit*>(Control) && !::IsClassNamed(Control, "TwwDataInspector"))
                    SetBorderStyleProp(Control, false);
            }
            if (Control->BoundsRect() != Cell) Control->SetBoundsRect(Cell);
            return;
        }
    }
    TwwCustomDBGrid::DrawCell(ACol, ARow, ARect, AState);
}

void TwwDBGrid::Paint() {
    CacheRowSelection();
    if (!ShowVertScrollBar() && HandleAllocated()) SetScrollRange(Handle(), SB_VERT, 0, 0, false);
    TWinControl* Control = ActiveCellControl();
    TDataSet* DS = DataLink()->DataSet();
    if (Control && Control->Visible() && DS && DS->Active()) {
        const AnsiString FieldName = GetDataFieldProp(Control);
        if (!FieldName.empty()) {
            bool Shown;
            if (UseTFields()) {
                TField* F = DS->FindField(FieldName);
                Shown = F && F->Visible();
            } else {
                int Index;
                Shown = FindSelectedLine(Selected(), FieldName, Index);
            }
            if (!Shown) HideCellControl();
        }
    }
    FControlPlaced = false;
    TwwCustomDBGrid::Paint();
}

void TwwDBGrid::WMPaint(TMessage& Message) {
    TwwCustomDBGrid::WMPaint(Message);
    ShowCellControl();
}

void TwwDBGrid::ShowCellControl() {
    if (HandleAllocated() && GetFocus() == Handle() && !FMovingCell && !IsMemoCell(Col(), Row()) &&
        Options().Contains(dgAlwaysShowEditor) && !CellUsesControl(Col(), Row())) {
        SetActiveCellControl(nullptr);
        if (InplaceEditor() && InplaceEditor()->Focused()) InplaceEditor()->Invalidate();
        else ShowEditorIfAllowed();
        return;
    }
    TWinControl* Control = ActiveCellControl();
    if (!Control) {
        if (InplaceEditor() && InplaceEditor()->Focused()) InplaceEditor()->Invalidate();
        return;
    }
    if (!GridFocused()) return;
    if (!Control->Visible()) {
        if (!FControlPlaced) Control->SetLeft(Width() + 10);
        Control->Show();
        if (auto* Edit = dynamic_cast<TCustomEdit*>(Control)) Edit->SetModified(false);
    }
    if (FControlPlaced && Options().Contains(dgAlwaysShowEditor) && !IsExpandButtonExpanded()) {
        TCustomForm* Form = GetParentForm(this);
        if (::IsClassNamed(Control, "TwwDataInspector")) {
            if (!(Screen->ActiveControl() && Control->ContainsControl(Screen->ActiveControl())) &&
                Control->CanFocus())
                Control->SetFocus();
        } else if (Form && Screen->ActiveForm() == Form && HasFocus() && Control->CanFocus()) {
            Control->SetFocus();
        }
        Control->Invalidate();
    }
    if (InplaceEditor() && InplaceEditor()->Visible()) HideEditor();
}

// A control that keeps the focus ends the operation that asked for the
// hiding with the silent abort; it goes back where it stood first, so that
// nothing is left half moved.
void TwwDBGrid::HideCellControl() {
    TWinControl* Control = ActiveCellControl();
    if (!Control || !Control->Visible() || Control->Parent() != this) return;
    HWND Focus = GetFocus();
    const bool HasIt =
        Control->Focused() || (Focus && Control->HandleAllocated() && IsChild(Control->Handle(), Focus)) ||
        (Screen->ActiveControl() &&
         (Screen->ActiveControl() == Control || Control->ContainsControl(Screen->ActiveControl())));
    if (HasIt) {
        const int OldLeft = Control->Left();
        Control->SetLeft(ClientWidth() + 10);
        SetFocus();
        if (!Focused()) {
            Control->SetLeft(OldLeft);
            throw EAbort("");
        }
    }
    FHiding = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FHiding};
    Control->Hide();
}

void TwwDBGrid::UpdateData() {
    TwwCustomDBGrid::UpdateData();
    if (TWinControl* Control = ActiveCellControl(); Control && Control->Visible())
        Control->Perform(CM_EXIT, 0, 0);
}

void TwwDBGrid::RecordScrolled(int Distance) {
    TWinControl* Control = ActiveCellControl();
    TCustomForm* Form = GetParentForm(this);
    if (Visible() && Control && Control->Visible() &&
        (Control->Focused() ||
         (Form && (Form->ActiveControl() == Control ||
                   (Form->ActiveControl() && Form->ActiveControl()->Parent() == Control)))) &&
        CanFocus())
        SetFocus();
    TwwCustomDBGrid::RecordScrolled(Distance);
}

void TwwDBGrid::TopLeftChanged() {
    if (Options().Contains(dgRowSelect) && !FTopRowGuard) {
        const int First = Options().Contains(dgTitles) ? 1 : 0;
        if (TopRow() != First) {
            FTopRowGuard = true;
            SetTopRow(First);
            FTopRowGuard = false;
        }
    }
    TwwCustomDBGrid::TopLeftChanged();
    TWinControl* Control = ActiveCellControl();
    if (!Control || !Control->Visible()) return;
    TRect Cell;
    GetCellRect(Col(), Row(), Cell);
    if (IsRectEmpty(Cell)) {
        Control->Hide();
        return;
    }
    if (CellControlNeedsInset(Control))
        Cell = TRect(Cell.Left + 1, Cell.Top + 1, Cell.Right - 1, Cell.Bottom - 1);
    if (Control->BoundsRect() != Cell) {
        HideCellControl();
        Invalidate();
    }
}

void TwwDBGrid::DoExit() {
    HideCellControl();
    HideEditor();
    TwwCustomDBGrid::DoExit();
}

void TwwDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    HideCellControl();
    TwwCustomDBGrid::ColumnMoved(FromIndex, ToIndex);
}

void TwwDBGrid::DoColEnter() {
    AttachCellControl();
    TwwCustomDBGrid::DoColEnter();
}

void TwwDBGrid::DoColExit() {
    TCustomForm* Form = GetParentForm(this);
    if (!ComponentState().Contains(csDesigning) && Form &&
        (Form->ActiveControl() == this ||
         (ActiveCellControl() && Form->ActiveControl() == ActiveCellControl()))) {
        HideCellControl();
        SetActiveCellControl(nullptr);
    }
    TwwCustomDBGrid::DoColExit();
}

void TwwDBGrid::FireColWidthChanged() {
    if (Assigned(OnColWidthChanged)) OnColWidthChanged(this, FLastPressedColumn);
}

// ---------------------------------------------------------------------------
// Check boxes, memo cells, keys and the mouse
// ---------------------------------------------------------------------------

void TwwDBGrid::RedrawCellSelected(int GridCol, int GridRow) {
    TRect R;
    GetCellRect(GridCol, GridRow, R);
    if (IsRectEmpty(R) || !HandleAllocated()) return;
    InvalidateCell(GridCol, GridRow);
    Update();
}

void TwwDBGrid::ToggleCheckBox(int GridCol, int GridRow) {
    AnsiString Checked, Unchecked;
    if (!GetCheckBoxValues(GridCol, GridRow, Checked, Unchecked)) return;
    TField* F = GetColField(GridCol - IndicatorOffset());
    if (!F || F->ReadOnly() || ColumnAt(GridCol - IndicatorOffset())->ReadOnly()) return;
    if (F->Calculated() && LowerCase(F->FieldName()) == "selected") {
        if (IsCurrentRecordSelected()) UnselectRecord();
        else SelectRecord();
        return;
    }
    TDataSource* Source = DataSource();
    TDataSet* DS = Source ? Source->DataSet() : nullptr;
    const bool Editing = Source && (Source->State() == dsEdit || Source->State() == dsInsert);
    if (!Source || !(Source->AutoEdit() || Editing) || (DS && !DS->CanModify())) return;
    if (DS && DS->Bof() && DS->Eof() && DS->State() == dsBrowse && !KeyOptions().Contains(dgAllowInsert))
        return;
    DataLink()->Edit();
    if (!DataLink()->Editing()) return;
    const AnsiString Shown = GetCellDisplayText(GridCol - IndicatorOffset());
    SetFieldEditText(GridCol - IndicatorOffset(), SameText(Shown, Checked) ? Unchecked : Checked);
    RedrawCellSelected(GridCol, GridRow);
}

bool TwwDBGrid::MayToggleCheckBox(int GridCol) { return CanEditGrid() || IsSelectionCheckBoxColumn(GridCol); }

void TwwDBGrid::OpenMemoDialog() {
    if (FMemoAttributes.Contains(mDisableDialog)) return;
    TField* F = SelectedField();
    if (!F) return;
    auto* Dialog = NewComponent<TwwMemoDialog>(this);
    struct TDone {
        TwwDBGrid* Grid;
        TwwMemoDialog* Dialog;
        ~TDone() {
            Dialog->Free();
            Grid->RedrawCellSelected(Grid->Col(), Grid->Row());
            Grid->SetEditorMode(false);
        }
    } Done{this, Dialog};
    Dialog->SetDataSource(DataSource());
    Dialog->SetDataField(F->FieldName());
    TwwMemoAttributes Attributes = FMemoAttributes;
    if (!CanEditGrid() || F->ReadOnly()) Attributes.Include(mViewOnly);
    Dialog->SetMemoAttributes(Attributes);
    Dialog->SetCaption(ReplaceChar(F->DisplayLabel(), '~', ' '));
    Dialog->SetFont(Font());
    Dialog->SetDlgLeft(-1);
    if (Assigned(OnMemoOpen)) OnMemoOpen(this, Dialog);
    const bool Ok = Dialog->Execute();
    if (Assigned(OnMemoClose)) OnMemoClose(this, !Ok);
}

void TwwDBGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl* Control = ActiveCellControl();
    if (Key == VK_DOWN && Shift.Contains(ssAlt) && Control && Control->Visible() &&
        CellUsesControl(Col(), Row())) {
        Control->SetFocus();
        PostKeyWithModifier(Control->Handle(), VK_DOWN, VK_MENU);
        Key = 0;
        return;
    }
    const WORD Typed = Key;
    TwwCustomDBGrid::KeyDown(Key, Shift);
    if (Key == 0 && Typed != VK_SPACE && Typed != VK_F2 && Typed != VK_DELETE && !IsCharacterKey(Typed))
        return;
    if (!DataLink()->Active() || !CanGridAcceptKey(Typed, Shift)) return;
    if (Typed == VK_SPACE && Options().Contains(dgRowSelect) && Options().Contains(dgMultiSelect)) {
        ToggleRecordSelection();
        return;
    }
    const bool Memo = IsMemoCell(Col(), Row());
    if (!(Memo || CanEditGrid() || IsSelectionCheckBoxColumn(Col()))) return;
    AnsiString Checked, Unchecked;
    if (GetCheckBoxValues(Col(), Row(), Checked, Unchecked)) {
        if (Typed == VK_SPACE && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt))
            ToggleCheckBox(Col(), Row());
        return;
    }
    TField* F = SelectedField();
    AnsiString Kind, Params;
    if (F) GetFieldControlType(F->FieldName(), Kind, Params);
    if (Kind == "RichEdit") {
        if (Typed == VK_F2) {
            int Position = 1;
            if (TWinControl* Rich = FindCellControl(NextToken(Params, ";", Position)))
                SendMessage(Rich->Handle(), WM_KEYDOWN, VK_F2, 0);
            InvalidateCell(Col(), Row());
        }
        return;
    }
    TWinControl* CellControl = nullptr;
    if (GetCellControl(Col(), Row(), CellControl) && CellControl) {
        if (Typed == VK_F2 && CellControl->Visible()) {
            CellControl->SetFocus();
        } else if (IsCharacterKey(Typed) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) &&
                   CellControl->Visible()) {
            CellControl->SetFocus();
            uint8_t Saved[256], State[256];
            GetKeyboardState(Saved);
            std::copy(Saved, Saved + 256, State);
            State[Typed] |= 0x80;
            SetKeyboardState(State);
            SendMessage(CellControl->Handle(), WM_KEYDOWN, Typed, 1);
            SetKeyboardState(Saved);
        }
        return;
    }
    if (Memo) {
        if (Typed == VK_F2) {
            OpenMemoDialog();
            InvalidateCell(Col(), Row());
        }
        return;
    }
    if (CanEditGrid() && Typed == VK_DELETE && !Shift.Contains(ssCtrl) && !CellUsesControl(Col(), Row())) {
        ShowEditorIfAllowed();
        if (InplaceEditor() && InplaceEditor()->Visible())
            SendMessage(InplaceEditor()->Handle(), WM_KEYDOWN, VK_DELETE, 0);
    }
}

void TwwDBGrid::WMChar(TMessage& Message) {
    const unsigned char Ch = static_cast<unsigned char>(Message.CharCode());
    if ((IsMemoCell(Col(), Row()) || CellUsesControl(Col(), Row())) && CanEditGrid() &&
        (Ch == 8 || Ch >= 32)) {
        TWinControl* Control = nullptr;
        if (GetCellControl(Col(), Row(), Control) && Control && Control->Visible()) {
            Control->SetFocus();
            PostMessage(Control->Handle(), WM_CHAR, Ch, 0);
        }
        return;
    }
    TwwCustomDBGrid::WMChar(Message);
}

void TwwDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Options().Contains(dgFixedResizable) || Options().Contains(dgFixedEditable)) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        CalcSizingState(X, Y, FGridState, FFixedSizingIndex, FFixedSizingPos, FFixedSizingOfs, D);
        if (FFixedSizingIndex - IndicatorOffset() < 0 || FFixedSizingIndex - IndicatorOffset() >= FFixedCols)
            FFixedSizingIndex = -1;
        if (FGridState != gsColSizing) FGridState = gsNormal;
    }
    TwwCustomDBGrid::MouseDown(Button, Shift, X, Y);
    int C, R;
    CellAtPoint(X, Y, C, R);
    if (!Shift.Contains(ssDouble) && C >= 0 && R >= 0) MultiSelectMouseDown(Button, Shift, C, R);
    if (Button != mbLeft) return;
    const bool DataCell = C >= IndicatorOffset() && R >= TitleOffset() && IsValidDataCell(C, R);
    if (DataCell && (CanEditGrid() || IsSelectionCheckBoxColumn(C) || Options().Contains(dgMultiSelect)) &&
        C == Col() && R == Row()) {
        TWinControl* Control = nullptr;
        if (GetCellControl(C, R, Control) && Control && !Control->Visible()) RedrawCellSelected(C, R);
    }
    if (HandleAllocated()) Update();
    AnsiString Checked, Unchecked;
    if (DataCell && MayToggleCheckBox(C) && GetCheckBoxValues(C, R, Checked, Unchecked)) {
        const bool Single = EditControlOptions().Contains(ecoCheckboxSingleClick);
        if (Shift.Contains(ssDouble) != Single) {
            ToggleCheckBox(C, R);
            if (HandleAllocated()) Update();
        }
    }
}

void TwwDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (Options().Contains(dgFixedResizable) && FGridState == gsColSizing && FFixedSizingIndex >= 0)
        FFixedSizingPos = X + FFixedSizingOfs;
    TwwCustomDBGrid::MouseMove(Shift, X, Y);
}

void TwwDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Options().Contains(dgFixedResizable) && FGridState == gsColSizing && FFixedSizingIndex >= 0) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        int Start = 0;
        for (int C = 0; C < FFixedSizingIndex; ++C) Start += D.Horz.Advance(C);
        const int NewWidth = FFixedSizingPos - Start;
        if (NewWidth > 1) {
            SetColWidths(FFixedSizingIndex, NewWidth);
            NotifyFormDesigner(this);
        }
        FFixedSizingIndex = -1;
        FGridState = gsNormal;
    }
    FFixedSizingIndex = -1;
    TwwCustomDBGrid::MouseUp(Button, Shift, X, Y);
}

void TwwDBGrid::ColWidthsChanged() {
    if (Options().Contains(dgFixedResizable) && FGridState == gsColSizing && FFixedSizingIndex >= 0 &&
        FFixedSizingIndex < TCustomGrid::FixedCols())
        FGridState = gsNormal;
    TwwCustomDBGrid::ColWidthsChanged();
}

void TwwDBGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                TGridDrawInfo& FixedInfo) {
    State = gsNormal;
    Index = -1;
    if (Options().Contains(dgColumnResize) && Options().Contains(dgFixedResizable) &&
        X <= FixedInfo.Horz.FixedBoundary + 3 && Y < FixedInfo.Vert.FixedBoundary) {
        FixedInfo.Horz.GridExtent = ClientWidth();
        FixedInfo.Vert.GridExtent = ClientHeight();
        const int W = FixedInfo.Horz.EffectiveLineWidth;
        const int Catch = W < 7 ? 7 : W, H = W < 7 ? (7 - W) / 2 : 0;
        int Sum = 0;
        for (int C = 0; C < ColCount(); ++C) {
            Sum += std::max(0, ColWidths(C));
            if (Sum > FixedInfo.Horz.GridBoundary) break;
            if (Sum - H <= X && X <= Sum - H + Catch && C >= IndicatorOffset()) {
                State = gsColSizing;
                SizingPos = Sum;
                SizingOfs = Sum - X;
                Index = C;
                return;
            }
            Sum += W;
        }
        return;
    }
    TwwCustomDBGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
}

void TwwDBGrid::WMLButtonDblClk(TMessage& Message) {
    TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
             static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
    int C, R;
    CellAtPoint(P.x, P.y, C, R);
    TField* F = C >= IndicatorOffset() && R >= TitleOffset() ? GetColField(C - IndicatorOffset()) : nullptr;
    AnsiString Kind, Params;
    if (F) GetFieldControlType(F->FieldName(), Kind, Params);
    const bool Memo = R >= 0 && C >= 0 && IsMemoCell(C, R);
    TwwCustomDBGrid::WMLButtonDblClk(Message);
    if (Kind == "RichEdit") {
        int Position = 1;
        if (TWinControl* Rich = FindCellControl(NextToken(Params, ";", Position)))
            SendMessage(Rich->Handle(), WM_KEYDOWN, VK_F2, 0);
    } else if (Memo) {
        OpenMemoDialog();
    }
}

void TwwDBGrid::CMDesignHitTest(TMessage& Message) {
    TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
             static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
    if (Sizing(P.x, P.y)) {
        Message.Result = -1;
        return;
    }
    int C, R;
    CellAtPoint(P.x, P.y, C, R);
    Message.Result =
        Options().Contains(dgTitles) && R == 0 && C >= IndicatorOffset() && DataLink()->Active() ? 1 : 0;
}
