#pragma once
// The rules the record screens carry out on the school tables: row numbers,
// the grid menu's line clipboard, the course key and the selected course,
// the students' bulk commands, the classes of a course's subjects, and the
// rebuild of `grupos`. The screens call these from their events.
#include <string>

#include "platform/rtl/AnsiString.h"

class TAppState;
class TDataSet;
class TField;
class TTable;

// --- row numbers ---
// Numbers the rows N = 1..n in the order of the index on Campo ("ABREV",
// "NOMBRE"), within the table's filter, then shows them in N order from the
// first row.
void RenumeraN(TTable& Tabla, const AnsiString& Campo);

// --- the grid menu, on TablaActual; each does nothing when no grid table
// is there any more (its screen was freed) or it is closed ---
// "&Insertar línea": a new row before the current one, which its screen's
// OnNewRecord numbers with NLinea, the N of the row it goes before.
void InsertaLinea(TAppState& Estado);
// "&Suprimir línea": moves the current row into the clipboard `Deposito`
// (made anew in the structure of the grid's table) and deletes it. On an
// empty table it only disables "&Recuperar línea".
void SuprimeLinea(TAppState& Estado);
// "&Recuperar línea": inserts the clipboard's row, with the N of the row it
// goes before, into a table of the same structure; does nothing otherwise.
void RecuperaLinea(TAppState& Estado);
// Makes `Deposito` anew, empty, with the fields of TablaActual.
void AbreDeposito(TAppState& Estado);
// True when the clipboard table and TablaActual differ in their number of
// fields or, position by position, in a field's kind or size.
bool DepositoDistinto(TAppState& Estado);

// --- courses ---
// BeforePost of the courses table: TNC from TURNO, NIVEL and CURSO.
void PonClaveCurso(TDataSet& Cursos);
// Closing the courses screen: the current row becomes the selected course
// (none when the table is empty).
void SeleccionaCurso(TAppState& Estado, TDataSet& Cursos);

// --- the students screen's bulk commands, over the rows the table shows ---
void LimpiaGruposYDivisiones(TDataSet& Alumnos);
void LimpiaAnular(TDataSet& Alumnos);
void InvierteAnular(TDataSet& Alumnos);
// Annuls every student holding Asig in a slot (same characters, same case);
// an empty Asig does nothing.
void AnulaConAsignatura(TDataSet& Alumnos, const AnsiString& Asig);

// --- the subjects of a course ---
// TIPO of an asigcur row.
enum : int { TipoOptativa = 1, TipoComun = 2, TipoNoUsada = 3 };
// Brings the course's rows of asigcur in line with its students who are not
// annulled: a row for every subject one of them takes, TIPO 2 for those all
// of them take, 1 (numbered 1..k in code order) for the others they take,
// 3 for the rest. A course without students has every subject optional; a
// course whose students are all annulled has none in use. Gives the last N
// handed out (the course's largest N, counted up by each row added): the
// screen numbers the rows typed in from there.
int ClasificaAsignaturas(const AnsiString& DatabaseName, const AnsiString& TNC);
// Shows only the course's rows of one class (TIPO).
void FiltraPorClase(TDataSet& Tabla, const AnsiString& TNC, int Tipo);
// OnChange of CUENTA or NASALUM on an optional subject: every optional
// subject the table shows with the same BLOPT (not 0) takes the new value.
// The changed row is stored first (also one being inserted) and is the
// current row afterwards.
void PropagaEnBloque(TDataSet& Optativas, TField& Cambiado);
// The number of groups as the screens use it: NGRUP within 0..30.
int AcotaGrupos(int NGrup);
// NGRUP of the course; false when the course is not in `cursos`.
bool GruposDelCurso(const AnsiString& DatabaseName, const AnsiString& TNC, int& NGrup);
// Closing the subjects screen: each common and unused subject gets as many
// divisions and teachers as the course has groups, and no limit per division.
void FijaCifrasAlCerrar(TDataSet& Comunes, TDataSet& NoUsadas, int NGrup);

// --- groups ---
// `grupos` rebuilt from `tipgrup`: one row per course-and-group key of the
// types-in-group whose course exists, numbered 1..n in key order.
void RehaceGrupos(const AnsiString& DatabaseName);
