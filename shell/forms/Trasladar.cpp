#include "shell/forms/Trasladar.h"

#include "gradient/TeeDraw3D.h"
#include "organizer/Traslados.h"
#include "platform/ui/Spin.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TTrasladarForm, TForm)

TTrasladarForm* TrasladarForm = nullptr;

TTrasladarForm::~TTrasladarForm() {
    if (TrasladarForm == this) TrasladarForm = nullptr;
}

void TTrasladarForm::DescribeProperties(TPropertyTable& T) {
    using F = TTrasladarForm;
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("Label1", &F::Label1);
    T.Field("LabTipo", &F::LabTipo);
    T.Field("SENumero", &F::SENumero);
    T.Field("LabGrupo", &F::LabGrupo);
    T.Field("EdGrupo", &F::EdGrupo);
    T.Field("BOK", &F::BOK);
    T.Field("BCancelar", &F::BCancelar);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("BOKClick", &F::BOKClick);
}

void TTrasladarForm::Prepara(const TOfertaTraslado& Oferta) {
    SetCaption(Oferta.Titulo);
    LabTipo->SetCaption(Oferta.Texto);
    FOfrecido = Oferta.Numero;
    SENumero->SetValue(Oferta.Numero);
    LabGrupo->SetVisible(Oferta.PideGrupo);
    EdGrupo->SetVisible(Oferta.PideGrupo);
    EdGrupo->SetText("");
    SetTag(Oferta.PideGrupo ? 1 : 2);
}

void TTrasladarForm::FormActivate(TObject*) {
    SENumero->SetMinValue(0);
    SENumero->SetMaxValue(FOfrecido);
}

// A number out of range is told and the dialog stays open for another one:
// closing it would throw away the group already typed.
void TTrasladarForm::BOKClick(TObject*) {
    switch (CompruebaTraslado(SENumero->Value(), FOfrecido, Tag() == 1, EdGrupo->Text(), PreguntaSinGrupo)) {
    case TRespuestaTraslado::Corregir: SENumero->SetFocus(); break;
    case TRespuestaTraslado::Confirmar: SetModalResult(mrOk); break;
    case TRespuestaTraslado::Cancelar: SetModalResult(mrCancel); break;
    }
}
