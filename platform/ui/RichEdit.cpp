#include "platform/ui/RichEdit.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/RichLayout.h"
#include "platform/ui/RtfReader.h"
#include "platform/ui/RtfWriter.h"
#include "platform/win/StdWindows.h"

ZELMOR_IMPLEMENT_CLASS(TCustomRichEdit, TCustomMemo)
ZELMOR_IMPLEMENT_COMPONENT(TRichEdit, TCustomRichEdit)

// The memo's own lines, but for loading and saving: rich text reads into
// the document and the document writes as rich text.
class TRichEditStrings : public TStrings {
public:
    explicit TRichEditStrings(TCustomRichEdit* Edit) : FEdit(Edit) {}

    int Count() const override { return Memo()->Count(); }
    AnsiString Get(int Index) const override { return Memo()->Get(Index); }
    void Put(int Index, const AnsiString& S) override { Memo()->Put(Index, S); }
    void Insert(int Index, const AnsiString& S) override { Memo()->Insert(Index, S); }
    void Delete(int Index) override { Memo()->Delete(Index); }
    void Clear() override { Memo()->Clear(); }
    AnsiString Text() const override { return Memo()->Text(); }
    void SetText(std::string_view Text) override { Memo()->SetText(Text); }

    void LoadFromStream(TStream& Stream) override {
        AnsiString bytes(static_cast<size_t>(std::max<int64_t>(Stream.Size() - Stream.Position(), 0)), '\0');
        bytes.resize(static_cast<size_t>(Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
        if (!FEdit->PlainText() && IsRichText(bytes)) {
            FEdit->SetDocument(ReadRtf(bytes, FEdit->DefaultCharFormat()));
        } else {
            TRichDocument plain;
            plain.SetDefaultFormat(FEdit->DefaultCharFormat());
            plain.SetPlainText(bytes);
            FEdit->SetDocument(plain);
        }
    }
    void SaveToStream(TStream& Stream) const override {
        FEdit->StreamOut(
            [&](const char* Buffer, int Size) { return static_cast<int>(Stream.Write(Buffer, Size)); },
            !FEdit->PlainText(), false);
    }

private:
    TStrings* Memo() const { return FEdit->TCustomMemo::Lines(); }
    TCustomRichEdit* FEdit;
};

// The window's lines and painting: each paragraph laid out once, and again
// only when it changes (or the width does); the lines of the whole text are
// the paragraphs' lines one after another.
class TRichEditView : public TEditView {
public:
    explicit TRichEditView(TCustomRichEdit* Edit) : FEdit(Edit), FMeasure(1, 1) {}

    // Count paragraphs from First on became Added new ones.
    void Replaced(int First, int Count, int Added) {
        if (First + Count > static_cast<int>(FLayouts.size())) return Reset();
        const auto at = FLayouts.begin() + First;
        FLayouts.erase(at, at + Count);
        FLayouts.insert(FLayouts.begin() + First, static_cast<size_t>(Added), TSlot{});
        FLinesValid = false;
    }
    void Reset() {
        FSeen = ~uint64_t{0};
        FLayouts.clear();
        FLinesValid = false;
    }

    const std::vector<TEditLine>& Lines(const AnsiString& Text, uint64_t Version, int Width) override {
        if (Version != FSeen) FEdit->Follow(Text);
        FSeen = Version;
        if (!FEdit->WordWrap()) Width = 0x3FFFFFFF;
        const TRichDocument& d = FEdit->FDocument;
        if (Width != FWidth || static_cast<int>(FLayouts.size()) != d.ParagraphCount()) {
            if (Width != FWidth) FLayouts.clear();
            FLayouts.resize(static_cast<size_t>(d.ParagraphCount()));
            FWidth = Width;
            FLinesValid = false;
        }
        for (int p = 0; p < d.ParagraphCount(); ++p) {
            TSlot& slot = FLayouts[static_cast<size_t>(p)];
            if (slot.Valid) continue;
            slot.Layout = LayoutRichParagraph(*FMeasure.Canvas(), d.Paragraph(p), FWidth);
            slot.Valid = true;
            FLinesValid = false;
        }
        if (!FLinesValid) Gather();
        return FLines;
    }
    int LineTop(int Line) override { return Row(Line).Top; }
    int LineHeight(int Line) override { return Row(Line).Height; }
    int PosToX(int Pos) override {
        const TRow& r = Row(EditLineOf(FLines, Pos));
        return RichCaretX(*FMeasure.Canvas(), Paragraph(r), LineOf(r),
                          Pos - FParaStart[static_cast<size_t>(r.Para)]);
    }
    int XToPos(int Line, int X) override {
        const TRow& r = Row(Line);
        return FParaStart[static_cast<size_t>(r.Para)] +
               RichOffsetAtX(*FMeasure.Canvas(), Paragraph(r), LineOf(r), X);
    }
    void Paint(HDC DC, const TRect& Area, int TopY, int SelStart, int SelEnd, bool ShowSel) override {
        if (!ShowSel) SelStart = SelEnd = 0;
        for (size_t p = 0; p < FLayouts.size() && p < FParaTop.size(); ++p) {
            const int y = Area.Top + FParaTop[p] - TopY;
            const TRichParagraphLayout& layout = FLayouts[p].Layout;
            if (y >= Area.Bottom) break;
            if (y + layout.Height < Area.Top) continue;
            const int start = FParaStart[p];
            DrawRichParagraph(*DC, FEdit->FDocument.Paragraph(static_cast<int>(p)), layout, Area.Left, y,
                              Area.Top, Area.Bottom, std::max(SelStart - start, 0),
                              std::max(SelEnd - start, 0));
        }
    }

private:
    struct TSlot {
        TRichParagraphLayout Layout;
        bool Valid = false;
    };
    struct TRow {
        int Para = 0, Line = 0, Top = 0, Height = 0;
    };

    const TRow& Row(int Line) const {
        return FRows[static_cast<size_t>(std::clamp(Line, 0, static_cast<int>(FRows.size()) - 1))];
    }
    const TRichParagraph& Paragraph(const TRow& R) const { return FEdit->FDocument.Paragraph(R.Para); }
    const TRichLine& LineOf(const TRow& R) const {
        return FLayouts[static_cast<size_t>(R.Para)].Layout.Lines[static_cast<size_t>(R.Line)];
    }

    void Gather() {
        const TRichDocument& d = FEdit->FDocument;
        FLines.clear();
        FRows.clear();
        FParaStart.assign(FLayouts.size(), 0);
        FParaTop.assign(FLayouts.size(), 0);
        int start = 0, top = 0;
        for (size_t p = 0; p < FLayouts.size(); ++p) {
            const TRichParagraphLayout& layout = FLayouts[p].Layout;
            const int length = d.ParagraphLength(static_cast<int>(p));
            FParaStart[p] = start;
            FParaTop[p] = top;
            for (size_t i = 0; i < layout.Lines.size(); ++i) {
                const TRichLine& line = layout.Lines[i];
                const bool last = i + 1 == layout.Lines.size();
                FLines.push_back(TEditLine{start + line.Start, start + line.End,
                                           last ? start + length + 2 : start + line.End});
                FRows.push_back(TRow{static_cast<int>(p), static_cast<int>(i), top + line.Top, line.Height});
            }
            top += layout.Height;
            start += length + 2;
        }
        FLinesValid = true;
    }

    TCustomRichEdit* FEdit;
    TBitmap FMeasure;
    int FWidth = -1;
    uint64_t FSeen = ~uint64_t{0};  // the version of the window's text followed last
    std::vector<TSlot> FLayouts;
    bool FLinesValid = false;
    std::vector<TEditLine> FLines;
    std::vector<TRow> FRows;
    std::vector<int> FParaStart, FParaTop;
};

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner), FRichLines(std::make_unique<TRichEditStrings>(this)) {
    FView = std::make_unique<TRichEditView>(this);
    FDocument.SetDefaultFormat(DefaultCharFormat());
}

TCustomRichEdit::~TCustomRichEdit() {
    if (HandleAllocated()) SetEditView(Handle(), nullptr);
}

void TCustomRichEdit::CreateWnd() {
    TCustomMemo::CreateWnd();
    // The paragraphs' indents place the text: no margins of the edit's own.
    Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    FView->Reset();
    SetEditView(Handle(), FView.get());
}

TStrings* TCustomRichEdit::Lines() const { return FRichLines.get(); }

void TCustomRichEdit::SetLines(TStrings* Value) {
    if (Value != FRichLines.get()) FRichLines->Assign(Value);
}

TRichCharFormat TCustomRichEdit::DefaultCharFormat() const {
    TFont* font = Font();
    TRichCharFormat f;
    f.FaceName = font->Name();
    f.Height = font->Size() * 20;
    f.Charset = static_cast<uint8_t>(font->Charset());
    f.Bold = font->Style().Contains(fsBold);
    f.Italic = font->Style().Contains(fsItalic);
    f.Underline = font->Style().Contains(fsUnderline);
    f.StrikeOut = font->Style().Contains(fsStrikeOut);
    return f;
}

void TCustomRichEdit::CMFontChanged(TMessage& Message) {
    TCustomMemo::CMFontChanged(Message);
    // Text already written keeps its format; an empty control takes the font.
    FDocument.SetDefaultFormat(DefaultCharFormat());
    FView->Reset();
}

// The document follows the text: what changed is the stretch between the
// longest common start and end of the old and the new text (never splitting
// a line break), and the document replaces it the way typing does.
void TCustomRichEdit::Follow() { Follow(Text()); }

void TCustomRichEdit::Follow(const AnsiString& Now) {
    const AnsiString& now = Now;
    if (now == FFollowed) return;
    const AnsiString& old = FFollowed;
    size_t head = 0, most = std::min(old.size(), now.size());
    // Whole blocks first: a long text differs in a few bytes.
    constexpr size_t block = 256;
    while (head + block <= most && std::memcmp(old.data() + head, now.data() + head, block) == 0)
        head += block;
    while (head < most && old[head] == now[head]) ++head;
    if (head > 0 && old[head - 1] == '\r' && head < old.size() && old[head] == '\n') --head;
    size_t tail = 0;
    while (tail + block <= most - head && std::memcmp(old.data() + old.size() - tail - block,
                                                      now.data() + now.size() - tail - block, block) == 0)
        tail += block;
    while (tail < most - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) ++tail;
    if (tail > 0 && old.size() - tail > 0 && old[old.size() - tail] == '\n' &&
        old[old.size() - tail - 1] == '\r')
        --tail;
    const int start = static_cast<int>(head);
    const int end = static_cast<int>(old.size() - tail);
    const int inserted = static_cast<int>(now.size() - tail - head);
    const std::string_view text = std::string_view(now).substr(head, now.size() - tail - head);
    const int first = FDocument.ParagraphAt(start), last = FDocument.ParagraphAt(end);
    // Typing on at the end of the last step's typing is part of that step.
    const bool typing = end == start && inserted > 0 && text.find_first_of("\r\n") == std::string_view::npos;
    if (!(typing && !FUndo.empty() && FUndo.back().TypedTo == start && FUndo.back().First == first &&
          FUndo.back().Count == 1))
        Remember(first, last, start, end - start);
    FUndo.back().TypedTo = typing ? start + inserted : -1;
    FRedo.clear();
    FDocument.Replace(start, end, text);
    if (FHasCaretFormat && start == FCaretFormatAt && inserted > 0)
        FDocument.SetCharFormat(start, start + inserted, FCaretFormat, FCaretMask);
    FHasCaretFormat = false;
    FFollowed = now;
    FUndo.back().Count = FDocument.ParagraphAt(start + inserted) - first + 1;
    ParagraphsChanged(first, last - first + 1, FUndo.back().Count);
}

void TCustomRichEdit::Remember(int First, int Last, int SelStart, int SelLength) {
    TUndoStep step;
    step.First = First;
    step.Count = Last - First + 1;
    step.Paragraphs.assign(FDocument.Paragraphs().begin() + First, FDocument.Paragraphs().begin() + Last + 1);
    step.SelStart = SelStart;
    step.SelLength = SelLength;
    // A long session keeps its last hundred steps.
    if (FUndo.size() >= 100) FUndo.erase(FUndo.begin());
    FUndo.push_back(std::move(step));
    FRedo.clear();
}

void TCustomRichEdit::ParagraphsChanged(int First, int Removed, int Added) {
    FView->Replaced(First, Removed, Added);
    Invalidate();
}

bool TCustomRichEdit::Step(std::vector<TUndoStep>& From, std::vector<TUndoStep>& To) {
    Follow();
    if (From.empty() || !HandleAllocated() || (GetWindowLong(Handle(), GWL_STYLE) & ES_READONLY))
        return false;
    TUndoStep step = std::move(From.back());
    From.pop_back();
    TUndoStep back;
    back.First = step.First;
    back.Count = static_cast<int>(step.Paragraphs.size());
    back.SelStart = SelStart();
    back.SelLength = SelLength();
    back.Paragraphs = FDocument.ReplaceParagraphs(step.First, step.Count, std::move(step.Paragraphs));
    ParagraphsChanged(step.First, step.Count, back.Count);
    To.push_back(std::move(back));
    FHasCaretFormat = false;
    FFollowed = FDocument.Text();
    SetText(FFollowed);
    SetSelStart(step.SelStart);
    SetSelLength(step.SelLength);
    SetModified(true);
    return true;
}

bool TCustomRichEdit::CanRedo() const {
    return HandleAllocated() && const_cast<TCustomRichEdit*>(this)->Perform(EM_CANREDO) != 0;
}

void TCustomRichEdit::Redo() {
    if (HandleAllocated()) Perform(EM_REDO);
}

void TCustomRichEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case EM_CANUNDO:
        Follow();
        Message.Result = FUndo.empty() ? 0 : 1;
        return;
    case EM_CANREDO:
        Follow();
        Message.Result = FRedo.empty() ? 0 : 1;
        return;
    case WM_UNDO:
    case EM_UNDO: Message.Result = Step(FUndo, FRedo) ? 1 : 0; return;
    case EM_REDO: Message.Result = Step(FRedo, FUndo) ? 1 : 0; return;
    case EM_EMPTYUNDOBUFFER:
        FUndo.clear();
        FRedo.clear();
        break;
    default: break;
    }
    TCustomMemo::WndProc(Message);
}

void TCustomRichEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomMemo::KeyDown(Key, Shift);
    if (Key == 'Y' && Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        Redo();
        Key = 0;
    }
}

const TRichDocument& TCustomRichEdit::Document() const {
    const_cast<TCustomRichEdit*>(this)->Follow();
    return FDocument;
}

void TCustomRichEdit::SetDocument(const TRichDocument& Value) {
    FDocument = Value;
    FUndo.clear();
    FRedo.clear();
    FView->Reset();
    FHasCaretFormat = false;
    FFollowed = FDocument.Text();
    SetText(FFollowed);
}

void TCustomRichEdit::Change() {
    // The window's view has followed the text already, before it told the change.
    if (!HandleAllocated()) Follow();
    TCustomMemo::Change();
}

TRichCharFormat TCustomRichEdit::SelCharFormat(uint32_t* Mask) const {
    const TRichDocument& d = Document();
    const int start = SelStart(), length = SelLength();
    if (length == 0 && FHasCaretFormat && FCaretFormatAt == start) {
        TRichCharFormat f = d.CharFormat(start, start);
        f.Apply(FCaretFormat, FCaretMask);
        if (Mask) *Mask = cmAllChar;
        return f;
    }
    return d.CharFormat(start, start + length, Mask);
}

void TCustomRichEdit::SetSelCharFormat(const TRichCharFormat& Format, uint32_t Mask) {
    Follow();
    const int start = SelStart(), length = SelLength();
    if (length == 0) {
        // Typing at the caret takes it; so does an empty paragraph.
        if (!FHasCaretFormat || FCaretFormatAt != start) {
            FCaretFormat = FDocument.CharFormat(start, start);
            FCaretMask = 0;
        }
        FCaretFormat.Apply(Format, Mask);
        FCaretMask |= Mask;
        FCaretFormatAt = start;
        FHasCaretFormat = true;
        const int p = FDocument.ParagraphAt(start);
        FDocument.SetCharFormat(start, start, Format, Mask);
        ParagraphsChanged(p, 1, 1);
        return;
    }
    const int first = FDocument.ParagraphAt(start), last = FDocument.ParagraphAt(start + length);
    Remember(first, last, start, length);
    FDocument.SetCharFormat(start, start + length, Format, Mask);
    ParagraphsChanged(first, last - first + 1, last - first + 1);
}

