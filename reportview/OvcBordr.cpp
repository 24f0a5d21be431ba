#include "reportview/OvcBordr.h"

ZELMOR_IMPLEMENT_ENUM(TOvcBorderStyle, "bpsSolid")
ZELMOR_IMPLEMENT_CLASS(TOvcBorder, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcBorders, TPersistent)

void TOvcBorder::DescribeProperties(TPropertyTable& T) {
    T.Property("Enabled", &TOvcBorder::Enabled, &TOvcBorder::SetEnabled).NoDefault();
    T.Property("BorderStyle", &TOvcBorder::BorderStyle, &TOvcBorder::SetBorderStyle).NoDefault();
    T.Property("PenColor", &TOvcBorder::PenColor, &TOvcBorder::SetPenColor).OfType(ColorTypeInfo());
    T.Property("PenStyle", &TOvcBorder::PenStyle, &TOvcBorder::SetPenStyle).NoDefault();
    T.Property("PenWidth", &TOvcBorder::PenWidth, &TOvcBorder::SetPenWidth).NoDefault();
    T.Event("OnChange", &TOvcBorder::OnChange);
}

void TOvcBorder::SetDefaults() {
    SetEnabled(false);
    SetPenColor(clBlack);
    SetPenStyle(psSolid);
    SetPenWidth(2);
}

void TOvcBorder::Assign(TPersistent* Source) {
    auto* from = dynamic_cast<TOvcBorder*>(Source);
    if (!from) {
        TPersistent::Assign(Source);
        return;
    }
    SetEnabled(from->Enabled());
    SetPenColor(from->PenColor());
    SetPenStyle(from->PenStyle());
    SetPenWidth(from->PenWidth());
}

void TOvcBorders::DescribeProperties(TPropertyTable& T) {
    T.Property("BottomBorder", &TOvcBorders::BottomBorder, &TOvcBorders::SetBottomBorder);
    T.Property("LeftBorder", &TOvcBorders::LeftBorder, &TOvcBorders::SetLeftBorder);
    T.Property("RightBorder", &TOvcBorders::RightBorder, &TOvcBorders::SetRightBorder);
    T.Property("TopBorder", &TOvcBorders::TopBorder, &TOvcBorders::SetTopBorder);
}

TOvcBorders::TOvcBorders()
    : FBottom(std::make_unique<TOvcBorder>()), FLeft(std::make_unique<TOvcBorder>()),
      FRight(std::make_unique<TOvcBorder>()), FTop(std::make_unique<TOvcBorder>()) {}

void TOvcBorders::Assign(TPersistent* Source) {
    auto* from = dynamic_cast<TOvcBorders*>(Source);
    if (!from) {
        TPersistent::Assign(Source);
        return;
    }
    FLeft->Assign(from->LeftBorder());
    FRight->Assign(from->RightBorder());
    FTop->Assign(from->TopBorder());
    FBottom->Assign(from->BottomBorder());
}

bool TOvcBorders::AnyEnabled() const {
    return FLeft->Enabled() || FRight->Enabled() || FTop->Enabled() || FBottom->Enabled();
}

// --- drawing the borders ---

int EnabledWidth(const TOvcBorder* Border) { return Border->Enabled() ? Border->PenWidth() : 0; }

void PaintOvcBorders(TCanvas* Canvas, const TOvcBorders& Borders, int Width, int Height,
                     bool ShortEvenBottom) {
    auto line = [&](const TOvcBorder* b, int x1, int y1, int x2, int y2) {
        if (!b->Enabled()) return;
        Canvas->Pen()->SetColor(b->PenColor());
        Canvas->Pen()->SetWidth(b->PenWidth());
        Canvas->Pen()->SetStyle(b->PenStyle());
        Canvas->MoveTo(x1, y1);
        Canvas->LineTo(x2, y2);
    };
    auto far = [](const TOvcBorder* b, int Edge) { return Edge - b->PenWidth() / 2 - b->PenWidth() % 2; };
    const TOvcBorder* l = Borders.LeftBorder();
    const TOvcBorder* t = Borders.TopBorder();
    const TOvcBorder* r = Borders.RightBorder();
    const TOvcBorder* b = Borders.BottomBorder();
    line(l, l->PenWidth() / 2, 0, l->PenWidth() / 2, Height);
    line(t, 0, t->PenWidth() / 2, Width, t->PenWidth() / 2);
    line(r, far(r, Width), 0, far(r, Width), Height);
    int bottomEnd = ShortEvenBottom && b->PenWidth() % 2 == 0 ? Width - b->PenWidth() / 2 : Width;
    line(b, 0, far(b, Height), bottomEnd, far(b, Height));
}

// --- the border parent ---

ZELMOR_IMPLEMENT_CLASS(TOvcBorderParent, TOvcCustomControl)

TOvcBorderParent::TOvcBorderParent(TComponent* AOwner)
    : TOvcCustomControl(AOwner), FBorders(std::make_unique<TOvcBorders>()) {
    if (auto* parent = dynamic_cast<TWinControl*>(AOwner)) SetParent(parent);
    SetBounds(Left(), Top(), 121, 21);
    SetParentColor(true);
    SetCtl3D(false);
    for (TOvcBorder* b :
         {FBorders->BottomBorder(), FBorders->LeftBorder(), FBorders->RightBorder(), FBorders->TopBorder()})
        b->OnChange = [this](TObject*) { PaintBorders(); };
}

TOvcBorderParent::~TOvcBorderParent() = default;

void TOvcBorderParent::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TOvcCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TOvcBorderParent::PaintBorders() {
    if (Height() != FFixedHeight) TOvcCustomControl::SetBounds(Left(), Top(), Width(), FFixedHeight);
    const TOvcBorder* l = FBorders->LeftBorder();
    const TOvcBorder* r = FBorders->RightBorder();
    if (FEditControl) {
        int w = Width();
        if (l->Enabled() || r->Enabled()) {
            w -= l->Enabled() ? l->PenWidth() : FShowButtonCopy ? FButtonReserve + 4 : 0;
            w -= EnabledWidth(r);
        }
        int h = Height() - EnabledWidth(FBorders->TopBorder()) - EnabledWidth(FBorders->BottomBorder());
        FEditControl->SetBounds(EnabledWidth(l), EnabledWidth(FBorders->TopBorder()), w, h);
        FEditControl->Invalidate();
    }
    if (HandleAllocated()) PaintOvcBorders(Canvas(), *FBorders, Width(), Height(), true);
}

void TOvcBorderParent::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    PaintBorders();
}

void TOvcBorderParent::WMSetFocus(TMessage& Message) {
    TOvcCustomControl::WMSetFocus(Message);
    if (FEditControl && FEditControl->CanFocus()) FEditControl->SetFocus();
}
