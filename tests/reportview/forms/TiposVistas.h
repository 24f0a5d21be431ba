#pragma once
// The report views of the types screen as a sample form: the subtypes
// (tipos2), the types in groups (tipgrup2) and the connections (conex) in
// three data-aware report views with the views, fonts and colours of the
// screen, the two view pickers and the controller. The screen itself is
// another piece of work; this form shows that the views serve it.
#include "platform/db/DataSource.h"
#include "platform/db/Table.h"
#include "platform/ui/Forms.h"
#include "reportview/OvcDbRpV.h"
#include "reportview/OvcRvCbx.h"

class TTiposVistasForm : public TForm {
    ZELMOR_CLASS(TTiposVistasForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TTable* TTipos = nullptr;
    TTable* TTipGrup = nullptr;
    TTable* TConex = nullptr;
    TOvcController* OvcController1 = nullptr;
    TOvcDbReportView* ODBRVTipos = nullptr;
    TOvcDbReportView* ODBRVTipGrup = nullptr;
    TOvcDbReportView* ODBRVConex = nullptr;
    TOvcViewComboBox* OvcViewComboBox1 = nullptr;
    TOvcViewComboBox* OvcViewComboBox2 = nullptr;

    // The long texts of a type in group are its memos shown as texts.
    void TTipGrupCalcFields(TDataSet* DataSet);
    // The organizer runs on the subtypes selected: each is marked.
    void ODBRVTiposEnumerate(TObject* Sender, bool& Stop, void* UserData);
    // What the screen does after each change of a table: open it again,
    // rebuild its view and collapse its groups.
    static void Rebuild(TTable* Table, TOvcDbReportView* View);
};

void RegisterTiposVistas();
// The small school of the sample in the database "Zelmor" (whose folder is
// open): one course whose subtypes the types engine counted, two of them
// moved into groups A and B.
void MakeTiposSchool();
