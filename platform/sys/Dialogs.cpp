#include "platform/sys/Dialogs.h"

#include "platform/rtl/Exceptions.h"

namespace {

TDialogAnswerer* GAnswerer = nullptr;

TDialogAnswer Ask(const TDialogRequest& Request) {
    if (!GAnswerer) throw EInvalidOperation("No one can answer the box \"" + Request.Text + "\"");
    return GAnswerer->Answer(Request);
}

}  // namespace

TDialogAnswerer* DialogAnswerer() { return GAnswerer; }

TDialogAnswerer* SetDialogAnswerer(TDialogAnswerer* Answerer) {
    TDialogAnswerer* previous = GAnswerer;
    GAnswerer = Answerer;
    return previous;
}

int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    TDialogRequest r;
    r.Kind = TDialogRequest::MessageBox;
    r.Text = Text;
    r.Caption = Caption;
    r.Flags = Flags;
    return Ask(r).Result;
}

void ShowMessage(const AnsiString& Text) {
    TDialogRequest r;
    r.Kind = TDialogRequest::ShowMessage;
    r.Text = Text;
    Ask(r);
}

int MessageDlg(const AnsiString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpContext) {
    TDialogRequest r;
    r.Kind = TDialogRequest::MessageDlg;
    r.Text = Text;
    r.DlgType = DlgType;
    r.Buttons = Buttons;
    r.HelpContext = HelpContext;
    return Ask(r).Result;
}

static bool Query(TDialogRequest::TKind Kind, const AnsiString& Caption, const AnsiString& Prompt,
                  AnsiString& Value) {
    TDialogRequest r;
    r.Kind = Kind;
    r.Text = Prompt;
    r.Caption = Caption;
    r.Default = Value;
    TDialogAnswer a = Ask(r);
    if (a.Result != IDOK) return false;
    Value = a.Text;
    return true;
}

AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default) {
    AnsiString value = Default;
    Query(TDialogRequest::InputBox, Caption, Prompt, value);
    return value;
}

bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value) {
    return Query(TDialogRequest::InputBox, Caption, Prompt, Value);
}

bool PasswordQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value) {
    return Query(TDialogRequest::PasswordBox, Caption, Prompt, Value);
}

TScriptedDialogs::TScriptedDialogs() { FPrevious = SetDialogAnswerer(this); }

TScriptedDialogs::~TScriptedDialogs() {
    if (DialogAnswerer() == this) SetDialogAnswerer(FPrevious);
}

TScriptedDialogs& TScriptedDialogs::Then(int Result, AnsiString Text) {
    FAnswers.push_back({Result, std::move(Text)});
    return *this;
}

std::vector<AnsiString> TScriptedDialogs::Texts() const {
    std::vector<AnsiString> texts;
    for (const TDialogRequest& r : FAsked) texts.push_back(r.Text);
    return texts;
}

TDialogAnswer TScriptedDialogs::Answer(const TDialogRequest& Request) {
    FAsked.push_back(Request);
    bool plain = Request.Kind == TDialogRequest::ShowMessage ||
                 (Request.Kind == TDialogRequest::MessageBox && (Request.Flags & MB_TYPEMASK) == MB_OK);
    if (FAnswers.empty()) {
        if (plain && FAcknowledge) return {IDOK, {}};
        throw EInvalidOperation("Unexpected box: \"" + Request.Text + "\"");
    }
    TDialogAnswer a = FAnswers.front();
    FAnswers.pop_front();
    return a;
}
