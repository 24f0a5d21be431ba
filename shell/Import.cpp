#include "shell/Import.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/db/DbfFile.h"
#include "platform/db/DbfTable.h"
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

// The write locks of the folder's tables, held from before the import
// touches anything until its tables are in place: a program writing one now
// refuses the import, and none begins to write one meanwhile.
class TTablasRetenidas {
public:
    TTablasRetenidas(const AnsiString& Carpeta, TDbfFileSystem& Fs) : FCarpeta(Carpeta), FFs(Fs) {}

    // Takes every table of the folder not held yet.
    void Retiene() {
        const std::string maquina = MapPath(FCarpeta);
        for (const auto& t : TablasEscolares()) {
            const std::string ruta = TDbfTable::Find(maquina + "/" + t.Nombre, &FFs);
            if (ruta.empty() || FRetenidas.count(ruta)) continue;
            try {
                if (auto f = TDbfTable::Claim(ruta, &FFs)) FRetenidas[ruta] = std::move(f);
            } catch (const EDBEngineError& E) {
                if (E.ErrorCode() != dbeInUse) throw;
                throw EDatabaseError(E.Message() + " en la carpeta " + FCarpeta +
                                     ": vuelva a importar cuando el otro programa haya dejado de "
                                     "modificarla.");
            }
        }
    }

private:
    AnsiString FCarpeta;
    TDbfFileSystem& FFs;
    std::map<std::string, std::unique_ptr<TDbfFile>> FRetenidas;
};

// "ALUMNOST.DBF, fila 12, NOMBRE (50 caracteres): "the whole text"".
AnsiString LineaCortado(const TTextoCortado& C) {
    return C.Fichero + ", fila " + IntToStr(int(C.Fila)) + ", " + C.Campo + " (" + IntToStr(C.Ancho) +
           " caracteres): \"" + C.Texto + "\"";
}

AnsiString CabeceraCortados(size_t Cuantos) {
    return Cuantos == 1 ? AnsiString("Un nombre de la carpeta de intercambio era m\xE1s largo que su campo y "
                                     "se ha guardado cortado (tabla, fila, campo y texto completo):")
                        : "Estos " + IntToStr(int(Cuantos)) +
                              " nombres de la carpeta de intercambio eran m\xE1s largos que sus campos y se "
                              "han guardado cortados (tabla, fila, campo y texto completo):";
}

// Writes the whole list of the cut names into the data folder (for people
// to read: in UTF-8), or removes the list an earlier import left when
// nothing was cut. Answers the file's Windows path, "" when none.
AnsiString EscribeListaCortados(const AnsiString& Carpeta, const std::vector<TTextoCortado>& Cortados) {
    const AnsiString fichero = Carpeta + "\\" + FicheroCortados;
    const std::string maquina = MapPath(fichero);
    std::error_code ec;
    if (Cortados.empty()) {
        if (!maquina.empty()) std::filesystem::remove(maquina, ec);
        return {};
    }
    if (maquina.empty()) return {};
    std::string texto = ToUtf8(CabeceraCortados(Cortados.size())) + "\n";
    for (const auto& c : Cortados) texto += ToUtf8(LineaCortado(c)) + "\n";
    {
        std::ofstream f(maquina, std::ios::binary | std::ios::trunc);
        f << texto;
        if (f.flush()) return fichero;
    }
    std::filesystem::remove(maquina, ec);
    return {};
}

// The most names the message shows: more would not fit on the screen.
constexpr size_t CortadosEnMensaje = 20;

