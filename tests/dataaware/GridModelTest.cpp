// The grid's column model without a window: Selected lines, the
// character-pixel conversions, title pieces, row heights and the
// proportional spread of the client width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataaware/wwgridmodel.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "rtl/LinesOf.h"

namespace {

std::vector<std::string> PartsOf(const std::string& Line) {
    TwwSelectedLine L = TwwSelectedLine::Parse(Line);
    std::vector<std::string> Out;
    for (int I = 0; I < L.Count; ++I) Out.push_back(L.Parts[I]);
    return Out;
}

}  // namespace

TEST(GridModel, SelectedLinesComeApartAtTabs) {
    struct Case {
        const char* Line;
        std::vector<std::string> Parts;
        bool ReadOnly;
        const char* Group;
    } Cases[] = {
        {"NALUM\t5\tAlum.\tF", {"NALUM", "5", "Alum.", "F"}, false, ""},
        {"ASIG1\t6\t1\tF\tASIGNATURAS", {"ASIG1", "6", "1", "F", "ASIGNATURAS"}, false, "ASIGNATURAS"},
        // Three parts: no read-only flag, which reads "F".
        {"NDIV\t8\tNum. de~divisiones", {"NDIV", "8", "Num. de~divisiones"}, false, ""},
        // Only "T" makes a column read-only.
        {"N\t3\tN\xBA\tT", {"N", "3", "N\xBA", "T"}, true, ""},
        {"N\t3\tN\xBA\tt", {"N", "3", "N\xBA", "t"}, false, ""},
        // The group name keeps its blanks; a sixth part is never read.
        {"A\t2\tx\tF\tGRUPO  \textra", {"A", "2", "x", "F", "GRUPO  "}, false, "GRUPO  "},
        // A TAB at the end gives an empty last part.
        {"A\t2\t", {"A", "2", ""}, false, ""},
        {"SOLO", {"SOLO"}, false, ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Line);
        EXPECT_EQ(PartsOf(C.Line), C.Parts);
        TwwSelectedLine L = TwwSelectedLine::Parse(C.Line);
        EXPECT_EQ(L.ReadOnly(), C.ReadOnly);
        EXPECT_EQ(L.GroupName(), C.Group);
    }
}

TEST(GridModel, AWidthThatIsMissingOrNoNumberStopsTheReader) {
    EXPECT_EQ(TwwSelectedLine::Parse("A\t12\tx").WidthInChars(), 12);
    EXPECT_THROW(TwwSelectedLine::Parse("A").WidthInChars(), EStringListError);
    EXPECT_THROW(TwwSelectedLine::Parse("A\tancho").WidthInChars(), EConvertError);
    EXPECT_THROW(TwwSelectedLine::Parse("A\t\tx").WidthInChars(), EConvertError);
}

TEST(GridModel, WritingAPartRewritesTheLineWithFourOrFiveParts) {
    TStringList Sel;
    Sel.Add("NDIV\t8\tNum. de~divisiones");
    Sel.Add("ASIG1\t6\t1\tT\tASIGNATURAS");
    Sel.Add("NALUM\t5\tAlum.\tF\t");
    // A three-part line gets its "F"; a missing group stays missing.
    SetSelectedPart(&Sel, "ndiv", "9", spWidth, -1);
    // Clearing the group name drops the part.
    SetSelectedPart(&Sel, "ASIG1", "", spGroupName, -1);
    // By index, whatever the field name says.
    SetSelectedPart(&Sel, "nada", "Alumno", spTitle, 2);
    // No line of that name, or part 0: nothing changes.
    SetSelectedPart(&Sel, "OTRO", "1", spWidth, -1);
    SetSelectedPart(&Sel, "NALUM", "X", spFieldName, -1);
    EXPECT_EQ(Lines(Sel), (V{"NDIV\t9\tNum. de~divisiones\tF", "ASIG1\t6\t1\tT", "NALUM\t5\tAlumno\tF"}));

    EXPECT_EQ(GetSelectedPart(&Sel, "asig1", spReadOnly), "T");
    EXPECT_EQ(GetSelectedPart(&Sel, "asig1", spGroupName), "");
    EXPECT_EQ(GetSelectedPart(&Sel, "NDIV", spTitle), "Num. de~divisiones");
    EXPECT_EQ(GetSelectedPart(&Sel, "OTRO", spWidth), "");
    TStringList Short;
    Short.Add("A\t4\tTitulo");
    EXPECT_EQ(GetSelectedPart(&Short, "A", spReadOnly), "F");
}

