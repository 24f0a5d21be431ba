// The placement checks, the orderings of an option block, the connection
// flood fill and the teachers' count.
#include <gtest/gtest.h>

#include <array>

#include "tests/organizer/Apoyo.h"
#include "tests/organizer/EscuelaSintetica.h"
#include "tests/organizer/Validador.h"

namespace {

using namespace apoyo;

const AnsiString TNC = "2BAC01";

// Three groups (the third with a maximum of 4); X and Y share option block 1,
// Z is alone in block 2. Loaded: group 0 has 6 students in X division 0,
// group 1 has 3 in X division 1 and 2 in Y division 0; 4 more wait.
TDatosOrganizar Estado() {
    TDatosOrganizar d = Datos(Curso(TNC, 3, 10),
                              {Optativa(TNC, "X", 2, 8, 2, 1, 2), Optativa(TNC, "Y", 2, 8, 2, 1, 2),
                               Optativa(TNC, "Z", 1, 30, 1, 2, 1)},
                              {Subtipo(TNC, 4, "A", {"X", "Z"})});
    d.Cursos[0].NMAXAL[2] = 4;
    d.AsigCur[0].NMAXAL[1] = 5;
    d.TipGrup2 = {Colocado(TNC, 6, "A", "A", {{"X", "a", "a"}}),
                  Colocado(TNC, 3, "B", "B", {{"X", "b", "b"}}),
                  Colocado(TNC, 2, "B", "B", {{"Y", "a", "c"}})};
    return d;
}

struct Comprobaciones : TPrueba {
    void SetUp() override {
        TPrueba::SetUp();
        ASSERT_TRUE(Prepara(O, Estado()));
    }
    TOrganizadorPrueba O;
};

TEST_F(Comprobaciones, EachCheckFollowsItsRule) {
    enum { X, Y, Z };
    O.EstCurso[0].CuentaOpcion[0]['A' - 'A'] = 1;
    struct Caso {
        const char* Que;
        std::function<bool()> Prueba;
        bool Espera;
    } casos[] = {
        {"group below its maximum", [&] { return O.CabeEnGrupo(0, 0, 1, 4); }, true},
        {"group past its maximum", [&] { return O.CabeEnGrupo(0, 0, 1, 5); }, false},
        {"balanced group at its average", [&] { return O.CabeEnGrupo(0, 0, 0, 1); }, false},
        {"group with a maximum of its own", [&] { return O.CabeEnGrupo(0, 2, 1, 5); }, false},
        {"group with a maximum of its own, fits", [&] { return O.CabeEnGrupo(0, 2, 1, 4); }, true},
        {"group without one takes the course's", [&] { return O.CabeEnGrupo(0, 1, 1, 5); }, true},
        {"separated: another letter", [&] { return O.OpcionDelGrupo(0, 0, 'B', 1, 1); }, false},
        {"separated: the group's letter", [&] { return O.OpcionDelGrupo(0, 0, 'A', 1, 1); }, true},
        {"not separated, relaxed: letters mix", [&] { return O.OpcionDelGrupo(0, 0, 'B', 0, 1); }, true},
        {"not separated, balanced: they do not", [&] { return O.OpcionDelGrupo(0, 0, 'B', 0, 0); }, false},
        {"a group with no letter yet", [&] { return O.OpcionDelGrupo(0, 1, 'B', 1, 1); }, true},
        {"a letter past J", [&] { return O.OpcionDelGrupo(0, 0, 'K', 1, 1); }, true},
        {"no letter", [&] { return O.OpcionDelGrupo(0, 0, 0, 1, 0); }, true},
        {"join 0: division of another group", [&] { return O.DivisionDelGrupo(X, 0, 1, 0); }, false},
        {"join 0: the group's own division", [&] { return O.DivisionDelGrupo(X, 0, 0, 0); }, true},
        {"join 1", [&] { return O.DivisionDelGrupo(X, 0, 1, 1); }, true},
        {"split 0: the group is in another division", [&] { return O.GrupoEnDivision(X, 1, 0, 0); }, false},
        {"split 0: its own division", [&] { return O.GrupoEnDivision(X, 0, 0, 0); }, true},
        {"split 0: a group without the subject", [&] { return O.GrupoEnDivision(X, 0, 2, 0); }, true},
        {"split 1", [&] { return O.GrupoEnDivision(X, 1, 0, 1); }, true},
        {"division within the subject's maximum", [&] { return O.CabeEnDivision(X, 0, 0, 1, 2); }, true},
        {"division past it", [&] { return O.CabeEnDivision(X, 0, 0, 1, 3); }, false},
        {"the group's own maximum for the subject", [&] { return O.CabeEnDivision(X, 1, 1, 1, 3); }, false},
        {"it binds up to its figure", [&] { return O.CabeEnDivision(X, 1, 1, 1, 2); }, true},
        {"it caps the whole division the group joins", [&] { return O.CabeEnDivision(X, 0, 1, 1, 1); },
         false},
        {"another group's maximum does not bind a newcomer", [&] { return O.CabeEnDivision(X, 1, 2, 1, 3); },
         true},
        {"the newcomer keeps the subject's maximum", [&] { return O.CabeEnDivision(X, 1, 2, 1, 6); }, false},
        {"balanced division past its average", [&] { return O.CabeEnDivision(X, 0, 2, 0, 2); }, false},
        {"block: a group in two subjects of it", [&] { return O.BloqueEnDivision(X, 0, 1, 0, 0, 0); }, false},
        {"block: its own division", [&] { return O.BloqueEnDivision(X, 1, 1, 0, 0, 0); }, true},
        {"block: one subject so far", [&] { return O.BloqueEnDivision(Y, 0, 0, 0, 0, 0); }, true},
        {"block: lifted at 1,1,1", [&] { return O.BloqueEnDivision(X, 0, 1, 1, 1, 1); }, true},
        {"new connections: a code earlier groups use",
         [&] { return O.ConexionesNuevas(X, 0, 1, 0, 0, 0, 0); }, false},
        {"new connections: the second code", [&] { return O.ConexionesNuevas(X, 0, 1, 1, 0, 0, 0); }, true},
        {"new connections: the group's own division", [&] { return O.ConexionesNuevas(X, 0, 0, 1, 0, 0, 0); },
         true},
        {"new connections: group 0 alone", [&] { return O.ConexionesNuevas(Z, 0, 0, 0, 0, 0, 0); }, true},
        {"new connections: lifted at 1,1,1", [&] { return O.ConexionesNuevas(X, 0, 1, 0, 1, 1, 1); }, true},
    };
    for (const auto& c : casos) EXPECT_EQ(c.Prueba(), c.Espera) << c.Que;
    EXPECT_GT(O.Estadistica.Comprobaciones, 30);
}

// The option letters are the ten from 'A' to 'J': each of them keeps to a
// group of its own letter when letters are separated (and in a balanced
// try), and any other byte is no letter, which no group refuses.
TEST_F(Comprobaciones, OptionLettersAToJAreKeptApartAndNoOtherByteIs) {
    auto& cuentas = O.EstCurso[0].CuentaOpcion[0];
    for (int c = 0; c < 256; ++c) {
        const char letra = static_cast<char>(c);
        const bool esLetra = letra >= 'A' && letra <= 'J';
        SCOPED_TRACE(c);
        cuentas.fill(0);
        cuentas[letra == 'A' ? 1 : 0] = 1;  // the group holds another letter
        EXPECT_EQ(O.OpcionDelGrupo(0, 0, letra, 1, 1), !esLetra) << "separated";
        EXPECT_EQ(O.OpcionDelGrupo(0, 0, letra, 0, 0), !esLetra) << "balanced";
        EXPECT_TRUE(O.OpcionDelGrupo(0, 0, letra, 0, 1)) << "neither";
        if (esLetra) {
            cuentas[static_cast<size_t>(letra - 'A')] = 1;  // and this one
            EXPECT_TRUE(O.OpcionDelGrupo(0, 0, letra, 1, 1)) << "its own letter";
        }
        cuentas.fill(0);
        EXPECT_TRUE(O.OpcionDelGrupo(0, 0, letra, 1, 1)) << "a group without letters";
    }
}

// What a run counts per group and letter is what it placed, for each of the
// ten letters; students of other letters or none are not counted.
TEST(CuentaOpciones, ARunCountsEachLetterAToJOfThePlacedStudents) {
    TMensajes m;
    std::vector<TFilaTipos2> subtipos;
    for (const char* letra : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "a", "@", ""})
        subtipos.push_back(Subtipo(TNC, 2, letra, {"X"}));
    const TDatosOrganizar d = Datos(Curso(TNC, 4, 30), {Optativa(TNC, "X", 1, 100, 1, 1, 1)}, subtipos);
    TOrganizadorPrueba o;
    bool visto = false;
    Ejecuta(o, d, 1, {}, [&] {
        visto = true;
        const TEstadoCurso& curso = o.EstCurso[0];
        std::vector<std::array<int, 10>> esperadas(curso.CuentaOpcion.size());
        int colocados = 0;
        for (int i = 0; i < o.NumAlumnos; ++i) {
            const TPlazaAlumno& p = o.Alumnos[i];
            if (p.Grupo < 0) continue;
            ++colocados;
            if (p.Opcion >= 'A' && p.Opcion <= 'J')
                ++esperadas[static_cast<size_t>(p.Grupo)][static_cast<size_t>(p.Opcion - 'A')];
        }
        EXPECT_EQ(colocados, 28);
        EXPECT_EQ(curso.CuentaOpcion, esperadas);
    });
    EXPECT_TRUE(visto);
}

