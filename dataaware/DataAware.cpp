#include "dataaware/DataAware.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"

void StartDataAwareLibrary() {
    RegisterClasses(
        {&TwwDataSource::StaticClassInfo(), &TwwIntl::StaticClassInfo(), &TwwController::StaticClassInfo()});
    StartDefaultIntl();
}

void FinishDataAwareLibrary() { FinishDefaultIntl(); }
