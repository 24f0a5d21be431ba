// The subtype computation without tables: order dependence, what makes two
// students share a subtype, the packing of slots and the numbering.
#include <gtest/gtest.h>

#include <set>

#include "organizer/Subtipos.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

namespace {

struct TEsperado {
    std::vector<AnsiString> Asigs;
    int NAlum;
};

struct TCaso {
    const char* Nombre;
    std::vector<TFilaAlumno> Alumnos;
    std::vector<TEsperado> Subtipos;
};

}  // namespace

TEST(TiposSubtipos, CountingFollowsTheRulesOfTheTable) {
    const std::vector<TCaso> casos = {
        {"larger set first makes one subtype",
         {Alu("", false, {"A", "B"}), Alu("", false, {"A"})},
         {{{"A", "B"}, 2}}},
        {"smaller set first makes two",
         {Alu("", false, {"A"}), Alu("", false, {"A", "B"})},
         {{{"A"}, 1}, {{"A", "B"}, 1}}},
        {"same subjects share",
         {Alu("", false, {"M", "F"}), Alu("", false, {"M", "F"}), Alu("", false, {"F", "M"})},
         {{{"M", "F"}, 3}}},
        {"REPITE apart", {Alu("", false, {"M"}), Alu("", true, {"M"})}, {{{"M"}, 1}, {{"M"}, 1}}},
        {"OPCION apart, exactly", {Alu("A", false, {"M"}), Alu("a", false, {"M"})}, {{{"M"}, 1}, {{"M"}, 1}}},
        {"letter case of codes ignored", {Alu("", false, {"MAT"}), Alu("", false, {"mat"})}, {{{"MAT"}, 2}}},
        {"no subjects fits the first of its kind",
         {Alu("", false, {"M", "F"}), Alu("", false, {})},
         {{{"M", "F"}, 2}}},
        {"annulled students are not counted",
         {Alu("", false, {"M"}, true), Alu("", false, {"F"})},
         {{{"F"}, 1}}},
        {"no students, no subtypes", {}, {}},
    };
    for (const auto& c : casos) {
        std::vector<TFilaSubtipo> subtipos;
        TNumeradorFilas numerador;
        CuentaSubtipos(subtipos, c.Alumnos, numerador);
        ASSERT_EQ(subtipos.size(), c.Subtipos.size()) << c.Nombre;
        for (size_t i = 0; i < subtipos.size(); ++i) {
            EXPECT_EQ(AsignaturasDe(subtipos[i].ASIG), c.Subtipos[i].Asigs) << c.Nombre;
            EXPECT_EQ(subtipos[i].NALUM, c.Subtipos[i].NAlum) << c.Nombre;
            EXPECT_EQ(subtipos[i].N, 10000 + static_cast<int>(i)) << c.Nombre;
        }
    }
}

TEST(TiposSubtipos, GapsInTheStudentsSlotsArePackedFromSlotOne) {
    TFilaAlumno a = Alu("B", true, {});
    a.ASIG[0] = "MAT";
    a.ASIG[2] = "FRA";
    std::vector<TFilaSubtipo> subtipos;
    TNumeradorFilas numerador;
    CuentaSubtipos(subtipos, {a}, numerador);
    ASSERT_EQ(subtipos.size(), 1u);
    EXPECT_EQ(subtipos[0].ASIG, Huecos({"MAT", "FRA"}));
    EXPECT_EQ(subtipos[0].OPCION, "B");
    EXPECT_TRUE(subtipos[0].REPITE);
    EXPECT_EQ(subtipos[0].TNC, "DESO4");
}

// Answering No to "Borrar tipos?" counts every student again on top: the
// counts double, no subtype is added, and a third run that adds subtypes
// never reuses a number of the first run.
TEST(TiposSubtipos, RecountingKeepsSubtypesAndNeverReusesANumber) {
    const std::vector<TFilaAlumno> alumnos = {Alu("", false, {"M", "F"}), Alu("", false, {"M"}),
                                              Alu("", true, {"I"})};
    std::vector<TFilaSubtipo> subtipos;
    TNumeradorFilas numerador;
    CuentaSubtipos(subtipos, alumnos, numerador);
    const auto primera = subtipos;
    CuentaSubtipos(subtipos, alumnos, numerador);
    ASSERT_EQ(subtipos.size(), primera.size());
    for (size_t i = 0; i < subtipos.size(); ++i) EXPECT_EQ(subtipos[i].NALUM, 2 * primera[i].NALUM);

    CuentaSubtipos(subtipos, {Alu("C", false, {"X"})}, numerador);
    std::set<int> numeros;
    for (const auto& s : subtipos) numeros.insert(s.N);
    EXPECT_EQ(numeros.size(), subtipos.size());
    EXPECT_EQ(subtipos.back().N, 10002);
}

TEST(TiposSubtipos, NumbersStayClearOfStoredRowsAboveTenThousand) {
    TNumeradorFilas numerador;
    numerador.Observa(10004);  // a row of the stored tables
    std::vector<TFilaSubtipo> subtipos;
    CuentaSubtipos(subtipos, {Alu("", false, {"M"})}, numerador);
    EXPECT_EQ(subtipos[0].N, 10005);
}
