// Loading a course, grouping its students into types, and the checks that
// refuse a course before the dialog opens.
#include <gtest/gtest.h>

#include "tests/organizer/Apoyo.h"

namespace {

using namespace apoyo;

const AnsiString TNC = "1ESO01";

TDatosOrganizar CursoBasico() {
    TDatosOrganizar d;
    d.TNCSeleccionado = TNC;
    d.NomAsg = {{"MAT"}, {"FRA"}, {"ALE"}};
    d.Cursos = {Curso(TNC, 2, 20), Curso("OTRO", 5, 30, "2B")};
    d.AsigCur = {Optativa(TNC, "FRA", 2, 20, 2, 1, 1), Optativa(TNC, "ALE", 2, 20, 2, 1, 1)};
    TFilaAsigCur mat;
    mat.TNC = TNC;
    mat.ASIG = "MAT";
    mat.TIPO = 2;
    d.AsigCur.push_back(mat);
    d.Tipos2 = {Subtipo(TNC, 5, "A", {"MAT", "FRA"}), Subtipo(TNC, 3, "B", {"MAT", "ALE"}),
                Subtipo("OTRO", 9, "A", {"MAT"})};
    d.AsigCuentaOptativas = {"FRA", "ALE"};
    d.AsigOptativas = {"FRA", "ALE"};
    return d;
}

struct Carga : TPrueba {
    TOrganizadorPrueba O;
};

// A dialog that notes it was shown and closes without a run.
TDialogoOrganizar Mira(bool& Mostrado) {
    return [&Mostrado](ISesionOrganizar&) {
        Mostrado = true;
        return TOpcionesOrganizar{};
    };
}

TEST_F(Carga, RowsStandForTheirStudentsAndPlacedRowsReadTheirLabels) {
    TDatosOrganizar d = CursoBasico();
    d.TipGrup2 = {Colocado(TNC, 3, "B", "A", {{"MAT", "", ""}, {"FRA", "b", "a"}})};
    ASSERT_TRUE(O.CargaDatos(d));
    ASSERT_EQ(O.Memo.NumFilas, 3 + 5 + 3);
    for (int i = 0; i < 3; ++i) {
        const TFilaTipo& f = O.Memo.Filas[i];
        EXPECT_EQ(f.Numero, i);
        EXPECT_EQ(f.NAlum, 1);
        EXPECT_EQ(f.Grupo, 1);  // "B" under "A,B,C ..."
        EXPECT_EQ(f.Slots[1].Div, 1);
        EXPECT_EQ(f.Slots[1].Con, 0);
        EXPECT_EQ(f.Slots[0].Div, -1);
    }
    EXPECT_EQ(O.Memo.Filas[3].Grupo, -1);
    // a group label that does not read leaves a row still to place, whose divisions say nothing
    TDatosOrganizar otro = d;
    otro.TipGrup2[0].GRUPO = "?";
    TOrganizadorPrueba o2;
    ASSERT_TRUE(o2.CargaDatos(otro));
    EXPECT_EQ(o2.Memo.Filas[0].Grupo, -1);
    EXPECT_EQ(o2.Memo.Filas[0].Slots[1].Div, -1);
    EXPECT_EQ(o2.Memo.Filas[0].Slots[1].Con, -1);
    EXPECT_EQ(O.Memo.Filas[10].Opcion, 'B');
    EXPECT_EQ(O.Memo.NumCursos, 1);  // only the selected course
    O.AgrupaTipos(true);
    EXPECT_EQ(O.CuentaTipos(), 3);
    EXPECT_EQ(O.Memo.Tipos[0].NAlum, 3);
    EXPECT_EQ(O.Memo.Tipos[0].Slots[0].Asig, "FRA");  // only the counted subjects, packed
    EXPECT_EQ(O.Memo.Tipos[0].Slots[1].Asig, "");
    EXPECT_EQ(O.Memo.Tipos[1].NAlum, 5);
}

TEST_F(Carga, GroupLettersReadInTheNumberingInForce) {
    TDatosOrganizar d = CursoBasico();
    d.Cursos[0].NGRUP = 30;
    d.TipGrup2 = {Colocado(TNC, 1, "0", "A", {{"FRA", "", ""}}),
                  Colocado(TNC, 1, "a", "A", {{"FRA", "", ""}})};
    O.OpcionesEnVigor.Grupo = TNumeracion::N123;
    ASSERT_TRUE(O.CargaDatos(d));
    EXPECT_EQ(O.Memo.Filas[0].Grupo, 9);
    EXPECT_EQ(O.Memo.Filas[1].Grupo, 10);
    TOrganizadorPrueba otro;
    ASSERT_TRUE(otro.CargaDatos(d));
    EXPECT_EQ(otro.Memo.Filas[0].Grupo, 61);
    EXPECT_EQ(otro.Memo.Filas[1].Grupo, 26);
}

TEST_F(Carga, SubjectsOutsideTheOptionalListGetTheCourseDefaults) {
    TDatosOrganizar d = CursoBasico();
    // Two course rows under one key: the first one's groups rule everything.
    d.Cursos.push_back(Curso(TNC, 5, 40));
    d.Cursos[0].NGRUP = 3;
    ASSERT_TRUE(O.CargaDatos(d));
    const TFilaAsigCurso& mat = O.Memo.Asignaturas[2];
    EXPECT_EQ(mat.Asig, "MAT");
    EXPECT_EQ(mat.NDiv, 3);
    EXPECT_EQ(mat.NProf, 3);
    EXPECT_EQ(mat.MaxAlum, 1000);
    EXPECT_EQ(O.Memo.Asignaturas[0].NDiv, 2);  // optional: as typed
}

TEST_F(Carga, ASchoolBeyondTheModelIsRefusedAndNothingRuns) {
    struct Caso {
        const char* Tag;
        std::function<void(TDatosOrganizar&)> Agranda;
    } casos[] = {
        {"EN MEMOFIJA 1", [](TDatosOrganizar& d) { d.NomAsg.resize(401, {"X"}); }},
        {"EN MEMOFIJA 2", [](TDatosOrganizar& d) { d.Cursos.resize(12, d.Cursos[0]); }},
        {"EN MEMOFIJA 3", [](TDatosOrganizar& d) { d.AsigCur.resize(101, d.AsigCur[0]); }},
        {"EN MEMOFIJA 41", [](TDatosOrganizar& d) { d.Tipos2[0].NALUM = 601 - 3; }},
        {"EN MEMOFIJA 41",
         [](TDatosOrganizar& d) {
             d.TipGrup2 = {Colocado(TNC, 1000, "A", "A", {{"FRA", "a", ""}})};
         }},
    };
    for (const auto& c : casos) {
        TDatosOrganizar d = CursoBasico();
        c.Agranda(d);
        TMensajes m;
        TOrganizadorPrueba o;
        bool dialogo = false;
        auto r = o.EjecutaOrganizar(d, {}, Mira(dialogo));
        EXPECT_FALSE(r.Filas);
        EXPECT_FALSE(dialogo);
        EXPECT_EQ(m.Texts(), std::vector<AnsiString>{"MEMORIA INSUFICIENTE " + AnsiString(c.Tag)});
        EXPECT_FALSE(o.Memo.Reservada());
    }
    // exactly at the capacities it loads
    TDatosOrganizar d = CursoBasico();
    d.NomAsg.resize(400, {"X"});
    d.Tipos2[0].NALUM = 600 - 8 + 5;
    EXPECT_TRUE(O.CargaDatos(d));
    EXPECT_EQ(O.Memo.NumFilas, 600);
}

TEST_F(Carga, ACourseThatCannotBeOrganizedIsRefusedWithItsMessage) {
    struct Caso {
        std::function<void(TDatosOrganizar&)> Cambia;
        AnsiString Texto;
    } casos[] = {
        {[](TDatosOrganizar& d) { d.Tipos2.clear(); }, "Imposible generar. No hay tipos."},
        {[](TDatosOrganizar& d) { d.Cursos.erase(d.Cursos.begin()); },
         "Curso desconocido. Imposible generar."},
        {[](TDatosOrganizar& d) { d.Cursos[0].NGRUP = 0; }, "El curso tiene cero grupos. Imposible generar."},
        {[](TDatosOrganizar& d) { d.Cursos[0].NGRUP = -2; },
         "El curso tiene cero grupos. Imposible generar."},
        {[](TDatosOrganizar& d) { d.Cursos[0].NGRUP = 31; },
         "El curso tiene m\xE1s de 30 grupos. Imposible generar."},
        {[](TDatosOrganizar& d) { d.AsigCur[1].BLOPT = 0; },
         "Para utilizar el organizador autom\xE1tico, deben rellenarse todas las columnas de las asignaturas "
         "optativas en ASIGNATURAS POR CURSO."},
        {[](TDatosOrganizar& d) { d.AsigCur[0].NPROF = -1; },
         "Para utilizar el organizador autom\xE1tico, deben rellenarse todas las columnas de las asignaturas "
         "optativas en ASIGNATURAS POR CURSO."},
        {[](TDatosOrganizar& d) { d.AsigCur[0].NDIV = 63; },
         "La asignatura FRA tiene m\xE1s de 62 divisiones. Imposible generar."},
    };
    for (const auto& c : casos) {
        TDatosOrganizar d = CursoBasico();
        c.Cambia(d);
        TMensajes m;
        TOrganizadorPrueba o;
        bool dialogo = false;
        EXPECT_FALSE(o.EjecutaOrganizar(d, {}, Mira(dialogo)).Filas);
        EXPECT_FALSE(dialogo);
        EXPECT_EQ(m.Texts(), std::vector<AnsiString>{c.Texto});
    }
    // thirty groups are fine; the optional column check ignores subjects that are not optional
    TDatosOrganizar d = CursoBasico();
    d.Cursos[0].NGRUP = 30;
    bool dialogo = false;
    O.EjecutaOrganizar(d, {}, Mira(dialogo));
    EXPECT_TRUE(dialogo);
    EXPECT_TRUE(M.Texts().empty());
}

TEST_F(Carga, WorkingStructuresAccountTheLoadedPlacements) {
    TDatosOrganizar d = CursoBasico();
    d.AsigCur[0].NDIV = 2;
    d.TipGrup2 = {
        Colocado(TNC, 2, "A", "A", {{"FRA", "c", ""}}),  // index 2 = NDIV: the row without division
        Colocado(TNC, 1, "A", "A", {{"FRA", "d", ""}}),  // beyond it: dropped to no division
        Colocado(TNC, 4, "C", "A", {{"FRA", "a", ""}}),  // group 2 of a course of 2: not placed
        Colocado(TNC, 3, "B", "A", {{"FRA", "a", ""}}), Colocado(TNC, 3, "B", "A", {{"FRA", "b", ""}}),
    };
    ASSERT_TRUE(Prepara(O, d));
    const TEstadoAsig& fra = O.EstAsig[0];
    EXPECT_EQ(O.EstCurso[0].CuentaGrupo, (std::vector<int>{3, 6}));
    // group 0's class without division could not go back into a free row:
    // both rows hold group 1's students, so it stays in the extra row
    EXPECT_EQ(fra.Celdas[fra.C(2, 0)], 3);
    EXPECT_EQ(fra.FilasDiv, (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(fra.DivLibres, 1);
    int sinGrupo = 0;
    for (int i = 0; i < O.NumAlumnos; ++i) sinGrupo += O.Alumnos[i].Grupo < 0;
    EXPECT_EQ(sinGrupo, 4 + 8);
}

TEST_F(Carga, StudentsStandLargestTypesLastAndTiesByTypeNumber) {
    TDatosOrganizar d = CursoBasico();
    d.Tipos2 = {Subtipo(TNC, 10, "A", {"FRA"}), Subtipo(TNC, 10, "B", {"FRA"}),
                Subtipo(TNC, 4, "A", {"ALE"})};
    ASSERT_TRUE(Prepara(O, d));
    ASSERT_EQ(O.NumAlumnos, 24);
    EXPECT_EQ(O.Alumnos[0].Tipo, 3);
    EXPECT_EQ(O.Alumnos[4].Tipo, 1);
    EXPECT_EQ(O.Alumnos[23].Tipo, 2);  // placed first: the higher number of two equal types
}

TEST_F(Carga, SubjectsSharedByAStudentAreTabledOnce) {
    TDatosOrganizar d = CursoBasico();
    d.AsigCur.push_back(Optativa(TNC, "ING", 1, 20, 1, 2, 1));
    d.AsigCuentaOptativas.push_back("ING");
    d.AsigOptativas.push_back("ING");
    d.Tipos2.push_back(Subtipo(TNC, 2, "A", {"ing", "ALE"}));  // codes typed in either case
    ASSERT_TRUE(Prepara(O, d));
    const int n = O.Memo.NumAsignaturas;
    for (int s = 0; s < n; ++s)
        for (int t = 0; t < n; ++t) {
            bool ambas = false;
            for (int i = 0; i < O.NumAlumnos; ++i) {
                bool hs = false, ht = false;
                for (const auto& e : O.Alumnos[i].Asigs) {
                    hs = hs || e.Asig == s;
                    ht = ht || e.Asig == t;
                }
                ambas = ambas || (hs && ht);
            }
            EXPECT_EQ(O.Comparten[s * n + t] != 0, ambas) << s << " " << t;
        }
    EXPECT_TRUE(O.Comparten[1 * n + 3]);  // ALE and ING
}

}  // namespace
