// The grid base: where cells lie, how keys and the mouse move the current
// cell and the selection, sizing and moving by mouse, scrolling, the lines
// and cells it paints, the string grid's cells and the in-place editor.
//
// Every grid here stands at the top-left of a frameless form at (100, 100),
// without border or scroll bars unless a test says otherwise, so grid client
// coordinates are form picture coordinates and screen = client + (100, 100).
// With the defaults (64 x 24 cells, lines 1 pixel) column c >= 1 starts at
// x = 65c and row r >= 1 at y = 25r.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/ui/Grids.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"

namespace {

struct TKey {
    WORD Key;
    TShiftState Shift{};
};

class GridTest : public FormTest {
protected:
    template <class G = TStringGrid>
    G* NewGrid(int Width = 300, int Height = 130) {
        Form = NewPlainForm("GridForm", 400, 300);
        G* Grid = Make<G>(Form, Form, "Grid", Bounds(0, 0, Width, Height));
        Grid->SetBorderStyle(bsNone);
        Grid->SetScrollBars(ssNone);
        return Grid;
    }
    void ShowAndFocus(TWinControl* Grid) {
        Form->Show();
        Grid->SetFocus();
        Ui.RunUntilIdle();
    }
    TPoint ScreenOf(int X, int Y) const { return TPoint(100 + X, 100 + Y); }
    void Press(int X, int Y) {
        InputMouseMove(ScreenOf(X, Y));
        InputMouseButton(0, true, ScreenOf(X, Y));
        Ui.RunUntilIdle();
    }
    void MoveMouse(int X, int Y) {
        InputMouseMove(ScreenOf(X, Y));
        Ui.RunUntilIdle();
    }
    void Release(int X, int Y) {
        InputMouseButton(0, false, ScreenOf(X, Y));
        Ui.RunUntilIdle();
        Clock.Advance(1000);  // the next press is not a double click
    }
    void Drag(int X1, int Y1, int X2, int Y2) {
        Press(X1, Y1);
        MoveMouse(X2, Y2);
        Release(X2, Y2);
    }
    void Keys(const std::vector<TKey>& List) {
        for (const TKey& K : List) Ui.Key(K.Key, K.Shift);
        Ui.RunUntilIdle();
    }
    uint32_t Pixel(int X, int Y) { return PixelOf(Ui, Form, X, Y); }
    TForm* Form = nullptr;
};

uint32_t Rgb(TColor C) {
    TColorRef R = ColorToRGB(C);
    // The picture holds 0x00RRGGBB; a colour reference is 0x00BBGGRR.
    return ((R & 0xFF) << 16) | (R & 0xFF00) | ((R >> 16) & 0xFF);
}

// --- geometry ---

struct TRectCase {
    const char* Name;
    std::function<void(TStringGrid*)> Setup;
    int Col, Row;
    TRect Expected;
};

TEST_F(GridTest, CellRectFollowsWidthsLinesFixedCellsHiddenColumnsAndScrolling) {
    const TRect None;
    const std::vector<TRectCase> Cases = {
        {"fixed corner", nullptr, 0, 0, TRect(0, 0, 64, 24)},
        {"first scrolling cell", nullptr, 1, 1, TRect(65, 25, 129, 49)},
        {"cut by the client's right edge", nullptr, 4, 2, TRect(260, 50, 300, 74)},
        {"hidden column", [](TStringGrid* G) { G->SetColWidths(2, -1); }, 2, 1, None},
        {"after a hidden column", [](TStringGrid* G) { G->SetColWidths(2, -1); }, 3, 1,
         TRect(130, 25, 194, 49)},
        {"scrolled away", [](TStringGrid* G) { G->SetLeftCol(2); }, 1, 1, None},
        {"first cell after scrolling", [](TStringGrid* G) { G->SetLeftCol(2); }, 2, 1,
         TRect(65, 25, 129, 49)},
        {"fixed column stays", [](TStringGrid* G) { G->SetLeftCol(2); }, 0, 1, TRect(0, 25, 64, 49)},
        {"rows scrolled",
         [](TStringGrid* G) {
             G->SetRowCount(10);
             G->SetTopRow(3);
         },
         1, 3, TRect(65, 25, 129, 49)},
        {"row scrolled away",
         [](TStringGrid* G) {
             G->SetRowCount(10);
             G->SetTopRow(3);
         },
         1, 2, None},
        {"the last rows cannot scroll to the top", [](TStringGrid* G) { G->SetTopRow(3); }, 1, 1,
         TRect(65, 25, 129, 49)},
        {"wider fixed column", [](TStringGrid* G) { G->SetColWidths(0, 100); }, 1, 0, TRect(101, 0, 165, 24)},
        {"no lines", [](TStringGrid* G) { G->SetOptions({}); }, 1, 1, TRect(64, 24, 128, 48)},
        {"thick lines", [](TStringGrid* G) { G->SetGridLineWidth(3); }, 1, 1, TRect(67, 27, 131, 51)},
        {"beyond the client area", [](TStringGrid* G) { G->SetColCount(10); }, 5, 1, None},
        {"two fixed columns", [](TStringGrid* G) { G->SetFixedCols(2); }, 2, 1, TRect(130, 25, 194, 49)},
        {"no such cell", nullptr, 5, 1, None},
    };
    for (const TRectCase& C : Cases) {
        TStringGrid* G = NewGrid();
        if (C.Setup) C.Setup(G);
        Form->Show();
        EXPECT_EQ(G->CellRect(C.Col, C.Row), C.Expected) << C.Name;
        Form->Free();
    }
}

struct TCountCase {
    const char* Name;
    std::function<void(TStringGrid*)> Setup;
    int VisibleCols, VisibleRows;
};

TEST_F(GridTest, VisibleCountsAreTheWholeScrollingCellsShown) {
    const std::vector<TCountCase> Cases = {
        {"defaults", nullptr, 3, 4},
        {"a hidden column takes no room", [](TStringGrid* G) { G->SetColWidths(2, -1); }, 4, 4},
        {"narrower columns", [](TStringGrid* G) { G->SetDefaultColWidth(40); }, 4, 4},
        {"no fixed cells",
         [](TStringGrid* G) {
             G->SetFixedCols(0);
             G->SetFixedRows(0);
         },
         4, 5},
        {"taller rows", [](TStringGrid* G) { G->SetRowHeights(1, 60); }, 3, 2},
    };
    for (const TCountCase& C : Cases) {
        TStringGrid* G = NewGrid();
        if (C.Setup) C.Setup(G);
        Form->Show();
        EXPECT_EQ(G->VisibleColCount(), C.VisibleCols) << C.Name;
        EXPECT_EQ(G->VisibleRowCount(), C.VisibleRows) << C.Name;
        Form->Free();
    }
}

TEST_F(GridTest, MouseCoordFindsTheCellUnderAPointAndNoneOutside) {
    TStringGrid* G = NewGrid();
    G->SetColCount(6);
    G->SetColWidths(2, -1);
    Form->Show();
    struct {
        int X, Y, Col, Row;
    } const Cases[] = {
        {10, 10, 0, 0},   {64, 10, 0, 0},     // the line after a cell belongs to it
        {65, 10, 1, 0},   {140, 30, 3, 1},    // the hidden column lies nowhere
        {299, 110, 5, 4}, {10, 126, -1, -1},  // below the last row
        {-1, 10, -1, -1},
    };
    for (const auto& C : Cases) {
        TGridCoord Cell = G->MouseCoord(C.X, C.Y);
        EXPECT_EQ(Cell, (TGridCoord{C.Col, C.Row})) << C.X << "," << C.Y;
    }
    G->SetLeftCol(3);
    EXPECT_EQ(G->MouseCoord(70, 30), (TGridCoord{3, 1}));
}

// --- keys ---

struct TNavCase {
    const char* Name;
    std::vector<TKey> Keys;
    int Col, Row;
};

TEST_F(GridTest, KeysMoveTheCurrentCellPastHiddenColumnsAndColumnsWithoutTabStop) {
    // Six columns and rows; column 3 is hidden and column 2 no tab stop.
    const std::vector<TNavCase> Cases = {
        {"right steps over the hidden column", {{VK_RIGHT}, {VK_RIGHT}}, 4, 1},
        {"left steps back over it", {{VK_RIGHT}, {VK_RIGHT}, {VK_LEFT}}, 2, 1},
        {"left stops at the fixed column", {{VK_LEFT}}, 1, 1},
        {"tab skips the column without tab stop and the hidden one", {{VK_TAB}}, 4, 1},
        {"tab wraps to the next row", {{VK_TAB}, {VK_TAB}, {VK_TAB}}, 1, 2},
        {"shift tab wraps back to the last row", {{VK_TAB, {ssShift}}}, 5, 5},
        {"end and home", {{VK_END}}, 5, 1},
        {"home after end", {{VK_END}, {VK_HOME}}, 1, 1},
        {"ctrl end", {{VK_END, {ssCtrl}}}, 5, 5},
        {"ctrl home", {{VK_END, {ssCtrl}}, {VK_HOME, {ssCtrl}}}, 1, 1},
        {"down and up", {{VK_DOWN}, {VK_DOWN}, {VK_UP}}, 1, 2},
        {"up stops at the fixed row", {{VK_UP}}, 1, 1},
        {"page down moves a page of rows", {{VK_NEXT}}, 1, 4},
        {"page up comes back", {{VK_NEXT}, {VK_PRIOR}}, 1, 1},
    };
    for (const TNavCase& C : Cases) {
        TStringGrid* G = NewGrid();
        G->SetColCount(6);
        G->SetRowCount(6);
        G->SetColWidths(3, -1);
        G->SetTabStops(2, false);
        G->SetOptions(G->Options() + TGridOptions{goTabs});
        ShowAndFocus(G);
        Keys(C.Keys);
        EXPECT_EQ(G->Col(), C.Col) << C.Name;
        EXPECT_EQ(G->Row(), C.Row) << C.Name;
        Form->Free();
    }
}

TEST_F(GridTest, EndGoesToTheLastShownColumnWhenTheLastIsHidden) {
    TStringGrid* G = NewGrid();
    G->SetColWidths(4, -1);
    ShowAndFocus(G);
    Keys({{VK_END}});
    EXPECT_EQ(G->Col(), 3);
    Keys({{VK_RIGHT}});
    EXPECT_EQ(G->Col(), 3) << "nothing shows right of it";
}

TEST_F(GridTest, MovingTheCurrentCellOutOfViewScrollsIt) {
    TStringGrid* G = NewGrid();
    G->SetColCount(8);
    G->SetRowCount(10);
    ShowAndFocus(G);
    Keys({{VK_NEXT}});
    EXPECT_EQ(G->Row(), 4);
    EXPECT_EQ(G->TopRow(), 4) << "the page moves with the cell";
    Keys({{VK_END, {ssCtrl}}});
    EXPECT_EQ(G->Col(), 7);
    EXPECT_EQ(G->Row(), 9);
    // Three whole columns fit: the last one shows as the third.
    EXPECT_EQ(G->LeftCol(), 5);
    EXPECT_EQ(G->TopRow(), 6);
    EXPECT_EQ(G->CellRect(7, 9), TRect(195, 100, 259, 124));
    Keys({{VK_HOME, {ssCtrl}}});
    EXPECT_EQ(G->LeftCol(), 1);
    EXPECT_EQ(G->TopRow(), 1);
}

TEST_F(GridTest, TabLeavesTheGridForTheNextControlUnlessTheGridTakesTabs) {
    TStringGrid* G = NewGrid();
    auto* Next = Make<TTestEdit>(Form, Form, "Next", Bounds(0, 200, 80, 20));
    ShowAndFocus(G);
    Keys({{VK_TAB}});
    EXPECT_TRUE(Next->Focused());
    EXPECT_EQ(G->Col(), 1);
    G->SetOptions(G->Options() + TGridOptions{goTabs});
    G->SetFocus();
    Keys({{VK_TAB}});
    EXPECT_TRUE(G->Focused());
    EXPECT_EQ(G->Col(), 2);
}

// --- selection ---

TEST_F(GridTest, ShiftKeysAndDraggingSelectARangeOnlyWithRangeSelect) {
    TStringGrid* G = NewGrid();
    ShowAndFocus(G);
    Keys({{VK_RIGHT, {ssShift}}, {VK_DOWN, {ssShift}}});
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 2, 2}));
    EXPECT_EQ(G->Col(), 2);
    Keys({{VK_RIGHT}});
    EXPECT_EQ(G->Selection(), (TGridRect{3, 2, 3, 2})) << "a plain move drops the range";
    Drag(70, 30, 200, 80);  // from (1, 1) to (3, 3)
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 3, 3}));

    EXPECT_EQ(G->Col(), 1) << "the press made (1, 1) current; the drag moved the other corner";

    G->SetOptions(G->Options() - TGridOptions{goRangeSelect});
    Keys({{VK_RIGHT, {ssShift}}});
    EXPECT_EQ(G->Selection(), (TGridRect{2, 1, 2, 1})) << "one cell only";
}

