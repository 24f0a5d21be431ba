#pragma once
// The totals of the types screen and the connections between divisions,
// without tables: the grid of students per subject over the subtypes, the
// grid of students and hours per division of one group, and the conex rows
// built from the types-in-group.
//
// A grid is plain lines of cells, line 0 the titles and line 1 the total,
// then one line per subject or division, as many as there are: the screen
// sizes its grid to the lines it gets, so no subject is ever dropped and
// nothing is written past the grid's end.
#include <optional>
#include <vector>

#include "organizer/Clasificacion.h"
#include "organizer/FilasTipos.h"

using TRejilla = std::vector<std::vector<AnsiString>>;

// Students per shown subject over all subtypes (SGTipos). No value when
// there is no subtype: the grid then keeps what it shows.
std::optional<TRejilla> TotalesTipos(const std::vector<TFilaSubtipo>& Subtipos, const TListasTipos& Listas,
                                     const TOpcionesTipos& Opciones);

// The weekly hours of a subject of the course (AsigCur in record order): the
// first row whose code is exactly Codigo, rounded. A subject the course does
// not list counts 0 hours: nothing is known to be taught.
int HorasAsignatura(const std::vector<TFilaAsignatura>& AsigCur, std::string_view Codigo);

struct TTotalesGrupo {
    TRejilla Lineas;        // only the titles when no group is known
    bool HayGrupo = false;  // a group was found: "T&rasladar" may move it back
    int Alumnos = 0;
    int Horas = 0;  // divisions of one connection counted once
};

// Students and hours per division of one group (SGTipGrup). Grupo: the
// GRUPO of the focused line of the type-in-group view, none when nothing is
// focused. The connections are taken from the rows as they are now (the
// rows CreaConexiones makes of them), not from what conex held before.
TTotalesGrupo TotalesGrupo(const std::vector<TFilaEnGrupo>& TipGrup, const std::optional<AnsiString>& Grupo,
                           const AnsiString& TNC, const std::vector<TFilaAsignatura>& AsigCur,
                           const TListasTipos& Listas, const TOpcionesTipos& Opciones);

// The conex rows of the types-in-group (in record order), one per slot with a
// division or a connection code; every slot's CON loses its surrounding
// blanks in TipGrup as in conex.
std::vector<TFilaConex> CreaConexiones(std::vector<TFilaEnGrupo>& TipGrup);
