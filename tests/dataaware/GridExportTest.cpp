// The grid's export over a small table of its own: each format against its
// golden file (tests/fixtures/export; ZELMOR_WRITE_GOLDENS=1 writes them
// anew), the clipboard's blocks, a delimited file read back by Python's csv
// module, and the cases where an export must leave things as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcheckbox.h"
#include "dataaware/wwexport.h"
#include "dataaware/wwpaintoptions.h"
#include "dataaware/wwradiogroup.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Paths.h"
#include "platform/win/MessageQueue.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

std::string ReadFile(const std::filesystem::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

void ExpectGolden(const std::string& Name, const std::string& Actual) {
    const auto Path = std::filesystem::path(ZELMOR_SOURCE_DIR) / "tests" / "fixtures" / "export" / Name;
    if (std::getenv("ZELMOR_WRITE_GOLDENS")) {
        std::filesystem::create_directories(Path.parent_path());
        std::ofstream(Path, std::ios::binary) << Actual;
    }
    EXPECT_EQ(ReadFile(Path), Actual) << Name;
}

class GridExport : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("expo", {{"N", ftInteger},
                             {"NOMBRE", ftString, 20},
                             {"NOTA", ftFloat},
                             {"FECHA", ftDate},
                             {"ACTIVO", ftBoolean},
                             {"WEB", ftString, 40}});
        AddRows("expo", {{{"N", "1"},
                          {"NOMBRE", "Ana \"la\" <b>"},
                          {"NOTA", "7,5"},
                          {"FECHA", "31/12/1899"},
                          {"ACTIVO", "True"},
                          {"WEB", "ana@ejemplo.es"}},
                         {{"N", "2"},
                          {"NOMBRE", "Luis, P\xE9rez"},
                          {"NOTA", "5"},
                          {"FECHA", "16/09/2024"},
                          {"ACTIVO", "False"},
                          {"WEB", "Zelmor#https://example.org/?a=1&b=2"}},
                         {{"N", "3"}}});
        Fm = NewPlainForm("ExportForm", 600, 200);
        Shown = Fm;
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("expo");
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
        G = NewComponent<TwwDBGrid>(Fm);
        G->SetName("GridExpo");
        G->SetParent(Fm);
        G->SetBounds(0, 0, 600, 200);
        G->SetUseTFields(false);
        G->Selected()->SetText(
            "N\t4\tN\xFAm.\tF\nNOMBRE\t12\tNombre~completo\tF\tAlumno\nNOTA\t6\tNota\tF\tAlumno\n"
            "FECHA\t10\tFecha\tF\nACTIVO\t6\tActivo\tF\nWEB\t20\tWeb\tF\n");
        G->ControlType()->SetText("WEB;URL-Link\nACTIVO;CheckBox;True;False\n");
        G->SetControlInfoInDataset(false);
        G->SetDataSource(S);
        T->Open();
        Fm->Show();
        Idle();
        Options()->SetFileName("expo.txt");
    }
    TwwExportOptions* Options() { return G->ExportOptions(); }
    std::filesystem::path File() { return MapPath(ExpandFileName("expo.txt")); }
    // Exports with the options and answers what the file holds.
    std::string Export(TwwGridExportType Type, TwwExportSaveOptions Opt, const AnsiString& Delimiter = ",") {
        Options()->SetExportType(Type);
        Options()->SetOptions(Opt);
        Options()->SetDelimiter(Delimiter);
        EXPECT_TRUE(Options()->Save());
        return ReadFile(File());
    }
    void NoGroups() {
        G->Selected()->SetText("N\t4\tN\xFAm.\tF\nNOMBRE\t12\tNombre\tF\nNOTA\t6\tNota\tF\n");
        G->ApplySelected();
    }
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;
    TwwDBGrid* G = nullptr;
};

