// Writes the sample school: <folder>/qtemp, the exchange folder, and
// <folder>/datos, the data folder importing it gives, ready to organize.
//
//   genera_ejemplo [--alumnos N] [--semilla S] [folder]
//
// The folder defaults to "samples"; both sub-folders are made anew. A larger
// --alumnos gives a school for measuring speed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"
#include "tools/SampleSchool.h"

int main(int argc, char** argv) {
    int alumnos = AlumnosEjemplo;
    uint64_t semilla = SemillaEjemplo;
    std::filesystem::path carpeta = "samples";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--alumnos" && i + 1 < argc) alumnos = std::atoi(argv[++i]);
        else if (a == "--semilla" && i + 1 < argc) semilla = std::strtoull(argv[++i], nullptr, 10);
        else if (!a.empty() && a[0] != '-') carpeta = a;
        else {
            std::fprintf(stderr, "uso: %s [--alumnos N] [--semilla S] [carpeta]\n", argv[0]);
            return 2;
        }
    }
    if (alumnos < 1) {
        std::fprintf(stderr, "--alumnos debe ser 1 o m\xC3\xA1s\n");
        return 2;
    }
    try {
        carpeta = std::filesystem::absolute(carpeta);
        std::filesystem::remove_all(carpeta / "qtemp");
        std::filesystem::remove_all(carpeta / "datos");
        std::filesystem::create_directories(carpeta);
        AnsiString qtemp = UnmapPath((carpeta / "qtemp").string());
        AnsiString datos = UnmapPath((carpeta / "datos").string());
        TEscuelaEjemplo escuela = GeneraEscuela(semilla, alumnos);
        EscribeIntercambio(escuela.Intercambio, qtemp);
        PreparaCarpetaDatos(escuela, qtemp, datos);
    } catch (const Exception& E) {
        std::fprintf(stderr, "%s\n", ToUtf8(E.Message()).c_str());
        return 1;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s\n", E.what());
        return 1;
    }
    return 0;
}
