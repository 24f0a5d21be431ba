#pragma once
// The report view: the engine of reportview/OvcRVIdx.h as a windowed
// control. A header strip with one button per column, a list body that shows
// the active view's lines, and a footer with the grand totals. It owns the
// report fields and views, activates one view at a time, keeps the focus on
// an item across changes of the lines, toggles groups from keys and clicks,
// searches by key, tells view pickers about its views, draws its columns,
// scrolls them sideways, shows the full text of a cut cell as a hint and
// prints the active view.
//
// TOvcReportView is the published form whose items are whatever pointers
// its user adds; the data-aware view (OvcDbRpV.h) and the in-memory data view
// (OvcDRpVw.h) stand on TOvcCustomReportView.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/ui/ExtCtrls.h"
#include "reportview/OvcBtnHd.h"
#include "reportview/OvcColor.h"
#include "reportview/OvcRVIdx.h"
#include "reportview/OvcVLB.h"

class TBitmap;
class THintWindow;
class TImageList;
class TOvcCustomReportView;

enum TOvcRVGridLines : uint8_t { glNone, glVertical, glHorizontal, glBoth };
ZELMOR_DECLARE_ENUM(TOvcRVGridLines);
enum TRVPrintMode : uint8_t { pmCurrent, pmExpandAll, pmCollapseAll };
ZELMOR_DECLARE_ENUM(TRVPrintMode);
enum TRvChangeEvent : uint8_t { rvViewCreate, rvViewDestroy, rvViewSelect, rvDestroying };
enum TRvCurrentPosition : uint8_t {
    rvpMoveToFirst,
    rvpMoveToLast,
    rvpMoveToNext,
    rvpMoveToPrevious,
    rvpScrollToTop,
    rvpScrollToBottom
};

// --- report fields, views and view fields ---

class TOvcRvField : public TOvcAbstractRvField {
    ZELMOR_CLASS(TOvcRvField, TOvcAbstractRvField)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcRvField(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int32_t DefaultPrintWidth() const { return FDefaultPrintWidth; }
    void SetDefaultPrintWidth(int32_t Value) { FDefaultPrintWidth = Value; }
    int32_t DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int32_t Value) { FDefaultWidth = Value; }
    // The band printing put its column in.
    int32_t PrintBand = 0;
    void Assign(TPersistent* Source) override;
    void SetName(const AnsiString& NewName) override;
    AnsiString GetDisplayText() const override;

protected:
    AnsiString GetBaseName() const override { return "RvField"; }
    // The in-memory data view's field class keeps these (OvcDRpVw.h).
    bool FFlag1 = false;
    bool FFlag2 = false;
    uint8_t FDataType = 0;
    AnsiString FFormat;

private:
    TAlignment FAlignment = taLeftJustify;
    AnsiString FCaption;
    int32_t FDefaultPrintWidth = 1440;
    int32_t FDefaultWidth = 50;
};

class TOvcRvViewField : public TOvcAbstractRvViewField {
    ZELMOR_CLASS(TOvcRvViewField, TOvcAbstractRvViewField)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcRvViewField(TComponent* AOwner);
    ~TOvcRvViewField() override;
    void BeforeDestruction() override;
    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value) { FAllowResize = Value; }
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    // -1 stands for the report field's default (50 pixels, 1440 twips without one).
    int32_t GetWidth() const;
    void SetWidth(int32_t Value);
    int32_t StoredWidth() const { return FWidth; }
    int32_t GetPrintWidth() const;
    void SetPrintWidth(int32_t Value);
    int32_t StoredPrintWidth() const { return FPrintWidth; }
    TOvcRvField* Field() const { return static_cast<TOvcRvField*>(GetField()); }
    TOvcCustomReportView* OwnerReportView() const;
    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayText() const override;
    void SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section) override;
    void LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section) override;

protected:
    AnsiString GetBaseName() const override { return "RvViewField"; }

private:
    bool FAllowResize = true;
    bool FOwnerDraw = false;
    int32_t FPrintWidth = -1;
    int32_t FWidth = -1;
    bool FShowHint = true;
    AnsiString FReactivate;  // the active view to bring back after the destruction
};

