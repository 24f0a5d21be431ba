// The export into the exchange folder, stage by stage.
#include <algorithm>
#include <fstream>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/Export.h"
#include "shell/SchoolTables.h"

namespace {

const char* const Datos = "C:\\PROG\\datos";

std::string Bytes(const std::filesystem::path& P) {
    std::ifstream f(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The exchange as the management program left it: rows our data matches,
// rows it does not, and rows that differ from ours only in case.
TDatosIntercambio Intercambio() {
    TDatosIntercambio d;
    d["AsigNomt"] = {{{"NOMBRE", "Mates"}, {"COD", "MAT"}, {"CODLARGO", "M"}},
                     {{"NOMBRE", "Filosof\xED"
                                 "a"},
                      {"COD", "FIL"},
                      {"CODLARGO", "FILO"}},
                     {{"NOMBRE", "Antigua"}, {"COD", "OLD"}, {"CODLARGO", "OLD"}}};
    d["Cursost"] = {{{"ABREV", "1BD"}, {"TURNO", "X"}, {"NIVEL", "BACH"}, {"CURSO", "1"}},
                    {{"ABREV", "1BN"}, {"TURNO", "N"}, {"NIVEL", "BACH"}, {"CURSO", "1"}}};
    d["Asigcurt"] = {{{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "FIL"}, {"HORAS", 3.0}},
                     {{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "GRI"}, {"HORAS", 2.0}}};
    d["grupost"] = {{{"ABREV", "ZZZA"}, {"GRUPO", "A"}}};
    d["proft"] = {{{"ABREV", "JLP"}, {"NOMBRE", "Antiguo"}, {"DEPART", "Antiguo"}}};
    d["aulat"] = {{{"ABREV", "LAB"}, {"NOMBRE", "Antiguo"}, {"EDIFICIO", "A"}}};
    d["alumnost"] = {{{"EXPED", "501"},
                      {"NOMBRE", "Antiguo"},
                      {"TURNO", "D"},
                      {"NIVEL", "ESO"},
                      {"CURSO", "4"},
                      {"GRUPO", "C"},
                      {"ASIG1", "OLD"},
                      {"DIV1", "9"}}};
    return d;
}

}  // namespace

class Export : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        std::filesystem::create_directories(Maquina(Datos));
        Estado->ApuntaBaseDatos(Datos);
        CreaTablasNuevas(NombreBaseDatos);
        Anade(NombreBaseDatos, "nomasg",
              {{{"ABREV", "MAT"}, {"ABREV8", "MATEMAT"}, {"NOMBRE", "Matem\xE1ticas"}},
               {{"ABREV", "fil"},
                {"ABREV8", "FILOSOF"},
                {"NOMBRE", "Filosof\xED"
                           "a"}},
               {{"ABREV", "MAT"}, {"ABREV8", "MATE2"}, {"NOMBRE", "Matem\xE1ticas II"}}});
        Anade(NombreBaseDatos, "cursos",
              {{{"ABREV", "1BD"}, {"TURNO", "D"}, {"NIVEL", "BACH"}, {"CURSO", "1"}, {"TNC", "DBACH1"}},
               {{"ABREV", "1bn"}, {"TURNO", "N"}, {"NIVEL", "BACH"}, {"CURSO", "1"}, {"TNC", "NBACH1"}}});
        Anade(NombreBaseDatos, "asigcur",
              {{{"TNC", "DBACH1"}, {"ASIG", "FIL"}, {"HORAS", 3.5}},
               {{"TNC", "DBACH1"}, {"ASIG", "LAT"}, {"HORAS", 4.0}},
               {{"TNC", "NBACH1"}, {"ASIG", "FIL"}, {"HORAS", 2.5}}});
        Anade(NombreBaseDatos, "tipgrup",
              {{{"TNC", "DBACH1"}, {"TNCG", "DBACH1B"}, {"GRUPO", "B"}},
               {{"TNC", "DBACH1"}, {"TNCG", "DBACH1A"}, {"GRUPO", "A"}},
               {{"TNC", "DBACH1"}, {"TNCG", "DBACH1A"}, {"GRUPO", "A"}},
               {{"TNC", "QQQ"}, {"TNCG", "QQQA"}, {"GRUPO", "A"}}});
        Anade(NombreBaseDatos, "prof",
              {{{"ABREV", "JLP"}, {"NOMBRE", "L\xF3pez, Jos\xE9"}, {"DEPART", "Cl\xE1sicas"}},
               {{"ABREV", "jlp"}, {"NOMBRE", "Lara, Juan"}, {"DEPART", "Lengua"}}});
        Anade(NombreBaseDatos, "aulas", {{{"ABREV", "LAB"}, {"NOMBRE", "Laboratorio"}, {"EDIFICIO", "B"}}});
        Anade(NombreBaseDatos, "alum",
              {{{"EXPED", "501"},
                {"NOMBRE", "Ib\xE1\xF1"
                           "ez, Ana"},
                {"TNC", "DBACH1"},
                {"GRUPO", "A"},
                {"OPCION", "H"},
                {"REPITE", true},
                {"ASIG1", "FIL"},
                {"DIV1", "2"}},
               {{"EXPED", "502"},
                {"NOMBRE", "Ruiz, Pablo"},
                {"TNC", "NBACH1"},
                {"GRUPO", "B"},
                {"ASIG1", "LAT"}},
               {{"EXPED", "503"}, {"NOMBRE", "Sin curso"}, {"TNC", "NADA"}}});
        Anade(NombreBaseDatos, "conex", {{{"TNC", "DBACH1"}, {"CON", "a"}}});
        EscribeIntercambio(Intercambio(), Qtemp);
    }

