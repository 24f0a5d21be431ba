#pragma once
// The export to the exchange folder.
#include <string>

#include "platform/rtl/AnsiString.h"
#include "shell/ExchangeTables.h"
#include "shell/SchoolTables.h"

// Copies the file Origen to Destino byte for byte, replacing Destino. False
// when the source cannot be read or the target cannot be written; no partial
// target is left then.
bool CopiaFichero(const AnsiString& Destino, const AnsiString& Origen);

// The button "&Exportar": rebuilds `grupos`, then merges the subject names,
// the courses with their subjects, the teachers, the classrooms and the
// students into their exchange tables, refills `grupost` and copies the
// types-in-group and connection tables. A stage whose exchange table is
// missing is skipped. Before anything is written to the exchange folder its
// present tables are checked; a missing folder, a table not as expected and
// a failed copy are told to the user, and so is a stage that fails midway,
// with the tables written before it (the export stops there). True when
// nothing went wrong.
bool ExportaDatos(const AnsiString& DatabaseName = NombreBaseDatos,
                  const AnsiString& Intercambio = CarpetaIntercambio);
