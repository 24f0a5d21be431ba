#include "XvfbSupport.h"

#include "platform/backend/Backend.h"
#include "platform/win/Display.h"
#include "platform/win/MessageQueue.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

TDisplay* TXvfbDisplay::Install() {
    std::unique_ptr<TDisplay> X = CreateX11Display(FName.c_str());
    if (!X) return nullptr;
    TDisplay* Display = X.get();
    ResetWindowManager();
    SetDisplay(std::move(X));
    FInstalled = true;
    return Display;
}

TXvfbDisplay::~TXvfbDisplay() {
    if (!FInstalled) return;
    ResetWindowManager();
    SetDisplay(nullptr);
}
