// The printer: the job state machine and its refusals, pages by formula on
// the recording printer, the page size by orientation, fonts at the printer's
// resolution, and the PDF file printer with its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Paths.h"

namespace fs = std::filesystem;

namespace {

// 30 dots per inch keeps the pages small: A4 is 248 by 351 pixels.
constexpr int TestPpi = 30;

struct TTempFolder {
    fs::path Path;
    TTempFolder() {
        char tmpl[] = "/tmp/zelmor-print-XXXXXX";
        if (::mkdtemp(tmpl)) Path = tmpl;
    }
    ~TTempFolder() { fs::remove_all(Path); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Path)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string ReadFile(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Page i of a job carries one black band across the page, rows 10 i .. 10 i + 4.
void DrawBand(TPrinter& P, int Page) {
    P.Canvas()->Brush()->SetColor(clBlack);
    P.Canvas()->FillRect(TRect{0, 10 * Page, P.PageWidth(), 10 * Page + 5});
}

// The rows of a page that are not white, and whether every such row is black from edge to edge.
std::vector<int> MarkedRows(const TSurface& Page, bool& WholeRows) {
    std::vector<int> rows;
    WholeRows = true;
    for (int y = 0; y < Page.Height(); ++y) {
        int black = 0, other = 0;
        for (int x = 0; x < Page.Width(); ++x) {
            uint32_t p = Page.GetPixel(x, y);
            if (p == 0) ++black;
            else if (p != 0xFFFFFF) ++other;
        }
        if (black || other) rows.push_back(y);
        if (other || (black && black != Page.Width())) WholeRows = false;
    }
    return rows;
}

std::vector<int> Band(int Page) {
    return {10 * Page, 10 * Page + 1, 10 * Page + 2, 10 * Page + 3, 10 * Page + 4};
}

}  // namespace

TEST(Printer, PageIsA4AtThePrinterResolutionAndLandscapeSwapsItsSides) {
    struct TCase {
        int Ppi;
        TPrinterOrientation Orientation;
        int Width, Height;
    } cases[] = {
        {PrinterPixelsPerInch, poPortrait, 2480, 3508},
        {PrinterPixelsPerInch, poLandscape, 3508, 2480},
        {TestPpi, poPortrait, 248, 351},
        {TestPpi, poLandscape, 351, 248},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Ppi << " dpi, orientation " << int(c.Orientation));
        TRecordingPrinter p(c.Ppi);
        p.SetOrientation(c.Orientation);
        EXPECT_EQ(p.Orientation(), c.Orientation);
        EXPECT_EQ(p.PixelsPerInch(), c.Ppi);
        EXPECT_EQ(p.Canvas()->PixelsPerInch(), c.Ppi);
        EXPECT_EQ(p.PageWidth(), c.Width);
        EXPECT_EQ(p.PageHeight(), c.Height);
        if (c.Ppi != TestPpi) continue;  // full-size pages are not worth allocating here
        p.BeginDoc();
        p.NewPage();
        p.EndDoc();
        ASSERT_EQ(p.Documents().size(), 1u);
        for (const TSurface& page : p.Documents()[0].Pages) {
            EXPECT_EQ(page.Width(), c.Width);
            EXPECT_EQ(page.Height(), c.Height);
        }
    }
}

TEST(Printer, CallsInTheWrongStateAreRefusedAndChangeNothing) {
    using TStep = std::function<void(TPrinter&)>;
    const char* notPrinting = "Printer is not currently printing";
    const char* printing = "Printing in progress";
    auto nothing = [](TPrinter&) {};
    auto begin = [](TPrinter& p) { p.BeginDoc(); };
    struct TCase {
        const char* Name;
        TStep Setup, Call;
        const char* Message;
    } cases[] = {
        {"NewPage without a job", nothing, [](TPrinter& p) { p.NewPage(); }, notPrinting},
        {"EndDoc without a job", nothing, [](TPrinter& p) { p.EndDoc(); }, notPrinting},
        {"Abort without a job", nothing, [](TPrinter& p) { p.Abort(); }, notPrinting},
        {"EndDoc after Abort",
         [](TPrinter& p) {
             p.BeginDoc();
             p.Abort();
         },
         [](TPrinter& p) { p.EndDoc(); }, notPrinting},
        {"NewPage after EndDoc",
         [](TPrinter& p) {
             p.BeginDoc();
             p.EndDoc();
         },
         [](TPrinter& p) { p.NewPage(); }, notPrinting},
        {"BeginDoc twice", begin, [](TPrinter& p) { p.BeginDoc(); }, printing},
        {"orientation during a job", begin, [](TPrinter& p) { p.SetOrientation(poLandscape); }, printing},
        {"printer index during a job", begin, [](TPrinter& p) { p.SetPrinterIndex(0); }, printing},
        {"a printer that is not there", nothing, [](TPrinter& p) { p.SetPrinterIndex(1); },
         "Printer selected is not valid"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingPrinter p(TestPpi);
        c.Setup(p);
        bool wasPrinting = p.Printing();
        int page = p.PageNumber();
        try {
            c.Call(p);
            ADD_FAILURE() << "no exception";
        } catch (const EPrinter& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_EQ(p.Printing(), wasPrinting);
        EXPECT_EQ(p.PageNumber(), page);
        EXPECT_EQ(p.Orientation(), poPortrait);
    }
}

TEST(Printer, JobHandsOnEveryPageWithWhatWasDrawnOnIt) {
    TRecordingPrinter p(TestPpi);
    p.SetTitle("Listado");
    EXPECT_FALSE(p.Printing());
    EXPECT_EQ(p.PageNumber(), 0);
    p.BeginDoc();
    p.SetTitle("Otro");  // the job keeps the title it began with
    EXPECT_TRUE(p.Printing());
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) p.NewPage();
        EXPECT_EQ(p.PageNumber(), page);
        DrawBand(p, page);
    }
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    EXPECT_FALSE(p.Aborted());
    EXPECT_EQ(p.PageNumber(), 0);
    EXPECT_EQ(p.Canvas()->Surface(), nullptr);

    ASSERT_EQ(p.Documents().size(), 1u);
    const auto& doc = p.Documents()[0];
    EXPECT_EQ(doc.Title, "Listado");
    ASSERT_EQ(doc.Pages.size(), 3u);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        bool whole = false;
        EXPECT_EQ(MarkedRows(doc.Pages[size_t(page - 1)], whole), Band(page));
        EXPECT_TRUE(whole);
    }
}

