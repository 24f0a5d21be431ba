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
#include <string>

#include "platform/rtl/AnsiString.h"

class TDbfFileSystem;

// The sub-folder in which the new set is built.
inline constexpr const char* CarpetaNuevas = "~importando";

// Puts the complete new set of Carpeta\~importando in place of the twelve
// tables of Carpeta (a Windows path); other files of Carpeta stay. Raises
// EDatabaseError with the message for the user when it cannot: the folder
// then holds its old tables again or, when even putting them back failed,
// the next ResuelveCambioPendiente puts the folder in order.
void ColocaTablasNuevas(const AnsiString& Carpeta, TDbfFileSystem& Fs);

enum class TCambioPendiente {
    Ninguno,    // nothing was half-done (an unfinished new set is just removed)
    Terminado,  // a complete new set was found half in place: it is now in place
    Deshecho,   // a failed swap was found half undone: the old tables are back
};

// Puts right a swap left half-done in Carpeta by a crash or by a failure
// while undoing it, and removes a new set that was never completed. Raises
// EDatabaseError when the files cannot be moved; nothing is lost then, and
// the next call goes on from where this one stopped.
TCambioPendiente ResuelveCambioPendiente(const AnsiString& Carpeta, TDbfFileSystem& Fs);

// Removes Carpeta\~importando when it holds a new set that was never
// completed; leaves it when its mark says a swap has begun.
void DescartaNuevasIncompletas(const AnsiString& Carpeta, TDbfFileSystem& Fs);
