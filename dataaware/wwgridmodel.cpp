#include "dataaware/wwgridmodel.h"

#include <algorithm>

#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

TwwSelectedLine TwwSelectedLine::Parse(std::string_view Line) {
    TwwSelectedLine Result;
    int Position = 1;
    while (Result.Count < 5) {
        Result.Parts[Result.Count++] = NextToken(Line, "\t", Position);
        if (Position < 0) break;
    }
    return Result;
}

const AnsiString& TwwSelectedLine::Part(int Index) const {
    static const AnsiString Empty;
    return Index >= 0 && Index < Count ? Parts[Index] : Empty;
}

int TwwSelectedLine::WidthInChars() const {
    if (Count <= spWidth) throw EStringListError("List index out of bounds (1)");
    return StrToInt(Parts[spWidth]);
}

AnsiString TwwSelectedLine::Written() const {
    AnsiString Line = Part(spFieldName) + "\t" + Part(spWidth) + "\t" + Part(spTitle) + "\t" +
                      (Has(spReadOnly) ? Parts[spReadOnly] : AnsiString("F"));
    if (!GroupName().empty()) Line += "\t" + GroupName();
    return Line;
}

AnsiString TwwSelectedLine::WithSizedWidth(int Chars) const {
    AnsiString Line = Part(spFieldName) + "\t" + IntToStr(Chars) + "\t" + Part(spTitle);
    if (Has(spReadOnly)) Line += "\t" + Parts[spReadOnly];
    if (Has(spGroupName)) Line += "\t" + Parts[spGroupName];
    return Line;
}

AnsiString GetSelectedPart(TStrings* Lines, std::string_view FieldName, int Part) {
    int Index = -1;
    if (!Lines || Part < 0 || Part > spGroupName || !FindSelectedLine(Lines, FieldName, Index)) return {};
    TwwSelectedLine Line = TwwSelectedLine::Parse(Lines->Strings(Index));
    if (Part == spReadOnly && !Line.Has(spReadOnly)) return "F";
    return Line.Part(Part);
}

void TwwSelectedLines::Build(const TStrings& Lines) {
    FLines.clear();
    FFirst.clear();
    FLines.reserve(static_cast<size_t>(Lines.Count()));
    for (int I = 0; I < Lines.Count(); ++I) {
        FLines.push_back(TwwSelectedLine::Parse(Lines.Strings(I)));
        FFirst.emplace(UpperCase(FLines.back().Part(spFieldName)), I);
    }
}

int TwwSelectedLines::IndexOf(std::string_view FieldName) const {
    auto It = FFirst.find(UpperCase(FieldName));
    return It == FFirst.end() ? -1 : It->second;
}

void SetSelectedPart(TStrings* Lines, std::string_view FieldName, const AnsiString& Value, int Part,
                     int LineIndex) {
    if (!Lines || Part < spWidth || Part > spGroupName) return;
    int Index = LineIndex;
    if (Index == -1 && !FindSelectedLine(Lines, FieldName, Index)) return;
    if (Index < 0 || Index >= Lines->Count()) return;
    TwwSelectedLine Line = TwwSelectedLine::Parse(Lines->Strings(Index));
    Line.Count = std::max(Line.Count, Part + 1);
    Line.Parts[Part] = Value;
    Lines->SetStrings(Index, Line.Written());
}

int ColumnPixels(int Chars, int ZeroWidth) { return Chars * ZeroWidth + 4; }

int CharsOfSizedColumn(int Pixels, int ZeroWidth) {
    if (ZeroWidth <= 0) return 0;
    return (Pixels + std::max(0, ZeroWidth / 2 - 3) - 4) / ZeroWidth;
}

int CharsOfSpreadColumn(int Pixels, int ZeroWidth) { return ZeroWidth <= 0 ? 0 : (Pixels - 4) / ZeroWidth; }

int WidestTitlePiece(std::string_view Title, const std::function<int(std::string_view)>& TextWidth) {
    int Widest = 0;
    int Position = 1;
    while (Position > 0) {
        AnsiString Piece = NextToken(Title, "~", Position);
        if (Piece.empty()) break;
        Widest = std::max(Widest, TextWidth(Piece));
    }
    return Widest;
}

