#include "reportview/OvcSplit.h"

#include <cmath>
#include <cstdlib>

#include "platform/classes/Filer.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TSplitterOrientation, "soVertical", "soHorizontal")
ZELMOR_IMPLEMENT_COMPONENT(TOvcSection, TOvcCollectibleControl)
ZELMOR_IMPLEMENT_COMPONENT(TOvcSplitter, TOvcCustomControlEx)

// --- panes ---

void TOvcSection::DescribeProperties(TPropertyTable& T) {
    // The splitter places its panes: their bounds are never stored.
    T.Property("Left", &TControl::Left, &TControl::SetLeft).Stored(false);
    T.Property("Top", &TControl::Top, &TControl::SetTop).Stored(false);
    T.Property("Width", &TControl::Width, &TControl::SetWidth).Stored(false);
    T.Property("Height", &TControl::Height, &TControl::SetHeight).Stored(false);
    TControl::PublishStandard(T, {"Color"});
}

TOvcSection::TOvcSection(TComponent* AOwner) : TOvcCollectibleControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    SetParentCtl3D(true);
    SetColor(clBtnFace);
    if (auto* parent = dynamic_cast<TWinControl*>(AOwner)) SetParent(parent);
}

void TOvcSection::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
    DisableAlign();
    try {
        TOvcCollectibleControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TOvcSection::WMNCHitTest(TMessage& Message) {
    // The bare pane lets the mouse through to the splitter beneath it.
    Message.Result = HTTRANSPARENT;
}

// --- the splitter ---

void TOvcSplitter::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(T, {"Align", "Color", "Ctl3D", "ParentCtl3D", "Enabled", "ShowHint", "Visible",
                                  "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp",
                                  "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"});
    T.Property("AllowResize", &TOvcSplitter::AllowResize, &TOvcSplitter::SetAllowResize).NoDefault();
    T.Property("AutoScale", &TOvcSplitter::AutoScale, &TOvcSplitter::SetAutoScale).NoDefault();
    T.Property("AutoUpdate", &TOvcSplitter::AutoUpdate, &TOvcSplitter::SetAutoUpdate).NoDefault();
    T.Property("BorderStyle", &TOvcSplitter::BorderStyle, &TOvcSplitter::SetBorderStyle).NoDefault();
    T.Property("ColorLeft", &TOvcSplitter::ColorLeft, &TOvcSplitter::SetColorLeft).OfType(ColorTypeInfo());
    T.Property("ColorRight", &TOvcSplitter::ColorRight, &TOvcSplitter::SetColorRight).OfType(ColorTypeInfo());
    T.Property("Orientation", &TOvcSplitter::Orientation, &TOvcSplitter::SetOrientation).NoDefault();
    T.Property("Position", &TOvcSplitter::Position, &TOvcSplitter::SetPosition).NoDefault();
    T.Property("ShowHandle", &TOvcSplitter::ShowHandle, &TOvcSplitter::SetShowHandle).NoDefault();
    T.Property("SplitterColor", &TOvcSplitter::SplitterColor, &TOvcSplitter::SetSplitterColor)
        .OfType(ColorTypeInfo());
    T.Property("SplitterSize", &TOvcSplitter::SplitterSize, &TOvcSplitter::SetSplitterSize).NoDefault();
    T.Event("OnOwnerDraw", &TOvcSplitter::OnOwnerDraw);
    TControl::PublishStandard(T, {"OnResize"});
}

TOvcSplitter::TOvcSplitter(TComponent* AOwner) : TOvcCustomControlEx(AOwner) {
    SetCtl3D(true);
    SetBounds(Left(), Top(), 200, 100);
    RegisterClass(TOvcSection::StaticClassInfo());
    FSections = std::make_unique<TOvcCollection>(this, &TOvcSection::StaticClassInfo());
    FSections->Add()->SetName("SPL1");
    FSections->Add()->SetName("SPL2");
    FPosition = Width() / 2;
}

TOvcSplitter::~TOvcSplitter() = default;

void TOvcSplitter::BeforeDestruction() {
    SetParent(nullptr);
    TOvcCustomControlEx::BeforeDestruction();
    FSections.reset();
}

TOvcSection* TOvcSplitter::GetSection(int Index) const {
    if (!FSections || Index < 0 || Index >= FSections->Count()) return nullptr;
    return dynamic_cast<TOvcSection*>(FSections->Item(Index));
}

