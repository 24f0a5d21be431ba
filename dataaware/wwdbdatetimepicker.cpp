#include "dataaware/wwdbdatetimepicker.h"

#include <algorithm>

#include "dataaware/wwcommon.h"
#include "dataaware/wwhelpers.h"
#include "platform/classes/Properties.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Sound.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MonthCal.h"

using wwdbdatetimepicker::DaysInMonth;

// ---------------------------------------------------------------------------
// Format tokens and parts
// ---------------------------------------------------------------------------

namespace {

bool IsQuote(char C) { return C == '\'' || C == '"'; }

// The position (1-based) of the quote that closes the one at Position, or the
// format's length when it is never closed.
int ClosingQuote(const AnsiString& Format, int Position) {
    const size_t close =
        Format.find(Format[static_cast<size_t>(Position - 1)], static_cast<size_t>(Position));
    return close == AnsiString::npos ? static_cast<int>(Format.size()) : static_cast<int>(close) + 1;
}

bool IsTokenLetter(char Upper) {
    return Upper == 'A' || Upper == 'D' || Upper == 'H' || Upper == 'M' || Upper == 'N' || Upper == 'S' ||
           Upper == 'Y';
}

AnsiString Padded(int Value, size_t Width) {
    AnsiString s = IntToStr(Value);
    while (s.size() < Width) s.insert(s.begin(), '0');
    return s;
}

struct TDecoded {
    int Y = 0, M = 0, D = 0, H = 0, N = 0, S = 0, MS = 0, DOW = 1;
};

TDecoded Decode(TDateTime Value) {
    TDecoded d;
    DecodeDate(Value, d.Y, d.M, d.D);
    DecodeTime(Value, d.H, d.N, d.S, d.MS);
    d.DOW = DayOfWeek(Value);
    return d;
}

// What a token shows for the value.
AnsiString TokenText(const AnsiString& Token, const TDecoded& V, bool AmPm) {
    const TFormatSettings& st = FormatSettings();
    const size_t n = Token.size();
    switch (AsciiUpper(Token[0])) {
    case 'D':
        if (n <= 2) return Padded(V.D, n);
        if (V.Y == 0) return {};
        return n == 3 ? st.ShortDayNames[static_cast<size_t>(V.DOW - 1)]
                      : st.LongDayNames[static_cast<size_t>(V.DOW - 1)];
    case 'M':
        if (n <= 2) return Padded(V.M, n);
        if (V.M < 1) return {};
        return n == 3 ? st.ShortMonthNames[static_cast<size_t>(V.M - 1)]
                      : st.LongMonthNames[static_cast<size_t>(V.M - 1)];
    case 'Y': return n <= 2 ? Padded(V.Y % 100, 2) : Padded(V.Y, 4);
    case 'H': {
        int h = V.H;
        if (AmPm) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
        return Padded(h, n >= 2 ? 2 : 1);
    }
    case 'N': return Padded(V.N, n >= 2 ? 2 : 1);
    case 'S': return Padded(V.S, n >= 2 ? 2 : 1);
    case 'A': {
        const bool pm = V.H >= 12;
        if (n == 4) return pm ? st.TimePMString : st.TimeAMString;  // ampm
        if (n == 5) return Token.substr(pm ? 3 : 0, 2);             // am/pm
        return Token.substr(pm ? 2 : 0, 1);                         // a/p
    }
    default: return {};
    }
}

// Walks the format token by token. Visit(token, text) answers true to stop.
// Literals reach Literal(text).
template <typename TVisit, typename TLiteral>
void WalkFormat(const AnsiString& Format, TVisit Visit, TLiteral Literal) {
    const TFormatSettings& st = FormatSettings();
    const int len = static_cast<int>(Format.size());
    for (int pos = 1; pos <= len; ++pos) {
        const char c = Format[static_cast<size_t>(pos - 1)];
        const char u = AsciiUpper(c);
        if (IsQuote(c)) {
            const int close = ClosingQuote(Format, pos);
            Literal(
                Format.substr(static_cast<size_t>(pos), static_cast<size_t>(std::max(0, close - pos - 1))));
            pos = close;
        } else if (IsTokenLetter(u)) {
            const AnsiString token = ReadFormatToken(AsciiLower(u), Format, pos);
            if (token.empty()) Literal(AnsiString(1, c));
            else if (Visit(token)) return;
        } else if (c == '/') {
            Literal(AnsiString(1, st.DateSeparator));
        } else if (c == ':') {
            Literal(AnsiString(1, st.TimeSeparator));
        } else {
            Literal(AnsiString(1, c));
        }
    }
}

bool IsPartFor(const AnsiString& Token, TwwDTPartKinds Kinds) {
    return (Kinds.Date && IsDateToken(Token)) || (Kinds.Time && IsTimeToken(Token));
}

}  // namespace

AnsiString ReplaceAllText(const AnsiString& Text, const AnsiString& Pattern, const AnsiString& Replacement) {
    if (Pattern.empty()) return Text;
    AnsiString out;
    for (size_t i = 0; i < Text.size();) {
        if (Text.compare(i, Pattern.size(), Pattern) == 0) {
            out += Replacement;
            i += Pattern.size();
        } else {
            out += Text[i++];
        }
    }
    return out;
}

AnsiString ExpandDateTimeFormat(const AnsiString& Format) {
    const TFormatSettings& st = FormatSettings();
    AnsiString f = ReplaceAllText(Format, "c", st.ShortDateFormat + " " + st.LongTimeFormat);
    f = ReplaceAllText(f, "dddddd", st.LongDateFormat);
    f = ReplaceAllText(f, "ddddd", st.ShortDateFormat);
    f = ReplaceAllText(f, "tt", st.LongTimeFormat);
    return ReplaceAllText(f, "t", st.ShortTimeFormat);
}

AnsiString ReadFormatToken(char Letter, const AnsiString& Format, int& Position) {
    const int len = static_cast<int>(Format.size());
    auto at = [&](int P) { return P >= 1 && P <= len ? Format[static_cast<size_t>(P - 1)] : '\0'; };
    if (Letter == 'a') {
        const auto follows = [&](const char* What) {
            for (int i = 0; What[i]; ++i)
                if (AsciiLower(at(Position + 1 + i)) != What[i]) return false;
            return true;
        };
        int n = 0;
        if (follows("/p")) n = 3;
        else if (follows("m/pm")) n = 5;
        else if (follows("mpm")) n = 4;
        if (n == 0) return {};
        AnsiString token = Format.substr(static_cast<size_t>(Position - 1), static_cast<size_t>(n));
        Position += n - 1;
        return token;
    }
    const char upper = AsciiUpper(Letter);
    int n = 0;
    while (AsciiUpper(at(Position + n)) == upper) ++n;
    const bool afterHour = AsciiUpper(at(Position - 2)) == 'H';
    Position += n - 1;
    if (Letter == 'y') return n <= 2 ? "yy" : "yyyy";
    if (Letter == 'm' && afterHour && n <= 2) return AnsiString(static_cast<size_t>(n), 'n');
    return AnsiString(static_cast<size_t>(n), Letter);
}

bool FormatHasAmPm(const AnsiString& Format) {
    bool found = false;
    WalkFormat(
        Format,
        [&](const AnsiString& Token) {
            found = AsciiUpper(Token[0]) == 'A';
            return found;
        },
        [](const AnsiString&) {});
    return found;
}

bool FormatHasTimePart(const AnsiString& Format) {
    if (Format.empty()) return true;
    for (size_t i = 0; i < Format.size(); ++i) {
        if (IsQuote(Format[i])) {
            i = static_cast<size_t>(ClosingQuote(Format, static_cast<int>(i) + 1)) - 1;
            continue;
        }
        const char u = AsciiUpper(Format[i]);
        if (u == 'H' || u == 'N' || u == 'S' || u == 'T' || u == 'C') return true;
    }
    return false;
}

bool FormatHasDatePart(const AnsiString& Format) {
    if (Format.empty()) return true;
    bool found = false;
    WalkFormat(
        ExpandDateTimeFormat(Format),
        [&](const AnsiString& Token) {
            found = IsDateToken(Token);
            return found;
        },
        [](const AnsiString&) {});
    return found;
}

bool IsDateToken(const AnsiString& Token) {
    if (Token.empty()) return false;
    const char u = AsciiUpper(Token[0]);
    return u == 'D' || u == 'M' || u == 'Y';
}

bool IsTimeToken(const AnsiString& Token) {
    if (Token.empty()) return false;
    const char u = AsciiUpper(Token[0]);
    return u == 'H' || u == 'N' || u == 'S' || u == 'A';
}

int CountFormatParts(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds) {
    int count = 0;
    WalkFormat(
        ExpandedFormat,
        [&](const AnsiString& Token) {
            if (IsPartFor(Token, Kinds)) ++count;
            return false;
        },
        [](const AnsiString&) {});
    return count;
}

bool LocateFormatPart(const AnsiString& ExpandedFormat, TwwDTPartKinds Kinds, int N, TDateTime Value,
                      TwwDTPart& Part) {
    Part = TwwDTPart();
    const TDecoded v = Decode(Value);
    const bool amPm = FormatHasAmPm(ExpandedFormat);
    AnsiString text;
    int count = 0;
    bool found = false;
    WalkFormat(
        ExpandedFormat,
        [&](const AnsiString& Token) {
            const AnsiString shown = TokenText(Token, v, amPm);
            if (IsPartFor(Token, Kinds) && ++count == N) {
                Part.Start = static_cast<int>(text.size());
                Part.Token = Token;
                Part.Length = static_cast<int>(shown.size());
                text += shown;
                Part.Text = text;
                found = true;
                return true;
            }
            text += shown;
            return false;
        },
        [&](const AnsiString& Literal) { text += Literal; });
    return found;
}

// ---------------------------------------------------------------------------
// Small calendar routines
// ---------------------------------------------------------------------------

int wwdbdatetimepicker::DaysInMonth(int Month, int Year) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

bool DayNotBefore(TDateTime A, TDateTime B) { return DateOf(A) >= DateOf(B); }

bool AddMonths(int Count, TDateTime Value, TDateTime& Result) {
    int y = 0, m = 0, d = 0;
    DecodeDate(Value, y, m, d);
    y += Count / 12;
    m += Count % 12;
    if (m > 12) {
        ++y;
        m -= 12;
    } else if (m < 1) {
        --y;
        m += 12;
    }
    if (y < 1 || y > 9999) return false;
    TDateTime date = 0;
    if (!TryEncodeDate(y, m, std::min(d, DaysInMonth(m, y)), date)) return false;
    Result = ComposeDateTime(date, TimeOf(Value));
    return true;
}

int ExpandTwoDigitYear(int YY, int Epoch) {
    int year = YY + (Epoch / 100) * 100;
    if (YY < Epoch % 100) year += 100;
    return year;
}

bool IsDateTimeEditChar(unsigned char Char) {
    return Char == 8 || Char == ' ' || Char == '\'' || Char == '.' || (Char >= '0' && Char <= 'o') ||
           Char > 145;
}

// ===========================================================================
// The editor
// ===========================================================================

ZELMOR_IMPLEMENT_ENUM(TwwDTEditDataType, "wwDTEdtDateTime", "wwDTEdtDate", "wwDTEdtTime")
ZELMOR_IMPLEMENT_ENUM(TDTDateFormat, "dfShort", "dfLong")
ZELMOR_IMPLEMENT_ENUM(TwwDTCalAlignment, "wwdtaLeft", "wwdtaRight", "wwdtaCenter")
ZELMOR_IMPLEMENT_CLASS(TwwCalendarOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwDTInterval, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwDateBtnWinControl, TWinControl)
ZELMOR_IMPLEMENT_CLASS(TwwDateComboButton, TwwComboButton)
ZELMOR_IMPLEMENT_CLASS(TwwDateComboButtonEffects, TwwButtonEffects)
ZELMOR_IMPLEMENT_CLASS(TwwPopupCalendar, TwwMonthCalendar)
ZELMOR_IMPLEMENT_CLASS(TwwDBCustomDateTimePicker, TCustomEdit)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBDateTimePicker, TwwDBCustomDateTimePicker)

