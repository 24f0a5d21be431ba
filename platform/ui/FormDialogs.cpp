#include "platform/ui/FormDialogs.h"

#include "platform/win/Display.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"

namespace {
// The answer of a Help button (MessageDlg's mbHelp).
constexpr int IdHelp = 9;

// --- the small controls the boxes are made of ---

class TDialogButton : public TCustomControl {
    ZELMOR_CLASS(TDialogButton, TCustomControl)
public:
    explicit TDialogButton(TComponent* AOwner) : TCustomControl(AOwner) {
        FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csOpaque};
        SetTabStop(true);
        SetBounds(0, 0, 75, 25);
        SetColor(clBtnFace);
        SetParentFont(true);
    }
    TModalResult ModalResult = mrNone;
    bool IsDefault = false;
    bool IsCancel = false;

    void Click() override {
        // The form has its answer before any handler runs, so a handler that
        // fails cannot keep the box open.
        if (TCustomForm* F = GetParentForm(this)) F->SetModalResult(ModalResult);
        TCustomControl::Click();
    }

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        TRect R = ClientRect();
        bool Pressed = FPressed && FControlState.Contains(csLButtonDown);
        if (FActive) {
            C->Brush()->SetColor(clWindowFrame);
            C->FrameRect(R);
            InflateRect(R, -1, -1);
        }
        TRect Face = R;
        C->DrawFrameControl(Face, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0u));
        C->Font()->Assign(Font());
        C->SetBkMode(TRANSPARENT);
        C->SetTextColor(Enabled() ? clBtnText : clGrayText);
        TRect T = R;
        if (Pressed) OffsetRect(T, 1, 1);
        C->DrawText(Caption(), T, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (Focused()) {
            TRect F = R;
            InflateRect(F, -3, -3);
            C->DrawFocusRect(F);
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (Button == mbLeft && CanFocus() && !Focused()) SetFocus();
        FPressed = true;
        Invalidate();
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        FPressed = false;
        Invalidate();
        TCustomControl::MouseUp(Button, Shift, X, Y);
    }
    void WMGetDlgCode(TMessage& Message) override {
        Message.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    }
    void WMChar(TMessage& Message) override {
        if (Message.CharCode() == ' ') {
            Click();
            return;
        }
        TCustomControl::WMChar(Message);
    }
    void WMSetFocus(TMessage& Message) override {
        TCustomControl::WMSetFocus(Message);
        Invalidate();
    }
    void WMKillFocus(TMessage& Message) override {
        TCustomControl::WMKillFocus(Message);
        Invalidate();
    }
    void CMFocusChanged(TMessage& Message) override {
        TControl* Sender = LParamToPointer<TControl>(Message.LParam);
        bool Active = Sender == this || (IsDefault && !dynamic_cast<TDialogButton*>(Sender));
        if (Active != FActive) {
            FActive = Active;
            Invalidate();
        }
        TCustomControl::CMFocusChanged(Message);
    }
    void CMDialogKey(TMessage& Message) override {
        WORD Key = Message.CharCode();
        if (((Key == VK_RETURN && FActive) || (Key == VK_ESCAPE && IsCancel)) &&
            KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        TCustomControl::CMDialogKey(Message);
    }
    void CMDialogChar(TMessage& Message) override {
        if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        TCustomControl::CMDialogChar(Message);
    }
    void CMTextChanged(TMessage& Message) override {
        TCustomControl::CMTextChanged(Message);
        Invalidate();
    }

private:
    bool FPressed = false;
    bool FActive = false;
};
ZELMOR_IMPLEMENT_CLASS(TDialogButton, TCustomControl)

class TDialogLabel : public TGraphicControl {
    ZELMOR_CLASS(TDialogLabel, TGraphicControl)
public:
    explicit TDialogLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetParentFont(true); }

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Font()->Assign(Font());
        C->SetBkMode(TRANSPARENT);
        C->SetTextColor(Font()->Color());
        TRect R = ClientRect();
        C->DrawText(Caption(), R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }
};
ZELMOR_IMPLEMENT_CLASS(TDialogLabel, TGraphicControl)

