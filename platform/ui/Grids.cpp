#include "platform/ui/Grids.h"

#include <algorithm>
#include <functional>

#include "platform/classes/Filer.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TGridOption, "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine",
                      "goRangeSelect", "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving",
                      "goColMoving", "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor",
                      "goThumbTracking")

ZELMOR_IMPLEMENT_CLASS(TCustomGrid, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TDrawGrid, TCustomGrid)
ZELMOR_IMPLEMENT_COMPONENT(TStringGrid, TDrawGrid)
ZELMOR_IMPLEMENT_COMPONENT(TInplaceEdit, TCustomMaskEdit)

namespace {

// The timer that scrolls while the mouse drags a selection or a column out of the grid.
constexpr uintptr_t ScrollTimerId = 1;
constexpr UINT ScrollTimerInterval = 60;

[[noreturn]] void InvalidOp(const char* Message) { throw EInvalidGridOperation(Message); }
constexpr const char* SIndexOutOfRange = "Grid index out of range";
constexpr const char* SFixedColTooBig = "Fixed column count must be less than column count";
constexpr const char* SFixedRowTooBig = "Fixed row count must be less than row count";

// Where a cell lies on its axis: false when it is not shown (hidden,
// scrolled away, beyond the client area, or of no size).
bool AxisSpan(const TGridAxisDrawInfo& A, int Index, int& Lo, int& Hi) {
    if (Index < 0 || Index >= A.GridCellCount) return false;
    int Extent = A.GetExtent(Index);
    if (Extent <= 0) return false;
    int Pos = 0;
    if (Index < A.FixedCellCount) {
        for (int I = 0; I < Index; ++I) Pos += A.Advance(I);
    } else {
        if (Index < A.FirstGridCell) return false;
        Pos = A.FixedBoundary;
        for (int I = A.FirstGridCell; I < Index && Pos < A.GridExtent; ++I) Pos += A.Advance(I);
    }
    if (Pos >= A.GridExtent) return false;
    Lo = Pos;
    Hi = std::min(Pos + Extent, A.GridExtent);
    return true;
}

// The span of the shown cells among From..To.
bool AxisRange(const TGridAxisDrawInfo& A, int From, int To, int& Lo, int& Hi) {
    if (From > To) return false;
    int Last = std::min(To, std::min(A.LastFullVisibleCell + 1, A.GridCellCount - 1));
    bool Any = false;
    for (int I = std::max(From, 0); I <= Last; ++I) {
        if (I >= A.FixedCellCount && I < A.FirstGridCell) I = A.FirstGridCell;
        if (I > Last) break;
        int L, H;
        if (!AxisSpan(A, I, L, H)) continue;
        if (!Any) Lo = L;
        Hi = H;
        Any = true;
    }
    return Any;
}

// The cell of the axis under a client coordinate, -1 for none.
int AxisCellAt(const TGridAxisDrawInfo& A, int N) {
    int Start, Stop, Line;
    if (N < A.FixedBoundary) {
        Start = 0;
        Stop = A.FixedCellCount - 1;
        Line = 0;
    } else {
        Start = A.FirstGridCell;
        Stop = A.GridCellCount - 1;
        Line = A.FixedBoundary;
    }
    for (int I = Start; I <= Stop; ++I) {
        Line += A.Advance(I);
        if (N < Line) return I;
        if (Line > A.GridExtent) break;
    }
    return -1;
}

TGridRect NormalGridRect(TGridCoord A, TGridCoord B) {
    return {std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

}  // namespace

int TGridAxisDrawInfo::GetExtent(int Index) const {
    return Columns ? Grid->ColWidths(Index) : Grid->RowHeights(Index);
}

int TGridAxisDrawInfo::Advance(int Index) const {
    int Extent = GetExtent(Index);
    return Extent < 0 ? 0 : Extent + EffectiveLineWidth;
}

// ---------------------------------------------------------------------------
// TCustomGrid: construction and properties
// ---------------------------------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(Left(), Top(), FColCount * FDefaultColWidth, FRowCount * FDefaultRowHeight);
    Initialize();
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::DescribeProperties(TPropertyTable& T) {
    using C = TCustomGrid;
    T.Property("ColCount", &C::ColCount, &C::SetColCount).Default(5);
    T.Property("DefaultColWidth", &C::DefaultColWidth, &C::SetDefaultColWidth).Default(64);
    T.Property("DefaultRowHeight", &C::DefaultRowHeight, &C::SetDefaultRowHeight).Default(24);
    T.Property("DefaultDrawing", &C::DefaultDrawing, &C::SetDefaultDrawing).Default(true);
    T.Property("FixedColor", &C::FixedColor, &C::SetFixedColor).OfType(ColorTypeInfo()).Default(clBtnFace);
    T.Property("FixedCols", &C::FixedCols, &C::SetFixedCols).Default(1);
    T.Property("RowCount", &C::RowCount, &C::SetRowCount).Default(5);
    T.Property("FixedRows", &C::FixedRows, &C::SetFixedRows).Default(1);
    T.Property("GridLineWidth", &C::GridLineWidth, &C::SetGridLineWidth).Default(1);
    T.Property("Options", &C::Options, &C::SetOptions)
        .Default(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect});
    T.Property("ScrollBars", &C::ScrollBars, &C::SetScrollBars).Default(ssBoth);
    T.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
}

namespace {

// A list of sizes, one per column or row, as form files hold ColWidths and RowHeights.
void ReadSizes(TReader& Reader, int Count, const std::function<void(int, int)>& Set) {
    Reader.ReadListBegin();
    for (int I = 0; !Reader.EndOfList(); ++I) {
        int Value = Reader.ReadInteger();
        if (I < Count) Set(I, Value);
    }
    Reader.ReadListEnd();
}

void WriteSizes(TWriter& Writer, int Count, const std::function<int(int)>& Get) {
    Writer.WriteListBegin();
    for (int I = 0; I < Count; ++I) Writer.WriteInteger(Get(I));
    Writer.WriteListEnd();
}

}  // namespace

void TCustomGrid::DefineProperties(TFiler* Filer) {
    TCustomControl::DefineProperties(Filer);
    Filer->DefineProperty(
        "ColWidths",
        [this](TReader& R) { ReadSizes(R, FColCount, [this](int I, int V) { SetColWidths(I, V); }); },
        [this](TWriter& W) { WriteSizes(W, FColCount, [this](int I) { return ColWidths(I); }); },
        !FColWidths.empty());
    Filer->DefineProperty(
        "RowHeights",
        [this](TReader& R) { ReadSizes(R, FRowCount, [this](int I, int V) { SetRowHeights(I, V); }); },
        [this](TWriter& W) { WriteSizes(W, FRowCount, [this](int I) { return RowHeights(I); }); },
        !FRowHeights.empty());
}

void TCustomGrid::Initialize() {
    FTopLeft = {FFixedCols, FFixedRows};
    FCurrent = FTopLeft;
    FAnchor = FCurrent;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    int OldColCount = FColCount, OldRowCount = FRowCount;
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    if (FFixedCols >= FColCount) FFixedCols = FColCount - 1;
    if (FFixedRows >= FRowCount) FFixedRows = FRowCount - 1;
    if (!FColWidths.empty()) FColWidths.resize(static_cast<size_t>(FColCount), FDefaultColWidth);
    if (!FTabStops.empty()) FTabStops.resize(static_cast<size_t>(FColCount), true);
    if (!FRowHeights.empty()) FRowHeights.resize(static_cast<size_t>(FRowCount), FDefaultRowHeight);
    auto Clamp = [](TGridCoord& C, int MinX, int MinY, int MaxX, int MaxY) {
        C.X = std::clamp(C.X, MinX, std::max(MinX, MaxX));
        C.Y = std::clamp(C.Y, MinY, std::max(MinY, MaxY));
    };
    Clamp(FCurrent, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
    Clamp(FAnchor, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
    Clamp(FTopLeft, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
    if (FInplaceCol >= FColCount || FInplaceRow >= FRowCount) FInplaceCol = FInplaceRow = -1;
    SizeChanged(OldColCount, OldRowCount);
    InvalidateGrid();
    if (HandleAllocated()) {
        UpdateScrollRange();
        UpdateEdit();
    }
}

void TCustomGrid::SetColCount(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FColCount) return;
    if (Value <= FFixedCols) FFixedCols = Value - 1;
    ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FRowCount) return;
    if (Value <= FFixedRows) FFixedRows = Value - 1;
    ChangeSize(FColCount, Value);
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value == FFixedCols) return;
    if (Value < 0) InvalidOp(SIndexOutOfRange);
    if (Value >= FColCount) InvalidOp(SFixedColTooBig);
    FFixedCols = Value;
    Initialize();
    InvalidateGrid();
    if (HandleAllocated()) UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value == FFixedRows) return;
    if (Value < 0) InvalidOp(SIndexOutOfRange);
    if (Value >= FRowCount) InvalidOp(SFixedRowTooBig);
    FFixedRows = Value;
    Initialize();
    InvalidateGrid();
    if (HandleAllocated()) UpdateScrollRange();
}

