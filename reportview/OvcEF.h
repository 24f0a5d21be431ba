#pragma once
// The base of the library's masked entry fields: a window that keeps its own
// edit text (at most 255 characters), accepts characters by a picture mask,
// holds one value of a fixed data type between two bounds, and validates and
// reports through its form's controller. Keys become commands through the
// controller's entry command tables; the concrete field kinds carry the
// commands out (efEdit), validate (efValidateField), step their value
// (efIncDecValue) and move it in and out (efTransfer).
#include <array>
#include <cstdint>
#include <memory>

#include "platform/ui/Menus.h"
#include "reportview/OvcBase.h"
#include "reportview/OvcBordr.h"
#include "reportview/OvcCaret.h"
#include "reportview/OvcColor.h"
#include "reportview/OvcIntl.h"
#include "reportview/OvcMisc.h"
#include "reportview/OvcUser.h"

class TVariant;

enum TOvcEntryFieldOption : uint8_t {
    efoArrowIncDec,
    efoCaretToEnd,
    efoForceInsert,
    efoForceOvertype,
    efoInputRequired,
    efoPasswordMode,
    efoReadOnly,
    efoRightAlign,
    efoRightJustify,
    efoSoftValidation,
    efoStripLiterals,
    efoTrimBlanks
};
ZELMOR_DECLARE_ENUM(TOvcEntryFieldOption);
using TOvcEntryFieldOptions = TSet<TOvcEntryFieldOption>;

enum TsefOption : uint8_t {
    sefValPending,
    sefInvalid,
    sefNoHighlight,
    sefIgnoreFocus,
    sefValidating,
    sefModified,
    sefEverModified,
    sefFixSemiLits,
    sefHexadecimal,
    sefOctal,
    sefBinary,
    sefNumeric,
    sefRealVar,
    sefNoLiterals,
    sefHaveFocus,
    sefRetainPos,
    sefErrorPending,
    sefInsert,
    sefLiteral,
    sefAcceptChar,
    sefCharOK,
    sefUpdating,
    sefGettingValue,
    sefUserValidating,
    sefNoUserValidate
};
using TsefOptions = TSet<TsefOption>;
inline const TsefOptions sefDefOptions{sefInsert, sefCharOK};

enum TZeroDisplay : uint8_t { zdShow, zdHide, zdHideUntilModified };
ZELMOR_DECLARE_ENUM(TZeroDisplay);

// Field classes and data sub-types (the data type is class x 64 + sub-type).
enum : uint8_t { fcSimple = 0, fcPicture = 1, fcNumeric = 2 };
enum TOvcFieldSubType : uint8_t {
    fsubString,
    fsubChar,
    fsubBoolean,
    fsubYesNo,
    fsubLongInt,
    fsubWord,
    fsubInteger,  // "SmallInt"
    fsubByte,
    fsubShortInt,
    fsubReal,
    fsubExtended,
    fsubDouble,
    fsubSingle,
    fsubComp,
    fsubDate,
    fsubTime
};

// Internal commands of the field beside those of the command tables.
enum : uint16_t { ccChar = 249, ccMouse = 250, ccMouseMove = 251, ccDblClk = 253 };

// Error codes of the fields; 32768 and up are the user's.
enum : uint16_t {
    oeRangeError = 256,
    oeInvalidNumber = 257,
    oeRequiredField = 258,
    oeInvalidDate = 259,
    oeInvalidTime = 260,
    oeBlanksInField = 261,
    oePartialEntry = 262,
    oeCustomError = 32768
};

// One bound in the field's internal form: "Char" in the first byte; the
// integers, "Date" and "Time" as a 32-bit integer; "Real" as an 8-byte
// float; the other floats and "Comp" as a 10-byte extended number.
struct TRangeType {
    std::array<uint8_t, 10> Bytes{};
    bool operator==(const TRangeType&) const = default;
};
inline const TRangeType BlankRange{};

// Picture characters: those a mask may use, and those of a simple field.
extern const TCharSet PictureChars;
extern const TCharSet SimplePictureChars;
extern const TCharSet IntegerCharSet;
extern const TCharSet RealCharSet;

