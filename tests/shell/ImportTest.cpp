// The import from the exchange folder into a data folder.
#include <algorithm>
#include <fstream>
#include <functional>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "shell/AppState.h"
#include "shell/Export.h"
#include "shell/Import.h"
#include "shell/SchoolTables.h"
#include "tests/support/OutsideTools.h"

namespace {

// Two courses of the same level and year in different shifts, a course no
// subject row matches, a subject row no course matches, students arriving
// with groups and divisions.
TDatosIntercambio Intercambio() {
    TDatosIntercambio d;
    d["AsigNomt"] = {{{"NOMBRE", "Filosof\xED"
                                 "a"},
                      {"COD", "FIL"},
                      {"CODLARGO", "FILOSOF"}},
                     {{"NOMBRE", "Lat\xEDn"}, {"COD", "LAT"}, {"CODLARGO", "LATIN"}}};
    d["Cursost"] = {{{"ABREV", "1BD"}, {"TURNO", "D"}, {"NIVEL", "BACH"}, {"CURSO", "1"}},
                    {{"ABREV", "2ES"}, {"TURNO", "D"}, {"NIVEL", "ESO"}, {"CURSO", "2"}},
                    {{"ABREV", "1BN"}, {"TURNO", "N"}, {"NIVEL", "BACH"}, {"CURSO", "1"}}};
    d["Asigcurt"] = {{{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "FIL"}, {"HORAS", 3.0}},
                     {{"NIVEL", "ESO"}, {"CURSO", "3"}, {"ASIG", "MAT"}, {"HORAS", 4.0}},
                     {{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "LAT"}, {"HORAS", 4.5}}};
    d["proft"] = {{{"ABREV", "JLP"},
                   {"NOMBRE", "L\xF3pez Pe\xF1"
                              "a, Jos\xE9"},
                   {"DEPART", "Cl\xE1sicas"}}};
    d["alumnost"] = {
        {{"EXPED", "501"},
         {"NOMBRE", "Ib\xE1\xF1"
                    "ez, Luc\xED"
                    "a"},
         {"TURNO", "D"},
         {"NIVEL", "BACH"},
         {"CURSO", "1"},
         {"GRUPO", "B"},
         {"OPCION", "H"},
         {"REPITE", true},
         {"ASIG1", "FIL"},
         {"DIV1", "2"},
         {"ASIG2", "LAT"},
         {"DIV2", "1"}},
        {{"EXPED", "502"},
         {"NOMBRE", "Ruiz, \xC1lvaro"},
         {"TURNO", "N"},
         {"NIVEL", "BACH"},
         {"CURSO", "1"},
         {"GRUPO", "A"},
         {"OPCION", "C"},
         {"ASIG1", "FIL"}},
        {{"EXPED", "503"}, {"NOMBRE", "Soto, Irene"}, {"TURNO", "D"}, {"NIVEL", "ESO"}, {"CURSO", "2"}}};
    d["grupt"] = {{{"ABREV", "1BDA"}, {"TURNO", "D"}, {"NIVEL", "BACH"}, {"CURSO", "1"}, {"GRUPO", "A"}}};
    d["aulat"] = {{{"ABREV", "LAB"}, {"NOMBRE", "Laboratorio"}, {"EDIFICIO", "B"}}};
    return d;
}

const char* const Nuevo = "C:\\PROG\\nuevo";

// Fifty characters, the most a name of ours holds; one more is too many.
const char* const NombreLargo = "Fern\xE1ndez de C\xF3rdoba y Ponce de Le\xF3n, Mar\xED"
                                "a Isabel";

// The students' exchange table as another program may write it: NOMBRE of
// the given width, the subjects' fields of the given type and width, values
// in the order EXPED, NOMBRE, TURNO, NIVEL, CURSO, OPCION, REPITE, ASIG1 ...
std::vector<TCampoDbf> CamposAlumnos(int AnchoNombre, char TipoAsig3 = 'C', int AnchoAsig3 = 4) {
    std::vector<TCampoDbf> c = {
        {"EXPED", 'C', 20}, {"NOMBRE", 'C', AnchoNombre}, {"TURNO", 'C', 1}, {"NIVEL", 'C', 5},
        {"CURSO", 'C', 3},  {"OPCION", 'C', 1},           {"REPITE", 'L', 1}};
    static const std::vector<AnsiString> asig = Numerados("ASIG", 20);
    for (const auto& a : asig)
        c.push_back({a.c_str(), a == "ASIG3" ? TipoAsig3 : 'C', a == "ASIG3" ? AnchoAsig3 : 4});
    return c;
}

}  // namespace

class Import : public ShellFixture {
protected:
    void Escribe(const TDatosIntercambio& D) {
        std::filesystem::remove_all(Maquina(Qtemp));
        EscribeIntercambio(D, Qtemp);
    }
    // "&Importar datos" with the name given, told as the screen tells it.
    bool Importa(const AnsiString& Nombre) {
        Resultado = ImportaDatos(*Estado, Nombre, PreguntaCarpetaExiste);
        AvisaResultadoImportar(Resultado);
        return Resultado.Importado();
    }
    TResultadoImportar Resultado;
};

