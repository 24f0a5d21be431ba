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
};

// The same screens on a private X server.
class X11Screen : public X11ScreenTest {
protected:
    X11Screen();
};
