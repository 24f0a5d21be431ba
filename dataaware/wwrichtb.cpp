#include "dataaware/wwrichtb.h"

#include <cstring>

#include "dataaware/Wwintl.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwriched.h"
#include "platform/rtl/Format.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_CLASS(TwwRichTabDialog, TForm)

TwwRichTabDialog::TwwRichTabDialog(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetBorderStyle(bsDialog);
    SetColor(clBtnFace);
    SetClientWidth(265);
    SetClientHeight(200);
    SetPosition(poScreenCenter);
    GroupBox1 = NewComponent<TGroupBox>(this);
    GroupBox1->SetBounds(8, 4, 160, 188);
    GroupBox1->SetParent(this);
    Edit1 = NewComponent<TEdit>(GroupBox1);
    Edit1->SetName("Edit1");
    Edit1->SetBounds(10, 20, 140, 21);
    Edit1->SetParent(GroupBox1);
    ListBox1 = NewComponent<TListBox>(GroupBox1);
    ListBox1->SetName("ListBox1");
    ListBox1->SetBounds(10, 46, 140, 100);
    ListBox1->SetMultiSelect(true);
    ListBox1->SetParent(GroupBox1);
    auto button = [this](TWinControl* Parent, const char* Name, int Left, int Top) {
        auto* b = NewComponent<TButton>(this);
        b->SetName(Name);
        b->SetBounds(Left, Top, 70, 24);
        b->SetParent(Parent);
        return b;
    };
    Button1 = button(GroupBox1, "Button1", 10, 154);
    Button2 = button(GroupBox1, "Button2", 84, 154);
    OKButton = button(this, "OKButton", 182, 10);
    OKButton->SetDefault(true);
    // OK closes the dialog itself, once what the edit holds is taken.
    OKButton->SetModalResult(mrNone);
    Button3 = button(this, "Button3", 182, 40);
    Button3->SetCancel(true);
    Button3->SetModalResult(mrCancel);
    Button4 = button(this, "Button4", 182, 70);
    Button1->OnClick = [this](TObject*) { SetClick(); };
    Button2->OnClick = [this](TObject*) { ClearClick(); };
    Button4->OnClick = [this](TObject*) { ClearAllClick(); };
    OKButton->OnClick = [this](TObject*) { OKButtonClick(); };
    // Enter in the edit sets the stop; with the edit empty it is OK's.
    Edit1->OnEnter = [this](TObject*) { OKButton->SetDefault(false); };
    Edit1->OnExit = [this](TObject*) { OKButton->SetDefault(true); };
    Edit1->OnKeyPress = [this](TObject*, char& Key) {
        if (Key != '\r') return;
        Key = 0;
        if (!Edit1->Text().empty()) {
            SetClick();
        } else {
            OKButtonClick();
        }
    };
}

void TwwRichTabDialog::SetRichEdit(TwwCustomRichEdit* Value) {
    FRichEdit = Value;
    ApplyLabels();
}

void TwwRichTabDialog::ApplyLabels() {
    TwwRichEditTabDlg* t = DefaultIntl->RichEdit()->TabDialog();
    SetCaption(t->TabDlgCaption());
    GroupBox1->SetCaption(t->TabGroupBoxCaption());
    Button1->SetCaption(t->SetTabButtonCaption());
    Button2->SetCaption(t->ClearTabButtonCaption());
    Button4->SetCaption(t->ClearAllButtonCaption());
    OKButton->SetCaption(DefaultIntl->BtnOKCaption());
    Button3->SetCaption(DefaultIntl->BtnCancelCaption());
    if (FRichEdit->EditorOptions().Contains(reoShowHints)) {
        Edit1->SetHint(t->TabPositionEditHint());
        ListBox1->SetHint(t->ListBoxHint());
        Button1->SetHint(t->SetButtonHint());
        Button2->SetHint(t->ClearButtonHint());
        Button4->SetHint(t->ClearAllButtonHint());
        for (TControl* c : std::initializer_list<TControl*>{Edit1, ListBox1, Button1, Button2, Button4})
            c->SetShowHint(true);
    }
}

bool TwwRichTabDialog::ReadMeasure(const AnsiString& Text, double& Number, int& Twips) const {
    if (!FRichEdit->IsValidMeasure(Text)) return false;
    const AnsiString bare = TwwCustomRichEdit::StripUnitMarks(Text);
    Number = static_cast<double>(StrToFloat(bare));
    Twips = FRichEdit->TextToTwips(bare);
    return true;
}

void TwwRichTabDialog::SetClick() {
    double number = 0;
    int twips = 0;
    if (!ReadMeasure(Edit1->Text(), number, twips) || twips < 0) return;
    const AnsiString text = FRichEdit->UnitsToText(number);
    TStrings* items = ListBox1->Items();
    if (items->IndexOf(text) < 0) {
        int at = 0;
        while (at < items->Count() && static_cast<double>(StrToFloat(
                                          TwwCustomRichEdit::StripUnitMarks(items->Strings(at)))) <= number)
            ++at;
        items->Insert(at, text);
    }
    Edit1->SetText("");
}

void TwwRichTabDialog::ClearClick() {
    for (int i = ListBox1->Items()->Count() - 1; i >= 0; --i)
        if (ListBox1->Selected(i)) ListBox1->Items()->Delete(i);
}

void TwwRichTabDialog::ClearAllClick() { ListBox1->Items()->Clear(); }

void TwwRichTabDialog::OKButtonClick() {
    if (Edit1->Text().empty()) {
        SetModalResult(mrOk);
        return;
    }
    double number = 0;
    int twips = 0;
    if (!ReadMeasure(Edit1->Text(), number, twips)) {
        // The dialog stays, the focus on what must be mended.
        SetModalResult(mrNone);
        Edit1->SetFocus();
        return;
    }
    SetClick();
    SetModalResult(mrOk);
}

bool TwwCustomRichEdit::ExecuteTabDialog() {
    auto* dialog = TForm::CreateNew<TwwRichTabDialog>(Application);
    dialog->SetRichEdit(this);
    struct TFree {
        TwwRichTabDialog* D;
        ~TFree() { D->Free(); }
    } free{dialog};
    for (int t : GetParagraphFormat().Tabs) dialog->ListBox1->Items()->Add(UnitsToText(TwipsToUnits(t)));
    if (dialog->ShowModal() != mrOk) return false;
    std::vector<int> tabs;
    TStrings* items = dialog->ListBox1->Items();
    for (int i = 0; i < items->Count(); ++i)
        tabs.push_back(TextToTwips(TwwCustomRichEdit::StripUnitMarks(items->Strings(i))));
    SetParagraphFormat(wwpmTabStops, "", false, 0, 0, 0, static_cast<int>(tabs.size()), tabs.data(), 0, 0, 0,
                       0);
    return true;
}