TEST_F(Import, FillsTheTwelveTablesFromTheExchange) {
    struct {
        const char* Sin;  // the optional exchange table left out
        int Grupos, Aulas;
    } casos[] = {{"aulat", 1, 0}, {"grupt", 0, 1}};
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Sin);
        TDatosIntercambio d = Intercambio();
        d.erase(caso.Sin);
        Escribe(d);
        Dialogs.Then(IDOK, "nuevo");
        size_t antes = Dialogs.Asked().size();
        if (std::filesystem::exists(Maquina(Nuevo))) Dialogs.Then(IDOK);

        ASSERT_TRUE(Importa(PideNombreCarpeta()));

        EXPECT_EQ(Dialogs.Asked()[antes].Kind, TDialogRequest::InputBox);
        EXPECT_EQ(Dialogs.Asked()[antes].Caption, "Alojar los datos en carpeta ...");
        EXPECT_EQ(Dialogs.Asked()[antes].Default, "Nueva Carpeta");
        EXPECT_EQ(Dialogs.Texts().back(), "Proceso terminado");
        EXPECT_EQ(Dialogs.Asked().back().Kind, TDialogRequest::ShowMessage);
        EXPECT_EQ(Estado->CarpetaDatos, AnsiString(Nuevo) + "\\");
        EXPECT_EQ(Estado->RutaDatos, Estado->CarpetaDatos);
        EXPECT_EQ(CarpetaDeBase(NombreBaseDatos), Estado->CarpetaDatos);

        std::vector<TFilaLeida> cursos = Filas(NombreBaseDatos, "cursos");
        ASSERT_EQ(cursos.size(), 3u);
        EXPECT_EQ(cursos[2]["TNC"], "NBACH1");
        EXPECT_EQ(cursos[2]["N"], "3");
        EXPECT_EQ(cursos[0]["NGRUP"], "1");
        // Both shifts get the level's subjects, numbered over the whole table;
        // third year's row matches no course and the second year gets none.
        std::vector<TFilaLeida> asig = Filas(NombreBaseDatos, "asigcur");
        ASSERT_EQ(asig.size(), 4u);
        const char* esperadas[][4] = {{"1", "DBACH1", "FIL", "3"},
                                      {"2", "DBACH1", "LAT", "4,5"},
                                      {"3", "NBACH1", "FIL", "3"},
                                      {"4", "NBACH1", "LAT", "4,5"}};
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(asig[i]["N"], esperadas[i][0]);
            EXPECT_EQ(asig[i]["TNC"], esperadas[i][1]);
            EXPECT_EQ(asig[i]["ASIG"], esperadas[i][2]);
            EXPECT_EQ(asig[i]["HORAS"], esperadas[i][3]);
            EXPECT_EQ(asig[i]["CUENTA"], "True");
            EXPECT_EQ(asig[i]["MOSTRAR"], "True");
            EXPECT_EQ(asig[i]["TIPO"], "1");
            EXPECT_EQ(asig[i]["BLOPT"], "");
            EXPECT_EQ(asig[i]["NDIV"], "1");
        }
        // Students start without groups or divisions whatever the exchange says.
        std::vector<TFilaLeida> alum = Filas(NombreBaseDatos, "alum");
        ASSERT_EQ(alum.size(), 3u);
        EXPECT_EQ(alum[0]["NOMBRE"], "Ib\xE1\xF1"
                                     "ez, Luc\xED"
                                     "a");
        EXPECT_EQ(alum[0]["TNC"], "DBACH1");
        EXPECT_EQ(alum[0]["REPITE"], "True");
        EXPECT_EQ(alum[0]["ASIG2"], "LAT");
        EXPECT_EQ(alum[1]["REPITE"], "False");
        for (auto& a : alum) {
            EXPECT_EQ(a["GRUPO"], "");
            EXPECT_EQ(a["DIV1"], "");
            EXPECT_EQ(a["ANULAR"], "");
        }
        EXPECT_EQ(Filas(NombreBaseDatos, "nomasg")[1]["ABREV8"], "LATIN");
        EXPECT_EQ(Filas(NombreBaseDatos, "prof")[0]["DEPART"], "Cl\xE1sicas");
        EXPECT_EQ(Cuenta(NombreBaseDatos, "grupos"), caso.Grupos);
        if (caso.Grupos) {
            EXPECT_EQ(Filas(NombreBaseDatos, "grupos")[0]["TNCG"], "DBACH1A");
        }
        EXPECT_EQ(Cuenta(NombreBaseDatos, "aulas"), caso.Aulas);
        for (const char* t : {"tipos", "tipos2", "tipgrup", "tipgrup2", "conex"})
            EXPECT_EQ(Cuenta(NombreBaseDatos, t), 0);
    }
}

