#pragma once
// The published data-aware grid, TwwDBGrid: the base grid made complete. It
// publishes the base's properties and events and adds fixed data columns in
// the title colour, the texts of memo and rich-text cells (a hidden rich edit
// turns rich text into plain text), the memo dialog of memo cells, check-box
// toggling, and separate cell controls: a control on the form that a
// ControlType line names edits its column's current cell, and copies of it
// are painted into the other cells.
//
// Also here: the memo dialog (TwwMemoDialog) and the layout-store settings
// (TwwIniAttributes), which the program's forms stream with their grids.
#include <memory>

#include "dataaware/Wwdbigrd.h"
#include "platform/db/DB.h"

class TwwDBRichEdit;
class TwwExportOptions;
class TwwMemoDlg;
class TMemo;
struct TwwMultiSelection;

enum TwwMemoAttribute : uint8_t { mSizeable, mWordWrap, mGridShow, mViewOnly, mDisableDialog };
ZELMOR_DECLARE_ENUM(TwwMemoAttribute);
using TwwMemoAttributes = TSet<TwwMemoAttribute>;

// Where a grid keeps its column layout between runs (wwgridlayout.h). The
// program's grids stream only Delimiter and leave Enabled false.
class TwwIniAttributes : public TPersistent {
    ZELMOR_CLASS(TwwIniAttributes, TPersistent)
public:
    explicit TwwIniAttributes(TComponent* Grid) : FGrid(Grid) {}
    static void DescribeProperties(TPropertyTable& T);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool SaveToRegistry() const { return FSaveToRegistry; }
    void SetSaveToRegistry(bool Value) { FSaveToRegistry = Value; }
    const AnsiString& FileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    const AnsiString& SectionName() const { return FSectionName; }
    void SetSectionName(const AnsiString& Value) { FSectionName = Value; }
    const AnsiString& Delimiter() const { return FDelimiter; }
    void SetDelimiter(const AnsiString& Value) { FDelimiter = Value; }
    bool CheckNewFields() const { return FCheckNewFields; }
    void SetCheckNewFields(bool Value) { FCheckNewFields = Value; }
    const AnsiString& FormName() const { return FFormName; }
    void SetFormName(const AnsiString& Value) { FFormName = Value; }
    TComponent* Grid() const { return FGrid; }
    // FileName, else DefaultIntl's IniFileName, else (an ini file at run
    // time) the program's name before its first "." with ".ini".
    AnsiString EffectiveFileName() const;
    // SectionName, else (at run time) the form's name and the grid's.
    AnsiString EffectiveSectionName() const;
    void Assign(TPersistent* Source) override;

private:
    TComponent* FGrid;
    bool FEnabled = false;
    bool FSaveToRegistry = false;
    AnsiString FFileName, FSectionName;
    AnsiString FDelimiter = ";;";
    bool FCheckNewFields = false;
    AnsiString FFormName;
};

using TwwOnInitMemoDlgEvent = TEvent<void(TwwMemoDlg* Dialog)>;
using TwwMemoUserButtonEvent = TEvent<void(TwwMemoDlg* Dialog, TMemo* Memo)>;

// A long text edited in a modal window: a field of a data set (a memo or
// other blob, or any field through its text) or the component's own Lines.
class TwwMemoDialog : public TComponent {
    ZELMOR_CLASS(TwwMemoDialog, TComponent)
public:
    explicit TwwMemoDialog(TComponent* AOwner);
    ~TwwMemoDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    TwwMemoAttributes MemoAttributes() const { return FMemoAttributes; }
    void SetMemoAttributes(TwwMemoAttributes Value) { FMemoAttributes = Value; }
    int DlgLeft() const { return FDlgLeft; }
    void SetDlgLeft(int Value) { FDlgLeft = Value; }
    int DlgTop() const { return FDlgTop; }
    void SetDlgTop(int Value) { FDlgTop = Value; }
    int DlgWidth() const { return FDlgWidth; }
    void SetDlgWidth(int Value) { FDlgWidth = Value; }
    int DlgHeight() const { return FDlgHeight; }
    void SetDlgHeight(int Value) { FDlgHeight = Value; }
    const AnsiString& UserButton1Caption() const { return FUserButton1Caption; }
    void SetUserButton1Caption(const AnsiString& Value) { FUserButton1Caption = Value; }
    const AnsiString& UserButton2Caption() const { return FUserButton2Caption; }
    void SetUserButton2Caption(const AnsiString& Value) { FUserButton2Caption = Value; }
    // The window while one is open.
    TwwMemoDlg* DialogForm() const { return FDialogForm; }
    void SetDialogForm(TwwMemoDlg* Value) { FDialogForm = Value; }

