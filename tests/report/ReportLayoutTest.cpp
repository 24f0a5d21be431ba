// The report as a listing lays it out: which records come, in what order,
// numbered how, on which page and where on it.
#include <gtest/gtest.h>

#include <cmath>

#include "ReportTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Printers.h"

namespace {

// Where the listing's texts stand on the paper: the left margin (10 mm)
// plus each text's place in its band.
constexpr double CountLeft = 10.0, GrupoLeft = 20.6, NombreLeft = 35.4, AsigsLeft = 103.1;

std::vector<TAlumRow> SmallSchool() {
    return {{"Marta", "B", "MAT", "LEN"},
            {"Ana", "A", "MAT", ""},
            {"Luis", "A", "", "LEN"},
            {"Pablo", "B", "", ""},
            {"Berta", "A", "FIS", "QUI"}};
}

TEST_F(ReportTest, TheFormFileGivesTheReportItsBandsTextsAndFonts) {
    MakeAlum(SmallSchool());
    TListadoPruebaForm* F = OpenListado();
    TReport* R = F->QR;
    EXPECT_EQ(R->DataSet(), F->TAlum);
    EXPECT_EQ(R->PaperWidth(), 210.0);
    EXPECT_EQ(R->TopMargin(), 10.0);
    EXPECT_TRUE(R->PrintIfEmpty());
    ASSERT_EQ(R->BandCount(), 2);
    EXPECT_EQ(R->Bands(0), F->QRBand1);
    EXPECT_EQ(F->QRBand1->BandKind(), bkTitle);
    EXPECT_EQ(F->QRBand1->Height(), 22.0);
    EXPECT_EQ(F->QRBand2->BandKind(), bkDetail);
    ASSERT_EQ(F->QRBand2->ControlCount(), 4);
    EXPECT_EQ(F->QRBand2->Controls(2)->Left(), 25.4);
    EXPECT_FALSE(F->QRBand2->Controls(2)->AutoSize());
    EXPECT_TRUE(F->QRBand2->Controls(3)->AutoSize());
    EXPECT_EQ(F->LabelTitulo->Top(), 4.2);
    // Fonts follow the report's down to where a band or a text gives its own.
    struct {
        TReportComponent* Item;
        TReportFont Font;
    } Fonts[] = {
        {R, {"Arial", 10, {}, clWindowText}},
        {F->LabelTitulo, {"Arial", 12, {}, clWindowText}},
        {F->QRBand1->Controls(1), {"Arial", 10, {fsBold}, clWindowText}},
        {F->QRBand2, {"Arial", 9, {}, clWindowText}},
        {F->QRBand2->Controls(0), {"Arial", 9, {}, clWindowText}},
    };
    for (const auto& C : Fonts) EXPECT_EQ(C.Item->ReportFont(), C.Font) << C.Item->Name();
    // A band without a font of its own follows the report's; one with its own keeps it.
    R->Font()->SetName("Times New Roman");
    EXPECT_EQ(F->QRBand1->ReportFont().Name, "Times New Roman");
    EXPECT_EQ(F->QRBand2->ReportFont().Name, "Arial");
    EXPECT_EQ(F->QRBand2->Controls(0)->ReportFont().Name, "Arial");
}

// The listing's choice of students: the before-print event decides, the
// records come in the index's order, and COUNT numbers the printed ones.
TEST_F(ReportTest, TheChosenStudentsComeInIndexOrderNumberedWithoutGaps) {
    MakeAlum(SmallSchool());
    struct Case {
        const char* Grupo;
        std::vector<AnsiString> Names;
    } Cases[] = {
        {"", {"Ana", "Berta", "Luis", "Marta", "Pablo"}},
        {"A", {"Ana", "Berta", "Luis"}},
        {"B", {"Marta", "Pablo"}},
        {"a", {}},   // case counts
        {"A ", {}},  // so do blanks
    };
    for (const Case& C : Cases) {
        TListadoPruebaForm* F = OpenListado();
        F->Grupo = C.Grupo;
        F->LabelTitulo->SetCaption(AnsiString("Listado de alumnos del grupo ") + C.Grupo);
        F->QR->Prepare();
        ASSERT_EQ(F->QR->PageCount(), 1) << C.Grupo;
        EXPECT_EQ(ColumnAt(*F->QR, NombreLeft), C.Names) << C.Grupo;
        std::vector<AnsiString> Numbers;
        for (size_t I = 1; I <= C.Names.size(); ++I) Numbers.push_back(IntToStr(static_cast<int>(I)));
        Numbers.insert(Numbers.begin(), "N\xBA");  // the column's head shares its left edge
        EXPECT_EQ(ColumnAt(*F->QR, CountLeft), Numbers) << C.Grupo;
        EXPECT_EQ(F->QR->DetailCount(), static_cast<int>(C.Names.size()));
        // Every student was asked about, in index order.
        EXPECT_EQ(F->Asked, (std::vector<AnsiString>{"Ana", "Berta", "Luis", "Marta", "Pablo"}));
        // The title and the heads print once, above the first student.
        std::vector<AnsiString> Page = Texts(F->QR->Pages(0));
        ASSERT_GE(Page.size(), 5u);
        EXPECT_EQ(
            std::vector<AnsiString>(Page.begin(), Page.begin() + 5),
            (std::vector<AnsiString>{F->LabelTitulo->Caption(), "N\xBA", "Grupo", "Nombre", "Asignaturas"}));
        F->Free();
    }
}

TEST_F(ReportTest, EachRecordReadIsCalculatedAndTheFieldReferenceShowsItsValue) {
    MakeAlum(SmallSchool());
    TListadoPruebaForm* F = OpenListado();
    F->Calculated = 0;
    F->QR->Prepare();
    EXPECT_GE(F->Calculated, 5) << "one calculation at least for each of the five records";
    // Pablo has no subjects: his line has no subjects' text at all.
    EXPECT_EQ(ColumnAt(*F->QR, AsigsLeft),
              (std::vector<AnsiString>{"Asignaturas", "MAT", "FIS, QUI", "LEN", "MAT, LEN"}));
    EXPECT_EQ(ColumnAt(*F->QR, GrupoLeft), (std::vector<AnsiString>{"A", "A", "A", "B", "B"}));
}

TEST_F(ReportTest, AReportWithoutRecordsPrintsItsTitleOnlyWhenAskedTo) {
    MakeAlum({});
    for (bool PrintIfEmpty : {true, false}) {
        TListadoPruebaForm* F = OpenListado();
        F->LabelTitulo->SetCaption("Listado de alumnos de ");
        F->QR->SetPrintIfEmpty(PrintIfEmpty);
        F->QR->Prepare();
        if (PrintIfEmpty) {
            ASSERT_EQ(F->QR->PageCount(), 1);
            EXPECT_EQ(Texts(F->QR->Pages(0)), (std::vector<AnsiString>{"Listado de alumnos de ", "N\xBA",
                                                                       "Grupo", "Nombre", "Asignaturas"}));
        } else {
            EXPECT_EQ(F->QR->PageCount(), 0);
        }
        EXPECT_TRUE(F->Asked.empty());
        F->Free();
    }
}

// A fixed-width text keeps the characters that fit whole in its width; one
// that widens to its text still ends at the right margin.
TEST_F(ReportTest, TextsKeepTheCharactersThatFitInTheirRoom) {
    // As long as the field holds, in capitals, as many schools keep their names.
    AnsiString LongName = "MAXIMILIANO WENCESLAO BUSTAMANTE DE MORA";
    MakeAlum({{LongName, "A", "MAT", "LEN"}});
    TListadoPruebaForm* F = OpenListado();
    F->LabelTitulo->SetCaption(AnsiString(300, 'W'));
    F->QR->Prepare();
    TCanvas Measure;
    Measure.SetPixelsPerInch(PrinterPixelsPerInch);
    auto Px = [](double Mm) { return static_cast<int>(std::lround(Mm * PrinterPixelsPerInch / 25.4)); };
    struct Case {
        const char* What;
        AnsiString Full;
        double Left, Right;  // the room, in millimetres on the paper
        int Points;
    } Cases[] = {
        {"name", LongName, NombreLeft, NombreLeft + 68.0, 9},
        {"title", F->LabelTitulo->Caption(), 12.1, 200.0, 12},
    };
    const TReportPage& Page = F->QR->Pages(0);
    for (const Case& C : Cases) {
        const TReportTextRun* Run = nullptr;
        for (const TReportTextRun& R : Page.Runs)
            if (std::fabs(R.Left - C.Left) < 1e-9) Run = &R;
        ASSERT_NE(Run, nullptr) << C.What;
        ASSERT_LT(Run->Text.size(), C.Full.size()) << C.What;
        EXPECT_EQ(C.Full.substr(0, Run->Text.size()), Run->Text) << C.What;
        Measure.Font()->SetName("Arial");
        Measure.Font()->SetHeight(-static_cast<int>(std::lround(C.Points * PrinterPixelsPerInch / 72.0)));
        int Room = Px(C.Right) - Px(C.Left);
        EXPECT_LE(Measure.TextWidth(Run->Text), Room) << C.What;
        EXPECT_GT(Measure.TextWidth(C.Full.substr(0, Run->Text.size() + 1)), Room)
            << C.What << ": " << Run->Text << " in " << Room << " pixels";
    }
}

TEST_F(ReportTest, ExpressionsAndFieldsThatCannotBeFoundFailBeforeAnyRecordIsRead) {
    MakeAlum(SmallSchool());
    struct Case {
        const char* Expression;
        const char* Field;
    } Cases[] = {
        {"SUM(N)", "NOMBRE"}, {"TProfes.NOMBRE", "NOMBRE"}, {"COUNT", "EDAD"}, {"TAlum.EDAD", "NOMBRE"}};
    for (const Case& C : Cases) {
        TListadoPruebaForm* F = OpenListado();
        static_cast<TReportExpr*>(F->QRBand2->Controls(3))->SetExpression(C.Expression);
        static_cast<TReportDBText*>(F->QRBand2->Controls(2))->SetDataField(C.Field);
        EXPECT_THROW(F->QR->Prepare(), Exception) << C.Expression << " " << C.Field;
        EXPECT_TRUE(F->Asked.empty());
        EXPECT_EQ(F->QR->PageCount(), 0);
        F->Free();
    }
}

// A thousand students: each page takes the detail bands that fit above its
// bottom margin, the numbers run on across the pages, and the table is
// where it was when the report began.
TEST_F(ReportTest, AThousandStudentsBreakIntoPagesWhereTheNextBandNoLongerFits) {
    const int Students = 1000;
    MakeAlum(School(Students));
    TListadoPruebaForm* F = OpenListado();
    F->TAlum->First();
    F->TAlum->MoveBy(123);
    AnsiString Before = F->TAlum->FieldByName("NOMBRE")->AsString();
    F->QR->Prepare();
    EXPECT_EQ(F->TAlum->FieldByName("NOMBRE")->AsString(), Before);

    const double Bottom = 297.0 - 10.0, Detail = 5.0;
    const int FirstPage = static_cast<int>((Bottom - 10.0 - 22.0) / Detail);  // below the title
    const int OtherPages = static_cast<int>((Bottom - 10.0) / Detail);
    int Pages = 1 + (Students - FirstPage + OtherPages - 1) / OtherPages;
    ASSERT_EQ(F->QR->PageCount(), Pages);
    int Number = 0;
    for (int P = 0; P < Pages; ++P) {
        std::vector<const TReportTextRun*> Counts;
        for (const TReportTextRun& R : F->QR->Pages(P).Runs) {
            EXPECT_LE(R.Top + Detail, Bottom + 1e-9) << "page " << P + 1;
            if (R.Left == CountLeft && R.Font.Size == 9) Counts.push_back(&R);
        }
        int Expected = P == 0 ? FirstPage : std::min(OtherPages, Students - FirstPage - (P - 1) * OtherPages);
        ASSERT_EQ(static_cast<int>(Counts.size()), Expected) << "page " << P + 1;
        for (size_t I = 0; I < Counts.size(); ++I) {
            EXPECT_EQ(Counts[I]->Text, IntToStr(++Number));
            EXPECT_NEAR(Counts[I]->Top, (P == 0 ? 32.0 : 10.0) + Detail * static_cast<double>(I), 1e-9);
        }
    }
    EXPECT_EQ(Number, Students);
    // The names in index order over the pages.
    std::vector<AnsiString> Names = ColumnAt(*F->QR, NombreLeft);
    ASSERT_EQ(Names.size(), static_cast<size_t>(Students));
    EXPECT_TRUE(std::is_sorted(Names.begin(), Names.end()));
}

// The page as a picture: white paper, and dark pixels only inside the boxes
// of the texts (their room by the height of their font's line).
TEST_F(ReportTest, APagePictureHasItsTextsInsideTheirBoxesOnly) {
    MakeAlum(SmallSchool());
    TListadoPruebaForm* F = OpenListado();
    F->LabelTitulo->SetCaption("Listado de alumnos de 1A");
    F->QR->Prepare();
    const int Ppi = 96;
    TSurface Page = F->QR->PagePicture(0, Ppi);
    ASSERT_EQ(Page.Width(), static_cast<int>(std::lround(210 * Ppi / 25.4)));
    ASSERT_EQ(Page.Height(), static_cast<int>(std::lround(297 * Ppi / 25.4)));
    auto Px = [&](double Mm) { return static_cast<int>(std::lround(Mm * Ppi / 25.4)); };
    std::vector<TRect> Boxes;
    std::vector<int> Inked;
    for (const TReportTextRun& R : F->QR->Pages(0).Runs) {
        int LineHeight = static_cast<int>(std::lround(R.Font.Size * Ppi / 72.0 * 1.25)) + 1;
        // A line may stand a pixel off its place: its baseline goes to the nearest pixel.
        Boxes.push_back(TRect(Px(R.Left), Px(R.Top) - 1, Px(R.Left + R.Width), Px(R.Top) + LineHeight + 1));
        Inked.push_back(0);
    }
    int Stray = 0;
    for (int Y = 0; Y < Page.Height(); ++Y)
        for (int X = 0; X < Page.Width(); ++X) {
            if ((Page.GetPixel(X, Y) & 0xFFFFFF) == 0xFFFFFF) continue;
            bool Inside = false;
            for (size_t I = 0; I < Boxes.size(); ++I)
                if (PtInRect(Boxes[I], TPoint(X, Y))) {
                    ++Inked[I];
                    Inside = true;
                }
            if (!Inside) ++Stray;
        }
    EXPECT_EQ(Stray, 0);
    for (size_t I = 0; I < Boxes.size(); ++I) EXPECT_GT(Inked[I], 0) << F->QR->Pages(0).Runs[I].Text;
}

}  // namespace

