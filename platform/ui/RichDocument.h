#pragma once
// What a rich edit holds apart from its looks: paragraphs of runs, each run
// a piece of text in one character format, each paragraph with its own
// paragraph format. Measures are twips (1/1440 inch), as rich text stores
// them. A position counts the characters of the text the control shows:
// paragraphs joined by CR LF (two characters), the last one without a break.
//
// Rich text (RTF) comes in and goes out through RtfReader.h and RtfWriter.h;
// both stream through a block callback (TRichStreamIn / TRichStreamOut).
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gfx/Types.h"
#include "platform/rtl/AnsiString.h"

enum TRichAlignment : uint8_t { raLeft, raRight, raCenter, raJustify };
enum TRichNumbering : uint8_t { rnNone, rnBullet };

// The control keeps no more tab stops in a paragraph than this.
constexpr int MaxRichTabStops = 32;

// Which attributes a format carries when it is applied or asked for: an
// attribute outside the mask is left as it is (applying) or differs within
// the range (asking).
enum TRichCharMask : uint32_t {
    cmBold = 1,
    cmItalic = 2,
    cmUnderline = 4,
    cmStrikeOut = 8,
    cmFace = 16,
    cmSize = 32,
    cmCharset = 64,
    cmColor = 128,
    cmBackColor = 256,
    cmAllChar = 511
};
enum TRichParaMask : uint32_t {
    pmAlignment = 1,
    pmNumbering = 2,
    pmOffset = 4,
    pmRightIndent = 8,
    pmStartIndent = 16,
    pmTabStops = 32,
    pmSpaceBefore = 64,
    pmSpaceAfter = 128,
    pmLineSpacing = 256,
    pmAllPara = 511
};

struct TRichCharFormat {
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    AnsiString FaceName = "Arial";
    int Height = 200;     // twips: 10 points
    uint8_t Charset = 0;  // the Windows character set of the face (0: ANSI)
    bool AutoColor = true;
    TColorRef Color = 0;  // the text's colour when not AutoColor
    bool AutoBackColor = true;
    TColorRef BackColor = 0xFFFFFF;  // the highlight when not AutoBackColor

    bool operator==(const TRichCharFormat&) const = default;
    // Copies the attributes of Mask from Source.
    void Apply(const TRichCharFormat& Source, uint32_t Mask);
    // The attributes that are the same in both.
    uint32_t SameAs(const TRichCharFormat& Other) const;
};

struct TRichParaFormat {
    TRichAlignment Alignment = raLeft;
    TRichNumbering Numbering = rnNone;
    // The first line starts at StartIndent, the lines after it at
    // StartIndent + Offset; the right edge stays RightIndent in.
    int StartIndent = 0, RightIndent = 0, Offset = 0;
    std::vector<int> Tabs;  // ascending positions, at most MaxRichTabStops
    int SpaceBefore = 0, SpaceAfter = 0;
    // Rule 0 single, 1 one and a half, 2 double, 3 at least LineSpacing
    // twips, 4 exactly LineSpacing twips, 5 LineSpacing twentieths of a line.
    int LineSpacing = 0;
    uint8_t LineSpacingRule = 0;

    bool operator==(const TRichParaFormat&) const = default;
    void Apply(const TRichParaFormat& Source, uint32_t Mask);
    uint32_t SameAs(const TRichParaFormat& Other) const;
};

struct TRichRun {
    AnsiString Text;
    TRichCharFormat Format;
    bool operator==(const TRichRun&) const = default;
};

struct TRichParagraph {
    TRichParaFormat Format;
    std::vector<TRichRun> Runs;  // no empty run, no two neighbours of one format
    // The format a character typed at the end takes when there are no runs.
    TRichCharFormat EndFormat;

    int Length() const;
    AnsiString Text() const;
    bool operator==(const TRichParagraph&) const = default;
};

class TRichDocument {
public:
    TRichDocument();

    // Never empty: an empty document is one empty paragraph.
    const std::vector<TRichParagraph>& Paragraphs() const { return FParagraphs; }
    int ParagraphCount() const { return static_cast<int>(FParagraphs.size()); }
    int ParagraphLength(int Index) const { return FLengths[static_cast<size_t>(Index)]; }
    const TRichParagraph& Paragraph(int Index) const { return FParagraphs[static_cast<size_t>(Index)]; }
    // The format new text takes in an empty document.
    const TRichCharFormat& DefaultFormat() const { return FDefault; }
    void SetDefaultFormat(const TRichCharFormat& Value);

