#pragma once
// Message boxes and the input box.
//
// Every box goes through one answerer, so that the program's logic can ask
// its questions without knowing of windows. The form layer installs one that
// shows a real modal form (platform/ui/FormDialogs.h) as soon as a display is
// installed; tests (and the engines that run without a window) install a
// TScriptedDialogs, which records what was asked and gives the answers
// queued for it.
#include <deque>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Object.h"
#include "platform/sys/Sound.h"

// Button sets and icons of MessageBox.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_ABORTRETRYIGNORE = 0x02,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05,
    MB_TYPEMASK = 0x0F,
    MB_ICONMASK = 0xF0,  // the icons (MB_ICONEXCLAMATION …) are those of the beep, platform/sys/Sound.h
    MB_DEFBUTTON1 = 0x000,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,
};
// Answers of MessageBox.
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Modal results (forms and MessageDlg).
using TModalResult = int;
enum : int {
    mrNone = 0,
    mrOk = IDOK,
    mrCancel = IDCANCEL,
    mrAbort = IDABORT,
    mrRetry = IDRETRY,
    mrIgnore = IDIGNORE,
    mrYes = IDYES,
    mrNo = IDNO,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// What a box asks.
struct TDialogRequest {
    enum TKind { MessageBox, ShowMessage, MessageDlg, InputBox, PasswordBox } Kind = MessageBox;
    AnsiString Text;     // the message, or the prompt of an input box
    AnsiString Caption;  // empty for ShowMessage and MessageDlg (the box takes the application's title)
    unsigned Flags = 0;  // MessageBox: MB_ button set | icon
    TMsgDlgType DlgType = mtCustom;
    TMsgDlgButtons Buttons;
    int HelpContext = 0;
    AnsiString Default;  // input boxes: the text offered
};

// What the user did: the button (an ID/mr value) and, for input boxes, the text.
struct TDialogAnswer {
    int Result = IDOK;
    AnsiString Text;
};

class TDialogAnswerer {
public:
    virtual ~TDialogAnswerer() = default;
    virtual TDialogAnswer Answer(const TDialogRequest& Request) = 0;
};

// The answerer in use; null until the window layer or a test installs one.
// SetDialogAnswerer gives back the previous one so callers can restore it.
TDialogAnswerer* DialogAnswerer();
TDialogAnswerer* SetDialogAnswerer(TDialogAnswerer* Answerer);

// The boxes. With no answerer installed they raise EInvalidOperation: a box
// that nobody can see must not be taken as answered.
int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags);
void ShowMessage(const AnsiString& Text);
int MessageDlg(const AnsiString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpContext);
// Gives Default when the user cancels.
AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default);
// True on OK, with Value changed; false on Cancel, Value untouched.
bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value);
bool PasswordQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value);

// Answers boxes from a queue and records every request. A box with no answer
// queued raises EInvalidOperation naming its text, so a test sees a question
// it did not expect. Installs itself for its lifetime.
class TScriptedDialogs : public TDialogAnswerer {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // Queues the next answer: a button, and the text for an input box.
    TScriptedDialogs& Then(int Result, AnsiString Text = {});
    // Plain messages (ShowMessage, and MessageBox with MB_OK) are answered
    // IDOK without a queued answer when this is on (the default).
    void SetAcknowledgeMessages(bool Value) { FAcknowledge = Value; }

    const std::vector<TDialogRequest>& Asked() const { return FAsked; }
    // The texts of every box asked, in order.
    std::vector<AnsiString> Texts() const;
    size_t Pending() const { return FAnswers.size(); }

    TDialogAnswer Answer(const TDialogRequest& Request) override;

private:
    std::deque<TDialogAnswer> FAnswers;
    std::vector<TDialogRequest> FAsked;
    TDialogAnswerer* FPrevious = nullptr;
    bool FAcknowledge = true;
};
