// Under _WIN32 the system clock is read from Windows itself (GetLocalTime, through
// platform/rtl/win/windows_api.h); elsewhere the C++ clock and localtime_r stand in. The
// branch cannot move into the Win32 layer: the clock is part of the portable runtime the cores
// call, and the cores' Windows builds (their tests under Wine among them) link without the
// Win32 side, which is built on top of them.

#include "platform/rtl/date_time.h"

#include <atomic>
#include <cmath>
#include <cstdlib>

#include "platform/rtl/exceptions.h"

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#else
#include <chrono>
#include <ctime>
#endif

namespace {

// Day numbers count from 0001-01-01 = day 1; a date-time's whole part counts from day
// DateDelta (1899-12-30).
constexpr long long DateDelta = 693594;
constexpr long long LastDayNumber = 3652059;  // 9999-12-31
constexpr int DaysPer400Years = 146097;
constexpr int DaysPer100Years = 36524;
constexpr int DaysPer4Years = 1461;

std::atomic<ClockFn> g_clock{&SystemClock};

// A date-time split into its day number and the milliseconds of the day, rounded to the
// millisecond (so 0.999999999 is the next midnight, not 23:59:59.999 and a bit).
struct Stamp {
  long long day = 0;
  int msec = 0;
};

bool ToStamp(TDateTime dt, Stamp& stamp) {
  // The bound keeps the product well inside a long long; NaN fails it too.
  if (!(dt > -1e7 && dt < 1e7)) return false;
  const long long total = Round(dt * MSecsPerDay);
  stamp.day = total / MSecsPerDay + DateDelta;  // truncates: the time of a negative value
  stamp.msec = static_cast<int>(std::llabs(total) % MSecsPerDay);  // is its fraction's size
  return stamp.day >= 1 && stamp.day <= LastDayNumber;
}

void DayNumberToDate(long long dayNumber, int& year, int& month, int& day) {
  long long t = dayNumber - 1;
  long long y = 1 + t / DaysPer400Years * 400;
  t %= DaysPer400Years;
  long long centuries = t / DaysPer100Years;
  if (centuries == 4) centuries = 3;  // the last day of a 400-year cycle
  t -= centuries * DaysPer100Years;
  y += centuries * 100 + t / DaysPer4Years * 4;
  t %= DaysPer4Years;
  long long years = t / 365;
  if (years == 4) years = 3;  // the last day of a leap year
  t -= years * 365;
  y += years;
  year = static_cast<int>(y);
  month = 1;
  for (int length = DaysInMonth(year, month); t >= length; length = DaysInMonth(year, month)) {
    t -= length;
    ++month;
  }
  day = static_cast<int>(t) + 1;
}

int CurrentYear() {
  int year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameTextAt(const std::string& text, size_t pos, const std::string& word) {
  if (pos > text.size() || text.size() - pos < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (UpperAscii(text[pos + i]) != UpperAscii(word[i])) return false;
  return true;
}

template <size_t N>
const std::string& NameAt(const std::array<std::string, N>& names, int index) {
  static const std::string empty;
  return index >= 0 && index < static_cast<int>(N) ? names[index] : empty;
}

// ---- Formatting --------------------------------------------------------------------------

class DateTimeWriter {
public:
  DateTimeWriter(TDateTime dt, const TFormatSettings& settings) : settings_(settings) {
    DecodeDate(dt, year_, month_, day_);
    DecodeTime(dt, hour_, min_, sec_, msec_);
    dayOfWeek_ = DayOfWeek(dt);
  }

  // A nested format (a short date inside "c", say) may not nest once more, so a format
  // that names itself cannot recurse without end.
  void Append(const std::string& format, int depth = 0) {
    if (depth >= 2) return;
    char lastToken = ' ';
    bool use12Hour = false;
    size_t i = 0;
    while (i < format.size()) {
      if (AnsiCharLength(format, i) == 2) {
        out_.append(format, i, 2);
        i += 2;
        lastToken = ' ';
        continue;
      }
      const char starter = format[i++];
      char token = UpperAscii(starter);
      if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      switch (token) {
        case 'Y': {
          const int count = RunLength(format, i, starter);
          if (count <= 2)
            Number(year_ % 100, 2);
          else
            Number(year_, 4);
          break;
        }
        case 'M': {
          const int count = RunLength(format, i, starter);
          if (count <= 2)
            Number(month_, count);
          else
            out_ += NameAt(count == 3 ? settings_.ShortMonthNames : settings_.LongMonthNames,
                           month_ - 1);
          break;
        }
        case 'D': {
          const int count = RunLength(format, i, starter);
          if (count <= 2)
            Number(day_, count);
          else if (count == 3)
            out_ += NameAt(settings_.ShortDayNames, dayOfWeek_ - 1);
          else if (count == 4)
            out_ += NameAt(settings_.LongDayNames, dayOfWeek_ - 1);
          else
            Append(count == 5 ? settings_.ShortDateFormat : settings_.LongDateFormat, depth + 1);
          break;
        }
        case 'H': {
          const int count = RunLength(format, i, starter);
          if (AmPmFollows(format, i)) use12Hour = true;
          int hour = hour_;
          if (use12Hour) {
            if (hour == 0)
              hour = 12;
            else if (hour > 12)
              hour -= 12;
          }
          Number(hour, count > 2 ? 2 : count);
          break;
        }
        case 'N':
        case 'S': {
          const int count = RunLength(format, i, starter);
          Number(token == 'N' ? min_ : sec_, count > 2 ? 2 : count);
          break;
        }
        case 'Z': {
          const int count = RunLength(format, i, starter);
          Number(msec_, count > 3 ? 3 : count);
          break;
        }
        case 'T':
          Append(RunLength(format, i, starter) == 1 ? settings_.ShortTimeFormat
                                                      : settings_.LongTimeFormat,
                 depth + 1);
          break;
        case 'C':
          RunLength(format, i, starter);
          Append(settings_.ShortDateFormat, depth + 1);
          if (hour_ != 0 || min_ != 0 || sec_ != 0) {
            out_ += ' ';
            Append(settings_.LongTimeFormat, depth + 1);
          }
          break;
        case 'A':
          if (AmPm(format, i)) use12Hour = true;
          break;
        case '/':
          if (settings_.DateSeparator != '\0') out_ += settings_.DateSeparator;
          break;
        case ':':
          if (settings_.TimeSeparator != '\0') out_ += settings_.TimeSeparator;
          break;
        case '\'':
        case '"': {
          const size_t start = i;
          while (i < format.size() && format[i] != starter) i += AnsiCharLength(format, i);
          out_.append(format, start, i - start);
          if (i < format.size()) ++i;
          break;
        }
        default:
          out_ += starter;
      }
    }
  }

  const std::string& Result() const { return out_; }

private:
  // Counts the run of the letter that starts at i - 1 (either case) and moves i past it.
  static int RunLength(const std::string& format, size_t& i, char starter) {
    int count = 1;
    while (i < format.size() && UpperAscii(format[i]) == UpperAscii(starter)) {
      ++i;
      ++count;
    }
    return count;
  }

  // Whether the next am/pm token after an hour token, before any further hour token and
  // outside quotes, asks for a 12-hour clock.
  static bool AmPmFollows(const std::string& format, size_t i) {
    bool quoted = false;
    for (; i < format.size(); i += AnsiCharLength(format, i)) {
      const char c = format[i];
      if ((c == 'a' || c == 'A') && !quoted)
        return SameTextAt(format, i, "AM/PM") || SameTextAt(format, i, "A/P") ||
               SameTextAt(format, i, "AMPM");
      if (c == 'h' || c == 'H') return false;
      if (c == '\'' || c == '"') quoted = !quoted;
    }
    return false;
  }

  // Writes an am/pm token starting at i - 1 and moves past it; a lone "a" is copied.
  bool AmPm(const std::string& format, size_t& i) {
    const size_t start = i - 1;
    const bool pm = hour_ >= 12;
    if (SameTextAt(format, start, "AM/PM")) {
      out_.append(format, start + (pm ? 3 : 0), 2);
      i = start + 5;
    } else if (SameTextAt(format, start, "A/P")) {
      out_.append(format, start + (pm ? 2 : 0), 1);
      i = start + 3;
    } else if (SameTextAt(format, start, "AMPM")) {
      out_ += pm ? settings_.TimePMString : settings_.TimeAMString;
      i = start + 4;
    } else {
      out_ += format[start];
      return false;
    }
    return true;
  }

  void Number(int value, int minDigits) {
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < minDigits) out_.append(minDigits - digits.size(), '0');
    out_ += digits;
  }

  const TFormatSettings& settings_;
  std::string out_;
  int year_, month_, day_, hour_, min_, sec_, msec_, dayOfWeek_;
};

// ---- Parsing -----------------------------------------------------------------------------

class Scanner {
public:
  explicit Scanner(const std::string& text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  // Up to four decimal digits after optional blanks; `digits` tells how many were read.
  bool Number(int& value, int& digits) {
    SkipBlanks();
    const size_t start = pos_;
    int n = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && n < 1000) {
      n = n * 10 + (text_[pos_] - '0');
      ++pos_;
    }
    if (pos_ == start) return false;
    value = n;
    digits = static_cast<int>(pos_ - start);
    return true;
  }

  bool Char(char c) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // A word, ignoring letter case; an empty word never matches.
  bool Word(const std::string& word) {
    if (word.empty()) return false;
    SkipBlanks();
    if (!SameTextAt(text_, pos_, word)) return false;
    pos_ += word.size();
    return true;
  }

private:
  const std::string& text_;
  size_t pos_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

// The order of the fields follows the first day, month or year letter of the short date
// format; a format without any is taken as month first.
DateOrder DateOrderOf(const std::string& format) {
  for (char c : format) {
    switch (UpperAscii(c)) {
      case 'D': return DateOrder::DMY;
      case 'M': return DateOrder::MDY;
      case 'Y': return DateOrder::YMD;
      default: break;
    }
  }
  return DateOrder::MDY;
}

// A one- or two-digit year goes into the 100 years that begin `window` years before the
// current one; a window of 0 keeps it in the current century.
int PlaceTwoDigitYear(int year, int window) {
  const int centuryBase = CurrentYear() - window;
  year += centuryBase / 100 * 100;
  if (window > 0 && year < centuryBase) year += 100;
  return year;
}

bool ScanDate(Scanner& scanner, const TFormatSettings& settings, TDateTime& date) {
  const char separator = settings.DateSeparator;
  const DateOrder order = DateOrderOf(settings.ShortDateFormat);
  int n1, n2, n3, len1, len2, len3;
  if (!scanner.Number(n1, len1) || !scanner.Char(separator) || !scanner.Number(n2, len2))
    return false;
  int year, month, day;
  if (scanner.Char(separator)) {
    if (!scanner.Number(n3, len3)) return false;
    int yearLength;
    switch (order) {
      case DateOrder::MDY: month = n1, day = n2, year = n3, yearLength = len3; break;
      case DateOrder::DMY: day = n1, month = n2, year = n3, yearLength = len3; break;
      default: year = n1, month = n2, day = n3, yearLength = len1; break;
    }
    if (yearLength <= 2) year = PlaceTwoDigitYear(year, settings.TwoDigitYearCenturyWindow);
  } else {
    year = CurrentYear();
    if (order == DateOrder::DMY)
      day = n1, month = n2;
    else
      month = n1, day = n2;
  }
  scanner.Char(separator);  // a closing separator ("3.4.") is allowed
  scanner.SkipBlanks();
  return TryEncodeDate(year, month, day, date);
}

bool ScanAmPm(Scanner& scanner, const TFormatSettings& settings, int& baseHour) {
  if (scanner.Word(settings.TimeAMString) || scanner.Word("AM"))
    baseHour = 0;
  else if (scanner.Word(settings.TimePMString) || scanner.Word("PM"))
    baseHour = 12;
  else
    return false;
  return true;
}

bool ScanTime(Scanner& scanner, const TFormatSettings& settings, TDateTime& time) {
  const char separator = settings.TimeSeparator;
  int baseHour = -1;
  const bool prefixed = ScanAmPm(scanner, settings, baseHour);
  int hour, min = 0, sec = 0, digits;
  if (!scanner.Number(hour, digits)) return false;
  if (scanner.Char(separator)) {
    if (!scanner.Number(min, digits)) return false;
    if (scanner.Char(separator) && !scanner.Number(sec, digits)) return false;
  }
  if (prefixed || ScanAmPm(scanner, settings, baseHour)) {
    if (hour == 0 || hour > 12) return false;
    hour = hour % 12 + baseHour;
  }
  scanner.SkipBlanks();
  return TryEncodeTime(hour, min, sec, 0, time);
}

}  // namespace

// ---- Clock -------------------------------------------------------------------------------

ClockFn SetClock(ClockFn clock) { return g_clock.exchange(clock ? clock : &SystemClock); }

TDateTime SystemClock() {
#ifdef _WIN32
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) +
         EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
#else
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  // A leap second is shown as the last second of its minute.
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                    static_cast<int>(ms % 1000));
#endif
}

