#include "dataaware/Wwdbigrd.h"

// The sections of this file, in order (each starts with a ruled heading):
//   line colours and ditto settings; TwwColumn; TwwGridDataLink; TwwIButton;
//   construction and properties; columns and the layout; following the data
//   set; the grid base's edit hooks; the vertical scroll bar; columns chosen
//   by code; ditto; focus and the keyboard hook; cell controls; painting (the
//   sequence, the buffer and the walk over the cells); geometry;
//   backgrounds; one cell (titles, indicator, data cells, check boxes,
//   bitmaps, control copies); lines, the pad column and the footer; keys; the
//   mouse; dragging a column by its title; TwwInplaceEdit.
// Elsewhere: cell hints and URL-Link cells (wwgridhint.cpp), and in the
// published grid the multi-selection (wwmultiselect.cpp), the layout kept
// between runs (wwgridlayout.cpp) and the export (wwexport.cpp).

#include <algorithm>
#include <optional>

#include "dataaware/Wwintl.h"
#include "dataaware/wwbitmap.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwgridhint.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwpaintoptions.h"
#include "dataaware/wwpict.h"
#include "dataaware/wwstr.h"
#include "platform/classes/Filer.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Sound.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TwwDBGridOption, "dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator",
                      "dgColumnResize", "dgColLines", "dgRowLines", "dgTabs", "dgRowSelect",
                      "dgAlwaysShowSelection", "dgConfirmDelete", "dgCancelOnExit", "dgWordWrap",
                      "dgPerfectRowFit", "dgMultiSelect", "dgShowFooter", "dgFooter3DCells",
                      "dgNoLimitColSize", "dgTrailingEllipsis", "dgShowCellHint", "dgTabExitsOnLastCol",
                      "dgFixedResizable", "dgFixedEditable", "dgProportionalColResize", "dgRowResize",
                      "dgRowLinesDisableFixed", "dgColLinesDisableFixed", "dgFixedProportionalResize",
                      "dgHideBottomDataLine", "dgDblClickColSizing")
ZELMOR_IMPLEMENT_ENUM(TwwDBGridKeyOption, "dgEnterToTab", "dgAllowDelete", "dgAllowInsert")
ZELMOR_IMPLEMENT_ENUM(TwwEditControlOption, "ecoCheckboxSingleClick", "ecoSearchOwnerForm",
                      "ecoDisableCustomControls", "ecoDisableDateTimePicker", "ecoDisableEditorIfReadOnly")
ZELMOR_IMPLEMENT_ENUM(TwwGridLineStyle, "glsSingle", "gls3D", "glsDynamic")
ZELMOR_IMPLEMENT_ENUM(TwwPadColumnStyle, "pcsPlain", "pcsPadHeader", "pcsPadHeaderAndData")
ZELMOR_IMPLEMENT_ENUM(TIndicatorColorType, "icBlack", "icYellow")
ZELMOR_IMPLEMENT_ENUM(TwwMultiSelectOption, "msoAutoUnselect", "msoShiftSelect")
ZELMOR_IMPLEMENT_ENUM(TwwDittoDirection, "wwDittoPrior", "wwDittoNext", "wwDittoPriorOrNext")
ZELMOR_IMPLEMENT_ENUM(TwwDittoOption, "wwdoSkipBlobFields", "wwdoSkipReadOnlyFields", "wwdoSkipHiddenFields")

ZELMOR_IMPLEMENT_CLASS(TwwGridLineColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwDittoAttributes, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwGridDataLink, TDataLink)
ZELMOR_IMPLEMENT_COMPONENT(TwwIButton, TSpeedButton)
ZELMOR_IMPLEMENT_COMPONENT(TwwInplaceEdit, TInplaceEdit)
ZELMOR_IMPLEMENT_CLASS(TwwCustomDBGrid, TCustomGrid)

namespace {

// More fields than this the grid base cannot number.
constexpr int MaxMappedFields = 16380;
constexpr const char* SMaxColumns = "Grid requested to display more than 256 columns";

// --- the images every grid shares ---

struct TSharedImages {
    int Grids = 0;
    std::unique_ptr<TImageList> Indicators;
    std::unique_ptr<TImageList> MoveArrows;
};

TSharedImages& Shared() {
    static TSharedImages S;
    return S;
}

// A list sized by the first bitmap, each picture added with white transparent.
std::unique_ptr<TImageList> ImagesFromResources(std::initializer_list<const char*> Names) {
    std::unique_ptr<TImageList> List;
    for (const char* Name : Names) {
        TBitmap B;
        B.LoadFromResourceName(Name);
        if (!List) List = std::make_unique<TImageList>(nullptr, B.Width(), B.Height());
        List->AddMasked(&B, clWhite);
    }
    return List;
}

void TakeSharedImages() {
    TSharedImages& S = Shared();
    if (S.Grids++ > 0) return;
    S.Indicators =
        ImagesFromResources({"WWDBGARROW", "WWDBEDIT", "WWDBINSERT", "WWDBMULTISELECT", "WWDBMULTIARROW"});
    S.MoveArrows = ImagesFromResources({"WWRIGHT", "WWLEFT"});
    S.MoveArrows->SetBkColor(clWhite);
}

void ReleaseSharedImages() {
    TSharedImages& S = Shared();
    if (--S.Grids > 0) return;
    S.Indicators.reset();
    S.MoveArrows.reset();
}

bool IsFieldKindOf(TField* Field, std::initializer_list<TFieldType> Types) {
    if (!Field) return false;
    return std::find(Types.begin(), Types.end(), Field->DataType()) != Types.end();
}

bool IsFieldKindOfFloat(TField* Field) { return IsFieldKindOf(Field, {ftFloat, ftCurrency, ftBCD}); }

}  // namespace

TCustomImageList* GridIndicatorImages() { return Shared().Indicators.get(); }
TCustomImageList* GridMoveArrowImages() { return Shared().MoveArrows.get(); }

// ---------------------------------------------------------------------------
// Line colours and ditto settings
// ---------------------------------------------------------------------------

void TwwGridLineColors::DescribeProperties(TPropertyTable& T) {
    using C = TwwGridLineColors;
    T.Property("DataColor", &C::DataColor, &C::SetDataColor).OfType(ColorTypeInfo()).Default(clSilver);
    T.Property("HighlightColor", &C::HighlightColor, &C::SetHighlightColor)
        .OfType(ColorTypeInfo())
        .Default(clBtnHighlight);
    T.Property("ShadowColor", &C::ShadowColor, &C::SetShadowColor)
        .OfType(ColorTypeInfo())
        .Default(clBtnShadow);
    T.Property("FixedColor", &C::FixedColor, &C::SetFixedColor).OfType(ColorTypeInfo()).Default(clBlack);
}

void TwwGridLineColors::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwGridLineColors*>(Source)) {
        FDataColor = S->FDataColor;
        FHighlightColor = S->FHighlightColor;
        FShadowColor = S->FShadowColor;
        FFixedColor = S->FFixedColor;
        return;
    }
    TPersistent::Assign(Source);
}

void TwwDittoAttributes::DescribeProperties(TPropertyTable& T) {
    using C = TwwDittoAttributes;
    T.Property("DittoDirection", &C::DittoDirection, &C::SetDittoDirection).Default(wwDittoPrior);
    T.Property("ShortCutDittoField", &C::ShortCutDittoField, &C::SetShortCutDittoField).Default(0);
    T.Property("ShortCutDittoRecord", &C::ShortCutDittoRecord, &C::SetShortCutDittoRecord).Default(0);
    T.Property("Options", &C::Options, &C::SetOptions).Default(TwwDittoOptions{});
}

void TwwDittoAttributes::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwDittoAttributes*>(Source)) {
        FDittoDirection = S->FDittoDirection;
        FShortCutDittoField = S->FShortCutDittoField;
        FShortCutDittoRecord = S->FShortCutDittoRecord;
        FOptions = S->FOptions;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TwwColumn
// ---------------------------------------------------------------------------

void TwwSelectedList::Changed() {
    ++FVersion;
    TStringList::Changed();
}

const TwwSelectedLines& TwwCustomDBGrid::SelectedLines() const {
    if (FSelectedLinesVersion != FSelected->Version()) {
        FSelectedLines.Build(*FSelected);
        FSelectedLinesVersion = FSelected->Version();
    }
    return FSelectedLines;
}

const TwwSelectedLine* TwwColumn::Line() const {
    const TwwSelectedLines& Lines = FGrid->SelectedLines();
    if (FLineVersion != FGrid->FSelected->Version()) {
        FLineIndex = IsEmpty() ? -1 : Lines.IndexOf(FFieldName);
        FLineVersion = FGrid->FSelected->Version();
    }
    return FLineIndex < 0 ? nullptr : &Lines.Line(FLineIndex);
}

TField* TwwColumn::Field() const {
    if (IsEmpty()) return nullptr;
    TDataSet* DataSet = FGrid->DataLink()->DataSet();
    return DataSet ? DataSet->FindField(FFieldName) : nullptr;
}

int TwwColumn::DisplayWidth() const {
    if (IsEmpty()) return 0;
    if (FGrid->UseTFields()) {
        TField* F = Field();
        return F ? F->DisplayWidth() : 0;
    }
    const TwwSelectedLine* L = Line();
    int Value = 0;
    return L && TryStrToInt(L->Part(spWidth), Value) ? Value : 0;
}

void TwwColumn::SetDisplayWidth(int Value) {
    if (IsEmpty()) return;
    ++FGrid->FLayoutLock;
    try {
        SetSelectedPart(FGrid->Selected(), FFieldName, IntToStr(Value), spWidth, -1);
        if (FGrid->UseTFields())
            if (TField* F = Field()) F->SetDisplayWidth(Value);
    } catch (...) {
        --FGrid->FLayoutLock;
        throw;
    }
    --FGrid->FLayoutLock;
    FGrid->SetColumnWidths();
}

AnsiString TwwColumn::DisplayLabel() const {
    if (IsEmpty()) return {};
    if (FGrid->UseTFields())
        if (TField* F = Field()) return F->DisplayLabel();
    const TwwSelectedLine* L = Line();
    return L ? L->Part(spTitle) : AnsiString();
}

bool TwwColumn::ReadOnly() const {
    const TwwSelectedLine* L = Line();
    return L && L->ReadOnly();
}

AnsiString TwwColumn::GroupName() const {
    const TwwSelectedLine* L = Line();
    return L ? L->GroupName() : AnsiString();
}

void TwwColumn::SetFooterValue(const AnsiString& Value) {
    if (IsEmpty() || Value == FFooterValue) return;
    FFooterValue = Value;
    FGrid->InvalidateFooter();
}

uint8_t* TwwColumn::RowMarks(bool Create) {
    if (FRowMarks.empty()) {
        if (!Create) return nullptr;
        FRowMarks.assign(256, 0);
    }
    return FRowMarks.data();
}

// ---------------------------------------------------------------------------
// TwwGridDataLink
// ---------------------------------------------------------------------------

TwwGridDataLink::TwwGridDataLink(TwwCustomDBGrid* Grid) : FGrid(Grid) { SetVisualControl(true); }

bool TwwGridDataLink::AddMapping(const AnsiString& FieldName) {
    if (static_cast<int>(FMap.size()) >= MaxMappedFields) throw EInvalidGridOperation(SMaxColumns);
    TDataSet* Set = DataSet();
    TField* Field = Set ? Set->FindField(FieldName) : nullptr;
    if (!Field) return false;
    if (FMap.capacity() == 0) FMap.reserve(8);
    FMap.push_back(Set->Fields()->IndexOf(Field));
    return true;
}

void TwwGridDataLink::ClearMapping() { std::vector<int>().swap(FMap); }

TField* TwwGridDataLink::MappedField(int Index) const {
    if (Index < 0 || Index >= MappedCount()) return nullptr;
    TDataSet* Set = DataSet();
    if (!Set) return nullptr;
    int FieldIndex = FMap[static_cast<size_t>(Index)];
    return FieldIndex >= 0 && FieldIndex < Set->FieldCount() ? Set->Fields()->Fields(FieldIndex) : nullptr;
}

void TwwGridDataLink::ActiveChanged() { FGrid->LinkActive(Active()); }

void TwwGridDataLink::DataSetChanged() {
    FGrid->DataChanged();
    FModified = false;
}

void TwwGridDataLink::DataSetScrolled(int Distance) { FGrid->RecordScrolled(Distance); }

void TwwGridDataLink::LayoutChanged() { FGrid->LayoutChanged(); }

void TwwGridDataLink::EditingChanged() {
    if (FGrid->HasIndicator() && FGrid->FLastIndicatorRow >= 0 && FGrid->HandleAllocated())
        FGrid->InvalidateCell(0, FGrid->FLastIndicatorRow);
    TDataSource* Source = DataSource();
    if (Source && (Source->State() == dsEdit || Source->State() == dsInsert)) FGrid->FFooterDirty = true;
}

void TwwGridDataLink::RecordChanged(TField* Field) {
    if (!(FInUpdateData && Field)) {
        FGrid->RecordChanged(Field);
        FModified = false;
    }
    TDataSource* Source = DataSource();
    if (Field && Source && (Source->State() == dsEdit || Source->State() == dsInsert)) {
        FGrid->DoFieldChanged(Field);
        FGrid->NoteFieldChangeReported(true);
    }
}

void TwwGridDataLink::UpdateData() {
    FInUpdateData = true;
    try {
        if (FModified) FGrid->WriteEditText();
        FModified = false;
    } catch (...) {
        FInUpdateData = false;
        throw;
    }
    FInUpdateData = false;
}

void TwwGridDataLink::FocusControl(TField** Field) {
    if (!Field || !*Field) return;
    FGrid->SelectField(*Field);
    if (FGrid->SelectedField() == *Field && FGrid->TryFocus()) *Field = nullptr;
}

void TwwGridDataLink::Reset() {
    if (FModified) {
        FGrid->RecordChanged(nullptr);
        FModified = false;
        return;
    }
    TDataSet* Set = DataSet();
    if (!Set) return;
    TDataSetState State = Set->State();
    if ((State == dsEdit || State == dsInsert) && Set->Modified()) {
        if (MessageDlg(DefaultIntl->UserMessages()->wwDBGridDiscardChanges(), mtConfirmation, {mbYes, mbNo},
                       0) == mrYes)
            Set->Cancel();
        return;
    }
    Set->Cancel();
}

// ---------------------------------------------------------------------------
// TwwIButton
// ---------------------------------------------------------------------------

void TwwIButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ALeft = std::min(ALeft, 0);
    ATop = std::min(ATop, 0);
    bool Resized = AWidth != Width() || AHeight != Height();
    TSpeedButton::SetBounds(ALeft, ATop, AWidth, AHeight);
    auto* Grid = dynamic_cast<TwwCustomDBGrid*>(Parent());
    if (!Resized || !Grid || Grid->IndicatorButton() != this || ComponentState().Contains(csLoading)) return;
    Grid->FIndicatorWidth = AWidth - 1;
    Grid->LayoutChanged();
}

void TwwIButton::SetParent(TWinControl* AParent) {
    TSpeedButton::SetParent(AParent);
    if (auto* Grid = dynamic_cast<TwwCustomDBGrid*>(AParent)) Grid->SetIndicatorButton(this);
}

// ---------------------------------------------------------------------------
// TwwCustomDBGrid: construction and properties
// ---------------------------------------------------------------------------

namespace {

// The one keyboard hook of the thread that serves every grid.
HHOOK GridHook = nullptr;

// Every living grid, for the hook's removal.
std::vector<TwwCustomDBGrid*>& LivingGrids() {
    static std::vector<TwwCustomDBGrid*> Grids;
    return Grids;
}
LRESULT GridKeyboardHook(int Code, WPARAM Key, LPARAM KeyData);

}  // namespace

TwwCustomDBGrid::TwwCustomDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner), FDataLink(std::make_unique<TwwGridDataLink>(this)),
      FSelected(std::make_unique<TwwSelectedList>()), FEmptyColumn(std::make_unique<TwwColumn>(this, "")),
      FTitleFont(new TFont()), FControlType(std::make_unique<TStringList>()),
      FPictureMasks(std::make_unique<TStringList>()),
      FDrawCellInfo(std::make_unique<TwwCustomDrawGridCellInfo>()),
      FLineColors(std::make_unique<TwwGridLineColors>()),
      FDittoAttributes(std::make_unique<TwwDittoAttributes>()), FPaintBitmap(std::make_unique<TBitmap>()) {
    TakeSharedImages();
    FHint = std::make_unique<TwwGridHintState>();
    LivingGrids().push_back(this);
    FTitleFont->OnChange = [this](TObject* Sender) { TitleFontChanged(Sender); };
    FPaintOptions = std::make_unique<TwwGridPaintOptions>(this, FPaintBitmap.get());
    FMeasure = std::make_unique<TBitmap>();
    FMeasure->SetSize(1, 1);
    SetColCount(2);
    SetRowCount(2);
    SetColor(clWindow);
    SetParentColor(false);
    SetScrollBars(ssHorizontal);
    TCustomGrid::SetDefaultDrawing(false);
    ApplyGridBaseOptions();
}

// A grid that goes takes the hook with it, unless another grid still holds
// the focus of its form: closing a lookup dialog destroys the dialog's grid
// while the type editor's cell control, inside its own grid, has the focus
// back, and Tab there must still reach that grid.
TwwCustomDBGrid::~TwwCustomDBGrid() {
    auto& Grids = LivingGrids();
    Grids.erase(std::remove(Grids.begin(), Grids.end(), this), Grids.end());
    if (std::none_of(Grids.begin(), Grids.end(), [](TwwCustomDBGrid* G) { return G->FFocused; }))
        RemoveKeyboardHook();
    FDataLink->SetDataSource(nullptr);
    delete FTitleFont;
    FTitleFont = nullptr;
    ReleaseSharedImages();
}

void TwwCustomDBGrid::DescribeProperties(TPropertyTable& T) {
    using C = TwwCustomDBGrid;
    T.Property("Selected", &C::Selected, &C::SetSelected);
    T.Property("UseTFields", &C::UseTFields, &C::SetUseTFields).Default(true);
    T.Property("Options", &C::Options, &C::SetOptions).Default(wwDefaultGridOptions);
    T.Property("KeyOptions", &C::KeyOptions, &C::SetKeyOptions)
        .Default(TwwDBGridKeyOptions{dgAllowDelete, dgAllowInsert});
    T.Property("EditControlOptions", &C::EditControlOptions, &C::SetEditControlOptions)
        .Default(TwwEditControlOptions{ecoSearchOwnerForm});
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("EditCalculated", &C::EditCalculated, &C::SetEditCalculated).Default(false);
    T.Property("DefaultDrawing", &C::DefaultDrawing, &C::SetDefaultDrawing).Default(true);
    T.Property("TitleFont", &C::TitleFont, &C::SetTitleFont);
    T.Property("TitleAlignment", &C::TitleAlignment, &C::SetTitleAlignment).Default(taLeftJustify);
    T.Property("TitleLines", &C::TitleLines, &C::SetTitleLines).Default(1);
    T.Property("TitleButtons", &C::TitleButtons, &C::SetTitleButtons).Default(false);
    T.Property("RowHeightPercent", &C::RowHeightPercent, &C::SetRowHeightPercent).Default(100);
    T.Property("ShowHorzScrollBar", &C::ShowHorzScrollBar, &C::SetShowHorzScrollBar).Default(true);
    T.Property("ShowVertScrollBar", &C::ShowVertScrollBar, &C::SetShowVertScrollBar).Default(true);
    T.Property("IndicatorIconColor", &C::IndicatorIconColor, &C::SetIndicatorIconColor)
        .OfType(ColorTypeInfo())
        .Default(clBlack);
    T.Property("LineStyle", &C::LineStyle, &C::SetLineStyle).Default(glsDynamic);
    T.Property("LineColors", &C::LineColors, &C::SetLineColors);
    T.Property("HideAllLines", &C::HideAllLines, &C::SetHideAllLines).Default(false);
    T.Property("PadColumnStyle", &C::PadColumnStyle, &C::SetPadColumnStyle).Default(pcsPadHeaderAndData);
    T.Property("FooterColor", &C::FooterColor, &C::SetFooterColor).OfType(ColorTypeInfo()).Default(clBtnFace);
    T.Property("FooterCellColor", &C::FooterCellColor, &C::SetFooterCellColor)
        .OfType(ColorTypeInfo())
        .Default(clBtnFace);
    T.Property("FooterHeight", &C::FooterHeight, &C::SetFooterHeight).Default(0);
    T.Property("ImageList", &C::ImageList, &C::SetImageList);
    T.Property("TitleImageList", &C::TitleImageList, &C::SetTitleImageList);
    T.Property("PaintOptions", &C::PaintOptions, &C::SetPaintOptions);
    T.Property("ControlType", &C::ControlType, &C::SetControlType);
    T.Property("ControlInfoInDataset", &C::ControlInfoInDataset, &C::SetControlInfoInDataset).Default(true);
    T.Property("PictureMasks", &C::PictureMasks, &C::SetPictureMasks);
    T.Property("PictureMaskFromDataSet", &C::PictureMaskFromDataSet, &C::SetPictureMaskFromDataSet)
        .Default(true);
    T.Property("DittoAttributes", &C::DittoAttributes, &C::SetDittoAttributes);
    T.Property("GroupFieldName", &C::GroupFieldName, &C::SetGroupFieldName);
    T.Property("MultiSelectOptions", &C::MultiSelectOptions, &C::SetMultiSelectOptions)
        .Default(TwwMultiSelectOptions{});
    T.Property("DragVertOffset", &C::DragVertOffset, &C::SetDragVertOffset).Default(15);
    T.Property("DisableThemesInTitle", &C::DisableThemesInTitle, &C::SetDisableThemesInTitle).Default(false);
    T.Event("OnRowChanged", &C::OnRowChanged);
    T.Event("OnCellChanged", &C::OnCellChanged);
    T.Event("OnTopRowChanged", &C::OnTopRowChanged);
    T.Event("OnUpdateFooter", &C::OnUpdateFooter);
    T.Event("OnFieldChanged", &C::OnFieldChanged);
    T.Event("OnLeftColChanged", &C::OnLeftColChanged);
    T.Event("OnColEnter", &C::OnColEnter);
    T.Event("OnColExit", &C::OnColExit);
    T.Event("OnColumnMoved", &C::OnColumnMoved);
    T.Event("OnColWidthChanged", &C::OnColWidthChanged);
    T.Event("OnTitleButtonClick", &C::OnTitleButtonClick);
    T.Event("OnCalcCellColors", &C::OnCalcCellColors);
    T.Event("OnCalcTitleAttributes", &C::OnCalcTitleAttributes);
    T.Event("OnCalcTitleImage", &C::OnCalcTitleImage);
    T.Event("OnDrawDataCell", &C::OnDrawDataCell);
    T.Event("OnDrawTitleCell", &C::OnDrawTitleCell);
    T.Event("OnDrawGroupHeaderCell", &C::OnDrawGroupHeaderCell);
    T.Event("OnDrawFooterCell", &C::OnDrawFooterCell);
    T.Event("OnBeforeDrawCell", &C::OnBeforeDrawCell);
    T.Event("OnAfterDrawCell", &C::OnAfterDrawCell);
    T.Event("OnBeforePaint", &C::OnBeforePaint);
    T.Event("OnCheckValue", &C::OnCheckValue);
    T.Event("OnDitto", &C::OnDitto);
}

void TwwCustomDBGrid::SetSelected(TStrings* Value) {
    if (Value != FSelected.get()) FSelected->Assign(Value);
}

void TwwCustomDBGrid::SetControlType(TStrings* Value) {
    if (Value != FControlType.get()) FControlType->Assign(Value);
}

void TwwCustomDBGrid::SetPictureMasks(TStrings* Value) {
    if (Value != FPictureMasks.get()) FPictureMasks->Assign(Value);
}

void TwwCustomDBGrid::SetPaintOptions(TwwGridPaintOptions* Value) { FPaintOptions->Assign(Value); }

void TwwCustomDBGrid::SetUseTFields(bool Value) {
    if (Value == FUseTFields) return;
    FUseTFields = Value;
    ClearProportionalWidths();
    LayoutChanged();
}

// The grid base's switches follow the grid's own.
void TwwCustomDBGrid::ApplyGridBaseOptions() {
    TGridOptions G;
    if (FOptions.Contains(dgColLines)) {
        G.Include(goFixedVertLine);
        G.Include(goVertLine);
    }
    if (FOptions.Contains(dgRowLines)) G.Include(goHorzLine);
    if (!FOptions.Contains(dgRowLinesDisableFixed)) G.Include(goFixedHorzLine);
    if (FOptions.Contains(dgColumnResize)) {
        G.Include(goColSizing);
        G.Include(goColMoving);
    }
    if (FOptions.Contains(dgRowResize)) G.Include(goRowSizing);
    if (FOptions.Contains(dgTabs)) G.Include(goTabs);
    if (FOptions.Contains(dgRowSelect)) G.Include(goRowSelect);
    else if (FOptions.Contains(dgEditing)) G.Include(goEditing);
    if (FOptions.Contains(dgAlwaysShowEditor)) G.Include(goAlwaysShowEditor);
    TCustomGrid::SetOptions(G);
}

void TwwCustomDBGrid::SetOptions(TwwDBGridOptions Value) {
    if (Value == FOptions) return;
    TwwDBGridOptions Old = FOptions;
    FOptions = Value;
    ApplyGridBaseOptions();
    if (Old.Contains(dgWordWrap) != Value.Contains(dgWordWrap)) {
        if (auto* E = dynamic_cast<TwwInplaceEdit*>(FInplaceEdit)) E->SetWordWrap(Value.Contains(dgWordWrap));
        Invalidate();
    }
    if (Old.Contains(dgIndicator) != Value.Contains(dgIndicator)) ClearProportionalWidths();
    const TwwDBGridOptions Layout{dgEditing,
                                  dgAlwaysShowEditor,
                                  dgTitles,
                                  dgIndicator,
                                  dgColLines,
                                  dgRowLines,
                                  dgRowSelect,
                                  dgAlwaysShowSelection,
                                  dgPerfectRowFit,
                                  dgShowFooter,
                                  dgProportionalColResize};
    if (!((Old * Layout) == (Value * Layout))) LayoutChanged();
}

void TwwCustomDBGrid::SetDefaultDrawing(bool Value) {
    if (Value == FwwDefaultDrawing) return;
    FwwDefaultDrawing = Value;
    Invalidate();
}

