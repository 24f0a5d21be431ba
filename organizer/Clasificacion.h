#pragma once
// The classification of the types screen, without tables: the CONTADOR
// counts of the course's subjects, the nine subject lists and the texts of
// every subtype and type-in-group row. TMotorTipos::ClasificaTipos reads the
// tables, calls these and writes the results back.
//
// How a text longer than its room is cut (the room: 249 characters for a
// subtype text in its 254-wide field, 499 for a part of a memo that places
// cells in columns, 999 for a part that lists cells one after another):
// a piece (a subject, a cell) goes in whole or not at all. In a list the
// pieces stop at the first one that does not fit, so the text never skips a
// subject and then shows a later one; in columns a piece whose column ends
// beyond the room is left out. Nothing is written beyond the room, no code is
// cut in half. Two subtypes whose counted subjects differ only beyond the
// room of ASIGSCU (some 47 counted subjects) share a type key: no school
// counts that many optional subjects in one course.
#include <array>
#include <vector>

#include "organizer/FilasTipos.h"

// The three check boxes of the screen; all unchecked when it opens.
struct TOpcionesTipos {
    bool MostrarComunes = false;  // "Mostrar comunes"
    bool Opcion = false;          // "Tener en cuenta OPCION al agrupar por tipos"
    bool Repite = false;          // "Tener en cuenta REPITE al agrupar por tipos"
    bool operator==(const TOpcionesTipos&) const = default;
};

// The nine lists the classification fills. The organizer reads
// AsigCuentaOptativas and AsigOptativas; the texts, totals and moves the rest.
struct TListasTipos {
    TListaAsig AsigCuentaOptativas;
    TListaAsig AsigCuenta;
    TListaAsig AsigAlumnos;
    TListaAsig AsigComunes;
    TListaAsig AsigOptativas;
    TListaAsig AsigTodosAlumnos;
    TListaAsig AsigComunesTodos;
    TListaAsig AsigOptativasTodos;
    TListaAsig Conexiones;  // kept sorted
    bool operator==(const TListasTipos&) const = default;
};

constexpr int HuecoTextoSubtipo = 249;
constexpr int HuecoMemoColumnas = 499;
constexpr int HuecoMemoLista = 999;

// CONTADOR of each subject row (AsigCur: the course's rows in record order):
// the number of slots over the subtypes that hold its code. A slot finds the
// first row whose code is exactly its own, as the key search on the
// case-sensitive ASIG tag does; a code without a row counts nowhere. Every
// row gets its count, 0 included: a row whose CONTADOR was blank is no
// longer blank once written back.
void CuentaContadores(std::vector<TFilaAsignatura>& AsigCur, const std::vector<TFilaSubtipo>& Subtipos);

// The nine lists. Alumnos: the course's students, annulled ones included, in
// record order (their ASIG and ANULAR are all that is looked at); AsigCur: the course's subject rows in
// record order with their CONTADOR already counted; TipGrup: every tipgrup2 row.
TListasTipos CalculaListas(const std::vector<TFilaAlumno>& Alumnos, const std::vector<TFilaSubtipo>& Subtipos,
                           const std::vector<TFilaEnGrupo>& TipGrup,
                           const std::vector<TFilaAsignatura>& AsigCur);

struct TTextosSubtipo {
    AnsiString ASIGS, ASIGSCOL, ASIGSCU, ASIGSCUCOL;
    bool operator==(const TTextosSubtipo&) const = default;
};
TTextosSubtipo TextosSubtipo(const TFilaSubtipo& Subtipo, const TListasTipos& Listas,
                             const TOpcionesTipos& Opciones);

// ASIGSDCM, ASIGSDCM1, ASIGSDCM2 and ASIGSDCM3 of a type-in-group row.
std::array<AnsiString, 4> MemosTipGrup(const TFilaEnGrupo& Fila, const TListasTipos& Listas,
                                       const TOpcionesTipos& Opciones);