bool RowsCarryLines(bool RowLines, bool RowLinesDisableFixed) { return RowLines || !RowLinesDisableFixed; }

int DataRowHeight(int TextHeight, bool Lines, int RowHeightPercent) {
    return (TextHeight + 2 + (Lines ? 1 : 0)) * RowHeightPercent / 100;
}

int TitleRowHeight(int TitleTextHeight, int DataTextHeight, int TitleLines, bool Lines, bool InsideGrid) {
    int Height = InsideGrid ? TitleLines * (DataTextHeight + 3 + (Lines ? 1 : 0)) - 1
                            : TitleTextHeight * TitleLines + 4;
    return Lines ? Height : Height + 1;
}

namespace {

int At(const std::vector<int>& V, int I) {
    return I >= 0 && I < static_cast<int>(V.size()) ? V[static_cast<size_t>(I)] : 0;
}

}  // namespace

// The last column of a group shares its change with the group's other
// columns in proportion to their bases, so the group keeps its shape while
// the columns right of it take the rest.
void TwwSpread::ShareWithGroup() {
    const int K = SizedCol;
    auto GroupOf = [this](int C) {
        return C >= 0 && C < static_cast<int>(Groups.size()) ? Groups[static_cast<size_t>(C)] : AnsiString();
    };
    const AnsiString Group = GroupOf(K);
    if (Group.empty() || GroupOf(K + 1) == Group) return;
    int First = K;
    while (First - 1 >= FirstDataCol && GroupOf(First - 1) == Group) --First;
    int D = At(Widths, K) - SizedStartWidth;
    int S = SizedStartWidth + LineWidth;
    for (int J = First; J < K; ++J) S += At(Base, J) + LineWidth;
    // Hidden members make negative bases possible; a sum of nothing shares nothing.
    if (S <= 0) return;
    for (int J = First; J < K; ++J) {
        if (At(Widths, J) < 0) continue;
        int Given = std::max(MinWidth(), At(Base, J) * (S + D) / S);
        Widths[static_cast<size_t>(J)] = Given;
        D += At(Base, J) - Given;
        S -= At(Base, J);
        if (S <= 0) break;
    }
    Widths[static_cast<size_t>(K)] = std::max(MinWidth(), SizedStartWidth + D);
}

int TwwSpread::RightEdge(int Col) const {
    int X = 0;
    for (int C = 0; C < Col; ++C)
        if (At(Widths, C) >= 0) X += At(Widths, C) + LineWidth;
    return X + std::max(0, At(Widths, Col));
}

void TwwSpread::Run() {
    Spread.clear();
    const int Cols = static_cast<int>(Widths.size());
    if (static_cast<int>(Base.size()) < Cols - 1) return;
    // A column hidden with -1 stays hidden: its base does not count and it
    // takes no share.
    auto Hidden = [this](int C) { return At(Widths, C) < 0; };
    int Start = FirstDataCol;
    int A = -1;
    if (SizedCol >= FirstDataCol && SizedCol < Cols) {
        ShareWithGroup();
        Start = SizedCol + 1;
    }
    for (int J = Start; J < Cols; ++J)
        if (!Hidden(J)) A += At(Base, J) + LineWidth;
    if (A <= 0) return;
    // What is left right of the last column not spread: the indicator
    // column, or the column being sized.
    int Kept = SizedCol >= FirstDataCol && SizedCol < Cols ? SizedCol : FirstDataCol - 1;
    int Room = (Kept >= 0 ? ClientWidth - 2 - RightEdge(Kept) : ClientWidth - 2) - ScrollAllowance;
    int LastShown = Cols - 1;
    while (LastShown >= Start && Hidden(LastShown)) --LastShown;
    for (int J = Start; J < Cols && A > 0; ++J) {
        if (Hidden(J)) continue;
        int T = (At(Base, J) + 1) * Room / A;
        int C = (T - 4) / ZeroWidth;
        int Given = std::max(MinWidth(), C * ZeroWidth + 4);
        Widths[static_cast<size_t>(J)] = J == LastShown ? std::max(Room, 0) : Given;
        Spread.push_back(J);
        Room -= Given + LineWidth;
        A -= At(Base, J) + LineWidth;
    }
}
