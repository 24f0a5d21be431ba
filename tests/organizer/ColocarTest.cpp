// Placing the students without tables: which row a student takes, the
// counts used up, the divisions handed over, and the students no row covers.
#include <gtest/gtest.h>

#include "organizer/Colocar.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

TEST(Colocar, EachStudentTakesTheFirstRowWithStudentsLeftThatCoversIt) {
    std::vector<TFilaEnGrupo> filas = {
        Fila(1, 0, "C", "", false, {{"MAT", "9"}, {"FRA", "9"}}),  // spent
        Fila(2, 1, "A", "", false, {{"MAT", "1"}, {"FRA", "2"}, {"ING", "3"}}),
        Fila(3, 5, "B", "", false, {{"FRA", "1"}, {"MAT", "2"}}),
        Fila(4, -2, "D", "", false, {{"MAT", "7"}}),  // nonsense count: never used
    };
    std::vector<TFilaAlumno> alumnos = {
        Alu("", false, {"MAT", "FRA"}, false, "uno"),
        Alu("X", true, {"FRA", "MAT"}, false, "dos"),  // other OPCION and REPITE: same rows
        Alu("", false, {"fra"}, true, "tres"),         // annulled: placed all the same
        Alu("", false, {"MAT"}, false, "cuatro"),
    };
    alumnos[3].DIV[5] = "z";  // a division of an empty slot stays
    const auto r = ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(r.Colocados, 4);
    EXPECT_TRUE(r.NoColocados.empty());
    const std::vector<std::pair<AnsiString, THuecos>> esperados = {{"A", Huecos({"1", "2"})},
                                                                   {"B", Huecos({"1", "2"})},
                                                                   {"B", Huecos({"1"})},
                                                                   {"B", Huecos({"2", "", "", "", "", "z"})}};
    for (size_t i = 0; i < alumnos.size(); ++i) {
        EXPECT_EQ(alumnos[i].GRUPO, esperados[i].first) << alumnos[i].NOMBRE;
        EXPECT_EQ(alumnos[i].DIV, esperados[i].second) << alumnos[i].NOMBRE;
    }
    EXPECT_EQ(filas[0].NALUM, 0);
    EXPECT_EQ(filas[1].NALUM, 0);
    EXPECT_EQ(filas[2].NALUM, 2);
    EXPECT_EQ(filas[3].NALUM, -2);
}

// The student's "fra" is found in the row's "FRA": its division is the row's,
// not the one of an earlier distribution.
TEST(Colocar, ACodeSpelledOtherwiseStillGetsTheRowsDivision) {
    std::vector<TFilaEnGrupo> filas = {
        Fila(1, 1, "A", "", false, {{"MAT", "1"}, {"FRA", "2"}, {"fra", "3"}})};
    std::vector<TFilaAlumno> alumnos = {Alu("", false, {"Mat", "fra"})};
    alumnos[0].DIV[0] = "viejo";
    ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(alumnos[0].DIV, Huecos({"1", "3"}));  // exact spelling first: "fra" -> 3
}

TEST(Colocar, StudentsNoRowCoversKeepTheirGroupAndAreReported) {
    std::vector<TFilaEnGrupo> filas = {Fila(1, 1, "A", "", false, {{"MAT", "1"}})};
    std::vector<TFilaAlumno> alumnos = {Alu("", false, {"MAT"}, false, "uno"),
                                        Alu("", false, {"MAT"}, false, "dos"),
                                        Alu("", false, {"ING"}, false, "tres")};
    alumnos[1].GRUPO = "C";
    alumnos[1].DIV[0] = "4";
    const auto antes = alumnos;
    const auto r = ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(r.Colocados, 1);
    ASSERT_EQ(r.NoColocados.size(), 2u);
    EXPECT_EQ(alumnos[1], antes[1]);
    EXPECT_EQ(alumnos[2], antes[2]);
    EXPECT_EQ(MensajeColocar(r),
              "Proceso terminado\n\nNo se han podido colocar 2 alumnos; conservan el grupo que ten\xED"
              "an:\ndos  dos\ntres  tres");
    EXPECT_EQ(MensajeColocar({3, {}}), "Proceso terminado");
}

TEST(Colocar, TheReportNamesAtMostTwentyStudents) {
    TResultadoColocar r;
    for (int i = 0; i < 25; ++i) r.NoColocados.push_back(Alu("", false, {}, false, "x"));
    const auto m = MensajeColocar(r);
    EXPECT_NE(m.find("25 alumnos"), AnsiString::npos);
    EXPECT_EQ(std::count(m.begin(), m.end(), '\n'), 2 + 20 + 1);
    EXPECT_EQ(m.substr(m.size() - 4), "\n...");
}

// The rows count the students who take part in the types; an annulled
// student, placed like any other, comes after them, so that it never takes
// the last place of a row from a student who stays in the school.
TEST(Colocar, AnAnnulledStudentDoesNotTakeThePlaceOfOneWhoStays) {
    std::vector<TFilaEnGrupo> filas = {Fila(1, 1, "A", "", false, {{"MAT", "1"}}),
                                       Fila(2, 1, "B", "", false, {{"MAT", "2"}, {"ING", "1"}})};
    std::vector<TFilaAlumno> alumnos = {Alu("", false, {"MAT"}, true, "anulado"),
                                        Alu("", false, {"MAT", "ING"}, false, "ingles"),
                                        Alu("", false, {"MAT"}, false, "mates")};
    const auto r = ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(r.Colocados, 2);
    ASSERT_EQ(r.NoColocados.size(), 1u);
    EXPECT_EQ(r.NoColocados[0].NOMBRE, "anulado");
    EXPECT_EQ(alumnos[1].GRUPO, "B");
    EXPECT_EQ(alumnos[2].GRUPO, "A");

    // With a place to spare, the annulled student is placed all the same.
    filas[0].NALUM = 2;
    filas[1].NALUM = 1;
    auto otra = alumnos;
    for (auto& a : otra) a.GRUPO.clear();
    EXPECT_EQ(ColocaAlumnos(otra, filas).Colocados, 3);
    EXPECT_EQ(otra[0].GRUPO, "A");
}
