#include "dataaware/wwmonthcalendar.h"

#include <algorithm>
#include <vector>

#include "dataaware/Wwintl.h"
#include "dataaware/wwhelpers.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/OsInfo.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MonthCal.h"

ZELMOR_IMPLEMENT_ENUM(TwwMonthOption, "mdoDayState", "mdoWeekNumbers", "mdoNoToday", "mdoNoTodayCircle",
                      "mdoMultiSelect")
ZELMOR_IMPLEMENT_ENUM(TwwCalDayOfWeek, "wwdowMonday", "wwdowTuesday", "wwdowWednesday", "wwdowThursday",
                      "wwdowFriday", "wwdowSaturday", "wwdowSunday", "wwdowLocaleDefault")
ZELMOR_IMPLEMENT_CLASS(TwwDateTimeColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwPopupYearOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TCalendarPopupMenu, TPopupMenu)
ZELMOR_IMPLEMENT_COMPONENT(TwwMonthCalendar, TWinControl)

namespace {

// Months of bold days, shared by every calendar; see the header.
std::vector<uint32_t>& DayStates() {
    static std::vector<uint32_t> States(14, 0);
    return States;
}

TDateTime Day(TDateTime V) { return DateOf(V); }

TSystemTime ToSystemTime(TDateTime V) {
    TSystemTime t;
    DateTimeToSystemTime(V, t);
    return t;
}

// The day of a month with the day lowered to the month's length.
TDateTime ClampedDate(int Year, int Month, int D) {
    TDateTime r = 0;
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12) return 0;
    TryEncodeDate(Year, Month, std::min(D, DaysInAMonth(Year, Month)), r);
    return r;
}

void RaiseAbove(TDateTime Maximum) {
    throw EDateTimeError(Format("Date exceeds maximum of %s", {DateToStr(Maximum)}));
}

void RaiseBelow(TDateTime Minimum) {
    throw EDateTimeError(Format("Date is less than minimum of %s", {DateToStr(Minimum)}));
}

}  // namespace

// ---------------------------------------------------------------------------
// Colours, year options, menus
// ---------------------------------------------------------------------------

TwwDateTimeColors::TwwDateTimeColors(TWinControl* Owner)
    : FOwner(Owner), FColors{clWindow, clWindowText, clActiveCaption,
                             clWhite,  clWhite,      clInactiveCaptionText} {}

void TwwDateTimeColors::DescribeProperties(TPropertyTable& T) {
    using C = TwwDateTimeColors;
    T.Property("TextColor", &C::TextColor, &C::SetTextColor).OfType(ColorTypeInfo()).Default(clWindowText);
    T.Property("TitleBackColor", &C::TitleBackColor, &C::SetTitleBackColor)
        .OfType(ColorTypeInfo())
        .Default(clActiveCaption);
    T.Property("TitleTextColor", &C::TitleTextColor, &C::SetTitleTextColor)
        .OfType(ColorTypeInfo())
        .Default(clWhite);
    T.Property("MonthBackColor", &C::MonthBackColor, &C::SetMonthBackColor)
        .OfType(ColorTypeInfo())
        .Default(clWhite);
    T.Property("TrailingTextColor", &C::TrailingTextColor, &C::SetTrailingTextColor)
        .OfType(ColorTypeInfo())
        .Default(clInactiveCaptionText);
}

void TwwDateTimeColors::SetColorByIndex(int Index, TColor Value) {
    if (Index < 0 || Index > 5) return;
    if (auto* calendar = dynamic_cast<TwwMonthCalendar*>(FOwner))
        SendMessage(calendar->Handle(), MCM_SETCOLOR, static_cast<WPARAM>(Index),
                    static_cast<LPARAM>(ColorToRGB(Value)));
    FColors[Index] = Value;
}

void TwwDateTimeColors::ApplyColors() {
    for (int i = 0; i < 6; ++i) SetColorByIndex(i, FColors[i]);
}

void TwwDateTimeColors::Assign(TPersistent* Source) {
    auto* colors = dynamic_cast<TwwDateTimeColors*>(Source);
    if (!colors) {
        AssignError(Source);
        return;
    }
    for (int i = 1; i < 6; ++i) FColors[i] = colors->FColors[i];
}

void TwwPopupYearOptions::DescribeProperties(TPropertyTable& T) {
    using O = TwwPopupYearOptions;
    T.Property("YearsPerColumn", &O::YearsPerColumn, &O::SetYearsPerColumn).Default(10);
    T.Property("NumberColumns", &O::NumberColumns, &O::SetNumberColumns).Default(2);
    T.Property("StartYear", &O::StartYear, &O::SetStartYear).Default(1990);
    T.Property("ShowEditYear", &O::ShowEditYear, &O::SetShowEditYear).Default(false);
}

void TwwPopupYearOptions::Assign(TPersistent* Source) {
    if (auto* o = dynamic_cast<TwwPopupYearOptions*>(Source)) {
        FYearsPerColumn = o->FYearsPerColumn;
        FNumberColumns = o->FNumberColumns;
        FStartYear = o->FStartYear;
        FShowEditYear = o->FShowEditYear;
        return;
    }
    TPersistent::Assign(Source);
}