TEST_F(GridTest, RowSelectSelectsWholeRows) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goRowSelect});
    ShowAndFocus(G);
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 4, 1}));
    Keys({{VK_DOWN}});
    EXPECT_EQ(G->Selection(), (TGridRect{1, 2, 4, 2}));
    Keys({{VK_RIGHT}});
    EXPECT_EQ(G->Row(), 3) << "left and right move between rows";
}

TEST_F(GridTest, SelectCellCanRefuseTheMove) {
    auto* G = NewGrid<TDrawGrid>();
    G->OnSelectCell = [](TObject*, int ACol, int, bool& CanSelect) { CanSelect = ACol != 2; };
    ShowAndFocus(G);
    Keys({{VK_RIGHT}});
    EXPECT_EQ(G->Col(), 1);
    Press(240, 30);  // column 3
    Release(240, 30);
    EXPECT_EQ(G->Col(), 3);
}

// --- scrolling ---

TEST_F(GridTest, ScrollBarsMoveTheViewAndThumbTrackingOnlyWhenAsked) {
    TStringGrid* G = NewGrid();
    G->SetRowCount(20);
    G->SetScrollBars(ssVertical);
    ShowAndFocus(G);
    TScrollInfo Info;
    Info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(G->Handle(), SB_VERT, Info));
    int Last = G->RowCount() - G->VisibleRowCount();
    EXPECT_EQ(Info.nMax, Last - 1) << "positions count scrolling rows from 0";
    struct {
        WORD Code;
        int Pos;
        bool Tracking;
        int TopRow;
    } const Steps[] = {
        {SB_LINEDOWN, 0, false, 2},
        {SB_LINEUP, 0, false, 1},
        {SB_PAGEDOWN, 0, false, 1 + G->VisibleRowCount() - 1},
        {SB_THUMBTRACK, 5, false, 1 + G->VisibleRowCount() - 1},
        {SB_THUMBTRACK, 5, true, 6},
        {SB_THUMBPOSITION, 3, false, 4},
        {SB_BOTTOM, 0, false, Last},
        {SB_TOP, 0, false, 1},
    };
    for (const auto& S : Steps) {
        TGridOptions O = G->Options();
        G->SetOptions(S.Tracking ? O + TGridOptions{goThumbTracking} : O - TGridOptions{goThumbTracking});
        SendMessage(G->Handle(), WM_VSCROLL, MakeWParam(S.Code, S.Pos), 0);
        EXPECT_EQ(G->TopRow(), S.TopRow) << "code " << S.Code;
    }
    EXPECT_EQ(GetScrollPos(G->Handle(), SB_VERT), 0);
    EXPECT_EQ(G->Row(), 1) << "the bar moves the view, not the current cell";
}

