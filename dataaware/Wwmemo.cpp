#include "dataaware/Wwmemo.h"

#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "platform/sys/Dialogs.h"

ZELMOR_IMPLEMENT_CLASS(TwwMemoDlg, TForm)

TwwMemoDlg::TwwMemoDlg(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetCaption("Dialog");
    SetColor(clBtnFace);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    Font()->SetStyle(TFontStyles{fsBold});
    Font()->SetColor(clBlack);
    SetBounds(0, 0, 561, 395);
    SetPosition(poScreenCenter);
    Memo = NewComponent<TMemo>(this);
    Memo->SetName("Memo");
    Memo->SetBounds(0, 0, 545, 321);
    Memo->SetScrollBars(ssVertical);
    Memo->SetWantTabs(true);
    Memo->SetParent(this);
    Memo->OnKeyDown = [this](TObject* S, WORD& K, TShiftState Sh) { MemoKeyDown(S, K, Sh); };
    UserButtonPanel = NewComponent<TPanel>(this);
    UserButtonPanel->SetName("UserButtonPanel");
    UserButtonPanel->SetBounds(0, 322, 237, 41);
    UserButtonPanel->SetBevelInner(bvRaised);
    UserButtonPanel->SetBevelOuter(bvLowered);
    UserButtonPanel->SetTabStop(true);
    UserButtonPanel->SetCaption("");
    UserButtonPanel->Hide();
    UserButtonPanel->SetParent(this);
    auto MakeUserButton = [this](const char* Name, int Left, void (TwwMemoDlg::*Click)(TObject*)) {
        auto* B = NewComponent<TButton>(this);
        B->SetName(Name);
        B->SetBounds(Left, 8, 89, 26);
        B->Hide();
        B->SetParent(UserButtonPanel);
        B->OnClick = [this, Click](TObject* S) { (this->*Click)(S); };
        return B;
    };
    UserButton1 = MakeUserButton("UserButton1", 16, &TwwMemoDlg::UserButton1Click);
    UserButton2 = MakeUserButton("UserButton2", 128, &TwwMemoDlg::UserButton2Click);
    PopupMenu1 = NewComponent<TPopupMenu>(this);
    OKBtn = CreateDialogButton(this, bkOK);
    OKBtn->SetTabOrder(1);
    OKBtn->OnClick = [this](TObject* S) { OKBtnClick(S); };
    CancelBtn = CreateDialogButton(this, bkCancel);
    CancelBtn->SetTabOrder(2);
    OnShow = [this](TObject* S) { FormShow(S); };
    OnResize = [this](TObject* S) { FormResize(S); };
    OnCloseQuery = [this](TObject* S, bool& C) { FormCloseQuery(S, C); };
}

void TwwMemoDlg::FormShow(TObject*) {
    if (FShown) return;
    FShown = true;
    SetKeyPreview(true);
    if (WantedLeft == 0 && WantedTop == 0) {
        SetBounds((Screen->Width() - WantedWidth) / 2, (Screen->Height() - WantedHeight) / 2, WantedWidth,
                  WantedHeight);
    } else if (WantedLeft > 0 || WantedTop > 0) {
        SetBounds(WantedLeft, WantedTop, WantedWidth, WantedHeight);
    }
    if (!UserButton1->Caption().empty() || !UserButton2->Caption().empty()) {
        UserButtonPanel->SetLeft(Memo->Left() - 1);
        UserButtonPanel->SetTop(Memo->Top() + Memo->Height() + 2);
        int Right = 0, X = 10;
        for (TButton* B : {UserButton1, UserButton2}) {
            if (B->Caption().empty()) continue;
            B->SetLeft(B == UserButton2 && Right ? Right + 15 : (B == UserButton2 ? 15 : X));
            B->Show();
            Right = B->Left() + B->Width();
        }
        UserButtonPanel->SetWidth(Right + 10);
        UserButtonPanel->Show();
    }
    if (DefaultIntl) Font()->SetStyle(DefaultIntl->DialogFontStyle());
    if (Dialog) Dialog->SetDialogForm(this);
    if (Dialog) Dialog->DoInitDialog(this);
    Memo->SetModified(false);
    Memo->OnChange = [this](TObject* S) { MemoChange(S); };
    FormResize(this);
}

void TwwMemoDlg::FormResize(TObject*) {
    const int F = GetSystemMetrics(SM_CYDLGFRAME), C = GetSystemMetrics(SM_CYCAPTION);
    Memo->SetBounds(6, 6, Width() - 20, Height() - (2 * F + C + 53));
    const int Top = Memo->Height() + 17;
    OKBtn->SetTop(Top);
    CancelBtn->SetTop(Top);
    if (UserButtonPanel->Visible()) UserButtonPanel->SetTop(Memo->Top() + Memo->Height() + 2);
    if (!ReadOnly) {
        OKBtn->SetLeft(Memo->Width() - 2 * OKBtn->Width() - 40);
        CancelBtn->SetLeft(Memo->Width() - OKBtn->Width() - 20);
        CancelBtn->Show();
    } else if (!UserButton1->Caption().empty() || !UserButton2->Caption().empty()) {
        OKBtn->SetLeft(Memo->Left() + Memo->Width() - OKBtn->Width() - 25);
    } else {
        OKBtn->SetLeft(Memo->Left() + Memo->Width() / 2 - CancelBtn->Width() / 2);
    }
    OKBtn->Show();
}

void TwwMemoDlg::MemoChange(TObject*) { OKBtn->SetEnabled(true); }

void TwwMemoDlg::OKBtnClick(TObject*) {
    FClosingByOK = true;
    SetModalResult(mrOk);
}

void TwwMemoDlg::MemoKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if ((Key == VK_RETURN && Shift.Contains(ssCtrl)) || Key == VK_F2) {
        Key = 0;
        OKBtnClick(this);
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        SetModalResult(mrCancel);
    }
}

void TwwMemoDlg::KeyDown(WORD& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE && ActiveControl() != Memo) Key = 0;
}

void TwwMemoDlg::FormCloseQuery(TObject*, bool& CanClose) {
    if (FClosingByOK || !Memo->Modified()) return;
    const AnsiString Question = DefaultIntl
                                    ? DefaultIntl->UserMessages()->MemoChangesWarning()
                                    : AnsiString("Changes have been made!  Are you sure you wish to cancel?");
    if (MessageDlg(Question, mtConfirmation, {mbYes, mbNo}, 0) == mrYes) {
        SetModalResult(mrCancel);
        return;
    }
    CanClose = false;
    SetModalResult(mrNone);
}

void TwwMemoDlg::UserButton1Click(TObject*) {
    if (Dialog && Assigned(Dialog->OnUserButton1Click)) Dialog->OnUserButton1Click(this, Memo);
}

void TwwMemoDlg::UserButton2Click(TObject*) {
    if (Dialog && Assigned(Dialog->OnUserButton2Click)) Dialog->OnUserButton2Click(this, Memo);
}
