#include "kit/date_utils.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"

namespace {

TDateTime In2026() { return EncodeDate(2026, 5, 10) + 0.5; }
TDateTime In2085() { return EncodeDate(2085, 1, 1); }

// English settings with a day-month-year order and "." as the date separator; the clock
// stands in 2026.
class DateUtilsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    UseDayMonthYear('.');
    SetClock(&In2026);
  }
  void TearDown() override {
    SetClock(nullptr);
    FarEastLocale = false;
    ResetFormatSettings();
  }
  static void UseDayMonthYear(char separator) {
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().DateSeparator = separator;
  }
  static bool ByOrder(const std::string& text, int& d, int& m, int& y) {
    int pos = 1;
    return ParseDateByOrder(text, FormatSettings().ShortDateFormat, pos, d, m, y);
  }
};

}  // namespace

TEST_F(DateUtilsTest, CalendarRules) {
  EXPECT_FALSE(IsValidYMD(1900, 2, 29));
  EXPECT_TRUE(IsValidYMD(2000, 2, 29));
  EXPECT_FALSE(IsValidYMD(10000, 1, 1));
  EXPECT_FALSE(IsValidYMD(0, 1, 1));
  EXPECT_FALSE(IsValidYMD(2026, 4, 31));
  EXPECT_EQ(MonthDays(2024, 2), 29);
  EXPECT_EQ(MonthDays(2026, 13), 0);
  EXPECT_TRUE(IsValidDateValue(EncodeDate(2026, 1, 31)));
  EXPECT_FALSE(IsValidDateValue(1e12));
  EXPECT_EQ(ThisYear(), 2026);
}

TEST_F(DateUtilsTest, DateOrderFollowsTheFirstFieldLetter) {
  EXPECT_EQ(DateOrderOf("m/d/yyyy"), doMDY);
  EXPECT_EQ(DateOrderOf("dd.MM.yy"), doDMY);
  EXPECT_EQ(DateOrderOf("yyyy-mm-dd"), doYMD);
  EXPECT_EQ(DateOrderOf("ee/mm/dd"), doYMD);
  EXPECT_EQ(DateOrderOf("///"), doDMY);
}

TEST_F(DateUtilsTest, TwoDigitYearsNeverFallIntoThePreviousCentury) {
  EXPECT_EQ(ExpandTwoDigitYear(26), 2026);
  EXPECT_EQ(ExpandTwoDigitYear(99), 2099);
  EXPECT_EQ(ExpandTwoDigitYear(0), 2000);
  EXPECT_EQ(ExpandTwoDigitYear(1999), 1999);
  SetClock(&In2085);
  EXPECT_EQ(ExpandTwoDigitYear(15), 2115);  // up to 85 - 70
  EXPECT_EQ(ExpandTwoDigitYear(16), 2016);
}

TEST_F(DateUtilsTest, ParseByOrderReadsTwoOrThreeNumbersAndTheWholeText) {
  int d, m, y;
  ASSERT_TRUE(ByOrder("3.4", d, m, y));
  EXPECT_EQ(d * 10000 + m * 100, 30400);
  EXPECT_EQ(y, 2026);
  ASSERT_TRUE(ByOrder("03.04.26", d, m, y));
  EXPECT_EQ(y, 2026);
  ASSERT_TRUE(ByOrder(" 3 . 4 . 2026 .", d, m, y));  // blanks and one trailing separator
  EXPECT_FALSE(ByOrder("3.4.2026x", d, m, y));
  EXPECT_FALSE(ByOrder("31.4.2026", d, m, y));
  EXPECT_FALSE(ByOrder("3.", d, m, y));
  EXPECT_FALSE(ByOrder("", d, m, y));
  // At most four digits are taken while the value is below 1000; the rest is left over.
  EXPECT_FALSE(ByOrder("1.1.20260", d, m, y));

  FormatSettings().ShortDateFormat = "m/d/yyyy";
  ASSERT_TRUE(ByOrder("4.3", d, m, y));
  EXPECT_EQ(m, 4);
  EXPECT_EQ(d, 3);
  FormatSettings().ShortDateFormat = "yyyy/mm/dd";
  ASSERT_TRUE(ByOrder("2026.4.3", d, m, y));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20260403);

  // An era format skips to the first digit; a text without digits fails without a hang.
  FormatSettings().ShortDateFormat = "gg yyyy/mm/dd";
  ASSERT_TRUE(ByOrder("AD 2026.4.3", d, m, y));
  EXPECT_FALSE(ByOrder("AD", d, m, y));
}

