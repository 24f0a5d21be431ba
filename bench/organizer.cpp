// The automatic organizer on seeded synthetic schools: one "&Todos" run per
// iteration. Reports the time, the placement checks run (a deterministic
// work count), the students placed, and how many batches each relaxation
// level placed.
#include <benchmark/benchmark.h>

#include "organizer/Organizar.h"
#include "tests/organizer/EscuelaSintetica.h"

namespace {

struct TSinMensajes : IMensajesOrganizar {
    void Mensaje(const AnsiString&) override {}
};

void Organiza(benchmark::State& State, int Alumnos, int Grupos, bool Ajustado) {
    escuela::TParametros p;
    p.Alumnos = Alumnos;
    p.Grupos = Grupos;
    p.Optativas = 6 + (Alumnos / 30) % 10;
    p.Bloques = 2 + Grupos % 3;
    p.Ajustado = Ajustado;
    p.Semilla = static_cast<uint64_t>(Alumnos * 100 + Grupos);
    const escuela::TEscuela e = escuela::Genera(p);
    TOpcionesOrganizar op;
    op.Opciones = Ajustado;
    TEstadisticaOrganizar est;
    int colocados = 0, tipos = 0;
    for (auto _ : State) {
        TSinMensajes m;
        TOrganizador o(m);
        o.EjecutaOrganizar(e.Datos, [&](TOrganizador& x) {
            x.TomaOpciones(op);
            x.BOrganizarTodosClick(1);
            est = x.Estadistica;
            colocados = x.NumAlumnos - x.AlumnosSinGrupo();
            tipos = x.Memo.NumTipos;
        });
    }
    State.counters["checks"] = static_cast<double>(est.Comprobaciones);
    State.counters["placed"] = colocados;
    State.counters["types"] = tipos;
    State.counters["batches"] = est.Lotes;
    State.counters["failed"] = est.LotesFallidos;
    // tries: join, split, balance from the first balance level, depth 0..1
    int estrictos = 0, desplazados = 0, relajados = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 0)
            estrictos += est.LotesPorIntento[i];
        else if (i == 1)
            desplazados += est.LotesPorIntento[i];
        else
            relajados += est.LotesPorIntento[i];
    }
    State.counters["strict"] = estrictos;
    State.counters["strict_displaced"] = desplazados;
    State.counters["relaxed"] = relajados;
}

void Todos(benchmark::State& State) {
    Organiza(State, static_cast<int>(State.range(0)), static_cast<int>(State.range(1)), State.range(2) != 0);
}

BENCHMARK(Todos)
    ->ArgNames({"students", "groups", "tight"})
    ->Args({30, 2, 0})
    ->Args({60, 2, 0})
    ->Args({90, 3, 0})
    ->Args({120, 4, 0})
    ->Args({150, 5, 0})
    ->Args({200, 7, 0})
    ->Args({250, 8, 0})
    ->Args({300, 10, 0})
    ->Args({300, 12, 0})
    ->Args({150, 5, 1})
    ->Args({300, 10, 1})
    ->Args({300, 12, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
