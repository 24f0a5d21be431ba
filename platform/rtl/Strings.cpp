#include "platform/rtl/Strings.h"

#include <algorithm>
#include <array>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace {

// Windows-1252 bytes 0x80..0x9F. The five unassigned bytes keep their C1
// code point so that any byte string survives a trip through UTF-8.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned char U(char C) { return static_cast<unsigned char>(C); }

// Locale fold tables built once.
struct CaseTables {
    std::array<unsigned char, 256> Upper{}, Lower{};
    std::array<bool, 256> Alpha{};
    // Collation: primary weight (base letter, case-free), secondary (accent).
    std::array<unsigned short, 256> Primary{}, Secondary{};
    CaseTables() {
        for (int i = 0; i < 256; ++i) Upper[i] = Lower[i] = static_cast<unsigned char>(i);
        auto pair = [&](int lo, int up) {
            Upper[lo] = static_cast<unsigned char>(up);
            Lower[up] = static_cast<unsigned char>(lo);
            Alpha[lo] = Alpha[up] = true;
        };
        for (int c = 'a'; c <= 'z'; ++c) pair(c, c - 32);
        for (int c = 0xE0; c <= 0xFE; ++c)
            if (c != 0xF7) pair(c, c - 32);
        pair(0x9A, 0x8A);                                              // š Š
        pair(0x9C, 0x8C);                                              // œ Œ
        pair(0x9E, 0x8E);                                              // ž Ž
        pair(0xFF, 0x9F);                                              // ÿ Ÿ
        for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) Alpha[c] = true;  // ƒ ª µ º ß

        // Base letters of the accented ones (lower-case form), for collation.
        auto base = [](int c) -> int {
            static const char* const groups[] = {"a\xE0\xE1\xE2\xE3\xE4\xE5\xAA",
                                                 "c\xE7",
                                                 "e\xE8\xE9\xEA\xEB",
                                                 "i\xEC\xED\xEE\xEF",
                                                 "n\xF1",
                                                 "o\xF2\xF3\xF4\xF5\xF6\xF8\xBA",
                                                 "u\xF9\xFA\xFB\xFC",
                                                 "y\xFD\xFF",
                                                 "s\x9A",
                                                 "z\x9E",
                                                 "d\xF0",
                                                 "f\x83"};
            for (const char* g : groups)
                for (const char* p = g + 1; *p; ++p)
                    if (U(*p) == c) return g[0];
            return c;
        };
        for (int i = 0; i < 256; ++i) {
            int lower = Lower[i];
            int b = base(lower);
            if (b >= 'a' && b <= 'z') {
                // Letters sort after digits and punctuation, in alphabet order.
                Primary[i] = static_cast<unsigned short>(0x200 + (b - 'a') * 4);
                Secondary[i] = static_cast<unsigned short>(b == lower ? 0 : lower);
            } else {
                Primary[i] = static_cast<unsigned short>(lower);
                Secondary[i] = 0;
            }
        }
        // ñ is a letter of its own in Spanish, between n and o; æ, œ and ß follow their base.
        Primary[0xF1] = Primary[0xD1] = static_cast<unsigned short>(Primary['n'] + 2);
        Secondary[0xF1] = Secondary[0xD1] = 0;
    }
};

const CaseTables& Tables() {
    static const CaseTables t;
    return t;
}

bool ParseInt(std::string_view S, int64_t& Value, size_t& FailAt) {
    size_t i = 0, n = S.size();
    while (i < n && S[i] == ' ') ++i;
    bool neg = false;
    if (i < n && (S[i] == '-' || S[i] == '+')) {
        neg = S[i] == '-';
        ++i;
    }
    int radix = 10;
    if (i < n && S[i] == '$') {
        radix = 16;
        ++i;
    } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    size_t digitsStart = i;
    uint64_t acc = 0;
    const uint64_t limit = neg ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                               : uint64_t(std::numeric_limits<int64_t>::max());
    for (; i < n; ++i) {
        int d;
        char c = S[i];
        if (c >= '0' && c <= '9') d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        if (acc > (limit - d) / radix) {
            FailAt = i;
            return false;
        }
        acc = acc * radix + d;
    }
    if (i == digitsStart) {
        FailAt = i;
        return false;
    }
    size_t end = i;
    while (i < n && S[i] == ' ') ++i;
    if (i != n) {
        FailAt = end;
        return false;
    }
    Value = neg ? static_cast<int64_t>(0 - acc) : static_cast<int64_t>(acc);
    return true;
}

}  // namespace

