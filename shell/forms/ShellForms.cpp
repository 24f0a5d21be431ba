#include "shell/forms/ShellForms.h"

#include "buttons/fcReg.h"
#include "dataaware/DataAware.h"
#include "gradient/TeeDraw3D.h"
#include "platform/db/DB.h"
#include "reportview/OvcInit.h"
#include "shell/forms/Alum.h"
#include "shell/forms/AsigCur.h"
#include "shell/forms/Aulas.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Cursos.h"
#include "shell/forms/Datos.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Exportar.h"
#include "shell/forms/Grup.h"
#include "shell/forms/NomAsg.h"
#include "shell/forms/Profes.h"
#include "shell/forms/Seldat.h"

void RegisterShellForms() {
    // The record screens declare their tables' fields in their forms.
    RegisterDBClasses();
    RegisterClasses({&TControlaForm::StaticClassInfo(), &TDatosForm::StaticClassInfo(),
                     &TSelecDatosForm::StaticClassInfo(), &TEsperaForm::StaticClassInfo(),
                     &TExportarForm::StaticClassInfo(), &TCursosForm::StaticClassInfo(),
                     &TAlumForm::StaticClassInfo(), &TAsigCurForm::StaticClassInfo(),
                     &TNomAsgForm::StaticClassInfo(), &TProfesForm::StaticClassInfo(),
                     &TAulasForm::StaticClassInfo(), &TGrupForm::StaticClassInfo()});
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
