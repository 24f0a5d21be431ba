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
class TTable;

// Table objects of one operation and filters on a field's value:
// OpenTempTable, NewTempTable and FilterEqual of platform/db/Table.h.
void QuitaFiltro(TDataSet& Tabla);

// Every visible row of the data set in its current order, from the first.
std::vector<TFilaSubtipo> LeeSubtipos(TDataSet& Tabla);
std::vector<TFilaEnGrupo> LeeTipGrup(TDataSet& Tabla);
std::vector<TFilaAlumno> LeeAlumnos(TDataSet& Tabla);
std::vector<TFilaAsignatura> LeeAsigCur(TDataSet& Tabla);

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
