#include "app/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "app/task_data.h"
#include "app/work_file.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// The tree shows this much of a description.
constexpr size_t NodeTextLength = 36;

bool IsDecimal(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Up to four digits at text[pos], as the time parser reads a number.
bool Digits(std::string_view text, size_t& pos, int& value) {
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && pos - start < 4 && text[pos] >= '0' && text[pos] <= '9') value = value * 10 + (text[pos++] - '0');
  return pos > start && (pos == text.size() || text[pos] < '0' || text[pos] > '9');
}

// The common form of a stored time, "h:m:s" with one separator, read without the general
// parser; false for anything else.
bool PlainTimeSeconds(std::string_view text, char separator, int64_t& seconds) {
  size_t pos = 0;
  int h = 0, m = 0, s = 0;
  if (!Digits(text, pos, h) || pos >= text.size() || text[pos++] != separator) return false;
  if (!Digits(text, pos, m) || pos >= text.size() || text[pos++] != separator) return false;
  if (!Digits(text, pos, s) || pos != text.size()) return false;
  if (h >= 24 || m > 59 || s > 59) return false;
  seconds = h * 3600 + m * 60 + s;
  return true;
}

TDateTime SecondsToDays(int64_t seconds) { return static_cast<TDateTime>(seconds) / SecsPerDay; }

std::string TimeOrBlank(int64_t seconds) { return seconds > 0 ? FormatElapsed(SecondsToDays(seconds)) : std::string(); }

}  // namespace

// ---- Reading days ---------------------------------------------------------------------------

int64_t StoredTimeSeconds(std::string_view text) {
  int64_t seconds = 0;
  if (PlainTimeSeconds(text, ':', seconds) || PlainTimeSeconds(text, FormatSettings().TimeSeparator, seconds))
    return seconds;
  TDateTime value = 0;
  if (text.empty() || !TryStrToStoredTime(std::string(text), value) || value < 0) return 0;
  return static_cast<int64_t>(std::llround(value * SecsPerDay));
}

StatDayReader::StatDayReader(const WorkFile& work) : work_(work) {
  static int64_t serials = 0;
  serial_ = ++serials;
}

int StatDayReader::FoldedId(std::string folded) {
  const auto inserted = byFolded_.emplace(std::move(folded), static_cast<int>(byFolded_.size()));
  if (inserted.second) lastDay_.push_back(-1);
  return inserted.first->second;
}

int StatDayReader::KeyId(const std::string& key) { return FoldedId(WorkFile::FoldName(Trim(key))); }

int StatDayReader::KnownKeyId(const std::string& key) const {
  const auto it = byFolded_.find(WorkFile::FoldName(Trim(key)));
  return it == byFolded_.end() ? -1 : it->second;
}

void StatDayReader::ReadDay(const std::string& section, const std::function<void(int, int64_t)>& add) {
  const int day = reads_++;
  work_.VisitValues(section, [&](std::string_view key, std::string_view value) {
    auto it = bySpelling_.find(key);
    if (it == bySpelling_.end()) it = bySpelling_.emplace(key, FoldedId(WorkFile::FoldName(key))).first;
    const int id = it->second;
    if (lastDay_[id] == day) return;  // a repeated key: its first value counts
    lastDay_[id] = day;
    add(id, StoredTimeSeconds(value));
  });
}

// ---- Period and range -------------------------------------------------------------------

int PeriodDayCount(StatPeriod period, TDateTime today) {
  switch (period) {
    case StatPeriod::Day: return 1;
    case StatPeriod::Week: return 7;
    case StatPeriod::TwoWeeks: return 14;
    case StatPeriod::Month: break;
  }
  int year = 0, month = 0, day = 0;
  DecodeDate(today, year, month, day);
  if (--month < 1) {
    month = 12;
    --year;
  }
  TDateTime monthBefore = 0;
  if (!TryEncodeDate(year, month, day, monthBefore)) return 30;
  const long n = std::lround(std::floor(today) - monthBefore);
  return n >= 28 && n <= 31 ? static_cast<int>(n) : 30;
}

int RangeDayCount(TDateTime dateFrom, TDateTime dateTo) {
  const double n = std::nearbyint(dateTo - dateFrom) + 1;
  return n < 1 ? 1 : static_cast<int>(n);
}

// ---- Task lists and trees -----------------------------------------------------------------

