#include "shell/forms/SelecListados.h"

#include "gradient/TeeDraw3D.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TSelecListadosForm, TForm)

TSelecListadosForm* SelecListadosForm = nullptr;

TSelecListadosForm::~TSelecListadosForm() {
    if (SelecListadosForm == this) SelecListadosForm = nullptr;
}

void TSelecListadosForm::DescribeProperties(TPropertyTable& T) {
    using F = TSelecListadosForm;
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("CBMostrarAsig", &F::CBMostrarAsig);
    T.Field("Label1", &F::Label1);
    T.Field("EditGrup", &F::EditGrup);
    T.Field("Label2", &F::Label2);
    T.Field("EditAsig", &F::EditAsig);
    T.Field("Label3", &F::Label3);
    T.Field("EditDiv", &F::EditDiv);
    T.Field("BOK", &F::BOK);
}