namespace {

// A size of a column or row: the list stays empty while every size is the default.
int SizeOf(const std::vector<int>& Sizes, int Count, int Default, int Index) {
    if (Index < 0 || Index >= Count) InvalidOp(SIndexOutOfRange);
    return Sizes.empty() ? Default : Sizes[static_cast<size_t>(Index)];
}

// Answers whether the size changed.
bool StoreSize(std::vector<int>& Sizes, int Count, int Default, int Index, int Value) {
    if (Index < 0 || Index >= Count) InvalidOp(SIndexOutOfRange);
    if (Sizes.empty()) {
        if (Value == Default) return false;
        Sizes.assign(static_cast<size_t>(Count), Default);
    }
    int& Slot = Sizes[static_cast<size_t>(Index)];
    if (Slot == Value) return false;
    Slot = Value;
    return true;
}

}  // namespace

int TCustomGrid::ColWidths(int Index) const { return SizeOf(FColWidths, FColCount, FDefaultColWidth, Index); }

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (!StoreSize(FColWidths, FColCount, FDefaultColWidth, Index, std::max(Value, -1))) return;
    InvalidateGrid();
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int Index) const {
    return SizeOf(FRowHeights, FRowCount, FDefaultRowHeight, Index);
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (!StoreSize(FRowHeights, FRowCount, FDefaultRowHeight, Index, std::max(Value, 0))) return;
    InvalidateGrid();
    RowHeightsChanged();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FColWidths.clear();
    FDefaultColWidth = Value;
    ColWidthsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FRowHeights.clear();
    FDefaultRowHeight = Value;
    RowHeightsChanged();
    InvalidateGrid();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FGridLineWidth) return;
    FGridLineWidth = Value;
    InvalidateGrid();
    if (HandleAllocated()) UpdateScrollRange();
}

bool TCustomGrid::TabStops(int Index) const {
    if (Index < 0 || Index >= FColCount) InvalidOp(SIndexOutOfRange);
    return FTabStops.empty() || FTabStops[static_cast<size_t>(Index)];
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
    if (Index < 0 || Index >= FColCount) InvalidOp(SIndexOutOfRange);
    if (FTabStops.empty()) {
        if (Value) return;
        FTabStops.assign(static_cast<size_t>(FColCount), true);
    }
    FTabStops[static_cast<size_t>(Index)] = Value;
}

int TCustomGrid::GridWidth() const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    return D.Horz.GridBoundary;
}

int TCustomGrid::GridHeight() const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    return D.Vert.GridBoundary;
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value == FOptions) return;
    if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
    FOptions = Value;
    if (!FEditorMode) {
        if (FOptions.Contains(goAlwaysShowEditor)) SetEditorMode(true);
        else HideEditor();
    }
    if (FOptions.Contains(goRowSelect)) SetSelection(Selection());
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    if (Value == FDefaultDrawing) return;
    FDefaultDrawing = Value;
    InvalidateGrid();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    if (Value == FFixedColor) return;
    FFixedColor = Value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& D) const {
    auto Fixed = [this](TGridAxisDrawInfo& A, bool Columns, TGridOptions LineOptions, int FixedCount,
                        int First, int Count) {
        A.Grid = this;
        A.Columns = Columns;
        A.EffectiveLineWidth = (FOptions * LineOptions).Empty() ? 0 : FGridLineWidth;
        A.FixedCellCount = FixedCount;
        A.FirstGridCell = First;
        A.GridCellCount = Count;
        A.FixedBoundary = 0;
        for (int I = 0; I < FixedCount; ++I) A.FixedBoundary += A.Advance(I);
    };
    Fixed(D.Horz, true, {goFixedVertLine, goVertLine}, FFixedCols, FTopLeft.X, FColCount);
    Fixed(D.Vert, false, {goFixedHorzLine, goHorzLine}, FFixedRows, FTopLeft.Y, FRowCount);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& D) const {
    CalcFixedInfo(D);
    TRect Client = ClientRect();
    auto Axis = [](TGridAxisDrawInfo& A, int Extent) {
        A.GridExtent = Extent;
        A.GridBoundary = A.FixedBoundary;
        A.FullVisBoundary = A.FixedBoundary;
        A.LastFullVisibleCell = A.FirstGridCell;
        for (int I = A.FirstGridCell; I < A.GridCellCount; ++I) {
            A.GridBoundary += A.Advance(I);
            if (A.GridBoundary > A.GridExtent + A.EffectiveLineWidth) {
                A.GridBoundary = A.GridExtent;
                break;
            }
            A.LastFullVisibleCell = I;
            A.FullVisBoundary = A.GridBoundary;
        }
    };
    Axis(D.Horz, Client.Width());
    Axis(D.Vert, Client.Height());
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const { return BoxRect(ACol, ARow, ACol, ARow); }

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TRect R;
    if (!AxisRange(D.Horz, ALeft, ARight, R.Left, R.Right) ||
        !AxisRange(D.Vert, ATop, ABottom, R.Top, R.Bottom))
        return TRect();
    return R;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridCoord C{AxisCellAt(D.Horz, X), AxisCellAt(D.Vert, Y)};
    if (X < 0 || Y < 0 || C.X < 0 || C.Y < 0) return {-1, -1};
    return C;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    TGridCoord C = MouseCoord(X, Y);
    ACol = C.X;
    ARow = C.Y;
}

int TCustomGrid::VisibleColCount() const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    return D.Horz.LastFullVisibleCell - FTopLeft.X + 1;
}

int TCustomGrid::VisibleRowCount() const {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    return D.Vert.LastFullVisibleCell - FTopLeft.Y + 1;
}

TGridCoord TCustomGrid::CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& D) const {
    auto Axis = [](const TGridAxisDrawInfo& A, int End) {
        int Room = A.GridExtent - A.FixedBoundary;
        int Result = End, Line = 0;
        for (int I = End; I >= A.FixedCellCount; --I) {
            Line += A.Advance(I);
            if (Line > Room + A.EffectiveLineWidth) break;
            Result = I;
        }
        return std::max(Result, A.FixedCellCount);
    };
    return {Axis(D.Horz, Coord.X), Axis(D.Vert, Coord.Y)};
}

// ---------------------------------------------------------------------------
// Invalidation
// ---------------------------------------------------------------------------

void TCustomGrid::InvalidateRect(const TGridRect& ARect) {
    if (!HandleAllocated()) return;
    TRect R = BoxRect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
    if (IsRectEmpty(R)) return;
    // The lines right of and below the block belong to it.
    TGridDrawInfo D;
    CalcFixedInfo(D);
    R.Right += D.Horz.EffectiveLineWidth;
    R.Bottom += D.Vert.EffectiveLineWidth;
    ::InvalidateRect(Handle(), &R, false);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateRect({ACol, ARow, ACol, ARow}); }
void TCustomGrid::InvalidateRow(int ARow) { InvalidateRect({0, ARow, FColCount - 1, ARow}); }
void TCustomGrid::InvalidateCol(int ACol) { InvalidateRect({ACol, 0, ACol, FRowCount - 1}); }

void TCustomGrid::InvalidateGrid() {
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, false);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TCustomGrid::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

bool TCustomGrid::IsActiveControl() const {
    if (TCustomForm* Form = GetParentForm(this)) return Form->ActiveControl() == this;
    if (!FHandle) return false;
    for (HWND H = GetFocus(); H; H = GetParent(H))
        if (H == FHandle) return true;
    return false;
}

// The lines of one of the four areas: after each cell, the line's width in
// OnColor, or in OffColor where the area draws no line of that direction
// (the room is there all the same, because the other area draws one).
void TCustomGrid::DrawLinesOf(const TGridDrawInfo& Info, int FirstCol, int FirstRow, const TRect& Area,
                              bool Horz, bool Vert, TColor OnColor, TColor OffColor) {
    TCanvas* C = Canvas();
    if (Info.Vert.EffectiveLineWidth > 0) {
        C->Brush()->SetColor(Horz ? OnColor : OffColor);
        int Y = Area.Top;
        for (int R = FirstRow; R < FRowCount && Y < Area.Bottom; ++R) {
            Y += RowHeights(R);
            C->FillRect(TRect(Area.Left, Y, Area.Right, Y + Info.Vert.EffectiveLineWidth));
            Y += Info.Vert.EffectiveLineWidth;
        }
    }
    if (Info.Horz.EffectiveLineWidth > 0) {
        C->Brush()->SetColor(Vert ? OnColor : OffColor);
        int X = Area.Left;
        for (int Col = FirstCol; Col < FColCount && X < Area.Right; ++Col) {
            int W = ColWidths(Col);
            if (W < 0) continue;
            X += W;
            C->FillRect(TRect(X, Area.Top, X + Info.Horz.EffectiveLineWidth, Area.Bottom));
            X += Info.Horz.EffectiveLineWidth;
        }
    }
}

