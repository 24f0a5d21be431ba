// The twelve tables as CreaTablas leaves them, whatever state the folder was in.
#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

#include "ShellFixture.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/sys/Files.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

namespace {

const char* const Datos = "C:\\PROG\\datos";

bool EsNumero(TFieldType T) { return FieldCategory(T) == TFieldCategory::Number; }

std::string Bytes(const std::filesystem::path& Fichero) {
    std::ifstream in(Fichero, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Escribe(const std::filesystem::path& Fichero, const std::string& Bytes) {
    std::ofstream(Fichero, std::ios::binary | std::ios::trunc) << Bytes;
}

}  // namespace

class SchoolTables : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        std::filesystem::create_directories(Maquina(Datos));
        Estado->ApuntaBaseDatos(Datos);
    }
    // A stored table made in another layout, holding one row.
    static void CreaConOtroDiseno(const char* Tabla,
                                  const std::function<void(std::vector<TCampoEscolar>&)>& Cambia) {
        TTablaEscolar d = TablaEscolar(Tabla);
        Cambia(d.Campos);
        NewTempTable(NombreBaseDatos, Tabla)->DeleteTable();
        CreaTabla(NombreBaseDatos, d);
        Anade(NombreBaseDatos, Tabla, {{{d.Campos[0].Nombre, 1}}});
    }
    static void CambiaCampo(std::vector<TCampoEscolar>& Campos, const char* Nombre, TFieldType Tipo,
                            int Ancho) {
        for (auto& c : Campos)
            if (c.Nombre == Nombre) c = {Nombre, Tipo, Ancho};
    }
    // Every stored table with one row more, the working tables too.
    void LlenaTodas() {
        for (const auto& t : TablasEscolares())
            Anade(NombreBaseDatos, t.Nombre,
                  {{{t.Campos[0].Nombre, t.Campos[0].Tipo == ftString ? TVariant("x") : TVariant(1)}}});
    }
};

TEST_F(SchoolTables, NewTablesHaveTheirFieldsKindsWidthsAndTags) {
    CreaTablas(NombreBaseDatos);
    const std::map<std::string, int> campos = {
        {"nomasg", 4}, {"cursos", 38}, {"grupos", 8},  {"prof", 4},     {"aulas", 4},     {"asigcur", 43},
        {"alum", 48},  {"tipos", 25},  {"tipos2", 30}, {"tipgrup", 67}, {"tipgrup2", 71}, {"conex", 8}};
    int descendentes = 0;
    for (const auto& d : TablasEscolares()) {
        TTempTable t = OpenTempTable(NombreBaseDatos, d.Nombre);
        ASSERT_EQ(t->FieldCount(), campos.at(d.Nombre)) << d.Nombre;
        for (int i = 0; i < t->FieldCount(); ++i) {
            TField* f = t->Fields()->Fields(i);
            const TCampoEscolar& c = d.Campos[size_t(i)];
            EXPECT_EQ(f->FieldName(), c.Nombre) << d.Nombre;
            if (c.Tipo == ftString) {
                EXPECT_EQ(f->DataType(), ftString) << c.Nombre;
                EXPECT_EQ(f->Size(), c.Ancho) << c.Nombre;
            } else if (c.Tipo == ftSmallint || c.Tipo == ftFloat) {
                EXPECT_TRUE(EsNumero(f->DataType())) << c.Nombre;
            } else {
                EXPECT_EQ(f->DataType(), c.Tipo) << c.Nombre;
            }
        }
        t->UpdateIndexDefs();
        ASSERT_EQ(size_t(t->IndexDefs()->Count()), d.Etiquetas.size()) << d.Nombre;
        for (size_t k = 0; k < d.Etiquetas.size(); ++k) {
            TIndexDef* x = t->IndexDefs()->Items(int(k));
            EXPECT_EQ(x->Name(), d.Etiquetas[k]);
            EXPECT_EQ(x->Fields(), d.Etiquetas[k]);
            descendentes += x->Options().Contains(ixDescending);
        }
    }
    EXPECT_EQ(descendentes, 5);
    // Slots interleave; the working texts take the widest character field.
    TTempTable alum = OpenTempTable(NombreBaseDatos, "alum");
    EXPECT_EQ(alum->Fields()->Fields(8)->FieldName(), "ASIG1");
    EXPECT_EQ(alum->Fields()->Fields(9)->FieldName(), "DIV1");
    EXPECT_EQ(alum->Fields()->Fields(10)->FieldName(), "ASIG2");
    TTempTable tipgrup = OpenTempTable(NombreBaseDatos, "tipgrup");
    EXPECT_EQ(tipgrup->Fields()->Fields(7)->FieldName(), "ASIG1");
    EXPECT_EQ(tipgrup->Fields()->Fields(8)->FieldName(), "DIV1");
    EXPECT_EQ(tipgrup->Fields()->Fields(9)->FieldName(), "CON1");
    EXPECT_EQ(OpenTempTable(NombreBaseDatos, "tipos2")->FieldByName("ASIGSCUCOL")->Size(), 254);
    EXPECT_TRUE(FileExists(AnsiString(Datos) + "\\tipgrup2.dbt"));
}

