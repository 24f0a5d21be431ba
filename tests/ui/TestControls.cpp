#include "TestControls.h"

#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_COMPONENT(TTestPanel, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TTestEdit, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TTestButton, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TTestShape, TGraphicControl)

void RegisterTestControls() {
    RegisterClasses({&TTestPanel::StaticClassInfo(), &TTestEdit::StaticClassInfo(),
                     &TTestButton::StaticClassInfo(), &TTestShape::StaticClassInfo()});
}

void TTestPanel::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Align", "Anchors", "Caption", "Color", "Font", "ParentFont", "Visible",
                                  "OnClick", "OnEnter", "OnExit"});
}

void TTestEdit::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Color", "Enabled", "TabOrder", "TabStop", "Text", "OnEnter", "OnExit",
                                  "OnKeyDown", "OnKeyPress"});
}

void TTestButton::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Caption", "Enabled", "TabOrder", "TabStop", "OnClick"});
    T.PropertyOf<TTestButton>(
        "ModalResult", [](TTestButton& B) { return B.ModalResult; },
        [](TTestButton& B, int V) { B.ModalResult = V; });
    T.PropertyOf<TTestButton>(
        "Default", [](TTestButton& B) { return B.Default; }, [](TTestButton& B, bool V) { B.Default = V; });
    T.PropertyOf<TTestButton>(
        "Cancel", [](TTestButton& B) { return B.Cancel; }, [](TTestButton& B, bool V) { B.Cancel = V; });
}

void TTestShape::DescribeProperties(TPropertyTable& T) { TControl::PublishStandard(T, {"Color", "OnClick"}); }

std::vector<std::string>& EventLog() {
    static std::vector<std::string> Log;
    return Log;
}

void Note(const TComponent* Who, const std::string& What) { EventLog().push_back(Who->Name() + ":" + What); }

TTestPanel::TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
}

void TTestPanel::Paint() {
    ++Paints;
    Note(this, "Paint");
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TTestPanel::CMEnter(TMessage& M) {
    Note(this, "Enter");
    TCustomControl::CMEnter(M);
}

void TTestPanel::CMExit(TMessage& M) {
    Note(this, "Exit");
    TCustomControl::CMExit(M);
}

TTestEdit::TTestEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
}

void TTestEdit::Paint() {
    Note(this, "Paint");
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    Canvas()->TextOut(2, 2, Typed);
}

void TTestEdit::KeyDown(WORD& Key, TShiftState Shift) {
    KeysDown.push_back(Key);
    TCustomControl::KeyDown(Key, Shift);
}

void TTestEdit::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key) Typed += Key;
}

void TTestEdit::WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; }

void TTestEdit::WMSetFocus(TMessage& M) {
    Note(this, "WM_SETFOCUS");
    TCustomControl::WMSetFocus(M);
}

void TTestEdit::WMKillFocus(TMessage& M) {
    Note(this, "WM_KILLFOCUS");
    TCustomControl::WMKillFocus(M);
}

void TTestEdit::CMEnter(TMessage& M) {
    Note(this, "Enter");
    TCustomControl::CMEnter(M);
}

void TTestEdit::CMExit(TMessage& M) {
    Note(this, "Exit");
    TCustomControl::CMExit(M);
}

TTestButton::TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clBtnFace);
}

void TTestButton::Click() {
    if (TCustomForm* F = GetParentForm(this)) F->SetModalResult(ModalResult);
    TCustomControl::Click();
}

void TTestButton::Paint() {
    TRect R = ClientRect();
    Canvas()->DrawFrameControl(R, DFC_BUTTON, DFCS_BUTTONPUSH);
}

void TTestButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TTestButton::CMDialogKey(TMessage& M) {
    WORD K = M.CharCode();
    if ((K == VK_RETURN && (Default || Focused())) || (K == VK_ESCAPE && Cancel)) {
        Click();
        M.Result = 1;
        return;
    }
    TCustomControl::CMDialogKey(M);
}

TTestShape::TTestShape(TComponent* AOwner) : TGraphicControl(AOwner) { SetColor(clRed); }

void TTestShape::Paint() {
    ++Paints;
    if (ControlState().Contains(csPaintCopy)) SawPaintCopy = true;
    Note(this, "Paint");
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TTestShape::CMMouseEnter(TMessage& M) {
    Note(this, "MouseEnter");
    TGraphicControl::CMMouseEnter(M);
}

void TTestShape::CMMouseLeave(TMessage& M) {
    Note(this, "MouseLeave");
    TGraphicControl::CMMouseLeave(M);
}
