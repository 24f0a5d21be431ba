// Placing on the small school's tables: the dialog's copy of the course's
// distribution, the students' groups and divisions written into alum (read
// back by an outside dBase reader when one is installed), the counts used
// up, and the report of the students no row covered.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Table.h"
#include "tests/organizer/TiposEscuela.h"
#include "tests/support/OutsideTools.h"

namespace {

class ColocarTablas : public TiposEscuela {
protected:
    // The course distributed by hand: the French types into group A, the
    // German ones into B, and division "1" for French in A.
    void Distribuye() {
        TMotorTipos motor(Base, Curso);
        motor.Abre();
        motor.RecuentaTipos(PreguntaBorrarTipos);
        for (const auto& s : Subtipos("tipos2"))
            motor.TrasladaSubtipoAGrupo(s.N, s.NALUM, HuecoExacto(s.ASIG, "FRA") >= 0 ? "A" : "B");
        auto t = OpenTempTable(Base, "tipgrup2");
        const auto antes = LeeTipGrup(*t);
        auto despues = antes;
        for (auto& f : despues) {
            const int j = HuecoExacto(f.ASIG, "FRA");
            if (j >= 0) f.DIV[static_cast<size_t>(j)] = "1";
        }
        Sincroniza(*t, antes, despues);
        t.reset();
        motor.MezclaTrabajo();
        CompruebaInvariantes();
    }
};

}  // namespace

TEST_F(ColocarTablas, TheDialogCopiesTheCoursesDistributionWithItsNumbers) {
    Distribuye();
    AnadeTiposEnGrupo("tipgrup2", {TFilaEnGrupo{}});  // left from something else
    PreparaColocar(Base, Curso);
    std::vector<TFilaEnGrupo> guardadas;
    for (const auto& f : LeeTipGrup(*OpenTempTable(Base, "tipgrup", "TNC")))
        if (f.TNC == Curso) guardadas.push_back(f);
    auto copia = TiposEnGrupo("tipgrup2");
    ASSERT_EQ(copia.size(), guardadas.size());
    for (size_t i = 0; i < copia.size(); ++i) {
        copia[i].Marca = guardadas[i].Marca;
        EXPECT_EQ(copia[i], guardadas[i]);
    }
}

TEST_F(ColocarTablas, StudentsGetTheirGroupsAndDivisionsAndTheUnplacedAreReported) {
    Distribuye();
    const auto tipgrup = TiposEnGrupo("tipgrup");
    PreparaColocar(Base, Curso);
    const auto r = ColocaAlumnosDelCurso(Base, Curso);
    EXPECT_TRUE(Dialogos.Asked().empty());  // the screen tells the outcome, not the routine
    AvisaResultadoColocar(r);

    // The annulled student comes last and finds every count used up.
    EXPECT_EQ(r.Colocados, 15);
    ASSERT_EQ(r.NoColocados.size(), 1u);
    EXPECT_EQ(r.NoColocados[0].EXPED, "E015");
    ASSERT_EQ(Dialogos.Asked().size(), 1u);
    EXPECT_EQ(Dialogos.Asked()[0].Caption, "Atenci\xF3n");
    EXPECT_NE(Dialogos.Asked()[0].Text.find("Proceso terminado"), AnsiString::npos);
    EXPECT_NE(Dialogos.Asked()[0].Text.find("E015"), AnsiString::npos);
    for (const auto& f : TiposEnGrupo("tipgrup2")) EXPECT_EQ(f.NALUM, 0);
    EXPECT_EQ(TiposEnGrupo("tipgrup"), tipgrup);  // the stored distribution stays

    for (const auto& a : Alumnos()) {
        if (a.TNC != Curso) {
            EXPECT_EQ(a.GRUPO, "") << a.NOMBRE;  // other courses untouched
            continue;
        }
        if (a.EXPED == "E015") {
            EXPECT_EQ(a.GRUPO, "X");
            continue;
        }
        const bool frances = HuecoExacto(a.ASIG, "FRA") >= 0;
        EXPECT_EQ(a.GRUPO, frances ? "A" : "B") << a.NOMBRE;
        EXPECT_EQ(a.DIV[2], frances ? "1" : "") << a.NOMBRE;
    }
}

TEST_F(ColocarTablas, PlacingIsReadBackByAnOutsideReader) {
    const std::string python = PythonWith("dbfread");
    ZELMOR_NEED_TOOL(!python.empty(), "python3-dbfread");
    Distribuye();
    PreparaColocar(Base, Curso);
    ColocaAlumnosDelCurso(Base, Curso);
    const auto script = Root / "lee.py";
    std::ofstream(script)
        << "import sys, dbfread\n"
           "for r in dbfread.DBF(sys.argv[1], encoding='cp1252'):\n"
           "    if r['TNC'] == 'DESO4': print(r['EXPED'], r['GRUPO'] or '-', r['ASIG3'], r['DIV3'] or '-')\n";
    std::string salida;
    ASSERT_EQ(RunCommand(python + " " + script.string() + " " + (Carpeta() / "alum.dbf").string(), salida),
              0);
    std::ostringstream esperada;
    for (const auto& a : Alumnos()) {
        if (a.TNC != Curso) continue;
        esperada << a.EXPED << ' ' << (a.GRUPO.empty() ? "-" : a.GRUPO) << ' ' << a.ASIG[2] << ' '
                 << (a.DIV[2].empty() ? "-" : a.DIV[2]) << '\n';
    }
    EXPECT_EQ(salida, esperada.str());
    EXPECT_NE(salida.find("E000 A FRA 1"), std::string::npos);
    EXPECT_NE(salida.find("E001 B ALE -"), std::string::npos);
}
