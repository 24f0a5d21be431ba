// The rules the record screens carry out: numbering, the line clipboard,
// the course key, the students' bulk commands, the classes of a course's
// subjects and the application state they use.
#include "shell/RecordRules.h"
#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

namespace {
const char* const Datos = "C:\\PROG\\datos";
}

class RecordRules : public ShellFixture {
protected:
    TComponent* Pantalla = nullptr;  // the screen that owns the table components

    void SetUp() override {
        ShellFixture::SetUp();
        std::filesystem::create_directories(Maquina(Datos));
        Estado->ApuntaBaseDatos(Datos);
        Estado->CarpetaDatos = AnsiString(Datos) + "\\";
        CreaTablasNuevas(NombreBaseDatos);
        Pantalla = NewComponent<TComponent>(nullptr);
    }
    void TearDown() override {
        if (Pantalla) Pantalla->Free();
        ShellFixture::TearDown();
    }
    // A table component of the screen, as the form declares it.
    TTable* TablaDePantalla(const char* Nombre, const AnsiString& TNC = {}) {
        TTable* t = NewComponent<TTable>(Pantalla);
        t->SetDatabaseName(NombreBaseDatos);
        t->SetTableName(Nombre);
        if (!TNC.empty()) FiltraPorCurso(*t, TNC);
        t->Open();
        return t;
    }
    static std::vector<TFilaIntercambio> Alumnos() {
        return {{{"NOMBRE", "Zamora"},
                 {"TNC", "DESO4"},
                 {"N", 7},
                 {"GRUPO", "A"},
                 {"ASIG1", "MAT"},
                 {"DIV1", "1"}},
                {{"NOMBRE", "Abad"}, {"TNC", "DESO4"}, {"N", 3}, {"ANULAR", true}, {"ASIG2", "FRA"}},
                {{"NOMBRE", "Otro curso"}, {"TNC", "DBACH1"}, {"N", 1}, {"ASIG1", "MAT"}, {"GRUPO", "B"}},
                {{"NOMBRE", "Mena"},
                 {"TNC", "DESO4"},
                 {"N", 9},
                 {"ASIG3", "mat"},
                 {"ASIG5", "MAT"},
                 {"DIV5", "2"}},
                {{"NOMBRE", "Bravo"}, {"TNC", "DESO4"}, {"N", 9}, {"ASIG1", "mat"}}};
    }
};

TEST_F(RecordRules, RenumberingFollowsTheScreensOrderWithinItsCourse) {
    Anade(NombreBaseDatos, "alum", Alumnos());
    TTable* alum = TablaDePantalla("alum", "DESO4");
    RenumeraN(*alum, "NOMBRE");
    EXPECT_EQ(alum->FieldByName("NOMBRE")->AsString(), "Abad");
    std::vector<std::string> nombres;
    for (alum->First(); !alum->Eof(); alum->Next())
        nombres.push_back(alum->FieldByName("N")->AsString() + " " + alum->FieldByName("NOMBRE")->AsString());
    EXPECT_EQ(nombres, (std::vector<std::string>{"1 Abad", "2 Bravo", "3 Mena", "4 Zamora"}));
    EXPECT_EQ(Filas(NombreBaseDatos, "alum")[2]["N"], "1");  // the other course is left alone
}

