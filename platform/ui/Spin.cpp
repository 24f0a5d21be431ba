#include "platform/ui/Spin.h"

#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Sound.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_COMPONENT(TCSpinButton, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TCSpinEdit, TCustomEdit)

namespace {
constexpr uintptr_t RepeatTimerId = 1;
constexpr int NoButton = 0, UpButton = 1, DownButton = 2;
}  // namespace

// ---------------------------------------------------------------------------
// TCSpinButton
// ---------------------------------------------------------------------------

TCSpinButton::TCSpinButton(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    FControlStyle.Include(csCaptureMouse);
    SetBounds(FLeft, FTop, 20, 25);
}

TCSpinButton::~TCSpinButton() { StopRepeat(); }

void TCSpinButton::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Align", "Ctl3D", "DragCursor", "DragMode", "Enabled", "ParentCtl3D",
                                  "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible",
                                  "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit"});
    using B = TCSpinButton;
    T.Property("FocusControl", &B::FocusControl, &B::SetFocusControl);
    T.Event("OnDownClick", &B::OnDownClick);
    T.Event("OnUpClick", &B::OnUpClick);
}

void TCSpinButton::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

int TCSpinButton::ButtonAt(int X, int Y) const {
    if (X < 0 || X >= Width() || Y < 0 || Y >= Height()) return NoButton;
    return Y < Height() / 2 ? UpButton : DownButton;
}

void TCSpinButton::Paint() {
    int Half = Height() / 2;
    const TRect Rects[2] = {TRect(0, 0, Width(), Half), TRect(0, Half, Width(), Height())};
    for (int I = 0; I < 2; ++I) {
        int Which = I == 0 ? UpButton : DownButton;
        uint32_t State = (I == 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) |
                         (Pressed() == Which ? DFCS_PUSHED : 0u) | (Enabled() ? 0u : DFCS_INACTIVE);
        TRect R = Rects[I];
        Canvas()->DrawFrameControl(R, DFC_SCROLL, State);
    }
}

void TCSpinButton::Fire(int Which) {
    FLastPressed = Which;
    if (Which == UpButton) UpClick();
    else DownClick();
}

void TCSpinButton::UpClick() {
    if (Assigned(OnUpClick)) OnUpClick(this);
}

void TCSpinButton::DownClick() {
    if (Assigned(OnDownClick)) OnDownClick(this);
}

void TCSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    FPressed = ButtonAt(X, Y);
    FInside = FPressed != NoButton;
    if (!FPressed) return;
    FLastPressed = FPressed;
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() &&
        GetFocus() != FFocusControl->Handle())
        FFocusControl->SetFocus();
    else if (TabStop() && GetFocus() != Handle() && CanFocus()) SetFocus();
    Invalidate();
    // Held down, the arrow clicks again: first after the long pause, then
    // after the short one.
    FRepeating = false;
    StartRepeat(InitRepeatPause);
}

void TCSpinButton::StartRepeat(UINT Pause) {
    SetTimer(Handle(), RepeatTimerId, Pause, [this](HWND, UINT, uintptr_t, DWORD) { RepeatTick(); });
}

void TCSpinButton::RepeatTick() {
    if (!FRepeating) {
        FRepeating = true;
        StartRepeat(RepeatPause);
    }
    if (Pressed()) Fire(FPressed);
}

void TCSpinButton::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FPressed) return;
    bool Inside = ButtonAt(X, Y) == FPressed;
    if (Inside != FInside) {
        FInside = Inside;
        Invalidate();
    }
}

void TCSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FPressed) return;
    int Which = FPressed;
    bool Click = ButtonAt(X, Y) == Which;
    StopRepeat();
    Invalidate();
    if (Click) Fire(Which);
}

void TCSpinButton::StopRepeat() {
    if (FPressed && HandleAllocated()) KillTimer(Handle(), RepeatTimerId);
    FPressed = NoButton;
    FInside = false;
    FRepeating = false;
}

void TCSpinButton::WMCancelMode(TMessage& Message) {
    StopRepeat();
    Invalidate();
    TCustomControl::WMCancelMode(Message);
}

void TCSpinButton::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TCSpinButton::KeyDown(WORD& Key, TShiftState Shift) {
    switch (Key) {
    case VK_UP: Fire(UpButton); break;
    case VK_DOWN: Fire(DownButton); break;
    case VK_SPACE: Fire(FLastPressed); break;
    default: break;
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TCSpinButton::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

// ---------------------------------------------------------------------------
// TCSpinEdit
// ---------------------------------------------------------------------------

TCSpinEdit::TCSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FButton = NewComponent<TCSpinButton>(this);
    FButton->SetWidth(15);
    FButton->SetHeight(17);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* Sender) { UpClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownClick(Sender); };
    FButton->SetParent(this);
    SetText("0");
    FControlStyle.Exclude(csSetCaption);
}

