#include "shell/forms/ShellForms.h"

#include "buttons/fcReg.h"
#include "dataaware/DataAware.h"
#include "gradient/TeeDraw3D.h"
#include "reportview/OvcInit.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Datos.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Exportar.h"
#include "shell/forms/Seldat.h"

void RegisterShellForms() {
    RegisterClasses({&TControlaForm::StaticClassInfo(), &TDatosForm::StaticClassInfo(),
                     &TSelecDatosForm::StaticClassInfo(), &TEsperaForm::StaticClassInfo(),
                     &TExportarForm::StaticClassInfo()});
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
