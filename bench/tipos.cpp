// The types screen and the placing on schools of the sample generator, from
// the sample's 200 students to a large school's 2,000: for every course the
// types engine opens its working copies, "&Calcular Tipos", the totals, a
// type moved into a group and the merge when the screen closes; and
// "&Colocar" of every course from the distribution the organizer left. Each
// reports the time per student of the school ("per_student"), which must not
// grow with the school.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "bench/EscuelaEnDisco.h"
#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/OrgTablas.h"
#include "platform/sys/Dialogs.h"

namespace {

constexpr const char* Carpeta = TEscuelaEnDisco::Carpeta;

// The time per student of the school, on the process's clock and on the
// wall's (which adds the waits for the disk).
void PorAlumno(benchmark::State& State, std::chrono::steady_clock::time_point Desde) {
    const double alumnos = static_cast<double>(State.range(0));
    State.counters["per_student"] = benchmark::Counter(
        alumnos, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    const std::chrono::duration<double> pared = std::chrono::steady_clock::now() - Desde;
    State.counters["per_student_wall_us"] =
        pared.count() * 1e6 / (alumnos * static_cast<double>(State.iterations()));
}

// The whole visit of the types screen to every course.
void Tipos(benchmark::State& State) {
    TEscuelaEnDisco escuela(static_cast<int>(State.range(0)), "tipos");
    TScriptedDialogs dialogos;
    const auto borrar = [] { return TBorrarTipos::Borrar; };
    const auto desde = std::chrono::steady_clock::now();
    for (auto _ : State)
        for (const auto& tnc : escuela.Cursos()) {
            TMotorTipos motor(Carpeta, tnc);
            motor.Abre();
            motor.RecuentaTipos(borrar);
            benchmark::DoNotOptimize(motor.TotalesTipos());
            benchmark::DoNotOptimize(motor.TotalesGrupo(std::nullopt));
            const auto trabajo = motor.LeeTrabajo();
            if (!trabajo.Tipos.empty()) {
                const int n = trabajo.Tipos.front().N;
                motor.TrasladaTipoAGrupo(n, motor.OfertaTipo(n).Numero, "A");
                benchmark::DoNotOptimize(motor.TotalesTipos());
                benchmark::DoNotOptimize(motor.TotalesGrupo(AnsiString("A")));
            }
            motor.MezclaTrabajo();
        }
    PorAlumno(State, desde);
}
// The sample's size to a large school's.
void Tamanos(benchmark::internal::Benchmark* B) {
    B->ArgName("students")->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
}
BENCHMARK(Tipos)->Apply(Tamanos);

// "&Colocar" of every course, after the organizer has distributed it.
void Colocar(benchmark::State& State) {
    TEscuelaEnDisco escuela(static_cast<int>(State.range(0)), "tipos");
    TScriptedDialogs dialogos;
    for (const auto& tnc : escuela.Cursos()) {
        TMotorTipos motor(Carpeta, tnc);
        motor.Abre();
        motor.RecuentaTipos([] { return TBorrarTipos::Borrar; });
        EjecutaOrganizar(motor, {}, {}, [](ISesionOrganizar& S) {
            S.Organiza(TModoOrganizar::Todos, {});
            return TOpcionesOrganizar{};
        });
        motor.MezclaTrabajo();
    }
    int colocados = 0;
    const auto desde = std::chrono::steady_clock::now();
    for (auto _ : State) {
        colocados = 0;
        for (const auto& tnc : escuela.Cursos()) {
            PreparaColocar(Carpeta, tnc);
            colocados += ColocaAlumnosDelCurso(Carpeta, tnc).Colocados;
        }
    }
    State.counters["placed"] = colocados;
    PorAlumno(State, desde);
}
BENCHMARK(Colocar)->Apply(Tamanos);

}  // namespace

BENCHMARK_MAIN();
