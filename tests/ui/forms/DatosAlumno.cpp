#include "DatosAlumno.h"

ZELMOR_IMPLEMENT_COMPONENT(TDatosAlumnoForm, TForm)

void TDatosAlumnoForm::DescribeProperties(TPropertyTable& T) {
    T.Field("EdNombre", &TDatosAlumnoForm::EdNombre);
    T.Field("EdFecha", &TDatosAlumnoForm::EdFecha);
    T.Field("CbCurso", &TDatosAlumnoForm::CbCurso);
    T.Field("LbAsig", &TDatosAlumnoForm::LbAsig);
    T.Field("ChkBeca", &TDatosAlumnoForm::ChkBeca);
    T.Field("RgTurno", &TDatosAlumnoForm::RgTurno);
    T.Field("SENumero", &TDatosAlumnoForm::SENumero);
}
