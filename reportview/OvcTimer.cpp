#include "reportview/OvcTimer.h"

#include <algorithm>
#include <limits>

#include "platform/classes/Properties.h"
#include "platform/rtl/Clock.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcData.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_COMPONENT(TOvcTimerPool, TComponent)

struct TOvcTimerPool::TTrigger {
    int32_t Handle = 0;
    uint32_t StartTick = 0;  // when added or last reset
    int32_t ElapsedTime = 0;
    uint32_t Interval = 0;
    uint32_t LastTick = 0;  // when last fired
    uint32_t Measured = 0;  // ticks from StartTick at the last look at the elapsed time
    TTriggerEvent OnTrigger;
    bool Enabled = true;
    bool Repeating = true;
};

namespace {
// The milliseconds from Then to Now on the wrapping tick count.
uint32_t Since(uint32_t Now, uint32_t Then) { return Now - Then; }

int32_t Saturated(int64_t Value) {
    return static_cast<int32_t>(std::min<int64_t>(Value, TOvcTimerPool::MaxElapsed));
}
}  // namespace

void TOvcTimerPool::DescribeProperties(TPropertyTable& T) {
    T.Property("About", &TOvcTimerPool::About, &TOvcTimerPool::SetAbout).Stored(false);
    T.Event("OnAllTriggers", &TOvcTimerPool::OnAllTriggers);
}

TOvcTimerPool::TOvcTimerPool(TComponent* AOwner) : TComponent(AOwner) {
    FHandle =
        AllocateHWnd([this, alive = FAlive](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
            if (Msg != WM_TIMER || !*alive) return DefWindowProc(Wnd, Msg, WParam, LParam);
            try {
                DoTriggerNotification();
            } catch (...) {
                OvcHandleException(this);
            }
            return 0;
        });
}

TOvcTimerPool::~TOvcTimerPool() {
    *FAlive = false;
    FTimerInterval = 0;
    KillTimer(FHandle, 1);
    FTriggers.clear();
    DeallocateHWnd(FHandle);
}

AnsiString TOvcTimerPool::About() const { return OvcVersion; }

int TOvcTimerPool::IndexOf(int32_t Handle) const {
    for (size_t i = 0; i < FTriggers.size(); ++i)
        if (FTriggers[i]->Handle == Handle) return static_cast<int>(i);
    return -1;
}

TOvcTimerPool::TTrigger& TOvcTimerPool::Find(int32_t Handle) const {
    int i = IndexOf(Handle);
    if (i < 0) throw EInvalidTriggerHandle();
    return *FTriggers[size_t(i)];
}

int32_t TOvcTimerPool::Add(const TTriggerEvent& OnTrigger, uint32_t Interval) {
    auto trigger = std::make_shared<TTrigger>();
    int32_t highest = -1;
    for (const TTriggerPtr& t : FTriggers) highest = std::max(highest, t->Handle);
    trigger->Handle = highest + 1;
    trigger->StartTick = trigger->LastTick = GetTickCount();
    trigger->Interval = std::max(Interval, MinInterval);
    trigger->OnTrigger = OnTrigger;
    FTriggers.push_back(trigger);
    std::stable_sort(FTriggers.begin(), FTriggers.end(),
                     [](const TTriggerPtr& A, const TTriggerPtr& B) { return A->Interval < B->Interval; });
    Changed();
    return trigger->Handle;
}

int32_t TOvcTimerPool::AddOneTime(const TTriggerEvent& OnTrigger, uint32_t Interval) {
    int32_t handle = Add(OnTrigger, Interval);
    Find(handle).Repeating = false;
    return handle;
}

int32_t TOvcTimerPool::AddOneShot(const TTriggerEvent& OnTrigger, uint32_t Interval) {
    if (OnTrigger) {
        const std::type_info& code = OnTrigger.GetFunction().target_type();
        for (size_t i = 0; i < FTriggers.size(); ++i) {
            const TTriggerEvent& other = FTriggers[i]->OnTrigger;
            if (other && other.GetFunction().target_type() == code &&
                other.HandlerName() == OnTrigger.HandlerName()) {
                RemoveAt(static_cast<int>(i));
                break;
            }
        }
    }
    return AddOneTime(OnTrigger, Interval);
}

void TOvcTimerPool::RemoveAt(int Index) {
    FTriggers.erase(FTriggers.begin() + Index);
    Changed();
}

void TOvcTimerPool::Remove(int32_t Handle) {
    int i = IndexOf(Handle);
    if (i >= 0) RemoveAt(i);
}

