#pragma once
// A listing of the shape the program prints (a title band with its column
// heads, a detail band per student with its number, group, name and
// subjects), on a small students table "alum" ordered by name.
#include <vector>

#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/Forms.h"

class TListadoPruebaForm : public TForm {
    ZELMOR_CLASS(TListadoPruebaForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TTable* TAlum = nullptr;
    TReport* QR = nullptr;
    TReportBand* QRBand1 = nullptr;
    TReportBand* QRBand2 = nullptr;
    TReportLabel* LabelTitulo = nullptr;

    // The students printed: those of this group (all when empty).
    AnsiString Grupo;
    // How often the calculated field was computed, and the names the
    // before-print event was asked about, in order.
    int Calculated = 0;
    std::vector<AnsiString> Asked;

    void TAlumCalcFields(TDataSet* DataSet);
    void QRBand2BeforePrint(TReportBand* Sender, bool& PrintBand);
};

// Registers the form's class and the classes its file names.
void RegisterReportTestForms();
