// The "SysMonthCal32" window class (MonthCal.h): the state of each window,
// its layout from the font, hit testing, painting, keys and mouse, and the
// notifications to the window that was its parent when it was made.
#include "platform/ui/MonthCal.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/win/MessageQueue.h"

namespace {

constexpr int Margin = 4;
constexpr int MaxMonths = 12;

struct TCalWindow {
    HWND Wnd = nullptr;
    HWND NotifyWnd = nullptr;
    TFont Font;
    TFont* GivenFont = nullptr;
    // Days (whole TDateTime values).
    TDateTime Cur = 0, SelStart = 0, SelEnd = 0;
    TDateTime MinDate = 0, MaxDate = 0;
    bool HasMin = false, HasMax = false;
    int MaxSelCount = 7;
    int FirstDay = 0;  // 0 Monday ... 6 Sunday
    bool TodaySet = false;
    TDateTime Today = 0;
    int Delta = 0;  // 0: as many months as are shown
    int FirstYear = 2000, FirstMonth = 1;
    std::array<TColor, 6> Colors{clWindow, clWindowText, clActiveCaption, clWhite, clWhite, clGrayText};
    // Masks from the month before the first shown on.
    std::vector<uint32_t> DayState;
    int DayStateYear = 0, DayStateMonth = 0;
    bool DayStateAsked = false;
    bool Tracking = false;
    TDateTime Anchor = 0;

    DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
    bool Multi() const { return Style() & MCS_MULTISELECT; }
};

std::unordered_map<HWND, std::unique_ptr<TCalWindow>>& Calendars() {
    static std::unordered_map<HWND, std::unique_ptr<TCalWindow>> Map;
    return Map;
}

TCalWindow* Find(HWND Wnd) {
    auto It = Calendars().find(Wnd);
    return It == Calendars().end() ? nullptr : It->second.get();
}

TPoint PointOf(LPARAM LParam) {
    return TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
}

TDateTime Day(TDateTime V) { return DateOf(V); }

TDateTime FromSystemTime(const TSystemTime& T) {
    TDateTime d = 0;
    if (!TryEncodeDate(T.wYear, T.wMonth, T.wDay, d)) return 0;
    return d;
}

TSystemTime ToSystemTime(TDateTime V) {
    TSystemTime t;
    DateTimeToSystemTime(Day(V), t);
    return t;
}

TSystemTime YearMonthDay(int Year, int Month, int D) {
    TSystemTime t;
    t.wYear = static_cast<uint16_t>(Year);
    t.wMonth = static_cast<uint16_t>(Month);
    t.wDay = static_cast<uint16_t>(D);
    return t;
}

void MonthStep(int& Year, int& Month, int Count) {
    int index = Year * 12 + (Month - 1) + Count;
    Year = index / 12;
    Month = index % 12 + 1;
}

TDateTime Today(const TCalWindow& C) { return C.TodaySet ? C.Today : Day(Date()); }

// --- layout ---

struct TLayout {
    int CellW = 0, CellH = 0, TitleH = 0, WeekW = 0;
    int MonthW = 0, MonthH = 0, TodayH = 0;
    int Cols = 1, Rows = 1, Count = 1;
};

class TMeasureDC {
public:
    explicit TMeasureDC(const TCalWindow& C) : FDC(GetDC(nullptr)) {
        if (FDC) FDC->Font()->Assign(const_cast<TFont*>(&C.Font));
    }
    ~TMeasureDC() {
        if (FDC) ReleaseDC(nullptr, FDC);
    }
    TMeasureDC(const TMeasureDC&) = delete;
    TMeasureDC& operator=(const TMeasureDC&) = delete;
    HDC DC() const { return FDC; }

private:
    HDC FDC;
};

int LineHeight(HDC DC) {
    TTextMetric tm;
    return DC && DC->GetTextMetrics(tm) ? std::max(1, static_cast<int>(tm.tmHeight)) : 13;
}

TLayout Layout(const TCalWindow& C) {
    TLayout L;
    TMeasureDC m(C);
    const int cw = m.DC() ? m.DC()->TextWidth("00") : 14;
    const int ch = LineHeight(m.DC());
    L.CellW = cw + 8;
    L.CellH = ch + 2;
    L.TitleH = ch + 8;
    L.WeekW = (C.Style() & MCS_WEEKNUMBERS) ? L.CellW : 0;
    L.MonthW = 2 * Margin + L.WeekW + 7 * L.CellW;
    L.MonthH = L.TitleH + ch + 3 + 6 * L.CellH + Margin;
    L.TodayH = (C.Style() & MCS_NOTODAY) ? 0 : L.CellH + 2;
    TRect r;
    GetClientRect(C.Wnd, r);
    L.Cols = std::max(1, (r.Width() + MonthCalGap) / (L.MonthW + MonthCalGap));
    L.Rows = std::max(1, (r.Height() - L.TodayH + MonthCalGap) / (L.MonthH + MonthCalGap));
    L.Count = std::min(MaxMonths, L.Cols * L.Rows);
    L.Rows = (L.Count + L.Cols - 1) / L.Cols;
    return L;
}

TRect MonthBox(const TLayout& L, int I) {
    const int left = (I % L.Cols) * (L.MonthW + MonthCalGap);
    const int top = (I / L.Cols) * (L.MonthH + MonthCalGap);
    return TRect(left, top, left + L.MonthW, top + L.MonthH);
}

TPoint GridOrigin(const TLayout& L, const TRect& Box) {
    return TPoint(Box.Left + Margin + L.WeekW, Box.Top + L.TitleH + L.CellH + 1);
}

// Cells before the first of the month in its first row.
int Lead(const TCalWindow& C, int Year, int Month) {
    const int monday0 = (DayOfWeek(EncodeDate(Year, Month, 1)) + 5) % 7;
    return (monday0 - C.FirstDay + 7) % 7;
}

int LastShownIndex(const TLayout& L) { return L.Count - 1; }

void LastShownMonth(const TCalWindow& C, const TLayout& L, int& Year, int& Month) {
    Year = C.FirstYear;
    Month = C.FirstMonth;
    MonthStep(Year, Month, LastShownIndex(L));
}

// The date in cell Index (0..41) of shown month I; 0 when the cell is empty.
TDateTime CellDate(const TCalWindow& C, const TLayout& L, int I, int Index, UINT& Kind) {
    int y = C.FirstYear, m = C.FirstMonth;
    MonthStep(y, m, I);
    const int lead = Lead(C, y, m);
    const int day = Index - lead + 1;
    const int len = DaysInAMonth(y, m);
    Kind = MCHT_CALENDARDATE;
    if (day >= 1 && day <= len) return EncodeDate(y, m, day);
    if (day < 1 && I == 0) {
        int py = y, pm = m;
        MonthStep(py, pm, -1);
        if (py < 1) return 0;
        Kind = MCHT_CALENDARDATEPREV;
        return EncodeDate(py, pm, DaysInAMonth(py, pm) + day);
    }
    if (day > len && I == LastShownIndex(L)) {
        int ny = y, nm = m;
        MonthStep(ny, nm, 1);
        if (ny > 9999) return 0;
        Kind = MCHT_CALENDARDATENEXT;
        return EncodeDate(ny, nm, day - len);
    }
    return 0;
}

TRect CellRect(const TLayout& L, const TRect& Box, int Index) {
    const TPoint o = GridOrigin(L, Box);
    const int x = o.x + (Index % 7) * L.CellW, y = o.y + (Index / 7) * L.CellH;
    return TRect(x, y, x + L.CellW, y + L.CellH);
}

TRect PrevButton(const TLayout& L) {
    const TRect box = MonthBox(L, 0);
    const int top = box.Top + (L.TitleH - L.CellH) / 2;
    return TRect(box.Left + Margin, top, box.Left + Margin + L.CellW, top + L.CellH);
}

TRect NextButton(const TLayout& L) {
    const TRect box = MonthBox(L, std::min(L.Cols, L.Count) - 1);
    const int top = box.Top + (L.TitleH - L.CellH) / 2;
    return TRect(box.Right - Margin - L.CellW, top, box.Right - Margin, top + L.CellH);
}

AnsiString TitleMonth(int Month) { return FormatSettings().LongMonthNames[static_cast<size_t>(Month - 1)]; }

TRect TodayLine(const TLayout& L, const TCalWindow& C) {
    TRect r;
    GetClientRect(C.Wnd, r);
    const int top = L.Rows * (L.MonthH + MonthCalGap) - MonthCalGap;
    return TRect(0, top, std::max(r.Width(), L.MonthW), top + L.TodayH);
}

UINT HitTest(const TCalWindow& C, TPoint P, TSystemTime& St) {
    const TLayout L = Layout(C);
    St = TSystemTime();
    if (L.TodayH && PtInRect(TodayLine(L, C), P)) {
        St = ToSystemTime(Today(C));
        return MCHT_TODAYLINK;
    }
    for (int i = 0; i < L.Count; ++i) {
        const TRect box = MonthBox(L, i);
        if (!PtInRect(box, P)) continue;
        int y = C.FirstYear, m = C.FirstMonth;
        MonthStep(y, m, i);
        if (P.y < box.Top + L.TitleH) {
            St = YearMonthDay(y, m, 1);
            if (i == 0 && PtInRect(PrevButton(L), P)) return MCHT_TITLEBTNPREV;
            if (i == std::min(L.Cols, L.Count) - 1 && PtInRect(NextButton(L), P)) return MCHT_TITLEBTNNEXT;
            TMeasureDC md(C);
            const AnsiString name = TitleMonth(m), year = IntToStr(y);
            const int wName = md.DC()->TextWidth(name), wSpace = md.DC()->TextWidth(name + " ");
            const int wAll = md.DC()->TextWidth(name + " " + year);
            const int x0 = box.Left + (L.MonthW - wAll) / 2;
            if (P.x >= x0 && P.x < x0 + wName) return MCHT_TITLEMONTH;
            if (P.x >= x0 + wSpace && P.x < x0 + wAll) return MCHT_TITLEYEAR;
            return MCHT_TITLEBK;
        }
        const TPoint o = GridOrigin(L, box);
        if (P.y < o.y) {
            St = YearMonthDay(y, m, 1);
            return P.x >= o.x ? MCHT_CALENDARDAY : MCHT_CALENDARBK;
        }
        if (P.y < o.y + 6 * L.CellH) {
            if (L.WeekW && P.x >= o.x - L.WeekW && P.x < o.x) {
                St = YearMonthDay(y, m, 1);
                return MCHT_CALENDARWEEKNUM;
            }
            if (P.x >= o.x && P.x < o.x + 7 * L.CellW) {
                const int index = (P.y - o.y) / L.CellH * 7 + (P.x - o.x) / L.CellW;
                UINT kind = 0;
                const TDateTime d = CellDate(C, L, i, index, kind);
                if (d != 0) {
                    St = ToSystemTime(d);
                    return kind;
                }
                // The trailing days of January 10000 are named, not made.
                if (i == LastShownIndex(L) && y == 9999 && m == 12) {
                    St = YearMonthDay(10000, 1, index - Lead(C, y, m) + 1 - 31);
                    return MCHT_CALENDARDATENEXT;
                }
            }
        }
        St = YearMonthDay(y, m, 1);
        return MCHT_CALENDARBK;
    }
    return MCHT_NOWHERE;
}

// --- state changes ---

void Notify(TCalWindow& C, TNMHdr& Header, UINT Code) {
    Header.hwndFrom = C.Wnd;
    Header.idFrom = static_cast<uintptr_t>(GetWindowLong(C.Wnd, GWL_ID));
    Header.code = Code;
    if (C.NotifyWnd && IsWindow(C.NotifyWnd))
        SendMessage(C.NotifyWnd, WM_NOTIFY, Header.idFrom, PointerToLParam(&Header));
}

void NotifySelection(TCalWindow& C, UINT Code) {
    TNMSelChange n;
    n.stSelStart = ToSystemTime(C.Multi() ? C.SelStart : C.Cur);
    n.stSelEnd = ToSystemTime(C.Multi() ? C.SelEnd : C.Cur);
    Notify(C, n.nmhdr, Code);
}

void AskDayState(TCalWindow& C) {
    if (!(C.Style() & MCS_DAYSTATE) || !C.NotifyWnd) return;
    const TLayout L = Layout(C);
    int y = C.FirstYear, m = C.FirstMonth;
    MonthStep(y, m, -1);
    TNMDayState n;
    n.stStart = YearMonthDay(std::max(1, y), m, 1);
    n.cDayState = L.Count + 2;
    C.DayStateAsked = true;
    Notify(C, n.nmhdr, MCN_GETDAYSTATE);
    C.DayState.assign(static_cast<size_t>(n.cDayState), 0);
    if (n.prgDayState) std::copy(n.prgDayState, n.prgDayState + n.cDayState, C.DayState.begin());
    C.DayStateYear = y;
    C.DayStateMonth = m;
}

bool IsBold(const TCalWindow& C, TDateTime D) {
    if (C.DayState.empty()) return false;
    int y = 0, m = 0, d = 0;
    DecodeDate(D, y, m, d);
    const int index = (y * 12 + m - 1) - (C.DayStateYear * 12 + C.DayStateMonth - 1);
    if (index < 0 || index >= static_cast<int>(C.DayState.size())) return false;
    return C.DayState[static_cast<size_t>(index)] & (1u << (d - 1));
}

void SetFirstShown(TCalWindow& C, int Year, int Month) {
    if (Year < 1) Year = 1, Month = 1;
    if (Year == C.FirstYear && Month == C.FirstMonth) return;
    C.FirstYear = Year;
    C.FirstMonth = Month;
    InvalidateRect(C.Wnd, nullptr, true);
    AskDayState(C);
}

// Scrolls so that the day shows, as little as needed.
void EnsureVisible(TCalWindow& C, TDateTime D) {
    if (D == 0) return;
    const TLayout L = Layout(C);
    int y = 0, m = 0, d = 0;
    DecodeDate(D, y, m, d);
    const int target = y * 12 + m - 1, first = C.FirstYear * 12 + C.FirstMonth - 1;
    if (target < first) SetFirstShown(C, y, m);
    else if (target > first + L.Count - 1) {
        int fy = y, fm = m;
        MonthStep(fy, fm, -(L.Count - 1));
        SetFirstShown(C, fy, fm);
    }
}

TDateTime Clamp(const TCalWindow& C, TDateTime D) {
    if (C.HasMax && D > C.MaxDate) D = C.MaxDate;
    if (C.HasMin && D < C.MinDate) D = C.MinDate;
    return D;
}

bool InRange(const TCalWindow& C, TDateTime D) {
    return !(C.HasMax && D > C.MaxDate) && !(C.HasMin && D < C.MinDate);
}

void SelectRange(TCalWindow& C, TDateTime A, TDateTime B) {
    C.SelStart = std::min(A, B);
    C.SelEnd = std::max(A, B);
    C.Cur = A;
    InvalidateRect(C.Wnd, nullptr, true);
}

// A day chosen by the user: the selection moves and the parent hears of it.
void UserSelect(TCalWindow& C, TDateTime D, bool Extend) {
    D = Clamp(C, D);
    if (C.Multi()) {
        if (!Extend) C.Anchor = D;
        TDateTime end = D;
        const int most = std::max(1, C.MaxSelCount) - 1;
        if (end > C.Anchor + most) end = C.Anchor + most;
        if (end < C.Anchor - most) end = C.Anchor - most;
        SelectRange(C, C.Anchor, end);
        C.Cur = end;
    } else {
        C.Cur = D;
        InvalidateRect(C.Wnd, nullptr, true);
    }
    EnsureVisible(C, C.Cur);
    NotifySelection(C, MCN_SELCHANGE);
}

void Scroll(TCalWindow& C, int Months) {
    int y = C.FirstYear, m = C.FirstMonth;
    MonthStep(y, m, Months);
    if (y < 1 || y > 9999) return;
    SetFirstShown(C, y, m);
    TDateTime moved = 0;
    int cy = 0, cm = 0, cd = 0;
    DecodeDate(C.Cur, cy, cm, cd);
    MonthStep(cy, cm, Months);
    if (cy >= 1 && cy <= 9999 && TryEncodeDate(cy, cm, std::min(cd, DaysInAMonth(cy, cm)), moved)) {
        C.Anchor = Clamp(C, moved);
        UserSelect(C, moved, false);
    }
}

// --- painting ---

void DrawArrow(TCanvas* Canvas, const TRect& R, bool Left, TColor Color) {
    const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2, h = std::max(2, R.Height() / 4);
    const TPoint pts[] = {Left ? TPoint(cx - h / 2, cy) : TPoint(cx + h / 2, cy),
                          Left ? TPoint(cx + h / 2, cy - h) : TPoint(cx - h / 2, cy - h),
                          Left ? TPoint(cx + h / 2, cy + h) : TPoint(cx - h / 2, cy + h)};
    Canvas->Brush()->SetColor(Color);
    Canvas->Pen()->SetColor(Color);
    Canvas->Polygon(pts);
}

// ISO week number of the row's Thursday.
int WeekNumber(TDateTime RowDay) {
    const int monday0 = (DayOfWeek(RowDay) + 5) % 7;
    const TDateTime thursday = RowDay - monday0 + 3;
    int y = 0, m = 0, d = 0;
    DecodeDate(thursday, y, m, d);
    return static_cast<int>((thursday - EncodeDate(y, 1, 1)) / 7) + 1;
}

void Paint(TCalWindow& C, HDC DC) {
    if (!C.DayStateAsked) AskDayState(C);
    const TLayout L = Layout(C);
    TRect client;
    GetClientRect(C.Wnd, client);
    DC->Font()->Assign(&C.Font);
    DC->Brush()->SetStyle(bsSolid);
    DC->Brush()->SetColor(C.Colors[MCSC_BACKGROUND]);
    DC->FillRect(client);
    const TDateTime today = Today(C);
    const TFormatSettings& st = FormatSettings();
    for (int i = 0; i < L.Count; ++i) {
        const TRect box = MonthBox(L, i);
        int y = C.FirstYear, m = C.FirstMonth;
        MonthStep(y, m, i);
        // Title.
        DC->Brush()->SetColor(C.Colors[MCSC_TITLEBK]);
        DC->FillRect(TRect(box.Left, box.Top, box.Right, box.Top + L.TitleH));
        const AnsiString title = TitleMonth(m) + " " + IntToStr(y);
        DC->Font()->SetColor(C.Colors[MCSC_TITLETEXT]);
        DC->SetBkMode(TRANSPARENT);
        DC->TextOut(box.Left + (L.MonthW - DC->TextWidth(title)) / 2, box.Top + 4, title);
        if (i == 0) DrawArrow(DC, PrevButton(L), true, C.Colors[MCSC_TITLETEXT]);
        if (i == std::min(L.Cols, L.Count) - 1) DrawArrow(DC, NextButton(L), false, C.Colors[MCSC_TITLETEXT]);
        // Month area.
        DC->Brush()->SetColor(C.Colors[MCSC_MONTHBK]);
        DC->FillRect(TRect(box.Left, box.Top + L.TitleH, box.Right, box.Bottom));
        const TPoint o = GridOrigin(L, box);
        DC->Font()->SetColor(C.Colors[MCSC_TITLEBK]);
        for (int c = 0; c < 7; ++c) {
            const AnsiString name =
                AnsiUpperCase(st.ShortDayNames[static_cast<size_t>((C.FirstDay + 1 + c) % 7)].substr(0, 1));
            DC->TextOut(o.x + c * L.CellW + (L.CellW - DC->TextWidth(name)) / 2, box.Top + L.TitleH + 1,
                        name);
        }
        DC->Pen()->SetColor(C.Colors[MCSC_TEXT]);
        DC->MoveTo(o.x, o.y - 1);
        DC->LineTo(o.x + 7 * L.CellW, o.y - 1);
        for (int index = 0; index < 42; ++index) {
            UINT kind = 0;
            const TDateTime d = CellDate(C, L, i, index, kind);
            if (d == 0) continue;
            const TRect cell = CellRect(L, box, index);
            const bool selected =
                kind == MCHT_CALENDARDATE && (C.Multi() ? (d >= C.SelStart && d <= C.SelEnd) : d == C.Cur);
            if (selected) {
                DC->Brush()->SetColor(C.Colors[MCSC_TITLEBK]);
                DC->FillRect(cell);
            }
            TFontStyles style;
            if (kind == MCHT_CALENDARDATE && IsBold(C, d)) style.Include(fsBold);
            DC->Font()->SetStyle(style);
            DC->Font()->SetColor(selected                    ? C.Colors[MCSC_TITLETEXT]
                                 : kind == MCHT_CALENDARDATE ? C.Colors[MCSC_TEXT]
                                                             : C.Colors[MCSC_TRAILINGTEXT]);
            DC->SetBkMode(TRANSPARENT);
            int yy = 0, mm = 0, dd = 0;
            DecodeDate(d, yy, mm, dd);
            const AnsiString text = IntToStr(dd);
            DC->TextOut(cell.Left + (L.CellW - DC->TextWidth(text)) / 2, cell.Top + 1, text);
            DC->Font()->SetStyle(TFontStyles());
            if (d == today && kind == MCHT_CALENDARDATE && !(C.Style() & MCS_NOTODAYCIRCLE)) {
                DC->Brush()->SetColor(clRed);
                DC->FrameRect(cell);
            }
        }
        if (L.WeekW) {
            DC->Font()->SetColor(C.Colors[MCSC_TEXT]);
            for (int row = 0; row < 6; ++row) {
                UINT kind = 0;
                TDateTime d = 0;
                for (int c = 0; c < 7 && d == 0; ++c) d = CellDate(C, L, i, row * 7 + c, kind);
                if (d == 0) continue;
                const AnsiString text = IntToStr(WeekNumber(d));
                DC->TextOut(o.x - L.WeekW + (L.WeekW - DC->TextWidth(text)) / 2, o.y + row * L.CellH + 1,
                            text);
            }
        }
    }
    if (L.TodayH) {
        const TRect line = TodayLine(L, C);
        DC->Font()->SetColor(C.Colors[MCSC_TEXT]);
        DC->SetBkMode(TRANSPARENT);
        const int mark = L.CellH - 4;
        if (!(C.Style() & MCS_NOTODAYCIRCLE)) {
            DC->Brush()->SetColor(clRed);
            DC->FrameRect(
                TRect(line.Left + Margin, line.Top + 3, line.Left + Margin + mark, line.Top + 3 + mark));
        }
        DC->SetBkMode(TRANSPARENT);
        DC->TextOut(line.Left + 2 * Margin + mark, line.Top + 2, DateToStr(today));
    }
}

// --- keys and mouse ---

bool Key(TCalWindow& C, WORD K) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    TDateTime d = C.Cur;
    int y = 0, m = 0, dd = 0;
    DecodeDate(d, y, m, dd);
    switch (K) {
    case VK_LEFT: d -= 1; break;
    case VK_RIGHT: d += 1; break;
    case VK_UP: d -= 7; break;
    case VK_DOWN: d += 7; break;
    case VK_HOME: d = EncodeDate(y, m, 1); break;
    case VK_END: d = EncodeDate(y, m, DaysInAMonth(y, m)); break;
    case VK_PRIOR:
    case VK_NEXT:
        MonthStep(y, m, K == VK_PRIOR ? -1 : 1);
        if (y < 1 || y > 9999) return true;
        d = EncodeDate(y, m, std::min(dd, DaysInAMonth(y, m)));
        break;
    default: return false;
    }
    if (d < MinDateTime || d > MaxDateTime) return true;
    UserSelect(C, d, shift && C.Multi());
    return true;
}