int TOvcSplitter::SectionCount() const { return FSections ? FSections->Count() : 0; }

int TOvcSplitter::Extent() const { return FOrientation == soVertical ? ClientWidth() : ClientHeight(); }

void TOvcSplitter::Center() { SetPosition((Extent() - FSplitterSize) / 2); }

void TOvcSplitter::SetPosition(int Value) {
    if (Value < 1) Value = 1;
    if (ComponentState().Contains(csLoading) || !HandleAllocated()) {
        FPosition = Value;
        // A form may hold the position before the size: the fraction waits for a size.
        if (int extent = Extent(); extent > 0) FFraction = double(Value) / extent;
        return;
    }
    SetPositionPrim(Value);
    Invalidate();
    DoOnResize();
}

void TOvcSplitter::SetPositionPrim(int Value) {
    if (ClientWidth() == 0 || ClientHeight() == 0) return;
    if (Value < 1) Value = 1;
    FPosition = std::min(Value, Extent() - FSplitterSize - 2);
}

void TOvcSplitter::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TOvcSplitter::SetColorLeft(TColor Value) {
    FColorLeft = Value;
    if (TOvcSection* s = GetSection(0)) s->SetColor(Value);
}

void TOvcSplitter::SetColorRight(TColor Value) {
    FColorRight = Value;
    if (TOvcSection* s = GetSection(1)) s->SetColor(Value);
}

void TOvcSplitter::Relayout() {
    if (ComponentState().Contains(csLoading) || !HandleAllocated()) return;
    SetSectionInfo();
    Invalidate();
}

void TOvcSplitter::SetOrientation(TSplitterOrientation Value) {
    FOrientation = Value;
    if (ComponentState().Contains(csLoading) || !HandleAllocated()) return;
    SetPositionPrim(FPosition);
    Relayout();
}

void TOvcSplitter::SetSplitterSize(int Value) {
    FSplitterSize = Value;
    Relayout();
}

void TOvcSplitter::SetShowHandle(bool Value) {
    FShowHandle = Value;
    Invalidate();
}

void TOvcSplitter::SetSplitterColor(TColor Value) {
    FSplitterColor = Value;
    Invalidate();
}

void TOvcSplitter::SetName(const AnsiString& NewName) {
    TOvcCustomControlEx::SetName(NewName);
    const AnsiString owner = Owner() ? Owner()->Name() : AnsiString();
    if (TOvcSection* s = GetSection(0)) s->SetName("SPL1" + NewName + owner);
    if (TOvcSection* s = GetSection(1)) s->SetName("SPL2" + NewName + owner);
}

void TOvcSplitter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
    TOvcCustomControlEx::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TOvcSplitter::DoOnOwnerDraw() {
    if (OnOwnerDraw) OnOwnerDraw(this);
}

void TOvcSplitter::DoOnResize() {
    if (OnResize) OnResize(this);
}

void TOvcSplitter::CreateParams(TCreateParams& Params) {
    TOvcCustomControlEx::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
}

void TOvcSplitter::CreateWnd() {
    TOvcCustomControl::CreateWnd();
    SetSectionInfo();
}

void TOvcSplitter::Loaded() {
    TOvcCustomControlEx::Loaded();
    SetSectionInfo();
}

void TOvcSplitter::ReadState(TReader* Reader) {
    // The panes in form data replace the two the constructor made.
    if (FFirstRead) {
        FFirstRead = false;
        FSections->Clear();
    }
    auto previous = Reader->OnAncestorNotFound;
    Reader->OnAncestorNotFound = [this](TReader*, const AnsiString& Name, const TClassInfo*,
                                        TComponent*& Found) {
        AnsiString head = Name.substr(0, 4);
        if (SameText(head, "SPL1")) Found = GetSection(0);
        else if (SameText(head, "SPL2")) Found = GetSection(1);
    };
    try {
        TOvcCustomControlEx::ReadState(Reader);
    } catch (...) {
        Reader->OnAncestorNotFound = previous;
        throw;
    }
    Reader->OnAncestorNotFound = previous;
}

