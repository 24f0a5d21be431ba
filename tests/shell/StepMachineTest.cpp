// The step machine: every move from every kind of step, with and without a
// data folder and a selected course, as one table: the step it ends on, the
// messages the user saw and the screens that opened on the way.
#include <deque>
#include <string>
#include <vector>

#include "ShellFixture.h"
#include "platform/rtl/Exceptions.h"
#include "shell/AppState.h"
#include "shell/StepMachine.h"

namespace {

const std::string SinCarpeta = "Antes de continuar debe importar o seleccionar una carpeta de datos";
const std::string SinCurso = "Antes de continuar debe seleccionar un Curso";

// The screens as the machine sees them. The data-folder dialog does what
// the script says, one letter a time it opens: 'a' a folder is opened, 'c'
// Cancel, 'x' its close box; the placing moves on as "&Siguiente", the
// export back as "&Anterior"; every other screen stays.
class TPantallasDePrueba : public TPantallasPasos {
public:
    explicit TPantallasDePrueba(TAppState& Estado, std::string Dialogo)
        : FEstado(Estado), FDialogo(Dialogo) {}

    std::vector<int> Abiertos, Cerrados;
    // The current screen refuses to close (or raises) this many times.
    int Rechazos = 0;
    bool Lanza = false;

    bool CierraPaso() override {
        if (Rechazos > 0) {
            --Rechazos;
            if (Lanza) throw EDatabaseError("La tabla asigcur est\xE1 siendo usada por otro usuario");
            return false;
        }
        Cerrados.push_back(FEstado.Paso);
        return true;
    }
    TTrasPaso AbrePaso() override {
        Abiertos.push_back(FEstado.Paso);
        if (Abiertos.size() > 20) throw std::runtime_error("the machine goes round without end");
        switch (FEstado.Paso) {
        case PasoDatos: {
            if (FDialogo.empty())
                throw std::runtime_error("the data-folder dialog opened once more than scripted");
            const char hace = FDialogo.front();
            FDialogo.erase(0, 1);
            if (hace == 'a') FEstado.CarpetaDatos = "C:\\PROG\\datos\\";
            return hace == 'x' && FEstado.CarpetaDatos.empty() ? TTrasPaso::Salir : TTrasPaso::Siguiente;
        }
        case PasoColocar: return TTrasPaso::Siguiente;
        case PasoExportar: return TTrasPaso::Anterior;
        default: return TTrasPaso::Queda;
        }
    }
    bool GuionAcabado() const { return FDialogo.empty(); }

private:
    TAppState& FEstado;
    std::string FDialogo;
};

struct TCasoPaso {
    const char* Que;
    int Desde;
    TMovimiento Movimiento;
    int PasoMenu;  // the menu's step (Movimiento Menu)
    bool Carpeta, Curso;
    const char* Dialogo;  // what the data-folder dialog does each time it opens
    int Paso;             // where the move ends
    std::vector<std::string> Mensajes;
    std::vector<int> Abiertos;
    bool Sale = false;
};

}  // namespace

class StepMachine : public ShellFixture {};