TEST_F(GridTest, TheWheelMovesTheCurrentRow) {
    TStringGrid* G = NewGrid();
    ShowAndFocus(G);
    InputMouseWheel(-WHEEL_DELTA, ScreenOf(100, 40));
    Ui.RunUntilIdle();
    EXPECT_EQ(G->Row(), 2);
    InputMouseWheel(WHEEL_DELTA, ScreenOf(100, 40));
    InputMouseWheel(WHEEL_DELTA, ScreenOf(100, 40));
    Ui.RunUntilIdle();
    EXPECT_EQ(G->Row(), 1);
}

TEST_F(GridTest, ADragSelectionHeldPastTheBottomGrowsAndScrollsOnTheTimer) {
    TStringGrid* G = NewGrid();
    G->SetRowCount(20);
    ShowAndFocus(G);
    Press(100, 30);
    // Well below the grid, the button still down: the move itself reaches no row.
    MoveMouse(100, 200);
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 1, 1}));
    for (int Tick = 0; Tick < 6; ++Tick) {
        Clock.Advance(60);
        Ui.RunUntilIdle();
    }
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 1, 7})) << "one row more every tick";
    EXPECT_EQ(G->TopRow(), 4) << "row 7 shows as the last whole row";
    Release(100, 200);
    Clock.Advance(600);
    Ui.RunUntilIdle();
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 1, 7})) << "the timer stops with the release";
}

