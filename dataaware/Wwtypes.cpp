#include "dataaware/Wwtypes.h"

ZELMOR_IMPLEMENT_CLASS(TwwFormPosition, TPersistent)
ZELMOR_IMPLEMENT_ENUM(TwwOnFilterOption, "ofoEnabled", "ofoShowHourGlass", "ofoCancelOnEscape")
ZELMOR_IMPLEMENT_ENUM(TwwEditAlignment, "eaLeftAlignEditing", "eaRightAlignEditing")

void TwwFormPosition::DescribeProperties(TPropertyTable& T) {
    T.Property("Left", &TwwFormPosition::Left, &TwwFormPosition::SetLeft);
    T.Property("Top", &TwwFormPosition::Top, &TwwFormPosition::SetTop);
    T.Property("Width", &TwwFormPosition::Width, &TwwFormPosition::SetWidth);
    T.Property("Height", &TwwFormPosition::Height, &TwwFormPosition::SetHeight);
}

void TwwFormPosition::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TwwFormPosition*>(Source)) {
        FLeft = source->FLeft;
        FTop = source->FTop;
        FWidth = source->FWidth;
        FHeight = source->FHeight;
        return;
    }
    TPersistent::Assign(Source);
}
