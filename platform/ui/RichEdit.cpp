#include "platform/ui/RichEdit.h"

#include <algorithm>

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/RtfReader.h"
#include "platform/ui/RtfWriter.h"

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

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner), FRichLines(std::make_unique<TRichEditStrings>(this)) {
    FDocument.SetDefaultFormat(DefaultCharFormat());
}

TCustomRichEdit::~TCustomRichEdit() = default;

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
}

// The document follows the text: what changed is the stretch between the
// longest common start and end of the old and the new text (never splitting
// a line break), and the document replaces it the way typing does.
void TCustomRichEdit::Follow() {
    const AnsiString now = Text();
    if (now == FFollowed) return;
    const AnsiString& old = FFollowed;
    size_t head = 0, most = std::min(old.size(), now.size());
    while (head < most && old[head] == now[head]) ++head;
    if (head > 0 && old[head - 1] == '\r' && head < old.size() && old[head] == '\n') --head;
    size_t tail = 0;
    while (tail < most - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) ++tail;
    if (tail > 0 && old.size() - tail > 0 && old[old.size() - tail] == '\n' &&
        old[old.size() - tail - 1] == '\r')
        --tail;
    const int start = static_cast<int>(head);
    const int inserted = static_cast<int>(now.size() - tail - head);
    FDocument.Replace(start, static_cast<int>(old.size() - tail),
                      std::string_view(now).substr(head, now.size() - tail - head));
    if (FHasCaretFormat && start == FCaretFormatAt && inserted > 0)
        FDocument.SetCharFormat(start, start + inserted, FCaretFormat, FCaretMask);
    FHasCaretFormat = false;
    FFollowed = now;
}

const TRichDocument& TCustomRichEdit::Document() const {
    const_cast<TCustomRichEdit*>(this)->Follow();
    return FDocument;
}

void TCustomRichEdit::SetDocument(const TRichDocument& Value) {
    FDocument = Value;
    FHasCaretFormat = false;
    FFollowed = FDocument.Text();
    SetText(FFollowed);
}

void TCustomRichEdit::Change() {
    Follow();
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
        FDocument.SetCharFormat(start, start, Format, Mask);
        return;
    }
    FDocument.SetCharFormat(start, start + length, Format, Mask);
    Invalidate();
}

TRichParaFormat TCustomRichEdit::SelParaFormat(uint32_t* Mask) const {
    const int start = SelStart();
    return Document().ParaFormat(start, start + SelLength(), Mask);
}

void TCustomRichEdit::SetSelParaFormat(const TRichParaFormat& Format, uint32_t Mask) {
    Follow();
    const int start = SelStart();
    FDocument.SetParaFormat(start, start + SelLength(), Format, Mask);
    Invalidate();
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
