// The printed report as a PDF reader sees it: text it can search and copy,
// where the layout put it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ReportTestSupport.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Strings.h"
#include "tests/support/OutsideTools.h"

namespace {

struct TPdfWord {
    double Left, Top;  // millimetres from the paper's top-left corner
    std::string Text;  // UTF-8
};

// The words of each page of a PDF as pdftotext finds them, with their boxes.
bool ReadPdfWords(const std::string& File, std::vector<std::vector<TPdfWord>>& Pages) {
    std::string Html = File + ".html", Out;
    if (RunCommand("pdftotext -bbox '" + File + "' '" + Html + "' 2>&1", Out) != 0) return false;
    std::ifstream In(Html);
    std::stringstream All;
    All << In.rdbuf();
    std::string Text = All.str();
    const double Mm = 25.4 / 72;
    // One tag a line: <page ...>, <word xMin="..." yMin="..." xMax="..." yMax="...">text</word>.
    auto Attribute = [](const std::string& Line, const std::string& Name) {
        size_t At = Line.find(Name + "=\"");
        return At == std::string::npos ? 0.0 : std::stod(Line.substr(At + Name.size() + 2));
    };
    std::istringstream Lines(Text);
    for (std::string Line; std::getline(Lines, Line);) {
        if (Line.find("<page ") != std::string::npos) Pages.emplace_back();
        size_t Open = Line.find("<word "), Close = Line.find("</word>");
        if (Open == std::string::npos || Close == std::string::npos || Pages.empty()) continue;
        size_t From = Line.find('>', Open) + 1;
        std::string W = Line.substr(From, Close - From);
        for (auto [Entity, Char] :
             {std::pair<std::string, std::string>{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}})
            for (size_t At; (At = W.find(Entity)) != std::string::npos;) W.replace(At, Entity.size(), Char);
        Pages.back().push_back({Attribute(Line, "xMin") * Mm, Attribute(Line, "yMin") * Mm, W});
    }
    return true;
}

bool PdfToTextInstalled() {
    std::string Out;
    return RunCommand("pdftotext -v 2>&1", Out) == 0;
}

class ReportPdfTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        Folder = Root / "listados";
    }
    std::filesystem::path Folder;
};

// Every text of every page is in the PDF as words: the first word of each
// text starts where the layout put the text, to the tenth of a millimetre
// (its left edge, and the top of its line: the top of the font's ascent).
TEST_F(ReportPdfTest, PrintedTextsAreTextAtTheirPlaces) {
    ZELMOR_NEED_TOOL(PdfToTextInstalled(), "pdftotext (poppler-utils)");
    const int Students = 1000;
    MakeAlum(School(Students));
    TListadoPruebaForm* F = OpenListado();
    F->LabelTitulo->SetCaption("Listado de alumnos de 1\xBA A con la asignatura MAT");
    F->QR->SetReportTitle("Listado de alumnos");
    F->QR->Prepare();
    ASSERT_GT(F->QR->PageCount(), 10);
    TPdfPrinter Printer(Folder.string());
    F->QR->Print(Printer, 1, F->QR->PageCount());
    std::string File = (Folder / "Listado de alumnos.pdf").string();
    ASSERT_EQ(Printer.LastFileName(), File);

    std::vector<std::vector<TPdfWord>> Pages;
    ASSERT_TRUE(ReadPdfWords(File, Pages));
    ASSERT_EQ(static_cast<int>(Pages.size()), F->QR->PageCount());
    int Checked = 0;
    double WorstX = 0, WorstY = 0;
    for (int P = 0; P < F->QR->PageCount(); ++P) {
        const auto& Words = Pages[static_cast<size_t>(P)];
        size_t Next = 0;
        for (const TReportTextRun& Run : F->QR->Pages(P).Runs) {
            // The run's words, in order, from where the last run's ended.
            std::string Utf8 = ToUtf8(Run.Text);
            std::istringstream Split(Utf8);
            std::vector<std::string> Expected;
            for (std::string W; Split >> W;) Expected.push_back(W);
            ASSERT_LE(Next + Expected.size(), Words.size()) << "page " << P + 1 << ": " << Utf8;
            for (size_t I = 0; I < Expected.size(); ++I)
                ASSERT_EQ(Words[Next + I].Text, Expected[I]) << "page " << P + 1;
            const TPdfWord& First = Words[Next];
            WorstX = std::max(WorstX, std::fabs(First.Left - Run.Left));
            WorstY = std::max(WorstY, std::fabs(First.Top - Run.Top));
            EXPECT_NEAR(First.Left, Run.Left, 0.1) << "page " << P + 1 << ": " << Utf8;
            EXPECT_NEAR(First.Top, Run.Top, 0.1) << "page " << P + 1 << ": " << Utf8;
            Next += Expected.size();
            ++Checked;
        }
        EXPECT_EQ(Next, Words.size()) << "page " << P + 1 << " has words the report did not lay out";
    }
    EXPECT_EQ(Checked, 5 + 4 * Students) << "the title, the heads and four texts per student";
    RecordProperty("WorstXmm", std::to_string(WorstX));
    RecordProperty("WorstYmm", std::to_string(WorstY));
}

// Copies and a range of pages: the pages asked for, in order, once per copy.
TEST_F(ReportPdfTest, CopiesRepeatTheRangeOfPagesAskedFor) {
    ZELMOR_NEED_TOOL(PdfToTextInstalled(), "pdftotext (poppler-utils)");
    MakeAlum(School(300));
    TListadoPruebaForm* F = OpenListado();
    F->QR->Prepare();
    ASSERT_GE(F->QR->PageCount(), 4);
    TPdfPrinter Printer(Folder.string());
    F->QR->Print(Printer, 2, 3, 2);
    std::vector<std::vector<TPdfWord>> Pages;
    ASSERT_TRUE(ReadPdfWords(Printer.LastFileName(), Pages));
    ASSERT_EQ(Pages.size(), 4u);
    auto FirstNumber = [](const std::vector<TPdfWord>& Words) { return Words.empty() ? "" : Words[0].Text; };
    std::vector<std::string> Firsts;
    for (const auto& P : Pages) Firsts.push_back(FirstNumber(P));
    std::string Second = F->QR->Pages(1).Runs[0].Text, Third = F->QR->Pages(2).Runs[0].Text;
    EXPECT_EQ(Firsts, (std::vector<std::string>{Second, Third, Second, Third}));
    // The printer is the whole program's: the report's paper was for its job only.
    EXPECT_EQ(Printer.PaperWidth(), 2100);
    EXPECT_EQ(Printer.Title(), "");
}

}  // namespace
