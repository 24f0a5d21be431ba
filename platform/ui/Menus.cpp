#include "platform/ui/Menus.h"

ZELMOR_IMPLEMENT_COMPONENT(TPopupMenu, TComponent)
