#pragma once
// A record screen of the data-aware edits as the program's forms place them:
// a table of marks with a picture-mask line, its data source, edits bound to
// a text, a number with a display format, a date and a masked telephone, an
// unbound date-time edit, a framed borderless edit, a disabled right-aligned
// one and a default button.
#include "platform/ui/Forms.h"

class TwwDBEdit;
class TwwTable;
class TButton;

class TEditSampleForm : public TForm {
    ZELMOR_CLASS(TEditSampleForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TwwTable* TNotas = nullptr;
    TwwDBEdit* ENombre = nullptr;
    TwwDBEdit* ENota = nullptr;
    TwwDBEdit* EFecha = nullptr;
    TwwDBEdit* ETel = nullptr;
    TwwDBEdit* EMomento = nullptr;
    TwwDBEdit* ELinea = nullptr;
    TwwDBEdit* EImporte = nullptr;
    TButton* BAceptar = nullptr;
};
