// The twelve tables as CreaTablas leaves them, whatever state the folder was in.
#include <functional>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "platform/sys/Files.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

namespace {

const char* const Datos = "C:\\PROG\\datos";

bool EsNumero(TFieldType T) { return FieldCategory(T) == TFieldCategory::Number; }

}  // namespace

class SchoolTables : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        std::filesystem::create_directories(Maquina(Datos));
        Estado->ApuntaBaseDatos(Datos);
    }
    // Every stored table with one row more, the working tables too.
    void LlenaTodas() {
        for (const auto& t : TablasEscolares())
            Anade(NombreBaseDatos, t.Nombre, {{{t.Campos[0].Nombre, t.Campos[0].Tipo == ftString ? TVariant("x") : TVariant(1)}}});
    }
};

TEST_F(SchoolTables, NewTablesHaveTheirFieldsKindsWidthsAndTags) {
    CreaTablas(NombreBaseDatos);
    const std::map<std::string, int> campos = {{"nomasg", 4},  {"cursos", 38}, {"grupos", 8},   {"prof", 4},
                                               {"aulas", 4},   {"asigcur", 43}, {"alum", 48},   {"tipos", 25},
                                               {"tipos2", 30}, {"tipgrup", 67}, {"tipgrup2", 71}, {"conex", 8}};
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
    CreaTablas(NombreBaseDatos);
    Anade(NombreBaseDatos, "tipos", {{{"NALUM", 3}}, {{"NALUM", 12}}, {{"NALUM", 7}}});
    Anade(NombreBaseDatos, "asigcur", {{{"CONTADOR", 1}}, {{"CONTADOR", 40}}, {{"CONTADOR", 9}}});
    EXPECT_EQ(Columna(NombreBaseDatos, "tipos", "NALUM", "NALUM"), (std::vector<std::string>{"12", "7", "3"}));
    EXPECT_EQ(Columna(NombreBaseDatos, "asigcur", "CONTADOR", "CONTADOR"), (std::vector<std::string>{"40", "9", "1"}));
}

struct TCasoCreaTablas {
    const char* Nombre;
    // Changes the folder (whose twelve tables hold one row each) before CreaTablas runs again.
    std::function<void(const std::filesystem::path& Carpeta)> Prepara;
    int FilasAlum;       // rows of alum afterwards
    bool Avisa;          // the user is told about a damaged table
};

TEST_F(SchoolTables, CreaTablasKeepsStoredRowsEmptiesWorkingTablesAndRecreatesOnlyLostData) {
    const TCasoCreaTablas casos[] = {
        {"all twelve there", [](const std::filesystem::path&) {}, 1, false},
        {"index of alum lost", [](const std::filesystem::path& c) { std::filesystem::remove(c / "alum.mdx"); }, 1, false},
        {"data of alum lost", [](const std::filesystem::path& c) { std::filesystem::remove(c / "alum.dbf"); }, 0, false},
        {"data of alum damaged",
         [](const std::filesystem::path& c) {
             std::filesystem::resize_file(c / "alum.dbf", 40);
         },
         0, true},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        CreaTablas(NombreBaseDatos);
        for (const auto& t : TablasEscolares()) {
            TTempTable x = OpenTempTable(NombreBaseDatos, t.Nombre);
            x->EmptyTable();
        }
        LlenaTodas();
        caso.Prepara(Maquina(Datos));
        size_t avisos = Dialogs.Asked().size();

        CreaTablas(NombreBaseDatos);

        EXPECT_EQ(Dialogs.Asked().size() - avisos, caso.Avisa ? 1u : 0u);
        for (const auto& t : TablasEscolares()) {
            TTempTable x = OpenTempTable(NombreBaseDatos, t.Nombre);
            EXPECT_EQ(x->FieldCount(), int(t.Campos.size())) << t.Nombre;
            int esperadas = t.DeTrabajo ? 0 : AnsiString(t.Nombre) == "alum" ? caso.FilasAlum : 1;
            EXPECT_EQ(x->RecordCount(), esperadas) << t.Nombre;
        }
        // The index of a table that kept its rows serves again.
        Anade(NombreBaseDatos, "alum", {{{"NOMBRE", "Zapata"}}, {{"NOMBRE", "Arroyo"}}});
        std::vector<std::string> nombres = Columna(NombreBaseDatos, "alum", "NOMBRE", "NOMBRE");
        EXPECT_TRUE(std::is_sorted(nombres.begin(), nombres.end()));
        EXPECT_EQ(nombres.size(), size_t(caso.FilasAlum + 2));
    }
    // The damaged bytes were kept beside the tables.
    EXPECT_EQ(std::filesystem::file_size(Maquina(Datos) / "alum.dbf.bak"), 40u);
    EXPECT_NE(Dialogs.Texts().back().find("alum.dbf.bak"), std::string::npos);
}

TEST_F(SchoolTables, CourseFilterNamesExactlyItsKeyEvenWithApostrophesOrStars) {
    CreaTablas(NombreBaseDatos);
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
