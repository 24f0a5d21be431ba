#pragma once
// The grid base and its two ready grids.
//
// TCustomGrid lays cells out in columns and rows, the first FixedCols columns
// and FixedRows rows staying in place while the rest scroll; it keeps the
// current cell, the selection, the column widths and row heights (a width of
// -1 hides a column: it takes no room, has an empty CellRect and the cursor
// keys and Tab pass over it), moves the current cell by keys and mouse, sizes
// and moves columns and rows with the mouse, scrolls through the window's
// scroll bars and the wheel, and paints its lines and asks DrawCell for each
// cell's contents. The in-place editor (TInplaceEdit) edits the current cell
// through the edit hooks (GetEditText, SetEditText, CanEditModify ...), which
// descendants answer from their own data.
//
// Cells are addressed (column, row), both from 0, fixed cells included.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"

enum TGridOption : uint8_t {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
};
ZELMOR_DECLARE_ENUM(TGridOption);
using TGridOptions = TSet<TGridOption>;

enum TGridState : uint8_t { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

enum TGridDrawStateFlag : uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

enum TGridScrollDirectionFlag : uint8_t { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirection = TSet<TGridScrollDirectionFlag>;

struct TGridCoord {
    int X = 0, Y = 0;
    constexpr bool operator==(const TGridCoord&) const = default;
};

// A block of cells, both corners included.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr TGridCoord TopLeft() const { return {Left, Top}; }
    constexpr TGridCoord BottomRight() const { return {Right, Bottom}; }
    constexpr bool Contains(int ACol, int ARow) const {
        return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom;
    }
    constexpr bool operator==(const TGridRect&) const = default;
};

class TCustomGrid;

// One axis of the grid as it lies on the window: every position is in
// client pixels, from the left (columns) or the top (rows).
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;  // the line between two cells; 0 when the axis draws none
    int FixedBoundary = 0;       // where the scrolling cells begin
    int GridBoundary = 0;        // where the last cell shown (even in part) ends
    int GridExtent = 0;          // the client width or height
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0;  // where the last fully shown cell ends, its line included
    int FixedCellCount = 0;
    int FirstGridCell = 0;  // LeftCol or TopRow
    int GridCellCount = 0;  // ColCount or RowCount
    const TCustomGrid* Grid = nullptr;
    bool Columns = true;
    // The width or height of a cell; -1 for a hidden column.
    int GetExtent(int Index) const;
    // The room a cell takes on the axis: its extent and line, nothing when hidden.
    int Advance(int Index) const;
};

struct TGridDrawInfo {
    TGridAxisDrawInfo Horz, Vert;
};

class TInplaceEdit;

class TCustomGrid : public TCustomControl {
    ZELMOR_CLASS(TCustomGrid, TCustomControl)
    friend class TInplaceEdit;
    friend struct TGridAxisDrawInfo;

public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- size and layout ---
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);  // every column takes it
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);  // every row takes it
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    bool TabStops(int Index) const;
    void SetTabStops(int Index, bool Value);
    // The sum of the cells and lines, as far as the client area reaches.
    int GridWidth() const;
    int GridHeight() const;

    // --- the current cell, the scrolling and the selection ---
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int VisibleColCount() const;
    int VisibleRowCount() const;
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);

    // --- looks and behaviour ---
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TGridState GridState() const { return FGridState; }

    // --- editing ---
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // --- geometry ---
    // The cell's rectangle on the client area; empty (all 0) when the cell is
    // scrolled away, beyond the client area or hidden. A cell cut by the
    // client's edge gives the part that shows.
    TRect CellRect(int ACol, int ARow) const;
    // The cell under a client point; (-1, -1) outside every cell.
    TGridCoord MouseCoord(int X, int Y) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    virtual void CalcDrawInfo(TGridDrawInfo& DrawInfo) const;

