// Moves between subtypes and types-in-group without tables: splitting,
// fitting rows, rows moved back to zero, the empty group, and the
// invariants after every move: the students are all still there, and every
// row number is used once.
#include <gtest/gtest.h>

#include <set>

#include "organizer/Traslados.h"
#include "platform/sys/Dialogs.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

namespace {

int Alumnos(const TTrabajoTipos& T) {
    int n = 0;
    for (const auto& s : T.Tipos) n += s.NALUM;
    for (const auto& f : T.TipGrup) n += f.NALUM;
    return n;
}

void CompruebaInvariantes(const TTrabajoTipos& T, int AlumnosEsperados) {
    EXPECT_EQ(Alumnos(T), AlumnosEsperados);
    std::set<int> tipos, tipgrup;
    for (const auto& s : T.Tipos) EXPECT_TRUE(tipos.insert(s.N).second) << "repeated subtype N " << s.N;
    for (const auto& f : T.TipGrup) EXPECT_TRUE(tipgrup.insert(f.N).second) << "repeated row N " << f.N;
    for (const auto& f : T.TipGrup) EXPECT_EQ(f.TNCG, T.TNC + f.GRUPO);
}

// Two subtypes of one type (REL and ETI do not count) and a group "A" with a
// row fitting each of them.
TTrabajoTipos Trabajo() {
    TTrabajoTipos T;
    T.TNC = "DESO4";
    T.Tipos = {Sub(1, 5, "A", false, {"MAT", "FRA", "REL"}), Sub(2, 3, "A", false, {"MAT", "FRA", "ETI"}),
               Sub(3, 4, "B", false, {"MAT"})};
    T.Tipos[0].ASIGSCU = T.Tipos[1].ASIGSCU = "--FRA";
    T.Tipos[2].ASIGSCU = "--";
    T.Tipos[0].ASIGS = "SubTp: Op:A Rep:NO--FRA  REL";
    T.TipGrup = {Fila(5, 1, "A", "A", false, {{"MAT"}, {"FRA"}, {"ETI"}, {"ING"}}),
                 Fila(4, 2, "A", "A", false, {{"MAT", "1"}, {"FRA", "2", "a"}, {"REL"}})};
    return T;
}

TNumeradorFilas Numerador(const TTrabajoTipos& T) {
    TNumeradorFilas n;
    for (const auto& s : T.Tipos) n.Observa(s.N);
    for (const auto& f : T.TipGrup) n.Observa(f.N);
    return n;
}

}  // namespace

TEST(Traslados, AWholeTypeIntoAGroupJoinsTheFittingRows) {
    auto T = Trabajo();
    auto num = Numerador(T);
    ASSERT_EQ(OfertaTipo(T, 2).Numero, 8);
    ASSERT_TRUE(TrasladaTipoAGrupo(T, 2, 8, "A", num));
    CompruebaInvariantes(T, 15);
    EXPECT_EQ(T.Tipos[0].NALUM, 0);  // subtypes left empty stay
    EXPECT_EQ(T.Tipos[1].NALUM, 0);
    EXPECT_EQ(T.TipGrup[1].NALUM, 2 + 5);  // row 4 fits subtype 1
    EXPECT_EQ(T.TipGrup[0].NALUM, 1 + 3);  // row 5 fits subtype 2
    EXPECT_EQ(T.TipGrup.size(), 2u);
}

TEST(Traslados, PartOfATypeIsTakenFromItsSubtypesInNumberOrder) {
    auto T = Trabajo();
    std::swap(T.Tipos[0], T.Tipos[1]);  // record order is not N order
    auto num = Numerador(T);
    ASSERT_TRUE(TrasladaTipoAGrupo(T, 1, 6, "C", num));
    CompruebaInvariantes(T, 15);
    EXPECT_EQ(T.Tipos[1].NALUM, 0);  // N 1 gives its 5
    EXPECT_EQ(T.Tipos[0].NALUM, 2);  // N 2 gives 1
    ASSERT_EQ(T.TipGrup.size(), 4u);
    EXPECT_EQ(T.TipGrup[2].NALUM, 5);
    EXPECT_EQ(T.TipGrup[3].NALUM, 1);
    EXPECT_EQ(T.TipGrup[2].N, 6);
    EXPECT_EQ(T.TipGrup[3].N, 7);
    EXPECT_EQ(T.TipGrup[2].TNCG, "DESO4C");
    EXPECT_EQ(T.TipGrup[2].ASIG, T.Tipos[1].ASIG);
}

