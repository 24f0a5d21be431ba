#pragma once
// The folder list of step 1: the sub-folders of the program folder that may
// be data folders, one to choose.
#include "platform/ui/Forms.h"

class TBitBtn;
class TDraw3D;
class TListBox;
class TRichEdit;

class TSelecDatosForm : public TForm {
    ZELMOR_CLASS(TSelecDatosForm, TForm)
public:
    using TForm::TForm;
    ~TSelecDatosForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TBitBtn* BOK = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    void FormCreate(TObject* Sender);
    void BOKClick(TObject* Sender);
};

extern TSelecDatosForm* SelecDatosForm;