void TCustomGrid::DrawCells(const TGridDrawInfo& Info, int FirstCol, int FirstRow, const TRect& Area,
                            TColor Background, TGridDrawState Include) {
    TCanvas* C = Canvas();
    TGridRect Sel = Selection();
    bool Focused = IsActiveControl();
    UINT Frame1 = 0, Frame2 = 0;
    if (FOptions.Contains(goFixedVertLine)) {
        Frame1 = BF_RIGHT;
        Frame2 = BF_LEFT;
    }
    if (FOptions.Contains(goFixedHorzLine)) {
        Frame1 |= BF_BOTTOM;
        Frame2 |= BF_TOP;
    }
    int Y = Area.Top;
    for (int R = FirstRow; R < FRowCount && Y < Area.Bottom; ++R) {
        int H = RowHeights(R);
        int X = Area.Left;
        for (int Col = FirstCol; Col < FColCount && X < Area.Right; ++Col) {
            int W = ColWidths(Col);
            if (W < 0) continue;
            TRect Where(X, Y, X + W, Y + H);
            X += W + Info.Horz.EffectiveLineWidth;
            if (W == 0 || H == 0 || !C->RectVisible(Where)) continue;
            TGridDrawState State = Include;
            if (Focused && R == FCurrent.Y && Col == FCurrent.X) State.Include(gdFocused);
            if (Sel.Contains(Col, R)) State.Include(gdSelected);
            // The editor stands over the focused cell and paints it.
            if (State.Contains(gdFocused) && FOptions.Contains(goEditing) && FEditorMode) continue;
            if (FDefaultDrawing) {
                C->Font()->Assign(Font());
                if (State.Contains(gdSelected) &&
                    (!State.Contains(gdFocused) ||
                     !(FOptions * TGridOptions{goDrawFocusSelected, goRowSelect}).Empty())) {
                    C->Brush()->SetColor(clHighlight);
                    C->Font()->SetColor(clHighlightText);
                } else {
                    C->Brush()->SetColor(Background);
                }
                C->FillRect(Where);
            }
            DrawCell(Col, R, Where, State);
            if (FDefaultDrawing && State.Contains(gdFixed) && Ctl3D() && (Frame1 | Frame2) != 0) {
                TRect Edge = Where;
                if ((Frame1 & BF_RIGHT) == 0) Edge.Right += Info.Horz.EffectiveLineWidth;
                else if ((Frame1 & BF_BOTTOM) == 0) Edge.Bottom += Info.Vert.EffectiveLineWidth;
                TRect E1 = Edge, E2 = Edge;
                C->DrawEdge(E1, BDR_RAISEDINNER, Frame1);
                C->DrawEdge(E2, BDR_RAISEDINNER, Frame2);
            }
            if (FDefaultDrawing && State.Contains(gdFocused) &&
                !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor)) &&
                !FOptions.Contains(goRowSelect))
                C->DrawFocusRect(Where);
        }
        Y += H + Info.Vert.EffectiveLineWidth;
    }
}

void TCustomGrid::Paint() {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    const TGridAxisDrawInfo &Hz = D.Horz, &Vt = D.Vert;
    if (Hz.EffectiveLineWidth > 0 || Vt.EffectiveLineWidth > 0) {
        TColor LineColor = ColorToRGB(Color()) == static_cast<TColorRef>(clSilver) ? clGray : clSilver;
        bool FixedH = FOptions.Contains(goFixedHorzLine), FixedV = FOptions.Contains(goFixedVertLine);
        DrawLinesOf(D, 0, 0, TRect(0, 0, Hz.FixedBoundary, Vt.FixedBoundary), FixedH, FixedV, clBlack,
                    FFixedColor);
        DrawLinesOf(D, FTopLeft.X, 0, TRect(Hz.FixedBoundary, 0, Hz.GridBoundary, Vt.FixedBoundary), FixedH,
                    FixedV, clBlack, FFixedColor);
        DrawLinesOf(D, 0, FTopLeft.Y, TRect(0, Vt.FixedBoundary, Hz.FixedBoundary, Vt.GridBoundary), FixedH,
                    FixedV, clBlack, FFixedColor);
        DrawLinesOf(D, FTopLeft.X, FTopLeft.Y,
                    TRect(Hz.FixedBoundary, Vt.FixedBoundary, Hz.GridBoundary, Vt.GridBoundary),
                    FOptions.Contains(goHorzLine), FOptions.Contains(goVertLine), LineColor, Color());
    }
    DrawCells(D, 0, 0, TRect(0, 0, Hz.FixedBoundary, Vt.FixedBoundary), FFixedColor, {gdFixed});
    DrawCells(D, FTopLeft.X, 0, TRect(Hz.FixedBoundary, 0, Hz.GridBoundary, Vt.FixedBoundary), FFixedColor,
              {gdFixed});
    DrawCells(D, 0, FTopLeft.Y, TRect(0, Vt.FixedBoundary, Hz.FixedBoundary, Vt.GridBoundary), FFixedColor,
              {gdFixed});
    DrawCells(D, FTopLeft.X, FTopLeft.Y,
              TRect(Hz.FixedBoundary, Vt.FixedBoundary, Hz.GridBoundary, Vt.GridBoundary), Color(), {});
    TCanvas* C = Canvas();
    if (FOptions.Contains(goRowSelect) && FDefaultDrawing && Focused()) {
        TGridRect Sel = Selection();
        TRect Focus = BoxRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
        if (!IsRectEmpty(Focus)) C->DrawFocusRect(Focus);
    }
    C->Brush()->SetColor(Color());
    if (Hz.GridBoundary < Hz.GridExtent)
        C->FillRect(TRect(Hz.GridBoundary, 0, Hz.GridExtent, Vt.GridBoundary));
    if (Vt.GridBoundary < Vt.GridExtent) C->FillRect(TRect(0, Vt.GridBoundary, Hz.GridExtent, Vt.GridExtent));
}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

// ---------------------------------------------------------------------------
// The hooks' defaults
// ---------------------------------------------------------------------------

bool TCustomGrid::SelectCell(int, int) { return true; }
bool TCustomGrid::CanEditAcceptKey(char) { return true; }
bool TCustomGrid::CanGridAcceptKey(WORD, TShiftState) { return true; }
bool TCustomGrid::CanEditModify() { return FCanEditModify; }

bool TCustomGrid::CanEditShow() {
    return (FOptions * TGridOptions{goRowSelect, goEditing}) == TGridOptions{goEditing} && FEditorMode &&
           !ComponentState().Contains(csDesigning) && HandleAllocated() &&
           (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

AnsiString TCustomGrid::GetEditText(int, int) { return {}; }
void TCustomGrid::SetEditText(int, int, const AnsiString&) {}
AnsiString TCustomGrid::GetEditMask(int, int) { return {}; }
int TCustomGrid::GetEditLimit() { return 0; }
TInplaceEdit* TCustomGrid::CreateEditor() { return NewComponent<TInplaceEdit>(this); }
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}

void TCustomGrid::ColWidthsChanged() {
    if (!HandleAllocated()) return;
    UpdateScrollRange();
    UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
    if (!HandleAllocated()) return;
    UpdateScrollRange();
    UpdateEdit();
}

void TCustomGrid::TopLeftChanged() {
    if (FEditorMode && FInplaceEdit) FInplaceEdit->UpdateLoc(CellRect(Col(), Row()));
}

void TCustomGrid::SizeChanged(int, int) {}

// ---------------------------------------------------------------------------
// The editor
// ---------------------------------------------------------------------------

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol != -1 && FInplaceRow != -1)
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    try {
        UpdateText();
    } catch (...) {
        FInplaceCol = FInplaceRow = -1;
        FInplaceEdit->Hide();
        throw;
    }
    FInplaceCol = FInplaceRow = -1;
    FInplaceEdit->Hide();
}

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    auto Load = [this] {
        FInplaceCol = FCurrent.X;
        FInplaceRow = FCurrent.Y;
        FInplaceEdit->UpdateContents();
        FCanEditModify = true;
        FInplaceEdit->SelectAll();
    };
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetParent(this);
        Load();
    } else if (FCurrent.X != FInplaceCol || FCurrent.Y != FInplaceRow) {
        HideEdit();
        Load();
    }
    if (CanEditShow()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    FEditorMode = false;
    HideEdit();
}

