#pragma once
// The rules of the two type editors (TEdiTiposForm2 over tipos2,
// TEdiTipGrupForm2 over tipgrup2) that are about the tables rather than the
// grids: the items of their combo boxes, their filters, the new-row rule of
// the subtype editor and what closing an editor stores.
#include <vector>

#include "platform/rtl/Strings.h"

class TDataSet;
class TMotorTipos;

// The combo item that shows every row.
inline constexpr const char* ItemTodos = "Todos";

// CBBloques: "Todos", then every distinct ASIGS of tipos2 in the table's
// order (two texts that differ only in letter case are one item, as the
// combo's list searches).
std::vector<AnsiString> BloquesTipos(const AnsiString& DatabaseName);
// CBGrupos: "Todos", then every distinct GRUPO of tipgrup2 in the table's
// order (group letters compared exactly).
std::vector<AnsiString> GruposTipGrup(const AnsiString& DatabaseName);

// CBBloquesChange and CBGruposChange: "Todos" switches the filter off, any
// other item shows the rows whose ASIGS (GRUPO) is exactly that text,
// apostrophes and all. The data set is then put on its first row.
void FiltraBloque(TDataSet& Tipos, const AnsiString& Item);
void FiltraGrupo(TDataSet& TipGrup, const AnsiString& Item);

// wwTableTiposNewRecord: the new subtype belongs to the course, takes the
// block text of the editor and a row number no table of the types uses.
void NuevaFilaEditorTipos(TDataSet& Tipos, TMotorTipos& Motor, const AnsiString& Bloque);

// FormClose of either editor: a change in progress is stored. With no row
// at all nothing is stored: closing an empty view adds no row.
void CierraEditor(TDataSet& Tabla);
