#pragma once
// The arithmetic behind the statistics window's chart and detail pages, free of windows:
// the day bars of the chosen task and of the compared one, the texts a click on a bar or on
// a slice shows, and the detail list (every task description with its time over the range,
// largest first) from which the list view and the pie are filled.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/statistics.h"
#include "platform/rtl/date_time.h"

class WorkFile;

// Splits a week-table cell at its TABs: a day's label, time 1 and time 2, or the week
// column's two totals (the third part then empty). Missing parts are empty.
void SplitCellText(const std::string& text, std::string& first, std::string& second, std::string& third);

// ---- Day bars -----------------------------------------------------------------------------

struct StatBar {
  std::string label;  // the day label of the week table
  double value1 = 0;  // days of the chosen task
  double value2 = 0;  // days of the compared task (0 without a comparison)
};

// One bar per day of the range, first day first.
std::vector<StatBar> DayBars(const WeekTable& week);

// The week-table cell of bar index (the cell's label, time 1 and time 2), or false for an
// index outside the range.
bool BarCell(const WeekTable& week, int index, std::string& label, std::string& time1, std::string& time2);

// What a click on bar index tells: dayText and the label, two line breaks, workedText and
// time 1; with a comparison a line break, compareName, ": " and time 2 (midnight's long time
// text when that day has no time). Empty for an index outside the range.
std::string BarClickMessage(const WeekTable& week, int index, const std::string& dayText,
                            const std::string& workedText, const std::string& compareName);

// ---- Detail list ------------------------------------------------------------------------------

// A row's texts are views into the text of the detail it belongs to (or, for a row made by
// hand, into strings that outlive it).
struct StatDetailRow {
  std::string_view description;
  std::string_view path;  // the path of the description's first line
  int nameIndex = -1;  // the index of that line in the by-name task list
  int64_t seconds = 0; // the description's time over the range
};

struct StatDetail {
  // The descriptions with time, largest time first.
  std::vector<StatDetailRow> rows;
  // Every description summed up (those without time count as zero).
  int64_t grandTotal = 0;
  // step said stop.
  bool cancelled = false;
  // The rows' descriptions and paths, back to back: one block for tens of thousands of rows,
  // shared by the detail's copies.
  std::shared_ptr<const std::string> text;
};

struct StatDetailInput {
  std::string user;
  TDateTime dateFrom = 0;
  TDateTime dateTo = 0;
};

// Sums every description of the task list over the days of the range. Each description is
// summed once, whatever the number and spelling of its lines. After each description step
// is called; when it answers false the gathering stops and keeps what it has.
StatDetail GatherDetail(const StatDetailInput& input, const StatTaskIndex& index, const WorkFile& work,
                        const std::function<bool()>& step = nullptr);
// The same through a reader kept from an earlier computation over the same file.
StatDetail GatherDetail(const StatDetailInput& input, const StatTaskIndex& index, StatDayReader& reader,
                        const std::function<bool()>& step = nullptr);

// The texts of a row: the pie slice's label (the description cut to 30 characters and the
// time in brackets), the list item's caption (the description after a blank) and its time
// ("hh:nn:ss", the hours counting on past a day).
std::string DetailTimeText(const StatDetailRow& row);
std::string DetailPieLabel(const StatDetailRow& row);
std::string DetailListCaption(const StatDetailRow& row);

// What a click on a slice tells: the description, a line break, timeText and the time. Empty
// for an index outside the rows.
std::string SliceClickMessage(const StatDetail& detail, int index, const std::string& timeText);
