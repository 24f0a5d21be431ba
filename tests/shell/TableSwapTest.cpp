// An import puts its tables in place of a folder's old ones all or nothing:
// whichever move fails and wherever the machine stops, the folder opens
// afterwards with every old table or with every new one, never a mixture or
// an empty table in place of a lost one.
#include <algorithm>
#include <fstream>

#include "FaultyFiles.h"
#include "ShellFixture.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/Import.h"
#include "shell/SchoolTables.h"

namespace fs = std::filesystem;

namespace {

const char* const Viejo = "C:\\PROG\\viejo";

using TContenido = std::map<std::string, std::vector<TFilaLeida>>;

// The 1-based number of the first change of the log that starts with What
// and names Path, 0 when none.
int Cambio(const TFaultyFiles& F, const std::string& What, const std::string& Path = {}) {
    for (size_t i = 0; i < F.Log.size(); ++i)
        if (F.Log[i].rfind(What, 0) == 0 && F.Log[i].find(Path) != std::string::npos) return int(i) + 1;
    return 0;
}

// The number of the N-th rename of the log.
int Renombre(const TFaultyFiles& F, int N) {
    for (size_t i = 0; i < F.Log.size(); ++i)
        if (F.Log[i].rfind("rename", 0) == 0 && --N == 0) return int(i) + 1;
    return 0;
}

int UltimoRenombre(const TFaultyFiles& F) {
    for (size_t i = F.Log.size(); i > 0; --i)
        if (F.Log[i - 1].rfind("rename", 0) == 0) return int(i);
    return 0;
}

const char* const Terminado = "se han terminado de colocar las tablas importadas";
const char* const Deshecho = "se han repuesto las tablas que ten\xED"
                             "a antes";

}  // namespace

class TableSwap : public ShellFixture {
protected:
    TContenido Antiguo, Nuevo;
    std::set<std::string> FicherosAntiguos, FicherosNuevos;

    void SetUp() override {
        ShellFixture::SetUp();
        EscribeIntercambio(IntercambioMinimo(), Qtemp);
        PreparaViejo();
        Antiguo = Contenido();
        FicherosAntiguos = Ficheros();
        // What a clean import leaves, to compare with.
        ImportaEnCarpeta(Qtemp, Viejo);
        Nuevo = Contenido();
        FicherosNuevos = Ficheros();
        ASSERT_NE(Antiguo, Nuevo);
    }

    // The folder as an earlier year left it: every stored table with a row,
    // the students' files in capitals as an older program wrote them, the
    // line clipboard and a file of the user's.
    void PreparaViejo() {
        fs::remove_all(Maquina(Programa));
        fs::create_directories(Maquina(Viejo));
        CreaTablasNuevas(Viejo);
        for (const auto& t : TablasEscolares())
            if (!t.DeTrabajo) Anade(Viejo, t.Nombre, {{{"N", 77}}});
        Anade(Viejo, "alum", {{{"N", 78}, {"EXPED", "antiguo"}}});
        fs::rename(Maquina(Viejo) / "alum.dbf", Maquina(Viejo) / "ALUM.DBF");
        fs::rename(Maquina(Viejo) / "alum.mdx", Maquina(Viejo) / "ALUM.MDX");
        CreaTablaLibre(Viejo, "Deposito", {{"N", ftSmallint, 0}}, {{{"N", 5}}});
        std::ofstream(Maquina(Viejo) / "notas.txt") << "notas";
    }

    // The rows of every stored table.
    static TContenido Contenido() {
        TContenido c;
        for (const auto& t : TablasEscolares())
            if (!t.DeTrabajo) c[t.Nombre] = Filas(Viejo, t.Nombre);
        return c;
    }

    // Every file and folder below the folder, in small letters.
    static std::set<std::string> Ficheros() {
        std::set<std::string> f;
        for (const auto& e : fs::recursive_directory_iterator(Maquina(Viejo)))
            f.insert(LowerCase(fs::relative(e.path(), Maquina(Viejo)).string()));
        return f;
    }

    // Opens the folder as the next run of the program would; gives what the user is told.
    std::vector<AnsiString> Abre() {
        size_t antes = Dialogs.Asked().size();
        EXPECT_EQ(SeleccionaCarpeta(*Estado, "viejo", PreguntaConversion), TApertura::Actual);
        std::vector<AnsiString> textos = Dialogs.Texts();
        textos.erase(textos.begin(), textos.begin() + long(antes));
        return textos;
    }

    void Importa(TFaultyFiles& F) {
        try {
            ImportaEnCarpeta(Qtemp, Viejo, &F);
        } catch (const EDatabaseError&) {
        }
    }
};

