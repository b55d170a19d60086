#include "app/statistics.h"

#include <gtest/gtest.h>

#include "app/work_file.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "tests/app/statistics_fixture.h"

namespace {

constexpr int Hour = 3600;

class Statistics : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    FormatSettings().DateSeparator = '.';
    FormatSettings().TimeSeparator = ':';
  }
  void TearDown() override { ResetFormatSettings(); }

  // Builds the index from task lines "path|description|group".
  void Tasks(std::initializer_list<const char*> lines) {
    TStringList list;
    for (const char* line : lines) {
      std::string text = line;
      for (char& c : text)
        if (c == '|') c = '\t';
      list.Add(text);
    }
    index.Build(list);
  }
  int64_t Seconds(TDateTime day, const std::string& key) {
    maker.Write(folder.File("hl20work.txt"));
    WorkFile work(folder.File("hl20work.txt"));
    return index.SecondsOnDay(work, WorkSectionName("ann", day), key);
  }
  WeekTable Week(TDateTime from, TDateTime to, bool sundayFirst, const std::string& key1 = "total",
                 const std::string& key2 = NoneKey) {
    maker.Write(folder.File("hl20work.txt"));
    WorkFile work(folder.File("hl20work.txt"));
    WeekTable table;
    table.Compute({from, to, sundayFirst, "ann", key1, key2}, index, work);
    return table;
  }

  TempFolder folder;
  WorkFileMaker maker;
  StatTaskIndex index;
};

// 2001-03-01 is a Thursday, 2001-03-05 a Monday.
const TDateTime Mar1 = EncodeDate(2001, 3, 1);
const TDateTime Mar5 = EncodeDate(2001, 3, 5);

std::vector<std::string> Texts(const std::vector<StatTaskNode>& nodes) {
  std::vector<std::string> texts;
  for (const StatTaskNode& node : nodes) texts.push_back((node.parent >= 0 ? "  " : "") + node.text);
  return texts;
}

}  // namespace

TEST_F(Statistics, PeriodsCountTheirDaysAndAMonthReachesBackToTheSameDay) {
  EXPECT_EQ(PeriodDayCount(StatPeriod::Day, Mar5), 1);
  EXPECT_EQ(PeriodDayCount(StatPeriod::Week, Mar5), 7);
  EXPECT_EQ(PeriodDayCount(StatPeriod::TwoWeeks, Mar5), 14);
  EXPECT_EQ(PeriodDayCount(StatPeriod::Month, EncodeDate(2001, 3, 15)), 28);
  EXPECT_EQ(PeriodDayCount(StatPeriod::Month, EncodeDate(2001, 3, 31)), 30);  // no 31 February
  EXPECT_EQ(PeriodDayCount(StatPeriod::Month, EncodeDate(2001, 5, 31)), 30);  // no 31 April
  EXPECT_EQ(PeriodDayCount(StatPeriod::Month, EncodeDate(2004, 3, 1)), 29);
  EXPECT_EQ(PeriodDayCount(StatPeriod::Month, EncodeDate(2001, 1, 15)), 31);  // back into December
  EXPECT_EQ(PeriodDayCount(StatPeriod::Month, EncodeDate(2001, 3, 15) + 0.75), 28);

  EXPECT_EQ(RangeDayCount(Mar1, Mar5), 5);
  EXPECT_EQ(RangeDayCount(Mar5, Mar5), 1);
  EXPECT_EQ(RangeDayCount(Mar5, Mar1), 1);
}

TEST_F(Statistics, TreesListGroupsWithTheirTasksAndMergeNeighbouringDescriptions) {
  Tasks({"c:\\ed.exe|Editor|1", "c:\\ed2.exe|Editor|1", "c:\\web.exe|Browser|2", "c:\\hid.exe|Hidden|0",
         "c:\\mail.exe|Browser|3", "c:\\x.exe|A description that is longer than thirty-six characters|1"});
  auto name = [](int group) { return "G" + std::to_string(group); };
  const auto first = index.Tree(false, name);
  EXPECT_EQ(Texts(first), (std::vector<std::string>{"total", "G1", "  A description that is longer than th",
                                                    "  Editor", "G2", "  Browser"}));
  // Browser of group 3 follows Browser of group 2: no node, not even for its group.
  EXPECT_EQ(first[1].group, 1);
  EXPECT_EQ(NodeKey(first[0], index), "total");
  EXPECT_EQ(NodeKey(first[1], index), "1");
  EXPECT_EQ(NodeKey(first[2], index), "A description that is longer than thirty-six characters");
  EXPECT_EQ(first[3].parent, 1);

  const auto second = index.Tree(true, name);
  EXPECT_EQ(NodeKey(second[0], index), NoneKey);
  EXPECT_EQ(NodeKey(second[1], index), "total");
  EXPECT_EQ(second.size(), first.size() + 1);

  // The hidden group is left out of both lists.
  EXPECT_EQ(index.ByName().size(), 5u);
  EXPECT_EQ(index.ByGroup().front().group, "1");
}

