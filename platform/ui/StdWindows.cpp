#include "platform/ui/StdWindows.h"

void EnsureStdWindowClasses() {
    RegisterEditClass();
}
