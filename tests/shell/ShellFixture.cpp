#include "ShellFixture.h"

#include <fstream>

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

void ShellFixture::SetUp() {
    FMaquina.emplace("shell");
    Root = FMaquina->Root();
    DriveC = FMaquina->DriveC();
    std::filesystem::create_directories(DriveC / "PROG");
    Estado = NewComponent<TAppState>(nullptr);
    Estado->CarpetaPrograma = Programa;
}

void ShellFixture::TearDown() {
    if (Estado) Estado->Free();
    Estado = nullptr;
    FMaquina.reset();
}

std::filesystem::path ShellFixture::Maquina(const AnsiString& Windows) { return MapPath(Windows); }

std::vector<TFilaLeida> ShellFixture::Filas(const AnsiString& Base, const AnsiString& Tabla) {
    std::vector<TFilaLeida> filas;
    TTempTable t = OpenTempTable(Base, Tabla);
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

std::vector<std::string> ShellFixture::Columna(const AnsiString& Base, const AnsiString& Tabla,
                                               const char* Campo, const AnsiString& Etiqueta) {
    std::vector<std::string> v;
    TTempTable t = OpenTempTable(Base, Tabla, Etiqueta);
    for (t->First(); !t->Eof(); t->Next()) v.push_back(t->FieldByName(Campo)->AsString());
    return v;
}

int ShellFixture::Cuenta(const AnsiString& Base, const AnsiString& Tabla) {
    return OpenTempTable(Base, Tabla)->RecordCount();
}

void ShellFixture::Anade(const AnsiString& Base, const AnsiString& Tabla,
                         const std::vector<TFilaIntercambio>& Filas) {
    TTempTable t = OpenTempTable(Base, Tabla);
    for (const auto& fila : Filas) {
        t->Append();
        for (const auto& [campo, valor] : fila) t->FieldByName(campo)->SetValue(valor);
        t->Post();
    }
}

void ShellFixture::CreaTablaLibre(const AnsiString& Carpeta, const AnsiString& Nombre, const TCampos& Campos,
                                  const std::vector<TFilaIntercambio>& Filas,
                                  const std::vector<const char*>& Etiquetas) {
    TTempTable t = NewTempTable(Carpeta, Nombre);
    t->FieldDefs()->Clear();
    for (const auto& [nombre, tipo, ancho] : Campos) t->FieldDefs()->Add(nombre, tipo, ancho);
    t->IndexDefs()->Clear();
    for (const char* e : Etiquetas) t->IndexDefs()->Add(e, e, {});
    t->CreateTable();
    Anade(Carpeta, Nombre, Filas);
}

void ShellFixture::EscribeDbf(const AnsiString& Fichero, const std::vector<TCampoDbf>& Campos,
                              const std::vector<std::vector<std::string>>& Filas,
                              const std::set<size_t>& Borradas) {
    auto pon16 = [](std::string& b, size_t at, size_t v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char((v >> 8) & 0xFF);
    };
    size_t largo = 1;
    for (const auto& c : Campos) largo += size_t(c.Ancho);
    std::string b(32, '\0');
    b[0] = 0x03;
    b[1] = char(124);
    b[2] = 1;
    b[3] = 1;
    pon16(b, 4, Filas.size());
    pon16(b, 8, 32 * Campos.size() + 33);
    pon16(b, 10, largo);
    for (const auto& c : Campos) {
        std::string d(32, '\0');
        d.replace(0, std::string(c.Nombre).size(), c.Nombre);
        d[11] = c.Tipo;
        d[16] = char(c.Ancho);
        d[17] = char(c.Decimales);
        b += d;
    }
    b += '\r';
    for (size_t f = 0; f < Filas.size(); ++f) {
        b += Borradas.count(f) ? '*' : ' ';
        for (size_t i = 0; i < Campos.size(); ++i) {
            std::string v = i < Filas[f].size() ? Filas[f][i] : std::string();
            size_t ancho = size_t(Campos[i].Ancho);
            v.resize(std::min(v.size(), ancho));
            bool derecha = Campos[i].Tipo == 'N' || Campos[i].Tipo == 'F';
            b += derecha ? std::string(ancho - v.size(), ' ') + v : v + std::string(ancho - v.size(), ' ');
        }
    }
    b += '\x1A';
    std::filesystem::path ruta = Maquina(ExtractFilePath(Fichero)) / ToUtf8(ExtractFileName(Fichero));
    std::filesystem::create_directories(ruta.parent_path());
    std::ofstream(ruta, std::ios::binary | std::ios::trunc) << b;
}

void ShellFixture::CreaCarpetaM2(const AnsiString& Carpeta) {
    std::filesystem::create_directories(Maquina(Carpeta));
    CreaTablaLibre(
        Carpeta, "cursos",
        {{"N", ftSmallint, 0},
         {"ABREV", ftString, 3},
         {"TURNO", ftString, 1},
         {"NIVEL", ftString, 5},
         {"CURSO", ftString, 3},
         {"TNC", ftString, 9}},
        {{{"N", 1}, {"ABREV", "1B"}, {"TURNO", "D"}, {"NIVEL", "BACH"}, {"CURSO", "1"}, {"TNC", "DBACH1"}},
         {{"N", 2}, {"ABREV", "2B"}, {"TURNO", "D"}, {"NIVEL", "BACH"}, {"CURSO", "2"}, {"TNC", "DBACH2"}}},
        {"N", "TNC"});
    CreaTablaLibre(Carpeta, "asigcur",
                   {{"N", ftSmallint, 0},
                    {"TNC", ftString, 9},
                    {"ASIG", ftString, 4},
                    {"HORAS", ftFloat, 0},
                    {"CUENTA", ftBoolean, 0},
                    {"MOSTRAR", ftBoolean, 0},
                    {"CONTADOR", ftSmallint, 0}},
                   {{{"N", 1},
                     {"TNC", "DBACH1"},
                     {"ASIG", "FIL"},
                     {"HORAS", 3.5},
                     {"CUENTA", true},
                     {"MOSTRAR", false},
                     {"CONTADOR", 7}},
                    {{"N", 2},
                     {"TNC", "DBACH1"},
                     {"ASIG", "LAT"},
                     {"HORAS", 4.0},
                     {"CUENTA", false},
                     {"MOSTRAR", true},
                     {"CONTADOR", 2}}},
                   {"N"});
    TCampos alum = {{"N", ftSmallint, 0},    {"EXPED", ftString, 20}, {"NOMBRE", ftString, 50},
                    {"GRUPO", ftString, 2},  {"TNC", ftString, 9},    {"OPCION", ftString, 1},
                    {"REPITE", ftBoolean, 0}};
    static const std::vector<AnsiString> huecos = [] {
        std::vector<AnsiString> v = Numerados("ASIG", 20), d = Numerados("DIV", 20);
        v.insert(v.end(), d.begin(), d.end());
        return v;
    }();
    for (size_t i = 0; i < huecos.size(); ++i) alum.emplace_back(huecos[i].c_str(), ftString, i < 20 ? 4 : 1);
    // The old students' table lost its index file long ago.
    CreaTablaLibre(Carpeta, "alum", alum,
                   {{{"N", 1},
                     {"EXPED", "77"},
                     {"NOMBRE", "Ca\xF1"
                                "ete, Rosa"},
                     {"GRUPO", "A"},
                     {"TNC", "DBACH1"},
                     {"OPCION", "C"},
                     {"REPITE", true},
                     {"ASIG1", "FIL"},
                     {"DIV1", "1"},
                     {"ASIG2", "LAT"}},
                    {{"N", 2},
                     {"EXPED", "78"},
                     {"NOMBRE", "Sol\xED"
                                "s, Pedro"},
                     {"GRUPO", "B"},
                     {"TNC", "DBACH1"},
                     {"OPCION", "H"},
                     {"ASIG1", "FIL"},
                     {"DIV1", "2"}},
                    {{"N", 3}, {"EXPED", "79"}, {"NOMBRE", "Vera, Ana"}, {"TNC", "DBACH2"}}});
}

TDatosIntercambio ShellFixture::IntercambioMinimo() {
    return {
        {"AsigNomt", {{{"NOMBRE", "Matem\xE1ticas"}, {"COD", "MAT"}, {"CODLARGO", "MATEMAT"}}}},
        {"Cursost", {{{"ABREV", "4ES"}, {"TURNO", "D"}, {"NIVEL", "ESO"}, {"CURSO", "4"}}}},
        {"Asigcurt", {{{"NIVEL", "ESO"}, {"CURSO", "4"}, {"ASIG", "MAT"}, {"HORAS", 4.0}}}},
        {"proft",
         {{{"ABREV", "MGR"},
           {"NOMBRE", "Garc\xED"
                      "a Ruiz, Mar\xED"
                      "a"},
           {"DEPART", "Matem\xE1ticas"}}}},
        {"alumnost",
         {{{"EXPED", "1001"},
           {"NOMBRE", "Pe\xF1"
                      "a Ortiz, Luc\xED"
                      "a"},
           {"TURNO", "D"},
           {"NIVEL", "ESO"},
           {"CURSO", "4"},
           {"OPCION", "A"},
           {"REPITE", false},
           {"ASIG1", "MAT"}}}},
    };
}
