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
