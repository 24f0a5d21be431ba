#include "shell/forms/Cursos.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/ui/RichEdit.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TCursosForm, TForm)

TCursosForm* CursosForm = nullptr;

TCursosForm::~TCursosForm() {
    if (CursosForm == this) CursosForm = nullptr;
}

void TCursosForm::DescribeProperties(TPropertyTable& T) {
    using F = TCursosForm;
    T.Field("TCursos", &F::TCursos);
    T.Field("DSCursos", &F::DSCursos);
    T.Field("DBGridCursos", &F::DBGridCursos);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridCursosEnter", &F::DBGridCursosEnter);
    T.Handler("DBGridCursosRowChanged", &F::DBGridCursosRowChanged);
    T.Handler("TCursosBeforePost", &F::TCursosBeforePost);
    T.Handler("TCursosNewRecord", &F::TCursosNewRecord);
}

void TCursosForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridCursos});
    TCursos->Open();
    RenumeraN(*TCursos, "ABREV");
}

void TCursosForm::PonTitulo(const AnsiString& TNC) {
    SetCaption("Cursos [" + EstadoPrograma().RutaDatos + "] " + TNC);
}

void TCursosForm::FormActivate(TObject*) {
    PonTitulo(EstadoPrograma().TNCSeleccionado);
    ColocaPantallaRegistros(*this, true);
}

// The caption names the course that closing the screen would select.
void TCursosForm::DBGridCursosRowChanged(TObject*) {
    if (TCursos->Active()) PonTitulo(TCursos->FieldByName("TNC")->AsString());
}

void TCursosForm::DBGridCursosEnter(TObject*) { EstadoPrograma().SetTablaActual(TCursos); }

void TCursosForm::TCursosBeforePost(TDataSet* DataSet) { PonClaveCurso(*DataSet); }

void TCursosForm::TCursosNewRecord(TDataSet* DataSet) {
    DataSet->FieldByName("N")->SetAsInteger(EstadoPrograma().NLinea);
}

void TCursosForm::FormClose(TObject*, TCloseAction&) {
    if (!TCursos->Active()) return;
    TCursos->CheckBrowseMode();
    SeleccionaCurso(EstadoPrograma(), *TCursos);
    TCursos->Close();
}
