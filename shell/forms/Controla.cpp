#include "shell/forms/Controla.h"

#include <algorithm>

#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwintl.h"
#include "gradient/TeeDraw3D.h"
#include "platform/report/Report.h"
#include "platform/ui/Menus.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Alum.h"
#include "shell/forms/AsigCur.h"
#include "shell/forms/Aulas.h"
#include "shell/forms/Colocar.h"
#include "shell/forms/Cursos.h"
#include "shell/forms/Datos.h"
#include "shell/forms/Exportar.h"
#include "shell/forms/Grup.h"
#include "shell/forms/Listados.h"
#include "shell/forms/NomAsg.h"
#include "shell/forms/Profes.h"
#include "shell/forms/Tipos.h"

ZELMOR_IMPLEMENT_COMPONENT(TControlaForm, TForm)

TControlaForm* ControlaForm = nullptr;

namespace {
// Once the user leaves the welcome layout the window keeps only its buttons.
constexpr int AltoTira = 61;
constexpr int ArribaBotonesTira = 2;
constexpr int AyudaPrincipal = 2000;
// The step menu pops up here, whatever the window's place.
constexpr int MenuPasosX = 100, MenuPasosY = 100;

// Each step and the opener of its screen.
struct TApertura {
    int Paso;
    TTrasPaso (TControlaForm::*Abre)();
};
}  // namespace

TControlaForm::TControlaForm(TComponent* AOwner) : TForm(AOwner) { FEstado = NewComponent<TAppState>(this); }

TControlaForm::~TControlaForm() {
    if (ControlaForm == this) ControlaForm = nullptr;
}

void TControlaForm::DescribeProperties(TPropertyTable& T) {
    using F = TControlaForm;
    T.Field("wwIntl1", &F::wwIntl1);
    T.Field("PopupMenu1", &F::PopupMenu1);
    T.Field("Inserta", &F::Inserta);
    T.Field("Suprime", &F::Suprime);
    T.Field("Recupera", &F::Recupera);
    T.Field("PopupMenuControla", &F::PopupMenuControla);
    T.Field("MIDatos", &F::MIDatos);
    T.Field("MISelecCurso", &F::MISelecCurso);
    T.Field("MIAlumnos", &F::MIAlumnos);
    T.Field("MIAsiCur", &F::MIAsiCur);
    T.Field("MITipos", &F::MITipos);
    T.Field("MIColocar", &F::MIColocar);
    T.Field("MIExportar", &F::MIExportar);
    T.Field("Nombresdelasasignaturas1", &F::Nombresdelasasignaturas1);
    T.Field("Profesores1", &F::Profesores1);
    T.Field("Grupos1", &F::Grupos1);
    T.Field("Aulas1", &F::Aulas1);
    T.Field("ListadosAlumnos", &F::ListadosAlumnos);
    T.Field("Salir1", &F::Salir1);
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("LabDorvanel", &F::LabDorvanel);
    T.Field("LabVersion", &F::LabVersion);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Field("BAnterior", &F::BAnterior);
    T.Field("BSiguiente", &F::BSiguiente);
    T.Field("BIrA", &F::BIrA);
    T.Field("BAyuda", &F::BAyuda);
    T.Field("BSalir", &F::BSalir);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormCloseQuery", &F::FormCloseQuery);
    T.Handler("BSiguienteClick", &F::BSiguienteClick);
    T.Handler("BAnteriorClick", &F::BAnteriorClick);
    T.Handler("BIrAClick", &F::BIrAClick);
    T.Handler("BAyudaClick", &F::BAyudaClick);
    T.Handler("Salir1Click", &F::Salir1Click);
    T.Handler("MIDatosClick", &F::MIDatosClick);
    T.Handler("MISelecCursoClick", &F::MISelecCursoClick);
    T.Handler("MIAlumnosClick", &F::MIAlumnosClick);
    T.Handler("MIAsiCurClick", &F::MIAsiCurClick);
    T.Handler("MITiposClick", &F::MITiposClick);
    T.Handler("MIColocarClick", &F::MIColocarClick);
    T.Handler("MIExportarClick", &F::MIExportarClick);
    T.Handler("MINomAsgClick", &F::MINomAsgClick);
    T.Handler("MIProfesClick", &F::MIProfesClick);
    T.Handler("MIGruposClick", &F::MIGruposClick);
    T.Handler("MIAulasClick", &F::MIAulasClick);
    T.Handler("MIListadosClick", &F::MIListadosClick);
    T.Handler("InsertaClick", &F::InsertaClick);
    T.Handler("SuprimeClick", &F::SuprimeClick);
    T.Handler("RecuperaClick", &F::RecuperaClick);
}

// --- the application state ---

void TControlaForm::FormCreate(TObject*) { FEstado->Inicia(); }

bool TControlaForm::HayCarpetaDatos() { return FEstado->HayCarpetaDatos(); }