TEST_F(SchoolTables, DescendingTagsListTheLargestFirst) {
    CreaTablasNuevas(NombreBaseDatos);
    Anade(NombreBaseDatos, "tipos", {{{"NALUM", 3}}, {{"NALUM", 12}}, {{"NALUM", 7}}});
    Anade(NombreBaseDatos, "asigcur", {{{"CONTADOR", 1}}, {{"CONTADOR", 40}}, {{"CONTADOR", 9}}});
    EXPECT_EQ(Columna(NombreBaseDatos, "tipos", "NALUM", "NALUM"),
              (std::vector<std::string>{"12", "7", "3"}));
    EXPECT_EQ(Columna(NombreBaseDatos, "asigcur", "CONTADOR", "CONTADOR"),
              (std::vector<std::string>{"40", "9", "1"}));
}

struct TCasoCreaTablas {
    const char* Nombre;
    // Changes the folder (whose twelve tables hold one row each) before CreaTablas runs again.
    std::function<void(const std::filesystem::path& Carpeta)> Prepara;
    std::vector<const char*> Pierden;  // stored tables made anew, empty
    const char* Aviso;                 // a piece of what the user is told, "" for nothing
    bool Aparta;                       // the lost table's former data file is kept as .dbf.bak
};

TEST_F(SchoolTables, CreaTablasKeepsStoredRowsEmptiesWorkingTablesAndRecreatesOnlyLostData) {
    namespace fs = std::filesystem;
    const TCasoCreaTablas casos[] = {
        {"all twelve there", [](const fs::path&) {}, {}, "", false},
        {"index of alum lost", [](const fs::path& c) { fs::remove(c / "alum.mdx"); }, {}, "", false},
        {"data of alum lost",
         [](const fs::path& c) { fs::remove(c / "alum.dbf"); },
         {"alum"},
         "No estaba la tabla alum: se ha creado vac\xED"
         "a.",
         false},
        {"data of two tables lost",
         [](const fs::path& c) {
             fs::remove(c / "prof.dbf");
             fs::remove(c / "aulas.dbf");
         },
         {"prof", "aulas"},
         "No estaban las tablas prof y aulas: se han creado vac\xED"
         "as.",
         false},
        {"data of alum damaged",
         [](const fs::path& c) { fs::resize_file(c / "alum.dbf", 40); },
         {"alum"},
         "La tabla alum estaba da\xF1"
         "ada. Se ha creado vac\xED"
         "a y el fichero anterior se ha guardado como "
         "alum.dbf.bak.",
         true},
        {"the subject names' file copied over alum",
         [](const fs::path& c) {
             fs::copy_file(c / "nomasg.dbf", c / "alum.dbf", fs::copy_options::overwrite_existing);
         },
         {"alum"},
         "La tabla alum no tiene los campos que le corresponden (le falta el campo EXPED)",
         true},
        // Every field of tipos is in tipos2: only the fields left over tell them apart.
        {"the working subtypes' file copied over tipos",
         [](const fs::path& c) {
             fs::copy_file(c / "tipos2.dbf", c / "tipos.dbf", fs::copy_options::overwrite_existing);
         },
         {"tipos"},
         "La tabla tipos no tiene los campos que le corresponden (le sobra el campo ASIGS)",
         true},
        {"names too narrow",
         [](const fs::path&) {
             CreaConOtroDiseno("alum", [](auto& c) { CambiaCampo(c, "NOMBRE", ftString, 40); });
         },
         {"alum"},
         "(el campo NOMBRE es C 40 y debe ser C 50)",
         true},
        {"hours without decimals",
         [](const fs::path&) {
             CreaConOtroDiseno("asigcur", [](auto& c) { CambiaCampo(c, "HORAS", ftSmallint, 0); });
         },
         {"asigcur"},
         "(el campo HORAS es N 6 y debe ser N 20,4)",
         true},
        {"the same fields in another order",
         [](const fs::path&) {
             CreaConOtroDiseno("alum", [](auto& c) { std::reverse(c.begin(), c.end()); });
         },
         {},
         "",
         false},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        for (const auto& e : fs::directory_iterator(Maquina(Datos))) fs::remove(e.path());
        CreaTablasNuevas(NombreBaseDatos);
        LlenaTodas();
        caso.Prepara(Maquina(Datos));
        std::map<std::string, uintmax_t> antes;
        for (const char* t : caso.Pierden)
            if (fs::exists(Maquina(Datos) / (std::string(t) + ".dbf")))
                antes[t] = fs::file_size(Maquina(Datos) / (std::string(t) + ".dbf"));
        size_t avisos = Dialogs.Asked().size();

        CreaTablas(NombreBaseDatos);

        std::vector<AnsiString> textos = Dialogs.Texts();
        ASSERT_EQ(textos.size() - avisos, *caso.Aviso ? 1u : 0u);
        if (*caso.Aviso) {
            EXPECT_NE(textos.back().find(caso.Aviso), std::string::npos) << textos.back();
            EXPECT_EQ(Dialogs.Asked().back().Caption, TituloAtencion);
        }
        for (const auto& t : TablasEscolares()) {
            TTempTable x = OpenTempTable(NombreBaseDatos, t.Nombre);
            EXPECT_EQ(x->FieldCount(), int(t.Campos.size())) << t.Nombre;
            bool pierde = std::find_if(caso.Pierden.begin(), caso.Pierden.end(), [&](const char* p) {
                              return AnsiString(p) == t.Nombre;
                          }) != caso.Pierden.end();
            EXPECT_EQ(x->RecordCount(), t.DeTrabajo || pierde ? 0 : 1) << t.Nombre;
        }
        for (const char* t : caso.Pierden) {
            fs::path bak = Maquina(Datos) / (std::string(t) + ".dbf.bak");
            EXPECT_EQ(fs::exists(bak), caso.Aparta) << t;
            if (caso.Aparta) {
                EXPECT_EQ(fs::file_size(bak), antes.at(t)) << t;
            }
        }
        // The index of a table that kept its rows serves again.
        bool alumPierde = std::find_if(caso.Pierden.begin(), caso.Pierden.end(), [](const char* p) {
                              return AnsiString(p) == "alum";
                          }) != caso.Pierden.end();
        Anade(NombreBaseDatos, "alum", {{{"NOMBRE", "Zapata"}}, {{"NOMBRE", "Arroyo"}}});
        std::vector<std::string> nombres = Columna(NombreBaseDatos, "alum", "NOMBRE", "NOMBRE");
        EXPECT_TRUE(std::is_sorted(nombres.begin(), nombres.end()));
        EXPECT_EQ(nombres.size(), alumPierde ? 2u : 3u);
    }
}

