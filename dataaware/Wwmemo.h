#pragma once
// The memo window: a multi-line edit filling the window, OK and Cancel, and
// up to two buttons whose captions and actions the memo dialog's user gives.
// The window is made by its constructor, laid out as designed (561 by 395,
// centred); the memo dialog (Wwdbgrid.h) fills and shows it.
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

class TwwMemoDialog;

class TwwMemoDlg : public TForm {
    ZELMOR_CLASS(TwwMemoDlg, TForm)
public:
    TwwMemoDlg(TComponent* AOwner, TCreateNew Tag);

    TMemo* Memo = nullptr;
    TPanel* UserButtonPanel = nullptr;
    TButton* UserButton1 = nullptr;
    TButton* UserButton2 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // What the dialog gives the window before it shows.
    TwwMemoDialog* Dialog = nullptr;
    int WantedLeft = 0, WantedTop = 0, WantedWidth = 561, WantedHeight = 395;
    bool ReadOnly = false;

    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void MemoKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void MemoChange(TObject* Sender);
    void OKBtnClick(TObject* Sender);
    void UserButton1Click(TObject* Sender);
    void UserButton2Click(TObject* Sender);

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool FShown = false;
    bool FClosingByOK = false;
};
