// The sample school in samples/: what the generator makes, the shape the
// whole road needs, and files other dBase readers read as we do.
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "ShellFixture.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/SchoolTables.h"
#include "tests/support/OutsideTools.h"

namespace {

const std::filesystem::path Muestras = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples";

std::vector<std::string> Tablas(const std::filesystem::path& Carpeta) {
    std::vector<std::string> v;
    for (const auto& e : std::filesystem::directory_iterator(Carpeta)) v.push_back(e.path().filename());
    std::sort(v.begin(), v.end());
    return v;
}

// A table as text: its fields with kind and size, its tags, its rows.
std::string Volcado(const AnsiString& Carpeta, const std::string& Fichero) {
    std::string out;
    TTempTable t = OpenTempTable(Carpeta, Fichero);
    for (int i = 0; i < t->FieldCount(); ++i) {
        TField* f = t->Fields()->Fields(i);
        out +=
            f->FieldName() + ":" + std::to_string(int(f->DataType())) + ":" + std::to_string(f->Size()) + " ";
    }
    t->UpdateIndexDefs();
    for (int i = 0; i < t->IndexDefs()->Count(); ++i)
        out += "[" + t->IndexDefs()->Items(i)->Name() +
               (t->IndexDefs()->Items(i)->Options().Contains(ixDescending) ? "-" : "") + "]";
    out += "\n";
    for (t->First(); !t->Eof(); t->Next()) {
        for (int i = 0; i < t->FieldCount(); ++i) out += t->Fields()->Fields(i)->AsString() + "|";
        out += "\n";
    }
    return out;
}

const char* LectorPython = R"(import os, sys, dbfread
out = []
for path in sys.argv[1:]:
    out.append('# ' + os.path.basename(path).lower())
    for r in dbfread.DBF(path, char_decode_errors='strict'):
        vals = []
        for v in r.values():
            if v is None: vals.append('')
            elif isinstance(v, bool): vals.append('True' if v else 'False')
            elif isinstance(v, int): vals.append(str(v))
            elif isinstance(v, float):
                s = repr(v)
                vals.append((s[:-2] if s.endswith('.0') else s).replace('.', ','))
            else: vals.append(str(v).rstrip(' '))
        out.append('\t'.join(vals))
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)";

// What we read of tables of a folder (by database name or folder), in the
// form of LectorPython, each table headed by its file's name.
std::string ComoLeemos(const AnsiString& Base, const std::vector<std::string>& Ficheros) {
    std::string nuestro;
    for (const std::string& f : Ficheros) {
        nuestro += "# " + LowerCase(f) + "\n";
        TTempTable t = OpenTempTable(Base, f);
        for (t->First(); !t->Eof(); t->Next()) {
            for (int i = 0; i < t->FieldCount(); ++i)
                nuestro += (i ? "\t" : "") + ToUtf8(t->Fields()->Fields(i)->AsString());
            nuestro += "\n";
        }
    }
    return nuestro;
}

// What python3-dbfread reads of the same files of the machine folder Carpeta.
std::string ComoLeenOtros(const std::filesystem::path& Carpeta, const std::vector<std::string>& Ficheros) {
    std::string ficheros;
    for (const std::string& f : Ficheros) ficheros += " " + ShellWord((Carpeta / f).string());
    std::string suyo;
    EXPECT_EQ(RunCommand(PythonWith("dbfread") + " -c " + ShellWord(LectorPython) + ficheros, suyo), 0);
    return suyo;
}

}  // namespace

class Samples : public ShellFixture {
protected:
    const AnsiString Generada = "C:\\gen";
    // The sample school made again from its seed, in the test's own folders.
    void Genera() {
        TEscuelaEjemplo e = GeneraEscuela();
        EscribeIntercambio(e.Intercambio, Generada + "\\qtemp");
        PreparaCarpetaDatos(e, Generada + "\\qtemp", Generada + "\\datos");
    }
};

TEST_F(Samples, SamplesAreWhatTheGeneratorMakes) {
    ASSERT_TRUE(std::filesystem::exists(Muestras / "datos")) << Muestras;
    // A copy: opening the shipped tables must not touch them.
    std::filesystem::copy(Muestras, Maquina("C:\\") / "muestras", std::filesystem::copy_options::recursive);
    Genera();
    for (const char* sub : {"qtemp", "datos"}) {
        SCOPED_TRACE(sub);
        std::filesystem::path nuestra = Maquina("C:\\muestras") / sub, nueva = Maquina(Generada) / sub;
        ASSERT_EQ(Tablas(nuestra), Tablas(nueva));
        for (const std::string& f : Tablas(nueva)) {
            if (LowerCase(ExtractFileExt(f)) != ".dbf") continue;
            EXPECT_EQ(Volcado("C:\\muestras\\" + AnsiString(sub), f), Volcado(Generada + "\\" + sub, f)) << f;
        }
    }
}

