#include "GradientTestSupport.h"

#include "gradient/TeeDraw3D.h"
#include "platform/classes/Filer.h"
#include "platform/win/MessageQueue.h"

namespace gradient_test {

namespace {
// Each test gets a fresh application object, screen and window manager.
void FreshApplication() {
    if (Application) Application->Free();
    Application = nullptr;
    if (Screen) Screen->Free();
    Screen = nullptr;
    ResetWindowManager();
    EnsureApplication();
}
}  // namespace

GradientForms::GradientForms() : Ui(InstallOffscreen()) {
    FreshApplication();
    InitGradientPanel();
}

GradientForms::~GradientForms() {
    DoneGradientPanel();
    FreshApplication();
    SetDisplay(nullptr);
}

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
