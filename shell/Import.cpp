#include "shell/Import.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Dialogs.h"
#include "shell/AppState.h"
#include "shell/Conversion.h"
#include "shell/SchoolTables.h"

namespace {

// The new tables are built in this sub-folder of the target and moved up
// when complete.
const char* const CarpetaProvisional = "~importando";

using TPares = std::vector<std::pair<const char*, const char*>>;  // exchange field, school field

void CopiaTextos(TDataSet& De, TDataSet& A, const TPares& Pares) {
    for (const auto& [de, a] : Pares) A.FieldByName(a)->SetAsString(De.FieldByName(de)->AsString());
}

AnsiString ClaveDe(TDataSet& Tabla) {
    return ClaveCurso(Tabla.FieldByName("TURNO")->AsString(), Tabla.FieldByName("NIVEL")->AsString(),
                      Tabla.FieldByName("CURSO")->AsString());
}

// Every exchange row in stored order gives one school row numbered from 1.
template <class F>
void Rellena(const AnsiString& Intercambio, const char* TablaIntercambio, const AnsiString& Datos,
             const char* TablaEscolar, F Fila) {
    TTempTable de = OpenTempTable(Intercambio, TablaIntercambio);
    TTempTable a = OpenTempTable(Datos, TablaEscolar);
    int n = 0;
    for (de->First(); !de->Eof(); de->Next()) {
        a->Append();
        a->FieldByName("N")->SetAsInteger(++n);
        Fila(*de, *a);
        a->Post();
    }
}

struct TAsignaturaNivel {
    AnsiString Nivel, Curso, Asig;
    double Horas;
};

void RellenaCursos(const AnsiString& Intercambio, const AnsiString& Datos) {
    // Asigcurt has no shift: its subjects of a level and year go to every
    // course of that level and year.
    std::vector<TAsignaturaNivel> asignaturas;
    {
        TTempTable t = OpenTempTable(Intercambio, "Asigcurt");
        for (t->First(); !t->Eof(); t->Next())
            asignaturas.push_back({t->FieldByName("NIVEL")->AsString(), t->FieldByName("CURSO")->AsString(),
                                   t->FieldByName("ASIG")->AsString(), t->FieldByName("HORAS")->AsFloat()});
    }
    TTempTable asigcur = OpenTempTable(Datos, "asigcur");
    int n = 0;  // one count over the whole table, not per course
    Rellena(Intercambio, "Cursost", Datos, "cursos", [&](TDataSet& de, TDataSet& a) {
        CopiaTextos(de, a, {{"ABREV", "ABREV"}, {"TURNO", "TURNO"}, {"NIVEL", "NIVEL"}, {"CURSO", "CURSO"}});
        a.FieldByName("TNC")->SetAsString(ClaveDe(de));
        AnsiString turno = de.FieldByName("TURNO")->AsString();
        AnsiString nivel = de.FieldByName("NIVEL")->AsString();
        AnsiString curso = de.FieldByName("CURSO")->AsString();
        for (const auto& s : asignaturas) {
            if (s.Nivel != nivel || s.Curso != curso) continue;
            asigcur->Append();
            asigcur->FieldByName("N")->SetAsInteger(++n);
            asigcur->FieldByName("TNC")->SetAsString(ClaveCurso(turno, s.Nivel, s.Curso));
            asigcur->FieldByName("ASIG")->SetAsString(s.Asig);
            asigcur->FieldByName("HORAS")->SetAsFloat(s.Horas);
            asigcur->FieldByName("CUENTA")->SetAsBoolean(true);
            asigcur->FieldByName("MOSTRAR")->SetAsBoolean(true);
            asigcur->FieldByName("TIPO")->SetAsInteger(1);
            asigcur->Post();
        }
    });
}

void RellenaTablas(const AnsiString& Intercambio, const AnsiString& Datos) {
    Rellena(Intercambio, "AsigNomt", Datos, "nomasg", [](TDataSet& de, TDataSet& a) {
        CopiaTextos(de, a, {{"NOMBRE", "NOMBRE"}, {"COD", "ABREV"}, {"CODLARGO", "ABREV8"}});
    });
    RellenaCursos(Intercambio, Datos);
    if (FileExists(FicheroIntercambio(Intercambio, TablaIntercambio("grupt"))))
        Rellena(Intercambio, "grupt", Datos, "grupos", [](TDataSet& de, TDataSet& a) {
            CopiaTextos(de, a,
                        {{"ABREV", "ABREV"}, {"TURNO", "TURNO"}, {"NIVEL", "NIVEL"}, {"CURSO", "CURSO"}, {"GRUPO", "GRUPO"}});
            a.FieldByName("TNC")->SetAsString(ClaveDe(de));
            a.FieldByName("TNCG")->SetAsString(ClaveDe(de) + de.FieldByName("GRUPO")->AsString());
        });
    Rellena(Intercambio, "proft", Datos, "prof", [](TDataSet& de, TDataSet& a) {
        CopiaTextos(de, a, {{"ABREV", "ABREV"}, {"NOMBRE", "NOMBRE"}, {"DEPART", "DEPART"}});
    });
    if (FileExists(FicheroIntercambio(Intercambio, TablaIntercambio("aulat"))))
        Rellena(Intercambio, "aulat", Datos, "aulas", [](TDataSet& de, TDataSet& a) {
            CopiaTextos(de, a, {{"ABREV", "ABREV"}, {"NOMBRE", "NOMBRE"}, {"EDIFICIO", "EDIFICIO"}});
        });
    Rellena(Intercambio, "alumnost", Datos, "alum", [](TDataSet& de, TDataSet& a) {
        // Groups and divisions are the organizer's to give: whatever the
        // exchange holds, an imported student starts without them.
        CopiaTextos(de, a, {{"EXPED", "EXPED"}, {"NOMBRE", "NOMBRE"}, {"OPCION", "OPCION"}});
        a.FieldByName("TNC")->SetAsString(ClaveDe(de));
        a.FieldByName("REPITE")->SetAsBoolean(de.FieldByName("REPITE")->AsBoolean());
        for (const auto& asig : Numerados("ASIG", HuecosAsignatura))
            a.FieldByName(asig)->SetAsString(de.FieldByName(asig)->AsString());
    });
}

void BorraCarpeta(const AnsiString& Carpeta) {
    std::string maquina = MapPath(Carpeta);
    std::error_code ec;
    if (!maquina.empty()) std::filesystem::remove_all(maquina, ec);
}

// Replaces the folder's tables by the complete new ones, table by table.
void ColocaTablas(const AnsiString& Provisional, const AnsiString& Carpeta) {
    for (const auto& t : TablasEscolares()) {
        for (const char* ext : {".dbf", ".mdx", ".dbt"}) {
            AnsiString nombre = AnsiString(t.Nombre) + ext;
            AnsiString nueva = Provisional + "\\" + nombre;
            AnsiString vieja = Carpeta + "\\" + nombre;
            DeleteFile(vieja);
            if (FileExists(nueva) && !RenameFile(nueva, vieja))
                throw EDatabaseError("No se puede colocar la tabla " + vieja + ".");
        }
    }
}

}  // namespace

