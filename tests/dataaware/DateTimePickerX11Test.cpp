// The date-time editor on a private X server: F4 drops the calendar down as
// a real top-level window, and a click on a day sent through the server
// takes the date and closes it.
#include <gtest/gtest.h>

#include <functional>

#include "dataaware/DataAware.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "platform/rtl/Regional.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MonthCal.h"
#include "tests/support/ui/ScreenTest.h"
#include "tests/support/ui/X11Support.h"

namespace {

constexpr unsigned long KeyF4 = 0xFFC1;

class DateTimePickerX11 : public X11ScreenTest {
protected:
    void SetUp() override {
        X11ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        StartDataAwareLibrary();
        FStarted = true;
    }
    void TearDown() override {
        if (F) F->Free();
        if (FStarted) FinishDataAwareLibrary();
    }
    // Runs the loop until the condition holds (the server answers in its own time).
    bool RunUntil(const std::function<bool()>& Condition) {
        for (int i = 0; i < 20000; ++i) {
            Application->ProcessMessages();
            if (Condition()) return true;
        }
        return false;
    }

    TFormatSettingsScope Spanish{TFormatSettings()};
    TForm* F = nullptr;

private:
    bool FStarted = false;
};

TEST_F(DateTimePickerX11, TheCalendarIsARealWindowAndADayClosesIt) {
    Clock.SetNow(EncodeDate(2024, 5, 10) + 0.5);
    F = TForm::CreateNew(Application);
    F->SetBounds(40, 40, 300, 200);
    auto* picker = NewComponent<TwwDBDateTimePicker>(F);
    picker->SetParent(F);
    picker->SetBounds(10, 10, 150, 24);
    picker->SetUnboundDataType(wwDTEdtDate);
    picker->SetDisplayFormat("dd/mm/yyyy");
    picker->SetDateTime(EncodeDate(2024, 5, 10));
    F->Show();
    picker->SetFocus();
    ASSERT_TRUE(RunUntil([&] {
        uint32_t pixel = 0;
        return X11ReadBack(X(), F->Handle(), 3, 3, pixel);
    }));

    ASSERT_TRUE(X11SendKey(X(), F->Handle(), true, KeyF4));
    ASSERT_TRUE(X11SendKey(X(), F->Handle(), false, KeyF4));
    ASSERT_TRUE(RunUntil([&] { return picker->IsDroppedDown(); })) << "F4 did not drop the calendar down";
    TwwPopupCalendar* cal = picker->Calendar();
    uint32_t pixel = 0;
    ASSERT_TRUE(RunUntil([&] {
        UpdateWindow(cal->Handle());
        return X11ReadBack(X(), cal->Handle(), 3, 3, pixel);
    })) << "the calendar has no window of its own on the server";
    EXPECT_EQ(GetFocus(), picker->Handle());

    // The 22nd, through the server, at its place in the calendar's X window.
    TPoint day;
    bool found = false;
    for (int y = 0; y < cal->Height() && !found; y += 2)
        for (int x = 0; x < cal->Width() && !found; x += 2) {
            TMCHitTestInfo info;
            info.pt = TPoint(x, y);
            if (SendMessage(cal->Handle(), MCM_HITTEST, 0, PointerToLParam(&info)) == MCHT_CALENDARDATE &&
                SystemTimeToDateTime(info.st) == EncodeDate(2024, 5, 22)) {
                day = TPoint(x + 2, y + 2);
                found = true;
            }
        }
    ASSERT_TRUE(found);
    TRect window;
    GetWindowRect(cal->Handle(), window);
    const TPoint screen = cal->ClientToScreen(day);
    const TPoint inWindow(screen.x - window.Left, screen.y - window.Top);
    ASSERT_TRUE(X11SendButton(X(), cal->Handle(), true, 1, inWindow.x, inWindow.y));
    ASSERT_TRUE(X11SendButton(X(), cal->Handle(), false, 1, inWindow.x, inWindow.y));
    ASSERT_TRUE(RunUntil([&] { return !picker->IsDroppedDown(); })) << "the click did not close the calendar";
    EXPECT_EQ(picker->DateTime(), EncodeDate(2024, 5, 22));
    EXPECT_EQ(picker->Text(), "22/05/2024");
}

}  // namespace
