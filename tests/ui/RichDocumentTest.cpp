// The rich edit's document: paragraphs and runs, rich text read and written
// back, plain text, the block streams, and what unrtf makes of what we write.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/RichDocument.h"
#include "platform/ui/RichLayout.h"
#include "platform/ui/RtfReader.h"
#include "platform/ui/RtfWriter.h"
#include "tests/support/OutsideTools.h"

namespace {

TRichCharFormat Char(const char* Face = "Arial", int Height = 200) {
    TRichCharFormat f;
    f.FaceName = Face;
    f.Height = Height;
    return f;
}

TRichParagraph Para(std::vector<TRichRun> Runs, TRichParaFormat Format = {}) {
    TRichParagraph p;
    p.Format = std::move(Format);
    p.Runs = std::move(Runs);
    p.EndFormat = p.Runs.empty() ? Char() : p.Runs.back().Format;
    return p;
}

TRichDocument Doc(std::vector<TRichParagraph> Paragraphs) {
    TRichDocument d;
    d.SetParagraphs(std::move(Paragraphs));
    return d;
}

// Every format the control sets, in small documents.
std::vector<std::pair<const char*, TRichDocument>> Documents() {
    TRichCharFormat bold = Char(), italic = Char(), under = Char(), strike = Char();
    bold.Bold = true;
    italic.Italic = true;
    under.Underline = true;
    strike.StrikeOut = true;
    TRichCharFormat face = Char("Courier New", 360);
    face.Charset = 2;
    TRichCharFormat red = Char();
    red.AutoColor = false;
    red.Color = 0x0000FF;
    TRichCharFormat marked = Char("Times New Roman", 240);
    marked.AutoBackColor = false;
    marked.BackColor = 0x00FFFF;
    marked.AutoColor = false;
    marked.Color = 0x102030;

    TRichParaFormat centred, right, justified, bullet, indented, tabs, spaced;
    centred.Alignment = raCenter;
    right.Alignment = raRight;
    justified.Alignment = raJustify;
    bullet.Numbering = rnBullet;
    bullet.Offset = 720;
    indented.StartIndent = 1440;
    indented.RightIndent = 360;
    indented.Offset = -720;
    for (int i = 1; i <= MaxRichTabStops; ++i) tabs.Tabs.push_back(i * 360);
    spaced.SpaceBefore = 120;
    spaced.SpaceAfter = 240;
    std::vector<std::pair<const char*, TRichDocument>> docs;
    docs.emplace_back("empty", TRichDocument{});
    docs.emplace_back("one run", Doc({Para({{"Hola", Char()}})}));
    docs.emplace_back("effects",
                      Doc({Para({{"b", bold}, {"i", italic}, {"u", under}, {"s", strike}, {" n", Char()}})}));
    docs.emplace_back("faces, sizes, charset", Doc({Para({{"mono ", face}, {"arial", Char()}})}));
    docs.emplace_back("colours", Doc({Para({{"rojo", red}, {" resaltado", marked}})}));
    docs.emplace_back("escapes", Doc({Para({{"{llaves} \\ Garc\xED"
                                             "a\t\x80 fin",
                                             Char()}})}));
    docs.emplace_back("alignments", Doc({Para({{"c", Char()}}, centred), Para({{"r", Char()}}, right),
                                         Para({{"j", Char()}}, justified)}));
    docs.emplace_back("bullet and indents", Doc({Para({{"vi\xF1"
                                                        "eta",
                                                        Char()}},
                                                      bullet),
                                                 Para({{"sangr\xED"
                                                        "a",
                                                        Char()}},
                                                      indented)}));
    docs.emplace_back("32 tabs", Doc({Para({{"a\tb", Char()}}, tabs)}));
    docs.emplace_back("spacing", Doc({Para({{"x", Char()}}, spaced)}));
    for (uint8_t rule : {3, 4, 5}) {
        TRichParaFormat f;
        f.LineSpacingRule = rule;
        f.LineSpacing = rule == 5 ? 30 : 300;
        docs.emplace_back("line spacing", Doc({Para({{"l", Char()}}, f)}));
    }
    docs.emplace_back("empty paragraphs keep their format",
                      Doc({Para({}, centred), Para({{"medio", Char()}}), Para({}, right)}));
    TRichParagraph boldEnd = Para({});
    boldEnd.EndFormat = bold;
    docs.emplace_back("an empty paragraph's typing format", Doc({Para({{"a", Char()}}), boldEnd}));
    return docs;
}

}  // namespace

