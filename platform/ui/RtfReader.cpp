#include "platform/ui/RtfReader.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/rtl/Strings.h"

namespace {

bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// Destinations whose groups hold no text of the document.
bool IsSkippedDestination(std::string_view Word) {
    static constexpr std::string_view skipped[] = {"fonttbl",
                                                   "colortbl",
                                                   "stylesheet",
                                                   "listtable",
                                                   "listoverridetable",
                                                   "info",
                                                   "pict",
                                                   "object",
                                                   "objdata",
                                                   "themedata",
                                                   "colorschememapping",
                                                   "datastore",
                                                   "latentstyles",
                                                   "generator",
                                                   "rsidtbl",
                                                   "xmlnstbl",
                                                   "filetbl",
                                                   "revtbl",
                                                   "fldinst",
                                                   "header",
                                                   "headerl",
                                                   "headerr",
                                                   "headerf",
                                                   "footer",
                                                   "footerl",
                                                   "footerr",
                                                   "footerf",
                                                   "footnote",
                                                   "annotation",
                                                   "bkmkstart",
                                                   "bkmkend",
                                                   "listtext",
                                                   "pntext",
                                                   "pntxta",
                                                   "pntxtb",
                                                   "shpinst",
                                                   "nonshppict",
                                                   "userprops",
                                                   "docvar",
                                                   "mmathPr"};
    for (std::string_view s : skipped)
        if (Word == s) return true;
    return false;
}

// Control words that stand for one character.
int SymbolOf(std::string_view Word) {
    if (Word == "tab") return '\t';
    if (Word == "emdash") return 0x97;
    if (Word == "endash") return 0x96;
    if (Word == "bullet") return 0x95;
    if (Word == "lquote") return 0x91;
    if (Word == "rquote") return 0x92;
    if (Word == "ldblquote") return 0x93;
    if (Word == "rdblquote") return 0x94;
    if (Word == "emspace" || Word == "enspace" || Word == "qmspace") return ' ';
    return -1;
}

// Groups nested deeper are read as text no deeper: a damaged text cannot
// exhaust the stack of states.
constexpr size_t MaxDepth = 1000;

}  // namespace

bool IsRichText(std::string_view Text) { return Text.substr(0, 5) == "{\\rtf"; }

void TRtfReader::Read(std::string_view Rtf) {
    if (!IsRichText(Rtf)) {
        Characters(Rtf);
        return;
    }
    struct TState {
        bool Skip = false;
        int UnicodeSkip = 1;     // characters of ANSI fallback after \uN
        bool Announced = false;  // GroupStart was called for the group
    };
    std::vector<TState> states{TState{}};
    int fallback = 0;              // fallback characters still to pass over
    bool destinationNext = false;  // after "\*": the next word names a destination to skip
    AnsiString text;
    auto flush = [&] {
        if (!text.empty()) Characters(text);
        text.clear();
    };
    auto emit = [&](char C) {
        if (states.back().Skip) return;
        if (fallback > 0) {
            --fallback;
            return;
        }
        text += C;
    };
    size_t i = 0;
    while (i < Rtf.size()) {
        const char c = Rtf[i];
        if (c == '{') {
            ++i;
            flush();
            if (states.size() < MaxDepth) states.push_back(states.back());
            fallback = 0;
            states.back().Announced = !states.back().Skip;
            if (states.back().Announced) GroupStart();
            continue;
        }
        if (c == '}') {
            ++i;
            flush();
            bool announced = states.back().Announced;
            if (states.size() > 1) states.pop_back();
            fallback = 0;
            destinationNext = false;
            if (announced) GroupEnd();
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            emit(c);
            ++i;
            continue;
        }
        // A control word or symbol.
        ++i;
        if (i >= Rtf.size()) break;
        const char next = Rtf[i];
        if (!IsLetter(next)) {
            ++i;
            switch (next) {
            case '\'': {
                int hi = i < Rtf.size() ? HexValue(Rtf[i]) : -1;
                int lo = i + 1 < Rtf.size() ? HexValue(Rtf[i + 1]) : -1;
                if (hi >= 0 && lo >= 0) {
                    emit(static_cast<char>(hi * 16 + lo));
                    i += 2;
                }
                break;
            }
            case '*': destinationNext = true; break;
            case '~': emit(static_cast<char>(0xA0)); break;
            case '_': emit('-'); break;
            case '-': break;  // an optional hyphen shows only at a line's end
            case '\r':
            case '\n':
                flush();
                if (!states.back().Skip) ParagraphBreak();
                break;
            default: emit(next); break;  // \\ \{ \} and the like stand for themselves
            }
            continue;
        }
        size_t start = i;
        while (i < Rtf.size() && IsLetter(Rtf[i])) ++i;
        std::string_view word = Rtf.substr(start, i - start);
        bool hasParameter = false;
        int parameter = 0;
        bool negative = false;
        if (i < Rtf.size() && Rtf[i] == '-' && i + 1 < Rtf.size() && IsDigit(Rtf[i + 1])) {
            negative = true;
            ++i;
        }
        while (i < Rtf.size() && IsDigit(Rtf[i])) {
            hasParameter = true;
            if (parameter < 100000000) parameter = parameter * 10 + (Rtf[i] - '0');
            ++i;
        }
        if (negative) parameter = -parameter;
        if (i < Rtf.size() && Rtf[i] == ' ') ++i;  // the word's delimiter
        TState& state = states.back();
        if (WantsDestination(word)) {
            // A destination the reader takes apart itself: its words and
            // characters go to it like the document's.
            destinationNext = false;
            flush();
            if (!states.back().Skip) ControlWord(word, hasParameter, parameter);
            continue;
        }
        if (destinationNext || IsSkippedDestination(word)) {
            // An unknown "\*" destination is skipped whole, as are the known
            // ones that hold no text.
            destinationNext = false;
            if (states.size() > 1) {
                flush();
                state.Skip = true;
            }
            continue;
        }
        if (state.Skip) continue;
        if (word == "par" || word == "line") {
            flush();
            ParagraphBreak();
        } else if (word == "uc") {
            state.UnicodeSkip = hasParameter ? parameter : 1;
        } else if (word == "u" && hasParameter) {
            int code = parameter < 0 ? parameter + 65536 : parameter;
            int ansi = UnicodeToAnsiChar(static_cast<char32_t>(code));
            if (ansi >= 0) {
                emit(static_cast<char>(ansi));
                fallback = state.UnicodeSkip;
            }
            // Without a Windows-1252 byte, the fallback that follows stands for it.
        } else if (int symbol = SymbolOf(word); symbol >= 0) {
            emit(static_cast<char>(symbol));
        } else {
            flush();
            ControlWord(word, hasParameter, parameter);
        }
    }
    flush();
}

