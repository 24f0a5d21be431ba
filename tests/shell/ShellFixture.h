#pragma once
// A private machine for each school-data test: a temporary folder holding
// drive C: (so "C:\QTEMP" and the program folder "C:\PROG" are the test's
// own), the application state, and a scripted answerer for every message
// box. Everything is put back and removed afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/db/DB.h"
#include "platform/sys/Dialogs.h"
#include "tests/support/TempMachine.h"
#include "tools/SampleSchool.h"

class TAppState;

// A row read back: field name to its text (AsString).
using TFilaLeida = std::map<std::string, std::string>;

// A field of a table written byte by byte (ShellFixture::EscribeDbf).
struct TCampoDbf {
    const char* Nombre;
    char Tipo;
    int Ancho;
    int Decimales = 0;
};

class ShellFixture : public ::testing::Test {
protected:
    std::filesystem::path Root, DriveC;
    TAppState* Estado = nullptr;
    TScriptedDialogs Dialogs;

    // Windows names of the test's folders.
    static constexpr const char* Programa = "C:\\PROG\\";
    static constexpr const char* Qtemp = "C:\\QTEMP";

    void SetUp() override;
    void TearDown() override;

    // The machine path of a Windows path.
    static std::filesystem::path Maquina(const AnsiString& Windows);
    // Every row of a table (by database name or folder) in stored order.
    static std::vector<TFilaLeida> Filas(const AnsiString& Base, const AnsiString& Tabla);
    // One field of every row, in stored order (or in the order of a tag).
    static std::vector<std::string> Columna(const AnsiString& Base, const AnsiString& Tabla,
                                            const char* Campo, const AnsiString& Etiqueta = {});
    static int Cuenta(const AnsiString& Base, const AnsiString& Tabla);
    // Appends rows (field name to value) to a table of the database.
    static void Anade(const AnsiString& Base, const AnsiString& Tabla,
                      const std::vector<TFilaIntercambio>& Filas);
    using TCampos = std::vector<std::tuple<const char*, TFieldType, int>>;
    // Creates a table with the given fields, rows and tags (one per field named).
    static void CreaTablaLibre(const AnsiString& Carpeta, const AnsiString& Nombre, const TCampos& Campos,
                               const std::vector<TFilaIntercambio>& Filas = {},
                               const std::vector<const char*>& Etiquetas = {});
    // A dBase III table written byte by byte, as another program may write
    // it: any field type, each value given as its stored bytes (numbers are
    // right-aligned, the rest left-aligned, blank-padded to the width). The
    // rows numbered in Borradas (from 0) are marked deleted.
    static void EscribeDbf(const AnsiString& Fichero, const std::vector<TCampoDbf>& Campos,
                           const std::vector<std::vector<std::string>>& Filas,
                           const std::set<size_t>& Borradas = {});
    // A folder of the older M2 layout: two courses, their subjects, three
    // students with groups and divisions.
    static void CreaCarpetaM2(const AnsiString& Carpeta);
    // A minimal exchange folder: one course, one subject, one teacher, one student.
    static TDatosIntercambio IntercambioMinimo();

private:
    std::optional<TTempMachine> FMaquina;
};
