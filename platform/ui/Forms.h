#pragma once
// Forms, the application object and the screen.
//
// A form is a top-level window. It keeps track of the focused control and
// sends CM_EXIT and CM_ENTER along the way the focus travels (each control
// that the focus leaves, up to the common parent, then each one it enters),
// turns Tab and the arrows into moves through the tab order, previews keys
// when asked, and runs its own message loop while it is modal.
//
// The application object runs the main loop; an exception that escapes any
// event handler ends up in HandleException, which shows it (EAbort silently)
// and lets the loop go on.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Controls.h"
#include "platform/win/MessageQueue.h"

class TCustomForm;
class TForm;
class THintWindow;
class TMainMenu;
struct THintInfo;

enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
ZELMOR_DECLARE_ENUM(TFormStyle);
enum TPosition : uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
ZELMOR_DECLARE_ENUM(TPosition);
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
ZELMOR_DECLARE_ENUM(TBorderIcon);
using TBorderIcons = TSet<TBorderIcon>;
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
ZELMOR_DECLARE_ENUM(TWindowState);
enum TFormStateFlag : uint8_t { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateFlag>;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;

// The base of scrolling containers (forms, scroll boxes); its scrolling
// comes with the scroll box.
class TScrollingWinControl : public TWinControl {
    ZELMOR_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner);
};

