#pragma once
// The library's month calendar (TwwMonthCalendar) on the platform's
// month-calendar window (platform/ui/MonthCal.h). The control keeps the
// authoritative date, selection, limits, colours, first weekday and options
// in its own fields and pushes them into every new window; it holds the
// limits on every path (its own date writer, clicks on trailing days, the
// title buttons, the keys), marks bold days through OnCalcBoldDay, and
// replaces the window's title behaviour with its own month and year menus.
//
// Bold days: one process-wide list of day-state masks answers the
// notification of every calendar. It holds at least 14 months and grows to
// as many as a window asks for; the months past the 14th are answered empty.
//
// The year input box ends without a change when it is cancelled, whatever
// limits are set (it used to offer its default again, which a calendar whose
// limits allow no year could never leave).
#include <cstdint>
#include <memory>

#include "platform/rtl/DateTime.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"

class TwwMonthCalendar;

enum TwwMonthOption : uint8_t { mdoDayState, mdoWeekNumbers, mdoNoToday, mdoNoTodayCircle, mdoMultiSelect };
ZELMOR_DECLARE_ENUM(TwwMonthOption);
using TwwMonthOptions = TSet<TwwMonthOption>;

// Ordinals 0..6 are the window's own day numbers (Monday first).
enum TwwCalDayOfWeek : uint8_t {
    wwdowMonday,
    wwdowTuesday,
    wwdowWednesday,
    wwdowThursday,
    wwdowFriday,
    wwdowSaturday,
    wwdowSunday,
    wwdowLocaleDefault
};
ZELMOR_DECLARE_ENUM(TwwCalDayOfWeek);

// (Sender, date, month, day, year, accept)
using TCalcBoldDayEvent =
    TEvent<void(TObject* Sender, TDateTime ADate, int Month, int Day, int Year, bool& Accept)>;
// (Sender, shift, x, y, month, day, year)
using TmcMouseMoveEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y, int Month, int Day, int Year)>;
using TmcMouseUPDownEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y,
                                        int Month, int Day, int Year)>;

class TwwDateTimeColors : public TPersistent {
    ZELMOR_CLASS(TwwDateTimeColors, TPersistent)
public:
    explicit TwwDateTimeColors(TWinControl* Owner);
    static void DescribeProperties(TPropertyTable& T);
    TColor ColorByIndex(int Index) const { return FColors[static_cast<size_t>(Index)]; }
    // Sends the colour to a calendar owner's window (made when needed), then keeps it.
    void SetColorByIndex(int Index, TColor Value);
    void ApplyColors();
    TColor TextColor() const { return FColors[1]; }
    void SetTextColor(TColor V) { SetColorByIndex(1, V); }
    TColor TitleBackColor() const { return FColors[2]; }
    void SetTitleBackColor(TColor V) { SetColorByIndex(2, V); }
    TColor TitleTextColor() const { return FColors[3]; }
    void SetTitleTextColor(TColor V) { SetColorByIndex(3, V); }
    TColor MonthBackColor() const { return FColors[4]; }
    void SetMonthBackColor(TColor V) { SetColorByIndex(4, V); }
    TColor TrailingTextColor() const { return FColors[5]; }
    void SetTrailingTextColor(TColor V) { SetColorByIndex(5, V); }
    // The five published colours, unsent; anything else raises EConvertError.
    void Assign(TPersistent* Source) override;

private:
    TWinControl* FOwner;
    TColor FColors[6];
};

class TwwPopupYearOptions : public TPersistent {
    ZELMOR_CLASS(TwwPopupYearOptions, TPersistent)
public:
    TwwPopupYearOptions() = default;
    static void DescribeProperties(TPropertyTable& T);
    int YearsPerColumn() const { return FYearsPerColumn; }
    void SetYearsPerColumn(int V) { FYearsPerColumn = V; }
    int NumberColumns() const { return FNumberColumns; }
    void SetNumberColumns(int V) { FNumberColumns = V; }
    int StartYear() const { return FStartYear; }
    void SetStartYear(int V) { FStartYear = V; }
    bool ShowEditYear() const { return FShowEditYear; }
    void SetShowEditYear(bool V) { FShowEditYear = V; }
    void Assign(TPersistent* Source) override;

private:
    int FYearsPerColumn = 10;
    int FNumberColumns = 2;
    int FStartYear = 1990;
    bool FShowEditYear = false;
};

// A popup menu that knows when it is showing.
class TCalendarPopupMenu : public TPopupMenu {
    ZELMOR_CLASS(TCalendarPopupMenu, TPopupMenu)
public:
    explicit TCalendarPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
    void Popup(int X, int Y) override;
    bool IsPopping() const { return FPopping; }

private:
    bool FPopping = false;
};