// Delimited text: titles and values quoted, the quotes inside doubled, the
// delimiter only between columns; read back by Python's csv module it gives
// the cell texts. Without any option: no title line and no quotes.
TEST_F(GridExport, DelimitedTextQuotesAndReadsBackAsTheCells) {
    const std::string Text = Export(wwgetTxt, {esoShowHeader, esoDblQuoteFields});
    ExpectGolden("delimited.txt", Text);
    if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "python3 is not installed";
    const auto Script = std::filesystem::path(Program) / "readcsv.py";
    std::ofstream(Script) << "import csv, sys\n"
                             "with open(sys.argv[1], newline='', encoding='cp1252') as f:\n"
                             "    for row in csv.reader(f):\n"
                             "        print('|'.join(row))\n";
    const auto Out = std::filesystem::path(Program) / "csv.out";
    ASSERT_EQ(
        std::system(
            ("python3 '" + Script.string() + "' '" + File().string() + "' > '" + Out.string() + "'").c_str()),
        0);
    std::vector<std::string> Expected{"N\xC3\xBAm.|Nombre completo|Nota|Fecha|Activo|Web"};
    T->First();
    while (!T->Eof()) {
        std::string Line;
        for (int I = 0; I < 6; ++I) Line += (I ? "|" : "") + ToUtf8(G->GetCellDisplayText(I));
        Expected.push_back(Line);
        T->Next();
    }
    std::istringstream Read(ReadFile(Out));
    std::vector<std::string> Rows;
    for (std::string L; std::getline(Read, L);) Rows.push_back(L);
    EXPECT_EQ(Rows, Expected);
    EXPECT_NE(Expected[1].find("Ana \"la\" <b>"), std::string::npos);
    EXPECT_EQ(Export(wwgetTxt, {}).substr(0, 2), "1,");
}

// Fixed width: padded to the column widths (two more for the quotes), the
// record number in 8 characters, a column that OnExportField refuses left
// out with its separator.
TEST_F(GridExport, FixedWidthTextPadsAndLeavesOutARefusedColumn) {
    G->OnExportField = [](TwwDBGrid*, TField* F, bool& Accept) { Accept = F->FieldName() != "NOTA"; };
    ExpectGolden("fixed.txt", Export(wwgetTxt, {esoShowHeader, esoDblQuoteFields, esoShowRecordNo}, ""));
    G->OnExportField = [](TwwDBGrid*, TField* F, bool& Accept) { Accept = F->FieldName() != "WEB"; };
    const std::string Text = Export(wwgetTxt, {}, ";");
    EXPECT_EQ(Text.substr(0, Text.find("\r\n")), "1;Ana \"la\" <b>;7,5;31/12/1899;True");
}

// HTML with everything: the title row, two title rows under a group, the
// footer, check boxes, links (a bare address gets MailTo:), alternating and
// handler colours; data and titles escaped.
TEST_F(GridExport, HtmlWithGroupsFooterControlsLinksAndColours) {
    G->SetOptions(G->Options() + TwwDBGridOptions{dgShowFooter});
    G->ColumnByFieldName("NOTA")->SetFooterValue("<6,25>");
    G->PaintOptions()->SetAlternatingRowColor(clAqua);
    G->OnCalcCellColors = [&](TObject*, TField* F, TGridDrawState, bool, TFont* Font, TBrush* Brush) {
        if (F->FieldName() == "NOMBRE" && T->FieldByName("N")->AsInteger() == 2) {
            Brush->SetColor(clYellow);
            Font->SetStyle({fsBold});
            Font->SetColor(clRed);
        }
    };
    Options()->SetTitleName("Notas & <faltas>");
    ExpectGolden("full.html",
                 Export(wwgetHTML, {esoShowHeader, esoShowTitle, esoShowFooter, esoAddControls, esoEmbedURL,
                                    esoShowAlternating, esoDynamicColors, esoShowRecordNo}));
}

// Without group names one title row, then the empty second one; only the
// selected records with none selected: the one row "No Records Selected".
TEST_F(GridExport, HtmlWithOneTitleRowAndWithNoSelection) {
    NoGroups();
    ExpectGolden("plain.html", Export(wwgetHTML, {esoShowHeader, esoBestColFit}));
    const std::string None = Export(wwgetHTML, {esoSaveSelectedOnly, esoShowHeader});
    EXPECT_NE(None.find("<TH colspan=3 scope=colgroup>No Records Selected</TH></TR>\r\n</TBODY>"),
              std::string::npos);  // A transparent grid's table has no background of its own.
    const std::string Clear = Export(wwgetHTML, {esoTransparentGrid});
    EXPECT_NE(Clear.find("CELLSPACING=\"0\" dir=\"LTR\">\r\n<THEAD>"), std::string::npos) << Clear;
}