// The picture beside a box's text, drawn from the shapes of the icon kind:
// a red disc with a white cross (MB_ICONHAND), a yellow triangle with an
// exclamation mark, a blue disc with a question mark or with an "i".
class TDialogIcon : public TGraphicControl {
    ZELMOR_CLASS(TDialogIcon, TGraphicControl)
public:
    static constexpr int Size = 32;
    explicit TDialogIcon(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, Size, Size); }
    unsigned Kind = 0;  // MB_ICONHAND ... MB_ICONASTERISK

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Pen()->SetColor(clBlack);
        C->Pen()->SetWidth(1);
        auto Bar = [C](int L, int T, int R, int B, TColor Color) {
            C->Brush()->SetColor(Color);
            C->FillRect(TRect(L, T, R, B));
        };
        if (Kind == MB_ICONEXCLAMATION) {
            const TPoint Triangle[3] = {{16, 1}, {31, 30}, {0, 30}};
            C->Brush()->SetColor(clYellow);
            C->Polygon(Triangle);
            Bar(14, 9, 18, 22, clBlack);
            Bar(14, 24, 18, 28, clBlack);
            return;
        }
        C->Brush()->SetColor(Kind == MB_ICONHAND ? clRed : clBlue);
        C->Ellipse(0, 0, Size, Size);
        if (Kind == MB_ICONHAND) {
            // The cross: two diagonals three pixels thick.
            for (int I = 9; I < 23; ++I)
                for (int D = -1; D <= 1; ++D) {
                    C->SetPixel(I + D, I, clWhite);
                    C->SetPixel(31 - I + D, I, clWhite);
                }
        } else if (Kind == MB_ICONASTERISK) {
            Bar(14, 7, 18, 11, clWhite);
            Bar(14, 13, 18, 26, clWhite);
        } else {
            C->Font()->SetName("Arial");
            C->Font()->SetHeight(-22);
            C->Font()->SetStyle({fsBold});
            C->Font()->SetColor(clWhite);
            C->SetBkMode(TRANSPARENT);
            TRect R = ClientRect();
            C->DrawText("?", R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
};
ZELMOR_IMPLEMENT_CLASS(TDialogIcon, TGraphicControl)

// A one-line edit: enough for the input box until the standard edit exists.
class TDialogEdit : public TCustomControl {
    ZELMOR_CLASS(TDialogEdit, TCustomControl)
public:
    explicit TDialogEdit(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        SetColor(clWindow);
        SetParentFont(true);
        SetBounds(0, 0, 200, 21);
    }
    const AnsiString& Value() const { return FValue; }
    void SetValue(const AnsiString& V) {
        FValue = V;
        FCaret = static_cast<int>(V.size());
        FSelAll = true;
        Invalidate();
    }
    char PasswordChar = 0;

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
    AnsiString Shown() const { return PasswordChar ? AnsiString(FValue.size(), PasswordChar) : FValue; }
    int CaretX() {
        TCanvas* C = Canvas();
        C->Font()->Assign(Font());
        return 2 + C->TextWidth(Shown().substr(0, static_cast<size_t>(FCaret)));
    }
    void Paint() override {
        TCanvas* C = Canvas();
        TRect R = ClientRect();
        C->Brush()->SetColor(clWindow);
        C->FillRect(R);
        C->Font()->Assign(Font());
        C->SetBkMode(TRANSPARENT);
        C->SetTextColor(clWindowText);
        AnsiString S = Shown();
        if (FSelAll && Focused() && !S.empty()) {
            C->Brush()->SetColor(clHighlight);
            C->FillRect(Bounds(2, 1, C->TextWidth(S), C->TextHeight(S)));
            C->SetTextColor(clHighlightText);
        }
        C->TextOut(2, 1, S);
    }
    void Reposition() {
        if (Focused()) SetCaretPos(CaretX(), 1);
        Invalidate();
    }
    void WMGetDlgCode(TMessage& Message) override { Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; }
    void WMSetFocus(TMessage& Message) override {
        TCustomControl::WMSetFocus(Message);
        CreateCaret(Handle(), 1, std::max(1, ClientHeight() - 2));
        SetCaretPos(CaretX(), 1);
        ShowCaret(Handle());
        Invalidate();
    }
    void WMKillFocus(TMessage& Message) override {
        TCustomControl::WMKillFocus(Message);
        DestroyCaret();
        Invalidate();
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        TCustomControl::KeyDown(Key, Shift);
        int N = static_cast<int>(FValue.size());
        switch (Key) {
        case VK_LEFT: FCaret = std::max(0, FCaret - 1); break;
        case VK_RIGHT: FCaret = std::min(N, FCaret + 1); break;
        case VK_HOME: FCaret = 0; break;
        case VK_END: FCaret = N; break;
        case VK_DELETE:
            if (FSelAll) {
                FValue.clear();
                FCaret = 0;
            } else if (FCaret < N) {
                FValue.erase(static_cast<size_t>(FCaret), 1);
            }
            break;
        default: return;
        }
        FSelAll = false;
        Reposition();
    }
    void KeyPress(char& Key) override {
        TCustomControl::KeyPress(Key);
        unsigned char K = static_cast<unsigned char>(Key);
        if (K == 8) {
            if (FSelAll) {
                FValue.clear();
                FCaret = 0;
            } else if (FCaret > 0) {
                FValue.erase(static_cast<size_t>(--FCaret), 1);
            }
        } else if (K >= 32) {
            if (FSelAll) {
                FValue.clear();
                FCaret = 0;
            }
            FValue.insert(static_cast<size_t>(FCaret++), 1, Key);
        } else {
            return;
        }
        FSelAll = false;
        Reposition();
    }

private:
    AnsiString FValue;
    int FCaret = 0;
    bool FSelAll = false;
};
ZELMOR_IMPLEMENT_CLASS(TDialogEdit, TCustomControl)

struct TButtonSpec {
    int Result;
    const char* Name;
    const char* Caption;
};

const TButtonSpec& SpecOf(int Result) {
    static const TButtonSpec Specs[] = {
        {IDOK, "OK", "Aceptar"},
        {IDCANCEL, "Cancel", "Cancelar"},
        {IDYES, "Yes", "&S\xED"},
        {IDNO, "No", "&No"},
        {IDABORT, "Abort", "&Anular"},
        {IDRETRY, "Retry", "&Reintentar"},
        {IDIGNORE, "Ignore", "&Omitir"},
        {mrAll, "All", "&Todos"},
        {mrNoToAll, "NoToAll", "N&o a todo"},
        {mrYesToAll, "YesToAll", "S&\xED a todo"},
        {IdHelp, "Help", "Ay&uda"},
    };
    for (const TButtonSpec& S : Specs)
        if (S.Result == Result) return S;
    return Specs[0];
}

std::vector<int> MessageBoxChoices(UINT Flags) {
    std::vector<int> C;
    switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: C = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: C = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: C = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: C = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: C = {IDRETRY, IDCANCEL}; break;
    default: C = {IDOK}; break;
    }
    size_t Default = (Flags & MB_DEFMASK) == MB_DEFBUTTON2   ? 1
                     : (Flags & MB_DEFMASK) == MB_DEFBUTTON3 ? 2
                                                             : 0;
    if (Default < C.size())
        std::rotate(C.begin(), C.begin() + static_cast<std::ptrdiff_t>(Default),
                    C.begin() + static_cast<std::ptrdiff_t>(Default) + 1);
    return C;
}