TEST_F(Import, AnExistingFolderIsReplacedOnlyOnTheUsersWordAndKeepsItsOtherFiles) {
    Escribe(IntercambioMinimo());
    std::filesystem::create_directories(Maquina(Nuevo));
    CreaTablasNuevas(Nuevo);
    Anade(Nuevo, "alum", {{{"EXPED", "viejo"}}, {{"EXPED", "viejo2"}}});
    CreaTablaLibre(Nuevo, "Deposito", {{"N", ftSmallint, 0}}, {{{"N", 5}}});
    std::ofstream(Maquina(Nuevo) / "notas.txt") << "notas";

    Dialogs.Then(IDOK, "nuevo").Then(IDCANCEL);
    EXPECT_FALSE(Importa(PideNombreCarpeta()));
    EXPECT_EQ(Dialogs.Texts().back(), "Esta carpeta ya existe \xBF"
                                      "Continuar?");
    EXPECT_EQ(Cuenta(Nuevo, "alum"), 2);
    EXPECT_EQ(Estado->CarpetaDatos, "");

    Dialogs.Then(IDOK, "nuevo").Then(IDOK);
    EXPECT_TRUE(Importa(PideNombreCarpeta()));
    EXPECT_EQ(Columna(NombreBaseDatos, "alum", "EXPED"), std::vector<std::string>{"1001"});
    EXPECT_EQ(Cuenta(NombreBaseDatos, "Deposito"), 1);
    EXPECT_TRUE(std::filesystem::exists(Maquina(Nuevo) / "notas.txt"));
    EXPECT_FALSE(std::filesystem::exists(Maquina(Nuevo) / "~importando"));
}

TEST_F(Import, CancellingTheNameBoxImportsIntoNuevaCarpeta) {
    Escribe(IntercambioMinimo());
    Dialogs.Then(IDCANCEL);
    EXPECT_TRUE(Importa(PideNombreCarpeta()));
    EXPECT_EQ(Estado->CarpetaDatos, "C:\\PROG\\Nueva Carpeta\\");
    EXPECT_EQ(Cuenta(NombreBaseDatos, "alum"), 1);
}

namespace {

struct TCasoRechazo {
    const char* Nombre;
    const char* Carpeta;  // typed in the name box
    std::function<void(TDatosIntercambio&)> CambiaDatos;
    std::function<void()> CambiaFicheros;
    const char* Mensaje;  // a piece of the message the user gets
};

}  // namespace

TEST_F(Import, TheLongestNameKeepsTheDataFolderWithin259Characters) {
    // "C:\PROG\" + name + "\"
    EXPECT_EQ(CompruebaNombreCarpeta(Programa, std::string(250, 'x')), "");
    EXPECT_NE(CompruebaNombreCarpeta(Programa, std::string(251, 'x')), "");
}