TEST_F(DateUtilsTest, FarEastTailSkipsWordsUpToTheTimeMarker) {
  FarEastLocale = true;
  FormatSettings().ShortDateFormat = "dd/mm/yyyy ddd";
  FormatSettings().ShortTimeFormat = "AMPM h:nn";
  int d, m, y, pos = 1;
  // The day name is passed; the AM part is where the date ends, so text remains.
  EXPECT_FALSE(ParseDateByOrder("3.4.2026 Fri AM 10:00", "dd/mm/yyyy", pos, d, m, y));
  EXPECT_EQ(pos, 14);
  pos = 1;
  EXPECT_TRUE(ParseDateByOrder("3.4.2026 Fri", "dd/mm/yyyy", pos, d, m, y));
}

TEST_F(DateUtilsTest, ParseByMaskCutsFieldsAtTheLetters) {
  int d, m, y;
  UseDayMonthYear('/');
  ASSERT_TRUE(ParseDateByMask("DD/MM/YYYY", "03/04/2026", d, m, y));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20260403);
  ASSERT_TRUE(ParseDateByMask("DD/MM/YYYY", " 3/ 4/  26", d, m, y));
  EXPECT_EQ(y, 2026);
  ASSERT_TRUE(ParseDateByMask("DD-MMM-YYYY", "03-apr-2026", d, m, y));
  EXPECT_EQ(m, 4);
  // Longer than the mask: read by order alone.
  ASSERT_TRUE(ParseDateByMask("DD/MM/YY", "03/04/2026", d, m, y));
  EXPECT_EQ(y, 2026);
  // Without a year field the current year is used.
  ASSERT_TRUE(ParseDateByMask("DD/MM", "03/04", d, m, y));
  EXPECT_EQ(y, 2026);
}

TEST_F(DateUtilsTest, GarbageFieldsNeverBecomeAValidDate) {
  int d, m, y;
  UseDayMonthYear('/');
  EXPECT_FALSE(ParseDateByMask("DD/MM/YYYY", "03/04/    ", d, m, y));
  EXPECT_FALSE(ParseDateByMask("DD/MM/YYYY", "03/04/abcd", d, m, y));
  EXPECT_FALSE(ParseDateByMask("DD-MMM-YYYY", "03-xyz-2026", d, m, y));
  EXPECT_FALSE(ParseDateByMask("DD/MM/YYYY", "  /04/2026", d, m, y));
}

TEST_F(DateUtilsTest, TextToDateVariants) {
  UseDayMonthYear('/');
  TDateTime date = -1;
  ASSERT_TRUE(TextToDate("DD/MM/YYYY", "", date));
  EXPECT_EQ(date, 0.0);
  ASSERT_TRUE(TextToDate("DD/MM/YYYY", "03/04/2026", date));
  EXPECT_EQ(date, EncodeDate(2026, 4, 3));
  EXPECT_EQ(TextToDateOrRaise("DD/MM/YYYY", "29/02/2024"), EncodeDate(2024, 2, 29));
  try {
    TextToDateOrRaise("DD/MM/YYYY", "31/02/2024");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'31/02/2024' is not a valid date");
  }
  EXPECT_EQ(TextToDateOrDefault("DD/MM/YYYY", "nonsense", EncodeDate(2026, 1, 2) + 0.75),
            EncodeDate(2026, 1, 2));
}

TEST_F(DateUtilsTest, DefaultFormatsAndMasksFollowTheShortDateOrder) {
  EXPECT_EQ(DefaultDateFormat(true), "DD/MM/YYYY");
  EXPECT_EQ(DefaultDateFormat(false), "DD/MM/YY");
  EXPECT_EQ(DefaultDateMask('_', true), "!99/99/9999;1;_");
  FormatSettings().ShortDateFormat = "yyyy-mm-dd";
  EXPECT_EQ(DefaultDateFormat(true), "YYYY/MM/DD");
  EXPECT_EQ(DefaultDateMask(' ', true), "!9999/99/99;1; ");
  EXPECT_EQ(DefaultDateMask(' ', false), "!99/99/99;1; ");
  FormatSettings().ShortDateFormat = "M/d/yy";
  EXPECT_EQ(DefaultDateFormat(false), "MM/DD/YY");
  EXPECT_EQ(MonthByName("SEPT", 3), 9);
  EXPECT_EQ(MonthByName("Ju", 2), 6);
  EXPECT_EQ(MonthByName("Xy", 2), 0);
}