class TCustomForm : public TScrollingWinControl {
    ZELMOR_CLASS(TCustomForm, TScrollingWinControl)
    friend class TApplication;
    friend class TScreen;

public:
    // A form whose class has a form resource reads it once the whole object
    // exists (AfterConstruction, which NewComponent runs); a form built in
    // code has none.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void BeforeDestruction() override;
    // Reads the form resources of the form's class and of its ancestors below
    // TForm (unless made by CreateNew), then fires OnCreate. A field of the
    // class that no component of the forms filled raises EComponentError
    // (the form is freed), as does a handler a form names that the class lacks.
    void AfterConstruction() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- showing and closing ---
    void Show();
    void Hide() { SetVisible(false); }
    // Runs a message loop until ModalResult is set; answers it.
    virtual TModalResult ShowModal();
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages now queued have run.
    void Release();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    // --- focus ---
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    bool Active() const { return FActive; }
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    // The focus reached Control (from its WM_SETFOCUS): the exits and entries
    // along the way. False when a handler moved the focus elsewhere meanwhile.
    bool SetFocusedControl(TWinControl* Control);
    void SendCancelMode(TControl* Sender);
    void SetFocus() override;
    bool CanFocus() const override { return FVisible && FEnabled; }
    bool IsShowing() const override;
    // A form file holds the form's controls, then its components that have no parent.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    // --- properties ---
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value) { FWindowState = Value; }
    TFormState FormState() const { return FFormState; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    // The main menu shown as the bar over the client area. Setting it keeps
    // the client area's size: the window grows by the bar.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // The canvas of the form's client area (OnPaint draws on it).
    TCanvas* Canvas();
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetClientSize(int AWidth, int AHeight) override;

    // Forwarders the key messages of a previewing form go through.
    using TWinControl::DoKeyDown;
    using TWinControl::DoKeyPress;
    using TWinControl::DoKeyUp;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // For CreateNew: a form that reads no resource.
    struct TCreateNew {};
    TCustomForm(TComponent* AOwner, TCreateNew);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    void CloseModal();
    void SetWindowFocus();
    void SetActive(bool Value);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void WMPaint(TMessage& Message) override;
    void WMActivate(TMessage& Message) override;
    void WMClose(TMessage& Message) override;
    void WMHelp(TMessage& Message) override;
    void CMActivate(TMessage& Message) override;
    void CMDeactivate(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMRelease(TMessage& Message) override;

private:
    void PlaceOnShow();
    // The bar's height while the form has a menu and no window yet.
    int PendingMenuBar() const;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    bool FActive = false;
    bool FKeyPreview = false;
    bool FCreatedNew = false;
    bool FCreated = false;
    bool FOldCreateOrder = false;
    bool FScaled = true;
    int FPixelsPerInch = 96;
    TModalResult FModalResult = mrNone;
    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormState FFormState;
    TControlCanvas* FCanvas;
    int FFocusCount = 0;
};

class TForm : public TCustomForm {
    ZELMOR_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
    // A form of class T that reads no form resource; OnCreate has run.
    template <class T = TForm>
    static T* CreateNew(TComponent* AOwner) {
        return NewComponent<T>(AOwner, TCreateNew{});
    }
    TForm(TComponent* AOwner, TCreateNew Tag) : TCustomForm(AOwner, Tag) {}
};

class TScreen : public TComponent {
    ZELMOR_CLASS(TScreen, TComponent)
    friend class TCustomForm;

public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return ScreenPixelsPerInch; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    HCURSOR Cursors(int Index) const;
    void SetCursors(int Index, HCURSOR Value);
    TWinControl* ActiveControl() const { return FActiveControl; }
    TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
    TForm* ActiveForm() const { return FActiveForm; }
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TForm* Forms(int Index) const { return FForms.at(static_cast<size_t>(Index)); }
    int CustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
    TCustomForm* CustomForms(int Index) const { return FCustomForms.at(static_cast<size_t>(Index)); }
    // The face names a font can take here (InstalledFontNames).
    TStrings* Fonts();
    TCustomForm* FocusedForm() const { return FFocusedForm; }

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

private:
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActive(TCustomForm* Form, TWinControl* Control);
    void FormGone(TCustomForm* Form);
    TCursor FCursor = crDefault;
    int FCursorCount = 0;
    std::map<int, HCURSOR> FCursors;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FActiveCustomForm = nullptr;
    TForm* FActiveForm = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    std::vector<TCustomForm*> FSaveFocusedList;
    friend class TApplication;
    std::vector<TForm*> FForms;
    std::vector<TCustomForm*> FCustomForms;  // the last activated first
    std::unique_ptr<TStringList> FFonts;
};

using TExceptionEvent = TEvent<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TEvent<void(TMsg& Msg, bool& Handled)>;
using THelpEvent = TEvent<bool(WORD Command, intptr_t Data, bool& CallHelp)>;

class TApplication : public TComponent {
    ZELMOR_CLASS(TApplication, TComponent)
    friend class TCustomForm;
    friend class TControl;

public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    // Creates a form owned by the application; the first one becomes the
    // main form. Reference points to the form before its resource is read
    // and its OnCreate runs, so the program's global names it there already.
    // When the form cannot be read it is freed and Reference is null again.
    template <class T>
    void CreateForm(T*& Reference) {
        T* F;
        {
            zelmor_detail::TWholeInsert Insert;
            F = new T(this);
            Insert.Finish(F);
        }
        Reference = F;
        if (!FMainForm) FMainForm = F;
        try {
            zelmor_detail::TWholeInsert::Complete(F);
        } catch (...) {
            Reference = nullptr;
            throw;
        }
    }
    // The main loop: shows the main form and runs until it closes or Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles every message waiting, without waiting for more.
    void ProcessMessages();
    // Handles one message, or idles and waits when there is none.
    void HandleMessage();
    // Shows the exception being handled (call it from inside a catch);
    // EAbort passes silently.
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags);

    TCustomForm* MainForm() const { return FMainForm; }
    HWND Handle();
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    AnsiString HelpFile() const { return FHelpFile; }
    void SetHelpFile(const AnsiString& Value) { FHelpFile = Value; }
    bool HelpContext(int Context);
    bool HelpCommand(unsigned Command, intptr_t Data);
    bool Active() const { return FActive; }

    // --- hints (the window that shows them comes with the standard controls) ---
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    // While a menu shows, the hint is its highlighted item's, not the one
    // under the mouse: the idle pass leaves it alone.
    void BeginMenuHints() { ++FMenuHints; }
    void EndMenuHints();
    void CancelHint();
    // Shows the hint of the control under CursorPos (screen) now, as the
    // hint pause does when it ends.
    void ActivateHint(TPoint CursorPos);
    // Called by every control on WM_MOUSEMOVE: starts the hint pause when
    // the mouse comes to another control with ShowHint, or leaves the
    // shown hint's cursor rectangle.
    void HintMouseMessage(TControl* Control, TMessage& Message);
    // The window showing the hints (made on the first hint), or null.
    THintWindow* HintWindow() const { return FHintWindow; }
    // The control whose hint shows or waits to show, or null.
    TControl* HintControl() const { return FHintControl; }
    // The control under the mouse, as the idle handling last found it.
    TControl* MouseControl() const { return FMouseControl; }
    // What the loop does when the queue is empty: mouse enter and leave, the
    // hint text, OnIdle; answers whether OnIdle is done (the loop may wait).
    bool Idle();

    TExceptionEvent OnException;
    TNotifyEvent OnHint;
    // May change the hint about to show (its text, place, pauses) or stop it.
    TEvent<void(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)> OnShowHint;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    THelpEvent OnHelp;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

private:
    bool ProcessMessage(TMsg& Msg);
    bool IsKeyMsg(TMsg& Msg);
    TControl* DoMouseIdle();
    void ControlDestroyed(TControl* Control);
    void HideHint();
    void StartHintTimer(int Pause, bool ToShow);
    void StopHintTimer();
    void HintTimerExpired();
    TCustomForm* FMainForm = nullptr;
    HWND FHandle = nullptr;
    AnsiString FTitle;
    AnsiString FHelpFile;
    bool FTerminated = false;
    bool FActive = true;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    int FHintShortPause = 50;
    TColor FHintColor = clInfoBk;
    AnsiString FHint;
    int FMenuHints = 0;
    THintWindow* FHintWindow = nullptr;
    TControl* FHintControl = nullptr;
    bool FHintActive = false;
    TRect FHintCursorRect;
    bool FHintTimerOn = false;
    bool FHintTimerShows = false;
    TControl* FMouseControl = nullptr;
    bool FHandleCreated = false;
    int FRunLevel = 0;
};

// Whether Caption marks the key as its accelerator ("&Siguiente" for S);
// "&&" is a plain ampersand.
bool IsAccel(WORD Key, const AnsiString& Caption);

extern TApplication* Application;
extern TScreen* Screen;
// Makes Application and Screen when they do not exist yet, and registers
// the window layer's classes that forms create by name (TForm, TTimer,
// TPopupMenu).
void EnsureApplication();
void RegisterUiClasses();
