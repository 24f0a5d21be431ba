// The main window and the dialogs of the data folder, the import and the
// export, driven on the off-screen display by clicks and keys as a user
// drives them.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>

#include "ScreensFixture.h"
#include "ShellFixture.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwintl.h"
#include "platform/db/Table.h"
#include "platform/sys/Help.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Menus.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Datos.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Exportar.h"
#include "shell/forms/Seldat.h"
#include "tests/support/ReferencePicture.h"

namespace {

const std::string SinCarpeta = "Antes de continuar debe importar o seleccionar una carpeta de datos";

std::vector<std::string> Lineas(TRichEdit* Edit) {
    std::vector<std::string> v;
    for (int i = 0; i < Edit->Lines()->Count(); ++i) v.push_back(Edit->Lines()->Strings(i));
    return v;
}

// Records, for each box asked, its text and the cursor the screen had.
class TCajasConCursor : public TDialogAnswerer {
public:
    TCajasConCursor() : FAntes(SetDialogAnswerer(this)) {}
    ~TCajasConCursor() override { SetDialogAnswerer(FAntes); }
    std::vector<std::pair<std::string, TCursor>> Vistas;
    std::deque<TDialogAnswer> Respuestas;
    TDialogAnswer Answer(const TDialogRequest& R) override {
        Vistas.emplace_back(R.Text, Screen->Cursor());
        if (Respuestas.empty()) return {};
        TDialogAnswer a = Respuestas.front();
        Respuestas.pop_front();
        return a;
    }

private:
    TDialogAnswerer* FAntes;
};

}  // namespace

class Screens : public ScreensFixture {};

