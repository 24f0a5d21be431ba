#include "dataaware/wwgridhint.h"

#include <algorithm>

#include "dataaware/Wwdbigrd.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Shell.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timers.h"
#include "platform/win/WindowManager.h"

ZELMOR_IMPLEMENT_CLASS(TwwGridHintWindow, THintWindow)

void SplitURLLinkText(const AnsiString& Text, AnsiString& Display, AnsiString& Address) {
    int Position = 1;
    Display = NextToken(Text, "#", Position);
    Address = Position > 0 ? NextToken(Text, "#", Position) : AnsiString();
    if (Address.empty()) Address = Display;
}

AnsiString WithMailTo(const AnsiString& Address) {
    const int At = Pos("@", Address), Dot = Pos(".", Address);
    if (Pos("MAILTO:", UpperCase(Address)) == 0 && At > 1 && Dot > At) return "MailTo:" + Address;
    return Address;
}

TwwGridHintWindow::TwwGridHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void TwwGridHintWindow::Paint() {
    TCanvas* C = Canvas();
    const TRect R = ClientRect();
    C->Font()->SetColor(clInfoText);
    C->Brush()->SetColor(Color());
    DrawCellText(C, TRect(R.Left + 1, R.Top + 2, R.Right - 1, R.Bottom), 0, 0, Caption(), Alignment,
                 WordWrap ? dctWordWrap : 0);
}

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

void TwwCustomDBGrid::SplitURLLink(const AnsiString& Text, AnsiString& Display, AnsiString& Address) {
    SplitURLLinkText(Text, Display, Address);
}

void TwwCustomDBGrid::DoURLOpen(AnsiString& URLLink, TField* Field, bool& UseDefault) {
    if (Assigned(OnURLOpen)) OnURLOpen(this, URLLink, Field, UseDefault);
}

void TwwCustomDBGrid::DoCreateHintWindow(TwwGridHintWindow* HintWindow, TField* Field, bool& WordWrap,
                                         int& MaxWidth, int& MaxHeight, bool& DoDefault, const TRect& R) {
    if (Assigned(OnCreateHintWindow))
        OnCreateHintWindow(this, HintWindow, Field, R, WordWrap, MaxWidth, MaxHeight, DoDefault);
}

TwwGridHintWindow* TwwCustomDBGrid::CreateCellHintWindow(TField* Field) {
    auto* W = NewComponent<TwwGridHintWindow>(this);
    W->SetColor(clInfoBk);
    W->Canvas()->Brush()->SetColor(clInfoBk);
    W->Canvas()->Font()->Assign(Font());
    W->Canvas()->Font()->SetColor(clInfoText);
    W->Canvas()->Pen()->SetColor(clBlack);
    W->Field = Field;
    FHint->Window = W;
    return W;
}

TwwGridHintWindow* TwwCustomDBGrid::CellHintWindow() const { return FHint ? FHint->Window : nullptr; }

void TwwCustomDBGrid::CancelCellHint() {
    if (!FHint) return;
    FHint->Ticks = 0;
    if (FHint->Window && !FHint->Freeing) {
        FHint->Freeing = true;
        TwwGridHintWindow* W = FHint->Window;
        FHint->Window = nullptr;
        W->Free();
        FHint->Freeing = false;
    }
    if (FHint->Timer) {
        TTimer* T = FHint->Timer;
        FHint->Timer = nullptr;
        T->SetEnabled(false);
        T->Free();
    }
}

void TwwCustomDBGrid::CancelURLHover() {
    if (!FHint) return;
    FHint->Hovering = false;
    if (FHint->HoverCol >= 0) {
        SetCursor(FHint->SavedCursor);
        if (IsValidDataCell(FHint->HoverCol, FHint->HoverRow))
            InvalidateCell(FHint->HoverCol, FHint->HoverRow);
    }
    FHint->HoverCol = FHint->HoverRow = -1;
}

bool TwwCustomDBGrid::IsURLHoverCell(int GridCol, int GridRow) const {
    return FHint && FHint->Hovering && FHint->HoverCol == GridCol && FHint->HoverRow == GridRow;
}

void TwwCustomDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomGrid::MouseMove(Shift, X, Y);
    UpdateURLHover(X, Y);
    UpdateCellHint(X, Y);
}

