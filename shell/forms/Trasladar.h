#pragma once
// The move dialog of the types screen: how many students of what is shown
// (and into which group) move. The screen makes it for each move with
// itself as owner, fills it from the move's offer, shows it modally and
// reads SENumero and EdGrupo when it was confirmed.
#include "platform/ui/Forms.h"

class TButton;
class TCSpinEdit;
class TDraw3D;
class TEdit;
class TLabel;
struct TOfertaTraslado;

class TTrasladarForm : public TForm {
    ZELMOR_CLASS(TTrasladarForm, TForm)
public:
    using TForm::TForm;
    ~TTrasladarForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TDraw3D* Draw3D1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* LabTipo = nullptr;
    TCSpinEdit* SENumero = nullptr;
    TLabel* LabGrupo = nullptr;
    TEdit* EdGrupo = nullptr;
    TButton* BOK = nullptr;
    TButton* BCancelar = nullptr;

    // Caption, text, number offered and whether a group is asked; Tag 1 for
    // a move into a group, 2 for one back to the subtypes.
    void Prepara(const TOfertaTraslado& Oferta);
    int Ofrecido() const { return FOfrecido; }

    void FormActivate(TObject* Sender);
    void BOKClick(TObject* Sender);

private:
    int FOfrecido = 0;
};

extern TTrasladarForm* TrasladarForm;