TEST(RichDocument, DocumentsReadBackAsWritten) {
    for (auto& [name, doc] : Documents()) {
        const AnsiString rtf = WriteRtf(doc);
        TRichDocument back = ReadRtf(rtf);
        EXPECT_EQ(back, doc) << name << "\n" << rtf;
        EXPECT_EQ(back.Text(), doc.Text()) << name;
        EXPECT_EQ(WriteRtf(back), rtf) << name;
    }
}

TEST(RichDocument, ReadsTheFormatsOfOtherWriters) {
    // As another editor writes it: fonts and colours in tables, formats
    // outside groups, bullets in "\pn", a first-line indent in "\fi".
    const char* rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\qc\\f0\\fs24 T\\'edtulo\\par\r\n"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720"
        "\\b uno \\b0\\cf1 rojo\\cf0  \\highlight2\\i azul\\par\r\n"
        "\\pard\\sl-300\\slmult0\\tx720\\tx1440 \\ul a\\ulnone\\tab b\\par\r\n}";
    TRichDocument d = ReadRtf(rtf);
    ASSERT_EQ(d.ParagraphCount(), 3);
    EXPECT_EQ(d.Text(), "T\xEDtulo\r\nuno rojo azul\r\na\tb");
    EXPECT_EQ(d.Paragraph(0).Format.Alignment, raCenter);
    EXPECT_EQ(d.Paragraph(0).Runs[0].Format.Height, 240);
    const TRichParagraph& b = d.Paragraph(1);
    EXPECT_EQ(b.Format.Numbering, rnBullet);
    EXPECT_EQ(b.Format.StartIndent, 0);
    EXPECT_EQ(b.Format.Offset, 720);
    ASSERT_EQ(b.Runs.size(), 4u);
    EXPECT_TRUE(b.Runs[0].Format.Bold);
    EXPECT_FALSE(b.Runs[1].Format.AutoColor);
    EXPECT_EQ(b.Runs[1].Format.Color, 0x0000FFu);
    EXPECT_TRUE(b.Runs[2].Format.AutoColor);
    EXPECT_FALSE(b.Runs[3].Format.AutoBackColor);
    EXPECT_EQ(b.Runs[3].Format.BackColor, 0xFF0000u);
    EXPECT_TRUE(b.Runs[3].Format.Italic);
    const TRichParagraph& c = d.Paragraph(2);
    EXPECT_EQ(c.Format.LineSpacingRule, 4);
    EXPECT_EQ(c.Format.LineSpacing, 300);
    EXPECT_EQ(c.Format.Tabs, (std::vector<int>{720, 1440}));
    EXPECT_TRUE(c.Runs[0].Format.Underline);
    EXPECT_FALSE(c.Runs[1].Format.Underline);
    // One and a half and double lines come back as twentieths of a line, as
    // the control sets them.
    for (auto [rule, twentieths] : {std::pair{1, 30}, std::pair{2, 40}}) {
        TRichParaFormat f;
        f.LineSpacingRule = static_cast<uint8_t>(rule);
        TRichDocument back = ReadRtf(WriteRtf(Doc({Para({{"x", Char()}}, f)})));
        EXPECT_EQ(back.Paragraph(0).Format.LineSpacingRule, 5);
        EXPECT_EQ(back.Paragraph(0).Format.LineSpacing, twentieths);
    }
    // More than 32 tab stops: the first 32.
    AnsiString many = "{\\rtf1\\pard";
    for (int i = 1; i <= 40; ++i) many += "\\tx" + IntToStr(i * 100);
    many += " t\\par}";
    EXPECT_EQ(ReadRtf(many).Paragraph(0).Format.Tabs.size(), 32u);
}

