// The student listing (step 24) driven as a user drives it: the menu item,
// the options dialog answered by clicks and keys, the print preview paged by
// keys and printed through the print dialog. The pages are checked against
// the students the options name, on the sample school and on a generated
// school of thousands, and the printed PDF is read back with pdftotext.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "ScreensFixture.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/gfx/Printers.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/Listado.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Listados.h"
#include "shell/forms/SelecListados.h"
#include "tests/support/PdfText.h"
#include "tests/support/ReferencePicture.h"
#include "tools/SampleSchool.h"

namespace fs = std::filesystem;

namespace {

// A student of the listed course as the fixture left it, in record order
// (the order of the course key's tag within one course).
struct TAlumnoCurso {
    AnsiString Nombre, Grupo;
    std::vector<AnsiString> Asig, Div;  // the 20 slots
    bool Tiene(const AnsiString& A, const AnsiString& D = {}) const {
        for (size_t i = 0; i < Asig.size(); ++i)
            if (Asig[i] == A && (D.empty() || Div[i] == D)) return true;
        return false;
    }
    AnsiString Asignaturas() const {
        AnsiString t;
        for (const AnsiString& a : Asig)
            if (!a.empty()) t += (t.empty() ? "" : ", ") + a;
        return t.substr(0, 100);
    }
};

// A printed line of the detail band.
struct TLineaListado {
    int Pagina;
    double Arriba;
    AnsiString Numero, Grupo, Nombre, Asignaturas;
    double FinAsignaturas = 0;  // right edge of the subjects' run, mm from the paper's edge
};

// The columns' left edges on the paper: the 10 mm margin and the band's places.
constexpr double ColNumero = 10.0, ColGrupo = 20.6, ColNombre = 35.4, ColAsignaturas = 103.1;
constexpr double PrimeraLinea = 10.0 + 22.0;  // below the title band on the first page

std::vector<TLineaListado> Lineas(const TReport& R) {
    std::vector<TLineaListado> v;
    for (int p = 0; p < R.PageCount(); ++p) {
        std::map<long, TLineaListado> porArriba;
        for (const TReportTextRun& run : R.Pages(p).Runs) {
            if (p == 0 && run.Top < PrimeraLinea) continue;  // the title band
            TLineaListado& l = porArriba[std::lround(run.Top * 100)];
            l.Pagina = p;
            l.Arriba = run.Top;
            if (std::fabs(run.Left - ColNumero) < 0.01) l.Numero = run.Text;
            else if (std::fabs(run.Left - ColGrupo) < 0.01) l.Grupo = run.Text;
            else if (std::fabs(run.Left - ColNombre) < 0.01) l.Nombre = run.Text;
            else if (std::fabs(run.Left - ColAsignaturas) < 0.01) {
                l.Asignaturas = run.Text;
                l.FinAsignaturas = run.Left + run.Width;
            } else ADD_FAILURE() << "a text at " << run.Left << " mm: " << run.Text;
        }
        for (auto& [arriba, l] : porArriba) v.push_back(l);
    }
    return v;
}

struct TCaso {
    const char* Que;
    bool Mostrar;
    // "@" stands for an optional subject of the course, "@l" for it in lower case.
    const char *Grupo, *Asig, *Div;
    const char* Titulo;  // after "Listado de alumnos de <course>"
    std::function<bool(const TAlumnoCurso&, const AnsiString& Asig)> Entra;
    bool Parte;  // some of the course's students, not none nor all
};

const std::vector<TCaso>& Casos() {
    static const std::vector<TCaso> casos = {
        {"everyone", true, "", "", "", "", [](auto&, auto&) { return true; }, false},
        {"subjects hidden", false, "", "", "", "", [](auto&, auto&) { return true; }, false},
        {"a group", true, "B", "", "", " del grupo B", [](auto& a, auto&) { return a.Grupo == "B"; }, true},
        {"a group, a division without subject", true, "A", "", "1", " del grupo A",
         [](auto& a, auto&) { return a.Grupo == "A"; }, true},
        {"a group in lower case", true, "b", "", "", " del grupo b", [](auto&, auto&) { return false; },
         false},
        {"a group with a trailing blank", true, "B ", "", "", " del grupo B ",
         [](auto&, auto&) { return false; }, false},
        {"a subject", true, "", "@", "", " con la asignatura @", [](auto& a, auto& s) { return a.Tiene(s); },
         true},
        {"a subject in lower case", true, "", "@l", "", " con la asignatura @l",
         [](auto&, auto&) { return false; }, false},
        {"a subject and a division", true, "", "@", "2", " con la asignatura @ divisi\xF3n 2",
         [](auto& a, auto& s) { return a.Tiene(s, "2"); }, true},
        {"a group, a subject and a division, subjects hidden", false, "C", "@", "1",
         " del grupo C con la asignatura @ divisi\xF3n 1",
         [](auto& a, auto& s) { return a.Grupo == "C" && a.Tiene(s, "1"); }, true},
    };
    return casos;
}

AnsiString Sustituye(AnsiString Texto, const AnsiString& Asig) {
    const AnsiString minus = LowerCase(Asig);
    for (size_t at; (at = Texto.find("@l")) != AnsiString::npos;) Texto.replace(at, 2, minus);
    for (size_t at; (at = Texto.find('@')) != AnsiString::npos;) Texto.replace(at, 1, Asig);
    return Texto;
}

class Listado : public ScreensFixture {
protected:
    // The sample school open as the data folder, the main window up.
    void AbreEjemplo() {
        PonEjemplo();
        Abre("ejemplo");
    }
    // A generated school of Alumnos students open as the data folder.
    void AbreGenerada(int Alumnos) {
        const TEscuelaEjemplo e = GeneraEscuela(SemillaEjemplo, Alumnos);
        EscribeIntercambio(e.Intercambio, "C:\\GENERADA");
        PreparaCarpetaDatos(e, "C:\\GENERADA", "C:\\ZELMOR\\grande\\");
        Abre("grande");
    }
    void Abre(const AnsiString& Carpeta) {
        F = AbrePrincipal();
        ASSERT_EQ(SeleccionaCarpeta(F->Estado(), Carpeta, PreguntaConversion), TApertura::Actual);
    }