// --- sizing and moving by mouse ---

TEST_F(GridTest, DraggingAColumnEdgeInTheFixedRowSizesTheColumn) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goColSizing});
    ShowAndFocus(G);
    // The edge after column 1 is its line at x = 129.
    Drag(130, 10, 150, 10);
    EXPECT_EQ(G->ColWidths(1), 84);
    EXPECT_EQ(G->GridState(), gsNormal);
    // Column 2 now spans 150..213, its edge (line) at 214.
    Drag(196, 10, 130, 10);
    EXPECT_EQ(G->ColWidths(2), 64) << "a press beside the edge does not size";
    Drag(214, 10, 160, 10);
    EXPECT_EQ(G->ColWidths(2), 10);
    Drag(160, 10, 151, 10);
    EXPECT_EQ(G->ColWidths(2), 10) << "a size of 1 or less is refused";
}

TEST_F(GridTest, DraggingARowEdgeInTheFixedColumnSizesTheRow) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goRowSizing});
    ShowAndFocus(G);
    Drag(10, 49, 10, 60);
    EXPECT_EQ(G->RowHeights(1), 35);
    Drag(100, 10, 100, 30);
    EXPECT_EQ(G->RowHeights(0), 24) << "rows size only in the fixed column";
}

TEST_F(GridTest, TheSizingLineIsDrawnWhileDraggingAndGoneAfter) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goColSizing});
    ShowAndFocus(G);
    auto Column = [&](int X) {
        std::vector<uint32_t> Out;
        for (int Y = 0; Y < 125; ++Y) Out.push_back(Pixel(X, Y));
        return Out;
    };
    std::vector<uint32_t> Before = Column(100);
    Press(130, 10);
    MoveMouse(101, 10);  // the line stands at x = 100
    std::vector<uint32_t> During = Column(100);
    int Changed = 0;
    for (size_t I = 0; I < Before.size(); ++I) Changed += Before[I] != During[I];
    EXPECT_GT(Changed, 30) << "a dotted line down the grid";
    EXPECT_LT(Changed, 125) << "dotted, not solid";
    Release(101, 10);
    EXPECT_EQ(G->ColWidths(1), 35);
    EXPECT_EQ(Pixel(100, 37), Rgb(clSilver)) << "cell (1, 1) ends at 99, its line at 100";
    EXPECT_EQ(Pixel(101, 37), Rgb(clWindow)) << "and no trace of the sizing line after it";
}

