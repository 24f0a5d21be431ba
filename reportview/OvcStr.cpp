#include "reportview/OvcStr.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const char HexDigits[] = "0123456789ABCDEF";

// The length of the text in Buffer; a buffer without its zero is closed at its last byte.
size_t LengthIn(std::span<char> Buffer) {
    const void* zero = std::memchr(Buffer.data(), 0, Buffer.size());
    if (zero) return static_cast<size_t>(static_cast<const char*>(zero) - Buffer.data());
    Buffer.back() = '\0';
    return Buffer.size() - 1;
}

// Writes Count characters made by Digit(i) and the zero, as far as the buffer holds them.
template <class F>
char* Fill(std::span<char> Dest, size_t Count, F Digit) {
    if (Dest.empty()) return Dest.data();
    size_t n = std::min(Count, Dest.size() - 1);
    for (size_t i = 0; i < n; ++i) Dest[i] = Digit(i);
    Dest[n] = '\0';
    return Dest.data();
}

template <class T>
char* Binary(std::span<char> Dest, T Value) {
    constexpr size_t bits = sizeof(T) * 8;
    return Fill(Dest, bits, [&](size_t i) { return (Value >> (bits - 1 - i)) & 1 ? '1' : '0'; });
}

template <class T>
char* Hex(std::span<char> Dest, T Value) {
    constexpr size_t digits = sizeof(T) * 2;
    return Fill(Dest, digits, [&](size_t i) { return HexDigits[(Value >> (4 * (digits - 1 - i))) & 0xF]; });
}

// Opens a gap of Count characters at Pos (cut to what the buffer holds) and
// answers its width; the characters pushed past the buffer's end are lost.
size_t OpenGap(std::span<char> Buffer, size_t Pos, size_t Count, size_t& At) {
    size_t len = LengthIn(Buffer);
    size_t room = Buffer.size() - 1;
    At = std::min(Pos, len);
    if (At >= room) return 0;
    size_t n = std::min(Count, room - At);
    size_t tail = std::min(len - At, room - At - n);
    std::memmove(Buffer.data() + At + n, Buffer.data() + At, tail);
    Buffer[At + n + tail] = '\0';
    return n;
}

char* InsertText(std::span<char> Buffer, const char* S, size_t Count, size_t Pos) {
    if (Buffer.empty() || Count == 0) return Buffer.data();
    // A text that lies inside the buffer moves with the gap: take it first.
    if (S >= Buffer.data() && S < Buffer.data() + Buffer.size()) {
        std::string copy(S, Count);
        return InsertText(Buffer, copy.c_str(), copy.size(), Pos);
    }
    size_t at = 0;
    size_t n = OpenGap(Buffer, Pos, Count, at);
    std::memcpy(Buffer.data() + at, S, n);
    return Buffer.data();
}

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

// How many characters at the end of the number text P[0, End) are zeros of
// its fraction, with its point when nothing is left after it. Only digits
// after the last point make a fraction: the zeros of an integer ("100") or
// of an exponent ("1.5E+10") are the number's value and stay. One character
// always stays.
size_t FractionTail(const char* P, size_t End) {
    size_t point = End;
    while (point > 0 && P[point - 1] != '.') --point;
    if (point == 0) return 0;
    for (size_t i = point; i < End; ++i)
        if (P[i] < '0' || P[i] > '9') return 0;
    size_t n = 0;
    while (point + n < End && P[End - 1 - n] == '0') ++n;
    if (point + n == End) ++n;  // the bare point goes too
    return std::min(n, End - 1);
}

template <class Upper>
bool Search(const uint8_t* Buf, size_t BufLength, const TBMTable& Table, const char* Match, size_t& Pos,
            Upper Up) {
    size_t m = std::min<size_t>(std::strlen(Match), 255);
    if (m == 0 || m > BufLength) return false;
    const auto* pat = reinterpret_cast<const uint8_t*>(Match);
    if (m == 1) {
        for (size_t i = 0; i < BufLength; ++i)
            if (Up(Buf[i]) == pat[0]) {
                Pos = i;
                return true;
            }
        return false;
    }
    uint8_t last = pat[m - 1];
    size_t end = m - 1;  // the buffer index under the pattern's last character
    while (end < BufLength) {
        uint8_t c = Up(Buf[end]);
        if (c != last) {
            end += Table[c];
            continue;
        }
        size_t k = 1;
        while (k < m && Up(Buf[end - k]) == pat[m - 1 - k]) ++k;
        if (k == m) {
            Pos = end - (m - 1);
            return true;
        }
        end += Table[last];
    }
    return false;
}

}  // namespace