namespace {

// A task line's fields folded for ordering (ignoring case as CompareText does): one folded
// copy of the line, and where each field stands in it.
struct FoldedFields {
  std::string line;
  size_t descriptionBegin = 0, descriptionSize = 0, pathSize = 0, groupSize = 0;
  std::string_view Description() const { return std::string_view(line).substr(descriptionBegin, descriptionSize); }
  std::string_view Path() const { return std::string_view(line).substr(0, pathSize); }
  std::string_view Group() const { return std::string_view(line).substr(line.size() - groupSize); }
};

// Orders field by field as CompareText orders each; a field that is the start of another
// comes first; equal lines keep their order in the list.
struct NameOrderOf {
  const std::vector<FoldedFields>* fields;
  bool operator()(int a, int b) const {
    const FoldedFields& x = (*fields)[static_cast<size_t>(a)];
    const FoldedFields& y = (*fields)[static_cast<size_t>(b)];
    if (const int c = x.Description().compare(y.Description())) return c < 0;
    if (const int c = x.Path().compare(y.Path())) return c < 0;
    if (const int c = x.Group().compare(y.Group())) return c < 0;
    return a < b;
  }
};

}  // namespace

void StatTaskIndex::Build(const TStrings& taskList) {
  byName_.clear();
  byGroup_.clear();
  groupToName_.clear();
  nameBlock_.clear();
  pathKeys_.clear();
  pathKeysSerial_ = -1;
  std::vector<StatTask> tasks;
  std::vector<FoldedFields> folded;
  tasks.reserve(static_cast<size_t>(taskList.Count()));
  folded.reserve(static_cast<size_t>(taskList.Count()));
  for (int i = 0; i < taskList.Count(); ++i) {
    const std::string& line = taskList.Strings(i);
    StatTask task;
    SplitTab3(line, task.path, task.description, task.group);
    if (task.group == "0") continue;
    // The whole line is folded at once: folding keeps every byte in place, so the fields
    // stand where they stood.
    FoldedFields fields;
    fields.line = UpperCase(line);
    fields.pathSize = task.path.size();
    fields.descriptionBegin = std::min(task.path.size() + 1, line.size());
    fields.descriptionSize = task.description.size();
    fields.groupSize = task.group.size();
    tasks.push_back(std::move(task));
    folded.push_back(std::move(fields));
  }
  // By name: description, path, group. By group: group, then the by-name order, which is
  // what ordering by group, description and path gives. There are few groups, so the
  // by-group list is put together from the by-name list group by group.
  std::vector<int> order(tasks.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), NameOrderOf{&folded});
  std::unordered_map<std::string_view, int> groupNumber;
  std::vector<std::string_view> groups;
  std::vector<int> groupOf(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    const std::string_view group = folded[static_cast<size_t>(order[k])].Group();
    const auto inserted = groupNumber.emplace(group, static_cast<int>(groups.size()));
    if (inserted.second) groups.push_back(group);
    groupOf[k] = inserted.first->second;
  }
  std::vector<int> groupRank(groups.size());
  {
    std::vector<int> byFolded(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) byFolded[g] = static_cast<int>(g);
    std::sort(byFolded.begin(), byFolded.end(), [&groups](int a, int b) { return groups[a] < groups[b]; });
    for (size_t r = 0; r < byFolded.size(); ++r) groupRank[static_cast<size_t>(byFolded[r])] = static_cast<int>(r);
  }
  std::vector<int> groupStart(groups.size() + 1, 0);
  for (const int g : groupOf) ++groupStart[static_cast<size_t>(groupRank[static_cast<size_t>(g)]) + 1];
  for (size_t r = 1; r < groupStart.size(); ++r) groupStart[r] += groupStart[r - 1];
  groupToName_.resize(order.size());
  for (size_t k = 0; k < order.size(); ++k)
    groupToName_[static_cast<size_t>(groupStart[static_cast<size_t>(groupRank[static_cast<size_t>(groupOf[k])])]++)] =
        static_cast<int>(k);

  byName_.reserve(order.size());
  nameBlock_.resize(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t line = static_cast<size_t>(order[k]);
    const bool sameDescription = k > 0 && 
        folded[line].Description() == folded[static_cast<size_t>(order[k - 1])].Description();
    nameBlock_[k] = sameDescription ? nameBlock_[k - 1] : static_cast<int>(k);
    byName_.push_back(std::move(tasks[line]));
  }
  byGroup_.reserve(order.size());
  for (const int k : groupToName_) byGroup_.push_back(byName_[static_cast<size_t>(k)]);
}

