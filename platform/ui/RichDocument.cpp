#include "platform/ui/RichDocument.h"

#include <algorithm>

#include "platform/rtl/Strings.h"
#include "platform/ui/RtfReader.h"
#include "platform/ui/RtfWriter.h"

void TRichCharFormat::Apply(const TRichCharFormat& Source, uint32_t Mask) {
    if (Mask & cmBold) Bold = Source.Bold;
    if (Mask & cmItalic) Italic = Source.Italic;
    if (Mask & cmUnderline) Underline = Source.Underline;
    if (Mask & cmStrikeOut) StrikeOut = Source.StrikeOut;
    if (Mask & cmFace) FaceName = Source.FaceName;
    if (Mask & cmSize) Height = Source.Height;
    if (Mask & cmCharset) Charset = Source.Charset;
    if (Mask & cmColor) {
        AutoColor = Source.AutoColor;
        Color = Source.Color;
    }
    if (Mask & cmBackColor) {
        AutoBackColor = Source.AutoBackColor;
        BackColor = Source.BackColor;
    }
}

uint32_t TRichCharFormat::SameAs(const TRichCharFormat& O) const {
    uint32_t m = 0;
    if (Bold == O.Bold) m |= cmBold;
    if (Italic == O.Italic) m |= cmItalic;
    if (Underline == O.Underline) m |= cmUnderline;
    if (StrikeOut == O.StrikeOut) m |= cmStrikeOut;
    if (FaceName == O.FaceName) m |= cmFace;
    if (Height == O.Height) m |= cmSize;
    if (Charset == O.Charset) m |= cmCharset;
    if (AutoColor == O.AutoColor && (AutoColor || Color == O.Color)) m |= cmColor;
    if (AutoBackColor == O.AutoBackColor && (AutoBackColor || BackColor == O.BackColor)) m |= cmBackColor;
    return m;
}

void TRichParaFormat::Apply(const TRichParaFormat& Source, uint32_t Mask) {
    if (Mask & pmAlignment) Alignment = Source.Alignment;
    if (Mask & pmNumbering) Numbering = Source.Numbering;
    if (Mask & pmOffset) Offset = Source.Offset;
    if (Mask & pmRightIndent) RightIndent = Source.RightIndent;
    if (Mask & pmStartIndent) StartIndent = Source.StartIndent;
    if (Mask & pmTabStops) {
        Tabs = Source.Tabs;
        if (Tabs.size() > static_cast<size_t>(MaxRichTabStops)) Tabs.resize(MaxRichTabStops);
    }
    if (Mask & pmSpaceBefore) SpaceBefore = Source.SpaceBefore;
    if (Mask & pmSpaceAfter) SpaceAfter = Source.SpaceAfter;
    if (Mask & pmLineSpacing) {
        LineSpacing = Source.LineSpacing;
        LineSpacingRule = Source.LineSpacingRule;
    }
}

uint32_t TRichParaFormat::SameAs(const TRichParaFormat& O) const {
    uint32_t m = 0;
    if (Alignment == O.Alignment) m |= pmAlignment;
    if (Numbering == O.Numbering) m |= pmNumbering;
    if (Offset == O.Offset) m |= pmOffset;
    if (RightIndent == O.RightIndent) m |= pmRightIndent;
    if (StartIndent == O.StartIndent) m |= pmStartIndent;
    if (Tabs == O.Tabs) m |= pmTabStops;
    if (SpaceBefore == O.SpaceBefore) m |= pmSpaceBefore;
    if (SpaceAfter == O.SpaceAfter) m |= pmSpaceAfter;
    if (LineSpacing == O.LineSpacing && LineSpacingRule == O.LineSpacingRule) m |= pmLineSpacing;
    return m;
}

int TRichParagraph::Length() const {
    int n = 0;
    for (const TRichRun& r : Runs) n += static_cast<int>(r.Text.size());
    return n;
}

AnsiString TRichParagraph::Text() const {
    AnsiString s;
    for (const TRichRun& r : Runs) s += r.Text;
    return s;
}

TRichDocument::TRichDocument() { Clear(); }

void TRichDocument::SetDefaultFormat(const TRichCharFormat& Value) {
    FDefault = Value;
    if (FParagraphs.size() == 1 && FParagraphs[0].Runs.empty()) FParagraphs[0].EndFormat = Value;
}