TEST(Traslados, ASubtypeJoinsOnlyARowOfItsGroupThatHasAllItsSubjects) {
    struct TCaso {
        const char* Nombre;
        TFilaEnGrupo Destino;
        bool Junta;
    };
    const std::vector<TCaso> casos = {
        {"superset", Fila(9, 1, "A", "B", false, {{"MAT"}, {"FRA"}, {"ING"}}), true},
        {"letter case of codes", Fila(9, 1, "A", "B", false, {{"mat"}, {"fra"}}), true},
        {"missing a subject", Fila(9, 1, "A", "B", false, {{"MAT"}}), false},
        {"other OPCION", Fila(9, 1, "A", "A", false, {{"MAT"}, {"FRA"}}), false},
        {"other REPITE", Fila(9, 1, "A", "B", true, {{"MAT"}, {"FRA"}}), false},
        {"group a is not A", Fila(9, 1, "a", "B", false, {{"MAT"}, {"FRA"}}), false},
    };
    for (const auto& c : casos) {
        TTrabajoTipos T;
        T.TNC = "DESO4";
        T.Tipos = {Sub(1, 4, "B", false, {"MAT", "FRA"})};
        T.TipGrup = {c.Destino};
        auto num = Numerador(T);
        ASSERT_TRUE(TrasladaSubtipoAGrupo(T, 1, 3, "A", num)) << c.Nombre;
        CompruebaInvariantes(T, 5);
        EXPECT_EQ(T.TipGrup.size(), c.Junta ? 1u : 2u) << c.Nombre;
        EXPECT_EQ(T.TipGrup[0].NALUM, c.Junta ? 4 : 1) << c.Nombre;
        EXPECT_EQ(T.Tipos[0].NALUM, 1);
    }
}

TEST(Traslados, ConfirmedWithoutGroupGoesToTheGroupWithNoLetter) {
    TScriptedDialogs d;
    d.Then(IDOK);
    auto T = Trabajo();
    auto num = Numerador(T);
    ASSERT_EQ(CompruebaTraslado(2, 5, true, "", PreguntaSinGrupo), TRespuestaTraslado::Confirmar);
    ASSERT_TRUE(TrasladaSubtipoAGrupo(T, 1, 2, "", num));
    CompruebaInvariantes(T, 15);
    EXPECT_EQ(T.TipGrup.back().GRUPO, "");
    EXPECT_EQ(T.TipGrup.back().TNCG, "DESO4");
    EXPECT_EQ(d.Asked().at(0).Caption, "Atenci\xF3n");
    EXPECT_EQ(d.Asked().at(0).Flags & MB_TYPEMASK, unsigned{MB_OKCANCEL});
}

TEST(Traslados, TheDialogRefusesWrongNumbers) {
    struct TCaso {
        int Numero, Ofrecido;
        bool PideGrupo;
        const char* Grupo;
        int Respuesta;  // to "No se ha especificado grupo", when asked
        TRespuestaTraslado Esperada;
        const char* Mensaje;
    };
    const std::vector<TCaso> casos = {
        {0, 5, true, "A", 0, TRespuestaTraslado::Corregir, "N\xFAmero de alumnos incorrecto"},
        {6, 5, false, "", 0, TRespuestaTraslado::Corregir, "N\xFAmero de alumnos incorrecto"},
        {-1, 5, false, "", 0, TRespuestaTraslado::Corregir, "N\xFAmero de alumnos incorrecto"},
        {1, 5, true, "A", 0, TRespuestaTraslado::Confirmar, nullptr},
        {5, 5, false, "", 0, TRespuestaTraslado::Confirmar, nullptr},
        {5, 5, true, "", IDCANCEL, TRespuestaTraslado::Cancelar, "No se ha especificado grupo"},
        {5, 5, true, "", IDOK, TRespuestaTraslado::Confirmar, "No se ha especificado grupo"},
    };
    for (const auto& c : casos) {
        TScriptedDialogs d;
        if (c.Respuesta) d.Then(c.Respuesta);
        EXPECT_EQ(CompruebaTraslado(c.Numero, c.Ofrecido, c.PideGrupo, c.Grupo, PreguntaSinGrupo), c.Esperada)
            << c.Numero;
        EXPECT_EQ(d.Texts(), c.Mensaje ? std::vector<AnsiString>{c.Mensaje} : std::vector<AnsiString>{});
    }
}

TEST(Traslados, ARowMovedBackToZeroIsDeleted) {
    auto T = Trabajo();
    auto num = Numerador(T);
    // One of row 4 back: it stays with the rest; its students join subtype 1.
    ASSERT_TRUE(TrasladaFilaATipos(T, 4, 1, TListaAsig{}, num));
    CompruebaInvariantes(T, 15);
    EXPECT_EQ(T.TipGrup[1].NALUM, 1);
    EXPECT_EQ(T.Tipos[0].NALUM, 6);
    // The rest: the row goes.
    ASSERT_TRUE(TrasladaFilaATipos(T, 4, 1, TListaAsig{}, num));
    CompruebaInvariantes(T, 15);
    ASSERT_EQ(T.TipGrup.size(), 1u);
    EXPECT_EQ(T.TipGrup[0].N, 5);
    EXPECT_EQ(T.Tipos[0].NALUM, 7);
    // A number above the row's students moves nothing.
    EXPECT_FALSE(TrasladaFilaATipos(T, 5, 2, TListaAsig{}, num));
    EXPECT_FALSE(TrasladaFilaATipos(T, 4, 1, TListaAsig{}, num));
}

