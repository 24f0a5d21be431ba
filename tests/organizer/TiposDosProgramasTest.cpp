// Two copies of the program on one data folder while the types screen of one
// is open: the other's opening of the folder, of the types and of a table for
// writing, each in a process of its own. The types work must never be lost,
// and the stored tables must never take a working copy that is not the
// screen's own.
#include <gtest/gtest.h>

#include <memory>

#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/rtl/Exceptions.h"
#include "shell/SchoolTables.h"
#include "tests/organizer/TiposEscuela.h"
#include "tests/organizer/TiposFilasPrueba.h"
#include "tests/support/Peer.h"

using namespace tipos_prueba;

namespace {

const AnsiString Ocupado = TextoTrabajoOcupado;

class TiposDosProgramas : public TiposEscuela {
protected:
    TMotorTipos Motor{Base, Curso};

    // The other program, started before this one opens anything. What it is
    // told to do, one order a line, it answers in one line:
    //   "carpeta"      opens the folder (CreaTablas): the messages shown, or "-"
    //   "tipos"        opens the types of the course: "abierto" or the error
    //   "rehace"       makes tipos2 and tipgrup2 anew without their claim, as
    //                  a program that knows nothing of it would: "ok"
    //   "toma <tabla>" takes the table for writing and keeps it: "ok"
    //   "suelta"       lets go of it: "ok"
    std::unique_ptr<TPeer> Otro;
    void SetUp() override {
        TiposEscuela::SetUp();
        Otro = std::make_unique<TPeer>([this](TPeer& P) { Atiende(P); });
    }
    void TearDown() override {
        if (Otro) {
            EXPECT_EQ(Otro->Finish(), 0);
        }
        Otro.reset();
        TiposEscuela::TearDown();
    }
    std::string Pide(const std::string& Orden) {
        Otro->Say(Orden);
        return Otro->Hear();
    }

    // The screen opened, the types computed and the first type put into
    // group "A": work in both working tables.
    void Trabaja() {
        Motor.Abre();
        Motor.RecuentaTipos(PreguntaBorrarTipos);
        const auto t2 = Subtipos("tipos2");
        ASSERT_FALSE(t2.empty());
        ASSERT_TRUE(Motor.TrasladaSubtipoAGrupo(t2[0].N, t2[0].NALUM, "A"));
        CompruebaInvariantes(15);
    }
    // The course's rows of the stored tables, as the merge must leave them:
    // the working rows.
    std::pair<std::vector<TFilaSubtipo>, std::vector<TFilaEnGrupo>> DelCurso(const char* Tipos,
                                                                             const char* TipGrup) {
        std::pair<std::vector<TFilaSubtipo>, std::vector<TFilaEnGrupo>> r;
        for (const auto& s : Subtipos(Tipos))
            if (s.TNC == Curso) r.first.push_back(SinNumero(s));
        for (const auto& f : TiposEnGrupo(TipGrup))
            if (f.TNC == Curso) r.second.push_back(SinNumero(f));
        return r;
    }

private:
    void Atiende(TPeer& P) {
        std::shared_ptr<TDbfTable> tomada;
        for (std::string orden = P.Hear(); !orden.empty(); orden = P.Hear()) {
            if (orden == "carpeta") {
                const size_t antes = Dialogos.Asked().size();
                CreaTablas(Base);
                std::string dichos;
                for (size_t i = antes; i < Dialogos.Asked().size(); ++i)
                    dichos += (dichos.empty() ? "" : " | ") + Dialogos.Asked()[i].Text;
                P.Say(dichos.empty() ? "-" : dichos);
            } else if (orden == "tipos") {
                TMotorTipos m(Base, Curso);
                try {
                    m.Abre();
                    P.Say("abierto");
                } catch (const EDatabaseError& E) {
                    P.Say(E.Message());
                }
            } else if (orden == "rehace") {
                for (const char* t : {"tipos2", "tipgrup2"}) CreaTabla(Base, TablaEscolar(t));
                P.Say("ok");
            } else if (orden.starts_with("toma ")) {
                tomada = TDbfTable::Open(NewTempTable(Base, orden.substr(5))->TablePath());
                tomada->Reserve();
                P.Say("ok");
            } else if (orden == "suelta") {
                tomada.reset();
                P.Say("ok");
            }
        }
    }
};

}  // namespace

