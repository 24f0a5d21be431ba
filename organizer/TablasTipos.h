#pragma once
// The types screen's rows on the tables: table objects for one operation,
// filters by field and value, reading whole tables into rows and writing back
// exactly what changed.
//
// Every routine of the types engine follows one pattern: read the rows it
// needs (each with the bookmark of its record), compute in memory, and write
// back with Sincroniza: rows that are gone are deleted, rows that changed are
// rewritten field by field, new rows are appended. Only the rows read are
// ever touched, so rows of other courses stay as they are unless they were
// read on purpose.
#include <memory>
#include <vector>

#include "organizer/FilasTipos.h"
#include "platform/db/Table.h"

class TDataSet;
class TDbfWorkLock;
class TDbfTable;
class TTable;

// Table objects of one operation and filters on a field's value:
// OpenTempTable, NewTempTable and FilterEqual of platform/db/Table.h.
void QuitaFiltro(TDataSet& Tabla);

// Every visible row of the data set in its current order, from the first.
std::vector<TFilaSubtipo> LeeSubtipos(TDataSet& Tabla);
std::vector<TFilaEnGrupo> LeeTipGrup(TDataSet& Tabla);
std::vector<TFilaAlumno> LeeAlumnos(TDataSet& Tabla);
std::vector<TFilaAsignatura> LeeAsigCur(TDataSet& Tabla);
// The students as the classification reads them: ASIG and ANULAR (and the
// bookmark) filled, every other field left empty.
std::vector<TFilaAlumno> LeeAsignaturasAlumnos(TDataSet& Tabla);

// Writes Despues over Antes (rows as read from this data set): a row of
// Antes whose bookmark no row of Despues carries is deleted; a row of
// Despues with the bookmark of a row of Antes is rewritten when it differs;
// a row without bookmark is appended and gets the bookmark of its record.
// Fields the table lacks (the texts of the working copies, in a stored
// table) are left out.
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaSubtipo>& Antes, std::vector<TFilaSubtipo>& Despues);
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaEnGrupo>& Antes, std::vector<TFilaEnGrupo>& Despues);
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaAlumno>& Antes, std::vector<TFilaAlumno>& Despues);
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaAsignatura>& Antes,
                std::vector<TFilaAsignatura>& Despues);

void AnadeConexiones(TDataSet& Tabla, const std::vector<TFilaConex>& Filas);

// The number of visible rows.
int CuentaFilas(TDataSet& Tabla);
// The largest N of the table (0 when it is empty), through its N tag.
int MayorN(const AnsiString& DatabaseName, const AnsiString& TableName);

// The tables, taken for writing now as their first write would take them,
// for as long as the answer lives: another program writing any of them
// raises EDatabaseError ("La tabla ... est\xE1 siendo usada por otro
// usuario") before a byte of any is written.
std::vector<std::shared_ptr<TDbfTable>> TomaParaEscribir(const AnsiString& DatabaseName,
                                                         const std::vector<AnsiString>& Tablas);

// --- whose the working tables are ---
// tipos2, tipgrup2 and conex hold the work of one screen of one program at a
// time: the types screen of a course, from its opening until its work is
// merged back or discarded, or the placing dialog. The program with such a
// screen open holds the working tables' claim (platform/db/DbfWorkLock.h), and
// every routine that empties, fills or makes anew the working tables takes
// the claim first: the types engine before it fills them, the placing
// dialog, and the opening of a data folder (CreaTablas), which leaves them as
// they are, and says so, when another program holds them. A program that
// ends or dies lets go of the claim. The merge back also checks that the
// files claimed are still the working tables (a program that takes no claim
// may have made them anew): it never writes a working copy that is not the
// one its screen filled into tipos and tipgrup.
class TReservaTrabajo {
public:
    // The claim on those of the three tables that exist: all of them or
    // none. Null when another program holds any.
    static std::unique_ptr<TReservaTrabajo> Intenta(const AnsiString& DatabaseName);
    // The same; EDatabaseError (TextoTrabajoOcupado, and that it can be done
    // here once it is done there) when another program holds them.
    static std::unique_ptr<TReservaTrabajo> Toma(const AnsiString& DatabaseName);
    ~TReservaTrabajo();
    TReservaTrabajo(const TReservaTrabajo&) = delete;
    TReservaTrabajo& operator=(const TReservaTrabajo&) = delete;

    // Whether every table claimed is still the file claimed.
    bool Intacta() const;

private:
    TReservaTrabajo() = default;
    std::vector<std::unique_ptr<TDbfWorkLock>> FReservas;
};

// "Otro programa est\xE1 organizando los grupos o colocando a los alumnos
// de un curso en esta carpeta de datos."
extern const char* const TextoTrabajoOcupado;
