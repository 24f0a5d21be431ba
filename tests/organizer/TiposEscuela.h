#pragma once
// A small school on disk for the tests of the types engine and the placing:
// a data folder made by CreaTablas with three courses of 12 to 16 students,
// their subjects, and stored subtypes and types-in-group of the two courses
// that are not selected, so that every test can check that they are left
// alone. The selected course is "DESO4".
//
// CompruebaInvariantes is what the tests that change tables call after
// every operation: no row number twice in a table, the other courses' stored
// rows as they were, and, while the screen is open, no student lost or made
// up between the subtypes and the types-in-group.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "organizer/FilasTipos.h"
#include "platform/sys/Dialogs.h"
#include "tests/support/TempMachine.h"

class TAppState;

class TiposEscuela : public ::testing::Test {
protected:
    static constexpr const char* Base = "Zelmor";
    static constexpr const char* Curso = "DESO4";

    std::filesystem::path Root;
    TAppState* Estado = nullptr;
    TScriptedDialogs Dialogos;

    void SetUp() override;
    void TearDown() override;

    // Rows of a whole table in stored order.
    std::vector<TFilaSubtipo> Subtipos(const char* Tabla);
    std::vector<TFilaEnGrupo> TiposEnGrupo(const char* Tabla);
    std::vector<TFilaAlumno> Alumnos();
    int Cuenta(const char* Tabla);
    // Appends rows given as field name to text.
    void Anade(const char* Tabla, const std::vector<std::map<std::string, AnsiString>>& Filas);
    void AnadeAlumnos(std::vector<TFilaAlumno> Filas);
    void AnadeSubtipos(const char* Tabla, std::vector<TFilaSubtipo> Filas);
    void AnadeTiposEnGrupo(const char* Tabla, std::vector<TFilaEnGrupo> Filas);
    // The machine path of the data folder.
    std::filesystem::path Carpeta() const;

    // Students of the course in the working copies (tipos2 + tipgrup2).
    int AlumnosEnTrabajo();
    // Takes the stored rows of the other courses as the reference.
    void FijaReferencia();
    // After every operation. AlumnosEsperados < 0: not checked.
    void CompruebaInvariantes(int AlumnosEsperados = -1);

private:
    std::vector<TFilaSubtipo> FOtrosTipos;
    std::vector<TFilaEnGrupo> FOtrosTipGrup;
    std::optional<TTempMachine> FMaquina;
};

// The stored rows as the merge must keep them: without bookmark, N and the
// working-only fields.
TFilaSubtipo SinNumero(TFilaSubtipo F);
TFilaEnGrupo SinNumero(TFilaEnGrupo F);
