#pragma once
// A dialog of the standard controls for a new student: name, date, course,
// subjects, grant, shift and a number, with OK and Cancel bit buttons.
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Spin.h"
#include "platform/ui/StdCtrls.h"

class TDatosAlumnoForm : public TForm {
    ZELMOR_CLASS(TDatosAlumnoForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TEdit* EdNombre = nullptr;
    TMaskEdit* EdFecha = nullptr;
    TComboBox* CbCurso = nullptr;
    TListBox* LbAsig = nullptr;
    TCheckBox* ChkBeca = nullptr;
    TRadioGroup* RgTurno = nullptr;
    TCSpinEdit* SENumero = nullptr;
};