// With controls, a radio group's column becomes one radio input per item,
// the record's own checked, the values and captions escaped.
TEST_F(GridExport, HtmlControlsOfARadioGroup) {
    auto* Group = NewComponent<TwwRadioGroup>(Fm);
    Group->SetName("RGActivo");
    Group->Items()->SetText("S\xED\n\"No\"\n");
    Group->Values()->SetText("True\nFalse\n");
    static_cast<TControl*>(Group)->SetParent(Fm);
    Group->SetBounds(0, 150, 100, 40);
    Group->SetVisible(false);
    G->ControlType()->SetText("ACTIVO;CustomEdit;RGActivo\n");
    G->Selected()->SetText("N\t4\tN\tF\nACTIVO\t6\tActivo\tF\n");
    G->ApplySelected();
    const std::string Html = Export(wwgetHTML, {esoAddControls});
    EXPECT_NE(Html.find("<input align=\"middle\" type=\"radio\" value=\"True\" name=\"radio2\">S\xED<BR>\r\n"
                        "<input align=\"middle\" type=\"radio\" value=\"False\" name=\"radio2\" "
                        "checked>&quot;No&quot;<BR>\r\n</TD>"),
              std::string::npos)
        << Html;
}

// A link's address gets "MailTo:" only when the cell shows the address
// itself and it is a bare e-mail address: its "@" after the first character
// and before its first ".", and no "mailto:" already.
TEST_F(GridExport, HtmlLinksFollowTheMailToRule) {
    G->Selected()->SetText("WEB\t20\tWeb\tF\n");
    G->ApplySelected();
    struct Case {
        const char* Text;
        const char* Href;
    };
    const Case Cases[] = {{"ana@ejemplo.es", "MailTo:ana@ejemplo.es"},
                          {"ana.gil@ejemplo.es", "ana.gil@ejemplo.es"},
                          {"@ejemplo.es", "@ejemplo.es"},
                          {"ana@ejemplo", "ana@ejemplo"},
                          {"mailto:ana@ejemplo.es", "mailto:ana@ejemplo.es"},
                          {"Ana#ana@ejemplo.es", "ana@ejemplo.es"}};
    for (const Case& C : Cases) {
        T->First();
        T->Edit();
        T->FieldByName("WEB")->SetAsString(C.Text);
        T->Post();
        const std::string Html = Export(wwgetHTML, {esoEmbedURL});
        EXPECT_NE(Html.find(std::string("<A href=\"") + C.Href + "\">"), std::string::npos) << C.Text;
    }
}

// With OutputWidthinTwips the cells' widths are scaled so that the exported
// columns (each 5 pixels wider) fill that many twips; 0 keeps the pixels.
TEST_F(GridExport, HtmlWidthsScaleToTheTwipsAsked) {
    NoGroups();
    G->OnExportField = [](TwwDBGrid*, TField* F, bool& Accept) { Accept = F->FieldName() != "NOTA"; };
    auto Widths = [&] {
        const std::string Html = Export(wwgetHTML, {});
        std::vector<int> W;
        for (size_t At = Html.find(" WIDTH=\""); At != std::string::npos;
             At = Html.find(" WIDTH=\"", At + 1)) {
            W.push_back(std::stoi(Html.substr(At + 8)));
            if (W.size() == 2) break;
        }
        return W;
    };
    const int A = G->ColWidths(G->IndicatorOffset()), B = G->ColWidths(G->IndicatorOffset() + 1);
    EXPECT_EQ(Widths(), (std::vector<int>{A, B}));
    const int Total = A + 5 + B + 5;
    Options()->SetOutputWidthinTwips(Total * 1440 * 3 / Screen->PixelsPerInch());
    EXPECT_EQ(Widths(), (std::vector<int>{A * 3, B * 3}));
    Options()->SetOutputWidthinTwips(Total * 1440 / 2 / Screen->PixelsPerInch());
    EXPECT_EQ(Widths(), (std::vector<int>{A / 2, B / 2}));
}

