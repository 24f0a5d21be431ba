#pragma once
// A grid whose cells are edited and shown through controls of its form: an
// edit painted into every row, a radio group standing for stored letters, an
// expand button that opens a grid of the course's students under its row,
// and a rich-text column whose cells show plain text.
#include "platform/ui/Forms.h"

class TwwDBGrid;
class TwwTable;
class TwwDataSource;
class TwwDBEdit;
class TwwRadioGroup;
class TwwExpandButton;

class TGridControlsForm : public TForm {
    ZELMOR_CLASS(TGridControlsForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TwwTable* TCursos = nullptr;
    TwwDataSource* DSCursos = nullptr;
    TwwTable* TAlumnos = nullptr;
    TwwDataSource* DSAlumnos = nullptr;
    TwwDBGrid* GridCursos = nullptr;
    TwwDBEdit* ENombre = nullptr;
    TwwRadioGroup* RGTurno = nullptr;
    TwwExpandButton* BDetalle = nullptr;
    TwwDBGrid* GridAlumnos = nullptr;
};