class TOvcRVView : public TOvcAbstractRvView {
    ZELMOR_CLASS(TOvcRVView, TOvcAbstractRvView)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcRVView(TComponent* AOwner);
    ~TOvcRVView() override;
    void BeforeDestruction() override;
    int32_t DefaultSortColumn() const { return FDefaultSortColumn; }
    void SetDefaultSortColumn(int32_t Value) { FDefaultSortColumn = Value; }
    bool DefaultSortDescending() const { return FDefaultSortDescending; }
    void SetDefaultSortDescending(bool Value) { FDefaultSortDescending = Value; }
    bool ShowFooter() const { return FShowFooter; }
    void SetShowFooter(bool Value);
    bool ShowHeader() const { return FShowHeader; }
    void SetShowHeader(bool Value);
    bool ShowGroupCounts() const { return FShowGroupCounts; }
    void SetShowGroupCounts(bool Value) { FShowGroupCounts = Value; }
    bool ShowGroupTotals() const { return FShowGroupTotals; }
    void SetShowGroupTotals(bool Value) { FShowGroupTotals = Value; }
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value);
    const AnsiString& Filter() const { return FFilter; }
    virtual void SetFilter(const AnsiString& Value) { FFilter = Value; }
    TOvcRvViewField* GetViewField(int Index) const {
        return static_cast<TOvcRvViewField*>(TOvcAbstractRvView::GetViewField(Index));
    }
    TOvcCustomReportView* OwnerReportView() const;
    void SetName(const AnsiString& NewName) override;
    void Assign(TPersistent* Source) override;
    void SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section) override;
    void LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section) override;

protected:
    AnsiString GetBaseName() const override { return "RvView"; }

private:
    int32_t FDefaultSortColumn = 0;
    bool FDefaultSortDescending = false;
    bool FShowFooter = false;
    bool FShowHeader = true;
    bool FShowGroupCounts = false;
    bool FShowGroupTotals = false;
    AnsiString FTitle;
    AnsiString FFilter;
};

// --- options and printing settings ---

