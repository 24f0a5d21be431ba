#pragma once
// Placing the students of the course into their groups and divisions (step 6,
// the dialog's "&Colocar"): every student takes the group and the divisions
// of a type-in-group row with students left that covers its subjects (the
// first one, unless that breaks up the option letters of the distribution),
// and uses up one of them.
#include <vector>

#include "organizer/FilasTipos.h"

struct TResultadoColocar {
    int Colocados = 0;
    // The students no row covered, in record order: they keep the group and
    // divisions they had, and the user is told who they are.
    std::vector<TFilaAlumno> NoColocados;
};

// Without tables. Alumnos: every student of the course (annulled ones too) in
// record order; TipGrup: the course's types-in-group in record order, whose
// NALUM go down as students are placed.
//
// A row covers a student when its NALUM is above 0 and every subject of the
// student is among its slots (letter case ignored; OPCION and REPITE are not
// compared). Each student takes the first covering row with students left;
// when none is left, students placed before it move to other rows that
// cover them if that frees one, so that every student gets a place whenever
// the counts allow it. When rows carry option letters, the placed students
// then move among the rows that cover them until as few as possible sit in
// a row whose OPCION is not their own (of students whose moves gain the
// same, the first in record order moves); who is placed does not change, and
// a student that only rows of another letter cover keeps such a row. A
// student's division for slot i is that of the row's first slot
// holding the same code exactly, or, when the row spells it otherwise, of the
// first slot holding it with other letter case: a student is never left with
// the division of an earlier distribution for a subject it was placed in.
TResultadoColocar ColocaAlumnos(std::vector<TFilaAlumno>& Alumnos, std::vector<TFilaEnGrupo>& TipGrup);

// The plain message at the end: "Proceso terminado", followed, when some
// students could not be placed, by how many and who (the first twenty).
AnsiString MensajeColocar(const TResultadoColocar& R);

// --- on the tables of the database (the dialog's constructor and button) ---

// The constructor of the dialog: tipgrup2 becomes a copy of the course's rows
// of tipgrup, in the order of its TNC tag, N included (so that the working
// copy never holds two rows with the same number); its memos stay empty.
void PreparaColocar(const AnsiString& DatabaseName, const AnsiString& TNC);

// What "&Colocar" does: places the course's students from tipgrup2 and
// writes their GRUPO and DIVn into alum, and the counts used up into
// tipgrup2. Answers what it did; it tells the user nothing.
TResultadoColocar ColocaAlumnosDelCurso(const AnsiString& DatabaseName, const AnsiString& TNC);

// What the screen tells the user after ColocaAlumnosDelCurso: MensajeColocar,
// a plain message when every student was placed, a warning captioned
// "Atenci\xF3n" when not.
void AvisaResultadoColocar(const TResultadoColocar& R);

// The dialog's caption.
AnsiString TituloColocar(const AnsiString& Turno, const AnsiString& Nivel, const AnsiString& Curso);