TEST(RichDocument, EditingKeepsRunsAndParagraphFormats) {
    TRichCharFormat bold = Char();
    bold.Bold = true;
    TRichParaFormat centred;
    centred.Alignment = raCenter;
    TRichDocument d = Doc({Para({{"uno ", Char()}, {"dos", bold}}, centred), Para({{"tres", Char()}})});
    EXPECT_EQ(d.Length(), 13);
    EXPECT_EQ(d.ParagraphAt(7), 0);
    EXPECT_EQ(d.ParagraphAt(8), 0) << "inside the break";
    EXPECT_EQ(d.ParagraphAt(9), 1);

    // Typed text takes the format before it; a break splits the paragraph,
    // both halves keeping its format.
    d.Replace(7, 7, "s\r\nmas");
    EXPECT_EQ(d.Text(), "uno doss\r\nmas\r\ntres");
    ASSERT_EQ(d.ParagraphCount(), 3);
    EXPECT_EQ(d.Paragraph(0).Runs.back().Text, "doss");
    EXPECT_EQ(d.Paragraph(1).Runs[0].Format, bold);
    EXPECT_EQ(d.Paragraph(1).Format.Alignment, raCenter);
    // Deleting across a break joins the paragraphs under the later mark.
    d.Replace(8, 15, "");
    EXPECT_EQ(d.Text(), "uno dosstres");
    EXPECT_EQ(d.ParagraphCount(), 1);
    EXPECT_EQ(d.Paragraph(0).Format.Alignment, raLeft);

    // Character formats on a range split and merge runs; asking for a range
    // tells which attributes it shares.
    d.SetCharFormat(0, 3, bold, cmBold);
    uint32_t mask = 0;
    TRichCharFormat f = d.CharFormat(0, 12, &mask);
    EXPECT_TRUE(f.Bold);
    EXPECT_EQ(mask & cmBold, 0u);
    EXPECT_EQ(mask & cmFace, static_cast<uint32_t>(cmFace));
    d.SetCharFormat(0, 12, Char(), cmBold);
    EXPECT_EQ(d.Paragraph(0).Runs.size(), 1u);
    // An empty range sets the format the next typed text takes.
    d.Replace(0, 12, "");
    d.SetCharFormat(0, 0, bold, cmBold);
    d.Replace(0, 0, "x");
    EXPECT_TRUE(d.Paragraph(0).Runs[0].Format.Bold);

    // A range of the document is a document, and goes back in whole.
    TRichDocument src = Doc({Para({{"ab", bold}}, centred), Para({{"cd", Char()}})});
    TRichDocument piece = src.Range(1, 5);
    EXPECT_EQ(piece.Text(), "b\r\nc");
    EXPECT_TRUE(piece.Paragraph(0).Runs[0].Format.Bold);
    d.ReplaceWith(1, 1, piece);
    EXPECT_EQ(d.Text(), "xb\r\nc");
    EXPECT_EQ(d.Paragraph(0).Format.Alignment, raCenter);
    EXPECT_EQ(d.Paragraph(1).Format.Alignment, raLeft);
}

TEST(RichDocument, StreamsThroughBlocks) {
    // Reading stops at the first empty block, whatever sizes come before.
    TRichDocument big;
    AnsiString text;
    for (int i = 0; i < 3000; ++i) text += "linea " + IntToStr(i) + "\r\n";
    big.SetPlainText(text);
    AnsiString out;
    int blocks = 0;
    EXPECT_TRUE(StreamOutDocument(big, true, [&](const char* B, int N) {
        EXPECT_LE(N, RichStreamBlockSize);
        ++blocks;
        out.append(B, static_cast<size_t>(N));
        return N;
    }));
    EXPECT_GT(blocks, 1);
    size_t at = 0;
    TRichDocument back = StreamInDocument(
        [&](char* B, int N) {
            size_t n = std::min<size_t>(static_cast<size_t>(N) / 3, out.size() - at);
            std::copy_n(out.data() + at, n, B);
            at += n;
            return static_cast<int>(n);
        },
        true);
    EXPECT_EQ(back, big);
    // A writer that takes less ends the stream as failed.
    EXPECT_FALSE(StreamOutDocument(big, false, [](const char*, int N) { return N - 1; }));
    // Plain text reads its own braces; rich text read as plain is its source.
    at = 0;
    TRichDocument plain = StreamInDocument(
        [&](char* B, int N) {
            size_t n = std::min<size_t>(static_cast<size_t>(N), out.size() - at);
            std::copy_n(out.data() + at, n, B);
            at += n;
            return static_cast<int>(n);
        },
        false);
    EXPECT_EQ(plain.Paragraph(0).Text().substr(0, 5), "{\\rtf");
}