TEST(Printer, AbortDropsTheJobAndStaysReportedUntilTheNextOne) {
    TRecordingPrinter p(TestPpi);
    p.BeginDoc();
    DrawBand(p, 1);
    p.NewPage();
    DrawBand(p, 2);
    p.Abort();
    EXPECT_FALSE(p.Printing());
    EXPECT_TRUE(p.Aborted());
    EXPECT_EQ(p.PageNumber(), 0);
    EXPECT_TRUE(p.Documents().empty());

    // The next job starts clean: a job with nothing drawn is one blank page.
    p.BeginDoc();
    EXPECT_FALSE(p.Aborted());
    p.EndDoc();
    ASSERT_EQ(p.Documents().size(), 1u);
    ASSERT_EQ(p.Documents()[0].Pages.size(), 1u);
    bool whole = false;
    EXPECT_TRUE(MarkedRows(p.Documents()[0].Pages[0], whole).empty());
}

TEST(Printer, CanvasKeepsItsToolsAcrossPagesAndStartsEachJobOnAFreshDevice) {
    TRecordingPrinter p(TestPpi);
    TCanvas& c = *p.Canvas();
    p.BeginDoc();
    c.Font()->SetName("Times New Roman");
    c.Pen()->SetWidth(3);
    c.SetMapMode(MM_ANISOTROPIC);
    c.SetTextColor(clRed);
    p.NewPage();
    EXPECT_EQ(c.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(c.Pen()->Width(), 3);
    EXPECT_EQ(c.GetTextColor(), ColorToRGB(c.Font()->Color()));  // a new page selects the font again
    p.EndDoc();
    p.BeginDoc();
    EXPECT_EQ(c.GetMapMode(), MM_TEXT);
    EXPECT_EQ(c.Font()->Name(), "Times New Roman");
    EXPECT_EQ(c.Pen()->Width(), 3);
    p.Abort();
}

TEST(Printer, FontsGivenToTheCanvasKeepTheirPoints) {
    struct TCase {
        int ScreenHeight;  // pixels at 96 dots per inch
        int Size, PrinterHeight;
    } cases[] = {
        {-13, 10, -42},
        {-42, 32, -133},  // as high in pixels as the line above: still rescaled
        {-16, 12, -50},
    };
    TRecordingPrinter p(PrinterPixelsPerInch);
    TBitmap screen(10, 10);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.ScreenHeight);
        TFont f;
        f.SetName("Arial");
        f.SetHeight(c.ScreenHeight);
        p.Canvas()->SetFont(&f);
        const TFont& pf = *p.Canvas()->Font();
        EXPECT_EQ(pf.PixelsPerInch(), PrinterPixelsPerInch);
        EXPECT_EQ(pf.Size(), c.Size);
        EXPECT_EQ(pf.Height(), c.PrinterHeight);
        screen.Canvas()->SetFont(&f);
        EXPECT_EQ(screen.Canvas()->Font()->Height(), c.ScreenHeight);  // the screen keeps its pixels
        int onScreen = screen.Canvas()->TextHeight("Wy"), onPaper = p.Canvas()->TextHeight("Wy");
        EXPECT_NEAR(onPaper, onScreen * 300.0 / 96.0, onScreen * 0.6);
    }
    p.Canvas()->Font()->SetSize(10);
    EXPECT_EQ(p.Canvas()->Font()->Height(), -42);
}