std::vector<StatTaskNode> StatTaskIndex::Tree(bool comparison,
                                              const std::function<std::string(int)>& groupName) const {
  std::vector<StatTaskNode> nodes;
  auto root = [&nodes](const std::string& key) {
    StatTaskNode node;
    node.text = key;
    node.key = key;
    nodes.push_back(node);
  };
  if (comparison) root(NoneKey);
  root(TotalKey);
  // Lines that follow each other with the same description make one node; a group gets its
  // node with its first task node.
  std::string previous;
  const std::string* lastGroup = nullptr;
  int groupNode = -1;
  for (size_t i = 0; i < byGroup_.size(); ++i) {
    const StatTask& task = byGroup_[i];
    if (task.description == previous) continue;
    previous = task.description;
    if (lastGroup == nullptr || task.group != *lastGroup) {
      StatTaskNode node;
      node.group = IsDecimal(task.group) && task.group.size() < 9 ? std::stoi(task.group) : -1;
      node.text = groupName && node.group >= 0 ? groupName(node.group) : task.group;
      node.key = task.group;
      groupNode = static_cast<int>(nodes.size());
      nodes.push_back(node);
      lastGroup = &task.group;
    }
    StatTaskNode node;
    node.text = AnsiLeftBytes(task.description, NodeTextLength);
    node.parent = groupNode;
    node.line = static_cast<int>(i);
    node.key = task.description;
    nodes.push_back(node);
  }
  return nodes;
}

std::string NodeKey(const StatTaskNode& node, const StatTaskIndex& index) {
  if (node.text == NoneKey || node.text == TotalKey) return node.text;
  if (node.parent >= 0) {
    const auto& lines = index.ByGroup();
    return node.line >= 0 && node.line < static_cast<int>(lines.size()) ? lines[node.line].description
                                                                          : std::string();
  }
  return node.key;
}

int StatTaskIndex::PathKey(size_t nameLine, StatDayReader& reader, bool numberNew) const {
  if (pathKeysSerial_ != reader.Serial()) {
    pathKeys_.assign(byName_.size(), -1);
    pathKeysSerial_ = reader.Serial();
  }
  int& id = pathKeys_[nameLine];
  if (id >= 0) return id;
  if (numberNew) return id = reader.KeyId(byName_[nameLine].path);
  // Most paths of a long task list have no time in the range: they are not numbered, and
  // looked up again only once the reader has numbered more keys.
  if (id == -2 - reader.KeyCount()) return -1;
  const int known = reader.KnownKeyId(byName_[nameLine].path);
  id = known >= 0 ? known : -2 - reader.KeyCount();
  return known;
}

std::vector<int> StatTaskIndex::KeyWeights(const std::string& key, StatDayReader& reader) const {
  std::vector<int> weights;
  auto count = [&](int id) {
    if (id >= static_cast<int>(weights.size())) weights.resize(id + 1, 0);
    ++weights[id];
  };
  if (key == TotalKey) {
    count(reader.KeyId(TotalKey));
    return weights;
  }
  const bool byGroup = IsDecimal(key);
  const std::vector<StatTask>& lines = byGroup ? byGroup_ : byName_;
  auto field = [byGroup](const StatTask& task) -> const std::string& {
    return byGroup ? task.group : task.description;
  };
  auto it = std::lower_bound(lines.begin(), lines.end(), key, [&field](const StatTask& task, const std::string& k) {
    return CompareText(field(task), k) < 0;
  });
  if (it == lines.end() || !SameText(field(*it), key)) return weights;
  // The walk goes on while the key is spelled exactly alike; each program counts once.
  std::set<std::string> counted;
  for (; it != lines.end() && field(*it) == key; ++it) {
    if (!counted.insert(LowerCase(it->path)).second) continue;
    const size_t line = static_cast<size_t>(it - lines.begin());
    count(PathKey(byGroup ? static_cast<size_t>(groupToName_[line]) : line, reader, true));
  }
  return weights;
}

