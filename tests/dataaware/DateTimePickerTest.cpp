// The date-time editor from the keyboard: key scripts against tables of
// text and value, by the Spanish settings and by an English month-day-year
// setting with AM/PM, with "today" from a fixed clock.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwhelpers.h"
#include "platform/classes/Filer.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Region.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MonthCal.h"
#include "platform/win/WindowManager.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/UiDriver.h"

namespace {

TDateTime Ymd(int Y, int M, int Day) { return EncodeDate(Y, M, Day); }
TDateTime Hm(int H, int N) { return EncodeTime(H, N, 0, 0); }

TFormatSettings English() {
    TFormatSettings s;
    s.ShortDateFormat = "M/d/yyyy";
    s.LongTimeFormat = "h:nn:ss AMPM";
    s.ShortTimeFormat = "h:nn AMPM";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                        "July",    "August",   "September", "October", "November", "December"};
    s.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    s.FirstDayOfWeek = 6;
    return s;
}

struct TScript {
    const char* Format;
    TDateTime Start;
    const char* Keys;
    const char* Text;
    TDateTime Value;
    int Part;
};

class DateTimePicker : public ::testing::Test {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
    TManualClock Clock{EncodeDate(2024, 3, 14) + EncodeTime(10, 30, 0, 0)};
    TClockScope ClockScope{Clock};
    TLibraryScope Library;
    TUiDriver& Ui = static_cast<TUiDriver&>(CurrentDisplay());
    TForm* Form = TForm::CreateNew(Application);
    TwwDBDateTimePicker* Picker = nullptr;
    TwwDBDateTimePicker* Other = nullptr;

    DateTimePicker() {
        Form->SetBounds(20, 20, 400, 300);
        Picker = NewComponent<TwwDBDateTimePicker>(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(10, 10, 160, 24);
        Other = NewComponent<TwwDBDateTimePicker>(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 60, 160, 24);
        Form->Show();
        Ui.RunUntilIdle();
    }
    ~DateTimePicker() override { Form->Free(); }

    // Unbound, of a kind and a format, with a value (0: empty), focused.
    void Start(TwwDTEditDataType Kind, const char* Format, TDateTime Value) {
        Other->SetFocus();
        Ui.RunUntilIdle();
        Picker->SetUnboundDataType(Kind);
        Picker->SetDisplayFormat(Format);
        Picker->SetDateTime(Value);
        Picker->SetFocus();
        Ui.RunUntilIdle();
        Keys("{Esc}");  // back to the first part
    }
    void Keys(std::string_view Script) {
        PlayKeys(Ui, Script);
        Ui.RunUntilIdle();
    }
    // F4, and where the editor and its calendar then stand on the screen.
    bool DropDown(TRect& Editor, TRect& Calendar) {
        Keys("{F4}");
        if (!Picker->IsDroppedDown()) return false;
        GetWindowRect(Picker->Handle(), Editor);
        GetWindowRect(Picker->Calendar()->Handle(), Calendar);
        return true;
    }
    void RunScripts(TwwDTEditDataType Kind, std::initializer_list<TScript> Scripts) {
        for (const TScript& s : Scripts) {
            Start(Kind, s.Format, s.Start);
            Keys(s.Keys);
            EXPECT_EQ(Picker->Text(), s.Text) << s.Format << " " << s.Keys;
            EXPECT_DOUBLE_EQ(Picker->DateTime(), s.Value) << s.Format << " " << s.Keys;
            if (s.Part) {
                EXPECT_EQ(Picker->CurrentPart(), s.Part) << s.Format << " " << s.Keys;
            }
        }
    }
};

}  // namespace

TEST_F(DateTimePicker, DigitsFillPartsAndWaitForTheirSecondDigit) {
    RunScripts(wwDTEdtDate,
               {
                   // The first key on an empty editor starts from today.
                   {"dd/mm/yyyy", 0, "2", "2/03/2024", Ymd(2024, 3, 14), 1},
                   {"dd/mm/yyyy", 0, "25", "25/03/2024", Ymd(2024, 3, 25), 2},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "4", "04/05/2024", Ymd(2024, 5, 4), 2},
                   // 3 then 5 beeps and keeps the 3 waiting.
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "35", "3/05/2024", Ymd(2024, 5, 10), 1},
                   {"dd/mm/yyyy", Ymd(2023, 4, 10), "31", "31/01/2023", Ymd(2023, 1, 31), 2},
                   {"dd/mm/yyyy", Ymd(2023, 2, 10), "29", "29/01/2023", Ymd(2023, 1, 29), 2},
                   {"mm/dd/yyyy", Ymd(2023, 2, 10), "{Right}29", "02/29/2024", Ymd(2024, 2, 29), 3},
                   // Month 0 is no month.
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{Right}00", "10/0/2024", Ymd(2024, 5, 10), 2},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{Right}{Right}1995", "10/05/1995", Ymd(1995, 5, 10), 3},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{Right}{Right}199", "10/05/199", Ymd(2024, 5, 10), 3},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{Right}{Right}0000", "10/05/2024", Ymd(2024, 5, 10), 3},
                   // A separator after one digit finishes the part.
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "7/", "07/05/2024", Ymd(2024, 5, 7), 2},
                   // The last character of the format is a part too.
                   {"d/m/y", Ymd(2024, 5, 10), "{Right}{Right}49", "10/5/49", Ymd(2049, 5, 10), 3},
                   {"d/m/y", Ymd(2024, 5, 10), "{Right}{Right}50", "10/5/50", Ymd(1950, 5, 10), 3},
               });
}