TEST(Printer, ThePrinterOfTheProcessCanBeReplaced) {
    TPrinter* standard = Printer();
    auto* pdf = dynamic_cast<TPdfPrinter*>(standard);
    ASSERT_NE(pdf, nullptr);
    EXPECT_EQ(pdf->Folder(), UserFolder());
    EXPECT_EQ(standard->PixelsPerInch(), 300);
    EXPECT_EQ(standard->Printers()->Count(), 1);
    EXPECT_EQ(standard->PrinterIndex(), 0);
    standard->SetPrinterIndex(-1);  // the default printer: this one
    {
        auto recording = std::make_unique<TRecordingPrinter>(TestPpi);
        TRecordingPrinter* installed = recording.get();
        TPrinterOverride use(std::move(recording));
        EXPECT_EQ(Printer(), installed);
        Printer()->BeginDoc();
        Printer()->EndDoc();
        EXPECT_EQ(installed->Documents().size(), 1u);
    }
    EXPECT_EQ(Printer(), standard);
}

// --- the PDF file printer ---
namespace {

// The numbers that follow each occurrence of Key, as far as a "]" or ">>".
std::vector<std::vector<double>> NumbersAfter(const std::string& Pdf, const std::string& Key) {
    std::vector<std::vector<double>> found;
    for (size_t at = Pdf.find(Key); at != std::string::npos; at = Pdf.find(Key, at + 1)) {
        size_t end = std::min(Pdf.find(']', at), Pdf.find(">>", at));
        std::string rest = Pdf.substr(at + Key.size(), end - at - Key.size());
        std::replace(rest.begin(), rest.end(), '[', ' ');
        std::istringstream in(rest);
        std::vector<double> numbers;
        for (double d; in >> d;) numbers.push_back(d);
        found.push_back(numbers);
    }
    return found;
}

// The page tree's count: cairo writes one tree, so one /Count.
int PageCount(const std::string& Pdf) {
    auto counts = NumbersAfter(Pdf, "/Count ");
    return counts.size() == 1 && counts[0].size() == 1 ? int(counts[0][0]) : -1;
}

}  // namespace

TEST(PdfPrinter, WritesEveryPageOfAJobIntoOneFileNamedAfterItsTitle) {
    struct TCase {
        TPrinterOrientation Orientation;
        int Pages;
        double WidthPt, HeightPt;  // the page in points: pixels times 72 / 30
    } cases[] = {
        {poPortrait, 3, 595.2, 842.4},
        {poLandscape, 1, 842.4, 595.2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pages);
        TTempFolder folder;
        TPdfPrinter p(folder.Path.string(), TestPpi);
        p.SetTitle("Listado de alumnos de 1\xBA A");
        p.SetOrientation(c.Orientation);
        p.BeginDoc();
        for (int page = 1; page <= c.Pages; ++page) {
            if (page > 1) p.NewPage();
            DrawBand(p, page);
        }
        EXPECT_TRUE(folder.Names().size() <= 1u);  // no final file while the job runs
        EXPECT_FALSE(fs::exists(folder.Path / "Listado de alumnos de 1\xC2\xBA A.pdf"));
        p.EndDoc();

        fs::path file = folder.Path / "Listado de alumnos de 1\xC2\xBA A.pdf";
        EXPECT_EQ(p.LastFileName(), file.string());
        EXPECT_EQ(folder.Names(), std::vector<std::string>{file.filename().string()});
        std::string pdf = ReadFile(file);
        EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
        EXPECT_EQ(PageCount(pdf), c.Pages);
        auto boxes = NumbersAfter(pdf, "/MediaBox");
        ASSERT_FALSE(boxes.empty());
        for (const auto& box : boxes) {
            ASSERT_EQ(box.size(), 4u);
            EXPECT_NEAR(box[2] - box[0], c.WidthPt, 0.01);
            EXPECT_NEAR(box[3] - box[1], c.HeightPt, 0.01);
        }
    }
}

