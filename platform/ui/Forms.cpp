#include "platform/ui/Forms.h"

#include <algorithm>

#include "platform/classes/Resources.h"
#include "platform/sys/Help.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FindDialog.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/FormDialogs.h"
#include "platform/ui/Grids.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/PageSetupDialog.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/Spin.h"
#include "platform/ui/Timers.h"
#include "platform/win/Display.h"

ZELMOR_IMPLEMENT_ENUM(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop")
ZELMOR_IMPLEMENT_ENUM(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                      "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")
ZELMOR_IMPLEMENT_ENUM(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp")
ZELMOR_IMPLEMENT_ENUM(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")

ZELMOR_IMPLEMENT_CLASS(TScrollingWinControl, TWinControl)
ZELMOR_IMPLEMENT_CLASS(TCustomForm, TScrollingWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TForm, TCustomForm)
ZELMOR_IMPLEMENT_CLASS(TScreen, TComponent)
ZELMOR_IMPLEMENT_CLASS(TApplication, TComponent)

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Whether a form still exists, for loops that may outlive it.
std::vector<const TCustomForm*>& LivingForms() {
    static std::vector<const TCustomForm*> Forms;
    return Forms;
}

bool Alive(const TCustomForm* F) {
    const auto& L = LivingForms();
    return std::find(L.begin(), L.end(), F) != L.end();
}

// Every other top-level window is disabled while a form is modal; answers the ones it disabled.
std::vector<HWND> DisableTaskWindows(HWND Keep) {
    std::vector<HWND> Disabled;
    for (HWND W : GetChildWindows(nullptr)) {
        if (W == Keep || !IsWindowVisible(W) || !IsWindowEnabled(W)) continue;
        EnableWindow(W, false);
        Disabled.push_back(W);
    }
    return Disabled;
}

void EnableTaskWindows(const std::vector<HWND>& Windows) {
    for (HWND W : Windows)
        if (IsWindow(W)) EnableWindow(W, true);
}

// Starts the application object with the program, before any unit uses it.
const bool ApplicationStarted = (EnsureApplication(), true);

}  // namespace

void RegisterUiClasses() {
    InstallFormDialogs();
    RegisterClasses({&TForm::StaticClassInfo(), &TTimer::StaticClassInfo(), &TPopupMenu::StaticClassInfo()});
    RegisterMenuClasses();
    RegisterStdControls();
    RegisterExtControls();
    RegisterButtonControls();
    RegisterSpinControls();
    RegisterMaskControls();
    RegisterActionClasses();
    RegisterGridClasses();
    RegisterComControls();
    RegisterClass(TRichEdit::StaticClassInfo());
    RegisterClasses({&TPrintDialog::StaticClassInfo(), &TColorDialog::StaticClassInfo()});
    RegisterFindDialogClasses();
    RegisterFontDialogClasses();
    RegisterFileDialogClasses();
    RegisterPageSetupDialogClasses();
}

void EnsureApplication() {
    (void)ApplicationStarted;
    RegisterUiClasses();
    if (!Application) Application = new TApplication(nullptr);
    if (!Screen) Screen = new TScreen(nullptr);
}

bool IsAccel(WORD Key, const AnsiString& Caption) {
    for (size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&') continue;
        if (Caption[I + 1] == '&') {
            ++I;
            continue;
        }
        return CharUpper(Caption[I + 1]) == CharUpper(static_cast<char>(Key));
    }
    return false;
}

// ---------------------------------------------------------------------------
// TScrollingWinControl
// ---------------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}

// ---------------------------------------------------------------------------
// TCustomForm
// ---------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    FColor = clBtnFace;
    Brush()->SetColor(FColor);
    SetParentFont(false);
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
    FFormState.Include(fsCreating);
    LivingForms().push_back(this);
    if (Screen) Screen->AddForm(this);
}

TCustomForm::TCustomForm(TComponent* AOwner, TCreateNew) : TCustomForm(AOwner) { FCreatedNew = true; }

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TScrollingWinControl::GetChildren(Proc, Root);
    if (Root != this) return;
    for (int i = 0; i < ComponentCount(); ++i)
        if (TComponent* C = Components(i); !C->HasParent()) Proc(C);
}