void TwwCustomDBGrid::TitleFontChanged(TObject*) {
    if (!FCopyingParentFont && !ComponentState().Contains(csLoading)) SetParentFont(false);
    if (FOptions.Contains(dgTitles)) LayoutChanged();
}

void TwwCustomDBGrid::SetTitleFont(TFont* Value) {
    FTitleFont->Assign(Value);
    LayoutChanged();
}

void TwwCustomDBGrid::SetTitleAlignment(TAlignment Value) {
    if (Value == FTitleAlignment) return;
    FTitleAlignment = Value;
    LayoutChanged();
}

void TwwCustomDBGrid::SetTitleLines(int Value) {
    if (Value < 1 || Value == FTitleLines) return;
    FTitleLines = Value;
    LayoutChanged();
}

void TwwCustomDBGrid::SetTitleButtons(bool Value) {
    if (Value == FTitleButtons) return;
    FTitleButtons = Value;
    Invalidate();
}

// A percentage of 0 or less is taken as 100 and changes nothing else: the
// layout and the height to go back to stay as they were.
void TwwCustomDBGrid::SetRowHeightPercent(int Value) {
    if (Value <= 0) {
        FRowHeightPercent = 100;
        return;
    }
    bool Changed = Value != FRowHeightPercent;
    FRowHeightPercent = Value;
    FSavedRowHeightPercent = Value;
    if (Changed) LayoutChanged();
}

void TwwCustomDBGrid::RestoreRowHeightPercent() {
    FRowHeightPercent = FSavedRowHeightPercent;
    LayoutChanged();
}

void TwwCustomDBGrid::SetShowHorzScrollBar(bool Value) {
    FShowHorzScrollBar = Value;
    SetScrollBars(Value && !UsesProportionalColResize() ? ssHorizontal : ssNone);
}

void TwwCustomDBGrid::SetShowVertScrollBar(bool Value) {
    if (Value == FShowVertScrollBar) return;
    FShowVertScrollBar = Value;
    if (HandleAllocated()) {
        RecreateWnd();
        UpdateScrollBar();
    }
    Invalidate();
}

void TwwCustomDBGrid::SetIndicatorButton(TwwIButton* Value) {
    if (Value == FIndicatorButton) return;
    FIndicatorButton = Value;
    if (Value) {
        Value->FreeNotification(this);
        FIndicatorWidth = Value->Width() - 1;
    } else {
        FIndicatorWidth = 11;
    }
    LayoutChanged();
}

void TwwCustomDBGrid::SetIndicatorColor(TIndicatorColorType Value) {
    FIndicatorColor = Value;
    SetIndicatorIconColor(Value == icYellow ? 0xFFFF : 0);
}

void TwwCustomDBGrid::SetIndicatorIconColor(TColor Value) {
    FIndicatorIconColor = Value;
    InvalidateCurrentRow();
}

void TwwCustomDBGrid::SetLineStyle(TwwGridLineStyle Value) {
    if (Value == FLineStyle) return;
    FLineStyle = Value;
    Invalidate();
}

void TwwCustomDBGrid::SetHideAllLines(bool Value) {
    if (Value == FHideAllLines) return;
    FHideAllLines = Value;
    Invalidate();
}

void TwwCustomDBGrid::SetPadColumnStyle(TwwPadColumnStyle Value) {
    if (Value == FPadColumnStyle) return;
    FPadColumnStyle = Value;
    Invalidate();
}

void TwwCustomDBGrid::SetFooterColor(TColor Value) {
    if (Value == FFooterColor) return;
    FFooterColor = Value;
    LayoutChanged();
}

void TwwCustomDBGrid::SetFooterCellColor(TColor Value) {
    if (Value == FFooterCellColor) return;
    FFooterCellColor = Value;
    LayoutChanged();
}

void TwwCustomDBGrid::SetFooterHeight(int Value) {
    if (Value == FFooterHeight) return;
    FFooterHeight = std::max(Value, 0);
    LayoutChanged();
}

void TwwCustomDBGrid::SetImageList(TCustomImageList* Value) {
    FImageList = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TwwCustomDBGrid::SetTitleImageList(TCustomImageList* Value) {
    FTitleImageList = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TwwCustomDBGrid::SetGroupFieldName(const AnsiString& Value) {
    FGroupFieldName = Value;
    Invalidate();
}

void TwwCustomDBGrid::SetTitleColorValue(TColor Value) {
    if (Value == FTitleColor) return;
    FTitleColor = Value;
    LayoutChanged();
}

TDataSource* TwwCustomDBGrid::DataSource() const { return FDataLink->DataSource(); }

void TwwCustomDBGrid::SetDataSource(TDataSource* Value) {
    if (Value == FDataLink->DataSource()) return;
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    LinkActive(FDataLink->Active());
}

void TwwCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    LayoutChanged();
    if (Parent() && FPaintOptions->HasPicture()) FPaintOptions->UpdateBlendBitmaps(true);
}

void TwwCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGrid::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
    if (AComponent == FIndicatorButton) SetIndicatorButton(nullptr);
    if (AComponent == FImageList) FImageList = nullptr;
    if (AComponent == FTitleImageList) FTitleImageList = nullptr;
    if (AComponent == FActiveCellControl) FActiveCellControl = nullptr;
    if (FHint) FHint->Forget(AComponent);
    for (TwwCacheColInfoItem& Item : FCacheColInfo)
        if (Item.Control == AComponent) Item.Control = nullptr;
}

void TwwCustomDBGrid::CreateParams(TCreateParams& Params) {
    TCustomGrid::CreateParams(Params);
    if (FShowVertScrollBar) Params.Style |= WS_VSCROLL;
}

void TwwCustomDBGrid::CreateWnd() {
    TCustomGrid::CreateWnd();
    LayoutChanged();
    UpdateScrollBar();
    CheckRecordMoved();
}

TInplaceEdit* TwwCustomDBGrid::CreateEditor() { return NewComponent<TwwInplaceEdit>(this); }

// ---------------------------------------------------------------------------
// Columns and the layout
// ---------------------------------------------------------------------------

int TwwCustomDBGrid::TextHeightOf(TFont* Font, std::string_view Text) {
    TCanvas* C = FMeasure->Canvas();
    C->Font()->Assign(Font);
    return C->TextHeight(Text);
}

int TwwCustomDBGrid::ZeroWidth() {
    TCanvas* C = FMeasure->Canvas();
    C->Font()->Assign(Font());
    return std::max(1, C->TextWidth("0"));
}

bool TwwCustomDBGrid::HasRowLines() const {
    return RowsCarryLines(FOptions.Contains(dgRowLines), FOptions.Contains(dgRowLinesDisableFixed));
}

TwwColumn* TwwCustomDBGrid::ColumnByFieldName(std::string_view FieldName) const {
    for (const auto& C : FColumns)
        if (EqualsIgnoreCase(C->FieldName(), FieldName)) return C.get();
    return FEmptyColumn.get();
}

TwwColumn* TwwCustomDBGrid::ColumnAt(int DataCol) const {
    if (DataCol < 0) return FEmptyColumn.get();
    if (FDataLink->MappedCount() > 0) {
        TField* F = FDataLink->MappedField(DataCol);
        if (!F) return FEmptyColumn.get();
        // The columns were made in the mapping's order: the column at the
        // same place is the one of the field, when no two share a name.
        if (FColumnNamesUnique && DataCol < ColumnCount() &&
            EqualsIgnoreCase(FColumns[static_cast<size_t>(DataCol)]->FieldName(), F->FieldName()))
            return FColumns[static_cast<size_t>(DataCol)].get();
        return ColumnByFieldName(F->FieldName());
    }
    if (DataCol >= FSelected->Count()) return FEmptyColumn.get();
    return ColumnByFieldName(SelectedLines().Line(DataCol).Part(spFieldName));
}

TwwColumn* TwwCustomDBGrid::Columns(int Index) const {
    int Limit = FDataLink->MappedCount() > 0 ? FDataLink->MappedCount() : FSelected->Count();
    if (Index < 0 || Index >= ColumnCount() || Index >= Limit) return FEmptyColumn.get();
    return FColumns[static_cast<size_t>(Index)].get();
}

TField* TwwCustomDBGrid::GetColField(int DataCol) const {
    if (!FDataLink->Active()) return nullptr;
    return FDataLink->MappedField(DataCol);
}

TField* TwwCustomDBGrid::SelectedField() const { return GetColField(SelectedIndex()); }

AnsiString TwwCustomDBGrid::GetColumnFieldName(int GridCol) const {
    int DataCol = GridCol - (FOptions.Contains(dgIndicator) ? 1 : 0);
    if (FDataLink->Active()) {
        TField* F = FDataLink->MappedField(DataCol);
        return F ? F->FieldName() : AnsiString();
    }
    if (DataCol < 0 || DataCol >= FSelected->Count()) return {};
    return SelectedLines().Line(DataCol).Part(spFieldName);
}

int TwwCustomDBGrid::DataColOfField(TField* Field) const {
    for (int I = 0; I < FDataLink->MappedCount(); ++I)
        if (FDataLink->MappedField(I) == Field) return I;
    return -1;
}

bool TwwCustomDBGrid::UsesProportionalColResize() {
    return FOptions.Contains(dgProportionalColResize) && !FUseTFields;
}

int TwwCustomDBGrid::WantedFixedCols() { return FIndicatorOffset; }

void TwwCustomDBGrid::LayoutChanged() {
    if (ComponentState().Contains(csLoading) || !HandleAllocated() || FLayoutLock > 0) return;
    ++FLayoutLock;
    ++FQuietWidth;
    bool QuietRaised = true;
    auto Finish = [&] {
        if (QuietRaised) --FQuietWidth;
        QuietRaised = false;
    };
    try {
        FTitleOffset = 0;
        if (FShowHorzScrollBar && UsesProportionalColResize() &&
            (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth))
            SetShowHorzScrollBar(true);
        if (FOptions.Contains(dgTitles)) FTitleOffset = 1;
        CalcRowHeights();
        FIndicatorOffset = FOptions.Contains(dgIndicator) ? 1 : 0;
        FDataLink->ClearMapping();
        if (FDataLink->Active()) BuildColumns();
        int Count =
            FUseTFields || FDataLink->MappedCount() > 0 ? FDataLink->MappedCount() : FSelected->Count();
        SetColCount(std::max(Count, 1) + FIndicatorOffset);
        int Fixed = WantedFixedCols();
        if (Fixed != FixedCols() && Fixed < ColCount()) SetFixedCols(Fixed);
        if (FOptions.Contains(dgIndicator)) {
            SetColWidths(0, FIndicatorWidth);
            if (Col() == 0 && ColCount() > 1) SetCol(1);
        }
        HideCellControl();
        UpdateRowCount();
        int Visible = VisibleRowCount();
        SetColumnWidths();
        if (Visible != VisibleRowCount()) UpdateRowCount();
        UpdateFooter();
        Finish();
        SyncCurrentRow();
        Invalidate();
        FPaintOptions->SetFixedColors(FTitleColor);
    } catch (...) {
        Finish();
        --FLayoutLock;
        throw;
    }
    --FLayoutLock;
}

void TwwCustomDBGrid::BuildColumns() {
    if (!FDataLink->Active()) return;
    TDataSet* DS = FDataLink->DataSet();
    if (FUseTFields) {
        for (TField* F : DS->Fields()->List())
            if (F->Visible()) FDataLink->AddMapping(F->FieldName());
    } else {
        for (int I = 0; I < FSelected->Count();) {
            AnsiString Name = TwwSelectedLine::Parse(FSelected->Strings(I)).Part(spFieldName);
            if (FDataLink->AddMapping(Name)) ++I;
            else FSelected->Delete(I);
        }
    }
    std::vector<std::unique_ptr<TwwColumn>> Columns;
    for (int I = 0; I < FDataLink->MappedCount(); ++I) {
        auto C = std::make_unique<TwwColumn>(this, FDataLink->MappedField(I)->FieldName());
        for (const auto& Old : FColumns)
            if (EqualsIgnoreCase(Old->FieldName(), C->FieldName())) C->FFooterValue = Old->FFooterValue;
        Columns.push_back(std::move(C));
    }
    FColumns.swap(Columns);
    FColumnNamesUnique = true;
    for (size_t I = 0; I < FColumns.size() && FColumnNamesUnique; ++I)
        for (size_t J = 0; J < I && FColumnNamesUnique; ++J)
            FColumnNamesUnique = !EqualsIgnoreCase(FColumns[I]->FieldName(), FColumns[J]->FieldName());
}

void TwwCustomDBGrid::CollapseActiveExpandButton() {}

void TwwCustomDBGrid::CalcRowHeights() {
    CollapseActiveExpandButton();
    const int H = TextHeightOf(Font(), "W");
    const bool Lines = HasRowLines();
    int RowHeight = DataRowHeight(H, Lines, FRowHeightPercent);
    if (RowHeight != DefaultRowHeight()) SetDefaultRowHeight(RowHeight);
    if (!FOptions.Contains(dgTitles)) return;
    bool InsideGrid = Parent() && ::IsClassNamed(Parent(), "TCustomGrid");
    int Title = TitleRowHeight(TextHeightOf(FTitleFont, "W"), H, FTitleLines, Lines, InsideGrid);
    if (FOptions.Contains(dgIndicator) && FIndicatorButton)
        Title = std::max(Title, FIndicatorButton->Height()) + (Lines ? -1 : 1);
    SetRowHeights(0, Title);
}

void TwwCustomDBGrid::SetColumnWidths() {
    TDataSource* Source = DataSource();
    if (!Source || !Source->DataSet()) return;
    ++FQuietWidth;
    struct TLower {
        int& Count;
        ~TLower() { --Count; }
    } Lower{FQuietWidth};
    const int N = FUseTFields ? FDataLink->MappedCount() : FSelected->Count();
    const bool Prop = UsesProportionalColResize();
    bool ToBase = false;
    if (Prop) {
        if (FBaseWidths) {
            auto Fresh = std::make_unique<std::vector<int>>(static_cast<size_t>(N + 1), 0);
            for (int C = 0; C < std::min(N + 1, ColCount()); ++C)
                (*Fresh)[static_cast<size_t>(C)] = ColWidths(C);
            FBaseWidths = std::move(Fresh);
        } else {
            FBaseWidths = std::make_unique<std::vector<int>>(static_cast<size_t>(N + 1), 0);
            ToBase = true;
        }
    }
    const int W = ZeroWidth();
    for (int I = 0; I < N; ++I) {
        const int GridCol = I + FIndicatorOffset;
        if (GridCol >= ColCount()) break;
        TField* Field = FDataLink->MappedField(I);
        TwwSelectedLine Line;
        int Width;
        if (FUseTFields) {
            Width = Field ? ColumnPixels(Field->DisplayWidth(), W) : 64;
        } else {
            Line = TwwSelectedLine::Parse(FSelected->Strings(I));
            Width = ColumnPixels(Line.WidthInChars(), W);
        }
        if (!Prop && FOptions.Contains(dgTitles) && !FOptions.Contains(dgNoLimitColSize)) {
            AnsiString Title;
            if (FUseTFields) Title = Field ? Field->DisplayLabel() : AnsiString();
            else if (Line.Has(spTitle)) Title = Line.Part(spTitle);
            else if (Field) Title = Field->DisplayLabel();
            TCanvas* C = FMeasure->Canvas();
            C->Font()->Assign(FTitleFont);
            int Widest = WidestTitlePiece(Title, [C](std::string_view S) { return C->TextWidth(S); });
            Width = std::max(Width, Widest + 4);
        }
        if (Field) {
            bool Stop = !Field->ReadOnly();
            if (ColumnAt(I)->ReadOnly() || (!FUseTFields && Line.ReadOnly())) Stop = false;
            if (Stop && !FEditCalculated && Field->Calculated()) Stop = false;
            SetTabStops(GridCol, Stop);
        }
        if (ToBase) (*FBaseWidths)[static_cast<size_t>(GridCol)] = Width;
        else SetColWidths(GridCol, Width);
    }
    if (Prop && N > 0) ApplyProportionalColWidths();
    BuildControlTypeCache();
}

void TwwCustomDBGrid::ApplyProportionalColWidths() {
    if (!FBaseWidths || static_cast<int>(FBaseWidths->size()) < ColCount() - 1 || FUseTFields ||
        FSelected->Count() == 0)
        return;
    TwwSpread S;
    S.Base = *FBaseWidths;
    for (int C = 0; C < ColCount(); ++C) {
        S.Widths.push_back(ColWidths(C));
        S.Groups.push_back(C < FIndicatorOffset ? AnsiString() : ColumnAt(C - FIndicatorOffset)->GroupName());
    }
    S.FirstDataCol = FIndicatorOffset;
    S.LineWidth = FOptions.Contains(dgColLines) ? 1 : 0;
    S.ZeroWidth = ZeroWidth();
    S.ClientWidth = ClientWidth();
    if (FShowVertScrollBar && Width() - ClientWidth() <= 9)
        S.ScrollAllowance = GetSystemMetrics(SM_CXHTHUMB) + 1;
    S.SizedCol = FSizingCol;
    S.SizedStartWidth = FSizingStartWidth;
    S.Run();
    ++FQuietWidth;
    struct TLower {
        int& Count;
        ~TLower() { --Count; }
    } Lower{FQuietWidth};
    for (int C = 0; C < ColCount(); ++C)
        if (S.Widths[static_cast<size_t>(C)] != ColWidths(C))
            SetColWidths(C, S.Widths[static_cast<size_t>(C)]);
    for (int C : S.Spread) {
        int DataCol = C - FIndicatorOffset;
        if (DataCol >= 0 && DataCol < FSelected->Count())
            SetSelectedPart(FSelected.get(), "", IntToStr(CharsOfSpreadColumn(ColWidths(C), S.ZeroWidth)),
                            spWidth, DataCol);
    }
}

void TwwCustomDBGrid::SetColWidthQuietly(int GridCol, int Width) {
    if (GridCol < 0 || GridCol >= ColCount()) return;
    ++FQuietWidth;
    struct TLower {
        int& Count;
        ~TLower() { --Count; }
    } Lower{FQuietWidth};
    SetColWidths(GridCol, Width);
}

bool TwwCustomDBGrid::ShrinkToRows() {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    int Top = 0;
    for (int R = 0; R < RowCount() - 1; ++R) {
        if (R >= FixedRows() && R < TopRow()) continue;
        Top += RowHeights(R) + D.Vert.EffectiveLineWidth;
    }
    int Height = Top + DefaultRowHeight() + 2;
    if (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth) {
        int Sum = 1;
        for (int C = 0; C < ColCount(); ++C)
            if (ColWidths(C) >= 0)
                Sum += ColWidths(C) + (FOptions.Contains(dgColLines) ? GridLineWidth() : 0);
        if (FShowVertScrollBar) Sum += GetSystemMetrics(SM_CXHTHUMB) + 1;
        if (Width() < Sum) Height += GetSystemMetrics(SM_CYHSCROLL);
    }
    Height += GetFooterHeight();
    if (Height >= this->Height()) return false;
    SetHeight(Height);
    return true;
}

void TwwCustomDBGrid::WMSize(TMessage& Message) {
    if (FOptions.Contains(dgProportionalColResize)) {
        int Saved = FSizingCol, SavedStart = FSizingStartWidth;
        if (FOptions.Contains(dgFixedProportionalResize) && FixedCols() >= 2) {
            FSizingCol = FixedCols() - 1;
            FSizingStartWidth = ColWidths(FSizingCol);
        }
        ApplyProportionalColWidths();
        FSizingCol = Saved;
        FSizingStartWidth = SavedStart;
    }
    TCustomGrid::WMSize(Message);
    if (FLayoutLock == 0 && HandleAllocated()) {
        HideCellControl();
        HideEditor();
        UpdateRowCount();
    }
    FPaintOptions->SetRebuild();
    if (TDataSet* DS = FDataLink->DataSet(); DS && DS->Active() && DS->IsEmpty()) Invalidate();
}

void TwwCustomDBGrid::CMFontChanged(TMessage& Message) {
    TCustomGrid::CMFontChanged(Message);
    LayoutChanged();
}

void TwwCustomDBGrid::CMParentFontChanged(TMessage& Message) {
    TCustomGrid::CMParentFontChanged(Message);
    if (!ParentFont()) return;
    FCopyingParentFont = true;
    try {
        FTitleFont->Assign(Font());
    } catch (...) {
        FCopyingParentFont = false;
        throw;
    }
    FCopyingParentFont = false;
    LayoutChanged();
}

void TwwCustomDBGrid::ColWidthsChanged() {
    TCustomGrid::ColWidthsChanged();
    if (FQuietWidth > 0 || FLayoutLock > 0 || !FDataLink->Active() || !HandleAllocated() ||
        !FWriteBackUserWidths)
        return;
    ++FLayoutLock;
    try {
        WriteUserWidthsBack();
    } catch (...) {
        --FLayoutLock;
        throw;
    }
    --FLayoutLock;
    NotifyFormDesigner(this);
    LayoutChanged();
}

// A column hidden with -1 keeps its width in characters: only columns that
// show take what the user made.
void TwwCustomDBGrid::WriteUserWidthsBack() {
    const int W = ZeroWidth();
    if (FUseTFields) {
        for (int I = 0; I < FDataLink->MappedCount(); ++I) {
            int GridCol = I + FIndicatorOffset;
            if (GridCol >= ColCount() || ColWidths(GridCol) < 0) continue;
            if (TField* F = FDataLink->MappedField(I))
                F->SetDisplayWidth(CharsOfSizedColumn(ColWidths(GridCol), W));
        }
        return;
    }
    for (int I = 0; I < FSelected->Count(); ++I) {
        int GridCol = I + FIndicatorOffset;
        if (GridCol >= ColCount() || ColWidths(GridCol) < 0) continue;
        TwwSelectedLine Line = TwwSelectedLine::Parse(FSelected->Strings(I));
        FSelected->SetStrings(I, Line.WithSizedWidth(CharsOfSizedColumn(ColWidths(GridCol), W)));
    }
}

// ---------------------------------------------------------------------------
// Following the data set
// ---------------------------------------------------------------------------

TwwCustomDBGrid::TActiveRecordScope::TActiveRecordScope(TwwCustomDBGrid* Grid, int DataRow)
    : FLink(Grid->FDataLink.get()), FOld(FLink->ActiveRecord()), FSet(FLink->Active() && DataRow >= 0) {
    if (FSet) FLink->SetActiveRecord(DataRow);
}

TwwCustomDBGrid::TActiveRecordScope::~TActiveRecordScope() {
    if (FSet) FLink->SetActiveRecord(FOld);
}

bool TwwCustomDBGrid::IsDataSetActive() const {
    return FDataLink && FDataLink->Active() && FDataLink->DataSet() && FDataLink->DataSet()->Active();
}

void TwwCustomDBGrid::LinkActive(bool Active) {
    if (!Active) HideEditor();
    LayoutChanged();
    UpdateScrollBar();
    FHasCurrentBookmark = false;
    FCurrentBookmark.clear();
    FHasMasterBookmark = false;
    FMasterBookmark.clear();
    if (Active) {
        if (HandleAllocated()) {
            if (Col() != FLastEnteredCol) DoColEnter();
        } else {
            FColChangedWithoutWindow = true;
        }
        FLastEnteredCol = Col();
        FFooterDirty = true;
    } else {
        FLastEnteredCol = -1;
    }
}

void TwwCustomDBGrid::DataChanged() {
    if (!HandleAllocated() || !FDataChangeSwitch) return;
    UpdateFooter();
    if (!FExpanding) {
        TDataSource* Source = DataSource();
        TDataSet* DS = FDataLink->DataSet();
        TDataSetState State = Source ? Source->State() : dsInactive;
        if ((State == dsInsert && DS && !(DS->Bof() && DS->Eof())) || State == dsBrowse) HideCellControl();
    }
    UpdateRowCount();
    UpdateScrollBar();
    SyncCurrentRow();
    InvalidateEditor();
    ValidateRect(Handle(), nullptr);
    Invalidate();
    CheckRecordMoved();
}

void TwwCustomDBGrid::RecordChanged(TField* Field) {
    if (!HandleAllocated()) return;
    if (Field) {
        int DataCol = DataColOfField(Field);
        if (DataCol < 0) DataCol = FDataLink->MappedCount();
        InvalidateCell(DataCol + FIndicatorOffset, Row());
    } else {
        InvalidateRow(Row());
    }
    TField* Selected = SelectedField();
    if (Field && Field != Selected) return;
    if (Selected && Selected->EditText() != FLastEditText) {
        InvalidateEditor();
        if (FInplaceEdit) FInplaceEdit->Deselect();
    }
}

void TwwCustomDBGrid::UpdateData() { FDataLink->UpdateRecord(); }

void TwwCustomDBGrid::UpdateRowCount() {
    if (FInUpdateRowCount) return;
    FInUpdateRowCount = true;
    bool Locked =
        FOptions.Contains(dgRowSelect) || (FOptions.Contains(dgFixedEditable) && FixedCols() >= LeftCol());
    int OldLeft = LeftCol();
    if (Locked) BeginRedrawLock();
    auto Done = [&] {
        if (Locked) {
            if (OldLeft < ColCount() && OldLeft >= FixedCols()) SetLeftCol(OldLeft);
            EndRedrawLock(true);
        }
        FInUpdateRowCount = false;
    };
    try {
        if (RowCount() < FTitleOffset + 1) SetRowCount(FTitleOffset + 1);
        if (FixedRows() != FTitleOffset) SetFixedRows(FTitleOffset);
        TDataSet* DS = FDataLink->DataSet();
        if (FDataLink->Active() && DS && DS->Active() && FDataLink->RecordCount() > 0) {
            SetRowCount(1000);
            int Fit = std::max(1, VisibleRowCount());
            if (Fit < FDataLink->BufferCount() && Row() - FTitleOffset >= Fit) {
                Invalidate();
                DoTopRowChanged();
            }
            FDataLink->SetBufferCount(Fit);
            SetRowCount(FDataLink->RecordCount() + FTitleOffset);
            SyncCurrentRow();
        } else {
            SetRowCount(FTitleOffset + 1);
        }
    } catch (...) {
        Done();
        throw;
    }
    Done();
}

void TwwCustomDBGrid::SyncCurrentRow() {
    if (!FDataLink->Active()) return;
    int R = FDataLink->ActiveRecord() + FTitleOffset + FRowOffset;
    if (R != Row()) {
        if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
        if (R >= RowCount()) {
            UpdateRowCount();
            R = std::min(R, RowCount() - 1);
        }
        if (R >= FixedRows() && R != Row()) {
            MoveCurrent(Col(), R, true, false);
            UpdateEdit();
        }
    }
    if (Parent() && ::IsClassNamed(Parent(), "TwwDBCustomLookupCombo")) return;
    TField* Selected = SelectedField();
    if (Selected && Selected->EditText() != FLastEditText) InvalidateEditor();
}

