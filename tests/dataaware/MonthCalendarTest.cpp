// The library's month calendar: its limits on every path (the date writer,
// clicks on trailing days, the title buttons, the keys), bold days, the
// title's month and year menus and the year input box.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "dataaware/wwmonthcalendar.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MonthCal.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/UiDriver.h"

namespace {

TDateTime D(int Y, int M, int Day) { return EncodeDate(Y, M, Day); }

class MonthCalendar : public ::testing::Test {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
    TManualClock Clock{EncodeDate(2003, 6, 12) + 0.25};
    TClockScope ClockScope{Clock};
    TLibraryScope Library;
    TUiDriver& Ui = static_cast<TUiDriver&>(CurrentDisplay());
    TForm* Form = TForm::CreateNew(Application);
    TwwMonthCalendar* Cal = nullptr;
    int Changes = 0;

    MonthCalendar() {
        Form->SetBounds(20, 20, 500, 400);
        Cal = NewComponent<TwwMonthCalendar>(Form);
        Cal->SetParent(Form);
        Cal->SetLeft(10);
        Cal->SetTop(10);
        Cal->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        Ui.RunUntilIdle();
    }
    ~MonthCalendar() override { Form->Free(); }

    // Where the window shows a day (hit test, client coordinates).
    TPoint Where(TDateTime Day, unsigned Kind = MCHT_CALENDARDATE) {
        for (int y = 0; y < Cal->Height(); y += 2)
            for (int x = 0; x < Cal->Width(); x += 2) {
                TMCHitTestInfo info;
                info.pt = TPoint(x, y);
                const auto hit =
                    static_cast<unsigned>(SendMessage(Cal->Handle(), MCM_HITTEST, 0, PointerToLParam(&info)));
                if (hit == Kind && ((Kind != MCHT_CALENDARDATE && Kind != MCHT_CALENDARDATENEXT) ||
                                    SystemTimeToDateTime(info.st) == Day))
                    return TPoint(x, y);
            }
        ADD_FAILURE() << "not shown";
        return TPoint(0, 0);
    }
    void Click(TPoint P) {
        Ui.Click(Cal->ClientToScreen(P));
        Ui.RunUntilIdle();
    }
    void Keys(const char* Script) {
        Cal->SetFocus();
        PlayKeys(Ui, Script);
        Ui.RunUntilIdle();
    }
    TDateTime Shown() {
        TSystemTime t;
        SendMessage(Cal->Handle(), MCM_GETCURSEL, 0, PointerToLParam(&t));
        return SystemTimeToDateTime(t);
    }
};

}  // namespace

TEST_F(MonthCalendar, ANewCalendarShowsNowWithItsDefaults) {
    TRect r;
    SendMessage(Cal->Handle(), MCM_GETMINREQRECT, 0, PointerToLParam(&r));
    EXPECT_EQ(Cal->Width(), std::max(155, static_cast<int>(r.Right)));
    EXPECT_EQ(Cal->Date(), EncodeDate(2003, 6, 12) + 0.25);
    EXPECT_EQ(Cal->Options(), TwwMonthOptions{mdoDayState});
    EXPECT_EQ(Cal->MaxSelectCount(), 31);
    EXPECT_EQ(Shown(), D(2003, 6, 12));
    EXPECT_EQ(LoWord(SendMessage(Cal->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)),
              0);  // Monday, as the settings say
    EXPECT_TRUE(CommonControlsSupportNoToday());
}

TEST(MonthCalendarVersion, TheTodayLineHidesFromVersion471On) {
    struct Case {
        uint32_t Major, Minor;
        bool Hides;
    } cases[] = {{4, 70, false}, {4, 71, true}, {5, 0, true}, {5, 82, true}, {6, 0, true}, {3, 95, false}};
    for (const Case& c : cases)
        EXPECT_EQ(CommonControlsVersionSupportsNoToday(c.Major, c.Minor), c.Hides)
            << c.Major << "." << c.Minor;
}

