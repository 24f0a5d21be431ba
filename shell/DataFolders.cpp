#include "shell/DataFolders.h"

#include "platform/db/DbfFile.h"
#include "platform/db/Table.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/Conversion.h"
#include "shell/SchoolTables.h"
#include "shell/TableSwap.h"

std::vector<AnsiString> ListaCarpetasDatos(const AnsiString& Carpeta) {
    std::vector<AnsiString> carpetas;
    TSearchRec f;
    if (FindFirst(IncludeTrailingBackslash(Carpeta) + "*.*", faDirectory, f) != 0) return carpetas;
    do {
        if (f.Attr == faDirectory && f.Name != "." && f.Name != "..") carpetas.push_back(f.Name);
    } while (FindNext(f) == 0);
    FindClose(f);
    return carpetas;
}

TApertura SeleccionaCarpeta(TAppState& Estado, const AnsiString& Nombre, TDbfFileSystem* Fs) {
    if (Nombre.empty()) return TApertura::SinCambio;
    const AnsiString carpeta = Estado.CarpetaPrograma + Nombre;
    Estado.ApuntaBaseDatos(carpeta);
    Estado.CarpetaDatos = IncludeTrailingBackslash(carpeta);
    // Tables half moved by an import must be whole again before they
    // are looked at: a missing one would be made anew, empty.
    switch (ResuelveCambioPendiente(carpeta, Fs ? *Fs : TDbfFileSystem::Native())) {
    case TCambioPendiente::Terminado:
        Aviso("En la carpeta " + carpeta +
              " se hab\xED" "a interrumpido una importaci\xF3n cuando ya estaba completa: se han terminado "
              "de colocar las tablas importadas.");
        break;
    case TCambioPendiente::Deshecho:
        Aviso("En la carpeta " + carpeta +
              " hab\xED" "a quedado a medias una importaci\xF3n que fall\xF3: se han repuesto las tablas "
              "que ten\xED" "a antes.");
        break;
    case TCambioPendiente::Ninguno: break;
    }

    int campos = -1;
    AnsiString ilegible;
    TTempTable cursos = NewTempTable(NombreBaseDatos, "cursos");
    if (cursos->Exists()) {
        try {
            cursos->Open();
            campos = cursos->FieldCount();
        } catch (const EDatabaseError& E) {
            ilegible = E.Message();
        }
    }
    cursos.reset();

    TApertura resultado = TApertura::Rechazada;
    if (campos == CamposCursosActual) {
        CreaTablas(NombreBaseDatos);
        resultado = TApertura::Actual;
    } else if (campos == CamposCursosM2) {
        if (!Pregunta("Datos versi\xF3n M2 \xBFTransformar?")) {
            Estado.CarpetaDatos.clear();
            return TApertura::Declinada;
        }
        TransformaM2(NombreBaseDatos);
        CalculaDivisiones(NombreBaseDatos);
        resultado = TApertura::Convertida;
    }
    if (resultado == TApertura::Rechazada) {
        Aviso(ilegible.empty() ? AnsiString("Formato de datos desconocido")
                               : "Formato de datos desconocido. La tabla cursos no se puede leer: " + ilegible);
        Estado.CarpetaDatos.clear();
        return resultado;
    }
    Estado.RutaDatos = Estado.CarpetaDatos;
    return resultado;
}
