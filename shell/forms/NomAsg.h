#pragma once
// Step 20: the names of the school's subjects, not bound to a course.
// A plain record screen: one table, renumbered in code order when the
// screen opens, one grid with the grid menu.
#include "platform/ui/Forms.h"

class TDataSet;
class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TNomAsgForm : public TForm {
    ZELMOR_CLASS(TNomAsgForm, TForm)
public:
    using TForm::TForm;
    ~TNomAsgForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TNomAsg = nullptr;
    TwwDataSource* DSNomAsg = nullptr;
    TwwDBGrid* DBGridNomAsg = nullptr;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridNomAsgEnter(TObject* Sender);
    void TNomAsgNewRecord(TDataSet* DataSet);
};

extern TNomAsgForm* NomAsgForm;
