#pragma once
// The month-calendar window class "SysMonthCal32": one or more months in a
// grid, a title with the month and year and two scroll buttons, the day
// names, optional week numbers, trailing days of the months before and after,
// and a line with today's date. It keeps the selected day (or a range of days
// with MCS_MULTISELECT), the date limits, six colours, the first day of the
// week and the bold days of the shown months, answers the MCM_ messages, and
// tells its notification window (its parent when it was created) of
// selection changes (MCN_SELCHANGE, MCN_SELECT) and, with MCS_DAYSTATE, asks
// it for the bold days (MCN_GETDAYSTATE) whenever other months come into view.
//
// Layout, from the font given by WM_SETFONT (with cw the width of "00" and ch
// the font's line height):
// - a cell is cw + 8 wide and ch + 2 high; a month is a box of
//   MonthWidth = 2 * 4 + (a cell with MCS_WEEKNUMBERS) + 7 cells and
//   MonthHeight = (ch + 8) title + (ch + 3) day names + 6 cell rows + 4;
// - months stand in as many columns and rows as the client area holds (at
//   least one, at most twelve months), MonthGap (6) pixels apart, from the
//   top-left corner; the today line (a cell high plus 2) follows the last
//   row unless MCS_NOTODAY;
// - in a month's box the day grid starts 4 pixels in (after the week-number
//   column) and below the title and the day names; the first of the month
//   stands in the column of its weekday counted from the first day of the
//   week, and the days follow row by row; the first month shows the last
//   days of the month before in the cells before its first, the last month
//   the first days of the month after in the cells after its last;
// - the title centres "<month name> <year>"; the previous button sits at the
//   left of the first month's title, the next button at the right of the
//   last month of the first row, both a cell in size.
// Day numbers are centred in their cells; the selected days are filled with
// the title colours, today's cell is framed in red (unless
// MCS_NOTODAYCIRCLE) and the bold days are drawn in a bold font.
#include <cstdint>

#include "platform/rtl/DateTime.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowManager.h"

inline constexpr const char* MONTHCAL_CLASS = "SysMonthCal32";

// Makes the common-control classes named by Classes known (only the date
// classes are kept here); true when they are.
inline constexpr uint32_t ICC_DATE_CLASSES = 0x0100;
bool InitCommonControlsEx(uint32_t Classes);

// Styles.
enum : DWORD {
    MCS_DAYSTATE = 0x0001,
    MCS_MULTISELECT = 0x0002,
    MCS_WEEKNUMBERS = 0x0004,
    MCS_NOTODAYCIRCLE = 0x0008,
    MCS_NOTODAY = 0x0010
};

// Messages. Dates travel as TSystemTime; a range as an array of two.
enum : UINT {
    MCM_FIRST = 0x1000,
    MCM_GETCURSEL = MCM_FIRST + 1,           // LParam: TSystemTime*
    MCM_SETCURSEL = MCM_FIRST + 2,           // LParam: const TSystemTime*
    MCM_GETMAXSELCOUNT = MCM_FIRST + 3,      //
    MCM_SETMAXSELCOUNT = MCM_FIRST + 4,      // WParam: days
    MCM_GETSELRANGE = MCM_FIRST + 5,         // LParam: TSystemTime[2]
    MCM_SETSELRANGE = MCM_FIRST + 6,         // LParam: const TSystemTime[2]
    MCM_GETMONTHRANGE = MCM_FIRST + 7,       // WParam: GMR_; LParam: TSystemTime[2]; answers the months
    MCM_SETDAYSTATE = MCM_FIRST + 8,         // WParam: months; LParam: const uint32_t*
    MCM_GETMINREQRECT = MCM_FIRST + 9,       // LParam: TRect*
    MCM_SETCOLOR = MCM_FIRST + 10,           // WParam: MCSC_; LParam: colour; answers the old one
    MCM_GETCOLOR = MCM_FIRST + 11,           // WParam: MCSC_
    MCM_SETTODAY = MCM_FIRST + 12,           // LParam: const TSystemTime* (0: from the clock again)
    MCM_GETTODAY = MCM_FIRST + 13,           // LParam: TSystemTime*
    MCM_HITTEST = MCM_FIRST + 14,            // LParam: TMCHitTestInfo*; answers uHit
    MCM_SETFIRSTDAYOFWEEK = MCM_FIRST + 15,  // LParam: 0 Monday ... 6 Sunday; answers the old one
    MCM_GETFIRSTDAYOFWEEK = MCM_FIRST + 16,
    MCM_GETRANGE = MCM_FIRST + 17,       // LParam: TSystemTime[2]; answers GDTR_ flags
    MCM_SETRANGE = MCM_FIRST + 18,       // WParam: GDTR_ flags; LParam: const TSystemTime[2]
    MCM_GETMONTHDELTA = MCM_FIRST + 19,  // months a scroll button moves
    MCM_SETMONTHDELTA = MCM_FIRST + 20,  // WParam: months (0: as many as are shown)
};