bool TControlaForm::HayCursoSeleccionado() { return FEstado->HayCursoSeleccionado(); }

int TControlaForm::MemInsuf(const AnsiString& Tag) { return FEstado->MemInsuf(Tag); }

// --- the window ---

void TControlaForm::FormActivate(TObject*) { SetBounds(0, 0, Width(), Height()); }

void TControlaForm::PasaATira() {
    LabDorvanel->SetVisible(false);
    LabVersion->SetVisible(false);
    RichEdit1->SetVisible(false);
    for (TfcShapeBtn* B : {BAnterior, BSiguiente, BIrA, BAyuda, BSalir}) B->SetTop(ArribaBotonesTira);
    SetBounds(0, 0, Width(), AltoTira);
    FTira = true;
}

// The program ends only through here ("&Salir", the window's close box):
// the current step closes as a move would close it, so that its screen
// keeps what it holds (a pending edit, the types screen's merge).
void TControlaForm::FormCloseQuery(TObject*, bool& CanClose) {
    if (FMoviendo) {
        // A modal step's dialog is open: it closes first, and the move
        // under way ends the program once it has left the dialog.
        FSalirPedido = true;
        if (FPantalla && FPantalla->FormState().Contains(fsModal)) FPantalla->SetModalResult(mrCancel);
        CanClose = false;
        return;
    }
    // A screen that cannot close now (the types screen under the
    // organizer's run, or keeping work another program kept it from
    // merging) is not freed under its work: the program stays.
    if (FPantalla && !CierraPaso()) CanClose = false;
}

void TControlaForm::Salir1Click(TObject*) { Close(); }

void TControlaForm::BAyudaClick(TObject*) { Application->HelpContext(AyudaPrincipal); }

void TControlaForm::BIrAClick(TObject*) {
    if (FMoviendo) return;
    PopupMenuControla->Popup(MenuPasosX, MenuPasosY);
}

// --- the step machine ---

void TControlaForm::Mueve(TMovimiento Movimiento, int PasoMenu) {
    // Under a modal step only "&Salir" acts: a second move would open a
    // step inside the dialog of another.
    if (FMoviendo) return;
    FMoviendo = true;
    bool salir = false;
    try {
        salir = MuevePaso(*FEstado, *this, Movimiento, PasoMenu);
    } catch (...) {
        FMoviendo = false;
        throw;
    }
    FMoviendo = false;
    if (salir || FSalirPedido) Close();
}

bool TControlaForm::CierraPaso() {
    if (!FTira) PasaATira();
    TCustomForm* pantalla = FPantalla;
    if (!pantalla) return true;
    // A modeless screen closes first, so that its OnClose keeps what it
    // holds; a modal one was closed by its own loop. One that is still shown
    // afterwards refused to close.
    if (pantalla->Visible()) {
        pantalla->Close();
        if (pantalla->Visible()) return false;
    }
    FPantalla = nullptr;
    pantalla->Free();
    return true;
}

TTrasPaso TControlaForm::AbrePaso() {
    static const TApertura Aperturas[] = {
        {PasoDatos, &TControlaForm::AbreDatos},
        {PasoCursos, &TControlaForm::AbreCursos},
        {PasoAlumnos, &TControlaForm::AbreAlumnos},
        {PasoAsignaturasCurso, &TControlaForm::AbreAsigCur},
        {PasoTipos, &TControlaForm::AbreTipos},
        {PasoColocar, &TControlaForm::AbreColocar},
        {PasoAlumnosConGrupos, &TControlaForm::AbreAlumnos},
        {PasoExportar, &TControlaForm::AbreExportar},
        {PasoNombresAsignaturas, &TControlaForm::AbreNomAsg},
        {PasoProfesores, &TControlaForm::AbreProfes},
        {PasoGrupos, &TControlaForm::AbreGrupos},
        {PasoAulas, &TControlaForm::AbreAulas},
        {PasoListados, &TControlaForm::AbreListados},
    };
    for (const TApertura& a : Aperturas)
        if (a.Paso == FEstado->Paso) return (this->*a.Abre)();
    return TTrasPaso::Queda;
}

TTrasPaso TControlaForm::AbreDatos() {
    auto* F = NewComponent<TDatosForm>(this);
    DatosForm = F;
    FPantalla = F;
    // Modal as every dialog of the program: the strip waits under it. The
    // user must open a folder to go on, and may always leave by the
    // dialog's close box.
    F->ShowModal();
    if (FSalirPedido) return TTrasPaso::Salir;
    // Its close box, with no folder open, is the other way out.
    if (FEstado->CarpetaDatos.empty() && F->CerradaPorVentana()) return TTrasPaso::Salir;
    return TTrasPaso::Siguiente;
}

TTrasPaso TControlaForm::AbreExportar() {
    auto* F = NewComponent<TExportarForm>(this);
    ExportarForm = F;
    FPantalla = F;
    F->ShowModal();
    return TTrasPaso::Anterior;
}