void TCustomGrid::ShowEditorChar(char Ch) {
    ShowEditor();
    if (FInplaceEdit && FInplaceEdit->Visible())
        PostMessage(FInplaceEdit->Handle(), WM_CHAR, static_cast<unsigned char>(Ch), 0);
}

void TCustomGrid::InvalidateEditor() {
    FInplaceCol = FInplaceRow = -1;
    UpdateEdit();
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (!Value) {
        HideEditor();
        return;
    }
    ShowEditor();
    if (FInplaceEdit) FInplaceEdit->Deselect();
}

// ---------------------------------------------------------------------------
// Moving the current cell, the selection and the view
// ---------------------------------------------------------------------------

TGridRect TCustomGrid::Selection() const { return NormalGridRect(FCurrent, FAnchor); }

void TCustomGrid::SetSelection(const TGridRect& Value) {
    TGridRect Old = Selection();
    FAnchor = Value.TopLeft();
    FCurrent = Value.BottomRight();
    if (FOptions.Contains(goRowSelect)) {
        FAnchor.X = FColCount - 1;
        FCurrent.X = FFixedCols;
    }
    ClampInView(FCurrent);
    SelectionMoved(Old);
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) {
    InvalidateRect(OldSel);
    InvalidateRect(Selection());
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp(SIndexOutOfRange);
    if (!SelectCell(ACol, ARow)) return;
    TGridRect Old = Selection();
    FCurrent = {ACol, ARow};
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
    if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
    }
    if (FOptions.Contains(goRowSelect)) FCurrent.X = FFixedCols;
    if (Show) ClampInView(FCurrent);
    SelectionMoved(Old);
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
    if (!FOptions.Contains(goRangeSelect)) {
        MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
        return;
    }
    TGridRect Old = Selection();
    FAnchor = NewAnchor;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
    ClampInView(NewAnchor);
    SelectionMoved(Old);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    MoveCurrent(ACol, ARow, MoveAnchor, Show);
    UpdateEdit();
    Click();
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) { MoveColRow(ACol, ARow, MoveAnchor, true); }

void TCustomGrid::SetCol(int Value) {
    if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::SetLeftCol(int Value) {
    Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, FColCount - 1));
    if (Value != FTopLeft.X) MoveTopLeft(Value, FTopLeft.Y);
}

void TCustomGrid::SetTopRow(int Value) {
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (Value != FTopLeft.Y) MoveTopLeft(FTopLeft.X, Value);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
    TGridCoord Old = FTopLeft;
    FTopLeft = {ALeft, ATop};
    TopLeftMoved(Old);
}

void TCustomGrid::TopLeftMoved(const TGridCoord&) {
    UpdateScrollPos();
    InvalidateGrid();
    TopLeftChanged();
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
    if (!HandleAllocated()) return;
    TGridDrawInfo D;
    CalcDrawInfo(D);
    bool BeyondX = Coord.X >= FFixedCols && (Coord.X > D.Horz.LastFullVisibleCell || Coord.X < FTopLeft.X);
    bool BeyondY = Coord.Y >= FFixedRows && (Coord.Y > D.Vert.LastFullVisibleCell || Coord.Y < FTopLeft.Y);
    if (!BeyondX && !BeyondY) return;
    TGridCoord Max = CalcMaxTopLeft(Coord, D);
    TGridCoord New = FTopLeft;
    if (Coord.X >= FFixedCols) {
        if (Coord.X < FTopLeft.X) New.X = Coord.X;
        else if (Coord.X > D.Horz.LastFullVisibleCell) New.X = Max.X;
    }
    if (Coord.Y >= FFixedRows) {
        if (Coord.Y < FTopLeft.Y) New.Y = Coord.Y;
        else if (Coord.Y > D.Vert.LastFullVisibleCell) New.Y = Max.Y;
    }
    MoveTopLeft(New.X, New.Y);
}

namespace {

// Moves one entry of a per-column or per-row list, and an index that follows it.
template <class T>
void MoveEntry(std::vector<T>& List, int From, int To) {
    if (List.empty()) return;
    T Value = List[static_cast<size_t>(From)];
    List.erase(List.begin() + From);
    List.insert(List.begin() + To, Value);
}

void MoveIndex(int& Index, int From, int To) {
    if (Index == From) Index = To;
    else if (From < To && Index > From && Index <= To) --Index;
    else if (From > To && Index >= To && Index < From) ++Index;
}

}  // namespace

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount)
        InvalidOp(SIndexOutOfRange);
    MoveEntry(FColWidths, FromIndex, ToIndex);
    if (!FTabStops.empty()) {
        bool Stop = FTabStops[static_cast<size_t>(FromIndex)];
        FTabStops.erase(FTabStops.begin() + FromIndex);
        FTabStops.insert(FTabStops.begin() + ToIndex, Stop);
    }
    MoveIndex(FCurrent.X, FromIndex, ToIndex);
    MoveIndex(FAnchor.X, FromIndex, ToIndex);
    if (FInplaceCol != -1) MoveIndex(FInplaceCol, FromIndex, ToIndex);
    InvalidateGrid();
    ColumnMoved(FromIndex, ToIndex);
    if (!FColWidths.empty()) ColWidthsChanged();
    UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex) return;
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount)
        InvalidOp(SIndexOutOfRange);
    MoveEntry(FRowHeights, FromIndex, ToIndex);
    MoveIndex(FCurrent.Y, FromIndex, ToIndex);
    MoveIndex(FAnchor.Y, FromIndex, ToIndex);
    if (FInplaceRow != -1) MoveIndex(FInplaceRow, FromIndex, ToIndex);
    InvalidateGrid();
    RowMoved(FromIndex, ToIndex);
    if (!FRowHeights.empty()) RowHeightsChanged();
    UpdateEdit();
}

int TCustomGrid::NextShownCol(int Start, int Step, int Lowest) const {
    for (int C = Start + Step; C >= Lowest && C < FColCount; C += Step)
        if (!CellHidden(C)) return C;
    return Start - Step;
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    if (!CanGridAcceptKey(Key, Shift)) {
        Key = 0;
        return;
    }
    TGridDrawInfo D;
    CalcDrawInfo(D);
    int PageWidth = std::max(1, D.Horz.LastFullVisibleCell - FTopLeft.X);
    int PageHeight = std::max(1, D.Vert.LastFullVisibleCell - FTopLeft.Y);
    bool RowSelect = FOptions.Contains(goRowSelect);
    TGridCoord NewCurrent = FCurrent, NewTopLeft = FTopLeft;
    // A hidden column is never current: a step onto one goes on to the next shown column.
    auto StepCol = [this](int From, int Step) {
        for (int C = From + Step; C >= FFixedCols && C < FColCount; C += Step)
            if (!CellHidden(C)) return C;
        return From;
    };
    auto FirstShown = [&] { return CellHidden(FFixedCols) ? StepCol(FFixedCols, 1) : FFixedCols; };
    auto LastShown = [&] { return CellHidden(FColCount - 1) ? StepCol(FColCount - 1, -1) : FColCount - 1; };
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_UP: --NewTopLeft.Y; break;
        case VK_DOWN: ++NewTopLeft.Y; break;
        case VK_LEFT:
            if (!RowSelect) {
                NewCurrent.X -= PageWidth;
                NewTopLeft.X -= PageWidth;
            }
            break;
        case VK_RIGHT:
            if (!RowSelect) {
                NewCurrent.X += PageWidth;
                NewTopLeft.X += PageWidth;
            }
            break;
        case VK_PRIOR: NewCurrent.Y = FTopLeft.Y; break;
        case VK_NEXT: NewCurrent.Y = D.Vert.LastFullVisibleCell; break;
        case VK_HOME:
            NewCurrent.X = FirstShown();
            NewCurrent.Y = FFixedRows;
            break;
        case VK_END:
            NewCurrent.X = LastShown();
            NewCurrent.Y = FRowCount - 1;
            break;
        default: break;
        }
    } else {
        switch (Key) {
        case VK_UP: --NewCurrent.Y; break;
        case VK_DOWN: ++NewCurrent.Y; break;
        case VK_LEFT:
            if (RowSelect) --NewCurrent.Y;
            else NewCurrent.X = StepCol(NewCurrent.X, -1);
            break;
        case VK_RIGHT:
            if (RowSelect) ++NewCurrent.Y;
            else NewCurrent.X = StepCol(NewCurrent.X, 1);
            break;
        case VK_NEXT:
            NewCurrent.Y += PageHeight;
            NewTopLeft.Y += PageHeight;
            break;
        case VK_PRIOR:
            NewCurrent.Y -= PageHeight;
            NewTopLeft.Y -= PageHeight;
            break;
        case VK_HOME:
            if (RowSelect) NewCurrent.Y = FFixedRows;
            else NewCurrent.X = FirstShown();
            break;
        case VK_END:
            if (RowSelect) NewCurrent.Y = FRowCount - 1;
            else NewCurrent.X = LastShown();
            break;
        case VK_TAB:
            if (!Shift.Contains(ssAlt)) {
                // Round the grid, row after row, to the next column that
                // is a tab stop and shows; back to the start when none is.
                bool Back = Shift.Contains(ssShift);
                Shift = {};
                int Steps = (FColCount - FFixedCols) * (FRowCount - FFixedRows);
                do {
                    if (Back) {
                        if (--NewCurrent.X < FFixedCols) {
                            NewCurrent.X = FColCount - 1;
                            if (--NewCurrent.Y < FFixedRows) NewCurrent.Y = FRowCount - 1;
                        }
                    } else if (++NewCurrent.X >= FColCount) {
                        NewCurrent.X = FFixedCols;
                        if (++NewCurrent.Y >= FRowCount) NewCurrent.Y = FFixedRows;
                    }
                } while (--Steps > 0 && (!TabStops(NewCurrent.X) || CellHidden(NewCurrent.X)) &&
                         NewCurrent != FCurrent);
            }
            break;
        case VK_F2: SetEditorMode(true); break;
        default: break;
        }
    }
    TGridCoord Max = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, D);
    NewTopLeft.X = std::clamp(NewTopLeft.X, FFixedCols, std::max(FFixedCols, Max.X));
    NewTopLeft.Y = std::clamp(NewTopLeft.Y, FFixedRows, std::max(FFixedRows, Max.Y));
    if (NewTopLeft != FTopLeft) MoveTopLeft(NewTopLeft.X, NewTopLeft.Y);
    NewCurrent.X = std::clamp(NewCurrent.X, FFixedCols, std::max(FFixedCols, FColCount - 1));
    NewCurrent.Y = std::clamp(NewCurrent.Y, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (CellHidden(NewCurrent.X)) {
        int Shown = StepCol(NewCurrent.X, NewCurrent.X >= FCurrent.X ? 1 : -1);
        NewCurrent.X = CellHidden(Shown) ? FCurrent.X : Shown;
    }
    if (NewCurrent != FCurrent) FocusCell(NewCurrent.X, NewCurrent.Y, !Shift.Contains(ssShift));
}

