#include "shell/forms/ShellForms.h"

#include "buttons/fcReg.h"
#include "dataaware/DataAware.h"
#include "gradient/TeeDraw3D.h"
#include "platform/db/DB.h"
#include "platform/report/Report.h"
#include "reportview/OvcInit.h"
#include "shell/forms/Alum.h"
#include "shell/forms/AsigCur.h"
#include "shell/forms/Aulas.h"
#include "shell/forms/Colocar.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Cursos.h"
#include "shell/forms/Datos.h"
#include "shell/forms/EdiTipGrup.h"
#include "shell/forms/EdiTipos.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Exportar.h"
#include "shell/forms/Grup.h"
#include "shell/forms/Listados.h"
#include "shell/forms/NomAsg.h"
#include "shell/forms/Organizar.h"
#include "shell/forms/Profes.h"
#include "shell/forms/Seldat.h"
#include "shell/forms/SelecListados.h"
#include "shell/forms/Tipos.h"
#include "shell/forms/Trasladar.h"

void RegisterShellForms() {
    // The listing's form holds a table with its fields and a report with its
    // bands and texts; the record screens and the types screen declare their
    // tables' fields.
    RegisterDBClasses();
    RegisterReportClasses();
    RegisterClasses({&TControlaForm::StaticClassInfo(),      &TDatosForm::StaticClassInfo(),
                     &TSelecDatosForm::StaticClassInfo(),    &TEsperaForm::StaticClassInfo(),
                     &TExportarForm::StaticClassInfo(),      &TListadosForm::StaticClassInfo(),
                     &TSelecListadosForm::StaticClassInfo(), &TCursosForm::StaticClassInfo(),
                     &TAlumForm::StaticClassInfo(),          &TAsigCurForm::StaticClassInfo(),
                     &TNomAsgForm::StaticClassInfo(),        &TProfesForm::StaticClassInfo(),
                     &TAulasForm::StaticClassInfo(),         &TGrupForm::StaticClassInfo(),
                     &TTiposForm::StaticClassInfo(),         &TTrasladarForm::StaticClassInfo(),
                     &TFormOrganizar::StaticClassInfo(),     &TColocarForm::StaticClassInfo(),
                     &TEdiTiposForm2::StaticClassInfo(),     &TEdiTipGrupForm2::StaticClassInfo()});
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
