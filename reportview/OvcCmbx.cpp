#include "reportview/OvcCmbx.h"

#include <algorithm>

#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcExcpt.h"

ZELMOR_IMPLEMENT_ENUM(TOvcComboStyle, "ocsDropDown", "ocsDropDownList")
ZELMOR_IMPLEMENT_CLASS(TOvcHTColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcBaseComboBox, TCustomComboBox)
ZELMOR_IMPLEMENT_COMPONENT(TOvcComboBox, TOvcBaseComboBox)

// --- hot-track colours and the MRU list ---

void TOvcHTColors::DescribeProperties(TPropertyTable& T) {
    T.Property("Highlight", &TOvcHTColors::Highlight, &TOvcHTColors::SetHighlight).OfType(ColorTypeInfo());
    T.Property("Shadow", &TOvcHTColors::Shadow, &TOvcHTColors::SetShadow).OfType(ColorTypeInfo());
}

void TOvcHTColors::Assign(TPersistent* Source) {
    auto* from = dynamic_cast<TOvcHTColors*>(Source);
    if (!from) {
        TPersistent::Assign(Source);
        return;
    }
    FHighlight = from->FHighlight;
    FShadow = from->FShadow;
}

void TOvcMRUList::SetMaxItems(int Value) {
    FMaxItems = Value;
    Shrink();
}

void TOvcMRUList::NewItem(const AnsiString& S, TObject* Obj) {
    for (int i = 0; i < FItems.Count(); ++i)
        if (FItems.Get(i) == S) {
            FItems.Move(i, 0);
            return;
        }
    FItems.InsertObject(0, S, Obj);
    Shrink();
}

bool TOvcMRUList::RemoveItem(const AnsiString& S) {
    for (int i = 0; i < FItems.Count(); ++i)
        if (FItems.Get(i) == S) {
            FItems.Delete(i);
            return true;
        }
    return false;
}

void TOvcMRUList::Shrink() {
    while (FItems.Count() > std::max(FMaxItems, 0)) FItems.Delete(FItems.Count() - 1);
}

// --- the combo box ---

void TOvcBaseComboBox::DescribeProperties(TPropertyTable& T) {
    using B = TOvcBaseComboBox;
    T.Property("About", &B::About, &B::SetAbout).Stored(false);
    T.Property("Borders", &B::Borders, &B::SetBorders);
    T.Property("Controller", &B::Controller, &B::SetController);
    T.Property("HotTrackBorder", &B::HotTrackBorder, &B::SetHTBorder).NoDefault();
    T.Property("HotTrackColors", &B::HotTrackColors, &B::SetHTColors);
}

TOvcBaseComboBox::TOvcBaseComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), TOvcLabelled(this), FBorders(std::make_unique<TOvcBorders>()),
      FHotTrackColors(std::make_unique<TOvcHTColors>()), FMRUList(std::make_unique<TOvcMRUList>()),
      FWorkList(std::make_unique<TStringList>()) {
    for (TOvcBorder* b :
         {FBorders->BottomBorder(), FBorders->LeftBorder(), FBorders->RightBorder(), FBorders->TopBorder()})
        b->OnChange = [this](TObject*) { BorderChanged(); };
    // Every row is drawn here: the MRU block's rows and separator among them.
    SetStyle(csOwnerDrawVariable);
}

TOvcBaseComboBox::~TOvcBaseComboBox() = default;

void TOvcBaseComboBox::BeforeDestruction() {
    if (TOvcAttachedLabel* label = LabelInfo()->ALabel) {
        if (!label->ComponentState().Contains(csDestroying)) LabelInfo()->SetVisible(false);
        LabelInfo()->ALabel = nullptr;
    }
    StopTimer(FSearchTimer);
    StopTimer(FHotTimer);
    TCustomComboBox::BeforeDestruction();
}

TCustomForm* TOvcBaseComboBox::LabelForm() const { return GetParentForm(this); }

// --- the MRU block ---

