#pragma once
// The spin button (an up and a down arrow button in one control) and the
// spin edit (a number edit with a spin button inside its right edge).
#include "platform/ui/StdCtrls.h"

// Two arrow buttons, one above the other. A click on one (on release, inside
// it) fires OnUpClick or OnDownClick; held down, it fires again after 400 ms
// and then every 100 ms. Up and Down fire them from the keyboard, Space the
// one last pressed. A press gives the focus to FocusControl when it can
// take it (else to the button itself when it is a tab stop).
class TCSpinButton : public TCustomControl {
    ZELMOR_CLASS(TCSpinButton, TCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TCSpinButton(TComponent* AOwner);
    ~TCSpinButton() override;
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    // The arrow held down with the mouse and shown pressed: 0 none, 1 up, 2 down.
    int Pressed() const { return FPressed && FInside ? FPressed : 0; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    static constexpr int InitRepeatPause = 400;
    static constexpr int RepeatPause = 100;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMGetDlgCode(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;
    virtual void UpClick();
    virtual void DownClick();

private:
    int ButtonAt(int X, int Y) const;
    void Fire(int Which);
    void StopRepeat();
    void StartRepeat(UINT Pause);
    void RepeatTick();
    TWinControl* FFocusControl = nullptr;
    int FPressed = 0;      // the arrow the mouse went down on
    bool FInside = false;  // the mouse is over it
    int FLastPressed = 1;  // Space clicks this one
    bool FRepeating = false;
};

// A number edit. Value is the text as a number (MinValue when the text is
// not one); setting it, and leaving the edit, keep it within MinValue ..
// MaxValue unless the two are equal (then any number goes). Up and Down (the
// keys and the spin button) add or take Increment; only digits, signs and
// the decimal separator may be typed (others beep); with EditorEnabled off
// nothing may be typed, pasted or cut at all.
class TCSpinEdit : public TCustomEdit {
    ZELMOR_CLASS(TCSpinEdit, TCustomEdit)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TCSpinEdit(TComponent* AOwner);
    int Value() const;
    void SetValue(int NewValue);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    TCSpinButton* Button() const { return FButton; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    virtual bool IsValidChar(char Key) const;
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);
    // NewValue kept within the limits.
    int CheckValue(int NewValue) const;
    // The least height that shows the font's text whole.
    int GetMinHeight() const;
    void WMSize(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;

private:
    void SetEditRect();
    // The button inside the right edge, and the text's rectangle left of it.
    void PlaceButton();
    void Step(int Delta);
    TCSpinButton* FButton;
    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
    bool FEditorEnabled = true;
};

// Lets form resources create the spin controls by class name.
void RegisterSpinControls();
