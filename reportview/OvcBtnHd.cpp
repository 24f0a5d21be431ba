#include "reportview/OvcBtnHd.h"

#include <algorithm>
#include <cstdlib>

#include "platform/classes/Filer.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Format.h"
#include "reportview/OvcData.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_ENUM(TOvcBHDrawingStyle, "bhsDefault", "bhsThin", "bhsFlat", "bhsEtched")
ZELMOR_IMPLEMENT_ENUM(TOvcButtonHeaderStyle, "bhsNone", "bhsRadio", "bhsButton")
ZELMOR_IMPLEMENT_COMPONENT(TOvcButtonHeaderSection, TOvcCollectible)
ZELMOR_IMPLEMENT_COMPONENT(TOvcButtonHeader, TOvcCustomControl)

namespace {
enum : uint16_t { SSectionsEditor = 30320, SSection = 30325 };
// A border is found when the mouse is closer than this.
constexpr int BorderReach = 4;
}  // namespace

// --- sections ---

void TOvcButtonHeaderSection::DescribeProperties(TPropertyTable& T) {
    using S = TOvcButtonHeaderSection;
    T.Property("Alignment", &S::Alignment, &S::SetAlignment).Default(taLeftJustify);
    T.Property("AllowResize", &S::AllowResize, &S::SetAllowResize).Default(true);
    T.Property("Caption", &S::Caption, &S::SetCaption);
    T.Property("ImageIndex", &S::ImageIndex, &S::SetImageIndex).Default(-1);
    T.Property("Width", &S::Width, &S::SetWidth).Default(75);
}

TOvcButtonHeaderSection::TOvcButtonHeaderSection(TComponent* AOwner) : TOvcCollectible(AOwner) {}

void TOvcButtonHeaderSection::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed();
}

void TOvcButtonHeaderSection::SetAllowResize(bool Value) {
    if (Value == FAllowResize) return;
    FAllowResize = Value;
    Changed();
}

void TOvcButtonHeaderSection::SetCaption(const AnsiString& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed();
}

void TOvcButtonHeaderSection::SetImageIndex(int32_t Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TOvcButtonHeaderSection::SetWidth(int32_t Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

AnsiString TOvcButtonHeaderSection::GetDisplayText() const {
    if (FCaption.empty()) return Name() + ": " + ClassName();
    AnsiString caption = FCaption;
    std::erase(caption, '&');
    return caption + ": " + ClassName();
}

void TOvcButtonHeaderSection::Changed() {
    TOvcCollectible::Changed();
    if (auto* header = dynamic_cast<TOvcButtonHeader*>(Owner())) header->Invalidate();
}

void TOvcButtonHeaderSection::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TOvcButtonHeaderSection*>(Source)) {
        FAlignment = s->FAlignment;
        FAllowResize = s->FAllowResize;
        FCaption = s->FCaption;
        FImageIndex = s->FImageIndex;
        FWidth = s->FWidth;
        Changed();
        return;
    }
    TOvcCollectible::Assign(Source);
}

AnsiString TOvcButtonHeaderSection::GetBaseName() const { return GetRvLibStr(SSection); }

// --- the header ---

