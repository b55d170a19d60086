#pragma once
// Date arithmetic, date parsing, default date formats and edit masks of the date edit and
// the calendar. Parsing and the defaults follow the process format settings as they stand
// when a routine runs (short date format, date separator, month names, AM and PM strings),
// so a language file's locale block changes their results. "This year" comes from the
// runtime's replaceable clock.

#include <string>

#include "platform/rtl/date_time.h"

// The order of day, month and year in a date format.
enum TDateOrder { doMDY = 0, doDMY = 1, doYMD = 2 };

// Set at program start: the process short date format shows four-digit years ("YYYY").
extern bool FourDigitYearFlag;
// The user's locale is a far-east one (double-byte code page); date texts may then carry a
// day name and an AM/PM part after the date. Taken from the system at start-up.
extern bool FarEastLocale;

bool LeapYear(int year);
// 28..31 for months 1..12 (February 29 in leap years); 0 for any other month.
int MonthDays(int year, int month);
// Year 1..9999, month 1..12, day 1..MonthDays.
bool IsValidYMD(int year, int month, int day);
// The value decodes into a year, month and day that pass IsValidYMD.
bool IsValidDateValue(TDateTime value);
// The year of the local time now.
int ThisYear();

// The first of the letters D, M, Y or E (any case) in format decides: D gives dmy, M mdy,
// Y and E ymd; none of them gives dmy.
TDateOrder DateOrderOf(const std::string& format);
// A year of 100 or more comes back unchanged; a two-digit year goes into this century or,
// late in a century, the next one; never into the previous century.
int ExpandTwoDigitYear(int year);

// Reads two or three numbers separated by the date separator, in the order of format, from
// text at the 1-based position pos (advanced past what was read). Succeeds when the date is
// valid and the whole text was used. Without a year the current one is taken.
bool ParseDateByOrder(const std::string& text, const std::string& format, int& pos, int& day,
                      int& month, int& year);
// The first month (1..12) whose long name's first length characters equal those of text,
// ignoring case; 0 when none.
int MonthByName(const std::string& text, int length);
// Cuts the day, month and year fields out of text at the positions of their letters in
// format ("DD/MM/YYYY", "DD-MMM-YY"). A field that is empty or not a number makes the cut
// fail; the date is then read by order instead.
bool ParseDateByMask(const std::string& format, const std::string& text, int& day, int& month,
                     int& year);

// An empty text is the null date (0.0); otherwise the date by mask.
bool TextToDate(const std::string& format, const std::string& text, TDateTime& date);
// Raises EConvertError "'text' is not a valid date" on failure.
TDateTime TextToDateOrRaise(const std::string& format, const std::string& text);
// On failure the whole-day part of defaultDate.
TDateTime TextToDateOrDefault(const std::string& format, const std::string& text,
                              TDateTime defaultDate);

// "MM/DD/YYYY", "DD/MM/YYYY" or "YYYY/MM/DD" by the order of the process short date format;
// two-digit years without fourDigits.
std::string DefaultDateFormat(bool fourDigits);
// The masked-edit mask for DefaultDateFormat, its blank character appended.
std::string DefaultDateMask(char blank, bool fourDigits);