void TwwCustomDBGrid::RecordScrolled(int Distance) {
    if (!HandleAllocated()) return;
    TRect OldRow = BoxRect(0, Row(), ColCount() - 1, Row());
    UpdateScrollBar();
    SyncCurrentRow();
    if (!IsRectEmpty(OldRow)) ::InvalidateRect(Handle(), &OldRow, false);
    InvalidateRow(Row());
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    if (Distance != 0) {
        auto EditorStep = [this] {
            if (FOptions.Contains(dgAlwaysShowEditor) && !CellUsesControl(Col(), Row()) &&
                !IsMemoCell(Col(), Row()))
                ShowEditorIfAllowed();
        };
        try {
            HideCellControl();
            if (std::abs(Distance) > VisibleRowCount()) {
                DoTopRowChanged();
                CheckRecordMoved();
                Invalidate();
                EditorStep();
                return;
            }
            if (Distance % 2 != 0) FAlternatePhase ^= 1;
            TGridDrawInfo D;
            CalcDrawInfo(D);
            TRect Data(0, D.Vert.FixedBoundary, ClientWidth(), ClientHeight());
            if (FPaintOptions->FastRecordScrolling()) {
                int Pitch = DefaultRowHeight() + (HasRowLines() ? 1 : 0);
                // Only whole rows move: a part row under the last one would
                // otherwise land on a row that the uncovered strip, taken
                // from the window's bottom, does not reach.
                Data.Bottom = std::min(Data.Bottom, LastVisibleRowBottom(D));
                ScrollWindow(Handle(), 0, -Pitch * Distance, &Data, &Data);
                if (FOptions.Contains(dgIndicator)) {
                    if (FLastIndicatorRow >= 0 && FLastIndicatorRow < RowCount())
                        InvalidateRow(FLastIndicatorRow);
                    InvalidateRow(Row());
                }
            } else {
                ::InvalidateRect(Handle(), &Data, false);
            }
        } catch (...) {
            EditorStep();
            throw;
        }
        EditorStep();
        DoTopRowChanged();
    }
    CheckRecordMoved();
}

void TwwCustomDBGrid::CheckRecordMoved() {
    const bool OldSuppress = FSuppressCellChanged;
    TDataSource* Source = DataSource();
    TDataSet* DS = Source ? Source->DataSet() : nullptr;
    if (DS && DS->Active() &&
        (Assigned(OnRowChanged) || Assigned(OnCellChanged) || Assigned(OnUpdateFooter))) {
        TBookmark Now = DS->GetBookmark();
        bool Have = !Now.empty();
        bool Changed = false;
        if (!FHasCurrentBookmark) Changed = true;
        else if (Have) {
            int C = CompareBookmarksOf(DS, Now, FCurrentBookmark);
            Changed = C != 0 && C != 2;
        } else if (Source->State() == dsInsert) {
            Changed = true;
        }
        if (Changed) {
            DoRowChanged();
            FSuppressCellChanged = true;
        }
        FCurrentBookmark = Now;
        FHasCurrentBookmark = Have;
    }
    if (FColChangedWithoutWindow) {
        FColChangedWithoutWindow = false;
        DoColEnter();
        DoUpdateFooter();
    }
    FSuppressCellChanged = OldSuppress;
}

bool TwwCustomDBGrid::UpdateFooter() {
    TDataSource* Source = DataSource();
    if (!Assigned(OnUpdateFooter) || !HandleAllocated() || !Source || Source->State() != dsBrowse)
        return false;
    TDataSet* DS = Source->DataSet();
    if (!FFooterDirty && DS) {
        TDataSource* Master = GetDataSourceProp(DS);
        if (!Master) Master = GetMasterSource(DS);
        if (Master && Master->DataSet()) {
            TBookmark Now = Master->DataSet()->GetBookmark();
            if (FHasMasterBookmark) {
                int C = CompareBookmarksOf(Master->DataSet(), Now, FMasterBookmark);
                if (C != 0 && C != 2) FFooterDirty = true;
            }
            if (!Now.empty()) {
                FMasterBookmark = Now;
                FHasMasterBookmark = true;
            }
        }
    }
    if (!FFooterDirty && DS && FHasCurrentBookmark &&
        ((DS->Bof() && DS->Eof()) || !DS->BookmarkValid(FCurrentBookmark)))
        FFooterDirty = true;
    bool Dirty = FFooterDirty;
    FFooterDirty = false;
    if (Dirty) DoUpdateFooter();
    return Dirty;
}

void TwwCustomDBGrid::DoTopRowChanged() {
    if (Assigned(OnTopRowChanged)) OnTopRowChanged(this);
    if (!FGroupFieldName.empty()) Invalidate();
}

void TwwCustomDBGrid::DoRowChanged() {
    if (Assigned(OnRowChanged)) OnRowChanged(this);
    DoCellChanged();
}

void TwwCustomDBGrid::DoCellChanged() {
    if (FClickMark || FSuppressCellChanged) return;
    if (IsExpandButtonExpanded()) CollapseExpandButtons(this);
    if (Assigned(OnCellChanged)) OnCellChanged(this);
}

void TwwCustomDBGrid::DoFieldChanged(TField* Field) {
    if (Assigned(OnFieldChanged)) OnFieldChanged(this, Field);
}

void TwwCustomDBGrid::DoUpdateFooter() {
    if (Assigned(OnUpdateFooter)) OnUpdateFooter(this);
}

void TwwCustomDBGrid::DoColEnter() {
    if (Assigned(OnColEnter)) OnColEnter(this);
    DoCellChanged();
}

void TwwCustomDBGrid::DoColExit() {
    if (Assigned(OnColExit)) OnColExit(this);
}

void TwwCustomDBGrid::InvalidValueError(TField* Field) { DefaultIntl->DoValidationError(this, Field); }

namespace {

bool IsIntegerType(TField* F) {
    return IsFieldKindOf(F, {ftSmallint, ftInteger, ftWord, ftLargeint, ftAutoInc});
}
bool IsFloatType(TField* F) { return IsFieldKindOf(F, {ftFloat, ftCurrency, ftBCD}); }

AnsiString DisplayFormatOf(TField* F) {
    if (auto* N = dynamic_cast<TNumericField*>(F)) return N->DisplayFormat();
    return {};
}

}  // namespace

void TwwCustomDBGrid::WriteEditText() {
    auto* Editor = dynamic_cast<TwwInplaceEdit*>(FInplaceEdit);
    TDataSet* DS = FDataLink->DataSet();
    if (Editor && Editor->UsesPictureMask() && FDataLink->Modified()) {
        if (!Editor->CheckPictureValue(Editor->Text())) {
            TwwInvalidValueEvent Invalid = GetOnInvalidValueEvent(DS);
            if (Assigned(Invalid)) Invalid(DS, SelectedField());
            else InvalidValueError(SelectedField());
            return;
        }
    }
    if (FDataLink->MappedCount() == 0) return;
    TField* F = SelectedField();
    if (!F) return;
    const AnsiString T = FLastEditText;
    NoteFieldChangeReported(F->EditText() == T);
    if (IsFieldKindOf(F, {ftDate, ftDateTime}) && (IsDateText(T) || IsDateTimeText(T))) {
        TDateTime Date = 0;
        // A text that passed the date check but cannot be read is refused
        // with the edit kept: writing nothing would lose what was typed.
        if (!ParseDateText(T, Date)) throw EConvertError("'" + T + "' is not a valid date");
        TDateTime Whole = 0;
        double Time = TryStrToDateTime(T, Whole) ? Whole - std::floor(Whole) : 0;
        F->SetAsDateTime(std::floor(Date) + Time);
    } else if ((IsIntegerType(F) || IsFloatType(F)) && !T.empty() && !DisplayFormatOf(F).empty()) {
        long double Value = 0;
        if (ParseDisplayFloat(T, Value, DisplayFormatOf(F))) {
            if (IsFloatType(F)) F->SetAsFloat(static_cast<double>(Value));
            else F->SetAsInteger(static_cast<int>(std::nearbyint(Value)));
        } else {
            F->SetEditText(T);
        }
    } else {
        F->SetEditText(T);
    }
    if (!FieldChangeReported()) DoFieldChanged(F);
}

// ---------------------------------------------------------------------------
// The grid base's edit hooks
// ---------------------------------------------------------------------------

AnsiString TwwCustomDBGrid::GetEditText(int ACol, int) {
    TField* F = GetColField(DataColumnIndex(ACol));
    FLastEditText = F ? F->EditText() : AnsiString();
    return FLastEditText;
}

void TwwCustomDBGrid::SetEditText(int, int, const AnsiString& Value) { FLastEditText = Value; }

AnsiString TwwCustomDBGrid::GetEditMask(int ACol, int) {
    TField* F = GetColField(DataColumnIndex(ACol));
    return F ? F->EditMask() : AnsiString();
}

int TwwCustomDBGrid::GetEditLimit() {
    TField* F = SelectedField();
    return F && F->DataType() == ftString ? F->Size() : 0;
}

bool TwwCustomDBGrid::CanEditAcceptKey(char Key) {
    TField* F = SelectedField();
    return FDataLink->Active() && FDataLink->MappedCount() > 0 && F && F->IsValidChar(Key);
}

bool TwwCustomDBGrid::CanEditModify() {
    TDataSet* DS = FDataLink->DataSet();
    TDataSource* Source = DataSource();
    if (!FKeyOptions.Contains(dgAllowInsert) && DS && DS->Bof() && DS->Eof() && Source &&
        Source->State() == dsBrowse)
        return false;
    if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly() || FDataLink->MappedCount() == 0)
        return false;
    TField* F = SelectedField();
    if (!F) return false;
    if (!F->CanModify() && !(FEditCalculated && F->Calculated() && !F->ReadOnly())) return false;
    if (ColumnAt(SelectedIndex())->ReadOnly()) return false;
    FDataLink->Edit();
    bool Editing = FDataLink->Editing();
    if (Editing) FDataLink->MarkModified();
    return Editing;
}

bool TwwCustomDBGrid::CanEditShow() { return FLayoutLock == 0 && TCustomGrid::CanEditShow(); }

// ---------------------------------------------------------------------------
// The vertical scroll bar
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::UpdateScrollBar() {
    if (!FShowVertScrollBar || !FDataLink->Active() || !HandleAllocated()) return;
    TDataSet* DS = FDataLink->DataSet();
    if (!DS || !DS->Active()) return;
    TScrollInfo Old;
    Old.fMask = SIF_ALL;
    GetScrollInfo(Handle(), SB_VERT, Old);
    TScrollInfo New;
    New.fMask = SIF_ALL;
    if (DS->IsSequenced()) {
        DS->UpdateCursorPos();
        New.nMin = 1;
        New.nPage = static_cast<UINT>(std::max(0, VisibleRowCount()));
        New.nMax = DS->RecordCount() + static_cast<int>(New.nPage) - 1;
        New.nPos = DS->State() >= dsInsert ? Old.nPos : DS->RecNo();
    } else {
        New.nMin = 0;
        New.nMax = 4;
        New.nPage = 0;
        New.nPos = DS->Bof() ? 0 : DS->Eof() ? 4 : 2;
    }
    if (New.nMin == Old.nMin && New.nMax == Old.nMax && New.nPage == Old.nPage && New.nPos == Old.nPos)
        return;
    if (New.nMax - New.nMin <= 1) {
        New.nPage = 1000;
        New.nMax = 1001;
        New.nMin = 1;
    }
    New.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    SetScrollInfo(Handle(), SB_VERT, New, true);
}

void TwwCustomDBGrid::WMVScroll(TMessage& Message) {
    if (Message.LParam) {
        TCustomGrid::WMVScroll(Message);
        return;
    }
    if (!TryFocus() || !FDataLink->Active()) return;
    TDataSet* DS = FDataLink->DataSet();
    auto UntouchedInsert = [&] {
        return DS->State() == dsInsert && !DS->Modified() && !FDataLink->Modified();
    };
    switch (LoWord(Message.WParam)) {
    case SB_LINEUP:
        if (UntouchedInsert() && DS->Eof()) DS->Cancel();
        else if (DS->Bof() && FDataLink->ActiveRecord() > 0)
            FDataLink->SetActiveRecord(FDataLink->ActiveRecord() - 1);
        else DS->Prior();
        break;
    case SB_LINEDOWN:
        if (UntouchedInsert()) {
            if (!DS->Eof()) DS->Cancel();
        } else if (DS->Eof() && FDataLink->ActiveRecord() >= 0 &&
                   FDataLink->ActiveRecord() < FDataLink->RecordCount() - 1 && DS->State() != dsInsert) {
            FDataLink->SetActiveRecord(FDataLink->ActiveRecord() + 1);
        } else {
            DS->Next();
        }
        break;
    case SB_PAGEUP: FDataLink->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: FDataLink->MoveBy(VisibleRowCount()); break;
    case SB_THUMBPOSITION: {
        int Pos = static_cast<int16_t>(HiWord(Message.WParam));
        if (DS->IsSequenced()) {
            DS->CheckBrowseMode();
            int Old = DS->RecNo();
            if (Pos <= 1) DS->First();
            else if (Pos >= DS->RecordCount()) DS->Last();
            else DS->SetRecNo(Pos);
            DS->Resync({});
            if (DS->RecNo() != Old) DoTopRowChanged();
        } else {
            switch (Pos) {
            case 0: DS->First(); break;
            case 1: FDataLink->MoveBy(-VisibleRowCount()); break;
            case 3: FDataLink->MoveBy(VisibleRowCount()); break;
            case 4: DS->Last(); break;
            default: break;
            }
        }
        break;
    }
    case SB_TOP: DS->First(); break;
    case SB_BOTTOM: DS->Last(); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Columns chosen by code
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::SelectField(TField* Field) {
    for (int I = 0; I < FDataLink->MappedCount(); ++I) {
        if (FDataLink->MappedField(I) != Field) continue;
        if (I + FIndicatorOffset >= FixedCols()) SetSelectedIndex(I);
        else SelectFixedColumn(I);
    }
}

void TwwCustomDBGrid::SelectFixedColumn(int DataCol) {
    UpdateData();
    HideCellControl();
    MoveCurrent(DataCol + FIndicatorOffset, Row(), true, false);
    InvalidateEditor();
    DoColEnter();
}

void TwwCustomDBGrid::SetSelectedIndex(int DataCol) {
    UpdateData();
    const int Count = FDataLink->MappedCount();
    if (Count == 0) return;
    int Lowest = FOptions.Contains(dgFixedEditable) ? 0 : std::max(0, FixedCols() - FIndicatorOffset);
    DataCol = std::clamp(DataCol, std::min(Lowest, Count - 1), Count - 1);
    // A column hidden with -1 is passed over, towards where the move went.
    if (ColWidths(DataCol + FIndicatorOffset) < 0) {
        int Step = DataCol >= SelectedIndex() ? 1 : -1;
        int C = DataCol;
        while (C >= Lowest && C < Count && ColWidths(C + FIndicatorOffset) < 0) C += Step;
        if (C < Lowest || C >= Count) return;
        DataCol = C;
    }
    if (DataCol == SelectedIndex()) return;
    if (!FInColExit) {
        const int Before = Col();
        FInColExit = true;
        try {
            DoColExit();
        } catch (...) {
            FInColExit = false;
            throw;
        }
        FInColExit = false;
        if (Col() != Before) return;
    }
    const int Target = DataCol + FIndicatorOffset;
    HideEditor();
    if (FOptions.Contains(dgAlwaysShowEditor) && !FTabbingIntoNextRecord && !CellUsesControl(Target, Row()))
        HideCellControl();
    const int OldLeft = LeftCol();
    if (FOptions.Contains(dgFixedEditable)) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        if (Target >= FixedCols() && (Target < LeftCol() || Target > D.Horz.LastFullVisibleCell)) {
            MoveCurrent(Target, Row(), true, false);
            MakeColumnVisible(Target);
        } else {
            SetCol(Target);
        }
    } else {
        SetCol(Target);
    }
    if (FOptions.Contains(dgAlwaysShowEditor) && !FTabbingIntoNextRecord && !CellUsesControl(Col(), Row()) &&
        !IsMemoCell(Col(), Row()) &&
        !(FEditControlOptions.Contains(ecoDisableEditorIfReadOnly) && ColumnAt(SelectedIndex())->ReadOnly()))
        ShowEditor();
    DoColEnter();
    if (LeftCol() != OldLeft && HandleAllocated()) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        TRect Strip(D.Horz.FixedBoundary - 1, 0, D.Horz.FixedBoundary + 1, ClientHeight());
        ::InvalidateRect(Handle(), &Strip, false);
    }
}

void TwwCustomDBGrid::MakeColumnVisible(int GridCol) {
    if (GridCol < FixedCols() || GridCol >= ColCount() || ColWidths(GridCol) < 0 || !HandleAllocated())
        return;
    TGridDrawInfo D;
    CalcDrawInfo(D);
    int NewLeft = LeftCol();
    if (GridCol < LeftCol()) NewLeft = GridCol;
    else if (GridCol > D.Horz.LastFullVisibleCell) NewLeft = CalcMaxTopLeft({GridCol, TopRow()}, D).X;
    if (NewLeft == LeftCol()) return;
    BeginRedrawLock();
    try {
        MoveTopLeft(NewLeft, TopRow());
    } catch (...) {
        EndRedrawLock(false);
        throw;
    }
    EndRedrawLock(false);
    Invalidate();
}

// ---------------------------------------------------------------------------
// Ditto
// ---------------------------------------------------------------------------

bool TwwCustomDBGrid::TryDitto(WORD Key, TShiftState Shift) {
    const int Short = ShortCut(Key, Shift);
    if (Short == 0) return false;
    TDataSet* DS = FDataLink->DataSet();
    if (Short == FDittoAttributes->ShortCutDittoRecord()) {
        if (FDittoAttributes->Options().Contains(wwdoSkipHiddenFields)) {
            for (int I = 0; I < FDataLink->MappedCount(); ++I)
                DittoField(FDataLink->MappedField(I), FDittoAttributes->DittoDirection());
        } else if (DS) {
            for (TField* F : DS->Fields()->List()) DittoField(F, FDittoAttributes->DittoDirection());
        }
        return true;
    }
    if (Short == FDittoAttributes->ShortCutDittoField())
        return DittoField(SelectedField(), FDittoAttributes->DittoDirection());
    return false;
}

bool TwwCustomDBGrid::DittoField(TField* Field, TwwDittoDirection Direction) {
    if (!Field) return false;
    const TwwDittoOptions Options = FDittoAttributes->Options();
    if (Options.Contains(wwdoSkipReadOnlyFields) &&
        (Field->ReadOnly() || ColumnByFieldName(Field->FieldName())->ReadOnly()))
        return false;
    if (Options.Contains(wwdoSkipBlobFields) && Field->IsBlob()) return false;
    AnsiString Value;
    bool Found = false;
    if (Direction == wwDittoPrior || Direction == wwDittoPriorOrNext)
        Found = GetPriorRecordValue(Field->FieldName(), Value);
    if (!Found && (Direction == wwDittoNext || Direction == wwDittoPriorOrNext))
        Found = GetNextRecordValue(Field->FieldName(), Value);
    if (!Found) return false;
    bool Allow = true;
    if (Assigned(OnDitto)) OnDitto(this, FDataLink->DataSet(), Field, Value, Allow);
    if (!Allow) return false;
    // CanEditModify puts the record into edit mode for the selected column;
    // the field written may be another, so its own column counts.
    const int Saved = Col();
    const int DataCol = DataColOfField(Field);
    if (DataCol >= 0) FCurrent.X = DataCol + FIndicatorOffset;
    bool May = CanEditModify();
    FCurrent.X = Saved;
    if (May) Field->SetText(Value);
    return true;
}

bool TwwCustomDBGrid::GetPriorRecordValue(std::string_view FieldName, AnsiString& Text) {
    TDataSet* DS = FDataLink->DataSet();
    if (!DS || !DS->Active() || FDataLink->ActiveRecord() <= 0) return false;
    TField* F = DS->FindField(FieldName);
    TActiveRecordScope Scope(this, FDataLink->ActiveRecord() - 1);
    if (!F) return false;
    Text = F->AsString();
    return true;
}

bool TwwCustomDBGrid::GetNextRecordValue(std::string_view FieldName, AnsiString& Text) {
    TDataSet* DS = FDataLink->DataSet();
    if (!DS || !DS->Active() || FDataLink->ActiveRecord() >= FDataLink->RecordCount() - 1) return false;
    TField* F = DS->FindField(FieldName);
    TActiveRecordScope Scope(this, FDataLink->ActiveRecord() + 1);
    if (!F) return false;
    Text = F->AsString();
    return true;
}

// ---------------------------------------------------------------------------
// Focus and the keyboard hook
//
// The grid gains the focus when the focus enters its subtree of its form (the
// grid, its cell editor or a cell control) and loses it when the focus leaves
// that subtree: a move between the grid and its own cell control neither
// posts the pending edit nor takes the hook away. A move to another form
// (a dialog) leaves the grid as it was.
// ---------------------------------------------------------------------------

bool TwwCustomDBGrid::TryFocus() {
    if (!FTakesFocus || !CanFocus() || ComponentState().Contains(csDesigning)) return true;
    SetFocus();
    if (Focused()) return true;
    return FInplaceEdit && FInplaceEdit->HandleAllocated() && GetFocus() == FInplaceEdit->Handle();
}

bool TwwCustomDBGrid::KeyboardHookInstalled() { return GridHook != nullptr; }

void TwwCustomDBGrid::InstallKeyboardHook() {
    if (!GridHook) GridHook = SetWindowsHookEx(WH_KEYBOARD, GridKeyboardHook);
}

void TwwCustomDBGrid::RemoveKeyboardHook() {
    if (!GridHook) return;
    UnhookWindowsHookEx(GridHook);
    GridHook = nullptr;
}

void TwwCustomDBGrid::CMEnter(TMessage& Message) {
    TCustomGrid::CMEnter(Message);
    FFocused = true;
    if (FPaintOptions->ActiveRecordColor() != clNone && !FOptions.Contains(dgAlwaysShowSelection))
        InvalidateCurrentRow();
    InstallKeyboardHook();
}

void TwwCustomDBGrid::CMExit(TMessage& Message) {
    if (GridHook && !(Parent() && ::IsClassNamed(Parent(), "TCustomGrid"))) RemoveKeyboardHook();
    try {
        if (FDataLink->Active()) {
            TDataSet* DS = FDataLink->DataSet();
            if (FOptions.Contains(dgCancelOnExit) && DS->State() == dsInsert && !DS->Modified() &&
                !FDataLink->Modified() && CanCancelOnExit())
                DS->Cancel();
            else UpdateData();
        }
        if (!FOptions.Contains(dgAlwaysShowSelection)) InvalidateCurrentRow();
    } catch (...) {
        // A refused mask or a text the field cannot take must be seen: the
        // grid keeps the focus and the edit, and the error is shown.
        if (CanFocus()) SetFocus();
        InstallKeyboardHook();
        Application->HandleException(this);
        return;
    }
    TCustomGrid::CMExit(Message);
    FFocused = false;
}

TWinControl* FindNextTabControl(TWinControl* Control, bool Forward, bool TabStopsOnly) {
    TWinControl* Parent = Control ? Control->Parent() : nullptr;
    if (!Parent) return nullptr;
    std::vector<TWinControl*> All, Order;
    Parent->GetTabOrderList(All);
    for (TWinControl* C : All)
        if (C->Parent() == Parent) Order.push_back(C);
    if (Order.empty()) return nullptr;
    auto It = std::find(Order.begin(), Order.end(), Control);
    int Index = It == Order.end() ? (Forward ? static_cast<int>(Order.size()) - 1 : 0)
                                  : static_cast<int>(It - Order.begin());
    for (int I = Index + (Forward ? 1 : -1); I >= 0 && I < static_cast<int>(Order.size());
         I += Forward ? 1 : -1) {
        TWinControl* C = Order[static_cast<size_t>(I)];
        if (C->CanFocus() && (!TabStopsOnly || C->TabStop())) return C;
    }
    return nullptr;
}