TEST_F(Statistics, AKeySumsItsProgramsOnceEach) {
  Tasks({"c:\\ed.exe|Editor|1", "C:\\ED.EXE|Editor|1", "c:\\ed.exe|Editor|2", "c:\\pad.exe|Editor|2",
         "c:\\web.exe|Browser|2", "c:\\num.exe|2024|1", "c:\\bad.exe|Bad|1"});
  maker.Add("ann", Mar5, "c:\\ed.exe", Hour);
  maker.Add("ann", Mar5, "c:\\pad.exe", 30 * 60);
  maker.Add("ann", Mar5, "c:\\web.exe", 2 * Hour);
  maker.Add("ann", Mar5, "c:\\num.exe", 60);
  maker.Add("bob", Mar5, "c:\\ed.exe", 5 * Hour);
  EXPECT_EQ(Seconds(Mar5, "total"), 3 * Hour + 30 * 60 + 60);
  // The editor stands on three lines of its description and two of group 1: counted once.
  EXPECT_EQ(Seconds(Mar5, "Editor"), Hour + 30 * 60);
  EXPECT_EQ(Seconds(Mar5, "editor"), 0);  // found ignoring case, then walked spelled alike
  EXPECT_EQ(Seconds(Mar5, "1"), Hour + 60);
  EXPECT_EQ(Seconds(Mar5, "2"), Hour + 30 * 60 + 2 * Hour);
  EXPECT_EQ(Seconds(Mar5, "2024"), 0);  // digits only: looked up as a group
  EXPECT_EQ(Seconds(Mar5, "Nothing"), 0);
  EXPECT_EQ(Seconds(Mar5 + 1, "Editor"), 0);  // no section that day
}

TEST_F(Statistics, UnreadableTimesCountZero) {
  Tasks({"c:\\a.exe|A|1", "c:\\b.exe|A|1"});
  maker.Add("ann", Mar5, "c:\\b.exe", 90);
  maker.Write(folder.File("hl20work.txt"));
  WriteBytes(folder.File("hl20work.txt"),
             ReadBytes(folder.File("hl20work.txt")) + "[ann\t2001_3_6]\r\ntotal=lots\r\nc:\\a.exe=25:00:00\r\n");
  WorkFile work(folder.File("hl20work.txt"));
  EXPECT_EQ(index.SecondsOnDay(work, WorkSectionName("ann", Mar5), "A"), 90);
  EXPECT_EQ(index.SecondsOnDay(work, WorkSectionName("ann", Mar5 + 1), "A"), 0);
  EXPECT_EQ(index.SecondsOnDay(work, WorkSectionName("ann", Mar5 + 1), "total"), 0);
}

TEST_F(Statistics, AWeekFromMondayIsOneRowOrTwoWhenWeeksStartOnSunday) {
  for (int d = 0; d < 7; ++d) maker.Add("ann", Mar5 + d, "c:\\ed.exe", (d + 1) * Hour);
  const WeekTable euro = Week(Mar5, Mar5 + 6, false);
  EXPECT_EQ(euro.FirstColumn(), 0);
  EXPECT_EQ(euro.Rows(), 1);
  EXPECT_EQ(euro.Total1(), 28 * Hour);
  EXPECT_EQ(euro.CellText(0, 0), "05.03\t01:00:00\t");
  EXPECT_EQ(euro.CellText(6, 0), "11.03\t07:00:00\t");
  EXPECT_EQ(euro.CellText(7, 0), "28:00\t");

  const WeekTable amer = Week(Mar5, Mar5 + 6, true);
  EXPECT_EQ(amer.FirstColumn(), 1);
  EXPECT_EQ(amer.Rows(), 2);
  EXPECT_EQ(amer.CellText(0, 0), "");
  EXPECT_EQ(amer.CellText(0, 1), "11.03\t07:00:00\t");
  EXPECT_EQ(amer.WeekSeconds(0, 1), 21 * Hour);
  EXPECT_EQ(amer.WeekSeconds(1, 1), 7 * Hour);
  EXPECT_EQ(amer.CellText(1, 1), "");
}