TEST_F(StepMachine, EveryMoveEndsWhereTheChecksAndTheModalStepsLeadIt) {
    using M = TMovimiento;
    const M S = M::Siguiente, A = M::Anterior, Menu = M::Menu;
    const std::string F = SinCarpeta, C = SinCurso;
    const TCasoPaso casos[] = {
        {"welcome, Siguiente: the folder dialog, then the courses",
         0,
         S,
         0,
         false,
         false,
         "a",
         2,
         {},
         {1, 2}},
        {"welcome, Anterior: the types need a folder", 0, A, 0, false, false, "a", 2, {F}, {1, 2}},
        {"welcome, Anterior with folder and course: the types", 0, A, 0, true, true, "", 5, {}, {5}},
        {"Cancel without a folder asks again, round and round",
         0,
         S,
         0,
         false,
         false,
         "cca",
         2,
         {F, F},
         {1, 1, 1, 2}},
        {"the close box without a folder leaves", 0, S, 0, false, false, "cx", 1, {F}, {1, 1}, true},
        {"the close box with a folder goes on", 0, S, 0, true, false, "x", 2, {}, {1, 2}},
        {"Cancel with a folder open goes on with it", 2, Menu, 1, true, false, "c", 2, {}, {1, 2}},
        {"courses, Siguiente without course", 2, S, 0, true, false, "", 2, {C}, {2}},
        {"courses, Siguiente with course", 2, S, 0, true, true, "", 3, {}, {3}},
        {"courses, Anterior: the folder dialog leads back", 2, A, 0, true, false, "a", 2, {}, {1, 2}},
        {"subjects, Siguiente: the types", 4, S, 0, true, true, "", 5, {}, {5}},
        {"types, Siguiente: the placing moves on to the students", 5, S, 0, true, true, "", 7, {}, {6, 7}},
        {"students with groups, Siguiente: the export returns", 7, S, 0, true, true, "", 7, {}, {8, 7}},
        {"export, Siguiente: the types", 8, S, 0, true, true, "", 5, {}, {5}},
        {"export, Anterior: the students with groups", 8, A, 0, true, true, "", 7, {}, {7}},
        {"side screen, Siguiente: the types", 22, S, 0, true, true, "", 5, {}, {5}},
        {"side screen, Anterior: the types", 20, A, 0, true, true, "", 5, {}, {5}},
        {"side screen, Anterior without course", 24, A, 0, true, false, "", 2, {C}, {2}},
        {"menu 1 needs no folder", 0, Menu, 1, false, false, "a", 2, {}, {1, 2}},
        {"menu 2 needs a folder", 0, Menu, 2, false, false, "a", 2, {F}, {1, 2}},
        {"menu 2 needs no course", 0, Menu, 2, true, false, "", 2, {}, {2}},
        {"menu 3 needs a course", 2, Menu, 3, true, false, "", 2, {C}, {2}},
        {"menu 6 needs a course", 0, Menu, 6, true, false, "", 2, {C}, {2}},
        {"menu 4 without folder: the folder first", 0, Menu, 4, false, false, "a", 2, {F}, {1, 2}},
        {"menu 5 with course", 3, Menu, 5, true, true, "", 5, {}, {5}},
        {"the export opens without course, and returns to step 7, which needs one",
         2,
         Menu,
         8,
         true,
         false,
         "",
         2,
         {C},
         {8, 2}},
        {"a side screen opens without course", 2, Menu, 20, true, false, "", 20, {}, {20}},
        {"the listing needs a folder", 0, Menu, 24, false, false, "a", 2, {F}, {1, 2}},
        {"choosing the current step again opens it anew", 21, Menu, 21, true, false, "", 21, {}, {21}},
    };
    for (const TCasoPaso& caso : casos) {
        SCOPED_TRACE(caso.Que);
        Estado->Paso = caso.Desde;
        Estado->CarpetaDatos = caso.Carpeta ? "C:\\PROG\\datos\\" : "";
        Estado->TNCSeleccionado = caso.Curso ? "D1ESO" : "";
        const size_t antes = Dialogs.Asked().size();
        TPantallasDePrueba pantallas(*Estado, caso.Dialogo);

        const bool sale = MuevePaso(*Estado, pantallas, caso.Movimiento, caso.PasoMenu);

        EXPECT_EQ(sale, caso.Sale);
        EXPECT_EQ(Estado->Paso, caso.Paso);
        EXPECT_EQ(pantallas.Abiertos, caso.Abiertos);
        EXPECT_TRUE(pantallas.GuionAcabado());
        // Each screen opens after the one before it closed: never one inside another.
        std::vector<int> cerrados{caso.Desde};
        cerrados.insert(cerrados.end(), caso.Abiertos.begin(), caso.Abiertos.end() - 1);
        EXPECT_EQ(pantallas.Cerrados, cerrados);
        std::vector<std::string> mensajes;
        for (size_t i = antes; i < Dialogs.Asked().size(); ++i) {
            const TDialogRequest& r = Dialogs.Asked()[i];
            mensajes.push_back(r.Text);
            EXPECT_EQ(r.Caption, TituloAtencion);
            EXPECT_EQ(r.Flags, unsigned(MB_OK)) << "an OK button and no icon";
        }
        EXPECT_EQ(mensajes, caso.Mensajes);
    }
}

// A user who keeps cancelling the dialog without a folder goes round in one
// loop: however long it goes on, the machine never calls itself.
TEST_F(StepMachine, CancellingTheFolderDialogAgainAndAgainStaysInOneLoop) {
    Estado->Paso = PasoBienvenida;
    TPantallasDePrueba pantallas(*Estado, std::string(15, 'c') + "x");
    EXPECT_TRUE(MuevePaso(*Estado, pantallas, TMovimiento::Siguiente));
    EXPECT_EQ(pantallas.Abiertos, std::vector<int>(16, PasoDatos));
    EXPECT_EQ(Dialogs.Texts(), std::vector<AnsiString>(15, SinCarpeta));
}

// A screen that does not close (its close refused, or raising) stays the
// step's: the move stops before the step changes or another screen opens,
// and the next move closes it and goes on.
TEST_F(StepMachine, AStepWhoseScreenDoesNotCloseStaysWhereItIs) {
    for (const bool lanza : {false, true}) {
        SCOPED_TRACE(lanza ? "the close raises" : "the close is refused");
        Estado->Paso = PasoTipos;
        Estado->CarpetaDatos = "C:\\PROG\\datos\\";
        Estado->TNCSeleccionado = "D1ESO";
        TPantallasDePrueba pantallas(*Estado, "");
        pantallas.Rechazos = 1;
        pantallas.Lanza = lanza;
        if (lanza)
            EXPECT_THROW(MuevePaso(*Estado, pantallas, TMovimiento::Menu, PasoAlumnos), EDatabaseError);
        else EXPECT_FALSE(MuevePaso(*Estado, pantallas, TMovimiento::Menu, PasoAlumnos));
        EXPECT_EQ(Estado->Paso, PasoTipos);
        EXPECT_TRUE(pantallas.Abiertos.empty());
        EXPECT_FALSE(MuevePaso(*Estado, pantallas, TMovimiento::Menu, PasoAlumnos));
        EXPECT_EQ(Estado->Paso, PasoAlumnos);
        EXPECT_EQ(pantallas.Cerrados, std::vector<int>{PasoTipos});
        EXPECT_EQ(pantallas.Abiertos, std::vector<int>{PasoAlumnos});
    }
}

TEST_F(StepMachine, TheStepsOfTheButtons) {
    const struct {
        int Paso, Siguiente, Anterior;
    } casos[] = {{0, 1, 5}, {1, 2, 0},  {2, 3, 1},  {6, 7, 5},  {7, 8, 6},
                 {8, 5, 7}, {20, 5, 5}, {24, 5, 5}, {-3, -2, 5}};
    for (const auto& c : casos) {
        EXPECT_EQ(PasoTrasSiguiente(c.Paso), c.Siguiente) << c.Paso;
        EXPECT_EQ(PasoTrasAnterior(c.Paso), c.Anterior) << c.Paso;
    }
}
