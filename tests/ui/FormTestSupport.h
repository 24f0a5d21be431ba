#pragma once
// The fixtures of the form tests: the screen fixtures with this executable's
// own forms and screens (tests/ui/forms/), and a fresh event log.
#include <gtest/gtest.h>

#include "TestControls.h"
#include "tests/support/TestResources.h"
#include "tests/support/ui/ScreenTest.h"

class FormTest : public ScreenTest {
protected:
    FormTest();
    // A frameless form at (100, 100), so screen = client + (100, 100).
    TForm* NewPlainForm(const char* Name, int Width = 300, int Height = 200);
};

// The same screens on a private X server.
class X11Screen : public X11ScreenTest {
protected:
    X11Screen();
};

uint32_t PixelOf(TUiDriver& Ui, TCustomForm* Form, int X, int Y);
