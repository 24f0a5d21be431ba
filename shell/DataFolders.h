#pragma once
// The data folders: listing them, and opening one as the program's database.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"

class TAppState;
class TDbfFileSystem;

// Field counts of `cursos` that tell the layouts apart.
inline constexpr int CamposCursosActual = 38;
inline constexpr int CamposCursosM2 = 6;

// The sub-folders of Carpeta that may be data folders, in the order the
// folder search gives them: entries whose attributes are exactly "folder"
// (hidden, read-only or system ones are left out), but "." and "..". A
// folder the user may not write to counts as read-only here: no data folder
// can be opened without writing (the working tables are made anew). An
// import a crash left in a folder is put in order first (shell/TableSwap.h),
// and a folder that held nothing but an unfinished import is removed, not
// listed; so is, for as long as it lasts, a new folder that another program
// is importing into. Fs answers whether a folder may be written and moves
// the files of such an import (the machine's files when null).
std::vector<AnsiString> ListaCarpetasDatos(const AnsiString& Carpeta, TDbfFileSystem* Fs = nullptr);

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
// captions still name the folder accepted before. Refused too, and told: a
// folder the user may not write to, and one whose opening fails (a table's
// name taken by a folder, a file the machine will not write); what such an
// opening had begun to write is taken away again. An import that a crash
// left half-done in the folder is finished or undone first, and the user is
// told which (shell/TableSwap.h); a folder that held nothing but an
// unfinished import is removed and refused, told; one that another program
// is importing into is refused, told. A folder of the older layout is converted
// only when ConfirmaConversion says so. Fs answers whether the folder may
// be written and moves the tables of such an import (the machine's files
// when null).
TApertura SeleccionaCarpeta(TAppState& Estado, const AnsiString& Nombre,
                            const std::function<bool()>& ConfirmaConversion, TDbfFileSystem* Fs = nullptr);
// The question before converting: "Datos versión M2 ¿Transformar?", OK
// (true) or Cancel.
bool PreguntaConversion();