TRichParaFormat TCustomRichEdit::SelParaFormat(uint32_t* Mask) const {
    const int start = SelStart();
    return Document().ParaFormat(start, start + SelLength(), Mask);
}

void TCustomRichEdit::SetSelParaFormat(const TRichParaFormat& Format, uint32_t Mask) {
    Follow();
    const int start = SelStart(), length = SelLength();
    const int first = FDocument.ParagraphAt(start), last = FDocument.ParagraphAt(start + length);
    Remember(first, last, start, length);
    FDocument.SetParaFormat(start, start + length, Format, Mask);
    ParagraphsChanged(first, last - first + 1, last - first + 1);
}

bool TCustomRichEdit::StreamIn(const TRichStreamIn& In, bool Rich, bool SelectionOnly) {
    Follow();
    AnsiString bytes;
    try {
        std::vector<char> block(static_cast<size_t>(RichStreamBlockSize));
        for (;;) {
            int got = In(block.data(), RichStreamBlockSize);
            if (got <= 0) break;
            bytes.append(block.data(), static_cast<size_t>(std::min(got, RichStreamBlockSize)));
        }
    } catch (...) {
        return false;
    }
    if (Rich && !IsRichText(bytes)) return false;
    TRichDocument read;
    if (Rich) {
        read = ReadRtf(bytes, DefaultCharFormat());
    } else {
        read.SetDefaultFormat(DefaultCharFormat());
        read.SetPlainText(bytes);
    }
    if (!SelectionOnly) {
        SetDocument(read);
        return true;
    }
    const int start = SelStart(), length = SelLength();
    TRichDocument merged = FDocument;
    merged.ReplaceWith(start, start + length, read);
    SetDocument(merged);
    SetSelStart(start + read.Length());
    return true;
}

