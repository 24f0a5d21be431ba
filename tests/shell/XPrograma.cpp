#include "XPrograma.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>

namespace {

struct TConexion {
    Display* D;
    explicit TConexion(const std::string& Nombre) : D(XOpenDisplay(Nombre.c_str())) {}
    ~TConexion() {
        if (D) XCloseDisplay(D);
    }
};

bool Busca(Display* D, const std::string& Titulo, TVentanaX& Ventana) {
    Window raiz = DefaultRootWindow(D), padre = 0, *hijos = nullptr;
    unsigned n = 0;
    if (!XQueryTree(D, raiz, &raiz, &padre, &hijos, &n)) return false;
    bool hallada = false;
    for (unsigned i = 0; i < n && !hallada; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(D, hijos[i], &a) || a.map_state != IsViewable) continue;
        char* nombre = nullptr;
        if (XFetchName(D, hijos[i], &nombre) && nombre) {
            hallada = Titulo == nombre;
            XFree(nombre);
        }
        if (!hallada) continue;
        Ventana.Id = hijos[i];
        Ventana.Ancho = a.width;
        Ventana.Alto = a.height;
        Atom estado = XInternAtom(D, "_NET_WM_STATE", False);
        Atom encima = XInternAtom(D, "_NET_WM_STATE_ABOVE", False);
        Atom tipo = 0;
        int formato = 0;
        unsigned long cuantos = 0, quedan = 0;
        unsigned char* datos = nullptr;
        if (XGetWindowProperty(D, hijos[i], estado, 0, 64, False, XA_ATOM, &tipo, &formato, &cuantos, &quedan,
                               &datos) == Success &&
            datos) {
            const auto* atomos = reinterpret_cast<const Atom*>(datos);
            for (unsigned long k = 0; k < cuantos; ++k)
                Ventana.Encima = Ventana.Encima || atomos[k] == encima;
            XFree(datos);
        }
    }
    if (hijos) XFree(hijos);
    return hallada;
}

}  // namespace

bool EsperaVentanaX(const std::string& Display, const std::string& Titulo, int Pid, int LimiteMs,
                    TVentanaX& Ventana) {
    TConexion c(Display);
    if (!c.D) return false;
    // A window mapped from now on wakes the wait below.
    XSelectInput(c.D, DefaultRootWindow(c.D), SubstructureNotifyMask);
    XSync(c.D, False);
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(LimiteMs);
    for (;;) {
        while (XPending(c.D)) {
            XEvent e;
            XNextEvent(c.D, &e);
        }
        if (Busca(c.D, Titulo, Ventana)) return true;
        int estado = 0;
        if (waitpid(Pid, &estado, WNOHANG) == Pid) return false;
        const auto queda =
            std::chrono::duration_cast<std::chrono::milliseconds>(fin - std::chrono::steady_clock::now())
                .count();
        if (queda <= 0) return false;
        // Woken by the X server's next event, or at the latest after a
        // moment to look whether the program ended.
        pollfd p{ConnectionNumber(c.D), POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::min<long long>(queda, 200)));
    }
}

bool CierraVentanaX(const std::string& Display, unsigned long Id) {
    TConexion c(Display);
    if (!c.D) return false;
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = Id;
    e.xclient.message_type = XInternAtom(c.D, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(c.D, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    const bool enviado = XSendEvent(c.D, Id, False, NoEventMask, &e) != 0;
    XSync(c.D, False);
    return enviado;
}