void TCustomGrid::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (!FOptions.Contains(goAlwaysShowEditor) && Key == '\r') {
        if (FEditorMode) HideEditor();
        else ShowEditor();
        Key = 0;
    }
}

void TCustomGrid::WMChar(TMessage& Message) {
    unsigned char Ch = static_cast<unsigned char>(Message.CharCode());
    if (FOptions.Contains(goEditing) && (Ch == 8 || Ch >= 32)) ShowEditorChar(static_cast<char>(Ch));
    else TCustomControl::WMChar(Message);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (FOptions.Contains(goRowSelect)) return;
    if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
    if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

// ---------------------------------------------------------------------------
// The mouse
// ---------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                  TGridDrawInfo& FixedInfo) {
    State = gsNormal;
    Index = -1;
    if (!FOptions.Contains(goColSizing) && !FOptions.Contains(goRowSizing)) return;
    FixedInfo.Vert.GridExtent = ClientHeight();
    FixedInfo.Horz.GridExtent = ClientWidth();
    // Near an edge after a scrolling cell, within a band at least 7 pixels wide.
    auto AxisState = [&](const TGridAxisDrawInfo& A, int Pos, TGridState NewState) {
        int Line = A.FixedBoundary, Range = A.EffectiveLineWidth, Back = 0;
        if (Range < 7) {
            Range = 7;
            Back = (Range - A.EffectiveLineWidth) / 2;
        }
        for (int I = A.FirstGridCell; I < A.GridCellCount; ++I) {
            if (A.GetExtent(I) < 0) continue;
            Line += A.GetExtent(I);
            if (Line > A.GridBoundary) break;
            if (Pos >= Line - Back && Pos <= Line - Back + Range) {
                State = NewState;
                SizingPos = Line;
                SizingOfs = Line - Pos;
                Index = I;
                return;
            }
            Line += A.EffectiveLineWidth;
        }
        if (A.GridBoundary == A.GridExtent && Pos >= A.GridExtent - Back && Pos <= A.GridExtent) {
            State = NewState;
            SizingPos = A.GridExtent;
            SizingOfs = A.GridExtent - Pos;
            Index = A.LastFullVisibleCell + 1;
        }
    };
    if (X > FixedInfo.Horz.FixedBoundary && FOptions.Contains(goColSizing)) {
        if (Y >= FixedInfo.Vert.FixedBoundary) return;
        AxisState(FixedInfo.Horz, X, gsColSizing);
    } else if (Y > FixedInfo.Vert.FixedBoundary && FOptions.Contains(goRowSizing)) {
        if (X >= FixedInfo.Horz.FixedBoundary) return;
        AxisState(FixedInfo.Vert, Y, gsRowSizing);
    }
}

bool TCustomGrid::Sizing(int X, int Y) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridState State = FGridState;
    int Index = 0, Pos = 0, Ofs = 0;
    if (State == gsNormal) CalcSizingState(X, Y, State, Index, Pos, Ofs, D);
    return State != gsNormal;
}

void TCustomGrid::DrawSizingLine(const TGridDrawInfo& D) {
    TCanvas* C = Canvas();
    TPen Saved;
    Saved.Assign(C->Pen());
    C->Pen()->SetStyle(psDot);
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(clWhite);
    int OldBkMode = C->SetBkMode(TRANSPARENT);  // the gaps between the dots stay as they are
    if (FGridState == gsRowSizing) {
        C->MoveTo(0, FSizingPos);
        C->LineTo(D.Horz.GridBoundary, FSizingPos);
    } else {
        C->MoveTo(FSizingPos, 0);
        C->LineTo(FSizingPos, D.Vert.GridBoundary);
    }
    C->SetBkMode(OldBkMode);
    C->Pen()->Assign(&Saved);
}

