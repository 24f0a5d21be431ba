#pragma once
// The one source of "now" and of the millisecond tick count. Everything that
// asks the time (Now, Date, Time, GetTickCount: timer pools, key-search
// delays, the organizer's clock) asks the clock in force, so a test installs
// a manual clock and decides what time it is.
#include <cstdint>
#include <memory>

#include "platform/rtl/DateTime.h"

class TClock {
public:
    virtual ~TClock() = default;
    virtual TDateTime Now() const = 0;
    // Milliseconds since some start, as an unsigned 32-bit count that wraps
    // after about 49.7 days; users compare ticks by unsigned difference.
    virtual uint32_t TickCount() const = 0;
};

// The machine's local time and a monotonic tick.
class TSystemClock : public TClock {
public:
    TDateTime Now() const override;
    uint32_t TickCount() const override;
};

// A clock that moves only when told: Advance moves the time and the tick
// together, the tick wrapping as the real one does.
class TManualClock : public TClock {
public:
    explicit TManualClock(TDateTime Now = 0, uint32_t Tick = 0) : FNow(Now), FTick(Tick) {}
    TDateTime Now() const override { return FNow; }
    uint32_t TickCount() const override { return FTick; }
    void SetNow(TDateTime Value) { FNow = Value; }
    void SetTickCount(uint32_t Value) { FTick = Value; }
    void Advance(uint32_t MSecs);

private:
    TDateTime FNow;
    uint32_t FTick;
};

// The clock in force: the machine's unless another was installed.
TClock& Clock();
// Installs Clock (not owned; nullptr returns to the machine's clock) and
// answers the one it replaces.
TClock* SetClock(TClock* Clock);

// Installs a clock for the lifetime of the object.
class TClockScope {
public:
    explicit TClockScope(TClock& Clock) : FPrevious(SetClock(&Clock)) {}
    ~TClockScope() { SetClock(FPrevious); }
    TClockScope(const TClockScope&) = delete;
    TClockScope& operator=(const TClockScope&) = delete;

private:
    TClock* FPrevious;
};

uint32_t GetTickCount();
