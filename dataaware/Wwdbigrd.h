#pragma once
// The data-aware grid of the library: TwwCustomDBGrid, on the platform's grid
// base, with its data link, its columns, its cell editor and the indicator
// button. The published grid (TwwDBGrid, Wwdbgrid.h) and the lookup list stand
// on it.
//
// Columns come from the Selected lines (wwgridmodel.h) or, with UseTFields,
// from the data set's visible fields. Grid column 0 is the indicator column
// with dgIndicator, grid row 0 the title row with dgTitles; a data column or
// row is the grid's less those offsets, and while an expand button shows its
// detail grid the data rows below it are shifted down by the row offset.
//
// The grid follows its data set through the link's record window: it buffers
// as many records as rows fit, so painting, scrolling and moving by a page
// never read the table beyond the rows on the screen.
//
// Neither the platform's grids nor its windows read right to left here
// (UseRightToLeftAlignment answers false), so the mirrored paths of the
// library are not built.
//
// How the grid settles what its behaviour leaves open:
// - Focus. The grid gains the focus when the focus enters its subtree (the
//   grid, its cell editor, a cell control) and loses it when the focus leaves
//   that subtree: going into its own cell control neither posts the pending
//   edit nor takes the keyboard hook away. A text the field refuses as the
//   focus leaves is shown through the application's exception display, and
//   the grid keeps the focus, the text and the edit state.
// - The keyboard hook is one for the thread. A grid that is destroyed takes
//   it only when no other living grid holds the focus, so that freeing a
//   dialog's grid leaves Tab working in the cell control of the grid below.
// - Columns hidden with width -1 keep their signed width in characters; Tab,
//   Enter, the arrows, SetSelectedIndex, MakeColumnVisible and clicks pass
//   over them, and the proportional spread guards its group sharing against
//   a group whose widths sum to nothing.
// - Rows carry a line by one rule (RowsCarryLines, wwgridmodel.h), which
//   the row heights, the line painting and the expand button share.
// - A RowHeightPercent of 0 or less reads as 100 and changes nothing else.
// - Both GridPaintStyle paths (straight to the window, or through the
//   off-screen bitmap) give the same pixels.
// - ControlType lines: the last line of a field decides its painting, the
//   first line naming a separate control decides the control, even when that
//   control is missing.
// - Group names compare exactly, trailing blanks included.
// - While a row is expanded the draw events get the grown row's whole
//   rectangle (the detail grid covers its lower part) and the row's own
//   record.
// - A field's EditMask reaches the in-place editor through the grid base's
//   edit mask, besides the picture mask of the grid's PictureMasks lines.
// - Where a column line crosses a row line the column line wins: the row
//   lines are drawn with each cell, the column lines after all cells.
// - Double-click sizing rounds the widest value up to whole characters, so
//   the widest value always fits.
// - HideCellControl that cannot take the focus back from the control puts
//   the control back where it was before the silent abort.
#include <cstdint>
#include <memory>
#include <vector>

#include "dataaware/wwgridmodel.h"
#include "platform/db/DataSource.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Grids.h"

class TwwCustomDBGrid;
class TwwGridPaintOptions;

enum TwwDBGridOption : uint8_t {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgWordWrap,
    dgPerfectRowFit,
    dgMultiSelect,
    dgShowFooter,
    dgFooter3DCells,
    dgNoLimitColSize,
    dgTrailingEllipsis,
    dgShowCellHint,
    dgTabExitsOnLastCol,
    dgFixedResizable,
    dgFixedEditable,
    dgProportionalColResize,
    dgRowResize,
    dgRowLinesDisableFixed,
    dgColLinesDisableFixed,
    dgFixedProportionalResize,
    dgHideBottomDataLine,
    dgDblClickColSizing
};
ZELMOR_DECLARE_ENUM(TwwDBGridOption);
using TwwDBGridOptions = TSet<TwwDBGridOption>;
inline constexpr TwwDBGridOptions wwDefaultGridOptions{
    dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
    dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit, dgWordWrap};

enum TwwDBGridKeyOption : uint8_t { dgEnterToTab, dgAllowDelete, dgAllowInsert };
ZELMOR_DECLARE_ENUM(TwwDBGridKeyOption);
using TwwDBGridKeyOptions = TSet<TwwDBGridKeyOption>;

enum TwwEditControlOption : uint8_t {
    ecoCheckboxSingleClick,
    ecoSearchOwnerForm,
    ecoDisableCustomControls,
    ecoDisableDateTimePicker,
    ecoDisableEditorIfReadOnly
};
ZELMOR_DECLARE_ENUM(TwwEditControlOption);
using TwwEditControlOptions = TSet<TwwEditControlOption>;

enum TwwGridLineStyle : uint8_t { glsSingle, gls3D, glsDynamic };
ZELMOR_DECLARE_ENUM(TwwGridLineStyle);
enum TwwPadColumnStyle : uint8_t { pcsPlain, pcsPadHeader, pcsPadHeaderAndData };
ZELMOR_DECLARE_ENUM(TwwPadColumnStyle);
enum TIndicatorColorType : uint8_t { icBlack, icYellow };
ZELMOR_DECLARE_ENUM(TIndicatorColorType);
enum TwwMultiSelectOption : uint8_t { msoAutoUnselect, msoShiftSelect };
ZELMOR_DECLARE_ENUM(TwwMultiSelectOption);
using TwwMultiSelectOptions = TSet<TwwMultiSelectOption>;
enum TwwDittoDirection : uint8_t { wwDittoPrior, wwDittoNext, wwDittoPriorOrNext };
ZELMOR_DECLARE_ENUM(TwwDittoDirection);
enum TwwDittoOption : uint8_t { wwdoSkipBlobFields, wwdoSkipReadOnlyFields, wwdoSkipHiddenFields };
ZELMOR_DECLARE_ENUM(TwwDittoOption);
using TwwDittoOptions = TSet<TwwDittoOption>;

