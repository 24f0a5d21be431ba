#pragma once
// The date-time editor (TwwDBCustomDateTimePicker, published as
// TwwDBDateTimePicker): a one-line edit for a date, a time or both, bound to
// a field or holding its own value, shown through a display format and
// edited one part of that format at a time (day, month, year, hour, minute,
// second, AM/PM), with a month calendar that drops down from its button.
//
// A part is one editable token of the display format. Which tokens are parts
// depends on the kind of value: date tokens (d, m, y) count for a date or a
// date-time, time tokens (h, n, s, AM/PM) for a time or a date-time. The
// routines below walk a format the way FormatDateTime shows it, so that part
// N's place in the shown text is known without parsing the text back.
//
// Format walking decisions:
// - a format is scanned to its very end: a one-letter token at the last
//   place ("d/m/y") is a part like any other;
// - quoted text ('de' or "de") is a literal shown without its quotes, as
//   FormatDateTime shows it, and its letters are no tokens;
// - a run of one or two y reads as "yy" (two digits), a longer run as "yyyy".
#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"

// --- format tokens and parts ---

// Which tokens of a format are parts for an editor.
struct TwwDTPartKinds {
    bool Date = true;
    bool Time = true;
};

// One part of a format over a value.
struct TwwDTPart {
    int Start = 0;     // characters of the shown text before the part
    int Length = 0;    // characters of the part's own text
    AnsiString Token;  // "dd", "mmmm", "yyyy", "nn", "ampm", "am/pm", "a/p" ...
    AnsiString Text;   // the shown text up to and including the part
};

// Scans Text from the left and puts Replacement where Pattern stands
// (case-sensitive), without looking again at what it put.
AnsiString ReplaceAllText(const AnsiString& Text, const AnsiString& Pattern, const AnsiString& Replacement);
// The shorthand tokens replaced by the regional formats: "c" by the short
// date, a blank and the long time; "dddddd" the long date; "ddddd" the short
// date; "tt" the long time; "t" the short time.
AnsiString ExpandDateTimeFormat(const AnsiString& Format);
// The token that starts at Position (1-based), with Position left on its
// last character; written in Letter (lower case), repeated. An m token one
// separator after an h reads as minutes ("n", "nn"). For 'a': "a/p",
// "am/pm" or "ampm" as written, or empty with Position unchanged.
AnsiString ReadFormatToken(char Letter, const AnsiString& Format, int& Position);
bool FormatHasAmPm(const AnsiString& Format);
// True for an empty format, or one with h, n, s, t or c in it.
bool FormatHasTimePart(const AnsiString& Format);
// True for an empty format, or one with a day, year or month token after
// expansion.
bool FormatHasDatePart(const AnsiString& Format);
// Whether a token is a date part (d, m, y) or a time part (h, n, s, AM/PM).
bool IsDateToken(const AnsiString& Token);
bool IsTimeToken(const AnsiString& Token);
// The parts of an expanded format for the kinds.
int CountFormatParts(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds);
// Walks the expanded format over Value up to part N; false (Text empty)
// when the format has fewer parts.
bool LocateFormatPart(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds, int N, TDateTime Value,
                      TwwDTPart& Part);

// --- small calendar routines ---

// 28 to 31 (29 for February of a leap year).
int DaysInMonth(int Month, int Year);
// The whole day of A is at least that of B.
bool DayNotBefore(TDateTime A, TDateTime B);
// Count months on, the day cut to the new month, the time kept; false and
// Value unchanged when the year would leave 1..9999.
bool AddMonths(int Count, TDateTime Value, TDateTime& Result);
// A two-digit year in the hundred years that start at Epoch.
int ExpandTwoDigitYear(int YY, int Epoch);
// The characters that may start editing a date or time.
bool IsDateTimeEditChar(unsigned char Char);
