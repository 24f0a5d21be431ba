#include "shell/forms/Colocar.h"

#include "gradient/TeeDraw3D.h"
#include "organizer/Colocar.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Database.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/RichEdit.h"
#include "shell/AppState.h"
#include "shell/forms/Reloj.h"

ZELMOR_IMPLEMENT_COMPONENT(TColocarForm, TForm)

TColocarForm* ColocarForm = nullptr;

namespace {
constexpr int ArribaColocar = 100, IzquierdaColocar = 50;
}

TColocarForm::TColocarForm(TComponent* AOwner) : TForm(AOwner) {}

TColocarForm::~TColocarForm() {
    if (ColocarForm == this) ColocarForm = nullptr;
}

void TColocarForm::DescribeProperties(TPropertyTable& T) {
    using F = TColocarForm;
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("BColocar", &F::BColocar);
    T.Field("BCancelar", &F::BCancelar);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("BColocarClick", &F::BColocarClick);
}

void TColocarForm::Abre(const TAppState& Estado) {
    FEstado = &Estado;
    SetCaption(TituloColocar(Estado.Turno, Estado.Nivel, Estado.Curso));
    FReserva = TReservaTrabajo::Toma(Estado.Database()->DatabaseName());
    PreparaColocar(Estado.Database()->DatabaseName(), Estado.TNCSeleccionado);
}

void TColocarForm::FormActivate(TObject*) { SetBounds(IzquierdaColocar, ArribaColocar, Width(), Height()); }

// The end is told once the hourglass is gone; it names the students that
// could not be placed.
void TColocarForm::BColocarClick(TObject*) {
    if (!FEstado) return;
    const TAppState& estado = *FEstado;
    TResultadoColocar resultado;
    {
        TReloj reloj;
        reloj.Pon();
        resultado = ColocaAlumnosDelCurso(estado.Database()->DatabaseName(), estado.TNCSeleccionado);
    }
    AvisaResultadoColocar(resultado);
}
