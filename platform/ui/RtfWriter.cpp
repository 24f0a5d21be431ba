#include "platform/ui/RtfWriter.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/rtl/Strings.h"
#include "platform/ui/RichDocument.h"

namespace {

class TWriter {
public:
    explicit TWriter(const TRichDocument& D) : FDocument(D) {
        FColors.push_back(0);  // entry 0: the automatic colour
        for (const TRichParagraph& p : D.Paragraphs()) {
            for (const TRichRun& r : p.Runs) Collect(r.Format);
            Collect(p.EndFormat);
        }
    }

    AnsiString Write() {
        FOut.reserve(static_cast<size_t>(FDocument.Length()) * 11 / 10 + 256);
        FOut += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
        for (size_t i = 0; i < FFonts.size(); ++i) {
            FOut += "{\\f" + IntToStr(static_cast<int>(i)) + "\\fnil\\fcharset" + IntToStr(FFonts[i].second) +
                    " ";
            Text(FFonts[i].first);
            FOut += ";}";
        }
        FOut += "}\r\n{\\colortbl ;";
        for (size_t i = 1; i < FColors.size(); ++i)
            FOut += "\\red" + IntToStr(GetRValue(FColors[i])) + "\\green" + IntToStr(GetGValue(FColors[i])) +
                    "\\blue" + IntToStr(GetBValue(FColors[i])) + ";";
        FOut += "}\r\n\\viewkind4\\uc1";
        for (const TRichParagraph& p : FDocument.Paragraphs()) Paragraph(p);
        FOut += "}\r\n";
        return std::move(FOut);
    }

private:
    void Collect(const TRichCharFormat& F) {
        std::pair<AnsiString, int> font{F.FaceName, F.Charset};
        if (std::find(FFonts.begin(), FFonts.end(), font) == FFonts.end()) FFonts.push_back(font);
        if (!F.AutoColor) ColorIndex(F.Color);
        if (!F.AutoBackColor) ColorIndex(F.BackColor);
    }
    int ColorIndex(TColorRef C) {
        auto it = std::find(FColors.begin() + 1, FColors.end(), C);
        if (it != FColors.end()) return static_cast<int>(it - FColors.begin());
        FColors.push_back(C);
        return static_cast<int>(FColors.size() - 1);
    }
    int FontIndex(const TRichCharFormat& F) const {
        std::pair<AnsiString, int> font{F.FaceName, F.Charset};
        return static_cast<int>(std::find(FFonts.begin(), FFonts.end(), font) - FFonts.begin());
    }
    void Word(const char* W, int Value) {
        FOut += W;
        FOut += IntToStr(Value);
    }

    void Paragraph(const TRichParagraph& P) {
        const TRichParaFormat& f = P.Format;
        FOut += "\\pard";
        if (f.Numbering == rnBullet) FOut += "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}";
        if (f.Alignment == raRight) FOut += "\\qr";
        if (f.Alignment == raCenter) FOut += "\\qc";
        if (f.Alignment == raJustify) FOut += "\\qj";
        // The reader's left indent holds every line but the first, which
        // stands First away from it.
        if (f.Offset != 0) Word("\\fi", -f.Offset);
        if (f.StartIndent + f.Offset != 0) Word("\\li", f.StartIndent + f.Offset);
        if (f.RightIndent != 0) Word("\\ri", f.RightIndent);
        if (f.SpaceBefore != 0) Word("\\sb", f.SpaceBefore);
        if (f.SpaceAfter != 0) Word("\\sa", f.SpaceAfter);
        switch (f.LineSpacingRule) {
        case 1: FOut += "\\sl360\\slmult1"; break;
        case 2: FOut += "\\sl480\\slmult1"; break;
        case 3:
            if (f.LineSpacing > 0) Word("\\sl", f.LineSpacing), FOut += "\\slmult0";
            break;
        case 4:
            if (f.LineSpacing > 0) Word("\\sl", -f.LineSpacing), FOut += "\\slmult0";
            break;
        case 5:
            if (f.LineSpacing > 0) Word("\\sl", f.LineSpacing * 12), FOut += "\\slmult1";
            break;
        default: break;
        }
        for (int t : f.Tabs) Word("\\tx", t);
        for (const TRichRun& r : P.Runs) {
            Format(r.Format);
            Text(r.Text);
        }
        if (P.Runs.empty()) Format(P.EndFormat);
        FOut += "\\par\r\n";
    }

    void Format(const TRichCharFormat& F) {
        FOut += "\\plain";
        Word("\\f", FontIndex(F));
        Word("\\fs", std::max(1, F.Height / 10));
        if (F.Bold) FOut += "\\b";
        if (F.Italic) FOut += "\\i";
        if (F.Underline) FOut += "\\ul";
        if (F.StrikeOut) FOut += "\\strike";
        if (!F.AutoColor) Word("\\cf", ColorIndex(F.Color));
        if (!F.AutoBackColor) Word("\\highlight", ColorIndex(F.BackColor));
        FOut += ' ';
    }

    void Text(const AnsiString& T) {
        static const char hex[] = "0123456789abcdef";
        for (char c : T) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '\\' || c == '{' || c == '}') {
                FOut += '\\';
                FOut += c;
            } else if (c == '\t') {
                FOut += "\\tab ";
            } else if (u >= 0x80 || u < 0x20) {
                FOut += "\\'";
                FOut += hex[u >> 4];
                FOut += hex[u & 15];
            } else {
                FOut += c;
            }
        }
    }

    const TRichDocument& FDocument;
    std::vector<std::pair<AnsiString, int>> FFonts;
    std::vector<TColorRef> FColors;
    AnsiString FOut;
};

}  // namespace

AnsiString WriteRtf(const TRichDocument& Document) { return TWriter(Document).Write(); }
