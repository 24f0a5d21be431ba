// The month-calendar window class: its layout from the font, hit tests,
// selection and limits, the notifications to its parent, and its painting
// (where each day stands, the selected day, bold days, today's frame).
#include <gtest/gtest.h>

#include <vector>

#include "WindowTestSupport.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Regional.h"
#include "platform/ui/MonthCal.h"

namespace {

class MonthCalWindow : public ::testing::Test {
protected:
    MonthCalWindow() {
        Lab.Clock.SetNow(EncodeDate(2024, 3, 14) + 0.5);
        InitCommonControlsEx(ICC_DATE_CLASSES);
        Font.SetName("Arial");
        Font.SetSize(8);
        HDC dc = GetDC(nullptr);
        dc->Font()->Assign(&Font);
        CellW = dc->TextWidth("00") + 8;
        TTextMetric tm;
        dc->GetTextMetrics(tm);
        Ch = tm.tmHeight;
        CellH = Ch + 2;
        ReleaseDC(nullptr, dc);
        Parent = Lab.Make("parent", nullptr, TRect(0, 0, 600, 500));
        Lab.On(Parent, [this](HWND, UINT Msg, WPARAM, LPARAM LParam, LRESULT& Result) {
            if (Msg != WM_NOTIFY) return false;
            const auto* hdr = LParamToPointer<TNMHdr>(LParam);
            Codes.push_back(hdr->code);
            if (hdr->code == MCN_SELCHANGE)
                Selected = SystemTimeToDateTime(reinterpret_cast<const TNMSelChange*>(hdr)->stSelStart);
            if (hdr->code == MCN_GETDAYSTATE) {
                auto* n = LParamToPointer<TNMDayState>(LParam);
                Asked = n->cDayState;
                AskedStart = SystemTimeToDateTime(n->stStart);
                Masks.assign(static_cast<size_t>(n->cDayState), 0);
                for (uint32_t& m : Masks) m = 1u << 9;  // every 10th
                n->prgDayState = Masks.data();
            }
            Result = 0;
            return true;
        });
    }
    HWND MakeCalendar(DWORD Style, int Width = 0, int Height = 0) {
        HWND w = CreateWindowEx(0, MONTHCAL_CLASS, "", WS_CHILD | WS_VISIBLE | Style, 0, 0, 10, 10, Parent, 0,
                                nullptr);
        SendMessage(w, WM_SETFONT, reinterpret_cast<WPARAM>(&Font), 0);
        TRect r;
        SendMessage(w, MCM_GETMINREQRECT, 0, PointerToLParam(&r));
        MoveWindow(w, 0, 0, Width ? Width : r.Right, Height ? Height : r.Bottom, true);
        return w;
    }
    int MonthW(bool Weeks = false) const { return 8 + (Weeks ? CellW : 0) + 7 * CellW; }
    int MonthH() const { return (Ch + 8) + (Ch + 3) + 6 * CellH + 4; }
    // The centre of day D of the month shown in box Box (one row of Cols).
    TPoint DayPoint(TDateTime D, int FirstDayMonday0, int Box = 0) const {
        int y = 0, m = 0, d = 0;
        DecodeDate(D, y, m, d);
        const int lead = ((DayOfWeek(EncodeDate(y, m, 1)) + 5) % 7 - FirstDayMonday0 + 7) % 7;
        const int index = lead + d - 1;
        const int left = Box * (MonthW() + MonthCalGap) + 4, top = (Ch + 8) + CellH + 1;
        return TPoint(left + index % 7 * CellW + CellW / 2, top + index / 7 * CellH + CellH / 2);
    }
    UINT Hit(HWND W, TPoint P, TDateTime* D = nullptr) {
        TMCHitTestInfo info;
        info.pt = P;
        SendMessage(W, MCM_HITTEST, 0, PointerToLParam(&info));
        if (D) *D = SystemTimeToDateTime(info.st);
        return info.uHit;
    }
    void Click(HWND W, TPoint P) {
        SendMessage(W, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(P.x, P.y));
        SendMessage(W, WM_LBUTTONUP, 0, MakeLParam(P.x, P.y));
    }
    LRESULT SetCur(HWND W, TDateTime D) {
        TSystemTime t = St(D);
        return SendMessage(W, MCM_SETCURSEL, 0, PointerToLParam(&t));
    }
    TSystemTime St(TDateTime D) {
        TSystemTime t;
        DateTimeToSystemTime(D, t);
        return t;
    }

    TWindowLab Lab;
    TFormatSettingsScope Spanish{TFormatSettings()};
    TFont Font;
    int CellW = 0, CellH = 0, Ch = 0;
    HWND Parent;
    std::vector<UINT> Codes;
    TDateTime Selected = 0, AskedStart = 0;
    int Asked = 0;
    std::vector<uint32_t> Masks;
};

}  // namespace