AnsiString MensajeCortados(const TImportacion& I) {
    const auto& c = I.Cortados;
    // Without the file the message is the only list: it shows them all.
    const size_t mostrados = I.ListaCortados.empty() ? c.size() : std::min(c.size(), CortadosEnMensaje);
    AnsiString texto = CabeceraCortados(c.size());
    for (size_t i = 0; i < mostrados; ++i) texto += "\n" + LineaCortado(c[i]);
    if (mostrados < c.size()) texto += "\n... y " + IntToStr(int(c.size() - mostrados)) + " m\xE1s.";
    if (!I.ListaCortados.empty())
        texto += "\nLa lista completa est\xE1 en el fichero " + I.ListaCortados + ".";
    return texto;
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

TImportacion ImportaEnCarpeta(const AnsiString& Intercambio, const AnsiString& Carpeta, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    TImportacion r;
    AnsiString error = CompruebaIntercambio(Intercambio, TUsoIntercambio::Importar, &r.Cortados);
    if (!error.empty()) throw EDatabaseError(error);

    const AnsiString carpeta = ExcludeTrailingBackslash(Carpeta);
    const bool nueva = !DirectoryExists(carpeta);
    TTablasRetenidas tablas(carpeta, fs);
    if (!nueva) tablas.Retiene();
    if (!ForceDirectories(carpeta)) throw EDatabaseError("No se puede crear la carpeta " + carpeta + ".");
    std::optional<TReservaImportacion> reserva;
    try {
        reserva.emplace(carpeta, fs);
    } catch (...) {
        // Another program imports there: a folder made just now is left to it.
        std::error_code ec;
        if (nueva) std::filesystem::remove(MapPath(carpeta), ec);
        throw;
    }
    const AnsiString provisional = carpeta + "\\" + CarpetaNuevas;
    try {
        // A swap an earlier run left half-done is settled before this one
        // builds its own set where that one kept its files; tables it put
        // back are held as well.
        if (ResuelveCambioPendiente(carpeta, fs) != TCambioPendiente::Ninguno) tablas.Retiene();
        if (!ForceDirectories(provisional))
            throw EDatabaseError("No se puede crear la carpeta " + provisional + ".");
        CreaTablasNuevas(provisional);
        RellenaTablas(Intercambio, provisional);
        CalculaDivisiones(provisional);
        r.Limpieza = ColocaTablasNuevas(carpeta, fs);
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
    r.ListaCortados = EscribeListaCortados(carpeta, r.Cortados);
    return r;
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

TResultadoImportar ImportaDatos(TAppState& Estado, const AnsiString& Nombre,
                                const std::function<bool()>& ConfirmaReemplazo,
                                const AnsiString& Intercambio) {
    TResultadoImportar r;
    r.Error = CompruebaNombreCarpeta(Estado.CarpetaPrograma, Nombre);
    if (!r.Error.empty()) {
        r.Fin = TFinImportar::Rechazada;
        return r;
    }
    const AnsiString carpeta = Estado.CarpetaPrograma + Nombre;
    if (DirectoryExists(carpeta) && !ConfirmaReemplazo()) {
        r.Fin = TFinImportar::Cancelada;
        return r;
    }
    try {
        r.Importacion = ImportaEnCarpeta(Intercambio, carpeta);
    } catch (const EDatabaseError& E) {
        r.Fin = TFinImportar::Fallida;
        r.Error = E.Message();
        return r;
    }
    Estado.ApuntaBaseDatos(carpeta);
    Estado.CarpetaDatos = IncludeTrailingBackslash(carpeta);
    Estado.RutaDatos = Estado.CarpetaDatos;
    return r;
}

AnsiString MensajeImportar(const TResultadoImportar& R) {
    switch (R.Fin) {
    case TFinImportar::Cancelada: return "";
    case TFinImportar::Rechazada: return R.Error;
    case TFinImportar::Fallida: return "No se han importado los datos. " + R.Error;
    case TFinImportar::Hecha: break;
    }
    const TImportacion& i = R.Importacion;
    AnsiString texto = "Proceso terminado";
    if (!i.Cortados.empty()) texto += "\n\n" + MensajeCortados(i);
    // The import is done: only the removal of the tables it replaced is owed.
    if (!i.Limpieza.empty())
        texto += "\n\nLas tablas que ten\xED"
                 "a antes la carpeta no se han podido borrar todav\xED"
                 "a (" +
                 i.Limpieza + "); se borrar\xE1n la pr\xF3xima vez que se abra la carpeta.";
    return texto;
}

void AvisaResultadoImportar(const TResultadoImportar& R) {
    const AnsiString texto = MensajeImportar(R);
    if (texto.empty()) return;
    const bool limpia = R.Importado() && R.Importacion.Cortados.empty() && R.Importacion.Limpieza.empty();
    if (limpia) ShowMessage(texto);
    else Aviso(texto);
}