    // The largest course, selected; its students get groups A to D and
    // divisions 1 to 3 (as placing would give them), one is annulled, one
    // holds 20 subjects of four letters and one has an empty first slot.
    void SeleccionaCurso() {
        std::map<AnsiString, int> porCurso;
        {
            TTempTable t = OpenTempTable(NombreBaseDatos, "alum");
            for (t->First(); !t->Eof(); t->Next()) ++porCurso[t->FieldByName("TNC")->AsString()];
        }
        TNC = std::max_element(porCurso.begin(), porCurso.end(), [](auto& a, auto& b) {
                  return a.second < b.second;
              })->first;
        F->Estado().TNCSeleccionado = TNC;
        const auto asig = Numerados("ASIG", HuecosAsignatura), div = Numerados("DIV", HuecosAsignatura);
        TTempTable t = OpenTempTable(NombreBaseDatos, "alum");
        FiltraPorCurso(*t, TNC);
        int i = 0;
        for (t->First(); !t->Eof(); t->Next(), ++i) {
            TAlumnoCurso a;
            a.Nombre = t->FieldByName("NOMBRE")->AsString();
            a.Grupo = AnsiString(1, static_cast<char>('A' + (i * 5 + i / 7) % 4));
            t->Edit();
            t->FieldByName("GRUPO")->SetAsString(a.Grupo);
            t->FieldByName("ANULAR")->SetAsBoolean(i == 3);
            for (int n = 0; n < HuecosAsignatura; ++n) {
                AnsiString s = t->FieldByName(asig[size_t(n)])->AsString();
                if (i == 5) s = "L" + IntToStr(101 + n);
                if (i == 6 && n == 0) s.clear();
                AnsiString d = s.empty() ? AnsiString() : AnsiString(1, static_cast<char>('1' + (i + n) % 3));
                t->FieldByName(asig[size_t(n)])->SetAsString(s);
                t->FieldByName(div[size_t(n)])->SetAsString(d);
                a.Asig.push_back(s);
                a.Div.push_back(d);
            }
            t->Post();
            Alumnos.push_back(a);
        }
        // The subject that most students of the course take, but not all.
        std::map<AnsiString, int> cuantos;
        for (const auto& a : Alumnos)
            for (const auto& s : std::set<AnsiString>(a.Asig.begin(), a.Asig.end())) ++cuantos[s];
        int mejor = 0;
        for (const auto& [s, c] : cuantos)
            if (!s.empty() && c < static_cast<int>(Alumnos.size()) && c > mejor) {
                mejor = c;
                Optativa = s;
            }
        ASSERT_FALSE(Optativa.empty());
    }

