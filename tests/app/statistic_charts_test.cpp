#include "app/statistic_charts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

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
    for (const StatDetailRow& row : detail.rows) texts.emplace_back(row.description);
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
  // The texts stay when the task list is built anew (the window shows the list until it has
  // computed again) and in a copy that outlives the detail it was made from.
  Tasks({"c:\\x.exe|Other|1"});
  auto original = std::make_unique<StatDetail>(detail);
  const StatDetail copy = *original;
  original.reset();
  EXPECT_EQ(Descriptions(copy), (std::vector<std::string>{"Mail", "Chat", "Games"}));
  EXPECT_EQ(copy.rows[0].path, "c:\\a.exe");
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

// Every day is read once for all keys, and the detail sums each program over the range
// before the descriptions: what each key gets must be what reading its programs from each
// day's section gives. The file holds what such a reading must get right: a section that
// stands twice (in another case), a key that stands twice in a section, keys spelled in
// another case and with blanks, a comment, another user, an unreadable total and a change
// not yet saved.
TEST_F(StatisticCharts, ReadingEachDayOnceGivesWhatEachProgramReadsAlone) {
  Tasks({"c:\\ed.exe|Editor|1", "C:\\ED.EXE|Editor|1", "c:\\pad.exe|Editor|2", "c:\\web.exe|Browser|2"});
  WriteBytes(folder.File("hl20work.txt"),
             "[ann\t2001_3_5]\r\n"
             "total=02:00:00\r\n"
             "C:\\ED.exe=01:00:00\r\n"
             "c:\\ed.exe=05:00:00\r\n"
             "  c:\\pad.exe = 00:30:00\r\n"
             "; c:\\web.exe=09:00:00\r\n"
             "[bob\t2001_3_5]\r\n"
             "c:\\web.exe=07:00:00\r\n"
             "[ANN\t2001_3_5]\r\n"
             "c:\\web.exe=00:10:00\r\n"
             "c:\\pad.exe=00:45:00\r\n"
             "[ann\t2001_3_6]\n"
             "c:\\web.exe=00:20:00\n"
             "total=bad\n");
  WorkFile changed(folder.File("hl20work.txt"));
  changed.WriteString("ann\t2001_3_6", "C:\\PAD.EXE", "00:01:00");

  const std::string day5 = WorkSectionName("ann", Mar5), day6 = WorkSectionName("ann", Mar5 + 1);
  EXPECT_EQ(index.SecondsOnDay(changed, day5, "total"), 2 * Hour);
  EXPECT_EQ(index.SecondsOnDay(changed, day5, "Editor"), Hour + 30 * 60);
  EXPECT_EQ(index.SecondsOnDay(changed, day5, "Browser"), 10 * 60);
  EXPECT_EQ(index.SecondsOnDay(changed, day5, "1"), Hour);
  EXPECT_EQ(index.SecondsOnDay(changed, day5, "2"), 40 * 60);
  EXPECT_EQ(index.SecondsOnDay(changed, day6, "total"), 0);
  EXPECT_EQ(index.SecondsOnDay(changed, day6, "Editor"), 60);
  EXPECT_EQ(index.SecondsOnDay(changed, day6, "2"), 21 * 60);

  WeekTable table;
  table.Compute({Mar5, Mar5 + 1, false, "ann", "Editor", "2"}, index, changed);
  EXPECT_EQ(table.DaySeconds(0, 0, 1), Hour + 30 * 60);
  EXPECT_EQ(table.DaySeconds(1, 0, 1), 60);
  EXPECT_EQ(table.DaySeconds(0, 0, 2), 40 * 60);
  EXPECT_EQ(table.DaySeconds(1, 0, 2), 21 * 60);
  EXPECT_EQ(table.Total1(), Hour + 31 * 60);
  EXPECT_EQ(table.Total2(), 61 * 60);

  const StatDetail detail = GatherDetail({"ann", Mar5, Mar5 + 1}, index, changed);
  ASSERT_EQ(Descriptions(detail), (std::vector<std::string>{"Editor", "Browser"}));
  EXPECT_EQ(detail.rows[0].seconds, Hour + 31 * 60);
  EXPECT_EQ(detail.rows[1].seconds, 30 * 60);
  EXPECT_EQ(detail.grandTotal, Hour + 61 * 60);
}

// A language file may change the time separator; days stored with ":" before must still
// count, and days stored with the new separator too.
TEST_F(StatisticCharts, TimesStoredWithAColonReadAfterTheSeparatorChanges) {
  Tasks({"c:\\ed.exe|Editor|1"});
  maker.Add("ann", Mar5, "c:\\ed.exe", Hour + 2 * 60 + 3);
  WorkFile& colon = Work();
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(index.SecondsOnDay(colon, WorkSectionName("ann", Mar5), "total"), Hour + 2 * 60 + 3);
  WriteBytes(folder.File("dot.txt"), "[ann\t2001_3_6]\r\ntotal=01.00.05\r\nc:\\ed.exe=01.00.05\r\n");
  WorkFile dot(folder.File("dot.txt"));
  EXPECT_EQ(index.SecondsOnDay(dot, WorkSectionName("ann", Mar5 + 1), "Editor"), Hour + 5);
  WeekTable table;
  table.Compute({Mar5, Mar5 + 1, false, "ann", "Editor", NoneKey}, index, colon);
  EXPECT_EQ(table.Total1(), Hour + 2 * 60 + 3);
  EXPECT_EQ(GatherDetail({"ann", Mar5, Mar5}, index, colon).grandTotal, Hour + 2 * 60 + 3);
}

// Stored times of the usual form are read without the general parser; whatever the form,
// the seconds must be the parser's.
TEST(StoredTimes, QuickReadingAgreesWithTheParser) {
  const char* const texts[] = {"00:00:00", "01:02:03", "1:2:3", "23:59:59", "24:00:00", "0001:02:03",
                               "12345:00:00", "01:60:00", "01:00:60", "01:02", "7", "", " 01:02:03",
                               "01:02:03 ", "01 : 02 : 03", "01.02.03", "01:02.03", "01.02:03", "-1:00:00",
                               "01:02:03:04", "1:02:03 pm", "am 1:02:03", "01::03", ":01:02", "01:02:"};
  for (char separator : {':', '.'}) {
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().TimeSeparator = separator;
    for (const char* text : texts) {
      TDateTime value = 0;
      const int64_t expected =
          TryStrToStoredTime(text, value) && value >= 0 ? static_cast<int64_t>(std::llround(value * SecsPerDay)) : 0;
      EXPECT_EQ(StoredTimeSeconds(text), expected) << "\"" << text << "\" separator " << separator;
    }
  }
  ResetFormatSettings();
  EXPECT_EQ(StoredTimeSeconds("01:02:03"), 3723);
}
