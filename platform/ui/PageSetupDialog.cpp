#include "platform/ui/PageSetupDialog.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/Format.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_ENUM(TPageMeasureUnits, "pmInches", "pmMillimeters")
ZELMOR_IMPLEMENT_ENUM(TPageSetupOption, "psoDisableMargins", "psoDisableOrientation", "psoDisablePaper")
ZELMOR_IMPLEMENT_COMPONENT(TPageSetupDialog, TCommonDialog)

namespace {

const TPaperSize* PaperOf(int Code) {
    for (const TPaperSize& P : PaperSizes())
        if (P.Code == Code) return &P;
    return nullptr;
}

// Tenths of a millimetre in the dialog's units.
int FromTenthsMm(int Tenths, TPageMeasureUnits Units) {
    return Units == pmInches ? static_cast<int>(std::lround(Tenths * 1000.0 / 254.0)) : Tenths * 10;
}

class TPageSetupForm {
public:
    explicit TPageSetupForm(TPageSetupDialog& D) : FDialog(D) {
        FForm = TForm::CreateNew(Application);
        FForm->SetBorderStyle(bsDialog);
        FForm->SetPosition(poScreenCenter);
        FForm->SetCaption("Configurar p\xE1gina");
        FForm->OnCloseQuery = TCloseQueryEvent([this](TObject*, bool& CanClose) { CanClose = Check(); });
        AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Tama\xF1o del papel:", 8, 12, 110, 14);
        FPaper = AddDialogControl<TComboBox>(FForm, FForm, "Paper", nullptr, 120, 8, 180, 21);
        FPaper->SetStyle(csDropDownList);
        for (const TPaperSize& P : PaperSizes()) FPaper->Items()->Add(P.Name);
        FPortrait = AddDialogControl<TRadioButton>(FForm, FForm, "Portrait", "&Vertical", 8, 40, 90, 17);
        FLandscape =
            AddDialogControl<TRadioButton>(FForm, FForm, "Landscape", "&Horizontal", 120, 40, 90, 17);
        const char* Unit = D.Units() == pmInches ? "pulgadas" : "cm";
        AddDialogControl<TLabel>(FForm, FForm, nullptr, (AnsiString("M\xE1rgenes (") + Unit + ")").c_str(), 8,
                                 70, 150, 14);
        FLeft = Margin("LeftMargin", "&Izquierdo:", 8, 90);
        FRight = Margin("RightMargin", "&Derecho:", 160, 90);
        FTop = Margin("TopMargin", "&Superior:", 8, 118);
        FBottom = Margin("BottomMargin", "&Inferior:", 160, 118);
        TButton* Ok = AddDialogControl<TButton>(FForm, FForm, "OK", "Aceptar", 144, 152, 75, 25);
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        TButton* Cancel = AddDialogControl<TButton>(FForm, FForm, "Cancel", "Cancelar", 225, 152, 75, 25);
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
        FForm->SetClientSize(310, 186);

        int Code = D.PaperCode() ? D.PaperCode() : Printer()->PaperCode();
        for (size_t I = 0; I < PaperSizes().size(); ++I)
            if (PaperSizes()[I].Code == Code) FPaper->SetItemIndex(static_cast<int>(I));
        (D.Orientation() == poLandscape ? FLandscape : FPortrait)->SetChecked(true);
        FLeft->SetText(Text(D.MarginLeft()));
        FRight->SetText(Text(D.MarginRight()));
        FTop->SetText(Text(D.MarginTop()));
        FBottom->SetText(Text(D.MarginBottom()));
        FPaper->SetEnabled(!D.Options().Contains(psoDisablePaper));
        FPortrait->SetEnabled(!D.Options().Contains(psoDisableOrientation));
        FLandscape->SetEnabled(!D.Options().Contains(psoDisableOrientation));
        for (TEdit* E : {FLeft, FRight, FTop, FBottom})
            E->SetEnabled(!D.Options().Contains(psoDisableMargins));
        FForm->SetActiveControl(Ok);
    }
    ~TPageSetupForm() { FForm->Free(); }
    TPageSetupForm(const TPageSetupForm&) = delete;
    TPageSetupForm& operator=(const TPageSetupForm&) = delete;

