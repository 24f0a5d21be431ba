#pragma once
// Readers of the library's string tables: resources of the "STR0" layout
// (see resources/tools/str0.cpp) whose UTF-16 texts are found by numeric id.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

// Raised with the reader's own messages (the table OVCSRMGR_STRINGS).
ZELMOR_EXCEPTION(ETpsStringResourceError, Exception);

class TOvcStringResource : public TObject {
public:
    // Opens the string table resource of that name: ETpsStringResourceError
    // when there is none ("String resource not found: %s") or when it is not
    // a whole table of the layout ("Invalid TPString resource").
    explicit TOvcStringResource(std::string_view ResourceName);
    // Opens another table; an empty name leaves the reader closed.
    void ChangeResource(std::string_view ResourceName);

    // Raise "String not found: %d" for an id the table lacks, instead of
    // answering an empty text.
    bool ReportError = false;

    // The text in Windows-1252; empty for an absent id.
    AnsiString GetString(int32_t Ident) const;
    // The text and a zero within Buffer, cut at a character when it does not fit.
    char* GetAsciiZ(int32_t Ident, std::span<char> Buffer) const;
    // The UTF-16 text and a zero within Buffer.
    char16_t* GetWideChar(int32_t Ident, std::span<char16_t> Buffer) const;

private:
    struct TEntry {
        int32_t Ident;
        uint32_t Offset;  // bytes from the start of the table
        uint32_t Length;  // UTF-16 units
    };
    // Binary search of the index; false for an absent id (which raises under ReportError).
    bool FindIdent(int32_t Ident, TEntry& Entry) const;
    std::u16string Text(const TEntry& Entry) const;
    std::span<const uint8_t> FData;
    uint32_t FCount = 0;
};

// The reader's own table, which gives its messages their texts; opened and
// closed with the library (reportview/OvcInit.h). While it is closed the
// messages have their English texts.
void OpenStringResourceMessages();
void CloseStringResourceMessages();
