#pragma once
// The sample screen of the standard controls: a title panel, two edits, a
// list box, a combo box, a check box, a string grid of marks and a button
// that asks before it keeps the student. The controls are reached mostly by
// their published properties, as the libraries reach each other's.
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"

class TGridSampleForm : public TForm {
    ZELMOR_CLASS(TGridSampleForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TWinControl* PTitulo = nullptr;
    TWinControl* ENombre = nullptr;
    TWinControl* EApellidos = nullptr;
    TListBox* LBCursos = nullptr;
    TWinControl* CBGrupo = nullptr;
    TWinControl* CBRepite = nullptr;
    TStringGrid* SGNotas = nullptr;
    TWinControl* BGuardar = nullptr;
    // The student kept by the last save.
    AnsiString Saved;

    void FormCreate(TObject* Sender);
    // Asks before it keeps anything; the answer No keeps nothing.
    void BGuardarClick(TObject* Sender);
};
