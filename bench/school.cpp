// Speed of the school data on a large school made by the sample generator:
// the import (with the recomputation of groups and divisions), the
// classification of a course's subjects and the export. A large secondary
// school has some 2000 students; each of these runs once per user action.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/BenchFolder.h"
#include "platform/db/Table.h"
#include "shell/Export.h"
#include "shell/Import.h"
#include "shell/RecordRules.h"
#include "shell/SchoolTables.h"
#include "tools/SampleSchool.h"

namespace {

// A drive C: of the benchmark's own, with the school's exchange folder.
class TEscuelaGrande {
public:
    explicit TEscuelaGrande(int Alumnos) {
        FRaiz = MakeBenchFolder("school").string();
        ::setenv("ZELMOR_DRIVE_C", FRaiz.c_str(), 1);
        FEscuela = GeneraEscuela(SemillaEjemplo, Alumnos);
        EscribeIntercambio(FEscuela.Intercambio, "C:\\QTEMP");
    }
    ~TEscuelaGrande() {
        std::error_code ec;
        std::filesystem::remove_all(FRaiz, ec);
    }
    const TEscuelaEjemplo& Escuela() const { return FEscuela; }

private:
    std::string FRaiz;
    TEscuelaEjemplo FEscuela;
};

void Importa(benchmark::State& State) {
    TEscuelaGrande e(int(State.range(0)));
    for (auto _ : State) ImportaEnCarpeta("C:\\QTEMP", "C:\\PROG\\datos");
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(Importa)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

void Clasifica(benchmark::State& State) {
    TEscuelaGrande e(int(State.range(0)));
    ImportaEnCarpeta("C:\\QTEMP", "C:\\PROG\\datos");
    for (auto _ : State) ClasificaAsignaturas("C:\\PROG\\datos", "DESO4");
}
BENCHMARK(Clasifica)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

void Exporta(benchmark::State& State) {
    TEscuelaGrande e(int(State.range(0)));
    PreparaCarpetaDatos(e.Escuela(), "C:\\QTEMP", "C:\\PROG\\datos");
    for (auto _ : State) ExportaDatos("C:\\PROG\\datos", "C:\\QTEMP");
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(Exporta)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
