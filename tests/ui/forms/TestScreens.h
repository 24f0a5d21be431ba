#pragma once
// The screens of the form tests, each a form file of this folder and its
// class; the form files are built into the test executable alone.
#include "Alumnos.h"
#include "Confirm.h"
#include "DatosAlumno.h"
#include "GridSample.h"
#include "Sample.h"

// Registers the screens' classes, and the test controls their forms use.
void RegisterTestScreens();