void TCalendarPopupMenu::Popup(int X, int Y) {
    FPopping = true;
    try {
        TPopupMenu::Popup(X, Y);
    } catch (...) {
        FPopping = false;
        throw;
    }
    FPopping = false;
}

bool CommonControlsSupportNoToday() {
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSize("comctl32.dll", handle);
    if (size == 0) return true;
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfo("comctl32.dll", handle, size, block.data())) return true;
    void* buffer = nullptr;
    uint32_t len = 0;
    if (!VerQueryValue(block.data(), "\\", &buffer, &len) || !buffer) return true;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(buffer);
    return CommonControlsVersionSupportsNoToday(info->dwFileVersionMS >> 16, info->dwFileVersionMS & 0xFFFF);
}

// Compared as a version: 5.0 and 6.0 come after 4.71 as well.
bool CommonControlsVersionSupportsNoToday(uint32_t Major, uint32_t Minor) {
    return Major > 4 || (Major == 4 && Minor >= 71);
}

// ---------------------------------------------------------------------------
// TwwMonthCalendar
// ---------------------------------------------------------------------------

TwwMonthCalendar::TwwMonthCalendar(TComponent* AOwner) : TWinControl(AOwner) {
    if (!InitCommonControlsEx(ICC_DATE_CLASSES))
        throw EComponentError("This control requires version 4.70 or greater of COMCTL32.DLL");
    FColors = std::make_unique<TwwDateTimeColors>(this);
    FYearOptions = std::make_unique<TwwPopupYearOptions>();
    FDate = Now();
    SetControlStyle(TControlStyle{csClickEvents, csOpaque, csDoubleClicks, csFixedHeight});
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetCalendarWidth(155);
    FOptions = TwwMonthOptions{mdoDayState};
    FMonthMenu = NewComponent<TCalendarPopupMenu>(this);
    FMonthMenu->SetAlignment(paRight);
    for (int m = 0; m < 12; ++m) {
        auto* item = NewComponent<TMenuItem>(FMonthMenu);
        item->SetCaption(FormatSettings().LongMonthNames[static_cast<size_t>(m)]);
        item->OnClick = [this](TObject* Sender) { MonthMenuClick(Sender); };
        FMonthMenu->Items()->Add(item);
    }
}

TwwMonthCalendar::~TwwMonthCalendar() = default;

void TwwMonthCalendar::DescribeProperties(TPropertyTable& T) {
    using C = TwwMonthCalendar;
    T.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsNone);
    T.Property("CalColors", &C::CalColors, &C::SetCalColors);
    T.Property("Date", &C::Date, &C::SetDate);
    T.Property("Time", &C::Time, &C::SetTime);
    T.Property("Options", &C::Options, &C::SetOptions).Default(TwwMonthOptions{mdoDayState});
    T.Property("PopupYearOptions", &C::PopupYearOptions, &C::SetPopupYearOptions);
    T.Property("FirstDayOfWeek", &C::FirstDayOfWeek, &C::SetFirstDayOfWeek).Default(wwdowLocaleDefault);
    T.Property("MaxSelectCount", &C::MaxSelectCount, &C::SetMaxSelectCount).Default(31);
    T.Property("MaxDate", &C::MaxDate, &C::SetMaxDate);
    T.Property("MinDate", &C::MinDate, &C::SetMinDate);
    T.Property("Width", &C::CalendarWidth, &C::SetCalendarWidth);
    T.Property("Height", &C::CalendarHeight, &C::SetCalendarHeight);
    PublishStandard(T, {"Align",       "Anchors",    "Color",          "Enabled",    "Font",
                        "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",  "ShowHint",
                        "TabOrder",    "TabStop",    "Visible",        "OnClick",    "OnDblClick",
                        "OnEnter",     "OnExit",     "OnKeyDown",      "OnKeyPress", "OnKeyUp"});
    T.Event("OnCalcBoldDay", &C::OnCalcBoldDay);
    T.Event("OnChange", &C::OnChange);
    T.Event("OnMouseDown", &C::OnMouseDown);
    T.Event("OnMouseUp", &C::OnMouseUp);
    T.Event("OnMouseMove", &C::OnMouseMove);
}

void TwwMonthCalendar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, MONTHCAL_CLASS);
    if (FOptions.Contains(mdoDayState)) Params.Style |= MCS_DAYSTATE;
    if (FOptions.Contains(mdoMultiSelect)) Params.Style |= MCS_MULTISELECT;
    if (FOptions.Contains(mdoWeekNumbers)) Params.Style |= MCS_WEEKNUMBERS;
    if (FOptions.Contains(mdoNoTodayCircle)) Params.Style |= MCS_NOTODAYCIRCLE;
    if (FOptions.Contains(mdoNoToday) && CommonControlsSupportNoToday()) Params.Style |= MCS_NOTODAY;
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
    Params.WindowClass.Style = (Params.WindowClass.Style & ~(CS_HREDRAW | CS_VREDRAW)) | CS_DBLCLKS;
}