TEST_F(Comprobaciones, AssigningAConnectionKeepsTheDivisionsCodeAndTheTeachers) {
    enum { X, Y, Z };
    TNodo n;
    n.Slots.resize(O.NumAsigs + 1);
    n.Slots[0].Asig = X;
    int div[SlotsPlaza], cod[SlotsPlaza];
    std::fill(div, div + SlotsPlaza, -1);
    std::fill(cod, cod + SlotsPlaza, -1);
    for (int s : {X, Y, Z}) O.EstAsig[s].CodigosTrabajo = O.EstAsig[s].Codigos;
    // division 0 of X carries code 0 (group 0): another code is refused untouched
    EXPECT_EQ(O.AsignaConexion(n, div, cod, X, 0, 2, 1), -2);
    EXPECT_EQ(O.EstAsig[X].CodigosTrabajo[O.EstAsig[X].C(0, 2)], -1);
    // the group already in the division: accepted as it stands
    EXPECT_EQ(O.AsignaConexion(n, div, cod, X, 0, 0, 0), 1);
    // a code another slot of the same block already took
    n.Slots[1].Asig = Y;
    div[1] = 0;
    cod[1] = 2;
    EXPECT_EQ(O.AsignaConexion(n, div, cod, X, 0, 2, 2), -2);
    // Y in division 1 of group 1 with code 2 joins its division 0 there (same
    // code, same group): two divisions of one connection for one teacher
    div[1] = cod[1] = -1;
    O.Memo.Asignaturas[Y].NProf = 1;
    TEstadoAsig& y = O.EstAsig[Y];
    EXPECT_EQ(O.AsignaConexion(n, div, cod, Y, 1, 1, 2), -1);
    EXPECT_EQ(y.CodigosTrabajo[y.C(1, 1)], -1);
    // with two teachers the pair rule still refuses: every division of Y in one connection
    O.Memo.Asignaturas[Y].NProf = 2;
    EXPECT_EQ(O.AsignaConexion(n, div, cod, Y, 1, 1, 2), -1);
    EXPECT_EQ(y.CodigosTrabajo[y.C(1, 1)], -1);
    // another code leaves the two divisions apart
    EXPECT_EQ(O.AsignaConexion(n, div, cod, Y, 1, 1, 0), 1);
    EXPECT_EQ(y.CodigosTrabajo[y.C(1, 1)], 0);
}

