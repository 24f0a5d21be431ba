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

// For the X smoke test: a pixel of the window as the X server shows it
// (client coordinates of the X window), and a key sent to the window as the
// server would send it.
bool X11ReadBack(TDisplay& Target, HWND Wnd, int X, int Y, uint32_t& Pixel);
bool X11SendKey(TDisplay& Target, HWND Wnd, bool Press, unsigned long KeySymbol);
// A mouse button (1 left, 2 middle, 3 right) pressed or released at a point
// of the X window (its client coordinates), as the server would send it.
bool X11SendButton(TDisplay& Target, HWND Wnd, bool Press, unsigned Button, int X, int Y);