namespace {

TwwCustomDBGrid* FirstGridUp(TControl* Control) {
    for (TControl* C = Control; C; C = C->Parent())
        if (auto* G = dynamic_cast<TwwCustomDBGrid*>(C)) return G;
    return nullptr;
}

// The nearest grid around the control, when it is one of the library's.
TwwCustomDBGrid* EnclosingGrid(TControl* Control) {
    for (TControl* C = Control ? Control->Parent() : nullptr; C; C = C->Parent())
        if (dynamic_cast<TCustomGrid*>(C)) return dynamic_cast<TwwCustomDBGrid*>(C);
    return nullptr;
}

bool IsInsideGrid(TControl* Control) {
    for (TControl* C = Control; C; C = C->Parent())
        if (dynamic_cast<TCustomGrid*>(C)) return true;
    return false;
}

// Whether the caret of an edit lets the key leave it for the grid.
bool CaretAllowsLeaving(TCustomEdit* Edit, WORD Key) {
    int S = Edit->SelStart(), E = S + Edit->SelLength(), N = Edit->GetTextLen();
    switch (Key) {
    case VK_HOME:
    case VK_LEFT: {
        bool Masked = ::IsClassNamed(Edit, "TwwDBCustomEdit") && !GetStrProp(Edit, "EditMask").empty();
        return S == 0 && (E == 0 || E == N || (Masked && E == 1));
    }
    case VK_RIGHT: return (S == 0 || S == E) && E == N;
    case VK_UP:
    case VK_DOWN: return S == 0 && E == N;
    default: return true;
    }
}

LRESULT GridKeyboardHook(int Code, WPARAM Key, LPARAM KeyData) {
    const bool Release = (static_cast<uint32_t>(KeyData) & 0x80000000u) != 0;
    TWinControl* Active = Screen ? Screen->ActiveControl() : nullptr;
    TWinControl* A = Active;
    if (auto* Grid = dynamic_cast<TwwCustomDBGrid*>(Active)) {
        TInplaceEdit* E = Grid->InplaceEditor();
        if (E && E->HandleAllocated() && GetFocus() == E->Handle()) A = E;
    }
    TwwCustomDBGrid* G = FirstGridUp(Active);
    const bool Shift = GetKeyState(VK_SHIFT) < 0;
    const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool Alt = GetKeyState(VK_MENU) < 0;
    if (G && A && G->IsCellControlFocused() && Key == VK_TAB && A->Parent() &&
        (dynamic_cast<TScrollBox*>(A->Parent()) || dynamic_cast<TCustomPanel*>(A->Parent())) &&
        A->Parent()->Parent() == G && !FindNextTabControl(A, !Shift, true))
        return 1;
    LRESULT R = CallNextHookEx(GridHook, Code, Key, KeyData);
    if (!A) return R;
    TwwCustomDBGrid* G2 = EnclosingGrid(A);
    if (G2 && G2->IsCellControlFocused()) G2 = nullptr;
    if ((Key == VK_RETURN || Key == VK_TAB) && !Ctrl && !Alt && A->HandleAllocated() &&
        GetFocus() == A->Handle()) {
        if (Release) return 0;
        if (G2 && (G2->KeyOptions().Contains(dgEnterToTab) || Key == VK_TAB)) {
            PostMessage(G2->Handle(), WM_KEYDOWN, Key, 0);
            return 1;
        }
        return R;
    }
    if (G && !Release &&
        G->TryDitto(static_cast<WORD>(Key), KeyDataToShiftState(static_cast<int32_t>(KeyData))))
        return 1;
    if (Ctrl && Key == VK_LEFT && !Release && G && G->IsCellControlFocused()) {
        G->CollapseExpandButtons(G);
        return 1;
    }
    const bool Navigation = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME ||
                            Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
    if (Ctrl && !Release && (Navigation || Key == VK_DELETE)) {
        if (!HasChildOutsideClient(A) && G2 && A != G2) {
            PostMessage(G2->Handle(), WM_KEYDOWN, Key, 0);
            return 1;
        }
        return R;
    }
    const bool Arrow = Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
    if (!Ctrl && !Alt && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_HOME || Arrow || Key == VK_INSERT)) {
        if (HasChildOutsideClient(A)) return R;
        if (Release) return 0;
        if (!G2 || !G2->HandleAllocated()) return R;
        HWND Focus = GetFocus();
        if (Focus != G2->Handle() && !IsChild(G2->Handle(), Focus)) return R;
        if (Arrow && !IsInsideGrid(Active) && Active != G2) return R;
        if (auto* Edit = dynamic_cast<TCustomEdit*>(A);
            Edit && !CaretAllowsLeaving(Edit, static_cast<WORD>(Key)))
            return R;
        if (Focus == G2->Handle()) return R;
        PostMessage(G2->Handle(), WM_KEYDOWN, Key, 0);
        return 1;
    }
    return R;
}

}  // namespace

// ---------------------------------------------------------------------------
// Cell controls: which ControlType lines are in force and which control
// serves a column
// ---------------------------------------------------------------------------

TStrings* TwwCustomDBGrid::GetControlTypeList() {
    if (FPaintKnowsControlTypes) return FPaintControlTypes;
    TDataSet* DS = FDataLink->DataSet();
    if (FControlInfoInDataset && DS)
        if (TStrings* Lines = GetControlType(DS)) return Lines;
    return FControlType.get();
}

void TwwCustomDBGrid::GetFieldControlType(std::string_view FieldName, AnsiString& Kind, AnsiString& Params) {
    ::GetFieldControlType(GetControlTypeList(), FieldName, Kind, Params);
}

const TwwCacheColInfoItem* TwwCustomDBGrid::CacheItem(int GridCol) const {
    if (GridCol < 0 || GridCol >= static_cast<int>(FCacheColInfo.size())) return nullptr;
    return &FCacheColInfo[static_cast<size_t>(GridCol)];
}

void TwwCustomDBGrid::BuildControlTypeCache() {
    FCacheColInfo.assign(static_cast<size_t>(ColCount()), TwwCacheColInfoItem{});
    for (int C = 0; C < ColCount(); ++C) {
        TField* F = FDataLink->MappedField(C - FIndicatorOffset);
        if (C < FIndicatorOffset || !F) continue;
        TwwCacheColInfoItem& Item = FCacheColInfo[static_cast<size_t>(C)];
        GetFieldControlType(F->FieldName(), Item.Kind, Item.Params);
        if (!IsSeparateControlKind(Item.Kind)) continue;
        int Position = 1;
        NextToken(Item.Params, ";", Position);
        Item.AlwaysPaint = Position > 0 && NextToken(Item.Params, ";", Position) == "T";
        TWinControl* Control = nullptr;
        if (GetCellControl(C, FTitleOffset, Control) && Control && Control != DateTimePicker()) {
            Item.Control = Control;
        } else {
            Item.AlwaysPaint = false;
            Item.Kind.clear();
        }
    }
}

bool TwwCustomDBGrid::IsValidDataCell(int GridCol, int GridRow) const {
    TDataSource* Source = DataSource();
    TDataSet* DS = Source ? Source->DataSet() : nullptr;
    int DataCol = GridCol - FIndicatorOffset;
    return DS && DataCol >= 0 && DataCol < FDataLink->MappedCount() && GridRow - FTitleOffset >= 0 &&
           DS->Active();
}

bool TwwCustomDBGrid::GetCellControl(int GridCol, int GridRow, TWinControl*& Control) {
    Control = nullptr;
    if (FEditControlOptions.Contains(ecoDisableCustomControls) || !IsValidDataCell(GridCol, GridRow))
        return false;
    const AnsiString FieldName = GetColumnFieldName(GridCol);
    TStrings* Lines = GetControlTypeList();
    for (int I = 0; Lines && I < Lines->Count(); ++I) {
        const AnsiString Line = Lines->Strings(I);
        int Position = 1;
        if (NextToken(Line, ";", Position) != FieldName || Position < 0) continue;
        AnsiString Kind = NextToken(Line, ";", Position);
        if (!IsSeparateControlKind(Kind)) continue;
        AnsiString Name = Position > 0 ? NextToken(Line, ";", Position) : AnsiString();
        TWinControl* Found = FindCellControl(Name);
        if (Found) {
            TCustomForm* Form = GetParentForm(Found);
            if (!Form || !::IsClassNamed(Form, "TwwRecordViewForm")) {
                Control = Found;
                return true;
            }
        }
        // The first separate-control line of the field decides the control.
        break;
    }
    TField* F = FDataLink->MappedField(GridCol - FIndicatorOffset);
    if (DateTimePicker() && !FEditControlOptions.Contains(ecoDisableDateTimePicker) &&
        dynamic_cast<TDateTimeField*>(F)) {
        Control = DateTimePicker();
        return true;
    }
    return false;
}

TWinControl* TwwCustomDBGrid::FindCellControl(const AnsiString& Name) {
    TComponent* Container =
        FEditControlOptions.Contains(ecoSearchOwnerForm) ? GetOwnerFormOrFrame(this) : GetParentForm(this);
    if (!Container || Name.empty()) return nullptr;
    size_t Dot = Name.find('.');
    TComponent* Found = nullptr;
    if (Dot == AnsiString::npos) {
        Found = Container->FindComponent(Name);
    } else {
        AnsiString First = Name.substr(0, Dot), Second = Name.substr(Dot + 1);
        if (Second.empty()) return nullptr;
        TComponent* Frame = Container->FindComponent(First);
        if (Frame && ::IsClassNamed(Frame, "TCustomFrame")) {
            Found = Frame->FindComponent(Second);
        } else {
            TDataSet* DS = FDataLink->DataSet();
            if (!DS || !DS->Owner()) return nullptr;
            Found = DS->Owner()->FindComponent(Second);
        }
    }
    return dynamic_cast<TWinControl*>(Found);
}

bool TwwCustomDBGrid::CanShowCellControl() {
    if (FEditControlOptions.Contains(ecoDisableCustomControls)) return false;
    if (!CanEditGrid()) {
        const TwwCacheColInfoItem* Item = CacheItem(Col());
        if (!Item || !Item->AlwaysPaint) return false;
    }
    return !ComponentState().Contains(csDesigning) && !FOptions.Contains(dgRowSelect);
}

void TwwCustomDBGrid::PlaceCellControl() {
    TWinControl* Control = nullptr;
    if (!GetCellControl(Col(), Row(), Control) || !Control) return;
    if (!CanShowCellControl() && !::IsClassNamed(Control, "TwwExpandButton")) return;
    FActiveCellControl = Control;
    if (ComponentState().Contains(csDesigning) || Control->Parent() != this) return;
    TRect R;
    GetCellRect(Col(), Row(), R);
    if (Control->Top() == R.Top && Control->Left() == R.Left && Control->Left() + Control->Width() == R.Right)
        return;
    Control->SetBoundsRect(R);
}

TWinControl* TwwCustomDBGrid::GetActiveExpandButton() const {
    return FActiveCellControl && ::IsClassNamed(FActiveCellControl, "TwwExpandButton") ? FActiveCellControl
                                                                                       : nullptr;
}

namespace {

TWinControl* DetailOf(TWinControl* ExpandButton) {
    return ExpandButton ? dynamic_cast<TWinControl*>(GetObjectProp(ExpandButton, "Grid")) : nullptr;
}

}  // namespace

bool TwwCustomDBGrid::IsExpandButtonExpanded() const {
    TWinControl* Detail = DetailOf(GetActiveExpandButton());
    return Detail && Detail->Visible();
}

bool TwwCustomDBGrid::IsCellControlFocused() const {
    if (!IsExpandButtonExpanded()) return false;
    TWinControl* Detail = DetailOf(GetActiveExpandButton());
    if (auto* G = dynamic_cast<TwwCustomDBGrid*>(Detail); G && ::IsClassNamed(G, "TwwDBGrid"))
        return G->FFocused;
    if (!Detail->HandleAllocated()) return false;
    HWND Focus = GetFocus();
    return Focus && (Focus == Detail->Handle() || IsChild(Detail->Handle(), Focus));
}

void TwwCustomDBGrid::CollapseExpandButtons(TWinControl* Parent) {
    if (!Parent) return;
    for (int I = 0; I < Parent->ControlCount(); ++I) {
        auto* Button = dynamic_cast<TWinControl*>(Parent->Controls(I));
        if (!Button || !::IsClassNamed(Button, "TwwExpandButton")) continue;
        if (ExpandButtonToggling(Button)) return;
        TWinControl* Detail = DetailOf(Button);
        if (!Detail || !Detail->Visible()) continue;
        try {
            SetExpandButtonState(Button, false);
            if (!GetExpandButtonState(Button)) Button->Click();
        } catch (...) {
        }
        return;
    }
}

bool TwwCustomDBGrid::GetCheckBoxValues(int GridCol, int GridRow, AnsiString& Checked,
                                        AnsiString& Unchecked) {
    if (!IsValidDataCell(GridCol, GridRow)) return false;
    const AnsiString FieldName = GetColumnFieldName(GridCol);
    TStrings* Lines = GetControlTypeList();
    for (int I = 0; Lines && I < Lines->Count(); ++I) {
        TStringList Parts;
        SplitToList(Lines->Strings(I), ';', Parts);
        if (Parts.Count() < 4 || Parts[0] != FieldName || Parts[1] != "CheckBox") continue;
        Checked = Parts[2];
        Unchecked = Parts[3];
        return true;
    }
    return false;
}

bool TwwCustomDBGrid::IsMemoCell(int GridCol, int GridRow) {
    if (GridRow - FTitleOffset < 0) return false;
    TField* F = GetColField(GridCol - FIndicatorOffset);
    if (!F) return false;
    return IsFieldKindOf(F, {ftMemo, ftOraBlob, ftOraClob}) || IsRichTextField(F, false);
}

bool TwwCustomDBGrid::IsSelectionCheckBoxColumn(int GridCol) {
    AnsiString Checked, Unchecked;
    TField* F = GetColField(GridCol - FIndicatorOffset);
    return F && F->Calculated() && EqualsIgnoreCase(F->FieldName(), "selected") &&
           GetCheckBoxValues(GridCol, FTitleOffset, Checked, Unchecked);
}

bool TwwCustomDBGrid::CanEditGrid() { return FOptions.Contains(dgEditing) && !FReadOnly; }

bool TwwCustomDBGrid::ShowEditorIfAllowed() {
    if (FEditControlOptions.Contains(ecoDisableEditorIfReadOnly) && ColumnAt(SelectedIndex())->ReadOnly())
        return false;
    ShowEditor();
    return true;
}

// ---------------------------------------------------------------------------
// Painting: the sequence, the buffer and the walk over the cells
// ---------------------------------------------------------------------------

namespace {

// The options of the cell text painter.
enum : uint32_t { ctNoFill = 1, ctEllipsis = 2, ctPrefix = 4, ctWordWrap = 8 };

TRect Intersection(const TRect& A, const TRect& B) {
    TRect R(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom));
    return R.Left < R.Right && R.Top < R.Bottom ? R : TRect();
}

void Line(TCanvas* C, TColor Color, int X1, int Y1, int X2, int Y2) {
    C->Pen()->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

bool IsWhite(TColor Color) { return ColorToRGB(Color) == 0xFFFFFF; }

}  // namespace

bool TwwCustomDBGrid::PaintsDirectly() {
    if (FControlState.Contains(csPaintCopy)) return false;
    return DefaultIntl && DefaultIntl->GridPaintStyle() == gpsDynamicDeviceContext;
}

TCanvas* TwwCustomDBGrid::GetPaintCanvas() {
    if (FDrawingDragImage && FDragCanvas) return FDragCanvas;
    if (PaintsDirectly()) return FDirectCanvas ? FDirectCanvas : Canvas();
    return FPaintBitmap->Canvas();
}

TColor TwwCustomDBGrid::GetActiveRecordColor() const {
    TColor C = FPaintOptions->ActiveRecordColor();
    return C == clNone ? clHighlight : C;
}

void TwwCustomDBGrid::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

// The client area less the footer (reduced rectangle): rows and scrolling end above it.
TRect TwwCustomDBGrid::ClientRect() const {
    TRect R = TCustomGrid::ClientRect();
    if (!FOptions.Contains(dgShowFooter)) return R;
    auto* Self = const_cast<TwwCustomDBGrid*>(this);
    int Footer = FFooterHeight > 0 ? FFooterHeight : Self->TextHeightOf(Font(), "W") + 6;
    if (FOptions.Contains(dgFooter3DCells)) Footer += 2;
    R.Bottom = std::max(R.Top, R.Bottom - Footer);
    return R;
}

void TwwCustomDBGrid::WMPaint(TMessage& Message) {
    if (!HandleAllocated()) return;
    TRect U;
    GetUpdateRect(Handle(), &U, false);
    FUpdateRect = U;
    if (!PaintsDirectly() || Message.WParam != 0) {
        TCustomGrid::WMPaint(Message);
        return;
    }
    // Painting directly. A paint whose first step fills the whole update
    // rectangle goes straight to the window: its surface reaches the display
    // only when the paint is over, so it is a back buffer already, and a
    // memory bitmap would hold the same pixels, whose copy would cost as
    // much again. Any other paint goes into a memory bitmap, only the update
    // rectangle reaching the window. The bitmap is kept between paints and
    // each paint gets a canvas of its own on it, clipped to the update
    // rectangle, so that a paint of a few rows costs a few rows. Inside the
    // rectangle the paint finds the bitmap white, as a new one would be:
    // what earlier paints wrote there is made white first.
    TRect Client = TCustomGrid::ClientRect();
    TRect Reduced = ClientRect();
    FUpdateRect = Intersection(FUpdateRect, Client);
    if (HasRowLines() && FUpdateRect.Top > 0) --FUpdateRect.Top;
    const bool ToWindow = PaintFillsUpdateRect();
    const int W = std::max(1, Reduced.Width()), H = std::max(1, Client.Height());
    if (!ToWindow && (!FDirectBitmap || FDirectBitmap->Width() != W || FDirectBitmap->Height() != H)) {
        FDirectBitmap = std::make_unique<TBitmap>();
        FDirectBitmap->SetSize(W, H);
        FDirectDirty.Clear();
    }
    TPaintStruct PS;
    HDC DC = BeginPaint(Handle(), PS);
    if (IsRectEmpty(FUpdateRect)) FUpdateRect = PS.rcPaint;
    std::optional<TCanvas> Memory;
    if (ToWindow) {
        // The context is clipped to the update region, which FUpdateRect holds.
        FDirectCanvas = DC;
    } else {
        Memory.emplace(&FDirectBitmap->Surface());
        const TRegion Stale = FDirectDirty.Intersected(FUpdateRect);
        if (!Stale.Empty()) {
            Memory->FillRgn(Stale, TBrush());
            FDirectDirty = TRegion::Combine(FDirectDirty, Stale, RGN_DIFF);
        }
        const TRegion Reach(FUpdateRect);
        Memory->SetDeviceClip(&Reach);
        FDirectDirty = TRegion::Combine(FDirectDirty, Reach, RGN_OR);
        FDirectCanvas = &*Memory;
    }
    try {
        Paint();
    } catch (...) {
        FDirectCanvas = nullptr;
        EndPaint(Handle(), PS);
        throw;
    }
    FDirectCanvas = nullptr;
    if (Memory) DC->CopyRect(FUpdateRect, &*Memory, FUpdateRect);
    EndPaint(Handle(), PS);
}

// Paint's first step fills the whole update rectangle with one solid colour.
bool TwwCustomDBGrid::PaintFillsUpdateRect() {
    return !FPaintOptions->FillsDataCells() && !Assigned(OnBeforePaint);
}

void TwwCustomDBGrid::Paint() {
    const bool Direct = PaintsDirectly();
    if (!Direct) {
        int W = FOptions.Contains(dgShowFooter) ? Width() : ClientWidth();
        int H = FOptions.Contains(dgShowFooter) ? Height() : ClientHeight();
        if (FPaintBitmap->Width() != W || FPaintBitmap->Height() != H) FPaintBitmap->SetSize(W, H);
        if (IsRectEmpty(FUpdateRect)) FUpdateRect = Canvas()->ClipRect();
    }
    if (FPaintOptions->NeedsRebuild() && FPaintOptions->HasPicture())
        FPaintOptions->UpdateBlendBitmaps(false);
    TCanvas* PC = GetPaintCanvas();
    PC->Refresh();
    struct TControlTypesScope {
        TwwCustomDBGrid* G;
        bool Knew;
        TStrings* Was;
        ~TControlTypesScope() {
            G->FPaintKnowsControlTypes = Knew;
            G->FPaintControlTypes = Was;
        }
    } ControlTypes{this, FPaintKnowsControlTypes, FPaintControlTypes};
    FPaintKnowsControlTypes = false;
    FPaintControlTypes = GetControlTypeList();
    FPaintKnowsControlTypes = true;
    CalcDrawInfo(FPaintInfo);
    if (FPaintOptions->FillsDataCells()) PaintDataCellBackground(FUpdateRect, -1, clNone);
    else PaintDataCellBackground(FUpdateRect, -1, Color());
    if (!FDataLink->Active()) {
        PaintFixedCellBackground(TRect(0, 0, ClientWidth(), ClientHeight()), -1, FTitleColor);
        TRect First = CellRect(LeftCol(), FTitleOffset);
        PaintDataCellBackground(TRect(First.Left, First.Top, ClientWidth(), ClientHeight()), -1, Color());
    }
    if (Assigned(OnBeforePaint)) OnBeforePaint(this);
    PaintCells();
    FPaintDataRow = Row() - FTitleOffset;
    FPaintDataCol = Col() - FIndicatorOffset;
    CalcDrawInfo(FPaintInfo);
    PaintPadColumn();
    DrawGridLines();
    if (!ComponentState().Contains(csDesigning) && FDataLink->Active() && FFocused &&
        (!FActiveCellControl || !FActiveCellControl->Visible()) && !FOptions.Contains(dgAlwaysShowEditor) &&
        !FOptions.Contains(dgRowSelect)) {
        TCustomForm* Form = GetParentForm(this);
        bool Scrolling = Col() >= LeftCol() && Col() <= FPaintInfo.Horz.LastFullVisibleCell;
        bool FixedData = FOptions.Contains(dgFixedEditable) && Col() < LeftCol() && Col() >= FIndicatorOffset;
        if (Form && Form->ActiveControl() == this && (Scrolling || FixedData)) {
            TRect R;
            GetCellRect(Col(), Row(), R);
            DrawFocusRectangle(PC, R);
        }
    }
    if (FOptions.Contains(dgShowFooter)) {
        TRect LastVisible;
        for (int C = LeftCol(); C < ColCount(); ++C) {
            TRect R;
            GetCellRect(C, RowCount() - 1, R);
            if (IsRectEmpty(R)) break;
            LastVisible = R;
        }
        TRect Footer;
        GetFooterRect(Footer);
        Footer.Right = FPadColumnStyle != pcsPlain ? ClientWidth() : LastVisible.Right;
        PaintFooter(Footer);
    }
    if (!Direct) CopyBufferToScreen();
}

void TwwCustomDBGrid::CopyBufferToScreen() {
    TRect U = Intersection(FUpdateRect, TCustomGrid::ClientRect());
    if (FOptions.Contains(dgShowFooter)) U = FUpdateRect;
    if (IsRectEmpty(U)) U = Canvas()->ClipRect();
    if (!ComponentState().Contains(csDesigning) && FFocused && FActiveCellControl &&
        FActiveCellControl->Visible() && !FActiveCellControl->Focused()) {
        TRect R;
        GetCellRect(Col(), Row(), R);
        R.Left += 1;
        FPaintBitmap->Canvas()->CopyRect(R, Canvas(), R);
    }
    Canvas()->CopyRect(U, FPaintBitmap->Canvas(), U);
}

void TwwCustomDBGrid::PaintCells() {
    const TGridDrawInfo& D = FPaintInfo;
    TCanvas* Own = PaintsDirectly() ? nullptr : Canvas();
    const TGridRect Sel = Selection();
    auto Range = [&](int Col0, int Row0, int X0, int X1, int Y0, int Y1, TGridDrawState Include) {
        int Y = Y0;
        for (int R = Row0; Y < Y1 && R < RowCount(); ++R) {
            const int H = RowHeights(R);
            int X = X0;
            for (int C = Col0; X < X1 && C < ColCount(); ++C) {
                const int W = ColWidths(C);
                if (W < 0) continue;
                TRect Where(X, Y, X + W, Y + H);
                X += W + D.Horz.EffectiveLineWidth;
                if (W == 0 || H == 0) continue;
                if (Own ? !Own->RectVisible(Where) : IsRectEmpty(Intersection(Where, FUpdateRect))) continue;
                TGridDrawState State = Include;
                if (FFocused && C == Col() && R == Row()) State.Include(gdFocused);
                if (Sel.Contains(C, R)) State.Include(gdSelected);
                if (State.Contains(gdFocused) && TCustomGrid::Options().Contains(goEditing) && EditorMode() &&
                    !ComponentState().Contains(csDesigning))
                    continue;
                if (R == 0 && FOptions.Contains(dgTitles)) {
                    if (!ColumnAt(C - FIndicatorOffset)->GroupName().empty() && C >= FIndicatorOffset) {
                        TRect G;
                        int First, Last;
                        GetGroupHeaderRect(C, 0, G, false, First, Last);
                        DrawCell(C, R, G, State);
                    }
                    TRect T;
                    GetTitleTextRect(C, R, T);
                    DrawCell(C, R, T, State);
                } else {
                    // The data cell's background: the alternating colour,
                    // the picture or the grid's colour, under its text.
                    if (!Include.Contains(gdFixed)) PaintDataCellBackground(Where, R - FTitleOffset, Color());
                    DrawCell(C, R, Where, State);
                }
            }
            Y += H + D.Vert.EffectiveLineWidth;
        }
    };
    Range(0, 0, 0, D.Horz.FixedBoundary, 0, D.Vert.FixedBoundary, {gdFixed});
    Range(LeftCol(), 0, D.Horz.FixedBoundary, D.Horz.GridBoundary, 0, D.Vert.FixedBoundary, {gdFixed});
    if (!FDataLink->Active()) return;
    Range(0, TopRow(), 0, D.Horz.FixedBoundary, D.Vert.FixedBoundary, D.Vert.GridBoundary, {gdFixed});
    Range(LeftCol(), TopRow(), D.Horz.FixedBoundary, D.Horz.GridBoundary, D.Vert.FixedBoundary,
          D.Vert.GridBoundary, {});
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::GetCellRect(int GridCol, int GridRow, TRect& R) {
    R = CellRect(GridCol, GridRow);
    if (IsRectEmpty(R)) return;
    R.Right = R.Left + ColWidths(GridCol);
    if (GridRow >= FTitleOffset) R.Bottom = R.Top + DefaultRowHeight();
}

void TwwCustomDBGrid::GetTitleTextRect(int GridCol, int GridRow, TRect& R) {
    GetCellRect(GridCol, GridRow, R);
    if (IsRectEmpty(R) || GridCol < FIndicatorOffset) return;
    if (!ColumnAt(GridCol - FIndicatorOffset)->GroupName().empty()) R.Top = R.Top + (R.Bottom - R.Top) / 2;
}

void TwwCustomDBGrid::GetGroupHeaderRect(int GridCol, int, TRect& R, bool VisibleOnly, int& First,
                                         int& Last) {
    GetCellRect(GridCol, 0, R);
    First = Last = GridCol;
    const int DataCol = GridCol - FIndicatorOffset;
    if (DataCol < 0) return;
    const AnsiString Group = ColumnAt(DataCol)->GroupName();
    if (Group.empty()) return;
    int Lo, Hi;
    if (VisibleOnly) {
        Lo = LeftCol();
        Hi = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    } else {
        Lo = FIndicatorOffset;
        Hi = ColCount() - 1;
    }
    auto Same = [&](int C) {
        return C >= Lo && C <= Hi && ColumnAt(C - FIndicatorOffset)->GroupName() == Group;
    };
    while (Same(First - 1)) --First;
    while (Same(Last + 1)) ++Last;
    const int LineW = FOptions.Contains(dgColLines) ? 1 : 0;
    auto Advance = [&](int C) { return ColWidths(C) < 0 ? 0 : ColWidths(C) + LineW; };
    TRect LeftCell = CellRect(LeftCol(), 0);
    int Left, Right;
    if (First < LeftCol()) {
        Left = LeftCell.Left;
        for (int C = First; C < LeftCol(); ++C) Left -= Advance(C);
        Right = LeftCell.Left;
        for (int C = LeftCol(); C <= Last; ++C) Right += Advance(C);
    } else {
        TRect FirstCell = CellRect(First, 0);
        Left = FirstCell.Left;
        Right = Left;
        for (int C = First; C <= Last; ++C) Right += Advance(C);
        Right -= LineW;
    }
    int Top = CellRect(GridCol, 0).Top;
    if (IsRectEmpty(CellRect(GridCol, 0))) Top = 0;
    R = TRect(Left, Top, Right, Top + RowHeights(0) / 2);
}

void TwwCustomDBGrid::GetTitleHitRect(int GridCol, int X, TRect& R, int Y) {
    (void)X;
    if (!FOptions.Contains(dgTitles)) {
        R = TRect(0, 0, 0, 0);
        return;
    }
    GetCellRect(GridCol, 0, R);
    if (GridCol < FIndicatorOffset || ColumnAt(GridCol - FIndicatorOffset)->GroupName().empty()) return;
    const TRect Cell = R;
    if (Y < Cell.Top + (Cell.Bottom - Cell.Top) / 2) {
        int First, Last;
        GetGroupHeaderRect(GridCol, 0, R, false, First, Last);
        R.Bottom = Cell.Bottom;
    } else {
        R.Top = Cell.Top + (Cell.Bottom - Cell.Top) / 2;
    }
}

int TwwCustomDBGrid::LastVisibleRowBottom(const TGridDrawInfo& D) {
    TRect R = CellRect(LeftCol(), D.Vert.LastFullVisibleCell);
    return R.Bottom + 1;
}

void TwwCustomDBGrid::CellAtPoint(int X, int Y, int& ACol, int& ARow) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    auto Axis = [](const TGridAxisDrawInfo& A, int P) {
        int Start, Stop, Edge;
        if (P < A.FixedBoundary) {
            Start = 0;
            Stop = A.FixedCellCount;
            Edge = 0;
        } else {
            Start = A.FirstGridCell;
            Stop = A.GridCellCount;
            Edge = A.FixedBoundary;
        }
        for (int I = Start; I < Stop; ++I) {
            Edge += A.Advance(I);
            if (P < Edge) return I;
        }
        return -1;
    };
    ACol = Axis(D.Horz, X);
    ARow = Axis(D.Vert, Y);
    if (ACol == -1 || ARow == -1) ACol = ARow = -1;
}