TEST(Permutacion, OrderingsRunLexicographicallyWrittenBackwards) {
    const std::vector<std::vector<int>> tres = {{2, 1, 0}, {1, 2, 0}, {2, 0, 1},
                                                {0, 2, 1}, {1, 0, 2}, {0, 1, 2}};
    int orden[SlotsPlaza];
    for (int q = 0; q < 6; ++q) {
        Permutacion(3, q, orden);
        EXPECT_EQ(std::vector<int>(orden, orden + 3), tres[q]) << q;
    }
    Permutacion(2, 0, orden);
    EXPECT_EQ(std::vector<int>(orden, orden + 2), (std::vector<int>{1, 0}));  // second member first
    Permutacion(1, 0, orden);
    EXPECT_EQ(orden[0], 0);
    // blocks of 13 and more subjects: the count and the last ordering stay exact
    EXPECT_EQ(Factorial(13), 6227020800LL);
    EXPECT_EQ(Factorial(20), 2432902008176640000LL);
    EXPECT_EQ(Factorial(0), 1);
    Permutacion(13, Factorial(13) - 1, orden);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(orden[i], i);
    Permutacion(20, Factorial(20) - 2, orden);
    EXPECT_EQ(orden[0], 1);
    EXPECT_EQ(orden[1], 0);
}

