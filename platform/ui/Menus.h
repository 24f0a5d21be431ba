#pragma once
// The popup menu a control names in its PopupMenu property. Its items and
// the popping up come with the standard controls; here it is the component
// that controls refer to.
#include <cstdint>

#include "platform/classes/Component.h"
#include "platform/ui/Controls.h"

// A key with its modifiers in one word: the key in the low byte, Shift,
// Ctrl and Alt in the high bits (the way menus keep their short cuts).
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);

class TPopupMenu : public TComponent {
    ZELMOR_CLASS(TPopupMenu, TComponent)
public:
    explicit TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}
};
