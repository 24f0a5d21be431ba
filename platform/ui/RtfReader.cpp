#include "platform/ui/RtfReader.h"

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
        int UnicodeSkip = 1;  // characters of ANSI fallback after \uN
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
            if (!states.back().Skip) GroupStart();
            continue;
        }
        if (c == '}') {
            ++i;
            flush();
            bool skipped = states.back().Skip;
            if (states.size() > 1) states.pop_back();
            fallback = 0;
            destinationNext = false;
            if (!skipped) GroupEnd();
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
class TPlainTextReader : public TRtfReader {
public:
    AnsiString Text;
    int PendingBreaks = 0;

protected:
    void Characters(std::string_view Chars) override {
        for (; PendingBreaks > 0; --PendingBreaks) Text += "\r\n";
        Text += Chars;
    }
    // A break counts once text follows it: the last paragraph's mark ends
    // the document and adds no empty line.
    void ParagraphBreak() override { ++PendingBreaks; }
};
}  // namespace

AnsiString RtfToPlainText(std::string_view Rtf) {
    TPlainTextReader reader;
    reader.Read(Rtf);
    if (reader.PendingBreaks > 1) {
        for (int i = 1; i < reader.PendingBreaks; ++i) reader.Text += "\r\n";
    }
    return reader.Text;
}
