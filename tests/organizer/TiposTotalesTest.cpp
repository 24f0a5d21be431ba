// Totals per subject and per group, group hours with connections, and the
// conex rows, without tables.
#include <gtest/gtest.h>

#include "organizer/Totales.h"
#include "platform/rtl/Format.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

namespace {

// LEN is common to every student; the rest optional.
TListasTipos Listas() {
    TListasTipos L;
    for (const char* c : {"LEN", "MAT", "FRA", "ALE"}) L.AsigTodosAlumnos.Anade(c);
    L.AsigComunesTodos.Anade("LEN");
    for (const char* c : {"MAT", "FRA", "ALE"}) L.AsigOptativasTodos.Anade(c);
    return L;
}

const std::vector<TFilaAsignatura> AsigCur = {Asig("LEN", 3), Asig("MAT", 4), Asig("FRA", 2.5),
                                              Asig("ALE", 3.5)};

AnsiString Horas(const std::vector<TFilaEnGrupo>& Filas, const char* Grupo = "A") {
    return TotalesGrupo(Filas, AnsiString(Grupo), "DESO4", AsigCur, Listas(), {}).Lineas.at(1).at(2);
}

}  // namespace

TEST(TiposTotales, SubjectTotalsOverTheSubtypes) {
    const std::vector<TFilaSubtipo> subtipos = {Sub(1, 5, "", false, {"LEN", "MAT", "FRA"}),
                                                Sub(2, 3, "", false, {"LEN", "fra"}),
                                                Sub(3, 0, "", false, {"ALE"})};
    EXPECT_EQ(*TotalesTipos(subtipos, Listas(), {}),
              (TRejilla{{"AsigDv", "Alum"}, {"Total", "8"}, {"MAT", "5"}, {"FRA", "8"}, {"ALE", "0"}}));
    EXPECT_EQ(TotalesTipos(subtipos, Listas(), {true})->at(2), (std::vector<AnsiString>{"LEN", "8"}));
    EXPECT_FALSE(TotalesTipos({}, Listas(), {}).has_value());
}

TEST(TiposTotales, EveryLineIsThereWhateverTheNumberOfSubjects) {
    std::vector<TFilaSubtipo> subtipos;
    for (int i = 0; i < 150; ++i) {
        subtipos.push_back(Sub(i + 1, 1, "", false, {}));
        subtipos.back().ASIG[0] = Format("%d", {i});
    }
    const auto r = TotalesTipos(subtipos, TListasTipos{}, {});
    ASSERT_EQ(r->size(), 152u);
    EXPECT_EQ(r->back(), (std::vector<AnsiString>{"149", "1"}));
}

TEST(TiposTotales, GroupLinesAddStudentsPerDivision) {
    const std::vector<TFilaEnGrupo> filas = {
        Fila(2, 8, "A", "", false, {{"MAT", "1"}, {"LEN"}}),
        Fila(1, 12, "A", "", false, {{"MAT", "1"}, {"FRA", "2"}}),
        Fila(3, 7, "B", "", false, {{"MAT", "1"}}),
    };
    const auto t = TotalesGrupo(filas, AnsiString("A"), "DESO4", AsigCur, Listas(), {});
    EXPECT_TRUE(t.HayGrupo);
    // N order: row 1 first. 2.5 hours round to 2 (ties to even). Divisions
    // without a connection code make one run: the group counts the longest.
    EXPECT_EQ(
        t.Lineas,
        (TRejilla{
            {"Asig", "Alum", "Horas"}, {"Total", "20", "4"}, {"MAT .1", "20", "4"}, {"FRA .2", "12", "2"}}));
}

TEST(TiposTotales, GroupHoursCountOneConnectionOnce) {
    struct TCaso {
        const char* Nombre;
        std::vector<TFilaEnGrupo> Filas;
        const char* Horas;
    };
    const std::vector<TCaso> casos = {
        {"two divisions, two codes",
         {Fila(1, 5, "A", "", false, {{"MAT", "1", "a"}}), Fila(2, 5, "A", "", false, {{"MAT", "2", "b"}})},
         "8"},
        {"two divisions, no code: the empty code's run",
         {Fila(1, 5, "A", "", false, {{"MAT", "1"}}), Fila(2, 5, "A", "", false, {{"MAT", "2"}})},
         "4"},
        {"one code over MAT and ALE",
         {Fila(1, 5, "A", "", false, {{"MAT", "1", "a"}, {"ALE", "1", "a"}})},
         "4"},
        {"the same division in two rows",
         {Fila(1, 5, "A", "", false, {{"MAT", "1", "a"}}), Fila(2, 5, "A", "", false, {{"MAT", "1", "a"}})},
         "4"},
        {"a code typed with blanks",
         {Fila(1, 5, "A", "", false, {{"MAT", "1", " a "}, {"ALE", "2", "a"}})},
         "4"},
        {"code of another group ignored",
         {Fila(1, 5, "A", "", false, {{"MAT", "1", "a"}}), Fila(2, 5, "B", "", false, {{"ALE", "1", "a"}})},
         "4"},
        {"a subject the course lacks counts 0",
         {Fila(1, 5, "A", "", false, {{"XYZ", "1"}, {"MAT", "1", "a"}})},
         "4"},
    };
    for (const auto& c : casos) EXPECT_EQ(Horas(c.Filas), AnsiString(c.Horas)) << c.Nombre;
}

TEST(TiposTotales, NoGroupOrNoRowsLeaveOnlyTheTitles) {
    const std::vector<TFilaEnGrupo> filas = {Fila(1, 5, "A", "", false, {{"MAT", "1"}})};
    for (const auto& t : {TotalesGrupo(filas, std::nullopt, "DESO4", AsigCur, Listas(), {}),
                          TotalesGrupo({}, AnsiString("A"), "DESO4", AsigCur, Listas(), {})}) {
        EXPECT_FALSE(t.HayGrupo);
        EXPECT_EQ(t.Lineas.size(), 1u);
    }
    // "a" is not "A": a group found with no rows of its own.
    const auto t = TotalesGrupo(filas, AnsiString("a"), "DESO4", AsigCur, Listas(), {});
    EXPECT_TRUE(t.HayGrupo);
    EXPECT_EQ(t.Lineas.at(1), (std::vector<AnsiString>{"Total", "0", "0"}));
}

TEST(TiposTotales, ConnectionsComeFromDivisionsAndCodes) {
    std::vector<TFilaEnGrupo> filas = {
        Fila(1, 6, "A", "", false, {{"MAT", "1"}, {"FRA"}, {"ALE", "", " b "}}),
        Fila(2, 4, "B", "", false, {{"MAT", " 2", "a"}}),
    };
    const auto conex = CreaConexiones(filas);
    const std::vector<TFilaConex> esperadas = {
        {"DESO4", "DESO4", "", "A", "MAT .1", 6, 6},
        {"DESO4", "DESO4b", "b", "A", "ALE .", 6, 6},
        {"DESO4", "DESO4a", "a", "B", "MAT .2", 4, 4},
    };
    EXPECT_EQ(conex, esperadas);
    EXPECT_EQ(filas[0].CON[2], "b");  // the slot loses its blanks as well
}
