// The window tree: classes, creation and destruction, window data,
// placement, z-order, visibility, window regions, hit tests and the default
// window procedure.
#include "platform/win/WindowManager.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/rtl/Exceptions.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowTree.h"

namespace wm {
namespace {

struct TState {
    std::unordered_map<uintptr_t, std::unique_ptr<TWindow>> Windows;
    std::vector<TWindow*> TopLevels;                                 // the first lies on top
    std::map<AnsiString, std::shared_ptr<const TWndClass>> Classes;  // by upper-case name
    // Handles start high and only grow, so a stale handle never names a new window.
    uintptr_t NextHandle = 0x10000;
};

TState& S() {
    static TState State;
    return State;
}

AnsiString ClassKey(std::string_view Name) { return UpperCase(Name); }

void Unlink(TWindow& W) {
    auto& List = W.Parent ? W.Parent->Children : S().TopLevels;
    List.erase(std::remove(List.begin(), List.end(), &W), List.end());
}

// Top-level windows keep the stay-on-top ones above the others.
void LinkTopLevel(TWindow& W, bool OnTop) {
    auto& List = S().TopLevels;
    bool Topmost = (W.ExStyle & WS_EX_TOPMOST) != 0;
    auto FirstPlain =
        std::find_if(List.begin(), List.end(), [](TWindow* T) { return (T->ExStyle & WS_EX_TOPMOST) == 0; });
    if (Topmost) List.insert(OnTop ? List.begin() : FirstPlain, &W);
    else List.insert(OnTop ? FirstPlain : List.end(), &W);
}

void LinkChild(TWindow& W, TWindow& Parent, bool OnTop) {
    W.Parent = &Parent;
    if (OnTop) Parent.Children.insert(Parent.Children.begin(), &W);
    else Parent.Children.push_back(&W);
}

void EnsureSurface(TWindow& W) {
    if (W.Parent) {
        W.Surface.reset();
        return;
    }
    if (!W.Surface) W.Surface = std::make_unique<TSurface>();
    SurfaceResized(W);
}

bool RegionHolds(const TWindow& W, TPoint WindowPt) { return !W.Shape || W.Shape->Contains(WindowPt); }

// The window that should take the activation when Going stops being active.
TWindow* NextToActivate(TWindow* Going) {
    if (Going && Going->Owner) {
        TWindow* Owner = Find(Going->Owner);
        if (Owner && IsShowing(*Owner) && !(Owner->Style & WS_DISABLED)) return Owner;
    }
    for (TWindow* T : S().TopLevels)
        if (T != Going && IsShowing(*T) && !(T->Style & WS_DISABLED) && !(T->ExStyle & WS_EX_NOACTIVATE) &&
            !(T->ExStyle & WS_EX_TOOLWINDOW))
            return T;
    return nullptr;
}

void DestroyTree(TWindow& W, std::vector<TWindow*>& Order) {
    W.Destroying = true;
    Order.push_back(&W);
    Send(W, WM_DESTROY);
    std::vector<TWindow*> Kids = W.Children;
    for (TWindow* C : Kids)
        if (Find(C->Handle) && !C->Destroying) DestroyTree(*C, Order);
}

}  // namespace

// --- registry and geometry ---

TWindow* Find(HWND Wnd) {
    if (!Wnd) return nullptr;
    auto It = S().Windows.find(reinterpret_cast<uintptr_t>(Wnd));
    return It == S().Windows.end() ? nullptr : It->second.get();
}

TWindow& Get(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W) throw EInvalidOperation("Invalid window handle");
    return *W;
}

const std::vector<TWindow*>& TopLevels() { return S().TopLevels; }

TInsets NonClientInsets(const TWindow& W) {
    TInsets I;
    int Border = 0;
    if (W.Style & WS_THICKFRAME) Border = GetSystemMetrics(SM_CXFRAME);
    else if ((W.Style & WS_DLGFRAME) || (W.ExStyle & WS_EX_DLGMODALFRAME))
        Border = GetSystemMetrics(SM_CXDLGFRAME);
    else if (W.Style & WS_BORDER) Border = GetSystemMetrics(SM_CXBORDER);
    if (W.ExStyle & WS_EX_CLIENTEDGE) Border += GetSystemMetrics(SM_CXEDGE);
    if (W.ExStyle & WS_EX_STATICEDGE) Border += GetSystemMetrics(SM_CXBORDER);
    I.Left = I.Top = I.Right = I.Bottom = Border;
    if ((W.Style & WS_CAPTION) == WS_CAPTION) I.Top += GetSystemMetrics(SM_CYCAPTION);
    if (!W.Parent) I.Top += W.MenuBar;
    if (W.Style & WS_VSCROLL) I.Right += GetSystemMetrics(SM_CXVSCROLL);
    if (W.Style & WS_HSCROLL) I.Bottom += GetSystemMetrics(SM_CYHSCROLL);
    return I;
}

TRect ClientRect(const TWindow& W) {
    TInsets I = NonClientInsets(W);
    return TRect(0, 0, std::max(0, W.Bounds.Width() - I.Left - I.Right),
                 std::max(0, W.Bounds.Height() - I.Top - I.Bottom));
}

TWindow* TopLevelOf(TWindow* W) {
    while (W && W->Parent) W = W->Parent;
    return W;
}

TPoint WindowOriginOnSurface(const TWindow& W) {
    if (!W.Parent) return TPoint(0, 0);
    TPoint P = ClientOriginOnSurface(*W.Parent);
    return TPoint(P.x + W.Bounds.Left, P.y + W.Bounds.Top);
}

