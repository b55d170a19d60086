#include "kit/date_edit_logic.h"

#include <cmath>

#include "kit/date_utils.h"

bool DateEditFourDigits(TYearDigits digits) {
  switch (digits) {
    case dyFour: return true;
    case dyTwo: return false;
    default: return FourDigitYearFlag;
  }
}

std::string DateEditFormat(TYearDigits digits) { return DefaultDateFormat(DateEditFourDigits(digits)).substr(0, 10); }

char DateEditBlanksChar(char value) { return static_cast<unsigned char>(value) < ' ' ? ' ' : value; }

bool DateTextIsBlank(const std::string& text, char blanksChar, char dateSeparator) {
  for (char c : text)
    if (c != '\0' && c != ' ' && c != dateSeparator && c != blanksChar) return false;
  return true;
}

TDateTime DateEditReadDate(const std::string& format, const std::string& text, bool defaultToday, TDateTime today) {
  const TDateTime fallback = defaultToday ? std::floor(today) : 0.0;
  TDateTime date = 0;
  if (!TextToDate(format, text, date) || date == 0) return fallback;
  return date;
}

TDateTime DateEditNormalize(TDateTime date, bool defaultToday, TDateTime today) {
  if (date != 0 && IsValidDateValue(date)) return date;
  return defaultToday ? std::floor(today) : 0.0;
}

std::string DateEditText(const std::string& format, TDateTime date) {
  return date == 0 ? std::string() : FormatDateTime(format, date);
}

bool DateEditStep(TDateTime current, int days, TDateTime now, TDateTime& result) {
  const TDateTime stepped = (current == 0 ? now : current) + days;
  if (!IsValidDateValue(stepped)) return false;
  result = stepped;
  return true;
}

TDateTime DateFromPopupValue(const TPopupValue& value, const std::string& format, bool defaultToday,
                             TDateTime today) {
  if (const auto* date = std::get_if<TDateTime>(&value)) return *date;
  const auto* text = std::get_if<std::string>(&value);
  if (text == nullptr || text->empty()) return 0;
  TDateTime date = 0;
  if (TextToDate(format, *text, date)) return date;
  return defaultToday ? std::floor(today) : 0.0;
}
