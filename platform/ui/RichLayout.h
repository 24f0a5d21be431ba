#pragma once
// The layout of a rich document on a canvas: paragraphs broken into lines
// within a width, each line's pieces placed in their fonts, indents and tab
// stops taken from twips at the canvas's resolution (pixels = twips x
// resolution / 1440), lines spaced by their paragraph's rule. It measures
// and draws pages (a rectangle of the canvas filled from a character on, as
// printing and the copies painted into grid cells need) and lays out a
// paragraph alone, so that an edit lays out again only what changed.
#include <vector>

#include "platform/gfx/Types.h"
#include "platform/ui/RichDocument.h"

class TCanvas;

// One piece of a line: characters [From, To) of a run, drawn at X.
struct TRichPiece {
    int Run = 0;
    int From = 0, To = 0;  // offsets in the run's text
    int X = 0, Width = 0;
    bool Bullet = false;  // the paragraph's bullet, drawn before its text
};

struct TRichLine {
    int Start = 0, End = 0;  // offsets in the paragraph's text
    int Top = 0;             // from the paragraph's top
    int Height = 0, Ascent = 0;
    int Left = 0;  // where the line's text starts (the caret on an empty line)
    std::vector<TRichPiece> Pieces;
};

struct TRichParagraphLayout {
    std::vector<TRichLine> Lines;
    int Height = 0;  // space before and after included
};

// Default tab stops stand this far apart where a paragraph sets none.
constexpr int RichDefaultTabTwips = 720;

int TwipsToPixels(int Twips, int PixelsPerInch);
int PixelsToTwips(int Pixels, int PixelsPerInch);

// Lays out one paragraph within Width pixels on Canvas (its font is changed).
TRichParagraphLayout LayoutRichParagraph(TCanvas& Canvas, const TRichParagraph& Paragraph, int Width);
// Draws a laid-out paragraph with its top-left corner at (Left, Top); only
// the lines that start above Bottom (and whose top is at or below ClipTop).
// The characters [SelFrom, SelTo) of the paragraph show selected (on the
// highlight colour); SelTo past the paragraph's length selects its break.
void DrawRichParagraph(TCanvas& Canvas, const TRichParagraph& Paragraph, const TRichParagraphLayout& Layout,
                       int Left, int Top, int ClipTop, int Bottom, int SelFrom = 0, int SelTo = 0);

// Where the caret stands before character Offset of the paragraph on a line
// of its layout, in pixels from the paragraph's left edge.
int RichCaretX(TCanvas& Canvas, const TRichParagraph& Paragraph, const TRichLine& Line, int Offset);
// The character boundary of a line nearest to X (pixels from the paragraph's
// left edge). Beyond the end of a line that wraps, the caret stays before
// its last character, so that it shows on that line.
int RichOffsetAtX(TCanvas& Canvas, const TRichParagraph& Paragraph, const TRichLine& Line, int X);

// Fills Rect (pixels of Canvas) with the document from character First on,
// drawing it when Render is set, and answers the character where the next
// page begins: the document's length once all of it fits. A page takes at
// least one line, so every call makes progress.
int FormatRichRange(TCanvas& Canvas, const TRichDocument& Document, int First, const TRect& Rect,
                    bool Render);
