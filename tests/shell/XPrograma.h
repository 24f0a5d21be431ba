#pragma once
// The program's windows as another X program sees them: the tests that run
// the built program on a private X server find its main window, read what
// it asked of the window manager, and close it as a window manager would.
// No X type shows here: the window layer's names clash with Xlib's.
#include <string>

struct TVentanaX {
    unsigned long Id = 0;
    int Ancho = 0, Alto = 0;
    // _NET_WM_STATE holds _NET_WM_STATE_ABOVE: it asked to stay on top.
    bool Encima = false;
};

// Waits, at most LimiteMs, until a mapped top-level window titled Titulo
// shows on the X server Display, or the process Pid ends. True with the
// window when it showed.
bool EsperaVentanaX(const std::string& Display, const std::string& Titulo, int Pid, int LimiteMs,
                    TVentanaX& Ventana);
// Asks the window to close (WM_DELETE_WINDOW), as its close box does.
bool CierraVentanaX(const std::string& Display, unsigned long Id);
