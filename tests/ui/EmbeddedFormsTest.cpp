// Every form built into the program or into this test executable, checked
// against its class; and what the check says of forms that do not fit theirs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "forms/TestScreens.h"
#include "shell/forms/ShellForms.h"
#include "tests/support/ui/FormCheck.h"

namespace {

using ::testing::IsEmpty;

// The program's forms are checked with the classes registered here: a
// screen of the program must be registered where this test runs.
TEST_F(FormTest, EveryEmbeddedFormLoadsWithEachFieldBoundAndEachHandlerFound) {
    TProgramLibraries Libraries;
    TFormCheck Program = CheckFormResources(kZelmorResources);
    EXPECT_THAT(Program.Problems, IsEmpty());
    TFormCheck Tests = CheckFormResources(kTestResources);
    EXPECT_THAT(Tests.Problems, IsEmpty());
    EXPECT_EQ(Tests.Forms, 5) << "each form file of tests/ui/forms is looked at";
}

// The screen of Alumnos.zfm with one thing changed at a time.
TEST_F(FormTest, AFormThatDoesNotFitItsClassFailsTheCheck) {
    const std::string Header = "object AlumnosForm: TAlumnosForm\n"
                               "  OnCreate = FormCreate\n"
                               "  object Header: TTestPanel\n  end\n";
    const std::string EName = "  object EName: TTestEdit\n  end\n";
    const std::string BSave = "  object BSave: TTestButton\n    OnClick = BSaveClick\n  end\n";
    struct TCase {
        const char* Why;
        std::string Text;
        const char* Problem;  // null: none
    };
    const TCase Cases[] = {
        {"the whole form", Header + EName + BSave + "end\n", nullptr},
        {"a component the class declares is missing", Header + EName + "end\n",
         "forms/Roto.zfm: EComponentError: Field BSave of TAlumnosForm has no component in forms/Roto.zfm"},
        {"a handler the class lacks",
         Header + EName + "  object BSave: TTestButton\n    OnClick = BGrabarClick\n  end\nend\n",
         "forms/Roto.zfm: EMethodNotFound: forms/Roto.zfm, line 8: Method BGrabarClick for OnClick not found "
         "in TAlumnosForm"},
        {"a component of another class than its field's",
         Header + "  object EName: TTestButton\n  end\n" + BSave + "end\n",
         "forms/Roto.zfm: EComponentError: forms/Roto.zfm, line 5: Field EName of TAlumnosForm is a "
         "TTestEdit, "
         "not a TTestButton"},
        {"a class nobody registered", "object NadaForm: TNadaForm\nend\n",
         "forms/Roto.zfm: its class TNadaForm is not registered"},
        {"a plain form", "object Datos: TForm\nend\n",
         "forms/Roto.zfm: its root is a TForm: a screen has a form class of its own"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Why);
        const ZelmorResourceEntry Table[] = {
            {"forms/Roto.zfm", reinterpret_cast<const unsigned char*>(C.Text.data()), C.Text.size()},
            {nullptr, nullptr, 0}};
        TFormCheck Check = CheckFormResources(Table);
        EXPECT_EQ(Check.Forms, 1);
        if (C.Problem) {
            EXPECT_THAT(Check.Problems, ::testing::ElementsAre(C.Problem));
        } else {
            EXPECT_THAT(Check.Problems, IsEmpty());
        }
    }
    EXPECT_EQ(Screen->FormCount(), 0) << "every form made for the check is gone";
}

// The program names its screens in globals that CreateForm sets before the
// form is read: one that fails to read must not leave its global pointing at
// the freed form, nor be the main form.
TEST_F(FormTest, AScreenWhoseFormLacksAComponentIsNotCreated) {
    const std::string Text = "object AlumnosForm: TAlumnosForm\n  object Header: TTestPanel\n  end\nend\n";
    const ZelmorResourceEntry Table[] = {
        {"forms/Roto.zfm", reinterpret_cast<const unsigned char*>(Text.data()), Text.size()},
        {nullptr, nullptr, 0}};
    TResourceScope Broken(Table);
    TAlumnosForm* Global = nullptr;
    EXPECT_THROW(Application->CreateForm(Global), EComponentError);
    EXPECT_EQ(Global, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Screen->FormCount(), 0);
}

}  // namespace
