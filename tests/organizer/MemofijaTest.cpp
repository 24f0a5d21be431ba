#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "organizer/Memofija.h"

namespace {

// Records the calls of the sort over a small array.
struct TTraza {
    std::vector<int> V;
    std::vector<std::string> Llamadas;
    void Ordena() {
        OrdenaShell(
            static_cast<int>(V.size()),
            [&](int i, int j) {
                Llamadas.push_back("c" + std::to_string(i) + std::to_string(j));
                return V[i] - V[j];
            },
            [&](int i, int j) {
                Llamadas.push_back("s" + std::to_string(i) + std::to_string(j));
                std::swap(V[i], V[j]);
            });
    }
};

TEST(OrdenaShell, CallsFollowTheHalvingGaps) {
    struct Caso {
        std::vector<int> Entrada;
        std::vector<std::string> Llamadas;
    } casos[] = {
        {{}, {}},
        {{7}, {}},
        {{1, 2}, {"c01"}},
        {{2, 1}, {"c01", "s01"}},
        // gap 1 only: each new element sinks while it is smaller
        {{3, 2, 1}, {"c01", "s01", "c12", "s12", "c01", "s01"}},
        // gap 2 first, then 1; the inner loop stops when j drops below 1
        {{4, 3, 2, 1}, {"c02", "s02", "c13", "s13", "c01", "s01", "c12", "c23", "s23", "c12"}},
    };
    for (const auto& c : casos) {
        TTraza t{c.Entrada, {}};
        t.Ordena();
        EXPECT_EQ(t.Llamadas, c.Llamadas);
        EXPECT_TRUE(std::is_sorted(t.V.begin(), t.V.end()));
    }
}

TEST(MemoFija, LookupsCompareAbbreviationsExactlyAndCodesWithoutCase) {
    TMemoFija m;
    AnsiString tag;
    ASSERT_TRUE(m.MemoFija({}, tag));
    EXPECT_EQ(m.BuscaCurso("1A", -1), -1);  // no course in use
    m.Cursos[0].Abrev = "1A";
    m.Cursos[1].Abrev = "1A";
    m.Cursos[2].Abrev = "1A ";
    m.NumCursos = 3;
    EXPECT_EQ(m.BuscaCurso("1A", -1), 0);
    EXPECT_EQ(m.BuscaCurso("1A", 0), 1);
    EXPECT_EQ(m.BuscaCurso("1A ", -1), 2);
    EXPECT_EQ(m.BuscaCurso("1a", -1), -1);
    m.Asignaturas[0] = {"1A", "MAT", 2, 30, 2, 1, 1, {}};
    m.Asignaturas[1] = {"1B", "FRA", 2, 30, 2, 1, 1, {}};
    m.Asignaturas[2] = {"1A", "FRA", 2, 30, 2, 1, 1, {}};
    m.NumAsignaturas = 3;
    EXPECT_EQ(m.BuscaAsignatura("1A", "fra", -1), 2);
    EXPECT_EQ(m.BuscaAsignatura("1A", "MAT", 0), -1);
    EXPECT_EQ(m.BuscaAsignatura("1a", "MAT", -1), -1);
}

TEST(MemoFija, AFailedAllocationReportsItsTagAndFreesEverything) {
    for (const char* t :
         {"EN MEMOFIJA 1", "EN MEMOFIJA 2", "EN MEMOFIJA 3", "EN MEMOFIJA 4", "EN MEMOFIJA 41"}) {
        TMemoFija m;
        AnsiString tag;
        EXPECT_FALSE(m.MemoFija([&](const AnsiString& x) { return x == t; }, tag));
        EXPECT_EQ(tag, t);
        EXPECT_FALSE(m.Reservada());
        EXPECT_TRUE(m.Nombres.empty() && m.Cursos.empty() && m.Asignaturas.empty());
        m.LiberaMemoFija();  // twice is harmless
    }
    EXPECT_EQ(TextoMemInsuf("EN MEMOFIJA 1"), "MEMORIA INSUFICIENTE EN MEMOFIJA 1");
}

TEST(MemoFija, InitialRecordsCarryTheFirstCourseAndOpenLimits) {
    TMemoFija m;
    AnsiString tag;
    ASSERT_TRUE(m.MemoFija({}, tag));
    EXPECT_EQ(m.Cursos[0].NMaxAl[29], 1000);
    EXPECT_EQ(m.Asignaturas[5].NMaxAl[0], 1000);
    m.Cursos[0].Abrev = "2B";
    TFilaTipo t;
    m.IniciaFilaTipo(t);
    EXPECT_EQ(t.Curso, "2B");
    EXPECT_EQ(t.Numero, -1);
    EXPECT_EQ(t.Grupo, -1);
    EXPECT_EQ(t.Slots[19].Div, -1);
    EXPECT_EQ(t.Slots[19].Con, -1);
}

TEST(Numeracion, LettersAreWrittenAndReadInTheChosenAlphabet) {
    struct Caso {
        TNumeracion N;
        int Indice;
        const char* Texto;
    } casos[] = {
        {TNumeracion::ABC, 0, "A"},   {TNumeracion::ABC, 1, "B"},  {TNumeracion::ABC, 26, "a"},
        {TNumeracion::ABC, 61, "0"},  {TNumeracion::N123, 0, "1"}, {TNumeracion::N123, 9, "0"},
        {TNumeracion::N123, 10, "a"}, {TNumeracion::abc, 0, "a"},  {TNumeracion::abc, 26, "A"},
        {TNumeracion::abc, -1, ""},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(EscribeNumero(c.N, c.Indice), c.Texto);
        EXPECT_EQ(LeeNumero(c.N, c.Texto), c.Indice);
        EXPECT_EQ(LeeConexion(c.N, c.Texto), c.Indice);
    }
    EXPECT_EQ(LeeNumero(TNumeracion::ABC, "?"), -1);
    EXPECT_EQ(LeeNumero(TNumeracion::ABC, "B1"), 1);  // a group label reads by its first letter
    EXPECT_EQ(LeeConexion(TNumeracion::ABC, "A?"), -1);
}

TEST(Numeracion, ConnectionNumbersPastTheAlphabetTakeMoreLettersAndReadBack) {
    for (TNumeracion n : {TNumeracion::ABC, TNumeracion::N123, TNumeracion::abc}) {
        for (int i = 0; i < 5000; ++i) {
            const AnsiString t = EscribeNumero(n, i);
            ASSERT_EQ(t.size(), i < 62 ? 1u : i < 62 + 62 * 62 ? 2u : 3u);
            ASSERT_EQ(LeeConexion(n, t), i);
        }
        const AnsiString ultimo = EscribeNumero(n, MaxConexionEscribible);
        EXPECT_EQ(ultimo.size(), 3u);
        EXPECT_EQ(LeeConexion(n, ultimo), MaxConexionEscribible);
    }
    EXPECT_EQ(EscribeNumero(TNumeracion::ABC, 62), "AA");
}

TEST(FilasOrganizar, TableNumbersBecomeWholeNumbersByOneRule) {
    struct Caso {
        double V;
        int E;
    } casos[] = {{3.0, 3}, {2.9999999, 3}, {-1.0, -1}, {0.4, 0}, {NAN, 0}, {1e12, INT_MAX}, {-1e12, INT_MIN}};
    for (const auto& c : casos) EXPECT_EQ(EnteroDeTabla(c.V), c.E) << c.V;
}

}  // namespace