class TOvcRVOptions : public TPersistent {
    ZELMOR_CLASS(TOvcRVOptions, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcRVOptions(TOvcCustomReportView* Owner) : FOwner(Owner) {}
    int32_t HeaderLines() const { return FHeaderLines; }
    void SetHeaderLines(int32_t Value);
    TOvcBHDrawingStyle HeaderDrawingStyle() const;
    void SetHeaderDrawingStyle(TOvcBHDrawingStyle Value);
    TOvcBHDrawingStyle FooterDrawingStyle() const;
    void SetFooterDrawingStyle(TOvcBHDrawingStyle Value);
    bool HeaderWordWrap() const;
    void SetHeaderWordWrap(bool Value);
    int32_t HeaderTextMargin() const;
    void SetHeaderTextMargin(int32_t Value);
    int32_t FooterTextMargin() const;
    void SetFooterTextMargin(int32_t Value);
    bool ListAutoRowHeight() const;
    void SetListAutoRowHeight(bool Value);
    int32_t ListRowHeight() const;
    void SetListRowHeight(int32_t Value);
    TBorderStyle ListBorderStyle() const;
    void SetListBorderStyle(TBorderStyle Value);
    TColor ListColor() const;
    void SetListColor(TColor Value);
    TOvcColors* ListSelectColor() const;
    void SetListSelectColor(TOvcColors* Value);
    int32_t WheelDelta() const;
    void SetWheelDelta(int32_t Value);

private:
    TOvcCustomReportView* FOwner;
    int32_t FHeaderLines = 1;
};

class TOvcRvPrintProps : public TPersistent {
    ZELMOR_CLASS(TOvcRvPrintProps, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TOvcRvPrintProps();
    ~TOvcRvPrintProps() override;
    int32_t PrintColumnMargin() const { return FPrintColumnMargin; }
    void SetPrintColumnMargin(int32_t Value) { FPrintColumnMargin = Value; }
    TFont* PrintFont() const { return FPrintFont.get(); }
    void SetPrintFont(TFont* Value);
    int32_t PrintFooterLines() const { return FPrintFooterLines; }
    void SetPrintFooterLines(int32_t Value) { FPrintFooterLines = Value; }
    int32_t PrintHeaderLines() const { return FPrintHeaderLines; }
    void SetPrintHeaderLines(int32_t Value) { FPrintHeaderLines = Value; }
    int32_t PrintLineWidth() const { return FPrintLineWidth; }
    void SetPrintLineWidth(int32_t Value) { FPrintLineWidth = Value; }
    bool AutoScaleColumns() const { return FAutoScaleColumns; }
    void SetAutoScaleColumns(bool Value) { FAutoScaleColumns = Value; }
    bool PrintGridLines() const { return FPrintGridLines; }
    void SetPrintGridLines(bool Value) { FPrintGridLines = Value; }
    void Assign(TPersistent* Source) override;

private:
    int32_t FPrintColumnMargin = 72;
    std::unique_ptr<TFont> FPrintFont;
    int32_t FPrintFooterLines = 0;
    int32_t FPrintHeaderLines = 0;
    int32_t FPrintLineWidth = 12;
    bool FAutoScaleColumns = false;
    bool FPrintGridLines = false;
};

// --- the visible parts ---

class TOvcRVHeader;
class TOvcRVFooter;

class TOvcRVListBox : public TOvcVirtualListBox {
    ZELMOR_CLASS(TOvcRVListBox, TOvcVirtualListBox)
public:
    explicit TOvcRVListBox(TComponent* AOwner);
    ~TOvcRVListBox() override;
    TOvcCustomReportView* ReportView() const { return FReportView; }
    TOvcRVGridLines GridLines() const { return FGridLines; }
    void SetGridLines(TOvcRVGridLines Value);
    // The report view decides it at any time (its engine follows).
    void SetMultiSelect(bool Value) override { FMultiSelect = Value; }
    // The fill colour below the last line.
    TColor ListFillColor() const { return FillColor(); }
    void SetListFillColor(TColor Value) { SetFillColor(Value); }
    int32_t FocusLine() const { return FFocusedIndex; }
    // Where the first column after the group columns starts on the line drawn last.
    int32_t DataStart() const { return FDataStart; }
    // The hint text for a point of the body ("" when the text there fits).
    AnsiString GetStringAtPos(TPoint Point);
    void Click() override;
    // Draws one line into the line bitmap and copies it to Rect on the canvas.
    void InternalDrawItem(int32_t Line, const TRect& Rect);
    bool InClick() const { return FInClick; }
    void RecalcRows() { vlbCalcFontFields(); }
    TPoint LastMouse() const { return FLastMouse; }

protected:
    friend class TOvcCustomReportView;
    void Paint() override;
    void vlbCalcFontFields() override;
    bool DoOnIsSelected(int32_t Index) override;
    void DoOnSelect(int32_t Index, bool Selected) override;
    void SimulatedClick() override;
    void WMKeyDown(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    // Selected: the line's own selection, which owner-drawn cells are told.
    void DrawItem(TCanvas* C, bool Selected, void* Item, TColor Back);
    void DrawGroupItem(TCanvas* C, TOvcRvIndexGroup* Group, int32_t Column, bool Expanded, bool Selected);
    void DrawItemG(TCanvas* C, TOvcRvIndexGroup* Group, bool Selected);
    // The text of a group line's own cell (as drawn, without the count).
    AnsiString GroupText(TOvcRvIndexGroup* Group, int Column, bool WithCount);

private:
    TOvcCustomReportView* FReportView;
    TOvcRVGridLines FGridLines = glNone;
    std::unique_ptr<TBitmap> FLine;
    int32_t FDataStart = 0;
    bool FInClick = false;
    bool FSimulatedClick = false;
    int32_t FPressLine = -1;  // the focused line before the press
    void* FPressItem = nullptr;
    TPoint FLastMouse{-1, -1};
};

class TOvcRVHeader : public TOvcButtonHeader {
    ZELMOR_CLASS(TOvcRVHeader, TOvcButtonHeader)
public:
    explicit TOvcRVHeader(TComponent* AOwner);
    TOvcCustomReportView* ReportView() const { return FReportView; }
    void Reload();
    void SetSortGlyph();
    bool SizerShown() const { return FSizerShown; }
    int SizerX() const { return FSizerX; }
    void DblClick() override;

protected:
    void Paint() override;
    void DoOnClick() override;
    void DoOnSizing(int32_t Section, int32_t Width) override;
    void DoOnSized(int32_t Section, int32_t Width) override;

private:
    friend class TOvcCustomReportView;
    void DrawSizer(int X);
    TOvcCustomReportView* FReportView;
    bool FSizerShown = false;
    int FSizerX = 0;
};

class TOvcRVFooter : public TOvcButtonHeader {
    ZELMOR_CLASS(TOvcRVFooter, TOvcButtonHeader)
public:
    explicit TOvcRVFooter(TComponent* AOwner);
    void Reload();
    void UpdateSections();

protected:
    void Paint() override;

private:
    friend class TOvcCustomReportView;
    // Caption, width and alignment of the section of view field I.
    void Describe(int I, AnsiString& Caption, int& Width, TAlignment& Alignment);
    TOvcCustomReportView* FReportView;
};

// --- the control ---

using TOvcDrawViewFieldEvent = TEvent<void(TObject* Sender, TCanvas* Canvas, void* Data,
                                           int32_t ViewFieldIndex, const TRect& Rect, const AnsiString& S)>;
using TOvcDrawViewFieldExEvent =
    TEvent<void(TObject* Sender, TCanvas* Canvas, TOvcRvField* Field, TOvcRvViewField* ViewField,
                uint32_t& TextFlags, bool IsSelected, bool IsGroupLine, void* Data, const TRect& Rect,
                const AnsiString& FullText, const AnsiString& Text, bool& DefaultDrawing)>;
using TOvcRVGetFieldAsStringEvent =
    TEvent<void(TObject* Sender, void* Data, int32_t FieldIndex, AnsiString& Str)>;
using TOvcRVGetGroupStringEvent =
    TEvent<void(TObject* Sender, int32_t FieldIndex, TOvcRvIndexGroup* GroupRef, AnsiString& Str)>;
using TOvcGetPrintHeaderFooterEvent = TEvent<void(
    TObject* Sender, bool IsHeader, int32_t Line, AnsiString& LeftString, AnsiString& CenterString,
    AnsiString& RightString, TFontStyles& LeftAttr, TFontStyles& CenterAttr, TFontStyles& RightAttr)>;
using TOvcPrintStatusEvent = TEvent<void(TObject* Sender, int32_t Page, bool& Abort)>;
using TOvcRVEnumEvent = TEvent<void(TObject* Sender, void* Data, bool& Stop, void* UserData)>;
using TOvcKeySearchEvent = TEvent<void(TObject* Sender, int32_t SortColumn, const AnsiString& KeyString)>;
using TOvcRvSignalBusyEvent = TEvent<void(TObject* Sender, bool BusyFlag)>;
using TRvChangeMethod = std::function<void(TOvcCustomReportView* Sender, TRvChangeEvent Event)>;

class TOvcCustomReportView : public TOvcAbstractReportView {
    ZELMOR_CLASS(TOvcCustomReportView, TOvcAbstractReportView)
public:
    // FieldClass: the report field class of the descendant (GetFieldClassType).
    explicit TOvcCustomReportView(TComponent* AOwner,
                                  const TClassInfo* FieldClass = &TOvcRvField::StaticClassInfo());
    ~TOvcCustomReportView() override;
    void BeforeDestruction() override;

