#include "Confirm.h"

ZELMOR_IMPLEMENT_COMPONENT(TConfirmForm, TForm)