TEST_F(MonthCalendar, TheDateWriterKeepsTheLimits) {
    Cal->SetMaxDate(D(2003, 6, 30));
    Cal->SetDate(D(2003, 6, 12) + 0.9);  // the same day: nothing changes
    EXPECT_EQ(Cal->Date(), D(2003, 6, 12) + 0.25);
    try {
        Cal->SetDate(D(2003, 7, 1));
        FAIL();
    } catch (const EDateTimeError& e) {
        EXPECT_STREQ(e.what(), "Date exceeds maximum of 30/06/2003");
    }
    EXPECT_EQ(Cal->Date(), D(2003, 6, 12) + 0.25);
    EXPECT_EQ(Shown(), D(2003, 6, 12));
    EXPECT_THROW(Cal->SetMinDate(D(2003, 7, 1)), EDateTimeError);
    Cal->SetMinDate(D(2003, 6, 2));
    try {
        Cal->SetMaxDate(D(2003, 6, 1));
        FAIL();
    } catch (const EDateTimeError& e) {
        EXPECT_STREQ(e.what(), "Date is less than minimum of 02/06/2003");
    }
    Cal->SetTime(0.75);
    EXPECT_EQ(Cal->Date(), D(2003, 6, 12) + 0.75);
}

TEST_F(MonthCalendar, ClicksAndTitleButtonsStopAtTheLimitsWithABeep) {
    TBeepRecorder beeps;
    Cal->SetMaxDate(D(2003, 6, 30));
    Cal->SetMinDate(D(2003, 5, 20));
    Click(Where(D(2003, 7, 2), MCHT_CALENDARDATENEXT));
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 6, 30));
    EXPECT_EQ(Shown(), D(2003, 6, 30));
    Click(Where(0, MCHT_TITLEBTNNEXT));
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 6, 30));
    EXPECT_EQ(beeps.Beeps().size(), 1u);
    Click(Where(0, MCHT_TITLEBTNPREV));
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 5, 30));
    Click(Where(0, MCHT_TITLEBTNPREV));
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 5, 20));
    EXPECT_EQ(beeps.Beeps().size(), 2u);
    EXPECT_EQ(Changes, 3);  // the buttons; a click outside the limits only moves the date
}

TEST_F(MonthCalendar, ThePreviousButtonCutsTheDayToTheMonth) {
    Cal->SetDate(D(2003, 3, 31));
    Click(Where(0, MCHT_TITLEBTNPREV));
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 2, 28));
    Cal->SetDate(D(2003, 1, 31));
    Click(Where(0, MCHT_TITLEBTNPREV));
    EXPECT_EQ(DateOf(Cal->Date()), D(2002, 12, 31));
}

