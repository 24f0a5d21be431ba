#pragma once
// Message boxes and the input box.
//
// Every one of them goes through one answerer. None is installed by default:
// the box is then a real modal form of our own controls, which a user (or an
// off-screen test, by clicking its buttons) answers. A test that wants no
// window at all installs TScriptedDialogs: it answers from a list and keeps
// what was asked.
#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/rtl/Object.h"
#include "platform/ui/Messages.h"

class TForm;

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// What a box asks.
struct TDialogRequest {
    enum TKind : uint8_t { kMessageBox, kShowMessage, kMessageDlg, kInputQuery } Kind = kMessageBox;
    AnsiString Text;     // the message, or the input box's prompt
    AnsiString Caption;
    UINT Flags = 0;      // MessageBox: MB_ buttons, icon and default button
    TMsgDlgType DlgType = mtInformation;
    TMsgDlgButtons Buttons;
    int HelpContext = 0;
    AnsiString Value;    // the input box's starting text
    char PasswordChar = 0;
    // The answers a user could give (IDOK ... for message boxes, mrOk ...
    // for MessageDlg, IDOK/IDCANCEL for the input box), the default first.
    std::vector<int> Choices;
};

struct TDialogAnswer {
    int Result = 0;
    AnsiString Value;  // the input box's text on OK
};

using TDialogAnswerer = std::function<TDialogAnswer(const TDialogRequest& Request)>;
// Installs an answerer (empty: real forms again) and answers the one it replaces.
TDialogAnswerer SetDialogAnswerer(TDialogAnswerer Answerer);

// A box the script had no answer for; not an error of the program, so the
// application's exception handler lets it through to the test.
class EUnexpectedDialog : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Answers boxes from a list, in order, and records every request. A box with
// one possible answer (a plain message, an OK box) is answered by itself and
// takes nothing from the list. An answer that is not among the box's choices,
// or a box with choices when the list is empty, raises EUnexpectedDialog.
class TScriptedDialogs {
public:
    TScriptedDialogs();
    explicit TScriptedDialogs(std::initializer_list<int> Answers);
    ~TScriptedDialogs();
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;
    void Answer(int Result, AnsiString Value = {});
    const std::vector<TDialogRequest>& Requests() const { return FRequests; }
    size_t Pending() const { return FAnswers.size(); }

private:
    TDialogAnswer Next(const TDialogRequest& Request);
    std::deque<TDialogAnswer> FAnswers;
    std::vector<TDialogRequest> FRequests;
    TDialogAnswerer FPrevious;
};

// IDOK, IDCANCEL, IDYES, IDNO ...
int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags);
void ShowMessage(const AnsiString& Msg);
// mrOk, mrCancel, mrYes, mrNo ...
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpContext = 0);
// The text typed, or Default when the box is cancelled.
AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default);
// True on OK, with Value the text typed; a password character hides what is typed.
bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value, char PasswordChar = 0);

// The modal form a box is shown with when no answerer is installed: a text,
// buttons named "OK", "Cancel", "Yes", "No" ... (the input box adds an edit
// named "Value"); its ModalResult is the answer.
TForm* CreateDialogForm(const TDialogRequest& Request);
