// The road of a school's staff through the program's face, by clicks and
// keys on the off-screen display: start, import the sample exchange folder
// under a new folder name, open the sample school from the folder list,
// export it, leave. The tables are checked afterwards, also with another
// dBase reader, and a picture of every screen on the way is saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ScreensFixture.h"
#include "buttons/fcShapeBtn.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Seldat.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ui/KeyScript.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& P) {
    std::ifstream f(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// EXPED to GRUPO of a students' table, the first row of each EXPED.
std::map<std::string, std::string> GruposDe(const AnsiString& Carpeta, const AnsiString& Tabla) {
    std::map<std::string, std::string> m;
    TTempTable t = OpenTempTable(Carpeta, Tabla);
    for (t->First(); !t->Eof(); t->Next())
        m.emplace(ToUtf8(t->FieldByName("EXPED")->AsString()), ToUtf8(t->FieldByName("GRUPO")->AsString()));
    return m;
}

const char* LectorGrupos = R"(import sys, dbfread
seen = set()
for r in dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict'):
    e = (r['EXPED'] or '').rstrip(' ')
    if e in seen: continue
    seen.add(e)
    sys.stdout.buffer.write((e + '\t' + (r['GRUPO'] or '').rstrip(' ') + '\n').encode('utf-8'))
)";

}  // namespace

class Road : public ScreensFixture {};

TEST_F(Road, ImportOpenExportAndLeaveByClicksAndKeys) {
    PonIntercambio();
    PonEjemplo();
    TControlaForm* F = AbrePrincipal();
    TAppState& estado = F->Estado();
    Guarda(F, "01-principal");

    // "&Siguiente": the data-folder dialog; "&Importar datos" under a new name.
    Pulsa(F->BSiguiente);
    Luego([&](TCustomForm* D) {
        Guarda(D, "02-datos");
        Ui.Click(D, "BImportar");
    });
    Luego([&](TCustomForm* Caja) {
        Guarda(Caja, "03-nombre-de-carpeta");
        Ui.Type("curso2025");
        Ui.Key(VK_RETURN);
    });
    Responde();  // "Proceso terminado"
    Responde();  // the courses' screen is not in this version
    Ui.RunUntilIdle();
    Guarda(F, "04-tira");
    ASSERT_EQ(Mensajes.size(), 2u);
    EXPECT_EQ(Mensajes[0], "Proceso terminado");
    EXPECT_EQ(estado.CarpetaDatos, "C:\\ZELMOR\\curso2025\\");
    EXPECT_EQ(estado.Paso, PasoCursos);
    const std::map<std::string, std::string> importados = GruposDe("C:\\ZELMOR\\curso2025", "alum");
    EXPECT_EQ(importados.size(), GruposDe("C:\\QTEMP", "alumnost").size());
    for (const auto& [exped, grupo] : importados) EXPECT_EQ(grupo, "") << exped;

    // "&Ir a ...", "&1 - ...": the sample school from the folder list.
    Pulsa(F->BIrA);
    Ui.Then([&] { Ui.Type("1"); });
    Luego([&](TCustomForm* D) { Ui.Click(D, "BSelec"); });
    std::vector<std::string> carpetas;
    Luego([&](TCustomForm* L) {
        auto* lista = dynamic_cast<TSelecDatosForm*>(L);
        ASSERT_NE(lista, nullptr);
        Guarda(L, "05-lista-de-carpetas");
        for (int i = 0; i < lista->ListBox1->Items()->Count(); ++i)
            carpetas.push_back(lista->ListBox1->Items()->Strings(i));
        const int fila = lista->ListBox1->Items()->IndexOf("ejemplo");
        const int alto = lista->ListBox1->ItemHeight();
        Ui.Click(lista->ListBox1, TPoint(10, fila * alto + alto / 2));
        Clock.Advance(1000);
        Ui.Click(L, "BOK");
    });
    Responde();  // the courses' screen again
    Ui.RunUntilIdle();
    std::sort(carpetas.begin(), carpetas.end());
    EXPECT_EQ(carpetas, (std::vector<std::string>{"curso2025", "ejemplo"}));
    EXPECT_EQ(estado.CarpetaDatos, "C:\\ZELMOR\\ejemplo\\");
    EXPECT_EQ(estado.RutaDatos, "C:\\ZELMOR\\ejemplo\\");
    ASSERT_EQ(Mensajes.size(), 3u);

    // "&Ir a ...", "7 - Exportar": the export, then back to step 7.
    Pulsa(F->BIrA);
    // "7 - Exportar" has no letter of its own: seven steps down the menu.
    Ui.Then([&] { PlayKeys(Ui, "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}"); });
    TRect sitio;
    std::string titulo;
    Luego([&](TCustomForm* E) {
        Guarda(E, "06-exportar");
        sitio = TRect(E->Left(), E->Top(), E->ClientWidth(), E->ClientHeight());
        titulo = E->Caption();
        Ui.Click(E, "BOK");
    });
    // Step 7 works on a course, and none is selected: the courses instead.
    Responde();
    Responde();
    Ui.RunUntilIdle();
    EXPECT_EQ(titulo, "Exportar");
    EXPECT_EQ(sitio, TRect(230, 139, 388, 174));
    ASSERT_EQ(Mensajes.size(), 5u) << "the export says nothing of its own";
    EXPECT_EQ(Mensajes[3], "Antes de continuar debe seleccionar un Curso");
    EXPECT_EQ(estado.Paso, PasoCursos);

    const fs::path qtemp = Maquina.DriveC() / "QTEMP";
    for (const char* f : {"TIPGRUP.DBF", "TIPGRUP.MDX"}) {
        const std::string copia = Bytes(qtemp / f);
        EXPECT_FALSE(copia.empty()) << f;
        EXPECT_TRUE(copia == Bytes(Programa / "ejemplo" / LowerCase(f))) << f << " is a copy byte for byte";
    }
    EXPECT_EQ(OpenTempTable("C:\\QTEMP", "grupost")->RecordCount(),
              OpenTempTable("C:\\ZELMOR\\ejemplo", "grupos")->RecordCount());
    // Every student of the school has its group in the exchange, as we and
    // another reader read it.
    const std::map<std::string, std::string> escuela = GruposDe("C:\\ZELMOR\\ejemplo", "alum");
    const std::map<std::string, std::string> exportados = GruposDe("C:\\QTEMP", "alumnost");
    ASSERT_FALSE(escuela.empty());
    for (const auto& [exped, grupo] : escuela) {
        ASSERT_TRUE(exportados.count(exped)) << exped;
        EXPECT_EQ(exportados.at(exped), grupo) << exped;
    }
    const std::string python = PythonWith("dbfread");
    if (!python.empty() || OutsideToolsRequired()) {
        ASSERT_FALSE(python.empty()) << "python3-dbfread is missing, and the test command installs it";
        std::ofstream(Maquina.Root() / "grupos.py") << LectorGrupos;
        std::string suyo;
        ASSERT_EQ(RunCommand(python + " '" + (Maquina.Root() / "grupos.py").string() + "' '" +
                                 (qtemp / "ALUMNOST.DBF").string() + "'",
                             suyo),
                  0);
        std::map<std::string, std::string> leidos;
        std::istringstream lineas(suyo);
        for (std::string l; std::getline(lineas, l);)
            leidos.emplace(l.substr(0, l.find('\t')), l.substr(l.find('\t') + 1));
        EXPECT_EQ(leidos, exportados);
    }

    // "&Salir": the program ends.
    Pulsa(F->BSalir);
    Ui.RunUntilIdle();
    EXPECT_TRUE(Application->Terminated());
}
