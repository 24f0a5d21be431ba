#include "platform/ui/Controls.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom")
ZELMOR_IMPLEMENT_ENUM(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom")
ZELMOR_IMPLEMENT_ENUM(TBiDiMode, "bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                      "bdRightToLeftReadingOnly")
ZELMOR_IMPLEMENT_ENUM(TDragMode, "dmManual", "dmAutomatic")
ZELMOR_IMPLEMENT_ENUM(TMouseButton, "mbLeft", "mbRight", "mbMiddle")
ZELMOR_IMPLEMENT_ENUM(TShiftStateFlag, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle",
                      "ssDouble")
ZELMOR_IMPLEMENT_ENUM(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                      "bsSizeToolWin")

ZELMOR_IMPLEMENT_CLASS(TSizeConstraints, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TControl, TComponent)
ZELMOR_IMPLEMENT_CLASS(TWinControl, TControl)
ZELMOR_IMPLEMENT_CLASS(TControlCanvas, TCanvas)
ZELMOR_IMPLEMENT_CLASS(TCustomControl, TWinControl)
ZELMOR_IMPLEMENT_CLASS(TGraphicControl, TControl)

namespace {

// Windows by handle, for FindControl. A control leaves the map when its window goes.
std::unordered_map<HWND, TWinControl*>& ControlMap() {
    static std::unordered_map<HWND, TWinControl*> Map;
    return Map;
}

// The windowless control that has the mouse (its parent's window holds the capture).
TControl* CaptureControlPtr = nullptr;

// Control canvases that took a window's context outside painting.
std::vector<TControlCanvas*>& BoundCanvases() {
    static std::vector<TControlCanvas*> List;
    return List;
}

int MessageDepth = 0;

TPoint PointOf(const TMessage& M) { return TPoint(M.XPos(), M.YPos()); }

template <class T>
void EraseValue(std::vector<T>& V, const T& Value) {
    V.erase(std::remove(V.begin(), V.end(), Value), V.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// helpers
// ---------------------------------------------------------------------------

TShiftState KeysToShiftState(UINT Keys) {
    TShiftState S;
    if (Keys & MK_SHIFT) S.Include(ssShift);
    if (Keys & MK_CONTROL) S.Include(ssCtrl);
    if (Keys & MK_LBUTTON) S.Include(ssLeft);
    if (Keys & MK_RBUTTON) S.Include(ssRight);
    if (Keys & MK_MBUTTON) S.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
    return S;
}

TShiftState KeyDataToShiftState(int32_t KeyData) {
    TShiftState S;
    if (GetKeyState(VK_SHIFT) < 0) S.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) S.Include(ssCtrl);
    if (static_cast<uint32_t>(KeyData) & KF_ALTDOWN) S.Include(ssAlt);
    return S;
}

TWinControl* FindControl(HWND Handle) {
    if (!Handle) return nullptr;
    auto It = ControlMap().find(Handle);
    return It == ControlMap().end() ? nullptr : It->second;
}

TWinControl* FindVCLWindow(TPoint ScreenPos) {
    HWND W = WindowFromPoint(ScreenPos);
    while (W) {
        if (TWinControl* C = FindControl(W)) return C;
        W = GetParent(W);
    }
    return nullptr;
}

TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled) {
    TWinControl* W = FindVCLWindow(ScreenPos);
    if (!W) return nullptr;
    TControl* C = W->ControlAtPos(W->ScreenToClient(ScreenPos), AllowDisabled);
    return C ? C : W;
}

TCustomForm* GetParentForm(const TControl* Control) {
    const TControl* C = Control;
    while (C && C->Parent()) C = C->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(C));
}

TCustomForm* ValidParentForm(const TControl* Control) {
    TCustomForm* F = GetParentForm(Control);
    if (!F)
        throw EInvalidOperation("Control '" + (Control ? Control->Name() : AnsiString()) +
                                "' has no parent window");
    return F;
}

TControl* GetCaptureControl() {
    TWinControl* W = FindControl(GetCapture());
    if (W && CaptureControlPtr && CaptureControlPtr->Parent() == W) return CaptureControlPtr;
    return W;
}

void SetCaptureControl(TControl* Control) {
    ReleaseCapture();
    CaptureControlPtr = nullptr;
    if (!Control) return;
    auto* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win) {
        if (!Control->Parent()) return;
        CaptureControlPtr = Control;
        Win = Control->Parent();
    }
    SetCapture(Win->Handle());
}

void MoveWindowOrg(HDC DC, int Dx, int Dy) {
    TPoint Org = DC->GetWindowOrg();
    DC->SetWindowOrg(TPoint(Org.x - Dx, Org.y - Dy));
}

void FreeDeviceContexts() {
    std::vector<TControlCanvas*> List;
    List.swap(BoundCanvases());
    for (TControlCanvas* C : List) C->FreeHandle();
}

// ---------------------------------------------------------------------------
// TSizeConstraints
// ---------------------------------------------------------------------------

void TSizeConstraints::DescribeProperties(TPropertyTable& T) {
    T.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    T.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    T.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    T.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::Change() {
    if (Assigned(OnChange)) OnChange(this);
}

void TSizeConstraints::SetMaxHeight(int Value) {
    if (Value == FMaxHeight) return;
    FMaxHeight = Value;
    if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    if (Value == FMaxWidth) return;
    FMaxWidth = Value;
    if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value) {
    if (Value == FMinHeight) return;
    FMinHeight = Value;
    if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
    Change();
}

void TSizeConstraints::SetMinWidth(int Value) {
    if (Value == FMinWidth) return;
    FMinWidth = Value;
    if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
    Change();
}

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinHeight = S->FMinHeight;
        FMaxHeight = S->FMaxHeight;
        FMinWidth = S->FMinWidth;
        FMaxWidth = S->FMaxWidth;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    EnsureApplication();
    WindowProc = [this](TMessage& M) { WndProc(M); };
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont = new TFont();
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    FConstraints = new TSizeConstraints();
    FConstraints->OnChange = [this](TObject* Sender) { ConstraintsChanged(Sender); };
}

TControl::~TControl() {
    if (FParent) {
        // Deleted without Free: leave the parent at least.
        TWinControl* P = FParent;
        P->Remove(this);
    }
    if (CaptureControlPtr == this) CaptureControlPtr = nullptr;
    delete FActionLink;
    delete FFont;
    delete FConstraints;
}

void TControl::BeforeDestruction() {
    if (Application) Application->ControlDestroyed(this);
    if (CaptureControlPtr == this) SetCaptureControl(nullptr);
    SetParent(nullptr);
    TComponent::BeforeDestruction();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage M;
    M.Msg = Msg;
    M.WParam = WParam;
    M.LParam = LParam;
    if (WindowProc) WindowProc(M);
    else WndProc(M);
    return M.Result;
}

void TControl::WndProc(TMessage& Message) {
    UINT& Msg = Message.Msg;
    if (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) {
        if (!FControlStyle.Contains(csDoubleClicks)) {
            if (Msg == WM_LBUTTONDBLCLK) Msg = WM_LBUTTONDOWN;
            else if (Msg == WM_RBUTTONDBLCLK) Msg = WM_RBUTTONDOWN;
            else if (Msg == WM_MBUTTONDBLCLK) Msg = WM_MBUTTONDOWN;
        }
        switch (Msg) {
        case WM_MOUSEMOVE:
            if (Application) Application->HintMouseMessage(this, Message);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: FControlState.Include(csLButtonDown); break;
        case WM_LBUTTONUP: FControlState.Exclude(csLButtonDown); break;
        default: break;
        }
    }
    Dispatch(Message);
}

#define ZELMOR_DISPATCH_CASE(Msg, Name)                                                                      \
    case Msg: Name(Message); break;

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        ZELMOR_PLAIN_HANDLERS(ZELMOR_DISPATCH_CASE)
        ZELMOR_OWN_HANDLERS(ZELMOR_DISPATCH_CASE)
    default: DefaultHandler(Message); break;
    }
}

