#pragma once
// The date-time editor (TwwDBCustomDateTimePicker, published as
// TwwDBDateTimePicker): a one-line edit for a date, a time or both, bound to
// a field or holding its own value, shown through a display format and
// edited one part of that format at a time (day, month, year, hour, minute,
// second, AM/PM), with a month calendar that drops down from its button.
//
// A part is one editable token of the display format. Which tokens are parts
// depends on the kind of value: date tokens (d, m, y) count for a date or a
// date-time, time tokens (h, n, s, AM/PM) for a time or a date-time. The
// routines below walk a format the way FormatDateTime shows it, so that part
// N's place in the shown text is known without parsing the text back.
//
// Format walking decisions:
// - a format is scanned to its very end: a one-letter token at the last
//   place ("d/m/y") is a part like any other;
// - quoted text ('de' or "de") is a literal shown without its quotes, as
//   FormatDateTime shows it, and its letters are no tokens;
// - a run of one or two y reads as "yy" (two digits), a longer run as "yyyy".
#include <cstdint>
#include <memory>

#include "dataaware/Wwdotdot.h"
#include "dataaware/wwcombobutton.h"
#include "dataaware/wwframe.h"
#include "dataaware/wwmonthcalendar.h"
#include "platform/classes/Alignment.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/MessageQueue.h"

// --- format tokens and parts ---

// Which tokens of a format are parts for an editor.
struct TwwDTPartKinds {
    bool Date = true;
    bool Time = true;
};

// One part of a format over a value.
struct TwwDTPart {
    int Start = 0;     // characters of the shown text before the part
    int Length = 0;    // characters of the part's own text
    AnsiString Token;  // "dd", "mmmm", "yyyy", "nn", "ampm", "am/pm", "a/p" ...
    AnsiString Text;   // the shown text up to and including the part
};

// Scans Text from the left and puts Replacement where Pattern stands
// (case-sensitive), without looking again at what it put.
AnsiString ReplaceAllText(const AnsiString& Text, const AnsiString& Pattern, const AnsiString& Replacement);
// The shorthand tokens replaced by the regional formats: "c" by the short
// date, a blank and the long time; "dddddd" the long date; "ddddd" the short
// date; "tt" the long time; "t" the short time.
AnsiString ExpandDateTimeFormat(const AnsiString& Format);
// The token that starts at Position (1-based), with Position left on its
// last character; written in Letter (lower case), repeated. An m token one
// separator after an h reads as minutes ("n", "nn"). For 'a': "a/p",
// "am/pm" or "ampm" as written, or empty with Position unchanged.
AnsiString ReadFormatToken(char Letter, const AnsiString& Format, int& Position);
bool FormatHasAmPm(const AnsiString& Format);
// True for an empty format, or one with h, n, s, t or c in it.
bool FormatHasTimePart(const AnsiString& Format);
// True for an empty format, or one with a day, year or month token after
// expansion.
bool FormatHasDatePart(const AnsiString& Format);
// Whether a token is a date part (d, m, y) or a time part (h, n, s, AM/PM).
bool IsDateToken(const AnsiString& Token);
bool IsTimeToken(const AnsiString& Token);
// The parts of an expanded format for the kinds.
int CountFormatParts(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds);
// Walks the expanded format over Value up to part N; false (Text empty)
// when the format has fewer parts.
bool LocateFormatPart(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds, int N, TDateTime Value,
                      TwwDTPart& Part);

// --- small calendar routines ---

// 28 to 31 (29 for February of a leap year). In the unit's namespace: the
// gradient panel's routines have a DaysInMonth of their own, year first.
namespace wwdbdatetimepicker {
int DaysInMonth(int Month, int Year);
}
// The whole day of A is at least that of B.
bool DayNotBefore(TDateTime A, TDateTime B);
// Count months on, the day cut to the new month, the time kept; false and
// Value unchanged when the year would leave 1..9999.
bool AddMonths(int Count, TDateTime Value, TDateTime& Result);
// A two-digit year in the hundred years that start at Epoch.
int ExpandTwoDigitYear(int YY, int Epoch);
// The characters that may start editing a date or time.
bool IsDateTimeEditChar(unsigned char Char);

