// Listing the data folders and opening one: the layout of `cursos` decides.
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>

#include "FaultyFiles.h"
#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/SchoolTables.h"

using DataFolders = ShellFixture;

TEST_F(DataFolders, OnlyPlainSubFoldersAreListed) {
    EXPECT_TRUE(ListaCarpetasDatos(Programa).empty());
    for (const char* c : {"2025-26", "Ejemplo", ".oculta"})
        std::filesystem::create_directories(Maquina(Programa) / c);
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
    // Two courses, the file cut inside the second.
    auto cortado = [](const AnsiString& c) {
        CreaTablasNuevas(c);
        Anade(c, "cursos", {{{"TNC", "DESO1"}}, {{"TNC", "DESO2"}}});
        const auto f = Maquina(c) / "cursos.dbf";
        std::filesystem::resize_file(f, std::filesystem::file_size(f) - 40);
    };
    const TCasoApertura casos[] = {
        {"current", actual, 0, TApertura::Actual,
         "No estaba la tabla prof: se ha creado vac\xED"
         "a."},
        {"older, converted", CreaCarpetaM2, IDOK, TApertura::Convertida, ""},
        {"older, declined", CreaCarpetaM2, IDCANCEL, TApertura::Declinada, ""},
        {"unknown layout", desconocido, 0, TApertura::Rechazada, "Formato de datos desconocido"},
        {"no cursos", [](const AnsiString&) {}, 0, TApertura::Rechazada, "Formato de datos desconocido"},
        {"damaged cursos", danado, 0, TApertura::Rechazada, "Formato de datos desconocido. La tabla cursos"},
        {"cursos cut short", cortado, 0, TApertura::Actual,
         "La tabla cursos ten\xED"
         "a da\xF1"
         "ado el final de su fichero: se ha conservado su \xFA"
         "nica fila entera y el fichero anterior se ha "
         "guardado como cursos.dbf.bak."},
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

        EXPECT_EQ(SeleccionaCarpeta(*Estado, nombre, PreguntaConversion), caso.Resultado);

        std::vector<AnsiString> vistos = Dialogs.Texts();
        vistos.erase(vistos.begin(), vistos.begin() + long(antes));
        std::vector<AnsiString> esperados;
        if (caso.Respuesta) esperados.push_back("Datos versi\xF3n M2 \xBFTransformar?");
        if (*caso.Mensaje) esperados.push_back(caso.Mensaje);
        ASSERT_EQ(vistos.size(), esperados.size());
        for (size_t i = 0; i < vistos.size(); ++i)
            EXPECT_EQ(vistos[i].rfind(esperados[i], 0), 0u) << vistos[i];
        for (size_t i = antes; i < Dialogs.Asked().size(); ++i)
            EXPECT_EQ(Dialogs.Asked()[i].Caption, TituloAtencion);

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
    EXPECT_EQ(SeleccionaCarpeta(*Estado, "", PreguntaConversion), TApertura::SinCambio);
    EXPECT_EQ(Estado->CarpetaDatos, Anterior);
    EXPECT_TRUE(Dialogs.Asked().empty());
}

namespace {

// Every file below a folder with its size: what an opening may not change.
std::map<std::string, uintmax_t> Huella(const std::filesystem::path& Carpeta) {
    std::map<std::string, uintmax_t> h;
    for (const auto& e : std::filesystem::recursive_directory_iterator(Carpeta))
        h[std::filesystem::relative(e.path(), Carpeta).string()] = e.is_regular_file() ? e.file_size() : 0;
    return h;
}

struct TCasoRechazo {
    const char* Nombre;
    std::function<void(const std::filesystem::path& Carpeta, TFaultyFiles& Fs)> Prepara;
    const char* Mensaje;  // a piece of what the user is told
};

}  // namespace

TEST_F(DataFolders, ARefusedFolderIsLeftClosedWithNothingWritten) {
    namespace fs = std::filesystem;
    const TCasoRechazo casos[] = {
        // Whoever runs the test, the file layer answers as for a folder the user may not write to.
        {"a folder the user may not write to",
         [](const fs::path& c, TFaultyFiles& f) { f.ReadOnly.insert(c.string()); }, "es de solo lectura"},
        {"a table's name taken by a folder",
         [](const fs::path& c, TFaultyFiles&) {
             fs::remove(c / "alum.dbf");
             fs::create_directory(c / "alum.dbf");
         },
         "otra cosa que no es un fichero con el nombre alum.dbf"},
        // prof is made anew before alum fails: it goes again.
        {"a failure after a table was made",
         [](const fs::path& c, TFaultyFiles&) {
             fs::remove(c / "prof.dbf");
             fs::remove(c / "prof.mdx");
             fs::resize_file(c / "alum.dbf", 40);
             fs::create_directory(c / "alum.dbf.bak");
         },
         "No se puede apartar el fichero"},
    };
    int n = 0;
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        const AnsiString nombre = "rechazada" + std::to_string(++n);
        const AnsiString carpeta = AnsiString(Programa) + nombre;
        fs::create_directories(Maquina(carpeta));
        CreaTablasNuevas(carpeta);
        Anade(carpeta, "alum", {{{"EXPED", "1"}}});
        Anade(carpeta, "tipos2", {{{"NALUM", 4}}});
        TFaultyFiles ficheros;
        caso.Prepara(Maquina(carpeta), ficheros);
        const auto antes = Huella(Maquina(carpeta));
        Estado->CarpetaDatos = Anterior;
        Estado->RutaDatos = Anterior;
        size_t avisos = Dialogs.Asked().size();

        EXPECT_EQ(SeleccionaCarpeta(*Estado, nombre, PreguntaConversion, &ficheros), TApertura::Rechazada);

        ASSERT_EQ(Dialogs.Asked().size(), avisos + 1);
        EXPECT_NE(Dialogs.Texts().back().find(caso.Mensaje), std::string::npos) << Dialogs.Texts().back();
        EXPECT_NE(Dialogs.Texts().back().find(carpeta), std::string::npos) << Dialogs.Texts().back();
        EXPECT_EQ(Dialogs.Asked().back().Caption, TituloAtencion);
        EXPECT_EQ(Estado->CarpetaDatos, "");
        EXPECT_EQ(Estado->RutaDatos, Anterior);
        EXPECT_EQ(Huella(Maquina(carpeta)), antes);
    }
}