#define ZELMOR_DEFAULT_HANDLER(Msg, Name)                                                                    \
    void TControl::Name(TMessage& Message) { DefaultHandler(Message); }
ZELMOR_PLAIN_HANDLERS(ZELMOR_DEFAULT_HANDLER)

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETTEXT: {
        char* Buffer = LParamToPointer<char>(Message.LParam);
        if (!Buffer || Message.WParam == 0) {
            Message.Result = 0;
            break;
        }
        size_t N = std::min<size_t>(FText.size(), Message.WParam - 1);
        std::memcpy(Buffer, FText.data(), N);
        Buffer[N] = '\0';
        Message.Result = static_cast<LRESULT>(N);
        break;
    }
    case WM_GETTEXTLENGTH: Message.Result = static_cast<LRESULT>(FText.size()); break;
    case WM_SETTEXT: {
        const char* Text = LParamToPointer<const char>(Message.LParam);
        FText = Text ? Text : "";
        Message.Result = 1;
        break;
    }
    default: break;
    }
}

// --- the tree ---

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (static_cast<TControl*>(AParent) == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        UpdateAnchorRules();
    }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* W = dynamic_cast<TWinControl*>(Value)) SetParent(W);
}

// --- position ---

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    (void)NewWidth;
    (void)NewHeight;
    return true;
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
    int W = NewWidth, H = NewHeight;
    if (!CanResize(W, H)) return false;
    const TSizeConstraints& C = *FConstraints;
    if (C.MinWidth() > 0 && W < C.MinWidth()) W = C.MinWidth();
    if (C.MaxWidth() > 0 && W > C.MaxWidth()) W = C.MaxWidth();
    if (C.MinHeight() > 0 && H < C.MinHeight()) H = C.MinHeight();
    if (C.MaxHeight() > 0 && H > C.MaxHeight()) H = C.MaxHeight();
    NewWidth = std::max(0, W);
    NewHeight = std::max(0, H);
    return true;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewSize(AWidth, AHeight)) return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    Invalidate();
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
    RequestAlign();
    if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::ConstraintsChanged(TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); }

TRect TControl::ClientRect() const { return TRect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
void TControl::SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }

void TControl::SetClientSize(int AWidth, int AHeight) {
    TRect C = ClientRect();
    SetBounds(FLeft, FTop, FWidth - C.Width() + AWidth, FHeight - C.Height() + AHeight);
}

TPoint TControl::ClientOrigin() const {
    if (!FParent) return TPoint(FLeft, FTop);
    TPoint P = FParent->ClientOrigin();
    return TPoint(P.x + FLeft, P.y + FTop);
}

TPoint TControl::ClientToScreen(TPoint P) const {
    TPoint O = ClientOrigin();
    return TPoint(P.x + O.x, P.y + O.y);
}

TPoint TControl::ScreenToClient(TPoint P) const {
    TPoint O = ClientOrigin();
    return TPoint(P.x - O.x, P.y - O.y);
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    TAlign Old = FAlign;
    FAlign = Value;
    FAnchors = (Value == alNone || Value == alCustom) ? TAnchors{akLeft, akTop}
               : Value == alTop                       ? TAnchors{akLeft, akTop, akRight}
               : Value == alBottom                    ? TAnchors{akLeft, akRight, akBottom}
               : Value == alLeft                      ? TAnchors{akLeft, akTop, akBottom}
               : Value == alRight                     ? TAnchors{akRight, akTop, akBottom}
                                                      : TAnchors{akLeft, akTop, akRight, akBottom};
    (void)Old;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value) return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!FParent) {
        FAnchorsKnown = false;
        return;
    }
    if (FParent->AlignDisabled() && FAnchorsKnown) return;  // the parent is placing its children
    TRect C = FParent->ClientRect();
    FAnchorBounds = BoundsRect();
    FAnchorParentSize = TSize{C.Width(), C.Height()};
    FAnchorsKnown = true;
}

void TControl::AnchorsFollowParent() {
    if (!FParent || !FAnchorsKnown || FAlign != alNone) return;
    if (FAnchors == TAnchors{akLeft, akTop}) return;
    TRect C = FParent->ClientRect();
    int Dx = C.Width() - FAnchorParentSize.cx, Dy = C.Height() - FAnchorParentSize.cy;
    TRect B = FAnchorBounds;
    int L = B.Left, T = B.Top, W = B.Width(), H = B.Height();
    if (FAnchors.Contains(akRight)) {
        if (FAnchors.Contains(akLeft)) W += Dx;
        else L += Dx;
    } else if (!FAnchors.Contains(akLeft)) {
        L += Dx / 2;  // neither side: the control keeps its place relative to the middle
    }
    if (FAnchors.Contains(akBottom)) {
        if (FAnchors.Contains(akTop)) H += Dy;
        else T += Dy;
    } else if (!FAnchors.Contains(akTop)) {
        T += Dy / 2;
    }
    SetBounds(L, T, std::max(0, W), std::max(0, H));
}

void TControl::RequestAlign() {
    if (FParent) FParent->AlignControl(this);
}

void TControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& List = FParent->FControls;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end()) return;
    List.erase(It);
    if (TopMost) List.push_back(this);
    else List.insert(List.begin(), this);
    Invalidate();
}

void TControl::SetZOrderPosition(int Position) {
    if (!FParent) return;
    auto& List = FParent->FControls;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end()) return;
    List.erase(It);
    Position = std::clamp(Position, 0, static_cast<int>(List.size()));
    List.insert(List.begin() + Position, this);
    Invalidate();
}

// --- state and looks ---

bool TControl::IsShowing() const {
    if (!FVisible) return false;
    return FParent ? FParent->IsShowing() : false;
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    RequestAlign();
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

AnsiString TControl::GetText() const {
    TControl* Self = const_cast<TControl*>(this);
    LRESULT Length = Self->Perform(WM_GETTEXTLENGTH);
    if (Length <= 0) return {};
    std::string Buffer(static_cast<size_t>(Length) + 1, '\0');
    LRESULT Got = Self->Perform(WM_GETTEXT, Buffer.size(), PointerToLParam(Buffer.data()));
    Buffer.resize(static_cast<size_t>(std::clamp<LRESULT>(Got, 0, Length)));
    return Buffer;
}

int TControl::GetTextLen() const {
    return static_cast<int>(const_cast<TControl*>(this)->Perform(WM_GETTEXTLENGTH));
}

void TControl::SetText(const AnsiString& Value) {
    if (GetText() == Value) return;
    Perform(WM_SETTEXT, 0, PointerToLParam(Value.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentSwitch(bool& Switch, bool Value, UINT Notify) {
    if (Switch == Value) return;
    Switch = Value;
    if (FParent && Value && !ComponentState().Contains(csReading)) Perform(Notify);
}

void TControl::SetParentColor(bool Value) { SetParentSwitch(FParentColor, Value, CM_PARENTCOLORCHANGED); }

void TControl::FontChanged(TObject*) {
    FParentFont = false;
    if (FControlState.Contains(csReadingState)) return;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) { SetParentSwitch(FParentFont, Value, CM_PARENTFONTCHANGED); }

void TControl::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    FParentCtl3D = false;
    Perform(CM_CTL3DCHANGED);
}

void TControl::SetParentCtl3D(bool Value) { SetParentSwitch(FParentCtl3D, Value, CM_PARENTCTL3DCHANGED); }

void TControl::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    SetParentSwitch(FParentShowHint, Value, CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        delete FActionLink;
        FActionLink = nullptr;
        FControlStyle.Exclude(csActionClient);
        return;
    }
    FControlStyle.Include(csActionClient);
    if (!FActionLink) FActionLink = CreateActionLink();
    FActionLink->SetAction(Value);
    FActionLink->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
    ActionChange(Value, Value->ComponentState().Contains(csLoading));
    Value->FreeNotification(this);
}

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::DoActionChange(TObject* Sender) {
    if (Sender == Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
    if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
    if (!CheckDefaults || Hint().empty()) SetHint(action->Hint());
    if (!CheckDefaults || Visible()) SetVisible(action->Visible());
    if (!CheckDefaults || HelpContext() == 0) SetHelpContext(action->HelpContext());
}

bool TControl::ExecuteAction(TBasicAction* Action) { return ExecuteActionOn(Action, this); }

bool TControl::UpdateAction(TBasicAction* Action) { return UpdateActionOn(Action, this); }

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
    if (FBiDiMode == Value) return;
    FBiDiMode = Value;
    FParentBiDiMode = false;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value) {
    SetParentSwitch(FParentBiDiMode, Value, CM_PARENTBIDIMODECHANGED);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value) return;
    SetCaptureControl(Value ? this : nullptr);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FPopupMenu && AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent) {
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED);
    }
    UpdateAnchorRules();
    Perform(CM_VISIBLECHANGED, FVisible ? 1 : 0, 0);
}

