#pragma once
// The lookup combo (TwwDBCustomLookupCombo) and its drop-down grid.
//
// The combo edits one field of a data set; its value is picked from the
// records of a second data set, the lookup table, where it is the text of the
// lookup field(s) (up to three, ";"-separated). It shows the text of a
// display field of the same record (the first Selected line), searches what
// the user types in the lookup table after a short pause, and drops down a
// grid over the lookup table (TwwPopupGrid) that stands on the value's
// record. A field that is itself a lookup or calculated field of its data
// set (a linked lookup field) is not written: its own key fields are.
//
// The lookup list (TwwDBLookupList) holds the value state: the resolved key
// and display fields, the value texts and the row that shows the value. It
// always belongs to a combo: a list standing alone on a form would have
// nothing to find its value through, so the class is not offered by itself
// (its constructor is protected and only the drop-down grid makes one).
//
// The combo stands on the drop-down edit base (Wwdotdot.h): the button, its
// holder window, the button effects, the edit rectangle and the frame are
// that base's; the button here is a TwwLookupComboButton, which opens and
// closes the list on the press rather than on the click, so that the user
// can drag from the button into the list.
//
// How the combo settles what its behaviour leaves open:
// - One mouse hook per open drop-down, the drop-down edit base's (Wwdotdot.h):
//   each combo installs its own while its list shows and removes only that
//   one, so closing or freeing one combo never leaves another open list
//   without its hook.
// - A linked write (WriteLinkedFields) reports a change only when it wrote a
//   field: not for an empty list of own key fields, nor when the data set is
//   a read-only table, cannot be modified or will not edit, nor for a
//   ReadOnly combo.
// - When the first lookup field cannot be found, the key field count is 0.
// - A search value cut to the width of a string field is cut by its own
//   length, not by the length of the control's text.
// - Tab and Enter in a grid's cell editor (CN_KEYDOWN): see CNKeyDown in
//   wwdblook.cpp.
#include <cstdint>
#include <memory>

#include "dataaware/Wwdbigrd.h"
#include "dataaware/Wwdotdot.h"
#include "dataaware/Wwtypes.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/MessageQueue.h"

class TTimer;
class TwwDBCustomLookupCombo;
class TwwPopupGrid;

enum TwwDBLookupListOption : uint8_t {
    loColLines,
    loRowLines,
    loTitles,
    loFixedDropDownHeight,
    loSearchOnBackspace
};
ZELMOR_DECLARE_ENUM(TwwDBLookupListOption);
using TwwDBLookupListOptions = TSet<TwwDBLookupListOption>;

enum TwwSeqSearchOption : uint8_t { ssoEnabled, ssoCaseSensitive };
ZELMOR_DECLARE_ENUM(TwwSeqSearchOption);
using TwwSeqSearchOptions = TSet<TwwSeqSearchOption>;

// The combo takes csDropDown (free typing) and csDropDownList (typing only
// into the open list, or with AutoDropDown) of the combo box's styles.
using TwwDBLookupComboStyle = TComboBoxStyle;

// (sender, lookup table, the combo's data set or nil, whether the value changed).
using TNotifyCloseUpEvent =
    TEvent<void(TObject* Sender, TDataSet* LookupTable, TDataSet* FillTable, bool Modified)>;
// (sender, lookup table, the typed text, var accept): a text the lookup table lacks.
using TwwTextNotFoundEvent =
    TEvent<void(TObject* Sender, TDataSet* LookupTable, const AnsiString& NewText, bool& Accept)>;

// The grid over the lookup table that stands on one lookup value.
class TwwDBLookupList : public TwwCustomDBGrid {
    ZELMOR_CLASS(TwwDBLookupList, TwwCustomDBGrid)
    friend class TwwDBCustomLookupCombo;

public:
    ~TwwDBLookupList() override;

    TwwDBCustomLookupCombo* Combo() const { return FCombo; }

    // --- the own field link ---
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TFieldDataLink* FieldLink() const { return FFieldLink.get(); }

    // --- the lookup side ---
    TDataSource* GetLookupSource() const { return TwwCustomDBGrid::DataSource(); }
    void SetLookupSource(TDataSource* Value);
    TDataSet* LookupTable() const;
    void SetLookupTable(TDataSet* Value);
    const AnsiString& LookupField() const { return FLookupField; }
    void SetLookupField(const AnsiString& Value);
    TwwDBLookupListOptions Options() const { return FOptions; }
    void SetOptions(TwwDBLookupListOptions Value);
    TwwDBGridOptions GridOptions() const { return TwwCustomDBGrid::Options(); }

