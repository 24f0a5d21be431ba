#pragma once
// The library's data-aware combo box: a drop-down edit whose button opens a
// list window of its own (TwwPopupListbox). Items lines may map a shown text
// to a stored value ("display<TAB>value"); the control writes the value of
// the chosen item and shows the mapped text for the field's value. A history
// of earlier entries (TwwHistoryList) can be merged into the list, its newest
// entries shown as a block at the top, parted from the rest by a double line.
//
// Decisions:
// - Every open drop-down installs a mouse hook of its own and removes that
//   hook, and only that one, when it closes or is freed (the drop-down edit
//   base's hook, Wwdotdot.h).
// - While the list shows, a WM_CHAR of "&" (38) or "(" (40) is never taken
//   for Up or Down: only key-down messages with those codes stay out of the
//   edit, so the characters reach the list's search on every keyboard.
// - A click outside the list and the control closes the list with
//   acceptance, as losing the focus does; only Escape discards the choice:
//   it puts back the text the edit had when the list opened (the keys that
//   move in the list copy their row into it), and its character does not
//   go on to undo the edit's text once more.
#include <cstdint>
#include <memory>

#include "dataaware/Wwdotdot.h"
#include "dataaware/wwhistorylist.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/MessageQueue.h"

class TwwDBCustomComboBox;
class TwwDBComboBox;

using TwwComboCloseUpEvent = TEvent<void(TwwDBComboBox* Sender, bool Select)>;
using TwwAddHistoryItemEvent =
    TEvent<void(TwwDBCustomComboBox* Sender, const AnsiString& Value, bool& Accept)>;

// The item lines; every change tells the combo that its list must be filled again.
class TwwComboStringList : public TStringList {
    ZELMOR_CLASS(TwwComboStringList, TStringList)
public:
    explicit TwwComboStringList(TwwDBCustomComboBox* ComboBox) : FComboBox(ComboBox) {}
    TwwDBCustomComboBox* ComboBox() const { return FComboBox; }
    virtual bool HasListWindow() const;

protected:
    void Changed() override;

private:
    TwwDBCustomComboBox* FComboBox;
};

class TwwPopupListbox : public TCustomListBox {
    ZELMOR_CLASS(TwwPopupListbox, TCustomListBox)
public:
    explicit TwwPopupListbox(TComponent* AOwner);
    TwwDBCustomComboBox* Combo() const;
    const AnsiString& SearchText() const { return FSearchText; }
    void ClearSearch() { FSearchText.clear(); }
    // Typing into the open list.
    void KeyPress(char& Key) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void WndProc(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    void CNCommand(TMessage& Message) override;

private:
    void ApplyListSearch(bool Found, const AnsiString& FoundText, char Key, int OldIndex);
    void StepBackSelection();

    AnsiString FSearchText;
    uint32_t FLastKeyTime = 0;
};

class TwwDBCustomComboBox : public TwwDBCustomCombo {
    ZELMOR_CLASS(TwwDBCustomComboBox, TwwDBCustomCombo)
    friend class TwwPopupListbox;
    friend class TwwComboStringList;

public:
    explicit TwwDBCustomComboBox(TComponent* AOwner);
    ~TwwDBCustomComboBox() override;

