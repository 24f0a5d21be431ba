#include "TiposGrid.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbdlg.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"

ZELMOR_IMPLEMENT_COMPONENT(TTiposGridForm, TForm)

void TTiposGridForm::DescribeProperties(TPropertyTable& T) {
    using F = TTiposGridForm;
    T.Field("wwTableTipos", &F::wwTableTipos);
    T.Field("DSTipos", &F::DSTipos);
    T.Field("wwTableAsigcur", &F::wwTableAsigcur);
    T.Field("wwDBGridTipGrup", &F::wwDBGridTipGrup);
    T.Field("wwDBLookupComboDlg1", &F::wwDBLookupComboDlg1);
}