TEST_F(Import, RefusalsAndFailuresChangeNothingAndSayWhy) {
    const AnsiString viejo = "C:\\PROG\\viejo";
    const std::string largo(251, 'x');
    auto sinCampo = [](TDatosIntercambio&) {
        CreaTablaLibre(Qtemp, "CURSOSt.DBF",
                       {{"ABREV", ftString, 3}, {"TURNO", ftString, 1}, {"CURSO", ftString, 3}});
    };
    auto repiteTexto = [](TDatosIntercambio& d) {
        TCampos campos = {{"EXPED", ftString, 20}, {"NOMBRE", ftString, 50}, {"TURNO", ftString, 1},
                          {"NIVEL", ftString, 5},  {"CURSO", ftString, 3},   {"OPCION", ftString, 1},
                          {"REPITE", ftString, 1}};
        static const std::vector<AnsiString> asig = Numerados("ASIG", 20);
        for (const auto& a : asig) campos.emplace_back(a.c_str(), ftString, 4);
        d.erase("alumnost");
        CreaTablaLibre(Qtemp, "ALUMNOST.DBF", campos);
    };
    auto asigAncho = [](TDatosIntercambio& d) {
        d.erase("Asigcurt");
        CreaTablaLibre(
            Qtemp, "ASIGCURt.DBF",
            {{"NIVEL", ftString, 5}, {"CURSO", ftString, 3}, {"ASIG", ftString, 6}, {"HORAS", ftFloat, 0}},
            {{{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "FIL"}, {"HORAS", 3.0}},
             {{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "FILOSO"}, {"HORAS", 3.0}}});
    };
    // Hours no numeric field of ours can hold: found only while filling.
    auto horasEnormes = [](TDatosIntercambio& d) {
        d.erase("Asigcurt");
        CreaTablaLibre(
            Qtemp, "ASIGCURt.DBF",
            {{"NIVEL", ftString, 5}, {"CURSO", ftString, 3}, {"ASIG", ftString, 4}, {"HORAS", ftBCD, 0}},
            {{{"NIVEL", "BACH"}, {"CURSO", "1"}, {"ASIG", "FIL"}, {"HORAS", 1e19}}});
    };
    const TCasoRechazo casos[] = {
        {"empty name", "", nullptr, nullptr, "Escriba el nombre"},
        {"parent folder", "..\\fuera", nullptr, nullptr, "no sirve como nombre"},
        {"dots", "..", nullptr, nullptr, "no sirve como nombre"},
        {"drive", "D:fuera", nullptr, nullptr, "no sirve como nombre"},
        {"two levels", "a\\b", nullptr, nullptr, "no sirve como nombre"},
        {"slash", "a/b", nullptr, nullptr, "no sirve como nombre"},
        {"too long", largo.c_str(), nullptr, nullptr, "demasiado largo"},
        {"no exchange folder", "nuevo", nullptr, [] { std::filesystem::remove_all(Maquina(Qtemp)); },
         "No se encuentra la carpeta de intercambio C:\\QTEMP"},
        {"missing teachers", "nuevo", [](TDatosIntercambio& d) { d.erase("proft"); }, nullptr,
         "Falta la tabla de intercambio C:\\QTEMP\\PROFT.DBF"},
        {"missing key field", "nuevo",
         [&](TDatosIntercambio& d) {
             d.erase("Cursost");
             sinCampo(d);
         },
         nullptr, "no tiene el campo NIVEL"},
        {"wrong kind", "nuevo", repiteTexto, nullptr,
         "REPITE de la tabla de intercambio C:\\QTEMP\\ALUMNOST.DBF no es l\xF3gico"},
        {"a code too long", "nuevo", asigAncho, nullptr,
         "En la fila 2 de la tabla de intercambio C:\\QTEMP\\ASIGCURt.DBF, el campo ASIG vale \"FILOSO\": "
         "tiene 6 caracteres y Zelmor guarda como mucho 4; un c\xF3"
         "digo no se corta, porque podr\xED"
         "a confundirse con otro."},
        {"damaged table", "nuevo", nullptr,
         [] { std::filesystem::resize_file(Maquina(Qtemp) / "ALUMNOST.DBF", 100); },
         "No se puede leer la tabla"},
        // Never taken as 0 or as false.
        {"an unreadable number", "nuevo", nullptr,
         [] {
             EscribeDbf("C:\\QTEMP\\ASIGCURt.DBF",
                        {{"NIVEL", 'C', 5}, {"CURSO", 'C', 3}, {"ASIG", 'C', 4}, {"HORAS", 'N', 5, 1}},
                        {{"BACH", "1", "FIL", "3.5"}, {"BACH", "1", "LAT", "  abc"}});
         },
         "En la fila 2 de la tabla de intercambio C:\\QTEMP\\ASIGCURt.DBF, el campo HORAS vale \"  abc\": no "
         "es un n\xFAmero."},
        {"an unreadable logical", "nuevo", nullptr,
         [] {
             EscribeDbf("C:\\QTEMP\\ALUMNOST.DBF", CamposAlumnos(50),
                        {{"1", "Vera, Ana", "D", "BACH", "1", "", "?"},
                         {"2", "Gil, Eva", "D", "BACH", "1", "", "X"}});
         },
         "En la fila 2 de la tabla de intercambio C:\\QTEMP\\ALUMNOST.DBF, el campo REPITE vale \"X\": no es "
         "un valor l\xF3gico (T, F, Y o N)."},
        {"a NUL inside a name", "nuevo", nullptr,
         [] {
             EscribeDbf("C:\\QTEMP\\ALUMNOST.DBF", CamposAlumnos(50), {{"1", std::string("Pe\0a, Ana", 9)}});
         },
         "En la fila 1 de la tabla de intercambio C:\\QTEMP\\ALUMNOST.DBF, el campo NOMBRE vale \"Pe[NUL]a, "
         "Ana\": "
         "lleva un car\xE1"
         "cter nulo y se perder\xED"
         "a lo que le sigue."},
        {"a field with no text", "nuevo", nullptr,
         [] {
             EscribeDbf("C:\\QTEMP\\ALUMNOST.DBF", CamposAlumnos(50, 'G', 10), {{"1", "Vera, Ana"}});
         },
         "El campo ASIG3 de la tabla de intercambio C:\\QTEMP\\ALUMNOST.DBF no se puede leer como texto."},
        {"a group number too long", "nuevo", nullptr,
         [] {
             EscribeDbf("C:\\QTEMP\\GRUPT.DBF",
                        {{"ABREV", 'C', 4},
                         {"TURNO", 'C', 1},
                         {"NIVEL", 'C', 5},
                         {"CURSO", 'C', 3},
                         {"GRUPO", 'N', 2}},
                        {{"1BDA", "D", "BACH", "1", "1"}, {"1BDL", "D", "BACH", "1", "12"}});
         },
         "En la fila 2 de la tabla de intercambio C:\\QTEMP\\GRUPT.DBF, el campo GRUPO vale \"12\": tiene 2 "
         "caracteres y Zelmor guarda como mucho 1; un c\xF3"
         "digo no se corta"},
        {"late failure into the open folder", "viejo", horasEnormes, nullptr, "no cabe en el campo HORAS"},
        // A folder made for the import goes with it.
        {"late failure into a new folder", "nuevo", horasEnormes, nullptr, "no cabe en el campo HORAS"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nombre);
        // The folder open before: imported earlier, with its own rows.
        std::filesystem::remove_all(Maquina(Programa));
        std::filesystem::create_directories(Maquina(viejo));
        CreaTablasNuevas(viejo);
        Anade(viejo, "alum", {{{"EXPED", "antiguo"}}});
        Estado->ApuntaBaseDatos(viejo);
        Estado->CarpetaDatos = viejo + "\\";
        Estado->RutaDatos = viejo + "\\";

        TDatosIntercambio d = Intercambio();
        std::filesystem::remove_all(Maquina(Qtemp));
        std::filesystem::create_directories(Maquina(Qtemp));
        if (caso.CambiaDatos) caso.CambiaDatos(d);
        EscribeIntercambio(d, Qtemp);
        if (caso.CambiaFicheros) caso.CambiaFicheros();
        Dialogs.Then(IDOK, caso.Carpeta);
        if (AnsiString(caso.Carpeta) == "viejo") Dialogs.Then(IDOK);
        size_t antes = Dialogs.Asked().size();

        EXPECT_FALSE(Importa(PideNombreCarpeta()));

        std::vector<AnsiString> textos = Dialogs.Texts();
        ASSERT_GT(textos.size(), antes);
        EXPECT_NE(textos.back().find(caso.Mensaje), std::string::npos) << textos.back();
        EXPECT_EQ(Dialogs.Asked().back().Caption, TituloAtencion);
        EXPECT_EQ(Estado->CarpetaDatos, viejo + "\\");
        EXPECT_EQ(Estado->RutaDatos, viejo + "\\");
        EXPECT_EQ(CarpetaDeBase(NombreBaseDatos), viejo + "\\");
        EXPECT_EQ(Columna(NombreBaseDatos, "alum", "EXPED"), std::vector<std::string>{"antiguo"});
        std::vector<std::string> carpetas;
        for (const auto& e : std::filesystem::directory_iterator(Maquina(Programa)))
            carpetas.push_back(e.path().filename());
        EXPECT_EQ(carpetas, std::vector<std::string>{"viejo"});
        EXPECT_FALSE(std::filesystem::exists(Maquina(viejo) / "~importando"));
    }
}

