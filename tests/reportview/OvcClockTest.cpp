// The clock: as the organizer dialog streams it (a timer on the
// controller's pool, on the manual clock), clock mode with its offsets,
// and its face, marks and hands checked against their formulas; and once
// on a real X server.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "OvcTestSupport.h"
#include "platform/backend/Backend.h"
#include "platform/classes/Filer.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcClock.h"
#include "reportview/OvcExcpt.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/ui/ScreenTest.h"

namespace {

// The hands of the organizer dialog's clock.
void OrganizerHands(TOvcHandOptions* H) {
    H->SetHourHandColor(clBlack);
    H->SetHourHandLength(50);
    H->SetHourHandWidth(3);
    H->SetMinuteHandColor(clNavy);
    H->SetMinuteHandLength(60);
    H->SetMinuteHandWidth(2);
    H->SetSecondHandColor(clRed);
    H->SetSecondHandLength(70);
    H->SetSecondHandWidth(1);
}

// The organizer dialog's clock as its form streams it.
TForm* BuildOrganizer(TComponent* Owner) {
    TForm* F = TForm::CreateNew(Owner);
    F->SetName("FormOrganizar");
    F->SetBorderStyle(bsNone);
    F->SetBounds(50, 100, 300, 200);
    auto* c = NewComponent<TOvcController>(F);
    c->SetName("OvcController1");
    auto* k = NewComponent<TOvcClock>(F);
    k->SetName("OvcClockTotal");
    k->SetBounds(20, 30, 100, 100);
    k->SetParent(F);
    k->SetController(c);
    TBitmap face(16, 16);
    face.Canvas()->Brush()->SetColor(clYellow);
    face.Canvas()->FillRect(TRect(0, 0, 16, 16));
    k->SetClockFace(&face);
    k->SetClockMode(cmTimer);
    k->SetDrawMarks(false);
    OrganizerHands(k->HandOptions());
    k->SetActive(true);
    return F;
}

class OvcClock : public OvcFormTest {
protected:
    OvcClock() { RegisterClass(TOvcClock::StaticClassInfo()); }
    // The organizer dialog read from its form text.
    TForm* Organizer() {
        TForm* built = BuildOrganizer(Application);
        Text = WriteComponentToText(built);
        built->Free();
        return ReadForm(Text);
    }
    void Ticks(int N) {
        for (int i = 0; i < N; ++i) {
            Clock.Advance(TOvcCustomClock::TickInterval);
            Ui.RunUntilIdle();
        }
    }
    static std::string HMS(TDateTime T) {
        int h = 0, m = 0, s = 0, ms = 0;
        DecodeTime(T, h, m, s, ms);
        return std::to_string(h) + ":" + (m < 10 ? "0" : "") + std::to_string(m) + ":" + (s < 10 ? "0" : "") +
               std::to_string(s);
    }
    std::string Text;
};

TEST_F(OvcClock, TheOrganizersTimerRunsOnItsControllersPool) {
    TForm* F = Organizer();
    for (const char* line :
         {"Active = True", "Controller = OvcController1", "ClockFace.Data = {", "ClockMode = cmTimer",
          "DrawMarks = False", "HandOptions.MinuteHandColor = clNavy", "HandOptions.SecondHandLength = 70"})
        EXPECT_NE(Text.find(line), std::string::npos) << line << "\n" << Text;
    auto* k = dynamic_cast<TOvcClock*>(F->FindComponent("OvcClockTotal"));
    auto* c = dynamic_cast<TOvcController*>(F->FindComponent("OvcController1"));
    ASSERT_NE(k, nullptr);
    EXPECT_TRUE(k->Active());
    EXPECT_FALSE(k->ClockFace()->Empty());
    EXPECT_EQ(c->TimerPool()->TriggerCount(), 1);
    EXPECT_EQ(c->TimerPool()->TimerInterval(), 500u);
    EXPECT_EQ(HMS(k->DisplayedTime()), "0:00:00") << "at load";
    Ticks(1);
    EXPECT_EQ(HMS(k->DisplayedTime()), "0:00:00");
    Ticks(1);
    EXPECT_EQ(HMS(k->DisplayedTime()), "0:00:01") << "two ticks of the pool";
    k->SetActive(true);
    EXPECT_EQ(c->TimerPool()->TriggerCount(), 1) << "already active: nothing changes";
    Ticks(4);
    EXPECT_EQ(HMS(k->DisplayedTime()), "0:00:03");
    EXPECT_EQ(k->GetElapsedSeconds(), 3);
    k->SetActive(false);
    EXPECT_EQ(c->TimerPool()->TriggerCount(), 0);
    Ticks(10);
    EXPECT_EQ(HMS(k->DisplayedTime()), "0:00:03") << "frozen";
    EXPECT_EQ(k->GetElapsedSeconds(), 3) << "the last value measured";
    EXPECT_EQ(k->GetElapsedSecondsTotal(), 3);
    k->SetActive(true);
    EXPECT_EQ(HMS(k->DisplayedTime()), "0:00:00") << "a new start counts from 0";
}

TEST_F(OvcClock, WithoutAControllerItCannotStart) {
    TForm* F = NewPlainForm("F");
    auto* k = NewComponent<TOvcClock>(F);
    try {
        k->SetActive(true);
        FAIL();
    } catch (const ENoControllerAssigned& e) {
        EXPECT_EQ(e.Message(), "No Controller assigned");
    }
    EXPECT_FALSE(k->Active());
    // The controller goes while the clock runs: its trigger goes with the pool.
    auto* c = NewComponent<TOvcController>(F);
    k->SetController(c);
    k->SetActive(true);
    c->Free();
    EXPECT_EQ(k->Controller(), nullptr);
    k->SetActive(false);
    k->Free();
}

TEST_F(OvcClock, ClockModeShiftsTheTimeOfDay) {
    TForm* F = NewPlainForm("F");
    auto* k = NewComponent<TOvcClock>(F);
    struct Case {
        int Hour, Minute, HourOffset, MinuteOffset;
        const char* Shown;
    } cases[] = {{10, 10, 0, -30, "9:40:05"}, {5, 0, -11, 0, "18:00:05"}, {23, 50, 0, 20, "0:10:05"},
                 {0, 5, 0, -10, "23:55:05"},  {12, 0, 12, 60, "1:00:05"}, {7, 30, 3, 0, "10:30:05"}};
    for (const Case& c : cases) {
        k->SetTimeOffset(c.HourOffset);
        k->SetMinuteOffset(c.MinuteOffset);
        EXPECT_EQ(HMS(k->ClockModeTime(EncodeTime(c.Hour, c.Minute, 5, 0))), c.Shown)
            << c.Hour << ":" << c.Minute;
    }
    k->SetTimeOffset(2);
    k->SetMinuteOffset(5);
    k->SetTimeOffset(13);
    k->SetMinuteOffset(-61);
    EXPECT_EQ(k->TimeOffset(), 2);
    EXPECT_EQ(k->MinuteOffset(), 5);
    EXPECT_EQ(HMS(OvcMSecsToDateTime(90000000)), "1:00:00");
    EXPECT_EQ(std::floor(OvcMSecsToDateTime(90000000)), 1.0) << "1 day and 1:00:00";
    k->SetHandOptions(k->HandOptions());
    k->HandOptions()->SetHourHandWidth(0);
    EXPECT_EQ(k->HandOptions()->HourHandWidth(), 4) << "a width of 0 is ignored";
}

TEST_F(OvcClock, TheChangeEventsFollowTheShownTime) {
    TForm* F = NewPlainForm("F");
    auto* k = NewComponent<TOvcClock>(F);
    std::string log;
    k->OnHourChange = [&](TObject*) { log += "h"; };
    k->OnMinuteChange = [&](TObject*) { log += "m"; };
    k->OnSecondChange = [&](TObject*) { log += "s"; };
    k->SetTime(EncodeTime(0, 0, 1, 0));
    k->SetTime(EncodeTime(0, 0, 1, 400));
    k->SetTime(EncodeTime(0, 1, 1, 0));
    k->SetTime(EncodeTime(2, 1, 2, 0));
    EXPECT_EQ(log, "smhs");
}

// --- the picture, by formula ---

// Half-way values round to the even neighbour, as the clock's drawing does.
int RoundEven(double V) { return static_cast<int>(std::nearbyint(V)); }

class OvcClockPicture : public OvcFormTest {
protected:
    OvcClockPicture() {
        F = NewPlainForm("F", 200, 200);
        NewComponent<TOvcController>(F);
        K = NewComponent<TOvcClock>(F);
        K->SetBounds(0, 0, 100, 100);
        K->SetColor(clWhite);
        K->SetParent(F);
        F->Show();
    }
    uint32_t At(int X, int Y) {
        Ui.RunUntilIdle();
        return PixelAt(F, X, Y);
    }
    // Where a hand of that value and length has its tip, as the hands are turned.
    static TPoint Tip(double Value, int Length) {
        const double a = (((RoundEven(Value * 6) + 90) % 360) - 90) * std::numbers::pi / 180;
        return TPoint(50 + RoundEven(-std::sin(a) * -Length), 50 + RoundEven(std::cos(a) * -Length));
    }
    TForm* F;
    TOvcClock* K;
};

TEST_F(OvcClockPicture, MarksAreBevelledDotsAroundTheFace) {
    K->SetTime(EncodeTime(6, 30, 45, 0));
    for (int i = 0; i < 60; ++i) {
        const double a = ((RoundEven(i * 6) + 90) % 360) * std::numbers::pi / 180;
        const int x = RoundEven((1 - std::cos(a) * 0.98) * 50), y = RoundEven((1 - std::sin(a) * 0.98) * 50);
        const bool hour = i % 5 == 0;
        EXPECT_EQ(At(x, y), hour ? 0x808080u : 0xC0C0C0u) << i;
        EXPECT_EQ(At(x - 1, y - 1), hour ? 0x0000FFu : 0x808080u) << i;
        if (x + 1 < 100 && y + 1 < 100) {
            EXPECT_EQ(At(x + 1, y + 1), hour ? 0x000000u : 0xFFFFFFu) << i;
        }
    }
    EXPECT_EQ(At(50, 1), 0x808080u) << "twelve o'clock";
}

TEST_F(OvcClockPicture, HandsAndCapStandWhereTheFormulasPutThem) {
    TOvcHandOptions* h = K->HandOptions();
    OrganizerHands(h);
    K->SetDrawMarks(false);
    // 3:00:30: the hour hand to the right, the minute hand up, the second hand down.
    K->SetTime(EncodeTime(3, 0, 30, 0));
    const int cap = RoundEven(50 * 0.04) + 1;
    for (int k = cap + 1; k < 25; ++k) EXPECT_EQ(At(50 + k, 50), 0x000000u) << "hour hand " << k;
    for (int k = cap + 1; k < 30; ++k) EXPECT_EQ(At(50, 50 - k), 0x000080u) << "minute hand " << k;
    for (int k = cap + 1; k < 35; ++k) EXPECT_EQ(At(50, 50 + k), 0xFF0000u) << "second hand " << k;
    EXPECT_EQ(At(50 + 26, 50), 0xFFFFFFu) << "the hour hand ends at its length";
    // The hour hand is widest at a quarter of its length: 3 pixels to each side.
    const int d = static_cast<int>(25 * 0.25);
    EXPECT_EQ(At(50 + d, 50 - 2), 0x000000u);
    EXPECT_EQ(At(50 + d, 50 + 2), 0x000000u);
    EXPECT_EQ(At(50 + d, 50 - 5), 0xFFFFFFu);
    EXPECT_EQ(At(50 + 20, 50 - 3), 0xFFFFFFu) << "narrower towards the tip";
    EXPECT_EQ(At(50, 50), 0xFF0000u) << "the cap takes the second hand's colour";
    EXPECT_EQ(At(50 - cap, 50), 0x000000u) << "its outline is black";

    // Ten seconds past: a straight line from the centre to the turned tip.
    K->SetTime(EncodeTime(3, 0, 10, 0));
    const TPoint tip = Tip(10, 35);
    EXPECT_EQ(tip, TPoint(50 + 30, 50 - 18));
    EXPECT_EQ(At(50 + 15, 50 - 9), 0xFF0000u) << "half-way";
    EXPECT_EQ(At(tip.x - 2, tip.y + 1), 0xFF0000u);
    h->SetShowSecondHand(false);
    EXPECT_EQ(At(50 + 15, 50 - 9), 0xFFFFFFu);
    EXPECT_EQ(At(50, 50), 0x000080u) << "without the second hand the cap takes the minute hand's colour";
}

TEST_F(OvcClockPicture, HollowHandsLightTwoOfTheirTriangles) {
    TOvcHandOptions* h = K->HandOptions();
    h->SetSolidHands(false);
    h->SetShowSecondHand(false);
    K->SetDrawMarks(false);
    // At 0:00 both hands point up: minute value 0 lights the upper-left and
    // lower-left triangles, so its right half keeps the face colour.
    K->SetTime(EncodeTime(0, 0, 0, 0));
    const int length = static_cast<int>(50 * 80 / 100.0), d = static_cast<int>(length * 0.25);
    EXPECT_EQ(At(50 - 1, 50 - d - 4), 0xFFFFFFu);
    EXPECT_EQ(At(50 + 1, 50 - d - 4), 0xFFFFFFu);
    EXPECT_EQ(At(50, 50 - length + 1), 0x000000u) << "the outline in the hand's colour";
    K->SetColor(clSilver);
    EXPECT_EQ(At(50 - 1, 50 - d - 4), 0xFFFFFFu) << "lit: white";
    EXPECT_EQ(At(50 + 1, 50 - d - 4), 0xC0C0C0u) << "unlit: the face colour";
}

TEST_F(OvcClockPicture, TheFacePictureIsStretchedIntoTheRound) {
    TBitmap face(10, 10);
    face.Canvas()->Brush()->SetColor(clLime);
    face.Canvas()->FillRect(TRect(0, 0, 10, 10));
    K->SetClockFace(&face);
    K->SetDrawMarks(false);
    K->SetTime(EncodeTime(0, 0, 0, 0));
    EXPECT_EQ(At(20, 50), 0x00FF00u);
    EXPECT_EQ(At(1, 50), 0x00FF00u) << "the round touches the edge without marks";
    EXPECT_EQ(At(3, 3), 0xFFFFFFu) << "outside the round";
    EXPECT_EQ(At(97, 96), 0xFFFFFFu);
    K->SetClockFace(nullptr);
    EXPECT_TRUE(K->ClockFace()->Empty());
    EXPECT_EQ(At(20, 50), 0xFFFFFFu);
}

// --- on a real X server ---

using X11Display = X11ScreenTest;

TEST_F(X11Display, TheOrganizersClockMovesItsSecondHandOnTheScreen) {
    TDisplay& Xd = X();
    {
        TForm* F = BuildOrganizer(Application);
        auto* k = dynamic_cast<TOvcClock*>(F->FindComponent("OvcClockTotal"));
        k->SetClockFace(nullptr);
        k->SetColor(clWhite);
        F->Show();
        Application->ProcessMessages();
        UpdateWindow(F->Handle());
        // The clock at (20, 30): its centre at (70, 80). At 0:00:00 the
        // second hand points up; fifteen seconds later, to the right.
        auto pixel = [&](int X, int Y) {
            uint32_t P = 0;
            EXPECT_TRUE(X11ReadBack(Xd, F->Handle(), X, Y, P));
            return P;
        };
        EXPECT_EQ(pixel(70, 80 - 20), 0xFF0000u);
        EXPECT_EQ(pixel(70 + 20, 80), 0xFFFFFFu);
        for (int i = 0; i < 30; ++i) {
            Clock.Advance(TOvcCustomClock::TickInterval);
            Application->ProcessMessages();
        }
        UpdateWindow(F->Handle());
        EXPECT_EQ(k->GetElapsedSeconds(), 15);
        EXPECT_EQ(pixel(70 + 20, 80), 0xFF0000u) << "the second hand has moved on the screen";
        EXPECT_EQ(pixel(70, 80 - 32), 0xFFFFFFu) << "the minute hand is shorter than that";
        F->Free();
    }
}

}  // namespace
