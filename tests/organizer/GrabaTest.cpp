// The write-back: counted rows, group, division and connection letters of
// the chosen alphabets, canonical numbers, and a result that reloads into a
// later run the way it was made.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/organizer/Apoyo.h"
#include "tests/organizer/EscuelaSintetica.h"
#include "tests/organizer/Validador.h"

namespace {

using namespace apoyo;

const AnsiString TNC = "4ESO03";

struct Grabacion : TPrueba {
    TOrganizadorPrueba O;
};

TFilaAsigCur Comun(const AnsiString& Codigo) {
    TFilaAsigCur a;
    a.TNC = TNC;
    a.ASIG = Codigo;
    a.TIPO = 2;
    return a;
}

TEST_F(Grabacion, EqualStudentsOfAGroupBecomeOneRowAndAWholeGroupClassHasNoDivision) {
    TDatosOrganizar d = Datos(Curso(TNC, 1, 30), {Optativa(TNC, "X", 1, 30, 1, 1, 1), Comun("LEN")},
                              {Subtipo(TNC, 2, "A", {"LEN", "X"})});
    d.Tipos2[0].REPITE = true;
    auto r = Organiza(O, d, 1);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Tipos.size(), 1u);
    EXPECT_EQ(r->Tipos[0].NALUM, 0);  // placed: counted in tipgrup
    EXPECT_FALSE(r->Tipos[0].REPITE);
    ASSERT_EQ(r->TipGrup.size(), 1u);
    const TFilaTipGrup& t = r->TipGrup[0];
    EXPECT_EQ(t.NALUM, 2);
    EXPECT_EQ(t.GRUPO, "A");
    EXPECT_EQ(t.TNCG, TNC + "A");
    EXPECT_EQ(t.OPCION, "A");
    EXPECT_FALSE(t.REPITE);
    EXPECT_EQ(t.ASIG[0], "X");
    EXPECT_EQ(t.ASIG[1], "LEN");
    EXPECT_EQ(t.DIV[0], "");
    EXPECT_EQ(t.CON[0], "");
}

TEST_F(Grabacion, ARunThatPlacesNobodyRewritesTheSubtypesOnly) {
    TDatosOrganizar d =
        Datos(Curso(TNC, 2, 30), {Optativa(TNC, "Q", 1, 30, 1, 1, 0)},
              {Subtipo(TNC, 3, "A", {"Q"}), Subtipo(TNC, 2, "B", {"Q"}), Subtipo(TNC, 1, "A", {"Q"})});
    // counted but not optional: it offers no connection code, so nobody fits
    d.AsigOptativas.clear();
    auto r = Organiza(O, d, 1);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->TipGrup.empty());
    ASSERT_EQ(r->Tipos.size(), 2u);
    EXPECT_EQ(r->Tipos[0].NALUM + r->Tipos[1].NALUM, 6);
    EXPECT_EQ(r->Tipos[0].N, 0);
    EXPECT_EQ(r->Tipos[1].N, 1);
}

TEST_F(Grabacion, LabelsAreWrittenInTheAlphabetsInForceWhenTheDialogCloses) {
    TDatosOrganizar d = Datos(Curso(TNC, 12, 30), {Optativa(TNC, "X", 2, 30, 2, 1, 1)}, {});
    d.TipGrup2 = {Colocado(TNC, 2, "J", "", {{"X", "a", "a"}}), Colocado(TNC, 3, "K", "", {{"X", "a", "a"}})};
    TOpcionesOrganizar cierre;
    cierre.Grupo = cierre.Division = cierre.Conexion = TNumeracion::N123;
    auto r = Organiza(O, d, 2, {}, {}, cierre);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->TipGrup.size(), 2u);
    EXPECT_EQ(r->TipGrup[0].GRUPO, "0");  // index 9
    EXPECT_EQ(r->TipGrup[0].TNCG, TNC + "0");
    EXPECT_EQ(r->TipGrup[1].GRUPO, "a");  // index 10
    for (const auto& t : r->TipGrup) {
        EXPECT_EQ(t.DIV[0], "1");
        EXPECT_EQ(t.CON[0], "1");
    }
}

