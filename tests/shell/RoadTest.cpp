// The road of a school's staff through the program's face, by clicks and
// keys on the off-screen display: start, import the sample exchange folder
// under a new folder name, open the sample school from the folder list,
// select a course, edit its students in the grid and with the grid menu,
// visit the side screens, export, print a listing, leave. The tables are checked afterwards, also with
// another dBase reader, and a picture of every screen on the way is saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ScreensFixture.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Table.h"
#include "platform/gfx/Printers.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Alum.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Cursos.h"
#include "shell/forms/Seldat.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/PdfText.h"
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

// Another reader's view of a table: the field argv[2] of the first row of
// each EXPED.
const char* LectorCampo = R"(import sys, dbfread
seen = set()
for r in dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict'):
    e = (r['EXPED'] or '').rstrip(' ')
    if e in seen: continue
    seen.add(e)
    sys.stdout.buffer.write((e + '\t' + (r[sys.argv[2]] or '').rstrip(' ') + '\n').encode('utf-8'))
)";

// A text as a PDF reader gives it back: its words, one blank between.
std::string PorPalabras(const std::string& Texto) {
    std::istringstream partes(Texto);
    std::string junto;
    for (std::string w; partes >> w;) junto += (junto.empty() ? "" : " ") + w;
    return junto;
}

// The names column of a printed listing (35.4 mm from the paper's edge up
// to the subjects at 103.1 mm), a name a line, page after page. The first
// line starts at 32 mm; the column's head, 5 mm above it in the title band,
// is left out.
std::vector<std::string> NombresImpresos(const std::vector<std::vector<TPdfWord>>& Hojas) {
    constexpr double Nombres = 35.4, Asignaturas = 103.1, PrimeraLinea = 32.0;
    std::vector<std::string> nombres;
    for (size_t p = 0; p < Hojas.size(); ++p) {
        std::map<long, std::vector<std::pair<double, std::string>>> lineas;
        for (const TPdfWord& w : Hojas[p])
            if (w.Left > Nombres - 0.1 && w.Left < Asignaturas - 0.1 && (p > 0 || w.Top > PrimeraLinea - 1))
                lineas[std::lround(w.Top * 10)].emplace_back(w.Left, w.Text);
        for (auto& [arriba, palabras] : lineas) {
            std::sort(palabras.begin(), palabras.end());
            std::string n;
            for (const auto& [izquierda, w] : palabras) n += (n.empty() ? "" : " ") + w;
            nombres.push_back(n);
        }
    }
    return nombres;
}

}  // namespace

class Road : public ScreensFixture {};

