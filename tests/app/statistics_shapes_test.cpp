// The statistics over whole generated histories of every shape the benchmarks time, checked
// against a plain reading of the same files: the task list ordered with field-wise case-blind
// comparisons, every section and key of the work file put in maps, each key's lines looked
// for one by one. Both must agree to the second and in the same order.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

#include "app/statistic_charts.h"
#include "app/statistics.h"
#include "app/work_file.h"
#include "bench/history_shapes.h"
#include "bench/work_file_generator.h"
#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "tests/app/statistics_fixture.h"

namespace {

using Seconds = std::map<std::string, int64_t>;  // folded key -> seconds

class PlainStatistics {
public:
  PlainStatistics(const std::string& taskText, const std::string& workText) {
    std::vector<StatTask> sortedByName;
    TStringList lines;
    lines.SetText(taskText);
    for (int i = 0; i < lines.Count(); ++i) {
      StatTask task;
      SplitTab3(lines.Strings(i), task.path, task.description, task.group);
      if (task.group != "0") byName.push_back(task);
    }
    // Ordered by the fields folded as CompareText folds them; equal lines keep their order.
    for (const bool group : {false, true}) {
      std::vector<std::tuple<std::string, std::string, std::string, size_t>> keys;
      for (size_t i = 0; i < byName.size(); ++i) {
        const StatTask& t = byName[i];
        keys.emplace_back(UpperCase(group ? t.group : t.description), UpperCase(group ? t.description : t.path),
                          UpperCase(group ? t.path : t.group), i);
      }
      std::sort(keys.begin(), keys.end());
      for (const auto& key : keys) (group ? byGroup : sortedByName).push_back(byName[std::get<3>(key)]);
    }
    byName = sortedByName;
    TStringList work;
    work.SetText(workText);
    Seconds* day = nullptr;
    for (int i = 0; i < work.Count(); ++i) {
      const std::string line = Trim(work.Strings(i));
      if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        day = &days_[AnsiUpperCase(line.substr(1, line.size() - 2))];
        continue;
      }
      const size_t eq = line.find('=');
      if (day == nullptr || eq == std::string::npos || line[0] == ';') continue;
      int h = 0, m = 0, s = 0;
      std::sscanf(line.c_str() + eq + 1, "%d:%d:%d", &h, &m, &s);
      day->emplace(AnsiUpperCase(Trim(line.substr(0, eq))), h * 3600 + m * 60 + s);  // the first value counts
    }
  }

  // The seconds of every key over the days from..to.
  Seconds Range(const std::string& user, TDateTime from, TDateTime to) const {
    Seconds sum;
    for (TDateTime d = from; d <= to + 0.5; d += 1) {
      const auto day = days_.find(AnsiUpperCase(WorkSectionName(user, d)));
      if (day == days_.end()) continue;
      for (const auto& [key, seconds] : day->second) sum[key] += seconds;
    }
    return sum;
  }

  // A key's seconds: the total, a group (digits) or a description; the lines of the key are
  // those from the first one that matches it ignoring case, while it is spelled exactly
  // alike, each program once.
  int64_t KeySeconds(const std::string& key, const Seconds& seconds) const {
    auto value = [&seconds](const std::string& folded) {
      const auto it = seconds.find(folded);
      return it == seconds.end() ? 0 : it->second;
    };
    if (key == TotalKey) return value(AnsiUpperCase(TotalKey));
    const bool group = !key.empty() && key.find_first_not_of("0123456789") == std::string::npos;
    const std::vector<StatTask>& lines = group ? byGroup : byName;
    auto field = [group](const StatTask& t) -> const std::string& { return group ? t.group : t.description; };
    auto& first = group ? firstOfGroup_ : firstOfDescription_;
    if (first.empty()) {
      for (size_t i = lines.size(); i-- > 0;) first[UpperCase(field(lines[i]))] = i;
    }
    const auto it = first.find(UpperCase(key));
    if (it == first.end()) return 0;
    std::set<std::string> counted;
    int64_t sum = 0;
    for (size_t i = it->second; i < lines.size() && field(lines[i]) == key; ++i)
      if (counted.insert(LowerCase(lines[i].path)).second) sum += value(AnsiUpperCase(Trim(lines[i].path)));
    return sum;
  }

  int64_t DaySeconds(const std::string& user, TDateTime day, const std::string& key) const {
    return KeySeconds(key, Range(user, day, day));
  }

  StatDetail Detail(const std::string& user, TDateTime from, TDateTime to) const {
    const Seconds range = Range(user, from, to);
    StatDetail detail;
    std::set<std::string> done;
    for (size_t i = 0; i < byName.size(); ++i) {
      if (!done.insert(byName[i].description).second) continue;
      const int64_t sum = KeySeconds(byName[i].description, range);
      detail.grandTotal += sum;
      if (sum > 0) detail.rows.push_back({byName[i].description, byName[i].path, static_cast<int>(i), sum});
    }
    std::stable_sort(detail.rows.begin(), detail.rows.end(), [](const StatDetailRow& a, const StatDetailRow& b) {
      return a.seconds != b.seconds ? a.seconds > b.seconds : a.nameIndex > b.nameIndex;
    });
    return detail;
  }

  std::vector<StatTask> byName, byGroup;

private:
  std::map<std::string, Seconds> days_;
  mutable std::map<std::string, size_t> firstOfDescription_, firstOfGroup_;
};

template <typename TaskLines>
std::string Lines(const TaskLines& tasks) {
  std::string text;
  for (size_t i = 0; i < tasks.size(); ++i) {
    const StatTask t = tasks[i];
    text += t.path + "\t" + t.description + "\t" + t.group + "\n";
  }
  return text;
}

