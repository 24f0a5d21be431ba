// The organizer's dialog over a run on a course big enough for many
// progress refreshes (300 students in 12 groups, the organizer benchmark's
// biggest): what it shows while the run goes on, "&Parar" at a chosen
// refresh, and the requests to close it during the run, which wait for the
// run's end. The refreshes come from an injected tick that moves the
// screen's clock 50 ms at every look, never from waiting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <set>

#include "ScreensFixture.h"
#include "buttons/fcBitmap.h"
#include "buttons/fcImgBtn.h"
#include "buttons/fcLabel.h"
#include "platform/sys/Sound.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/forms/Organizar.h"
#include "tests/organizer/EscuelaSintetica.h"

namespace {

class OrganizarDialogo : public ScreensFixture {
protected:
    void SetUp() override {
        ScreensFixture::SetUp();
        Escuela = escuela::Genera(escuela::Medidas(300, 12, false, 300 * 100 + 12));
        Estado = NewComponent<TAppState>(nullptr);
        Estado->Turno = "D";
        Estado->Nivel = "ESO";
        Estado->Curso = "1";
        OpcionesOrganizar = TOpcionesOrganizar{};
    }
    void TearDown() override {
        if (D) D->Free();
        Estado->Free();
        ScreensFixture::TearDown();
    }

    // One invocation of the organizer with the dialog: "&Todos" pressed once
    // it is shown, then, when Salir, "&Salir" once the run has returned;
    // EnRefresco runs at each refresh of the run (from 1), before the dialog
    // handles its messages.
    TResumenOrganizar Ejecuta(const std::function<void(int)>& EnRefresco, bool Salir = true) {
        if (D) D->Free();
        Refrescos = 0;
        Llamadas = 0;
        D = NewComponent<TFormOrganizar>(Application);
        FormOrganizar = D;
        TOrganizador o(D, [&] {
            if (++Llamadas % LlamadasPorRefresco != 0) return Clock.TickCount();
            Clock.Advance(IntervaloRefresco);
            if (D->Ejecutando()) {
                ++Refrescos;
                Memorias.insert(ToUtf8(D->LabMemDisp->Caption()));
                Actuales.insert(ToUtf8(D->LabActAlum->Caption()));
                if (EnRefresco) EnRefresco(Refrescos);
            }
            return Clock.TickCount();
        });
        TResumenOrganizar r = o.EjecutaOrganizar(Escuela.Datos, OpcionesOrganizar, [&](ISesionOrganizar& S) {
            Ui.Then([&] { Ui.Click(D->BOrganizarTodos); });
            if (Salir) Ui.Then([&] { Ui.Click(D->BSalir); });
            return D->Muestra(S, *Estado);
        });
        return r;
    }
    // Only these of the dialog's buttons show.
    std::set<std::string> Visibles() const {
        std::set<std::string> v;
        for (TfcImageBtn* B :
             {D->BOrganizarTodos, D->BOrganizarNoCol, D->BOrganizarActual, D->BParar, D->BSalir})
            if (B->Visible()) v.insert(B->Name());
        return v;
    }