// While the screen is open the other program's opening of the folder leaves
// the working tables as they are and says so, and its types do not open;
// the merge then stores the screen's work. Once merged, the working tables
// are free: the next opening of the folder empties them.
TEST_F(TiposDosProgramas, AnotherProgramOpeningTheFolderLeavesTheTypesWorkAlone) {
    Trabaja();
    const auto tipos2 = Subtipos("tipos2");
    const auto tipgrup2 = TiposEnGrupo("tipgrup2");
    const int conex = Cuenta("conex");

    EXPECT_EQ(Pide("carpeta"),
              Ocupado + " Sus tablas de trabajo (tipos2, tipgrup2 y conex) se han dejado como estaban.");
    EXPECT_EQ(Subtipos("tipos2"), tipos2);
    EXPECT_EQ(TiposEnGrupo("tipgrup2"), tipgrup2);
    EXPECT_EQ(Cuenta("conex"), conex);
    EXPECT_EQ(Pide("tipos"), Ocupado + " Podr\xE1 hacerse aqu\xED cuando termine all\xED.");
    EXPECT_EQ(Subtipos("tipos2"), tipos2);

    const auto trabajo = DelCurso("tipos2", "tipgrup2");
    EXPECT_TRUE(Motor.MezclaTrabajo());
    CompruebaInvariantes();
    EXPECT_EQ(DelCurso("tipos", "tipgrup"), trabajo);

    EXPECT_EQ(Pide("carpeta"), "-");
    EXPECT_EQ(Cuenta("tipos2"), 0);
    EXPECT_EQ(Cuenta("tipgrup2"), 0);
    EXPECT_EQ(DelCurso("tipos", "tipgrup"), trabajo);
}

// A program that takes no claim (an older copy) makes the working tables
// anew under the screen: the merge writes nothing of the empty copy, and
// the course's stored rows stay.
TEST_F(TiposDosProgramas, TheMergeWritesNothingFromACopyAnotherProgramMadeAnew) {
    AnadeSubtipos("tipos", {Sub(7, 2, "A", false, {"LEN", "FRA"})});
    AnadeTiposEnGrupo("tipgrup", {Fila(8, 3, "A", "A", false, {{"LEN"}, {"FRA", "1", "a"}})});
    Motor.Abre();
    const auto guardado = DelCurso("tipos", "tipgrup");
    ASSERT_EQ(guardado.first.size(), 1u);
    ASSERT_EQ(guardado.second.size(), 1u);

    EXPECT_EQ(Pide("rehace"), "ok");
    EXPECT_EQ(Cuenta("tipos2"), 0);
    EXPECT_EQ(Motor.CierraTrabajo([](const AnsiString&) -> bool {
        ADD_FAILURE() << "nothing to ask: the work is gone";
        return false;
    }),
              TCierreTipos::Perdido);
    EXPECT_TRUE(Motor.Cerrado());
    EXPECT_EQ(DelCurso("tipos", "tipgrup"), guardado);
    CompruebaInvariantes();
}

// The other program writing either stored table refuses the merge before a
// row of either is written, tipos as well when only tipgrup is held; the
// screen keeps its work and lists, and each later close tries again until
// it is stored.
TEST_F(TiposDosProgramas, AMergeRefusedByAnotherProgramChangesNeitherTableAndIsTriedAgain) {
    Trabaja();
    const auto antes = DelCurso("tipos", "tipgrup");
    const auto trabajo = DelCurso("tipos2", "tipgrup2");
    ASSERT_NE(antes, trabajo);

    for (const char* tabla : {"tipgrup", "tipos"}) {
        SCOPED_TRACE(tabla);
        EXPECT_EQ(Pide(std::string("toma ") + tabla), "ok");
        std::vector<AnsiString> motivos;
        for (int vez = 0; vez < 2; ++vez)
            EXPECT_EQ(Motor.CierraTrabajo([&](const AnsiString& Motivo) {
                motivos.push_back(Motivo);
                return false;
            }),
                      TCierreTipos::Pendiente);
        EXPECT_EQ(motivos, std::vector<AnsiString>(2, "La tabla " + AnsiString(tabla) +
                                                          " est\xE1 siendo usada por otro usuario"));
        EXPECT_FALSE(Motor.Cerrado());
        EXPECT_FALSE(Motor.Listas().AsigCuentaOptativas.Codigos().empty());
        EXPECT_EQ(DelCurso("tipos", "tipgrup"), antes);
        EXPECT_EQ(DelCurso("tipos2", "tipgrup2"), trabajo);
        // Still the screen's: the other program cannot open the types.
        EXPECT_EQ(Pide("tipos").substr(0, Ocupado.size()), Ocupado);
        EXPECT_EQ(Pide("suelta"), "ok");
    }

    EXPECT_EQ(Motor.CierraTrabajo([](const AnsiString&) { return false; }), TCierreTipos::Guardado);
    EXPECT_TRUE(Motor.Cerrado());
    EXPECT_EQ(DelCurso("tipos", "tipgrup"), trabajo);
    CompruebaInvariantes(15);
}

// Dropping the work whose merge was refused leaves the stored tables as they
// were and lets go of the working tables.
TEST_F(TiposDosProgramas, DiscardingARefusedMergeKeepsTheStoredTablesAndFreesTheWorkingOnes) {
    Trabaja();
    const auto antes = DelCurso("tipos", "tipgrup");
    EXPECT_EQ(Pide("toma tipos"), "ok");
    EXPECT_EQ(Motor.CierraTrabajo([](const AnsiString&) { return true; }), TCierreTipos::Descartado);
    EXPECT_TRUE(Motor.Cerrado());
    EXPECT_EQ(DelCurso("tipos", "tipgrup"), antes);
    EXPECT_EQ(Pide("tipos"), "abierto");
    EXPECT_EQ(Pide("suelta"), "ok");
    CompruebaInvariantes();
}
