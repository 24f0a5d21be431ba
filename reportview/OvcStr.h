#pragma once
// Primitives over null-terminated character buffers: numbers in bases 2, 8
// and 16, searching, inserting and deleting characters and substrings, tab
// expansion, trimming and the clean-up of number texts. The entry fields edit
// their texts in fixed buffers with these.
//
// Positions are 0-based. Every routine that writes into a buffer is given the
// buffer whole (its capacity, the terminating zero included) and never
// writes past it: a text that would grow beyond the buffer loses the
// characters that no longer fit at its end, and the zero always stays.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/rtl/Strings.h"

// --- numbers as digits, most significant first ---
char* BinaryBPChar(std::span<char> Dest, uint8_t B);   // 8 digits "0"/"1"
char* BinaryWPChar(std::span<char> Dest, uint16_t W);  // 16
char* BinaryLPChar(std::span<char> Dest, uint32_t L);  // 32
char* HexBPChar(std::span<char> Dest, uint8_t B);      // 2 digits, upper case
char* HexWPChar(std::span<char> Dest, uint16_t W);     // 4
char* HexLPChar(std::span<char> Dest, uint32_t L);     // 8
// The address as its high and low halves, each in full, joined by ":"
// ("00007FFF:12345678"): a 64-bit address does not fit the 4 + 4 digits of
// a 32-bit one, and a shortened address would name another place.
char* HexPtrPChar(std::span<char> Dest, const void* P);
char* OctalLPChar(std::span<char> Dest, uint32_t L);  // 12 digits, zero-filled

// Count copies of C.
char* CharStrPChar(std::span<char> Dest, char C, size_t Count);
// Source with each tab widened to the next multiple of TabSize (columns
// counted from the start of Source); a TabSize of 0 gives an empty text.
char* DetabPChar(std::span<char> Dest, const char* Source, uint8_t TabSize);

char UpCaseChar(char C);  // the locale's case
char LoCaseChar(char C);

// --- characters and substrings ---
// The first occurrence; false when absent or P is empty.
bool StrChPos(const char* P, char C, size_t& Pos);
// Inserts C before Pos; a position past the end appends it.
char* StrChInsertPrim(std::span<char> Buffer, char C, size_t Pos);
// Nothing when Pos is not inside the text.
char* StrChDeletePrim(char* P, size_t Pos);
// The first occurrence of S; false when S is empty or longer than P.
bool StrStPos(const char* P, const char* S, size_t& Pos);
// Up to Count characters of S from Pos; empty when Pos is at or past the end.
char* StrStCopy(std::span<char> Dest, const char* S, size_t Pos, size_t Count);
// Inserts S at Pos (appended when Pos is past the end).
char* StrStInsertPrim(std::span<char> Buffer, const char* S, size_t Pos);
// Dest := S1 with S2 inserted at Pos.
char* StrStInsert(std::span<char> Dest, const char* S1, const char* S2, size_t Pos);
// Inserts Count copies of C at Pos; Count is at most 1024.
char* StrInsertChars(std::span<char> Buffer, char C, size_t Pos, size_t Count);
// Deletes Count characters from Pos; when they reach past the end, the text
// is cut at Pos.
char* StrStDeletePrim(char* P, size_t Pos, size_t Count);

// A 32-bit integer, decimal or hexadecimal ("$1F" or "0x1F"), with trailing
// blanks allowed. A text longer than 255 characters answers false with
// Value -1; another failure answers false with Value the position of the
// first character that could not be taken.
bool StrToLongPChar(const char* S, int32_t& Value);

// --- trimming ---
char* TrimAllSpacesPChar(char* P);  // leading and trailing ' ' only
char* TrimTrailPrimPChar(char* S);  // trailing characters up to ' '
char* TrimTrailPChar(std::span<char> Dest, const char* S);
// The zeros of a number's fraction: "12.500" -> "12.5", "7.000" -> "7"; the
// first character always stays. Only zeros after a point go: "100" and
// "1.5E+10" stay as they are, since their zeros are their value.
char* TrimTrailingZerosPChar(char* P);
AnsiString TrimTrailingZeros(const AnsiString& S);
// "1.2500E+003" -> "1.25E+3", "3.0E+000" -> "3"; a text without "E" stays,
// and so do the zeros of a mantissa without a point ("100E+2").
char* TrimEmbeddedZerosPChar(char* P);
AnsiString TrimEmbeddedZeros(const AnsiString& S);

// --- Boyer-Moore search with a table made once for a pattern ---
using TBMTable = std::array<uint8_t, 256>;
// Patterns count up to 255 characters; a longer one is taken at that length.
void BMMakeTable(const char* MatchString, TBMTable& Table);
// The offset of the first occurrence of MatchString in the buffer; false
// for an empty pattern or none.
bool BMSearch(const void* Buffer, size_t BufLength, const TBMTable& Table, const char* MatchString,
              size_t& Pos);
// The same with the buffer's characters taken in upper case; the pattern and
// its table must be in upper case already.
bool BMSearchUC(const void* Buffer, size_t BufLength, const TBMTable& Table, const char* MatchString,
                size_t& Pos);