void TwwCustomDBGrid::CMMouseLeave(TMessage& Message) {
    CancelURLHover();
    TCustomGrid::CMMouseLeave(Message);
}

void TwwCustomDBGrid::UpdateURLHover(int X, int Y) {
    int C, R;
    CellAtPoint(X, Y, C, R);
    const TwwCacheColInfoItem* Item = C >= FIndicatorOffset && R >= FTitleOffset ? CacheItem(C) : nullptr;
    TwwGridHintState& H = *FHint;
    if (Item && Item->Kind == "URL-Link") {
        if (C == H.HoverCol && R == H.HoverRow) return;
        if (Cursor() != crHandPoint) H.SavedCursor = Cursor();
        SetCursor(crHandPoint);
        H.Hovering = true;
        if (H.HoverCol >= 0) InvalidateCell(H.HoverCol, H.HoverRow);
        H.HoverCol = C;
        H.HoverRow = R;
        InvalidateCell(C, R);
    } else if (Cursor() == crHandPoint && H.Hovering) {
        SetCursor(H.SavedCursor);
        H.Hovering = false;
        if (H.HoverCol >= 0) InvalidateCell(H.HoverCol, H.HoverRow);
        H.HoverCol = H.HoverRow = -1;
    }
}

void TwwCustomDBGrid::UpdateCellHint(int X, int Y) {
    if (!FOptions.Contains(dgShowCellHint) || !FDataLink->Active()) return;
    int C, R;
    CellAtPoint(X, Y, C, R);
    TwwGridHintState& H = *FHint;
    if (C == H.HintCol && R == H.HintRow) return;
    TRect Cell = CellRect(C, R);
    H.HintCol = C;
    H.HintRow = R;
    CancelCellHint();
    if (C < FIndicatorOffset || R < FTitleOffset || C < 0 || R < 0) return;
    const bool Current = C == Col() && R == Row();
    if (Current && InplaceEditor() && InplaceEditor()->Visible()) return;
    if (Current && FActiveCellControl && FActiveCellControl->Visible() && ::IsClassNamed(this, "TwwDBGrid"))
        return;
    // Rows below the last record have no text.
    if (R - FTitleOffset - FRowOffset >= FDataLink->RecordCount()) return;
    const int DataCol = C - FIndicatorOffset;
    TField* Field = GetColField(DataCol);
    AnsiString Text;
    {
        TActiveRecordScope Scope(this, R - FTitleOffset - FRowOffset);
        FLeftAlignText = false;
        const TFieldType T = Field ? Field->DataType() : ftUnknown;
        if (Field && (!Field->IsBlob() || T == ftMemo || T == ftOraBlob || T == ftOraClob))
            Text = GetCellDisplayText(DataCol);
    }
    if (Text.empty()) return;
    const bool FromControl = FLeftAlignText;
    // Measured in the font the cell is painted in.
    TBitmap Measure;
    Measure.SetSize(1, 1);
    TCanvas* MC = Measure.Canvas();
    MC->Font()->Assign(Font());
    TBrush Brush;
    CalcCellColors(Field, TGridDrawState{}, &Brush, MC->Font(), false);
    uint32_t Flags = DT_NOPREFIX;
    if (FOptions.Contains(dgWordWrap)) Flags |= DT_WORDBREAK | DT_EDITCONTROL;
    if (Text.find('\t') != AnsiString::npos) Flags |= DT_EXPANDTABS;
    TRect Box(0, 0, Cell.Width() - 4, 0);
    MC->DrawTextEx(Text, Box, Flags | DT_CALCRECT, nullptr);
    if (Cell.Height() >= Box.Height() && Box.Width() < Cell.Width() - 1) return;

    TwwGridHintWindow* W = CreateCellHintWindow(Field);
    W->Canvas()->Font()->Assign(MC->Font());
    W->SetFont(MC->Font());
    H.Timer = NewComponent<TTimer>(this);
    H.Timer->SetInterval(250);
    H.Timer->OnTimer = [this](TObject* Sender) { CellHintTimer(Sender); };
    H.Timer->SetEnabled(true);
    W->Alignment = FromControl ? taLeftJustify : Field->Alignment();
    W->WordWrap = true;
    int MaxWidth = Screen ? Screen->Width() : 1 << 15;
    const int StartHeight = Cell.Height() - 2;
    int MaxHeight = StartHeight;
    bool DoDefault = true;
    DoCreateHintWindow(W, Field, W->WordWrap, MaxWidth, MaxHeight, DoDefault, Cell);
    MaxWidth = std::max(MaxWidth, Cell.Width() - 4);
    if (!DoDefault) return;

    Cell.Bottom -= 2;
    uint32_t HintFlags = DT_NOPREFIX;
    if (W->WordWrap) HintFlags |= DT_WORDBREAK | DT_EDITCONTROL;
    if (Text.find('\t') != AnsiString::npos) HintFlags |= DT_EXPANDTABS;
    TRect Need(0, 0, MaxWidth, MaxHeight);
    W->Canvas()->DrawTextEx(Text, Need, HintFlags | DT_CALCRECT, nullptr);
    const int FullWidth = Need.Width();
    const int Width = std::min(FullWidth, MaxWidth), Height = std::min(Need.Height(), MaxHeight);
    if (MaxHeight != StartHeight) Cell.Bottom = std::max(Cell.Top + Height, Cell.Bottom);
    if (W->Alignment != taLeftJustify) {
        Cell.Left = Cell.Right - Width - 8;
    } else if (MaxWidth >= Cell.Left + Width + 8) {
        Cell.Right = Cell.Left + Width + 8;
    } else if (MaxWidth != 0) {
        const TPoint Origin = ClientOrigin();
        if (Screen && Origin.x + Cell.Left + Width + 8 > Screen->Width()) Cell.Left = Cell.Right - Width - 8;
        else Cell.Right = Cell.Left + FullWidth + 8;
    }
    const TPoint Origin = ClientOrigin();
    OffsetRect(Cell, Origin.x, Origin.y - 1);
    W->ActivateHint(Cell, Text);
}

