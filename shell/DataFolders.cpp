#include "shell/DataFolders.h"

#include <optional>
#include <set>

#include "platform/db/DbfFile.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/Conversion.h"
#include "shell/SchoolTables.h"
#include "shell/TableSwap.h"

namespace {

TDbfFileSystem& Ficheros(TDbfFileSystem* Fs) { return Fs ? *Fs : TDbfFileSystem::Native(); }

// What an opening writes of its own: the files of the twelve tables and the
// side files the engine writes them through.
std::set<std::string> FicherosDeTablas(TDbfFileSystem& Fs, const std::string& Carpeta) {
    std::set<std::string> nombres;
    for (const std::string& n : Fs.List(Carpeta)) {
        std::string_view tabla = n;
        if (LowerCase(tabla).ends_with(".new")) tabla.remove_suffix(4);
        if (EsFicheroDeTablaEscolar(tabla)) nombres.insert(n);
    }
    return nombres;
}

// A refused opening takes away the files it made: tables it created where
// none were, and side files a failed create left behind.
void QuitaLoEscrito(TDbfFileSystem& Fs, const std::string& Carpeta, const std::set<std::string>& Antes) {
    for (const std::string& n : FicherosDeTablas(Fs, Carpeta)) {
        if (Antes.count(n)) continue;
        try {
            Fs.Remove(Carpeta + "/" + n);
        } catch (const EDatabaseError&) {
        }
    }
}

// An import a crash left in the folder is put in order before the folder
// is listed: a folder that held nothing but it is gone then. One that
// another program is importing into, or that cannot be put in order now,
// is listed only when it holds more than the import.
bool Listable(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
    try {
        return ResuelveCambioPendiente(Carpeta, Fs) != TCambioPendiente::Quitada;
    } catch (const Exception&) {
        return !SoloImportacion(Carpeta);
    }
}

}  // namespace

std::vector<AnsiString> ListaCarpetasDatos(const AnsiString& Carpeta, TDbfFileSystem* Fs) {
    std::vector<AnsiString> carpetas;
    TSearchRec f;
    const AnsiString padre = IncludeTrailingBackslash(Carpeta);
    if (FindFirst(padre + "*.*", faDirectory, f) != 0) return carpetas;
    do {
        if (f.Attr == faDirectory && f.Name != "." && f.Name != ".." &&
            Ficheros(Fs).IsWritable(MapPath(padre + f.Name)) && Listable(padre + f.Name, Ficheros(Fs)))
            carpetas.push_back(f.Name);
    } while (FindNext(f) == 0);
    FindClose(f);
    return carpetas;
}

bool PreguntaConversion() { return Pregunta("Datos versi\xF3n M2 \xBFTransformar?"); }

TApertura SeleccionaCarpeta(TAppState& Estado, const AnsiString& Nombre,
                            const std::function<bool()>& ConfirmaConversion, TDbfFileSystem* Fs) {
    if (Nombre.empty()) return TApertura::SinCambio;
    TDbfFileSystem& fs = Ficheros(Fs);
    const AnsiString carpeta = Estado.CarpetaPrograma + Nombre;
    // The database is about to leave the folder that was open: until this
    // one is accepted, none is.
    Estado.CarpetaDatos.clear();
    const std::string maquina = MapPath(carpeta);
    // Known once the folder is whole; a failure before then touches no file.
    std::optional<std::set<std::string>> antes;
    int campos = -1;
    AnsiString ilegible;
    TApertura resultado = TApertura::Rechazada;
    try {
        Estado.ApuntaBaseDatos(carpeta);
        if (maquina.empty() || !fs.IsWritable(maquina)) {
            Aviso("La carpeta " + carpeta +
                  " es de solo lectura: Zelmor necesita escribir en ella para abrirla.");
            return TApertura::Rechazada;
        }
        // Tables half moved by an import must be whole again before they
        // are looked at: a missing one would be made anew, empty.
        switch (ResuelveCambioPendiente(carpeta, fs)) {
        case TCambioPendiente::Terminado:
            Aviso("En la carpeta " + carpeta +
                  " se hab\xED"
                  "a interrumpido una importaci\xF3n cuando ya estaba completa: se han terminado "
                  "de colocar las tablas importadas.");
            break;
        case TCambioPendiente::Deshecho:
            Aviso("En la carpeta " + carpeta +
                  " hab\xED"
                  "a quedado a medias una importaci\xF3n que fall\xF3: se han repuesto las tablas "
                  "que ten\xED"
                  "a antes.");
            break;
        case TCambioPendiente::Quitada:
            Aviso("La carpeta " + carpeta +
                  " solo ten\xED"
                  "a una importaci\xF3n que no lleg\xF3 a terminar, y se ha quitado.");
            return TApertura::Rechazada;
        case TCambioPendiente::Ninguno: break;
        }
        antes = FicherosDeTablas(fs, maquina);

        // The layout is told by the fields of the header alone: a cursos
        // damaged only at its end is mended by CreaTablas with the others.
        TTempTable cursos = NewTempTable(NombreBaseDatos, "cursos");
        if (cursos->Exists()) {
            try {
                campos = int(TDbfTable::MeasureEnd(cursos->TablePath(), &fs).Fields.size());
            } catch (const EDatabaseError& E) {
                ilegible = E.Message();
            }
        }
        cursos.reset();

        if (campos == CamposCursosActual) {
            CreaTablas(NombreBaseDatos);
            resultado = TApertura::Actual;
        } else if (campos == CamposCursosM2) {
            if (!ConfirmaConversion()) return TApertura::Declinada;
            TransformaM2(NombreBaseDatos);
            CalculaDivisiones(NombreBaseDatos);
            resultado = TApertura::Convertida;
        }
    } catch (const Exception& E) {
        if (antes) QuitaLoEscrito(fs, maquina, *antes);
        Aviso("No se puede abrir la carpeta " + carpeta + ". " + E.Message());
        return TApertura::Rechazada;
    }
    if (resultado == TApertura::Rechazada) {
        Aviso(ilegible.empty()
                  ? AnsiString("Formato de datos desconocido")
                  : "Formato de datos desconocido. La tabla cursos no se puede leer: " + ilegible);
        return resultado;
    }
    Estado.CarpetaDatos = IncludeTrailingBackslash(carpeta);
    Estado.RutaDatos = Estado.CarpetaDatos;
    return resultado;
}