// Integer columns edited through a combo, a check box or a radio group: in
// SYLK their numbers, or with controls the texts the controls show; in
// HTML with controls a combo becomes a selection list with the record's
// item selected.
TEST_F(GridExport, IntegerColumnsByTheirControls) {
    CreateTable("expi", {{"COMBO", ftInteger},
                         {"MAPA", ftInteger},
                         {"CASILLA", ftInteger},
                         {"RADIO", ftInteger},
                         {"PLANO", ftInteger}});
    AddRows("expi", {{{"COMBO", "2"}, {"MAPA", "2"}, {"CASILLA", "1"}, {"RADIO", "1"}, {"PLANO", "7"}},
                     {{"COMBO", "1"}, {"MAPA", "1"}, {"CASILLA", "0"}, {"RADIO", "2"}, {"PLANO", "-3"}},
                     {{"PLANO", "5"}}});
    T->Close();
    T->SetTableName("expi");
    for (const char* Name : {"COMBO", "MAPA", "CASILLA", "RADIO", "PLANO"}) {
        auto* F = NewComponent<TIntegerField>(Fm);
        F->SetFieldName(Name);
        F->SetDataSet(T);
    }
    auto Place = [&](TControl* C, const char* Name) {
        C->SetName(Name);
        C->SetParent(Fm);
        C->SetBounds(0, 150, 100, 20);
        C->SetVisible(false);
    };
    auto* Plain = NewComponent<TwwDBComboBox>(Fm);
    Plain->Items()->SetText("1\n2\n3\n");
    Place(Plain, "CBPlain");
    auto* Mapped = NewComponent<TwwDBComboBox>(Fm);
    Mapped->SetMapList(true);
    Mapped->Items()->SetText("Uno\t1\nDos\t2\n");
    Place(Mapped, "CBMapa");
    auto* Box = NewComponent<TwwCheckBox>(Fm);
    Box->SetValueChecked("1");
    Box->SetValueUnchecked("0");
    Box->SetDisplayValueChecked("S\xED");
    Box->SetDisplayValueUnchecked("No");
    Place(Box, "CKCasilla");
    auto* Group = NewComponent<TwwRadioGroup>(Fm);
    Group->Items()->SetText("Primero\nSegundo\n");
    Group->Values()->SetText("1\n2\n");
    Place(Group, "RGRadio");
    G->ControlType()->SetText("COMBO;CustomEdit;CBPlain\nMAPA;CustomEdit;CBMapa\nCASILLA;CustomEdit;"
                              "CKCasilla\nRADIO;CustomEdit;RGRadio\n");
    G->Selected()->SetText("COMBO\t4\tCombo\tF\nMAPA\t6\tMapa\tF\nCASILLA\t4\tCasilla\tF\n"
                           "RADIO\t8\tRadio\tF\nPLANO\t4\tPlano\tF\n");
    T->Open();
    G->ApplySelected();
    Idle();
    ASSERT_EQ(T->FieldByName("COMBO")->DataType(), ftInteger);
    // The value records of the data rows, one line per record.
    auto Values = [&](TwwExportSaveOptions Opt) {
        const std::string Sylk = Export(wwgetSYLK, Opt);
        std::vector<std::string> Rows;
        std::istringstream In(Sylk.substr(Sylk.find("\r\n\r\n") + 4));
        for (std::string L; std::getline(In, L);) {
            if (L.rfind("F;", 0) == 0 && L.find(";X1\r") != std::string::npos) Rows.emplace_back();
            if (L.rfind("C;K", 0) == 0) Rows.back() += L.substr(3, L.size() - 4) + "|";
        }
        return Rows;
    };
    EXPECT_EQ(Values({}), (std::vector<std::string>{"2|2|1|1|7|", "1|1|0|2|-3|", "\"\"|\"\"|\"\"|\"\"|5|"}));
    EXPECT_EQ(Values({esoAddControls}),
              (std::vector<std::string>{"2|\"Dos\"|\"S\xED\"|\"Primero\"|7|",
                                        "1|\"Uno\"|\"No\"|\"Segundo\"|-3|", "\"\"|\"\"|\"\"|\"\"|5|"}));

    const std::string Html = Export(wwgetHTML, {esoAddControls});
    EXPECT_NE(Html.find("<Select Name=\"wwCombo1\">\r\n<Option Value=\"1\">1\r\n"
                        "<Option Value=\"2\" selected>2\r\n<Option Value=\"3\">3\r\n</Select>\r\n</TD>"),
              std::string::npos)
        << Html;
    EXPECT_NE(Html.find("<Select Name=\"wwCombo2\">\r\n<Option Value=\"1\" selected>Uno\r\n"
                        "<Option Value=\"2\">Dos\r\n</Select>\r\n</TD>"),
              std::string::npos)
        << Html;
}

