#include "TiposVistas.h"

#include "platform/db/Fields.h"
#include "platform/ui/ExtCtrls.h"

ZELMOR_IMPLEMENT_COMPONENT(TTiposVistasForm, TForm)

void TTiposVistasForm::DescribeProperties(TPropertyTable& T) {
    using F = TTiposVistasForm;
    T.Field("TTipos", &F::TTipos);
    T.Field("TTipGrup", &F::TTipGrup);
    T.Field("TConex", &F::TConex);
    T.Field("OvcController1", &F::OvcController1);
    T.Field("ODBRVTipos", &F::ODBRVTipos);
    T.Field("ODBRVTipGrup", &F::ODBRVTipGrup);
    T.Field("ODBRVConex", &F::ODBRVConex);
    T.Field("OvcViewComboBox1", &F::OvcViewComboBox1);
    T.Field("OvcViewComboBox2", &F::OvcViewComboBox2);
    T.Handler("TTipGrupCalcFields", &F::TTipGrupCalcFields);
    T.Handler("ODBRVTiposEnumerate", &F::ODBRVTiposEnumerate);
}

void TTiposVistasForm::TTipGrupCalcFields(TDataSet* DataSet) {
    for (const char* suffix : {"", "1", "2", "3"})
        DataSet->FieldByName(AnsiString("ASIGSDC") + suffix)
            ->SetAsString(DataSet->FieldByName(AnsiString("ASIGSDCM") + suffix)->AsString());
}

void TTiposVistasForm::ODBRVTiposEnumerate(TObject*, bool&, void*) {
    TTipos->Edit();
    TTipos->FieldByName("SELEC")->SetAsBoolean(true);
    TTipos->Post();
}

void TTiposVistasForm::Rebuild(TTable* Table, TOvcDbReportView* View) {
    Table->Close();
    Table->Open();
    View->BeginUpdate();
    View->EndUpdate();
    View->ExpandAll(false);
}

void RegisterTiposVistas() {
    RegisterDBClasses();
    RegisterExtControls();
    RegisterClass(TTiposVistasForm::StaticClassInfo());
}
