#include "reportview/OvcVLB.h"

#include <algorithm>

#include "platform/rtl/Format.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcData.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_CLASS(TOvcCustomVirtualListBox, TOvcCustomControlEx)
ZELMOR_IMPLEMENT_COMPONENT(TOvcVirtualListBox, TOvcCustomVirtualListBox)

namespace {
enum : uint16_t { SSampleItem = 30280, SAlphabet = 30281, SWy = 30282 };

bool IsLoading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }
}  // namespace

void TOvcCustomVirtualListBox::DescribeProperties(TPropertyTable&) {}

TOvcCustomVirtualListBox::TOvcCustomVirtualListBox(TComponent* AOwner)
    : TOvcCustomControlEx(AOwner), FHeaderColor(std::make_unique<TOvcColors>(clBtnText, clBtnFace)),
      FProtectColor(std::make_unique<TOvcColors>(clWhite, clRed)),
      FSelectColor(std::make_unique<TOvcColors>(clHighlightText, clHighlight)) {
    SetBounds(Left(), Top(), 100, 150);
    SetColor(clWindow);
    SetCtl3D(true);
    SetParentColor(false);
    SetParentCtl3D(true);
    SetParentFont(true);
    SetTabStop(true);
    FFillColor = Color();
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csClickEvents);
    FControlStyle.Include(csOpaque);
    for (TOvcColors* c : {FHeaderColor.get(), FProtectColor.get(), FSelectColor.get()})
        c->OnColorChange = [this](TObject*) { Invalidate(); };
}

TOvcCustomVirtualListBox::~TOvcCustomVirtualListBox() = default;

// --- the owner's side ---

AnsiString TOvcCustomVirtualListBox::DoOnGetItem(int32_t Index) {
    AnsiString s;
    if (OnGetItem) {
        OnGetItem(this, Index, s);
        if (s.size() > 255) s.resize(255);
        return s;
    }
    return Format("%d. *** Warning *** OnGetItem not assigned!", {Index});
}

void TOvcCustomVirtualListBox::DoOnGetItemColor(int32_t Index, TColor& FG, TColor& BG) {
    if (OnGetItemColor) OnGetItemColor(this, Index, FG, BG);
}

bool TOvcCustomVirtualListBox::DoOnGetItemStatus(int32_t Index) {
    bool protect = false;
    if (OnGetItemStatus) OnGetItemStatus(this, Index, protect);
    return protect;
}

void TOvcCustomVirtualListBox::DoOnDrawItem(int32_t Index, const TRect& Rect, const AnsiString& S) {
    if (OnDrawItem) OnDrawItem(this, Index, Rect, S);
}

bool TOvcCustomVirtualListBox::DoOnIsSelected(int32_t Index) {
    bool selected = Index == FItemIndex;
    if (FMultiSelect) {
        if (!OnIsSelected) throw EOnIsSelectedNotAssigned();
        OnIsSelected(this, Index, selected);
    }
    return selected;
}

void TOvcCustomVirtualListBox::DoOnSelect(int32_t Index, bool Selected) {
    if (!FMultiSelect) return;
    if (!OnSelect) throw EOnSelectNotAssigned();
    if (Selected && Index >= 0 && DoOnGetItemStatus(Index)) return;
    OnSelect(this, Index, Selected);
}

void TOvcCustomVirtualListBox::DoOnCharToItem(char Ch, int32_t& Index) {
    if (OnCharToItem) OnCharToItem(this, Ch, Index);
}

void TOvcCustomVirtualListBox::DoOnClickHeader(TPoint Point) {
    if (OnClickHeader) OnClickHeader(this, Point);
}

void TOvcCustomVirtualListBox::DoOnTopIndexChanged(int32_t NewTopIndex) {
    if (OnTopIndexChanged) OnTopIndexChanged(this, NewTopIndex);
}

void TOvcCustomVirtualListBox::DoOnUserCommand(uint16_t Command) {
    if (OnUserCommand) OnUserCommand(this, Command);
}

// --- properties ---

void TOvcCustomVirtualListBox::SetAutoRowHeight(bool Value) {
    if (Value == FAutoRowHeight) return;
    FAutoRowHeight = Value;
    if (Value) {
        vlbCalcFontFields();
        vlbAdjustIntegralHeight();
        vlbInitScrollInfo();
        Invalidate();
    }
}

void TOvcCustomVirtualListBox::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TOvcCustomVirtualListBox::SetColumns(uint8_t Value) {
    FColumns = Value;
    if (FHDelta > FColumns) FHDelta = FColumns;
    vlbInitScrollInfo();
}