TDateTime Now() { return g_clock.load()(); }

TDateTime Date() {
  Stamp stamp;
  return ToStamp(Now(), stamp) ? static_cast<TDateTime>(stamp.day - DateDelta) : 0.0;
}

TDateTime Time() {
  Stamp stamp;
  return ToStamp(Now(), stamp) ? static_cast<TDateTime>(stamp.msec) / MSecsPerDay : 0.0;
}

// ---- Calendar ----------------------------------------------------------------------------

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  long long dayNumber = day;
  for (int m = 1; m < month; ++m) dayNumber += DaysInMonth(year, m);
  const long long y = year - 1;
  dayNumber += y * 365 + y / 4 - y / 100 + y / 400;
  date = static_cast<TDateTime>(dayNumber - DateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date))
    throw EConvertError("Invalid argument to date encode");
  return date;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour >= HoursPerDay || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
      msec > 999)
    return false;
  time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime time;
  if (!TryEncodeTime(hour, min, sec, msec, time))
    throw EConvertError("Invalid argument to time encode");
  return time;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  Stamp stamp;
  if (!ToStamp(dt, stamp)) {
    year = month = day = 0;
    return;
  }
  DayNumberToDate(stamp.day, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  Stamp stamp;
  if (!ToStamp(dt, stamp)) stamp.msec = 0;
  hour = stamp.msec / 3600000;
  min = stamp.msec / 60000 % 60;
  sec = stamp.msec / 1000 % 60;
  msec = stamp.msec % 1000;
}