TPoint ClientOriginOnSurface(const TWindow& W) {
    TPoint P = WindowOriginOnSurface(W);
    TInsets I = NonClientInsets(W);
    return TPoint(P.x + I.Left, P.y + I.Top);
}

TPoint ScreenOfSurface(const TWindow& Top) { return Top.Bounds.TopLeft(); }

bool IsShowing(const TWindow& W) {
    for (const TWindow* P = &W; P; P = P->Parent)
        if (!(P->Style & WS_VISIBLE)) return false;
    return true;
}

bool IsEnabledChain(const TWindow& W) {
    for (const TWindow* P = &W; P; P = P->Parent)
        if (P->Style & WS_DISABLED) return false;
    return true;
}

TRegion CoveredArea(const TWindow& W) {
    TRegion R(W.Bounds);
    if (W.Shape) {
        TRegion Shape = *W.Shape;
        Shape.Offset(W.Bounds.Left, W.Bounds.Top);
        R = TRegion::Combine(R, Shape, RGN_AND);
    }
    return R;
}

TRegion VisibleRegion(const TWindow& W, bool Client, bool ExcludeChildren) {
    if (!IsShowing(W)) return TRegion();
    TPoint Origin = Client ? ClientOriginOnSurface(W) : WindowOriginOnSurface(W);
    TRect Own = Client ? ClientRect(W) : TRect(0, 0, W.Bounds.Width(), W.Bounds.Height());
    OffsetRect(Own, Origin.x, Origin.y);
    TRegion R(Own);
    if (W.Shape) {
        TRegion Shape = *W.Shape;
        TPoint WO = WindowOriginOnSurface(W);
        Shape.Offset(WO.x, WO.y);
        R = TRegion::Combine(R, Shape, RGN_AND);
    }
    for (const TWindow* Child = &W; Child->Parent && !R.Empty(); Child = Child->Parent) {
        const TWindow& P = *Child->Parent;
        TPoint PO = ClientOriginOnSurface(P);
        TRect PC = ClientRect(P);
        OffsetRect(PC, PO.x, PO.y);
        R = R.Intersected(PC);
        if (P.Shape) {
            TRegion Shape = *P.Shape;
            TPoint WO = WindowOriginOnSurface(P);
            Shape.Offset(WO.x, WO.y);
            R = TRegion::Combine(R, Shape, RGN_AND);
        }
        for (const TWindow* Sib : P.Children) {
            if (Sib == Child) break;
            if (!(Sib->Style & WS_VISIBLE) || (Sib->ExStyle & WS_EX_TRANSPARENT)) continue;
            TRegion Cover = CoveredArea(*Sib);
            Cover.Offset(PO.x, PO.y);
            R = TRegion::Combine(R, Cover, RGN_DIFF);
        }
    }
    if (ExcludeChildren) {
        TPoint CO = ClientOriginOnSurface(W);
        for (const TWindow* C : W.Children) {
            if (!(C->Style & WS_VISIBLE) || (C->ExStyle & WS_EX_TRANSPARENT)) continue;
            TRegion Cover = CoveredArea(*C);
            Cover.Offset(CO.x, CO.y);
            R = TRegion::Combine(R, Cover, RGN_DIFF);
        }
    }
    return R;
}

LRESULT Send(TWindow& W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    HWND H = W.Handle;
    TWndProc Proc = W.Proc;  // the procedure may replace itself or end the window
    if (!Proc) return DefWindowProc(H, Msg, WParam, LParam);
    return Proc(H, Msg, WParam, LParam);
}

void ClearAll() {
    std::vector<TWindow*> Tops = S().TopLevels;
    for (TWindow* T : Tops)
        if (Find(T->Handle)) DestroyWindow(T->Handle);
    // Windows that could not be destroyed through their procedures go anyway.
    S().Windows.clear();
    S().TopLevels.clear();
}

// Hit test below W's client area: the deepest child that takes the point.
static TWindow* HitChildren(TWindow& W, TPoint Screen, LRESULT& Code) {
    TPoint CO = ClientOriginOnSurface(W);
    TWindow* Top = TopLevelOf(&W);
    TPoint SO = ScreenOfSurface(*Top);
    for (TWindow* C : W.Children) {
        if (!(C->Style & WS_VISIBLE) || (C->Style & WS_DISABLED)) continue;
        TPoint InParent(Screen.x - SO.x - CO.x, Screen.y - SO.y - CO.y);
        if (!PtInRect(C->Bounds, InParent)) continue;
        if (!RegionHolds(*C, TPoint(InParent.x - C->Bounds.Left, InParent.y - C->Bounds.Top))) continue;
        TRect Client = ClientRect(*C);
        TPoint CC = ClientOriginOnSurface(*C);
        TRect ClientOnSurface = Client;
        OffsetRect(ClientOnSurface, CC.x, CC.y);
        if (PtInRect(ClientOnSurface, TPoint(Screen.x - SO.x, Screen.y - SO.y))) {
            if (TWindow* Deep = HitChildren(*C, Screen, Code)) return Deep;
        }
        LRESULT Hit = Send(*C, WM_NCHITTEST, 0, MakeLParam(Screen.x, Screen.y));
        if (!Find(C->Handle)) return nullptr;
        if (Hit == HTTRANSPARENT) continue;
        Code = Hit;
        return C;
    }
    return nullptr;
}

