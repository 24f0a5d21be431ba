#pragma once
// Moving students between the subtypes (tipos2) and the types-in-group
// (tipgrup2) of the course, without tables: the routines behind "Tr&asladar"
// and "T&rasladar", with what the move dialog asks as explicit arguments.
// What one row loses another gains; the students of both tables together
// stay the same.
//
// A row fits a moved row when it has the same OPCION and REPITE and every
// subject of the moved row among its own (letter case ignored); a row of a
// group must also carry the group letter exactly ("a" and "A" are two
// groups). Rows are visited in N order.
//
// The group with no letter: the dialog lets the user confirm a move with no
// group typed ("No se ha especificado grupo", OK). The students then go to a
// row whose GRUPO is empty and whose TNCG is the course key alone. That is
// kept on purpose: the organizer reads such rows as not placed in any group,
// and the placing gives their students an empty group, which is what the
// user confirmed.
#include <functional>
#include <vector>

#include "organizer/FilasTipos.h"

// The working rows of the course, in record order.
struct TTrabajoTipos {
    AnsiString TNC;
    std::vector<TFilaSubtipo> Tipos;
    std::vector<TFilaEnGrupo> TipGrup;
    bool operator==(const TTrabajoTipos&) const = default;
};

// What the move dialog shows before a move.
struct TOfertaTraslado {
    bool Encontrado = false;  // the focused row is still in its table
    AnsiString Titulo;        // the dialog's caption
    AnsiString Texto;         // LabTipo
    int Numero = 0;           // students offered: SENumero's start and top
    bool PideGrupo = false;   // LabGrupo and EdGrupo shown
};

// N: the number of the focused subtype, or of the first subtype of the
// focused type (the screen reads it from the view).
TOfertaTraslado OfertaSubtipo(const TTrabajoTipos& T, int N);
TOfertaTraslado OfertaTipo(const TTrabajoTipos& T, int N);
// N: the focused type-in-group row, or the first row of the focused group.
TOfertaTraslado OfertaFila(const TTrabajoTipos& T, int N);
TOfertaTraslado OfertaGrupo(const TTrabajoTipos& T, int N);

// The dialog's "&OK": a number outside 1..Ofrecido is refused with
// "N\xFAmero de alumnos incorrecto" and the dialog stays open for another
// number; a move into a group with no group typed goes on only when
// ConfirmaSinGrupo says so, and is cancelled otherwise.
enum class TRespuestaTraslado { Corregir, Confirmar, Cancelar };
TRespuestaTraslado CompruebaTraslado(int Numero, int Ofrecido, bool PideGrupo, const AnsiString& Grupo,
                                     const std::function<bool()>& ConfirmaSinGrupo);
// The move dialog's question for it: "No se ha especificado grupo" in a box
// captioned "Atención" with OK (true) and Cancel.
bool PreguntaSinGrupo();

// The moves. Each answers whether it moved anyone: nothing happens for a row
// no longer there or a number outside 1..the number offered. New rows take
// their N from Numerador.
bool TrasladaSubtipoAGrupo(TTrabajoTipos& T, int N, int Numero, const AnsiString& Grupo,
                           TNumeradorFilas& Numerador);
// The whole type of subtype N (same ASIGSCU): its subtypes give, in N order,
// what they have until Numero students have moved.
bool TrasladaTipoAGrupo(TTrabajoTipos& T, int N, int Numero, const AnsiString& Grupo,
                        TNumeradorFilas& Numerador);
// Back to the subtypes: a row left without students is deleted. A new
// subtype keeps only the row's subjects that AsigAlumnos holds spelled
// exactly as in the row, each in its slot.
bool TrasladaFilaATipos(TTrabajoTipos& T, int N, int Numero, const TListaAsig& AsigAlumnos,
                        TNumeradorFilas& Numerador);
// The whole group of row N (same TNCG); afterwards every row of any group
// left with 0 students is deleted.
bool TrasladaGrupoATipos(TTrabajoTipos& T, int N, int Numero, const TListaAsig& AsigAlumnos,
                         TNumeradorFilas& Numerador);
