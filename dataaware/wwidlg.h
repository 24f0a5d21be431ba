#pragma once
// The lookup form and the two dialog components that show it.
//
// TwwLookupDlg (forms/TwwLookupDlg.zfm) is the modal form of the lookup and
// search dialogs and of the lookup-dialog combo: an incremental search edit
// over a data-aware grid of the records, an optional index picker ("Search
// &By"), an optional status header with the table name and the record
// position, up to two user buttons, and OK and Cancel, which the form makes
// itself. It sizes itself to the grid's columns within MaxWidth and
// MaxHeight, puts the fields of the current order first, makes the first of
// them the search field, and closes with OK on Enter or on a double click in
// the grid.
//
// RunLookupDialog makes one such form, fills it from a dialog's settings,
// shows it modally and frees it. TwwLookupDialog shows LookupTable through
// it; TwwSearchDialog shows SearchTable, or browses a second data set on the
// same table (ShadowSearchTable) and moves SearchTable only on OK.
//
// Decisions:
// - The form re-creates its window once, when it first shows (the settings
//   report an NT system). The form shows only after the new window exists,
//   so the modal loop, the focus and the placement all see the new window.
// - RunLookupDialog takes its many settings as one TwwLookupDialogSettings.
// - The index picker's keys other than Down on a closed list are the key
//   combo's: they are how its open list is moved in and picked from.
// - GridOptions is stored unless it equals what the constructor sets
//   (10236): a form that sets exactly that set reads it back.
#include <cstdint>

#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/wwDialog.h"
#include "platform/ui/Forms.h"

class TButton;
class THeader;
class TLabel;
class TPanel;
class TwwDataSource;
class TwwLookupDlg;

enum TwwDBLookupDlgOption : uint8_t {
    opShowOKCancel,
    opShowSearchBy,
    opGroupControls,
    opFixFirstColumn,
    opShowStatusBar,
    opDisableReorderColumns
};
ZELMOR_DECLARE_ENUM(TwwDBLookupDlgOption);
using TwwDBLookupDlgOptions = TSet<TwwDBLookupDlgOption>;

// (the form, the data set it shows)
using TwwUserButtonEvent = TEvent<void(TObject* Sender, TDataSet* LookupTable)>;
using TwwOnInitDialogEvent = TEvent<void(TwwLookupDlg* Dialog)>;
using TwwSyncDataSetsEvent = TEvent<void(TObject* Sender, TDataSet* MoveDataSet, TDataSet* BaseDataSet)>;

// The grid options a lookup dialog's grid starts with (the value 10236).
inline constexpr TwwDBGridOptions wwLookupDialogGridOptions{
    dgTitles, dgIndicator, dgColumnResize,        dgColLines,      dgRowLines,
    dgTabs,   dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgPerfectRowFit};

// The index picker of the lookup form: a key combo that knows its form.
class TwwTempKeyCombo : public TwwKeyCombo {
    ZELMOR_CLASS(TwwTempKeyCombo, TwwKeyCombo)
public:
    explicit TwwTempKeyCombo(TComponent* AOwner) : TwwKeyCombo(AOwner) {}
    TwwLookupDlg* Form = nullptr;

protected:
    // Down without Alt opens the closed list; the other keys take the combo's
    // own way, which moves in the open list and picks from it.
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Change() override;
};

class TwwLookupDlg : public TForm {
    ZELMOR_CLASS(TwwLookupDlg, TForm)
public:
    explicit TwwLookupDlg(TComponent* AOwner);
    void AfterConstruction() override;
    static void DescribeProperties(TPropertyTable& T);

    // From the form file.
    TLabel* SearchCharacterLabel = nullptr;
    TLabel* SortByLabel = nullptr;
    TwwDBGrid* wwDBGrid1 = nullptr;
    TwwIncrementalSearch* wwIncrementalSearch1 = nullptr;
    THeader* StatusHeader = nullptr;
    TPanel* UserButtonPanel = nullptr;
    TButton* UserButton1 = nullptr;
    TButton* UserButton2 = nullptr;
    TwwDataSource* DataSource1 = nullptr;
    // Made by the form.
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TwwTempKeyCombo* wwKeyCombo1 = nullptr;

