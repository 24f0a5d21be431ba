#include "shell/forms/NomAsg.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TNomAsgForm, TForm)

TNomAsgForm* NomAsgForm = nullptr;

TNomAsgForm::~TNomAsgForm() {
    if (NomAsgForm == this) NomAsgForm = nullptr;
}

void TNomAsgForm::DescribeProperties(TPropertyTable& T) {
    using F = TNomAsgForm;
    T.Field("TNomAsg", &F::TNomAsg);
    T.Field("DSNomAsg", &F::DSNomAsg);
    T.Field("DBGridNomAsg", &F::DBGridNomAsg);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridNomAsgEnter", &F::DBGridNomAsgEnter);
    T.Handler("TNomAsgNewRecord", &F::TNomAsgNewRecord);
}

void TNomAsgForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridNomAsg});
    TNomAsg->Open();
    RenumeraN(*TNomAsg, "ABREV");
}

void TNomAsgForm::FormActivate(TObject*) { ColocaPantallaRegistros(*this); }

void TNomAsgForm::DBGridNomAsgEnter(TObject*) { EstadoPrograma().SetTablaActual(TNomAsg); }

void TNomAsgForm::TNomAsgNewRecord(TDataSet* DataSet) {
    DataSet->FieldByName("N")->SetAsInteger(EstadoPrograma().NLinea);
}

void TNomAsgForm::FormClose(TObject*, TCloseAction&) { TNomAsg->Close(); }