std::vector<int> MessageDlgChoices(TMsgDlgButtons Buttons) {
    static const std::pair<TMsgDlgBtn, int> Order[] = {
        {mbYes, mrYes},           {mbNo, mrNo},       {mbOK, mrOk},
        {mbCancel, mrCancel},     {mbAbort, mrAbort}, {mbRetry, mrRetry},
        {mbIgnore, mrIgnore},     {mbAll, mrAll},     {mbNoToAll, mrNoToAll},
        {mbYesToAll, mrYesToAll}, {mbHelp, IdHelp},
    };
    std::vector<int> C;
    for (const auto& [B, R] : Order)
        if (Buttons.Contains(B)) C.push_back(R);
    if (C.empty()) C.push_back(mrOk);
    // The default is OK, else Yes: it goes first.
    auto Def = std::find(C.begin(), C.end(), mrOk);
    if (Def == C.end()) Def = std::find(C.begin(), C.end(), mrYes);
    if (Def != C.end()) std::rotate(C.begin(), Def, Def + 1);
    return C;
}

// The answer a box gives when it is closed without a button.
int CancelChoice(const std::vector<int>& Choices) {
    for (int R : {IDCANCEL, IDNO, IDOK})
        if (std::find(Choices.begin(), Choices.end(), R) != Choices.end()) return R;
    return Choices.empty() ? IDCANCEL : Choices.back();
}

