// The placement loop: batch sizes, exact undo of failed tries, the
// displacement strategies, stopping, the progress interface and the runs.
#include <gtest/gtest.h>

#include <map>

#include "tests/organizer/Apoyo.h"
#include "tests/organizer/EscuelaSintetica.h"
#include "tests/organizer/Validador.h"

namespace {

using namespace apoyo;

const AnsiString TNC = "3ESO02";

using Busqueda = TPrueba;

TDatosOrganizar UnTipo(int Alumnos) {
    return Datos(Curso(TNC, 1, 30), {Optativa(TNC, "X", 2, 20, 2, 1, 1), Optativa(TNC, "W", 5, 14, 5, 2, 1)},
                 {Subtipo(TNC, Alumnos, "A", {"W", "X"})});
}

TEST_F(Busqueda, BatchesAreCutByTheRunTheGroupAndTheSubjects) {
    TOrganizadorPrueba o;
    ASSERT_TRUE(Prepara(o, UnTipo(25)));
    // the run (24: never position 0), the course (30) and the lowest subject maximum (W's 14)
    o.PrimerEquilibrio = 1;
    EXPECT_EQ(o.TamanoLote(24, 1000), 14);
    o.Memo.Asignaturas[1].MaxAlum = 25;
    EXPECT_EQ(o.TamanoLote(24, 1000), 20);
    EXPECT_EQ(o.TamanoLote(4, 20), 4);
    EXPECT_EQ(o.TamanoLote(10, 3), 3);  // never more than the batch before of the same type
    EXPECT_EQ(o.TamanoLote(0, 4), 1);
    // "optimal numbers": X's average (13) becomes the limit; W's average (5)
    // does not lower it since W's maximum (25) is not below 13
    o.PrimerEquilibrio = 0;
    EXPECT_EQ(o.TamanoLote(24, 1000), 13);
}

// Runs with a snapshot before every try, compared after each failed one.
struct TVigilante {
    TInstantanea Antes;
    int Fallidos = 0;
    int Distintos = 0;
    void Engancha(TOrganizadorPrueba& O) {
        O.AntesDeIntento = [this, &O](TOrganizador&) { Antes = O.Instantanea(); };
        O.DespuesDeIntento = [this, &O](TOrganizador&, bool Ok) {
            if (Ok) return;
            ++Fallidos;
            Distintos += !(O.Instantanea() == Antes);
        };
    }
};

TEST_F(Busqueda, AFailedTryLeavesEveryCountCodeAndMarkAsItFoundThem) {
    int alternativas = 0, fallidos = 0;
    for (uint64_t semilla : {11, 12, 13}) {
        escuela::TParametros p{120, 4, 9, 3, true, semilla};
        const escuela::TEscuela e = escuela::Genera(p);
        TOrganizadorPrueba o;
        TVigilante v;
        v.Engancha(o);
        TOpcionesOrganizar op;
        op.Opciones = true;
        std::vector<validador::TAlumnoColocado> colocacion;
        auto r = Organiza(o, e.Datos, 1, op, [&] {
            colocacion = validador::Toma(o);
            alternativas += o.Estadistica.AlternativasDeshechas;
        });
        ASSERT_TRUE(r);
        EXPECT_EQ(v.Distintos, 0) << "seed " << semilla;
        fallidos += v.Fallidos;
        for (const auto& f : validador::Comprueba(e.Datos, colocacion, {true})) ADD_FAILURE() << f;
    }
    // the strict levels failed, and displacements were tried and undone
    EXPECT_GT(fallidos, 20);
    EXPECT_GT(alternativas, 0);
}

// Two groups of at most 5; types 1 ("A") and 2 ("B") of three students each
// take X. Group 0 gets all of type 1 and two of type 2 by hand.
struct Desplazamiento : TPrueba {
    TOrganizadorPrueba O;
    void SetUp() override {
        TPrueba::SetUp();
        ASSERT_TRUE(Prepara(O, Datos(Curso(TNC, 2, 5), {Optativa(TNC, "X", 2, 10, 2, 1, 1)},
                                     {Subtipo(TNC, 3, "A", {"X"}), Subtipo(TNC, 3, "B", {"X"})})));
        O.AlumnoActual = 0;
    }
    TNodo Nodo(int Tipo, int NAlum, char Opcion) {
        TNodo n;
        n.Slots.resize(O.NumAsigs + 1);
        O.IniciaNodo(n);
        n.Tipo = Tipo;
        n.NAlum = NAlum;
        n.Curso = 0;
        n.Opcion = Opcion;
        n.Slots[0].Asig = 0;
        return n;
    }
    void Coloca(int Tipo, int NAlum, char Opcion) {
        TNodo n = Nodo(Tipo, NAlum, Opcion);
        n.GrupoNuevo = 0;
        n.Slots[0].Div = 0;
        n.Slots[0].Con = 0;
        O.ColocaNodo(n);
    }
};

TEST_F(Desplazamiento, TypesAreDisplacedByTheNumberTheStudentsCarry) {
    Coloca(1, 3, 'A');
    Coloca(2, 2, 'B');
    auto aux = O.CreaArbol(201);
    TPosicionEstrategia pos;
    TNodo b = Nodo(2, 1, 'B');
    EXPECT_EQ(O.DesplazaTipo(b, 1, 1, 1, *aux, true, pos), 1);
    EXPECT_EQ((*aux)[0].Tipo, 1);
    EXPECT_EQ((*aux)[0].NAlum, 3);
    EXPECT_EQ(pos.Tipo, 0);  // the record of type 1 is the first
    EXPECT_EQ(b.GrupoNuevo, 0);
    TNodo a = Nodo(1, 1, 'A');
    EXPECT_EQ(O.DesplazaTipo(a, 1, 1, 1, *aux, true, pos), 1);
    EXPECT_EQ((*aux)[0].Tipo, 2);
    EXPECT_EQ(pos.Tipo, 1);
}

TEST_F(Desplazamiento, ANodeNeverDisplacesStudentsOfItsOwnType) {
    Coloca(2, 3, 'B');
    auto aux = O.CreaArbol(201);
    TPosicionEstrategia pos;
    TNodo b = Nodo(2, 1, 'B');
    const TInstantanea antes = O.Instantanea();
    EXPECT_EQ(O.DesplazaTipo(b, 1, 1, 1, *aux, true, pos), -1);
    EXPECT_TRUE(O.Instantanea() == antes);
}

TEST_F(Desplazamiento, EachSearchLevelKeepsItsOwnStrategyPositions) {
    Coloca(1, 3, 'A');
    Coloca(2, 2, 'B');
    // reference: one sequence, its first call and its resumption
    auto siguiente = [](TOrganizadorPrueba& o, TNodo& n, TSecuencia& s, TArbol& aux, bool primera) {
        const int r = o.SecuenciaBusqueda(n, 1, 1, 1, 1, aux, primera, s);
        return std::make_tuple(r, n.GrupoNuevo, n.Slots[0].Div, aux[0].Tipo, aux[0].GrupoViejo);
    };
    auto auxRef = O.CreaArbol(201);
    TSecuencia sRef;
    TNodo nRef = Nodo(2, 1, 'B');
    const auto primeraRef = siguiente(O, nRef, sRef, *auxRef, true);
    const auto segundaRef = siguiente(O, nRef, sRef, *auxRef, false);
    ASSERT_EQ(std::get<0>(primeraRef), 1);

    // the same, with a deeper level searching for another node in between
    TSecuencia arriba, abajo;
    auto auxArriba = O.CreaArbol(201), auxAbajo = O.CreaArbol(201);
    TNodo n = Nodo(2, 1, 'B'), otro = Nodo(1, 1, 'A');
    EXPECT_EQ(siguiente(O, n, arriba, *auxArriba, true), primeraRef);
    siguiente(O, otro, abajo, *auxAbajo, true);
    siguiente(O, otro, abajo, *auxAbajo, false);
    EXPECT_EQ(siguiente(O, n, arriba, *auxArriba, false), segundaRef);
}

TEST_F(Busqueda, StoppingBetweenBatchesKeepsWhatWasPlaced) {
    TVista v;
    TOrganizadorPrueba o(&v);
    v.PararEnSondeo = [&](int) { return o.Estadistica.Lotes == 1; };
    TDatosOrganizar d = UnTipo(25);
    auto r = Organiza(o, d, 1);
    ASSERT_TRUE(r);
    ASSERT_EQ(v.Textos.size(), 3u);
    EXPECT_EQ(v.Textos[2], " \n* * *   F I N   * * * ");
    ASSERT_EQ(r->TipGrup.size(), 1u);
    EXPECT_EQ(r->TipGrup[0].NALUM, 14);
    EXPECT_EQ(v.Pitidos, 1);
}

TEST_F(Busqueda, StoppingInsideABatchFailsItAndSaysSo) {
    // at the start of its search, and in the middle of placing it directly
    for (int comprobaciones : {0, 3}) {
        TVista v;
        TOrganizadorPrueba o(&v);
        v.PararEnSondeo = [&](int) {
            return v.Textos.size() >= 2 && o.Estadistica.Comprobaciones >= comprobaciones;
        };
        auto r = Organiza(o, UnTipo(25), 1);
        ASSERT_TRUE(r);
        ASSERT_EQ(v.Textos.size(), 4u);
        const AnsiString fallo = "\nNO PUEDO COLOCAR: 14 alumnos del tipo: \n* X W  *";
        EXPECT_EQ(v.Textos[2], fallo);
        EXPECT_EQ(v.Textos[3], fallo + " \n* * *   F I N   * * * ");
        EXPECT_TRUE(r->TipGrup.empty());
        EXPECT_EQ(r->Tipos.size(), 1u);
        EXPECT_EQ(r->Tipos[0].NALUM, 25);
    }
}

// What the screen learns from an invocation: the students with and without
// a group when the dialog closed and the batch a run could not place, for a
// run left alone, one stopped between batches, one stopped inside a batch,
// a dialog closed without a run and a course refused before its dialog.
TEST_F(Busqueda, TheSummaryTellsWhatTheRunLeft) {
    const AnsiString fallo = "\nNO PUEDO COLOCAR: 14 alumnos del tipo: \n* X W  *";
    struct TCaso {
        const char* Que;
        int Alumnos;
        bool Corre;
        std::function<bool(TOrganizadorPrueba&, TVista&)> Para;
        int Colocados, SinColocar;
        AnsiString Fallo;
        bool Filas;
    } casos[] = {
        {"left alone", 25, true, nullptr, 25, 0, "", true},
        {"stopped between batches", 25, true, [](auto& o, auto&) { return o.Estadistica.Lotes == 1; }, 14, 11,
         "", true},
        {"stopped inside a batch", 25, true, [](auto&, auto& v) { return v.Textos.size() >= 2; }, 0, 25,
         fallo, true},
        {"no run", 25, false, nullptr, 0, 25, "", false},
        {"refused", 0, true, nullptr, 0, 0, "", false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Que);
        TVista v;
        TOrganizadorPrueba o(&v);
        if (c.Para) v.PararEnSondeo = [&](int) { return c.Para(o, v); };
        const TDatosOrganizar d = UnTipo(c.Alumnos);
        const TResumenOrganizar r = o.EjecutaOrganizar(d, {}, [&](ISesionOrganizar& S) {
            if (c.Corre) {
                EXPECT_TRUE(S.Organiza(TModoOrganizar::Todos, {}));
            }
            return TOpcionesOrganizar{};
        });
        EXPECT_EQ(r.Colocados, c.Colocados);
        EXPECT_EQ(r.SinColocar, c.SinColocar);
        EXPECT_EQ(r.TextoFallo, c.Fallo);
        EXPECT_EQ(r.Filas.has_value(), c.Filas);
        EXPECT_FALSE(r.Escrito);
    }
}

// A dialog allows one run: a press that reaches the organizer while its run
// handles the dialog's messages is refused and leaves the run as it was.
TEST_F(Busqueda, ASecondPressDuringTheRunIsRefused) {
    const escuela::TEscuela e = escuela::Genera({90, 3, 8, 3, false, 3});
    const TCorrida sola = Corre(e.Datos);
    ASSERT_TRUE(sola.Resultado);

    // every progress call refreshes, and hands the dialog its messages
    TVista v;
    uint32_t reloj = 0;
    TOrganizadorPrueba o(&v, [&] { return reloj += IntervaloRefresco; });
    ISesionOrganizar* sesion = nullptr;
    int rechazadas = 0;
    v.AlRefrescar = [&] {
        if (sesion) rechazadas += !sesion->Organiza(TModoOrganizar::NoColocados, {});
    };
    const TResumenOrganizar r = o.EjecutaOrganizar(e.Datos, {}, [&](ISesionOrganizar& S) {
        sesion = &S;
        EXPECT_TRUE(S.Organiza(TModoOrganizar::Todos, {}));
        sesion = nullptr;
        return TOpcionesOrganizar{};
    });
    EXPECT_GT(rechazadas, 0);
    EXPECT_EQ(v.Pitidos, 1);
    ASSERT_TRUE(r.Filas);
    auto filas = [](const TResultadoOrganizar& R) {
        std::vector<AnsiString> f;
        for (const auto& t : R.TipGrup) {
            AnsiString x = IntToStr(t.NALUM) + t.GRUPO + t.OPCION;
            for (int k = 0; k < SlotsFila; ++k) x += " " + t.ASIG[k] + "." + t.DIV[k] + ":" + t.CON[k];
            f.push_back(x);
        }
        return f;
    };
    EXPECT_EQ(filas(*r.Filas), filas(*sola.Resultado));
    EXPECT_EQ(r.SinColocar, sola.SinGrupo);
}

// Students of one type whose rows list the same subjects in another order
// get each subject's own division.
TEST_F(Busqueda, SubjectsListedInAnotherOrderKeepTheirOwnDivisions) {
    TDatosOrganizar d =
        Datos(Curso(TNC, 1, 30), {Optativa(TNC, "X", 2, 3, 2, 1, 1), Optativa(TNC, "Y", 1, 30, 1, 2, 1)},
              {Subtipo(TNC, 3, "A", {"X", "Y"}), Subtipo(TNC, 3, "A", {"Y", "X"})});
    TOrganizadorPrueba o;
    std::vector<validador::TAlumnoColocado> colocacion;
    auto r = Organiza(o, d, 1, {}, [&] { colocacion = validador::Toma(o); });
    ASSERT_TRUE(r);
    std::map<std::pair<std::string, int>, int> porDivision;
    for (const auto& a : colocacion) {
        EXPECT_EQ(a.Grupo, 0);
        for (const auto& s : a.Asigs) ++porDivision[{s.Codigo, s.Div}];
    }
    EXPECT_EQ(porDivision,
              (std::map<std::pair<std::string, int>, int>{{{"X", 0}, 3}, {{"X", 1}, 3}, {{"Y", 0}, 6}}));
    for (const auto& f : validador::Comprueba(d, colocacion, {})) ADD_FAILURE() << f;
}

TEST_F(Busqueda, TheScreenRefreshesAtMostEveryFiftyMillisecondsButStopIsPolledAlways) {
    const escuela::TEscuela e = escuela::Genera({90, 3, 8, 3, false, 3});
    for (uint32_t paso : {0u, 1u, 7u}) {
        TVista v;
        uint32_t reloj = 0, lecturas = 0;
        TOrganizadorPrueba o(&v, [&] {
            ++lecturas;
            return reloj += paso;
        });
        v.PararEnSondeo = [](int) { return false; };
        ASSERT_TRUE(Organiza(o, e.Datos, 1));
        EXPECT_EQ(v.Sondeos, static_cast<int>(lecturas));
        EXPECT_GT(v.Sondeos, 500);
        // a refresh every ceil(50 / step) calls
        const int cada = paso == 0 ? 0 : static_cast<int>((IntervaloRefresco + paso - 1) / paso);
        const int esperados = paso == 0 ? 1 : v.Sondeos / cada;
        EXPECT_LE(v.Refrescos, esperados + 1) << paso;
        EXPECT_GE(v.Refrescos, esperados - 1) << paso;
    }
}

TEST_F(Busqueda, ProgressAndEndTextsAreTheDialogs) {
    TVista v;
    TOrganizadorPrueba o(&v);
    TDatosOrganizar d = UnTipo(2);
    bool visto = false;
    auto r = o.EjecutaOrganizar(d, {}, [&](ISesionOrganizar& S) {
        EXPECT_EQ(v.Total, "    2");
        EXPECT_EQ(v.Actual, "    0");
        EXPECT_EQ(v.SinColocar_, "2");
        EXPECT_EQ(o.TotalAlumnos(), 2);
        S.Organiza(TModoOrganizar::Todos, {});
        visto = true;
        S.Organiza(TModoOrganizar::Todos, {});  // one run per dialog
        return TOpcionesOrganizar{};
    });
    ASSERT_TRUE(visto && r.Filas);
    // the student at position 0 always makes a batch of its own
    ASSERT_EQ(v.Textos.size(), 4u);
    EXPECT_EQ(v.Textos[1], "* *     G E N E R A N D O     * *\n* \n Colocando 1 alumnos del tipo:\n* X W  *");
    EXPECT_EQ(v.Textos[2], v.Textos[1]);
    EXPECT_EQ(v.Textos[3], " \n* * *   F I N   * * * ");
    EXPECT_EQ(v.Actual, "0");
    EXPECT_EQ(v.SinColocar_, "0");
    EXPECT_EQ(v.Memoria_, "1048576");
    EXPECT_EQ(v.Pitidos, 1);
}

TEST_F(Busqueda, ExhaustedMemoryInTheWorkingStructuresWritesNothingBack) {
    for (const char* tag : {"EN ASIGNACLAV 1", "EN ASIGNACLAV 3", "EN ASIGNACLAV 31", "EN ASIGNACLAV 5",
                            "EN ASIGNACLAV 13", "EN ASIGNACLAV 15"}) {
        TMensajes m;
        TVista v;
        TOrganizadorPrueba o(&v);
        o.FalloMemoria = [&](const AnsiString& t) { return t == tag; };
        bool huboRun = false;
        auto r = Organiza(o, UnTipo(5), 1, {}, [&] { huboRun = o.HuboEjecucion(); });
        EXPECT_TRUE(huboRun);
        EXPECT_FALSE(r) << tag;
        EXPECT_EQ(m.Texts(), std::vector<AnsiString>{"MEMORIA INSUFICIENTE " + AnsiString(tag)});
        EXPECT_EQ(v.Textos.back(), " \n* * *   F I N   * * * ");
    }
}

TEST_F(Busqueda, AFailedNodeArrayFailsItsTryCleanlyAndEndsTheRunAfterTheBatch) {
    const escuela::TEscuela e = escuela::Genera({90, 3, 8, 3, false, 3});
    for (int cual : {1, 4, 40}) {
        TMensajes m;
        TOrganizadorPrueba o;
        TVigilante vig;
        vig.Engancha(o);
        int llamadas = 0;
        o.FalloMemoria = [&](const AnsiString& t) { return t == "EN CREA ARBOL 1" && ++llamadas == cual; };
        std::vector<validador::TAlumnoColocado> colocacion;
        int sinGrupo = 0;
        auto r = Organiza(o, e.Datos, 1, {}, [&] {
            colocacion = validador::Toma(o);
            sinGrupo = o.AlumnosSinGrupo();
        });
        ASSERT_TRUE(r);
        EXPECT_EQ(m.Texts(), std::vector<AnsiString>{"MEMORIA INSUFICIENTE EN CREA ARBOL 1"});
        EXPECT_EQ(vig.Distintos, 0);
        EXPECT_GT(sinGrupo, 0);  // the run ended early
        for (const auto& f : validador::Todo(e.Datos, colocacion, *r, false)) ADD_FAILURE() << f;
    }
}

TEST_F(Busqueda, ASelectionRunPlacesOnlyTheTypesOfTheSelectedSubtypes) {
    TDatosOrganizar d = Datos(Curso(TNC, 2, 20),
                              {Optativa(TNC, "X", 2, 20, 2, 1, 1), Optativa(TNC, "Y", 2, 20, 2, 1, 1)}, {});
    d.TipGrup2 = {Colocado(TNC, 0, "A", "A", {{"X", "a", "a"}})};  // a row, even empty, hides "&Todos"
    d.Tipos2 = {Subtipo(TNC, 2, "A", {"X"}, true), Subtipo(TNC, 3, "A", {"Y"}), Subtipo(TNC, 2, "A", {"X"})};
    TOrganizadorPrueba o;
    std::vector<validador::TAlumnoColocado> colocacion;
    bool todos = true;
    auto r = o.EjecutaOrganizar(d, {}, [&](ISesionOrganizar& S) {
        todos = S.TodosOfrecido();
        S.Organiza(TModoOrganizar::Todos, {});
        EXPECT_FALSE(o.HuboEjecucion());
        S.Organiza(TModoOrganizar::Seleccion, {});
        colocacion = validador::Toma(o);
        return TOpcionesOrganizar{};
    });
    EXPECT_FALSE(todos);
    ASSERT_TRUE(r.Filas);
    int x = 0, y = 0;
    for (const auto& a : colocacion) {
        if (a.Grupo < 0) continue;
        (a.Asigs[0].Codigo == "X" ? x : y) += 1;
    }
    EXPECT_GE(x, 2);
    EXPECT_EQ(y, 0);
}

}  // namespace
