#include "kit/date_utils.h"

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/sysutils.h"

namespace {

// Two-digit years up to this many years ahead of the current one stay in its century.
constexpr int CenturyOffset = 30;
// A field cut from a text by a mask keeps at most this many characters.
constexpr size_t MaxFieldLength = 20;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool ComputeFourDigitYearFlag() {
  return UpperCase(FormatSettings().ShortDateFormat).find("YYYY") != std::string::npos;
}

// Reads a date text from a 1-based position; every step stops at the end of the text.
class DateScanner {
public:
  DateScanner(const std::string& text, int& pos) : text_(text), pos_(pos) {}

  bool AtEnd() const { return pos_ > static_cast<int>(text_.size()); }
  char Current() const { return text_[static_cast<size_t>(pos_) - 1]; }

  void SkipBlanks() {
    while (!AtEnd() && Current() == ' ') ++pos_;
  }
  void SkipToDigit() {
    while (!AtEnd() && !IsDigit(Current())) ++pos_;
  }
  // Digits are taken while the value so far is below 1000.
  bool ReadNumber(int& value) {
    SkipBlanks();
    value = 0;
    bool any = false;
    while (!AtEnd() && IsDigit(Current()) && value < 1000) {
      value = value * 10 + (Current() - '0');
      ++pos_;
      any = true;
    }
    return any;
  }
  bool ReadChar(char ch) {
    SkipBlanks();
    if (AtEnd() || Current() != ch) return false;
    ++pos_;
    return true;
  }
  bool StartsWithText(const std::string& what) const {
    if (what.empty() || AtEnd()) return false;
    return AnsiSameText(text_.substr(static_cast<size_t>(pos_) - 1, what.size()), what);
  }
  // Passes one word and the blanks after it.
  void SkipWord() {
    while (!AtEnd() && Current() != ' ') ++pos_;
    SkipBlanks();
  }

private:
  const std::string& text_;
  int& pos_;
};

// The far-east tail after a date: a day name before the time, or the time itself.
void SkipFarEastTail(DateScanner& scan, const TFormatSettings& fs) {
  if (!fs.ShortTimeFormat.empty() && IsDigit(fs.ShortTimeFormat[0])) {
    scan.SkipToDigit();
    return;
  }
  while (!scan.AtEnd() && !scan.StartsWithText(fs.TimeAMString) &&
         !scan.StartsWithText(fs.TimePMString))
    scan.SkipWord();
}

// The field of a mask for letter: the text's characters under the first run of count such
// letters, blanks left out. No run gives fallback; an empty field, or one that does not
// read, gives -1.
int MaskField(const std::string& format, const std::string& text, char letter, int count,
              int fallback) {
  const std::string upper = UpperCase(format);
  size_t at = upper.find(std::string(static_cast<size_t>(count), letter));
  if (at == std::string::npos) return fallback;
  std::string field;
  for (; at < upper.size() && upper[at] == letter && at < text.size(); ++at)
    if (text[at] != ' ' && field.size() < MaxFieldLength) field += text[at];
  if (field.empty()) return -1;
  if (count == 3) {
    const int month = MonthByName(field, static_cast<int>(field.size()));
    return month == 0 ? -1 : month;
  }
  int value;
  return TryStrToInt(field, value) ? value : -1;
}

}  // namespace

bool FourDigitYearFlag = ComputeFourDigitYearFlag();
bool FarEastLocale = SystemFarEastLocale();

bool LeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int MonthDays(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && LeapYear(year) ? 29 : days[month - 1];
}

bool IsValidYMD(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= MonthDays(year, month);
}

bool IsValidDateValue(TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  return IsValidYMD(year, month, day);
}