struct Relleno : Comprobaciones {
    enum { X, Y, Z };
    void Pon(int S, int R, int G, int Codigo) {
        TEstadoAsig& e = O.EstAsig[S];
        e.CodigosTrabajo[e.C(R, G)] = Codigo;
    }
    void Limpia() {
        for (int s : {X, Y, Z}) {
            std::fill(O.EstAsig[s].CodigosTrabajo.begin(), O.EstAsig[s].CodigosTrabajo.end(), -1);
            std::fill(O.EstAsig[s].Marcas.begin(), O.EstAsig[s].Marcas.end(), -1);
        }
    }
    std::vector<std::tuple<int, int, int>> Marcadas(int Marca) {
        std::vector<std::tuple<int, int, int>> r;
        for (int s : {X, Y, Z}) {
            const TEstadoAsig& e = O.EstAsig[s];
            for (int d = 0; d <= e.Divisiones; ++d)
                for (int g = 0; g < e.Grupos; ++g)
                    if (e.Marcas[e.C(d, g)] == Marca) r.push_back({s, d, g});
        }
        return r;
    }
};

TEST_F(Relleno, FloodFillFollowsDivisionsAcrossGroupsAndBlocksWithinAGroup) {
    using T = std::vector<std::tuple<int, int, int>>;
    auto dibuja = [&] {
        Limpia();
        Pon(X, 0, 0, 5);  // start
        Pon(X, 0, 2, 5);  // same division, another group
        Pon(Y, 1, 2, 5);  // block mate in that group
        Pon(Y, 1, 1, 5);  // its division in another group
        Pon(X, 2, 1, 5);  // the row without division, reached through the block in group 1
        Pon(X, 1, 0, 7);  // another code
        Pon(Z, 0, 0, 5);  // another block
        Pon(Y, 0, 0, 5);  // block mate of the start
    };
    const T componente = {{X, 0, 0}, {X, 0, 2}, {X, 2, 1}, {Y, 0, 0}, {Y, 1, 1}, {Y, 1, 2}};
    dibuja();
    EXPECT_EQ(O.MarcaConexion(X, 0, 0, 5, 9), 6);  // the start comes back through its neighbours
    EXPECT_EQ(Marcadas(9), componente);
    dibuja();
    O.EstAsig[X].Marcas[O.EstAsig[X].C(0, 0)] = 9;  // a marked start is not counted
    EXPECT_EQ(O.MarcaConexion(X, 0, 0, 5, 9), 5);
    EXPECT_EQ(Marcadas(9), componente);
    dibuja();
    EXPECT_EQ(O.MarcaConexion(X, 2, 1, 5, 4), 6);  // from the row without division
    EXPECT_EQ(Marcadas(4), componente);
    dibuja();
    EXPECT_EQ(O.MarcaConexion(X, 1, 0, 7, 3), 0);  // a cell alone
    EXPECT_TRUE(Marcadas(3).empty());
}

