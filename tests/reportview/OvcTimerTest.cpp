// The timer pool on the manual clock: the period of its one window timer,
// when triggers fire, one-time triggers, and times across the wrap of the
// tick count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcTimer.h"

namespace {

class OvcTimerPool : public ::testing::Test {
protected:
    OvcTimerPool() {
        ResetWindowManager();
        EnsureApplication();
        Pool = NewComponent<TOvcTimerPool>(nullptr);
    }
    ~OvcTimerPool() override {
        if (Pool) Pool->Free();
        ResetWindowManager();
    }
    // Moves the clock and runs what became due.
    void Pass(uint32_t MSecs) {
        Clock.Advance(MSecs);
        Application->ProcessMessages();
    }
    // A handler that logs "name:handle:elapsed".
    TTriggerEvent Logger(const std::string& Name) {
        return [this, Name](TObject*, int32_t Handle, uint32_t, int32_t Elapsed) {
            Log.push_back(Name + ":" + std::to_string(Handle) + ":" + std::to_string(Elapsed));
        };
    }
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TOvcTimerPool* Pool = nullptr;
    std::vector<std::string> Log;
};

TEST_F(OvcTimerPool, OneTimerServesAllAtThePeriodThatDividesThem) {
    struct Case {
        std::vector<uint32_t> Intervals;
        uint32_t Period;
    } cases[] = {{{500, 250}, 250}, {{500, 300}, 100}, {{500, 56}, 55},
                 {{10}, 55},        {{1000}, 1000},    {{250, 500, 750}, 250}};
    for (const Case& c : cases) {
        for (uint32_t i : c.Intervals) Pool->Add(nullptr, i);
        EXPECT_EQ(Pool->TimerInterval(), c.Period)
            << c.Intervals.size() << " triggers, the first " << c.Intervals[0];
        EXPECT_EQ(ActiveTimerCount(), 1u);
        Pool->RemoveAll();
        EXPECT_EQ(Pool->TimerInterval(), 0u);
        EXPECT_EQ(ActiveTimerCount(), 0u);
    }
    int32_t h = Pool->Add(nullptr, 10);
    EXPECT_EQ(Pool->TriggerInterval(h), 55u) << "Add raises short intervals";
    Pool->SetTriggerInterval(h, 10);
    EXPECT_EQ(Pool->TriggerInterval(h), 10u) << "a new interval is taken as given";
    EXPECT_EQ(Pool->TimerInterval(), 55u) << "but the timer runs no faster";
}

TEST_F(OvcTimerPool, HandlesCountUpFromTheHighest) {
    EXPECT_EQ(Pool->Add(nullptr, 100), 0);
    EXPECT_EQ(Pool->Add(nullptr, 100), 1);
    EXPECT_EQ(Pool->Add(nullptr, 100), 2);
    Pool->Remove(1);
    Pool->Remove(77);  // nothing
    EXPECT_EQ(Pool->Add(nullptr, 100), 3);
    Pool->Remove(3);
    Pool->Remove(2);
    EXPECT_EQ(Pool->Add(nullptr, 100), 1);
    EXPECT_THROW(Pool->TriggerEnabled(2), EInvalidTriggerHandle);
    EXPECT_THROW(Pool->SetTriggerInterval(9, 100), EInvalidTriggerHandle);
    EXPECT_THROW(Pool->ElapsedTriggerTime(9), EInvalidTriggerHandle);
}

TEST_F(OvcTimerPool, ATriggerIsDueTwentySevenMillisecondsEarly) {
    // The timer ticks every 55 ms: 80 ms is due at the first tick (25 ms
    // early), 83 ms only at the second.
    Pool->Add(nullptr, 55);
    int32_t b = Pool->Add(Logger("b"), 80);
    Pool->Add(Logger("c"), 83);
    ASSERT_EQ(Pool->TimerInterval(), 55u);
    std::vector<std::string> all;
    Pool->OnAllTriggers = [&](TObject* Sender, int32_t Handle, uint32_t Interval, int32_t) {
        EXPECT_EQ(Sender, Pool);
        all.push_back(std::to_string(Handle) + "/" + std::to_string(Interval));
    };
    Pass(54);
    EXPECT_TRUE(Log.empty());
    Pass(1);
    EXPECT_EQ(Log, std::vector<std::string>{"b:1:55"});
    EXPECT_EQ(all, (std::vector<std::string>{"0/55", "1/80"})) << "for every trigger that fires";
    Pass(55);
    EXPECT_EQ(Log, (std::vector<std::string>{"b:1:55", "b:1:110", "c:2:110"}));
    EXPECT_EQ(Pool->ElapsedTriggerTime(b), 110);
    Pass(1000);
    EXPECT_EQ(Pool->ElapsedTriggerTimeSec(b), 1);
}

TEST_F(OvcTimerPool, OneTimeTriggersFireOnceEvenWhenRemovedDuringAPass) {
    int32_t a = Pool->AddOneTime(Logger("a"), 100);
    int32_t b = Pool->AddOneTime(Logger("b"), 100);
    Pool->Add(Logger("c"), 100);
    Pass(100);
    EXPECT_EQ(Log, (std::vector<std::string>{"a:0:100", "b:1:100", "c:2:100"}))
        << "removing a one-time trigger does not skip the next";
    EXPECT_THROW(Pool->TriggerEnabled(a), EInvalidTriggerHandle);
    EXPECT_THROW(Pool->TriggerEnabled(b), EInvalidTriggerHandle);
    Pass(100);
    EXPECT_EQ(Log.size(), 4u);
    EXPECT_EQ(Log.back(), "c:2:200");
}

TEST_F(OvcTimerPool, AOneShotReplacesTheOneOfTheSameHandler) {
    struct THolder {
        void Tick(TObject*, int32_t, uint32_t, int32_t) { ++Ticks; }
        int Ticks = 0;
    } first, second;
    auto bind = [](THolder& H) -> TTriggerEvent {
        return [&H](TObject* S, int32_t Hd, uint32_t I, int32_t E) { H.Tick(S, Hd, I, E); };
    };
    Pool->AddOneShot(bind(first), 500);
    Pool->AddOneShot(bind(second), 500);
    EXPECT_EQ(Pool->TriggerCount(), 1) << "the same code, another object";
    Pool->AddOneShot(Logger("other"), 500);
    EXPECT_EQ(Pool->TriggerCount(), 2);
    Pass(500);
    EXPECT_EQ(first.Ticks, 0);
    EXPECT_EQ(second.Ticks, 1);
    EXPECT_EQ(Pool->TriggerCount(), 0);
}

TEST_F(OvcTimerPool, NoWindowTimerRunsWhileEveryTriggerIsDisabled) {
    int32_t a = Pool->Add(Logger("a"), 100);
    int32_t b = Pool->Add(Logger("b"), 300);
    Pool->SetTriggerEnabled(a, false);
    Pool->SetTriggerEnabled(b, false);
    EXPECT_EQ(ActiveTimerCount(), 0u);
    EXPECT_EQ(Pool->TimerInterval(), 0u);
    Pass(1000);
    EXPECT_TRUE(Log.empty());
    Pool->SetTriggerEnabled(b, true);
    EXPECT_EQ(ActiveTimerCount(), 1u);
    EXPECT_EQ(Pool->TimerInterval(), 55u) << "b is overdue: the shortest period";
    Pass(55);
    EXPECT_EQ(Log, std::vector<std::string>{"b:1:1055"});
}

TEST_F(OvcTimerPool, WithoutTimersLeftTheAddIsRefusedButKept) {
    SetTimerCapacity(0);
    try {
        Pool->Add(nullptr, 500);
        FAIL();
    } catch (const ENoTimersAvailable& e) {
        EXPECT_EQ(e.Message(), "No Window's timers are available");
    }
    EXPECT_EQ(Pool->TriggerCount(), 1);
    SetTimerCapacity(10);
    Pool->SetTriggerEnabled(0, false);
    Pool->SetTriggerEnabled(0, true);
    EXPECT_EQ(ActiveTimerCount(), 1u);
}

TEST_F(OvcTimerPool, TimesAcrossTheWrapOfTheTickCount) {
    // 4,096 ms before the count wraps.
    Clock.SetTickCount(0xFFFFF000u);
    int32_t h = Pool->Add(Logger("a"), 3000);
    Pass(3000);
    Pass(3000);
    EXPECT_EQ(Log, (std::vector<std::string>{"a:0:3000", "a:0:6000"})) << "the pace holds across the wrap";
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), 6000) << "the modular difference, to the millisecond";
    Pool->ResetElapsedTime(h);
    Pass(10);
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), 10);
}

