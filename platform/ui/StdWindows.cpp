#include "platform/ui/StdWindows.h"

void EnsureStdWindowClasses() {
    RegisterEditClass();
    RegisterButtonClass();
    RegisterListBoxClass();
    RegisterComboBoxClass();
}
