#include "kit/calendar_logic.h"

#include <algorithm>
#include <cmath>

#include "kit/date_utils.h"

namespace {

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

}  // namespace

TCalendarMonth::TCalendarMonth() {
  Relayout();
  SetDate(::Date());
}

bool TCalendarMonth::Store(int year, int month, int day) {
  if (year < kMinYear || year > kMaxYear || !IsValidYMD(year, month, day)) return false;
  if (year == year_ && month == month_ && day == day_) return false;
  year_ = year;
  month_ = month;
  day_ = day;
  date_ = EncodeDate(year, month, day);
  Relayout();
  return true;
}

bool TCalendarMonth::SetDate(TDateTime value) {
  if (std::isnan(value)) return false;
  int year = 0;
  int month = 0;
  int day = 0;
  DecodeDate(std::floor(value), year, month, day);
  return Store(year, month, day);
}

bool TCalendarMonth::SetYear(int value) {
  if (value < kMinYear || value > kMaxYear || value == year_) return false;
  return Store(value, month_, std::min(day_, MonthDays(value, month_)));
}

bool TCalendarMonth::SetMonth(int value) {
  if (value < 1 || value > 12 || value == month_) return false;
  return Store(year_, value, std::min(day_, MonthDays(year_, value)));
}

bool TCalendarMonth::SetDay(int value) {
  if (value < 1 || value > MonthDays(year_, month_) || value == day_) return false;
  return Store(year_, month_, value);
}

void TCalendarMonth::SetStartOfWeek(TDayOfWeekName value) {
  startOfWeek_ = value;
  Relayout();
}

void TCalendarMonth::Relayout() {
  const int weekday = DayOfWeek(EncodeDate(year_, month_, 1));  // 1 = Sunday
  offset_ = 2 - ((weekday - static_cast<int>(startOfWeek_) + 7) % 7);
  if (offset_ == 2) offset_ = -5;
}

int TCalendarMonth::CellDay(int col, int row) const {
  if (row < 1 || row >= kCalendarRows || col < 0 || col >= kCalendarCols) return 0;
  const int day = offset_ + col + (row - 1) * 7;
  return day >= 1 && day <= MonthDays(year_, month_) ? day : 0;
}

std::string TCalendarMonth::CellText(int col, int row) const {
  if (row == 0) {
    if (col < 0 || col >= kCalendarCols) return std::string();
    return FormatSettings().ShortDayNames[(static_cast<int>(startOfWeek_) + col) % 7];
  }
  const int day = CellDay(col, row);
  return day == 0 ? std::string() : std::to_string(day);
}

void TCalendarMonth::CellOfDay(int day, int& col, int& row) const {
  col = (day - offset_) % 7;
  row = (day - offset_) / 7 + 1;
}

bool TCalendarMonth::IsWeekendColumn(int col) const {
  const int day = (static_cast<int>(startOfWeek_) + col) % 7;
  return (weekends_ & (1u << day)) != 0;
}

bool TCalendarMonth::StepMonth(int delta) {
  int year = year_;
  int month = month_ + (delta > 0 ? 1 : -1);
  if (month > 12) {
    month = 1;
    ++year;
  } else if (month < 1) {
    month = 12;
    --year;
  }
  if (year < kMinYear || year > kMaxYear) return false;
  return Store(year, month, std::min(day_, MonthDays(year, month)));
}

bool TCalendarMonth::StepYear(int delta) {
  const int year = year_ + (delta > 0 ? 1 : -1);
  if (year < kMinYear || year > kMaxYear) return false;
  return Store(year, month_, std::min(day_, MonthDays(year, month_)));
}

bool TCalendarMonth::StepDay(int delta) {
  if (delta > 0 && day_ < MonthDays(year_, month_)) return Store(year_, month_, day_ + 1);
  if (delta < 0 && day_ > 1) return Store(year_, month_, day_ - 1);
  // Over a month's edge.
  TDateTime next = date_ + (delta > 0 ? 1 : -1);
  int year = 0;
  int month = 0;
  int day = 0;
  DecodeDate(next, year, month, day);
  if (year == 0) return false;
  return Store(year, month, day);
}

std::string TCalendarMonth::Title() const { return FormatDateTime("MMMM, YYYY", date_); }

TDateTime CalendarDateFromText(const std::string& text, TDateTime today) {
  const char separator = FormatSettings().DateSeparator;
  bool blank = true;
  for (char ch : text)
    if (ch != separator && static_cast<unsigned char>(ch) > ' ') blank = false;
  if (blank) return today;
  TDateTime value = 0;
  if (!TryStrToDate(text, value) || !IsValidDateValue(value)) return today;
  return value;
}

TCalendarKeyAction CalendarKeyAction(int key, bool shift, bool ctrl, bool alt, bool dialogKeys) {
  switch (key) {
    case kCalendarVkPrior:
      return ctrl ? ckaPrevYear : ckaPrevMonth;
    case kCalendarVkNext:
      return ctrl ? ckaNextYear : ckaNextMonth;
    default:
      break;
  }
  if (!dialogKeys) return ckaNone;
  switch (key) {
    case kCalendarVkReturn:
      return ckaAccept;
    case kCalendarVkEscape:
      return ckaCancel;
    case kCalendarVkTab:
      return shift && !ctrl && !alt ? ckaPrevMonth : ckaNextMonth;
    default:
      return ckaNone;
  }
}

int CalendarColWidth(int clientWidth, int gridLineWidth, bool vertLines) {
  return (clientWidth - (vertLines ? 6 * gridLineWidth : 0)) / 7;
}

int CalendarRowHeight(int clientHeight, int gridLineWidth) { return (clientHeight - 6 * gridLineWidth) / 7; }
