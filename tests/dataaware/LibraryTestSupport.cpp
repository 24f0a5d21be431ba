#include "LibraryTestSupport.h"

#include "platform/backend/Offscreen.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

TLibraryScope::TLibraryScope() {
    InstallOffscreen();
    EnsureApplication();
    StartDataAwareLibrary();
}

TLibraryScope::~TLibraryScope() {
    FinishDataAwareLibrary();
    ResetWindowManager();
}
