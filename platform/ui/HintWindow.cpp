#include "platform/ui/HintWindow.h"

#include <algorithm>

#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_COMPONENT(THintWindow, TCustomControl)

namespace {
// How far below the cursor's hot spot a hint shows: below a standard arrow.
constexpr int HintCursorMargin = 20;
constexpr uintptr_t HintTimerId = 0x4854;  // "HT"
}  // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    FControlStyle.Exclude(csAcceptsControls);
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = nullptr;
    Params.WindowClass.Style |= CS_SAVEBITS;
}

void THintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void THintWindow::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void THintWindow::Paint() {
    TRect R = ClientRect();
    R.Left += 2;
    R.Top += 2;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    Canvas()->Font()->Assign(Font());
    Canvas()->Font()->SetColor(clInfoText);
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->DrawText(Caption(), R, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    Canvas()->Brush()->SetStyle(bsSolid);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const AnsiString& AHint, void*) {
    HandleNeeded();
    TRect R(0, 0, MaxWidth, 0);
    Canvas()->Font()->Assign(Font());
    Canvas()->DrawText(AHint, R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    // The text stands 2 pixels in, inside a 1-pixel border on each side.
    R.Right += 6;
    R.Bottom += 2;
    return R;
}

void THintWindow::ActivateHint(TRect Rect, const AnsiString& AHint) {
    SetCaption(AHint);
    int W = Rect.Width(), H = Rect.Height();
    if (Screen) {
        Rect.Left = std::max(0, std::min(Rect.Left, Screen->Width() - W));
        Rect.Top = std::max(0, std::min(Rect.Top, Screen->Height() - H));
    }
    SetBounds(Rect.Left, Rect.Top, W, H);
    HandleNeeded();
    ::SetWindowPos(Handle(), HWND_TOPMOST, Rect.Left, Rect.Top, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ActivateHintData(TRect Rect, const AnsiString& AHint, void*) { ActivateHint(Rect, AHint); }

bool THintWindow::IsHintMsg(const TMsg& Msg) {
    UINT M = Msg.message;
    return (M >= WM_KEYFIRST && M <= WM_KEYLAST) || M == CM_ACTIVATE || M == CM_DEACTIVATE ||
           M == CM_APPKEYDOWN || M == CM_APPSYSCOMMAND || M == WM_COMMAND ||
           (M > WM_MOUSEMOVE && M <= WM_MOUSELAST) || M == WM_NCMOUSEMOVE;
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

// ---------------------------------------------------------------------------
// The application's hints
// ---------------------------------------------------------------------------

namespace {
// The control that shows the hint for Control: itself or the nearest parent
// with ShowHint.
TControl* GetHintControl(TControl* Control) {
    TControl* Result = Control;
    while (Result && !Result->ShowHint()) Result = Result->Parent();
    return Result;
}
}  // namespace

void TApplication::StartHintTimer(int Pause, bool ToShow) {
    StopHintTimer();
    FHintTimerShows = ToShow;
    FHintTimerOn = SetTimer(Handle(), HintTimerId, static_cast<UINT>(std::max(Pause, 0)),
                            [this](HWND, UINT, uintptr_t, DWORD) { HintTimerExpired(); }) != 0;
    // Without a timer the hint shows at once, or never goes by itself.
    if (!FHintTimerOn && ToShow) HintTimerExpired();
}

void TApplication::StopHintTimer() {
    if (!FHintTimerOn) return;
    FHintTimerOn = false;
    if (FHandle && IsWindow(FHandle)) KillTimer(FHandle, HintTimerId);
}

void TApplication::HintTimerExpired() {
    StopHintTimer();
    if (FHintTimerShows) {
        TPoint P;
        GetCursorPos(P);
        ActivateHint(P);
    } else {
        HideHint();
    }
}

void TApplication::HideHint() {
    if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint() {
    if (!FHintControl) return;
    HideHint();
    FHintControl = nullptr;
    FHintActive = false;
    StopHintTimer();
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
    TPoint P(Message.XPos(), Message.YPos());
    TControl* NewHintControl = GetHintControl(FindDragTarget(Control->ClientToScreen(P), true));
    if (!FShowHint || !NewHintControl || !NewHintControl->ShowHint()) {
        CancelHint();
        return;
    }
    if (NewHintControl == FHintControl &&
        PtInRect(FHintCursorRect, NewHintControl->ScreenToClient(Control->ClientToScreen(P))))
        return;
    bool WasHintActive = FHintActive;
    int Pause = WasHintActive ? FHintShortPause : FHintPause;
    NewHintControl->Perform(CM_HINTSHOWPAUSE, WasHintActive ? 1 : 0, reinterpret_cast<LPARAM>(&Pause));
    CancelHint();
    FHintControl = NewHintControl;
    FHintActive = WasHintActive;
    if (!FHintWindow) FHintWindow = NewComponent<THintWindow>(this);
    StartHintTimer(Pause, true);
}

void TApplication::ActivateHint(TPoint CursorPos) {
    FHintActive = false;
    if (FShowHint && FHintControl && FHintControl == GetHintControl(FindDragTarget(CursorPos, true))) {
        THintInfo Info;
        Info.HintControl = FHintControl;
        Info.HintPos = TPoint(CursorPos.x, CursorPos.y + HintCursorMargin);
        Info.HintMaxWidth = Screen ? Screen->Width() : 1024;
        Info.HintColor = FHintColor;
        Info.CursorRect = FHintControl->ClientRect();
        Info.CursorPos = FHintControl->ScreenToClient(CursorPos);
        Info.HintStr = TControl::GetShortHint(FHintControl->Hint());
        Info.HideTimeout = FHintHidePause;
        bool CanShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
        if (CanShow && Assigned(OnShowHint)) OnShowHint(Info.HintStr, CanShow, Info);
        // The handlers may have closed the form under the mouse.
        FHintActive = CanShow && FHintControl;
        if (FHintActive && !Info.HintStr.empty()) {
            if (!FHintWindow) FHintWindow = NewComponent<THintWindow>(this);
            TRect R = FHintWindow->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
            OffsetRect(R, Info.HintPos.x, Info.HintPos.y);
            FHintCursorRect = Info.CursorRect;
            FHintWindow->SetColor(Info.HintColor);
            FHintWindow->ActivateHintData(R, Info.HintStr, Info.HintData);
            if (Info.ReshowTimeout > 0) StartHintTimer(Info.ReshowTimeout, true);
            else if (Info.HideTimeout >= 0) StartHintTimer(Info.HideTimeout, false);
            return;
        }
        FHintCursorRect = Info.CursorRect;
    }
    // Nothing shows: the control stays the hint control until the mouse
    // leaves its cursor rectangle, so resting on it does not try again.
    if (IsRectEmpty(FHintCursorRect)) CancelHint();
}
