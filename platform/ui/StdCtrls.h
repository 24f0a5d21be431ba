#pragma once
// The standard controls: edits and memos, labels, buttons, check boxes and
// radio buttons, list boxes, combo boxes and group boxes.
//
// The windowed ones stand on window classes of our own, as the libraries
// expect of them (platform/win/StdWindows.h): "EDIT", "LISTBOX", "COMBOBOX"
// and "BUTTON" keep the text, the items, the selection and the check state
// and do the typing, the clicking and the painting; the control classes here
// turn properties into styles and messages, and notifications (CN_COMMAND)
// into events. A descendant that overrides a handler and calls the inherited
// one therefore reaches the window class, as the libraries' edits, combos and
// check boxes rely on ("the key then goes on to the edit control").
#include <cstdint>
#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Controls.h"

enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };
ZELMOR_DECLARE_ENUM(TEditCharCase);
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
ZELMOR_DECLARE_ENUM(TScrollStyle);
// Left or right of the glyph (check boxes, radio buttons).
using TLeftRight = TAlignment;

// The metrics of a font, measured on a screen context (no window needed).
TTextMetric MetricsOf(TFont* Font);

// ---------------------------------------------------------------------------
// Edits
// ---------------------------------------------------------------------------

// A one-line edit over the "EDIT" window class. The text, the selection, the
// modified flag and the undo step live in the window while it exists; the
// control keeps them across a re-creation of the window.
class TCustomEdit : public TWinControl {
    ZELMOR_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // --- what the descendants publish ---
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // The height follows the font (with a border only).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // The most characters the user may type or paste; 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Kept for the forms that set them; there is no input method here.
    int ImeMode() const { return FImeMode; }
    void SetImeMode(int Value) { FImeMode = Value; }
    AnsiString ImeName() const { return FImeName; }
    void SetImeName(const AnsiString& Value) { FImeName = Value; }

    // --- the text being edited ---
    bool Modified() const;
    void SetModified(bool Value);
    bool CanUndo() const;
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    AnsiString SelText() const;
    // Replaces the selection (EM_REPLACESEL).
    void SetSelText(const AnsiString& Value);
    void SelectAll();
    void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void ClearUndo();

    // Fired when the text changes, by the user or by the program.
    TNotifyEvent OnChange;

