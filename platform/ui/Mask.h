#pragma once
// Edit masks and the masked edit.
//
// A mask is up to three fields separated by ";": the characters, whether the
// literals are kept in the text ("0": no, "1" or missing: yes), and the
// character that shows an empty position (missing: "_"). The characters:
//   L l  a letter (required / optional)      A a  a letter or digit
//   C c  any character                       0 9  a digit
//   #    a digit, "+" or "-" (optional)       :  /  the time and date separators
//   >    upper case from here on              <    lower case; "<>" neither
//   !    the text fills the mask from the right (optional positions lead)
//   \    the next character is a literal      _    a blank literal
// Anything else is a literal.
//
// TEditMask is the mask as rules, with no window; TCustomMaskEdit types
// through it.
#include <string_view>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/StdCtrls.h"

// A masked text that is not complete where it is left ("Invalid input value ...").
ZELMOR_EXCEPTION(EDBEditError, Exception);

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(std::string_view Mask);

    bool Empty() const { return FPositions.empty(); }
    // The length of the edit text: one character per position.
    int Length() const { return static_cast<int>(FPositions.size()); }
    bool IsLiteral(int Pos) const;
    bool IsRequired(int Pos) const;
    char Literal(int Pos) const;
    // Whether C may stand at Pos, after changing C to the case Pos asks for.
    bool Accepts(int Pos, char& C) const;
    char Blank() const { return FBlank; }
    bool SaveLiterals() const { return FSave; }
    bool Reverse() const { return FReverse; }

    // The first input position at or after Pos (Length() when none), and the
    // last one before Pos (-1 when none).
    int NextInput(int Pos) const;
    int PrevInput(int Pos) const;

    // The literals with blanks between them: what an empty field shows.
    AnsiString EmptyText() const;
    // The input characters of Value (no literals) put into the mask, empty
    // positions shown as Blank; with "!" they fill it from the right.
    AnsiString Format(std::string_view Value, char Blank) const;
    // The input characters of an edit text: literals taken out, the unused
    // blanks at the end (at the start with "!") dropped, other blanks as spaces.
    AnsiString Strip(std::string_view EditText) const;
    // What the masked edit's Text gives for an edit text, and the edit text a
    // Text becomes (literals kept or not, as the mask says).
    AnsiString TextOf(std::string_view EditText) const;
    AnsiString EditTextOf(std::string_view Text) const;
    // An edit text of the mask's length from any text: literals put back in
    // place, characters that do not fit their position blanked.
    AnsiString Normalize(std::string_view EditText) const;
    // Whether every required position holds a character; BadPos is the first that does not.
    bool Validate(std::string_view EditText, int& BadPos) const;

private:
    enum TKind : uint8_t { kLiteral, kLetter, kAlnum, kAny, kDigit, kDigitSign };
    enum TCase : uint8_t { cNone, cUpper, cLower };
    struct TPosition {
        TKind Kind = kLiteral;
        bool Required = false;
        TCase Case = cNone;
        char Char = 0;  // the literal
    };
    std::vector<TPosition> FPositions;
    char FBlank = '_';
    bool FSave = true;
    bool FReverse = false;
};

// The class library's routine: Value put into the mask as the masked edit shows it.
AnsiString FormatMaskText(std::string_view EditMask, std::string_view Value);

enum TMaskStateFlag : uint8_t { msMasked, msReEnter, msDBSetText };
using TMaskState = TSet<TMaskStateFlag>;

// An edit that types through an edit mask: typing overwrites the position at
// the caret (shown as one selected character), skips literals, refuses what
// the position does not take; leaving it with a required position empty
// raises EDBEditError and keeps the focus. Without a mask it is a plain edit.
class TCustomMaskEdit : public TCustomEdit {
    ZELMOR_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    AnsiString EditMask() const { return FEditMask; }
    void SetEditMask(const AnsiString& Value);
    bool IsMasked() const { return !FMask.Empty(); }
    const TEditMask& Mask() const { return FMask; }
    // The text as shown: literals and blanks included.
    AnsiString EditText() const;
    void SetEditText(const AnsiString& Value);
    // The text as stored: as the mask's second field says (see TEditMask::TextOf).
    AnsiString Text() const { return GetText(); }
    void SetText(const AnsiString& Value);
    // Raises EDBEditError (after putting the caret on the first empty
    // required position and the focus back) when the text is modified and
    // incomplete.
    virtual void ValidateEdit();
    TMaskState MaskState() const { return FMaskState; }
    void SetMaskState(TMaskState Value) { FMaskState = Value; }

protected:
    AnsiString GetText() const override;
    void DestroyWnd() override;
    // Whether the user may change the text now (the grid and the data-aware
    // edits ask their data); the mask refuses keys when not.
    virtual bool EditCanModify();
    // Escape: puts back the text the edit had on entry.
    virtual void Reset();
    virtual void ValidateError();
    // Shows the caret position as one selected character again.
    void CheckCursor();
    void SetCursor(int Pos);
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    void WMLButtonDown(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    void GetSel(int& Start, int& Stop) const;
    void SetSel(int Start, int Stop);
    // Puts C at the input position at or after Pos; false when it does not fit.
    bool InputChar(char& C, int& Pos);
    void DeleteKeys(WORD Key);
    void ArrowKeys(WORD Key, TShiftState Shift);
    void HomeEndKeys(WORD Key, TShiftState Shift);
    void ReplaceEditText(const AnsiString& Value, int Caret);

    AnsiString FEditMask;
    TEditMask FMask;
    TMaskState FMaskState;
    AnsiString FOldValue;
    int FCaretPos = 0;
    bool FSettingCursor = false;
};

class TMaskEdit : public TCustomMaskEdit {
    ZELMOR_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};