TStrings* TOvcBaseComboBox::GetList() {
    FWorkList->Clear();
    for (int i = MRUCount(); i < Items()->Count(); ++i)
        FWorkList->AddObject(Items()->Get(i), Items()->Objects(i));
    return FWorkList.get();
}

void TOvcBaseComboBox::SetListIndex(int Index) {
    const int at = Index + MRUCount();
    SetItemIndex(Index < 0 || at >= Items()->Count() ? -1 : at);
}

void TOvcBaseComboBox::MRUListUpdate(int Old) {
    const AnsiString text = Text();
    for (int i = 0; i < Old && Items()->Count() > 0; ++i) Items()->Delete(0);
    FMRUList->Shrink();
    const TStringList& mru = FMRUList->Items();
    for (int i = mru.Count() - 1; i >= 0; --i) Items()->InsertObject(0, mru.Get(i), mru.Objects(i));
    const int m = MRUCount();
    // The last row of the block has room for its separator.
    if (m > 0 && HandleAllocated()) Perform(CB_SETITEMHEIGHT, static_cast<WPARAM>(m - 1), FItemHeight + 3);
    int select = -1;
    for (int i = m; i < Items()->Count(); ++i)
        if (Items()->Get(i) == text) {
            select = i;
            break;
        }
    SetItemIndex(select);
}

int TOvcBaseComboBox::AddItem(const AnsiString& S, TObject* Obj) {
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Get(i) == S) return -1;
    Items()->AddObject(S, Obj);
    UpdateMRUList();
    RecalcHeight();
    return Items()->Count() - 1 - MRUCount();
}

void TOvcBaseComboBox::InsertItem(int Index, const AnsiString& S, TObject* Obj) {
    if (Index >= 0 && Index < Items()->Count() - MRUCount()) {
        Items()->InsertObject(Index + MRUCount(), S, Obj);
        UpdateMRUList();
    }
    RecalcHeight();
}

void TOvcBaseComboBox::RemoveItem(const AnsiString& S) {
    // The MRU block loses the row too: one more old row than it now holds goes.
    if (FMRUList->RemoveItem(S)) MRUListUpdate(MRUCount() + 1);
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Get(i) == S) {
            const bool selected = i == ItemIndex();
            Items()->Delete(i);
            if (selected) {
                SetText("");
                SelectionChanged();
            }
            break;
        }
    UpdateMRUList();
    RecalcHeight();
}

void TOvcBaseComboBox::AssignItems(TStrings* Source) {
    Items()->Clear();
    Items()->Assign(Source);
    RecalcHeight();
}

void TOvcBaseComboBox::ClearItems() {
    ClearMRUList();
    Clear();
}

void TOvcBaseComboBox::ClearMRUList() {
    for (int i = 0; i < MRUCount() && Items()->Count() > 0; ++i) Items()->Delete(0);
    FMRUList->Clear();
}

void TOvcBaseComboBox::AddItemToMRUList(int Index) {
    if (Index < 0 || Index >= Items()->Count()) return;
    const int before = MRUCount();
    const AnsiString text = Items()->Get(Index);
    TObject* obj = Items()->Objects(Index);
    FMRUList->NewItem(text, obj);
    if (MRUCount() > before) Items()->InsertObject(0, text, obj);
}

void TOvcBaseComboBox::SelectionChanged() {
    if (FMRUListCount <= 0) {
        if (GetList()->Count() > 0 && FAutoSearch) {
            const AnsiString text = Text();
            for (int i = 0; i < Items()->Count(); ++i)
                if (Items()->Get(i) == text) {
                    SetItemIndex(i);
                    break;
                }
        }
    } else {
        UpdateMRUList();
    }
    if (OnSelectionChange) OnSelectionChange(this);
}

void TOvcBaseComboBox::SetMRUListCount(int Value) {
    // A form being read has no rows to clear yet, but the count it stores is
    // the block's size all the same: a picker streamed with 4 keeps 4.
    if (!ComponentState().Contains(csLoading)) ClearMRUList();
    FMRUList->SetMaxItems(Value);
    FMRUListCount = Value;
}

