#pragma once
// The export to the exchange folder.
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "shell/ExchangeTables.h"
#include "shell/SchoolTables.h"

// Copies the file Origen to Destino byte for byte, replacing Destino. False
// when the source cannot be read or the target cannot be written; no partial
// target is left then.
bool CopiaFichero(const AnsiString& Destino, const AnsiString& Origen);

// How an export ended.
enum class TFinExportar {
    Hecha,          // every stage written and every copy made
    NadaExportado,  // the exchange folder failed its check: nothing written there
    Detenida,       // a stage failed midway: the export stopped there
    CopiasFallidas  // every stage written, some copies not made
};

struct TResultadoExportar {
    TFinExportar Fin = TFinExportar::Hecha;
    AnsiString Intercambio;  // the exchange folder, as the user named it
    // NadaExportado: what the check found. Detenida: the stage's error.
    AnsiString Error;
    // Detenida: the files of the stage that failed, and those of the stages
    // written before it, in order.
    std::vector<AnsiString> Fallidas, Escritas;
    // CopiasFallidas: the files that could not be copied, in order.
    std::vector<AnsiString> NoCopiados;

    bool Exportado() const { return Fin == TFinExportar::Hecha; }
};

// What "&Exportar" does: rebuilds `grupos`, then merges the subject names,
// the courses with their subjects, the teachers, the classrooms and the
// students into their exchange tables, refills `grupost` and copies the
// types-in-group and connection tables. A stage whose exchange table is
// missing is skipped. Before anything is written to the exchange folder its
// present tables are checked: a missing folder or a table not as expected
// writes nothing there. A stage that fails midway stops the export, with the
// tables written before it kept. Answers how it ended; it tells the user
// nothing.
TResultadoExportar ExportaDatos(const AnsiString& DatabaseName = NombreBaseDatos,
                                const AnsiString& Intercambio = CarpetaIntercambio);

// The warning for an export that did not end well; empty when it did.
AnsiString MensajeExportar(const TResultadoExportar& R);

// What the screen tells the user after ExportaDatos: MensajeExportar in a
// warning captioned "Atenci\xF3n", nothing when the export ended well.
void AvisaResultadoExportar(const TResultadoExportar& R);
