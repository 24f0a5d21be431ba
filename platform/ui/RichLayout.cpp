#include "platform/ui/RichLayout.h"

#include <algorithm>

#include "platform/gfx/Graphics.h"

int TwipsToPixels(int Twips, int PixelsPerInch) { return MulDiv(Twips, PixelsPerInch, 1440); }
int PixelsToTwips(int Pixels, int PixelsPerInch) { return MulDiv(Pixels, 1440, PixelsPerInch); }

namespace {

// A bullet, and the room it takes when the paragraph leaves none.
constexpr char BulletChar = '\x95';

void SelectFont(TCanvas& Canvas, const TRichCharFormat& F) {
    TFont* font = Canvas.Font();
    font->SetName(F.FaceName);
    font->SetSize(std::max(1, (F.Height + 10) / 20));
    TFontStyles style;
    if (F.Bold) style.Include(fsBold);
    if (F.Italic) style.Include(fsItalic);
    if (F.Underline) style.Include(fsUnderline);
    if (F.StrikeOut) style.Include(fsStrikeOut);
    font->SetStyle(style);
    font->SetColor(F.AutoColor ? clWindowText : static_cast<TColor>(F.Color));
}

struct TMetrics {
    int Ascent = 0, Descent = 0;
};

TMetrics MetricsFor(TCanvas& Canvas, const TRichCharFormat& F) {
    SelectFont(Canvas, F);
    TTextMetric tm;
    Canvas.GetTextMetrics(tm);
    return {tm.tmAscent, tm.tmDescent};
}

// The line's height by the paragraph's spacing rule, from its natural height.
int SpacedHeight(const TRichParaFormat& P, int Natural, int Ppi) {
    switch (P.LineSpacingRule) {
    case 1: return Natural * 3 / 2;
    case 2: return Natural * 2;
    case 3: return std::max(Natural, TwipsToPixels(P.LineSpacing, Ppi));
    case 4: return TwipsToPixels(P.LineSpacing, Ppi);
    case 5: return P.LineSpacing > 0 ? Natural * P.LineSpacing / 20 : Natural;
    default: return Natural;
    }
}

int NextTab(const TRichParaFormat& P, int X, int Ppi) {
    for (int t : P.Tabs) {
        int at = TwipsToPixels(t, Ppi);
        if (at > X) return at;
    }
    const int step = std::max(1, TwipsToPixels(RichDefaultTabTwips, Ppi));
    return (X / step + 1) * step;
}

class TLineBreaker {
public:
    TLineBreaker(TCanvas& Canvas, const TRichParagraph& P, int Width)
        : FCanvas(Canvas), FP(P), FPpi(Canvas.PixelsPerInch()) {
        const TRichParaFormat& f = P.Format;
        FFirstLeft = TwipsToPixels(f.StartIndent, FPpi);
        FLeft = TwipsToPixels(f.StartIndent + f.Offset, FPpi);
        FRight = std::max(Width - TwipsToPixels(f.RightIndent, FPpi), 1);
    }

    TRichParagraphLayout Run() {
        StartLine(true);
        if (FP.Format.Numbering == rnBullet) {
            const TRichCharFormat& f = FP.Runs.empty() ? FP.EndFormat : FP.Runs[0].Format;
            Use(f);
            const int w = FCanvas.TextExtent(std::string_view(&BulletChar, 1)).cx;
            FLine.Pieces.push_back(TRichPiece{0, 0, 0, FX, w, true});
            FX = std::max(FLeft, FX + w + w / 2);
            FLine.Left = FX;
        }
        int offset = 0;
        for (size_t r = 0; r < FP.Runs.size(); ++r) {
            const TRichRun& run = FP.Runs[r];
            Use(run.Format);
            const std::string_view text = run.Text;
            size_t i = 0;
            while (i < text.size()) {
                size_t j = i;
                const char c = text[i];
                if (c == '\t') {
                    const int stop = NextTab(FP.Format, FX, FPpi);
                    Place(static_cast<int>(r), i, i + 1, stop - FX, offset, false);
                    i = i + 1;
                    continue;
                }
                const bool space = c == ' ';
                while (j < text.size() && text[j] != '\t' && (text[j] == ' ') == space) ++j;
                if (space) {
                    Place(static_cast<int>(r), i, j, Width(text.substr(i, j - i)), offset, false);
                } else {
                    PlaceWord(static_cast<int>(r), text, i, j, offset);
                }
                i = j;
            }
            offset += static_cast<int>(text.size());
        }
        if (FP.Runs.empty()) Use(FP.EndFormat);
        EndLine(offset);
        FLayout.Height = FTop + TwipsToPixels(FP.Format.SpaceAfter, FPpi);
        return std::move(FLayout);
    }

private:
    int Width(std::string_view Text) { return Text.empty() ? 0 : FCanvas.TextExtent(Text).cx; }

