#pragma once
// Choosing the display backend.
//
// ZELMOR_BACKEND=offscreen or x11 picks one; without it the program uses x11
// when DISPLAY is set and offscreen otherwise.
#include <memory>
#include <string>

#include "platform/win/Display.h"

// Installs the backend the environment asks for and answers it. Raises
// EInvalidOperation for an unknown name, or when x11 is asked for and no X
// display can be opened.
TDisplay& InstallBackend();
// A display on the X server DisplayName (nullptr: $DISPLAY), or null when it cannot be opened.
std::unique_ptr<TDisplay> CreateX11Display(const char* DisplayName = nullptr);
// What InstallBackend would pick, from the two variables ("offscreen" or "x11").
std::string ChooseBackend(const char* Requested, const char* DisplayVariable);

// The X connection (an Xlib Display*) and the X window that show the
// top-level window Wnd on the X display Target, for code that speaks to the
// X server itself. False when Target is no X display or Wnd has no X window.
bool X11NativeWindow(TDisplay& Target, HWND Wnd, void*& Connection, unsigned long& Window);