TEST_F(DateTimePicker, UpDownHomeAndEndStayWithinTheLimits) {
    RunScripts(wwDTEdtDate,
               {
                   {"dd/mm/yyyy", Ymd(2024, 1, 31), "{Up}", "01/01/2024", Ymd(2024, 1, 1), 1},
                   {"dd/mm/yyyy", Ymd(2024, 3, 1), "{Down}", "31/03/2024", Ymd(2024, 3, 31), 1},
                   {"dd/mm/yyyy", Ymd(2024, 12, 15), "{Right}{Up}", "15/01/2024", Ymd(2024, 1, 15), 2},
                   {"dd/mm/yyyy", Ymd(2024, 1, 15), "{Right}{Down}", "15/12/2024", Ymd(2024, 12, 15), 2},
                   {"dd/mm/yyyy", Ymd(2024, 2, 29), "{Right}{Right}{Up}", "28/02/2025", Ymd(2025, 2, 28), 3},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "+=-", "11/05/2024", Ymd(2024, 5, 11), 1},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{End}", "31/05/2024", Ymd(2024, 5, 31), 1},
               });
    // Against the limits.
    Picker->SetMinDate(Ymd(2020, 3, 10));
    Picker->SetMaxDate(Ymd(2030, 6, 15));
    RunScripts(wwDTEdtDate,
               {
                   {"dd/mm/yyyy", Ymd(2020, 7, 5), "{Right}{Home}", "05/04/2020", Ymd(2020, 4, 5), 2},
                   {"dd/mm/yyyy", Ymd(2020, 8, 1), "{Right}{Right}{End}", "01/08/2029", Ymd(2029, 8, 1), 3},
                   {"dd/mm/yyyy", Ymd(2030, 6, 15), "{Up}", "15/06/2030", Ymd(2030, 6, 15), 1},
                   {"dd/mm/yyyy", Ymd(2020, 3, 12), "{Home}", "10/03/2020", Ymd(2020, 3, 10), 1},
                   {"dd/mm/yyyy", Ymd(2030, 5, 20), "{Right}{Up}", "15/06/2030", Ymd(2030, 6, 15), 2},
               });
}

TEST_F(DateTimePicker, TheFirstKeyOnAnEmptyEditorTakesTodayWithinTheLimits) {
    // Today is 14/03/2024.
    Picker->SetMaxDate(Ymd(2024, 3, 13));
    RunScripts(wwDTEdtDate, {{"dd/mm/yyyy", 0, "2", "2/03/2024", Ymd(2024, 3, 13), 1},
                             {"dd/mm/yyyy", 0, "{Up}", "13/03/2024", Ymd(2024, 3, 13), 1}});
    Picker->SetMaxDate(0);
    Picker->SetMinDate(Ymd(2024, 3, 15));
    RunScripts(wwDTEdtDate, {{"dd/mm/yyyy", 0, "2", "2/03/2024", Ymd(2024, 3, 15), 1},
                             {"dd/mm/yyyy", 0, "{Up}", "16/03/2024", Ymd(2024, 3, 16), 1}});
    Picker->SetMinDate(0);
    // Space on an empty editor fills today and moves on.
    RunScripts(wwDTEdtDate, {{"dd/mm/yyyy", 0, " ", "14/03/2024", Ymd(2024, 3, 14), 2}});
    // A time editor starts from midnight for a digit, from now for other keys.
    RunScripts(wwDTEdtTime,
               {{"hh:nn", 0, "9", "09:00", Hm(9, 0), 2}, {"hh:nn", 0, "a", "10:30", Hm(10, 30), 1}});
}

