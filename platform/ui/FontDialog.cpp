#include "platform/ui/FontDialog.h"

#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_ENUM(TFontDialogOption, "fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly",
                      "fdForceFontExist", "fdNoFaceSel", "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel",
                      "fdNoStyleSel", "fdNoVectorFonts", "fdShowHelp", "fdWysiwyg", "fdLimitSize",
                      "fdScalableOnly", "fdApplyButton")
ZELMOR_IMPLEMENT_ENUM(TFontDialogDevice, "fdScreen", "fdPrinter", "fdBoth")
ZELMOR_IMPLEMENT_COMPONENT(TFontDialog, TCommonDialog)

const TFontDialogColor FontDialogColors[16] = {
    {clBlack, "Negro"},      {clMaroon, "Granate"},    {clGreen, "Verde"},        {clOlive, "Verde oliva"},
    {clNavy, "Azul marino"}, {clPurple, "P\xFArpura"}, {clTeal, "Verde azulado"}, {clGray, "Gris"},
    {clSilver, "Plata"},     {clRed, "Rojo"},          {clLime, "Lima"},          {clYellow, "Amarillo"},
    {clBlue, "Azul"},        {clFuchsia, "Fucsia"},    {clAqua, "Aguamarina"},    {clWhite, "Blanco"}};

namespace {

const char* const StyleNames[4] = {"Normal", "Cursiva", "Negrita", "Negrita cursiva"};
const char* const Sizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                             "20", "22", "24", "26", "28", "36", "48", "72"};

// The form and the state of one run of the dialog.
class TFontForm {
public:
    explicit TFontForm(const TFontDialog& D) : FDialog(D) {
        FForm = TForm::CreateNew(Application);
        FForm->SetBorderStyle(bsDialog);
        FForm->SetPosition(poScreenCenter);
        FForm->SetCaption("Fuente");
        FForm->OnCloseQuery = TCloseQueryEvent([this](TObject*, bool& CanClose) { CanClose = Check(); });
        AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Fuente:", 8, 8, 150, 14);
        FName = AddDialogControl<TEdit>(FForm, FForm, "FontName", nullptr, 8, 24, 160, 21);
        FNames = AddDialogControl<TListBox>(FForm, FForm, "FontNames", nullptr, 8, 46, 160, 110);
        AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Estilo:", 176, 8, 100, 14);
        FStyle = AddDialogControl<TListBox>(FForm, FForm, "FontStyle", nullptr, 176, 24, 110, 70);
        AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Tama\xF1o:", 294, 8, 60, 14);
        FSize = AddDialogControl<TEdit>(FForm, FForm, "FontSize", nullptr, 294, 24, 50, 21);
        FSizes = AddDialogControl<TListBox>(FForm, FForm, "FontSizes", nullptr, 294, 46, 50, 110);
        FUnderline = AddDialogControl<TCheckBox>(FForm, FForm, "Underline", "&Subrayado", 176, 100, 110, 17);
        FStrikeOut = AddDialogControl<TCheckBox>(FForm, FForm, "StrikeOut", "Tac&hado", 176, 120, 110, 17);
        FColorLabel = AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Color:", 176, 142, 60, 14);
        FColor = AddDialogControl<TComboBox>(FForm, FForm, "FontColor", nullptr, 176, 158, 110, 21);
        FColor->SetStyle(csDropDownList);
        for (const TFontDialogColor& C : FontDialogColors) FColor->Items()->Add(C.Name);
        TButton* Ok = AddDialogControl<TButton>(FForm, FForm, "OK", "Aceptar", 352, 24, 75, 25);
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        TButton* Cancel = AddDialogControl<TButton>(FForm, FForm, "Cancel", "Cancelar", 352, 56, 75, 25);
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
        FForm->SetClientSize(436, 190);

        for (const AnsiString& Face : InstalledFontNames()) FNames->Items()->Add(Face);
        for (const char* S : StyleNames) FStyle->Items()->Add(S);
        for (const char* S : Sizes) FSizes->Items()->Add(S);
        const bool Effects = D.Options().Contains(fdEffects);
        for (TControl* C : {static_cast<TControl*>(FUnderline), static_cast<TControl*>(FStrikeOut),
                            static_cast<TControl*>(FColorLabel), static_cast<TControl*>(FColor)})
            C->SetVisible(Effects);

        TFont* F = D.Font();
        FName->SetText(F->Name());
        ShowName();
        TFontStyles S = F->Style();
        FStyle->SetItemIndex((S.Contains(fsBold) ? 2 : 0) + (S.Contains(fsItalic) ? 1 : 0));
        FUnderline->SetChecked(S.Contains(fsUnderline));
        FStrikeOut->SetChecked(S.Contains(fsStrikeOut));
        FSize->SetText(IntToStr(F->Size()));
        FSizes->SetItemIndex(FSizes->Items()->IndexOf(FSize->Text()));
        for (int I = 0; I < 16; ++I)
            if (ColorToRGB(FontDialogColors[I].Color) == ColorToRGB(F->Color())) FColor->SetItemIndex(I);

        // The edits and their lists follow each other.
        FName->OnChange = [this](TObject*) { ShowName(); };
        FNames->OnClick = [this](TObject*) {
            if (FNames->ItemIndex() >= 0) FName->SetText(FNames->Items()->Get(FNames->ItemIndex()));
        };
        FSizes->OnClick = [this](TObject*) {
            if (FSizes->ItemIndex() >= 0) FSize->SetText(FSizes->Items()->Get(FSizes->ItemIndex()));
        };
        FSize->OnChange = [this](TObject*) {
            FSizes->SetItemIndex(FSizes->Items()->IndexOf(Trim(FSize->Text())));
        };
        FForm->SetActiveControl(FName);
    }
    ~TFontForm() { FForm->Free(); }
    TFontForm(const TFontForm&) = delete;
    TFontForm& operator=(const TFontForm&) = delete;