void TwwMonthCalendar::CreateWnd() {
    TWinControl::CreateWnd();
    SendRange(FMinDate, FMaxDate);
    if (FOptions.Contains(mdoMultiSelect)) {
        SendMessage(Handle(), MCM_SETMAXSELCOUNT, static_cast<WPARAM>(FMaxSelectCount), 0);
        if (Day(FSelStart) != 0 && Day(FSelEnd) != 0) SelectRange(FSelStart, FSelEnd);
        else ApplyDate(FDate);
    } else {
        ApplyDate(FDate);
    }
    FColors->ApplyColors();
    SetFirstDayOfWeek(FFirstDayOfWeek);
    FitToMinimumSize();
}

void TwwMonthCalendar::Loaded() {
    TWinControl::Loaded();
    RecreateWnd();
}

void TwwMonthCalendar::DoChange() {
    if (Assigned(OnChange)) OnChange(this);
}

void TwwMonthCalendar::FocusIfVisible() {
    if (Visible() && CanFocus()) SetFocus();
}

bool TwwMonthCalendar::IsMenuShowing() const {
    return (FYearMenu && FYearMenu->IsPopping()) || (FMonthMenu && FMonthMenu->IsPopping());
}

void TwwMonthCalendar::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TwwMonthCalendar::SetCalColors(TwwDateTimeColors* Value) {
    if (Value != FColors.get()) FColors->Assign(Value);
}

void TwwMonthCalendar::SetPopupYearOptions(TwwPopupYearOptions* Value) {
    if (Value != FYearOptions.get()) FYearOptions->Assign(Value);
}

void TwwMonthCalendar::SetOptions(TwwMonthOptions Value) {
    FOptions = Value;
    RecreateWnd();
}

void TwwMonthCalendar::SetFirstDayOfWeek(TwwCalDayOfWeek Value) {
    int day = static_cast<int>(Value);
    if (Value == wwdowLocaleDefault) {
        const AnsiString s = GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, "0");
        day = s.empty() ? 0 : s[0] - '0';
    }
    if (Parent() || HandleAllocated()) {
        HandleNeeded();
        SendMessage(Handle(), MCM_SETFIRSTDAYOFWEEK, 0, day);
    }
    FFirstDayOfWeek = Value;
}

void TwwMonthCalendar::SetMaxSelectCount(int Value) {
    if (Value == FMaxSelectCount) return;
    FMaxSelectCount = Value;
    if (Parent() || HandleAllocated())
        SendMessage(Handle(), MCM_SETMAXSELCOUNT, static_cast<WPARAM>(Value), 0);
}

void TwwMonthCalendar::SetCalendarWidth(int Value) { SetCalendarSize(Value, Height()); }

void TwwMonthCalendar::SetCalendarHeight(int Value) { SetCalendarSize(Width(), Value); }

// Neither side below what the window needs.
void TwwMonthCalendar::SetCalendarSize(int AWidth, int AHeight) {
    if (AWidth == Width() && AHeight == Height()) return;
    TRect r;
    if (HandleAllocated() && SendMessage(Handle(), MCM_GETMINREQRECT, 0, PointerToLParam(&r))) {
        if (AWidth != Width()) AWidth = std::max(AWidth, static_cast<int>(r.Right));
        if (AHeight != Height()) AHeight = std::max(AHeight, static_cast<int>(r.Bottom));
    }
    SetBounds(Left(), Top(), AWidth, AHeight);
    if (HandleAllocated() && !ComponentState().Contains(csDesigning)) RecreateWnd();
}

void TwwMonthCalendar::FitToMinimumSize() {
    if (!HandleAllocated()) return;
    TRect r;
    if (!SendMessage(Handle(), MCM_GETMINREQRECT, 0, PointerToLParam(&r))) return;
    SetBounds(Left(), Top(), std::max(Width(), static_cast<int>(r.Right)),
              std::max(Height(), static_cast<int>(r.Bottom)));
}

// --- dates and limits ---

void TwwMonthCalendar::SetMaxDate(TDateTime Value) {
    if (Value != 0 && FMinDate != 0 && Day(Value) < Day(FMinDate)) RaiseBelow(FMinDate);
    if (Value == FMaxDate) return;
    SendRange(FMinDate, Value);
    FMaxDate = Value;
}

void TwwMonthCalendar::SetMinDate(TDateTime Value) {
    if (FMaxDate != 0 && Day(Value) > Day(FMaxDate)) RaiseAbove(FMaxDate);
    if (Value == FMinDate) return;
    SendRange(Value, FMaxDate);
    FMinDate = Value;
}

void TwwMonthCalendar::SendRange(TDateTime Minimum, TDateTime Maximum) {
    if (!HandleAllocated()) return;
    WPARAM flags = 0;
    TSystemTime range[2];
    if (Minimum != 0) {
        flags |= GDTR_MIN;
        range[0] = ToSystemTime(Minimum);
    }
    if (Maximum != 0) {
        flags |= GDTR_MAX;
        range[1] = ToSystemTime(Maximum);
    }
    if (flags) SendMessage(Handle(), MCM_SETRANGE, flags, PointerToLParam(range));
}

