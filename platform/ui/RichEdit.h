#pragma once
// The rich edit: a memo whose lines load from rich text. This is its
// plain-text face: loading keeps the text of the rich text (RtfReader.h) and
// shows it as the memo shows text, in the edit's font on its colour (also
// read-only, as the welcome text and the other read-only texts of the
// screens are); the formatting is not kept yet.
#include <memory>

#include "platform/ui/StdCtrls.h"

class TRichEditStrings;

class TCustomRichEdit : public TCustomMemo {
    ZELMOR_CLASS(TCustomRichEdit, TCustomMemo)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    // The memo's lines; loading them from a stream reads rich text unless
    // PlainText is set (a stream that is no rich text loads as it is).
    TStrings* Lines() const;
    void SetLines(TStrings* Value);
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }

private:
    std::unique_ptr<TRichEditStrings> FRichLines;
    bool FPlainText = false;
};

class TRichEdit : public TCustomRichEdit {
    ZELMOR_CLASS(TRichEdit, TCustomRichEdit)
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};