char* BinaryBPChar(std::span<char> Dest, uint8_t B) { return Binary(Dest, B); }
char* BinaryWPChar(std::span<char> Dest, uint16_t W) { return Binary(Dest, W); }
char* BinaryLPChar(std::span<char> Dest, uint32_t L) { return Binary(Dest, L); }
char* HexBPChar(std::span<char> Dest, uint8_t B) { return Hex(Dest, B); }
char* HexWPChar(std::span<char> Dest, uint16_t W) { return Hex(Dest, W); }
char* HexLPChar(std::span<char> Dest, uint32_t L) { return Hex(Dest, L); }

char* HexPtrPChar(std::span<char> Dest, const void* P) {
    auto address = reinterpret_cast<uintptr_t>(P);
    constexpr size_t half = sizeof(uintptr_t) * 4;  // bits in each half
    constexpr size_t digits = half / 4;
    std::string text;
    for (size_t i = 0; i < 2 * digits; ++i) {
        if (i == digits) text += ':';
        text += HexDigits[(address >> (4 * (2 * digits - 1 - i))) & 0xF];
    }
    return Fill(Dest, text.size(), [&](size_t i) { return text[i]; });
}

char* OctalLPChar(std::span<char> Dest, uint32_t L) {
    return Fill(Dest, 12, [&](size_t i) {
        size_t shift = 3 * (11 - i);
        return shift >= 32 ? '0' : static_cast<char>('0' + ((L >> shift) & 7));
    });
}

char* CharStrPChar(std::span<char> Dest, char C, size_t Count) {
    return Fill(Dest, Count, [&](size_t) { return C; });
}

char* DetabPChar(std::span<char> Dest, const char* Source, uint8_t TabSize) {
    if (Dest.empty()) return Dest.data();
    size_t room = Dest.size() - 1, out = 0;
    if (TabSize != 0 && Source) {
        size_t column = 0;
        for (const char* s = Source; *s && out < room; ++s) {
            if (*s == '\t') {
                size_t spaces = TabSize - column % TabSize;
                for (size_t k = 0; k < spaces && out < room; ++k) Dest[out++] = ' ';
                column += spaces;
            } else {
                Dest[out++] = *s;
                ++column;
            }
        }
    }
    Dest[out] = '\0';
    return Dest.data();
}

char UpCaseChar(char C) { return CharUpper(C); }
char LoCaseChar(char C) { return CharLower(C); }

bool StrChPos(const char* P, char C, size_t& Pos) {
    if (!P || !*P || !C) return false;
    const char* at = std::strchr(P, C);
    if (!at) return false;
    Pos = static_cast<size_t>(at - P);
    return true;
}

char* StrChInsertPrim(std::span<char> Buffer, char C, size_t Pos) { return InsertText(Buffer, &C, 1, Pos); }

char* StrChDeletePrim(char* P, size_t Pos) { return StrStDeletePrim(P, Pos, 1); }

bool StrStPos(const char* P, const char* S, size_t& Pos) {
    if (!P || !S) return false;
    size_t n = std::strlen(S);
    if (n == 0 || n > std::strlen(P)) return false;
    const char* at = std::strstr(P, S);
    if (!at) return false;
    Pos = static_cast<size_t>(at - P);
    return true;
}

char* StrStCopy(std::span<char> Dest, const char* S, size_t Pos, size_t Count) {
    if (Dest.empty()) return Dest.data();
    size_t len = S ? std::strlen(S) : 0;
    size_t n = Pos >= len ? 0 : std::min({Count, len - Pos, Dest.size() - 1});
    if (n) std::memmove(Dest.data(), S + Pos, n);
    Dest[n] = '\0';
    return Dest.data();
}

char* StrStInsertPrim(std::span<char> Buffer, const char* S, size_t Pos) {
    return InsertText(Buffer, S, S ? std::strlen(S) : 0, Pos);
}

char* StrStInsert(std::span<char> Dest, const char* S1, const char* S2, size_t Pos) {
    if (Dest.empty()) return Dest.data();
    std::string insert(S2 ? S2 : "");  // S2 may lie in Dest, which the copy below overwrites
    if (S1 != Dest.data()) {
        size_t n = std::min(S1 ? std::strlen(S1) : 0, Dest.size() - 1);
        if (n) std::memmove(Dest.data(), S1, n);
        Dest[n] = '\0';
    }
    return InsertText(Dest, insert.c_str(), insert.size(), Pos);
}

