// Zelmor's entry point.
//
// The main window and the screens of the steps are not there yet: the program
// starts, sets up its libraries and its application object, reads the
// resources built into it and the data folders of its program folder, and
// says plainly that it has no window to show.
#include <cstdio>

#include "buttons/fcReg.h"
#include "dataaware/DataAware.h"
#include "gradient/TeeDraw3D.h"
#include "platform/db/DB.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "reportview/OvcInit.h"
#include "resources/ResourceTable.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"

namespace {
void Say(const AnsiString& Text) { std::printf("%s\n", ToUtf8(Text).c_str()); }

// The component libraries set up their process-wide objects before the
// application object runs and release them after its message loop. The
// report-view library comes first: a string table missing from the program
// stops the start there.
class TLibraries {
public:
    TLibraries() {
        // The data-aware library's settings object must be in place before
        // the first form: the main window's copy of its texts loads into it.
        StartDataAwareLibrary();
        InitGradientPanel();
        RegisterFcClasses();
    }
    ~TLibraries() {
        DoneGradientPanel();
        FinishDataAwareLibrary();
    }
    TLibraries(const TLibraries&) = delete;
    TLibraries& operator=(const TLibraries&) = delete;

private:
    TOvcLibrary FReportView;
};
}  // namespace

int main() {
    try {
        RegisterGfxClasses();
        RegisterDBClasses();
        RegisterUiClasses();
        TLibraries Libraries;
        EnsureApplication();
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
    } catch (const std::exception& e) {
        // Whatever stopped the start, the caller of the program must see a failure.
        std::fprintf(stderr, "%s\n", ToUtf8(e.what()).c_str());
        return 1;
    }
    return 0;
}