namespace {

TDateTime WholeDays(TDateTime V) { return DateOf(V); }

bool AltDown(TShiftState Shift) { return Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0; }

TDateTime MakeDate(int Y, int M, int D) {
    TDateTime r = 0;
    return TryEncodeDate(Y, M, D, r) ? r : 0;
}

// A date with the time of day added, the time subtracted before 1899-12-30.
TDateTime JoinDateTime(TDateTime Date, int H, int N, int S, int MS) {
    TDateTime t = 0;
    TryEncodeTime(std::clamp(H, 0, 23), std::clamp(N, 0, 59), std::clamp(S, 0, 59), std::clamp(MS, 0, 999),
                  t);
    return Date < 0 ? Date - t : Date + t;
}

[[noreturn]] void RaiseExceeds(TDateTime Maximum) {
    throw EDateTimeError(Format("Date exceeds maximum of %s", {DateToStr(Maximum)}));
}

[[noreturn]] void RaiseBelowMinimum(TDateTime Minimum) {
    throw EDateTimeError(Format("Date is less than minimum of %s", {DateToStr(Minimum)}));
}

bool IsLetterKey(WORD Key) { return (Key >= 'A' && Key <= 'Z') || Key > 128; }
bool IsDigitKey(WORD Key) { return Key >= '0' && Key <= '9'; }

char TokenLetter(const AnsiString& Token) { return Token.empty() ? '\0' : AsciiUpper(Token[0]); }

bool ParentNamed(const TControl* Control, std::string_view Name) {
    return Control->Parent() && IsClassNamed(Control->Parent(), Name);
}

// The digit at a place (0-based) of a text; 0 for anything else.
int DigitAt(const AnsiString& Text, int I) {
    if (I < 0 || I >= static_cast<int>(Text.size())) return 0;
    const char c = Text[static_cast<size_t>(I)];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// The first character of a name, in the locale's upper case.
char FirstLetter(const AnsiString& Name) { return Name.empty() ? '\0' : AnsiUpperCase(Name.substr(0, 1))[0]; }

}  // namespace

// ---------------------------------------------------------------------------
// Settings objects
// ---------------------------------------------------------------------------

TwwCalendarOptions::TwwCalendarOptions(TWinControl* Owner)
    : FColors(std::make_unique<TwwDateTimeColors>(Owner)), FFont(std::make_unique<TFont>()),
      FYearOptions(std::make_unique<TwwPopupYearOptions>()) {}

TwwCalendarOptions::~TwwCalendarOptions() = default;

void TwwCalendarOptions::DescribeProperties(TPropertyTable& T) {
    using O = TwwCalendarOptions;
    T.Property("Alignment", &O::Alignment, &O::SetAlignment).Default(wwdtaLeft);
    T.Property("Colors", &O::Colors, &O::SetColors);
    T.Property("Font", &O::Font, &O::SetFont);
    T.Property("Options", &O::Options, &O::SetOptions).Default(TwwMonthOptions{mdoDayState});
    T.Property("PopupYearOptions", &O::PopupYearOptions, &O::SetPopupYearOptions);
    T.Property("FirstDayOfWeek", &O::FirstDayOfWeek, &O::SetFirstDayOfWeek).Default(wwdowLocaleDefault);
}

void TwwDTInterval::DescribeProperties(TPropertyTable& T) {
    T.Property("MinutesInterval", &TwwDTInterval::MinutesInterval, &TwwDTInterval::SetMinutesInterval)
        .Default(1);
    T.Property("RoundMinutes", &TwwDTInterval::RoundMinutes, &TwwDTInterval::SetRoundMinutes).Default(false);
}

void TwwDTInterval::SetMinutesInterval(int Value) { FMinutesInterval = std::clamp(Value, 1, 60); }

// ---------------------------------------------------------------------------
// Button, holder, effects
// ---------------------------------------------------------------------------

TwwDBCustomDateTimePicker* TwwDateBtnWinControl::Editor() const {
    return dynamic_cast<TwwDBCustomDateTimePicker*>(Owner());
}

void TwwDateBtnWinControl::WMEraseBkgnd(TMessage& Message) {
    TwwDBCustomDateTimePicker* editor = Editor();
    if (!editor || editor->FUpdatingBackground) {
        Message.Result = 1;
        return;
    }
    const bool inGridCopy = IsPaintingInCustomGrid(editor);
    const bool transparent = editor->IsTransparentFrame();
    if (!inGridCopy && !transparent) TWinControl::WMEraseBkgnd(Message);
    else if (transparent && editor->ButtonIsFlat() && editor->FButton && editor->FButton->State() == bsDown)
        PaintParentUnderButtonHolder(editor, this, editor->FUpdatingBackground);
    Message.Result = 1;
}

void TwwDateBtnWinControl::CMMouseLeave(TMessage& Message) {
    TWinControl::CMMouseLeave(Message);
    TwwDBCustomDateTimePicker* editor = Editor();
    if (!editor || !editor->ButtonIsFlat() || editor->IsFocused()) return;
    if (editor->IsTransparentFrame()) RefreshUnderButtonHolder(editor, this);
    Invalidate();
}

TwwDBCustomDateTimePicker* TwwDateComboButton::Editor() const {
    return dynamic_cast<TwwDBCustomDateTimePicker*>(Owner());
}

void TwwDateComboButton::Paint() {
    TwwDBCustomDateTimePicker* editor = Editor();
    if (!editor) {
        TwwComboButton::Paint();
        return;
    }
    if (editor->FUpdatingBackground) return;
    if (IsPaintCopy(editor->ControlState()) && IsInCustomGrid(editor)) return;
    const TRect r = ClientRect();
    bool drawDefault = true;
    editor->FButtonHot = MouseInside();
    const bool noGlyph = !Glyph() || Glyph()->Empty();
    const bool inDBGrid = ParentNamed(editor, "TwwDBGrid");
    if ((noGlyph || editor->FButtonHot || editor->IsFocused() || inDBGrid) &&
        !(editor->ButtonEffects()->Transparent() && editor->ButtonStyle() == cbsDownArrow))
        editor->DrawButton(Canvas(), r, State(), editor->ControlState(), drawDefault);
    if (drawDefault) TwwComboButton::Paint();
    if (editor->FButtonHot || !editor->ButtonEffects()->Flat() || editor->IsFocused() || inDBGrid) {
        TRect edge = r;
        Canvas()->DrawEdge(edge, State() == bsDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
}

TwwDateComboButtonEffects::TwwDateComboButtonEffects(TwwDBCustomDateTimePicker* Control, TControl* Button)
    : TwwButtonEffects(Control, Button) {}

void TwwDateComboButtonEffects::Refresh() {
    if (auto* editor = dynamic_cast<TwwDBCustomDateTimePicker*>(Control())) editor->LoadDropDownGlyph();
}

// ---------------------------------------------------------------------------
// The drop-down calendar
// ---------------------------------------------------------------------------

TwwPopupCalendar::TwwPopupCalendar(TwwDBCustomDateTimePicker* Editor)
    : TwwMonthCalendar(Editor), FEditor(Editor) {
    SetControlStyle(ControlStyle().Include(csReplicatable));
}

void TwwPopupCalendar::CreateParams(TCreateParams& Params) {
    TwwMonthCalendar::CreateParams(Params);
    Params.Style |= WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.Style = CS_SAVEBITS;
}

void TwwPopupCalendar::CreateWnd() {
    TwwMonthCalendar::CreateWnd();
    // A top-level window of its own: it may stand outside the editor's form.
    ::SetParent(Handle(), HWND_DESKTOP);
    SetWindowLong(Handle(), GWL_STYLE,
                  (GetWindowLong(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CHILD)) |
                      static_cast<LONG_PTR>(WS_POPUP));
}

void TwwPopupCalendar::WndProc(TMessage& Message) {
    // A click on the calendar leaves the active window, and the focus, with
    // the editor: activating the calendar would take the focus from the
    // editor and close the calendar under the click.
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TwwMonthCalendar::WndProc(Message);
}

void TwwPopupCalendar::DoChange() {
    TwwMonthCalendar::DoChange();
    if (!FEditor->CanEditValue()) return;
    FEditor->PrepareEdit();
    FEditor->SetModifiedState(true);
    FEditor->FSettingFromCalendar = true;
    TwwFinally done([this] { FEditor->FSettingFromCalendar = false; });
    FEditor->SetDate(Date());
}

void TwwPopupCalendar::WMLButtonUp(TMessage& Message) {
    TwwMonthCalendar::WMLButtonUp(Message);
    TMCHitTestInfo info;
    info.pt = TPoint(Message.XPos(), Message.YPos());
    const auto hit = static_cast<unsigned>(SendMessage(Handle(), MCM_HITTEST, 0, PointerToLParam(&info)));
    // Days (trailing ones too), the background and the today line close it; the title does not.
    if ((hit & MCHT_CALENDAR) == MCHT_CALENDAR && hit != MCHT_CALENDARDAY && hit != MCHT_CALENDARWEEKNUM)
        FEditor->CloseUp(true);
}

// ---------------------------------------------------------------------------
// Construction and properties
// ---------------------------------------------------------------------------

UINT TwwDBCustomDateTimePicker::DestroyCalendarMessage() {
    static const UINT Message = RegisterWindowMessage("IPDATEPICKERDESTROYCALENDAR");
    return Message;
}

TwwDBCustomDateTimePicker::TwwDBCustomDateTimePicker(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetControlStyle(ControlStyle().Include(csReplicatable));
    FCalendarAttributes = std::make_unique<TwwCalendarOptions>(this);
    FDataLink = std::make_unique<TFieldDataLink>();
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
    FDataLink->OnUpdateData = [this](TObject* Sender) { UpdateData(Sender); };
    FIsBlank = FDataLink->Field() == nullptr;
    FButtonHolder = new TwwDateBtnWinControl(this);
    FButtonHolder->SetControlStyle(FButtonHolder->ControlStyle().Include(csReplicatable));
    FButtonHolder->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
    FButtonHolder->SetParent(this);
    FButton = new TwwDateComboButton(this);
    FButton->SetControlStyle(FButton->ControlStyle().Include(csReplicatable));
    FButton->SetBounds(0, 0, FButtonHolder->Width(), FButtonHolder->Height());
    FButton->SetWidth(AutomaticButtonWidth());
    FButton->SetParent(FButtonHolder);
    FButton->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
    FEpoch = DefaultPivotYear();
    SetParentCtl3D(false);
    SetCtl3D(true);
    FFrame = std::make_unique<TwwEditFrame>(this);
    FButtonEffects = std::make_unique<TwwDateComboButtonEffects>(this, FButton);
    FInterval = std::make_unique<TwwDTInterval>();
}

TwwDBCustomDateTimePicker::~TwwDBCustomDateTimePicker() {
    RemoveMouseHook();
    FButtonEffects.reset();
    FDataLink->SetControl(nullptr);
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink.reset();
}

TDataSource* TwwDBCustomDateTimePicker::DataSource() const { return FDataLink->DataSource(); }

void TwwDBCustomDateTimePicker::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    else FUnboundDataType = wwDTEdtDateTime;
}

AnsiString TwwDBCustomDateTimePicker::DataField() const { return FDataLink->FieldName(); }

void TwwDBCustomDateTimePicker::SetDataField(const AnsiString& Value) {
    FDataLink->SetFieldName(Value);
    if (Value.empty()) FUnboundDataType = wwDTEdtDateTime;
}

TField* TwwDBCustomDateTimePicker::Field() const { return FDataLink->Field(); }

bool TwwDBCustomDateTimePicker::ReadOnly() const { return FDataLink->ReadOnly(); }

void TwwDBCustomDateTimePicker::SetReadOnly(bool Value) {
    FDataLink->SetReadOnly(Value);
    TCustomEdit::SetReadOnly(Value);
}

void TwwDBCustomDateTimePicker::SetDisplayFormat(const AnsiString& Value) {
    if (Value == FDisplayFormat) return;
    FDisplayFormat = Value;
    RefreshText();
}

void TwwDBCustomDateTimePicker::SetDateFormat(TDTDateFormat Value) {
    if (Value == FDateFormat) return;
    FDateFormat = Value;
    RefreshText();
}

void TwwDBCustomDateTimePicker::SetUnboundDataType(TwwDTEditDataType Value) {
    if (Value == FUnboundDataType) return;
    FUnboundDataType = Value;
    RefreshText();
}

void TwwDBCustomDateTimePicker::SetMaxDate(TDateTime Value) {
    if (Value != 0 && FMinDate != 0 && Value < FMinDate) RaiseBelowMinimum(FMinDate);
    FMaxDate = Value;
}

void TwwDBCustomDateTimePicker::SetMinDate(TDateTime Value) {
    if (FMaxDate != 0 && Value > FMaxDate) RaiseExceeds(FMaxDate);
    FMinDate = Value;
}

void TwwDBCustomDateTimePicker::SetCalendarAttributes(TwwCalendarOptions* Value) {
    if (Value == FCalendarAttributes.get() || !Value) return;
    FCalendarAttributes->SetAlignment(Value->Alignment());
    FCalendarAttributes->SetColors(Value->Colors());
    FCalendarAttributes->SetFont(Value->Font());
    FCalendarAttributes->SetOptions(Value->Options());
    FCalendarAttributes->SetPopupYearOptions(Value->PopupYearOptions());
    FCalendarAttributes->SetFirstDayOfWeek(Value->FirstDayOfWeek());
}

void TwwDBCustomDateTimePicker::SetInterval(TwwDTInterval* Value) {
    if (!Value || Value == FInterval.get()) return;
    FInterval->SetMinutesInterval(Value->MinutesInterval());
    FInterval->SetRoundMinutes(Value->RoundMinutes());
}

void TwwDBCustomDateTimePicker::SetButtonStyle(TwwComboButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    LoadDropDownGlyph();
    FButton->Invalidate();
}

int TwwDBCustomDateTimePicker::AutomaticButtonWidth() const {
    return std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
}

void TwwDBCustomDateTimePicker::SetButtonWidth(int Value) {
    if (Value == FButtonWidth) return;
    FButtonWidth = Value;
    FButton->SetWidth(Value != 0 ? Value : AutomaticButtonWidth());
    LayoutButton();
}

TBitmap* TwwDBCustomDateTimePicker::ButtonGlyph() const { return FButton->Glyph(); }

void TwwDBCustomDateTimePicker::SetButtonGlyph(TBitmap* Value) {
    FButton->SetGlyph(Value);
    FButton->Invalidate();
}

void TwwDBCustomDateTimePicker::SetController(TComponent* Value) {
    if (Value == FController) return;
    RegisterWithController(FController, Value, this);
    if (Value) {
        if (auto* frame = dynamic_cast<TwwEditFrame*>(GetObjectProp(Value, "Frame"))) FFrame->Assign(frame);
        if (HandleAllocated()) RecreateWnd();
    }
}

bool TwwDBCustomDateTimePicker::ButtonIsFlat() const {
    return FButtonEffects && (FButtonEffects->Flat() || FButtonEffects->Transparent());
}

void TwwDBCustomDateTimePicker::LoadDropDownGlyph() {
    if (FButtonStyle == cbsCustom) return;
    if (FButtonStyle == cbsDownArrow && ButtonIsFlat()) {
        TBitmap glyph;
        glyph.LoadFromResourceName("WWDROPDOWN");
        FButton->SetGlyph(&glyph);
    }
}

void TwwDBCustomDateTimePicker::Loaded() {
    if (FButtonWidth == 0) FButton->SetWidth(AutomaticButtonWidth());
    if (Parent() || Owner()) LayoutButton();
    TCustomEdit::Loaded();
}

void TwwDBCustomDateTimePicker::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
    if (AComponent == FController) FController = nullptr;
    if (AComponent == FCalendar) FCalendar = nullptr;
    if (AComponent == FButton) {
        FButton = nullptr;
        if (FButtonEffects) FButtonEffects->SetButton(nullptr);
    }
    if (AComponent == FButtonHolder) FButtonHolder = nullptr;
}

bool TwwDBCustomDateTimePicker::ExecuteAction(TBasicAction* Action) {
    return TCustomEdit::ExecuteAction(Action) || ExecuteActionOn(Action, DataSource());
}

bool TwwDBCustomDateTimePicker::UpdateAction(TBasicAction* Action) {
    return TCustomEdit::UpdateAction(Action) || UpdateActionOn(Action, DataSource());
}

// ---------------------------------------------------------------------------
// Kind and format
// ---------------------------------------------------------------------------

bool TwwDBCustomDateTimePicker::Unlinked() const {
    return !Field() && (DataSource() != nullptr || !DataField().empty());
}

bool TwwDBCustomDateTimePicker::IsDateKind() const {
    TField* f = Field();
    return f ? f->DataType() == ftDate : FUnboundDataType == wwDTEdtDate;
}

bool TwwDBCustomDateTimePicker::IsDateTimeKind() const {
    TField* f = Field();
    return f ? f->DataType() == ftDateTime : FUnboundDataType == wwDTEdtDateTime;
}

bool TwwDBCustomDateTimePicker::EditsTimeOnly() const {
    TField* f = Field();
    if (!f) return FUnboundDataType == wwDTEdtTime;
    return f->DataType() == ftTime ||
           (f->DataType() == ftDateTime && !FormatHasDatePart(GetEffectiveFormat(true)));
}

bool TwwDBCustomDateTimePicker::EditsDateOnly() const {
    TField* f = Field();
    if (!f) return FUnboundDataType == wwDTEdtDate;
    return f->DataType() == ftDate ||
           (f->DataType() == ftDateTime && !FormatHasTimePart(GetEffectiveFormat(true)));
}

TwwDTPartKinds TwwDBCustomDateTimePicker::Kinds() const {
    return TwwDTPartKinds{IsDateTimeKind() || IsDateKind(), IsDateTimeKind() || EditsTimeOnly()};
}

AnsiString TwwDBCustomDateTimePicker::GetEffectiveFormat(bool WithDefault) const {
    AnsiString format = FDisplayFormat;
    if (format.empty())
        if (auto* f = dynamic_cast<TDateTimeField*>(Field())) format = f->DisplayFormat();
    if (!format.empty() || !WithDefault) return format;
    const TFormatSettings& st = FormatSettings();
    TField* f = Field();
    const bool time = f ? f->DataType() == ftTime : FUnboundDataType == wwDTEdtTime;
    const bool date = f ? f->DataType() == ftDate : FUnboundDataType == wwDTEdtDate;
    if (time) return FDateFormat == dfLong ? st.LongTimeFormat : st.ShortTimeFormat;
    if (date) return FDateFormat == dfLong ? st.LongDateFormat : st.ShortDateFormat;
    return FDateFormat == dfLong ? st.LongDateFormat + " " + st.LongTimeFormat : AnsiString("c");
}

AnsiString TwwDBCustomDateTimePicker::GetExpandedFormat() const {
    return ExpandDateTimeFormat(GetEffectiveFormat(true));
}

int TwwDBCustomDateTimePicker::CountParts() const { return CountFormatParts(GetExpandedFormat(), Kinds()); }

bool TwwDBCustomDateTimePicker::LocatePart(int N, TDateTime Value, TwwDTPart& Part) const {
    return LocateFormatPart(GetExpandedFormat(), Kinds(), N, Value, Part);
}

bool TwwDBCustomDateTimePicker::UsesGeneralFormat() const {
    if (Field()) {
        if (IsDateTimeKind() && GetEffectiveFormat(false).empty()) return true;
        auto* f = dynamic_cast<TDateTimeField*>(Field());
        return f && f->DisplayFormat() == "c";
    }
    return IsDateTimeKind() && (FDisplayFormat == "c" || (FDisplayFormat.empty() && FDateFormat == dfShort));
}

int TwwDBCustomDateTimePicker::GetLastPart() const {
    if (!UsesGeneralFormat()) return CountParts();
    const size_t length = Text().size();
    TwwDTPart part;
    int n = 1;
    for (; LocatePart(n, FDateTime, part); ++n)
        if (part.Text.size() >= length) return n;
    return std::max(1, n - 1);
}

bool TwwDBCustomDateTimePicker::IsTextComplete() const {
    if (!UsesGeneralFormat()) return true;
    TwwDTPart part;
    LocatePart(CountParts(), FDateTime, part);
    return Text().size() >= part.Text.size();
}

TDateTime TwwDBCustomDateTimePicker::GetUpperBound() const {
    return WholeDays(FMaxDate) != 0 ? FMaxDate : EncodeDate(9999, 12, 31);
}

TDateTime TwwDBCustomDateTimePicker::GetLowerBound() const {
    return WholeDays(FMinDate) != 0 ? FMinDate : EncodeDate(1899, 12, 31);
}

int TwwDBCustomDateTimePicker::AdjustHourForAmPm(int CurrentHour, int Typed) const {
    if (!FormatHasAmPm(GetExpandedFormat())) return Typed;
    if (Typed == 12 && CurrentHour < 12) return 0;
    if (CurrentHour > 11 && Typed < 12) return Typed + 12;
    return Typed;
}

bool TwwDBCustomDateTimePicker::DecadeReachesMinDate(int TensDigit) const {
    const int year = (FEpoch / 100 + (TensDigit * 10 < FEpoch % 100 ? 1 : 0)) * 100 + TensDigit * 10 + 9;
    return DayNotBefore(EncodeDate(year, 12, 31), FMinDate);
}

void TwwDBCustomDateTimePicker::GetWeekStart(int& First, int& Last) const {
    const TwwCalDayOfWeek day = FCalendarAttributes->FirstDayOfWeek();
    if (day == wwdowSunday) First = 1;
    else if (day != wwdowLocaleDefault) First = static_cast<int>(day) + 2;
    else {
        const AnsiString s = GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, "0");
        const int locale = s.empty() ? 0 : s[0] - '0';
        First = locale == 6 ? 1 : locale + 2;
    }
    Last = First == 1 ? 7 : First - 1;
}

