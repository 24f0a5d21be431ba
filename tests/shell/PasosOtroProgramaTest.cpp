// Leaving a step while another program writes the tables its screen writes
// as it closes (the other program a process of its own): the screen stays
// the step's, open, until its close goes through; the types screen asks
// whether to drop its work, and keeps it when told not to.
#include <gtest/gtest.h>

#include <memory>

#include "TiposFixture.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwtable.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/StepMachine.h"
#include "shell/forms/AsigCur.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Tipos.h"
#include "tests/support/Peer.h"

namespace {

class PasosOtroPrograma : public TiposFixture {
protected:
    // The other program on the data folder Carpeta, started before this one
    // opens a screen: "toma <tabla>" takes the table for writing and keeps
    // it, "suelta" lets go of it; each answers "ok".
    std::unique_ptr<TPeer> Otro;
    void Arranca() {
        Otro = std::make_unique<TPeer>([this](TPeer& P) {
            std::shared_ptr<TDbfTable> tomada;
            for (std::string orden = P.Hear(); !orden.empty(); orden = P.Hear()) {
                if (orden.starts_with("toma ")) {
                    tomada = TDbfTable::Open(NewTempTable(Carpeta, orden.substr(5))->TablePath());
                    tomada->Reserve();
                } else {
                    tomada.reset();
                }
                P.Say("ok");
            }
        });
    }
    void TearDown() override {
        if (Otro) {
            EXPECT_EQ(Otro->Finish(), 0);
        }
        Otro.reset();
        TiposFixture::TearDown();
    }
    void Pide(const std::string& Orden) {
        Otro->Say(Orden);
        ASSERT_EQ(Otro->Hear(), "ok");
    }
    int FilasDelCurso(const char* Tabla) {
        int n = 0;
        for (const auto& f : FilasDe(Carpeta, Tabla)) n += f.at("TNC") == Estado->TNCSeleccionado;
        return n;
    }
};

}  // namespace

// The merge refused: the user keeps the work, and the screen stays open as
// the step's with its tables and views; the next move, once the other
// program has let go, stores the work and goes on.
TEST_F(PasosOtroPrograma, ATypesScreenWhoseMergeIsRefusedStaysOpenUntilItsWorkIsStored) {
    AbreCarpeta();
    Arranca();
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    const auto tipos = FilasDe(Carpeta, "tipos");
    const auto tipgrup = FilasDe(Carpeta, "tipgrup");
    const int trabajo = FilasDelCurso("tipos2");
    ASSERT_GT(trabajo, 0);

    Pide("toma tipos");
    Responde("No");
    Pulsa(F->BAnterior);
    Ui.RunUntilIdle();
    ASSERT_EQ(Mensajes.size(), 1u);
    EXPECT_EQ(Mensajes[0],
              "No se han podido guardar los tipos del curso: La tabla tipos est\xE1 siendo usada por otro "
              "usuario\n\n\xBF"
              "Descartar los cambios hechos en los tipos? Si responde No, la pantalla sigue abierta y se "
              "volver\xE1n a guardar al cerrarla.");
    EXPECT_EQ(Estado->Paso, PasoTipos);
    EXPECT_EQ(F->PantallaDelPaso(), T);
    EXPECT_EQ(TiposForm, T);
    EXPECT_TRUE(T->Visible());
    EXPECT_EQ(AsigCurForm, nullptr);
    EXPECT_TRUE(T->TTipos->Active());
    EXPECT_EQ(FilasDelCurso("tipos2"), trabajo);
    EXPECT_EQ(FilasDe(Carpeta, "tipos"), tipos);
    EXPECT_EQ(FilasDe(Carpeta, "tipgrup"), tipgrup);

    Pide("suelta");
    Pulsa(F->BAnterior);
    Ui.RunUntilIdle();
    EXPECT_EQ(Mensajes.size(), 1u);
    EXPECT_EQ(Estado->Paso, PasoAsignaturasCurso);
    EXPECT_EQ(TiposForm, nullptr);
    EXPECT_NE(AsigCurForm, nullptr);
    EXPECT_EQ(F->PantallaDelPaso(), AsigCurForm);
    EXPECT_EQ(FilasDelCurso("tipos"), trabajo);
}

// The subjects screen writes its figures as it closes; refused, the screen
// stays the step's with its tables open, and no other screen opens beside
// it; the next move writes them and goes on.
TEST_F(PasosOtroPrograma, AScreenWhoseCloseFailsStaysTheStepUntilItCloses) {
    AbreCarpeta();
    const AnsiString tnc = Estado->TNCSeleccionado;
    int grupos = -1;
    {
        TTempTable cursos = OpenTempTable(Carpeta, "cursos");
        for (cursos->First(); !cursos->Eof(); cursos->Next())
            if (cursos->FieldByName("TNC")->AsString() == tnc)
                grupos = cursos->FieldByName("NGRUP")->AsInteger();
        TTempTable asigcur = OpenTempTable(Carpeta, "asigcur");
        for (asigcur->First(); !asigcur->Eof(); asigcur->Next()) {
            asigcur->Edit();
            asigcur->FieldByName("NDIV")->SetAsInteger(99);
            asigcur->Post();
        }
    }
    ASSERT_GT(grupos, 0);
    Arranca();
    Pulsa(F->BIrA);
    Ui.Then([this] { Ui.Type("4"); });
    Ui.RunUntilIdle();
    TAsigCurForm* A = AsigCurForm;
    ASSERT_NE(A, nullptr);

    Pide("toma asigcur");
    Responde("OK");
    Pulsa(F->BSiguiente);
    Ui.RunUntilIdle();
    ASSERT_EQ(Mensajes.size(), 1u);
    EXPECT_EQ(Mensajes[0], "La tabla asigcur est\xE1 siendo usada por otro usuario.");
    EXPECT_EQ(Estado->Paso, PasoAsignaturasCurso);
    EXPECT_EQ(F->PantallaDelPaso(), A);
    EXPECT_TRUE(A->Visible());
    EXPECT_TRUE(A->TAsigCurCom->Active());
    EXPECT_EQ(TiposForm, nullptr);

    Pide("suelta");
    Pulsa(F->BSiguiente);
    Ui.RunUntilIdle();
    EXPECT_EQ(Mensajes.size(), 1u);
    EXPECT_EQ(Estado->Paso, PasoTipos);
    EXPECT_EQ(AsigCurForm, nullptr);
    EXPECT_NE(TiposForm, nullptr);
    EXPECT_EQ(F->PantallaDelPaso(), TiposForm);
    int comunes = 0;
    for (const auto& f : FilasDe(Carpeta, "asigcur")) {
        if (f.at("TNC") != tnc || f.at("TIPO") == "1") continue;
        ++comunes;
        EXPECT_EQ(f.at("NDIV"), std::to_string(grupos)) << f.at("ASIG");
    }
    EXPECT_GT(comunes, 0);
}
