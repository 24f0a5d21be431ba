// The exchange folder is written by another program: whatever its tables
// hold, the check and the import answer a message or fill the data folder,
// never crash. The input is split at each "ZXCH" into the import's tables, in
// the order below; an empty piece leaves that table out. A refused or failed
// import leaves the data folder as the last good import made it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzFolder.h"
#include "platform/db/Table.h"
#include "platform/rtl/Exceptions.h"
#include "platform/sys/Dialogs.h"
#include "shell/ExchangeTables.h"
#include "shell/Import.h"

namespace {

const char* const Tablas[] = {"AsigNomt.DBF", "CURSOSt.DBF", "ASIGCURt.DBF", "GRUPT.DBF",
                              "PROFT.DBF",    "AULAT.DBF",   "ALUMNOST.DBF"};
const char* const Datos = "C:\\DATOS";

// Rows of the students' table of the data folder, -1 when it cannot be read.
int Alumnos() {
    try {
        return OpenTempTable(Datos, "alum")->RecordCount();
    } catch (const Exception&) {
        return -1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const bool ready = [] {
        std::filesystem::create_directories(FuzzFolder() + "/c");
        ::setenv("ZELMOR_DRIVE_C", (FuzzFolder() + "/c").c_str(), 1);
        static TScriptedDialogs dialogs;
        return true;
    }();
    (void)ready;
    const std::string qtemp = FuzzFolder() + "/c/QTEMP";
    std::error_code ec;
    std::filesystem::remove_all(qtemp, ec);
    std::filesystem::create_directories(qtemp);
    std::string_view rest(reinterpret_cast<const char*>(Data), Size);
    for (const char* tabla : Tablas) {
        size_t corte = rest.find("ZXCH");
        std::string_view pieza = rest.substr(0, corte);
        if (!pieza.empty())
            WriteFuzzFile(qtemp + "/" + tabla, reinterpret_cast<const uint8_t*>(pieza.data()), pieza.size());
        rest = corte == std::string_view::npos ? std::string_view() : rest.substr(corte + 4);
    }

    static int antes = -1;
    try {
        AnsiString error = CompruebaIntercambio(CarpetaIntercambio, TUsoIntercambio::Importar);
        if (error.empty()) {
            ImportaEnCarpeta(CarpetaIntercambio, Datos);
            antes = Alumnos();
            if (antes < 0) std::abort();
            return 0;
        }
    } catch (const Exception&) {
    }
    if (Alumnos() != antes) std::abort();
    return 0;
}