    bool MapList() const { return FMapList; }
    void SetMapList(bool Value) { FMapList = Value; }
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // 0: the list font's height of "A" plus 2.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    TwwPopupListbox* PopupList() const { return FPopupList; }
    bool AllowClearKey() const { return FAllowClearKey; }
    void SetAllowClearKey(bool Value) { FAllowClearKey = Value; }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // 0: derived from Column1Width or the control's width.
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    bool AutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    TwwHistoryList* HistoryList() const { return FHistoryList.get(); }
    void SetHistoryList(TwwHistoryList* Value);
    bool DisableDropDownList() const { return FDisableDropDownList; }
    void SetDisableDropDownList(bool Value) { FDisableDropDownList = Value; }
    // 0: half the list's width.
    int Column1Width() const { return FColumn1Width; }
    void SetColumn1Width(int Value) { FColumn1Width = Value; }
    bool TwoColumnDisplay() const { return FTwoColumnDisplay; }
    void SetTwoColumnDisplay(bool Value) { FTwoColumnDisplay = Value; }
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int ItemIndex();
    void SetItemIndex(int Value);
    bool ListShowing() const { return FListShowing; }
    bool EditOnNextKey() const { return FEditOnNextKey; }
    const AnsiString& TextAtDropDown() const { return FTextAtDropDown; }
    // Rows of the most-recently-used block at the top of the list.
    int MRUCount() const { return FHistoryList->MRUCount(); }

    AnsiString GetStoredValue() { return GetFieldText(); }
    AnsiString DisplayToValue(const AnsiString& Display) const;
    AnsiString ValueToDisplay(const AnsiString& Value) const;
    void SetDroppedDown(bool Value);
    void EnsureListFilled();
    void FillDropDownList();
    void SetListSelection(int Index);
    void SelectAllIfCaret();

    virtual int FindListItem(const AnsiString& Text, int Start);
    virtual void RemoveHistoryItem(const AnsiString& Text, bool FromHistory);
    virtual void AddHistoryItem(const AnsiString& Text, bool ToHistory);
    virtual void ClearHistory();

    AnsiString GetFieldText() override;
    bool GetDisplayForValue(const AnsiString& Value, AnsiString& DisplayText) override;
    bool IsOwnerDraw() override;
    bool ShowsCaret() override;
    bool IsDroppedDown() override { return FListShowing; }
    bool IsTypingAllowed() override;
    void DrawDisplayText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, int X, int Y) override;
    void CloseUp(bool Accept) override;
    void DropDown() override;

    TNotifyEvent OnDropDown;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TwwAddHistoryItemEvent OnAddHistoryItem;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DataChange(TObject* Sender) override;
    void CMCancelMode(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void WMClear(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    // Fires OnCloseUp where the class publishes it.
    virtual void DoCloseUp(bool) {}

private:
    void CreatePopupList();
    void ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void SetDisplayFromValue(const AnsiString& Value);
    // Puts the record into edit mode for a change from the keyboard; false when it cannot.
    bool PrepareKeyChange();
    void SelectItemFromKey(int Index);
    bool IsBound();

    bool FMapList = false;
    std::unique_ptr<TwwComboStringList> FItems;
    int FDropDownCount = 8;
    int FItemHeight = 0;
    TwwPopupListbox* FPopupList = nullptr;
    bool FListShowing = false;
    bool FEditOnNextKey = false;
    bool FAllowClearKey = false;
    int FStoredItemIndex = -1;
    TComboBoxStyle FStyle = csDropDown;
    TCanvas* FDrawCanvas = nullptr;
    int FDropDownWidth = 0;
    bool FAutoDropDown = false;
    bool FShowMatchText = false;
    std::unique_ptr<TwwHistoryList> FHistoryList;
    bool FAutoDroppingDown = false;
    bool FSavedShowHint = false;
    AnsiString FTextAtDropDown;
    bool FListKeyMoving = false;
    bool FItemsChanged = false;
    bool FDisableDropDownList = false;
    int FColumn1Width = 0;
    bool FTwoColumnDisplay = false;
    bool FWritingFromList = false;
    bool FEscapeClosedList = false;
};

class TwwDBComboBox : public TwwDBCustomComboBox {
    ZELMOR_CLASS(TwwDBComboBox, TwwDBCustomComboBox)
public:
    explicit TwwDBComboBox(TComponent* AOwner) : TwwDBCustomComboBox(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);

    TwwComboCloseUpEvent OnCloseUp;

protected:
    void DoCloseUp(bool Accept) override;

private:
    bool GlyphStored() const;
};
