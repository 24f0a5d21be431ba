#include "buttons/fcReg.h"

#include "buttons/fcImgBtn.h"
#include "buttons/fcLabel.h"
#include "buttons/fcShapeBtn.h"

void RegisterFcClasses() {
    RegisterClasses(
        {&TfcShapeBtn::StaticClassInfo(), &TfcImageBtn::StaticClassInfo(), &TfcLabel::StaticClassInfo()});
}