// --- painting ---

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
    TRect R = BoundsRect();
    bool Erase = !(IsOpaque || FParent->ControlStyle().Contains(csOpaque));
    InvalidateRect(FParent->Handle(), &R, Erase);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
    if (FControlStyle.Contains(csOpaque)) {
        HDC DC = GetDC(FParent->Handle());
        DC->IntersectClipRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight);
        FParent->PaintControls(DC, this);
        ReleaseDC(FParent->Handle(), DC);
        UpdateWindow(FParent->Handle());
    } else {
        Invalidate();
        Update();
    }
}

void TControl::ScaleBy(int M, int D) { ChangeScale(M, D); }

void TControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FLeft + FWidth, M, D) - MulDiv(FLeft, M, D),
              MulDiv(FTop + FHeight, M, D) - MulDiv(FTop, M, D));
    if (!FParentFont) FFont->SetSize(MulDiv(FFont->Size(), M, D));
}

// --- mouse ---

void TControl::SendCancelMode(TControl* Sender) {
    for (TControl* C = this; C; C = C->Parent())
        if (auto* F = dynamic_cast<TCustomForm*>(C)) F->SendCancelMode(Sender);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMLButtonDown(TMessage& Message) {
    SendCancelMode(this);
    DefaultHandler(Message);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
    SendCancelMode(this);
    DefaultHandler(Message);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) DblClick();
    DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
    DefaultHandler(Message);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        if (PtInRect(ClientRect(), PointOf(Message))) Click();
    }
    DoMouseUp(Message, mbLeft);
}

// The right and middle buttons: the window's default, then the event.
void TControl::WMRButtonDown(TMessage& Message) { DefaultThenMouse(Message, mbRight, true, {}); }
void TControl::WMRButtonUp(TMessage& Message) { DefaultThenMouse(Message, mbRight, false, {}); }
void TControl::WMRButtonDblClk(TMessage& Message) { DefaultThenMouse(Message, mbRight, true, {ssDouble}); }
void TControl::WMMButtonDown(TMessage& Message) { DefaultThenMouse(Message, mbMiddle, true, {}); }
void TControl::WMMButtonUp(TMessage& Message) { DefaultThenMouse(Message, mbMiddle, false, {}); }
void TControl::WMMButtonDblClk(TMessage& Message) { DefaultThenMouse(Message, mbMiddle, true, {ssDouble}); }

void TControl::DefaultThenMouse(TMessage& Message, TMouseButton Button, bool Down, TShiftState Shift) {
    DefaultHandler(Message);
    if (Down) DoMouseDown(Message, Button, Shift);
    else DoMouseUp(Message, Button);
}

void TControl::WMMouseMove(TMessage& Message) {
    DefaultHandler(Message);
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMMouseWheel(TMessage& Message) {
    TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
             static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
    TShiftState Shift = KeysToShiftState(LoWord(Message.WParam));
    if (!DoMouseWheel(Shift, Message.WheelDelta(), P)) DefaultHandler(Message);
    else Message.Result = 1;
}

void TControl::CMMouseWheel(TMessage& Message) {
    TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
             static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
    Message.Result = DoMouseWheel(KeysToShiftState(LoWord(Message.WParam)), Message.WheelDelta(), P) ? 1 : 0;
}

void TControl::WMCancelMode(TMessage& Message) {
    DefaultHandler(Message);
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(-1));
    } else {
        FControlState.Exclude(csLButtonDown);
    }
}

void TControl::WMContextMenu(TMessage& Message) {
    TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
             static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
    bool Handled = false;
    TPoint Local = (P.x == -1 && P.y == -1) ? TPoint(-1, -1) : ScreenToClient(P);
    DoContextPopup(Local, Handled);
    if (Handled) {
        Message.Result = 1;
        return;
    }
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        // From the keyboard the menu opens at the control's corner.
        if (P.x == -1 && P.y == -1) P = ClientToScreen(TPoint(0, 0));
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(P.x, P.y);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (Assigned(OnContextPopup)) OnContextPopup(this, MousePos, Handled);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Assigned(OnMouseDown)) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (Assigned(OnMouseMove)) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Assigned(OnMouseUp)) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool Handled = false;
    if (Assigned(OnMouseWheel)) OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
    if (!Handled)
        Handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    return Handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool Handled = false;
    if (Assigned(OnMouseWheelDown)) OnMouseWheelDown(this, Shift, MousePos, Handled);
    return Handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool Handled = false;
    if (Assigned(OnMouseWheelUp)) OnMouseWheelUp(this, Shift, MousePos, Handled);
    return Handled;
}

void TControl::Click() {
    // A handler of the control's own comes before its action.
    if (Assigned(OnClick)) OnClick(this);
    else if (FActionLink && !ComponentState().Contains(csDesigning)) FActionLink->Execute(this);
}

void TControl::DblClick() {
    if (Assigned(OnDblClick)) OnDblClick(this);
}

void TControl::Resize() {
    if (Assigned(OnResize)) OnResize(this);
}

AnsiString TControl::GetShortHint(const AnsiString& Hint) {
    size_t P = Hint.find('|');
    return P == AnsiString::npos ? Hint : Hint.substr(0, P);
}

AnsiString TControl::GetLongHint(const AnsiString& Hint) {
    size_t P = Hint.find('|');
    return P == AnsiString::npos ? Hint : Hint.substr(P + 1);
}

// --- the handlers TControl answers itself ---

