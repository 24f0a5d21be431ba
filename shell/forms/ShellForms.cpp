#include "shell/forms/ShellForms.h"

#include "buttons/fcReg.h"
#include "dataaware/DataAware.h"
#include "gradient/TeeDraw3D.h"
#include "platform/db/DB.h"
#include "reportview/OvcInit.h"
#include "shell/forms/Colocar.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Datos.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Exportar.h"
#include "shell/forms/Organizar.h"
#include "shell/forms/Seldat.h"
#include "shell/forms/Tipos.h"
#include "shell/forms/Trasladar.h"

void RegisterShellForms() {
    // The types screen's tables carry their fields in its form.
    RegisterDBClasses();
    RegisterClasses({&TControlaForm::StaticClassInfo(), &TDatosForm::StaticClassInfo(),
                     &TSelecDatosForm::StaticClassInfo(), &TEsperaForm::StaticClassInfo(),
                     &TExportarForm::StaticClassInfo(), &TTiposForm::StaticClassInfo(),
                     &TTrasladarForm::StaticClassInfo(), &TFormOrganizar::StaticClassInfo(),
                     &TColocarForm::StaticClassInfo()});
}

TProgramLibraries::TProgramLibraries() : FReportView(std::make_unique<TOvcLibrary>()) {
    StartDataAwareLibrary();
    InitGradientPanel();
    RegisterFcClasses();
    RegisterShellForms();
}

TProgramLibraries::~TProgramLibraries() {
    DoneGradientPanel();
    FinishDataAwareLibrary();
}