int Pos(std::string_view Sub, std::string_view S) { return PosEx(Sub, S, 1); }

int PosEx(std::string_view Sub, std::string_view S, int Offset) {
    if (Sub.empty() || Offset < 1 || static_cast<size_t>(Offset) > S.size()) return 0;
    size_t p = S.find(Sub, static_cast<size_t>(Offset - 1));
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

AnsiString Copy(std::string_view S, int Index, int Count) {
    if (Index < 1) Index = 1;
    if (Count <= 0 || static_cast<size_t>(Index) > S.size()) return {};
    return AnsiString(S.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count)));
}

void Delete(AnsiString& S, int Index, int Count) {
    if (Index < 1 || Count <= 0 || static_cast<size_t>(Index) > S.size()) return;
    S.erase(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

void Insert(std::string_view Sub, AnsiString& S, int Index) {
    if (Index < 1) Index = 1;
    size_t at = std::min(static_cast<size_t>(Index - 1), S.size());
    S.insert(at, Sub);
}

AnsiString StringOfChar(char C, int Count) { return Count > 0 ? AnsiString(size_t(Count), C) : AnsiString(); }

AnsiString TrimLeft(std::string_view S) {
    size_t i = 0;
    while (i < S.size() && U(S[i]) <= ' ') ++i;
    return AnsiString(S.substr(i));
}

AnsiString TrimRight(std::string_view S) {
    size_t n = S.size();
    while (n > 0 && U(S[n - 1]) <= ' ') --n;
    return AnsiString(S.substr(0, n));
}

AnsiString Trim(std::string_view S) {
    size_t i = 0, n = S.size();
    while (i < n && U(S[i]) <= ' ') ++i;
    while (n > i && U(S[n - 1]) <= ' ') --n;
    return AnsiString(S.substr(i, n - i));
}

char AsciiUpper(char C) { return (C >= 'a' && C <= 'z') ? char(C - 32) : C; }
char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? char(C + 32) : C; }

AnsiString UpperCase(std::string_view S) {
    AnsiString r(S);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

AnsiString LowerCase(std::string_view S) {
    AnsiString r(S);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

char CharUpper(char C) { return static_cast<char>(Tables().Upper[U(C)]); }
char CharLower(char C) { return static_cast<char>(Tables().Lower[U(C)]); }

AnsiString AnsiUpperCase(std::string_view S) {
    AnsiString r(S);
    for (char& c : r) c = CharUpper(c);
    return r;
}

AnsiString AnsiLowerCase(std::string_view S) {
    AnsiString r(S);
    for (char& c : r) c = CharLower(c);
    return r;
}

bool IsCharAlpha(char C) { return Tables().Alpha[U(C)]; }
bool IsCharAlphaNumeric(char C) { return IsCharAlpha(C) || (C >= '0' && C <= '9'); }
bool IsCharUpper(char C) { return IsCharAlpha(C) && CharLower(C) != C; }
bool IsCharLower(char C) { return IsCharAlpha(C) && CharUpper(C) != C; }

int CompareStr(std::string_view A, std::string_view B) {
    size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i)
        if (A[i] != B[i]) return int(U(A[i])) - int(U(B[i]));
    return A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
}

int CompareText(std::string_view A, std::string_view B) {
    size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        int a = U(AsciiUpper(A[i])), b = U(AsciiUpper(B[i]));
        if (a != b) return a - b;
    }
    return A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
}

bool SameText(std::string_view A, std::string_view B) {
    return A.size() == B.size() && CompareText(A, B) == 0;
}

static int LocaleCompare(std::string_view A, std::string_view B, bool CaseMatters) {
    const CaseTables& t = Tables();
    size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        int d = int(t.Primary[U(A[i])]) - int(t.Primary[U(B[i])]);
        if (d) return d;
    }
    if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
    for (size_t i = 0; i < n; ++i) {
        int d = int(t.Secondary[U(A[i])]) - int(t.Secondary[U(B[i])]);
        if (d) return d;
    }
    if (CaseMatters)
        for (size_t i = 0; i < n; ++i) {
            bool la = IsCharLower(A[i]), lb = IsCharLower(B[i]);
            if (la != lb) return la ? -1 : 1;
        }
    return 0;
}

int AnsiCompareText(std::string_view A, std::string_view B) { return LocaleCompare(A, B, false); }
int AnsiCompareStr(std::string_view A, std::string_view B) {
    int r = LocaleCompare(A, B, true);
    return r ? r : CompareStr(A, B);
}
bool AnsiSameText(std::string_view A, std::string_view B) {
    // Texts of two lengths never compare equal, and the same bytes always do:
    // most lookups of codes end on one of these without the tables.
    if (A.size() != B.size()) return false;
    return A == B || LocaleCompare(A, B, false) == 0;
}

