#include "FormTestSupport.h"

#include "forms/TestScreens.h"

FormTest::FormTest() : ScreenTest(kTestResources) {
    RegisterTestScreens();
    EventLog().clear();
}

X11Screen::X11Screen() : X11ScreenTest(kTestResources) { RegisterTestScreens(); }

TForm* FormTest::NewPlainForm(const char* Name, int Width, int Height) {
    TForm* F = TForm::CreateNew(Application);
    F->SetName(Name);
    F->SetBorderStyle(bsNone);
    F->SetBounds(100, 100, Width, Height);
    return F;
}

uint32_t PixelOf(TUiDriver& Ui, TCustomForm* Form, int X, int Y) { return Ui.Picture(Form).GetPixel(X, Y); }
