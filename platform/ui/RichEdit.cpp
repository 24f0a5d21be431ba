#include "platform/ui/RichEdit.h"

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/RtfReader.h"

ZELMOR_IMPLEMENT_CLASS(TCustomRichEdit, TCustomMemo)
ZELMOR_IMPLEMENT_COMPONENT(TRichEdit, TCustomRichEdit)

// The memo's own lines, but for loading: rich text reads as its text.
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
        AnsiString bytes(static_cast<size_t>(Stream.Size() - Stream.Position()), '\0');
        bytes.resize(static_cast<size_t>(Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
        if (!FEdit->PlainText() && IsRichText(bytes)) Memo()->SetText(RtfToPlainText(bytes));
        else Memo()->SetText(bytes);
    }

private:
    TStrings* Memo() const { return FEdit->TCustomMemo::Lines(); }
    TCustomRichEdit* FEdit;
};

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner), FRichLines(std::make_unique<TRichEditStrings>(this)) {}

TCustomRichEdit::~TCustomRichEdit() = default;

TStrings* TCustomRichEdit::Lines() const { return FRichLines.get(); }

void TCustomRichEdit::SetLines(TStrings* Value) {
    if (Value != FRichLines.get()) FRichLines->Assign(Value);
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
