#pragma once
// The import: a data folder made from the exchange folder.
#include <functional>
#include <string>

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

// Makes the twelve school tables of the folder Carpeta (a Windows path,
// created when missing) from the exchange folder and computes the groups and
// divisions. The exchange tables are checked before anything is written;
// the new tables are built aside in the folder and replace its twelve tables
// only once they are complete (shell/TableSwap.h), so a failure (an
// EDatabaseError with the message for the user) leaves the folder as it was,
// and a folder made for the import is removed again. Other files stay. The
// files are moved through Fs (the machine's files when null).
void ImportaEnCarpeta(const AnsiString& Intercambio, const AnsiString& Carpeta, TDbfFileSystem* Fs = nullptr);

// What "&Importar datos" does with the folder name the user gave: a name
// that CompruebaNombreCarpeta refuses is refused; the tables of a folder
// that exists are replaced only when ConfirmaReemplazo says so; then the
// folder is imported and opened. Every refusal or failure is told to the
// user and changes nothing: the folder that was open stays open. True when
// a folder was imported.
bool ImportaDatos(TAppState& Estado, const AnsiString& Nombre, const std::function<bool()>& ConfirmaReemplazo,
                  const AnsiString& Intercambio = CarpetaIntercambio);
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