TCustomForm::~TCustomForm() {
    auto& L = LivingForms();
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    if (Screen) Screen->FormGone(this);
    delete FCanvas;
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    if (!FCreatedNew) {
        InitInheritedComponent(this, TForm::StaticClassInfo());
        // The handlers the form names are checked as it is read; the
        // components the class names, now that every form of its line is read.
        CheckFieldsBound(this);
    }
    FFormState.Exclude(fsCreating);
    DoCreate();
    // A form that its resource made visible shows now that it is complete.
    if (FVisible && Alive(this)) UpdateControlState();
}

void TCustomForm::BeforeDestruction() {
    if (Application) Application->ControlDestroyed(this);
    DoDestroy();
    if (Screen) Screen->FormGone(this);
    TScrollingWinControl::BeforeDestruction();
}

void TCustomForm::DescribeProperties(TPropertyTable&) {}

// OnCreate and OnDestroy run under the application's exception handler:
// a failure there is shown, and the form still comes or goes.
static void RunHandled(const TNotifyEvent& Event, TCustomForm* Form) {
    if (!Assigned(Event)) return;
    try {
        Event(Form);
    } catch (...) {
        Application->HandleException(Form);
    }
}

void TCustomForm::DoCreate() { RunHandled(OnCreate, this); }
void TCustomForm::DoDestroy() { RunHandled(OnDestroy, this); }

void TCustomForm::DoShow() {
    if (Assigned(OnShow)) OnShow(this);
}

void TCustomForm::DoHide() {
    if (Assigned(OnHide)) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (Assigned(OnClose)) OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (Assigned(OnActivate)) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (Assigned(OnDeactivate)) OnDeactivate(this);
}

void TCustomForm::Paint() {
    if (Assigned(OnPaint)) OnPaint(this);
}

TCanvas* TCustomForm::Canvas() {
    FCanvas->HandleNeeded();
    return FCanvas;
}

bool TCustomForm::IsShowing() const { return FVisible && Showing(); }

int TCustomForm::PendingMenuBar() const { return FMenu && !FParent && !FHandle ? TMainMenu::BarHeight() : 0; }

TRect TCustomForm::ClientRect() const {
    TRect R = TWinControl::ClientRect();
    R.Bottom = std::max(R.Top, R.Bottom - PendingMenuBar());
    return R;
}

TPoint TCustomForm::ClientOrigin() const {
    TPoint P = TWinControl::ClientOrigin();
    P.y += PendingMenuBar();
    return P;
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (FMenu == Value) return;
    if (Value && Value->FForm && Value->FForm != this) Value->FForm->SetMenu(nullptr);
    int W = ClientWidth(), H = ClientHeight();
    if (FMenu) {
        FMenu->FForm = nullptr;
        FMenu->RemoveFreeNotification(this);
    }
    FMenu = Value;
    if (FMenu) {
        FMenu->FForm = this;
        FMenu->FreeNotification(this);
    }
    if (FHandle && !FParent) SetMenuBarHeight(FHandle, FMenu ? TMainMenu::BarHeight() : 0);
    if (!FParent && !ComponentState().Contains(csDestroying)) SetClientSize(W, H);
}

void TCustomForm::SetClientSize(int AWidth, int AHeight) { TWinControl::SetClientSize(AWidth, AHeight); }

void TCustomForm::Loaded() {
    TScrollingWinControl::Loaded();
    if (FActiveControl) {
        // The resource named the control to focus first.
        TWinControl* C = FActiveControl;
        FActiveControl = nullptr;
        if (GetParentForm(C) == this) FActiveControl = C;
    }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
    if (AComponent == FMenu) {
        FMenu->FForm = nullptr;
        FMenu = nullptr;
        if (FHandle && !FParent) SetMenuBarHeight(FHandle, 0);
    }
}

// --- the window ---

