#pragma once
// One window timer for many triggers: the controller of a form keeps one
// pool, and the clock, the report views' hover hints and the combo boxes'
// searches and hot tracking register their periodic work in it.
//
// Ticks are the platform's unsigned 32-bit millisecond count, which wraps
// after about 49.7 days: every time is measured as the modular difference
// of two ticks, so a trigger keeps its pace across the wrap. Elapsed times
// saturate at 2147483647 ms (about 24.8 days) and never go back, but for a
// ResetElapsedTime, after which they count from the reset.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/win/Messages.h"

using TTriggerEvent = TEvent<void(TObject* Sender, int32_t Handle, uint32_t Interval, int32_t ElapsedTime)>;

class TOvcTimerPool : public TComponent {
    ZELMOR_CLASS(TOvcTimerPool, TComponent)
public:
    // No period is shorter: the platform's timers do not run faster.
    static constexpr uint32_t MinInterval = 55;
    // A trigger counts as due this long before its interval has fully passed.
    static constexpr uint32_t Tolerance = 27;
    static constexpr int32_t MaxElapsed = 2147483647;

    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcTimerPool(TComponent* AOwner);
    ~TOvcTimerPool() override;

    // Answers the new trigger's handle: one more than the highest handle in
    // the pool. Intervals below MinInterval are raised to it.
    // ENoTimersAvailable when the platform refuses the timer (the trigger
    // stays in the pool).
    int32_t Add(const TTriggerEvent& OnTrigger, uint32_t Interval);
    // Fires once, then leaves the pool.
    int32_t AddOneTime(const TTriggerEvent& OnTrigger, uint32_t Interval);
    // AddOneTime, after removing the first trigger whose handler is the same
    // code: the same lambda expression or the same handler method, whatever
    // object it is bound to.
    int32_t AddOneShot(const TTriggerEvent& OnTrigger, uint32_t Interval);
    // Nothing for an unknown handle.
    void Remove(int32_t Handle);
    void RemoveAll();

    // The others raise EInvalidTriggerHandle for an unknown handle.
    int TriggerCount() const { return static_cast<int>(FTriggers.size()); }
    bool TriggerEnabled(int32_t Handle) const;
    void SetTriggerEnabled(int32_t Handle, bool Value);
    uint32_t TriggerInterval(int32_t Handle) const;
    // Stored as given, without the floor of Add.
    void SetTriggerInterval(int32_t Handle, uint32_t Value);
    TTriggerEvent OnTrigger(int32_t Handle) const;
    void SetOnTrigger(int32_t Handle, const TTriggerEvent& Value);
    // Milliseconds since the trigger was added or its time reset.
    int32_t ElapsedTriggerTime(int32_t Handle);
    int32_t ElapsedTriggerTimeSec(int32_t Handle) { return ElapsedTriggerTime(Handle) / 1000; }
    void ResetElapsedTime(int32_t Handle);

    // The period of the window timer; 0 while none runs.
    uint32_t TimerInterval() const { return FTimerInterval; }
    HWND Handle() const { return FHandle; }

    // After each trigger's own event, for every trigger that fires.
    TTriggerEvent OnAllTriggers;
    AnsiString About() const;
    void SetAbout(const AnsiString&) {}

protected:
    // Fires the due triggers; runs on every tick of the window timer.
    virtual void DoTriggerNotification();

private:
    struct TTrigger;
    using TTriggerPtr = std::shared_ptr<TTrigger>;
    TTrigger& Find(int32_t Handle) const;
    int IndexOf(int32_t Handle) const;
    void Changed();  // recount, new period, restart the timer
    void CalcNewInterval();
    void UpdateTimer();
    void RemoveAt(int Index);

    std::vector<TTriggerPtr> FTriggers;  // by ascending interval after each Add
    HWND FHandle = nullptr;
    uint32_t FTimerInterval = 0;
    int FEnabledCount = 0;
    // Shared with a firing pass, which stops when a handler frees the pool.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
