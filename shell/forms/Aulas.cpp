#include "shell/forms/Aulas.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TAulasForm, TForm)

TAulasForm* AulasForm = nullptr;

TAulasForm::~TAulasForm() {
    if (AulasForm == this) AulasForm = nullptr;
}

void TAulasForm::DescribeProperties(TPropertyTable& T) {
    using F = TAulasForm;
    T.Field("TAulas", &F::TAulas);
    T.Field("DSAulas", &F::DSAulas);
    T.Field("DBGridNomAsg", &F::DBGridNomAsg);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridNomAsgEnter", &F::DBGridNomAsgEnter);
    T.Handler("TAulasNewRecord", &F::TAulasNewRecord);
}

void TAulasForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridNomAsg});
    TAulas->Open();
    RenumeraN(*TAulas, "ABREV");
}

void TAulasForm::FormActivate(TObject*) {
    TAulas->Open();
    ColocaPantallaRegistros(*this);
}

void TAulasForm::DBGridNomAsgEnter(TObject*) { EstadoPrograma().SetTablaActual(TAulas); }

void TAulasForm::TAulasNewRecord(TDataSet* DataSet) {
    DataSet->FieldByName("N")->SetAsInteger(EstadoPrograma().NLinea);
}

void TAulasForm::FormClose(TObject*, TCloseAction&) { TAulas->Close(); }