    // The run looks at the tick far more often than it refreshes: the tick
    // moves one refresh interval every so many looks.
    static constexpr int LlamadasPorRefresco = 64;
    int64_t Llamadas = 0;
    escuela::TEscuela Escuela;
    TAppState* Estado = nullptr;
    TFormOrganizar* D = nullptr;
    int Refrescos = 0;
    std::set<std::string> Memorias, Actuales;
};

TEST_F(OrganizarDialogo, ARunMovesItsTextsAndPararStopsItWithinOneRefresh) {
    // The whole run first, for how many refreshes it takes.
    TBeepRecorder pitidos;
    const TResumenOrganizar entero = Ejecuta([&](int N) {
        if (N == 1) {
            EXPECT_EQ(Visibles(), (std::set<std::string>{"BParar"}));
        }
    });
    ASSERT_GT(Refrescos, 20) << "a run of many refreshes";
    EXPECT_EQ(entero.SinColocar, 0);
    EXPECT_GT(Actuales.size(), 10u) << "\"Actual:\" moves";
    EXPECT_TRUE(Memorias.count("104857600")) << "the figure x100 during the run";
    EXPECT_EQ(pitidos.Beeps(), (std::vector<unsigned>{MB_ICONEXCLAMATION}));
}

TEST_F(OrganizarDialogo, PararAtAChosenRefresh) {
    const int alto = 5;
    int pulsado = 0;
    std::string textoAlParar;
    const TResumenOrganizar r = Ejecuta([&](int N) {
        if (N == alto) {
            // Handled in this refresh's messages.
            Ui.Click(D->BParar);
            pulsado = N;
        }
    });
    ASSERT_EQ(pulsado, alto);
    EXPECT_LE(Refrescos, alto + 1) << "the run stops at its next check";
    EXPECT_GT(r.SinColocar, 0) << "stopped early";
    ASSERT_TRUE(r.Filas) << "what was placed before the stop is written";
    EXPECT_NE(D, nullptr);
}

// Whatever asks the dialog to close during the run, the run goes on to its
// end and the dialog closes afterwards by itself; the result is the one an
// undisturbed run gives.
// The run buttons and "&Salir" are pictures of their own size, tinted with
// the buttons' colour: each paints a face of that colour with rounded
// corners outside its window region, never an outline with nothing inside.
TEST_F(OrganizarDialogo, ItsButtonsAreFacesOfTheirColourWithRoundedCorners) {
    D = NewComponent<TFormOrganizar>(Application);
    for (TfcImageBtn* B :
         {D->BOrganizarTodos, D->BOrganizarNoCol, D->BOrganizarActual, D->BParar, D->BSalir}) {
        SCOPED_TRACE(B->Name());
        ASSERT_FALSE(B->Image()->Empty());
        EXPECT_EQ(B->Image()->Width(), B->Width());
        EXPECT_EQ(B->Image()->Height(), B->Height());
        TfcBitmap Face;
        B->PaintFace(Face, false, B->ShadeStyle(), false);
        const TColorRef Want = ColorToRGB(B->Color());
        const TColorRef Got = ColorToRGB(fcPixelToColor(Face.Pixel(8, B->Height() / 2)));
        EXPECT_LE(std::abs(GetRValue(Got) - GetRValue(Want)), 24) << std::hex << Got;
        EXPECT_LE(std::abs(GetGValue(Got) - GetGValue(Want)), 24) << std::hex << Got;
        EXPECT_LE(std::abs(GetBValue(Got) - GetBValue(Want)), 24) << std::hex << Got;
        std::optional<TRegion> R = B->CreateRegion(true, false);
        ASSERT_TRUE(R);
        EXPECT_FALSE(R->Contains(0, 0)) << "a rounded corner";
        EXPECT_FALSE(R->Contains(B->Width() - 1, B->Height() - 1)) << "a rounded corner";
        EXPECT_TRUE(R->Contains(B->Width() / 2, B->Height() / 2));
        EXPECT_TRUE(R->Contains(B->Width() / 2, 0)) << "the top edge";
    }
}

TEST_F(OrganizarDialogo, CloseRequestsDuringTheRunWaitForItsEnd) {
    // Five runs: a smaller course, still of many refreshes.
    Escuela = escuela::Genera(escuela::Medidas(120, 4, false, 120 * 100 + 4));
    const TResumenOrganizar sinCerrar = Ejecuta({});
    const int refrescosEnteros = Refrescos;

    struct TCaso {
        const char* Que;
        std::function<void()> Pide;
        bool Cierra;  // the request closes the dialog once the run has returned
    };
    const TCaso casos[] = {
        {"the close box", [&] { PostMessage(D->Handle(), WM_CLOSE, 0, 0); }, true},
        {"Alt+F4", [&] { Ui.Key(VK_F4, {ssAlt}); }, true},
        {"the window manager's close", [&] { PostMessage(D->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, true},
        {"Esc", [&] { Ui.Key(VK_ESCAPE); }, false},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(c.Que);
        bool pedido = false;
        const TResumenOrganizar r = Ejecuta(
            [&](int N) {
                if (N == 3) {
                    c.Pide();
                    pedido = true;
                }
                ASSERT_NE(FormOrganizar, nullptr) << "never freed under the run";
            },
            !c.Cierra);
        EXPECT_TRUE(pedido);
        EXPECT_GT(refrescosEnteros, 10);
        EXPECT_EQ(Refrescos, refrescosEnteros) << "the run went on to its end";
        EXPECT_EQ(r.Colocados, sinCerrar.Colocados);
        EXPECT_EQ(r.SinColocar, sinCerrar.SinColocar);
        EXPECT_EQ(Ui.StepsLeft(), 0u) << "the dialog closed as asked, or by \"&Salir\" when nothing asked";
        ASSERT_TRUE(r.Filas);
        ASSERT_TRUE(sinCerrar.Filas);
        EXPECT_EQ(r.Filas->TipGrup.size(), sinCerrar.Filas->TipGrup.size());
    }
}

}  // namespace