TEST_F(Statistics, AMonthSplitsIntoRowsWhoseTotalsCoverOnlyTheirDays) {
  for (int d = 0; d < 31; ++d) maker.Add("ann", Mar1 + d, "c:\\ed.exe", Hour);
  const WeekTable month = Week(Mar1, Mar1 + 30, false);
  EXPECT_EQ(month.FirstColumn(), 3);
  EXPECT_EQ(month.Rows(), 5);
  EXPECT_EQ(month.WeekSeconds(0, 1), 4 * Hour);
  EXPECT_EQ(month.WeekSeconds(1, 1), 7 * Hour);
  EXPECT_EQ(month.WeekSeconds(4, 1), 6 * Hour);  // 26 to 31 March
  EXPECT_EQ(month.CellText(2, 0), "");
  EXPECT_EQ(month.CellText(5, 4), "31.03\t01:00:00\t");
  EXPECT_EQ(month.CellText(6, 4), "");

  // A single Sunday stands in the last column; a range that ends on a week's last day has
  // exactly its rows.
  const WeekTable sunday = Week(Mar5 + 6, Mar5 + 6, false);
  EXPECT_EQ(sunday.FirstColumn(), 6);
  EXPECT_EQ(sunday.Rows(), 1);
  EXPECT_EQ(sunday.WeekSeconds(1, 1), 0);
  const WeekTable twoWeeks = Week(Mar5, Mar5 + 13, false);
  EXPECT_EQ(twoWeeks.Rows(), 2);
  EXPECT_EQ(twoWeeks.WeekSeconds(1, 1), 7 * Hour);
}

// The window's dates come back from the stored settings as text: the first day the
// calendar has (1 January of the year 1, a Monday) has no day before it.
TEST_F(Statistics, ARangeFromTheFirstDayOfTheCalendarStartsInItsWeekdayColumn) {
  const TDateTime first = EncodeDate(1, 1, 1);
  maker.Add("ann", first, "c:\\ed.exe", Hour);
  const WeekTable euro = Week(first, first, false);
  EXPECT_EQ(euro.FirstColumn(), 0);
  ASSERT_EQ(euro.Rows(), 1);
  EXPECT_EQ(euro.WeekSeconds(0, 1), Hour);
  const WeekTable amer = Week(first, first + 6, true);
  EXPECT_EQ(amer.FirstColumn(), 1);
  EXPECT_EQ(amer.Rows(), 2);
  EXPECT_EQ(amer.Total1(), Hour);
}

TEST_F(Statistics, AComparisonFillsTheSecondTimes) {
  Tasks({"c:\\ed.exe|Editor|1", "c:\\web.exe|Browser|2"});
  maker.Add("ann", Mar5, "c:\\ed.exe", 4 * Hour);
  maker.Add("ann", Mar5, "c:\\web.exe", Hour);
  const WeekTable table = Week(Mar5, Mar5 + 1, false, "total", "Browser");
  EXPECT_TRUE(table.Comparison());
  EXPECT_EQ(table.CellText(0, 0), "05.03\t05:00:00\t01:00:00");
  EXPECT_EQ(table.CellText(1, 0), "06.03\t\t");
  EXPECT_EQ(table.CellText(7, 0), "05:00\t01:00");
  EXPECT_EQ(SharePercent(table.Total1(), table.Total2()), "20.00%");
}

TEST_F(Statistics, TotalsShowDaysHoursAndMinutes) {
  EXPECT_EQ(FormatDaysTotal(2 * Hour + 30 * 60 + 59, "day", "days"), "02:30");
  EXPECT_EQ(FormatDaysTotal(26 * Hour + 30 * 60, "day", "days"), "1 day 02:30");
  EXPECT_EQ(FormatDaysTotal(60 * Hour, "Tag", "Tage"), "2 Tage 12:00");
  // Three days of eight hours read from the file are a whole day.
  for (int d = 0; d < 3; ++d) maker.Add("ann", Mar5 + d, "c:\\ed.exe", 8 * Hour);
  EXPECT_EQ(FormatDaysTotal(Week(Mar5, Mar5 + 2, false).Total1(), "day", "days"), "1 day 00:00");

  EXPECT_EQ(SharePercent(4 * Hour, Hour), "25.00%");
  EXPECT_EQ(SharePercent(0, Hour), "");
  EXPECT_EQ(SharePercent(Hour, 0), "");
  FormatSettings().DecimalSeparator = ',';
  EXPECT_EQ(SharePercent(3 * Hour, Hour), "33,33%");
}

