#include "shell/forms/Espera.h"

#include "gradient/TeeDraw3D.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TEsperaForm, TForm)

TEsperaForm* EsperaForm = nullptr;

TEsperaForm::~TEsperaForm() {
    if (EsperaForm == this) EsperaForm = nullptr;
}

void TEsperaForm::DescribeProperties(TPropertyTable& T) {
    T.Field("Draw3D1", &TEsperaForm::Draw3D1);
    T.Field("Texto", &TEsperaForm::Texto);
}
