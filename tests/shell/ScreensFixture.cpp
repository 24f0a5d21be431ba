#include "ScreensFixture.h"

#include "platform/gfx/Surface.h"
#include "platform/sys/Paths.h"
#include "platform/ui/StdCtrls.h"
#include "shell/forms/Controla.h"

namespace fs = std::filesystem;

TMaquinaPantallas::TMaquinaPantallas() {
    Programa = Maquina.DriveC() / "ZELMOR";
    fs::create_directories(Programa);
    // The machine puts the current folder back when it goes.
    Maquina.EnterProgram("inicio");
    SetCurrentDir("C:\\ZELMOR");
}

void ScreensFixture::TearDown() {
    // Every screen goes before the libraries it is made of.
    while (Screen && Screen->CustomFormCount() > 0) Screen->CustomForms(0)->Free();
}

void ScreensFixture::PonEjemplo(const std::string& Carpeta) {
    fs::copy(fs::path(ZELMOR_SOURCE_DIR) / "samples" / "datos", Programa / Carpeta,
             fs::copy_options::recursive);
}

void ScreensFixture::PonIntercambio() {
    fs::copy(fs::path(ZELMOR_SOURCE_DIR) / "samples" / "qtemp", Maquina.DriveC() / "QTEMP",
             fs::copy_options::recursive);
}

TControlaForm* ScreensFixture::AbrePrincipal() {
    Application->CreateForm(ControlaForm);
    ControlaForm->Show();
    Ui.RunUntilIdle();
    return ControlaForm;
}

void ScreensFixture::Luego(std::function<void(TCustomForm*)> Paso) {
    Ui.Then([this, Paso] { Paso(Screen->ActiveForm()); });
}

void ScreensFixture::Responde(const char* Boton) {
    Luego([this, Boton](TCustomForm* Caja) {
        auto* texto = dynamic_cast<TControl*>(Caja->FindComponent("Message"));
        Mensajes.push_back(texto ? texto->Caption()
                                 : std::string("(no es una caja: ") + Caja->Caption() + ")");
        Ui.Click(Caja, Boton);
    });
}

void ScreensFixture::Guarda(TCustomForm* Form, const std::string& Nombre) {
    const fs::path carpeta = fs::path(ZELMOR_BINARY_DIR) / "tests" / "pantallas";
    fs::create_directories(carpeta);
    Ui.SaveToPng(Form, (carpeta / (Nombre + ".png")).string());
}

void ScreensFixture::Pulsa(TControl* Control) {
    Clock.Advance(1000);
    Ui.Click(Control);
}
