// An import puts its tables in place of a folder's old ones all or nothing:
// whichever move fails and wherever the machine stops, the folder opens
// afterwards with every old table or with every new one, never a mixture or
// an empty table in place of a lost one.
#include <sys/wait.h>
#include <unistd.h>

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

// When only the removal of the old tables fails, the import is done all the
// same: the user reads so once, from the import, and the next opening
// removes what is left without a word.
TEST_F(TableSwap, AFailedCleanUpIsToldOnceByTheImportAndFinishedQuietly) {
    TFaultyFiles cuenta;
    PreparaViejo();
    ImportaEnCarpeta(Qtemp, Viejo, &cuenta);
    int borrado = 0;  // the removal of the first old file set aside
    for (const std::string& l : cuenta.Log) {
        if (l.rfind("remove", 0) != 0) continue;
        ++borrado;
        if (l.find("~anteriores") != std::string::npos) break;
    }
    ASSERT_LT(borrado, cuenta.Removes);

    PreparaViejo();
    TFaultyFiles f;
    f.FailRemove = borrado;
    TResultadoImportar r;
    r.Importacion = ImportaEnCarpeta(Qtemp, Viejo, &f);
    EXPECT_EQ(Contenido(), Nuevo);
    EXPECT_NE(r.Importacion.Limpieza.find("injected failure"), std::string::npos) << r.Importacion.Limpieza;
    const AnsiString texto = MensajeImportar(r);
    EXPECT_EQ(texto.rfind("Proceso terminado\n\nLas tablas que ten\xED"
                          "a antes la carpeta no se han podido borrar todav\xED"
                          "a (",
                          0),
              0u)
        << texto;
    EXPECT_NE(texto.find("); se borrar\xE1n la pr\xF3xima vez que se abra la carpeta."), std::string::npos)
        << texto;

    EXPECT_EQ(Abre(), std::vector<AnsiString>{});
    EXPECT_EQ(Contenido(), Nuevo);
    EXPECT_EQ(Ficheros(), FicherosNuevos);
}

// An import into a new folder killed at any change of its files: the list
// of folders finishes it (from the mark on) or removes the folder, so no
// folder is listed that opens as "Formato de datos desconocido".
TEST_F(TableSwap, AnImportIntoANewFolderKilledAnywhereLeavesNoFolderThatCannotBeOpened) {
    const AnsiString nueva = "C:\\PROG\\nueva";
    TFaultyFiles cuenta;
    ImportaEnCarpeta(Qtemp, nueva, &cuenta);
    const int marca = Cambio(cuenta, "rename", "~completa.new");
    const int ultimo = UltimoRenombre(cuenta);
    ASSERT_GT(marca, 2);
    fs::remove_all(Maquina(nueva));
    // Change 1 makes the folder's lock; the killed process held the folder
    // from there on, and built the whole new set before change 2. Then the
    // mark, the moves of the new files and the removal of what is left.
    for (int k : {2, marca - 1, marca, marca + 1, (marca + ultimo) / 2, ultimo, ultimo + 1, cuenta.Changes}) {
        SCOPED_TRACE(cuenta.Log[size_t(k - 1)]);
        const pid_t hijo = ::fork();
        ASSERT_GE(hijo, 0);
        if (hijo == 0) {
            TFaultyFiles f;
            f.KillAt = k;
            try {
                ImportaEnCarpeta(Qtemp, nueva, &f);
            } catch (...) {
            }
            ::_exit(0);
        }
        int estado = 0;
        ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
        ASSERT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 9) << "the import was not killed";

        std::vector<AnsiString> lista = ListaCarpetasDatos(Programa);
        const bool listada = std::count(lista.begin(), lista.end(), "nueva") == 1;
        EXPECT_EQ(listada, k > marca);
        EXPECT_EQ(fs::exists(Maquina(nueva)), listada);
        if (listada) {
            EXPECT_EQ(SeleccionaCarpeta(*Estado, "nueva", PreguntaConversion), TApertura::Actual);
            EXPECT_EQ(Cuenta(nueva, "alum"), 1);
            EXPECT_FALSE(fs::exists(Maquina(nueva) / "~importando"));
        }
        fs::remove_all(Maquina(nueva));
    }
}