TEST_F(GridTest, DraggingATitleMovesTheColumnWithItsCells) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goColMoving});
    std::vector<std::string> Moves;
    G->OnColumnMoved = [&](TObject*, int From, int To) {
        Moves.push_back(std::to_string(From) + ">" + std::to_string(To));
    };
    for (int C = 0; C < 5; ++C) G->SetCells(C, 1, std::string(1, static_cast<char>('a' + C)));
    G->SetColWidths(1, 50);
    ShowAndFocus(G);
    Drag(80, 10, 230, 10);  // the title of column 1 onto column 3
    EXPECT_EQ(Moves, (std::vector<std::string>{"1>3"}));
    EXPECT_EQ(G->Rows(1)->Text(), "a\r\nc\r\nd\r\nb\r\ne\r\n");
    EXPECT_EQ(G->ColWidths(3), 50) << "the width moves with the column";
    EXPECT_EQ(G->ColWidths(1), 64);
}

// A string grid whose columns and rows the test moves itself.
class TMovingGrid : public TStringGrid {
    ZELMOR_CLASS(TMovingGrid, TStringGrid)
public:
    using TCustomGrid::FocusCell;
    using TCustomGrid::MoveColumn;
    using TCustomGrid::MoveRow;
    using TStringGrid::TStringGrid;
};
ZELMOR_IMPLEMENT_COMPONENT(TMovingGrid, TStringGrid)

// The current cell and the anchor follow the column (or row) they stand
// in when another is moved across them.
TEST_F(GridTest, TheCurrentCellStaysInItsColumnAndRowWhenOthersMove) {
    auto* G = NewGrid<TMovingGrid>();
    for (int C = 0; C < 5; ++C)
        for (int R = 0; R < 5; ++R)
            G->SetCells(C, R, std::string(1, static_cast<char>('a' + C)) + std::to_string(R));
    struct {
        bool Columns;
        int From, To, Current, Expected;
    } Cases[] = {
        {true, 1, 3, 2, 1},  {true, 1, 3, 3, 2},  {true, 1, 3, 4, 4},  {true, 1, 3, 1, 3},
        {true, 3, 1, 2, 3},  {true, 3, 1, 1, 2},  {true, 3, 1, 4, 4},  {true, 2, 4, 1, 1},
        {false, 1, 4, 3, 2}, {false, 4, 2, 3, 4}, {false, 4, 2, 1, 1},
    };
    for (const auto& C : Cases) {
        if (C.Columns) G->FocusCell(C.Current, 1, true);
        else G->FocusCell(1, C.Current, true);
        const AnsiString Text = G->Cells(G->Col(), G->Row());
        if (C.Columns) G->MoveColumn(C.From, C.To);
        else G->MoveRow(C.From, C.To);
        EXPECT_EQ(C.Columns ? G->Col() : G->Row(), C.Expected)
            << (C.Columns ? "column " : "row ") << C.From << ">" << C.To << " at " << C.Current;
        EXPECT_EQ(G->Cells(G->Col(), G->Row()), Text) << "the same cell";
        EXPECT_EQ(G->Selection().Left, G->Col()) << "the anchor with it";
        EXPECT_EQ(G->Selection().Top, G->Row());
        // Back as they were for the next case.
        if (C.Columns) G->MoveColumn(C.To, C.From);
        else G->MoveRow(C.To, C.From);
    }
}

// --- painting ---

