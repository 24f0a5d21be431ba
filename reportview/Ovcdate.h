#pragma once
// The library's date and time arithmetic. A date is a day number counted
// from 1 January 1600 (day 0, a Saturday) to 31 December 3999 (876,581); a
// time is seconds since midnight. -1 is the bad date and the bad time. No
// routine raises: bad input answers -1, 0, 7 or false as each one says.
//
// The routines live in their own namespace: the platform's date routines of
// the same names (IsLeapYear, DayOfWeek) follow other rules.
#include <cstdint>

#include "platform/rtl/DateTime.h"

namespace Ovcdate {

using TStDate = int32_t;
using TStTime = int32_t;

constexpr TStDate BadDate = -1;
constexpr TStTime BadTime = -1;
constexpr TStDate MinDate = 0;
constexpr TStDate MaxDate = 876581;
constexpr int MinYear = 1600;
constexpr int MaxYear = 3999;
constexpr int32_t SecondsInDay = 86400;
// 1 January 1900, the origin of the 2-byte dates.
constexpr TStDate Date1900 = 109573;
// What AstJulianDatePrim answers for a date or time it cannot place.
constexpr double BadAstJulianDate = -2147483647.0;

struct TStDateTimeRec {
    TStDate D = 0;
    TStTime T = 0;
};

enum TStDayType : uint8_t { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };
enum TStBondDateType : uint8_t { bdtActual, bdt30E360, bdt30360, bdt30360psa };

// The year and month of today, set when the library starts (InitDefaultDate).
extern int DefaultYear;
extern int DefaultMonth;
void InitDefaultDate();

// Divisible by 4 and not by 4,000, and either not by 100 or by 400.
bool IsLeapYear(int Year);
// A year below 100 completed with the century of Epoch (see Epoch's two digits).
int ResolveEpoch(int Year, int Epoch);
int DaysInMonth(int Month, int Year, int Epoch);
bool ValidDate(int Day, int Month, int Year, int Epoch);
TStDate DMYtoStDate(int Day, int Month, int Year, int Epoch);
void StDateToDMY(TStDate Julian, int& Day, int& Month, int& Year);
TStDate CurrentDate();
// (day number + 6) mod 7; the bad date answers 7.
int DayOfWeek(TStDate Julian);
int DayOfWeekDMY(int Day, int Month, int Year, int Epoch);
// Weeks run Monday to Sunday and belong to the year that holds their
// Thursday: 1 January 2010 lies in week 53 of 2009.
int WeekOfYear(TStDate Julian);

double AstJulianDate(TStDate Julian);
double AstJulianDatePrim(int Year, int Month, int Day, TStTime T);
TStDate AstJulianDatetoStDate(double AstJulian, bool Truncate);

// Months and years added with the day kept: a day past the target month's
// end runs on into the next (31 January + 1 month = 3 March in a common year).
TStDate IncDate(TStDate Julian, int Days, int Months, int Years);
// The same with the day cut to the target month's last day.
TStDate IncDateTrunc(TStDate Julian, int Months, int Years);
void DateDiff(TStDate Date1, TStDate Date2, int& Days, int& Months, int& Years);
int32_t BondDateDiff(TStDate Date1, TStDate Date2, TStBondDateType DayBasis);

void StTimeToHMS(TStTime T, uint8_t& Hours, uint8_t& Minutes, uint8_t& Seconds);
TStTime HMStoStTime(uint8_t Hours, uint8_t Minutes, uint8_t Seconds);
bool ValidTime(int Hours, int Minutes, int Seconds);
TStTime CurrentTime();
void TimeDiff(TStTime Time1, TStTime Time2, uint8_t& Hours, uint8_t& Minutes, uint8_t& Seconds);
TStTime IncTime(TStTime T, uint8_t Hours, uint8_t Minutes, uint8_t Seconds);
TStTime DecTime(TStTime T, uint8_t Hours, uint8_t Minutes, uint8_t Seconds);
TStTime RoundToNearestHour(TStTime T, bool Truncate);
TStTime RoundToNearestMinute(TStTime T, bool Truncate);

void DateTimeDiff(const TStDateTimeRec& DT1, const TStDateTimeRec& DT2, int32_t& Days, int32_t& Secs);
void IncDateTime(const TStDateTimeRec& DT1, TStDateTimeRec& DT2, int32_t Days, int32_t Secs);

TStDate DateTimeToStDate(TDateTime DT);
TStTime DateTimeToStTime(TDateTime DT);
TDateTime StDateToDateTime(TStDate D);
TDateTime StTimeToDateTime(TStTime T);

TStDate Convert2ByteDate(uint16_t TwoByteDate);
uint16_t Convert4ByteDate(TStDate FourByteDate);

}  // namespace Ovcdate
