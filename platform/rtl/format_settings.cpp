// Under _WIN32 the process format settings start from the user's locale (GetLocaleInfoA) and
// the far-east check asks the system (through platform/rtl/win/windows_api.h); elsewhere the
// built-in defaults stand in. The branch cannot move into the Win32 layer: the format settings
// are part of the portable runtime the cores call, and the cores' Windows builds (their tests
// under Wine among them) link without the Win32 side, which is built on top of them.

#include "platform/rtl/format_settings.h"

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#endif

bool SystemFarEastLocale() {
#ifdef _WIN32
  return GetSystemMetrics(SM_DBCSENABLED) != 0;
#else
  return false;
#endif
}

namespace {

// Copies a quoted run of a picture unchanged (quote characters included) and returns the
// index after it; an unterminated quote runs to the end.
size_t CopyQuoted(const std::string& picture, size_t i, std::string& out) {
  const char quote = picture[i];
  size_t end = i + 1;
  while (end < picture.size() && picture[end] != quote) end += AnsiCharLength(picture, end);
  end = end < picture.size() ? end + 1 : picture.size();
  out.append(picture, i, end - i);
  return end;
}

// Walks a locale picture: quoted text is copied unchanged, the locale's separator becomes
// the runtime's `token`, and every run of one character (a double-byte character on its
// own) is passed to `translate`, which gives what stands for it in the runtime's format.
template <typename TranslateFn>
std::string TranslatePicture(const std::string& picture, char separator, char token,
                             TranslateFn translate) {
  std::string out;
  for (size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (c == '\'' || c == '"') {
      i = CopyQuoted(picture, i, out);
      continue;
    }
    size_t end = i + AnsiCharLength(picture, i);
    if (end == i + 1 && c == separator && c != '\0') {
      out += token;
      i = end;
      continue;
    }
    if (end == i + 1)
      while (end < picture.size() && picture[end] == c) ++end;
    out += translate(picture.substr(i, end - i));
    i = end;
  }
  return out;
}

}  // namespace

std::string TranslateLocaleDateFormat(const std::string& picture, char dateSeparator) {
  return TranslatePicture(picture, dateSeparator, '/', [](const std::string& run) {
    return run[0] == 'M' ? std::string(run.size(), 'm') : run;
  });
}

std::string TranslateLocaleTimeFormat(const std::string& picture, char timeSeparator) {
  return TranslatePicture(picture, timeSeparator, ':', [](const std::string& run) {
    switch (run[0]) {
      case 't': return std::string("AMPM");  // "t" and "tt": this runtime writes the whole string
      case 'H': return std::string(run.size(), 'h');
      case 'm':
      case 'M': return std::string(run.size(), 'n');
      default: return run;
    }
  });
}

TFormatSettings DefaultFormatSettings() {
  TFormatSettings fs;
  fs.CurrencyString = "$";
  fs.ShortDateFormat = "m/d/yyyy";
  fs.LongDateFormat = "dddd, mmmm d, yyyy";
  fs.TimeAMString = "AM";
  fs.TimePMString = "PM";
  fs.ShortTimeFormat = "h:nn AMPM";
  fs.LongTimeFormat = "h:nn:ss AMPM";
  fs.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  fs.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                       "July",    "August",   "September", "October", "November", "December"};
  fs.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  fs.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return fs;
}

#ifdef _WIN32

namespace {

// One locale value; `fallback` when the locale has none.
std::string LocaleString(LCTYPE type, const std::string& fallback) {
  char buffer[256];
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  if (length <= 1) return fallback;
  return std::string(buffer, length - 1);
}

char LocaleChar(LCTYPE type, char fallback) {
  const std::string value = LocaleString(type, std::string());
  return value.empty() ? fallback : value[0];
}

int LocaleNumber(LCTYPE type, int fallback) {
  const std::string value = LocaleString(type, std::string());
  if (value.empty() || value.size() > 4) return fallback;
  int number = 0;
  for (unsigned char c : value) {
    if (c < '0' || c > '9') return fallback;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The short time format when the locale has none of its own: the long one without seconds.
std::string WithoutSeconds(const std::string& format) {
  const size_t s = format.find('s');
  if (s == std::string::npos) return format;
  size_t begin = s;
  if (begin > 0 && format[begin - 1] == ':') --begin;
  size_t end = s;
  while (end < format.size() && format[end] == 's') ++end;
  return format.substr(0, begin) + format.substr(end);
}

}  // namespace

TFormatSettings LocaleFormatSettings() {
  TFormatSettings fs = DefaultFormatSettings();
  fs.CurrencyString = LocaleString(LOCALE_SCURRENCY, fs.CurrencyString);
  fs.CurrencyFormat = LocaleNumber(LOCALE_ICURRENCY, fs.CurrencyFormat);
  fs.NegCurrFormat = LocaleNumber(LOCALE_INEGCURR, fs.NegCurrFormat);
  fs.CurrencyDecimals = LocaleNumber(LOCALE_ICURRDIGITS, fs.CurrencyDecimals);
  fs.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, fs.ThousandSeparator);
  fs.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, fs.DecimalSeparator);
  fs.DateSeparator = LocaleChar(LOCALE_SDATE, fs.DateSeparator);
  fs.TimeSeparator = LocaleChar(LOCALE_STIME, fs.TimeSeparator);
  fs.ListSeparator = LocaleChar(LOCALE_SLIST, fs.ListSeparator);

  const std::string shortDate = LocaleString(LOCALE_SSHORTDATE, std::string());
  if (!shortDate.empty()) fs.ShortDateFormat = TranslateLocaleDateFormat(shortDate, fs.DateSeparator);
  const std::string longDate = LocaleString(LOCALE_SLONGDATE, std::string());
  if (!longDate.empty()) fs.LongDateFormat = TranslateLocaleDateFormat(longDate, fs.DateSeparator);
  const std::string longTime = LocaleString(LOCALE_STIMEFORMAT, std::string());
  if (!longTime.empty()) fs.LongTimeFormat = TranslateLocaleTimeFormat(longTime, fs.TimeSeparator);
  const std::string shortTime = LocaleString(LOCALE_SSHORTTIME, std::string());
  fs.ShortTimeFormat = shortTime.empty() ? WithoutSeconds(fs.LongTimeFormat)
                                         : TranslateLocaleTimeFormat(shortTime, fs.TimeSeparator);
  // A 24-hour locale has no designators; keep them empty rather than English.
  fs.TimeAMString = LocaleString(LOCALE_S1159, std::string());
  fs.TimePMString = LocaleString(LOCALE_S2359, std::string());

  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = LocaleString(LOCALE_SABBREVMONTHNAME1 + i, fs.ShortMonthNames[i]);
    fs.LongMonthNames[i] = LocaleString(LOCALE_SMONTHNAME1 + i, fs.LongMonthNames[i]);
  }
  // The locale numbers its days from Monday; ours start with Sunday.
  for (int i = 0; i < 7; ++i) {
    const int localeDay = (i + 6) % 7;
    fs.ShortDayNames[i] = LocaleString(LOCALE_SABBREVDAYNAME1 + localeDay, fs.ShortDayNames[i]);
    fs.LongDayNames[i] = LocaleString(LOCALE_SDAYNAME1 + localeDay, fs.LongDayNames[i]);
  }
  return fs;
}

#else

TFormatSettings LocaleFormatSettings() { return DefaultFormatSettings(); }

#endif

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = LocaleFormatSettings();
  return settings;
}

void ResetFormatSettings() { FormatSettings() = LocaleFormatSettings(); }