TEST(PdfPrinter, FileNameIsTheTitleMadeSafe) {
    struct TCase {
        AnsiString Title;
        std::string Name;
    } cases[] = {
        {"Listado de alumnos de 1A", "Listado de alumnos de 1A.pdf"},
        {"Grupos: 1A/1B \\ \"otros\" <x>|?*", "Grupos_ 1A_1B _ _otros_ _x____.pdf"},
        {"Divisi\xF3n\t1", "Divisi\xC3\xB3n_1.pdf"},
        {" ..oculto. ", "oculto.pdf"},
        {"", "Zelmor.pdf"},
        {"...", "Zelmor.pdf"},
        {AnsiString(150, 'x'), std::string(100, 'x') + ".pdf"},
    };
    TPdfPrinter p("/srv/listados", TestPpi);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Title);
        EXPECT_EQ(p.FileNameFor(c.Title), "/srv/listados/" + c.Name);
    }
    // The names a title's later jobs take.
    EXPECT_EQ(p.FileNameFor("Informe", 2), "/srv/listados/Informe 2.pdf");
    EXPECT_EQ(p.FileNameFor(" ..", 12), "/srv/listados/Zelmor 12.pdf");
    EXPECT_EQ(p.FileNameFor(AnsiString(150, 'x'), 3), "/srv/listados/" + std::string(100, 'x') + " 3.pdf");
}

TEST(PdfPrinter, EachJobKeepsTheFilesOfTheJobsBeforeIt) {
    TTempFolder folder;
    std::ofstream(folder.Path / "Informe 2.pdf") << "otro programa";
    fs::create_directories(folder.Path / "Informe 4.pdf");
    TPdfPrinter p(folder.Path.string(), TestPpi);
    p.SetTitle("Informe");
    std::vector<std::string> files;
    for (int pages = 1; pages <= 3; ++pages) {
        p.BeginDoc();
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) p.NewPage();
            DrawBand(p, page);
        }
        p.EndDoc();
        files.push_back(fs::path(p.LastFileName()).filename().string());
    }
    EXPECT_EQ(files, (std::vector<std::string>{"Informe.pdf", "Informe 3.pdf", "Informe 5.pdf"}));
    EXPECT_EQ(PageCount(ReadFile(folder.Path / "Informe.pdf")), 1);
    EXPECT_EQ(PageCount(ReadFile(folder.Path / "Informe 3.pdf")), 2);
    EXPECT_EQ(PageCount(ReadFile(folder.Path / "Informe 5.pdf")), 3);
    EXPECT_TRUE(ReadFile(folder.Path / "Informe 2.pdf") == "otro programa")
        << "another program's file is kept";
    EXPECT_TRUE(fs::is_directory(folder.Path / "Informe 4.pdf"));
}

TEST(PdfPrinter, AFolderThatCannotBeWrittenRaisesAtBeginDocAndLeavesNothing) {
    TTempFolder folder;
    std::ofstream(folder.Path / "datos") << "not a folder";
    std::string blocked = (folder.Path / "datos" / "listados").string();
    TPdfPrinter p(blocked, TestPpi);
    p.SetTitle("Informe");
    try {
        p.BeginDoc();
        ADD_FAILURE() << "no exception";
    } catch (const EFCreateError& e) {
        // In Spanish, the file by its Windows path.
        EXPECT_EQ(e.Message(), "No se puede crear el archivo " + UnmapPath(blocked + "/Informe.pdf") +
                                   " (una parte de la ruta no es una carpeta)");
    }
    EXPECT_FALSE(p.Printing());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"datos"});
    EXPECT_THROW(p.EndDoc(), EPrinter);
}

TEST(PdfPrinter, AFailedOrAbortedJobKeepsTheEarlierFileAndLeavesNoPartialOne) {
    TTempFolder folder;
    TPdfPrinter p(folder.Path.string(), TestPpi);
    p.SetTitle("Informe");
    p.BeginDoc();
    p.EndDoc();
    fs::path file = folder.Path / "Informe.pdf";
    std::string first = ReadFile(file);
    ASSERT_EQ(PageCount(first), 1);

    p.BeginDoc();
    DrawBand(p, 1);
    p.NewPage();
    p.Abort();
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Informe.pdf"});
    EXPECT_EQ(ReadFile(file), first);

    // A job whose file cannot take its place (its folder went while it ran)
    // fails at EndDoc, as a whole.
    const fs::path gone = folder.Path / "ida";
    TPdfPrinter q(gone.string(), TestPpi);
    q.SetTitle("Bloqueado");
    q.BeginDoc();
    q.NewPage();
    fs::remove_all(gone);
    try {
        q.EndDoc();
        ADD_FAILURE() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "No se puede escribir el archivo " +
                                   UnmapPath((gone / "Bloqueado.pdf").string()) +
                                   " (la carpeta o el fichero no existe)");
    }
    EXPECT_FALSE(q.Printing());
    EXPECT_EQ(q.LastFileName(), "");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Informe.pdf"});
    EXPECT_EQ(p.LastFileName(), file.string());
}