    // Answers the options dialog as a user does: the box ticked or not, the
    // three texts typed, OK.
    void Opciones(bool Mostrar, const AnsiString& Grupo, const AnsiString& Asig, const AnsiString& Div) {
        Luego([=, this](TCustomForm* D) {
            auto* S = dynamic_cast<TSelecListadosForm*>(D);
            ASSERT_TRUE(S) << D->Caption();
            if (S->CBMostrarAsig->Checked() != Mostrar) Ui.Click(S->CBMostrarAsig);
            const std::pair<TEdit*, AnsiString> textos[] = {
                {S->EditGrup, Grupo}, {S->EditAsig, Asig}, {S->EditDiv, Div}};
            for (const auto& [edit, texto] : textos)
                if (!texto.empty()) {
                    Ui.Click(edit);
                    Ui.Type(texto);
                }
            Ui.Click(S->BOK);
        });
    }
    // The preview in front: Paso looks at it, then Escape closes it.
    void EnLaVista(std::function<void(TReportPreviewForm*)> Paso = {}) {
        Luego([=, this](TCustomForm* D) {
            auto* V = dynamic_cast<TReportPreviewForm*>(D);
            ASSERT_TRUE(V) << D->Caption();
            if (Paso) Paso(V);
            Ui.Key(VK_ESCAPE);
        });
    }
    // "Listados de alumnos" from the step menu; the script runs inside.
    void PideListado() {
        F->ListadosAlumnos->Click();
        Ui.RunUntilIdle();
        EXPECT_EQ(Ui.StepsLeft(), 0u);
    }

    // Every case of the table on the selected course.
    void CompruebaCasos() {
        for (const TCaso& c : Casos()) {
            SCOPED_TRACE(c.Que);
            const AnsiString grupo = Sustituye(c.Grupo, Optativa), asig = Sustituye(c.Asig, Optativa),
                             div = Sustituye(c.Div, Optativa);
            Opciones(c.Mostrar, grupo, asig, div);
            int arribaVista = -1;
            EnLaVista([&](TReportPreviewForm* V) { arribaVista = V->Top(); });
            PideListado();
            ASSERT_TRUE(ListadosForm);
            EXPECT_EQ(arribaVista, 61) << "the preview lies below the main window's strip";
            EXPECT_EQ(ListadoGrupo, grupo);
            EXPECT_EQ(ListadoAsig, asig);
            EXPECT_EQ(ListadoDiv, div);
            EXPECT_EQ(ListadoMostrarAsig, c.Mostrar);
            TReport* R = ListadosForm->QR;
            EXPECT_EQ(ListadosForm->LabelTitulo->Caption(),
                      "Listado de alumnos de " + TNC + Sustituye(c.Titulo, Optativa));

            std::vector<const TAlumnoCurso*> esperados;
            for (const auto& a : Alumnos)
                if (c.Entra(a, Optativa)) esperados.push_back(&a);
            if (c.Parte) {
                EXPECT_GT(esperados.size(), 0u);
                EXPECT_LT(esperados.size(), Alumnos.size());
            }
            const std::vector<TLineaListado> lineas = Lineas(*R);
            if (esperados.size() == Alumnos.size()) PaginasTodos = R->PageCount();
            ASSERT_EQ(lineas.size(), esperados.size());
            EXPECT_EQ(R->DetailCount(), static_cast<int>(esperados.size()));
            for (size_t i = 0; i < lineas.size(); ++i) {
                const TLineaListado& l = lineas[i];
                const TAlumnoCurso& a = *esperados[i];
                ASSERT_EQ(l.Numero, IntToStr(static_cast<int>(i) + 1)) << "page " << l.Pagina + 1;
                ASSERT_EQ(l.Nombre, a.Nombre) << "line " << i + 1;
                EXPECT_EQ(l.Grupo, a.Grupo) << a.Nombre;
                const AnsiString asigs = c.Mostrar ? a.Asignaturas() : AnsiString();
                // The subjects column ends at the right margin: a longer text
                // is cut there, never printed past it.
                EXPECT_LE(l.FinAsignaturas, 200.0 + 1e-9) << a.Nombre;
                EXPECT_EQ(asigs.substr(0, l.Asignaturas.size()), l.Asignaturas) << a.Nombre;
                if (asigs.size() < 40) {
                    EXPECT_EQ(l.Asignaturas, asigs) << a.Nombre;
                }
            }
        }
    }