// A students' table damaged only at the end of its file keeps every whole
// row when the folder opens: the file is mended, its former bytes kept as
// alum.dbf.bak, and the user told how many rows it kept. Only a header that
// cannot be read makes the table anew, empty.
TEST_F(SchoolTables, ATableDamagedAtItsEndKeepsEveryWholeRow) {
    namespace fs = std::filesystem;
    const fs::path dbf = Maquina(Datos) / "alum.dbf";
    struct TCaso {
        const char* Nombre;
        std::function<void(std::string& Bytes, size_t Cabecera, size_t Registro)> Dana;
        int Filas;          // kept, of 540
        const char* Aviso;  // a piece of what the user is told
    };
    auto cuenta = [](std::string& B, uint32_t N) {
        for (int i = 0; i < 4; ++i) B[4 + size_t(i)] = char(N >> (8 * i));
    };
    const TCaso casos[] = {
        {"700 bytes cut off", [](std::string& B, size_t, size_t) { B.resize(B.size() - 700); }, 536,
         "La tabla alum ten\xED"
         "a da\xF1"
         "ado el final de su fichero: se han conservado sus 536 filas enteras y el fichero anterior se ha "
         "guardado como alum.dbf.bak."},
        {"a count 10 above", [&](std::string& B, size_t, size_t) { cuenta(B, 550); }, 540,
         "se han conservado sus 540 filas enteras"},
        {"a count 5 below", [&](std::string& B, size_t, size_t) { cuenta(B, 535); }, 540,
         "se han conservado sus 540 filas enteras"},
        {"a part of a record after the last, with no end mark",
         [](std::string& B, size_t, size_t R) {
             B.pop_back();
             B += " " + std::string(R / 3, 'x');
         },
         540, "se han conservado sus 540 filas enteras"},
        {"cut inside the first row", [](std::string& B, size_t C, size_t) { B.resize(C + 20); }, 0,
         "no quedaba ninguna fila entera"},
        {"cut inside the header", [](std::string& B, size_t C, size_t) { B.resize(C - 40); }, 0,
         "La tabla alum estaba da\xF1"
         "ada. Se ha creado vac\xED"
         "a"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        for (const auto& e : fs::directory_iterator(Maquina(Datos))) fs::remove(e.path());
        CreaTablasNuevas(NombreBaseDatos);
        {
            auto t = TDbfTable::Open(dbf.string());
            std::vector<char> fila(size_t(t->RecordLength()));
            for (int n = 1; n <= 540; ++n) {
                t->BlankRecord(fila.data());
                t->SetNumber(fila.data(), t->FieldIndex("N"), n);
                t->SetText(fila.data(), t->FieldIndex("NOMBRE"), "Alumno " + std::to_string(n));
                t->Append(fila.data());
            }
        }
        std::string bytes = Bytes(dbf);
        const size_t cabecera = size_t(uint8_t(bytes[8]) | (uint8_t(bytes[9]) << 8));
        const size_t registro = size_t(uint8_t(bytes[10]) | (uint8_t(bytes[11]) << 8));
        caso.Dana(bytes, cabecera, registro);
        Escribe(dbf, bytes);
        const size_t avisos = Dialogs.Asked().size();

        CreaTablas(NombreBaseDatos);

        ASSERT_EQ(Dialogs.Asked().size(), avisos + 1);
        EXPECT_NE(Dialogs.Texts().back().find(caso.Aviso), std::string::npos) << Dialogs.Texts().back();
        EXPECT_EQ(Bytes(dbf.string() + ".bak"), bytes);
        std::vector<std::string> esperadas;
        for (int n = 1; n <= caso.Filas; ++n) esperadas.push_back("Alumno " + std::to_string(n));
        EXPECT_EQ(Columna(NombreBaseDatos, "alum", "NOMBRE"), esperadas);
        // The mended table takes rows and keeps its tags whole.
        Anade(NombreBaseDatos, "alum", {{{"N", 999}, {"NOMBRE", "Zapata"}}});
        EXPECT_EQ(Cuenta(NombreBaseDatos, "alum"), caso.Filas + 1);
        EXPECT_EQ(TDbfTable::Open(dbf.string())->CheckTags(), std::vector<AnsiString>{});
    }
}

TEST_F(SchoolTables, CourseFilterNamesExactlyItsKeyEvenWithApostrophesOrStars) {
    CreaTablasNuevas(NombreBaseDatos);
    Anade(NombreBaseDatos, "alum",
          {{{"TNC", "DESO1"}}, {{"TNC", "O'N1"}}, {{"TNC", "DES*"}}, {{"TNC", "DESO2"}}, {{"TNC", "O'N1"}}});
    EXPECT_EQ(ClaveCurso("D", "ESO", "1"), "DESO1");
    for (const char* clave : {"O'N1", "DES*", "DESO1", "NADA"}) {
        TTempTable t = NewTempTable(NombreBaseDatos, "alum");
        FiltraPorCurso(*t, clave);
        t->Open();
        int filas = 0;
        for (t->First(); !t->Eof(); t->Next()) {
            EXPECT_EQ(t->FieldByName("TNC")->AsString(), clave);
            ++filas;
        }
        EXPECT_EQ(filas, AnsiString(clave) == "O'N1" ? 2 : AnsiString(clave) == "NADA" ? 0 : 1) << clave;
    }
}