TEST_F(Samples, SampleSchoolHasWhatTheRoadNeeds) {
    std::filesystem::copy(Muestras, Maquina("C:\\") / "muestras", std::filesystem::copy_options::recursive);
    const AnsiString datos = "C:\\muestras\\datos";
    std::vector<TFilaLeida> cursos = Filas(datos, "cursos");
    ASSERT_EQ(cursos.size(), 3u);
    std::vector<TFilaLeida> alum = Filas(datos, "alum");
    EXPECT_EQ(alum.size(), 200u);
    std::set<std::string> opciones, cursosDeAlumnos;
    int repetidores = 0, acentos = 0;
    for (auto& a : alum) {
        opciones.insert(a["OPCION"]);
        cursosDeAlumnos.insert(a["TNC"]);
        repetidores += a["REPITE"] == "True";
        acentos += a["NOMBRE"].find_first_of("\xE1\xE9\xED\xF3\xFA\xF1\xC1\xC9\xCD\xD3\xDA\xD1") !=
                   std::string::npos;
        EXPECT_EQ(a["GRUPO"], "");
    }
    EXPECT_GE(opciones.size(), 4u);
    EXPECT_EQ(cursosDeAlumnos.size(), 3u);
    EXPECT_GT(repetidores, 5);
    EXPECT_GT(acentos, 20);
    for (auto& c : cursos) EXPECT_GE(std::stoi(c["NGRUP"]), 2) << c["TNC"];

    // Every subject of every course classified, with the organizer's figures.
    std::map<std::string, std::set<std::string>> clases;
    int bloques = 0;
    for (auto& a : Filas(datos, "asigcur")) {
        clases[a["TNC"]].insert(a["TIPO"]);
        ASSERT_FALSE(a["NDIV"].empty()) << a["TNC"] << a["ASIG"];
        ASSERT_FALSE(a["NPROF"].empty());
        if (a["TIPO"] == "1") {
            EXPECT_EQ(a["MAXALUM"], "30");
            if (!a["BLOPT"].empty()) {
                ++bloques;
                EXPECT_FALSE(a["NASALUM"].empty());
            }
        } else {
            EXPECT_EQ(a["MAXALUM"], "0");
        }
    }
    for (auto& [tnc, tipos] : clases) {
        EXPECT_TRUE(tipos.count("1")) << tnc;
        EXPECT_TRUE(tipos.count("2")) << tnc;
    }
    EXPECT_TRUE(clases["NBACH1"].count("3"));
    EXPECT_GT(bloques, 10);
}

TEST_F(Samples, OtherReadersReadTheImportedFolderAsWeDo) {
    ZELMOR_NEED_TOOL(!PythonWith("dbfread").empty(), "python3-dbfread");
    Genera();
    std::vector<std::string> ficheros;
    const std::filesystem::path datos = Maquina(Generada + "\\datos");
    for (const std::string& f : Tablas(datos))
        if (ExtractFileExt(f) == ".dbf") ficheros.push_back(f);
    EXPECT_EQ(ComoLeenOtros(datos, ficheros), ComoLeemos(Generada + "\\datos", ficheros));
}

