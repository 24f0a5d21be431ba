#pragma once
// Step 23: the school's classrooms. Its grid keeps the name of the subject
// names' grid, DBGridNomAsg, with a handler of its own.
// A plain record screen: one table, renumbered in code order when the
// screen opens, one grid with the grid menu.
#include "platform/ui/Forms.h"

class TDataSet;
class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TAulasForm : public TForm {
    ZELMOR_CLASS(TAulasForm, TForm)
public:
    using TForm::TForm;
    ~TAulasForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TAulas = nullptr;
    TwwDataSource* DSAulas = nullptr;
    TwwDBGrid* DBGridNomAsg = nullptr;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridNomAsgEnter(TObject* Sender);
    void TAulasNewRecord(TDataSet* DataSet);
};

extern TAulasForm* AulasForm;