namespace {

// The report's components go into the form text inside their report and
// band, and the form read back lays out the same pages.
TEST_F(ReportTest, TheReportWritesItselfIntoTheFormTextAndReadsBack) {
    MakeAlum(SmallSchool());
    TListadoPruebaForm* F = OpenListado();
    F->LabelTitulo->SetCaption("Listado de alumnos de 1A");
    AnsiString Text = WriteComponentToText(F);
    for (const char* Line : {"\n  object QR: TReport\n", "\n    object QRBand2: TReportBand\n",
                             "\n      object QRExpr1: TReportExpr\n", "\n        Expression = 'COUNT'\n",
                             "\n      BeforePrint = QRBand2BeforePrint\n", "\n      BandKind = bkTitle\n"})
        EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << Text;
    auto* Back = TForm::CreateNew<TListadoPruebaForm>(Application);
    ReadComponentFromText(Back, Text);
    ASSERT_NE(Back->QR, nullptr);
    F->QR->Prepare();
    Back->QR->Prepare();
    ASSERT_EQ(Back->QR->PageCount(), F->QR->PageCount());
    const auto& A = F->QR->Pages(0).Runs;
    const auto& B = Back->QR->Pages(0).Runs;
    ASSERT_EQ(A.size(), B.size());
    for (size_t I = 0; I < A.size(); ++I) {
        EXPECT_EQ(B[I].Text, A[I].Text);
        EXPECT_EQ(B[I].Left, A[I].Left);
        EXPECT_EQ(B[I].Top, A[I].Top);
        EXPECT_EQ(B[I].Font, A[I].Font);
    }
}

}  // namespace

