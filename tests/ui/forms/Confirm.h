#pragma once
// The sample screen's question before it saves: OK (the default button) or
// Cancel (Escape).
#include "platform/ui/Forms.h"

class TConfirmForm : public TForm {
    ZELMOR_CLASS(TConfirmForm, TForm)
public:
    using TForm::TForm;
};
