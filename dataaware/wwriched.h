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
    // One read block of a preview: the first 4,096 bytes of the blob.
    static constexpr int PreviewBlockSize = 4096;

    explicit TwwDBRichEdit(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);

    // The whole blob, rich text unless PlainText.
    void LoadFromBlobField(TField* Field);
    // Only the beginning of the blob: BlockLimit read blocks counted as the
    // rich edit's reader counts them (2 reads one block). The rich text is
    // closed at the first group after the first "\pard" of the last block,
    // so that the cut text still parses.
    void LoadFieldPreview(TField* Field, int BlockLimit);

    TRichEditProtectChange OnProtectChange;
};

// The text of a preview read: Blocks blocks of Bytes, line ends made CR LF
// and the rich text closed after the first "\pard" of the last block.
AnsiString RichTextPreview(const AnsiString& Bytes, int BlockLimit);