// Only the selected records, in the data set's order whatever the order of
// selection, numbered from 1; the record stays where it was.
TEST_F(GridExport, OnlyTheSelectedRecordsInTheDataSetsOrder) {
    G->SetOptions(G->Options() + TwwDBGridOptions{dgMultiSelect});
    T->Last();
    G->SelectRecord();
    T->First();
    G->SelectRecord();
    T->MoveBy(1);
    EXPECT_EQ(Export(wwgetTxt, {esoSaveSelectedOnly, esoShowRecordNo}, "|"),
              "1|1|Ana \"la\" <b>|7,5|31/12/1899|True|ana@ejemplo.es\r\n2|3|||||\r\n");
    EXPECT_EQ(T->FieldByName("N")->AsInteger(), 2);
}

// SYLK with two title lines: the group in line 1, the titles in line 2, the
// first record in row 3; typed values, day numbers (31 December 1899 is 1),
// text always quoted, the fonts before the bounds record; a number format
// of the handler's.
TEST_F(GridExport, SylkWithTwoTitleLinesTypedValuesAndDayNumbers) {
    G->SetTitleLines(2);
    G->OnExportSYLKFormat = [](TwwDBGrid*, TField* F, AnsiString& Format) {
        if (F->FieldName() == "NOTA") Format = "0.00";
    };
    ExpectGolden("titles2.slk", Export(wwgetSYLK, {esoShowHeader, esoShowRecordNo}));
}

// The SYLK font table: the title font first, then the grid's, then each
// font a colour handler gives, numbered in order of first use and listed
// just before the bounds record; the record numbers name font 1 when the
// two fonts differ.
TEST_F(GridExport, SylkFontTableInOrderOfFirstUse) {
    NoGroups();
    G->TitleFont()->SetStyle({fsBold});
    G->OnCalcCellColors = [&](TObject*, TField* F, TGridDrawState, bool, TFont* Font, TBrush*) {
        if (F->FieldName() == "NOMBRE") Font->SetStyle({fsItalic});
        if (F->FieldName() == "NOTA") Font->SetStyle({fsBold, fsItalic, fsUnderline, fsStrikeOut});
    };
    const std::string Sylk = Export(wwgetSYLK, {esoDynamicColors, esoShowRecordNo});
    const AnsiString Face = G->Font()->Name();
    const std::string Size = ";M" + IntToStr(G->Font()->Size() * 20);
    EXPECT_NE(Sylk.find("P;F" + Face + Size + ";SB\r\nP;F" + Face + Size + "\r\nP;F" + Face + Size +
                        ";SI\r\nP;F" + Face + Size + ";SBIUS\r\nB;Y3;X4\r\n"),
              std::string::npos)
        << Sylk;
    EXPECT_NE(Sylk.find("F;SLRTBM1;FG0L;Y1;X1\r\nC;K1\r\nF;P0;SLTRBM1;FG0R;Y1;X2\r\nC;K1\r\n"
                        "F;SLTRBM2;FG0L;Y1;X3\r\n"),
              std::string::npos)
        << Sylk;
    EXPECT_NE(Sylk.find("F;P0;SLTRBM3;FG0R;Y1;X4\r\nC;K7.5\r\n"), std::string::npos) << Sylk;
}

// A SYLK text keeps to one record: its line breaks, also a lone CR or LF,
// become blanks.
TEST_F(GridExport, SylkTextsStayOnTheirRecordLine) {
    T->First();
    T->Edit();
    T->FieldByName("NOMBRE")->SetAsString("Uno\nDos\rTres\r\nCua");
    T->Post();
    const std::string Sylk = Export(wwgetSYLK, {});
    EXPECT_NE(Sylk.find("\r\nC;K\"Uno Dos Tres Cua\"\r\n"), std::string::npos) << Sylk;
    std::istringstream In(Sylk);
    for (std::string L; std::getline(In, L);) {
        ASSERT_FALSE(L.empty()) << Sylk;
        if (L == "\r" || L == "E") continue;
        EXPECT_EQ(L.back(), '\r') << L;
        EXPECT_NE(std::string("IPBFC").find(L[0]), std::string::npos) << L;
    }
}