void TOvcCustomVirtualListBox::SetHeader(const AnsiString& Value) {
    FHeader = Value;
    Invalidate();
}

void TOvcCustomVirtualListBox::SetIntegralHeight(bool Value) {
    if (Value == FIntegralHeight) return;
    if (Align() >= alTop && Align() != alNone && Value) return;
    FIntegralHeight = Value;
    vlbCalcFontFields();
    vlbAdjustIntegralHeight();
    vlbInitScrollInfo();
}

void TOvcCustomVirtualListBox::SetMultiSelect(bool Value) {
    // A list's selection model is decided when it is made.
    if (IsLoading(this) || ComponentState().Contains(csDesigning)) FMultiSelect = Value;
}

void TOvcCustomVirtualListBox::SetNumItems(int32_t Value) {
    if (Value < 0) Value = MaxItems;
    if (Value == FNumItems) return;
    const int32_t old = FNumItems;
    FNumItems = Value;
    FLastIndex = Value - 1;
    FHDelta = 0;
    if (!IsLoading(this)) {
        if (FItemIndex > FLastIndex) FItemIndex = -1;
        if (FNumItems < FTopIndex + FRows) ForceTopIndex(std::max(0, FLastIndex), true);
        else ForceTopIndex(FTopIndex, false);
        if (FTopIndex + FRows > std::min(old, Value) || old == 0 || Value == 0) Invalidate();
    }
    vlbInitScrollInfo();
}

void TOvcCustomVirtualListBox::SetRowHeight(int32_t Value) {
    if (Value <= 0 || Value == FRowHeight) return;
    FRowHeight = Value;
    if (!IsLoading(this)) FAutoRowHeight = false;
    vlbCalcFontFields();
    vlbAdjustIntegralHeight();
    vlbInitScrollInfo();
    Invalidate();
}

void TOvcCustomVirtualListBox::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TOvcCustomVirtualListBox::SetShowHeader(bool Value) {
    if (Value == FShowHeader) return;
    FShowHeader = Value;
    vlbCalcFontFields();
    vlbInitScrollInfo();
    Invalidate();
}

void TOvcCustomVirtualListBox::SetUseTabStops(bool Value) {
    FUseTabStops = Value;
    Invalidate();
}

void TOvcCustomVirtualListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (Align() != alNone && Align() != alCustom) FIntegralHeight = false;
    TOvcCustomControlEx::SetBounds(ALeft, ATop, AWidth, AHeight);
}

// --- geometry ---

void TOvcCustomVirtualListBox::vlbCalcFontFields() {
    if (!HandleAllocated()) return;
    Canvas()->SetFont(Font());
    if (FAutoRowHeight && !IsLoading(this)) FRowHeight = Canvas()->TextHeight(GetRvLibStr(SWy)) + RowSpacing;
    if (FRowHeight <= 0) FRowHeight = 1;
    FRows = std::max(1, ClientHeight() / FRowHeight - (FShowHeader ? 1 : 0));
    FTabUnit = Canvas()->TextWidth(GetRvLibStr(SAlphabet)) / 52 / 4;
}

void TOvcCustomVirtualListBox::vlbAdjustIntegralHeight() {
    // Only the designer cuts the height to whole rows.
    if (!ComponentState().Contains(csDesigning) || IsLoading(this) || !FIntegralHeight) return;
    int h = ClientHeight() / FRowHeight * FRowHeight;
    if (h != ClientHeight()) SetClientHeight(h);
}

void TOvcCustomVirtualListBox::vlbInitScrollInfo() {
    FDivisor = 1;
    if (FNumItems < FRows) FScrollCount = 1;
    else if (FNumItems > 32767) {
        FDivisor = (FNumItems >> 15) * 2;
        FScrollCount = FNumItems / FDivisor;
    } else FScrollCount = FNumItems;
    if (!FHasVert || (FNumItems <= FRows && !ComponentState().Contains(csDesigning))) FScrollCount = 0;
    if (!HandleAllocated()) return;
    if (FHasVert) {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = std::max(0, FScrollCount - 1);
        si.nPage = FScrollCount ? UINT(FRows) : 0;
        si.nPos = FTopIndex / FDivisor;
        SetScrollInfo(Handle(), SB_VERT, si, true);
    }
    if (FHasHorz) {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_POS;
        si.nMax = FColumns;
        si.nPos = FHDelta;
        SetScrollInfo(Handle(), SB_HORZ, si, true);
    }
}

void TOvcCustomVirtualListBox::vlbSetVScrollPos() {
    if (HandleAllocated() && FHasVert && FScrollCount > 0)
        SetScrollPos(Handle(), SB_VERT, FTopIndex / FDivisor, true);
}

