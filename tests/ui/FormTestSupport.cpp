#include "FormTestSupport.h"

#include "forms/TestScreens.h"

FormTest::FormTest() : ScreenTest(kTestResources) {
    RegisterTestScreens();
    EventLog().clear();
}

X11Screen::X11Screen() : X11ScreenTest(kTestResources) { RegisterTestScreens(); }
