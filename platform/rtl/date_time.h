#pragma once
// Date-time values, the replaceable clock, calendar arithmetic, and formatting and parsing
// through the process format settings.

#include <string>

#include "platform/rtl/format_settings.h"

// Days since 1899-12-30; the fraction is the time of day. Before that day the whole part
// is negative and the fraction's absolute value is still the time (-1.25 is 1899-12-29 06:00).
using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = HoursPerDay * 60;
constexpr int SecsPerDay = MinsPerDay * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;

// ---- Clock -------------------------------------------------------------------------------

// Every reading of the current time goes through one clock so that tests and the tracking
// engine can pin it. SetClock installs a clock (nullptr = the system clock) and returns the
// one it replaces.
using ClockFn = TDateTime (*)();
ClockFn SetClock(ClockFn clock);

// The local wall clock, to the millisecond.
TDateTime SystemClock();

TDateTime Now();
TDateTime Date();  // today, midnight
TDateTime Time();  // the time of day of Now()

// ---- Calendar ----------------------------------------------------------------------------

bool IsLeapYear(int year);
// 28..31; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Years 1..9999. The Encode forms raise EConvertError where the Try forms return false.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999.
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);

// Decoding rounds to the nearest millisecond, so values built by encoding come back exactly.
// A value outside 0001-01-01 .. 9999-12-31 (or not a number) decodes as all zeros.
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);

// 1 = Sunday .. 7 = Saturday; 0 for a value that does not decode.
int DayOfWeek(TDateTime dt);

// The same day (cut to the month's length) and time `months` months later or earlier.
// Raises EConvertError when the result leaves the years 1..9999.
TDateTime IncMonth(TDateTime dt, int months = 1);

// Keeps the date of `dt` and takes the time of day of `newTime`.
void ReplaceTime(TDateTime& dt, TDateTime newTime);

// ---- Formatting --------------------------------------------------------------------------

// Tokens (letters in any case): c (short date and, unless midnight, long time), d dd (day),
// ddd dddd (day name), ddddd (short date), dddddd (long date), m mm (month, or minutes right
// after an hour token), mmm mmmm (month name), yy yyyy, h hh, n nn, s ss, z zzz, t (short
// time), tt (long time), am/pm a/p (kept in the format's case), ampm (the AM/PM strings),
// "/" and ":" (the separators), text in "..." or '...'. Hours are 12-hour when an am/pm
// token follows. Other characters are copied. An empty format means "c".
std::string FormatDateTime(const std::string& format, TDateTime dt,
                           const TFormatSettings& settings = FormatSettings());
std::string DateToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings());
std::string TimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings());
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings());

// ---- Parsing -----------------------------------------------------------------------------

// Dates are two or three numbers split by the date separator, in the order of day, month
// and year in the short date format; without a year the current year is taken, and a year
// of one or two digits is placed by the century window. Times are h[:n[:s]] with an
// optional AM/PM string before or after. Blanks around the parts are allowed; anything else
// left over fails. The Try forms never raise; the others raise EConvertError.
bool TryStrToDate(const std::string& text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings());
bool TryStrToTime(const std::string& text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings());
bool TryStrToDateTime(const std::string& text, TDateTime& value,
                      const TFormatSettings& settings = FormatSettings());
TDateTime StrToDate(const std::string& text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(const std::string& text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDateTime(const std::string& text,
                        const TFormatSettings& settings = FormatSettings());
