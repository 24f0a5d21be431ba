#pragma once
// The rich edit: a memo whose content is a document of formatted paragraphs
// (RichDocument.h). The typing, the caret and the selection are the memo's;
// the document follows every change of the text (typed text takes the
// format before it, or the one set for the caret), and the formats are set
// and asked for on the selection. Rich text (RTF) and plain text stream in
// and out, whole or over the selection, through a block callback; the lines
// load and save rich text unless PlainText is set.
//
// The window shows the document formatted (RichLayout.h), word-wrapped in
// its formatting rectangle (EM_SETRECT; the whole width of it, no margins),
// with the caret and the selection; each paragraph keeps its layout until
// it changes, so typing lays out again only the paragraph typed into.
// Undo and redo go back and forth over the edits, typing, formats and
// paragraph formats alike (EM_UNDO, EM_REDO, Ctrl+Z, Ctrl+Y).
#include <memory>
#include <vector>

#include "platform/ui/RichDocument.h"
#include "platform/ui/StdCtrls.h"

class TRichEditStrings;

// How a search runs: forward from the start; a whole word only has no
// letter, digit or underscore on either side.
enum TRichSearchOption : uint8_t { stWholeWord = 1, stMatchCase = 2 };

// The rich edit's own messages beside the edit's.
enum : UINT { EM_REDO = WM_USER + 84, EM_CANREDO = WM_USER + 85 };

class TRichEditView;

class TCustomRichEdit : public TCustomMemo {
    ZELMOR_CLASS(TCustomRichEdit, TCustomMemo)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    // The memo's lines; loading them from a stream reads rich text unless
    // PlainText is set (a stream that is no rich text loads as it is), and
    // saving writes rich text unless PlainText is set.
    TStrings* Lines() const;
    void SetLines(TStrings* Value);
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }

    const TRichDocument& Document() const;
    // The whole content anew: the text shows it, the caret at the start.
    void SetDocument(const TRichDocument& Value);

    // The selection's character format with the mask of what all of it
    // shares; with nothing selected, what typing at the caret takes.
    TRichCharFormat SelCharFormat(uint32_t* Mask = nullptr) const;
    void SetSelCharFormat(const TRichCharFormat& Format, uint32_t Mask);
    TRichParaFormat SelParaFormat(uint32_t* Mask = nullptr) const;
    void SetSelParaFormat(const TRichParaFormat& Format, uint32_t Mask);
    // The format text takes in an empty control: the control's font.
    TRichCharFormat DefaultCharFormat() const;

    // Reads what In gives until it ends, replacing the whole content or the
    // selection. Rich set: rich text is required, and a text that is not
    // rich text changes nothing and answers false; plain text otherwise. A
    // callback that throws answers false with nothing changed.
    bool StreamIn(const TRichStreamIn& In, bool Rich, bool SelectionOnly);
    // Writes the content or the selection as rich text or plain text.
    bool StreamOut(const TRichStreamOut& Out, bool Rich, bool SelectionOnly) const;

    // Where Text stands first in [Start, End) of the text, or -1.
    int FindText(const AnsiString& Text, int Start, int End, uint8_t Options) const;

    // The edits to go back over and forward again (the window's, so false without one).
    bool CanRedo() const;
    void Redo();

protected:
    void Change() override;
    void CMFontChanged(TMessage& Message) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    friend class TRichEditView;
    // A step back (or forward): the paragraphs to put in place of Count
    // paragraphs from First on, and the selection then.
    struct TUndoStep {
        int First = 0, Count = 0;
        std::vector<TRichParagraph> Paragraphs;
        int SelStart = 0, SelLength = 0;
        int TypedTo = -1;  // typing goes on here as part of this step
    };
    void Follow();
    void Follow(const AnsiString& Now);
    // Before the paragraphs [First, Last] change: a step back to them.
    void Remember(int First, int Last, int SelStart, int SelLength);
    void ParagraphsChanged(int First, int Removed, int Added);
    bool Step(std::vector<TUndoStep>& From, std::vector<TUndoStep>& To);
    std::unique_ptr<TRichEditView> FView;
    std::vector<TUndoStep> FUndo, FRedo;
    std::unique_ptr<TRichEditStrings> FRichLines;
    bool FPlainText = false;
    mutable TRichDocument FDocument;
    // The text the document was last brought in line with.
    mutable AnsiString FFollowed;
    // A format set on an empty selection: text typed there takes it.
    bool FHasCaretFormat = false;
    int FCaretFormatAt = 0;
    TRichCharFormat FCaretFormat;
    uint32_t FCaretMask = 0;
};

class TRichEdit : public TCustomRichEdit {
    ZELMOR_CLASS(TRichEdit, TCustomRichEdit)
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};