TEST(GridModel, ASizedColumnKeepsThePartsItHad) {
    struct Case {
        const char* Line;
        const char* Written;
    } Cases[] = {
        {"A\t5\tTit", "A\t7\tTit"},
        {"A\t5\tTit\tT", "A\t7\tTit\tT"},
        {"A\t5\tTit\tF\tG ", "A\t7\tTit\tF\tG "},
        {"A\t5", "A\t7\t"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(TwwSelectedLine::Parse(C.Line).WithSizedWidth(7), C.Written) << C.Line;
}

TEST(GridModel, CharactersAndPixels) {
    struct Case {
        int Pixels, ZeroWidth, Sized, Spread;
    } Cases[] = {
        // w = 7: half a character is 3 pixels, less 3 counts nothing.
        {7 * 5 + 4, 7, 5, 5},
        {7 * 5 + 4 + 6, 7, 5, 5},
        // w = 10: 2 more pixels round up past the half.
        {10 * 5 + 4 + 8, 10, 6, 5},
        {10 * 5 + 4 + 7, 10, 5, 5},
        {3, 7, 0, 0},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(CharsOfSizedColumn(C.Pixels, C.ZeroWidth), C.Sized) << C.Pixels << "/" << C.ZeroWidth;
        EXPECT_EQ(CharsOfSpreadColumn(C.Pixels, C.ZeroWidth), C.Spread) << C.Pixels << "/" << C.ZeroWidth;
    }
    EXPECT_EQ(ColumnPixels(3, 7), 25);
}

TEST(GridModel, TitlePiecesAreMeasuredUpToTheFirstEmptyOne) {
    auto Width = [](std::string_view S) { return static_cast<int>(S.size()) * 10; };
    EXPECT_EQ(WidestTitlePiece("Num. de~divisiones", Width), 100);
    EXPECT_EQ(WidestTitlePiece("Max. alum.~por div.", Width), 100);
    // Two "~" in a row: the empty piece ends the measuring.
    EXPECT_EQ(WidestTitlePiece("Ab~~Muy largo", Width), 20);
    EXPECT_EQ(WidestTitlePiece("", Width), 0);
    EXPECT_EQ(WidestTitlePiece("~Largo", Width), 0);
}

TEST(GridModel, RowHeightsFollowTheFontTheLinesAndThePercentage) {
    // "W" 16 pixels high.
    EXPECT_EQ(DataRowHeight(16, true, 100), 19);
    EXPECT_EQ(DataRowHeight(16, false, 100), 18);
    EXPECT_EQ(DataRowHeight(16, true, 150), 28);  // 19 * 150 div 100
    EXPECT_EQ(TitleRowHeight(16, 13, 2, true, false), 36);
    EXPECT_EQ(TitleRowHeight(16, 13, 2, false, false), 37);
    // A detail grid inside a grid keeps the data font's pitch.
    EXPECT_EQ(TitleRowHeight(16, 13, 2, true, true), 33);
    EXPECT_EQ(RowsCarryLines(false, false), true);
    EXPECT_EQ(RowsCarryLines(false, true), false);
    EXPECT_EQ(RowsCarryLines(true, true), true);
}

TEST(GridModel, TheClientWidthIsSpreadInProportionAndTheLastColumnTakesTheRest) {
    TwwSpread S;
    S.Base = {40, 80, 40, 0};
    S.Widths = {40, 80, 40};
    S.Groups = {"", "", ""};
    S.LineWidth = 1;
    S.ZeroWidth = 7;
    S.ClientWidth = 402;
    S.Run();
    // a = -1 + 41 + 81 + 41 = 162, A = 400: (41 * 400 div 162 - 4) div 7 = 13
    // characters (95); then (81 * 304 div 121 - 4) div 7 = 28 (200); the last
    // column takes the 103 pixels left.
    EXPECT_EQ(S.Widths, (std::vector<int>{95, 200, 103}));
    EXPECT_EQ(S.Spread, (std::vector<int>{0, 1, 2}));

    // Too narrow a client: never below two characters, the last one never below 0.
    S.Widths = {40, 80, 40};
    S.ClientWidth = 30;
    S.Run();
    EXPECT_EQ(S.Widths, (std::vector<int>{18, 18, 0}));
}

TEST(GridModel, AnIndicatorAndAVerticalBarTakeTheirRoomFirst) {
    TwwSpread S;
    S.Base = {0, 10, 10};
    S.Widths = {11, 10, 10};
    S.Groups = {"", "", ""};
    S.FirstDataCol = 1;
    S.ZeroWidth = 8;
    S.ClientWidth = 150;
    S.ScrollAllowance = 17;
    S.Run();
    // A = 150 - 2 - 11 - 17 = 120, a = -1 + 20 = 19: (11 * 120 div 19 - 4) div 8 = 8 (68), then 52.
    EXPECT_EQ(S.Widths, (std::vector<int>{11, 68, 52}));
}

TEST(GridModel, SizingTheLastColumnOfAGroupResizesTheGroupInProportion) {
    TwwSpread S;
    S.Base = {0, 50, 30, 60, 40};
    S.Widths = {11, 50, 30, 90, 40};
    S.Groups = {"", "", "G", "G", ""};
    S.FirstDataCol = 1;
    S.LineWidth = 1;
    S.ZeroWidth = 7;
    S.ClientWidth = 400;
    S.SizedCol = 3;
    S.SizedStartWidth = 60;
    S.Run();
    // d = 30, s = 61 + 31 = 92: column 2 gets 30 * 122 div 92 = 39; d becomes
    // 21 and column 3 gets 60 + 21. The rest right of it: 400 - 2 - (11 + 1 +
    // 50 + 1 + 39 + 1 + 81) = 214 for the last column.
    EXPECT_EQ(S.Widths, (std::vector<int>{11, 50, 39, 81, 214}));
    EXPECT_EQ(S.Spread, (std::vector<int>{4}));
}

TEST(GridModel, HiddenColumnsStayHiddenAndAGroupOfNothingSharesNothing) {
    TwwSpread S;
    S.Base = {40, -1, 40, 0};
    S.Widths = {40, -1, 40};
    S.Groups = {"", "", ""};
    S.LineWidth = 1;
    S.ZeroWidth = 7;
    S.ClientWidth = 202;
    S.Run();
    // a = -1 + 41 + 41 = 81, A = 200: (41 * 200 div 81 - 4) div 7 = 13 (95), the last takes 104.
    EXPECT_EQ(S.Widths, (std::vector<int>{95, -1, 104}));

    // The sized column's group members are all hidden and its own start width
    // is -1: the sum is 0 and nothing is divided by it.
    TwwSpread G;
    G.Base = {-1, -1, 20};
    G.Widths = {-1, 30, 20};
    G.Groups = {"G", "G", ""};
    G.ZeroWidth = 7;
    G.ClientWidth = 100;
    G.SizedCol = 1;
    G.SizedStartWidth = -1;
    EXPECT_NO_THROW(G.Run());
    EXPECT_EQ(G.Widths[0], -1);
    EXPECT_EQ(G.Widths[1], 30);
}