// --- properties ---

void TOvcBaseComboBox::SetController(TOvcController* Value) {
    if (Value == FController) return;
    StopTimer(FSearchTimer);
    StopTimer(FHotTimer);
    FController = Value;
    if (Value) Value->FreeNotification(this);
}

void TOvcBaseComboBox::SetDroppedWidth(int Value) {
    if (HandleAllocated()) Perform(CB_SETDROPPEDWIDTH, Value == -1 ? 0 : static_cast<WPARAM>(Value));
    FDroppedWidth = Value;
}

void TOvcBaseComboBox::SetOvcItemHeight(int Value) {
    if (Value <= 0) return;
    FItemHeight = Value;
    TCustomComboBox::SetItemHeight(Value + 3);
}

void TOvcBaseComboBox::SetOcbStyle(TOvcComboStyle Value) {
    if (Value == FOcbStyle) return;
    FOcbStyle = Value;
    RecreateWnd();
}

void TOvcBaseComboBox::RecalcHeight() {
    if (ComponentState().Contains(csLoading)) return;
    HDC dc = GetDC(nullptr);
    dc->Font()->Assign(Font());
    const int height = dc->TextHeight("Wy") - 1;
    ReleaseDC(nullptr, dc);
    if (height != FItemHeight) SetOvcItemHeight(height);
}

void TOvcBaseComboBox::SetHotTrack(bool Value) {
    if (Value == FHotTrack) return;
    FHotTrack = Value;
    if (ComponentState().Contains(csLoading)) return;
    // The pool raises the 1 ms asked for here to its shortest period.
    if (Value) StartHotTimer(1);
    else StopTimer(FHotTimer);
    Invalidate();
}

void TOvcBaseComboBox::SetHTBorder(bool Value) {
    if (Value)
        for (TOvcBorder* b : {FBorders->LeftBorder(), FBorders->RightBorder(), FBorders->TopBorder(),
                              FBorders->BottomBorder()})
            b->SetEnabled(false);
    FHotTrackBorder = Value;
    Invalidate();
}

void TOvcBaseComboBox::BorderChanged() {
    // While a form is read its values stand as it stores them.
    if (ComponentState().Contains(csLoading)) return;
    FHotTrackBorder = false;
    if (FBorders->AnyEnabled()) {
        FHotTrack = true;
        SetCtl3D(false);
    } else {
        SetCtl3D(true);
        FHotTrack = false;
        StopTimer(FHotTimer);
    }
    RecreateWnd();
}

void TOvcBaseComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) PostMessage(Handle(), OM_POSITIONLABEL, 0, 0);
}

// --- the window ---

void TOvcBaseComboBox::CreateParams(TCreateParams& Params) {
    TCustomComboBox::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_SORT);
    Params.Style |= static_cast<DWORD>(WS_VSCROLL) | CBS_HASSTRINGS | CBS_AUTOHSCROLL |
                    CBS_OWNERDRAWVARIABLE | (FOcbStyle == ocsDropDown ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
    if (Sorted()) Params.Style |= CBS_SORT;
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TOvcBaseComboBox::CreateWnd() {
    TOvcController* controller = FController;
    LookUpController(this, controller);
    if (controller != FController) SetController(controller);
    TCustomComboBox::CreateWnd();
    if (FDroppedWidth != -1) Perform(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(FDroppedWidth));
}

void TOvcBaseComboBox::Loaded() {
    TCustomComboBox::Loaded();
    if (!FController) {
        SetController(FindController(GetParentForm(this)));
        if (!FController) throw ENoControllerAssigned();
    }
    if (FHotTrack) StartHotTimer(100);
    RecalcHeight();
}

void TOvcBaseComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        LabelGone(AComponent);
        if (AComponent == FController) {
            // Its pool goes with it, and the triggers kept there.
            FController = nullptr;
            FSearchTimer = FHotTimer = -1;
        }
    } else if (!FController) {
        if (auto* c = dynamic_cast<TOvcController*>(AComponent)) SetController(c);
    }
}

