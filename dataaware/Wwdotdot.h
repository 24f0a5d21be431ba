#pragma once
// The data-aware edit with a button at its right edge (TwwDBCustomCombo): an
// ellipsis that opens a dialog, a drop-down arrow that opens a list, or a
// glyph of the user's choice. The edit lays the button out inside its border
// and frame, keeps its text clear of it, draws it flat, transparent or hot,
// and turns clicks, F4 and Alt+Up/Down into DropDown and CloseUp. What
// dropping down means is the descendant's: here it runs OnDropDownAction;
// the combo box opens its list, the lookup combos their grid or dialog.
//
// The button is a windowless TwwComboDlgButton inside a small child window
// (TBtnWinControl), so that the edit control's own painting never covers it.
#include <cstdint>

#include "dataaware/wwcombobutton.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwframe.h"
#include "platform/win/MessageQueue.h"

class TwwDBCustomCombo;

enum TwwComboButtonStyle : uint8_t { cbsEllipsis, cbsDownArrow, cbsCustom };
ZELMOR_DECLARE_ENUM(TwwComboButtonStyle);

// The window that carries the button.
class TBtnWinControl : public TWinControl {
    ZELMOR_CLASS(TBtnWinControl, TWinControl)
public:
    explicit TBtnWinControl(TComponent* AOwner);
    TwwDBCustomCombo* Combo() const;

protected:
    void WMEraseBkgnd(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
};

class TwwComboDlgButton : public TwwComboButton {
    ZELMOR_CLASS(TwwComboDlgButton, TwwComboButton)
public:
    explicit TwwComboDlgButton(TComponent* AOwner) : TwwComboButton(AOwner) {}
    TwwDBCustomCombo* Combo() const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TwwComboButtonEffects : public TwwButtonEffects {
    ZELMOR_CLASS(TwwComboButtonEffects, TwwButtonEffects)
public:
    TwwComboButtonEffects(TwwDBCustomCombo* Control, TControl* Button);
    void Refresh() override;
};

class TwwDBCustomCombo : public TwwDBCustomEdit {
    ZELMOR_CLASS(TwwDBCustomCombo, TwwDBCustomEdit)
public:
    explicit TwwDBCustomCombo(TComponent* AOwner);
    ~TwwDBCustomCombo() override;

    TBtnWinControl* ButtonHolder() const { return FButtonHolder; }
    TwwComboDlgButton* Button() const { return FButton; }
    TwwComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TwwComboButtonStyle Value);
    TwwComboButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    void SetButtonEffects(TwwComboButtonEffects* Value) { FButtonEffects->Assign(Value); }
    // 0: as wide as a vertical scroll bar, at least 15.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    TBitmap* ButtonGlyph() const;
    void SetButtonGlyph(TBitmap* Value);
    bool ButtonHot() const { return FButtonHot; }
    bool UpdatingBackground() const { return FUpdatingBackground; }
    // True only while OnDropDownAction runs.
    bool DropDownRunning() const { return FDropDownRunning; }

    bool GetShowButton() override;
    void SetShowButton(bool Value) override;
    bool IsDroppedDown() override { return FDropDownRunning; }
    int GetButtonWidth() override;
    int GetButtonLeft() override;
    void SetEditRect() override;
    bool ShowsCaret() override { return true; }

    virtual bool IsButtonGlyphStored() { return FButtonStyle == cbsCustom; }
    virtual void DrawButton(TCanvas* Canvas, const TRect& R, TButtonState State, TControlState ControlState,
                            bool& DefaultPaint);
    virtual bool IsTypingAllowed() { return true; }
    virtual void CloseUp(bool Accept);
    virtual void DropDown();

    void ButtonClick(TObject* Sender);
    void LayoutButton();
    void RefreshButtonGlyph();
    void RepaintButtonArea();

    // What DropDown runs in this class.
    TNotifyEvent OnDropDownAction;

    // The mouse hook this control's open drop-down installed; null while closed.
    HHOOK MouseHook() const { return FMouseHook; }

protected:
    friend class TwwComboDlgButton;
    friend class TBtnWinControl;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // F4, Alt+Up and Alt+Down open or close; Return and Escape close while open.
    void HandleDropDownKeys(WORD& Key, TShiftState Shift);
    void WMPaint(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMLButtonDblClk(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;

    // Every open drop-down installs a mouse hook of its own and removes that
    // hook, and only that one, when it closes or is freed: closing or freeing
    // one control never takes the hook of another open drop-down away. While
    // the control is dropped down, a left press outside both the list window
    // and the control posts CM_CANCELMODE to the control.
    void InstallMouseHook(TWinControl* List);
    void RemoveMouseHook();
    // A descendant's own kind of button in place of the standard one; made
    // by the descendant's constructor, parented and laid out as the old one.
    void ReplaceButton(TwwComboDlgButton* NewButton);

private:
    // A click on the edit part of a control that takes no typing.
    void MouseDropDown(TMessage& Message);
    int AutomaticButtonWidth() const;
    bool ButtonIsFlat() const;

    TBtnWinControl* FButtonHolder;
    TwwComboDlgButton* FButton;
    TwwComboButtonStyle FButtonStyle = cbsEllipsis;
    bool FDropDownRunning = false;
    bool FButtonHot = false;
    std::unique_ptr<TwwComboButtonEffects> FButtonEffects;
    int FButtonWidth = 0;
    bool FUpdatingBackground = false;
    HHOOK FMouseHook = nullptr;
};
