#pragma once
// Number routines with the old runtime's rules: banker's Round, Win32 MulDiv,
// a seeded generator whose sequence depends on the seed only, and float
// operations that raise instead of giving infinity or NaN.
#include <cstdint>

// Nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4). EInvalidOp
// for NaN, infinity or a value outside the 64-bit range.
int64_t Round(long double Value);
// Towards zero; same errors.
int64_t Trunc(long double Value);
long double Int(long double Value);   // whole part, towards zero
long double Frac(long double Value);  // Value - Int(Value), with its sign
// Nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
int64_t RoundHalfUp(long double Value);

// Number * Numerator / Denominator with a 64-bit intermediate, rounded half
// away from zero; -1 when Denominator is 0 or the result does not fit 32 bits.
int MulDiv(int Number, int Numerator, int Denominator);

// --- the generator: RandSeed := RandSeed * 134775813 + 1 ---
uint32_t RandSeed();
void SetRandSeed(uint32_t Seed);
// Seeds from the tick count of the clock in force.
void Randomize();
// 0 <= result < Range (0 when Range <= 0).
int Random(int Range);
// 0 <= result < 1.
double Random();

// --- float operations that raise ---
// Raises EOverflow for infinity and EInvalidOp for NaN; else gives Value back.
long double CheckFloat(long double Value);
// EZeroDivide for x/0 with x != 0, EInvalidOp for 0/0, EOverflow when the
// quotient overflows.
long double FloatDivide(long double A, long double B);
// EDivByZero "Division by zero".
int64_t IntDivide(int64_t A, int64_t B);
int64_t IntModulo(int64_t A, int64_t B);