// ---------------------------------------------------------------------------
// The editor
// ---------------------------------------------------------------------------
//
// Values: SetDateTime is the one place where the value changes. A value
// outside MinDate..MaxDate (whole days compared, at both ends) is refused
// with EDateTimeError and the editor keeps its old value and text; the Date
// setter compares whole days the same way, so a kept time of day never
// refuses the MaxDate day. A paste of such a value is dropped silently.
//
// The editor stands on the platform's edit window: focused, the window shows
// the text with the current part selected; unfocused (or painted into a grid
// cell) the editor paints the formatted text itself.
//
// Drop-down: each editor installs its own mouse hook while its calendar
// shows and removes that hook, and only that one, when the calendar closes
// or the editor is freed (as the library's other drop-downs do), so two
// editors never take each other's hook away.
//
// MinutesInterval is kept within 1..60: the minute steps divide by it.

class TDataSource;
class TField;
class TFieldDataLink;
class TControlCanvas;
class TwwDBCustomDateTimePicker;

enum TwwDTEditDataType : uint8_t { wwDTEdtDateTime, wwDTEdtDate, wwDTEdtTime };
ZELMOR_DECLARE_ENUM(TwwDTEditDataType);
enum TDTDateFormat : uint8_t { dfShort, dfLong };
ZELMOR_DECLARE_ENUM(TDTDateFormat);
enum TwwDTCalAlignment : uint8_t { wwdtaLeft, wwdtaRight, wwdtaCenter };
ZELMOR_DECLARE_ENUM(TwwDTCalAlignment);

class TwwCalendarOptions : public TPersistent {
    ZELMOR_CLASS(TwwCalendarOptions, TPersistent)
public:
    explicit TwwCalendarOptions(TWinControl* Owner);
    ~TwwCalendarOptions() override;
    static void DescribeProperties(TPropertyTable& T);
    TwwDTCalAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TwwDTCalAlignment Value) { FAlignment = Value; }
    TwwDateTimeColors* Colors() const { return FColors.get(); }
    void SetColors(TwwDateTimeColors* Value) { FColors->Assign(Value); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TwwMonthOptions Options() const { return FOptions; }
    void SetOptions(TwwMonthOptions Value) { FOptions = Value; }
    TwwPopupYearOptions* PopupYearOptions() const { return FYearOptions.get(); }
    void SetPopupYearOptions(TwwPopupYearOptions* Value) { FYearOptions->Assign(Value); }
    TwwCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TwwCalDayOfWeek Value) { FFirstDayOfWeek = Value; }
    // A size wish; 0 takes the size the calendar needs.
    int Width = 0, Height = 0;

private:
    TwwDTCalAlignment FAlignment = wwdtaLeft;
    std::unique_ptr<TwwDateTimeColors> FColors;
    std::unique_ptr<TFont> FFont;
    TwwMonthOptions FOptions{mdoDayState};
    std::unique_ptr<TwwPopupYearOptions> FYearOptions;
    TwwCalDayOfWeek FFirstDayOfWeek = wwdowLocaleDefault;
};

class TwwDTInterval : public TPersistent {
    ZELMOR_CLASS(TwwDTInterval, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    int MinutesInterval() const { return FMinutesInterval; }
    // Kept within 1..60.
    void SetMinutesInterval(int Value);
    bool RoundMinutes() const { return FRoundMinutes; }
    void SetRoundMinutes(bool Value) { FRoundMinutes = Value; }

private:
    int FMinutesInterval = 1;
    bool FRoundMinutes = false;
};

// The window at the editor's right edge that carries its button.
class TwwDateBtnWinControl : public TWinControl {
    ZELMOR_CLASS(TwwDateBtnWinControl, TWinControl)
public:
    explicit TwwDateBtnWinControl(TComponent* AOwner) : TWinControl(AOwner) {}
    TwwDBCustomDateTimePicker* Editor() const;

protected:
    void WMEraseBkgnd(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
};

class TwwDateComboButton : public TwwComboButton {
    ZELMOR_CLASS(TwwDateComboButton, TwwComboButton)
public:
    explicit TwwDateComboButton(TComponent* AOwner) : TwwComboButton(AOwner) {}
    TwwDBCustomDateTimePicker* Editor() const;

protected:
    void Paint() override;
};

class TwwDateComboButtonEffects : public TwwButtonEffects {
    ZELMOR_CLASS(TwwDateComboButtonEffects, TwwButtonEffects)
public:
    TwwDateComboButtonEffects(TwwDBCustomDateTimePicker* Control, TControl* Button);
    void Refresh() override;
};

// The drop-down calendar: a top-level tool window that never takes the focus
// and hands every change of its selection to its editor.
class TwwPopupCalendar : public TwwMonthCalendar {
    ZELMOR_CLASS(TwwPopupCalendar, TwwMonthCalendar)
public:
    explicit TwwPopupCalendar(TwwDBCustomDateTimePicker* Editor);
    TwwDBCustomDateTimePicker* Editor() const { return FEditor; }
    void FocusIfVisible() override {}

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DoChange() override;
    void WMLButtonUp(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

private:
    TwwDBCustomDateTimePicker* FEditor;
};

class TwwDBCustomDateTimePicker : public TCustomEdit {
    ZELMOR_CLASS(TwwDBCustomDateTimePicker, TCustomEdit)
    friend class TwwPopupCalendar;
    friend class TwwDateComboButton;
    friend class TwwDateBtnWinControl;

public:
    explicit TwwDBCustomDateTimePicker(TComponent* AOwner);
    ~TwwDBCustomDateTimePicker() override;

