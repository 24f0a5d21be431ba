#pragma once
// Text routines of the data-aware library: every unit cuts its line formats
// with them (the TAB-separated Selected, PictureMasks and lookup lines, the
// ";"-separated field lists and ControlType lines, the "~"-separated titles),
// compares names without regard to case and takes expressions apart.
//
// Positions are 1-based. Case-insensitive comparisons fold "a" to "z" only:
// the library's names are plain ASCII, and an accented letter in a title
// compares as written.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

class TStrings;

// A set of byte values, tested bit by bit.
class TCharSet {
public:
    constexpr TCharSet() = default;
    // The bytes of Chars.
    constexpr explicit TCharSet(std::string_view Chars) {
        for (char c : Chars) Include(c);
    }
    constexpr TCharSet& Include(char C) {
        auto b = static_cast<unsigned char>(C);
        FBits[b >> 3] = static_cast<uint8_t>(FBits[b >> 3] | (1u << (b & 7)));
        return *this;
    }
    // Every byte from First to Last.
    constexpr TCharSet& IncludeRange(unsigned char First, unsigned char Last) {
        for (unsigned b = First; b <= Last; ++b) Include(static_cast<char>(b));
        return *this;
    }
    constexpr bool Contains(char C) const {
        auto b = static_cast<unsigned char>(C);
        return (FBits[b >> 3] >> (b & 7)) & 1u;
    }

private:
    uint8_t FBits[32] = {};
};

// The file-name part of a path cut before its first "." (a.b.exe gives a);
// empty for a name without ".".
AnsiString FileNameStem(std::string_view Path);

// The text from Position up to the next Delimiter; Position moves just past
// the delimiter, or becomes -1 when none follows (the token is then the rest).
// A Position of 0 or below gives an empty token and stays; one past the end
// gives an empty token and -1. A one-character delimiter is found as it is; a
// longer one only as a word between blanks, ignoring case ("AND").
AnsiString NextToken(std::string_view Text, std::string_view Delimiter, int& Position);
// Clears List and adds the pieces between separators; the last piece is
// always added (an empty text gives one empty line).
void SplitToList(std::string_view Text, char Separator, TStrings& List);
// Removes leading and trailing spaces and TABs.
void TrimBlanks(AnsiString& Text);
void TrimLeadingChars(AnsiString& Text, const TCharSet& Chars);
void TrimTrailingChars(AnsiString& Text, const TCharSet& Chars);
AnsiString RemoveChar(std::string_view Text, char C);
AnsiString ReplaceChar(std::string_view Text, char C, char NewChar);
// Each C replaced by Replacement (which may hold C: "'" doubled stays doubled once).
AnsiString ReplaceCharWithText(std::string_view Text, char C, std::string_view Replacement);
bool EqualsIgnoreCase(std::string_view A, std::string_view B);
int CountChar(std::string_view Text, char C);

// Options of ScanToken.
enum : unsigned {
    stSkipBlanks = 1,    // leading spaces and TABs are passed over
    stQuotedToken = 2,   // a text in double quotes is one token
    stStripQuotes = 4,   // and loses its quotes
    stBlanksInToken = 8  // only control characters below the blank end a word
};
// The next token of an expression from Position, which moves past it: a word
// ended by a blank, a control character or a character of Delimiters, or the
// one delimiter or blank standing at Position.
AnsiString ScanToken(std::string_view Text, int& Position, unsigned Options, const TCharSet& Delimiters);
// The part after (before) the first C; empty when C is absent or stands last (first).
AnsiString TextAfterChar(std::string_view Text, char C);
AnsiString TextBeforeChar(std::string_view Text, char C);
