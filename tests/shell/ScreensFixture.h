#pragma once
// The program's screens on the off-screen display, on a machine of their
// own: drive C: with the exchange folder, and the program folder
// C:\ZELMOR made current, as the program finds them at start. The main
// window is made as the program's entry makes it; the message boxes are
// forms, answered by clicks as a user answers them.
#include <filesystem>
#include <functional>
#include <string>

#include "shell/forms/ShellForms.h"
#include "tests/support/TempMachine.h"
#include "tests/support/ui/ScreenTest.h"

class TControlaForm;
class TCustomForm;

// The machine comes before the screens and goes after them: the screens'
// tables close while their files are still there.
class TMaquinaPantallas {
protected:
    TMaquinaPantallas();
    TTempMachine Maquina{"pantallas"};
    std::filesystem::path Programa;  // C:\ZELMOR on the machine
};

class ScreensFixture : public TMaquinaPantallas, public ScreenTest {
protected:
    ScreensFixture() = default;
    // On a screen of another size than the usual 1024 x 768.
    ScreensFixture(int Width, int Height) : ScreenTest(nullptr, Width, Height) {}
    void TearDown() override;

    // The sample school as a data folder of the program folder, and the
    // sample exchange folder as C:\QTEMP.
    void PonEjemplo(const std::string& Carpeta = "ejemplo");
    void PonIntercambio();

    // The main window, made and shown as the program's entry does.
    TControlaForm* AbrePrincipal();

    // The next step of the script: the form in front (a modal dialog or a
    // message box) is handed to Paso.
    void Luego(std::function<void(TCustomForm*)> Paso);
    // The next message box in front: its text is kept in Mensajes and its
    // button Boton ("OK", "Cancel") is clicked.
    void Responde(const char* Boton = "OK");
    std::vector<std::string> Mensajes;

    // A picture of the form, saved where the test's pictures go.
    void Guarda(TCustomForm* Form, const std::string& Nombre);
    // A click on a control, the clock moved on first so that two clicks in
    // a row are never one double click.
    void Pulsa(TControl* Control);

private:
    TProgramLibraries FLibraries;
};