void TRichDocument::Clear() {
    FParagraphs.assign(1, TRichParagraph{});
    FParagraphs[0].EndFormat = FDefault;
    FLengths.assign(1, 0);
}

void TRichDocument::Measure() {
    FLengths.resize(FParagraphs.size());
    for (size_t i = 0; i < FParagraphs.size(); ++i) FLengths[i] = FParagraphs[i].Length();
}

AnsiString TRichDocument::Text() const {
    AnsiString s;
    s.reserve(static_cast<size_t>(Length()));
    for (size_t i = 0; i < FParagraphs.size(); ++i) {
        if (i > 0) s += "\r\n";
        for (const TRichRun& r : FParagraphs[i].Runs) s += r.Text;
    }
    return s;
}

int TRichDocument::Length() const {
    int n = 0;
    for (int len : FLengths) n += len + 2;
    return n - 2;
}

int TRichDocument::ParagraphStart(int Index) const {
    int at = 0;
    for (int i = 0; i < Index && i < ParagraphCount(); ++i) at += FLengths[static_cast<size_t>(i)] + 2;
    return at;
}

TRichDocument::TSpot TRichDocument::Locate(int Pos) const {
    if (Pos < 0) Pos = 0;
    for (size_t i = 0; i < FParagraphs.size(); ++i) {
        int len = FLengths[i];
        if (Pos <= len || i + 1 == FParagraphs.size()) return {i, std::min(Pos, len)};
        Pos -= len + 2;
        if (Pos < 0) return {i, len};  // inside the break: the paragraph's end
    }
    return {0, 0};
}

int TRichDocument::ParagraphAt(int Pos) const { return static_cast<int>(Locate(Pos).Paragraph); }

size_t TRichDocument::SplitRunAt(TRichParagraph& P, int Offset) {
    int at = 0;
    for (size_t r = 0; r < P.Runs.size(); ++r) {
        int len = static_cast<int>(P.Runs[r].Text.size());
        if (Offset == at) return r;
        if (Offset < at + len) {
            TRichRun tail{P.Runs[r].Text.substr(static_cast<size_t>(Offset - at)), P.Runs[r].Format};
            P.Runs[r].Text.resize(static_cast<size_t>(Offset - at));
            P.Runs.insert(P.Runs.begin() + static_cast<std::ptrdiff_t>(r) + 1, std::move(tail));
            return r + 1;
        }
        at += len;
    }
    return P.Runs.size();
}

void TRichDocument::Normalize(TRichParagraph& P) {
    std::vector<TRichRun> runs;
    runs.reserve(P.Runs.size());
    for (TRichRun& r : P.Runs) {
        if (r.Text.empty()) continue;
        if (!runs.empty() && runs.back().Format == r.Format) runs.back().Text += r.Text;
        else runs.push_back(std::move(r));
    }
    if (!runs.empty()) P.EndFormat = runs.back().Format;
    P.Runs = std::move(runs);
}

TRichCharFormat TRichDocument::FormatBefore(const TSpot& At) const {
    const TRichParagraph& p = FParagraphs[At.Paragraph];
    int at = 0;
    for (const TRichRun& r : p.Runs) {
        int len = static_cast<int>(r.Text.size());
        if (At.Offset <= at + len && At.Offset > at) return r.Format;
        if (At.Offset == 0) return r.Format;
        at += len;
    }
    return p.EndFormat;
}

void TRichDocument::SetPlainText(std::string_view Text) {
    Clear();
    Replace(0, 0, Text);
}

void TRichDocument::SetParagraphs(std::vector<TRichParagraph> Paragraphs) {
    FParagraphs = std::move(Paragraphs);
    if (FParagraphs.empty()) Clear();
    for (TRichParagraph& p : FParagraphs) Normalize(p);
    Measure();
}

std::vector<TRichParagraph> TRichDocument::ReplaceParagraphs(int First, int Count,
                                                             std::vector<TRichParagraph> With) {
    const auto first = static_cast<std::ptrdiff_t>(First);
    const auto last = first + static_cast<std::ptrdiff_t>(Count);
    std::vector<TRichParagraph> removed(std::make_move_iterator(FParagraphs.begin() + first),
                                        std::make_move_iterator(FParagraphs.begin() + last));
    FParagraphs.erase(FParagraphs.begin() + first, FParagraphs.begin() + last);
    std::vector<int> lengths;
    lengths.reserve(With.size());
    for (const TRichParagraph& p : With) lengths.push_back(p.Length());
    FParagraphs.insert(FParagraphs.begin() + first, std::make_move_iterator(With.begin()),
                       std::make_move_iterator(With.end()));
    FLengths.erase(FLengths.begin() + first, FLengths.begin() + last);
    FLengths.insert(FLengths.begin() + first, lengths.begin(), lengths.end());
    if (FParagraphs.empty()) Clear();
    return removed;
}

