// Fuzz target for the date and time texts: the date utilities' parsing by mask and by order,
// and the runtime's date, time and date-time texts, under a date format and separators taken
// from the input. Anything must either fail or give a valid date, and a date read back from
// its own default-format text must be the same day.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kit/date_utils.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"

namespace {

// The input as fields separated by NUL: date format, text, then the separators.
std::string Field(const std::string& input, size_t& at) {
  if (at > input.size()) return std::string();
  const size_t end = input.find('\0', at);
  const std::string field = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
  at = end == std::string::npos ? input.size() + 1 : end + 1;
  return field;
}

void CheckDate(bool ok, TDateTime date) {
  if (!ok) return;
  if (!std::isfinite(date)) std::abort();
  if (date != 0 && !IsValidDateValue(date)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  const std::string format = Field(input, at);
  const std::string text = Field(input, at);
  const std::string separators = Field(input, at);

  TFormatSettings& settings = FormatSettings();
  const TFormatSettings saved = settings;
  if (separators.size() >= 1) settings.DateSeparator = separators[0];
  if (separators.size() >= 2) settings.TimeSeparator = separators[1];
  if (separators.size() >= 3) settings.ShortDateFormat = separators.substr(2);

  TDateTime date = 0;
  CheckDate(TextToDate(format, text, date), date);
  int day = 0, month = 0, year = 0;
  if (ParseDateByMask(format, text, day, month, year) && (day < 0 || month < 0)) std::abort();
  int pos = 1;
  if (ParseDateByOrder(text, format, pos, day, month, year) && !IsValidYMD(year, month, day)) std::abort();
  if (pos < 1) std::abort();
  (void)MonthByName(text, static_cast<int>(text.size() % 16));
  (void)DateOrderOf(format);

  TDateTime value = 0;
  CheckDate(TryStrToDate(text, value), value);
  if (TryStrToTime(text, value) && !std::isfinite(value)) std::abort();
  if (TryStrToDateTime(text, value) && !std::isfinite(value)) std::abort();

  // A valid day written in the default format reads back as itself (years below 100 are
  // read as two-digit years, whatever their digits).
  if (text.size() >= 3) {
    const int y = 100 + static_cast<uint8_t>(text[0]) * 37 % 9900;
    const int m = 1 + static_cast<uint8_t>(text[1]) % 12;
    const int d = 1 + static_cast<uint8_t>(text[2]) % MonthDays(y, m);
    const std::string fmt = DefaultDateFormat(true);
    const TDateTime day1 = EncodeDate(y, m, d);
    std::string shown = fmt;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", y);
    shown.replace(shown.find("YYYY"), 4, buf);
    std::snprintf(buf, sizeof buf, "%02d", m);
    shown.replace(shown.find("MM"), 2, buf);
    std::snprintf(buf, sizeof buf, "%02d", d);
    shown.replace(shown.find("DD"), 2, buf);
    for (char& c : shown)
      if (c == '/') c = settings.DateSeparator;  // the edit shows the separator in the mask's place
    TDateTime back = 0;
    if (!TextToDate(fmt, shown, back) || back != day1) std::abort();
  }
  settings = saved;
  return 0;
}
