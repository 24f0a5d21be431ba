#include "GradientTestSupport.h"

#include "gradient/TeeDraw3D.h"
#include "platform/classes/Filer.h"
#include "platform/win/MessageQueue.h"

namespace gradient_test {

GradientForms::GradientForms() { InitGradientPanel(); }

GradientForms::~GradientForms() { DoneGradientPanel(); }

TForm* GradientForms::FormFromText(std::string_view Text, TComponent* Owner) {
    TForm* F = TForm::CreateNew(Owner ? Owner : Application);
    try {
        ReadComponentFromText(F, Text);
    } catch (...) {
        F->Free();
        throw;
    }
    return F;
}

}  // namespace gradient_test