AnsiString IntToStr(int64_t Value) { return std::to_string(Value); }

AnsiString IntToHex(int64_t Value, int Digits) {
    static const char* hex = "0123456789ABCDEF";
    uint64_t v = static_cast<uint64_t>(Value);
    AnsiString r;
    do {
        r.insert(r.begin(), hex[v & 15]);
        v >>= 4;
    } while (v);
    while (static_cast<int>(r.size()) < Digits) r.insert(r.begin(), '0');
    return r;
}

bool TryStrToInt64(std::string_view S, int64_t& Value) {
    size_t fail = 0;
    return ParseInt(S, Value, fail);
}

bool TryStrToInt(std::string_view S, int& Value) {
    int64_t v;
    if (!TryStrToInt64(S, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    Value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view S) {
    int v;
    if (!TryStrToInt(S, v)) throw EConvertError("'" + AnsiString(S) + "' is not a valid integer value");
    return v;
}

int64_t StrToInt64(std::string_view S) {
    int64_t v;
    if (!TryStrToInt64(S, v)) throw EConvertError("'" + AnsiString(S) + "' is not a valid integer value");
    return v;
}

int StrToIntDef(std::string_view S, int Default) {
    int v;
    return TryStrToInt(S, v) ? v : Default;
}

void Val(std::string_view S, int64_t& Value, int& Code) {
    size_t fail = 0;
    int64_t v = 0;
    if (ParseInt(S, v, fail)) {
        Value = v;
        Code = 0;
    } else {
        Value = 0;
        Code = static_cast<int>(fail) + 1;
    }
}

AnsiString AnsiQuotedStr(std::string_view S, char Quote) {
    AnsiString r(1, Quote);
    for (char c : S) {
        r += c;
        if (c == Quote) r += c;
    }
    r += Quote;
    return r;
}

AnsiString QuotedStr(std::string_view S) { return AnsiQuotedStr(S, '\''); }

AnsiString AnsiDequotedStr(std::string_view S, char Quote) {
    if (S.empty() || S[0] != Quote) return AnsiString(S);
    AnsiString r;
    size_t i = 1;
    while (i < S.size()) {
        if (S[i] == Quote) {
            if (i + 1 < S.size() && S[i + 1] == Quote) {
                r += Quote;
                i += 2;
                continue;
            }
            return r;  // closing quote
        }
        r += S[i++];
    }
    return AnsiString(S);  // no closing quote: not a quoted text
}

AnsiString StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                         unsigned Flags) {
    if (OldPattern.empty()) return AnsiString(S);
    bool ic = Flags & rfIgnoreCase;
    AnsiString hay = ic ? AnsiUpperCase(S) : AnsiString(S);
    AnsiString pat = ic ? AnsiUpperCase(OldPattern) : AnsiString(OldPattern);
    AnsiString r;
    size_t from = 0;
    while (true) {
        size_t p = hay.find(pat, from);
        if (p == AnsiString::npos) break;
        r.append(S.substr(from, p - from));
        r.append(NewPattern);
        from = p + pat.size();
        if (!(Flags & rfReplaceAll)) break;
    }
    r.append(S.substr(from));
    return r;
}

char32_t AnsiCharToUnicode(unsigned char C) { return (C >= 0x80 && C < 0xA0) ? kHigh[C - 0x80] : C; }

int UnicodeToAnsiChar(char32_t Cp) {
    if (Cp < 0x80 || (Cp >= 0xA0 && Cp <= 0xFF)) return static_cast<int>(Cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == Cp) return 0x80 + i;
    return -1;
}

std::string ToUtf8(std::string_view Ansi) {
    std::string out;
    out.reserve(Ansi.size() + Ansi.size() / 4);
    for (char ch : Ansi) {
        char32_t c = AnsiCharToUnicode(U(ch));
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

AnsiString FromUtf8(std::string_view Utf8) {
    AnsiString out;
    out.reserve(Utf8.size());
    size_t i = 0, n = Utf8.size();
    while (i < n) {
        unsigned char c = U(Utf8[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (U(Utf8[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (U(Utf8[i + k]) & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += size_t(extra) + 1;
        int a = UnicodeToAnsiChar(cp);
        out += a < 0 ? '?' : static_cast<char>(a);
    }
    return out;
}