TEST_F(DataFolders, FoldersTheUserMayNotWriteToAreNotListed) {
    for (const char* c : {"2024-25", "2025-26"}) std::filesystem::create_directories(Maquina(Programa) / c);
    TFaultyFiles ficheros;
    ficheros.ReadOnly.insert((Maquina(Programa) / "2024-25").string());
    EXPECT_EQ(ListaCarpetasDatos(Programa, &ficheros), std::vector<AnsiString>{"2025-26"});
}

TEST_F(DataFolders, AFolderWithoutWritePermissionIsNeitherListedNorOpened) {
    // Permission bits do not stop the superuser: there the file layer's
    // answer is what counts, and the tests above give it.
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, who may write to any folder";
    namespace fs = std::filesystem;
    const AnsiString carpeta = AnsiString(Programa) + "cerrada";
    fs::create_directories(Maquina(carpeta));
    CreaTablasNuevas(carpeta);
    fs::permissions(Maquina(carpeta),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto antes = Huella(Maquina(carpeta));
    EXPECT_EQ(ListaCarpetasDatos(Programa), std::vector<AnsiString>{});
    EXPECT_EQ(SeleccionaCarpeta(*Estado, "cerrada", PreguntaConversion), TApertura::Rechazada);
    EXPECT_NE(Dialogs.Texts().back().find("es de solo lectura"), std::string::npos);
    EXPECT_EQ(Estado->CarpetaDatos, "");
    EXPECT_EQ(Huella(Maquina(carpeta)), antes);
    fs::permissions(Maquina(carpeta), fs::perms::owner_write, fs::perm_options::add);
}
