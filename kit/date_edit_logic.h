#pragma once
// The date edit's rules, apart from any window: its date format by year digits, what a
// text reads as, the text of a date, blank texts, stepping by days, and the dates a drop-down
// or a handler hands over.

#include <string>

#include "kit/combo_edit_logic.h"
#include "platform/rtl/date_time.h"

// Years with the system's digits, four or two.
enum TYearDigits { dyDefault, dyFour, dyTwo };
// The date edit's button opens a drop-down calendar or the modal date dialog.
enum TCalendarStyle { csPopup, csDialog };

// Four-digit years for the choice; dyDefault follows the system's short date format.
bool DateEditFourDigits(TYearDigits digits);
// The numeric date format of the edit ("DD/MM/YYYY" in the system's order), at most 10
// characters.
std::string DateEditFormat(TYearDigits digits);
// Placeholders below the blank are blanks.
char DateEditBlanksChar(char value);
// The text holds nothing but NULs, blanks, date separators and placeholders.
bool DateTextIsBlank(const std::string& text, char blanksChar, char dateSeparator);

// The date of a text: a blank or unreadable text reads as today (date part) with
// defaultToday, else as the null date (0).
TDateTime DateEditReadDate(const std::string& format, const std::string& text, bool defaultToday, TDateTime today);
// What writing a date stores: an invalid date or the null date become today with
// defaultToday, else the null date.
TDateTime DateEditNormalize(TDateTime date, bool defaultToday, TDateTime today);
// The text of a date: empty for the null date.
std::string DateEditText(const std::string& format, TDateTime date);
// One step of days from current (from now when current is the null date). False when the
// result would leave the years 1 to 9999: the step is then not taken.
bool DateEditStep(TDateTime current, int days, TDateTime now, TDateTime& result);
// The date a drop-down's value stands for: the null date for none or an empty text; a text
// read with format; a text that is no date gives today with defaultToday, else the null date.
TDateTime DateFromPopupValue(const TPopupValue& value, const std::string& format, bool defaultToday,
                             TDateTime today);