void TOvcCustomVirtualListBox::vlbSetHScrollPos() {
    if (HandleAllocated() && FHasHorz) SetScrollPos(Handle(), SB_HORZ, FHDelta, true);
}

TRect TOvcCustomVirtualListBox::ListRect() {
    int top = FShowHeader ? FRowHeight : 0;
    return TRect(0, top, ClientWidth(), top + FRows * FRowHeight);
}

// --- items ---

void TOvcCustomVirtualListBox::SetItemIndex(int32_t Value) {
    if (Value > FLastIndex) Value = FLastIndex;
    if (Value < -1) Value = -1;
    if (Value == FItemIndex) return;
    const int32_t old = FItemIndex;
    if (old >= 0) {
        InvalidateItem(old);
        DoOnSelect(old, false);
    }
    FItemIndex = Value;
    if (!ComponentState().Contains(csDesigning) && Value != -1) {
        if (Value < FTopIndex) SetTopIndex(Value);
        else if (Value >= FTopIndex + FRows) SetTopIndex(Value - FRows + 1);
        DoOnSelect(Value, true);
    }
    InvalidateItem(FFocusedIndex);
    FFocusedIndex = Value == -1 ? 0 : Value;
    DrawItem(Value);
    if (!MouseCapture()) SimulatedClick();
}

void TOvcCustomVirtualListBox::SetTopIndex(int32_t Value) {
    if (ComponentState().Contains(csDesigning) || Value == FTopIndex) return;
    ForceTopIndex(Value, false);
}

void TOvcCustomVirtualListBox::ForceTopIndex(int32_t Value, bool /*Thumb*/) {
    if (Value < 0 || Value > FLastIndex) return;
    Value = std::min(Value, std::max(0, FLastIndex - FRows + 1));
    if (Value == FTopIndex) return;
    FTopIndex = Value;
    vlbSetVScrollPos();
    // The rows move by repainting the list area: what the screen shows after
    // a scroll is what a repaint of the new rows draws.
    if (HandleAllocated()) {
        TRect r = ListRect();
        InvalidateRect(Handle(), &r, false);
    }
    DoOnTopIndexChanged(FTopIndex);
}

void TOvcCustomVirtualListBox::CenterLine(int32_t Index) {
    if (Index != -1) SetTopIndex(std::max(0, Index - FRows / 2));
}

void TOvcCustomVirtualListBox::Scroll(int32_t HDelta, int32_t VDelta) {
    if (HDelta) {
        FHDelta = std::clamp(FHDelta + HDelta, 0, int32_t(FColumns));
        vlbSetHScrollPos();
        Invalidate();
    }
    if (VDelta) ForceTopIndex(std::clamp(FTopIndex + VDelta, 0, std::max(0, FLastIndex)), false);
}

int32_t TOvcCustomVirtualListBox::ItemAtPos(TPoint Pos, bool Existing) {
    if (FShowHeader && Pos.y < FRowHeight) return Existing ? -1 : 0;
    if (Pos.y >= ClientHeight()) return Existing ? -1 : FLastIndex;
    int row = (Pos.y - (FShowHeader ? FRowHeight : 0)) / FRowHeight;
    int shown = (ClientHeight() - (FShowHeader ? FRowHeight : 0) + FRowHeight - 1) / FRowHeight;
    row = std::min(row, std::max(0, shown - 1));
    int64_t index = int64_t(FTopIndex) + row;
    if (index > FLastIndex) return Existing ? -1 : FLastIndex;
    return int32_t(index);
}

void TOvcCustomVirtualListBox::InvalidateItem(int32_t Index) {
    if (!HandleAllocated() || Index < FTopIndex || Index >= FTopIndex + FRows + 1) return;
    int top = (FShowHeader ? FRowHeight : 0) + (Index - FTopIndex) * FRowHeight;
    TRect r(0, top, ClientWidth(), top + FRowHeight);
    InvalidateRect(Handle(), &r, false);
}

void TOvcCustomVirtualListBox::DrawItem(int32_t Index) {
    InvalidateItem(Index);
    if (HandleAllocated() && FUpdateCount == 0) UpdateWindow(Handle());
}

void TOvcCustomVirtualListBox::InsertItemsAt(int32_t Count, int32_t Index) {
    const int32_t saved = FItemIndex;
    FItemIndex = -1;
    FNumItems = std::min<int64_t>(int64_t(FNumItems) + Count, MaxItems);
    FLastIndex = FNumItems - 1;
    FItemIndex = saved >= Index ? saved + Count : saved;
    if (FFocusedIndex >= Index && FItemIndex >= 0) FFocusedIndex = FItemIndex;
    vlbInitScrollInfo();
    if (FUpdateCount == 0) Invalidate();
}

