#include "ShellFixture.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

void ShellFixture::SetUp() {
    char plantilla[] = "/tmp/zelmor-shell-XXXXXX";
    ASSERT_NE(::mkdtemp(plantilla), nullptr);
    Root = plantilla;
    DriveC = Root / "c";
    std::filesystem::create_directories(DriveC / "PROG");
    const char* viejo = std::getenv("ZELMOR_DRIVE_C");
    FHabiaDrive = viejo != nullptr;
    FViejoDrive = viejo ? viejo : "";
    ::setenv("ZELMOR_DRIVE_C", DriveC.c_str(), 1);
    Estado = NewComponent<TAppState>(nullptr);
    Estado->CarpetaPrograma = Programa;
}

void ShellFixture::TearDown() {
    if (Estado) Estado->Free();
    Estado = nullptr;
    if (FHabiaDrive) ::setenv("ZELMOR_DRIVE_C", FViejoDrive.c_str(), 1);
    else ::unsetenv("ZELMOR_DRIVE_C");
    std::error_code ec;
    std::filesystem::permissions(Root, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(Root, ec);
}

std::filesystem::path ShellFixture::Maquina(const AnsiString& Windows) { return MapPath(Windows); }

std::vector<TFilaLeida> ShellFixture::Filas(const AnsiString& Base, const AnsiString& Tabla) {
    std::vector<TFilaLeida> filas;
    TTablaTemporal t = AbreTabla(Base, Tabla);
    for (t->First(); !t->Eof(); t->Next()) {
        TFilaLeida f;
        for (int i = 0; i < t->FieldCount(); ++i) {
            TField* c = t->Fields()->Fields(i);
            f[c->FieldName()] = c->AsString();
        }
        filas.push_back(f);
    }
    return filas;
}

std::vector<std::string> ShellFixture::Columna(const AnsiString& Base, const AnsiString& Tabla, const char* Campo,
                                               const AnsiString& Etiqueta) {
    std::vector<std::string> v;
    TTablaTemporal t = AbreTabla(Base, Tabla, Etiqueta);
    for (t->First(); !t->Eof(); t->Next()) v.push_back(t->FieldByName(Campo)->AsString());
    return v;
}

int ShellFixture::Cuenta(const AnsiString& Base, const AnsiString& Tabla) {
    return AbreTabla(Base, Tabla)->RecordCount();
}

void ShellFixture::Anade(const AnsiString& Base, const AnsiString& Tabla, const std::vector<TFilaIntercambio>& Filas) {
    TTablaTemporal t = AbreTabla(Base, Tabla);
    for (const auto& fila : Filas) {
        t->Append();
        for (const auto& [campo, valor] : fila) t->FieldByName(campo)->SetValue(valor);
        t->Post();
    }
}

void ShellFixture::CreaTablaLibre(const AnsiString& Carpeta, const AnsiString& Nombre,
                                  const std::vector<std::tuple<const char*, TFieldType, int>>& Campos,
                                  const std::vector<TFilaIntercambio>& Filas) {
    TTablaTemporal t = TablaCerrada(Carpeta, Nombre);
    t->FieldDefs()->Clear();
    for (const auto& [nombre, tipo, ancho] : Campos) t->FieldDefs()->Add(nombre, tipo, ancho);
    t->IndexDefs()->Clear();
    t->CreateTable();
    Anade(Carpeta, Nombre, Filas);
}

TDatosIntercambio ShellFixture::IntercambioMinimo() {
    return {
        {"AsigNomt", {{{"NOMBRE", "Matem\xE1ticas"}, {"COD", "MAT"}, {"CODLARGO", "MATEMAT"}}}},
        {"Cursost", {{{"ABREV", "4ES"}, {"TURNO", "D"}, {"NIVEL", "ESO"}, {"CURSO", "4"}}}},
        {"Asigcurt", {{{"NIVEL", "ESO"}, {"CURSO", "4"}, {"ASIG", "MAT"}, {"HORAS", 4.0}}}},
        {"proft", {{{"ABREV", "MGR"}, {"NOMBRE", "Garc\xED" "a Ruiz, Mar\xED" "a"}, {"DEPART", "Matem\xE1ticas"}}}},
        {"alumnost",
         {{{"EXPED", "1001"},
           {"NOMBRE", "Pe\xF1" "a Ortiz, Luc\xED" "a"},
           {"TURNO", "D"},
           {"NIVEL", "ESO"},
           {"CURSO", "4"},
           {"OPCION", "A"},
           {"REPITE", false},
           {"ASIG1", "MAT"}}}},
    };
}
