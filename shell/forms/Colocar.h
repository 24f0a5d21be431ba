#pragma once
// Step 6: placing the course's students in the groups and divisions of its
// stored distribution. Making the dialog refills tipgrup2 from tipgrup;
// "&Colocar" places and tells what it did; whichever button closes it, the
// step machine goes on to step 7.
#include "platform/ui/Forms.h"

class TAppState;
class TBitBtn;
class TDraw3D;
class TRichEdit;

class TColocarForm : public TForm {
    ZELMOR_CLASS(TColocarForm, TForm)
public:
    using TForm::TForm;
    ~TColocarForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TBitBtn* BColocar = nullptr;
    TBitBtn* BCancelar = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    // The step machine's opening, once the dialog is made: its caption, and
    // tipgrup2 refilled with the course's stored distribution.
    void Abre(const TAppState& Estado);

    void FormActivate(TObject* Sender);
    void BColocarClick(TObject* Sender);

private:
    const TAppState* FEstado = nullptr;
};

extern TColocarForm* ColocarForm;
