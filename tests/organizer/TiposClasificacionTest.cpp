// The classification without tables: CONTADOR, the nine lists with and
// without students, the subtype texts, the type-in-group memos and the cut
// of texts longer than their room.
#include <gtest/gtest.h>

#include "organizer/Clasificacion.h"
#include "platform/rtl/Format.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

namespace {

std::vector<AnsiString> V(std::initializer_list<const char*> L) { return {L.begin(), L.end()}; }

// Students: MAT and LEN for everyone, optional FRA/ALE, REL only for an
// annulled student; subjects of the course: every one of them, plus TEC
// which nobody takes.
struct TCursoPequeno {
    std::vector<TFilaAlumno> Alumnos = {
        Alu("A", false, {"MAT", "LEN", "FRA"}),
        Alu("A", false, {"MAT", "LEN", "ALE"}),
        Alu("B", true, {"LEN", "MAT", "FRA"}),
        Alu("B", false, {"MAT", "LEN", "REL"}, true),
    };
    std::vector<TFilaSubtipo> Subtipos = {
        Sub(1, 2, "A", false, {"MAT", "LEN", "FRA"}),
        Sub(2, 1, "A", false, {"MAT", "LEN", "ALE"}),
        Sub(3, 1, "B", true, {"MAT", "LEN", "FRA", "XXX"}),
    };
    std::vector<TFilaAsignatura> AsigCur = {
        Asig("LEN", 4, true, 2), Asig("MAT", 4, true, 2),  Asig("FRA", 3, true, 1),
        Asig("ALE", 3, true, 1), Asig("REL", 1, false, 1), Asig("TEC", 2, true, 1),
    };
    std::vector<TFilaEnGrupo> TipGrup = {
        Fila(4, 2, "A", "A", false, {{"MAT", "1", "b"}, {"FRA", "1", "a"}}),
        Fila(5, 1, "B", "A", false, {{"MAT", "2", "a"}, {"ALE", "", "B"}}),
    };
    TListasTipos Listas() {
        CuentaContadores(AsigCur, Subtipos);
        return CalculaListas(Alumnos, Subtipos, TipGrup, AsigCur);
    }
};

}  // namespace

TEST(TiposClasificacion, CountersCountSlotsOfSubtypesWithExactCodes) {
    std::vector<TFilaAsignatura> asigcur = {Asig("MAT"), Asig("FRA"), Asig("mat")};
    asigcur[1].CONTADOR = 7;  // left from an earlier count
    CuentaContadores(asigcur, {Sub(1, 5, "", false, {"MAT", "FRA"}), Sub(2, 5, "", false, {"MAT", "ZZZ"}),
                               Sub(3, 1, "", false, {"mat"})});
    EXPECT_EQ(asigcur[0].CONTADOR, 2);
    EXPECT_EQ(asigcur[1].CONTADOR, 1);
    EXPECT_EQ(asigcur[2].CONTADOR, 1);
}

TEST(TiposClasificacion, ListsWithStudents) {
    TCursoPequeno c;
    const auto L = c.Listas();
    EXPECT_EQ(L.AsigTodosAlumnos.Codigos(), V({"MAT", "LEN", "FRA", "ALE", "REL"}));
    EXPECT_EQ(L.AsigAlumnos.Codigos(), V({"MAT", "LEN", "FRA", "ALE"}));
    // Descending CONTADOR; TEC counts but no subtype lists it; REL does not count.
    EXPECT_EQ(L.AsigCuenta.Codigos(), V({"LEN", "MAT", "FRA", "ALE"}));
    EXPECT_EQ(L.AsigCuentaOptativas.Codigos(), V({"FRA", "ALE"}));
    EXPECT_EQ(L.AsigComunes.Codigos(), V({"MAT", "LEN"}));
    EXPECT_EQ(L.AsigOptativas.Codigos(), V({"FRA", "ALE"}));
    EXPECT_EQ(L.AsigComunesTodos.Codigos(), V({"MAT", "LEN"}));
    EXPECT_EQ(L.AsigOptativasTodos.Codigos(), V({"FRA", "ALE", "REL"}));
    EXPECT_EQ(L.Conexiones.Codigos(), V({"a", "b"}));  // "B" is "b" for the list
}

