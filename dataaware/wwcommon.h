#pragma once
// Dates, times and numbers typed as text, read by the regional settings in
// force at each call, without raising: whether a text is a valid date, time,
// date-time, integer or number, its value, and which part of a date or time
// text a caret stands in.
//
// Two-digit years: every routine without a pivot of its own turns them into
// four-digit years by DefaultIntl's DefaultEpochYear (1950 unless a placed
// settings object sets another): 00 to 49 give 2000 to 2049 and 50 to 99
// give 1950 to 1999. The edits read their dates through the same routines, so
// a typed "3/4/49" means the same year in an edit, a grid cell and a filter.
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"

// The pivot of two-digit years: DefaultIntl's DefaultEpochYear, 1950 before
// the library has started.
int DefaultPivotYear();

// A date at the start of the text (text after it is ignored).
bool ParseDateText(std::string_view Text, TDateTime& Date);
bool ParseDateTextPivot(std::string_view Text, TDateTime& Date, int Pivot);
// The whole text (trailing spaces allowed) is one date, one time, or a date
// followed by a time.
bool IsDateText(std::string_view Text);
bool IsTimeText(std::string_view Text);
bool IsDateTimeText(std::string_view Text);
// The date at the start of the text, 0 when there is none.
TDateTime DateTextToValue(std::string_view Text);
// The value of a whole time (date and time) text, 0 otherwise.
TDateTime TimeTextToValue(std::string_view Text);
TDateTime DateTimeTextToValue(std::string_view Text);

// Digits only, with one leading "-" when the text is longer; an empty text passes.
bool IsIntegerText(std::string_view Text);
// Converts as a number (the regional decimal separator, no thousands
// separators); an empty text passes.
bool IsFloatText(std::string_view Text);
// A number shown through a display format read back: only the digits and the
// decimal separator count, and parentheses or a leading minus make it
// negative. An empty text gives true and leaves Value alone.
bool ParseDisplayFloat(std::string_view Text, long double& Value, std::string_view DisplayFormat);

bool EncodeDateValue(int Year, int Month, int Day, TDateTime& Date);
bool EncodeTimeValue(int Hour, int Minute, int Second, int MSec, TDateTime& Time);

// The parts of a date or time text a caret can stand in.
enum TwwDateTimePart { dtpDay, dtpMonth, dtpYear, dtpHour, dtpMinute, dtpSecond, dtpAmPm };
// Caret: the number of characters before it.
TwwDateTimePart DateTimePartAt(int Caret, std::string_view Text, bool TimeOnly);
TwwDateTimePart TimePartAt(int Caret, std::string_view Text);

int CurrentYear();
// The order of a short date format by its first D, M or Y letter.
enum TwwDateOrder { doMDY, doDMY, doYMD };
TwwDateOrder GetDateOrder(std::string_view DateFormat);
