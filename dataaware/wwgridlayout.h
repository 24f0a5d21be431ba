#pragma once
// The column layout of a published grid kept between runs (IniAttributes):
// saved when the grid is destroyed, loaded when it first makes its window.
// The store is a section of an ini file (lines "FIELD=6;;Title;;F;;GROUP")
// or, with SaveToRegistry, a sub-key of HKEY_CURRENT_USER\<FileName> with a
// text value per column; both live where platform/sys puts them. The
// operations are TwwDBGrid's own (SaveColumnLayout, LoadColumnLayout);
// their code is in wwgridlayout.cpp.
//
// The stored value is the width, the title, the read-only flag "T" or "F"
// and the group name when there is one, joined by the Delimiter, nothing
// quoted: a title or group name that holds the delimiter is stored as it is
// and splits when it is loaded (the format other programs read stays as it
// is; saving warns of nothing, since it runs as the grid is destroyed).
//
// How the store is read and written where the format leaves it open:
// - A Selected line with a width but no title is stored with an empty
//   title; a line without a width has no stored form and is not saved.
// - A loaded value must give at least a width (a whole number) and a title:
//   otherwise (a hand-edited or foreign file) the grid keeps its designed
//   layout and says "Invalid column layout stored for <field>" so that the
//   grid never lays out a width it cannot read.
// - While the grid is being destroyed no message is shown.
#include "platform/rtl/AnsiString.h"

class TStrings;

// The stored value of one Selected line (TAB-separated), or empty when it
// has none.
AnsiString StoredLayoutValue(const AnsiString& SelectedLine, const AnsiString& Delimiter);
// The Selected line of a stored entry; false when the value is not one a
// grid can lay out (fewer than three parts, or a width that is no number).
bool SelectedLineOfStored(const AnsiString& Name, const AnsiString& Value, const AnsiString& Delimiter,
                          AnsiString& Line);
