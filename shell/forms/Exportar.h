#pragma once
// Step 8: the export to the exchange folder, run by "&Exportar"; whichever
// button closes the dialog, the step machine goes back to step 7.
#include "platform/ui/Forms.h"

class TBitBtn;
class TDraw3D;
class TRichEdit;

class TExportarForm : public TForm {
    ZELMOR_CLASS(TExportarForm, TForm)
public:
    using TForm::TForm;
    ~TExportarForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TRichEdit* RichEdit1 = nullptr;
    TBitBtn* BOK = nullptr;
    TBitBtn* BCancelar = nullptr;

    void BOKClick(TObject* Sender);
};

extern TExportarForm* ExportarForm;