    // --- fields and views ---
    TOvcAbstractRvFields* Fields() const { return FFields; }
    void SetFields(TOvcAbstractRvFields*) {}
    TOvcAbstractRvViews* Views() const { return FViews; }
    void SetViews(TOvcAbstractRvViews*) {}
    TOvcRVView* GetView(int Index) const { return static_cast<TOvcRVView*>(FViews->Item(Index)); }
    TOvcRvField* GetField(int Index) const { return static_cast<TOvcRvField*>(FFields->Item(Index)); }
    TOvcRvField* GetColumn(int Index) const { return GetField(Index); }
    const AnsiString& ActiveView() const { return FActiveViewName; }
    void SetActiveView(const AnsiString& ViewName);
    TOvcRVView* ActiveViewObject() const { return FActiveView; }
    const AnsiString& ActiveTitle() const { return FActiveTitle; }
    void SetActiveViewByTitle(const AnsiString& Title);
    AnsiString ViewNameByTitle(const AnsiString& Title) const;
    void ReplaceView(const AnsiString& ViewName, TOvcRVView* View);
    void AssignStructure(TOvcCustomReportView* Source);
    void RebuildIndexes();
    void SaveViewToStorage(TOvcAbstractStore* Store, TOvcRVView* View);
    void LoadColumnWidths();
    void StoreColumnWidths();
    const AnsiString& WidthSection() const { return FWidthSection; }
    bool IsGrouped() const;
    bool IsEmpty() const { return Engine().IsEmpty(); }