void TCustomForm::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (!FParent) {
        Params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
        Params.WndParent = Application ? Application->Handle() : nullptr;
    }
    Params.WindowClass.Style |= CS_DBLCLKS;
    switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone) {
        if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
        if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
            if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() {
    TScrollingWinControl::CreateWnd();
    if (FMenu && !FParent) SetMenuBarHeight(FHandle, TMainMenu::BarHeight());
    if (FFormStyle == fsStayOnTop)
        ::SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::WndProc(TMessage& Message) {
    if (FMenu && FHandle && !FParent) {
        switch (Message.Msg) {
        case WM_NCPAINT: {
            TScrollingWinControl::WndProc(Message);
            HDC DC = GetWindowDC(FHandle);
            if (DC) {
                FMenu->PaintBar(DC, MenuBarRect(FHandle));
                ReleaseDC(FHandle, DC);
            }
            return;
        }
        case WM_NCLBUTTONDOWN:
            if (Message.WParam == HTMENU) {
                TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
                         static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
                TRect W;
                GetWindowRect(FHandle, W);
                auto Items = FMenu->BarItems(MenuBarRect(FHandle));
                for (size_t K = 0; K < Items.size(); ++K)
                    if (PtInRect(Items[K].second, TPoint(P.x - W.Left, P.y - W.Top))) {
                        if (!FActive) SetFocus();
                        FMenu->DropDown(static_cast<int>(K), false);
                        break;
                    }
                Message.Result = 0;
                return;
            }
            break;
        default: break;
        }
    }
    TScrollingWinControl::WndProc(Message);
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    if (FHandle)
        ::SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    RecreateWnd();
}

// --- showing ---

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::CMVisibleChanged(TMessage& Message) {
    if (FFormState.Contains(fsCreating)) return;  // shown once the whole form exists
    TScrollingWinControl::CMVisibleChanged(Message);
}

void TCustomForm::PlaceOnShow() {
    int L = FLeft, T = FTop;
    TCustomForm* Center = nullptr;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        L = (Screen->Width() - FWidth) / 2;
        T = (Screen->Height() - FHeight) / 2;
        break;
    case poMainFormCenter: Center = Application->MainForm(); break;
    case poOwnerFormCenter: Center = dynamic_cast<TCustomForm*>(Owner()); break;
    default: return;
    }
    if (Center && Center != this) {
        L = Center->Left() + (Center->Width() - FWidth) / 2;
        T = Center->Top() + (Center->Height() - FHeight) / 2;
    } else if (Center == this || (!Center && FPosition != poScreenCenter && FPosition != poDesktopCenter)) {
        L = (Screen->Width() - FWidth) / 2;
        T = (Screen->Height() - FHeight) / 2;
    }
    SetBounds(std::max(0, L), std::max(0, T), FWidth, FHeight);
}

void TCustomForm::CMShowingChanged(TMessage&) {
    if (FFormState.Contains(fsShowing)) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
    FFormState.Include(fsShowing);
    struct TGuard {
        TCustomForm* F;
        ~TGuard() {
            if (Alive(F)) F->FFormState.Exclude(fsShowing);
        }
    } Guard{this};
    if (Showing()) {
        try {
            DoShow();
        } catch (...) {
            Application->HandleException(this);
        }
        if (!Alive(this) || !FHandle) return;
        PlaceOnShow();
        ::ShowWindow(FHandle, SW_SHOWNORMAL);
    } else {
        try {
            DoHide();
        } catch (...) {
            Application->HandleException(this);
        }
        if (!Alive(this) || !FHandle) return;
        ::ShowWindow(FHandle, SW_HIDE);
    }
}

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND C = GetCapture()) SendMessage(C, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    FFormState.Include(fsModal);
    HWND ActiveWindow = GetActiveWindow();
    int SaveFocusCount = FFocusCount;
    Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
    Screen->FFocusedForm = this;
    TCursor SaveCursor = Screen->Cursor();
    Screen->SetCursor(crDefault);
    int SaveCount = Screen->FCursorCount;
    HWND Own = Handle();
    std::vector<HWND> Disabled = DisableTaskWindows(Own);
    TModalResult Result = mrCancel;
    // Put back what the loop changed, however it ended; the form itself may be gone by then.
    auto Restore = [&]() {
        if (Screen->FCursorCount == SaveCount) Screen->SetCursor(SaveCursor);
        else Screen->SetCursor(crDefault);
        EnableTaskWindows(Disabled);
        auto& Saved = Screen->FSaveFocusedList;
        if (!Saved.empty()) {
            Screen->FFocusedForm = Saved.front();
            Saved.erase(Saved.begin());
        } else {
            Screen->FFocusedForm = nullptr;
        }
        if (ActiveWindow && IsWindow(ActiveWindow)) SetActiveWindow(ActiveWindow);
        if (Alive(this)) {
            FFocusCount = SaveFocusCount;
            FFormState.Exclude(fsModal);
        }
    };
    try {
        Show();
        if (Alive(this)) {
            // A form may make its window anew as it shows: the loop speaks to the one it has now.
            Own = FHandle;
            SendMessage(Own, CM_ACTIVATE, 0, 0);
        }
        if (Alive(this)) FModalResult = mrNone;
        while (Alive(this)) {
            Application->HandleMessage();
            if (!Alive(this)) break;
            if (Application->Terminated()) FModalResult = mrCancel;
            else if (FModalResult != mrNone) CloseModal();
            if (!Alive(this) || FModalResult != mrNone) break;
        }
        if (Alive(this)) {
            Result = FModalResult;
            SendMessage(Own, CM_DEACTIVATE, 0, 0);
            if (GetActiveWindow() != Own) ActiveWindow = nullptr;
            Hide();
        }
    } catch (...) {
        if (Alive(this)) {
            try {
                Hide();
            } catch (...) {
            }
        }
        Restore();
        throw;
    }
    Restore();
    return Result;
}