protected:
    // --- drawing ---
    void Paint() override;
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
    void CalcFixedInfo(TGridDrawInfo& DrawInfo) const;
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGrid();
    void InvalidateRect(const TGridRect& ARect);

    // --- the hooks descendants answer ---
    virtual bool SelectCell(int ACol, int ARow);
    virtual bool CanEditAcceptKey(char Key);
    virtual bool CanGridAcceptKey(WORD Key, TShiftState Shift);
    virtual bool CanEditModify();
    virtual bool CanEditShow();
    virtual AnsiString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
    virtual AnsiString GetEditMask(int ACol, int ARow);
    // The longest text the editor takes; 0 for no limit.
    virtual int GetEditLimit();
    virtual TInplaceEdit* CreateEditor();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void TimedScroll(TGridScrollDirection Direction);
    // Whether (X, Y) lies on an edge that the mouse can drag to size a column
    // or a row: State becomes gsColSizing or gsRowSizing with the cell's
    // Index, the edge at SizingPos and SizingOfs = SizingPos - the point.
    // FixedInfo comes in from CalcDrawInfo; its extents become the client size.
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                 TGridDrawInfo& FixedInfo);
    bool Sizing(int X, int Y);

    // --- the editor ---
    void ShowEditor();
    void HideEditor();
    void ShowEditorChar(char Ch);
    void InvalidateEditor();
    // Moves the editor onto the current cell, with the cell's text, when it may show.
    void UpdateEdit();
    // Hands the editor's text to SetEditText and hides the editor.
    void HideEdit();
    void UpdateText();

    // --- moving ---
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveAnchor(const TGridCoord& NewAnchor);
    void MoveTopLeft(int ALeft, int ATop);
    // Scrolls so that the cell shows whole.
    void ClampInView(const TGridCoord& Coord);
    // The top-left cell that shows Coord as the last whole cell.
    TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo) const;
    void DrawSizingLine(const TGridDrawInfo& DrawInfo);
    void DrawMove();
    void CancelMode();

    // --- input ---
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void DoExit() override;

    // --- the window ---
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void UpdateScrollRange();
    void UpdateScrollPos();
    void WMGetDlgCode(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMTimer(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;
    void CMCancelMode(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;

    // Descendants set it back to gsNormal to keep MouseUp from finishing a sizing they did themselves.
    TGridState FGridState = gsNormal;
    int FSizingIndex = -1;
    int FSizingPos = 0;
    int FSizingOfs = 0;
    int FMoveIndex = -1;
    int FMovePos = -1;
    TGridCoord FCurrent;
    TGridCoord FAnchor;
    TGridCoord FTopLeft;
    TInplaceEdit* FInplaceEdit = nullptr;
    int FInplaceCol = -1, FInplaceRow = -1;
    bool FEditorMode = false;
    bool FCanEditModify = true;

private:
    void ChangeSize(int NewColCount, int NewRowCount);
    void Initialize();
    void SelectionMoved(const TGridRect& OldSel);
    void TopLeftMoved(const TGridCoord& OldTopLeft);
    void ScrollBarMessage(int Bar, TMessage& Message);
    bool IsActiveControl() const;
    bool CellHidden(int ACol) const { return ColWidths(ACol) < 0; }
    // The next column from Start in Step's direction that is not hidden; Start when none.
    int NextShownCol(int Start, int Step, int Lowest) const;
    void DrawLinesOf(const TGridDrawInfo& Info, int FirstCol, int FirstRow, const TRect& Area, bool Horz,
                     bool Vert, TColor OnColor, TColor OffColor);
    void DrawCells(const TGridDrawInfo& Info, int FirstCol, int FirstRow, const TRect& Area,
                   TColor Background, TGridDrawState Include);

protected:
    void DefineProperties(TFiler* Filer) override;

private:
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    // Empty while every column (row) has the default size.
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    std::vector<bool> FTabStops;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    bool FDefaultDrawing = true;
    TColor FFixedColor = clBtnFace;
    bool FMoveDrawn = false;
    bool FUpdatingScrollBars = false;
    bool FTimerOn = false;
};

using TDrawCellEvent =
    TEvent<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = TEvent<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = TEvent<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TSetEditEvent = TEvent<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;
using TMovedEvent = TEvent<void(TObject* Sender, int FromIndex, int ToIndex)>;

// A grid whose cells the program paints itself in OnDrawCell.
class TDrawGrid : public TCustomGrid {
    ZELMOR_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
    using TCustomGrid::CellRect;
    using TCustomGrid::MouseToCell;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TGetEditEvent OnGetEditMask;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TNotifyEvent OnTopLeftChanged;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    AnsiString GetEditMask(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void TopLeftChanged() override;
};

// A grid of texts (and an object per cell), painted as they are.
class TStringGrid : public TDrawGrid {
    ZELMOR_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;
    static void DescribeProperties(TPropertyTable& T);

    // A cell outside the grid reads as empty; writing one keeps the text for
    // when the grid grows to it and shows nothing meanwhile.
    AnsiString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const AnsiString& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);
    // A column's or a row's cells as a list of ColCount (RowCount) lines.
    TStrings* Cols(int Index);
    void SetCols(int Index, TStrings* Value);
    TStrings* Rows(int Index);
    void SetRows(int Index, TStrings* Value);

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

private:
    class TCellLine;
    struct TCell {
        AnsiString Text;
        TObject* Object = nullptr;
    };
    TCell* CellAt(int ACol, int ARow, bool Create);
    const TCell* CellAt(int ACol, int ARow) const;
    // Indexed [column][row]; grows on writes.
    std::vector<std::vector<TCell>> FCells;
    std::vector<std::unique_ptr<TCellLine>> FLines;
    bool FEditUpdate = false;
};

// The editor the grid shows over the current cell. It belongs to its grid,
// takes its text, mask and length limit from the grid's hooks, hands the
// keys that move between cells back to the grid, and lets the clipboard and
// typing change the text only when the grid says the cell may be modified.
class TInplaceEdit : public TCustomMaskEdit {
    ZELMOR_CLASS(TInplaceEdit, TCustomMaskEdit)
    friend class TCustomGrid;

public:
    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;
    TCustomGrid* Grid() const { return FGrid; }
    void SetGrid(TCustomGrid* Value) { FGrid = Value; }
    // Places the editor over Loc, shows it and gives it the focus when the grid has it.
    void Move(const TRect& Loc);
    void UpdateLoc(const TRect& Loc);
    void Hide();
    void Deselect();
    bool PosEqual(const TRect& Rect) const;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The editor stands over a new cell rectangle: its formatting rectangle follows.
    virtual void BoundsChanged();
    // Reloads text, mask and length limit from the grid.
    virtual void UpdateContents();
    bool EditCanModify() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DblClick() override;
    void WndProc(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void WMClear(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;

private:
    void InternalMove(const TRect& Loc, bool Redraw);
    void SendToGrid(WORD& Key, TShiftState Shift);
    TCustomGrid* FGrid = nullptr;
    DWORD FClickTime = 0;
};

// Lets form resources create the grids by class name.
void RegisterGridClasses();
