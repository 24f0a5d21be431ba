// The whole road of the types screen and the placing on the sample school
// (a smaller draw of it, for speed): every course's types computed,
// classified and stored, a type moved into a group and back, every type
// distributed, and every student placed or reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>

#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/sys/Dialogs.h"
#include "tests/support/TempMachine.h"
#include "tools/SampleSchool.h"

namespace {

class TiposEjemplo : public ::testing::Test {
protected:
    std::optional<TTempMachine> Maquina;
    TScriptedDialogs Dialogos;
    static constexpr const char* Carpeta = "C:\\PROG\\ejemplo";

    void SetUp() override {
        Maquina.emplace("ejemplo");
        std::filesystem::create_directories(Maquina->DriveC() / "PROG");
        const auto escuela = GeneraEscuela(SemillaEjemplo, 60);
        EscribeIntercambio(escuela.Intercambio, "C:\\QTEMP");
        PreparaCarpetaDatos(escuela, "C:\\QTEMP", AnsiString(Carpeta) + "\\");
    }
    void TearDown() override { Maquina.reset(); }
    std::vector<AnsiString> Cursos() {
        std::vector<AnsiString> r;
        auto t = OpenTempTable(Carpeta, "cursos");
        for (t->First(); !t->Eof(); t->Next()) r.push_back(t->FieldByName("TNC")->AsString());
        return r;
    }
    std::vector<TFilaAlumno> AlumnosDe(const AnsiString& TNC) {
        auto t = OpenTempTable(Carpeta, "alum");
        FilterEqual(*t, "TNC", TNC);
        return LeeAlumnos(*t);
    }
    int Suma(const char* Tabla, const AnsiString& TNC) {
        int n = 0;
        auto t = OpenTempTable(Carpeta, Tabla);
        FilterEqual(*t, "TNC", TNC);
        for (t->First(); !t->Eof(); t->Next()) n += t->FieldByName("NALUM")->AsInteger();
        return n;
    }
};

}  // namespace

TEST_F(TiposEjemplo, EveryCourseIsComputedDistributedAndPlaced) {
    const auto cursos = Cursos();
    ASSERT_EQ(cursos.size(), 3u);
    bool idaYVuelta = false;
    for (const auto& tnc : cursos) {
        const auto alumnos = AlumnosDe(tnc);
        int contados = 0;
        for (const auto& a : alumnos) contados += a.ANULAR ? 0 : 1;
        ASSERT_GT(contados, 0) << tnc;

        TMotorTipos motor(Carpeta, tnc);
        motor.Abre();
        motor.RecuentaTipos(PreguntaBorrarTipos);
        EXPECT_EQ(Suma("tipos2", tnc), contados) << tnc;
        EXPECT_FALSE(motor.Listas().AsigCuentaOptativas.Codigos().empty()) << tnc;
        auto tipos = LeeSubtipos(*OpenTempTable(Carpeta, "tipos2", "N"));
        for (const auto& s : tipos) EXPECT_FALSE(s.ASIGSCU.empty());

        if (!idaYVuelta) {
            motor.TrasladaTipoAGrupo(tipos[0].N, motor.OfertaTipo(tipos[0].N).Numero, "A");
            const int fila = LeeTipGrup(*OpenTempTable(Carpeta, "tipgrup2", "N")).at(0).N;
            motor.TrasladaGrupoATipos(fila, motor.OfertaGrupo(fila).Numero);
            EXPECT_EQ(LeeSubtipos(*OpenTempTable(Carpeta, "tipos2", "N")), tipos);
            EXPECT_EQ(CuentaFilas(*OpenTempTable(Carpeta, "tipgrup2")), 0);
            idaYVuelta = true;
        }
        // Types alternately into groups A and B, whole.
        int g = 0;
        for (const auto& s : tipos) {
            const auto oferta = motor.OfertaTipo(s.N);
            if (oferta.Numero > 0) motor.TrasladaTipoAGrupo(s.N, oferta.Numero, g++ % 2 ? "B" : "A");
        }
        EXPECT_EQ(Suma("tipos2", tnc), 0) << tnc;
        EXPECT_EQ(Suma("tipgrup2", tnc), contados) << tnc;
        motor.MezclaTrabajo();
        EXPECT_EQ(Suma("tipgrup", tnc), contados) << tnc;

        PreparaColocar(Carpeta, tnc);
        const auto r = ColocaAlumnosDelCurso(Carpeta, tnc);
        EXPECT_EQ(r.Colocados + static_cast<int>(r.NoColocados.size()), static_cast<int>(alumnos.size()))
            << tnc;
        EXPECT_LE(r.Colocados, contados);
        int conGrupo = 0;
        for (const auto& a : AlumnosDe(tnc)) conGrupo += a.GRUPO == "A" || a.GRUPO == "B";
        EXPECT_GE(conGrupo, r.Colocados) << tnc;
    }
    // Every course's rows were merged; no number twice.
    std::set<int> numeros;
    for (const auto& s : LeeSubtipos(*OpenTempTable(Carpeta, "tipos")))
        EXPECT_TRUE(numeros.insert(s.N).second);
}
