#include "shell/Import.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/db/DbfFile.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/Conversion.h"
#include "shell/SchoolTables.h"
#include "shell/TableSwap.h"

namespace {

using TPares = std::vector<std::pair<const char*, const char*>>;  // exchange field, school field

void CopiaTextos(const TLectorIntercambio& De, TDataSet& A, const TPares& Pares) {
    for (const auto& [de, a] : Pares) A.FieldByName(a)->SetAsString(De.Texto(de));
}

AnsiString ClaveDe(const TLectorIntercambio& Tabla) {
    return ClaveCurso(Tabla.Texto("TURNO"), Tabla.Texto("NIVEL"), Tabla.Texto("CURSO"));
}

// Every exchange row in stored order gives one school row numbered from 1.
template <class F>
void Rellena(const AnsiString& Intercambio, const char* TablaDeIntercambio, const AnsiString& Datos,
             const char* TablaEscolar, F Fila) {
    TLectorIntercambio de(Intercambio, TablaIntercambio(TablaDeIntercambio));
    TTempTable a = OpenTempTable(Datos, TablaEscolar);
    int n = 0;
    while (de.Siguiente()) {
        a->Append();
        a->FieldByName("N")->SetAsInteger(++n);
        Fila(de, *a);
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
        TLectorIntercambio t(Intercambio, TablaIntercambio("Asigcurt"));
        while (t.Siguiente())
            asignaturas.push_back({t.Texto("NIVEL"), t.Texto("CURSO"), t.Texto("ASIG"), t.Numero("HORAS")});
    }
    TTempTable asigcur = OpenTempTable(Datos, "asigcur");
    int n = 0;  // one count over the whole table, not per course
    Rellena(Intercambio, "Cursost", Datos, "cursos", [&](const TLectorIntercambio& de, TDataSet& a) {
        CopiaTextos(de, a, {{"ABREV", "ABREV"}, {"TURNO", "TURNO"}, {"NIVEL", "NIVEL"}, {"CURSO", "CURSO"}});
        a.FieldByName("TNC")->SetAsString(ClaveDe(de));
        AnsiString turno = de.Texto("TURNO");
        AnsiString nivel = de.Texto("NIVEL");
        AnsiString curso = de.Texto("CURSO");
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
    Rellena(Intercambio, "AsigNomt", Datos, "nomasg", [](const TLectorIntercambio& de, TDataSet& a) {
        CopiaTextos(de, a, {{"NOMBRE", "NOMBRE"}, {"COD", "ABREV"}, {"CODLARGO", "ABREV8"}});
    });
    RellenaCursos(Intercambio, Datos);
    if (FileExists(FicheroIntercambio(Intercambio, TablaIntercambio("grupt"))))
        Rellena(Intercambio, "grupt", Datos, "grupos", [](const TLectorIntercambio& de, TDataSet& a) {
            CopiaTextos(de, a,
                        {{"ABREV", "ABREV"},
                         {"TURNO", "TURNO"},
                         {"NIVEL", "NIVEL"},
                         {"CURSO", "CURSO"},
                         {"GRUPO", "GRUPO"}});
            a.FieldByName("TNC")->SetAsString(ClaveDe(de));
            a.FieldByName("TNCG")->SetAsString(ClaveDe(de) + de.Texto("GRUPO"));
        });
    Rellena(Intercambio, "proft", Datos, "prof", [](const TLectorIntercambio& de, TDataSet& a) {
        CopiaTextos(de, a, {{"ABREV", "ABREV"}, {"NOMBRE", "NOMBRE"}, {"DEPART", "DEPART"}});
    });
    if (FileExists(FicheroIntercambio(Intercambio, TablaIntercambio("aulat"))))
        Rellena(Intercambio, "aulat", Datos, "aulas", [](const TLectorIntercambio& de, TDataSet& a) {
            CopiaTextos(de, a, {{"ABREV", "ABREV"}, {"NOMBRE", "NOMBRE"}, {"EDIFICIO", "EDIFICIO"}});
        });
    Rellena(Intercambio, "alumnost", Datos, "alum", [](const TLectorIntercambio& de, TDataSet& a) {
        // Groups and divisions are the organizer's to give: whatever the
        // exchange holds, an imported student starts without them.
        CopiaTextos(de, a, {{"EXPED", "EXPED"}, {"NOMBRE", "NOMBRE"}, {"OPCION", "OPCION"}});
        a.FieldByName("TNC")->SetAsString(ClaveDe(de));
        a.FieldByName("REPITE")->SetAsBoolean(de.Logico("REPITE"));
        for (const auto& asig : Numerados("ASIG", HuecosAsignatura))
            a.FieldByName(asig)->SetAsString(de.Texto(asig));
    });
}

void BorraCarpeta(const AnsiString& Carpeta) {
    std::string maquina = MapPath(Carpeta);
    std::error_code ec;
    if (!maquina.empty()) std::filesystem::remove_all(maquina, ec);
}

}  // namespace

AnsiString CompruebaNombreCarpeta(const AnsiString& CarpetaPrograma, const AnsiString& Nombre) {
    if (Nombre.empty()) return "Escriba el nombre de la carpeta.";
    if (Nombre.find_first_of("\\/:") != AnsiString::npos || Nombre == "." || Nombre == ".." ||
        !IsPlainFolderName(Nombre))
        return "\"" + Nombre +
               "\" no sirve como nombre de carpeta: escriba un solo nombre, sin unidad, sin \"\\\" ni "
               "\"/\", sin \"..\" y sin los caracteres < > : \" | ? *.";
    if (IncludeTrailingBackslash(CarpetaPrograma + Nombre).size() > static_cast<size_t>(MAX_PATH_LENGTH))
        return "El nombre de la carpeta es demasiado largo: la ruta completa no puede pasar de " +
               IntToStr(MAX_PATH_LENGTH) + " caracteres.";
    return {};
}

void ImportaEnCarpeta(const AnsiString& Intercambio, const AnsiString& Carpeta, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    AnsiString error = CompruebaIntercambio(Intercambio, TUsoIntercambio::Importar);
    if (!error.empty()) throw EDatabaseError(error);

    const AnsiString carpeta = ExcludeTrailingBackslash(Carpeta);
    const bool nueva = !DirectoryExists(carpeta);
    if (!ForceDirectories(carpeta)) throw EDatabaseError("No se puede crear la carpeta " + carpeta + ".");
    const AnsiString provisional = carpeta + "\\" + CarpetaNuevas;
    try {
        // A swap an earlier run left half-done is settled before this one
        // builds its own set where that one kept its files.
        ResuelveCambioPendiente(carpeta, fs);
        if (!ForceDirectories(provisional))
            throw EDatabaseError("No se puede crear la carpeta " + provisional + ".");
        CreaTablasNuevas(provisional);
        RellenaTablas(Intercambio, provisional);
        CalculaDivisiones(provisional);
        ColocaTablasNuevas(carpeta, fs);
    } catch (...) {
        try {
            // A folder made for this import goes whole; in another only an
            // unfinished set goes, never a swap that must still be settled.
            if (nueva) BorraCarpeta(carpeta);
            else DescartaNuevasIncompletas(carpeta, fs);
        } catch (const std::exception&) {
        }
        throw;
    }
}

AnsiString PideNombreCarpeta() {
    // Cancel gives the offered name: the import then goes into "Nueva Carpeta".
    return InputBox("Alojar los datos en carpeta ...", "Nombre de la carpeta:", "Nueva Carpeta");
}

AnsiString PideNombreCarpetaValido(const AnsiString& CarpetaPrograma) {
    static const AnsiString Ofrecida = "Nueva Carpeta";
    for (;;) {
        AnsiString nombre = Ofrecida;
        const bool aceptada = InputQuery("Alojar los datos en carpeta ...", "Nombre de la carpeta:", nombre);
        if (!aceptada) nombre = Ofrecida;
        if (nombre.empty()) return {};
        AnsiString rechazo = CompruebaNombreCarpeta(CarpetaPrograma, nombre);
        if (rechazo.empty()) return nombre;
        Aviso(rechazo);
        // Cancel always answers the offered name: asking again would
        // answer it again.
        if (!aceptada) return {};
    }
}

bool PreguntaCarpetaExiste() {
    return Pregunta("Esta carpeta ya existe \xBF"
                    "Continuar?");
}

bool ImportaDatos(TAppState& Estado, const AnsiString& Nombre, const std::function<bool()>& ConfirmaReemplazo,
                  const AnsiString& Intercambio) {
    AnsiString rechazo = CompruebaNombreCarpeta(Estado.CarpetaPrograma, Nombre);
    if (!rechazo.empty()) {
        Aviso(rechazo);
        return false;
    }
    const AnsiString carpeta = Estado.CarpetaPrograma + Nombre;
    if (DirectoryExists(carpeta) && !ConfirmaReemplazo()) return false;

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
