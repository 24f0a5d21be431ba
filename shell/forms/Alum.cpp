#include "shell/forms/Alum.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TAlumForm, TForm)

TAlumForm* AlumForm = nullptr;

TAlumForm::~TAlumForm() {
    if (AlumForm == this) AlumForm = nullptr;
}

void TAlumForm::DescribeProperties(TPropertyTable& T) {
    using F = TAlumForm;
    T.Field("TAlum", &F::TAlum);
    T.Field("DSAlum", &F::DSAlum);
    T.Field("DBGridAlum", &F::DBGridAlum);
    T.Field("BLimpiarGyD", &F::BLimpiarGyD);
    T.Field("BLimpiarAnular", &F::BLimpiarAnular);
    T.Field("BInvertirAnular", &F::BInvertirAnular);
    T.Field("BAnular", &F::BAnular);
    T.Field("EdAsig", &F::EdAsig);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridAlumEnter", &F::DBGridAlumEnter);
    T.Handler("TAlumNewRecord", &F::TAlumNewRecord);
    T.Handler("BLimpiarGyDClick", &F::BLimpiarGyDClick);
    T.Handler("BLimpiarAnularClick", &F::BLimpiarAnularClick);
    T.Handler("BInvertirAnularClick", &F::BInvertirAnularClick);
    T.Handler("BAnularClick", &F::BAnularClick);
}

void TAlumForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridAlum});
    const TAppState& estado = EstadoPrograma();
    SetCaption("Alumnos de [" + estado.RutaDatos + "] " + estado.TNCSeleccionado);
    // The course's key is matched whole and quoted, whatever it holds.
    FiltraPorCurso(*TAlum, estado.TNCSeleccionado);
    TAlum->Open();
    RenumeraN(*TAlum, "NOMBRE");
}

void TAlumForm::FormActivate(TObject*) { ColocaPantallaRegistros(*this, false, true); }

void TAlumForm::DBGridAlumEnter(TObject*) { EstadoPrograma().SetTablaActual(TAlum); }

void TAlumForm::TAlumNewRecord(TDataSet* DataSet) {
    const TAppState& estado = EstadoPrograma();
    DataSet->FieldByName("TNC")->SetAsString(estado.TNCSeleccionado);
    DataSet->FieldByName("N")->SetAsInteger(estado.NLinea);
}

void TAlumForm::BLimpiarGyDClick(TObject*) { LimpiaGruposYDivisiones(*TAlum); }

void TAlumForm::BLimpiarAnularClick(TObject*) { LimpiaAnular(*TAlum); }

void TAlumForm::BInvertirAnularClick(TObject*) { InvierteAnular(*TAlum); }

void TAlumForm::BAnularClick(TObject*) { AnulaConAsignatura(*TAlum, EdAsig->Text()); }

void TAlumForm::FormClose(TObject*, TCloseAction&) { TAlum->Close(); }
