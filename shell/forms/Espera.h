#pragma once
// The wait window "Un momento, por favor" over a long computation that runs
// without the message loop. The caller makes it (owner ControlaForm, into
// EsperaForm), sets Texto's caption, shows it and repaints it at once, and
// closes and frees it when the work is done.
#include "platform/ui/Forms.h"

class TDraw3D;
class TLabel;

class TEsperaForm : public TForm {
    ZELMOR_CLASS(TEsperaForm, TForm)
public:
    using TForm::TForm;
    ~TEsperaForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TLabel* Texto = nullptr;
};

extern TEsperaForm* EsperaForm;