void TOvcCustomVirtualListBox::DeleteItemsAt(int32_t Count, int32_t Index) {
    const int32_t saved = FItemIndex;
    FItemIndex = -1;
    FNumItems = std::max(0, FNumItems - Count);
    FLastIndex = FNumItems - 1;
    if (saved >= Index && saved < Index + Count) FItemIndex = -1;
    else if (saved >= Index + Count) FItemIndex = saved - Count;
    else FItemIndex = saved;
    if (FItemIndex >= 0) FFocusedIndex = FItemIndex;
    if (FNumItems < FTopIndex + FRows) ForceTopIndex(std::max(0, FLastIndex), true);
    if (FTopIndex > std::max(0, FLastIndex)) FTopIndex = std::max(0, FLastIndex - FRows + 1);
    vlbInitScrollInfo();
    if (FUpdateCount == 0) Invalidate();
}

std::vector<bool> TOvcCustomVirtualListBox::VisibleStates() {
    std::vector<bool> states;
    for (int32_t i = 0; i < FRows && int64_t(FTopIndex) + i <= FLastIndex; ++i)
        states.push_back(DoOnIsSelected(FTopIndex + i));
    return states;
}

void TOvcCustomVirtualListBox::RepaintChanged(const std::vector<bool>& Before) {
    for (size_t i = 0; i < Before.size() && int64_t(FTopIndex) + int64_t(i) <= FLastIndex; ++i)
        if (DoOnIsSelected(FTopIndex + int32_t(i)) != Before[i]) InvalidateItem(FTopIndex + int32_t(i));
}

void TOvcCustomVirtualListBox::SelectAll() {
    auto before = VisibleStates();
    DoOnSelect(-1, true);
    RepaintChanged(before);
}

void TOvcCustomVirtualListBox::DeselectAll() {
    auto before = VisibleStates();
    DoOnSelect(-1, false);
    RepaintChanged(before);
}

void TOvcCustomVirtualListBox::SetTabStops(const std::vector<int32_t>& Tabs) {
    HandleNeeded();
    FTabStops.clear();
    for (size_t i = 0; i < Tabs.size() && i < 128; ++i) FTabStops.push_back(Tabs[i] * FTabUnit);
}

void TOvcCustomVirtualListBox::BeginUpdate() { ++FUpdateCount; }

void TOvcCustomVirtualListBox::EndUpdate() {
    if (FUpdateCount == 0) throw Exception("Mismatched BeginUpdate/EndUpdate");
    if (--FUpdateCount == 0) Invalidate();
}

// --- painting ---

void TOvcCustomVirtualListBox::Paint() {
    if (FUpdateCount > 0) return;
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->SetBkMode(TRANSPARENT);
    TRect clip = c->ClipRect();
    const int width = ClientWidth();
    if (FShowHeader && clip.Top < FRowHeight) {
        c->Brush()->SetColor(FHeaderColor->BackColor());
        c->FillRect(TRect(0, 0, width, FRowHeight - 1));
        c->Font()->SetColor(FHeaderColor->TextColor());
        if (int(FHeader.size()) > FHDelta)
            c->TextOut(2, 0, std::string_view(FHeader).substr(size_t(FHDelta)));
        c->Pen()->SetColor(clBlack);
        c->MoveTo(0, FRowHeight - 1);
        c->LineTo(width, FRowHeight - 1);
        if (Ctl3D()) {
            c->Pen()->SetColor(clBtnHighlight);
            c->MoveTo(0, FRowHeight - 1);
            c->LineTo(0, 0);
            c->LineTo(width, 0);
        }
    }
    const int top = FShowHeader ? FRowHeight : 0;
    const int64_t shown = std::min<int64_t>(FRows, FNumItems);
    int bottom = top;
    for (int64_t i = 0; i < shown; ++i) {
        int64_t index = int64_t(FTopIndex) + i;
        TRect row(0, top + int(i) * FRowHeight, width, top + int(i + 1) * FRowHeight);
        bottom = row.Bottom;
        if (row.Bottom <= clip.Top || row.Top >= clip.Bottom) continue;
        TColor fg = Font()->Color(), bg = Color();
        if (index <= FLastIndex && DoOnGetItemStatus(int32_t(index))) {
            fg = FProtectColor->TextColor();
            bg = FProtectColor->BackColor();
        } else if (index <= FLastIndex && DoOnIsSelected(int32_t(index))) {
            fg = FSelectColor->TextColor();
            bg = FSelectColor->BackColor();
        } else DoOnGetItemColor(int32_t(index), fg, bg);
        c->Brush()->SetColor(bg);
        c->FillRect(row);
        if (index > FLastIndex) continue;
        AnsiString s = DoOnGetItem(int32_t(index));
        if (int(s.size()) <= FHDelta) continue;
        std::string_view text = std::string_view(s).substr(size_t(FHDelta));
        c->Font()->SetColor(fg);
        if (FOwnerDraw) DoOnDrawItem(int32_t(index), row, AnsiString(text));
        else if (FUseTabStops) {
            int hidden = c->TextWidth(std::string_view(s).substr(0, size_t(FHDelta)));
            c->TabbedTextOut(row.Left + 2, row.Top, text, FTabStops, -hidden);
        } else c->ExtTextOut(row.Left + 2, row.Top, ETO_CLIPPED | ETO_OPAQUE, &row, text);
    }
    if (bottom < ClientHeight()) {
        c->Brush()->SetColor(Color());
        c->FillRect(TRect(0, bottom, width, ClientHeight()));
    }
    vlbDrawFocusRectPrim(FFocusedIndex);
}