TWindow* HitTest(TPoint Screen, LRESULT& Code) {
    Code = HTNOWHERE;
    std::vector<TWindow*> Tops = S().TopLevels;
    for (TWindow* T : Tops) {
        if (!Find(T->Handle) || !(T->Style & WS_VISIBLE)) continue;
        if (!PtInRect(T->Bounds, Screen)) continue;
        if (!RegionHolds(*T, TPoint(Screen.x - T->Bounds.Left, Screen.y - T->Bounds.Top))) continue;
        if (T->Style & WS_DISABLED) {
            Code = HTERROR;
            return T;
        }
        TRect Client = ClientRect(*T);
        TPoint CC = ClientOriginOnSurface(*T);
        OffsetRect(Client, CC.x + T->Bounds.Left, CC.y + T->Bounds.Top);
        if (PtInRect(Client, Screen))
            if (TWindow* Deep = HitChildren(*T, Screen, Code)) return Deep;
        LRESULT Hit = Send(*T, WM_NCHITTEST, 0, MakeLParam(Screen.x, Screen.y));
        if (!Find(T->Handle) || Hit == HTTRANSPARENT) continue;
        Code = Hit;
        return T;
    }
    return nullptr;
}

void SetActiveOther(TWindow* Going) {
    TWindow* Next = NextToActivate(Going);
    SetActiveWindow(Next ? Next->Handle : nullptr);
}

}  // namespace wm

using namespace wm;

// --- classes ---

bool RegisterWindowClass(const TWndClass& Class) {
    AnsiString Key = ClassKey(Class.Name);
    if (Key.empty() || S().Classes.count(Key)) return false;
    S().Classes[Key] = std::make_shared<const TWndClass>(Class);
    return true;
}

bool UnregisterWindowClass(std::string_view Name) { return S().Classes.erase(ClassKey(Name)) > 0; }

bool GetWindowClassInfo(std::string_view Name, TWndClass& Class) {
    auto It = S().Classes.find(ClassKey(Name));
    if (It == S().Classes.end()) return false;
    Class = *It->second;
    return true;
}

AnsiString GetClassName(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W ? W->Class->Name : AnsiString();
}

// --- creation and destruction ---

HWND CreateWindowEx(DWORD ExStyle, std::string_view ClassName, std::string_view WindowName, DWORD Style,
                    int X, int Y, int Width, int Height, HWND Parent, LONG_PTR Id, void* Param,
                    TWndProc InstanceProc) {
    auto ClassIt = S().Classes.find(ClassKey(ClassName));
    if (ClassIt == S().Classes.end()) return nullptr;
    TWindow* ParentW = nullptr;
    if (Style & WS_CHILD) {
        ParentW = Find(Parent);
        if (!ParentW || ParentW->Destroying) return nullptr;
    }
    auto Owned = std::make_unique<TWindow>();
    TWindow& W = *Owned;
    W.Handle = reinterpret_cast<HWND>(S().NextHandle++);
    W.Class = ClassIt->second;
    W.Proc = InstanceProc ? std::move(InstanceProc) : W.Class->WndProc;
    W.Style = Style & ~WS_VISIBLE;
    W.ExStyle = ExStyle;
    W.Bounds = TRect(X, Y, X + std::max(0, Width), Y + std::max(0, Height));
    W.Text = AnsiString(WindowName);
    W.Id = Id;
    if (ParentW) {
        LinkChild(W, *ParentW, true);
    } else {
        if (TWindow* Owner = Find(Parent)) W.Owner = Owner->Handle;
        LinkTopLevel(W, true);
    }
    S().Windows[reinterpret_cast<uintptr_t>(W.Handle)] = std::move(Owned);
    EnsureSurface(W);

    TCreateStruct CS;
    CS.CreateParams = Param;
    CS.Parent = Parent;
    CS.X = X;
    CS.Y = Y;
    CS.Width = Width;
    CS.Height = Height;
    CS.Style = Style;
    CS.ExStyle = ExStyle;
    CS.WindowName = W.Text;
    CS.ClassName = W.Class->Name;
    HWND H = W.Handle;
    bool Ok = Send(W, WM_NCCREATE, 0, PointerToLParam(&CS)) != 0;
    if (Ok && Find(H)) Ok = Send(W, WM_CREATE, 0, PointerToLParam(&CS)) != -1;
    if (!Ok || !Find(H)) {
        if (Find(H)) DestroyWindow(H);
        return nullptr;
    }
    if (Style & WS_VISIBLE) ShowWindow(H, SW_SHOWNA);
    return H;
}

bool DestroyWindow(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W || W->Destroying) return false;
    bool WasShowing = IsShowing(*W);
    TWindow* Parent = W->Parent;
    TRegion OldArea = WasShowing && Parent ? CoveredArea(*W) : TRegion();
    if (W->Style & WS_VISIBLE) {
        // Hiding first moves the focus and the activation on, as the user sees it.
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        W = Find(Wnd);
        if (!W || W->Destroying) return W != nullptr;
    }
    WindowGoing(*W);
    std::vector<TWindow*> Order;
    DestroyTree(*W, Order);
    for (auto It = Order.rbegin(); It != Order.rend(); ++It) {
        TWindow* D = *It;
        if (!Find(D->Handle)) continue;
        WindowGoing(*D);
        Send(*D, WM_NCDESTROY);
    }
    for (auto It = Order.rbegin(); It != Order.rend(); ++It) {
        TWindow* D = *It;
        if (!Find(D->Handle)) continue;
        HWND H = D->Handle;
        CaretWindowGone(*D);
        InputWindowGone(*D);
        TimersWindowGone(H);
        ClearQueueFor(H);
        ForgetWindowDCs(*D);
        if (!D->Parent && D->DisplayMapped) CurrentDisplay().WindowDestroyed(H);
        Unlink(*D);
        for (TWindow* C : D->Children) C->Parent = nullptr;
        D->Children.clear();
        S().Windows.erase(reinterpret_cast<uintptr_t>(H));
    }
    if (Parent && Find(Parent->Handle) && !OldArea.Empty()) InvalidateInternal(*Parent, OldArea, true, true);
    return true;
}