bool TOvcSplitter::IsNested(const TOvcSection* Section) const {
    if (Section->ControlCount() == 0) return false;
    const auto* inner = dynamic_cast<const TOvcSplitter*>(Section->Controls(0));
    return inner && inner->Align() == alClient;
}

void TOvcSplitter::SetSectionInfo() {
    TOvcSection* first = GetSection(0);
    if (ComponentState().Contains(csLoading) || !HandleAllocated() || !first) return;
    const int cw = ClientWidth(), ch = ClientHeight(), p = FPosition, s = FSplitterSize;
    TOvcSection* second = GetSection(1);
    const bool vertical = FOrientation == soVertical;
    auto place = [&](TOvcSection* Pane, TRect Whole) {
        if (!Pane) return;
        // A framed pane keeps two pixels for its sunken frame on the top
        // and left and one on the bottom and right; a pane that holds a
        // splitter of its own leaves the frames to it.
        if (Ctl3D() && !IsNested(Pane))
            Whole = TRect(Whole.Left + 2, Whole.Top + 2, Whole.Right - 1, Whole.Bottom - 1);
        Pane->SetBounds(Whole.Left, Whole.Top, Whole.Width(), Whole.Height());
    };
    if (vertical) {
        place(first, TRect(0, 0, p, ch));
        place(second, TRect(p + s, 0, cw, ch));
    } else {
        place(first, TRect(0, 0, cw, p));
        place(second, TRect(0, p + s, cw, ch));
    }
}

void TOvcSplitter::Paint() {
    SetSectionInfo();
    if (OnOwnerDraw) {
        DoOnOwnerDraw();
        return;
    }
    TCanvas* c = Canvas();
    const int cw = ClientWidth(), ch = ClientHeight(), p = FPosition, s = FSplitterSize;
    const bool vertical = FOrientation == soVertical;
    auto line = [&](TColor Color, TPoint A, TPoint B, TPoint C) {
        c->Pen()->SetColor(Color);
        c->MoveTo(A.x, A.y);
        c->LineTo(B.x, B.y);
        c->LineTo(C.x, C.y);
    };
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    if (Ctl3D()) {
        // A sunken frame around each pane that is not itself split.
        TOvcSection* first = GetSection(0);
        TOvcSection* second = GetSection(1);
        if (vertical) {
            if (first && !IsNested(first)) {
                line(clBtnHighlight, {0, ch - 1}, {p - 1, ch - 1}, {p - 1, 0});
                line(clBtnShadow, {0, ch - 2}, {0, 0}, {p, 0});
                line(clBlack, {1, ch - 2}, {1, 1}, {p - 1, 1});
            }
            if (second && !IsNested(second)) {
                line(clBtnHighlight, {p + s - 1, ch - 1}, {cw - 1, ch - 1}, {cw - 1, 0});
                line(clBtnShadow, {p + s, ch - 2}, {p + s, 0}, {cw - 1, 0});
                line(clBlack, {p + s + 1, ch - 2}, {p + s + 1, 1}, {cw - 1, 1});
            }
        } else {
            if (first && !IsNested(first)) {
                line(clBtnHighlight, {0, p - 1}, {cw - 1, p - 1}, {cw - 1, 0});
                line(clBtnShadow, {0, p - 2}, {0, 0}, {cw - 1, 0});
                line(clBlack, {1, p - 2}, {1, 1}, {cw - 1, 1});
            }
            if (second && !IsNested(second)) {
                line(clBtnHighlight, {0, ch - 1}, {cw - 1, ch - 1}, {cw - 1, p + s - 1});
                line(clBtnShadow, {0, ch - 2}, {0, p + s}, {cw - 1, p + s});
                line(clBlack, {1, ch - 2}, {1, p + s + 1}, {cw - 1, p + s + 1});
            }
        }
    }
    const TColor bar = Ctl3D() ? Color() : FSplitterColor;
    c->Pen()->SetColor(bar);
    c->Brush()->SetColor(bar);
    if (vertical) c->Rectangle(p, 0, p + s, ch);
    else c->Rectangle(0, p, cw, p + s);
    if (FShowHandle) {
        const int m = p + s / 2, d = Ctl3D() ? 2 : 1;
        TRect h = vertical ? TRect(m + d - 2, ch / 3, m + d, 2 * (ch / 3))
                           : TRect(cw / 3, m - 2 + d, 2 * (cw / 3), m + d);
        c->Pen()->SetColor(clWhite);
        c->MoveTo(h.Right, h.Top);
        c->LineTo(h.Left, h.Top);
        c->LineTo(h.Left, h.Bottom);
        c->Pen()->SetColor(static_cast<TColor>(RGB(128, 128, 128)));
        c->LineTo(h.Right, h.Bottom);
        c->LineTo(h.Right, h.Top);
    }
}

