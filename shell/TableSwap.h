#pragma once
// Replacing the twelve tables of a data folder by a complete new set, all or
// nothing, also when the machine stops half-way.
//
// On disk, inside the data folder:
// - "~importando" holds the new set while it is built. Once it is complete
//   the mark "~completa" (the list of its files) is written there: from then
//   on the new set is the folder's, and a swap that stops is finished.
// - "~anteriores" holds the old tables while they are moved aside. They are
//   deleted only after every new file is in place.
// - A swap that fails while the program runs is undone: the mark becomes
//   "~anulada", the new files go back and the old ones return. A swap found
//   with "~anulada" is undone the same way.
// Every move is one rename, so at any moment each file is whole in one of
// the three places, and the marks say which way to go.
//
// Two programs on one folder: a program that imports into the folder, or
// settles an import found there, holds the lock of the file
// "~importando.enuso" of the folder meanwhile (TReservaImportacion). A set
// in "~importando" whose folder is held is not unfinished but being built
// by another program: nobody removes it or moves its files. The lock goes
// with its process, so an import that was killed leaves nothing held.
#include <memory>
#include <string>

#include "platform/rtl/AnsiString.h"

class TDbfFileSystem;

// The sub-folder in which the new set is built.
inline constexpr const char* CarpetaNuevas = "~importando";

// Holds the folder Carpeta (a Windows path) for this program's import as
// long as it lives. Raises EDatabaseError, naming the folder, when another
// program is importing there. One program may hold a folder more than once.
class TReservaImportacion {
public:
    TReservaImportacion(const AnsiString& Carpeta, TDbfFileSystem& Fs);
    ~TReservaImportacion();
    TReservaImportacion(const TReservaImportacion&) = delete;
    TReservaImportacion& operator=(const TReservaImportacion&) = delete;

private:
    std::string FRuta;
    TDbfFileSystem& FFs;
};

// Puts the complete new set of Carpeta\~importando in place of the twelve
// tables of Carpeta (a Windows path); other files of Carpeta stay. Raises
// EDatabaseError with the message for the user when it cannot: the folder
// then holds its old tables again or, when even putting them back failed,
// the next ResuelveCambioPendiente puts the folder in order. Once the new
// tables are in place the old ones are removed; when that fails the import
// is done all the same: answers why (the next ResuelveCambioPendiente
// removes them, without a word), "" when all went.
AnsiString ColocaTablasNuevas(const AnsiString& Carpeta, TDbfFileSystem& Fs);

enum class TCambioPendiente {
    Ninguno,    // nothing was half-done (an unfinished new set, or what a
                // finished swap left behind, is just removed)
    Terminado,  // a complete new set was found half in place: it is now in place
    Deshecho,   // a failed swap was found half undone: the old tables are back
    Quitada,    // the folder held nothing but an import that never ended: it is gone
};

// Puts right a swap left half-done in Carpeta by a crash or by a failure
// while undoing it, and removes a new set that was never completed; a
// folder that then holds nothing (an import into a new folder was killed)
// is removed. Raises EDatabaseError when another program is importing into
// Carpeta (nothing is touched then) or when the files cannot be moved;
// nothing is lost then, and the next call goes on from where this one
// stopped.
TCambioPendiente ResuelveCambioPendiente(const AnsiString& Carpeta, TDbfFileSystem& Fs);

// Whether Carpeta holds nothing but what an import works with (its new set,
// its lock, the old tables it sets aside): no folder to list while another
// program builds it.
bool SoloImportacion(const AnsiString& Carpeta);

// Removes Carpeta\~importando when it holds a new set that was never
// completed; leaves it when its mark says a swap has begun.
void DescartaNuevasIncompletas(const AnsiString& Carpeta, TDbfFileSystem& Fs);