    TwwOnInitMemoDlgEvent OnInitDialog;
    TwwOnInitMemoDlgEvent OnCloseDialog;
    TwwMemoUserButtonEvent OnUserButton1Click;
    TwwMemoUserButtonEvent OnUserButton2Click;

    virtual void DoInitDialog(TwwMemoDlg* Dialog);
    virtual void DoCloseDialog(TwwMemoDlg* Dialog);
    // True when the window was closed with OK.
    virtual bool Execute();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TFieldDataLink> FDataLink;
    std::unique_ptr<TStringList> FLines;
    std::unique_ptr<TFont> FFont;
    AnsiString FCaption;
    TwwMemoAttributes FMemoAttributes{mSizeable, mWordWrap};
    int FDlgLeft = 0, FDlgTop = 0, FDlgWidth = 561, FDlgHeight = 396;
    AnsiString FUserButton1Caption, FUserButton2Caption;
    TwwMemoDlg* FDialogForm = nullptr;
};

class TwwDBGrid;
class TwwDBDateTimePicker;
using TwwMemoOpenEvent = TEvent<void(TwwDBGrid* Grid, TwwMemoDialog* MemoDialog)>;
using TwwMemoCloseEvent = TEvent<void(TwwDBGrid* Grid, bool Cancel)>;
using TwwSelectRecordEvent = TEvent<void(TwwDBGrid* Grid, bool Selecting, bool& Accept)>;
using TwwSelectAllRecordEvent = TEvent<void(TwwDBGrid* Grid, bool Selecting, bool& Accept)>;
using TwwExportFieldEvent = TEvent<void(TwwDBGrid* Grid, TField* Field, bool& Accept)>;
using TwwExportSYLKFormatEvent = TEvent<void(TwwDBGrid* Grid, TField* Field, AnsiString& SYLKFormat)>;
using TwwCreateDTPEvent = TEvent<void(TObject* Sender, TWinControl* ADateTimePicker)>;

class TwwDBGrid : public TwwCustomDBGrid {
    ZELMOR_CLASS(TwwDBGrid, TwwCustomDBGrid)
public:
    explicit TwwDBGrid(TComponent* AOwner);
    ~TwwDBGrid() override;
    static void DescribeProperties(TPropertyTable& T);

    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    TColor TitleColor() const { return GetTitleColor(); }
    void SetTitleColor(TColor Value) { SetTitleColorValue(Value); }
    TwwMemoAttributes MemoAttributes() const { return FMemoAttributes; }
    void SetMemoAttributes(TwwMemoAttributes Value);
    TwwIniAttributes* IniAttributes() const { return FIniAttributes.get(); }
    void SetIniAttributes(TwwIniAttributes* Value) { FIniAttributes->Assign(Value); }
    TwwExportOptions* ExportOptions() const { return FExportOptions.get(); }
    void SetExportOptions(TwwExportOptions* Value);
    bool LoadAllRTF() const { return FLoadAllRTF; }
    void SetLoadAllRTF(bool Value) { FLoadAllRTF = Value; }
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value) { FDisableThemes = Value; }

    int GetRowCount() const { return RowCount(); }
    int GetCurrentDataRow() const { return Row() - (Options().Contains(dgTitles) ? 1 : 0); }
    int GetColCount() const { return ColCount(); }
    TField* GetCurrentField() const { return SelectedField(); }
    void SetFieldEditText(int DataCol, const AnsiString& Text);
    void ShowRecordAtRow(int DataRow);
    // The data set went back to a record after a walk: it stands again on row Row.
    void KeepRecordOnRow(int Row);
    TwwDBRichEdit* RichEdit() const { return FRichEdit; }

    void ToggleCheckBox(int GridCol, int GridRow);
    void OpenMemoDialog();
    void CellAtPointW(int X, int Y, int& ACol, int& ARow) { CellAtPoint(X, Y, ACol, ARow); }

    // Cell controls.
    virtual void ShowCellControl();
    virtual void AttachCellControl();
    void AttachSeparateControls();
    void BindCellControl(TWinControl* Control);
    bool HasFocus();

    bool CellUsesControl(int GridCol, int GridRow) override;
    void HideCellControl() override;
    TWinControl* DateTimePicker() const override;
    virtual void CreateDateTimePicker();
    virtual void DoCreateDateTimePicker();
    void GetFieldControlType(std::string_view FieldName, AnsiString& Kind, AnsiString& Params) override;
    void UpdateData() override;
    void RecordScrolled(int Distance) override;
    void SetColumnWidths() override;
    void LinkActive(bool Active) override;
    TColor GetColumnColor(int GridCol) override;
    void ApplySelected() override;
    AnsiString GetCellDisplayText(int DataCol) override;
    void DoColEnter() override;
    void DoColExit() override;
    void NoteFieldChangeReported(bool Reported) override { FFieldChangeReported = Reported; }
    bool FieldChangeReported() const override { return FFieldChangeReported; }
    void RefreshFromDataSet();

    // --- multi-selection (wwmultiselect.cpp) ---
    void CacheRowSelection() override;
    void SelectRecord() override;
    void UnselectRecord() override;
    void UnselectAll() override;
    bool IsRecordSelected(int BufferRow) override;
    bool IsCurrentRecordSelected() override;
    // The current record is in the list (never while it is being edited).
    bool IsBookmarkSelected();
    // The list's own bookmark of the current record, or none.
    const TBookmark* FindSelectedBookmark();
    // Selects the records from From to To (To: the anchor).
    void SelectRecordRange(TBookmark From, TBookmark To);
    // Unselects the selected records from Low to High, as the handler lets.
    void UnselectRecordRange(const TBookmark& Low, const TBookmark& High);
    // Into data-set order.
    void SortSelectedBookmarks();
    const std::vector<TBookmark>& SelectedList() const;
    // The list, the anchor and the per-row cache as they stand.
    const TwwMultiSelection& Selection() const { return *FSelection; }
    void ToggleRecordSelection();

    // --- the export's events (wwexport.cpp) ---
    virtual void DoExportField(TField* Field, bool& Accept);
    virtual void DoExportSYLKFormat(TField* Field, AnsiString& SYLKFormat);

    // --- the column layout kept between runs (wwgridlayout.cpp) ---
    virtual void SaveColumnLayout();
    virtual void LoadColumnLayout();

    TwwMemoOpenEvent OnMemoOpen;
    TwwMemoCloseEvent OnMemoClose;
    TwwSelectRecordEvent OnMultiSelectRecord;
    TwwSelectAllRecordEvent OnMultiSelectAllRecords;
    TwwExportFieldEvent OnExportField;
    TwwExportSYLKFormatEvent OnExportSYLKFormat;
    TwwCreateDTPEvent OnCreateDateTimePicker;

