// The automatic organizer on seeded synthetic schools: one "&Todos" run per
// iteration. Reports the time, the placement checks run (a deterministic
// work count), the students placed, and how many batches each relaxation
// level placed. And the placing of the students from the rows of a run
// with "Separar opciones", once per user action of step 6. And the whole
// step of "&Org. Automática" on the tables of a generated school
// (PasoCompleto, below), with the file calls it makes.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <dirent.h>
#include <sys/stat.h>

#include "bench/EscuelaEnDisco.h"
#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/OrgTablas.h"
#include "organizer/Organizar.h"
#include "platform/sys/Dialogs.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

// The file calls of the program's own code, counted: bench/CMakeLists.txt
// links this benchmark with the linker's --wrap of each of these libc
// functions, so that every call our libraries make to one of them comes
// here first (calls made inside the C and C++ libraries are not counted).
// Each is one system call but opendir, readdir and closedir, which the
// library turns into one or two. On a shared folder each is a round trip
// to the server.
namespace {
std::atomic<uint64_t> LlamadasDeFicheros{0};
}  // namespace

extern "C" {
#define ZELMOR_CUENTA(Tipo, Nombre, Parametros, Argumentos)                                                  \
    Tipo __real_##Nombre Parametros;                                                                         \
    Tipo __wrap_##Nombre Parametros {                                                                        \
        LlamadasDeFicheros.fetch_add(1, std::memory_order_relaxed);                                          \
        return __real_##Nombre Argumentos;                                                                   \
    }
ZELMOR_CUENTA(ssize_t, pread, (int F, void* B, size_t N, off_t O), (F, B, N, O))
ZELMOR_CUENTA(ssize_t, pwrite, (int F, const void* B, size_t N, off_t O), (F, B, N, O))
ZELMOR_CUENTA(ssize_t, read, (int F, void* B, size_t N), (F, B, N))
ZELMOR_CUENTA(ssize_t, write, (int F, const void* B, size_t N), (F, B, N))
ZELMOR_CUENTA(off_t, lseek, (int F, off_t O, int W), (F, O, W))
ZELMOR_CUENTA(int, close, (int F), (F))
ZELMOR_CUENTA(int, fstat, (int F, struct stat* S), (F, S))
ZELMOR_CUENTA(int, stat, (const char* P, struct stat* S), (P, S))
ZELMOR_CUENTA(int, access, (const char* P, int M), (P, M))
ZELMOR_CUENTA(int, fsync, (int F), (F))
ZELMOR_CUENTA(int, ftruncate, (int F, off_t L), (F, L))
ZELMOR_CUENTA(int, rename, (const char* A, const char* B), (A, B))
ZELMOR_CUENTA(int, unlink, (const char* P), (P))
ZELMOR_CUENTA(int, mkdir, (const char* P, mode_t M), (P, M))
ZELMOR_CUENTA(int, rmdir, (const char* P), (P))
ZELMOR_CUENTA(DIR*, opendir, (const char* P), (P))
ZELMOR_CUENTA(struct dirent*, readdir, (DIR * D), (D))
ZELMOR_CUENTA(int, closedir, (DIR * D), (D))
#undef ZELMOR_CUENTA
// The two that take a third argument only for some requests.
int __real_open(const char* P, int Flags, ...);
int __wrap_open(const char* P, int Flags, ...) {
    va_list a;
    va_start(a, Flags);
    const mode_t modo = va_arg(a, mode_t);
    va_end(a);
    LlamadasDeFicheros.fetch_add(1, std::memory_order_relaxed);
    return __real_open(P, Flags, modo);
}
int __real_fcntl(int F, int Orden, ...);
int __wrap_fcntl(int F, int Orden, ...) {
    va_list a;
    va_start(a, Orden);
    void* argumento = va_arg(a, void*);
    va_end(a);
    LlamadasDeFicheros.fetch_add(1, std::memory_order_relaxed);
    return __real_fcntl(F, Orden, argumento);
}
}
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

double SegundosDeHilo() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double SegundosDePared() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Mediana(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V.empty() ? 0 : V[V.size() / 2];
}