namespace {
// Breaks plain text into its paragraphs' texts.
std::vector<std::string_view> SplitPlain(std::string_view Text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '\r' && Text[i] != '\n') continue;
        parts.push_back(Text.substr(start, i - start));
        if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    parts.push_back(Text.substr(start));
    return parts;
}
}  // namespace

void TRichDocument::Replace(int Start, int End, std::string_view Text) {
    TRichDocument piece;
    TSpot at = Locate(std::min(Start, End));
    TRichCharFormat format = FormatBefore(at);
    std::vector<TRichParagraph> paragraphs;
    for (std::string_view part : SplitPlain(Text)) {
        TRichParagraph p;
        p.Format = FParagraphs[at.Paragraph].Format;
        p.EndFormat = format;
        if (!part.empty()) p.Runs.push_back(TRichRun{AnsiString(part), format});
        paragraphs.push_back(std::move(p));
    }
    piece.FParagraphs = std::move(paragraphs);
    piece.Measure();
    ReplaceWith(Start, End, piece);
}

void TRichDocument::ReplaceWith(int Start, int End, const TRichDocument& Other) {
    if (End < Start) std::swap(Start, End);
    TSpot a = Locate(Start), b = Locate(End);
    // A paragraph's format belongs to its mark: the paragraphs inserted with
    // their marks keep theirs, and the last one, which ends at the mark of
    // the paragraph holding End, takes that paragraph's.
    TRichParagraph head = FParagraphs[a.Paragraph];
    head.Runs.resize(SplitRunAt(head, a.Offset));
    TRichParagraph tail = FParagraphs[b.Paragraph];
    tail.Runs.erase(tail.Runs.begin(),
                    tail.Runs.begin() + static_cast<std::ptrdiff_t>(SplitRunAt(tail, b.Offset)));

    const std::vector<TRichParagraph>& in = Other.FParagraphs;
    std::vector<TRichParagraph> made(in.begin(), in.end());
    made.front().Runs.insert(made.front().Runs.begin(), head.Runs.begin(), head.Runs.end());
    TRichParagraph& last = made.back();
    last.Runs.insert(last.Runs.end(), tail.Runs.begin(), tail.Runs.end());
    last.Format = tail.Format;
    std::vector<int> lengths;
    lengths.reserve(made.size());
    for (TRichParagraph& p : made) {
        Normalize(p);
        lengths.push_back(p.Length());
    }
    const auto first = static_cast<std::ptrdiff_t>(a.Paragraph);
    const auto removed = static_cast<std::ptrdiff_t>(b.Paragraph - a.Paragraph) + 1;
    if (removed == static_cast<std::ptrdiff_t>(made.size())) {
        // Typing within paragraphs: they are replaced where they stand.
        std::move(made.begin(), made.end(), FParagraphs.begin() + first);
        std::copy(lengths.begin(), lengths.end(), FLengths.begin() + first);
        return;
    }
    FParagraphs.erase(FParagraphs.begin() + first, FParagraphs.begin() + first + removed);
    FParagraphs.insert(FParagraphs.begin() + first, std::make_move_iterator(made.begin()),
                       std::make_move_iterator(made.end()));
    FLengths.erase(FLengths.begin() + first, FLengths.begin() + first + removed);
    FLengths.insert(FLengths.begin() + first, lengths.begin(), lengths.end());
}

TRichDocument TRichDocument::Range(int Start, int End) const {
    if (End < Start) std::swap(Start, End);
    TSpot a = Locate(Start), b = Locate(End);
    TRichDocument d;
    d.FDefault = FDefault;
    d.FParagraphs.clear();
    for (size_t i = a.Paragraph; i <= b.Paragraph; ++i) {
        TRichParagraph p = FParagraphs[i];
        if (i == b.Paragraph) {
            size_t cut = SplitRunAt(p, b.Offset);
            p.Runs.resize(cut);
        }
        if (i == a.Paragraph) {
            size_t cut = SplitRunAt(p, a.Offset);
            p.Runs.erase(p.Runs.begin(), p.Runs.begin() + static_cast<std::ptrdiff_t>(cut));
        }
        if (p.Runs.empty()) p.EndFormat = FormatBefore(TSpot{i, i == a.Paragraph ? a.Offset : 0});
        Normalize(p);
        d.FParagraphs.push_back(std::move(p));
    }
    d.Measure();
    return d;
}