// The mark of where a moved column or row would land: a band inverted at the
// edge it would take; drawn again, it goes.
void TCustomGrid::DrawMove() {
    if (FMovePos < 0) return;
    TRect R = FGridState == gsRowMoving ? CellRect(0, FMovePos) : CellRect(FMovePos, 0);
    if (IsRectEmpty(R)) return;
    TRect Band;
    if (FGridState == gsRowMoving) {
        int Pos = FMovePos > FMoveIndex ? R.Bottom : R.Top;
        Band = TRect(0, Pos - 1, ClientWidth(), Pos + 2);
    } else {
        int Pos = FMovePos > FMoveIndex ? R.Right : R.Left;
        Band = TRect(Pos - 1, 0, Pos + 2, ClientHeight());
    }
    Canvas()->InvertRect(Band);
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!ComponentState().Contains(csDesigning) && CanFocus()) {
        SetFocus();
        if (!IsActiveControl()) {
            SetMouseCapture(false);
            return;
        }
    }
    if (Button == mbLeft && Shift.Contains(ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, D);
        if (FGridState != gsNormal) {
            DrawSizingLine(D);
        } else {
            TGridCoord Cell = MouseCoord(X, Y);
            if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
                if (FOptions.Contains(goEditing)) {
                    if (Cell == FCurrent) {
                        ShowEditor();
                        if (FInplaceEdit) FInplaceEdit->FClickTime = GetMessageTime();
                    } else {
                        MoveCurrent(Cell.X, Cell.Y, true, true);
                        UpdateEdit();
                    }
                    Click();
                } else {
                    FGridState = gsSelecting;
                    FTimerOn = SetTimer(Handle(), ScrollTimerId, ScrollTimerInterval) != 0;
                    if (Shift.Contains(ssShift)) MoveAnchor(Cell);
                    else MoveCurrent(Cell.X, Cell.Y, true, true);
                }
            } else if (FOptions.Contains(goRowMoving) && Cell.X >= 0 && Cell.X < FFixedCols &&
                       Cell.Y >= FFixedRows) {
                FMoveIndex = FMovePos = Cell.Y;
                FGridState = gsRowMoving;
                Update();
                DrawMove();
                FMoveDrawn = true;
                FTimerOn = SetTimer(Handle(), ScrollTimerId, ScrollTimerInterval) != 0;
            } else if (FOptions.Contains(goColMoving) && Cell.Y >= 0 && Cell.Y < FFixedRows &&
                       Cell.X >= FFixedCols) {
                FMoveIndex = FMovePos = Cell.X;
                FGridState = gsColMoving;
                Update();
                DrawMove();
                FMoveDrawn = true;
                FTimerOn = SetTimer(Handle(), ScrollTimerId, ScrollTimerInterval) != 0;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    switch (FGridState) {
    case gsSelecting: {
        TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows && Cell.X <= D.Horz.LastFullVisibleCell + 1 &&
            Cell.Y <= D.Vert.LastFullVisibleCell + 1 && Cell != FAnchor)
            MoveAnchor(Cell);
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        // Only the position along the moving axis counts: the mouse may leave the title row.
        bool Cols = FGridState == gsColMoving;
        const TGridAxisDrawInfo& A = Cols ? D.Horz : D.Vert;
        int Target = AxisCellAt(A, Cols ? X : Y);
        if (Target >= A.FixedCellCount && Target <= A.LastFullVisibleCell + 1 && Target != FMovePos) {
            DrawMove();
            FMovePos = Target;
            DrawMove();
        }
        break;
    }
    case gsRowSizing:
    case gsColSizing:
        DrawSizingLine(D);
        FSizingPos = (FGridState == gsRowSizing ? Y : X) + FSizingOfs;
        DrawSizingLine(D);
        break;
    default: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridDrawInfo D;
    CalcDrawInfo(D);
    // The new size: from the edge of the cell's start to where the line was let go.
    auto SizeFromLine = [this](const TGridAxisDrawInfo& A) {
        int Start;
        if (FSizingIndex < A.FixedCellCount) {
            Start = 0;
            for (int I = 0; I < FSizingIndex; ++I) Start += A.Advance(I);
        } else {
            Start = A.FixedBoundary;
            for (int I = A.FirstGridCell; I < FSizingIndex; ++I) Start += A.Advance(I);
        }
        return FSizingPos - Start;
    };
    try {
        switch (FGridState) {
        case gsSelecting:
            MouseMove(Shift, X, Y);
            CancelMode();
            UpdateEdit();
            Click();
            break;
        case gsRowSizing:
        case gsColSizing: {
            DrawSizingLine(D);
            TGridState State = FGridState;
            int NewSize = SizeFromLine(State == gsColSizing ? D.Horz : D.Vert);
            if (NewSize > 1 && FSizingIndex >= 0) {
                if (State == gsColSizing && FSizingIndex < FColCount) SetColWidths(FSizingIndex, NewSize);
                else if (State == gsRowSizing && FSizingIndex < FRowCount)
                    SetRowHeights(FSizingIndex, NewSize);
            }
            break;
        }
        case gsColMoving:
        case gsRowMoving: {
            if (FMoveDrawn) DrawMove();
            FMoveDrawn = false;
            if (FTimerOn) KillTimer(Handle(), ScrollTimerId);
            FTimerOn = false;
            TGridState State = FGridState;
            FGridState = gsNormal;
            if (FMoveIndex != FMovePos) {
                if (State == gsColMoving) MoveColumn(FMoveIndex, FMovePos);
                else MoveRow(FMoveIndex, FMovePos);
            }
            UpdateEdit();
            break;
        }
        default: UpdateEdit(); break;
        }
        TCustomControl::MouseUp(Button, Shift, X, Y);
    } catch (...) {
        FGridState = gsNormal;
        throw;
    }
    FGridState = gsNormal;
}

void TCustomGrid::CancelMode() {
    if (FTimerOn && HandleAllocated()) KillTimer(Handle(), ScrollTimerId);
    FTimerOn = false;
    if (FGridState == gsRowSizing || FGridState == gsColSizing) {
        TGridDrawInfo D;
        CalcDrawInfo(D);
        DrawSizingLine(D);
    } else if ((FGridState == gsColMoving || FGridState == gsRowMoving) && FMoveDrawn) {
        DrawMove();
        FMoveDrawn = false;
    }
}

void TCustomGrid::WMCancelMode(TMessage& Message) {
    TCustomControl::WMCancelMode(Message);
    CancelMode();
    FGridState = gsNormal;
}

void TCustomGrid::CMCancelMode(TMessage& Message) {
    TCustomControl::CMCancelMode(Message);
    if (Message.LParam != PointerToLParam(static_cast<TControl*>(this))) {
        CancelMode();
        FGridState = gsNormal;
    }
}

void TCustomGrid::WMTimer(TMessage& Message) {
    if (Message.WParam != ScrollTimerId ||
        (FGridState != gsSelecting && FGridState != gsColMoving && FGridState != gsRowMoving)) {
        TCustomControl::WMTimer(Message);
        return;
    }
    TPoint P;
    GetCursorPos(P);
    P = ScreenToClient(P);
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridScrollDirection Direction;
    if (P.x < D.Horz.FixedBoundary) Direction.Include(sdLeft);
    else if (P.x > D.Horz.FullVisBoundary) Direction.Include(sdRight);
    if (P.y < D.Vert.FixedBoundary) Direction.Include(sdUp);
    else if (P.y > D.Vert.FullVisBoundary) Direction.Include(sdDown);
    if (FGridState == gsSelecting) {
        if (!Direction.Empty()) TimedScroll(Direction);
        return;
    }
    // A column or row being moved: the view follows the mouse past the edge.
    bool Cols = FGridState == gsColMoving;
    int Left = FTopLeft.X, Top = FTopLeft.Y;
    TGridCoord Max = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, D);
    if (Cols && Direction.Contains(sdRight) && Left < Max.X) ++Left;
    if (Cols && Direction.Contains(sdLeft) && Left > FFixedCols) --Left;
    if (!Cols && Direction.Contains(sdDown) && Top < Max.Y) ++Top;
    if (!Cols && Direction.Contains(sdUp) && Top > FFixedRows) --Top;
    if (Left == FTopLeft.X && Top == FTopLeft.Y) return;
    if (FMoveDrawn) DrawMove();
    MoveTopLeft(Left, Top);
    Update();
    CalcDrawInfo(D);
    int Edge = Cols ? (Direction.Contains(sdRight) ? D.Horz.LastFullVisibleCell : FTopLeft.X)
                    : (Direction.Contains(sdDown) ? D.Vert.LastFullVisibleCell : FTopLeft.Y);
    FMovePos = Edge;
    DrawMove();
    FMoveDrawn = true;
}

void TCustomGrid::TimedScroll(TGridScrollDirection Direction) {
    TGridCoord NewAnchor = FAnchor;
    if (Direction.Contains(sdLeft) && FAnchor.X > FFixedCols) --NewAnchor.X;
    if (Direction.Contains(sdRight) && FAnchor.X < FColCount - 1) ++NewAnchor.X;
    if (Direction.Contains(sdUp) && FAnchor.Y > FFixedRows) --NewAnchor.Y;
    if (Direction.Contains(sdDown) && FAnchor.Y < FRowCount - 1) ++NewAnchor.Y;
    if (NewAnchor != FAnchor) MoveAnchor(NewAnchor);
}

void TCustomGrid::WMSetCursor(TMessage& Message) {
    if (LoWord(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT && FGridState == gsNormal) {
        TPoint P;
        GetCursorPos(P);
        P = ScreenToClient(P);
        TGridDrawInfo D;
        CalcDrawInfo(D);
        TGridState State;
        int Index = 0, Pos = 0, Ofs = 0;
        CalcSizingState(P.x, P.y, State, Index, Pos, Ofs, D);
        if (State != gsNormal) {
            ::SetCursor(Screen->Cursors(State == gsRowSizing ? crVSplit : crHSplit));
            Message.Result = 1;
            return;
        }
    }
    TCustomControl::WMSetCursor(Message);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
    if (FCurrent.Y < FRowCount - 1) SetRow(FCurrent.Y + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
    if (FCurrent.Y > FFixedRows) SetRow(FCurrent.Y - 1);
    return true;
}

// ---------------------------------------------------------------------------
// Focus and the window
// ---------------------------------------------------------------------------

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}

void TCustomGrid::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    if (!FInplaceEdit || !FInplaceEdit->Focused()) {
        InvalidateRect(Selection());
        UpdateEdit();
    }
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    InvalidateRect(Selection());
    if (FInplaceEdit && FInplaceEdit->HandleAllocated() &&
        WParamToHandle(Message.WParam) != FInplaceEdit->Handle())
        HideEdit();
}

void TCustomGrid::CMFontChanged(TMessage& Message) {
    if (FInplaceEdit) FInplaceEdit->SetFont(Font());
    TCustomControl::CMFontChanged(Message);
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_TABSTOP;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    Params.WindowClass.Style = CS_DBLCLKS;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) {
            Params.Style &= ~WS_BORDER;
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        } else {
            Params.Style |= WS_BORDER;
        }
    }
}

void TCustomGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::WMSize(TMessage& Message) {
    TCustomControl::WMSize(Message);
    if (HandleAllocated()) UpdateScrollRange();
}

