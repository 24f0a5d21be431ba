// Placing the students when the first covering row of an early student is
// the only place of a later one: the subtypes count a student under a subtype
// whose subjects include its own, so the distribution written back by the
// organizer holds such rows. And when the first covering row is one of
// another option letter.
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

// After a run with "Separar opciones" each group's rows carry one option
// letter. The placing keeps the students in rows of their own letter where
// the rows allow it, without taking a place from anyone: who is placed is
// who the first covering rows place. Each case gives the groups the
// students end in ("-": not placed).
TEST(Reparto, StudentsKeepToRowsOfTheirOwnOptionLetter) {
    struct TCaso {
        const char* Que;
        std::vector<TFilaEnGrupo> Filas;
        std::vector<TFilaAlumno> Alumnos;
        std::vector<const char*> Grupos;
    } casos[] = {
        {"the first covering row is of the other letter",
         {Fila(1, 1, "A", "A", false, {{"MAT", "1"}}), Fila(2, 1, "B", "B", false, {{"MAT", "2"}})},
         {Alu("B", false, {"MAT"}), Alu("A", false, {"MAT"})},
         {"B", "A"}},
        {"a place left in a row of its letter",
         {Fila(1, 1, "A", "B", false, {{"MAT"}}), Fila(2, 1, "B", "A", false, {{"MAT"}})},
         {Alu("A", false, {"MAT"})},
         {"B"}},
        {"moved on to make room, then back to its letter",
         {Fila(1, 1, "A", "A", false, {{"MAT"}, {"REL"}}), Fila(2, 1, "B", "A", false, {{"MAT"}}),
          Fila(3, 1, "C", "B", false, {{"MAT"}})},
         {Alu("B", false, {"MAT"}), Alu("A", false, {"MAT", "REL"}), Alu("A", false, {"MAT"})},
         {"C", "A", "B"}},
        {"only a row of another letter covers it",
         {Fila(1, 1, "A", "A", false, {{"MAT"}, {"REL"}}), Fila(2, 1, "B", "B", false, {{"MAT"}})},
         {Alu("B", false, {"MAT", "REL"}), Alu("B", false, {"MAT"})},
         {"A", "B"}},
        {"who is placed does not change",
         {Fila(1, 1, "A", "A", false, {{"MAT"}})},
         {Alu("B", false, {"MAT"}), Alu("A", false, {"MAT"})},
         {"A", "-"}},
        {"no letter on any row: the first covering row",
         {Fila(1, 1, "A", "", false, {{"MAT"}}), Fila(2, 1, "B", "", false, {{"MAT"}})},
         {Alu("B", false, {"MAT"}), Alu("A", false, {"MAT"})},
         {"A", "B"}},
        {"a student without letter belongs in a row without one",
         {Fila(1, 1, "A", "A", false, {{"MAT"}}), Fila(2, 1, "B", "", false, {{"MAT"}})},
         {Alu("", false, {"MAT"}), Alu("A", false, {"MAT"})},
         {"B", "A"}},
        {"of equal moves, the first student's in record order",
         {Fila(1, 2, "A", "A", false, {{"MAT"}}), Fila(2, 1, "B", "B", false, {{"MAT"}})},
         {Alu("B", false, {"MAT"}), Alu("B", false, {"MAT"})},
         {"B", "A"}},
    };
    for (auto& c : casos) {
        SCOPED_TRACE(c.Que);
        int plazas = 0;
        for (const auto& f : c.Filas) plazas += f.NALUM;
        for (auto& a : c.Alumnos) a.GRUPO = "-";
        const auto r = ColocaAlumnos(c.Alumnos, c.Filas);
        ASSERT_EQ(c.Alumnos.size(), c.Grupos.size());
        int colocados = 0;
        for (size_t i = 0; i < c.Alumnos.size(); ++i) {
            EXPECT_EQ(c.Alumnos[i].GRUPO, c.Grupos[i]) << i;
            colocados += c.Alumnos[i].GRUPO != "-";
        }
        EXPECT_EQ(r.Colocados, colocados);
        int quedan = 0;
        for (const auto& f : c.Filas) quedan += f.NALUM;
        EXPECT_EQ(quedan, plazas - colocados);
    }
}

// The division a student is given is that of the row it ends in.
TEST(Reparto, AStudentMovedToItsLettersRowTakesThatRowsDivisions) {
    std::vector<TFilaEnGrupo> filas = {Fila(1, 1, "A", "A", false, {{"MAT", "1"}, {"FRA", "1", "a"}}),
                                       Fila(2, 1, "B", "B", false, {{"FRA", "2", "b"}, {"MAT", "2"}})};
    std::vector<TFilaAlumno> alumnos = {Alu("B", false, {"MAT", "FRA"}), Alu("A", false, {"FRA"})};
    ColocaAlumnos(alumnos, filas);
    EXPECT_EQ(alumnos[0].GRUPO, "B");
    EXPECT_EQ(alumnos[0].DIV, Huecos({"2", "2"}));
    EXPECT_EQ(alumnos[1].GRUPO, "A");
    EXPECT_EQ(alumnos[1].DIV, Huecos({"1"}));
}