    TControlaForm* F = nullptr;
    AnsiString TNC, Optativa;
    std::vector<TAlumnoCurso> Alumnos;
    int PaginasTodos = 0;  // pages of the listing of the whole course
};

TEST_F(Listado, EachCombinationOfOptionsListsItsStudentsOnTheSampleSchool) {
    AbreEjemplo();
    SeleccionaCurso();
    ASSERT_EQ(TNC, "DESO4");
    CompruebaCasos();

    // The student of twenty subjects: the text is cut at 100 characters, and
    // printed only as far as the right margin; the annulled student is listed.
    const TAlumnoCurso& largo = Alumnos[5];
    Opciones(true, "", "", "");
    EnLaVista();
    PideListado();
    const std::vector<TLineaListado> lineas = Lineas(*ListadosForm->QR);
    ASSERT_EQ(lineas.size(), Alumnos.size());
    TTable* alum = ListadosForm->TAlum;
    ASSERT_TRUE(alum->Locate("NOMBRE", TVariant(largo.Nombre), {}));
    EXPECT_EQ(alum->FieldByName("ASIGS")->AsString(), largo.Asignaturas());
    EXPECT_EQ(alum->FieldByName("ASIGS")->AsString().size(), 100u);
    EXPECT_EQ(lineas[5].Nombre, largo.Nombre);
    EXPECT_GT(lineas[5].Asignaturas.size(), 20u);
    EXPECT_LT(lineas[5].Asignaturas.size(), 100u) << "the room to the right margin holds less";
    EXPECT_EQ(lineas[6].Asignaturas.substr(0, 5), Alumnos[6].Asig[1] + ", ")
        << "no separator before the first";
    EXPECT_EQ(lineas[3].Nombre, Alumnos[3].Nombre);

    Guarda(F, "listado-tira");
    EXPECT_TRUE(MatchesReferencePicture(ListadosForm->QR->PagePicture(0, 96),
                                        ZELMOR_SOURCE_DIR "/tests/shell/reference/listado.png"));
}

TEST_F(Listado, EachCombinationOfOptionsListsItsStudentsOnASchoolOfThousands) {
    AbreGenerada(2400);
    SeleccionaCurso();
    ASSERT_GT(Alumnos.size(), 300u) << "a course of several pages";
    CompruebaCasos();
    EXPECT_GT(PaginasTodos, 5);
}

// The dialog as the user meets it, asked afresh for every listing; the
// listing form lives until the step machine moves on.
TEST_F(Listado, TheOptionsAreAskedAfreshAndTheFormGoesWithTheNextMove) {
    AbreEjemplo();
    F->Estado().TNCSeleccionado = "DESO4";
    Opciones(false, "B", "MAT", "2");
    EnLaVista();
    PideListado();
    for (int vez = 0; vez < 2; ++vez) {
        Luego([&](TCustomForm* D) {
            auto* S = dynamic_cast<TSelecListadosForm*>(D);
            ASSERT_TRUE(S);
            EXPECT_EQ(SelecListadosForm, S);
            EXPECT_EQ(S->Caption(), "Configurar listado");
            EXPECT_EQ(TRect(S->Left(), S->Top(), S->Width(), S->Height()), TRect(187, 249, 434, 166));
            EXPECT_EQ(S->BorderStyle(), bsSizeable);
            EXPECT_EQ(S->HelpContext(), 2010);
            EXPECT_EQ(S->CBMostrarAsig->Caption(), "Mostrar asignaturas");
            EXPECT_TRUE(S->CBMostrarAsig->Checked());
            EXPECT_EQ(S->Label1->Caption(), "Grupo:");
            EXPECT_EQ(S->Label2->Caption(), "con asignatura:");
            EXPECT_EQ(S->Label3->Caption(), "divisi\xF3n:");
            for (TEdit* e : {S->EditGrup, S->EditAsig, S->EditDiv}) EXPECT_EQ(e->Text(), "");
            EXPECT_EQ(S->BOK->Caption(), "OK");
            // Until the next listing the last options stay.
            EXPECT_EQ(ListadoGrupo, vez == 0 ? "B" : "");
            EXPECT_EQ(ListadoMostrarAsig, vez != 0);
            EXPECT_EQ(ListadosForm->LabelTitulo->Caption(), "") << "the title comes after the options";
            Guarda(S, "configurar-listado");
            if (vez == 0) {
                Ui.Click(S->BOK);
                return;
            }
            // The close box after typing: what the dialog shows is taken all the same.
            Ui.Click(S->CBMostrarAsig);
            Ui.Click(S->EditGrup);
            Ui.Type("C");
        });
        if (vez == 1) Luego([](TCustomForm* D) { D->Close(); });
        EnLaVista();
        PideListado();
        EXPECT_EQ(F->Estado().Paso, PasoListados);
        EXPECT_EQ(ListadoGrupo, vez == 0 ? "" : "C");
        EXPECT_EQ(ListadoMostrarAsig, vez == 0);
    }
    // No course selected: the listing still opens, empty, on an empty key.
    F->Estado().TNCSeleccionado.clear();
    Opciones(true, "A", "", "");
    EnLaVista();
    PideListado();
    ASSERT_TRUE(ListadosForm);
    EXPECT_EQ(ListadosForm->LabelTitulo->Caption(), "Listado de alumnos de  del grupo A");
    EXPECT_EQ(ListadosForm->QR->PageCount(), 1);
    EXPECT_EQ(ListadosForm->QR->DetailCount(), 0);

    // The next move frees the listing form, which was never shown.
    EXPECT_FALSE(ListadosForm->Visible());
    F->Estado().TNCSeleccionado = "DESO4";
    F->BSiguienteClick(nullptr);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Estado().Paso, PasoTipos);
    EXPECT_EQ(ListadosForm, nullptr);
    ASSERT_NE(F->PantallaDelPaso(), nullptr);
    EXPECT_EQ(F->PantallaDelPaso()->ClassName(), "TTiposForm");
}

