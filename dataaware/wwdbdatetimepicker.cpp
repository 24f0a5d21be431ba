#include "dataaware/wwdbdatetimepicker.h"

#include <algorithm>

#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"

// ---------------------------------------------------------------------------
// Format tokens and parts
// ---------------------------------------------------------------------------

namespace {

bool IsQuote(char C) { return C == '\'' || C == '"'; }

// The position (1-based) of the quote that closes the one at Position, or the
// format's length when it is never closed.
int ClosingQuote(const AnsiString& Format, int Position) {
    const size_t close =
        Format.find(Format[static_cast<size_t>(Position - 1)], static_cast<size_t>(Position));
    return close == AnsiString::npos ? static_cast<int>(Format.size()) : static_cast<int>(close) + 1;
}

bool IsTokenLetter(char Upper) {
    return Upper == 'A' || Upper == 'D' || Upper == 'H' || Upper == 'M' || Upper == 'N' || Upper == 'S' ||
           Upper == 'Y';
}

AnsiString Padded(int Value, size_t Width) {
    AnsiString s = IntToStr(Value);
    while (s.size() < Width) s.insert(s.begin(), '0');
    return s;
}

struct TDecoded {
    int Y = 0, M = 0, D = 0, H = 0, N = 0, S = 0, MS = 0, DOW = 1;
};

TDecoded Decode(TDateTime Value) {
    TDecoded d;
    DecodeDate(Value, d.Y, d.M, d.D);
    DecodeTime(Value, d.H, d.N, d.S, d.MS);
    d.DOW = DayOfWeek(Value);
    return d;
}

// What a token shows for the value.
AnsiString TokenText(const AnsiString& Token, const TDecoded& V, bool AmPm) {
    const TFormatSettings& st = FormatSettings();
    const size_t n = Token.size();
    switch (AsciiUpper(Token[0])) {
    case 'D':
        if (n <= 2) return Padded(V.D, n);
        if (V.Y == 0) return {};
        return n == 3 ? st.ShortDayNames[static_cast<size_t>(V.DOW - 1)]
                      : st.LongDayNames[static_cast<size_t>(V.DOW - 1)];
    case 'M':
        if (n <= 2) return Padded(V.M, n);
        if (V.M < 1) return {};
        return n == 3 ? st.ShortMonthNames[static_cast<size_t>(V.M - 1)]
                      : st.LongMonthNames[static_cast<size_t>(V.M - 1)];
    case 'Y': return n <= 2 ? Padded(V.Y % 100, 2) : Padded(V.Y, 4);
    case 'H': {
        int h = V.H;
        if (AmPm) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
        return Padded(h, n >= 2 ? 2 : 1);
    }
    case 'N': return Padded(V.N, n >= 2 ? 2 : 1);
    case 'S': return Padded(V.S, n >= 2 ? 2 : 1);
    case 'A': {
        const bool pm = V.H >= 12;
        if (n == 4) return pm ? st.TimePMString : st.TimeAMString;  // ampm
        if (n == 5) return Token.substr(pm ? 3 : 0, 2);             // am/pm
        return Token.substr(pm ? 2 : 0, 1);                         // a/p
    }
    default: return {};
    }
}

// Walks the format token by token. Visit(token, text) answers true to stop.
// Literals reach Literal(text).
template <typename TVisit, typename TLiteral>
void WalkFormat(const AnsiString& Format, TVisit Visit, TLiteral Literal) {
    const TFormatSettings& st = FormatSettings();
    const int len = static_cast<int>(Format.size());
    for (int pos = 1; pos <= len; ++pos) {
        const char c = Format[static_cast<size_t>(pos - 1)];
        const char u = AsciiUpper(c);
        if (IsQuote(c)) {
            const int close = ClosingQuote(Format, pos);
            Literal(
                Format.substr(static_cast<size_t>(pos), static_cast<size_t>(std::max(0, close - pos - 1))));
            pos = close;
        } else if (IsTokenLetter(u)) {
            const AnsiString token = ReadFormatToken(AsciiLower(u), Format, pos);
            if (token.empty()) Literal(AnsiString(1, c));
            else if (Visit(token)) return;
        } else if (c == '/') {
            Literal(AnsiString(1, st.DateSeparator));
        } else if (c == ':') {
            Literal(AnsiString(1, st.TimeSeparator));
        } else {
            Literal(AnsiString(1, c));
        }
    }
}

bool IsPartFor(const AnsiString& Token, TwwDTPartKinds Kinds) {
    return (Kinds.Date && IsDateToken(Token)) || (Kinds.Time && IsTimeToken(Token));
}

}  // namespace

AnsiString ReplaceAllText(const AnsiString& Text, const AnsiString& Pattern, const AnsiString& Replacement) {
    if (Pattern.empty()) return Text;
    AnsiString out;
    for (size_t i = 0; i < Text.size();) {
        if (Text.compare(i, Pattern.size(), Pattern) == 0) {
            out += Replacement;
            i += Pattern.size();
        } else {
            out += Text[i++];
        }
    }
    return out;
}

AnsiString ExpandDateTimeFormat(const AnsiString& Format) {
    const TFormatSettings& st = FormatSettings();
    AnsiString f = ReplaceAllText(Format, "c", st.ShortDateFormat + " " + st.LongTimeFormat);
    f = ReplaceAllText(f, "dddddd", st.LongDateFormat);
    f = ReplaceAllText(f, "ddddd", st.ShortDateFormat);
    f = ReplaceAllText(f, "tt", st.LongTimeFormat);
    return ReplaceAllText(f, "t", st.ShortTimeFormat);
}