TEST_F(Screens, TheMainWindowOpensInTheWelcomeLayout) {
    TControlaForm* F = AbrePrincipal();
    EXPECT_EQ(F->Caption(), "Zelmor");
    EXPECT_EQ(TRect(F->Left(), F->Top(), F->Width(), F->Height()), TRect(0, 0, 480, 234));
    EXPECT_EQ(F->FormStyle(), fsStayOnTop);
    EXPECT_EQ(F->HelpContext(), 2000);
    EXPECT_EQ(F->Estado().CarpetaPrograma, "C:\\ZELMOR\\");
    EXPECT_EQ(F->Estado().CarpetaDatos, "");
    EXPECT_EQ(F->Estado().Paso, 0);

    // Plain rectangles; the two arrows are two-cell glyphs of 15 by 12, the
    // second cell for a disabled button.
    const struct {
        TfcShapeBtn* Boton;
        const char* Texto;
        int Izquierda;
        int AnchoGlifo;
    } botones[] = {{F->BAnterior, "&Anterior", 9, 30},
                   {F->BSiguiente, "&Siguiente", 102, 30},
                   {F->BIrA, "&Ir a ...", 195, 0},
                   {F->BAyuda, "&Ayuda", 288, 0},
                   {F->BSalir, "&Salir", 382, 0}};
    for (const auto& b : botones) {
        EXPECT_EQ(b.Boton->Caption(), b.Texto);
        EXPECT_EQ(TRect(b.Boton->Left(), b.Boton->Top(), b.Boton->Width(), b.Boton->Height()),
                  TRect(b.Izquierda, 170, 85, 24))
            << b.Texto;
        EXPECT_EQ(b.Boton->Shape(), bsRect) << b.Texto;
        EXPECT_EQ(b.Boton->Glyph()->Width(), b.AnchoGlifo) << b.Texto;
        if (b.AnchoGlifo) {
            EXPECT_EQ(b.Boton->Glyph()->Height(), 12) << b.Texto;
            EXPECT_EQ(b.Boton->NumGlyphs(), 2) << b.Texto;
        }
    }
    EXPECT_EQ(F->LabDorvanel->Caption(), "Dorvanel M3");
    EXPECT_EQ(F->LabVersion->Caption(), "Zelmor Versi\xF3n 3.02 ");
    EXPECT_EQ(Lineas(F->RichEdit1),
              (std::vector<std::string>{
                  "Esta aplicaci\xF3n sirve para organizar grupos de alumnos partiendo de los datos ",
                  "proporcionados por una Ruraruv uz Udozure de Ense\xF1"
                  "anza.",
                  "", "Para empezar a trabajar, pulse \"Siguiente\""}));

    const std::vector<std::string> pasos = {"&1 - Abrir o importar datos",
                                            "&2 - Seleccionar curso",
                                            "&3 - Alumnos",
                                            "&4 - Asignaturas del curso",
                                            "&5 - Organizar los grupos",
                                            "&6 - Colocar los alumnos en los grupos",
                                            "7 - Exportar",
                                            "-",
                                            "Nombres de las &asignaturas",
                                            "&Profesores",
                                            "&Grupos",
                                            "&Aulas",
                                            "Listados de alumnos",
                                            "&Salir"};
    std::vector<std::string> menu;
    for (int i = 0; i < F->PopupMenuControla->Items()->Count(); ++i)
        menu.push_back(F->PopupMenuControla->Items()->Items(i)->Caption());
    EXPECT_EQ(menu, pasos);
    const struct {
        TMenuItem* Item;
        const char* Texto;
        const char* Atajo;
    } rejilla[] = {{F->Inserta, "&Insertar l\xEDnea", "Ins"},
                   {F->Suprime, "&Suprimir l\xEDnea", "Ctrl+S"},
                   {F->Recupera, "&Recuperar l\xEDnea", "Ctrl+R"}};
    for (const auto& r : rejilla) {
        EXPECT_EQ(r.Item->Caption(), r.Texto);
        EXPECT_EQ(ShortCutToText(r.Item->ShortCut()), r.Atajo);
        EXPECT_TRUE(r.Item->Enabled());
    }
    // The data-aware library speaks Spanish where the main window's texts say so.
    EXPECT_EQ(DefaultIntl->Navigator()->ConfirmDeleteMessage(), "Borrar registro?");
    EXPECT_EQ(DefaultIntl->LocateDialog()->BtnFirstHint(), "Buscar la 1\xAA coincidencia");
    EXPECT_EQ(DefaultIntl->LocateDialog()->BtnClose(), "Close");
    EXPECT_EQ(DefaultIntl->UserMessages()->RichEditClearWarning(), "Clear entire text?");
    EXPECT_EQ(DefaultIntl->BtnCancelCaption(), "Cancelar");

    Guarda(F, "principal");
    EXPECT_TRUE(
        MatchesReferencePicture(Ui.Picture(F), ZELMOR_SOURCE_DIR "/tests/shell/reference/principal.png"));
}

// The first move leaves the welcome layout for the strip for good, and a
// window shown later stays under the main window, which keeps on top.
TEST_F(Screens, TheFirstMoveLeavesTheStripAndLaterWindowsStayUnderIt) {
    PonEjemplo();
    TControlaForm* F = AbrePrincipal();
    ASSERT_EQ(SeleccionaCarpeta(F->Estado(), "ejemplo", [] { return false; }), TApertura::Actual);
    F->Estado().TNCSeleccionado = "D1ESO";
    // "&Ir a ...", "&2 - ...": the courses screen, under the strip.
    Pulsa(F->BIrA);
    Ui.Then([&] { Ui.Type("2"); });
    Responde();
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Estado().Paso, PasoCursos);
    EXPECT_EQ(Mensajes, std::vector<std::string>{});
    EXPECT_EQ(TRect(F->Left(), F->Top(), F->Width(), F->Height()), TRect(0, 0, 480, 61));
    EXPECT_FALSE(F->LabDorvanel->Visible());
    EXPECT_FALSE(F->LabVersion->Visible());
    EXPECT_FALSE(F->RichEdit1->Visible());
    for (TfcShapeBtn* b : {F->BAnterior, F->BSiguiente, F->BIrA, F->BAyuda, F->BSalir})
        EXPECT_EQ(b->Top(), 2);
    Guarda(F, "tira");

    // A later window over the strip's place, activated: the strip stays in
    // front, and a click on "&Ayuda" reaches it.
    TForm* otra = NewPlainForm("Otra", 600, 300);
    otra->SetBounds(0, 0, 600, 300);
    otra->Show();
    Ui.RunUntilIdle();
    THelpRecorder ayuda;
    Pulsa(F->BAyuda);
    Ui.RunUntilIdle();
    ASSERT_EQ(ayuda.Requests().size(), 1u);
    EXPECT_EQ(ayuda.Requests()[0].Data, 2000u);
    EXPECT_EQ(ayuda.Requests()[0].HelpFile, Application->HelpFile());
}

