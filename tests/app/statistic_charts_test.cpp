#include "app/statistic_charts.h"

#include <gtest/gtest.h>

#include "app/work_file.h"
#include "tests/app/statistics_fixture.h"

namespace {

constexpr int Hour = 3600;
constexpr int Day = 24 * Hour;

// 2001-03-05 is a Monday.
const TDateTime Mar5 = EncodeDate(2001, 3, 5);

class StatisticCharts : public ::testing::Test {
protected:
  void Tasks(std::initializer_list<const char*> lines) {
    TStringList list;
    FillTaskList(list, lines);
    index.Build(list);
  }
  WorkFile& Work() {
    maker.Write(folder.File("hl20work.txt"));
    work = std::make_unique<WorkFile>(folder.File("hl20work.txt"));
    return *work;
  }
  WeekTable Week(TDateTime from, TDateTime to, const std::string& key1, const std::string& key2) {
    WeekTable table;
    table.Compute({from, to, false, "ann", key1, key2}, index, Work());
    return table;
  }
  StatDetail Detail(TDateTime from, TDateTime to, const std::function<bool()>& step = nullptr) {
    return GatherDetail({"ann", from, to}, index, Work(), step);
  }
  static std::vector<std::string> Descriptions(const StatDetail& detail) {
    std::vector<std::string> texts;
    for (const StatDetailRow& row : detail.rows) texts.push_back(row.description);
    return texts;
  }

