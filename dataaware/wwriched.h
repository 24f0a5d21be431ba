#pragma once
// The data-aware rich edit, as far as the grid needs it so far: the grid
// keeps one hidden instance to turn the rich-text blobs of its cells into the
// plain text the cells show. It loads a blob whole or only its first block,
// takes plain text through Lines and gives the text back through Text.
#include "platform/ui/RichEdit.h"

class TField;

using TRichEditProtectChange = TEvent<void(TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;

class TwwDBRichEdit : public TCustomRichEdit {
    ZELMOR_CLASS(TwwDBRichEdit, TCustomRichEdit)
public:
    // One read block of a preview: 4,096 bytes of the blob.
    static constexpr int PreviewBlockSize = 4096;

    explicit TwwDBRichEdit(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);

    // The whole blob, rich text unless PlainText.
    void LoadFromBlobField(TField* Field);
    // Only the beginning of the blob: BlockLimit read blocks counted as the
    // rich edit's reader counts them, two steps a block (2 reads one whole
    // block). An odd limit closes the rich text at the first group after the
    // first "\pard" of the last block read; an even one leaves the text
    // open, which the rich-text reader takes as ended there.
    void LoadFieldPreview(TField* Field, int BlockLimit);

    TRichEditProtectChange OnProtectChange;
};

// The text of a preview read of Bytes with that block limit (0: no limit),
// line ends made CR LF.
AnsiString RichTextPreview(const AnsiString& Bytes, int BlockLimit);