// Cancelling the data-folder dialog without a folder brings the folder
// message and the dialog again; its close box, or the close box of the main
// window, end the program cleanly from there.
class LeavingTheDataFolderDialog : public ScreensFixture {
protected:
    enum TSalida { CierreDialogo, CierrePrincipal };
    void CancelaYSale(TSalida Salida) {
        TControlaForm* F = AbrePrincipal();
        Pulsa(F->BSiguiente);
        std::string titulo;
        TRect sitio;
        Luego([&](TCustomForm* D) {
            titulo = D->Caption();
            sitio = TRect(D->Left(), D->Top(), D->ClientWidth(), D->ClientHeight());
            Ui.Click(D, "BSalir");
        });
        Responde();
        Luego([&](TCustomForm* D) {
            ASSERT_EQ(D, DatosForm) << "the dialog again";
            if (Salida == CierreDialogo) InputCloseRequest(D->Handle());
            if (Salida == CierrePrincipal) InputCloseRequest(F->Handle());
        });
        Ui.RunUntilIdle();
        EXPECT_EQ(titulo, "Datos [] ");
        EXPECT_EQ(sitio, TRect(50, 100, 315, 183));
        EXPECT_EQ(Mensajes, std::vector<std::string>{SinCarpeta});
        EXPECT_EQ(DatosForm, nullptr) << "the step's dialog is freed";
        EXPECT_EQ(F->PantallaDelPaso(), nullptr);
        EXPECT_EQ(F->Estado().Paso, PasoDatos);
        EXPECT_TRUE(Application->Terminated()) << "the program ends";
        EXPECT_EQ(Ui.StepsLeft(), 0u);
    }
};

TEST_F(LeavingTheDataFolderDialog, ByItsCloseBox) { CancelaYSale(CierreDialogo); }
TEST_F(LeavingTheDataFolderDialog, ByTheCloseBoxOfTheMainWindow) { CancelaYSale(CierrePrincipal); }

// There is no help viewer here: "&Ayuda", and F1 on a screen, tell so in one
// box each, in Spanish, rather than doing nothing.
TEST_F(Screens, AyudaAndF1TellThatHelpIsNotAvailableHere) {
    PonEjemplo();
    TControlaForm* F = AbrePrincipal();
    ASSERT_EQ(SeleccionaCarpeta(F->Estado(), "ejemplo", [] { return false; }), TApertura::Actual);
    Pulsa(F->BAyuda);
    Responde();
    Ui.RunUntilIdle();
    Clock.Advance(1000);
    F->MISelecCurso->Click();
    Ui.RunUntilIdle();
    ASSERT_NE(F->PantallaDelPaso(), nullptr);
    Ui.Key(VK_F1);
    Responde();
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.StepsLeft(), 0u);
    const std::string aviso = "La ayuda no est\xE1 disponible en este sistema.";
    EXPECT_EQ(Mensajes, (std::vector<std::string>{aviso, aviso}));
}

