// Zelmor's entry point.
//
// The main window and the screens of the steps are not there yet: the program
// starts, sets up its libraries and its application object, reads the
// resources built into it and the data folders of its program folder, and
// says plainly that it has no window to show.
#include <cstdio>

#include "dataaware/DataAware.h"
#include "platform/db/DB.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "resources/ResourceTable.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"

namespace {
void Say(const AnsiString& Text) { std::printf("%s\n", ToUtf8(Text).c_str()); }
}  // namespace

int main() {
    try {
        RegisterGfxClasses();
        RegisterDBClasses();
        RegisterUiClasses();
        EnsureApplication();
        // Before the first form: the library's settings object is in place
        // when the main window's copy of its texts loads.
        StartDataAwareLibrary();
        Application->Initialize();
        Application->SetTitle("Zelmor");
        Application->SetHelpFile("REZUDURAR3.HLP");

        int resources = 0;
        for (const ZelmorResourceEntry* e = kZelmorResources; e->Path; ++e) ++resources;

        TAppState* state = NewComponent<TAppState>(Application);
        state->Inicia();
        std::vector<AnsiString> folders = ListaCarpetasDatos(state->CarpetaPrograma);

        Say("Zelmor Versi\xF3n 3.02");
        Say("Carpeta del programa: " + state->CarpetaPrograma);
        AnsiString list;
        for (const AnsiString& f : folders) list += (list.empty() ? "" : ", ") + f;
        Say("Carpetas de datos: " + (list.empty() ? AnsiString("ninguna") : list));
        Say("Recursos cargados: " + IntToStr(resources));
        Say("La ventana principal todav\xED"
            "a no existe en esta versi\xF3n: no hay pantallas que mostrar.");
        FinishDataAwareLibrary();
    } catch (const std::exception& e) {
        // Whatever stopped the start, the caller of the program must see a failure.
        std::fprintf(stderr, "%s\n", ToUtf8(e.what()).c_str());
        return 1;
    }
    return 0;
}