    // The export as the screen runs it: the logic, which shows nothing,
    // then the routine that tells its outcome.
    TResultadoExportar Exporta() {
        const size_t antes = Dialogs.Asked().size();
        TResultadoExportar r = ExportaDatos();
        EXPECT_EQ(Dialogs.Asked().size(), antes) << "the export logic shows nothing";
        AvisaResultadoExportar(r);
        return r;
    }
};

const std::vector<AnsiString> TodasLasTablas = {"AsigNomt.DBF", "CURSOSt.DBF", "ASIGCURt.DBF", "GRUPOST.DBF",
                                                "PROFT.DBF",    "AULAT.DBF",   "ALUMNOST.DBF"};

TEST_F(Export, EveryStageMergesWithoutDeletingAndCaseCounts) {
    const TResultadoExportar r = Exporta();
    ASSERT_EQ(r.Fin, TFinExportar::Hecha) << MensajeExportar(r);
    EXPECT_EQ(r.Escritas, TodasLasTablas);
    EXPECT_TRUE(Dialogs.Asked().empty());

    // grupos: one row per group key of tipgrup whose course exists, in key order.
    std::vector<TFilaLeida> g = Filas(NombreBaseDatos, "grupos");
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0]["TNCG"], "DBACH1A");
    EXPECT_EQ(g[0]["ABREV"], "1BDA");
    EXPECT_EQ(g[0]["N"], "1");
    EXPECT_EQ(g[1]["TNCG"], "DBACH1B");
    EXPECT_EQ(g[1]["TURNO"], "D");

    // Subject names: the later of two school rows with one key wins; a code
    // in other letters is another code.
    std::vector<TFilaLeida> n = Filas(Qtemp, "AsigNomt");
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0]["NOMBRE"], "Matem\xE1ticas II");
    EXPECT_EQ(n[0]["CODLARGO"], "MATE2");
    EXPECT_EQ(n[1]["NOMBRE"], "Filosof\xED"
                              "a");
    EXPECT_EQ(n[1]["CODLARGO"], "FILO");
    EXPECT_EQ(n[2]["COD"], "OLD");
    EXPECT_EQ(n[3]["COD"], "fil");

    std::vector<TFilaLeida> c = Filas(Qtemp, "Cursost");
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0]["TURNO"], "D");
    EXPECT_EQ(c[1]["ABREV"], "1BN");  // untouched: our course is "1bn"
    EXPECT_EQ(c[2]["ABREV"], "1bn");
    // Both shifts write the level's rows; the later course's hours remain.
    std::vector<TFilaLeida> a = Filas(Qtemp, "Asigcurt");
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0]["ASIG"], "FIL");
    EXPECT_EQ(a[0]["HORAS"], "2,5");
    EXPECT_EQ(a[1]["ASIG"], "GRI");
    EXPECT_EQ(a[1]["HORAS"], "2");
    EXPECT_EQ(a[2]["ASIG"], "LAT");
    EXPECT_EQ(a[2]["NIVEL"], "BACH");

    std::vector<TFilaLeida> gt = Filas(Qtemp, "grupost");
    ASSERT_EQ(gt.size(), 2u);
    EXPECT_EQ(gt[0]["ABREV"], "1BDA");
    EXPECT_EQ(gt[1]["GRUPO"], "B");

    std::vector<TFilaLeida> p = Filas(Qtemp, "proft");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0]["NOMBRE"], "L\xF3pez, Jos\xE9");
    EXPECT_EQ(p[1]["ABREV"], "jlp");
    EXPECT_EQ(Filas(Qtemp, "aulat")[0]["EDIFICIO"], "B");

    // A known student keeps the course the exchange gives it; a new one takes
    // ours, or none when its course is not among ours.
    std::vector<TFilaLeida> s = Filas(Qtemp, "alumnost");
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0]["NIVEL"], "ESO");
    EXPECT_EQ(s[0]["GRUPO"], "A");
    EXPECT_EQ(s[0]["ASIG1"], "FIL");
    EXPECT_EQ(s[0]["DIV1"], "2");
    EXPECT_EQ(s[0]["REPITE"], "True");
    EXPECT_EQ(s[1]["TURNO"], "N");
    EXPECT_EQ(s[1]["NIVEL"], "BACH");
    EXPECT_EQ(s[1]["REPITE"], "False");
    EXPECT_EQ(s[2]["TURNO"], "");
    EXPECT_EQ(s[2]["NOMBRE"], "Sin curso");

    for (const char* f : {"TIPGRUP.DBF", "TIPGRUP.MDX", "CONEX.DBF", "CONEX.MDX"}) {
        std::filesystem::path origen = Maquina(AnsiString(Datos) + "\\" + f);
        EXPECT_EQ(Bytes(Maquina(Qtemp) / f), Bytes(origen)) << f;
        EXPECT_FALSE(Bytes(origen).empty());
    }
}