// Each modal step blocks the strip the same way: while its dialog is up,
// clicks on "&Salir", "&Siguiente", "&Ir a ..." and "&Ayuda" do nothing;
// the dialog stays in front and the program goes on once it is closed.
TEST_F(Screens, EveryModalStepBlocksTheWholeStrip) {
    PonEjemplo();
    TControlaForm* F = AbrePrincipal();
    ASSERT_EQ(SeleccionaCarpeta(F->Estado(), "ejemplo", [] { return false; }), TApertura::Actual);
    F->Estado().TNCSeleccionado = "DESO4";
    THelpRecorder ayuda;
    for (TMenuItem* paso : {F->MIDatos, F->MIExportar, F->MIColocar}) {
        SCOPED_TRACE(paso->Caption());
        TCustomForm* dialogo = nullptr;
        Luego([&](TCustomForm* D) {
            dialogo = D;
            for (TfcShapeBtn* b : {F->BSalir, F->BSiguiente, F->BIrA, F->BAyuda, F->BAnterior}) {
                Clock.Advance(1000);
                Ui.Click(b);
            }
        });
        bool delante = false, termina = true;
        Luego([&](TCustomForm* D) {
            delante = D == dialogo;
            termina = Application->Terminated();
            InputCloseRequest(D->Handle());
        });
        Clock.Advance(1000);
        paso->Click();
        Ui.RunUntilIdle();
        EXPECT_EQ(Ui.StepsLeft(), 0u);
        EXPECT_TRUE(delante) << "the dialog stays in front";
        EXPECT_FALSE(termina);
        EXPECT_FALSE(Application->Terminated());
        EXPECT_EQ(Mensajes, std::vector<std::string>{});
        EXPECT_EQ(ayuda.Requests().size(), 0u);
        EXPECT_NE(F->PantallaDelPaso(), dialogo) << "the machine moved on";
    }
}