// ---------------------------------------------------------------------------
// Value and text
// ---------------------------------------------------------------------------

TDateTime TwwDBCustomDateTimePicker::Date() {
    CommitPendingDigits();
    return EditsTimeOnly() ? 0 : WholeDays(FDateTime);
}

TDateTime TwwDBCustomDateTimePicker::Time() {
    CommitPendingDigits();
    return IsDateKind() ? 0 : TimeOf(FDateTime);
}

void TwwDBCustomDateTimePicker::SetDate(TDateTime Value) {
    if (EditsTimeOnly()) return;
    if (Field() || Value != 0) {
        TDateTime value = FDateTime;
        if (WholeDays(Value) != WholeDays(FDateTime))
            value = ComposeDateTime(WholeDays(Value), TimeOf(FDateTime));
        if (value == 0) {
            SetDateTime(0);
            Invalidate();
            return;
        }
        // Whole days are compared: a kept time of day never refuses the last day.
        if (FMaxDate != 0 && WholeDays(value) > WholeDays(FMaxDate)) RaiseExceeds(FMaxDate);
        if (FMinDate != 0 && WholeDays(value) < WholeDays(FMinDate)) RaiseBelowMinimum(FMinDate);
        SetDateTime(value);
        return;
    }
    FIsBlank = false;
    SetDateTime(0);
}

void TwwDBCustomDateTimePicker::SetTime(TDateTime Value) {
    if (IsDateKind()) return;
    TDateTime value = Value;
    if (Field() || Value != 0) {
        if (FDateTime != 0 && TimeOf(Value) == TimeOf(FDateTime)) return;
        value = ComposeDateTime(WholeDays(FDateTime), TimeOf(Value));
        if (value == 0) {
            SetDateTime(0);
            Invalidate();
            return;
        }
    } else {
        FIsBlank = false;
    }
    SetDateTime(value);
}

void TwwDBCustomDateTimePicker::SetDateTime(TDateTime Value) {
    const bool modified = Modified();
    if (Field() || Value != 0) {
        if (Value == FDateTime && FDateTime != 0) return;
    } else {
        FIsBlank = false;
    }
    if (Value == 0) {
        FDateTime = 0;
        if (!EditsTimeOnly()) {
            if (!Text().empty()) SetText("");
            return;
        }
    } else {
        const bool tested = WholeDays(Value) != 0 || !EditsTimeOnly();
        const bool nullField = Field() && Field()->IsNull();
        // A value outside the limits is refused: the old value and its text stay.
        if (tested && !nullField) {
            if (FMaxDate != 0 && WholeDays(Value) > WholeDays(FMaxDate)) RaiseExceeds(FMaxDate);
            if (FMinDate != 0 && WholeDays(Value) < WholeDays(FMinDate)) RaiseBelowMinimum(FMinDate);
        }
    }
    FDateTime = Value;
    const AnsiString text = FormatValue(Value);
    if (text != Text()) SetText(text);
    SelectCurrentPart();
    SetModified(modified);
}

AnsiString TwwDBCustomDateTimePicker::FormatValue(TDateTime Value) const {
    if (Unlinked()) return {};
    if (WholeDays(Value) == 0 && !EditsTimeOnly()) return {};
    if (GetEffectiveFormat(false).empty() && FDateFormat == dfLong && TimeOf(Value) == 0)
        return FormatDateTime(FormatSettings().LongDateFormat, Value);
    return FormatDateTime(GetEffectiveFormat(true), Value);
}

AnsiString TwwDBCustomDateTimePicker::GetDisplayText(TDateTime Value) const {
    if (Unlinked()) return {};
    if (Field() && Field()->IsNull() && !IsDroppedDown()) return {};
    if (!Field() && Value == 0 && FIsBlank) return {};
    return FormatValue(Value);
}

void TwwDBCustomDateTimePicker::RefreshText() {
    if (Modified()) SetText(FormatValue(FDateTime));
    else if (Field() || (FDateTime != 0 && !DataSource() && DataField().empty()))
        SetText(GetDisplayText(FDateTime));
    else SetText("");
    Invalidate();
}

void TwwDBCustomDateTimePicker::SetFromParts(int Year, int Month, int Day, int Hour, int Minute, int Second,
                                             int MSec) {
    if (EditsTimeOnly()) {
        TDateTime t = 0;
        if (TryEncodeTime(Hour, Minute, Second, MSec, t)) SetTime(t);
        return;
    }
    const TDateTime date = MakeDate(Year, Month, std::min(Day, DaysInMonth(Month, Year)));
    if (date == 0) {
        RefreshText();
        return;
    }
    const TDateTime value = JoinDateTime(date, Hour, Minute, Second, MSec);
    if (DayNotBefore(value, GetLowerBound()) && DayNotBefore(GetUpperBound(), value)) SetDateTime(value);
    else RefreshText();
}

void TwwDBCustomDateTimePicker::SelectCurrentPart() {
    if (!HandleAllocated()) return;
    if (!CanEditValue()) SelectAll();
    else if (IsDroppedDown()) {
        SetSelStart(0);
        SetSelLength(0);
    } else {
        TwwDTPart part;
        LocatePart(FCurrentPart, FDateTime, part);
        SetSelStart(part.Start);
        SetSelLength(part.Length);
    }
}

