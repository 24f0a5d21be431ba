#include "platform/win/StdWindows.h"

void EnsureStdWindowClasses() {
    RegisterEditClass();
    RegisterButtonClass();
    RegisterListBoxClass();
    RegisterComboBoxClass();
}