int ThisYear() {
  int year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

TDateOrder DateOrderOf(const std::string& format) {
  for (char ch : UpperCase(format)) {
    switch (ch) {
      case 'D': return doDMY;
      case 'M': return doMDY;
      case 'Y':
      case 'E': return doYMD;
      default: break;
    }
  }
  return doDMY;
}

int ExpandTwoDigitYear(int year) {
  if (year >= 100) return year;
  const int current = ThisYear();
  int base = current / 100 * 100;
  if (current - base + CenturyOffset - 100 >= year) base += 100;
  return year + base;
}

bool ParseDateByOrder(const std::string& text, const std::string& format, int& pos, int& day,
                      int& month, int& year) {
  const TFormatSettings& fs = FormatSettings();
  day = month = year = 0;
  const TDateOrder order = DateOrderOf(format);
  DateScanner scan(text, pos);
  if (!fs.ShortDateFormat.empty() && fs.ShortDateFormat[0] == 'g') scan.SkipToDigit();

  int n1, n2, n3;
  if (!scan.ReadNumber(n1) || !scan.ReadChar(fs.DateSeparator) || !scan.ReadNumber(n2))
    return false;
  if (scan.ReadChar(fs.DateSeparator)) {
    if (!scan.ReadNumber(n3)) return false;
    switch (order) {
      case doMDY: month = n1; day = n2; year = n3; break;
      case doDMY: day = n1; month = n2; year = n3; break;
      case doYMD: year = n1; month = n2; day = n3; break;
    }
    year = ExpandTwoDigitYear(year);
  } else {
    year = ThisYear();
    if (order == doDMY) {
      day = n1;
      month = n2;
    } else {
      month = n1;
      day = n2;
    }
  }
  scan.ReadChar(fs.DateSeparator);
  scan.SkipBlanks();
  if (FarEastLocale && UpperCase(fs.ShortDateFormat).find("DDD") != std::string::npos)
    SkipFarEastTail(scan, fs);
  return IsValidYMD(year, month, day) && scan.AtEnd();
}

int MonthByName(const std::string& text, int length) {
  if (length < 0) length = 0;
  const auto& names = FormatSettings().LongMonthNames;
  const std::string head = text.substr(0, static_cast<size_t>(length));
  for (int m = 1; m <= 12; ++m) {
    const std::string& name = names[static_cast<size_t>(m) - 1];
    if (!name.empty() && AnsiSameText(name.substr(0, static_cast<size_t>(length)), head))
      return m;
  }
  return 0;
}

bool ParseDateByMask(const std::string& format, const std::string& text, int& day, int& month,
                     int& year) {
  const bool fits = text.size() <= format.size();
  // A text longer than the mask cannot be cut by it: every field keeps its default.
  const std::string& cut = fits ? text : std::string();
  const std::string& mask = fits ? format : std::string();
  month = MaskField(mask, cut, 'M', 3, 0);
  if (month == 0) month = MaskField(mask, cut, 'M', 1, 0);
  day = MaskField(mask, cut, 'D', 1, 1);
  year = MaskField(mask, cut, 'Y', 1, ThisYear());
  // An empty or unreadable field is no date; it never expands into some valid year.
  if (month >= 0 && day >= 0 && year >= 0) {
    year = ExpandTwoDigitYear(year);
    if (IsValidYMD(year, month, day)) return true;
  }
  int pos = 1;
  return ParseDateByOrder(text, format, pos, day, month, year);
}

bool TextToDate(const std::string& format, const std::string& text, TDateTime& date) {
  if (text.empty()) {
    date = 0.0;
    return true;
  }
  int day, month, year;
  return ParseDateByMask(format, text, day, month, year) &&
         TryEncodeDate(year, month, day, date);
}

TDateTime TextToDateOrRaise(const std::string& format, const std::string& text) {
  TDateTime date;
  if (!TextToDate(format, text, date)) throw EConvertError("'" + text + "' is not a valid date");
  return date;
}

TDateTime TextToDateOrDefault(const std::string& format, const std::string& text,
                              TDateTime defaultDate) {
  TDateTime date;
  return TextToDate(format, text, date) ? date : std::trunc(defaultDate);
}

std::string DefaultDateFormat(bool fourDigits) {
  switch (DateOrderOf(FormatSettings().ShortDateFormat)) {
    case doMDY: return fourDigits ? "MM/DD/YYYY" : "MM/DD/YY";
    case doYMD: return fourDigits ? "YYYY/MM/DD" : "YY/MM/DD";
    case doDMY: break;
  }
  return fourDigits ? "DD/MM/YYYY" : "DD/MM/YY";
}

std::string DefaultDateMask(char blank, bool fourDigits) {
  std::string mask = "!99/99/99;1;";
  if (fourDigits)
    mask = DateOrderOf(FormatSettings().ShortDateFormat) == doYMD ? "!9999/99/99;1;"
                                                                   : "!99/99/9999;1;";
  return mask + blank;
}
