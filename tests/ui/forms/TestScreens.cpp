#include "TestScreens.h"

void RegisterTestScreens() {
    RegisterTestControls();
    RegisterClasses({&TSampleForm::StaticClassInfo(), &TConfirmForm::StaticClassInfo(),
                     &TAlumnosForm::StaticClassInfo(), &TGridSampleForm::StaticClassInfo(),
                     &TDatosAlumnoForm::StaticClassInfo()});
}