void TRichDocument::SetCharFormat(int Start, int End, const TRichCharFormat& Format, uint32_t Mask) {
    if (End < Start) std::swap(Start, End);
    TSpot a = Locate(Start), b = Locate(End);
    if (Start == End) {
        TRichParagraph& p = FParagraphs[a.Paragraph];
        if (p.Runs.empty()) p.EndFormat.Apply(Format, Mask);
        return;
    }
    for (size_t i = a.Paragraph; i <= b.Paragraph; ++i) {
        TRichParagraph& p = FParagraphs[i];
        int from = i == a.Paragraph ? a.Offset : 0;
        int to = i == b.Paragraph ? b.Offset : p.Length();
        if (p.Runs.empty()) p.EndFormat.Apply(Format, Mask);
        if (from >= to) continue;
        size_t first = SplitRunAt(p, from);
        size_t last = SplitRunAt(p, to);
        for (size_t r = first; r < last; ++r) p.Runs[r].Format.Apply(Format, Mask);
        Normalize(p);
    }
}

TRichCharFormat TRichDocument::CharFormat(int Start, int End, uint32_t* Mask) const {
    if (End < Start) std::swap(Start, End);
    TSpot a = Locate(Start), b = Locate(End);
    if (Start == End) {
        if (Mask) *Mask = cmAllChar;
        return FormatBefore(a);
    }
    bool found = false;
    TRichCharFormat result;
    uint32_t mask = cmAllChar;
    for (size_t i = a.Paragraph; i <= b.Paragraph; ++i) {
        const TRichParagraph& p = FParagraphs[i];
        int from = i == a.Paragraph ? a.Offset : 0;
        int to = i == b.Paragraph ? b.Offset : p.Length();
        int at = 0;
        for (const TRichRun& r : p.Runs) {
            int len = static_cast<int>(r.Text.size());
            if (at < to && at + len > from) {
                if (!found) result = r.Format;
                else mask &= result.SameAs(r.Format);
                found = true;
            }
            at += len;
        }
    }
    if (!found) result = FormatBefore(a);
    if (Mask) *Mask = mask;
    return result;
}

void TRichDocument::SetParaFormat(int Start, int End, const TRichParaFormat& Format, uint32_t Mask) {
    if (End < Start) std::swap(Start, End);
    size_t a = Locate(Start).Paragraph, b = Locate(End).Paragraph;
    for (size_t i = a; i <= b; ++i) FParagraphs[i].Format.Apply(Format, Mask);
}

TRichParaFormat TRichDocument::ParaFormat(int Start, int End, uint32_t* Mask) const {
    if (End < Start) std::swap(Start, End);
    size_t a = Locate(Start).Paragraph, b = Locate(End).Paragraph;
    TRichParaFormat result = FParagraphs[a].Format;
    uint32_t mask = pmAllPara;
    for (size_t i = a + 1; i <= b; ++i) mask &= result.SameAs(FParagraphs[i].Format);
    if (Mask) *Mask = mask;
    return result;
}

TRichDocument StreamInDocument(const TRichStreamIn& In, bool Rich) {
    AnsiString bytes;
    std::vector<char> block(static_cast<size_t>(RichStreamBlockSize));
    for (;;) {
        int got = In(block.data(), RichStreamBlockSize);
        if (got <= 0) break;
        bytes.append(block.data(), static_cast<size_t>(std::min(got, RichStreamBlockSize)));
    }
    if (Rich && IsRichText(bytes)) return ReadRtf(bytes);
    TRichDocument d;
    d.SetPlainText(bytes);
    return d;
}

bool StreamOutDocument(const TRichDocument& Document, bool Rich, const TRichStreamOut& Out) {
    const AnsiString bytes = Rich ? WriteRtf(Document) : Document.Text();
    for (size_t at = 0; at < bytes.size();) {
        int size = static_cast<int>(std::min(bytes.size() - at, static_cast<size_t>(RichStreamBlockSize)));
        if (Out(bytes.data() + at, size) < size) return false;
        at += static_cast<size_t>(size);
    }
    return true;
}