// A listing of several pages: the preview, below the strip, pages through it
// by keys and buttons.
TEST_F(Listado, ThePreviewPagesThroughALongListing) {
    AbreGenerada(2400);
    SeleccionaCurso();
    Opciones(true, "", "", "");
    int paginas = 0;
    std::vector<std::pair<int, AnsiString>> vistas;
    Luego([&](TCustomForm* D) {
        auto* V = dynamic_cast<TReportPreviewForm*>(D);
        ASSERT_TRUE(V);
        paginas = V->Report()->PageCount();
        EXPECT_EQ(V->Top(), 61);
        EXPECT_EQ(V->Top() + V->Height(), Screen->WorkAreaRect().Bottom);
        Guarda(V, "vista-listado");
        Ui.Key(VK_NEXT);
    });
    auto Mira = [&](std::function<void(TReportPreviewForm*)> Luego2) {
        Luego([&, Luego2](TCustomForm* D) {
            auto* V = static_cast<TReportPreviewForm*>(D);
            vistas.emplace_back(V->PageIndex(), Ui.Find(V, "PageLabel")->Caption());
            Luego2(V);
        });
    };
    Mira([&](TReportPreviewForm*) { Ui.Key(VK_END); });
    Mira([&](TReportPreviewForm*) { Ui.Key(VK_NEXT); });
    Mira([&](TReportPreviewForm* V) { Ui.Click(V, "PriorPage"); });
    Mira([&](TReportPreviewForm*) { Ui.Key(VK_HOME); });
    Mira([&](TReportPreviewForm*) { Ui.Key(VK_ESCAPE); });
    PideListado();
    ASSERT_GT(paginas, 3);
    const AnsiString de = " de " + IntToStr(paginas);
    const std::vector<std::pair<int, AnsiString>> esperadas = {
        {1, "P\xE1gina 2" + de},
        {paginas - 1, "P\xE1gina " + IntToStr(paginas) + de},
        {paginas - 1, "P\xE1gina " + IntToStr(paginas) + de},
        {paginas - 2, "P\xE1gina " + IntToStr(paginas - 1) + de},
        {0, "P\xE1gina 1" + de}};
    EXPECT_EQ(vistas, esperadas);
}