TEST_F(DateTimePicker, MinutesStepByTheirInterval) {
    Picker->Interval()->SetMinutesInterval(15);
    Picker->Interval()->SetRoundMinutes(true);
    RunScripts(wwDTEdtTime, {
                                {"hh:nn", Hm(10, 7), "{Right}{Up}", "10:15", Hm(10, 15), 2},
                                {"hh:nn", Hm(10, 7), "{Right}{Down}", "10:00", Hm(10, 0), 2},
                                {"hh:nn", Hm(10, 15), "{Right}{Down}", "10:00", Hm(10, 0), 2},
                                {"hh:nn", Hm(10, 0), "{Right}{Down}", "10:45", Hm(10, 45), 2},
                                {"hh:nn", Hm(0, 0) + 1e-9, "{Down}", "23:00", Hm(23, 0), 1},
                            });
    Picker->Interval()->SetRoundMinutes(false);
    RunScripts(wwDTEdtTime, {
                                {"hh:nn", Hm(10, 50), "{Right}{Up}", "10:05", Hm(10, 5), 2},
                                {"hh:nn", Hm(10, 5), "{Right}{Down}", "10:50", Hm(10, 50), 2},
                            });
    // An interval outside 1..60 is kept within it: 0 would divide by zero.
    Picker->Interval()->SetMinutesInterval(0);
    EXPECT_EQ(Picker->Interval()->MinutesInterval(), 1);
    Picker->Interval()->SetMinutesInterval(90);
    EXPECT_EQ(Picker->Interval()->MinutesInterval(), 60);
}

TEST_F(DateTimePicker, LettersPickMonthAndDayNamesInAnyCase) {
    // The Spanish names are written in lower case.
    RunScripts(wwDTEdtDate,
               {
                   {"dd mmmm yyyy", Ymd(2024, 2, 10), "{Right}e", "10 enero 2024", Ymd(2024, 1, 10), 2},
                   {"dd mmmm yyyy", Ymd(2024, 2, 10), "{Right}m", "10 marzo 2024", Ymd(2024, 3, 10), 2},
                   {"dd mmmm yyyy", Ymd(2024, 2, 10), "{Right}mm", "10 mayo 2024", Ymd(2024, 5, 10), 2},
                   {"dd mmm yyyy", Ymd(2024, 2, 10), "{Right}e", "10 ene 2024", Ymd(2024, 1, 10), 2},
                   // Thursday 14 March 2024; weeks start on Monday.
                   {"dddd dd/mm/yyyy", Ymd(2024, 3, 14), "l", "lunes 11/03/2024", Ymd(2024, 3, 11), 1},
                   {"dddd dd/mm/yyyy", Ymd(2024, 3, 14), "{Home}", "lunes 11/03/2024", Ymd(2024, 3, 11), 1},
                   {"dddd dd/mm/yyyy", Ymd(2024, 3, 14), "{End}", "domingo 17/03/2024", Ymd(2024, 3, 17), 1},
                   {"dd/mm/yyyy", Ymd(2024, 3, 14), "x", "14/03/2024", Ymd(2024, 3, 14), 1},
               });
}

TEST_F(DateTimePicker, EnglishNamesAndTwelveHourClock) {
    TFormatSettingsScope english(English());
    RunScripts(wwDTEdtDate,
               {
                   {"mmmm d, yyyy", Ymd(2024, 2, 10), "j", "June 10, 2024", Ymd(2024, 6, 10), 1},
                   {"mmmm d, yyyy", Ymd(2024, 2, 10), "jj", "July 10, 2024", Ymd(2024, 7, 10), 1},
                   {"mmmm d, yyyy", Ymd(2024, 2, 10), "jjj", "January 10, 2024", Ymd(2024, 1, 10), 1},
               });
    RunScripts(wwDTEdtTime, {
                                {"hh:nn am/pm", Hm(10, 0), "{Right}{Right}p", "10:00 pm", Hm(22, 0), 3},
                                {"hh:nn am/pm", Hm(10, 0), "{Right}{Right}a", "10:00 am", Hm(10, 0), 3},
                                {"hh:nn am/pm", Hm(10, 0), "{Right}{Right}{Up}", "10:00 pm", Hm(22, 0), 3},
                                {"h:nn AMPM", Hm(15, 0), "{Right}{Right}a", "3:00 AM", Hm(3, 0), 3},
                            });
    // The default date of this setting is month first.
    RunScripts(wwDTEdtDate, {{"", Ymd(2024, 2, 10), "{Right}15", "2/15/2024", Ymd(2024, 2, 15), 3}});
}

