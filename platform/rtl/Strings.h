#pragma once
// Texts inside the program are single-byte Windows-1252, kept in std::string.
// Positions are 1-based, as the program and its libraries count them.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

// --- positions and pieces (1-based) ---
// Position of the first occurrence of Sub in S, or 0. An empty Sub is never found.
int Pos(std::string_view Sub, std::string_view S);
// Same, starting the search at position Offset (1-based); 0 when Offset is out of range.
int PosEx(std::string_view Sub, std::string_view S, int Offset);
// Count characters from Index; Index below 1 counts from 1, Count is cut at the end.
AnsiString Copy(std::string_view S, int Index, int Count);
void Delete(AnsiString& S, int Index, int Count);
void Insert(std::string_view Sub, AnsiString& S, int Index);
AnsiString StringOfChar(char C, int Count);

// --- blanks: every character up to and including ' ' counts as blank ---
AnsiString Trim(std::string_view S);
AnsiString TrimLeft(std::string_view S);
AnsiString TrimRight(std::string_view S);

// --- case: the ASCII fold touches only 'a'..'z'; the locale fold also folds
// the accented letters of Windows-1252 (á/Á, ñ/Ñ, ü/Ü, š/Š, ÿ/Ÿ ...) ---
char AsciiUpper(char C);
char AsciiLower(char C);
AnsiString UpperCase(std::string_view S);
AnsiString LowerCase(std::string_view S);
char CharUpper(char C);
char CharLower(char C);
AnsiString AnsiUpperCase(std::string_view S);
AnsiString AnsiLowerCase(std::string_view S);
bool IsCharAlpha(char C);  // letters of Windows-1252, accented ones included
bool IsCharAlphaNumeric(char C);
bool IsCharUpper(char C);
bool IsCharLower(char C);

// --- comparisons: negative, zero or positive ---
int CompareStr(std::string_view A, std::string_view B);   // byte-wise
int CompareText(std::string_view A, std::string_view B);  // ASCII fold
bool SameText(std::string_view A, std::string_view B);    // ASCII fold
// Locale comparisons: letters compare by their base letter first (a < á < b),
// then by accent, then (for AnsiCompareStr only) lower before upper case.
int AnsiCompareText(std::string_view A, std::string_view B);
int AnsiCompareStr(std::string_view A, std::string_view B);
bool AnsiSameText(std::string_view A, std::string_view B);

// --- integers ---
AnsiString IntToStr(int64_t Value);
AnsiString IntToHex(int64_t Value, int Digits);
// Raises EConvertError "'<S>' is not a valid integer value". Accepts blanks
// around the number, a sign and "$"/"0x" hexadecimal.
int StrToInt(std::string_view S);
int64_t StrToInt64(std::string_view S);
int StrToIntDef(std::string_view S, int Default);
bool TryStrToInt(std::string_view S, int& Value);
bool TryStrToInt64(std::string_view S, int64_t& Value);
// The old Val: Code is 0 on success, else the 1-based position of the first
// character that could not be used.
void Val(std::string_view S, int64_t& Value, int& Code);

// --- quoting ---
// Encloses S in Quote and doubles every Quote inside it: QuotedStr("O'Neil")
// gives 'O''Neil'. Filters built from user data must go through this.
AnsiString AnsiQuotedStr(std::string_view S, char Quote);
AnsiString QuotedStr(std::string_view S);
// Reverses AnsiQuotedStr; a text that does not start with Quote comes back as it is.
AnsiString AnsiDequotedStr(std::string_view S, char Quote);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
AnsiString StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                         unsigned Flags);

// --- the edges: Windows-1252 <-> UTF-8 ---
// Every byte maps to a code point (the five holes of Windows-1252 to U+0081 ...),
// so ToUtf8 and FromUtf8 round-trip any byte string. Code points with no
// Windows-1252 byte come back as '?'.
std::string ToUtf8(std::string_view Ansi);
AnsiString FromUtf8(std::string_view Utf8);
char32_t AnsiCharToUnicode(unsigned char C);
// -1 when the code point has no Windows-1252 byte.
int UnicodeToAnsiChar(char32_t U);