void TOvcCustomVirtualListBox::vlbDrawFocusRectPrim(int32_t Index) {
    if (!Focused() || Index < FTopIndex || Index >= FTopIndex + FRows || Index > FLastIndex) return;
    int top = (FShowHeader ? FRowHeight : 0) + (Index - FTopIndex) * FRowHeight;
    Canvas()->DrawFocusRect(TRect(0, top, ClientWidth(), top + FRowHeight));
}

// --- keys and mouse ---

void TOvcCustomVirtualListBox::MoveTo(int32_t Index, bool Extend) {
    if (FNumItems == 0) return;
    Index = std::clamp(Index, 0, FLastIndex);
    if (Extend) {
        SetItemIndex(Index);
        SelectRange(FAnchor, Index);
        return;
    }
    if (FMultiSelect) DeselectAll();
    SetItemIndex(Index);
    FAnchor = Index;
}

void TOvcCustomVirtualListBox::SelectRange(int32_t From, int32_t To) {
    if (!FMultiSelect) return;
    auto before = VisibleStates();
    DoOnSelect(-1, false);
    for (int32_t i = std::min(From, To); i <= std::max(From, To); ++i) DoOnSelect(i, true);
    RepaintChanged(before);
}

void TOvcCustomVirtualListBox::WMKeyDown(TMessage& Message) {
    TOvcCustomControlEx::WMKeyDown(Message);
    if (!Controller()) return;
    uint16_t cmd = Controller()->EntryCommands()->Translate(Message);
    if (cmd == ccNone || cmd == ccNotACommand || cmd == ccSequencePending || cmd == ccSequenceFailed) return;
    const bool extend = cmd == ccExtendDown || cmd == ccExtendEnd || cmd == ccExtendHome ||
                        cmd == ccExtendPgDn || cmd == ccExtendPgUp || cmd == ccExtendUp;
    if (extend && !FMultiSelect) return;
    const int32_t rows = FRows;
    switch (cmd) {
    case ccDown:
        if (FItemIndex < FLastIndex) MoveTo(FItemIndex + 1, false);
        break;
    case ccUp:
        if (FItemIndex > 0) MoveTo(FItemIndex - 1, false);
        break;
    case ccHome: MoveTo(0, false); break;
    case ccEnd: MoveTo(FLastIndex, false); break;
    case ccNextPage: MoveTo(rows == 1 ? FItemIndex + 1 : FItemIndex + rows - 1, false); break;
    case ccPrevPage: MoveTo(rows == 1 ? FItemIndex - 1 : FItemIndex - rows + 1, false); break;
    case ccLeft:
    case ccRight:
        if (FHasHorz) Scroll(cmd == ccLeft ? -1 : 1, 0);
        else if (cmd == ccLeft && FItemIndex > 0) MoveTo(FItemIndex - 1, false);
        else if (cmd == ccRight && FItemIndex < FLastIndex) MoveTo(FItemIndex + 1, false);
        break;
    case ccExtendDown: MoveTo(FItemIndex + 1, true); break;
    case ccExtendUp: MoveTo(FItemIndex - 1, true); break;
    case ccExtendPgDn: MoveTo(FItemIndex + rows - 1, true); break;
    case ccExtendPgUp: MoveTo(FItemIndex - rows + 1, true); break;
    case ccExtendHome:
        if (FItemIndex != 0) MoveTo(0, true);
        break;
    case ccExtendEnd:
        if (FItemIndex != FLastIndex) MoveTo(FLastIndex, true);
        break;
    default:
        if (cmd >= ccUserFirst) DoOnUserCommand(cmd);
        else return;
    }
    Message.Result = 0;
}