void TwwDBCustomDateTimePicker::CommitPendingDigits() {
    if (IsDroppedDown() || !FDigitsPending) return;
    FDigitsPending = false;
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
    DecodeDate(FDateTime, y, m, d);
    DecodeTime(FDateTime, h, n, s, ms);
    TwwDTPart part;
    LocatePart(FCurrentPart, FDateTime, part);
    const AnsiString& token = part.Token;
    static const char* const Numeric[] = {"d", "dd", "m", "mm", "h",  "hh",
                                          "n", "nn", "s", "ss", "yy", "yyyy"};
    if (std::none_of(std::begin(Numeric), std::end(Numeric), [&](const char* t) { return token == t; }))
        return;
    const AnsiString text = Text();
    auto digitAt = [&](int I) { return DigitAt(text, I); };
    auto apply = [&](int Value) {
        switch (TokenLetter(token)) {
        case 'D':
            if (Value != 0) d = Value;
            break;
        case 'M':
            if (Value != 0) m = Value;
            break;
        case 'H': h = AdjustHourForAmPm(h, Value); break;
        case 'N': n = Value; break;
        case 'S': s = Value; break;
        case 'Y': y = Value; break;
        default: break;
        }
    };
    const int caret = SelStart();
    if (token != "yyyy" && caret != part.Start) {
        const int digit = digitAt(part.Start);
        apply(token == "yy" ? ExpandTwoDigitYear(digit, FEpoch) : digit);
        SetFromParts(y, m, d, h, n, s, ms);
    } else {
        const int k = caret - part.Start;
        if (k <= 3) {
            int value = 0;
            bool skip = false;
            if (k == 1) value = ExpandTwoDigitYear(digitAt(part.Start), FEpoch);
            else if (k == 2)
                value = ExpandTwoDigitYear(digitAt(part.Start) * 10 + digitAt(part.Start + 1), FEpoch);
            else if (k == 3) {
                value = digitAt(part.Start) * 100 + digitAt(part.Start + 1) * 10 + digitAt(part.Start + 2);
                skip = value == 0;
            } else {
                switch (TokenLetter(token)) {
                case 'Y': value = ExpandTwoDigitYear(0, FEpoch); break;
                case 'D': value = d; break;
                case 'M': value = m; break;
                case 'H': value = h; break;
                default: value = 0;
                }
            }
            if (!skip) {
                if (TokenLetter(token) == 'H') h = value;
                else apply(value);
                SetFromParts(y, m, d, h, n, s, ms);
            }
        }
    }
    RefreshText();
    SelectCurrentPart();
    SetModifiedState(true);
}

void TwwDBCustomDateTimePicker::SetModifiedState(bool State) {
    if (State) {
        if (Field() && Field()->ReadOnly()) return;
        FDataLink->SetModified();
    }
    SetModified(State);
}

bool TwwDBCustomDateTimePicker::CanEditValue() const {
    if (ReadOnly()) return false;
    if (TField* f = Field()) {
        if (f->ReadOnly() || !f->DataSet() || !f->DataSet()->CanModify()) return false;
    }
    if (TDataSource* source = DataSource())
        if (!source->AutoEdit()) return source->State() == dsEdit || source->State() == dsInsert;
    return true;
}

void TwwDBCustomDateTimePicker::RevertValue() {
    if (Field()) FDataLink->Reset();
    else SetDateTime(FValueOnEnter);
    SetModifiedState(false);
    FCurrentPart = 1;
}

bool TwwDBCustomDateTimePicker::PrepareEdit() { return FDataLink->Edit(); }

bool TwwDBCustomDateTimePicker::EditCanModify() {
    TField* f = Field();
    if (!f) return true;
    TDataSet* ds = f->DataSet();
    if (ds && (ds->State() == dsEdit || ds->State() == dsInsert)) return true;
    if ((f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup) && !f->ReadOnly() && !ReadOnly())
        return ds && ds->CanModify();
    return false;
}

// ---------------------------------------------------------------------------
// Data link
// ---------------------------------------------------------------------------

void TwwDBCustomDateTimePicker::DataChange(TObject*) {
    TField* f = Field();
    if (f) {
        if (f->Alignment() != FTextAlignment) {
            SetText("");
            FTextAlignment = f->Alignment();
        }
        const TDataSetState state = DataSource() ? DataSource()->State() : dsInactive;
        if (f->IsNull()) {
            FDateTime = 0;
            SetText("");
            if (state == dsBrowse || state == dsInsert) {
                FCurrentPart = 1;
                SelectAll();
            }
        } else {
            FDateTime = f->AsDateTime();
            SetText(GetDisplayText(FDateTime));
            if (state == dsBrowse) {
                FCurrentPart = 1;
                SelectAll();
            }
        }
        Invalidate();
        if (Text().empty()) SetText(GetDisplayText(f->AsDateTime()));
        SetModified(false);
    } else {
        FTextAlignment = taLeftJustify;
        if (DataSource() || !DataField().empty()) RefreshText();
    }
}

void TwwDBCustomDateTimePicker::UpdateData(TObject*) {
    TField* f = Field();
    if (ReadOnly() || !Modified() || !f) return;
    if (!FDataLink->Editing() && f->FieldKind() != fkCalculated && f->FieldKind() != fkLookup) return;
    if (FPendingValue != 0) {
        FDateTime = FPendingValue;
        FPendingValue = 0;
    }
    if (EditsTimeOnly()) {
        FDateTime = ComposeDateTime(WholeDays(f->AsDateTime()), TimeOf(FDateTime));
        if (FDateTime == 0 && Text().empty()) f->Clear();
        else f->SetAsDateTime(FDateTime);
        return;
    }
    if (EditsDateOnly()) {
        SetDateTime(FDateTime);
        FDateTime = ComposeDateTime(WholeDays(FDateTime), f->IsNull() ? 0 : TimeOf(f->AsDateTime()));
        if (FDateTime == 0) FIsBlank = true;
    }
    if (FDateTime != 0) f->SetAsDateTime(FDateTime);
    else if (FIsBlank || Text().empty()) f->Clear();
}

void TwwDBCustomDateTimePicker::PostToField() {
    const bool modified = Modified();
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SelectCurrentPart();
        if (CanFocus()) SetFocus();
        SetModified(modified);
        throw;
    }
}

void TwwDBCustomDateTimePicker::SetFocused(bool Value) {
    if (Value == FIsFocused) return;
    FIsFocused = Value;
    if (FTextAlignment != taLeftJustify) Invalidate();
    if (Field()) FDataLink->Reset();
}

void TwwDBCustomDateTimePicker::CMGetDataLink(TMessage& Message) {
    Message.Result = PointerToLParam(FDataLink.get());
}

// ---------------------------------------------------------------------------
// Window, layout, painting
// ---------------------------------------------------------------------------

bool TwwDBCustomDateTimePicker::InGrid() const {
    return IsInCustomGrid(const_cast<TwwDBCustomDateTimePicker*>(this));
}

void TwwDBCustomDateTimePicker::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_WANTRETURN | ES_AUTOVSCROLL);
    Params.Style |= WS_CLIPCHILDREN;
    if (BorderStyle() == bsNone) Params.Style |= ES_MULTILINE;
    if (IsTransparentFrame() && FFrame->UseTransparentStyle()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

bool TwwDBCustomDateTimePicker::IsTransparentFrame() const { return FFrame && FFrame->IsTransparentFrame(); }

void TwwDBCustomDateTimePicker::CreateWnd() {
    TCustomEdit::CreateWnd();
    SetEditRect();
    // The parent must not clip it away to be seen through it.
    if (IsTransparentFrame() && Parent()) ClearWindowStyleBit(Parent());
}

void TwwDBCustomDateTimePicker::SetShowButton(bool Value) {
    FShowButton = Value;
    if (FButtonHolder) FButtonHolder->SetVisible(Value);
    if (HandleAllocated()) {
        SetEditRect();
        Invalidate();
    }
}

void TwwDBCustomDateTimePicker::GetTextAreaRect(TRect& R) { R = ClientRect(); }

int TwwDBCustomDateTimePicker::GetButtonWidth() { return FButtonHolder ? FButtonHolder->Width() : 0; }

int TwwDBCustomDateTimePicker::GetButtonLeft() {
    return FButtonHolder ? FButtonHolder->Left() - 1 : ClientWidth();
}

void TwwDBCustomDateTimePicker::SetEditRect() {
    if (!HandleAllocated() || !FButtonHolder) return;
    TRect r;
    r.Bottom = ClientHeight() + 1;
    r.Right = FButtonHolder->Visible() ? FButtonHolder->Left() - 1 : ClientWidth() - 2;
    if (IsInInspector(this)) r.Left = r.Top = 1;
    else if (InGrid() && BorderStyle() == bsNone) {
        r.Left = 2;
        r.Top = 2;
    } else if (FFrame->IsEffective()) {
        const int right = r.Right;
        FFrame->GetEditMargins(r);
        r.Right = right;
    } else if (BorderStyle() == bsSingle) {
        r.Left = r.Top = 0;
    } else {
        r.Left = r.Top = 1;
    }
    Perform(EM_SETRECTNP, 0, PointerToLParam(&r));
}

void TwwDBCustomDateTimePicker::LayoutButton() {
    if (!FButton || !FButtonHolder) return;
    const int m = FFrame->IsEffective() ? 2 : 0;
    const int w = FButton->Width();
    if (BorderStyle() == bsSingle && Ctl3D())
        FButtonHolder->SetBounds(Width() - w - 4, m, w, ClientHeight() - m);
    else FButtonHolder->SetBounds(Width() - w - m, m, w, ClientHeight() - 2 * m);
    if (BorderStyle() == bsSingle) FButton->SetBounds(FButton->Left(), 0, w, FButtonHolder->Height());
    else FButton->SetBounds(FButton->Left(), -1, w, FButtonHolder->Height() + 1);
    SetEditRect();
}

void TwwDBCustomDateTimePicker::WMSize(TMessage& Message) {
    TCustomEdit::WMSize(Message);
    LayoutButton();
}

void TwwDBCustomDateTimePicker::CMFontChanged(TMessage& Message) {
    TCustomEdit::CMFontChanged(Message);
    if (Owner() && !Owner()->ComponentState().Contains(csLoading)) SetEditRect();
}

void TwwDBCustomDateTimePicker::CMEnabledChanged(TMessage& Message) {
    TCustomEdit::CMEnabledChanged(Message);
    if (FButton) FButton->SetEnabled(Enabled());
}

void TwwDBCustomDateTimePicker::WMEraseBkgnd(TMessage& Message) {
    if ((IsPaintCopy(ControlState()) && IsInInspector(this)) || (IsTransparentFrame() && !FIsFocused)) {
        Message.Result = 1;
        return;
    }
    TCustomEdit::WMEraseBkgnd(Message);
}

void TwwDBCustomDateTimePicker::CMTextChanged(TMessage& Message) {
    // The old text shows through no more.
    if (IsTransparentFrame() && !FIsFocused) FFrame->RefreshBackground(false, true, false);
    TCustomEdit::CMTextChanged(Message);
}

void TwwDBCustomDateTimePicker::DrawButton(TCanvas* Canvas, const TRect& R, TButtonState State,
                                           TControlState EditorState, bool& DefaultPaint) {
    if (FButtonStyle == cbsCustom) return;
    DefaultPaint = false;
    const bool flat = FButton->Flat() && !FButtonHot && !FIsFocused;
    if (FButtonStyle == cbsDownArrow) DrawComboArrowButton(Canvas, R, State, EditorState, Enabled());
    else DrawEllipsisButton(Canvas, R, State, EditorState, FButtonEffects->Transparent(), flat, Enabled());
}

void TwwDBCustomDateTimePicker::DrawFrame(TCanvas* Canvas) {
    DrawFrameEdges(this, FFrame.get(), Canvas, FIsFocused);
}

void TwwDBCustomDateTimePicker::RepaintButtonArea() {
    if (ButtonIsFlat() && Parent() && Parent()->HandleAllocated() && FButtonHolder) {
        TRect r = FButtonHolder->BoundsRect();
        OffsetRect(r, Left(), Top());
        InvalidateRect(Parent()->Handle(), &r, false);
        if (!ParentHasTransparentStyle(this)) Parent()->Update();
    }
    if (FButton) FButton->Invalidate();
}

void TwwDBCustomDateTimePicker::WMPaint(TMessage& Message) {
    if (FButtonHolder) {
        FButtonHolder->SetVisible(!EditsTimeOnly() && FShowButton);
        if (FButtonHolder->Visible() && FButton) FButton->Invalidate();
    }
    const bool copy = IsPaintCopy(ControlState());
    const bool editingInFocusedGrid = InGrid() && Parent()->Focused();
    if (FIsFocused && !editingInFocusedGrid && !copy) {
        TCustomEdit::WMPaint(Message);
        if (FFrame->IsEffective()) {
            HDC dc = GetWindowDC(Handle());
            DrawFrame(dc);
            ReleaseDC(Handle(), dc);
        }
        return;
    }
    PaintSelf(Message);
}

void TwwDBCustomDateTimePicker::PaintSelf(TMessage& Message) {
    if (!FPaintCanvas) {
        FPaintCanvas = std::make_unique<TControlCanvas>();
        FPaintCanvas->SetControl(this);
    }
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    TPaintStruct paint;
    HDC dc = given ? given : BeginPaint(Handle(), paint);
    TwwFinally endPaint([this, given, &paint] {
        FPaintCanvas->SetHandle(nullptr);
        if (!given) EndPaint(Handle(), paint);
    });
    TControlCanvas* canvas = FPaintCanvas.get();
    canvas->SetHandle(dc);
    const bool copy = IsPaintCopy(ControlState());
    const bool inGrid = InGrid();
    const bool copyInGrid = copy && inGrid;
    canvas->Font()->Assign(Font());
    if (!Enabled() && Font()->Color() != clGrayText) canvas->Font()->SetColor(clGrayText);
    else if (copyInGrid && given) canvas->Font()->SetColor(static_cast<TColor>(given->GetTextColor()));
    else if (inGrid) canvas->Font()->SetColor(Parent()->Font()->Color());
    const TRect client = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    const bool seeThrough = IsTransparentFrame() && !FIsFocused;
    if (!copyInGrid && !IsTransparentFrame()) {
        canvas->Brush()->SetColor(FFrame->Enabled() && !FIsFocused && FFrame->NonFocusColor() != clNone
                                      ? FFrame->NonFocusColor()
                                      : Color());
        canvas->FillRect(client);
    }
    TRect r = client;
    if (FShowButton && !copyInGrid && !EditsTimeOnly()) GetTextAreaRect(r);
    InflateRect(r, -1, -1);
    AnsiString text;
    TField* f = Field();
    if (copy && f) text = GetDisplayText(f->IsNull() ? 0 : f->AsDateTime());
    else if (!f || Modified()) text = GetDisplayText(FDateTime);
    else if (f->IsNull() || FDateTime != 0) text = GetDisplayText(f->IsNull() ? 0 : f->AsDateTime());
    else text = FormatValue(0);
    const bool editingInFocusedGrid = inGrid && !copy && Parent()->Focused();
    if (editingInFocusedGrid) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    }
    int top = ParentNamed(this, "TwwDBGrid") && GetOrdPropByName(Parent(), "LineStyle") >= 0 ? 2 : 1;
    int left = inGrid ? 2 : top;
    if (!inGrid && FFrame->IsEffective()) FFrame->GetNonFocusTextOffsets(left, top, FIsFocused);
    const int width = canvas->TextWidth(text);
    if (FTextAlignment == taRightJustify) left = (FShowButton ? GetButtonLeft() : r.Right) - width - top;
    else if (FTextAlignment == taCenter)
        left = (r.Left + r.Right - width - (FShowButton ? GetButtonWidth() : 0)) / 2;
    if (copy && !(inGrid && !IsInInspector(this))) left -= 1;
    if (seeThrough && FFrame->NonFocusTransparentFontColor() != clNone)
        canvas->Font()->SetColor(FFrame->NonFocusTransparentFontColor());
    else if (!FIsFocused && FFrame->Enabled() && FFrame->NonFocusFontColor() != clNone)
        canvas->Font()->SetColor(FFrame->NonFocusFontColor());
    DrawCellText(canvas, r, left - 1, top - 1, text, taLeftJustify, copyInGrid || seeThrough ? dctNoFill : 0);
    if (editingInFocusedGrid) DrawFocusRectangle(canvas, r);
    if (FFrame->IsEffective() && !copy) DrawFrame(canvas);
}