enum : WPARAM { GDTR_MIN = 1, GDTR_MAX = 2 };
enum : WPARAM { GMR_VISIBLE = 0, GMR_DAYSTATE = 1 };

// Colour parts.
enum : WPARAM {
    MCSC_BACKGROUND = 0,
    MCSC_TEXT = 1,
    MCSC_TITLEBK = 2,
    MCSC_TITLETEXT = 3,
    MCSC_MONTHBK = 4,
    MCSC_TRAILINGTEXT = 5
};

// Hit codes.
enum : UINT {
    MCHT_NOWHERE = 0x00000000,
    MCHT_TITLE = 0x00010000,
    MCHT_CALENDAR = 0x00020000,
    MCHT_TODAYLINK = 0x00030000,
    MCHT_NEXT = 0x01000000,
    MCHT_PREV = 0x02000000,
    MCHT_TITLEBK = MCHT_TITLE,
    MCHT_TITLEMONTH = MCHT_TITLE | 0x0001,
    MCHT_TITLEYEAR = MCHT_TITLE | 0x0002,
    MCHT_TITLEBTNNEXT = MCHT_TITLE | MCHT_NEXT | 0x0003,
    MCHT_TITLEBTNPREV = MCHT_TITLE | MCHT_PREV | 0x0003,
    MCHT_CALENDARBK = MCHT_CALENDAR,
    MCHT_CALENDARDATE = MCHT_CALENDAR | 0x0001,
    MCHT_CALENDARDATENEXT = MCHT_CALENDARDATE | MCHT_NEXT,
    MCHT_CALENDARDATEPREV = MCHT_CALENDARDATE | MCHT_PREV,
    MCHT_CALENDARDAY = MCHT_CALENDAR | 0x0002,
    MCHT_CALENDARWEEKNUM = MCHT_CALENDAR | 0x0003,
};

struct TMCHitTestInfo {
    UINT cbSize = sizeof(TMCHitTestInfo);
    TPoint pt;       // client coordinates
    UINT uHit = 0;   // out
    TSystemTime st;  // out: the date under the point (the title's month, day 1)
};

// Notifications (TNMHdr::code).
enum : UINT {
    MCN_FIRST = static_cast<UINT>(-750),
    MCN_SELCHANGE = MCN_FIRST + 1,
    MCN_GETDAYSTATE = MCN_FIRST + 3,
    MCN_SELECT = MCN_FIRST + 4,
};

struct TNMSelChange {
    TNMHdr nmhdr;
    TSystemTime stSelStart;
    TSystemTime stSelEnd;
};

// The receiver points prgDayState at cDayState masks (bit d - 1 for day d),
// the first for the month of stStart; the window copies them at once.
struct TNMDayState {
    TNMHdr nmhdr;
    TSystemTime stStart;
    int cDayState = 0;
    const uint32_t* prgDayState = nullptr;
};

inline constexpr int MonthCalGap = 6;

void RegisterMonthCalClass();