// A key new to the exchange that two school rows carry: the first row adds
// it, the second updates the row just added instead of adding another, in
// every stage that merges.
TEST_F(Export, ASecondSchoolRowWithAKeyTheMergeAddedUpdatesThatRow) {
    Anade(NombreBaseDatos, "nomasg",
          {{{"ABREV", "GEO"}, {"NOMBRE", "Geo uno"}}, {{"ABREV", "GEO"}, {"NOMBRE", "Geo dos"}}});
    Anade(NombreBaseDatos, "prof",
          {{{"ABREV", "ZZZ"}, {"NOMBRE", "Prof uno"}}, {{"ABREV", "ZZZ"}, {"NOMBRE", "Prof dos"}}});
    Anade(NombreBaseDatos, "aulas",
          {{{"ABREV", "AU1"}, {"NOMBRE", "Aula uno"}}, {{"ABREV", "AU1"}, {"NOMBRE", "Aula dos"}}});
    Anade(NombreBaseDatos, "alum",
          {{{"EXPED", "900"}, {"NOMBRE", "Alumno uno"}}, {{"EXPED", "900"}, {"NOMBRE", "Alumno dos"}}});
    Anade(NombreBaseDatos, "cursos",
          {{{"ABREV", "2BD"}, {"TURNO", "D"}, {"NIVEL", "BACH"}, {"CURSO", "2"}, {"TNC", "DBACH2"}},
           {{"ABREV", "2BD"}, {"TURNO", "T"}, {"NIVEL", "BACH"}, {"CURSO", "2"}, {"TNC", "TBACH2"}}});
    // LAT, new to the exchange, in both shifts of the level: the night's hours remain.
    Anade(NombreBaseDatos, "asigcur", {{{"TNC", "NBACH1"}, {"ASIG", "LAT"}, {"HORAS", 5.0}}});

    ASSERT_EQ(Exporta().Fin, TFinExportar::Hecha);
    struct {
        const char* Tabla;
        const char* Clave;
        const char* Valor;
        const char* Campo;
        const char* Espera;
    } casos[] = {
        {"AsigNomt", "COD", "GEO", "NOMBRE", "Geo dos"}, {"proft", "ABREV", "ZZZ", "NOMBRE", "Prof dos"},
        {"aulat", "ABREV", "AU1", "NOMBRE", "Aula dos"}, {"alumnost", "EXPED", "900", "NOMBRE", "Alumno dos"},
        {"Cursost", "ABREV", "2BD", "TURNO", "T"},       {"Asigcurt", "ASIG", "LAT", "HORAS", "5"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Tabla);
        std::vector<TFilaLeida> conClave;
        for (auto& f : Filas(Qtemp, c.Tabla))
            if (f[c.Clave] == c.Valor) conClave.push_back(f);
        ASSERT_EQ(conClave.size(), 1u);
        EXPECT_EQ(conClave[0][c.Campo], c.Espera);
    }
}