// ---------------------------------------------------------------------------
// Mouse and focus
// ---------------------------------------------------------------------------

// The user's handler first (what it raises ends the matter quietly), then
// the frame shows the look of the new state.
void TwwDBCustomDateTimePicker::DoMouseEnter() {
    if (MouseCrossed(OnMouseEnter) && FFrame->IsEffective() && !FIsFocused && FFrame->MouseEnterSameAsFocus())
        Invalidate();
}

void TwwDBCustomDateTimePicker::DoMouseLeave() {
    if (MouseCrossed(OnMouseLeave)) FrameMouseLeft(this, FFrame.get(), FIsFocused);
}

bool TwwDBCustomDateTimePicker::MouseCrossed(TNotifyEvent& Event) {
    try {
        if (Assigned(Event)) Event(this);
    } catch (...) {
        return false;
    }
    return true;
}

void TwwDBCustomDateTimePicker::CMMouseEnter(TMessage& Message) {
    TCustomEdit::CMMouseEnter(Message);
    DoMouseEnter();
}

void TwwDBCustomDateTimePicker::CMMouseLeave(TMessage& Message) {
    if (HandleAllocated()) {
        TPoint p;
        GetCursorPos(p);
        ::ScreenToClient(Handle(), p);
        if (PtInRect(ClientRect(), p)) return;
    }
    TCustomEdit::CMMouseLeave(Message);
    DoMouseLeave();
}