// The step as the types screen runs it, from the click to the views rebuilt;
// a function of its own, so that a profiler can count it alone
// (valgrind --tool=callgrind --collect-atstart=no --toggle-collect=...Paso...).
[[gnu::noinline]] TResumenOrganizar Paso(TMotorTipos& Motor, const TOpcionesOrganizar& Op,
                                         std::vector<double>& Busqueda) {
    const TResumenOrganizar r = EjecutaOrganizar(Motor, {}, Op, [&](ISesionOrganizar& S) {
        const double antes = SegundosDeHilo();
        S.Organiza(TModoOrganizar::Todos, Op);
        Busqueda.push_back(SegundosDeHilo() - antes);
        return Op;
    });
    benchmark::DoNotOptimize(Motor.TotalesTipos());
    benchmark::DoNotOptimize(Motor.TotalesGrupo(std::nullopt));
    for (const char* tabla : {"tipos2", "tipgrup2", "conex"}) {
        auto t = OpenTempTable(Motor.DatabaseName(), tabla);
        for (t->First(); !t->Eof(); t->Next())
            for (TField* f : t->Fields()->List()) benchmark::DoNotOptimize(f->AsString());
    }
    return r;
}

// The whole step of "&Org. Automática" as the types screen runs it, on the
// data folder of the sample generator's school of 2,640 students, for its
// largest course; every course's types are counted and merged first, so the
// stored tables hold the whole school's rows, which the refill renumbers.
// Timed: the SELEC marks and the load of the working copies, the search
// ("&Todos" with "Separar opciones"), the write-back into tipos and tipgrup,
// the refill of the working copies with their recomputations, the totals,
// and the reading of the three working tables that the screen's views
// reload. The folder is put back before each iteration, outside the time.
//
// Counters, medians over the iterations: "search_ms" the search alone and
// "step_ms" the whole step on the thread's own clock (the machine may be
// shared; system calls count in it, waits for the disk do not), "ratio"
// step_ms / search_ms (goal: 3 at most), "step_wall_ms" the step on the
// wall's clock; "syscalls" the file calls of the step (see the top of this
// file) and "syscalls_per_student" the same per student of the course.
void PasoCompleto(benchmark::State& State) {
    TEscuelaEnDisco escuela(static_cast<int>(State.range(0)), "organizer");
    // The program's database on the data folder, which the types screen
    // names its tables by (the folder is found once, when it opens).
    TAppState* estado = NewComponent<TAppState>(nullptr);
    estado->ApuntaBaseDatos(AnsiString(TEscuelaEnDisco::Carpeta) + "\\");
    const AnsiString carpeta = NombreBaseDatos;
    TScriptedDialogs dialogos;
    AnsiString curso;
    int mayor = 0;
    for (const auto& tnc : escuela.Cursos()) {
        TMotorTipos motor(carpeta, tnc);
        motor.Abre();
        motor.RecuentaTipos([] { return TBorrarTipos::Borrar; });
        motor.MezclaTrabajo();
        auto alum = OpenTempTable(carpeta, "alum");
        FilterEqual(*alum, "TNC", tnc);
        if (alum->RecordCount() > mayor) {
            mayor = alum->RecordCount();
            curso = tnc;
        }
    }
    escuela.Guarda();

    TOpcionesOrganizar op;
    op.Opciones = true;
    std::vector<double> busqueda, paso, pared, llamadas;
    int alumnos = 0;
    for (auto _ : State) {
        State.PauseTiming();
        escuela.Restaura();
        TMotorTipos motor(carpeta, curso);
        motor.Abre();
        State.ResumeTiming();

        const uint64_t llamadasAntes = LlamadasDeFicheros.load();
        const double hilo = SegundosDeHilo(), inicio = SegundosDePared();
        const TResumenOrganizar r = Paso(motor, op, busqueda);
        paso.push_back(SegundosDeHilo() - hilo);
        pared.push_back(SegundosDePared() - inicio);
        llamadas.push_back(static_cast<double>(LlamadasDeFicheros.load() - llamadasAntes));
        alumnos = r.Colocados + r.SinColocar;
        if (!r.Escrito) State.SkipWithError("the organizer wrote nothing");
    }
    State.counters["search_ms"] = Mediana(busqueda) * 1e3;
    State.counters["step_ms"] = Mediana(paso) * 1e3;
    State.counters["ratio"] = Mediana(busqueda) > 0 ? Mediana(paso) / Mediana(busqueda) : 0;
    State.counters["step_wall_ms"] = Mediana(pared) * 1e3;
    State.counters["syscalls"] = Mediana(llamadas);
    State.counters["syscalls_per_student"] = alumnos > 0 ? Mediana(llamadas) / alumnos : 0;
    State.counters["students"] = alumnos;
    estado->Free();
}
BENCHMARK(PasoCompleto)->ArgName("school")->Arg(2640)->Iterations(7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