    // --- properties ---
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    TField* Field() const;
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    AnsiString DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const AnsiString& Value);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    TwwDTEditDataType UnboundDataType() const { return FUnboundDataType; }
    void SetUnboundDataType(TwwDTEditDataType Value);
    int Epoch() const { return FEpoch; }
    void SetEpoch(int Value) { FEpoch = Value; }
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime Date();
    void SetDate(TDateTime Value);
    TDateTime Time();
    void SetTime(TDateTime Value);
    TDateTime DateTime() const { return FDateTime; }
    bool AutoFillDateAndTime() const { return FAutoFillDateAndTime; }
    void SetAutoFillDateAndTime(bool Value) { FAutoFillDateAndTime = Value; }
    TwwCalendarOptions* CalendarAttributes() const { return FCalendarAttributes.get(); }
    void SetCalendarAttributes(TwwCalendarOptions* Value);
    TwwDTInterval* Interval() const { return FInterval.get(); }
    void SetInterval(TwwDTInterval* Value);
    TwwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TwwEditFrame* Value) { FFrame->Assign(Value); }
    TwwDateComboButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    void SetButtonEffects(TwwDateComboButtonEffects* Value) { FButtonEffects->Assign(Value); }
    TwwComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TwwComboButtonStyle Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    TBitmap* ButtonGlyph() const;
    void SetButtonGlyph(TBitmap* Value);
    bool ShowButton() const { return FShowButton; }
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value) { FDisableThemes = Value; }
    TComponent* Controller() const { return FController; }
    void SetController(TComponent* Value);

    // --- state the keyboard and the tests read ---
    int CurrentPart() const { return FCurrentPart; }
    bool DigitsPending() const { return FDigitsPending; }
    TDateTime PendingValue() const { return FPendingValue; }
    bool IsBlank() const { return FIsBlank; }
    bool IsFocused() const { return FIsFocused; }
    TwwPopupCalendar* Calendar() const { return FCalendar; }
    TwwDateBtnWinControl* ButtonHolder() const { return FButtonHolder; }
    TwwDateComboButton* Button() const { return FButton; }
    HHOOK MouseHook() const { return FMouseHook; }
    // The registered message on which an editor without the focus frees its calendar.
    static UINT DestroyCalendarMessage();

    // --- kind and format ---
    bool IsDateKind() const;
    bool IsDateTimeKind() const;
    bool EditsTimeOnly() const;
    bool EditsDateOnly() const;
    AnsiString GetEffectiveFormat(bool WithDefault) const;
    AnsiString GetExpandedFormat() const;
    int CountParts() const;
    bool LocatePart(int N, TDateTime Value, TwwDTPart& Part) const;
    bool UsesGeneralFormat() const;
    int GetLastPart() const;
    bool IsTextComplete() const;
    TDateTime GetUpperBound() const;
    TDateTime GetLowerBound() const;
    int AdjustHourForAmPm(int CurrentHour, int Typed) const;
    bool DecadeReachesMinDate(int TensDigit) const;
    void GetWeekStart(int& First, int& Last) const;

    // --- value and text ---
    void SetDateTime(TDateTime Value);
    AnsiString FormatValue(TDateTime Value) const;
    AnsiString GetDisplayText(TDateTime Value) const;
    void RefreshText();
    void SetFromParts(int Year, int Month, int Day, int Hour, int Minute, int Second, int MSec);
    void CommitPendingDigits();
    void SelectCurrentPart();
    void SetModifiedState(bool State);
    bool CanEditValue() const;
    void RevertValue();
    void PostToField();

