// An import into a folder that another program is using: the other
// program's rows are never swapped away with the tables, and two imports
// never work on one folder at once.
#include <map>

#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/Import.h"
#include "shell/SchoolTables.h"
#include "shell/TableSwap.h"
#include "tests/support/Peer.h"

namespace fs = std::filesystem;

namespace {

const char* const EnUso = "C:\\PROG\\viejo";

// A student typed into the students' screen and posted.
void TecleaAlumno(TTable& Alum, int N) {
    Alum.Append();
    Alum.FieldByName("EXPED")->SetAsString("tecleado" + std::to_string(N));
    Alum.Post();
}

// What a step raised; "ok" when it did not.
std::string LoQuePasa(const std::function<void()>& Paso) {
    try {
        Paso();
    } catch (const Exception& E) {
        return E.Message();
    }
    return "ok";
}

// Every file below a folder with its bytes, and every folder.
std::map<std::string, std::string> FicherosYBytes(const fs::path& Carpeta) {
    std::map<std::string, std::string> h;
    for (const auto& e : fs::recursive_directory_iterator(Carpeta)) {
        std::string& bytes = h[fs::relative(e.path(), Carpeta).string()];
        if (e.is_directory()) continue;
        std::ifstream f(e.path(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(f), {});
    }
    return h;
}

}  // namespace

class ImportTwoPrograms : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        EscribeIntercambio(IntercambioMinimo(), Qtemp);
        fs::create_directories(Maquina(EnUso));
        CreaTablasNuevas(EnUso);
        Anade(EnUso, "alum", {{{"EXPED", "antiguo"}}});
    }
};

// Program 1 is typing students in; program 2's import is refused before it
// touches anything, naming the table, and program 1 goes on.
TEST_F(ImportTwoPrograms, TheImportIsRefusedWhileAnotherProgramWritesATableOfTheFolder) {
    TPeer uno([&](TPeer& P) {
        TTempTable alum = OpenTempTable(EnUso, "alum");
        for (int i = 1; i <= 8; ++i) TecleaAlumno(*alum, i);
        P.Say("tecleando");
        P.Hear();
        P.Say(LoQuePasa([&] {
            for (int i = 9; i <= 20; ++i) TecleaAlumno(*alum, i);
            alum.reset();
        }));
    });
    ASSERT_EQ(uno.Hear(), "tecleando");
    const auto antes = FicherosYBytes(Maquina(EnUso));
    EXPECT_EQ(LoQuePasa([&] { ImportaEnCarpeta(Qtemp, EnUso); }),
              "La tabla alum est\xE1 siendo usada por otro usuario en la carpeta C:\\PROG\\viejo: vuelva a "
              "importar cuando el otro programa haya dejado de modificarla.");
    EXPECT_EQ(FicherosYBytes(Maquina(EnUso)), antes);
    uno.Say("sigue");
    EXPECT_EQ(uno.Hear(), "ok");
    EXPECT_EQ(uno.Finish(), 0);
    EXPECT_EQ(Cuenta(EnUso, "alum"), 21);

    // Once program 1 has let the table go, the import goes.
    ImportaEnCarpeta(Qtemp, EnUso);
    EXPECT_EQ(Columna(EnUso, "alum", "EXPED"), std::vector<std::string>{"1001"});
}

// Program 1 has the students open but writes nothing while program 2
// imports; what it posts afterwards is refused, told, and never goes into
// the table the import set aside.
TEST_F(ImportTwoPrograms, AnotherProgramsLaterPostsAreRefusedNotLostWithTheOldTable) {
    TPeer uno([&](TPeer& P) {
        TTempTable alum = OpenTempTable(EnUso, "alum");
        P.Say(std::to_string(alum->RecordCount()));
        P.Hear();
        P.Say(LoQuePasa([&] { TecleaAlumno(*alum, 1); }));
        P.Say(LoQuePasa([&] {
            alum->Cancel();
            alum.reset();
        }));
    });
    ASSERT_EQ(uno.Hear(), "1");
    ImportaEnCarpeta(Qtemp, EnUso);
    const auto importada = FicherosYBytes(Maquina(EnUso));
    uno.Say("teclea");
    EXPECT_EQ(uno.Hear(), "La tabla alum ha sido sustituida por otro programa mientras estaba abierta: el "
                          "cambio no se ha guardado. Ci\xE9rrela y vuelva a abrirla.");
    EXPECT_EQ(uno.Hear(), "ok");
    EXPECT_EQ(uno.Finish(), 0);
    EXPECT_EQ(FicherosYBytes(Maquina(EnUso)), importada);
    EXPECT_EQ(Columna(EnUso, "alum", "EXPED"), std::vector<std::string>{"1001"});
}

// While program 1 imports into a new folder, program 2 neither lists it,
// opens it, removes it nor imports into it; once program 1 is gone without
// finishing, its leftovers go.
TEST_F(ImportTwoPrograms, AFolderAnotherProgramImportsIntoIsLeftToIt) {
    const AnsiString nueva = "C:\\PROG\\nueva";
    TPeer uno([&](TPeer& P) {
        fs::create_directories(Maquina(nueva));
        auto reserva = std::make_unique<TReservaImportacion>(nueva, TDbfFileSystem::Native());
        fs::create_directories(Maquina(nueva) / "~importando");
        std::ofstream(Maquina(nueva) / "~importando" / "alum.dbf") << "a medias";
        P.Say("importando");
        P.Hear();
        reserva.reset();
        P.Say("fin");
    });
    ASSERT_EQ(uno.Hear(), "importando");
    const auto antes = FicherosYBytes(Maquina(nueva));
    EXPECT_EQ(ListaCarpetasDatos(Programa), std::vector<AnsiString>{"viejo"});
    EXPECT_EQ(SeleccionaCarpeta(*Estado, "nueva", PreguntaConversion), TApertura::Rechazada);
    EXPECT_EQ(Dialogs.Texts().back(),
              "No se puede abrir la carpeta C:\\PROG\\nueva. Otro programa est\xE1 "
              "importando datos en la carpeta C:\\PROG\\nueva: espere a que termine.");
    EXPECT_EQ(LoQuePasa([&] { ImportaEnCarpeta(Qtemp, nueva); }),
              "Otro programa est\xE1 importando datos en la carpeta C:\\PROG\\nueva: espere a que termine.");
    EXPECT_EQ(FicherosYBytes(Maquina(nueva)), antes);

    uno.Say("termina");
    EXPECT_EQ(uno.Hear(), "fin");
    EXPECT_EQ(uno.Finish(), 0);
    EXPECT_EQ(ListaCarpetasDatos(Programa), std::vector<AnsiString>{"viejo"});
    EXPECT_FALSE(fs::exists(Maquina(nueva)));
}
