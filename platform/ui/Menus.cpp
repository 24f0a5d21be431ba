#include "platform/ui/Menus.h"

ZELMOR_IMPLEMENT_COMPONENT(TPopupMenu, TComponent)

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut S = Key;
    if (Shift.Contains(ssShift)) S |= scShift;
    if (Shift.Contains(ssCtrl)) S |= scCtrl;
    if (Shift.Contains(ssAlt)) S |= scAlt;
    return S;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
    Key = ShortCut & 0xFF;
    Shift = {};
    if (ShortCut & scShift) Shift.Include(ssShift);
    if (ShortCut & scCtrl) Shift.Include(ssCtrl);
    if (ShortCut & scAlt) Shift.Include(ssAlt);
}