TEST_F(Statistics, DayLabelsShowDayAndMonthInTheShortDatesOrder) {
  struct Case {
    const char* format;
    char separator;
    const char* label;
  } cases[] = {
      {"dd.mm.yyyy", '.', "05.03"}, {"mm/dd/yyyy", '/', "03/05"}, {"m/d/yyyy", '/', "3/5"},
      // Year first: Japanese, Swedish, ISO.
      {"yyyy/mm/dd", '/', "03/05"}, {"yyyy-mm-dd", '-', "03-05"}, {"yyyy/mm/dd", '-', "03-05"},
      {"'W' yy.d.m", '.', "5.3"},
  };
  const TDateTime day = EncodeDate(2001, 3, 5);
  for (const Case& c : cases) {
    FormatSettings().ShortDateFormat = c.format;
    FormatSettings().DateSeparator = c.separator;
    EXPECT_EQ(c.label, DayLabel(day)) << c.format;
  }
}

TEST_F(Statistics, HeadersNameTheWeekdaysFromTheChosenFirstDay) {
  WeekTable table = Week(Mar5, Mar5, false);
  EXPECT_EQ(table.HeaderText(0), FormatSettings().ShortDayNames[1]);  // Monday
  EXPECT_EQ(table.HeaderText(6), FormatSettings().ShortDayNames[0]);
  EXPECT_EQ(table.HeaderText(7), "Week");
  EXPECT_TRUE(table.WeekendColumn(5));
  EXPECT_FALSE(table.WeekendColumn(0));
  table = Week(Mar5, Mar5, true);
  EXPECT_EQ(table.HeaderText(0), FormatSettings().ShortDayNames[0]);
  EXPECT_TRUE(table.WeekendColumn(0));
  EXPECT_FALSE(table.WeekendColumn(5));
}

TEST_F(Statistics, DayMarksFollowTheWholeHours) {
  EXPECT_EQ(DayMark(false, 0, 6, 8), 1);
  EXPECT_EQ(DayMark(true, 6 * Hour - 1, 6, 8), 0);
  EXPECT_EQ(DayMark(true, 6 * Hour, 6, 8), 2);
  EXPECT_EQ(DayMark(true, 9 * Hour, 6, 8), 3);
  EXPECT_EQ(DayMark(true, 9 * Hour, 8, 6), 3);  // the later test wins
}

TEST_F(Statistics, ATableNotYetComputedHasNoTexts) {
  const WeekTable table;
  EXPECT_EQ(table.CellText(7, 0), "\t");
  EXPECT_EQ(table.CellText(0, 0), "");
  EXPECT_EQ(table.WeekSeconds(0, 1), 0);
}

TEST_F(Statistics, AKeptReaderFollowsWritesToTheFileAndTheTimeSeparator) {
  Tasks({"c:\\a.exe|A|1"});
  maker.Add("ann", Mar5, "c:\\a.exe", 90);
  maker.Write(folder.File("hl20work.txt"));
  WorkFile work(folder.File("hl20work.txt"));
  StatDayReader reader(work);
  auto total = [&] {
    WeekTable table;
    table.Compute({Mar5, Mar5, false, "ann", "A", NoneKey}, index, reader);
    return table.Total1();
  };
  EXPECT_EQ(total(), 90);
  EXPECT_EQ(total(), 90);  // the day read again from what the reader kept
  // A new spelling of the same program, then the first one written again, which may move the
  // spelling the reader first met.
  work.WriteString(WorkSectionName("ann", Mar5), "C:\\A.EXE", "00:05:00");
  work.WriteString(WorkSectionName("ann", Mar5), "c:\\a.exe", "00:02:00");
  EXPECT_EQ(total(), 120);
  work.WriteString(WorkSectionName("ann", Mar5), "c:\\a.exe", "00.03.00");
  const int64_t colon = total();
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(total(), 180);
  EXPECT_NE(colon, 180);
}
