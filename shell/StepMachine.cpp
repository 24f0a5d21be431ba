#include "shell/StepMachine.h"

#include "shell/AppState.h"

int PasoTrasSiguiente(int Paso) { return Paso >= PasoExportar ? PasoTipos : Paso + 1; }

int PasoTrasAnterior(int Paso) {
    return Paso <= PasoBienvenida || Paso >= PasoNombresAsignaturas ? PasoTipos : Paso - 1;
}

void CompruebaPaso(TAppState& Estado, TMovimiento Movimiento) {
    if (Movimiento == TMovimiento::Menu && Estado.Paso == PasoDatos) return;
    if (!Estado.HayCarpetaDatos()) {
        Estado.Paso = PasoDatos;
        return;
    }
    // The buttons check the course beyond step 2; of the menu's steps only
    // those from the students to the placing work on a course.
    const bool conCurso = Movimiento == TMovimiento::Menu
                              ? Estado.Paso >= PasoAlumnos && Estado.Paso <= PasoColocar
                              : Estado.Paso > PasoCursos;
    if (conCurso && !Estado.HayCursoSeleccionado()) Estado.Paso = PasoCursos;
}

bool MuevePaso(TAppState& Estado, TPantallasPasos& Pantallas, TMovimiento Movimiento, int PasoMenu) {
    for (;;) {
        if (!Pantallas.CierraPaso()) return false;
        switch (Movimiento) {
        case TMovimiento::Siguiente: Estado.Paso = PasoTrasSiguiente(Estado.Paso); break;
        case TMovimiento::Anterior: Estado.Paso = PasoTrasAnterior(Estado.Paso); break;
        case TMovimiento::Menu: Estado.Paso = PasoMenu; break;
        }
        CompruebaPaso(Estado, Movimiento);
        switch (Pantallas.AbrePaso()) {
        case TTrasPaso::Queda: return false;
        case TTrasPaso::Salir: return true;
        case TTrasPaso::Siguiente: Movimiento = TMovimiento::Siguiente; break;
        case TTrasPaso::Anterior: Movimiento = TMovimiento::Anterior; break;
        }
    }
}