    // The published properties of a plain edit, all but Text (which a masked
    // edit must read after its mask): for the descendants' tables.
    static void PublishEditProperties(TPropertyTable& T);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    // Sends the limit to the window.
    void DoSetMaxLength(int Value);
    // The height of the text in the font plus the border.
    void AdjustHeight();
    void UpdateHeight();
    // True while the window is being made (its first text does not count as a change).
    bool Creating() const { return FCreating; }

private:
    void SendToWindow(UINT Msg);

protected:
    void CMEnter(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
    void CNCommand(TMessage& Message) override;
    void CNCtlColor(TMessage& Message) override;
    void WMSetFont(TMessage& Message) override;

private:
    bool FAutoSelect = true;
    bool FAutoSize = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false;
    bool FCreating = false;
    int FImeMode = 3;
    AnsiString FImeName;
};

class TEdit : public TCustomEdit {
    ZELMOR_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// A multi-line edit. Lines are the text's lines as typed (split at its line
// breaks), not the rows word wrap shows.
class TCustomMemo : public TCustomEdit {
    ZELMOR_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Return types a line break; without it Return goes to the form (its default button).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Tab types a tab; without it Tab moves the focus on.
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The caret as (column, line), counted from 0 in the lines shown.
    TPoint CaretPos() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyPress(char& Key) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    std::unique_ptr<TStrings> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    ZELMOR_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// ---------------------------------------------------------------------------
// Labels
// ---------------------------------------------------------------------------

enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
ZELMOR_DECLARE_ENUM(TTextLayout);

// A caption painted on the parent. "&S" underlines the S and makes Alt+S
// (or S on a form where no control takes characters) focus FocusControl.
class TCustomLabel : public TGraphicControl {
    ZELMOR_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The size follows the caption (the width only, when WordWrap is on).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // A transparent label leaves what lies behind it and paints only its text.
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void Paint() override;
    virtual void DoDrawText(TRect& Rect, uint32_t Flags);
    virtual AnsiString GetLabelText() const { return Caption(); }
    void AdjustBounds();
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TWinControl* FFocusControl = nullptr;
    TTextLayout FLayout = tlTop;
    bool FShowAccelChar = true;
    bool FWordWrap = false;
};

class TLabel : public TCustomLabel {
    ZELMOR_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// ---------------------------------------------------------------------------
// Buttons, check boxes, radio buttons
// ---------------------------------------------------------------------------

// The base of the controls over the "BUTTON" class. A click on one that has
// not the focus first gives it the focus, and clicks stay off meanwhile (a
// radio button reached by the focus would otherwise click twice).
class TButtonControl : public TWinControl {
    ZELMOR_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    bool Checked() const { return GetChecked(); }
    virtual void SetChecked(bool) {}

protected:
    virtual bool GetChecked() const { return false; }
    void CNCtlColor(TMessage& Message) override;

private:
    bool FClicksDisabled = false;
};

// A push button. Clicking it gives its form its ModalResult before OnClick
// runs, so a handler that raises still closes a modal form. Default: Enter
// on the form presses it (unless another button has the focus); Cancel:
// Escape does.
class TButton : public TButtonControl {
    ZELMOR_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    void Click() override;
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // Shows the button as the one Enter presses, or not.
    virtual void SetButtonStyle(bool ADefault);
    void CNCommand(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;

    bool FActive = false;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
ZELMOR_DECLARE_ENUM(TCheckBoxState);

// A check box: a click turns it on and off, through the grey state when AllowGrayed.
class TCustomCheckBox : public TButtonControl {
    ZELMOR_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    // taRightJustify: the caption right of the box; taLeftJustify: left of it.
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TCheckBoxState State() const { return FState; }
    // A new state reaches the window and, unless clicks are disabled, fires OnClick.
    void SetState(TCheckBoxState Value);
    void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }

protected:
    virtual void Toggle();
    bool GetChecked() const override { return FState == cbChecked; }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

private:
    TLeftRight FAlignment = taRightJustify;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
    ZELMOR_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// A radio button: checking it unchecks the other radio buttons of its
// parent; only the checked one is a tab stop, and the arrows move among
// them, checking each as it takes the focus.
class TRadioButton : public TButtonControl {
    ZELMOR_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);
    void SetChecked(bool Value) override;

protected:
    bool GetChecked() const override { return FChecked; }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CNCommand(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

private:
    void TurnSiblingsOff();
    TLeftRight FAlignment = taRightJustify;
    bool FChecked = false;
};

// ---------------------------------------------------------------------------
// Group boxes
// ---------------------------------------------------------------------------

// A frame with a caption that holds other controls.
class TCustomGroupBox : public TCustomControl {
    ZELMOR_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void CMDialogChar(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
    ZELMOR_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// ---------------------------------------------------------------------------
// List boxes
// ---------------------------------------------------------------------------

enum TListBoxStyle : uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
ZELMOR_DECLARE_ENUM(TListBoxStyle);
enum TOwnerDrawStateFlag : uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
// The state of an owner-drawn item as a record of WM_DRAWITEM gives it.
TOwnerDrawState OwnerDrawStateOf(UINT ItemState);
using TDrawItemEvent = TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

// The items of a list or combo box while it has no window.
struct TSavedListItems {
    std::unique_ptr<TStringList> Items = std::make_unique<TStringList>();
    std::vector<bool> Selected;
    int ItemIndex = -1;
    int TopIndex = 0;
};

// A list of texts (each with an object) over the "LISTBOX" class. The items
// live in the window while it exists and in the control otherwise, so they
// may be filled before the list has a parent and survive a new window.
class TCustomListBox : public TWinControl {
    ZELMOR_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // The selected item of a single-selection list; the caret item of a multi-selection one; -1: none.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    int TopIndex() const;
    void SetTopIndex(int Value);
    // The item at a client point; with Existing, -1 past the last item, else the last one.
    int ItemAtPos(TPoint Pos, bool Existing) const;
    TRect ItemRect(int Index) const;
    void Clear() { FItems->Clear(); }
    TCanvas* Canvas() const { return FCanvas; }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    // The height shows whole items only.
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    int ItemHeight() const;
    void SetItemHeight(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // Tab stops every TabWidth dialog units; 0: tabs are not expanded.
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Paints an owner-drawn item on Canvas; the default fills it and writes its text.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    void CNCommand(TMessage& Message) override;
    void CNDrawItem(TMessage& Message) override;
    void CNMeasureItem(TMessage& Message) override;
    void CNCtlColor(TMessage& Message) override;

private:
    std::unique_ptr<TStrings> FItems;
    TSavedListItems FSaved;
    TControlCanvas* FCanvas;
    TBorderStyle FBorderStyle = bsSingle;
    bool FExtendedSelect = true;
    bool FIntegralHeight = false;
    int FItemHeight = 16;
    bool FMultiSelect = false;
    bool FSorted = false;
    TListBoxStyle FStyle = lbStandard;
    int FTabWidth = 0;
};

class TListBox : public TCustomListBox {
    ZELMOR_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// ---------------------------------------------------------------------------
// Combo boxes
// ---------------------------------------------------------------------------

enum TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
ZELMOR_DECLARE_ENUM(TComboBoxStyle);

// A combo box over the "COMBOBOX" class: an edit (or, for the list styles, a
// field) with a list that drops down. The edit part and the list are
// windows of their own; their messages pass through ComboWndProc first, so
// the combo box hears the keys typed into its edit part (OnKeyDown,
// OnKeyPress) and the form knows it has the focus.
class TCustomComboBox : public TWinControl {
    ZELMOR_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    // IndexOf ignores case, as the list searches.
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    AnsiString SelText() const;
    void SetSelText(const AnsiString& Value);
    void SelectAll();
    void Clear();
    // The focus is in the combo box, its edit part or its list.
    bool Focused() const;
    HWND EditHandle() const { return FEditHandle; }
    HWND ListHandle() const { return FListHandle; }
    TCanvas* Canvas() const { return FCanvas; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Every message of the edit part and of the list, with the window it is
    // for and that window's own procedure (which the default calls).
    virtual void ComboWndProc(TMessage& Message, HWND ComboWnd, const TWndProc& ComboProc);
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    void CNCommand(TMessage& Message) override;
    void CNDrawItem(TMessage& Message) override;
    void CNMeasureItem(TMessage& Message) override;
    void CNCtlColor(TMessage& Message) override;

private:
    std::unique_ptr<TStrings> FItems;
    TSavedListItems FSaved;
    AnsiString FSavedText;
    TControlCanvas* FCanvas;
    HWND FEditHandle = nullptr;
    HWND FListHandle = nullptr;
    TWndProc FDefEditProc;
    TWndProc FDefListProc;
    int FDropDownCount = 8;
    int FItemHeight = 16;
    int FMaxLength = 0;
    bool FSorted = false;
    TComboBoxStyle FStyle = csDropDown;
};

class TComboBox : public TCustomComboBox {
    ZELMOR_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// Registers the standard controls for creation by name (form resources).
void RegisterStdControls();