    // --- virtual operations, in the order of their slots ---
    virtual bool IsButtonGlyphStored() { return FButtonStyle == cbsCustom; }
    virtual void DrawButton(TCanvas* Canvas, const TRect& R, TButtonState State, TControlState EditorState,
                            bool& DefaultPaint);
    virtual void CloseUp(bool Accept);
    virtual bool IsDroppedDown() const;
    virtual bool EditCanModify();
    virtual void SetShowButton(bool Value);
    virtual void GetTextAreaRect(TRect& R);
    virtual void SetEditRect();
    virtual bool ShowsCaret() { return true; }
    virtual void DrawFrame(TCanvas* Canvas);
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void DropDown();
    virtual bool PrepareEdit();
    virtual int GetButtonWidth();
    virtual int GetButtonLeft();

    void ButtonClick(TObject* Sender);
    void LayoutButton();
    void LoadDropDownGlyph();
    void RepaintButtonArea();
    void HandleDropDownKeys(WORD& Key, TShiftState Shift);

    TCalcBoldDayEvent OnCalcBoldDay;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;

    void WMPaint(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMLButtonDblClk(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMCancelMode(TMessage& Message) override;
    void CMGetDataLink(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;

private:
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void SetFocused(bool Value);
    TwwDTPartKinds Kinds() const;
    bool Unlinked() const;
    bool IsRequiredField() const;
    // Keyboard editing (the rules of each key).
    struct TWork;
    void FirstKeyDefault(WORD Key);
    void ClearValue(TWork& W);
    void NextPart();
    void StepPart(TWork& W, WORD Key);
    void HomeEndPart(TWork& W, WORD Key);
    bool StepDatePart(TWork& W, const AnsiString& Token, int Count, bool Wrap);
    bool TypeLetter(TWork& W, char Letter);
    int TypeDigit(TWork& W, int Digit);
    bool IsValidPartValue(TWork& W, int Value);
    bool IsTerminalFirstDigit(const TWork& W, int Digit) const;
    void ReadWork(TWork& W);
    void PassKeyToGrid(WORD& Key);
    void FireGridOnKeyDown(WORD& Key, TShiftState Shift);
    bool AllTextSelected() const;
    bool IsTimePartOfGeneralText() const;
    void InstallMouseHook();
    void RemoveMouseHook();
    void PaintSelf(TMessage& Message);
    // Fires a mouse event; false when its handler raised.
    bool MouseCrossed(TNotifyEvent& Event);
    bool IsTransparentFrame() const;
    int AutomaticButtonWidth() const;
    bool ButtonIsFlat() const;
    bool InGrid() const;

    TAlignment FTextAlignment = taLeftJustify;
    TwwPopupCalendar* FCalendar = nullptr;
    std::unique_ptr<TwwCalendarOptions> FCalendarAttributes;
    TDTDateFormat FDateFormat = dfShort;
    TDateTime FMaxDate = 0, FMinDate = 0;
    bool FInCloseUp = false;
    TDateTime FValueOnEnter = 0;
    TDateTime FDateTime = 0;
    std::unique_ptr<TFieldDataLink> FDataLink;
    TwwDateComboButton* FButton = nullptr;
    TwwDateBtnWinControl* FButtonHolder = nullptr;
    std::unique_ptr<TControlCanvas> FPaintCanvas;
    bool FIsFocused = false;
    int FCurrentPart = 1;
    TwwDTEditDataType FUnboundDataType = wwDTEdtDateTime;
    AnsiString FDisplayFormat;
    bool FDigitsPending = false;
    bool FIsBlank = true;
    int FEpoch = 1950;
    bool FDropDownFromButton = false;
    TDateTime FValueBeforeDropDown = 0;
    bool FClosedByEscape = false;
    bool FShowButton = true;
    std::unique_ptr<TwwEditFrame> FFrame;
    std::unique_ptr<TwwDateComboButtonEffects> FButtonEffects;
    std::unique_ptr<TwwDTInterval> FInterval;
    TwwComboButtonStyle FButtonStyle = cbsDownArrow;
    int FButtonWidth = 0;
    bool FAutoFillDateAndTime = false;
    bool FUpdatingBackground = false;
    bool FButtonHot = false;
    bool FSavedShowHint = false;
    bool FSettingFromCalendar = false;
    TDateTime FPendingValue = 0;
    TComponent* FController = nullptr;
    bool FDisableThemes = false;
    HHOOK FMouseHook = nullptr;
};

class TwwDBDateTimePicker : public TwwDBCustomDateTimePicker {
    ZELMOR_CLASS(TwwDBDateTimePicker, TwwDBCustomDateTimePicker)
public:
    explicit TwwDBDateTimePicker(TComponent* AOwner) : TwwDBCustomDateTimePicker(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

void RegisterDateTimePickerClasses();
