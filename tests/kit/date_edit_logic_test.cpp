// The date edit's rules: the format by year digits, reading and writing dates with their
// defaults, blank texts, day steps kept inside the calendar, and values from the drop-down.

#include "kit/date_edit_logic.h"

#include <gtest/gtest.h>

#include <cmath>

#include "kit/date_utils.h"
#include "platform/rtl/format_settings.h"

namespace {

const TDateTime kToday = EncodeDate(2026, 12, 9);

// Day-month-year with "." between, four-digit years in the system's format.
class DateEditLogicTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().DateSeparator = '.';
    savedFlag_ = FourDigitYearFlag;
    FourDigitYearFlag = true;
  }
  void TearDown() override {
    FourDigitYearFlag = savedFlag_;
    ResetFormatSettings();
  }

private:
  bool savedFlag_ = true;
};

TEST_F(DateEditLogicTest, YearDigitsChooseTheFormatWhateverTheSystemSays) {
  EXPECT_EQ(DateEditFormat(dyDefault), "DD/MM/YYYY");
  EXPECT_EQ(DateEditFormat(dyTwo), "DD/MM/YY");
  FourDigitYearFlag = false;
  EXPECT_EQ(DateEditFormat(dyDefault), "DD/MM/YY");
  EXPECT_EQ(DateEditFormat(dyFour), "DD/MM/YYYY");
}

TEST_F(DateEditLogicTest, ReadingFallsBackToTodayOrTheNullDate) {
  const std::string f = DateEditFormat(dyFour);
  EXPECT_EQ(DateEditReadDate(f, "24.12.2026", false, kToday), EncodeDate(2026, 12, 24));
  EXPECT_EQ(DateEditReadDate(f, "", false, kToday), 0);
  EXPECT_EQ(DateEditReadDate(f, "", true, kToday + 0.75), kToday);
  EXPECT_EQ(DateEditReadDate(f, "31.02.2026", false, kToday), 0);
  EXPECT_EQ(DateEditReadDate(f, "31.02.2026", true, kToday), kToday);
}

TEST_F(DateEditLogicTest, WritingTheNullOrAnInvalidDateEmptiesOrGivesToday) {
  EXPECT_EQ(DateEditNormalize(0, false, kToday), 0);
  EXPECT_EQ(DateEditNormalize(0, true, kToday), kToday);
  EXPECT_EQ(DateEditNormalize(-800000, false, kToday), 0);  // before the year 1
  EXPECT_EQ(DateEditText(DateEditFormat(dyFour), 0), "");
  EXPECT_EQ(DateEditText(DateEditFormat(dyFour), EncodeDate(2026, 3, 5)), "05.03.2026");
  EXPECT_EQ(DateEditText(DateEditFormat(dyTwo), EncodeDate(2026, 3, 5)), "05.03.26");
}

TEST_F(DateEditLogicTest, BlankTextsAndPlaceholders) {
  EXPECT_TRUE(DateTextIsBlank("  .  .    ", '_', '.'));
  EXPECT_TRUE(DateTextIsBlank("__.__.____", '_', '.'));
  EXPECT_FALSE(DateTextIsBlank("1_.__.____", '_', '.'));
  EXPECT_EQ(DateEditBlanksChar('\t'), ' ');
  EXPECT_EQ(DateEditBlanksChar('_'), '_');
}

TEST_F(DateEditLogicTest, StepsStartFromNowOnAnEmptyEditAndStopAtTheCalendarsEnds) {
  TDateTime result = 0;
  ASSERT_TRUE(DateEditStep(0, 1, kToday + 0.5, result));
  EXPECT_EQ(std::floor(result), kToday + 1);  // tomorrow
  ASSERT_TRUE(DateEditStep(EncodeDate(2026, 3, 1), -1, kToday, result));
  EXPECT_EQ(result, EncodeDate(2026, 2, 28));
  result = 42;
  EXPECT_FALSE(DateEditStep(EncodeDate(9999, 12, 31), 1, kToday, result));
  EXPECT_FALSE(DateEditStep(EncodeDate(1, 1, 1), -1, kToday, result));
  EXPECT_EQ(result, 42);
}

TEST_F(DateEditLogicTest, DropDownValuesAsDates) {
  const std::string f = DateEditFormat(dyFour);
  EXPECT_EQ(DateFromPopupValue(TPopupValue{}, f, true, kToday), 0);
  EXPECT_EQ(DateFromPopupValue(TPopupValue{std::string()}, f, true, kToday), 0);
  EXPECT_EQ(DateFromPopupValue(TPopupValue{EncodeDate(2026, 1, 2)}, f, false, kToday), EncodeDate(2026, 1, 2));
  EXPECT_EQ(DateFromPopupValue(TPopupValue{std::string("02.01.2026")}, f, false, kToday), EncodeDate(2026, 1, 2));
  EXPECT_EQ(DateFromPopupValue(TPopupValue{std::string("no date")}, f, true, kToday), kToday);
  EXPECT_EQ(DateFromPopupValue(TPopupValue{std::string("no date")}, f, false, kToday), 0);
}

}  // namespace