void TOvcTimerPool::RemoveAll() {
    while (!FTriggers.empty()) FTriggers.pop_back();
    FEnabledCount = 0;
    FTimerInterval = 0;
    KillTimer(FHandle, 1);
}

bool TOvcTimerPool::TriggerEnabled(int32_t Handle) const { return Find(Handle).Enabled; }

void TOvcTimerPool::SetTriggerEnabled(int32_t Handle, bool Value) {
    TTrigger& t = Find(Handle);
    if (t.Enabled == Value) return;
    t.Enabled = Value;
    Changed();
}

uint32_t TOvcTimerPool::TriggerInterval(int32_t Handle) const { return Find(Handle).Interval; }

void TOvcTimerPool::SetTriggerInterval(int32_t Handle, uint32_t Value) {
    TTrigger& t = Find(Handle);
    if (t.Interval == Value) return;
    t.Interval = Value;
    Changed();
}

TTriggerEvent TOvcTimerPool::OnTrigger(int32_t Handle) const { return Find(Handle).OnTrigger; }

void TOvcTimerPool::SetOnTrigger(int32_t Handle, const TTriggerEvent& Value) {
    Find(Handle).OnTrigger = Value;
}

int32_t TOvcTimerPool::ElapsedTriggerTime(int32_t Handle) {
    TTrigger& t = Find(Handle);
    if (t.ElapsedTime == MaxElapsed) return MaxElapsed;
    const uint32_t since = Since(GetTickCount(), t.StartTick);
    // The modular difference only grows, across the wrap too, until the
    // count has gone all the way round since the start: a difference smaller
    // than at the last look means that, and the time saturates. The last
    // look is taken since the last reset, so a reset just before the wrap
    // counts from the reset.
    const int32_t value = since < t.Measured ? MaxElapsed : Saturated(since);
    t.Measured = since;
    t.ElapsedTime = value;
    return value;
}

void TOvcTimerPool::ResetElapsedTime(int32_t Handle) {
    TTrigger& t = Find(Handle);
    t.StartTick = GetTickCount();
    t.Measured = 0;
}

void TOvcTimerPool::Changed() {
    FEnabledCount = static_cast<int>(
        std::count_if(FTriggers.begin(), FTriggers.end(), [](const TTriggerPtr& t) { return t->Enabled; }));
    CalcNewInterval();
    UpdateTimer();
}

void TOvcTimerPool::CalcNewInterval() {
    const uint32_t now = GetTickCount();
    int64_t interval = std::numeric_limits<int64_t>::max();
    bool any = false;
    for (const TTriggerPtr& t : FTriggers) {
        if (!t->Enabled) continue;
        any = true;
        // The shortest interval, and the time left until the next trigger is due.
        interval = std::min<int64_t>(interval, t->Interval);
        interval = std::min<int64_t>(interval, int64_t(t->Interval) - int64_t(Since(now, t->LastTick)));
    }
    if (!any) {
        FTimerInterval = 0;
        return;
    }
    interval = std::max<int64_t>(interval, MinInterval);
    // A period that divides every interval lets each trigger fire on time.
    for (bool again = true; again && interval > MinInterval;) {
        again = false;
        for (const TTriggerPtr& t : FTriggers) {
            int64_t remainder = int64_t(t->Interval) % interval;
            if (remainder != 0) {
                interval -= remainder;
                again = true;
                break;
            }
        }
    }
    FTimerInterval = static_cast<uint32_t>(std::max<int64_t>(interval, MinInterval));
}

void TOvcTimerPool::UpdateTimer() {
    KillTimer(FHandle, 1);
    if (FTimerInterval != 0 && FEnabledCount > 0 && SetTimer(FHandle, 1, FTimerInterval) == 0)
        throw ENoTimersAvailable();
}

void TOvcTimerPool::DoTriggerNotification() {
    const uint32_t now = GetTickCount();
    std::shared_ptr<bool> alive = FAlive;
    for (int i = 0; i < TriggerCount(); ++i) {
        TTriggerPtr t = FTriggers[size_t(i)];  // kept whole while its events run
        if (!t->Enabled) continue;
        const uint32_t since = Since(now, t->LastTick);
        if (int64_t(since) < int64_t(t->Interval) - Tolerance) continue;
        t->LastTick = now;
        t->ElapsedTime = Saturated(int64_t(t->ElapsedTime) + since);
        if (!t->Repeating) {
            RemoveAt(i);
            --i;
        }
        if (t->OnTrigger) t->OnTrigger(this, t->Handle, t->Interval, t->ElapsedTime);
        if (!*alive) return;
        if (OnAllTriggers) OnAllTriggers(this, t->Handle, t->Interval, t->ElapsedTime);
        if (!*alive) return;
    }
}
