#include "platform/gfx/Cursors.h"

#include "platform/classes/Properties.h"

const TTypeInfo& CursorTypeInfo() {
    static const TTypeInfo info = MakeIntegerTypeInfo(
        "TCursor", INT16_MIN, INT16_MAX,
        {{crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
         {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
         {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
         {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
         {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
         {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
         {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
         {crSizeAll, "crSizeAll"}});
    return info;
}

bool IdentToCursor(std::string_view Ident, int& Cursor) {
    int64_t value;
    if (!IdentToInt(CursorTypeInfo(), Ident, value)) return false;
    Cursor = static_cast<int>(value);
    return true;
}

bool CursorToIdent(int Cursor, AnsiString& Ident) { return IntToIdent(CursorTypeInfo(), Cursor, Ident); }