TEST_F(Import, EveryKindOfExchangeFieldIsReadAsItsText) {
    TDatosIntercambio d = IntercambioMinimo();
    d.erase("proft");
    Escribe(d);
    // Course years and group numbers as numbers, a level wider than ours.
    EscribeDbf("C:\\QTEMP\\CURSOSt.DBF",
               {{"ABREV", 'C', 3}, {"TURNO", 'C', 1}, {"NIVEL", 'C', 10}, {"CURSO", 'N', 2}},
               {{"4ES", "D", "ESO", "4"}, {"1BA", "D", "BACH", "1"}});
    EscribeDbf(
        "C:\\QTEMP\\GRUPT.DBF",
        {{"ABREV", 'C', 4}, {"TURNO", 'C', 1}, {"NIVEL", 'C', 5}, {"CURSO", 'N', 1}, {"GRUPO", 'N', 1}},
        {{"4ESA", "D", "ESO", "4", "1"}});
    // File numbers as dates, option letters as logicals, names 60 wide (one
    // padded with NUL bytes, one of exactly our fifty characters), a
    // deleted row in between.
    std::vector<TCampoDbf> alumnos = CamposAlumnos(60, 'C', 10);
    alumnos[0] = {"EXPED", 'D', 8};
    alumnos[4] = {"CURSO", 'N', 3};
    alumnos[5] = {"OPCION", 'L', 1};
    std::string pena = "Pe\xF1"
                       "a Ortiz, Luc\xED"
                       "a";
    pena.resize(60, '\0');
    EscribeDbf("C:\\QTEMP\\ALUMNOST.DBF", alumnos,
               {{"20240131", pena, "D", "ESO", "4", "T", "T", "MAT", "", "LAT"},
                {"20240201", "Borrado", "D", "ESO", "4"},
                {"", NombreLargo, "D", "BACH", "1", "F", " ", "LAT"}},
               {1});
    CreaTablaLibre(Qtemp, "PROFT.DBF",
                   {{"ABREV", ftString, 4}, {"NOMBRE", ftMemo, 0}, {"DEPART", ftString, 40}},
                   {{{"ABREV", "MGR"},
                     {"NOMBRE", "Garc\xED"
                                "a Ruiz, Mar\xED"
                                "a"},
                     {"DEPART", "Matem\xE1ticas"}}});

    ASSERT_EQ(CompruebaIntercambio(Qtemp, TUsoIntercambio::Importar), "");
    ImportaEnCarpeta(Qtemp, Nuevo);

    std::vector<TFilaLeida> cursos = Filas(Nuevo, "cursos");
    ASSERT_EQ(cursos.size(), 2u);
    EXPECT_EQ(cursos[0]["TNC"], "DESO4");
    EXPECT_EQ(cursos[1]["TNC"], "DBACH1");
    EXPECT_EQ(Columna(Nuevo, "asigcur", "TNC"), std::vector<std::string>{"DESO4"});
    std::vector<TFilaLeida> grupos = Filas(Nuevo, "grupos");
    ASSERT_EQ(grupos.size(), 1u);
    EXPECT_EQ(grupos[0]["GRUPO"], "1");
    EXPECT_EQ(grupos[0]["TNCG"], "DESO41");
    std::vector<TFilaLeida> alum = Filas(Nuevo, "alum");
    ASSERT_EQ(alum.size(), 2u);
    EXPECT_EQ(alum[0]["EXPED"], "20240131");
    EXPECT_EQ(alum[0]["NOMBRE"], "Pe\xF1"
                                 "a Ortiz, Luc\xED"
                                 "a");
    EXPECT_EQ(alum[0]["TNC"], "DESO4");
    EXPECT_EQ(alum[0]["OPCION"], "T");
    EXPECT_EQ(alum[0]["REPITE"], "True");
    EXPECT_EQ(alum[0]["ASIG1"], "MAT");
    EXPECT_EQ(alum[0]["ASIG3"], "LAT");
    EXPECT_EQ(alum[1]["EXPED"], "");
    EXPECT_EQ(alum[1]["NOMBRE"], NombreLargo);
    EXPECT_EQ(alum[1]["TNC"], "DBACH1");
    EXPECT_EQ(alum[1]["OPCION"], "F");
    EXPECT_EQ(alum[1]["REPITE"], "False");
    EXPECT_EQ(Columna(Nuevo, "prof", "NOMBRE"), std::vector<std::string>{"Garc\xED"
                                                                         "a Ruiz, Mar\xED"
                                                                         "a"});
}