TEST_F(RecordRules, TheLineClipboardMovesLinesBetweenTablesOfOneStructure) {
    Anade(NombreBaseDatos, "prof",
          {{{"N", 1}, {"ABREV", "AAA"}, {"NOMBRE", "Uno"}},
           {{"N", 2}, {"ABREV", "BBB"}, {"NOMBRE", "Dos"}},
           {{"N", 3}, {"ABREV", "CCC"}, {"NOMBRE", "Tres"}}});
    Anade(NombreBaseDatos, "aulas", {{{"N", 1}, {"ABREV", "A1"}}, {{"N", 2}, {"ABREV", "A2"}}});
    TTable* prof = TablaDePantalla("prof");
    TTable* aulas = TablaDePantalla("aulas");
    prof->SetIndexFieldNames("N");
    prof->OnNewRecord = [&](TDataSet* d) { d->FieldByName("N")->SetAsInteger(Estado->NLinea); };

    // Nothing was moved yet: nothing comes back.
    Estado->SetTablaActual(prof);
    RecuperaLinea(*Estado);
    EXPECT_EQ(prof->RecordCount(), 3);

    // Move the first teacher out, then bring it back twice on row "Tres".
    prof->First();
    SuprimeLinea(*Estado);
    EXPECT_TRUE(Estado->RecuperaActivo);
    EXPECT_EQ(Columna(NombreBaseDatos, "prof", "ABREV"), (std::vector<std::string>{"BBB", "CCC"}));
    prof->Last();
    RecuperaLinea(*Estado);
    prof->Last();
    RecuperaLinea(*Estado);
    std::vector<TFilaLeida> filas = Filas(NombreBaseDatos, "prof");
    ASSERT_EQ(filas.size(), 4u);
    EXPECT_EQ(filas[2]["ABREV"], "AAA");
    EXPECT_EQ(filas[2]["N"], "3");
    EXPECT_EQ(filas[3]["NOMBRE"], "Uno");
    EXPECT_EQ(Filas(NombreBaseDatos, "Deposito")[0]["N"], "1");  // the clipboard keeps its line

    // Classrooms differ in a field's size: the teacher does not go there.
    Estado->SetTablaActual(aulas);
    EXPECT_TRUE(DepositoDistinto(*Estado));
    RecuperaLinea(*Estado);
    EXPECT_EQ(aulas->RecordCount(), 2);

    // Insert takes the N of the row it goes before.
    Estado->SetTablaActual(prof);
    prof->First();
    InsertaLinea(*Estado);
    EXPECT_EQ(prof->State(), dsInsert);
    EXPECT_EQ(Estado->NLinea, 2);
    EXPECT_EQ(prof->FieldByName("N")->AsInteger(), 2);
    prof->Cancel();

    // An empty table has no line to move: "Recuperar" goes off until the next one.
    TTable* vacia = TablaDePantalla("nomasg");
    Estado->SetTablaActual(vacia);
    SuprimeLinea(*Estado);
    EXPECT_FALSE(Estado->RecuperaActivo);
    Estado->SetTablaActual(aulas);
    SuprimeLinea(*Estado);
    EXPECT_TRUE(Estado->RecuperaActivo);

    // Another folder closes the clipboard: nothing comes back until a line is moved there.
    std::filesystem::create_directories(Maquina("C:\\PROG\\otra"));
    CreaTablasNuevas("C:\\PROG\\otra");
    Anade("C:\\PROG\\otra", "aulas", {{{"N", 1}, {"ABREV", "X"}}});
    Estado->ApuntaBaseDatos("C:\\PROG\\otra");
    TTable* otras = TablaDePantalla("aulas");
    Estado->SetTablaActual(otras);
    RecuperaLinea(*Estado);
    EXPECT_EQ(otras->RecordCount(), 1);
}

TEST_F(RecordRules, TheGridMenuForgetsATableFreedWithItsScreen) {
    Anade(NombreBaseDatos, "aulas", {{{"N", 1}, {"ABREV", "A1"}}, {{"N", 2}, {"ABREV", "A2"}}});
    Estado->SetTablaActual(TablaDePantalla("aulas"));
    SuprimeLinea(*Estado);
    Pantalla->Free();
    Pantalla = nullptr;
    EXPECT_EQ(Estado->TablaActual(), nullptr);
    InsertaLinea(*Estado);
    SuprimeLinea(*Estado);
    RecuperaLinea(*Estado);
    EXPECT_EQ(Columna(NombreBaseDatos, "aulas", "ABREV"), std::vector<std::string>{"A2"});
    EXPECT_TRUE(Estado->RecuperaActivo);
}