    // What RunLookupDialog hands over before the form shows.
    TDataSet* DataSet = nullptr;
    TComponent* OwnerComponent = nullptr;
    TwwDBLookupDlgOptions Options{opShowOKCancel, opShowSearchBy};
    int MaxWidth = 0;
    int MaxHeight = 360;
    AnsiString InitialSearchText;
    bool PictureMaskFromField = false;
    TNotifyEvent OnSortChange;
    TwwOnInitDialogEvent OnCloseDialog;
    TwwOnInitDialogEvent OnInitDialog;
    TwwUserButtonEvent OnUserButton1Click;
    TwwUserButtonEvent OnUserButton2Click;

    // Sizes the grid to its columns within the limits and lays the controls
    // out around it; ColumnsOnly widens the last column to the minimum only.
    void ArrangeControls(bool ColumnsOnly);
    // Puts the fields of the data set's current order first and makes the
    // first of them the search field.
    void ApplyIndexOrder();
    void UseFirstColumnAsSearchField();
    // The table name and "Rec # n of m" in the status header.
    void UpdateStatus();
    // The explicit left position of the form; -1 centres it on the screen.
    int ExplicitLeft() const { return FExplicitLeft; }
    bool Activated() const { return FActivated; }
    bool WindowRecreated() const { return FWindowRecreated; }