// The name of the new folder is asked until it can be made; Cancel always
// answers "Nueva Carpeta", and never asks again.
TEST_F(Import, TheFolderNameIsAskedUntilItCanBeMade) {
    const AnsiString larga = "C:\\" + std::string(250, 'p') + "\\";
    struct {
        const char* Que;
        AnsiString Programa;
        std::vector<std::pair<int, AnsiString>> Respuestas;
        AnsiString Nombre;
        int Rechazos;
    } casos[] = {
        {"refused names, then a good one",
         Programa,
         {{IDOK, "a:b"}, {IDOK, {}}, {IDOK, ".."}, {IDOK, {}}, {IDOK, "bueno"}},
         "bueno",
         2},
        {"Cancel", Programa, {{IDCANCEL, "lo que sea"}}, "Nueva Carpeta", 0},
        {"a refused name, then Cancel",
         Programa,
         {{IDOK, "a\\b"}, {IDOK, {}}, {IDCANCEL, ""}},
         "Nueva Carpeta",
         1},
        {"the name cleared", Programa, {{IDOK, ""}}, "", 0},
        {"Cancel where even the offered name is too long", larga, {{IDCANCEL, ""}, {IDOK, {}}}, "", 1},
    };
    // Each refusal's message takes its OK from the answers.
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Que);
        const size_t antes = Dialogs.Asked().size();
        for (const auto& [r, t] : caso.Respuestas) Dialogs.Then(r, t);
        EXPECT_EQ(PideNombreCarpetaValido(caso.Programa), caso.Nombre);
        EXPECT_EQ(Dialogs.Pending(), 0u);
        int rechazos = 0;
        for (size_t i = antes; i < Dialogs.Asked().size(); ++i) {
            const TDialogRequest& r = Dialogs.Asked()[i];
            if (r.Kind == TDialogRequest::InputBox) {
                EXPECT_EQ(r.Caption, "Alojar los datos en carpeta ...");
                EXPECT_EQ(r.Text, "Nombre de la carpeta:");
                EXPECT_EQ(r.Default, "Nueva Carpeta");
            } else {
                EXPECT_EQ(r.Caption, TituloAtencion);
                ++rechazos;
            }
        }
        EXPECT_EQ(rechazos, caso.Rechazos);
    }
}

namespace {

// Every line of a file.
std::vector<std::string> Lineas(const std::filesystem::path& Fichero) {
    std::vector<std::string> v;
    std::ifstream f(Fichero);
    for (std::string l; std::getline(f, l);) v.push_back(l);
    return v;
}

// The students' exchange table with the management program's group and
// divisions too, as the export needs it.
std::vector<TCampoDbf> CamposAlumnosCompletos(int AnchoNombre) {
    std::vector<TCampoDbf> c = CamposAlumnos(AnchoNombre);
    c.push_back({"GRUPO", 'C', 2});
    static const std::vector<AnsiString> div = Numerados("DIV", 20);
    for (const auto& d : div) c.push_back({d.c_str(), 'C', 1});
    return c;
}

}  // namespace