class TOvcEfColors : public TPersistent {
    ZELMOR_CLASS(TOvcEfColors, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TOvcEfColors();
    TOvcColors* Disabled() const { return FDisabled.get(); }
    void SetDisabled(TOvcColors* Value) { FDisabled->Assign(Value); }
    TOvcColors* Error() const { return FError.get(); }
    void SetError(TOvcColors* Value) { FError->Assign(Value); }
    TOvcColors* Highlight() const { return FHighlight.get(); }
    void SetHighlight(TOvcColors* Value) { FHighlight->Assign(Value); }
    void Assign(TPersistent* Source) override;
    // Each colour set's change comes here.
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TOvcColors> FDisabled, FError, FHighlight;
};

using TValidationErrorEvent = TEvent<void(TObject* Sender, uint16_t ErrorCode, const AnsiString& ErrorMsg)>;
using TUserCommandEvent = TEvent<void(TObject* Sender, uint16_t Command)>;
using TUserValidationEvent = TEvent<void(TObject* Sender, uint16_t& ErrorCode)>;

class TOvcBaseEntryField : public TOvcCustomControlEx, public IOvcEntryField {
    ZELMOR_CLASS(TOvcBaseEntryField, TOvcCustomControlEx)
public:
    static constexpr size_t MaxEditLen = 255;

    explicit TOvcBaseEntryField(TComponent* AOwner);
    ~TOvcBaseEntryField() override;

    // --- IOvcEntryField ---
    TWinControl* EntryControl() override { return this; }
    uint16_t ValidateContents() override { return ValidateContents(true); }
    uint16_t LastError() const override { return FLastError; }
    void SetUninitialized(bool Value) override;

