// A form written to our form text and read back: its controls come out
// inside their parents, with the components that are no controls beside them.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/ui/Menus.h"

namespace {

TEST_F(FormTest, AFormWritesItsControlsInsideTheirParentsAndReadsThemBack) {
    RegisterTestControls();
    RegisterUiClasses();
    TForm* F = NewPlainForm("Alumnos");
    auto* Header = Make<TTestPanel>(F, F, "Header", Bounds(0, 0, 300, 30));
    Make<TTestButton>(F, Header, "BSave", Bounds(5, 3, 60, 24))->SetCaption("&Guardar");
    Make<TTestShape>(F, F, "Status", Bounds(10, 50, 20, 20));
    auto* Menu = NewComponent<TPopupMenu>(F);
    Menu->SetName("PopupMenu1");
    AnsiString Text = WriteComponentToText(F);
    EXPECT_NE(Text.find("  object Header: TTestPanel\n"), AnsiString::npos) << Text;
    EXPECT_NE(Text.find("    object BSave: TTestButton\n"), AnsiString::npos) << "inside its panel\n" << Text;
    EXPECT_NE(Text.find("  object PopupMenu1: TPopupMenu\n"), AnsiString::npos) << Text;

    TForm* Back = TForm::CreateNew(Application);
    ReadComponentFromText(Back, Text);
    auto* Save = dynamic_cast<TTestButton*>(Back->FindComponent("BSave"));
    ASSERT_NE(Save, nullptr);
    EXPECT_EQ(Save->Parent(), Back->FindComponent("Header"));
    EXPECT_EQ(Save->Caption(), "&Guardar");
    EXPECT_EQ(Save->BoundsRect(), Bounds(5, 3, 60, 24));
    EXPECT_NE(dynamic_cast<TPopupMenu*>(Back->FindComponent("PopupMenu1")), nullptr);
    // The first line names the form, which took another name beside the first one.
    AnsiString Again = WriteComponentToText(Back);
    EXPECT_EQ(Again.substr(Again.find('\n')), Text.substr(Text.find('\n'))) << "written again, the same text";
}

}  // namespace