void TwwCustomDBGrid::InvalidateTitles() {
    if (!HandleAllocated() || !FOptions.Contains(dgTitles)) return;
    int Last = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    for (int C = FIndicatorOffset; C <= Last; ++C) InvalidateCell(C, 0);
}

void TwwCustomDBGrid::InvalidateCurrentRow() {
    if (HandleAllocated()) InvalidateRow(Row());
}

void TwwCustomDBGrid::BeginRedrawLock() {
    if (!HandleAllocated() || !Showing()) return;
    if (FRedrawLock++ == 0) SendMessage(Handle(), WM_SETREDRAW, 0, 0);
}

void TwwCustomDBGrid::EndRedrawLock(bool InvalidateGrid) {
    if (!HandleAllocated() || !Showing() || FRedrawLock == 0) return;
    if (--FRedrawLock > 0) return;
    SendMessage(Handle(), WM_SETREDRAW, 1, 0);
    if (InvalidateGrid) Invalidate();
}

// ---------------------------------------------------------------------------
// Backgrounds
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::PaintAlternatingRow(const TRect& R) {
    TCanvas* C = GetPaintCanvas();
    if (TwwBitmap* B = FPaintOptions->AlternatingBitmap()) {
        C->CopyRect(R, B->Canvas(), R);
        return;
    }
    TColor Old = C->Brush()->Color();
    C->Brush()->SetColor(FPaintOptions->AlternatingRowColor());
    C->FillRect(R);
    C->Brush()->SetColor(Old);
}

void TwwCustomDBGrid::PaintDataCellBackground(const TRect& Rect, int DataRow, TColor Color) {
    TCanvas* C = GetPaintCanvas();
    TRect R = Rect;
    const bool GrowDown = !FOptions.Contains(dgRowLines) && !FOptions.Contains(dgHideBottomDataLine);
    if (FPaintOptions->AlternatingRowColor() != clNone &&
        FPaintOptions->AlternatingRowRegions().Contains(arrDataColumns) && DataRow >= 0 &&
        IsAlternatingRow(DataRow)) {
        if (!FOptions.Contains(dgColLinesDisableFixed)) --R.Left;
        if (GrowDown) ++R.Bottom;
        PaintAlternatingRow(R);
        return;
    }
    if (FPaintOptions->FillsDataCells()) {
        if (GrowDown) ++R.Bottom;
        C->CopyRect(R, FPaintOptions->Background()->Canvas(), R);
        return;
    }
    if (Assigned(OnBeforePaint)) return;
    if (Color != clNone) C->Brush()->SetColor(Color);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(R);
}

void TwwCustomDBGrid::PaintFixedCellBackground(const TRect& R, int Row, TColor Color) {
    TCanvas* C = GetPaintCanvas();
    int DataRow = Row >= 0 ? Row - FTitleOffset : -1;
    if (FPaintOptions->AlternatingRowColor() != clNone &&
        FPaintOptions->AlternatingRowRegions().Contains(arrFixedColumns) && DataRow >= 0 &&
        IsAlternatingRow(DataRow)) {
        PaintAlternatingRow(R);
        return;
    }
    if (TwwBitmap* B = FPaintOptions->FixedColumnBitmap()) {
        C->CopyRect(R, B->Canvas(), R);
        return;
    }
    if (Color != clNone) C->Brush()->SetColor(Color);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(R);
}

TColor TwwCustomDBGrid::GetColumnColor(int) { return Color(); }

// ---------------------------------------------------------------------------
// One cell
// ---------------------------------------------------------------------------

bool TwwCustomDBGrid::IsCellHighlighted(int GridCol, int DataRow, TGridDrawState State) {
    bool H = State.Contains(gdSelected) ||
             (DataRow == Row() - FTitleOffset && FPaintOptions->ActiveRecordColor() != clNone);
    if (H && !FOptions.Contains(dgAlwaysShowSelection)) H = FFocused && !IsCellControlFocused();
    if (FOptions.Contains(dgMultiSelect) && !State.Contains(gdFixed) && GridCol >= FixedCols())
        H = IsRecordSelected(DataRow);
    return H;
}

void TwwCustomDBGrid::DoCalcCellColors(TField* Field, TGridDrawState State, bool Highlight, TFont* Font,
                                       TBrush* Brush) {
    if (Assigned(OnCalcCellColors)) OnCalcCellColors(this, Field, State, Highlight, Font, Brush);
}

bool TwwCustomDBGrid::CalcCellColors(TField* Field, TGridDrawState State, TBrush* Brush, TFont* Font,
                                     bool Highlight) {
    const TColor Before = Brush->Color();
    DoCalcCellColors(Field, State, Highlight, Font, Brush);
    FWhiteBackground = IsWhite(GetPaintCanvas()->Brush()->Color());
    FBrushChanged = Brush->Color() != Before;
    return FBrushChanged;
}

void TwwCustomDBGrid::DoCalcTitleAttributes(const AnsiString& Name, TFont* Font, TAlignment& Alignment,
                                            TBrush* Brush) {
    const TColor Before = GetPaintCanvas()->Brush()->Color();
    if (Assigned(OnCalcTitleAttributes)) OnCalcTitleAttributes(this, Name, Font, Brush, Alignment);
    FBrushChanged = GetPaintCanvas()->Brush()->Color() != Before;
}

void TwwCustomDBGrid::DoCalcTitleImage(TObject* Sender, TField* Field, TwwTitleImageAttributes& Attributes) {
    if (Assigned(OnCalcTitleImage)) OnCalcTitleImage(Sender, Field, Attributes);
}

void TwwCustomDBGrid::DoDrawTitleCell(TCanvas* Canvas, TField* Field, bool& Default, const TRect& R) {
    if (Assigned(OnDrawTitleCell)) OnDrawTitleCell(this, Canvas, Field, R, Default);
}

void TwwCustomDBGrid::DoDrawGroupHeaderCell(TCanvas* Canvas, const AnsiString& Name, bool& Default,
                                            const TRect& R) {
    if (Assigned(OnDrawGroupHeaderCell)) OnDrawGroupHeaderCell(this, Canvas, Name, R, Default);
}

void TwwCustomDBGrid::DoDrawDataCell(const TRect& R, TField* Field, TGridDrawState State) {
    if (Assigned(OnDrawDataCell)) OnDrawDataCell(this, R, Field, State);
}

AnsiString TwwCustomDBGrid::GetCellDisplayText(int DataCol) {
    TField* F = GetColField(DataCol);
    return F ? F->DisplayText() : AnsiString();
}

void TwwCustomDBGrid::DrawCellTextIn(TCanvas* C, const TRect& Cell, int M, uint32_t Flags,
                                     TAlignment Alignment, const AnsiString& Text, int V) {
    const int W = Cell.Width(), Ht = Cell.Height();
    TRect R;
    switch (Alignment) {
    case taRightJustify: R = TRect(M, V, W - 2, Ht - 1); break;
    case taCenter: R = TRect(M < 3 ? 0 : 2, V, W, Ht - 1); break;
    default: R = TRect(M, V, W, Ht - 1); break;
    }
    R = TRect(R.Left + Cell.Left, R.Top + Cell.Top, R.Right + Cell.Left, R.Bottom + Cell.Top);
    if (!(Flags & ctNoFill)) {
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(Cell);
    }
    uint32_t Format = DT_EXPANDTABS | DT_NOPREFIX;
    Format |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    if (Flags & ctPrefix) Format &= ~static_cast<uint32_t>(DT_NOPREFIX);
    if ((Flags & ctWordWrap) && !(Flags & ctEllipsis) && !SingleLineFillsRect(C, R, Format))
        Format |= DT_WORDBREAK;
    if (Flags & ctEllipsis) Format |= DT_END_ELLIPSIS;
    int OldMode = C->SetBkMode(TRANSPARENT);
    C->DrawText(Text, R, Format);
    C->SetBkMode(OldMode);
}

void TwwCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    const TGridDrawInfo& D = FPaintInfo;
    const int DataRow = ARow - FTitleOffset;
    const int DataCol = ACol - FIndicatorOffset;
    if (ARow > D.Vert.LastFullVisibleCell) return;
    TDataSet* DS = FDataLink->DataSet();
    if (DataRow >= 0 && DS && DS->Active() && FDataLink->RecordCount() > 0 &&
        DataRow >= FDataLink->RecordCount() + FRowOffset)
        return;
    FFocusRectFlag = false;
    FFrameDrawn = false;
    FCellLinesDrawn = false;
    TRect R = ARect;
    R.Right = std::min(R.Right, 2 * Width());
    TCanvas* C = GetPaintCanvas();
    C->Font()->Assign(AState.Contains(gdFixed) ? FTitleFont : Font());
    TwwCustomDrawGridCellInfo& Info = *FDrawCellInfo;
    Info.Rect = R;
    Info.State = AState;
    Info.DataCol = DataCol;
    Info.DataRow = DataRow;
    Info.Field = DataCol >= 0 ? GetColField(DataCol) : nullptr;
    Info.DefaultDrawBackground = Info.DefaultDrawTopLine = Info.DefaultDrawBottomLine =
        Info.DefaultDrawContent = true;
    if (!FGroupFieldName.empty() || Assigned(OnBeforeDrawCell)) {
        TActiveRecordScope Scope(this, DataRow);
        if (DataRow >= 0 && Info.Field && Info.Field->FieldName() == FGroupFieldName) {
            AnsiString Here = Info.Field->AsString(), Other;
            if (GetNextRecordValue(FGroupFieldName, Other) && Other == Here)
                Info.DefaultDrawBottomLine = false;
            if (GetPriorRecordValue(FGroupFieldName, Other) && Other == Here) {
                Info.DefaultDrawContent = false;
                Info.DefaultDrawTopLine = false;
            }
        }
        if (Assigned(OnBeforeDrawCell)) OnBeforeDrawCell(this, &Info);
        if (DataCol >= 0 && DataRow >= 0 && DataRow < 256) {
            TwwColumn* Column = ColumnAt(DataCol);
            if (uint8_t* Marks = Column != FEmptyColumn.get() ? Column->RowMarks(true) : nullptr) {
                uint8_t& M = Marks[DataRow];
                M = static_cast<uint8_t>((Info.DefaultDrawBottomLine ? 0 : 1) |
                                         (Info.DefaultDrawTopLine ? 0 : 2));
            }
        }
    }
    C->Brush()->SetColor(AState.Contains(gdFixed) ? FTitleColor : Color());
    C->Brush()->SetStyle(bsSolid);
    if (!DrawSpecialCell(ACol, ARow, R, AState)) {
        if (DataRow < 0) DrawTitleCell(ACol, R, AState);
        else if (DataCol < 0) DrawIndicatorCell(ARow, R);
        else DrawDataCell(ACol, ARow, R, AState);
    }
    if (Assigned(OnAfterDrawCell) || !FGroupFieldName.empty()) {
        TActiveRecordScope Scope(this, DataRow);
        if (!FGroupFieldName.empty() && DS && DS->FindField(FGroupFieldName) && DataRow >= 0) {
            AnsiString Next;
            if (GetNextRecordValue(FGroupFieldName, Next) &&
                Next != DS->FindField(FGroupFieldName)->AsString())
                Line(C, clBlack, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
        }
        if (Assigned(OnAfterDrawCell)) OnAfterDrawCell(this, &Info);
    }
}

void TwwCustomDBGrid::DrawTitleCell(int ACol, const TRect& ARect, TGridDrawState) {
    TCanvas* C = GetPaintCanvas();
    TRect R = ARect;
    const int DataCol = ACol - FIndicatorOffset;
    TwwCustomDrawGridCellInfo& Info = *FDrawCellInfo;
    TAlignment Alignment = FTitleAlignment;
    const bool Mapped = DataCol >= 0 && DataCol < FDataLink->MappedCount();
    auto Background = [&] {
        if (!FDrawingDragImage && R.Left < FPaintInfo.Horz.FixedBoundary &&
            R.Right > FPaintInfo.Horz.FixedBoundary && ACol >= FixedCols())
            R.Left = FPaintInfo.Horz.FixedBoundary;
        if (!Info.DefaultDrawBackground) return;
        if (FBrushChanged) {
            C->FillRect(R);
            return;
        }
        TRect Wide(R.Left - 1, R.Top, R.Right, R.Bottom);
        if (TwwBitmap* B = FPaintOptions->FixedRowBitmap()) C->CopyRect(Wide, B->Canvas(), Wide);
        else C->FillRect(Wide);
    };
    FBrushChanged = false;
    if (DataCol < 0 || (FUseTFields && !Mapped)) {
        Background();
        return;
    }
    if (DataCol == 0 && FIndicatorButton && FIndicatorButton->Visible()) FIndicatorButton->Invalidate();
    TField* Field = Mapped ? FDataLink->MappedField(DataCol) : nullptr;
    AnsiString Title = Field ? Field->DisplayLabel() : AnsiString();
    AnsiString FieldName = Field ? Field->FieldName() : AnsiString();
    if (!FUseTFields) {
        const TwwSelectedLines& Lines = SelectedLines();
        if (!Field && DataCol < Lines.Count()) FieldName = Lines.Line(DataCol).Part(spFieldName);
        const int Index = Lines.IndexOf(FieldName);
        if (Index >= 0) Title = Lines.Line(Index).Part(spTitle);
    }
    const AnsiString Group = ColumnAt(DataCol)->GroupName();
    const bool GroupCall = !Group.empty() && !FDragTitleOnly && R.Top == CellRect(ACol, 0).Top &&
                           R.Bottom < CellRect(ACol, 0).Bottom;
    TwwTitleImageAttributes Image;
    if (GroupCall) Alignment = taCenter;
    DoCalcTitleAttributes(GroupCall ? Group : FieldName, C->Font(), Alignment, C->Brush());
    Background();
    if (Mapped) DoCalcTitleImage(this, Field, Image);
    int P = 0;
    if (FTitleButtons && !FDrawingDragImage && FPressedCol >= 0) {
        if ((FPressedGroup && (GroupCall || Group.empty()) &&
             ColumnAt(FPressedCol - FIndicatorOffset)->GroupName() == Group &&
             (GroupCall ? true : FPressedCol == ACol)) ||
            (!FPressedGroup && FPressedCol == ACol && !GroupCall))
            P = 1;
    }
    TRect TextArea = R;
    if (Image.ImageIndex >= 0 && FTitleImageList && Info.DefaultDrawBackground) {
        const int IW = FTitleImageList->Width(), IH = FTitleImageList->Height();
        const int Y = P + (R.Top + R.Bottom - IH) / 2;
        switch (Image.Alignment) {
        case taLeftJustify:
            FTitleImageList->Draw(C, R.Left + Image.Margin + P, Y, Image.ImageIndex);
            TextArea.Left = std::min(R.Left + IW + Image.Margin, R.Right);
            break;
        case taRightJustify:
            FTitleImageList->Draw(C, R.Right + P - IW - Image.Margin, Y, Image.ImageIndex);
            TextArea.Right = std::max(R.Right - IW - Image.Margin, R.Left);
            break;
        case taCenter: FTitleImageList->Draw(C, P + (R.Left + R.Right - IW) / 2, Y, Image.ImageIndex); break;
        }
    }
    bool Default = true;
    if (Mapped) {
        if (GroupCall) DoDrawGroupHeaderCell(C, Group, Default, R);
        else DoDrawTitleCell(C, Field, Default, R);
    }
    if (!Default || (Image.ImageIndex >= 0 && Image.Alignment == taCenter && FTitleImageList)) return;
    if (!Info.DefaultDrawContent) return;
    AnsiString Text = GroupCall ? Group : Title;
    const int Lines = FTitleLines == 1 ? 1 : CountChar(Text, '~') + 1;
    const int H = C->TextHeight("W");
    const int Y0 = static_cast<int>((TextArea.Bottom - TextArea.Top) / 2.0 - H * Lines / 2.0);
    Text = ReplaceChar(Text, '~', '\r');
    uint32_t Flags = ctNoFill | ctEllipsis;
    if (!FUseTFields) Flags |= ctPrefix;
    int Saved = 0;
    TRect FirstScroll = CellRect(LeftCol(), 0);
    const bool Clip = !FDrawingDragImage && TextArea.Left < FirstScroll.Left && ACol >= FixedCols();
    if (Clip) {
        Saved = C->SaveDC();
        C->ExcludeClipRect(0, TextArea.Top, FirstScroll.Left, TextArea.Bottom);
    }
    DrawCellTextIn(C, TextArea, P + 2, Flags, Alignment, Text, Y0 + P);
    if (Clip) C->RestoreDC(Saved);
}

void TwwCustomDBGrid::DrawIndicatorCell(int ARow, const TRect& ARect) {
    TCanvas* C = GetPaintCanvas();
    TRect R(ARect.Left - 1, ARect.Top - 1, ARect.Right,
            ARect.Bottom + (FOptions.Contains(dgHideBottomDataLine) ? 0 : 1));
    if (FDrawCellInfo->DefaultDrawBackground) PaintFixedCellBackground(R, -1, FTitleColor);
    if (!FDataLink->Active()) return;
    const int DataRow = ARow - FTitleOffset;
    const bool Current = DataRow == FDataLink->ActiveRecord() + FRowOffset;
    if (Current) FLastIndicatorRow = ARow;
    TDataSet* DS = FDataLink->DataSet();
    int Index = -1;
    const bool Selected = FOptions.Contains(dgMultiSelect) && IsRecordSelected(DataRow);
    if (DS->State() == dsEdit) Index = Current ? 1 : -1;
    else if (DS->State() == dsInsert) Index = Current ? 2 : -1;
    else if (Current) Index = Selected ? 4 : 0;
    else if (Selected) Index = 3;
    TCustomImageList* List = GridIndicatorImages();
    if (Index < 0 || !List || Index >= List->Count()) return;
    TBitmap Image, Mask;
    List->GetBitmap(Index, &Image);
    // The arrows are black on white: black takes the icon colour, white stays transparent.
    TCanvas* IC = Image.Canvas();
    for (int Y = 0; Y < Image.Height(); ++Y)
        for (int X = 0; X < Image.Width(); ++X)
            if (ColorToRGB(IC->Pixel(X, Y)) == 0) IC->SetPixel(X, Y, FIndicatorIconColor);
    const int X = (ARect.Right - Image.Width()) / 2 + 1;
    const int Y = (2 * ARect.Top + DefaultRowHeight() - Image.Height()) / 2;
    C->TransparentBlt(X, Y, Image.Width(), Image.Height(), Image.Canvas(), 0, 0, Image.Width(),
                      Image.Height(), clWhite);
}

void TwwCustomDBGrid::DrawDataCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (!FDataLink->Active()) return;
    TCanvas* C = GetPaintCanvas();
    const int DataRow = ARow - FTitleOffset;
    const int DataCol = ACol - FIndicatorOffset;
    TwwCustomDrawGridCellInfo& Info = *FDrawCellInfo;
    struct TRestore {
        TwwGridDataLink* Link;
        int Old;
        ~TRestore() { Link->SetActiveRecord(Old); }
    } Restore{FDataLink.get(), FDataLink->ActiveRecord()};
    FDataLink->SetActiveRecord(DataRow - FRowOffset);
    FPaintDataRow = DataRow;
    FPaintDataCol = DataCol;
    FLeftAlignText = false;
    TField* Field = GetColField(DataCol);
    const AnsiString Text = GetCellDisplayText(DataCol);
    const bool H = IsCellHighlighted(ACol, DataRow, AState);
    const TwwCacheColInfoItem* Item = CacheItem(ACol);
    if (Item && Item->Kind == "URL-Link") {
        C->Font()->SetColor(IsURLHoverCell(ACol, ARow) ? clRed : clBlue);
        C->Font()->SetStyle(C->Font()->Style() + TFontStyles{fsUnderline});
    }
    if (H) {
        C->Brush()->SetColor(GetActiveRecordColor());
        if (!FOptions.Contains(dgRowSelect) && ACol == Col() && ARow == Row())
            C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    }
    CalcCellColors(Field, AState, C->Brush(), C->Font(), H);
    TAlignment Alignment = Field ? Field->Alignment() : taLeftJustify;
    if (FLeftAlignText || DataCol >= FDataLink->MappedCount()) Alignment = taLeftJustify;
    if (Info.DefaultDrawBackground) {
        if (ACol < FixedCols()) {
            TRect G = ARect;
            if (!FOptions.Contains(dgHideBottomDataLine)) ++G.Bottom;
            TColor Brush = C->Brush()->Color();
            if (FBrushChanged || H) C->FillRect(G);
            else PaintFixedCellBackground(G, ARow, Brush);
        } else if (FPaintOptions->FillsDataCells()) {
            PaintDataCellBackground(ARect, DataRow, clNone);
        } else if (FwwDefaultDrawing && !Info.DefaultDrawContent) {
            PaintDataCellBackground(TRect(ARect.Left, ARect.Top - 1, ARect.Right, ARect.Bottom + 1), DataRow,
                                    C->Brush()->Color());
        }
    }
    if (FwwDefaultDrawing && Info.DefaultDrawContent) {
        const bool Lines = HasRowLines();
        uint32_t Flags = (H || FBrushChanged) ? 0u : static_cast<uint32_t>(ctNoFill);
        if (FOptions.Contains(dgWordWrap)) {
            Flags |= ctWordWrap;
            if (FOptions.Contains(dgTrailingEllipsis) && SingleLineFillsRect(C, ARect, DT_EXPANDTABS))
                Flags |= ctEllipsis;
        } else if (FOptions.Contains(dgTrailingEllipsis)) {
            Flags |= ctEllipsis;
        }
        DrawCellTextIn(C, ARect, 2, Flags, Alignment, Text, Lines ? 2 : 1);
    }
    try {
        DoDrawDataCell(ARect, Field, AState);
    } catch (...) {
    }
    DrawCellLines(ARect, ACol, AState, ARow);
}

bool TwwCustomDBGrid::ApplySpecialCellColors(int ACol, int ARow, TGridDrawState AState, const TRect& R) {
    TCanvas* C = GetPaintCanvas();
    C->Brush()->SetColor(AState.Contains(gdFixed) ? FTitleColor : Color());
    FPaintDataRow = ARow - FTitleOffset;
    FPaintDataCol = ACol - FIndicatorOffset;
    const bool H = IsCellHighlighted(ACol, ARow - FTitleOffset, AState);
    if (H) {
        C->Brush()->SetColor(GetActiveRecordColor());
        if (!FOptions.Contains(dgRowSelect) && ACol == Col() && ARow == Row())
            C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    }
    CalcCellColors(GetColField(ACol - FIndicatorOffset), AState, C->Brush(), C->Font(), H);
    if (H && (!IsCellControlFocused() || FOptions.Contains(dgRowSelect) ||
              FPaintOptions->ActiveRecordColor() != clNone))
        C->FillRect(R);
    TCustomForm* Form = GetParentForm(this);
    if (H && Form && Form->ActiveControl() == this && !FOptions.Contains(dgRowSelect) &&
        !ComponentState().Contains(csDesigning))
        FFocusRectFlag = true;
    return H;
}