// A course of real size for the connection fills: 14 groups, a block of
// four subjects of up to six divisions and a block of two; and the fill as
// a plain stack of cells, each looking around itself.
struct RellenoAzar : TPrueba {
    void SetUp() override {
        TPrueba::SetUp();
        ASSERT_TRUE(Prepara(
            O, Datos(Curso(TNC, 14, 40),
                     {Optativa(TNC, "A", 6, 40, 6, 1, 2), Optativa(TNC, "B", 4, 40, 4, 1, 2),
                      Optativa(TNC, "C", 3, 40, 3, 1, 2), Optativa(TNC, "D", 5, 40, 5, 1, 2),
                      Optativa(TNC, "E", 2, 40, 2, 2, 1), Optativa(TNC, "F", 3, 40, 3, 2, 1)},
                     {Subtipo(TNC, 10, "A", {"A", "B", "E"}), Subtipo(TNC, 10, "B", {"C", "D", "F"})})));
        Asignaturas = O.Memo.NumAsignaturas;
    }
    using TMarcas = std::vector<std::vector<int>>;
    int Plano(TMarcas& Marcas, int S, int D, int G, int Codigo, int Marca) {
        int marcadas = 0;
        std::vector<std::array<int, 3>> pila{{S, D, G}};
        auto visita = [&](int s, int r, int g) {
            const TEstadoAsig& e = O.EstAsig[s];
            int& x = Marcas[s][e.C(r, g)];
            if (e.CodigosTrabajo[e.C(r, g)] == Codigo && x == -1) {
                x = Marca;
                ++marcadas;
                pila.push_back({s, r, g});
            }
        };
        while (!pila.empty()) {
            const auto [s, r, g] = pila.back();
            pila.pop_back();
            const TEstadoAsig& es = O.EstAsig[s];
            if (r < es.Divisiones)
                for (int h = 0; h < es.Grupos; ++h)
                    if (h != g) visita(s, r, h);
            for (int t = 0; t < Asignaturas; ++t) {
                const TEstadoAsig& et = O.EstAsig[t];
                if (O.Memo.Asignaturas[t].BlOpt != O.Memo.Asignaturas[s].BlOpt) continue;
                for (int q = 0; q <= et.Divisiones; ++q)
                    if (t != s || q != r) visita(t, q, g);
            }
        }
        return marcadas;
    }
    // The rows a new connection of Codigo at the cell reaches: those of its
    // component when no other cell carries a mark.
    void CompruebaAlcance(int S, int R, int G, int Codigo) {
        TMarcas marcas(Asignaturas);
        for (int t = 0; t < Asignaturas; ++t) marcas[t].assign(O.EstAsig[t].Marcas.size(), -1);
        const TEstadoAsig& e = O.EstAsig[S];
        marcas[S][e.C(R, G)] = 100;
        Plano(marcas, S, R, G, Codigo, 100);
        O.AlcanzaConexion(S, R, G, Codigo);
        for (int t = 0; t < Asignaturas; ++t) {
            const TEstadoAsig& et = O.EstAsig[t];
            int filas = 0;
            for (int q = 0; q <= et.Divisiones; ++q) {
                bool marcada = false;
                for (int h = 0; h < et.Grupos; ++h) marcada = marcada || marcas[t][et.C(q, h)] == 100;
                filas += marcada;
                ASSERT_EQ(et.SelloAlcanzada[q] == O.SelloRelleno, marcada) << "subject " << t << " row " << q;
            }
            ASSERT_EQ(et.SelloCuenta == O.SelloRelleno ? et.Alcanzadas : 0, filas) << "subject " << t;
        }
    }
    TOrganizadorPrueba O;
    int Asignaturas = 0;
    escuela::TAzar Azar{77};
};

