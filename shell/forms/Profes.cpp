#include "shell/forms/Profes.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TProfesForm, TForm)

TProfesForm* ProfesForm = nullptr;

TProfesForm::~TProfesForm() {
    if (ProfesForm == this) ProfesForm = nullptr;
}

void TProfesForm::DescribeProperties(TPropertyTable& T) {
    using F = TProfesForm;
    T.Field("TProf", &F::TProf);
    T.Field("DSProf", &F::DSProf);
    T.Field("DBGridProfes", &F::DBGridProfes);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridProfesEnter", &F::DBGridProfesEnter);
    T.Handler("TProfNewRecord", &F::TProfNewRecord);
}

void TProfesForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridProfes});
    TProf->Open();
    RenumeraN(*TProf, "ABREV");
}

void TProfesForm::FormActivate(TObject*) { ColocaPantallaRegistros(*this); }

void TProfesForm::DBGridProfesEnter(TObject*) { EstadoPrograma().SetTablaActual(TProf); }

void TProfesForm::TProfNewRecord(TDataSet* DataSet) {
    DataSet->FieldByName("N")->SetAsInteger(EstadoPrograma().NLinea);
}

void TProfesForm::FormClose(TObject*, TCloseAction&) { TProf->Close(); }
