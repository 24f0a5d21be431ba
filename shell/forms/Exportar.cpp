#include "shell/forms/Exportar.h"

#include "gradient/TeeDraw3D.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/RichEdit.h"
#include "shell/Export.h"
#include "shell/forms/Reloj.h"

ZELMOR_IMPLEMENT_COMPONENT(TExportarForm, TForm)

TExportarForm* ExportarForm = nullptr;

TExportarForm::~TExportarForm() {
    if (ExportarForm == this) ExportarForm = nullptr;
}

void TExportarForm::DescribeProperties(TPropertyTable& T) {
    using F = TExportarForm;
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Field("BOK", &F::BOK);
    T.Field("BCancelar", &F::BCancelar);
    T.Handler("BOKClick", &F::BOKClick);
}

// A failure is told while the hourglass is still up, as the export's own
// end.
void TExportarForm::BOKClick(TObject*) {
    TReloj reloj;
    reloj.Pon();
    AvisaResultadoExportar(ExportaDatos());
}