TEST_F(RecordRules, CourseKeyIsBuiltOnPostAndTheCurrentRowIsSelectedOnClose) {
    TTable* cursos = TablaDePantalla("cursos");
    cursos->BeforePost = [](TDataSet* d) { PonClaveCurso(*d); };
    cursos->Append();
    cursos->FieldByName("TURNO")->SetAsString("D");
    cursos->FieldByName("NIVEL")->SetAsString("ESO");
    cursos->FieldByName("CURSO")->SetAsString("1");
    cursos->Post();
    EXPECT_EQ(cursos->FieldByName("TNC")->AsString(), "DESO1");
    cursos->Edit();
    cursos->FieldByName("NIVEL")->SetAsString("BACH");
    SeleccionaCurso(*Estado, *cursos);  // not posted yet: the key the row holds
    EXPECT_EQ(Estado->TNCSeleccionado, "DESO1");
    EXPECT_EQ(Estado->Nivel, "BACH");
    cursos->Post();
    SeleccionaCurso(*Estado, *cursos);
    EXPECT_EQ(Estado->TNCSeleccionado, "DBACH1");
    EXPECT_EQ(Estado->Turno, "D");
    EXPECT_EQ(Estado->Curso, "1");

    cursos->EmptyTable();
    cursos->Refresh();
    SeleccionaCurso(*Estado, *cursos);
    EXPECT_EQ(Estado->TNCSeleccionado, "");
    EXPECT_FALSE(Estado->HayCursoSeleccionado());
    EXPECT_EQ(Dialogs.Texts().back(), "Antes de continuar debe seleccionar un Curso");
}

TEST_F(RecordRules, BulkCommandsTouchOnlyTheCoursesStudents) {
    Anade(NombreBaseDatos, "alum", Alumnos());
    TTable* alum = TablaDePantalla("alum", "DESO4");
    auto anular = [&] { return Columna(NombreBaseDatos, "alum", "ANULAR"); };
    using V = std::vector<std::string>;

    AnulaConAsignatura(*alum, "");
    EXPECT_EQ(anular(), (V{"", "True", "", "", ""}));
    // Exact code in any slot; small letters are another code.
    AnulaConAsignatura(*alum, "MAT");
    EXPECT_EQ(anular(), (V{"True", "True", "", "True", ""}));
    EXPECT_EQ(alum->RecNo(), 1);
    InvierteAnular(*alum);
    EXPECT_EQ(anular(), (V{"False", "False", "", "False", "True"}));
    InvierteAnular(*alum);
    EXPECT_EQ(anular(), (V{"True", "True", "", "True", "False"}));
    LimpiaAnular(*alum);
    EXPECT_EQ(anular(), (V{"False", "False", "", "False", "False"}));
    LimpiaGruposYDivisiones(*alum);
    EXPECT_EQ(Columna(NombreBaseDatos, "alum", "GRUPO"), (V{"", "", "B", "", ""}));
    EXPECT_EQ(Columna(NombreBaseDatos, "alum", "DIV5"), (V{"", "", "", "", ""}));
    EXPECT_EQ(Columna(NombreBaseDatos, "alum", "ASIG5"), (V{"", "", "", "MAT", ""}));
}

namespace {

struct TCasoClases {
    const char* Nombre;
    std::vector<TFilaIntercambio> Alumnos;
    // The course's asigcur rows before: code and N.
    std::vector<std::pair<const char*, int>> Filas;
    // Afterwards, in code order: "ASIG TIPO N".
    std::vector<std::string> Clases;
};

TFilaIntercambio Alumno(std::vector<const char*> Asignaturas, bool Anulado = false) {
    TFilaIntercambio f = {{"TNC", "DESO4"}, {"ANULAR", Anulado}};
    for (size_t i = 0; i < Asignaturas.size(); ++i)
        f["ASIG" + std::to_string(i + 1)] = TVariant(Asignaturas[i]);
    return f;
}

}  // namespace

