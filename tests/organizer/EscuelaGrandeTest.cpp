// The whole road on a school of 3,000 students, far above the sample's 200:
// the exchange folder imported into a data folder, the folder opened, every
// course's types computed, organized, written back and placed, the result
// exported. Faults of the index trees' upper levels, of caches and of
// positions only show at this size, so every table and every tag of the data
// folder is then checked by our own tag checker and read back by another
// dBase reader (Perl XBase) in each tag's order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/OrgTablas.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/Export.h"
#include "shell/SchoolTables.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/TempMachine.h"
#include "tools/SampleSchool.h"

namespace {

constexpr int AlumnosGrande = 3000;

class EscuelaGrande : public ::testing::Test {
protected:
    void SetUp() override {
        FMaquina.emplace("grande");
        std::filesystem::create_directories(FMaquina->DriveC() / "PROG");
        Estado = NewComponent<TAppState>(nullptr);
        Estado->CarpetaPrograma = "C:\\PROG\\";
    }
    void TearDown() override {
        if (Estado) Estado->Free();
        FMaquina.reset();
    }
    TScriptedDialogs Dialogos;
    TAppState* Estado = nullptr;
    std::optional<TTempMachine> FMaquina;
};

std::vector<AnsiString> Cursos() {
    std::vector<AnsiString> r;
    TTempTable t = OpenTempTable(NombreBaseDatos, "cursos");
    for (t->First(); !t->Eof(); t->Next()) r.push_back(t->FieldByName("TNC")->AsString());
    return r;
}

// Students of the course with a group, and all of them.
std::pair<int, int> ConGrupo(const AnsiString& TNC) {
    TTempTable t = OpenTempTable(NombreBaseDatos, "alum");
    FilterEqual(*t, "TNC", TNC);
    int con = 0, todos = 0;
    for (t->First(); !t->Eof(); t->Next()) {
        ++todos;
        if (!t->FieldByName("GRUPO")->AsString().empty()) ++con;
    }
    return {con, todos};
}

}  // namespace

TEST_F(EscuelaGrande, ImportOrganizePlaceAndExportKeepEveryTableAndTagWhole) {
    const TEscuelaEjemplo escuela = GeneraEscuela(SemillaEjemplo, AlumnosGrande);
    EscribeIntercambio(escuela.Intercambio, CarpetaIntercambio);
    PreparaCarpetaDatos(escuela, CarpetaIntercambio, "C:\\PROG\\GRANDE");
    ASSERT_EQ(SeleccionaCarpeta(*Estado, "GRANDE", PreguntaConversion), TApertura::Actual)
        << ::testing::PrintToString(Dialogos.Texts());

    const auto cursos = Cursos();
    ASSERT_GE(cursos.size(), 6u) << "a school this large teaches its years in more than one shift";
    int colocados = 0;
    for (const auto& tnc : cursos) {
        SCOPED_TRACE(tnc);
        TMotorTipos motor(NombreBaseDatos, tnc);
        motor.Abre();
        motor.RecuentaTipos(PreguntaBorrarTipos);
        bool todos = false;
        ASSERT_TRUE(EjecutaOrganizar(motor, {}, {}, [&](ISesionOrganizar& S) {
                        todos = S.TodosOfrecido();
                        S.Organiza(TModoOrganizar::Todos, {});
                        return TOpcionesOrganizar{};
                    }).Escrito);
        EXPECT_TRUE(todos);
        // The students the organizer could not fit stay in their types; the
        // rows of the groups hold the others, and placing gives each of
        // those its group.
        int sinGrupo = 0;
        {
            TTempTable t = OpenTempTable(NombreBaseDatos, "tipos");
            FilterEqual(*t, "TNC", tnc);
            for (t->First(); !t->Eof(); t->Next()) sinGrupo += t->FieldByName("NALUM")->AsInteger();
        }
        motor.MezclaTrabajo();
        PreparaColocar(NombreBaseDatos, tnc);
        const TResultadoColocar r = ColocaAlumnosDelCurso(NombreBaseDatos, tnc);
        const auto [con, total] = ConGrupo(tnc);
        EXPECT_EQ(con + sinGrupo, total) << MensajeColocar(r);
        EXPECT_EQ(static_cast<int>(r.NoColocados.size()), sinGrupo);
        colocados += con;
    }
    // Tight courses of 330 students in 12 groups of at most 30 leave a few
    // students to the staff; most of the school is placed.
    EXPECT_GT(colocados, AlumnosGrande * 95 / 100);
    const TResultadoExportar exportado = ExportaDatos();
    ASSERT_TRUE(exportado.Exportado()) << MensajeExportar(exportado);
    Estado->Free();
    Estado = nullptr;

    // Every table of the data folder and of the exchange folder, with every
    // tag, as our checker and another reader see it.
    const bool perl = PerlHasXBase();
    int tablas = 0, etiquetas = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(FMaquina->DriveC())) {
        if (LowerCase(e.path().extension().string()) != ".dbf") continue;
        const std::string base = (e.path().parent_path() / e.path().stem()).string();
        SCOPED_TRACE(e.path().filename().string());
        ++tablas;
        auto t = TDbfTable::Open(base);
        EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
        if (!perl) continue;
        const std::string mdx = base + ".mdx";
        if (!std::filesystem::exists(mdx)) continue;
        TDbfCursor c(t);
        for (int tag = 0; tag < t->TagCount(); ++tag) {
            // The reader gives the values of one field in the tag's order:
            // the key's first field, whose values follow the order whatever
            // the ties.
            const TDbfOrderInfo info = t->OrderInfo(tag);
            const std::string campo = info.Fields.substr(0, info.Fields.find(';'));
            if (info.IsExpression || campo.empty()) continue;
            const int f = t->FieldIndex(campo);
            const bool numero = t->Field(f).Type == 'N' || t->Field(f).Type == 'F';
            // Numbers as values: the reader prints them its own way.
            auto normal = [&](const std::string& v) {
                return numero ? std::to_string(std::strtod(v.c_str(), nullptr)) : std::string(Trim(v));
            };
            c.SetOrder(tag);
            std::string nuestro;
            for (bool hay = c.First(); hay; hay = c.Next())
                nuestro += normal(t->GetText(c.Record(), f)) + "\n";
            std::string leido, suyo;
            ASSERT_EQ(PerlReadTag(t->FileName(), mdx, info.Name, campo, leido), 0) << info.Name;
            for (size_t i = 0; i < leido.size();) {
                const size_t fin = leido.find('\n', i);
                suyo += normal(leido.substr(i, fin - i)) + "\n";
                i = fin == std::string::npos ? leido.size() : fin + 1;
            }
            EXPECT_EQ(suyo, nuestro) << info.Name;
            ++etiquetas;
        }
    }
    EXPECT_GE(tablas, 12 + 9);
    EXPECT_GT(etiquetas, 20);
    ZELMOR_NEED_TOOL(perl, "the Perl XBase module");
}