bool IsWindow(HWND Wnd) { return Find(Wnd) != nullptr; }

// --- procedure and data ---

LRESULT CallWindowProc(const TWndProc& Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Proc) return DefWindowProc(Wnd, Msg, WParam, LParam);
    return Proc(Wnd, Msg, WParam, LParam);
}

TWndProc SubclassWindow(HWND Wnd, TWndProc Proc) {
    TWindow* W = Find(Wnd);
    if (!W) return {};
    TWndProc Old = std::move(W->Proc);
    W->Proc = std::move(Proc);
    return Old;
}

TWndProc GetWindowProc(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W ? W->Proc : TWndProc();
}

LONG_PTR GetWindowLong(HWND Wnd, int Index) {
    TWindow* W = Find(Wnd);
    if (!W) return 0;
    switch (Index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(W->Style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(W->ExStyle);
    case GWL_ID: return W->Id;
    case GWL_USERDATA: return W->UserData;
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(W->Parent ? W->Parent->Handle : W->Owner);
    default: return 0;
    }
}

LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value) {
    TWindow* W = Find(Wnd);
    if (!W) return 0;
    LONG_PTR Old = GetWindowLong(Wnd, Index);
    switch (Index) {
    case GWL_STYLE: {
        DWORD NewStyle = static_cast<DWORD>(Value);
        TInsets Before = NonClientInsets(*W);
        W->Style = NewStyle;
        TInsets After = NonClientInsets(*W);
        if (std::memcmp(&Before, &After, sizeof Before) != 0) InvalidateFrame(*W);
        break;
    }
    case GWL_EXSTYLE: {
        DWORD Changed = (static_cast<DWORD>(Value) ^ W->ExStyle);
        W->ExStyle = static_cast<DWORD>(Value);
        if (!W->Parent && (Changed & WS_EX_TOPMOST)) {
            Unlink(*W);
            LinkTopLevel(*W, true);
        }
        break;
    }
    case GWL_ID: W->Id = Value; break;
    case GWL_USERDATA: W->UserData = Value; break;
    case GWL_HWNDPARENT:
        if (!W->Parent) W->Owner = reinterpret_cast<HWND>(Value);
        break;
    default: return 0;
    }
    return Old;
}

bool SetWindowText(HWND Wnd, std::string_view Text) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    AnsiString Copy(Text);
    return Send(*W, WM_SETTEXT, 0, PointerToLParam(Copy.c_str())) != 0;
}

AnsiString GetWindowText(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W) return {};
    LRESULT Length = Send(*W, WM_GETTEXTLENGTH);
    if (Length <= 0) return {};
    std::string Buffer(static_cast<size_t>(Length) + 1, '\0');
    LRESULT Got = Send(*W, WM_GETTEXT, Buffer.size(), PointerToLParam(Buffer.data()));
    Buffer.resize(static_cast<size_t>(std::clamp<LRESULT>(Got, 0, Length)));
    return Buffer;
}

int GetWindowTextLength(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W ? static_cast<int>(Send(*W, WM_GETTEXTLENGTH)) : 0;
}

// --- the tree ---

HWND GetParent(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W) return nullptr;
    return W->Parent ? W->Parent->Handle : (Find(W->Owner) ? W->Owner : nullptr);
}