// The fill sweeps each row and group once, and the rows a new connection
// reaches are found from bit words of groups; the plain fill must mark the
// same cells, count the same number and reach the same rows, on random
// codes, from starts inside and outside their codes, with cells already
// carrying another fill's mark.
TEST_F(RellenoAzar, TheFillMarksWhatAPlainCellByCellFillMarks) {
    int grandes = 0;
    for (int prueba = 0; prueba < 400; ++prueba) {
        SCOPED_TRACE(prueba);
        const int codigos = 1 + Azar.Entre(4), vacias = Azar.Entre(70);
        TMarcas marcas(Asignaturas);
        for (int s = 0; s < Asignaturas; ++s) {
            TEstadoAsig& e = O.EstAsig[s];
            for (auto& c : e.CodigosTrabajo) c = Azar.Prob(vacias) ? -1 : Azar.Entre(codigos);
            for (auto& x : e.Marcas) x = Azar.Prob(5) ? 7 : -1;
            marcas[s] = e.Marcas;
        }
        const int s = Azar.Entre(Asignaturas);
        const TEstadoAsig& e = O.EstAsig[s];
        const int r = Azar.Entre(e.Divisiones + 1), g = Azar.Entre(e.Grupos);
        const int codigo = Azar.Prob(80) ? std::max(0, e.CodigosTrabajo[e.C(r, g)]) : Azar.Entre(codigos);
        if (Azar.Prob(50)) marcas[s][e.C(r, g)] = O.EstAsig[s].Marcas[e.C(r, g)] = 9;
        const int esperadas = Plano(marcas, s, r, g, codigo, 9);
        ASSERT_EQ(O.MarcaConexion(s, r, g, codigo, 9), esperadas);
        for (int t = 0; t < Asignaturas; ++t) ASSERT_EQ(O.EstAsig[t].Marcas, marcas[t]);
        grandes += esperadas > 20;

        const int nuevo = Azar.Entre(codigos);
        O.EstAsig[s].CodigosTrabajo[e.C(r, g)] = nuevo;
        CompruebaAlcance(s, r, g, nuevo);
    }
    EXPECT_GT(grandes, 50);  // components that reach across many rows and groups
}

// The search keeps, for each row and small code, the groups whose kept code
// it is, and takes the working codes from them and the cells it wrote since
// it last took them. Kept codes changed and undone at random, subjects taken
// again or not, working cells written: the words always say what the codes
// say, and the rows a connection reaches are those of the plain fill.
TEST_F(RellenoAzar, TheWordsOfTheKeptCodesFollowEveryChangeAndItsUndo) {
    for (int s = 0; s < Asignaturas; ++s)
        for (auto& c : O.EstAsig[s].Codigos) c = Azar.Prob(40) ? -1 : Azar.Entre(3);
    O.CodigosCambiados();
    auto palabrasAlDia = [&] {
        for (int s = 0; s < Asignaturas; ++s) {
            const TEstadoAsig& e = O.EstAsig[s];
            for (int r = 0; r <= e.Divisiones; ++r)
                for (int c = 0; c < CodigosEnPalabra; ++c)
                    for (int g = 0; g < e.Grupos; ++g)
                        ASSERT_EQ((e.GruposDeCodigo[r * CodigosEnPalabra + c] >> g) & 1,
                                  e.Codigos[e.C(r, g)] == c)
                            << "subject " << s << " row " << r << " code " << c << " group " << g;
        }
    };
    for (int prueba = 0; prueba < 300; ++prueba) {
        SCOPED_TRACE(prueba);
        const size_t marca = O.MarcaDiario();
        for (int s = 0; s < Asignaturas; ++s)
            if (Azar.Prob(60)) O.RestableceTrabajo(s);
        for (int k = Azar.Entre(12); k > 0; --k) {  // the placement moves
            TEstadoAsig& e = O.EstAsig[Azar.Entre(Asignaturas)];
            O.PonCodigo(e, Azar.Entre(static_cast<int>(e.Codigos.size())),
                        Azar.Prob(30) ? -1 : Azar.Entre(10));
        }
        for (int s = 0; s < Asignaturas; ++s)
            if (Azar.Prob(30)) O.RestableceTrabajo(s);
        for (int k = Azar.Entre(6); k > 0; --k) {  // connections tried
            const int s = Azar.Entre(Asignaturas);
            TEstadoAsig& e = O.EstAsig[s];
            const int celda = Azar.Entre(static_cast<int>(e.Codigos.size()));
            e.CodigosTrabajo[celda] = Azar.Entre(3);
            e.Cambiadas.push_back(celda);
        }
        palabrasAlDia();
        const int s = Azar.Entre(Asignaturas);  // a connection assigned as the search does
        TEstadoAsig& e = O.EstAsig[s];
        const int r = Azar.Entre(e.Divisiones + 1), g = Azar.Entre(e.Grupos), codigo = Azar.Entre(3);
        e.CodigosTrabajo[e.C(r, g)] = codigo;
        e.Cambiadas.push_back(e.C(r, g));
        CompruebaAlcance(s, r, g, codigo);
        if (Azar.Prob(50)) {
            O.DeshaceHasta(marca);
            palabrasAlDia();
        }
    }
}

