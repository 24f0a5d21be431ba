#include "shell/forms/Grup.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TGrupForm, TForm)

TGrupForm* GrupForm = nullptr;

TGrupForm::~TGrupForm() {
    if (GrupForm == this) GrupForm = nullptr;
}

void TGrupForm::DescribeProperties(TPropertyTable& T) {
    using F = TGrupForm;
    T.Field("TGrupos", &F::TGrupos);
    T.Field("DSGrupos", &F::DSGrupos);
    T.Field("DBGridGrupos", &F::DBGridGrupos);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridGruposEnter", &F::DBGridGruposEnter);
}

void TGrupForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridGrupos});
    TGrupos->Close();
    RehaceGrupos(TGrupos->DatabaseName());
    TGrupos->Open();
}

void TGrupForm::FormActivate(TObject*) {
    TGrupos->Open();
    ColocaPantallaRegistros(*this);
}

void TGrupForm::DBGridGruposEnter(TObject*) { EstadoPrograma().SetTablaActual(TGrupos); }

void TGrupForm::FormClose(TObject*, TCloseAction&) { TGrupos->Close(); }
