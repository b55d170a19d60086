#include "app/statistic_charts.h"

#include <algorithm>
#include <cmath>

#include "app/task_data.h"
#include "app/work_file.h"
#include "platform/rtl/ansi_chars.h"

namespace {

TDateTime Days(int64_t seconds) { return static_cast<TDateTime>(seconds) / SecsPerDay; }

// The cell of the week table that shows the day index days after the first.
void DayCell(const WeekTable& week, int index, int& col, int& row) {
  const int k = week.FirstColumn() + index;
  col = k % 7;
  row = k / 7;
}

// Largest first; equal times keep the later description first, as the list always had. Where
// a row's time and line fit one number together (all but absurd totals) the numbers are sorted
// by their bytes, which is several times faster than sorting the pairs.
void SortDetailRows(std::vector<std::pair<int64_t, int>>& sums, size_t lines, int64_t largest) {
  int lineBits = 1;
  while (lineBits < 32 && (size_t{1} << lineBits) < lines) ++lineBits;
  if (static_cast<uint64_t>(largest) >> (63 - lineBits) != 0) {
    std::sort(sums.begin(), sums.end(), [](const auto& a, const auto& b) {
      return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    return;
  }
  // Complemented, so that ascending order is the list's; then sorted a byte at a time from the
  // lowest, passing over bytes that all rows share.
  std::vector<uint64_t> packed(sums.size()), other(sums.size());
  uint64_t varying = 0;
  for (size_t i = 0; i < sums.size(); ++i) {
    packed[i] = ~(static_cast<uint64_t>(sums[i].first) << lineBits | static_cast<uint64_t>(sums[i].second));
    varying |= packed[i] ^ packed[0];
  }
  for (int shift = 0; shift < 64; shift += 8) {
    if ((varying >> shift & 0xFF) == 0) continue;
    size_t start[257] = {};
    for (const uint64_t key : packed) ++start[(key >> shift & 0xFF) + 1];
    for (size_t b = 1; b < 257; ++b) start[b] += start[b - 1];
    for (const uint64_t key : packed) other[start[key >> shift & 0xFF]++] = key;
    packed.swap(other);
  }
  for (uint64_t& key : packed) key = ~key;
  const uint64_t lineMask = (uint64_t{1} << lineBits) - 1;
  for (size_t i = 0; i < sums.size(); ++i)
    sums[i] = {static_cast<int64_t>(packed[i] >> lineBits), static_cast<int>(packed[i] & lineMask)};
}

}  // namespace

void SplitCellText(const std::string& text, std::string& first, std::string& second, std::string& third) {
  const size_t tab1 = text.find('\t');
  first = text.substr(0, tab1);
  second.clear();
  third.clear();
  if (tab1 == std::string::npos) return;
  const size_t tab2 = text.find('\t', tab1 + 1);
  second = text.substr(tab1 + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab1 - 1);
  if (tab2 != std::string::npos) third = text.substr(tab2 + 1);
}

// ---- Day bars -----------------------------------------------------------------------------

std::vector<StatBar> DayBars(const WeekTable& week) {
  std::vector<StatBar> bars;
  bars.reserve(static_cast<size_t>(std::max(week.DayCount(), 0)));
  for (int i = 0; i < week.DayCount(); ++i) {
    int col = 0, row = 0;
    DayCell(week, i, col, row);
    StatBar bar;
    TDateTime date = 0;
    if (week.CellDay(col, row, date)) bar.label = DayLabel(date);
    bar.value1 = Days(week.DaySeconds(col, row, 1));
    if (week.Comparison()) bar.value2 = Days(week.DaySeconds(col, row, 2));
    bars.push_back(std::move(bar));
  }
  return bars;
}

bool BarCell(const WeekTable& week, int index, std::string& label, std::string& time1, std::string& time2) {
  if (index < 0 || index >= week.DayCount()) return false;
  int col = 0, row = 0;
  DayCell(week, index, col, row);
  SplitCellText(week.CellText(col, row), label, time1, time2);
  return true;
}

std::string BarClickMessage(const WeekTable& week, int index, const std::string& dayText,
                            const std::string& workedText, const std::string& compareName) {
  std::string label, time1, time2;
  if (!BarCell(week, index, label, time1, time2)) return std::string();
  if (time2.empty()) time2 = TimeToStr(0);
  std::string message = dayText + label + "\r\r" + workedText + time1;
  if (week.Comparison()) message += "\r" + compareName + ": " + time2;
  return message;
}

// ---- Detail list ------------------------------------------------------------------------------

StatDetail GatherDetail(const StatDetailInput& input, const StatTaskIndex& index, const WorkFile& work,
                        const std::function<bool()>& step) {
  StatDayReader reader(work, false);
  return GatherDetail(input, index, reader, step);
}

StatDetail GatherDetail(const StatDetailInput& input, const StatTaskIndex& index, StatDayReader& reader,
                        const std::function<bool()>& step) {
  StatDetail detail;
  const TDateTime dateTo = std::floor(input.dateTo);
  const int dayCount = RangeDayCount(std::floor(input.dateFrom), dateTo);
  const TDateTime firstDay = dateTo - dayCount + 1;
  // Every program's time over the range first, in one read of each day; a description's
  // time is then the sum of its programs' times.
  std::vector<int64_t> rangeSeconds;
  for (int d = 0; d < dayCount; ++d) {
    reader.ReadDay(WorkSectionName(input.user, firstDay + d), [&rangeSeconds](int id, int64_t seconds) {
      if (id >= static_cast<int>(rangeSeconds.size())) rangeSeconds.resize(id + 1, 0);
      rangeSeconds[id] += seconds;
    });
  }

  // Each description once, at its first line; spellings that differ only in case can
  // interleave ("Foo", "foo", "Foo").
  const std::vector<int64_t> programSeconds = index.ProgramSeconds(rangeSeconds, reader);
  const size_t lines = index.ByName().size();
  std::vector<std::pair<int64_t, int>> sums;  // seconds and by-name line of each row
  int64_t largest = 0;
  for (size_t i = 0; i < lines; ++i) {
    int64_t sum = 0;
    if (!index.DescriptionSeconds(i, rangeSeconds, programSeconds, reader, sum)) continue;
    detail.grandTotal += sum;
    if (sum > 0) sums.emplace_back(sum, static_cast<int>(i));
    largest = std::max(largest, sum);
    if (step && !step()) {
      detail.cancelled = true;
      break;
    }
  }
  SortDetailRows(sums, lines, largest);
  size_t bytes = 0;
  for (const auto& [sum, line] : sums)
    bytes += index.Description(static_cast<size_t>(line)).size() + index.Path(static_cast<size_t>(line)).size();
  auto text = std::make_shared<std::string>();
  text->reserve(bytes);  // never grows below: the views stay put
  detail.rows.reserve(sums.size());
  for (const auto& [sum, line] : sums) {
    const std::string_view description = index.Description(static_cast<size_t>(line));
    const std::string_view path = index.Path(static_cast<size_t>(line));
    const size_t at = text->size();
    text->append(description).append(path);
    const std::string_view stored = std::string_view(*text).substr(at);
    detail.rows.push_back({stored.substr(0, description.size()), stored.substr(description.size()), line, sum});
  }
  detail.text = std::move(text);
  return detail;
}

std::string DetailTimeText(const StatDetailRow& row) { return FormatElapsed(Days(row.seconds)); }

std::string DetailPieLabel(const StatDetailRow& row) {
  return AnsiLeftBytes(row.description, 30) + " (" + DetailTimeText(row) + ")";
}

std::string DetailListCaption(const StatDetailRow& row) { return " " + std::string(row.description); }

std::string SliceClickMessage(const StatDetail& detail, int index, const std::string& timeText) {
  if (index < 0 || index >= static_cast<int>(detail.rows.size())) return std::string();
  const StatDetailRow& row = detail.rows[static_cast<size_t>(index)];
  return std::string(row.description) + "\r" + timeText + DetailTimeText(row);
}