// The bars count scrolling cells: the position is the first scrolling
// cell shown, less the fixed ones; the range ends where the last cell shows whole.
void TCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated() || FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    try {
        for (int Pass = 0; Pass < 2; ++Pass) {  // a bar that comes or goes changes the client area
            TGridDrawInfo D;
            CalcDrawInfo(D);
            TGridCoord Max = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, D);
            TScrollInfo Info;
            Info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
            if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
                Info.nMax = std::max(0, Max.X - FFixedCols);
                Info.nPos = std::clamp(FTopLeft.X - FFixedCols, 0, Info.nMax);
                SetScrollInfo(FHandle, SB_HORZ, Info, true);
            }
            if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
                Info.nMax = std::max(0, Max.Y - FFixedRows);
                Info.nPos = std::clamp(FTopLeft.Y - FFixedRows, 0, Info.nMax);
                SetScrollInfo(FHandle, SB_VERT, Info, true);
            }
            TGridCoord New{std::min(FTopLeft.X, std::max(Max.X, FFixedCols)),
                           std::min(FTopLeft.Y, std::max(Max.Y, FFixedRows))};
            if (New != FTopLeft) MoveTopLeft(New.X, New.Y);
        }
    } catch (...) {
        FUpdatingScrollBars = false;
        throw;
    }
    FUpdatingScrollBars = false;
}

void TCustomGrid::UpdateScrollPos() {
    if (!HandleAllocated()) return;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        SetScrollPos(FHandle, SB_HORZ, FTopLeft.X - FFixedCols, true);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        SetScrollPos(FHandle, SB_VERT, FTopLeft.Y - FFixedRows, true);
}

void TCustomGrid::ScrollBarMessage(int Bar, TMessage& Message) {
    bool Horz = Bar == SB_HORZ;
    TGridDrawInfo D;
    CalcDrawInfo(D);
    TGridCoord Max = CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, D);
    int Fixed = Horz ? FFixedCols : FFixedRows;
    int Current = Horz ? FTopLeft.X : FTopLeft.Y;
    int Last = std::max(Fixed, Horz ? Max.X : Max.Y);
    const TGridAxisDrawInfo& A = Horz ? D.Horz : D.Vert;
    int Page = std::max(1, A.LastFullVisibleCell - Current);
    int New = Current;
    switch (LoWord(Message.WParam)) {
    case SB_LINEUP: --New; break;
    case SB_LINEDOWN: ++New; break;
    case SB_PAGEUP: New -= Page; break;
    case SB_PAGEDOWN: New += Page; break;
    case SB_THUMBTRACK:
        if (!FOptions.Contains(goThumbTracking)) return;
        [[fallthrough]];
    case SB_THUMBPOSITION: New = Fixed + static_cast<int16_t>(HiWord(Message.WParam)); break;
    case SB_TOP: New = Fixed; break;
    case SB_BOTTOM: New = Last; break;
    default: return;
    }
    New = std::clamp(New, Fixed, Last);
    if (New == Current) return;
    if (Horz) MoveTopLeft(New, FTopLeft.Y);
    else MoveTopLeft(FTopLeft.X, New);
}

void TCustomGrid::WMHScroll(TMessage& Message) {
    if (Message.LParam) {
        TCustomControl::WMHScroll(Message);
        return;
    }
    ScrollBarMessage(SB_HORZ, Message);
}

void TCustomGrid::WMVScroll(TMessage& Message) {
    if (Message.LParam) {
        TCustomControl::WMVScroll(Message);
        return;
    }
    ScrollBarMessage(SB_VERT, Message);
}

// ---------------------------------------------------------------------------
// TDrawGrid
// ---------------------------------------------------------------------------

void TDrawGrid::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T,
                              {"Align",      "Anchors",     "Color",       "Constraints",    "Enabled",
                               "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                               "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                               "OnDblClick", "OnEnter",     "OnExit",      "OnKeyDown",      "OnKeyPress",
                               "OnKeyUp",    "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnMouseWheel"});
    using C = TDrawGrid;
    T.Event("OnDrawCell", &C::OnDrawCell);
    T.Event("OnSelectCell", &C::OnSelectCell);
    T.Event("OnGetEditText", &C::OnGetEditText);
    T.Event("OnGetEditMask", &C::OnGetEditMask);
    T.Event("OnSetEditText", &C::OnSetEditText);
    T.Event("OnColumnMoved", &C::OnColumnMoved);
    T.Event("OnRowMoved", &C::OnRowMoved);
    T.Event("OnTopLeftChanged", &C::OnTopLeftChanged);
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (Assigned(OnDrawCell)) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
    bool Result = true;
    if (Assigned(OnSelectCell)) OnSelectCell(this, ACol, ARow, Result);
    return Result;
}

AnsiString TDrawGrid::GetEditText(int ACol, int ARow) {
    AnsiString Result;
    if (Assigned(OnGetEditText)) OnGetEditText(this, ACol, ARow, Result);
    return Result;
}

AnsiString TDrawGrid::GetEditMask(int ACol, int ARow) {
    AnsiString Result;
    if (Assigned(OnGetEditMask)) OnGetEditMask(this, ACol, ARow, Result);
    return Result;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    if (Assigned(OnSetEditText)) OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (Assigned(OnColumnMoved)) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (Assigned(OnRowMoved)) OnRowMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (Assigned(OnTopLeftChanged)) OnTopLeftChanged(this);
}

// ---------------------------------------------------------------------------
// TStringGrid
// ---------------------------------------------------------------------------

// A column's or row's cells seen as a list of lines.
class TStringGrid::TCellLine : public TStrings {
public:
    TCellLine(TStringGrid* Grid, bool IsCol, int Index) : FGrid(Grid), FIsCol(IsCol), FIndex(Index) {}
    int Count() const override { return FIsCol ? FGrid->RowCount() : FGrid->ColCount(); }
    AnsiString Get(int I) const override { return FGrid->Cells(ColOf(I), RowOf(I)); }
    void Put(int I, const AnsiString& S) override { FGrid->SetCells(ColOf(I), RowOf(I), S); }
    TObject* GetObject(int I) const override { return FGrid->Objects(ColOf(I), RowOf(I)); }
    void PutObject(int I, TObject* O) override { FGrid->SetObjects(ColOf(I), RowOf(I), O); }
    // The line has as many places as the grid: adding fills the first empty
    // one, and neither inserting nor deleting changes the count.
    void Insert(int I, const AnsiString& S) override {
        if (I < 0 || I >= Count())
            throw EStringListError("List index out of bounds (" + std::to_string(I) + ")");
        Put(I, S);
    }
    int Add(const AnsiString& S) override {
        int I = FAdded++;
        if (I < Count()) Put(I, S);
        return I;
    }
    void Delete(int I) override { Put(I, {}); }
    void Clear() override {
        for (int I = 0; I < Count(); ++I) {
            Put(I, {});
            PutObject(I, nullptr);
        }
        FAdded = 0;
    }
    void SetUpdateState(bool Updating) override {
        if (Updating) FAdded = 0;
    }
    int Index() const { return FIndex; }
    bool IsCol() const { return FIsCol; }

private:
    int ColOf(int I) const { return FIsCol ? FIndex : I; }
    int RowOf(int I) const { return FIsCol ? I : FIndex; }
    TStringGrid* FGrid;
    bool FIsCol;
    int FIndex;
    int FAdded = 0;
};

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}
TStringGrid::~TStringGrid() = default;

void TStringGrid::DescribeProperties(TPropertyTable&) {}

TStringGrid::TCell* TStringGrid::CellAt(int ACol, int ARow, bool Create) {
    if (ACol < 0 || ARow < 0) InvalidOp(SIndexOutOfRange);
    size_t C = static_cast<size_t>(ACol), R = static_cast<size_t>(ARow);
    if (C >= FCells.size()) {
        if (!Create) return nullptr;
        FCells.resize(C + 1);
    }
    std::vector<TCell>& Column = FCells[C];
    if (R >= Column.size()) {
        if (!Create) return nullptr;
        Column.resize(R + 1);
    }
    return &Column[R];
}

const TStringGrid::TCell* TStringGrid::CellAt(int ACol, int ARow) const {
    return const_cast<TStringGrid*>(this)->CellAt(ACol, ARow, false);
}

AnsiString TStringGrid::Cells(int ACol, int ARow) const {
    const TCell* C = CellAt(ACol, ARow);
    return C ? C->Text : AnsiString();
}

void TStringGrid::SetCells(int ACol, int ARow, const AnsiString& Value) {
    TCell* C = CellAt(ACol, ARow, !Value.empty());
    if (!C || C->Text == Value) return;
    C->Text = Value;
    if (ACol < ColCount() && ARow < RowCount()) {
        InvalidateCell(ACol, ARow);
        // Text set by the program while the editor shows that cell reaches the editor.
        if (!FEditUpdate && ACol == FInplaceCol && ARow == FInplaceRow) InvalidateEditor();
    }
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    const TCell* C = CellAt(ACol, ARow);
    return C ? C->Object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    TCell* C = CellAt(ACol, ARow, Value != nullptr);
    if (C) C->Object = Value;
}