bool TwwCustomDBGrid::DrawSpecialCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    const int DataCol = ACol - FIndicatorOffset;
    const int DataRow = ARow - FTitleOffset;
    TDataSet* DS = FDataLink->DataSet();
    if (DataCol < 0 || DataRow < 0 || !FDataLink->Active() || !DS || !DS->Active()) return false;
    TField* Field = FDataLink->MappedField(DataCol);
    const TwwCacheColInfoItem* Item = CacheItem(ACol);
    if (!Field || !Item) return false;
    const AnsiString& Kind = Item->Kind;
    TWinControl* Control = nullptr;
    bool CopyControl = false;
    if (Kind == "CustomEdit" || Kind == "RichEdit") {
        if (!GetCellControl(ACol, ARow, Control) || !Control) return false;
        CopyControl = Item->AlwaysPaint || ::IsClassNamed(Control, "TwwExpandButton") ||
                      ::IsClassNamed(Control, "TwwRadioGroup") || ::IsClassNamed(Control, "TwwCheckbox") ||
                      ::IsClassNamed(Control, "TwwMonthCalendar");
        if (!CopyControl) return false;
    } else if (Kind != "Bitmap" && Kind != "ImageIndex" && Kind != "CheckBox") {
        return false;
    }
    TCanvas* C = GetPaintCanvas();
    if (FDrawCellInfo->DefaultDrawBackground) {
        if (ACol < FixedCols()) {
            TRect G(ARect.Left - 1, ARect.Top, ARect.Right, ARect.Bottom);
            if (FOptions.Contains(dgRowLinesDisableFixed) && FOptions.Contains(dgRowLines)) --G.Top;
            PaintFixedCellBackground(G, ARow, FTitleColor);
        } else {
            PaintDataCellBackground(ARect, DataRow, clNone);
        }
    }
    TRect R;
    GetCellRect(ACol, ARow, R);
    if (IsRectEmpty(R)) R = ARect;
    TActiveRecordScope Scope(this, DataRow - FRowOffset);
    if (Kind == "Bitmap") {
        DrawBitmapCell(ACol, R, Field, AState, ARow);
    } else if (Kind == "ImageIndex") {
        ApplySpecialCellColors(ACol, ARow, AState, R);
        if (FBrushChanged) C->FillRect(R);
        if (FImageList &&
            IsFieldKindOf(Field, {ftSmallint, ftInteger, ftWord, ftFloat, ftLargeint, ftCurrency}))
            DrawImageIndexCell(ACol, R, Field, AState, ARow);
    } else if (Kind == "CheckBox") {
        int Position = 1;
        const AnsiString Checked = NextToken(Item->Params, ";", Position);
        const AnsiString Unchecked = Position > 0 ? NextToken(Item->Params, ";", Position) : AnsiString();
        AnsiString Text = Field->Calculated() && EqualsIgnoreCase(Field->FieldName(), "selected")
                              ? (IsCurrentRecordSelected() ? Checked : Unchecked)
                              : GetCellDisplayText(DataCol);
        ApplySpecialCellColors(ACol, ARow, AState, R);
        if (FBrushChanged) C->FillRect(R);
        TRect Box((R.Left + R.Right - 10) / 2, (R.Top + R.Bottom - 10) / 2, 0, 0);
        Box.Right = Box.Left + 10;
        Box.Bottom = Box.Top + 10;
        DrawCheckBoxCell(Box, ACol, EqualsIgnoreCase(Text, Checked), ARow);
    } else {
        bool Current = ACol == Col() && ARow == Row();
        if (!Control->Visible() || !Current) DrawControlCopy(Control, R, ACol, ARow, AState);
    }
    DrawCellLines(ARect, ACol, AState, ARow);
    return true;
}

// The check glyph: the standard check-box frame control, as the platform's
// controls look (new-style), grown from the 10-pixel box to the control's 13.
void TwwCustomDBGrid::DrawCheckBoxCell(const TRect& Box, int GridCol, bool Checked, int) {
    TCanvas* C = GetPaintCanvas();
    TRect R(Box.Left - 1, Box.Top - 1, Box.Right + 2, Box.Bottom + 2);
    const bool ReadOnlyColumn = ColumnAt(GridCol - FIndicatorOffset)->ReadOnly();
    TwwCheckBoxInGridStyle Style = DefaultIntl ? DefaultIntl->CheckBoxInGridStyle() : cbStyleAuto;
    uint32_t State = DFCS_BUTTONCHECK;
    if (ReadOnlyColumn) State |= DFCS_INACTIVE;
    if (Style == cbStyleXmark) {
        C->DrawFrameControl(R, DFC_BUTTON, State);
        if (!Checked) return;
        const int L = Box.Left, T = Box.Top, Rt = Box.Right, B = Box.Bottom;
        C->Pen()->SetWidth(1);
        Line(C, clBlack, Rt - 2, T + 2, L + 1, B - 1);
        Line(C, clBlack, Rt - 3, T + 2, L + 1, B - 2);
        Line(C, clBlack, Rt - 2, T + 3, L + 2, B - 1);
        Line(C, clBlack, L + 2, T + 2, Rt - 1, B - 1);
        Line(C, clBlack, L + 3, T + 2, Rt - 1, B - 2);
        Line(C, clBlack, L + 2, T + 3, Rt - 2, B - 1);
        return;
    }
    if (Checked) State |= DFCS_CHECKED;
    if (Style == cbStyleCheckmarkFlat) State |= DFCS_FLAT;
    C->DrawFrameControl(R, DFC_BUTTON, State);
}

void TwwCustomDBGrid::DrawBitmapCell(int ACol, const TRect& R, TField* Field, TGridDrawState AState,
                                     int ARow) {
    TCanvas* C = GetPaintCanvas();
    const TwwCacheColInfoItem* Item = CacheItem(ACol);
    int Position = 1;
    AnsiString SizeMode = NextToken(Item->Params, ";", Position);
    AnsiString CopyMode = Position > 0 ? NextToken(Item->Params, ";", Position) : AnsiString();
    TField* Source = Field;
    if (Field->Lookup()) {
        TDataSet* Lookup = Field->LookupDataSet();
        TField* Key = Field->DataSet()->FindField(Field->KeyFields());
        Source = nullptr;
        if (Lookup && Key && LocateFieldValue(Lookup, Key->AsString(), Field->LookupKeyFields(), false, 0))
            Source = Lookup->FindField(Field->LookupResultField());
    } else if (Field->Calculated()) {
        AnsiString KeyText;
        TField* Result = nullptr;
        Source = ResolveLookupDisplay(Field, KeyText, Result) ? Result : nullptr;
    }
    TBitmap Picture;
    TDataSet* DS = FDataLink->DataSet();
    const bool InsertRow = DS->State() == dsInsert && ARow == Row();
    if (Source && Source->IsBlob() && !InsertRow) {
        try {
            AnsiString Bytes = Source->AsString();
            size_t Skip = 0;
            if (Bytes.size() > 7) {
                auto U16 = [&](size_t At) {
                    return static_cast<unsigned>(static_cast<uint8_t>(Bytes[At])) |
                           static_cast<unsigned>(static_cast<uint8_t>(Bytes[At + 1])) << 8;
                };
                uint32_t Length = U16(4) | static_cast<uint32_t>(U16(6)) << 16;
                if (U16(0) == 1 && U16(2) == 256 && Length == Bytes.size() - 8) Skip = 8;
            }
            TMemoryStream Stream;
            Stream.Write(Bytes.data() + Skip, static_cast<int64_t>(Bytes.size() - Skip));
            Stream.SetPosition(0);
            Picture.LoadFromStream(Stream);
        } catch (...) {
            Picture.SetSize(0, 0);
        }
    }
    const bool H = ApplySpecialCellColors(ACol, ARow, AState, R);
    if (Picture.Width() < 1 || Picture.Height() < 1) return;
    static const struct {
        const char* Name;
        uint32_t Rop;
    } Modes[] = {
        {"Source Copy", SRCCOPY},          {"Source Paint", SRCPAINT}, {"Source And", SRCAND},
        {"Source Invert", SRCINVERT},      {"Source Erase", SRCERASE}, {"Not Source Copy", NOTSRCCOPY},
        {"Not Source Erase", NOTSRCERASE}, {"Merge Paint", MERGEPAINT}};
    uint32_t Rop = SRCCOPY;
    for (const auto& M : Modes)
        if (CopyMode == M.Name) Rop = M.Rop;
    const uint32_t OldMode = C->CopyMode();
    C->SetCopyMode(Rop);
    const int W = R.Width(), Ht = R.Height(), PW = Picture.Width(), PH = Picture.Height();
    const int Cl = FOptions.Contains(dgColLines) ? 1 : 0, Rl = FOptions.Contains(dgRowLines) ? 1 : 0;
    if (SizeMode == "Original Size") {
        int Cw = std::min(PW, W - 1), Ch = std::min(PH, Ht - 1);
        C->CopyRect(TRect(R.Left + Cl, R.Top + Rl, R.Left + Cw + 1, R.Top + Ch + 1), Picture.Canvas(),
                    TRect(0, 0, Cw, Ch));
    } else if (SizeMode == "Stretch To Fit") {
        C->CopyRect(R, Picture.Canvas(), TRect(0, 0, PW, PH));
    } else if (SizeMode == "Fit Height") {
        int Sw = PW * Ht / PH, Src = PW, Tw = Sw;
        if (Sw > W) {
            Src = PW * W / Sw;
            Tw = W;
        }
        if (Tw > 2 && Ht > 2)
            C->CopyRect(TRect(R.Left + Cl, R.Top, R.Left + Cl + Tw, R.Top + Ht - Rl), Picture.Canvas(),
                        TRect(0, 0, Src, PH));
    } else if (SizeMode == "Fit Width") {
        int Sh = W * PH / PW, Src = PH, Th = Sh;
        if (Sh > Ht) {
            Src = PH * Ht / Sh;
            Th = Ht;
        }
        if (W > 2 && Th > 2)
            C->CopyRect(TRect(R.Left + Cl, R.Top, R.Left + Cl + W, R.Top + Th - Rl), Picture.Canvas(),
                        TRect(0, 0, PW, Src));
    }
    if (H) {
        C->Brush()->SetColor(clHighlight);
        C->FrameRect(R);
        FFrameDrawn = true;
    }
    C->SetCopyMode(OldMode);
}

void TwwCustomDBGrid::DrawImageIndexCell(int ACol, const TRect& R, TField* Field, TGridDrawState AState,
                                         int ARow) {
    TCanvas* C = GetPaintCanvas();
    const int IW = FImageList->Width(), IH = FImageList->Height();
    TBitmap Temp;
    Temp.SetSize(IW, IH);
    const int DataRow = ARow - FTitleOffset;
    const bool Alternating = FPaintOptions->AlternatingRowColor() != clNone &&
                             FPaintOptions->AlternatingRowRegions().Contains(arrDataColumns) &&
                             IsAlternatingRow(DataRow) && !AState.Contains(gdSelected);
    Temp.Canvas()->Brush()->SetColor(Alternating ? FPaintOptions->AlternatingRowColor()
                                                 : C->Brush()->Color());
    Temp.Canvas()->FillRect(TRect(0, 0, IW, IH));
    const int X = std::max(R.Left, (R.Left + R.Right - IW) / 2);
    const int Y = std::max(R.Top, (R.Top + R.Bottom - IH) / 2);
    if (!Field->IsNull()) {
        int Index = Field->DataType() == ftFloat || Field->DataType() == ftCurrency
                        ? static_cast<int>(Field->AsFloat())
                        : Field->AsInteger();
        if (Index >= 0) FImageList->Draw(Temp.Canvas(), 0, 0, Index);
    }
    const TwwCacheColInfoItem* Item = CacheItem(ACol);
    if (Item && Item->Params == "Shrink To Fit") {
        C->StretchBlt(X, Y, std::min(IW, R.Width()), std::min(IH, R.Height()), Temp.Canvas(), 0, 0, IW, IH,
                      SRCCOPY);
    } else {
        C->BitBlt(X, Y, std::min(IW, R.Width() - 2), std::min(IH, R.Height() - 2), Temp.Canvas(), 0, 0,
                  SRCCOPY);
    }
    if (FFocusRectFlag) DrawFocusRectangle(C, R);
}

void TwwCustomDBGrid::DrawControlCopy(TWinControl* Control, const TRect& R, int ACol, int ARow,
                                      TGridDrawState AState) {
    TCanvas* C = GetPaintCanvas();
    if (Control->Width() != R.Width() || Control->Height() != R.Height())
        Control->SetBounds(Control->Left(), Control->Top(), R.Width(), R.Height());
    C->Lock();
    int OldMode = C->SetBkMode(TRANSPARENT);
    struct TDone {
        TCanvas* C;
        int Mode;
        ~TDone() {
            C->SetBkMode(Mode);
            C->Unlock();
        }
    } Done{C, OldMode};
    ApplySpecialCellColors(ACol, ARow, AState, R);
    try {
        DoDrawDataCell(R, GetColField(ACol - FIndicatorOffset), AState);
    } catch (...) {
        return;
    }
    if (FBrushChanged) C->FillRect(R);
    C->SetTextColor(C->Font()->Color());
    const int Saved = C->SaveDC();
    TControlState State = Control->ControlState();
    Control->SetControlState(State + TControlState{csPaintCopy});
    struct TRestore {
        TCanvas* C;
        int Saved;
        TWinControl* Control;
        TControlState State;
        ~TRestore() {
            Control->SetControlState(State);
            C->RestoreDC(Saved);
        }
    } Restore{C, Saved, Control, State};
    const int Border = HasBorderStyleSingle(Control) ? 1 : 0;
    C->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
    MoveWindowOrg(C, R.Left + Border, R.Top + Border);
    Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(C), 0);
    if (!::IsClassNamed(Control, "TwwDataInspector")) {
        for (int I = 0; I < Control->ControlCount(); ++I) {
            auto* Child = dynamic_cast<TWinControl*>(Control->Controls(I));
            if (!Child || !Child->Visible()) continue;
            const int Inner = C->SaveDC();
            MoveWindowOrg(C, Child->Left(), Child->Top());
            C->IntersectClipRect(0, 0, Child->Width(), Child->Height());
            TControlState ChildState = Child->ControlState();
            Child->SetControlState(ChildState + TControlState{csPaintCopy});
            Child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(C), 0);
            Child->SetControlState(ChildState);
            C->RestoreDC(Inner);
        }
    }
}

// ---------------------------------------------------------------------------
// Lines, the strip right of the last column and the footer
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::DrawCellLines(const TRect& ARect, int ACol, TGridDrawState AState, int ARow) {
    TRect R = ARect;
    R.Bottom = R.Top + RowHeights(ARow);
    const bool DataRow = ARow >= FTitleOffset;
    if (FCellLinesDrawn) return;
    if (AState.Contains(gdFixed) && DataRow && FOptions.Contains(dgRowLinesDisableFixed)) return;
    if (!AState.Contains(gdFixed) && !FOptions.Contains(dgRowLines)) return;
    FCellLinesDrawn = true;
    TCanvas* C = GetPaintCanvas();
    const TColor Behind = FLineStyle == glsDynamic ? C->Brush()->Color() : Color();
    FWhiteBackground = IsWhite(Behind);
    auto SetCachedWhite = [&](bool Value) {
        if (ARow == FTitleOffset && ACol >= 0 && ACol < static_cast<int>(FCacheColInfo.size()))
            FCacheColInfo[static_cast<size_t>(ACol)].WhiteBackground = Value;
    };
    SetCachedWhite(FWhiteBackground);
    if (FPaintOptions->FillsDataCells()) FWhiteBackground = true;
    if (!DataRow || ACol < FIndicatorOffset) return;
    if (IsWhite(Color()) && IsCellHighlighted(ACol, ARow - FTitleOffset, AState)) {
        TColor Brush = C->Brush()->Color();
        if (Brush == clHighlight ||
            (FPaintOptions->ActiveRecordColor() != clNone && Brush == FPaintOptions->ActiveRecordColor())) {
            FWhiteBackground = true;
            SetCachedWhite(true);
        }
    }
    if (!FOptions.Contains(dgRowLines)) return;
    const TColor OldPen = C->Pen()->Color();
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    const bool Flat = FLineStyle == glsSingle || (FLineStyle == glsDynamic && FWhiteBackground);
    const TwwCustomDrawGridCellInfo& Info = *FDrawCellInfo;
    if (Flat) {
        if (Info.DefaultDrawBottomLine)
            Line(C, FLineColors->DataColor(), R.Left, R.Bottom, R.Right, R.Bottom);
    } else {
        if (Info.DefaultDrawBottomLine)
            Line(C, FLineColors->ShadowColor(), R.Left, R.Bottom, R.Right, R.Bottom);
        const bool CurrentRow = ARow == Row();
        const bool Skip = CurrentRow && (FFocused || FOptions.Contains(dgAlwaysShowEditor)) &&
                          (FOptions.Contains(dgRowSelect) || FPaintOptions->ActiveRecordColor() != clNone);
        if (!Skip && Info.DefaultDrawTopLine)
            Line(C, FLineColors->HighlightColor(), R.Left, R.Top, R.Right, R.Top);
    }
    C->Pen()->SetColor(OldPen);
}

void TwwCustomDBGrid::DrawGridLines() {
    TCanvas* C = GetPaintCanvas();
    const TGridDrawInfo& D = FPaintInfo;
    const TColor OldPen = C->Pen()->Color();
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    const TwwGridLineColors& L = *FLineColors;
    const bool Active = FDataLink->Active();
    const bool Titles = FOptions.Contains(dgTitles);
    bool White = IsWhite(Color()) || FPaintOptions->FillsDataCells();
    const bool Flat = FLineStyle == glsSingle || (FLineStyle == glsDynamic && White);
    TRect Title00 = CellRect(0, 0);
    const int TitleBottom = IsRectEmpty(Title00) ? D.Vert.FixedBoundary - 1 : Title00.Bottom;
    const int LastCol = ColCount() - 1;
    const bool LastFull = D.Horz.LastFullVisibleCell >= LastCol;
    int RightEdge = ClientWidth();
    if (FPadColumnStyle != pcsPadHeader && LastFull) RightEdge = CellRect(LastCol, 0).Right;
    const int LastDataRow = std::min(D.Vert.LastFullVisibleCell, RowCount() - 1);
    TRect LastRowCell = CellRect(0, LastDataRow);
    const int DataBottom = IsRectEmpty(LastRowCell) ? D.Vert.GridBoundary : LastRowCell.Bottom;
    const int RowTop0 = Titles ? TitleBottom : 0;

    // The lines between the scrolling columns.
    if (!FHideAllLines && FOptions.Contains(dgColLines) && Active) {
        for (int Col = LeftCol(); Col < ColCount(); ++Col) {
            TRect R = CellRect(Col, 0);
            if (IsRectEmpty(R)) {
                if (ColWidths(Col) < 0) continue;
                break;
            }
            int X = R.Left + ColWidths(Col);
            if (Flat) {
                Line(C, L.DataColor(), X, RowTop0, X, DataBottom + 1);
            } else {
                Line(C, L.ShadowColor(), X, RowTop0, X, DataBottom + 1);
                Line(C, L.HighlightColor(), X + 1, RowTop0, X + 1, DataBottom + 1);
            }
            if (X >= ClientWidth()) break;
        }
    }
    // The line under the current cell, so that it shows over a cell control.
    if (!FHideAllLines && Active && FOptions.Contains(dgRowLines) && !FOptions.Contains(dgRowSelect)) {
        TRect R = CellRect(Col(), Row());
        if (!IsRectEmpty(R)) {
            const TwwCacheColInfoItem* Item = CacheItem(Col());
            bool CellWhite = Item ? Item->WhiteBackground : true;
            TColor Color = FLineStyle == glsSingle || (FLineStyle == glsDynamic && CellWhite)
                               ? L.DataColor()
                               : L.ShadowColor();
            Line(C, Color, R.Left, R.Bottom, R.Right, R.Bottom);
        }
    }
    // The fixed area.
    const int Fixed = FixedCols();
    if (!FHideAllLines && Active && Fixed > 0) {
        if (!FOptions.Contains(dgRowLinesDisableFixed) || Titles) {
            bool Marks = false;
            for (const auto& Column : FColumns)
                if (Column->HasRowMarks()) Marks = true;
            const int VisibleRows = VisibleRowCount();
            const int FixedRight = CellRect(Fixed - 1, 0).Right;
            for (int Row = 0; Row <= VisibleRows && Row < RowCount(); ++Row) {
                if (FOptions.Contains(dgRowLinesDisableFixed) && Row != VisibleRows) continue;
                TRect Cell = CellRect(0, Row);
                if (IsRectEmpty(Cell)) continue;
                const int Y = Cell.Bottom;
                const bool BeforeLast = Row < VisibleRows;
                const bool Dark =
                    Row >= FTitleOffset && !FOptions.Contains(dgHideBottomDataLine) && (Titles || BeforeLast);
                const bool Light = BeforeLast || FPadColumnStyle == pcsPadHeaderAndData;
                auto Span = [&](int X1, int X2) {
                    if (Dark) Line(C, L.FixedColor(), X1, Y, X2, Y);
                    if (Light) Line(C, L.HighlightColor(), X1, Y + 1, X2, Y + 1);
                };
                if (Marks) {
                    for (int Col = 0; Col < Fixed; ++Col) {
                        TRect R = CellRect(Col, Row);
                        if (IsRectEmpty(R)) continue;
                        int DataCol = Col - FIndicatorOffset, DataRow = Row - FTitleOffset;
                        if (DataCol >= 0 && DataRow >= 0 && DataRow < 256) {
                            TwwColumn* Column = ColumnAt(DataCol);
                            if (uint8_t* M = Column->RowMarks(false); M && (M[DataRow] & 1)) continue;
                        }
                        Span(Col == 0 ? 0 : R.Left, R.Right);
                    }
                } else {
                    Span(0, FOptions.Contains(dgRowLinesDisableFixed) ? RightEdge : FixedRight + 1);
                }
            }
        }
        if (!FOptions.Contains(dgColLinesDisableFixed)) {
            const int Bottom = LastVisibleRowBottom(D) - (FOptions.Contains(dgRowLines) ? 1 : 0);
            for (int Col = 0; Col < Fixed; ++Col) {
                TRect R = CellRect(Col, 0);
                if (IsRectEmpty(R)) continue;
                int X = R.Left + ColWidths(Col) - (FOptions.Contains(dgColLines) ? 0 : 1);
                Line(C, L.FixedColor(), X, RowTop0, X, Bottom);
                Line(C, L.HighlightColor(), X + 1, RowTop0, X + 1, Bottom);
                if (Col == 0 && FOptions.Contains(dgIndicator))
                    Line(C, L.HighlightColor(), R.Left, 0, R.Left, Bottom);
            }
        }
    }
    // The title row.
    if (!FHideAllLines && Titles) {
        const int YB = TitleBottom - (HasRowLines() ? 0 : 1);
        const int Last = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
        auto Split = [&](int Col) {
            return Col >= FIndicatorOffset && Col < ColCount() &&
                   !ColumnAt(Col - FIndicatorOffset)->GroupName().empty();
        };
        auto SameGroup = [&](int A, int B) {
            return Split(A) && Split(B) &&
                   ColumnAt(A - FIndicatorOffset)->GroupName() == ColumnAt(B - FIndicatorOffset)->GroupName();
        };
        for (int Col = 0; Col <= Last; ++Col) {
            if (Col >= Fixed && Col < LeftCol()) continue;
            TRect R = CellRect(Col, 0);
            if (IsRectEmpty(R)) continue;
            const int X = R.Left;
            const int CellRight = R.Left + ColWidths(Col);
            const int XR = CellRight - (FOptions.Contains(dgColLines) ? 0 : 1);
            TRect Text;
            GetTitleTextRect(Col, 0, Text);
            const int Middle = Text.Top;
            int Prev = Col - 1;
            while (Prev >= FIndicatorOffset && ColWidths(Prev) < 0) --Prev;
            int Next = Col + 1;
            while (Next < ColCount() && ColWidths(Next) < 0) ++Next;
            Line(C, L.HighlightColor(), X, R.Top, CellRight, R.Top);
            Line(C, L.HighlightColor(), X, SameGroup(Col, Prev) ? Middle : 0, X, YB);
            if (Split(Col)) {
                int H = Middle;
                int Right = CellRight + (SameGroup(Col, Next) ? 1 : 0);
                Line(C, L.HighlightColor(), X, 0, Right, 0);
                Line(C, L.HighlightColor(), X, H, Right, H);
                Line(C, L.FixedColor(), X, H - 1, Right, H - 1);
            }
            const int Start = SameGroup(Col, Next) ? Middle : 0;
            Line(C, L.FixedColor(), XR, Start, XR, YB);
            if (Col == ColCount() - 1) {
                if (FPadColumnStyle != pcsPlain || FPaintOptions->FillsDataCells())
                    Line(C, L.HighlightColor(), XR, 0, ClientWidth(), 0);
                if (FPadColumnStyle == pcsPadHeader) Line(C, L.FixedColor(), XR, YB, ClientWidth(), YB);
            }
            Line(C, L.FixedColor(), R.Left - 1, YB, CellRight, YB);
            if (FTitleButtons) {
                bool Raised = Col <= FPaintInfo.Horz.LastFullVisibleCell &&
                              (FPressedCol < 0 || (FColumnDragging && Col != FPressedCol));
                if (Raised && Col >= FIndicatorOffset) Line(C, L.ShadowColor(), XR - 1, Start, XR - 1, YB);
                if (Col >= FIndicatorOffset) Line(C, L.ShadowColor(), R.Left - 1, YB - 1, CellRight, YB - 1);
            }
        }
    }
    if (!Active) {
        C->Pen()->SetColor(OldPen);
        return;
    }
    // The edge of the last column.
    if (!FHideAllLines && LastFull) {
        TRect R = CellRect(LastCol, 0);
        if (!IsRectEmpty(R)) {
            const int X = R.Left + ColWidths(LastCol);
            const bool Both = FOptions.Contains(dgRowLines) && FOptions.Contains(dgColLines);
            if (!Both) {
                Line(C, L.FixedColor(), X, 0, X, TitleBottom);
                if (FPadColumnStyle != pcsPlain) {
                    TColor Color = FPadColumnStyle == pcsPadHeaderAndData ? L.FixedColor()
                                   : White                                ? L.DataColor()
                                                                          : L.ShadowColor();
                    Line(C, Color, X, TitleBottom + 1, X, DataBottom);
                    Line(C, L.HighlightColor(), X + 1, 0, X + 1, DataBottom);
                }
            }
        }
    }
    DrawTitleButtonDown();
    // Below the last record, the empty rows look like the fixed area.
    if (FPadColumnStyle == pcsPadHeaderAndData || FPaintOptions->FillsDataCells()) {
        int Y = LastVisibleRowBottom(D);
        TDataSet* DS = FDataLink->DataSet();
        const int Records = FDataLink->RecordCount();
        if (DS && DS->Active() && Records >= 1 && Records < VisibleRowCount()) {
            TRect First = CellRect(0, Records + FTitleOffset);
            if (!IsRectEmpty(First)) Y = First.Top;
        }
        if (!FHideAllLines) {
            TRect LeftCell = CellRect(LeftCol(), 0);
            Line(C, L.FixedColor(), 0, Y - 1, LeftCell.Left, Y - 1);
            Line(C, White ? L.DataColor() : L.ShadowColor(), LeftCell.Left, Y - 1, RightEdge, Y - 1);
            Line(C, L.HighlightColor(), 0, Y, 0, ClientHeight() - 1);
            Line(C, L.HighlightColor(), 0, Y, RightEdge, Y);
            ++Y;
        }
        if (FPadColumnStyle == pcsPadHeaderAndData)
            PaintFixedCellBackground(TRect(1, Y, ClientWidth(), ClientHeight()), -1, FTitleColor);
    }
    C->Pen()->SetColor(OldPen);
}