TEST_F(RecordRules, SubjectsAreClassedFromTheStudentsWhoAreNotAnnulled) {
    const TCasoClases casos[] = {
        {"no students: every subject optional, numbered in code order",
         {},
         {{"MAT", 4}, {"FRA", 9}, {"ING", 2}},
         {"FRA 1 1", "ING 1 2", "MAT 1 3"}},
        {"common despite an annulled student; only annulled ones take a subject: not used",
         {Alumno({"MAT", "ING", "FRA"}), Alumno({"ING", "MAT"}), Alumno({"ING", "REL"}, true)},
         {{"ING", 1}, {"MAT", 2}, {"FRA", 3}, {"REL", 4}},
         {"FRA 1 1", "ING 2 1", "MAT 2 2", "REL 3 4"}},
        {"two subjects missing from one student are both removed; a subject without a row gets one",
         {Alumno({"LCL", "MAT", "ING", "EF"}), Alumno({"LCL", "EF"}),
          Alumno({"EF", "LCL", "MAT", "ING", "TEC"})},
         {{"LCL", 5}, {"MAT", 6}, {"ING", 7}, {"EF", 8}},
         {"EF 2 8", "ING 1 1", "LCL 2 5", "MAT 1 2", "TEC 1 3"}},
        {"codes in the lists ignore case",
         {Alumno({"MAT", "ING"}), Alumno({"MAT"})},
         {{"mat", 1}, {"ing", 2}},
         // The key search for a row is exact: MAT and ING get rows of their own.
         {"ING 1 1", "MAT 2 3", "ing 1 2", "mat 2 1"}},
        {"every student annulled: nothing is in use",
         {Alumno({"MAT", "ING"}, true), Alumno({"MAT"}, true)},
         {{"MAT", 1}, {"ING", 2}},
         {"ING 3 2", "MAT 3 1"}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        OpenTempTable(NombreBaseDatos, "asigcur")->EmptyTable();
        OpenTempTable(NombreBaseDatos, "alum")->EmptyTable();
        // Another course's rows and students must not count.
        Anade(NombreBaseDatos, "alum", {{{"TNC", "OTRO"}, {"ASIG1", "XXX"}}});
        Anade(NombreBaseDatos, "asigcur", {{{"TNC", "OTRO"}, {"ASIG", "MAT"}, {"N", 50}, {"TIPO", 2}}});
        Anade(NombreBaseDatos, "alum", caso.Alumnos);
        std::vector<TFilaIntercambio> filas;
        int mayor = 0;
        for (const auto& [asig, n] : caso.Filas) {
            filas.push_back({{"TNC", "DESO4"}, {"ASIG", asig}, {"N", n}});
            mayor = std::max(mayor, n);
        }
        Anade(NombreBaseDatos, "asigcur", filas);

        int ultimo = ClasificaAsignaturas(NombreBaseDatos, "DESO4");

        std::vector<std::string> clases;
        TTempTable t = NewTempTable(NombreBaseDatos, "asigcur");
        FiltraPorCurso(*t, "DESO4");
        t->SetIndexName("ASIG");
        t->Open();
        for (t->First(); !t->Eof(); t->Next()) {
            clases.push_back(t->FieldByName("ASIG")->AsString() + " " + t->FieldByName("TIPO")->AsString() +
                             " " + t->FieldByName("N")->AsString());
            if (t->FieldByName("ASIG")->AsString() == "TEC") {
                EXPECT_EQ(t->FieldByName("CUENTA")->AsString(), "True");
                EXPECT_EQ(t->FieldByName("HORAS")->AsFloat(), 0.0);
            }
        }
        EXPECT_EQ(clases, caso.Clases);
        EXPECT_EQ(ultimo, mayor + int(clases.size() - caso.Filas.size()));
        EXPECT_EQ(Filas(NombreBaseDatos, "asigcur")[0]["TIPO"], "2");
    }
}

TEST_F(RecordRules, ABlockFollowsItsSubjectAndTheFiguresAreFixedOnClose) {
    Anade(NombreBaseDatos, "asigcur",
          {{{"TNC", "DESO4"}, {"ASIG", "FRA"}, {"TIPO", 1}, {"BLOPT", 2}, {"CUENTA", true}},
           {{"TNC", "DESO4"}, {"ASIG", "MUS"}, {"TIPO", 1}, {"BLOPT", 2}, {"CUENTA", true}},
           {{"TNC", "DESO4"}, {"ASIG", "TEC"}, {"TIPO", 1}, {"BLOPT", 0}, {"CUENTA", true}},
           {{"TNC", "DESO4"}, {"ASIG", "ALE"}, {"TIPO", 1}, {"BLOPT", 3}, {"CUENTA", true}},
           {{"TNC", "OTRO"}, {"ASIG", "INF"}, {"TIPO", 1}, {"BLOPT", 2}, {"CUENTA", true}},
           {{"TNC", "DESO4"}, {"ASIG", "LCL"}, {"TIPO", 2}, {"NDIV", 7}, {"MAXALUM", 30}, {"NPROF", 7}},
           {{"TNC", "DESO4"}, {"ASIG", "REL"}, {"TIPO", 3}, {"NDIV", 1}, {"MAXALUM", 30}, {"NPROF", 1}}});
    TTable* opt = TablaDePantalla("asigcur");
    FiltraPorClase(*opt, "DESO4", TipoOptativa);
    opt->Close();
    opt->Open();
    for (const char* campo : {"CUENTA", "NASALUM"})
        opt->FieldByName(campo)->OnChange = [opt](TField* f) { PropagaEnBloque(*opt, *f); };

    opt->First();  // FRA, block 2: the change goes through the block and is stored
    opt->Edit();
    opt->FieldByName("CUENTA")->SetAsBoolean(false);
    EXPECT_EQ(opt->State(), dsBrowse);
    EXPECT_EQ(opt->FieldByName("ASIG")->AsString(), "FRA");
    opt->Edit();
    opt->FieldByName("NASALUM")->SetAsInteger(1);
    EXPECT_TRUE(Assigned(opt->FieldByName("CUENTA")->OnChange));
    opt->Next();
    opt->Next();  // TEC, no block
    opt->Edit();
    opt->FieldByName("CUENTA")->SetAsBoolean(false);
    opt->Post();
    using V = std::vector<std::string>;
    EXPECT_EQ(Columna(NombreBaseDatos, "asigcur", "CUENTA"),
              (V{"False", "False", "False", "True", "True", "", ""}));
    EXPECT_EQ(Columna(NombreBaseDatos, "asigcur", "NASALUM"), (V{"1", "1", "", "", "", "", ""}));

    struct {
        int NGrup;
        const char* Cifra;
    } casos[] = {{4, "4"}, {0, "0"}, {-3, "0"}, {45, "30"}};
    for (const auto& c : casos) {
        TTable* com = TablaDePantalla("asigcur");
        TTable* nous = TablaDePantalla("asigcur");
        com->Close();
        nous->Close();
        FiltraPorClase(*com, "DESO4", TipoComun);
        FiltraPorClase(*nous, "DESO4", TipoNoUsada);
        com->Open();
        nous->Open();
        FijaCifrasAlCerrar(*com, *nous, c.NGrup);
        std::vector<TFilaLeida> f = Filas(NombreBaseDatos, "asigcur");
        for (size_t i : {size_t(5), size_t(6)}) {
            EXPECT_EQ(f[i]["NDIV"], c.Cifra) << c.NGrup;
            EXPECT_EQ(f[i]["NPROF"], c.Cifra) << c.NGrup;
            EXPECT_EQ(f[i]["MAXALUM"], "0");
        }
        EXPECT_EQ(AcotaGrupos(c.NGrup), std::stoi(c.Cifra));
    }
    EXPECT_EQ(Filas(NombreBaseDatos, "asigcur")[0]["NDIV"], "");

    int ngrup = -1;
    Anade(NombreBaseDatos, "cursos", {{{"TNC", "DESO4"}, {"NGRUP", 4}}});
    EXPECT_TRUE(GruposDelCurso(NombreBaseDatos, "DESO4", ngrup));
    EXPECT_EQ(ngrup, 4);
    EXPECT_FALSE(GruposDelCurso(NombreBaseDatos, "NADA", ngrup));
}

TEST_F(RecordRules, WithoutTypesInGroupTheGroupsTableEmpties) {
    Anade(NombreBaseDatos, "grupos", {{{"TNCG", "DESO4A"}}});
    RehaceGrupos(NombreBaseDatos);
    EXPECT_EQ(Cuenta(NombreBaseDatos, "grupos"), 0);
}

TEST_F(RecordRules, StateMessagesNameWhatIsMissing) {
    Estado->CarpetaDatos.clear();
    EXPECT_FALSE(Estado->HayCarpetaDatos());
    Estado->Paso = 1;
    EXPECT_TRUE(Estado->HayCarpetaDatos());
    Estado->MemInsuf("EN MEMOFIJA 1");
    std::vector<AnsiString> textos = Dialogs.Texts();
    EXPECT_EQ(textos,
              (std::vector<AnsiString>{"Antes de continuar debe importar o seleccionar una carpeta de datos",
                                       "MEMORIA INSUFICIENTE EN MEMOFIJA 1"}));
    EXPECT_EQ(Dialogs.Asked().back().Flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(Dialogs.Asked().back().Caption, "Atenci\xF3n");
}