    bool Run() { return FForm->ShowModal() == mrOk; }

    void Answer(TFont* Font) const {
        int Index = -1;
        for (int I = 0; I < FNames->Items()->Count(); ++I)
            if (AnsiSameText(FNames->Items()->Get(I), Trim(FName->Text()))) Index = I;
        Font->SetName(FNames->Items()->Get(Index));
        Font->SetSize(StrToInt(Trim(FSize->Text())));
        TFontStyles S;
        const int Style = std::max(0, FStyle->ItemIndex());
        if (Style & 2) S.Include(fsBold);
        if (Style & 1) S.Include(fsItalic);
        if (FUnderline->Checked()) S.Include(fsUnderline);
        if (FStrikeOut->Checked()) S.Include(fsStrikeOut);
        Font->SetStyle(S);
        if (FColor->Visible() && FColor->ItemIndex() >= 0)
            Font->SetColor(FontDialogColors[FColor->ItemIndex()].Color);
    }

private:
    // The list follows the typed face; a face not installed shows in red.
    void ShowName() {
        const AnsiString Typed = Trim(FName->Text());
        int Index = -1;
        for (int I = 0; I < FNames->Items()->Count() && Index < 0; ++I)
            if (AnsiSameText(FNames->Items()->Get(I), Typed)) Index = I;
        if (Index >= 0) FNames->SetItemIndex(Index);
        FName->Font()->SetColor(Index >= 0 || Typed.empty() ? clWindowText : clRed);
    }
    bool Check() {
        if (FForm->ModalResult() != mrOk) return true;
        AnsiString Problem;
        int Size = 0;
        if (!IsFontInstalled(FName->Text()))
            Problem = "No hay ninguna fuente con ese nombre.\nElija una fuente de la lista.";
        else if (!TryStrToInt(Trim(FSize->Text()), Size) || Size < 1 || Size > 1638)
            Problem = "El tama\xF1o debe ser un n\xFAmero.";
        else if (FDialog.Options().Contains(fdLimitSize) &&
                 ((FDialog.MinFontSize() > 0 && Size < FDialog.MinFontSize()) ||
                  (FDialog.MaxFontSize() > 0 && Size > FDialog.MaxFontSize())))
            Problem = "El tama\xF1o debe estar entre " + IntToStr(FDialog.MinFontSize()) + " y " +
                      IntToStr(FDialog.MaxFontSize()) + " puntos.";
        if (Problem.empty()) return true;
        MessageBox(Problem, "Fuente", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    const TFontDialog& FDialog;
    TForm* FForm;
    TEdit* FName = nullptr;
    TListBox* FNames = nullptr;
    TListBox* FStyle = nullptr;
    TEdit* FSize = nullptr;
    TListBox* FSizes = nullptr;
    TCheckBox* FUnderline = nullptr;
    TCheckBox* FStrikeOut = nullptr;
    TLabel* FColorLabel = nullptr;
    TComboBox* FColor = nullptr;
};

}  // namespace

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

void TFontDialog::DescribeProperties(TPropertyTable& T) {
    using D = TFontDialog;
    T.Property("Font", &D::Font, &D::SetFont);
    T.Property("Options", &D::Options, &D::SetOptions).Default(TFontDialogOptions{fdEffects});
    T.Property("Device", &D::Device, &D::SetDevice).Default(fdScreen);
    T.Property("MinFontSize", &D::MinFontSize, &D::SetMinFontSize).Default(0);
    T.Property("MaxFontSize", &D::MaxFontSize, &D::SetMaxFontSize).Default(0);
}

bool TFontDialog::Execute() {
    if (auto Answer = AskDialogScript(this)) return *Answer;
    TFontForm Form(*this);
    DoShow();
    const bool Ok = Form.Run();
    if (Ok) Form.Answer(FFont.get());
    DoClose();
    return Ok;
}

void RegisterFontDialogClasses() { RegisterClasses({&TFontDialog::StaticClassInfo()}); }