void TOvcButtonHeader::DescribeProperties(TPropertyTable& T) {
    using H = TOvcButtonHeader;
    TControl::PublishStandard(T, {"Align", "Enabled", "Font", "PopupMenu", "ShowHint", "TabOrder", "TabStop",
                                  "Visible", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    T.Property("AllowResize", &H::AllowResize, &H::SetAllowResize).Default(true);
    T.Property("BorderStyle", &H::BorderStyle, &H::SetBorderStyle).Default(bsNone);
    T.Property("DrawingStyle", &H::DrawingStyle, &H::SetDrawingStyle).Default(bhsDefault);
    T.Property("Images", &H::Images, &H::SetImages);
    T.Property("ItemIndex", &H::ItemIndex, &H::SetItemIndex).NoDefault();
    T.Property("Style", &H::Style, &H::SetStyle).Default(bhsRadio);
    T.Property("TextMargin", &H::TextMargin, &H::SetTextMargin).Default(0);
    T.Property("WordWrap", &H::WordWrap, &H::SetWordWrap).Default(false);
    T.Event("OnChangeTextAttr", &H::OnChangeTextAttr);
    T.Event("OnClick", &H::OnClick);
    T.Event("OnSized", &H::OnSized);
    T.Event("OnSizing", &H::OnSizing);
}

TOvcButtonHeader::TOvcButtonHeader(TComponent* AOwner) : TOvcCustomControl(AOwner) {
    RegisterClass(TOvcButtonHeaderSection::StaticClassInfo());
    FControlStyle.Include(csOpaque);
    SetTabStop(false);
    SetBounds(Left(), Top(), 250, 20);
    FSections = std::make_unique<TOvcCollection>(this, &TOvcButtonHeaderSection::StaticClassInfo());
    FSections->OnChanged = [this](TObject*) { Invalidate(); };
    FSections->OnGetEditorCaption = [](AnsiString& Caption) { Caption = GetRvLibStr(SSectionsEditor); };
    FBitmap = std::make_unique<TBitmap>();
}

TOvcButtonHeader::~TOvcButtonHeader() {
    if (FImages) FImages->OnChange = nullptr;
    FSections.reset();
}

TOvcButtonHeaderSection* TOvcButtonHeader::GetSection(int Index) const {
    return static_cast<TOvcButtonHeaderSection*>(FSections->Item(Index));
}

void TOvcButtonHeader::SetSection(int Index, TOvcButtonHeaderSection* Value) {
    GetSection(Index)->Assign(Value);
}

TOvcButtonHeaderSection* TOvcButtonHeader::AddSection() {
    return static_cast<TOvcButtonHeaderSection*>(FSections->Add());
}

int TOvcButtonHeader::GetWidth(int Index) const {
    const int count = GetSectionCount();
    if (Index < 0 || Index >= count) return 0;
    if (Index < count - 1) return GetSection(Index)->Width();
    int w = ClientWidth();
    for (int i = 0; i < Index; ++i) w -= GetSection(i)->Width();
    return w;
}

void TOvcButtonHeader::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TOvcButtonHeader::SetDrawingStyle(TOvcBHDrawingStyle Value) {
    FDrawingStyle = Value;
    Invalidate();
}

void TOvcButtonHeader::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->OnChange = nullptr;
    FImages = Value;
    if (FImages) {
        FImages->OnChange = [this](TObject*) { Invalidate(); };
        FImages->FreeNotification(this);
    }
    Invalidate();
}

void TOvcButtonHeader::SetItemIndex(int32_t Value) {
    if (Value == FItemIndex || Value >= GetSectionCount()) return;
    FItemIndex = Value;
    DoOnClick();
}

void TOvcButtonHeader::SetStyle(TOvcButtonHeaderStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TOvcButtonHeader::SetTextMargin(int32_t Value) {
    if (Value < 0) return;
    FTextMargin = Value;
    Invalidate();
}

void TOvcButtonHeader::SetWordWrap(bool Value) {
    FWordWrap = Value;
    Invalidate();
}

void TOvcButtonHeader::Click() {
    // The header fires OnClick itself (DoOnClick), by its style's rules.
}

void TOvcButtonHeader::DoOnClick() {
    Invalidate();
    if (OnClick) OnClick(this);
}

void TOvcButtonHeader::DoOnChangeTextAttr(TCanvas* Canvas, int32_t Index) {
    if (OnChangeTextAttr) OnChangeTextAttr(this, Canvas, Index);
}

void TOvcButtonHeader::DoOnSized(int32_t Section, int32_t Width) {
    if (OnSized) OnSized(this, Section, Width);
}

void TOvcButtonHeader::DoOnSizing(int32_t Section, int32_t Width) {
    if (OnSizing) OnSizing(this, Section, Width);
}

void TOvcButtonHeader::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TOvcButtonHeader::CreateParams(TCreateParams& Params) {
    TOvcCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

// --- the mouse ---

bool TOvcButtonHeader::DetectBorder(int X) {
    FResizeSection = 0;
    int edge = 2;
    for (int i = 0; i < GetSectionCount(); ++i) {
        edge += GetSection(i)->Width();
        int offset = edge - X - 2;
        if (std::abs(offset) < BorderReach) {
            FResizeSection = i;
            FBorderOffset = offset;
            return (GetSection(i)->AllowResize() && FAllowResize) || ComponentState().Contains(csDesigning);
        }
    }
    return false;
}

int TOvcButtonHeader::SectionAt(int X) const {
    int right = 2;
    for (int i = 0; i < GetSectionCount(); ++i) {
        right += GetSection(i)->Width();
        if (right > X) return i;
    }
    return -1;
}

void TOvcButtonHeader::WMNCHitTest(TMessage& Message) {
    TOvcCustomControl::WMNCHitTest(Message);
    FHitPoint = ScreenToClient(TPoint(Message.XPos(), Message.YPos()));
}

void TOvcButtonHeader::WMSetCursor(TMessage& Message) {
    if (LoWord(uintptr_t(Message.LParam)) == HTCLIENT && !MouseCapture()) {
        TPoint p;
        GetCursorPos(p);
        FResizing = DetectBorder(ScreenToClient(p).x);
    }
    if (FResizing) {
        ::SetCursor(LoadStandardCursor(crSizeWE));
        Message.Result = 1;
        return;
    }
    TOvcCustomControl::WMSetCursor(Message);
}

void TOvcButtonHeader::CMDesignHitTest(TMessage& Message) { Message.Result = FResizing ? 1 : 0; }

void TOvcButtonHeader::CMDialogChar(TMessage& Message) {
    if (Enabled()) {
        const char key = char(Message.WParam & 0xFF);
        for (int i = 0; i < GetSectionCount(); ++i) {
            const AnsiString& c = GetSection(i)->Caption();
            size_t amp = c.find('&');
            if (amp != AnsiString::npos && amp + 1 < c.size() &&
                AnsiUpperCase(AnsiString(1, c[amp + 1])) == AnsiUpperCase(AnsiString(1, key))) {
                SetItemIndex(i);
                Message.Result = 1;
                return;
            }
        }
    }
    TOvcCustomControl::CMDialogChar(Message);
}

void TOvcButtonHeader::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != mbLeft) {
        TOvcCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    FClicked = false;
    // The press itself tells whether it is on a border that may be dragged.
    FResizing = DetectBorder(X);
    if (FResizing) {
        TOvcCustomControl::MouseDown(Button, Shift, X, Y);
        SetMouseCapture(true);
        return;
    }
    int section = SectionAt(X);
    if (section < 0) return;
    TOvcCustomControl::MouseDown(Button, Shift, X, Y);
    switch (FStyle) {
    case bhsNone: FItemIndex = section; break;
    case bhsRadio:
        SetItemIndex(section);
        Invalidate();
        break;
    case bhsButton:
        FPressedSection = section;
        FItemIndex = section;
        Invalidate();
        break;
    }
    FClicked = true;
}

void TOvcButtonHeader::MouseMove(TShiftState Shift, int X, int Y) {
    TOvcCustomControl::MouseMove(Shift, X, Y);
    if (!MouseCapture() || !FResizing) return;
    int right = 2;
    for (int i = 0; i <= FResizeSection; ++i) right += GetSection(i)->Width();
    TOvcButtonHeaderSection* s = GetSection(FResizeSection);
    int left = FResizeSection == 0 ? 2 : right - s->Width() + 2;
    int x = std::max(left, std::min(X, ClientWidth() - 2));
    s->SetWidth(s->Width() + x - right - FBorderOffset + 2);
    DoOnSizing(FResizeSection, s->Width());
    Invalidate();
}

void TOvcButtonHeader::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool inside = X >= 0 && Y >= 0 && X < ClientWidth() && Y < ClientHeight();
    if (FResizing) {
        SetMouseCapture(false);
        DoOnSized(FResizeSection, GetSection(FResizeSection)->Width());
        FResizing = false;
    } else if (FStyle == bhsButton) {
        FPressedSection = -1;
        if (FClicked && inside) DoOnClick();
        Invalidate();
    } else if (FStyle == bhsNone) {
        if (FClicked && inside) DoOnClick();
    }
    FClicked = false;
    TOvcCustomControl::MouseUp(Button, Shift, X, Y);
}

// --- painting ---

void TOvcButtonHeader::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TOvcButtonHeader::Paint() {
    const int w = ClientWidth(), h = ClientHeight();
    if (w <= 0 || h <= 0) return;
    if (FBitmap->Width() != w || FBitmap->Height() != h) FBitmap->SetSize(w, h);
    PaintSections(FBitmap->Canvas(), w, h);
    Canvas()->Draw(0, 0, FBitmap.get());
}

void TOvcButtonHeader::PaintSections(TCanvas* C, int W, int H) {
    C->SetFont(Font());
    C->Brush()->SetColor(clBtnFace);
    C->SetBkMode(TRANSPARENT);
    const bool grow = FBorderStyle == bsSingle && FDrawingStyle != bhsDefault;
    const int top = grow ? -1 : 0, bottom = grow ? H + 1 : H;
    auto vline = [C](TColor Color, int X, int Y1, int Y2) {
        C->Pen()->SetColor(Color);
        C->MoveTo(X, Y1);
        C->LineTo(X, Y2);
    };
    auto face = [&](TRect R, bool Down, bool Filler) {
        if (FDrawingStyle == bhsDefault) {
            C->DrawFrameControl(R, DFC_BUTTON,
                                DFCS_BUTTONPUSH | (Down || FStyle == bhsNone ? uint32_t(DFCS_PUSHED) : 0u));
            return;
        }
        if (FDrawingStyle != bhsThin) R.Right += 2;
        if (Down) C->DrawEdge(R, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
        else if (FDrawingStyle == bhsEtched) C->DrawEdge(R, EDGE_ETCHED, BF_TOP | BF_BOTTOM | BF_MIDDLE);
        else C->DrawEdge(R, EDGE_ETCHED, BF_RECT | BF_MIDDLE);
        (void)Filler;
    };
    int x = 0;
    const int count = GetSectionCount();
    for (int i = 0; i < count; ++i) {
        TOvcButtonHeaderSection* s = GetSection(i);
        TRect r(x, top, x + s->Width(), bottom);
        if (r.Right >= W - 2) r.Right = W;
        s->Rect = r;
        const bool down =
            (FStyle == bhsRadio && i == FItemIndex) || (FStyle == bhsButton && i == FPressedSection);
        if (down) DownRect = r;
        face(r, down, false);
        if (FDrawingStyle == bhsEtched && !down) {
            if (i == 0) {
                vline(clBtnShadow, r.Left, r.Top + 1, r.Bottom - 1);
                vline(clBtnHighlight, r.Left + 1, r.Top + 1, r.Bottom - 1);
            }
            if (FStyle != bhsRadio || i + 1 != FItemIndex) {
                vline(clBtnShadow, r.Right - 2, r.Top + 3, r.Bottom - 3);
                vline(clBtnHighlight, r.Right - 1, r.Top + 3, r.Bottom - 3);
            }
        }
        // The content.
        TRect text(r.Left + 2, r.Top + 2, r.Right - 4, r.Bottom - 1);
        if (FImages && s->ImageIndex() >= 0 && s->ImageIndex() < FImages->Count()) {
            text.Right -= FImages->Width() + 2;
            int iy = text.Top + std::max(0, (text.Height() - FImages->Height()) / 2);
            FImages->Draw(C, text.Right + 2, iy, s->ImageIndex());
        }
        if (FTextMargin < text.Width() / 2) {
            text.Left += FTextMargin;
            text.Right -= FTextMargin;
        }
        if (!s->Caption().empty()) {
            AnsiString caption =
                FWordWrap ? s->Caption() : GetDisplayString(C, s->Caption(), 1, text.Width());
            DoOnChangeTextAttr(C, i);
            uint32_t flags = s->Alignment() == taRightJustify ? DT_RIGHT
                             : s->Alignment() == taCenter     ? DT_CENTER
                                                              : DT_LEFT;
            flags |= FWordWrap ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
            C->DrawText(caption, text, flags);
        }
        x = r.Right;
    }
    if (x < W) {
        // The filler to the right edge.
        TRect r(x, top, W, bottom);
        face(r, false, true);
        if (FDrawingStyle == bhsEtched) vline(clBtnShadow, W - 1, r.Top + 1, r.Bottom - 1);
    }
}
