#include "shell/forms/Datos.h"

#include "gradient/TeeDraw3D.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/Import.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Reloj.h"
#include "shell/forms/Seldat.h"

ZELMOR_IMPLEMENT_COMPONENT(TDatosForm, TForm)

TDatosForm* DatosForm = nullptr;

TDatosForm::~TDatosForm() {
    if (DatosForm == this) DatosForm = nullptr;
}

void TDatosForm::DescribeProperties(TPropertyTable& T) {
    using F = TDatosForm;
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("BSelec", &F::BSelec);
    T.Field("BImportar", &F::BImportar);
    T.Field("BSalir", &F::BSalir);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("BSelecClick", &F::BSelecClick);
    T.Handler("BImportarClick", &F::BImportarClick);
}

void TDatosForm::WMClose(TMessage& Message) {
    FCerradaPorVentana = true;
    TForm::WMClose(Message);
}

void TDatosForm::PonTitulo() {
    const TAppState& estado = ControlaForm->Estado();
    SetCaption("Datos [" + estado.RutaDatos + "] " + estado.TNCSeleccionado);
}

void TDatosForm::FormActivate(TObject*) {
    SetBounds(50, 100, Width(), Height());
    PonTitulo();
}

void TDatosForm::BSelecClick(TObject*) {
    auto* lista = NewComponent<TSelecDatosForm>(this);
    SelecDatosForm = lista;
    // OK with no folder chosen (an empty list) changes nothing, as Cancel.
    const int elegida = lista->ShowModal() == mrOk ? lista->ListBox1->ItemIndex() : -1;
    const AnsiString nombre = elegida >= 0 ? lista->ListBox1->Items()->Strings(elegida) : AnsiString();
    lista->Free();
    if (nombre.empty()) return;
    TReloj reloj;
    // The hourglass comes once the user agreed to a conversion: opening a
    // folder of the current layout is quick.
    TApertura apertura = SeleccionaCarpeta(ControlaForm->Estado(), nombre, [&reloj] {
        const bool convierte = PreguntaConversion();
        if (convierte) reloj.Pon();
        return convierte;
    });
    reloj.Quita();
    if (apertura == TApertura::Actual || apertura == TApertura::Convertida) PonTitulo();
}

void TDatosForm::BImportarClick(TObject*) {
    TAppState& estado = ControlaForm->Estado();
    const AnsiString nombre = PideNombreCarpetaValido(estado.CarpetaPrograma);
    if (nombre.empty()) return;
    TReloj reloj;
    reloj.Pon();
    const TResultadoImportar resultado = ImportaDatos(estado, nombre, PreguntaCarpetaExiste);
    if (resultado.Importado()) PonTitulo();
    AvisaResultadoImportar(resultado);
}
