#pragma once
// Step 6: placing the course's students in the groups and divisions of its
// stored distribution. Making the dialog refills tipgrup2 from tipgrup;
// "&Colocar" places and tells what it did; whichever button closes it, the
// step machine goes on to step 7. The dialog holds the working tables'
// claim (organizer/TablasTipos.h) while it is open: another program's types
// or placing waits, and its opening of the folder leaves tipgrup2 alone.
#include <memory>

#include "platform/ui/Forms.h"

class TAppState;
class TBitBtn;
class TDraw3D;
class TReservaTrabajo;
class TRichEdit;

class TColocarForm : public TForm {
    ZELMOR_CLASS(TColocarForm, TForm)
public:
    explicit TColocarForm(TComponent* AOwner);
    ~TColocarForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TBitBtn* BColocar = nullptr;
    TBitBtn* BCancelar = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    // The step machine's opening, once the dialog is made: its caption, and
    // tipgrup2 refilled with the course's stored distribution. Raises,
    // changing nothing, when another program holds the working tables.
    void Abre(const TAppState& Estado);

    void FormActivate(TObject* Sender);
    void BColocarClick(TObject* Sender);

private:
    const TAppState* FEstado = nullptr;
    std::unique_ptr<TReservaTrabajo> FReserva;
};

extern TColocarForm* ColocarForm;
