#pragma once
// The month model of the calendar, free of windows: the selected date, the 7 x 7 grid of a
// month (a row of day names, then six weeks starting on StartOfWeek), which cell holds which
// day, weekend columns, and every way the date moves: by year, month and day setters, month
// and year steps, the day keys and today. Dates stay inside 01.01.0001 .. 31.12.9999: a
// step or a value that would leave that range is ignored.
//
// The calendar controls (kit/win/calendar.h) and the date edit use these types.

#include <string>

#include "platform/rtl/date_time.h"

// Days of the week, Sunday first.
enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
// A set of days: bit d stands for the day with ordinal d.
using TDaysOfWeek = unsigned;
constexpr TDaysOfWeek DayOfWeekBit(TDayOfWeekName day) { return 1u << static_cast<unsigned>(day); }

// The grid has 7 columns and 7 rows; row 0 holds the day names.
constexpr int kCalendarCols = 7;
constexpr int kCalendarRows = 7;

class TCalendarMonth {
public:
  // Starts on today.
  TCalendarMonth();

  // The selected day (no time of day).
  TDateTime Date() const { return date_; }
  // Takes the day of value; false when it is the same day or outside the years 1..9999.
  bool SetDate(TDateTime value);
  int Year() const { return year_; }
  int Month() const { return month_; }
  int Day() const { return day_; }
  // Each answers whether the date changed. Values below 1 are ignored, and so are years
  // above 9999, months above 12 and days beyond the month. A new year or month keeps the
  // day when the month has it, else takes the month's last day.
  bool SetYear(int value);
  bool SetMonth(int value);
  bool SetDay(int value);

  TDayOfWeekName StartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(TDayOfWeekName value);
  TDaysOfWeek Weekends() const { return weekends_; }
  void SetWeekends(TDaysOfWeek value) { weekends_ = value; }

  // The day number column 0 of row 1 stands for: 1 when the month starts on StartOfWeek,
  // down to -5 when it starts on the day before it.
  int MonthOffset() const { return offset_; }
  // The day a cell shows (rows 1..6), 0 for the day-name row and cells outside the month.
  int CellDay(int col, int row) const;
  // The cell's text: the short day name in row 0, the day number, or empty.
  std::string CellText(int col, int row) const;
  // The cell of a day of the month.
  void CellOfDay(int day, int& col, int& row) const;
  // The column shows a weekend day.
  bool IsWeekendColumn(int col) const;

  // One month on or back, the day cut to the new month's length (31 January + 1 month is the
  // last day of February).
  bool StepMonth(int delta);
  // One year on or back; 29 February becomes 28 February first.
  bool StepYear(int delta);
  // The day before or after, into the neighbouring month or year.
  bool StepDay(int delta);

  // "MMMM, YYYY" of the date through the process format settings.
  std::string Title() const;

private:
  void Relayout();
  bool Store(int year, int month, int day);

  TDateTime date_ = 0;
  int year_ = 1899;
  int month_ = 12;
  int day_ = 30;
  int offset_ = 1;
  TDayOfWeekName startOfWeek_ = Mon;
  TDaysOfWeek weekends_ = DayOfWeekBit(Sun);
};

// The date a text stands for, for the popup calendar: today when the text is empty once the
// date separators and blanks are taken out, or when it is not a date.
TDateTime CalendarDateFromText(const std::string& text, TDateTime today);

// What the month and year keys of the popup calendar and the date dialog do.
enum TCalendarKeyAction { ckaNone, ckaPrevMonth, ckaNextMonth, ckaPrevYear, ckaNextYear, ckaAccept, ckaCancel };
// Virtual-key codes the table below knows.
constexpr int kCalendarVkTab = 0x09;
constexpr int kCalendarVkReturn = 0x0D;
constexpr int kCalendarVkEscape = 0x1B;
constexpr int kCalendarVkPrior = 0x21;
constexpr int kCalendarVkNext = 0x22;
// Page Down and Page Up step a month, with Ctrl a year. In the dialog (dialogKeys) also:
// Enter accepts, Escape cancels, Tab steps a month on and Shift+Tab (Shift alone) one back.
TCalendarKeyAction CalendarKeyAction(int key, bool shift, bool ctrl, bool alt, bool dialogKeys);

// Column width and row height of the grid's cells for a client area: the grid lines between
// the 7 columns (when vertical lines are drawn) and 7 rows taken off first.
int CalendarColWidth(int clientWidth, int gridLineWidth, bool vertLines);
int CalendarRowHeight(int clientHeight, int gridLineWidth);