TEST_F(DateTimePicker, BackspaceClearsAndEscapeRevertsToTheValueOnEntry) {
    RunScripts(wwDTEdtDate,
               {
                   // Inside the text Backspace steps back a part.
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{Right}{Back}", "10/05/2024", Ymd(2024, 5, 10), 1},
                   {"dd/mm/yyyy", Ymd(2024, 5, 10), "{S+End}{Back}", "", 0, 1},
               });
    EXPECT_TRUE(Picker->IsBlank());
    RunScripts(wwDTEdtDate,
               {{"dd/mm/yyyy", Ymd(2024, 5, 10), "{Up}{Up}{Esc}", "10/05/2024", Ymd(2024, 5, 10), 1}});
    EXPECT_FALSE(Picker->IsBlank());
}

TEST_F(DateTimePicker, TheGeneralFormatShowsTheTimeOnlyWhenThereIsOne) {
    Start(wwDTEdtDateTime, "", Ymd(2024, 3, 14));
    EXPECT_EQ(Picker->Text(), "14/03/2024");
    EXPECT_EQ(Picker->GetLastPart(), 3);
    EXPECT_TRUE(Picker->UsesGeneralFormat());
    // Right from the last date part brings in the current time.
    Keys("{Right}{Right}{Right}");
    EXPECT_EQ(Picker->Text(), "14/03/2024 10:30:00");
    EXPECT_EQ(Picker->CurrentPart(), 4);
}

TEST_F(DateTimePicker, TheValueStoreKeepsTheLimitsByWholeDays) {
    Start(wwDTEdtDateTime, "dd/mm/yyyy hh:nn", Ymd(2024, 5, 10) + Hm(18, 0));
    Picker->SetMaxDate(Ymd(2024, 5, 20));
    // The last day with the kept time of day is allowed.
    Picker->SetDate(Ymd(2024, 5, 20));
    EXPECT_DOUBLE_EQ(Picker->DateTime(), Ymd(2024, 5, 20) + Hm(18, 0));
    // A value past the limit is refused and the old one stays, text included.
    try {
        Picker->SetDateTime(Ymd(2024, 5, 21));
        FAIL();
    } catch (const EDateTimeError& e) {
        EXPECT_STREQ(e.what(), "Date exceeds maximum of 20/05/2024");
    }
    EXPECT_DOUBLE_EQ(Picker->DateTime(), Ymd(2024, 5, 20) + Hm(18, 0));
    EXPECT_EQ(Picker->Text(), "20/05/2024 18:00");
    EXPECT_THROW(Picker->SetMinDate(Ymd(2024, 5, 21)), EDateTimeError);
    EXPECT_THROW(Picker->SetDate(Ymd(2024, 5, 21)), EDateTimeError);
    EXPECT_DOUBLE_EQ(Picker->DateTime(), Ymd(2024, 5, 20) + Hm(18, 0));
    // A date editor reads no time, a time editor no date.
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    EXPECT_EQ(Picker->Time(), 0);
    Start(wwDTEdtTime, "hh:nn", Hm(9, 15));
    Picker->SetDate(Ymd(2024, 1, 1));
    EXPECT_EQ(Picker->Date(), 0);
    EXPECT_DOUBLE_EQ(Picker->DateTime(), Hm(9, 15));
}

// --- the drop-down calendar ---

namespace {

TPoint CalendarPoint(TwwMonthCalendar* Cal, TDateTime Day) {
    for (int y = 0; y < Cal->Height(); y += 2)
        for (int x = 0; x < Cal->Width(); x += 2) {
            TMCHitTestInfo info;
            info.pt = TPoint(x, y);
            if (SendMessage(Cal->Handle(), MCM_HITTEST, 0, PointerToLParam(&info)) == MCHT_CALENDARDATE &&
                SystemTimeToDateTime(info.st) == Day)
                return Cal->ClientToScreen(TPoint(x, y));
        }
    ADD_FAILURE() << "day not shown";
    return TPoint(0, 0);
}

}  // namespace

TEST_F(DateTimePicker, F4DropsTheCalendarUnderTheEditorAndKeepsTheFocus) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    int dropped = 0;
    Picker->OnDropDown = [&](TObject*) { ++dropped; };
    Keys("{F4}");
    ASSERT_TRUE(Picker->IsDroppedDown());
    TwwPopupCalendar* cal = Picker->Calendar();
    EXPECT_EQ(GetParent(cal->Handle()), nullptr);
    EXPECT_FALSE(GetWindowLong(cal->Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLong(cal->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetFocus(), Picker->Handle());
    TRect editor, calendar;
    GetWindowRect(Picker->Handle(), editor);
    GetWindowRect(cal->Handle(), calendar);
    EXPECT_EQ(calendar.Left, editor.Left + 1);
    EXPECT_EQ(calendar.Top, editor.Bottom - 1);
    EXPECT_EQ(DateOf(cal->Date()), Ymd(2024, 5, 10));
    EXPECT_EQ(dropped, 1);
    EXPECT_NE(Picker->MouseHook(), nullptr);
    // Alt+Down closes it again, keeping the date.
    Keys("{A+Down}");
    EXPECT_FALSE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->MouseHook(), nullptr);
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 10));
}

