#include "kit/calendar_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TDateTime Feb14th2026() { return EncodeDate(2026, 2, 14) + 0.5; }

class CalendarMonthTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    previous_ = SetClock(&Feb14th2026);
  }
  void TearDown() override {
    SetClock(previous_);
    ResetFormatSettings();
  }

  // "d.m.y" of the model's date.
  static std::string Ymd(const TCalendarMonth& m) {
    return std::to_string(m.Day()) + "." + std::to_string(m.Month()) + "." + std::to_string(m.Year());
  }
  static TCalendarMonth On(int year, int month, int day) {
    TCalendarMonth m;
    m.SetDate(EncodeDate(year, month, day));
    return m;
  }

private:
  ClockFn previous_ = nullptr;
};

}  // namespace

TEST_F(CalendarMonthTest, StartsOnTodayWithoutTheTimeOfDay) {
  TCalendarMonth m;
  EXPECT_EQ("14.2.2026", Ymd(m));
  EXPECT_EQ(EncodeDate(2026, 2, 14), m.Date());
  EXPECT_EQ("February, 2026", m.Title());
}

TEST_F(CalendarMonthTest, MonthLaidOutFromTheFirstDayOfTheWeek) {
  // February 2026 starts on a Sunday.
  TCalendarMonth m = On(2026, 2, 14);
  m.SetStartOfWeek(Sun);
  EXPECT_EQ(1, m.MonthOffset());
  EXPECT_EQ(1, m.CellDay(0, 1));
  EXPECT_EQ(28, m.CellDay(6, 4));
  EXPECT_EQ(0, m.CellDay(0, 5));  // no row wasted: the month ends in row 4
  EXPECT_EQ("Sun", m.CellText(0, 0));
  EXPECT_EQ("Sat", m.CellText(6, 0));
  int col = 0;
  int row = 0;
  m.CellOfDay(14, col, row);
  EXPECT_EQ(6, col);
  EXPECT_EQ(2, row);

  // Starting the week on Monday puts the 1st, the day before, into the last column.
  m.SetStartOfWeek(Mon);
  EXPECT_EQ(-5, m.MonthOffset());
  EXPECT_EQ(1, m.CellDay(6, 1));
  EXPECT_EQ("", m.CellText(5, 1));
  EXPECT_EQ("2", m.CellText(0, 2));
  EXPECT_EQ("Mon", m.CellText(0, 0));
  m.CellOfDay(1, col, row);
  EXPECT_EQ(6, col);
  EXPECT_EQ(1, row);
  m.CellOfDay(28, col, row);
  EXPECT_EQ(5, col);
  EXPECT_EQ(5, row);
  // Cells outside the grid are empty.
  EXPECT_EQ(0, m.CellDay(7, 1));
  EXPECT_EQ(0, m.CellDay(0, 7));

  // Weekend columns follow the first day of the week.
  m.SetStartOfWeek(Sun);
  m.SetWeekends(DayOfWeekBit(Sun) | DayOfWeekBit(Sat));
  EXPECT_TRUE(m.IsWeekendColumn(0));
  EXPECT_TRUE(m.IsWeekendColumn(6));
  EXPECT_FALSE(m.IsWeekendColumn(1));
  m.SetStartOfWeek(Mon);
  EXPECT_TRUE(m.IsWeekendColumn(5));
  EXPECT_FALSE(m.IsWeekendColumn(0));
}

TEST_F(CalendarMonthTest, SettersCutTheDayAndIgnoreValuesOutOfRange) {
  TCalendarMonth m = On(2024, 3, 31);
  EXPECT_TRUE(m.SetMonth(2));
  EXPECT_EQ("29.2.2024", Ymd(m));
  EXPECT_FALSE(m.SetMonth(13));
  EXPECT_FALSE(m.SetMonth(0));
  EXPECT_FALSE(m.SetDay(0));
  EXPECT_FALSE(m.SetDay(30));
  EXPECT_FALSE(m.SetMonth(2));  // unchanged
  EXPECT_EQ("29.2.2024", Ymd(m));
  // A new year keeps the month's length too (29 February of a year that has none).
  EXPECT_TRUE(m.SetYear(2025));
  EXPECT_EQ("28.2.2025", Ymd(m));
  EXPECT_FALSE(m.SetYear(10000));
  EXPECT_FALSE(m.SetYear(0));
  EXPECT_TRUE(m.SetDay(3));
  EXPECT_EQ(EncodeDate(2025, 2, 3), m.Date());
}

