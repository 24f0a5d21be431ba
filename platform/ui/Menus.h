#pragma once
// The popup menu a control names in its PopupMenu property. Its items and
// the popping up come with the standard controls; here it is the component
// that controls refer to.
#include "platform/classes/Component.h"

class TPopupMenu : public TComponent {
    ZELMOR_CLASS(TPopupMenu, TComponent)
public:
    explicit TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}
};