void TwwCustomDBGrid::CellHintTimer(TObject*) {
    TwwGridHintState& H = *FHint;
    if (!H.Window) return;
    TPoint P;
    GetCursorPos(P);
    const TPoint Client = ScreenToClient(P);
    TRect Cell;
    GetCellRect(H.HintCol, H.HintRow, Cell);
    InflateRect(Cell, 1, 1);
    const TRect Area = TRect(0, 0, ClientWidth(), ClientHeight());
    if (!PtInRect(Cell, Client) || !PtInRect(Area, Client)) {
        CancelCellHint();
        H.HintCol = H.HintRow = 0;
        return;
    }
    ++H.Ticks;
    const int Pause = Application ? Application->HintHidePause() : 2500;
    if (H.Ticks > std::max(Pause / 250, 16)) CancelCellHint();
}

// The address goes to the shell's opener; one it refuses or fails to open is told.
void TwwCustomDBGrid::OpenURLLinkAt(int GridCol, int GridRow) {
    if (GridCol < FIndicatorOffset || GridRow < FTitleOffset) return;
    const TwwCacheColInfoItem* Item = CacheItem(GridCol);
    if (!Item || Item->Kind != "URL-Link") return;
    TField* Field = GetColField(GridCol - FIndicatorOffset);
    TDataSet* DS = FDataLink->DataSet();
    if (!Field || !DS) return;
    AnsiString Display, Address;
    SplitURLLink(DS->FieldByName(Field->FieldName())->AsString(), Display, Address);
    bool UseDefault = true;
    DoURLOpen(Address, Field, UseDefault);
    if (!UseDefault) return;
    Address = WithMailTo(Address);
    if (!IsOpenableAddress(Address)) {
        MessageDlg("Only web and mail addresses can be opened: " + Address, mtWarning, {mbOK}, 0);
        return;
    }
    if (Screen) Screen->SetCursor(crHourGlass);
    const uintptr_t Result = ShellExecute(reinterpret_cast<uintptr_t>(HandleAllocated() ? Handle() : nullptr),
                                          "OPEN", Address, "", "", SW_SHOWNORMAL);
    if (Screen) Screen->SetCursor(crDefault);
    if (Result <= 32) MessageDlg("Unable to open " + Address, mtWarning, {mbOK}, 0);
}