    // --- the value state ---
    TField* KeyField() const { return FKeyField; }
    TField* KeyField2() const { return FKeyField2; }
    TField* KeyField3() const { return FKeyField3; }
    TField* DisplayField() const { return FDisplayField; }
    int KeyFieldCount() const { return FKeyFieldCount; }
    const AnsiString& LookupValue() const { return FLookupValue; }
    const AnsiString& LookupValue2() const { return FLookupValue2; }
    const AnsiString& LookupValue3() const { return FLookupValue3; }
    const AnsiString& DisplayValue() const { return FDisplayValue; }
    // Plain stores, for the combo that keeps the value with the list.
    void StoreLookupValue(const AnsiString& Value) { FLookupValue = Value; }
    void StoreLookupValue2(const AnsiString& Value) { FLookupValue2 = Value; }
    void StoreLookupValue3(const AnsiString& Value) { FLookupValue3 = Value; }
    void StoreDisplayValue(const AnsiString& Value) { FDisplayValue = Value; }
    int HighlightedRow() const { return FHighlightedRow; }
    void SetHighlightedRow(int Value) { FHighlightedRow = Value; }
    bool ValueFound() const { return FValueFound; }
    void SetValueFound(bool Value) { FValueFound = Value; }
    int RefreshCount() const { return FRefreshCount; }
    bool Sizing() const { return FSizing; }
    void SetSizing(bool Value) { FSizing = Value; }
    // Off: the grid's own handling of data changes does nothing (the
    // detail-table check still runs). The lookup-dialog combo, whose list
    // never shows, switches it off.
    void SetGridDataChangeEnabled(bool Value) { FGridDataChangeEnabled = Value; }

    // --- the value operations ---
    void UpdateKeyFields(bool RaiseError);
    void LookupSettingsChanged();
    void SetLookupValue(const AnsiString& Value);
    void SetDisplayValue(const AnsiString& Value);
    void LocateCurrentValue(bool Select);
    // Positions the lookup table on the combo's field value; sets ValueFound.
    void FindDataValue();

    virtual bool CanChangeValue();
    virtual void SelectCurrentRecord();

    // Fired by SelectCurrentRecord: after a selecting click or a navigation key.
    TNotifyEvent OnClick;

    // The grid base's data and layout hooks.
    void RecordScrolled(int Distance) override;
    bool IsCellHighlighted(int GridCol, int DataRow, TGridDrawState State) override;
    void BuildColumns() override;
    void SetColumnWidths() override;
    void LinkActive(bool Active) override;
    void DataChanged() override;

protected:
    // Only a combo's drop-down grid makes a list.
    TwwDBLookupList(TwwDBCustomLookupCombo* Combo, TComponent* AOwner);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void Paint() override;
    bool CanGridAcceptKey(WORD Key, TShiftState Shift) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMSize(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;

    void FieldDataChange(TObject* Sender);
    void FieldUpdateData(TObject* Sender);
    void FieldActiveChange(TObject* Sender);
    void InvalidateHighlightedRow();
    // The detail-table check that follows the grid's data change.
    void CheckDetailTable();
    // The grid's current row is the first record row.
    bool OnFirstRecordRow() const;

private:
    void CheckDuplicateSource(TDataSource* Own, TDataSource* Lookup) const;
    bool RecordHoldsValue();

    TwwDBCustomLookupCombo* FCombo;
    std::unique_ptr<TFieldDataLink> FFieldLink;
    TDataSource* FLookupSource = nullptr;
    AnsiString FLookupField;
    TField* FKeyField = nullptr;
    TField* FKeyField2 = nullptr;
    TField* FKeyField3 = nullptr;
    TField* FDisplayField = nullptr;
    int FKeyFieldCount = 0;
    AnsiString FLookupValue, FLookupValue2, FLookupValue3, FDisplayValue;
    int FHighlightedRow = -1;
    TwwDBLookupListOptions FOptions;
    bool FValueFound = false;
    bool FInKeyDown = false;
    bool FSizing = false;
    int FRefreshCount = 0;
    bool FGridDataChangeEnabled = true;
};

// Sets the combo's LookupField from its data field's lookup definition (the
// lookup field's LookupKeyFields, or the lookup halves of the LookupLinks
// pairs) and lets its list resolve the key fields again.
void LookupFieldFromDefinition(TwwDBCustomLookupCombo* Combo);

// The combo's drop-down: a bordered tool window on the desktop that never
// takes the focus and closes the drop-down when the button is released over it.
class TwwPopupGrid : public TwwDBLookupList {
    ZELMOR_CLASS(TwwPopupGrid, TwwDBLookupList)
public:
    // The owner must be a lookup combo.
    explicit TwwPopupGrid(TComponent* AOwner);

