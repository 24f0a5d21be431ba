#pragma once
// The subtype editor of the types screen: the rows of tipos2 in a grid, one
// type (one ASIGS text) at a time or all of them, chosen in CBBloques. The
// types screen makes it with itself as owner when a subtype line is double
// clicked (or "Ed&itar" pressed), has it read the screen's state (Prepara),
// shows it modally and frees it; then it recomputes from the working table.
//
// Also here: where the two type editors place themselves over the types
// screen, shared with the type-in-group editor (EdiTipGrup.h).
#include "platform/ui/Forms.h"

class TButton;
class TComboBox;
class TDataSet;
class TLabel;
class TPanel;
class TTiposForm;
class TwwDataSource;
class TwwDBGrid;
class TwwTable;

// The editor's bounds: left 20, as wide as the screen less 50, at Top and
// Height High as the editor's own formula gives them, but kept on the
// screen: never less than AltoMinimoEditor high (so that its bar and a few
// rows show when the covered part of the types screen is small), never
// higher than the screen, and moved up as far as needed for its bottom to
// stay on the screen.
inline constexpr int AltoMinimoEditor = 200;
TRect LugarEditorTipos(int Top, int Height);

class TEdiTiposForm2 : public TForm {
    ZELMOR_CLASS(TEdiTiposForm2, TForm)
public:
    using TForm::TForm;
    ~TEdiTiposForm2() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* wwTableTipos = nullptr;
    TwwTable* wwTableAsigcur = nullptr;
    TwwDataSource* DSTipos = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TComboBox* CBBloques = nullptr;
    TButton* BCerrar = nullptr;
    TwwDBGrid* wwDBGridTipGrup = nullptr;

    // What a made editor needs of the types screen before it is shown: the
    // combo's items, the tables opened on the type of the screen's current
    // subtype, the course's subjects for the lookup, the block text. Apart
    // from the form's making, so that the form can be made (and checked)
    // without a data folder.
    void Prepara(TTiposForm& Tipos);
    // The ASIGS a new row takes.
    const AnsiString& Bloque() const { return FBloque; }

    void FormActivate(TObject* Sender);
    void CBBloquesChange(TObject* Sender);
    void wwTableTiposNewRecord(TDataSet* DataSet);
    void SpeedButton1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);

private:
    // The block text from the first row shown; Otro when no row is.
    void TomaBloque(const AnsiString& Otro);

    TTiposForm* FTipos = nullptr;
    AnsiString FBloque;
};

extern TEdiTiposForm2* EdiTiposForm2;