TEST_F(GridTest, CellsArePaintedFixedAreasFirstThenDataRowByRow) {
    auto* G = NewGrid<TDrawGrid>();
    std::vector<std::string> Order;
    std::vector<std::string> Wrong;
    G->OnDrawCell = [&](TObject*, int C, int R, const TRect& Rect, TGridDrawState State) {
        Order.push_back(std::to_string(C) + "," + std::to_string(R));
        if (Rect != G->CellRect(C, R) && !(C == 4 && Rect.Right == 324)) Wrong.push_back(Order.back());
        if (State.Contains(gdFixed) != (C == 0 || R == 0)) Wrong.push_back("state " + Order.back());
    };
    Form->Show();
    Ui.RunUntilIdle();
    Order.clear();
    G->Invalidate();
    Ui.RunUntilIdle();
    std::vector<std::string> Expected = {"0,0"};
    for (int C = 1; C < 5; ++C) Expected.push_back(std::to_string(C) + ",0");
    for (int R = 1; R < 5; ++R) Expected.push_back("0," + std::to_string(R));
    for (int R = 1; R < 5; ++R)
        for (int C = 1; C < 5; ++C) Expected.push_back(std::to_string(C) + "," + std::to_string(R));
    EXPECT_EQ(Order, Expected);
    EXPECT_TRUE(Wrong.empty()) << Wrong.front();
}

TEST_F(GridTest, LinesAndRaisedFixedCellsLieWhereTheWidthsSay) {
    auto* G = NewGrid<TDrawGrid>();
    G->SetColCount(3);
    ShowAndFocus(G);
    G->SetRow(2);  // nothing focused-looking on cell (1, 1)
    Ui.RunUntilIdle();
    const uint32_t Black = 0, Silver = Rgb(clSilver), Face = Rgb(clBtnFace), Light = Rgb(clBtnHighlight),
                   Shadow = Rgb(clBtnShadow), White = Rgb(clWindow);
    struct {
        const char* What;
        int X, Y;
        uint32_t Color;
    } const Cases[] = {
        {"fixed line between fixed cells", 64, 12, Black},
        {"fixed line between title cells", 129, 12, Black},
        {"fixed line beside data rows", 64, 37, Black},
        {"fixed line under the title row", 100, 24, Black},
        {"data line between columns", 129, 37, Silver},
        {"data line between rows", 100, 49, Silver},
        {"inside a fixed cell", 30, 12, Face},
        {"raised edge: left of a fixed cell", 65, 12, Light},
        {"raised edge: top", 100, 0, Light},
        {"raised edge: right", 128, 12, Shadow},
        {"raised edge: bottom", 100, 23, Shadow},
        {"inside a data cell", 100, 37, White},
        {"right of the last column", 250, 37, White},
        {"below the last row", 100, 127, White},
    };
    for (const auto& C : Cases) EXPECT_EQ(Pixel(C.X, C.Y), C.Color) << C.What;
}

TEST_F(GridTest, AHiddenColumnIsNotPaintedAndItsNeighbourTakesItsPlace) {
    auto* G = NewGrid<TDrawGrid>();
    const TColor Colors[] = {clWhite, clRed, clLime, clBlue, clYellow};
    G->SetDefaultDrawing(false);
    G->OnDrawCell = [&](TObject*, int C, int, const TRect& R, TGridDrawState) {
        G->Canvas()->Brush()->SetColor(Colors[C]);
        G->Canvas()->FillRect(R);
    };
    G->SetColWidths(2, -1);
    ShowAndFocus(G);
    EXPECT_EQ(Pixel(100, 37), Rgb(clRed));
    EXPECT_EQ(Pixel(140, 37), Rgb(clBlue)) << "column 3 right after column 1";
    EXPECT_EQ(Pixel(129, 37), Rgb(clSilver)) << "one line between them";
    EXPECT_EQ(Pixel(200, 37), Rgb(clYellow));
}

TEST_F(GridTest, ASelectedRangeIsHighlightedButNotItsFocusedCell) {
    TStringGrid* G = NewGrid();
    ShowAndFocus(G);
    Keys({{VK_RIGHT, {ssShift}}, {VK_DOWN, {ssShift}}});
    EXPECT_EQ(Pixel(100, 37), Rgb(clHighlight)) << "(1, 1) selected";
    EXPECT_EQ(Pixel(150, 55), Rgb(clWindow)) << "(2, 2) is the focused cell";
    G->SetOptions(G->Options() + TGridOptions{goDrawFocusSelected});
    Ui.RunUntilIdle();
    EXPECT_EQ(Pixel(150, 55), Rgb(clHighlight));
}

// --- the string grid ---