void TwwDBCustomDateTimePicker::WMLButtonDown(TMessage& Message) {
    if (Text().empty()) {
        TCustomEdit::WMLButtonDown(Message);
        return;
    }
    SendCancelMode(this);
    if (ControlStyle().Contains(csClickEvents)) SetControlState(ControlState().Include(csClicked));
    if (!Focused() && CanFocus()) SetFocus();
    if (FPendingValue != 0) {
        FDateTime = FPendingValue;
        RefreshText();
        FPendingValue = 0;
        FDigitsPending = false;
    }
    CommitPendingDigits();
    const TDateTime value = IsDroppedDown() && FCalendar ? FCalendar->Date() : FDateTime;
    const AnsiString text = Text();
    TCanvas* measure = GetDC(nullptr);
    measure->Font()->Assign(Font());
    TwwDTPart part;
    for (int n = 1; LocatePart(n, value, part); ++n) {
        FCurrentPart = n;
        if (part.Text.size() >= text.size() || Message.XPos() < measure->TextWidth(part.Text)) break;
    }
    ReleaseDC(nullptr, measure);
    MouseDown(mbLeft, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
    SelectCurrentPart();
}

void TwwDBCustomDateTimePicker::WMLButtonDblClk(TMessage& Message) {
    SendCancelMode(this);
    DblClick();
    MouseDown(mbLeft, KeysToShiftState(Message.Keys()) + TShiftState{ssDouble}, Message.XPos(),
              Message.YPos());
    SelectAll();
}

void TwwDBCustomDateTimePicker::WMLButtonUp(TMessage& Message) {
    if (GetCapture() == Handle()) ReleaseCapture();
    TCustomEdit::WMLButtonUp(Message);
}

void TwwDBCustomDateTimePicker::WMSetFocus(TMessage& Message) {
    TCustomEdit::WMSetFocus(Message);
    if (!InGrid() && (!Field() || !Field()->IsNull()) && !Text().empty() && !FDigitsPending)
        HideCaret(Handle());
}

void TwwDBCustomDateTimePicker::CMEnter(TMessage& Message) {
    SetEditRect();
    SetFocused(true);
    if (InGrid()) FCurrentPart = 1;
    if (Field() && Field()->IsNull()) {
        SetText("");
    } else {
        FValueOnEnter = FDateTime;
        SetText(GetDisplayText(FDateTime));
        SelectCurrentPart();
    }
    DoEnter();
    if (FDateTime != 0 && !Text().empty()) {
        Invalidate();
        if (!FDropDownFromButton) SelectAll();
    }
    if (!Field()) SetModified(false);
    if (ButtonIsFlat() && FButton) FButton->Invalidate();
    // Opaque while it is typed into.
    if (IsTransparentFrame()) FFrame->DropTransparentStyle();
    if (FFrame->Enabled()) Invalidate();
    Message.Result = 0;
}

void TwwDBCustomDateTimePicker::CMExit(TMessage& Message) {
    CommitPendingDigits();
    if (Modified()) PostToField();
    DoExit();
    SetFocused(false);
    if (ButtonIsFlat() && FButton) FButton->Invalidate();
    if (IsTransparentFrame()) {
        FFrame->RestoreTransparentStyle();
        SetEditRect();
    }
    if (FFrame->Enabled()) {
        Invalidate();
        InvalidateControlBackground(this);
    }
    FPendingValue = 0;
    Invalidate();
    Message.Result = 0;
}

void TwwDBCustomDateTimePicker::DoExit() {
    TCustomEdit::DoExit();
    if (HandleAllocated()) PostMessage(Handle(), DestroyCalendarMessage(), 0, 0);
}

void TwwDBCustomDateTimePicker::WMKillFocus(TMessage& Message) {
    TCustomEdit::WMKillFocus(Message);
    // Losing the focus keeps the date shown in the calendar.
    CloseUp(true);
}

void TwwDBCustomDateTimePicker::CMCancelMode(TMessage& Message) {
    auto* sender = reinterpret_cast<TControl*>(Message.LParam);
    if (sender && (sender == FCalendar || sender == FButton)) CommitPendingDigits();
    else CloseUp(true);
}

void TwwDBCustomDateTimePicker::WMCut(TMessage& Message) {
    PrepareEdit();
    TCustomEdit::WMCut(Message);
    if (!CanEditValue()) return;
    SetDateTime(0);
    SetText("");
    Update();
    FCurrentPart = 1;
    FIsBlank = true;
    SetModifiedState(true);
}

void TwwDBCustomDateTimePicker::WMPaste(TMessage& Message) {
    if (!CanEditValue()) return;
    PrepareEdit();
    const AnsiString before = Text();
    SelectAll();
    TCustomEdit::WMPaste(Message);
    const AnsiString pasted = Text();
    TDateTime value = EditsTimeOnly() ? TimeTextToValue(pasted) : DateTimeTextToValue(pasted);
    if (value == 0 && !EditsTimeOnly()) value = DateTextToValue(pasted);
    if (value != 0) {
        try {
            SetDateTime(value);
        } catch (const EDateTimeError&) {
            // A value outside the limits is dropped; the old one stays.
            SetText(before);
        }
    }
    RefreshText();
    SelectCurrentPart();
    SetModifiedState(true);
}

void TwwDBCustomDateTimePicker::WndProc(TMessage& Message) {
    if (Message.Msg == DestroyCalendarMessage()) {
        if (!FIsFocused && FCalendar) {
            RemoveMouseHook();
            TwwPopupCalendar* calendar = FCalendar;
            FCalendar = nullptr;
            calendar->Free();
        }
    } else if (Message.Msg == WM_KEYDOWN && IsDroppedDown()) {
        WORD key = static_cast<WORD>(Message.WParam);
        HandleDropDownKeys(key, KeyDataToShiftState(static_cast<int32_t>(Message.LParam)));
        if (key == 0) return;
        if (FCalendar && key != VK_TAB) {
            SendMessage(FCalendar->Handle(), WM_KEYDOWN, key, Message.LParam);
            if (CanEditValue()) {
                PrepareEdit();
                SetModifiedState(true);
                SetDate(FCalendar->Date());
            }
            return;
        }
    }
    TCustomEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

struct TwwDBCustomDateTimePicker::TWork {
    int Y = 0, M = 0, D = 0, h = 0, n = 0, s = 0, ms = 0;
    TDateTime U = 0, L = 0, E = 0;
    int UY = 0, UM = 0, UD = 0, LY = 0, LM = 0, LD = 0;
    TwwDTPart Part;
    bool P = false;
    TDateTime Date() const { return MakeDate(Y, M, std::min(D, DaysInMonth(M, Y))); }
    void SetDate(TDateTime V) { DecodeDate(V, Y, M, D); }
};

void TwwDBCustomDateTimePicker::ReadWork(TWork& W) {
    DecodeDate(FDateTime, W.Y, W.M, W.D);
    DecodeTime(FDateTime, W.h, W.n, W.s, W.ms);
    W.U = GetUpperBound();
    W.L = GetLowerBound();
    DecodeDate(W.U, W.UY, W.UM, W.UD);
    DecodeDate(W.L, W.LY, W.LM, W.LD);
    W.E = WholeDays(FDateTime);
    LocatePart(FCurrentPart, FDateTime, W.Part);
}

bool TwwDBCustomDateTimePicker::AllTextSelected() const {
    const int length = static_cast<int>(Text().size());
    return SelStart() + SelLength() == length && SelLength() == length;
}

bool TwwDBCustomDateTimePicker::IsTimePartOfGeneralText() const {
    if (!UsesGeneralFormat()) return false;
    TwwDTPart part, previous;
    LocatePart(FCurrentPart, FDateTime, part);
    const char c = TokenLetter(part.Token);
    if (c == 'D' || c == 'Y') return false;
    if (c == 'M')
        return FCurrentPart > 1 && LocatePart(FCurrentPart - 1, FDateTime, previous) &&
               TokenLetter(previous.Token) == 'H';
    return !part.Token.empty();
}

bool TwwDBCustomDateTimePicker::IsRequiredField() const { return Field() && Field()->Required(); }

void TwwDBCustomDateTimePicker::PassKeyToGrid(WORD& Key) { HandKeyToGrid(Parent(), Key); }

void TwwDBCustomDateTimePicker::FireGridOnKeyDown(WORD& Key, TShiftState Shift) {
    TWinControl* grid = Parent();
    if ((Key == VK_RETURN || Key == VK_TAB) && Screen && Screen->ActiveControl() != this) return;
    if (Assigned(grid->OnKeyDown)) grid->OnKeyDown(grid, Key, Shift);
}

void TwwDBCustomDateTimePicker::HandleDropDownKeys(WORD& Key, TShiftState Shift) {
    const bool alt = AltDown(Shift);
    if ((Key == VK_F4 && !alt) || (alt && (Key == VK_UP || Key == VK_DOWN))) {
        if (IsDroppedDown()) CloseUp(true);
        else DropDown();
        Key = 0;
    } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && IsDroppedDown()) {
        if (Key == VK_ESCAPE) FClosedByEscape = true;
        CloseUp(Key == VK_RETURN);
        Key = 0;
    }
}

void TwwDBCustomDateTimePicker::FirstKeyDefault(WORD Key) {
    PrepareEdit();
    if (EditsTimeOnly()) {
        const bool digit = IsDigitKey(Key) || (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9);
        FDateTime = digit ? 0 : TimeOf(Now());
        FIsBlank = false;
        SetText(FormatValue(FDateTime));
    } else {
        const TDateTime today = ::Date();
        TDateTime value = today;
        if (FMinDate != 0 && WholeDays(today) < WholeDays(FMinDate)) value = FMinDate;
        else if (FMaxDate != 0 && WholeDays(today) > WholeDays(FMaxDate)) value = FMaxDate;
        else if (FAutoFillDateAndTime) value = EditsDateOnly() || UsesGeneralFormat() ? today : Now();
        else if (GetExpandedFormat().find_first_of("dD") == AnsiString::npos) {
            int y = 0, m = 0, d = 0;
            DecodeDate(today, y, m, d);
            value = EncodeDate(y, m, 1);
        }
        FDateTime = value;
        FIsBlank = false;
        SetText(FormatValue(value));
    }
    SetModifiedState(true);
    SelectCurrentPart();
    FCurrentPart = 1;
    SelectCurrentPart();
}

void TwwDBCustomDateTimePicker::ClearValue(TWork& W) {
    if (FDigitsPending) {
        if (SelStart() > W.Part.Start) {
            SetSelStart(SelStart() - 1);
            SetSelLength(1);
            SetSelText("");
        }
        return;
    }
    if (EditsTimeOnly() && Field() && Field()->DataType() == ftDateTime) {
        SetDateTime(WholeDays(FDateTime));
        SetText("");
        FCurrentPart = 1;
        FIsBlank = true;
    } else if (EditsDateOnly()) {
        SetDate(0);
        SetText("");
        FCurrentPart = 1;
        FIsBlank = true;
    } else if (UsesGeneralFormat() && IsTextComplete() && IsTimePartOfGeneralText()) {
        SetDateTime(WholeDays(FDateTime));
        RefreshText();
        FCurrentPart = GetLastPart();
        SelectCurrentPart();
    } else {
        SetDateTime(0);
        SetText("");
        Update();
        FCurrentPart = 1;
        FIsBlank = true;
    }
}

void TwwDBCustomDateTimePicker::NextPart() {
    const int n = CountParts();
    if (FCurrentPart < n) {
        CommitPendingDigits();
        TwwDTPart next;
        LocatePart(FCurrentPart + 1, FDateTime, next);
        if (UsesGeneralFormat() && GetLastPart() >= FCurrentPart && Text().size() < next.Text.size()) {
            // The next part is a time the text does not show yet.
            PrepareEdit();
            int y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
            if (WholeDays(FDateTime) != 0) {
                DecodeDate(FDateTime, y, m, d);
                DecodeTime(Now(), h, mi, s, ms);
            } else {
                DecodeDate(::Date(), y, m, d);
            }
            const TDateTime date = MakeDate(y, m, std::min(d, DaysInMonth(m, y)));
            if (date != 0) SetDateTime(JoinDateTime(date, h, mi, s, ms));
            SetModifiedState(true);
        }
        FCurrentPart = std::min(FCurrentPart + 1, GetLastPart());
        SelectCurrentPart();
    } else if (FDigitsPending) {
        CommitPendingDigits();
        SelectCurrentPart();
    }
}

bool TwwDBCustomDateTimePicker::StepDatePart(TWork& W, const AnsiString& Token, int Count, bool Wrap) {
    const char c = TokenLetter(Token);
    const TDateTime E = W.Date();
    if (E == 0) return false;
    if (c == 'D' && Token.size() <= 2) {
        if ((E > 0 && E + Count > WholeDays(W.U)) || (E < 0 && E + Count < WholeDays(W.L))) return false;
        if (Count > 0) {
            int y = 0, m = 0, d = 0;
            DecodeDate(E + Count, y, m, d);
            W.D = d;
        } else {
            const int n = DaysInMonth(W.M, W.Y);
            const int k = std::abs(Count) % n;
            const int nd = W.D - k >= 1 ? W.D - k : n + W.D - k;
            const TDateTime t = MakeDate(W.Y, W.M, nd);
            if (t < WholeDays(W.L)) W.SetDate(W.L);
            else if (t > WholeDays(W.U)) W.SetDate(W.U);
            else W.D = nd;
        }
        return true;
    }
    if (c == 'D') {
        int first = 1, last = 7;
        GetWeekStart(first, last);
        const int dow = DayOfWeek(E);
        if (Count > 0) {
            if (dow == last) W.SetDate(E - 6 < WholeDays(W.L) ? WholeDays(W.L) : E - 6);
            else W.SetDate(E + 1 > WholeDays(W.U) ? WholeDays(W.U) : E + 1);
        } else {
            if (dow == first) W.SetDate(E + 6 > WholeDays(W.U) ? WholeDays(W.U) : E + 6);
            else W.SetDate(E - 1 < WholeDays(W.L) ? WholeDays(W.L) : E - 1);
        }
        return true;
    }
    if (c == 'M') {
        TDateTime e = 0;
        if (!AddMonths(Count, E, e)) return false;
        const bool within = Count <= 0 ? DayNotBefore(e, W.L) : DayNotBefore(W.U, e);
        if (Wrap) {
            if (within) {
                int y = 0, m = 0, d = 0;
                DecodeDate(e, y, m, d);
                W.M = m;
            } else {
                W.SetDate(Count <= 0 ? W.L : W.U);
            }
        } else if (within) {
            W.SetDate(e);
        }
        return true;
    }
    if (c == 'Y') {
        TDateTime e = 0;
        if (!AddMonths(12 * Count, E, e)) return false;
        const bool within = Count <= 0 ? DayNotBefore(e, W.L) : DayNotBefore(W.U, e);
        if (within) {
            int y = 0, m = 0, d = 0;
            DecodeDate(e, y, m, d);
            W.Y = y;
        } else {
            W.SetDate(Count <= 0 ? W.L : W.U);
        }
        W.D = std::min(W.D, DaysInMonth(W.M, W.Y));
        return true;
    }
    return false;
}

void TwwDBCustomDateTimePicker::StepPart(TWork& W, WORD Key) {
    if (FDigitsPending) {
        CommitPendingDigits();
        ReadWork(W);
    }
    const bool up = Key == VK_UP;
    const int I = FInterval->MinutesInterval();
    switch (TokenLetter(W.Part.Token)) {
    case 'A': W.h = W.h < 12 ? W.h + 12 : W.h - 12; break;
    case 'D':
    case 'M':
    case 'Y': StepDatePart(W, W.Part.Token, up ? 1 : -1, true); break;
    case 'H': W.h = up ? (W.h + 1) % 24 : (W.h + 23) % 24; break;
    case 'N':
        if (up) {
            W.n = (W.n + I) % 60;
            if (FInterval->RoundMinutes()) W.n = I * (W.n / I);
        } else if (FInterval->RoundMinutes() && W.n % I != 0) {
            W.n = I * (W.n / I);
        } else {
            W.n = (W.n - I + 60) % 60;
        }
        break;
    case 'S': W.s = up ? (W.s + 1) % 60 : (W.s + 59) % 60; break;
    default: break;
    }
}

void TwwDBCustomDateTimePicker::HomeEndPart(TWork& W, WORD Key) {
    if (FDigitsPending) {
        CommitPendingDigits();
        ReadWork(W);
    }
    const bool home = Key == VK_HOME;
    const AnsiString& token = W.Part.Token;
    switch (TokenLetter(token)) {
    case 'A':
        if (home && W.h > 11) W.h -= 12;
        if (!home && W.h < 12) W.h += 12;
        break;
    case 'D':
        if (token.size() <= 2) {
            if (home) W.D = W.Y == W.LY && W.M == W.LM ? W.LD : 1;
            else W.D = W.Y == W.UY && W.M == W.UM ? W.UD : DaysInMonth(W.M, W.Y);
        } else {
            int first = 1, last = 7;
            GetWeekStart(first, last);
            const TDateTime e = W.Date();
            const int offset = (DayOfWeek(e) - first + 7) % 7;
            if (home) W.SetDate(std::max(e - offset, WholeDays(W.L)));
            else W.SetDate(std::min(e + 6 - offset, WholeDays(W.U)));
        }
        break;
    case 'M':
        if (home) W.M = W.Y == W.LY ? W.LM + (W.D < W.LD ? 1 : 0) : 1;
        else W.M = W.Y == W.UY ? W.UM - (W.UD < W.D ? 1 : 0) : 12;
        break;
    case 'Y':
        if (home) W.Y = W.LY + ((W.M < W.LM || (W.M == W.LM && W.D < W.LD)) ? 1 : 0);
        else W.Y = W.UY - ((W.UM < W.M || (W.M == W.UM && W.UD < W.D)) ? 1 : 0);
        break;
    case 'H': W.h = home ? 0 : 23; break;
    case 'N': W.n = home ? 0 : 59; break;
    case 'S': W.s = home ? 0 : 59; break;
    default: break;
    }
}

bool TwwDBCustomDateTimePicker::TypeLetter(TWork& W, char Letter) {
    const TFormatSettings& st = FormatSettings();
    const AnsiString& token = W.Part.Token;
    const char c = TokenLetter(token);
    if (c == 'M' && token.size() >= 3) {
        // Names are compared in the locale's upper case: the regional names may be written in lower case.
        auto matches = [&](int Month) {
            const auto& names = token.size() == 3 ? st.ShortMonthNames : st.LongMonthNames;
            return FirstLetter(names[static_cast<size_t>(Month - 1)]) == Letter;
        };
        auto typeMonthName = [&](bool AnyDay) {
            const int before = W.M;
            for (int m = before + 1; m <= 12; ++m)
                if (matches(m) && (AnyDay || W.D <= DaysInMonth(m, W.Y))) {
                    StepDatePart(W, token, m - before, false);
                    return W.M != before;
                }
            for (int m = 1; m < before; ++m)
                if (matches(m) && (AnyDay || W.D <= DaysInMonth(m, W.Y))) {
                    StepDatePart(W, token, m - before, false);
                    if (W.M != before) return true;
                }
            return false;
        };
        if (!typeMonthName(false)) typeMonthName(true);
        return true;
    }
    if (c == 'D' && token.size() >= 3) {
        int first = 1, last = 7;
        GetWeekStart(first, last);
        const TDateTime e = W.Date();
        const int offset = (DayOfWeek(e) - first + 7) % 7;
        auto matches = [&](TDateTime Day) {
            const auto& names = token.size() == 3 ? st.ShortDayNames : st.LongDayNames;
            return FirstLetter(names[static_cast<size_t>(DayOfWeek(Day) - 1)]) == Letter;
        };
        for (int o = offset + 1; o <= 6; ++o)
            if (matches(e - offset + o)) {
                if (e - offset + o <= WholeDays(W.U)) W.SetDate(e - offset + o);
                return true;
            }
        for (int o = 0; o < offset; ++o)
            if (matches(e - offset + o)) {
                const TDateTime t = e - offset + o;
                if (t <= WholeDays(W.U) && t >= WholeDays(W.L)) W.SetDate(t);
                return true;
            }
        return true;
    }
    if (c == 'A') {
        const bool morning = W.h < 12;
        if (token.size() != 4) {
            if (morning && Letter == 'P') W.h += 12;
            else if (!morning && Letter == 'A') W.h -= 12;
        } else {
            const char am = FirstLetter(st.TimeAMString), pm = FirstLetter(st.TimePMString);
            if (am == pm) W.h = morning ? W.h + 12 : W.h - 12;
            else if (morning && Letter == pm) W.h += 12;
            else if (!morning && Letter == am) W.h -= 12;
        }
        return true;
    }
    return false;
}

bool TwwDBCustomDateTimePicker::IsTerminalFirstDigit(const TWork& W, int Digit) const {
    switch (TokenLetter(W.Part.Token)) {
    case 'D': return Digit > 3;
    case 'M': return Digit > 1;
    case 'H': return FormatHasAmPm(GetExpandedFormat()) ? Digit > 1 : Digit > 2;
    case 'N':
    case 'S': return Digit > 5;
    default: return false;
    }
}

namespace {

int NextLeapYear(int Year) {
    int y = (Year / 4 + 1) * 4;
    if (!IsLeapYear(y)) y += 4;
    return y;
}

}  // namespace

bool TwwDBCustomDateTimePicker::IsValidPartValue(TWork& W, int Value) {
    const AnsiString f = UpperCase(GetExpandedFormat());
    const size_t dPos = f.find('D'), mPos = f.find('M'), yPos = f.find('Y');
    auto within = [&](int Y, int M, int D) {
        const TDateTime t = MakeDate(Y, M, D);
        return t != 0 && DayNotBefore(t, W.L) && DayNotBefore(W.U, t);
    };
    switch (TokenLetter(W.Part.Token)) {
    case 'D':
        if (Value < 1 || Value > 31) return false;
        if (dPos < mPos && Value > DaysInMonth(W.M, W.Y))
            for (int m = 1; m <= 12; ++m)
                if (DaysInMonth(m, W.Y) >= Value) {
                    W.M = m;
                    break;
                }
        if (Value == 29 && W.M == 2 && !IsLeapYear(W.Y) && dPos < yPos) W.Y = NextLeapYear(W.Y);
        return Value <= DaysInMonth(W.M, W.Y) && within(W.Y, W.M, Value);
    case 'M':
        if (Value < 1 || Value > 12) return false;
        if (W.D == 29 && Value == 2 && !IsLeapYear(W.Y) && mPos < yPos) W.Y = NextLeapYear(W.Y);
        W.D = std::min(W.D, DaysInMonth(Value, W.Y));
        return within(W.Y, Value, W.D);
    case 'H': return FormatHasAmPm(GetExpandedFormat()) ? Value <= 12 : Value < 24;
    case 'N':
    case 'S': return Value < 60;
    case 'Y':
        if (W.Part.Token == "yy") return within(ExpandTwoDigitYear(Value, FEpoch), W.M, W.D);
        if (Value == 0) return false;
        {
            const TDateTime t = MakeDate(Value, W.M, W.D);
            return t != 0 && DayNotBefore(t, W.L) && (FMaxDate == 0 || DayNotBefore(W.U, t));
        }
    default: return false;
    }
}

int TwwDBCustomDateTimePicker::TypeDigit(TWork& W, int Digit) {
    const AnsiString& token = W.Part.Token;
    const int start = W.Part.Start;
    const AnsiString text = Text();
    auto digitAt = [&](int I) { return DigitAt(text, I); };
    auto takePart = [&](int Value) {
        switch (TokenLetter(token)) {
        case 'D': W.D = Value; break;
        case 'M': W.M = Value; break;
        case 'Y': W.Y = token == "yy" ? ExpandTwoDigitYear(Value, FEpoch) : Value; break;
        case 'H': W.h = AdjustHourForAmPm(W.h, Value); break;
        case 'N': W.n = Value; break;
        case 'S': W.s = Value; break;
        default: break;
        }
    };
    static const char* const TwoDigit[] = {"d", "dd", "m", "mm", "h", "hh", "n", "nn", "s", "ss", "yy"};
    if (std::any_of(std::begin(TwoDigit), std::end(TwoDigit), [&](const char* t) { return token == t; })) {
        if (SelStart() == start + 1) {
            const int v = 10 * digitAt(start) + Digit;
            if (!IsValidPartValue(W, v)) {
                MessageBeep(0);
                return -1;
            }
            takePart(v);
            SetFromParts(W.Y, W.M, W.D, W.h, W.n, W.s, W.ms);
            RefreshText();
            SelectCurrentPart();
            return v;
        }
        if (!IsTerminalFirstDigit(W, Digit)) {
            if (token == "yy" && !DecadeReachesMinDate(Digit)) return -1;
            SetSelText(AnsiString(1, static_cast<char>('0' + Digit)));
            SetSelStart(start + 1);
            SetSelLength(0);
            FDigitsPending = true;
            return Digit;
        }
        if (IsValidPartValue(W, Digit)) {
            SetSelStart(start);
            SetSelLength(W.Part.Length);
            SetSelText((token.size() == 2 ? AnsiString("0") : AnsiString()) + static_cast<char>('0' + Digit));
            SetSelStart(start);
            SetSelLength(token.size() == 2 ? 2 : 1);
            return Digit;
        }
        MessageBeep(0);
        return -1;
    }
    if (token == "yyyy") {
        const int caret = SelStart();
        if (caret == start + 3) {
            int v = digitAt(start) * 1000 + digitAt(start + 1) * 100 + digitAt(start + 2) * 10 + Digit;
            if (v == 0) {
                int y = 0, m = 0, d = 0;
                DecodeDate(FValueOnEnter, y, m, d);
                v = y;
            } else if (!IsValidPartValue(W, v)) {
                return -1;
            }
            SetFromParts(W.Y, W.M, W.D, W.h, W.n, W.s, W.ms);
            RefreshText();
            SelectCurrentPart();
            return v;
        }
        AnsiString typed;
        for (int i = start; i < caret; ++i) typed += static_cast<char>('0' + digitAt(i));
        typed += static_cast<char>('0' + Digit);
        const int v = std::stoi(typed);
        if (caret == start) {
            const int length = SelLength();
            SetSelStart(start);
            SetSelLength(length);
        } else {
            SetSelStart(start);
            SetSelLength(caret - start);
        }
        SetSelText(typed);
        SetSelStart(start + static_cast<int>(typed.size()));
        SetSelLength(0);
        FDigitsPending = true;
        return v;
    }
    return -1;
}

void TwwDBCustomDateTimePicker::KeyDown(WORD& Key, TShiftState Shift) {
    if (GetKeyState(VK_MENU) < 0) Shift.Include(ssAlt);
    HandleDropDownKeys(Key, Shift);
    if (Key == 0) return;
    const bool ctrl = Shift.Contains(ssCtrl), alt = Shift.Contains(ssAlt);
    if (InGrid()) {
        TWinControl* grid = Parent();
        const bool inspector = IsInInspector(this);
        const bool alwaysShowEditor = GridOptionSet(grid, "dgAlwaysShowEditor") && !IsDroppedDown();
        const int length = static_cast<int>(Text().size());
        switch (Key) {
        case VK_ESCAPE:
            if (!Modified()) PassKeyToGrid(Key);
            break;
        case VK_PRIOR:
        case VK_NEXT:
            if (!IsDroppedDown() && !alt) PassKeyToGrid(Key);
            break;
        case VK_END:
        case VK_HOME:
            if (alwaysShowEditor && (ctrl || AllTextSelected())) PassKeyToGrid(Key);
            break;
        case VK_LEFT:
            if (inspector) break;
            if (alwaysShowEditor && (ctrl || SelStart() == 0)) PassKeyToGrid(Key);
            break;
        case VK_RIGHT:
            if (inspector) break;
            if (alwaysShowEditor && (ctrl || SelStart() + SelLength() == length)) PassKeyToGrid(Key);
            break;
        case VK_UP:
        case VK_DOWN:
            if (ctrl || AllTextSelected()) PassKeyToGrid(Key);
            break;
        case VK_INSERT:
            if (!Shift.Contains(ssShift)) PassKeyToGrid(Key);
            break;
        case VK_DELETE:
            if (ctrl) PassKeyToGrid(Key);
            break;
        case VK_F2:
            FireGridOnKeyDown(Key, Shift);
            if (Key == VK_F2) {
                SetSelStart(0);
                SetSelLength(0);
                FCurrentPart = 1;
                SelectCurrentPart();
                return;
            }
            break;
        default: break;
        }
        if (Key != 0 && !CanEditValue() &&
            (Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT))
            PassKeyToGrid(Key);
        if (Key != 0) FireGridOnKeyDown(Key, Shift);
        if (Key == 0) return;
    }
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == 0) return;
    if (Key == VK_BACK && !AllTextSelected()) Key = VK_LEFT;
    if (Unlinked()) return;
    if (IsRequiredField() && (Key == VK_BACK || Key == VK_DELETE)) {
        if (!(!AllTextSelected() && UsesGeneralFormat() && IsTextComplete() && IsTimePartOfGeneralText())) {
            Key = 0;
            return;
        }
    }
    if (Shift.Contains(ssShift) && Key == VK_RIGHT && FCurrentPart == 1) {
        SelectAll();
        Key = 0;
        return;
    }
    TCustomEdit::SetReadOnly(!CanEditValue());
    if (!CanEditValue()) {
        Key = 0;
        return;
    }
    if (ctrl || (Key == VK_TAB && InGrid())) return;
    const bool dropped = IsDroppedDown();
    if (!dropped) {
        if (IsDateTimeEditChar(static_cast<unsigned char>(MapVirtualKey(Key, 2))) && !alt) {
            const bool empty = Text().empty() || FDateTime == 0 ||
                               (!EditsTimeOnly() && WholeDays(FDateTime) == 0) ||
                               (EditsTimeOnly() && TimeOf(FDateTime) == 0 && false);
            if (empty && (Text().empty() || FDateTime == 0)) FirstKeyDefault(Key);
            else if (!Text().empty() && SelText() == Text()) {
                FCurrentPart = 1;
                SelectCurrentPart();
            }
        }
        if (alt) return;
        const char mapped = static_cast<char>(MapVirtualKey(Key, 2));
        if (mapped == '+' || mapped == '=') Key = VK_UP;
        else if (mapped == '-') Key = VK_DOWN;
        else if (mapped == '/' && FDigitsPending && FormatSettings().DateSeparator == '/') Key = VK_RIGHT;
        if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) Key = static_cast<WORD>('0' + (Key - VK_NUMPAD0));
        if (FDigitsPending) {
            const int code = Key + (Shift.Contains(ssShift) ? 256 : 0);
            const int dateKey = VkKeyScan(FormatSettings().DateSeparator) & 0x1FF;
            const int timeKey = VkKeyScan(FormatSettings().TimeSeparator) & 0x1FF;
            if (code == dateKey || code == timeKey) Key = VK_RIGHT;
        }
        const bool editing = Key == VK_BACK || Key == VK_DELETE || Key == VK_UP || Key == VK_DOWN ||
                             Key == VK_HOME || Key == VK_END || IsLetterKey(Key) || IsDigitKey(Key);
        TWork W;
        if (editing) {
            FIsBlank = false;
            if (Shift.Contains(ssShift) && (Key == VK_HOME || Key == VK_END)) {
                SelectAll();
                Key = 0;
                return;
            }
            if (Key == VK_DELETE && FDigitsPending) {
                Key = 0;
                return;
            }
            if (IsLetterKey(Key) || IsDigitKey(Key)) {
                W.P = FDigitsPending;
                FDigitsPending = false;
            }
            // Stepping an empty value starts from today, within the limits.
            if (FDateTime == 0 && (Key == VK_HOME || Key == VK_END || Key == VK_UP || Key == VK_DOWN)) {
                FDateTime = std::clamp(::Date(), WholeDays(GetLowerBound()), WholeDays(GetUpperBound()));
                SetText(FormatValue(FDateTime));
            }
            ReadWork(W);
            PrepareEdit();
        }
        const TDateTime oldValue = FDateTime;
        switch (Key) {
        case VK_BACK:
        case VK_DELETE: ClearValue(W); break;
        case VK_SPACE:
        case VK_RIGHT: NextPart(); break;
        case VK_LEFT:
            CommitPendingDigits();
            FCurrentPart = std::max(1, std::min(FCurrentPart - 1, GetLastPart()));
            SelectCurrentPart();
            break;
        case VK_UP:
        case VK_DOWN: StepPart(W, Key); break;
        case VK_HOME:
        case VK_END: HomeEndPart(W, Key); break;
        case VK_F2: SelectCurrentPart(); break;
        default:
            if (IsLetterKey(Key)) {
                if (!TypeLetter(W, static_cast<char>(Key))) {
                    FDigitsPending = W.P;
                    Key = 0;
                }
            } else if (IsDigitKey(Key)) {
                const int result = TypeDigit(W, Key - '0');
                if (result < 0) {
                    MessageBeep(0);
                    FDigitsPending = W.P;
                    Key = 0;
                } else {
                    switch (TokenLetter(W.Part.Token)) {
                    case 'D': W.D = result; break;
                    case 'M': W.M = result; break;
                    case 'Y':
                        W.Y = W.Part.Token == "yy" && !FDigitsPending ? ExpandTwoDigitYear(result, FEpoch)
                                                                      : result;
                        break;
                    case 'N': W.n = result; break;
                    case 'S': W.s = result; break;
                    case 'H': W.h = AdjustHourForAmPm(W.h, result); break;
                    default: break;
                    }
                    if (!FDigitsPending && FCurrentPart != GetLastPart()) {
                        SetFromParts(W.Y, W.M, W.D, W.h, W.n, W.s, W.ms);
                        ++FCurrentPart;
                        SelectCurrentPart();
                    }
                    if (FDigitsPending) {
                        if (EditsTimeOnly()) {
                            TDateTime t = 0;
                            if (TryEncodeTime(W.h, W.n, W.s, W.ms, t)) FDateTime = t;
                        } else {
                            if (W.Y <= 99) W.Y = ExpandTwoDigitYear(W.Y, FEpoch);
                            TDateTime date = 0;
                            if (W.M != 0 && W.D != 0 && TryEncodeDate(W.Y, W.M, W.D, date)) {
                                const TDateTime v = JoinDateTime(date, W.h, W.n, W.s, W.ms);
                                if (DayNotBefore(v, W.L) && DayNotBefore(W.U, v)) FPendingValue = v;
                            }
                        }
                    }
                }
            }
            break;
        }
        const bool applies = Key == VK_DELETE || Key == VK_BACK || Key == VK_UP || Key == VK_DOWN ||
                             Key == VK_HOME || Key == VK_END || (Key != 0 && IsLetterKey(Key)) ||
                             (IsDigitKey(Key) && !FDigitsPending);
        if (applies) {
            if (Key != VK_DELETE && Key != VK_BACK) {
                SetFromParts(W.Y, W.M, W.D, W.h, W.n, W.s, W.ms);
                int h = 0, n = 0, s = 0, ms = 0;
                DecodeTime(FDateTime, h, n, s, ms);
                if (IsDateTimeKind() && UsesGeneralFormat() && TimeOf(oldValue) != 0 && h == 0 && n == 0 &&
                    s == 0) {
                    FCurrentPart = GetLastPart();
                    SelectCurrentPart();
                }
            }
            FPendingValue = 0;
            SetModifiedState(true);
        }
    }
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN || Key == VK_HOME ||
        Key == VK_END)
        Key = 0;
    else if ((Key == VK_DELETE || Key == VK_BACK) && !FDigitsPending) Key = 0;
}