namespace {

// Builds the document: the character format is the group's, as rich text
// scopes it; the paragraph format lasts until "\pard" (the writers of rich
// text set it outside groups, and bullets come inside a "\pn" group).
class TDocumentReader : public TRtfReader {
public:
    explicit TDocumentReader(const TRichCharFormat& Default) : FDefault(Default) {
        FStates.push_back(TState{Default, dnText});
        FParagraph.EndFormat = Default;
    }

    TRichDocument Finish() {
        EndParagraph();
        // The mark of the last paragraph ends the document: the empty
        // paragraph after it is no paragraph of the text.
        if (FParagraphs.size() > 1 && FParagraphs.back().Runs.empty() && FEndedByMark) FParagraphs.pop_back();
        TRichDocument d;
        d.SetDefaultFormat(FDefault);
        d.SetParagraphs(std::move(FParagraphs));
        return d;
    }

protected:
    enum TDestination : uint8_t { dnText, dnFontTable, dnColorTable, dnBullet };
    struct TState {
        TRichCharFormat Format;
        TDestination Destination;
    };
    struct TFont {
        AnsiString Name;
        uint8_t Charset = 0;
    };

    bool WantsDestination(std::string_view Word) override {
        return Word == "fonttbl" || Word == "colortbl" || Word == "pn";
    }

    void GroupStart() override {
        if (FStates.size() < 1000) FStates.push_back(FStates.back());
    }
    void GroupEnd() override {
        if (FStates.back().Destination == dnFontTable) CommitFont();
        if (FStates.size() > 1) FStates.pop_back();
    }

    void Characters(std::string_view Text) override {
        TState& st = FStates.back();
        switch (st.Destination) {
        case dnText:
            if (!FParagraph.Runs.empty() && FParagraph.Runs.back().Format == st.Format)
                FParagraph.Runs.back().Text += Text;
            else FParagraph.Runs.push_back(TRichRun{AnsiString(Text), st.Format});
            FEndedByMark = false;
            break;
        case dnFontTable:
            for (char c : Text) {
                if (c == ';') CommitFont();
                else FFontName += c;
            }
            break;
        case dnColorTable:
            for (char c : Text)
                if (c == ';') CommitColor();
            break;
        case dnBullet: break;
        }
    }

    void ParagraphBreak() override {
        if (FStates.back().Destination != dnText) return;
        EndParagraph();
        TRichParagraph next;
        FParagraph = next;
        FEndedByMark = true;
    }