void TControl::WMPaint(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMEraseBkgnd(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSize(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMMove(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMWindowPosChanged(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMWindowPosChanging(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMKeyDown(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMKeyUp(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMChar(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSysKeyDown(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSetCursor(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMCommand(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMNotify(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMDrawItem(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMMeasureItem(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMHScroll(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMVScroll(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMSysColorChange(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMWinIniChange(TMessage& Message) { DefaultHandler(Message); }
void TControl::WMNCDestroy(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMEnter(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMExit(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMRecreateWnd(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMCtl3DChanged(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMShowingChanged(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMDialogChar(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMDialogKey(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMFocusChanged(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMChildKey(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMInvalidate(TMessage& Message) { DefaultHandler(Message); }
void TControl::CNKeyDown(TMessage& Message) { DefaultHandler(Message); }
void TControl::CNChar(TMessage& Message) { DefaultHandler(Message); }
void TControl::CNSysChar(TMessage& Message) { DefaultHandler(Message); }

void TControl::CMMouseEnter(TMessage& Message) {
    // The parents hear of it too, with the control that was entered.
    if (FParent) FParent->Perform(CM_MOUSEENTER, 0, Message.LParam ? Message.LParam : PointerToLParam(this));
}

void TControl::CMMouseLeave(TMessage& Message) {
    if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam ? Message.LParam : PointerToLParam(this));
}

void TControl::CMCancelMode(TMessage& Message) { DefaultHandler(Message); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
    InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMParentFontChanged(TMessage& Message) {
    if (!FParentFont || !FParent) return;
    TFont* Source = Message.WParam ? LParamToPointer<TFont>(Message.LParam) : FParent->Font();
    auto Saved = FFont->OnChange;
    FFont->OnChange = nullptr;
    FFont->Assign(Source);
    FFont->OnChange = Saved;
    FParentFont = true;
    Perform(CM_FONTCHANGED);
}

void TControl::CMParentColorChanged(TMessage& Message) {
    if (!FParentColor || !FParent) return;
    FColor = Message.WParam ? static_cast<TColor>(Message.LParam) : FParent->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::CMParentCtl3DChanged(TMessage&) {
    if (!FParentCtl3D || !FParent) return;
    if (FCtl3D == FParent->Ctl3D()) return;
    FCtl3D = FParent->Ctl3D();
    Perform(CM_CTL3DCHANGED);
}

void TControl::CMShowHintChanged(TMessage& Message) { DefaultHandler(Message); }

void TControl::CMParentShowHintChanged(TMessage&) {
    if (FParentShowHint && FParent && FShowHint != FParent->ShowHint()) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::CMSysColorChange(TMessage& Message) { DefaultHandler(Message); }
void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }
void TControl::CMCursorChanged(TMessage& Message) { DefaultHandler(Message); }

// --- publishing ---

void TControl::DescribeProperties(TPropertyTable& T) {
    T.Property("Left", &TControl::Left, &TControl::SetLeft);
    T.Property("Top", &TControl::Top, &TControl::SetTop);
    T.Property("Width", &TControl::Width, &TControl::SetWidth);
    T.Property("Height", &TControl::Height, &TControl::SetHeight);
    T.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).OfType(CursorTypeInfo()).Default(crDefault);
    T.Property("Hint", &TControl::Hint, &TControl::SetHint);
    T.Property("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
}

void TControl::PublishStandard(TPropertyTable& T, std::initializer_list<const char*> Names) {
    using C = TControl;
    using W = TWinControl;
    static const std::map<AnsiString, std::function<void(TPropertyTable&)>> Catalog = {
        {"ALIGN", [](TPropertyTable& P) { P.Property("Align", &C::Align, &C::SetAlign).Default(alNone); }},
        {"ANCHORS",
         [](TPropertyTable& P) {
             P.Property("Anchors", &C::Anchors, &C::SetAnchors).Default(TAnchors{akLeft, akTop});
         }},
        {"BIDIMODE", [](TPropertyTable& P) { P.Property("BiDiMode", &C::BiDiMode, &C::SetBiDiMode); }},
        {"CAPTION", [](TPropertyTable& P) { P.Property("Caption", &C::Caption, &C::SetCaption); }},
        {"COLOR",
         [](TPropertyTable& P) { P.Property("Color", &C::Color, &C::SetColor).OfType(ColorTypeInfo()); }},
        {"CONSTRAINTS",
         [](TPropertyTable& P) { P.Property("Constraints", &C::Constraints, &C::SetConstraints); }},
        {"CTL3D", [](TPropertyTable& P) { P.Property("Ctl3D", &C::Ctl3D, &C::SetCtl3D); }},
        {"DRAGCURSOR",
         [](TPropertyTable& P) {
             P.Property("DragCursor", &C::DragCursor, &C::SetDragCursor)
                 .OfType(CursorTypeInfo())
                 .Default(crDrag);
         }},
        {"DRAGMODE",
         [](TPropertyTable& P) { P.Property("DragMode", &C::DragMode, &C::SetDragMode).Default(dmManual); }},
        {"ENABLED",
         [](TPropertyTable& P) { P.Property("Enabled", &C::Enabled, &C::SetEnabled).Default(true); }},
        {"FONT", [](TPropertyTable& P) { P.Property("Font", &C::Font, &C::SetFont); }},
        {"POPUPMENU", [](TPropertyTable& P) { P.Property("PopupMenu", &C::PopupMenu, &C::SetPopupMenu); }},
        {"ACTION", [](TPropertyTable& P) { P.Property("Action", &C::Action, &C::SetAction); }},
        {"PARENTBIDIMODE",
         [](TPropertyTable& P) {
             P.Property("ParentBiDiMode", &C::ParentBiDiMode, &C::SetParentBiDiMode).Default(true);
         }},
        {"PARENTCOLOR",
         [](TPropertyTable& P) { P.Property("ParentColor", &C::ParentColor, &C::SetParentColor); }},
        {"PARENTCTL3D",
         [](TPropertyTable& P) {
             P.Property("ParentCtl3D", &C::ParentCtl3D, &C::SetParentCtl3D).Default(true);
         }},
        {"PARENTFONT",
         [](TPropertyTable& P) {
             P.Property("ParentFont", &C::ParentFont, &C::SetParentFont).Default(true);
         }},
        {"PARENTSHOWHINT",
         [](TPropertyTable& P) {
             P.Property("ParentShowHint", &C::ParentShowHint, &C::SetParentShowHint).Default(true);
         }},
        {"SHOWHINT", [](TPropertyTable& P) { P.Property("ShowHint", &C::ShowHint, &C::SetShowHint); }},
        {"TEXT", [](TPropertyTable& P) { P.Property("Text", &C::Text, &C::SetText); }},
        {"VISIBLE",
         [](TPropertyTable& P) { P.Property("Visible", &C::Visible, &C::SetVisible).Default(true); }},
        {"TABORDER",
         [](TPropertyTable& P) {
             P.PropertyOf<W>(
                 "TabOrder", [](W& X) { return X.TabOrder(); }, [](W& X, int V) { X.SetTabOrder(V); });
         }},
        {"TABSTOP",
         [](TPropertyTable& P) { P.Property("TabStop", &W::TabStop, &W::SetTabStop).Default(false); }},
        {"ONCLICK", [](TPropertyTable& P) { P.Event("OnClick", &C::OnClick); }},
        {"ONDBLCLICK", [](TPropertyTable& P) { P.Event("OnDblClick", &C::OnDblClick); }},
        {"ONMOUSEDOWN", [](TPropertyTable& P) { P.Event("OnMouseDown", &C::OnMouseDown); }},
        {"ONMOUSEMOVE", [](TPropertyTable& P) { P.Event("OnMouseMove", &C::OnMouseMove); }},
        {"ONMOUSEUP", [](TPropertyTable& P) { P.Event("OnMouseUp", &C::OnMouseUp); }},
        {"ONMOUSEWHEEL", [](TPropertyTable& P) { P.Event("OnMouseWheel", &C::OnMouseWheel); }},
        {"ONRESIZE", [](TPropertyTable& P) { P.Event("OnResize", &C::OnResize); }},
        {"ONCONTEXTPOPUP", [](TPropertyTable& P) { P.Event("OnContextPopup", &C::OnContextPopup); }},
        {"ONENTER", [](TPropertyTable& P) { P.Event("OnEnter", &W::OnEnter); }},
        {"ONEXIT", [](TPropertyTable& P) { P.Event("OnExit", &W::OnExit); }},
        {"ONKEYDOWN", [](TPropertyTable& P) { P.Event("OnKeyDown", &W::OnKeyDown); }},
        {"ONKEYPRESS", [](TPropertyTable& P) { P.Event("OnKeyPress", &W::OnKeyPress); }},
        {"ONKEYUP", [](TPropertyTable& P) { P.Event("OnKeyUp", &W::OnKeyUp); }},
    };
    for (const char* Name : Names) {
        auto It = Catalog.find(UpperCase(Name));
        if (It == Catalog.end()) throw EPropertyError(AnsiString("No standard property named ") + Name);
        It->second(T);
    }
}

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FBrush = new TBrush();
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
    // Deleted without Free: leave the parent while the object is still a
    // windowed control, and let no window outlive the object that answers it.
    if (FParent) {
        RemoveFocus(true);
        FParent->Remove(this);
    }
    if (FHandle) {
        ControlMap().erase(FHandle);
        HWND H = FHandle;
        FHandle = nullptr;
        SubclassWindow(H, {});
        DestroyWindow(H);
    }
    for (TControl* C : FControls) C->FParent = nullptr;
    for (TWinControl* C : FWinControls) C->FParent = nullptr;
    delete FBrush;
}

void TWinControl::BeforeDestruction() {
    Destroying();
    if (FParent) RemoveFocus(true);
    if (FHandle) DestroyWindowHandle();
    while (ControlCount() > 0) {
        TControl* Child = Controls(ControlCount() - 1);
        Remove(Child);
        Child->Free();
    }
    TControl::BeforeDestruction();
}

void TWinControl::DescribeProperties(TPropertyTable&) {}

// --- messages ---

void TWinControl::MainWndProc(TMessage& Message) {
    ++MessageDepth;
    try {
        if (WindowProc) WindowProc(Message);
        else WndProc(Message);
    } catch (...) {
        --MessageDepth;
        if (MessageDepth == 0) FreeDeviceContexts();
        if (Application) Application->HandleException(this);
        else throw;
        return;
    }
    if (--MessageDepth == 0) FreeDeviceContexts();
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS: {
        TCustomForm* Form = GetParentForm(this);
        if (Form && !Form->SetFocusedControl(this)) return;
        break;
    }
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing)) return;
        break;
    case WM_NCHITTEST: {
        TControl::WndProc(Message);
        if (Message.Result == HTTRANSPARENT) {
            TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
                     static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
            if (ControlAtPos(ScreenToClient(P), false)) Message.Result = HTCLIENT;
        }
        return;
    }
    case WM_CANCELMODE:
        if (GetCapture() == FHandle && CaptureControlPtr && CaptureControlPtr->Parent() == this)
            CaptureControlPtr->Perform(WM_CANCELMODE);
        break;
    default:
        if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
            IsControlMouseMsg(Message)) {
            if (Message.Result == 0 && FHandle)
                DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_SETTEXT) TControl::DefaultHandler(Message);
    Message.Result = CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TControl* Control = nullptr;
    if (GetCapture() == FHandle && FHandle) {
        if (CaptureControlPtr && CaptureControlPtr->Parent() == this) Control = CaptureControlPtr;
    } else {
        Control = ControlAtPos(PointOf(Message), false);
    }
    if (!Control) return false;
    TPoint P = PointOf(Message);
    P.x -= Control->Left();
    P.y -= Control->Top();
    Message.Result = Control->Perform(Message.Msg, Message.WParam, MakeLParam(P.x, P.y));
    return true;
}

bool TWinControl::DoControlMsg(HWND ControlHandle, TMessage& Message) {
    TWinControl* Control = FindControl(ControlHandle);
    if (!Control) return false;
    Message.Result = Control->Perform(Message.Msg + CN_BASE, Message.WParam, Message.LParam);
    return true;
}

// --- the window ---

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value) return;
    if (FHandle && FParentWindow && Value) {
        ::SetParent(FHandle, Value);
    } else {
        DestroyHandle();
    }
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams();
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    // CreateWnd makes the parent's window first; asking for the frame alone must not.
    Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
    Params.WindowClass.Style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ClassName) {
    TWndClass Class;
    if (!GetWindowClassInfo(ClassName, Class)) return;
    Params.WindowClass.WndProc = Class.WndProc;
    Params.WindowClass.Style = Class.Style & ~static_cast<UINT>(CS_OWNDC);
    Params.WindowClass.Background = Class.Background;
}

void TWinControl::CreateWnd() {
    TCreateParams Params;
    CreateParams(Params);
    if (!Params.WndParent && (Params.Style & WS_CHILD)) {
        if (!FParent && !FParentWindow)
            throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    }
    FDefWndProc = Params.WindowClass.WndProc;
    TWndClass Existing;
    Params.WindowClass.Name = Params.WinClassName;
    if (!GetWindowClassInfo(Params.WinClassName, Existing)) {
        RegisterWindowClass(Params.WindowClass);
    } else if (Existing.Style != Params.WindowClass.Style) {
        // Another control of this class asked for other class styles: re-register.
        UnregisterWindowClass(Params.WinClassName);
        RegisterWindowClass(Params.WindowClass);
    }
    FControlState.Include(csCreating);
    try {
        CreateWindowHandle(Params);
    } catch (...) {
        FControlState.Exclude(csCreating);
        throw;
    }
    FControlState.Exclude(csCreating);
    if (!FHandle) throw EOutOfResources("No se puede crear la ventana");
    if (FParent) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    TWinControl* Self = this;
    HWND H = CreateWindowEx(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X,
                            Params.Y, Params.Width, Params.Height, Params.WndParent, 0, Params.Param,
                            [Self](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
                                if (!Self->FHandle) {
                                    // The first messages come before CreateWindowEx returns.
                                    Self->FHandle = Wnd;
                                    ControlMap()[Wnd] = Self;
                                }
                                TMessage M;
                                M.Msg = Msg;
                                M.WParam = WParam;
                                M.LParam = LParam;
                                Self->MainWndProc(M);
                                return M.Result;
                            });
    FHandle = H;
    if (H) ControlMap()[H] = this;
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
    if (FParent) {
        // The window's place among its siblings follows the control order.
        auto& Sibs = FParent->FWinControls;
        auto It = std::find(Sibs.begin(), Sibs.end(), this);
        HWND After = HWND_BOTTOM;
        for (auto J = It + 1; It != Sibs.end() && J != Sibs.end(); ++J)
            if ((*J)->FHandle) {
                After = (*J)->FHandle;
                break;
            }
        if (After == HWND_BOTTOM) {
            ::SetWindowPos(FHandle, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
            // ... unless a later sibling has a window: then just below it.
        } else {
            ::SetWindowPos(FHandle, After, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
        // The order above counts from the bottom; fix it from the top.
        std::vector<HWND> Order;
        for (auto R = Sibs.rbegin(); R != Sibs.rend(); ++R)
            if ((*R)->FHandle) Order.push_back((*R)->FHandle);
        HWND Prev = HWND_TOP;
        for (HWND H : Order) {
            ::SetWindowPos(H, Prev, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
            Prev = H;
        }
    }
    for (TControl* C : FControls) C->UpdateAnchorRules();
    for (TWinControl* C : FWinControls) C->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TWinControl* C : FWinControls) C->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    // The text lives in the window while there is one; keep it for the next.
    FText = GetText();
    FControlState.Include(csDestroyingHandle);
    DestroyWindowHandle();
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWindowHandle() {
    HWND H = FHandle;
    if (!H) return;
    ::DestroyWindow(H);
    if (FHandle == H) {
        ControlMap().erase(H);
        FHandle = nullptr;
    }
    FShowing = false;
}

void TWinControl::WMNCDestroy(TMessage& Message) {
    DefaultHandler(Message);
    if (FHandle) ControlMap().erase(FHandle);
    FHandle = nullptr;
    FShowing = false;
}

void TWinControl::RecreateWnd() {
    if (FHandle) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
    bool WasFocused = Focused();
    DestroyHandle();
    UpdateControlState();
    if (WasFocused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::UpdateShowing() {
    // Only called on a control whose parents show (UpdateControlState makes
    // sure), so its own Visible decides.
    bool ShowControl = FVisible && !FControlState.Contains(csReadingState);
    if (ShowControl) {
        if (!FHandle) CreateHandle();
        std::vector<TWinControl*> Kids = FWinControls;
        for (TWinControl* C : Kids) C->UpdateShowing();
    }
    if (FHandle && FShowing != ShowControl) {
        FShowing = ShowControl;
        try {
            Perform(CM_SHOWINGCHANGED);
        } catch (...) {
            FShowing = !ShowControl;
            throw;
        }
    }
}

void TWinControl::UpdateControlState() {
    const TWinControl* Control = this;
    while (Control->FParent) {
        Control = Control->FParent;
        if (!Control->Showing()) return;
    }
    if (dynamic_cast<const TCustomForm*>(Control) || Control->FParentWindow) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
    static const UINT Flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, Flags | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!FVisible && FParent) RemoveFocus(false);
    UpdateControlState();
    (void)Message;
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!FEnabled && FParent) RemoveFocus(false);
    if (FHandle) EnableWindow(FHandle, FEnabled);
    (void)Message;
}

void TWinControl::CMFontChanged(TMessage& Message) {
    TControl::CMFontChanged(Message);
    if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont), 0);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    FBrush->SetColor(FColor);
    TControl::CMColorChanged(Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMCtl3DChanged(TMessage&) {
    if (FControlStyle.Contains(csFramed) && FParent && FParent->HandleAllocated()) {
        TRect R = BoundsRect();
        InflateRect(R, 1, 1);
        InvalidateRect(FParent->Handle(), &R, true);
    }
    if (FHandle) RecreateWnd();
    NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMCursorChanged(TMessage&) {
    if (!FHandle || !FShowing) return;
    TPoint P;
    GetCursorPos(P);
    if (FindDragTarget(P, false) == this) Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), HTCLIENT);
}

void TWinControl::WMSysColorChange(TMessage& Message) {
    DefaultHandler(Message);
    Perform(CM_SYSCOLORCHANGE);
}

// --- geometry ---

TRect TWinControl::ClientRect() const {
    if (FHandle) {
        TRect R;
        GetClientRect(FHandle, R);
        return R;
    }
    // No window yet: the frame its styles will give.
    TCreateParams P;
    const_cast<TWinControl*>(this)->CreateParams(P);
    return ClientRectFromStyles(P.Style, P.ExStyle, FWidth, FHeight);
}

TPoint TWinControl::ClientOrigin() const {
    if (FHandle) {
        TPoint P(0, 0);
        ::ClientToScreen(FHandle, P);
        return P;
    }
    TPoint Base = FParent ? FParent->ClientOrigin() : TPoint(0, 0);
    TCreateParams P;
    const_cast<TWinControl*>(this)->CreateParams(P);
    TPoint Inset = ClientOffsetFromStyles(P.Style, P.ExStyle);
    return TPoint(Base.x + FLeft + Inset.x, Base.y + FTop + Inset.y);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewSize(AWidth, AHeight)) return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    if (FHandle) {
        const TRect Before = BoundsRect();
        ::SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        // The window answers with WM_WINDOWPOSCHANGED and WM_SIZE, which update
        // the fields; a handler there may have set other bounds (a spin edit
        // keeps its least height), which stand.
        if (BoundsRect() == Before) {
            FLeft = ALeft;
            FTop = ATop;
            FWidth = AWidth;
            FHeight = AHeight;
        }
    } else {
        bool Sized = AWidth != FWidth || AHeight != FHeight;
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        if (Sized) {
            Realign();
            if (!ComponentState().Contains(csLoading)) Resize();
        }
    }
    UpdateAnchorRules();
    RequestAlign();
}

void TWinControl::UpdateBounds() {
    if (!FHandle) return;
    TRect R;
    GetWindowRect(FHandle, R);
    if (FParent) {
        TPoint TL = FParent->ScreenToClient(R.TopLeft());
        R = Bounds(TL.x, TL.y, R.Width(), R.Height());
    }
    FLeft = R.Left;
    FTop = R.Top;
    FWidth = R.Width();
    FHeight = R.Height();
    UpdateAnchorRules();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    const TWindowPos* Pos = LParamToPointer<const TWindowPos>(Message.LParam);
    bool Framed =
        Ctl3D() && FControlStyle.Contains(csFramed) && FParent && Pos && !(Pos->flags & SWP_NOREDRAW);
    if (Framed && FParent->HandleAllocated()) {
        TRect R = BoundsRect();
        InflateRect(R, 1, 1);
        InvalidateRect(FParent->Handle(), &R, true);
    }
    if (Pos) UpdateBounds();
    DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message) {
    UpdateBounds();
    DefaultHandler(Message);
    Realign();
    if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& Message) {
    DefaultHandler(Message);
    UpdateBounds();
}

// --- children ---

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EListError("Control index out of bounds (" + IntToStr(Index) + ")");
    size_t I = static_cast<size_t>(Index);
    if (I < FControls.size()) return FControls[I];
    return FWinControls[I - FControls.size()];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* C = Control; C; C = C->Parent())
        if (C == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    auto Takes = [&](TControl* C) {
        if (!C->Visible() || (!AllowDisabled && !C->Enabled())) return false;
        if (!PtInRect(C->BoundsRect(), Pos)) return false;
        return C->Perform(CM_HITTEST, 0, MakeLParam(Pos.x - C->Left(), Pos.y - C->Top())) != 0;
    };
    if (AllowWinControls)
        for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
            if (Takes(*It)) return *It;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
        if (Takes(*It)) return *It;
    return nullptr;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < ControlCount(); ++i)
        if (TControl* C = Controls(i); C->Owner() == Root) Proc(C);
}

void TWinControl::Broadcast(TMessage& Message) {
    std::vector<TControl*> All;
    for (int I = 0; I < ControlCount(); ++I) All.push_back(Controls(I));
    for (TControl* C : All) {
        if (!ContainsControl(C)) continue;  // a handler removed it meanwhile
        if (C->WindowProc) C->WindowProc(Message);
        else C->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage M;
    M.Msg = Msg;
    Broadcast(M);
}

void TWinControl::Insert(TControl* AControl) {
    if (!AControl) return;
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(W);
        FTabList.push_back(W);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
}

void TWinControl::Remove(TControl* AControl) {
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        EraseValue(FWinControls, W);
        EraseValue(FTabList, W);
    } else {
        EraseValue(FControls, AControl);
    }
    AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    Insert(AControl);
    if (!AControl->ComponentState().Contains(csReading)) {
        AControl->Perform(CM_PARENTCOLORCHANGED);
        AControl->Perform(CM_PARENTFONTCHANGED);
        AControl->Perform(CM_PARENTSHOWHINTCHANGED);
        AControl->Perform(CM_PARENTBIDIMODECHANGED);
        if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
            AControl->Perform(CM_PARENTCTL3DCHANGED);
            W->UpdateControlState();
        } else if (FHandle) {
            AControl->Invalidate();
        }
        AlignControl(AControl);
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
        W->RemoveFocus(true);
        W->DestroyHandle();
    } else if (FHandle) {
        AControl->InvalidateControl(AControl->Visible(), false);
    }
    Remove(AControl);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    Realign();
}

void TWinControl::SetZOrder(bool TopMost) {
    if (!FParent) {
        if (FHandle)
            ::SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    auto& List = FParent->FWinControls;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end()) return;
    List.erase(It);
    if (TopMost) List.push_back(this);
    else List.insert(List.begin(), this);
    if (FHandle)
        ::SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- alignment ---

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && !ComponentState().Contains(csDestroying) &&
        FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
    if (ComponentState().Contains(csDestroying)) return;
    if (FAlignLevel != 0 || ComponentState().Contains(csLoading)) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    try {
        TRect R = ClientRect();
        AlignControls(AControl, R);
    } catch (...) {
        FControlState.Exclude(csAlignmentNeeded);
        --FAlignLevel;
        throw;
    }
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    AdjustClientRect(Rect);
    std::vector<TControl*> All;
    for (int I = 0; I < ControlCount(); ++I) All.push_back(Controls(I));

    auto InsertBefore = [](TControl* C1, TControl* C2, TAlign A) {
        switch (A) {
        case alTop: return C1->Top() < C2->Top();
        case alBottom: return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
        case alLeft: return C1->Left() < C2->Left();
        case alRight: return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
        default: return false;
        }
    };
    auto DoPosition = [&](TControl* C, TAlign A) {
        int L = Rect.Left, T = Rect.Top, W = Rect.Width(), H = Rect.Height();
        switch (A) {
        case alTop: H = C->Height(); break;
        case alBottom:
            H = C->Height();
            T = Rect.Bottom - H;
            break;
        case alLeft: W = C->Width(); break;
        case alRight:
            W = C->Width();
            L = Rect.Right - W;
            break;
        default: break;
        }
        C->SetBounds(L, T, W, H);
        // The control may have kept another size (constraints): the rest follows what it took.
        switch (A) {
        case alTop: Rect.Top += C->Height(); break;
        case alBottom: Rect.Bottom -= C->Height(); break;
        case alLeft: Rect.Left += C->Width(); break;
        case alRight: Rect.Right -= C->Width(); break;
        default: break;
        }
    };
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> List;
        if (AControl && AControl->Visible() && AControl->Align() == A && ContainsControl(AControl) &&
            AControl->Parent() == this)
            List.push_back(AControl);
        for (TControl* C : All) {
            if (C->Align() != A || !C->Visible() || C == AControl) continue;
            size_t J = 0;
            while (J < List.size() && !InsertBefore(C, List[J], A)) ++J;
            List.insert(List.begin() + static_cast<std::ptrdiff_t>(J), C);
        }
        for (TControl* C : List) DoPosition(C, A);
    }
    for (TControl* C : All)
        if (C->Align() == alNone && C->Parent() == this) C->AnchorsFollowParent();
}

// --- focus and tab order ---

bool TWinControl::CanFocus() const {
    TCustomForm* Form = GetParentForm(this);
    if (!Form) return false;
    for (const TControl* C = this; C && C != static_cast<const TControl*>(Form); C = C->Parent())
        if (!C->Visible() || !C->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    if (TCustomForm* Form = GetParentForm(this)) {
        Form->FocusControl(this);
    } else if (FParentWindow) {
        ::SetFocus(Handle());
    } else {
        ValidParentForm(this);
    }
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        LONG_PTR Style = GetWindowLong(FHandle, GWL_STYLE);
        SetWindowLong(FHandle, GWL_STYLE,
                      Value ? (Style | WS_TABSTOP) : (Style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& L = FParent->FTabList;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& L = FParent->FTabList;
    auto It = std::find(L.begin(), L.end(), this);
    if (It == L.end()) return;
    int Count = static_cast<int>(L.size());
    if (Value < 0 || Value >= Count) Value = Count - 1;
    L.erase(It);
    L.insert(L.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    if (List.empty()) return nullptr;
    int Count = static_cast<int>(List.size());
    auto Found = std::find(List.begin(), List.end(), CurControl);
    int Start = Found == List.end() ? (GoForward ? Count - 1 : 0) : static_cast<int>(Found - List.begin());
    int I = Start;
    do {
        if (GoForward) {
            if (++I == Count) I = 0;
        } else {
            if (I == 0) I = Count;
            --I;
        }
        TWinControl* C = List[static_cast<size_t>(I)];
        if (C->CanFocus() && (!CheckTabStop || C->TabStop()) && (!CheckParent || C->Parent() == this))
            return C;
    } while (I != Start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        Next->SetFocus();
}

void TWinControl::SelectFirst() {
    TCustomForm* Form = GetParentForm(this);
    if (!Form) return;
    TWinControl* C = FindNextControl(nullptr, true, true, false);
    if (!C) C = FindNextControl(nullptr, true, false, false);
    if (C) C->SetFocus();
}

void TWinControl::RemoveFocus(bool Removing) {
    if (TCustomForm* Form = GetParentForm(this)) Form->DefocusControl(this, Removing);
}

void TWinControl::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }
void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
    if (Assigned(OnEnter)) OnEnter(this);
}

void TWinControl::DoExit() {
    if (Assigned(OnExit)) OnExit(this);
}

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

// --- keys ---

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (Assigned(OnKeyDown)) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (Assigned(OnKeyUp)) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (Assigned(OnKeyPress)) OnKeyPress(this, Key);
}

// A form that previews keys sees them first, through the same step.
bool TWinControl::FormPreviews(TMessage& Message, bool (TWinControl::*Step)(TMessage&)) {
    TCustomForm* Form = GetParentForm(this);
    return Form && Form != static_cast<TControl*>(this) && Form->KeyPreview() && (Form->*Step)(Message);
}

bool TWinControl::RunKeyEvent(TMessage& Message, bool Down) {
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    WORD Key = Message.CharCode();
    if (Down) KeyDown(Key, KeyDataToShiftState(Message.KeyData()));
    else KeyUp(Key, KeyDataToShiftState(Message.KeyData()));
    Message.SetCharCode(Key);
    return Key == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    return FormPreviews(Message, &TWinControl::DoKeyDown) || RunKeyEvent(Message, true);
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    return FormPreviews(Message, &TWinControl::DoKeyUp) || RunKeyEvent(Message, false);
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    if (FormPreviews(Message, &TWinControl::DoKeyPress)) return true;
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    char Key = static_cast<char>(Message.CharCode());
    KeyPress(Key);
    Message.SetCharCode(static_cast<unsigned char>(Key));
    return Key == 0;
}

void TWinControl::WMKeyDown(TMessage& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TMessage& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
    if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::CNKeyDown(TMessage& Message) {
    Message.Result = 1;
    // A short cut of a popup menu this control (or a parent) names comes
    // first, then one of its form's main menu; F10 goes to the menu bar.
    if (IsMenuKey(this, Message) || IsMenuBarKey(this, Message)) return;
    if (Perform(CM_CHILDKEY, Message.CharCode(), PointerToLParam(this)) != 0) return;
    LRESULT Mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB: Mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: Mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: Mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (Mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE) & Mask) == 0) {
        TCustomForm* Form = GetParentForm(this);
        if (Form && Form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message) {
    // Alt with a short cut, then Alt with a letter of the form's menu bar.
    Message.Result = 1;
    if (IsMenuKey(this, Message) || IsMenuBarKey(this, Message)) return;
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        TCustomForm* Form = GetParentForm(this);
        if (Form && Form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& Message) {
    if (Message.CharCode() == VK_SPACE) return;
    if (TCustomForm* Form = GetParentForm(this))
        Message.Result = Form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.LParam);
}

void TWinControl::CMChildKey(TMessage& Message) {
    if (FParent) Message.Result = FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

// --- notifications from child windows ---

void TWinControl::WMCommand(TMessage& Message) {
    if (!DoControlMsg(LParamToHandle(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
    const TNMHdr* Hdr = LParamToPointer<const TNMHdr>(Message.LParam);
    if (!Hdr || !DoControlMsg(Hdr->hwndFrom, Message)) DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message) {
    const TDrawItemStruct* D = LParamToPointer<const TDrawItemStruct>(Message.LParam);
    if (!D || !DoControlMsg(D->hwndItem, Message)) DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message) {
    const TMeasureItemStruct* M = LParamToPointer<const TMeasureItemStruct>(Message.LParam);
    if (!M || !DoControlMsg(M->hwndItem, Message)) DefaultHandler(Message);
}

void TWinControl::WMHScroll(TMessage& Message) {
    if (!Message.LParam || !DoControlMsg(LParamToHandle(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMVScroll(TMessage& Message) {
    if (!Message.LParam || !DoControlMsg(LParamToHandle(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TMessage& Message) {
    // A windowless child under the mouse shows its own menu first.
    TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
             static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam))));
    if (!(P.x == -1 && P.y == -1))
        if (TControl* Child = ControlAtPos(ScreenToClient(P), false)) {
            Message.Result = Child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
            if (Message.Result) return;
        }
    TControl::WMContextMenu(Message);
}

// --- the cursor ---

void TWinControl::WMSetCursor(TMessage& Message) {
    if (WParamToHandle(Message.WParam) == FHandle &&
        static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))) == HTCLIENT) {
        TCursor C = Screen ? Screen->Cursor() : crDefault;
        if (C == crDefault) {
            TPoint P;
            GetCursorPos(P);
            if (TControl* Child = ControlAtPos(ScreenToClient(P), false)) C = Child->Cursor();
            if (C == crDefault) C = Cursor();
        }
        if (C != crDefault) {
            ::SetCursor(Screen ? Screen->Cursors(C) : LoadStandardCursor(C));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

// --- painting ---

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::CMInvalidate(TMessage& Message) {
    if (!FHandle) return;
    if (FParent) FParent->Perform(CM_INVALIDATE, 1, 0);
    if (Message.WParam == 0) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::WMPaint(TMessage& Message) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) DefaultHandler(Message);
    else PaintHandler(Message);
}

void TWinControl::PaintHandler(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    TPaintStruct PS;
    bool Own = DC == nullptr;
    if (Own) DC = BeginPaint(Handle(), PS);
    try {
        if (FControls.empty()) {
            PaintWindow(DC);
        } else {
            int Saved = DC->SaveDC();
            int Clip = SIMPLEREGION;
            for (TControl* C : FControls)
                if (C->Visible() && C->ControlStyle().Contains(csOpaque)) {
                    Clip = DC->ExcludeClipRect(C->Left(), C->Top(), C->Left() + C->Width(),
                                               C->Top() + C->Height());
                    if (Clip == NULLREGION) break;
                }
            if (Clip != NULLREGION) PaintWindow(DC);
            DC->RestoreDC(Saved);
        }
        PaintControls(DC, nullptr);
    } catch (...) {
        if (Own) EndPaint(FHandle, PS);
        throw;
    }
    if (Own) EndPaint(FHandle, PS);
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage M;
    M.Msg = WM_PAINT;
    M.WParam = reinterpret_cast<WPARAM>(DC);
    DefaultHandler(M);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    size_t Start = 0;
    if (First) {
        auto It = std::find(FControls.begin(), FControls.end(), First);
        Start = It == FControls.end() ? 0 : static_cast<size_t>(It - FControls.begin());
    }
    std::vector<TControl*> List(FControls.begin() + static_cast<std::ptrdiff_t>(Start), FControls.end());
    for (TControl* C : List) {
        if (!C->Visible() || !ContainsControl(C)) continue;
        TRect R = C->BoundsRect();
        if (!DC->RectVisible(R)) continue;
        if (FControlState.Contains(csPaintCopy)) C->FControlState.Include(csPaintCopy);
        int Saved = DC->SaveDC();
        MoveWindowOrg(DC, C->Left(), C->Top());
        DC->IntersectClipRect(0, 0, C->Width(), C->Height());
        C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        DC->RestoreDC(Saved);
        C->FControlState.Exclude(csPaintCopy);
    }
    PaintFrames(DC);
}

// The old 3D frame around framed windowed children, drawn on the parent.
void TWinControl::PaintFrames(HDC DC) {
    for (TWinControl* W : FWinControls) {
        if (!W->Ctl3D() || !W->ControlStyle().Contains(csFramed) || !W->Visible()) continue;
        TRect R = W->BoundsRect();
        InflateRect(R, 1, 1);
        Frame3D(DC, R, clBtnShadow, clBtnHighlight, 1);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (DC) DC->FillRect(ClientRect(), *FBrush);
    Message.Result = 1;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    FControlState.Include(csPaintCopy);
    int Saved = DC->SaveDC();
    try {
        MoveWindowOrg(DC, X, Y);
        DC->IntersectClipRect(0, 0, FWidth, FHeight);
        if (FHandle) PaintNonClient(FHandle, *DC);
        TPoint Inset(0, 0);
        if (FHandle) {
            TPoint Origin(0, 0);
            ::ClientToScreen(FHandle, Origin);
            TRect WR;
            GetWindowRect(FHandle, WR);
            Inset = TPoint(Origin.x - WR.Left, Origin.y - WR.Top);
        }
        MoveWindowOrg(DC, Inset.x, Inset.y);
        TRect C = ClientRect();
        DC->IntersectClipRect(0, 0, C.Width(), C.Height());
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
        Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        for (TWinControl* W : std::vector<TWinControl*>(FWinControls))
            if (W->Visible()) W->PaintTo(DC, W->Left(), W->Top());
    } catch (...) {
        DC->RestoreDC(Saved);
        FControlState.Exclude(csPaintCopy);
        throw;
    }
    DC->RestoreDC(Saved);
    FControlState.Exclude(csPaintCopy);
}

// --- scaling and loading ---

void TWinControl::ChangeScale(int M, int D) {
    DisableAlign();
    for (int I = 0; I < ControlCount(); ++I) Controls(I)->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
    EnableAlign();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (FHandle) UpdateBounds();
    if (FControlState.Contains(csAlignmentNeeded) || !FControls.empty() || !FWinControls.empty()) Realign();
}

// ---------------------------------------------------------------------------
// TControlCanvas
// ---------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
    if (FControl == Value) return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::SetHandle(HDC DC) {
    FreeHandle();
    if (!DC) return;
    AdoptDC(*this, DC);
}

void TControlCanvas::PaintThrough(HDC DC, const std::function<void()>& Paint) {
    SetHandle(DC);
    if (FControl) {
        Font()->Assign(FControl->Font());
        SetTextColor(FControl->Font()->Color());
        Brush()->SetColor(FControl->Color());
    }
    try {
        Paint();
    } catch (...) {
        SetHandle(nullptr);
        throw;
    }
    SetHandle(nullptr);
}

void TControlCanvas::HandleNeeded() {
    if (Surface() || !FControl) return;
    TWinControl* Win = dynamic_cast<TWinControl*>(FControl);
    TPoint Offset(0, 0);
    if (!Win) {
        Win = FControl->Parent();
        Offset = TPoint(FControl->Left(), FControl->Top());
    }
    if (!Win) return;
    HWND Wnd = Win->Handle();
    HDC DC = GetDC(Wnd);
    if (!DC) return;
    if (Offset.x || Offset.y) {
        DC->IntersectClipRect(Offset.x, Offset.y, Offset.x + FControl->Width(),
                              Offset.y + FControl->Height());
        MoveWindowOrg(DC, Offset.x, Offset.y);
    }
    AdoptDC(*this, DC);
    FOwnDC = DC;
    FDCWindow = Wnd;
    BoundCanvases().push_back(this);
}

void TControlCanvas::FreeHandle() {
    if (FOwnDC) {
        ReleaseDC(FDCWindow, FOwnDC);
        FOwnDC = nullptr;
        FDCWindow = nullptr;
        EraseValue(BoundCanvases(), this);
    }
    AdoptDC(*this, nullptr);
}

// ---------------------------------------------------------------------------
// TCustomControl and TGraphicControl
// ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { delete FCanvas; }

TCanvas* TCustomControl::Canvas() {
    FCanvas->HandleNeeded();
    return FCanvas;
}

void TCustomControl::WMPaint(TMessage& Message) {
    FControlState.Include(csCustomPaint);
    try {
        TWinControl::WMPaint(Message);
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        throw;
    }
    FControlState.Exclude(csCustomPaint);
}

void TCustomControl::PaintWindow(HDC DC) {
    FCanvas->PaintThrough(DC, [this] { Paint(); });
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { delete FCanvas; }

TCanvas* TGraphicControl::Canvas() {
    FCanvas->HandleNeeded();
    return FCanvas;
}

void TGraphicControl::WMPaint(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (DC) FCanvas->PaintThrough(DC, [this] { Paint(); });
}