void TOvcCustomVirtualListBox::WMChar(TMessage& Message) {
    TOvcCustomControlEx::WMChar(Message);
    int32_t index = FItemIndex;
    DoOnCharToItem(char(Message.WParam & 0xFF), index);
    if (IsValidIndex(index) && index != FItemIndex) SetItemIndex(index);
}

void TOvcCustomVirtualListBox::WMLButtonDown(TMessage& Message) {
    TOvcCustomControlEx::WMLButtonDown(Message);
    if (SkipMouseSelect) return;
    if (CanFocus() && !Focused()) SetFocus();
    TPoint p(Message.XPos(), Message.YPos());
    if (FShowHeader && p.y < FRowHeight) {
        DoOnClickHeader(p);
        return;
    }
    if (FNumItems == 0) return;
    TShiftState shift = KeysToShiftState(UINT(Message.WParam));
    int32_t index = ItemAtPos(p, true);
    if (FMultiSelect && shift.Contains(ssCtrl)) {
        if (index < 0) return;
        auto before = VisibleStates();
        bool selected = DoOnIsSelected(index);
        FItemIndex = index;
        FAnchor = index;
        InvalidateItem(FFocusedIndex);
        FFocusedIndex = index;
        DoOnSelect(index, !selected);
        RepaintChanged(before);
        InvalidateItem(index);
        return;
    }
    if (FMultiSelect && shift.Contains(ssShift)) {
        if (index < 0) return;
        SetItemIndex(index);
        SelectRange(FAnchor, index);
        return;
    }
    if (FMultiSelect) {
        DeselectAll();
        if (FItemIndex >= 0) DoOnSelect(FItemIndex, true);
    }
    // The press follows the mouse until the button is released.
    FTracking = true;
    FTrackedOnce = false;
    TrackTo(p.y);
}

void TOvcCustomVirtualListBox::TrackTo(int32_t Y) {
    int32_t index;
    const int top = FShowHeader ? FRowHeight : 0;
    if (Y < top) index = std::max(0, FTopIndex - 1 - (top - Y) / FRowHeight);
    else if (Y >= top + FRows * FRowHeight)
        index = std::min<int64_t>(FLastIndex,
                                  int64_t(FTopIndex) + FRows + (Y - top - FRows * FRowHeight) / FRowHeight);
    else index = ItemAtPos(TPoint(0, Y), false);
    if (!FTrackedOnce || !FMultiSelect) {
        if (index != FItemIndex) SetItemIndex(index);
        FAnchor = index;
        FTrackedOnce = true;
    } else if (index != FItemIndex) {
        SetItemIndex(index);
        SelectRange(FAnchor, index);
    }
}

void TOvcCustomVirtualListBox::WMMouseMove(TMessage& Message) {
    TOvcCustomControlEx::WMMouseMove(Message);
    if (FTracking && MouseCapture() && (Message.WParam & MK_LBUTTON)) TrackTo(Message.YPos());
}

void TOvcCustomVirtualListBox::WMLButtonUp(TMessage& Message) {
    FTracking = false;
    TOvcCustomControlEx::WMLButtonUp(Message);
}

void TOvcCustomVirtualListBox::WMLButtonDblClk(TMessage& Message) {
    if (FShowHeader && Message.YPos() < FRowHeight) return;
    TOvcCustomControlEx::WMLButtonDblClk(Message);
}

void TOvcCustomVirtualListBox::WMGetDlgCode(TMessage& Message) {
    TOvcCustomControlEx::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TOvcCustomVirtualListBox::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TOvcCustomVirtualListBox::WMSetFocus(TMessage& Message) {
    TOvcCustomControlEx::WMSetFocus(Message);
    InvalidateItem(FFocusedIndex);
}

void TOvcCustomVirtualListBox::WMKillFocus(TMessage& Message) {
    TOvcCustomControlEx::WMKillFocus(Message);
    InvalidateItem(FFocusedIndex);
}

void TOvcCustomVirtualListBox::WMMouseActivate(TMessage& Message) {
    if (!Focused() && Controller() && Controller()->ErrorPending) {
        Message.Result = MA_NOACTIVATEANDEAT;
        return;
    }
    Message.Result = MA_ACTIVATE;
}

void TOvcCustomVirtualListBox::WMSize(TMessage& Message) {
    if (FRowHeight > 0) {
        vlbCalcFontFields();
        vlbAdjustIntegralHeight();
        vlbInitScrollInfo();
        if (FNumItems > 0 && FTopIndex + FRows > FNumItems) {
            FTopIndex = std::max(0, FNumItems - FRows);
            vlbSetVScrollPos();
        }
    }
    TOvcCustomControlEx::WMSize(Message);
}

void TOvcCustomVirtualListBox::WMVScroll(TMessage& Message) {
    const int32_t last = std::max(0, FLastIndex - FRows + 1);
    int32_t top = FTopIndex;
    switch (LoWord(Message.WParam)) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= FRows - 1; break;
    case SB_PAGEDOWN: top += FRows - 1; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        int pos = HiWord(Message.WParam);
        if (pos == 0) top = 0;
        else if (pos >= FScrollCount - 1) top = last;
        else top = pos * FDivisor;
        ForceTopIndex(std::clamp(top, 0, last), true);
        return;
    }
    default: return;
    }
    ForceTopIndex(std::clamp(top, 0, last), false);
}