AnsiString CompruebaNombreCarpeta(const AnsiString& CarpetaPrograma, const AnsiString& Nombre) {
    if (Nombre.empty()) return "Escriba el nombre de la carpeta.";
    if (Nombre.find_first_of("\\/:") != AnsiString::npos || Nombre == "." || Nombre == ".." ||
        !IsPlainFolderName(Nombre))
        return "\"" + Nombre + "\" no sirve como nombre de carpeta: escriba un solo nombre, sin unidad, sin \"\\\" ni "
               "\"/\", sin \"..\" y sin los caracteres < > : \" | ? *.";
    if (IncludeTrailingBackslash(CarpetaPrograma + Nombre).size() > static_cast<size_t>(MAX_PATH_LENGTH))
        return "El nombre de la carpeta es demasiado largo: la ruta completa no puede pasar de " +
               IntToStr(MAX_PATH_LENGTH) + " caracteres.";
    return {};
}

void ImportaEnCarpeta(const AnsiString& Intercambio, const AnsiString& Carpeta) {
    AnsiString error = CompruebaIntercambio(Intercambio, TUsoIntercambio::Importar);
    if (!error.empty()) throw EDatabaseError(error);

    const AnsiString carpeta = ExcludeTrailingBackslash(Carpeta);
    const bool nueva = !DirectoryExists(carpeta);
    if (!ForceDirectories(carpeta)) throw EDatabaseError("No se puede crear la carpeta " + carpeta + ".");
    const AnsiString provisional = carpeta + "\\" + CarpetaProvisional;
    BorraCarpeta(provisional);
    try {
        if (!ForceDirectories(provisional)) throw EDatabaseError("No se puede crear la carpeta " + provisional + ".");
        CreaTablas(provisional);
        RellenaTablas(Intercambio, provisional);
        CalculaDivisiones(provisional);
        ColocaTablas(provisional, carpeta);
    } catch (...) {
        BorraCarpeta(provisional);
        if (nueva) BorraCarpeta(carpeta);
        throw;
    }
    BorraCarpeta(provisional);
}

bool ImportaDatos(TAppState& Estado, const AnsiString& Intercambio) {
    // Cancel gives the offered name: the import then goes into "Nueva Carpeta".
    AnsiString nombre = InputBox("Alojar los datos en carpeta ...", "Nombre de la carpeta:", "Nueva Carpeta");
    AnsiString rechazo = CompruebaNombreCarpeta(Estado.CarpetaPrograma, nombre);
    if (!rechazo.empty()) {
        Aviso(rechazo);
        return false;
    }
    const AnsiString carpeta = Estado.CarpetaPrograma + nombre;
    if (DirectoryExists(carpeta) && !Pregunta("Esta carpeta ya existe \xBF" "Continuar?")) return false;

    try {
        ImportaEnCarpeta(Intercambio, carpeta);
    } catch (const EDatabaseError& E) {
        Aviso("No se han importado los datos. " + E.Message());
        return false;
    }
    Estado.ApuntaBaseDatos(carpeta);
    Estado.CarpetaDatos = IncludeTrailingBackslash(carpeta);
    Estado.RutaDatos = Estado.CarpetaDatos;
    ShowMessage("Proceso terminado");
    return true;
}
