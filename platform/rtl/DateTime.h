#pragma once
// Date-time values: days since 30 December 1899 as a double, the time of day
// in the fraction. Before that day the value is negative and the fraction is
// still the time of day: -1.25 is 29 December 1899, 06:00 (the whole part
// counts towards zero, the fraction is taken without its sign).
//
// The texts use the regional settings (Regional.h) in force at each call.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Regional.h"

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 1 January of the year 1 to 30 December 1899, plus one.
constexpr int DateDelta = 693594;
constexpr TDateTime MinDateTime = -693593.0;         // 1 January of the year 1
constexpr TDateTime MaxDateTime = 2958465.99999999;  // 31 December 9999, end of day

// A day number counted from 1 January of the year 1 (day 1) and the
// milliseconds since midnight.
struct TTimeStamp {
    int Time = 0;
    int Date = 0;
};

// The Win32 layout; wDayOfWeek 0 is Sunday.
struct TSystemTime {
    uint16_t wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0;
    uint16_t wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};

bool IsLeapYear(int Year);
// 28 to 31; 0 for a month outside 1..12.
int DaysInAMonth(int Year, int Month);

// Year 1..9999, Month 1..12, Day within the month; else EConvertError
// "Invalid argument to date encode".
TDateTime EncodeDate(int Year, int Month, int Day);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
// Hour 0..23, Min and Sec 0..59, MSec 0..999; else EConvertError
// "Invalid argument to time encode".
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
// Joins a date and a time of day under the negative-date rule.
TDateTime ComposeDateTime(TDateTime Date, TDateTime Time);

// A value outside the years 1..9999 decodes as 0/0/0.
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
// 1 Sunday ... 7 Saturday.
int DayOfWeek(TDateTime Date);
// The whole day (towards zero) and the time of day.
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);
// The same day Months later, the day cut to the length of the target month.
TDateTime IncMonth(TDateTime Date, int Months);

// From the clock in force (Clock.h): tests fix it.
TDateTime Now();
TDateTime Date();
TDateTime Time();

TTimeStamp DateTimeToTimeStamp(TDateTime Value);
TDateTime TimeStampToDateTime(const TTimeStamp& Stamp);
double TimeStampToMSecs(const TTimeStamp& Stamp);
TTimeStamp MSecsToTimeStamp(double MSecs);

void DateTimeToSystemTime(TDateTime Value, TSystemTime& SystemTime);
TDateTime SystemTimeToDateTime(const TSystemTime& SystemTime);

// The packed date and time of file entries (two-second steps, years 1980 to
// 2107); 0 for a value outside that range.
int32_t DateTimeToFileDate(TDateTime Value);
TDateTime FileDateToDateTime(int32_t FileDate);

// Tokens (either case): c (short date, then the long time when there is a
// time of day), d dd ddd dddd ddddd (short date) dddddd (long date), m mm mmm
// mmmm (minutes right after an h/hh token), yy yyyy, h hh, n nn, s ss, z zzz,
// t (short time) tt (long time), am/pm a/p (in the case written), ampm (the
// regional designators), "/" and ":" (the regional separators), and text in
// single or double quotes. Any other character stands for itself. An empty
// format is "c".
AnsiString FormatDateTime(std::string_view Format, TDateTime Value);
AnsiString FormatDateTime(std::string_view Format, TDateTime Value, const TFormatSettings& Settings);
AnsiString DateToStr(TDateTime Value);
AnsiString TimeToStr(TDateTime Value);
AnsiString DateTimeToStr(TDateTime Value);

// Day, month and year as numbers in the order of the short date format,
// separated by the date separator; the year may be left out (this year) or
// given with two digits (inside the two-digit-year window). Times: hours,
// optional minutes, seconds and milliseconds with the time separator, and an
// optional AM/PM designator. EConvertError "'<S>' is not a valid date",
// "... valid time", "... valid date and time".
TDateTime StrToDate(std::string_view S);
TDateTime StrToTime(std::string_view S);
TDateTime StrToDateTime(std::string_view S);
bool TryStrToDate(std::string_view S, TDateTime& Value);
bool TryStrToTime(std::string_view S, TDateTime& Value);
bool TryStrToDateTime(std::string_view S, TDateTime& Value);
bool TryStrToDate(std::string_view S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToTime(std::string_view S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDateTime(std::string_view S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateDef(std::string_view S, TDateTime Default);
