#include "platform/gfx/Cursors.h"

#include <array>

namespace {
struct TCursorName {
    int Cursor;
    const char* Name;
};
constexpr std::array<TCursorName, 22> CursorNames = {{
    {crDefault, "crDefault"},   {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},       {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},     {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
    {crAppStart, "crAppStart"}, {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
}};
}  // namespace

bool IdentToCursor(std::string_view Ident, int& Cursor) {
    for (const auto& c : CursorNames)
        if (Ident == c.Name) {
            Cursor = c.Cursor;
            return true;
        }
    return false;
}

bool CursorToIdent(int Cursor, AnsiString& Ident) {
    for (const auto& c : CursorNames)
        if (c.Cursor == Cursor) {
            Ident = c.Name;
            return true;
        }
    return false;
}
