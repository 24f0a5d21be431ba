#pragma once
// The organizer on the tables of the open data folder: what the types
// screen's "&Org. Automática" does around the engine of Organizar.h.
//
// It reads the course through the types engine that holds the screen's
// working copies (tipos2 with the SELEC marks of the run, tipgrup2, the
// subject lists), lets the dialog run, writes the result into the stored
// tipos and tipgrup, and has the types engine fill its working copies again.
#include <functional>
#include <vector>

#include "organizer/Organizar.h"

class TMotorTipos;

// The rows the organizer needs for the types engine's course: nomasg in the
// order of its ABREV tag; the course's rows of cursos and asigcur in the
// order of their TNC tags; every row of tipos2 and tipgrup2 (the course's
// working copies) in the order of their TNC tags; the lists
// AsigCuentaOptativas and AsigOptativas as the engine's last classification
// left them. With a selection, its marks are set on tipos2 first as
// TMotorTipos::MarcaSeleccion sets them, on the rows read for the load.
TDatosOrganizar LeeDatosOrganizar(TMotorTipos& Motor, const std::vector<int>* Seleccion = nullptr);

// Replaces the course's rows of tipos and tipgrup with the result. Every
// new row takes its N from the types engine's allocator, so no number stands
// twice in the four tables; rows of other courses are not touched. Both
// tables are opened and every number is drawn before the first row is
// written. The new rows are written over the records of the course's old
// rows, in their order along the TNC tag; only the rows left over are
// appended or deleted.
void GrabaEnTablas(TMotorTipos& Motor, const TResultadoOrganizar& Resultado);

// "&Org. Automática": the subtypes numbered in Seleccion become the marked
// ones (the selected lines of the types view), the course is loaded with the
// screen's Opciones and checked, Dialogo shows the dialog modally (Vista is
// that dialog), and when a run took place its result replaces the course's
// stored rows. Then AntesDeRecalcular is called (the screen shows its wait
// window there) and the types engine recomputes: from the stored tables after
// a write-back, from its working copies as they were otherwise. Answers what
// the run left, Escrito when the result was written. The marks and the load
// are one batch on the tables they read, held for reading (TTableHold) and
// let go before the dialog. The write-back and the recomputation are one
// batch on the tables they touch (TTableHold): each is taken in once and
// written in one write session, another program that writes one of them
// refuses the batch (dbeInUse) before anything is written, and other programs
// see the batch only whole. A database error while writing is raised after
// the working copies were kept as they were: they still hold the course as it
// stood before the run, and the screen's closing merge writes it back.
TResumenOrganizar EjecutaOrganizar(TMotorTipos& Motor, const std::vector<int>& Seleccion,
                                   const TOpcionesOrganizar& Opciones, const TDialogoOrganizar& Dialogo,
                                   IVistaOrganizar* Vista = nullptr,
                                   const std::function<void()>& AntesDeRecalcular = {});
