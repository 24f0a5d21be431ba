#pragma once
// The student listing's logic, apart from its form: the options the user
// gave for the last listing, its title, the subjects text of a student and
// whether a student is listed.
#include "platform/rtl/Strings.h"

class TDataSet;

// The options of the last listing, as typed (nothing trimmed): they are
// asked afresh for every listing and read while its report runs.
extern AnsiString ListadoGrupo;
extern AnsiString ListadoAsig;
extern AnsiString ListadoDiv;
extern bool ListadoMostrarAsig;

// The room of the calculated subjects text.
inline constexpr int AnchoAsignaturasListado = 100;

// "Listado de alumnos de <course>", then the group, the subject and, with a
// subject only, the division that the options name.
AnsiString TituloListado(const AnsiString& TNC);

// The student's subjects ASIG1..ASIG20 joined by ", " (empty slots left
// out) when the subjects are shown, cut to AnchoAsignaturasListado
// characters; empty otherwise.
AnsiString AsignaturasListado(TDataSet& Alumno);

// Whether the student in the current record is listed: of the group asked
// for (any when none), and holding the subject asked for (any when none) in
// a slot whose division is the one asked for (any when none). A division
// without a subject asks for nothing. Texts are compared exactly.
bool AlumnoEnListado(TDataSet& Alumno);
