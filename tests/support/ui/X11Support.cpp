#include "tests/support/ui/X11Support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/backend/Backend.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

std::string TXvfb::Start() {
    std::string Path;
    for (const char* Dir : {"/usr/bin", "/usr/local/bin", "/bin"})
        if (access((std::string(Dir) + "/Xvfb").c_str(), X_OK) == 0) Path = std::string(Dir) + "/Xvfb";
    if (Path.empty()) return {};
    int Pipe[2];
    if (pipe(Pipe) != 0) return {};
    std::string Fd = std::to_string(Pipe[1]);
    const char* Argv[] = {Path.c_str(), "-displayfd", Fd.c_str(), "-screen", "0",
                          "800x600x24", "-nolisten",  "tcp",      nullptr};
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addclose(&Actions, Pipe[0]);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    int Rc = posix_spawn(&FPid, Path.c_str(), &Actions, nullptr, const_cast<char**>(Argv), environ);
    posix_spawn_file_actions_destroy(&Actions);
    close(Pipe[1]);
    if (Rc != 0) {
        close(Pipe[0]);
        FPid = 0;
        return {};
    }
    // The server writes its display number once it accepts connections.
    std::string Number;
    char C;
    while (read(Pipe[0], &C, 1) == 1 && C != '\n') Number += C;
    close(Pipe[0]);
    return Number.empty() ? std::string() : ":" + Number;
}

TXvfb::~TXvfb() {
    if (FPid > 0) {
        kill(FPid, SIGTERM);
        waitpid(FPid, nullptr, 0);
    }
}

bool X11ReadBack(TDisplay& Target, HWND Wnd, int X, int Y, uint32_t& Pixel) {
    void* Connection = nullptr;
    unsigned long W = 0;
    if (!X11NativeWindow(Target, Wnd, Connection, W)) return false;
    auto* C = static_cast<Display*>(Connection);
    // What the program sent before must have reached the server.
    XSync(C, False);
    XImage* Img = XGetImage(C, W, X, Y, 1, 1, AllPlanes, ZPixmap);
    if (!Img) return false;
    Pixel = static_cast<uint32_t>(XGetPixel(Img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(Img);
    return true;
}

bool X11SendKey(TDisplay& Target, HWND Wnd, bool Press, unsigned long KeySymbol) {
    void* Connection = nullptr;
    unsigned long W = 0;
    if (!X11NativeWindow(Target, Wnd, Connection, W)) return false;
    auto* C = static_cast<Display*>(Connection);
    XEvent E;
    std::memset(&E, 0, sizeof E);
    E.xkey.type = Press ? KeyPress : KeyRelease;
    E.xkey.display = C;
    E.xkey.window = W;
    E.xkey.root = DefaultRootWindow(C);
    E.xkey.same_screen = True;
    E.xkey.keycode = XKeysymToKeycode(C, KeySymbol);
    XSendEvent(C, W, True, Press ? KeyPressMask : KeyReleaseMask, &E);
    XSync(C, False);
    return true;
}

bool X11SendButton(TDisplay& Target, HWND Wnd, bool Press, unsigned Button, int X, int Y) {
    void* Connection = nullptr;
    unsigned long W = 0;
    if (!X11NativeWindow(Target, Wnd, Connection, W)) return false;
    auto* C = static_cast<Display*>(Connection);
    XEvent E;
    std::memset(&E, 0, sizeof E);
    E.xbutton.type = Press ? ButtonPress : ButtonRelease;
    E.xbutton.display = C;
    E.xbutton.window = W;
    E.xbutton.root = DefaultRootWindow(C);
    E.xbutton.same_screen = True;
    E.xbutton.button = Button;
    E.xbutton.x = X;
    E.xbutton.y = Y;
    Window Child;
    XTranslateCoordinates(C, W, E.xbutton.root, X, Y, &E.xbutton.x_root, &E.xbutton.y_root, &Child);
    XSendEvent(C, W, True, Press ? ButtonPressMask : ButtonReleaseMask, &E);
    XSync(C, False);
    return true;
}