HWND SetParent(HWND Wnd, HWND NewParent) {
    TWindow* W = Find(Wnd);
    if (!W) return nullptr;
    TWindow* NewP = Find(NewParent);
    if (NewParent && !NewP) return nullptr;
    for (TWindow* P = NewP; P; P = P->Parent)
        if (P == W) return nullptr;  // a window cannot go below itself
    TWindow* OldP = W->Parent;
    HWND OldHandle = OldP ? OldP->Handle : nullptr;
    if (OldP == NewP) return OldHandle;
    bool Visible = (W->Style & WS_VISIBLE) != 0;
    if (Visible && OldP && IsShowing(*OldP)) InvalidateInternal(*OldP, CoveredArea(*W), true, true);
    if (!OldP && W->DisplayMapped) {
        CurrentDisplay().WindowDestroyed(W->Handle);
        W->DisplayMapped = false;
    }
    bool WasActive = GetActiveWindow() == Wnd;
    Unlink(*W);
    if (NewP) {
        LinkChild(*W, *NewP, true);
        W->Style |= WS_CHILD;
        W->Style &= ~WS_POPUP;
    } else {
        W->Parent = nullptr;
        W->Style &= ~WS_CHILD;
        LinkTopLevel(*W, true);
    }
    EnsureSurface(*W);
    if (WasActive && NewP) SetActiveOther(W);
    if (Visible) {
        if (!NewP) {
            CurrentDisplay().WindowCreated(W->Handle);
            W->DisplayMapped = true;
            CurrentDisplay().WindowMoved(W->Handle, W->Bounds);
            CurrentDisplay().WindowShown(W->Handle, true);
        }
        RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return OldHandle;
}

bool IsChild(HWND Parent, HWND Wnd) {
    TWindow* P = Find(Parent);
    TWindow* W = Find(Wnd);
    if (!P || !W) return false;
    for (TWindow* A = W->Parent; A; A = A->Parent)
        if (A == P) return true;
    return false;
}

HWND GetWindow(HWND Wnd, UINT Relation) {
    TWindow* W = Find(Wnd);
    if (!W) return nullptr;
    if (Relation == GW_CHILD) return W->Children.empty() ? nullptr : W->Children.front()->Handle;
    if (Relation == GW_OWNER) return W->Parent ? nullptr : (Find(W->Owner) ? W->Owner : nullptr);
    const auto& List = W->Parent ? W->Parent->Children : S().TopLevels;
    auto It = std::find(List.begin(), List.end(), W);
    switch (Relation) {
    case GW_HWNDFIRST: return List.front()->Handle;
    case GW_HWNDLAST: return List.back()->Handle;
    case GW_HWNDNEXT: return (It + 1) == List.end() ? nullptr : (*(It + 1))->Handle;
    case GW_HWNDPREV: return It == List.begin() ? nullptr : (*(It - 1))->Handle;
    default: return nullptr;
    }
}

HWND GetTopWindow(HWND Parent) {
    if (!Parent) return S().TopLevels.empty() ? nullptr : S().TopLevels.front()->Handle;
    return GetWindow(Parent, GW_CHILD);
}

HWND GetTopLevelWindow(HWND Wnd) {
    TWindow* T = TopLevelOf(Find(Wnd));
    return T ? T->Handle : nullptr;
}

std::vector<HWND> GetChildWindows(HWND Parent) {
    std::vector<HWND> Result;
    if (!Parent) {
        for (TWindow* T : S().TopLevels) Result.push_back(T->Handle);
        return Result;
    }
    if (TWindow* P = Find(Parent))
        for (TWindow* C : P->Children) Result.push_back(C->Handle);
    return Result;
}

bool EnumChildWindows(HWND Parent, const std::function<bool(HWND)>& Callback) {
    for (HWND C : GetChildWindows(Parent)) {
        if (!Find(C)) continue;
        if (!Callback(C)) return false;
        if (!EnumChildWindows(C, Callback)) return false;
    }
    return true;
}

// --- placement ---

bool GetWindowRect(HWND Wnd, TRect& R) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    TPoint O = WindowOriginOnSurface(*W);
    TPoint S0 = ScreenOfSurface(*TopLevelOf(W));
    R = Bounds(S0.x + O.x, S0.y + O.y, W->Bounds.Width(), W->Bounds.Height());
    return true;
}

bool GetClientRect(HWND Wnd, TRect& R) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    R = ClientRect(*W);
    return true;
}

bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint) {
    return SetWindowPos(Wnd, nullptr, X, Y, Width, Height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    TWindowPos Pos;
    Pos.hwnd = Wnd;
    Pos.hwndInsertAfter = InsertAfter;
    Pos.x = (Flags & SWP_NOMOVE) ? W->Bounds.Left : X;
    Pos.y = (Flags & SWP_NOMOVE) ? W->Bounds.Top : Y;
    Pos.cx = (Flags & SWP_NOSIZE) ? W->Bounds.Width() : std::max(0, Width);
    Pos.cy = (Flags & SWP_NOSIZE) ? W->Bounds.Height() : std::max(0, Height);
    Pos.flags = Flags;
    if (!(Flags & SWP_NOSENDCHANGING)) {
        Send(*W, WM_WINDOWPOSCHANGING, 0, PointerToLParam(&Pos));
        W = Find(Wnd);
        if (!W) return false;
        Flags = Pos.flags;
    }
    TRect NewBounds = Bounds(Pos.x, Pos.y, std::max(0, Pos.cx), std::max(0, Pos.cy));
    bool Moved = NewBounds.TopLeft() != W->Bounds.TopLeft();
    bool Sized = NewBounds.Width() != W->Bounds.Width() || NewBounds.Height() != W->Bounds.Height();
    TRect OldClient = ClientRect(*W);
    bool WasShowing = IsShowing(*W);
    TRegion OldArea = W->Parent && WasShowing ? CoveredArea(*W) : TRegion();

    bool Reordered = false;
    if (!(Flags & SWP_NOZORDER)) {
        Reordered = true;
        if (!W->Parent) {
            if (InsertAfter == HWND_TOPMOST) W->ExStyle |= WS_EX_TOPMOST;
            if (InsertAfter == HWND_NOTOPMOST) W->ExStyle &= ~WS_EX_TOPMOST;
        }
        Unlink(*W);
        auto& List = W->Parent ? W->Parent->Children : S().TopLevels;
        if (!W->Parent &&
            (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST || InsertAfter == HWND_TOP))
            LinkTopLevel(*W, true);
        else if (InsertAfter == HWND_BOTTOM) List.push_back(W);
        else if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST)
            List.insert(List.begin(), W);
        else {
            TWindow* After = Find(InsertAfter);
            auto It = After ? std::find(List.begin(), List.end(), After) : List.end();
            List.insert(It == List.end() ? List.begin() : It + 1, W);
        }
    }
    W->Bounds = NewBounds;
    if (Flags & SWP_SHOWWINDOW) W->Style |= WS_VISIBLE;
    if (Flags & SWP_HIDEWINDOW) W->Style &= ~WS_VISIBLE;
    bool Showing = IsShowing(*W);
    if (!W->Parent && Sized) SurfaceResized(*W);
    TRect NewClient = ClientRect(*W);
    if (NewClient.Width() != OldClient.Width() || NewClient.Height() != OldClient.Height()) Sized = true;
    if (Flags & SWP_FRAMECHANGED) InvalidateFrame(*W);

    bool Redraw = !(Flags & SWP_NOREDRAW);
    if (W->Parent && (Moved || Sized || Reordered || (Flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))) {
        if (Redraw && !OldArea.Empty()) InvalidateInternal(*W->Parent, OldArea, true, true);
        // A moved or resized child repaints whole: its pixels are not carried along.
        if (Showing && (Redraw || Moved || Sized))
            RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (!W->Parent && Showing && (Sized || (Flags & SWP_SHOWWINDOW)) && Redraw) {
        RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (!W->Parent) {
        if ((Flags & SWP_SHOWWINDOW) && !W->DisplayMapped) {
            CurrentDisplay().WindowCreated(Wnd);
            W->DisplayMapped = true;
        }
        if (W->DisplayMapped && (Moved || Sized) && !W->MovedByDisplay)
            CurrentDisplay().WindowMoved(Wnd, W->Bounds);
        if (Flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
            CurrentDisplay().WindowShown(Wnd, (Flags & SWP_SHOWWINDOW) != 0);
            if (Flags & SWP_HIDEWINDOW) {
                WindowGoing(*W);
                if (GetActiveWindow() == Wnd) SetActiveOther(W);
            }
        }
    } else if (Flags & SWP_HIDEWINDOW) {
        WindowGoing(*W);
    }
    Pos.flags = Flags;
    if (!Moved) Pos.flags |= SWP_NOMOVE;
    else Pos.flags &= ~SWP_NOMOVE;
    if (!Sized) Pos.flags |= SWP_NOSIZE;
    else Pos.flags &= ~SWP_NOSIZE;
    Pos.x = W->Bounds.Left;
    Pos.y = W->Bounds.Top;
    Pos.cx = W->Bounds.Width();
    Pos.cy = W->Bounds.Height();
    Send(*W, WM_WINDOWPOSCHANGED, 0, PointerToLParam(&Pos));
    if (Find(Wnd) && !Find(Wnd)->Parent && (Flags & SWP_SHOWWINDOW) && !(Flags & SWP_NOACTIVATE))
        SetActiveWindow(Wnd);
    return true;
}

struct TDeferredPositions {
    struct TItem {
        HWND Wnd;
        HWND After;
        int X, Y, W, H;
        UINT Flags;
    };
    std::vector<TItem> Items;
};

namespace {
std::vector<std::unique_ptr<TDeferredPositions>>& DeferLists() {
    static std::vector<std::unique_ptr<TDeferredPositions>> Lists;
    return Lists;
}
}  // namespace

HDWP BeginDeferWindowPos(int Count) {
    auto L = std::make_unique<TDeferredPositions>();
    L->Items.reserve(static_cast<size_t>(std::max(0, Count)));
    DeferLists().push_back(std::move(L));
    return DeferLists().back().get();
}

HDWP DeferWindowPos(HDWP Pos, HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags) {
    if (!Pos || !Find(Wnd)) return Pos;
    Pos->Items.push_back({Wnd, InsertAfter, X, Y, Width, Height, Flags});
    return Pos;
}

bool EndDeferWindowPos(HDWP Pos) {
    auto& Lists = DeferLists();
    auto It = std::find_if(Lists.begin(), Lists.end(), [&](const auto& L) { return L.get() == Pos; });
    if (It == Lists.end()) return false;
    std::unique_ptr<TDeferredPositions> Owned = std::move(*It);
    Lists.erase(It);
    for (const auto& I : Owned->Items) SetWindowPos(I.Wnd, I.After, I.X, I.Y, I.W, I.H, I.Flags);
    return true;
}

bool BringWindowToTop(HWND Wnd) { return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

bool ClientToScreen(HWND Wnd, TPoint& P) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    TPoint O = ClientOriginOnSurface(*W);
    TPoint S0 = ScreenOfSurface(*TopLevelOf(W));
    P = TPoint(P.x + O.x + S0.x, P.y + O.y + S0.y);
    return true;
}

bool ScreenToClient(HWND Wnd, TPoint& P) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    TPoint O = ClientOriginOnSurface(*W);
    TPoint S0 = ScreenOfSurface(*TopLevelOf(W));
    P = TPoint(P.x - O.x - S0.x, P.y - O.y - S0.y);
    return true;
}

int MapWindowPoints(HWND From, HWND To, std::span<TPoint> Points) {
    TPoint Origin(0, 0);
    if (From && !ClientToScreen(From, Origin)) return 0;
    TPoint Target(0, 0);
    if (To && !ClientToScreen(To, Target)) return 0;
    int Dx = Origin.x - Target.x, Dy = Origin.y - Target.y;
    for (TPoint& P : Points) P = TPoint(P.x + Dx, P.y + Dy);
    return MakeLParam(Dx, Dy);
}

// --- visibility and enabling ---

bool ShowWindow(HWND Wnd, int Command) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    bool WasVisible = (W->Style & WS_VISIBLE) != 0;
    bool Show = Command != SW_HIDE;
    bool Activate = Show && !W->Parent && Command != SW_SHOWNA && Command != SW_SHOWNOACTIVATE &&
                    Command != SW_SHOWMINIMIZED && !(W->ExStyle & WS_EX_NOACTIVATE);
    if (Show == WasVisible) {
        if (Activate && GetActiveWindow() != Wnd) SetActiveWindow(Wnd);
        return WasVisible;
    }
    Send(*W, WM_SHOWWINDOW, Show ? 1 : 0, 0);
    W = Find(Wnd);
    if (!W) return WasVisible;
    UINT Flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (Show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (!Activate) Flags |= SWP_NOACTIVATE;
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, Flags);
    return WasVisible;
}