TEST_F(DateTimePicker, NearTheBottomTheCalendarOpensAboveTheEditor) {
    TRect work;
    GetWorkArea(work);
    Form->SetBounds(20, work.Bottom - 80, 400, 70);
    Ui.RunUntilIdle();
    Picker->SetTop(5);
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    TRect editor, calendar;
    ASSERT_TRUE(DropDown(editor, calendar));
    EXPECT_EQ(calendar.Bottom, editor.Top);
}

// The calendar's left edge by the alignment asked: against the editor's left
// edge, its right edge less the scroll bar width, or centred; an editor at
// the screen's right edge has the calendar end at its own right edge.
TEST_F(DateTimePicker, TheCalendarIsAlignedAsAsked) {
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    const int bar = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
    struct Case {
        TwwDTCalAlignment Alignment;
        bool AtRightEdge;
    } cases[] = {{wwdtaLeft, false}, {wwdtaRight, false}, {wwdtaCenter, false}, {wwdtaLeft, true}};
    for (const Case& c : cases) {
        Form->SetLeft(c.AtRightEdge ? screen - 100 : 20);
        Ui.RunUntilIdle();
        Picker->CalendarAttributes()->SetAlignment(c.Alignment);
        Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
        TRect editor, calendar;
        ASSERT_TRUE(DropDown(editor, calendar));
        const int w = editor.Width(), cw = calendar.Width();
        const int expected = c.AtRightEdge               ? editor.Left + w - cw - 1
                             : c.Alignment == wwdtaLeft  ? editor.Left
                             : c.Alignment == wwdtaRight ? editor.Left + w - bar - cw - 1
                                                         : editor.Left + (w - cw - bar - 1) / 2;
        EXPECT_EQ(calendar.Left, std::max(0, expected) + 1) << c.Alignment << " " << c.AtRightEdge;
        Keys("{F4}");
    }
}

// Clicks on the title's buttons turn the months and keep the calendar open,
// with the focus in the editor.
TEST_F(DateTimePicker, TheTitleButtonsKeepTheCalendarOpen) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Keys("{F4}");
    TwwPopupCalendar* cal = Picker->Calendar();
    for (int y = 0; y < cal->Height(); y += 2)
        for (int x = 0; x < cal->Width(); x += 2) {
            TMCHitTestInfo info;
            info.pt = TPoint(x, y);
            if (SendMessage(cal->Handle(), MCM_HITTEST, 0, PointerToLParam(&info)) != MCHT_TITLEBTNNEXT)
                continue;
            Ui.Click(cal->ClientToScreen(TPoint(x, y)));
            Ui.RunUntilIdle();
            EXPECT_TRUE(Picker->IsDroppedDown());
            EXPECT_EQ(GetFocus(), Picker->Handle());
            EXPECT_EQ(DateOf(cal->Date()), Ymd(2024, 6, 10));
            EXPECT_EQ(Picker->DateTime(), Ymd(2024, 6, 10));
            return;
        }
    ADD_FAILURE() << "no next button";
}

TEST_F(DateTimePicker, AClickOnADaySetsTheDateAndCloses) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Keys("{F4}");
    ASSERT_TRUE(Picker->IsDroppedDown());
    Ui.Click(CalendarPoint(Picker->Calendar(), Ymd(2024, 5, 22)));
    Ui.RunUntilIdle();
    EXPECT_FALSE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 22));
    EXPECT_EQ(Picker->Text(), "22/05/2024");
    EXPECT_EQ(GetFocus(), Picker->Handle());
}

TEST_F(DateTimePicker, AClickOutsideBothWindowsClosesThroughTheMouseHook) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Keys("{F4}{Down}");  // the key goes to the calendar: a week on
    ASSERT_TRUE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 17));
    Ui.Click(Form->ClientToScreen(TPoint(300, 200)));
    Ui.RunUntilIdle();
    EXPECT_FALSE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 17));
}

TEST_F(DateTimePicker, EscapeRestoresTheValueFromBeforeTheDropDown) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Keys("{F4}{Right}{Right}");
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 12));
    Keys("{Esc}");
    EXPECT_FALSE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 10));
    EXPECT_EQ(Picker->Text(), "10/05/2024");
}

