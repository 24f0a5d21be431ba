#pragma once
// Step 21: the school's teachers.
// A plain record screen: one table, renumbered in code order when the
// screen opens, one grid with the grid menu.
#include "platform/ui/Forms.h"

class TDataSet;
class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TProfesForm : public TForm {
    ZELMOR_CLASS(TProfesForm, TForm)
public:
    using TForm::TForm;
    ~TProfesForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TProf = nullptr;
    TwwDataSource* DSProf = nullptr;
    TwwDBGrid* DBGridProfes = nullptr;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridProfesEnter(TObject* Sender);
    void TProfNewRecord(TDataSet* DataSet);
};

extern TProfesForm* ProfesForm;