    // The text as the control shows it: paragraphs joined by CR LF.
    AnsiString Text() const;
    int Length() const;
    // Where a paragraph's first character stands, and which paragraph holds
    // Pos (a position in a break belongs to the paragraph it ends).
    int ParagraphStart(int Index) const;
    int ParagraphAt(int Pos) const;

    void Clear();
    // Plain text: CR LF, a lone CR and a lone LF each end a paragraph; the
    // text takes the default format.
    void SetPlainText(std::string_view Text);
    // Replaces [Start, End) by Text (breaks as in SetPlainText), which takes
    // the format of the character before Start (the paragraph's first run
    // at its start). The paragraph holding Start keeps its format; a new
    // paragraph takes it too.
    void Replace(int Start, int End, std::string_view Text);
    // Replaces [Start, End) by a whole document: its first paragraph joins
    // the text before Start (keeping that paragraph's format unless the range
    // covered the paragraph's start), its last one the text after End.
    void ReplaceWith(int Start, int End, const TRichDocument& Other);
    // The part [Start, End) as a document of its own.
    TRichDocument Range(int Start, int End) const;
    // The paragraphs as they stand, for readers that build a document whole.
    void SetParagraphs(std::vector<TRichParagraph> Paragraphs);
    // Puts With in place of the Count paragraphs from First on and gives the
    // ones it took out (With may not be empty where it would leave none).
    std::vector<TRichParagraph> ReplaceParagraphs(int First, int Count, std::vector<TRichParagraph> With);

    // Character formats of [Start, End); an empty range sets the format that
    // text typed at Start takes (until the caret moves, which the control
    // tracks) and asks for the format of the character before Start.
    void SetCharFormat(int Start, int End, const TRichCharFormat& Format, uint32_t Mask);
    // The format of the range's first character, with the mask of the
    // attributes every character of the range shares.
    TRichCharFormat CharFormat(int Start, int End, uint32_t* Mask = nullptr) const;
    // Paragraph formats of every paragraph the range touches.
    void SetParaFormat(int Start, int End, const TRichParaFormat& Format, uint32_t Mask);
    TRichParaFormat ParaFormat(int Start, int End, uint32_t* Mask = nullptr) const;

    bool operator==(const TRichDocument& Other) const { return FParagraphs == Other.FParagraphs; }

private:
    struct TSpot {
        size_t Paragraph;
        int Offset;
    };
    TSpot Locate(int Pos) const;
    // Splits the run at the spot so that a run begins there; gives its index.
    static size_t SplitRunAt(TRichParagraph& P, int Offset);
    static void Normalize(TRichParagraph& P);
    TRichCharFormat FormatBefore(const TSpot& At) const;

    void Measure();
    std::vector<TRichParagraph> FParagraphs;
    // Each paragraph's length, so that finding a position costs a pass over
    // numbers, not over every run of the document.
    std::vector<int> FLengths;
    TRichCharFormat FDefault;
};

// The block callbacks through which text streams in and out of a document,
// as the rich edit window hands it to its caller: In fills up to Size bytes
// of Buffer and gives how many (0 ends the stream); Out takes Size bytes and
// gives how many it took (fewer ends the stream). Either may throw, which
// ends the stream as failed.
using TRichStreamIn = std::function<int(char* Buffer, int Size)>;
using TRichStreamOut = std::function<int(const char* Buffer, int Size)>;

// The size of the blocks the control asks a reader for.
constexpr int RichStreamBlockSize = 8192;

// Reads what the callback gives until it ends: rich text when Rich is set
// and the text begins as rich text, plain text otherwise.
TRichDocument StreamInDocument(const TRichStreamIn& In, bool Rich);
// Writes the document (rich text, or its plain text) in blocks of at most
// RichStreamBlockSize; false when the callback took less than a block.
bool StreamOutDocument(const TRichDocument& Document, bool Rich, const TRichStreamOut& Out);
