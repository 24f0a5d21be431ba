#pragma once
// Steps 3 and 7: the students of the selected course, with the four bulk
// commands over them (groups and divisions emptied, ANULAR cleared,
// inverted, or set for the holders of a subject).
//
// The splitter's bar stands at 770 of the form's 800 pixels and keeps that
// fraction of the width (AutoScale): the screen takes the whole width of
// the display when it is activated, and the grid's pane grows with it. The
// four commands are plain buttons.
#include "platform/ui/Forms.h"

class TButton;
class TDataSet;
class TDraw3D;
class TEdit;
class TRichEdit;
class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TAlumForm : public TForm {
    ZELMOR_CLASS(TAlumForm, TForm)
public:
    using TForm::TForm;
    ~TAlumForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TAlum = nullptr;
    TwwDataSource* DSAlum = nullptr;
    TwwDBGrid* DBGridAlum = nullptr;
    TButton* BLimpiarGyD = nullptr;
    TButton* BLimpiarAnular = nullptr;
    TButton* BInvertirAnular = nullptr;
    TButton* BAnular = nullptr;
    TEdit* EdAsig = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridAlumEnter(TObject* Sender);
    void TAlumNewRecord(TDataSet* DataSet);
    void BLimpiarGyDClick(TObject* Sender);
    void BLimpiarAnularClick(TObject* Sender);
    void BInvertirAnularClick(TObject* Sender);
    void BAnularClick(TObject* Sender);
};

extern TAlumForm* AlumForm;
