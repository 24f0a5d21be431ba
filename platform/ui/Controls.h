#pragma once
// The control classes every screen and library control stands on: TControl
// (position, looks, mouse and the message handlers), TWinControl (a window
// of its own, focus, keys, children, alignment, painting of its windowless
// children), TCustomControl (a window that paints itself on its canvas) and
// TGraphicControl (no window: painted by its parent, on the parent's pixels).
//
// Messages reach a control through WindowProc (replaceable, as libraries
// subclass controls that way), then WndProc, then Dispatch, whose switch
// calls one virtual handler per message: a class that answers a message
// overrides the handler of that name (WMPaint, CMEnter, CNKeyDown ...) and
// calls inherited::Handler where it wants the default. A message without a
// handler of its own reaches DefaultHandler: for a control with a window,
// the window's class procedure.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/gfx/Cursors.h"
#include "platform/gfx/Graphics.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowManager.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TControlCanvas;
class TBasicAction;
class TControlActionLink;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
ZELMOR_DECLARE_ENUM(TAlign);
enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
ZELMOR_DECLARE_ENUM(TAnchorKind);
using TAnchors = TSet<TAnchorKind>;

enum TControlStateFlag : uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,  // painted as a picture into another control (a grid cell)
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
};
using TControlState = TSet<TControlStateFlag>;

enum TControlStyleFlag : uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
ZELMOR_DECLARE_ENUM(TMouseButton);
enum TShiftStateFlag : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
ZELMOR_DECLARE_ENUM(TShiftStateFlag);
using TShiftState = TSet<TShiftStateFlag>;
enum TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
ZELMOR_DECLARE_ENUM(TBiDiMode);
enum TDragMode : uint8_t { dmManual, dmAutomatic };
ZELMOR_DECLARE_ENUM(TDragMode);
// Controls take bsNone and bsSingle; forms the whole list.
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
ZELMOR_DECLARE_ENUM(TFormBorderStyle);
using TBorderStyle = TFormBorderStyle;

using TWndMethod = std::function<void(TMessage& Message)>;
using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// The integer types whose values forms write by name ("Color = clBtnFace",
// "Cursor = crHourGlass"), for the properties of those types.

// The modifier keys of a mouse message's flags, with Alt read from the keyboard state.
TShiftState KeysToShiftState(UINT Keys);
// The modifier keys of a key message's key data.
TShiftState KeyDataToShiftState(int32_t KeyData);

