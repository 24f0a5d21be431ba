#pragma once
// The field-value search: a record whose value in one field equals the text,
// begins with it or holds it, with or without regard to case, from the first
// record or after the current one. It takes the fastest road the data set
// allows: the table's key search when the field leads its current index, the
// data set's Locate when asked, a scan of the engine cursor for plain fields
// of the engine's data sets (the data set neither scrolls nor tells its
// controls until the hit), and the data set's own walk otherwise. Memo
// fields are searched as text, rich text as its plain text.
#include <string>

#include "platform/rtl/AnsiString.h"

class TDataSet;
class TField;
class TCustomRichEdit;

// Case-insensitive searches compare by the locale fold (accented letters too).
// The data set stands on the found record; after a miss it stands where it
// stood (a failed key search of a table whose index leads with the field
// leaves it where the key search did). MatchType: mtExactMatch,
// mtPartialMatchStart, mtPartialMatchAny (wwhelpers.h).
bool FindFieldValue(bool FromFirst, TDataSet* DataSet, const AnsiString& FieldName,
                    const AnsiString& SearchText, int MatchType, bool CaseSensitive, bool UseLocate);

// Value against a search text already upper-cased unless case-sensitive.
bool TextMatches(const AnsiString& Value, const AnsiString& SearchText, int MatchType, bool CaseSensitive);
// A memo's text (with a rich edit: its rich text's plain text) compared the same way.
bool MemoMatches(TField* Field, const AnsiString& SearchText, TCustomRichEdit* RichEdit, bool CaseSensitive,
                 int MatchType);
