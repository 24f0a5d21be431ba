#include "GridSample.h"

#include "platform/classes/Properties.h"
#include "platform/sys/Dialogs.h"

ZELMOR_IMPLEMENT_COMPONENT(TGridSampleForm, TForm)

void TGridSampleForm::DescribeProperties(TPropertyTable& T) {
    T.Field("PTitulo", &TGridSampleForm::PTitulo);
    T.Field("ENombre", &TGridSampleForm::ENombre);
    T.Field("EApellidos", &TGridSampleForm::EApellidos);
    T.Field("LBCursos", &TGridSampleForm::LBCursos);
    T.Field("CBGrupo", &TGridSampleForm::CBGrupo);
    T.Field("CBRepite", &TGridSampleForm::CBRepite);
    T.Field("SGNotas", &TGridSampleForm::SGNotas);
    T.Field("BGuardar", &TGridSampleForm::BGuardar);
    T.Handler("FormCreate", &TGridSampleForm::FormCreate);
    T.Handler("BGuardarClick", &TGridSampleForm::BGuardarClick);
}

void TGridSampleForm::FormCreate(TObject*) {
    SGNotas->SetCells(0, 0, "Asig");
    SGNotas->SetCells(1, 0, "Nota");
    SGNotas->SetCells(2, 0, "Faltas");
    SGNotas->SetCells(0, 1, "MAT");
    SGNotas->SetCells(0, 2, "LEN");
    SGNotas->SetCells(0, 3, "ING");
}

void TGridSampleForm::BGuardarClick(TObject*) {
    if (MessageDlg("\xBFGuardar los datos del alumno?", mtConfirmation, {mbYes, mbNo}, 0) != mrYes) return;
    Saved = GetStrProp(ENombre, "Text") + " " + GetStrProp(EApellidos, "Text") + ", " +
            LBCursos->Items()->Strings(LBCursos->ItemIndex()) + " " + GetStrProp(CBGrupo, "Text") +
            (GetOrdProp(CBRepite, "Checked") ? ", repite" : "") + ", MAT " + SGNotas->Cells(1, 1);
    SetStrProp(PTitulo, "Caption", "Guardado: " + Saved);
}
