// The types engine on the small school's tables: the working copies and
// their renumbering, the merge and its invariants, "&Calcular Tipos" with its
// question, the classification written to the tables, moves, the selection
// marks, the editors' rules and course filters holding an apostrophe.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "organizer/EditoresTipos.h"
#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "tests/organizer/TiposEscuela.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

namespace {

class TiposMotor : public TiposEscuela {
protected:
    TMotorTipos Motor{Base, Curso};

    // The screen opened and the types computed once.
    void AbreYCalcula() {
        Motor.Abre();
        Motor.RecuentaTipos(PreguntaBorrarTipos);
        CompruebaInvariantes(15);
    }
    int NDelTipo(const char* Idioma, const char* Optativa) {
        for (const auto& s : Subtipos("tipos2"))
            if (HuecoExacto(s.ASIG, Idioma) >= 0 && HuecoExacto(s.ASIG, Optativa) >= 0) return s.N;
        ADD_FAILURE() << "no subtype " << Idioma << " " << Optativa;
        return -1;
    }
};

std::vector<int> Numeros(const auto& Filas) {
    std::vector<int> r;
    for (const auto& f : Filas) r.push_back(f.N);
    return r;
}

}  // namespace

TEST_F(TiposMotor, OpeningRenumbersEveryCourseAndCopiesTheSelectedOne) {
    AnadeSubtipos("tipos", {Sub(7, 2, "A", false, {"LEN", "FRA"})});
    AnadeTiposEnGrupo("tipgrup", {Fila(2, 3, "A", "A", false, {{"LEN"}, {"FRA", "1", "a"}})});
    Anade("conex", {{{"TNC", "NBAC1"}, {"CON", "z"}}});
    Motor.Abre();
    // TNC tag order: DBAC1, DBAC1, DESO4, NBAC1; then the types-in-group go on.
    const auto tipos = LeeSubtipos(*OpenTempTable(Base, "tipos", "TNC"));
    EXPECT_EQ(Numeros(tipos), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(tipos[2].TNC, "DESO4");
    const auto tipgrup = LeeTipGrup(*OpenTempTable(Base, "tipgrup", "TNC"));
    EXPECT_EQ(Numeros(tipgrup), (std::vector<int>{5, 6, 7}));
    const auto t2 = Subtipos("tipos2");
    ASSERT_EQ(t2.size(), 1u);
    EXPECT_EQ(t2[0].N, 3);
    EXPECT_EQ(t2[0].ASIGS, "SubTp: Op:A Rep:NO--FRA");
    EXPECT_EQ(Numeros(TiposEnGrupo("tipgrup2")), (std::vector<int>{7}));
    // conex: only what the course's rows make.
    ASSERT_EQ(Cuenta("conex"), 1);
    EXPECT_EQ(OpenTempTable(Base, "conex")->FieldByName("ASIGDIV")->AsString(), "FRA .1");
    CompruebaInvariantes(5);
}

TEST_F(TiposMotor, EmptyStoredTablesGiveEmptyCopies) {
    for (const char* t : {"tipos", "tipgrup"}) NewTempTable(Base, t)->EmptyTable();
    FijaReferencia();
    Motor.Abre();
    EXPECT_EQ(Cuenta("tipos2"), 0);
    EXPECT_EQ(Cuenta("tipgrup2"), 0);
    EXPECT_EQ(Motor.NuevoN(), 1);
}

TEST_F(TiposMotor, ComputedTypesAreClassifiedAndStoredAtTheMerge) {
    AbreYCalcula();
    // 15 counted students: FRA/ALE x TEC/MUS x REL/ETI by their numbers, B and
    // repeaters apart.
    const auto t2 = Subtipos("tipos2");
    std::set<int> numeros;
    for (const auto& s : t2) {
        EXPECT_GE(s.N, 10000);
        numeros.insert(s.N);
        EXPECT_EQ(s.ASIGS.substr(0, 7), "SubTp: ");
        EXPECT_EQ(s.ASIGSCU.find("REL"), AnsiString::npos);  // REL does not count
        EXPECT_EQ(s.ASIGS.find("LEN"), AnsiString::npos);    // common to every student
    }
    EXPECT_EQ(numeros.size(), t2.size());
    // CONTADOR: LEN is in every subtype.
    auto asigcur = OpenTempTable(Base, "asigcur");
    FilterEqual(*asigcur, "TNC", Curso);
    for (const auto& a : LeeAsigCur(*asigcur)) {
        if (a.ASIG == "LEN") {
            EXPECT_EQ(a.CONTADOR, static_cast<int>(t2.size()));
        }
    }
    const auto& optativas = Motor.Listas().AsigCuentaOptativas.Codigos();
    EXPECT_EQ(std::set<AnsiString>(optativas.begin(), optativas.end()),
              (std::set<AnsiString>{"FRA", "ALE", "TEC", "MUS"}));

    Motor.MezclaTrabajo();
    CompruebaInvariantes(15);
    std::vector<TFilaSubtipo> delCurso;
    for (const auto& s : Subtipos("tipos"))
        if (s.TNC == Curso) delCurso.push_back(SinNumero(s));
    std::vector<TFilaSubtipo> trabajo;
    for (const auto& s : t2) trabajo.push_back(SinNumero(s));
    EXPECT_EQ(delCurso, trabajo);

    // Closing again (the close box, then leaving the step) changes nothing.
    const auto tipos = Subtipos("tipos");
    const auto tipgrup = TiposEnGrupo("tipgrup");
    Motor.MezclaTrabajo();
    EXPECT_EQ(Subtipos("tipos"), tipos);
    EXPECT_EQ(TiposEnGrupo("tipgrup"), tipgrup);
    EXPECT_TRUE(Motor.Cerrado());
}

// The import leaves CONTADOR blank. A blank reads 0, so a subject that no
// subtype lists must still get its 0 written, not be passed over as a row
// whose count did not change; the other courses' rows are not counted.
TEST_F(TiposMotor, EveryCounterOfTheCourseIsWrittenEvenWhenItWasBlank) {
    Anade("asigcur", {{{"TNC", "DESO4"}, {"ASIG", "DIB"}, {"CUENTA", "T"}, {"TIPO", "1"}},
                      {{"TNC", "DESO4"}, {"ASIG", "PLA"}, {"CONTADOR", "5"}}});
    AbreYCalcula();
    const int subtipos = static_cast<int>(Subtipos("tipos2").size());
    struct TCaso {
        const char* TNC;
        const char* Asig;
        bool Vacio;
        int Contador;  // -1: any count above 0
    } casos[] = {
        {"DESO4", "DIB", false, 0},         // blank, no subtype lists it
        {"DESO4", "PLA", false, 0},         // left from an earlier count
        {"DESO4", "LEN", false, subtipos},  // in every subtype
        {"DESO4", "FRA", false, -1},        // in some
        {"DBAC1", "FIL", true, 0},          // another course: as it was
    };
    auto asigcur = OpenTempTable(Base, "asigcur");
    for (const auto& c : casos) {
        bool hallado = false;
        for (asigcur->First(); !asigcur->Eof(); asigcur->Next()) {
            if (asigcur->FieldByName("TNC")->AsString() != c.TNC ||
                asigcur->FieldByName("ASIG")->AsString() != c.Asig)
                continue;
            hallado = true;
            const TField* f = asigcur->FieldByName("CONTADOR");
            EXPECT_EQ(f->IsNull(), c.Vacio) << c.Asig;
            if (c.Contador >= 0) {
                EXPECT_EQ(f->AsInteger(), c.Contador) << c.Asig;
            } else {
                EXPECT_GT(f->AsInteger(), 0) << c.Asig;
            }
        }
        EXPECT_TRUE(hallado) << c.Asig;
    }
}

TEST_F(TiposMotor, TheQuestionBeforeCountingAgain) {
    AbreYCalcula();
    const auto primera = Subtipos("tipos2");
    Motor.TrasladaTipoAGrupo(primera[0].N, 1, "A");
    const int filasGrupo = Cuenta("tipgrup2");
    ASSERT_EQ(filasGrupo, 1);

    struct TCaso {
        int Respuesta;
        int Alumnos;
        int FilasGrupo;
    };
    for (const auto& c : {TCaso{IDCANCEL, 15, 1}, TCaso{IDNO, 30, 1}, TCaso{IDYES, 15, 0}}) {
        Dialogos.Then(c.Respuesta);
        Motor.RecuentaTipos(PreguntaBorrarTipos);
        EXPECT_EQ(Dialogos.Asked().back().Text, "Borrar tipos?");
        EXPECT_EQ(Dialogos.Asked().back().Caption, "Atenci\xF3n");
        CompruebaInvariantes(c.Alumnos);
        EXPECT_EQ(Cuenta("tipgrup2"), c.FilasGrupo) << c.Respuesta;
    }
    EXPECT_EQ(Cuenta("tipos2"), static_cast<int>(primera.size()));
    EXPECT_EQ(Cuenta("conex"), 0);
}

TEST_F(TiposMotor, ATypeIntoAGroupAndBackLeavesTheTablesAsTheyWere) {
    AbreYCalcula();
    const auto tipos = Subtipos("tipos2");
    const int n = NDelTipo("FRA", "TEC");
    const auto oferta = Motor.OfertaTipo(n);
    ASSERT_TRUE(oferta.Encontrado);
    ASSERT_GT(oferta.Numero, 1);
    EXPECT_TRUE(Motor.TrasladaTipoAGrupo(n, oferta.Numero, "A"));
    CompruebaInvariantes(15);
    EXPECT_GT(Cuenta("tipgrup2"), 0);
    const int fila = TiposEnGrupo("tipgrup2").at(0).N;
    for (const auto& s : tipos) EXPECT_NE(s.N, fila);
    EXPECT_TRUE(Motor.TrasladaGrupoATipos(fila, oferta.Numero));
    CompruebaInvariantes(15);
    EXPECT_EQ(Cuenta("tipgrup2"), 0);
    EXPECT_EQ(Subtipos("tipos2"), tipos);
}

// A row made while the screen is open never takes a number a stored row
// has, and the merge loses no row even when one does.
TEST_F(TiposMotor, TheMergeLosesNoRow) {
    AbreYCalcula();
    const int n = NDelTipo("ALE", "MUS");
    ASSERT_TRUE(Motor.TrasladaSubtipoAGrupo(n, 1, "B"));
    const int nuevo = TiposEnGrupo("tipgrup2").at(0).N;
    for (const auto& f : TiposEnGrupo("tipgrup")) EXPECT_NE(f.N, nuevo);
    // A row typed in by hand with the number of another course's stored row,
    // as the old editors handed out.
    const int ajeno = Subtipos("tipos").at(0).N;
    AnadeSubtipos("tipos2", {Sub(ajeno, 2, "C", false, {"LEN", "MUS"})});
    Motor.MezclaTrabajo();
    CompruebaInvariantes(17);
    int delCurso = 0;
    for (const auto& s : Subtipos("tipos")) delCurso += s.TNC == Curso ? s.NALUM : 0;
    for (const auto& f : TiposEnGrupo("tipgrup")) delCurso += f.TNC == Curso ? f.NALUM : 0;
    EXPECT_EQ(delCurso, 17);
    // The working copy took the new number too: closing again adds nothing.
    const auto tipos = Subtipos("tipos");
    Motor.MezclaTrabajo();
    EXPECT_EQ(Subtipos("tipos"), tipos);
}

TEST_F(TiposMotor, ASubtypeDeletedOnTheScreenLeavesTheStoredTable) {
    AbreYCalcula();
    Motor.MezclaTrabajo();
    TMotorTipos otra(Base, Curso);
    otra.Abre();
    auto t2 = OpenTempTable(Base, "tipos2");
    const int borrado = t2->FieldByName("N")->AsInteger();
    t2->Delete();
    t2.reset();
    otra.MezclaTrabajo();
    CompruebaInvariantes();
    for (const auto& s : Subtipos("tipos")) EXPECT_NE(s.N, borrado);
    EXPECT_EQ(Cuenta("tipos"), 3 + Cuenta("tipos2"));
}

TEST_F(TiposMotor, SelectionMarksTellOnlyTheLastSelection) {
    AbreYCalcula();
    const auto t = Subtipos("tipos2");
    Motor.MarcaSeleccion({t[0].N, t[1].N});
    Motor.MarcaSeleccion({t[1].N});
    for (const auto& s : Subtipos("tipos2")) EXPECT_EQ(s.SELEC, s.N == t[1].N);
    EXPECT_EQ(Motor.FilasTipGrup(), 0);
    Motor.TrasOrganizador(true);
    for (const auto& s : Subtipos("tipos2")) EXPECT_FALSE(s.SELEC);
}

TEST_F(TiposMotor, TotalsOnTheTables) {
    AbreYCalcula();
    const auto totales = Motor.TotalesTipos();
    ASSERT_TRUE(totales.has_value());
    // By hand: the 15 counted students, French for the even ones, German for
    // the odd ones (the annulled one is the last, odd).
    EXPECT_EQ(totales->at(1), (std::vector<AnsiString>{"Total", "15"}));
    std::map<AnsiString, AnsiString> porAsig;
    for (size_t i = 2; i < totales->size(); ++i) porAsig[totales->at(i).at(0)] = totales->at(i).at(1);
    EXPECT_EQ(porAsig["FRA"], "8");
    EXPECT_EQ(porAsig["ALE"], "7");
    EXPECT_EQ(porAsig.count("LEN"), 0u);
    Motor.TrasladaSubtipoAGrupo(NDelTipo("FRA", "TEC"), 1, "A");
    const auto g = Motor.TotalesGrupo(AnsiString("A"));
    EXPECT_TRUE(g.HayGrupo);
    EXPECT_EQ(g.Alumnos, 1);
    // FRA 3 + TEC 2 + REL or ETI 1, with the common subjects hidden.
    EXPECT_EQ(g.Horas, 6);
}

TEST_F(TiposMotor, NewRowsOfTheScreenAndTheEditorTakeFreeNumbers) {
    AnadeSubtipos("tipos", {Sub(900, 1, "", false, {"FIL"}, "NBAC1")});
    AnadeTiposEnGrupo("tipgrup", {Fila(950, 1, "A", "", false, {{"FIL"}}, "NBAC1")});
    FijaReferencia();
    Motor.Abre();
    auto tipos = OpenTempTable(Base, "tipos2");
    std::vector<int> dados;
    for (int i = 0; i < 2; ++i) {
        tipos->Append();
        NuevaFilaEditorTipos(*tipos, Motor, "SubTp: Op:  Rep:NO--");
        Motor.PoneCursoEnFila(*tipos);
        tipos->Post();
        dados.push_back(tipos->FieldByName("N")->AsInteger());
        EXPECT_EQ(tipos->FieldByName("TNC")->AsString(), Curso);
        EXPECT_EQ(tipos->FieldByName("ASIGS")->AsString(), "SubTp: Op:  Rep:NO--");
    }
    tipos->Append();
    Motor.NumeraFilaNueva(*tipos);
    dados.push_back(tipos->FieldByName("N")->AsInteger());
    tipos->Cancel();
    const int mayor = Numeros(TiposEnGrupo("tipgrup")).back();
    EXPECT_EQ(dados, (std::vector<int>{mayor + 1, mayor + 2, mayor + 3}));
    CompruebaInvariantes();
}

TEST_F(TiposMotor, ClosingAnEmptyEditorAddsNoRow) {
    Motor.Abre();
    auto tipos = OpenTempTable(Base, "tipos2");
    FiltraBloque(*tipos, "SubTp: nada");
    ASSERT_TRUE(tipos->IsEmpty());
    CierraEditor(*tipos);
    EXPECT_EQ(Cuenta("tipos2"), 0);
    // A row being typed is stored; an untouched new row is not.
    tipos->Append();
    CierraEditor(*tipos);
    EXPECT_EQ(Cuenta("tipos2"), 0);
    FiltraBloque(*tipos, ItemTodos);
    tipos->Append();
    tipos->FieldByName("NALUM")->SetAsInteger(3);
    CierraEditor(*tipos);
    EXPECT_EQ(Cuenta("tipos2"), 1);
}

TEST_F(TiposMotor, EditorsListAndFilterByExactTexts) {
    AnadeTiposEnGrupo("tipgrup2",
                      {Fila(1, 1, "A", "", false, {{"MAT"}}), Fila(2, 1, "a", "", false, {{"MAT"}}),
                       Fila(3, 1, "'", "", false, {{"MAT"}}), Fila(4, 1, "A", "", false, {{"LEN"}})});
    EXPECT_EQ(GruposTipGrup(Base), (std::vector<AnsiString>{"Todos", "A", "a", "'"}));
    auto t = OpenTempTable(Base, "tipgrup2");
    FiltraGrupo(*t, "'");
    EXPECT_EQ(Numeros(LeeTipGrup(*t)), (std::vector<int>{3}));
    FiltraGrupo(*t, "A");
    EXPECT_EQ(Numeros(LeeTipGrup(*t)), (std::vector<int>{1, 4}));
    FiltraGrupo(*t, ItemTodos);
    EXPECT_EQ(CuentaFilas(*t), 4);

    AnadeSubtipos("tipos2", {Sub(5, 1, "", false, {}), Sub(6, 1, "", false, {})});
    auto s = OpenTempTable(Base, "tipos2");
    s->First();
    s->Edit();
    s->FieldByName("ASIGS")->SetAsString("SubTp: L'AN");
    s->Post();
    s->Next();
    s->Edit();
    s->FieldByName("ASIGS")->SetAsString("SUBTP: L'AN");
    s->Post();
    EXPECT_EQ(BloquesTipos(Base), (std::vector<AnsiString>{"Todos", "SubTp: L'AN"}));
    FiltraBloque(*s, "SubTp: L'AN");
    EXPECT_EQ(Numeros(LeeSubtipos(*s)), (std::vector<int>{5}));
}

// A course key holding an apostrophe names exactly its course.
TEST_F(TiposMotor, ACourseKeyWithAnApostropheIsFilteredExactly) {
    AnadeAlumnos({Alu("", false, {"X'Y"}, false, "", "D'ES"), Alu("", false, {"X'Y"}, false, "", "D'ES")});
    TMotorTipos otro(Base, "D'ES");
    otro.Abre();
    otro.RecuentaTipos(PreguntaBorrarTipos);
    const auto t2 = Subtipos("tipos2");
    ASSERT_EQ(t2.size(), 1u);
    EXPECT_EQ(t2[0].NALUM, 2);
    EXPECT_EQ(t2[0].TNC, "D'ES");
}

namespace {

// Every field of every visible row of a table, as texts, in record order.
std::vector<std::vector<AnsiString>> TablaEnTextos(const AnsiString& Base, const char* Tabla) {
    std::vector<std::vector<AnsiString>> r;
    auto t = OpenTempTable(Base, Tabla);
    for (t->First(); !t->Eof(); t->Next()) {
        r.emplace_back();
        for (TField* f : t->Fields()->List()) r.back().push_back(f->AsString());
    }
    return r;
}

// What the opening leaves: the six tables it writes and the engine's lists
// and next number.
struct TTrasAbrir {
    std::map<std::string, std::vector<std::vector<AnsiString>>> Tablas;
    TListasTipos Listas;
    int Siguiente = 0;
    bool operator==(const TTrasAbrir&) const = default;
};

TTrasAbrir LeeTrasAbrir(const AnsiString& Base, TMotorTipos& Motor) {
    TTrasAbrir r;
    for (const char* t : {"tipos", "tipgrup", "tipos2", "tipgrup2", "conex", "asigcur"})
        r.Tablas[t] = TablaEnTextos(Base, t);
    r.Listas = Motor.Listas();
    r.Siguiente = Motor.NuevoN();
    return r;
}

}  // namespace

// The opening reads every table once and writes each once; what it leaves
// is what the copy, the classification and the connections leave when run
// one after the other: stored rows of the course and of others, connection
// codes with blanks before them (the lists and memos see them so, the rows
// and conex get them trimmed), a count that was blank.
TEST_F(TiposMotor, TheOpeningInOnePassLeavesWhatItsStepsLeave) {
    AnadeSubtipos("tipos", {Sub(9, 3, "A", false, {"LEN", "MAT", "FRA", "TEC", "REL"}),
                            Sub(12, 2, "B", true, {"LEN", "MAT", "ALE", "MUS", "ETI"})});
    AnadeTiposEnGrupo(
        "tipgrup",
        {Fila(8, 4, "A", "A", false, {{"LEN"}, {"MAT"}, {"FRA", "1", " a"}, {"TEC", "2", "b"}, {"REL"}}),
         Fila(20, 5, "B", "B", true, {{"LEN"}, {"MAT", "1"}, {"ALE", "", " c"}, {"MUS"}, {"ETI"}})});
    {
        auto asigcur = OpenTempTable(Base, "asigcur");
        asigcur->First();
        asigcur->Edit();
        asigcur->FieldByName("CONTADOR")->Clear();
        asigcur->Post();
    }
    const auto copia = Root / "copia";
    std::filesystem::copy(Carpeta(), copia);
    TTrasAbrir porPasos;
    {
        TMotorTipos m(Base, Curso);
        m.CopiaTablasTrabajo();
        m.ClasificaTipos();
        m.CreaConexiones();
        porPasos = LeeTrasAbrir(Base, m);
    }
    ASSERT_EQ(porPasos.Tablas["conex"].size(), 4u);
    std::filesystem::copy(copia, Carpeta(), std::filesystem::copy_options::overwrite_existing);

    Motor.Abre();
    const TTrasAbrir deUnaVez = LeeTrasAbrir(Base, Motor);
    for (const auto& [tabla, filas] : porPasos.Tablas) EXPECT_EQ(deUnaVez.Tablas.at(tabla), filas) << tabla;
    EXPECT_EQ(deUnaVez.Listas, porPasos.Listas);
    EXPECT_EQ(deUnaVez.Siguiente, porPasos.Siguiente);
    CompruebaInvariantes(14);
}

// The lists see an annulled student's subjects only where every student
// counts: GRI is taken by an annulled student alone, who also lacks MAT.
TEST_F(TiposMotor, AnAnnulledStudentCountsOnlyInTheListsOfEveryStudent) {
    AnadeAlumnos({Alu("A", false, {"LEN", "GRI"}, true, "Anulado")});
    Motor.Abre();
    const TListasTipos& l = Motor.Listas();
    EXPECT_TRUE(l.AsigTodosAlumnos.Contiene("GRI"));
    EXPECT_FALSE(l.AsigAlumnos.Contiene("GRI"));
    EXPECT_TRUE(l.AsigComunes.Contiene("MAT"));
    EXPECT_FALSE(l.AsigComunesTodos.Contiene("MAT"));
    EXPECT_TRUE(l.AsigComunesTodos.Contiene("LEN"));
}