bool StatTaskIndex::DescriptionSeconds(size_t nameLine, const std::vector<int64_t>& secondsByKey,
                                       StatDayReader& reader, int64_t& seconds) const {
  seconds = 0;
  const std::string& description = byName_[nameLine].description;
  const size_t head = static_cast<size_t>(nameBlock_[nameLine]);
  for (size_t line = head; line < nameLine; ++line)
    if (byName_[line].description == description) return false;
  auto secondsOf = [&secondsByKey](int id) {
    return id >= 0 && id < static_cast<int>(secondsByKey.size()) ? secondsByKey[static_cast<size_t>(id)] : 0;
  };
  if (description == TotalKey || IsDecimal(description)) {
    // Such a description stands for the day's total or a group, as a key does.
    const std::vector<int> weights = KeyWeights(description, reader);
    for (size_t id = 0; id < weights.size(); ++id) seconds += weights[id] * secondsOf(static_cast<int>(id));
    return true;
  }
  // As KeyWeights walks: from the first line of the description (ignoring case) while it is
  // spelled exactly alike, each program once.
  if (byName_[head].description != description) return true;
  size_t end = head;
  while (end < byName_.size() && byName_[end].description == description) ++end;
  std::set<std::string> counted;
  for (size_t line = head; line < end; ++line) {
    if (end - head > 1 && !counted.insert(LowerCase(byName_[line].path)).second) continue;
    seconds += secondsOf(PathKey(line, reader, false));
  }
  return true;
}

namespace {

// The seconds of each of a day's keys times its weight.
int64_t Weighted(const std::vector<int>& weights, int id, int64_t seconds) {
  return id < static_cast<int>(weights.size()) ? weights[id] * seconds : 0;
}

}  // namespace

int64_t StatTaskIndex::SecondsOnDay(const WorkFile& work, const std::string& section,
                                    const std::string& key) const {
  StatDayReader reader(work);
  const std::vector<int> weights = KeyWeights(key, reader);
  int64_t sum = 0;
  reader.ReadDay(section, [&](int id, int64_t seconds) { sum += Weighted(weights, id, seconds); });
  return sum;
}

// ---- Texts of the week table --------------------------------------------------------------

std::string FormatDaysTotal(int64_t seconds, const std::string& oneDay, const std::string& days) {
  if (seconds < 0) seconds = 0;
  const int64_t wholeDays = seconds / SecsPerDay;
  const int64_t rest = seconds % SecsPerDay;
  const std::string h = FormatDateTime(
      "hh:nn", EncodeTime(static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), 0, 0));
  if (wholeDays == 1) return "1 " + oneDay + " " + h;
  if (wholeDays >= 2) return IntToStr(wholeDays) + " " + days + " " + h;
  return h;
}

namespace {

// The part of a date format from its first day or month field to its last one: day and
// month in the order the format gives them, with what stands between ("dd.mm" of
// "dd.mm.yyyy", "mm/dd" of "yyyy/mm/dd"); empty when it has neither.
std::string DayAndMonthFormat(const std::string& format) {
  size_t first = std::string::npos, end = 0;
  for (size_t i = 0; i < format.size();) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const size_t close = AnsiFind(format, c, i + 1);
      i = close == std::string::npos ? format.size() : close + 1;
      continue;
    }
    size_t length = AnsiCharLength(format, i);
    if (length == 1) {
      while (i + length < format.size() && format[i + length] == c) ++length;
      // Five or six "d" stand for a whole date, not for its day.
      const char field = static_cast<char>(c | 0x20);
      if ((field == 'd' || field == 'm') && length <= 4) {
        if (first == std::string::npos) first = i;
        end = i + length;
      }
    }
    i += length;
  }
  return first == std::string::npos ? std::string() : format.substr(first, end - first);
}

}  // namespace

std::string DayLabel(TDateTime date) {
  const std::string dayAndMonth = DayAndMonthFormat(FormatSettings().ShortDateFormat);
  if (!dayAndMonth.empty()) return FormatDateTime(dayAndMonth, date);
  const std::string text = DateToStr(date);
  if (text.size() > 3) {
    const size_t p = text.find(FormatSettings().DateSeparator, 3);
    if (p != std::string::npos) return text.substr(0, p);
  }
  return text.substr(0, 2);
}

std::string SharePercent(int64_t total1, int64_t total2) {
  if (total1 <= 0 || total2 <= 0) return std::string();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%3.2f%%", static_cast<double>(total2) / static_cast<double>(total1) * 100);
  std::string text = buffer;
  std::replace(text.begin(), text.end(), '.', FormatSettings().DecimalSeparator);
  return text;
}