void TCustomForm::CloseModal() {
    try {
        TCloseAction Action = caNone;
        if (CloseQuery()) {
            Action = caHide;
            DoClose(Action);
        }
        if (Action == caNone) FModalResult = mrNone;
        else if (Action == caFree) Release();
    } catch (...) {
        FModalResult = mrNone;
        Application->HandleException(this);
    }
}

bool TCustomForm::CloseQuery() {
    bool CanClose = true;
    if (Assigned(OnCloseQuery)) OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction Action = caHide;
    DoClose(Action);
    if (Action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    else if (Action == caHide) Hide();
    else if (Action == caMinimize) FWindowState = wsMinimized;
    else Release();
}

void TCustomForm::Release() {
    if (FHandle) PostMessage(FHandle, CM_RELEASE, 0, 0);
    else Free();
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

void TCustomForm::WMClose(TMessage&) { Close(); }

// --- activation and focus ---

void TCustomForm::WMActivate(TMessage& Message) { SetActive(LoWord(Message.WParam) != WA_INACTIVE); }

void TCustomForm::SetActive(bool Value) {
    FActive = Value;
    if (!Value) return;
    if (!FActiveControl) {
        if (TWinControl* First = FindNextControl(nullptr, true, true, false)) SetActiveControl(First);
    }
    SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
    HWND FocusHandle = FActiveControl ? FActiveControl->Handle() : Handle();
    if (FocusHandle) ::SetFocus(FocusHandle);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && (Control == static_cast<TWinControl*>(this) || GetParentForm(Control) != this ||
                    (!ComponentState().Contains(csLoading) && !Control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (Control && Control != this) FreeNotification(Control);
    if (!ComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool WasActive = FActive;
    SetActiveControl(Control);
    if (!WasActive) SetFocus();
}

void TCustomForm::SetFocus() {
    if (!FActive) {
        if (!FVisible || !FEnabled) throw EInvalidOperation("Cannot focus a disabled or invisible window");
        SetWindowFocus();
    } else {
        TScrollingWinControl::SetFocus();
    }
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl))
        FFocusedControl = Control->Parent();
    if (FActiveControl && Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    ++FFocusCount;
    if (Control != this) FActiveControl = Control;
    else FActiveControl = nullptr;
    Screen->SetActive(this, Control);
    if (Control->FControlState.Contains(csFocusing)) return false;
    Control->FControlState.Include(csFocusing);
    // Each message may run code that moves the focus on; then this move is over.
    auto Send = [&](TWinControl* Target, UINT Msg) {
        int Count = FFocusCount;
        if (Target->HandleAllocated()) SendMessage(Target->Handle(), Msg, 0, 0);
        return FFocusCount == Count;
    };
    bool Done = false;
    try {
        [&] {
            if (Screen->FFocusedForm != this) {
                if (TCustomForm* Old = Screen->FFocusedForm) {
                    Screen->FFocusedForm = nullptr;
                    if (!Send(Old, CM_DEACTIVATE)) return;
                }
                Screen->FFocusedForm = this;
                if (!Send(this, CM_ACTIVATE)) return;
            }
            if (!FFocusedControl) FFocusedControl = this;
            if (FFocusedControl != Control) {
                while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
                    TWinControl* Leaving = FFocusedControl;
                    FFocusedControl = FFocusedControl->Parent();
                    if (!Send(Leaving, CM_EXIT)) return;
                }
                while (FFocusedControl != Control) {
                    TWinControl* Temp = Control;
                    while (Temp->Parent() != FFocusedControl) Temp = Temp->Parent();
                    FFocusedControl = Temp;
                    if (!Send(Temp, CM_ENTER)) return;
                }
                Perform(CM_FOCUSCHANGED, 0, PointerToLParam(static_cast<TControl*>(Control)));
            }
            Done = true;
        }();
    } catch (...) {
        Control->FControlState.Exclude(csFocusing);
        throw;
    }
    Control->FControlState.Exclude(csFocusing);
    return Done;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
    if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, PointerToLParam(Sender));
}

void TCustomForm::CMActivate(TMessage&) { Activate(); }
void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.CharCode()) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(
                    FActiveControl, Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default: break;
        }
    }
    TScrollingWinControl::CMDialogKey(Message);
}