TEST_F(CalendarMonthTest, MonthYearAndDayStepsAcrossEdgesAndStopAtTheEndsOfTime) {
  TCalendarMonth m = On(2024, 1, 31);
  EXPECT_TRUE(m.StepMonth(1));
  EXPECT_EQ("29.2.2024", Ymd(m));
  m = On(2000, 2, 29);
  EXPECT_TRUE(m.StepYear(-1));
  EXPECT_EQ("28.2.1999", Ymd(m));
  m = On(2025, 12, 31);
  EXPECT_TRUE(m.StepDay(1));
  EXPECT_EQ("1.1.2026", Ymd(m));
  EXPECT_TRUE(m.StepDay(-1));
  EXPECT_EQ("31.12.2025", Ymd(m));
  EXPECT_TRUE(m.StepMonth(1));
  EXPECT_EQ("31.1.2026", Ymd(m));
  m = On(2024, 3, 1);
  EXPECT_TRUE(m.StepDay(-1));
  EXPECT_EQ("29.2.2024", Ymd(m));

  m = On(9999, 12, 31);
  EXPECT_FALSE(m.StepDay(1));
  EXPECT_FALSE(m.StepMonth(1));
  EXPECT_FALSE(m.StepYear(1));
  EXPECT_EQ("31.12.9999", Ymd(m));
  m = On(1, 1, 1);
  EXPECT_FALSE(m.StepDay(-1));
  EXPECT_FALSE(m.StepMonth(-1));
  EXPECT_FALSE(m.StepYear(-1));
  EXPECT_EQ("1.1.1", Ymd(m));
}

TEST_F(CalendarMonthTest, TextsThatAreNoDateMeanToday) {
  const TDateTime today = EncodeDate(2026, 2, 14);
  const std::string sep(1, FormatSettings().DateSeparator);
  EXPECT_EQ(today, CalendarDateFromText("", today));
  EXPECT_EQ(today, CalendarDateFromText("  " + sep + "  " + sep + "    ", today));
  EXPECT_EQ(today, CalendarDateFromText("not a date", today));
  const TDateTime other = EncodeDate(2023, 7, 9);
  EXPECT_EQ(other, CalendarDateFromText(DateToStr(other), today));
}

TEST(CalendarKeys, PageKeysStepMonthsOrYearsAndTheDialogAddsEnterEscapeAndTab) {
  EXPECT_EQ(ckaNextMonth, CalendarKeyAction(kCalendarVkNext, false, false, false, false));
  EXPECT_EQ(ckaNextYear, CalendarKeyAction(kCalendarVkNext, false, true, false, false));
  EXPECT_EQ(ckaPrevMonth, CalendarKeyAction(kCalendarVkPrior, false, false, false, false));
  EXPECT_EQ(ckaPrevYear, CalendarKeyAction(kCalendarVkPrior, false, true, false, true));
  // The popup leaves Enter, Escape and Tab to the edit.
  EXPECT_EQ(ckaNone, CalendarKeyAction(kCalendarVkReturn, false, false, false, false));
  EXPECT_EQ(ckaNone, CalendarKeyAction(kCalendarVkTab, false, false, false, false));
  EXPECT_EQ(ckaAccept, CalendarKeyAction(kCalendarVkReturn, false, false, false, true));
  EXPECT_EQ(ckaCancel, CalendarKeyAction(kCalendarVkEscape, false, false, false, true));
  // Shift alone with Tab goes back; Tab with any other shift state goes on.
  EXPECT_EQ(ckaPrevMonth, CalendarKeyAction(kCalendarVkTab, true, false, false, true));
  EXPECT_EQ(ckaNextMonth, CalendarKeyAction(kCalendarVkTab, true, true, false, true));
  EXPECT_EQ(ckaNextMonth, CalendarKeyAction(kCalendarVkTab, false, false, false, true));
  EXPECT_EQ(ckaNone, CalendarKeyAction('A', false, false, false, true));
}

TEST(CalendarCells, SizesShareTheClientAreaAfterTheGridLines) {
  EXPECT_EQ(30, CalendarColWidth(218, 1, true));
  EXPECT_EQ(31, CalendarColWidth(218, 1, false));
  EXPECT_EQ(15, CalendarRowHeight(113, 1));
}
