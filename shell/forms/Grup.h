#pragma once
// Step 22: the groups of every course, rebuilt from the stored types in
// group each time the screen opens; rows typed or deleted here last until
// the next opening. The grid does not edit in place, but keeps the grid menu.
#include "platform/ui/Forms.h"

class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TGrupForm : public TForm {
    ZELMOR_CLASS(TGrupForm, TForm)
public:
    using TForm::TForm;
    ~TGrupForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TGrupos = nullptr;
    TwwDataSource* DSGrupos = nullptr;
    TwwDBGrid* DBGridGrupos = nullptr;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridGruposEnter(TObject* Sender);
};

extern TGrupForm* GrupForm;