    // --- updating ---
    void BeginUpdate() { InternalBeginUpdate(true); }
    void EndUpdate() { InternalEndUpdate(true); }
    void InternalBeginUpdate(bool WithIndex);
    void InternalEndUpdate(bool WithIndex);
    bool LockUpdate() const { return FUpdateDepth > 0; }

    // --- the current line ---
    void* GetCurrentItem();
    TOvcRvIndexGroup* GetCurrentGroup();
    void SetCurrentItem(void* Data);
    void GotoNearest(void* Data);
    void Navigate(TRvCurrentPosition Position);
    void CenterCurrentLine();
    void* ItemAtPos(TPoint Point);
    void* GetGroupElement(TOvcRvIndexGroup* GroupRef) { return GroupRef ? GroupRef->GetData() : nullptr; }
    void MakeGroupVisible(TOvcRvIndexGroup* GroupRef);

    // --- values and enumeration ---
    virtual AnsiString GetFieldAsString(void* Data, int32_t FieldIndex) {
        return DoGetFieldAsString(Data, FieldIndex);
    }
    virtual double GetFieldAsFloat(void* Data, int32_t FieldIndex) {
        return DoGetFieldAsFloat(Data, FieldIndex);
    }
    virtual double GetFieldAsDateTime(void* Data, int32_t FieldIndex) {
        return DoGetFieldAsFloat(Data, FieldIndex);
    }
    virtual bool GetFieldAsBoolean(void* Data, int32_t FieldIndex) {
        return DoGetFieldAsFloat(Data, FieldIndex) != 0;
    }
    virtual void Enumerate(void* UserData);
    virtual void EnumerateSelected(void* UserData);
    virtual void EnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData);
    virtual bool GetHaveSelection();
    virtual int32_t GetSelectionCount();
    virtual AnsiString DoGetFieldAsString(void* Data, int32_t FieldIndex);
    virtual AnsiString DoGetGroupString(int32_t FieldIndex, TOvcRvIndexGroup* GroupRef);
    virtual void DoKeySearch(int32_t SortColumn, const AnsiString& KeyString);
    virtual void DoDrawViewField(TCanvas* Canvas, void* Data, const AnsiString& Text,
                                 const AnsiString& FullText, const TRect& Rect, int32_t ViewFieldIndex,
                                 bool IsGroupLine, bool IsSelected, uint32_t TextFlags,
                                 TOvcRvViewField* ViewField, TOvcRvField* Field);

    // --- sorting ---
    int32_t SortColumn() const;
    void SetSortColumn(int32_t Value);
    bool SortDescending() const { return Engine().SortColumn() < 0; }
    void SetSortDescending(bool Value);

    // --- change notifications (one method per receiver) ---
    void RegisterChangeNotification(TObject* Receiver, TRvChangeMethod Method);
    void UnRegisterChangeNotification(TObject* Receiver);
    void DoChangeNotification(TRvChangeEvent Event);