// Each job printed from the preview keeps the files of the jobs before it,
// of this run and of earlier ones: it takes the first free name of the
// listing's title, followed by 2, 3 ...; the user is told the file by the
// Windows path the program speaks, and the print dialog names the printer
// in Spanish.
TEST_F(Listado, EachPrintedListingKeepsItsOwnFileAndTheUserIsToldWhichOne) {
    AbreEjemplo();
    F->Estado().TNCSeleccionado = "DESO4";
    const fs::path carpeta = Maquina.DriveC() / "impresos";
    fs::create_directories(carpeta);
    { std::ofstream(carpeta / "Listado de alumnos.pdf") << "de un listado anterior"; }
    TPrinterOverride impresora{std::make_unique<TPdfPrinter>(carpeta.string())};
    std::vector<std::string> impresoras;
    Opciones(true, "", "", "");
    for (int trabajo = 0; trabajo < 2; ++trabajo) {
        Luego([&](TCustomForm* V) { Ui.Click(V, "Print"); });
        Luego([&](TCustomForm* D) {
            impresoras.push_back(static_cast<TComboBox*>(Ui.Find(D, "Printer"))->Text());
            Ui.Click(D, "OK");
        });
        Responde();
    }
    Luego([&](TCustomForm*) { Ui.Key(VK_ESCAPE); });
    PideListado();
    EXPECT_EQ(impresoras, (std::vector<std::string>{"Archivo PDF", "Archivo PDF"}));
    EXPECT_EQ(Mensajes,
              (std::vector<std::string>{
                  "El documento se ha guardado en el archivo\nC:\\impresos\\Listado de alumnos 2.pdf",
                  "El documento se ha guardado en el archivo\nC:\\impresos\\Listado de alumnos 3.pdf"}));
    std::ifstream anterior(carpeta / "Listado de alumnos.pdf");
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(anterior), {}) == "de un listado anterior")
        << "the earlier file is kept";
    for (const char* nombre : {"Listado de alumnos 2.pdf", "Listado de alumnos 3.pdf"})
        EXPECT_GT(fs::file_size(carpeta / nombre), 1000u) << nombre;
}