void TwwMonthCalendar::ApplyDate(TDateTime Value) {
    if (FMaxDate != 0 && Day(Value) > Day(FMaxDate)) Value = FMaxDate;
    else if (FMinDate != 0 && Day(Value) < Day(FMinDate)) Value = FMinDate;
    else if (FMinDate == 0 && Day(Value) < 0) Value = EncodeDate(1899, 12, 31);
    if (FOptions.Contains(mdoMultiSelect)) FSelStart = FSelEnd = Value;
    if (SelectDay(Value)) FDate = Value;
}

bool TwwMonthCalendar::SelectDay(TDateTime Value) {
    if (FOptions.Contains(mdoMultiSelect)) return SelectRange(Value, Value);
    if (!HandleAllocated()) return true;
    TSystemTime t = ToSystemTime(Value);
    return SendMessage(Handle(), MCM_SETCURSEL, 0, PointerToLParam(&t)) != 0;
}

bool TwwMonthCalendar::SelectRange(TDateTime Start, TDateTime End) {
    if (!FOptions.Contains(mdoMultiSelect)) return false;
    bool accepted = true;
    if (HandleAllocated()) {
        TSystemTime range[2] = {ToSystemTime(Start), ToSystemTime(End)};
        accepted = SendMessage(Handle(), MCM_SETSELRANGE, 0, PointerToLParam(range)) != 0;
    }
    FSelStart = std::min(Day(Start), Day(End));
    FSelEnd = std::max(Day(Start), Day(End));
    return accepted;
}

void TwwMonthCalendar::SetDate(TDateTime Value) {
    if (Day(Value) == Day(FDate)) return;
    const TDateTime value = ComposeDateTime(Day(Value), TimeOf(FDate));
    if (value == 0) {
        Invalidate();
        return;
    }
    try {
        if (FMaxDate != 0 && Day(value) > Day(FMaxDate)) RaiseAbove(FMaxDate);
        if (FMinDate != 0 && Day(value) < Day(FMinDate)) RaiseBelow(FMinDate);
    } catch (...) {
        ApplyDate(FDate);
        throw;
    }
    ApplyDate(value);
}

void TwwMonthCalendar::SetTime(TDateTime Value) {
    if (TimeOf(Value) == TimeOf(FDate)) return;
    const TDateTime value = ComposeDateTime(Day(FDate), TimeOf(Value));
    if (value == 0) Invalidate();
    else ApplyDate(value);
}

void TwwMonthCalendar::SetSelectionStart(TDateTime Value) { SetSelectionEdge(FSelStart, Value); }

void TwwMonthCalendar::SetSelectionEnd(TDateTime Value) { SetSelectionEdge(FSelEnd, Value); }

void TwwMonthCalendar::SetSelectionEdge(TDateTime& Edge, TDateTime Value) {
    const TDateTime day = Day(Value);
    if (day == 0) {
        Invalidate();
        return;
    }
    if (FMaxDate != 0 && day > Day(FMaxDate)) {
        Edge = FMaxDate;
        RaiseAbove(FMaxDate);
    }
    if (FMinDate != 0 && day < Day(FMinDate)) {
        Edge = FMinDate;
        RaiseBelow(FMinDate);
    }
    Edge = day;
    if (FSelStart != 0 && FSelEnd != 0 && FSelEnd != FSelStart) SelectRange(FSelStart, FSelEnd);
}

// --- notifications ---

void TwwMonthCalendar::SelectionChanged(TDateTime Start, TDateTime End) {
    const TDateTime oldStart = FSelStart, oldEnd = FSelEnd;
    if (FMinDate != 0 && Day(Start) < Day(FMinDate)) SetSelectionStart(FMinDate);
    else FSelStart = Day(Start);
    if (FOptions.Contains(mdoMultiSelect)) {
        if (FMinDate != 0 && Day(End) < Day(FMinDate)) SetSelectionEnd(FMinDate);
        else FSelEnd = Day(End);
        if (FSelStart != oldStart || FSelEnd != oldEnd) FSelectionChanged = true;
    } else {
        SetSelectionEnd(FSelStart);
    }
    if (FSelStart == FSelEnd && FSelStart != Day(FDate)) {
        SetDate(FSelStart);
        DoChange();
    }
}

void TwwMonthCalendar::DayStateRequested(TNMDayState& Request) {
    if (ComponentState().Contains(csLoading)) return;
    std::vector<uint32_t>& states = DayStates();
    const int count = std::max(0, Request.cDayState);
    if (static_cast<int>(states.size()) < count) states.resize(static_cast<size_t>(count), 0);
    for (int i = 0; i < count; ++i) {
        const int startMonth = Request.stStart.wMonth;
        int month = (startMonth + i) % 12;
        if (month == 0) month = 12;
        const int year = Request.stStart.wYear + (startMonth + i - 1) / 12;
        if (year >= 10000) continue;
        uint32_t mask = 0;
        // Only the months the shared list held before it had to grow are
        // asked; the others stay empty.
        if (i < 14) {
            for (int d = 1; d <= DaysInAMonth(year, month); ++d) {
                bool accept = false;
                if (Assigned(OnCalcBoldDay))
                    OnCalcBoldDay(this, EncodeDate(year, month, d), month, d, year, accept);
                if (accept) mask |= 1u << (d - 1);
            }
        }
        states[static_cast<size_t>(i)] = mask;
    }
    Request.prgDayState = states.data();
}