TEST_F(GridTest, StringGridKeepsCellsObjectsAndLinesOfColumnsAndRows) {
    TStringGrid* G = NewGrid();
    G->SetColCount(2);
    G->SetRowCount(100);
    G->SetCells(0, 0, "AsigDv");
    G->SetCells(1, 0, "Alum");
    EXPECT_EQ(G->Cells(1, 0), "Alum");
    EXPECT_EQ(G->Cells(1, 99), "");
    // Writing past the grid is harmless: the text waits for the grid to grow.
    G->SetCells(1, 101, "");
    G->SetCells(0, 100, "later");
    EXPECT_EQ(G->Cells(0, 100), "later");
    G->SetRowCount(101);
    EXPECT_EQ(G->Cells(0, 100), "later");
    EXPECT_THROW(G->SetCells(-1, 0, "x"), EInvalidGridOperation);

    TObject Tag;
    G->SetObjects(1, 5, &Tag);
    EXPECT_EQ(G->Objects(1, 5), &Tag);
    EXPECT_EQ(G->Rows(5)->Objects(1), &Tag);

    TStrings* Row0 = G->Rows(0);
    EXPECT_EQ(Row0->Count(), 2);
    EXPECT_EQ(Row0->Strings(0), "AsigDv");
    Row0->Put(0, "Asig");
    EXPECT_EQ(G->Cells(0, 0), "Asig");
    TStrings* Col1 = G->Cols(1);
    EXPECT_EQ(Col1->Count(), 101);
    Col1->Clear();
    EXPECT_EQ(G->Cells(1, 0), "");
    EXPECT_THROW(G->Cols(2), EInvalidGridOperation);
}

TEST_F(GridTest, StringGridComesFromAFormWithItsWidthsAndCells) {
    RegisterGridClasses();
    const char* Text =
        "object F: TForm\n  Left = 100\n  Top = 100\n  Width = 200\n  Height = 200\n  BorderStyle = bsNone\n"
        "  object SGTipos: TStringGrid\n    Width = 60\n    Height = 150\n    ColCount = 2\n"
        "    DefaultColWidth = 20\n    DefaultRowHeight = 14\n    FixedCols = 0\n    RowCount = 100\n"
        "    Font.Name = 'Courier New'\n    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, "
        "goHorzLine]\n"
        "    ScrollBars = ssVertical\n    ColWidths = (\n      28\n      23)\n  end\nend\n";
    TForm* F = TForm::CreateNew(Application);
    TReader Reader(Text, "test");
    Reader.ReadRootComponent(F);
    auto* G = dynamic_cast<TStringGrid*>(F->FindComponent("SGTipos"));
    ASSERT_NE(G, nullptr);
    EXPECT_EQ(G->ColWidths(0), 28);
    EXPECT_EQ(G->ColWidths(1), 23);
    EXPECT_EQ(G->RowCount(), 100);
    EXPECT_EQ(G->FixedCols(), 0);
    EXPECT_EQ(G->Font()->Name(), "Courier New");
    EXPECT_FALSE(G->Options().Contains(goRangeSelect));
}

// --- the editor ---

TEST_F(GridTest, EnterOpensTheEditorOnTheCellsTextAndEnterAgainWritesItBack) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goEditing});
    G->SetCells(1, 1, "Mat");
    ShowAndFocus(G);
    Keys({{VK_RETURN}});
    ASSERT_TRUE(G->EditorMode());
    TInplaceEdit* E = G->InplaceEditor();
    ASSERT_NE(E, nullptr);
    EXPECT_TRUE(E->Visible());
    EXPECT_TRUE(E->Focused());
    EXPECT_EQ(E->Text(), "Mat");
    EXPECT_EQ(E->BoundsRect(), G->CellRect(1, 1));
    EXPECT_EQ(GetParentForm(G)->ActiveControl(), G) << "the form counts the grid as focused";
    Ui.Type("Fra");  // the whole text was selected
    Keys({{VK_RETURN}});
    EXPECT_FALSE(G->EditorMode());
    EXPECT_FALSE(E->Visible());
    EXPECT_TRUE(G->Focused());
    EXPECT_EQ(G->Cells(1, 1), "Fra");
}

TEST_F(GridTest, TypingOnTheGridOpensTheEditorAndMovingOnWritesTheText) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goEditing});
    G->SetCells(1, 1, "old");
    std::vector<std::string> Set;
    G->OnSetEditText = [&](TObject*, int C, int R, const AnsiString& V) {
        Set.push_back(std::to_string(C) + "," + std::to_string(R) + "=" + V);
    };
    ShowAndFocus(G);
    Ui.Type("12");
    Ui.RunUntilIdle();
    ASSERT_TRUE(G->EditorMode());
    EXPECT_EQ(G->InplaceEditor()->Text(), "12");
    Keys({{VK_DOWN}});
    EXPECT_EQ(G->Row(), 2);
    EXPECT_FALSE(G->EditorMode());
    EXPECT_EQ(G->Cells(1, 1), "12");
    EXPECT_EQ(Set, (std::vector<std::string>{"1,1=12"}));
    // F2 opens the editor with the caret at the end of the text.
    G->SetCells(1, 2, "ab");
    Keys({{VK_F2}});
    Ui.Type("c");
    Keys({{VK_UP}});
    EXPECT_EQ(G->Cells(1, 2), "abc");
}

