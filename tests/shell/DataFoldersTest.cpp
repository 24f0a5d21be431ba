// Listing the data folders and opening one: the layout of `cursos` decides.
#include <fstream>
#include <functional>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/SchoolTables.h"

using DataFolders = ShellFixture;

TEST_F(DataFolders, OnlyPlainSubFoldersAreListed) {
    EXPECT_TRUE(ListaCarpetasDatos(Programa).empty());
    for (const char* c : {"2025-26", "Ejemplo", ".oculta"}) std::filesystem::create_directories(Maquina(Programa) / c);
    std::ofstream(Maquina(Programa) / "notas.txt") << "x";
    EXPECT_EQ(ListaCarpetasDatos(Programa), (std::vector<AnsiString>{"2025-26", "Ejemplo"}));
}

namespace {

const char* const Anterior = "C:\\PROG\\anterior\\";

struct TCasoApertura {
    const char* Nombre;
    std::function<void(const AnsiString& Carpeta)> Prepara;
    int Respuesta;  // to "Datos versión M2 ¿Transformar?", 0 when not asked
    TApertura Resultado;
    const char* Mensaje;  // the message after it, "" for none
};

}  // namespace

TEST_F(DataFolders, OpeningAFolderFollowsTheLayoutOfCursos) {
    auto actual = [](const AnsiString& c) {
        CreaTablasNuevas(c);
        Anade(c, "tipos2", {{{"NALUM", 4}}});
        Anade(c, "cursos", {{{"TNC", "DESO4"}}});
        NewTempTable(c, "prof")->DeleteTable();
    };
    auto desconocido = [](const AnsiString& c) {
        CreaTablaLibre(c, "cursos", {{"N", ftSmallint, 0}, {"ABREV", ftString, 3}, {"TNC", ftString, 9}});
    };
    auto danado = [](const AnsiString& c) {
        CreaTablasNuevas(c);
        std::filesystem::resize_file(Maquina(c) / "cursos.dbf", 50);
    };
    const TCasoApertura casos[] = {
        {"current", actual, 0, TApertura::Actual, "No estaba la tabla prof: se ha creado vac\xED" "a."},
        {"older, converted", CreaCarpetaM2, IDOK, TApertura::Convertida, ""},
        {"older, declined", CreaCarpetaM2, IDCANCEL, TApertura::Declinada, ""},
        {"unknown layout", desconocido, 0, TApertura::Rechazada, "Formato de datos desconocido"},
        {"no cursos", [](const AnsiString&) {}, 0, TApertura::Rechazada, "Formato de datos desconocido"},
        {"damaged cursos", danado, 0, TApertura::Rechazada, "Formato de datos desconocido. La tabla cursos"},
    };
    int n = 0;
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        const AnsiString nombre = "carpeta" + std::to_string(++n);
        const AnsiString carpeta = AnsiString(Programa) + nombre;
        std::filesystem::create_directories(Maquina(carpeta));
        caso.Prepara(carpeta);
        Estado->CarpetaDatos = Anterior;
        Estado->RutaDatos = Anterior;
        if (caso.Respuesta) Dialogs.Then(caso.Respuesta);
        size_t antes = Dialogs.Asked().size();

        EXPECT_EQ(SeleccionaCarpeta(*Estado, nombre), caso.Resultado);

        std::vector<AnsiString> vistos = Dialogs.Texts();
        vistos.erase(vistos.begin(), vistos.begin() + long(antes));
        std::vector<AnsiString> esperados;
        if (caso.Respuesta) esperados.push_back("Datos versi\xF3n M2 \xBFTransformar?");
        if (*caso.Mensaje) esperados.push_back(caso.Mensaje);
        ASSERT_EQ(vistos.size(), esperados.size());
        for (size_t i = 0; i < vistos.size(); ++i) EXPECT_EQ(vistos[i].rfind(esperados[i], 0), 0u) << vistos[i];
        for (size_t i = antes; i < Dialogs.Asked().size(); ++i) EXPECT_EQ(Dialogs.Asked()[i].Caption, TituloAtencion);

        bool aceptada = caso.Resultado == TApertura::Actual || caso.Resultado == TApertura::Convertida;
        EXPECT_EQ(Estado->CarpetaDatos, aceptada ? carpeta + "\\" : AnsiString());
        EXPECT_EQ(Estado->RutaDatos, aceptada ? carpeta + "\\" : AnsiString(Anterior));
        // Whatever the outcome, the database now names the chosen folder.
        EXPECT_EQ(CarpetaDeBase(NombreBaseDatos), carpeta + "\\");
        if (caso.Resultado == TApertura::Actual) {
            EXPECT_EQ(Cuenta(NombreBaseDatos, "tipos2"), 0);
            EXPECT_EQ(Cuenta(NombreBaseDatos, "cursos"), 1);
            EXPECT_EQ(Cuenta(NombreBaseDatos, "prof"), 0);
        }
        if (caso.Resultado == TApertura::Convertida || caso.Resultado == TApertura::Declinada) {
            EXPECT_EQ(OpenTempTable(NombreBaseDatos, "cursos")->FieldCount(),
                      caso.Resultado == TApertura::Convertida ? 38 : 6);
        }
    }
}

TEST_F(DataFolders, NoFolderChosenChangesNothing) {
    Estado->CarpetaDatos = Anterior;
    EXPECT_EQ(SeleccionaCarpeta(*Estado, ""), TApertura::SinCambio);
    EXPECT_EQ(Estado->CarpetaDatos, Anterior);
    EXPECT_TRUE(Dialogs.Asked().empty());
}
