#include "tests/support/ui/X11Peer.h"

#include <poll.h>

#include <atomic>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

struct TX11Peer::TState {
    std::string Name;
    Display* D = nullptr;
    Window W = 0;
    Atom Clipboard = 0;
    std::thread Owner;
    std::atomic<bool> Ready{false}, Stop{false};
};

TX11Peer::TX11Peer(const std::string& Display) : F(std::make_unique<TState>()) {
    F->Name = Display;
    F->D = XOpenDisplay(Display.c_str());
    if (!F->D) return;
    F->W = XCreateSimpleWindow(F->D, DefaultRootWindow(F->D), 0, 0, 1, 1, 0, 0, 0);
    F->Clipboard = XInternAtom(F->D, "CLIPBOARD", False);
}

TX11Peer::~TX11Peer() {
    StopOwning();
    if (F->D) XCloseDisplay(F->D);
}

bool TX11Peer::Connected() const { return F->D != nullptr; }

bool TX11Peer::ClipboardOwned() { return XGetSelectionOwner(F->D, F->Clipboard) != 0; }

std::string TX11Peer::Request(const std::string& TargetName, std::string& TypeName,
                              const std::function<void()>& Pump) {
    Display* D = F->D;
    Atom Target = XInternAtom(D, TargetName.c_str(), False);
    Atom Property = XInternAtom(D, "GOT", False);
    XConvertSelection(D, F->Clipboard, Target, Property, F->W, CurrentTime);
    XFlush(D);
    XEvent E{};
    bool Came = false;
    for (int Round = 0; Round < 500 && !Came; ++Round) {
        Pump();
        Came = XCheckTypedWindowEvent(D, F->W, SelectionNotify, &E);
        if (!Came) {
            pollfd P{ConnectionNumber(D), POLLIN, 0};
            ::poll(&P, 1, 10);
        }
    }
    TypeName.clear();
    if (!Came || E.xselection.property == 0) return {};
    Atom Type = 0;
    int Format = 0;
    unsigned long Items = 0, After = 0;
    unsigned char* Got = nullptr;
    XGetWindowProperty(D, F->W, Property, 0, 1 << 20, True, AnyPropertyType, &Type, &Format, &Items, &After,
                       &Got);
    std::string S;
    if (Got) {
        S.assign(reinterpret_cast<const char*>(Got), Items * (Format == 32 ? sizeof(long) : 1));
        XFree(Got);
    }
    if (Type) {
        char* N = XGetAtomName(D, Type);
        TypeName = N;
        XFree(N);
    }
    return S;
}

std::vector<std::string> TX11Peer::AtomNames(const std::string& Bytes) {
    std::vector<std::string> Names;
    const Atom* Atoms = reinterpret_cast<const Atom*>(Bytes.data());
    for (size_t I = 0; I < Bytes.size() / sizeof(Atom); ++I) {
        char* N = XGetAtomName(F->D, Atoms[I]);
        Names.push_back(N ? N : "");
        if (N) XFree(N);
    }
    return Names;
}

void TX11Peer::StartOwning(const std::string& Utf8Text) {
    F->Ready = false;
    F->Stop = false;
    F->Owner = std::thread([this, Utf8Text] {
        Display* D = XOpenDisplay(F->Name.c_str());
        Window W = XCreateSimpleWindow(D, DefaultRootWindow(D), 0, 0, 1, 1, 0, 0, 0);
        Atom Clip = XInternAtom(D, "CLIPBOARD", False), Utf8 = XInternAtom(D, "UTF8_STRING", False);
        XSetSelectionOwner(D, Clip, W, CurrentTime);
        XSync(D, False);
        F->Ready = true;
        while (!F->Stop) {
            while (XPending(D)) {
                XEvent E;
                XNextEvent(D, &E);
                if (E.type != SelectionRequest) continue;
                const XSelectionRequestEvent& R = E.xselectionrequest;
                XSelectionEvent N{};
                N.type = SelectionNotify;
                N.requestor = R.requestor;
                N.selection = R.selection;
                N.target = R.target;
                N.time = R.time;
                N.property = R.property;
                if (R.target == Utf8)
                    XChangeProperty(D, R.requestor, R.property, Utf8, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(Utf8Text.data()),
                                    static_cast<int>(Utf8Text.size()));
                else N.property = 0;
                XSendEvent(D, R.requestor, False, 0, reinterpret_cast<XEvent*>(&N));
                XFlush(D);
            }
            pollfd P{ConnectionNumber(D), POLLIN, 0};
            ::poll(&P, 1, 10);
        }
        XCloseDisplay(D);
    });
    while (!F->Ready) std::this_thread::yield();
}

void TX11Peer::StopOwning() {
    if (!F->Owner.joinable()) return;
    F->Stop = true;
    F->Owner.join();
    XSync(F->D, False);
}