// The new subtype takes the row's slots that hold a subject of the students
// spelled exactly as the list has it: a slot "MAT" is not the list's "mat".
TEST(Traslados, ARowWithNoFittingSubtypeMakesOneOfItsStudentsSubjects) {
    struct TCaso {
        std::vector<const char*> DeAlumnos;  // ING: no student takes it
        THuecos Espera;
    } casos[] = {
        {{"MAT", "FRA", "ETI"}, Huecos({"MAT", "FRA", "ETI"})},
        {{"mat", "FRA", "ETI"}, Huecos({"", "FRA", "ETI"})},
        {{"ETI", "fra"}, Huecos({"", "", "ETI"})},
    };
    for (const auto& c : casos) {
        auto T = Trabajo();
        auto num = Numerador(T);
        TListaAsig alumnos;
        for (const char* a : c.DeAlumnos) alumnos.Anade(a);
        ASSERT_TRUE(TrasladaFilaATipos(T, 5, 1, alumnos, num));
        CompruebaInvariantes(T, 15);
        ASSERT_EQ(T.Tipos.size(), 4u);
        EXPECT_EQ(T.Tipos[3].N, 6);
        EXPECT_EQ(T.Tipos[3].ASIG, c.Espera) << c.DeAlumnos[0];
        EXPECT_EQ(T.Tipos[3].NALUM, 1);
        EXPECT_EQ(T.Tipos[3].OPCION, "A");
    }
}

TEST(Traslados, AWholeGroupBackDeletesEveryEmptyRow) {
    auto T = Trabajo();
    T.TipGrup.push_back(Fila(7, 0, "B", "B", false, {{"MAT"}}));  // another group's empty row
    T.TipGrup.push_back(Fila(8, 2, "B", "B", false, {{"MAT"}}));
    auto num = Numerador(T);
    ASSERT_EQ(OfertaGrupo(T, 4).Numero, 3);
    EXPECT_EQ(OfertaGrupo(T, 4).Texto, "Grupo: A");
    ASSERT_TRUE(TrasladaGrupoATipos(T, 4, 2, TListaAsig{}, num));
    CompruebaInvariantes(T, 17);
    // N order: row 4 gives 2, row 5 keeps its 1; the other group's empty row goes.
    ASSERT_EQ(T.TipGrup.size(), 2u);
    EXPECT_EQ(T.TipGrup[0].N, 5);
    EXPECT_EQ(T.TipGrup[1].N, 8);
    EXPECT_EQ(T.Tipos[0].NALUM, 7);
}

TEST(Traslados, ATypeIntoAGroupAndBackLeavesTheRowsAsTheyWere) {
    auto T = Trabajo();
    T.TipGrup.clear();
    const auto antes = T;
    auto num = Numerador(T);
    ASSERT_TRUE(TrasladaTipoAGrupo(T, 1, 8, "B", num));
    CompruebaInvariantes(T, 12);
    ASSERT_EQ(T.TipGrup.size(), 2u);
    ASSERT_TRUE(TrasladaGrupoATipos(T, T.TipGrup[0].N, 8, TListaAsig{}, num));
    CompruebaInvariantes(T, 12);
    EXPECT_EQ(T, antes);
}

TEST(Traslados, OffersNameWhatMoves) {
    auto T = Trabajo();
    T.TipGrup[0].ASIGSDCM[0] = "Op:A Rep:NO--ETI . :";
    const auto s = OfertaSubtipo(T, 1);
    EXPECT_TRUE(s.Encontrado);
    EXPECT_EQ(s.Titulo, "Trasladar SubTipo a Grupo");
    EXPECT_EQ(s.Texto, "SubTp: Op:A Rep:NO--FRA  REL");
    EXPECT_EQ(s.Numero, 5);
    EXPECT_TRUE(s.PideGrupo);
    const auto t = OfertaTipo(T, 2);
    EXPECT_EQ(t.Titulo, "Trasladar Tipo a Grupo");
    EXPECT_EQ(t.Texto, "--FRA");
    const auto f = OfertaFila(T, 5);
    EXPECT_EQ(f.Titulo, "Trasladar grupo->tipos");
    EXPECT_EQ(f.Texto, "Op:A Rep:NO--ETI . :");
    EXPECT_FALSE(f.PideGrupo);
    EXPECT_EQ(OfertaGrupo(T, 5).Titulo, "Trasladar Grupo a Tipos");
    for (const auto& o : {OfertaSubtipo(T, 99), OfertaTipo(T, 99), OfertaFila(T, 99), OfertaGrupo(T, 99)})
        EXPECT_FALSE(o.Encontrado);
}