int DayOfWeek(TDateTime dt) {
  Stamp stamp;
  // Day number 1 (0001-01-01) was a Monday.
  return ToStamp(dt, stamp) ? static_cast<int>(stamp.day % 7) + 1 : 0;
}

TDateTime IncMonth(TDateTime dt, int months) {
  int year, month, day;
  DecodeDate(dt, year, month, day);
  const long long total = year * 12LL + (month - 1) + months;
  long long newYear = total / 12;
  long long newMonth = total % 12;
  if (newMonth < 0) {
    newMonth += 12;
    --newYear;
  }
  if (newYear < 1 || newYear > 9999) throw EConvertError("Invalid argument to date encode");
  const int y = static_cast<int>(newYear), m = static_cast<int>(newMonth) + 1;
  const int length = DaysInMonth(y, m);
  TDateTime result = EncodeDate(y, m, day < length ? day : length);
  ReplaceTime(result, dt);
  return result;
}

void ReplaceTime(TDateTime& dt, TDateTime newTime) {
  const double timeOfDay = std::fabs(newTime - std::trunc(newTime));
  dt = dt >= 0 ? std::trunc(dt) + timeOfDay : std::trunc(dt) - timeOfDay;
}

// ---- Formatting --------------------------------------------------------------------------

std::string FormatDateTime(const std::string& format, TDateTime dt,
                           const TFormatSettings& settings) {
  DateTimeWriter writer(dt, settings);
  writer.Append(format.empty() ? std::string("c") : format);
  return writer.Result();
}