namespace {

TEST_F(ReportTest, AFormFileWithATextOutsideABandIsRefused) {
    TForm* Back = TForm::CreateNew(Application);
    for (const char* Text :
         {"object X: TForm\n  object R: TReport\n    object L: TReportLabel\n    end\n  end\nend\n",
          "object X: TForm\n  object B: TReportBand\n  end\nend\n"})
        EXPECT_THROW(ReadComponentFromText(Back, Text), Exception) << Text;
}

}  // namespace
namespace {

// Where the ink of Text drawn alone at the origin lies: its dark pixels.
std::vector<TPoint> InkOf(const AnsiString& Text, const TReportFont& Font, int Ppi) {
    TSurface Scratch(200, 100);
    TCanvas C(&Scratch);
    C.SetPixelsPerInch(Ppi);
    C.Brush()->SetColor(clWhite);
    C.FillRect(TRect(0, 0, 200, 100));
    C.Font()->SetName(Font.Name);
    C.Font()->SetStyle(Font.Style);
    C.Font()->SetHeight(-std::max(1, static_cast<int>(std::lround(Font.Size * Ppi / 72.0))));
    C.Brush()->SetStyle(bsClear);
    C.TextOut(0, 0, Text);
    std::vector<TPoint> Ink;
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 200; ++X)
            if ((Scratch.GetPixel(X, Y) & 0xFF) < 0x80) Ink.push_back(TPoint(X, Y));
    return Ink;
}