TEST_F(Export, AStageWhoseExchangeFileIsMissingIsSkipped) {
    struct {
        const char* Falta;
        std::vector<const char*> SinCambio;  // exchange tables left as they were
    } casos[] = {
        {"ASIGCURt.DBF", {"Cursost"}}, {"CURSOSt.DBF", {"Asigcurt"}}, {"AsigNomt.DBF", {}},
        {"GRUPOST.DBF", {}},           {"ALUMNOST.DBF", {}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Falta);
        std::filesystem::remove_all(Maquina(Qtemp));
        EscribeIntercambio(Intercambio(), Qtemp);
        std::filesystem::remove(Maquina(Qtemp) / caso.Falta);

        const TResultadoExportar r = Exporta();
        EXPECT_EQ(r.Fin, TFinExportar::Hecha) << MensajeExportar(r);
        EXPECT_TRUE(Dialogs.Asked().empty());
        EXPECT_EQ(std::count(r.Escritas.begin(), r.Escritas.end(), AnsiString(caso.Falta)), 0);

        EXPECT_FALSE(std::filesystem::exists(Maquina(Qtemp) / caso.Falta));
        for (const char* t : caso.SinCambio) EXPECT_EQ(Filas(Qtemp, t).size(), Intercambio()[t].size()) << t;
        EXPECT_EQ(Filas(Qtemp, "proft").size(), 2u);
        EXPECT_TRUE(std::filesystem::exists(Maquina(Qtemp) / "CONEX.DBF"));
    }
}

TEST_F(Export, MissingFolderBadTablesAndFailedCopiesAreTold) {
    // No exchange folder: groups are rebuilt, nothing else is written, the user is told.
    std::filesystem::remove_all(Maquina(Qtemp));
    TResultadoExportar r = Exporta();
    EXPECT_EQ(r.Fin, TFinExportar::NadaExportado);
    EXPECT_EQ(r.Error, "No se encuentra la carpeta de intercambio C:\\QTEMP.");
    EXPECT_EQ(Dialogs.Texts().back(),
              "No se ha exportado nada. No se encuentra la carpeta de intercambio C:\\QTEMP.");
    EXPECT_EQ(Dialogs.Asked().back().Caption, TituloAtencion);
    EXPECT_FALSE(std::filesystem::exists(Maquina(Qtemp)));
    EXPECT_EQ(Cuenta(NombreBaseDatos, "grupos"), 2);

    // A table without a field the export writes: nothing at all is written.
    EscribeIntercambio(Intercambio(), Qtemp);
    CreaTablaLibre(Qtemp, "PROFT.DBF", {{"ABREV", ftString, 4}, {"NOMBRE", ftString, 40}},
                   {{{"ABREV", "JLP"}, {"NOMBRE", "Antiguo"}}});
    r = Exporta();
    EXPECT_EQ(r.Fin, TFinExportar::NadaExportado);
    EXPECT_TRUE(r.Escritas.empty());
    EXPECT_NE(r.Error.find("PROFT.DBF no tiene el campo DEPART"), std::string::npos);
    EXPECT_EQ(Dialogs.Texts().back(), "No se ha exportado nada. " + r.Error);
    EXPECT_NE(Dialogs.Texts().back().find("PROFT.DBF no tiene el campo DEPART"), std::string::npos);
    EXPECT_EQ(Filas(Qtemp, "AsigNomt").size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(Maquina(Qtemp) / "TIPGRUP.DBF"));

    // A copy that cannot be made is named.
    std::filesystem::remove_all(Maquina(Qtemp));
    EscribeIntercambio(Intercambio(), Qtemp);
    std::filesystem::create_directories(Maquina(Qtemp) / "CONEX.MDX" / "ocupado");
    r = Exporta();
    EXPECT_EQ(r.Fin, TFinExportar::CopiasFallidas);
    EXPECT_EQ(r.NoCopiados, std::vector<AnsiString>{"CONEX.MDX"});
    EXPECT_EQ(r.Escritas, TodasLasTablas);
    EXPECT_EQ(Dialogs.Texts().back(), "No se ha podido copiar en C:\\QTEMP: CONEX.MDX.");
    EXPECT_TRUE(std::filesystem::exists(Maquina(Qtemp) / "CONEX.DBF"));
}

