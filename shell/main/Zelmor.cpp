// Zelmor's entry point: the component libraries, the application object,
// the main window and the message loop, on the X server of $DISPLAY.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/backend/Backend.h"
#include "platform/db/DB.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "shell/AppState.h"
#include "shell/forms/Controla.h"
#include "shell/forms/ShellForms.h"

namespace {
void Dice(const AnsiString& Texto) { std::fprintf(stderr, "%s\n", ToUtf8(Texto).c_str()); }

// Zelmor's windows are X windows: without an X server there is nothing to
// show them on, and the user is told how to get one.
bool AbrePantalla() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        Dice("Zelmor necesita un servidor X para mostrar sus ventanas, y la variable DISPLAY no nombra "
             "ninguno. En una m\xE1quina sin pantalla puede arrancarlo en un servidor X virtual: "
             "xvfb-run ./setup.sh run");
        return false;
    }
    std::unique_ptr<TDisplay> x = CreateX11Display(display);
    if (!x) {
        Dice("Zelmor no puede abrir el servidor X \"" + AnsiString(display) +
             "\" (DISPLAY). Compruebe que est\xE1 en marcha y que este usuario puede usarlo, o arranque "
             "Zelmor en un servidor X virtual: xvfb-run ./setup.sh run");
        return false;
    }
    SetDisplay(std::move(x));
    return true;
}
}  // namespace

int main() {
    try {
        RegisterGfxClasses();
        RegisterDBClasses();
        RegisterUiClasses();
        // The libraries set up their process-wide objects before the
        // application object runs and release them after its message loop.
        TProgramLibraries Libraries;
        // Every data folder is named under the program folder: one too long
        // for that stops the start before any window.
        CarpetaProgramaActual();
        if (!AbrePantalla()) return 1;
        EnsureApplication();
        Application->Initialize();
        Application->SetTitle("Zelmor");
        Application->SetHelpFile("REZUDURAR3.HLP");
        try {
            Application->CreateForm(ControlaForm);
            Application->Run();
        } catch (const Exception& E) {
            // What escapes the main window's creation or the loop is shown as
            // the loop shows it, and the program ends with a failure.
            Application->ShowException(E);
            Dice(E.Message());
            return 1;
        }
    } catch (const std::exception& e) {
        // Whatever stopped the start, the caller of the program must see a failure.
        Dice(e.what());
        return 1;
    }
    return 0;
}