    void wwKeyCombo1Change(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void wwKeyCombo1Enter(TObject* Sender);
    void wwDBGrid1DblClick(TObject* Sender);
    void wwDBGrid1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void wwDBGrid1ColumnMoved(TObject* Sender, int FromIndex, int ToIndex);
    void DataSource1DataChange(TObject* Sender, TField* Field);
    void UserButton1Click(TObject* Sender);
    void UserButton2Click(TObject* Sender);

protected:
    void DoShow() override;
    void Activate() override;
    void CMShowingChanged(TMessage& Message) override;

private:
    void ApplyIntlTexts();
    // MaxWidth and MaxHeight within the screen (0: the screen's limit).
    void LimitToScreen();
    bool SearchesByField();
    bool HasIndexInformation();
    bool FActivated = false;
    bool FShowingInProgress = false;
    bool FWindowRecreated = false;
    int FExplicitLeft = -1;
    bool FMemoCellClicked = false;
    bool FForwardingKey = false;
};

// What RunLookupDialog shows and how.
struct TwwLookupDialogSettings {
    TCustomForm* ActiveForm = nullptr;
    TComponent* OwnerComponent = nullptr;
    TStrings* Selected = nullptr;
    bool PictureMaskFromField = false;
    bool UseTFields = true;
    AnsiString InitialSearchText;
    TNotifyEvent OnSortChange;
    TwwOnInitDialogEvent OnCloseDialog;
    TwwOnInitDialogEvent OnInitDialog;
    TwwUserButtonEvent OnUserButton2Click;
    TwwUserButtonEvent OnUserButton1Click;
    AnsiString UserButton2Caption;
    AnsiString UserButton1Caption;
    TEditCharCase CharCase = ecNormal;
    int MaxHeight = 209;
    int MaxWidth = 0;
    AnsiString Caption;
    TAlignment GridTitleAlignment = taLeftJustify;
    TColor GridColor = clWhite;
    TwwDBGridOptions GridOptions = wwLookupDialogGridOptions;
    TwwDBLookupDlgOptions Options{opShowOKCancel, opShowSearchBy};
    TDataSet* DataSet = nullptr;
};

// Shows the lookup form modally over the data set; true when it closed with
// OK. The form lives for the call.
bool RunLookupDialog(const TwwLookupDialogSettings& Settings);
// The form filled from the settings, not shown yet; the caller frees it.
TwwLookupDlg* NewLookupDlg(const TwwLookupDialogSettings& Settings);
// One line per visible field (name, width, label, "F"); an inactive data set
// is told and leaves the list empty.
void FillSelectedFromFields(TStrings* Lines, TDataSet* DataSet);

// What a dialog component and the lookup-dialog combo both keep for the
// form: read from either into the settings of a run over DataSet, and
// published by both under the same names.
template <class C>
TwwLookupDialogSettings LookupDialogSettingsOf(C& Owner, TDataSet* DataSet) {
    TwwLookupDialogSettings s;
    s.ActiveForm = Screen->ActiveForm();
    s.OwnerComponent = &Owner;
    s.Selected = Owner.Selected();
    s.PictureMaskFromField = Owner.PictureMaskFromField();
    s.UseTFields = Owner.UseTFields();
    s.OnSortChange = Owner.OnSortChange;
    s.OnCloseDialog = Owner.OnCloseDialog;
    s.OnInitDialog = Owner.OnInitDialog;
    s.OnUserButton2Click = Owner.OnUserButton2Click;
    s.OnUserButton1Click = Owner.OnUserButton1Click;
    s.UserButton2Caption = Owner.UserButton2Caption();
    s.UserButton1Caption = Owner.UserButton1Caption();
    s.CharCase = Owner.CharCase();
    s.MaxHeight = Owner.MaxHeight();
    s.MaxWidth = Owner.MaxWidth();
    s.Caption = Owner.Caption();
    s.GridTitleAlignment = Owner.GridTitleAlignment();
    s.GridColor = Owner.GridColor();
    s.GridOptions = Owner.GridOptions();
    s.Options = Owner.Options();
    s.DataSet = DataSet;
    return s;
}

template <class C>
void DescribeLookupDialogSettings(TPropertyTable& T) {
    T.Property("Options", &C::Options, &C::SetOptions)
        .Default(TwwDBLookupDlgOptions{opShowOKCancel, opShowSearchBy});
    T.Property("GridOptions", &C::GridOptions, &C::SetGridOptions).Default(wwLookupDialogGridOptions);
    T.Property("GridColor", &C::GridColor, &C::SetGridColor).OfType(ColorTypeInfo());
    T.Property("GridTitleAlignment", &C::GridTitleAlignment, &C::SetGridTitleAlignment);
    T.Property("Caption", &C::Caption, &C::SetCaption);
    T.Property("MaxWidth", &C::MaxWidth, &C::SetMaxWidth);
    T.Property("MaxHeight", &C::MaxHeight, &C::SetMaxHeight);
    T.Property("UserButton1Caption", &C::UserButton1Caption, &C::SetUserButton1Caption);
    T.Property("UserButton2Caption", &C::UserButton2Caption, &C::SetUserButton2Caption);
    T.Property("PictureMaskFromField", &C::PictureMaskFromField, &C::SetPictureMaskFromField).Default(false);
    T.Property("ControlType", &C::ControlType, &C::SetControlType);
    T.Property("ControlInfoInDataset", &C::ControlInfoInDataset, &C::SetControlInfoInDataset).Default(true);
    T.Property("PictureMasks", &C::PictureMasks, &C::SetPictureMasks);
    T.Property("PictureMaskFromDataset", &C::PictureMaskFromDataset, &C::SetPictureMaskFromDataset)
        .Default(true);
    T.Event("OnUserButton1Click", &C::OnUserButton1Click);
    T.Event("OnUserButton2Click", &C::OnUserButton2Click);
    T.Event("OnInitDialog", &C::OnInitDialog);
    T.Event("OnCloseDialog", &C::OnCloseDialog);
    T.Event("OnSortChange", &C::OnSortChange);
}

class TwwCustomLookupDialog : public TwwCustomDialog {
    ZELMOR_CLASS(TwwCustomLookupDialog, TwwCustomDialog)
public:
    explicit TwwCustomLookupDialog(TComponent* AOwner);
    ~TwwCustomLookupDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    // The search dialog's way (also the search dialog's Execute).
    bool Execute() override;
    // Raises EInvalidOperation: a descendant says which data set it works on.
    TDataSet* GetPrimaryDataSet() override;
    virtual void DoSyncDataSets(TDataSet* MoveDataSet, TDataSet* BaseDataSet);