// A stage that fails midway (here on the students of the data folder, cut
// short by a full disk) stops the export, and the user learns which tables
// were written before it.
TEST_F(Export, AStageThatFailsMidwayStopsTheExportAndSaysWhatWasWritten) {
    const std::filesystem::path alumnos = Maquina(Datos) / "alum.dbf";
    std::filesystem::resize_file(alumnos, std::filesystem::file_size(alumnos) - 20);
    const TResultadoExportar r = Exporta();
    EXPECT_EQ(r.Fin, TFinExportar::Detenida);
    EXPECT_EQ(r.Fallidas, std::vector<AnsiString>{"ALUMNOST.DBF"});
    EXPECT_EQ(r.Escritas, std::vector<AnsiString>(TodasLasTablas.begin(), TodasLasTablas.end() - 1));
    EXPECT_FALSE(r.Error.empty());
    ASSERT_EQ(Dialogs.Asked().size(), 1u);
    const AnsiString texto = Dialogs.Texts().back();
    EXPECT_EQ(texto.rfind("La exportaci\xF3n se ha detenido al escribir ALUMNOST.DBF: ", 0), 0u) << texto;
    EXPECT_NE(texto.find(". Se hab\xED"
                         "an escrito en C:\\QTEMP: AsigNomt.DBF, CURSOSt.DBF, ASIGCURt.DBF, GRUPOST.DBF, "
                         "PROFT.DBF, AULAT.DBF. ALUMNOST.DBF puede haber quedado a medias; no se ha escrito "
                         "nada m\xE1s."),
              std::string::npos)
        << texto;
    EXPECT_EQ(Dialogs.Asked().back().Caption, TituloAtencion);
    EXPECT_EQ(Filas(Qtemp, "proft").size(), 2u) << "what was written stays";
    EXPECT_FALSE(std::filesystem::exists(Maquina(Qtemp) / "TIPGRUP.DBF")) << "nothing after the failure";
}

// The warnings as the user reads them, for outcomes the folders above do not
// reach: a stage that stops first, an error that ends in its own full stop,
// several copies that failed. An export that ended well is not told.
TEST(ExportMessages, EachOutcomeIsToldInItsOwnWords) {
    using R = TResultadoExportar;
    struct {
        R Resultado;
        const char* Texto;
    } casos[] = {
        {R{}, ""},
        {R{TFinExportar::NadaExportado,
           "C:\\QTEMP",
           "No se encuentra la carpeta de intercambio C:\\QTEMP.",
           {},
           {},
           {}},
         "No se ha exportado nada. No se encuentra la carpeta de intercambio C:\\QTEMP."},
        {R{TFinExportar::Detenida, "C:\\QTEMP", "Disco lleno", {"AsigNomt.DBF"}, {}, {}},
         "La exportaci\xF3n se ha detenido al escribir AsigNomt.DBF: Disco lleno. No se hab\xED"
         "a escrito ninguna otra tabla en C:\\QTEMP. AsigNomt.DBF puede haber quedado a medias; no se ha "
         "escrito nada m\xE1s."},
        {R{TFinExportar::Detenida,
           "C:\\QTEMP",
           "Disco lleno.",
           {"CURSOSt.DBF", "ASIGCURt.DBF"},
           {"AsigNomt.DBF"},
           {}},
         "La exportaci\xF3n se ha detenido al escribir CURSOSt.DBF, ASIGCURt.DBF: Disco lleno. Se hab\xED"
         "an escrito en C:\\QTEMP: AsigNomt.DBF. CURSOSt.DBF, ASIGCURt.DBF puede haber quedado a medias; no "
         "se "
         "ha escrito nada m\xE1s."},
        {R{TFinExportar::CopiasFallidas, "C:\\QTEMP", "", {}, {}, {"TIPGRUP.DBF", "CONEX.MDX"}},
         "No se ha podido copiar en C:\\QTEMP: TIPGRUP.DBF, CONEX.MDX."},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Texto);
        EXPECT_EQ(MensajeExportar(caso.Resultado), caso.Texto);
        TScriptedDialogs dialogos;
        AvisaResultadoExportar(caso.Resultado);
        if (*caso.Texto == '\0') {
            EXPECT_TRUE(dialogos.Asked().empty());
            continue;
        }
        ASSERT_EQ(dialogos.Asked().size(), 1u);
        EXPECT_EQ(dialogos.Asked()[0].Text, caso.Texto);
        EXPECT_EQ(dialogos.Asked()[0].Caption, TituloAtencion);
    }
}