TEST_F(MonthCalendar, KeysPageAndStepWithinTheLimits) {
    struct Step {
        const char* Keys;
        TDateTime Date;
    } steps[] = {
        {"{PgDn}", D(2003, 7, 12)}, {"{PgUp}{PgUp}", D(2003, 5, 12)}, {"{Left}", D(2003, 5, 11)},
        {"{Down}", D(2003, 5, 18)}, {"{Up}{Up}", D(2003, 5, 4)},
    };
    for (const Step& s : steps) {
        Keys(s.Keys);
        EXPECT_EQ(DateOf(Cal->Date()), s.Date) << s.Keys;
    }
    Cal->SetDate(D(2004, 1, 31));
    Keys("{PgDn}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2004, 2, 29));
    Cal->SetDate(D(2004, 3, 31));
    Keys("{PgUp}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2004, 2, 29));
    // At the limits.
    Cal->SetMaxDate(D(2004, 3, 10));
    Cal->SetMinDate(D(2004, 2, 20));
    Cal->SetDate(D(2004, 3, 5));
    Keys("{PgDn}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2004, 3, 10));
    Keys("{Down}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2004, 3, 10));
    const int before = Changes;
    Cal->SetDate(D(2004, 3, 10));
    Cal->SetTime(0);  // the date equals the maximum exactly
    Keys("{Right}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2004, 3, 10));
    EXPECT_EQ(Changes, before + 1);  // the key still tells
    Keys("{PgUp}{Left}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2004, 2, 20));
}

TEST_F(MonthCalendar, BoldDaysReachTheDayStateMasks) {
    Cal->OnCalcBoldDay = [](TObject*, TDateTime, int, int Day, int, bool& Accept) { Accept = Day == 1; };
    // As the window asks when months come into view: more than fourteen are answered too.
    TNMDayState n;
    n.nmhdr.hwndFrom = Cal->Handle();
    n.nmhdr.code = MCN_GETDAYSTATE;
    n.stStart.wYear = 2003;
    n.stStart.wMonth = 11;
    n.stStart.wDay = 1;
    n.cDayState = 20;
    SendMessage(Form->Handle(), WM_NOTIFY, 0, PointerToLParam(&n));
    ASSERT_NE(n.prgDayState, nullptr);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(n.prgDayState[i], i < 14 ? 1u : 0u) << i;
}

TEST_F(MonthCalendar, TheMonthMenuMovesToTheChosenMonth) {
    Ui.Click(Cal->ClientToScreen(Where(0, MCHT_TITLEMONTH)));
    PlayKeys(Ui, "{Up}{Up}{Enter}");  // from the bottom: noviembre
    Ui.RunUntilIdle();
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 11, 12));
    EXPECT_FALSE(Cal->IsMenuShowing());
}

TEST_F(MonthCalendar, TheYearInputBoxIsAnsweredOrCancelled) {
    DefaultIntl->MonthCalendar()->SetPopupYearLabel("Edit Year");
    DefaultIntl->MonthCalendar()->SetEnterYearPrompt("Enter Valid Year");
    Cal->PopupYearOptions()->SetShowEditYear(true);
    Cal->SetMinDate(D(2000, 3, 15));
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK, "1999").Then(IDOK, "2005");
    Ui.Click(Cal->ClientToScreen(Where(0, MCHT_TITLEYEAR)));
    PlayKeys(Ui, "{Down}{Enter}");  // the edit item
    Ui.RunUntilIdle();
    EXPECT_EQ(DateOf(Cal->Date()), D(2005, 6, 12));
    ASSERT_EQ(dialogs.Asked().size(), 2u);
    EXPECT_EQ(dialogs.Asked()[0].Caption, "Enter Valid Year (>=2000)");
    EXPECT_EQ(dialogs.Asked()[0].Text, "Enter New Year:");
    EXPECT_EQ(dialogs.Asked()[0].Default, "2003");
    EXPECT_EQ(dialogs.Asked()[1].Default, "2000");  // the refused year brought into the allowed ones
    // Cancel ends it, even when no year is allowed.
    Cal->SetMaxDate(D(2005, 6, 20));
    Cal->SetMinDate(D(2005, 6, 14));
    TScriptedDialogs cancel;
    cancel.Then(IDCANCEL);
    Ui.Click(Cal->ClientToScreen(Where(0, MCHT_TITLEYEAR)));
    PlayKeys(Ui, "{Down}{Enter}");
    Ui.RunUntilIdle();
    EXPECT_EQ(cancel.Asked().size(), 1u);
    EXPECT_EQ(DateOf(Cal->Date()), D(2005, 6, 12));
}

TEST_F(MonthCalendar, TheLocalesFirstDayOfTheWeekReachesTheWindow) {
    TFormatSettings sunday;
    sunday.FirstDayOfWeek = 6;
    TFormatSettingsScope scope(sunday);
    Cal->SetFirstDayOfWeek(wwdowLocaleDefault);
    EXPECT_EQ(LoWord(SendMessage(Cal->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)), 6);
    Cal->SetFirstDayOfWeek(wwdowWednesday);
    EXPECT_EQ(LoWord(SendMessage(Cal->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)), 2);
}

TEST_F(MonthCalendar, LooksAsDrawn) {
    Cal->SetOptions(TwwMonthOptions{mdoDayState, mdoWeekNumbers});
    Cal->OnCalcBoldDay = [](TObject*, TDateTime, int, int Day, int, bool& Accept) { Accept = Day % 10 == 0; };
    Cal->RecreateWnd();
    Cal->SetDate(D(2003, 6, 20));
    Ui.RunUntilIdle();
    const std::string File = std::string(ZELMOR_SOURCE_DIR) + "/tests/dataaware/reference/monthcalendar.png";
    EXPECT_TRUE(MatchesReferencePicture(Ui.Picture(Form), File));
}

TEST_F(MonthCalendar, TheYearMenuMovesToTheChosenYear) {
    Ui.Click(Cal->ClientToScreen(Where(0, MCHT_TITLEYEAR)));
    ASSERT_EQ(Cal->YearMenu(), nullptr);                          // made by the first click on the year
    PlayKeys(Ui, "{Down}{Down}{Down}{Down}{Down}{Down}{Enter}");  // 1990 ... 1995
    Ui.RunUntilIdle();
    ASSERT_NE(Cal->YearMenu(), nullptr);
    EXPECT_EQ(Cal->YearMenu()->Items()->Count(), 20);
    EXPECT_EQ(Cal->YearMenu()->Items()->Items(10)->Break(), mbBarBreak);
    EXPECT_EQ(DateOf(Cal->Date()), D(1995, 6, 12));
    EXPECT_EQ(Shown(), D(1995, 6, 12));
}

// With multi-selection: Shift and an arrow move the far end of the range
// from the date; Page Up and Page Down do nothing on a range of several
// days; a click tells OnChange only when the selection really changed.
TEST_F(MonthCalendar, MultiSelectionMovesItsRangeAndTellsRealChanges) {
    Cal->SetOptions(TwwMonthOptions{mdoDayState, mdoMultiSelect});
    Ui.RunUntilIdle();
    auto Range = [this] {
        TSystemTime r[2];
        SendMessage(Cal->Handle(), MCM_GETSELRANGE, 0, PointerToLParam(r));
        return std::pair(SystemTimeToDateTime(r[0]), SystemTimeToDateTime(r[1]));
    };
    EXPECT_EQ(Range(), std::pair(D(2003, 6, 12), D(2003, 6, 12)));
    Changes = 0;
    Keys("{S+Right}{S+Right}");
    EXPECT_EQ(Cal->SelectionStart(), D(2003, 6, 12));
    EXPECT_EQ(Cal->SelectionEnd(), D(2003, 6, 14));
    EXPECT_EQ(Range(), std::pair(D(2003, 6, 12), D(2003, 6, 14)));
    EXPECT_EQ(Changes, 2);
    Keys("{S+Left}");
    EXPECT_EQ(Cal->SelectionEnd(), D(2003, 6, 13));
    Keys("{PgUp}{PgDn}");
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 6, 12));
    EXPECT_EQ(Range(), std::pair(D(2003, 6, 12), D(2003, 6, 13)));
    EXPECT_EQ(Changes, 3);
    // A click on another day selects it alone; a second click on it changes nothing.
    Click(Where(D(2003, 6, 18)));
    EXPECT_EQ(Range(), std::pair(D(2003, 6, 18), D(2003, 6, 18)));
    EXPECT_EQ(DateOf(Cal->Date()), D(2003, 6, 18));
    const int afterClick = Changes;
    EXPECT_GT(afterClick, 3);
    Click(Where(D(2003, 6, 18)));
    EXPECT_EQ(Changes, afterClick);
}

// The mouse over days past the maximum reports nothing.
TEST_F(MonthCalendar, NoMouseMoveIsToldOverDaysOutsideTheLimits) {
    Cal->SetMaxDate(D(2003, 6, 20));
    std::vector<int> days;
    Cal->OnMouseMove = [&](TObject*, TShiftState, int, int, int, int Day, int) { days.push_back(Day); };
    Ui.MoveTo(Cal->ClientToScreen(Where(D(2003, 6, 16))));
    Ui.RunUntilIdle();
    Ui.MoveTo(Cal->ClientToScreen(Where(D(2003, 6, 25))));
    Ui.RunUntilIdle();
    EXPECT_EQ(days, std::vector<int>{16});
}