TEST(TiposClasificacion, ListsWithoutStudents) {
    TCursoPequeno c;
    c.Alumnos.clear();
    auto L = c.Listas();
    EXPECT_EQ(L.AsigTodosAlumnos.Codigos(), V({"ALE", "FRA", "LEN", "MAT", "REL", "TEC"}));
    EXPECT_EQ(L.AsigAlumnos.Codigos(), L.AsigTodosAlumnos.Codigos());
    EXPECT_EQ(L.AsigCuenta.Codigos(), V({"ALE", "FRA", "LEN", "MAT", "TEC"}));
    EXPECT_EQ(L.AsigCuentaOptativas.Codigos(), L.AsigCuenta.Codigos());
    EXPECT_EQ(L.AsigComunes.Codigos(), V({"LEN", "MAT"}));  // every subtype has them
    EXPECT_EQ(L.AsigOptativasTodos.Codigos(), V({"ALE", "FRA", "REL", "TEC"}));

    c.Subtipos.clear();
    L = c.Listas();
    EXPECT_EQ(L.AsigComunes.Codigos(), L.AsigAlumnos.Codigos());
    EXPECT_TRUE(L.AsigOptativas.Codigos().empty());
}

TEST(TiposClasificacion, SubtypeTexts) {
    TCursoPequeno c;
    const auto L = c.Listas();
    struct TCaso {
        TFilaSubtipo Subtipo;
        TOpcionesTipos Opciones;
        TTextosSubtipo Textos;
    };
    const AnsiString sinTipo = AnsiString(11, ' ') + "--";  // neither OPCION nor REPITE in the type key
    const std::vector<TCaso> casos = {
        {Sub(1, 1, "A", true, {"MAT", "LEN"}),
         {},
         {"SubTp: Op:A Rep:SI--", "SubTp: Op:A Rep:SI--", sinTipo, sinTipo}},
        {Sub(1, 1, "", false, {"ALE", "MAT"}),
         {},
         {"SubTp: Op:  Rep:NO--ALE", "SubTp: Op:  Rep:NO--     ALE", sinTipo + "ALE", sinTipo + "     ALE"}},
        {Sub(1, 1, "B", false, {"REL", "FRA"}),
         {false, true, true},
         {"SubTp: Op:B Rep:NO--FRA  REL", "SubTp: Op:B Rep:NO--FRA       REL", "Op:B Rep:NO--FRA",
          "Op:B Rep:NO--FRA"}},
        {Sub(1, 1, "B", false, {"FRA", "MAT"}),
         {true, false, true},
         {"SubTp: Op:B Rep:NO--MAT  FRA", "SubTp: Op:B Rep:NO--MAT       FRA", "     Rep:NO--MAT  FRA",
          "     Rep:NO--MAT       FRA"}},
        // A slot that spells a listed code otherwise is in none of the texts.
        {Sub(1, 1, "", false, {"fra"}),
         {},
         {"SubTp: Op:  Rep:NO--", "SubTp: Op:  Rep:NO--", sinTipo, sinTipo}},
    };
    for (const auto& k : casos)
        EXPECT_EQ(TextosSubtipo(k.Subtipo, L, k.Opciones), k.Textos) << k.Textos.ASIGS;
}

// Subtypes that differ only in a subject that does not count, or only in
// one every student takes, are one type; the options split types by OPCION.
TEST(TiposClasificacion, TypeKeyGroupsSubtypes) {
    TCursoPequeno c;
    const auto L = c.Listas();
    auto clave = [&](const TFilaSubtipo& s, TOpcionesTipos o = {}) { return TextosSubtipo(s, L, o).ASIGSCU; };
    EXPECT_EQ(clave(Sub(1, 1, "A", false, {"FRA", "REL"})), clave(Sub(2, 1, "A", false, {"FRA"})));
    EXPECT_EQ(clave(Sub(1, 1, "A", false, {"FRA", "MAT"})), clave(Sub(2, 1, "A", false, {"FRA"})));
    EXPECT_EQ(clave(Sub(1, 1, "A", false, {"FRA"})), clave(Sub(2, 1, "B", false, {"FRA"})));
    EXPECT_NE(clave(Sub(1, 1, "A", false, {"FRA"}), {false, true, false}),
              clave(Sub(2, 1, "B", false, {"FRA"}), {false, true, false}));
    EXPECT_NE(clave(Sub(1, 1, "A", false, {"FRA"})), clave(Sub(2, 1, "A", false, {"ALE"})));
}