TEST_F(Road, ImportSelectEditVisitExportAndLeaveByClicksAndKeys) {
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
    Ui.RunUntilIdle();
    ASSERT_EQ(Mensajes.size(), 1u);
    EXPECT_EQ(Mensajes[0], "Proceso terminado");
    EXPECT_EQ(estado.CarpetaDatos, "C:\\ZELMOR\\curso2025\\");
    EXPECT_EQ(estado.Paso, PasoCursos);
    ASSERT_NE(CursosForm, nullptr) << "the courses of the imported school";
    Guarda(CursosForm, "04-cursos");
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
    Ui.RunUntilIdle();
    std::sort(carpetas.begin(), carpetas.end());
    EXPECT_EQ(carpetas, (std::vector<std::string>{"curso2025", "ejemplo"}));
    EXPECT_EQ(estado.CarpetaDatos, "C:\\ZELMOR\\ejemplo\\");
    EXPECT_EQ(estado.RutaDatos, "C:\\ZELMOR\\ejemplo\\");
    ASSERT_EQ(Mensajes.size(), 1u);

    // The courses in abbreviation order: 1BD, 1BN, 4ES. Two rows down is
    // 4th of ESO; "&Siguiente" selects it and shows its students.
    ASSERT_NE(CursosForm, nullptr);
    PlayKeys(Ui, "{Down}{Down}");
    Ui.RunUntilIdle();
    EXPECT_EQ(CursosForm->Caption(), "Cursos [C:\\ZELMOR\\ejemplo\\] DESO4");
    Pulsa(F->BSiguiente);
    Ui.RunUntilIdle();
    EXPECT_EQ(estado.TNCSeleccionado, "DESO4");
    EXPECT_EQ(estado.Paso, PasoAlumnos);
    ASSERT_NE(AlumForm, nullptr);
    Guarda(AlumForm, "06-alumnos");

    // A student's name typed over in the grid (two columns right of
    // ANULAR, N being the fixed column), posted by going down a row.
    TwwDBGrid* rejilla = AlumForm->DBGridAlum;
    const AnsiString exped = AlumForm->TAlum->FieldByName("EXPED")->AsString();
    PlayKeys(Ui, "{Tab}{Tab}");
    Ui.Type("Abad Zorrilla, Ana");
    PlayKeys(Ui, "{Down}");
    Ui.RunUntilIdle();
    // The grid menu, by a right click on the grid: a new line, named;
    // then the current line moved out and brought back.
    auto menu = [&](const char* Tecla) {
        Ui.Then([&, Tecla] { Ui.Type(Tecla); });
        Clock.Advance(1000);
        Ui.Click(rejilla, TPoint(60, 8), mbRight);
        Ui.RunUntilIdle();
    };
    const int alumnos = AlumForm->TAlum->RecordCount();
    menu("i");
    Ui.Type("Nuevo Alumno, Uno");
    PlayKeys(Ui, "{Up}");
    Ui.RunUntilIdle();
    EXPECT_EQ(AlumForm->TAlum->RecordCount(), alumnos + 1);
    const AnsiString movido = AlumForm->TAlum->FieldByName("EXPED")->AsString();
    menu("s");
    EXPECT_EQ(AlumForm->TAlum->RecordCount(), alumnos);
    menu("r");
    EXPECT_EQ(AlumForm->TAlum->RecordCount(), alumnos + 1);
    Guarda(AlumForm, "07-alumnos-editados");

    // The side screens from "&Ir a ...": names (eight down, past the line),
    // teachers, groups and classrooms.
    struct {
        const char* Teclas;
        const char* Clase;
        const char* Foto;
    } lados[] = {{"{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}", "TNomAsgForm", "08-nombres"},
                 {"p", "TProfesForm", "09-profesores"},
                 {"g", "TGrupForm", "10-grupos"},
                 {"{Up}{Up}{Up}{Enter}", "TAulasForm", "11-aulas"}};
    for (const auto& l : lados) {
        Pulsa(F->BIrA);
        Ui.Then([&] { PlayKeys(Ui, l.Teclas); });
        Ui.RunUntilIdle();
        ASSERT_NE(F->PantallaDelPaso(), nullptr) << l.Clase;
        EXPECT_EQ(F->PantallaDelPaso()->ClassName(), l.Clase);
        Guarda(F->PantallaDelPaso(), l.Foto);
    }

    // "&Ir a ...", "7 - Exportar": the export, then back to step 7.
    Pulsa(F->BIrA);
    // "7 - Exportar" has no letter of its own: seven steps down the menu.
    Ui.Then([&] { PlayKeys(Ui, "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}"); });
    TRect sitio;
    std::string titulo;
    Luego([&](TCustomForm* E) {
        Guarda(E, "12-exportar");
        sitio = TRect(E->Left(), E->Top(), E->ClientWidth(), E->ClientHeight());
        titulo = E->Caption();
        Ui.Click(E, "BOK");
    });
    Ui.RunUntilIdle();
    EXPECT_EQ(titulo, "Exportar");
    EXPECT_EQ(sitio, TRect(230, 139, 388, 174));
    ASSERT_EQ(Mensajes.size(), 1u) << "the export says nothing of its own";
    EXPECT_EQ(estado.Paso, PasoAlumnosConGrupos);
    ASSERT_NE(AlumForm, nullptr);
    Guarda(AlumForm, "13-alumnos-con-grupos");

    // "&Ir a ...", "Listados de alumnos" (two up from the bottom): the
    // options as they come, the preview, printed through the print dialog to
    // the PDF printer.
    const fs::path impresos = Maquina.DriveC() / "impresos";
    auto* pdf = new TPdfPrinter(impresos.string());
    TPrinterOverride impresora{std::unique_ptr<TPrinter>(pdf)};
    Pulsa(F->BIrA);
    Ui.Then([&] { PlayKeys(Ui, "{Up}{Up}{Enter}"); });
    std::string opciones;
    Luego([&](TCustomForm* D) {
        Guarda(D, "14-configurar-listado");
        opciones = D->Caption();
        Ui.Click(D, "BOK");
    });
    int paginas = 0;
    Luego([&](TCustomForm* V) {
        auto* vista = dynamic_cast<TReportPreviewForm*>(V);
        ASSERT_NE(vista, nullptr) << V->Caption();
        paginas = vista->Report()->PageCount();
        Guarda(V, "15-vista-del-listado");
        Ui.Click(V, "Print");
    });
    Luego([&](TCustomForm* D) {
        Guarda(D, "16-imprimir");
        Ui.Click(D, "OK");
    });
    Responde();  // where the file went
    Luego([&](TCustomForm*) { Ui.Key(VK_ESCAPE); });
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.StepsLeft(), 0u);
    EXPECT_EQ(opciones, "Configurar listado");
    EXPECT_EQ(estado.Paso, PasoListados);
    ASSERT_EQ(Mensajes.size(), 2u);
    ASSERT_GT(paginas, 0);
    ASSERT_EQ(pdf->LastFileName(), (impresos / "Listado de alumnos.pdf").string());

    // The students' table as we and another reader read it: the name typed,
    // the new line in the course, the line moved and brought back.
    {
        TTempTable t = NewTempTable("C:\\ZELMOR\\ejemplo", "alum");
        FilterEqual(*t, "EXPED", exped);
        t->Open();
        ASSERT_EQ(t->RecordCount(), 1);
        EXPECT_EQ(t->FieldByName("NOMBRE")->AsString(), "Abad Zorrilla, Ana");
    }
    {
        TTempTable t = NewTempTable("C:\\ZELMOR\\ejemplo", "alum");
        FilterEqual(*t, "NOMBRE", "Nuevo Alumno, Uno");
        t->Open();
        ASSERT_EQ(t->RecordCount(), 1);
        EXPECT_EQ(t->FieldByName("TNC")->AsString(), "DESO4");
    }
    {
        TTempTable t = NewTempTable("C:\\ZELMOR\\ejemplo", "alum");
        FilterEqual(*t, "EXPED", movido);
        t->Open();
        EXPECT_EQ(t->RecordCount(), 1) << "moved out and brought back once";
    }

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
        std::ofstream(Maquina.Root() / "campo.py") << LectorCampo;
        auto lee = [&](const fs::path& Dbf, const char* Campo) {
            std::string suyo;
            EXPECT_EQ(RunCommand(python + " '" + (Maquina.Root() / "campo.py").string() + "' '" +
                                     Dbf.string() + "' " + Campo,
                                 suyo),
                      0);
            std::map<std::string, std::string> leidos;
            std::istringstream lineas(suyo);
            for (std::string l; std::getline(lineas, l);)
                leidos.emplace(l.substr(0, l.find('\t')), l.substr(l.find('\t') + 1));
            return leidos;
        };
        EXPECT_EQ(lee(qtemp / "ALUMNOST.DBF", "GRUPO"), exportados);
        // The students typed in the grid, as the other reader reads them.
        const std::map<std::string, std::string> nombres = lee(Programa / "ejemplo" / "alum.dbf", "NOMBRE");
        EXPECT_EQ(nombres.at(exped), "Abad Zorrilla, Ana");
        EXPECT_EQ(nombres.at(""), "Nuevo Alumno, Uno") << "the one student without an EXPED";
    }

    // The printed listing, as a PDF reader reads it: the names of the
    // course's students in the course key's order, the ones typed in the
    // grid among them.
    if (PdfToTextInstalled() || OutsideToolsRequired()) {
        ASSERT_TRUE(PdfToTextInstalled())
            << "pdftotext (poppler-utils) is missing, and the test command installs it";
        std::vector<std::vector<TPdfWord>> hojas;
        ASSERT_TRUE(ReadPdfWords(pdf->LastFileName(), hojas));
        EXPECT_EQ(static_cast<int>(hojas.size()), paginas);
        std::vector<std::string> impresas = NombresImpresos(hojas);
        // The course's students as the whole table gives them on the course
        // key's tag.
        std::vector<std::string> delCurso;
        {
            TTempTable t = OpenTempTable("C:\\ZELMOR\\ejemplo", "alum", "TNC");
            for (t->First(); !t->Eof(); t->Next())
                if (t->FieldByName("TNC")->AsString() == "DESO4")
                    delCurso.push_back(PorPalabras(ToUtf8(t->FieldByName("NOMBRE")->AsString())));
        }
        ASSERT_FALSE(delCurso.empty());
        EXPECT_EQ(impresas, delCurso);
        EXPECT_EQ(std::count(impresas.begin(), impresas.end(), "Abad Zorrilla, Ana"), 1);
        EXPECT_EQ(std::count(impresas.begin(), impresas.end(), "Nuevo Alumno, Uno"), 1);
    }

    // "&Salir": the program ends.
    Pulsa(F->BSalir);
    Ui.RunUntilIdle();
    EXPECT_TRUE(Application->Terminated());
}