    void Use(const TRichCharFormat& F) {
        TMetrics m = MetricsFor(FCanvas, F);
        FUsed = m;
    }

    void StartLine(bool First) {
        FLine = TRichLine{};
        FX = First ? FFirstLeft : FLeft;
        FLine.Left = FX;
        FAscent = FDescent = 0;
        FHasInk = false;
        if (First) FTop = TwipsToPixels(FP.Format.SpaceBefore, FPpi);
    }

    void Grow() {
        FAscent = std::max(FAscent, FUsed.Ascent);
        FDescent = std::max(FDescent, FUsed.Descent);
    }

    void Place(int Run, size_t From, size_t To, int W, int RunOffset, bool Ink) {
        if (FLine.Pieces.empty() || FLine.Pieces.back().Bullet)
            FLine.Start = RunOffset + static_cast<int>(From);
        FLine.Pieces.push_back(TRichPiece{Run, static_cast<int>(From), static_cast<int>(To), FX, W, false});
        FLine.End = RunOffset + static_cast<int>(To);
        FX += W;
        FHasInk = FHasInk || Ink;
        if (Ink) FInkRight = FX;
        Grow();
    }

    void PlaceWord(int Run, std::string_view Text, size_t From, size_t To, int RunOffset) {
        int w = Width(Text.substr(From, To - From));
        if (FX + w > FRight && FHasInk) {
            EndLine(RunOffset + static_cast<int>(From));
            StartLine(false);
        }
        // A word wider than a whole line breaks where the line is full.
        while (FX + w > FRight && To - From > 1) {
            size_t fit = From + 1;
            while (fit < To && FX + Width(Text.substr(From, fit + 1 - From)) <= FRight) ++fit;
            Place(Run, From, fit, Width(Text.substr(From, fit - From)), RunOffset, true);
            EndLine(RunOffset + static_cast<int>(fit));
            StartLine(false);
            From = fit;
            w = Width(Text.substr(From, To - From));
        }
        Place(Run, From, To, w, RunOffset, true);
    }

    void EndLine(int EndOffset) {
        if (FLine.Pieces.empty() || !FHasInk) {
            // An empty line is as high as the font it would be typed in.
            Grow();
            if (FLine.Pieces.empty()) FLine.Start = EndOffset;
        }
        FLine.End = std::max(FLine.End, FLine.Start);
        if (FLine.Pieces.empty()) FLine.End = EndOffset;
        const int natural = FAscent + FDescent;
        FLine.Ascent = FAscent;
        FLine.Height = SpacedHeight(FP.Format, natural, FPpi);
        FLine.Top = FTop;
        Align();
        FTop += FLine.Height;
        FLayout.Lines.push_back(std::move(FLine));
        FInkRight = 0;
    }

    void Align() {
        const TRichAlignment a = FP.Format.Alignment;
        if (a == raLeft || a == raJustify || !FHasInk) return;
        int shift = FRight - FInkRight;
        if (a == raCenter) shift /= 2;
        if (shift <= 0) return;
        for (TRichPiece& p : FLine.Pieces) p.X += shift;
        FLine.Left += shift;
    }