void TOvcCustomVirtualListBox::WMHScroll(TMessage& Message) {
    switch (LoWord(Message.WParam)) {
    case SB_LINELEFT: Scroll(-1, 0); break;
    case SB_LINERIGHT: Scroll(1, 0); break;
    case SB_PAGELEFT: Scroll(-10, 0); break;
    case SB_PAGERIGHT: Scroll(10, 0); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: Scroll(int32_t(HiWord(Message.WParam)) - FHDelta, 0); break;
    default: break;
    }
}

void TOvcCustomVirtualListBox::DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos,
                                              uint16_t YPos) {
    TOvcCustomControlEx::DoOnMouseWheel(Shift, Delta, XPos, YPos);
    const int16_t delta = static_cast<int16_t>(Delta);
    for (int i = 0; i < FWheelDelta; ++i) {
        TMessage m{WM_VSCROLL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0, 0};
        WMVScroll(m);
    }
}

void TOvcCustomVirtualListBox::CMCtl3DChanged(TMessage& Message) {
    if (FBorderStyle == bsSingle && HandleAllocated()) RecreateWnd();
    TOvcCustomControlEx::CMCtl3DChanged(Message);
}

void TOvcCustomVirtualListBox::CMFontChanged(TMessage& Message) {
    TOvcCustomControlEx::CMFontChanged(Message);
    vlbCalcFontFields();
    vlbAdjustIntegralHeight();
    vlbInitScrollInfo();
}

void TOvcCustomVirtualListBox::ChangeScale(int M, int D) {
    TOvcCustomControlEx::ChangeScale(M, D);
    if (D) FRowHeight = FRowHeight * M / D;
    vlbCalcFontFields();
    vlbInitScrollInfo();
}