// --- messages ---

bool TwwMonthCalendar::HitTest(int X, int Y, unsigned& Hit, TSystemTime& St) {
    TMCHitTestInfo info;
    info.pt = TPoint(X, Y);
    Hit = static_cast<unsigned>(SendMessage(Handle(), MCM_HITTEST, 0, PointerToLParam(&info)));
    St = info.st;
    return true;
}

bool TwwMonthCalendar::OutsideLimits(const TSystemTime& St) const {
    if ((St.wDay < 1 || St.wDay > 31) || St.wYear < 1 || St.wYear > 9999) return false;
    const TDateTime d = ClampedDate(St.wYear, St.wMonth, St.wDay);
    return (FMaxDate != 0 && d > Day(FMaxDate)) || (FMinDate != 0 && d < Day(FMinDate));
}

void TwwMonthCalendar::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        auto* header = LParamToPointer<TNMHdr>(Message.LParam);
        Message.Result = 0;
        if (header && header->code == MCN_SELCHANGE) {
            const auto* n = reinterpret_cast<const TNMSelChange*>(header);
            SelectionChanged(SystemTimeToDateTime(n->stSelStart), SystemTimeToDateTime(n->stSelEnd));
            return;
        }
        if (header && header->code == MCN_GETDAYSTATE) {
            DayStateRequested(*reinterpret_cast<TNMDayState*>(header));
            return;
        }
        TWinControl::WndProc(Message);
        return;
    }
    const bool active =
        !ComponentState().Contains(csDesigning) && HandleAllocated() && IsWindowVisible(Handle());
    if (active && (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)) {
        FYearMenuUp = FYearMenu && FYearMenu->IsPopping();
        FMonthMenuUp = FMonthMenu && FMonthMenu->IsPopping();
        unsigned hit = 0;
        TSystemTime st;
        HitTest(Message.XPos(), Message.YPos(), hit, st);
        const TShiftState shift = KeysToShiftState(Message.Keys());
        if (hit == MCHT_TITLEMONTH || hit == MCHT_TITLEYEAR || hit == MCHT_TITLEBTNNEXT ||
            hit == MCHT_TITLEBTNPREV || (hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE) {
            if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && st.wYear >= 10000) {
                Message.Result = 1;
                return;
            }
            if ((hit & MCHT_CALENDARDATE) != MCHT_CALENDARDATE || OutsideLimits(st)) {
                MouseDown(mbLeft, shift, Message.XPos(), Message.YPos());
                Message.Result = 1;
                return;
            }
        }
    } else if (active && (Message.Msg == WM_MOUSEMOVE || Message.Msg == WM_LBUTTONUP)) {
        unsigned hit = 0;
        TSystemTime st;
        HitTest(Message.XPos(), Message.YPos(), hit, st);
        if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && st.wYear < 10000 && OutsideLimits(st)) {
            if (Message.Msg == WM_LBUTTONUP) {
                if (GetCapture() == Handle()) ReleaseCapture();
                MouseUp(mbLeft, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
            }
            Message.Result = 1;
            return;
        }
    }
    TWinControl::WndProc(Message);
}

void TwwMonthCalendar::CMColorChanged(TMessage& Message) {
    TWinControl::CMColorChanged(Message);
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, true);
}

void TwwMonthCalendar::CMFontChanged(TMessage& Message) {
    TWinControl::CMFontChanged(Message);
    FitToMinimumSize();
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, true);
}

void TwwMonthCalendar::CNKeyDown(TMessage& Message) {
    if (!ComponentState().Contains(csDesigning)) {
        const WORD key = static_cast<WORD>(Message.WParam);
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
        if (((key == VK_PRIOR || key == VK_NEXT || arrow) && !ctrl) ||
            (arrow && ctrl && IsInCustomGrid(this))) {
            Message.Result = 0;
            return;
        }
    }
    TWinControl::CNKeyDown(Message);
}

void TwwMonthCalendar::CMShowingChanged(TMessage& Message) {
    TWinControl::CMShowingChanged(Message);
    FYearMenuClosed = FMonthMenuClosed = false;
}

// --- keys ---

