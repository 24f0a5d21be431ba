#pragma once
// The step machine of the main window: which step a move leads to, the
// checks that send the user back to the data folder or to the course, and
// the road of a move through the modal steps that move on by themselves.
// The main window closes and opens the screens (TPantallasPasos); what the
// steps are is decided here.
class TAppState;

// The steps (Paso): 0 the welcome layout, 1 to 8 the road of the work, 20
// to 24 the screens beside it.
enum : int {
    PasoBienvenida = 0,
    PasoDatos = 1,
    PasoCursos = 2,
    PasoAlumnos = 3,
    PasoAsignaturasCurso = 4,
    PasoTipos = 5,
    PasoColocar = 6,
    PasoAlumnosConGrupos = 7,
    PasoExportar = 8,
    PasoNombresAsignaturas = 20,
    PasoProfesores = 21,
    PasoGrupos = 22,
    PasoAulas = 23,
    PasoListados = 24,
};

// What started a move: "&Siguiente", "&Anterior" or an item of the step menu.
enum class TMovimiento { Siguiente, Anterior, Menu };

// How a step's screen hands back once it is open: a modeless screen stays;
// a modal step, once its dialog is closed, moves on as one of the buttons
// does; Salir: the user left the program from the step.
enum class TTrasPaso { Queda, Siguiente, Anterior, Salir };

// What the machine asks of the screens: close the screen of Estado.Paso
// (the first time, the welcome layout becomes the strip), and open the
// screen of Estado.Paso. A screen whose close is refused (false: the types
// screen keeping work it could not merge) or raises stays the step's screen.
class TPantallasPasos {
public:
    virtual ~TPantallasPasos() = default;
    virtual bool CierraPaso() = 0;
    virtual TTrasPaso AbrePaso() = 0;
};

// The step "&Siguiente" and "&Anterior" lead to before the checks. From the
// export and from a side screen both lead to the types (5).
int PasoTrasSiguiente(int Paso);
int PasoTrasAnterior(int Paso);

// The checks on the new Estado.Paso: without a data folder the folder
// message and step 1; then, for the steps that work on a course, without a
// selected course the course message and step 2. The menu's step 1 needs
// no check; its steps 2, 8 and 20 to 24 need only the folder.
void CompruebaPaso(TAppState& Estado, TMovimiento Movimiento);

// A move: the current step closes, the new one (PasoMenu for a menu item)
// is checked and opened; a modal step that moves on when its dialog closes
// goes round again here, so a user who keeps cancelling the data-folder
// dialog never piles up one move inside another. A step whose screen does
// not close stops the move there, Estado.Paso unchanged. True when the user
// left the program from a step: the caller then ends it.
bool MuevePaso(TAppState& Estado, TPantallasPasos& Pantallas, TMovimiento Movimiento, int PasoMenu = 0);
