#include "platform/rtl/Numbers.h"

#include <cmath>
#include <limits>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace {
uint32_t gSeed = 0;

[[noreturn]] void InvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

int64_t ToInt64(long double V) {
    // 2^63 exactly; anything at or beyond it does not fit.
    constexpr long double limit = 9223372036854775808.0L;
    if (!std::isfinite(V) || V >= limit || V < -limit) InvalidOp();
    return static_cast<int64_t>(V);
}
}  // namespace

int64_t Round(long double Value) {
    if (!std::isfinite(Value)) InvalidOp();
    long double fl = std::floor(Value);
    long double diff = Value - fl;
    long double r;
    if (diff > 0.5L) r = fl + 1;
    else if (diff < 0.5L) r = fl;
    else r = std::fmod(fl, 2.0L) == 0 ? fl : fl + 1;
    return ToInt64(r);
}

int64_t Trunc(long double Value) { return ToInt64(std::trunc(Value)); }
long double Int(long double Value) { return std::trunc(Value); }
long double Frac(long double Value) { return Value - std::trunc(Value); }

int64_t RoundHalfUp(long double Value) {
    if (!std::isfinite(Value)) InvalidOp();
    return ToInt64(std::round(Value));
}

int MulDiv(int Number, int Numerator, int Denominator) {
    if (Denominator == 0) return -1;
    int64_t p = static_cast<int64_t>(Number) * Numerator;
    int64_t d = Denominator;
    bool negative = (p < 0) != (d < 0);
    uint64_t ap = p < 0 ? 0 - static_cast<uint64_t>(p) : static_cast<uint64_t>(p);
    uint64_t ad = d < 0 ? 0 - static_cast<uint64_t>(d) : static_cast<uint64_t>(d);
    uint64_t q = (ap + ad / 2) / ad;
    if (q > (negative ? uint64_t(1) << 31 : (uint64_t(1) << 31) - 1)) return -1;
    return negative ? static_cast<int>(-static_cast<int64_t>(q)) : static_cast<int>(q);
}

uint32_t RandSeed() { return gSeed; }
void SetRandSeed(uint32_t Seed) { gSeed = Seed; }
void Randomize() { gSeed = GetTickCount(); }

static uint32_t NextRandom() {
    gSeed = gSeed * 134775813u + 1u;
    return gSeed;
}

int Random(int Range) {
    if (Range <= 0) return 0;
    return static_cast<int>((static_cast<uint64_t>(NextRandom()) * static_cast<uint64_t>(Range)) >> 32);
}

double Random() { return NextRandom() / 4294967296.0; }

long double CheckFloat(long double Value) {
    if (std::isnan(Value)) InvalidOp();
    if (std::isinf(Value)) throw EOverflow("Floating point overflow");
    return Value;
}

long double FloatDivide(long double A, long double B) {
    if (std::isnan(A) || std::isnan(B)) InvalidOp();
    if (B == 0) {
        if (A == 0) InvalidOp();
        throw EZeroDivide("Floating point division by zero");
    }
    return CheckFloat(A / B);
}

int64_t IntDivide(int64_t A, int64_t B) {
    if (B == 0) throw EDivByZero("Division by zero");
    if (A == std::numeric_limits<int64_t>::min() && B == -1) throw EIntOverflow("Integer overflow");
    return A / B;
}

int64_t IntModulo(int64_t A, int64_t B) {
    if (B == 0) throw EDivByZero("Division by zero");
    if (B == -1) return 0;
    return A % B;
}