    bool CanChangeValue() override;
    void LinkActive(bool Active) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
};

// The look of the grid at each drop-down.
class TwwDropDownGridOptions : public TPersistent {
    ZELMOR_CLASS(TwwDropDownGridOptions, TPersistent)
public:
    TwwDropDownGridOptions() = default;
    int TitleLines() const { return FTitleLines; }
    void SetTitleLines(int Value) { FTitleLines = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TAlignment TitleAlignment() const { return FTitleAlignment; }
    void SetTitleAlignment(TAlignment Value) { FTitleAlignment = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FTitleLines = 1;
    TColor FColor = clWindow;
    TAlignment FTitleAlignment = taLeftJustify;
};

// The button: a press opens a closed list and closes an open one.
class TwwLookupComboButton : public TwwComboDlgButton {
    ZELMOR_CLASS(TwwLookupComboButton, TwwComboDlgButton)
public:
    explicit TwwLookupComboButton(TComponent* AOwner) : TwwComboDlgButton(AOwner) {}
    TwwDBCustomLookupCombo* LookupCombo() const;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
};

class TwwDBCustomLookupCombo : public TwwDBCustomCombo {
    ZELMOR_CLASS(TwwDBCustomLookupCombo, TwwDBCustomCombo)
    friend class TwwDBLookupList;
    friend class TwwPopupGrid;
    friend class TwwLookupComboButton;

public:
    explicit TwwDBCustomLookupCombo(TComponent* AOwner);
    ~TwwDBCustomLookupCombo() override;
    void BeforeDestruction() override;

    // --- properties ---
    TDataSource* DataSource() const { return TwwDBCustomEdit::DataSource(); }
    // Refused ("Unable to use duplicate DataSource and LookupSource") for a
    // source of the lookup table itself.
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const { return TwwDBCustomEdit::DataField(); }
    // Also derives LookupField from the field's lookup definition.
    void SetDataField(const AnsiString& Value);
    TDataSet* LookupTable() const;
    void SetLookupTable(TDataSet* Value);
    const AnsiString& LookupField() const;
    void SetLookupField(const AnsiString& Value);
    TStrings* Selected() const;
    void SetSelected(TStrings* Value);
    TwwDBLookupComboStyle Style() const { return FStyle; }
    void SetStyle(TwwDBLookupComboStyle Value) { FStyle = Value; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    // Milliseconds between the last key and the search; 0 keeps 200.
    int SearchDelay() const { return FSearchDelay; }
    void SetSearchDelay(int Value) { FSearchDelay = Value; }
    TwwSeqSearchOptions SeqSearchOptions() const { return FSeqSearchOptions; }
    void SetSeqSearchOptions(TwwSeqSearchOptions Value) { FSeqSearchOptions = Value; }
    bool OrderByDisplay() const { return FOrderByDisplay; }
    void SetOrderByDisplay(bool Value) { FOrderByDisplay = Value; }
    bool AllowClearKey() const { return FAllowClearKey; }
    void SetAllowClearKey(bool Value) { FAllowClearKey = Value; }
    bool UseTFields() const;
    void SetUseTFields(bool Value);
    bool ReadOnly() const { return TwwDBCustomEdit::ReadOnly(); }
    void SetReadOnly(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // 0: computed from the columns.
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    // taLeftJustify or taRightJustify (the list's right edge on the combo's).
    TAlignment DropDownAlignment() const { return FDropDownAlignment; }
    void SetDropDownAlignment(TAlignment Value) { FDropDownAlignment = Value; }
    TwwDropDownGridOptions* DropDownGridOptions() const { return FDropDownGridOptions.get(); }
    void SetDropDownGridOptions(TwwDropDownGridOptions* Value) { FDropDownGridOptions->Assign(Value); }

    // --- the value ---
    TwwPopupGrid* LookupList() const { return FLookupList; }
    const AnsiString& LookupValue() const;
    const AnsiString& DisplayValue() const;
    // The lookup table and the list are in a state to search.
    bool ListVisible() const;
    bool IsDroppedDown() override { return ListVisible(); }
    // The text was found at the last search.
    bool Found() const { return FFound; }
    void SetFound(bool Value) { FFound = Value; }
    const AnsiString& EntryText() const { return FEntryText; }
    const AnsiString& EntryValue() const { return FEntryValue; }
    const AnsiString& LastSearchedText() const { return FLastSearchedText; }
    void ClearLastSearchedText() { FLastSearchedText.clear(); }
    const AnsiString& TextAtLastSearch() const { return FTextAtLastSearch; }
    const AnsiString& SearchFieldName() const { return FSearchFieldName; }
    // The guards; each is set only while its operation runs.
    bool InternalChange() const { return FInternalChange; }
    void SetInternalChange(bool Value) { FInternalChange = Value; }
    bool Writing() const { return FWriting; }
    bool SuppressFocusActions() const { return FSuppressFocusActions; }
    bool InCustomSearch() const { return FInCustomSearch; }
    bool OpenedByTyping() const { return FOpenedByTyping; }
    void SetOpenedByTyping(bool Value) { FOpenedByTyping = Value; }
    TTimer* SearchTimer() const { return FSearchTimer; }

    // --- operations ---
    void SetLookupValue(const AnsiString& Value);
    void SetDisplayValue(const AnsiString& Value);
    void RefreshDisplayValue();
    void AcceptListValue(TObject* Sender);
    void SyncFromList();
    void WriteLinkedFields(bool& Changed);
    void BeginEdit();
    bool CanEdit();
    bool IsTextEditable();
    void SelectAllIfEditable();
    bool IsLinkedLookupField();
    bool IsLookupTField();
    bool UsesSequentialSearch();
    int IndexOfSearchField();
    void PrepareLookupIndex(bool ForDisplay);
    void PositionDropDown();
    int ColumnsWidth(int Skip);
    // The texts of the data-set fields that pair with KeyField2 and KeyField3.
    AnsiString LinkValue2();
    AnsiString LinkValue3();
    // Adds the default Selected line of the display field when there are none.
    void AddDefaultSelectedLine();

    // --- the new virtual operations ---
    virtual void PerformSearch();
    virtual bool CopiesLinkedFields() { return false; }
    virtual bool FindLookupValue(const AnsiString& Value, const AnsiString& FieldName, bool Partial);
    virtual bool SearchLookupTable(AnsiString Value, const AnsiString& FieldName, bool Partial,
                                   bool CaseSensitive, bool PerformLookup);
    virtual void PaintFrame(TControlCanvas* Canvas);
    virtual void DoPerformCustomSearch(const AnsiString& SearchField, const AnsiString& SearchValue,
                                       bool PerformLookup, bool& Found);
    void DropDown() override;
    void CloseUp(bool Accept) override;
    bool IsTypingAllowed() override;
    bool ShowsCaret() override;
    // The display field's alignment: an unfocused combo shows its text there.
    TAlignment EffectiveAlignment() const override;
    // Without a border inside a data-aware grid the text stands 2 pixels in
    // (1 from the top in a published grid without row lines).
    void SetEditRect() override;
    // Painted as a copy into a grid cell: the display text of the record
    // that holds the field's value (the field's own text when the key is
    // what the combo shows).
    bool GetDisplayForValue(const AnsiString& Value, AnsiString& DisplayText) override;

    TNotifyEvent OnDropDown;
    TNotifyEvent OnDropDownStart;
    TNotifyCloseUpEvent OnCloseUp;
    TwwPerformSearchEvent OnPerformCustomSearch;
    TwwTextNotFoundEvent OnTextNotFound;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void DataChange(TObject* Sender) override;
    void EditingChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void ActiveChange(TObject* Sender);

    void CNKeyDown(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMCancelMode(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;

private:
    // Starts the search timer for the next pause.
    void StartSearchTimer();
    // The own key fields a linked lookup field writes.
    void OwnKeyFields(std::vector<TField*>& Fields);
    bool IsDetailLookupTable() const;
    void TakeBackEntryValues();
    void HideList();
    int DefaultRowHeightWithLine() const;
    bool ParentIsGrid() const;
    bool ParentIsCustomDBGrid() const;
    void ForwardKeyToGrid(WORD& Key, TShiftState Shift);
    bool WheelInList(WORD Key, TShiftState Shift);

    TwwPopupGrid* FLookupList = nullptr;
    TTimer* FSearchTimer = nullptr;
    std::unique_ptr<TwwDropDownGridOptions> FDropDownGridOptions;
    TwwDBLookupComboStyle FStyle = csDropDown;
    bool FAutoDropDown = false;
    bool FShowMatchText = false;
    int FSearchDelay = 0;
    TwwSeqSearchOptions FSeqSearchOptions{ssoEnabled};
    bool FOrderByDisplay = true;
    bool FAllowClearKey = false;
    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    TAlignment FDropDownAlignment = taLeftJustify;
    int FShownRows = 0;

    AnsiString FEntryText, FEntryValue;
    AnsiString FLastSearchedText, FTextAtLastSearch, FSearchFieldName;
    bool FFound = true;
    bool FInternalChange = false;
    bool FWriting = false;
    bool FSuppressFocusActions = false;
    bool FDroppingDown = false;
    bool FClosingUp = false;
    bool FInCustomSearch = false;
    bool FOpenedByTyping = false;
    bool FInAcceptListValue = false;
    bool FSavedShowHint = false;
};
