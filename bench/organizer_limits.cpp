// The automatic organizer where its search works hardest: courses of the
// model's full 600 student rows in 30 groups with tight limits, "Separar
// opciones" and "Intentar números óptimos", over 20 seeds, whose worst must
// stay under one second; and a whole school of 24 courses of 110 students
// organized one course after another, under one second too. Each seed's run
// is timed on the thread's own clock (the machine may be shared); the
// counters give the worst and the whole in seconds, and "ratio" is the one
// judged over its second.
#include <benchmark/benchmark.h>

#include <time.h>

#include "organizer/Organizar.h"
#include "platform/sys/Dialogs.h"
#include "tests/organizer/EscuelaSintetica.h"

namespace {

double SegundosDeHilo() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct TCorridaSemilla {
    double Segundos = 0;
    int Colocados = 0;
};

// One "&Todos" with tight limits and optimal numbers on the seeded course.
TCorridaSemilla Corre(int Alumnos, int Grupos, uint64_t Semilla) {
    const escuela::TEscuela e = escuela::Genera(escuela::Medidas(Alumnos, Grupos, true, Semilla));
    TOpcionesOrganizar op;
    op.Opciones = true;
    op.Optimos = true;
    TScriptedDialogs m;
    TOrganizador o;
    TCorridaSemilla r;
    const double antes = SegundosDeHilo();
    r.Colocados = o.EjecutaOrganizar(e.Datos, {}, [&](ISesionOrganizar& S) {
                       S.Organiza(TModoOrganizar::Todos, op);
                       return op;
                   }).Colocados;
    r.Segundos = SegundosDeHilo() - antes;
    return r;
}

void PeorDeVeinteSemillas(benchmark::State& State) {
    double peor = 0, total = 0;
    int semillaPeor = 0, colocados = 0;
    for (auto _ : State) {
        peor = total = 0;
        colocados = 0;
        for (int s = 1; s <= 20; ++s) {
            const TCorridaSemilla r = Corre(600, 30, static_cast<uint64_t>(s));
            total += r.Segundos;
            colocados += r.Colocados;
            if (r.Segundos > peor) {
                peor = r.Segundos;
                semillaPeor = s;
            }
        }
    }
    State.counters["worst_s"] = peor;
    State.counters["worst_seed"] = semillaPeor;
    State.counters["all_20_s"] = total;
    State.counters["placed"] = colocados;
    State.counters["ratio"] = peor / 1.0;
}
BENCHMARK(PeorDeVeinteSemillas)->Iterations(1)->Unit(benchmark::kSecond);

void Escuela24Cursos(benchmark::State& State) {
    double total = 0;
    int colocados = 0;
    for (auto _ : State) {
        total = 0;
        colocados = 0;
        for (int s = 1; s <= 24; ++s) {
            const TCorridaSemilla r = Corre(110, 4, static_cast<uint64_t>(s));
            total += r.Segundos;
            colocados += r.Colocados;
        }
    }
    State.counters["school_s"] = total;
    State.counters["placed"] = colocados;
    State.counters["ratio"] = total / 1.0;
}
BENCHMARK(Escuela24Cursos)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
