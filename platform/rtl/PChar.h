#pragma once
// Null-terminated character buffers: the bounded copies and searches the
// libraries use on fixed buffers (a 260-character path, a 6-byte currency
// text). Every routine that writes takes the room it may fill and always
// leaves a terminating zero within it.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

// A path buffer of the old layout: 259 characters and the zero.
constexpr size_t MAX_PATH = 260;

size_t StrLen(const char* S);  // 0 for nullptr
char* StrEnd(char* S);
// Copies at most MaxLen characters of Source and a zero (Dest needs MaxLen + 1).
char* StrLCopy(char* Dest, const char* Source, size_t MaxLen);
char* StrPLCopy(char* Dest, std::string_view Source, size_t MaxLen);
// Appends Source so that Dest holds at most MaxLen characters.
char* StrLCat(char* Dest, const char* Source, size_t MaxLen);
AnsiString StrPas(const char* S);
// The first (last) occurrence of C, or nullptr; the zero itself is found too.
const char* StrScan(const char* S, char C);
const char* StrRScan(const char* S, char C);
const char* StrPos(const char* S, const char* Sub);
// Byte-wise; the I forms fold with the locale; the L forms look at MaxLen characters at most.
int StrComp(const char* A, const char* B);
int StrIComp(const char* A, const char* B);
int StrLComp(const char* A, const char* B, size_t MaxLen);
int StrLIComp(const char* A, const char* B, size_t MaxLen);
char* StrUpper(char* S);  // locale fold, in place
char* StrLower(char* S);
