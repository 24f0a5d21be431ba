// The M2 conversion and the recomputation of groups and divisions.
#include "shell/Conversion.h"

#include <fstream>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

namespace {
const char* const Datos = "C:\\PROG\\datos";
}

class Conversion : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        std::filesystem::create_directories(Maquina(Datos));
        Estado->ApuntaBaseDatos(Datos);
    }
    std::vector<std::string> Ficheros() const {
        std::vector<std::string> v;
        for (const auto& e : std::filesystem::directory_iterator(Maquina(Datos)))
            v.push_back(e.path().filename());
        std::sort(v.begin(), v.end());
        return v;
    }
};

TEST_F(Conversion, StudentCountsGiveGroupsAndLimits) {
    struct {
        int Alumnos, Grupos;
    } casos[] = {{0, 1}, {29, 1}, {30, 2}, {59, 2}, {60, 3}, {900, 31}};
    for (const auto& c : casos) {
        EXPECT_EQ(GruposParaAlumnos(c.Alumnos), c.Grupos) << c.Alumnos;
        std::array<int, 30> m = MaximosPorGrupo(c.Grupos);
        for (int i = 0; i < 30; ++i) EXPECT_EQ(m[size_t(i)], i < c.Grupos ? 30 : 0) << c.Alumnos << " " << i;
    }

    // The same through the tables: every course takes MAT, a third of the
    // students are annulled (they count all the same).
    CreaTablasNuevas(NombreBaseDatos);
    std::vector<TFilaIntercambio> cursos, asignaturas, alumnos;
    for (const auto& c : casos) {
        AnsiString tnc = "C" + std::to_string(c.Alumnos);
        cursos.push_back({{"TNC", tnc}, {"NGRUP", 99}});
        asignaturas.push_back({{"TNC", tnc}, {"ASIG", "MAT"}});
        for (int i = 0; i < c.Alumnos; ++i)
            alumnos.push_back({{"TNC", tnc}, {"ASIG3", "MAT"}, {"ANULAR", i % 3 == 0}});
    }
    // A subject held twice by one student counts twice; one nobody holds
    // gets one division; an empty slot is no subject.
    asignaturas.push_back({{"TNC", "C29"}, {"ASIG", "REL"}});
    asignaturas.push_back({{"TNC", "C29"}, {"ASIG", "XXX"}});
    for (int i = 0; i < 29; ++i) alumnos[size_t(i)]["ASIG1"] = TVariant("REL");
    alumnos[0]["ASIG2"] = TVariant("REL");
    Anade(NombreBaseDatos, "cursos", cursos);
    Anade(NombreBaseDatos, "asigcur", asignaturas);
    Anade(NombreBaseDatos, "alum", alumnos);

    CalculaDivisiones(NombreBaseDatos);

    std::vector<TFilaLeida> c = Filas(NombreBaseDatos, "cursos");
    std::vector<TFilaLeida> a = Filas(NombreBaseDatos, "asigcur");
    for (size_t i = 0; i < std::size(casos); ++i) {
        std::string g = std::to_string(casos[i].Grupos);
        EXPECT_EQ(c[i]["NGRUP"], g);
        EXPECT_EQ(c[i]["MAXALUM"], "30");
        EXPECT_EQ(c[i]["NMAXAL1"], "30");
        EXPECT_EQ(c[i]["NMAXAL2"], casos[i].Grupos >= 2 ? "30" : "0");
        EXPECT_EQ(c[i]["NMAXAL30"], casos[i].Grupos >= 30 ? "30" : "0");
        // Everybody takes MAT: as many divisions and teachers as groups,
        // and the subject's limits follow the course's groups.
        EXPECT_EQ(a[i]["NDIV"], g);
        EXPECT_EQ(a[i]["NPROF"], g);
        EXPECT_EQ(a[i]["MAXALUM"], "30");
        EXPECT_EQ(a[i]["NMAXAL2"], c[i]["NMAXAL2"]);
    }
    EXPECT_EQ(a[6]["NDIV"], "2");  // REL: 29 students, 30 slots
    EXPECT_EQ(a[6]["NPROF"], "2");
    EXPECT_EQ(a[6]["NMAXAL2"], "0");  // C29 has one group
    EXPECT_EQ(a[7]["NDIV"], "1");
}