bool TOvcBaseComboBox::IsPartOf(HWND Wnd) const {
    return Wnd && HandleAllocated() && (Wnd == FHandle || Wnd == EditHandle());
}

void TOvcBaseComboBox::WndProc(TMessage& Message) {
    if (LibraryMessage(Message)) return;
    switch (Message.Msg) {
    case WM_PAINT:
        if (FHotTrack) {
            TPaintStruct ps;
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            if (!dc) dc = BeginPaint(FHandle, ps);
            PaintHot(dc);
            if (!Message.WParam) EndPaint(FHandle, ps);
            PaintBorders();
            Message.Result = 1;
            return;
        }
        TCustomComboBox::WndProc(Message);
        PaintBorders();
        return;
    case WM_NCHITTEST:
        TCustomComboBox::WndProc(Message);
        if (FHotTrack && !FHot && Application && Application->Active()) {
            FHot = true;
            Invalidate();
        }
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomComboBox::WndProc(Message);
        if (HandleAllocated())
            PostMessage(FHandle, Message.Msg == WM_SETFOCUS ? OM_AFTERENTER : OM_AFTEREXIT, 0, 0);
        return;
    default: TCustomComboBox::WndProc(Message);
    }
}

void TOvcBaseComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, const TWndProc& ComboProc) {
    TCustomComboBox::ComboWndProc(Message, ComboWnd, ComboProc);
    if (Message.Msg == WM_NCHITTEST && FHotTrack && !FHot && Application && Application->Active()) {
        FHot = true;
        Invalidate();
    }
}

void TOvcBaseComboBox::CNCommand(TMessage& Message) {
    switch (HiWord(Message.WParam)) {
    case CBN_DROPDOWN: FItemIndexAtDropDown = ItemIndex(); break;
    case CBN_CLOSEUP:
        if (int index = ItemIndex(); index >= 0) {
            const AnsiString text = Items()->Get(index);
            AddItemToMRUList(index);
            SetText(text);
            Click();
            SelectionChanged();
        }
        if (FHotTrack) Invalidate();
        break;
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS:
        FFocused = HiWord(Message.WParam) == CBN_SETFOCUS;
        if (FHotTrack) Invalidate();
        break;
    default: break;
    }
    TCustomComboBox::CNCommand(Message);
}

void TOvcBaseComboBox::CNDrawItem(TMessage& Message) {
    auto* item = reinterpret_cast<TDrawItemStruct*>(Message.LParam);
    FEditPartDrawing = item && (item->itemState & ODS_COMBOBOXEDIT);
    TCustomComboBox::CNDrawItem(Message);
}

void TOvcBaseComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    const int m = MRUCount();
    TColor back = State.Contains(odSelected) ? clHighlight : Index < m ? FMRUListColor : Color();
    c->Brush()->SetColor(back);
    c->FillRect(Rect);
    if (Index >= 0 && Index < Items()->Count()) {
        const AnsiString text = Items()->Get(Index);
        c->Font()->SetColor(State.Contains(odSelected) ? clHighlightText : Font()->Color());
        c->SetBkMode(TRANSPARENT);
        const int top = Rect.Top + (Rect.Height() - c->TextHeight(text)) / 2;
        c->TextOut(Rect.Left + 2, top, text);
    }
    // Under the last row of the MRU block, in the dropped list: its separator.
    if (Index == m - 1 && DroppedDown() && !FEditPartDrawing) {
        c->Pen()->SetColor(clGrayText);
        c->Pen()->SetWidth(1);
        c->Brush()->SetColor(FMRUListColor);
        c->Rectangle(Rect.Left - 1, Rect.Bottom - 3, Rect.Right + 1, Rect.Bottom);
    }
}

