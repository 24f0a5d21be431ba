// The automatic organizer on seeded synthetic schools: one "&Todos" run per
// iteration. Reports the time, the placement checks run (a deterministic
// work count), the students placed, and how many batches each relaxation
// level placed. And the placing of the students from the rows of a run
// with "Separar opciones", once per user action of step 6.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "organizer/Colocar.h"
#include "organizer/Organizar.h"
#include "platform/sys/Dialogs.h"
#include "tests/organizer/EscuelaSintetica.h"
#include "tests/organizer/OrganizadorPrueba.h"

namespace {

// The dialog of a run "&Todos" with the options Op, then "&Salir".
TDialogoOrganizar DialogoTodos(const TOpcionesOrganizar& Op) {
    return [Op](ISesionOrganizar& S) {
        S.Organiza(TModoOrganizar::Todos, Op);
        return Op;
    };
}

void Organiza(benchmark::State& State, int Alumnos, int Grupos, bool Ajustado, bool Optimos) {
    escuela::TParametros p;
    p.Alumnos = Alumnos;
    p.Grupos = Grupos;
    p.Optativas = std::min(15, 6 + Alumnos / 40);
    p.Bloques = 2 + (Alumnos / 100) % 3;
    p.Ajustado = Ajustado;
    p.Semilla = static_cast<uint64_t>(Alumnos * 100 + Grupos);
    const escuela::TEscuela e = escuela::Genera(p);
    TOpcionesOrganizar op;
    op.Opciones = Ajustado;
    op.Optimos = Optimos;
    TEstadisticaOrganizar est;
    int colocados = 0, tipos = 0;
    for (auto _ : State) {
        TScriptedDialogs m;
        TOrganizadorPrueba o;
        colocados = o.EjecutaOrganizar(e.Datos, {}, [&](ISesionOrganizar& S) {
                         const TOpcionesOrganizar cierre = DialogoTodos(op)(S);
                         est = o.Estadistica;
                         tipos = o.Memo.NumTipos;
                         return cierre;
                     }).Colocados;
    }
    State.counters["checks"] = static_cast<double>(est.Comprobaciones);
    State.counters["placed"] = colocados;
    State.counters["types"] = tipos;
    State.counters["batches"] = est.Lotes;
    State.counters["failed"] = est.LotesFallidos;
    // relaxation levels: batches placed with join, split or balance relaxed, and by displacement
    State.counters["join"] = est.LotesUne;
    State.counters["split"] = est.LotesParte;
    State.counters["balance"] = est.LotesEquilibrio;
    State.counters["displacing"] = est.LotesDesplazando;
}

void Todos(benchmark::State& State) {
    Organiza(State, static_cast<int>(State.range(0)), static_cast<int>(State.range(1)), State.range(2) != 0,
             State.range(3) != 0);
}

BENCHMARK(Todos)
    ->ArgNames({"students", "groups", "tight", "optimal"})
    ->Args({30, 2, 0, 0})
    ->Args({60, 2, 0, 0})
    ->Args({90, 3, 0, 0})
    ->Args({120, 4, 0, 0})
    ->Args({150, 5, 0, 0})
    ->Args({200, 7, 0, 0})
    ->Args({250, 8, 0, 0})
    ->Args({300, 10, 0, 0})
    ->Args({300, 12, 0, 0})
    ->Args({150, 5, 1, 0})
    ->Args({300, 10, 1, 0})
    ->Args({300, 12, 1, 0})
    ->Args({300, 12, 0, 1})
    ->Args({580, 20, 0, 0})  // the model full: 600 student rows at most
    ->Unit(benchmark::kMillisecond);

// The rows written back by a run with "Separar opciones" and every student
// of the school; each iteration places them all. Reports the rows and the
// students placed.
void Colocar(benchmark::State& State) {
    escuela::TParametros p;
    p.Alumnos = static_cast<int>(State.range(0));
    p.Grupos = static_cast<int>(State.range(1));
    p.Optativas = std::min(15, 6 + p.Alumnos / 40);
    p.Bloques = 2 + (p.Alumnos / 100) % 3;
    p.Semilla = static_cast<uint64_t>(p.Alumnos * 100 + p.Grupos);
    const escuela::TEscuela e = escuela::Genera(p);
    TOpcionesOrganizar op;
    op.Opciones = true;
    TScriptedDialogs m;
    TOrganizador o;
    const auto r = o.EjecutaOrganizar(e.Datos, {}, DialogoTodos(op)).Filas;
    if (!r) {
        State.SkipWithError("the organizer wrote nothing");
        return;
    }
    std::vector<TFilaEnGrupo> filas;
    for (const auto& t : r->TipGrup) {
        TFilaEnGrupo f;
        f.NALUM = EnteroDeTabla(t.NALUM);
        f.GRUPO = t.GRUPO;
        f.OPCION = t.OPCION;
        for (int k = 0; k < SlotsFila; ++k) f.ASIG[k] = t.ASIG[k];
        filas.push_back(f);
    }
    std::vector<TFilaAlumno> alumnos;
    for (const auto& a : e.Alumnos) {
        TFilaAlumno f;
        f.OPCION = a.OPCION;
        for (size_t k = 0; k < a.Asigs.size() && k < HuecosAsig; ++k) f.ASIG[k] = a.Asigs[k];
        alumnos.push_back(f);
    }
    int colocados = 0;
    for (auto _ : State) {
        auto a = alumnos;
        auto f = filas;
        colocados = ColocaAlumnos(a, f).Colocados;
        benchmark::DoNotOptimize(a.data());
    }
    State.counters["rows"] = static_cast<double>(filas.size());
    State.counters["placed"] = colocados;
}

BENCHMARK(Colocar)
    ->ArgNames({"students", "groups"})
    ->Args({360, 12})
    ->Args({580, 20})  // the model full
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
