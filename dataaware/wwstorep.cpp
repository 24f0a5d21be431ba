#include "dataaware/wwstorep.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwStoredProc, TStoredProc)
