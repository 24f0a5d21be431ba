// The program as the system starts it: what it says and the status its
// caller sees.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/TempMachine.h"

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

// Runs the built program with Carpeta as its current folder.
TSalida Ejecuta(const fs::path& Carpeta, const fs::path& Salidas) {
    const std::string orden = "cd '" + Carpeta.string() + "' && '" ZELMOR_BINARY_DIR "/zelmor' > '" +
                              (Salidas / "out").string() + "' 2> '" + (Salidas / "err").string() + "'";
    int r = std::system(orden.c_str());
    TSalida s;
    s.Estado = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
    s.Out = Lee(Salidas / "out");
    s.Err = Lee(Salidas / "err");
    return s;
}

}  // namespace

TEST(Program, AStartThatFailsEndsWithAFailureStatus) {
    TTempMachine maquina("program");
    const fs::path corta = maquina.DriveC() / "ZELMOR";
    fs::create_directories(corta / "2025-26");
    // Every data folder is named under the program folder within 259 characters.
    fs::path larga = maquina.DriveC();
    for (char c : {'p', 'q', 'r'}) larga /= std::string(100, c);
    fs::create_directories(larga);

    TSalida bien = Ejecuta(corta, maquina.Root());
    EXPECT_EQ(bien.Estado, 0) << bien.Err;
    EXPECT_NE(bien.Out.find("Carpetas de datos: 2025-26"), std::string::npos) << bien.Out;
    EXPECT_EQ(bien.Err, "");

    TSalida mal = Ejecuta(larga, maquina.Root());
    EXPECT_EQ(mal.Estado, 1);
    EXPECT_NE(mal.Err.find("es demasiado larga"), std::string::npos) << mal.Err;
    EXPECT_EQ(mal.Out.find("Carpetas de datos"), std::string::npos) << mal.Out;
}
