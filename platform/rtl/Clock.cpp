#include "platform/rtl/Clock.h"

#include <ctime>

namespace {
TClock* gInstalled = nullptr;
}

TDateTime TSystemClock::Now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    time_t secs = ts.tv_sec;
    tm local{};
    localtime_r(&secs, &local);
    return ComposeDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec < 60 ? local.tm_sec : 59,
                                      static_cast<int>(ts.tv_nsec / 1000000)));
}

uint32_t TSystemClock::TickCount() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void TManualClock::Advance(uint32_t MSecs) {
    FTick += MSecs;  // unsigned: wraps like the real count
    FNow += static_cast<double>(MSecs) / MSecsPerDay;
}

TClock& Clock() {
    static TSystemClock machine;
    return gInstalled ? *gInstalled : machine;
}

TClock* SetClock(TClock* C) {
    TClock* previous = gInstalled;
    gInstalled = C;
    return previous;
}

uint32_t GetTickCount() { return Clock().TickCount(); }