// What OnCalcTitleImage may change of a title's image.
struct TwwTitleImageAttributes {
    int ImageIndex = -1;  // of TitleImageList; -1 for none
    // Left or right of the title text; centred hides the text.
    TAlignment Alignment = taRightJustify;
    int Margin = 3;  // pixels between the image and the cell's edge
};

class TwwCustomDrawGridCellInfo;
class TwwGridHintWindow;
struct TwwGridHintState;

using TwwFieldChangedEvent = TEvent<void(TObject* Sender, TField* Field)>;
using TwwLeftColChangedEvent = TEvent<void(TObject* Sender, int NewLeftCol)>;
using TColWidthChangedEvent = TEvent<void(TObject* Sender, int Column)>;
using TTitleButtonClickEvent = TEvent<void(TObject* Sender, const AnsiString& AFieldName)>;
using TCalcCellColorsEvent = TEvent<void(TObject* Sender, TField* Field, TGridDrawState State, bool Highlight,
                                         TFont* AFont, TBrush* ABrush)>;
using TCalcTitleAttributesEvent = TEvent<void(TObject* Sender, const AnsiString& AFieldName, TFont* AFont,
                                              TBrush* ABrush, TAlignment& ATitleAlignment)>;
using TwwCalcTitleImageEvent =
    TEvent<void(TObject* Sender, TField* Field, TwwTitleImageAttributes& TitleImageAttributes)>;
using TwwDrawDataCellEvent =
    TEvent<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TwwDrawTitleCellEvent =
    TEvent<void(TObject* Sender, TCanvas* Canvas, TField* Field, const TRect& Rect, bool& DefaultDrawing)>;
using TwwDrawGroupHeaderCellEvent =
    TEvent<void(TObject* Sender, TCanvas* Canvas, const AnsiString& GroupHeaderName, const TRect& Rect,
                bool& DefaultDrawing)>;
using TDrawFooterCellEvent = TEvent<void(TObject* Sender, TCanvas* Canvas, const TRect& FooterCellRect,
                                         TField* Field, const AnsiString& FooterText, bool& DefaultDrawing)>;
using TwwCustomDrawCellEvent = TEvent<void(TwwCustomDBGrid* Sender, TwwCustomDrawGridCellInfo* DrawCellInfo)>;
using TwwValidateEvent = TEvent<void(TObject* Sender, bool PassesPictureTest)>;
using TwwGridURLOpenEvent =
    TEvent<void(TObject* Sender, AnsiString& URLLink, TField* Field, bool& UseDefault)>;
using TwwCreateGridHintWindowEvent =
    TEvent<void(TObject* Sender, TwwGridHintWindow* HintWindow, TField* AField, const TRect& R,
                bool& WordWrap, int& MaxWidth, int& MaxHeight, bool& DoDefault)>;
using TwwDittoEvent =
    TEvent<void(TObject* Sender, TDataSet* DataSet, TField* Field, AnsiString& DittoValue, bool& AllowDitto)>;

// The grid's four line colours; plain stored values: changing one repaints nothing.
class TwwGridLineColors : public TPersistent {
    ZELMOR_CLASS(TwwGridLineColors, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TColor DataColor() const { return FDataColor; }
    void SetDataColor(TColor Value) { FDataColor = Value; }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value) { FShadowColor = Value; }
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value) { FFixedColor = Value; }
    void Assign(TPersistent* Source) override;

private:
    TColor FDataColor = clSilver;
    TColor FHighlightColor = clBtnHighlight;
    TColor FShadowColor = clBtnShadow;
    TColor FFixedColor = clBlack;
};