TEST_F(Conversion, OlderLayoutBecomesTheCurrentOneKeepingEveryRow) {
    CreaCarpetaM2(Datos);
    // A temporary table left by a conversion that stopped is made anew.
    CreaTablaLibre(Datos, "alumb", {{"BASURA", ftString, 3}}, {{{"BASURA", "x"}}});

    TransformaM2(NombreBaseDatos);

    EXPECT_EQ(Ficheros(), (std::vector<std::string>{"alum.dbf", "alum.mdx", "asigcur.dbf", "asigcur.mdx",
                                                    "cursos.dbf", "cursos.mdx"}));
    for (const char* t : {"cursos", "asigcur", "alum"})
        EXPECT_EQ(OpenTempTable(NombreBaseDatos, t)->FieldCount(), int(TablaEscolar(t).Campos.size())) << t;
    std::vector<TFilaLeida> cursos = Filas(NombreBaseDatos, "cursos");
    ASSERT_EQ(cursos.size(), 2u);
    EXPECT_EQ(cursos[1]["TNC"], "DBACH2");
    EXPECT_EQ(cursos[1]["N"], "2");
    EXPECT_EQ(cursos[1]["NGRUP"], "");
    std::vector<TFilaLeida> asig = Filas(NombreBaseDatos, "asigcur");
    ASSERT_EQ(asig.size(), 2u);
    EXPECT_EQ(asig[0]["HORAS"], "3,5");
    EXPECT_EQ(asig[0]["CUENTA"], "True");
    EXPECT_EQ(asig[0]["MOSTRAR"], "False");
    EXPECT_EQ(asig[1]["CONTADOR"], "2");
    EXPECT_EQ(asig[1]["TIPO"], "");
    std::vector<TFilaLeida> alum = Filas(NombreBaseDatos, "alum");
    ASSERT_EQ(alum.size(), 3u);
    EXPECT_EQ(alum[0]["NOMBRE"], "Ca\xF1"
                                 "ete, Rosa");
    EXPECT_EQ(alum[0]["GRUPO"], "A");
    EXPECT_EQ(alum[0]["DIV1"], "1");
    EXPECT_EQ(alum[0]["ASIG2"], "LAT");
    EXPECT_EQ(alum[0]["REPITE"], "True");
    for (auto& a : alum) EXPECT_EQ(a["ANULAR"], "False");
    // The new tables carry their tags.
    EXPECT_EQ(Columna(NombreBaseDatos, "alum", "EXPED", "NOMBRE"),
              (std::vector<std::string>{"77", "78", "79"}));

    CalculaDivisiones(NombreBaseDatos);
    EXPECT_EQ(Filas(NombreBaseDatos, "cursos")[0]["NGRUP"], "1");
    EXPECT_EQ(Filas(NombreBaseDatos, "asigcur")[0]["NDIV"], "1");
}

// A damaged old table stops the conversion before any table has changed:
// the folder stays in the old layout, to be converted again once mended.
TEST_F(Conversion, AnUnreadableTableLeavesTheWholeFolderInTheOldLayout) {
    CreaCarpetaM2(Datos);
    std::ofstream(Maquina(Datos) / "alum.dbf", std::ios::binary | std::ios::trunc) << "no es una tabla";

    EXPECT_ANY_THROW(TransformaM2(NombreBaseDatos));

    EXPECT_EQ(OpenTempTable(NombreBaseDatos, "cursos")->FieldCount(), 6);
    EXPECT_EQ(Cuenta(NombreBaseDatos, "cursos"), 2);
    EXPECT_EQ(Cuenta(NombreBaseDatos, "asigcur"), 2);
    for (const auto& f : std::filesystem::directory_iterator(Maquina(Datos))) {
        const std::string n = LowerCase(f.path().filename().string());
        EXPECT_TRUE(n.rfind("cursos.", 0) == 0 || n.rfind("asigcur.", 0) == 0 || n.rfind("alum.", 0) == 0)
            << n << " left behind";
    }
}

TEST_F(Conversion, AFailedRenameLeavesTheOldRowsInTheFolder) {
    CreaCarpetaM2(Datos);
    // Something that is no index file stands where the new table's index must go.
    std::filesystem::remove(Maquina(Datos) / "cursos.mdx");
    std::filesystem::create_directories(Maquina(Datos) / "cursos.mdx" / "ocupado");

    EXPECT_THROW(TransformaM2(NombreBaseDatos), EDatabaseError);

    // The new data reached the name before its index failed to: the old
    // rows wait beside it.
    EXPECT_TRUE(NewTempTable(NombreBaseDatos, "cursos")->Exists());
    TTempTable viejas = OpenTempTable(NombreBaseDatos, "cursosm2");
    EXPECT_EQ(viejas->FieldCount(), 6);
    EXPECT_EQ(viejas->RecordCount(), 2);
}