void TwwMonthCalendar::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key != VK_PRIOR && Key != VK_NEXT && Key != VK_LEFT && Key != VK_RIGHT && Key != VK_UP &&
        Key != VK_DOWN)
        return;
    TDateTime current = Day(FDate);
    const bool multi = FOptions.Contains(mdoMultiSelect);
    TDateTime first = current, last = current;
    if (multi) {
        TSystemTime range[2];
        if (HandleAllocated() && SendMessage(Handle(), MCM_GETSELRANGE, 0, PointerToLParam(range))) {
            first = SystemTimeToDateTime(range[0]);
            last = SystemTimeToDateTime(range[1]);
        }
        if (first == last) current = first;
        else if (Key == VK_PRIOR || Key == VK_NEXT) {
            Key = 0;
            return;
        }
    } else if (HandleAllocated()) {
        TSystemTime cur;
        if (SendMessage(Handle(), MCM_GETCURSEL, 0, PointerToLParam(&cur)))
            current = SystemTimeToDateTime(cur);
    }
    int y = 0, m = 0, d = 0;
    DecodeDate(current, y, m, d);
    if (multi && Shift.Contains(ssShift) && Key != VK_PRIOR && Key != VK_NEXT) {
        const int step = Key == VK_RIGHT ? 1 : Key == VK_LEFT ? -1 : Key == VK_DOWN ? 7 : -7;
        if (Day(last) > Day(FDate)) SelectRange(FDate, Day(last + step));
        else SelectRange(Day(first + step), FDate);
    } else if (Key == VK_PRIOR) {
        if (--m < 1) m = 12, --y;
        TDateTime target = ClampedDate(y, m, d);
        if (FMinDate != 0 && target <= Day(FMinDate)) target = FMinDate;
        SetDate(target);
    } else if (Key == VK_NEXT) {
        if (++m > 12) m = 1, ++y;
        TDateTime target = ClampedDate(y, m, d);
        if (FMaxDate != 0 && target >= Day(FMaxDate)) target = FMaxDate;
        SetDate(target);
    } else if (Key == VK_LEFT) {
        if (FDate != FMinDate) SetDate(FDate - 1);
    } else if (Key == VK_RIGHT) {
        if (FDate != FMaxDate) SetDate(FDate + 1);
    } else if (Key == VK_UP) {
        if (FMinDate == 0 || Day(FDate - 7) >= Day(FMinDate)) SetDate(FDate - 7);
    } else if (Key == VK_DOWN) {
        if (FMaxDate == 0 || Day(FDate + 7) <= Day(FMaxDate)) SetDate(FDate + 7);
    }
    DoChange();
    Key = 0;
}

// --- mouse ---

void TwwMonthCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbRight) {
        TWinControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (!::IsClassNamed(static_cast<const TObject*>(Owner()), "TwwDBCustomDateTimePicker") && CanFocus() &&
        !Focused())
        SetFocus();
    unsigned hit = 0;
    TSystemTime st;
    HitTest(X, Y, hit, st);
    if (Assigned(OnMouseDown)) {
        try {
            OnMouseDown(this, Button, Shift, X, Y, st.wMonth, st.wDay >= 1 && st.wDay <= 32 ? st.wDay : 0,
                        st.wYear);
        } catch (...) {
            FYearMenuClosed = FMonthMenuClosed = false;
            return;
        }
    }
    if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE) {
        FYearMenuClosed = FMonthMenuClosed = false;
        const TDateTime d = ClampedDate(st.wYear, st.wMonth, st.wDay);
        if (FMaxDate != 0 && d > Day(FMaxDate)) SetDate(FMaxDate);
        else if (FMinDate != 0 && d < Day(FMinDate)) SetDate(FMinDate);
        return;
    }
    switch (hit) {
    case MCHT_TITLEBTNPREV: TitleButton(false); return;
    case MCHT_TITLEBTNNEXT: TitleButton(true); return;
    case MCHT_TITLEYEAR: ShowYearMenu(X, Y, st); return;
    case MCHT_TITLEMONTH: ShowMonthMenu(X, Y, st); return;
    default: FYearMenuClosed = FMonthMenuClosed = false;
    }
}

void TwwMonthCalendar::MouseMove(TShiftState Shift, int X, int Y) {
    unsigned hit = 0;
    TSystemTime st;
    HitTest(X, Y, hit, st);
    if (Assigned(OnMouseMove)) OnMouseMove(this, Shift, X, Y, st.wMonth, st.wDay, st.wYear);
}

void TwwMonthCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    unsigned hit = 0;
    TSystemTime st;
    HitTest(X, Y, hit, st);
    if (Assigned(OnMouseUp))
        OnMouseUp(this, Button, Shift, X, Y, st.wMonth, st.wDay >= 1 && st.wDay <= 32 ? st.wDay : 0,
                  st.wYear);
    if (FOptions.Contains(mdoMultiSelect)) {
        if (FSelectionChanged) DoChange();
        FSelectionChanged = false;
    }
}

void TwwMonthCalendar::VisibleRange(TSystemTime& First, TSystemTime& Last) {
    TSystemTime range[2];
    SendMessage(Handle(), MCM_GETMONTHRANGE, GMR_VISIBLE, PointerToLParam(range));
    First = range[0];
    Last = range[1];
}

