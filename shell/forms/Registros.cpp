#include "shell/forms/Registros.h"

#include "shell/forms/Controla.h"

namespace {
constexpr int ArribaPantalla = 60;
constexpr int MargenAlto = 85;
}  // namespace

TAppState& EstadoPrograma() {
    if (!ControlaForm) throw EInvalidOperation("A record screen needs the main window");
    return ControlaForm->Estado();
}

bool HayVentanaPrincipal() { return ControlaForm != nullptr; }

void PonMenuRejillas(std::initializer_list<TControl*> Rejillas) {
    for (TControl* rejilla : Rejillas) rejilla->SetPopupMenu(ControlaForm->PopupMenu1);
}

void ColocaPantallaRegistros(TCustomForm& Pantalla, bool AltoPropio, bool AnchoPantalla) {
    Pantalla.SetBounds(0, ArribaPantalla, AnchoPantalla ? Screen->Width() : Pantalla.Width(),
                       AltoPropio ? Pantalla.Height() : Screen->Height() - MargenAlto);
}
