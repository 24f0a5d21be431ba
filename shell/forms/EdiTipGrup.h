#pragma once
// The type-in-group editor of the types screen: the rows of tipgrup2 in a
// grid, one group at a time or all of them, chosen in CBGrupos. Only the
// divisions and connections can be changed, and rows deleted; the subjects
// are painted silver. The types screen makes it with itself as owner when a
// type-in-group line is double clicked (or "Ed&itar" pressed), has it read
// the screen's state (Prepara), shows it modally and frees it.
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"

class TBrush;
class TButton;
class TComboBox;
class TField;
class TFont;
class TLabel;
class TPanel;
class TTiposForm;
class TwwDataSource;
class TwwDBGrid;
class TwwTable;

// The brush of the subject cells (and of any other field named "AS...").
inline constexpr TColor ColorAsignaturas = 12632256;

class TEdiTipGrupForm2 : public TForm {
    ZELMOR_CLASS(TEdiTipGrupForm2, TForm)
public:
    using TForm::TForm;
    ~TEdiTipGrupForm2() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* wwTableTipGrup = nullptr;
    TwwDataSource* DSTipGrup = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TComboBox* CBGrupos = nullptr;
    TButton* BCerrar = nullptr;
    TwwDBGrid* wwDBGridTipGrup = nullptr;

    // The combo's items and the table opened on the group of the types
    // screen's current type-in-group; apart from the form's making, as the
    // subtype editor's.
    void Prepara(TTiposForm& Tipos);

    void FormActivate(TObject* Sender);
    void CBGruposChange(TObject* Sender);
    void wwDBGridTipGrupCalcCellColors(TObject* Sender, TField* Field, TGridDrawState State, bool Highlight,
                                       TFont* AFont, TBrush* ABrush);
    void SpeedButton1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    TTiposForm* FTipos = nullptr;
};

extern TEdiTipGrupForm2* EdiTipGrupForm2;