void TOvcCustomVirtualListBox::CreateParams(TCreateParams& Params) {
    TOvcCustomControlEx::CreateParams(Params);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TOvcCustomVirtualListBox::CreateWnd() {
    TOvcCustomControlEx::CreateWnd();
    FHasVert = FScrollBars == ssVertical || FScrollBars == ssBoth;
    FHasHorz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    FLastIndex = FNumItems - 1;
    FFocusedIndex = 0;
    vlbCalcFontFields();
    vlbAdjustIntegralHeight();
    vlbInitScrollInfo();
}

// --- the list-box messages ---

bool TOvcCustomVirtualListBox::ListBoxMessage(TMessage& Message) {
    const auto w = Message.WParam;
    const auto l = Message.LParam;
    switch (Message.Msg) {
    case LB_GETCARETINDEX: Message.Result = FFocusedIndex; return true;
    case LB_GETCOUNT: Message.Result = FNumItems; return true;
    case LB_GETCURSEL: Message.Result = FItemIndex; return true;
    case LB_GETITEMHEIGHT: Message.Result = FRowHeight; return true;
    case LB_GETITEMRECT: {
        auto* r = reinterpret_cast<TRect*>(l);
        int index = int(w);
        *r = TRect(0, (index - FTopIndex) * FRowHeight, ClientWidth(), (index - FTopIndex + 1) * FRowHeight);
        Message.Result = 1;
        return true;
    }
    case LB_GETSEL: {
        int index = int(w);
        Message.Result = IsValidIndex(index) ? (DoOnIsSelected(index) ? 1 : 0) : -1;
        return true;
    }
    case LB_RESETCONTENT:
        SetNumItems(0);
        Message.Result = 0;
        return true;
    case LB_SELITEMRANGE: {
        int first = LoWord(uintptr_t(l)), last = HiWord(uintptr_t(l));
        if (!FMultiSelect || first > FLastIndex || last > FLastIndex) {
            Message.Result = -1;
            return true;
        }
        auto before = VisibleStates();
        for (int i = std::min(first, last); i <= std::max(first, last); ++i) DoOnSelect(i, w != 0);
        RepaintChanged(before);
        Message.Result = 0;
        return true;
    }
    case LB_SETCURSEL: {
        int index = int(w);
        if (FMultiSelect || index < -1 || index > FLastIndex) {
            Message.Result = -1;
            return true;
        }
        SetItemIndex(index);
        Message.Result = index == -1 ? -1 : 0;
        return true;
    }
    case LB_SETSEL: {
        int index = int(l);
        if (!FMultiSelect || index < -1 || index > FLastIndex) {
            Message.Result = -1;
            return true;
        }
        if (index == -1) {
            if (w) SelectAll();
            else DeselectAll();
        } else {
            DoOnSelect(index, w != 0);
            InvalidateItem(index);
        }
        Message.Result = 0;
        return true;
    }
    case LB_SETTABSTOPS: {
        int count = int(w);
        auto* tabs = reinterpret_cast<const int32_t*>(l);
        FTabStops.clear();
        for (int i = 0; i < count && i < 128; ++i) FTabStops.push_back(tabs[i] * FTabUnit);
        Message.Result = count > 128 ? 0 : 1;
        return true;
    }
    case LB_SETTOPINDEX: {
        int index = int(w);
        if (!IsValidIndex(index)) {
            Message.Result = -1;
            return true;
        }
        SetTopIndex(index);
        Message.Result = 0;
        return true;
    }
    default: return false;
    }
}

void TOvcCustomVirtualListBox::WndProc(TMessage& Message) {
    if (ListBoxMessage(Message)) return;
    TOvcCustomControlEx::WndProc(Message);
}

// --- the published class ---

void TOvcVirtualListBox::DescribeProperties(TPropertyTable& T) {
    using V = TOvcVirtualListBox;
    TControl::PublishStandard(T, {"Align",       "Anchors",     "Color",      "Ctl3D",      "Font",
                                  "ParentColor", "ParentCtl3D", "ParentFont", "PopupMenu",  "TabOrder",
                                  "TabStop",     "Visible",     "OnClick",    "OnDblClick", "OnEnter",
                                  "OnExit",      "OnKeyDown",   "OnKeyPress", "OnKeyUp",    "OnMouseDown",
                                  "OnMouseMove", "OnMouseUp"});
    T.Property("Controller", &V::Controller, &V::SetController);
    T.Property("AutoRowHeight", &V::AutoRowHeight, &V::SetAutoRowHeight).Default(true);
    T.Property("BorderStyle", &V::BorderStyle, &V::SetBorderStyle).Default(bsSingle);
    T.Property("Columns", &V::Columns, &V::SetColumns).Default(255);
    T.Property("Header", &V::Header, &V::SetHeader);
    T.Property("HeaderColor", &V::HeaderColor, &V::SetHeaderColor);
    T.Property("IntegralHeight", &V::IntegralHeight, &V::SetIntegralHeight).Default(true);
    T.Property("MultiSelect", &V::MultiSelect, &V::SetMultiSelect).Default(false);
    T.Property("NumItems", &V::NumItems, &V::SetNumItems).Default(MaxItems);
    T.Property("OwnerDraw", &V::OwnerDraw, &V::SetOwnerDraw).Default(false);
    T.Property("ProtectColor", &V::ProtectColor, &V::SetProtectColor);
    T.Property("RowHeight", &V::RowHeight, &V::SetRowHeight).Default(17);
    T.Property("ScrollBars", &V::ScrollBars, &V::SetScrollBars).Default(ssVertical);
    T.Property("SelectColor", &V::SelectColor, &V::SetSelectColor);
    T.Property("ShowHeader", &V::ShowHeader, &V::SetShowHeader).Default(false);
    T.Property("SmoothScroll", &V::SmoothScroll, &V::SetSmoothScroll).Default(true);
    T.Property("UseTabStops", &V::UseTabStops, &V::SetUseTabStops).Default(false);
    T.Property("WheelDelta", &V::WheelDelta, &V::SetWheelDelta).Default(3);
    T.Event("OnCharToItem", &V::OnCharToItem);
    T.Event("OnClickHeader", &V::OnClickHeader);
    T.Event("OnDrawItem", &V::OnDrawItem);
    T.Event("OnGetItem", &V::OnGetItem);
    T.Event("OnGetItemColor", &V::OnGetItemColor);
    T.Event("OnGetItemStatus", &V::OnGetItemStatus);
    T.Event("OnIsSelected", &V::OnIsSelected);
    T.Event("OnSelect", &V::OnSelect);
    T.Event("OnTopIndexChanged", &V::OnTopIndexChanged);
    T.Event("OnUserCommand", &V::OnUserCommand);
}