std::string DateToStr(TDateTime dt, const TFormatSettings& settings) {
  return FormatDateTime(settings.ShortDateFormat, dt, settings);
}

std::string TimeToStr(TDateTime dt, const TFormatSettings& settings) {
  return FormatDateTime(settings.LongTimeFormat, dt, settings);
}

std::string DateTimeToStr(TDateTime dt, const TFormatSettings& settings) {
  return FormatDateTime("c", dt, settings);
}

// ---- Parsing -----------------------------------------------------------------------------

namespace {

// Runs one scan over the whole text; the value changes only when all of the text was read.
bool ScanWhole(bool (*scan)(Scanner&, const TFormatSettings&, TDateTime&), const std::string& text,
               TDateTime& value, const TFormatSettings& settings) {
  Scanner scanner(text);
  TDateTime result;
  if (!scan(scanner, settings, result) || !scanner.AtEnd()) return false;
  value = result;
  return true;
}

}  // namespace

bool TryStrToDate(const std::string& text, TDateTime& value, const TFormatSettings& settings) {
  return ScanWhole(&ScanDate, text, value, settings);
}

bool TryStrToTime(const std::string& text, TDateTime& value, const TFormatSettings& settings) {
  return ScanWhole(&ScanTime, text, value, settings);
}

bool TryStrToDateTime(const std::string& text, TDateTime& value,
                      const TFormatSettings& settings) {
  Scanner scanner(text);
  TDateTime date, time = 0;
  if (ScanDate(scanner, settings, date) &&
      (scanner.AtEnd() || (ScanTime(scanner, settings, time) && scanner.AtEnd()))) {
    value = date >= 0 ? date + time : date - time;
    return true;
  }
  return TryStrToTime(text, value, settings);
}

namespace {

TDateTime ConvertOrRaise(bool (*convert)(const std::string&, TDateTime&, const TFormatSettings&),
                         const std::string& text, const TFormatSettings& settings,
                         const char* what) {
  TDateTime value;
  if (!convert(text, value, settings))
    throw EConvertError("'" + text + "' is not a valid " + what);
  return value;
}

}  // namespace

TDateTime StrToDate(const std::string& text, const TFormatSettings& settings) {
  return ConvertOrRaise(&TryStrToDate, text, settings, "date");
}

TDateTime StrToTime(const std::string& text, const TFormatSettings& settings) {
  return ConvertOrRaise(&TryStrToTime, text, settings, "time");
}

TDateTime StrToDateTime(const std::string& text, const TFormatSettings& settings) {
  return ConvertOrRaise(&TryStrToDateTime, text, settings, "date and time");
}
