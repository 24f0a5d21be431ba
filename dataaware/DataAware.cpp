#include "dataaware/DataAware.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/Wwqbe.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwstorep.h"

void StartDataAwareLibrary() {
    RegisterClasses({&TwwTable::StaticClassInfo(), &TwwQuery::StaticClassInfo(), &TwwQBE::StaticClassInfo(),
                     &TwwStoredProc::StaticClassInfo(), &TwwDataSource::StaticClassInfo(),
                     &TwwIntl::StaticClassInfo(), &TwwController::StaticClassInfo(),
                     &TwwIncrementalSearch::StaticClassInfo()});
    StartDefaultIntl();
}

void FinishDataAwareLibrary() { FinishDefaultIntl(); }