void TOvcSplitter::Resize() {
    if (FAutoScale && !ComponentState().Contains(csLoading)) {
        const int size = FOrientation == soVertical ? Width() : Height();
        if (size != 0) SetPosition(static_cast<int>(std::lround(FFraction * size)));
    }
    DoOnResize();
}

void TOvcSplitter::InvertGhost() {
    HDC dc = GetDC(Handle());
    const int s = FSplitterSize - 1;
    if (FOrientation == soVertical) dc->PatBlt(FPosition, 0, s, ClientHeight(), DSTINVERT);
    else dc->PatBlt(0, FPosition, ClientWidth(), s, DSTINVERT);
    ReleaseDC(Handle(), dc);
}

void TOvcSplitter::DrawSplitter(int X, int Y) {
    const bool vertical = FOrientation == soVertical;
    if (FAutoUpdate && X >= 0 && Y >= 0) {
        // The bar itself moves: its old and new places are painted again.
        auto band = [&] {
            TRect r = vertical ? TRect(FPosition - 2, 0, FPosition + FSplitterSize + 2, ClientHeight())
                               : TRect(0, FPosition - 2, ClientWidth(), FPosition + FSplitterSize + 2);
            InvalidateRect(Handle(), &r, false);
        };
        band();
        SetPositionPrim(vertical ? X : Y);
        band();
        return;
    }
    if (FSizingX != -1 || FSizingY != -1) InvertGhost();
    FSizingX = X;
    FSizingY = Y;
    if (FResizing) {
        SetPositionPrim(vertical ? X : Y);
        InvertGhost();
        if (int extent = Extent(); extent > 0) FFraction = double(FPosition) / extent;
    }
}

void TOvcSplitter::WMSetCursor(TMessage& Message) {
    if (static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))) == HTCLIENT) {
        TPoint at;
        GetCursorPos(at);
        at = ScreenToClient(at);
        const int along = FOrientation == soVertical ? at.x : at.y;
        FResizing = std::abs(FPosition - along) <= FSplitterSize && FAllowResize;
        if (FResizing) {
            ::SetCursor(Screen->Cursors(FOrientation == soVertical ? crHSplit : crVSplit));
            Message.Result = 1;
            return;
        }
    }
    TOvcCustomControlEx::WMSetCursor(Message);
}

void TOvcSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TOvcCustomControlEx::MouseDown(Button, Shift, X, Y);
    const int along = FOrientation == soVertical ? X : Y;
    // The cursor changes at SplitterSize pixels from the bar; a drag starts only nearer.
    if (Button != mbLeft || !FResizing || std::abs(FPosition - along) >= FSplitterSize) return;
    SetCapture(Handle());
    FDragging = true;
    DrawSplitter(X, Y);
}

void TOvcSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TOvcCustomControlEx::MouseMove(Shift, X, Y);
    const int along = FOrientation == soVertical ? X : Y;
    if (along < 0 || along > Extent() || along == FPosition) return;
    // Every press takes the capture; only one near enough to the bar drags it.
    if (FDragging && GetCapture() == Handle() && FResizing) {
        DrawSplitter(X, Y);
        if (FAutoUpdate) SetSectionInfo();
    }
}

void TOvcSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FResizing) {
        ReleaseCapture();
        FResizing = false;
        FDragging = false;
        DrawSplitter(-1, -1);
        SetSectionInfo();
        Invalidate();
        DoOnResize();
    }
    TOvcCustomControlEx::MouseUp(Button, Shift, X, Y);
}

void TOvcSplitter::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TOvcSplitter::CMCtl3DChanged(TMessage& Message) {
    TOvcCustomControlEx::CMCtl3DChanged(Message);
    if (!ComponentState().Contains(csLoading)) Relayout();
}

void TOvcSplitter::CMDesignHitTest(TMessage& Message) { Message.Result = FResizing ? 1 : 0; }