void TCustomForm::WMHelp(TMessage& Message) {
    const THelpInfo* Info = LParamToPointer<const THelpInfo>(Message.LParam);
    TControl* Control = nullptr;
    if (Info && Info->iContextType == HELPINFO_WINDOW) Control = FindControl(Info->hItemHandle);
    if (!Control) Control = FActiveControl;
    while (Control && Control->HelpContext() == 0) Control = Control->Parent();
    int Context = Control ? Control->HelpContext() : HelpContext();
    if (Context != 0) Application->HelpContext(Context);
}

void TCustomForm::CMTextChanged(TMessage& Message) { TScrollingWinControl::CMTextChanged(Message); }

// --- painting ---

void TCustomForm::WMPaint(TMessage& Message) {
    FControlState.Include(csCustomPaint);
    try {
        TScrollingWinControl::WMPaint(Message);
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        throw;
    }
    FControlState.Exclude(csCustomPaint);
}

void TCustomForm::PaintWindow(HDC DC) {
    FCanvas->PaintThrough(DC, [this] { Paint(); });
}

void TForm::DescribeProperties(TPropertyTable& T) {
    using F = TCustomForm;
    T.Property("BorderIcons", &F::BorderIcons, &F::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    T.Property("BorderStyle", &F::BorderStyle, &F::SetBorderStyle).Default(bsSizeable);
    TControl::PublishStandard(T, {"Caption", "Color", "Ctl3D", "Enabled", "Font", "ParentFont", "ShowHint",
                                  "Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove",
                                  "OnMouseUp", "OnResize", "OnKeyDown", "OnKeyPress", "OnKeyUp"});
    T.PropertyOf<F>(
        "ClientHeight", [](F& X) { return X.ClientHeight(); }, [](F& X, int V) { X.SetClientHeight(V); });
    T.PropertyOf<F>(
        "ClientWidth", [](F& X) { return X.ClientWidth(); }, [](F& X, int V) { X.SetClientWidth(V); });
    T.Property("FormStyle", &F::FormStyle, &F::SetFormStyle).Default(fsNormal);
    T.Property("KeyPreview", &F::KeyPreview, &F::SetKeyPreview).Default(false);
    T.Property("Menu", &F::Menu, &F::SetMenu);
    T.Property("OldCreateOrder", &F::OldCreateOrder, &F::SetOldCreateOrder);
    T.Property("PixelsPerInch", &F::PixelsPerInch, &F::SetPixelsPerInch);
    T.Property("Position", &F::Position, &F::SetPosition).Default(poDesigned);
    T.Property("Scaled", &F::Scaled, &F::SetScaled).Default(true);
    T.Property("WindowState", &F::WindowState, &F::SetWindowState).Default(wsNormal);
    T.Property("ActiveControl", &F::ActiveControl, &F::SetActiveControl);
    T.Event("OnActivate", &F::OnActivate);
    T.Event("OnClose", &F::OnClose);
    T.Event("OnCloseQuery", &F::OnCloseQuery);
    T.Event("OnCreate", &F::OnCreate);
    T.Event("OnDeactivate", &F::OnDeactivate);
    T.Event("OnDestroy", &F::OnDestroy);
    T.Event("OnHide", &F::OnHide);
    T.Event("OnPaint", &F::OnPaint);
    T.Event("OnShow", &F::OnShow);
}

// ---------------------------------------------------------------------------
// TScreen
// ---------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

int TScreen::Width() const { return ScreenRect().Width(); }
int TScreen::Height() const { return ScreenRect().Height(); }
TRect TScreen::WorkAreaRect() const { return ::WorkAreaRect(); }

void TScreen::SetCursor(TCursor Value) {
    ++FCursorCount;
    if (FCursor == Value) return;
    FCursor = Value;
    if (Value == crDefault) {
        TPoint P;
        GetCursorPos(P);
        if (HWND W = WindowFromPoint(P))
            SendMessage(W, WM_SETCURSOR, HandleToWParam(W), MakeLParam(HTCLIENT, WM_MOUSEMOVE));
    } else {
        ::SetCursor(Cursors(Value));
    }
}

HCURSOR TScreen::Cursors(int Index) const {
    auto It = FCursors.find(Index);
    if (It != FCursors.end()) return It->second;
    return LoadStandardCursor(Index <= 0 ? Index : crArrow);
}

void TScreen::SetCursors(int Index, HCURSOR Value) {
    if (Value) FCursors[Index] = Value;
    else FCursors.erase(Index);
}

TStrings* TScreen::Fonts() {
    if (!FFonts) {
        FFonts = std::make_unique<TStringList>();
        for (const AnsiString& Face : InstalledFontNames()) FFonts->Add(Face);
    }
    return FFonts.get();
}

void TScreen::AddForm(TCustomForm* Form) {
    FCustomForms.push_back(Form);
    if (auto* F = dynamic_cast<TForm*>(Form)) FForms.push_back(F);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FCustomForms.erase(std::remove(FCustomForms.begin(), FCustomForms.end(), Form), FCustomForms.end());
    FForms.erase(std::remove_if(FForms.begin(), FForms.end(),
                                [&](TForm* F) { return static_cast<TCustomForm*>(F) == Form; }),
                 FForms.end());
}

void TScreen::FormGone(TCustomForm* Form) {
    RemoveForm(Form);
    if (FFocusedForm == Form) FFocusedForm = nullptr;
    FSaveFocusedList.erase(std::remove(FSaveFocusedList.begin(), FSaveFocusedList.end(), Form),
                           FSaveFocusedList.end());
    if (FActiveCustomForm == Form) {
        FActiveCustomForm = nullptr;
        FActiveForm = nullptr;
        FActiveControl = nullptr;
    }
    if (FActiveControl && GetParentForm(FActiveControl) == Form) FActiveControl = nullptr;
}

void TScreen::SetActive(TCustomForm* Form, TWinControl* Control) {
    bool ControlChanged = FActiveControl != Control;
    bool FormChanged = FActiveCustomForm != Form;
    FActiveControl = Control;
    FActiveCustomForm = Form;
    FActiveForm = dynamic_cast<TForm*>(Form);
    // The last activated form comes first in the list.
    auto It = std::find(FCustomForms.begin(), FCustomForms.end(), Form);
    if (It != FCustomForms.end()) {
        FCustomForms.erase(It);
        FCustomForms.insert(FCustomForms.begin(), Form);
    }
    if (FormChanged && Assigned(OnActiveFormChange)) OnActiveFormChange(this);
    if (ControlChanged && Assigned(OnActiveControlChange)) OnActiveControlChange(this);
}

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    StopHintTimer();
    if (FHandle && IsWindow(FHandle)) DeallocateHWnd(FHandle);
}