void TwwMonthCalendar::TitleButton(bool Next) {
    FYearMenuClosed = FMonthMenuClosed = false;
    TSystemTime first, last;
    VisibleRange(first, last);
    const int step = static_cast<int>(SendMessage(Handle(), MCM_GETMONTHDELTA, 0, 0));
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    if (!Next) {
        int ty = first.wYear, tm = first.wMonth - step;
        while (tm <= 0) tm += 12, --ty;
        const TDateTime target = ClampedDate(ty, tm, d);
        if (target == 0 || (FMinDate != 0 && target < Day(FMinDate))) {
            if (FMinDate != 0) SetDate(Day(FMinDate));
            MessageBeep(0);
        } else {
            SetDate(target);
        }
    } else {
        int ty = last.wYear, tm = last.wMonth + step;
        while (tm > 12) tm -= 12, ++ty;
        if (FMaxDate != 0 && (ty > 9999 || ClampedDate(ty, tm, d) > Day(FMaxDate))) {
            SetDate(Day(FMaxDate));
            MessageBeep(0);
        } else if (ty > 9999) {
            MessageBeep(0);
        } else {
            SetDate(ClampedDate(ty, tm, d));
        }
    }
    DoChange();
}

TDateTime TwwMonthCalendar::DateInYear(int Year, int Month) const {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    return ClampedDate(Year, Month == 0 ? m : Month, d);
}

bool TwwMonthCalendar::YearAllowed(int Year) const {
    const TDateTime d = DateInYear(Year, 0);
    if (d == 0) return false;
    if (FMaxDate != 0 && d > Day(FMaxDate)) return false;
    if (FMinDate != 0 ? d < Day(FMinDate) : d < EncodeDate(1899, 12, 30)) return false;
    return true;
}

void TwwMonthCalendar::ShowYearMenu(int X, int Y, const TSystemTime& St) {
    FMonthMenuClosed = false;
    if ((FYearMenuUp || FYearMenuClosed) && St.wMonth == FMenuMonth) {
        FYearMenuClosed = false;
        return;
    }
    FMenuMonth = St.wMonth;
    unsigned hit = 0;
    TSystemTime st;
    int bottom = Y;
    while (bottom < Height() && HitTest(X, bottom + 1, hit, st) && hit == MCHT_TITLEYEAR) ++bottom;
    int left = X;
    while (left > 0 && HitTest(left - 1, bottom, hit, st) && hit == MCHT_TITLEYEAR) --left;
    if (!FYearMenu) FYearMenu = NewComponent<TCalendarPopupMenu>(this);
    while (FYearMenu->Items()->Count() > 0) {
        TMenuItem* item = FYearMenu->Items()->Items(0);
        FYearMenu->Items()->Remove(item);
        item->Free();
    }
    const TwwPopupYearOptions& o = *FYearOptions;
    auto add = [&](const AnsiString& Caption) {
        auto* item = NewComponent<TMenuItem>(FYearMenu);
        item->SetCaption(Caption);
        if (Caption != "-") item->OnClick = [this](TObject* Sender) { YearMenuClick(Sender); };
        FYearMenu->Items()->Add(item);
        return item;
    };
    const AnsiString label =
        DefaultIntl ? DefaultIntl->MonthCalendar()->PopupYearLabel() : AnsiString("Edit Year");
    if (o.ShowEditYear()) {
        add(label);
        add("-");
    }
    const int years = o.YearsPerColumn() * o.NumberColumns();
    for (int i = 0; i < years; ++i) {
        const int year = o.StartYear() + i;
        TMenuItem* item = add(IntToStr(year));
        item->SetChecked(year == St.wYear);
        const TDateTime t = DateInYear(year, 0);
        item->SetEnabled(t != 0 && !(FMaxDate != 0 && t > Day(FMaxDate)) &&
                         !(FMinDate != 0 && t < Day(FMinDate)));
        const bool newColumn = o.YearsPerColumn() > 0 && i % o.YearsPerColumn() == 0 && i > 0;
        const bool editColumn = i == 0 && o.ShowEditYear() && o.YearsPerColumn() != 1;
        if (newColumn || editColumn) item->SetBreak(mbBarBreak);
    }
    if (o.ShowEditYear() && o.YearsPerColumn() != 1) {
        int width = 0;
        if (TCustomForm* form = GetParentForm(this)) width = form->Canvas()->TextWidth(label);
        left -= width + Screen->PixelsPerInch() * 45 / 96;
    }
    FTitleHit = St;
    FYearMenuClosed = false;
    const TPoint p = ClientToScreen(TPoint(left, bottom + 2));
    FYearMenu->Popup(p.x, p.y);
    FYearMenuClosed = true;
}

void TwwMonthCalendar::ShowMonthMenu(int X, int Y, const TSystemTime& St) {
    FYearMenuClosed = false;
    if ((FMonthMenuUp || FMonthMenuClosed) && FMenuMonth == St.wMonth) {
        FYearMenuClosed = FMonthMenuClosed = false;
        return;
    }
    FMenuMonth = St.wMonth;
    unsigned hit = 0;
    TSystemTime st;
    int bottom = Y;
    while (bottom < Height() && HitTest(X, bottom + 1, hit, st) && hit == MCHT_TITLEMONTH) ++bottom;
    int right = X;
    while (right < Width() && HitTest(right + 1, bottom, hit, st) && hit == MCHT_TITLEMONTH) ++right;
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    for (int i = 0; i < 12; ++i) {
        TMenuItem* item = FMonthMenu->Items()->Items(i);
        item->SetChecked(i + 1 == St.wMonth);
        item->SetEnabled(true);
        const TDateTime target = ClampedDate(St.wYear, i + 1, d);
        if ((FMaxDate != 0 && target > Day(FMaxDate)) || (FMinDate != 0 && target < Day(FMinDate)))
            item->SetEnabled(false);
    }
    FTitleHit = St;
    FMonthMenuClosed = false;
    const TPoint p = ClientToScreen(TPoint(right, bottom + 2));
    FMonthMenu->Popup(p.x, p.y);
    FMonthMenuClosed = true;
}

