#pragma once
// The grid's column model as plain arithmetic, apart from any window: the
// Selected line format that carries a grid's whole column layout (and that
// the lookup combo, the lookup dialogs and the record view read too), the
// conversions between characters and pixels, the title pieces, the row
// heights and the proportional spread of the client width over the columns.
//
// A Selected line is made of up to five parts separated by TAB: field name;
// width in characters; title ("~" starts a new title line); read-only flag
// ("T" makes the column read-only, anything else or nothing reads "F");
// group name (neighbouring columns with exactly the same group name, case
// and trailing blanks included, share one group header). A part beyond the
// fifth is never read.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

using AnsiString = std::string;

class TStrings;

enum TwwSelectedPart : int { spFieldName = 0, spWidth = 1, spTitle = 2, spReadOnly = 3, spGroupName = 4 };

// One Selected line taken apart.
struct TwwSelectedLine {
    AnsiString Parts[5];
    int Count = 0;  // the parts the line has (1 for a bare field name)

    static TwwSelectedLine Parse(std::string_view Line);
    // Empty for a part the line lacks.
    const AnsiString& Part(int Index) const;
    bool Has(int Index) const { return Index < Count; }
    // Part 1 as an integer. A line without it raises EStringListError and a
    // width that is no integer EConvertError, as a layout that reads it
    // stops with those.
    int WidthInChars() const;
    bool ReadOnly() const { return Count > spReadOnly && Parts[spReadOnly] == "T"; }
    const AnsiString& GroupName() const { return Part(spGroupName); }
    // The line as a writer of one part leaves it: field, width, title and
    // read-only flag ("F" when missing), and the group name only when it is
    // not empty.
    AnsiString Written() const;
    // The line after the user sized its column: field, width, title, and the
    // read-only flag and the group name only when the line had them.
    AnsiString WithSizedWidth(int Chars) const;
};

// A Selected list taken apart once, for readers that ask for a column's
// parts at every cell they paint: the lines in order and the first line of
// each field name, found as GetSelectedPart finds it.
class TwwSelectedLines {
public:
    void Build(const TStrings& Lines);
    int Count() const { return static_cast<int>(FLines.size()); }
    const TwwSelectedLine& Line(int Index) const { return FLines[static_cast<size_t>(Index)]; }
    // The first line of the field; -1 for none.
    int IndexOf(std::string_view FieldName) const;

private:
    std::vector<TwwSelectedLine> FLines;
    std::unordered_map<AnsiString, int> FFirst;  // by upper-case field name
};

// Part 0..4 of the first line whose field name equals FieldName without
// regard to case; empty when no line matches, "F" for a missing read-only flag.
AnsiString GetSelectedPart(TStrings* Lines, std::string_view FieldName, int Part);
// Replaces part 1..4 of the line at LineIndex (-1: the line of FieldName) and
// rewrites it (TwwSelectedLine::Written). Nothing when no line is found or
// Part is 0.
void SetSelectedPart(TStrings* Lines, std::string_view FieldName, const AnsiString& Value, int Part,
                     int LineIndex);

// Pixels of a column n characters wide: n widths of "0" and 4 pixels of margin.
int ColumnPixels(int Chars, int ZeroWidth);
// Characters written back after the user sized a column: the half character
// beyond the last whole one counts (less 3 pixels).
int CharsOfSizedColumn(int Pixels, int ZeroWidth);
// Characters written back after a proportional spread: whole characters only.
int CharsOfSpreadColumn(int Pixels, int ZeroWidth);

// The widest piece of a title cut at each "~", measured up to the first
// empty piece; 0 when the first piece is empty.
int WidestTitlePiece(std::string_view Title, const std::function<int(std::string_view)>& TextWidth);

// Whether rows carry a horizontal line: with dgRowLines, or without
// dgRowLinesDisableFixed (the fixed cells' lines then count). The row heights,
// the expand button's row pitch and the line painting share this one rule.
bool RowsCarryLines(bool RowLines, bool RowLinesDisableFixed);
// The data row's height from the height of "W" in the grid's font.
int DataRowHeight(int TextHeight, bool Lines, int RowHeightPercent);
// The title row's height: a grid inside a grid keeps the data font's pitch
// per title line; otherwise the title font's "W" per line and 4 pixels.
int TitleRowHeight(int TitleTextHeight, int DataTextHeight, int TitleLines, bool Lines, bool InsideGrid);

// The proportional spread of the client width over the data columns. Widths
// are indexed by grid column (the indicator column, when there is one, is
// column 0 and never spread); a width of -1 is a hidden column.
struct TwwSpread {
    std::vector<int> Base;           // the remembered proportions, one per grid column
    std::vector<int> Widths;         // the columns' current widths; the answer changes them
    std::vector<AnsiString> Groups;  // each grid column's group name
    int FirstDataCol = 0;            // the indicator offset
    int LineWidth = 0;               // 1 with dgColLines
    int ZeroWidth = 1;               // the width of "0"
    int ClientWidth = 0;
    int ScrollAllowance = 0;  // kept free for a vertical bar not yet shown
    int SizedCol = -1;        // the column the user is sizing, -1 for none
    int SizedStartWidth = 0;  // its width when the sizing began
    // The columns the spread gave a width, whose Selected width follows.
    std::vector<int> Spread;

    // The smallest column: two characters and the margin.
    int MinWidth() const { return 2 * ZeroWidth + 4; }
    void Run();

private:
    void ShareWithGroup();
    // The right edge of a column, the columns before it laid side by side.
    int RightEdge(int Col) const;
};
