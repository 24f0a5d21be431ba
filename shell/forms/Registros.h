#pragma once
// What every record screen shares: the application state it works on (the
// main window's), its place under the main window's strip, and the grid
// menu's table, which each grid names when it takes the focus.
//
// A record screen opens its tables in its OnCreate (FormCreate), once its
// form is read, and renumbers there; its FormClose closes them, so that a
// pending edit is posted by the data set before the step machine frees it.
// Its form names its first grid as ActiveControl: the grid takes the focus
// when the screen shows, and the grid menu then works on a table of the
// screen on screen. The grid menu is the main window's PopupMenu1, which
// each screen gives its grids as it is made.
//
// The forms declare their tables' fields in the order the line clipboard
// copies by (not the files' order); numbers are declared as TFloatField,
// the kind the data-set layer gives a level-4 numeric column, so that the
// clipboard's shape check compares like with like.
#include <initializer_list>

#include "platform/ui/Forms.h"

class TAppState;

// The main window's application state; EInvalidOperation without it.
TAppState& EstadoPrograma();
// Whether the main window is there: a screen made without it (the check of
// the program's form files) opens no table.
bool HayVentanaPrincipal();

// The main window's grid menu for the screen's grids.
void PonMenuRejillas(std::initializer_list<TControl*> Rejillas);

// Top 60 and left 0, under the main window's strip. The height is the
// screen's less 85 pixels unless the screen keeps its own; the width is the
// screen's when AnchoPantalla, the form's own otherwise.
void ColocaPantallaRegistros(TCustomForm& Pantalla, bool AltoPropio = false, bool AnchoPantalla = false);