bool TwwMonthCalendar::AskYear(int Lowest, int Highest, int& Year) {
    const AnsiString prompt =
        DefaultIntl ? DefaultIntl->MonthCalendar()->EnterYearPrompt() : AnsiString("Enter Valid Year");
    AnsiString caption = prompt, text;
    if (Lowest && Highest) caption += " (" + IntToStr(Lowest) + "-" + IntToStr(Highest) + ")";
    else if (Lowest) caption += " (>=" + IntToStr(Lowest) + ")", text = "Enter New Year:";
    else if (Highest) caption += " (<=" + IntToStr(Highest) + ")", text = "Enter New Year:";
    else text = " ";
    const bool limitsHaveYears = (FMinDate == 0 || Lowest != 0) && (FMaxDate == 0 || Highest != 0);
    auto intoAllowed = [&](int Y) {
        if (!limitsHaveYears) return Y;
        const TDateTime d = DateInYear(Y, 0);
        if (FMaxDate != 0 && (d == 0 || d > Day(FMaxDate))) return Highest;
        if (FMinDate != 0 && (d == 0 || d < Day(FMinDate))) return Lowest;
        return Y;
    };
    AnsiString answer = IntToStr(intoAllowed(FTitleHit.wYear));
    for (;;) {
        // Cancel ends the question without a change.
        if (!InputQuery(caption, text, answer)) return false;
        int64_t value = 0;
        const bool number =
            TryStrToInt64(answer, value) && value != -1 && value >= -100000 && value <= 100000;
        if (number && YearAllowed(static_cast<int>(value))) {
            Year = static_cast<int>(value);
            return true;
        }
        if (number && limitsHaveYears) answer = IntToStr(intoAllowed(static_cast<int>(value)));
    }
}

void TwwMonthCalendar::YearMenuClick(TObject* Sender) {
    FYearMenuClosed = FMonthMenuClosed = false;
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    TSystemTime first, last;
    VisibleRange(first, last);
    int y = 0, m = 0, d = 0, ly = 0, lm = 0, ld = 0, hy = 0, hm = 0, hd = 0;
    DecodeDate(FDate, y, m, d);
    int lowest = 0, highest = 0;
    if (Day(FMinDate) != 0) {
        DecodeDate(FMinDate, ly, lm, ld);
        lowest = ly + ((m < lm || (m == lm && d < ld)) ? 1 : 0);
    }
    if (Day(FMaxDate) != 0) {
        DecodeDate(FMaxDate, hy, hm, hd);
        highest = hy - ((m > hm || (m == hm && d > hd)) ? 1 : 0);
    }
    const AnsiString label =
        DefaultIntl ? DefaultIntl->MonthCalendar()->PopupYearLabel() : AnsiString("Edit Year");
    int year = 0;
    if (item->Caption() == label) {
        if (!AskYear(lowest, highest, year)) return;
    } else if (!TryStrToInt(item->Caption(), year)) {
        return;
    }
    const int shown = FTitleHit.wYear;
    if (year == shown) return;
    SelectDay(year > shown ? EncodeDate(year, last.wMonth, 1) : EncodeDate(year, first.wMonth, 1));
    SetDate(ClampedDate(year, m, d));
    DoChange();
}

void TwwMonthCalendar::MonthMenuClick(TObject* Sender) {
    FYearMenuClosed = FMonthMenuClosed = false;
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    TSystemTime first, last;
    VisibleRange(first, last);
    const auto& names = FormatSettings().LongMonthNames;
    const int chosen =
        static_cast<int>(std::find(names.begin(), names.end(), item->Caption()) - names.begin()) + 1;
    const int shownMonth = FTitleHit.wMonth, shownYear = FTitleHit.wYear;
    if (chosen > 12 || chosen == shownMonth) return;
    int ty = 0, tm = 0;
    if (chosen > shownMonth) {
        ty = last.wYear;
        tm = last.wMonth + (chosen - shownMonth);
        if (tm > 12) tm -= 12, ++ty;
    } else {
        ty = first.wYear;
        tm = first.wMonth - (shownMonth - chosen);
        if (tm < 1) tm += 12, --ty;
    }
    SelectDay(EncodeDate(ty, tm, 1));
    SetDate(ClampedDate(shownYear, chosen, d));
    DoChange();
}

void RegisterMonthCalendarClasses() { RegisterClasses({&TwwMonthCalendar::StaticClassInfo()}); }
