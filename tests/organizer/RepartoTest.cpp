// Placing the students when the first covering row of an early student is
// the only place of a later one: the subtypes count a student under a subtype
// whose subjects include its own, so the distribution written back by the
// organizer holds such rows.
#include <gtest/gtest.h>

#include "organizer/Colocar.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

TEST(Reparto, AnEarlierStudentMovesToFreeTheOnlyRowOfALaterOne) {
    std::vector<TFilaEnGrupo> filas = {
        Fila(1, 1, "A", "", false, {{"MAT", "1"}, {"REL", "2"}}),
        Fila(2, 1, "B", "", false, {{"MAT", "3"}}),
        Fila(3, 1, "C", "", false, {{"MAT", "4"}, {"ING", "5"}}),
    };
    std::vector<TFilaAlumno> alumnos = {
        Alu("", false, {"MAT"}, false, "sin religion"),
        Alu("", false, {"MAT", "REL"}, false, "con religion"),
        Alu("", false, {"MAT"}, false, "otro sin religion"),
        Alu("", false, {"FRA"}, false, "sin fila"),
    };
    const auto r = ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(r.Colocados, 3);
    ASSERT_EQ(r.NoColocados.size(), 1u);
    EXPECT_EQ(r.NoColocados[0].NOMBRE, "sin fila");
    // The first took A while it was free and moved on to B when "con
    // religion" needed A; the third found only C left.
    EXPECT_EQ(alumnos[0].GRUPO, "B");
    EXPECT_EQ(alumnos[0].DIV, Huecos({"3"}));
    EXPECT_EQ(alumnos[1].GRUPO, "A");
    EXPECT_EQ(alumnos[1].DIV, Huecos({"1", "2"}));
    EXPECT_EQ(alumnos[2].GRUPO, "C");
    EXPECT_EQ(alumnos[2].DIV, Huecos({"4"}));
    for (const auto& f : filas) EXPECT_EQ(f.NALUM, 0) << f.N;
}

// Moving happens only for a student that no free row covers; and a student
// that no row can take even so moves nobody.
TEST(Reparto, NobodyMovesWhileAFreeRowServes) {
    std::vector<TFilaEnGrupo> filas = {
        Fila(1, 1, "A", "", false, {{"MAT"}, {"REL"}}),
        Fila(2, 2, "B", "", false, {{"MAT"}, {"REL"}}),
    };
    std::vector<TFilaAlumno> alumnos = {
        Alu("", false, {"MAT"}, false, "uno"), Alu("", false, {"MAT", "REL"}, false, "dos"),
        Alu("", false, {"REL"}, false, "tres"), Alu("", false, {"MAT"}, false, "cuatro")};
    const auto r = ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(r.Colocados, 3);
    ASSERT_EQ(r.NoColocados.size(), 1u);
    EXPECT_EQ(r.NoColocados[0].NOMBRE, "cuatro");
    EXPECT_EQ(alumnos[0].GRUPO, "A");
    EXPECT_EQ(alumnos[1].GRUPO, "B");
    EXPECT_EQ(alumnos[2].GRUPO, "B");
    EXPECT_EQ(alumnos[3].GRUPO, "");
}