// Size limits of a control; 0 means none.
class TSizeConstraints : public TPersistent {
    ZELMOR_CLASS(TSizeConstraints, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Change();
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// The messages a control answers through a handler of its own name. The
// first list's handlers pass the message on to DefaultHandler unless a class
// overrides them; the second list's are implemented by TControl or TWinControl.
#define ZELMOR_PLAIN_HANDLERS(X)                                                                             \
    X(WM_CREATE, WMCreate)                                                                                   \
    X(WM_DESTROY, WMDestroy)                                                                                 \
    X(WM_CLOSE, WMClose)                                                                                     \
    X(WM_ACTIVATE, WMActivate)                                                                               \
    X(WM_SHOWWINDOW, WMShowWindow)                                                                           \
    X(WM_SYSCOMMAND, WMSysCommand)                                                                           \
    X(WM_NCPAINT, WMNCPaint)                                                                                 \
    X(WM_NCHITTEST, WMNCHitTest)                                                                             \
    X(WM_NCLBUTTONDOWN, WMNCLButtonDown)                                                                     \
    X(WM_MOUSEACTIVATE, WMMouseActivate)                                                                     \
    X(WM_GETDLGCODE, WMGetDlgCode)                                                                           \
    X(WM_SETFONT, WMSetFont)                                                                                 \
    X(WM_SETREDRAW, WMSetRedraw)                                                                             \
    X(WM_TIMER, WMTimer)                                                                                     \
    X(WM_CUT, WMCut)                                                                                         \
    X(WM_COPY, WMCopy)                                                                                       \
    X(WM_PASTE, WMPaste)                                                                                     \
    X(WM_CLEAR, WMClear)                                                                                     \
    X(WM_UNDO, WMUndo)                                                                                       \
    X(WM_NEXTDLGCTL, WMNextDlgCtl)                                                                           \
    X(WM_CAPTURECHANGED, WMCaptureChanged)                                                                   \
    X(WM_ENABLE, WMEnable)                                                                                   \
    X(WM_HELP, WMHelp)                                                                                       \
    X(WM_SYSKEYUP, WMSysKeyUp)                                                                               \
    X(WM_SYSCHAR, WMSysChar)                                                                                 \
    X(CM_ACTIVATE, CMActivate)                                                                               \
    X(CM_DEACTIVATE, CMDeactivate)                                                                           \
    X(CM_GETDATALINK, CMGetDataLink)                                                                         \
    X(CM_BUTTONPRESSED, CMButtonPressed)                                                                     \
    X(CM_DESIGNHITTEST, CMDesignHitTest)                                                                     \
    X(CM_HINTSHOW, CMHintShow)                                                                               \
    X(CM_WANTSPECIALKEY, CMWantSpecialKey)                                                                   \
    X(CM_CONTROLCHANGE, CMControlChange)                                                                     \
    X(CM_CONTROLLISTCHANGE, CMControlListChange)                                                             \
    X(CM_TABSTOPCHANGED, CMTabStopChanged)                                                                   \
    X(CM_BORDERCHANGED, CMBorderChanged)                                                                     \
    X(CM_RELEASE, CMRelease)                                                                                 \
    X(CM_BIDIMODECHANGED, CMBiDiModeChanged)                                                                 \
    X(CM_PARENTBIDIMODECHANGED, CMParentBiDiModeChanged)                                                     \
    X(CM_PARENTCHANGED, CMParentChanged)                                                                     \
    X(CM_WININICHANGE, CMWinIniChange)                                                                       \
    X(CM_FONTCHANGE, CMFontChange)                                                                           \
    X(CM_SYSFONTCHANGED, CMSysFontChanged)                                                                   \
    X(CM_CHANGED, CMChanged)                                                                                 \
    X(CN_KEYUP, CNKeyUp)                                                                                     \
    X(CN_SYSKEYDOWN, CNSysKeyDown)                                                                           \
    X(CN_COMMAND, CNCommand)                                                                                 \
    X(CN_DRAWITEM, CNDrawItem)                                                                               \
    X(CN_MEASUREITEM, CNMeasureItem)                                                                         \
    X(CN_NOTIFY, CNNotify)                                                                                   \
    X(CN_HSCROLL, CNHScroll)                                                                                 \
    X(CN_VSCROLL, CNVScroll)                                                                                 \
    X(CN_CTLCOLOR, CNCtlColor)

#define ZELMOR_OWN_HANDLERS(X)                                                                               \
    X(WM_PAINT, WMPaint)                                                                                     \
    X(WM_ERASEBKGND, WMEraseBkgnd)                                                                           \
    X(WM_SIZE, WMSize)                                                                                       \
    X(WM_MOVE, WMMove)                                                                                       \
    X(WM_WINDOWPOSCHANGED, WMWindowPosChanged)                                                               \
    X(WM_WINDOWPOSCHANGING, WMWindowPosChanging)                                                             \
    X(WM_SETFOCUS, WMSetFocus)                                                                               \
    X(WM_KILLFOCUS, WMKillFocus)                                                                             \
    X(WM_KEYDOWN, WMKeyDown)                                                                                 \
    X(WM_KEYUP, WMKeyUp)                                                                                     \
    X(WM_CHAR, WMChar)                                                                                       \
    X(WM_SYSKEYDOWN, WMSysKeyDown)                                                                           \
    X(WM_LBUTTONDOWN, WMLButtonDown)                                                                         \
    X(WM_LBUTTONUP, WMLButtonUp)                                                                             \
    X(WM_LBUTTONDBLCLK, WMLButtonDblClk)                                                                     \
    X(WM_RBUTTONDOWN, WMRButtonDown)                                                                         \
    X(WM_RBUTTONUP, WMRButtonUp)                                                                             \
    X(WM_RBUTTONDBLCLK, WMRButtonDblClk)                                                                     \
    X(WM_MBUTTONDOWN, WMMButtonDown)                                                                         \
    X(WM_MBUTTONUP, WMMButtonUp)                                                                             \
    X(WM_MBUTTONDBLCLK, WMMButtonDblClk)                                                                     \
    X(WM_MOUSEMOVE, WMMouseMove)                                                                             \
    X(WM_MOUSEWHEEL, WMMouseWheel)                                                                           \
    X(WM_SETCURSOR, WMSetCursor)                                                                             \
    X(WM_CANCELMODE, WMCancelMode)                                                                           \
    X(WM_CONTEXTMENU, WMContextMenu)                                                                         \
    X(WM_COMMAND, WMCommand)                                                                                 \
    X(WM_NOTIFY, WMNotify)                                                                                   \
    X(WM_DRAWITEM, WMDrawItem)                                                                               \
    X(WM_MEASUREITEM, WMMeasureItem)                                                                         \
    X(WM_HSCROLL, WMHScroll)                                                                                 \
    X(WM_VSCROLL, WMVScroll)                                                                                 \
    X(WM_SYSCOLORCHANGE, WMSysColorChange)                                                                   \
    X(WM_WININICHANGE, WMWinIniChange)                                                                       \
    X(WM_NCDESTROY, WMNCDestroy)                                                                             \
    X(CM_ENTER, CMEnter)                                                                                     \
    X(CM_EXIT, CMExit)                                                                                       \
    X(CM_MOUSEENTER, CMMouseEnter)                                                                           \
    X(CM_MOUSELEAVE, CMMouseLeave)                                                                           \
    X(CM_CANCELMODE, CMCancelMode)                                                                           \
    X(CM_RECREATEWND, CMRecreateWnd)                                                                         \
    X(CM_FONTCHANGED, CMFontChanged)                                                                         \
    X(CM_COLORCHANGED, CMColorChanged)                                                                       \
    X(CM_CTL3DCHANGED, CMCtl3DChanged)                                                                       \
    X(CM_PARENTCTL3DCHANGED, CMParentCtl3DChanged)                                                           \
    X(CM_ENABLEDCHANGED, CMEnabledChanged)                                                                   \
    X(CM_VISIBLECHANGED, CMVisibleChanged)                                                                   \
    X(CM_TEXTCHANGED, CMTextChanged)                                                                         \
    X(CM_SHOWINGCHANGED, CMShowingChanged)                                                                   \
    X(CM_PARENTFONTCHANGED, CMParentFontChanged)                                                             \
    X(CM_PARENTCOLORCHANGED, CMParentColorChanged)                                                           \
    X(CM_SHOWHINTCHANGED, CMShowHintChanged)                                                                 \
    X(CM_PARENTSHOWHINTCHANGED, CMParentShowHintChanged)                                                     \
    X(CM_DIALOGCHAR, CMDialogChar)                                                                           \
    X(CM_DIALOGKEY, CMDialogKey)                                                                             \
    X(CM_SYSCOLORCHANGE, CMSysColorChange)                                                                   \
    X(CM_FOCUSCHANGED, CMFocusChanged)                                                                       \
    X(CM_HITTEST, CMHitTest)                                                                                 \
    X(CM_CURSORCHANGED, CMCursorChanged)                                                                     \
    X(CM_CHILDKEY, CMChildKey)                                                                               \
    X(CM_INVALIDATE, CMInvalidate)                                                                           \
    X(CM_MOUSEWHEEL, CMMouseWheel)                                                                           \
    X(CN_KEYDOWN, CNKeyDown)                                                                                 \
    X(CN_CHAR, CNChar)                                                                                       \
    X(CN_SYSCHAR, CNSysChar)

#define ZELMOR_DECLARE_HANDLER(Msg, Name) virtual void Name(TMessage& Message);

class TControl : public TComponent {
    ZELMOR_CLASS(TControl, TComponent)
    friend class TWinControl;

public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);
    // Declares inherited standard properties and events by name in a
    // descendant's table ("Align", "Color", "OnClick" ...): how a class
    // publishes what its ancestors keep protected.
    static void PublishStandard(TPropertyTable& T, std::initializer_list<const char*> Names);

    // --- messages ---
    // Where Perform and the window procedure deliver; replace it to subclass
    // the control, and call the value it had to pass messages on.
    TWndMethod WindowProc;
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // --- the tree ---
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // --- position (in the parent's client area; forms: on the screen) ---
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    virtual void SetClientSize(int AWidth, int AHeight);
    // Where the client area's (0, 0) lies on the screen.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints; }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }
    // Moves the control to that place among its parent's windowless children
    // (0: the bottom); a place past the end is the top.
    void SetZOrderPosition(int Position);

    // --- state and looks ---
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    AnsiString Caption() const { return GetText(); }
    void SetCaption(const AnsiString& Value) { SetText(Value); }
    AnsiString Text() const { return GetText(); }
    void SetText(const AnsiString& Value);
    int GetTextLen() const;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    bool UseRightToLeftAlignment() const { return false; }
    bool UseRightToLeftReading() const { return false; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    // True when the control and its parents are visible and a form shows them.
    virtual bool IsShowing() const;

    // --- painting ---
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // --- scaling ---
    void ScaleBy(int M, int D);

    // --- action (platform/ui/ActnList.h) ---
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return FActionLink; }
    // Runs (refreshes) an action on this control when the action serves it;
    // false when it does not, so that the caller asks the next control.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    // --- events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;
    // Help for tests and the hint layer: the hint text before a "|" (short) and after it (long).
    static AnsiString GetShortHint(const AnsiString& Hint);
    static AnsiString GetLongHint(const AnsiString& Hint);

    // The dynamic methods behind the events; descendants extend them.
    virtual void Click();
    virtual void DblClick();

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    virtual void Resize();
    virtual void ChangeScale(int M, int D);
    virtual AnsiString GetText() const;
    virtual void SetZOrder(bool TopMost);
    virtual void RequestAlign();
    // May change the new size (constraints); answers false to refuse it.
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The action's properties became the control's (CheckDefaults: only
    // where the control still has its default).
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    // The link a control makes for its action; descendants link more.
    virtual TControlActionLink* CreateActionLink();
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    // A "Parent..." switch: turned on, the control takes the parent's value at once (Notify).
    void SetParentSwitch(bool& Switch, bool Value, UINT Notify);
    void SendCancelMode(TControl* Sender);
    void UpdateAnchorRules();
    // The parent's layout changed: follow the anchors (not for aligned controls).
    void AnchorsFollowParent();
    void FontChanged(TObject* Sender);

    ZELMOR_PLAIN_HANDLERS(ZELMOR_DECLARE_HANDLER)
    ZELMOR_OWN_HANDLERS(ZELMOR_DECLARE_HANDLER)

    TControlStyle FControlStyle;
    TControlState FControlState;
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    AnsiString FText;
    TFont* FFont;
    TColor FColor = clWindow;
    bool FVisible = true;
    bool FEnabled = true;

private:
    void DoActionChange(TObject* Sender);
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void DefaultThenMouse(TMessage& Message, TMouseButton Button, bool Down, TShiftState Shift);
    bool CheckNewSize(int& NewWidth, int& NewHeight);
    void ConstraintsChanged(TObject* Sender);

    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    // Where the anchors measure from: the bounds and the parent's client size when last set by hand.
    TRect FAnchorBounds;
    TSize FAnchorParentSize;
    bool FAnchorsKnown = false;
    TSizeConstraints* FConstraints;
    bool FParentColor = false;
    bool FParentFont = true;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    AnsiString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TCursor FCursor = crDefault;
    TCursor FDragCursor = crDrag;
    int FHelpContext = 0;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TDragMode FDragMode = dmManual;
    TControlActionLink* FActionLink = nullptr;  // owned
};

// The fields of a window's creation, as CreateParams fills them.
struct TCreateParams {
    AnsiString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    TWndClass WindowClass;  // style, default procedure and background of the class
    AnsiString WinClassName;
};

class TWinControl : public TControl {
    ZELMOR_CLASS(TWinControl, TControl)
    friend class TControl;
    friend class TCustomForm;

public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // The window procedure: WindowProc under the application's exception handler.
    void MainWndProc(TMessage& Message);

    // --- the window ---
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    void RecreateWnd();
    // A window this control lives in without a parent control (a window of another kind).
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    bool Showing() const { return FShowing; }
    bool IsShowing() const override { return FShowing; }
    TBrush* Brush() const { return FBrush; }
    // The procedure of the window class the control stands on ("BUTTON" ...).
    const TWndProc& DefWndProc() const { return FDefWndProc; }
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // --- children ---
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    // Windowless children first, then windowed ones, each in z-order from the bottom.
    TControl* Controls(int Index) const;
    bool ContainsControl(const TControl* Control) const;
    // The child at a client point (windowless ones; windowed ones when asked), or null.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    // Sends the message to every child until one answers non-zero.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);
    // What a form file writes inside this control: its child controls that
    // Root owns, from the bottom of the z-order up.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);

    // --- alignment ---
    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel != 0; }

    // --- focus and tab order ---
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Windowed descendants in tab order, depth first.
    virtual void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void SelectFirst();

    // --- painting ---
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    // Paints the control and its children into DC at (X, Y), as a picture (csPaintCopy).
    void PaintTo(HDC DC, int X, int Y);
    // Paints the windowless children from the one after First (null: all).
    void PaintControls(HDC DC, TControl* First);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Takes the default procedure and class styles of a registered class.
    void CreateSubClass(TCreateParams& Params, const char* ClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void CreateHandle();
    void DestroyHandle();
    void UpdateShowing();
    void UpdateControlState();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect);
    void AlignControl(TControl* AControl);
    virtual void PaintWindow(HDC DC);
    void PaintHandler(TMessage& Message);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // True when the key was eaten (by the form's key preview or a handler).
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    bool FormPreviews(TMessage& Message, bool (TWinControl::*Step)(TMessage&));
    bool RunKeyEvent(TMessage& Message, bool Down);
    void SetZOrder(bool TopMost) override;
    void ChangeScale(int M, int D) override;
    void Loaded() override;
    void RemoveFocus(bool Removing);
    // Sends the message to the child control whose window it names; false when none.
    bool DoControlMsg(HWND ControlHandle, TMessage& Message);
    void UpdateBounds();

    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMMove(TMessage& Message) override;
    void WMWindowPosChanged(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    void WMKeyUp(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMSysKeyDown(TMessage& Message) override;
    void WMSysKeyUp(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void WMCommand(TMessage& Message) override;
    void WMNotify(TMessage& Message) override;
    void WMDrawItem(TMessage& Message) override;
    void WMMeasureItem(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMSysColorChange(TMessage& Message) override;
    void WMNCDestroy(TMessage& Message) override;
    void WMContextMenu(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMRecreateWnd(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    void CMShowHintChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMSysColorChange(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CMCursorChanged(TMessage& Message) override;
    void CMChildKey(TMessage& Message) override;
    void CMInvalidate(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void CNSysKeyDown(TMessage& Message) override;
    void CNChar(TMessage& Message) override;
    void CNSysChar(TMessage& Message) override;

    HWND FHandle = nullptr;
    TWndProc FDefWndProc;

private:
    void Insert(TControl* AControl);
    void Remove(TControl* AControl);
    bool IsControlMouseMsg(TMessage& Message);
    void PaintFrames(HDC DC);

    HWND FParentWindow = nullptr;
    bool FShowing = false;
    bool FTabStop = false;
    int FAlignLevel = 0;
    TBrush* FBrush;
    std::vector<TControl*> FControls;        // windowless children, z-order from the bottom
    std::vector<TWinControl*> FWinControls;  // windowed children, z-order from the bottom
    std::vector<TWinControl*> FTabList;      // windowed children in tab order
};

// A canvas bound to a control: to the control's window (or, for a windowless
// control, to its part of the parent's window) when drawn on outside
// painting, or to the device context of the paint message while it paints.
class TControlCanvas : public TCanvas {
    ZELMOR_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    // Draws through DC from now on (nullptr: lets it go).
    void SetHandle(HDC DC);
    // Binds the canvas to the control's window, unless it is bound already.
    void HandleNeeded();
    // Runs Paint with the canvas drawing through DC, in the control's font,
    // text colour and brush colour, and lets DC go after.
    void PaintThrough(HDC DC, const std::function<void()>& Paint);
    void FreeHandle();

private:
    TControl* FControl = nullptr;
    HWND FDCWindow = nullptr;  // the window whose context the canvas holds, when it took one
    HDC FOwnDC = nullptr;
};

class TCustomControl : public TWinControl {
    ZELMOR_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    // Bound to the window when first drawn on outside painting.
    TCanvas* Canvas();

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;
    void WMPaint(TMessage& Message) override;
    TControlCanvas* FCanvas;
};

class TGraphicControl : public TControl {
    ZELMOR_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas();

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& Message) override;
    TControlCanvas* FCanvas;
};

// The control whose window this is; null once the window is destroyed.
TWinControl* FindControl(HWND Handle);
// The control (windowed, or windowless inside it) under a screen point.
TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled);
TWinControl* FindVCLWindow(TPoint ScreenPos);
// The form a control sits on, or null.
TCustomForm* GetParentForm(const TControl* Control);
// The same; raises EInvalidOperation when there is none.
TCustomForm* ValidParentForm(const TControl* Control);
// The control that has the mouse captured (a windowless one through its parent's window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// Moves the logical origin of DC by (Dx, Dy), as the class library's painting of children does.
void MoveWindowOrg(HDC DC, int Dx, int Dy);
// The canvases bound to windows outside painting let their contexts go
// (done after each message, so none outlives its window's pixels).
void FreeDeviceContexts();