// Names wider than ours are cut, as the exchange's rules say, and the user
// learns which, with the whole texts; the export leaves them whole in the
// exchange unless the user changed them here.
TEST_F(Import, NamesWiderThanOursAreCutListedAndLeftWholeByTheExport) {
    Escribe(Intercambio());
    const std::string largo = std::string(NombreLargo) + " Teresa";  // 57 characters
    const std::string departamento = "Departamento de Lenguas Cl\xE1sicas, Griego y Lat\xEDn";
    // A deleted row is not read, however wide; a name of exactly our width is whole.
    EscribeDbf("C:\\QTEMP\\ALUMNOST.DBF", CamposAlumnosCompletos(60),
               {{"500", largo + " y otra", "D", "BACH", "1"},
                {"501", largo, "D", "BACH", "1", "H", "T", "FIL"},
                {"502", NombreLargo, "D", "BACH", "1", "C", "F", "LAT"}},
               {0});
    EscribeDbf("C:\\QTEMP\\PROFT.DBF", {{"ABREV", 'C', 4}, {"NOMBRE", 'C', 40}, {"DEPART", 'C', 60}},
               {{"JLP", "L\xF3pez, Jos\xE9", departamento}});

    ASSERT_TRUE(Importa("nuevo"));

    const std::vector<TTextoCortado>& cortados = Resultado.Importacion.Cortados;
    ASSERT_EQ(cortados.size(), 2u);
    EXPECT_EQ(cortados[0].Fichero, "PROFT.DBF");
    EXPECT_EQ(cortados[0].Fila, 1u);
    EXPECT_EQ(cortados[0].Campo, "DEPART");
    EXPECT_EQ(cortados[0].Texto, departamento);
    EXPECT_EQ(cortados[1].Fichero, "ALUMNOST.DBF");
    EXPECT_EQ(cortados[1].Fila, 2u);
    EXPECT_EQ(cortados[1].Campo, "NOMBRE");
    EXPECT_EQ(cortados[1].Ancho, 50);
    EXPECT_EQ(cortados[1].Texto, largo);
    const AnsiString fichero = AnsiString(Nuevo) + "\\" + FicheroCortados;
    const AnsiString lineas = "PROFT.DBF, fila 1, DEPART (40 caracteres): \"" + departamento +
                              "\"\nALUMNOST.DBF, fila 2, NOMBRE (50 caracteres): \"" + largo + "\"";
    EXPECT_EQ(Dialogs.Texts().back(),
              "Proceso terminado\n\nEstos 2 nombres de la carpeta de intercambio eran "
              "m\xE1s largos que sus campos y se han guardado cortados (tabla, fila, "
              "campo y texto completo):\n" +
                  lineas + "\nLa lista completa est\xE1 en el fichero " + fichero + ".");
    EXPECT_EQ(Dialogs.Asked().back().Caption, TituloAtencion);
    EXPECT_EQ(Lineas(Maquina(fichero)).size(), 3u);
    EXPECT_EQ(Lineas(Maquina(fichero))[2], ToUtf8(lineas.substr(lineas.find('\n') + 1)));

    EXPECT_EQ(Columna(Nuevo, "alum", "NOMBRE"), (std::vector<std::string>{largo.substr(0, 50), NombreLargo}));
    EXPECT_EQ(Columna(Nuevo, "prof", "DEPART"), std::vector<std::string>{departamento.substr(0, 40)});

    // The export: the name the user changed goes out, the cut ones stay whole.
    TTempTable alum = OpenTempTable(Nuevo, "alum");
    alum->Last();
    alum->Edit();
    alum->FieldByName("NOMBRE")->SetAsString("Ib\xE1\xF1"
                                             "ez, Luc\xED"
                                             "a");
    alum->Post();
    alum.reset();
    ASSERT_TRUE(ExportaDatos(NombreBaseDatos, Qtemp).Exportado());
    EXPECT_EQ(Columna(Qtemp, "alumnost", "NOMBRE"), (std::vector<std::string>{largo, "Ib\xE1\xF1"
                                                                                     "ez, Luc\xED"
                                                                                     "a"}));
    EXPECT_EQ(Columna(Qtemp, "proft", "DEPART"), std::vector<std::string>{departamento});

    // An import with nothing to cut leaves no list behind.
    Escribe(Intercambio());
    Dialogs.Then(IDOK);
    ASSERT_TRUE(Importa("nuevo"));
    EXPECT_EQ(Dialogs.Texts().back(), "Proceso terminado");
    EXPECT_FALSE(std::filesystem::exists(Maquina(fichero)));
}

// At a school's size: the message shows the first twenty names cut and
// sends the user to the file for the rest.
TEST_F(Import, ASchoolOfThousandsWithLongNamesImportsAndListsEveryCut) {
    constexpr int Alumnos = 2640;
    TDatosIntercambio d = GeneraEscuela(SemillaEjemplo, Alumnos).Intercambio;
    std::vector<TFilaIntercambio> alumnos = std::move(d["alumnost"]);
    d.erase("alumnost");
    Escribe(d);
    std::vector<std::string> largos;
    for (size_t i = 0; i < alumnos.size(); i += 40) {
        std::string n =
            alumnos[i]["NOMBRE"].AsString() + ", de la Sant\xEDsima Trinidad y de Todos los Santos";
        alumnos[i]["NOMBRE"] = n;
        largos.push_back(n);
    }
    TCampos campos;
    for (const auto& c : TablaIntercambio("alumnost").Campos)
        campos.emplace_back(c.Nombre.c_str(), c.Clase == TClaseIntercambio::Logico ? ftBoolean : ftString,
                            c.Clase == TClaseIntercambio::Logico ? 0
                            : c.Nombre == "NOMBRE"               ? 100
                                                                 : c.Ancho);
    CreaTablaLibre(Qtemp, "ALUMNOST.DBF", campos, alumnos);

    ASSERT_TRUE(Importa("escuela"));

    const AnsiString fichero = AnsiString(Programa) + "escuela\\" + FicheroCortados;
    ASSERT_EQ(Resultado.Importacion.Cortados.size(), largos.size());
    EXPECT_EQ(Resultado.Importacion.Cortados.back().Texto, largos.back());
    EXPECT_EQ(Resultado.Importacion.Cortados.back().Fila, uint32_t((Alumnos - 1) / 40 * 40 + 1));
    EXPECT_EQ(Cuenta(NombreBaseDatos, "alum"), Alumnos);
    const AnsiString texto = Dialogs.Texts().back();
    EXPECT_EQ(std::count(texto.begin(), texto.end(), '\n'), 2 + 20 + 2);
    EXPECT_NE(texto.find("\n... y " + std::to_string(largos.size() - 20) +
                         " m\xE1s.\nLa lista completa est\xE1 en el "
                         "fichero " +
                         fichero + "."),
              std::string::npos)
        << texto;
    const std::vector<std::string> lineas = Lineas(Maquina(fichero));
    ASSERT_EQ(lineas.size(), largos.size() + 1);
    EXPECT_NE(lineas.back().find(ToUtf8(largos.back())), std::string::npos);
}

