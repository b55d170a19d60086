#pragma once
// The process format settings: separators, date and time formats, month and day names and
// the two-digit-year window that date formatting and parsing use. There is one process-wide
// object; a language file's locale block replaces parts of it while that language is current.

#include <array>
#include <string>

// Format scanners keep double-byte characters whole (AnsiCharLength) so that a trail byte
// is not taken for a token letter.
#include "platform/rtl/ansi_chars.h"

struct TFormatSettings {
  std::string CurrencyString;
  int CurrencyFormat = 0;
  int NegCurrFormat = 0;
  int CurrencyDecimals = 2;
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  // Formats use the tokens of FormatDateTime: "/" and ":" stand for the separators above.
  std::string ShortDateFormat;
  std::string LongDateFormat;
  std::string TimeAMString;
  std::string TimePMString;
  std::string ShortTimeFormat;
  std::string LongTimeFormat;
  // Index 0 is January; day names start with Sunday.
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
  std::array<std::string, 7> ShortDayNames;
  std::array<std::string, 7> LongDayNames;
  // Carried for language files; formatting does not use eras.
  std::array<std::string, 7> EraNames;
  std::array<int, 7> EraYearOffsets{};
  // Two-digit years are placed within the 100 years that start this many years ago;
  // 0 puts them into the current century.
  int TwoDigitYearCenturyWindow = 50;
};

// The process-wide settings. Created from the user's locale on first use.
TFormatSettings& FormatSettings();

// Puts the process settings back to what the user's locale says (the fixed defaults when
// there is no locale to ask).
void ResetFormatSettings();

// Fixed English settings: "m/d/yyyy", 12-hour times with AM and PM, "/" ":" "." ",".
// Tests pin the process settings with `FormatSettings() = DefaultFormatSettings();`.
TFormatSettings DefaultFormatSettings();

// Settings read from the user's locale (on Windows); elsewhere the fixed defaults.
TFormatSettings LocaleFormatSettings();

// Turn a Windows locale date or time picture ("dd.MM.yyyy", "HH:mm:ss", "h:mm tt") into
// this runtime's format tokens. The locale's separator becomes "/" (dates) or ":" (times)
// so that the formats follow the separator settings; quoted text is kept as it is.
std::string TranslateLocaleDateFormat(const std::string& picture, char dateSeparator);
std::string TranslateLocaleTimeFormat(const std::string& picture, char timeSeparator);

// The system runs a far-east (double-byte) code page, as the system's own setting says
// (never on the host).
bool SystemFarEastLocale();
