#pragma once
// Step 24: the student listing. Made by the step machine, it asks for the
// listing's options and readies its report on the selected course's
// students; the step machine shows the report in the print preview, from
// which the user prints. The form itself is never shown.
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

    void FormCreate(TObject* Sender);
    void TAlumCalcFields(TDataSet* DataSet);
    void QRBand2BeforePrint(TReportBand* Sender, bool& PrintBand);
};

extern TListadosForm* ListadosForm;
