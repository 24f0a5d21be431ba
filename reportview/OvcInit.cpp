#include "reportview/OvcInit.h"

#include "reportview/OvcBase.h"
#include "reportview/OvcClock.h"
#include "reportview/OvcCmbx.h"
#include "reportview/OvcData.h"
#include "reportview/OvcSplit.h"
#include "reportview/OvcSrMgr.h"

void OvcInitialize() {
    OpenStringResourceMessages();
    AlphaCharSet();
    OpenRvLibStr();
    RegisterOvcBaseClasses();
    RegisterOvcSplitClasses();
    RegisterOvcClockClasses();
    RegisterOvcComboClasses();
}

void OvcFinalize() {
    CloseRvLibStr();
    CloseStringResourceMessages();
}