// A record screen: modeless, owned by the main window, freed at the next
// move; the machine waits on the step for the user's next move.
TTrasPaso TControlaForm::MuestraPantalla(TCustomForm* Pantalla) {
    FPantalla = Pantalla;
    Pantalla->Show();
    return TTrasPaso::Queda;
}

TTrasPaso TControlaForm::AbreCursos() {
    return MuestraPantalla(CursosForm = NewComponent<TCursosForm>(this));
}

// Steps 3 and 7 show the same screen: after the placing it shows each
// student's group and divisions.
TTrasPaso TControlaForm::AbreAlumnos() { return MuestraPantalla(AlumForm = NewComponent<TAlumForm>(this)); }

TTrasPaso TControlaForm::AbreAsigCur() {
    return MuestraPantalla(AsigCurForm = NewComponent<TAsigCurForm>(this));
}

// The types screen is modeless: the step stays open on it until the next move.
TTrasPaso TControlaForm::AbreTipos() {
    auto* F = NewComponent<TTiposForm>(this);
    TiposForm = F;
    FPantalla = F;
    F->Abre(*FEstado);
    F->Show();
    return TTrasPaso::Queda;
}

// However the placing dialog closes, the students with their groups follow.
TTrasPaso TControlaForm::AbreColocar() {
    auto* F = NewComponent<TColocarForm>(this);
    ColocarForm = F;
    FPantalla = F;
    F->Abre(*FEstado);
    F->ShowModal();
    return TTrasPaso::Siguiente;
}

TTrasPaso TControlaForm::AbreNomAsg() {
    return MuestraPantalla(NomAsgForm = NewComponent<TNomAsgForm>(this));
}

TTrasPaso TControlaForm::AbreProfes() {
    return MuestraPantalla(ProfesForm = NewComponent<TProfesForm>(this));
}

TTrasPaso TControlaForm::AbreGrupos() { return MuestraPantalla(GrupForm = NewComponent<TGrupForm>(this)); }

TTrasPaso TControlaForm::AbreAulas() { return MuestraPantalla(AulasForm = NewComponent<TAulasForm>(this)); }

// The listing form stays unseen: its report shows in the print preview,
// which takes the screen below the strip (the strip stays on top and would
// hide the preview's buttons). The form lives until the next move.
TTrasPaso TControlaForm::AbreListados() {
    auto* F = NewComponent<TListadosForm>(this);
    ListadosForm = F;
    FPantalla = F;
    F->Prepara(FEstado->TNCSeleccionado);
    TRect Area = Screen->WorkAreaRect();
    Area.Top = std::max(Area.Top, Top() + Height());
    F->QR->PreviewModal(Area);
    return TTrasPaso::Queda;
}

void TControlaForm::BSiguienteClick(TObject*) { Mueve(TMovimiento::Siguiente); }

void TControlaForm::BAnteriorClick(TObject*) { Mueve(TMovimiento::Anterior); }

void TControlaForm::MIDatosClick(TObject*) { Mueve(TMovimiento::Menu, PasoDatos); }

void TControlaForm::MISelecCursoClick(TObject*) { Mueve(TMovimiento::Menu, PasoCursos); }

void TControlaForm::MIAlumnosClick(TObject*) { Mueve(TMovimiento::Menu, PasoAlumnos); }

void TControlaForm::MIAsiCurClick(TObject*) { Mueve(TMovimiento::Menu, PasoAsignaturasCurso); }

void TControlaForm::MITiposClick(TObject*) { Mueve(TMovimiento::Menu, PasoTipos); }

void TControlaForm::MIColocarClick(TObject*) { Mueve(TMovimiento::Menu, PasoColocar); }

void TControlaForm::MIExportarClick(TObject*) { Mueve(TMovimiento::Menu, PasoExportar); }

void TControlaForm::MINomAsgClick(TObject*) { Mueve(TMovimiento::Menu, PasoNombresAsignaturas); }

void TControlaForm::MIProfesClick(TObject*) { Mueve(TMovimiento::Menu, PasoProfesores); }

void TControlaForm::MIGruposClick(TObject*) { Mueve(TMovimiento::Menu, PasoGrupos); }

void TControlaForm::MIAulasClick(TObject*) { Mueve(TMovimiento::Menu, PasoAulas); }

void TControlaForm::MIListadosClick(TObject*) { Mueve(TMovimiento::Menu, PasoListados); }

// --- the grid menu of the record screens ---

void TControlaForm::InsertaClick(TObject*) { InsertaLinea(*FEstado); }

void TControlaForm::SuprimeClick(TObject*) {
    SuprimeLinea(*FEstado);
    Recupera->SetEnabled(FEstado->RecuperaActivo);
}

void TControlaForm::RecuperaClick(TObject*) {
    RecuperaLinea(*FEstado);
    Recupera->SetEnabled(FEstado->RecuperaActivo);
}