AnsiString ReadFormatToken(char Letter, const AnsiString& Format, int& Position) {
    const int len = static_cast<int>(Format.size());
    auto at = [&](int P) { return P >= 1 && P <= len ? Format[static_cast<size_t>(P - 1)] : '\0'; };
    if (Letter == 'a') {
        const auto follows = [&](const char* What) {
            for (int i = 0; What[i]; ++i)
                if (AsciiLower(at(Position + 1 + i)) != What[i]) return false;
            return true;
        };
        int n = 0;
        if (follows("/p")) n = 3;
        else if (follows("m/pm")) n = 5;
        else if (follows("mpm")) n = 4;
        if (n == 0) return {};
        AnsiString token = Format.substr(static_cast<size_t>(Position - 1), static_cast<size_t>(n));
        Position += n - 1;
        return token;
    }
    const char upper = AsciiUpper(Letter);
    int n = 0;
    while (AsciiUpper(at(Position + n)) == upper) ++n;
    const bool afterHour = AsciiUpper(at(Position - 2)) == 'H';
    Position += n - 1;
    if (Letter == 'y') return n <= 2 ? "yy" : "yyyy";
    if (Letter == 'm' && afterHour && n <= 2) return AnsiString(static_cast<size_t>(n), 'n');
    return AnsiString(static_cast<size_t>(n), Letter);
}

bool FormatHasAmPm(const AnsiString& Format) {
    bool found = false;
    WalkFormat(
        Format,
        [&](const AnsiString& Token) {
            found = AsciiUpper(Token[0]) == 'A';
            return found;
        },
        [](const AnsiString&) {});
    return found;
}

bool FormatHasTimePart(const AnsiString& Format) {
    if (Format.empty()) return true;
    for (size_t i = 0; i < Format.size(); ++i) {
        if (IsQuote(Format[i])) {
            i = static_cast<size_t>(ClosingQuote(Format, static_cast<int>(i) + 1)) - 1;
            continue;
        }
        const char u = AsciiUpper(Format[i]);
        if (u == 'H' || u == 'N' || u == 'S' || u == 'T' || u == 'C') return true;
    }
    return false;
}

bool FormatHasDatePart(const AnsiString& Format) {
    if (Format.empty()) return true;
    bool found = false;
    WalkFormat(
        ExpandDateTimeFormat(Format),
        [&](const AnsiString& Token) {
            found = IsDateToken(Token);
            return found;
        },
        [](const AnsiString&) {});
    return found;
}

bool IsDateToken(const AnsiString& Token) {
    if (Token.empty()) return false;
    const char u = AsciiUpper(Token[0]);
    return u == 'D' || u == 'M' || u == 'Y';
}

bool IsTimeToken(const AnsiString& Token) {
    if (Token.empty()) return false;
    const char u = AsciiUpper(Token[0]);
    return u == 'H' || u == 'N' || u == 'S' || u == 'A';
}

int CountFormatParts(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds) {
    int count = 0;
    WalkFormat(
        ExpandedFormat,
        [&](const AnsiString& Token) {
            if (IsPartFor(Token, Kinds)) ++count;
            return false;
        },
        [](const AnsiString&) {});
    return count;
}

bool LocateFormatPart(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds, int N, TDateTime Value,
                      TwwDTPart& Part) {
    Part = TwwDTPart();
    const TDecoded v = Decode(Value);
    const bool amPm = FormatHasAmPm(ExpandedFormat);
    AnsiString text;
    int count = 0;
    bool found = false;
    WalkFormat(
        ExpandedFormat,
        [&](const AnsiString& Token) {
            const AnsiString shown = TokenText(Token, v, amPm);
            if (IsPartFor(Token, Kinds) && ++count == N) {
                Part.Start = static_cast<int>(text.size());
                Part.Token = Token;
                Part.Length = static_cast<int>(shown.size());
                text += shown;
                Part.Text = text;
                found = true;
                return true;
            }
            text += shown;
            return false;
        },
        [&](const AnsiString& Literal) { text += Literal; });
    return found;
}

// ---------------------------------------------------------------------------
// Small calendar routines
// ---------------------------------------------------------------------------

int DaysInMonth(int Month, int Year) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

bool DayNotBefore(TDateTime A, TDateTime B) { return DateOf(A) >= DateOf(B); }

bool AddMonths(int Count, TDateTime Value, TDateTime& Result) {
    int y = 0, m = 0, d = 0;
    DecodeDate(Value, y, m, d);
    y += Count / 12;
    m += Count % 12;
    if (m > 12) {
        ++y;
        m -= 12;
    } else if (m < 1) {
        --y;
        m += 12;
    }
    if (y < 1 || y > 9999) return false;
    TDateTime date = 0;
    if (!TryEncodeDate(y, m, std::min(d, DaysInMonth(m, y)), date)) return false;
    Result = ComposeDateTime(date, TimeOf(Value));
    return true;
}

int ExpandTwoDigitYear(int YY, int Epoch) {
    int year = YY + (Epoch / 100) * 100;
    if (YY < Epoch % 100) year += 100;
    return year;
}

bool IsDateTimeEditChar(unsigned char Char) {
    return Char == 8 || Char == ' ' || Char == '\'' || Char == '.' || (Char >= '0' && Char <= 'o') ||
           Char > 145;
}
