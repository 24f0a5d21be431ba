#pragma once
// The options of a student listing, asked before each listing: show the
// subjects, and narrow the listing to a group, a subject, a division of it.
#include "platform/ui/Forms.h"

class TBitBtn;
class TCheckBox;
class TDraw3D;
class TEdit;
class TLabel;

class TSelecListadosForm : public TForm {
    ZELMOR_CLASS(TSelecListadosForm, TForm)
public:
    using TForm::TForm;
    ~TSelecListadosForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TCheckBox* CBMostrarAsig = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* EditGrup = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* EditAsig = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* EditDiv = nullptr;
    TBitBtn* BOK = nullptr;
};

extern TSelecListadosForm* SelecListadosForm;
