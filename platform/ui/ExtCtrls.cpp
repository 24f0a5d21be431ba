#include "platform/ui/ExtCtrls.h"

#include <algorithm>

#include "platform/win/StdWindows.h"

ZELMOR_IMPLEMENT_ENUM(TPanelBevel, "bvNone", "bvLowered", "bvRaised", "bvSpace")
ZELMOR_IMPLEMENT_ENUM(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine",
                      "bsRightLine", "bsSpacer")
ZELMOR_IMPLEMENT_ENUM(TBevelStyle, "bsLowered", "bsRaised")

ZELMOR_IMPLEMENT_CLASS(TCustomPanel, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TPanel, TCustomPanel)
ZELMOR_IMPLEMENT_COMPONENT(TBevel, TGraphicControl)
ZELMOR_IMPLEMENT_CLASS(TCustomRadioGroup, TCustomGroupBox)
ZELMOR_IMPLEMENT_COMPONENT(TRadioGroup, TCustomRadioGroup)
ZELMOR_IMPLEMENT_COMPONENT(TScrollBox, TScrollingWinControl)
ZELMOR_IMPLEMENT_COMPONENT(THeader, TCustomControl)

namespace {

TTextMetric ScreenMetrics(TFont* Font) {
    TTextMetric TM;
    TM.tmHeight = 13;
    if (HDC DC = GetDC(nullptr)) {
        DC->Font()->Assign(Font);
        DC->GetTextMetrics(TM);
        ReleaseDC(nullptr, DC);
    }
    return TM;
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomPanel
// ---------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                     csOpaque,          csDoubleClicks, csReplicatable};
    SetBounds(FLeft, FTop, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
    Params.WindowClass.Style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::BevelSize() const {
    int Size = FBorderWidth;
    if (FBevelOuter != bvNone) Size += FBevelWidth;
    if (FBevelInner != bvNone) Size += FBevelWidth;
    return Size;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    InflateRect(Rect, -BevelSize(), -BevelSize());
}

void TCustomPanel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    auto Bevel = [&](TPanelBevel B) {
        TColor Top = B == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor Bottom = B == bvLowered ? clBtnHighlight : clBtnShadow;
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    };
    if (FBevelOuter != bvNone) Bevel(FBevelOuter);
    Frame3D(C, R, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) Bevel(FBevelInner);
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    AnsiString Text = Caption();
    if (Text.empty()) return;
    C->Brush()->SetStyle(bsClear);
    C->Font()->Assign(Font());
    C->SetBkMode(TRANSPARENT);
    C->SetTextColor(Font()->Color());
    int H = C->TextHeight("W");
    R.Top = (R.Bottom + R.Top - H) / 2;
    R.Bottom = R.Top + H;
    uint32_t Flags = DT_EXPANDTABS | DT_VCENTER |
                     (FAlignment == taRightJustify ? uint32_t(DT_RIGHT)
                      : FAlignment == taCenter     ? uint32_t(DT_CENTER)
                                                   : 0u);
    C->DrawText(Text, R, Flags);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = std::max(1, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
    FBorderWidth = std::max(0, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TCustomPanel::CMCtl3DChanged(TMessage& Message) {
    TCustomControl::CMCtl3DChanged(Message);
    Invalidate();
}

void TPanel::DescribeProperties(TPropertyTable& T) {
    using P = TCustomPanel;
    TControl::PublishStandard(
        T, {"Align",       "Anchors",     "BiDiMode",    "Caption",        "Color",      "Constraints",
            "Ctl3D",       "DragCursor",  "DragMode",    "Enabled",        "Font",       "ParentBiDiMode",
            "ParentColor", "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu",  "ShowHint",
            "TabOrder",    "TabStop",     "Visible",     "OnClick",        "OnDblClick", "OnEnter",
            "OnExit",      "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
    T.Property("Alignment", &P::Alignment, &P::SetAlignment).Default(taCenter);
    T.Property("BevelInner", &P::BevelInner, &P::SetBevelInner).Default(bvNone);
    T.Property("BevelOuter", &P::BevelOuter, &P::SetBevelOuter).Default(bvRaised);
    T.Property("BevelWidth", &P::BevelWidth, &P::SetBevelWidth).Default(1);
    T.Property("BorderWidth", &P::BorderWidth, &P::SetBorderWidth).Default(0);
    T.Property("BorderStyle", &P::BorderStyle, &P::SetBorderStyle).Default(bsNone);
    T.Property("FullRepaint", &P::FullRepaint, &P::SetFullRepaint).Default(true);
    T.Property("Locked", &P::Locked, &P::SetLocked).Default(false);
}

// ---------------------------------------------------------------------------
// TBevel
// ---------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(FLeft, FTop, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    if (FShape == Value) return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* C = Canvas();
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    TColor Color1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor Color2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    int W = Width(), H = Height();
    // Top and left in the first colour, bottom and right in the second; the
    // corners where they meet belong to the second.
    auto BevelRect = [&](TRect R, TColor A, TColor B) {
        C->Pen()->SetColor(A);
        TPoint P1[] = {TPoint(R.Left, R.Bottom), TPoint(R.Left, R.Top), TPoint(R.Right, R.Top)};
        C->Polyline(P1);
        C->Pen()->SetColor(B);
        TPoint P2[] = {TPoint(R.Right, R.Top), TPoint(R.Right, R.Bottom), TPoint(R.Left, R.Bottom)};
        C->Polyline(P2);
    };
    auto Line = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
        C->Pen()->SetColor(Color);
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    switch (FShape) {
    case bsBox: BevelRect(TRect(0, 0, W - 1, H - 1), Color1, Color2); break;
    case bsFrame:
        // Two rectangles one pixel apart, each in the colours the other way round: an etched frame.
        BevelRect(TRect(1, 1, W - 1, H - 1), Color2, Color2);
        BevelRect(TRect(0, 0, W - 2, H - 2), Color1, Color1);
        break;
    case bsTopLine:
        Line(Color1, 0, 0, W, 0);
        Line(Color2, 0, 1, W, 1);
        break;
    case bsBottomLine:
        Line(Color1, 0, H - 2, W, H - 2);
        Line(Color2, 0, H - 1, W, H - 1);
        break;
    case bsLeftLine:
        Line(Color1, 0, 0, 0, H);
        Line(Color2, 1, 0, 1, H);
        break;
    case bsRightLine:
        Line(Color1, W - 2, 0, W - 2, H);
        Line(Color2, W - 1, 0, W - 1, H);
        break;
    case bsSpacer: break;
    }
}

void TBevel::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T,
                              {"Align", "Anchors", "Constraints", "ParentShowHint", "ShowHint", "Visible"});
    T.Property("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
    T.Property("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
}

// ---------------------------------------------------------------------------
// TCustomRadioGroup
// ---------------------------------------------------------------------------

// The radio button of one item: its clicks go to the group, and the group's
// keys see what it types.
class TRadioGroupButton : public TRadioButton {
    ZELMOR_CLASS(TRadioGroupButton, TRadioButton)
public:
    TRadioGroupButton(TComponent* AOwner, TCustomRadioGroup* Group) : TRadioButton(AOwner), FGroup(Group) {
        SetVisible(false);
        SetEnabled(Group->Enabled());
        SetParentShowHint(false);
        OnClick = [Group](TObject* Sender) { Group->ButtonClick(Sender); };
        SetParent(Group);
    }

protected:
    void CNCommand(TMessage& Message) override {
        if (FInClick) return;
        FInClick = true;
        try {
            WORD Code = HiWord(Message.WParam);
            if ((Code == BN_CLICKED || Code == BN_DOUBLECLICKED) && FGroup->CanModify())
                TRadioButton::CNCommand(Message);
        } catch (...) {
            FInClick = false;
            Application->HandleException(this);
            return;
        }
        FInClick = false;
    }
    void KeyPress(char& Key) override {
        TRadioButton::KeyPress(Key);
        FGroup->KeyPress(Key);
        if ((Key == '\b' || Key == ' ') && !FGroup->CanModify()) Key = 0;
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        TRadioButton::KeyDown(Key, Shift);
        FGroup->KeyDown(Key, Shift);
    }

private:
    TCustomRadioGroup* FGroup;
    bool FInClick = false;
};
ZELMOR_IMPLEMENT_CLASS(TRadioGroupButton, TRadioButton)

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    FControlStyle = {csSetCaption, csDoubleClicks};
    FItems->OnChange = [this](TObject* Sender) { ItemsChange(Sender); };
}

TCustomRadioGroup::~TCustomRadioGroup() { FItems->OnChange = nullptr; }

TRadioButton* TCustomRadioGroup::Buttons(int Index) const {
    if (Index < 0 || Index >= ButtonCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FButtons[static_cast<size_t>(Index)];
}

void TCustomRadioGroup::SetButtonCount(int Value) {
    while (ButtonCount() < Value) FButtons.push_back(NewComponent<TRadioGroupButton>(this, this));
    while (ButtonCount() > Value) {
        TRadioButton* B = FButtons.back();
        FButtons.pop_back();
        B->Free();
    }
}

void TCustomRadioGroup::ItemsChange(TObject*) {
    if (ComponentState().Contains(csLoading)) return;
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
    SetButtonCount(FItems->Count());
    for (int I = 0; I < ButtonCount(); ++I) FButtons[static_cast<size_t>(I)]->SetCaption(FItems->Strings(I));
    if (FItemIndex >= 0 && FItemIndex < ButtonCount()) {
        FUpdating = true;
        FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(true);
        FUpdating = false;
    }
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty() || ComponentState().Contains(csLoading)) return;
    TTextMetric TM = ScreenMetrics(Font());
    int Count = ButtonCount();
    int PerColumn = (Count + FColumns - 1) / FColumns;
    int ButtonWidth = (Width() - 10) / FColumns;
    int Room = Height() - TM.tmHeight - 5;
    int ButtonHeight = Room / PerColumn;
    int TopMargin = TM.tmHeight + 1 + (Room % PerColumn) / 2;
    for (int I = 0; I < Count; ++I) {
        TRadioButton* B = FButtons[static_cast<size_t>(I)];
        B->SetBounds((I / PerColumn) * ButtonWidth + 8, (I % PerColumn) * ButtonHeight + TopMargin,
                     ButtonWidth, ButtonHeight);
        B->SetVisible(true);
    }
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
    if (FUpdating) return;
    auto It = std::find(FButtons.begin(), FButtons.end(), dynamic_cast<TRadioButton*>(Sender));
    FItemIndex = It == FButtons.end() ? -1 : static_cast<int>(It - FButtons.begin());
    Click();
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) {
        // The items may come after the index in a form.
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (FItemIndex == Value) return;
    if (FItemIndex >= 0 && FItemIndex < ButtonCount())
        FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    if (FItemIndex >= 0) {
        FUpdating = true;
        FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(true);
        FUpdating = false;
    }
}

void TCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (FColumns == Value) return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TCustomRadioGroup::WMSize(TMessage& Message) {
    TCustomGroupBox::WMSize(Message);
    ArrangeButtons();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
    TCustomGroupBox::CMEnabledChanged(Message);
    for (TRadioButton* B : FButtons) B->SetEnabled(Enabled());
}

void TCustomRadioGroup::CMFontChanged(TMessage& Message) {
    TCustomGroupBox::CMFontChanged(Message);
    ArrangeButtons();
}

void TRadioGroup::DescribeProperties(TPropertyTable& T) {
    using G = TCustomRadioGroup;
    TGroupBox::DescribeProperties(T);
    T.Property("Columns", &G::Columns, &G::SetColumns).Default(1);
    T.Property("ItemIndex", &G::ItemIndex, &G::SetItemIndex).Default(-1);
    T.Property("Items", &G::Items, &G::SetItems);
}

// ---------------------------------------------------------------------------
// TScrollBox
// ---------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetBounds(FLeft, FTop, 185, 41);
    SetParentColor(true);
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TScrollBox::CreateWnd() {
    TScrollingWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::SetAutoScroll(bool Value) {
    if (FAutoScroll == Value) return;
    FAutoScroll = Value;
    if (!Value) {
        ScrollBy(FScroll.x, FScroll.y);
        FHorzScrollBar.FRange = FVertScrollBar.FRange = 0;
    }
    UpdateScrollBars();
}

void TScrollBox::AlignControls(TControl* AControl, TRect& Rect) {
    TScrollingWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TControlScrollBar::SetRange(int Value) {
    FRange = std::max(0, Value);
    FOwner->UpdateScrollBars();
}

void TControlScrollBar::SetMargin(int Value) {
    FMargin = std::max(0, Value);
    FOwner->UpdateScrollBars();
}

int TControlScrollBar::Position() const { return FBar == SB_HORZ ? FOwner->FScroll.x : FOwner->FScroll.y; }

void TControlScrollBar::SetPosition(int Value) { FOwner->Scroll(FBar, SB_THUMBPOSITION, Value); }

bool TControlScrollBar::IsScrollBarVisible() const {
    if (!FOwner->HandleAllocated()) return false;
    TRect R;
    GetClientRect(FOwner->Handle(), R);
    return FRange > (FBar == SB_HORZ ? R.Width() : R.Height());
}

// While the box scrolls by itself the range is how far the children reach,
// counted from the unscrolled origin, and the margin; otherwise each bar's own.
void TScrollBox::UpdateScrollBars() {
    if (!HandleAllocated() || FUpdating) return;
    FUpdating = true;
    if (FAutoScroll) {
        int Right = 0, Bottom = 0;
        for (int I = 0; I < ControlCount(); ++I) {
            TControl* C = Controls(I);
            if (!C->Visible() || C->Align() != alNone) continue;
            Right = std::max(Right, C->Left() + C->Width() + FScroll.x);
            Bottom = std::max(Bottom, C->Top() + C->Height() + FScroll.y);
        }
        FHorzScrollBar.FRange = Right > 0 ? Right + FHorzScrollBar.FMargin : 0;
        FVertScrollBar.FRange = Bottom > 0 ? Bottom + FVertScrollBar.FMargin : 0;
    }
    FRange = TSize{FHorzScrollBar.FRange, FVertScrollBar.FRange};
    for (int Bar : {SB_HORZ, SB_VERT}) {
        TRect R;
        GetClientRect(Handle(), R);
        int Page = Bar == SB_HORZ ? R.Width() : R.Height();
        int Range = Bar == SB_HORZ ? FRange.cx : FRange.cy;
        bool Show = Range > Page;
        TScrollInfo SI;
        SI.fMask = SIF_ALL;
        SI.nMin = 0;
        SI.nMax = Show ? Range - 1 : 0;
        SI.nPage = Show ? static_cast<UINT>(Page) : 0;
        SI.nPos = Bar == SB_HORZ ? FScroll.x : FScroll.y;
        ShowScrollBar(Handle(), Bar, Show);
        SetScrollInfo(Handle(), Bar, SI, true);
    }
    FUpdating = false;
}

void TScrollBox::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    DisableAlign();
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        C->SetBounds(C->Left() + DeltaX, C->Top() + DeltaY, C->Width(), C->Height());
    }
    FScroll.x -= DeltaX;
    FScroll.y -= DeltaY;
    EnableAlign();
    Invalidate();
    UpdateScrollBars();
}

void TScrollBox::ScrollInView(TControl* Control) {
    if (!Control || !ContainsControl(Control)) return;
    TRect R = ClientRect();
    int Dx = 0, Dy = 0;
    if (Control->Left() < 0) Dx = -Control->Left();
    else if (Control->Left() + Control->Width() > R.Width())
        Dx = R.Width() - Control->Left() - Control->Width();
    if (Control->Top() < 0) Dy = -Control->Top();
    else if (Control->Top() + Control->Height() > R.Height())
        Dy = R.Height() - Control->Top() - Control->Height();
    ScrollBy(Dx, Dy);
}

void TScrollBox::Scroll(int Bar, WORD Code, int Pos) {
    TRect R = ClientRect();
    int Page = Bar == SB_HORZ ? R.Width() : R.Height();
    int Range = Bar == SB_HORZ ? FRange.cx : FRange.cy;
    int Cur = Bar == SB_HORZ ? FScroll.x : FScroll.y;
    int Step = (Bar == SB_HORZ ? FHorzScrollBar : FVertScrollBar).Increment();
    int New = Cur;
    switch (Code) {
    case SB_LINEUP: New -= Step; break;
    case SB_LINEDOWN: New += Step; break;
    case SB_PAGEUP: New -= Page; break;
    case SB_PAGEDOWN: New += Page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: New = Pos; break;
    case SB_TOP: New = 0; break;
    case SB_BOTTOM: New = Range; break;
    default: return;
    }
    New = std::clamp(New, 0, std::max(0, Range - Page));
    if (Bar == SB_HORZ) ScrollBy(Cur - New, 0);
    else ScrollBy(0, Cur - New);
}

void TScrollBox::WMHScroll(TMessage& Message) {
    if (Message.LParam) {
        TScrollingWinControl::WMHScroll(Message);
        return;
    }
    Scroll(SB_HORZ, LoWord(Message.WParam), static_cast<int16_t>(HiWord(Message.WParam)));
}

void TScrollBox::WMVScroll(TMessage& Message) {
    if (Message.LParam) {
        TScrollingWinControl::WMVScroll(Message);
        return;
    }
    Scroll(SB_VERT, LoWord(Message.WParam), static_cast<int16_t>(HiWord(Message.WParam)));
}

void TScrollBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TScrollBox::KeyDown(WORD& Key, TShiftState Shift) {
    TScrollingWinControl::KeyDown(Key, Shift);
    struct TStep {
        WORD Key;
        int Bar;
        WORD Code;
    };
    static constexpr TStep Steps[] = {{VK_UP, SB_VERT, SB_LINEUP},    {VK_DOWN, SB_VERT, SB_LINEDOWN},
                                      {VK_LEFT, SB_HORZ, SB_LINEUP},  {VK_RIGHT, SB_HORZ, SB_LINEDOWN},
                                      {VK_PRIOR, SB_VERT, SB_PAGEUP}, {VK_NEXT, SB_VERT, SB_PAGEDOWN},
                                      {VK_HOME, SB_VERT, SB_TOP},     {VK_END, SB_VERT, SB_BOTTOM}};
    for (const TStep& S : Steps)
        if (S.Key == Key) {
            Scroll(S.Bar, S.Code, 0);
            Key = 0;
            return;
        }
}

void TScrollBox::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(
        T, {"Align",       "Anchors",     "BiDiMode",       "Color",      "Constraints",    "Ctl3D",
            "DragCursor",  "DragMode",    "Enabled",        "Font",       "ParentBiDiMode", "ParentColor",
            "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu",  "ShowHint",       "TabOrder",
            "TabStop",     "Visible",     "OnClick",        "OnDblClick", "OnEnter",        "OnExit",
            "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
    T.Property("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll).Default(true);
    T.Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
}

// ---------------------------------------------------------------------------
// THeader
// ---------------------------------------------------------------------------

namespace {
constexpr int DefaultSectionWidth = 64;
// How near an edge the mouse may be to take it.
constexpr int EdgeGrip = 3;
}  // namespace

THeader::THeader(TComponent* AOwner) : TCustomControl(AOwner), FSections(std::make_unique<TStringList>()) {
    FControlStyle = {csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
    SetBounds(FLeft, FTop, 250, 25);
    SetColor(clBtnFace);
    FSections->OnChange = [this](TObject* Sender) { SectionsChange(Sender); };
}

THeader::~THeader() { FSections->OnChange = nullptr; }

void THeader::SectionsChange(TObject*) {
    FWidths.resize(static_cast<size_t>(FSections->Count()), DefaultSectionWidth);
    Invalidate();
}

int THeader::SectionWidth(int Index) const {
    if (Index < 0 || Index >= FSections->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return static_cast<size_t>(Index) < FWidths.size() ? FWidths[static_cast<size_t>(Index)]
                                                       : DefaultSectionWidth;
}

void THeader::SetSectionWidth(int Index, int Value) {
    SectionWidth(Index);
    if (FWidths.size() < static_cast<size_t>(FSections->Count()))
        FWidths.resize(static_cast<size_t>(FSections->Count()), DefaultSectionWidth);
    FWidths[static_cast<size_t>(Index)] = std::max(0, Value);
    Invalidate();
}

void THeader::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void THeader::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
}

void THeader::Paint() {
    TCanvas* C = Canvas();
    TRect Client = ClientRect();
    C->Font()->Assign(Font());
    C->SetBkMode(TRANSPARENT);
    C->SetTextColor(Font()->Color());
    int X = 0;
    int Count = FSections->Count();
    for (int I = 0; I < Count && X < Client.Right; ++I) {
        // The last section takes what is left of the width.
        int W = I == Count - 1 ? std::max(SectionWidth(I), Client.Right - X) : SectionWidth(I);
        TRect R(X, 0, X + W, Client.Bottom);
        TRect Face = R;
        C->DrawFrameControl(Face, DFC_BUTTON, DFCS_BUTTONPUSH);
        TRect T = R;
        InflateRect(T, -3, 0);
        C->DrawText(FSections->Strings(I), T, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        X += W;
    }
    if (X < Client.Right) {
        C->Brush()->SetColor(Color());
        C->FillRect(TRect(X, 0, Client.Right, Client.Bottom));
    }
}

int THeader::EdgeAt(int X) const {
    int Edge = 0;
    for (int I = 0; I < FSections->Count(); ++I) {
        Edge += SectionWidth(I);
        if (std::abs(X - Edge) <= EdgeGrip) return I;
    }
    return -1;
}

void THeader::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FAllowResize) {
        FSizing = EdgeAt(X);
        if (FSizing >= 0) {
            int Left = 0;
            for (int I = 0; I < FSizing; ++I) Left += SectionWidth(I);
            FSizingStart = Left;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void THeader::MouseMove(TShiftState Shift, int X, int Y) {
    if (FSizing >= 0) {
        int W = std::max(0, X - FSizingStart);
        if (Assigned(OnSizing)) OnSizing(this, FSizing, W);
        SetSectionWidth(FSizing, W);
        Update();
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void THeader::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FSizing >= 0 && Button == mbLeft) {
        int Section = FSizing;
        FSizing = -1;
        if (Assigned(OnSized)) OnSized(this, Section, SectionWidth(Section));
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void THeader::WMSetCursor(TMessage& Message) {
    if (FAllowResize && LoWord(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT) {
        TPoint P;
        GetCursorPos(P);
        if (FSizing >= 0 || EdgeAt(ScreenToClient(P).x) >= 0) {
            ::SetCursor(LoadStandardCursor(crHSplit));
            Message.Result = 1;
            return;
        }
    }
    TCustomControl::WMSetCursor(Message);
}

void THeader::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Align",      "Anchors",  "Constraints", "DragCursor",     "DragMode",
                                  "Enabled",    "Font",     "ParentFont",  "ParentShowHint", "PopupMenu",
                                  "ShowHint",   "TabOrder", "TabStop",     "Visible",        "OnClick",
                                  "OnDblClick", "OnEnter",  "OnExit",      "OnMouseDown",    "OnMouseMove",
                                  "OnMouseUp"});
    T.Property("AllowResize", &THeader::AllowResize, &THeader::SetAllowResize).Default(true);
    T.Property("BorderStyle", &THeader::BorderStyle, &THeader::SetBorderStyle).Default(bsSingle);
    T.Property("Sections", &THeader::Sections, &THeader::SetSections);
    T.Event("OnSized", &THeader::OnSized);
    T.Event("OnSizing", &THeader::OnSizing);
}

void RegisterExtControls() {
    RegisterClasses({&TPanel::StaticClassInfo(), &TBevel::StaticClassInfo(), &TRadioGroup::StaticClassInfo(),
                     &TScrollBox::StaticClassInfo(), &THeader::StaticClassInfo()});
}