// A data folder that other dBase programs wrote to in place: python3-dbf
// and Perl XBase append rows to its stored tables, rewrite and delete rows
// in place and empty tables, leaving the header bytes the format reserves
// as they were and the indexes stale. Opening the folder takes every row
// they wrote, as another reader reads them, with no word of damage; after
// the program's next write our tag checker finds every tag of every table
// whole, and another reader walks them in our order. On the shipped sample
// and on a school of the generator at a real size.
TEST_F(Samples, AFolderOtherDBaseProgramsWroteToOpensWithEveryRowTheyWrote) {
    for (const char* escritor : OtherWriters) ZELMOR_NEED_TOOL(OtherWriterAvailable(escritor), escritor);
    ZELMOR_NEED_TOOL(!PythonWith("dbfread").empty(), "python3-dbfread");
    ZELMOR_NEED_TOOL(PerlHasXBase(), "the Perl XBase module");
    namespace fs = std::filesystem;
    fs::copy(Muestras / "datos", Maquina("C:\\muestras"), fs::copy_options::recursive);
    {
        TEscuelaEjemplo e = GeneraEscuela(SemillaEjemplo, 2640);
        EscribeIntercambio(e.Intercambio, "C:\\grande\\qtemp");
        PreparaCarpetaDatos(e, "C:\\grande\\qtemp", "C:\\grande\\datos");
    }
    const std::vector<std::string> guardadas = {"nomasg.dbf", "cursos.dbf", "grupos.dbf",
                                                "prof.dbf",   "aulas.dbf",  "asigcur.dbf",
                                                "alum.dbf",   "tipos.dbf",  "tipgrup.dbf"};
    // Each table's changes, by record number; the accented name is Windows-1252.
    const std::map<std::string, std::vector<std::string>> cambios = {
        {"alum.dbf",
         {"append:N=9001,EXPED=X9001,NOMBRE=Ib\xE1\xF1"
          "ez Ruiz Ana,TNC=DESO4,OPCION=A,REPITE=T,ASIG1=MAT,DIV1=A",
          "append:N=9002,NOMBRE=Zubiri Otra,TNC=DESO4", "update:5:NOMBRE=Cambiada Nueva,REPITE=T",
          "delete:7"}},
        {"asigcur.dbf",
         {"update:1:HORAS=3.5,CUENTA=F", "append:N=900,TNC=DESO4,ASIG=ZZZ,HORAS=2,CUENTA=T,TIPO=3"}},
        {"cursos.dbf", {"update:1:MAXALUM=28"}},
        {"nomasg.dbf", {"append:N=900,ABREV=ZZZ,ABREV8=ZZZ,NOMBRE=Asignatura nueva"}},
        {"prof.dbf", {"empty"}},
        {"aulas.dbf", {"append:N=90,ABREV=A90,NOMBRE=Aula nueva", "delete:1"}},
        {"tipos.dbf", {"empty"}},
    };
    int n = 0;
    for (const char* origen : {"C:\\muestras", "C:\\grande\\datos"})
        for (const char* escritor : OtherWriters) {
            SCOPED_TRACE(std::string(origen) + ", " + escritor);
            const AnsiString nombre = "escrita" + std::to_string(++n);
            const fs::path carpeta = Maquina(AnsiString(Programa) + nombre);
            fs::copy(Maquina(origen), carpeta, fs::copy_options::recursive);
            for (const auto& [fichero, pasos] : cambios) {
                std::string dijo;
                ASSERT_EQ(OtherWriterWrites(escritor, (carpeta / fichero).string(), pasos, dijo), 0)
                    << fichero << ": " << dijo;
            }
            const std::string suyo = ComoLeenOtros(carpeta, guardadas);
            ASSERT_NE(suyo.find("Zubiri Otra"), std::string::npos);
            const size_t avisos = Dialogs.Asked().size();

            ASSERT_EQ(SeleccionaCarpeta(*Estado, nombre, PreguntaConversion), TApertura::Actual);

            EXPECT_EQ(Dialogs.Asked().size(), avisos) << Dialogs.Texts().back();
            EXPECT_EQ(ComoLeemos(NombreBaseDatos, guardadas), suyo);
            EXPECT_EQ(Cuenta(NombreBaseDatos, "prof"), 0);
            // The program's next write: a student and a subject of a course.
            Anade(NombreBaseDatos, "alum",
                  {{{"N", 9003}, {"NOMBRE", "Mart\xEDn Tercera"}, {"TNC", "DESO4"}}});
            Anade(NombreBaseDatos, "asigcur", {{{"N", 901}, {"TNC", "DESO4"}, {"ASIG", "YYY"}}});
            for (const auto& t : TablasEscolares()) {
                auto dbf = TDbfTable::Open(MapPath(Estado->CarpetaDatos + t.Nombre));
                EXPECT_EQ(dbf->CheckTags(), std::vector<AnsiString>{}) << t.Nombre;
            }
            auto alum = TDbfTable::Open((carpeta / "alum").string(), dbfReadOnly);
            TDbfCursor c(alum);
            c.SetOrder(alum->FindTag("NOMBRE"));
            std::string nuestro, suyoEnOrden;
            for (bool en = c.First(); en; en = c.Next())
                nuestro += alum->GetText(c.Record(), alum->FieldIndex("N")) + "\n";
            ASSERT_EQ(
                PerlReadTag(alum->FileName(), (carpeta / "alum.mdx").string(), "NOMBRE", "N", suyoEnOrden),
                0);
            EXPECT_EQ(suyoEnOrden, nuestro);
        }
}