void TwwCustomDBGrid::PaintPadColumn() {
    const int LastCol = ColCount() - 1;
    if (FPaintInfo.Horz.LastFullVisibleCell < LastCol) return;
    TRect Title = CellRect(LastCol, 0);
    if (IsRectEmpty(Title)) return;
    TCanvas* C = GetPaintCanvas();
    const int TitleRight = Title.Left + ColWidths(LastCol);
    TRect Strip(TitleRight + (FOptions.Contains(dgColLines) ? 1 : 0), Title.Top, ClientWidth(), 0);
    const bool Fill = FPaintOptions->FillsDataCells();
    if (FPadColumnStyle == pcsPadHeaderAndData || Fill) {
        Strip.Bottom = ClientHeight();
    } else if (FPadColumnStyle == pcsPadHeader) {
        if (!FOptions.Contains(dgTitles)) return;
        Strip.Bottom = Title.Bottom + (HasRowLines() ? 1 : 0);
    } else {
        return;
    }
    if (Strip.Left >= Strip.Right) return;
    if (FPadColumnStyle == pcsPadHeaderAndData) {
        TRect R = Strip;
        if (FHideAllLines) --R.Left;
        PaintFixedCellBackground(R, -1, FTitleColor);
    } else if (FPadColumnStyle == pcsPadHeader) {
        int TitleBottom = Title.Bottom + (FHideAllLines ? 0 : 1);
        PaintFixedCellBackground(TRect(Strip.Left, Strip.Top, Strip.Right, TitleBottom), -1, FTitleColor);
        PaintDataCellBackground(TRect(Strip.Left, TitleBottom, Strip.Right, Strip.Bottom), -1, Color());
    } else {
        PaintDataCellBackground(TRect(Strip.Left, Title.Top, Strip.Right, ClientHeight()), -1, Color());
    }
    if (FPadColumnStyle == pcsPadHeaderAndData) {
        if (!FHideAllLines)
            Line(C, FLineColors->HighlightColor(), Strip.Left, Strip.Top, Strip.Left, Strip.Bottom);
    } else if (FOptions.Contains(dgColLines) && !FHideAllLines) {
        Line(C, FLineColors->HighlightColor(), Strip.Left, Strip.Top, Strip.Left,
             FPaintInfo.Vert.GridBoundary + 1);
    }
}

void TwwCustomDBGrid::DrawTitleButtonDown() {
    if (FPressedCol < 0 || !FTitleButtons || !FOptions.Contains(dgTitles) || FDrawingDragImage) return;
    TRect R;
    if (FPressedGroup) {
        int First, Last;
        GetGroupHeaderRect(FPressedCol, 0, R, true, First, Last);
        --R.Bottom;
    } else {
        GetTitleTextRect(FPressedCol, 0, R);
    }
    if (IsRectEmpty(R)) return;
    if (!HasRowLines()) R.Bottom -= 2;
    TCanvas* C = GetPaintCanvas();
    Line(C, clBlack, R.Left, R.Top, R.Left, R.Bottom);
    Line(C, clBlack, R.Left, R.Top, R.Right, R.Top);
    Line(C, static_cast<TColor>(0x808080), R.Left + 1, R.Top + 1, R.Left + 1, R.Bottom - 1);
    if (!FPressedGroup)
        Line(C, static_cast<TColor>(0x808080), R.Left + 1, R.Bottom - 1, R.Right, R.Bottom - 1);
}

void TwwCustomDBGrid::GetFooterRect(TRect& R) {
    int Auto = TextHeightOf(Font(), "W") + 6;
    R.Left = 0;
    R.Right = ClientWidth();
    R.Top = FOptions.Contains(dgShowFooter) ? ClientRect().Bottom : ClientHeight() + 3;
    R.Bottom = FFooterHeight > 0 ? R.Top + FFooterHeight - 1 : R.Top + Auto;
    if (FOptions.Contains(dgFooter3DCells)) R.Bottom += 2;
}

int TwwCustomDBGrid::GetFooterHeight() {
    if (!FOptions.Contains(dgShowFooter)) return 0;
    int H = FFooterHeight > 0 ? FFooterHeight + 1 : TextHeightOf(Font(), "W") + 8;
    return FOptions.Contains(dgFooter3DCells) ? H + 2 : H;
}

void TwwCustomDBGrid::InvalidateFooter() {
    if (!HandleAllocated()) return;
    TRect R;
    GetFooterRect(R);
    ::InvalidateRect(Handle(), &R, false);
}

void TwwCustomDBGrid::PaintFooter(const TRect& Footer) {
    TCanvas* C = GetPaintCanvas();
    PaintFixedCellBackground(Footer, -1, FFooterColor);
    const TRect& F = Footer;
    const TColor Light = FLineColors->HighlightColor();
    Line(C, Light, F.Left, F.Top - 1, F.Left, F.Bottom);
    if (FPadColumnStyle == pcsPlain || (FPadColumnStyle == pcsPadHeader && BorderStyle() != bsNone)) {
        C->Pen()->SetColor(clBlack);
        C->MoveTo(F.Left, F.Top - 1);
        C->LineTo(F.Right, F.Top - 1);
        C->LineTo(F.Right, F.Bottom + 1);
        Line(C, Light, F.Left, F.Top, F.Right, F.Top);
        Line(C, Light, F.Left, F.Top, F.Left, F.Bottom);
        Line(C, clBlack, F.Left, F.Bottom - 1, F.Right, F.Bottom - 1);
    }
    Line(C, clBlack, F.Left, F.Bottom, F.Right, F.Bottom);
    if (!FDataLink->Active()) return;
    for (int Col = FIndicatorOffset; Col < FixedCols(); ++Col) PaintFooterCell(Col);
    for (int Col = LeftCol(); Col < ColCount(); ++Col) PaintFooterCell(Col);
}

void TwwCustomDBGrid::PaintFooterCell(int GridCol) {
    TRect Cell;
    GetCellRect(GridCol, 0, Cell);
    if (IsRectEmpty(Cell)) return;
    TCanvas* C = GetPaintCanvas();
    TwwColumn* Column = ColumnAt(GridCol - FIndicatorOffset);
    AnsiString Text = Column->FooterValue();
    bool Default = true;
    C->Brush()->SetColor(FFooterCellColor);
    C->Font()->Assign(Font());
    TRect Footer;
    GetFooterRect(Footer);
    TRect R(Cell.Left, Footer.Top + 2, Cell.Right, Footer.Bottom - 2);
    TField* Field = GetColField(GridCol - FIndicatorOffset);
    if (Assigned(OnDrawFooterCell)) OnDrawFooterCell(this, C, R, Field, Text, Default);
    if (!Default || Text.empty()) return;
    PaintFixedCellBackground(R, -1, C->Brush()->Color());
    TRect B(Cell.Left - 1, Footer.Top + 1, Cell.Right, Footer.Bottom - 1);
    if (GridCol == ColCount() - 1 && FPadColumnStyle != pcsPlain && B.Right + 1 < ClientWidth() - 1)
        ++B.Right;
    const TwwGridLineColors& L = *FLineColors;
    C->Pen()->SetColor(L.ShadowColor());
    C->MoveTo(B.Left + 1, B.Bottom - 2);
    C->LineTo(B.Left + 1, B.Top + 1);
    C->LineTo(B.Right - 1, B.Top + 1);
    if (FOptions.Contains(dgFooter3DCells)) {
        C->Pen()->SetColor(clBlack);
        C->MoveTo(B.Left + 2, B.Bottom - 2);
        C->LineTo(B.Left + 2, B.Top + 2);
        C->LineTo(B.Right - 1, B.Top + 2);
        C->Pen()->SetColor(L.HighlightColor());
        C->MoveTo(B.Left + 2, B.Bottom - 2);
        C->LineTo(B.Right - 1, B.Bottom - 2);
        C->LineTo(B.Right - 1, B.Top + 1);
        C->Pen()->SetColor(clBtnFace);
        C->MoveTo(B.Left + 3, B.Bottom - 3);
        C->LineTo(B.Right - 2, B.Bottom - 3);
        C->LineTo(B.Right - 2, B.Top + 1);
    } else {
        C->Pen()->SetColor(L.HighlightColor());
        C->MoveTo(B.Left + 2, B.Bottom - 2);
        C->LineTo(B.Right - 1, B.Bottom - 2);
        C->LineTo(B.Right - 1, B.Top + 1);
    }
    TAlignment A = Field ? Field->Alignment() : taLeftJustify;
    uint32_t Format = DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK |
                      (A == taRightJustify ? DT_RIGHT
                       : A == taCenter     ? DT_CENTER
                                           : DT_LEFT);
    const int TH = C->TextHeight("A");
    TRect T(B.Left + 5, B.Top + (B.Height() - TH) / 2, B.Left + ColWidths(GridCol) - 7, B.Bottom);
    int Old = C->SetBkMode(TRANSPARENT);
    C->DrawText(Text, T, Format);
    C->SetBkMode(Old);
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::MoveCellControlAway() {
    if (FActiveCellControl) FActiveCellControl->SetLeft(ClientWidth() + 10);
}

void TwwCustomDBGrid::MoveToPriorRecord() {
    TDataSet* DS = FDataLink->DataSet();
    if (DS->State() == dsInsert && !DS->Modified() && !FDataLink->Modified() && DS->Eof()) {
        DS->Cancel();
    } else if (DS->Bof() && FDataLink->ActiveRecord() > 0) {
        FDataLink->SetActiveRecord(FDataLink->ActiveRecord() - 1);
        SyncCurrentRow();
        Invalidate();
    } else {
        DS->Prior();
    }
}

// Moving past the last record appends one only where the grid may be
// edited: a read-only grid never gets a row this way (Insert and Ctrl+Delete
// ask the same).
void TwwCustomDBGrid::MoveToNextRecord() {
    TDataSet* DS = FDataLink->DataSet();
    if (DS->State() == dsInsert && !DS->Modified() && !FDataLink->Modified()) {
        if (!DS->Eof()) DS->Cancel();
        return;
    }
    if (DS->Eof()) {
        int Active = FDataLink->ActiveRecord();
        if (Active >= 0 && Active < FDataLink->RecordCount() - 1 && DS->State() != dsInsert) {
            FDataLink->SetActiveRecord(Active + 1);
            SyncCurrentRow();
            Invalidate();
        } else {
            DS->Next();
        }
    } else {
        DS->Next();
    }
    if (DS->Eof() && DS->CanModify() && CanEditGrid() && FKeyOptions.Contains(dgAllowInsert)) {
        HideCellControl();
        DS->Append();
    }
}

void TwwCustomDBGrid::TabMove(bool Forward) {
    const int Count = FDataLink->MappedCount();
    if (Count == 0) return;
    const int Lowest = FOptions.Contains(dgFixedEditable) ? 0 : std::max(0, FixedCols() - FIndicatorOffset);
    const int FirstScrolling = std::max(0, FixedCols() - FIndicatorOffset);
    const int Start = SelectedIndex();
    int C = Start;
    bool RecordChanged = false;
    for (int Guard = 0; Guard < 2 * Count + 4; ++Guard) {
        C += Forward ? 1 : -1;
        if (Forward && FOptions.Contains(dgFixedEditable) && C == FirstScrolling && FirstScrolling > 0)
            C = std::max(C, LeftCol() - FIndicatorOffset);
        if (C < Lowest) {
            HideCellControl();
            if (FOptions.Contains(dgTabExitsOnLastCol)) {
                if (TCustomForm* Form = GetParentForm(this)) Form->Perform(WM_NEXTDLGCTL, 1, 0);
                return;
            }
            TDataSet* DS = FDataLink->DataSet();
            if (DS->Bof() && FDataLink->ActiveRecord() == 0 && DS->State() != dsInsert) return;
            MoveToPriorRecord();
            RecordChanged = true;
            C = Count;
            continue;
        }
        if (C >= Count) {
            HideCellControl();
            if (FOptions.Contains(dgTabExitsOnLastCol)) {
                if (TCustomForm* Form = GetParentForm(this)) Form->Perform(WM_NEXTDLGCTL, 0, 0);
                return;
            }
            TDataSet* DS = FDataLink->DataSet();
            const bool WasLast = DS->Eof() || FDataLink->ActiveRecord() == FDataLink->RecordCount() - 1;
            TBookmark Before = DS->GetBookmark();
            TDataSetState StateBefore = DS->State();
            MoveToNextRecord();
            // Nothing to go on to (a read-only grid at its last record): the move ends.
            if (WasLast && DS->State() == StateBefore && DS->GetBookmark() == Before &&
                StateBefore != dsInsert)
                return;
            RecordChanged = true;
            C = Lowest - 1;
            continue;
        }
        if (C == Start && !RecordChanged) return;
        const int GridCol = C + FIndicatorOffset;
        if (!TabStops(GridCol) || ColWidths(GridCol) < 0) {
            if (C == Start) return;
            continue;
        }
        FTabbingIntoNextRecord = RecordChanged;
        FMovingCell = true;
        struct TClear {
            bool& A;
            bool& B;
            ~TClear() { A = B = false; }
        } Clear{FTabbingIntoNextRecord, FMovingCell};
        if (GridCol < FixedCols()) {
            SelectFixedColumn(C);
            SetLeftCol(FixedCols());
        } else {
            SetSelectedIndex(C);
        }
        return;
    }
}

void TwwCustomDBGrid::KeyDown(WORD& Key, TShiftState Shift) {
    if (IsCellControlFocused()) return;
    TWinControl::KeyDown(Key, Shift);
    if (Key == 0 || !FDataLink->Active() || !CanGridAcceptKey(Key, Shift)) return;
    TDataSet* DS = FDataLink->DataSet();
    if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) {
        Update();
        MoveCellControlAway();
        if (!TryFocus()) return;
    }
    const int Count = FDataLink->MappedCount();
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_PRIOR:
        case VK_UP: FDataLink->MoveBy(-FDataLink->ActiveRecord()); break;
        case VK_NEXT:
        case VK_DOWN: FDataLink->MoveBy(FDataLink->BufferCount() - FDataLink->ActiveRecord() - 1); break;
        case VK_END: DS->Last(); break;
        case VK_HOME: DS->First(); break;
        case VK_LEFT:
            if (auto* Outer = dynamic_cast<TwwCustomDBGrid*>(Parent());
                Outer && ::IsClassNamed(Outer, "TwwDBGrid"))
                Outer->CollapseExpandButtons(Outer);
            else if (GetActiveExpandButton()) CollapseExpandButtons(this);
            else SetSelectedIndex(0);
            break;
        case VK_RIGHT:
            if (TWinControl* Button = GetActiveExpandButton()) {
                if (!IsExpandButtonExpanded()) SetExpandButtonState(Button, true);
            } else {
                SetSelectedIndex(Count - 1);
            }
            break;
        case VK_DELETE:
            if (FKeyOptions.Contains(dgAllowDelete) && !FReadOnly && DS->CanModify() &&
                FOptions.Contains(dgEditing) &&
                (!FOptions.Contains(dgConfirmDelete) ||
                 MessageDlg("Delete record?", mtConfirmation, {mbOK, mbCancel}, 0) != mrCancel)) {
                DS->Delete();
                HideEditor();
            }
            Key = 0;
            break;
        default: break;
        }
        return;
    }
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END ||
        Key == VK_HOME || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN ||
        Key == VK_INSERT || Key == VK_DELETE) {
        TWinControl* Active = Screen ? Screen->ActiveControl() : nullptr;
        if (FActiveCellControl && Active &&
            (Active == FActiveCellControl || FActiveCellControl->ContainsControl(Active))) {
            SetFocus();
            if (!TryFocus()) return;
        }
    }
    switch (Key) {
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) TabMove(!Shift.Contains(ssShift));
        break;
    case VK_RETURN:
        if (FKeyOptions.Contains(dgEnterToTab)) TabMove(!Shift.Contains(ssShift));
        break;
    case VK_ESCAPE:
        FDataLink->Reset();
        if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
        else if (auto* E = dynamic_cast<TwwInplaceEdit*>(FInplaceEdit); E && Assigned(OnCheckValue))
            E->CheckPictureValue(E->Text());
        break;
    case VK_PRIOR: FDataLink->MoveBy(-VisibleRowCount()); break;
    case VK_NEXT: FDataLink->MoveBy(VisibleRowCount()); break;
    case VK_END:
        if (Count == 1 || FOptions.Contains(dgRowSelect)) DS->Last();
        else SetSelectedIndex(Count - 1);
        break;
    case VK_HOME:
        if (Count == 1 || FOptions.Contains(dgRowSelect)) DS->First();
        else SetSelectedIndex(0);
        break;
    case VK_LEFT:
        if (FOptions.Contains(dgRowSelect)) MoveToPriorRecord();
        else SetSelectedIndex(SelectedIndex() - 1);
        break;
    case VK_UP: MoveToPriorRecord(); break;
    case VK_RIGHT:
        if (FOptions.Contains(dgRowSelect)) {
            MoveToNextRecord();
        } else if (FOptions.Contains(dgFixedEditable) && Col() < FixedCols()) {
            if (Col() == FixedCols() - 1) SetSelectedIndex(LeftCol() - FIndicatorOffset);
            else SelectFixedColumn(SelectedIndex() + 1);
        } else {
            SetSelectedIndex(SelectedIndex() + 1);
        }
        break;
    case VK_DOWN: MoveToNextRecord(); break;
    case VK_INSERT:
        if (FOptions.Contains(dgEditing) && FKeyOptions.Contains(dgAllowInsert) && !FReadOnly) DS->Insert();
        break;
    case VK_F2:
        if (TField* F = SelectedField(); F && !F->IsBlob() && !CellUsesControl(Col(), Row()))
            SetEditorMode(true);
        break;
    default: break;
    }
}

void TwwCustomDBGrid::KeyPress(char& Key) {
    const char Typed = Key;
    if (FKeyOptions.Contains(dgEnterToTab) && Key == '\r') Key = '\t';
    if (!FOptions.Contains(dgAlwaysShowEditor) && Typed == '\r') UpdateData();
    TCustomGrid::KeyPress(Key);
    if (Typed != '\r' || FOptions.Contains(dgAlwaysShowEditor)) return;
    if (!CanEditShow()) {
        if (EditorMode()) SetEditorMode(false);
    } else if (FActiveCellControl && GetWantReturns(FActiveCellControl)) {
        Key = '\r';
    }
}

// ---------------------------------------------------------------------------
// The mouse
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::ClearTitleButtonPress() {
    FPressedCol = -1;
    FPressedRow = -1;
    FPressedGroup = false;
}

void TwwCustomDBGrid::RecordTitlePress(TMouseButton Button, int X, int Y) {
    if (!FTitleButtons || Button != mbLeft || ComponentState().Contains(csDesigning) || !HandleAllocated())
        return;
    int C, R;
    CellAtPoint(X, Y, C, R);
    if (R != 0 || !FOptions.Contains(dgTitles) || C < FIndicatorOffset) return;
    FPressedCol = C;
    FPressedRow = 0;
    TRect Area;
    if (!ColumnAt(C - FIndicatorOffset)->GroupName().empty()) {
        int First, Last;
        GetGroupHeaderRect(C, 0, Area, true, First, Last);
        if (Y >= Area.Bottom) {
            FPressedGroup = false;
            GetTitleTextRect(C, 0, Area);
        } else {
            FPressedGroup = true;
        }
    } else {
        FPressedGroup = false;
        GetTitleTextRect(C, 0, Area);
    }
    Area.Right += 1;
    Area.Bottom += 1;
    ::InvalidateRect(Handle(), &Area, false);
}

void TwwCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    CancelCellHint();
    FSizingCol = -1;
    FSizingStartWidth = 0;
    if (Button == mbLeft && Shift.Contains(ssDouble)) {
        if (TryFocus() && !AutoSizeColumnAtMouse()) DblClick();
        return;
    }
    if (Sizing(X, Y)) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        if (FOptions.Contains(dgRowResize) || UsesProportionalColResize()) {
            TGridState State;
            int Index = -1, Pos = 0, Ofs = 0;
            CalcSizingState(X, Y, State, Index, Pos, Ofs, D);
            if (State == gsColSizing && Index >= 0 && Index < ColCount()) {
                FSizingCol = Index;
                FSizingStartWidth = ColWidths(Index);
            }
        }
        int C, R;
        CellAtPoint(X - 8, Y, C, R);
        SetPressedColumnForWidthEvent(C);
        UpdateData();
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    int C, R;
    CellAtPoint(X, Y, C, R);
    if (C < 0 || R < 0) {
        if (CanFocus()) TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    const bool Moves = (C != Col() || R != Row()) && C >= FIndicatorOffset;
    if (R < FTitleOffset) {
        if (!TryFocus()) return;
        RecordTitlePress(Button, X, Y);
        if (FOptions.Contains(dgColumnResize)) {
            if (C < FixedCols()) {
                TCustomGrid::MouseDown(Button, Shift, X, Y);
                return;
            }
            if (Button == mbLeft) GridCaptureLoop(X, Y);
        }
        Update();
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (!FDataLink->Active()) return;
    if (C == Col() && R == Row() && !CellUsesControl(C, R) && !IsMemoCell(C, R) && Button != mbRight)
        ShowEditorIfAllowed();
    const bool RowChanges = R != Row();
    const int OldCol = Col(), OldRow = Row(), OldLeft = LeftCol();
    if (RowChanges) FRowChangeMark = true;
    FClickMark = true;
    if (Moves) MoveCellControlAway();
    struct TMarks {
        bool& A;
        bool& B;
        ~TMarks() { A = B = false; }
    } Marks{FRowChangeMark, FClickMark};
    if (!TryFocus()) return;
    if (!FOptions.Contains(dgRowSelect) && C >= FIndicatorOffset && ColWidths(C) >= 0) {
        if (C >= FixedCols()) {
            FMovingCell = true;
            FTabbingIntoNextRecord = RowChanges;
            try {
                SetSelectedIndex(C - FIndicatorOffset);
            } catch (...) {
                FMovingCell = FTabbingIntoNextRecord = false;
                throw;
            }
            FMovingCell = FTabbingIntoNextRecord = false;
        } else if (FOptions.Contains(dgFixedEditable)) {
            SelectFixedColumn(C - FIndicatorOffset);
        }
    }
    if (RowChanges) FDataLink->MoveBy(R - OldRow);
    FClickMark = false;
    FRowChangeMark = false;
    const bool CellChanged = Col() != OldCol || Row() != OldRow;
    if (CellChanged) DoCellChanged();
    if (Button == mbLeft) OpenURLLinkAt(C, R);
    InvalidateCell(Col(), Row());
    if (!FEditControlOptions.Contains(ecoDisableCustomControls) && GetActiveExpandButton()) {
        PlaceCellControl();
    } else if (HandleAllocated()) {
        Update();
    }
    // A click on another row's control goes on to the control the grid moved there.
    if (Moves && FActiveCellControl && !::IsClassNamed(FActiveCellControl, "TCustomEdit") &&
        LeftCol() == OldLeft && !Shift.Contains(ssCtrl) && FActiveCellControl->Parent() == this) {
        TPoint P(X - FActiveCellControl->Left(), Y - FActiveCellControl->Top());
        TControl* Child = FActiveCellControl->ControlAtPos(P, false, true);
        if (auto* W = dynamic_cast<TWinControl*>(Child)) {
            TPoint Q(P.x - W->Left(), P.y - W->Top());
            W->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(Q.x, Q.y));
            W->Perform(WM_LBUTTONUP, 0, MakeLParam(Q.x, Q.y));
        } else if (::IsClassNamed(FActiveCellControl, "TwwExpandButton")) {
            // The glyph of another row opens that row's detail, the record
            // staying on the row the user clicked.
            if (RowChanges && ExpandButtonGlyphAt(FActiveCellControl, P.x))
                ExpandButtonAtRow(FActiveCellControl, Row());
        } else {
            FActiveCellControl->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(P.x, P.y));
        }
    }
    Update();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TwwCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridState State = FGridState;
    const int SizedIndex = FSizingIndex;
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    if (State == gsColSizing) FireColWidthChanged();
    if (State == gsRowSizing && ::IsClassNamed(this, "TwwDBGrid") && FOptions.Contains(dgRowResize) &&
        SizedIndex >= 0 && SizedIndex < RowCount()) {
        int H = TextHeightOf(Font(), "W") + 2 + (HasRowLines() ? 1 : 0);
        int Limit = ClientHeight() - 1 - (FOptions.Contains(dgTitles) ? RowHeights(0) : 0);
        int B = std::min(RowHeights(SizedIndex), Limit);
        int P = std::max(B * 100 / H, FSavedRowHeightPercent);
        SetRowHeights(SizedIndex, P == FRowHeightPercent ? H * FSavedRowHeightPercent / 100 : B);
        FRowHeightPercent = P;
        LayoutChanged();
    }
    if (FPressedCol >= 0) {
        int C, R;
        CellAtPoint(X, Y, C, R);
        const int Pressed = FPressedCol, PressedRow = FPressedRow;
        ClearTitleButtonPress();
        InvalidateTitles();
        // The release must be over the pressed title itself, not over a data
        // cell of its column.
        if (C == Pressed && R == PressedRow && Y >= 0 && !FColumnDragging && C >= FIndicatorOffset &&
            !GetColumnFieldName(C).empty()) {
            AnsiString Name = GetColumnFieldName(C);
            const AnsiString Group = ColumnAt(C - FIndicatorOffset)->GroupName();
            if (!Group.empty()) {
                TRect G;
                int First, Last;
                GetGroupHeaderRect(C, 0, G, true, First, Last);
                if (Y < G.Bottom && X >= G.Left && X < G.Right) Name = Group;
            }
            DoTitleButtonClick(Name);
        }
    }
    ClearTitleButtonPress();
    FColumnDragging = false;
    FSizingCol = -1;
}

void TwwCustomDBGrid::DoTitleButtonClick(const AnsiString& Name) {
    if (Assigned(OnTitleButtonClick)) OnTitleButtonClick(this, Name);
}

void TwwCustomDBGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                      int& SizingOfs, TGridDrawInfo& FixedInfo) {
    State = gsNormal;
    Index = -1;
    int C, R;
    CellAtPoint(X - 5, Y, C, R);
    if (FOptions.Contains(dgTitles) && R == 0 && C >= FIndicatorOffset) {
        const AnsiString Group = ColumnAt(C - FIndicatorOffset)->GroupName();
        TRect Cell = CellRect(C, 0);
        if (!Group.empty() && Y < Cell.Top + (Cell.Bottom - Cell.Top) / 2) {
            int Next = C + 1;
            while (Next < ColCount() && ColWidths(Next) < 0) ++Next;
            if (Next < ColCount() && ColumnAt(Next - FIndicatorOffset)->GroupName() == Group) return;
        }
    }
    // Proportional columns fill the width: the last title's edge is the
    // grid's own, and a point outside every cell (left of the first column
    // or below the last row) sizes nothing.
    if (UsesProportionalColResize() && ((R == 0 && C == ColCount() - 1) || C < 0)) return;
    TCustomGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
}

void TwwCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    const int From = FromIndex - FIndicatorOffset, To = ToIndex - FIndicatorOffset;
    if (!FUseTFields) {
        if (From >= 0 && From < FSelected->Count() && To >= 0 && To < FSelected->Count()) {
            AnsiString Line = FSelected->Strings(From);
            FSelected->Delete(From);
            FSelected->Insert(To, Line);
        }
        LayoutChanged();
    } else if (FDataLink->Active() && FDataLink->MappedCount() > 0) {
        TField* Moved = FDataLink->MappedField(From);
        TField* Target = FDataLink->MappedField(To);
        if (Moved && Target) Moved->SetIndex(Target->Index());
    }
    InvalidateFooter();
    if (Assigned(OnColumnMoved)) OnColumnMoved(this, From, To);
}

// A column moved by the grid: its widths are laid out anew, not written back.
void TwwCustomDBGrid::MoveColumnQuietly(int FromIndex, int ToIndex) {
    ++FQuietWidth;
    struct TLower {
        int& Count;
        ~TLower() { --Count; }
    } Lower{FQuietWidth};
    MoveColumn(FromIndex, ToIndex);
}

void TwwCustomDBGrid::TopLeftChanged() {
    CancelCellHint();
    if (IsExpandButtonExpanded()) CollapseExpandButtons(this);
    TCustomGrid::TopLeftChanged();
    if (Assigned(OnLeftColChanged)) OnLeftColChanged(this, LeftCol());
    if (!HandleAllocated()) return;
    TRect Titles(0, 0, Width(), RowCount() > 0 ? RowHeights(0) : 0);
    ::InvalidateRect(Handle(), &Titles, false);
    if (FOptions.Contains(dgShowFooter)) {
        TRect F;
        GetFooterRect(F);
        ++F.Bottom;
        ::InvalidateRect(Handle(), &F, false);
    }
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TRect Strip(D.Horz.GridExtent - 1, 0, D.Horz.GridExtent + 1, ClientHeight());
    ::InvalidateRect(Handle(), &Strip, false);
}

void TwwCustomDBGrid::TimedScroll(TGridScrollDirection Direction) {
    if (!FDataLink->Active()) return;
    if (Direction.Contains(sdUp)) FDataLink->MoveBy(-FDataLink->ActiveRecord() - 1);
    if (Direction.Contains(sdDown)) FDataLink->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
    if (Direction.Contains(sdLeft) || Direction.Contains(sdRight)) {
        TGridScrollDirection Horizontal;
        if (Direction.Contains(sdLeft)) Horizontal.Include(sdLeft);
        if (Direction.Contains(sdRight)) Horizontal.Include(sdRight);
        TCustomGrid::TimedScroll(Horizontal);
    }
}

void TwwCustomDBGrid::WMHScroll(TMessage& Message) {
    if (!FPaintOptions->FillsDataCells() || LoWord(Message.WParam) == SB_THUMBTRACK) {
        TCustomGrid::WMHScroll(Message);
        return;
    }
    HideCellControl();
    FActiveCellControl = nullptr;
    if (!TryFocus()) return;
    BeginRedrawLock();
    try {
        TCustomGrid::WMHScroll(Message);
    } catch (...) {
        EndRedrawLock(false);
        throw;
    }
    EndRedrawLock(false);
    if (FInplaceEdit && Col() < LeftCol()) FInplaceEdit->SetLeft(Width() + 10);
    Invalidate();
}

bool TwwCustomDBGrid::DoMouseWheelDown(TShiftState, TPoint) {
    if (DataSource() && FDataLink->Active()) FDataLink->DataSet()->Next();
    return true;
}

bool TwwCustomDBGrid::DoMouseWheelUp(TShiftState, TPoint) {
    if (DataSource() && FDataLink->Active()) FDataLink->DataSet()->Prior();
    return true;
}

void TwwCustomDBGrid::CMShowingChanged(TMessage& Message) {
    TCustomGrid::CMShowingChanged(Message);
    if (Showing() && (Width() == 0 || Height() == 0) && Align() != alNone &&
        ::IsClassNamed(this, "TwwDBGrid"))
        RequestAlign();
}

bool TwwCustomDBGrid::AutoSizeColumnAtMouse() {
    if (!FOptions.Contains(dgDblClickColSizing)) return false;
    TPoint P;
    GetCursorPos(P);
    P = ScreenToClient(P);
    int C, R;
    CellAtPoint(P.x - 5, P.y, C, R);
    if (R != 0 || !FOptions.Contains(dgTitles) || C < FIndicatorOffset) return false;
    TRect Cell = CellRect(C, 0);
    int Right = Cell.Left + ColWidths(C);
    if (std::abs(Right - (P.x - 5)) > 8) return false;
    AutoSizeColumn(C);
    return true;
}

// The widest visible value plus the 4 pixels of margin: the characters are
// rounded up, so the widest value always fits (cut down, a column could be
// left a few pixels short of it).
void TwwCustomDBGrid::AutoSizeColumn(int GridCol) {
    TField* F = GetColField(GridCol - FIndicatorOffset);
    if (!F || !FDataLink->Active()) return;
    TCanvas* C = FMeasure->Canvas();
    C->Font()->Assign(Font());
    int Widest = 0;
    for (int Row = 0; Row < FDataLink->RecordCount(); ++Row) {
        TActiveRecordScope Scope(this, Row);
        Widest = std::max(Widest, C->TextWidth(F->DisplayText()));
    }
    const int W = ZeroWidth();
    const int Chars = (Widest + W - 1) / W;
    TwwColumn* Column = ColumnAt(GridCol - FIndicatorOffset);
    const int Now = ColWidths(GridCol), New = ColumnPixels(Chars, W);
    if (New < Now || (Now <= Width() / 2 && New <= Width() / 2)) Column->SetDisplayWidth(Chars);
}

// ---------------------------------------------------------------------------
// Dragging a column by its title
// ---------------------------------------------------------------------------

namespace {

enum TDragKind { dkPlain, dkGroup, dkMember };
constexpr uintptr_t DragTimerId = 1;

}  // namespace

void TwwCustomDBGrid::GroupSpan(int GridCol, bool VisibleOnly, int& First, int& Last) {
    TRect Ignored;
    GetGroupHeaderRect(GridCol, 0, Ignored, VisibleOnly, First, Last);
}

int TwwCustomDBGrid::DropTarget(int X, bool Snap, int Grabbed, int Kind) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    int C, R;
    CellAtPoint(X, 5, C, R);
    const int LastCol = ColCount() - 1;
    if (C < 0) {
        TRect Last = CellRect(LastCol, 0);
        C = !IsRectEmpty(Last) && X >= Last.Right ? LastCol : FixedCols();
    }
    C = std::clamp(C, FixedCols(), LastCol);
    if (Kind == dkMember) {
        int First, Last;
        GroupSpan(Grabbed, false, First, Last);
        return std::clamp(C, First, Last);
    }
    if (Snap && !ColumnAt(C - FIndicatorOffset)->GroupName().empty()) {
        int First, Last;
        GroupSpan(C, true, First, Last);
        C = C < Grabbed ? First : Last;
    }
    return C;
}

void TwwCustomDBGrid::GridCaptureLoop(int PressX, int PressY) {
    SetCapture(Handle());
    bool Waiting = true;
    FColumnDragging = false;
    int Kind = dkPlain, Grabbed = -1, LastTarget = -1, LastX = PressX, Direction = 0, GrabOffset = 0;
    int RightLimit = Width();
    TRect Hit, ImageArea;
    std::unique_ptr<TBitmap> Image;
    auto Finish = [&] {
        if (FColumnDragging) KillTimer(Handle(), DragTimerId);
        if (GetCapture() == Handle()) ReleaseCapture();
    };
    auto ShowIndicator = [&](int X, bool Force) {
        int Target = DropTarget(X, Kind != dkMember, Grabbed, Kind);
        if (Target == LastTarget && !Force) return;
        TRect Titles(FIndicatorOffset ? CellRect(0, 0).Right + 1 : 0, 0, ClientWidth(), RowHeights(0));
        ::InvalidateRect(Handle(), &Titles, false);
        ValidateRect(Handle(), &ImageArea);
        Update();
        if (Kind == dkGroup) {
            int First, Last;
            GroupSpan(Grabbed, false, First, Last);
            if (Target >= First && Target <= Last) return;
        }
        TRect T = CellRect(Target, 0);
        if (IsRectEmpty(T)) return;
        TCustomImageList* Arrows = GridMoveArrowImages();
        if (Arrows) {
            int Y = 0;
            if (Kind == dkMember) {
                TRect Lower;
                GetTitleTextRect(Grabbed, 0, Lower);
                Y = Lower.Top;
            }
            const int AW = Arrows->Width();
            TCanvas* C = Canvas();
            if (Target < Grabbed) {
                if (Target > FIndicatorOffset) Arrows->Draw(C, T.Left - AW, Y, 0);
                Arrows->Draw(C, T.Left + 1, Y, 1);
            } else {
                int Right = std::min(T.Left + ColWidths(Target), ClientWidth());
                Arrows->Draw(C, Right - AW, Y, 0);
                Arrows->Draw(C, T.Left + ColWidths(Target), Y, 1);
            }
        }
        LastTarget = Target;
    };
    auto MoveImage = [&](int X) {
        if (!Image) return;
        TRect New(X - GrabOffset, Hit.Top + FDragVertOffset, 0, 0);
        New.Right = New.Left + Image->Width();
        New.Bottom = New.Top + Image->Height();
        ::InvalidateRect(Handle(), &ImageArea, false);
        ValidateRect(Handle(), &New);
        Update();
        Canvas()->Draw(New.Left, New.Top, Image.get());
        ImageArea = New;
    };
    auto StartDrag = [&] {
        ClearTitleButtonPress();
        FColumnDragging = true;
        int C, R;
        CellAtPoint(PressX, PressY, C, R);
        Grabbed = C;
        GetTitleHitRect(Grabbed, PressX, Hit, PressY);
        TRect Cell = CellRect(Grabbed, 0);
        if (Hit.Top > Cell.Top) Kind = dkMember;
        else if (!ColumnAt(Grabbed - FIndicatorOffset)->GroupName().empty()) Kind = dkGroup;
        else Kind = dkPlain;
        const int Thumb = FShowVertScrollBar ? GetSystemMetrics(SM_CXHTHUMB) + 9 : 10;
        int W = std::max(Hit.Width(), ColWidths(Grabbed));
        W = std::min(W, Width() - Thumb - (FOptions.Contains(dgIndicator) ? ColWidths(0) + 2 : 0));
        Image = std::make_unique<TBitmap>();
        Image->SetSize(std::max(1, W), std::max(1, Hit.Height()));
        FDrawingDragImage = true;
        FDragCanvas = Image->Canvas();
        try {
            DrawDragImage(Kind, Grabbed, Hit);
        } catch (...) {
            FDrawingDragImage = false;
            FDragCanvas = nullptr;
            throw;
        }
        FDrawingDragImage = false;
        FDragCanvas = nullptr;
        GrabOffset = PressX - Hit.Left;
        SetTimer(Handle(), DragTimerId, 100);
        int Sum = 1;
        for (int Col = 0; Col < ColCount(); ++Col)
            if (ColWidths(Col) >= 0) Sum += ColWidths(Col) + (FOptions.Contains(dgColLines) ? 1 : 0);
        if (FShowVertScrollBar) Sum += GetSystemMetrics(SM_CXHTHUMB) + 1;
        RightLimit =
            Sum > Width() && ScrollBars() != ssNone ? Width() - GetSystemMetrics(SM_CXHTHUMB) : Width();
    };
    try {
        while (GetCapture() == Handle()) {
            TMsg M;
            if (!GetMessage(M, nullptr, 0, 0)) {
                PostQuitMessage(static_cast<int>(M.wParam));
                break;
            }
            // The pointer where it is now, after the wait for the message.
            TPoint P;
            GetCursorPos(P);
            P = ScreenToClient(P);
            P.x = std::clamp(P.x, 0, ClientWidth());
            P.y = std::clamp(P.y, 0, ClientHeight());
            if (M.message == WM_MOUSEMOVE) {
                if (Waiting) {
                    if (std::abs(P.x - PressX) <= 2 && std::abs(P.y - PressY) <= 2) continue;
                    Waiting = false;
                    StartDrag();
                }
                MoveImage(P.x);
                if (P.x > LastX) Direction = 1;
                else if (P.x < LastX) Direction = -1;
                LastX = P.x;
                ShowIndicator(P.x, false);
            } else if (M.message == WM_TIMER && M.hwnd == Handle() && M.wParam == DragTimerId) {
                if (!FColumnDragging) continue;
                TGridDrawInfo D;
                CalcDrawInfo(D);
                const int LastCol = ColCount() - 1;
                bool Scrolled = false;
                if (P.x > RightLimit - 10 && Direction > 0 && D.Horz.LastFullVisibleCell < LastCol) {
                    BeginRedrawLock();
                    SetLeftCol(LeftCol() + 1);
                    EndRedrawLock(true);
                    Scrolled = true;
                } else if (P.x < CellRect(LeftCol(), 0).Left + 10 && Direction < 0 &&
                           LeftCol() > FixedCols()) {
                    int First, Last;
                    GroupSpan(Grabbed, false, First, Last);
                    if (Kind != dkMember || Last >= LeftCol()) {
                        BeginRedrawLock();
                        SetLeftCol(LeftCol() - 1);
                        EndRedrawLock(true);
                        Scrolled = true;
                    }
                }
                if (Scrolled) Update();
                MoveImage(P.x);
                ShowIndicator(P.x, true);
            } else if (M.message == WM_LBUTTONUP) {
                if (FColumnDragging) {
                    KillTimer(Handle(), DragTimerId);
                    ::InvalidateRect(Handle(), &ImageArea, false);
                    Image.reset();
                    const int Target = DropTarget(P.x, false, Grabbed, Kind == dkMember ? dkMember : dkPlain);
                    ClearTitleButtonPress();
                    if (Target != Grabbed) DropColumn(Kind, Grabbed, Target, P.x);
                    InvalidateTitles();
                }
                if (GetCapture() == Handle()) ReleaseCapture();
                DispatchMessage(M);
                break;
            } else {
                TranslateMessage(M);
                DispatchMessage(M);
            }
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}

// A drop never splits a group: a group moves as one block, a member stays
// inside its group, and a plain column lands before or after a whole group.
void TwwCustomDBGrid::DropColumn(int Kind, int Grabbed, int Target, int X) {
    if (Kind == dkGroup) {
        if (!ColumnAt(Target - FIndicatorOffset)->GroupName().empty()) {
            int TFirst, TLast;
            GroupSpan(Target, true, TFirst, TLast);
            Target = Target < Grabbed ? TFirst : TLast;
        }
        int First, Last;
        GroupSpan(Grabbed, false, First, Last);
        int Moved = 0;
        if (Target > Last) {
            for (int C = Last; C >= First; --C) MoveColumnQuietly(C, Target - Moved++);
        } else if (Target < First) {
            for (int C = First; C <= Last; ++C) MoveColumnQuietly(C, Target + Moved++);
        }
        return;
    }
    if (Kind == dkMember) {
        int C, R;
        CellAtPoint(X, 5, C, R);
        if (C >= FIndicatorOffset &&
            ColumnAt(C - FIndicatorOffset)->GroupName() == ColumnAt(Grabbed - FIndicatorOffset)->GroupName())
            MoveColumnQuietly(Grabbed, Target);
        return;
    }
    if (!ColumnAt(Target - FIndicatorOffset)->GroupName().empty()) {
        int First, Last;
        GroupSpan(Target, false, First, Last);
        Target = Target < Grabbed ? First : Last;
        MoveColumnQuietly(Grabbed, Target);
        MakeColumnVisible(Target);
        return;
    }
    MoveColumnQuietly(Grabbed, Target);
}

void TwwCustomDBGrid::DrawDragImage(int Kind, int Grabbed, const TRect& Hit) {
    TCanvas* C = FDragCanvas;
    auto Raised = [&](const TRect& R) {
        Line(C, clBtnHighlight, R.Left, R.Bottom - 1, R.Left, R.Top);
        Line(C, clBtnHighlight, R.Left, R.Top, R.Right - 1, R.Top);
        Line(C, clBlack, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
        Line(C, clBlack, R.Right - 1, R.Bottom - 1, R.Left - 1, R.Bottom - 1);
    };
    CalcDrawInfo(FPaintInfo);
    if (Kind == dkGroup) {
        int First, Last;
        GroupSpan(Grabbed, false, First, Last);
        const int Half = Hit.Height() / 2;
        TRect Header(0, 0, C->ClipRect().Right, Half);
        DrawCell(Grabbed, 0, Header, {gdFixed});
        Raised(Header);
        int X = 0;
        for (int Col = First; Col <= Last; ++Col) {
            if (ColWidths(Col) < 0) continue;
            TRect Own(X, Half, X + ColWidths(Col), Hit.Height());
            DrawCell(Col, 0, Own, {gdFixed});
            Raised(Own);
            X += ColWidths(Col) + 1;
        }
        return;
    }
    TRect All(0, 0, std::max(Hit.Width(), ColWidths(Grabbed)), Hit.Height());
    FDragTitleOnly = true;
    try {
        DrawCell(Grabbed, 0, All, {gdFixed});
    } catch (...) {
        FDragTitleOnly = false;
        throw;
    }
    FDragTitleOnly = false;
    Raised(All);
}

// ---------------------------------------------------------------------------
// TwwInplaceEdit
// ---------------------------------------------------------------------------

TwwInplaceEdit::TwwInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {
    if (auto* Grid = dynamic_cast<TwwCustomDBGrid*>(AOwner)) {
        FWordWrap = Grid->Options().Contains(dgWordWrap);
        SetImeMode(3);
    }
}

TwwCustomDBGrid* TwwInplaceEdit::WwGrid() const { return dynamic_cast<TwwCustomDBGrid*>(Grid()); }

void TwwInplaceEdit::CreateParams(TCreateParams& Params) {
    TInplaceEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_WANTRETURN | ES_AUTOVSCROLL | ES_MULTILINE);
    if (BorderStyle() == bsNone || FWordWrap) Params.Style |= ES_MULTILINE;
    if (FWordWrap) {
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
        Params.Style |= ES_AUTOVSCROLL;
    }
}

void TwwInplaceEdit::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TwwInplaceEdit::UpdateContents() {
    TInplaceEdit::UpdateContents();
    TwwCustomDBGrid* G = WwGrid();
    if (!G) return;
    const TwwCacheColInfoItem* Item = G->CacheItem(G->Col());
    SetWordWrap(Item && Item->Kind == "URL-Link" ? false : G->Options().Contains(dgWordWrap));
}

// Whatever the user types is the grid's last edit text at once: the data
// set's post writes it even while the editor still shows.
void TwwInplaceEdit::Change() {
    TInplaceEdit::Change();
    if (TwwCustomDBGrid* G = WwGrid(); G && Visible()) G->FLastEditText = Text();
}

void TwwInplaceEdit::BoundsChanged() {
    TwwCustomDBGrid* G = WwGrid();
    if (G && G->Col() < G->LeftCol() && !G->Options().Contains(dgColLinesDisableFixed)) {
        int Less = G->Options().Contains(dgColLines) ? 1 : 2;
        SetWindowPos(Handle(), nullptr, Left() + 1, Top(), Width() - Less, Height(),
                     SWP_NOZORDER | SWP_NOREDRAW | SWP_SHOWWINDOW);
        UpdateBounds();
    }
    int T = G && G->Options().Contains(dgRowLinesDisableFixed) ? 1 : 2;
    TRect R(1, T, Width() - 2, Height());
    Perform(EM_SETRECTNP, 0, PointerToLParam(&R));
    Perform(EM_SCROLLCARET, 0, 0);
}

void TwwInplaceEdit::WMSetFocus(TMessage& Message) {
    TInplaceEdit::WMSetFocus(Message);
    TwwCustomDBGrid* G = WwGrid();
    if (!G || !G->DataSource() || !G->DataSource()->DataSet()) return;
    TField* F = G->SelectedField();
    if (!F) return;
    bool AutoFill = true, GridEntry = true;
    AnsiString Mask;
    GetFieldPictureMask(PictureMasksOwner(G, G->DataSource()->DataSet()), F->FieldName(), true, Mask,
                        AutoFill, GridEntry);
    FPictureMask = Mask;
    FAutoFill = AutoFill;
    FGridEntry = GridEntry;
    CheckPictureValue(F->EditText());
}

void TwwInplaceEdit::WMPaste(TMessage& Message) {
    TInplaceEdit::WMPaste(Message);
    if (TwwCustomDBGrid* G = WwGrid()) G->CanEditModify();
}

void TwwInplaceEdit::CMFontChanged(TMessage& Message) {
    TInplaceEdit::CMFontChanged(Message);
    int M = BorderStyle() == bsNone ? 2 : 0;
    TRect R(M, M, ClientWidth() - 1, ClientHeight());
    Perform(EM_SETRECTNP, 0, PointerToLParam(&R));
}

void TwwInplaceEdit::FirePictureCheck(bool Passes) {
    TwwCustomDBGrid* G = WwGrid();
    if (G && Assigned(G->OnCheckValue)) G->OnCheckValue(this, Passes);
}

bool TwwInplaceEdit::CheckPictureValue(const AnsiString& Text) {
    bool Passes = true;
    if (!Text.empty() && UsesPictureMask()) {
        TwwPictureValidator V(FPictureMask, FAutoFill);
        AnsiString Copy = Text;
        Passes = V.CheckPicture(Copy, false) == prComplete;
    }
    FirePictureCheck(Passes);
    return Passes;
}

// The text as it would be after the key: a selection goes with Backspace too,
// so what OnCheckValue judges is the text the edit will really hold.
AnsiString TwwInplaceEdit::TextAfterKey(char Key) const {
    const AnsiString T = Text();
    const int S = SelStart(), L = SelLength();
    if (Key == '\b') {
        if (T.empty()) return T;
        if (L > 0) return T.substr(0, static_cast<size_t>(S)) + T.substr(static_cast<size_t>(S + L));
        if (S == 0) return T;
        return T.substr(0, static_cast<size_t>(S - 1)) + T.substr(static_cast<size_t>(S));
    }
    return T.substr(0, static_cast<size_t>(S)) + Key +
           T.substr(static_cast<size_t>(std::min<int>(S + L, static_cast<int>(T.size()))));
}

void TwwInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TwwCustomDBGrid* G = WwGrid();
    if (G) {
        if (Key == VK_RETURN && G->KeyOptions().Contains(dgEnterToTab)) {
            G->SetFocus();
            G->KeyDown(Key, Shift);
            Key = 0;
            Invalidate();
            return;
        }
        if (Key == VK_DELETE && Shift.Contains(ssCtrl)) {
            G->SetFocus();
            G->KeyDown(Key, Shift);
            Key = 0;
            return;
        }
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TwwInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
    TwwCustomDBGrid* G = WwGrid();
    if (G && G->KeyOptions().Contains(dgEnterToTab) && Key == VK_RETURN) Key = VK_TAB;
    const WORD Released = Key;
    TInplaceEdit::KeyUp(Key, Shift);
    if (G && Released == VK_DELETE && Assigned(G->OnCheckValue)) CheckPictureValue(Text());
}

void TwwInplaceEdit::KeyPress(char& Key) {
    TwwCustomDBGrid* G = WwGrid();
    if (G && G->KeyOptions().Contains(dgEnterToTab) && Key == '\r') Key = '\t';
    const int SelBefore = SelStart(), SelLen = SelLength(), LenBefore = GetTextLen();
    const AnsiString Before = Text();
    const char Typed = Key;
    TInplaceEdit::KeyPress(Key);
    if (!G || Key == 0) return;
    if (Key == '\n' && IsFieldKindOfFloat(G->SelectedField())) {
        Key = 0;
        return;
    }
    if (!UsesPictureMask()) return;
    (void)Typed;
    if (Key == '\b') {
        if (Assigned(G->OnCheckValue)) CheckPictureValue(TextAfterKey('\b'));
        return;
    }
    if (static_cast<unsigned char>(Key) <= 31) return;
    AnsiString New = TextAfterKey(Key);
    if (MaxLength() > 0 && static_cast<int>(New.size()) > MaxLength() && New.size() > Before.size()) return;
    TwwPictureValidator V(FPictureMask, FAutoFill);
    AnsiString Checked = New;
    TwwPicResult Result = V.CheckPicture(Checked, true);
    if (FAutoFill && ::IsClassNamed(G, "TwwDBGrid") && Result == prError) {
        AnsiString Blank = TextAfterKey(' ');
        AnsiString BlankChecked = Blank;
        if (V.CheckPicture(BlankChecked, true) != prError) {
            AnsiString Again = BlankChecked + Key;
            AnsiString AgainChecked = Again;
            TwwPicResult Second = V.CheckPicture(AgainChecked, true);
            if (Second != prError) {
                Checked = AgainChecked;
                Result = Second;
            }
        }
    }
    bool Passes = true, Beeped = false;
    switch (Result) {
    case prComplete:
    case prIncomplete: {
        SetText(Checked);
        G->FLastEditText = Checked;
        const int NewLen = static_cast<int>(Checked.size());
        int Caret;
        if (SelLen == LenBefore) Caret = NewLen;
        else if (Result == prComplete)
            Caret = NewLen > LenBefore ? SelBefore + (NewLen - LenBefore) : SelBefore + 1;
        else Caret = SelBefore + (NewLen - LenBefore);
        SetSelStart(std::clamp(Caret, 0, NewLen));
        SetSelLength(0);
        Key = 0;
        Passes = Result == prComplete;
        break;
    }
    case prError:
        Passes = false;
        if (SelBefore + SelLen >= LenBefore) {
            Key = 0;
            MessageBeep(0);
            Beeped = true;
        }
        break;
    default: break;
    }
    if (!Beeped) FirePictureCheck(Passes);
}

void TwwCustomDBGrid::SetRowOffset(int Value) {
    if ((Value % 2 != 0) != (FRowOffset % 2 != 0)) FAlternatePhase ^= 1;
    FRowOffset = Value;
}