bool IsWindowVisible(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W && IsShowing(*W);
}

bool EnableWindow(HWND Wnd, bool Enable) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    bool WasDisabled = (W->Style & WS_DISABLED) != 0;
    if (WasDisabled == !Enable) return WasDisabled;
    if (!Enable) {
        Send(*W, WM_CANCELMODE);
        W = Find(Wnd);
        if (!W) return WasDisabled;
        if (GetFocus() == Wnd) SetFocus(nullptr);
        if (GetCapture() == Wnd) ReleaseCapture();
        W->Style |= WS_DISABLED;
    } else {
        W->Style &= ~WS_DISABLED;
    }
    Send(*W, WM_ENABLE, Enable ? 1 : 0, 0);
    return WasDisabled;
}

bool IsWindowEnabled(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W && !(W->Style & WS_DISABLED);
}

// --- hit testing ---

HWND WindowFromPoint(TPoint ScreenPoint) {
    LRESULT Code;
    TWindow* W = HitTest(ScreenPoint, Code);
    return W ? W->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND Parent, TPoint ClientPoint, UINT Flags) {
    TWindow* P = Find(Parent);
    if (!P) return nullptr;
    if (!PtInRect(ClientRect(*P), ClientPoint)) return nullptr;
    for (TWindow* C : P->Children) {
        if ((Flags & CWP_SKIPINVISIBLE) && !(C->Style & WS_VISIBLE)) continue;
        if ((Flags & CWP_SKIPDISABLED) && (C->Style & WS_DISABLED)) continue;
        if ((Flags & CWP_SKIPTRANSPARENT) && (C->ExStyle & WS_EX_TRANSPARENT)) continue;
        if (!PtInRect(C->Bounds, ClientPoint)) continue;
        if (!RegionHolds(*C, TPoint(ClientPoint.x - C->Bounds.Left, ClientPoint.y - C->Bounds.Top))) continue;
        return C->Handle;
    }
    return Parent;
}

HWND ChildWindowFromPoint(HWND Parent, TPoint ClientPoint) {
    return ChildWindowFromPointEx(Parent, ClientPoint, CWP_ALL);
}

// --- window regions ---

bool SetWindowRgn(HWND Wnd, const TRegion* Region, bool Redraw) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    TRegion OldArea = W->Parent && IsShowing(*W) ? CoveredArea(*W) : TRegion();
    if (Region) W->Shape = *Region;
    else W->Shape.reset();
    if (Redraw && IsShowing(*W)) {
        if (W->Parent && !OldArea.Empty()) InvalidateInternal(*W->Parent, OldArea, true, true);
        RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return true;
}

int GetWindowRgn(HWND Wnd, TRegion& Region) {
    TWindow* W = Find(Wnd);
    if (!W || !W->Shape) return RGN_ERROR;
    Region = *W->Shape;
    return Region.Kind();
}