int DayMark(bool hasTime, int64_t seconds, int mark2Hours, int mark3Hours) {
  int mark = hasTime ? 0 : 1;
  const int64_t hours = seconds / 3600;
  if (mark2Hours <= hours) mark = 2;
  if (mark3Hours <= hours) mark = 3;
  return mark;
}

// ---- Week table ---------------------------------------------------------------------------

int FirstWeekColumn(TDateTime dateTo, int dayCount, bool sundayFirst) {
  // Counted from the range's own first day: the day before it may lie before the first day
  // of the calendar, which has no weekday (and would give a column left of the table).
  const int first = DayOfWeek(dateTo - dayCount + 1);  // 1 Sunday .. 7 Saturday
  return (first + (sundayFirst ? 6 : 5)) % 7;
}

int WeekRows(int firstColumn, int dayCount) { return (firstColumn + dayCount + 6) / 7; }

void WeekTable::Compute(const WeekTableInput& input, const StatTaskIndex& index, const WorkFile& work) {
  StatDayReader reader(work);
  Compute(input, index, reader);
}

void WeekTable::Compute(const WeekTableInput& input, const StatTaskIndex& index, StatDayReader& reader) {
  const TDateTime dateTo = std::floor(input.dateTo);
  dayCount_ = RangeDayCount(std::floor(input.dateFrom), dateTo);
  sundayFirst_ = input.sundayFirst;
  comparison_ = input.key2 != NoneKey;
  firstColumn_ = FirstWeekColumn(dateTo, dayCount_, sundayFirst_);
  rows_ = WeekRows(firstColumn_, dayCount_);
  firstDay_ = dateTo - dayCount_ + 1;
  day1_.assign(dayCount_, 0);
  day2_.assign(dayCount_, 0);
  week1_.assign(rows_, 0);
  week2_.assign(rows_, 0);
  total1_ = total2_ = 0;
  const std::vector<int> weights1 = index.KeyWeights(input.key1, reader);
  const std::vector<int> weights2 = comparison_ ? index.KeyWeights(input.key2, reader) : std::vector<int>();
  for (int d = 0; d < dayCount_; ++d) {
    int64_t seconds1 = 0, seconds2 = 0;
    reader.ReadDay(WorkSectionName(input.user, firstDay_ + d), [&](int id, int64_t seconds) {
      seconds1 += Weighted(weights1, id, seconds);
      seconds2 += Weighted(weights2, id, seconds);
    });
    const int week = (firstColumn_ + d) / 7;
    day1_[d] = seconds1;
    week1_[week] += seconds1;
    total1_ += seconds1;
    if (comparison_) {
      day2_[d] = seconds2;
      week2_[week] += seconds2;
      total2_ += seconds2;
    }
  }
}

int WeekTable::DayIndex(int col, int row) const {
  if (col < 0 || col > 6 || row < 0) return -1;
  const int d = 7 * row + col - firstColumn_;
  return d >= 0 && d < dayCount_ ? d : -1;
}

bool WeekTable::CellDay(int col, int row, TDateTime& date) const {
  const int d = DayIndex(col, row);
  if (d < 0) return false;
  date = firstDay_ + d;
  return true;
}

int64_t WeekTable::DaySeconds(int col, int row, int which) const {
  const int d = DayIndex(col, row);
  if (d < 0) return 0;
  return which == 2 ? day2_[d] : day1_[d];
}

int64_t WeekTable::WeekSeconds(int row, int which) const {
  if (row < 0 || row >= rows_) return 0;
  return which == 2 ? week2_[row] : week1_[row];
}

std::string WeekTable::CellText(int col, int row) const {
  if (col == 7) {
    return FormatElapsedShortOrBlank(SecondsToDays(WeekSeconds(row, 1))) + "\t" +
           FormatElapsedShortOrBlank(SecondsToDays(WeekSeconds(row, 2)));
  }
  TDateTime date = 0;
  if (!CellDay(col, row, date)) return std::string();
  return DayLabel(date) + "\t" + TimeOrBlank(DaySeconds(col, row, 1)) + "\t" + TimeOrBlank(DaySeconds(col, row, 2));
}

std::string WeekTable::HeaderText(int col) const {
  if (col == 7) return "Week";
  // Serial 1 is a Sunday.
  return FormatDateTime("ddd", col + (sundayFirst_ ? 1 : 2));
}

bool WeekTable::WeekendColumn(int col) const {
  return sundayFirst_ ? col == 0 || col == 6 : col == 5 || col == 6;
}
