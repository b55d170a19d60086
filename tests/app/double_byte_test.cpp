// The statistics on a double-byte code page and under year-first date formats: tasks are told
// apart and found by whole characters, tree texts and chart labels are cut to whole
// characters, and the week table shows each cell's day and month.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/active_task_rules.h"
#include "app/statistic_charts.h"
#include "app/statistics.h"
#include "app/task_data.h"
#include "app/work_file.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/sysutils.h"
#include "tests/app/statistics_fixture.h"
#include "tests/support/code_page_932.h"

namespace {

constexpr int Hour = 3600;
// 2026-03-05 is a Thursday.
const TDateTime Mar5 = EncodeDate(2026, 3, 5);

class DoubleByteStatistics : public CodePage932Test {
protected:
  void Tasks(std::initializer_list<const char*> lines) {
    TStringList list;
    FillTaskList(list, lines);
    index.Build(list);
  }
  int64_t Seconds(const std::string& key) {
    maker.Write(folder.File("hl20work.txt"));
    WorkFile work(folder.File("hl20work.txt"));
    return index.SecondsOnDay(work, WorkSectionName("ann", Mar5), key);
  }

  StatisticsFormat format;
  TempFolder folder;
  WorkFileMaker maker;
  StatTaskIndex index;
};

TEST_F(DoubleByteStatistics, TasksWhoseTrailBytesDifferInCaseAreTwoTasks) {
  Tasks({"c:\\di.exe|" CP932_DI "|1", "c:\\a.exe|" CP932_A "|1"});
  maker.Add("ann", Mar5, "c:\\di.exe", Hour);
  maker.Add("ann", Mar5, "c:\\a.exe", 2 * Hour);
  EXPECT_EQ(2 * Hour, Seconds(CP932_A));
  EXPECT_EQ(Hour, Seconds(CP932_DI));
  EXPECT_FALSE(IsBlockedPath("C:\\" CP932_A ".exe", "C:\\" CP932_DI ".exe"));
  EXPECT_TRUE(IsBlockedPath("c:\\" CP932_A ".EXE", "C:\\" CP932_A ".exe"));
  EXPECT_TRUE(IsScreenSaverPath("C:\\sys\\" CP932_HYO ".scr", "C:\\sys"));
}

// Where keys are folded whole (a double-byte code page), the lines are still ordered by their
// folded description, path and group, as CompareText orders them.
TEST_F(DoubleByteStatistics, TasksAreOrderedByTheirFoldedDescriptionPathAndGroup) {
  const std::vector<std::string> lines = {"c:\\b.exe|" CP932_A "x|1", "c:\\a.exe|b|1", "c:\\c.exe|B|2",
                                          "c:\\d.exe|" CP932_DI "|1", "C:\\A.EXE|a" CP932_A "|1", "c:\\e.exe|A|3",
                                          "c:\\a.exe|A|1"};
  Tasks({lines[0].c_str(), lines[1].c_str(), lines[2].c_str(), lines[3].c_str(), lines[4].c_str(),
         lines[5].c_str(), lines[6].c_str()});
  std::vector<std::string> expected;
  for (std::string line : lines) {
    std::replace(line.begin(), line.end(), '|', '\t');
    expected.push_back(line);
  }
  auto field = [](const std::string& line, int n) {
    std::string path, description, group;
    SplitTab3(line, path, description, group);
    return UpperCase(n == 0 ? description : n == 1 ? path : group);
  };
  std::stable_sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
    for (int n = 0; n < 3; ++n)
      if (field(a, n) != field(b, n)) return field(a, n) < field(b, n);
    return false;
  });
  std::vector<std::string> got;
  for (size_t i = 0; i < index.ByName().size(); ++i) {
    const StatTask task = index.ByName()[i];
    got.push_back(task.path + "\t" + task.description + "\t" + task.group);
  }
  EXPECT_EQ(got, expected);
}

TEST_F(DoubleByteStatistics, TreeTextsAndChartLabelsEndOnACharacterBoundary) {
  const std::string description = std::string(29, 'x') + CP932_HYO + std::string(5, 'y') + CP932_PO;
  Tasks({("c:\\t.exe|" + description + "|1").c_str()});
  const std::vector<StatTaskNode> nodes = index.Tree(false, [](int) { return std::string("G"); });
  ASSERT_EQ(3u, nodes.size());
  EXPECT_EQ(std::string(29, 'x') + CP932_HYO + std::string(5, 'y'), nodes[2].text);
  StatDetailRow row;
  row.description = description;
  EXPECT_EQ(std::string(29, 'x') + " (00:00:00)", DetailPieLabel(row));
}

TEST_F(DoubleByteStatistics, WeekTableShowsDayAndMonthUnderYearFirstFormats) {
  struct Case {
    const char* localePicture;
    char separator;
    const char* label;
  } cases[] = {
      {"yyyy/MM/dd", '/', "03/05"},
      {"yyyy-MM-dd", '-', "03-05"},
      // Year, month and day with their Japanese words after them.
      {"yyyy'\x94\x4E'M'\x8C\x8E'd'\x93\xFA'", '/', "3\x8C\x8E" "5"},
  };
  maker.Add("ann", Mar5, "c:\\t.exe", Hour);
  maker.Write(folder.File("hl20work.txt"));
  WorkFile work(folder.File("hl20work.txt"));
  for (const Case& c : cases) {
    FormatSettings().DateSeparator = c.separator;
    FormatSettings().ShortDateFormat = TranslateLocaleDateFormat(c.localePicture, c.separator);
    WeekTable week;
    week.Compute({Mar5, Mar5, false, "ann", "total", NoneKey}, index, work);
    EXPECT_EQ(std::string(c.label) + "\t01:00:00\t", week.CellText(3, 0)) << c.localePicture;
  }
}

}  // namespace