// The clipboard: text as CF_TEXT, SYLK also as CF_SYLK, HTML with its
// header, whose offsets cut out the fragment: the document in UTF-8.
TEST_F(GridExport, TheClipboardHoldsTheBlocksWithTheirHtmlHeader) {
    auto Get = [](unsigned Format) {
        std::vector<uint8_t> Data;
        EXPECT_TRUE(ClipboardStore().Get(Format, Data));
        return std::string(Data.begin(), Data.end());
    };
    const std::string Sylk = Export(wwgetSYLK, {esoShowHeader});
    Options()->SetOptions({esoShowHeader, esoClipboard});
    ASSERT_TRUE(Options()->Save());
    EXPECT_EQ(Get(CF_SYLK), Sylk + '\0');
    EXPECT_EQ(Get(CF_TEXT), Sylk + '\0');

    const std::string Html = Export(wwgetHTML, {esoShowHeader});
    Options()->SetOptions({esoShowHeader, esoClipboard});
    ASSERT_TRUE(Options()->Save());
    const std::string Block = Get(RegisterClipboardFormat("HTML Format"));
    auto Number = [&](const std::string& Key) {
        const size_t At = Block.find("\r\n" + Key + ":");
        EXPECT_NE(At, std::string::npos) << Key;
        return std::stoul(Block.substr(At + Key.size() + 3, 10));
    };
    ASSERT_EQ(Block.rfind("Version:0.9\r\n", 0), 0u);
    const size_t Start = Number("StartFragment"), End = Number("EndFragment");
    EXPECT_EQ(Number("StartSelection"), Start);
    EXPECT_EQ(Number("EndSelection"), End);
    EXPECT_EQ(Block.substr(Number("StartHTML"), 20), "<!--StartFragment-->");
    EXPECT_EQ(Number("EndHTML"), Block.size() - 1);
    EXPECT_EQ(Block.substr(Start, End - Start),
              "\r\n" + StringReplace(ToUtf8(Html), "charset=windows-1252", "charset=utf-8", 0));
    EXPECT_NE(Block.find("N\xC3\xBAm."), std::string::npos);
    const std::string Plain = Get(CF_TEXT);
    EXPECT_EQ(Plain, HtmlClipboardBlock(Html));

    SetGlobalAllocLimit(16);
    Answers.Then(mrOk);
    EXPECT_FALSE(Options()->Save());
    SetGlobalAllocLimit(SIZE_MAX);
    EXPECT_EQ(Answers.Texts(), std::vector<AnsiString>{"Global Alloc failed!"});
    EXPECT_EQ(ClipboardStore().Formats().size(), 0u);
}

// An export that cannot write leaves the file that was there: the data set
// closed, XML asked (with a message). A second export started while one
// runs does nothing, and input waits until the walk has ended.
TEST_F(GridExport, AnExportThatWritesNothingLeavesTheFileAndRunsAlone) {
    std::ofstream(File(), std::ios::binary) << "old";
    Options()->SetExportType(wwgetXML);
    Answers.Then(mrOk);
    EXPECT_FALSE(Options()->Save());
    EXPECT_EQ(Answers.Texts(), std::vector<AnsiString>{"XML export is not supported"});
    T->Close();
    Options()->SetExportType(wwgetTxt);
    EXPECT_FALSE(Options()->Save());
    EXPECT_EQ(ReadFile(File()), "old");

    T->Open();
    G->SetFocus();
    T->MoveBy(1);
    Idle();
    int Again = 0, Posted = 0;
    G->OnCalcCellColors = [&](TObject*, TField*, TGridDrawState, bool, TFont*, TBrush*) {
        if (!Options()->Exporting()) return;
        if (Posted++ == 0) Ui().Key(VK_DOWN);
        Again += Options()->Save() ? 1 : 0;
    };
    Options()->SetExportType(wwgetSYLK);
    Options()->SetOptions({esoDynamicColors});
    ASSERT_TRUE(Options()->Save());
    EXPECT_EQ(Posted, 18);
    EXPECT_EQ(Again, 0);
    EXPECT_EQ(T->FieldByName("N")->AsInteger(), 2);
    const std::string Text = ReadFile(File());
    EXPECT_EQ(std::count(Text.begin(), Text.end(), 'C'), 18);
    G->OnCalcCellColors = nullptr;
    Idle();
    EXPECT_EQ(T->FieldByName("N")->AsInteger(), 3);
}

}  // namespace
