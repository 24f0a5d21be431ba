#include "reportview/OvcInit.h"

#include "reportview/OvcData.h"
#include "reportview/OvcSrMgr.h"

void OvcInitialize() {
    OpenStringResourceMessages();
    AlphaCharSet();
    OpenRvLibStr();
}

void OvcFinalize() {
    CloseRvLibStr();
    CloseStringResourceMessages();
}