    TStrings* Selected() const { return FSelected.get(); }
    void SetSelected(TStrings* Value);
    TwwDBLookupDlgOptions Options() const { return FOptions; }
    void SetOptions(TwwDBLookupDlgOptions Value) { FOptions = Value; }
    TwwDBGridOptions GridOptions() const { return FGridOptions; }
    void SetGridOptions(TwwDBGridOptions Value) { FGridOptions = Value; }
    TColor GridColor() const { return FGridColor; }
    void SetGridColor(TColor Value) { FGridColor = Value; }
    TAlignment GridTitleAlignment() const { return FGridTitleAlignment; }
    void SetGridTitleAlignment(TAlignment Value) { FGridTitleAlignment = Value; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value) { FCharCase = Value; }
    bool UseTFields() const { return FUseTFields; }
    void SetUseTFields(bool Value) { FUseTFields = Value; }
    bool PictureMaskFromField() const { return FPictureMaskFromField; }
    void SetPictureMaskFromField(bool Value) { FPictureMaskFromField = Value; }
    TStrings* ControlType() const { return FControlType.get(); }
    void SetControlType(TStrings* Value);
    TStrings* PictureMasks() const { return FPictureMasks.get(); }
    void SetPictureMasks(TStrings* Value);
    bool ControlInfoInDataset() const { return FControlInfoInDataset; }
    void SetControlInfoInDataset(bool Value) { FControlInfoInDataset = Value; }
    bool PictureMaskFromDataset() const { return FPictureMaskFromDataset; }
    void SetPictureMaskFromDataset(bool Value) { FPictureMaskFromDataset = Value; }
    const AnsiString& UserButton1Caption() const { return FUserButton1Caption; }
    void SetUserButton1Caption(const AnsiString& Value) { FUserButton1Caption = Value; }
    const AnsiString& UserButton2Caption() const { return FUserButton2Caption; }
    void SetUserButton2Caption(const AnsiString& Value) { FUserButton2Caption = Value; }

    TwwUserButtonEvent OnUserButton1Click;
    TwwUserButtonEvent OnUserButton2Click;
    TwwOnInitDialogEvent OnInitDialog;
    TwwOnInitDialogEvent OnCloseDialog;
    TNotifyEvent OnSortChange;
    TwwSyncDataSetsEvent OnSyncDataSets;
    TwwPerformSearchEvent OnPerformCustomSearch;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Published as LookupTable or ShadowSearchTable.
    TDataSet* FirstDataSet() const { return FFirstDataSet; }
    void SetFirstDataSet(TDataSet* Value);
    TDataSet* SearchTableValue() const { return FSearchTable; }
    void SetSearchTableValue(TDataSet* Value);

private:
    std::unique_ptr<TStringList> FSelected;
    std::unique_ptr<TStringList> FControlType;
    std::unique_ptr<TStringList> FPictureMasks;
    TDataSet* FFirstDataSet = nullptr;
    TDataSet* FSearchTable = nullptr;
    TwwDBLookupDlgOptions FOptions{opShowOKCancel, opShowSearchBy};
    TwwDBGridOptions FGridOptions = wwLookupDialogGridOptions;
    TColor FGridColor = clWhite;
    TAlignment FGridTitleAlignment = taLeftJustify;
    AnsiString FCaption = "Search";
    int FMaxWidth = 0;
    int FMaxHeight = 209;
    TEditCharCase FCharCase = ecNormal;
    bool FUseTFields = true;
    bool FPictureMaskFromField = false;
    bool FControlInfoInDataset = true;
    bool FPictureMaskFromDataset = true;
    AnsiString FUserButton1Caption;
    AnsiString FUserButton2Caption;
};

class TwwLookupDialog : public TwwCustomLookupDialog {
    ZELMOR_CLASS(TwwLookupDialog, TwwCustomLookupDialog)
public:
    explicit TwwLookupDialog(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override { return LookupTable(); }
    TDataSet* LookupTable() const { return FirstDataSet(); }
    void SetLookupTable(TDataSet* Value) { SetFirstDataSet(Value); }
};

class TwwSearchDialog : public TwwCustomLookupDialog {
    ZELMOR_CLASS(TwwSearchDialog, TwwCustomLookupDialog)
public:
    explicit TwwSearchDialog(TComponent* AOwner) : TwwCustomLookupDialog(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
    TDataSet* GetPrimaryDataSet() override { return SearchTable(); }
    TDataSet* SearchTable() const { return SearchTableValue(); }
    void SetSearchTable(TDataSet* Value) { SetSearchTableValue(Value); }
    TDataSet* ShadowSearchTable() const { return FirstDataSet(); }
    void SetShadowSearchTable(TDataSet* Value) { SetFirstDataSet(Value); }
};