// --- the default window procedure ---

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWindow* W = Find(Wnd);
    if (!W) return 0;
    switch (Msg) {
    case WM_NCCREATE: return 1;
    case WM_SETTEXT: {
        const char* Text = LParamToPointer<const char>(LParam);
        W->Text = Text ? Text : "";
        if (!W->Parent) {
            InvalidateFrame(*W);
            if (W->DisplayMapped) CurrentDisplay().WindowTitled(Wnd, W->Text);
        }
        return 1;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(W->Text.size());
    case WM_GETTEXT: {
        char* Buffer = LParamToPointer<char>(LParam);
        if (!Buffer || WParam == 0) return 0;
        size_t N = std::min<size_t>(W->Text.size(), WParam - 1);
        std::memcpy(Buffer, W->Text.data(), N);
        Buffer[N] = '\0';
        return static_cast<LRESULT>(N);
    }
    case WM_CLOSE: DestroyWindow(Wnd); return 0;
    case WM_SYSCOMMAND:
        if ((WParam & 0xFFF0) == SC_CLOSE) Send(*W, WM_CLOSE);
        return 0;
    case WM_PAINT: {
        TPaintStruct PS;
        BeginPaint(Wnd, PS);
        EndPaint(Wnd, PS);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (W->Class->Background == clNone) return 0;
        HDC DC = reinterpret_cast<HDC>(WParam);
        if (!DC) return 0;
        TBrush Brush;
        Brush.SetColor(W->Class->Background);
        DC->FillRect(ClientRect(*W), Brush);
        return 1;
    }
    case WM_NCPAINT: DrawNonClient(*W); return 0;
    case WM_NCHITTEST: {
        TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                 static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
        TRect R;
        GetWindowRect(Wnd, R);
        if (!PtInRect(R, P)) return HTNOWHERE;
        TPoint InWindow(P.x - R.Left, P.y - R.Top);
        TInsets I = NonClientInsets(*W);
        TRect Client = ClientRect(*W);
        OffsetRect(Client, I.Left, I.Top);
        if (PtInRect(Client, InWindow)) return HTCLIENT;
        LRESULT Bar = ScrollBarHitTest(*W, InWindow);
        if (Bar != HTNOWHERE) return Bar;
        if (W->MenuBar > 0 && InWindow.y >= I.Top - W->MenuBar && InWindow.y < I.Top &&
            InWindow.x >= I.Left && InWindow.x < W->Bounds.Width() - I.Right)
            return HTMENU;
        if ((W->Style & WS_CAPTION) == WS_CAPTION && InWindow.y >= I.Top - GetSystemMetrics(SM_CYCAPTION) &&
            InWindow.y < I.Top) {
            if ((W->Style & WS_SYSMENU) &&
                InWindow.x >= W->Bounds.Width() - I.Right - GetSystemMetrics(SM_CYCAPTION))
                return HTCLOSE;
            return HTCAPTION;
        }
        return HTBORDER;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:  // a quick second press on a bar scrolls again
        if (WParam == HTVSCROLL || WParam == HTHSCROLL) {
            TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                     static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
            TRect R;
            GetWindowRect(Wnd, R);
            TrackScrollBar(*W, WParam == HTVSCROLL ? SB_VERT : SB_HORZ, TPoint(P.x - R.Left, P.y - R.Top));
        } else if (WParam == HTCLOSE && Msg == WM_NCLBUTTONDOWN) {
            Send(*W, WM_SYSCOMMAND, SC_CLOSE, LParam);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        if (W->Parent) {
            LRESULT R = Send(*W->Parent, WM_MOUSEACTIVATE, WParam, LParam);
            if (R) return R;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR:
        if (W->Parent && Send(*W->Parent, WM_SETCURSOR, WParam, LParam)) return 1;
        if (LoWord(static_cast<uintptr_t>(LParam)) == HTCLIENT) SetCursor(LoadStandardCursor(crArrow));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
    case WM_HELP:
        if (W->Parent) return Send(*W->Parent, Msg, WParam, LParam);
        return 0;
    case WM_RBUTTONUP: {
        TPoint P(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                 static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
        ClientToScreen(Wnd, P);
        Send(*W, WM_CONTEXTMENU, HandleToWParam(Wnd), MakeLParam(P.x, P.y));
        return 0;
    }
    case WM_KEYDOWN:
        if (WParam == VK_F1) {
            THelpInfo Info;
            Info.hItemHandle = Wnd;
            Info.iCtrlId = static_cast<int>(W->Id);
            TPoint P;
            GetCursorPos(P);
            Info.MouseX = P.x;
            Info.MouseY = P.y;
            Send(*W, WM_HELP, 0, PointerToLParam(&Info));
        }
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window it is typed in, from whichever control of
        // it has the focus.
        if (WParam == VK_F4) Send(*TopLevelOf(W), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const TWindowPos* Pos = LParamToPointer<const TWindowPos>(LParam);
        if (!Pos) return 0;
        if (!(Pos->flags & SWP_NOMOVE)) {
            TPoint CO(0, 0);
            TInsets I = NonClientInsets(*W);
            CO = TPoint(W->Bounds.Left + I.Left, W->Bounds.Top + I.Top);
            Send(*W, WM_MOVE, 0, MakeLParam(CO.x, CO.y));
        }
        if (!(Pos->flags & SWP_NOSIZE) && Find(Wnd)) {
            TRect C = ClientRect(*W);
            Send(*W, WM_SIZE, SIZE_RESTORED, MakeLParam(C.Width(), C.Height()));
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LoWord(WParam) != WA_INACTIVE) {
            HWND Focus = GetFocus();
            if (Focus != Wnd && !IsChild(Wnd, Focus)) SetFocus(Wnd);
        }
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == Wnd) ReleaseCapture();
        return 0;
    case WM_SETREDRAW: W->RedrawOff = WParam == 0; return 0;
    default: return 0;
    }
}

TRect ClientRectFromStyles(DWORD Style, DWORD ExStyle, int Width, int Height) {
    TWindow W;
    W.Style = Style;
    W.ExStyle = ExStyle;
    W.Bounds = TRect(0, 0, Width, Height);
    return ClientRect(W);
}

TPoint ClientOffsetFromStyles(DWORD Style, DWORD ExStyle) {
    TWindow W;
    W.Style = Style;
    W.ExStyle = ExStyle;
    TInsets I = NonClientInsets(W);
    return TPoint(I.Left, I.Top);
}

void SetMenuBarHeight(HWND Wnd, int Height) {
    TWindow* W = Find(Wnd);
    if (!W || W->Parent || W->MenuBar == std::max(0, Height)) return;
    W->MenuBar = std::max(0, Height);
    // The window keeps its size: its client area gives up or takes back the band.
    TRect C = ClientRect(*W);
    InvalidateFrame(*W);
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Send(*W, WM_SIZE, SIZE_RESTORED, MakeLParam(C.Width(), C.Height()));
}

int GetMenuBarHeight(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W ? W->MenuBar : 0;
}

TRect MenuBarRect(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W || W->MenuBar == 0) return TRect(0, 0, 0, 0);
    TInsets I = NonClientInsets(*W);
    return TRect(I.Left, I.Top - W->MenuBar, W->Bounds.Width() - I.Right, I.Top);
}

TRect ScreenRect() { return CurrentDisplay().ScreenBounds(); }
TRect WorkAreaRect() { return CurrentDisplay().WorkArea(); }