// Printed from the preview through the print dialog: the PDF's text lists
// the students in order, each text at its millimetre place to a tenth, in
// the faces that stand for Arial and in the listing's point sizes.
TEST_F(Listado, ThePrintedListingIsTextAtItsPlaces) {
    ZELMOR_NEED_TOOL(PdfToTextInstalled(), "pdftotext and pdffonts (poppler-utils)");
    AbreGenerada(2400);
    SeleccionaCurso();
    const fs::path carpeta = Maquina.DriveC() / "impresos";
    auto* pdf = new TPdfPrinter(carpeta.string());
    TPrinterOverride impresora{std::unique_ptr<TPrinter>(pdf)};
    Opciones(true, "", "", "");
    Luego([&](TCustomForm* V) { Ui.Click(V, "Print"); });
    Luego([&](TCustomForm* D) { Ui.Click(D, "OK"); });
    Responde();  // where the file went
    Luego([&](TCustomForm*) { Ui.Key(VK_ESCAPE); });
    PideListado();
    TReport* R = ListadosForm->QR;
    ASSERT_GT(R->PageCount(), 3);
    ASSERT_EQ(pdf->LastFileName(), (carpeta / "Listado de alumnos.pdf").string());

    std::vector<std::vector<TPdfWord>> paginas;
    ASSERT_TRUE(ReadPdfWords(pdf->LastFileName(), paginas));
    ASSERT_EQ(static_cast<int>(paginas.size()), R->PageCount());
    std::vector<std::string> nombres;
    // Height of a word's box per point of its font: one face, one ratio.
    std::map<int, std::vector<double>> altoPorPunto;
    for (int p = 0; p < R->PageCount(); ++p) {
        const auto& palabras = paginas[size_t(p)];
        size_t siguiente = 0;
        for (const TReportTextRun& run : R->Pages(p).Runs) {
            std::istringstream partes(ToUtf8(run.Text));
            std::vector<std::string> esperadas;
            for (std::string w; partes >> w;) esperadas.push_back(w);
            ASSERT_LE(siguiente + esperadas.size(), palabras.size()) << "page " << p + 1;
            for (size_t i = 0; i < esperadas.size(); ++i)
                ASSERT_EQ(palabras[siguiente + i].Text, esperadas[i]) << "page " << p + 1;
            const TPdfWord& primera = palabras[siguiente];
            EXPECT_NEAR(primera.Left, run.Left, 0.1) << "page " << p + 1 << ": " << esperadas[0];
            EXPECT_NEAR(primera.Top, run.Top, 0.1) << "page " << p + 1 << ": " << esperadas[0];
            altoPorPunto[run.Font.Size].push_back((primera.Bottom - primera.Top) / run.Font.Size);
            if (std::fabs(run.Left - ColNombre) < 0.01) {
                std::string n;
                for (size_t i = 0; i < esperadas.size(); ++i) n += (i ? " " : "") + esperadas[i];
                nombres.push_back(n);
            }
            siguiente += esperadas.size();
        }
        EXPECT_EQ(siguiente, palabras.size()) << "page " << p + 1 << " has words the listing did not lay out";
    }
    std::vector<std::string> esperados;
    for (const auto& a : Alumnos) esperados.push_back(ToUtf8(a.Nombre));
    EXPECT_EQ(nombres, esperados);

    // Title 12 pt, heads 10 pt, lines 9 pt, all in the face standing for Arial.
    EXPECT_EQ(altoPorPunto.size(), 3u);
    EXPECT_EQ(altoPorPunto[12].size(), 1u);
    EXPECT_EQ(altoPorPunto[10].size(), 4u);
    const double ratio = altoPorPunto[9].front();
    for (const auto& [puntos, ratios] : altoPorPunto)
        for (double r : ratios) EXPECT_NEAR(r, ratio, 0.03 * ratio) << puntos << " pt";
    std::vector<std::string> caras;
    ASSERT_TRUE(ReadPdfFonts(pdf->LastFileName(), caras));
    std::sort(caras.begin(), caras.end());
    caras.erase(std::unique(caras.begin(), caras.end()), caras.end());
    const AnsiString arial = SubstituteFontName("Arial");
    EXPECT_EQ(arial, "Liberation Sans");
    EXPECT_EQ(caras, (std::vector<std::string>{"LiberationSans", "LiberationSans-Bold"}));
}

}  // namespace