void TwwDBCustomDateTimePicker::KeyPress(char& Key) {
    const bool inGrid = InGrid();
    if (inGrid && ::IsClassNamed(static_cast<const TObject*>(Parent()), "TCustomGrid"))
        GridKeyPress(Parent(), Key);
    const auto code = static_cast<unsigned char>(Key);
    if ((code >= 32 || Key == '\b') && !CanEditValue()) {
        Key = 0;
        return;
    }
    TCustomEdit::KeyPress(Key);
    if (Key == 0) {
        SetModifiedState(true);
        return;
    }
    if (Key == ' ' && Text().empty()) {
        if (Unlinked()) {
            Key = 0;
            return;
        }
        PrepareEdit();
        SetDateTime(Now());
        SetModifiedState(true);
        SelectCurrentPart();
        Key = 0;
        return;
    }
    if (code >= 32 && Field() && !Field()->IsValidChar(Key)) {
        MessageBeep(0);
        Key = 0;
        return;
    }
    switch (Key) {
    case '\r':
        if (!inGrid) {
            CommitPendingDigits();
            SelectCurrentPart();
        }
        Key = 0;
        return;
    case '\t':
        if (inGrid) Key = 0;
        return;
    case 27:
        if (FClosedByEscape) {
            FClosedByEscape = false;
            Key = 0;
            return;
        }
        RevertValue();
        SetText(GetDisplayText(FDateTime));
        SelectCurrentPart();
        FDigitsPending = false;
        Key = 0;
        if (!Text().empty()) FIsBlank = false;
        if (inGrid && !IsInInspector(this)) {
            if (Parent()->CanFocus()) Parent()->SetFocus();
        } else {
            SelectAll();
        }
        return;
    default:
        if (Key == '\b' || Key == 22 || Key == 24 || code >= 32) Key = 0;
        return;
    }
}

