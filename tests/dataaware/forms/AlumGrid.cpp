#include "AlumGrid.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"

ZELMOR_IMPLEMENT_COMPONENT(TAlumGridForm, TForm)

void TAlumGridForm::DescribeProperties(TPropertyTable& T) {
    T.Field("TAlum", &TAlumGridForm::TAlum);
    T.Field("DSAlum", &TAlumGridForm::DSAlum);
    T.Field("DBGridAlum", &TAlumGridForm::DBGridAlum);
    T.Handler("DBGridAlumCalcCellColors", &TAlumGridForm::DBGridAlumCalcCellColors);
    T.Handler("DBGridAlumTitleButtonClick", &TAlumGridForm::DBGridAlumTitleButtonClick);
}

void TAlumGridForm::DBGridAlumCalcCellColors(TObject*, TField* Field, TGridDrawState, bool, TFont*,
                                             TBrush* ABrush) {
    if (Field && Field->FieldName() == "OPCION") ABrush->SetColor(clSilver);
}

void TAlumGridForm::DBGridAlumTitleButtonClick(TObject*, const AnsiString& AFieldName) {
    TitleClicks.push_back(AFieldName);
}
