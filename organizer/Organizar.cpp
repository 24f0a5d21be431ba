// The organizer's driver and its run logic: what the dialog's buttons start
// and what the dialog shows.
#include "organizer/Organizar.h"

#include "platform/rtl/Clock.h"

#include <cstdio>

namespace {

AnsiString Formato5d(int N) {
    char b[32];
    std::snprintf(b, sizeof b, "%5d", N);
    return b;
}

}  // namespace

TOpcionesOrganizar& OpcionesOrganizar() {
    static TOpcionesOrganizar opciones;
    return opciones;
}

TOrganizador::TOrganizador(IMensajesOrganizar& Mensajes, IVistaOrganizar* Vista,
                           std::function<uint32_t()> Tick)
    : Mensajes(Mensajes), Vista(Vista),
      Tick(Tick ? std::move(Tick) : std::function<uint32_t()>(GetTickCount)) {}

TOrganizador::~TOrganizador() = default;

std::optional<TResultadoOrganizar>
TOrganizador::EjecutaOrganizar(const TDatosOrganizar& Datos,
                               const std::function<void(TOrganizador&)>& Dialogo) {
    std::optional<TResultadoOrganizar> resultado;
    if (CargaDatos(Datos)) {
        AgrupaTipos(true);
        if (CompruebaDatos()) {
            Regenera = 0;
            ModoEjecucion.clear();
            FormCreate();
            if (Dialogo) Dialogo(*this);
            // After exhausted memory in the working structures there is
            // nothing left to write from: the stored rows stay as they were.
            if (HuboEjecucion() && ClavValidas) resultado = GrabaResultado();
        }
    }
    LiberaClav();
    Memo.LiberaMemoFija();
    return resultado;
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

void TOrganizador::FormCreate() {
    ContadorMemoria = 1048576;
    EstadoOrganizar = 0;
    RunTerminado = false;
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

void TOrganizador::TomaOpciones(const TOpcionesOrganizar& Opciones) { OpcionesOrganizar() = Opciones; }

void TOrganizador::BPararClick() {
    EstadoOrganizar = 1;
    AlumnoActual = -1;
}

void TOrganizador::BSalirClick() { BPararClick(); }

void TOrganizador::BOrganizarTodosClick(int Tag) {
    if (RunTerminado || Tag < 1 || Tag > 3 || (Tag == 1 && !TodosOfrecido())) return;
    EstadoOrganizar = 0;
    static const char* modos[] = {"todos", "nocol", "uno"};
    ModoEjecucion = modos[Tag - 1];
    Regenera = Tag == 1 ? 0 : 1;
    Organiza(Tag);
    MuestraFin();
}

void TOrganizador::Organiza(int Modo) {
    const TOpcionesOrganizar& op = OpcionesOrganizar();
    PrimerEquilibrio = op.Optimos ? 0 : 1;
    SeparaOpciones = op.Opciones ? 1 : 0;
    const AnsiString curso = Memo.Cursos[0].Abrev;
    if (Modo == 1) {
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
    RunTerminado = true;
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