void TOvcBaseComboBox::MeasureItem(int Index, int& Height) {
    Height = Index >= 0 && Index == MRUCount() - 1 ? FItemHeight + 3 : FItemHeight;
}

void TOvcBaseComboBox::CMVisibleChanged(TMessage& Message) {
    TCustomComboBox::CMVisibleChanged(Message);
    LabelVisibility();
}

void TOvcBaseComboBox::CMFontChanged(TMessage& Message) {
    TCustomComboBox::CMFontChanged(Message);
    RecalcHeight();
}

void TOvcBaseComboBox::WMMouseWheel(TMessage& Message) {
    TCustomComboBox::WMMouseWheel(Message);
    const auto w = static_cast<uintptr_t>(Message.WParam);
    const auto l = static_cast<uintptr_t>(Message.LParam);
    DoOnMouseWheel(KeysToShiftState(LoWord(w)), HiWord(w), LoWord(l), HiWord(l));
}

void TOvcBaseComboBox::DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos) {
    if (OnMouseWheel) OnMouseWheel(this, Shift, Delta, XPos, YPos);
}

void TOvcBaseComboBox::DoExit() {
    AddItemToMRUList(ItemIndex());
    TCustomComboBox::DoExit();
}

// --- keys and the incremental search ---

void TOvcBaseComboBox::KeyDown(WORD& Key, TShiftState Shift) {
    FBackspaced = false;
    const bool shifted = Shift.Contains(ssShift) || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt);
    switch (Key) {
    case VK_BACK: FBackspaced = true; break;
    case VK_RETURN:
    case SearchKey: {
        const int m = MRUCount();
        const AnsiString typed = Text();
        LRESULT found = Perform(CB_FINDSTRING, m > 0 ? static_cast<WPARAM>(m - 1) : static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(typed.c_str()));
        if (found != CB_ERR) {
            const AnsiString text = Items()->Get(static_cast<int>(found));
            SetText(text);
            if (Key == VK_RETURN) Click();
            SetSelLength(static_cast<int>(text.size()) - SelStart());
            SelectionChanged();
        } else if (Key == VK_RETURN) {
            MessageBeep(0);
        }
        break;
    }
    case VK_ESCAPE:
        SetItemIndex(0);
        Change();
        break;
    case VK_END:
    case VK_HOME:
        if (!FStandardHomeEnd && !shifted) {
            SetItemIndex(Key == VK_END ? Items()->Count() - 1 : 0);
            Change();
        }
        break;
    default: {
        // Mouse buttons, editing, shift, page, arrow and function keys start no search.
        const bool silent = (Key >= 1 && Key <= 4) || Key == VK_TAB || Key == 12 ||
                            (Key >= 16 && Key <= 20) || (Key >= 33 && Key <= 47) ||
                            (Key >= 112 && Key <= 135) || Key == VK_NUMLOCK || Key == VK_SCROLL;
        if (!silent && FAutoSearch && FController) {
            StopTimer(FSearchTimer);
            FSearchTimer = FController->TimerPool()->AddOneTime(
                [this](TObject*, int32_t Handle, uint32_t, int32_t) { SearchTimer(Handle); },
                static_cast<uint32_t>(FKeyDelay));
        }
    }
    }
    TCustomComboBox::KeyDown(Key, Shift);
}

void TOvcBaseComboBox::SearchTimer(int32_t) {
    FSearchTimer = -1;
    if (FBackspaced) return;
    const int caret = SelStart();
    WORD key = SearchKey;
    KeyDown(key, {});
    SetSelStart(caret);
    SetSelLength(static_cast<int>(Text().size()) - caret);
}

void TOvcBaseComboBox::StopTimer(int32_t& Handle) {
    if (Handle >= 0 && FController) FController->TimerPool()->Remove(Handle);
    Handle = -1;
}

// --- hot tracking ---

