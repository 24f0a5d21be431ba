#include "shell/forms/Organizar.h"

#include "buttons/fcImgBtn.h"
#include "buttons/fcLabel.h"
#include "platform/sys/Sound.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcClock.h"
#include "shell/AppState.h"

ZELMOR_IMPLEMENT_COMPONENT(TFormOrganizar, TForm)

TOpcionesOrganizar OpcionesOrganizar;
TFormOrganizar* FormOrganizar = nullptr;

TFormOrganizar::~TFormOrganizar() {
    if (FormOrganizar == this) FormOrganizar = nullptr;
}

void TFormOrganizar::DescribeProperties(TPropertyTable& T) {
    using F = TFormOrganizar;
    T.Field("LabTextoGen", &F::LabTextoGen);
    T.Field("fcLabel2", &F::fcLabel2);
    T.Field("Label1", &F::Label1);
    T.Field("LabMemDisp", &F::LabMemDisp);
    T.Field("Label2", &F::Label2);
    T.Field("Label3", &F::Label3);
    T.Field("LabTotAlum", &F::LabTotAlum);
    T.Field("Label4", &F::Label4);
    T.Field("LabActAlum", &F::LabActAlum);
    T.Field("Label5", &F::Label5);
    T.Field("LabSinColAlum", &F::LabSinColAlum);
    T.Field("Label6", &F::Label6);
    T.Field("BOrganizarTodos", &F::BOrganizarTodos);
    T.Field("BOrganizarNoCol", &F::BOrganizarNoCol);
    T.Field("BOrganizarActual", &F::BOrganizarActual);
    T.Field("BParar", &F::BParar);
    T.Field("BSalir", &F::BSalir);
    T.Field("OvcController1", &F::OvcController1);
    T.Field("OvcClockTotal", &F::OvcClockTotal);
    T.Field("CBOptimos", &F::CBOptimos);
    T.Field("CBOpciones", &F::CBOpciones);
    T.Field("RGGru", &F::RGGru);
    T.Field("RGDiv", &F::RGDiv);
    T.Field("RGCon", &F::RGCon);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("BOrganizarTodosClick", &F::BOrganizarTodosClick);
    T.Handler("BPararClick", &F::BPararClick);
    T.Handler("BSalirClick", &F::BSalirClick);
}

void TFormOrganizar::FormCreate(TObject*) {
    for (TLabel* L : {LabMemDisp, LabTotAlum, LabActAlum, LabSinColAlum}) L->SetCaption("");
    LabTextoGen->SetCaption("");
    BParar->SetVisible(false);
    PonOpciones(OpcionesOrganizar);
}

void TFormOrganizar::PonOpciones(const TOpcionesOrganizar& O) {
    CBOptimos->SetChecked(O.Optimos);
    CBOpciones->SetChecked(O.Opciones);
    RGGru->SetItemIndex(static_cast<int>(O.Grupo));
    RGDiv->SetItemIndex(static_cast<int>(O.Division));
    RGCon->SetItemIndex(static_cast<int>(O.Conexion));
}

TOpcionesOrganizar TFormOrganizar::TomaOpciones() const {
    auto numeracion = [](const TRadioGroup* G) {
        return G->ItemIndex() >= 0 && G->ItemIndex() <= 2 ? static_cast<TNumeracion>(G->ItemIndex())
                                                          : TNumeracion::ABC;
    };
    TOpcionesOrganizar O;
    O.Optimos = CBOptimos->Checked();
    O.Opciones = CBOpciones->Checked();
    O.Grupo = numeracion(RGGru);
    O.Division = numeracion(RGDiv);
    O.Conexion = numeracion(RGCon);
    return O;
}

TOpcionesOrganizar TFormOrganizar::Muestra(ISesionOrganizar& Sesion, const TAppState& Estado) {
    FSesion = &Sesion;
    SetCaption("Generador de grupos   " + Estado.Turno + " " + Estado.Nivel + " " + Estado.Curso);
    // A run of every student is offered only while no type is in a group.
    BOrganizarTodos->SetVisible(Sesion.TodosOfrecido());
    OvcClockTotal->SetActive(true);
    ShowModal();
    FSesion = nullptr;
    return OpcionesOrganizar;
}

void TFormOrganizar::FormClose(TObject*, TCloseAction&) {
    OpcionesOrganizar = TomaOpciones();
    OvcClockTotal->SetActive(false);
}

void TFormOrganizar::BOrganizarTodosClick(TObject* Sender) {
    if (!FSesion || FEjecutando) return;
    const auto tag = static_cast<int>(dynamic_cast<TComponent*>(Sender)->Tag());
    if (tag < 1 || tag > 3) return;
    BParar->SetVisible(true);
    for (TfcImageBtn* B : {BOrganizarTodos, BOrganizarNoCol, BOrganizarActual, BSalir}) B->SetVisible(false);
    FPararPedido = false;
    FEjecutando = true;
    try {
        FSesion->Organiza(static_cast<TModoOrganizar>(tag), TomaOpciones());
    } catch (...) {
        FEjecutando = false;
        MuestraFin();
        throw;
    }
    FEjecutando = false;
    MuestraFin();
}

// A dialog allows one run: after it only "&Salir" remains.
void TFormOrganizar::MuestraFin() {
    for (TfcImageBtn* B : {BParar, BOrganizarTodos, BOrganizarNoCol, BOrganizarActual}) B->SetVisible(false);
    BSalir->SetVisible(true);
}

void TFormOrganizar::BPararClick(TObject*) {
    BParar->SetVisible(false);
    BSalir->SetVisible(true);
    FPararPedido = true;
    OvcClockTotal->SetActive(false);
}

// Its modal result closes the dialog once a run under way has returned.
void TFormOrganizar::BSalirClick(TObject*) {
    if (FEjecutando) FPararPedido = true;
}

void TFormOrganizar::TextoGeneral(const AnsiString& Texto) {
    LabTextoGen->SetCaption(Texto);
    LabTextoGen->Update();
}

void TFormOrganizar::TotalAlumnos(const AnsiString& Texto) { LabTotAlum->SetCaption(Texto); }

void TFormOrganizar::AlumnoActual(const AnsiString& Texto) { LabActAlum->SetCaption(Texto); }

void TFormOrganizar::SinColocar(const AnsiString& Texto) { LabSinColAlum->SetCaption(Texto); }

void TFormOrganizar::Memoria(const AnsiString& Texto) {
    LabMemDisp->SetCaption(Texto);
    LabMemDisp->Update();
}

void TFormOrganizar::ProcesaMensajes() { Application->ProcessMessages(); }

void TFormOrganizar::Pitido() { MessageBeep(MB_ICONEXCLAMATION); }