    // --- columns and scrolling ---
    void ScaleColumnWidths();
    void ScaleColumn(int Index);
    void ResizeColumn();
    TOvcRvField* ColumnFromOffset(int X);
    int32_t HScrollPos() const { return FHScrollPos; }
    int32_t HExtent() const { return FHExtent; }
    void HScrollPrim(int32_t Delta);
    void RecalcWidth();
    void SetWidthChanged(bool Value);
    bool WidthChanged() const { return FWidthChanged; }

    // --- printing ---
    void Print(TRVPrintMode Mode, bool SelectedOnly);
    void ScaleColumnWidthsForPrint();
    int32_t PrintPage() const { return FPrintPage; }
    void SetPrintPage(int32_t Page) { FPrintPage = Page; }

    // --- properties ---
    bool AutoCenter() const { return FAutoCenter; }
    void SetAutoCenter(bool Value) { FAutoCenter = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool ColumnResize() const;
    void SetColumnResize(bool Value);
    TOvcAbstractStore* FieldWidthStore() const { return FFieldWidthStore; }
    void SetFieldWidthStore(TOvcAbstractStore* Value);
    TOvcRVGridLines GridLines() const;
    void SetGridLines(TOvcRVGridLines Value);
    TColor GroupColor() const { return FGroupColor; }
    void SetGroupColor(TColor Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool KeySearch() const { return FKeySearch; }
    void SetKeySearch(bool Value) { FKeySearch = Value; }
    int32_t KeyTimeout() const { return FKeyTimeout; }
    void SetKeyTimeout(int32_t Value) { FKeyTimeout = Value; }
    bool MultiSelect() const { return Engine().MultiSelect; }
    void SetMultiSelect(bool Value);
    TOvcRVOptions* Options() const { return FOptions.get(); }
    void SetOptions(TOvcRVOptions* Value) { FOptions->Assign(Value); }
    TOvcRvPrintProps* PrinterProperties() const { return FPrinterProperties.get(); }
    void SetPrinterProperties(TOvcRvPrintProps* Value) { FPrinterProperties->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool SmoothScroll() const;
    void SetSmoothScroll(bool Value);
    void SetController(TOvcController* Value) override;

    // --- the parts ---
    TOvcRVListBox* ListBox() const { return FListBox; }
    TOvcRVHeader* Header() const { return FHeader; }
    TOvcRVFooter* Footer() const { return FFooter; }
    TPanel* HeaderPanel() const { return FHeaderPanel; }
    TPanel* FooterPanel() const { return FFooterPanel; }
    THintWindow* HintWindow() const { return FHintWindow; }
    bool HintSuppressed() const { return FHintSuppressed; }
    void HideHint();
    void HoverTimerEvent();
    bool Focused() const;
    void SetFocus() override;

    TOvcDrawViewFieldEvent OnDrawViewField;
    TOvcDrawViewFieldExEvent OnDrawViewFieldEx;
    TOvcRVGetFieldAsStringEvent OnGetFieldAsString;
    TOvcRVGetGroupStringEvent OnGetGroupString;
    TOvcGetPrintHeaderFooterEvent OnGetPrintHeaderFooter;
    TOvcRVEnumEvent OnEnumerate;
    TOvcKeySearchEvent OnKeySearch;
    TOvcPrintStatusEvent OnPrintStatus;
    TOvcRvSignalBusyEvent OnSignalBusy;
    TNotifyEvent OnSortingChanged;
    TNotifyEvent OnViewSelect;

    void Click() override;
    void DblClick() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The keys that reach the list body.
    void ListKeyPress(TObject* Sender, char& Key);
    void ListDblClick(TObject* Sender);
    void ColumnsChanged();

    // The engine's notices.
    void DoEnumEvent(void* Data, bool& Stop, void* UserData) override;
    void FieldGoing(TOvcAbstractRvField* Field) override;
    void DoLinesChanged(int LineDelta, int StartLine) override;
    void DoLinesWillChange() override;
    void DoSortingChanged() override;

protected:
    // The events a published report view keeps in its list body (OnKeyDown,
    // OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp).
    static void PublishListBodyEvents(TPropertyTable& T);
    // GetHaveSelection and GetSelectionCount walk the selection through this
    // hook, whatever enumeration event a descendant has.
    bool EnumHooked() const { return static_cast<bool>(FEnumHook); }
    virtual void DoBusy(bool BusyFlag);
    virtual const TClassInfo* GetFieldClassType() const;
    virtual const TClassInfo* GetViewClassType() const;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;

    bool FDestroying = false;

private:
    friend class TOvcRVListBox;
    friend class TOvcRVHeader;
    friend class TOvcRVFooter;
    friend class TOvcRVView;
    friend class TOvcRvViewField;
    friend class TOvcRVOptions;
    void PlaceParts();
    void SetFocusLine(int32_t Line);
    void ShowPendingGroup();
    void SetSortArrows();
    void ReloadHeaderFooter();
    void RefreshFooter();
    void AddHoverTrigger();
    void RemoveHoverTrigger();
    int32_t ScaleWidth(TCanvas* Canvas, int Index, bool Print);
    AnsiString GroupCellText(TOvcRvIndexGroup* Group, int Column);

    AnsiString FActiveViewName;
    AnsiString FActiveTitle;
    bool FAutoCenter = false;
    TBorderStyle FBorderStyle = bsSingle;
    TOvcRVView* FActiveView = nullptr;
    TOvcAbstractStore* FFieldWidthStore = nullptr;
    TColor FGroupColor = clBtnFace;
    bool FHideSelection = false;
    int32_t FHoverTrigger = -1;
    TOvcController* FHoverController = nullptr;
    bool FKeySearch = false;
    int32_t FKeyTimeout = 1000;
    int32_t FPrintPage = 0;
    std::unique_ptr<TOvcRvPrintProps> FPrinterProperties;
    std::unique_ptr<TOvcRVOptions> FOptions;
    TScrollStyle FScrollBars = ssVertical;
    bool FWidthChanged = false;
    struct TNotification {
        TObject* Receiver;
        TRvChangeMethod Method;
    };
    std::vector<TNotification> FNotifications;
    AnsiString FWidthSection;
    bool FHintSuppressed = false;
    THintWindow* FHintWindow = nullptr;
    TPoint FLastMouse{-1, -1};
    AnsiString FKeySearchText;
    uint32_t FKeySearchTick = 0;
    TPanel* FHeaderPanel = nullptr;
    TPanel* FFooterPanel = nullptr;
    bool FVScroll = true;
    bool FHScroll = false;
    int32_t FHScrollPos = 0;
    int32_t FHExtent = 0;
    TOvcRVHeader* FHeader = nullptr;
    TOvcRVFooter* FFooter = nullptr;
    TOvcRVListBox* FListBox = nullptr;
    int32_t FUpdateDepth = 0;
    void* FRemembered = nullptr;
    int32_t FRememberedLine = -1;
    TOvcRvIndexGroup* FShowGroup = nullptr;  // waiting for the posted OM_SHOWGROUP
    std::unique_ptr<TFont> FSpareFont;
    std::unique_ptr<TOvcAbstractRvFields> FOwnedFields;
    std::unique_ptr<TOvcAbstractRvViews> FOwnedViews;
    std::function<void(bool& Stop)> FEnumHook;
};

class TOvcReportView : public TOvcCustomReportView {
    ZELMOR_CLASS(TOvcReportView, TOvcCustomReportView)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcReportView(TComponent* AOwner);
    void AddData(void* Data) { Engine().AddDataPrim(Data); }
    void ChangeData(void* Data) { Engine().ChangeDataPrim(Data); }
    void RemoveData(void* Data) { Engine().RemoveDataPrim(Data); }
    void Clear() { Engine().ClearIndex(); }
};

// The sort arrows and the grid brush, made when the library starts.
void CreateReportViewResources();
void FreeReportViewResources();
TImageList* ReportViewArrows();
TBitmap* ReportViewBrush();
// A brush of the grid pattern, aligned on the device origin.
TBrush* ReportViewGridBrush();