TEST_F(OvcTimerPool, AResetJustBeforeTheWrapCountsFromTheReset) {
    Clock.SetTickCount(0xFFFFF000u - 30000);
    int32_t h = Pool->Add(nullptr, 100000);
    Clock.Advance(30000);
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), 30000);
    Pool->ResetElapsedTime(h);  // 4,096 ms before the wrap
    Clock.Advance(5000);
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), 5000) << "less than before the reset, and no saturation";
    Clock.Advance(5000);
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), 10000);
}

TEST_F(OvcTimerPool, ElapsedTimesSaturateAndNeverGoBack) {
    int32_t h = Pool->Add(nullptr, 1000);
    Clock.Advance(0x7FFFFFF0u);
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), 0x7FFFFFF0);
    Clock.Advance(0x20u);
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), TOvcTimerPool::MaxElapsed) << "after about 24.8 days";
    Clock.Advance(0x80000000u);  // the count has gone all the way round since the start
    EXPECT_EQ(Pool->ElapsedTriggerTime(h), TOvcTimerPool::MaxElapsed);

    // A time asked for the first time after more than 24.8 days.
    int32_t late = Pool->Add(nullptr, 1000);
    Clock.Advance(0xC0000000u);
    EXPECT_EQ(Pool->ElapsedTriggerTime(late), TOvcTimerPool::MaxElapsed);

    // The time a firing adds up saturates too.
    Pool->RemoveAll();
    Pool->Add(Logger("f"), 100);
    Pass(0x7FFFFF00u);
    Pass(0x1000u);
    Pass(100);
    EXPECT_EQ(Log, (std::vector<std::string>{"f:0:2147483392", "f:0:2147483647", "f:0:2147483647"}));
}

