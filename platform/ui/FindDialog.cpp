#include "platform/ui/FindDialog.h"

#include "platform/classes/Properties.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_ENUM(TFindOption, "frDown", "frFindNext", "frHideMatchCase", "frHideWholeWord",
                      "frHideUpDown", "frMatchCase", "frDisableMatchCase", "frDisableUpDown",
                      "frDisableWholeWord", "frReplace", "frReplaceAll", "frWholeWord", "frShowHelp")
ZELMOR_IMPLEMENT_COMPONENT(TFindDialog, TCommonDialog)
ZELMOR_IMPLEMENT_COMPONENT(TReplaceDialog, TFindDialog)

TFindDialog::TFindDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

TFindDialog::~TFindDialog() {
    if (FForm) FForm->Free();
}

void TFindDialog::DescribeProperties(TPropertyTable& T) {
    using D = TFindDialog;
    T.Property("FindText", &D::FindText, &D::SetFindText);
    T.Property("Options", &D::Options, &D::SetOptions).Default(TFindOptions{frDown});
    T.Property("Left", &D::Left, &D::SetLeft).Default(-1);
    T.Property("Top", &D::Top, &D::SetTop).Default(-1);
    T.Event("OnFind", &D::OnFind);
}

AnsiString TFindDialog::FindText() const { return FFindText; }

void TFindDialog::SetFindText(const AnsiString& Value) {
    FFindText = Value;
    if (FFindEdit) WriteForm();
}

TFindOptions TFindDialog::Options() const { return FOptions; }

void TFindDialog::SetOptions(TFindOptions Value) {
    FOptions = Value;
    if (FForm) WriteForm();
}

TButton* TFindDialog::AddButton(const char* Name, const char* Caption, int Y) {
    return AddDialogControl<TButton>(FForm, FForm, Name, Caption, 300, Y, 100, 25);
}

void TFindDialog::BuildForm() {
    FForm = TForm::CreateNew(Application);
    FForm->SetBorderStyle(bsDialog);
    FForm->SetBorderIcons(TBorderIcons{biSystemMenu});
    FForm->SetCaption("Buscar");
    FForm->SetKeyPreview(false);
    AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Buscar:", 8, 12, 80, 14);
    FFindEdit = AddDialogControl<TEdit>(FForm, FForm, "FindText", nullptr, 96, 8, 196, 21);
    FWholeWord =
        AddDialogControl<TCheckBox>(FForm, FForm, "WholeWord", "S\xF3lo palabras &completas", 8, 44, 170, 17);
    FMatchCase = AddDialogControl<TCheckBox>(FForm, FForm, "MatchCase", "&May\xFAsculas y min\xFAsculas", 8,
                                             66, 170, 17);
    FDirection = AddDialogControl<TGroupBox>(FForm, FForm, "Direction", "Direcci\xF3n", 184, 36, 108, 48);
    FUp = AddDialogControl<TRadioButton>(FForm, FDirection, "Up", "Arri&ba", 8, 20, 48, 17);
    FDown = AddDialogControl<TRadioButton>(FForm, FDirection, "Down", "Aba&jo", 56, 20, 48, 17);
    FFindNextButton = AddButton("FindNext", "Buscar &siguiente", 8);
    FFindNextButton->SetDefault(true);
    FFindNextButton->OnClick = [this](TObject*) { ClickFindNext(); };
    TButton* Cancel = AddButton("Cancel", "Cancelar", 38);
    Cancel->SetCancel(true);
    Cancel->OnClick = [this](TObject*) { CloseDialog(); };
    FFindEdit->OnChange = [this](TObject*) { UpdateButtons(); };
    FForm->OnClose = [this](TObject*, TCloseAction& Action) {
        Action = caHide;
        FOpen = false;
        DoClose();
    };
    FForm->SetClientSize(408, 92);
}

void TFindDialog::WriteForm() {
    if (!FForm) return;
    FFindEdit->SetText(FFindText);
    if (FReplaceEdit) FReplaceEdit->SetText(FReplaceText);
    FWholeWord->SetChecked(FOptions.Contains(frWholeWord));
    FMatchCase->SetChecked(FOptions.Contains(frMatchCase));
    (FOptions.Contains(frDown) ? FDown : FUp)->SetChecked(true);
    FWholeWord->SetVisible(!FOptions.Contains(frHideWholeWord));
    FMatchCase->SetVisible(!FOptions.Contains(frHideMatchCase));
    // The replace dialog always searches down: it asks no direction.
    FDirection->SetVisible(!IsReplace() && !FOptions.Contains(frHideUpDown));
    FWholeWord->SetEnabled(!FOptions.Contains(frDisableWholeWord));
    FMatchCase->SetEnabled(!FOptions.Contains(frDisableMatchCase));
    FDirection->SetEnabled(!FOptions.Contains(frDisableUpDown));
    UpdateButtons();
}

