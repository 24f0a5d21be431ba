#include "platform/rtl/PChar.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Strings.h"

size_t StrLen(const char* S) { return S ? std::strlen(S) : 0; }

char* StrEnd(char* S) { return S + std::strlen(S); }

char* StrLCopy(char* Dest, const char* Source, size_t MaxLen) {
    size_t n = 0;
    if (Source)
        while (n < MaxLen && Source[n]) ++n;
    std::memmove(Dest, Source ? Source : "", n);
    Dest[n] = '\0';
    return Dest;
}

char* StrPLCopy(char* Dest, std::string_view Source, size_t MaxLen) {
    size_t n = std::min(Source.size(), MaxLen);
    std::memmove(Dest, Source.data(), n);
    Dest[n] = '\0';
    return Dest;
}

char* StrLCat(char* Dest, const char* Source, size_t MaxLen) {
    size_t have = std::strlen(Dest);
    if (have < MaxLen) StrLCopy(Dest + have, Source, MaxLen - have);
    return Dest;
}

AnsiString StrPas(const char* S) { return S ? AnsiString(S) : AnsiString(); }

const char* StrScan(const char* S, char C) {
    if (!S) return nullptr;
    for (;; ++S) {
        if (*S == C) return S;
        if (!*S) return nullptr;
    }
}

const char* StrRScan(const char* S, char C) {
    if (!S) return nullptr;
    const char* found = nullptr;
    for (;; ++S) {
        if (*S == C) found = S;
        if (!*S) return found;
    }
}

const char* StrPos(const char* S, const char* Sub) {
    if (!S || !Sub || !*Sub) return nullptr;
    return std::strstr(S, Sub);
}

int StrComp(const char* A, const char* B) { return StrLComp(A, B, SIZE_MAX); }

int StrLComp(const char* A, const char* B, size_t MaxLen) {
    return CompareStr(std::string_view(A ? A : "").substr(0, MaxLen),
                      std::string_view(B ? B : "").substr(0, MaxLen));
}

int StrIComp(const char* A, const char* B) { return StrLIComp(A, B, SIZE_MAX); }

int StrLIComp(const char* A, const char* B, size_t MaxLen) {
    return CompareStr(AnsiUpperCase(std::string_view(A ? A : "").substr(0, MaxLen)),
                      AnsiUpperCase(std::string_view(B ? B : "").substr(0, MaxLen)));
}

char* StrUpper(char* S) {
    for (char* p = S; *p; ++p) *p = CharUpper(*p);
    return S;
}

char* StrLower(char* S) {
    for (char* p = S; *p; ++p) *p = CharLower(*p);
    return S;
}
