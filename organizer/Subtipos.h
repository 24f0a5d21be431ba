#pragma once
// The subtype computation of "&Calcular Tipos", without tables.
#include <vector>

#include "organizer/FilasTipos.h"

// The first subtype of the list (0-based index) with the student's
// REPITE and OPCION (compared exactly) whose subjects include all of the
// student's; -1 when none. A student without subjects fits the first subtype
// with its REPITE and OPCION.
int SubtipoDeAlumno(const std::vector<TFilaSubtipo>& Subtipos, const TFilaAlumno& Alumno);

// Counts every student whose ANULAR is false, in their order, into the first
// fitting subtype (Subtipos in record order), or appends a new subtype with
// NALUM 1 and the student's subjects packed from slot 1. The result depends
// on the order of the students: {A, B} read before {A} makes one subtype of 2,
// read after it two subtypes of 1.
//
// New subtypes take their N from Numerador, from 10000 up, so that they stand
// apart from the renumbered stored rows as they always did; a number already
// in use (a subtype kept from an earlier run) is never handed out again.
void CuentaSubtipos(std::vector<TFilaSubtipo>& Subtipos, const std::vector<TFilaAlumno>& Alumnos,
                    TNumeradorFilas& Numerador);

constexpr int PrimerNSubtipoCalculado = 10000;