protected:
    void Loaded() override;
    void CreateWnd() override;
    void Paint() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool CanEditShow() override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void TopLeftChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                         TGridDrawInfo& FixedInfo) override;
    int WantedFixedCols() override;
    void CollapseActiveExpandButton() override;
    void SetPressedColumnForWidthEvent(int Column) override { FLastPressedColumn = Column; }
    void FireColWidthChanged() override;
    void WMPaint(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMLButtonDblClk(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
    void CMDesignHitTest(TMessage& Message) override;
    virtual void ApplyFixedCols();

private:
    TDataSet* SelectionDataSet() const;
    bool FireSelectRecord(bool Selecting);
    int FindSelectedIndex();
    void ClearSelection();
    void MultiSelectMouseDown(TMouseButton Button, TShiftState Shift, int GridCol, int GridRow);
    TwwDBRichEdit* NeedRichEdit();
    void DrawSizingLineW(const TGridDrawInfo& D);
    void RedrawCellSelected(int GridCol, int GridRow);
    bool MayToggleCheckBox(int GridCol);

    std::unique_ptr<TwwIniAttributes> FIniAttributes;
    std::unique_ptr<TwwExportOptions> FExportOptions;
    std::unique_ptr<TwwMultiSelection> FSelection;
    bool FLayoutLoaded = false;
    bool FDestroying = false;
    TwwDBRichEdit* FRichEdit = nullptr;
    TwwDBDateTimePicker* FDateTimePicker = nullptr;
    int FFixedCols = 0;
    TwwMemoAttributes FMemoAttributes{mSizeable, mWordWrap};
    bool FLoadAllRTF = false;
    bool FDisableThemes = false;
    bool FFieldChangeReported = false;
    int FLastPressedColumn = 0;
    bool FRefreshing = false;
    bool FRefreshedOnce = false;
    bool FSeparateControlsAttached = false;
    bool FDrawingCell = false;
    bool FInLinkActive = false;
    bool FTopRowGuard = false;
    bool FLoadedFlag = false;
    bool FControlPlaced = false;
    bool FHiding = false;
    // The sizing of a fixed data column.
    int FFixedSizingIndex = -1;
    int FFixedSizingPos = 0;
    int FFixedSizingOfs = 0;
};