  StatisticsFormat format;
  TempFolder folder;
  WorkFileMaker maker;
  StatTaskIndex index;
  std::unique_ptr<WorkFile> work;
};

TEST_F(StatisticCharts, DayBarsFollowTheRangeAndTheComparison) {
  Tasks({"c:\\ed.exe|Editor|1", "c:\\web.exe|Browser|2"});
  // Wednesday to Friday: the bars start in the middle of the week table's first row.
  const TDateTime wed = Mar5 + 2;
  maker.Add("ann", wed, "c:\\ed.exe", 6 * Hour);
  maker.Add("ann", wed + 2, "c:\\ed.exe", 90 * 60);
  maker.Add("ann", wed + 2, "c:\\web.exe", Hour);

  std::vector<StatBar> bars = DayBars(Week(wed, wed + 2, "Editor", "Browser"));
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_EQ(bars[0].label, "07.03");
  EXPECT_EQ(bars[2].label, "09.03");
  EXPECT_DOUBLE_EQ(bars[0].value1, 0.25);
  EXPECT_DOUBLE_EQ(bars[1].value1, 0);
  EXPECT_DOUBLE_EQ(bars[2].value1, 1.5 / 24);
  EXPECT_DOUBLE_EQ(bars[2].value2, 1.0 / 24);

  // Without a comparison there is only the first task's value per day.
  bars = DayBars(Week(wed, wed + 2, "Editor", NoneKey));
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_DOUBLE_EQ(bars[2].value1, 1.5 / 24);
  EXPECT_DOUBLE_EQ(bars[2].value2, 0);

}

TEST_F(StatisticCharts, BarClickTellsTheDayAndItsTimes) {
  Tasks({"c:\\ed.exe|Editor|1", "c:\\web.exe|Browser|2"});
  const TDateTime sun = Mar5 + 6;
  maker.Add("ann", sun, "c:\\ed.exe", 2 * Hour + 5);
  maker.Add("ann", sun + 1, "c:\\ed.exe", Hour);
  maker.Add("ann", sun + 1, "c:\\web.exe", 30 * 60);

  WeekTable week = Week(sun, sun + 1, "Editor", NoneKey);
  EXPECT_EQ(BarClickMessage(week, 0, "Day: ", "Time worked: ", "Browser"), "Day: 11.03\r\rTime worked: 02:00:05");

  week = Week(sun, sun + 1, "Editor", "Browser");
  // The bar on the next row of the week table (Sunday ends the first row).
  EXPECT_EQ(BarClickMessage(week, 1, "Day: ", "Time worked: ", "Browser"),
            "Day: 12.03\r\rTime worked: 01:00:00\rBrowser: 00:30:00");
  // A day without time of the compared task shows midnight's long time text.
  EXPECT_EQ(BarClickMessage(week, 0, "Day: ", "Time worked: ", "Browser"),
            "Day: 11.03\r\rTime worked: 02:00:05\rBrowser: 00:00:00");
  EXPECT_EQ(BarClickMessage(week, 2, "Day: ", "Time worked: ", "Browser"), "");
  EXPECT_EQ(BarClickMessage(week, -1, "Day: ", "Time worked: ", "Browser"), "");
}

TEST_F(StatisticCharts, DetailSumsEachDescriptionOnceLargestFirst) {
  Tasks({"c:\\a.exe|Mail|1", "c:\\b.exe|Mail|2", "c:\\c.exe|Chat|2", "c:\\d.exe|Idle|4", "c:\\e.exe|Games|3"});
  maker.Add("ann", Mar5, "c:\\a.exe", Hour);
  maker.Add("ann", Mar5 + 1, "c:\\b.exe", 2 * Hour);
  maker.Add("ann", Mar5, "c:\\c.exe", 2 * Hour);
  maker.Add("ann", Mar5 + 1, "c:\\e.exe", Hour);
  // Outside the range and of another user: not counted.
  maker.Add("ann", Mar5 + 2, "c:\\c.exe", 9 * Hour);
  maker.Add("bob", Mar5, "c:\\c.exe", 9 * Hour);

  const StatDetail detail = Detail(Mar5, Mar5 + 1);
  EXPECT_EQ(Descriptions(detail), (std::vector<std::string>{"Mail", "Chat", "Games"}));
  EXPECT_EQ(detail.rows[0].seconds, 3 * Hour);
  EXPECT_EQ(detail.rows[1].seconds, 2 * Hour);
  // The row keeps the place of the description's first line in the by-name list, through
  // which its icon is found.
  EXPECT_EQ(detail.rows[0].path, "c:\\a.exe");
  EXPECT_EQ(index.ByName()[static_cast<size_t>(detail.rows[0].nameIndex)].description, "Mail");
  // "Idle" has no time: no row, counted as zero.
  EXPECT_EQ(detail.grandTotal, 6 * Hour);
  EXPECT_FALSE(detail.cancelled);
}

TEST_F(StatisticCharts, DetailOrdersByTimeNotByTheTextOfTheTime) {
  Tasks({"c:\\a.exe|Long|1", "c:\\b.exe|Short|1", "c:\\c.exe|Tiny|1"});
  // Ten days against two: as texts "10.00000" would come before "2.00000".
  for (int d = 0; d < 15; ++d) maker.Add("ann", Mar5 + d, "c:\\a.exe", 16 * Hour);
  for (int d = 0; d < 4; ++d) maker.Add("ann", Mar5 + d, "c:\\b.exe", 12 * Hour);
  // One second stays one second (a total read back from five decimals of a day would not).
  maker.Add("ann", Mar5, "c:\\c.exe", 1);

  const StatDetail detail = Detail(Mar5, Mar5 + 14);
  EXPECT_EQ(Descriptions(detail), (std::vector<std::string>{"Long", "Short", "Tiny"}));
  EXPECT_EQ(DetailTimeText(detail.rows[0]), "240:00:00");
  EXPECT_EQ(DetailTimeText(detail.rows[2]), "00:00:01");
  EXPECT_EQ(detail.grandTotal, 10 * Day + 2 * Day + 1);
}

TEST_F(StatisticCharts, DetailCountsCaseVariantDescriptionsOnce) {
  // By name the lines run "Foo" (a), "foo" (b), "Foo" (c): "Foo" comes round twice.
  Tasks({"c:\\a.exe|Foo|1", "c:\\b.exe|foo|1", "c:\\c.exe|Foo|1"});
  maker.Add("ann", Mar5, "c:\\a.exe", Hour);
  maker.Add("ann", Mar5, "c:\\b.exe", Hour);
  maker.Add("ann", Mar5, "c:\\c.exe", Hour);

  const StatDetail detail = Detail(Mar5, Mar5);
  int foo = 0;
  for (const StatDetailRow& row : detail.rows) foo += row.description == "Foo";
  EXPECT_EQ(foo, 1);
  int64_t listed = 0;
  for (const StatDetailRow& row : detail.rows) listed += row.seconds;
  EXPECT_EQ(detail.grandTotal, listed);
}

TEST_F(StatisticCharts, CancelKeepsTheDescriptionsSummedSoFar) {
  Tasks({"c:\\a.exe|A|1", "c:\\b.exe|B|1", "c:\\c.exe|C|1", "c:\\d.exe|D|1", "c:\\e.exe|E|1"});
  maker.Add("ann", Mar5, "c:\\a.exe", Hour);
  maker.Add("ann", Mar5, "c:\\c.exe", 3 * Hour);
  maker.Add("ann", Mar5, "c:\\d.exe", 5 * Hour);
  maker.Add("ann", Mar5, "c:\\e.exe", 7 * Hour);

  int steps = 0;
  const StatDetail detail = Detail(Mar5, Mar5, [&steps] { return ++steps < 3; });
  EXPECT_EQ(steps, 3);
  EXPECT_TRUE(detail.cancelled);
  // A, B (no time) and C were summed.
  EXPECT_EQ(Descriptions(detail), (std::vector<std::string>{"C", "A"}));
  EXPECT_EQ(detail.grandTotal, 4 * Hour);
}

TEST_F(StatisticCharts, EmptyTaskListGivesAnEmptyDetail) {
  Tasks({"c:\\hidden.exe|Hidden|0"});
  maker.Add("ann", Mar5, "c:\\hidden.exe", Hour);
  int steps = 0;
  const StatDetail detail = Detail(Mar5, Mar5 + 6, [&steps] { return ++steps > 0; });
  EXPECT_TRUE(detail.rows.empty());
  EXPECT_EQ(detail.grandTotal, 0);
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(SliceClickMessage(detail, 0, "Time: "), "");
}

TEST_F(StatisticCharts, RowTextsAndSliceClick) {
  StatDetail detail;
  detail.rows.push_back({"A description that is longer than thirty characters", "c:\\x.exe", 0, Day + 2 * Hour + 3});
  detail.rows.push_back({"Short", "c:\\y.exe", 1, 59});
  EXPECT_EQ(DetailPieLabel(detail.rows[0]), "A description that is longer t (26:00:03)");
  EXPECT_EQ(DetailPieLabel(detail.rows[1]), "Short (00:00:59)");
  EXPECT_EQ(DetailListCaption(detail.rows[1]), " Short");
  EXPECT_EQ(SliceClickMessage(detail, 0, "Time: "),
            "A description that is longer than thirty characters\rTime: 26:00:03");
  EXPECT_EQ(SliceClickMessage(detail, 2, "Time: "), "");
  EXPECT_EQ(SliceClickMessage(detail, -1, "Time: "), "");
}

TEST(StatisticCells, SplitKeepsEmptyPartsInPlace) {
  std::string a, b, c;
  SplitCellText("05.03\t\t00:30:00", a, b, c);
  EXPECT_EQ(a + "|" + b + "|" + c, "05.03||00:30:00");
  // The week column has two parts.
  SplitCellText("04:00\t00:30", a, b, c);
  EXPECT_EQ(a + "|" + b + "|" + c, "04:00|00:30|");
  SplitCellText("", a, b, c);
  EXPECT_EQ(a + "|" + b + "|" + c, "||");
  SplitCellText("a\tb\tc\td", a, b, c);
  EXPECT_EQ(a + "|" + b + "|" + c, "a|b|c\td");
}

}  // namespace