// Another reader of rich text reads what we write: the same text, and the
// same bold and italic runs in its HTML.
TEST(RichDocument, UnrtfReadsWhatWeWrite) {
    std::string version;
    ZELMOR_NEED_TOOL(RunCommand("unrtf --version 2>&1", version) == 0, "unrtf");
    TRichCharFormat bold = Char(), italic = Char();
    bold.Bold = true;
    italic.Italic = true;
    TRichDocument d = Doc({Para({{"Hola ", Char()}, {"negrita", bold}, {" y ", Char()}, {"cursiva", italic}}),
                           Para({{"Segunda l\xEDnea", Char()}})});
    const std::string file = ::testing::TempDir() + "rich_unrtf.rtf";
    {
        std::ofstream f(file, std::ios::binary);
        f << WriteRtf(d);
    }
    std::string text, html;
    ASSERT_EQ(RunCommand("unrtf --nopict --text " + ShellWord(file) + " 2>/dev/null", text), 0);
    // Its text output starts with a comment block of its own.
    size_t body = text.find("-----------------\n");
    ASSERT_NE(body, std::string::npos) << text;
    text = text.substr(body + 18);
    EXPECT_NE(text.find("Hola negrita y cursiva\n"), std::string::npos) << text;
    // It writes the text in the document's own character set.
    EXPECT_NE(text.find("Segunda l\xEDnea\n"), std::string::npos) << text;
    ASSERT_EQ(RunCommand("unrtf --nopict --html " + ShellWord(file) + " 2>/dev/null", html), 0);
    EXPECT_NE(html.find("<b>negrita</b>"), std::string::npos) << html;
    // Its italics run on to the paragraph's end; the next paragraph is upright.
    size_t italicAt = html.find("<i>cursiva");
    ASSERT_NE(italicAt, std::string::npos) << html;
    EXPECT_LT(html.find("</i>", italicAt), html.find("Segunda")) << html;
    EXPECT_EQ(html.find("<b>Hola"), std::string::npos) << html;
    std::remove(file.c_str());
}

// Layout by formula at 96 dots per inch: indents and tab stops are twips x
// 96 / 1440 pixels; the first line starts at the start indent, the next ones
// at the start indent plus the offset; a line's height is its font's, spaced
// by the paragraph's rule.
TEST(RichLayout, IndentsTabsAndLinesFromTwips) {
    TBitmap Bmp(10, 10);
    TCanvas& C = *Bmp.Canvas();
    ASSERT_EQ(C.PixelsPerInch(), 96);
    TRichParagraph P;
    P.Format.StartIndent = 1440;  // 96 px
    P.Format.Offset = -720;       // the next lines at 48 px
    P.Format.Tabs = {2880};       // 192 px
    AnsiString Words;
    for (int I = 0; I < 40; ++I) Words += "palabra ";
    P.Runs.push_back(TRichRun{"a\tb " + Words, Char()});
    const int Width = 600;
    TRichParagraphLayout L = LayoutRichParagraph(C, P, Width);
    ASSERT_GT(L.Lines.size(), 2u);
    EXPECT_EQ(L.Lines[0].Pieces[0].X, 96);
    EXPECT_EQ(L.Lines[0].Pieces[2].X, 192) << "the piece after the tab";
    EXPECT_EQ(L.Lines[1].Pieces[0].X, 48);
    C.Font()->SetName("Arial");
    C.Font()->SetSize(10);
    TTextMetric Tm;
    C.GetTextMetrics(Tm);
    const int Line = Tm.tmAscent + Tm.tmDescent;
    EXPECT_EQ(L.Lines[1].Top - L.Lines[0].Top, Line);
    for (const TRichLine& Each : L.Lines) {
        const TRichPiece& Last = Each.Pieces.back();
        EXPECT_LE(Last.X, Width) << "no word starts beyond the right edge";
    }
    // The next line starts where the one before ended: no character lost.
    for (size_t I = 1; I < L.Lines.size(); ++I) EXPECT_EQ(L.Lines[I].Start, L.Lines[I - 1].End);
    EXPECT_EQ(L.Lines.back().End, P.Length());
    // Double spacing, space before and after; centred and right-aligned text.
    P.Format.LineSpacingRule = 2;
    P.Format.SpaceBefore = 240;  // 16 px
    P.Format.SpaceAfter = 120;   // 8 px
    TRichParagraphLayout D = LayoutRichParagraph(C, P, Width);
    EXPECT_EQ(D.Lines[0].Top, 16);
    EXPECT_EQ(D.Lines[1].Top - D.Lines[0].Top, 2 * Line);
    EXPECT_EQ(D.Height, D.Lines.back().Top + D.Lines.back().Height + 8);
    TRichParagraph Short;
    Short.Runs.push_back(TRichRun{"centro", Char()});
    Short.Format.Alignment = raRight;
    Short.Format.RightIndent = 720;
    TRichParagraphLayout R = LayoutRichParagraph(C, Short, Width);
    EXPECT_EQ(R.Lines[0].Pieces[0].X + R.Lines[0].Pieces[0].Width, Width - 48);
    Short.Format.Alignment = raCenter;
    TRichParagraphLayout M = LayoutRichParagraph(C, Short, Width);
    EXPECT_EQ(M.Lines[0].Pieces[0].X, (Width - 48 - M.Lines[0].Pieces[0].Width) / 2);
}