namespace {

// An exchange folder as another dBase writer makes it: a dBase III file of
// its own widths, group numbers as numbers, names wider than ours, a
// repeater flag left unknown ('?').
const char* const IntercambioDeOtroPrograma = R"(
import dbf, os, sys
d = sys.argv[1]
def tabla(nombre, campos, filas):
    t = dbf.Table(os.path.join(d, nombre), campos, codepage='cp1252', dbf_type='db3')
    t.open(dbf.READ_WRITE)
    for f in filas:
        t.append(f)
    t.close()
tabla('AsigNomt.DBF', 'NOMBRE C(60); COD C(4); CODLARGO C(8)',
      [('Filosof\u00eda', 'FIL', 'FILOSOF'),
       ('Lat\u00edn y Cultura Cl\u00e1sica del Mundo Grecolatino', 'LAT', 'LATIN')])
tabla('CURSOSt.DBF', 'ABREV C(3); TURNO C(1); NIVEL C(5); CURSO C(3)', [('1BD', 'D', 'BACH', '1')])
tabla('ASIGCURt.DBF', 'NIVEL C(5); CURSO C(3); ASIG C(4); HORAS N(4,1)',
      [('BACH', '1', 'FIL', 3), ('BACH', '1', 'LAT', 4.5)])
tabla('GRUPT.DBF', 'ABREV C(4); TURNO C(1); NIVEL C(5); CURSO C(3); GRUPO N(1,0)',
      [('1BD1', 'D', 'BACH', '1', 1), ('1BD2', 'D', 'BACH', '1', 2)])
tabla('PROFT.DBF', 'ABREV C(4); NOMBRE C(60); DEPART C(40)',
      [('JLP', 'L\u00f3pez Pe\u00f1a, Jos\u00e9', 'Cl\u00e1sicas')])
asig = '; '.join('ASIG%d C(4); DIV%d C(1)' % (i, i) for i in range(1, 21))
tabla('ALUMNOST.DBF', 'EXPED C(20); NOMBRE C(80); TURNO C(1); NIVEL C(5); CURSO C(3); GRUPO N(2,0); '
      'OPCION C(1); REPITE L; ' + asig,
      [{'exped': '501', 'nombre': 'Fern\u00e1ndez de C\u00f3rdoba y Ponce de Le\u00f3n, Mar\u00eda Isabel Teresa',
        'turno': 'D', 'nivel': 'BACH', 'curso': '1', 'grupo': 12, 'opcion': 'H', 'repite': True,
        'asig1': 'FIL', 'div1': '2', 'asig2': 'LAT'},
       {'exped': '502', 'nombre': 'Ruiz, \u00c1lvaro', 'turno': 'D', 'nivel': 'BACH', 'curso': '1', 'grupo': 1,
        'asig1': 'LAT'}])
)";

}  // namespace

TEST_F(Import, AnExchangeWrittenByAnotherDbaseWriterImportsWithItsCutNamesShown) {
    const std::string python = PythonWith("dbf");
    ZELMOR_NEED_TOOL(!python.empty(), "python3-dbf");
    std::filesystem::remove_all(Maquina(Qtemp));
    std::filesystem::create_directories(Maquina(Qtemp));
    const std::filesystem::path guion = Root / "intercambio.py";
    std::ofstream(guion) << IntercambioDeOtroPrograma;
    std::string salida;
    ASSERT_EQ(RunCommand(python + " '" + guion.string() + "' '" + Maquina(Qtemp).string() + "'", salida), 0);

    ASSERT_TRUE(Importa("otro")) << Dialogs.Texts().back();

    const char* const largo = "Fern\xE1ndez de C\xF3rdoba y Ponce de Le\xF3n, Mar\xED"
                              "a Isabel Teresa";
    const AnsiString texto = Dialogs.Texts().back();
    EXPECT_EQ(texto.rfind("Proceso terminado\n\nEstos 2 nombres", 0), 0u) << texto;
    EXPECT_NE(
        texto.find("AsigNomt.DBF, fila 2, NOMBRE (40 caracteres): \"Lat\xEDn y Cultura Cl\xE1sica del Mundo "
                   "Grecolatino\""),
        std::string::npos)
        << texto;
    EXPECT_NE(texto.find("ALUMNOST.DBF, fila 1, NOMBRE (50 caracteres): \"" + std::string(largo) + "\""),
              std::string::npos)
        << texto;
    std::vector<TFilaLeida> alum = Filas(NombreBaseDatos, "alum");
    ASSERT_EQ(alum.size(), 2u);
    EXPECT_EQ(alum[0]["NOMBRE"], std::string(largo).substr(0, 50));
    EXPECT_EQ(alum[0]["GRUPO"], "");
    EXPECT_EQ(alum[0]["REPITE"], "True");
    EXPECT_EQ(alum[0]["ASIG2"], "LAT");
    EXPECT_EQ(alum[1]["REPITE"], "False");
    EXPECT_EQ(Columna(NombreBaseDatos, "grupos", "TNCG"), (std::vector<std::string>{"DBACH11", "DBACH12"}));
    EXPECT_EQ(Columna(NombreBaseDatos, "asigcur", "HORAS"), (std::vector<std::string>{"3", "4,5"}));
}
