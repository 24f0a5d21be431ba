// The organizer's driver and its run logic: the dialog's one run and what
// the dialog shows.
#include "organizer/Organizar.h"

#include "platform/rtl/Clock.h"
#include "platform/sys/Dialogs.h"

#include <cstdio>

namespace {

AnsiString Formato5d(int N) {
    char b[32];
    std::snprintf(b, sizeof b, "%5d", N);
    return b;
}

}  // namespace

TOrganizador::TOrganizador(IVistaOrganizar* Vista, std::function<uint32_t()> Tick)
    : Vista(Vista), Tick(Tick ? std::move(Tick) : std::function<uint32_t()>(GetTickCount)) {}

TOrganizador::~TOrganizador() = default;

void TOrganizador::Mensaje(const AnsiString& Texto) {
    MessageBox(Texto, "Atenci\xF3n", MB_OK | MB_ICONEXCLAMATION);
}

TResumenOrganizar TOrganizador::EjecutaOrganizar(const TDatosOrganizar& Datos,
                                                 const TOpcionesOrganizar& Opciones,
                                                 const TDialogoOrganizar& Dialogo) {
    TResumenOrganizar resumen;
    OpcionesEnVigor = Opciones;
    if (CargaDatos(Datos)) {
        AgrupaTipos(true);
        if (CompruebaDatos()) {
            Regenera = 0;
            ModoEjecucion.clear();
            IniciaDialogo();
            if (Dialogo) OpcionesEnVigor = Dialogo(*this);
            resumen.SinColocar = AlumnosSinGrupo();
            resumen.Colocados = TotalAlumnos() - resumen.SinColocar;
            resumen.TextoFallo = TextoFallo;
            // After exhausted memory in the working structures there is
            // nothing left to write from: the stored rows stay as they were.
            if (HuboEjecucion() && ClavValidas) resumen.Filas = GrabaResultado();
        }
    }
    LiberaClav();
    Memo.LiberaMemoFija();
    return resumen;
}

int TOrganizador::TotalAlumnos() const {
    int n = 0;
    for (int i = 0; i < Memo.NumFilas; ++i) n += Memo.Filas[i].NAlum;
    return n;
}

int TOrganizador::AlumnosSinGrupo() const {
    int n = 0;
    if (ClavValidas) {
        for (int i = 0; i < NumAlumnos; ++i)
            if (Alumnos[i].Grupo < 0) n += Alumnos[i].NAlum;
    } else {
        for (int i = 0; i < Memo.NumFilas; ++i)
            if (Memo.Filas[i].Grupo < 0) n += Memo.Filas[i].NAlum;
    }
    return n;
}

void TOrganizador::IniciaDialogo() {
    ContadorMemoria = 1048576;
    EstadoOrganizar = 0;
    TextoFallo.clear();
    if (Vista) {
        Vista->TextoGeneral("");
        Vista->Memoria("");
        Vista->TotalAlumnos(Formato5d(TotalAlumnos()));
        Vista->AlumnoActual(Formato5d(AlumnoActual < 0 ? 0 : AlumnoActual));
        Vista->SinColocar(IntToStr(AlumnosSinGrupo()));
    }
    Refrescado = false;
    RefrescaMemoria();
}

void TOrganizador::Para() {
    EstadoOrganizar = 1;
    AlumnoActual = -1;
}

bool TOrganizador::Organiza(TModoOrganizar Modo, const TOpcionesOrganizar& Opciones) {
    const int tag = static_cast<int>(Modo);
    // One run per dialog: a second press, even one the dialog lets through
    // while the first run handles its messages, is refused.
    if (HuboEjecucion() || tag < 1 || tag > 3 || (Modo == TModoOrganizar::Todos && !TodosOfrecido()))
        return false;
    OpcionesEnVigor = Opciones;
    EstadoOrganizar = 0;
    static const char* modos[] = {"todos", "nocol", "uno"};
    ModoEjecucion = modos[tag - 1];
    Regenera = Modo == TModoOrganizar::Todos ? 0 : 1;
    OrganizaCurso(Modo);
    MuestraFin();
    return true;
}

void TOrganizador::OrganizaCurso(TModoOrganizar Modo) {
    PrimerEquilibrio = OpcionesEnVigor.Optimos ? 0 : 1;
    SeparaOpciones = OpcionesEnVigor.Opciones ? 1 : 0;
    const AnsiString curso = Memo.Cursos[0].Abrev;
    if (Modo == TModoOrganizar::Todos) {
        for (int t = 0; t < Memo.NumTipos; ++t) {
            TFilaTipo& tipo = Memo.Tipos[t];
            if (tipo.Curso != curso) continue;
            tipo.Grupo = -1;
            for (auto& s : tipo.Slots) s.Div = s.Con = -1;
        }
        EntradasTipos.clear();
        if (!AsignaClav()) return;
        BucleColocacion(curso);
        return;
    }
    if (AsignaClav() && PreparaNoColocados()) BucleColocacion(curso);
}

void TOrganizador::MuestraFin() {
    if (Vista) {
        Vista->Pitido();
        Vista->AlumnoActual("0");
        Vista->SinColocar(IntToStr(AlumnosSinGrupo()));
        Vista->Memoria("1048576");
        // A batch that could not be placed stays in view above the end text.
        Vista->TextoGeneral(TextoFallo + " \n* * *   F I N   * * * ");
    }
    AlumnoActual = -1;
}