// The buttons a request offers, the default first.
std::vector<int> ChoicesOf(const TDialogRequest& R) {
    switch (R.Kind) {
    case TDialogRequest::MessageBox: return MessageBoxChoices(R.Flags);
    case TDialogRequest::MessageDlg: return MessageDlgChoices(R.Buttons);
    case TDialogRequest::InputBox:
    case TDialogRequest::PasswordBox: return {IDOK, IDCANCEL};
    default: return {IDOK};
    }
}

// The icon a box shows: its flags' for a message box, its type's for a
// message dialog; 0 for none.
unsigned IconOf(const TDialogRequest& R) {
    if (R.Kind == TDialogRequest::MessageBox) {
        unsigned Icon = R.Flags & MB_ICONMASK;
        return Icon == MB_ICONHAND || Icon == MB_ICONQUESTION || Icon == MB_ICONEXCLAMATION ||
                       Icon == MB_ICONASTERISK
                   ? Icon
                   : 0;
    }
    if (R.Kind == TDialogRequest::MessageDlg) {
        switch (R.DlgType) {
        case mtWarning: return MB_ICONEXCLAMATION;
        case mtError: return MB_ICONHAND;
        case mtInformation: return MB_ICONASTERISK;
        case mtConfirmation: return MB_ICONQUESTION;
        default: return 0;
        }
    }
    return 0;
}

AnsiString CaptionOf(const TDialogRequest& R) {
    if (!R.Caption.empty()) return R.Caption;
    if (R.Kind == TDialogRequest::MessageDlg && R.DlgType != mtCustom) {
        static const char* Titles[] = {"Advertencia", "Error", "Informaci\xF3n", "Confirmar"};
        return Titles[R.DlgType];
    }
    return Application ? Application->Title() : AnsiString();
}

// Shows each box as a modal form of its own.
class TFormDialogs : public TDialogAnswerer {
public:
    TDialogAnswer Answer(const TDialogRequest& Request) override {
        std::vector<int> Choices = ChoicesOf(Request);
        TForm* Form = CreateDialogForm(Request);
        TDialogAnswer A;
        try {
            A.Result = Form->ShowModal();
            if (auto* Edit = dynamic_cast<TDialogEdit*>(Form->FindComponent("Value"))) A.Text = Edit->Value();
        } catch (...) {
            Form->Free();
            throw;
        }
        Form->Free();
        if (std::find(Choices.begin(), Choices.end(), A.Result) == Choices.end())
            A.Result = CancelChoice(Choices);
        return A;
    }
};

}  // namespace

TDialogAnswerer* FormDialogs() {
    static TFormDialogs Answerer;
    return &Answerer;
}

namespace {
// Boxes become forms once someone can see them; without a display they stay
// unanswerable rather than answered by nobody.
void FollowDisplay(bool Installed) {
    if (Installed && !DialogAnswerer()) SetDialogAnswerer(FormDialogs());
    if (!Installed && DialogAnswerer() == FormDialogs()) SetDialogAnswerer(nullptr);
}
}  // namespace

void InstallFormDialogs() {
    SetDisplayListener(FollowDisplay);
    FollowDisplay(DisplayInstalled());
}

// --- the form behind a box ---