    void ControlWord(std::string_view Word, bool HasParameter, int Parameter) override {
        TState& st = FStates.back();
        TRichCharFormat& f = st.Format;
        const bool on = !HasParameter || Parameter != 0;
        if (Word == "fonttbl") st.Destination = dnFontTable;
        else if (Word == "colortbl") {
            st.Destination = dnColorTable;
            FColors.clear();
            FColorSet = false;
        } else if (Word == "pn") st.Destination = dnBullet;
        else if (st.Destination == dnFontTable) {
            if (Word == "f") {
                FFontIndex = Parameter;
                FFontCharset = 0;
                FFontName.clear();
            } else if (Word == "fcharset") FFontCharset = static_cast<uint8_t>(Parameter);
        } else if (st.Destination == dnColorTable) {
            int v = std::clamp(Parameter, 0, 255);
            if (Word == "red") FRed = v, FColorSet = true;
            else if (Word == "green") FGreen = v, FColorSet = true;
            else if (Word == "blue") FBlue = v, FColorSet = true;
        } else if (st.Destination == dnBullet) {
            if (Word == "pnlvlblt") FPara.Numbering = rnBullet;
        } else if (Word == "b") f.Bold = on;
        else if (Word == "i") f.Italic = on;
        else if (Word == "ul") f.Underline = on;
        else if (Word == "ulnone") f.Underline = false;
        else if (Word == "strike") f.StrikeOut = on;
        else if (Word == "plain") f = FDefault;
        else if (Word == "f") {
            if (auto it = FFonts.find(Parameter); it != FFonts.end()) {
                f.FaceName = it->second.Name;
                f.Charset = it->second.Charset;
            }
        } else if (Word == "fs") {
            if (Parameter > 0 && Parameter <= 3276) f.Height = Parameter * 10;
        } else if (Word == "cf") {
            f.AutoColor = !ColorAt(Parameter, f.Color);
            if (f.AutoColor) f.Color = TRichCharFormat{}.Color;
        } else if (Word == "highlight" || Word == "cb") {
            f.AutoBackColor = !ColorAt(Parameter, f.BackColor);
            if (f.AutoBackColor) f.BackColor = TRichCharFormat{}.BackColor;
        } else if (Word == "pard") {
            FPara = TRichParaFormat{};
            FLeft = FFirst = FLine = 0;
            FMultiple = false;
        } else if (Word == "ql") FPara.Alignment = raLeft;
        else if (Word == "qr") FPara.Alignment = raRight;
        else if (Word == "qc") FPara.Alignment = raCenter;
        else if (Word == "qj") FPara.Alignment = raJustify;
        else if (Word == "li") FLeft = Parameter;
        else if (Word == "fi") FFirst = Parameter;
        else if (Word == "ri") FPara.RightIndent = Parameter;
        else if (Word == "tx") {
            if (FPara.Tabs.size() < static_cast<size_t>(MaxRichTabStops)) FPara.Tabs.push_back(Parameter);
        } else if (Word == "sb") FPara.SpaceBefore = Parameter;
        else if (Word == "sa") FPara.SpaceAfter = Parameter;
        else if (Word == "sl") FLine = Parameter;
        else if (Word == "slmult") FMultiple = on;
    }

private:
    bool ColorAt(int Index, TColorRef& Color) const {
        if (Index <= 0 || static_cast<size_t>(Index) >= FColors.size() ||
            !FColors[static_cast<size_t>(Index)].first)
            return false;
        Color = FColors[static_cast<size_t>(Index)].second;
        return true;
    }
    void CommitFont() {
        if (FFontIndex >= 0) {
            while (!FFontName.empty() && FFontName.front() == ' ') FFontName.erase(0, 1);
            FFonts[FFontIndex] = TFont{FFontName, FFontCharset};
        }
        FFontIndex = -1;
        FFontName.clear();
    }
    void CommitColor() {
        FColors.emplace_back(FColorSet, static_cast<TColorRef>(RGB(FRed, FGreen, FBlue)));
        FRed = FGreen = FBlue = 0;
        FColorSet = false;
    }
    void EndParagraph() {
        TRichParaFormat p = FPara;
        p.StartIndent = FLeft + FFirst;
        p.Offset = -FFirst;
        if (FLine == 0) {
            p.LineSpacingRule = 0;
        } else if (FMultiple) {
            // Twelfths of a twentieth of a line: less than one is single.
            p.LineSpacingRule = FLine / 12 > 0 ? 5 : 0;
            p.LineSpacing = FLine / 12 > 0 ? FLine / 12 : 0;
        } else {
            p.LineSpacingRule = FLine > 0 ? 3 : 4;
            p.LineSpacing = FLine > 0 ? FLine : -FLine;
        }
        FParagraph.Format = p;
        FParagraph.EndFormat = FStates.back().Format;
        FParagraphs.push_back(std::move(FParagraph));
        FParagraph = TRichParagraph{};
    }

    TRichCharFormat FDefault;
    std::vector<TState> FStates;
    std::vector<TRichParagraph> FParagraphs;
    TRichParagraph FParagraph;
    bool FEndedByMark = false;
    TRichParaFormat FPara;
    int FLeft = 0, FFirst = 0, FLine = 0;
    bool FMultiple = false;
    std::map<int, TFont> FFonts;
    int FFontIndex = -1;
    uint8_t FFontCharset = 0;
    AnsiString FFontName;
    std::vector<std::pair<bool, TColorRef>> FColors;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FColorSet = false;
};

}  // namespace

TRichDocument ReadRtf(std::string_view Rtf, const TRichCharFormat& Default) {
    if (!IsRichText(Rtf)) {
        TRichDocument d;
        d.SetDefaultFormat(Default);
        d.SetPlainText(Rtf);
        return d;
    }
    TDocumentReader reader(Default);
    reader.Read(Rtf);
    return reader.Finish();
}

AnsiString RtfToPlainText(std::string_view Rtf) { return ReadRtf(Rtf).Text(); }