void MouseDown(TCalWindow& C, TPoint P) {
    TSystemTime st;
    const UINT hit = HitTest(C, P, st);
    const TLayout L = Layout(C);
    const int delta = C.Delta > 0 ? C.Delta : L.Count;
    switch (hit) {
    case MCHT_TITLEBTNPREV: Scroll(C, -delta); return;
    case MCHT_TITLEBTNNEXT: Scroll(C, delta); return;
    case MCHT_TODAYLINK: UserSelect(C, Today(C), false); return;
    case MCHT_CALENDARDATE:
    case MCHT_CALENDARDATEPREV:
    case MCHT_CALENDARDATENEXT: {
        const TDateTime d = FromSystemTime(st);
        if (d == 0) return;
        UserSelect(C, d, (GetKeyState(VK_SHIFT) < 0) && C.Multi());
        C.Tracking = true;
        SetCapture(C.Wnd);
        return;
    }
    default: return;
    }
}

// --- messages ---

LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto C = std::make_unique<TCalWindow>();
        C->Wnd = Wnd;
        const TCreateStruct* cs = LParamToPointer<const TCreateStruct>(LParam);
        C->NotifyWnd = cs ? cs->Parent : nullptr;
        C->FirstDay = std::clamp(FormatSettings().FirstDayOfWeek, 0, 6);
        C->Cur = Day(Date());
        C->SelStart = C->SelEnd = C->Cur;
        int day = 0;
        DecodeDate(C->Cur, C->FirstYear, C->FirstMonth, day);
        Calendars()[Wnd] = std::move(C);
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    TCalWindow* p = Find(Wnd);
    if (!p) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TCalWindow& C = *p;
    switch (Msg) {
    case WM_NCDESTROY: Calendars().erase(Wnd); return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_SETFONT:
        C.GivenFont = reinterpret_cast<TFont*>(WParam);
        if (C.GivenFont) C.Font.Assign(C.GivenFont);
        InvalidateRect(Wnd, nullptr, true);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(C.GivenFont);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: {
        const TLayout L = Layout(C);
        if (C.DayStateAsked && static_cast<int>(C.DayState.size()) != L.Count + 2) AskDayState(C);
        InvalidateRect(Wnd, nullptr, true);
        return 0;
    }
    case WM_PAINT: {
        if (HDC given = reinterpret_cast<HDC>(WParam)) {
            Paint(C, given);
            return 0;
        }
        TPaintStruct ps;
        HDC dc = BeginPaint(Wnd, ps);
        if (dc) Paint(C, dc);
        EndPaint(Wnd, ps);
        return 0;
    }
    case WM_KEYDOWN:
        if (Key(C, static_cast<WORD>(WParam))) return 0;
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetFocus() != Wnd && (GetWindowLong(Wnd, GWL_STYLE) & WS_CHILD)) SetFocus(Wnd);
        MouseDown(C, PointOf(LParam));
        return 0;
    case WM_MOUSEMOVE:
        if (C.Tracking && C.Multi()) {
            TSystemTime st;
            const UINT hit = HitTest(C, PointOf(LParam), st);
            if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE) {
                const TDateTime d = FromSystemTime(st);
                if (d != 0 && Clamp(C, d) != C.Cur) UserSelect(C, d, true);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (C.Tracking) {
            C.Tracking = false;
            if (GetCapture() == Wnd) ReleaseCapture();
            NotifySelection(C, MCN_SELECT);
        }
        return 0;
    case WM_CAPTURECHANGED: C.Tracking = false; return 0;
    case MCM_GETCURSEL: {
        if (C.Multi()) return 0;
        if (auto* t = LParamToPointer<TSystemTime>(LParam)) *t = ToSystemTime(C.Cur);
        return 1;
    }
    case MCM_SETCURSEL: {
        const auto* t = LParamToPointer<const TSystemTime>(LParam);
        if (C.Multi() || !t) return 0;
        const TDateTime d = FromSystemTime(*t);
        if (d == 0 || !InRange(C, d)) return 0;
        C.Cur = d;
        EnsureVisible(C, d);
        InvalidateRect(Wnd, nullptr, true);
        return 1;
    }
    case MCM_GETMAXSELCOUNT: return C.MaxSelCount;
    case MCM_SETMAXSELCOUNT:
        if (!C.Multi() || static_cast<int>(WParam) < 1) return 0;
        C.MaxSelCount = static_cast<int>(WParam);
        return 1;
    case MCM_GETSELRANGE: {
        auto* t = LParamToPointer<TSystemTime>(LParam);
        if (!C.Multi() || !t) return 0;
        t[0] = ToSystemTime(C.SelStart);
        t[1] = ToSystemTime(C.SelEnd);
        return 1;
    }
    case MCM_SETSELRANGE: {
        const auto* t = LParamToPointer<const TSystemTime>(LParam);
        if (!C.Multi() || !t) return 0;
        const TDateTime a = FromSystemTime(t[0]), b = FromSystemTime(t[1]);
        if (a == 0 || b == 0 || !InRange(C, a) || !InRange(C, b)) return 0;
        if (std::abs(b - a) + 1 > C.MaxSelCount) return 0;
        C.Anchor = a;
        SelectRange(C, a, b);
        EnsureVisible(C, a);
        return 1;
    }
    case MCM_GETMONTHRANGE: {
        const TLayout L = Layout(C);
        auto* t = LParamToPointer<TSystemTime>(LParam);
        int ly = 0, lm = 0;
        LastShownMonth(C, L, ly, lm);
        int fy = C.FirstYear, fm = C.FirstMonth;
        int count = L.Count;
        if (WParam == GMR_DAYSTATE) {
            MonthStep(fy, fm, -1);
            MonthStep(ly, lm, 1);
            count += 2;
        }
        if (t) {
            t[0] = YearMonthDay(fy, fm, 1);
            t[1] = YearMonthDay(ly, lm, ly >= 1 && ly <= 9999 ? DaysInAMonth(ly, lm) : 31);
        }
        return count;
    }
    case MCM_SETDAYSTATE: {
        const auto* masks = LParamToPointer<const uint32_t>(LParam);
        const size_t n = std::min(static_cast<size_t>(WParam), C.DayState.size());
        if (!masks) return 0;
        std::copy(masks, masks + n, C.DayState.begin());
        InvalidateRect(Wnd, nullptr, true);
        return 1;
    }
    case MCM_GETMINREQRECT: {
        auto* r = LParamToPointer<TRect>(LParam);
        if (!r) return 0;
        const TLayout L = Layout(C);
        *r = TRect(0, 0, L.MonthW, L.MonthH + L.TodayH);
        return 1;
    }
    case MCM_SETCOLOR:
    case MCM_GETCOLOR: {
        if (WParam > MCSC_TRAILINGTEXT) return -1;
        const TColor old = C.Colors[WParam];
        if (Msg == MCM_SETCOLOR) {
            C.Colors[WParam] = static_cast<TColor>(LParam);
            InvalidateRect(Wnd, nullptr, true);
        }
        return static_cast<LRESULT>(old);
    }
    case MCM_SETTODAY: {
        const auto* t = LParamToPointer<const TSystemTime>(LParam);
        C.TodaySet = t != nullptr;
        C.Today = t ? FromSystemTime(*t) : 0;
        InvalidateRect(Wnd, nullptr, true);
        return 0;
    }
    case MCM_GETTODAY: {
        if (auto* t = LParamToPointer<TSystemTime>(LParam)) *t = ToSystemTime(Today(C));
        return 1;
    }
    case MCM_HITTEST: {
        auto* info = LParamToPointer<TMCHitTestInfo>(LParam);
        if (!info) return -1;
        info->uHit = HitTest(C, info->pt, info->st);
        return static_cast<LRESULT>(info->uHit);
    }
    case MCM_SETFIRSTDAYOFWEEK: {
        const int old = C.FirstDay;
        C.FirstDay = std::clamp(static_cast<int>(LParam), 0, 6);
        InvalidateRect(Wnd, nullptr, true);
        return MakeLParam(old, 1);
    }
    case MCM_GETFIRSTDAYOFWEEK: return MakeLParam(C.FirstDay, 1);
    case MCM_GETRANGE: {
        auto* t = LParamToPointer<TSystemTime>(LParam);
        if (t) {
            t[0] = C.HasMin ? ToSystemTime(C.MinDate) : TSystemTime();
            t[1] = C.HasMax ? ToSystemTime(C.MaxDate) : TSystemTime();
        }
        return static_cast<LRESULT>((C.HasMin ? WPARAM(GDTR_MIN) : 0) | (C.HasMax ? WPARAM(GDTR_MAX) : 0));
    }
    case MCM_SETRANGE: {
        const auto* t = LParamToPointer<const TSystemTime>(LParam);
        if (!t) return 0;
        C.HasMin = WParam & GDTR_MIN;
        C.HasMax = WParam & GDTR_MAX;
        C.MinDate = C.HasMin ? FromSystemTime(t[0]) : 0;
        C.MaxDate = C.HasMax ? FromSystemTime(t[1]) : 0;
        C.HasMin = C.HasMin && C.MinDate != 0;
        C.HasMax = C.HasMax && C.MaxDate != 0;
        C.Cur = Clamp(C, C.Cur);
        C.SelStart = Clamp(C, C.SelStart);
        C.SelEnd = Clamp(C, C.SelEnd);
        InvalidateRect(Wnd, nullptr, true);
        return 1;
    }
    case MCM_GETMONTHDELTA: return C.Delta > 0 ? C.Delta : Layout(C).Count;
    case MCM_SETMONTHDELTA: {
        const int old = C.Delta;
        C.Delta = static_cast<int>(WParam);
        return old;
    }
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

}  // namespace

void RegisterMonthCalClass() {
    TWndClass c;
    if (GetWindowClassInfo(MONTHCAL_CLASS, c)) return;
    c.Name = MONTHCAL_CLASS;
    c.Style = CS_DBLCLKS;
    c.WndProc = Proc;
    c.Background = clNone;
    RegisterWindowClass(c);
}

bool InitCommonControlsEx(uint32_t Classes) {
    if (Classes & ICC_DATE_CLASSES) RegisterMonthCalClass();
    return true;
}