TEST_F(Grabacion, DivisionsAreRenumberedFromZeroWhateverIndexesTheyHad) {
    struct Caso {
        const char* Baja;
        const char* Alta;
    } casos[] = {{"b", "d"}, {"4", "6"}};  // indexes 1 and 3; 55 and 57
    for (const auto& c : casos) {
        TDatosOrganizar d = Datos(Curso(TNC, 3, 30), {Optativa(TNC, "X", 60, 30, 60, 1, 2)}, {});
        d.TipGrup2 = {
            Colocado(TNC, 2, "A", "", {{"X", c.Baja, "a"}}), Colocado(TNC, 2, "B", "", {{"X", c.Baja, "a"}}),
            Colocado(TNC, 2, "A", "", {{"X", c.Alta, "b"}}), Colocado(TNC, 2, "C", "", {{"X", c.Alta, "b"}})};
        TMensajes m;
        TOrganizadorPrueba o;
        auto r = Organiza(o, d, 2);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->TipGrup.size(), 4u);
        std::map<AnsiString, std::set<AnsiString>> divisiones;  // connection -> divisions
        for (const auto& t : r->TipGrup) divisiones[t.CON[0]].insert(t.DIV[0]);
        EXPECT_EQ(divisiones, (std::map<AnsiString, std::set<AnsiString>>{{"a", {"a"}}, {"b", {"b"}}}));
    }
}

TEST_F(Grabacion, AClassSeveralRowsHoldGetsAConnectionOfItsOwn) {
    const TDatosOrganizar d =
        Datos(Curso(TNC, 1, 30), {Optativa(TNC, "X", 1, 30, 1, 1, 1), Optativa(TNC, "Y", 1, 30, 1, 2, 1)},
              {Subtipo(TNC, 3, "A", {"X", "Y"}), Subtipo(TNC, 2, "A", {"X"})});
    auto r = Organiza(O, d, 1);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->TipGrup.size(), 2u);
    EXPECT_NE(r->TipGrup[0].CON[0], "");
    EXPECT_EQ(r->TipGrup[0].CON[0], r->TipGrup[1].CON[0]);
    EXPECT_EQ(r->TipGrup[0].DIV[0], "");
}

// The written result, reloaded with three late students, leaves room for
// them: the classes a group has on its own are written without division,
// and must not take divisions away when they come back.
TEST_F(Grabacion, AWrittenResultReloadsWithTheRoomItHad) {
    TDatosOrganizar d =
        Datos(Curso(TNC, 2, 15), {Optativa(TNC, "X", 2, 20, 2, 1, 2)}, {Subtipo(TNC, 20, "", {"X"})});
    auto r = Organiza(O, d, 1);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->TipGrup.size(), 2u);
    for (const auto& t : r->TipGrup)
        EXPECT_EQ(t.DIV[0], "") << "the fixture must write classes without division";

    Recarga(d, *r);
    d.Tipos2.push_back(Subtipo(TNC, 3, "", {"X"}));
    const TCorrida c = Corre(d, 2);
    ASSERT_TRUE(c.Resultado);
    EXPECT_EQ(c.SinGrupo, 0);
    for (const auto& f : validador::Todo(d, c.Colocacion, *c.Resultado, false)) ADD_FAILURE() << f;
}

// Passing the result to the students, as the placing step does: the first
// row with students left whose subjects include all of the student's.
int SinRow(const std::vector<escuela::TAlumno>& Alumnos, std::vector<TFilaTipGrup> Filas) {
    int sin = 0;
    for (const auto& a : Alumnos) {
        bool puesto = false;
        for (auto& f : Filas) {
            if (f.NALUM == 0) continue;
            const bool cubre = std::all_of(a.Asigs.begin(), a.Asigs.end(), [&](const AnsiString& s) {
                return std::any_of(f.ASIG.begin(), f.ASIG.end(),
                                   [&](const AnsiString& x) { return AnsiSameText(x, s); });
            });
            if (!cubre) continue;
            --f.NALUM;
            puesto = true;
            break;
        }
        sin += !puesto;
    }
    return sin;
}

TEST_F(Grabacion, OnTheSampleSchoolEveryStudentGetsAGroupWhenTheResultIsPlaced) {
    escuela::TEscuela e = escuela::Genera({60, 2, 7, 2, false, 21});
    std::erase_if(e.Alumnos, [](const escuela::TAlumno& a) { return a.ANULAR; });
    e.Datos.Tipos2 = escuela::Subtipos(e.TNC, e.Alumnos);
    escuela::Listas(e.Datos, e.Alumnos);
    const TCorrida c = Corre(e.Datos);
    ASSERT_TRUE(c.Resultado);
    EXPECT_EQ(c.SinGrupo, 0);
    for (const auto& f : validador::Todo(e.Datos, c.Colocacion, *c.Resultado, false)) ADD_FAILURE() << f;
    EXPECT_EQ(SinRow(e.Alumnos, c.Resultado->TipGrup), 0);
}

}  // namespace