TStrings* TStringGrid::Cols(int Index) {
    if (Index < 0 || Index >= ColCount()) InvalidOp(SIndexOutOfRange);
    for (auto& L : FLines)
        if (L->IsCol() && L->Index() == Index) return L.get();
    FLines.push_back(std::make_unique<TCellLine>(this, true, Index));
    return FLines.back().get();
}

TStrings* TStringGrid::Rows(int Index) {
    if (Index < 0 || Index >= RowCount()) InvalidOp(SIndexOutOfRange);
    for (auto& L : FLines)
        if (!L->IsCol() && L->Index() == Index) return L.get();
    FLines.push_back(std::make_unique<TCellLine>(this, false, Index));
    return FLines.back().get();
}

namespace {

void CopyLines(TStrings* Line, const TStrings* Value) {
    for (int I = 0; I < Line->Count(); ++I) {
        bool Has = I < Value->Count();
        Line->Put(I, Has ? Value->Strings(I) : AnsiString());
        Line->PutObject(I, Has ? Value->Objects(I) : nullptr);
    }
}

}  // namespace

void TStringGrid::SetCols(int Index, TStrings* Value) { CopyLines(Cols(Index), Value); }

void TStringGrid::SetRows(int Index, TStrings* Value) { CopyLines(Rows(Index), Value); }

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

AnsiString TStringGrid::GetEditText(int ACol, int ARow) {
    AnsiString Result = Cells(ACol, ARow);
    if (Assigned(OnGetEditText)) OnGetEditText(this, ACol, ARow, Result);
    return Result;
}

void TStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    FEditUpdate = true;
    try {
        SetCells(ACol, ARow, Value);
    } catch (...) {
        FEditUpdate = false;
        throw;
    }
    FEditUpdate = false;
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    size_t Need = static_cast<size_t>(std::max(FromIndex, ToIndex)) + 1;
    if (FCells.size() < Need) FCells.resize(Need);
    MoveEntry(FCells, FromIndex, ToIndex);
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    size_t Need = static_cast<size_t>(std::max(FromIndex, ToIndex)) + 1;
    for (auto& Column : FCells) {
        if (Column.size() < Need) Column.resize(Need);
        MoveEntry(Column, FromIndex, ToIndex);
    }
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

// ---------------------------------------------------------------------------
// TInplaceEdit
// ---------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetTabStop(false);
    SetBorderStyle(bsNone);
    TControl::SetVisible(false);
}

// The grid frees its editor with its other children before its own
// destructor runs, and what a derived grid does there (closing its data,
// hiding the editor) must not reach the freed editor.
TInplaceEdit::~TInplaceEdit() {
    if (FGrid && FGrid->FInplaceEdit == this) FGrid->FInplaceEdit = nullptr;
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
    TCustomMaskEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
}

void TInplaceEdit::InternalMove(const TRect& Loc, bool Redraw) {
    if (IsRectEmpty(Loc)) {
        Hide();
        return;
    }
    HandleNeeded();
    Redraw = Redraw || !IsWindowVisible(FHandle);
    TControl::SetVisible(true);
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    BoundsChanged();
    if (Redraw) Invalidate();
    if (FGrid && FGrid->Focused()) ::SetFocus(FHandle);
}

void TInplaceEdit::Move(const TRect& Loc) { InternalMove(Loc, true); }

void TInplaceEdit::UpdateLoc(const TRect& Loc) { InternalMove(Loc, false); }

bool TInplaceEdit::PosEqual(const TRect& Rect) const { return BoundsRect() == Rect; }

void TInplaceEdit::Hide() {
    if (!HandleAllocated() || !IsWindowVisible(FHandle)) return;
    TControl::SetVisible(false);
    if (Focused() && FGrid && FGrid->HandleAllocated()) ::SetFocus(FGrid->Handle());
}

void TInplaceEdit::Deselect() { SetSelStart(GetTextLen()); }

void TInplaceEdit::BoundsChanged() {
    TRect R(2, 2, Width() - 2, Height());
    Perform(EM_SETRECTNP, 0, PointerToLParam(&R));
    Perform(EM_SCROLLCARET, 0, 0);
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    SetText({});
    SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
    SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
    SetMaxLength(FGrid->GetEditLimit());
}

bool TInplaceEdit::EditCanModify() { return FGrid && FGrid->CanEditModify(); }

void TInplaceEdit::SendToGrid(WORD& Key, TShiftState Shift) {
    if (!FGrid) return;
    FGrid->KeyDown(Key, Shift);
    Key = 0;
}

// Keys that move between cells go to the grid: the vertical ones always;
// the horizontal ones with Ctrl, or, when the editor stays open from cell to
// cell, once the caret stands at the edge of the text it would leave.
void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (!FGrid) {
        TCustomMaskEdit::KeyDown(Key, Shift);
        return;
    }
    bool Ctrl = Shift.Contains(ssCtrl);
    bool Forward = FGrid->Options().Contains(goAlwaysShowEditor);
    int S = SelStart(), E = SelStart() + SelLength(), N = GetTextLen();
    bool LeftSide = S == 0 && (E == 0 || E == N);
    bool RightSide = (S == 0 || S == E) && E == N;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: SendToGrid(Key, Shift); break;
    case VK_INSERT:
        if (Shift.Empty()) SendToGrid(Key, Shift);
        else if (Shift == TShiftState{ssShift} && !FGrid->CanEditModify()) Key = 0;
        break;
    case VK_LEFT:
    case VK_HOME:
        if (Forward && (Ctrl || LeftSide)) SendToGrid(Key, Shift);
        break;
    case VK_RIGHT:
    case VK_END:
        if (Forward && (Ctrl || RightSide)) SendToGrid(Key, Shift);
        break;
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) SendToGrid(Key, Shift);
        break;
    case VK_DELETE:
        if (Ctrl) SendToGrid(Key, Shift);
        else if (!FGrid->CanEditModify()) Key = 0;
        break;
    case VK_F2:
        Deselect();
        Key = 0;
        break;
    default: break;
    }
    if (Key == 0) return;
    if (Assigned(FGrid->OnKeyDown)) FGrid->OnKeyDown(FGrid, Key, Shift);
    if (Key != 0) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char& Key) {
    if (FGrid) {
        FGrid->KeyPress(Key);
        unsigned char K = static_cast<unsigned char>(Key);
        if (K >= 32 && !FGrid->CanEditAcceptKey(Key)) {
            Key = 0;
            MessageBeep(0);
        }
        switch (static_cast<unsigned char>(Key)) {
        case 9:
        case 27: Key = 0; break;
        case 13:
            if (SelStart() == 0 && SelLength() == GetTextLen()) Deselect();
            else SelectAll();
            Key = 0;
            break;
        case 8:
        case 22:  // Ctrl+V
        case 24:  // Ctrl+X
            if (!FGrid->CanEditModify()) Key = 0;
            break;
        default:
            if (static_cast<unsigned char>(Key) >= 32 && !FGrid->CanEditModify()) Key = 0;
            break;
        }
    }
    if (Key != 0) TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
    if (FGrid) FGrid->KeyUp(Key, Shift);
    if (Key != 0) TCustomMaskEdit::KeyUp(Key, Shift);
}

void TInplaceEdit::DblClick() {
    if (FGrid) FGrid->DblClick();
}

void TInplaceEdit::WndProc(TMessage& Message) {
    // A second press soon after the one that opened the editor is the double click it completes.
    if (Message.Msg == WM_LBUTTONDOWN && FClickTime != 0) {
        if (GetMessageTime() - FClickTime < GetDoubleClickTime()) Message.Msg = WM_LBUTTONDBLCLK;
        FClickTime = 0;
    }
    TCustomMaskEdit::WndProc(Message);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    TCustomMaskEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FGrid && FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::WMPaste(TMessage& Message) {
    if (EditCanModify()) TCustomMaskEdit::WMPaste(Message);
}

void TInplaceEdit::WMCut(TMessage& Message) {
    if (EditCanModify()) TCustomMaskEdit::WMCut(Message);
}

void TInplaceEdit::WMClear(TMessage& Message) {
    if (EditCanModify()) TCustomMaskEdit::WMClear(Message);
}

// The form counts the grid, not its editor, as the control with the focus.
void TInplaceEdit::WMSetFocus(TMessage& Message) {
    TCustomForm* Form = GetParentForm(this);
    if (!Form || !FGrid || Form->SetFocusedControl(FGrid)) TCustomMaskEdit::WMSetFocus(Message);
}

void RegisterGridClasses() {
    RegisterClasses({&TDrawGrid::StaticClassInfo(), &TStringGrid::StaticClassInfo()});
}
