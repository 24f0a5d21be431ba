#pragma once
// Step 24: the student listing. The step machine makes it and has it ask
// for the listing's options (Prepara), then shows its report in the print
// preview, from which the user prints. The form itself is never shown.
#include "platform/ui/Forms.h"

class TDataSet;
class TReport;
class TReportBand;
class TReportLabel;
class TTable;

class TListadosForm : public TForm {
    ZELMOR_CLASS(TListadosForm, TForm)
public:
    using TForm::TForm;
    ~TListadosForm() override;
    static void DescribeProperties(TPropertyTable& T);

    // The students of the data folder on the course key's tag, with the
    // calculated subjects text ASIGS.
    TTable* TAlum = nullptr;
    TReport* QR = nullptr;
    TReportBand* QRBand1 = nullptr;
    TReportLabel* LabelTitulo = nullptr;
    TReportBand* QRBand2 = nullptr;

    // Opens the students of the course TNC, asks for the options and puts
    // the title together. Apart from the form's making, so that the form can
    // be made (and checked) without a data folder or a user.
    void Prepara(const AnsiString& TNC);
    void TAlumCalcFields(TDataSet* DataSet);
    void QRBand2BeforePrint(TReportBand* Sender, bool& PrintBand);
};

extern TListadosForm* ListadosForm;