void TCSpinEdit::DescribeProperties(TPropertyTable& T) {
    PublishEditProperties(T);
    using S = TCSpinEdit;
    T.Property("EditorEnabled", &S::EditorEnabled, &S::SetEditorEnabled).Default(true);
    T.Property("Increment", &S::Increment, &S::SetIncrement).Default(1);
    T.Property("MaxValue", &S::MaxValue, &S::SetMaxValue);
    T.Property("MinValue", &S::MinValue, &S::SetMinValue);
    T.Property("Value", &S::Value, &S::SetValue);
}

void TCSpinEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    // Multi-line, so the formatting rectangle can leave room for the button.
    Params.Style |= ES_MULTILINE;
    Params.Style |= WS_CLIPCHILDREN;
}

void TCSpinEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    PlaceButton();
}

void TCSpinEdit::SetEditRect() {
    if (!HandleAllocated()) return;
    TRect Loc(0, 0, ClientWidth() - FButton->Width() - 2, ClientHeight() + 1);
    SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Loc));
}

int TCSpinEdit::GetMinHeight() const {
    TTextMetric M = MetricsOf(const_cast<TCSpinEdit*>(this)->Font());
    return M.tmHeight + M.tmHeight / 4 + GetSystemMetrics(SM_CYBORDER) * 4 + 2;
}

void TCSpinEdit::WMSize(TMessage& Message) {
    TCustomEdit::WMSize(Message);
    int MinHeight = GetMinHeight();
    if (Height() < MinHeight) SetHeight(MinHeight);
    else PlaceButton();
}

void TCSpinEdit::PlaceButton() {
    if (Ctl3D()) FButton->SetBounds(Width() - FButton->Width() - 5, 0, FButton->Width(), Height() - 5);
    else FButton->SetBounds(Width() - FButton->Width(), 1, FButton->Width(), Height() - 3);
    SetEditRect();
}

int TCSpinEdit::CheckValue(int NewValue) const {
    if (FMaxValue == FMinValue) return NewValue;
    if (NewValue < FMinValue) return FMinValue;
    if (NewValue > FMaxValue) return FMaxValue;
    return NewValue;
}

int TCSpinEdit::Value() const {
    int V;
    return TryStrToInt(Text(), V) ? V : FMinValue;
}

void TCSpinEdit::SetValue(int NewValue) { SetText(IntToStr(CheckValue(NewValue))); }

void TCSpinEdit::Step(int Delta) {
    if (ReadOnly()) MessageBeep(0);
    else SetValue(Value() + Delta);
}

void TCSpinEdit::UpClick(TObject*) { Step(FIncrement); }

void TCSpinEdit::DownClick(TObject*) { Step(-FIncrement); }

void TCSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_UP) UpClick(this);
    else if (Key == VK_DOWN) DownClick(this);
    TCustomEdit::KeyDown(Key, Shift);
}

bool TCSpinEdit::IsValidChar(char Key) const {
    bool Result = Key == FormatSettings().DecimalSeparator || Key == '+' || Key == '-' ||
                  (Key >= '0' && Key <= '9') || (static_cast<unsigned char>(Key) < 32 && Key != '\r');
    if (!FEditorEnabled && Result &&
        (static_cast<unsigned char>(Key) >= 32 || Key == static_cast<char>(VK_BACK) ||
         Key == static_cast<char>(VK_DELETE)))
        Result = false;
    return Result;
}

void TCSpinEdit::KeyPress(char& Key) {
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key) TCustomEdit::KeyPress(Key);
}

void TCSpinEdit::WMPaste(TMessage& Message) {
    if (!FEditorEnabled || ReadOnly()) return;
    TCustomEdit::WMPaste(Message);
}

void TCSpinEdit::WMCut(TMessage& Message) {
    if (!FEditorEnabled || ReadOnly()) return;
    TCustomEdit::WMCut(Message);
}

void TCSpinEdit::CMEnter(TMessage& Message) {
    if (AutoSelect() && !FControlState.Contains(csLButtonDown)) SelectAll();
    TCustomEdit::CMEnter(Message);
}

void TCSpinEdit::CMExit(TMessage& Message) {
    TCustomEdit::CMExit(Message);
    if (CheckValue(Value()) != Value()) SetValue(Value());
}

void RegisterSpinControls() {
    RegisterClasses({&TCSpinEdit::StaticClassInfo(), &TCSpinButton::StaticClassInfo()});
}