void TOvcBaseComboBox::StartHotTimer(uint32_t Interval) {
    if (!FController || FHotTimer >= 0) return;
    FHotTimer =
        FController->TimerPool()->Add([this](TObject*, int32_t, uint32_t, int32_t) { HotTimer(); }, Interval);
}

void TOvcBaseComboBox::HotTimer() {
    if (FInHotTimer || !FHot) return;
    FInHotTimer = true;
    TPoint at;
    GetCursorPos(at);
    if (!IsPartOf(WindowFromPoint(at))) {
        FHot = false;
        Invalidate();
    }
    FInHotTimer = false;
}

void TOvcBaseComboBox::PaintHot(HDC DC) {
    const int w = Width(), h = Height(), b = w - 15, mid = h / 2;
    const bool lit = DroppedDown() || FHot || FFocused;
    auto line = [&](TColor Color, std::initializer_list<TPoint> Points) {
        DC->Pen()->SetColor(Color);
        DC->Pen()->SetWidth(1);
        DC->Pen()->SetStyle(psSolid);
        const TPoint* p = Points.begin();
        DC->MoveTo(p->x, p->y);
        for (++p; p != Points.end(); ++p) DC->LineTo(p->x, p->y);
    };
    auto arrow = [&](std::initializer_list<TPoint> Points) {
        DC->Pen()->SetColor(clBlack);
        DC->Brush()->SetColor(clBlack);
        DC->Polygon(std::span<const TPoint>(Points.begin(), Points.size()));
    };
    auto selectedItem = [&](bool Focused) {
        if (FOcbStyle != ocsDropDownList || ItemIndex() < 0) return;
        TOwnerDrawState state;
        if (Focused) state.Include(odFocused);
        if (Focused && ItemIndex() >= 0) state.Include(odSelected);
        AdoptDC(*Canvas(), DC);
        DrawItem(ItemIndex(), TRect(4, 4, b - 1, h - 3), state);
        AdoptDC(*Canvas(), nullptr);
    };
    DC->Brush()->SetColor(Color());
    DC->FillRect(TRect(0, 0, w, h));
    if (lit) {
        if (FHotTrackBorder) {
            line(FHotTrackColors->Shadow(), {{1, h - 2}, {1, 1}, {w - 1, 1}});
            line(FHotTrackColors->Highlight(), {{w - 2, 1}, {w - 2, h - 2}, {1, h - 2}});
            DC->Brush()->SetColor(Color());
            DC->FrameRect(TRect(2, 2, w - 3, h - 3));
        }
        TRect button(b, 3, w - 3, h - 3);
        DC->DrawEdge(button, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        if (DroppedDown()) {
            arrow({{b + 4, mid}, {b + 6, mid + 2}, {b + 8, mid}});
            line(clBtnHighlight, {{b, h - 4}, {w - 4, h - 4}, {w - 4, 3}});
            line(clBtnShadow, {{b, h - 4}, {b, 3}, {w - 4, 3}});
            if (FOcbStyle == ocsDropDownList && FItemIndexAtDropDown >= 0) {
                AdoptDC(*Canvas(), DC);
                DrawItem(FItemIndexAtDropDown, TRect(4, 4, b - 1, h - 3), {});
                AdoptDC(*Canvas(), nullptr);
            }
        } else {
            arrow({{b + 3, mid - 1}, {b + 5, mid + 1}, {b + 7, mid - 1}});
            line(Color(), {{b, h - 4}, {b, 3}, {w - 4, 3}});
            selectedItem(FFocused);
        }
        line(Color(), {{b - 2, 3}, {b - 2, h - 3}});
    } else {
        DC->Brush()->SetColor(Color());
        DC->FillRect(TRect(2, 2, w - 2, h - 2));
        DC->FillRect(TRect(b, 4, w - 4, h - 4));
        arrow({{b + 3, mid - 1}, {b + 5, mid + 1}, {b + 7, mid - 1}});
        line(Color(), {{2, h - 3}, {w - 3, h - 3}});
        selectedItem(false);
    }
    DC->Brush()->SetColor(Color());
}

void TOvcBaseComboBox::PaintBorders() {
    if (!HandleAllocated() || !FBorders->AnyEnabled()) return;
    HDC dc = GetDC(FHandle);
    const int right = Width() - (FHotTrack ? 17 : 19);
    auto side = [&](TOvcBorder* Border, TPoint From, TPoint To) {
        if (!Border->Enabled()) return;
        dc->Pen()->SetColor(Border->PenColor());
        dc->Pen()->SetWidth(Border->PenWidth());
        dc->Pen()->SetStyle(Border->PenStyle());
        dc->MoveTo(From.x, From.y);
        dc->LineTo(To.x, To.y);
    };
    auto half = [](TOvcBorder* Border) { return Border->PenWidth() / 2; };
    side(FBorders->LeftBorder(), {half(FBorders->LeftBorder()), 0}, {half(FBorders->LeftBorder()), Height()});
    side(FBorders->RightBorder(), {right - half(FBorders->RightBorder()), 0},
         {right - half(FBorders->RightBorder()), Height()});
    side(FBorders->TopBorder(), {0, half(FBorders->TopBorder())}, {right, half(FBorders->TopBorder())});
    side(FBorders->BottomBorder(), {0, Height() - half(FBorders->BottomBorder())},
         {right - 1, Height() - half(FBorders->BottomBorder())});
    ReleaseDC(FHandle, dc);
}

// --- the published class ---

void TOvcComboBox::DescribeProperties(TPropertyTable& T) {
    using B = TOvcBaseComboBox;
    TControl::PublishStandard(T, {"Anchors",    "Color",      "Ctl3D",       "ParentCtl3D",    "Enabled",
                                  "Font",       "ParentFont", "ParentColor", "ParentShowHint", "PopupMenu",
                                  "ShowHint",   "TabOrder",   "TabStop",     "Visible",        "OnClick",
                                  "OnDblClick", "OnEnter",    "OnExit",      "OnKeyDown",      "OnKeyPress",
                                  "OnKeyUp"});
    T.Event("OnChange", &TCustomComboBox::OnChange);
    T.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    T.Property("AutoSearch", &B::AutoSearch, &B::SetAutoSearch).Default(true);
    T.Property("Style", &B::OcbStyle, &B::SetOcbStyle).Default(ocsDropDown);
    T.Property("DroppedWidth", &B::DroppedWidth, &B::SetDroppedWidth).Default(-1);
    T.Property("HotTrack", &B::HotTrack, &B::SetHotTrack).Default(false);
    T.Property("ItemHeight", &B::OvcItemHeight, &B::SetOvcItemHeight).NoDefault();
    T.Property("KeyDelay", &B::KeyDelay, &B::SetKeyDelay).Default(500);
    T.PropertyOf<B>(
        "LabelInfo", [](B& C) { return C.LabelInfo(); }, [](B& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.Property("MRUListColor", &B::MRUListColor, &B::SetMRUListColor)
        .OfType(ColorTypeInfo())
        .Default(clWindow);
    T.Property("MRUListCount", &B::MRUListCount, &B::SetMRUListCount).Default(3);
    T.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    T.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
    T.PropertyOf<B>(
        "Text", [](B& C) { return C.Text(); }, [](B& C, AnsiString V) { C.SetText(V); });
    T.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
        .Default(8);
    T.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
    T.PropertyOf<B>(
        "AfterEnter", [](B& C) -> const TNotifyEvent& { return C.AfterEnter; },
        [](B& C, TNotifyEvent V) { C.AfterEnter = std::move(V); });
    T.PropertyOf<B>(
        "AfterExit", [](B& C) -> const TNotifyEvent& { return C.AfterExit; },
        [](B& C, TNotifyEvent V) { C.AfterExit = std::move(V); });
    T.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
    T.Event("OnSelectionChange", &B::OnSelectionChange);
}