char* StrInsertChars(std::span<char> Buffer, char C, size_t Pos, size_t Count) {
    if (Buffer.empty()) return Buffer.data();
    size_t at = 0;
    size_t n = OpenGap(Buffer, Pos, std::min<size_t>(Count, 1024), at);
    std::memset(Buffer.data() + at, static_cast<unsigned char>(C), n);
    return Buffer.data();
}

char* StrStDeletePrim(char* P, size_t Pos, size_t Count) {
    size_t len = std::strlen(P);
    if (Pos >= len) return P;
    if (Count >= len - Pos) P[Pos] = '\0';
    else std::memmove(P + Pos, P + Pos + Count, len - Pos - Count + 1);
    return P;
}

bool StrToLongPChar(const char* S, int32_t& Value) {
    size_t len = std::strlen(S);
    if (len > 255) {
        Value = -1;
        return false;
    }
    std::string text(S, len);
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    if (size_t hex = text.find("0x"); hex != std::string::npos) text.replace(hex, 2, 1, '$');
    int64_t v = 0;
    int code = 0;
    Val(text, v, code);
    if (code != 0) {
        Value = code - 1;
        return false;
    }
    if (v < INT32_MIN || v > INT32_MAX) {
        // The number runs past 32 bits: its last digit is the one that cannot be taken.
        Value = static_cast<int32_t>(text.empty() ? 0 : text.size() - 1);
        return false;
    }
    Value = static_cast<int32_t>(v);
    return true;
}

char* TrimAllSpacesPChar(char* P) {
    size_t len = std::strlen(P);
    while (len && P[len - 1] == ' ') --len;
    P[len] = '\0';
    size_t lead = 0;
    while (P[lead] == ' ') ++lead;
    if (lead) std::memmove(P, P + lead, len - lead + 1);
    return P;
}

char* TrimTrailPrimPChar(char* S) {
    size_t len = std::strlen(S);
    while (len && IsBlank(S[len - 1])) --len;
    S[len] = '\0';
    return S;
}

char* TrimTrailPChar(std::span<char> Dest, const char* S) {
    StrStCopy(Dest, S, 0, std::strlen(S));
    if (!Dest.empty()) TrimTrailPrimPChar(Dest.data());
    return Dest.data();
}

char* TrimTrailingZerosPChar(char* P) {
    size_t len = std::strlen(P);
    if (len == 0) return P;
    P[len - FractionTail(P, len)] = '\0';
    return TrimAllSpacesPChar(P);
}

AnsiString TrimTrailingZeros(const AnsiString& S) {
    if (S.empty()) return S;
    std::string text = S;
    TrimTrailingZerosPChar(text.data());
    return Trim(text.c_str());
}

char* TrimEmbeddedZerosPChar(char* P) {
    char* e = std::strchr(P, 'E');
    if (!e) return P;
    size_t at = static_cast<size_t>(e - P);
    size_t zeros = at == 0 ? 0 : FractionTail(P, at);
    StrStDeletePrim(P, at - zeros, zeros);
    at -= zeros;
    // P[at] is the "E", P[at + 1] the exponent's sign.
    if (!P[at + 1]) return P;
    size_t from = at + 2;
    size_t run = 0;
    while (P[from + run] == '0') ++run;
    if (!P[from + run]) P[at] = '\0';
    else StrStDeletePrim(P, from, run);
    return P;
}

AnsiString TrimEmbeddedZeros(const AnsiString& S) {
    std::string text = S;
    TrimEmbeddedZerosPChar(text.data());
    return text.c_str();
}

void BMMakeTable(const char* MatchString, TBMTable& Table) {
    size_t m = std::min<size_t>(std::strlen(MatchString), 255);
    Table.fill(static_cast<uint8_t>(m));
    for (size_t i = 0; i + 1 < m; ++i)
        Table[static_cast<unsigned char>(MatchString[i])] = static_cast<uint8_t>(m - 1 - i);
}

bool BMSearch(const void* Buffer, size_t BufLength, const TBMTable& Table, const char* MatchString,
              size_t& Pos) {
    return Search(static_cast<const uint8_t*>(Buffer), BufLength, Table, MatchString, Pos,
                  [](uint8_t C) { return C; });
}

bool BMSearchUC(const void* Buffer, size_t BufLength, const TBMTable& Table, const char* MatchString,
                size_t& Pos) {
    return Search(static_cast<const uint8_t*>(Buffer), BufLength, Table, MatchString, Pos,
                  [](uint8_t C) { return static_cast<uint8_t>(CharUpper(static_cast<char>(C))); });
}
