#include "EditSample.h"

#include "dataaware/Wwtable.h"
#include "dataaware/wwdbedit.h"
#include "platform/classes/Properties.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TEditSampleForm, TForm)

void TEditSampleForm::DescribeProperties(TPropertyTable& T) {
    T.Field("TNotas", &TEditSampleForm::TNotas);
    T.Field("ENombre", &TEditSampleForm::ENombre);
    T.Field("ENota", &TEditSampleForm::ENota);
    T.Field("EFecha", &TEditSampleForm::EFecha);
    T.Field("ETel", &TEditSampleForm::ETel);
    T.Field("EMomento", &TEditSampleForm::EMomento);
    T.Field("ELinea", &TEditSampleForm::ELinea);
    T.Field("EImporte", &TEditSampleForm::EImporte);
    T.Field("BAceptar", &TEditSampleForm::BAceptar);
}
