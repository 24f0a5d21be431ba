#pragma once
// Conversion of a folder kept in the older M2 layout, and the recomputation
// of the group and division figures from the number of students.
#include <array>
#include <string>

#include "platform/rtl/AnsiString.h"

// Students per group and per division the school plans for.
inline constexpr int AlumnosPorGrupo = 30;

// n div 30 + 1: a full group of 30 already opens a second one (the school
// keeps a place free for the students who join during the year).
int GruposParaAlumnos(int Alumnos);
// NMAXAL1..NMAXAL30 for G groups: 30 for the first G, 0 for the others.
std::array<int, 30> MaximosPorGrupo(int Grupos);

// Rewrites NGRUP, MAXALUM and NMAXAL1..30 of every course, and NDIV, MAXALUM,
// NPROF and NMAXAL1..30 of every subject of a course, from the students of
// each course (annulled ones included) and the slots that hold each subject.
void CalculaDivisiones(const AnsiString& DatabaseName);

// Converts cursos, asigcur and alum of a folder in the M2 layout to the
// current layout, each through a temporary table "<name>b"; a table whose
// data file is missing is left as it is. All three are copied before any
// takes its new place: a table that cannot be read leaves the folder as it
// was. The old files are kept, as "<name>m2", until the new table is in
// place under the old name.
void TransformaM2(const AnsiString& DatabaseName);
