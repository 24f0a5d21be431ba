#pragma once
// Step 1: the data-folder dialog. The user selects a data folder of the
// program folder or imports a new one from the exchange folder; the dialog
// closes either way and the step machine moves on.
#include "platform/ui/Forms.h"

class TBitBtn;
class TDraw3D;
class TRichEdit;

class TDatosForm : public TForm {
    ZELMOR_CLASS(TDatosForm, TForm)
public:
    using TForm::TForm;
    ~TDatosForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TBitBtn* BSelec = nullptr;
    TBitBtn* BImportar = nullptr;
    TBitBtn* BSalir = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    // Closed through its window (the close box), not through a button: with
    // no folder open the user leaves the program that way.
    bool CerradaPorVentana() const { return FCerradaPorVentana; }

    void FormActivate(TObject* Sender);
    void BSelecClick(TObject* Sender);
    void BImportarClick(TObject* Sender);

protected:
    void WMClose(TMessage& Message) override;

private:
    void PonTitulo();
    bool FCerradaPorVentana = false;
};

extern TDatosForm* DatosForm;
