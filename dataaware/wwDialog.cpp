#include "dataaware/wwDialog.h"

ZELMOR_IMPLEMENT_CLASS(TwwCustomDialog, TComponent)