// The folder name is asked until the folder can be made; Cancel imports
// into "Nueva Carpeta". The import runs under the hourglass.
TEST_F(Screens, ARefusedFolderNameIsToldAndAskedAgainAndCancelImportsIntoNuevaCarpeta) {
    PonIntercambio();
    TControlaForm* F = AbrePrincipal();
    Pulsa(F->BSiguiente);
    Luego([&](TCustomForm* D) { Ui.Click(D, "BImportar"); });
    std::vector<std::string> cajas;
    Luego([&](TCustomForm* Caja) {
        cajas.push_back(Caja->Caption());
        Ui.Type("curso/2025");
        Ui.Click(Caja, "OK");
    });
    Responde();
    Luego([&](TCustomForm* Caja) {
        cajas.push_back(Caja->Caption());
        Ui.Click(Caja, "Cancel");
    });
    Responde();  // "Proceso terminado"
    Ui.RunUntilIdle();
    EXPECT_EQ(cajas, (std::vector<std::string>(2, "Alojar los datos en carpeta ...")));
    ASSERT_EQ(Mensajes.size(), 2u);
    EXPECT_NE(Mensajes[0].find("\"curso/2025\" no sirve como nombre de carpeta"), std::string::npos)
        << Mensajes[0];
    EXPECT_EQ(Mensajes[1], "Proceso terminado");
    EXPECT_EQ(F->Estado().CarpetaDatos, "C:\\ZELMOR\\Nueva Carpeta\\");
    EXPECT_EQ(F->Estado().Paso, PasoCursos);
    EXPECT_TRUE(std::filesystem::exists(Programa / "Nueva Carpeta" / "alum.dbf"));
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

// The long work of the dialogs runs under the hourglass, and the cursor
// comes back however it ends.
TEST_F(Screens, ImportAndExportRunUnderTheHourglass) {
    AbrePrincipal();
    auto* datos = Open<TDatosForm>();
    auto* exportar = Open<TExportarForm>();
    TCajasConCursor cajas;
    // No exchange folder: the import fails, and says so.
    cajas.Respuestas.push_back({IDOK, "nuevo"});
    datos->BImportarClick(nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    PonIntercambio();
    cajas.Respuestas.push_back({IDOK, "nuevo"});
    datos->BImportarClick(nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(datos->Caption(), "Datos [C:\\ZELMOR\\nuevo\\] ");
    // The exchange folder gone again: the export fails, and says so.
    std::filesystem::remove_all(Maquina.DriveC() / "QTEMP");
    exportar->BOKClick(nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    ASSERT_EQ(cajas.Vistas.size(), 5u);
    EXPECT_EQ(cajas.Vistas[0], (std::pair<std::string, TCursor>("Nombre de la carpeta:", crDefault)));
    EXPECT_EQ(cajas.Vistas[1].second, crHourGlass) << cajas.Vistas[1].first;
    EXPECT_NE(cajas.Vistas[1].first.find("No se han importado los datos"), std::string::npos);
    EXPECT_EQ(cajas.Vistas[3], (std::pair<std::string, TCursor>("Proceso terminado", crHourGlass)));
    EXPECT_EQ(cajas.Vistas[4].second, crHourGlass) << cajas.Vistas[4].first;
    EXPECT_NE(cajas.Vistas[4].first.find("No se ha exportado nada"), std::string::npos);
}

// An older folder from the folder list: the question comes under the
// arrow, and once the user agrees the conversion runs under the hourglass.
// Here a damaged table stops it, so its message shows the cursor the work
// had; the arrow comes back afterwards.
TEST_F(Screens, AConversionRunsUnderTheHourglassOnceTheUserAgrees) {
    struct TViejas : ShellFixture {
        using ShellFixture::CreaCarpetaM2;
    };
    TViejas::CreaCarpetaM2("C:\\ZELMOR\\vieja");
    std::ofstream(Programa / "vieja" / "asigcur.dbf", std::ios::binary | std::ios::trunc)
        << "no es una tabla";
    AbrePrincipal();
    auto* datos = Open<TDatosForm>();
    TCajasConCursor cajas;
    cajas.Respuestas.push_back({IDOK, ""});
    Luego([&](TCustomForm* L) {
        auto* lista = dynamic_cast<TSelecDatosForm*>(L);
        ASSERT_NE(lista, nullptr);
        lista->ListBox1->SetItemIndex(lista->ListBox1->Items()->IndexOf("vieja"));
        Ui.Click(L, "BOK");
    });
    datos->BSelecClick(nullptr);
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.StepsLeft(), 0u);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    ASSERT_EQ(cajas.Vistas.size(), 2u);
    EXPECT_EQ(cajas.Vistas[0],
              (std::pair<std::string, TCursor>("Datos versi\xF3n M2 \xBFTransformar?", crDefault)));
    EXPECT_EQ(cajas.Vistas[1].second, crHourGlass) << cajas.Vistas[1].first;
    EXPECT_NE(cajas.Vistas[1].first.find("No se puede abrir la carpeta"), std::string::npos);
}

TEST_F(Screens, TheWaitWindowAsTheOrganizerShowsIt) {
    TControlaForm* F = AbrePrincipal();
    EsperaForm = NewComponent<TEsperaForm>(F);
    EsperaForm->Texto->SetCaption("Calculando los tipos");
    EsperaForm->Show();
    Ui.RunUntilIdle();
    EXPECT_EQ(EsperaForm->Caption(), "Un momento, por favor");
    EXPECT_EQ(EsperaForm->ClientWidth(), 237);
    EXPECT_EQ(EsperaForm->ClientHeight(), 51);
    EXPECT_EQ(EsperaForm->Left(), (Screen->Width() - EsperaForm->Width()) / 2);
    EXPECT_EQ(EsperaForm->Texto->Alignment(), taCenter);
    Guarda(EsperaForm, "espera");
    EsperaForm->Free();
    EXPECT_EQ(EsperaForm, nullptr);
}

// The grid menu works on the table of the grid last entered; once that
// table's screen is gone, the menu's commands find none and do nothing.
TEST_F(Screens, TheGridMenuNeverReachesAFreedTable) {
    TControlaForm* F = AbrePrincipal();
    TForm* pantalla = NewPlainForm("Registros");
    auto* tabla = NewComponent<TTable>(pantalla);
    F->Estado().SetTablaActual(tabla);
    pantalla->Free();
    EXPECT_EQ(F->Estado().TablaActual(), nullptr);
    TScriptedDialogs& cajas = Answers();
    for (TMenuItem* item : {F->Inserta, F->Suprime, F->Recupera}) item->Click();
    EXPECT_TRUE(cajas.Asked().empty());
    EXPECT_TRUE(F->Recupera->Enabled());
}