// The common controls hide the today line (MCS_NOTODAY) from version 4.71 on.
bool CommonControlsSupportNoToday();
bool CommonControlsVersionSupportsNoToday(uint32_t Major, uint32_t Minor);

class TwwMonthCalendar : public TWinControl {
    ZELMOR_CLASS(TwwMonthCalendar, TWinControl)
public:
    explicit TwwMonthCalendar(TComponent* AOwner);
    ~TwwMonthCalendar() override;
    static void DescribeProperties(TPropertyTable& T);

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TwwDateTimeColors* CalColors() const { return FColors.get(); }
    void SetCalColors(TwwDateTimeColors* Value);
    TDateTime Date() const { return FDate; }
    void SetDate(TDateTime Value);
    TDateTime Time() const { return FDate; }
    void SetTime(TDateTime Value);
    TwwMonthOptions Options() const { return FOptions; }
    virtual void SetOptions(TwwMonthOptions Value);
    TwwPopupYearOptions* PopupYearOptions() const { return FYearOptions.get(); }
    void SetPopupYearOptions(TwwPopupYearOptions* Value);
    TwwCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TwwCalDayOfWeek Value);
    int MaxSelectCount() const { return FMaxSelectCount; }
    void SetMaxSelectCount(int Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime SelectionStart() const { return FSelStart; }
    TDateTime SelectionEnd() const { return FSelEnd; }
    void SetSelectionStart(TDateTime Value);
    void SetSelectionEnd(TDateTime Value);
    int CalendarWidth() const { return Width(); }
    void SetCalendarWidth(int Value);
    int CalendarHeight() const { return Height(); }
    void SetCalendarHeight(int Value);

    virtual void FocusIfVisible();
    // True while the year or the month menu is popping.
    bool IsMenuShowing() const;
    // Moves the window's selection to the day; false when it refused.
    bool SelectDay(TDateTime Value);
    bool SelectRange(TDateTime Start, TDateTime End);
    void FitToMinimumSize();
    void ApplyDate(TDateTime Value);
    TCalendarPopupMenu* MonthMenu() const { return FMonthMenu; }
    TCalendarPopupMenu* YearMenu() const { return FYearMenu; }
    void YearMenuClick(TObject* Sender);
    void MonthMenuClick(TObject* Sender);

    TNotifyEvent OnChange;
    TCalcBoldDayEvent OnCalcBoldDay;
    TmcMouseMoveEvent OnMouseMove;
    TmcMouseUPDownEvent OnMouseDown;
    TmcMouseUPDownEvent OnMouseUp;

protected:
    virtual void DoChange();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    // The window's selection changed (MCN_SELCHANGE).
    virtual void SelectionChanged(TDateTime Start, TDateTime End);

private:
    void SendRange(TDateTime Minimum, TDateTime Maximum);
    void SetSelectionEdge(TDateTime& Edge, TDateTime Value);
    void SetCalendarSize(int AWidth, int AHeight);
    void DayStateRequested(struct TNMDayState& Request);
    bool HitTest(int X, int Y, unsigned& Hit, TSystemTime& St);
    bool OutsideLimits(const TSystemTime& St) const;
    void TitleButton(bool Next);
    void ShowYearMenu(int X, int Y, const TSystemTime& St);
    void ShowMonthMenu(int X, int Y, const TSystemTime& St);
    void VisibleRange(TSystemTime& First, TSystemTime& Last);
    bool AskYear(int Lowest, int Highest, int& Year);
    bool YearAllowed(int Year) const;
    TDateTime DateInYear(int Year, int Month) const;

    TBorderStyle FBorderStyle = bsNone;
    std::unique_ptr<TwwDateTimeColors> FColors;
    std::unique_ptr<TwwPopupYearOptions> FYearOptions;
    TDateTime FDate = 0;
    TDateTime FSelStart = 0, FSelEnd = 0;
    TDateTime FMaxDate = 0, FMinDate = 0;
    TwwMonthOptions FOptions;
    int FMaxSelectCount = 31;
    bool FSelectionChanged = false;
    TCalendarPopupMenu* FYearMenu = nullptr;
    TCalendarPopupMenu* FMonthMenu = nullptr;
    bool FYearMenuUp = false, FMonthMenuUp = false;
    bool FYearMenuClosed = false, FMonthMenuClosed = false;
    TSystemTime FTitleHit;
    int FMenuMonth = 0;
    TwwCalDayOfWeek FFirstDayOfWeek = wwdowLocaleDefault;
};

void RegisterMonthCalendarClasses();
