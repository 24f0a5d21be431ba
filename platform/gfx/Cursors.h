#pragma once
// Cursor identifiers. The window layer keeps the screen's cursor list and
// shows them; here they are only numbers and their names in forms.
#include <cstdint>
#include <string_view>

#include "platform/rtl/Strings.h"

using TCursor = int16_t;

constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;

// "crHourGlass" <-> -11 and so on (exact names, as forms store them).
bool IdentToCursor(std::string_view Ident, int& Cursor);
bool CursorToIdent(int Cursor, AnsiString& Ident);