void TwwDBCustomDateTimePicker::Change() {
    if (FSettingFromCalendar) SetModified(true);
    TCustomEdit::Change();
    if (FDataLink) FDataLink->SetModified();
    if (Text().empty()) FDateTime = EditsTimeOnly() ? WholeDays(FDateTime) : TimeOf(FDateTime);
}

void TwwDBCustomDateTimePicker::CNKeyDown(TMessage& Message) {
    if (!ComponentState().Contains(csDesigning)) {
        const auto key = static_cast<WORD>(Message.WParam);
        if (key == VK_DELETE && IsRequiredField()) {
            Message.Result = 0;
            return;
        }
        if (IsDroppedDown()) {
            if (key == VK_TAB) CloseUp(true);
            if (key == VK_RETURN || key == VK_ESCAPE) {
                Message.Result = 0;
                return;
            }
        }
        if (InGrid() && ((key == VK_TAB && GridOptionSet(Parent(), "goTabs")) || key == VK_RETURN)) {
            TWinControl* grid = Parent();
            if (grid->CanFocus()) grid->SetFocus();
            if (grid->Focused()) {
                WORD k = key;
                grid->Perform(WM_KEYDOWN, k, 0);
                Message.Result = 1;
                return;
            }
        }
    }
    TCustomEdit::CNKeyDown(Message);
}

void TwwDBCustomDateTimePicker::ButtonClick(TObject*) {
    RepaintButtonArea();
    if (IsDroppedDown()) {
        CloseUp(true);
        return;
    }
    FDropDownFromButton = true;
    TwwFinally done([this] { FDropDownFromButton = false; });
    if (CanFocus()) SetFocus();
    TCustomForm* form = GetParentForm(this);
    if (form && form->FormStyle() == fsMDIChild) {
        if (Focused() || form->ActiveControl() == this) DropDown();
    } else if (Focused()) {
        DropDown();
    }
}

// ---------------------------------------------------------------------------
// Drop-down
// ---------------------------------------------------------------------------

bool TwwDBCustomDateTimePicker::IsDroppedDown() const { return FCalendar && FCalendar->Visible(); }

void TwwDBCustomDateTimePicker::InstallMouseHook() {
    if (FMouseHook) return;
    // A press while the calendar's own month or year menu shows belongs to the menu.
    FMouseHook = InstallDropDownMouseHook(
        this, [this]() -> TWinControl* { return FCalendar; },
        [this] { return IsDroppedDown() && !FCalendar->IsMenuShowing(); });
}

void TwwDBCustomDateTimePicker::RemoveMouseHook() {
    if (!FMouseHook) return;
    UnhookWindowsHookEx(FMouseHook);
    FMouseHook = nullptr;
}

void TwwDBCustomDateTimePicker::DropDown() {
    if (IsDroppedDown() || Unlinked() || EditsTimeOnly()) return;
    if (!CanEditValue()) {
        if (HandleAllocated()) HideCaret(Handle());
        TCustomEdit::SetReadOnly(true);
        return;
    }
    TCustomEdit::SetReadOnly(false);
    FValueBeforeDropDown = FDateTime;
    CommitPendingDigits();
    FDigitsPending = false;
    HideCaret(Handle());
    TRect window;
    GetWindowRect(Handle(), window);
    const int x = window.Left, top = window.Top;
    int y = top + Height() - (BorderStyle() == bsNone ? 0 : 1);
    const bool reused = FCalendar != nullptr;
    if (!FCalendar) {
        FCalendar = new TwwPopupCalendar(this);
        FCalendar->SetVisible(false);
        FCalendar->SetParent(this);
    }
    FCalendar->SetBorderStyle(bsSingle);
    FCalendar->SetCalColors(FCalendarAttributes->Colors());
    FCalendar->OnCalcBoldDay = OnCalcBoldDay;
    if (FCalendar->Options() != FCalendarAttributes->Options())
        FCalendar->SetOptions(FCalendarAttributes->Options());
    FCalendar->SetMinDate(0);
    FCalendar->SetMaxDate(GetUpperBound());
    FCalendar->SetMinDate(GetLowerBound());
    FCalendar->Font()->Assign(FCalendarAttributes->Font());
    FCalendar->SetPopupYearOptions(FCalendarAttributes->PopupYearOptions());
    FCalendar->SetFirstDayOfWeek(FCalendarAttributes->FirstDayOfWeek());
    TRect required;
    SendMessage(FCalendar->Handle(), MCM_GETMINREQRECT, 0, PointerToLParam(&required));
    if (Text().empty() || FDateTime == 0) {
        PrepareEdit();
        SetModifiedState(true);
        if (Text().empty()) {
            const TDateTime today = ::Date();
            // Outside the limits, today gives way to the nearer limit.
            if (!DayNotBefore(today, GetLowerBound())) SetDateTime(GetLowerBound());
            else if (!DayNotBefore(GetUpperBound(), today)) SetDateTime(GetUpperBound());
            else if (!FAutoFillDateAndTime) SetDateTime(today);
            else SetDateTime(EditsDateOnly() || UsesGeneralFormat() ? today : Now());
        }
    }
    SetText(FormatValue(FDateTime));
    if (FDateTime != 0) {
        try {
            FCalendar->SetDate(FDateTime);
        } catch (const EDateTimeError&) {
            FCalendar->ApplyDate(FDateTime);
        }
    }
    SetSelStart(0);
    SetSelLength(0);
    if (Assigned(OnDropDown)) OnDropDown(this);
    FSavedShowHint = ShowHint();
    SetShowHint(false);
    const int width = std::max(static_cast<int>(required.Right) + 2, FCalendarAttributes->Width);
    const int height = std::max(static_cast<int>(required.Bottom) + 2, FCalendarAttributes->Height);
    TRect work;
    GetWorkArea(work);
    if (y + height > work.Bottom && top - height > 0) y = top - height;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int b = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
    int left = x;
    switch (FCalendarAttributes->Alignment()) {
    case wwdtaLeft:
        if (x + width >= screenWidth) left = x + Width() - width - 1;
        break;
    case wwdtaRight:
        left = x + width < screenWidth ? x + Width() - b - width - 1 : x + Width() - width - 1;
        left = std::max(0, left);
        break;
    case wwdtaCenter:
        left = x + width < screenWidth ? x + (Width() - width - b - 1) / 2 : x + Width() - width - 1;
        left = std::max(0, left);
        break;
    }
    FCalendar->SetBounds(left + 1, y, width, height);
    SetWindowPos(FCalendar->Handle(), HWND_TOPMOST, left + 1, y, width, height,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FCalendar->SetVisible(true);
    if (reused) BringWindowToTop(FCalendar->Handle());
    InstallMouseHook();
}

void TwwDBCustomDateTimePicker::CloseUp(bool Accept) {
    if (FInCloseUp) return;
    FInCloseUp = true;
    TwwFinally done([this] {
        FInCloseUp = false;
        RemoveMouseHook();
    });
    if (!FCalendar || !FCalendar->Visible()) return;
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    const TDateTime chosen = Accept ? FCalendar->Date() : 0;
    const AnsiString text = Accept ? GetDisplayText(chosen) : AnsiString();
    SetWindowPos(FCalendar->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    FCalendar->SetVisible(false);
    if (Accept && Field()) {
        if (text != GetDisplayText(Field()->IsNull() ? 0 : Field()->AsDateTime()) && EditCanModify()) {
            if (text.empty()) SetText("");
            else SetDate(chosen);
            SetModifiedState(true);
        }
    } else if (!Accept) {
        SetDateTime(FValueBeforeDropDown);
        if (FValueBeforeDropDown == 0) SetText("");
    }
    if (Assigned(OnCloseUp)) OnCloseUp(this);
    SetShowHint(FSavedShowHint);
    Invalidate();
    SelectCurrentPart();
    SelectAll();
}

// ---------------------------------------------------------------------------
// Published class and registration
// ---------------------------------------------------------------------------

void TwwDBDateTimePicker::DescribeProperties(TPropertyTable& T) {
    using P = TwwDBCustomDateTimePicker;
    TCustomEdit::PublishEditProperties(T);
    T.Property("DataSource", &P::DataSource, &P::SetDataSource);
    T.Property("DataField", &P::DataField, &P::SetDataField);
    T.Property("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Default(false);
    T.Property("DisplayFormat", &P::DisplayFormat, &P::SetDisplayFormat);
    T.Property("DateFormat", &P::DateFormat, &P::SetDateFormat).Default(dfShort);
    T.Property("UnboundDataType", &P::UnboundDataType, &P::SetUnboundDataType).Default(wwDTEdtDateTime);
    T.Property("Epoch", &P::Epoch, &P::SetEpoch);
    T.Property("MaxDate", &P::MaxDate, &P::SetMaxDate);
    T.Property("MinDate", &P::MinDate, &P::SetMinDate);
    // After the kind and the limits, which the two setters read.
    T.Property("Date", &P::Date, &P::SetDate);
    T.Property("Time", &P::Time, &P::SetTime);
    T.Property("AutoFillDateAndTime", &P::AutoFillDateAndTime, &P::SetAutoFillDateAndTime).Default(false);
    T.Property("CalendarAttributes", &P::CalendarAttributes, &P::SetCalendarAttributes);
    T.Property("Interval", &P::Interval, &P::SetInterval);
    T.Property("Frame", &P::Frame, &P::SetFrame);
    T.Property("ButtonEffects", &P::ButtonEffects, &P::SetButtonEffects);
    T.Property("ButtonStyle", &P::ButtonStyle, &P::SetButtonStyle).Default(cbsDownArrow);
    T.Property("ButtonWidth", &P::ButtonWidth, &P::SetButtonWidth).Default(0);
    T.Property("ShowButton", &P::ShowButton, &P::SetShowButton);
    T.Property("DisableThemes", &P::DisableThemes, &P::SetDisableThemes).Default(false);
    T.Event("OnCalcBoldDay", &P::OnCalcBoldDay);
    T.Event("OnCloseUp", &P::OnCloseUp);
    T.Event("OnDropDown", &P::OnDropDown);
    T.Event("OnMouseEnter", &P::OnMouseEnter);
    T.Event("OnMouseLeave", &P::OnMouseLeave);
}

void RegisterDateTimePickerClasses() { RegisterClasses({&TwwDBDateTimePicker::StaticClassInfo()}); }