TEST_F(GridTest, ClickingTheCurrentCellOpensTheEditorThere) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goEditing});
    G->SetCells(2, 2, "x");
    ShowAndFocus(G);
    Press(150, 60);
    Release(150, 60);
    EXPECT_EQ(G->Col(), 2);
    EXPECT_FALSE(G->EditorMode()) << "the first click only moves";
    Press(150, 60);
    Release(150, 60);
    ASSERT_TRUE(G->EditorMode());
    EXPECT_EQ(G->InplaceEditor()->Text(), "x");
}

// A grid whose edit hooks answer from a table of its own.
class THookGrid : public TDrawGrid {
    ZELMOR_CLASS(THookGrid, TDrawGrid)
public:
    using TDrawGrid::TDrawGrid;
    bool Modifiable = true;
    int Limit = 0;
    AnsiString Mask;
    AnsiString Value = "abc";

protected:
    bool CanEditModify() override { return Modifiable; }
    int GetEditLimit() override { return Limit; }
    AnsiString GetEditMask(int, int) override { return Mask; }
    AnsiString GetEditText(int, int) override { return Value; }
    void SetEditText(int, int, const AnsiString& V) override { Value = V; }
};
ZELMOR_IMPLEMENT_COMPONENT(THookGrid, TDrawGrid)

TEST_F(GridTest, TheEditorTakesLimitAndMaskFromTheGridAndChangesNothingTheGridRefuses) {
    auto* G = NewGrid<THookGrid>();
    G->SetOptions(G->Options() + TGridOptions{goEditing});
    G->Limit = 5;
    G->Mask = "999;0;_";
    ShowAndFocus(G);
    Keys({{VK_F2}});
    TInplaceEdit* E = G->InplaceEditor();
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->MaxLength(), 5);
    EXPECT_EQ(E->EditMask(), "999;0;_");
    Keys({{VK_RETURN}});

    G->Modifiable = false;
    G->Mask = "";
    G->Value = "abc";
    Keys({{VK_F2}});
    Ui.Type("zz");
    Keys({{VK_BACK}, {VK_DELETE}});
    E->Perform(WM_PASTE);
    E->Perform(WM_CUT);
    Ui.RunUntilIdle();
    EXPECT_EQ(E->Text(), "abc");
    Keys({{VK_RETURN}});
    EXPECT_EQ(G->Value, "abc");
}

// A grid that closes its editor in its own destructor, as a data-aware grid
// does when it lets go of its data.
class TClosingGrid : public TStringGrid {
    ZELMOR_CLASS(TClosingGrid, TStringGrid)
public:
    using TStringGrid::TStringGrid;
    ~TClosingGrid() override {
        HideEditor();
        if (EditorGone) *EditorGone = InplaceEditor() == nullptr;
    }
    bool* EditorGone = nullptr;
};
ZELMOR_IMPLEMENT_COMPONENT(TClosingGrid, TStringGrid)

// The children go before the grid's destructor runs; the editor among them
// takes itself out of the grid.
TEST_F(GridTest, AGridFreedWithItsEditorOpenNoLongerReachesTheEditor) {
    bool Gone = false;
    auto* G = NewGrid<TClosingGrid>();
    G->EditorGone = &Gone;
    G->SetOptions(G->Options() + TGridOptions{goEditing});
    ShowAndFocus(G);
    Keys({{VK_F2}});
    ASSERT_TRUE(G->EditorMode());
    Form->Free();
    Form = nullptr;
    EXPECT_TRUE(Gone);
}

TEST_F(GridTest, WithTheEditorAlwaysShownArrowsLeaveItOnlyAtTheEdgeOfTheText) {
    TStringGrid* G = NewGrid();
    G->SetOptions(G->Options() + TGridOptions{goEditing, goAlwaysShowEditor});
    G->SetCells(2, 1, "abcd");
    G->SetCol(2);
    ShowAndFocus(G);
    TInplaceEdit* E = G->InplaceEditor();
    ASSERT_NE(E, nullptr);
    ASSERT_TRUE(E->Focused());
    E->SetSelStart(2);
    Keys({{VK_LEFT}});
    EXPECT_EQ(G->Col(), 2) << "the caret moves inside the text";
    E->SetSelStart(0);
    Keys({{VK_LEFT}});
    EXPECT_EQ(G->Col(), 1) << "at the start the key goes to the grid";
    EXPECT_TRUE(G->InplaceEditor()->Visible()) << "the editor follows";
    Keys({{VK_RIGHT}});
    EXPECT_EQ(G->Col(), 2) << "an empty text has the caret at both edges";
    E->SetSelStart(1);
    Keys({{VK_LEFT, {ssCtrl}}});
    EXPECT_EQ(G->Col(), 1) << "with Ctrl the key goes to the grid wherever the caret is";
}

}  // namespace