TEST(TiposClasificacion, TypeInGroupMemos) {
    TCursoPequeno c;
    const auto L = c.Listas();  // Conexiones: a, b
    const auto m = MemosTipGrup(c.TipGrup[0], L, {});
    // Shown: FRA only (MAT is common). Block: P, MAT (b, column 1), FRA (a, column 0).
    EXPECT_EQ(m[0], "Op:A Rep:NO--FRA .1:a");
    EXPECT_EQ(m[1], "Op:A Rep:NO--FRA .1:a");
    EXPECT_EQ(m[2], "Op:A Rep:NO--FRA .1:a MAT .1:b");
    EXPECT_EQ(m[3], m[2]);

    const auto t =
        MemosTipGrup(Fila(9, 1, "A", "", true, {{"MAT", "1", "a"}, {"ALE", "2"}, {"FRA"}}), L, {true});
    // The cell «MAT .1:a » at position 13 of the block; the part after the
    // block starts at 13 + 9 x 2 = 31; ALE and FRA have no code.
    const AnsiString bloque = "Op:  Rep:SI--MAT .1:a" + AnsiString(10, ' ');
    EXPECT_EQ(t[2], bloque + AnsiString(9 * 2, ' ') + "FRA . :  ALE .2:");
    EXPECT_EQ(t[3], bloque + "FRA . :  ALE .2:");
    EXPECT_EQ(t[0], "Op:  Rep:SI--MAT .1:a FRA . :  ALE .2:");
    // Columns: MAT 0, LEN 1 (not in the row), FRA 2, ALE 3.
    EXPECT_EQ(t[1], "Op:  Rep:SI--MAT .1:a " + AnsiString(9, ' ') + "FRA . :  ALE .2:");
}

// The cut rule: whole pieces only, never past the room.
TEST(TiposClasificacion, LongTextsAreCutAtWholePiecesWithinTheirRoom) {
    std::vector<TFilaAlumno> alumnos;
    std::vector<TFilaAsignatura> asigcur;
    std::vector<AnsiString> codigos;
    for (int i = 0; i < 120; ++i) {
        codigos.push_back(Format("S%.3d", {i}));
        asigcur.push_back(Asig(codigos.back().c_str()));
    }
    // 120 optional subjects: every student takes 20 of them.
    TFilaSubtipo s = Sub(1, 1, "", false, {});
    TFilaEnGrupo f = Fila(1, 1, "A", "", false, {});
    for (int a = 0; a < 6; ++a) {
        TFilaAlumno al = Alu("", false, {});
        for (int k = 0; k < 20; ++k)
            al.ASIG[static_cast<size_t>(k)] = codigos[static_cast<size_t>(a * 20 + k)];
        alumnos.push_back(al);
    }
    for (int k = 0; k < 20; ++k) {
        s.ASIG[static_cast<size_t>(k)] = codigos[static_cast<size_t>(100 + k)];  // columns 100..119
        f.ASIG[static_cast<size_t>(k)] = codigos[static_cast<size_t>(5 * k)];
        f.DIV[static_cast<size_t>(k)] = "1";
        f.CON[static_cast<size_t>(k)] = Format("%d", {k});  // 20 codes
    }
    std::vector<TFilaEnGrupo> tipgrup = {f};
    CuentaContadores(asigcur, {s});
    const auto L = CalculaListas(alumnos, {s}, tipgrup, asigcur);
    const auto t = TextosSubtipo(s, L, {});
    EXPECT_EQ(t.ASIGS.size(), 20u + 5 * 20 - 1);    // twenty pieces, the last one's blank trimmed
    EXPECT_EQ(t.ASIGSCOL, "SubTp: Op:  Rep:NO--");  // columns 100 and on start past the room
    for (const auto& x : {t.ASIGS, t.ASIGSCOL, t.ASIGSCU, t.ASIGSCUCOL}) EXPECT_LE(x.size(), 249u);

    const auto m = MemosTipGrup(f, L, {});
    EXPECT_EQ(m[0].size(), 13u + 10 * 9 + 10 * 10 - 1);  // every cell listed: "S000.1:0 " ... "S095.1:19"
    EXPECT_LE(m[1].size(), 499u);
    // Column cells of 9 characters at 13 + 9k: k = 0, 5, ..., 50 fit (50: 463..471), 55 does not.
    EXPECT_EQ(m[1].substr(13 + 9 * 50, 9), "S050.1:10");
    EXPECT_EQ(m[1].size(), 13u + 9 * 50 + 9);
    for (const auto& x : m) EXPECT_EQ(x, TrimRight(x));
}
