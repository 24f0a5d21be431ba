#pragma once
// The import: a data folder made from the exchange folder.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "shell/ExchangeTables.h"

class TAppState;
class TDbfFileSystem;

// A folder name the user typed, to be made a sub-folder of the program
// folder: the message that refuses it, or "" when it can be used. Refused:
// an empty name, anything but one plain folder name (a separator, a drive,
// "." or "..", characters a folder name cannot hold), and a name that would
// make the data folder with its trailing "\" longer than 259 characters.
AnsiString CompruebaNombreCarpeta(const AnsiString& CarpetaPrograma, const AnsiString& Nombre);

// The file of a data folder that lists the names its last import cut.
inline constexpr const char* FicheroCortados = "Textos cortados.txt";

// What an import did besides filling the tables.
struct TImportacion {
    // The names cut to the width of their fields, in table and row order.
    std::vector<TTextoCortado> Cortados;
    // When there are some: the file of the data folder that lists them all
    // (FicheroCortados), or "" when it could not be written.
    AnsiString ListaCortados;
    // Why the old tables that the import set aside could not be removed ("" when
    // they were); the next opening of the folder removes them.
    AnsiString Limpieza;
};

// Makes the twelve school tables of the folder Carpeta (a Windows path,
// created when missing) from the exchange folder and computes the groups and
// divisions. The exchange tables are checked before anything is written;
// so are the folder's tables: while another program writes one of them the
// import is refused, naming it, and from then on no program begins to
// write one until the new tables are in place (a program that had one open
// then finds it replaced). The new tables are built aside in the folder and
// replace its twelve tables only once they are complete (shell/TableSwap.h),
// so a failure (an EDatabaseError with the message for the user) leaves the
// folder as it was, and a folder made for the import is removed again.
// Other files stay. The files are moved through Fs (the machine's files
// when null).
TImportacion ImportaEnCarpeta(const AnsiString& Intercambio, const AnsiString& Carpeta,
                              TDbfFileSystem* Fs = nullptr);

// How "&Importar datos" ended.
enum class TFinImportar {
    Hecha,      // the folder was imported and is open
    Cancelada,  // the user kept the existing folder as it was
    Rechazada,  // the folder name cannot be used
    Fallida,    // the exchange, the folder or a write refused the import
};

struct TResultadoImportar {
    TFinImportar Fin = TFinImportar::Hecha;
    AnsiString Error;          // Rechazada, Fallida: why, for the user
    TImportacion Importacion;  // Hecha

    bool Importado() const { return Fin == TFinImportar::Hecha; }
};

// What "&Importar datos" does with the folder name the user gave: a name
// that CompruebaNombreCarpeta refuses is refused; the tables of a folder
// that exists are replaced only when ConfirmaReemplazo says so; then the
// folder is imported and opened. A refusal or failure changes nothing: the
// folder that was open stays open. Answers how it ended; it tells the user
// nothing.
TResultadoImportar ImportaDatos(TAppState& Estado, const AnsiString& Nombre,
                                const std::function<bool()>& ConfirmaReemplazo,
                                const AnsiString& Intercambio = CarpetaIntercambio);
// What the user reads after ImportaDatos: "Proceso terminado", followed by
// the names that were cut and the old tables that are still to be removed
// when there are some; why nothing was imported otherwise; "" when the user
// cancelled.
AnsiString MensajeImportar(const TResultadoImportar& R);
// What the screen tells the user after ImportaDatos: MensajeImportar, as a
// plain message when the import ended with nothing to add, in a warning
// captioned "Atenci\xF3n" otherwise.
void AvisaResultadoImportar(const TResultadoImportar& R);
// The questions of "&Importar datos". The folder name: the input box
// "Alojar los datos en carpeta ...", offering "Nueva Carpeta", which Cancel
// gives too.
AnsiString PideNombreCarpeta();
// The name "&Importar datos" imports under, asked until the folder can be
// made under CarpetaPrograma: a refused name is told and asked for again.
// Cancel gives "Nueva Carpeta"; "" (nothing to import) when the name is
// cleared, or when "Nueva Carpeta" itself cannot be used there.
AnsiString PideNombreCarpetaValido(const AnsiString& CarpetaPrograma);
// Before replacing a folder's tables: "Esta carpeta ya existe ¿Continuar?",
// OK (true) or Cancel.
bool PreguntaCarpetaExiste();