// A title wider on a coarse screen than on paper (the font's whole pixels
// and hinting widen it) still shows to its last character at every
// resolution, the preview's whole page among them, within its room: its
// characters close up where they must.
TEST_F(ReportTest, AtEveryResolutionATextShowsToItsLastCharacterWithinItsRoom) {
    MakeAlum(SmallSchool());
    TListadoPruebaForm* F = OpenListado();
    F->LabelTitulo->SetCaption("Listado de alumnos de DESO4 del grupo W");
    F->QR->Prepare();
    const TReportTextRun& R = F->QR->Pages(0).Runs[0];
    ASSERT_EQ(R.Text, F->LabelTitulo->Caption());
    int Widened = 0;
    for (int Ppi : {44, 52, 60, 72, 76, 84, 96}) {
        SCOPED_TRACE(Ppi);
        auto Px = [&](double Mm) { return static_cast<int>(std::lround(Mm * Ppi / 25.4)); };
        const TSurface Page = F->QR->PagePicture(0, Ppi);
        const int Left = Px(R.Left), Right = Px(R.Left + R.Width);
        // Whether the title is drawn wider here than its room.
        TSurface Scratch(1, 1);
        TCanvas C(&Scratch);
        C.SetPixelsPerInch(Ppi);
        C.Font()->SetName(R.Font.Name);
        C.Font()->SetHeight(-std::max(1, static_cast<int>(std::lround(R.Font.Size * Ppi / 72.0))));
        Widened += C.TextWidth(R.Text) > Right - Left;
        // The last character, somewhere on the title's line, inside the
        // room: nearly all of its ink (a glyph placed at another fraction of
        // a pixel shades its edges otherwise).
        const std::vector<TPoint> W = InkOf("W", R.Font, Ppi);
        ASSERT_FALSE(W.empty());
        bool Found = false;
        for (int Y = Px(R.Top) - 4; Y < Px(R.Top) + 20 && !Found; ++Y)
            for (int X = Left; X < Right && !Found; ++X) {
                size_t Inked = 0;
                for (const TPoint& P : W)
                    Inked += X + P.x < Right && (Page.GetPixel(X + P.x, Y + P.y) & 0xFF) < 0x80;
                Found = Inked * 5 >= W.size() * 4;
            }
        EXPECT_TRUE(Found) << "the last character";
        int Beyond = 0;
        for (int Y = Px(R.Top) - 4; Y < Px(R.Top) + 20; ++Y)
            for (int X = Right; X < Right + 20; ++X) Beyond += (Page.GetPixel(X, Y) & 0xFF) < 0x80;
        EXPECT_EQ(Beyond, 0) << "nothing beyond the room";
    }
    EXPECT_GT(Widened, 0) << "some resolution widens the title";
}

}  // namespace