TEST_F(MonthCalWindow, TheSizeFollowsTheFontAndTheStyles) {
    struct Case {
        DWORD Style;
        int Width, Height;
    } cases[] = {
        {0, MonthW(), MonthH() + CellH + 2},
        {MCS_NOTODAY, MonthW(), MonthH()},
        {MCS_WEEKNUMBERS, MonthW(true), MonthH() + CellH + 2},
    };
    for (const Case& c : cases) {
        HWND w = MakeCalendar(c.Style);
        TRect r;
        ASSERT_EQ(SendMessage(w, MCM_GETMINREQRECT, 0, PointerToLParam(&r)), 1);
        EXPECT_EQ(r, TRect(0, 0, c.Width, c.Height)) << c.Style;
        DestroyWindow(w);
    }
}

TEST_F(MonthCalWindow, EveryDayStandsInTheColumnOfItsWeekday) {
    for (int firstDay : {0, 6, 2}) {
        HWND w = MakeCalendar(0);
        SendMessage(w, MCM_SETFIRSTDAYOFWEEK, 0, firstDay);
        SetCur(w, EncodeDate(2024, 2, 10));
        for (int d = 1; d <= 29; ++d) {
            TDateTime hit = 0;
            EXPECT_EQ(Hit(w, DayPoint(EncodeDate(2024, 2, d), firstDay), &hit), MCHT_CALENDARDATE) << d;
            EXPECT_EQ(hit, EncodeDate(2024, 2, d)) << firstDay << " " << d;
        }
        // The cell before the 1st holds the 31st of January; the one after the 29th the 1st of March.
        TPoint first = DayPoint(EncodeDate(2024, 2, 1), firstDay);
        TDateTime trailing = 0;
        if ((DayOfWeek(EncodeDate(2024, 2, 1)) + 5 - firstDay + 7) % 7 > 0) {
            EXPECT_EQ(Hit(w, TPoint(first.x - CellW, first.y), &trailing), MCHT_CALENDARDATEPREV);
            EXPECT_EQ(trailing, EncodeDate(2024, 1, 31));
        }
        TPoint last = DayPoint(EncodeDate(2024, 2, 29), firstDay);
        if ((DayOfWeek(EncodeDate(2024, 2, 29)) + 5 - firstDay + 7) % 7 < 6) {
            EXPECT_EQ(Hit(w, TPoint(last.x + CellW, last.y), &trailing), MCHT_CALENDARDATENEXT);
            EXPECT_EQ(trailing, EncodeDate(2024, 3, 1));
        }
        DestroyWindow(w);
    }
}

TEST_F(MonthCalWindow, TheTitleHasItsButtonsMonthAndYear) {
    HWND w = MakeCalendar(0);
    const int buttonY = (Ch + 8) / 2;
    EXPECT_EQ(Hit(w, TPoint(4 + CellW / 2, buttonY)), MCHT_TITLEBTNPREV);
    EXPECT_EQ(Hit(w, TPoint(MonthW() - 4 - CellW / 2, buttonY)), MCHT_TITLEBTNNEXT);
    HDC dc = GetDC(nullptr);
    dc->Font()->Assign(&Font);
    const int all = dc->TextWidth("marzo 2024"), name = dc->TextWidth("marzo");
    ReleaseDC(nullptr, dc);
    const int x0 = (MonthW() - all) / 2;
    TDateTime title = 0;
    EXPECT_EQ(Hit(w, TPoint(x0 + 1, buttonY), &title), MCHT_TITLEMONTH);
    EXPECT_EQ(title, EncodeDate(2024, 3, 1));
    EXPECT_EQ(Hit(w, TPoint(x0 + all - 2, buttonY)), MCHT_TITLEYEAR);
    EXPECT_EQ(Hit(w, TPoint(x0 + name + 1, buttonY)), MCHT_TITLEBK);
    EXPECT_EQ(Hit(w, TPoint(CellW * 3, (Ch + 8) + 2)), MCHT_CALENDARDAY);
    EXPECT_EQ(Hit(w, TPoint(5, MonthH() + 3)), MCHT_TODAYLINK);
}