TEST_F(TableSwap, AFailedMoveAtAnyStepLeavesTheOldTables) {
    TFaultyFiles cuenta;
    PreparaViejo();
    ImportaEnCarpeta(Qtemp, Viejo, &cuenta);
    ASSERT_EQ(Contenido(), Nuevo);
    // The mark, the old files aside, the new ones in.
    ASSERT_GT(cuenta.Renames, 50);

    for (int k = 1; k <= cuenta.Renames; ++k) {
        SCOPED_TRACE(cuenta.Log[size_t(Renombre(cuenta, k) - 1)]);
        PreparaViejo();
        TFaultyFiles f;
        f.FailRename = k;
        try {
            ImportaEnCarpeta(Qtemp, Viejo, &f);
            ADD_FAILURE() << "the import did not fail";
        } catch (const EDatabaseError& E) {
            EXPECT_NE(E.Message().find("No se han podido colocar las tablas nuevas en C:\\PROG\\viejo"),
                      std::string::npos)
                << E.Message();
            EXPECT_NE(E.Message().find("La carpeta conserva sus tablas anteriores."), std::string::npos)
                << E.Message();
        }
        EXPECT_EQ(Contenido(), Antiguo);
        EXPECT_EQ(Ficheros(), FicherosAntiguos);
        EXPECT_EQ(Abre(), std::vector<AnsiString>{});
        EXPECT_EQ(Contenido(), Antiguo);
    }
}

TEST_F(TableSwap, AStopAtAnyChangeIsSettledWholeAtTheNextOpening) {
    TFaultyFiles cuenta;
    PreparaViejo();
    ImportaEnCarpeta(Qtemp, Viejo, &cuenta);
    // Once the mark is down the new set is the folder's.
    const int marca = Cambio(cuenta, "rename", "~completa.new");
    const int ultimo = UltimoRenombre(cuenta);
    ASSERT_GT(marca, 0);

    for (int k = 1; k <= cuenta.Changes; ++k) {
        SCOPED_TRACE(cuenta.Log[size_t(k - 1)]);
        PreparaViejo();
        TFaultyFiles f;
        f.StopAt = k;
        Importa(f);

        std::vector<AnsiString> textos = Abre();
        EXPECT_EQ(Contenido(), k > marca ? Nuevo : Antiguo);
        EXPECT_EQ(Ficheros(), k > marca ? FicherosNuevos : FicherosAntiguos);
        // Told when the user's tables were half moved, and only then.
        if (k > marca && k <= ultimo) {
            ASSERT_EQ(textos.size(), 1u);
        } else if (k <= marca) {
            EXPECT_EQ(textos, std::vector<AnsiString>{});
        }
        for (const auto& t : textos) EXPECT_NE(t.find(Terminado), std::string::npos) << t;
    }
}

TEST_F(TableSwap, AStopWhileAFailedSwapIsUndoneIsUndoneAtTheNextOpening) {
    TFaultyFiles cuenta;
    PreparaViejo();
    ImportaEnCarpeta(Qtemp, Viejo, &cuenta);
    // A move fails while the new files come in...
    const int fallido = cuenta.Renames - 10;
    TFaultyFiles conFallo;
    conFallo.FailRename = fallido;
    PreparaViejo();
    Importa(conFallo);
    ASSERT_EQ(Contenido(), Antiguo);
    const int donde = Renombre(conFallo, fallido);
    const int ultimo = UltimoRenombre(conFallo);

    // ... and the machine stops at any change of the way back.
    for (int m = donde + 1; m <= conFallo.Changes; ++m) {
        SCOPED_TRACE(conFallo.Log[size_t(m - 1)]);
        PreparaViejo();
        TFaultyFiles f;
        f.FailRename = fallido;
        f.StopAt = m;
        Importa(f);

        std::vector<AnsiString> textos = Abre();
        // Only a stop before the mark said "undo" leaves a complete set to finish.
        const bool anulada = m > donde + 1;
        EXPECT_EQ(Contenido(), anulada ? Antiguo : Nuevo);
        EXPECT_EQ(Ficheros(), anulada ? FicherosAntiguos : FicherosNuevos);
        if (m <= ultimo) {
            ASSERT_EQ(textos.size(), 1u);
        }
        for (const auto& t : textos)
            EXPECT_NE(t.find(anulada ? Deshecho : Terminado), std::string::npos) << t;
    }
}

TEST_F(TableSwap, ANewImportFinishesAHalfDoneSwapBeforeItsOwn) {
    TFaultyFiles cuenta;
    PreparaViejo();
    ImportaEnCarpeta(Qtemp, Viejo, &cuenta);
    const int marca = Cambio(cuenta, "rename", "~completa.new");
    for (int k : {marca - 1, marca + 1, marca + 30}) {
        SCOPED_TRACE(k);
        PreparaViejo();
        TFaultyFiles f;
        f.StopAt = k;
        Importa(f);
        ImportaEnCarpeta(Qtemp, Viejo);
        EXPECT_EQ(Contenido(), Nuevo);
        EXPECT_EQ(Ficheros(), FicherosNuevos);
    }
}

TEST_F(TableSwap, AFolderMadeForAnImportThatFailsIsRemoved) {
    const AnsiString nueva = "C:\\PROG\\nueva";
    for (int k : {1, 2, 10}) {
        SCOPED_TRACE(k);
        TFaultyFiles f;
        f.FailRename = k;
        EXPECT_THROW(ImportaEnCarpeta(Qtemp, nueva, &f), EDatabaseError);
        EXPECT_FALSE(fs::exists(Maquina(Programa) / "nueva"));
    }
}
