#pragma once
// Picture masks: a small pattern language that the PictureMasks lines, the
// edits' picture settings and the grid's cell editor check typed texts with.
//
//   #  a digit              ?  a letter (A-Z, a-z, any code above 128)
//   &  a letter, upper-cased  ~  a letter, lower-cased
//   !  any character, upper-cased   @  any character as typed
//   ;  the next mask character is a literal
//   *n an item n times; * alone: as often as it matches (also never)
//   [ ] an optional part   { } a group   , alternatives
//   anything else is a literal: it matches itself (letters without regard to
//   case) and the mask's own character is stored in the text.
//
// The first alternative that completes ends a match ("{##,###}" refuses
// "123"), and an optional part that matched is not given back ("[###-]###"
// refuses "555-1234").
#include <string>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Object.h"

// The answers of CheckPicture.
enum TwwPicResult : int { prComplete, prIncomplete, prEmpty, prError, prSyntax };

class TwwPictureValidator : public TObject {
public:
    TwwPictureValidator(const AnsiString& Mask, bool AutoFill);

    const AnsiString& Mask() const { return FMask; }
    // 0 for a well-formed mask, 1 for one that every check refuses with prSyntax.
    int Status() const { return FStatus; }
    bool AutoFill() const { return FAutoFill; }

    // True without a mask; otherwise false only when the text is wrong
    // (prError). The text comes back converted and, with auto-fill (unless
    // SuppressFill), completed.
    virtual bool IsValid(AnsiString& Text, bool SuppressFill);
    // True without a mask, or when the text (left as it is) is complete or empty.
    virtual bool IsValidInput(const AnsiString& Text);
    // Matches the text, converting its characters as the mask asks and, with
    // AutoFill, adding the literal characters the mask expects next.
    virtual TwwPicResult CheckPicture(AnsiString& Text, bool AutoFill);

private:
    AnsiString FMask;
    bool FAutoFill;
    int FStatus;
};

// Whether a mask is well formed: not empty, not ending in ";" (nor in "*"
// unless escaped), its brackets and braces balanced.
bool IsWellFormedPicture(const AnsiString& Mask);