// The first tree as a plain walk over the by-group lines makes it: a node for each line whose
// description differs (exactly) from the line before, under a node for each change of group.
std::string PlainTree(const std::vector<StatTask>& byGroup) {
  std::string text = std::string(TotalKey) + "\n";
  std::string lastGroup;
  for (size_t i = 0; i < byGroup.size(); ++i) {
    const StatTask& t = byGroup[i];
    if (i > 0 && t.description == byGroup[i - 1].description) continue;
    if (text.size() == TotalKey.size() + 1 || t.group != lastGroup) text += "group " + t.group + "\n";
    lastGroup = t.group;
    text += "  " + AnsiLeftBytes(t.description, 36) + "|" + std::to_string(i) + "\n";
  }
  return text;
}

std::string TreeText(const std::vector<StatTaskNode>& nodes, const StatTaskIndex& index) {
  std::string text;
  for (const StatTaskNode& node : nodes)
    text += node.parent >= 0 ? "  " + node.text + "|" + std::to_string(node.line) + "\n"
            : node.text == TotalKey ? node.text + "\n"
                                    : "group " + NodeKey(node, index) + "\n";
  return text;
}

std::string Rows(const StatDetail& detail) {
  std::string text = std::to_string(detail.grandTotal) + "\n";
  for (const StatDetailRow& row : detail.rows)
    text.append(row.description).append("|").append(row.path).append("|" + std::to_string(row.nameIndex) + "|" + std::to_string(row.seconds) + "\n");
  return text;
}

// Two listings agree; where they part, the failure names the first line that differs (the
// whole of two listings of 100,000 lines in a failure message takes more memory than there is).
::testing::AssertionResult SameListing(const std::string& got, const std::string& expected) {
  if (got == expected) return ::testing::AssertionSuccess();
  const size_t at = static_cast<size_t>(std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin());
  const size_t begin = at == 0 ? 0 : got.rfind('\n', at - 1) + 1;  // npos + 1 is 0
  auto lineOf = [begin](const std::string& text) { return text.substr(begin, text.find('\n', begin) - begin); };
  return ::testing::AssertionFailure() << "line " << std::count(got.begin(), got.begin() + begin, '\n') + 1
                                       << " is \"" << lineOf(got) << "\", expected \"" << lineOf(expected) << "\"";
}

bench::HistoryShape TenYears() {
  bench::HistoryShape shape;
  shape.name = "ten years";
  shape.user = bench::Users[0];
  shape.today = EncodeDate(2026, 12, 9);
  shape.days = bench::Years * 365;
  shape.workText = bench::GenerateWorkFile(shape.today);
  shape.taskText = bench::TaskFile();
  return shape;
}

class StatisticsShapes : public ::testing::TestWithParam<int> {};

TEST_P(StatisticsShapes, AgreeWithAPlainReadingOfTheFiles) {
  StatisticsFormat format;
  // The long task lists over a year of days (the benchmarks take three): the reading does not
  // change with the number of days, and the plain reading is slow.
  const bench::HistoryShape shape = GetParam() == 0   ? bench::LongTaskList(100000, 1, 40, 1)
                                    : GetParam() == 1 ? bench::LongTaskList(300000, 1, 40, 2)
                                    : GetParam() == 2 ? bench::ManyProgramsOneDay(20000, 3)
                                    : GetParam() == 3 ? TenYears()
                                                      : bench::MixedTaskList(6000, 1, 30, 4);
  SCOPED_TRACE(shape.name);
  TempFolder folder;
  WriteBytes(folder.File("hl20work.txt"), shape.workText);
  const WorkFile work(folder.File("hl20work.txt"));
  TStringList lines;
  lines.SetText(shape.taskText);
  StatTaskIndex index;
  index.Build(lines);
  const PlainStatistics plain(shape.taskText, shape.workText);
  ASSERT_TRUE(SameListing(Lines(index.ByName()), Lines(plain.byName)));
  ASSERT_TRUE(SameListing(Lines(index.ByGroup()), Lines(plain.byGroup)));
  EXPECT_TRUE(SameListing(TreeText(index.Tree(false, [](int group) { return std::to_string(group); }), index),
                          PlainTree(plain.byGroup)));

  // One reader for all, as the window keeps it between computations.
  StatDayReader reader(work);
  const TDateTime first = shape.today - (shape.days - 1);
  for (const int days : {shape.days, 30}) {
    const StatDetailInput input{shape.user, shape.today - (days - 1), shape.today};
    const std::string expected = Rows(plain.Detail(shape.user, input.dateFrom, input.dateTo));
    EXPECT_TRUE(SameListing(Rows(GatherDetail(input, index, work)), expected)) << days << " days";
    EXPECT_TRUE(SameListing(Rows(GatherDetail(input, index, reader)), expected)) << days << " days, the reader kept";
  }
  // The total, a group, descriptions spelled as listed and in other letters.
  const std::string middle = index.ByName()[index.ByName().size() / 2].description;
  for (const std::string& key : {std::string(TotalKey), std::string("3"), middle, LowerCase(middle),
                                 UpperCase(middle), std::string("task 16"), std::string("Task 16")}) {
    WeekTable week;
    week.Compute({first, shape.today, false, shape.user, key, "2"}, index, reader);
    std::vector<int64_t> got, expected;
    for (int d = 0; d < shape.days; ++d) {
      const int k = week.FirstColumn() + d;
      got.push_back(week.DaySeconds(k % 7, k / 7, 1));
      got.push_back(week.DaySeconds(k % 7, k / 7, 2));
      expected.push_back(plain.DaySeconds(shape.user, first + d, key));
      expected.push_back(plain.DaySeconds(shape.user, first + d, "2"));
    }
    EXPECT_EQ(got, expected) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryShape, StatisticsShapes, ::testing::Values(0, 1, 2, 3, 4));

}  // namespace
