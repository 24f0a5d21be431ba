#pragma once
// What a screen test sets up, each piece undone by its destructor, so that a
// test that stops halfway (a failed assertion, an exception) leaves nothing
// behind for the tests after it.
#include <memory>

#include "platform/ui/Forms.h"
#include "platform/win/Display.h"
#include "resources/ResourceTable.h"

// Puts Table (a test's own forms) before the program's resources while it lives.
class TResourceScope {
public:
    explicit TResourceScope(const ZelmorResourceEntry* Table);
    ~TResourceScope();
    TResourceScope(const TResourceScope&) = delete;
    TResourceScope& operator=(const TResourceScope&) = delete;

private:
    const ZelmorResourceEntry* FTable;
};

// While it lives: Display installed (the form layer answers message boxes
// with forms on it), an empty window manager, a fresh application object and
// screen. At its end every form is freed, the window manager emptied and no
// display is installed any more.
class TUiSession {
public:
    explicit TUiSession(std::unique_ptr<TDisplay> Display);
    ~TUiSession();
    TUiSession(const TUiSession&) = delete;
    TUiSession& operator=(const TUiSession&) = delete;
};

// A screen as the program opens one: its class reads its form (every field
// bound, every handler found) and runs its OnCreate; the application owns it.
template <class T>
T* OpenScreen() {
    return NewComponent<T>(Application);
}

// A frameless form of the application at (100, 100), so that screen points
// are client points plus (100, 100); the tests of controls put what they
// check on it.
TForm* NewPlainForm(const char* Name, int Width = 300, int Height = 200);