TForm* CreateDialogForm(const TDialogRequest& Request) {
    TForm* F = TForm::CreateNew(Application);
    try {
        F->SetBorderStyle(bsDialog);
        F->SetPosition(poScreenCenter);
        F->SetCaption(CaptionOf(Request));
        const int Margin = 12, Gap = 8, ButtonW = 75, ButtonH = 25;
        TCanvas Measure;
        TSurface Scratch(1, 1);
        Measure.SetSurface(&Scratch);
        Measure.Font()->Assign(F->Font());
        int MaxText = std::max(200, Screen->Width() / 2);
        TRect TextR(0, 0, MaxText, 0);
        Measure.DrawText(Request.Text.empty() ? AnsiString(" ") : Request.Text, TextR,
                         DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        bool Input = Request.Kind == TDialogRequest::InputBox || Request.Kind == TDialogRequest::PasswordBox;
        const std::vector<int> Choices = ChoicesOf(Request);
        std::vector<int> Buttons = Choices;
        // On screen the buttons keep their usual order, whichever is the default.
        static const int Order[] = {IDYES,    IDNO,  IDOK,      IDCANCEL,   IDABORT, IDRETRY,
                                    IDIGNORE, mrAll, mrNoToAll, mrYesToAll, IdHelp};
        auto Rank = [](int R) {
            return std::find(std::begin(Order), std::end(Order), R) - std::begin(Order);
        };
        std::sort(Buttons.begin(), Buttons.end(), [&](int A, int B) { return Rank(A) < Rank(B); });
        int ButtonsW =
            static_cast<int>(Buttons.size()) * ButtonW + static_cast<int>(Buttons.size() - 1) * Gap;
        unsigned Icon = IconOf(Request);
        // The text stands right of the icon, level with its middle when shorter.
        int TextLeft = Margin + (Icon ? TDialogIcon::Size + Margin : 0);
        int ClientW = std::max({TextLeft - Margin + TextR.Width(), ButtonsW, Input ? 250 : 150}) + 2 * Margin;
        int Y = Margin;
        int TextTop = Y;
        if (Icon) {
            auto* Picture = NewComponent<TDialogIcon>(F);
            Picture->SetName("Icon");
            Picture->SetParent(F);
            Picture->Kind = Icon;
            Picture->SetBounds(Margin, Y, TDialogIcon::Size, TDialogIcon::Size);
            TextTop += std::max(0, (TDialogIcon::Size - TextR.Height()) / 2);
        }
        auto* Label = NewComponent<TDialogLabel>(F);
        Label->SetName("Message");
        Label->SetParent(F);
        Label->SetBounds(TextLeft, TextTop, ClientW - TextLeft - Margin, TextR.Height());
        Label->SetCaption(Request.Text);
        Y = std::max(TextTop + TextR.Height(), Icon ? Y + TDialogIcon::Size : 0) + Gap;
        TDialogEdit* Edit = nullptr;
        if (Input) {
            Edit = NewComponent<TDialogEdit>(F);
            Edit->SetName("Value");
            Edit->SetParent(F);
            Edit->SetBounds(Margin, Y, ClientW - 2 * Margin, 21);
            if (Request.Kind == TDialogRequest::PasswordBox) Edit->PasswordChar = '*';
            Edit->SetValue(Request.Default);
            Y += 21 + Gap;
        }
        Y += Gap;
        int X = (ClientW - ButtonsW) / 2;
        int Cancel = CancelChoice(Choices);
        for (int R : Buttons) {
            const TButtonSpec& S = SpecOf(R);
            auto* B = NewComponent<TDialogButton>(F);
            B->SetName(S.Name);
            B->SetParent(F);
            B->SetBounds(X, Y, ButtonW, ButtonH);
            B->SetCaption(S.Caption);
            B->ModalResult = R;
            B->IsDefault = R == Choices.front();
            B->IsCancel = R == Cancel && (R == IDCANCEL || Choices.size() == 1);
            if (B->IsDefault && !Edit) F->SetActiveControl(B);
            X += ButtonW + Gap;
        }
        if (Edit) F->SetActiveControl(Edit);
        F->SetClientSize(ClientW, Y + ButtonH + Margin);
    } catch (...) {
        F->Free();
        throw;
    }
    return F;
}