TEST_F(OvcTimerPool, HandlersMayChangeThePoolAndEvenFreeIt) {
    int32_t victim = -1;
    Pool->Add(
        [&](TObject*, int32_t, uint32_t, int32_t) {
            Log.push_back("first");
            Pool->Remove(Pool->TriggerCount() > 1 ? 0 : -1);  // removes itself
            Pool->Add(Logger("added"), 5000);
        },
        100);
    victim = Pool->Add(Logger("second"), 100);
    Pass(100);
    ASSERT_GE(Log.size(), 1u);
    EXPECT_EQ(Log[0], "first");
    EXPECT_NO_THROW(Pool->TriggerEnabled(victim));
    Pool->RemoveAll();
    Pool->Add(
        [&](TObject*, int32_t, uint32_t, int32_t) {
            Pool->Free();
            Pool = nullptr;
        },
        100);
    Pool->OnAllTriggers = [&](TObject*, int32_t, uint32_t, int32_t) { Log.push_back("all after free"); };
    Pass(100);
    EXPECT_EQ(Pool, nullptr);
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "all after free"), 0);
}

TEST_F(OvcTimerPool, AnErrorInAHandlerReachesTheApplicationAndTheTimerGoesOn) {
    std::vector<std::string> shown;
    Application->OnException = [&](TObject*, const Exception& E) { shown.push_back(E.Message()); };
    int ticks = 0;
    Pool->Add(
        [&](TObject*, int32_t, uint32_t, int32_t) {
            ++ticks;
            throw EInvalidOperation("broken handler");
        },
        100);
    Pass(100);
    Pass(100);
    Application->OnException = nullptr;
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(shown, (std::vector<std::string>{"broken handler", "broken handler"}));
}

}  // namespace