// The Escape that closes the calendar is not taken again as the editor's
// own Escape; the next one returns to the value the editor had on entry.
TEST_F(DateTimePicker, OnlyASecondEscapeRevertsToTheValueOnEntry) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Keys("{Up}{F4}{Right}");
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 12));
    Keys("{Esc}");
    EXPECT_FALSE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 11));
    Keys("{Esc}");
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 10));
    EXPECT_EQ(Picker->Text(), "10/05/2024");
}

TEST_F(DateTimePicker, AnEmptyEditorDropsDownOnTodayWithinItsLimits) {
    Picker->SetMaxDate(Ymd(2024, 3, 1));
    Start(wwDTEdtDate, "dd/mm/yyyy", 0);
    Keys("{F4}");
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 3, 1));
    EXPECT_EQ(DateOf(Picker->Calendar()->Date()), Ymd(2024, 3, 1));
}

TEST_F(DateTimePicker, AReadOnlyEditorOpensNothing) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Picker->SetReadOnly(true);
    Keys("{F4}");
    EXPECT_FALSE(Picker->IsDroppedDown());
    EXPECT_EQ(Picker->Calendar(), nullptr);
    Keys("{Up}5");
    EXPECT_EQ(Picker->DateTime(), Ymd(2024, 5, 10));
}

TEST_F(DateTimePicker, TheCalendarIsFreedAfterTheEditorLosesTheFocus) {
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    Keys("{F4}");
    ASSERT_NE(Picker->Calendar(), nullptr);
    Other->SetFocus();
    EXPECT_NE(Picker->Calendar(), nullptr);  // until the posted message runs
    EXPECT_FALSE(Picker->IsDroppedDown());
    Ui.RunUntilIdle();
    EXPECT_EQ(Picker->Calendar(), nullptr);
    EXPECT_EQ(Picker->MouseHook(), nullptr);
}

// --- bound to a date field ---

namespace {

class DateTimePickerBound : public DataAwareFixture {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
    TManualClock Clock{EncodeDate(2024, 3, 14) + EncodeTime(10, 30, 0, 0)};
    TClockScope ClockScope{Clock};
    TForm* Screen = nullptr;
    TwwTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TwwDBDateTimePicker* Picker = nullptr;
    TwwDBDateTimePicker* Other = nullptr;

    void SetUp() override {
        DataAwareFixture::SetUp();
        CreateTable("fechas", {{"NOMBRE", ftString, 10}, {"FECHA", ftDate}});
        AddRows("fechas", {{{"NOMBRE", "Ana"}, {"FECHA", "02/01/2024"}}});
        Screen = TForm::CreateNew(Application);
        Screen->SetBounds(20, 20, 400, 300);
        Table = NewWwTable("fechas");
        Source = NewComponent<TDataSource>(Screen);
        Source->SetDataSet(Table);
        Picker = NewComponent<TwwDBDateTimePicker>(Screen);
        Picker->SetParent(Screen);
        Picker->SetBounds(10, 10, 160, 24);
        Picker->SetDataSource(Source);
        Picker->SetDataField("FECHA");
        Other = NewComponent<TwwDBDateTimePicker>(Screen);
        Other->SetParent(Screen);
        Other->SetBounds(10, 60, 160, 24);
        Table->Open();
        Screen->Show();
        Picker->SetFocus();
        Ui().RunUntilIdle();
    }
    void TearDown() override {
        Screen->Free();
        DataAwareFixture::TearDown();
    }
    static TUiDriver& Ui() { return static_cast<TUiDriver&>(CurrentDisplay()); }
    void Keys(std::string_view Script) {
        PlayKeys(Ui(), Script);
        Ui().RunUntilIdle();
    }
};

}  // namespace

TEST_F(DateTimePickerBound, KeysEditTheFieldAndPostingWritesIt) {
    EXPECT_EQ(Picker->Text(), "02/01/2024");
    Keys("{Esc}{Right}{Up}");
    EXPECT_EQ(Picker->Text(), "02/02/2024");
    EXPECT_EQ(Table->State(), dsEdit);
    Table->Post();
    EXPECT_EQ(Table->FieldByName("FECHA")->AsDateTime(), EncodeDate(2024, 2, 2));
    // Leaving the editor writes a typed value too.
    Keys("{Esc}15");
    Other->SetFocus();
    Ui().RunUntilIdle();
    Table->Post();
    EXPECT_EQ(Table->FieldByName("FECHA")->AsDateTime(), EncodeDate(2024, 2, 15));
}