TEST_F(Relleno, TeachersCountEveryConnectionCodeHoweverHigh) {
    TEstadoAsig& x = O.EstAsig[X];
    std::fill(x.Codigos.begin(), x.Codigos.end(), -1);
    x.Codigos[x.C(0, 0)] = 45;
    x.Codigos[x.C(1, 2)] = 45;
    x.Codigos[x.C(1, 1)] = 3;
    std::fill(O.EstAsig[Y].Codigos.begin(), O.EstAsig[Y].Codigos.end(), -1);
    O.MayorConexion();
    EXPECT_EQ(x.MayorConexion, 2);
    EXPECT_EQ(O.EstAsig[Y].MayorConexion, 1);  // no code at all
}

TEST(ColocaDirecto, ABlockOfThirteenSubjectsIsPlaced) {
    TDatosOrganizar d;
    d.TNCSeleccionado = TNC;
    d.Cursos = {Curso(TNC, 1, 30)};
    TFilaTipos2 t;
    t.TNC = TNC;
    t.NALUM = 2;
    for (int i = 0; i < 13; ++i) {
        const AnsiString c = "B" + IntToStr(i);
        d.NomAsg.push_back({c});
        d.AsigCur.push_back(Optativa(TNC, c, 1, 30, 1, 1, 13));
        d.AsigCuentaOptativas.push_back(c);
        d.AsigOptativas.push_back(c);
        t.ASIG[i] = c;
    }
    d.Tipos2 = {t};
    TMensajes m;
    TOrganizadorPrueba o;
    std::vector<validador::TAlumnoColocado> colocacion;
    auto r = Organiza(o, d, 1, {}, [&] { colocacion = validador::Toma(o); });
    ASSERT_TRUE(r);
    ASSERT_EQ(r->TipGrup.size(), 1u);
    EXPECT_EQ(r->TipGrup[0].NALUM, 2);
    for (const auto& f : validador::Comprueba(d, colocacion, {})) ADD_FAILURE() << f;
}

// Two subjects of a block of two connections, taken together by 20 students
// where a division holds 12, each need both their divisions: the one's first
// division meets with the other's second and the other way round.
TEST(ColocaDirecto, TwoSubjectsTakenTogetherOpenEveryDivisionTheyNeed) {
    const TDatosOrganizar d =
        Datos(Curso(TNC, 2, 30),
              {Optativa(TNC, "FQ", 2, 12, 2, 1, 2), Optativa(TNC, "BIO", 2, 12, 2, 1, 2),
               Optativa(TNC, "LAT", 1, 12, 1, 1, 2), Optativa(TNC, "ECO", 1, 12, 1, 1, 2)},
              {Subtipo(TNC, 20, "A", {"FQ", "BIO"}), Subtipo(TNC, 6, "A", {"LAT", "ECO"})});
    const TCorrida c = Corre(d);
    ASSERT_TRUE(c.Resultado);
    EXPECT_EQ(c.SinGrupo, 0);
    for (const auto& f : validador::Todo(d, c.Colocacion, *c.Resultado, false)) ADD_FAILURE() << f;
}

}  // namespace