void TFindDialog::UpdateButtons() {
    if (!FForm) return;
    // Nothing to look for: the buttons that search wait for a text.
    const bool Any = !FFindEdit->Text().empty();
    for (const char* Name : {"FindNext", "Replace", "ReplaceAll"})
        if (auto* B = dynamic_cast<TButton*>(FForm->FindComponent(Name))) B->SetEnabled(Any);
}

void TFindDialog::ReadForm(TFindOption Pressed) {
    if (FForm) {
        FFindText = FFindEdit->Text();
        if (FReplaceEdit) FReplaceText = FReplaceEdit->Text();
        auto Set = [this](TFindOption O, bool On) {
            if (On) FOptions.Include(O);
            else FOptions.Exclude(O);
        };
        Set(frWholeWord, FWholeWord->Checked());
        Set(frMatchCase, FMatchCase->Checked());
        Set(frDown, IsReplace() || FDown->Checked());
    }
    FOptions = FOptions - TFindOptions{frFindNext, frReplace, frReplaceAll};
    FOptions.Include(Pressed);
}

bool TFindDialog::Execute() {
    if (auto Answer = AskDialogScript(this)) {
        // Answered by a script, the dialog counts as open until CloseDialog.
        FOpen = FOpen || *Answer;
        return *Answer;
    }
    FOpen = true;
    if (!FForm) BuildForm();
    WriteForm();
    if (FLeft >= 0 && FTop >= 0) FForm->SetBounds(FLeft, FTop, FForm->Width(), FForm->Height());
    else FForm->SetPosition(poScreenCenter);
    const bool WasShowing = FForm->Visible();
    FForm->Show();
    FFindEdit->SetFocus();
    FFindEdit->SelectAll();
    if (!WasShowing) DoShow();
    return true;
}

bool TFindDialog::Showing() const { return FForm && FForm->Visible(); }

void TFindDialog::CloseDialog() {
    const bool WasOpen = FOpen;
    FOpen = false;
    if (FForm) FForm->Hide();
    if (WasOpen) DoClose();
}

void TFindDialog::ClickFindNext() {
    ReadForm(frFindNext);
    DoFind();
}

void TFindDialog::DoFind() {
    if (Assigned(OnFind)) OnFind(this);
}

// ---------------------------------------------------------------------------

TReplaceDialog::TReplaceDialog(TComponent* AOwner) : TFindDialog(AOwner) {}

void TReplaceDialog::DescribeProperties(TPropertyTable& T) {
    using D = TReplaceDialog;
    T.Property("ReplaceText", &D::ReplaceText, &D::SetReplaceText);
    T.Event("OnReplace", &D::OnReplace);
}

AnsiString TReplaceDialog::ReplaceText() const { return FReplaceText; }

void TReplaceDialog::SetReplaceText(const AnsiString& Value) {
    FReplaceText = Value;
    if (FForm) WriteForm();
}

void TReplaceDialog::BuildForm() {
    TFindDialog::BuildForm();
    FForm->SetCaption("Reemplazar");
    AddDialogControl<TLabel>(FForm, FForm, nullptr, "Reem&plazar con:", 8, 38, 86, 14);
    FReplaceEdit = AddDialogControl<TEdit>(FForm, FForm, "ReplaceText", nullptr, 96, 34, 196, 21);
    // The options move down under the second text; the direction is not asked.
    FWholeWord->SetTop(70);
    FMatchCase->SetTop(92);
    TButton* Replace = AddButton("Replace", "&Reemplazar", 38);
    Replace->OnClick = [this](TObject*) { ClickReplace(); };
    TButton* All = AddButton("ReplaceAll", "Reemplazar &todo", 68);
    All->OnClick = [this](TObject*) { ClickReplaceAll(); };
    static_cast<TButton*>(FForm->FindComponent("Cancel"))->SetTop(98);
    FReplaceEdit->SetTabOrder(1);
    FForm->SetClientSize(408, 130);
}

void TReplaceDialog::ClickReplace() {
    ReadForm(frReplace);
    DoReplace();
}

void TReplaceDialog::ClickReplaceAll() {
    ReadForm(frReplaceAll);
    DoReplace();
}

void TReplaceDialog::DoReplace() {
    if (Assigned(OnReplace)) OnReplace(this);
}

void RegisterFindDialogClasses() {
    RegisterClasses({&TFindDialog::StaticClassInfo(), &TReplaceDialog::StaticClassInfo()});
}
