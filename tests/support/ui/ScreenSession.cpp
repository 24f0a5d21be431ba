#include "tests/support/ui/ScreenSession.h"

#include "platform/classes/Resources.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

TResourceScope::TResourceScope(const ZelmorResourceEntry* Table) : FTable(Table) { AddResourceTable(Table); }

TResourceScope::~TResourceScope() { RemoveResourceTable(FTable); }

namespace {
// The forms go with the application object, their windows with the window manager.
void EndApplication() {
    if (Application) Application->Free();
    Application = nullptr;
    if (Screen) Screen->Free();
    Screen = nullptr;
    ResetWindowManager();
}
}  // namespace

TUiSession::TUiSession(std::unique_ptr<TDisplay> Display) {
    EndApplication();
    SetDisplay(std::move(Display));
    EnsureApplication();
}

TUiSession::~TUiSession() {
    EndApplication();
    SetDisplay(nullptr);
    EnsureApplication();
}

TForm* NewPlainForm(const char* Name, int Width, int Height) {
    TForm* F = TForm::CreateNew(Application);
    F->SetName(Name);
    F->SetBorderStyle(bsNone);
    F->SetBounds(100, 100, Width, Height);
    return F;
}
