#include "GridControls.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcheckbox.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwradiogroup.h"

ZELMOR_IMPLEMENT_COMPONENT(TGridControlsForm, TForm)

void TGridControlsForm::DescribeProperties(TPropertyTable& T) {
    using F = TGridControlsForm;
    T.Field("TCursos", &F::TCursos);
    T.Field("DSCursos", &F::DSCursos);
    T.Field("TAlumnos", &F::TAlumnos);
    T.Field("DSAlumnos", &F::DSAlumnos);
    T.Field("GridCursos", &F::GridCursos);
    T.Field("ENombre", &F::ENombre);
    T.Field("RGTurno", &F::RGTurno);
    T.Field("BDetalle", &F::BDetalle);
    T.Field("GridAlumnos", &F::GridAlumnos);
}