bool TCustomRichEdit::StreamOut(const TRichStreamOut& Out, bool Rich, bool SelectionOnly) const {
    const TRichDocument& d = Document();
    if (!SelectionOnly) return StreamOutDocument(d, Rich, Out);
    const int start = SelStart();
    return StreamOutDocument(d.Range(start, start + SelLength()), Rich, Out);
}

namespace {
bool IsWordChar(char C) { return IsCharAlphaNumeric(C) || C == '_'; }
}  // namespace

int TCustomRichEdit::FindText(const AnsiString& What, int Start, int End, uint8_t Options) const {
    const AnsiString text = Text();
    if (What.empty()) return -1;
    End = std::min(End < 0 ? static_cast<int>(text.size()) : End, static_cast<int>(text.size()));
    const bool matchCase = Options & stMatchCase;
    const AnsiString needle = matchCase ? What : AnsiUpperCase(What);
    const AnsiString hay = matchCase ? text : AnsiUpperCase(text);
    for (int at = std::max(Start, 0); at + static_cast<int>(needle.size()) <= End; ++at) {
        size_t found = hay.find(needle, static_cast<size_t>(at));
        if (found == AnsiString::npos || static_cast<int>(found + needle.size()) > End) return -1;
        at = static_cast<int>(found);
        if (Options & stWholeWord) {
            bool before = at > 0 && IsWordChar(text[static_cast<size_t>(at) - 1]);
            size_t after = found + needle.size();
            if (before || (after < text.size() && IsWordChar(text[after]))) continue;
        }
        return at;
    }
    return -1;
}

// A rich edit shows what a memo shows: a form sets its colour, its font,
// whether it may be typed into and reached by Tab, and its lines.
void TRichEdit::DescribeProperties(TPropertyTable& T) {
    PublishEditProperties(T);
    using M = TCustomMemo;
    T.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(false);
    T.Property("Alignment", &M::Alignment, &M::SetAlignment).Default(taLeftJustify);
    T.Property("Lines", &TRichEdit::Lines, &TRichEdit::SetLines);
    T.Property("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).Default(false);
    T.Property("ScrollBars", &M::ScrollBars, &M::SetScrollBars).Default(ssNone);
    T.Property("WantReturns", &M::WantReturns, &M::SetWantReturns).Default(true);
    T.Property("WantTabs", &M::WantTabs, &M::SetWantTabs).Default(false);
    T.Property("WordWrap", &M::WordWrap, &M::SetWordWrap).Default(true);
}
