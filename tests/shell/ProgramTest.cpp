// The program as the system starts it: what it says without an X server or
// with a program folder too long for it, the status its caller sees, and,
// on a private X server, its main window shown on top and closed as a
// window manager closes it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "XPrograma.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/TempMachine.h"
#include "tests/support/ui/X11Support.h"

namespace fs = std::filesystem;

namespace {

struct TSalida {
    int Estado = -1;
    std::string Out, Err;
};

std::string Lee(const fs::path& Fichero) {
    std::ostringstream s;
    s << std::ifstream(Fichero).rdbuf();
    return s.str();
}

// Runs the built program with Carpeta as its current folder and no X server.
TSalida EjecutaSinX(const fs::path& Carpeta, const fs::path& Salidas) {
    const std::string orden = "cd '" + Carpeta.string() +
                              "' && env -u DISPLAY '" ZELMOR_BINARY_DIR "/zelmor' > '" +
                              (Salidas / "out").string() + "' 2> '" + (Salidas / "err").string() + "'";
    int r = std::system(orden.c_str());
    TSalida s;
    s.Estado = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
    s.Out = Lee(Salidas / "out");
    s.Err = Lee(Salidas / "err");
    return s;
}

// The end of a process, waited for at most LimiteMs: its exit status, or -1.
int EsperaFin(pid_t Pid, int LimiteMs) {
    int fd = static_cast<int>(syscall(SYS_pidfd_open, Pid, 0));
    if (fd >= 0) {
        pollfd p{fd, POLLIN, 0};
        const int listo = poll(&p, 1, LimiteMs);
        close(fd);
        if (listo <= 0) return -1;
    }
    int estado = 0;
    if (waitpid(Pid, &estado, 0) != Pid) return -1;
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

}  // namespace

TEST(Program, WithoutAnXServerOrWithTooLongAFolderItSaysWhyAndFails) {
    TTempMachine maquina("program");
    const fs::path corta = maquina.DriveC() / "ZELMOR";
    fs::create_directories(corta / "2025-26");
    // Every data folder is named under the program folder within 259 characters.
    fs::path larga = maquina.DriveC();
    for (char c : {'p', 'q', 'r'}) larga /= std::string(100, c);
    fs::create_directories(larga);

    TSalida sinX = EjecutaSinX(corta, maquina.Root());
    EXPECT_EQ(sinX.Estado, 1) << sinX.Err;
    EXPECT_NE(sinX.Err.find("necesita un servidor X"), std::string::npos) << sinX.Err;
    EXPECT_NE(sinX.Err.find("xvfb-run ./setup.sh run"), std::string::npos) << sinX.Err;
    EXPECT_NE(sinX.Err.find("m\xC3\xA1quina"), std::string::npos) << "said in UTF-8: " << sinX.Err;

    TSalida mal = EjecutaSinX(larga, maquina.Root());
    EXPECT_EQ(mal.Estado, 1);
    EXPECT_NE(mal.Err.find("es demasiado larga"), std::string::npos) << mal.Err;
    EXPECT_EQ(mal.Err.find("servidor X"), std::string::npos) << "the folder is told first: " << mal.Err;
}

// What `./setup.sh run` does, on a private X server: the main window shows,
// asks the window manager to keep it on top, and closing it ends the program
// with success.
TEST(Program, OnAnXServerTheMainWindowShowsOnTopAndClosingItEndsTheProgram) {
    TXvfb servidor;
    const std::string pantalla = servidor.Start();
    ZELMOR_NEED_TOOL(!pantalla.empty(), "Xvfb");
    TTempMachine maquina("programx");
    const fs::path programa = maquina.DriveC() / "ZELMOR";
    fs::create_directories(programa);

    const std::string binario = ZELMOR_BINARY_DIR "/zelmor";
    const std::string salida = (maquina.Root() / "err").string();
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addchdir_np(&acciones, programa.c_str());
    posix_spawn_file_actions_addopen(&acciones, 2, salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    setenv("DISPLAY", pantalla.c_str(), 1);
    char* argv[] = {const_cast<char*>(binario.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, binario.c_str(), &acciones, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&acciones);
    unsetenv("DISPLAY");

    TVentanaX ventana;
    const bool vista = EsperaVentanaX(pantalla, "Zelmor", pid, 60000, ventana);
    if (!vista) {
        kill(pid, SIGKILL);
        EsperaFin(pid, 10000);
        FAIL() << "the main window did not show; the program said: " << Lee(salida);
    }
    EXPECT_TRUE(ventana.Encima) << "_NET_WM_STATE_ABOVE asked for";
    EXPECT_GT(ventana.Ancho, 400);
    ASSERT_TRUE(CierraVentanaX(pantalla, ventana.Id));
    const int estado = EsperaFin(pid, 60000);
    if (estado == -1) kill(pid, SIGKILL);
    EXPECT_EQ(estado, 0) << Lee(salida);
}