    // --- properties ---
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TOvcBorders* Borders() const { return FBorders.get(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TColor CtrlColor() const { return FCtrlColor; }
    void SetCtrlColor(TColor Value);
    uint8_t DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(uint8_t Value);
    TOvcEfColors* EFColors() const { return FEFColors.get(); }
    TOvcIntlSup* IntlSupport() const { return FIntlSup; }
    void SetIntlSupport(TOvcIntlSup* Value);  // nullptr: the library's
    uint16_t MaxLength() const { return FMaxLength; }
    void SetMaxLength(uint16_t Value);
    TOvcEntryFieldOptions Options() const { return FOptions; }
    void SetOptions(TOvcEntryFieldOptions Value);
    char PadChar() const { return FPadChar; }
    void SetPadChar(char Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);
    bool Uninitialized() const { return FUninitialized; }
    TOvcUserData* UserData() const { return FUserData; }
    void SetUserData(TOvcUserData* Value);  // nullptr: the library's
    TZeroDisplay ZeroDisplay() const { return FZeroDisplay; }
    void SetZeroDisplay(TZeroDisplay Value);
    double ZeroDisplayValue() const { return FZeroDisplayValue; }
    void SetZeroDisplayValue(double Value);
    int32_t GetEpoch();
    void SetEpoch(int32_t Value);  // 0 or 1600..3999

    uint8_t DataType() const { return FDataType; }
    uint8_t FieldClass() const { return FDataType / 64; }
    uint8_t SubType() const { return FDataType % 64; }
    // For the field kinds: the class and sub-type of their value.
    void SetDataType(uint8_t FieldClass, uint8_t SubType);
    const AnsiString& PictureMask() const { return FPictureMask; }
    TsefOptions State() const { return FState; }
    TOvcCaretPair* CaretPair() const { return FCaret.get(); }
    int TopMargin() const { return FTopMargin; }
    int HOffset() const { return FHOffset; }

    // --- values ---
    uint16_t GetDataSize();
    // 0, or the code of a failed validation (Data untouched then).
    uint16_t GetValue(void* Data);
    void SetValue(const void* Data);
    bool GetAsBoolean();
    int32_t GetAsInteger();
    long double GetAsExtended();
    double GetAsFloat();
    int64_t GetAsCents();
    TDateTime GetAsDateTime();
    Ovcdate::TStDate GetAsStDate();
    Ovcdate::TStTime GetAsStTime();
    AnsiString GetAsString();
    void SetAsBoolean(bool Value);
    void SetAsInteger(int32_t Value);
    void SetAsFloat(double Value);
    void SetAsExtended(long double Value);
    void SetAsCents(int64_t Value);
    void SetAsDateTime(TDateTime Value);
    void SetAsStDate(Ovcdate::TStDate Value);
    void SetAsStTime(Ovcdate::TStTime Value);
    virtual void SetAsString(const AnsiString& Value);
    // A variant by the field's sub-type; one of a kind the field does not
    // take goes in as its text, and Null, Unassigned or an array change
    // nothing.
    TVariant GetAsVariant();
    void SetAsVariant(const TVariant& Value);
    void SetInitialValue();

    // --- bounds ---
    // A bound given in the field's own type (the bytes of an int32, a double,
    // an int64 for "Comp" ...).
    void SetRangeLo(const void* Value);
    void SetRangeHi(const void* Value);
    const TRangeType& RangeLo() const { return FRangeLo; }
    const TRangeType& RangeHi() const { return FRangeHi; }
    AnsiString GetRangeLoStr();
    AnsiString GetRangeHiStr();
    // EInvalidRangeValue for text that does not parse (ignored while loading).
    void SetRangeLoStr(const AnsiString& Value);
    void SetRangeHiStr(const AnsiString& Value);

    // --- text, caret and selection ---
    const AnsiString& GetEditString() const { return FEditString; }
    virtual AnsiString GetStrippedEditString() { return FEditString; }
    virtual void MergeWithPicture(const AnsiString& S);
    AnsiString GetDisplayString() { return efGetDisplayString(); }
    bool FieldIsEmpty();
    bool IsValid() const { return !FState.Contains(sefInvalid); }
    bool GetModified() const { return FState.Contains(sefModified); }
    void SetModified(bool Value);
    bool GetEverModified() const { return FState.Contains(sefModified) || FState.Contains(sefEverModified); }
    void SetEverModified(bool Value);
    bool GetInsertMode() const;
    void SetInsertMode(bool Value);

    void ProcessCommand(uint16_t Command, char Ch);
    void MoveCaret(int Delta);
    void MoveCaretToEnd() { efCaretToEnd(); }
    void MoveCaretToStart() { efCaretToStart(); }
    void ResetCaret() { efResetCaret(); }
    int GetCurrentPos() const { return FState.Contains(sefHaveFocus) ? FCurrentPos : -1; }
    int CaretIndex() const { return FCurrentPos; }
    void SetSelection(int Start, int End);
    void SelectAll();
    void Deselect() { SetSelection(0, 0); }
    int GetSelStart() const { return FSelStart; }
    void SetSelStart(int Value) { SetSelection(Value, Value); }
    int GetSelLength() const { return FSelEnd - FSelStart; }
    void SetSelLength(int Value) { SetSelection(FSelStart, FSelStart + Value); }
    AnsiString GetSelText() const;
    void SetSelText(const AnsiString& Value);
    void ClearContents();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Restore();
    void IncreaseValue(bool Wrap, double Delta);
    void DecreaseValue(bool Wrap, double Delta);
    uint16_t ValidateContents(bool ReportError);
    bool ValidateSelf();
    bool efCanClose(bool DoValidation);

    // The menu the right button shows when no popup menu is assigned.
    std::unique_ptr<TPopupMenu> efBuildEditMenu();

    // Where the caret of the focused field stands, by the drawing formula.
    TPoint CaretPoint() const { return FCaretPoint; }

    TNotifyEvent OnChange;
    TValidationErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TUserCommandEvent OnUserCommand;
    TUserValidationEvent OnUserValidation;

    static AnsiString ErrorText(uint16_t Code, TOvcController* Controller);

protected:
    // --- what the field kinds supply ---
    virtual void efEdit(TMessage& Msg, uint16_t Command) = 0;
    virtual uint16_t efValidateField() = 0;
    virtual void efIncDecValue(bool Wrap, double Delta) = 0;
    // 0: the data size; 1: the value out to Data; 2: in from Data.
    virtual uint16_t efTransfer(void* Data, uint16_t TransferFlag);

    virtual int efEditBegin() { return 0; }
    virtual bool efFieldIsEmpty();
    virtual AnsiString efGetDisplayString();
    virtual bool efIsReadOnly() const { return FOptions.Contains(efoReadOnly); }
    virtual void efRemoveBadOptions();
    virtual void efResetCaret();
    virtual void efCaretToEnd();
    virtual void efCaretToStart();
    virtual void efSetCaretPos(int Value);
    virtual void DoOnChange();
    virtual void DoOnError(uint16_t ErrorCode, const AnsiString& ErrorMsg);
    virtual void DoOnUserCommand(uint16_t Command);
    virtual void DoOnUserValidation(uint16_t& ErrorCode);

    // Whether picture character PicChar takes Ch (its case fixed first when asked).
    bool efCharOK(char PicChar, char& Ch, char PrevCh, bool FixCase);
    void efFixCase(char PicChar, char& Ch, char PrevCh);
    char efNthMaskChar(int N) const;
    void efChangeMask(const AnsiString& Mask);
    void efPerformEdit(TMessage& Msg, uint16_t Command);
    void efPerformRepaint(bool Modified);
    void efFieldModified();
    void efConditionalBeep();
    void efCopyPrim();
    bool efPositionCaret(bool Adjust);
    int efGetMousePos(int X);
    void efSaveEditString();
    void efAdjustSize();
    int efCalcTopMargin();
    bool efIsSibling(HWND Wnd);
    void efMoveFocus(TWinControl* Control);
    void efMoveFocusToNextField();
    void efMoveFocusToPrevField();
    bool efStRangeToRange(const AnsiString& Value, TRangeType& R);
    bool efStr2Long(AnsiString S, int32_t& L);
    AnsiString efRangeToStRange(const TRangeType& R);
    int efTextWidth(const AnsiString& S);

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void DefineProperties(TFiler* Filer) override;
    void WndProc(TMessage& Message) override;

    // The edit state the field kinds work on.
    AnsiString FEditString;
    AnsiString FPictureMask = "X";
    int FCurrentPos = 0;
    int FSelStart = 0, FSelEnd = 0;
    int FHOffset = 0;
    TsefOptions FState;
    TRangeType FRangeLo, FRangeHi;
    uint16_t FLastError = 0;

private:
    void SetRange(TRangeType& R, const void* Value);
    void SetRangeStr(TRangeType& R, const AnsiString& Value);
    void CheckSubTypes(std::initializer_list<uint8_t> SubTypes);
    void efPaintPrim(TCanvas* C);
    void efPaintBorders();
    void BordersChanged(TObject* Sender);
    void OnSetFocus(TMessage& Message);
    void OnKillFocus(TMessage& Message);
    void OnKeyDown(TMessage& Message, bool Sys);
    void OnReportError(uint16_t Code);
    void OnCopy();
    void OnCut(bool Copy);
    void OnPaste(const char* Text);
    void OnSetSel(TMessage& Message);
    void ShowEditMenu(TPoint At);

    bool FAutoSize = true;
    std::unique_ptr<TOvcBorders> FBorders;
    TBorderStyle FBorderStyle = bsSingle;
    TColor FCtrlColor = TColor(255);
    uint8_t FDecimalPlaces = 0;
    std::unique_ptr<TOvcEfColors> FEFColors;
    int32_t FEpoch = 0;
    TOvcIntlSup* FIntlSup;
    uint16_t FMaxLength = 15;
    TOvcEntryFieldOptions FOptions{efoCaretToEnd, efoTrimBlanks};
    char FPadChar = ' ';
    char FPasswordChar = '*';
    int FTextMargin = 2;
    bool FUninitialized = false;
    TOvcUserData* FUserData;
    TZeroDisplay FZeroDisplay = zdShow;
    double FZeroDisplayValue = 0;
    std::unique_ptr<TOvcCaretPair> FCaret;
    uint16_t FDataSize = 0;
    uint8_t FDataType = 0;
    bool FRightAlignedNow = false;
    std::unique_ptr<AnsiString> FSavedEditString;
    int FTopMargin = 0;
    TPoint FCaretPoint;
};

// A bound's bytes as a value, for the field kinds and the form data.
int32_t RangeAsLong(const TRangeType& R);
long double RangeAsExtended(const TRangeType& R);
double RangeAsReal(const TRangeType& R);
void LongToRange(int32_t Value, TRangeType& R);
void ExtendedToRange(long double Value, TRangeType& R);
void RealToRange(double Value, TRangeType& R);
