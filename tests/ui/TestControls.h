#pragma once
// Small controls of our own for the window and form tests, and a shared
// event log they write into.
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

// "name:what" entries from every test control.
std::vector<std::string>& EventLog();
void Note(const TComponent* Who, const std::string& What);

// A container that fills itself with its colour and logs focus traffic.
class TTestPanel : public TCustomControl {
    ZELMOR_CLASS(TTestPanel, TCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TTestPanel(TComponent* AOwner);
    int Paints = 0;

protected:
    void Paint() override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
};

// A focusable control that takes characters and logs what reaches it.
class TTestEdit : public TCustomControl {
    ZELMOR_CLASS(TTestEdit, TCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TTestEdit(TComponent* AOwner);
    std::string Typed;
    std::vector<WORD> KeysDown;

protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
};

// A push button: sets its form's ModalResult before its click handler runs,
// clicks on Enter when it is the default (or focused) and on Escape when it cancels.
class TTestButton : public TCustomControl {
    ZELMOR_CLASS(TTestButton, TCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TTestButton(TComponent* AOwner);
    TModalResult ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMDialogKey(TMessage& Message) override;
};

// A windowless control that paints its colour on its parent.
class TTestShape : public TGraphicControl {
    ZELMOR_CLASS(TTestShape, TGraphicControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TTestShape(TComponent* AOwner);
    int Paints = 0;
    bool SawPaintCopy = false;

protected:
    void Paint() override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
};

// Lets form resources create the test controls by class name.
void RegisterTestControls();

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, TRect Bounds) {
    T* C = NewComponent<T>(Owner);
    C->SetName(Name);
    C->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    C->SetParent(Parent);
    return C;
}