    bool Run() { return FForm->ShowModal() == mrOk; }

private:
    static AnsiString Text(int Value) { return FloatToStr(Value / 1000.0); }
    TEdit* Margin(const char* Name, const char* Caption, int X, int Y) {
        AddDialogControl<TLabel>(FForm, FForm, nullptr, Caption, X, Y + 4, 64, 14);
        return AddDialogControl<TEdit>(FForm, FForm, Name, nullptr, X + 68, Y, 72, 21);
    }
    bool Check() {
        if (FForm->ModalResult() != mrOk) return true;
        int Values[4];
        TEdit* Edits[4] = {FLeft, FTop, FRight, FBottom};
        for (int I = 0; I < 4; ++I) {
            double V = 0;
            AnsiString T = Trim(Edits[I]->Text());
            for (char& C : T)
                if (C == '.' || C == ',') C = FormatSettings().DecimalSeparator;
            if (!TryStrToFloat(T, V) || V < 0 || V > 1000) {
                MessageBox("El margen no es un n\xFAmero v\xE1lido.", FForm->Caption(),
                           MB_OK | MB_ICONEXCLAMATION);
                Edits[I]->SetFocus();
                return false;
            }
            Values[I] = static_cast<int>(std::lround(V * 1000));
        }
        const int Index = FPaper->ItemIndex();
        const int Code = Index >= 0 ? PaperSizes()[static_cast<size_t>(Index)].Code : FDialog.PaperCode();
        const TPrinterOrientation O = FLandscape->Checked() ? poLandscape : poPortrait;
        // Below the printable offset a margin becomes the offset.
        const int MinX = FDialog.MinMarginX(), MinY = FDialog.MinMarginY();
        const int Left = std::max(Values[0], MinX), Top = std::max(Values[1], MinY),
                  Right = std::max(Values[2], MinX), Bottom = std::max(Values[3], MinY);
        if (Left + Right >= FDialog.PaperWidthOf(Code, O) || Top + Bottom >= FDialog.PaperHeightOf(Code, O)) {
            MessageBox("Los m\xE1rgenes no dejan sitio en el papel.", FForm->Caption(),
                       MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        FDialog.SetMarginLeft(Left);
        FDialog.SetMarginTop(Top);
        FDialog.SetMarginRight(Right);
        FDialog.SetMarginBottom(Bottom);
        FDialog.SetPaperCode(Code);
        FDialog.SetOrientation(O);
        return true;
    }

    TPageSetupDialog& FDialog;
    TForm* FForm;
    TComboBox* FPaper = nullptr;
    TRadioButton* FPortrait = nullptr;
    TRadioButton* FLandscape = nullptr;
    TEdit *FLeft = nullptr, *FRight = nullptr, *FTop = nullptr, *FBottom = nullptr;
};

}  // namespace

TPageSetupDialog::TPageSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

void TPageSetupDialog::DescribeProperties(TPropertyTable& T) {
    using D = TPageSetupDialog;
    T.Property("Units", &D::Units, &D::SetUnits).Default(pmInches);
    T.Property("MarginLeft", &D::MarginLeft, &D::SetMarginLeft).Default(1000);
    T.Property("MarginTop", &D::MarginTop, &D::SetMarginTop).Default(1000);
    T.Property("MarginRight", &D::MarginRight, &D::SetMarginRight).Default(1000);
    T.Property("MarginBottom", &D::MarginBottom, &D::SetMarginBottom).Default(1000);
    T.Property("PaperCode", &D::PaperCode, &D::SetPaperCode).Default(0);
    T.Property("Options", &D::Options, &D::SetOptions).Default(TPageSetupOptions{});
}

namespace {
// Printer pixels in the dialog's units.
int FromPrinterPixels(int Pixels, TPageMeasureUnits Units) {
    const TPrinter* P = Printer();
    return static_cast<int>(std::lround(Pixels * (Units == pmInches ? 1000.0 : 2540.0) / P->PixelsPerInch()));
}
}  // namespace

int TPageSetupDialog::MinMarginX() const { return FromPrinterPixels(Printer()->PrintableOffsetX(), FUnits); }

int TPageSetupDialog::MinMarginY() const { return FromPrinterPixels(Printer()->PrintableOffsetY(), FUnits); }

int TPageSetupDialog::PaperWidthOf(int Code, TPrinterOrientation Orientation) const {
    const TPaperSize* P = PaperOf(Code);
    int W = P ? P->Width : Printer()->PaperWidth(), H = P ? P->Height : Printer()->PaperHeight();
    return FromTenthsMm(Orientation == poPortrait ? W : H, FUnits);
}

int TPageSetupDialog::PaperHeightOf(int Code, TPrinterOrientation Orientation) const {
    const TPaperSize* P = PaperOf(Code);
    int W = P ? P->Width : Printer()->PaperWidth(), H = P ? P->Height : Printer()->PaperHeight();
    return FromTenthsMm(Orientation == poPortrait ? H : W, FUnits);
}

void TPageSetupDialog::ClampMargins() {
    FMarginLeft = std::max(FMarginLeft, MinMarginX());
    FMarginRight = std::max(FMarginRight, MinMarginX());
    FMarginTop = std::max(FMarginTop, MinMarginY());
    FMarginBottom = std::max(FMarginBottom, MinMarginY());
}

bool TPageSetupDialog::Execute() {
    if (auto Answer = AskDialogScript(this)) {
        // Whatever the script answered, margins stay printable.
        if (*Answer) ClampMargins();
        return *Answer;
    }
    TPageSetupForm Form(*this);
    DoShow();
    const bool Ok = Form.Run();
    DoClose();
    return Ok;
}

void RegisterPageSetupDialogClasses() { RegisterClasses({&TPageSetupDialog::StaticClassInfo()}); }