// The short cuts that copy a field's value from a neighbouring record.
class TwwDittoAttributes : public TPersistent {
    ZELMOR_CLASS(TwwDittoAttributes, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TwwDittoDirection DittoDirection() const { return FDittoDirection; }
    void SetDittoDirection(TwwDittoDirection Value) { FDittoDirection = Value; }
    int ShortCutDittoField() const { return FShortCutDittoField; }
    void SetShortCutDittoField(int Value) { FShortCutDittoField = Value; }
    int ShortCutDittoRecord() const { return FShortCutDittoRecord; }
    void SetShortCutDittoRecord(int Value) { FShortCutDittoRecord = Value; }
    TwwDittoOptions Options() const { return FOptions; }
    void SetOptions(TwwDittoOptions Value) { FOptions = Value; }
    void Assign(TPersistent* Source) override;

private:
    TwwDittoDirection FDittoDirection = wwDittoPrior;
    int FShortCutDittoField = 0;
    int FShortCutDittoRecord = 0;
    TwwDittoOptions FOptions;
};

// The grid's Selected lines: they count their changes, so that what the
// grid takes from them is taken apart again only after they change.
class TwwSelectedList : public TStringList {
public:
    uint64_t Version() const { return FVersion; }

protected:
    void Changed() override;

private:
    uint64_t FVersion = 0;
};

// The grid's view of one shown column. It answers from the column's Selected
// line (or from its field with UseTFields); the grid's empty column, given
// when nothing matches, answers empty texts, 0 and false and ignores writes.
class TwwColumn : public TObject {
public:
    TwwColumn(TwwCustomDBGrid* Grid, const AnsiString& FieldName) : FGrid(Grid), FFieldName(FieldName) {}
    const AnsiString& FieldName() const { return FFieldName; }
    int DisplayWidth() const;
    void SetDisplayWidth(int Value);
    AnsiString DisplayLabel() const;
    bool ReadOnly() const;
    AnsiString GroupName() const;
    const AnsiString& FooterValue() const { return FFooterValue; }
    void SetFooterValue(const AnsiString& Value);
    // One mark per data row 0..255 (bit 0: the line under the cell is off,
    // bit 1: the line over it), made when the first cell is drawn with
    // before-draw processing on.
    uint8_t* RowMarks(bool Create);
    bool HasRowMarks() const { return !FRowMarks.empty(); }

private:
    friend class TwwCustomDBGrid;
    bool IsEmpty() const { return FFieldName.empty(); }
    TField* Field() const;
    // The column's Selected line; nullptr when none names its field.
    const TwwSelectedLine* Line() const;
    TwwCustomDBGrid* FGrid;
    AnsiString FFieldName;
    // Where Line() found the line, for the Selected version it was found in.
    mutable uint64_t FLineVersion = ~uint64_t{0};
    mutable int FLineIndex = -1;
    AnsiString FFooterValue;
    std::vector<uint8_t> FRowMarks;
};

// What the grid knows of one grid column's ControlType line.
struct TwwCacheColInfoItem {
    TWinControl* Control = nullptr;
    AnsiString Kind;
    AnsiString Params;
    bool AlwaysPaint = false;
    bool WhiteBackground = true;  // the first data row's colour was white
};

// The record OnBeforeDrawCell and OnAfterDrawCell get.
class TwwCustomDrawGridCellInfo : public TObject {
public:
    TRect Rect;
    TField* Field = nullptr;
    TGridDrawState State;
    int DataCol = 0;  // -1 for the indicator column
    int DataRow = 0;  // -1 for the title row
    bool DefaultDrawBackground = true;
    bool DefaultDrawTopLine = true;
    bool DefaultDrawBottomLine = true;
    bool DefaultDrawContent = true;
};

class TwwGridDataLink : public TDataLink {
    ZELMOR_CLASS(TwwGridDataLink, TDataLink)
    friend class TwwCustomDBGrid;

public:
    explicit TwwGridDataLink(TwwCustomDBGrid* Grid);
    // Answers false for a name the data set lacks; raises past 16,380 fields.
    bool AddMapping(const AnsiString& FieldName);
    void ClearMapping();
    TField* MappedField(int Index) const;
    int MappedCount() const { return static_cast<int>(FMap.size()); }
    bool Modified() const { return FModified; }
    void MarkModified() { FModified = true; }
    // Escape: a pending text is thrown away; a changed record is cancelled
    // after the question (or at once when unchanged).
    void Reset();
    bool InUpdateData() const { return FInUpdateData; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void EditingChanged() override;
    void FocusControl(TField** Field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TwwCustomDBGrid* FGrid;
    std::vector<int> FMap;
    bool FModified = false;
    bool FInUpdateData = false;
};

// The button that sits over the indicator column in the title row.
class TwwIButton : public TSpeedButton {
    ZELMOR_CLASS(TwwIButton, TSpeedButton)
public:
    explicit TwwIButton(TComponent* AOwner) : TSpeedButton(AOwner) {}
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
};

// The cell editor: the platform's in-place editor with the field's picture
// mask applied while typing.
class TwwInplaceEdit : public TInplaceEdit {
    ZELMOR_CLASS(TwwInplaceEdit, TInplaceEdit)
public:
    explicit TwwInplaceEdit(TComponent* AOwner);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool UsesPictureMask() const { return FGridEntry && !FPictureMask.empty(); }
    // Tests a text against the mask and tells OnCheckValue; true when it passes.
    bool CheckPictureValue(const AnsiString& Text);
    // The text as it would be after the key.
    AnsiString TextAfterKey(char Key) const;
    const AnsiString& PictureMask() const { return FPictureMask; }
    bool AutoFill() const { return FAutoFill; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void BoundsChanged() override;
    void UpdateContents() override;
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMSetFocus(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    TwwCustomDBGrid* WwGrid() const;
    void FirePictureCheck(bool Passes);
    bool FWordWrap = false;
    bool FGridEntry = false;
    bool FAutoFill = true;
    AnsiString FPictureMask;
};

class TwwCustomDBGrid : public TCustomGrid {
    ZELMOR_CLASS(TwwCustomDBGrid, TCustomGrid)
    friend class TwwGridDataLink;
    friend class TwwInplaceEdit;
    friend class TwwColumn;
    friend class TwwIButton;

public:
    explicit TwwCustomDBGrid(TComponent* AOwner);
    ~TwwCustomDBGrid() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- the column layout ---
    TStrings* Selected() const { return FSelected.get(); }
    void SetSelected(TStrings* Value);
    bool UseTFields() const { return FUseTFields; }
    void SetUseTFields(bool Value);
    TwwDBGridOptions Options() const { return FOptions; }
    void SetOptions(TwwDBGridOptions Value);
    TwwDBGridKeyOptions KeyOptions() const { return FKeyOptions; }
    void SetKeyOptions(TwwDBGridKeyOptions Value) { FKeyOptions = Value; }
    TwwEditControlOptions EditControlOptions() const { return FEditControlOptions; }
    void SetEditControlOptions(TwwEditControlOptions Value) { FEditControlOptions = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool EditCalculated() const { return FEditCalculated; }
    void SetEditCalculated(bool Value) { FEditCalculated = Value; }
    bool DefaultDrawing() const { return FwwDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TFont* TitleFont() const { return FTitleFont; }
    void SetTitleFont(TFont* Value);
    TAlignment TitleAlignment() const { return FTitleAlignment; }
    void SetTitleAlignment(TAlignment Value);
    int TitleLines() const { return FTitleLines; }
    void SetTitleLines(int Value);
    bool TitleButtons() const { return FTitleButtons; }
    void SetTitleButtons(bool Value);
    int RowHeightPercent() const { return FRowHeightPercent; }
    void SetRowHeightPercent(int Value);
    bool ShowHorzScrollBar() const { return FShowHorzScrollBar; }
    void SetShowHorzScrollBar(bool Value);
    bool ShowVertScrollBar() const { return FShowVertScrollBar; }
    void SetShowVertScrollBar(bool Value);
    TwwIButton* IndicatorButton() const { return FIndicatorButton; }
    void SetIndicatorButton(TwwIButton* Value);
    TIndicatorColorType IndicatorColor() const { return FIndicatorColor; }
    void SetIndicatorColor(TIndicatorColorType Value);
    TColor IndicatorIconColor() const { return FIndicatorIconColor; }
    void SetIndicatorIconColor(TColor Value);
    TwwGridLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TwwGridLineStyle Value);
    TwwGridLineColors* LineColors() const { return FLineColors.get(); }
    void SetLineColors(TwwGridLineColors* Value) { FLineColors->Assign(Value); }
    bool HideAllLines() const { return FHideAllLines; }
    void SetHideAllLines(bool Value);
    TwwPadColumnStyle PadColumnStyle() const { return FPadColumnStyle; }
    void SetPadColumnStyle(TwwPadColumnStyle Value);
    TColor FooterColor() const { return FFooterColor; }
    void SetFooterColor(TColor Value);
    TColor FooterCellColor() const { return FFooterCellColor; }
    void SetFooterCellColor(TColor Value);
    int FooterHeight() const { return FFooterHeight; }
    void SetFooterHeight(int Value);
    TCustomImageList* ImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value);
    TCustomImageList* TitleImageList() const { return FTitleImageList; }
    void SetTitleImageList(TCustomImageList* Value);
    TwwGridPaintOptions* PaintOptions() const { return FPaintOptions.get(); }
    void SetPaintOptions(TwwGridPaintOptions* Value);
    TStrings* ControlType() const { return FControlType.get(); }
    void SetControlType(TStrings* Value);
    bool ControlInfoInDataset() const { return FControlInfoInDataset; }
    void SetControlInfoInDataset(bool Value) { FControlInfoInDataset = Value; }
    TStrings* PictureMasks() const { return FPictureMasks.get(); }
    void SetPictureMasks(TStrings* Value);
    bool PictureMaskFromDataSet() const { return FPictureMaskFromDataSet; }
    void SetPictureMaskFromDataSet(bool Value) { FPictureMaskFromDataSet = Value; }
    TwwDittoAttributes* DittoAttributes() const { return FDittoAttributes.get(); }
    void SetDittoAttributes(TwwDittoAttributes* Value) { FDittoAttributes->Assign(Value); }
    const AnsiString& GroupFieldName() const { return FGroupFieldName; }
    void SetGroupFieldName(const AnsiString& Value);
    TwwMultiSelectOptions MultiSelectOptions() const { return FMultiSelectOptions; }
    void SetMultiSelectOptions(TwwMultiSelectOptions Value) { FMultiSelectOptions = Value; }
    int DragVertOffset() const { return FDragVertOffset; }
    void SetDragVertOffset(int Value) { FDragVertOffset = Value; }
    bool DisableThemesInTitle() const { return FDisableThemesInTitle; }
    void SetDisableThemesInTitle(bool Value) { FDisableThemesInTitle = Value; }
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    TwwGridDataLink* DataLink() const { return FDataLink.get(); }
    // The title colour (TwwDBGrid publishes it as TitleColor).
    TColor GetTitleColor() const { return FTitleColor; }
    void SetTitleColorValue(TColor Value);

    // --- columns ---
    int IndicatorOffset() const { return FIndicatorOffset; }
    int TitleOffset() const { return FTitleOffset; }
    TwwColumn* ColumnByFieldName(std::string_view FieldName) const;
    // Data column index; the empty column past the end.
    TwwColumn* ColumnAt(int DataCol) const;
    // By position in the column list.
    TwwColumn* Columns(int Index) const;
    int ColumnCount() const { return static_cast<int>(FColumns.size()); }
    TField* GetColField(int DataCol) const;
    TField* SelectedField() const;
    int SelectedIndex() const { return Col() - FIndicatorOffset; }
    void SetSelectedIndex(int DataCol);
    AnsiString GetColumnFieldName(int GridCol) const;
    int DataColumnIndex(int GridCol) const { return GridCol - (HasIndicator() ? 1 : 0); }
    int DataRowIndex(int GridRow) const { return GridRow - (FOptions.Contains(dgTitles) ? 1 : 0); }
    bool HasIndicator() const { return FOptions.Contains(dgIndicator); }
    // Rows carry a horizontal line (wwgridmodel.h).
    bool HasRowLines() const;
    // Sets a column's pixel width without writing it back or laying out: -1
    // hides it until the next layout.
    void SetColWidthQuietly(int GridCol, int Width);
    void ClearProportionalWidths() { FBaseWidths.reset(); }
    void RestoreRowHeightPercent();
    int SavedRowHeightPercent() const { return FSavedRowHeightPercent; }
    void SetRowOffset(int Value);
    int RowOffset() const { return FRowOffset; }
    bool ShrinkToRows();

    // --- the layout (Algorithms of the column model) ---
    virtual void LayoutChanged();
    virtual void BuildColumns();
    virtual void SetColumnWidths();
    virtual void ApplyProportionalColWidths();
    virtual bool UsesProportionalColResize();
    virtual void CalcRowHeights();
    virtual void ApplySelected() {}

    // --- the data side ---
    virtual void LinkActive(bool Active);
    virtual void DataChanged();
    virtual void RecordScrolled(int Distance);
    virtual void RecordChanged(TField* Field);
    virtual void UpdateData();
    void UpdateRowCount();
    void SyncCurrentRow();
    void UpdateScrollBar();
    virtual void CheckRecordMoved();
    virtual bool UpdateFooter();
    bool IsDataSetActive() const;
    virtual bool CanEditGrid();
    virtual bool CanCancelOnExit() { return true; }
    void SelectField(TField* Field);
    void MakeColumnVisible(int GridCol);
    bool TryDitto(WORD Key, TShiftState Shift);
    virtual bool DittoField(TField* Field, TwwDittoDirection Direction);
    bool GetPriorRecordValue(std::string_view FieldName, AnsiString& Text);
    bool GetNextRecordValue(std::string_view FieldName, AnsiString& Text);
    // The active record of the link set to a buffered data row for the life of the object.
    class TActiveRecordScope;

    // --- focus ---
    bool TryFocus();
    bool GridFocused() const { return FFocused; }
    static bool KeyboardHookInstalled();

    // --- cell controls (the published grid fills them) ---
    virtual bool CellUsesControl(int /*GridCol*/, int /*GridRow*/) { return false; }
    virtual void HideCellControl() {}
    // The grid's own date-time editor for date and time columns, once made.
    virtual TWinControl* DateTimePicker() const { return nullptr; }
    virtual void GetFieldControlType(std::string_view FieldName, AnsiString& Kind, AnsiString& Params);
    TStrings* GetControlTypeList();
    virtual void BuildControlTypeCache();
    bool GetCellControl(int GridCol, int GridRow, TWinControl*& Control);
    TWinControl* FindCellControl(const AnsiString& Name);
    bool CanShowCellControl();
    void PlaceCellControl();
    // The active cell control when it is an expand button (known by name).
    TWinControl* GetActiveExpandButton() const;
    bool IsExpandButtonExpanded() const;
    bool IsCellControlFocused() const;
    void CollapseExpandButtons(TWinControl* Parent);
    bool IsValidDataCell(int GridCol, int GridRow) const;
    bool GetCheckBoxValues(int GridCol, int GridRow, AnsiString& Checked, AnsiString& Unchecked);
    virtual bool IsMemoCell(int GridCol, int GridRow);
    bool IsSelectionCheckBoxColumn(int GridCol);
    virtual bool CellControlNeedsInset(TWinControl*) { return false; }
    TWinControl* ActiveCellControl() const { return FActiveCellControl; }
    void SetActiveCellControl(TWinControl* Value) { FActiveCellControl = Value; }
    const TwwCacheColInfoItem* CacheItem(int GridCol) const;
    bool Expanding() const { return FExpanding; }
    void SetExpanding(bool Value) { FExpanding = Value; }
    bool DataChangeSwitch() const { return FDataChangeSwitch; }
    void SetDataChangeSwitch(bool Value) { FDataChangeSwitch = Value; }

    // --- cell hints and URL-Link cells (wwgridhint.cpp) ---
    // The display part before the first "#" and the address after it (the
    // display text when nothing follows).
    virtual void SplitURLLink(const AnsiString& Text, AnsiString& Display, AnsiString& Address);
    virtual void DoURLOpen(AnsiString& URLLink, TField* Field, bool& UseDefault);
    virtual void DoCreateHintWindow(TwwGridHintWindow* HintWindow, TField* Field, bool& WordWrap,
                                    int& MaxWidth, int& MaxHeight, bool& DoDefault, const TRect& R);
    virtual TwwGridHintWindow* CreateCellHintWindow(TField* Field);
    virtual void CancelCellHint();
    void CancelURLHover();
    // The hint shown now, or none.
    TwwGridHintWindow* CellHintWindow() const;
    // The URL-Link cell under the mouse.
    bool IsURLHoverCell(int GridCol, int GridRow) const;
    // A left press made a URL-Link cell current: its address goes to the shell.
    void OpenURLLinkAt(int GridCol, int GridRow);
    TwwGridURLOpenEvent OnURLOpen;
    TwwCreateGridHintWindowEvent OnCreateHintWindow;

    // --- multi-selection: empty here ---
    virtual void CacheRowSelection() {}
    virtual void UnselectAll() {}
    virtual void SelectRecord() {}
    virtual void UnselectRecord() {}
    virtual bool IsRecordSelected(int /*BufferRow*/) { return false; }
    virtual bool IsCurrentRecordSelected() { return false; }

    // --- painting and geometry ---
    virtual bool PaintsDirectly();
    TCanvas* GetPaintCanvas();
    virtual void GetCellRect(int GridCol, int GridRow, TRect& R);
    virtual void GetTitleTextRect(int GridCol, int GridRow, TRect& R);
    virtual void GetGroupHeaderRect(int GridCol, int GridRow, TRect& R, bool VisibleOnly, int& First,
                                    int& Last);
    virtual void GetTitleHitRect(int GridCol, int X, TRect& R, int Y);
    virtual void CalcGridDrawInfo(TGridDrawInfo& DrawInfo) const { CalcDrawInfo(DrawInfo); }
    virtual int LastVisibleRowBottom(const TGridDrawInfo& DrawInfo);
    void CellAtPoint(int X, int Y, int& ACol, int& ARow);
    virtual void InvalidateTitles();
    void InvalidateCurrentRow();
    void InvalidateFooter();
    void BeginRedrawLock();
    void EndRedrawLock(bool Invalidate);
    TColor GetActiveRecordColor() const;
    virtual void GetFooterRect(TRect& R);
    int GetFooterHeight();
    virtual AnsiString GetCellDisplayText(int DataCol);
    virtual bool IsCellHighlighted(int GridCol, int DataRow, TGridDrawState State);
    virtual TColor GetColumnColor(int GridCol);
    bool CalcCellColors(TField* Field, TGridDrawState State, TBrush* Brush, TFont* Font, bool Highlight);
    virtual void DoCalcCellColors(TField* Field, TGridDrawState State, bool Highlight, TFont* Font,
                                  TBrush* Brush);
    virtual void DoCalcTitleAttributes(const AnsiString& Name, TFont* Font, TAlignment& Alignment,
                                       TBrush* Brush);
    int AlternatePhase() const { return FAlternatePhase; }
    bool IsAlternatingRow(int DataRow) const { return DataRow % 2 != FAlternatePhase; }
    TBitmap* PaintBitmap() const { return FPaintBitmap.get(); }

    // --- the title buttons, sizing and moving ---
    void ClearTitleButtonPress();
    bool AutoSizeColumnAtMouse();
    void AutoSizeColumn(int GridCol);
    int SizingColumn() const { return FSizingCol; }

    // --- events ---
    TNotifyEvent OnRowChanged;
    TNotifyEvent OnCellChanged;
    TNotifyEvent OnTopRowChanged;
    TNotifyEvent OnUpdateFooter;
    TwwFieldChangedEvent OnFieldChanged;
    TwwLeftColChangedEvent OnLeftColChanged;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TMovedEvent OnColumnMoved;
    TColWidthChangedEvent OnColWidthChanged;
    TTitleButtonClickEvent OnTitleButtonClick;
    TCalcCellColorsEvent OnCalcCellColors;
    TCalcTitleAttributesEvent OnCalcTitleAttributes;
    TwwCalcTitleImageEvent OnCalcTitleImage;
    TwwDrawDataCellEvent OnDrawDataCell;
    TwwDrawTitleCellEvent OnDrawTitleCell;
    TwwDrawGroupHeaderCellEvent OnDrawGroupHeaderCell;
    TDrawFooterCellEvent OnDrawFooterCell;
    TwwCustomDrawCellEvent OnBeforeDrawCell;
    TwwCustomDrawCellEvent OnAfterDrawCell;
    TNotifyEvent OnBeforePaint;
    TwwValidateEvent OnCheckValue;
    TwwDittoEvent OnDitto;

    // The published grid's hooks that the base calls.
    virtual void NoteFieldChangeReported(bool) {}
    virtual bool FieldChangeReported() const { return true; }
    virtual void DoColEnter();
    virtual void DoColExit();

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TRect ClientRect() const override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    TInplaceEdit* CreateEditor() override;
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                         TGridDrawInfo& FixedInfo) override;

    // The grid base's edit hooks.
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    AnsiString GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    bool CanEditAcceptKey(char Key) override;
    bool CanEditModify() override;
    bool CanEditShow() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void TopLeftChanged() override;
    void TimedScroll(TGridScrollDirection Direction) override;

    // Input.
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void GridCaptureLoop(int PressX, int PressY);
    virtual bool ShowEditorIfAllowed();

    // Event firers.
    virtual void DoTopRowChanged();
    virtual void DoRowChanged();
    virtual void DoCellChanged();
    virtual void DoFieldChanged(TField* Field);
    virtual void DoUpdateFooter();
    virtual void DoTitleButtonClick(const AnsiString& Name);
    virtual void DoDrawTitleCell(TCanvas* Canvas, TField* Field, bool& DefaultDrawing, const TRect& R);
    virtual void DoDrawGroupHeaderCell(TCanvas* Canvas, const AnsiString& Name, bool& DefaultDrawing,
                                       const TRect& R);
    virtual void DoCalcTitleImage(TObject* Sender, TField* Field, TwwTitleImageAttributes& Attributes);
    virtual void DoDrawDataCell(const TRect& R, TField* Field, TGridDrawState State);
    virtual void InvalidValueError(TField* Field);
    virtual void WriteEditText();

    // Painting.
    void PaintCells();
    void PaintPadColumn();
    virtual void DrawGridLines();
    void DrawCellLines(const TRect& ARect, int ACol, TGridDrawState AState, int ARow);
    virtual void DrawTitleButtonDown();
    virtual void PaintAlternatingRow(const TRect& R);
    virtual void PaintDataCellBackground(const TRect& R, int DataRow, TColor Color);
    virtual void PaintFixedCellBackground(const TRect& R, int Row, TColor Color);
    virtual void DrawCheckBoxCell(const TRect& Box, int GridCol, bool Checked, int GridRow);
    void PaintFooter(const TRect& Footer);
    void PaintFooterCell(int GridCol);
    void CopyBufferToScreen();
    // The title, indicator and data cells of DrawCell.
    void DrawTitleCell(int ACol, const TRect& ARect, TGridDrawState AState);
    void DrawIndicatorCell(int ARow, const TRect& ARect);
    void DrawDataCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    bool DrawSpecialCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    void DrawControlCopy(TWinControl* Control, const TRect& R, int ACol, int ARow, TGridDrawState AState);
    bool ApplySpecialCellColors(int ACol, int ARow, TGridDrawState AState, const TRect& R);
    void DrawBitmapCell(int ACol, const TRect& R, TField* Field, TGridDrawState AState, int ARow);
    void DrawImageIndexCell(int ACol, const TRect& R, TField* Field, TGridDrawState AState, int ARow);
    // The text painter of the cells: margin M, vertical offset V.
    void DrawCellTextIn(TCanvas* Canvas, const TRect& R, int M, uint32_t Flags, TAlignment Alignment,
                        const AnsiString& Text, int V);

    // Messages.
    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMParentFontChanged(TMessage& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    void CMExit(TMessage& Message) override;

    // The column sized by the user for OnColWidthChanged (the published grid keeps it).
    virtual void SetPressedColumnForWidthEvent(int) {}
    virtual void FireColWidthChanged() {}
    // The fixed columns the grid base keeps: the indicator column here.
    virtual int WantedFixedCols();
    virtual void CollapseActiveExpandButton();
    // No columns at all (a lookup list without its key field).
    void ClearColumns() { FColumns.clear(); }
    // Selection of a fixed column through the grid base's cell moves.
    void SelectFixedColumn(int DataCol);
    int DataColOfField(TField* Field) const;
    void MoveToPriorRecord();
    void MoveToNextRecord();
    void TabMove(bool Forward);

    std::unique_ptr<TwwGridDataLink> FDataLink;
    // Set by the published grid: the text of the data cell being painted is left-aligned.
    bool FLeftAlignText = false;
    // Whether widths the user gives columns go back into Selected or the fields.
    bool FWriteBackUserWidths = true;
    // A click is being handled: a cell change it makes is no OnCellChanged.
    bool FClickMark = false;
    // Tab or a press moves the current cell: a cell control waits.
    bool FMovingCell = false;
    // Tabbing into the next record: the editor and the control stay closed meanwhile.
    bool FTabbingIntoNextRecord = false;
    // Off: the grid never takes the focus when it scrolls or handles a key
    // (a drop-down grid that leaves the focus in its edit).
    bool FTakesFocus = true;

private:
    friend class TActiveRecordScope;
    void TitleFontChanged(TObject* Sender);
    void SetLayoutOptions(TwwDBGridOptions Old);
    void ApplyGridBaseOptions();
    void InstallKeyboardHook();
    void RemoveKeyboardHook();
    void MoveCellControlAway();
    int ZeroWidth();
    int TextHeightOf(TFont* Font, std::string_view Text);
    bool CanModifySelectedField(TField* Field);
    void WriteUserWidthsBack();
    void DrawDragImage(int Kind, int Grabbed, const TRect& Hit);
    void RecordTitlePress(TMouseButton Button, int X, int Y);
    void GroupSpan(int GridCol, bool VisibleOnly, int& First, int& Last);
    int DropTarget(int X, bool Snap, int Grabbed, int Kind);
    void DropColumn(int Kind, int Grabbed, int Target, int X);
    void MoveColumnQuietly(int FromIndex, int ToIndex);

    // Selected taken apart, anew after each change of its lines.
    const TwwSelectedLines& SelectedLines() const;

    bool PaintFillsUpdateRect();
    // The memory bitmap of direct painting and where paints wrote in it
    // since it was last white.
    std::unique_ptr<TBitmap> FDirectBitmap;
    TRegion FDirectDirty;

    // The layout.
    std::unique_ptr<TwwSelectedList> FSelected;
    mutable TwwSelectedLines FSelectedLines;
    mutable uint64_t FSelectedLinesVersion = ~uint64_t{0};
    std::vector<std::unique_ptr<TwwColumn>> FColumns;
    bool FColumnNamesUnique = true;  // no two columns show fields of one name
    std::unique_ptr<TwwColumn> FEmptyColumn;
    TFont* FTitleFont;
    std::unique_ptr<TStringList> FControlType;
    std::unique_ptr<TStringList> FPictureMasks;
    std::unique_ptr<TwwCustomDrawGridCellInfo> FDrawCellInfo;
    std::vector<TwwCacheColInfoItem> FCacheColInfo;
    std::unique_ptr<TwwGridPaintOptions> FPaintOptions;
    std::unique_ptr<TwwGridLineColors> FLineColors;
    std::unique_ptr<TwwDittoAttributes> FDittoAttributes;
    std::unique_ptr<TBitmap> FPaintBitmap;
    std::unique_ptr<TBitmap> FMeasure;  // a canvas to measure fonts on, window or not
    TwwIButton* FIndicatorButton = nullptr;
    int FIndicatorOffset = 1;
    int FTitleOffset = 1;
    int FIndicatorWidth = 11;
    TColor FTitleColor = clBtnFace;
    // The proportions of proportional sizing, by grid column; none until the first spread.
    std::unique_ptr<std::vector<int>> FBaseWidths;
    int FSizingCol = -1;
    int FSizingStartWidth = 0;
    // While above 0 a width change is neither written back nor laid out.
    int FQuietWidth = 0;
    int FLayoutLock = 0;
    bool FCopyingParentFont = false;

    // Properties.
    bool FUseTFields = true;
    TwwDBGridOptions FOptions = wwDefaultGridOptions;
    TwwDBGridKeyOptions FKeyOptions{dgAllowDelete, dgAllowInsert};
    TwwEditControlOptions FEditControlOptions{ecoSearchOwnerForm};
    bool FReadOnly = false;
    bool FEditCalculated = false;
    bool FwwDefaultDrawing = true;
    TAlignment FTitleAlignment = taLeftJustify;
    int FTitleLines = 1;
    bool FTitleButtons = false;
    int FRowHeightPercent = 100;
    int FSavedRowHeightPercent = 100;
    bool FShowHorzScrollBar = true;
    bool FShowVertScrollBar = true;
    TIndicatorColorType FIndicatorColor = icBlack;
    TColor FIndicatorIconColor = clBlack;
    TwwGridLineStyle FLineStyle = glsDynamic;
    bool FHideAllLines = false;
    TwwPadColumnStyle FPadColumnStyle = pcsPadHeaderAndData;
    TColor FFooterColor = clBtnFace;
    TColor FFooterCellColor = clBtnFace;
    int FFooterHeight = 0;
    TCustomImageList* FImageList = nullptr;
    TCustomImageList* FTitleImageList = nullptr;
    bool FControlInfoInDataset = true;
    bool FPictureMaskFromDataSet = true;
    AnsiString FGroupFieldName;
    TwwMultiSelectOptions FMultiSelectOptions;
    int FDragVertOffset = 15;
    bool FDisableThemesInTitle = false;

    // The data side.
    AnsiString FLastEditText;
    TBookmark FCurrentBookmark;
    bool FHasCurrentBookmark = false;
    TBookmark FMasterBookmark;
    bool FHasMasterBookmark = false;
    bool FFooterDirty = false;
    bool FColChangedWithoutWindow = false;
    int FLastEnteredCol = -1;
    bool FSuppressCellChanged = false;
    bool FInUpdateRowCount = false;
    int FRowOffset = 0;
    bool FExpanding = false;
    bool FDataChangeSwitch = true;
    bool FInColExit = false;

    // Painting.
    TGridDrawInfo FPaintInfo;
    TRect FUpdateRect;
    int FPressedCol = -1;
    int FPressedRow = -1;
    bool FPressedGroup = false;
    bool FDrawingDragImage = false;
    bool FDragTitleOnly = false;
    TCanvas* FDragCanvas = nullptr;
    bool FBrushChanged = false;
    bool FWhiteBackground = false;
    bool FFocused = false;
    int FPaintDataRow = 0;
    int FPaintDataCol = 0;
    int FRedrawLock = 0;
    bool FFocusRectFlag = false;
    bool FFrameDrawn = false;
    int FLastIndicatorRow = -1;
    int FAlternatePhase = 0;
    bool FCellLinesDrawn = false;
    TCanvas* FDirectCanvas = nullptr;
    // The control type list, looked up once per paint instead of once a cell
    // (the data set's is found by its property's name); set while painting.
    bool FPaintKnowsControlTypes = false;
    TStrings* FPaintControlTypes = nullptr;

    // Input.
    std::unique_ptr<TwwGridHintState> FHint;
    void UpdateURLHover(int X, int Y);
    void UpdateCellHint(int X, int Y);
    void CellHintTimer(TObject* Sender);
    bool FColumnDragging = false;
    bool FRowChangeMark = false;
    TWinControl* FActiveCellControl = nullptr;
};

// Makes a buffered data row the link's active record for the life of the
// object, and puts the old one back, also when painting raises.
class TwwCustomDBGrid::TActiveRecordScope {
public:
    TActiveRecordScope(TwwCustomDBGrid* Grid, int DataRow);
    ~TActiveRecordScope();
    TActiveRecordScope(const TActiveRecordScope&) = delete;
    TActiveRecordScope& operator=(const TActiveRecordScope&) = delete;

private:
    TwwGridDataLink* FLink;
    int FOld;
    bool FSet;
};

// Within the tab order of the control's parent, the next (or previous)
// control that can take the focus (with its tab stop on, when asked); none
// past either end.
TWinControl* FindNextTabControl(TWinControl* Control, bool Forward, bool TabStopsOnly);

// The expand button's side (wwcheckbox): the grid collapses and expands the
// buttons of its cells through these.
void SetExpandButtonState(TWinControl* Control, bool Expanded);
bool GetExpandButtonState(TWinControl* Control);
// The button is toggling its state right now.
bool ExpandButtonToggling(TWinControl* Control);
// A click at X of the button's row (in the button's coordinates) falls on
// its glyph, taken a little larger than drawn.
bool ExpandButtonGlyphAt(TWinControl* Control, int X);
// Expands the button with its record kept on the grid row Row.
void ExpandButtonAtRow(TWinControl* Control, int Row);

// The shared images: the record-state arrows of the indicator column and the
// arrows of a column drag, made when the first grid is and freed with the last.
TCustomImageList* GridIndicatorImages();
TCustomImageList* GridMoveArrowImages();