    TCanvas& FCanvas;
    const TRichParagraph& FP;
    int FPpi;
    int FFirstLeft = 0, FLeft = 0, FRight = 0;
    TRichParagraphLayout FLayout;
    TRichLine FLine;
    TMetrics FUsed;
    int FX = 0, FTop = 0, FAscent = 0, FDescent = 0, FInkRight = 0;
    bool FHasInk = false;
};

// Where each run starts in the paragraph's text.
std::vector<int> RunStarts(const TRichParagraph& P) {
    std::vector<int> starts;
    starts.reserve(P.Runs.size());
    int at = 0;
    for (const TRichRun& r : P.Runs) {
        starts.push_back(at);
        at += static_cast<int>(r.Text.size());
    }
    return starts;
}

const TRichCharFormat& PieceFormat(const TRichParagraph& P, const TRichPiece& Piece) {
    if (Piece.Bullet) return P.Runs.empty() ? P.EndFormat : P.Runs[0].Format;
    return P.Runs[static_cast<size_t>(Piece.Run)].Format;
}

std::string_view PieceText(const TRichParagraph& P, const TRichPiece& Piece, int From, int To) {
    return std::string_view(P.Runs[static_cast<size_t>(Piece.Run)].Text)
        .substr(static_cast<size_t>(From), static_cast<size_t>(To - From));
}

bool IsTab(const TRichParagraph& P, const TRichPiece& Piece) {
    return !Piece.Bullet && Piece.To > Piece.From &&
           PieceText(P, Piece, Piece.From, Piece.From + 1)[0] == '\t';
}

// The width of the piece's characters [From, Offset) (run offsets), its font selected.
int PrefixWidth(TCanvas& Canvas, const TRichParagraph& P, const TRichPiece& Piece, int Offset) {
    if (Offset <= Piece.From) return 0;
    if (Offset >= Piece.To) return Piece.Width;
    if (IsTab(P, Piece)) return 0;
    SelectFont(Canvas, PieceFormat(P, Piece));
    return Canvas.TextExtent(PieceText(P, Piece, Piece.From, Offset)).cx;
}

// Draws a line; the characters [SelFrom, SelTo) of the paragraph on the highlight colour.
void DrawLine(TCanvas& Canvas, const TRichParagraph& P, const TRichLine& Line, int Left, int Top,
              int SelFrom = 0, int SelTo = 0) {
    const std::vector<int> starts = RunStarts(P);
    for (const TRichPiece& piece : Line.Pieces) {
        const TRichCharFormat& f = PieceFormat(P, piece);
        TMetrics m = MetricsFor(Canvas, f);
        const int y = Top + Line.Ascent - m.Ascent;
        if (piece.Bullet) {
            Canvas.Brush()->SetStyle(bsClear);
            Canvas.TextOut(Left + piece.X, y, std::string_view(&BulletChar, 1));
            continue;
        }
        const int base = starts[static_cast<size_t>(piece.Run)];
        const bool tab = IsTab(P, piece);
        // The piece in up to three parts: before, within and after the selection.
        const int cuts[4] = {piece.From, std::clamp(SelFrom - base, piece.From, piece.To),
                             std::clamp(SelTo - base, piece.From, piece.To), piece.To};
        for (int part = 0; part < 3; ++part) {
            const int from = cuts[part], to = cuts[part + 1];
            if (from >= to) continue;
            const bool selected = part == 1;
            const int x1 = Left + piece.X + (tab ? 0 : PrefixWidth(Canvas, P, piece, from));
            const int x2 = Left + piece.X + (tab ? piece.Width : PrefixWidth(Canvas, P, piece, to));
            if (selected || !f.AutoBackColor) {
                Canvas.Brush()->SetStyle(bsSolid);
                Canvas.Brush()->SetColor(selected ? clHighlight : static_cast<TColor>(f.BackColor));
                Canvas.FillRect(TRect(x1, Top, x2, Top + Line.Height));
            }
            if (tab) continue;
            SelectFont(Canvas, f);
            if (selected) Canvas.Font()->SetColor(clHighlightText);
            Canvas.Brush()->SetStyle(bsClear);
            Canvas.TextOut(x1, y, PieceText(P, piece, from, to));
        }
    }
    // A selected paragraph break shows as a little room after its last line.
    const int length = P.Length();
    if (Line.End == length && SelFrom <= length && SelTo > length) {
        int x = Left + Line.Left;
        if (!Line.Pieces.empty()) x = Left + Line.Pieces.back().X + Line.Pieces.back().Width;
        SelectFont(Canvas, P.EndFormat);
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(clHighlight);
        Canvas.FillRect(TRect(x, Top, x + Canvas.TextExtent(" ").cx, Top + Line.Height));
    }
}

}  // namespace

