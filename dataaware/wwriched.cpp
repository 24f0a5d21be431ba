#include "dataaware/wwriched.h"

#include "platform/db/Fields.h"
#include "platform/rtl/Streams.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwDBRichEdit, TCustomRichEdit)

TwwDBRichEdit::TwwDBRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}

void TwwDBRichEdit::DescribeProperties(TPropertyTable& T) {
    T.Property("Lines", &TwwDBRichEdit::Lines, &TwwDBRichEdit::SetLines);
    T.Property("PlainText", &TwwDBRichEdit::PlainText, &TwwDBRichEdit::SetPlainText).Default(false);
}

void TwwDBRichEdit::LoadFromBlobField(TField* Field) {
    auto* Blob = dynamic_cast<TBlobField*>(Field);
    if (!Blob) return;
    TMemoryStream Stream;
    Blob->SaveToStream(Stream);
    Stream.SetPosition(0);
    Lines()->Clear();
    Lines()->LoadFromStream(Stream);
}

// The read counts as the rich edit's reader counts: one step when a block
// is read and one when it is handed over, so that an even limit reads
// limit / 2 whole blocks and an odd one cuts the last block it reads.
AnsiString RichTextPreview(const AnsiString& Bytes, int BlockLimit) {
    AnsiString Text;
    size_t At = 0;
    for (int Counter = 0; At < Bytes.size() && (BlockLimit <= 0 || Counter < BlockLimit);) {
        AnsiString Block = Bytes.substr(At, TwwDBRichEdit::PreviewBlockSize);
        At += Block.size();
        if (!Block.empty() && Block.back() == '\r') Block.pop_back();
        AnsiString Converted;
        for (size_t I = 0; I < Block.size(); ++I) {
            char C = Block[I];
            if (C == '\r') {
                Converted += "\r\n";
                if (I + 1 < Block.size() && Block[I + 1] == '\n') ++I;
            } else if (C == '\n') {
                Converted += "\r\n";
            } else {
                Converted += C;
            }
        }
        if (BlockLimit > 0 && ++Counter == BlockLimit) {
            size_t Pard = Converted.find("\\pard");
            if (Pard != AnsiString::npos) {
                size_t Brace = Converted.find('{', Pard);
                if (Brace != AnsiString::npos) Converted = Converted.substr(0, Brace) + "}";
            }
        }
        Text += Converted;
        if (BlockLimit > 0) ++Counter;
    }
    return Text;
}

void TwwDBRichEdit::LoadFieldPreview(TField* Field, int BlockLimit) {
    auto* Blob = dynamic_cast<TBlobField*>(Field);
    if (!Blob) return;
    TMemoryStream Whole;
    Blob->SaveToStream(Whole);
    AnsiString Bytes(static_cast<size_t>(Whole.Size()), '\0');
    Whole.SetPosition(0);
    Whole.Read(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    const AnsiString Preview = RichTextPreview(Bytes, BlockLimit);
    TMemoryStream Stream;
    Stream.Write(Preview.data(), static_cast<int64_t>(Preview.size()));
    Stream.SetPosition(0);
    Lines()->Clear();
    Lines()->LoadFromStream(Stream);
}