HWND TApplication::Handle() {
    if (!FHandle || !IsWindow(FHandle))
        FHandle =
            AllocateHWnd([](HWND W, UINT M, WPARAM WP, LPARAM LP) { return DefWindowProc(W, M, WP, LP); });
    return FHandle;
}

void TApplication::ControlDestroyed(TControl* Control) {
    if (FMainForm == Control) FMainForm = nullptr;
    if (FMouseControl == Control) FMouseControl = nullptr;
    if (FHintWindow == Control) FHintWindow = nullptr;
    if (FHintControl == Control) CancelHint();
}

void TApplication::Run() {
    ++FRunLevel;
    struct TGuard {
        int& Level;
        ~TGuard() { --Level; }
    } Guard{FRunLevel};
    if (!FMainForm) return;
    FMainForm->SetVisible(true);
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (const EScriptError&) {
            throw;
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::ProcessMessages() {
    TMsg Msg;
    while (ProcessMessage(Msg)) {
    }
}

void TApplication::HandleMessage() {
    TMsg Msg;
    if (!ProcessMessage(Msg)) {
        if (Idle()) WaitMessage();
    }
}

bool TApplication::ProcessMessage(TMsg& Msg) {
    if (!PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    try {
        if (FHintControl && FHintWindow && FHintWindow->IsHintMsg(Msg)) CancelHint();
        bool Handled = false;
        if (Assigned(OnMessage)) OnMessage(Msg, Handled);
        if (!Handled && !IsKeyMsg(Msg)) {
            TranslateMessage(Msg);
            DispatchMessage(Msg);
        }
    } catch (const EScriptError&) {
        throw;
    } catch (...) {
        HandleException(this);
    }
    return true;
}

bool TApplication::IsKeyMsg(TMsg& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
    HWND Wnd = GetCapture();
    if (!Wnd) Wnd = Msg.hwnd;
    // A window inside a control (a combo box's edit part) is the control's.
    TWinControl* C = FindControl(Wnd);
    while (!C && Wnd) {
        Wnd = GetParent(Wnd);
        C = FindControl(Wnd);
    }
    if (!C) return false;
    return C->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

TControl* TApplication::DoMouseIdle() {
    TPoint P;
    GetCursorPos(P);
    TControl* Result = FindDragTarget(P, true);
    TControl* Capture = GetCaptureControl();
    if (FMouseControl != Result) {
        if ((FMouseControl && !Capture) || (Capture && FMouseControl == Capture))
            FMouseControl->Perform(CM_MOUSELEAVE);
        FMouseControl = Result;
        if ((FMouseControl && !Capture) || (Capture && FMouseControl == Capture))
            FMouseControl->Perform(CM_MOUSEENTER);
    }
    return Result;
}

bool TApplication::Idle() {
    TControl* Control = DoMouseIdle();
    if (FShowHint && !FMouseControl) CancelHint();
    if (FMenuHints == 0) SetHint(Control ? TControl::GetLongHint(Control->Hint()) : AnsiString());
    bool Done = true;
    try {
        if (Assigned(OnIdle)) OnIdle(this, Done);
    } catch (const EScriptError&) {
        throw;
    } catch (...) {
        HandleException(this);
    }
    return Done;
}

void TApplication::EndMenuHints() {
    if (FMenuHints > 0 && --FMenuHints == 0) SetHint(AnsiString());
}

void TApplication::SetHint(const AnsiString& Value) {
    if (FHint == Value) return;
    FHint = Value;
    if (Assigned(OnHint)) {
        try {
            OnHint(this);
        } catch (const EScriptError&) {
            throw;
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr P = std::current_exception();
    if (!P) return;
    try {
        std::rethrow_exception(P);
    } catch (const EScriptError&) {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& E) {
        if (Assigned(OnException)) OnException(Sender, E);
        else ShowException(E);
    } catch (const std::exception& E) {
        Exception Wrapped(E.what());
        if (Assigned(OnException)) OnException(Sender, Wrapped);
        else ShowException(Wrapped);
    } catch (...) {
        Exception Wrapped("Error desconocido");
        if (Assigned(OnException)) OnException(Sender, Wrapped);
        else ShowException(Wrapped);
    }
}

void TApplication::ShowException(const Exception& E) {
    AnsiString Msg = E.Message();
    if (!Msg.empty() && static_cast<unsigned char>(Msg.back()) > '.') Msg += '.';
    MessageBox(Msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
    return ::MessageBox(Text, Caption, Flags);
}

bool TApplication::HelpCommand(unsigned Command, intptr_t Data) {
    bool CallHelp = true;
    bool Result = false;
    if (Assigned(OnHelp)) Result = OnHelp(static_cast<WORD>(Command), Data, CallHelp);
    if (CallHelp)
        Result =
            WinHelp(reinterpret_cast<uintptr_t>(Handle()), FHelpFile, Command, static_cast<uintptr_t>(Data));
    return Result;
}

bool TApplication::HelpContext(int Context) { return HelpCommand(HELP_CONTEXT, Context); }