TRichParagraphLayout LayoutRichParagraph(TCanvas& Canvas, const TRichParagraph& Paragraph, int Width) {
    return TLineBreaker(Canvas, Paragraph, Width).Run();
}

void DrawRichParagraph(TCanvas& Canvas, const TRichParagraph& Paragraph, const TRichParagraphLayout& Layout,
                       int Left, int Top, int ClipTop, int Bottom, int SelFrom, int SelTo) {
    for (const TRichLine& line : Layout.Lines) {
        const int y = Top + line.Top;
        if (y >= Bottom) break;
        if (y + line.Height < ClipTop) continue;
        DrawLine(Canvas, Paragraph, line, Left, y, SelFrom, SelTo);
    }
}

int RichCaretX(TCanvas& Canvas, const TRichParagraph& Paragraph, const TRichLine& Line, int Offset) {
    const std::vector<int> starts = RunStarts(Paragraph);
    for (const TRichPiece& piece : Line.Pieces) {
        if (piece.Bullet) continue;
        const int base = starts[static_cast<size_t>(piece.Run)];
        if (Offset <= base + piece.From) return piece.X;
        if (Offset < base + piece.To) return piece.X + PrefixWidth(Canvas, Paragraph, piece, Offset - base);
    }
    for (auto it = Line.Pieces.rbegin(); it != Line.Pieces.rend(); ++it)
        if (!it->Bullet) return it->X + it->Width;
    return Line.Left;
}

int RichOffsetAtX(TCanvas& Canvas, const TRichParagraph& Paragraph, const TRichLine& Line, int X) {
    const std::vector<int> starts = RunStarts(Paragraph);
    for (const TRichPiece& piece : Line.Pieces) {
        if (piece.Bullet) continue;
        const int base = starts[static_cast<size_t>(piece.Run)];
        if (X >= piece.X + piece.Width) continue;
        if (X <= piece.X || IsTab(Paragraph, piece))
            return base + (X < piece.X + piece.Width / 2 ? piece.From : piece.To);
        // The boundary whose x lies nearest.
        int before = 0;
        for (int i = piece.From + 1; i <= piece.To; ++i) {
            const int w = PrefixWidth(Canvas, Paragraph, piece, i);
            if (X - piece.X < (before + w + 1) / 2) return base + i - 1;
            before = w;
        }
        return base + piece.To;
    }
    if (Line.End < Paragraph.Length() && Line.End > Line.Start) return Line.End - 1;
    return Line.End;
}

int FormatRichRange(TCanvas& Canvas, const TRichDocument& Document, int First, const TRect& Rect,
                    bool Render) {
    const int ppi = Canvas.PixelsPerInch();
    int p = Document.ParagraphAt(First);
    int paragraphStart = Document.ParagraphStart(p);
    int offset = std::max(0, First - paragraphStart);
    if (offset > Document.Paragraph(p).Length() && p + 1 < Document.ParagraphCount()) {
        paragraphStart += Document.Paragraph(p).Length() + 2;
        ++p;
        offset = 0;
    }
    int y = Rect.Top;
    int placed = 0;
    for (; p < Document.ParagraphCount(); ++p) {
        const TRichParagraph& par = Document.Paragraph(p);
        TRichParagraphLayout layout = LayoutRichParagraph(Canvas, par, Rect.Width());
        const int before = TwipsToPixels(par.Format.SpaceBefore, ppi);
        const int after = TwipsToPixels(par.Format.SpaceAfter, ppi);
        for (size_t i = 0; i < layout.Lines.size(); ++i) {
            const TRichLine& line = layout.Lines[i];
            // A page ends at a line's start: the next page goes on from there.
            if (line.Start < offset) continue;
            const int top = y + (i == 0 ? before : 0);
            if (top + line.Height > Rect.Bottom && placed > 0) return paragraphStart + line.Start;
            if (Render) DrawLine(Canvas, par, line, Rect.Left, top);
            y = top + line.Height + (i + 1 == layout.Lines.size() ? after : 0);
            ++placed;
        }
        paragraphStart += par.Length() + 2;
        offset = 0;
    }
    return Document.Length();
}
