// The types screen and the organizer's dialog on a real X server: with the
// main window up, "&Ir a ..." and "5" through the server open the screen
// over the sample school's first course, which shows and stays the active
// window; the dialog shows, and a click the X server delivers on its
// "&Salir" reaches it.
#include <gtest/gtest.h>

#include <optional>

#include "ScreensFixture.h"
#include "buttons/fcImgBtn.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/gfx/Graphics.h"
#include "platform/sys/Paths.h"
#include "platform/win/MessageQueue.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "shell/StepMachine.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Organizar.h"
#include "shell/forms/Tipos.h"
#include "tests/support/TempMachine.h"

namespace fs = std::filesystem;

namespace {

class TiposX11 : public X11ScreenTest {
protected:
    void SetUp() override {
        X11ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Librerias.emplace();
    }
    void TearDown() override {
        while (Screen && Screen->CustomFormCount() > 0) Screen->CustomForms(0)->Free();
        Librerias.reset();
    }
    // Works the messages until the server has nothing more for us; false
    // when they never end, as when two windows hand each other the focus
    // for ever.
    bool Asienta() {
        for (int tanda = 0; tanda < 50; ++tanda) {
            X().Wait(100);
            int n = 0;
            TMsg m;
            for (; n < 200 && PeekMessage(m, nullptr, 0, 0, PM_REMOVE); ++n) {
                TranslateMessage(m);
                DispatchMessage(m);
            }
            if (n == 0) return true;
        }
        return false;
    }
    std::optional<TProgramLibraries> Librerias;
};

TEST_F(TiposX11, TheTypesScreenAndTheOrganizersDialogShow) {
    // The machine comes once the server runs, as the program finds it at start.
    TTempMachine maquina("tiposx11");
    const fs::path programa = maquina.DriveC() / "ZELMOR";
    fs::create_directories(programa);
    maquina.EnterProgram("inicio");
    SetCurrentDir("C:\\ZELMOR");
    fs::copy(fs::path(ZELMOR_SOURCE_DIR) / "samples" / "datos", programa / "ejemplo",
             fs::copy_options::recursive);
    // The main window first, as the program shows it: it stays on top.
    Application->CreateForm(ControlaForm);
    ControlaForm->Show();
    ASSERT_TRUE(Asienta());
    EXPECT_EQ(ControlaForm->FormStyle(), fsStayOnTop);
    // The sample school open, its first course selected.
    TAppState& e = ControlaForm->Estado();
    e.ApuntaBaseDatos("C:\\ZELMOR\\ejemplo\\");
    e.CarpetaDatos = e.RutaDatos = "C:\\ZELMOR\\ejemplo\\";
    {
        TTempTable cursos = OpenTempTable("C:\\ZELMOR\\ejemplo", "cursos");
        cursos->First();
        e.Turno = cursos->FieldByName("TURNO")->AsString();
        e.Nivel = cursos->FieldByName("NIVEL")->AsString();
        e.Curso = cursos->FieldByName("CURSO")->AsString();
        e.TNCSeleccionado = cursos->FieldByName("TNC")->AsString();
    }
    // "&Ir a ..." clicked through the server; once its menu shows (it takes
    // the mouse), "5" typed through the server chooses step 5.
    TControl* irA = ControlaForm->BIrA;
    const TPoint boton = irA->ClientToScreen(TPoint(irA->Width() / 2, irA->Height() / 2));
    const TPoint principal = ControlaForm->ClientOrigin();
    const HWND ventana = ControlaForm->Handle();
    bool tecleado = false;
    Application->OnIdle = [&](TObject*, bool&) {
        const HWND menu = GetCapture();
        if (tecleado || !menu || menu == ventana) return;
        tecleado = X11SendKey(X(), ventana, true, '5') && X11SendKey(X(), ventana, false, '5');
    };
    Clock.Advance(1000);
    ASSERT_TRUE(X11SendButton(X(), ventana, true, 1, boton.x - principal.x, boton.y - principal.y));
    ASSERT_TRUE(X11SendButton(X(), ventana, false, 1, boton.x - principal.x, boton.y - principal.y));
    ASSERT_TRUE(Asienta());
    Application->OnIdle = nullptr;
    EXPECT_TRUE(tecleado);
    TTiposForm* T = TiposForm;
    ASSERT_NE(T, nullptr) << "step 5 opened";
    EXPECT_EQ(e.Paso, PasoTipos);
    ASSERT_TRUE(Asienta()) << "the main window and the screen settle which of them is active";
    EXPECT_EQ(Screen->ActiveForm(), T);
    UpdateWindow(T->Handle());
    uint32_t pixel = 0;
    EXPECT_TRUE(X11ReadBack(X(), T->Handle(), 10, 10, pixel)) << "the screen is on the server";

    // The organizer's dialog as the types screen makes it, shown; a real
    // click on its "&Salir" gives it its modal result.
    auto* D = NewComponent<TFormOrganizar>(T);
    D->Show();
    Application->ProcessMessages();
    UpdateWindow(D->Handle());
    uint32_t fondo = 0;
    ASSERT_TRUE(X11ReadBack(X(), D->Handle(), D->ClientWidth() - 3, 100, fondo))
        << "the dialog is on the server";
    const TColorRef cara = ColorToRGB(clBtnFace);
    EXPECT_EQ(fondo, ((cara & 0xFF) << 16) | (cara & 0xFF00) | ((cara >> 16) & 0xFF));
    TfcImageBtn* salir = D->BSalir;
    const TPoint centro = salir->ClientToScreen(TPoint(salir->Width() / 2, salir->Height() / 2));
    const TPoint origen = D->ClientOrigin();
    Clock.Advance(1000);
    ASSERT_TRUE(X11SendButton(X(), D->Handle(), true, 1, centro.x - origen.x, centro.y - origen.y));
    ASSERT_TRUE(X11SendButton(X(), D->Handle(), false, 1, centro.x - origen.x, centro.y - origen.y));
    Application->ProcessMessages();
    EXPECT_EQ(D->ModalResult(), mrCancel);
    D->Free();
    // The screens go while their tables' files are still there.
    while (Screen->CustomFormCount() > 0) Screen->CustomForms(0)->Free();
}

}  // namespace
