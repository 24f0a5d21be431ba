#pragma once
// The data folders: listing them, and opening one as the program's database.
#include <string>
#include <vector>

using AnsiString = std::string;

class TAppState;
class TDbfFileSystem;

// Field counts of `cursos` that tell the layouts apart.
inline constexpr int CamposCursosActual = 38;
inline constexpr int CamposCursosM2 = 6;

// The sub-folders of Carpeta that may be data folders, in the order the
// folder search gives them: entries whose attributes are exactly "folder"
// (hidden, read-only or system ones are left out), but "." and "..".
std::vector<AnsiString> ListaCarpetasDatos(const AnsiString& Carpeta);

enum class TApertura {
    Actual,      // the current layout: missing tables created, working tables emptied
    Convertida,  // the older layout, converted on the user's word
    Rechazada,   // no `cursos`, an unreadable one, or an unknown layout: "Formato de datos desconocido"
    Declinada,   // the older layout, conversion declined: refused without a message
    SinCambio,   // no folder was chosen: nothing changed
};

// Selecting the sub-folder Nombre of the program folder: the database is
// pointed at it and the layout of `cursos` decides. An accepted folder sets
// CarpetaDatos and RutaDatos; a refused one (told to the user, but for a
// declined conversion) empties CarpetaDatos and keeps RutaDatos, so the
// captions still name the folder accepted before. An import that a crash
// left half-done in the folder is finished or undone first, and the user is
// told which (shell/TableSwap.h); Fs moves its tables (the machine's files
// when null).
TApertura SeleccionaCarpeta(TAppState& Estado, const AnsiString& Nombre, TDbfFileSystem* Fs = nullptr);
