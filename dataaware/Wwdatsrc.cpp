#include "dataaware/Wwdatsrc.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwDataSource, TDataSource)