TEST_F(MonthCalWindow, ClicksButtonsAndKeysSelectWithinTheLimitsAndTellTheParent) {
    HWND w = MakeCalendar(0);
    const TSystemTime range[2] = {St(EncodeDate(2024, 3, 5)), St(EncodeDate(2024, 4, 20))};
    SendMessage(w, MCM_SETRANGE, GDTR_MIN | GDTR_MAX, PointerToLParam(range));
    Click(w, DayPoint(EncodeDate(2024, 3, 20), 0));
    EXPECT_EQ(Selected, EncodeDate(2024, 3, 20));
    TSystemTime cur;
    SendMessage(w, MCM_GETCURSEL, 0, PointerToLParam(&cur));
    EXPECT_EQ(SystemTimeToDateTime(cur), EncodeDate(2024, 3, 20));
    // A day before the minimum selects the minimum.
    Click(w, DayPoint(EncodeDate(2024, 3, 2), 0));
    EXPECT_EQ(Selected, EncodeDate(2024, 3, 5));
    // The next button scrolls one month and takes the day along.
    Click(w, TPoint(MonthW() - 4 - CellW / 2, (Ch + 8) / 2));
    EXPECT_EQ(Selected, EncodeDate(2024, 4, 5));
    TSystemTime shown[2];
    EXPECT_EQ(SendMessage(w, MCM_GETMONTHRANGE, GMR_VISIBLE, PointerToLParam(shown)), 1);
    EXPECT_EQ(SystemTimeToDateTime(shown[0]), EncodeDate(2024, 4, 1));
    SendMessage(w, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(Selected, EncodeDate(2024, 4, 20));
    EXPECT_EQ(SetCur(w, EncodeDate(2024, 5, 1)), 0);
    EXPECT_EQ(SendMessage(w, MCM_GETMONTHDELTA, 0, 0), 1);
}

TEST_F(MonthCalWindow, MultiSelectionKeepsItsRange) {
    HWND w = MakeCalendar(MCS_MULTISELECT);
    SendMessage(w, MCM_SETMAXSELCOUNT, 3, 0);
    const TSystemTime four[2] = {St(EncodeDate(2024, 3, 1)), St(EncodeDate(2024, 3, 4))};
    EXPECT_EQ(SendMessage(w, MCM_SETSELRANGE, 0, PointerToLParam(four)), 0);
    const TSystemTime back[2] = {St(EncodeDate(2024, 3, 3)), St(EncodeDate(2024, 3, 1))};
    EXPECT_EQ(SendMessage(w, MCM_SETSELRANGE, 0, PointerToLParam(back)), 1);
    TSystemTime got[2];
    SendMessage(w, MCM_GETSELRANGE, 0, PointerToLParam(got));
    EXPECT_EQ(SystemTimeToDateTime(got[0]), EncodeDate(2024, 3, 1));
    EXPECT_EQ(SystemTimeToDateTime(got[1]), EncodeDate(2024, 3, 3));
    EXPECT_EQ(SendMessage(w, MCM_GETCURSEL, 0, PointerToLParam(got)), 0);
}

TEST_F(MonthCalWindow, SeveralMonthsAskForTheirBoldDays) {
    HWND w = MakeCalendar(MCS_DAYSTATE, 2 * MonthW() + MonthCalGap, MonthH() + CellH + 2);
    Lab.Pump();
    EXPECT_EQ(Asked, 4);  // two shown and the trailing ones
    EXPECT_EQ(AskedStart, EncodeDate(2024, 2, 1));
    EXPECT_EQ(SendMessage(w, MCM_GETMONTHDELTA, 0, 0), 2);
    TDateTime hit = 0;
    EXPECT_EQ(Hit(w, DayPoint(EncodeDate(2024, 4, 18), 0, 1), &hit), MCHT_CALENDARDATE);
    EXPECT_EQ(hit, EncodeDate(2024, 4, 18));
    // The next button sits on the second month and moves two months on.
    Click(w, TPoint(2 * MonthW() + MonthCalGap - 4 - CellW / 2, (Ch + 8) / 2));
    EXPECT_EQ(AskedStart, EncodeDate(2024, 4, 1));
    EXPECT_EQ(Selected, EncodeDate(2024, 5, 14));
}

TEST_F(MonthCalWindow, PaintingShowsSelectionTodayAndBoldDays) {
    HWND w = MakeCalendar(MCS_DAYSTATE);
    SendMessage(w, MCM_SETCOLOR, MCSC_TITLEBK, RGB(0, 0, 128));
    SendMessage(w, MCM_SETCOLOR, MCSC_MONTHBK, RGB(255, 255, 255));
    SetCur(w, EncodeDate(2024, 3, 20));
    Lab.Pump();
    auto cellCorner = [&](int D) {
        TPoint p = DayPoint(EncodeDate(2024, 3, D), 0);
        return Lab.PixelAt(Parent, p.x - CellW / 2 + 1, p.y - CellH / 2 + 1);
    };
    EXPECT_EQ(cellCorner(20), 0x000080u);  // the selected day, in the title's colour
    EXPECT_EQ(cellCorner(21), 0xFFFFFFu);
    TPoint today = DayPoint(EncodeDate(2024, 3, 14), 0);
    EXPECT_EQ(Lab.PixelAt(Parent, today.x - CellW / 2, today.y - CellH / 2), 0xFF0000u);  // framed in red
    // The 10th is bold: more ink than the 11th, which has as many digits.
    auto ink = [&](int D) {
        TPoint p = DayPoint(EncodeDate(2024, 3, D), 0);
        int n = 0;
        for (int y = p.y - CellH / 2 + 1; y < p.y + CellH / 2 - 1; ++y)
            for (int x = p.x - CellW / 2 + 1; x < p.x + CellW / 2 - 1; ++x)
                n += Lab.PixelAt(Parent, x, y) != 0xFFFFFFu;
        return n;
    };
    EXPECT_GT(ink(10), ink(13));
    EXPECT_GT(ink(13), 0);
}
