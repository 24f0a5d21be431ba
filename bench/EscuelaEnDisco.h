#pragma once
// A school of the sample generator on a drive C: of the benchmark's own
// (ZELMOR_DRIVE_C points at a new folder of bench/BenchFolder.h), its data
// folder C:\PROG\datos prepared as the staff leave it before the types
// screen. The folder is removed when the object goes.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchFolder.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "tools/SampleSchool.h"

class TEscuelaEnDisco {
public:
    static constexpr const char* Carpeta = "C:\\PROG\\datos";

    explicit TEscuelaEnDisco(int Alumnos, const std::string& Etiqueta) {
        FRaiz = MakeBenchFolder(Etiqueta);
        ::setenv("ZELMOR_DRIVE_C", FRaiz.c_str(), 1);
        const TEscuelaEjemplo escuela = GeneraEscuela(SemillaEjemplo, Alumnos);
        EscribeIntercambio(escuela.Intercambio, "C:\\QTEMP");
        PreparaCarpetaDatos(escuela, "C:\\QTEMP", AnsiString(Carpeta) + "\\");
        auto t = OpenTempTable(Carpeta, "cursos");
        for (t->First(); !t->Eof(); t->Next()) FCursos.push_back(t->FieldByName("TNC")->AsString());
    }
    ~TEscuelaEnDisco() {
        std::error_code ec;
        std::filesystem::remove_all(FRaiz, ec);
    }
    TEscuelaEnDisco(const TEscuelaEnDisco&) = delete;
    TEscuelaEnDisco& operator=(const TEscuelaEnDisco&) = delete;

    const std::vector<AnsiString>& Cursos() const { return FCursos; }
    // The data folder on this machine.
    std::filesystem::path Datos() const { return std::filesystem::path(FRaiz) / "PROG" / "datos"; }

    // A copy of the data folder as it stands, and the folder put back to it
    // (no table of it may be open meanwhile). The files are written over in
    // place (files the copy lacks are removed) and keep their modification
    // times, which the index files' stamps hold: a benchmark measures the
    // folder as the program left it, not one whose files were all made anew
    // a moment before and whose indexes no longer fit.
    void Guarda() {
        const auto copia = std::filesystem::path(FRaiz) / "copia";
        std::filesystem::remove_all(copia);
        std::filesystem::create_directories(copia);
        CopiaFicheros(Datos(), copia);
    }
    void Restaura() {
        const auto copia = std::filesystem::path(FRaiz) / "copia";
        for (const auto& e : std::filesystem::directory_iterator(Datos()))
            if (!std::filesystem::exists(copia / e.path().filename())) std::filesystem::remove(e.path());
        CopiaFicheros(copia, Datos());
    }

private:
    static void CopiaFicheros(const std::filesystem::path& De, const std::filesystem::path& A) {
        for (const auto& e : std::filesystem::directory_iterator(De)) {
            const auto destino = A / e.path().filename();
            std::filesystem::copy_file(e.path(), destino, std::filesystem::copy_options::overwrite_existing);
            std::filesystem::last_write_time(destino, std::filesystem::last_write_time(e.path()));
        }
    }

    std::string FRaiz;
    std::vector<AnsiString> FCursos;
};
