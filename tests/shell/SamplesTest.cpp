// The sample school in samples/: what the generator makes, the shape the
// whole road needs, and files other dBase readers read as we do.
#include <cstdio>
#include <fstream>
#include <set>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"
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
    std::string python = PythonWith("dbfread");
    ZELMOR_NEED_TOOL(!python.empty(), "python3-dbfread");
    Genera();
    std::string nuestro, args;
    const std::filesystem::path datos = Maquina(Generada + "\\datos");
    for (const std::string& f : Tablas(datos)) {
        if (ExtractFileExt(f) != ".dbf") continue;
        nuestro += "# " + f + "\n";
        TTempTable t = OpenTempTable(Generada + "\\datos", f);
        for (t->First(); !t->Eof(); t->Next()) {
            for (int i = 0; i < t->FieldCount(); ++i)
                nuestro += (i ? "\t" : "") + ToUtf8(t->Fields()->Fields(i)->AsString());
            nuestro += "\n";
        }
        args += " '" + (datos / f).string() + "'";
    }
    std::ofstream(Root / "lee.py") << LectorPython;
    std::string suyo;
    ASSERT_EQ(RunCommand(python + " " + (Root / "lee.py").string() + args, suyo), 0);
    EXPECT_EQ(suyo, nuestro);
}
