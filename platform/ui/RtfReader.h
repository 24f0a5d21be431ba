#pragma once
// The reader of rich text (RTF): groups, control words and symbols, and the
// text they hold. The plain-text face keeps the text with its paragraph
// breaks and tabs, the characters written as \'xx and \uN (with the ANSI
// fallback that follows \uN when N has no Windows-1252 byte), and passes over
// the groups that hold no text of the document (font and colour tables, style
// sheets, pictures, objects, field instructions, "\*" destinations ...).
// A reader that wants the formatting too takes the control words it meets;
// ReadRtf is the one that builds the rich edit's document.
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/ui/RichDocument.h"

class TRtfReader {
public:
    virtual ~TRtfReader() = default;
    // Reads a whole text; a text that is not rich text reads as plain characters.
    void Read(std::string_view Rtf);

protected:
    // Characters of the document (Windows-1252).
    virtual void Characters(std::string_view Text) = 0;
    // A paragraph ends (\par), or a line breaks inside one (\line).
    virtual void ParagraphBreak() = 0;
    // Every other control word of a group that holds text: "b", "fs" 24 ...
    virtual void ControlWord(std::string_view /*Word*/, bool /*HasParameter*/, int /*Parameter*/) {}
    // Destinations whose groups the reader takes apart itself ("fonttbl" ...)
    // rather than passing over: their word comes to ControlWord.
    virtual bool WantsDestination(std::string_view /*Word*/) { return false; }
    virtual void GroupStart() {}
    virtual void GroupEnd() {}
};

// Whether a text begins as rich text ("{\rtf").
bool IsRichText(std::string_view Text);
// The document rich text holds (the fonts, colours and paragraph formats
// the rich edit keeps); a text that is not rich text is its plain text, in
// Default. The last paragraph's own mark adds no empty paragraph.
TRichDocument ReadRtf(std::string_view Rtf, const TRichCharFormat& Default = TRichCharFormat{});
// The plain text of rich text: paragraphs separated by CR LF (the last
// paragraph's own mark adds no break), tabs as TAB.
AnsiString RtfToPlainText(std::string_view Rtf);
