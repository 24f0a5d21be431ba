// A dialog of standard controls (tests/ui/forms/DatosAlumno.zfm) filled in by
// keys and mouse as a user would, and its look kept as a reference picture.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "forms/TestScreens.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class StdDialog : public FormTest {
protected:
    TDatosAlumnoForm* F = Open<TDatosAlumnoForm>();
};

TEST_F(StdDialog, AUserFillsItInByKeysAndMouseConfirmsWithEnterAndCancelsWithEscape) {
    Ui.Then([&] {
        PlayKeys(Ui, "Ana{Tab}01022003{A+C}{Down}{Down}");
        Ui.Click(F->LbAsig, TPoint(10, 20));  // the second line
        PlayKeys(Ui, "{A+B}{A+T}");
        Ui.Click(F->SENumero->Button(), TPoint(5, 2));
        // Enter in the spin edit is not a dialog key: leave it for the check box first.
        PlayKeys(Ui, "{Enter}{A+B}{Enter}");
    });
    EXPECT_EQ(F->ShowModal(), mrOk);
    EXPECT_EQ(F->EdNombre->Text(), "Ana");
    auto* Fecha = F->EdFecha;
    EXPECT_EQ(Fecha->Text(), "01/02/2003");
    auto* Curso = F->CbCurso;
    EXPECT_EQ(Curso->ItemIndex(), 1);
    EXPECT_EQ(Curso->Text(), "Segundo");
    auto* Asig = F->LbAsig;
    EXPECT_TRUE(Asig->Selected(1));
    EXPECT_EQ(Asig->SelCount(), 1);
    EXPECT_EQ(F->ChkBeca->Checked(), false) << "checked by its accelerator, then unchecked";
    EXPECT_EQ(F->RgTurno->ItemIndex(), 1);
    EXPECT_EQ(F->SENumero->Value(), 2);

    Ui.Then([&] { PlayKeys(Ui, "{Esc}"); });
    EXPECT_EQ(F->ShowModal(), mrCancel);
}

// The look of the standard controls together: 3D borders, check and radio
// glyphs, a dropped-down-less combo, the bit buttons' glyphs. No formula
// says what is right here, so the picture is kept.
class StdDialogLook : public StdDialog {
protected:
    const TSurface& Filled(bool Grant) {
        F->EdNombre->SetText("Ana");
        F->ChkBeca->SetChecked(Grant);
        F->RgTurno->SetItemIndex(0);
        F->CbCurso->SetItemIndex(2);
        F->LbAsig->SetSelected(1, true);
        F->Show();
        F->SENumero->SetFocus();
        Ui.RunUntilIdle();
        return Ui.Picture(F);
    }
    const std::string File = std::string(ZELMOR_SOURCE_DIR) + "/tests/ui/reference/stdcontrols.png";
};

TEST_F(StdDialogLook, LooksAsItsReferencePicture) {
    EXPECT_TRUE(MatchesReferencePicture(Filled(true), File));
}

// The grant's box without its tick changes 21 of the dialog's 76 560 pixels,
// far fewer than one in a hundred.
TEST_F(StdDialogLook, ADialogWhoseBoxLostItsTickDoesNotLookRight) {
    EXPECT_FALSE(SamePicture(LoadSurfaceFromPng(File), Filled(false)));
}

}  // namespace
