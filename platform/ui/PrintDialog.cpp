#include "platform/ui/PrintDialog.h"

#include "platform/classes/Properties.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Spin.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TPrintDialog, TComponent)
ZELMOR_IMPLEMENT_ENUM(TPrintRange, "prAllPages", "prPageNums")

namespace {

// The form and the state of one run of the dialog.
class TPrintForm {
public:
    explicit TPrintForm(const TPrintDialog& D) : FMin(D.MinPage()), FMax(D.MaxPage()) {
        FForm = TForm::CreateNew(Application);
        FForm->SetBorderStyle(bsDialog);
        FForm->SetPosition(poScreenCenter);
        FForm->SetCaption("Imprimir");
        FForm->OnCloseQuery = TCloseQueryEvent([this](TObject*, bool& CanClose) { CanClose = Check(); });

        Label("&Impresora:", 8, 12);
        FPrinter = NewComponent<TComboBox>(FForm);
        FPrinter->SetName("Printer");
        FPrinter->SetParent(FForm);
        FPrinter->SetStyle(csDropDownList);
        FPrinter->SetBounds(90, 8, 222, 21);
        FPrinter->Items()->Assign(Printer()->Printers());
        FPrinter->SetItemIndex(Printer()->PrinterIndex());

        Label("&Copias:", 8, 44);
        FCopies = NewComponent<TCSpinEdit>(FForm);
        FCopies->SetName("Copies");
        FCopies->SetParent(FForm);
        FCopies->SetBounds(90, 40, 60, 22);
        FCopies->SetMinValue(1);
        FCopies->SetMaxValue(999);
        FCopies->SetValue(D.Copies());

        Label("P\xE1ginas", 8, 76);
        FAll = Radio("AllPages", "&Todas", 24, 96);
        FRange = Radio("PageNums", "&Intervalo:", 24, 122);
        Label("&desde", 112, 124);
        FFrom = Edit("FromPage", 150, 120);
        Label("&hasta", 206, 124);
        FTo = Edit("ToPage", 244, 120);
        bool Known = FMax >= FMin && FMax > 0;
        if (Known) {
            FFrom->SetText(IntToStr(D.FromPage() > 0 ? D.FromPage() : FMin));
            FTo->SetText(IntToStr(D.ToPage() > 0 ? D.ToPage() : FMax));
        }
        (Known && D.PrintRange() == prPageNums ? FRange : FAll)->SetChecked(true);
        for (TControl* C :
             {static_cast<TControl*>(FRange), static_cast<TControl*>(FFrom), static_cast<TControl*>(FTo)})
            C->SetEnabled(Known);
        // Typing a page chooses the range.
        FFrom->OnChange = FTo->OnChange = TNotifyEvent([this](TObject*) { FRange->SetChecked(true); });

        TButton* Ok = Button("OK", "Aceptar", 156, 160, mrOk);
        Ok->SetDefault(true);
        Button("Cancel", "Cancelar", 237, 160, mrCancel)->SetCancel(true);
        FForm->SetClientSize(320, 194);
        // Enter prints as offered; the copies' spin edit would keep Enter for itself.
        FForm->SetActiveControl(Ok);
    }
    ~TPrintForm() { FForm->Free(); }
    TPrintForm(const TPrintForm&) = delete;
    TPrintForm& operator=(const TPrintForm&) = delete;

    bool Run() { return FForm->ShowModal() == mrOk; }

    void Answer(TPrintDialog& D) const {
        Printer()->SetPrinterIndex(FPrinter->ItemIndex());
        D.SetCopies(FCopies->Value());
        if (FRange->Checked()) {
            D.SetPrintRange(prPageNums);
            D.SetFromPage(StrToIntDef(Trim(FFrom->Text()), 0));
            D.SetToPage(StrToIntDef(Trim(FTo->Text()), 0));
        } else {
            D.SetPrintRange(prAllPages);
        }
    }

private:
    // Closing with OK needs at least one copy and, for a range, pages that
    // exist, first to last.
    bool Check() {
        if (FForm->ModalResult() != mrOk) return true;
        int From = 0, To = 0;
        AnsiString Problem;
        if (FCopies->Value() < 1) Problem = "El n\xFAmero de copias debe ser 1 o m\xE1s.";
        else if (FRange->Checked() &&
                 (!TryStrToInt(Trim(FFrom->Text()), From) || !TryStrToInt(Trim(FTo->Text()), To) ||
                  From < FMin || To > FMax || From > To))
            Problem = "Las p\xE1ginas deben estar entre " + IntToStr(FMin) + " y " + IntToStr(FMax) +
                      ", la primera antes que la \xFAltima.";
        if (Problem.empty()) return true;
        MessageBox(Problem, "Imprimir", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    void Label(const char* Caption, int X, int Y) {
        auto* L = NewComponent<TLabel>(FForm);
        L->SetParent(FForm);
        L->SetBounds(X, Y, 80, 14);
        L->SetCaption(Caption);
    }
    TRadioButton* Radio(const char* Name, const char* Caption, int X, int Y) {
        auto* R = NewComponent<TRadioButton>(FForm);
        R->SetName(Name);
        R->SetParent(FForm);
        R->SetBounds(X, Y, 84, 17);
        R->SetCaption(Caption);
        return R;
    }
    TEdit* Edit(const char* Name, int X, int Y) {
        auto* E = NewComponent<TEdit>(FForm);
        E->SetName(Name);
        E->SetParent(FForm);
        E->SetBounds(X, Y, 48, 21);
        return E;
    }
    TButton* Button(const char* Name, const char* Caption, int X, int Y, TModalResult Result) {
        auto* B = NewComponent<TButton>(FForm);
        B->SetName(Name);
        B->SetParent(FForm);
        B->SetBounds(X, Y, 75, 25);
        B->SetCaption(Caption);
        B->SetModalResult(Result);
        return B;
    }

    TForm* FForm;
    TComboBox* FPrinter = nullptr;
    TCSpinEdit* FCopies = nullptr;
    TRadioButton* FAll = nullptr;
    TRadioButton* FRange = nullptr;
    TEdit* FFrom = nullptr;
    TEdit* FTo = nullptr;
    int FMin, FMax;
};

}  // namespace

void TPrintDialog::DescribeProperties(TPropertyTable& T) {
    T.Property("Copies", &TPrintDialog::Copies, &TPrintDialog::SetCopies).Default(1);
    T.Property("MinPage", &TPrintDialog::MinPage, &TPrintDialog::SetMinPage).Default(0);
    T.Property("MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::SetMaxPage).Default(0);
    T.Property("FromPage", &TPrintDialog::FromPage, &TPrintDialog::SetFromPage).Default(0);
    T.Property("ToPage", &TPrintDialog::ToPage, &TPrintDialog::SetToPage).Default(0);
    T.Property("PrintRange", &TPrintDialog::PrintRange, &TPrintDialog::SetPrintRange).Default(prAllPages);
}

bool TPrintDialog::Execute() {
    if (auto Answer = AskDialogScript(this)) return *Answer;
    TPrintForm Form(*this);
    if (!Form.Run()) return false;
    Form.Answer(*this);
    return true;
}