TEST_F(DateTimePickerBound, ARequiredFieldRefusesClearing) {
    Table->FieldByName("FECHA")->SetRequired(true);
    Keys("{S+End}{Back}{S+End}{Del}");
    EXPECT_EQ(Picker->Text(), "02/01/2024");
    EXPECT_FALSE(Table->FieldByName("FECHA")->IsNull());
    // Without the requirement, the value goes.
    Table->FieldByName("FECHA")->SetRequired(false);
    Keys("{S+End}{Back}");
    EXPECT_EQ(Picker->Text(), "");
    Table->Post();
    EXPECT_TRUE(Table->FieldByName("FECHA")->IsNull());
}

TEST_F(DateTimePickerBound, AReadOnlyFieldTakesNoKeys) {
    Table->FieldByName("FECHA")->SetReadOnly(true);
    Keys("{Up}7{S+End}{Back}");
    EXPECT_EQ(Picker->Text(), "02/01/2024");
    EXPECT_EQ(Table->State(), dsBrowse);
}

TEST_F(DateTimePicker, APasteTakesADateWithinTheLimitsAndDropsOthers) {
    Picker->SetMaxDate(Ymd(2024, 12, 31));
    Start(wwDTEdtDate, "dd/mm/yyyy", Ymd(2024, 5, 10));
    struct Case {
        const char* Pasted;
        TDateTime Value;
        const char* Text;
    } cases[] = {
        {"03/07/2024", Ymd(2024, 7, 3), "03/07/2024"},
        {"05/01/2025", Ymd(2024, 7, 3), "03/07/2024"},  // past the maximum: refused
        {"no es fecha", Ymd(2024, 7, 3), "03/07/2024"},
    };
    for (const Case& c : cases) {
        ClipboardSetText(c.Pasted);
        Picker->Perform(WM_PASTE, 0, 0);
        Ui.RunUntilIdle();
        EXPECT_DOUBLE_EQ(Picker->DateTime(), c.Value) << c.Pasted;
        EXPECT_EQ(Picker->Text(), c.Text) << c.Pasted;
    }  // A cut takes the text away and empties the value, its time of day too.
    Start(wwDTEdtDateTime, "dd/mm/yyyy hh:nn", Ymd(2024, 7, 3) + Hm(10, 30));
    Picker->SelectAll();
    Picker->Perform(WM_CUT, 0, 0);
    Ui.RunUntilIdle();
    EXPECT_EQ(ClipboardGetText(), "03/07/2024 10:30");
    EXPECT_EQ(Picker->DateTime(), 0);
    EXPECT_EQ(Picker->Text(), "");
    EXPECT_TRUE(Picker->IsBlank());
    EXPECT_TRUE(Picker->Modified());
}

// ---------------------------------------------------------------- transparent frame

