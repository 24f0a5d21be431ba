#include "dataaware/wwstr.h"

#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

namespace {
AnsiString AsciiUpperText(std::string_view Text) {
    AnsiString s(Text);
    for (char& c : s) c = AsciiUpper(c);
    return s;
}

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
}  // namespace

AnsiString FileNameStem(std::string_view Path) {
    size_t slash = Path.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? Path : Path.substr(slash + 1);
    return TextBeforeChar(name, '.');
}

AnsiString NextToken(std::string_view Text, std::string_view Delimiter, int& Position) {
    if (Position <= 0) return {};
    if (static_cast<size_t>(Position) > Text.size()) {
        Position = -1;
        return {};
    }
    std::string_view rest = Text.substr(static_cast<size_t>(Position) - 1);
    size_t found;
    size_t delimiterLength;
    if (Delimiter.size() == 1) {
        found = rest.find(Delimiter[0]);
        delimiterLength = 1;
    } else {
        // A word delimiter ("AND") counts only between blanks, so that it is
        // not found inside a name.
        AnsiString word = AnsiString(1, ' ').append(AsciiUpperText(Delimiter)).append(1, ' ');
        found = AsciiUpperText(rest).find(word);
        delimiterLength = word.size();
    }
    if (found == std::string_view::npos) {
        Position = -1;
        return AnsiString(rest);
    }
    Position += static_cast<int>(found + delimiterLength);
    return AnsiString(rest.substr(0, found));
}

void SplitToList(std::string_view Text, char Separator, TStrings& List) {
    List.BeginUpdate();
    List.Clear();
    size_t start = 0;
    for (;;) {
        size_t at = Text.find(Separator, start);
        if (at == std::string_view::npos) break;
        List.Add(AnsiString(Text.substr(start, at - start)));
        start = at + 1;
    }
    List.Add(AnsiString(Text.substr(start)));
    List.EndUpdate();
}

void TrimBlanks(AnsiString& Text) {
    size_t first = 0, last = Text.size();
    while (first < last && IsBlank(Text[first])) ++first;
    while (last > first && IsBlank(Text[last - 1])) --last;
    Text = Text.substr(first, last - first);
}

void TrimLeadingChars(AnsiString& Text, const TCharSet& Chars) {
    size_t first = 0;
    while (first < Text.size() && Chars.Contains(Text[first])) ++first;
    Text.erase(0, first);
}

void TrimTrailingChars(AnsiString& Text, const TCharSet& Chars) {
    size_t last = Text.size();
    while (last > 0 && Chars.Contains(Text[last - 1])) --last;
    Text.resize(last);
}

AnsiString RemoveChar(std::string_view Text, char C) {
    AnsiString s;
    s.reserve(Text.size());
    for (char c : Text)
        if (c != C) s += c;
    return s;
}

AnsiString ReplaceChar(std::string_view Text, char C, char NewChar) {
    AnsiString s(Text);
    for (char& c : s)
        if (c == C) c = NewChar;
    return s;
}

AnsiString ReplaceCharWithText(std::string_view Text, char C, std::string_view Replacement) {
    AnsiString s;
    s.reserve(Text.size());
    for (char c : Text) {
        if (c == C) s += Replacement;
        else s += c;
    }
    return s;
}

bool EqualsIgnoreCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (AsciiUpper(A[i]) != AsciiUpper(B[i])) return false;
    return true;
}

int CountChar(std::string_view Text, char C) {
    int n = 0;
    for (char c : Text)
        if (c == C) ++n;
    return n;
}

AnsiString ScanToken(std::string_view Text, int& Position, unsigned Options, const TCharSet& Delimiters) {
    const int length = static_cast<int>(Text.size());
    if (Position <= 0 || Position > length) return {};
    auto at = [&](int P) { return Text[static_cast<size_t>(P) - 1]; };
    if (Options & stSkipBlanks) {
        while (Position <= length && IsBlank(at(Position))) ++Position;
        if (Position > length) return {};
    }
    if ((Options & stQuotedToken) && at(Position) == '"') {
        int close = Position + 1;
        while (close <= length && at(close) != '"') ++close;
        AnsiString token;
        if (close <= length) {
            token = AnsiString(
                Text.substr(static_cast<size_t>(Position) - 1, static_cast<size_t>(close - Position + 1)));
            Position = close + 1;
        } else {
            token = AnsiString(Text.substr(static_cast<size_t>(Position) - 1));
            Position = length + 1;
        }
        if (Options & stStripQuotes) {
            token.erase(0, 1);
            if (!token.empty() && (token.back() == '"' || token.back() == '\'')) token.pop_back();
        }
        return token;
    }
    const unsigned char lowest = (Options & stBlanksInToken) ? ' ' : '!';
    auto ends = [&](char C) { return static_cast<unsigned char>(C) < lowest || Delimiters.Contains(C); };
    int end = Position;
    while (end <= length && !ends(at(end))) ++end;
    if (end == Position) {
        // The character here ends any word: it is the token.
        ++Position;
        return AnsiString(1, at(end));
    }
    AnsiString token(Text.substr(static_cast<size_t>(Position) - 1, static_cast<size_t>(end - Position)));
    Position = end;
    return token;
}

AnsiString TextAfterChar(std::string_view Text, char C) {
    size_t at = Text.find(C);
    if (at == std::string_view::npos) return {};
    return AnsiString(Text.substr(at + 1));
}

AnsiString TextBeforeChar(std::string_view Text, char C) {
    size_t at = Text.find(C);
    if (at == std::string_view::npos) return {};
    return AnsiString(Text.substr(0, at));
}