namespace {

class DateTimePickerSeeThrough : public DateTimePicker {
protected:
    DateTimePickerSeeThrough() {
        Form->SetColor(clBtnFace);
        Picker->SetColor(clYellow);
        Picker->Frame()->SetEnabled(true);
        Picker->Frame()->SetTransparent(true);
        Picker->SetDateTime(Ymd(2024, 3, 14));
        Other->SetFocus();
        Ui.RunUntilIdle();
    }
    bool SeeThrough() const {
        return (GetWindowLong(Picker->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    }
    // How many pixels of the editor's client area the form shows in the colour.
    int PixelsOver(TColor Colour) {
        const uint32_t ink = ColorRefToPixel(ColorToRGB(Colour));
        const TSurface& picture = Ui.Picture(Form);
        const TPoint at = Form->ScreenToClient(Picker->ClientOrigin());
        int count = 0;
        for (int y = 0; y < Picker->ClientHeight(); ++y)
            for (int x = 0; x < Picker->ClientWidth(); ++x)
                count += picture.GetPixel(at.x + x, at.y + y) == ink;
        return count;
    }
};

}  // namespace

TEST_F(DateTimePickerSeeThrough, ItIsSeeThroughOnlyWhileUnfocused) {
    EXPECT_TRUE(SeeThrough());
    EXPECT_TRUE(Picker->Frame()->UseTransparentStyle());
    EXPECT_EQ(GetWindowLong(Form->Handle(), GWL_STYLE) & WS_CLIPCHILDREN, 0)
        << "the form lets it show through";
    EXPECT_EQ(PixelsOver(clYellow), 0) << "no colour of its own";
    EXPECT_GT(PixelsOver(clBtnFace), 0) << "the form behind it";
    Picker->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_FALSE(SeeThrough()) << "opaque while it is typed into";
    EXPECT_FALSE(Picker->Frame()->UseTransparentStyle());
    Other->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_TRUE(SeeThrough());
    EXPECT_EQ(PixelsOver(clYellow), 0);
}

TEST_F(DateTimePickerSeeThrough, TheMouseLeavingGivesItsWindowBackTheSeeThroughStyle) {
    Picker->Frame()->SetMouseEnterSameAsFocus(true);
    int left = 0;
    Picker->OnMouseLeave = [&left](TObject*) { ++left; };
    // A window made without the style, as a frame assigned while focused leaves it.
    Picker->Frame()->SetUseTransparentStyle(false);
    Picker->RecreateWnd();
    Ui.RunUntilIdle();
    ASSERT_FALSE(SeeThrough());
    Ui.MoveTo(Picker->ClientToScreen(TPoint(10, 5)));
    Ui.RunUntilIdle();
    Ui.MoveTo(Form->ClientToScreen(TPoint(300, 230)));
    Ui.RunUntilIdle();
    EXPECT_EQ(left, 1);
    EXPECT_TRUE(Picker->Frame()->UseTransparentStyle());
    EXPECT_TRUE(SeeThrough());
}

TEST_F(DateTimePickerSeeThrough, TheMouseLeavingAFlatButtonRepaintsWhatLiesUnderIt) {
    Picker->ButtonEffects()->SetFlat(true);
    Ui.RunUntilIdle();
    TRect under = Picker->ButtonHolder()->BoundsRect();
    const int border = Picker->BorderStyle() == bsSingle ? 2 : 0;
    OffsetRect(under, Picker->Left() + border, Picker->Top() + border);
    TRegion pending;
    GetUpdateRgn(Form->Handle(), pending, false);
    ASSERT_FALSE(pending.Intersects(under));
    Picker->ButtonHolder()->Perform(CM_MOUSELEAVE, 0, 0);
    GetUpdateRgn(Form->Handle(), pending, false);
    EXPECT_TRUE(pending.Contains(under.Left, under.Top));
    EXPECT_TRUE(pending.Contains(under.Right - 1, under.Bottom - 1));
    Ui.RunUntilIdle();
    Picker->SetFocus();
    Ui.RunUntilIdle();
    Picker->ButtonHolder()->Perform(CM_MOUSELEAVE, 0, 0);
    GetUpdateRgn(Form->Handle(), pending, false);
    EXPECT_FALSE(pending.Intersects(under)) << "a focused editor is opaque";
}

// ---------------------------------------------------------------- form files

namespace {

// The form text has a line "Name = ..." (a property of the editor itself).
bool HasPropertyLine(const AnsiString& Text, std::string_view Name) {
    const std::string line = "\n    " + std::string(Name) + " = ";
    return Text.find(line) != AnsiString::npos;
}

}  // namespace

TEST_F(DateTimePicker, AFormFileKeepsTheDateAndTheTimeOfEachKind) {
    const TDateTime maxDay = Ymd(2024, 3, 14);
    struct Case {
        TwwDTEditDataType Kind;
        TDateTime Value;
        bool DateStored, TimeStored;
        TDateTime ReadBack;
    } cases[] = {
        {wwDTEdtDateTime, maxDay + Hm(10, 30), true, true, maxDay + Hm(10, 30)},  // on the last day allowed
        {wwDTEdtDate, Ymd(2024, 2, 29), true, false, Ymd(2024, 2, 29)},
        {wwDTEdtTime, Hm(7, 45), false, true, Hm(7, 45)},
        {wwDTEdtDateTime, 0, false, false, 0},
    };
    for (const Case& c : cases) {
        auto* holder = TForm::CreateNew(Application);
        auto* picker = NewComponent<TwwDBDateTimePicker>(holder);
        picker->SetName("Fecha");
        picker->SetParent(holder);
        picker->SetUnboundDataType(c.Kind);
        picker->SetMaxDate(maxDay);
        picker->SetDateTime(c.Value);
        const AnsiString text = WriteComponentToText(holder);
        EXPECT_EQ(HasPropertyLine(text, "Date"), c.DateStored) << text;
        EXPECT_EQ(HasPropertyLine(text, "Time"), c.TimeStored) << text;
        auto* back = TForm::CreateNew(Application);
        ReadComponentFromText(back, text);
        auto* read = dynamic_cast<TwwDBDateTimePicker*>(back->FindComponent("Fecha"));
        ASSERT_NE(read, nullptr);
        EXPECT_NEAR(read->DateTime(), c.ReadBack, 1e-9) << text;
        EXPECT_EQ(read->Text(), picker->Text()) << text;
        holder->Free();
        back->Free();
    }
}
